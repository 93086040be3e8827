// BMP files made here, for what the public suite leaves out: 2-bit and 16-bit images, crafted
// headers and run-length codes, the writer's layout and the file operations.
#include "AddressSpaceLimit.h"
#include "Bmp.h"
#include "FileSizeLimit.h"
#include "TestSupport.h"
#include "ToolkitError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>
#include <functional>
#include <ostream>
#include <random>

using namespace Platform;

namespace {

// Assembles a BMP file image field by field, so a test can get any one of them wrong.
struct BmpBuilder {
    uint32_t infoSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bpp = 24;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> masks;  // written after a 40-byte header, else inside the header
    std::vector<QRgb> table;      // 4-byte entries (3-byte for the 12-byte header)
    QByteArray pixels;            // as stored, bottom-up unless height < 0
    std::optional<uint32_t> pixelOffset;
    std::optional<uint32_t> fileSize;

    QByteArray build() const {
        QByteArray info(static_cast<qsizetype>(infoSize), '\0');
        auto at = [&](int offset) { return reinterpret_cast<uint8_t*>(info.data()) + offset; };
        qToLittleEndian(infoSize, at(0));
        if (infoSize == 12) {
            qToLittleEndian(static_cast<uint16_t>(width), at(4));
            qToLittleEndian(static_cast<uint16_t>(height), at(6));
            qToLittleEndian(planes, at(8));
            qToLittleEndian(bpp, at(10));
        } else {
            qToLittleEndian(width, at(4));
            qToLittleEndian(height, at(8));
            qToLittleEndian(planes, at(12));
            qToLittleEndian(bpp, at(14));
            if (infoSize >= 40) {
                qToLittleEndian(compression, at(16));
                qToLittleEndian(imageSize, at(20));
                qToLittleEndian(colorsUsed, at(32));
            }
            for (size_t i = 0; infoSize > 40 && i < masks.size() && 40 + 4 * i < infoSize; ++i)
                qToLittleEndian(masks[i], at(40 + 4 * static_cast<int>(i)));
        }
        QByteArray extra;
        for (size_t i = 0; infoSize == 40 && i < masks.size(); ++i)
            extra.append(le32(masks[i]));
        for (const QRgb c : table) {
            const char entry[4] = {char(qBlue(c)), char(qGreen(c)), char(qRed(c)), 0};
            extra.append(entry, infoSize == 12 ? 3 : 4);
        }
        const uint32_t offset = pixelOffset.value_or(14 + infoSize + extra.size());
        QByteArray file = "BM";
        file += le32(fileSize.value_or(offset + pixels.size()));
        file += le32(0);
        file += le32(offset);
        file += info + extra;
        file.resize(std::max<qsizetype>(file.size(), offset), '\0');
        return file + pixels;
    }
    static QByteArray le32(uint32_t v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    }
};

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (const int v : values)
        b.append(static_cast<char>(v));
    return b;
}

// The message decode() fails with, or "" when it succeeds.
QString failureOf(const QByteArray& file) {
    try {
        Bmp::decode(file);
        return {};
    } catch (const ToolkitError& e) {
        return e.message();
    }
}

const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255);

QRgb rgbAt(const Bitmap& b, int x, int y) {
    return b.pixel(x, y) | 0xFF000000u;
}

// --- Files that load, with the pixels they hold -------------------------------------------

TEST(BmpDecode, TwoBitRowsUseTheirTable) {
    BmpBuilder f;
    f.bpp = 2, f.width = 5, f.height = 1;
    f.table = {kRed, kGreen, kBlue, qRgb(9, 9, 9)};
    f.pixels = bytes({0b00011011, 0b10000000, 0, 0});  // 0 1 2 3 | 2
    const Bitmap b = Bmp::decode(f.build());
    ASSERT_EQ(b.bitsPerPixel(), 2);
    EXPECT_EQ(rgbAt(b, 0, 0), kRed);
    EXPECT_EQ(rgbAt(b, 1, 0), kGreen);
    EXPECT_EQ(rgbAt(b, 2, 0), kBlue);
    EXPECT_EQ(rgbAt(b, 3, 0), qRgb(9, 9, 9));
    EXPECT_EQ(rgbAt(b, 4, 0), kBlue);
}

