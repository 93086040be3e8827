// PNG files with libdeflate: the rows are filtered into one buffer and compressed in one call.
//
// A picture that does not compress (a photograph without filtering, noise) costs a deflate
// encoder the most time for no gain, so a sample of its rows is tried first and such a
// picture is written as stored deflate blocks, which any reader takes.
#include "ImageFile.h"

#include "ToolkitError.h"

#include <libdeflate.h>

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace Platform {
namespace {

// On a screenshot-like 8K picture levels 1 to 4 all take about a quarter of a second here;
// level 3 writes half the bytes of level 1. Higher levels cost several times the time.
constexpr int kLevel = 3;
// A sample this compressed or worse (compressed size / raw size) is not worth deflating.
constexpr double kIncompressible = 0.9;
constexpr int kSampleEvery = 32;
constexpr size_t kStoredBlock = 65535;
constexpr size_t kMaxChunk = size_t{1} << 30;

// Memory the encoder fills itself: no time spent clearing 100 MB first.
struct Buffer {
    explicit Buffer(size_t n) : data(std::make_unique_for_overwrite<uint8_t[]>(n)), size(n) {}
    std::unique_ptr<uint8_t[]> data;
    size_t size;
};

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

void putU32(QByteArray& out, uint32_t v) {
    char b[4];
    qToBigEndian(v, b);
    out.append(b, 4);
}

void putChunk(QByteArray& out, const char type[4], const uint8_t* data, size_t size) {
    putU32(out, static_cast<uint32_t>(size));
    const qsizetype at = out.size();
    out.append(type, 4);
    if (size)
        out.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const uint32_t crc = libdeflate_crc32(0, out.constData() + at, size + 4);
    putU32(out, crc);
}

// Each row behind its filter byte: "Up" (the difference to the row above), which turns the
// flat and repeated areas of a screenshot into runs of zeros.
// A 24-bit bitmap's rows are read in place; other depths are turned into BGR rows first.
Buffer filteredRows(const Bitmap& bitmap) {
    const size_t rowBytes = size_t(bitmap.width()) * 3;
    const size_t stride = rowBytes + 1;
    const bool direct = bitmap.bitsPerPixel() == 24;
    Buffer raw(stride * size_t(bitmap.height()));
    std::vector<uint8_t> zeros(rowBytes, 0);
    std::vector<uint8_t> rows[2];
    if (!direct) {
        rows[0].resize(rowBytes);
        rows[1].resize(rowBytes);
    }
    const uint8_t* above = zeros.data();
    for (int y = 0; y < bitmap.height(); ++y) {
        const uint8_t* bgr = bitmap.scanLine(y);
        if (!direct) {
            bitmap.rowToBgr(y, rows[y & 1].data());
            bgr = rows[y & 1].data();
        }
        uint8_t* out = raw.data.get() + stride * size_t(y);
        *out++ = 2;
        for (size_t x = 0; x < rowBytes; x += 3, out += 3) {
            out[0] = static_cast<uint8_t>(bgr[x + 2] - above[x + 2]);
            out[1] = static_cast<uint8_t>(bgr[x + 1] - above[x + 1]);
            out[2] = static_cast<uint8_t>(bgr[x] - above[x]);
        }
        above = bgr;
    }
    return raw;
}

bool worthCompressing(libdeflate_compressor* c, const Buffer& raw, size_t stride) {
    const size_t rows = raw.size / stride;
    std::vector<uint8_t> sample;
    sample.reserve((rows / kSampleEvery + 1) * stride);
    for (size_t y = 0; y < rows; y += kSampleEvery)
        sample.insert(sample.end(), raw.data.get() + y * stride, raw.data.get() + (y + 1) * stride);
    std::vector<uint8_t> out(libdeflate_zlib_compress_bound(c, sample.size()));
    const size_t size =
        libdeflate_zlib_compress(c, sample.data(), sample.size(), out.data(), out.size());
    return size != 0 && double(size) < kIncompressible * double(sample.size());
}

// The size of a zlib stream of stored blocks: header, blocks of at most 65535 bytes each
// behind their 5-byte headers, Adler-32.
size_t storedSize(size_t rawSize) {
    const size_t blocks = std::max<size_t>(1, (rawSize + kStoredBlock - 1) / kStoredBlock);
    return 2 + blocks * 5 + rawSize + 4;
}

void writeStored(const Buffer& raw, uint8_t* out) {
    *out++ = 0x78;
    *out++ = 0x01;
    size_t at = 0;
    do {
        const size_t n = std::min(kStoredBlock, raw.size - at);
        *out++ = at + n == raw.size ? 1 : 0;
        *out++ = static_cast<uint8_t>(n);
        *out++ = static_cast<uint8_t>(n >> 8);
        *out++ = static_cast<uint8_t>(~n);
        *out++ = static_cast<uint8_t>(~n >> 8);
        if (n)
            std::memcpy(out, raw.data.get() + at, n);
        out += n;
        at += n;
    } while (at < raw.size);
    qToBigEndian(libdeflate_adler32(1, raw.data.get(), raw.size), out);
}

QByteArray pngHeader(const Bitmap& bitmap, size_t expected) {
    QByteArray png;
    png.reserve(static_cast<qsizetype>(expected + 128));
    png.append("\x89PNG\r\n\x1a\n", 8);
    uint8_t header[13] = {};
    qToBigEndian(static_cast<uint32_t>(bitmap.width()), header);
    qToBigEndian(static_cast<uint32_t>(bitmap.height()), header + 4);
    header[8] = 8;  // bits per channel
    header[9] = 2;  // RGB
    putChunk(png, "IHDR", header, sizeof header);
    if (bitmap.dotsPerMeterX() > 0 && bitmap.dotsPerMeterY() > 0) {
        uint8_t phys[9] = {};
        qToBigEndian(static_cast<uint32_t>(bitmap.dotsPerMeterX()), phys);
        qToBigEndian(static_cast<uint32_t>(bitmap.dotsPerMeterY()), phys + 4);
        phys[8] = 1;  // per metre
        putChunk(png, "pHYs", phys, sizeof phys);
    }
    return png;
}

void putEnd(QByteArray& png) {
    putChunk(png, "IEND", nullptr, 0);
}

}  // namespace

QByteArray encodePng(const Bitmap& bitmap) {
    if (bitmap.isNull())
        throw ToolkitError(Msg::invalidBitmap());
    try {
        const size_t stride = size_t(bitmap.width()) * 3 + 1;
        std::optional<Buffer> stream;
        size_t streamSize = 0;
        {
            const Buffer raw = filteredRows(bitmap);
            std::unique_ptr<libdeflate_compressor, CompressorDeleter> c(
                libdeflate_alloc_compressor(kLevel));
            if (!c)
                throw std::bad_alloc();
            if (!worthCompressing(c.get(), raw, stride) && storedSize(raw.size) <= kMaxChunk) {
                // Stored blocks go straight into the one IDAT chunk: no second copy of the
                // picture in memory.
                const size_t size = storedSize(raw.size);
                QByteArray png = pngHeader(bitmap, size);
                putU32(png, static_cast<uint32_t>(size));
                const qsizetype at = png.size();
                png.append("IDAT", 4);
                png.resize(at + 4 + static_cast<qsizetype>(size));
                writeStored(raw, reinterpret_cast<uint8_t*>(png.data()) + at + 4);
                putU32(png, libdeflate_crc32(0, png.constData() + at, size + 4));
                putEnd(png);
                return png;
            }
            // Only the part of the bound that the stream takes is ever touched.
            stream.emplace(libdeflate_zlib_compress_bound(c.get(), raw.size));
            streamSize = libdeflate_zlib_compress(c.get(), raw.data.get(), raw.size,
                                                  stream->data.get(), stream->size);
            if (streamSize == 0)
                throw std::bad_alloc();  // the bound is always enough
        }
        QByteArray png = pngHeader(bitmap, streamSize);
        for (size_t at = 0; at < streamSize; at += kMaxChunk)
            putChunk(png, "IDAT", stream->data.get() + at, std::min(kMaxChunk, streamSize - at));
        putEnd(png);
        return png;
    } catch (const std::bad_alloc&) {
        throw ToolkitError(Msg::outOfMemory());
    }
}

}  // namespace Platform
