#include "KeysTestSupport.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>

using Markers::Marker;
using Markers::NoKey;

namespace {

const QString kChanged = QStringLiteral(" 変更");
const QString kBlank = QStringLiteral(" ");

class KeyboardTest : public Keys::DocumentTest {
protected:
    // A key press as the window system delivers it: to the focus widget, or the window.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = window->focusWidget() ? window->focusWidget() : window.get();
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
        settle();
    }
    // A marker at (left, top), selected.
    void placeSelected(int32_t key, int32_t left, int32_t top) {
        place(key, left, top);
        window->Doc.Map().SelectedKey = key;
    }
    Marker at(int32_t key) { return *window->Doc.Map().MarkerOf(key); }
};

struct NudgeRow {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int32_t left;
    int32_t top;
};

void PrintTo(const NudgeRow& row, std::ostream* os) {
    *os << row.name;
}

class NudgeKeyTest : public KeyboardTest, public ::testing::WithParamInterface<NudgeRow> {};

const NudgeRow kNudgeRows[] = {
    {"Left", Qt::Key_Left, Qt::NoModifier, 99, 50},
    {"Up", Qt::Key_Up, Qt::NoModifier, 100, 49},
    {"Right", Qt::Key_Right, Qt::NoModifier, 101, 50},
    {"Down", Qt::Key_Down, Qt::NoModifier, 100, 51},
    {"ShiftLeft", Qt::Key_Left, Qt::ShiftModifier, 99, 50},
    {"CtrlRight", Qt::Key_Right, Qt::ControlModifier, 101, 50},
    {"CtrlShiftDown", Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier, 100, 51},
};

}  // namespace

TEST_P(NudgeKeyTest, MovesTheSelectedMarkerOnePixel) {
    const NudgeRow& row = GetParam();
    placeSelected(3, 100, 50);
    place(8, 200, 200);
    Keys::PaintCounter paints(window->PBMain);

    press(row.key, row.modifiers);

    EXPECT_EQ(at(3), Markers::MakeMarker(row.left, row.top));
    EXPECT_EQ(at(8), Markers::MakeMarker(200, 200));
    EXPECT_EQ(window->Doc.Map().SelectedKey, 3);
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(0), kChanged);
    EXPECT_EQ(window->StatusText(4), QStringLiteral(" L : %1 T : %2").arg(row.left).arg(row.top));
    EXPECT_GT(paints.count, 0);
    EXPECT_EQ(shownCanvas(), expectedCanvas());
}

INSTANTIATE_TEST_SUITE_P(Keys, NudgeKeyTest, ::testing::ValuesIn(kNudgeRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeyboardTest, KeysAtTheImageEdgeChangeNothing) {
    placeSelected(0, 0, 0);
    Keys::PaintCounter paints(window->PBMain);
    press(Qt::Key_Left);
    press(Qt::Key_Up);
    EXPECT_EQ(at(0), Markers::MakeMarker(0, 0));
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(0), QString());
    EXPECT_EQ(window->StatusText(4), QString());
    EXPECT_EQ(paints.count, 0);

    // Right on a marker whose right edge is the image width.
    placeSelected(1, 640 - 32, 480 - 32);
    press(Qt::Key_Right);
    press(Qt::Key_Down);
    EXPECT_EQ(at(1), Markers::MakeMarker(608, 448));
    EXPECT_FALSE(window->Doc.Modified());
}

TEST_F(KeyboardTest, AMarkerOverTheEdgeOnlyComesBack) {
    placeSelected(5, -12, -11);
    press(Qt::Key_Left);
    EXPECT_EQ(at(5).Left, -12);
    EXPECT_FALSE(window->Doc.Modified());
    press(Qt::Key_Right);
    EXPECT_EQ(at(5), Markers::MakeMarker(-11, -11));
    EXPECT_EQ(window->StatusText(4), QStringLiteral(" L : -11 T : -11"));
}

TEST_F(KeyboardTest, AutoRepeatMovesOncePerPress) {
    placeSelected(2, 100, 100);
    QWidget* target = window->focusWidget() ? window->focusWidget() : window.get();
    for (int i = 0; i < 3; ++i) {
        QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(target, &repeated);
    }
    EXPECT_EQ(at(2).Top, 103);
}

