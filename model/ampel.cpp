#include "model/ampel.h"

#include "model/katalog.h"

namespace {

constexpr AmpelRegel ascending(double a, double b)
{
    AmpelRegel r;
    r.art = AmpelRegel::Aufsteigend;
    r.a = a;
    r.b = b;
    return r;
}

constexpr AmpelRegel band(double y1, double g1, double g2, double y2)
{
    AmpelRegel r;
    r.art = AmpelRegel::Band;
    r.y1 = y1;
    r.g1 = g1;
    r.g2 = g2;
    r.y2 = y2;
    return r;
}

// Lower is better: the time key figures.
constexpr AmpelRegel descending()
{
    AmpelRegel r;
    r.art = AmpelRegel::Absteigend;
    r.g2 = 120;
    r.y2 = 150;
    return r;
}

// Goals 1 to 12; goal 11 in its mining variant, goal 7 as most pages judge it.
constexpr AmpelRegel rules[ScorecardKatalog::ZielCount] = {
    ascending(75, 90),        // 1 kz_ges_renta
    band(65, 80, 120, 135),     // 2 kz_kap_quote
    band(70, 90, 110, 130),     // 3 kz_liqui
    ascending(50, 75),        // 4 kz_kundentreue
    ascending(20, 40),        // 5 kz_marktanteil
    ascending(60, 80),        // 6 kz_beschwerden
    ascending(50, 75),        // 7 kz_anz_verbesserung
    ascending(80, 90),        // 8 kz_output_input
    ascending(50, 70),        // 9 kz_zu_auf_daten
    descending(),               // 10 kz_rechlegung
    descending(),               // 11 kz_auf_abwicklung
    descending(),               // 12 kz_reklamation
};

constexpr AmpelRegel newProductsRule = ascending(60, 80);        // 11 kz_neuprod
constexpr AmpelRegel suggestionsOnMeasuresPageRule = ascending(60, 80); // 7 on the Measures page

constexpr int suggestionsZiel = 7;

} // namespace

AmpelRegel ampelRegel(int ziel, int branche, View view)
{
    if (ziel < 1 || ziel > ScorecardKatalog::ZielCount)
        return {};
    if (ziel == ScorecardKatalog::BrancheZiel && ScorecardKatalog::isAgriculture(branche))
        return newProductsRule;
    if (ziel == suggestionsZiel && view == View::Measures)
        return suggestionsOnMeasuresPageRule;
    return rules[ziel - 1];
}

double erfuellungsgrad(qint32 ist, qint32 soll)
{
    return double(qint64(ist) * 100) / double(soll);
}

Ampel judgeRatio(const AmpelRegel &rule, double r)
{
    switch (rule.art) {
    case AmpelRegel::Aufsteigend:
        if (r < rule.a)
            return Ampel::Rot;
        if (r < rule.b)
            return Ampel::Gelb;
        return Ampel::Gruen;
    case AmpelRegel::Band:
        if (r < rule.y1 || r > rule.y2)
            return Ampel::Rot;
        if (r < rule.g1 || r > rule.g2)
            return Ampel::Gelb;
        return Ampel::Gruen;
    case AmpelRegel::Absteigend:
        if (r > rule.y2)
            return Ampel::Rot;
        if (r > rule.g2)
            return Ampel::Gelb;
        return Ampel::Gruen;
    case AmpelRegel::Keine:
        break;
    }
    return Ampel::Grau;
}

Ampel judge(const AmpelRegel &rule, qint32 ist, qint32 soll)
{
    if (soll == 0)
        return Ampel::Grau;
    return judgeRatio(rule, erfuellungsgrad(ist, soll));
}

Ampel judge(int ziel, int branche, View view, qint32 ist, qint32 soll)
{
    return judge(ampelRegel(ziel, branche, view), ist, soll);
}

QString ampelName(Ampel ampel)
{
    switch (ampel) {
    case Ampel::Grau:
        return QStringLiteral("grau");
    case Ampel::Rot:
        return QStringLiteral("rot");
    case Ampel::Gelb:
        return QStringLiteral("gelb");
    case Ampel::Gruen:
        return QStringLiteral("gruen");
    }
    return {};
}
