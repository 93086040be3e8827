#include "EditGeometry.h"

#include <gtest/gtest.h>

#include <QImage>

#include <limits>

using namespace Markers;

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct DropCase {
    const char* name;
    int32_t x, y;
    TRect expected;
};

const DropCase kDrops[] = {
    {"pointer on the cell's 16th pixel", 15, 15, {0, 0, 32, 32}},
    {"near the corner hangs over both edges", 3, 4, {-12, -11, 20, 21}},
    {"inside the image", 120, 90, {105, 75, 137, 107}},
    {"far left stops at the range's end", kMin + 3, 0, {kMin, -15, kMin + 32, 17}},
    {"far right keeps Right in range", kMax, kMax, {kMax - 15, kMax - 15, kMax, kMax}},
};

TEST(EditGeometry, DropPutsTheHotSpotUnderThePointer) {
    for (const DropCase& c : kDrops)
        EXPECT_EQ(MarkerAtDropPoint(c.x, c.y), c.expected) << c.name;
}

struct CentreCase {
    const char* name;
    TRect area;
    int32_t left, top;
};

const CentreCase kCentres[] = {
    {"640 x 480 image", {0, 0, 640, 480}, 304, 224},
    {"selection (10, 10) - (110, 60)", {10, 10, 110, 60}, 44, 19},
    {"image 31 wide rounds down to -1", {0, 0, 31, 31}, -1, -1},
    {"odd size rounds toward minus infinity", {0, 0, 33, 35}, 0, 1},
    {"empty selection sticks out on all sides", {50, 60, 50, 60}, 34, 44},
    {"selection over the whole range", {kMin, kMin, kMax, kMax}, -17, -17},
};

TEST(EditGeometry, DoubleClickCentresTheMarkerInTheArea) {
    for (const CentreCase& c : kCentres) {
        const Marker m = CenteredMarker(c.area);
        EXPECT_EQ(m, (TRect{c.left, c.top, c.left + 32, c.top + 32})) << c.name;
    }
}

struct BandCase {
    const char* name;
    int32_t ax, ay, ex, ey;
    bool click;
    TRect rect;
};

const BandCase kBands[] = {
    {"dragged up and left", 50, 40, 10, 5, false, {10, 5, 50, 40}},
    {"two pixels both ways is a click", 100, 100, 102, 98, true, {100, 98, 102, 100}},
    {"three pixels across is a rectangle", 100, 100, 103, 100, false, {100, 100, 103, 100}},
    {"three pixels down is a rectangle", 100, 100, 100, 97, false, {100, 97, 100, 100}},
    {"no movement", 7, 7, 7, 7, true, {7, 7, 7, 7}},
    {"extremes do not wrap", kMin, kMax, kMax, kMin, false, {kMin, kMin, kMax, kMax}},
};

TEST(EditGeometry, RubberBandClickAndNormalisedRectangle) {
    for (const BandCase& c : kBands) {
        EXPECT_EQ(IsClickGesture(c.ax, c.ay, c.ex, c.ey), c.click) << c.name;
        EXPECT_EQ(NormalizedRect(c.ax, c.ay, c.ex, c.ey), c.rect) << c.name;
    }
}

TEST(EditGeometry, BandEndIsHeldBetweenZeroAndTheExtentInclusive) {
    EXPECT_EQ(ClampToExtent(-30, 640), 0);
    EXPECT_EQ(ClampToExtent(0, 640), 0);
    EXPECT_EQ(ClampToExtent(639, 640), 639);
    EXPECT_EQ(ClampToExtent(640, 640), 640);
    EXPECT_EQ(ClampToExtent(900, 640), 640);
    EXPECT_EQ(ClampToExtent(5, 0), 0);
}

struct OutlineCase {
    const char* name;
    int32_t ax, ay, ex, ey;
    int pixels;  // outline pixels, each drawn once
};

const OutlineCase kOutlines[] = {
    {"zero width draws nothing", 5, 5, 5, 20, 0},
    {"zero height draws nothing", 5, 5, 20, 5, 0},
    {"one pixel", 5, 5, 6, 6, 1},
    {"one column", 5, 5, 6, 10, 5},
    {"two by two", 5, 5, 7, 7, 4},
    {"ten by six", 2, 3, 12, 9, 28},
    {"corners in reverse order", 12, 9, 2, 3, 28},
};

// Each strip is drawn into a count image: outline pixels count 1, the rest 0.
TEST(EditGeometry, OutlineCoversEveryEdgePixelOnceAndNothingElse) {
    for (const OutlineCase& c : kOutlines) {
        QImage count(24, 24, QImage::Format_Grayscale8);
        count.fill(0);
        for (const QRect& r : OutlineStrips(c.ax, c.ay, c.ex, c.ey))
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    count.scanLine(y)[x] += 1;
        const TRect n = NormalizedRect(c.ax, c.ay, c.ex, c.ey);
        int drawn = 0;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                const int v = count.scanLine(y)[x];
                const bool inside = x >= n.Left && x < n.Right && y >= n.Top && y < n.Bottom;
                const bool edge =
                    inside && (x == n.Left || x == n.Right - 1 || y == n.Top || y == n.Bottom - 1);
                EXPECT_EQ(v, edge ? 1 : 0) << c.name << " at " << x << "," << y;
                drawn += v;
            }
        }
        EXPECT_EQ(drawn, c.pixels) << c.name;
    }
}

}  // namespace
