// Writing a 7680 x 4320 picture as PNG in memory, beside a memcpy of its bytes: a screenshot-
// like picture (flat areas, lines, text-sized detail), and noise, the picture a deflate
// encoder finds hardest.
#include "Bitmap.h"
#include "ImageFile.h"
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 7680;
constexpr int kHeight = 4320;

const Platform::Bitmap& screenshot() {
    static const Platform::Bitmap b = [] {
        Platform::Bitmap s(kWidth, kHeight, 24);
        for (int y = 0; y < kHeight; ++y) {
            uint8_t* row = s.scanLine(y);
            for (int x = 0; x < kWidth; ++x) {
                // A light window face, a darker title bar, and runs of "text" in the panes.
                uint8_t c = y % 540 < 30 ? 90 : 236;
                if (y % 540 >= 60 && (x % 960) < 700 && (y % 18) < 11 && ((x * 7 + y) % 13) < 5)
                    c = 20;
                row[3 * x] = c;
                row[3 * x + 1] = c;
                row[3 * x + 2] = static_cast<uint8_t>(c + (x % 960 == 0 ? 0 : 4));
            }
        }
        return s;
    }();
    return b;
}

const Platform::Bitmap& noise() {
    static const Platform::Bitmap b = [] {
        Platform::Bitmap n(kWidth, kHeight, 24);
        std::mt19937 random(17);
        for (int y = 0; y < kHeight; ++y) {
            uint8_t* row = n.scanLine(y);
            for (int x = 0; x < kWidth * 3; ++x)
                row[x] = static_cast<uint8_t>(random());
        }
        return n;
    }();
    return b;
}

void BM_Memcpy_8k_picture(benchmark::State& state) {
    const Platform::Bitmap& src = screenshot();
    const size_t size = size_t(src.stride()) * size_t(src.height());
    std::vector<uint8_t> dst(size);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.scanLine(0), size);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Memcpy_8k_picture)->Unit(benchmark::kMillisecond);

void BM_PngWrite_8k_screenshot(benchmark::State& state) {
    const Platform::Bitmap& b = screenshot();
    for (auto _ : state) {
        QByteArray out = Platform::encodePng(b);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_PngWrite_8k_screenshot)->Unit(benchmark::kMillisecond);

void BM_PngWrite_8k_noise(benchmark::State& state) {
    const Platform::Bitmap& b = noise();
    for (auto _ : state) {
        QByteArray out = Platform::encodePng(b);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_PngWrite_8k_noise)->Unit(benchmark::kMillisecond);

PICTANOTE_RATIO("png_write_8k", "BM_PngWrite_8k_screenshot", "BM_Memcpy_8k_picture");
PICTANOTE_RATIO("png_write_8k_noise", "BM_PngWrite_8k_noise", "BM_Memcpy_8k_picture");

}  // namespace
