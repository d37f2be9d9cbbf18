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
class Table;

// Key-figure entry dialog: edits the fourteen values of one year's row of
// one key-figure table in place; every save is confirmed.
class TEingabe_kennzahlen : public QWidget {
    Q_OBJECT
public:
    // Opens Table1 on its first table; throws EngineError when it cannot.
    TEingabe_kennzahlen(const Startwahl &wahl, const QStringList &years);

    void FormCreate();
    void combobox1Change();
    void combobox2Change();
    void combobox3Change();
    void Button1Click();
    void Button3Click();
    void Button2Click();

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

    Table *Table1;
    DataSource *DataSource1;

private:
    void showNoRow(const QString &year);
    // The first pending value that is not a whole number in range, as a
    // message; empty when all are fine.
    QString invalidValue() const;

    const Startwahl &m_wahl;
    QString m_tableName;
    bool m_showsRow = true;
};
