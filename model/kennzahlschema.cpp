#include "model/kennzahlschema.h"

#include <QRegularExpression>

namespace KennzahlSchema {

namespace {
const char *const Suffixes[PeriodCount] = {"Q1", "Q2", "Q3", "Q4", "Halbjahr1", "Halbjahr2", "Jahr"};
}

QString suffix(int zeitraum)
{
    if (zeitraum < 0 || zeitraum >= PeriodCount)
        return {};
    return QString::fromLatin1(Suffixes[zeitraum]);
}

QString istColumn(int zeitraum)
{
    const QString s = suffix(zeitraum);
    return s.isEmpty() ? s : QStringLiteral("Ist_Wert_") + s;
}

QString sollColumn(int zeitraum)
{
    const QString s = suffix(zeitraum);
    return s.isEmpty() ? s : QStringLiteral("Soll_Wert_") + s;
}

const QStringList &valueColumns()
{
    static const QStringList columns = [] {
        QStringList list;
        for (int z = 0; z < PeriodCount; ++z)
            list << istColumn(z) << sollColumn(z);
        return list;
    }();
    return columns;
}

Verdict validate(const QString &text)
{
    Verdict v;
    const QString t = text.trimmed();
    if (t.isEmpty())
        return v;
    v.empty = false;
    static const QRegularExpression whole(QStringLiteral("\\A[+-]?[0-9]+\\z"));
    if (!whole.match(t).hasMatch()) {
        v.fault = Verdict::NotWhole;
        return v;
    }
    bool fits = false;
    const qlonglong n = t.toLongLong(&fits);
    if (!fits || !inRange(n)) {
        v.fault = Verdict::OutOfRange;
        return v;
    }
    v.value = qint32(n);
    return v;
}

QString reason(Verdict::Fault fault, bool english)
{
    switch (fault) {
    case Verdict::None:
        return {};
    case Verdict::NotWhole:
        return english ? QStringLiteral("not a whole number") : QStringLiteral("keine ganze Zahl");
    case Verdict::OutOfRange:
        return english ? QStringLiteral("outside the range of -21,474,836 to 21,474,836")
                       : QStringLiteral("außerhalb des Bereichs von -21.474.836 bis 21.474.836");
    }
    return {};
}

QString describe(const QString &column, const QString &text, Verdict::Fault fault, bool english)
{
    return english ? QStringLiteral("%1: %2 is %3").arg(column, text, reason(fault, true))
                   : QStringLiteral("%1: %2 ist %3").arg(column, text, reason(fault, false));
}

} // namespace KennzahlSchema
