#include "views/overview.h"

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

#include <QPushButton>

namespace {

using namespace Controls;

constexpr int Rows = OverviewPage::Rows;
constexpr int Columns = OverviewPage::Columns;

struct ColumnLayout {
    const char *istHeader;
    const char *sollHeader;
    const char *statusHeader;
    int istHeaderLeft, sollHeaderLeft, statusHeaderLeft;
    int istLeft, sollLeft, slotLeft;
};
const ColumnLayout ColumnLayouts[Columns] = {
    {"Label21", "Label43", "Label44", 304, 360, 432, 320, 376, 424},
    {"Label22", "Label45", "Label46", 488, 544, 616, 504, 560, 608},
    {"Label23", "Label47", "Label48", 664, 720, 792, 680, 736, 784},
    {"Label53", "Label54", "Label55", 840, 896, 960, 856, 912, 952},
};
constexpr int HeaderTop = 72;
constexpr int CellTops[Rows] = {106, 226, 322};
constexpr int SlotTops[Rows] = {104, 224, 320};
constexpr QSize CellSize{49, 17};
constexpr QSize LightSize{57, 17};

// Zeitraster: the fields of columns 1 and 2 (columns 3 and 4 keep the third
// and fourth quarter they were bound to at creation) and how many columns show.
struct Raster {
    const char *column1;
    const char *column2;   // nullptr: column 2 keeps its binding
    int shown;
};
const Raster Rasters[3] = {
    {"q1", "q2", 4},
    {"halbjahr1", "halbjahr2", 2},
    {"jahr", nullptr, 1},
};

} // namespace

OverviewPage::OverviewPage(const Services &services, QWidget *sheet, const std::array<Query *, Rows> &queries,
                           const std::array<DataSource *, Rows> &sources, const Startwahl &wahl)
    : QObject(sheet), m_services(services), m_wahl(wahl), m_queries(queries)
{
    ComboBox11 = selector(sheet, QStringLiteral("ComboBox11"), QStringLiteral("Perspektiven:"), {48, 16}, 185, ScorecardKatalog::perspektiveTexts(false), true);
    ComboBox12 = selector(sheet, QStringLiteral("ComboBox12"), QStringLiteral("Zeitraum:"), {256, 16}, 161,
                          {QStringLiteral("quartalsweise"), QStringLiteral("halbjährlich"), QStringLiteral("jährlich")}, true);
    Button1 = button(sheet, QStringLiteral("Button1"), QStringLiteral("Daten anzeigen..."), {444, 14, 97, 25}, true);
    Label50 = label(sheet, QStringLiteral("Label50"), QStringLiteral("Label50"), {608, 16}, defaultFont());
    Label50->hide();   // holds the year only

    // The financial captions as created, with the trailing blank of row 2.
    Label15 = label(sheet, QStringLiteral("Label15"), QStringLiteral("Steigerung der Gesamtrentabilität:"), {8, 72}, arial(16));
    Label18 = label(sheet, QStringLiteral("Label18"), QStringLiteral("Gesamtrentabilität [in %]:"), {16, 104}, arial(13));
    Label16 = label(sheet, QStringLiteral("Label16"), QStringLiteral("Erhöhung der finanziellen "), {8, 176}, arial(16));
    Label49 = label(sheet, QStringLiteral("Label49"), QStringLiteral("Unabhängigkeit vom Gläubiger:"), {8, 195}, arial(16));
    Label19 = label(sheet, QStringLiteral("Label19"), QStringLiteral("Eigenkapitalquote [in %]:"), {16, 224}, arial(13));
    Label17 = label(sheet, QStringLiteral("Label17"), QStringLiteral("Erhöhung der Liquidität:"), {8, 288}, arial(16));
    Label20 = label(sheet, QStringLiteral("Label20"), QStringLiteral("Liquidität 1. Grades [in %]:"), {16, 320}, arial(13));

    for (int c = 0; c < Columns; ++c) {
        const ColumnLayout &l = ColumnLayouts[c];
        headers[c] = {label(sheet, QString::fromLatin1(l.istHeader), QStringLiteral("IST-Wert:"), {l.istHeaderLeft, HeaderTop}, arial(11)),
                      label(sheet, QString::fromLatin1(l.sollHeader), QStringLiteral("SOLL-Wert:"), {l.sollHeaderLeft, HeaderTop}, arial(11)),
                      label(sheet, QString::fromLatin1(l.statusHeader), QStringLiteral("Status:"), {l.statusHeaderLeft, HeaderTop}, arial(11))};
    }
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < Columns; ++c) {
            const ColumnLayout &l = ColumnLayouts[c];
            for (int v = 0; v < 2; ++v) {
                auto *cell = new DBText(QStringLiteral("DBText%1").arg(11 + 8 * r + 2 * c + v), sheet);
                cell->setGeometry(QRect(QPoint(v == 0 ? l.istLeft : l.sollLeft, CellTops[r]), CellSize));
                cell->setDataSource(sources[r]);
                cell->setDataField((v == 0 ? QStringLiteral("Ist_Wert_Q%1") : QStringLiteral("Soll_Wert_Q%1")).arg(c + 1));
                m_cells[r][c][v] = cell;
            }
            // The coloured pictures wait hidden below the slot.
            const QPoint at(l.slotLeft, SlotTops[r]);
            m_slots[r][c] = PageKit::lightSlot(sheet, QStringLiteral("amp_"), QStringLiteral("_%1_%2").arg(r + 1).arg(c + 1), at,
                                               {at, at + QPoint(0, 8), at + QPoint(0, 16), at + QPoint(0, 24)}, LightSize,
                                               QStringLiteral("Zeile %1, Spalte %2").arg(r + 1).arg(c + 1));
        }
    }
    m_pictures = std::make_unique<PageKit::PerspectivePictures>(
        sheet, QStringLiteral("3"), std::array<QPoint, 4>{QPoint(704, 392), QPoint(712, 400), QPoint(720, 409), QPoint(728, 417)},
        QSize(289, 217));

    connectGuarded(m_services, ComboBox11, &Selector::changed, this, &OverviewPage::ComboBox11Change);
    connectGuarded(m_services, Button1, &QPushButton::clicked, this, &OverviewPage::Button1Click);
}

