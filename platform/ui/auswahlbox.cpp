#include "platform/ui/auswahlbox.h"

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

Auswahlbox::Auswahlbox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setLineEdit(new Eingabezeile(this));
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setDuplicatesEnabled(true);

    connect(this, qOverload<int>(&QComboBox::activated), this, &Auswahlbox::userChose);
    connect(lineEdit(), &QLineEdit::textEdited, this, &Auswahlbox::userTyped);
}

void Auswahlbox::setItemIndex(int index)
{
    const QSignalBlocker quiet(this);
    if (index < 0 || index >= count()) {
        QComboBox::setCurrentIndex(-1);
        lineEdit()->clear();
        m_itemIndex = -1;
        return;
    }
    QComboBox::setCurrentIndex(index);
    zeigen(itemText(index));
    m_itemIndex = index;
}

void Auswahlbox::zeigen(const QString &text)
{
    // A text set by the program shows from its first letter, also when it
    // is wider than the box.
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(0);
}

QString Auswahlbox::text() const
{
    return lineEdit()->text();
}

void Auswahlbox::setText(const QString &text)
{
    const QSignalBlocker quiet(this);
    QComboBox::setCurrentIndex(-1);
    zeigen(text);
    m_itemIndex = -1;
}

void Auswahlbox::addItems(const QStringList &texts)
{
    // QComboBox chooses the first item when an empty list gets items; undo that.
    const QSignalBlocker quiet(this);
    const QString shown = text();
    const int chosen = m_itemIndex;
    QComboBox::addItems(texts);
    QComboBox::setCurrentIndex(chosen);
    zeigen(shown);
}

void Auswahlbox::addItem(const QString &text)
{
    addItems({text});
}

QStringList Auswahlbox::items() const
{
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list << itemText(i);
    return list;
}

void Auswahlbox::clearItems()
{
    const QSignalBlocker quiet(this);
    const QString shown = text();
    QComboBox::clear();
    zeigen(shown);
    m_itemIndex = -1;
}

void Auswahlbox::choose(int index)
{
    if (index < 0 || index >= count())
        return;
    userChose(index);
}

void Auswahlbox::type(const QString &text)
{
    lineEdit()->setText(text);   // the cursor stays at the end, as after typing
    userTyped();
}

void Auswahlbox::userChose(int index)
{
    {
        const QSignalBlocker quiet(this);
        QComboBox::setCurrentIndex(index);
        zeigen(itemText(index));
        m_itemIndex = index;
    }
    emit changed();
}

void Auswahlbox::userTyped()
{
    m_itemIndex = -1;
    emit changed();
}
