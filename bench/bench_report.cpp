// Both pages of one report written to PDF, against the same two pages with
// labels and value fields only (without/3: no charts, no diagram), measured
// in the same run, and without the charts (/1) or the diagram (/2) alone;
// and a report made and written from the start, as a user waits for it.
#include "benchmain.h"
#include "benchwindows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "app/start.h"
#include "platform/report/reportlayout.h"
#include "platform/report/reportpaint.h"
#include "platform/ui/selector.h"
#include "report/bericht.h"
#include "report/launch.h"
#include "core/dbadmin.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

QString s_dir;

void write(benchmark::State &state)
{
    const QString file = s_dir + QStringLiteral("/report.pdf");
    for (auto _ : state) {
        QFile::remove(file);
        QString error;
        if (!writePdf({Form2->QuickRep1, Form2->QuickRep2}, file, &error))
            state.SkipWithError(qPrintable(error));
    }
}

// Items taken off their bands for a run: 1 the charts, 2 the diagram, 3 both
// (the baseline of labels and value fields only).
void without(benchmark::State &state)
{
    const int what = int(state.range(0));
    QObject aside;
    QList<QPair<QObject *, QObject *>> moved;
    for (ReportLayout *layout : {Form2->QuickRep1, Form2->QuickRep2}) {
        for (ReportBand *band : layout->bands()) {
            for (ReportItem *item : band->items()) {
                if (((what & 1) && qobject_cast<ReportChart *>(item)) || ((what & 2) && qobject_cast<ReportPicture *>(item))) {
                    moved << qMakePair(static_cast<QObject *>(item), static_cast<QObject *>(band));
                    item->setParent(&aside);
                }
            }
        }
    }
    write(state);
    for (const auto &[item, band] : moved)
        item->setParent(band);
}

void wholeReport(benchmark::State &state)
{
    ReportLaunch *launch = Form2->findChild<ReportLaunch *>();
    const QString file = s_dir + QStringLiteral("/whole.pdf");
    for (auto _ : state) {
        QFile::remove(file);
        launch->prepare(int(state.range(0)), QStringLiteral("2005"));
        QString error;
        launch->writePdf(file, &error);
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    s_dir = dir.path();
    const QString path = dir.filePath(QStringLiteral("bench.sqlite"));
    DbAdmin::create(path, true, 2013);
    qputenv("PROJEKT_BSC_DATABASE", path.toUtf8());
    Start::setUp();
    const BenchConnection connection;
    Services services = benchServices();
    Start::createWindows(services);
    Form1->ComboBox6->choose(1);
    Form1->ComboBox7->choose(1);
    Form1->Button3->click();
    Form2->findChild<ReportLaunch *>()->prepare(0, QStringLiteral("2005"));

    benchmark::RegisterBenchmark("report/both_pages_to_pdf", write)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("report/without", without)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("report/made_and_written", wholeReport)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond);
    const int status = runWithRatios(argc, argv,
                                     {{QStringLiteral("report/both_pages_to_pdf"), QStringLiteral("report/without/3")}});
    Start::destroyWindows();
    return status;
}
