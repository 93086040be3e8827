#include "Bmp.h"

#include "AtomicFile.h"
#include "ToolkitError.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <new>

namespace Platform::Bmp {
namespace {

// The reader works in stages, each with its own small function: the file and information
// headers, the channel masks, the colour table, then one of two pixel readers (plain rows,
// which also serve bit-field images, and run-length coded rows). Every offset and size is
// computed in 64 bits and checked against the bytes actually there before it is used, and
// the pixel memory is allocated only once the file has been shown to hold its pixels.

constexpr int64_t kFileHeaderSize = 14;
constexpr int64_t kInfoHeaderSize = 40;

enum Compression : uint32_t {
    BiRgb = 0,
    BiRle8 = 1,
    BiRle4 = 2,
    BiBitFields = 3,
    BiJpeg = 4,
    BiPng = 5,
    BiAlphaBitFields = 6,
};

// The three families of information header, told apart by their size.
enum class HeaderKind {
    Core,     // 12 bytes: 16-bit sides, 3-byte colour table entries
    Os2,      // 16 or 64 bytes: 32-bit fields laid out like the Windows header
    Windows,  // 40, 52, 56, 108 or 124 bytes
};

[[noreturn]] void invalid() {
    throw ToolkitError(Msg::invalidBitmap());
}

[[noreturn]] void truncated() {
    throw ToolkitError(Msg::streamReadError());
}

// Bounds-checked little-endian access to the file image; a read past the end is the stream
// read error ("fewer bytes than the headers say").
class Bytes {
public:
    explicit Bytes(QByteArrayView bytes)
        : m_data(reinterpret_cast<const uint8_t*>(bytes.data())),
          m_size(bytes.size()),
          m_held(bytes.size()) {}
    // The start of a file image of `size` bytes: a read within the size but past the bytes held
    // throws NotHeld, for the caller to fetch the whole image instead.
    Bytes(QByteArrayView head, int64_t size)
        : m_data(reinterpret_cast<const uint8_t*>(head.data())),
          m_size(size),
          m_held(std::min<int64_t>(head.size(), size)) {}
    struct NotHeld {};

