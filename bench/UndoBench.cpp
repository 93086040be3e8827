// Undo then redo of a marker move on a 7680 x 4320 image with 99 markers, each followed by the
// screen image the next paint shows, beside a memcpy of the image's bytes (BM_Memcpy_8k_24).
#include "BenchApplication.h"
#include "Ratios.h"
#include "Session.h"


#include <benchmark/benchmark.h>

namespace {

constexpr int kWidth = 7680;
constexpr int kHeight = 4320;

void BM_Undo_8k_99(benchmark::State& state) {
    Bench::ensureApplication();
    Document::Session session;
    session.Create();
    Platform::Bitmap source(kWidth, kHeight, 24);
    for (int y = 0; y < kHeight; ++y)
        for (int64_t i = 0; i < source.stride(); ++i)
            source.scanLine(y)[i] = static_cast<uint8_t>(i * 7 + y);
    session.TakeSourceBitmap(std::move(source));
    session.ApplyStyle(Markers::StyleCircle2);
    for (int32_t key = 0; key < 99; ++key)
        session.Map().InsertMarker(key, Markers::MakeMarker(key * 77 % (kWidth - 16), key * 43 % kHeight));
    session.Map().SelectionRect = {100, 100, 3000, 2000};
    session.Select(50);
    session.MoveSelected(Markers::MakeMarker(4000, 3000));
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
