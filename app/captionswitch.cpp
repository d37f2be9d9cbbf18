#include "app/captionswitch.h"

#include "platform/ui/selector.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTabWidget>
#include <QWidget>

namespace {

// A page of a tab control takes its caption as the tab's text.
QTabWidget *tabControlOf(QWidget *page)
{
    QWidget *stack = page->parentWidget();
    return stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr;
}

void setCaption(QWidget *control, const QString &text)
{
    if (auto *selector = qobject_cast<Selector *>(control)) {
        selector->setText(text);
    } else if (auto *label = qobject_cast<QLabel *>(control)) {
        label->setText(text);
        label->adjustSize();
    } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        button->setText(text);
    } else if (QTabWidget *tabs = tabControlOf(control)) {
        tabs->setTabText(tabs->indexOf(control), text);
    }
}

} // namespace

QStringList applyCaptions(QWidget *window, const QList<EnglishSwitch::Row> &rows)
{
    QStringList missing;
    for (const EnglishSwitch::Row &row : rows) {
        if (row.name.isEmpty()) {
            window->setWindowTitle(row.text);
            continue;
        }
        QWidget *control = window->findChild<QWidget *>(row.name);
        if (!control) {
            qWarning("caption switch: no control %s in %s", qPrintable(row.name), qPrintable(window->objectName()));
            missing << row.name;
            continue;
        }
        if (!row.text.isNull())
            setCaption(control, row.text);
        if (!row.items.isEmpty()) {
            if (auto *selector = qobject_cast<Selector *>(control)) {
                selector->clearItems();
                selector->addItems(row.items);
            }
        }
        if (row.left >= 0)
            control->move(row.left, control->y());
    }
    return missing;
}
