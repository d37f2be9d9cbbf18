#include "report/bericht.h"

#include "model/captions.h"
#include "model/katalog.h"
#include "model/kennzahlschema.h"
#include "model/statements.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/report/reportlayout.h"
#include "resources/pictures.h"

namespace {

// Statements at creation, one per goal of the perspective.
const char *const StartStatements[3] = {
    "select * from kz_ges_renta where jahr =\"2007\"",
    "select * from kz_kap_quote where jahr = \"2007\"",
    "select * from kz_liqui where jahr =\"2007\"",
};

QFont arial(int points, bool bold = true, bool underline = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(points);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

QStringList columns(bool actual)
{
    QStringList list;
    for (int z = 0; z < KennzahlSchema::PeriodCount; ++z)
        list << (actual ? KennzahlSchema::istColumn(z) : KennzahlSchema::sollColumn(z));
    return list;
}

// One goal's value table: four quarters on the left, the half-years and the
// year on the right, each row a label with its actual and target value.
struct ValueTable {
    double headingTop;
    double rowTops[4];
    double left[3];    // label, IST, SOLL of the left block
    double right[3];   // the same of the right block
    int quarterLabels[4];
    int rightLabels[3];   // "1. Halbjahr:", "2. Halbjahr:", "Jahr:"
    int headings[4];      // IST, SOLL left; IST, SOLL right
    int firstField;       // QRDBText number of the first value
};

const ValueTable Tables[3] = {
    {2.1, {8.5, 14.8, 21.2, 27.5}, {2.1, 27.5, 46.6}, {69.85, 95.25, 120.65},
     {3, 4, 5, 6}, {7, 8, 9}, {26, 27, 28, 29}, 1},
    {95.25, {101.6, 107.95, 114.3, 120.65}, {2.1, 27.5, 46.6}, {72.0, 95.25, 120.65},
     {10, 11, 12, 13}, {16, 15, 14}, {30, 31, 32, 33}, 15},
    {0, {6.35, 12.7, 19.05, 25.4}, {2.1, 23.3, 44.45}, {69.85, 93.1, 112.2},
     {17, 18, 19, 20}, {21, 22, 23}, {34, 35, 36, 37}, 29},
};

ReportLabel *label(ReportBand *band, int number, const char *caption, QPointF at, const QFont &font)
{
    auto *l = new ReportLabel(band, QStringLiteral("QRLabel%1").arg(number), QString::fromUtf8(caption));
    l->setFont(font);
    l->setPosition(at);
    return l;
}

void addValueTable(ReportBand *band, const ValueTable &t, DataSet *query)
{
    const char *const quarters[4] = {"1. Quartal:", "2. Quartal:", "3. Quartal:", "4. Quartal:"};
    const char *const rights[3] = {"1. Halbjahr:", "2. Halbjahr:", "Jahr:"};
    const QFont text = arial(10);
    const QFont value = arial(8);
    label(band, t.headings[0], "Ist-Wert:", {t.left[1], t.headingTop}, text);
    label(band, t.headings[1], "Soll-Wert:", {t.left[2], t.headingTop}, text);
    label(band, t.headings[2], "Ist-Wert:", {t.right[1], t.headingTop}, text);
    label(band, t.headings[3], "Soll-Wert:", {t.right[2], t.headingTop}, text);
    int field = t.firstField;
    for (int row = 0; row < 7; ++row) {
        const bool left = row < 4;
        const double *block = left ? t.left : t.right;
        const double top = t.rowTops[left ? row : row - 4];
        if (left)
            label(band, t.quarterLabels[row], quarters[row], {block[0], top}, text);
        else
            label(band, t.rightLabels[row - 4], rights[row - 4], {block[0], top}, text);
        for (int v = 0; v < 2; ++v) {
            auto *f = new ReportField(band, QStringLiteral("QRDBText%1").arg(field++), query,
                                      v == 0 ? KennzahlSchema::istColumn(row) : KennzahlSchema::sollColumn(row));
            f->setFont(value);
            f->setPosition(block[v + 1], top);
        }
    }
}

// Two series of seven bars each, the periods from the first quarter to the
// whole year; the titles are the same in both languages.
void addChart(ReportBand *band, int number, DataSet *query, QPointF at, QSizeF size, const char *actualColour)
{
    auto *chart = new ReportChart(band, QStringLiteral("QRChart%1").arg(number), query);
    chart->setPosition(at);
    chart->setSize(size);
    chart->setFont(arial(8));
    chart->addSeries({QStringLiteral("Actual value"), QColor(QString::fromLatin1(actualColour)), columns(true)});
    chart->addSeries({QStringLiteral("Target value"), QColor(0xFF, 0, 0), columns(false)});
}

// Where a cause-effect diagram stands: the industry's group, and within it
// 1 + perspective in German, 5 + perspective in English.
int diagramGroup(int branche) { return ScorecardKatalog::isAgriculture(branche) ? 0 : 1; }
int diagramNumber(int perspektive, bool english) { return (english ? 5 : 1) + perspektive; }

ReportLayout *page(const QString &name, QObject *parent)
{
    auto *layout = new ReportLayout(name, parent);
    layout->setDefaultFont(arial(10, false));
    return layout;
}

} // namespace

TForm2::TForm2(Connection &connection)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Bericht - Balanced Scorecard"));
    Query **queries[3] = {&Query1, &Query2, &Query3};
    DataSource **sources[3] = {&DataSource1, &DataSource2, &DataSource3};
    for (int i = 0; i < 3; ++i) {
        *queries[i] = new Query(connection, QStringLiteral("Query%1").arg(i + 1), this);
        (*queries[i])->setSql(QString::fromUtf8(StartStatements[i]));
        *sources[i] = new DataSource(QStringLiteral("DataSource%1").arg(i + 1), *queries[i], this);
    }
    buildPage1();
    buildPage2();
    for (Query *q : {Query1, Query2, Query3})
        q->open();
}