struct SixteenBit {
    const char* name;
    std::vector<uint32_t> masks;  // empty: no bit fields, the 5-5-5 default
    uint16_t pixel;
    QRgb expected;
};

void PrintTo(const SixteenBit& c, std::ostream* os) {
    *os << c.name;
}

class SixteenBitPixels : public ::testing::TestWithParam<SixteenBit> {};

TEST_P(SixteenBitPixels, ScaleEachChannelToFullRange) {
    const SixteenBit& c = GetParam();
    BmpBuilder f;
    f.bpp = 16;
    f.compression = c.masks.empty() ? 0 : 3;
    f.masks = c.masks;
    f.pixels = BmpBuilder::le32(c.pixel);  // one pixel and its padding
    const Bitmap b = Bmp::decode(f.build());
    ASSERT_EQ(b.bitsPerPixel(), 16);
    EXPECT_EQ(b.masks().green, c.masks.empty() ? 0x03E0u : c.masks[1]);
    EXPECT_EQ(rgbAt(b, 0, 0), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    BmpDecode, SixteenBitPixels,
    ::testing::Values(SixteenBit{"default555White", {}, 0x7FFF, qRgb(255, 255, 255)},
                      SixteenBit{"default555TopBitIgnored", {}, 0x801F, qRgb(0, 0, 255)},
                      SixteenBit{"default555Half", {}, 0x4210, qRgb(132, 132, 132)},
                      SixteenBit{"fields565Green", {0xF800, 0x07E0, 0x001F}, 0x07E0, kGreen},
                      SixteenBit{
                          "fields565Mixed", {0xF800, 0x07E0, 0x001F}, 0x8410, qRgb(132, 130, 132)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BmpDecode, TopDownRowsComeOutTopFirst) {
    BmpBuilder f;
    f.bpp = 8, f.height = -2;
    f.table = {kRed, kBlue};
    f.pixels = bytes({0, 0, 0, 0, 1, 0, 0, 0});
    const Bitmap b = Bmp::decode(f.build());
    EXPECT_EQ(rgbAt(b, 0, 0), kRed);
    EXPECT_EQ(rgbAt(b, 0, 1), kBlue);
    f.height = 2;  // the same bytes bottom-up
    const Bitmap flipped = Bmp::decode(f.build());
    EXPECT_EQ(rgbAt(flipped, 0, 0), kBlue);
}

TEST(BmpDecode, LastRowMayLackItsPadding) {
    BmpBuilder f;
    f.width = 1, f.height = 2;
    f.pixels = bytes({1, 2, 3, 0, 4, 5, 6});
    const Bitmap b = Bmp::decode(f.build());
    EXPECT_EQ(b.pixel(0, 0) & 0xFFFFFF, 0x060504u);
}

// --- Run-length codes ---------------------------------------------------------------------

struct RleCase {
    const char* name;
    int bpp;  // 8: RLE8, 4: RLE4
    int width, height;
    QByteArray codes;
    QString failure;          // empty: loads
    std::vector<int> topRow;  // expected indexes of row 0 (the last one stored) when it loads
};

void PrintTo(const RleCase& c, std::ostream* os) {
    *os << c.name;
}

class RunLengthCodes : public ::testing::TestWithParam<RleCase> {};

TEST_P(RunLengthCodes, DecodeOrFail) {
    const RleCase& c = GetParam();
    BmpBuilder f;
    f.bpp = static_cast<uint16_t>(c.bpp);
    f.compression = c.bpp == 8 ? 1 : 2;
    f.width = c.width, f.height = c.height;
    f.table.assign(12, qRgb(1, 2, 3));  // a short table, as in many 4-bit files
    f.pixels = c.codes;
    if (!c.failure.isEmpty()) {
        EXPECT_EQ(failureOf(f.build()), c.failure);
        return;
    }
    const Bitmap b = Bmp::decode(f.build());
    ASSERT_EQ(b.bitsPerPixel(), c.bpp);
    std::vector<int> row;
    for (int x = 0; x < b.width(); ++x)
        row.push_back(c.bpp == 8 ? b.scanLine(0)[x]
                                 : (b.scanLine(0)[x / 2] >> (x % 2 ? 0 : 4)) & 15);
    EXPECT_EQ(row, c.topRow);
}

const QString kInvalid = QStringLiteral("ビットマップイメージが不正です");
const QString kShort = QStringLiteral("ストリームからの読み込みエラー");

INSTANTIATE_TEST_SUITE_P(
    BmpDecode, RunLengthCodes,
    ::testing::Values(
        RleCase{"rle8RunAndLiteral",
                8,
                5,
                1,
                bytes({2, 7, 0, 3, 1, 2, 3, 0, 0, 1}),
                {},
                {7, 7, 1, 2, 3}},
        RleCase{"rle8DeltaSkipsToIndexZero",
                8,
                4,
                2,
                bytes({0, 2, 1, 1, 1, 5, 0, 1}),
                {},
                {0, 5, 0, 0}},
        RleCase{"rle8EarlyEndLeavesZero", 8, 3, 2, bytes({3, 4, 0, 1}), {}, {0, 0, 0}},
        RleCase{"rle8EndCodeMayBeLeftOut", 8, 2, 1, bytes({2, 9, 0, 0}), {}, {9, 9}},
        RleCase{"rle4NibblesHighFirst",
                4,
                5,
                1,
                bytes({2, 0x12, 0, 3, 0x45, 0x60, 0, 1}),
                {},
                {1, 2, 4, 5, 6}},
        RleCase{"rle8RunPastRow", 8, 2, 1, bytes({3, 1, 0, 1}), kInvalid, {}},
        RleCase{"rle8LiteralPastRow", 8, 2, 1, bytes({0, 3, 1, 2, 3, 0}), kInvalid, {}},
        RleCase{"rle4RunPastRow", 4, 3, 1, bytes({4, 0x11, 0, 1}), kInvalid, {}},
        RleCase{"rle8DeltaPastRightEdge", 8, 2, 2, bytes({0, 2, 3, 0, 0, 1}), kInvalid, {}},
        RleCase{"rle8DeltaPastTop", 8, 2, 2, bytes({0, 2, 0, 3, 0, 1}), kInvalid, {}},
        RleCase{"rle8PixelsAfterLastRow", 8, 1, 1, bytes({0, 0, 1, 1, 0, 1}), kInvalid, {}},
        RleCase{"rle8IndexBeyondTable", 8, 2, 1, bytes({2, 12, 0, 1}), kInvalid, {}},
        RleCase{"rle4IndexBeyondTable", 4, 2, 1, bytes({2, 0x1C, 0, 1}), kInvalid, {}},
        RleCase{"rle8DataEndsEarly", 8, 2, 2, bytes({2, 1}), kShort, {}},
        RleCase{"rle8LiteralCutShort", 8, 4, 1, bytes({0, 4, 1, 2}), kShort, {}},
        RleCase{"rle8DeltaCutShort", 8, 4, 1, bytes({0, 2, 1}), kShort, {}},
        // Line ends past the last row are consumed one by one until the bytes run out.
        RleCase{"rle8OnlyLineEnds", 8, 1, 1, QByteArray(4000, '\0'), {}, {0}}),
    [](const auto& info) { return std::string(info.param.name); });

// A picture within the limits whose memory cannot be had fails like any other bad file, not
// with an exception the commands do not expect. The address space is narrowed for the test
// (not under AddressSanitizer, which needs a vast one of its own).
TEST(BmpDecode, PictureThatDoesNotFitInMemoryFailsCleanly) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space limits do not mix with AddressSanitizer";
#else
    BmpBuilder f;
    f.bpp = 8, f.compression = 1, f.width = f.height = 20000;  // 400 MB from four bytes
    f.table = {kRed};
    f.pixels = bytes({0, 1});
    const QByteArray file = f.build();
    QString failure;
    {
        const TestSupport::AddressSpaceLimit limit(std::size_t{128} << 20);
        PICTANOTE_REQUIRE_LIMIT(limit);
        failure = failureOf(file);
    }
    EXPECT_EQ(failure, QStringLiteral("メモリが不足しています"));
#endif
}

TEST(BmpDecode, TopDownRunLengthCodesAreRefused) {
    BmpBuilder f;
    f.bpp = 8, f.compression = 1, f.height = -1;
    f.table = {kRed};
    f.pixels = bytes({1, 0, 0, 1});
    EXPECT_EQ(failureOf(f.build()), kInvalid);
}

// --- Broken headers and sizes -------------------------------------------------------------

struct Broken {
    const char* name;
    std::function<QByteArray()> file;
    QString failure;
};

void PrintTo(const Broken& c, std::ostream* os) {
    *os << c.name;
}

BmpBuilder plain24(int32_t width, int32_t height) {
    BmpBuilder f;
    f.width = width, f.height = height;
    f.pixels = QByteArray(Bitmap::strideFor(std::abs(int64_t{width}), 24) *
                              std::min<int64_t>(std::abs(int64_t{height}), 4),
                          '\0');
    return f;
}

template <typename Change>
std::function<QByteArray()> with(Change change) {
    return [change] {
        BmpBuilder f = plain24(2, 2);
        change(f);
        return f.build();
    };
}

class BrokenFiles : public ::testing::TestWithParam<Broken> {};

TEST_P(BrokenFiles, FailWithTheirMessage) {
    EXPECT_EQ(failureOf(GetParam().file()), GetParam().failure);
}

INSTANTIATE_TEST_SUITE_P(
    BmpDecode, BrokenFiles,
    ::testing::Values(
        Broken{"empty", [] { return QByteArray(); }, kShort},
        Broken{"magicOnly", [] { return QByteArray("BM"); }, kShort},
        Broken{"pngSignature", [] { return QByteArray("\x89PNG\r\n\x1a\n", 8); }, kInvalid},
        Broken{"bitmapArray", [] { return QByteArray("BA") + plain24(1, 1).build().mid(2); },
               kInvalid},
        Broken{"headerCutShort", [] { return plain24(1, 1).build().left(30); }, kShort},
        Broken{"unknownHeaderSize", with([](BmpBuilder& f) { f.infoSize = 44; }), kInvalid},
        Broken{"twoPlanes", with([](BmpBuilder& f) { f.planes = 2; }), kInvalid},
        Broken{"zeroWidth", with([](BmpBuilder& f) { f.width = 0; }), kInvalid},
        Broken{"zeroHeight", with([](BmpBuilder& f) { f.height = 0; }), kInvalid},
        Broken{"negativeWidth", with([](BmpBuilder& f) { f.width = -2; }), kInvalid},
        Broken{"heightMinInt", with([](BmpBuilder& f) { f.height = INT32_MIN; }), kInvalid},
        Broken{"side65536", with([](BmpBuilder& f) { f.width = 65536; }), kInvalid},
        Broken{"topDownSide65536", with([](BmpBuilder& f) { f.height = -65536; }), kInvalid},
        Broken{"tooManyPixels", with([](BmpBuilder& f) { f.width = f.height = 65535; }),
               kInvalid},
        // Within the limits, but the pixels are not there: refused before any allocation.
        Broken{"twentyThousandSquareWithoutPixels",
               with([](BmpBuilder& f) { f.width = f.height = 20000; }), kShort},
        Broken{"pixelsCutShort", with([](BmpBuilder& f) { f.pixels.chop(4); }), kShort},
        Broken{"pixelOffsetPastEnd",
               [] {
                   BmpBuilder f = plain24(2, 2);
                   f.pixelOffset = 5000, f.fileSize = 0;
                   return f.build().left(100);
               },
               kShort},
        Broken{"pixelOffsetInsideHeader", with([](BmpBuilder& f) { f.pixelOffset = 20; }),
               kInvalid},
        Broken{"fileSizeBeyondFile", with([](BmpBuilder& f) { f.fileSize = 100000; }), kShort},
        Broken{"imageSizeBeyondFile", with([](BmpBuilder& f) { f.imageSize = 100000; }), kShort},
        Broken{"depth0", with([](BmpBuilder& f) { f.bpp = 0; }), kInvalid},
        Broken{"depth64", with([](BmpBuilder& f) { f.bpp = 64; }), kInvalid},
        Broken{"rle4At8Bits", with([](BmpBuilder& f) { f.bpp = 8, f.compression = 2; }),
               kInvalid},
        Broken{"bitFieldsAt24Bits", with([](BmpBuilder& f) { f.compression = 3; }), kInvalid},
        Broken{"jpeg", with([](BmpBuilder& f) { f.compression = 4; }), kInvalid},
        Broken{"png", with([](BmpBuilder& f) { f.compression = 5; }), kInvalid},
        Broken{"os2Huffman", with([](BmpBuilder& f) { f.infoSize = 64, f.bpp = 1, f.compression = 3; }),
               kInvalid},
        Broken{"masksCutShort",
               [] {
                   BmpBuilder f;
                   f.bpp = 32, f.compression = 3;
                   return f.build().left(60);
               },
               kShort},
        Broken{"zeroBlueMask", with([](BmpBuilder& f) {
                   f.bpp = 16, f.compression = 3, f.masks = {0x7C00, 0x03E0, 0};
               }),
               kInvalid},
        Broken{"splitMask", with([](BmpBuilder& f) {
                   f.bpp = 16, f.compression = 3, f.masks = {0x7C00, 0x03E0, 0x0015};
               }),
               kInvalid},
        Broken{"maskBeyond16Bits", with([](BmpBuilder& f) {
                   f.bpp = 16, f.compression = 3, f.masks = {0x7C000, 0x03E0, 0x001F};
               }),
               kInvalid},
        Broken{"hugeColourCount", with([](BmpBuilder& f) {
                   f.bpp = 8, f.colorsUsed = 300000000, f.table = {kRed};
               }),
               kInvalid},
        Broken{"tableCutShort",
               [] {
                   BmpBuilder f;
                   f.bpp = 8, f.fileSize = 0;
                   f.table.assign(256, kRed);
                   return f.build().left(54 + 100);
               },
               kShort},
        Broken{"twoBitIndexBeyondTableInLastByte", with([](BmpBuilder& f) {
                   f.bpp = 2, f.width = 5, f.height = 1, f.colorsUsed = 2, f.table = {kRed, kBlue};
                   f.pixels = bytes({0b01000100, 0b10000000, 0, 0});
               }),
               kInvalid},
        Broken{"indexBeyondTable", with([](BmpBuilder& f) {
                   f.bpp = 8, f.colorsUsed = 2, f.table = {kRed, kBlue};
                   f.pixels = bytes({1, 2, 0, 0, 0, 0, 0, 0});
               }),
               kInvalid}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BmpDecode, OversizedTableInTheFileIsCutTo256) {
    BmpBuilder f;
    f.bpp = 8, f.colorsUsed = 300;
    f.table.assign(300, kGreen);
    f.pixels = bytes({255, 0, 0, 0});
    const Bitmap b = Bmp::decode(f.build());
    EXPECT_EQ(b.colorTable().size(), 256u);
    EXPECT_EQ(rgbAt(b, 0, 0), kGreen);
}

TEST(BmpDecode, CoreHeaderTableEndsAtThePixels) {
    BmpBuilder f;
    f.infoSize = 12, f.bpp = 8;
    f.table = {kRed, kBlue, kGreen};  // 3 of 256 entries, then the pixels
    f.pixels = bytes({2, 0, 0, 0});
    const Bitmap b = Bmp::decode(f.build());
    EXPECT_EQ(b.colorTable().size(), 3u);
    EXPECT_EQ(rgbAt(b, 0, 0), kGreen);
}

// --- Writing ----------------------------------------------------------------------------

uint32_t u32At(const QByteArray& file, int offset) {
    return qFromLittleEndian<uint32_t>(file.constData() + offset);
}

uint16_t u16At(const QByteArray& file, int offset) {
    return qFromLittleEndian<uint16_t>(file.constData() + offset);
}

TEST(BmpEncode, WritesTheClassicLayout) {
    Bitmap b(3, 2, 8);
    b.setColorTable({kRed, kGreen, kBlue});
    b.setDotsPerMeter(3780, 2835);
    b.scanLine(0)[0] = 1;  // top row
    b.scanLine(1)[2] = 2;  // bottom row
    const QByteArray file = Bmp::encode(b);
    const int pixels = 14 + 40 + 3 * 4;
    ASSERT_EQ(file.size(), pixels + 2 * 4);
    EXPECT_EQ(file.left(2), "BM");
    EXPECT_EQ(u32At(file, 2), static_cast<uint32_t>(file.size()));
    EXPECT_EQ(u32At(file, 6), 0u);
    EXPECT_EQ(u32At(file, 10), static_cast<uint32_t>(pixels));
    EXPECT_EQ(u32At(file, 14), 40u);
    EXPECT_EQ(u32At(file, 18), 3u);
    EXPECT_EQ(u32At(file, 22), 2u);  // positive: bottom-up
    EXPECT_EQ(u16At(file, 26), 1u);
    EXPECT_EQ(u16At(file, 28), 8u);
    EXPECT_EQ(u32At(file, 30), 0u);  // uncompressed
    EXPECT_EQ(u32At(file, 34), 8u);  // two rows of 4 bytes
    EXPECT_EQ(u32At(file, 38), 3780u);
    EXPECT_EQ(u32At(file, 42), 2835u);
    EXPECT_EQ(u32At(file, 46), 3u);  // colours used
    EXPECT_EQ(file.mid(54, 12), bytes({0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0}));
    EXPECT_EQ(file.mid(pixels), bytes({0, 0, 2, 0, 1, 0, 0, 0}));  // bottom row first, padded
}

struct MaskLayout {
    const char* name;
    int bpp;
    ChannelMasks masks;
    uint32_t compression;
    int maskCount;
};

void PrintTo(const MaskLayout& c, std::ostream* os) {
    *os << c.name;
}

class EncodedMasks : public ::testing::TestWithParam<MaskLayout> {};

TEST_P(EncodedMasks, FollowTheHeaderOnlyWhenNotTheDefault) {
    const MaskLayout& c = GetParam();
    Bitmap b(1, 1, c.bpp);
    b.setMasks(c.masks);
    const QByteArray file = Bmp::encode(b);
    EXPECT_EQ(u32At(file, 30), c.compression);
    EXPECT_EQ(u32At(file, 10), static_cast<uint32_t>(54 + 4 * c.maskCount));
    const uint32_t expected[] = {c.masks.red, c.masks.green, c.masks.blue, c.masks.alpha};
    for (int i = 0; i < c.maskCount; ++i)
        EXPECT_EQ(u32At(file, 54 + 4 * i), expected[i]);
}

INSTANTIATE_TEST_SUITE_P(
    BmpEncode, EncodedMasks,
    ::testing::Values(MaskLayout{"default555", 16, {0x7C00, 0x03E0, 0x001F, 0}, 0, 0},
                      MaskLayout{"fields565", 16, {0xF800, 0x07E0, 0x001F, 0}, 3, 3},
                      MaskLayout{"default888", 32, {0xFF0000, 0xFF00, 0xFF, 0}, 0, 0},
                      MaskLayout{"alpha8888", 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 6, 4}),
    [](const auto& info) { return std::string(info.param.name); });

struct Depth {
    const char* name;
    int bpp;
    ChannelMasks masks;
    size_t tableSize;
};

void PrintTo(const Depth& c, std::ostream* os) {
    *os << c.name;
}

class RoundTrip : public ::testing::TestWithParam<Depth> {};

TEST_P(RoundTrip, KeepsFormatAndPixels) {
    const Depth& c = GetParam();
    Bitmap b(37, 5, c.bpp);  // an odd width, so rows are padded
    std::mt19937 random(c.bpp);
    for (int y = 0; y < b.height(); ++y)
        for (int64_t i = 0; i < (int64_t{b.width()} * c.bpp + 7) / 8; ++i)
            b.scanLine(y)[i] = static_cast<uint8_t>(random());
    if (c.bpp == 16 || c.bpp == 32)
        b.setMasks(c.masks);
    std::vector<QRgb> table;
    for (size_t i = 0; i < c.tableSize; ++i)
        table.push_back(qRgb(int(i), 255 - int(i), 7));
    b.setColorTable(table);
    b.setDotsPerMeter(1000, 2000);

    const Bitmap again = Bmp::decode(Bmp::encode(b));
    ASSERT_EQ(again.bitsPerPixel(), c.bpp);
    ASSERT_EQ(again.width(), 37);
    ASSERT_EQ(again.height(), 5);
    EXPECT_EQ(std::memcmp(again.bits(), b.bits(), static_cast<size_t>(b.byteCount())), 0);
    EXPECT_EQ(again.colorTable(), table);
    EXPECT_EQ(again.masks(), b.masks());
    EXPECT_EQ(again.dotsPerMeterX(), 1000);
    EXPECT_EQ(again.dotsPerMeterY(), 2000);
}

INSTANTIATE_TEST_SUITE_P(
    BmpEncode, RoundTrip,
    ::testing::Values(Depth{"bits1", 1, {}, 2}, Depth{"bits2", 2, {}, 4}, Depth{"bits4", 4, {}, 16},
                      Depth{"bits8", 8, {}, 256},
                      Depth{"bits16default", 16, {0x7C00, 0x03E0, 0x001F, 0}, 0},
                      Depth{"bits16fields565", 16, {0xF800, 0x07E0, 0x001F, 0}, 0},
                      Depth{"bits16alpha4444", 16, {0x0F00, 0x00F0, 0x000F, 0xF000}, 0},
                      Depth{"bits24", 24, {}, 0},
                      Depth{"bits32default", 32, {0xFF0000, 0xFF00, 0xFF, 0}, 0},
                      Depth{"bits32alpha", 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 0},
                      Depth{"bits32fields", 32, {0xFF, 0xFF00, 0xFF0000, 0}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BmpEncode, EmptyTableIsWrittenAsBlack) {
    Bitmap b(2, 1, 4);
    b.scanLine(0)[0] = 0xF0;
    const Bitmap again = Bmp::decode(Bmp::encode(b));
    EXPECT_EQ(again.colorTable().size(), 16u);
    EXPECT_EQ(again.pixel(0, 0) & 0xFFFFFF, 0u);
}

// A picture taken from elsewhere (the clipboard) may use indexes its short table lacks; what we
// write must still read back, showing those pixels black as they were shown.
TEST(BmpEncode, TableTooShortForThePixelsIsPaddedWithBlack) {
    Bitmap b(3, 1, 8);
    b.setColorTable({qRgb(10, 20, 30), qRgb(40, 50, 60)});
    b.scanLine(0)[0] = 1;
    b.scanLine(0)[1] = 200;
    const Bitmap again = Bmp::decode(Bmp::encode(b));
    EXPECT_EQ(again.colorTable().size(), 256u);
    EXPECT_EQ(again.pixel(0, 0), qRgb(40, 50, 60));
    EXPECT_EQ(again.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(again.pixel(2, 0), qRgb(10, 20, 30));

    // A short table that covers every pixel stays short.
    b.scanLine(0)[1] = 0;
    EXPECT_EQ(Bmp::decode(Bmp::encode(b)).colorTable().size(), 2u);
}

TEST(BmpEncode, EmptyBitmapIsRefused) {
    EXPECT_THROW(Bmp::encode(Bitmap()), ToolkitError);
}

// --- Files ------------------------------------------------------------------------------

class BmpFiles : public TestSupport::TempDirTest {
protected:
    static Bitmap sample() {
        Bitmap b(3, 3, 24);
        b.scanLine(1)[4] = 200;
        return b;
    }
    static QByteArray contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(BmpFiles, WriteThenReadGivesTheSameBitmap) {
    const QString file = path(QStringLiteral("画像.bmp"));
    Bmp::writeFile(sample(), file);
    EXPECT_EQ(contents(file), Bmp::encode(sample()));
    const Bitmap b = Bmp::readFile(file);
    EXPECT_EQ(b.scanLine(1)[4], 200);
    // Writing again replaces the file, leaving nothing else in the folder.
    Bmp::writeFile(Bitmap(1, 1, 8), file);
    EXPECT_EQ(Bmp::readFile(file).bitsPerPixel(), 8);
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files).size(), 1);
}

// Reading from a file takes the headers first and the rows one by one: whatever the shape, it
// gives what decoding the same bytes in memory gives, failures included.
TEST_F(BmpFiles, ReadingFromAFileAgreesWithDecoding) {
    Bitmap wide(1500, 3, 24);  // rows without padding, well past the first read
    Bitmap padded(999, 4, 24);
    Bitmap indexed(3000, 5, 1);
    indexed.setColorTable({kRed, kBlue});
    for (Bitmap* b : {&wide, &padded, &indexed})
        for (int y = 0; y < b->height(); ++y)
            for (int64_t i = 0; i < (b->width() * b->bitsPerPixel() + 7) / 8; ++i)
                b->scanLine(y)[i] = static_cast<uint8_t>(i * 5 + y * 17);
    QByteArray gap = Bmp::encode(padded);  // pixels far from the headers
    const uint32_t pixels = u32At(gap, 10);
    gap.insert(pixels, QByteArray(9000, '\x55'));
    qToLittleEndian<uint32_t>(pixels + 9000, gap.data() + 10);
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(gap.size()), gap.data() + 2);
    const QByteArray whole = Bmp::encode(wide);
    const struct {
        const char* name;
        QByteArray bytes;
    } rows[] = {
        {"Wide", whole},
        {"Padded", Bmp::encode(padded)},
        {"Indexed", Bmp::encode(indexed)},
        {"Gap", gap},
        {"CutInTheRows", whole.left(whole.size() - 100)},
        {"CutInTheHeaders", whole.left(30)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString file = path(QStringLiteral("f.bmp"));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray("prefix") + row.bytes);
        f.close();
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QString message;
        try {
            const Bitmap read = Bmp::readFrom(f, 6, row.bytes.size());
            EXPECT_EQ(Bmp::encode(read), Bmp::encode(Bmp::decode(row.bytes)));
        } catch (const ToolkitError& e) {
            message = e.message();
        }
        EXPECT_EQ(message, failureOf(row.bytes));
    }
}

TEST_F(BmpFiles, ReadFailuresNameTheirCause) {
    const QString missing = path(QStringLiteral("none.bmp"));
    const QString empty = path(QStringLiteral("empty.bmp"));
    ASSERT_TRUE(QFile(empty).open(QIODevice::WriteOnly));
    const auto failure = [](const QString& file) {
        try {
            Bmp::readFile(file);
            return QString();
        } catch (const ToolkitError& e) {
            return e.message();
        }
    };
    EXPECT_EQ(failure(missing), QStringLiteral("ファイル %1 は開けません").arg(missing));
    EXPECT_EQ(failure(dir()), QStringLiteral("ファイル %1 は開けません").arg(dir()));
    EXPECT_EQ(failure(empty), kShort);
    // A device that never ends is refused, not read.
    const QString device = QStringLiteral("/dev/zero");
    EXPECT_EQ(failure(device), QStringLiteral("ファイル %1 は開けません").arg(device));
}

TEST_F(BmpFiles, FolderThatDoesNotExistCannotBeWrittenTo) {
    const QString file = path(QStringLiteral("no/such/folder/out.bmp"));
    try {
        Bmp::writeFile(sample(), file);
        FAIL() << "written";
    } catch (const ToolkitError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("ファイル %1 を作成できません").arg(file));
    }
}

TEST_F(BmpFiles, FolderInThePlaceOfTheFileCannotBeReplaced) {
    const QString target = path(QStringLiteral("taken.bmp"));
    ASSERT_TRUE(QDir().mkpath(target + QStringLiteral("/inside")));
    try {
        Bmp::writeFile(sample(), target);
        FAIL() << "written";
    } catch (const ToolkitError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("ファイル %1 を作成できません").arg(target));
    }
    EXPECT_TRUE(QFileInfo(target + QStringLiteral("/inside")).isDir());
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files), QStringList());
}

// A disk that fills up halfway, made with the file size limit (which binds root too).
TEST_F(BmpFiles, FailedWriteLeavesTheOldFileAsItWas) {
    const QString file = path(QStringLiteral("keep.bmp"));
    Bmp::writeFile(sample(), file);
    const QByteArray before = contents(file);

    QString failure;
    {
        const TestSupport::FileSizeLimit limit(4096);
        if (!limit.enforced())
            GTEST_SKIP() << "this system cannot limit the size of a file";
        try {
            Bmp::writeFile(Bitmap(200, 200, 24), file);
        } catch (const ToolkitError& e) {
            failure = e.message();
        }
    }

    EXPECT_EQ(failure, QStringLiteral("ストリームへの書き込みエラー"));
    EXPECT_EQ(contents(file), before);
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files), QStringList{QStringLiteral("keep.bmp")});
}

}  // namespace
