#include "Bmp.h"
#include "Compositor.h"
#include "MarkerColors.h"
#include "ToolkitError.h"

#include <gtest/gtest.h>
#include <QFile>

using namespace Markers;

namespace {

constexpr QRgb kOliveQ = qRgb(128, 128, 0);
constexpr QRgb kGreenQ = qRgb(0, 128, 0);
constexpr QRgb kWhiteQ = qRgb(255, 255, 255);
constexpr QRgb kRedQ = qRgb(255, 0, 0);
constexpr QRgb kSilverQ = qRgb(192, 192, 192);
constexpr QRgb kGrayQ = qRgb(128, 128, 128);

std::optional<QRgb> px(const ImageList& list, int index, int x, int y) {
    return list.Pixel(index, x, y);
}

ImageList glyphsFor(int32_t color) {
    Compositor c;
    c.SetMarkerColor(color);
    return c.ILBits();
}

}  // namespace

TEST(GlyphTest, AllSixtySevenResourcesAre32By32With16Colours) {
    std::vector<std::string> names{"NONE", "BUTTON", "SELECTED"};
    for (const MarkerColorEntry& e : kMarkerColors)
        for (std::string_view shape : kColoredShapes)
            names.push_back(std::string(e.prefix) + std::string(shape));
    ASSERT_EQ(names.size(), static_cast<size_t>(kGlyphCount));
    for (const std::string& name : names) {
        QFile file(kGlyphResourcePrefix + QString::fromStdString(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const Platform::Bitmap b = Platform::Bmp::decode(file.readAll());
        EXPECT_EQ(b.width(), 32) << name;
        EXPECT_EQ(b.height(), 32) << name;
        EXPECT_EQ(b.bitsPerPixel(), 4) << name;
    }
}

struct ColorChoice {
    const char* name;
    int32_t value;
    QRgb shape;  // the frame colour of image 2 (prefix + "BOX01")
};

TEST(GlyphTest, SetMarkerColorPicksTheColourSetAndItsTransparentColour) {
    const ColorChoice cases[] = {
        {"black", 0, qRgb(0, 0, 0)},
        {"green", ColorValue(0, 128, 0), kGreenQ},
        {"olive uses green as transparent", ColorValue(128, 128, 0), kOliveQ},
        {"red", ColorValue(255, 0, 0), kRedQ},
        {"aqua", ColorValue(0, 255, 255), qRgb(0, 255, 255)},
        {"white", ColorValue(255, 255, 255), kWhiteQ},
        {"window text gives black", clWindowText, qRgb(0, 0, 0)},
        {"button face gives black", clBtnFace, qRgb(0, 0, 0)},
        {"near red gives black", ColorValue(254, 0, 0), qRgb(0, 0, 0)},
        {"high byte set gives black", 0x010000FF, qRgb(0, 0, 0)},
    };
    for (const ColorChoice& c : cases) {
        const ImageList list = glyphsFor(c.value);
        ASSERT_EQ(list.Count(), 7) << c.name;
        for (int index = 2; index <= 5; ++index)
            EXPECT_EQ(px(list, index, 0, 16), c.shape) << c.name << " image " << index;
        // The background of each set is transparent, whatever colour it is drawn in.
        EXPECT_EQ(px(list, 2, 16, 16), std::nullopt) << c.name;
        EXPECT_EQ(px(list, 4, 0, 0), std::nullopt) << c.name;
        EXPECT_EQ(px(list, 3, 16, 16), kWhiteQ) << c.name;
        // The three colourless glyphs are the same in every set.
        EXPECT_EQ(px(list, 1, 16, 16), kSilverQ) << c.name;
        EXPECT_EQ(px(list, 6, 2, 2), kRedQ) << c.name;
        EXPECT_EQ(px(list, 0, 16, 16), std::nullopt) << c.name;
    }
}

TEST(GlyphTest, LoadGlyphsWithAnUnknownPrefixThrowsAndKeepsTheGlyphs) {
    Compositor c;
    c.SetMarkerColor(ColorValue(255, 0, 0));
    EXPECT_THROW(c.LoadGlyphs(QStringLiteral("CHARTREUSE"), kOliveQ), Platform::ToolkitError);
    ASSERT_EQ(c.ILBits().Count(), 7);
    EXPECT_EQ(px(c.ILBits(), 2, 0, 0), kRedQ);
}

TEST(GlyphTest, RingIsRoundAndThreePixelsWideAtTheSides) {
    const ImageList list = glyphsFor(ColorValue(255, 0, 0));
    for (int index : {4, 5}) {
        for (int mid : {15, 16}) {
            for (int d = 0; d < 3; ++d) {
                EXPECT_EQ(px(list, index, d, mid), kRedQ) << index << " left " << d;
                EXPECT_EQ(px(list, index, 31 - d, mid), kRedQ) << index << " right " << d;
                EXPECT_EQ(px(list, index, mid, d), kRedQ) << index << " top " << d;
                EXPECT_EQ(px(list, index, mid, 31 - d), kRedQ) << index << " bottom " << d;
            }
        }
        // Eightfold symmetric, so round and centred; the corners lie outside.
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const auto p = px(list, index, x, y);
                ASSERT_EQ(p, px(list, index, 31 - x, y)) << x << "," << y;
                ASSERT_EQ(p, px(list, index, x, 31 - y)) << x << "," << y;
                ASSERT_EQ(p, px(list, index, y, x)) << x << "," << y;
            }
        }
        EXPECT_EQ(px(list, index, 0, 0), std::nullopt);
        EXPECT_EQ(px(list, index, 3, 3), std::nullopt);
    }
    // Inside the ring: transparent for CIRCLE01, a white disc for CIRCLE02.
    EXPECT_EQ(px(list, 4, 3, 16), std::nullopt);
    EXPECT_EQ(px(list, 4, 16, 16), std::nullopt);
    EXPECT_EQ(px(list, 5, 3, 16), kWhiteQ);
    EXPECT_EQ(px(list, 5, 16, 16), kWhiteQ);
}

