// The key preview in the window it serves: which presses reach the window's keyboard commands,
// and that each reaches them once.
#include "WindowTestSupport.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>

namespace {

class KeyPreviewTest : public Gui::DocumentWindowTest {
protected:
    void SetUp() override {
        DocumentWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        place(1, 100, 100);
        window->Doc.Map().SelectedKey = 1;
    }
    int32_t left() const { return markerOf(1)->Left; }
};

}  // namespace

TEST_F(KeyPreviewTest, AutoRepeatMovesOncePerPress) {
    QWidget* target = window->focusWidget() ? window->focusWidget() : window.get();
    for (int i = 0; i < 3; ++i) {
        QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(target, &repeated);
    }
    EXPECT_EQ(markerOf(1)->Top, 103);
}

TEST_F(KeyPreviewTest, KeysReachTheWindowWhicheverControlHasTheFocus) {
    window->DGMain->setFocus();
    ASSERT_EQ(window->focusWidget(), window->DGMain);
    QTest::keyClick(window->DGMain, Qt::Key_Right);
    EXPECT_EQ(left(), 101);

    // A control that does not take the key passes it up through its parents: still one move.
    auto* plain = new QWidget(window->PnlTop);
    plain->setFocusPolicy(Qt::StrongFocus);
    plain->show();
    plain->setFocus();
    ASSERT_EQ(window->focusWidget(), plain);
    QTest::keyClick(plain, Qt::Key_Right);
    EXPECT_EQ(left(), 102);

    // Nothing has the focus: the window itself gets the key.
    plain->clearFocus();
    ASSERT_EQ(window->focusWidget(), nullptr);
    QTest::keyClick(window.get(), Qt::Key_Right);
    EXPECT_EQ(left(), 103);
}

TEST_F(KeyPreviewTest, PressingOnTheImageLeavesTheFocusWhereItWas) {
    window->DGMain->setFocus();
    QTest::mouseClick(window->PBMain, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(window->focusWidget(), window->DGMain);
    EXPECT_EQ(window->ScbMain->focusPolicy(), Qt::NoFocus);
}

TEST_F(KeyPreviewTest, KeysOfDialogsAndTheMenuBarAreLeftAlone) {
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
    QTest::keyClick(window->MnuMain, Qt::Key_Left);

    EXPECT_EQ(*markerOf(1), Markers::MakeMarker(100, 100));
    EXPECT_FALSE(window->Doc.Modified());
}
