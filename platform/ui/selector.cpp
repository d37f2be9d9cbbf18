#include "platform/ui/selector.h"

#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

// QComboBox turns a finished edit (Return, focus leaving) whose text equals an
// item into a choice of that item. Here typed text never chooses, so the line
// edit keeps those two moments to itself.
class Eingabezeile : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            const QSignalBlocker quiet(this);
            QLineEdit::keyPressEvent(e);
        } else {
            QLineEdit::keyPressEvent(e);
        }
    }
    void focusOutEvent(QFocusEvent *e) override
    {
        const QSignalBlocker quiet(this);
        QLineEdit::focusOutEvent(e);
    }
};

} // namespace

Selector::Selector(QWidget *parent) : QComboBox(parent)
{
    // Giving the line edit makes the box editable; setEditable would build a
    // line edit and the popup first, only to throw the one away.
    auto *line = new Eingabezeile(this);
    line->setPalette(palette());
    // A completer of its own keeps the box from building one on its model,
    // which setCompleter below takes away again anyway.
    auto *none = new QCompleter(line);
    none->setCompletionMode(QCompleter::InlineCompletion);
    line->setCompleter(none);
    setLineEdit(line);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setDuplicatesEnabled(true);

    connect(this, qOverload<int>(&QComboBox::activated), this, &Selector::userChose);
    connect(lineEdit(), &QLineEdit::textEdited, this, &Selector::userTyped);
}

void Selector::setItemIndex(int index)
{
    const QSignalBlocker quiet(this);
    if (index < 0 || index >= count()) {
        QComboBox::setCurrentIndex(-1);
        lineEdit()->clear();
        m_itemIndex = -1;
        return;
    }
    QComboBox::setCurrentIndex(index);
    display(itemText(index));
    m_itemIndex = index;
}

void Selector::display(const QString &text)
{
    // A text set by the program shows from its first letter, also when it
    // is wider than the box.
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(0);
}

QString Selector::text() const
{
    return lineEdit()->text();
}

void Selector::setText(const QString &text)
{
    const QSignalBlocker quiet(this);
    QComboBox::setCurrentIndex(-1);
    display(text);
    m_itemIndex = -1;
}

void Selector::addItems(const QStringList &texts)
{
    // QComboBox chooses the first item when an empty list gets items; undo that.
    const QSignalBlocker quiet(this);
    const QString shown = text();
    const int chosen = m_itemIndex;
    QComboBox::addItems(texts);
    QComboBox::setCurrentIndex(chosen);
    display(shown);
}

void Selector::addItem(const QString &text)
{
    addItems({text});
}

QStringList Selector::items() const
{
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list << itemText(i);
    return list;
}

void Selector::clearItems()
{
    const QSignalBlocker quiet(this);
    const QString shown = text();
    QComboBox::clear();
    display(shown);
    m_itemIndex = -1;
}

void Selector::choose(int index)
{
    if (index < 0 || index >= count())
        return;
    userChose(index);
}

void Selector::type(const QString &text)
{
    lineEdit()->setText(text);   // the cursor stays at the end, as after typing
    userTyped();
}

void Selector::userChose(int index)
{
    {
        const QSignalBlocker quiet(this);
        QComboBox::setCurrentIndex(index);
        display(itemText(index));
        m_itemIndex = index;
    }
    emit changed();
}

void Selector::userTyped()
{
    m_itemIndex = -1;
    emit changed();
}