void TForm2::buildPage1()
{
    QuickRep1 = page(QStringLiteral("QuickRep1"), this);
    auto *header = new ReportBand(QuickRep1, ReportBand::Kind::PageHeader, 10.6, QStringLiteral("PageHeaderBand1"));
    m_titles[0] = label(header, 1, "Auswertung: Steigerung der Gesamtrenabilität", {4.2, 2.1}, arial(12, true, true));
    auto *detail = new ReportBand(QuickRep1, ReportBand::Kind::Detail, 34.7, QStringLiteral("DetailBand1"));
    addValueTable(detail, Tables[0], Query1);
    auto *summary = new ReportBand(QuickRep1, ReportBand::Kind::Summary, 213.8, QStringLiteral("SummaryBand1"));
    addChart(summary, 1, Query1, {-6.35, 2.1}, {195.0, 63.8}, "#00FF40");
    m_titles[1] = label(summary, 2, "Auswertung: Erhöhung der finanziellen Unabhängigkeit vom Gläubiger", {2.1, 82.55},
                        arial(12, true, true));
    addValueTable(summary, Tables[1], Query2);
    addChart(summary, 2, Query2, {-8.5, 129.1}, {199.2, 72.2}, "#00FF00");
}

void TForm2::buildPage2()
{
    QuickRep2 = page(QStringLiteral("QuickRep2"), this);
    auto *header = new ReportBand(QuickRep2, ReportBand::Kind::PageHeader, 10.6, QStringLiteral("PageHeaderBand2"));
    m_titles[2] = label(header, 24, "Auswertung: Erhöhung der Liquidität", {2.1, 2.1}, arial(12, true, true));
    auto *detail = new ReportBand(QuickRep2, ReportBand::Kind::Detail, 34.7, QStringLiteral("DetailBand2"));
    addValueTable(detail, Tables[2], Query3);
    auto *summary = new ReportBand(QuickRep2, ReportBand::Kind::Summary, 211.7, QStringLiteral("SummaryBand2"));
    addChart(summary, 3, Query3, {-6.35, 4.2}, {192.9, 65.9}, "#00FF00");
    label(summary, 25, "Ursache-Wirkungsbeziehungen der Kennzahlen:", {6.35, 82.55}, arial(11));
    buildDiagrams(summary);
}

void TForm2::buildDiagrams(ReportBand *summary)
{
    for (int group = 0; group < 2; ++group) {
        for (int number = 1; number <= 8; ++number) {
            // "bbimage3" is written so, in lower case.
            const QString name = group == 0 ? QStringLiteral("QRImage%1").arg(number)
                : number == 3             ? QStringLiteral("bbimage3")
                                          : QStringLiteral("bbImage%1").arg(number);
            auto *picture = new ReportPicture(summary, name);
            picture->setPosition(0, 91.0);
            picture->setEnabled(false);
            m_diagrams[group][number - 1] = picture;
        }
    }
    diagram(0, 4)->setPosition(10.6, 101.6);
    diagram(0, 2)->setEnabled(true);
}

QStringList TForm2::prepare(int perspektive, const QString &year, bool english, int branche)
{
    for (int number = 1; number <= 8; ++number)
        diagram(0, number)->setEnabled(false);
    if (english) {
        for (const Captions::LabelCaption &c : Captions::reportEnglishLabels()) {
            if (auto *label = findChild<ReportLabel *>(c.name))
                label->setCaption(c.text);
        }
    }
    if (perspektive < 0 || perspektive >= ScorecardKatalog::PerspektiveCount)
        return {};

    QStringList withoutRow;
    Query *const queries[3] = {Query1, Query2, Query3};
    for (int row = 0; row < 3; ++row) {
        const int ziel = ScorecardKatalog::zielNumber(perspektive, row);
        const QString table = ScorecardKatalog::table(ziel, branche);
        Query *query = queries[row];
        // Opening reads the row, so a refresh straight after would only
        // read it again.
        query->close();
        query->setSql(Statements::reportRow(table, year));
        query->open();
        query->ensureRead();
        if (query->isEmpty())
            withoutRow << table;
        m_titles[row]->setCaption(Captions::reportTitle(ziel, branche, english));
    }

    // The industry's diagram of the perspective in the language; the other
    // three of that language go.
    const int group = diagramGroup(branche);
    for (int p = 0; p < ScorecardKatalog::PerspektiveCount; ++p) {
        ReportPicture *picture = diagram(group, diagramNumber(p, english));
        picture->setEnabled(p == perspektive);
        if (p == perspektive)
            picture->setPosition(0, 91.0);
    }
    drawEnabledDiagrams();
    return withoutRow;
}

void TForm2::drawEnabledDiagrams()
{
    for (int branche : {ScorecardKatalog::BrancheAgriculture, ScorecardKatalog::BrancheMining}) {
        for (bool english : {false, true}) {
            for (int p = 0; p < ScorecardKatalog::PerspektiveCount; ++p) {
                ReportPicture *picture = diagram(diagramGroup(branche), diagramNumber(p, english));
                if (!picture->isEnabled() || !picture->image().isNull())
                    continue;
                const QPixmap bitmap = Pictures::causeEffectDiagram(branche, english, p);
                // 24-bit like the bitmap it stands for: no alpha channel to write.
                picture->setImage(bitmap.toImage().convertToFormat(QImage::Format_RGB32));
                // Drawn at its own size, as a bitmap on a 96-dpi screen.
                picture->setSize({bitmap.width() * 25.4 / 96.0, bitmap.height() * 25.4 / 96.0});
            }
        }
    }
}
