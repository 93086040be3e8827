#include "Compositor.h"
#include "EditGeometry.h"
#include "FontChoice.h"
#include "TestImages.h"

#include <gtest/gtest.h>

using namespace Markers;

TEST(MarkerSizeGeometry, DropCentreAndResizeFollowTheSize) {
    const struct {
        const char* name;
        TRect got, expected;
    } rows[] = {
        {"drop 32 keeps pointer - 15", MarkerAtDropPoint(100, 50), {85, 35, 117, 67}},
        {"drop 16 puts pixel 7 under it", MarkerAtDropPoint(100, 50, 16, 16), {93, 43, 109, 59}},
        {"drop 48 puts pixel 23 under it", MarkerAtDropPoint(100, 50, 48, 48), {77, 27, 125, 75}},
        {"centred 64 in the image", CenteredMarker({0, 0, 640, 480}, 64), {288, 208, 352, 272}},
        {"32 to 48 about the centre", ResizedMarker({100, 100, 132, 132}, 48), {92, 92, 140, 140}},
        {"odd rectangle becomes square", ResizedMarker({0, 0, 80, 40}, 32), {24, 4, 56, 36}},
        {"resize at the range's end",
         ResizedMarker({INT32_MAX - 32, 0, INT32_MAX, 32}, 128),
         {INT32_MAX - 80, -48, INT32_MAX, 80}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.got, row.expected) << row.name;
}

TEST(MarkerSizeGeometry, DocumentSizeIsTheMostCommonSquare) {
    const struct {
        const char* name;
        std::vector<std::pair<int32_t, TRect>> markers;
        int32_t expected;
    } rows[] = {
        {"no markers", {}, 32},
        {"most common wins",
         {{0, MakeMarker(0, 0, 32)}, {1, MakeMarker(0, 0, 64)}, {2, MakeMarker(5, 5, 64)}},
         64},
        {"a tie goes to the lowest key's size",
         {{7, MakeMarker(0, 0, 32)}, {3, MakeMarker(0, 0, 64)}},
         64},
        {"odd rectangles and squares out of range do not count",
         {{0, {0, 0, 80, 40}}, {1, MakeMarker(0, 0, 200)}, {2, MakeMarker(0, 0, 8)}},
         32},
        {"an odd rectangle beside one square",
         {{0, {0, 0, 80, 40}}, {1, MakeMarker(0, 0, 16)}},
         16},
    };
    for (const auto& row : rows) {
        MarkerMap map;
        for (const auto& [key, rect] : row.markers)
            map.InsertMarker(key, rect);
        EXPECT_EQ(CommonMarkerSize(map), row.expected) << row.name;
    }
}

TEST(MarkerSizeFont, RangeAndScaleFollowTheMarkerSize) {
    const struct {
        int32_t markerSize, min, max;
    } ranges[] = {{16, 4, 8}, {32, 8, 16}, {48, 12, 24}, {1000, 32, 64}};
    for (const auto& r : ranges) {
        EXPECT_EQ(MinFontSizeFor(r.markerSize), r.min) << r.markerSize;
        EXPECT_EQ(MaxFontSizeFor(r.markerSize), r.max) << r.markerSize;
    }
    const struct {
        int32_t size, from, to, expected;
    } scales[] = {
        {12, 32, 64, 24}, {9, 32, 48, 14},          {0, 32, 64, 24},
        {-10, 32, 16, 5}, {INT32_MIN, 32, 128, 64},
    };
    for (const auto& s : scales)
        EXPECT_EQ(ScaledFontSize(s.size, s.from, s.to), s.expected)
            << s.size << " " << s.from << " -> " << s.to;
    EXPECT_EQ(DialogFontSize(12, 64), 16);
}

namespace {

constexpr QRgb kBackground = qRgb(0, 90, 180);

// The composed export of one marker `rect` in `style` on a plain image, red colour set, white
// numbers so they stand out from the frames.
Platform::Bitmap composed(const TRect& rect, int32_t style, bool selected = false) {
    Compositor c;
    c.LoadGlyphs(QStringLiteral("RED"), kOliveRgb);
    c.CreateBitmaps();
    c.SetSourceBitmap(TestSupport::solid(240, 200, kBackground));
    MarkerFont font;
    font.Color = ColorValue(255, 255, 255);
    font.Size = 24;
    c.SetMarkerFont(font);
    c.SetBackgroundStyle(style);
    MarkerMap map;
    map.InsertMarker(4, rect);
    if (selected) {
        map.SelectedKey = 4;
        c.ComposeCanvas(map);
    } else {
        c.ComposeForExport(map);
    }
    return *c.CanvasBitmap();
}

// The box of the pixels where a and b differ.
QRect differences(const Platform::Bitmap& a, const Platform::Bitmap& b) {
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

// Each shape fills its rectangle, and the number (what a style adds to StyleNone is the shape;
// what StyleNone adds to the plain image is the number) is centred in the same rectangle.
TEST(MarkerSizeDrawing, ShapeFillsTheRectangleWithTheNumberCentredInIt) {
    const TRect rects[] = {{40, 30, 104, 94}, {20, 50, 68, 98}, {10, 10, 90, 50}};
    const Platform::Bitmap plain = TestSupport::solid(240, 200, kBackground);
    for (const TRect& r : rects) {
        const QRect expected(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
        const Platform::Bitmap numberOnly = composed(r, StyleNone);
        const QRect number = differences(plain, numberOnly);
        ASSERT_FALSE(number.isEmpty());
        // Digits stand on the baseline, so their ink sits a little above the text box's centre.
        EXPECT_NEAR(QRectF(number).center().x(), QRectF(expected).center().x(), 2.0);
        EXPECT_NEAR(QRectF(number).center().y(), QRectF(expected).center().y(), 4.0);
        for (int32_t style = StyleButton; style <= StyleCircle2; ++style)
            EXPECT_EQ(differences(numberOnly, composed(r, style)), expected)
                << style << " at " << r.Left << "," << r.Top;
    }
}

// The look of the glyph set at another size: the frame in the set's colour, white insides, the
// button's highlight, shadow and face, the image showing through where a style is open; and the
// selection handles in the rectangle's corners.
TEST(MarkerSizeDrawing, ShapesKeepTheGlyphSetsColours) {
    const TRect r{40, 40, 104, 104};  // 64 x 64
    const QRgb background = kBackground;
    const struct {
        const char* name;
        int32_t style;
        int x, y;
        QRgb expected;
    } rows[] = {
        {"box frame", StyleBox1, 41, 70, qRgb(255, 0, 0)},
        {"open box shows the image", StyleBox1, 50, 50, background},
        {"filled box is white inside", StyleBox2, 50, 50, qRgb(255, 255, 255)},
        {"ring at the middle of a side", StyleCircle1, 42, 72, qRgb(255, 0, 0)},
        {"outside the ring shows the image", StyleCircle1, 42, 42, background},
        {"filled ring is white inside", StyleCircle2, 52, 72, qRgb(255, 255, 255)},
        {"button highlight", StyleButton, 41, 70, qRgb(255, 255, 255)},
        {"button shadow", StyleButton, 102, 70, qRgb(128, 128, 128)},
        {"button face", StyleButton, 50, 50, qRgb(192, 192, 192)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(composed(r, row.style).pixel(row.x, row.y), row.expected) << row.name;

    const Platform::Bitmap selected = composed(r, StyleNone, true);
    for (const QPoint& handle :
         {QPoint(43, 43), QPoint(100, 43), QPoint(43, 100), QPoint(100, 100)})
        EXPECT_EQ(selected.pixel(handle.x(), handle.y()), qRgb(255, 0, 0)) << handle.x();
    EXPECT_EQ(selected.pixel(72, 43), background);
}

// A palette cell keeps its 32 pixels and previews a 64-pixel marker in half its font.
TEST(MarkerSizeDrawing, PaletteCellPreviewsTheMarkerAtItsOwnSize) {
    const auto cell = [](int32_t points, int32_t markerSize) {
        Compositor c;
        c.LoadGlyphs(QStringLiteral("BLACK"), kOliveRgb);
        c.CreateBitmaps();
        MarkerFont font;
        font.Size = points;
        c.SetMarkerFont(font);
        c.SetPaletteMarkerSize(markerSize);
        c.DrawPaletteCell(MarkerMap(), 6);
        return c.CellBitmap()->toQImage().copy(0, 0, GlyphSize, GlyphSize);
    };
    EXPECT_EQ(cell(24, 64), cell(12, 32));
    EXPECT_NE(cell(24, 32), cell(12, 32));
}
