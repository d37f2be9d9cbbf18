#include "model/ampel.h"

#include "model/katalog.h"

namespace {

constexpr AmpelRegel aufsteigend(double a, double b)
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
constexpr AmpelRegel absteigend()
{
    AmpelRegel r;
    r.art = AmpelRegel::Absteigend;
    r.g2 = 120;
    r.y2 = 150;
    return r;
}

// Goals 1 to 12; goal 11 in its mining variant, goal 7 as most pages judge it.
constexpr AmpelRegel regeln[ScorecardKatalog::ZielAnzahl] = {
    aufsteigend(75, 90),        // 1 kz_ges_renta
    band(65, 80, 120, 135),     // 2 kz_kap_quote
    band(70, 90, 110, 130),     // 3 kz_liqui
    aufsteigend(50, 75),        // 4 kz_kundentreue
    aufsteigend(20, 40),        // 5 kz_marktanteil
    aufsteigend(60, 80),        // 6 kz_beschwerden
    aufsteigend(50, 75),        // 7 kz_anz_verbesserung
    aufsteigend(80, 90),        // 8 kz_output_input
    aufsteigend(50, 70),        // 9 kz_zu_auf_daten
    absteigend(),               // 10 kz_rechlegung
    absteigend(),               // 11 kz_auf_abwicklung
    absteigend(),               // 12 kz_reklamation
};

constexpr AmpelRegel regelNeuprodukte = aufsteigend(60, 80);        // 11 kz_neuprod
constexpr AmpelRegel regelVerbesserungMassnahmen = aufsteigend(60, 80); // 7 on the Measures page

constexpr int zielVerbesserung = 7;

} // namespace

AmpelRegel ampelRegel(int ziel, int branche, Ansicht ansicht)
{
    if (ziel < 1 || ziel > ScorecardKatalog::ZielAnzahl)
        return {};
    if (ziel == ScorecardKatalog::BranchenZiel && ScorecardKatalog::istLandwirtschaft(branche))
        return regelNeuprodukte;
    if (ziel == zielVerbesserung && ansicht == Ansicht::Massnahmen)
        return regelVerbesserungMassnahmen;
    return regeln[ziel - 1];
}

double erfuellungsgrad(qint32 ist, qint32 soll)
{
    return double(qint64(ist) * 100) / double(soll);
}

Ampel beurteileGrad(const AmpelRegel &regel, double r)
{
    switch (regel.art) {
    case AmpelRegel::Aufsteigend:
        if (r < regel.a)
            return Ampel::Rot;
        if (r < regel.b)
            return Ampel::Gelb;
        return Ampel::Gruen;
    case AmpelRegel::Band:
        if (r < regel.y1 || r > regel.y2)
            return Ampel::Rot;
        if (r < regel.g1 || r > regel.g2)
            return Ampel::Gelb;
        return Ampel::Gruen;
    case AmpelRegel::Absteigend:
        if (r > regel.y2)
            return Ampel::Rot;
        if (r > regel.g2)
            return Ampel::Gelb;
        return Ampel::Gruen;
    case AmpelRegel::Keine:
        break;
    }
    return Ampel::Grau;
}

Ampel beurteilen(const AmpelRegel &regel, qint32 ist, qint32 soll)
{
    if (soll == 0)
        return Ampel::Grau;
    return beurteileGrad(regel, erfuellungsgrad(ist, soll));
}

Ampel beurteilen(int ziel, int branche, Ansicht ansicht, qint32 ist, qint32 soll)
{
    return beurteilen(ampelRegel(ziel, branche, ansicht), ist, soll);
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
