#pragma once
// The fixed scorecard: perspectives, goals, key figures with their tables,
// reporting periods and the year list. Constant data with total lookups;
// an index outside its range yields an empty text or -1.

#include <QString>
#include <QStringList>

namespace ScorecardKatalog {

constexpr int PerspektivenAnzahl = 4;
constexpr int ZielAnzahl = 12;
constexpr int ZieleJePerspektive = 3;
constexpr int ZeitraumAnzahl = 7;
constexpr int TabellenAnzahl = 13;

// The goal whose key figure depends on the industry.
constexpr int BranchenZiel = 11;

// Industry selector: 0 is agriculture, every other index (also -1) mining.
constexpr int BrancheLandwirtschaft = 0;
constexpr int BrancheBergbau = 1;
inline bool istLandwirtschaft(int branche) { return branche == BrancheLandwirtschaft; }

// Perspective selector texts (0 financial, 1 customer, 2 employee, 3 process).
QString perspektiveText(int perspektive, bool englisch);

// Goal n (1..12) lies in perspective (n-1)/3 at position (n-1)%3.
int perspektiveVonZiel(int ziel);
int positionVonZiel(int ziel);
int zielNummer(int perspektive, int position);

// The German goal text is the goal's stored identity in the measures table;
// it is written and searched letter for letter, in both languages.
QString zielText(int ziel, int branche);
// The text the English goal selector offers.
QString zielTextEnglisch(int ziel, int branche);

// Key-figure table of a goal, without ".db" (for example "kz_ges_renta").
QString tabelle(int ziel, int branche);
// German key-figure name as the entry dialog lists it.
QString kennzahlName(int ziel, int branche);
// Name in the English entry dialog: English for the financial and customer
// key figures, the German name for the others.
QString kennzahlNameEnglisch(int ziel, int branche);

enum class Einheit { Keine, Prozent, AnzahlJeMitarbeiter, Tage };
Einheit einheitArt(int ziel, int branche);
// Unit as a short German text ("%", "Tage", ...); not a screen caption,
// the views carry their own.
QString einheit(int ziel, int branche);

// All thirteen key-figure tables, goal order, agriculture variant of goal 11
// before the mining variant.
QStringList alleTabellen();

// Reporting periods: 0..3 quarters, 4 and 5 half-years, 6 whole year.
QString zeitraumText(int zeitraum, bool englisch);
QString zeitraumSuffix(int zeitraum);   // "q1" ... "jahr"
QString istSpalte(int zeitraum);        // "ist_wert_q1" ... "ist_wert_jahr"
QString sollSpalte(int zeitraum);       // "soll_wert_q1" ... "soll_wert_jahr"

// "2003" ... "2013", the items of every year selector.
constexpr int ErstesJahr = 2003;
constexpr int LetztesJahr = 2013;
QStringList jahre();

} // namespace ScorecardKatalog
