#pragma once

#include "MarkerMap.h"

#include <cstdint>
#include <map>
#include <vector>

// The arithmetic of revising a picture, without a window: lining up and spacing a group of
// markers, and giving the markers numbers without gaps.
namespace Markers {

enum class Alignment {
    Left,     // every Left to the group's smallest Left
    HCenter,  // centred between the group's smallest Left and largest Right
    Right,    // every Right to the group's largest Right
    Top,
    VMiddle,
    Bottom,
    // First and last (by Left, then by key) stay; the Lefts between them are spaced evenly, so
    // the gaps between left edges are equal (markers of one size then have equal gaps between
    // them too). Tops stay.
    Across,
    // The same downwards, by Top.
    Down,
};

// How many markers a group needs for the alignment to do anything: two, three to distribute.
int MinimumGroup(Alignment alignment);

// The keys of the markers lying wholly inside `rect`, edges inclusive, the rule by which Delete
// removes the markers inside the selection rectangle; ascending.
std::vector<int32_t> KeysInside(const MarkerMap& map, const TRect& rect);

// Where the markers of `keys` go: for each of them that moves, its new rectangle (the same
// width and height). A centre is found as CenteredMarker finds it: Left = minLeft +
// half(maxRight - minLeft - width), half rounding toward minus infinity. Edges saturate at the
// 32-bit range (a work file may hold any edges). Empty for a group smaller than MinimumGroup.
std::map<int32_t, Marker> Arranged(const MarkerMap& map, const std::vector<int32_t>& keys,
                                   Alignment alignment);

// The keys the placed markers take when their numbers close up: the smallest becomes key 0
// (number 1), the next key 1 and so on, in their order. Only the keys that change are listed,
// as old key -> new key.
std::map<int32_t, int32_t> CompactedKeys(const MarkerMap& map);

}  // namespace Markers
