#include "model/statements.h"

namespace {
QString dq(const QString &value) { return QLatin1Char('"') + value + QLatin1Char('"'); }
} // namespace

QString Statements::yearPair(const QString &table, const QString &year)
{
    return QStringLiteral("select ist_wert_jahr,soll_wert_jahr from ") + table + QStringLiteral(".db where jahr=") + dq(year);
}

QString Statements::objectivesPair(const QString &table, const QString &ist, const QString &soll, const QString &year)
{
    const QString name = table == QLatin1String("kz_liqui") ? table : table + QStringLiteral(".db");
    return QStringLiteral("select ") + ist + QLatin1Char(',') + soll + QStringLiteral(" from ") + name
        + QStringLiteral(" where jahr=") + dq(year);
}

QString Statements::measuresPagePair(const QString &table, const QString &ist, const QString &soll, const QString &year)
{
    return QStringLiteral("select ") + ist + QLatin1Char(',') + soll + QStringLiteral(" from ") + table
        + QStringLiteral(".db where jahr=") + dq(year);
}

QString Statements::measures(const QString &ziel, const QString &year)
{
    return QStringLiteral("select * from maßnahmen where ziel=") + dq(ziel) + QStringLiteral(" and jahr=") + dq(year);
}

QString Statements::measuresList(const QString &ziel, const QString &year)
{
    return QStringLiteral("select * from maßnahmen where ziel=") + dq(ziel) + QStringLiteral(" and ")
        + QStringLiteral("jahr = ") + dq(year);
}

QString Statements::yearRow(const QString &table, const QString &year)
{
    return QStringLiteral("select * from ") + table + QStringLiteral(".db where jahr=") + dq(year);
}

QString Statements::reportRow(const QString &table, const QString &year)
{
    return QStringLiteral("select * from ") + table + QStringLiteral(" where jahr=") + dq(year);
}

QString Statements::measureGoalsOfYear(const QString &year)
{
    return QStringLiteral("select ziel from maßnahmen where jahr=") + dq(year);
}

QString Statements::history(const QString &table, const QString &ist, const QString &soll)
{
    return QStringLiteral("select jahr,") + ist + QLatin1Char(',') + soll + QStringLiteral(" from ") + table;
}
