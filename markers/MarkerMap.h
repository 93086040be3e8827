#pragma once

#include "Marker.h"

#include <cstddef>
#include <cstdint>
#include <map>

namespace Markers {

// The placed markers of the open document, ordered by key (the 0-based palette column; the
// number shown is key + 1), together with the selection state that lives beside them.
//
// Iterating visits (key, Marker) pairs in ascending signed key order:
//     for (const auto& [key, marker] : map) ...
// Removing an entry leaves every other entry (and iterators to it) valid, so a loop may remove
// as it goes:
//     for (auto it = map.begin(); it != map.end();)
//         it = inside(it->second) ? map.RemoveMarker(it) : std::next(it);
class MarkerMap {
public:
    using Entries = std::map<int32_t, Marker>;
    using iterator = Entries::iterator;
    using const_iterator = Entries::const_iterator;

    // ---- Selection state (NoKey means none) ----
    // The selected marker, drawn with the selection overlay; the arrow keys and Delete act on it.
    int32_t SelectedKey = NoKey;
    // The marker whose outermost rows and columns are drawn as guide lines across the image.
    int32_t GuideKey = NoKey;
    // The palette column of the unplaced number pressed last.
    int32_t PaletteDragKey = NoKey;
    // The rectangle left by the last rubber band, Left <= Right and Top <= Bottom; absent when
    // its Left is NoKey (the other three edges are then meaningless).
    TRect SelectionRect{NoKey, 0, 0, 0};

    bool HasSelectionRect() const noexcept { return SelectionRect.Left != NoKey; }

    // ---- Entries ----
    // Stores the marker under the key and returns true. A key already placed keeps its marker
    // (the offered one is discarded) and the result is false.
    bool InsertMarker(int32_t key, const Marker& marker);

    // Exact-key lookup: the entry, or end() when the key is not placed.
    iterator FindMarker(int32_t key) { return m_entries.find(key); }
    const_iterator FindMarker(int32_t key) const { return m_entries.find(key); }
    bool IsPlaced(int32_t key) const { return m_entries.contains(key); }

    // Marker access: the stored marker of a placed key, changeable in place (a move rewrites its
    // edges). For a key that is not placed the result is nullptr and nothing is created.
    Marker* MarkerOf(int32_t key);
    const Marker* MarkerOf(int32_t key) const;

    // Destroys the entry's marker and removes the entry; returns the entry after it. `entry` must
    // be a valid, dereferenceable entry of this map. SelectedKey and GuideKey are set to NoKey
    // when they named the removed key, so they never name a marker that is gone.
    iterator RemoveMarker(iterator entry);
    // The same for a key; false when the key was not placed.
    bool RemoveMarker(int32_t key);

    // Sets SelectedKey, PaletteDragKey, GuideKey and SelectionRect.Left to NoKey, then removes
    // every marker.
    void ClearMarkers();

    // Hit test: the largest key whose rectangle holds (x, y) with all four edges inside
    // (Left <= x <= Right, Top <= y <= Bottom), so a 32 x 32 glyph answers to 33 x 33 pixels and
    // among overlapping markers the one drawn on top wins. NoKey when none holds it.
    int32_t MarkerAtPoint(int32_t x, int32_t y) const;

    // ---- Ascending iteration ----
    iterator begin() { return m_entries.begin(); }
    iterator end() { return m_entries.end(); }
    const_iterator begin() const { return m_entries.begin(); }
    const_iterator end() const { return m_entries.end(); }
    std::size_t size() const noexcept { return m_entries.size(); }
    bool empty() const noexcept { return m_entries.empty(); }

private:
    Entries m_entries;
};

}  // namespace Markers
