// One Perspectives display: twelve year lookups through the database layer,
// against the same twelve lookups as raw prepared QSqlQuery calls.
#include "benchmain.h"

#include "model/katalog.h"
#include "platform/db/database.h"
#include "platform/db/dataset.h"
#include "tools/dbadmin.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

const QString Year = QStringLiteral("2005");

// With refresh: the same lookups re-read once more after opening.
void lookups(benchmark::State &state, bool refresh)
{
    Query query(QStringLiteral("Query2"));
    for (auto _ : state) {
        qint64 sum = 0;
        for (int ziel = 1; ziel <= ScorecardKatalog::ZielCount; ++ziel) {
            query.close();
            query.setSql(QStringLiteral("select ist_wert_jahr,soll_wert_jahr from ") + ScorecardKatalog::table(ziel, 1)
                         + QStringLiteral(".db where jahr=\"") + Year + QStringLiteral("\""));
            query.open();
            if (refresh)
                query.refresh();
            sum += query.asInteger(QStringLiteral("ist_wert_jahr")) + query.asInteger(QStringLiteral("soll_wert_jahr"));
        }
        benchmark::DoNotOptimize(sum);
    }
}

void raw(benchmark::State &state) { rawTwelveLookups(state, Year); }

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.sqlite"));
    DbAdmin::create(path, true, 2013);
    Database::open(path);
    benchmark::RegisterBenchmark("twelve_lookups/layer", lookups, false);
    benchmark::RegisterBenchmark("twelve_lookups/layer_with_refresh", lookups, true);
    benchmark::RegisterBenchmark("twelve_lookups/raw", raw);
    return runWithRatios(argc, argv,
                         {{QStringLiteral("twelve_lookups/layer"), QStringLiteral("twelve_lookups/raw")},
                          {QStringLiteral("twelve_lookups/layer_with_refresh"), QStringLiteral("twelve_lookups/raw")}});
}
