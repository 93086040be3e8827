// Undo then redo of a marker move on a 7680 x 4320 image with 99 markers, each followed by the
// screen image the next paint shows, beside a memcpy of the image's bytes (BM_Memcpy_8k_24).
#include "BenchApplication.h"
#include "Ratios.h"
#include "Session.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Undo_8k_99(benchmark::State& state) {
    Document::Session session;
    Bench::openEightKDocument(session);
    session.ApplyStyle(Markers::StyleCircle2);
    session.Map().SelectionRect = {100, 100, 3000, 2000};
    benchmark::DoNotOptimize(session.ScreenImage()->bits());

    for (auto _ : state) {
        session.Undo();
        benchmark::DoNotOptimize(session.ScreenImage()->bits());
        session.Redo();
        benchmark::DoNotOptimize(session.ScreenImage()->bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Undo_8k_99)->Unit(benchmark::kMillisecond);

PICTANOTE_RATIO("undo_8k_99", "BM_Undo_8k_99", "BM_Memcpy_8k_24");

}  // namespace
