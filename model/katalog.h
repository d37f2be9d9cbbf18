#pragma once
// The fixed scorecard: perspectives, goals, key figures with their tables,
// reporting periods and the year list. Constant data with total lookups;
// an index outside its range yields an empty text or -1.

#include <QString>
#include <QStringList>

class Database;

namespace ScorecardKatalog {

constexpr int PerspektiveCount = 4;
constexpr int ZielCount = 12;
constexpr int ZielePerPerspektive = 3;
constexpr int ZeitraumCount = 7;
constexpr int TableCount = 13;

// The goal whose key figure depends on the industry.
constexpr int BrancheZiel = 11;

// Industry selector: 0 is agriculture, every other index (also -1) mining.
constexpr int BrancheAgriculture = 0;
constexpr int BrancheMining = 1;
inline bool isAgriculture(int branche) { return branche == BrancheAgriculture; }

// Perspective selector texts (0 financial, 1 customer, 2 employee, 3 process).
QString perspektiveText(int perspektive, bool english);
// All four, the items of the perspective selectors.
QStringList perspektiveTexts(bool english);

// Goal n (1..12) lies in perspective (n-1)/3 at position (n-1)%3.
int perspektiveOf(int ziel);
int positionOf(int ziel);
int zielNumber(int perspektive, int position);

// The German goal text is the goal's stored identity in the measures table;
// it is written and searched letter for letter, in both languages.
QString zielText(int ziel, int branche);
// The text the English goal selector offers.
QString zielTextEnglish(int ziel, int branche);

// Key-figure table of a goal, without ".db" (for example "kz_ges_renta").
QString table(int ziel, int branche);
// German key-figure name as the entry dialog lists it.
QString kennzahlName(int ziel, int branche);
// Name in the English entry dialog: English for the financial and customer
// key figures, the German name for the others.
QString kennzahlNameEnglish(int ziel, int branche);

enum class Unit { None, Percent, CountPerEmployee, Days };
Unit unitOf(int ziel, int branche);
// Unit as a short German text ("%", "Tage", ...); not a screen caption,
// the views carry their own.
QString unitText(int ziel, int branche);

// All thirteen key-figure tables, goal order, agriculture variant of goal 11
// before the mining variant.
QStringList allTables();

// Reporting periods: 0..3 quarters, 4 and 5 half-years, 6 whole year.
QString zeitraumText(int zeitraum, bool english);
QStringList zeitraumTexts(bool english);   // the items of the period selectors
QString zeitraumSuffix(int zeitraum);   // "q1" ... "jahr"
QString istColumn(int zeitraum);        // "ist_wert_q1" ... "ist_wert_jahr"
QString sollColumn(int zeitraum);       // "soll_wert_q1" ... "soll_wert_jahr"

// "2003" ... "2013", the items of every year selector.
constexpr int FirstYear = 2003;
constexpr int LastYear = 2013;
QStringList years();

// The items of the year selectors: the year list, followed by every later
// year that the key-figure tables of the open database hold, so that the
// current year can be chosen instead of typed. Throws EngineError.
QStringList yearsWithDatabase(Database &db);

} // namespace ScorecardKatalog
