#include "Bitmap.h"

#include "ToolkitError.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>

namespace Platform {
namespace {

static_assert(std::endian::native == std::endian::little,
              "QImage 16/32-bit rows are taken as little-endian words");

// Extracts one channel of a 16/32-bit pixel and scales it to 0..255 with rounding
// (a 5-bit 31 gives 255, not 248). Masks up to 32 bits wide are handled in 64 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint64_t max = 0;  // the channel's largest value after shifting; 0 for an empty mask
    std::array<uint8_t, 256> lut{};
    bool useLut = false;

    explicit Channel(uint32_t m) : mask(m) {
        if (mask == 0)
            return;
        shift = std::countr_zero(mask);
        max = mask >> shift;
        if (max < lut.size()) {
            useLut = true;
            for (uint64_t v = 0; v <= max; ++v)
                lut[v] = static_cast<uint8_t>((v * 255 + max / 2) / max);
        }
    }
    uint8_t operator()(uint32_t pixel) const {
        if (max == 0)
            return 0;
        const uint64_t v = (pixel & mask) >> shift;
        return useLut ? lut[v] : static_cast<uint8_t>((v * 255 + max / 2) / max);
    }
};

// Converts rows of one bitmap to blue, green, red bytes; built once per conversion so the
// channel tables are made once.
class RowConverter {
public:
    explicit RowConverter(const Bitmap& b)
        : m_b(b), m_r(b.masks().red), m_g(b.masks().green), m_bl(b.masks().blue) {
        const auto& table = b.colorTable();
        const size_t entries = b.bitsPerPixel() <= 8 ? (size_t{1} << b.bitsPerPixel()) : 0;
        m_palette.assign(entries, 0);  // indexes beyond the table read as black
        std::copy_n(table.begin(), std::min(entries, table.size()), m_palette.begin());
        const ChannelMasks& mk = b.masks();
        m_fast32 = b.bitsPerPixel() == 32 && mk.red == 0xFF0000u && mk.green == 0xFF00u &&
                   mk.blue == 0xFFu;
    }

    void convert(int y, uint8_t* out) const {
        const uint8_t* in = m_b.scanLine(y);
        const int w = m_b.width();
        switch (m_b.bitsPerPixel()) {
            case 24:
                std::memcpy(out, in, static_cast<size_t>(w) * 3);
                return;
            case 32:
                if (m_fast32) {
                    for (int x = 0; x < w; ++x, in += 4, out += 3) {
                        out[0] = in[0];
                        out[1] = in[1];
                        out[2] = in[2];
                    }
                    return;
                }
                for (int x = 0; x < w; ++x, in += 4)
                    put(out, x, qFromLittleEndian<uint32_t>(in));
                return;
            case 16:
                for (int x = 0; x < w; ++x, in += 2)
                    put(out, x, qFromLittleEndian<uint16_t>(in));
                return;
            default:
                indexed(in, w, out);
                return;
        }
    }

private:
    void put(uint8_t* out, int x, uint32_t pixel) const {
        uint8_t* p = out + static_cast<ptrdiff_t>(x) * 3;
        p[0] = m_bl(pixel);
        p[1] = m_g(pixel);
        p[2] = m_r(pixel);
    }

    void indexed(const uint8_t* in, int w, uint8_t* out) const {
        const int bpp = m_b.bitsPerPixel();
        const int perByte = 8 / bpp;
        const unsigned valueMask = (1u << bpp) - 1;
        for (int x = 0; x < w; ++x, out += 3) {
            const int shift = 8 - bpp * (x % perByte + 1);
            const unsigned index = (in[x / perByte] >> shift) & valueMask;
            const QRgb c = m_palette[index];
            out[0] = static_cast<uint8_t>(qBlue(c));
            out[1] = static_cast<uint8_t>(qGreen(c));
            out[2] = static_cast<uint8_t>(qRed(c));
        }
    }

    const Bitmap& m_b;
    Channel m_r, m_g, m_bl;
    std::vector<QRgb> m_palette;
    bool m_fast32 = false;
};

}  // namespace

