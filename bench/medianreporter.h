#pragma once

// A console reporter that also keeps, per benchmark, the CPU time of its
// median run (or of its single run without repetitions) in nanoseconds, so a
// benchmark can print its figures as ratios against a baseline of the same run.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

class MedianReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> nanoseconds;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (median || single)
                nanoseconds[run.run_name.function_name] = run.GetAdjustedCPUTime()
                    * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

// Runs the benchmarks as the command line asks and fills `medians`; returns
// the exit status (1 for an unknown argument).
inline int runKeepingMedians(int argc, char **argv, std::map<std::string, double> &medians)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    medians = std::move(reporter.nanoseconds);
    return 0;
}
