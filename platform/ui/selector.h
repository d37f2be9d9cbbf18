#pragma once

#include <QComboBox>
#include <QStringList>

// A selector whose text can also be typed. It keeps its own item index:
// -1 while nothing is chosen and as soon as the user types (even an item's
// text); otherwise the index of the item the user or the program chose.
//
// changed() is the user's signal only: it is emitted for every choice from
// the list (choosing the shown item again included; arrow keys and the wheel
// choose too) and for every keystroke that changes the text. Programmatic
// setText, setItemIndex, clearItems and addItems never emit it, so a handler
// may fill another selector without running that selector's handler.
//
// Use the functions below rather than QComboBox's own setters: they keep the
// shown text and the item index apart the way the pages rely on.
class Selector : public QComboBox {
    Q_OBJECT
public:
    explicit Selector(QWidget *parent = nullptr);

    int itemIndex() const { return m_itemIndex; }
    void setItemIndex(int index);   // -1 or out of range: nothing chosen, text emptied

    QString text() const;
    void setText(const QString &text);   // chooses nothing

    void addItems(const QStringList &texts);   // keeps text and item index
    void addItem(const QString &text);
    QStringList items() const;
    void clearItems();   // no item chosen afterwards; the text stays

    // What a user does, for tests and keyboard-free drivers.
    void choose(int index);   // a choice from the list: chooses, emits changed()
    void type(const QString &text);   // typed text: item index -1, emits changed()

signals:
    void changed();

private:
    void display(const QString &text);
    void userChose(int index);
    void userTyped();

    int m_itemIndex = -1;
};
