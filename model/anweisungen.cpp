#include "model/anweisungen.h"

namespace {
QString dq(const QString &value) { return QLatin1Char('"') + value + QLatin1Char('"'); }
} // namespace

QString Anweisungen::jahresWerte(const QString &tabelle, const QString &jahr)
{
    return QStringLiteral("select ist_wert_jahr,soll_wert_jahr from ") + tabelle + QStringLiteral(".db where jahr=") + dq(jahr);
}

QString Anweisungen::zeitraumWerteZiele(const QString &tabelle, const QString &ist, const QString &soll, const QString &jahr)
{
    const QString name = tabelle == QLatin1String("kz_liqui") ? tabelle : tabelle + QStringLiteral(".db");
    return QStringLiteral("select ") + ist + QLatin1Char(',') + soll + QStringLiteral(" from ") + name
        + QStringLiteral(" where jahr=") + dq(jahr);
}

QString Anweisungen::zeitraumWerte(const QString &tabelle, const QString &ist, const QString &soll, const QString &jahr)
{
    return QStringLiteral("select ") + ist + QLatin1Char(',') + soll + QStringLiteral(" from ") + tabelle
        + QStringLiteral(".db where jahr=") + dq(jahr);
}

QString Anweisungen::massnahmen(const QString &ziel, const QString &jahr)
{
    return QStringLiteral("select * from maßnahmen where ziel=") + dq(ziel) + QStringLiteral(" and jahr=") + dq(jahr);
}

QString Anweisungen::massnahmenListe(const QString &ziel, const QString &jahr)
{
    return QStringLiteral("select * from maßnahmen where ziel=") + dq(ziel) + QStringLiteral(" and ") + QStringLiteral("jahr = ")
        + dq(jahr);
}

QString Anweisungen::jahresZeile(const QString &tabelle, const QString &jahr)
{
    return QStringLiteral("select * from ") + tabelle + QStringLiteral(".db where jahr=") + dq(jahr);
}

QString Anweisungen::berichtsZeile(const QString &tabelle, const QString &jahr)
{
    return QStringLiteral("select * from ") + tabelle + QStringLiteral(" where jahr=") + dq(jahr);
}
