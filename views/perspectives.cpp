#include "views/perspectives.h"

#include "model/ampel.h"
#include "model/captions.h"
#include "model/statements.h"
#include "model/katalog.h"
#include "platform/db/dataset.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/selector.h"
#include "platform/ui/guard.h"
#include "platform/ui/controls.h"
#include "resources/pictures.h"
#include "views/pagekit.h"
#include "model/startwahl.h"

#include <QLabel>
#include <QPushButton>

namespace {

using namespace Controls;

// One line of the page: a perspective heading (goal 0) or a goal row.
struct Line {
    int top;
    const char *name;
    const char *text;
    int ziel;
};
const Line Lines[] = {
    {72, "Label5", "Finanzperspektive:", 0},
    {104, "Label30", "Steigerung der Gesamtrentabilität:", 1},
    {128, "Label31", "Erhöhung der finanziellen Unabhängigkeit vom Gläubiger:", 2},
    {152, "Label32", "Erhöhung der Liquidität:", 3},
    {184, "Label27", "Kundenperspektive:", 0},
    {216, "Label33", "Erhöhung der Kundenzufriedenheit:", 4},
    {240, "Label34", "Erhöhung des Marktanteils im Bereich X:", 5},
    {264, "Label35", "Verbesserung der Kundenbeziehungen:", 6},
    {296, "Label28", "Mitarbeiterperspektive:", 0},
    {328, "Label36", "Qualitätsbewußtsein der Mitarbeiter erhöhen:", 7},
    {352, "Label37", "Erhöhung der Mitarbeiterproduktivität:", 8},
    {376, "Label38", "Passgenaue Besetzung der Stellen:", 9},
    {416, "Label29", "Prozessperspektive:", 0},
    {448, "Label39", "Zeitnahe Rechnungslegung einführen:", 10},
    {472, "Label40", "Erhöhung des Anteils innovativer Produkte:", 11},
    {496, "Label41", "Verringerung der Auslieferungszeit:", 12},
};

} // namespace

PerspectivesPage::PerspectivesPage(const Services &services, QWidget *sheet, Query *query2, DataSource *dataSource2, const Startwahl &wahl,
                                   const QStringList &years)
    : QObject(sheet), m_sheet(sheet), m_query2(query2), m_services(services), m_wahl(wahl)
{
    ComboBox10 = selector(sheet, QStringLiteral("ComboBox10"), QStringLiteral("Jahr:"), {24, 16}, 105, years, true);
    Button4 = button(sheet, QStringLiteral("Button4"), QStringLiteral("Daten anzeigen..."), {168, 16, 99, 25}, false);
    Label42 = Controls::label(sheet, QStringLiteral("Label42"), QStringLiteral("Status:"), {603, 72}, arial(13));
    Image4 = picture(sheet, QStringLiteral("Image4"), {704, 392, 281, 217}, [] { return Pictures::perspectiveDiagram(-1); });

    // Never shown: they only carry the two values read.
    DBText3 = new DBText(QStringLiteral("DBText3"), sheet);
    DBText4 = new DBText(QStringLiteral("DBText4"), sheet);
    DBText3->move(456, 40);
    DBText4->move(520, 40);
    DBText3->setDataSource(dataSource2);
    DBText4->setDataSource(dataSource2);
    DBText3->setDataField(QStringLiteral("ist_wert_jahr"));
    DBText4->setDataField(QStringLiteral("soll_wert_jahr"));
    DBText3->hide();
    DBText4->hide();

    for (const Line &line : Lines) {
        const QString text = QString::fromUtf8(line.text);
        if (line.ziel == 0) {
            Controls::label(sheet, QString::fromLatin1(line.name), text, {24, line.top}, arial(16));
            continue;
        }
        Controls::label(sheet, QString::fromLatin1(line.name), text, {96, line.top}, arial(13));
        // Grey stands at the slot; the coloured pictures wait beside it, hidden.
        const QPoint at(SlotLeft, line.top);
        m_slots[line.ziel - 1] = PageKit::lightSlot(sheet, QStringLiteral("amp_"), QStringLiteral("_z%1").arg(line.ziel), at,
                                                    {at, QPoint(616, line.top), QPoint(632, line.top), QPoint(648, line.top)},
                                                    QSize(49, 17), text);
    }
    Label40 = label(QStringLiteral("Label40"));

    connectGuarded(m_services, ComboBox10, &Selector::changed, this, &PerspectivesPage::ComboBox10Change);
    connectGuarded(m_services, Button4, &QPushButton::clicked, this, &PerspectivesPage::Button4Click);
}

PerspectivesPage::~PerspectivesPage() = default;

QLabel *PerspectivesPage::label(const QString &name) const
{
    return m_sheet->findChild<QLabel *>(name, Qt::FindDirectChildrenOnly);
}

void PerspectivesPage::setBranche(int branche)
{
    const QString text = Captions::perspectivesGoal11(branche);
    if (!text.isEmpty())
        Label40->setText(text);
    Label40->adjustSize();
}

void PerspectivesPage::ComboBox10Change() { Button4->setEnabled(true); }

void PerspectivesPage::Button4Click()
{
    emit displaying();
    const QString year = ComboBox10->text();
    qint32 ist = 0;
    qint32 soll = 0;
    for (int ziel = 1; ziel <= ScorecardKatalog::ZielCount; ++ziel) {
        const int branche = m_wahl.branche();
        // Opening reads the row, so a refresh straight after would only
        // read it again.
        m_query2->close();
        m_query2->setSql(Statements::yearPair(ScorecardKatalog::table(ziel, branche), year));
        m_query2->open();
        ist = m_query2->asInteger(QStringLiteral("ist_wert_jahr"));
        soll = m_query2->asInteger(QStringLiteral("soll_wert_jahr"));
        // A pair without a target (no row, nothing entered) is not judged.
        PageKit::show(slot(ziel), judge(ziel, branche, View::Perspectives, ist, soll));
    }
    // A delivery-time pair of 1 and 1 marks the year as not judged.
    if (isNotJudged(ist, soll)) {
        for (auto &s : m_slots)
            s->reset();
    }
    emit displayed();
}

QString PerspectivesPage::chosenYear() const { return ComboBox10->text(); }
