#include "Bmp.h"
#include "Compositor.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>

#include <functional>

using namespace Markers;

namespace {

constexpr QRgb kGreyQ = qRgb(100, 100, 100);
constexpr QRgb kBlackQ = qRgb(0, 0, 0);
constexpr QRgb kWhiteQ = qRgb(255, 255, 255);
constexpr QRgb kRedQ = qRgb(255, 0, 0);
constexpr QRgb kSilverQ = qRgb(192, 192, 192);

Platform::Bitmap makeSource(int w, int h, const std::function<QRgb(int, int)>& color) {
    Platform::Bitmap b(w, h, 24);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.scanLine(y) + x * 3;
            const QRgb c = color(x, y);
            p[0] = static_cast<uint8_t>(qBlue(c));
            p[1] = static_cast<uint8_t>(qGreen(c));
            p[2] = static_cast<uint8_t>(qRed(c));
        }
    }
    return b;
}

bool samePixels(const Platform::Bitmap& a, const Platform::Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    return a.toQImage() == b.toQImage();
}

// The bounding box of the pixels that differ from `background`.
QRect inkBox(const Platform::Bitmap& b, QRgb background) {
    QRect box;
    const QImage image = b.toQImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF))
                box |= QRect(x, y, 1, 1);
    return box;
}

class CompositorTest : public TestSupport::TempDirTest {
protected:
    void SetUp() override {
        c.LoadGlyphs(QStringLiteral("BLACK"), kOliveRgb);
        c.CreateBitmaps();
        useSource(makeSource(200, 120, [](int, int) { return kGreyQ; }));
    }
    void useSource(Platform::Bitmap b) {
        source = b;
        c.SetSourceBitmap(std::move(b));
    }
    Platform::Bitmap& canvas() { return *c.CanvasBitmap(); }
    QRgb at(int x, int y) { return canvas().pixel(x, y); }
    bool untouched(int x, int y) { return at(x, y) == source.pixel(x, y); }

    Compositor c;
    MarkerMap map;
    Platform::Bitmap source;
};

}  // namespace

struct OriginCase {
    const char* name;
    int64_t a, b, extent, expected;
};

TEST(CenteredOriginTest, HalvesWithAnArithmeticShift) {
    const OriginCase cases[] = {
        {"even", 10, 42, 8, 22},
        {"odd rounds down", 10, 42, 9, 21},
        {"negative rounds toward minus infinity", -10, 22, 17, -3},
        {"negative exact", -10, 22, 16, -2},
        {"lowest edges", INT32_MIN, INT32_MIN, 0, INT32_MIN},
        {"highest edges", INT32_MAX, INT32_MAX, 0, INT32_MAX},
        {"whole range", INT32_MIN, INT32_MAX, 17, -9},
    };
    for (const OriginCase& c : cases)
        EXPECT_EQ(CenteredOrigin(c.a, c.b, c.extent), c.expected) << c.name;
}

TEST_F(CompositorTest, CreateAndFreeBitmaps) {
    ASSERT_NE(c.CellBitmap(), nullptr);
    EXPECT_EQ(c.CellBitmap()->width(), 64);
    EXPECT_EQ(c.CellBitmap()->height(), 64);
    EXPECT_EQ(c.CellBitmap()->bitsPerPixel(), 24);
    EXPECT_EQ(canvas().bitsPerPixel(), 24);
    EXPECT_EQ(canvas().width(), 200);
    EXPECT_EQ(canvas().height(), 120);

    c.ReleaseImages();
    EXPECT_TRUE(c.SourceBitmap()->isNull());
    EXPECT_TRUE(canvas().isNull());
    map.InsertMarker(0, MakeMarker(5, 5));
    map.SelectionRect = {0, 0, 50, 50};
    c.ComposeCanvas(map);  // nothing to draw on; must not fail

    c.FreeBitmaps();
    EXPECT_EQ(c.CellBitmap(), nullptr);
    EXPECT_EQ(c.CanvasBitmap(), nullptr);
    EXPECT_EQ(c.SourceBitmap(), nullptr);
    c.ComposeCanvas(map);
    c.ComposeForExport(map);
    EXPECT_TRUE(c.DrawPaletteCell(map, 0).isEmpty());
    EXPECT_THROW(c.SetSourceBitmap(Platform::Bitmap(4, 4, 24)), std::logic_error);
}

