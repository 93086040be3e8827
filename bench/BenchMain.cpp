// Runs every benchmark, then prints one "ratio NAME VALUE" line per registered figure: its
// time over its baseline's time from the same run, so the number travels between machines.
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string_view>
#include <vector>

#include <strings.h>
#include <unistd.h>

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
    explicit RecordingReporter(OutputOptions options) : ConsoleReporter(options) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }
    std::map<std::string, double> times;
};

bool truthy(std::string_view value) {
    for (const char* yes : {"1", "t", "true", "y", "yes", "on"}) {
        if (value.size() == std::strlen(yes) && strncasecmp(value.data(), yes, value.size()) == 0)
            return true;
    }
    return false;
}

// A reporter handed to the library is coloured unless told otherwise, whatever
// --benchmark_color says, and each coloured piece of the table ends in a reset code, so the
// first line printed after the table would start with one. The table is coloured as the
// library's own reporter would colour it: as --benchmark_color (or BENCHMARK_COLOR) asks, and
// by default only on a terminal. Read before the library takes its flags out of argv.
bool wantsColour(int argc, char** argv) {
    std::string_view choice = "auto";
    if (const char* env = std::getenv("BENCHMARK_COLOR"))
        choice = env;
    constexpr std::string_view flag = "--benchmark_color=";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with(flag))
            choice = arg.substr(flag.size());
    }
    if (choice != "auto")
        return truthy(choice);
    const char* term = std::getenv("TERM");
    return isatty(STDOUT_FILENO) && term && *term && std::strcmp(term, "dumb") != 0;
}

}  // namespace

int addRatio(const std::string& name, const std::string& figure, const std::string& baseline) {
    ratios().push_back({name, figure, baseline});
    return 0;
}

}  // namespace Bench

int main(int argc, char** argv) {
    const bool colour = Bench::wantsColour(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Bench::RecordingReporter reporter(colour ? benchmark::ConsoleReporter::OO_ColorTabular
                                             : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // After a coloured table the last reset code is still waiting at the start of a line:
    // it gets a line of its own, so every ratio line starts clean.
    if (colour)
        std::putchar('\n');
    for (const auto& r : Bench::ratios()) {
        const auto f = reporter.times.find(r.figure);
        const auto b = reporter.times.find(r.baseline);
        if (f == reporter.times.end() || b == reporter.times.end() || b->second <= 0)
            continue;  // filtered out of this run
        std::printf("ratio %s %.3f\n", r.name.c_str(), f->second / b->second);
    }
    return 0;
}
