// The Objectives page: three goals of a perspective for a period and year.
#include "fixture_windows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "model/katalog.h"
#include "platform/db/dataset.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/clicklabel.h"
#include "platform/ui/selector.h"
#include "views/objectives.h"

#include <QPushButton>
#include <QTest>

namespace {

const char *const Colours[4] = {"grau", "rot", "gelb", "gruen"};

ObjectivesPage *page() { return Form1->objectivesPage(); }

// The three lights as "gelb rot gruen".
QString lights()
{
    QStringList list;
    for (int row = 1; row <= 3; ++row) {
        const int state = page()->slot(row).state();
        list << (state >= 0 ? QString::fromLatin1(Colours[state]) : QStringLiteral("?"));
    }
    return list.join(QLatin1Char(' '));
}

void display(int perspektive, int zeitraum, const QString &year)
{
    page()->combobox1->choose(perspektive);
    if (zeitraum >= 0)
        page()->ComboBox2->choose(zeitraum);
    else
        page()->ComboBox2->type(QStringLiteral("Quartal"));
    page()->ComboBox3->choose(page()->ComboBox3->items().indexOf(year));
    page()->Button2->click();
}

} // namespace

class TestObjectives : public QObject {
    Q_OBJECT

private slots:
    void pageAtStart()
    {
        TestWindows w;
        QCOMPARE(page()->combobox1->geometry(), QRect(48, 16, 185, 21));
        QCOMPARE(page()->ComboBox2->geometry(), QRect(256, 16, 145, 21));
        QCOMPARE(page()->ComboBox3->geometry(), QRect(424, 16, 145, 21));
        QCOMPARE(page()->Button2->geometry(), QRect(592, 14, 105, 25));
        QCOMPARE(page()->Button7->geometry(), QRect(728, 14, 129, 25));
        QCOMPARE(page()->combobox1->text(), QStringLiteral("Perspektiven:"));
        QCOMPARE(page()->ComboBox2->items().last(), QStringLiteral("Jahr"));
        QVERIFY(page()->combobox1->isEnabled() && !page()->ComboBox2->isEnabled() && !page()->ComboBox3->isEnabled());
        QVERIFY(!page()->Button2->isEnabled() && !page()->Button7->isEnabled());
        QCOMPARE(page()->Label11->pos(), QPoint(720, 112));
        QCOMPARE(page()->Label1->text(), QStringLiteral("Steigerung der Gesamtrentabilität:"));
        QCOMPARE(page()->Label7->text(), QStringLiteral("Liquidität 1. Grades [in %]:"));
        QCOMPARE(page()->Label6->pos(), QPoint(104, 272));
        QCOMPARE(page()->DBText7->geometry(), QRect(552, 400, 65, 17));
        QCOMPARE(page()->DBText2->dataField(), QStringLiteral("soll_wert_q1"));
        QCOMPARE(page()->info3->geometry(), QRect(64, 392, 41, 33));
        QVERIFY(page()->info1->isHidden() && page()->info2->isHidden() && page()->info3->isHidden());
        QCOMPARE(page()->pictures().picture(0)->geometry(), QRect(704, 392, 289, 225));
        QVERIFY(!page()->pictures().picture(0)->isHidden() && page()->pictures().picture(3)->isHidden());
        const QPoint places[3] = {{718, 150}, {718, 270}, {718, 399}};
        const char *const names[3] = {"amp_grau_k1", "amp2_grau_k2", "amp3_gelb_k3"};
        for (int row = 1; row <= 3; ++row) {
            QCOMPARE(page()->slot(row).state(), 0);
            QCOMPARE(page()->slot(row).picture(0)->geometry(), QRect(places[row - 1], QSize(57, 17)));
        }
        for (const char *name : names)
            w.find<QLabel>(QString::fromLatin1(name));
    }

    void enablingChainAndPictures()
    {
        TestWindows w;
        page()->combobox1->choose(2);
        QVERIFY(page()->ComboBox2->isEnabled() && !page()->ComboBox3->isEnabled());
        QVERIFY(page()->pictures().picture(2)->isVisible() || !page()->pictures().picture(2)->isHidden());
        QVERIFY(page()->pictures().picture(0)->isHidden());
        QCOMPARE(page()->pictures().picture(2)->pos(), QPoint(704, 392));
        // Labels, values and lights wait for the display.
        QCOMPARE(page()->Label1->text(), QStringLiteral("Steigerung der Gesamtrentabilität:"));
        page()->ComboBox2->choose(6);
        QVERIFY(page()->ComboBox3->isEnabled() && !page()->Button2->isEnabled());
        page()->ComboBox3->choose(2);
        QVERIFY(page()->Button2->isEnabled() && !page()->Button7->isEnabled());
        page()->Button2->click();
        QVERIFY(page()->Button7->isEnabled());
    }