TEST(GlyphTest, BoxesHaveATwoPixelFrame) {
    const ImageList list = glyphsFor(ColorValue(0, 0, 128));
    const QRgb navy = qRgb(0, 0, 128);
    for (int index : {2, 3}) {
        for (int i = 0; i < 32; ++i) {
            EXPECT_EQ(px(list, index, i, 0), navy);
            EXPECT_EQ(px(list, index, i, 1), navy);
            EXPECT_EQ(px(list, index, 31, i), navy);
            EXPECT_EQ(px(list, index, 30, i), navy);
        }
    }
    EXPECT_EQ(px(list, 2, 2, 2), std::nullopt);
    EXPECT_EQ(px(list, 2, 29, 29), std::nullopt);
    EXPECT_EQ(px(list, 3, 2, 2), kWhiteQ);
    EXPECT_EQ(px(list, 3, 29, 29), kWhiteQ);
}

TEST(GlyphTest, ButtonIsRaisedAndOpaque) {
    const ImageList list = glyphsFor(0);
    struct {
        int x, y;
        QRgb expected;
    } const cases[] = {
        {0, 0, kWhiteQ},  {1, 1, kWhiteQ},  {15, 0, kWhiteQ}, {0, 15, kWhiteQ},
        {31, 31, kGrayQ}, {30, 30, kGrayQ}, {15, 31, kGrayQ}, {31, 15, kGrayQ},
        {30, 0, kWhiteQ}, {31, 0, kGrayQ},  {30, 1, kGrayQ},  {0, 30, kWhiteQ},
        {0, 31, kGrayQ},  {1, 30, kGrayQ},  {2, 2, kSilverQ}, {29, 29, kSilverQ},
    };
    for (const auto& c : cases)
        EXPECT_EQ(px(list, 1, c.x, c.y), c.expected) << c.x << "," << c.y;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_TRUE(px(list, 1, x, y).has_value()) << x << "," << y;
}

TEST(GlyphTest, SelectionOverlayHasFourHandles) {
    const ImageList list = glyphsFor(0);
    for (int ox : {0, 24}) {
        for (int oy : {0, 24}) {
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    const bool outside = x == 0 || y == 0 || x == 7 || y == 7;
                    const bool outline = x == 1 || y == 1 || x == 6 || y == 6;
                    const std::optional<QRgb> expected = outside   ? std::nullopt
                                                         : outline ? std::optional(kWhiteQ)
                                                                   : kRedQ;
                    EXPECT_EQ(px(list, 6, ox + x, oy + y), expected) << ox + x << "," << oy + y;
                }
            }
        }
    }
    EXPECT_EQ(px(list, 6, 16, 16), std::nullopt);
    EXPECT_EQ(px(list, 6, 16, 3), std::nullopt);
}

TEST(GlyphTest, ImagesAreCutFromWideBitmapsAndOddSizesAreRefused) {
    Platform::Bitmap strip(64, 32, 24);
    strip.scanLine(0)[32 * 3 + 2] = 255;  // (32, 0) red, the rest black
    ImageList list;
    list.Add(strip, qRgb(0, 0, 0));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(px(list, 0, 0, 0), std::nullopt);
    EXPECT_EQ(px(list, 1, 0, 0), kRedQ);
    EXPECT_THROW(list.Add(Platform::Bitmap(33, 32, 24), 0), Platform::ToolkitError);
    EXPECT_THROW(list.Add(Platform::Bitmap(32, 31, 24), 0), Platform::ToolkitError);
    EXPECT_THROW(list.Add(Platform::Bitmap(), 0), Platform::ToolkitError);
    EXPECT_EQ(list.Count(), 2);
}