TEST_F(CompositorTest, ComposeStartsFromTheSourceEveryTime) {
    map.InsertMarker(0, MakeMarker(10, 10));
    c.ComposeCanvas(map);
    EXPECT_FALSE(samePixels(canvas(), source));
    map.ClearMarkers();
    c.ComposeCanvas(map);
    EXPECT_TRUE(samePixels(canvas(), source));
}

TEST_F(CompositorTest, SourceOfAnotherDepthComposesAsItsColours) {
    Platform::Bitmap indexed(9, 5, 8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 0)});
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x)
            indexed.scanLine(y)[x] = static_cast<uint8_t>((x + y) % 2);
    c.SetSourceBitmap(indexed);
    EXPECT_EQ(c.SourceBitmap()->bitsPerPixel(), 8);
    c.ComposeCanvas(map);
    EXPECT_TRUE(samePixels(canvas(), indexed.toBgr24()));
}

TEST_F(CompositorTest, SelectionRectangleHasAnOutlineAndAHatchedInside) {
    map.SelectionRect = {20, 20, 60, 40};
    c.ComposeCanvas(map);
    for (int x = 20; x < 60; ++x) {
        EXPECT_EQ(at(x, 20), kBlackQ) << x;
        EXPECT_EQ(at(x, 39), kBlackQ) << x;
        EXPECT_TRUE(untouched(x, 19)) << x;
        EXPECT_TRUE(untouched(x, 40)) << x;
    }
    for (int y = 20; y < 40; ++y) {
        EXPECT_EQ(at(20, y), kBlackQ) << y;
        EXPECT_EQ(at(59, y), kBlackQ) << y;
        EXPECT_TRUE(untouched(19, y)) << y;
        EXPECT_TRUE(untouched(60, y)) << y;
    }
    // Inside: white diagonal cross-hatch on an 8-pixel pattern, the image between the lines.
    int white = 0, image = 0;
    for (int y = 21; y < 39; ++y) {
        for (int x = 21; x < 59; ++x) {
            const bool onHatch = (x - y) % 8 == 0 || (x + y) % 8 == 7;
            EXPECT_EQ(at(x, y), onHatch ? kWhiteQ : kGreyQ) << x << "," << y;
            (onHatch ? white : image)++;
        }
    }
    EXPECT_GT(white, 0);
    EXPECT_GT(image, white);
}

TEST_F(CompositorTest, DegenerateSelectionRectanglesDrawNothing) {
    for (const TRect rect : {TRect{30, 30, 30, 60}, TRect{30, 30, 60, 30}, TRect{60, 60, 30, 30}}) {
        map.SelectionRect = rect;
        c.ComposeCanvas(map);
        EXPECT_TRUE(samePixels(canvas(), source));
    }
}

TEST_F(CompositorTest, GuideLinesRunAlongTheOutermostRowsAndColumns) {
    c.SetBackgroundStyle(StyleNone);
    map.InsertMarker(4, Marker{100, 50, 132, 82});
    map.GuideKey = 4;
    c.ComposeCanvas(map);
    auto dotted = [&](int x, int y) { return at(x, y) == kBlackQ || at(x, y) == kWhiteQ; };
    for (int x = 0; x < 200; ++x) {
        EXPECT_TRUE(dotted(x, 50)) << x;
        EXPECT_TRUE(dotted(x, 81)) << x;
        if (x != 100 && x != 131) {
            EXPECT_TRUE(untouched(x, 49)) << x;
            EXPECT_TRUE(untouched(x, 82)) << x;
        }
    }
    for (int y = 0; y < 120; ++y) {
        EXPECT_TRUE(dotted(100, y)) << y;
        EXPECT_TRUE(dotted(131, y)) << y;
        if (y != 50 && y != 81) {
            EXPECT_TRUE(untouched(99, y)) << y;
            EXPECT_TRUE(untouched(132, y)) << y;
        }
    }
    // Three black, three white, counted from the image's edge.
    EXPECT_EQ(at(0, 50), kBlackQ);
    EXPECT_EQ(at(2, 50), kBlackQ);
    EXPECT_EQ(at(3, 50), kWhiteQ);
    EXPECT_EQ(at(100, 0), kBlackQ);
    EXPECT_EQ(at(100, 5), kWhiteQ);
}

