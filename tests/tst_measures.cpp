// The Measures page: a goal's values and light with its measures.
#include "fixture_windows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "model/katalog.h"
#include "platform/db/dataset.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/selector.h"
#include "views/measures.h"
#include "platform/ui/clicklabel.h"
#include "views/objectives.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

const char *const Colours[4] = {"grau", "rot", "gelb", "gruen"};
const QString Goal7 = QStringLiteral("Qualitätsbewusstsein der Mitarbeiter erhöhen");

ObjectivesPage *objectives() { return Form1->objectivesPage(); }
MeasuresPage *page() { return Form1->measuresPage(); }

QString light()
{
    const int state = page()->light().state();
    return state >= 0 ? QString::fromLatin1(Colours[state]) : QStringLiteral("?");
}

// The grid's rows as "measure|responsible;...".
QString grid()
{
    QAbstractItemModel *model = page()->DBGrid1->model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r)
        rows << model->index(r, 0).data().toString() + QLatin1Char('|') + model->index(r, 4).data().toString();
    return rows.join(QLatin1Char(';'));
}

void addMeasure(TestDatabase &db, const QString &measure, const QString &ziel, const QString &year,
                const QString &responsible = {})
{
    db.sql(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Ziel\", \"Jahr\", \"Verantwortlicher\") VALUES (?,?,?,?)"),
           {measure, ziel, year, responsible});
}

void display(int perspektive, int position, int zeitraum, const QString &year)
{
    page()->ComboBox4->choose(perspektive);
    if (position >= 0)
        page()->ComboBox5->choose(position);
    else
        page()->ComboBox5->type(QStringLiteral("ein getipptes Ziel"));
    if (zeitraum >= 0)
        page()->ComboBox8->choose(zeitraum);
    else
        page()->ComboBox8->type(QStringLiteral("Q"));
    page()->ComboBox9->choose(page()->ComboBox9->items().indexOf(year));
    page()->Button5->click();
}

} // namespace

