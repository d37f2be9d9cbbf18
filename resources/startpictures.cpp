// Draws the pictures the start screen shows (the four logos and the window
// icon's sizes) into raw image files at build time; the program carries
// them, so that it loads them at start-up instead of drawing them.
// bsc-startpictures DIR
#include "resources/pictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool write(const QString &file, const QImage &picture)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || !Pictures::writeStored(out, picture)) {
        std::fprintf(stderr, "bsc-startpictures: cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bsc-startpictures DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    for (int n = 0; n < 4; ++n)
        ok &= write(dir.filePath(Pictures::storedLogoName(n)), Pictures::drawnLogo(n));
    for (int size : Pictures::StoredIconSizes)
        ok &= write(dir.filePath(Pictures::storedIconName(size)), Pictures::drawnApplicationIcon(size));
    return ok ? 0 : 1;
}
