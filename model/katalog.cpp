#include "model/katalog.h"

namespace ScorecardKatalog {
namespace {

struct PerspektiveDaten {
    const char *deutsch;
    const char *englisch;
};

constexpr PerspektiveDaten perspektiven[PerspektivenAnzahl] = {
    {"Finanzperspektive", "Financial perspective"},
    {"Kundenperspektive", "Customer perspective"},
    {"Mitarbeiterperspektive", "Coworker perspective"},
    {"Prozessperspektive", "Process perspective"},
};

struct ZielDaten {
    const char *text;            // stored identity, letter for letter
    const char *textEnglisch;
    const char *tabelle;
    const char *kennzahl;
    const char *kennzahlEnglisch; // nullptr: the English dialog lists the German name
    Einheit einheit;
};

// Goals 1 to 12 in order; goal 11 in its mining variant.
constexpr ZielDaten ziele[ZielAnzahl] = {
    {"Steigerung der Gesamtrentabilität", "Increase of total profitability",
     "kz_ges_renta", "Gesamtkapitalrentabilität", "Total profitability", Einheit::Prozent},
    {"Erhöhung der finanziellen Unabhängigkeit vom Gläubiger",
     "Increase of financial independence from the creditors",
     "kz_kap_quote", "Eigenkapitalquote", "Equity ratio", Einheit::Prozent},
    {"Erhöhung der Liquidität", "Increase of the liquidity",
     "kz_liqui", "Liquidität 1. Grades", "Cash ratio", Einheit::Prozent},
    {"Erhöhung der Kundenzufriedenheit", "Increase of the customer satisfiction",
     "kz_kundentreue", "Kundentreue", "Customer loyalty", Einheit::Prozent},
    {"Erhöhung des Marktanteils im Bereich X", "Increase market share within range X",
     "kz_marktanteil", "Marktanteil", "Market share", Einheit::Prozent},
    {"Verbesserung der Kundenbeziehungen", "Improvement of the customer relations",
     "kz_beschwerden", "Anzahl der Beschwerden", "Numbers of complaints", Einheit::Prozent},
    // Stored with "ss"; captions that write "ß" never reach the database.
    {"Qualitätsbewusstsein der Mitarbeiter erhöhen", "Quality awareness of the coworkes increase",
     "kz_anz_verbesserung", "Anzahl der Verbesserungsvorschläge", nullptr,
     Einheit::AnzahlJeMitarbeiter},
    {"Erhöhung der Mitarbeiterproduktivität", "Increase of the coworker productivity",
     "kz_output_input", "Gewinn / Personalkosten", nullptr, Einheit::Prozent},
    {"Passgenaue Besetzung der Stellen", "Exact occupation of working place",
     "kz_zu_auf_daten", "Grad der Übereinstimmung des MA.-profils mit dem Stellenprofil",
     nullptr, Einheit::Prozent},
    {"Zeitnahe Rechnungslegung einführen", "Introduce time near accounting",
     "kz_rechlegung", "Dauer der Rechnungslegung", nullptr, Einheit::Tage},
    {"Dauer der Auftragsabwicklung verringern", "Duration of the job execution reduce",
     "kz_auf_abwicklung", "Dauer der Auftragsabwicklung verringern", nullptr, Einheit::Tage},
    {"Verringerung der Auslieferungszeit", "Decrease of the distribution time",
     "kz_reklamation", "Verringerung der Auslieferungszeit", nullptr, Einheit::Tage},
};

// Goal 11 for agriculture.
constexpr ZielDaten zielLandwirtschaft = {
    "Erhöhung des Anteils innovativer Produkte", "Increase of the prtion innovative products",
    "kz_neuprod", "Erhöhung des Anteils innovativer Produkte", nullptr, Einheit::Prozent};

struct ZeitraumDaten {
    const char *deutsch;
    const char *englisch;
    const char *suffix;
};

constexpr ZeitraumDaten zeitraeume[ZeitraumAnzahl] = {
    {"1. Quartal", "1. Quarter", "q1"},
    {"2. Quartal", "2. Quarter", "q2"},
    {"3. Quartal", "3. Quarter", "q3"},
    {"4. Quartal", "4. Quarter", "q4"},
    {"1. Halbjahr", "1. Half-year", "halbjahr1"},
    {"2. Halbjahr", "2. Half-year", "halbjahr2"},
    {"Jahr", "Year", "jahr"},
};

const ZielDaten *zielDaten(int ziel, int branche)
{
    if (ziel < 1 || ziel > ZielAnzahl)
        return nullptr;
    if (ziel == BranchenZiel && istLandwirtschaft(branche))
        return &zielLandwirtschaft;
    return &ziele[ziel - 1];
}

const ZeitraumDaten *zeitraumDaten(int zeitraum)
{
    if (zeitraum < 0 || zeitraum >= ZeitraumAnzahl)
        return nullptr;
    return &zeitraeume[zeitraum];
}

QString text(const char *s)
{
    return s ? QString::fromUtf8(s) : QString();
}

} // namespace

QString perspektiveText(int perspektive, bool englisch)
{
    if (perspektive < 0 || perspektive >= PerspektivenAnzahl)
        return {};
    const PerspektiveDaten &p = perspektiven[perspektive];
    return text(englisch ? p.englisch : p.deutsch);
}

int perspektiveVonZiel(int ziel)
{
    if (ziel < 1 || ziel > ZielAnzahl)
        return -1;
    return (ziel - 1) / ZieleJePerspektive;
}

int positionVonZiel(int ziel)
{
    if (ziel < 1 || ziel > ZielAnzahl)
        return -1;
    return (ziel - 1) % ZieleJePerspektive;
}

int zielNummer(int perspektive, int position)
{
    if (perspektive < 0 || perspektive >= PerspektivenAnzahl
        || position < 0 || position >= ZieleJePerspektive)
        return -1;
    return perspektive * ZieleJePerspektive + position + 1;
}

QString zielText(int ziel, int branche)
{
    const ZielDaten *z = zielDaten(ziel, branche);
    return z ? text(z->text) : QString();
}

QString zielTextEnglisch(int ziel, int branche)
{
    const ZielDaten *z = zielDaten(ziel, branche);
    return z ? text(z->textEnglisch) : QString();
}

QString tabelle(int ziel, int branche)
{
    const ZielDaten *z = zielDaten(ziel, branche);
    return z ? text(z->tabelle) : QString();
}

QString kennzahlName(int ziel, int branche)
{
    const ZielDaten *z = zielDaten(ziel, branche);
    return z ? text(z->kennzahl) : QString();
}

QString kennzahlNameEnglisch(int ziel, int branche)
{
    const ZielDaten *z = zielDaten(ziel, branche);
    if (!z)
        return {};
    return text(z->kennzahlEnglisch ? z->kennzahlEnglisch : z->kennzahl);
}

Einheit einheitArt(int ziel, int branche)
{
    const ZielDaten *z = zielDaten(ziel, branche);
    return z ? z->einheit : Einheit::Keine;
}

QString einheit(int ziel, int branche)
{
    switch (einheitArt(ziel, branche)) {
    case Einheit::Prozent:
        return QStringLiteral("%");
    case Einheit::AnzahlJeMitarbeiter:
        return QStringLiteral("Anzahl je Mitarbeiter und Jahr");
    case Einheit::Tage:
        return QStringLiteral("Tage");
    case Einheit::Keine:
        break;
    }
    return {};
}

QStringList alleTabellen()
{
    QStringList liste;
    liste.reserve(TabellenAnzahl);
    for (int ziel = 1; ziel <= ZielAnzahl; ++ziel) {
        if (ziel == BranchenZiel)
            liste << tabelle(ziel, BrancheLandwirtschaft);
        liste << tabelle(ziel, BrancheBergbau);
    }
    return liste;
}

QString zeitraumText(int zeitraum, bool englisch)
{
    const ZeitraumDaten *z = zeitraumDaten(zeitraum);
    return z ? text(englisch ? z->englisch : z->deutsch) : QString();
}

QString zeitraumSuffix(int zeitraum)
{
    const ZeitraumDaten *z = zeitraumDaten(zeitraum);
    return z ? text(z->suffix) : QString();
}

QString istSpalte(int zeitraum)
{
    const ZeitraumDaten *z = zeitraumDaten(zeitraum);
    return z ? QLatin1String("ist_wert_") + text(z->suffix) : QString();
}

QString sollSpalte(int zeitraum)
{
    const ZeitraumDaten *z = zeitraumDaten(zeitraum);
    return z ? QLatin1String("soll_wert_") + text(z->suffix) : QString();
}

QStringList jahre()
{
    QStringList liste;
    liste.reserve(LetztesJahr - ErstesJahr + 1);
    for (int jahr = ErstesJahr; jahr <= LetztesJahr; ++jahr)
        liste << QString::number(jahr);
    return liste;
}

} // namespace ScorecardKatalog
