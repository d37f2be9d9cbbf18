// The Perspectives page's show command against twelve raw lookups, and
// start-up to the main window shown against an empty Qt main window.
#include "benchmain.h"

#include "app/form1.h"
#include "app/globals.h"
#include "app/start.h"
#include "model/katalog.h"
#include "platform/db/database.h"
#include "platform/ui/selector.h"
#include "tools/dbadmin.h"
#include "views/perspectives.h"

#include <QApplication>
#include <QMainWindow>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

void showCommand(benchmark::State &state)
{
    Start::createWindows();
    Form1->ComboBox6->choose(1);
    Form1->ComboBox7->choose(1);
    Form1->Button3->click();
    PerspectivesPage *seite = Form1->perspectivesPage();
    seite->ComboBox10->choose(2);   // "2005"
    for (auto _ : state)
        seite->Button4->click();
    Start::destroyWindows();
}

void rawLookups(benchmark::State &state) { rawTwelveLookups(state, QStringLiteral("2005")); }

void startUp(benchmark::State &state)
{
    for (auto _ : state) {
        if (state.range(0))
            Database::close();   // a real start opens the file too
        Start::createWindows();
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
    DbAdmin::create(path, true, 2013);
    qputenv("PROJEKT_BSC_DATABASE", path.toUtf8());
    Start::setUp();
    Database::alias();

    benchmark::RegisterBenchmark("perspectives/show_command", showCommand)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("perspectives/raw_lookups", rawLookups)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("start_up/main_window_shown", startUp)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("start_up/empty_qt_main_window", emptyMainWindow)->Unit(benchmark::kMillisecond);
    return runWithRatios(argc, argv,
                         {{QStringLiteral("perspectives/show_command"), QStringLiteral("perspectives/raw_lookups")},
                          {QStringLiteral("start_up/main_window_shown/1"), QStringLiteral("start_up/empty_qt_main_window")}});
}
