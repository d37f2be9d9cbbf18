#include "platform/ui/asker.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace Asker {
namespace {

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Answer messageBox(const Question &q)
{
    QMessageBox box(boxIcon(q.icon), q.caption, q.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QMessageBox::StandardButton first = QMessageBox::Ok;
    QMessageBox::StandardButton second = QMessageBox::NoButton;
    switch (q.buttons) {
    case Buttons::Ok: break;
    case Buttons::OkCancel: second = QMessageBox::Cancel; break;
    case Buttons::YesNo: first = QMessageBox::Yes; second = QMessageBox::No; break;
    case Buttons::YesNoCancel: first = QMessageBox::Yes; second = QMessageBox::Cancel; break;
    }
    QPushButton *firstButton = box.addButton(first);
    if (q.buttons == Buttons::YesNoCancel)
        box.addButton(QMessageBox::No);
    box.setDefaultButton(firstButton);
    // Escape and the window's close button press the escape button.
    box.setEscapeButton(second == QMessageBox::NoButton ? firstButton : box.addButton(second));
    box.exec();

    const auto pressed = box.standardButton(box.clickedButton());
    switch (pressed) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return negative(q.buttons);
    }
}

bool positive(Answer a)
{
    return a == Answer::Ok || a == Answer::Yes;
}

Answer negative(Buttons b)
{
    switch (b) {
    case Buttons::OkCancel:
    case Buttons::YesNoCancel: return Answer::Cancel;
    case Buttons::YesNo: return Answer::No;
    case Buttons::Ok: break;
    }
    return Answer::Ok;
}

} // namespace Asker
