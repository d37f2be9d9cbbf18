// The Perspectives page: twelve goals judged for one year.
#include "fixture_windows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "model/katalog.h"
#include "platform/db/dataset.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/selector.h"
#include "views/perspectives.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const char *const Farben[4] = {"grau", "rot", "gelb", "gruen"};

// The twelve lights as "grau rot ..." in goal order.
QString lichter(PerspectivesPage *seite)
{
    QStringList list;
    for (int ziel = 1; ziel <= 12; ++ziel) {
        const int zustand = seite->slot(ziel).state();
        list << (zustand >= 0 ? QString::fromLatin1(Farben[zustand]) : QStringLiteral("?"));
    }
    return list.join(QLatin1Char(' '));
}

// Sets the year pair of every goal's table; agriculture's goal 11 table too.
void jahrSetzen(TestDatabase &db, const QString &jahr, const QList<QPair<int, int>> &paare, int branche = 1)
{
    for (int ziel = 1; ziel <= 12; ++ziel)
        db.setPair(ScorecardKatalog::table(ziel, branche), jahr, QStringLiteral("Jahr"), paare[ziel - 1].first,
                     paare[ziel - 1].second);
}

QList<QPair<int, int>> alle(int ist, int soll) { return QList<QPair<int, int>>(12, qMakePair(ist, soll)); }

} // namespace

class TestPerspectives : public QObject {
    Q_OBJECT

    PerspectivesPage *seite() const { return Form1->perspectivesPage(); }

    void display(const QString &jahr)
    {
        const int index = seite()->ComboBox10->items().indexOf(jahr);
        if (index >= 0) {
            seite()->ComboBox10->choose(index);
        } else {
            seite()->ComboBox10->lineEdit()->selectAll();
            QTest::keyClicks(seite()->ComboBox10->lineEdit(), jahr);
        }
        QVERIFY(seite()->Button4->isEnabled());
        seite()->Button4->click();
    }

private slots:
    void pageAtStart()
    {
        TestWindows f;
        QCOMPARE(seite()->ComboBox10->text(), QStringLiteral("Jahr:"));
        // The fixed years, then the later ones the tables hold (the test
        // database runs to 2014).
        QCOMPARE(seite()->ComboBox10->items(), ScorecardKatalog::years() << QStringLiteral("2014"));
        QCOMPARE(seite()->ComboBox10->geometry(), QRect(24, 16, 105, 21));
        QCOMPARE(seite()->Button4->geometry(), QRect(168, 16, 99, 25));
        QVERIFY(!seite()->Button4->isEnabled());
        QCOMPARE(seite()->Label42->pos(), QPoint(603, 72));
        QCOMPARE(seite()->Image4->geometry(), QRect(704, 392, 281, 217));
        QVERIFY(seite()->DBText3->isHidden() && seite()->DBText4->isHidden());
        QCOMPARE(seite()->DBText3->pos(), QPoint(456, 40));
        QCOMPARE(seite()->DBText4->dataField(), QStringLiteral("soll_wert_jahr"));

        const struct {
            const char *name;
            QPoint pos;
            const char *text;
        } labels[] = {
            {"Label5", {24, 72}, "Finanzperspektive:"},
            {"Label30", {96, 104}, "Steigerung der Gesamtrentabilität:"},
            {"Label36", {96, 328}, "Qualitätsbewußtsein der Mitarbeiter erhöhen:"},
            {"Label29", {24, 416}, "Prozessperspektive:"},
            {"Label41", {96, 496}, "Verringerung der Auslieferungszeit:"},
        };
        for (const auto &l : labels) {
            QLabel *label = seite()->label(QString::fromLatin1(l.name));
            QVERIFY(label);
            QCOMPARE(label->pos(), l.pos);
            QCOMPARE(label->text(), QString::fromUtf8(l.text));
        }
        const int tops[12] = {104, 128, 152, 216, 240, 264, 328, 352, 376, 448, 472, 496};
        for (int ziel = 1; ziel <= 12; ++ziel) {
            LightSlot &slot = seite()->slot(ziel);
            QCOMPARE(slot.state(), 0);
            const int lefts[4] = {600, 616, 632, 648};
            for (int z = 0; z < 4; ++z) {
                QCOMPARE(slot.picture(z)->objectName(), QStringLiteral("amp_%1_z%2").arg(QLatin1String(Farben[z])).arg(ziel));
                QCOMPARE(slot.picture(z)->geometry(), QRect(lefts[z], tops[ziel - 1], 49, 17));
                QCOMPARE(slot.picture(z)->isHidden(), z != 0);
            }
        }
    }

