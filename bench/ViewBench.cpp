// A marker moved on a 7680 x 4320 picture with 99 markers and the 1920 x 1080 view of it
// painted at the fitted zoom, as the window does after a move: the changed region composed and
// reduced, then the whole view drawn. Beside a memcpy of the view's bytes.
#include "BenchApplication.h"
#include "Ratios.h"
#include "Session.h"
#include "ViewMapping.h"
#include "ZoomedPicture.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

const QSize kView(1920, 1080);

void BM_Memcpy_view_1080(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(kView.width()) * kView.height() * 4;
    std::vector<char> src(bytes, 7);
    std::vector<char> dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Memcpy_view_1080)->Unit(benchmark::kMillisecond);

void BM_View_8k_fit_move(benchmark::State& state) {
    Document::Session session;
    Bench::openEightKDocument(session);
    session.ApplyStyle(Markers::StyleCircle2);
    View::ViewMapping mapping;
    mapping.SetImageSize(QSize(Bench::kWidth8k, Bench::kHeight8k));
    mapping.SetStep(View::ViewMapping::FitStep(mapping.ImageSize(), kView));
    View::ZoomedPicture picture;
    QImage screen(kView, QImage::Format_RGB32);
    const auto paint = [&] {
        const QRect stale = session.StaleScreenRegion();
        picture.Invalidate(stale);
        QPainter painter(&screen);
        picture.Paint(painter, QRect(QPoint(0, 0), kView), session.ScreenImage()->view(), mapping);
    };
    paint();  // the first paint makes the reduced copy whole

    int32_t left = 4000;
    for (auto _ : state) {
        left = left == 4000 ? 4100 : 4000;
        session.MoveSelected(Markers::MakeMarker(left, 3000));
        paint();
        benchmark::DoNotOptimize(screen.constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_View_8k_fit_move)->Unit(benchmark::kMillisecond);

PICTANOTE_RATIO("view_8k_fit_move", "BM_View_8k_fit_move", "BM_Memcpy_view_1080");

}  // namespace
