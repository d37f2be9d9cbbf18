#pragma once

#include "model/katalog.h"
#include "platform/db/database.h"

#include <benchmark/benchmark.h>

#include <QList>
#include <QMap>
#include <QSqlQuery>
#include <memory>
#include <QString>
#include <cstdio>

// Runs the registered benchmarks, then prints the ratio of each named pair
// (measured against its baseline in the same run).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times[QString::fromStdString(run.benchmark_name())] = run.GetAdjustedRealTime();
        }
    }
    QMap<QString, double> times;
};

inline int runWithRatios(int argc, char **argv, const QList<QPair<QString, QString>> &pairs)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto &[measured, baseline] : pairs) {
        if (reporter.times.contains(measured) && reporter.times.contains(baseline)) {
            std::printf("ratio %s / %s = %.2f\n", qPrintable(measured), qPrintable(baseline),
                        reporter.times[measured] / reporter.times[baseline]);
        }
    }
    benchmark::Shutdown();
    return 0;
}

// The baseline of a display of all twelve goals: one raw prepared lookup of
// the year pair per key-figure table.
class RoheJahresabfragen {
public:
    RoheJahresabfragen(const QSqlDatabase &db, const QStringList &tabellen)
    {
        for (const QString &tabelle : tabellen) {
            auto q = std::make_shared<QSqlQuery>(db);
            q->setForwardOnly(true);
            q->prepare(QStringLiteral("SELECT \"Ist_Wert_Jahr\",\"Soll_Wert_Jahr\" FROM \"%1\" WHERE \"Jahr\"=?").arg(tabelle));
            m_queries << q;
        }
    }
    qint64 lesen(const QString &jahr)
    {
        qint64 sum = 0;
        for (const auto &q : m_queries) {
            q->bindValue(0, jahr);
            q->exec();
            if (q->next())
                sum += q->value(0).toInt() + q->value(1).toInt();
            q->finish();
        }
        return sum;
    }

private:
    QList<std::shared_ptr<QSqlQuery>> m_queries;
};

// The twelve raw lookups of the mining variant for one year, as a benchmark.
inline void rawTwelveLookups(benchmark::State &state, const QString &jahr)
{
    QStringList tabellen;
    for (int ziel = 1; ziel <= ScorecardKatalog::ZielCount; ++ziel)
        tabellen << ScorecardKatalog::table(ziel, 1);
    RoheJahresabfragen roh(Database::alias().connection(), tabellen);
    for (auto _ : state)
        benchmark::DoNotOptimize(roh.lesen(jahr));
}