TEST_F(CompositorTest, GuideAndOverlayNamingNoMarkerAreLeftOut) {
    map.GuideKey = 3;
    map.SelectedKey = 3;
    c.ComposeCanvas(map);
    EXPECT_TRUE(samePixels(canvas(), source));
}

TEST_F(CompositorTest, DecorationsLieUnderMarkersAndTheOverlayOverAll) {
    map.InsertMarker(3, Marker{20, 20, 52, 52});
    map.InsertMarker(7, Marker{20, 20, 52, 52});
    map.SelectionRect = {10, 10, 100, 100};
    map.GuideKey = 3;
    map.SelectedKey = 3;
    c.ComposeCanvas(map);
    EXPECT_EQ(at(24, 36), kSilverQ) << "the button face covers hatch and guide lines";
    EXPECT_EQ(at(20, 24), qRgb(255, 255, 255)) << "the button's highlight covers the guide line";
    EXPECT_EQ(at(21, 21), kWhiteQ) << "overlay handle outline";
    EXPECT_EQ(at(22, 22), kRedQ) << "overlay of key 3 drawn over key 7";
    EXPECT_EQ(at(45, 36), kSilverQ) << "the overlay leaves the rest of the glyph alone";
}

TEST_F(CompositorTest, NumberIsCentredAndWrittenInTheFontColour) {
    useSource(makeSource(120, 120, [](int, int) { return kWhiteQ; }));
    c.SetBackgroundStyle(StyleNone);
    MarkerFont font;
    font.Color = ColorValue(255, 0, 0);
    c.SetMarkerFont(font);
    map.InsertMarker(87, MakeMarker(40, 40));  // "88"
    c.ComposeCanvas(map);
    const QRect ink = inkBox(canvas(), kWhiteQ);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR((ink.left() + ink.right() + 1) / 2.0, 56.0, 1.5)
        << ink.left() << " " << ink.right();
    EXPECT_NEAR((ink.top() + ink.bottom() + 1) / 2.0, 56.0, 3.0)
        << ink.top() << " " << ink.bottom();
    // Grey-scale antialiasing of red on white: every touched pixel keeps full red.
    bool solid = false;
    const QImage image = canvas().toQImage();
    for (int y = ink.top(); y <= ink.bottom(); ++y) {
        for (int x = ink.left(); x <= ink.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            EXPECT_EQ(qRed(p), 255);
            EXPECT_EQ(qGreen(p), qBlue(p));
            solid |= (p & 0xFFFFFF) == (kRedQ & 0xFFFFFF);
        }
    }
    EXPECT_TRUE(solid);
}

TEST_F(CompositorTest, NumberOfAMarkerLeftOfTheImageIsCentredOnItsRectangle) {
    useSource(makeSource(120, 60, [](int, int) { return kWhiteQ; }));
    c.SetBackgroundStyle(StyleNone);
    map.InsertMarker(0, Marker{-10, 10, 22, 42});  // "1", centred at x = 6
    c.ComposeCanvas(map);
    const QRect ink = inkBox(canvas(), kWhiteQ);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR((ink.left() + ink.right() + 1) / 2.0, 6.0, 1.5);
    EXPECT_GT(ink.left(), 0) << "the number lies wholly inside the image";
}

