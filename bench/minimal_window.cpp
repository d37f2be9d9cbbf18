// The start-up baseline: a window of the main window's size with one label,
// and nothing else. It links Qt Widgets only.
#include "platform/ui/firstpaint.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    FirstPaint::watch(app);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tarvo: Balance Scorecard"));
    // The main window's client size (1021 x 729 outside the frame).
    window.move(1, -1);
    window.resize(1013, 699);
    auto *label = new QLabel(QStringLiteral("Balanced Scorecard"), &window);
    label->move(328, 152);
    window.show();
    return app.exec();
}
