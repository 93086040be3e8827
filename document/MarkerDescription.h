#pragma once

#include "MarkerFont.h"
#include "MarkerMap.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>

// A document described in JSON, for scripts: what `pictanote-render --info` prints and what
// `--make` reads.
//
//   {"font": {"face": str, "size": int, "color": int, "bold": bool, "italic": bool,
//             "underline": bool, "strikeout": bool},
//    "style": int, "size": int (read only), "image": {"width": int, "height": int, "bits": int},
//    "markers": [{"key": int, "number": int, "left": int, "top": int, "right": int,
//                 "bottom": int}, ...]}
namespace Document {

// The keys a marker may have: the palette's 99 columns.
inline constexpr int32_t kLowestKey = 0;
inline constexpr int32_t kHighestKey = 98;

struct Description {
    Markers::MarkerFont Font;
    int32_t BackgroundStyle = 1;
    Markers::MarkerMap Markers;
    // The side of the markers that give no right or bottom, MinMarkerSize .. MaxMarkerSize.
    int32_t MarkerSize = Markers::DefaultMarkerSize;
};

// The source image's side of --info.
struct ImageShape {
    int Width = 0;
    int Height = 0;
    int Bits = 0;
};

// The JSON object above on one line, keys in that order, ended by a line feed; markers in
// ascending key order, `number` being key + 1.
QByteArray DescribeAsJson(const Markers::MarkerFont& font, int32_t backgroundStyle,
                          const ImageShape& image, const Markers::MarkerMap& markers);

// Reads a description. `font` and `style` may be left out, as may any key of the font: the
// given defaults stand for them. `image` and each marker's `number` are ignored; a marker
// needs `key`, `left` and `top`, and `right` and `bottom` default to left + size and top +
// size, where the optional document-wide `size` (16 .. 128) is 32 unless given.
// Refused with a message naming the place ("3:14: ..." for a syntax error at line 3,
// column 14; "markers[2].key: ..." for a value): keys outside 0 .. 98, a key given twice, a
// face that code page 932 cannot hold (or holding a line end or a NUL), a style outside 0 .. 5,
// a size outside 16 .. 128,
// values of the wrong type and members we do not know. The message is the result's Error.
struct DescriptionRead {
    std::optional<Description> Value;
    QString Error;
};
DescriptionRead ReadDescription(QByteArrayView json, const Description& defaults);

}  // namespace Document
