#include "MarkerFont.h"

#include <gtest/gtest.h>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>

using namespace Markers;

struct PixelCase {
    const char* name;
    int32_t points;
    int pixels;
};

TEST(MarkerFontTest, PixelHeightIsPointsAt96DotsPerInchRounded) {
    const PixelCase cases[] = {
        {"layout default", 12, 16},
        {"9 pt", 9, 12},
        {"10 pt rounds down", 10, 13},
        {"11 pt rounds up", 11, 15},
        {"8 pt", 8, 11},
        {"16 pt", 16, 21},
        {"zero", 0, 16},
        {"negative", -12, 16},
        {"1 pt", 1, 1},
        {"huge", INT32_MAX, MarkerFont::MaxPixelHeight},
        {"most negative", INT32_MIN, MarkerFont::MaxPixelHeight},
    };
    for (const PixelCase& c : cases) {
        MarkerFont font;
        font.Size = c.points;
        EXPECT_EQ(font.PixelHeight(), c.pixels) << c.name;
        EXPECT_EQ(font.ToQFont().pixelSize(), c.pixels) << c.name;
    }
}

TEST(MarkerFontTest, LayoutDefaultIsGothicTwelvePointsInWindowText) {
    const MarkerFont font;
    EXPECT_EQ(font.Name, QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(font.Size, 12);
    EXPECT_EQ(font.Color, -2147483640);
    EXPECT_FALSE(font.Bold || font.Italic || font.Underline || font.StrikeOut);
}

TEST(MarkerFontTest, JapaneseFaceNamesRenderWithInstalledGothicFonts) {
    MarkerFont font;
    EXPECT_EQ(QFontInfo(font.ToQFont()).family(), QStringLiteral("IPAGothic"));
    font.Name = QStringLiteral("ＭＳ Ｐゴシック");
    EXPECT_EQ(QFontInfo(font.ToQFont()).family(), QStringLiteral("IPAPGothic"));
    // The name in the data is untouched.
    EXPECT_EQ(font.Name, QStringLiteral("ＭＳ Ｐゴシック"));
}

TEST(MarkerFontTest, StyleFlagsReachTheFont) {
    MarkerFont font;
    font.Bold = font.Italic = font.Underline = font.StrikeOut = true;
    const QFont q = font.ToQFont();
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.italic());
    EXPECT_TRUE(q.underline());
    EXPECT_TRUE(q.strikeOut());

    const MarkerFont back = MarkerFont::FromQFont(q, ColorValue(255, 0, 0));
    EXPECT_EQ(back.Size, 12);
    EXPECT_TRUE(back.Bold && back.Italic && back.Underline && back.StrikeOut);
    EXPECT_EQ(back.Color, 0x0000FF);
}

struct ColorCase {
    const char* name;
    int32_t value;
    QColor expected;
};

TEST(MarkerFontTest, ColorValuesResolveToColours) {
    const QPalette palette = QGuiApplication::palette();
    const ColorCase cases[] = {
        {"red is the low byte", 0x0000FF, QColor(255, 0, 0)},
        {"blue is the third byte", 0xFF0000, QColor(0, 0, 255)},
        {"olive", ColorValue(128, 128, 0), QColor(128, 128, 0)},
        {"window text", clWindowText, palette.color(QPalette::WindowText)},
        {"button shadow", clBtnShadow, palette.color(QPalette::Dark)},
        {"unknown system index", SystemColorFlag | 200, QColor(Qt::black)},
        {"other high bits", 0x01000000, QColor(Qt::black)},
        {"minus one", -1, QColor(Qt::black)},
    };
    for (const ColorCase& c : cases)
        EXPECT_EQ(ColorToQColor(c.value), c.expected) << c.name;
    EXPECT_EQ(ColorToQColor(clWindowText), QColor(Qt::black)) << "default palette";
}
