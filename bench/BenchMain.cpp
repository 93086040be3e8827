// Runs every benchmark, then prints one "ratio NAME VALUE" line per registered figure: its
// time over its baseline's time from the same run, so the number travels between machines.
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <vector>

namespace Bench {
namespace {

struct Ratio {
    std::string name, figure, baseline;
};

std::vector<Ratio>& ratios() {
    static std::vector<Ratio> list;
    return list;
}

// Passes everything to the console and remembers each benchmark's time per iteration.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }
    std::map<std::string, double> times;
};

}  // namespace

int addRatio(const std::string& name, const std::string& figure, const std::string& baseline) {
    ratios().push_back({name, figure, baseline});
    return 0;
}

}  // namespace Bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const auto& r : Bench::ratios()) {
        const auto f = reporter.times.find(r.figure);
        const auto b = reporter.times.find(r.baseline);
        if (f == reporter.times.end() || b == reporter.times.end() || b->second <= 0)
            continue;  // filtered out of this run
        std::printf("ratio %s %.3f\n", r.name.c_str(), f->second / b->second);
    }
    return 0;
}
