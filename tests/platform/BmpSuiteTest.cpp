// The public BMP suite: good files load with the pixels they promise, bad files fail with the
// right message, and every questionable file has a recorded fate.
#include "Bmp.h"
#include "TestSupport.h"
#include "ToolkitError.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

#include <cstring>
#include <optional>
#include <ostream>
#include <vector>

using namespace Platform;

namespace {

constexpr QRgb kRed = 0xFF0000, kBlack = 0x000000, kWhite = 0xFFFFFF, kMagenta = 0xFF00FF;

struct Landmark {
    int x, y;
    QRgb rgb;
};

// Most suite images are one picture: four colour bands fading to black, red at the top left,
// magenta at the bottom of the second band, and the white letters "BMP" outlined in black.
const std::vector<Landmark> kColourPicture = {
    {0, 0, kRed}, {0, 63, kBlack}, {63, 63, kMagenta}, {40, 32, kWhite}, {100, 32, kBlack}};

struct GoodImage {
    const char* name;
    int width, height, bpp;
    std::vector<Landmark> landmarks;
    std::optional<ChannelMasks> masks = {};
};

void PrintTo(const GoodImage& row, std::ostream* os) {
    *os << row.name;
}

const std::vector<GoodImage> kGood = {
    {"pal1", 127, 64, 1, {{0, 0, kWhite}, {40, 32, kWhite}, {100, 32, kBlack}}},
    {"pal1wb", 127, 64, 1, {{0, 0, kWhite}, {40, 32, kWhite}, {100, 32, kBlack}}},
    {"pal1bg", 127, 64, 1, {{0, 0, 0x40FF40}, {100, 32, 0x4040FF}}},
    {"pal4", 127, 64, 4, kColourPicture},
    {"pal4gs", 127, 64, 4, {{40, 32, kWhite}, {100, 32, kBlack}}},
    {"pal4rle", 127, 64, 4, kColourPicture},
    {"pal8", 127, 64, 8, kColourPicture},
    {"pal8-0", 127, 64, 8, kColourPicture},
    {"pal8gs", 127, 64, 8, {{0, 0, 0x808080}, {40, 32, kWhite}, {100, 32, kBlack}}},
    {"pal8rle", 127, 64, 8, kColourPicture},
    {"pal8w124", 124, 61, 8, {{0, 0, kRed}}},
    {"pal8w125", 125, 62, 8, {{0, 0, kRed}}},
    {"pal8w126", 126, 63, 8, {{0, 0, kRed}}},
    {"pal8topdown", 127, 64, 8, kColourPicture},
    {"pal8nonsquare", 127, 32, 8, {{0, 0, kRed}}},
    {"pal8os2", 127, 64, 8, kColourPicture},
    {"pal8v4", 127, 64, 8, kColourPicture},
    {"pal8v5", 127, 64, 8, kColourPicture},
    {"rgb16", 127, 64, 16, kColourPicture, ChannelMasks{0x7C00, 0x03E0, 0x001F, 0}},
    {"rgb16bfdef", 127, 64, 16, kColourPicture, ChannelMasks{0x7C00, 0x03E0, 0x001F, 0}},
    {"rgb16-565", 127, 64, 16, kColourPicture, ChannelMasks{0xF800, 0x07E0, 0x001F, 0}},
    {"rgb16-565pal", 127, 64, 16, kColourPicture, ChannelMasks{0xF800, 0x07E0, 0x001F, 0}},
    {"rgb24", 127, 64, 24, kColourPicture},
    {"rgb24pal", 127, 64, 24, kColourPicture},
    {"rgb32", 127, 64, 32, kColourPicture, ChannelMasks{0xFF0000, 0xFF00, 0xFF, 0}},
    {"rgb32bfdef", 127, 64, 32, kColourPicture, ChannelMasks{0xFF0000, 0xFF00, 0xFF, 0}},
    {"rgb32bf", 127, 64, 32, kColourPicture, ChannelMasks{0xFF000000, 0xFF0, 0xFF0000, 0}},
};

QString suiteFile(const QString& folder, const char* name) {
    return TestSupport::bmpSuitePath(folder + '/' + QString::fromLatin1(name) + ".bmp");
}

std::vector<uint8_t> bgrBytes(const Bitmap& bitmap) {
    const Bitmap rgb = bitmap.toBgr24();
    return {rgb.bits(), rgb.bits() + rgb.byteCount()};
}

// Encoding and decoding again gives the same bitmap: size, depth, rows, table, masks, density.
void expectRoundTrip(const Bitmap& b) {
    const Bitmap again = Bmp::decode(Bmp::encode(b));
    ASSERT_EQ(again.width(), b.width());
    ASSERT_EQ(again.height(), b.height());
    ASSERT_EQ(again.bitsPerPixel(), b.bitsPerPixel());
    EXPECT_EQ(std::memcmp(again.bits(), b.bits(), static_cast<size_t>(b.byteCount())), 0);
    EXPECT_EQ(again.colorTable(), b.colorTable());
    EXPECT_EQ(again.masks(), b.masks());
    EXPECT_EQ(again.dotsPerMeterX(), b.dotsPerMeterX());
    EXPECT_EQ(again.dotsPerMeterY(), b.dotsPerMeterY());
}

class GoodSuiteImage : public ::testing::TestWithParam<GoodImage> {};

TEST_P(GoodSuiteImage, LoadsInItsOwnFormatWithTheKnownPixels) {
    const GoodImage& row = GetParam();
    const QString file = suiteFile(QStringLiteral("g"), row.name);
    const Bitmap b = Bmp::readFile(file);
    EXPECT_EQ(b.width(), row.width);
    EXPECT_EQ(b.height(), row.height);
    EXPECT_EQ(b.bitsPerPixel(), row.bpp);
    if (row.masks) {
        EXPECT_EQ(b.masks(), *row.masks);
    }
    for (const Landmark& m : row.landmarks)
        EXPECT_EQ(b.pixel(m.x, m.y) & 0xFFFFFF, m.rgb) << "at " << m.x << ',' << m.y;

    // Qt's own reader agrees on every pixel. It widens 5- and 6-bit channels by a plain shift
    // where we scale them (31 -> 255, not 248), so 16-bit images may differ by up to 7.
    const QImage qt = QImage(file).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(qt.isNull());
    const int tolerance = row.bpp == 16 ? 7 : 0;
    int mismatches = 0;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            const QRgb ours = b.pixel(x, y), theirs = qt.pixel(x, y);
            if (std::abs(qRed(ours) - qRed(theirs)) > tolerance ||
                std::abs(qGreen(ours) - qGreen(theirs)) > tolerance ||
                std::abs(qBlue(ours) - qBlue(theirs)) > tolerance)
                ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
    expectRoundTrip(b);
}

INSTANTIATE_TEST_SUITE_P(Bmpsuite, GoodSuiteImage, ::testing::ValuesIn(kGood),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             std::replace(n.begin(), n.end(), '-', '_');
                             return n;
                         });

