#include "model/captions.h"

#include "model/katalog.h"

namespace Captions {
namespace {

struct RowTexts {
    const char *goalEn;
    const char *figureEn;
    const char *goalDe;
    const char *figureDe;
};

QString text(const char *s) { return s ? QString::fromUtf8(s) : QString(); }

Row pick(const RowTexts &t, bool english)
{
    return english ? Row{text(t.goalEn), text(t.figureEn)} : Row{text(t.goalDe), text(t.figureDe)};
}

// Rows 1 to 3 of each perspective; goal 11 in its mining variant.
const RowTexts ObjectivesRows[4][3] = {
    {{"Increase of total profitability:", "Total profitability [in %]:",
      "Steigerung der Gesamtrentabilität:", "Gesamtrentabilität [in %]:"},
     {"Increase of financial independence from the creditor:", "Equity ration [in %]:",
      "Erhöhung der finanziellen Unabhängigkeit vom Gläubiger:", "Eigenkapitalquote [in %]:"},
     {"Increase of the liquidity:", "Cash ratio [in %]:",
      "Erhöhung der Liquidität:", "Liquidität 1. Grades [in %]:"}},
    {{"Increase of the customer satisfaction:", "Costumer loyalty [in %]:",
      "Erhöhung der Kundenzufriedenheit:", "Kundentreue/Wiederverkaufsrate [in %]:"},
     {"Increase market share within range X:", "Market share [in %]:",
      "Erhöhung des Marktanteils im Bereich X:", "Marktanteil [in %]:"},
     {"Improvement of the customer relations:", "Number of complaints [in %]:",
      "Verbesserung der Kundenbeziehungen:", "Anzahl der Beschwerden [in %]:"}},
    {{"Quality awareness of the coworkes increase:",
      "Number of improvement suggestions for each coworker [per Year]:",
      "Qualitätsbewusstsein der Mitarbeiter erhöhen:", "Anzahl der Verbesserungsvorschlägen je MA (pro Jahr):"},
     {"Increase of the coworker productivity:", "profit / personnel costs [in %]:",
      "Erhöhung der Mitarbeiterproduktivität:", "Gewinn/Personalkosten [in %]:"},
     {"Exact occupation of working place:", "Degree of the agreement: coworker profile <-> placing profile:",
      "Passgenaue Besetzung der Stellen:", "Grad der Übereinstimmung des MA.-profils mit dem Stellenprofil:"}},
    {{"Introduce time near accounting:", "Duration up to accounting [per Days]:",
      "Zeitnahe Rechnungslegung einführen:", "Dauer bis zur Rechnungslegung [in Tagen]:"},
     {"Duration of the job execution reduce:", "Time of the job execution [per Days]:",
      "Dauer der Auftragsabwicklung verringern:", "Zeit der Auftragsabwicklung [in Tagen]:"},
     {"Decrease of the distribution time:", "Distribution time [per Days]:",
      "Verringerung der Auslieferungszeit:", "Auslieferungszeit [in Tagen]:"}},
};

// Goal 11 for agriculture.
const RowTexts ObjectivesNewProducts = {
    "Increase of the portion innovative products:", "Portion of new products of the product offer [in %]:",
    "Erhöhung des Anteils innovativer Produkte:", "Anteil von Neuprodukten am Produktangebot [in %]:"};

// The Perspectives page's goal 11 by industry (German; English comes with
// the English switch).
const char *const PerspectivesGoal11[2] = {"Erhöhung des Anteils innovativer Produkte:",
                                           "Dauer der Auftragsabwicklung verringern:"};

struct InfoText {
    int row;
    int perspektive;
    const char *english;
    const char *german;
};
const InfoText ObjectivesInfo[] = {
    {1, 0, "Total profitability = profit for the year + interest on debt capital / average used capital",
     "Gesamtrentabilität = Jahresüberschuss + Fremdkapitalzinsen / durchschnittlich eingesetztes Kapital"},
    {1, 1,
     "Customer loyalty = number of customers of the previous period, who bought something in the current "
     "period / number of customers of the previous period",
     "Kundentreue = Anzahl der kunden der Vorperiode, die in der aktuellen Periode etwas gekauft haben / "
     "Anzahl der Kunden der Vorperiode"},
    {1, 3, "Time of the distribution of the product up to the day of accounting",
     "Zeit von der Auslieferung des Produkts bis zum Tag der Rechnungslegung"},
    {2, 0, "Equity ratio = own capital / total capital", "Eigenkapitalquote = Eigenkapital / Gesamtkapital"},
    {2, 1,
     "Market share = conversion of the own enterprise / conversion of all enterprises of the industry and "
     "the region",
     "Marktanteil = Umsatz des eigenen Unternehmens / Umsatz aller Unternehmen der Branche und der Region"},
    // Row 2 of perspective 3 only for the industry selector's item 1 (below).
    {2, 3, "Time of the tendering up to the receipt of payment",
     "Zeit von der Angebotserstellung bis zum Zahlungseingang"},
    {3, 0,
     "Cash ratio = liquid assets (Cash, bank assets, cheque, securities of the circulating capital) / short "
     "term outside capital (including resetting not only commitments)",
     "Liquidität 1. Grades = liquide Mittel (Kasse, Bankguthaben, Schecks, Wertpapiere des Umlaufvermögens "
     "/ kurzfristiges Fremdkapital (einschließlich Rückstellungen nicht nur Verbindlichkeiten)"},
    {3, 1, "Number of complaints = conversion of the complaint / total sales",
     "Anzahl der Beschwerden = Umsatz der Reklamation / Gesamtumsatz"},
};

// The Measures page's own captions per goal; goal 11 in its mining variant.
const RowTexts MeasuresRows[12] = {
    {"Increase of total profitability:", "Total profitability [in %]:",
     "Steigerung der Gesamtrentabilität:", "Gesamtrentabilität [in %]:"},
    {"Increase of financial independence from the creditors:", "Equity ratio [in %]:",
     "Erhöhung der finanziellen Unabhängigkeit vom Gläubiger:", "Eigenkapitalquote [in %]:"},
    {"Increase of the liquidity:", "Cash ratio [in %]:", "Erhöhung der Liquidität:", "Liquidität 1. Grades [in %]:"},
    {"Increase of the customer satisfaction:", "Customer loyalty [in %]:",
     "Erhöhung der Kundenzufriedenheit:", "Kundentreue [in %]:"},
    {"Increase market share within range X:", "Market share [in %]:",
     "Erhöhung des Marktanteils im Bereich X:", "Marktanteil [in %]:"},
    {"Improvement of the customer relations:", "Number of complaints [in %]:",
     "Verbesserung der Kundenbeziehungen:", "Anzahl der Beschwerden [in %]:"},
    {"Quality awareness of the coworker increase:", "Number of improvement suggestions for each coworker [per Year]:",
     "Qualitätsbewußtsein der Mitarbeiter erhöhen:", "Anzahl der Verbesserunbgsvorschläge je MA [im Jahr]:"},
    {"Increase of the coworker productivity:", "profit / personnel costs [in %]:",
     "Erhöhung der Mitarbeiterproduktivität:", "Gewinn/Personalkosten [in %]:"},
    {"Exact occupation of working place:", "Degree of the agreement: coworker profile <-> placing profile:",
     "Passgenaue Besetzung der Stellen:", "Grad der Übereinstimmung des MA.-profils mit dem Stellenprofil:"},
    {"Introduce time near accounting:", "Duration up to accounting [per Days]:",
     "Zeitnahe Rechnungslegung einführen:", "Dauer der Rechnungslegung [in Tagen]:"},
    // Goal 11's key figure is named as on the Objectives page (below).
    {"Duration of the job execution reduce:", nullptr, "Dauer der Auftragsabwicklung verringern:", nullptr},
    {"Decrease of the distribution time:", "Distribution time [per Days]:",
     "Verringerung der Auslieferugszeit:", "Auslieferungszeit [in Tagen]:"},
};
const RowTexts MeasuresNewProducts = {
    "Increase of the portion innovative products:", "Portion of new products of the product offer [in %]:",
    "Erhöhung des Anteils innovativer Produkte:", "Anteil von Neuprodukten am Produktangebot [in %]:"};

// The Overview page's own texts per perspective: German, then English;
// goal 11 in its mining variant.
struct OverviewTexts {
    const char *de[7];
    const char *en[7];
};
const OverviewTexts OverviewPerspectives[4] = {
    {{"Steigerung der Gesamtrentabilität:", "Gesamtrentabilität [in %]:", "Erhöhung der finanziellen",
      "Unabhängigkeit vom Gläubiger:", "Eigenkapitalquote [in %]:", "Erhöhung der Liquidität:",
      "Liquidität 1. Grades [in %]:"},
     {"Increase of total profitability:", "Total profitability [in %]:", "Increase of financial independence",
      "from the creditors:", "Equity ratio [in %]:", "Increase of the liquidity:", "Cash ratio [in %]:"}},
    {{"Erhöhung der Kundenzufriedenheit:", "Kundentreue [in %]:", "Erhöhung des Marktanteils im Bereich X:", nullptr,
      "Marktanteil [in %]:", "Verbesserung der Kundenbeziehungen:", "Anzahl der Beschwerden [in %]:"},
     {"Increase of the customer satisfaction:", "Customer loyalty [in %]:", "Increase market share within range X:",
      nullptr, "Market share [in %]:", "Imptovement of the customer relations:", "Numbers of complaints [in %]:"}},
    {{"Qualitätsbewußtsein der MA erhöhen:", "Anzahl der Verbesserungsvorschläge:",
      "Erhöhung der Mitarbeiterproduktivität:", nullptr, "Gewinn / Personalkosten [in %]:",
      "Passgenaue Besetzung der Stellen:", "Übereinstimmung MA- und Stellenprofil [in %]:"},
     {"Qual. awareness of the coworker inc.:", "Number of improvement suggestions:",
      "Increase of the coworker productivity:", nullptr, "prifit / personnel costs [in %]:",
      "Exact occupation of working place:", "Matching coworker- and placing profile [in %]:"}},
    {{"Zeitnahe Rechnungslegung eiführen:", "Dauer der Rechnungslegung [in Tagen]:",
      "Dauer der Auftragsabwicklung verringern:", nullptr, "Zeit der Auftragsabwicklung [in Tagen]:",
      "Verringerung der Auslieferungszeit:", "Auslieferungszeit [in Tagen]:"},
     {"Introduve time near accounting:", "Duration up to accounting [per Days]:",
      "Duration of the job execution reduce:", nullptr, "Time of the job execution [per Days]:",
      "Decrease of the distribution time:", "distribution time [per Days]:"}},
};

// Row 2 of the process perspective for agriculture: goal and key figure.
const char *const OverviewNewProductsDe[2] = {"Erhöhung des Anteils innovativer Produkte:",
                                              "Anteil Neuprod. im Angebot [in %]:"};
const char *const OverviewNewProductsEn[2] = {"Increase of the portion innovative products:",
                                              "Portion of new prod. of the product offer [in %]:"};

// Goals 1 to 12 (11 in its mining variant): English, German.
const char *const ReportTitles[12][2] = {
    {"Evaluation: Increase of the total profitability", "Auswertung: Steigerung der Gesamtrenatbilität"},
    {"Evaluation: increase of financial independence from the creditors",
     "Auswertung: Erhöhung der finanziellen Unabhängigkeit vom Gläubiger"},
    {"Evaluation: increase of the liquidity", "Auswertung: Erhöhung der Liquidität"},
    {"Evaluation: increase of the customer satisfaction", "Auswertung: Erhöhung der Kundenzufriedenheit"},
    {"Evaluation: increase market share within range X", "Auswertung: Erhöhung des Marktanteils im Bereich X"},
    {"Evaluaion: Improvement of the customer relations", "Auswertung: Verbesserung der Kundenbeziehungen"},
    {"Evaluation: quality awareness of the coworkers increase", "Auswertung: Qualitätsbewußtsein der Mitarbeiter erhöhen"},
    {"Evaluation: increase of coworker productivity", "Auswertung: Erhöhung der Mitarbeiterproduktivität"},
    {"Evaluation: exact occupation of working place", "Auswertung: Passgenaue Besetzung der Stellen"},
    {"Evaluation: Introduve time near accounting", "Auswertung: Zeitnahe Rechnungslegung einführen"},
    {"Evatuation: Duration of the job execution reduce", "Auswertung: Dauer der Auftragsabwicklung verringern"},
    {"Evaluation: decrease of the distribution time", "Auswertung: Verringerung der Auslieferungszeit"},
};
const char *const ReportNewProductsTitle[2] = {"Evaluation: increase of the portion innovative products",
                                               "Auswertung: Erhöhung des Anteils innovativer Produkte"};

} // namespace

QString perspectivesGoal11(int branche)
{
    if (branche == ScorecardKatalog::BrancheAgriculture)
        return text(PerspectivesGoal11[0]);
    if (branche == ScorecardKatalog::BrancheMining)
        return text(PerspectivesGoal11[1]);
    return {};
}

Row measures(int perspektive, int position, int branche, bool english)
{
    const int ziel = ScorecardKatalog::zielNumber(perspektive, position);
    if (ziel < 1)
        return {};
    if (ziel == ScorecardKatalog::BrancheZiel && ScorecardKatalog::isAgriculture(branche))
        return pick(MeasuresNewProducts, english);
    Row row = pick(MeasuresRows[ziel - 1], english);
    if (ziel == ScorecardKatalog::BrancheZiel)
        row.figure = objectives(perspektive, position + 1, branche, english).figure;
    return row;
}

OverviewRows overview(int perspektive, int branche, bool english)
{
    if (perspektive < 0 || perspektive >= ScorecardKatalog::PerspektiveCount)
        return {};
    const OverviewTexts &t = OverviewPerspectives[perspektive];
    const char *const *x = english ? t.en : t.de;
    OverviewRows rows{text(x[0]), text(x[1]), text(x[2]), text(x[3]), text(x[4]), text(x[5]), text(x[6])};
    if (perspektive == 3 && ScorecardKatalog::isAgriculture(branche)) {
        const char *const *n = english ? OverviewNewProductsEn : OverviewNewProductsDe;
        rows.label16 = text(n[0]);
        rows.label19 = text(n[1]);
    }
    return rows;
}

Row objectives(int perspektive, int row, int branche, bool english)
{
    if (perspektive < 0 || perspektive >= ScorecardKatalog::PerspektiveCount || row < 1 || row > 3)
        return {};
    const int ziel = ScorecardKatalog::zielNumber(perspektive, row - 1);
    if (ziel == ScorecardKatalog::BrancheZiel && ScorecardKatalog::isAgriculture(branche))
        return pick(ObjectivesNewProducts, english);
    return pick(ObjectivesRows[perspektive][row - 1], english);
}

QString objectivesInfo(int row, int perspektive, int branche, bool english)
{
    // The one text of the page that tests the industry for its item 1 itself.
    if (row == 2 && perspektive == 3 && branche != ScorecardKatalog::BrancheMining)
        return {};
    for (const InfoText &t : ObjectivesInfo) {
        if (t.row == row && t.perspektive == perspektive)
            return text(english ? t.english : t.german);
    }
    return {};
}

QString reportTitle(int ziel, int branche, bool english)
{
    if (ziel < 1 || ziel > ScorecardKatalog::ZielCount)
        return {};
    const char *const *titles = ziel == ScorecardKatalog::BrancheZiel && ScorecardKatalog::isAgriculture(branche)
        ? ReportNewProductsTitle
        : ReportTitles[ziel - 1];
    return text(titles[english ? 0 : 1]);
}

QList<LabelCaption> reportEnglishLabels()
{
    const struct {
        const char *text;
        std::initializer_list<int> labels;
    } groups[] = {
        {"causes effect relations", {25}},
        {"1. Quarter:", {3, 10, 17}},
        {"2. Quarter:", {4, 11, 18}},
        {"3. Quarter:", {5, 12, 19}},
        {"4. Quarter:", {6, 13, 20}},
        {"1. Half-year:", {7, 16, 21}},
        {"2. Half-year:", {8, 15, 22}},
        {"Year:", {9, 14, 23}},
        {"Act. value:", {26, 28, 30, 32, 34, 36}},
        {"Tar. value:", {27, 29, 31, 33, 35, 37}},
    };
    QList<LabelCaption> captions;
    for (const auto &g : groups) {
        for (int n : g.labels)
            captions << LabelCaption{QStringLiteral("QRLabel%1").arg(n), QString::fromUtf8(g.text)};
    }
    return captions;
}

} // namespace Captions