TEST_F(KeyboardTest, DeleteRemovesTheSelectedMarkerAndOffersItsNumberAgain) {
    placeSelected(2, 100, 100);
    place(4, 300, 100);
    window->Doc.Map().GuideKey = 2;
    window->SetStatusText(4, QStringLiteral("L : 100 T : 100"));
    settle();
    const QImage placedCell = shownCell(2);

    press(Qt::Key_Delete);

    EXPECT_FALSE(window->Doc.Map().IsPlaced(2));
    EXPECT_TRUE(window->Doc.Map().IsPlaced(4));
    EXPECT_EQ(window->Doc.Map().SelectedKey, NoKey);
    EXPECT_EQ(window->Doc.Map().GuideKey, NoKey);
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(0), kChanged);
    EXPECT_EQ(window->StatusText(4), kBlank);
    EXPECT_EQ(shownCanvas(), expectedCanvas());
    // The cell of number 3 shows its glyph again.
    EXPECT_NE(shownCell(2), placedCell);
    EXPECT_EQ(shownCell(2), expectedCell(2));
}

TEST_F(KeyboardTest, DeleteWithARectangleRemovesWhatLiesWhollyInside) {
    window->Doc.Map().SelectionRect = {100, 100, 300, 300};
    place(0, 100, 100);  // edges on the rectangle's: inside
    place(1, 268, 268);
    place(2, 90, 150);           // overlaps only
    placeSelected(3, 400, 400);  // selected, outside
    window->Doc.Map().GuideKey = 1;
    window->SetStatusText(4, QStringLiteral("L : 400 T : 400"));

    press(Qt::Key_Delete);

    EXPECT_FALSE(window->Doc.Map().IsPlaced(0));
    EXPECT_FALSE(window->Doc.Map().IsPlaced(1));
    EXPECT_TRUE(window->Doc.Map().IsPlaced(2));
    EXPECT_TRUE(window->Doc.Map().IsPlaced(3));
    EXPECT_EQ(window->Doc.Map().SelectedKey, 3);
    EXPECT_EQ(window->Doc.Map().GuideKey, NoKey);
    EXPECT_TRUE(window->Doc.Map().HasSelectionRect());
    EXPECT_EQ(window->StatusText(0), kChanged);
    EXPECT_EQ(window->StatusText(4), QStringLiteral(" L : 400 T : 400"));
    EXPECT_EQ(shownCanvas(), expectedCanvas());
    EXPECT_EQ(shownCell(0), expectedCell(0));
}

TEST_F(KeyboardTest, DeleteWithARectangleDeselectsASelectedMarkerInside) {
    window->Doc.Map().SelectionRect = {0, 0, 200, 200};
    placeSelected(6, 10, 10);
    window->SetStatusText(4, QStringLiteral("L : 10 T : 10"));
    press(Qt::Key_Delete);
    EXPECT_FALSE(window->Doc.Map().IsPlaced(6));
    EXPECT_EQ(window->Doc.Map().SelectedKey, NoKey);
    EXPECT_EQ(window->StatusText(4), kBlank);
}

TEST_F(KeyboardTest, DeleteWithAnEmptyRectangleStillCountsAsAChange) {
    window->Doc.Map().SelectionRect = {0, 0, 20, 20};
    place(0, 100, 100);
    press(Qt::Key_Delete);
    EXPECT_TRUE(window->Doc.Map().IsPlaced(0));
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(0), kChanged);
}

TEST_F(KeyboardTest, DeleteWithNothingSelectedDoesNothing) {
    place(0, 100, 100);
    Keys::PaintCounter paints(window->PBMain);
    press(Qt::Key_Delete);
    EXPECT_TRUE(window->Doc.Map().IsPlaced(0));
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(0), QString());
    EXPECT_EQ(paints.count, 0);
}

TEST_F(KeyboardTest, EscapeClearsTheSelectionStateSoDeleteRemovesNothing) {
    window->Doc.Map().SelectionRect = {0, 0, 300, 300};
    placeSelected(1, 50, 50);
    window->Doc.Map().GuideKey = 1;
    window->Doc.History().push(new QUndoCommand(QStringLiteral("edit")));
    window->SetStatusText(0, QStringLiteral("変更"));
    for (int panel : {2, 3, 4})
        window->SetStatusText(panel, QStringLiteral("x"));

    press(Qt::Key_Escape);

    EXPECT_EQ(window->Doc.Map().SelectedKey, NoKey);
    EXPECT_EQ(window->Doc.Map().GuideKey, NoKey);
    EXPECT_FALSE(window->Doc.Map().HasSelectionRect());
    EXPECT_EQ(window->StatusText(0), kChanged);
    for (int panel : {2, 3, 4})
        EXPECT_EQ(window->StatusText(panel), kBlank) << panel;
    EXPECT_EQ(shownCanvas(), expectedCanvas());

    // Escape is no change of the document.
    window->Doc.MarkClean();
    press(Qt::Key_Escape);
    EXPECT_FALSE(window->Doc.Modified());

    press(Qt::Key_Delete);
    EXPECT_TRUE(window->Doc.Map().IsPlaced(1));
    EXPECT_FALSE(window->Doc.Modified());
}

