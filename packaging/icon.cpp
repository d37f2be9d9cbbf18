// Draws the application icon at one size into a PNG file, so the installed
// icons are the same picture the program shows: bsc-icon SIZE FILE.
#include "resources/pictures.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bsc-icon SIZE FILE\n");
        return 2;
    }
    bool ok = false;
    const int size = QString::fromLocal8Bit(argv[1]).toInt(&ok);
    const QImage icon = ok ? Pictures::applicationIcon(size) : QImage();
    if (icon.isNull()) {
        std::fprintf(stderr, "bsc-icon: no icon of size %s\n", argv[1]);
        return 1;
    }
    if (!icon.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "bsc-icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
