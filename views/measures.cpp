#include "views/measures.h"

#include "model/ampel.h"
#include "model/captions.h"
#include "model/katalog.h"
#include "model/startwahl.h"
#include "model/statements.h"
#include "platform/db/dataset.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/controls.h"
#include "platform/ui/guard.h"
#include "platform/ui/selector.h"

#include <QHeaderView>
#include <QPushButton>

namespace {

using namespace Controls;

// The grid shows these columns of the measures, titled with their names.
const QStringList GridColumns{QStringLiteral("Maßnahme"),   QStringLiteral("Prozesse"),
                              QStringLiteral("Gültig_ab"),  QStringLiteral("Gültig_bis"),
                              QStringLiteral("Verantwortlicher"), QStringLiteral("Erfüllungsgrad_in_%")};

constexpr QPoint LightAt{736, 104};

} // namespace

MeasuresPage::MeasuresPage(const Services &services, QWidget *sheet, Query *query5, DataSource *dataSource5, Query *query7,
                           DataSource *dataSource7, const Startwahl &wahl, const QStringList &years)
    : QObject(sheet), m_services(services), m_wahl(wahl), m_query5(query5), m_query7(query7)
{

    ComboBox4 = selector(sheet, QStringLiteral("ComboBox4"), QStringLiteral("Perspektiven:"), {48, 16}, 185, ScorecardKatalog::perspektiveTexts(false), true);
    ComboBox5 = selector(sheet, QStringLiteral("ComboBox5"), QStringLiteral("Ziele:"), {256, 16}, 281, {}, false);
    ComboBox8 = selector(sheet, QStringLiteral("ComboBox8"), QStringLiteral("Zeitraum:"), {560, 16}, 145, ScorecardKatalog::zeitraumTexts(false), false);
    ComboBox9 = selector(sheet, QStringLiteral("ComboBox9"), QStringLiteral("Jahr:"), {728, 16}, 105, years, false);
    Button5 = button(sheet, QStringLiteral("Button5"), QStringLiteral("Daten anzeigen..."), {848, 13, 113, 25}, false);
    Button6 = button(sheet, QStringLiteral("Button6"), QStringLiteral("Maßnahmen einfügen / bearbeiten..."),
                     {32, 336, 201, 25}, false);
    Label13 = label(sheet, QStringLiteral("Label13"), QStringLiteral("Steigerung der Gesamtrentabilität:"), {48, 72}, arial(16));
    Label14 = label(sheet, QStringLiteral("Label14"), QStringLiteral("Gesamtrentabilität [in %]:"), {112, 104}, arial(13));
    Label24 = label(sheet, QStringLiteral("Label24"), QStringLiteral("IST-Wert:"), {576, 72}, arial(13));
    Label25 = label(sheet, QStringLiteral("Label25"), QStringLiteral("SOLL-Wert:"), {648, 72}, arial(13));
    Label26 = label(sheet, QStringLiteral("Label26"), QStringLiteral("Status:"), {739, 72}, arial(13));

    DBText9 = new DBText(QStringLiteral("DBText9"), sheet);
    DBText9->setGeometry(592, 104, 65, 17);
    DBText9->setDataSource(dataSource5);
    DBText9->setDataField(QStringLiteral("ist_wert_q1"));
    DBText10 = new DBText(QStringLiteral("DBText10"), sheet);
    DBText10->setGeometry(672, 104, 65, 17);
    DBText10->setDataSource(dataSource5);
    DBText10->setDataField(QStringLiteral("soll_wert_q1"));

    m_light = PageKit::lightSlot(sheet, QStringLiteral("amp_"), QStringLiteral("_m"), LightAt,
                                 {LightAt, QPoint(752, 104), QPoint(768, 104), QPoint(784, 104)}, QSize(57, 17),
                                 QStringLiteral("Maßnahmen"));
    const QPoint shown = PageKit::PerspectivePictures::ShownPlace;
    m_pictures = std::make_unique<PageKit::PerspectivePictures>(sheet, QStringLiteral("2"),
                                                                std::array<QPoint, 4>{shown, shown, shown, shown}, QSize(289, 217));

    DBGrid1 = new DBGrid(QStringLiteral("DBGrid1"), sheet);
    DBGrid1->setGeometry(32, 200, 921, 120);
    DBGrid1->horizontalHeader()->setFont(defaultFont());
    DBGrid1->setColumns(GridColumns);
    DBGrid1->setDataSource(dataSource7);
    // The measure and its processes get the room; the dates and the degree
    // of completion are short.
    const int widths[] = {270, 190, 85, 85, 140, 125};
    for (int c = 0; c < int(std::size(widths)); ++c)
        DBGrid1->setColumnWidth(c, widths[c]);

    connectGuarded(m_services, ComboBox4, &Selector::changed, this, &MeasuresPage::ComboBox4Change);
    connectGuarded(m_services, ComboBox5, &Selector::changed, this, &MeasuresPage::ComboBox5Change);
    connectGuarded(m_services, ComboBox8, &Selector::changed, this, &MeasuresPage::ComboBox8Change);
    connectGuarded(m_services, ComboBox9, &Selector::changed, this, &MeasuresPage::ComboBox9Change);
    connectGuarded(m_services, Button5, &QPushButton::clicked, this, &MeasuresPage::Button5Click);
    connectGuarded(m_services, Button6, &QPushButton::clicked, this, &MeasuresPage::Button6Click);
}

