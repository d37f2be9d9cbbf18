// "Entwicklung der Kennzahl": one key figure over the years.
#include "fixture_windows.h"

#include "app/attention.h"
#include "app/form1.h"
#include "app/globals.h"
#include "dialogs/history.h"
#include "model/katalog.h"
#include "platform/report/reportpreview.h"
#include "platform/ui/clicklabel.h"
#include "platform/ui/selector.h"
#include "views/objectives.h"

#include <QAction>
#include <QChartView>
#include <QLineSeries>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QTest>

namespace {

KeyFigureHistory *window() { return Attention::history(*Form1); }

void openFromMenu()
{
    Form1->findChild<QAction *>(QStringLiteral("historyAction"))->trigger();
    QVERIFY(window() && window()->isVisible());
}

// The points of the chart's series of one name, as "year:value" in order;
// the lines between them in a second list, one "from-to" per line.
QStringList dots(const QString &name)
{
    QStringList points;
    for (QAbstractSeries *s : window()->historyChart->chart()->series()) {
        auto *scatter = qobject_cast<QScatterSeries *>(s);
        if (scatter && scatter->name() == name) {
            for (const QPointF &p : scatter->points())
                points << QStringLiteral("%1:%2").arg(int(p.x())).arg(int(p.y()));
        }
    }
    return points;
}

QStringList lines(const QColor &colour)
{
    QStringList spans;
    for (QAbstractSeries *s : window()->historyChart->chart()->series()) {
        auto *line = qobject_cast<QLineSeries *>(s);
        if (line && !qobject_cast<QScatterSeries *>(s) && line->pen().color() == colour)
            spans << QStringLiteral("%1-%2").arg(int(line->points().first().x())).arg(int(line->points().last().x()));
    }
    return spans;
}

QString pdfText(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { SKIP_WITHOUT_SERVER(); }

    void valuesOfEveryYearWithGaps_data()
    {
        QTest::addColumn<int>("zeitraum");
        for (int z = 0; z < 7; ++z)
            QTest::addRow("%s", qPrintable(ScorecardKatalog::zeitraumText(z, true))) << z;
    }
    void valuesOfEveryYearWithGaps()
    {
        QFETCH(int, zeitraum);
        TestWindows f;
        f.continueWith(1, 1);
        // As the tables spell them.
        const char *const suffixes[7] = {"Q1", "Q2", "Q3", "Q4", "Halbjahr1", "Halbjahr2", "Jahr"};
        const QString suffix = QString::fromLatin1(suffixes[zeitraum]);
        // Equity ratio: 2004 and 2006 to 2007 filled, 2005 empty; another
        // period's values must not show.
        f.db().setPair(QStringLiteral("kz_kap_quote"), QStringLiteral("2004"), suffix, 70 + zeitraum, 100);
        f.db().setPair(QStringLiteral("kz_kap_quote"), QStringLiteral("2006"), suffix, 140, 100);
        f.db().setPair(QStringLiteral("kz_kap_quote"), QStringLiteral("2007"), suffix, 1, 1);
        f.db().setPair(QStringLiteral("kz_kap_quote"), QStringLiteral("2008"), zeitraum == 6 ? QStringLiteral("Q1")
                                                                                           : QStringLiteral("Jahr"),
                       5, 5);
        openFromMenu();
        window()->perspectiveBox->choose(0);
        window()->figureBox->choose(1);
        window()->periodBox->choose(zeitraum);
        QCOMPARE(window()->windowTitle(), QStringLiteral("Entwicklung der Kennzahl"));

        // Every year the table holds, in order.
        QStringList years;
        for (const History::Year &y : window()->years())
            years << y.year;
        QStringList expected;
        for (int y = 2003; y <= 2014; ++y)
            expected << QString::number(y);
        QCOMPARE(years, expected);

        const CopyTable *table = window()->valueTable;
        QCOMPARE(table->rowCount(), 12);
        const QString text = table->copyText();
        QVERIFY2(text.startsWith(QStringLiteral("Jahr\tIST\tSOLL\tAmpel\n")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("\n2004\t%1\t100\tgelb\n").arg(70 + zeitraum)), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("\n2005\t\t\t\n")));   // a gap, not zeros
        QVERIFY(text.contains(QStringLiteral("\n2006\t140\t100\trot\n")));
        QVERIFY(text.contains(QStringLiteral("\n2007\t1\t1\tgrau\n")));   // the not-judged pair
        QVERIFY(text.contains(QStringLiteral("\n2008\t\t\t\n")));

        QCOMPARE(dots(QStringLiteral("IST-Wert")),
                 (QStringList{QStringLiteral("2004:%1").arg(70 + zeitraum), "2006:140", "2007:1"}));
        QCOMPARE(dots(QStringLiteral("SOLL-Wert")), (QStringList{"2004:100", "2006:100", "2007:1"}));
        // No line crosses the empty year.
        QCOMPARE(lines(QColor(0xFF, 0x00, 0x00)), (QStringList{"2004-2004", "2006-2007"}));
    }

