// Composing a 7680 x 4320 image with 99 markers, beside a memcpy of the image's bytes
// (BM_Memcpy_8k_24 in BmpBench.cpp).
#include "BenchApplication.h"
#include "Compositor.h"
#include "Ratios.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kWidth = 7680;
constexpr int kHeight = 4320;

void BM_Compose_8k_99(benchmark::State& state) {
    Bench::ensureApplication();
    Markers::Compositor compositor;
    compositor.LoadGlyphs(QStringLiteral("RED"), Markers::kOliveRgb);
    compositor.CreateBitmaps();
    Platform::Bitmap source(kWidth, kHeight, 24);
    for (int y = 0; y < kHeight; ++y)
        for (int64_t i = 0; i < source.stride(); ++i)
            source.scanLine(y)[i] = static_cast<uint8_t>(i * 7 + y);
    compositor.SetSourceBitmap(std::move(source));
    compositor.SetBackgroundStyle(static_cast<int32_t>(state.range(0)));

    Markers::MarkerMap map;
    for (int32_t key = 0; key < 99; ++key)
        map.InsertMarker(key, Markers::MakeMarker(key * 77 % (kWidth - 16), key * 43 % kHeight));
    map.SelectedKey = 50;
    map.GuideKey = 20;
    map.SelectionRect = {100, 100, 3000, 2000};

    for (auto _ : state) {
        compositor.ComposeCanvas(map);
        benchmark::DoNotOptimize(compositor.CanvasBitmap()->bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Compose_8k_99)->Arg(Markers::StyleCircle2)->Unit(benchmark::kMillisecond);

PICTANOTE_RATIO("compose_8k_99", "BM_Compose_8k_99/5", "BM_Memcpy_8k_24");

}  // namespace
