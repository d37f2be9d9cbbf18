#include "model/katalog.h"

#include "model/kennzahlschema.h"

#include "platform/db/database.h"

#include <QSet>
#include <algorithm>

namespace ScorecardKatalog {
namespace {

struct PerspektiveData {
    const char *german;
    const char *english;
};

constexpr PerspektiveData perspektiven[PerspektiveCount] = {
    {"Finanzperspektive", "Financial perspective"},
    {"Kundenperspektive", "Customer perspective"},
    {"Mitarbeiterperspektive", "Coworker perspective"},
    {"Prozessperspektive", "Process perspective"},
};

struct ZielData {
    const char *text;            // stored identity, letter for letter
    const char *textEnglish;
    const char *table;
    const char *kennzahl;
    const char *kennzahlEnglish; // nullptr: the English dialog lists the German name
    Unit unit;
};

// Goals 1 to 12 in order; goal 11 in its mining variant.
constexpr ZielData ziele[ZielCount] = {
    {"Steigerung der Gesamtrentabilität", "Increase of total profitability",
     "kz_ges_renta", "Gesamtkapitalrentabilität", "Total profitability", Unit::Percent},
    {"Erhöhung der finanziellen Unabhängigkeit vom Gläubiger",
     "Increase of financial independence from the creditors",
     "kz_kap_quote", "Eigenkapitalquote", "Equity ratio", Unit::Percent},
    {"Erhöhung der Liquidität", "Increase of the liquidity",
     "kz_liqui", "Liquidität 1. Grades", "Cash ratio", Unit::Percent},
    {"Erhöhung der Kundenzufriedenheit", "Increase of the customer satisfiction",
     "kz_kundentreue", "Kundentreue", "Customer loyalty", Unit::Percent},
    {"Erhöhung des Marktanteils im Bereich X", "Increase market share within range X",
     "kz_marktanteil", "Marktanteil", "Market share", Unit::Percent},
    {"Verbesserung der Kundenbeziehungen", "Improvement of the customer relations",
     "kz_beschwerden", "Anzahl der Beschwerden", "Numbers of complaints", Unit::Percent},
    // Stored with "ss"; captions that write "ß" never reach the database.
    {"Qualitätsbewusstsein der Mitarbeiter erhöhen", "Quality awareness of the coworkes increase",
     "kz_anz_verbesserung", "Anzahl der Verbesserungsvorschläge", nullptr,
     Unit::CountPerEmployee},
    {"Erhöhung der Mitarbeiterproduktivität", "Increase of the coworker productivity",
     "kz_output_input", "Gewinn / Personalkosten", nullptr, Unit::Percent},
    {"Passgenaue Besetzung der Stellen", "Exact occupation of working place",
     "kz_zu_auf_daten", "Grad der Übereinstimmung des MA.-profils mit dem Stellenprofil",
     nullptr, Unit::Percent},
    {"Zeitnahe Rechnungslegung einführen", "Introduce time near accounting",
     "kz_rechlegung", "Dauer der Rechnungslegung", nullptr, Unit::Days},
    {"Dauer der Auftragsabwicklung verringern", "Duration of the job execution reduce",
     "kz_auf_abwicklung", "Dauer der Auftragsabwicklung verringern", nullptr, Unit::Days},
    {"Verringerung der Auslieferungszeit", "Decrease of the distribution time",
     "kz_reklamation", "Verringerung der Auslieferungszeit", nullptr, Unit::Days},
};

// Goal 11 for agriculture.
constexpr ZielData zielAgriculture = {
    "Erhöhung des Anteils innovativer Produkte", "Increase of the prtion innovative products",
    "kz_neuprod", "Erhöhung des Anteils innovativer Produkte", nullptr, Unit::Percent};

struct ZeitraumData {
    const char *german;
    const char *english;
};

constexpr ZeitraumData zeitraeume[ZeitraumCount] = {
    {"1. Quartal", "1. Quarter"},
    {"2. Quartal", "2. Quarter"},
    {"3. Quartal", "3. Quarter"},
    {"4. Quartal", "4. Quarter"},
    {"1. Halbjahr", "1. Half-year"},
    {"2. Halbjahr", "2. Half-year"},
    {"Jahr", "Year"},
};

const ZielData *zielData(int ziel, int branche)
{
    if (ziel < 1 || ziel > ZielCount)
        return nullptr;
    if (ziel == BrancheZiel && isAgriculture(branche))
        return &zielAgriculture;
    return &ziele[ziel - 1];
}

const ZeitraumData *zeitraumData(int zeitraum)
{
    if (zeitraum < 0 || zeitraum >= ZeitraumCount)
        return nullptr;
    return &zeitraeume[zeitraum];
}

QString text(const char *s)
{
    return s ? QString::fromUtf8(s) : QString();
}

} // namespace

QString perspektiveText(int perspektive, bool english)
{
    if (perspektive < 0 || perspektive >= PerspektiveCount)
        return {};
    const PerspektiveData &p = perspektiven[perspektive];
    return text(english ? p.english : p.german);
}

QStringList perspektiveTexts(bool english)
{
    QStringList items;
    for (int p = 0; p < PerspektiveCount; ++p)
        items << perspektiveText(p, english);
    return items;
}

int perspektiveOf(int ziel)
{
    if (ziel < 1 || ziel > ZielCount)
        return -1;
    return (ziel - 1) / ZielePerPerspektive;
}

int positionOf(int ziel)
{
    if (ziel < 1 || ziel > ZielCount)
        return -1;
    return (ziel - 1) % ZielePerPerspektive;
}

int zielNumber(int perspektive, int position)
{
    if (perspektive < 0 || perspektive >= PerspektiveCount
        || position < 0 || position >= ZielePerPerspektive)
        return -1;
    return perspektive * ZielePerPerspektive + position + 1;
}

QString zielText(int ziel, int branche)
{
    const ZielData *z = zielData(ziel, branche);
    return z ? text(z->text) : QString();
}

QString zielTextEnglish(int ziel, int branche)
{
    const ZielData *z = zielData(ziel, branche);
    return z ? text(z->textEnglish) : QString();
}

QString table(int ziel, int branche)
{
    const ZielData *z = zielData(ziel, branche);
    return z ? text(z->table) : QString();
}

QString kennzahlName(int ziel, int branche)
{
    const ZielData *z = zielData(ziel, branche);
    return z ? text(z->kennzahl) : QString();
}

QString kennzahlNameEnglish(int ziel, int branche)
{
    const ZielData *z = zielData(ziel, branche);
    if (!z)
        return {};
    return text(z->kennzahlEnglish ? z->kennzahlEnglish : z->kennzahl);
}

Unit unitOf(int ziel, int branche)
{
    const ZielData *z = zielData(ziel, branche);
    return z ? z->unit : Unit::None;
}

QString unitText(int ziel, int branche)
{
    switch (unitOf(ziel, branche)) {
    case Unit::Percent:
        return QStringLiteral("%");
    case Unit::CountPerEmployee:
        return QStringLiteral("Anzahl je Mitarbeiter und Jahr");
    case Unit::Days:
        return QStringLiteral("Tage");
    case Unit::None:
        break;
    }
    return {};
}

QStringList allTables()
{
    QStringList list;
    list.reserve(TableCount);
    for (int ziel = 1; ziel <= ZielCount; ++ziel) {
        if (ziel == BrancheZiel)
            list << table(ziel, BrancheAgriculture);
        list << table(ziel, BrancheMining);
    }
    return list;
}

QString zeitraumText(int zeitraum, bool english)
{
    const ZeitraumData *z = zeitraumData(zeitraum);
    return z ? text(english ? z->english : z->german) : QString();
}

QStringList zeitraumTexts(bool english)
{
    QStringList items;
    for (int z = 0; z < ZeitraumCount; ++z)
        items << zeitraumText(z, english);
    return items;
}

// The pages write the columns in lower case, as their statements always did.
QString zeitraumSuffix(int zeitraum)
{
    return KennzahlSchema::suffix(zeitraum).toLower();
}

QString istColumn(int zeitraum)
{
    return KennzahlSchema::istColumn(zeitraum).toLower();
}

QString sollColumn(int zeitraum)
{
    return KennzahlSchema::sollColumn(zeitraum).toLower();
}

QStringList years()
{
    QStringList list;
    list.reserve(LastYear - FirstYear + 1);
    for (int year = FirstYear; year <= LastYear; ++year)
        list << QString::number(year);
    return list;
}

QStringList yearsWithDatabase(Database &db)
{
    QStringList list = years();
    QSet<int> later;
    for (const QString &name : allTables()) {
        const Database::Source source = db.wholeTable(name);
        const int field = source.fields.indexOf(QStringLiteral("Jahr"));
        if (field < 0)
            continue;
        for (const QString &text : db.distinct(source, field)) {
            bool ok = false;
            const int year = text.toInt(&ok);
            // Only four-digit years: a stray text must not become an item.
            if (ok && year > LastYear && year <= 9999 && text == QString::number(year))
                later.insert(year);
        }
    }
    QList<int> sorted(later.begin(), later.end());
    std::sort(sorted.begin(), sorted.end());
    for (int year : sorted)
        list << QString::number(year);
    return list;
}

} // namespace ScorecardKatalog
