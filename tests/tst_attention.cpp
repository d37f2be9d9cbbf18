// Markers of red goals without a measure on the Perspectives and Objectives
// pages, and where a click on one leads.
#include "fixture_windows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "model/ampel.h"
#include "model/katalog.h"
#include "model/statements.h"
#include "platform/db/dataset.h"
#include "platform/ui/clicklabel.h"
#include "platform/ui/selector.h"
#include "views/measures.h"
#include "views/objectives.h"
#include "views/perspectives.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

enum Page { Perspectives, Objectives };

const QString Year = QStringLiteral("2005");

void addMeasure(TestDatabase &db, int ziel, int branche, const QString &year)
{
    db.sql(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Ziel\", \"Jahr\") VALUES (?,?,?)"),
           {QStringLiteral("Schulung"), ScorecardKatalog::zielText(ziel, branche), year});
}

// Every goal's yearly pair green, then the given goal's pair.
void setYear(TestDatabase &db, const QString &year, int ziel, int ist, int soll, int branche = 1)
{
    for (int z = 1; z <= ScorecardKatalog::ZielCount; ++z) {
        const bool given = z == ziel;
        db.setPair(ScorecardKatalog::table(z, branche), year, QStringLiteral("Jahr"), given ? ist : 100,
                   given ? soll : 100);
    }
}

// Displays a year on the page (the Objectives page: the goal's perspective,
// yearly period).
void display(Page page, int ziel, const QString &year)
{
    if (page == Perspectives) {
        PerspectivesPage *p = Form1->perspectivesPage();
        p->ComboBox10->choose(p->ComboBox10->items().indexOf(year));
        p->Button4->click();
        return;
    }
    ObjectivesPage *o = Form1->objectivesPage();
    o->combobox1->choose(ScorecardKatalog::perspektiveOf(ziel));
    o->ComboBox2->choose(6);
    o->ComboBox3->choose(o->ComboBox3->items().indexOf(year));
    o->Button2->click();
}

ClickLabel *marker(Page page, int ziel)
{
    return page == Perspectives
        ? TestWindows::findIn<ClickLabel>(Form1, QStringLiteral("marker_z%1").arg(ziel))
        : TestWindows::findIn<ClickLabel>(Form1, QStringLiteral("marker_k%1").arg(ScorecardKatalog::positionOf(ziel) + 1));
}

// The goals whose marker shows, as "1 7".
QString marked(Page page)
{
    QStringList list;
    for (int ziel = 1; ziel <= ScorecardKatalog::ZielCount; ++ziel) {
        if (page == Objectives && ScorecardKatalog::perspektiveOf(ziel)
                != Form1->objectivesPage()->combobox1->itemIndex())
            continue;
        if (!marker(page, ziel)->isHidden())
            list << QString::number(ziel);
    }
    return list.join(QLatin1Char(' '));
}

void addPages()
{
    QTest::addColumn<int>("page");
}

} // namespace

