#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>

class DBEdit;
class DataSource;
class QLabel;
class QPushButton;
class Selector;
class Startwahl;
struct Services;
class Table;

// Key-figure entry dialog: edits the fourteen values of one year's row of
// one key-figure table in place; every save is confirmed.
class TEingabe_kennzahlen : public QWidget {
    Q_OBJECT
public:
    // Opens Table1 on its first table; throws EngineError when it cannot.
    TEingabe_kennzahlen(const Services &services, const Startwahl &wahl, const QStringList &years);

    void FormCreate();
    void combobox1Change();
    void combobox2Change();
    void combobox3Change();
    void Button1Click();
    void Button3Click();
    void Button2Click();

    // Typed values of the row shown that are not saved yet are settled
    // with one question: saved (through "speichern..."'s question and
    // checks), dropped, or kept by going back. True when the caller may go
    // on (nothing was pending, it was saved or dropped); false to go back.
    bool settlePending();
    bool hasUnsaved() const;

    // Whether a row is shown (and can be edited and saved).
    bool showsRow() const { return m_showsRow; }

    Selector *combobox1;
    Selector *combobox2;
    Selector *combobox3;
    QPushButton *Button1;
    QPushButton *Button3;
    QPushButton *Button2;
    QLabel *Label1;
    QLabel *Label2;
    std::array<QLabel *, 7> rowLabels{};     // Label3 ... Label9
    std::array<DBEdit *, 14> edits{};        // DBEdit1 ... DBEdit14
    // Says in the window when the chosen table has no row for the year.
    QLabel *Notice;
    // Who changed the row shown last and when, from the change history.
    QLabel *LastChange;

    Table *Table1;
    DataSource *DataSource1;

private:
    void showNoRow(const QString &year);
    void showLastChange();
    // The first pending value that is not a whole number in range, as a
    // message; empty when all are fine.
    QString invalidValue() const;
    bool askSave();
    // Checks the values and writes the row; false, with a message, when a
    // value is refused. Throws EngineError (a conflict among them).
    bool writeRow();

    const Services &m_services;
    const Startwahl &m_wahl;
    QString m_tableName;
    bool m_showsRow = true;
    QString m_lastChangeOf;   // table and row the line was read for
};
