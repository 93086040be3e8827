#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace Markers {

// What the marker-font dialog offers, worked out without widgets.

// Sizes in points that the dialog lets the user confirm for 32-pixel markers.
inline constexpr int32_t MinDialogFontSize = 8;
inline constexpr int32_t MaxDialogFontSize = 16;

// The same range for markers of another size, in proportion and rounded to nearest: 4 .. 8
// points at 16 pixels, 12 .. 24 at 48, 32 .. 64 at 128.
int32_t MinFontSizeFor(int32_t markerSize);
int32_t MaxFontSizeFor(int32_t markerSize);

// The size the dialog starts with for a MarkerFont size: the size in points as the font is
// drawn (0 stands for the default 16 pixels, 12 points; a negative size counts by its
// magnitude), limited to the range of the marker size.
int32_t DialogFontSize(int32_t size, int32_t markerSize = 32);

// The font size that goes with markers made `to` pixels from `from`: the size in points (as
// DialogFontSize reads it) in proportion, rounded to nearest, limited to the range at `to`;
// 12 points at 32 give 24 at 64 and 12 again at 32.
int32_t ScaledFontSize(int32_t size, int32_t from, int32_t to);

// Whether a face name survives the work file, which stores it in code page 932.
bool FaceFitsWorkFile(const QString& family);

// The faces the dialog offers, sorted without regard to case and without duplicates: the two
// Japanese faces the program draws through its substitutions ("ＭＳ ゴシック", "ＭＳ Ｐゴシック"),
// every installed family except private ones, symbol fonts and those whose names a work file
// could not keep, each once under its plain name (no foundry tag), and `current` (the face in
// effect, exactly as it is spelled) when it is none of those, so it can always be confirmed
// again. An empty `current` adds nothing.
QStringList OfferedFontFamilies(const QString& current);

// The colour values the dialog offers: the sixteen marker colours in their table order, with
// `current` in front when it is none of them (the system window-text colour the program starts
// with, or any value a work file brought), so the colour in effect is kept unless another one
// is chosen.
std::vector<int32_t> OfferedFontColors(int32_t current);

}  // namespace Markers