TEST(BmpSuite, ResolutionIsKept) {
    const Bitmap b = Bmp::readFile(suiteFile(QStringLiteral("g"), "pal8nonsquare"));
    QFile file(suiteFile(QStringLiteral("g"), "pal8nonsquare"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray raw = file.readAll();
    EXPECT_EQ(b.dotsPerMeterX(), qFromLittleEndian<int32_t>(raw.constData() + 38));
    EXPECT_EQ(b.dotsPerMeterY(), qFromLittleEndian<int32_t>(raw.constData() + 42));
    EXPECT_NEAR(b.dotsPerMeterX(), 2 * b.dotsPerMeterY(), 1);
}

// Files that must decode to identical pixels, the first of each group being the reference.
struct Group {
    const char* name;
    std::vector<const char*> files;  // "folder/name"
};

void PrintTo(const Group& g, std::ostream* os) {
    *os << g.name;
}

const std::vector<Group> kGroups = {
    {"pal8",
     {"g/pal8", "g/pal8-0", "g/pal8topdown", "g/pal8rle", "g/pal8os2", "g/pal8v4", "g/pal8v5",
      "q/pal8offs", "q/pal8os2-hs", "q/pal8os2-sz", "q/pal8os2sp", "q/pal8os2v2", "q/pal8os2v2-16",
      "q/pal8os2v2-40sz", "q/pal8os2v2-sz", "q/pal8oversizepal"}},
    {"truecolour",
     {"g/rgb24", "g/rgb24pal", "g/rgb32", "g/rgb32bf", "g/rgb32bfdef", "q/rgb24largepal",
      "q/rgb24prof", "q/rgb24lprof", "q/rgb32-xbgr", "q/rgb32fakealpha", "q/rgb32h52"}},
    {"rgb555", {"g/rgb16", "g/rgb16bfdef", "q/rgb16faketrns", "q/rgba16-5551"}},
    {"rgb565", {"g/rgb16-565", "g/rgb16-565pal"}},
    {"pal4", {"g/pal4", "g/pal4rle"}},
    {"pal1", {"g/pal1", "g/pal1wb"}},
    {"rgba32",
     {"q/rgba32-1", "q/rgba32-2", "q/rgba32-1010102", "q/rgba32-81284", "q/rgba32abf",
      "q/rgba32h56"}},
};

class EquivalentSuiteImages : public ::testing::TestWithParam<Group> {};

TEST_P(EquivalentSuiteImages, DecodeToIdenticalPixels) {
    const auto& files = GetParam().files;
    const auto reference = bgrBytes(Bmp::readFile(TestSupport::bmpSuitePath(files[0]) + ".bmp"));
    for (size_t i = 1; i < files.size(); ++i) {
        const auto other = bgrBytes(Bmp::readFile(TestSupport::bmpSuitePath(files[i]) + ".bmp"));
        EXPECT_TRUE(other == reference) << files[i] << " differs from " << files[0];
    }
}

INSTANTIATE_TEST_SUITE_P(Bmpsuite, EquivalentSuiteImages, ::testing::ValuesIn(kGroups),
                         [](const auto& info) { return std::string(info.param.name); });

// The fate of a file that should not load, or of a questionable one.
enum class Fate { Loads, Invalid, ShortRead };

struct Verdict {
    const char* folder;
    const char* name;
    Fate fate;
    const char* why;
};

void PrintTo(const Verdict& v, std::ostream* os) {
    *os << v.folder << '/' << v.name << " (" << v.why << ')';
}

const std::vector<Verdict> kVerdicts = {
    // Questionable files.
    {"q", "pal1p1", Fate::Loads, "a one-entry table that every pixel stays inside"},
    {"q", "pal2", Fate::Loads, "2 bits per pixel is one of our formats"},
    {"q", "pal2color", Fate::Loads, "2 bits per pixel with colours"},
    {"q", "pal4rlecut", Fate::Loads, "rows an early end code leaves out keep index 0"},
    {"q", "pal4rletrns", Fate::Loads, "pixels the deltas skip keep index 0"},
    {"q", "pal8rlecut", Fate::Loads, "rows an early end code leaves out keep index 0"},
    {"q", "pal8rletrns", Fate::Loads, "pixels the deltas skip keep index 0"},
    {"q", "pal8offs", Fate::Loads, "the pixel offset is honoured"},
    {"q", "pal8oversizepal", Fate::Loads, "256 of 300 table entries read, the rest skipped"},
    {"q", "pal8os2-sz", Fate::Loads, "a file size field smaller than the file is harmless"},
    {"q", "pal8os2-hs", Fate::Loads, "reserved fields are ignored"},
    {"q", "pal8os2sp", Fate::Loads, "the table ends where the pixels start"},
    {"q", "pal8os2v2", Fate::Loads, "64-byte OS/2 header"},
    {"q", "pal8os2v2-16", Fate::Loads, "16-byte OS/2 header, the rest defaults"},
    {"q", "pal8os2v2-sz", Fate::Loads, "a file size field smaller than the file is harmless"},
    {"q", "pal8os2v2-40sz", Fate::Loads, "an ordinary 40-byte header"},
    {"q", "rgb16faketrns", Fate::Loads, "the unused top bit is ignored"},
    {"q", "rgb16-231", Fate::Loads, "each channel scaled by its own width"},
    {"q", "rgb16-3103", Fate::Loads, "each channel scaled by its own width"},
    {"q", "rgba16-4444", Fate::Loads, "colour read, alpha mask kept"},
    {"q", "rgba16-5551", Fate::Loads, "colour read, alpha mask kept"},
    {"q", "rgba16-1924", Fate::Loads, "colour read, alpha mask kept"},
    {"q", "rgb24largepal", Fate::Loads, "an unused table skipped through the pixel offset"},
    {"q", "rgb24prof", Fate::Loads, "the embedded colour profile after the pixels is ignored"},
    {"q", "rgb24lprof", Fate::Loads, "the linked profile is never opened"},
    {"q", "rgb32fakealpha", Fate::Loads, "the unused byte is ignored"},
    {"q", "rgb32-xbgr", Fate::Loads, "masks in the high bits"},
    {"q", "rgb32h52", Fate::Loads, "52-byte header with the masks inside"},
    {"q", "rgba32h56", Fate::Loads, "56-byte header with an alpha mask"},
    {"q", "rgb32-111110", Fate::Loads, "wide channels scaled without overflow"},
    {"q", "rgb32-7187", Fate::Loads, "an 18-bit channel scaled without overflow"},
    {"q", "rgba32-1", Fate::Loads, "alpha mask kept, colour read"},
    {"q", "rgba32-2", Fate::Loads, "masks in an unusual order"},
    {"q", "rgba32-1010102", Fate::Loads, "odd mask widths"},
    {"q", "rgba32-81284", Fate::Loads, "odd mask widths"},
    {"q", "rgba32-61754", Fate::Loads, "odd mask widths"},
    {"q", "rgba32abf", Fate::Loads, "the alpha bit-field compression after a 40-byte header"},
    {"q", "rgb24jpeg", Fate::Invalid, "a JPEG payload is no bitmap of ours"},
    {"q", "rgb24png", Fate::Invalid, "a PNG payload is no bitmap of ours"},
    {"q", "rgb24rle24", Fate::Invalid, "OS/2 RLE24 is not read"},
    {"q", "pal1huffmsb", Fate::Invalid,
     "OS/2 Huffman coding is not read, nor taken for bit fields"},
    {"q", "rgba64", Fate::Invalid, "64 bits per pixel is not one of our depths"},
    // Bad files.
    {"b", "badbitcount", Fate::Invalid, "a depth of 30000"},
    {"b", "badbitssize", Fate::ShortRead, "the image size says 2 GB, the file is 1 KB"},
    {"b", "badfilesize", Fate::ShortRead, "the file size field says 2 GB, the file is 1 KB"},
    {"b", "badheadersize", Fate::Invalid, "no header has 66 bytes"},
    {"b", "badpalettesize", Fate::Invalid, "a 305-million-entry table not in the file"},
    {"b", "badplanes", Fate::Invalid, "30000 planes"},
    {"b", "badrle", Fate::Invalid, "an RLE8 run past the row"},
    {"b", "badrle4", Fate::Invalid, "an RLE4 run past the row"},
    {"b", "badrlebis", Fate::Invalid, "an RLE8 delta past the right edge"},
    {"b", "badrle4bis", Fate::Invalid, "an RLE4 delta past the right edge"},
    {"b", "badrleter", Fate::Invalid, "an RLE8 delta past the edge and down"},
    {"b", "badrle4ter", Fate::Invalid, "an RLE4 delta past the edge and down"},
    {"b", "badwidth", Fate::Invalid, "a negative width"},
    {"b", "pal8badindex", Fate::Invalid, "indexes beyond the 101-entry table"},
    {"b", "reallybig", Fate::Invalid, "3000000 x 2000000 pixels"},
    {"b", "rgb16-880", Fate::Invalid, "a blue mask of zero"},
    {"b", "rletopdown", Fate::Invalid, "run-length coded rows stored top-down"},
    {"b", "shortfile", Fate::ShortRead, "cut off in the pixels"},
    // These two are whole, well-formed pictures whose resolution fields are absurd (30000000
    // and 3 pixels per metre). The resolution only travels with the image and never drives
    // scaling or allocation, so refusing the picture would help nobody: they load.
    {"b", "baddens1", Fate::Loads, "absurd but harmless resolution"},
    {"b", "baddens2", Fate::Loads, "absurd but harmless resolution"},
    // Related formats.
    {"x", "ba-bm", Fate::Invalid, "an OS/2 bitmap array starts with BA, not BM"},
};

class SuiteVerdict : public ::testing::TestWithParam<Verdict> {};

TEST_P(SuiteVerdict, LoadsOrFailsAsRecorded) {
    const Verdict& v = GetParam();
    const QString file = suiteFile(QString::fromLatin1(v.folder), v.name);
    ASSERT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    if (v.fate == Fate::Loads) {
        const Bitmap b = Bmp::readFile(file);
        EXPECT_EQ(b.width(), 127);
        EXPECT_EQ(b.height(), 64);
        expectRoundTrip(b);
        return;
    }
    try {
        Bmp::readFile(file);
        ADD_FAILURE() << "loaded";
    } catch (const ToolkitError& e) {
        EXPECT_EQ(e.message(),
                  v.fate == Fate::Invalid ? Msg::invalidBitmap() : Msg::streamReadError());
    }
}

INSTANTIATE_TEST_SUITE_P(Bmpsuite, SuiteVerdict, ::testing::ValuesIn(kVerdicts),
                         [](const auto& info) {
                             std::string n = std::string(info.param.folder) + '_' + info.param.name;
                             std::replace(n.begin(), n.end(), '-', '_');
                             return n;
                         });

TEST(BmpSuite, EveryFileHasAVerdict) {
    size_t files = 0;
    for (const char* folder : {"q", "b", "x"})
        files += QDir(TestSupport::bmpSuitePath(QString::fromLatin1(folder)))
                     .entryList({QStringLiteral("*.bmp")})
                     .size();
    EXPECT_EQ(files, kVerdicts.size());
    EXPECT_EQ(QDir(TestSupport::bmpSuitePath(QStringLiteral("g")))
                  .entryList({QStringLiteral("*.bmp")})
                  .size(),
              kGood.size());
}

// Pixels the run-length codes never reach keep index 0 (purple in these files' tables); every
// other pixel is the picture's own.
TEST(BmpSuite, PixelsSkippedByRunLengthCodesKeepIndexZero) {
    struct Case {
        const char* name;
        const char* reference;
        int x, y;  // a pixel the codes skip
    };
    for (const Case c :
         {Case{"pal8rlecut", "pal8", 0, 0}, Case{"pal4rlecut", "pal4", 0, 0},
          Case{"pal8rletrns", "pal8", 40, 32}, Case{"pal4rletrns", "pal4", 40, 32}}) {
        const Bitmap b = Bmp::readFile(suiteFile(QStringLiteral("q"), c.name));
        const Bitmap reference = Bmp::readFile(suiteFile(QStringLiteral("g"), c.reference));
        const QRgb fill = b.colorTable().at(0);
        EXPECT_EQ(fill & 0xFFFFFF, 0x8000FFu) << c.name;
        EXPECT_EQ(b.pixel(c.x, c.y), fill) << c.name;
        int own = 0, other = 0;
        for (int y = 0; y < b.height(); ++y) {
            for (int x = 0; x < b.width(); ++x) {
                if (b.pixel(x, y) == reference.pixel(x, y))
                    ++own;
                else if (b.pixel(x, y) != fill)
                    ++other;
            }
        }
        EXPECT_EQ(other, 0) << c.name;
        EXPECT_GT(own, b.width() * b.height() / 2) << c.name;
    }
}

}  // namespace
