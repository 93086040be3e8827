// The arithmetic of the zoomed view: image point <-> view point at every step, zoom about a
// point, the fitting step, showing a rectangle and the auto-scroll step.
#include "ViewMapping.h"

#include <gtest/gtest.h>

#include <cmath>

using View::ViewMapping;

namespace {

ViewMapping mappingAt(int step, QSize image = {4000, 3000}) {
    ViewMapping m;
    m.SetImageSize(image);
    m.SetStep(step);
    return m;
}

struct PointCase {
    const char* name;
    int step;
    QPoint image;
    QPoint view;  // the top-left of the pixel's block
    QPoint back;  // the image pixel that view pixel shows (the first of a group below 100 %)
};

const PointCase kPoints[] = {
    {"12.5 %", 0, {100, 17}, {12, 2}, {96, 16}},
    {"25 %", 1, {7, 8}, {1, 2}, {4, 8}},
    {"33 %", 2, {10, 5}, {3, 1}, {9, 3}},
    {"50 %", 3, {9, 4}, {4, 2}, {8, 4}},
    {"67 %", 4, {10, 5}, {6, 3}, {9, 5}},
    {"100 %", 5, {10, 5}, {10, 5}, {10, 5}},
    {"150 %", 6, {3, 5}, {4, 7}, {3, 5}},
    {"200 %", 7, {3, 5}, {6, 10}, {3, 5}},
    {"300 %", 8, {3, 5}, {9, 15}, {3, 5}},
    {"400 %", 9, {3, 5}, {12, 20}, {3, 5}},
    {"600 %", 10, {3, 5}, {18, 30}, {3, 5}},
    {"800 %", 11, {3, 5}, {24, 40}, {3, 5}},
    {"400 % left of and above the image", 9, {-1, -2}, {-4, -8}, {-1, -2}},
    {"33 % left of and above the image", 2, {-1, -4}, {-1, -2}, {-3, -6}},
};

TEST(ViewMappingTest, ImagePointsMapToTheirBlocksAndBack) {
    for (const PointCase& c : kPoints) {
        const ViewMapping m = mappingAt(c.step);
        EXPECT_EQ(m.ToView(c.image), c.view) << c.name;
        EXPECT_EQ(m.ToImage(c.view), c.back) << c.name;
        if (m.Factor().Num >= m.Factor().Den) {
            // Every view pixel of the block shows the same image pixel, the last one too.
            const QPoint last = m.ToView(c.image + QPoint(1, 1)) - QPoint(1, 1);
            EXPECT_EQ(m.ToImage(last), c.image) << c.name;
            EXPECT_EQ(m.ToImage(m.ToView(QRect(c.image, QSize(1, 1)))), QRect(c.image, QSize(1, 1)))
                << c.name;
        } else {
            // A view pixel below 100 % stands for the whole group its rectangle names.
            const QRect group = m.ToImage(QRect(c.view, QSize(1, 1)));
            EXPECT_TRUE(group.contains(c.image)) << c.name;
            EXPECT_EQ(m.ToView(group.topLeft()), c.view) << c.name;
        }
    }
}

TEST(ViewMappingTest, ViewSizeIsTheImageAtTheZoom) {
    const struct {
        int step;
        QSize image;
        QSize view;
    } cases[] = {{0, {7680, 4320}, {960, 540}},
                 {2, {100, 50}, {33, 16}},
                 {5, {640, 480}, {640, 480}},
                 {6, {3, 5}, {4, 7}},
                 {11, {3, 5}, {24, 40}},
                 {0, {3, 5}, {1, 1}},
                 {9, {0, 0}, {0, 0}}};
    for (const auto& c : cases)
        EXPECT_EQ(mappingAt(c.step, c.image).ViewSize(), c.view) << c.step;
}

struct ZoomCase {
    const char* name;
    int from;
    int to;
    QPoint scroll;
    QPoint anchor;
};

const ZoomCase kZooms[] = {
    {"100 -> 400 % at the pointer", 5, 9, {0, 0}, {100, 50}},
    {"400 -> 100 % scrolled", 9, 5, {2000, 1500}, {300, 200}},
    {"25 -> 33 %", 1, 2, {100, 80}, {250, 300}},
    {"100 -> 67 %", 5, 4, {1000, 700}, {10, 590}},
    {"150 -> 200 %", 6, 7, {333, 444}, {799, 0}},
    {"800 -> 600 %", 11, 10, {12345, 9876}, {400, 300}},
};

TEST(ViewMappingTest, ZoomAboutAPointKeepsItsImagePixelUnderIt) {
    const QSize viewport(800, 600);
    for (const ZoomCase& c : kZooms) {
        // The exact image position under the middle of the anchor's pixel.
        const auto exact = [&c](int scroll, int anchor) {
            const View::ZoomFactor f = View::kZoomSteps[static_cast<size_t>(c.from)];
            return static_cast<int>(std::floor((scroll + anchor + 0.5) * f.Den / f.Num));
        };
        const QPoint pixel(exact(c.scroll.x(), c.anchor.x()), exact(c.scroll.y(), c.anchor.y()));
        const QPoint scroll =
            mappingAt(c.from).ScrollAfterZoom(c.from, c.to, c.scroll, c.anchor, viewport);
        const ViewMapping after = mappingAt(c.to);
        EXPECT_TRUE(after.ToImage(QRect(scroll + c.anchor, QSize(1, 1))).contains(pixel))
            << c.name << ": " << after.ToImage(scroll + c.anchor).x() << " vs " << pixel.x();
    }
    // Near the image's corner the scroll position stays in range rather than show past it.
    EXPECT_EQ(mappingAt(9).ScrollAfterZoom(9, 0, {15000, 11000}, {10, 10}, viewport), QPoint(0, 0));
    // Pixel (0, 0) under the pointer at (0, 0) stays under it: the middle of its 8 x 8 block.
    EXPECT_EQ(mappingAt(5).ScrollAfterZoom(5, 11, {0, 0}, {0, 0}, viewport), QPoint(4, 4));
}

TEST(ViewMappingTest, FitChoosesTheLargestStepShowingTheWholeImage) {
    const struct {
        QSize image;
        QSize viewport;
        int step;
    } cases[] = {
        {{3840, 2160}, {1900, 900}, 2},   // 33 %: 50 % is 1080 rows
        {{3840, 2160}, {1920, 1080}, 3},  // exactly half
        {{7680, 4320}, {1920, 1080}, 1},  // a quarter
        {{640, 480}, {800, 464}, 4},      // 67 %
        {{100, 100}, {1000, 1000}, 11},   // small images are enlarged up to 800 %
        {{100000, 10}, {100, 100}, 0},    // nothing fits: the smallest step
        {{0, 0}, {800, 600}, 5},          // no image: 100 %
    };
    for (const auto& c : cases)
        EXPECT_EQ(ViewMapping::FitStep(c.image, c.viewport), c.step)
            << c.image.width() << " x " << c.image.height();
    EXPECT_EQ(ViewMapping::NextStep(0, -1), 0);
    EXPECT_EQ(ViewMapping::NextStep(11, +1), 11);
    EXPECT_EQ(ViewMapping::NextStep(5, +1), 6);
}

struct VisibleCase {
    const char* name;
    int step;
    QPoint scroll;
    QRect marker;
    QPoint expected;
};

const VisibleCase kVisible[] = {
    {"already shown: no scroll", 5, {100, 100}, {200, 200, 32, 32}, {100, 100}},
    {"right of the view: its right edge at the view's", 5, {0, 0}, {1000, 100, 32, 32}, {232, 0}},
    {"above the view: its top at the view's", 5, {0, 500}, {10, 100, 32, 32}, {0, 100}},
    {"at 400 % below and right", 9, {0, 0}, {1000, 1000, 32, 32}, {3328, 3528}},
    {"at 25 % all of it shows", 1, {0, 0}, {3900, 2900, 32, 32}, {183, 133}},
    {"at the image's end the scroll stays in range", 5, {0, 0}, {3990, 2990, 10, 10}, {3200, 2400}},
    {"larger than the view: its top-left", 9, {0, 0}, {100, 100, 400, 400}, {400, 400}},
};

TEST(ViewMappingTest, EnsureVisibleScrollsJustEnough) {
    for (const VisibleCase& c : kVisible)
        EXPECT_EQ(mappingAt(c.step).EnsureVisible(c.marker, c.scroll, {800, 600}), c.expected)
            << c.name;
}

TEST(ViewMappingTest, AutoScrollStepGrowsWithTheDistancePastTheEdge) {
    const struct {
        int position;
        int step;
    } cases[] = {{400, 0}, {16, 0},  {15, -2},  {0, -10},       {-100, -60},
                 {783, 0}, {784, 2}, {900, 60}, {-10000, -256}, {10000, 256}};
    for (const auto& c : cases)
        EXPECT_EQ(View::AutoScrollStep(c.position, 800), c.step) << c.position;
}

}  // namespace
