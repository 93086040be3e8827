// The keyboard commands wired through the window: which key does what, and what the screen and
// the status bar show after it. The rules of nudging and deleting live in SessionEditsTest and
// MarkerEditTest; which presses reach the window, in KeyPreviewTest.
#include "WindowTestSupport.h"

using Markers::NoKey;

namespace {

const QString kChanged = QStringLiteral(" 変更");
const QString kBlank = QStringLiteral(" ");

class KeyboardTest : public Gui::DocumentWindowTest {
protected:
    // A key press as the window system delivers it: to the focus widget, or the window.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = window->focusWidget() ? window->focusWidget() : window.get();
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
        flush();
    }
    // A marker at (left, top), selected.
    void placeSelected(int32_t key, int32_t left, int32_t top) {
        place(key, left, top);
        window->Doc.Select(key);
        flush();
    }
    Markers::Marker at(int32_t key) { return *window->Doc.Map().MarkerOf(key); }
    void clearChange() {
        window->Doc.MarkClean();
        window->ClearStatusTexts();
    }
};

}  // namespace

// Shift, Ctrl and Alt are not looked at: Shift+Left moves like Left.
TEST_F(KeyboardTest, ArrowKeysNudgeTheSelectedMarkerWhateverTheModifiers) {
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int32_t left;
        int32_t top;
    } rows[] = {
        {"Left", Qt::Key_Left, Qt::NoModifier, 99, 50},
        {"Up", Qt::Key_Up, Qt::NoModifier, 100, 49},
        {"Right", Qt::Key_Right, Qt::NoModifier, 101, 50},
        {"Down", Qt::Key_Down, Qt::NoModifier, 100, 51},
        {"ShiftLeft", Qt::Key_Left, Qt::ShiftModifier, 99, 50},
        {"CtrlRight", Qt::Key_Right, Qt::ControlModifier, 101, 50},
        {"CtrlShiftDown", Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier, 100, 51},
    };
    place(8, 200, 200);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        window->Doc.Map().RemoveMarker(3);
        placeSelected(3, 100, 50);
        clearChange();
        Gui::PaintCounter paints(window->PBMain);

        press(row.key, row.modifiers);

        EXPECT_EQ(at(3), Markers::MakeMarker(row.left, row.top));
        EXPECT_EQ(at(8), Markers::MakeMarker(200, 200));
        EXPECT_EQ(window->Doc.Map().SelectedKey, 3);
        EXPECT_EQ(window->StatusText(0), kChanged);
        EXPECT_EQ(window->StatusText(4),
                  QStringLiteral(" L : %1 T : %2").arg(row.left).arg(row.top));
        EXPECT_GT(paints.count, 0);
        EXPECT_EQ(shownCanvas(), expectedCanvas());
    }

    // A key that changes nothing shows and redraws nothing.
    placeSelected(0, 0, 0);
    clearChange();
    Gui::PaintCounter paints(window->PBMain);
    press(Qt::Key_Left);
    press(Qt::Key_Up);
    EXPECT_EQ(at(0), Markers::MakeMarker(0, 0));
    EXPECT_EQ(window->StatusText(0), QString());
    EXPECT_EQ(window->StatusText(4), QString());
    EXPECT_EQ(paints.count, 0);
}

// Delete takes the markers inside the selection rectangle when there is one, else the
// selected marker; either way the freed numbers show in the palette again.
TEST_F(KeyboardTest, DeleteRemovesTheRectanglesMarkersOrElseTheSelectedOne) {
    window->Doc.Map().SelectionRect = {100, 100, 300, 300};
    place(0, 100, 100);  // inside
    place(2, 90, 150);   // overlaps only
    placeSelected(3, 400, 400);
    window->SetStatusText(4, QStringLiteral("L : 400 T : 400"));
    const QImage placedCell = shownCell(0);

    press(Qt::Key_Delete);

    EXPECT_FALSE(window->Doc.Map().IsPlaced(0));
    EXPECT_TRUE(window->Doc.Map().IsPlaced(3));  // selected, but outside
    EXPECT_EQ(window->StatusText(0), kChanged);
    EXPECT_EQ(window->StatusText(4), QStringLiteral(" L : 400 T : 400"));
    EXPECT_EQ(shownCanvas(), expectedCanvas());
    EXPECT_NE(shownCell(0), placedCell);
    EXPECT_EQ(shownCell(0), expectedCell(0));

    // Without the rectangle: the selected marker.
    window->Doc.ClearSelectionRect();
    clearChange();
    window->SetStatusText(4, QStringLiteral("L : 400 T : 400"));
    press(Qt::Key_Delete);
    EXPECT_FALSE(window->Doc.Map().IsPlaced(3));
    EXPECT_TRUE(window->Doc.Map().IsPlaced(2));
    EXPECT_EQ(window->StatusText(0), kChanged);
    EXPECT_EQ(window->StatusText(4), kBlank);
    EXPECT_EQ(shownCanvas(), expectedCanvas());
    EXPECT_EQ(shownCell(3), expectedCell(3));
}

TEST_F(KeyboardTest, EscapeClearsTheSelectionStateSoDeleteRemovesNothing) {
    window->Doc.Map().SelectionRect = {0, 0, 300, 300};
    placeSelected(1, 50, 50);
    window->Doc.Map().GuideKey = 1;
    makeModified();
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
    flush();
    ASSERT_FALSE(window->Doc.DocumentOpen());
    // Selection state left behind on purpose: the keys must still not act on it.
    window->Doc.Map().SelectionRect = {0, 0, 300, 300};
    ASSERT_TRUE(window->Doc.Map().InsertMarker(1, Markers::MakeMarker(50, 50)));
    window->Doc.Map().SelectedKey = 1;
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
