// The mouse on the image, through the window: selecting, dragging a marker, the rubber band,
// the other buttons and the guide lines.
#include "WindowTestSupport.h"

#include <QGuiApplication>

using Gui::DocumentWindowTest;
using Markers::NoKey;
using Markers::TRect;

namespace {

QRgb inverted(QRgb c) {
    return qRgb(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c));
}

class CanvasTest : public DocumentWindowTest {
protected:
    // A band pressed at a and dragged through b, not yet released.
    void band(QPoint a, QPoint b) {
        press(image(), a);
        QTest::mouseMove(image(), b);
    }
};

struct HitCase {
    const char* name;
    QPoint p;
    int32_t selected;
};

// Key 3 at (100, 100), key 7 over it at (110, 110), key 1 alone at (300, 100).
const HitCase kHits[] = {
    {"overlap selects the marker on top", {115, 115}, 7},
    {"under key 3 only", {105, 105}, 3},
    {"Right and Bottom edges still hit", {332, 132}, 1},
    {"Left and Top edges hit", {300, 100}, 1},
    {"one past the Right edge misses", {333, 120}, NoKey},
};

TEST_F(CanvasTest, PressSelectsTheMarkerUnderThePointer) {
    place(3, 100, 100);
    place(7, 110, 110);
    place(1, 300, 100);
    const TRect selection{400, 300, 500, 400};
    for (const HitCase& c : kHits) {
        window->Doc.Map().SelectionRect = selection;
        window->Doc.Map().GuideKey = 3;
        press(image(), c.p);
        QTest::mouseRelease(image(), Qt::LeftButton, {}, c.p);
        EXPECT_EQ(window->Doc.Map().SelectedKey, c.selected) << c.name;
        if (c.selected != NoKey) {
            const TRect m = *markerOf(c.selected);
            EXPECT_EQ(panel(4), QStringLiteral(" L : %1 T : %2").arg(m.Left).arg(m.Top)) << c.name;
            EXPECT_EQ(window->Doc.Map().SelectionRect, selection) << c.name;
        } else {
            EXPECT_EQ(panel(4), QStringLiteral(" ")) << c.name;
            EXPECT_FALSE(window->Doc.Map().HasSelectionRect()) << c.name;  // released as a click
        }
        EXPECT_EQ(window->Doc.Map().GuideKey, 3) << c.name;
    }
    EXPECT_FALSE(window->Doc.Modified());
}

TEST_F(CanvasTest, DraggedMarkerLandsByItsCellCentreNotByTheGrabbedPixel) {
    place(4, 100, 100);
    press(image(), {101, 131});  // bottom-left corner
    EXPECT_TRUE(window->DragFromCanvas);
    QTest::mouseMove(image(), {106, 131});
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), window->DragCursor.shape());
    QTest::mouseMove(image(), {200, 150});
    EXPECT_EQ(panel(4), QStringLiteral(" L : 185 T : 135"));
    EXPECT_EQ(*markerOf(4), (TRect{100, 100, 132, 132}));  // not moved before the drop
    QTest::mouseRelease(image(), Qt::LeftButton, {}, {200, 150});
    EXPECT_EQ(*markerOf(4), (TRect{185, 135, 217, 167}));
    EXPECT_EQ(window->Doc.Map().SelectedKey, 4);
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_EQ(panel(0), QStringLiteral(" 変更"));
    EXPECT_EQ(panel(4), QStringLiteral(" L : 185 T : 135"));
    EXPECT_FALSE(window->RubberBand.Active);
}

TEST_F(CanvasTest, MovingFourPixelsIsNoDrag) {
    place(4, 100, 100);
    press(image(), {110, 110});
    QTest::mouseMove(image(), {114, 106});
    QTest::mouseRelease(image(), Qt::LeftButton, {}, {114, 106});
    EXPECT_EQ(*markerOf(4), (TRect{100, 100, 132, 132}));
    EXPECT_EQ(window->Doc.Map().SelectedKey, 4);
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_EQ(panel(0), QString());
}

