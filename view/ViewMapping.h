#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>

namespace View {

// A zoom factor as an exact fraction, so image and view pixels map without rounding drift.
struct ZoomFactor {
    int Num = 1;
    int Den = 1;
    double Value() const noexcept { return static_cast<double>(Num) / Den; }
    friend bool operator==(const ZoomFactor&, const ZoomFactor&) = default;
};

// The fixed steps, 12.5 % to 800 %. Factors like 1.1 draw uneven pixel rows; these keep
// every image pixel an even block (above 100 %) or every block of pixels an even average
// (below).
inline constexpr std::array<ZoomFactor, 12> kZoomSteps = {{{1, 8},
                                                           {1, 4},
                                                           {1, 3},
                                                           {1, 2},
                                                           {2, 3},
                                                           {1, 1},
                                                           {3, 2},
                                                           {2, 1},
                                                           {3, 1},
                                                           {4, 1},
                                                           {6, 1},
                                                           {8, 1}}};
inline constexpr int kActualSizeStep = 5;
inline constexpr int kLastStep = static_cast<int>(kZoomSteps.size()) - 1;

// Rounds toward minus infinity, also for negative numerators (pointers left of the image).
constexpr int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// The arithmetic of a zoomed, scrolled view of an image, without a widget. "View" points are
// pixels of the zoomed picture (the paint surface's own coordinates); "viewport" points are
// those of the visible window onto it, the view point minus the scroll position. Image pixel i
// covers view pixels floor(i * factor) .. floor((i + 1) * factor) - 1.
class ViewMapping {
public:
    void SetImageSize(QSize size) noexcept { m_image = size; }
    QSize ImageSize() const noexcept { return m_image; }
    // Held to 0 .. kLastStep.
    void SetStep(int step) noexcept;
    int Step() const noexcept { return m_step; }
    ZoomFactor Factor() const noexcept { return kZoomSteps[static_cast<size_t>(m_step)]; }
    bool ActualSize() const noexcept { return m_step == kActualSizeStep; }

    // The zoomed picture's size: every image pixel's block, at least one pixel per side of a
    // non-empty image.
    QSize ViewSize() const noexcept;
    // The image pixel under a view point (outside the image too, for drags past its edge);
    // below 100 % the first of the pixels the view pixel stands for.
    QPoint ToImage(QPoint view) const noexcept;
    // The view pixel at the top-left of an image pixel's block.
    QPoint ToView(QPoint image) const noexcept;
    // The view pixels covering the image rectangle (every one its pixels are drawn in or
    // averaged into), and the image pixels a view rectangle shows.
    QRect ToView(const QRect& image) const noexcept;
    QRect ToImage(const QRect& view) const noexcept;

    // The largest step at which the whole image shows in `viewport`; the smallest step when
    // none does, 100 % for an empty image.
    static int FitStep(QSize image, QSize viewport) noexcept;
    // The step one up or one down from `step`, held to the list.
    static int NextStep(int step, int direction) noexcept;

    // The scroll position that keeps the image point under `anchor` (a viewport point) where
    // it is when the view goes from step `from` to step `to`, held to the scroll range of a
    // viewport of `viewport` over the image at the new step.
    QPoint ScrollAfterZoom(int from, int to, QPoint scroll, QPoint anchor,
                           QSize viewport) const noexcept;

    // The scroll position that shows `imageRect` whole (as much as fits, its top-left first)
    // when it is not, moving as little as possible; `scroll` when it already shows.
    QPoint EnsureVisible(const QRect& imageRect, QPoint scroll, QSize viewport) const noexcept;

    // Held to 0 .. (view size - viewport), per axis.
    QPoint ClampScroll(QPoint scroll, QSize viewport) const noexcept;

private:
    QSize m_image;
    int m_step = kActualSizeStep;
};

// While a drag is held near or past the viewport's edge the view scrolls by this many view
// pixels per tick along one axis: nothing farther inside than the edge zone, a few pixels just
// inside it, growing with the distance past the edge, up to a cap.
int AutoScrollStep(int position, int extent) noexcept;
inline constexpr int kAutoScrollZone = 16;
inline constexpr int kAutoScrollMax = 256;

}  // namespace View
