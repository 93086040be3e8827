#pragma once

#include "Marker.h"
#include "MarkerMap.h"

#include <QRect>

#include <cstdint>
#include <vector>

// The arithmetic of editing with the mouse, without a window: where a dropped or double-clicked
// marker lands, and the rubber band's rectangle, clamping and outline.
namespace Markers {

// A marker dropped with the pointer at (x, y) has its pixel (15, 15) under the pointer, the 16th
// pixel of its cell in both directions; the drag cursor's hot spot is the same pixel.
inline constexpr int32_t MarkerHotSpot = 15;
// A rubber band that ends this many pixels or fewer from its anchor, in both directions, is a
// click and makes no rectangle.
inline constexpr int32_t ClickTolerance = 2;

// The marker a drop at (x, y) makes: Left = x - 15, Top = y - 15, 32 x 32. A marker of
// another size keeps the same place in its cell under the pointer, the pixel (side / 2 - 1) of
// each side (23 of 48, 7 of 16), so the pointer stays at its middle. Edges that would pass the
// 32-bit range stop at its ends.
Marker MarkerAtDropPoint(int32_t x, int32_t y, int32_t width = GlyphSize,
                         int32_t height = GlyphSize);
// The pixel of a side that lies under the pointer: 15 for 32.
constexpr int32_t HotSpotFor(int32_t side) {
    return side / 2 - 1;
}

// The marker a palette double-click makes, centred in `area` (the whole image as (0, 0, width,
// height), or the selection rectangle): Left = area.Left + half(area.Right - area.Left - 32),
// likewise Top, where half rounds toward minus infinity. Not clamped: on an area narrower than
// 32 pixels the marker sticks out on both sides. A marker of another size is centred alike.
Marker CenteredMarker(const TRect& area, int32_t size = GlyphSize);

// A marker made size x size about the centre of its rectangle: Left = (Left + Right - size)
// halved toward minus infinity, likewise Top, so 32 to 48 moves the corner by 8 up and left
// and 48 back to 32 brings it back. Edges stop at the ends of the 32-bit range.
Marker ResizedMarker(const Marker& marker, int32_t size);

// The marker size a document's markers have: the most common side among its square markers
// of MinMarkerSize .. MaxMarkerSize; on a tie, the side of the lowest key among the tied ones;
// DefaultMarkerSize when no marker is such a square (no markers, only odd rectangles).
int32_t CommonMarkerSize(const MarkerMap& map);

// A marker's own size when it is a square the document can have (MinMarkerSize ..
// MaxMarkerSize), else `fallback`: a dragged marker keeps its size, an odd rectangle from a
// work file takes the document's.
int32_t OwnMarkerSize(const Marker& marker, int32_t fallback);

// The rectangle between two corners given in any order: Left <= Right, Top <= Bottom.
TRect NormalizedRect(int32_t ax, int32_t ay, int32_t ex, int32_t ey);

// True when the end lies within ClickTolerance of the anchor in both directions.
bool IsClickGesture(int32_t ax, int32_t ay, int32_t ex, int32_t ey);

// v held between 0 and extent, both inclusive: the end of a rubber band may lie one pixel past
// the last pixel of the image.
int32_t ClampToExtent(int32_t v, int32_t extent);

// The pixels of a one-pixel outline drawn from corner to corner as the window system draws a
// rectangle: columns min .. max - 1 and rows min .. max - 1, so a rectangle of zero width or
// height draws nothing. The strips do not overlap, so inverting each of them once inverts every
// pixel of the outline exactly once.
std::vector<QRect> OutlineStrips(int32_t ax, int32_t ay, int32_t ex, int32_t ey);

}  // namespace Markers
