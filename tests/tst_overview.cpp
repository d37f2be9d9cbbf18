// The Overview page: one perspective of the current year by quarter,
// half-year or year, every shown pair with its light.
#include "fixture_windows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "model/katalog.h"
#include "platform/db/dataset.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/selector.h"
#include "views/overview.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

const char *const Colours[4] = {"grau", "rot", "gelb", "gruen"};
const QStringList Suffixes{"Q1", "Q2", "Q3", "Q4", "Halbjahr1", "Halbjahr2", "Jahr"};
constexpr int SlotLefts[4] = {424, 608, 784, 952};
constexpr int SlotTops[3] = {104, 224, 320};

OverviewPage *page() { return Form1->overviewPage(); }

// The lights of a row as "gelb rot - -" ("-": no picture at all).
QString lights(int row)
{
    QStringList list;
    for (int c = 0; c < 4; ++c) {
        const int state = page()->slot(row, c).state();
        list << (state >= 0 ? QString::fromLatin1(Colours[state]) : QStringLiteral("-"));
    }
    return list.join(QLatin1Char(' '));
}

// The values a row's shown cells display, as "IST/SOLL" per column.
QString values(int row)
{
    QStringList list;
    for (int c = 0; c < 4; ++c) {
        if (page()->istCell(row, c)->isHidden())
            list << QStringLiteral("-");
        else
            list << page()->istCell(row, c)->text() + QLatin1Char('/') + page()->sollCell(row, c)->text();
    }
    return list.join(QLatin1Char(' '));
}

void display(int perspektive, int raster)
{
    if (perspektive >= 0)
        page()->ComboBox11->choose(perspektive);
    if (raster >= 0)
        page()->ComboBox12->choose(raster);
    page()->Button1->click();
}

// The seven pairs of a year's row, in period order.
void setRow(TestDatabase &db, const QString &table, const QString &year, const QList<QPair<int, int>> &pairs)
{
    for (int i = 0; i < pairs.size(); ++i)
        db.setPair(table, year, Suffixes[i], pairs[i].first, pairs[i].second);
}

// The page reads "now" from the clock; tests live in 2005.
QDateTime inYear(int year) { return QDateTime(QDate(year, 6, 15), QTime(12, 0)); }

} // namespace

