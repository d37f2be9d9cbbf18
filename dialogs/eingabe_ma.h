#pragma once

#include <QStringList>
#include <QWidget>

#include "model/messages.h"

class DBEdit;
class DBMemo;
class DBText;
class DataSource;
class MeasuresChoice;
class QLabel;
class QPushButton;
class Query;
class Startwahl;
struct Services;
class Table;

// Measures editor: pages through the measures of the Measures page's goal
// and year, changes one, adds one or deletes one; every save, delete and
// close is confirmed and shows on the page at once.
class Teingabe_m : public QWidget {
    Q_OBJECT
public:
    // Opens its list and table; throws EngineError when it cannot.
    Teingabe_m(const Services &services, const Startwahl &wahl, MeasuresChoice &page);

    // Opening from the Measures page.
    void open();
    void Button2Click();
    void Button3Click();
    void Button_M_bearbeitenClick();
    void Button_neue_MClick();
    void speichernClick();
    void loeschenClick();
    void beendenClick();

    // A measure being changed or added with typed texts that are not
    // saved is settled with one question: saved (through "Speichern..."'s
    // question), dropped, or kept by going back. True when the caller may
    // go on; false to go back with everything as it was.
    bool settlePending();
    bool hasUnsaved() const;

    // Whether the fields show the measures table (or the list).
    bool inTableView() const;

    Query *Query1;
    Table *Table1;
    DataSource *DataSource1;

    DBMemo *dbmemo2;
    DBMemo *DBMemo1;
    DBEdit *DBEdit2;
    DBEdit *DBEdit3;
    DBEdit *DBEdit4;
    DBEdit *DBEdit5;
    DBEdit *DBEdit6;
    DBEdit *DBEdit7;
    DBText *dbtext1;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QLabel *Label6;
    QLabel *Label7;
    QLabel *Label10;
    // Who changed the measure shown last and when, from the change history.
    QLabel *LastChange;
    QPushButton *Button2;
    QPushButton *Button3;
    QPushButton *Button_M_bearbeiten;
    QPushButton *loeschen;
    QPushButton *Button_neue_M;
    QPushButton *speichern;
    QPushButton *beenden;

private:
    void openList();
    // Counts the list's entries by stepping to its end; the last stays current.
    int countList();
    // The Nr of the measure the fields show, 0 when none.
    int shownNumber() const;
    // The measures table on the row with this Nr; false, with a message and
    // the fields left as they are, when no measure has it.
    bool findInTable(int nr, bool deleting);
    // The count label and "<<<"/">>>" for a list of this many entries.
    void showCount(int count);
    // What the typed fields hold when editing or adding begins.
    void rememberStart();
    // The save step; false when the question is answered Cancel. Throws
    // EngineError.
    bool save();
    // A question of the table with OK and Cancel.
    bool ask(Messages::Measures question);

    void showLastChange();

    const Services &m_services;
    const Startwahl &m_wahl;
    MeasuresChoice &m_page;
    int m_lastChangeOf = -1;   // the Nr the line was read for
    QStringList m_started;
};
