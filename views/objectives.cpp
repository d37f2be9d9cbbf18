#include "views/objectives.h"

#include "model/ampel.h"
#include "model/captions.h"
#include "model/katalog.h"
#include "model/messages.h"
#include "model/startwahl.h"
#include "model/statements.h"
#include "platform/db/dataset.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/asker.h"
#include "platform/ui/clicklabel.h"
#include "platform/ui/controls.h"
#include "platform/ui/guard.h"
#include "platform/ui/selector.h"
#include "resources/pictures.h"

#include <QPushButton>

namespace {

using namespace Controls;

// Per row: the names and places of its controls.
struct RowLayout {
    const char *goal;
    QPoint goalAt;
    const char *figure;
    QPoint figureAt;
    const char *ist;
    const char *soll;
    int valueTop;
    const char *slotPrefix;
    const char *slotSuffix;
    QPoint slotAt;
    const char *info;
    QPoint infoAt;
};
const RowLayout Rows[3] = {
    {"Label1", {48, 112}, "Label4", {104, 152}, "DBText1", "DBText2", 152, "amp_", "_k1", {718, 150}, "info1", {64, 144}},
    {"Label2", {48, 232}, "Label6", {104, 272}, "DBText5", "DBText6", 272, "amp2_", "_k2", {718, 270}, "info2", {64, 264}},
    {"Label3", {48, 368}, "Label7", {104, 400}, "DBText7", "DBText8", 400, "amp3_", "_k3", {718, 399}, "info3", {64, 392}},
};
constexpr int IstLeft = 552;
constexpr int SollLeft = 640;
constexpr QSize ValueSize{65, 17};
constexpr QSize LightSize{57, 17};

ClickLabel *clickLabel(QWidget *parent, const char *name, const QString &text, QPoint at, const QFont &font)
{
    auto *label = new ClickLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->move(at);
    label->adjustSize();
    return label;
}

} // namespace

ObjectivesPage::ObjectivesPage(const Services &services, QWidget *sheet, const std::array<Query *, 3> &queries,
                               const std::array<DataSource *, 3> &sources, const Startwahl &wahl,
                               const QStringList &years)
    : QObject(sheet), m_services(services), m_wahl(wahl)
{

    combobox1 = selector(sheet, QStringLiteral("combobox1"), QStringLiteral("Perspektiven:"), {48, 16}, 185, ScorecardKatalog::perspektiveTexts(false), true);
    ComboBox2 = selector(sheet, QStringLiteral("ComboBox2"), QStringLiteral("Zeitraum:"), {256, 16}, 145, ScorecardKatalog::zeitraumTexts(false), false);
    ComboBox3 = selector(sheet, QStringLiteral("ComboBox3"), QStringLiteral("Jahr:"), {424, 16}, 145, years, false);
    Button2 = button(sheet, QStringLiteral("Button2"), QStringLiteral("Daten anzeigen..."), {592, 14, 105, 25}, false);
    Button7 = button(sheet, QStringLiteral("Button7"), QStringLiteral("Bericht anzeigen..."), {728, 14, 129, 25}, false);
    Label9 = label(sheet, QStringLiteral("Label9"), QStringLiteral("IST-Wert:"), {528, 112}, arial(13));
    Label10 = label(sheet, QStringLiteral("Label10"), QStringLiteral("SOLL-Wert:"), {608, 112}, arial(13));
    Label11 = label(sheet, QStringLiteral("Label11"), QStringLiteral("Status:"), {720, 112}, arial(13));
    m_pictures = std::make_unique<PageKit::PerspectivePictures>(
        sheet, QString(), std::array<QPoint, 4>{PageKit::PerspectivePictures::ShownPlace, PageKit::PerspectivePictures::ShownPlace,
                                                PageKit::PerspectivePictures::ShownPlace, PageKit::PerspectivePictures::ShownPlace},
        QSize(289, 225));

    QLabel **goals[3] = {&Label1, &Label2, &Label3};
    ClickLabel **figures[3] = {&Label4, &Label6, &Label7};
    ClickLabel **infos[3] = {&info1, &info2, &info3};
    DBText **values[3][2] = {{&DBText1, &DBText2}, {&DBText5, &DBText6}, {&DBText7, &DBText8}};
    for (int r = 0; r < 3; ++r) {
        const RowLayout &l = Rows[r];
        const Captions::Row captions = Captions::objectives(0, r + 1, ScorecardKatalog::BrancheMining, false);
        *goals[r] = label(sheet, QString::fromLatin1(l.goal), captions.goal, l.goalAt, arial(16));
        *figures[r] = clickLabel(sheet, l.figure, captions.figure, l.figureAt, arial(13));
        for (int v = 0; v < 2; ++v) {
            auto *field = new DBText(QString::fromLatin1(v == 0 ? l.ist : l.soll), sheet);
            field->setGeometry(QRect(QPoint(v == 0 ? IstLeft : SollLeft, l.valueTop), ValueSize));
            field->setDataSource(sources[r]);
            field->setDataField(v == 0 ? QStringLiteral("ist_wert_q1") : QStringLiteral("soll_wert_q1"));
            *values[r][v] = field;
        }
        *infos[r] = new ClickLabel(sheet);
        (*infos[r])->setObjectName(QString::fromLatin1(l.info));
        (*infos[r])->setGeometry(QRect(l.infoAt, QSize(41, 33)));
        (*infos[r])->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Controls::drawOnFirstShow(*infos[r], &Pictures::infoBubble);
        (*infos[r])->hide();
        m_slots[r] = PageKit::lightSlot(sheet, QString::fromLatin1(l.slotPrefix), QString::fromLatin1(l.slotSuffix), l.slotAt,
                                        {l.slotAt, l.slotAt, l.slotAt, l.slotAt}, LightSize, captions.goal);
        m_rows[r] = {*goals[r], *figures[r], *values[r][0], *values[r][1], queries[r]};
    }

    connectGuarded(m_services, combobox1, &Selector::changed, this, &ObjectivesPage::combobox1Change);
    connectGuarded(m_services, ComboBox2, &Selector::changed, this, &ObjectivesPage::ComboBox2Change);
    connectGuarded(m_services, ComboBox3, &Selector::changed, this, &ObjectivesPage::ComboBox3Change);
    connectGuarded(m_services, Button2, &QPushButton::clicked, this, &ObjectivesPage::Button2Click);
    connectGuarded(m_services, Button7, &QPushButton::clicked, this, &ObjectivesPage::Button7Click);
    for (int row = 0; row < 3; ++row) {
        connect(*figures[row], &ClickLabel::doubleClicked, this, [this, row] {
            const int period = ComboBox2->itemIndex();
            emit keyFigureDoubleClicked(m_shown, row, period >= 0 && period <= 6 ? period : 6);
        });
    }
    connect(this, &ObjectivesPage::displayed, this, [this] { m_shown = combobox1->itemIndex(); });
    connectGuarded(m_services, Label4, &ClickLabel::clicked, this, &ObjectivesPage::info_finanz);
    connectGuarded(m_services, info1, &ClickLabel::clicked, this, &ObjectivesPage::info_finanz);
    connectGuarded(m_services, Label6, &ClickLabel::clicked, this, &ObjectivesPage::info_finanz2);
    connectGuarded(m_services, info2, &ClickLabel::clicked, this, &ObjectivesPage::info_finanz2);
    connectGuarded(m_services, Label7, &ClickLabel::clicked, this, &ObjectivesPage::info_finanz3);
    connectGuarded(m_services, info3, &ClickLabel::clicked, this, &ObjectivesPage::info_finanz3);
}

