#include "Bmp.h"
#include "RenumberDialog.h"
#include "WindowTestSupport.h"

#include <QSpinBox>

using Markers::MakeMarker;

namespace {

class ReviseWindowTest : public Gui::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(window->Doc.TakeSourceBitmap(Platform::Bitmap(200, 150, 24)).Ok());
    }
    void place(int32_t key, int32_t left, int32_t top) {
        window->Doc.Map().InsertMarker(key, MakeMarker(left, top));
        window->Doc.Repaint();
    }
    void press(int key) {
        QWidget* target = window->focusWidget() ? window->focusWidget() : window.get();
        QTest::keyClick(target, static_cast<Qt::Key>(key));
    }
    QString undoText() const { return window->MnuUndo->text(); }
};

}  // namespace

TEST_F(ReviseWindowTest, RenumberDialogTakesATypedNumberAndEnter) {
    place(2, 10, 10);
    EXPECT_FALSE(window->MnuRenumber->isEnabled());
    window->Doc.Select(2);
    ASSERT_TRUE(window->MnuRenumber->isEnabled());
    int offered = 0;
    Gui::whenModal<RenumberDialog>([&](RenumberDialog* d) {
        auto* field = d->findChild<QSpinBox*>(QStringLiteral("SpnNumber"));
        offered = field->value();
        QTest::keyClicks(field, QStringLiteral("7"));
        QTest::keyClick(field, Qt::Key_Return);
    });
    window->MnuRenumber->trigger();
    EXPECT_EQ(offered, 3);
    EXPECT_FALSE(window->Doc.Map().IsPlaced(2));
    EXPECT_EQ(*window->Doc.Map().MarkerOf(6), MakeMarker(10, 10));
    EXPECT_EQ(undoText(), QStringLiteral("元に戻す(&U): 番号の変更"));
}

TEST_F(ReviseWindowTest, CloseGapsIsOfferedOnlyWithGaps) {
    place(0, 10, 10);
    EXPECT_FALSE(window->MnuCloseGaps->isEnabled());
    place(4, 60, 10);
    ASSERT_TRUE(window->MnuCloseGaps->isEnabled());
    window->MnuCloseGaps->trigger();
    EXPECT_EQ(*window->Doc.Map().MarkerOf(1), MakeMarker(60, 10));
    EXPECT_FALSE(window->MnuCloseGaps->isEnabled());
    EXPECT_EQ(undoText(), QStringLiteral("元に戻す(&U): 番号を詰める"));
}

// The markers the new image leaves outside are named in a question: No keeps them where they
// are, Yes brings them inside in the same undo step.
TEST_F(ReviseWindowTest, ReplacingTheImageAsksAboutTheMarkersLeftOutside) {
    place(0, 10, 10);
    place(6, 150, 100);
    const QString file = path(QStringLiteral("small.bmp"));
    Platform::Bmp::writeFile(Platform::Bitmap(120, 90, 24), file);
    for (const bool bringInside : {false, true}) {
        SCOPED_TRACE(bringInside ? "yes" : "no");
        ASSERT_TRUE(window->MnuReplace->isEnabled());
        QString message;
        Gui::answerFileDialog(file);
        Gui::answerMessage(bringInside ? QStringLiteral("はい") : QStringLiteral("いいえ"),
                           &message);
        window->MnuReplace->trigger();
        // The message dialog's labels begin with a line of their own.
        EXPECT_EQ(message.trimmed(),
                  QStringLiteral("画像の外にある番号: 7\r\n\r\n画像の中に移動しますか？"
                                 "\r\n(いいえ: 番号は消さずに外に残します)"));
        EXPECT_EQ(window->PBMain->size(), QSize(120, 90));
        EXPECT_EQ(window->StatusText(1), QStringLiteral(" W 120 × H 90"));
        EXPECT_EQ(*window->Doc.Map().MarkerOf(6),
                  bringInside ? MakeMarker(88, 58) : MakeMarker(150, 100));
        window->MnuUndo->trigger();
        EXPECT_EQ(window->PBMain->size(), QSize(200, 150));
        EXPECT_EQ(*window->Doc.Map().MarkerOf(6), MakeMarker(150, 100));
    }
}

TEST_F(ReviseWindowTest, AlignItemsFollowTheGroupInsideTheSelectionRectangle) {
    place(0, 10, 10);
    place(1, 60, 40);
    EXPECT_FALSE(window->MnuAlignLeft->isEnabled());
    window->Doc.SetSelectionRect({0, 0, 150, 100});
    EXPECT_TRUE(window->MnuAlignLeft->isEnabled());
    EXPECT_FALSE(window->MnuSpaceAcross->isEnabled());  // three needed
    window->MnuAlignTop->trigger();
    EXPECT_EQ(*window->Doc.Map().MarkerOf(1), MakeMarker(60, 10));
    EXPECT_EQ(undoText(), QStringLiteral("元に戻す(&U): 整列"));
}

TEST_F(ReviseWindowTest, TypedNumberPlacesOrSelectsAndEscapeDropsIt) {
    press(Qt::Key_3);
    press(Qt::Key_Escape);
    EXPECT_EQ(window->StatusText(4), QStringLiteral(" "));
    press(Qt::Key_Return);
    EXPECT_TRUE(window->Doc.Map().empty());

    press(Qt::Key_1);
    press(Qt::Key_2);
    EXPECT_EQ(window->StatusText(4), QStringLiteral(" 番号 : 12"));
    press(Qt::Key_Return);
    EXPECT_EQ(*window->Doc.Map().MarkerOf(11), MakeMarker(84, 59));
    EXPECT_EQ(window->StatusText(4), QStringLiteral(" L : 84 T : 59"));
    press(Qt::Key_Right);
    EXPECT_EQ(*window->Doc.Map().MarkerOf(11), MakeMarker(85, 59));
    // A taken number selects its marker and places nothing.
    window->Doc.Select(Markers::NoKey);
    press(Qt::Key_1);
    press(Qt::Key_2);
    press(Qt::Key_Enter);
    EXPECT_EQ(window->Doc.Map().SelectedKey, 11);
    EXPECT_EQ(window->Doc.History().count(), 2);
}