TEST_F(CompositorTest, MarkersAreClippedAtTheImageEdges) {
    c.SetMarkerColor(ColorValue(255, 0, 0));
    c.SetBackgroundStyle(StyleBox1);
    const ImageList& glyphs = c.ILBits();
    MarkerFont font;
    font.Size = 1;  // keep the number small and away from the checked frame
    c.SetMarkerFont(font);
    for (const auto& [left, top] : {std::pair{-10, -20}, {190, 100}, {-31, 119}}) {
        map.ClearMarkers();
        map.InsertMarker(50, MakeMarker(left, top));
        c.ComposeCanvas(map);
        for (int gy = 0; gy < 32; ++gy) {
            for (int gx = 0; gx < 32; ++gx) {
                const int x = left + gx, y = top + gy;
                if (x < 0 || y < 0 || x >= 200 || y >= 120 || gx == 0 || gy == 0 || gx >= 2)
                    continue;  // the frame's left band is the part clear of the number
                EXPECT_EQ(at(x, y), glyphs.Pixel(StyleBox1, gx, gy).value_or(source.pixel(x, y)))
                    << left << "," << top << " glyph " << gx << "," << gy;
            }
        }
    }
}

struct FarCase {
    const char* name;
    Marker marker;
};

TEST_F(CompositorTest, MarkersFarOutsideDrawNothingAndNeverOverflow) {
    const FarCase cases[] = {
        {"lowest corner", {INT32_MIN, INT32_MIN, INT32_MIN + 32, INT32_MIN + 32}},
        {"highest corner", {INT32_MAX - 32, INT32_MAX - 32, INT32_MAX, INT32_MAX}},
        {"all lowest", {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN}},
        {"all highest", {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}},
        {"right of the image", {200, 0, 232, 32}},
        {"below the image", {0, 120, 32, 152}},
        {"left of the image", {-1000, 0, -968, 32}},
    };
    for (const FarCase& fc : cases) {
        for (int32_t style = StyleNone; style <= StyleCircle2; ++style) {
            c.SetBackgroundStyle(style);
            map.ClearMarkers();
            map.InsertMarker(98, fc.marker);
            map.SelectedKey = 98;
            c.ComposeCanvas(map);
            EXPECT_TRUE(samePixels(canvas(), source)) << fc.name << " style " << style;
            c.ComposeForExport(map);
            EXPECT_TRUE(samePixels(canvas(), source)) << fc.name << " style " << style;
        }
        // Guide lines and selection rectangles from the same edges draw only what is inside.
        map.GuideKey = 98;
        map.SelectionRect = fc.marker;
        c.ComposeCanvas(map);
    }
    // Edges at both ends of the range centre the number near the origin; it is drawn there.
    map.ClearMarkers();
    map.InsertMarker(98, Marker{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN});
    map.GuideKey = 98;
    c.ComposeCanvas(map);
    EXPECT_FALSE(samePixels(canvas(), source));

    map.ClearMarkers();
    map.SelectionRect = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    c.ComposeCanvas(map);
    EXPECT_EQ(at(0, 0), kWhiteQ) << "hatch of a rectangle round the whole image";
    EXPECT_EQ(at(1, 0), kGreyQ);
}

TEST_F(CompositorTest, ExportHasTheMarkersWithoutDecorations) {
    useSource(makeSource(160, 100, [](int x, int y) { return qRgb(x, y, 128); }));
    map.InsertMarker(0, MakeMarker(10, 10));
    map.InsertMarker(5, MakeMarker(30, 20));
    map.InsertMarker(98, MakeMarker(140, 80));
    MarkerMap plain = map;

    map.SelectedKey = 5;
    map.GuideKey = 0;
    map.SelectionRect = {5, 5, 100, 60};
    c.ComposeCanvas(map);
    const Platform::Bitmap screen = canvas();

    c.ComposeForExport(map);
    const Platform::Bitmap exported = canvas();
    c.ComposeCanvas(plain);
    EXPECT_TRUE(samePixels(exported, canvas()));
    EXPECT_FALSE(samePixels(exported, screen));

    const QString file = path(QStringLiteral("export.bmp"));
    Platform::Bmp::writeFile(exported, file);
    const Platform::Bitmap back = Platform::Bmp::readFile(file);
    EXPECT_EQ(back.bitsPerPixel(), 24);
    EXPECT_TRUE(samePixels(back, exported));
}