MeasuresPage::~MeasuresPage() = default;

void MeasuresPage::ComboBox4Change()
{
    for (QWidget *control : std::initializer_list<QWidget *>{ComboBox5, ComboBox8, ComboBox9, Button5, Button6})
        control->setEnabled(false);
    const int p = ComboBox4->itemIndex();
    if (p < 0 || p >= ScorecardKatalog::PerspektiveCount)
        return;   // typed text: the page waits for a perspective
    const bool english = m_wahl.englisch();
    const int branche = m_wahl.branche();
    QStringList goals;
    for (int position = 0; position < ScorecardKatalog::ZielePerPerspektive; ++position) {
        const int ziel = ScorecardKatalog::zielNumber(p, position);
        goals << (english ? ScorecardKatalog::zielTextEnglish(ziel, branche) : ScorecardKatalog::zielText(ziel, branche));
    }
    // Clearing keeps the text the box shows; no goal is chosen.
    ComboBox5->clearItems();
    ComboBox5->addItems(goals);
    ComboBox5->setEnabled(true);
    m_pictures->show(p);
}

void MeasuresPage::ComboBox5Change() { ComboBox8->setEnabled(true); }

void MeasuresPage::ComboBox8Change() { ComboBox9->setEnabled(true); }

void MeasuresPage::ComboBox9Change() { Button5->setEnabled(true); }

int MeasuresPage::ziel() const { return ScorecardKatalog::zielNumber(ComboBox4->itemIndex(), ComboBox5->itemIndex()); }

QString MeasuresPage::zielText() const
{
    const int z = ziel();
    return z > 0 ? ScorecardKatalog::zielText(z, m_wahl.branche()) : QString();
}

QString MeasuresPage::yearText() const { return ComboBox9->text(); }

void MeasuresPage::rereadMeasures()
{
    if (m_query7->isActive())
        m_query7->refresh();
}

void MeasuresPage::Button5Click()
{
    Button6->setEnabled(true);
    DBText9->setDataField(QString());
    DBText10->setDataField(QString());
    m_light->hideColours();   // the grey light keeps its state

    const int zeitraum = ComboBox8->itemIndex();
    const QString ist = ScorecardKatalog::istColumn(zeitraum);
    const QString soll = ScorecardKatalog::sollColumn(zeitraum);
    const int branche = m_wahl.branche();
    const QString year = ComboBox9->text();
    const int z = ziel();
    bool read = false;
    qint32 istWert = 0;
    qint32 sollWert = 0;
    if (z > 0) {
        const Captions::Row captions = Captions::measures(ComboBox4->itemIndex(), ComboBox5->itemIndex(), branche,
                                                          m_wahl.englisch());
        Label13->setText(captions.goal);
        Label13->adjustSize();
        Label14->setText(captions.figure);
        Label14->adjustSize();
        // Opening reads the row, so a refresh straight after would only
        // read it again.
        m_query5->close();
        m_query5->setSql(Statements::measuresPagePair(ScorecardKatalog::table(z, branche), ist, soll, year));
        m_query5->open();
        DBText9->setDataField(ist);
        DBText10->setDataField(soll);
        istWert = m_query5->asInteger(ist);
        sollWert = m_query5->asInteger(soll);
        read = true;
        // This page judges the suggestions with bands of its own; a pair
        // without a target is not judged.
        PageKit::show(*m_light, judge(z, branche, View::Measures, istWert, sollWert));
    }

    m_query7->close();
    m_query7->setSql(Statements::measures(z > 0 ? ScorecardKatalog::zielText(z, branche) : QString(), year));
    m_query7->open();

    if (read && isNotJudged(istWert, sollWert))
        m_light->reset();
}

void MeasuresPage::Button6Click()
{
    if (m_openEditor)
        m_openEditor();
}

void MeasuresPage::showGoal(int perspektive, int position, int zeitraum, const QString &year)
{
    // In the page's own order, so the enabling chain stays as it knows it.
    ComboBox4->setItemIndex(perspektive);
    ComboBox4Change();
    ComboBox5->setItemIndex(position);
    ComboBox5Change();
    ComboBox8->setItemIndex(zeitraum);
    ComboBox8Change();
    const int yearItem = ComboBox9->items().indexOf(year);
    if (yearItem >= 0)
        ComboBox9->setItemIndex(yearItem);
    else
        ComboBox9->setText(year);
    ComboBox9Change();
    Button5Click();
}
