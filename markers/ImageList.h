#pragma once

#include "Bitmap.h"
#include "Marker.h"

#include <QRgb>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace Markers {

// The program's own glyph bitmaps are resources under this prefix: ":/glyphs/NONE",
// ":/glyphs/REDBOX01" and so on (target pictanote-glyphs, made by tools/glyphgen).
inline const QString kGlyphResourcePrefix = QStringLiteral(":/glyphs/");

// An image list of 32 x 32 masked images (the list behind ILBits). Each image keeps its pixels
// as blue, green, red bytes and, per row, the runs of opaque pixels, so drawing one is a few
// short row copies straight into a 24-bit bitmap.
class ImageList {
public:
    static constexpr int Width = GlyphSize;
    static constexpr int Height = GlyphSize;

    void Clear() noexcept { m_images.clear(); }
    int Count() const noexcept { return static_cast<int>(m_images.size()); }

    // Appends the images of a bitmap, cut into Width-wide pieces from the left (a 32 x 32
    // bitmap gives one). Pixels whose colour equals `transparent` exactly are transparent, all
    // others opaque. Throws Platform::ToolkitError ("ビットマップイメージが不正です") for a
    // bitmap whose height is not Height or whose width is not a multiple of Width.
    void Add(const Platform::Bitmap& bitmap, QRgb transparent);
    // The same for a named resource (kGlyphResourcePrefix + name) read with our BMP reader.
    // Throws Platform::ToolkitError when the resource is missing or not a valid bitmap.
    void AddResource(const QString& name, QRgb transparent);

    // Draws image `index` with its top-left corner at (x, y) onto a 24-bit bitmap, clipped to
    // the bitmap; transparent pixels leave the bitmap untouched. Coordinates may lie anywhere in
    // 64-bit range; an index outside the list or a bitmap of another depth draws nothing.
    void Draw(Platform::Bitmap& canvas, int64_t x, int64_t y, int index) const;
    // Draws only the pixels of image `index` inside its columns [left, left + width) and rows
    // [top, top + height), each where Draw would put it with the image's corner at (x, y).
    void DrawPart(Platform::Bitmap& canvas, int64_t x, int64_t y, int index, int left, int top,
                  int width, int height) const;

    // One pixel of an image: its colour, or nothing where it is transparent (for tests and
    // previews). Index and position must be inside the list and the image.
    std::optional<QRgb> Pixel(int index, int x, int y) const;

private:
    struct Run {
        uint8_t start = 0;
        uint8_t length = 0;
    };
    struct Image {
        std::array<uint8_t, Width * Height * 3> bgr{};
        std::array<std::vector<Run>, Height> runs;
    };
    std::vector<Image> m_images;
};

}  // namespace Markers
