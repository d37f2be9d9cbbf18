// The year's report in one PDF: the cover, the evaluation pages of every
// perspective, page numbers; from the command line and the "Data" menu.
#include "fixture_windows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "model/katalog.h"
#include "platform/report/reportpreview.h"
#include "report/yearreport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The text of pages first..last as pdftotext lays it out.
QString pdfText(const QString &file, int first = 0, int last = 0)
{
    QStringList args{QStringLiteral("-layout")};
    if (first > 0)
        args << QStringLiteral("-f") << QString::number(first) << QStringLiteral("-l") << QString::number(last);
    args << file << QStringLiteral("-");
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pageCount(const QString &file) { return int(pdfText(file).count(QLatin1Char('\f'))); }

// A page's text without its footer line and blanks squeezed.
QString withoutFooter(const QString &page)
{
    static const QRegularExpression footer(QStringLiteral("\\n\\s*\\d+\\s*/\\s*\\d+\\s*\\n"));
    return QString(page).replace(footer, QStringLiteral("\n")).simplified();
}

// bsc without a window system, as a script runs it.
ProgramRun bsc(const QString &database, const QStringList &args)
{
    RunSettings settings = onDatabase(database);
    settings.unset << QStringLiteral("QT_QPA_PLATFORM") << QStringLiteral("DISPLAY");
    return runProgram(QStringLiteral(BSC_EXE), args, settings);
}

// Yearly pairs of 2005 (mining): every light of the rule, SOLL 0 and the
// markers' cases.
struct Pair {
    int ziel, ist, soll;
};
const Pair Pairs[12] = {{1, 10, 100}, {2, 64, 100}, {3, 100, 100}, {4, 60, 100}, {5, 50, 0},   {6, 90, 100},
                        {7, 40, 100}, {8, 95, 100}, {9, 10, 100}, {10, 31, 20}, {11, 24, 20}, {12, 20, 20}};

void fill(TestDatabase &db)
{
    for (const Pair &p : Pairs)
        db.setPair(ScorecardKatalog::table(p.ziel, 1), QStringLiteral("2005"), QStringLiteral("Jahr"), p.ist, p.soll);
    // Goal 2 and goal 9 are red and worked on; goal 4 has two measures.
    for (int ziel : {2, 9, 4, 4})
        db.sql(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Ziel\", \"Jahr\") VALUES (?,?,?)"),
               {QStringLiteral("Schritt"), ScorecardKatalog::zielText(ziel, 1), QStringLiteral("2005")});
}

} // namespace