    void bothLanguages_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<QStringList>("texts");   // title, heads, buttons, series, menu
        QTest::newRow("German") << 1
                                << QStringList{"Entwicklung der Kennzahl", "Jahr IST SOLL Ampel", "Als PDF speichern...",
                                               "Als PNG speichern...", "IST-Wert", "Entwicklung der Kennzahl...",
                                               "Finanzperspektive", "Jahr"};
        QTest::newRow("English") << 0
                                 << QStringList{"Key-figure history", "Year Actual Target Light", "Save as PDF...",
                                                "Save as PNG...", "Actual value", "Key-figure history...",
                                                "Financial perspective", "Year"};
    }
    void bothLanguages()
    {
        QFETCH(int, sprache);
        QFETCH(QStringList, texts);
        TestWindows f;
        f.continueWith(sprache, 1);
        f.db().setPair(QStringLiteral("kz_ges_renta"), QStringLiteral("2005"), QStringLiteral("Jahr"), 80, 100);
        QCOMPARE(Form1->findChild<QAction *>(QStringLiteral("historyAction"))->text(), texts[5]);
        openFromMenu();
        QCOMPARE(window()->windowTitle(), texts[0]);
        QStringList heads;
        for (int c = 0; c < 4; ++c)
            heads << window()->valueTable->horizontalHeaderItem(c)->text();
        QCOMPARE(heads.join(QLatin1Char(' ')), texts[1]);
        QCOMPARE(window()->savePdfButton->text(), texts[2]);
        QCOMPARE(window()->savePngButton->text(), texts[3]);
        QCOMPARE(dots(texts[4]), QStringList{"2005:80"});
        QCOMPARE(window()->perspectiveBox->text(), texts[6]);
        QCOMPARE(window()->periodBox->text(), texts[7]);
        QCOMPARE(window()->periodBox->items().size(), 7);
    }

    void doubleClickOnAKeyFigureCaption()
    {
        TestWindows f;
        f.continueWith(1, 1);
        f.db().setPair(QStringLiteral("kz_marktanteil"), QStringLiteral("2009"), QStringLiteral("Q3"), 33, 44);
        ObjectivesPage *page = Form1->objectivesPage();
        page->combobox1->choose(1);
        page->ComboBox2->choose(2);
        page->ComboBox3->choose(0);
        page->Button2->click();
        // Choosing another perspective without displaying changes nothing.
        page->combobox1->choose(3);
        QTest::mouseDClick(page->Label6, Qt::LeftButton);
        QVERIFY(window() && window()->isVisible());
        QCOMPARE(window()->perspectiveBox->itemIndex(), 1);
        QCOMPARE(window()->figureBox->itemIndex(), 1);
        QCOMPARE(window()->figureBox->text(), QStringLiteral("Marktanteil"));
        QCOMPARE(window()->periodBox->itemIndex(), 2);
        QCOMPARE(dots(QStringLiteral("IST-Wert")), QStringList{"2009:33"});
    }

    void savesAsPdfAndPng()
    {
        TestWindows f;
        f.continueWith(0, 1);
        f.db().setPair(QStringLiteral("kz_liqui"), QStringLiteral("2010"), QStringLiteral("Jahr"), 95, 100);
        openFromMenu();
        window()->figureBox->choose(2);
        const QString pdf = m_dir.filePath(QStringLiteral("history.pdf"));
        const QString png = m_dir.filePath(QStringLiteral("history.png"));
        f.services().files << pdf << png << png;
        window()->savePdfButton->click();
        QVERIFY(f.services().fileRequests().value(0).folder.endsWith(QLatin1String(".pdf")));
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("Key-figure history: Cash ratio · Year")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("2010 95 100 green")), qPrintable(text));
        window()->savePngButton->click();
        QImage image(png);
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(600, 360));
        // An existing file is refused and left as it is.
        window()->savePngButton->click();
        QCOMPARE(f.services().fileRequests().size(), 3);
        QCOMPARE(f.asker().questions().size(), 1);
        QVERIFY(f.asker().questions().first().text.contains(QLatin1String("exists already")));
        QCOMPARE(QImage(png).size(), QSize(600, 360));
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