OverviewPage::~OverviewPage() = default;

void OverviewPage::ComboBox11Change() { m_pictures->show(ComboBox11->itemIndex()); }

void OverviewPage::writeCaptions(int perspektive)
{
    const Captions::OverviewRows texts = Captions::overview(perspektive, m_wahl.branche(), m_wahl.englisch());
    const std::pair<QLabel *, QString> captions[] = {{Label15, texts.label15}, {Label18, texts.label18},
                                                     {Label16, texts.label16}, {Label19, texts.label19},
                                                     {Label17, texts.label17}, {Label20, texts.label20}};
    for (const auto &[label, text] : captions) {
        label->setText(text);
        label->adjustSize();
    }
    // Only the financial row-2 goal needs a second line.
    Label49->setVisible(perspektive == 0);
    if (perspektive == 0) {
        Label49->setText(texts.label49);
        Label49->adjustSize();
    }
}

void OverviewPage::setColumnVisible(int column, bool visible)
{
    for (QLabel *header : headers[column])
        header->setVisible(visible);
    for (int r = 0; r < Rows; ++r) {
        istCell(r, column)->setVisible(visible);
        sollCell(r, column)->setVisible(visible);
    }
}

void OverviewPage::Button1Click()
{
    // The year of the local clock now, four digits.
    Label50->setText(m_services.clock().date().toString(QStringLiteral("yyyy")));
    const int p = ComboBox11->itemIndex();
    if (p < 0 || p >= ScorecardKatalog::PerspektiveCount)
        return;
    writeCaptions(p);
    const int raster = ComboBox12->itemIndex();
    if (raster < 0 || raster > 2)
        return;
    const Raster &r = Rasters[raster];
    const int branche = m_wahl.branche();

    // The cells' field names, the same in every row.
    const QString ist1 = QStringLiteral("ist_wert_") + QLatin1String(r.column1);
    const QString soll1 = QStringLiteral("soll_wert_") + QLatin1String(r.column1);
    const QString ist2 = r.column2 ? QStringLiteral("ist_wert_") + QLatin1String(r.column2) : QString();
    const QString soll2 = r.column2 ? QStringLiteral("soll_wert_") + QLatin1String(r.column2) : QString();
    for (int row = 0; row < Rows; ++row) {
        if (row == 0) {
            for (int c = 1; c < r.shown; ++c)
                setColumnVisible(c, true);
        }

        const int ziel = ScorecardKatalog::zielNumber(p, row);
        Query *query = m_queries[row];
        // The row's cells read the new row once, not at the close, at each
        // new binding and at the open.
        query->disableControls();
        try {
            // Opening reads the row, so a refresh straight after would only
            // read it again.
            query->close();
            istCell(row, 0)->setDataField(ist1);
            sollCell(row, 0)->setDataField(soll1);
            if (r.column2) {
                istCell(row, 1)->setDataField(ist2);
                sollCell(row, 1)->setDataField(soll2);
            }
            query->setSql(Statements::yearRow(ScorecardKatalog::table(ziel, branche), Label50->text()));
            query->open();
        } catch (...) {
            query->enableControls();
            throw;
        }
        query->enableControls();

        if (row == 0) {
            for (int c = r.shown; c < Columns; ++c)
                setColumnVisible(c, false);
        }
        // A hidden column's light shows nothing at all.
        for (int c = r.shown; c < Columns; ++c)
            slot(row, c).hideAll();

        // All values of the row first, then its lights.
        std::array<std::pair<qint32, qint32>, Columns> values{};
        for (int c = 0; c < r.shown; ++c)
            values[c] = {query->asInteger(istCell(row, c)->dataField()), query->asInteger(sollCell(row, c)->dataField())};
        for (int c = 0; c < r.shown; ++c)
            PageKit::show(slot(row, c), judge(ziel, branche, View::Overview, values[c].first, values[c].second));
    }
}
