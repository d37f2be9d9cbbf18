#include "app/start.h"
#include "platform/ui/firstpaint.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    // Answered before the application object, so that it needs no display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("bsc %s\n", BSC_VERSION);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    // The report on the command line needs no display and shows no window.
    bool report = false;
    for (int i = 1; i < argc; ++i)
        report |= std::strcmp(argv[i], "--report") == 0;
    if (report && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (report)
        return Start::runReport(app.arguments());
    FirstPaint::watch(app);
    return Start::run(app);
}
