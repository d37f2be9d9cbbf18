// Saves every picture the program draws as a PNG file, for looking at them
// without starting the windows. Small ones are saved enlarged as well.
#include "resources/pictures.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

namespace {

QString s_dir;

void save(const QImage &image, const QString &name, int enlarge = 1)
{
    const QString file = QDir(s_dir).filePath(name + QStringLiteral(".png"));
    const QImage out = enlarge == 1 ? image : image.scaled(image.size() * enlarge, Qt::IgnoreAspectRatio,
                                                           Qt::FastTransformation);
    if (!out.save(file))
        qFatal("cannot write %s", qPrintable(file));
    std::printf("%s\n", qPrintable(file));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    s_dir = app.arguments().value(1, QStringLiteral("pictures"));
    QDir().mkpath(s_dir);

    for (int state = 0; state <= 3; ++state)
        save(Pictures::trafficLight(state).toImage(), QStringLiteral("light-%1").arg(state), 4);
    for (int k = -1; k <= 3; ++k)
        save(Pictures::perspectiveDiagram(k).toImage(), QStringLiteral("perspectives-%1").arg(k));
    save(Pictures::infoBubble().toImage(), QStringLiteral("info"));
    save(Pictures::infoBubble().toImage(), QStringLiteral("info-x4"), 4);
    for (int branche = 0; branche <= 1; ++branche)
        for (bool english : {false, true})
            for (int perspective = -1; perspective <= 3; ++perspective)
                save(Pictures::causeEffectDiagram(branche, english, perspective).toImage(),
                     QStringLiteral("cause-effect-%1-%2-%3")
                         .arg(branche ? QStringLiteral("other") : QStringLiteral("agriculture"),
                              english ? QStringLiteral("en") : QStringLiteral("de"))
                         .arg(perspective));
    for (int n = 0; n <= 3; ++n)
        save(Pictures::logo(n).toImage(), QStringLiteral("logo-%1").arg(n));
    for (int size : {16, 32, 48, 64, 128, 256})
        save(Pictures::applicationIcon(size), QStringLiteral("icon-%1").arg(size));
    save(Pictures::applicationIcon(16), QStringLiteral("icon-16-x8"), 8);
    save(Pictures::applicationIcon(32), QStringLiteral("icon-32-x4"), 4);
    return 0;
}