    void showButtonWaitsForTheYearSelector()
    {
        TestWindows f;
        QVERIFY(!seite()->Button4->isEnabled());
        QTest::keyClicks(seite()->ComboBox10->lineEdit(), QStringLiteral("2"));
        QVERIFY(seite()->Button4->isEnabled());
    }

    void judgesEveryGoal_data()
    {
        QTest::addColumn<int>("ziel");
        QTest::addColumn<int>("ist");
        QTest::addColumn<int>("soll");
        QTest::addColumn<QString>("farbe");
        QTest::newRow("goal 1 r 74 rot") << 1 << 74 << 100 << "rot";
        QTest::newRow("goal 1 r 75 gelb") << 1 << 3 << 4 << "gelb";
        QTest::newRow("goal 1 r 90 gruen") << 1 << 9 << 10 << "gruen";
        QTest::newRow("goal 2 r 64 rot") << 2 << 64 << 100 << "rot";
        QTest::newRow("goal 2 r 136 rot") << 2 << 136 << 100 << "rot";
        QTest::newRow("goal 2 r 121 gelb") << 2 << 121 << 100 << "gelb";
        QTest::newRow("goal 5 r 33.3 gelb") << 5 << 1 << 3 << "gelb";
        QTest::newRow("goal 7 r 55 gelb here") << 7 << 55 << 100 << "gelb";
        QTest::newRow("goal 10 r 150 gelb") << 10 << 30 << 20 << "gelb";
        QTest::newRow("goal 10 r 155 rot") << 10 << 31 << 20 << "rot";
        QTest::newRow("goal 12 r 120 gruen") << 12 << 24 << 20 << "gruen";
        QTest::newRow("goal 3 1/1 judged") << 3 << 1 << 1 << "gruen";
        QTest::newRow("SOLL 0 not judged") << 4 << 50 << 0 << "grau";
    }
    void judgesEveryGoal()
    {
        QFETCH(int, ziel);
        QFETCH(int, ist);
        QFETCH(int, soll);
        QFETCH(QString, farbe);
        TestWindows f;
        f.continueWith(1, 1);
        // Every other goal is green, so that a wrong row shows.
        QList<QPair<int, int>> paare = alle(100, 100);
        paare[ziel - 1] = qMakePair(ist, soll);
        jahrSetzen(f.db(), QStringLiteral("2005"), paare);
        display(QStringLiteral("2005"));
        QStringList expected(12, QStringLiteral("gruen"));
        expected[ziel - 1] = farbe;
        QCOMPARE(lichter(seite()), expected.join(QLatin1Char(' ')));
        QVERIFY(f.asker().questions().isEmpty());
        // The visible picture stands at the slot and says its state in words.
        QLabel *shown = seite()->slot(ziel).picture(seite()->slot(ziel).state());
        QCOMPARE(shown->pos().x(), 600);
        QVERIFY(shown->accessibleName().startsWith(QLatin1String("Ampel: ")));
    }

    void goal11FollowsTheIndustry_data()
    {
        QTest::addColumn<int>("branche");
        QTest::addColumn<QString>("farbe");
        QTest::newRow("agriculture: kz_neuprod, 60/80") << 0 << "gelb";
        QTest::newRow("mining: kz_auf_abwicklung, lower is better") << 1 << "gruen";
        QTest::newRow("typed industry counts as mining") << -1 << "gruen";
    }
    void goal11FollowsTheIndustry()
    {
        QFETCH(int, branche);
        QFETCH(QString, farbe);
        TestWindows f;
        f.db().setPair(QStringLiteral("kz_neuprod"), QStringLiteral("2006"), QStringLiteral("Jahr"), 70, 100);
        f.db().setPair(QStringLiteral("kz_auf_abwicklung"), QStringLiteral("2006"), QStringLiteral("Jahr"), 70, 100);
        Form1->ComboBox6->choose(1);
        if (branche >= 0) {
            Form1->ComboBox7->choose(branche);
        } else {
            Form1->ComboBox7->lineEdit()->selectAll();
            QTest::keyClicks(Form1->ComboBox7->lineEdit(), QStringLiteral("Kohle"));
        }
        Form1->Button3->click();
        display(QStringLiteral("2006"));
        QCOMPARE(QString::fromLatin1(Farben[seite()->slot(11).state()]), farbe);
    }

