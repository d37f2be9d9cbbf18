// What needs attention: the Perspectives display with its red-without-measure
// markers against the same display without them.
#include "benchmain.h"
#include "benchwindows.h"

#include "app/attention.h"
#include "app/form1.h"
#include "dialogs/history.h"
#include "app/globals.h"
#include "app/start.h"
#include "core/dbadmin.h"
#include "model/attention.h"
#include "model/history.h"
#include "model/startwahl.h"
#include "report/bericht.h"
#include "report/launch.h"
#include "report/yearreport.h"
#include "platform/db/database.h"
#include "platform/ui/selector.h"
#include "views/perspectives.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

const QString Year = QStringLiteral("2005");


void perspectivesDisplay(benchmark::State &state)
{
    GermanMiningWindows windows;
    PerspectivesPage *page = Form1->perspectivesPage();
    if (!state.range(0))
        QObject::disconnect(page, &PerspectivesPage::displayed, nullptr, nullptr);
    page->ComboBox10->choose(page->ComboBox10->items().indexOf(Year));
    for (auto _ : state)
        page->Button4->click();
}

// Red lights for the year, so that the markers read the measure counts:
// the financial goals far below their targets.
void makeRed()
{
    QSqlQuery q(benchConnection().database().connection());
    for (const char *table : {"kz_ges_renta", "kz_kap_quote", "kz_liqui"}) {
        q.prepare(QStringLiteral("UPDATE \"%1\" SET \"Ist_Wert_Jahr\"=10, \"Soll_Wert_Jahr\"=100 WHERE \"Jahr\"=?")
                      .arg(QLatin1String(table)));
        q.bindValue(0, Year);
        q.exec();
    }
}

// The one statement the markers add to a display.
void measureCounts(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Attention::measureCounts(benchConnection().database(), Year));
}

// German, mining: the choice of the report.
class GermanMining : public Startwahl {
public:
    int sprache() const override { return 1; }
    int branche() const override { return 1; }
};

// One perspective's two pages into a PDF, as "bsc --report" writes them.
void onePerspective(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("one.pdf"));
    GermanMining choice;
    for (auto _ : state) {
        TForm2 form(benchConnection());
        const Services services = benchServices();
        ReportLaunch launch(services, form, choice);
        launch.prepare(0, Year);
        QString error;
        if (!launch.writePdf(file, &error))
            state.SkipWithError(qPrintable(error));
        QFile::remove(file);
    }
}

// The whole year: the cover and the four perspectives' pages.
void yearReport(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("year.pdf"));
    GermanMining choice;
    for (auto _ : state) {
        QString error;
        if (!YearReport::write(benchConnection(), choice, Year, file, &error))
            state.SkipWithError(qPrintable(error));
        QFile::remove(file);
    }
}

// A hundred years in the return on total capital, for the history.
void addHundredYears()
{
    QSqlQuery q(benchConnection().database().connection());
    q.prepare(QStringLiteral("INSERT INTO \"kz_ges_renta\" (\"Jahr\", \"Ist_Wert_Jahr\", \"Soll_Wert_Jahr\") VALUES (?,?,?)"));
    for (int year = QDate::currentDate().year() + 2; year < 2003 + 100; ++year) {
        q.bindValue(0, QString::number(year));
        q.bindValue(1, year % 97);
        q.bindValue(2, 80);
        q.exec();
    }
}

// The history window opened on the key figure and drawn.
void historyOpen(benchmark::State &state)
{
    GermanMiningWindows windows;
    for (auto _ : state) {
        Attention::openHistory(*Form1, 0, 0, 6);
        QApplication::processEvents();
    }
    state.counters["years"] = double(Attention::history(*Form1)->years().size());
}

// The same without drawing: the statement and the window's controls.
void historyDisplay(benchmark::State &state)
{
    GermanMiningWindows windows;
    Attention::openHistory(*Form1, 0, 0, 6);
    QApplication::processEvents();
    for (auto _ : state)
        Attention::history(*Form1)->display();
}

// The statement through the layer alone.
void historyRead(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(History::read(benchConnection().database(), 1, 1, 6));
}

// Its statement without the layer: every year's pair of the table.
void historyRaw(benchmark::State &state)
{
    QSqlQuery q(benchConnection().database().connection());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT \"Jahr\", \"Ist_Wert_Jahr\", \"Soll_Wert_Jahr\" FROM \"kz_ges_renta\""));
    for (auto _ : state) {
        q.exec();
        qint64 sum = 0;
        while (q.next())
            sum += q.value(0).toString().size() + q.value(1).toInt() + q.value(2).toInt();
        q.finish();
        benchmark::DoNotOptimize(sum);
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.sqlite"));
    DbAdmin::create(path, true, QDate::currentDate().year());
    qputenv("PROJEKT_BSC_DATABASE", path.toUtf8());
    Start::setUp();
    const BenchConnection connection;
    benchConnection().database();
    makeRed();
    addHundredYears();

    benchmark::RegisterBenchmark("perspectives/display_with_markers", perspectivesDisplay)
        ->Arg(1)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("perspectives/display_without_markers", perspectivesDisplay)
        ->Arg(0)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("markers/measure_counts", measureCounts)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("report/one_perspective_two_pages", onePerspective)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("report/year_report_nine_pages", yearReport)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("history/open_100_years", historyOpen)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("history/display_100_years", historyDisplay)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("history/read_through_layer", historyRead)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("history/raw_statement", historyRaw)->Unit(benchmark::kMicrosecond);
    return runWithRatios(argc, argv,
                         {{QStringLiteral("perspectives/display_with_markers/1"),
                           QStringLiteral("perspectives/display_without_markers/0")},
                          {QStringLiteral("report/year_report_nine_pages"),
                           QStringLiteral("report/one_perspective_two_pages")},
                          {QStringLiteral("history/open_100_years"), QStringLiteral("history/raw_statement")},
                          {QStringLiteral("history/display_100_years"), QStringLiteral("history/raw_statement")},
                          {QStringLiteral("history/read_through_layer"), QStringLiteral("history/raw_statement")}});
}