    int64_t size() const noexcept { return m_size; }
    bool has(int64_t offset, int64_t count) const noexcept {
        return offset >= 0 && count >= 0 && offset <= m_size && count <= m_size - offset;
    }
    void require(int64_t offset, int64_t count) const {
        if (!has(offset, count))
            truncated();
        if (count > m_held - offset)
            throw NotHeld{};
    }
    const uint8_t* at(int64_t offset) const noexcept { return m_data + offset; }
    uint8_t u8(int64_t offset) const {
        require(offset, 1);
        return m_data[offset];
    }
    uint16_t u16(int64_t offset) const {
        require(offset, 2);
        return qFromLittleEndian<uint16_t>(m_data + offset);
    }
    uint32_t u32(int64_t offset) const {
        require(offset, 4);
        return qFromLittleEndian<uint32_t>(m_data + offset);
    }
    int32_t i32(int64_t offset) const { return static_cast<int32_t>(u32(offset)); }

private:
    const uint8_t* m_data;
    int64_t m_size;
    int64_t m_held;
};

struct Header {
    HeaderKind kind = HeaderKind::Windows;
    uint32_t infoSize = 0;
    int64_t width = 0;
    int64_t height = 0;  // always the number of rows; topDown gives their order
    bool topDown = false;
    int planes = 1;
    int bitsPerPixel = 0;
    uint32_t compression = BiRgb;
    uint32_t imageSize = 0;
    int32_t dpmX = 0;
    int32_t dpmY = 0;
    uint32_t colorsUsed = 0;
    ChannelMasks masks;
    int64_t fileSize = 0;     // as the file header says
    int64_t pixelOffset = 0;  // from the file header
    int64_t tableOffset = 0;  // where the colour table starts (after any masks)
    int tableEntrySize = 4;
};

HeaderKind kindOf(uint32_t infoSize) {
    switch (infoSize) {
        case 12:
            return HeaderKind::Core;
        case 16:
        case 64:
            return HeaderKind::Os2;
        case 40:
        case 52:
        case 56:
        case 108:
        case 124:
            return HeaderKind::Windows;
        default:
            invalid();
    }
}

void readFileHeader(const Bytes& bytes, Header& h) {
    // A file that is not "BM" is not a bitmap, however short; one that starts like a bitmap
    // but ends inside its headers is a short read.
    if (bytes.size() >= 1 && bytes.u8(0) != 'B')
        invalid();
    if (bytes.size() >= 2 && bytes.u8(1) != 'M')
        invalid();
    // The reserved words are ignored (OS/2 keeps a hotspot there).
    h.fileSize = bytes.u32(2);
    h.pixelOffset = bytes.u32(10);
}

void readInfoHeader(const Bytes& bytes, Header& h) {
    constexpr int64_t at = kFileHeaderSize;
    h.infoSize = bytes.u32(at);
    h.kind = kindOf(h.infoSize);
    bytes.require(at, h.infoSize);
    h.tableOffset = at + h.infoSize;

    int64_t height = 0;
    if (h.kind == HeaderKind::Core) {
        h.width = bytes.u16(at + 4);
        height = bytes.u16(at + 6);
        h.planes = bytes.u16(at + 8);
        h.bitsPerPixel = bytes.u16(at + 10);
        h.tableEntrySize = 3;
    } else {
        // The 16-byte OS/2 header is the first 16 bytes of the longer ones; the fields it
        // leaves out take their zero defaults.
        h.width = bytes.i32(at + 4);
        height = bytes.i32(at + 8);
        h.planes = bytes.u16(at + 12);
        h.bitsPerPixel = bytes.u16(at + 14);
        if (h.infoSize >= kInfoHeaderSize) {
            h.compression = bytes.u32(at + 16);
            h.imageSize = bytes.u32(at + 20);
            h.dpmX = bytes.i32(at + 24);
            h.dpmY = bytes.i32(at + 28);
            h.colorsUsed = bytes.u32(at + 32);
        }
        // OS/2 numbers its own compressions above RLE4 (3 is Huffman 1D, 4 is RLE24); we read
        // none of them, and they must not be mistaken for the Windows bit fields.
        if (h.kind == HeaderKind::Os2 && h.compression > BiRle4)
            invalid();
    }
    if (height == std::numeric_limits<int32_t>::min())
        invalid();
    h.topDown = height < 0;
    h.height = h.topDown ? -height : height;
}

bool isContiguous(uint32_t mask) {
    const uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

// Bit fields: in the header from 52 bytes on (alpha from 56), otherwise right after the
// 40-byte header, where they push the colour table back.
void readMasks(const Bytes& bytes, Header& h) {
    if (h.bitsPerPixel != 16 && h.bitsPerPixel != 32)
        return;
    h.masks = Bitmap::defaultMasks(h.bitsPerPixel);
    if (h.compression != BiBitFields && h.compression != BiAlphaBitFields)
        return;
    // The alpha mask is in the header from 56 bytes on; after a 40-byte header only the alpha
    // variant carries it.
    const bool withAlpha =
        h.infoSize >= 56 || (h.infoSize == kInfoHeaderSize && h.compression == BiAlphaBitFields);
    const int64_t at = kFileHeaderSize + kInfoHeaderSize;
    if (h.infoSize == kInfoHeaderSize)
        h.tableOffset += withAlpha ? 16 : 12;
    h.masks = {bytes.u32(at), bytes.u32(at + 4), bytes.u32(at + 8),
               withAlpha ? bytes.u32(at + 12) : 0u};

    // Every colour channel needs a mask of one run of bits inside the pixel; alpha may be
    // absent. A zero colour mask would leave a channel undefined.
    const uint32_t limit = h.bitsPerPixel == 16 ? 0xFFFFu : std::numeric_limits<uint32_t>::max();
    for (const uint32_t mask : {h.masks.red, h.masks.green, h.masks.blue})
        if (mask == 0 || mask > limit || !isContiguous(mask))
            invalid();
    if (h.masks.alpha != 0 && (h.masks.alpha > limit || !isContiguous(h.masks.alpha)))
        invalid();
}

// Only the pairs of depth and compression that exist are read.
bool supportedFormat(const Header& h) {
    switch (h.compression) {
        case BiRgb:
            return Bitmap::isSupportedDepth(h.bitsPerPixel);
        case BiRle8:
            return h.bitsPerPixel == 8;
        case BiRle4:
            return h.bitsPerPixel == 4;
        case BiBitFields:
        case BiAlphaBitFields:
            return h.bitsPerPixel == 16 || h.bitsPerPixel == 32;
        default:  // JPEG and PNG payloads are for printers, not for us
            return false;
    }
}

bool isRle(const Header& h) {
    return h.compression == BiRle8 || h.compression == BiRle4;
}

void validate(const Header& h) {
    if (h.planes != 1 || !supportedFormat(h))
        invalid();
    if (h.width <= 0 || h.height <= 0 || !Bitmap::sizeWithinLimits(h.width, h.height))
        invalid();
    // Run-length coded rows are always stored bottom-up.
    if (h.topDown && isRle(h))
        invalid();
    // The pixels cannot start inside the headers.
    if (h.pixelOffset < h.tableOffset)
        invalid();
}

// A file smaller than its headers say it is has been cut short, even where the pixels happen to
// be there. Sizes smaller than the file are only loosely filled in by some writers (and 0 for
// the image size means "work it out"), so they are not held against it.
void checkDeclaredSizes(const Bytes& bytes, const Header& h) {
    if (h.fileSize > bytes.size())
        truncated();
    if (h.imageSize != 0 && !bytes.has(h.pixelOffset, h.imageSize))
        truncated();
}

// The colour table of an indexed image. Its length is biClrUsed (0 meaning all 2^n), the full
// 2^n for the 12-byte header, and in any case no more than fits before the pixels, which is
// how the old OS/2 files give a short table. A longer table than the depth can index is read
// up to 2^n entries, but the whole of it has to be in the file.
std::vector<QRgb> readColorTable(const Bytes& bytes, const Header& h) {
    if (h.bitsPerPixel > 8)
        return {};
    const int64_t most = int64_t{1} << h.bitsPerPixel;
    int64_t count = h.colorsUsed == 0 ? most : int64_t{h.colorsUsed};
    if (count > most) {
        if (!bytes.has(h.tableOffset, count * h.tableEntrySize))
            invalid();
        count = most;
    }
    count = std::min(count, (h.pixelOffset - h.tableOffset) / h.tableEntrySize);
    bytes.require(h.tableOffset, count * h.tableEntrySize);
    std::vector<QRgb> table(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i) {
        const uint8_t* e = bytes.at(h.tableOffset + i * h.tableEntrySize);
        table[static_cast<size_t>(i)] = qRgb(e[2], e[1], e[0]);
    }
    return table;
}

// Uncompressed and bit-field rows: copied as they are, flipped into top-down order. The last
// row may lack its padding.
Bitmap readPlainRows(const Bytes& bytes, const Header& h) {
    const int64_t rowBytes = (h.width * h.bitsPerPixel + 7) / 8;
    const int64_t stride = Bitmap::strideFor(h.width, h.bitsPerPixel);
    bytes.require(h.pixelOffset, (h.height - 1) * stride + rowBytes);

    Bitmap bitmap(static_cast<int>(h.width), static_cast<int>(h.height), h.bitsPerPixel);
    for (int64_t row = 0; row < h.height; ++row) {
        const int y = static_cast<int>(h.topDown ? row : h.height - 1 - row);
        std::memcpy(bitmap.scanLine(y), bytes.at(h.pixelOffset + row * stride),
                    static_cast<size_t>(rowBytes));
    }
    return bitmap;
}

// Run-length coded rows (RLE8, RLE4), bottom-up. Pixels the codes skip (deltas, early ends of
// line or of bitmap) keep index 0. A run or a move that leaves the image, or an index beyond
// the colour table, makes the file invalid; data that ends before the end-of-bitmap code while rows
// are still missing is a short read. Every code consumes at least two bytes, so the loop always
// ends.
class RleReader {
public:
    RleReader(const Bytes& bytes, const Header& h, size_t tableSize)
        : m_bytes(bytes),
          m_pos(h.pixelOffset),
          m_end(bytes.size()),
          m_width(h.width),
          m_height(h.height),
          m_four(h.compression == BiRle4),
          m_tableSize(tableSize) {
        // The image size bounds the data when it is given (checkDeclaredSizes keeps it inside).
        if (h.imageSize != 0)
            m_end = h.pixelOffset + h.imageSize;
    }

    void decodeInto(Bitmap& bitmap) {
        m_bitmap = &bitmap;
        for (;;) {
            if (m_pos > m_end - 2) {
                if (m_y >= m_height)
                    return;  // all rows done; the end-of-bitmap code may be left out
                truncated();
            }
            const uint8_t count = m_bytes.at(m_pos)[0];
            const uint8_t code = m_bytes.at(m_pos)[1];
            m_pos += 2;
            if (count > 0) {
                run(count, code);
                continue;
            }
            switch (code) {
                case 0:  // end of line
                    m_x = 0;
                    ++m_y;
                    break;
                case 1:  // end of bitmap
                    return;
                case 2:  // delta: move right and up
                    delta();
                    break;
                default:  // absolute: `code` pixels follow literally, padded to a word
                    literal(code);
                    break;
            }
        }
    }

private:
    void beginPixels(int64_t n) {
        if (m_y >= m_height || m_x + n > m_width)
            invalid();
    }

    void run(int n, uint8_t value) {
        beginPixels(n);
        for (int i = 0; i < n; ++i)
            put(m_four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
    }

    void literal(int n) {
        const int64_t dataBytes = m_four ? (n + 1) / 2 : n;
        if (m_end - m_pos < dataBytes)
            truncated();
        beginPixels(n);
        const uint8_t* data = m_bytes.at(m_pos);
        for (int i = 0; i < n; ++i)
            put(m_four ? ((i & 1) ? data[i / 2] & 0x0F : data[i / 2] >> 4) : data[i]);
        m_pos += (dataBytes + 1) & ~int64_t{1};
    }

    void delta() {
        if (m_end - m_pos < 2)
            truncated();
        const int64_t dx = m_bytes.at(m_pos)[0];
        const int64_t dy = m_bytes.at(m_pos)[1];
        m_pos += 2;
        if (m_x + dx > m_width || m_y + dy > m_height)
            invalid();
        m_x += dx;
        m_y += dy;
    }

    // Writes one pixel at the current position (checked by beginPixels) and moves right.
    void put(unsigned index) {
        if (index >= m_tableSize)
            invalid();
        uint8_t* row = m_bitmap->scanLine(static_cast<int>(m_height - 1 - m_y));
        if (m_four) {
            uint8_t& byte = row[m_x / 2];
            byte = (m_x & 1) ? static_cast<uint8_t>((byte & 0xF0) | index)
                             : static_cast<uint8_t>((byte & 0x0F) | (index << 4));
        } else {
            row[m_x] = static_cast<uint8_t>(index);
        }
        ++m_x;
    }

    const Bytes& m_bytes;
    int64_t m_pos;
    int64_t m_end;
    const int64_t m_width;
    const int64_t m_height;
    const bool m_four;
    const size_t m_tableSize;
    int64_t m_x = 0;
    int64_t m_y = 0;  // counted from the bottom row
    Bitmap* m_bitmap = nullptr;
};

// Whether every pixel of an indexed bitmap names an entry of its colour table. Whole bytes are
// looked up in a table of the byte values that hold a bad index; the pixels of a row's last,
// partly used byte are checked one by one.
bool indexesWithinTable(const Bitmap& bitmap) {
    const int bpp = bitmap.bitsPerPixel();
    const size_t entries = bitmap.colorTable().size();
    if (bpp > 8 || entries >= (size_t{1} << bpp))
        return true;
    const int perByte = 8 / bpp;
    const unsigned valueMask = (1u << bpp) - 1;
    const auto indexAt = [&](uint8_t byte, int i) {
        return (byte >> (8 - bpp * (i + 1))) & valueMask;
    };
    std::array<bool, 256> bad{};
    for (unsigned byte = 0; byte < 256; ++byte)
        for (int i = 0; i < perByte; ++i)
            bad[byte] = bad[byte] || indexAt(static_cast<uint8_t>(byte), i) >= entries;
    const int wholeBytes = bitmap.width() / perByte;
    const int rest = bitmap.width() % perByte;
    for (int y = 0; y < bitmap.height(); ++y) {
        const uint8_t* row = bitmap.scanLine(y);
        for (int x = 0; x < wholeBytes; ++x)
            if (bad[row[x]])
                return false;
        for (int i = 0; i < rest; ++i)
            if (indexAt(row[wholeBytes], i) >= entries)
                return false;
    }
    return true;
}

// --- Writing ---------------------------------------------------------------------------

void put16(uint8_t*& out, uint16_t v) {
    qToLittleEndian(v, out);
    out += 2;
}

void put32(uint8_t*& out, uint32_t v) {
    qToLittleEndian(v, out);
    out += 4;
}

// Everything before the pixels: the headers, checked, and the colour table.
Header readHeaders(const Bytes& bytes, std::vector<QRgb>& table) {
    Header h;
    readFileHeader(bytes, h);
    readInfoHeader(bytes, h);
    readMasks(bytes, h);
    validate(h);
    checkDeclaredSizes(bytes, h);
    table = readColorTable(bytes, h);
    return h;
}

// The parts of the headers that go with the pixels, and the check that the colour table
// covers them.
Bitmap finish(Bitmap bitmap, const Header& h, std::vector<QRgb> table) {
    bitmap.setColorTable(std::move(table));
    // Indexes beyond the colour table mean a damaged file: we refuse it rather than guess
    // colours.
    if (!isRle(h) && !indexesWithinTable(bitmap))
        invalid();
    if (h.bitsPerPixel == 16 || h.bitsPerPixel == 32)
        bitmap.setMasks(h.masks);
    bitmap.setDotsPerMeter(h.dpmX, h.dpmY);
    return bitmap;
}

// Reads exactly `count` bytes at `offset` of the file; fewer there is a short read.
void readAt(QFile& file, int64_t offset, uint8_t* to, int64_t count) {
    if (!file.seek(offset))
        truncated();
    while (count > 0) {
        const qint64 n = file.read(reinterpret_cast<char*>(to), count);
        if (n <= 0)
            truncated();
        to += n;
        count -= n;
    }
}

// How much of a file is read before its headers are known: every header with a full colour
// table fits, so only a file with a gap before its pixels needs a second look.
constexpr int64_t kHeadBytes = 4096;

}  // namespace

Bitmap decode(QByteArrayView data) {
    const Bytes bytes(data);
    std::vector<QRgb> table;
    const Header h = readHeaders(bytes, table);

    Bitmap bitmap;
    if (isRle(h)) {
        // Every pixel the codes skip is index 0, so the table cannot be empty.
        if (table.empty())
            invalid();
        RleReader reader(bytes, h, table.size());
        bitmap = Bitmap(static_cast<int>(h.width), static_cast<int>(h.height), h.bitsPerPixel);
        reader.decodeInto(bitmap);
    } else {
        bitmap = readPlainRows(bytes, h);
    }
    return finish(std::move(bitmap), h, std::move(table));
}

// The headers come from the first few kilobytes; plain rows then go from the file straight
// into the bitmap's pixels, each row with one read. Anything else (run-length codes, pixels
// far from the headers) is read whole and decoded from memory.
Bitmap readFrom(QFile& file, int64_t offset, int64_t size) {
    if (!file.isOpen())
        throw ToolkitError(Msg::cannotOpenFile(file.fileName()));
    auto whole = [&] {
        QByteArray all;
        try {
            all = QByteArray(static_cast<qsizetype>(size), Qt::Uninitialized);
        } catch (const std::bad_alloc&) {
            throw ToolkitError(Msg::outOfMemory());
        }
        readAt(file, offset, reinterpret_cast<uint8_t*>(all.data()), size);
        return decode(all);
    };
    QByteArray head(static_cast<qsizetype>(std::min(size, kHeadBytes)), Qt::Uninitialized);
    readAt(file, offset, reinterpret_cast<uint8_t*>(head.data()), head.size());
    if (head.size() == size)
        return decode(head);

    const Bytes bytes(head, size);
    std::vector<QRgb> table;
    Header h;
    try {
        h = readHeaders(bytes, table);
    } catch (const Bytes::NotHeld&) {
        return whole();
    }
    if (isRle(h))
        return whole();
    const int64_t rowBytes = (h.width * h.bitsPerPixel + 7) / 8;
    const int64_t stride = Bitmap::strideFor(h.width, h.bitsPerPixel);
    if (!bytes.has(h.pixelOffset, (h.height - 1) * stride + rowBytes))
        truncated();
    Bitmap bitmap(static_cast<int>(h.width), static_cast<int>(h.height), h.bitsPerPixel);
    for (int64_t row = 0; row < h.height; ++row) {
        const int y = static_cast<int>(h.topDown ? row : h.height - 1 - row);
        readAt(file, offset + h.pixelOffset + row * stride, bitmap.scanLine(y), rowBytes);
    }
    return finish(std::move(bitmap), h, std::move(table));
}

Bitmap readFile(const QString& path) {
    // Only plain files: a device or a pipe could hand out bytes without end.
    QFile file(path);
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw ToolkitError(Msg::cannotOpenFile(path));
    return readFrom(file, 0, file.size());
}

namespace {

// Everything of a BMP file before its pixels, and where the pixels go.
struct Layout {
    QByteArray head;  // file header, information header, bit fields, colour table
    int64_t rowBytes = 0;
    int64_t stride = 0;
    int64_t fileSize = 0;
};

Layout layoutOf(const Bitmap& bitmap) {
    if (bitmap.isNull())
        invalid();  // a BMP has no way to say 0 x 0
    const int bpp = bitmap.bitsPerPixel();
    const int64_t width = bitmap.width();
    const int64_t height = bitmap.height();

    // Indexed images carry their colour table. A table too short for the pixels (an empty one
    // included) is written out to 2^n entries padded with black, which is how such a bitmap
    // shows, so that what we write we can always read back. 16/32-bit images with other than the
    // default masks carry bit fields, and the alpha variant when there is an alpha mask.
    const std::vector<QRgb>& table = bitmap.colorTable();
    const int64_t most = bpp <= 8 ? int64_t{1} << bpp : 0;
    const int64_t entries = bpp <= 8 ? (indexesWithinTable(bitmap) && !table.empty()
                                            ? std::min<int64_t>(most, std::ssize(table))
                                            : most)
                                     : 0;
    const ChannelMasks& masks = bitmap.masks();
    const bool bitFields = (bpp == 16 || bpp == 32) && !(masks == Bitmap::defaultMasks(bpp));
    const uint32_t compression =
        !bitFields ? BiRgb : (masks.alpha != 0 ? BiAlphaBitFields : BiBitFields);
    const int64_t maskBytes = !bitFields ? 0 : (masks.alpha != 0 ? 16 : 12);

    Layout layout;
    layout.rowBytes = (width * bpp + 7) / 8;
    layout.stride = bitmap.stride();
    const int64_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + maskBytes + entries * 4;
    const int64_t imageSize = layout.stride * height;
    layout.fileSize = pixelOffset + imageSize;
    if (layout.fileSize > std::numeric_limits<uint32_t>::max())
        throw ToolkitError(Msg::streamWriteError());

    layout.head = QByteArray(static_cast<qsizetype>(pixelOffset), Qt::Uninitialized);
    uint8_t* p = reinterpret_cast<uint8_t*>(layout.head.data());
    *p++ = 'B';
    *p++ = 'M';
    put32(p, static_cast<uint32_t>(layout.fileSize));
    put32(p, 0);  // reserved
    put32(p, static_cast<uint32_t>(pixelOffset));

    put32(p, static_cast<uint32_t>(kInfoHeaderSize));
    put32(p, static_cast<uint32_t>(width));
    put32(p, static_cast<uint32_t>(height));  // positive: rows bottom-up
    put16(p, 1);
    put16(p, static_cast<uint16_t>(bpp));
    put32(p, compression);
    put32(p, static_cast<uint32_t>(imageSize));
    put32(p, static_cast<uint32_t>(bitmap.dotsPerMeterX()));
    put32(p, static_cast<uint32_t>(bitmap.dotsPerMeterY()));
    put32(p, static_cast<uint32_t>(entries == most ? 0 : entries));  // 0: all 2^n
    put32(p, 0);                                                     // every colour is important

    if (bitFields) {
        put32(p, masks.red);
        put32(p, masks.green);
        put32(p, masks.blue);
        if (masks.alpha != 0)
            put32(p, masks.alpha);
    }
    for (int64_t i = 0; i < entries; ++i) {
        const QRgb c = i < std::ssize(table) ? table[static_cast<size_t>(i)] : qRgb(0, 0, 0);
        *p++ = static_cast<uint8_t>(qBlue(c));
        *p++ = static_cast<uint8_t>(qGreen(c));
        *p++ = static_cast<uint8_t>(qRed(c));
        *p++ = 0;
    }
    return layout;
}

// Rows handed to a sink at a time: enough to keep the system calls few, small enough to stay
// in the cache between the copy in and the write out.
constexpr int64_t kStreamChunk = 512 * 1024;

void streamRows(const Bitmap& bitmap, const Layout& layout, FileSink& sink) {
    // Rows without padding go to the sink from where they are.
    if (layout.rowBytes == layout.stride) {
        for (int64_t row = bitmap.height() - 1; row >= 0; --row)
            sink.write(reinterpret_cast<const char*>(bitmap.scanLine(static_cast<int>(row))),
                       layout.rowBytes);
        return;
    }
    const int64_t rowsPerChunk = std::max<int64_t>(1, kStreamChunk / layout.stride);
    std::vector<uint8_t> chunk(static_cast<size_t>(rowsPerChunk * layout.stride), 0);
    int64_t row = bitmap.height() - 1;
    while (row >= 0) {
        uint8_t* p = chunk.data();
        for (int64_t n = 0; n < rowsPerChunk && row >= 0; ++n, --row, p += layout.stride) {
            std::memcpy(p, bitmap.scanLine(static_cast<int>(row)),
                        static_cast<size_t>(layout.rowBytes));
            // The padding stays zero from the start: only the row's own bytes are copied in.
        }
        sink.write(reinterpret_cast<const char*>(chunk.data()), p - chunk.data());
    }
}

}  // namespace

QByteArray encode(const Bitmap& bitmap) {
    const Layout layout = layoutOf(bitmap);
    const int64_t height = bitmap.height();
    // A picture that fits in memory may still not fit twice: that is reported like every other
    // failure of ours, so the command that writes it can show it and go on.
    QByteArray out;
    try {
        out = QByteArray(static_cast<qsizetype>(layout.fileSize), Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        throw ToolkitError(Msg::outOfMemory());
    }
    preferHugePages(out.data(), static_cast<size_t>(out.size()));
    std::memcpy(out.data(), layout.head.constData(), static_cast<size_t>(layout.head.size()));
    uint8_t* p = reinterpret_cast<uint8_t*>(out.data()) + layout.head.size();
    // The rows are stored bottom-up, and are written from the end of the block backwards: on
    // a fresh block that runs markedly faster than from its start (measured on Linux with huge
    // pages, where the kernel clears each page just before we fill it).
    for (int64_t row = height - 1; row >= 0; --row) {
        uint8_t* stored = p + row * layout.stride;
        std::memcpy(stored, bitmap.scanLine(static_cast<int>(height - 1 - row)),
                    static_cast<size_t>(layout.rowBytes));
        std::memset(stored + layout.rowBytes, 0,
                    static_cast<size_t>(layout.stride - layout.rowBytes));
    }
    return out;
}

void encodeTo(const Bitmap& bitmap, FileSink& sink) {
    const Layout layout = layoutOf(bitmap);
    sink.write(layout.head);
    streamRows(bitmap, layout, sink);
}

void writeFile(const Bitmap& bitmap, const QString& path) {
    // The headers first: a bitmap that cannot be written leaves the disk as it was. The rows
    // then go from the bitmap to the file in pieces, never as a second whole picture.
    const Layout layout = layoutOf(bitmap);
    writeFileDurably(path, [&](FileSink& sink) {
        sink.write(layout.head);
        streamRows(bitmap, layout, sink);
    });
}

}  // namespace Platform::Bmp