class TestOverview : public QObject {
    Q_OBJECT

private slots:
    void pageAtStart()
    {
        TestWindows w;
        w.db().setPair(QStringLiteral("kz_kap_quote"), QStringLiteral("2003"), QStringLiteral("Q3"), 7, 8);
        Form1->query(8)->refresh();
        QCOMPARE(page()->ComboBox11->geometry(), QRect(48, 16, 185, 21));
        QCOMPARE(page()->ComboBox12->geometry(), QRect(256, 16, 161, 21));
        QCOMPARE(page()->ComboBox12->items(), (QStringList{"quartalsweise", "halbjährlich", "jährlich"}));
        QCOMPARE(page()->Button1->geometry(), QRect(444, 14, 97, 25));
        QVERIFY(page()->Label50->isHidden());
        QCOMPARE(page()->Label16->text(), QStringLiteral("Erhöhung der finanziellen "));
        QCOMPARE(page()->Label49->pos(), QPoint(8, 195));
        QCOMPARE(page()->headers[3][2]->objectName(), QStringLiteral("Label55"));
        QCOMPARE(page()->headers[1][0]->pos(), QPoint(488, 72));
        QCOMPARE(page()->istCell(1, 2)->objectName(), QStringLiteral("DBText23"));
        QCOMPARE(page()->istCell(1, 2)->geometry(), QRect(680, 226, 49, 17));
        QCOMPARE(page()->sollCell(2, 3)->objectName(), QStringLiteral("DBText34"));
        QCOMPARE(page()->sollCell(2, 3)->dataField(), QStringLiteral("Soll_Wert_Q4"));
        // The first record of each table, whatever its year.
        QCOMPARE(page()->istCell(1, 2)->text(), QStringLiteral("7"));
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 4; ++c) {
                LightSlot &slot = page()->slot(r, c);
                QCOMPARE(slot.state(), 0);
                for (int s = 0; s < 4; ++s) {
                    QCOMPARE(slot.picture(s)->objectName(),
                             QStringLiteral("amp_%1_%2_%3").arg(QLatin1String(Colours[s])).arg(r + 1).arg(c + 1));
                    QCOMPARE(slot.picture(s)->geometry(), QRect(SlotLefts[c], SlotTops[r] + 8 * s, 57, 17));
                }
            }
        }
        const QPoint places[4] = {{704, 392}, {712, 400}, {720, 409}, {728, 417}};
        for (int p = 0; p < 4; ++p) {
            QCOMPARE(page()->pictures().picture(p)->geometry(), QRect(places[p], QSize(289, 217)));
            QCOMPARE(page()->pictures().picture(p)->isHidden(), p != 0);
        }
        QCOMPARE(page()->pictures().picture(2)->objectName(), QStringLiteral("bild_bsc_map3"));
    }

    void financialQuarterlyJudgesEveryColumnOnItsOwn()
    {
        TestWindows w;
        w.services().setNow(inYear(2005));
        w.continueWith(1, 1);
        // Each column's pair gives another colour: a mixed-up column shows.
        setRow(w.db(), "kz_ges_renta", "2005", {{50, 100}, {80, 100}, {95, 100}, {75, 100}});
        setRow(w.db(), "kz_kap_quote", "2005", {{100, 100}, {60, 100}, {70, 100}, {140, 100}});
        setRow(w.db(), "kz_liqui", "2005", {{1, 1}, {69, 100}, {110, 100}, {131, 100}});
        display(0, 0);
        QCOMPARE(page()->Label50->text(), QStringLiteral("2005"));
        QCOMPARE(Form1->query(6)->sql(), QStringLiteral("select * from kz_ges_renta.db where jahr=\"2005\""));
        QCOMPARE(values(0), QStringLiteral("50/100 80/100 95/100 75/100"));
        QCOMPARE(values(2), QStringLiteral("1/1 69/100 110/100 131/100"));
        QCOMPARE(lights(0), QStringLiteral("rot gelb gruen gelb"));
        QCOMPARE(lights(1), QStringLiteral("gruen rot gelb rot"));
        QCOMPARE(lights(2), QStringLiteral("gruen rot gruen rot"));   // 1/1 is judged here
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 4; ++c) {
                const LightSlot &slot = page()->slot(r, c);
                QCOMPARE(slot.picture(slot.state())->pos(), QPoint(SlotLefts[c], SlotTops[r]));
            }
        }
        QCOMPARE(Form1->query(9)->sql(), QStringLiteral("select * from kz_liqui.db where jahr=\"2005\""));
    }

    void granularitiesShowAndHideColumns()
    {
        TestWindows w;
        w.services().setNow(inYear(2005));
        w.continueWith(1, 1);
        for (const char *table : {"kz_ges_renta", "kz_kap_quote", "kz_liqui"})
            setRow(w.db(), table, "2005", {{1, 100}, {2, 100}, {3, 100}, {4, 100}, {100, 100}, {50, 100}, {90, 100}});
        display(0, 0);
        QCOMPARE(values(0), QStringLiteral("1/100 2/100 3/100 4/100"));

        display(0, 1);
        QCOMPARE(values(0), QStringLiteral("100/100 50/100 - -"));
        QCOMPARE(lights(0), QStringLiteral("gruen rot - -"));
        QCOMPARE(lights(2), QStringLiteral("gruen rot - -"));
        QVERIFY(page()->headers[2][0]->isHidden() && page()->headers[3][2]->isHidden());
        QVERIFY(!page()->headers[1][1]->isHidden());
        QCOMPARE(page()->istCell(0, 2)->dataField(), QStringLiteral("Ist_Wert_Q3"));   // never rebound

        display(0, 2);
        QCOMPARE(values(1), QStringLiteral("90/100 - - -"));
        QCOMPARE(page()->istCell(1, 0)->dataField(), QStringLiteral("ist_wert_jahr"));
        QCOMPARE(page()->istCell(1, 1)->dataField(), QStringLiteral("ist_wert_halbjahr2"));   // kept, hidden
        QCOMPARE(lights(1), QStringLiteral("gruen - - -"));
        QVERIFY(page()->headers[1][0]->isHidden() && !page()->headers[0][0]->isHidden());

        // Back to quarters: the columns return with colours, grey does not.
        display(0, 0);
        QCOMPARE(values(2), QStringLiteral("1/100 2/100 3/100 4/100"));
        QCOMPARE(lights(0), QStringLiteral("rot rot rot rot"));
        for (int c = 0; c < 4; ++c)
            QVERIFY(page()->slot(0, c).picture(0)->isHidden());
    }

    void ratiosOnBoundaries_data()
    {
        QTest::addColumn<int>("perspektive");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("ist");
        QTest::addColumn<QString>("light");
        QTest::newRow("total profitability 75") << 0 << "kz_ges_renta" << 0 << 75 << "gelb";
        QTest::newRow("total profitability 90") << 0 << "kz_ges_renta" << 0 << 90 << "gruen";
        QTest::newRow("invoicing 120") << 3 << "kz_rechlegung" << 0 << 120 << "gruen";
        QTest::newRow("invoicing 150") << 3 << "kz_rechlegung" << 0 << 150 << "gelb";
        QTest::newRow("suggestions 55 with the page's own bands") << 2 << "kz_anz_verbesserung" << 0 << 55 << "gelb";
        QTest::newRow("delivery 1/1") << 3 << "kz_reklamation" << 2 << 1 << "gruen";
    }
    void ratiosOnBoundaries()
    {
        QFETCH(int, perspektive);
        QFETCH(QString, table);
        QFETCH(int, row);
        QFETCH(int, ist);
        QFETCH(QString, light);
        TestWindows w;
        w.services().setNow(inYear(2005));
        w.continueWith(1, 1);
        setRow(w.db(), table, "2005", {{ist, ist == 1 ? 1 : 100}});
        display(perspektive, 0);
        QCOMPARE(lights(row).section(QLatin1Char(' '), 0, 0), light);
    }

    void processPerspectiveFollowsTheIndustry_data()
    {
        QTest::addColumn<int>("branche");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("light");
        QTest::addColumn<QString>("label16");
        QTest::newRow("agriculture") << 0 << "kz_neuprod" << "rot" << "Increase of the portion innovative products:";
        QTest::newRow("mining") << 1 << "kz_auf_abwicklung" << "gruen" << "Duration of the job execution reduce:";
    }
    void processPerspectiveFollowsTheIndustry()
    {
        QFETCH(int, branche);
        QFETCH(QString, table);
        QFETCH(QString, light);
        QFETCH(QString, label16);
        TestWindows w;
        w.services().setNow(inYear(2005));
        w.continueWith(0, branche);
        // 50 of 100 is red for new products, green for a time lower than planned.
        setRow(w.db(), table, "2005", {{50, 100}});
        display(3, 0);
        QCOMPARE(Form1->query(8)->sql(), QStringLiteral("select * from %1.db where jahr=\"2005\"").arg(table));
        QCOMPARE(lights(1).section(QLatin1Char(' '), 0, 0), light);
        QCOMPARE(page()->Label16->text(), label16);
        QVERIFY(page()->Label49->isHidden());
        QCOMPARE(page()->Label15->text(), QStringLiteral("Introduve time near accounting:"));
    }

    // No record for the year: nothing to show, no ratio, the grey light.
    void yearWithoutARecord()
    {
        TestWindows w;
        w.services().setNow(inYear(2030));
        w.continueWith(1, 1);
        display(1, 0);
        QCOMPARE(page()->Label50->text(), QStringLiteral("2030"));
        QCOMPARE(values(0), QStringLiteral("/ / / /"));
        QCOMPARE(lights(0), QStringLiteral("grau grau grau grau"));
        QCOMPARE(lights(2), QStringLiteral("grau grau grau grau"));
        QVERIFY(w.asker().questions().isEmpty());
    }

    void stopsWithoutAChoice()
    {
        TestWindows w;
        w.services().setNow(inYear(2005));
        w.continueWith(1, 1);
        page()->Button1->click();
        QCOMPARE(page()->Label50->text(), QStringLiteral("2005"));
        QCOMPARE(page()->Label16->text(), QStringLiteral("Erhöhung der finanziellen "));
        QCOMPARE(Form1->query(6)->sql(), QStringLiteral("select * from kz_ges_renta"));

        page()->ComboBox11->choose(2);
        page()->Button1->click();   // no granularity: captions only
        QCOMPARE(page()->Label15->text(), QStringLiteral("Qualitätsbewußtsein der MA erhöhen:"));
        QVERIFY(page()->Label49->isHidden());
        QCOMPARE(Form1->query(6)->sql(), QStringLiteral("select * from kz_ges_renta"));
        QCOMPARE(lights(0), QStringLiteral("grau grau grau grau"));
    }

    void diagramSwitchLeavesTheRows()
    {
        TestWindows w;
        w.services().setNow(inYear(2005));
        w.continueWith(1, 1);
        setRow(w.db(), "kz_ges_renta", "2005", {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {100, 100}});
        display(0, 2);
        page()->ComboBox11->choose(1);
        QVERIFY(!page()->pictures().picture(1)->isHidden() && page()->pictures().picture(0)->isHidden());
        QCOMPARE(page()->pictures().picture(1)->pos(), QPoint(704, 392));
        QCOMPARE(page()->Label15->text(), QStringLiteral("Steigerung der Gesamtrentabilität:"));
        QCOMPARE(lights(0), QStringLiteral("gruen - - -"));
        page()->ComboBox11->choose(1);   // the same again changes nothing
        QCOMPARE(page()->pictures().picture(1)->pos(), QPoint(704, 392));
    }

    void aNewYearIsUsedWithoutRestart()
    {
        TestWindows w;
        w.services().setNow(inYear(2005));
        w.continueWith(1, 1);
        display(0, 0);
        w.services().setNow(inYear(2006));
        page()->Button1->click();
        QCOMPARE(page()->Label50->text(), QStringLiteral("2006"));
        QCOMPARE(Form1->query(8)->sql(), QStringLiteral("select * from kz_kap_quote.db where jahr=\"2006\""));
    }

    void missingTableEndsTheCommand()
    {
        TestWindows w;
        w.services().setNow(inYear(2005));
        w.continueWith(1, 1);
        setRow(w.db(), "kz_kundentreue", "2005", {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {100, 100}});
        w.db().sql(QStringLiteral("DROP TABLE kz_marktanteil"));
        display(1, 2);
        QCOMPARE(w.asker().questions().size(), 1);
        QVERIFY(w.asker().questions().first().text.contains(QLatin1String("kz_marktanteil")));
        QCOMPARE(lights(0), QStringLiteral("gruen - - -"));   // row 1 was done
        QCOMPARE(lights(2), QStringLiteral("grau grau grau grau"));
    }
};

QTEST_MAIN(TestOverview)
#include "tst_overview.moc"
