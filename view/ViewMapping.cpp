#include "ViewMapping.h"

#include <algorithm>
#include <cmath>

namespace View {

namespace {

int64_t scaled(int64_t v, const ZoomFactor& f) {
    return FloorDiv(v * f.Num, f.Den);
}

int clampInt(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// One axis of EnsureVisible: [lo, hi) inside [scroll, scroll + extent).
int64_t showSpan(int64_t lo, int64_t hi, int64_t scroll, int64_t extent) {
    if (hi - lo >= extent || lo < scroll)
        return lo;
    if (hi > scroll + extent)
        return hi - extent;
    return scroll;
}

}  // namespace

void ViewMapping::SetStep(int step) noexcept {
    m_step = std::clamp(step, 0, kLastStep);
}

QSize ViewMapping::ViewSize() const noexcept {
    if (m_image.isEmpty())
        return {0, 0};
    const ZoomFactor f = Factor();
    return {clampInt(std::max<int64_t>(scaled(m_image.width(), f), 1)),
            clampInt(std::max<int64_t>(scaled(m_image.height(), f), 1))};
}

// Above 100 % a view pixel lies in exactly one pixel's block: the last pixel whose block starts
// at or before it. Below, a view pixel stands for several image pixels: the first of them.
static int64_t pixelAt(int64_t v, const ZoomFactor& f) {
    if (f.Num >= f.Den)
        return FloorDiv((v + 1) * f.Den - 1, f.Num);
    return FloorDiv(v * f.Den + f.Num - 1, f.Num);
}

// The last image pixel that view pixel v (or a view pixel before it) stands for.
static int64_t lastPixelAt(int64_t v, const ZoomFactor& f) {
    return FloorDiv((v + 1) * f.Den + f.Num - 1, f.Num) - 1;
}

QPoint ViewMapping::ToImage(QPoint view) const noexcept {
    const ZoomFactor f = Factor();
    return {clampInt(pixelAt(view.x(), f)), clampInt(pixelAt(view.y(), f))};
}

QPoint ViewMapping::ToView(QPoint image) const noexcept {
    const ZoomFactor f = Factor();
    return {clampInt(scaled(image.x(), f)), clampInt(scaled(image.y(), f))};
}

// Covering: every view pixel an image pixel of the rectangle is drawn in or averaged into.
QRect ViewMapping::ToView(const QRect& image) const noexcept {
    if (image.isEmpty())
        return {};
    const ZoomFactor f = Factor();
    const auto end = [&f](int64_t v) { return FloorDiv(v * f.Num + f.Den - 1, f.Den); };
    const int64_t left = scaled(image.left(), f);
    const int64_t top = scaled(image.top(), f);
    const int64_t right = std::max(end(int64_t{image.left()} + image.width()), left + 1);
    const int64_t bottom = std::max(end(int64_t{image.top()} + image.height()), top + 1);
    return {clampInt(left), clampInt(top), clampInt(right - left), clampInt(bottom - top)};
}

QRect ViewMapping::ToImage(const QRect& view) const noexcept {
    if (view.isEmpty())
        return {};
    const ZoomFactor f = Factor();
    // From the pixel drawn first in the rectangle's first view pixel to the last one drawn in
    // its last.
    const int64_t left = std::min(pixelAt(view.left(), f), lastPixelAt(view.left(), f));
    const int64_t top = std::min(pixelAt(view.top(), f), lastPixelAt(view.top(), f));
    const int64_t right = lastPixelAt(int64_t{view.left()} + view.width() - 1, f) + 1;
    const int64_t bottom = lastPixelAt(int64_t{view.top()} + view.height() - 1, f) + 1;
    return {clampInt(left), clampInt(top), clampInt(right - left), clampInt(bottom - top)};
}

int ViewMapping::FitStep(QSize image, QSize viewport) noexcept {
    if (image.isEmpty())
        return kActualSizeStep;
    for (int step = kLastStep; step > 0; --step) {
        const ZoomFactor f = kZoomSteps[static_cast<size_t>(step)];
        if (scaled(image.width(), f) <= viewport.width() &&
            scaled(image.height(), f) <= viewport.height())
            return step;
    }
    return 0;
}

int ViewMapping::NextStep(int step, int direction) noexcept {
    return std::clamp(step + (direction > 0 ? 1 : direction < 0 ? -1 : 0), 0, kLastStep);
}

QPoint ViewMapping::ScrollAfterZoom(int from, int to, QPoint scroll, QPoint anchor,
                                    QSize viewport) const noexcept {
    const ZoomFactor a = kZoomSteps[static_cast<size_t>(std::clamp(from, 0, kLastStep))];
    const ZoomFactor b = kZoomSteps[static_cast<size_t>(std::clamp(to, 0, kLastStep))];
    // The exact image position under the anchor's pixel centre, at the new factor.
    const auto axis = [&](int s, int p) {
        const double image = (s + p + 0.5) * a.Den / a.Num;
        return static_cast<int64_t>(std::floor(image * b.Num / b.Den)) - p;
    };
    ViewMapping after = *this;
    after.SetStep(to);
    return after.ClampScroll(
        {clampInt(axis(scroll.x(), anchor.x())), clampInt(axis(scroll.y(), anchor.y()))}, viewport);
}

QPoint ViewMapping::EnsureVisible(const QRect& imageRect, QPoint scroll,
                                  QSize viewport) const noexcept {
    const QRect r = ToView(imageRect);
    if (r.isEmpty())
        return scroll;
    const int64_t x =
        showSpan(r.left(), int64_t{r.left()} + r.width(), scroll.x(), viewport.width());
    const int64_t y =
        showSpan(r.top(), int64_t{r.top()} + r.height(), scroll.y(), viewport.height());
    return ClampScroll({clampInt(x), clampInt(y)}, viewport);
}

QPoint ViewMapping::ClampScroll(QPoint scroll, QSize viewport) const noexcept {
    const QSize size = ViewSize();
    return {std::clamp(scroll.x(), 0, std::max(size.width() - viewport.width(), 0)),
            std::clamp(scroll.y(), 0, std::max(size.height() - viewport.height(), 0))};
}

int AutoScrollStep(int position, int extent) noexcept {
    const int64_t p = position;
    int64_t step = 0;
    if (p < kAutoScrollZone)
        step = -(2 + (kAutoScrollZone - p) / 2);
    else if (p >= int64_t{extent} - kAutoScrollZone)
        step = 2 + (p - (int64_t{extent} - kAutoScrollZone)) / 2;
    return static_cast<int>(std::clamp<int64_t>(step, -kAutoScrollMax, kAutoScrollMax));
}

}  // namespace View
