#include "MarkerEdit.h"

#include "Compositor.h"

#include <limits>

namespace Markers {
namespace {

constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kMax = std::numeric_limits<int32_t>::max();

bool fits(int64_t edge) {
    return edge >= kMin && edge <= kMax;
}

// Both edges of one axis moved by step, unless either would leave the 32-bit range.
bool shift(int32_t& low, int32_t& high, int step) {
    const int64_t newLow = int64_t{low} + step;
    const int64_t newHigh = int64_t{high} + step;
    if (!fits(newLow) || !fits(newHigh))
        return false;
    low = static_cast<int32_t>(newLow);
    high = static_cast<int32_t>(newHigh);
    return true;
}

bool inside(const Marker& m, const TRect& r) {
    return m.Left >= r.Left && m.Right <= r.Right && m.Top >= r.Top && m.Bottom <= r.Bottom;
}

}  // namespace

const Marker* NudgeSelectedMarker(MarkerMap& map, NudgeDirection direction, int32_t imageWidth,
                                  int32_t imageHeight) {
    Marker* m = map.MarkerOf(map.SelectedKey);
    if (!m)
        return nullptr;
    bool moved = false;
    switch (direction) {
        case NudgeDirection::Left:
            moved = m->Left > 0 && shift(m->Left, m->Right, -1);
            break;
        case NudgeDirection::Up:
            moved = m->Top > 0 && shift(m->Top, m->Bottom, -1);
            break;
        case NudgeDirection::Right:
            moved = m->Right < imageWidth && shift(m->Left, m->Right, 1);
            break;
        case NudgeDirection::Down:
            moved = m->Bottom < imageHeight && shift(m->Top, m->Bottom, 1);
            break;
    }
    return moved ? m : nullptr;
}

// One ascending walk is enough: removing an entry leaves the others where they were, so the
// walk that would start again from the first marker after each removal finds the same ones.
Deletion DeleteMarkersInSelectionRect(MarkerMap& map) {
    Deletion result;
    if (!map.HasSelectionRect())
        return result;
    const TRect rect = map.SelectionRect;
    for (auto it = map.begin(); it != map.end();) {
        if (!inside(it->second, rect)) {
            ++it;
            continue;
        }
        result.SelectedRemoved = result.SelectedRemoved || it->first == map.SelectedKey;
        ++result.Removed;
        it = map.RemoveMarker(it);
    }
    return result;
}

Deletion DeleteSelectedMarker(MarkerMap& map) {
    if (!map.RemoveMarker(map.SelectedKey))
        return {};
    return {1, true};
}

void ClearSelection(MarkerMap& map) {
    map.SelectionRect.Left = NoKey;
    map.GuideKey = NoKey;
    map.SelectedKey = NoKey;
}

std::optional<int32_t> StyleFromTag(const QVariant& tag) {
    bool ok = false;
    const qlonglong value = tag.toLongLong(&ok);
    if (!ok || value < StyleNone || value > StyleCircle2)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

}  // namespace Markers
