// The evaluation report: made from the Objectives page, previewed page by
// page, and written to PDF by the program and from the command line.
#include "fixture_windows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "model/katalog.h"
#include "platform/db/dataset.h"
#include "platform/report/reportlayout.h"
#include "platform/report/reportpaint.h"
#include "platform/report/reportpreview.h"
#include "platform/ui/selector.h"
#include "report/bericht.h"
#include "report/launch.h"
#include "resources/pictures.h"
#include "views/objectives.h"

#include <QAction>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

ObjectivesPage *page() { return Form1->objectivesPage(); }
ReportLaunch *launch() { return Form2->findChild<ReportLaunch *>(); }

// The text of a PDF as pdftotext reads it, blanks squeezed.
QString pdfText(const QString &file)
{
    return runProgram(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")}).out.simplified();
}

// The enabled diagrams' names.
QStringList enabledDiagrams()
{
    QStringList names;
    for (int group = 0; group < 2; ++group) {
        for (int number = 1; number <= 8; ++number) {
            if (Form2->diagram(group, number)->isEnabled())
                names << Form2->diagram(group, number)->objectName();
        }
    }
    return names;
}

QString caption(const char *name) { return Form2->findChild<ReportLabel *>(QString::fromLatin1(name))->caption(); }

ProgramRun bsc(const QString &database, const QStringList &args)
{
    // The program needs no display of its own.
    return runProgram(QStringLiteral(BSC_EXE), args,
                      onDatabase(database, {.unset = {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("DISPLAY")}}));
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void createdWithItsLayouts()
    {
        TestWindows w;
        QCOMPARE(Form2->windowTitle(), QStringLiteral("Bericht - Balanced Scorecard"));
        QCOMPARE(Form2->Query2->sql(), QStringLiteral("select * from kz_kap_quote where jahr = \"2007\""));
        QVERIFY(!Form2->isVisible());
        const QList<ReportBand *> bands = Form2->QuickRep1->bands();
        QCOMPARE(bands.size(), 3);
        QCOMPARE(bands[0]->objectName(), QStringLiteral("PageHeaderBand1"));
        QCOMPARE(bands[2]->height(), 213.8);
        QCOMPARE(Form2->QuickRep2->bands()[2]->height(), 211.7);
        // Both pages fit the printable height of A4.
        for (ReportLayout *layout : {Form2->QuickRep1, Form2->QuickRep2}) {
            double height = 0;
            for (ReportBand *band : layout->bands())
                height += band->height();
            QVERIFY(height <= 277.0);
        }
        auto *field = Form2->findChild<ReportField *>(QStringLiteral("QRDBText23"));
        QCOMPARE(field->column(), QStringLiteral("Ist_Wert_Halbjahr1"));
        QCOMPARE(field->position(), QPointF(95.25, 101.6));
        QCOMPARE(Form2->findChild<ReportLabel *>(QStringLiteral("QRLabel16"))->caption(), QStringLiteral("1. Halbjahr:"));
        QCOMPARE(Form2->findChild<ReportChart *>(QStringLiteral("QRChart3"))->size(), QSizeF(192.9, 65.9));
        QCOMPARE(Form2->findChild<ReportChart *>(QStringLiteral("QRChart1"))->series().value(0).colour, QColor(0x00, 0xFF, 0x40));
        QCOMPARE(enabledDiagrams(), QStringList{"QRImage2"});
        QCOMPARE(Form2->diagram(0, 4)->position(), QPointF(10.6, 101.6));
        QCOMPARE(Form2->diagram(1, 3)->objectName(), QStringLiteral("bbimage3"));
    }

    // Titles, headings, values and the diagram by language, industry and
    // perspective, read back from the PDF.
    void reportsByLanguageIndustryAndPerspective_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<int>("branche");
        QTest::addColumn<int>("perspektive");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("diagram");
        QTest::newRow("financial, German, agriculture") << 1 << 0 << 0
            << QStringList{"Auswertung: Steigerung der Gesamtrenatbilität", "Auswertung: Erhöhung der Liquidität",
                           "1. Quartal:", "Ist-Wert:", "Soll-Wert:", "Ursache-Wirkungsbeziehungen der Kennzahlen:",
                           "Actual value", "Target value"} << "QRImage1";
        QTest::newRow("financial, German, mining") << 1 << 1 << 0
            << QStringList{"Auswertung: Erhöhung der finanziellen Unabhängigkeit vom Gläubiger"}
            << "bbImage1";
        QTest::newRow("process, English, mining") << 0 << 1 << 3
            << QStringList{"Evatuation: Duration of the job execution reduce", "Evaluation: Introduve time near accounting",
                           "1. Quarter:", "2. Half-year:", "Act. value:", "Tar. value:", "causes effect relations",
                           "Actual value", "Target value"} << "bbImage8";
        QTest::newRow("employee, English, agriculture") << 0 << 0 << 2
            << QStringList{"Evaluation: quality awareness of the coworkers increase"} << "QRImage7";
    }
    void reportsByLanguageIndustryAndPerspective()
    {
        QFETCH(int, sprache);
        QFETCH(int, branche);
        QFETCH(int, perspektive);
        QFETCH(QStringList, expected);
        QFETCH(QString, diagram);
        TestWindows w;
        w.continueWith(sprache, branche);
        const int ziel = 3 * perspektive + 1;
        const QString table = ScorecardKatalog::table(ziel, branche);
        w.db().setPair(table, QStringLiteral("2005"), QStringLiteral("Halbjahr2"), 4711, 815);
        QCOMPARE(launch()->prepare(perspektive, QStringLiteral("2005")), QStringList());
        QCOMPARE(Form2->Query1->sql(), QStringLiteral("select * from %1 where jahr=\"2005\"").arg(table));
        QCOMPARE(enabledDiagrams(), QStringList{diagram});
        QCOMPARE(Form2->findChild<ReportPicture *>(diagram)->position(), QPointF(0, 91.0));
        const QString file = m_dir.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
        QString error;
        QVERIFY2(launch()->writePdf(file, &error), qPrintable(error));
        const QString text = pdfText(file);
        for (const QString &e : expected)
            QVERIFY2(text.contains(e), qPrintable(e + QLatin1String(" in ") + text.left(600)));
        QVERIFY(text.contains(QLatin1String("4711 815")));
        if (sprache == 0)
            QVERIFY(!text.contains(QLatin1String("Quartal")));
    }

    // A year without rows: empty value fields, charts without bars; titles,
    // headings and the diagram all the same.
    // Every industry, language and perspective shows its own one diagram,
    // drawn from its own picture, whatever report was made before.
    void prepareShowsTheDiagramOfPerspectiveLanguageAndIndustry_data()
    {
        QTest::addColumn<int>("branche");
        QTest::addColumn<bool>("english");
        QTest::addColumn<int>("perspektive");
        QTest::addColumn<QString>("diagram");
        for (int branche = 0; branche < 2; ++branche) {
            for (bool english : {false, true}) {
                for (int p = 0; p < ScorecardKatalog::PerspektiveCount; ++p) {
                    const int number = (english ? 5 : 1) + p;
                    const QString name = branche == 0 ? QStringLiteral("QRImage%1").arg(number)
                        : number == 3               ? QStringLiteral("bbimage3")
                                                    : QStringLiteral("bbImage%1").arg(number);
                    QTest::addRow("%s, %s, %d", branche == 0 ? "agriculture" : "mining", english ? "English" : "German", p)
                        << branche << english << p << name;
                }
            }
        }
    }
    void prepareShowsTheDiagramOfPerspectiveLanguageAndIndustry()
    {
        QFETCH(int, branche);
        QFETCH(bool, english);
        QFETCH(int, perspektive);
        QFETCH(QString, diagram);
        TestWindows w;
        // After a report in the other language and industry.
        Form2->prepare((perspektive + 1) % 4, QStringLiteral("2005"), !english, 1 - branche);
        QCOMPARE(Form2->prepare(perspektive, QStringLiteral("2005"), english, branche), QStringList());
        QStringList shown;
        for (const QString &name : enabledDiagrams()) {
            if (name.startsWith(QLatin1String(branche == 0 ? "QR" : "bb")))
                shown << name;
        }
        QCOMPARE(shown, QStringList{diagram});
        auto *picture = Form2->findChild<ReportPicture *>(diagram);
        const QImage expected = Pictures::causeEffectDiagram(branche, english, perspektive).toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(picture->image(), expected);
        QCOMPARE(picture->position(), QPointF(0, 91.0));
        QCOMPARE(Form2->pages().size(), 2);
        QCOMPARE(Form2->pages().first(), Form2->QuickRep1);
    }

    void yearWithoutRows()
    {
        TestWindows w;
        w.continueWith(1, 1);
        const QStringList missing = launch()->prepare(1, QStringLiteral("1999"));
        QCOMPARE(missing, (QStringList{"kz_kundentreue", "kz_marktanteil", "kz_beschwerden"}));
        const QString file = m_dir.filePath(QStringLiteral("leer.pdf"));
        QString error;
        QVERIFY(launch()->writePdf(file, &error));
        const QString text = pdfText(file);
        QVERIFY(text.contains(QStringLiteral("Auswertung: Erhöhung der Kundenzufriedenheit")));
        QVERIFY(text.contains(QStringLiteral("1. Quartal: 2. Quartal:")) || text.contains(QStringLiteral("1. Quartal: 1. Halbjahr:")));
        QCOMPARE(Form2->findChild<ReportField *>(QStringLiteral("QRDBText1"))->text(), QString());
    }

    // From the Objectives page: page 1, then page 2, each in a preview of
    // its own; a second press while one is open starts nothing.
    void previewedPageByPageFromTheObjectivesPage()
    {
        TestWindows w;
        w.continueWith(1, 1);
        page()->combobox1->choose(2);
        page()->ComboBox2->choose(0);
        page()->ComboBox3->choose(2);
        page()->Button2->click();
        QStringList shown;
        int pressedAgain = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, &closer, [&] {
            QPrintPreviewDialog *preview = launch()->preview().current();
            if (!preview || !preview->isVisible())
                return;
            shown << Form2->findChild<ReportLabel *>(QStringLiteral("QRLabel1"))->caption();
            if (shown.size() == 1) {
                // Another perspective and a second press while page 1 is open.
                page()->combobox1->choose(0);
                page()->Button7->click();
                pressedAgain = 1;
                QCOMPARE(launch()->preview().current(), preview);
            }
            preview->close();
        });
        closer.start(50);
        page()->Button7->click();
        closer.stop();
        QCOMPARE(pressedAgain, 1);
        QCOMPARE(shown.size(), 2);   // page 1, then page 2
        // The report is the one the first press made.
        QCOMPARE(shown.first(), QStringLiteral("Auswertung: Qualitätsbewußtsein der Mitarbeiter erhöhen"));
        QCOMPARE(Form2->Query1->sql(), QStringLiteral("select * from kz_anz_verbesserung where jahr=\"2005\""));
        QVERIFY(!launch()->preview().isOpen());
        QVERIFY(w.asker().questions().isEmpty());
    }

    // A typed perspective prepares nothing: the launch is refused with a
    // message instead of previewing the report made before.
    void typedPerspectiveOpensNoPreview_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::newRow("German") << 1 << "Bitte eine Perspektive aus der Liste wählen" << "Meldungsfenster";
        QTest::newRow("English") << 0 << "Please choose a perspective of the list" << "Information";
    }
    void typedPerspectiveOpensNoPreview()
    {
        QFETCH(int, sprache);
        QFETCH(QString, message);
        TestWindows w;
        w.continueWith(sprache, 1);
        page()->combobox1->choose(1);
        page()->ComboBox2->choose(0);
        page()->ComboBox3->choose(2);
        page()->Button2->click();
        page()->combobox1->type(QStringLiteral("Finanzen"));
        const QString before = Form2->Query1->sql();
        int previews = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, &closer, [&] {
            if (QPrintPreviewDialog *preview = launch()->preview().current(); preview && preview->isVisible()) {
                ++previews;
                preview->close();
            }
        });
        closer.start(50);
        page()->Button7->click();
        closer.stop();
        QCOMPARE(previews, 0);
        QVERIFY(!launch()->preview().isOpen());
        QCOMPARE(w.asker().questions().size(), 1);
        QVERIFY2(w.asker().questions().first().text.startsWith(message), qPrintable(w.asker().questions().first().text));
        QTEST(w.asker().questions().first().caption, "caption");
        QCOMPARE(w.asker().questions().first().icon, Asker::Icon::Warning);
        QCOMPARE(Form2->Query1->sql(), before);
    }

    void engineErrorOpensNoPreview()
    {
        TestWindows w;
        w.continueWith(1, 1);
        w.db().sql(QStringLiteral("DROP TABLE kz_liqui"));
        page()->combobox1->choose(0);
        page()->ComboBox2->choose(0);
        page()->ComboBox3->choose(2);
        page()->Button2->click();   // fails at row 3, but enables the report button
        w.asker().clear();
        // A preview runs until it is closed, so the click returns at once
        // only when none opened; one that opens is seen and closed.
        bool previewed = false;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, &watcher, [&] {
            if (launch()->preview().isOpen()) {
                previewed = true;
                launch()->preview().current()->close();
            }
        });
        watcher.start(10);
        page()->Button7->click();
        watcher.stop();
        QVERIFY(!previewed);
        QCOMPARE(w.asker().questions().size(), 1);
        QVERIFY(w.asker().questions().first().text.contains(QLatin1String("kz_liqui")));
        // Statements and titles already set stay set.
        QCOMPARE(caption("QRLabel2"), QStringLiteral("Auswertung: Erhöhung der finanziellen Unabhängigkeit vom Gläubiger"));
    }

    void saveAsPdfFromThePreviewWritesBothPages()
    {
        TestWindows w;
        w.continueWith(0, 0);
        const QString file = m_dir.filePath(QStringLiteral("aus-der-vorschau.pdf"));
        w.services().files << file;
        QTimer closer;
        connect(&closer, &QTimer::timeout, &closer, [&] {
            QPrintPreviewDialog *preview = launch()->preview().current();
            if (!preview || !preview->isVisible())
                return;
            if (!QFile::exists(file))
                preview->findChild<QAction *>(QStringLiteral("savePdfAction"))->trigger();
            preview->close();
        });
        closer.start(50);
        launch()->launch(3, QStringLiteral("2005"));
        closer.stop();
        const QString proposed = w.services().fileRequests().value(0).folder;
        QVERIFY2(proposed.endsWith(QLatin1String("Report-Process-perspective-2005.pdf")), qPrintable(proposed));
        const QString text = pdfText(file);
        QVERIFY(text.contains(QLatin1String("Evaluation: Introduve time near accounting")));
        QVERIFY(text.contains(QLatin1String("Evaluation: decrease of the distribution time")));   // page 2
    }

    void fromTheCommandLine()
    {
        TestDatabase db(true);
        const QString file = m_dir.filePath(QStringLiteral("kommandozeile.pdf"));
        ProgramRun r = bsc(db.path(), {QStringLiteral("--report"), QStringLiteral("customer"), QStringLiteral("2006"), file,
                                QStringLiteral("--english")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.isEmpty() || !r.err.contains(QLatin1String("bsc:")), qPrintable(r.err));
        QVERIFY(pdfText(file).contains(QLatin1String("Evaluation: increase of the customer satisfaction")));

        r = bsc(db.path(), {QStringLiteral("--report"), QStringLiteral("1"), QStringLiteral("2006"), file});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(QLatin1String("exists already")));

        r = bsc(db.path(), {QStringLiteral("--report"), QStringLiteral("sales"), QStringLiteral("2006"),
                            m_dir.filePath(QStringLiteral("x.pdf"))});
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains(QLatin1String("unknown perspective")));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("x.pdf"))));

        const QString empty = m_dir.filePath(QStringLiteral("ohne-zeilen.pdf"));
        r = bsc(db.path(), {QStringLiteral("--report"), QStringLiteral("Prozessperspektive"), QStringLiteral("1990"), empty,
                            QStringLiteral("--agriculture")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.contains(QLatin1String("no row for the year \"1990\" in kz_rechlegung, kz_neuprod, kz_reklamation")),
                 qPrintable(r.err));
        QVERIFY(pdfText(empty).contains(QStringLiteral("Auswertung: Erhöhung des Anteils innovativer Produkte")));
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
