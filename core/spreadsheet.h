#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class Database;

// Key figures and measures in and out of spreadsheets: CSV and XLSX files
// written from the database, and CSV files of key figures read back as a
// checked list of changes that is applied in one transaction. Shared by
// bsc-db and the program; every failure is an EngineError with a clear
// message, and nothing half-written is left behind.
namespace Spreadsheet {

// One sheet: a header and rows of cells. A cell is empty (a null
// QVariant), a whole number (qlonglong) or a text.
struct Sheet {
    QString name;
    QStringList header;
    QList<QVariantList> rows;
};

// The informative columns before the table and the year.
QStringList kennzahlenHeader();

// Every key figure's values in long form, one row per table and year;
// goal 11 with both of its tables. An empty year means every year.
Sheet kennzahlen(Database &db, const QString &year = {});
// The measures table with every column.
Sheet massnahmen(Database &db, const QString &year = {});

enum class Format { Csv, Xlsx };
// The format a file's extension names; throws EngineError for any other.
Format formatOf(const QString &path);

// CSV text: UTF-8 with a byte-order mark, comma-separated, CRLF line ends,
// fields quoted where needed; line breaks inside a text are kept. A text
// that begins with =, +, -, @, a tab or a carriage return (and is no plain
// number) gets a leading apostrophe, so that no spreadsheet runs it.
QByteArray csv(const Sheet &sheet);
// One value of such a line, guarded and quoted the same way.
QString csvField(const QVariant &value);
QString csvText(QString text);

// A file to write: a CSV file holds one sheet, an XLSX file one or more.
struct File {
    QString path;
    QList<Sheet> sheets;
};
// Writes every file under a temporary name beside it and names them only
// when all are complete. Without replace an existing file is refused
// before anything is written; with it the final rename replaces it.
void write(const QList<File> &files, bool replace);

// A fault of an import: where it is and what is wrong.
struct Fault {
    int line = 0;
    QString column;   // may be empty
    QString message;
    QString text() const;   // "line 7, Ist_Wert_Q1: ..."
};

// A CSV file as records of fields. The separator (comma or semicolon) is
// taken from the header line; a byte-order mark is skipped.
struct Record {
    int line = 0;          // where the record starts, from 1
    QStringList fields;
};
struct Table {
    QList<Record> records;   // the header first
    QList<Fault> faults;     // what could not be read
};
Table parseCsv(const QByteArray &bytes);

// One value that an import changes. Empty values are null.
struct Change {
    QString table;    // stored spelling
    QString year;
    QString column;   // stored spelling
    QVariant before;
    QVariant after;
};

// What an import of key figures would do. The rows' stored values are kept
// so that applying refuses rows that another program changed meanwhile.
struct Plan {
    QList<Fault> faults;
    QList<Change> changes;
    bool ok() const { return faults.isEmpty(); }

    struct Row {
        QString table;
        QString year;
        QVariant key;
        QStringList columns;
        QVariantList before;
        QVariantList after;
    };
    QList<Row> rows;   // rows with at least one change
};

// Largest file an import reads; key figures take a few kilobytes.
constexpr qint64 MaxImportBytes = 16 * 1024 * 1024;

// Checks every line of a CSV file of key figures against the database and
// lists the changes; reads only.
Plan planKennzahlenImport(Database &db, const QByteArray &bytes);
// Reads a file for an import; throws EngineError when it cannot or it is
// larger than an import takes.
QByteArray readImportFile(const QString &path);

// Writes the plan's changes in one transaction, all or nothing; throws
// EngineError when a row changed since the plan was made. Refuses a plan
// with faults.
void apply(Database &db, const Plan &plan);

// A value as the lists of changes show it: the number, or "(empty)".
QString display(const QVariant &value);

} // namespace Spreadsheet
