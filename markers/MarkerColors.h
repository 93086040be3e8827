#pragma once

// The sixteen marker colours and the glyph resources made for each. Header-only and Qt-free so
// that the glyph generator (tools/glyphgen) draws from the very same table.

#include <array>
#include <cstdint>
#include <string_view>

namespace Markers {

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
    // The document colour value red + 256 x green + 65536 x blue.
    constexpr int32_t value() const { return red | green << 8 | blue << 16; }
};

inline constexpr Rgb kOlive{128, 128, 0};
inline constexpr Rgb kGreen{0, 128, 0};
inline constexpr Rgb kSilver{192, 192, 192};
inline constexpr Rgb kGray{128, 128, 128};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kRed{255, 0, 0};

// One marker colour: the prefix of its four glyph resources (prefix + "BOX01" ...), the colour
// of their shapes, and the colour of their background, which is drawn transparent.
struct MarkerColorEntry {
    std::string_view prefix;
    Rgb color;
    Rgb transparent;
};

// Olive shapes cannot lie on an olive background, so that set alone uses green.
inline constexpr std::array<MarkerColorEntry, 16> kMarkerColors{{
    {"BLACK", {0, 0, 0}, kOlive},
    {"MAROON", {128, 0, 0}, kOlive},
    {"GREEN", {0, 128, 0}, kOlive},
    {"OLIVE", {128, 128, 0}, kGreen},
    {"NAVY", {0, 0, 128}, kOlive},
    {"PURPLE", {128, 0, 128}, kOlive},
    {"TEAL", {0, 128, 128}, kOlive},
    {"GRAY", {128, 128, 128}, kOlive},
    {"SILVER", {192, 192, 192}, kOlive},
    {"RED", {255, 0, 0}, kOlive},
    {"LIME", {0, 255, 0}, kOlive},
    {"YELLOW", {255, 255, 0}, kOlive},
    {"BLUE", {0, 0, 255}, kOlive},
    {"FUCHSIA", {255, 0, 255}, kOlive},
    {"AQUA", {0, 255, 255}, kOlive},
    {"WHITE", {255, 255, 255}, kOlive},
}};

// The table entry for a colour value by exact value; any other value (system colours included)
// gives the "BLACK" entry.
constexpr const MarkerColorEntry& MarkerColorFor(int32_t color) {
    for (const MarkerColorEntry& e : kMarkerColors) {
        if (e.color.value() == color)
            return e;
    }
    return kMarkerColors[0];
}

// The shapes drawn in each marker colour, and the three glyphs that have no colour of their own.
inline constexpr std::array<std::string_view, 4> kColoredShapes{"BOX01", "BOX02", "CIRCLE01",
                                                                "CIRCLE02"};
inline constexpr std::string_view kGlyphNone = "NONE";
inline constexpr std::string_view kGlyphButton = "BUTTON";
inline constexpr std::string_view kGlyphSelected = "SELECTED";
inline constexpr int kGlyphCount = 3 + 16 * 4;  // 67 named glyph bitmaps

}  // namespace Markers
