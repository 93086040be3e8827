// The mouse on the palette, through the window: dragging a free number onto the image and
// double-clicking it into the middle of the image or the selection.
#include "WindowTestSupport.h"

#include <QGuiApplication>

using Gui::DocumentWindowTest;
using Markers::NoKey;
using Markers::TRect;

namespace {

class PaletteTest : public DocumentWindowTest {};

TEST_F(PaletteTest, DraggedNumberLandsWithItsHotSpotUnderThePointer) {
    ASSERT_FALSE(cellIsEmpty(2));
    press(palette(), cell(2));
    EXPECT_EQ(window->Doc.Map().PaletteDragKey, 2);
    EXPECT_FALSE(window->DragFromCanvas);
    QTest::mouseMove(palette(), cell(2) + QPoint(5, 0));
    moveHeld(palette(), image(), {120, 90});
    // Over the image: the drag cursor and where a drop would put the marker.
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), window->DragCursor.shape());
    EXPECT_EQ(panel(4), QStringLiteral(" L : 105 T : 75"));
    EXPECT_FALSE(window->Doc.Modified());
    releaseHeld(palette(), image(), {120, 90});

    ASSERT_NE(markerOf(2), nullptr);
    EXPECT_EQ(*markerOf(2), (TRect{105, 75, 137, 107}));
    EXPECT_EQ(window->Doc.Map().size(), 1u);
    EXPECT_EQ(window->Doc.Map().SelectedKey, 2);
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_EQ(panel(0), QStringLiteral(" 変更"));
    EXPECT_EQ(panel(4), QStringLiteral(" L : 105 T : 75"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    flush();
    EXPECT_TRUE(cellIsEmpty(2));
    EXPECT_FALSE(cellIsEmpty(3));
}

TEST_F(PaletteTest, DropNearTheCornerHangsOverTheImageEdge) {
    dragFromPalette(0, image(), {3, 4});
    ASSERT_NE(markerOf(0), nullptr);
    EXPECT_EQ(*markerOf(0), (TRect{-12, -11, 20, 21}));
    EXPECT_EQ(panel(4), QStringLiteral(" L : -12 T : -11"));
}

TEST_F(PaletteTest, DropAnywhereButTheImagePlacesNothing) {
    struct Row {
        const char* name;
        QWidget* over;
        QPoint p;
    };
    const Row rows[] = {
        {"palette", palette(), cell(6)},
        {"tool bar", window->PnlTop, {300, 20}},
        {"status bar", window->StbInfo, {100, 5}},
    };
    for (const Row& r : rows) {
        press(palette(), cell(1));
        QTest::mouseMove(palette(), cell(1) + QPoint(0, 8));
        moveHeld(palette(), r.over, r.p);
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr) << r.name;
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ForbiddenCursor) << r.name;
        releaseHeld(palette(), r.over, r.p);
        EXPECT_TRUE(window->Doc.Map().empty()) << r.name;
        EXPECT_FALSE(window->Doc.Modified()) << r.name;
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << r.name;
    }
}

TEST_F(PaletteTest, ReleaseWithinFivePixelsKeepsTheNumberForADoubleClick) {
    press(palette(), cell(5));
    QTest::mouseMove(palette(), cell(5) + QPoint(4, 4));
    QTest::mouseRelease(palette(), Qt::LeftButton, {}, cell(5) + QPoint(4, 4));
    EXPECT_TRUE(window->Doc.Map().empty());
    EXPECT_EQ(window->Doc.Map().PaletteDragKey, 5);
    EXPECT_FALSE(window->DragMachine.Busy());
    window->DGMainDblClick();
    EXPECT_NE(markerOf(5), nullptr);
}

struct DoubleClickCase {
    const char* name;
    int width, height;
    TRect selection;  // Left NoKey: none
    int column;
    TRect expected;
};

const DoubleClickCase kDoubleClicks[] = {
    {"640 x 480, no selection", 640, 480, {NoKey, 0, 0, 0}, 0, {304, 224, 336, 256}},
    {"selection (10,10)-(110,60)", 640, 480, {10, 10, 110, 60}, 4, {44, 19, 76, 51}},
    {"image 31 wide", 31, 40, {NoKey, 0, 0, 0}, 7, {-1, 4, 31, 36}},
    {"last column is number 99", 640, 480, {NoKey, 0, 0, 0}, 98, {304, 224, 336, 256}},
};

TEST_F(PaletteTest, DoubleClickPlacesInTheMiddleOfImageOrSelection) {
    for (const DoubleClickCase& c : kDoubleClicks) {
        window->Doc.MarkClean();
        window->Doc.New();
        openImage(c.width, c.height);
        window->Doc.Map().SelectionRect = c.selection;
        window->DGMain->SetLeftCol(c.column);  // the cell in view
        doubleClick(palette(), cell(c.column));
        SCOPED_TRACE(c.name);
        ASSERT_NE(markerOf(c.column), nullptr);
        EXPECT_EQ(*markerOf(c.column), c.expected);
        EXPECT_EQ(window->Doc.Map().size(), 1u);
        EXPECT_EQ(window->Doc.Map().SelectedKey, c.column);
        EXPECT_EQ(window->Doc.Map().PaletteDragKey, NoKey);
        EXPECT_EQ(window->Doc.Map().SelectionRect, c.selection);
        EXPECT_TRUE(window->Doc.Modified());
        EXPECT_EQ(panel(0), QStringLiteral(" 変更"));
        EXPECT_EQ(panel(4),
                  QStringLiteral(" L : %1 T : %2").arg(c.expected.Left).arg(c.expected.Top));
        EXPECT_FALSE(window->DragMachine.Busy());  // the second press found the number taken
        flush();
        EXPECT_TRUE(cellIsEmpty(c.column));
    }
}

