#pragma once

#include <cstdint>
#include <limits>

namespace Markers {

// The key value that names no marker; also the Left of a SelectionRect that is absent.
inline constexpr int32_t NoKey = std::numeric_limits<int32_t>::max();

// Width and height of a marker glyph, of an image of ILBits and of a palette cell.
inline constexpr int GlyphSize = 32;

// The marker size of a document: the side of the square markers it places, 32 (the glyphs' own
// size) unless the user chose another one or a work file's markers have another one.
inline constexpr int32_t MinMarkerSize = 16;
inline constexpr int32_t MaxMarkerSize = 128;
inline constexpr int32_t DefaultMarkerSize = GlyphSize;

// A rectangle of four signed 32-bit edges in source-image pixels.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};

// One placed marker: the glyph's rectangle on the image. Right and Bottom are one past the
// glyph's last column and row for drawing; the hit test (MarkerMap::MarkerAtPoint) counts them
// as inside. A work file may hold any values; they are kept unchanged.
using Marker = TRect;

// A marker of size x size (a glyph's size unless given) with its top-left pixel at (left, top).
// Right and Bottom saturate at the largest 32-bit value instead of wrapping round for a left or
// top near that limit.
constexpr Marker MakeMarker(int32_t left, int32_t top, int32_t size = GlyphSize) {
    auto far = [size](int32_t edge) {
        const int64_t v = int64_t{edge} + size;
        return v > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                       : static_cast<int32_t>(v);
    };
    return {left, top, far(left), far(top)};
}

// The number a marker shows: its key + 1 (64 bits, so the largest key does not wrap).
constexpr int64_t MarkerNumber(int32_t key) {
    return int64_t{key} + 1;
}

}  // namespace Markers
