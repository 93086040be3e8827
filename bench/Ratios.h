#pragma once

#include <string>

namespace Bench {

// Registers a printed ratio: the mean real time of benchmark `figure` over that of `baseline`
// (both full benchmark names as Google Benchmark reports them), measured in the same run.
int addRatio(const std::string& name, const std::string& figure, const std::string& baseline);

}  // namespace Bench

#define PICTANOTE_BENCH_CAT2(a, b) a##b
#define PICTANOTE_BENCH_CAT(a, b) PICTANOTE_BENCH_CAT2(a, b)
#define PICTANOTE_RATIO(name, figure, baseline)                                       \
    [[maybe_unused]] static const int PICTANOTE_BENCH_CAT(pictanoteRatio, __LINE__) = \
        ::Bench::addRatio(name, figure, baseline)
