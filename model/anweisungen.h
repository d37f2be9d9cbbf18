#pragma once

#include <QString>

// The statement texts the pages send, letter for letter; the database layer
// binds the double-quoted constants as values.
namespace Anweisungen {

// S1, Perspectives page: the year pair of one key-figure table.
QString jahresWerte(const QString &tabelle, const QString &jahr);
// S2, Objectives page: one period pair; kz_liqui is named without ".db".
QString zeitraumWerteZiele(const QString &tabelle, const QString &ist, const QString &soll, const QString &jahr);
// S3, Measures page: one period pair, every table with ".db".
QString zeitraumWerte(const QString &tabelle, const QString &ist, const QString &soll, const QString &jahr);
// S4, Measures page: the measures of a goal and year.
QString massnahmen(const QString &ziel, const QString &jahr);
// S5, measures editor list: as S4 with blanks around the second "=".
QString massnahmenListe(const QString &ziel, const QString &jahr);
// S6, Overview page: the whole row of a year.
QString jahresZeile(const QString &tabelle, const QString &jahr);
// S7, report: the whole row of a year, table without ".db".
QString berichtsZeile(const QString &tabelle, const QString &jahr);

} // namespace Anweisungen