TEST_F(CompositorTest, PaletteCellShowsFreeNumbersOnly) {
    map.InsertMarker(4, MakeMarker(0, 0));
    const QRect r = c.DrawPaletteCell(map, 4);
    EXPECT_EQ(r, QRect(0, 0, 32, 32));
    const Platform::Bitmap& cell = *c.CellBitmap();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(cell.pixel(x, y), kSilverQ) << "placed number's cell " << x << "," << y;

    c.SetBackgroundStyle(StyleButton);
    c.DrawPaletteCell(map, 5);
    EXPECT_EQ(cell.pixel(0, 0), kWhiteQ);
    EXPECT_EQ(cell.pixel(31, 31), qRgb(128, 128, 128));
    EXPECT_EQ(cell.pixel(4, 4), kSilverQ);
    int dark = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            dark += qRed(cell.pixel(x, y)) < 100;
    EXPECT_GT(dark, 5) << "the number 6 is written";

    c.SetBackgroundStyle(StyleNone);
    c.DrawPaletteCell(map, 5);
    EXPECT_EQ(cell.pixel(0, 0), kSilverQ);
    EXPECT_EQ(c.DrawPaletteCell(map, 5, 100, 10), QRect(0, 0, 64, 10)) << "clipped to the bitmap";
}

// Renders every style in a few colours, with a selection rectangle, guide lines, the overlay
// and markers hanging over the edges, into one sheet; set PICTANOTE_SAMPLE_RENDER to a .bmp
// path to keep a copy for viewing.
TEST_F(CompositorTest, SampleCompositionRendersToABitmapFile) {
    constexpr int w = 240, h = 150;
    useSource(makeSource(w, h, [](int x, int y) {
        return qRgb(60 + x * 160 / w, 90 + y * 120 / h, 200 - (x + y) * 100 / (w + h));
    }));
    struct Panel {
        int32_t style;
        int32_t color;
    } const panels[] = {
        {StyleNone, clWindowText},
        {StyleButton, ColorValue(0, 0, 128)},
        {StyleBox1, ColorValue(255, 0, 0)},
        {StyleBox2, ColorValue(0, 128, 0)},
        {StyleCircle1, ColorValue(128, 0, 128)},
        {StyleCircle2, ColorValue(255, 255, 255)},
        {StyleCircle2, ColorValue(128, 128, 0)},
        {StyleBox1, ColorValue(0, 255, 255)},
    };
    map.InsertMarker(0, MakeMarker(12, 14));
    map.InsertMarker(8, MakeMarker(60, 20));
    map.InsertMarker(41, MakeMarker(74, 34));    // overlaps 9
    map.InsertMarker(98, MakeMarker(140, 60));   // guided
    map.InsertMarker(20, MakeMarker(-12, 100));  // over the left edge
    map.InsertMarker(65, MakeMarker(220, 130));  // over the bottom-right corner
    map.InsertMarker(6, MakeMarker(40, 90));     // inside the selection rectangle
    map.SelectionRect = {30, 80, 120, 140};
    map.GuideKey = 98;
    map.SelectedKey = 8;

    Platform::Bitmap sheet(4 * (w + 4), 2 * (h + 4), 24);
    for (int i = 0; i < 8; ++i) {
        MarkerFont font;
        font.Color = panels[i].color;
        font.Bold = i == 3;
        c.SetMarkerFont(font);
        c.SetMarkerColor(panels[i].color);
        c.SetBackgroundStyle(panels[i].style);
        c.ComposeCanvas(map);
        const int ox = (i % 4) * (w + 4) + 2, oy = (i / 4) * (h + 4) + 2;
        for (int y = 0; y < h; ++y)
            std::memcpy(sheet.scanLine(oy + y) + ox * 3, canvas().scanLine(y), w * 3);
    }
    const QString file = path(QStringLiteral("sample.bmp"));
    Platform::Bmp::writeFile(sheet, file);
    EXPECT_TRUE(samePixels(Platform::Bmp::readFile(file), sheet));
    if (const QString keep = qEnvironmentVariable("PICTANOTE_SAMPLE_RENDER"); !keep.isEmpty())
        Platform::Bmp::writeFile(sheet, keep);
}
