#pragma once

#include <QByteArray>
#include <QString>

// Values of the old program's Paradox tables that pxlib does not read
// exactly, decoded from their bytes. Pure functions: no file, no library.
namespace ParadoxValues {

// A BCD field (17 bytes): byte 0 holds the sign (bit 7 set: positive) and
// in its low six bits the digits after the point; then 32 digits as
// nibbles, the last of them after the point, each complemented for a
// negative number. The number as decimal text ("-12.5", "0"), exactly, or
// false with the reason (a nibble that is no digit, more than 32 digits
// after the point, or not as many as the field declares).
bool bcdText(const uchar *data, int fieldDecimals, QString *text, QString *why);

// A formatted memo as the old engine stores it: a head of 44 bytes (the
// marker 07 00 00 00, the text's length, then layout), the plain text in
// the table's code page, then the runs of fonts and styles. A blob without
// the marker is plain text (other programs wrote plain memos into such
// fields).
struct Memo {
    bool formatted = false;
    QByteArray text;   // the text's bytes, line breaks as LF
    QString why;       // empty when the text could be read
};
Memo formattedMemo(const QByteArray &blob);

// The character set a table's language driver stands for, as iconv names
// it ("CP437", "CP1252", "HP-ROMAN8"), for a table whose header names no
// code page; empty for a name this table does not know.
QString languageDriverCharset(const QByteArray &driver);

// The character set as a person reads it: "CP850", "HP Roman-8".
QString charsetShown(const QString &charset);

} // namespace ParadoxValues
