// The pages' show commands and the key-figure dialog's save against the raw
// statements they need, and start-up to the main window shown against an
// empty Qt main window.
#include "benchmain.h"
#include "benchwindows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "app/start.h"
#include "dialogs/eingabe_kz.h"
#include "platform/db/dbcontrols.h"
#include "views/objectives.h"
#include "views/overview.h"
#include "model/katalog.h"
#include "platform/db/database.h"
#include "platform/ui/selector.h"
#include "core/dbadmin.h"
#include "views/perspectives.h"

#include <QApplication>
#include <QDate>
#include <QMainWindow>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {


void showCommand(benchmark::State &state)
{
    GermanMiningWindows windows;
    PerspectivesPage *page = Form1->perspectivesPage();
    page->ComboBox10->choose(2);   // "2005"
    for (auto _ : state)
        page->Button4->click();
}

void rawLookups(benchmark::State &state) { rawTwelveLookups(state, QStringLiteral("2005")); }

void objectivesDisplay(benchmark::State &state)
{
    GermanMiningWindows windows;
    ObjectivesPage *page = Form1->objectivesPage();
    page->combobox1->choose(0);
    page->ComboBox2->choose(6);
    page->ComboBox3->choose(2);
    for (auto _ : state)
        page->Button2->click();
}

void objectivesRaw(benchmark::State &state)
{
    RawPairLookups raw(benchConnection().database().connection(),
                       {QStringLiteral("kz_ges_renta"), QStringLiteral("kz_kap_quote"), QStringLiteral("kz_liqui")});
    for (auto _ : state)
        benchmark::DoNotOptimize(raw.read(QStringLiteral("2005")));
}

void overviewQuarterly(benchmark::State &state)
{
    GermanMiningWindows windows;
    OverviewPage *page = Form1->overviewPage();
    page->ComboBox11->choose(0);
    page->ComboBox12->choose(0);
    for (auto _ : state)
        page->Button1->click();
}

// The three whole rows of the year that the quarterly display reads.
void overviewRaw(benchmark::State &state)
{
    std::vector<std::unique_ptr<QSqlQuery>> queries;
    for (const char *table : {"kz_ges_renta", "kz_kap_quote", "kz_liqui"}) {
        auto q = std::make_unique<QSqlQuery>(benchConnection().database().connection());
        q->setForwardOnly(true);
        q->prepare(QStringLiteral("SELECT * FROM \"%1\" WHERE \"Jahr\"=?").arg(QLatin1String(table)));
        queries.push_back(std::move(q));
    }
    const QString year = QString::number(QDate::currentDate().year());
    for (auto _ : state) {
        qint64 sum = 0;
        for (auto &q : queries) {
            q->bindValue(0, year);
            q->exec();
            if (q->next()) {
                for (int i = 1; i <= 8; ++i)
                    sum += q->value(i).toInt();
            }
            q->finish();
        }
        benchmark::DoNotOptimize(sum);
    }
}

// One value typed and saved after the question, as the user does it.
void confirmedSave(benchmark::State &state)
{
    GermanMiningWindows windows;
    TEingabe_kennzahlen *dialog = Eingabe_kennzahlen;
    dialog->combobox1->choose(0);
    dialog->combobox2->choose(1);
    dialog->combobox3->choose(2);
    dialog->Button1->click();
    int value = 0;
    for (auto _ : state) {
        dialog->edits[0]->link()->write(QString::number(++value % 1000));
        dialog->Button3->click();
    }
}

// The same write without the layer: one UPDATE with full sync, one commit.
void rawSave(benchmark::State &state) { rawKeyFigureSave(state, QStringLiteral("2005")); }

void startUp(benchmark::State &state)
{
    Services services = benchServices();
    for (auto _ : state) {
        if (state.range(0))
            benchConnection().close();   // a real start opens the file too
        Start::createWindows(services);
        Form1->show();
        QApplication::processEvents();
        Start::destroyWindows();
    }
}

void emptyMainWindow(benchmark::State &state)
{
    for (auto _ : state) {
        QMainWindow window;
        window.show();
        QApplication::processEvents();
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

    benchmark::RegisterBenchmark("perspectives/show_command", showCommand)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("perspectives/raw_lookups", rawLookups)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("objectives/display", objectivesDisplay)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("objectives/raw_lookups", objectivesRaw)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("overview/quarterly_display", overviewQuarterly)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("overview/raw_rows", overviewRaw)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("key_figures/confirmed_save", confirmedSave)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("key_figures/raw_update", rawSave)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("start_up/main_window_shown", startUp)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("start_up/empty_qt_main_window", emptyMainWindow)->Unit(benchmark::kMillisecond);
    return runWithRatios(argc, argv,
                         {{QStringLiteral("perspectives/show_command"), QStringLiteral("perspectives/raw_lookups")},
                          {QStringLiteral("objectives/display"), QStringLiteral("objectives/raw_lookups")},
                          {QStringLiteral("overview/quarterly_display"), QStringLiteral("overview/raw_rows")},
                          {QStringLiteral("key_figures/confirmed_save"), QStringLiteral("key_figures/raw_update")},
                          {QStringLiteral("start_up/main_window_shown/1"), QStringLiteral("start_up/empty_qt_main_window")}});
}
