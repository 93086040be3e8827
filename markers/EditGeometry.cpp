#include "EditGeometry.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace Markers {

namespace {

int32_t saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// n halved, rounding toward minus infinity (an arithmetic shift right).
int64_t half(int64_t n) {
    return n >> 1;
}

}  // namespace

Marker MarkerAtDropPoint(int32_t x, int32_t y) {
    return MakeMarker(saturate(int64_t{x} - MarkerHotSpot), saturate(int64_t{y} - MarkerHotSpot));
}

Marker CenteredMarker(const TRect& area) {
    const int64_t left = area.Left + half(int64_t{area.Right} - area.Left - GlyphSize);
    const int64_t top = area.Top + half(int64_t{area.Bottom} - area.Top - GlyphSize);
    return MakeMarker(saturate(left), saturate(top));
}

TRect NormalizedRect(int32_t ax, int32_t ay, int32_t ex, int32_t ey) {
    return {std::min(ax, ex), std::min(ay, ey), std::max(ax, ex), std::max(ay, ey)};
}

bool IsClickGesture(int32_t ax, int32_t ay, int32_t ex, int32_t ey) {
    return std::abs(int64_t{ax} - ex) <= ClickTolerance &&
           std::abs(int64_t{ay} - ey) <= ClickTolerance;
}

int32_t ClampToExtent(int32_t v, int32_t extent) {
    return std::clamp(v, 0, std::max(extent, 0));
}

std::vector<QRect> OutlineStrips(int32_t ax, int32_t ay, int32_t ex, int32_t ey) {
    const TRect r = NormalizedRect(ax, ay, ex, ey);
    const int64_t width = int64_t{r.Right} - r.Left;
    const int64_t height = int64_t{r.Bottom} - r.Top;
    std::vector<QRect> strips;
    // Widget coordinates: anything wider than a widget can be is not drawn.
    if (width <= 0 || height <= 0 || width > std::numeric_limits<int>::max() / 2 ||
        height > std::numeric_limits<int>::max() / 2)
        return strips;
    const int left = r.Left;
    const int top = r.Top;
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    strips.emplace_back(left, top, w, 1);
    if (h > 1)
        strips.emplace_back(left, top + h - 1, w, 1);
    if (h > 2) {
        strips.emplace_back(left, top + 1, 1, h - 2);
        if (w > 1)
            strips.emplace_back(left + w - 1, top + 1, 1, h - 2);
    }
    return strips;
}

}  // namespace Markers
