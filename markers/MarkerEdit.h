#pragma once

#include "MarkerMap.h"

#include <QVariant>

#include <cstdint>
#include <optional>

namespace Markers {

// The keyboard's edits of the selection and the placed markers, and the style a control's tag
// names: the rules behind the window's key and style handlers, kept free of widgets.

// The four directions an arrow key nudges the selected marker in.
enum class NudgeDirection { Left, Up, Right, Down };

// Moves the selected marker (SelectedKey naming a placed marker) by one pixel, both edges of
// the axis together so its size stays. The edge on the side it moves towards must lie inside
// the image first: Left > 0, Top > 0, Right < imageWidth, Bottom < imageHeight. A marker inside
// the image therefore stays inside; one that hangs over an edge cannot go further out there, and
// the opposite direction brings it back a pixel at a time. A move that would take an edge past
// the 32-bit range (a work file may hold any edges) is refused as well. Returns the moved
// marker, or nullptr when nothing moved.
const Marker* NudgeSelectedMarker(MarkerMap& map, NudgeDirection direction, int32_t imageWidth,
                                  int32_t imageHeight);

// What a deletion took away.
struct Deletion {
    int Removed = 0;
    // The selected marker was among the removed ones (it is no longer selected).
    bool SelectedRemoved = false;
};

// Removes every marker lying wholly inside SelectionRect, edges inclusive (Left >= its Left,
// Right <= its Right, Top >= its Top, Bottom <= its Bottom); one that only overlaps it stays.
// Selection and guide lines go with a removed marker. The SelectionRect itself stays, so a
// second call finds nothing more. Nothing happens without a SelectionRect.
Deletion DeleteMarkersInSelectionRect(MarkerMap& map);

// Removes the selected marker, with its selection and its guide lines. Nothing happens when
// SelectedKey names no placed marker.
Deletion DeleteSelectedMarker(MarkerMap& map);

// No selected marker, no guide lines, no selection rectangle. The markers stay.
void ClearSelection(MarkerMap& map);

// The BackgroundStyle a style control stands for: its tag when that converts to a number from
// StyleNone (0) to StyleCircle2 (5); nothing for a missing tag or any other value.
std::optional<int32_t> StyleFromTag(const QVariant& tag);

}  // namespace Markers
