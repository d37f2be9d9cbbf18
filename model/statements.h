#pragma once

#include <QString>

// The statement texts the pages send, letter for letter; the database layer
// binds the double-quoted constants as values.
namespace Statements {

// Perspectives page: the year pair of one key-figure table.
QString yearPair(const QString &table, const QString &year);
// Objectives page: one period pair; kz_liqui is named without ".db".
QString objectivesPair(const QString &table, const QString &ist, const QString &soll, const QString &year);
// Measures page: one period pair, every table with ".db".
QString measuresPagePair(const QString &table, const QString &ist, const QString &soll, const QString &year);
// Measures page: the measures of a goal and year.
QString measures(const QString &ziel, const QString &year);
// Measures editor list: as the page's, with blanks around the second "=".
QString measuresList(const QString &ziel, const QString &year);
// Markers of red goals without a measure: the goal of every measure of a year.
QString measureGoalsOfYear(const QString &year);
// Key-figure history: the year and one period pair of every row.
QString history(const QString &table, const QString &ist, const QString &soll);
// Overview page: the whole row of a year.
QString yearRow(const QString &table, const QString &year);
// Report: the whole row of a year, the table without ".db".
QString reportRow(const QString &table, const QString &year);

} // namespace Statements