TEST_F(KeyboardTest, NoKeyActsWithoutADocument) {
    window->MnuNew->trigger();
    settle();
    ASSERT_FALSE(window->Doc.DocumentOpen());
    // Selection state left behind on purpose: the keys must still not act on it.
    window->Doc.Map().SelectionRect = {0, 0, 300, 300};
    placeSelected(1, 50, 50);
    for (int key :
         {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Escape, Qt::Key_Delete})
        press(key);
    EXPECT_EQ(at(1), Markers::MakeMarker(50, 50));
    EXPECT_EQ(window->Doc.Map().SelectedKey, 1);
    EXPECT_TRUE(window->Doc.Map().HasSelectionRect());
    EXPECT_FALSE(window->Doc.Modified());
    for (int panel = 0; panel < TFrmFR0010MN::PanelCount; ++panel)
        EXPECT_EQ(window->StatusText(panel), QString()) << panel;
}

TEST_F(KeyboardTest, KeysReachTheWindowWhicheverControlHasTheFocus) {
    placeSelected(1, 100, 100);
    window->DGMain->setFocus();
    ASSERT_EQ(window->focusWidget(), window->DGMain);
    press(Qt::Key_Right);
    EXPECT_EQ(at(1).Left, 101);

    // A control that does not take the key passes it up through its parents: still one move.
    auto* plain = new QWidget(window->PnlTop);
    plain->setFocusPolicy(Qt::StrongFocus);
    plain->show();
    plain->setFocus();
    ASSERT_EQ(window->focusWidget(), plain);
    press(Qt::Key_Right);
    EXPECT_EQ(at(1).Left, 102);

    // Nothing has the focus: the window itself gets the key.
    plain->clearFocus();
    ASSERT_EQ(window->focusWidget(), nullptr);
    press(Qt::Key_Right);
    EXPECT_EQ(at(1).Left, 103);
}

TEST_F(KeyboardTest, PressingOnTheImageLeavesTheFocusWhereItWas) {
    window->DGMain->setFocus();
    QTest::mouseClick(window->PBMain, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(window->focusWidget(), window->DGMain);
    EXPECT_EQ(window->ScbMain->focusPolicy(), Qt::NoFocus);
}

TEST_F(KeyboardTest, KeysOfDialogsAndTheMenuBarAreLeftAlone) {
    placeSelected(1, 100, 100);

    // A dialog of the window has its own keys.
    QDialog dialog(window.get());
    auto* edit = new QLineEdit(&dialog);
    dialog.show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(&dialog, Qt::Key_Delete);
    dialog.hide();

    // The menu bar worked with the keyboard (it then has the focus) moves through the menus,
    // not the marker.
    window->MnuMain->setFocus();
    ASSERT_EQ(window->focusWidget(), window->MnuMain);
    press(Qt::Key_Left);

    EXPECT_EQ(at(1), Markers::MakeMarker(100, 100));
    EXPECT_FALSE(window->Doc.Modified());
}

// A menu opened with the mouse and closed with Escape leaves the keyboard with the menu bar; a
// click in the window (here on a marker of the image) gives the window its keys back.
TEST_F(KeyboardTest, AClickInTheWindowTakesTheKeysBackFromTheMenuBar) {
    placeSelected(1, 100, 100);
    QMenuBar* bar = window->MnuMain;
    QAction* file = window->MnuFile->menuAction();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(file).center());
    settle();
    ASSERT_TRUE(window->MnuFile->isVisible());
    QTest::keyClick(window->MnuFile, Qt::Key_Escape);
    settle();
    ASSERT_FALSE(window->MnuFile->isVisible());
    ASSERT_EQ(window->focusWidget(), bar);  // the state the click has to end

    QTest::mouseClick(window->PBMain, Qt::LeftButton, {}, QPoint(110, 110));
    settle();
    EXPECT_NE(window->focusWidget(), bar);
    press(Qt::Key_Right);
    EXPECT_EQ(at(1), Markers::MakeMarker(101, 100));
}