    void statementsForTheYearPeriod()
    {
        TestWindows w;
        w.db().setPair(QStringLiteral("kz_liqui"), QStringLiteral("2005"), QStringLiteral("Jahr"), 100, 100);
        display(0, 6, QStringLiteral("2005"));
        QCOMPARE(Form1->query(1)->sql(), QStringLiteral("select ist_wert_jahr,soll_wert_jahr from kz_ges_renta.db where jahr=\"2005\""));
        QCOMPARE(Form1->query(3)->sql(), QStringLiteral("select ist_wert_jahr,soll_wert_jahr from kz_kap_quote.db where jahr=\"2005\""));
        QCOMPARE(Form1->query(4)->sql(), QStringLiteral("select ist_wert_jahr,soll_wert_jahr from kz_liqui where jahr=\"2005\""));
        QCOMPARE(page()->DBText7->dataField(), QStringLiteral("ist_wert_jahr"));
        QCOMPARE(page()->DBText7->text(), QStringLiteral("100"));
    }

    void equityRatioBand_data()
    {
        QTest::addColumn<int>("ist");
        QTest::addColumn<QString>("light");
        QTest::newRow("70 of 100") << 70 << "gelb";
        QTest::newRow("140 of 100") << 140 << "rot";
        QTest::newRow("100 of 100") << 100 << "gruen";
    }
    void equityRatioBand()
    {
        QFETCH(int, ist);
        QFETCH(QString, light);
        TestWindows w;
        w.continueWith(1, 1);
        w.db().setPair(QStringLiteral("kz_ges_renta"), QStringLiteral("2005"), QStringLiteral("Q3"), 95, 100);
        w.db().setPair(QStringLiteral("kz_kap_quote"), QStringLiteral("2005"), QStringLiteral("Q3"), ist, 100);
        w.db().setPair(QStringLiteral("kz_liqui"), QStringLiteral("2005"), QStringLiteral("Q3"), 60, 100);
        display(0, 2, QStringLiteral("2005"));
        QCOMPARE(lights(), QStringLiteral("gruen %1 rot").arg(light));
        QCOMPARE(page()->DBText5->text(), QString::number(ist));
        QCOMPARE(page()->slot(2).picture(page()->slot(2).state())->pos(), QPoint(718, 270));
    }

    // A pair of 1 and 1 is not judged; a missing target is not judged
    // either, and the other rows go on.
    void notJudgedPairs()
    {
        TestWindows w;
        w.continueWith(1, 1);
        w.db().setPair(QStringLiteral("kz_kundentreue"), QStringLiteral("2006"), QStringLiteral("Halbjahr1"), 1, 1);
        w.db().setPair(QStringLiteral("kz_marktanteil"), QStringLiteral("2006"), QStringLiteral("Halbjahr1"), 10, 100);
        display(1, 4, QStringLiteral("2006"));
        QCOMPARE(lights(), QStringLiteral("grau rot grau"));   // row 3: nothing entered, SOLL 0
        QVERIFY(w.asker().questions().isEmpty());
        // The lights keep their state until the next display.
        page()->combobox1->choose(0);
        QCOMPARE(lights(), QStringLiteral("grau rot grau"));
    }

    void processPerspectiveFollowsTheIndustry_data()
    {
        QTest::addColumn<int>("branche");
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("info2");
        QTest::addColumn<QString>("caption");
        QTest::newRow("agriculture") << 0 << "kz_neuprod.db" << false << "Portion of new products of the product offer [in %]:";
        QTest::newRow("mining") << 1 << "kz_auf_abwicklung.db" << true << "Time of the job execution [per Days]:";
    }
    void processPerspectiveFollowsTheIndustry()
    {
        QFETCH(int, branche);
        QFETCH(QString, table);
        QFETCH(bool, info2);
        QFETCH(QString, caption);
        TestWindows w;
        w.continueWith(0, branche);
        display(3, 0, QStringLiteral("2005"));
        QVERIFY(Form1->query(3)->sql().contains(QLatin1String(" from ") + table + QLatin1String(" where")));
        QCOMPARE(page()->Label6->text(), caption);
        QVERIFY(!page()->info1->isHidden());
        QCOMPARE(!page()->info2->isHidden(), info2);
        QVERIFY(page()->info3->isHidden());
        emit page()->info2->clicked();
        if (info2) {
            QCOMPARE(w.asker().questions().size(), 1);
            const Asker::Question q = w.asker().questions().first();
            QCOMPARE(q.text, QStringLiteral("Time of the tendering up to the receipt of payment"));
            QCOMPARE(q.caption, QStringLiteral("Information"));
            QCOMPARE(q.icon, Asker::Icon::Question);
            QCOMPARE(q.buttons, Asker::Buttons::Ok);
        } else {
            QVERIFY(w.asker().questions().isEmpty());
        }
    }

