// Reading and writing a 7680 x 4320 24-bit BMP in memory, beside a memcpy of the same bytes.
// Each iteration gets its result in new memory, as every open and export of the program does.
#include "Bmp.h"
#include "PixelMemory.h"
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 7680;
constexpr int kHeight = 4320;

const QByteArray& sampleFile() {
    static const QByteArray bytes = [] {
        Platform::Bitmap b(kWidth, kHeight, 24);
        for (int y = 0; y < kHeight; ++y)
            for (int64_t i = 0; i < b.stride(); ++i)
                b.scanLine(y)[i] = static_cast<uint8_t>(i * 7 + y);
        return Platform::Bmp::encode(b);
    }();
    return bytes;
}

// The bytes copied into memory that is already there: the floor for work on a warm buffer.
void BM_Memcpy_8k_24(benchmark::State& state) {
    const QByteArray& src = sampleFile();
    std::vector<char> dst(static_cast<size_t>(src.size()));
    for (auto _ : state) {
        std::memcpy(dst.data(), src.constData(), dst.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Memcpy_8k_24)->Unit(benchmark::kMillisecond);

// The bytes copied into a fresh block got the way a bitmap's pixels are: reading and writing a
// file pay for the system handing out (and clearing) new pages, so their floor pays it too.
// Measured against the warm copy, that cost swung the ratios with the state of the system.
void BM_MemcpyFresh_8k_24(benchmark::State& state) {
    const QByteArray& src = sampleFile();
    for (auto _ : state) {
        Platform::PixelMemory dst(static_cast<size_t>(src.size()));
        std::memcpy(dst.data(), src.constData(), dst.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyFresh_8k_24)->Unit(benchmark::kMillisecond);

void BM_BmpRead_8k_24(benchmark::State& state) {
    const QByteArray& src = sampleFile();
    for (auto _ : state) {
        Platform::Bitmap b = Platform::Bmp::decode(src);
        benchmark::DoNotOptimize(b.bits());
    }
}
BENCHMARK(BM_BmpRead_8k_24)->Unit(benchmark::kMillisecond);

void BM_BmpWrite_8k_24(benchmark::State& state) {
    const Platform::Bitmap b = Platform::Bmp::decode(sampleFile());
    for (auto _ : state) {
        QByteArray out = Platform::Bmp::encode(b);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_BmpWrite_8k_24)->Unit(benchmark::kMillisecond);

PICTANOTE_RATIO("bmp_read_24", "BM_BmpRead_8k_24", "BM_MemcpyFresh_8k_24");
PICTANOTE_RATIO("bmp_write_24", "BM_BmpWrite_8k_24", "BM_MemcpyFresh_8k_24");

}  // namespace