class TestYearReport : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void coverListsTheTwelveGoals_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QStringList>("rows");   // per goal: IST SOLL light measures [marker]
        QTest::newRow("German") << false
                                << QStringList{"10 100 rot 0 keine Maßnahme", "64 100 rot 1", "100 100 grün 0",
                                               "60 100 gelb 2", "50 0 grau 0", "90 100 grün 0",
                                               "40 100 rot 0 keine Maßnahme", "95 100 grün 0", "10 100 rot 1",
                                               "31 20 rot 0 keine Maßnahme", "24 20 grün 0", "20 20 grün 0"};
        QTest::newRow("English") << true
                                 << QStringList{"10 100 red 0 no measure", "64 100 red 1", "100 100 green 0",
                                                "60 100 yellow 2", "50 0 grey 0", "90 100 green 0",
                                                "40 100 red 0 no measure", "95 100 green 0", "10 100 red 1",
                                                "31 20 red 0 no measure", "24 20 green 0", "20 20 green 0"};
    }
    void coverListsTheTwelveGoals()
    {
        QFETCH(bool, english);
        QFETCH(QStringList, rows);
        TestDatabase db;
        fill(db);
        const QString file = m_dir.filePath(english ? QStringLiteral("cover-en.pdf") : QStringLiteral("cover-de.pdf"));
        QStringList args{QStringLiteral("--report"), QStringLiteral("all"), QStringLiteral("2005"), file};
        if (english)
            args << QStringLiteral("--english");
        const ProgramRun r = bsc(db.path(), args);
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(pageCount(file), YearReport::PageCount);

        const QStringList lines = pdfText(file, 1, 1).split(QLatin1Char('\n'));
        QVERIFY(lines.first().contains(english ? QStringLiteral("Year report 2005") : QStringLiteral("Jahresbericht 2005")));
        for (int ziel = 1; ziel <= 12; ++ziel) {
            const QString goal = english ? ScorecardKatalog::zielTextEnglish(ziel, 1) : ScorecardKatalog::zielText(ziel, 1);
            // The row's first line: the goal's first two words, the key
            // figure's first word, then the values (the twelve differ).
            const QString start = goal.section(QLatin1Char(' '), 0, 1);
            const QString figure = (english ? ScorecardKatalog::kennzahlNameEnglish(ziel, 1)
                                            : ScorecardKatalog::kennzahlName(ziel, 1))
                                       .section(QLatin1Char(' '), 0, 0);
            int found = 0;
            for (const QString &line : lines) {
                const QString l = line.simplified();
                found += l.startsWith(start) && l.contains(QLatin1Char(' ') + figure)
                    && l.endsWith(QLatin1Char(' ') + rows[ziel - 1]);
            }
            QVERIFY2(found == 1, qPrintable(goal));
        }
        for (int p = 0; p < 4; ++p)
            QVERIFY(pdfText(file, 1, 1).contains(ScorecardKatalog::perspektiveText(p, english)));
    }

    // Pages 2 to 9 are the evaluation pages of the four perspectives as the
    // single report writes them; every page carries "n / 9".
    void pagesOfEveryPerspectiveAndTheirNumbers()
    {
        TestDatabase db(true);
        const QString file = m_dir.filePath(QStringLiteral("jahr.pdf"));
        QCOMPARE(bsc(db.path(), {QStringLiteral("--report"), QStringLiteral("all"), QStringLiteral("2006"), file,
                                 QStringLiteral("--agriculture")})
                     .status,
                 0);
        for (int page = 1; page <= YearReport::PageCount; ++page) {
            const QRegularExpression number(QStringLiteral("\\n\\s*%1\\s*/\\s*9\\s*\\n").arg(page));
            QVERIFY2(number.match(pdfText(file, page, page)).hasMatch(), qPrintable(QString::number(page)));
        }
        for (int p = 0; p < 4; ++p) {
            const QString single = m_dir.filePath(QStringLiteral("p%1.pdf").arg(p));
            QCOMPARE(bsc(db.path(), {QStringLiteral("--report"), QString::number(p), QStringLiteral("2006"), single,
                                     QStringLiteral("--agriculture")})
                         .status,
                     0);
            for (int half = 1; half <= 2; ++half) {
                const int page = 1 + 2 * p + half;
                QCOMPARE(withoutFooter(pdfText(file, page, page)), withoutFooter(pdfText(single, half, half)));
            }
        }
    }

    void refusesAnExistingFileAndAMadeUpYear_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("status");
        QTest::newRow("existing file") << "2005" << true << "exists already" << 1;
        QTest::newRow("year the tables do not hold") << "1990" << false << "kennen das Jahr \"1990\" nicht" << 1;
        // Not a year at all is a wrong argument, refused before anything is read.
        QTest::newRow("not a year") << "20x5" << false << "is not a year of four digits" << 2;
        QTest::newRow("a quote") << "2005\" or \"1\"=\"1" << false << "is not a year of four digits" << 2;
        QTest::newRow("file name given empty") << "2005" << false << "--report needs FILE.pdf, which was given empty" << 2;
        QTest::newRow("a folder for the file") << "2005" << false << "is a folder; give the name of a new file" << 1;
    }
    void refusesAnExistingFileAndAMadeUpYear()
    {
        QFETCH(QString, year);
        QFETCH(bool, exists);
        QFETCH(QString, message);
        QFETCH(int, status);
        TestDatabase db;
        QTemporaryDir folder;
        QString file = folder.filePath(QStringLiteral("bericht.pdf"));
        if (QByteArray(QTest::currentDataTag()).contains("empty"))
            file.clear();
        if (QByteArray(QTest::currentDataTag()).contains("folder"))
            QVERIFY(QDir().mkdir(file));
        if (exists) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("mine");
        }
        const ProgramRun r = bsc(db.path(), {QStringLiteral("--report"), QStringLiteral("all"), year, file});
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        // Nothing else is left in the folder, and what was there stays.
        const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left, exists ? QStringList{QStringLiteral("bericht.pdf")} : QStringList());
        if (exists) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("mine"));
        }
    }

    void fromTheDataMenu_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("title");
        QTest::newRow("German") << 1 << "Jahresbericht als PDF..." << "Jahresbericht 2005";
        QTest::newRow("English") << 0 << "Year report as PDF..." << "Year report 2005";
    }
    void fromTheDataMenu()
    {
        QFETCH(int, sprache);
        QFETCH(QString, item);
        QFETCH(QString, title);
        TestWindows f;
        auto *action = Form1->findChild<QAction *>(QStringLiteral("yearReportAction"));
        QVERIFY(action);
        QCOMPARE(action->text(), QStringLiteral("Year report as PDF..."));   // the menu is English at first
        f.continueWith(sprache, 1);
        QCOMPARE(action->text(), item);
        // Beside the file items, before "Exit program".
        const QList<QAction *> actions = Form1->Datei1->actions();
        QVERIFY(actions.indexOf(Form1->importAction) < actions.indexOf(action));
        QVERIFY(actions.indexOf(action) < actions.indexOf(Form1->Beenden1));

        const QString file = m_dir.filePath(QStringLiteral("menu-%1.pdf").arg(sprache));
        // Cancelling the year writes nothing and asks for no file.
        action->trigger();
        QCOMPARE(f.services().itemRequests().size(), 1);
        QVERIFY(f.services().fileRequests().isEmpty());
        QVERIFY(!QFileInfo::exists(file));

        f.services().items << QStringLiteral("2005");
        f.services().files << file;
        action->trigger();
        const ItemRequest &asked = f.services().itemRequests().last();
        QCOMPARE(asked.label, sprache == 1 ? QStringLiteral("Jahr:") : QStringLiteral("Year:"));
        QCOMPARE(asked.items, Form1->years());
        QCOMPARE(f.services().fileRequests().size(), 1);
        QVERIFY(f.services().fileRequests().first().folder.endsWith(QLatin1String(".pdf")));
        QVERIFY(f.asker().questions().isEmpty());
        QCOMPARE(pageCount(file), YearReport::PageCount);
        QVERIFY(pdfText(file, 1, 1).contains(title));

        // Once more onto the same file: refused in the window's language,
        // the file stays as it is.
        const QByteArray before = [&] {
            QFile f(file);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        f.services().items << QStringLiteral("2005");
        f.services().files << file;
        action->trigger();
        QCOMPARE(f.asker().questions().size(), 1);
        QVERIFY2(f.asker().questions().first().text.contains(sprache == 1 ? QStringLiteral("gibt es schon")
                                                                          : QStringLiteral("exists already")),
                 qPrintable(f.asker().questions().first().text));
        QFile again(file);
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), before);
    }
};

QTEST_MAIN(TestYearReport)
#include "tst_yearreport.moc"