    void employeePerspectiveHasNoInformation()
    {
        TestWindows w;
        w.continueWith(1, 1);
        display(2, 6, QStringLiteral("2005"));
        QVERIFY(page()->info1->isHidden() && page()->info2->isHidden() && page()->info3->isHidden());
        QCOMPARE(page()->Label1->text(), QStringLiteral("Qualitätsbewusstsein der Mitarbeiter erhöhen:"));
        QCOMPARE(page()->Label4->text(), QStringLiteral("Anzahl der Verbesserungsvorschlägen je MA (pro Jahr):"));
        QCOMPARE(page()->Label7->text(), QStringLiteral("Grad der Übereinstimmung des MA.-profils mit dem Stellenprofil:"));
        for (ClickLabel *label : {page()->Label4, page()->Label6, page()->Label7})
            QTest::mouseClick(label, Qt::LeftButton);
        QVERIFY(w.asker().questions().isEmpty());
    }

    // The text explains the perspective selected at the click, also when the
    // rows still show another one.
    void informationFollowsTheSelector()
    {
        TestWindows w;
        w.continueWith(1, 1);
        display(0, 6, QStringLiteral("2005"));
        QTest::mouseClick(page()->Label4, Qt::LeftButton);
        page()->combobox1->choose(1);
        QTest::mouseClick(page()->Label7, Qt::LeftButton);
        QTest::mouseClick(page()->info1, Qt::LeftButton);
        QCOMPARE(w.asker().questions().size(), 3);
        QVERIFY2(w.asker().questions()[0].text.startsWith(QStringLiteral("Gesamtrentabilität = Jahresüberschuss")), qPrintable(w.asker().questions()[0].text));
        QCOMPARE(w.asker().questions()[1].text, QStringLiteral("Anzahl der Beschwerden = Umsatz der Reklamation / Gesamtumsatz"));
        QVERIFY(w.asker().questions()[2].text.startsWith(QLatin1String("Kundentreue = Anzahl der kunden")));
        QCOMPARE(page()->Label1->text(), QStringLiteral("Steigerung der Gesamtrentabilität:"));
    }

    void englishCaptions()
    {
        TestWindows w;
        w.continueWith(0, 1);
        display(1, 0, QStringLiteral("2005"));
        QCOMPARE(page()->Label1->text(), QStringLiteral("Increase of the customer satisfaction:"));
        QCOMPARE(page()->Label4->text(), QStringLiteral("Costumer loyalty [in %]:"));
        QCOMPARE(page()->Label3->text(), QStringLiteral("Improvement of the customer relations:"));
    }

    // A typed period names no columns: the engine refuses the first row's
    // statement, the display ends there and says why.
    void typedPeriodEndsTheDisplay()
    {
        TestWindows w;
        w.continueWith(1, 1);
        w.db().setPair(QStringLiteral("kz_ges_renta"), QStringLiteral("2005"), QStringLiteral("Jahr"), 100, 100);
        display(0, 6, QStringLiteral("2005"));
        QCOMPARE(lights(), QStringLiteral("gruen grau grau"));
        display(1, -1, QStringLiteral("2005"));
        QCOMPARE(w.asker().questions().size(), 1);
        QVERIFY2(w.asker().questions().first().text.contains(QLatin1String("Invalid statement")),
                 qPrintable(w.asker().questions().first().text));
        QVERIFY(page()->Button7->isEnabled());
        QCOMPARE(page()->Label1->text(), QStringLiteral("Erhöhung der Kundenzufriedenheit:"));
        for (DBText *field : {page()->DBText1, page()->DBText2, page()->DBText5, page()->DBText8})
            QCOMPARE(field->text(), QString());
        QCOMPARE(lights(), QStringLiteral("gruen grau grau"));
    }

    void laterYearsCanBeChosen()
    {
        TestWindows w;
        QCOMPARE(page()->ComboBox3->items(), ScorecardKatalog::years() << QStringLiteral("2014"));
    }
};

QTEST_MAIN(TestObjectives)
#include "tst_objectives.moc"
