#include "Arrange.h"

#include <algorithm>
#include <limits>

namespace Markers {
namespace {

int32_t saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int64_t floorHalf(int64_t v) {
    return v >= 0 ? v / 2 : -((-v + 1) / 2);
}

// One axis of a marker: its near edge (Left or Top) and its far edge (Right or Bottom).
struct Axis {
    int32_t Marker::*Near;
    int32_t Marker::*Far;
};

constexpr Axis kHorizontal{&Marker::Left, &Marker::Right};
constexpr Axis kVertical{&Marker::Top, &Marker::Bottom};

Axis axisOf(Alignment a) {
    switch (a) {
        case Alignment::Left:
        case Alignment::HCenter:
        case Alignment::Right:
        case Alignment::Across:
            return kHorizontal;
        default:
            return kVertical;
    }
}

// The marker with its near edge at `edge`, its size kept.
Marker movedTo(const Marker& m, const Axis& axis, int64_t edge) {
    Marker r = m;
    const int64_t size = int64_t{m.*axis.Far} - (m.*axis.Near);
    r.*axis.Near = saturate(edge);
    r.*axis.Far = saturate(edge + size);
    return r;
}

}  // namespace

int MinimumGroup(Alignment alignment) {
    return alignment == Alignment::Across || alignment == Alignment::Down ? 3 : 2;
}

std::vector<int32_t> KeysInside(const MarkerMap& map, const TRect& rect) {
    std::vector<int32_t> keys;
    for (const auto& [key, m] : map) {
        if (m.Left >= rect.Left && m.Right <= rect.Right && m.Top >= rect.Top &&
            m.Bottom <= rect.Bottom)
            keys.push_back(key);
    }
    return keys;
}

std::map<int32_t, Marker> Arranged(const MarkerMap& map, const std::vector<int32_t>& keys,
                                   Alignment alignment) {
    std::vector<std::pair<int32_t, Marker>> group;
    for (int32_t key : keys) {
        if (const Marker* m = map.MarkerOf(key))
            group.emplace_back(key, *m);
    }
    std::map<int32_t, Marker> moved;
    if (group.size() < static_cast<std::size_t>(MinimumGroup(alignment)))
        return moved;

    const Axis axis = axisOf(alignment);
    int64_t lowest = std::numeric_limits<int64_t>::max();
    int64_t highest = std::numeric_limits<int64_t>::min();
    for (const auto& [key, m] : group) {
        lowest = std::min<int64_t>(lowest, m.*axis.Near);
        highest = std::max<int64_t>(highest, m.*axis.Far);
    }
    if (alignment == Alignment::Across || alignment == Alignment::Down) {
        std::stable_sort(group.begin(), group.end(), [&](const auto& a, const auto& b) {
            return a.second.*axis.Near < b.second.*axis.Near;
        });
        const int64_t first = group.front().second.*axis.Near;
        const int64_t span = int64_t{group.back().second.*axis.Near} - first;
        const int64_t gaps = static_cast<int64_t>(group.size()) - 1;
        for (std::size_t i = 1; i + 1 < group.size(); ++i) {
            const int64_t step = span * static_cast<int64_t>(i);
            // Floor division, so a group spread leftwards or upwards rounds the same way.
            const int64_t offset = step >= 0 ? step / gaps : -((-step + gaps - 1) / gaps);
            group[i].second = movedTo(group[i].second, axis, first + offset);
        }
    } else {
        for (auto& [key, m] : group) {
            const int64_t size = int64_t{m.*axis.Far} - (m.*axis.Near);
            switch (alignment) {
                case Alignment::Left:
                case Alignment::Top:
                    m = movedTo(m, axis, lowest);
                    break;
                case Alignment::Right:
                case Alignment::Bottom:
                    m = movedTo(m, axis, highest - size);
                    break;
                default:
                    m = movedTo(m, axis, lowest + floorHalf(highest - lowest - size));
                    break;
            }
        }
    }
    for (const auto& [key, m] : group) {
        if (m != *map.MarkerOf(key))
            moved.emplace(key, m);
    }
    return moved;
}

std::map<int32_t, int32_t> CompactedKeys(const MarkerMap& map) {
    std::map<int32_t, int32_t> renamed;
    int32_t next = 0;
    for (const auto& [key, m] : map) {
        if (key != next)
            renamed.emplace(key, next);
        ++next;
    }
    return renamed;
}

}  // namespace Markers
