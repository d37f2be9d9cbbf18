#pragma once
// The layout of every key-figure table, in one place: the year column, the
// fourteen value columns in entry order (period by period, actual before
// target), the periods' column suffixes and the range a value may take.
// The entry dialog, the imports, the table definitions, the check, the
// export and the report all take it from here.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace KennzahlSchema {

inline const QString YearColumn = QStringLiteral("Jahr");

constexpr int PeriodCount = 7;
constexpr int ValueColumnCount = 2 * PeriodCount;

// "Q1" ... "Q4", "Halbjahr1", "Halbjahr2", "Jahr"; empty outside 0..6.
QString suffix(int zeitraum);
QString istColumn(int zeitraum);    // "Ist_Wert_Q1" ...
QString sollColumn(int zeitraum);   // "Soll_Wert_Q1" ...
// All fourteen, in entry order.
const QStringList &valueColumns();

// The largest magnitude of a value: its hundredfold still fits 32 bits, so
// the achievement ratio of any pair in range is exact. One range for every
// value, actual and target alike.
constexpr qint32 MaxMagnitude = 21474836;
inline bool inRange(qint64 value) { return value >= -MaxMagnitude && value <= MaxMagnitude; }

struct Verdict {
    enum Fault { None, NotWhole, OutOfRange };
    Fault fault = None;
    bool empty = true;   // an empty text stands for "no value"
    qint32 value = 0;    // valid when fault is None and not empty
    bool ok() const { return fault == None; }
};

// Judges a typed or imported value: blanks around it are ignored, then it
// is empty, or a whole decimal number with an optional sign within the range.
Verdict validate(const QString &text);
// The reason in words for a fault, e.g. "not a whole number" /
// "outside the range of -21,474,836 to 21,474,836".
QString reason(Verdict::Fault fault, bool english);
// One line that names the field and the value, e.g.
// "Soll_Wert_Q1: 2147483647 is outside the range of -21,474,836 to 21,474,836".
QString describe(const QString &column, const QString &text, Verdict::Fault fault, bool english);

} // namespace KennzahlSchema
