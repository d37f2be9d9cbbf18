// Start-up, the main window's shell, its menu and the start screen.
#include "fixture_windows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "app/start.h"
#include "dialogs/eingabe_kz.h"
#include "dialogs/eingabe_ma.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/ui/selector.h"
#include "report/bericht.h"
#include "views/perspectives.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTemporaryFile>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {
// Types over the whole shown text, as after tabbing into the box.
void type(Selector *box, const QString &text)
{
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), text);
}
} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void windowsAreCreatedWithTheirShells()
    {
        TestWindows f;
        QVERIFY(Form1 && Eingabe_kennzahlen && eingabe_m && Form2);
        QCOMPARE(Form1->windowTitle(), QStringLiteral("Tarvo: Balance Scorecard"));
        QCOMPARE(Eingabe_kennzahlen->windowTitle(), QStringLiteral("Kennzahlen pflegen"));
        QCOMPARE(eingabe_m->windowTitle(), QStringLiteral("Maßnahmen - Eingabe"));
        QCOMPARE(Form2->windowTitle(), QStringLiteral("Bericht - Balanced Scorecard"));
        QVERIFY(!Eingabe_kennzahlen->isVisible() && !eingabe_m->isVisible() && !Form2->isVisible());
        QVERIFY(Eingabe_kennzahlen->Table1->isActive());
        QVERIFY(eingabe_m->Query1->isActive() && eingabe_m->Table1->isActive());
        QVERIFY(Form2->Query1->isActive() && Form2->Query2->isActive() && Form2->Query3->isActive());

        const QString texts[9] = {
            "select ist_wert_q1,soll_wert_q1 from kz_ges_renta",
            "select ist_wert_jahr,soll_wert_jahr from kz_ges_renta",
            "select ist_wert_q1,soll_wert_q1 from kz_kap_quote",
            "select ist_wert_q1,soll_wert_q1 from kz_liqui",
            "select ist_wert_q1,soll_wert_q1 from kz_ges_renta",
            "select * from kz_ges_renta",
            "select * from maßnahmen where ziel =\"Steigerung der Gesamtrentabilität\" and Jahr =\"2007\"",
            "select * from kz_kap_quote",
            "select * from kz_liqui",
        };
        for (int nr = 1; nr <= 9; ++nr) {
            QCOMPARE(Form1->query(nr)->sql(), texts[nr - 1]);
            QVERIFY(Form1->query(nr)->isActive());
            QCOMPARE(Form1->dataSource(nr)->objectName(), QStringLiteral("DataSource%1").arg(nr));
        }
    }

    // The start screen needs none of the four pages: they are built, once,
    // when the tab control first shows or a page is first asked for, and
    // show with the tab control.
    void pagesBuiltOnFirstNeed_data()
    {
        QTest::addColumn<int>("way");
        const char *const ways[] = {"continue", "tab control shown", "perspectives page", "objectives page",
                                    "measures page", "overview page"};
        for (int way = 0; way < int(std::size(ways)); ++way)
            QTest::newRow(ways[way]) << way;
    }
    void pagesBuiltOnFirstNeed()
    {
        QFETCH(int, way);
        TestWindows f;
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        const char *const firstControls[] = {"ComboBox10", "combobox1", "ComboBox4", "ComboBox11"};
        for (const char *name : firstControls)
            QVERIFY2(!Form1->findChild<QWidget *>(QString::fromLatin1(name)), name);
        QVERIFY(!Form1->pagesBuilt());
        for (int twice = 0; twice < 2; ++twice) {
            switch (way) {
            case 0: f.continueWith(1, 1); break;
            case 1: Form1->PageControl1->show(); break;
            case 2: QVERIFY(Form1->perspectivesPage()); break;
            case 3: QVERIFY(Form1->objectivesPage()); break;
            case 4: QVERIFY(Form1->measuresPage()); break;
            case 5: QVERIFY(Form1->overviewPage()); break;
            }
        }
        QVERIFY(Form1->pagesBuilt());
        for (const char *name : firstControls)
            QCOMPARE(Form1->findChildren<QWidget *>(QString::fromLatin1(name)).size(), 1);
        QCOMPARE(Form1->PageControl1->isVisible(), way <= 1);
        f.continueWith(1, 1);
        QVERIFY(f.find<QWidget>(QStringLiteral("ComboBox10"))->isVisible());
        QVERIFY(f.find<QWidget>(QStringLiteral("Label30"))->isVisible());
    }

    // Only the start screen's pictures are drawn when the program starts; a
    // page's pictures wait until the page shows.
    void picturesDrawnWhenTheyShow()
    {
        TestWindows f;
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        for (const char *logo : {"Image1", "Image2", "Image3", "Image5"})
            QVERIFY(!f.find<QLabel>(QString::fromLatin1(logo))->pixmap().isNull());
        const char *pagePictures[] = {"Image4", "amp_grau_z1", "bild_bsc_fip", "amp_grau_m", "bild_bsc_fip2",
                                      "amp_grau_1_1", "bild_bsc_fip3"};
        // The start screen does not show the pages: they are not built yet.
        for (const char *name : pagePictures)
            QVERIFY2(!Form1->findChild<QLabel *>(QString::fromLatin1(name)), name);
        // Asked for, they are built; their pictures wait for their first show.
        QVERIFY(Form1->overviewPage());
        for (const char *name : pagePictures)
            QVERIFY2(f.find<QLabel>(QString::fromLatin1(name))->pixmap().isNull(), name);
        f.continueWith(1, 1);
        QVERIFY(!f.find<QLabel>(QStringLiteral("Image4"))->pixmap().isNull());
        QVERIFY(!f.find<QLabel>(QStringLiteral("amp_grau_z1"))->pixmap().isNull());
        QVERIFY(f.find<QLabel>(QStringLiteral("amp_grau_1_1"))->pixmap().isNull());   // the Overview tab is hidden
        Form1->PageControl1->setCurrentIndex(3);
        QVERIFY(!f.find<QLabel>(QStringLiteral("amp_grau_1_1"))->pixmap().isNull());
        QVERIFY(!f.find<QLabel>(QStringLiteral("bild_bsc_fip3"))->pixmap().isNull());
    }

    void startScreenAndTabControlAtTheirPixels()
    {
        TestWindows f;
        const struct {
            const char *name;
            QRect rect;
        } controls[] = {
            {"ComboBox6", {376, 216, 145, 21}}, {"ComboBox7", {376, 256, 145, 21}},
            {"Button3", {376, 296, 145, 25}},   {"Image1", {40, 504, 305, 73}},
            {"Image2", {376, 504, 153, 65}},    {"Image3", {560, 504, 193, 105}},
            {"Image5", {768, 504, 193, 105}},   {"PageControl1", {0, 24, 1009, 649}},
        };
        for (const auto &c : controls)
            QCOMPARE(f.find<QWidget>(QString::fromLatin1(c.name))->geometry(), c.rect);
        QCOMPARE(f.find<QLabel>("Label8")->pos(), QPoint(328, 152));
        QCOMPARE(f.find<QLabel>("Label8")->text(), QStringLiteral("Balanced Scorecard"));
        QCOMPARE(f.find<QLabel>("Label12")->pos(), QPoint(40, 472));
        QCOMPARE(f.find<QLabel>("Label12")->font().pixelSize(), 16);

        QCOMPARE(Form1->ComboBox6->text(), QStringLiteral("Select your language..."));
        QCOMPARE(Form1->ComboBox6->items(), (QStringList{"English", "Deutsch"}));
        QCOMPARE(Form1->ComboBox6->itemIndex(), -1);
        QVERIFY(!Form1->ComboBox7->isEnabled());
        QCOMPARE(Form1->ComboBox7->text(), QStringLiteral("industry..."));
        QVERIFY(Form1->ComboBox7->items().isEmpty());
        QVERIFY(!Form1->Button3->isEnabled());
        QCOMPARE(Form1->Button3->text(), QStringLiteral("continue..."));

        QVERIFY(Form1->PageControl1->isHidden());
        QCOMPARE(Form1->PageControl1->currentIndex(), 0);
        const QStringList tabs{"Perspektiven", "Ziele", "Maßnahmen", "Übersicht"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(Form1->PageControl1->tabText(i), tabs[i]);
            QCOMPARE(Form1->PageControl1->widget(i)->objectName(), QStringLiteral("TabSheet%1").arg(i + 1));
        }
    }

    void menuItems()
    {
        TestWindows f;
        QCOMPARE(Form1->Datei1->title(), QStringLiteral("Data"));
        QCOMPARE(Form1->Beenden1->text(), QStringLiteral("Exit program"));
        QCOMPARE(Form1->Einagbe1->title(), QStringLiteral("Enter"));
        QCOMPARE(Form1->Kennzahlen1->text(), QStringLiteral("Financial ratios "));
        QCOMPARE(Form1->About1->title(), QStringLiteral("About"));
        QCOMPARE(Form1->Help1->text(), QStringLiteral("Help"));
        Form1->show();

        // Help does nothing.
        Form1->Help1->trigger();
        QVERIFY(!Eingabe_kennzahlen->isVisible());
        QVERIFY(f.asker().questions().isEmpty());

        // The key-figure dialog opens before a language is chosen, reading it
        // as not English; a second choice keeps the one dialog open.
        Form1->Kennzahlen1->trigger();
        QVERIFY(Eingabe_kennzahlen->isVisible());
        QVERIFY(!Form1->englisch());
        QApplication::setActiveWindow(Form1);
        Form1->Kennzahlen1->trigger();
        QVERIFY(Eingabe_kennzahlen->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(Eingabe_kennzahlen));

        // Closing a dialog only hides it.
        QVERIFY(Eingabe_kennzahlen->close());
        QVERIFY(!Eingabe_kennzahlen->isVisible());
        QVERIFY(Form1->isVisible());
        QVERIFY(Eingabe_kennzahlen->Table1->isActive());
    }

    void exitProgramEndsTheMessageLoop_data()
    {
        QTest::addColumn<bool>("fromViews");
        QTest::addColumn<bool>("viaMenu");
        QTest::newRow("start screen, menu") << false << true;
        QTest::newRow("views, menu") << true << true;
        QTest::newRow("views, close box") << true << false;
    }
    void exitProgramEndsTheMessageLoop()
    {
        QFETCH(bool, fromViews);
        QFETCH(bool, viaMenu);
        TestWindows f;
        Form1->show();
        if (fromViews)
            f.continueWith(1, 1);
        Form1->Kennzahlen1->trigger();   // an open dialog does not keep it running
        QTimer::singleShot(0, Form1, [viaMenu] {
            if (viaMenu)
                Form1->Beenden1->trigger();
            else
                Form1->close();
        });
        // A hang fails, not blocks; the guard goes with the test.
        QTimer hang;
        hang.setSingleShot(true);
        connect(&hang, &QTimer::timeout, &hang, [] { QCoreApplication::exit(99); });
        hang.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!Form1->isVisible());
    }

    void startUpFailureShowsTheMessageAndLeavesNoWindow_data()
    {
        QTest::addColumn<QString>("breakage");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing file") << "missing" << "bsc-db init";
        QTest::newRow("not a database") << "garbage" << "not a database";
        QTest::newRow("table of the main window missing") << "drop kz_kap_quote" << "kz_kap_quote";
        QTest::newRow("table of the measures list missing") << "drop maßnahmen" << "maßnahmen";
        QTest::newRow("column of the report window missing") << "rename kz_liqui" << "jahr";
    }
    void startUpFailureShowsTheMessageAndLeavesNoWindow()
    {
        QFETCH(QString, breakage);
        QFETCH(QString, expected);
        TestDatabase db;
        TestServices asker;
        asker.services().connection = &db.connection();
        if (breakage == QLatin1String("missing")) {
            QFile::remove(db.path());
        } else if (breakage == QLatin1String("garbage")) {
            QFile file(db.path());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray(2048, '#'));
        } else if (breakage.startsWith(QLatin1String("rename"))) {
            // Only the report window's statements ask for the year column.
            db.sql(QStringLiteral("ALTER TABLE kz_liqui RENAME COLUMN \"Jahr\" TO \"Jahrgang\""));
        } else {
            db.sql(QStringLiteral("DROP TABLE \"%1\"").arg(breakage.mid(5)));
        }
        const int before = QApplication::topLevelWidgets().size();
        // Standard error goes to a file meanwhile: a start from a terminal
        // or a launcher's log must show why the program ended.
        QTemporaryFile errors;
        QVERIFY(errors.open());
        std::fflush(stderr);
        const int saved = ::dup(STDERR_FILENO);
        ::dup2(errors.handle(), STDERR_FILENO);
        const int status = Start::run(*qApp, asker);
        std::fflush(stderr);
        ::dup2(saved, STDERR_FILENO);
        ::close(saved);
        QCOMPARE(status, 1);
        QFile written(errors.fileName());
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QString printed = QString::fromUtf8(written.readAll());
        QVERIFY2(printed.contains(QLatin1String("bsc: ")) && printed.contains(expected), qPrintable(printed));
        QCOMPARE(asker.questions().size(), 1);
        QVERIFY2(asker.questions().first().text.contains(expected), qPrintable(asker.questions().first().text));
        QCOMPARE(asker.questions().first().icon, Asker::Icon::Critical);
        QVERIFY(!Form1 && !Eingabe_kennzahlen && !eingabe_m && !Form2);
        QCOMPARE(QApplication::topLevelWidgets().size(), before);
    }

    // The continue chain, step by step: (action, value) pairs, then the state.
    void startScreenChain_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("industryEnabled");
        QTest::addColumn<QString>("industryText");
        QTest::addColumn<QStringList>("industries");
        QTest::addColumn<bool>("continueEnabled");
        QTest::addColumn<QString>("continueText");
        QTest::newRow("Deutsch") << QStringList{"lang 1"} << true << "Branche..." << QStringList{"Landwirtschaft", "Bergbau"} << false << "continue...";
        QTest::newRow("Deutsch, Bergbau") << QStringList{"lang 1", "ind 1"} << true << "Bergbau" << QStringList{"Landwirtschaft", "Bergbau"} << true << "weiter...";
        QTest::newRow("English, agriculture") << QStringList{"lang 0", "ind 0"} << true << "agriculture" << QStringList{"agriculture", "mining industry"} << true << "continue...";
        QTest::newRow("language changed after industry") << QStringList{"lang 1", "ind 0", "lang 0"} << true << "industry..." << QStringList{"agriculture", "mining industry"} << true << "weiter...";
        QTest::newRow("typed language does nothing") << QStringList{"typelang Deutsch"} << false << "industry..." << QStringList{} << false << "continue...";
        QTest::newRow("typed industry enables continue") << QStringList{"lang 1", "typeind Kohle"} << true << "Kohle" << QStringList{"Landwirtschaft", "Bergbau"} << true << "weiter...";
    }
    void startScreenChain()
    {
        QFETCH(QStringList, steps);
        TestWindows f;
        for (const QString &step : steps) {
            const QString action = step.section(QLatin1Char(' '), 0, 0);
            const QString value = step.section(QLatin1Char(' '), 1);
            if (action == QLatin1String("lang"))
                Form1->ComboBox6->choose(value.toInt());
            else if (action == QLatin1String("ind"))
                Form1->ComboBox7->choose(value.toInt());
            else
                type(action == QLatin1String("typelang") ? Form1->ComboBox6 : Form1->ComboBox7, value);
        }
        QTEST(Form1->ComboBox7->isEnabled(), "industryEnabled");
        QTEST(Form1->ComboBox7->text(), "industryText");
        QTEST(Form1->ComboBox7->items(), "industries");
        QTEST(Form1->Button3->isEnabled(), "continueEnabled");
        QTEST(Form1->Button3->text(), "continueText");
    }

    void continueShowsTheViewsAndSetsGoal11_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<int>("branche");
        QTest::addColumn<QString>("label40");
        QTest::newRow("Landwirtschaft") << 1 << 0 << "Erhöhung des Anteils innovativer Produkte:";
        QTest::newRow("Bergbau") << 1 << 1 << "Dauer der Auftragsabwicklung verringern:";
        QTest::newRow("no industry chosen leaves the caption") << 1 << -1 << "unverändert";
    }
    void continueShowsTheViewsAndSetsGoal11()
    {
        QFETCH(int, sprache);
        QFETCH(int, branche);
        TestWindows f;
        Form1->show();
        if (branche < 0) {
            Form1->ComboBox6->choose(sprache);
            type(Form1->ComboBox7, QStringLiteral("x"));
        }
        // German continuing moves nothing and changes no other caption.
        QList<QPair<QRect, QString>> before;
        const QList<QLabel *> labels = Form1->PageControl1->findChildren<QLabel *>();
        for (QLabel *l : labels)
            before << qMakePair(l->geometry(), l->objectName() == QLatin1String("Label40") ? QString() : l->text());
        if (branche < 0) {
            // Without an industry the caption is left as it is.
            Form1->perspectivesPage()->Label40->setText(QStringLiteral("unverändert"));
            Form1->Button3->click();
        } else {
            f.continueWith(sprache, branche);
        }
        QVERIFY(Form1->PageControl1->isVisible());
        QCOMPARE(Form1->PageControl1->currentIndex(), 0);
        QTEST(Form1->perspectivesPage()->Label40->text(), "label40");
        for (int i = 0; i < labels.size(); ++i) {
            if (labels[i]->objectName() == QLatin1String("Label40"))
                continue;
            QCOMPARE(labels[i]->geometry(), before[i].first);
            QCOMPARE(labels[i]->text(), before[i].second);
        }
        QCOMPARE(Form1->PageControl1->tabText(0), QStringLiteral("Perspektiven"));
        QCOMPARE(Form1->sprache(), sprache);
        QCOMPARE(Form1->branche(), branche);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
