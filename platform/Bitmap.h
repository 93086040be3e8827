#pragma once

#include "PixelMemory.h"

#include <QImage>
#include <QRgb>

#include <cstdint>
#include <vector>

namespace Platform {

// Bit positions of the colour channels in a 16- or 32-bit pixel (little-endian word).
struct ChannelMasks {
    uint32_t red = 0;
    uint32_t green = 0;
    uint32_t blue = 0;
    uint32_t alpha = 0;
    friend bool operator==(const ChannelMasks&, const ChannelMasks&) = default;
};

// An image in its own pixel format, laid out as a device-independent bitmap: rows of
// 4-byte-aligned stride, row 0 at the top.
//   1, 2, 4, 8 bits: indexes into colorTable(), most significant bits first.
//   16, 32 bits: little-endian words split by masks().
//   24 bits: blue, green, red bytes (so a QImage view is Format_BGR888).
// Reading a palette index beyond the colour table gives black and never reads outside the
// table (the BMP reader refuses such files; other sources, such as the clipboard, may not).
class Bitmap {
public:
    // The largest image we hold: each side below 65536 and at most 2^29 pixels, so a
    // 20000 x 20000 picture loads and no size computation comes near 64-bit limits.
    static constexpr int kMaxSide = 65535;
    static constexpr int64_t kMaxPixels = int64_t{1} << 29;

    Bitmap() = default;
    // A zero-filled bitmap. Throws ToolkitError ("ビットマップイメージが不正です") for an
    // unsupported depth or a size over the limits above.
    Bitmap(int width, int height, int bitsPerPixel);

    static bool isSupportedDepth(int bitsPerPixel);
    static bool sizeWithinLimits(int64_t width, int64_t height);
    static ChannelMasks defaultMasks(int bitsPerPixel);  // 5-5-5 for 16, 8-8-8 for 32
    static int64_t strideFor(int64_t width, int bitsPerPixel);

    bool isNull() const noexcept { return m_width == 0 || m_height == 0; }
    int width() const noexcept { return m_width; }
    int height() const noexcept { return m_height; }
    int bitsPerPixel() const noexcept { return m_bpp; }
    int64_t stride() const noexcept { return m_stride; }
    int64_t byteCount() const noexcept { return static_cast<int64_t>(m_pixels.size()); }

    uint8_t* bits() noexcept { return m_pixels.data(); }
    const uint8_t* bits() const noexcept { return m_pixels.data(); }
    uint8_t* scanLine(int y) noexcept { return m_pixels.data() + y * m_stride; }
    const uint8_t* scanLine(int y) const noexcept { return m_pixels.data() + y * m_stride; }

    const std::vector<QRgb>& colorTable() const noexcept { return m_colorTable; }
    void setColorTable(std::vector<QRgb> table) { m_colorTable = std::move(table); }
    // Meaningful for 16 and 32 bits; defaultMasks() unless set.
    const ChannelMasks& masks() const noexcept { return m_masks; }
    void setMasks(const ChannelMasks& masks) { m_masks = masks; }

    // Resolution in pixels per metre, kept so a round trip preserves it.
    int32_t dotsPerMeterX() const noexcept { return m_dpmX; }
    int32_t dotsPerMeterY() const noexcept { return m_dpmY; }
    void setDotsPerMeter(int32_t x, int32_t y) noexcept { m_dpmX = x, m_dpmY = y; }

    // New size in the same format; the pixels afterwards are zero. Throws like the constructor.
    void setSize(int width, int height);
    void setWidth(int width) { setSize(width, m_height); }
    void setHeight(int height) { setSize(m_width, height); }
    // Gives the pixel memory back; the bitmap becomes 0 x 0 and keeps its format.
    void releasePixels() noexcept;

    // 24-bit bitmaps only: a QImage over these very rows (Format_BGR888), for drawing with
    // QPainter in place. Valid until the bitmap is resized or released.
    QImage view();
    // Any format: a copy as a QImage (for the screen, the clipboard and tests).
    QImage toQImage() const;

    // One row converted to blue, green, red bytes; `out` holds width() * 3 bytes.
    void rowToBgr(int y, uint8_t* out) const;
    // The whole image as a 24-bit bitmap (same size, same resolution).
    Bitmap toBgr24() const;
    // The colour of one pixel, alpha ignored (255); slow, for tests and hit checks.
    QRgb pixel(int x, int y) const;

    // From a QImage at the image's own depth: mono -> 1 bit, indexed -> 8 bits, 16-bit
    // formats -> 16 bits with their masks, 24-bit formats -> 24 bits, 32-bit formats -> 32
    // bits; anything else is converted to 32 bits first. A null image gives a null bitmap; a
    // conversion without the memory it needs throws ToolkitError.
    static Bitmap fromQImage(const QImage& image);

private:
    int m_width = 0;
    int m_height = 0;
    int m_bpp = 24;
    int64_t m_stride = 0;
    PixelMemory m_pixels;
    std::vector<QRgb> m_colorTable;
    ChannelMasks m_masks;
    int32_t m_dpmX = 0;
    int32_t m_dpmY = 0;
};

}  // namespace Platform
