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
#include <vector>

namespace Platform {
namespace {

// The level that writes a screenshot-like 8K picture in well under a second here; higher
// levels gain a few per cent for several times the time.
constexpr int kLevel = 1;
// A sample this compressed or worse (compressed size / raw size) is not worth deflating.
constexpr double kIncompressible = 0.9;
constexpr int kSampleEvery = 32;
constexpr size_t kStoredBlock = 65535;
constexpr size_t kMaxChunk = size_t{1} << 30;

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
std::vector<uint8_t> filteredRows(const Bitmap& bitmap) {
    const size_t rowBytes = size_t(bitmap.width()) * 3;
    const size_t stride = rowBytes + 1;
    std::vector<uint8_t> raw(stride * size_t(bitmap.height()));
    std::vector<uint8_t> above(rowBytes, 0);
    std::vector<uint8_t> rgb(rowBytes);
    for (int y = 0; y < bitmap.height(); ++y) {
        bitmap.rowToBgr(y, rgb.data());
        for (size_t x = 0; x < rowBytes; x += 3)
            std::swap(rgb[x], rgb[x + 2]);
        uint8_t* out = raw.data() + stride * size_t(y);
        out[0] = 2;
        for (size_t i = 0; i < rowBytes; ++i)
            out[i + 1] = static_cast<uint8_t>(rgb[i] - above[i]);
        above.swap(rgb);
    }
    return raw;
}

bool worthCompressing(libdeflate_compressor* c, const std::vector<uint8_t>& raw, size_t stride) {
    const size_t rows = raw.size() / stride;
    std::vector<uint8_t> sample;
    sample.reserve((rows / kSampleEvery + 1) * stride);
    for (size_t y = 0; y < rows; y += kSampleEvery)
        sample.insert(sample.end(), raw.begin() + y * stride, raw.begin() + (y + 1) * stride);
    std::vector<uint8_t> out(libdeflate_zlib_compress_bound(c, sample.size()));
    const size_t size =
        libdeflate_zlib_compress(c, sample.data(), sample.size(), out.data(), out.size());
    return size != 0 && double(size) < kIncompressible * double(sample.size());
}

// A zlib stream of stored blocks: header, blocks of at most 65535 bytes, Adler-32.
std::vector<uint8_t> storedStream(const std::vector<uint8_t>& raw) {
    const size_t blocks = std::max<size_t>(1, (raw.size() + kStoredBlock - 1) / kStoredBlock);
    std::vector<uint8_t> out;
    out.reserve(raw.size() + blocks * 5 + 6);
    out.push_back(0x78);
    out.push_back(0x01);
    size_t at = 0;
    do {
        const size_t n = std::min(kStoredBlock, raw.size() - at);
        const bool last = at + n == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<uint8_t>(n));
        out.push_back(static_cast<uint8_t>(n >> 8));
        out.push_back(static_cast<uint8_t>(~n));
        out.push_back(static_cast<uint8_t>(~n >> 8));
        out.insert(out.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    const uint32_t adler = libdeflate_adler32(1, raw.data(), raw.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(adler >> shift));
    return out;
}

std::vector<uint8_t> zlibStream(const std::vector<uint8_t>& raw, size_t stride) {
    std::unique_ptr<libdeflate_compressor, CompressorDeleter> c(
        libdeflate_alloc_compressor(kLevel));
    if (!c)
        throw std::bad_alloc();
    if (!worthCompressing(c.get(), raw, stride))
        return storedStream(raw);
    std::vector<uint8_t> out(libdeflate_zlib_compress_bound(c.get(), raw.size()));
    const size_t size =
        libdeflate_zlib_compress(c.get(), raw.data(), raw.size(), out.data(), out.size());
    if (size == 0)
        return storedStream(raw);
    out.resize(size);
    return out;
}

}  // namespace

QByteArray encodePng(const Bitmap& bitmap) {
    if (bitmap.isNull())
        throw ToolkitError(Msg::invalidBitmap());
    try {
        const size_t stride = size_t(bitmap.width()) * 3 + 1;
        std::vector<uint8_t> stream;
        {
            const std::vector<uint8_t> raw = filteredRows(bitmap);
            stream = zlibStream(raw, stride);
        }
        QByteArray png;
        png.reserve(static_cast<qsizetype>(stream.size() + 128));
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
        for (size_t at = 0; at < stream.size(); at += kMaxChunk)
            putChunk(png, "IDAT", stream.data() + at, std::min(kMaxChunk, stream.size() - at));
        putChunk(png, "IEND", nullptr, 0);
        return png;
    } catch (const std::bad_alloc&) {
        throw ToolkitError(Msg::outOfMemory());
    }
}

}  // namespace Platform