TEST_F(CanvasTest, MarkerDroppedOnThePaletteOrToolBarStaysWhereItWas) {
    place(4, 100, 100);
    dragOnImage({110, 110}, palette(), cell(2));
    dragOnImage({110, 110}, window->PnlTop, {300, 20});
    EXPECT_EQ(*markerOf(4), (TRect{100, 100, 132, 132}));
    EXPECT_EQ(window->Doc.Map().size(), 1u);
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(CanvasTest, EscapeCancelsADragWithTheMarkerWhereItWas) {
    place(4, 100, 100);
    press(image(), {110, 110});
    QTest::mouseMove(image(), {200, 200});
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::mouseRelease(image(), Qt::LeftButton, {}, {200, 200});
    EXPECT_EQ(*markerOf(4), (TRect{100, 100, 132, 132}));
    EXPECT_FALSE(window->Doc.Modified());
}

struct BandCase {
    const char* name;
    QPoint anchor, end;
    bool rect;
    TRect expected;
    const char* corners;
    const char* size;
};

const BandCase kBands[] = {
    {"up and left", {50, 40}, {10, 5}, true, {10, 5, 50, 40}, "(50,40) - (10,5)", "W 40 × H 35"},
    {"two pixels both ways is a click", {100, 100}, {102, 98}, false, {}, "", ""},
    {"three across",
     {100, 100},
     {103, 101},
     true,
     {100, 100, 103, 101},
     "(100,100) - (103,101)",
     "W 3 × H 1"},
    {"beyond the image is clamped",
     {600, 400},
     {-30, 900},
     true,
     {0, 400, 600, 480},
     "(600,400) - (0,480)",
     "W 600 × H 80"},
    {"one past the last pixel",
     {630, 470},
     {700, 470},
     true,
     {630, 470, 640, 470},
     "(630,470) - (640,470)",
     "W 10 × H 0"},
};

TEST_F(CanvasTest, RubberBandLeavesANormalisedSelectionRectangleOrAClick) {
    for (const BandCase& c : kBands) {
        window->Doc.Map().SelectionRect = {1, 2, 3, 4};
        band(c.anchor, c.anchor + QPoint(1, 1));
        EXPECT_TRUE(window->RubberBand.Active) << c.name;
        EXPECT_EQ(window->Doc.Map().SelectionRect, (TRect{1, 2, 3, 4})) << c.name;  // until release
        QTest::mouseMove(image(), c.end);
        const QString corners = QStringLiteral(" □ ") + QString::fromUtf8(c.corners);
        const QString size = QStringLiteral(" □ ") + QString::fromUtf8(c.size);
        if (c.rect) {
            EXPECT_EQ(panel(2), corners) << c.name;
            EXPECT_EQ(panel(3), size) << c.name;
        }
        QTest::mouseRelease(image(), Qt::LeftButton, {}, c.end);
        EXPECT_FALSE(window->RubberBand.Active) << c.name;
        if (c.rect) {
            EXPECT_EQ(window->Doc.Map().SelectionRect, c.expected) << c.name;
            EXPECT_EQ(panel(2), corners) << c.name;  // kept after the release
            EXPECT_EQ(panel(3), size) << c.name;
        } else {
            EXPECT_FALSE(window->Doc.Map().HasSelectionRect()) << c.name;
            EXPECT_EQ(panel(2), QStringLiteral(" ")) << c.name;
            EXPECT_EQ(panel(3), QStringLiteral(" ")) << c.name;
        }
    }
    EXPECT_FALSE(window->Doc.Modified());
}

// The band is the image's own pixels inverted, drawn over the composed image; its moves repaint
// the outline without composing the image again.
TEST_F(CanvasTest, RubberBandIsAnInvertedOutlineAndMovesDoNotCompose) {
    band({50, 40}, {30, 30});
    flush();
    Platform::Bitmap* canvas = window->Doc.Compositor().CanvasBitmap();
    // A pixel inside the band that only a composition would overwrite.
    canvas->view().setPixel(30, 20, qRgb(1, 2, 3));
    QTest::mouseMove(image(), {10, 5});
    QTest::mouseMove(image(), {20, 10});
    QTest::mouseMove(image(), {10, 5});
    flush();
    EXPECT_EQ(canvas->pixel(30, 20) & 0xFFFFFF, qRgb(1, 2, 3) & 0xFFFFFF);

    const QImage screen = image()->grab(QRect(0, 0, 60, 50)).toImage();
    auto at = [&](int x, int y) { return screen.pixel(x, y) | 0xFF000000; };
    const QRgb source = Gui::kSourceColour | 0xFF000000;
    EXPECT_EQ(at(10, 5), inverted(source));
    EXPECT_EQ(at(49, 5), inverted(source));
    EXPECT_EQ(at(10, 39), inverted(source));
    EXPECT_EQ(at(49, 39), inverted(source));
    EXPECT_EQ(at(30, 5), inverted(source));
    EXPECT_EQ(at(20, 20), source);  // inside
    EXPECT_EQ(at(50, 40), source);  // the band ends one before its far corner
    EXPECT_EQ(at(30, 30), source);  // the earlier outline is gone

    QTest::mouseRelease(image(), Qt::LeftButton, {}, {10, 5});
    flush();
    EXPECT_NE(canvas->pixel(30, 20) & 0xFFFFFF, qRgb(1, 2, 3) & 0xFFFFFF);  // composed again
    const QImage after = image()->grab(QRect(0, 0, 60, 50)).toImage();
    EXPECT_NE(after.pixel(30, 5) | 0xFF000000, inverted(source));  // the outline is off the screen
}

TEST_F(CanvasTest, OtherButtonsClearSelectionGuidesAndRectangle) {
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        place(2, 100, 100);
        window->Doc.Map().SelectedKey = 2;
        window->Doc.Map().GuideKey = 2;
        window->Doc.Map().SelectionRect = {10, 10, 50, 50};
        for (int i = 2; i <= 4; ++i)
            window->SetStatusText(i, QStringLiteral("x"));
        press(image(), {110, 110}, button);
        QTest::mouseRelease(image(), button, {}, {110, 110});
        EXPECT_EQ(window->Doc.Map().SelectedKey, NoKey) << button;
        EXPECT_EQ(window->Doc.Map().GuideKey, NoKey) << button;
        EXPECT_FALSE(window->Doc.Map().HasSelectionRect()) << button;
        for (int i = 2; i <= 4; ++i)
            EXPECT_EQ(panel(i), QStringLiteral(" ")) << button << " panel " << i;
        EXPECT_FALSE(window->DragMachine.Busy()) << button;
        window->Doc.Map().RemoveMarker(2);
    }
    EXPECT_FALSE(window->Doc.Modified());
}

