#pragma once

#include "Bitmap.h"
#include "MarkerColors.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <map>
#include <tuple>

namespace Markers {

// Marker shapes of any size, for markers that are not the 32 x 32 of the glyph bitmaps: the
// six background styles drawn as antialiased shapes that fill a width x height rectangle, in
// the look of the glyphs (the button's silver face with its white highlight and grey shadow,
// the frames and rings in the colour set's colour, white insides for the filled styles), their
// strokes in proportion to the smaller side (2 and 3 pixels at 32).

// The largest side a shape is drawn at; a marker rectangle beyond it (a work file may hold any)
// keeps the 32 x 32 glyph, so no rectangle can make a shape of unbounded size.
inline constexpr int MaxShapeSide = 1024;

// The shape of `style` (0 .. 5) in a premultiplied ARGB image of width x height (1 ..
// MaxShapeSide each); `color` is the colour of the frames and rings. StyleNone and any other
// style give a transparent image.
QImage DrawMarkerShape(int width, int height, int32_t style, Rgb color);

// Draws a premultiplied ARGB image onto a 24-bit bitmap with its top-left corner at (x, y),
// clipped to the bitmap, blending by its alpha. Coordinates may lie anywhere in 64-bit range.
void BlendImage(Platform::Bitmap& canvas, int64_t x, int64_t y, const QImage& image);

// The shapes drawn so far, by size, style and colour, so composing the picture draws each
// shape once rather than once per marker per frame. Bounded: past a few tens of megabytes the
// cache starts afresh.
class ShapeCache {
public:
    const QImage& Shape(int width, int height, int32_t style, Rgb color);
    void Clear() noexcept {
        m_shapes.clear();
        m_bytes = 0;
    }
    std::size_t Count() const noexcept { return m_shapes.size(); }

private:
    using Key = std::tuple<int, int, int32_t, int32_t>;
    std::map<Key, QImage> m_shapes;
    std::size_t m_bytes = 0;
};

}  // namespace Markers
