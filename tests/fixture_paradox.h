#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

// Tables in the old program's Paradox format, written with pxlib's own
// writer (its memo files too), for the tests and the benchmark.
namespace OldTables {

struct Column {
    QString name;
    int type;          // pxfAlpha, pxfShort, ... (paradox.h)
    int length;
    int decimals = 0;  // BCD: digits after the point
};

// A text in a code page, as the old program stored it.
QByteArray encode(const QString &text, int codepage);

// Writes a table: a cell that is null stays empty; a whole number goes into
// short, long and autoincrement fields, a double into number, money and
// timestamp (milliseconds) fields, a text into alpha, memo and BCD fields
// (in the code page), a date into date fields. Memo texts longer than the
// field go into the memo file, which pxlib writes beside it.
void write(const QByteArray &path, const QList<Column> &columns, const QList<QVariantList> &rows, int codepage,
           const QByteArray &memoPath = {});

// The fourteen value columns' names.
QStringList valueColumns();

// The value a generated key-figure table holds; null for an empty one.
QVariant figure(int table, int year, int column);

// Every key-figure table for the years given, with field types, column
// spellings and file-name spellings varying from table to table (years as
// alpha and as numbers; values as long, short, number, BCD, money, alpha).
// Returns the file names written.
QStringList writeFigures(const QString &folder, int firstYear, int lastYear);

// One measure as the generated measures table holds it.
struct Measure {
    QVariant nr;                 // null: the autoincrement field left empty
    QString text;                // multi-line, CRLF between lines
    QString processes;
    QDate from;
    QDateTime until;
    QString responsible;
    double completion;
    QString year;
    QString goal;
};
QList<Measure> sampleMeasures(int count);

// The measures table and its memo file; the name's "ß" as the bytes given.
void writeMeasures(const QString &folder, const QByteArray &baseName, const QList<Measure> &measures, int codepage);

} // namespace OldTables