    void deliveryTimeOfOneAndOneResetsAllLights()
    {
        TestWindows f;
        f.continueWith(1, 1);
        QList<QPair<int, int>> paare = alle(50, 100);
        jahrSetzen(f.db(), QStringLiteral("2007"), paare);
        display(QStringLiteral("2007"));
        QVERIFY(lichter(seite()) != QString(QStringList(12, QStringLiteral("grau")).join(QLatin1Char(' '))));
        paare[11] = qMakePair(1, 1);
        jahrSetzen(f.db(), QStringLiteral("2007"), paare);
        display(QStringLiteral("2007"));
        QCOMPARE(lichter(seite()), QStringList(12, QStringLiteral("grau")).join(QLatin1Char(' ')));
        // The last statement was the delivery time's, on the page's query.
        QCOMPARE(Form1->query(2)->sql(),
                 QStringLiteral("select ist_wert_jahr,soll_wert_jahr from kz_reklamation.db where jahr=\"2007\""));
        for (int ziel = 1; ziel <= 12; ++ziel) {
            for (int z = 1; z < 4; ++z)
                QVERIFY(seite()->slot(ziel).picture(z)->isHidden());
        }
    }

    void sameYearTwiceAndAnotherYear()
    {
        TestWindows f(true);
        f.continueWith(1, 1);
        display(QStringLiteral("2005"));
        const QString first = lichter(seite());
        display(QStringLiteral("2005"));
        QCOMPARE(lichter(seite()), first);
        jahrSetzen(f.db(), QStringLiteral("2009"), alle(100, 100));
        display(QStringLiteral("2009"));
        QCOMPARE(lichter(seite()), QStringList(12, QStringLiteral("gruen")).join(QLatin1Char(' ')));
        // A typed year that matches no row: nothing to judge, every light grey.
        display(QStringLiteral("1999"));
        QCOMPARE(lichter(seite()), QStringList(12, QStringLiteral("grau")).join(QLatin1Char(' ')));
        QVERIFY(f.asker().questions().isEmpty());
    }

    void engineErrorStopsAtThatGoal()
    {
        TestWindows f;
        f.continueWith(1, 1);
        jahrSetzen(f.db(), QStringLiteral("2008"), alle(100, 100));
        display(QStringLiteral("2008"));
        QCOMPARE(lichter(seite()), QStringList(12, QStringLiteral("gruen")).join(QLatin1Char(' ')));

        jahrSetzen(f.db(), QStringLiteral("2008"), alle(10, 100));
        f.db().sql(QStringLiteral("DROP TABLE kz_anz_verbesserung"));
        display(QStringLiteral("2008"));
        QCOMPARE(f.asker().questions().size(), 1);
        QVERIFY2(f.asker().questions().first().text.contains(QLatin1String("kz_anz_verbesserung")),
                 qPrintable(f.asker().questions().first().text));
        // Goals 1 to 6 were judged again, 7 to 12 keep their lights.
        QCOMPARE(lichter(seite()), QStringLiteral("rot rot rot rot rot rot gruen gruen gruen gruen gruen gruen"));
    }

    void typedYearWithQuotesIsRefusedAndChangesNothing()
    {
        TestWindows f;
        f.continueWith(1, 1);
        display(QStringLiteral("2005\" or \"1\"=\"1"));
        QCOMPARE(f.asker().questions().size(), 1);
        QVERIFY(f.asker().questions().first().text.contains(QLatin1String("Invalid statement")));
        QCOMPARE(lichter(seite()), QStringList(12, QStringLiteral("grau")).join(QLatin1Char(' ')));
    }
};

QTEST_MAIN(TestPerspectives)
#include "tst_perspectives.moc"