class TestAttention : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SKIP_WITHOUT_SERVER(); }

    void markersWaitHiddenBesideTheLights()
    {
        TestWindows f;
        f.continueWith(1, 1);
        const int tops[12] = {104, 128, 152, 216, 240, 264, 328, 352, 376, 448, 472, 496};
        for (int ziel = 1; ziel <= 12; ++ziel) {
            ClickLabel *m = marker(Perspectives, ziel);
            QVERIFY(m->isHidden());
            QCOMPARE(m->geometry(), QRect(656, tops[ziel - 1], 17, 17));
        }
        const int rowTops[3] = {150, 270, 399};
        for (int row = 1; row <= 3; ++row) {
            ClickLabel *m = marker(Objectives, row);
            QVERIFY(m->isHidden());
            QCOMPARE(m->geometry(), QRect(780, rowTops[row - 1], 17, 17));
        }
        // A red triangle with a white sign, transparent around it.
        const QImage picture = marker(Perspectives, 1)->pixmap().toImage();
        QCOMPARE(picture.size(), QSize(17, 17));
        QCOMPARE(picture.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(picture.pixelColor(4, 13).rgb(), QColor(Qt::red).rgb());
        QCOMPARE(picture.pixelColor(8, 8).rgb(), QColor(Qt::white).rgb());
    }

    void markedByRule_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("ziel");
        QTest::addColumn<int>("ist");
        QTest::addColumn<int>("soll");
        QTest::addColumn<int>("measureGoal");   // 0: no measure
        QTest::addColumn<QString>("measureYear");
        QTest::addColumn<bool>("shown");
        for (int page : {Perspectives, Objectives}) {
            const char *name = page == Perspectives ? "Perspectives" : "Objectives";
            const auto row = [&](const char *what) -> QTestData & { return QTest::addRow("%s: %s", name, what) << page; };
            row("red without a measure") << 1 << 74 << 100 << 0 << QString() << true;
            row("red with a measure") << 1 << 74 << 100 << 1 << Year << false;
            row("red, measure of another year") << 2 << 64 << 100 << 2 << "2006" << true;
            row("red, measure of another goal") << 8 << 10 << 100 << 9 << Year << true;
            row("yellow without a measure") << 1 << 3 << 4 << 0 << QString() << false;
            row("green without a measure") << 10 << 20 << 20 << 0 << QString() << false;
            row("SOLL 0") << 4 << 50 << 0 << 0 << QString() << false;
            row("1/1 pair") << 3 << 1 << 1 << 0 << QString() << false;
            // Goal 11 is counted under the text of the industry chosen.
            row("goal 11 red, measure of the other industry") << 11 << 31 << 20 << -11 << Year << true;
            row("goal 11 red, measure of this industry") << 11 << 31 << 20 << 11 << Year << false;
        }
    }
    void markedByRule()
    {
        QFETCH(int, page);
        QFETCH(int, ziel);
        QFETCH(int, ist);
        QFETCH(int, soll);
        QFETCH(int, measureGoal);
        QFETCH(QString, measureYear);
        QFETCH(bool, shown);
        TestWindows f;
        f.continueWith(1, 1);
        setYear(f.db(), Year, ziel, ist, soll);
        if (measureGoal != 0)
            addMeasure(f.db(), qAbs(measureGoal), measureGoal < 0 ? 0 : 1, measureYear);
        display(Page(page), ziel, Year);
        QCOMPARE(marked(Page(page)), shown ? QString::number(ziel) : QString());
        QVERIFY(f.asker().questions().isEmpty());
        ClickLabel *m = marker(Page(page), ziel);
        if (shown) {
            QCOMPARE(m->toolTip(), QStringLiteral("rot, keine Maßnahme für 2005"));
            QCOMPARE(m->accessibleName(), m->toolTip());
        }
    }

    // The delivery-time pair of 1 and 1 greys the whole Perspectives page:
    // no light is red, so nothing is marked.
    void deliveryTimeOfOneAndOneMarksNothing()
    {
        TestWindows f;
        f.continueWith(1, 1);
        setYear(f.db(), Year, 1, 10, 100);
        f.db().setPair(QStringLiteral("kz_reklamation"), Year, QStringLiteral("Jahr"), 1, 1);
        display(Perspectives, 1, Year);
        QCOMPARE(marked(Perspectives), QString());
        // On the Objectives page that pair greys its own row only.
        display(Objectives, 1, Year);
        QCOMPARE(marked(Objectives), QStringLiteral("1"));
    }

    void englishTexts_data()
    {
        addPages();
        QTest::newRow("Perspectives") << int(Perspectives);
        QTest::newRow("Objectives") << int(Objectives);
    }
    void englishTexts()
    {
        QFETCH(int, page);
        TestWindows f;
        f.continueWith(0, 1);
        setYear(f.db(), Year, 5, 10, 100);
        display(Page(page), 5, Year);
        QCOMPARE(marked(Page(page)), QStringLiteral("5"));
        QCOMPARE(marker(Page(page), 5)->toolTip(), QStringLiteral("red, no measure for 2005"));
        QCOMPARE(marker(Page(page), 5)->accessibleName(), QStringLiteral("red, no measure for 2005"));
    }

    // Like the lights, markers change only with the next display.
    void keptUntilTheNextDisplay_data() { englishTexts_data(); }
    void keptUntilTheNextDisplay()
    {
        QFETCH(int, page);
        TestWindows f;
        f.continueWith(1, 1);
        setYear(f.db(), Year, 6, 10, 100);
        display(Page(page), 6, Year);
        QCOMPARE(marked(Page(page)), QStringLiteral("6"));
        addMeasure(f.db(), 6, 1, Year);
        QCOMPARE(marked(Page(page)), QStringLiteral("6"));
        display(Page(page), 6, Year);
        QCOMPARE(marked(Page(page)), QString());
        // Another year without values greys every light: nothing is marked.
        display(Page(page), 6, QStringLiteral("2006"));
        QCOMPARE(marked(Page(page)), QString());
    }

    // A display that fails half-way (a table gone) leaves no marker beside
    // the lights it has already changed.
    void failedDisplayLeavesNoMarker_data() { englishTexts_data(); }
    void failedDisplayLeavesNoMarker()
    {
        QFETCH(int, page);
        TestWindows f;
        f.continueWith(1, 1);
        setYear(f.db(), Year, 1, 10, 100);
        display(Page(page), 1, Year);
        QCOMPARE(marked(Page(page)), QStringLiteral("1"));
        f.db().sql(QStringLiteral("DROP TABLE \"kz_kap_quote\""));
        display(Page(page), 1, Year);
        QCOMPARE(f.asker().questions().size(), 1);
        QCOMPARE(marked(Page(page)), QString());
    }

    void clickLandsOnTheMeasuresPage_data()
    {
        addPages();
        QTest::addColumn<int>("sprache");
        QTest::addColumn<int>("branche");
        QTest::addColumn<int>("ziel");
        QTest::newRow("Perspectives, German, goal 8") << int(Perspectives) << 1 << 1 << 8;
        QTest::newRow("Objectives, German, goal 2") << int(Objectives) << 1 << 1 << 2;
        QTest::newRow("Perspectives, English agriculture, goal 11") << int(Perspectives) << 0 << 0 << 11;
        QTest::newRow("Objectives, English mining, goal 12") << int(Objectives) << 0 << 1 << 12;
    }
    void clickLandsOnTheMeasuresPage()
    {
        QFETCH(int, page);
        QFETCH(int, sprache);
        QFETCH(int, branche);
        QFETCH(int, ziel);
        TestWindows f;
        f.continueWith(sprache, branche);
        // A red pair: lower is better for the time key figures.
        const bool lower = ampelRegel(ziel, branche, View::Perspectives).art == AmpelRegel::Absteigend;
        setYear(f.db(), Year, ziel, lower ? 40 : 10, lower ? 20 : 100, branche);
        display(Page(page), ziel, Year);
        ClickLabel *m = marker(Page(page), ziel);
        QVERIFY(!m->isHidden());
        // The marker keeps the year it was shown for.
        if (page == Perspectives)
            Form1->perspectivesPage()->ComboBox10->choose(0);
        else
            Form1->objectivesPage()->ComboBox3->choose(0);
        if (ziel % 2)
            QTest::keyClick(m, Qt::Key_Return);   // the keyboard way
        else
            QTest::mouseClick(m, Qt::LeftButton);

        MeasuresPage *measures = Form1->measuresPage();
        QCOMPARE(Form1->PageControl1->currentWidget(), Form1->TabSheet[2]);
        QCOMPARE(measures->ComboBox4->itemIndex(), ScorecardKatalog::perspektiveOf(ziel));
        QCOMPARE(measures->ComboBox5->itemIndex(), ScorecardKatalog::positionOf(ziel));
        const bool english = sprache == 0;
        QCOMPARE(measures->ComboBox5->text(), english ? ScorecardKatalog::zielTextEnglish(ziel, branche)
                                                      : ScorecardKatalog::zielText(ziel, branche));
        QCOMPARE(measures->ComboBox8->itemIndex(), 6);
        QCOMPARE(measures->ComboBox9->text(), Year);
        QVERIFY(measures->ComboBox5->isEnabled() && measures->ComboBox8->isEnabled()
                && measures->ComboBox9->isEnabled() && measures->Button5->isEnabled());
        // Displayed: ready for "Maßnahmen einfügen / bearbeiten...".
        QVERIFY(measures->Button6->isEnabled());
        QCOMPARE(Form1->query(7)->sql(), Statements::measures(ScorecardKatalog::zielText(ziel, branche), Year));
        QCOMPARE(Form1->query(5)->sql(),
                 Statements::measuresPagePair(ScorecardKatalog::table(ziel, branche), QStringLiteral("ist_wert_jahr"),
                                              QStringLiteral("soll_wert_jahr"), Year));
        QCOMPARE(measures->light().state(), 1);
        QVERIFY(f.asker().questions().isEmpty());
    }
};

QTEST_MAIN(TestAttention)
#include "tst_attention.moc"
