#include "model/englishswitch.h"

#include "model/katalog.h"

namespace EnglishSwitch {
namespace {

QStringList perspectives() { return ScorecardKatalog::perspektiveTexts(true); }

QStringList periods() { return ScorecardKatalog::zeitraumTexts(true); }

Row caption(const char *name, const char *text, int left = -1)
{
    return {QString::fromLatin1(name), QString::fromUtf8(text), {}, left};
}

Row selector(const char *name, const char *text, const QStringList &items = {})
{
    return {QString::fromLatin1(name), QString::fromUtf8(text), items, -1};
}

// Moves a control without touching its caption.
Row move(const char *name, int left) { return {QString::fromLatin1(name), QString(), {}, left}; }

} // namespace

QList<Row> mainWindow(int branche)
{
    return {
        // Tabs and the Perspectives page.
        caption("TabSheet1", "Perspectives"),
        caption("TabSheet2", "Objectives"),
        caption("TabSheet3", "Measures"),
        caption("TabSheet4", "General view"),
        selector("ComboBox10", "Year:"),
        caption("Button4", "Show data..."),
        caption("Label5", "Financial perspective:"),
        caption("Label30", "Increase of total profitability:"),
        // The finance goals and their key figures on all four pages.
        caption("Label1", "Increase of total profitability:"),
        caption("Label4", "Total profitabilit [in %]:"),
        caption("Label15", "Increase of total profitability:"),
        caption("Label18", "Total profitabilit [in %]:"),
        caption("Label13", "Increase of total profitability:"),
        caption("Label14", "Total profitabilit [in %]:"),
        caption("Label31", "Increase of financial independence from the creditors:"),
        caption("Label2", "Increase of financial independence from the creditors:"),
        caption("Label6", "Equity ratio [in %]:"),
        caption("Label16", "Increase of financial independence "),
        caption("Label49", "from the creditors:"),
        caption("Label19", "Equity ratio [in %]:"),
        caption("Label32", "Increase of the liquidity:"),
        caption("Label3", "Increase of the liquidity:"),
        caption("Label7", "Cash ratio [in %]:"),
        caption("Label17", "Increase of the liquidity:"),
        caption("Label20", "Cash ratio [in %]:"),
        // The rest of the Perspectives page.
        caption("Label27", "Customer perspective:"),
        caption("Label33", "Increase of the customer satisfaction:"),
        caption("Label34", "Increase market share within range X:"),
        caption("Label35", "Improvement of the customer relations:"),
        caption("Label28", "Coworker perspective:"),
        caption("Label36", "Quality awareness of the coworkers increase:"),
        caption("Label37", "Increase the coworker productivity:"),
        caption("Label38", "Exact occupation of working place:"),
        caption("Label29", "Process perspective:"),
        caption("Label39", "Introduce time near accounting:"),
        caption("Label40", ScorecardKatalog::isAgriculture(branche) ? "Increase of the portion innovative products:"
                                                                     : "Duration of the job execution reduce:"),
        caption("Label41", "Decrease of the distribution time:"),
        // Objectives and Measures pages.
        selector("combobox1", "Perspectives:", perspectives()),
        selector("ComboBox2", "Period:", periods()),
        selector("ComboBox3", "Year:"),
        caption("Button2", "Show data..."),
        caption("Button7", "Show report..."),
        caption("Button6", "Measures add/edit..."),
        caption("Label9", "Actual value:", 510),
        caption("Label10", "Target value:", 600),
        selector("ComboBox4", "Perspectives:", perspectives()),
        selector("ComboBox5", "Objectives:"),
        selector("ComboBox8", "Period:", periods()),
        selector("ComboBox9", "Year:"),
        caption("Button5", "Show data..."),
        caption("Label24", "Actual value:", 550),
        caption("Label25", "Target value:", 638),
        // Overview page.
        selector("ComboBox11", "Perspectives:", perspectives()),
        selector("ComboBox12", "Period:", {QStringLiteral("quarterly"), QStringLiteral("half-yearly"), QStringLiteral("yearly")}),
        caption("Button1", "Show data..."),
        caption("Label21", "Act. value:", 295),
        caption("Label43", "Ta. value:", 360),
        caption("Label22", "Act. value:", 480),
        caption("Label45", "Ta. value:", 544),
        move("Label46", 613),
        caption("Label23", "Act. value:", 658),
        caption("Label47", "Ta. value:", 720),
        move("Label48", 788),
        caption("Label53", "Act. value:", 834),
        caption("Label54", "Ta. value:", 896),
    };
}

QList<Row> keyFigureDialog()
{
    return {
        caption("", "Enter financial ratios"),
        selector("combobox1", "Perspectives:", perspectives()),
        selector("combobox2", "Financial ratios:"),
        selector("combobox3", "Year:"),
        caption("Button1", "Show data..."),
        caption("Button3", "Save..."),
        caption("Button2", "Exit..."),
        caption("Label1", "Actual value:"),
        caption("Label2", "Target value:"),
        caption("Label3", "1. Quarter:"),
        caption("Label4", "2. Quarter:"),
        caption("Label5", "3. Quarter:"),
        caption("Label6", "4. Quarter:"),
        caption("Label7", "1. Half-year:"),
        caption("Label8", "2. Half-year:"),
        caption("Label9", "Year:"),
    };
}

QList<Row> measuresEditor()
{
    return {
        caption("", "Enter Measures"),
        caption("Label1", "Measure:", 140),
        caption("Label7", "Attributes"),
        caption("Label2", "Pertinent process:", 83),
        caption("Label3", "Valid off:", 140),
        caption("Label4", "Valid to:", 144),
        caption("Label5", "Responsible person:", 68),
        caption("Label6", "Degree of completion:", 56),
        caption("beenden", "Exit..."),
        caption("Button_M_bearbeiten", "Edit Measure... "),
        caption("loeschen", "Delete this measure..."),
        caption("Button_neue_M", "New measure..."),
        caption("speichern", "Save..."),
    };
}

} // namespace EnglishSwitch
