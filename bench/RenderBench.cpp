// What pictanote-render does for one picture: read a work file holding a 7680 x 4320 24-bit
// image and 99 markers, compose it as the export does and write the BMP, beside a copy of the
// work file's bytes into fresh memory.
#include "BenchApplication.h"
#include "PixelMemory.h"
#include "Ratios.h"
#include "Session.h"
#include "WorkFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

constexpr int kWidth = 7680;
constexpr int kHeight = 4320;

// The files live in memory where the system has such a folder, so the figure is our work and
// not the disk's: syncing a file there costs nothing.
struct Files {
    std::unique_ptr<QTemporaryDir> dir;
    QString work;
    QString out;
    QByteArray bytes;
};

const Files& files() {
    static const Files f = [] {
        Files made;
        const QString shm = QStringLiteral("/dev/shm");
        made.dir = std::make_unique<QTemporaryDir>((QDir(shm).exists() ? shm : QDir::tempPath()) +
                                                   QStringLiteral("/pictanote-XXXXXX"));
        Platform::Bitmap image(kWidth, kHeight, 24);
        for (int y = 0; y < kHeight; ++y)
            for (int64_t i = 0; i < image.stride(); ++i)
                image.scanLine(y)[i] = static_cast<uint8_t>(i * 7 + y);
        Markers::MarkerMap map;
        for (int32_t key = 0; key < 99; ++key)
            map.InsertMarker(key,
                             Markers::MakeMarker(key * 77 % (kWidth - 16), key * 43 % kHeight));
        Markers::MarkerFont font;
        font.Name = QStringLiteral("Arial");
        const Document::WorkLines lines = Document::MakeWorkLines(font, Markers::StyleCircle2, map);
        made.work = made.dir->filePath(QStringLiteral("big.ptn"));
        made.out = made.dir->filePath(QStringLiteral("big.bmp"));
        Document::WriteWorkFile(image, lines, made.work);
        QFile file(made.work);
        if (file.open(QIODevice::ReadOnly))
            made.bytes = file.readAll();
        return made;
    }();
    return f;
}

void BM_MemcpyWorkFile_8k(benchmark::State& state) {
    const QByteArray& src = files().bytes;
    for (auto _ : state) {
        Platform::PixelMemory dst(static_cast<size_t>(src.size()));
        std::memcpy(dst.data(), src.constData(), dst.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyWorkFile_8k)->Unit(benchmark::kMillisecond);

void BM_Render_8k_99(benchmark::State& state) {
    Bench::ensureApplication();
    const Files& f = files();
    Document::Session session;
    session.Create();
    for (auto _ : state) {
        const Document::Result opened = session.OpenWorkFile(f.work);
        const Document::Result written = session.ExportBitmap(f.out, Document::ExportUse::Last);
        if (!opened.Ok() || !written.Ok()) {
            state.SkipWithError("the work file could not be rendered");
            break;
        }
    }
}
BENCHMARK(BM_Render_8k_99)->Unit(benchmark::kMillisecond);

PICTANOTE_RATIO("render_8k_99", "BM_Render_8k_99", "BM_MemcpyWorkFile_8k");

}  // namespace