bool Bitmap::isSupportedDepth(int bpp) {
    return bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

bool Bitmap::sizeWithinLimits(int64_t width, int64_t height) {
    return width >= 0 && height >= 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

ChannelMasks Bitmap::defaultMasks(int bpp) {
    if (bpp == 16)
        return {0x7C00u, 0x03E0u, 0x001Fu, 0};
    if (bpp == 32)
        return {0xFF0000u, 0xFF00u, 0xFFu, 0};
    return {};
}

int64_t Bitmap::strideFor(int64_t width, int bpp) {
    return ((width * bpp + 31) / 32) * 4;
}

Bitmap::Bitmap(int width, int height, int bitsPerPixel) : m_bpp(bitsPerPixel) {
    if (!isSupportedDepth(bitsPerPixel))
        throw ToolkitError(Msg::invalidBitmap());
    m_masks = defaultMasks(bitsPerPixel);
    setSize(width, height);
}

void Bitmap::setSize(int width, int height) {
    if (!sizeWithinLimits(width, height))
        throw ToolkitError(Msg::invalidBitmap());
    const int64_t stride = strideFor(width, m_bpp);
    // A picture within the limits may still not fit in memory; that is reported like every
    // other failure of ours, so the command that asked for it can show it.
    try {
        m_pixels = PixelMemory(static_cast<size_t>(stride * height));
    } catch (const std::bad_alloc&) {
        throw ToolkitError(Msg::outOfMemory());
    }
    m_width = width;
    m_height = height;
    m_stride = stride;
}

void Bitmap::releasePixels() noexcept {
    m_pixels = PixelMemory();
    m_width = 0;
    m_height = 0;
    m_stride = 0;
}

QImage Bitmap::view() {
    if (m_bpp != 24 || isNull())
        return {};
    return QImage(m_pixels.data(), m_width, m_height, static_cast<qsizetype>(m_stride),
                  QImage::Format_BGR888);
}

void Bitmap::rowToBgr(int y, uint8_t* out) const {
    RowConverter(*this).convert(y, out);
}

Bitmap Bitmap::toBgr24() const {
    Bitmap result(m_width, m_height, 24);
    result.setDotsPerMeter(m_dpmX, m_dpmY);
    const RowConverter converter(*this);
    for (int y = 0; y < m_height; ++y)
        converter.convert(y, result.scanLine(y));
    return result;
}

QImage Bitmap::toQImage() const {
    if (isNull())
        return {};
    QImage image(m_width, m_height, QImage::Format_BGR888);
    const RowConverter converter(*this);
    for (int y = 0; y < m_height; ++y)
        converter.convert(y, image.scanLine(y));
    if (m_dpmX > 0 && m_dpmY > 0) {
        image.setDotsPerMeterX(m_dpmX);
        image.setDotsPerMeterY(m_dpmY);
    }
    return image;
}

QRgb Bitmap::pixel(int x, int y) const {
    std::vector<uint8_t> row(static_cast<size_t>(m_width) * 3);
    rowToBgr(y, row.data());
    const uint8_t* p = row.data() + static_cast<ptrdiff_t>(x) * 3;
    return qRgb(p[2], p[1], p[0]);
}

Bitmap Bitmap::fromQImage(const QImage& source) {
    if (source.isNull())
        return {};
    QImage image = source;
    int bpp = 32;
    ChannelMasks masks = defaultMasks(32);
    switch (image.format()) {
        case QImage::Format_Mono:
            bpp = 1;
            break;
        case QImage::Format_MonoLSB:
            image = image.convertToFormat(QImage::Format_Mono);
            bpp = 1;
            break;
        case QImage::Format_Indexed8:
            bpp = 8;
            break;
        case QImage::Format_RGB16:
            bpp = 16;
            masks = {0xF800u, 0x07E0u, 0x001Fu, 0};
            break;
        case QImage::Format_RGB555:
            bpp = 16;
            masks = defaultMasks(16);
            break;
        case QImage::Format_BGR888:
            bpp = 24;
            break;
        case QImage::Format_RGB888:
            image = image.convertToFormat(QImage::Format_BGR888);
            bpp = 24;
            break;
        case QImage::Format_RGB32:
            break;
        case QImage::Format_ARGB32:
            masks.alpha = 0xFF000000u;
            break;
        default:
            image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                  : QImage::Format_RGB32);
            if (image.hasAlphaChannel())
                masks.alpha = 0xFF000000u;
            break;
    }
    // A conversion that found no memory gives a null image: that is no empty picture.
    if (image.isNull())
        throw ToolkitError(Msg::outOfMemory());
    Bitmap result(image.width(), image.height(), bpp);
    if (bpp == 16 || bpp == 32)
        result.setMasks(masks);
    if (bpp <= 8) {
        const QList<QRgb> table = image.colorTable();
        result.setColorTable(std::vector<QRgb>(table.begin(), table.end()));
    }
    const size_t rowBytes =
        static_cast<size_t>((static_cast<int64_t>(image.width()) * bpp + 7) / 8);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(result.scanLine(y), image.constScanLine(y), rowBytes);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0)
        result.setDotsPerMeter(image.dotsPerMeterX(), image.dotsPerMeterY());
    return result;
}

}  // namespace Platform
