#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <cstdint>
#include <limits>

namespace Markers {

// Colour values as the documents store them: red + 256 x green + 65536 x blue (0x00BBGGRR), or
// a system colour: the top bit set and the system colour's index in the low byte.
inline constexpr int32_t SystemColorFlag = std::numeric_limits<int32_t>::min();
inline constexpr int32_t clWindowText = SystemColorFlag | 8;  // -2147483640
inline constexpr int32_t clBtnFace = SystemColorFlag | 15;
inline constexpr int32_t clBtnShadow = SystemColorFlag | 16;  // the empty paint surface

constexpr int32_t ColorValue(int red, int green, int blue) {
    return (red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16;
}
int32_t ColorValue(const QColor& color);

// The colour a colour value stands for. A system colour resolves to the matching role of the
// application's palette (window text is black on a default palette); an unknown system index
// or a value with other high bits set gives black.
QColor ColorToQColor(int32_t color);

// The marker-number font. Face, size and flags are kept exactly as a work file or the font
// dialog gave them, so they are written back unchanged.
struct MarkerFont {
    QString Name = QStringLiteral("ＭＳ ゴシック");
    int32_t Size = 12;  // points
    int32_t Color = clWindowText;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    friend bool operator==(const MarkerFont&, const MarkerFont&) = default;

    // The character height in pixels at a fixed 96 dots per inch, whatever the screen:
    // points x 96 / 72 rounded to nearest (12 points give 16 pixels), so every machine draws and
    // exports the same numbers. A size of 0 gives the default 16 pixels, a negative size counts
    // by its magnitude, and the result is limited to 1 .. MaxPixelHeight.
    int PixelHeight() const;
    static constexpr int MaxPixelHeight = 1000;

    // The font to draw with: pixel-sized as above, with the four flags, grey-scale antialiased.
    // "ＭＳ ゴシック" and "ＭＳ Ｐゴシック" (the faces that documents from other systems carry)
    // are drawn with the installed Japanese gothic fonts through a font substitution.
    QFont ToQFont() const;
    QColor TextColor() const { return ColorToQColor(Color); }

    // For a font chosen in a dialog: face, size in points (a pixel-sized font is converted at 96
    // dots per inch), the four flags, and the colour chosen beside it.
    static MarkerFont FromQFont(const QFont& font, int32_t color);
};

// Registers the substitutions of the Japanese face names used by MarkerFont and the window
// ("ＭＳ ゴシック" -> IPAGothic, "ＭＳ Ｐゴシック" -> IPAPGothic). Idempotent; ToQFont calls it.
void InstallFontSubstitutions();

}  // namespace Markers
