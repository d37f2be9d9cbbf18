#pragma once

#include "model/katalog.h"
#include "model/alias.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"

#include <benchmark/benchmark.h>

#include <QList>
#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <memory>
#include <QString>
#include <cstdio>
#include <unistd.h>

// The benchmark program's connection to its database: made by main, which
// keeps it while the benchmarks run.
inline Connection *&benchConnectionSlot()
{
    static Connection *connection = nullptr;
    return connection;
}
inline Connection &benchConnection() { return *benchConnectionSlot(); }

// Makes the program's connection for as long as it lives.
struct BenchConnection {
    Connection connection{ScorecardAlias::settings(), ScorecardAlias::databaseSettings()};
    BenchConnection() { benchConnectionSlot() = &connection; }
    ~BenchConnection() { benchConnectionSlot() = nullptr; }
};

// Runs the registered benchmarks, then prints the ratio of each named pair
// (measured against its baseline in the same run).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that scripts can read the lines.
    RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_None) {}
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

// The baseline of a page's display: one raw prepared lookup of a period
// pair per key-figure table, as the engine would run it without the layer.
class RawPairLookups {
public:
    RawPairLookups(const QSqlDatabase &db, const QStringList &tables, const QString &suffix = QStringLiteral("Jahr"))
    {
        for (const QString &table : tables) {
            auto q = std::make_shared<QSqlQuery>(db);
            q->setForwardOnly(true);
            q->prepare(QStringLiteral("SELECT \"Ist_Wert_%2\",\"Soll_Wert_%2\" FROM \"%1\" WHERE \"Jahr\"=?")
                           .arg(table, suffix));
            m_queries << q;
        }
    }
    qint64 read(const QString &year)
    {
        qint64 sum = 0;
        for (const auto &q : m_queries) {
            q->bindValue(0, year);
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
inline void rawTwelveLookups(benchmark::State &state, const QString &year)
{
    QStringList tables;
    for (int ziel = 1; ziel <= ScorecardKatalog::ZielCount; ++ziel)
        tables << ScorecardKatalog::table(ziel, 1);
    RawPairLookups raw(benchConnection().database().connection(), tables);
    for (auto _ : state)
        benchmark::DoNotOptimize(raw.read(year));
}

// The baseline of a confirmed key-figure save: one prepared UPDATE of one
// value, committed on its own with the connection's durability.
inline void rawKeyFigureSave(benchmark::State &state, const QString &year)
{
    QSqlQuery update(benchConnection().database().connection());
    update.prepare(QStringLiteral("UPDATE \"kz_kap_quote\" SET \"Ist_Wert_Q1\"=? WHERE \"Jahr\"=?"));
    int value = 0;
    for (auto _ : state) {
        update.bindValue(0, ++value % 1000);
        update.bindValue(1, year);
        if (!update.exec())
            state.SkipWithError(qPrintable(update.lastError().text()));
        update.finish();
    }
}
