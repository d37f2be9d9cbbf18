#pragma once

#include <benchmark/benchmark.h>

#include <QMap>
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
