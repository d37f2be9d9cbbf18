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

// A text in a code page, as the old program stored it; or in a character
// set iconv names ("HP-ROMAN8").
QByteArray encode(const QString &text, int codepage);
QByteArray encodeIn(const QString &text, const char *charset);

// Writes a table: a cell that is null stays empty; a whole number goes into
// short, long and autoincrement fields, a double into number, money and
// timestamp (milliseconds) fields, a text into alpha, memo and BCD fields
// (in the code page), a date into date fields. Bytes (QByteArray) go in as
// they are: into alpha and memo fields, and as the 17 bytes of a BCD field.
// Memo texts longer than the field go into the memo file, which pxlib
// writes beside it.
// The column names are in the code page, or in the character set given.
void write(const QByteArray &path, const QList<Column> &columns, const QList<QVariantList> &rows, int codepage,
           const QByteArray &memoPath = {}, const char *charset = nullptr);

// A formatted memo as the old engine stores it: a head of 44 bytes (the
// marker 07 00 00 00, the text's length, layout), the text, then the runs
// of fonts and styles; the length field can be set to something else.
QByteArray formattedMemo(const QByteArray &text, qint64 claimedLength = -1);

// The 17 bytes of a BCD field: "-12.5" with that many digits after the
// point; nibbles past 9 where a digit is '?'.
QByteArray bcd(const QString &number, int decimals);

// Byte edits of a written table's header: no code page named, and another
// language driver's name in place of pxlib's "ANSIINTL".
void setLanguageDriver(const QString &file, const QByteArray &driver);

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
