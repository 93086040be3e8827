// The Edit menu on the real window: the items name the step, follow what can be undone, answer
// their shortcuts, and an undo brings the view along (canvas, palette, panels).
#include "WindowTestSupport.h"

#include <QImage>

using Gui::WindowTest;

namespace {

class EditMenuTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        QImage image(200, 150, QImage::Format_RGB888);
        image.fill(Qt::gray);
        ASSERT_TRUE(window->Doc.TakeSourceBitmap(Platform::Bitmap::fromQImage(image)).Ok());
    }
    void key(QKeySequence sequence) {
        QTest::keySequence(window.get(), sequence);
        QCoreApplication::processEvents();
    }
};

TEST_F(EditMenuTest, ItemsNameTheStepAndFollowTheHistory) {
    EXPECT_FALSE(window->MnuUndo->isEnabled());
    EXPECT_FALSE(window->MnuRedo->isEnabled());
    EXPECT_EQ(window->MnuUndo->text(), QStringLiteral("元に戻す(&U)"));
    EXPECT_EQ(window->MnuRedo->shortcuts(),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")),
                                   QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));

    window->Doc.Place(2, Markers::MakeMarker(40, 40));
    EXPECT_TRUE(window->MnuUndo->isEnabled());
    EXPECT_EQ(window->MnuUndo->text(), QStringLiteral("元に戻す(&U): 配置"));
    EXPECT_EQ(window->StatusText(TFrmFR0010MN::PanelModified), QStringLiteral(" 変更"));

    key(QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_TRUE(window->Doc.Map().empty());
    EXPECT_EQ(window->MnuRedo->text(), QStringLiteral("やり直し(&R): 配置"));
    EXPECT_FALSE(window->MnuUndo->isEnabled());
    EXPECT_EQ(window->StatusText(TFrmFR0010MN::PanelModified), QStringLiteral(" "));

    key(QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    ASSERT_TRUE(window->Doc.Map().IsPlaced(2));
    EXPECT_EQ(window->Doc.Map().SelectedKey, 2);
    EXPECT_EQ(window->StatusText(TFrmFR0010MN::PanelMarkerPosition), QStringLiteral(" L : 40 T : 40"));

    window->MnuCircle1->trigger();
    EXPECT_EQ(window->MnuUndo->text(), QStringLiteral("元に戻す(&U): 背景"));
    window->MnuUndo->trigger();
    EXPECT_TRUE(window->SpbButton->isChecked());  // the style's button follows the undo
    key(QKeySequence(QStringLiteral("Ctrl+Y")));
    EXPECT_TRUE(window->SpbCircle1->isChecked());

    // A new document: nothing to take back, and no question about the discarded history.
    window->Doc.MarkClean();
    window->MnuNew->trigger();
    EXPECT_FALSE(window->MnuUndo->isEnabled());
    EXPECT_FALSE(window->MnuRedo->isEnabled());
}

}  // namespace