ObjectivesPage::~ObjectivesPage() = default;

void ObjectivesPage::combobox1Change()
{
    m_pictures->show(combobox1->itemIndex());
    ComboBox2->setEnabled(true);
}

void ObjectivesPage::ComboBox2Change() { ComboBox3->setEnabled(true); }

void ObjectivesPage::ComboBox3Change() { Button2->setEnabled(true); }

void ObjectivesPage::Button2Click()
{
    emit displaying();
    Button7->setEnabled(true);
    for (RowControls &row : m_rows) {
        row.ist->setDataField(QString());
        row.soll->setDataField(QString());
    }
    // A typed period leaves both names empty; the engine refuses the statement.
    const int zeitraum = ComboBox2->itemIndex();
    const QString ist = ScorecardKatalog::istColumn(zeitraum);
    const QString soll = ScorecardKatalog::sollColumn(zeitraum);

    const int p = combobox1->itemIndex();
    if (p < 0 || p >= ScorecardKatalog::PerspektiveCount)
        return;
    const int branche = m_wahl.branche();
    const bool english = m_wahl.englisch();
    info1->setVisible(p <= 1 || p == 3);
    info2->setVisible(p <= 1 || (p == 3 && !ScorecardKatalog::isAgriculture(branche)));
    info3->setVisible(p <= 1);
    for (int r = 0; r < 3; ++r) {
        const Captions::Row captions = Captions::objectives(p, r + 1, branche, english);
        m_rows[r].goal->setText(captions.goal);
        m_rows[r].goal->adjustSize();
        m_rows[r].figure->setText(captions.figure);
        m_rows[r].figure->adjustSize();
    }

    const QString jahr = ComboBox3->text();
    std::array<bool, 3> notJudged{};
    for (int r = 0; r < 3; ++r) {
        RowControls &row = m_rows[r];
        const int ziel = ScorecardKatalog::zielNumber(p, r);
        // Opening reads the rows, so a refresh straight after would only
        // read them again.
        row.query->close();
        row.query->setSql(Statements::objectivesPair(ScorecardKatalog::table(ziel, branche), ist, soll, jahr));
        row.query->open();
        row.ist->setDataField(ist);
        row.soll->setDataField(soll);
        const qint32 istWert = row.query->asInteger(ist);
        const qint32 sollWert = row.query->asInteger(soll);
        // A pair without a target (no row, nothing entered) is not judged.
        PageKit::show(slot(r + 1), judge(ziel, branche, View::Objectives, istWert, sollWert));
        notJudged[r] = isNotJudged(istWert, sollWert);
    }
    for (int r = 0; r < 3; ++r) {
        if (notJudged[r])
            slot(r + 1).reset();
    }
    emit displayed();
}

void ObjectivesPage::Button7Click()
{
    if (m_report)
        m_report(combobox1->itemIndex(), ComboBox3->text());
}

void ObjectivesPage::showInfo(int row)
{
    // The perspective selected now, not the one last displayed.
    const QString text = Captions::objectivesInfo(row, combobox1->itemIndex(), m_wahl.branche(), m_wahl.englisch());
    if (text.isEmpty())
        return;
    m_services.question({text, Messages::mainWindow(Messages::MainWindow::InfoCaption, m_wahl.englisch()), Asker::Buttons::Ok,
                Asker::Icon::Question});
}

void ObjectivesPage::info_finanz() { showInfo(1); }

void ObjectivesPage::info_finanz2() { showInfo(2); }

void ObjectivesPage::info_finanz3() { showInfo(3); }