class TestMeasures : public QObject {
    Q_OBJECT

private slots:
    void pageAtStart()
    {
        TestWindows w(true);
        QCOMPARE(page()->ComboBox5->geometry(), QRect(256, 16, 281, 21));
        QCOMPARE(page()->ComboBox9->geometry(), QRect(728, 16, 105, 21));
        QCOMPARE(page()->Button5->geometry(), QRect(848, 13, 113, 25));
        QCOMPARE(page()->Button6->geometry(), QRect(32, 336, 201, 25));
        QCOMPARE(page()->Button6->text(), QStringLiteral("Maßnahmen einfügen / bearbeiten..."));
        QCOMPARE(page()->ComboBox5->text(), QStringLiteral("Ziele:"));
        QVERIFY(page()->ComboBox4->isEnabled() && !page()->ComboBox5->isEnabled() && !page()->ComboBox9->isEnabled());
        QVERIFY(!page()->Button5->isEnabled() && !page()->Button6->isEnabled());
        QCOMPARE(page()->Label26->pos(), QPoint(739, 72));
        QCOMPARE(page()->DBText10->geometry(), QRect(672, 104, 65, 17));
        QCOMPARE(page()->light().picture(3)->geometry(), QRect(784, 104, 57, 17));
        QCOMPARE(page()->light().picture(0)->objectName(), QStringLiteral("amp_grau_m"));
        QCOMPARE(page()->pictures().picture(1)->objectName(), QStringLiteral("bild_bsc_kup2"));
        QCOMPARE(page()->DBGrid1->geometry(), QRect(32, 200, 921, 120));
        QCOMPARE(Form1->query(5)->sql(), QStringLiteral("select ist_wert_q1,soll_wert_q1 from kz_ges_renta"));
        QCOMPARE(Form1->query(7)->sql(),
                 QStringLiteral("select * from maßnahmen where ziel =\"Steigerung der Gesamtrentabilität\" and Jahr =\"2007\""));
        QAbstractItemModel *model = page()->DBGrid1->model();
        QStringList titles;
        for (int c = 0; c < model->columnCount(); ++c)
            titles << model->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{"Maßnahme", "Prozesse", "Gültig_ab", "Gültig_bis", "Verantwortlicher", "Erfüllungsgrad_in_%"}));
        // The demo's two measures of the first goal in 2007.
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->index(1, 4).data().toString(), QStringLiteral("Hr. Lange"));
    }

    void goalListsByLanguageAndIndustry_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<int>("branche");
        QTest::addColumn<int>("perspektive");
        QTest::addColumn<QStringList>("goals");
        QTest::newRow("German customer") << 1 << 1 << 1
            << QStringList{"Erhöhung der Kundenzufriedenheit", "Erhöhung des Marktanteils im Bereich X", "Verbesserung der Kundenbeziehungen"};
        QTest::newRow("English employee") << 0 << 1 << 2
            << QStringList{"Quality awareness of the coworkes increase", "Increase of the coworker productivity", "Exact occupation of working place"};
        QTest::newRow("English process, agriculture") << 0 << 0 << 3
            << QStringList{"Introduce time near accounting", "Increase of the prtion innovative products", "Decrease of the distribution time"};
        QTest::newRow("German process, mining") << 1 << 1 << 3
            << QStringList{"Zeitnahe Rechnungslegung einführen", "Dauer der Auftragsabwicklung verringern", "Verringerung der Auslieferungszeit"};
    }
    void goalListsByLanguageAndIndustry()
    {
        QFETCH(int, sprache);
        QFETCH(int, branche);
        QFETCH(int, perspektive);
        QFETCH(QStringList, goals);
        TestWindows w;
        w.continueWith(sprache, branche);
        page()->ComboBox4->choose(perspektive);
        QCOMPARE(page()->ComboBox5->items(), goals);
        QCOMPARE(page()->ComboBox5->itemIndex(), -1);
        QVERIFY(!page()->pictures().picture(perspektive)->isHidden());
    }

    void enablingChain()
    {
        TestWindows w;
        w.continueWith(1, 1);
        page()->ComboBox4->choose(0);
        QVERIFY(page()->ComboBox5->isEnabled() && !page()->ComboBox8->isEnabled());
        page()->ComboBox5->choose(1);
        QVERIFY(page()->ComboBox8->isEnabled() && !page()->ComboBox9->isEnabled());
        page()->ComboBox8->choose(6);
        QVERIFY(page()->ComboBox9->isEnabled() && !page()->Button5->isEnabled());
        page()->ComboBox9->choose(2);
        QVERIFY(page()->Button5->isEnabled() && !page()->Button6->isEnabled());
        page()->Button5->click();
        QVERIFY(page()->Button6->isEnabled());
        // Another perspective disables everything after it; the goal text stays.
        page()->ComboBox4->choose(2);
        QCOMPARE(page()->ComboBox5->text(), QStringLiteral("Erhöhung der finanziellen Unabhängigkeit vom Gläubiger"));
        for (QWidget *c : std::initializer_list<QWidget *>{page()->ComboBox8, page()->ComboBox9, page()->Button5, page()->Button6})
            QVERIFY(!c->isEnabled());
        QVERIFY(page()->ComboBox5->isEnabled());
    }

    // The stored German goal text selects the measures in both languages.
    void displayInBothLanguages_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<QString>("label13");
        QTest::addColumn<QString>("label14");
        QTest::newRow("German") << 1 << "Qualitätsbewußtsein der Mitarbeiter erhöhen:" << "Anzahl der Verbesserunbgsvorschläge je MA [im Jahr]:";
        QTest::newRow("English") << 0 << "Quality awareness of the coworker increase:" << "Number of improvement suggestions for each coworker [per Year]:";
    }
    void displayInBothLanguages()
    {
        QFETCH(int, sprache);
        QFETCH(QString, label13);
        QFETCH(QString, label14);
        TestWindows w;
        w.continueWith(sprache, 1);
        addMeasure(w.db(), QStringLiteral("Schulung"), Goal7, QStringLiteral("2007"), QStringLiteral("Fr. Yilmaz"));
        addMeasure(w.db(), QStringLiteral("Zirkel"), Goal7, QStringLiteral("2007"));
        addMeasure(w.db(), QStringLiteral("Anderes Jahr"), Goal7, QStringLiteral("2008"));
        w.db().setPair(QStringLiteral("kz_anz_verbesserung"), QStringLiteral("2007"), QStringLiteral("Jahr"), 8, 10);
        display(2, 0, 6, QStringLiteral("2007"));
        QCOMPARE(Form1->query(7)->sql(), QStringLiteral("select * from maßnahmen where ziel=\"%1\" and jahr=\"2007\"").arg(Goal7));
        QCOMPARE(Form1->query(5)->sql(),
                 QStringLiteral("select ist_wert_jahr,soll_wert_jahr from kz_anz_verbesserung.db where jahr=\"2007\""));
        QCOMPARE(grid(), QStringLiteral("Schulung|Fr. Yilmaz;Zirkel|"));
        QCOMPARE(page()->Label13->text(), label13);
        QCOMPARE(page()->Label14->text(), label14);
        QCOMPARE(page()->DBText9->text(), QStringLiteral("8"));
        QCOMPARE(light(), QStringLiteral("gruen"));
        QCOMPARE(page()->light().picture(3)->pos(), QPoint(736, 104));
    }

    // Goal 11 with mining: its key figure is named as on the Objectives page.
    void goal11KeyFigureAsOnTheObjectivesPage_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<int>("branche");
        QTest::addColumn<QString>("label14");
        QTest::newRow("German, mining") << 1 << 1 << "Zeit der Auftragsabwicklung [in Tagen]:";
        QTest::newRow("English, mining") << 0 << 1 << "Time of the job execution [per Days]:";
        QTest::newRow("German, agriculture") << 1 << 0 << "Anteil von Neuprodukten am Produktangebot [in %]:";
        QTest::newRow("English, agriculture") << 0 << 0 << "Portion of new products of the product offer [in %]:";
    }
    void goal11KeyFigureAsOnTheObjectivesPage()
    {
        QFETCH(int, sprache);
        QFETCH(int, branche);
        TestWindows w;
        w.continueWith(sprache, branche);
        display(3, 1, 6, QStringLiteral("2005"));
        QTEST(page()->Label14->text(), "label14");
        objectives()->combobox1->choose(3);
        objectives()->ComboBox2->choose(6);
        objectives()->ComboBox3->choose(2);
        objectives()->Button2->click();
        QCOMPARE(page()->Label14->text(), objectives()->Label6->text());
        QCOMPARE(page()->Label13->text(), sprache == 0 ? (branche == 0 ? QStringLiteral("Increase of the portion innovative products:")
                                                                      : QStringLiteral("Duration of the job execution reduce:"))
                                                       : (branche == 0 ? QStringLiteral("Erhöhung des Anteils innovativer Produkte:")
                                                                      : QStringLiteral("Dauer der Auftragsabwicklung verringern:")));
    }

    // This page's own bands for the suggestions, the pair of 1 and 1 and a
    // missing target.
    void lights_data()
    {
        QTest::addColumn<int>("ist");
        QTest::addColumn<int>("soll");
        QTest::addColumn<QString>("expected");
        QTest::newRow("55 red here") << 55 << 100 << "rot";
        QTest::newRow("77 yellow") << 77 << 100 << "gelb";
        QTest::newRow("80 green") << 80 << 100 << "gruen";
        QTest::newRow("1 and 1 not judged") << 1 << 1 << "grau";
        QTest::newRow("no target") << 5 << 0 << "grau";
    }
    void lights()
    {
        QFETCH(int, ist);
        QFETCH(int, soll);
        QFETCH(QString, expected);
        TestWindows w;
        w.continueWith(1, 1);
        w.db().setPair(QStringLiteral("kz_anz_verbesserung"), QStringLiteral("2006"), QStringLiteral("Q2"), ist, soll);
        display(2, 0, 1, QStringLiteral("2006"));
        QCOMPARE(light(), expected);
        int visible = 0;
        for (int s = 0; s < 4; ++s)
            visible += page()->light().picture(s)->isHidden() ? 0 : 1;
        QCOMPARE(visible, 1);
    }

    // A typed goal lists the measures whose goal is empty and reads no
    // values; the grey light keeps the state it had.
    void typedGoal()
    {
        TestWindows w;
        w.continueWith(1, 1);
        addMeasure(w.db(), QStringLiteral("Ohne Ziel"), QString(), QStringLiteral("2005"));
        addMeasure(w.db(), QStringLiteral("Mit Ziel"), ScorecardKatalog::zielText(1, 1), QStringLiteral("2005"));
        w.db().setPair(QStringLiteral("kz_ges_renta"), QStringLiteral("2005"), QStringLiteral("Q1"), 10, 100);
        display(0, 0, 0, QStringLiteral("2005"));
        QCOMPARE(light(), QStringLiteral("rot"));
        display(0, -1, 0, QStringLiteral("2005"));
        QCOMPARE(grid(), QStringLiteral("Ohne Ziel|"));
        QCOMPARE(page()->DBText9->text(), QString());
        QCOMPARE(page()->DBText9->dataField(), QString());
        QVERIFY(page()->light().picture(0)->isHidden());   // grey stays as it was: hidden
        QCOMPARE(light(), QStringLiteral("?"));
        QCOMPARE(page()->Label13->text(), QStringLiteral("Steigerung der Gesamtrentabilität:"));
    }

    void typedPeriodEndsTheStepAndKeepsTheList()
    {
        TestWindows w(true);
        w.continueWith(1, 1);
        const QString before = grid();
        display(1, 0, -1, QStringLiteral("2005"));
        QCOMPARE(w.asker().questions().size(), 1);
        QVERIFY(w.asker().questions().first().text.contains(QLatin1String("Invalid statement")));
        QCOMPARE(grid(), before);
        QVERIFY(page()->Button6->isEnabled());
    }
};

QTEST_MAIN(TestMeasures)
#include "tst_measures.moc"