// Only a double-click of the left button places a number; the right or middle button leaves
// the number pressed last where it is.
TEST_F(PaletteTest, OtherButtonsDoubleClickNothing) {
    press(palette(), cell(5));
    QTest::mouseRelease(palette(), Qt::LeftButton, {}, cell(5));
    ASSERT_EQ(window->Doc.Map().PaletteDragKey, 5);
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseClick(palette(), button, {}, cell(9));
        QTest::mouseDClick(palette(), button, {}, cell(9));
        QTest::mouseRelease(palette(), button, {}, cell(9));
        EXPECT_TRUE(window->Doc.Map().empty()) << button;
        EXPECT_FALSE(window->Doc.Modified()) << button;
        EXPECT_EQ(window->Doc.Map().PaletteDragKey, 5) << button;
    }
}

TEST_F(PaletteTest, SeveralDoubleClicksLandOnTheSameSpot) {
    window->Doc.Map().SelectionRect = {10, 10, 110, 60};
    doubleClick(palette(), cell(0));
    doubleClick(palette(), cell(1));
    ASSERT_EQ(window->Doc.Map().size(), 2u);
    EXPECT_EQ(*markerOf(0), *markerOf(1));
    EXPECT_EQ(window->Doc.Map().SelectedKey, 1);
}

TEST_F(PaletteTest, PlacedNumberCanBeNeitherDraggedNorDoubleClicked) {
    doubleClick(palette(), cell(3));
    ASSERT_NE(markerOf(3), nullptr);
    const TRect before = *markerOf(3);
    window->Doc.MarkClean();

    press(palette(), cell(3));
    EXPECT_EQ(window->Doc.Map().PaletteDragKey, NoKey);
    EXPECT_FALSE(window->DragMachine.Busy());
    QTest::mouseMove(palette(), cell(3) + QPoint(0, 10));
    moveHeld(palette(), image(), {300, 300});
    releaseHeld(palette(), image(), {300, 300});
    doubleClick(palette(), cell(3));

    EXPECT_EQ(*markerOf(3), before);
    EXPECT_EQ(window->Doc.Map().size(), 1u);
    EXPECT_FALSE(window->Doc.Modified());
}

TEST_F(PaletteTest, PressOutsideTheCellsOrWithAnotherButton) {
    press(palette(), cell(8));
    QTest::mouseRelease(palette(), Qt::LeftButton, {}, cell(8));
    // The right button leaves the number pressed last.
    press(palette(), cell(9), Qt::RightButton);
    QTest::mouseRelease(palette(), Qt::RightButton, {}, cell(9));
    EXPECT_EQ(window->Doc.Map().PaletteDragKey, 8);
    EXPECT_FALSE(window->DragMachine.Busy());
    // Below the cells (the strip is taller than a row): no number.
    const QPoint below(cell(8).x(), window->DGMain->DefaultRowHeight() + 2);
    ASSERT_LT(below.y(), palette()->height());
    press(palette(), below);
    QTest::mouseRelease(palette(), Qt::LeftButton, {}, below);
    EXPECT_EQ(window->Doc.Map().PaletteDragKey, NoKey);
    EXPECT_FALSE(window->DragMachine.Busy());
}

TEST_F(PaletteTest, KeysNeverMoveTheCurrentCellOrScroll) {
    press(palette(), cell(4));
    QTest::mouseRelease(palette(), Qt::LeftButton, {}, cell(4));
    ASSERT_EQ(window->DGMain->Col(), 4);
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_End, Qt::Key_PageDown}) {
        QTest::keyClick(window->DGMain, key);
        EXPECT_EQ(window->DGMain->Col(), 4) << key;
        EXPECT_EQ(window->DGMain->LeftCol(), 0) << key;
    }
}

// A command that closes the document while a number is being dragged (a shortcut) ends the drag.
TEST_F(PaletteTest, DisabledPaletteEndsItsDrag) {
    press(palette(), cell(1));
    QTest::mouseMove(palette(), cell(1) + QPoint(0, 8));
    moveHeld(palette(), image(), {50, 50});
    ASSERT_EQ(window->DragMachine.CurrentState(), Platform::DragMachine::State::Dragging);
    window->SetDocumentState(false);
    EXPECT_FALSE(window->DragMachine.Busy());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    releaseHeld(palette(), image(), {50, 50});
    EXPECT_TRUE(window->Doc.Map().empty());
}

TEST_F(PaletteTest, WithoutADocumentThePaletteIgnoresTheMouse) {
    window->Doc.New();
    window->SetDocumentState(false);
    EXPECT_FALSE(window->DGMain->isEnabled());
    window->DGMainMouseDown(Qt::LeftButton, cell(0).x(), cell(0).y());
    EXPECT_EQ(window->Doc.Map().PaletteDragKey, NoKey);
    EXPECT_FALSE(window->DragMachine.Busy());
    window->DGMainDblClick();
    EXPECT_TRUE(window->Doc.Map().empty());
}

}  // namespace
