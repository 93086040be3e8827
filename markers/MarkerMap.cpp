#include "MarkerMap.h"

namespace Markers {

bool MarkerMap::InsertMarker(int32_t key, const Marker& marker) {
    return m_entries.try_emplace(key, marker).second;
}

Marker* MarkerMap::MarkerOf(int32_t key) {
    const auto it = m_entries.find(key);
    return it == m_entries.end() ? nullptr : &it->second;
}

const Marker* MarkerMap::MarkerOf(int32_t key) const {
    const auto it = m_entries.find(key);
    return it == m_entries.end() ? nullptr : &it->second;
}

MarkerMap::iterator MarkerMap::RemoveMarker(iterator entry) {
    const int32_t key = entry->first;
    if (SelectedKey == key)
        SelectedKey = NoKey;
    if (GuideKey == key)
        GuideKey = NoKey;
    return m_entries.erase(entry);
}

bool MarkerMap::RemoveMarker(int32_t key) {
    const auto it = m_entries.find(key);
    if (it == m_entries.end())
        return false;
    RemoveMarker(it);
    return true;
}

void MarkerMap::ClearMarkers() {
    SelectedKey = NoKey;
    PaletteDragKey = NoKey;
    GuideKey = NoKey;
    SelectionRect.Left = NoKey;
    m_entries.clear();
}

int32_t MarkerMap::MarkerAtPoint(int32_t x, int32_t y) const {
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        const Marker& m = it->second;
        if (m.Left <= x && x <= m.Right && m.Top <= y && y <= m.Bottom)
            return it->first;
    }
    return NoKey;
}

}  // namespace Markers