// Dotted lines along a marker's edges run across the whole image.
int guidePixelsInColumn(QWidget* image, int x) {
    const QImage shown = image->grab(QRect(x, 200, 1, 200)).toImage();
    int changed = 0;
    for (int y = 0; y < shown.height(); ++y)
        changed += (shown.pixel(0, y) | 0xFF000000) != (Gui::kSourceColour | 0xFF000000);
    return changed;
}

TEST_F(CanvasTest, DoubleClickPutsTheGuideLinesOnAMarker) {
    place(0, 100, 50);
    place(1, 300, 60);
    EXPECT_EQ(guidePixelsInColumn(image(), 100), 0);
    doubleClick(image(), {110, 60});
    EXPECT_EQ(window->Doc.Map().GuideKey, 0);
    EXPECT_EQ(window->Doc.Map().SelectedKey, 0);
    EXPECT_GT(guidePixelsInColumn(image(), 100), 50);
    EXPECT_EQ(guidePixelsInColumn(image(), 300), 0);

    doubleClick(image(), {310, 70});
    EXPECT_EQ(window->Doc.Map().GuideKey, 1);
    EXPECT_EQ(guidePixelsInColumn(image(), 100), 0);
    EXPECT_GT(guidePixelsInColumn(image(), 300), 50);

    // On empty image the first press has cleared the selection: the guides stay.
    doubleClick(image(), {500, 400});
    EXPECT_EQ(window->Doc.Map().GuideKey, 1);
    EXPECT_EQ(window->Doc.Map().SelectedKey, NoKey);
    EXPECT_FALSE(window->Doc.Modified());

    // They follow the marker when it moves.
    dragOnImage({310, 70}, image(), {215, 315});
    EXPECT_EQ(*markerOf(1), (TRect{200, 300, 232, 332}));
    EXPECT_LE(guidePixelsInColumn(image(), 300), 2);  // where the horizontal guides cross it
    EXPECT_GT(guidePixelsInColumn(image(), 200), 50);
}

TEST_F(CanvasTest, WithoutADocumentTheMouseDoesNothing) {
    window->Doc.New();
    flush();
    press(image(), {20, 20});
    QTest::mouseMove(image(), {30, 30});
    QTest::mouseRelease(image(), Qt::LeftButton, {}, {30, 30});
    press(image(), {5, 5});
    QTest::mouseMove(image(), {40, 40});
    QTest::mouseRelease(image(), Qt::LeftButton, {}, {40, 40});
    press(image(), {20, 20}, Qt::RightButton);
    QTest::mouseRelease(image(), Qt::RightButton, {}, {20, 20});
    EXPECT_EQ(window->Doc.Map().SelectedKey, NoKey);
    EXPECT_FALSE(window->RubberBand.Active);
    EXPECT_FALSE(window->DragMachine.Busy());
    EXPECT_TRUE(window->Doc.Map().empty());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(panel(i), QString()) << i;
}

// A band the document went away under ends with the next release and does not come back.
TEST_F(CanvasTest, BandEndsEvenWhenTheDocumentWentAwayUnderIt) {
    band({50, 50}, {80, 80});
    window->Doc.New();
    QTest::mouseRelease(image(), Qt::LeftButton, {}, {80, 80});
    EXPECT_FALSE(window->RubberBand.Active);
    EXPECT_FALSE(window->Doc.Map().HasSelectionRect());
    openImage(640, 480);
    const QString corners = panel(2);
    QTest::mouseMove(image(), {120, 120});  // a plain hover
    EXPECT_FALSE(window->RubberBand.Active);
    EXPECT_EQ(panel(2), corners);
}

}  // namespace
