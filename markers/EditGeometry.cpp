#include "EditGeometry.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <map>
#include <utility>

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

// The marker of width x height whose corner is (left, top) held in 32-bit range.
Marker sizedAt(int64_t left, int64_t top, int32_t width, int32_t height) {
    const int32_t l = saturate(left), t = saturate(top);
    return {l, t, saturate(int64_t{l} + width), saturate(int64_t{t} + height)};
}

}  // namespace

Marker MarkerAtDropPoint(int32_t x, int32_t y, int32_t width, int32_t height) {
    return sizedAt(int64_t{x} - HotSpotFor(width), int64_t{y} - HotSpotFor(height), width, height);
}

Marker CenteredMarker(const TRect& area, int32_t size) {
    const int64_t left = area.Left + half(int64_t{area.Right} - area.Left - size);
    const int64_t top = area.Top + half(int64_t{area.Bottom} - area.Top - size);
    return sizedAt(left, top, size, size);
}

Marker ResizedMarker(const Marker& marker, int32_t size) {
    return sizedAt(half(int64_t{marker.Left} + marker.Right - size),
                   half(int64_t{marker.Top} + marker.Bottom - size), size, size);
}

int32_t OwnMarkerSize(const Marker& marker, int32_t fallback) {
    const int64_t w = int64_t{marker.Right} - marker.Left;
    const int64_t h = int64_t{marker.Bottom} - marker.Top;
    return w == h && w >= MinMarkerSize && w <= MaxMarkerSize ? static_cast<int32_t>(w) : fallback;
}

int32_t CommonMarkerSize(const MarkerMap& map) {
    // Side -> (count, lowest key with it); the map is visited in ascending key order.
    std::map<int32_t, std::pair<int, int32_t>> sides;
    for (const auto& [key, marker] : map) {
        const int32_t side = OwnMarkerSize(marker, 0);
        if (side == 0)
            continue;
        auto [it, fresh] = sides.try_emplace(side, 0, key);
        ++it->second.first;
    }
    int32_t best = DefaultMarkerSize;
    std::pair<int, int32_t> bestVotes{0, 0};
    for (const auto& [side, votes] : sides) {
        if (votes.first > bestVotes.first ||
            (votes.first == bestVotes.first && votes.second < bestVotes.second)) {
            best = side;
            bestVotes = votes;
        }
    }
    return best;
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
