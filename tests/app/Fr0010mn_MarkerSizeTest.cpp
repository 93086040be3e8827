#include "FontDialog.h"
#include "MarkerSizeDialog.h"
#include "WindowTestSupport.h"

#include <QSpinBox>

using Markers::MakeMarker;

namespace {
class MarkerSizeWindowTest : public Gui::WindowTest {};
}  // namespace

TEST_F(MarkerSizeWindowTest, CommandResizesAndTheFontRangeFollows) {
    QAction* item = window->findChild<QAction*>(QStringLiteral("MnuMarkerSize"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("マーカーの大きさ(&Z)..."));
    const QList<QAction*> options = window->MnuOption->actions();
    EXPECT_EQ(options.indexOf(item), options.indexOf(window->MnuFont) + 1);
    EXPECT_FALSE(item->isEnabled());

    ASSERT_TRUE(window->Doc.TakeSourceBitmap(Platform::Bitmap(300, 200, 24)).Ok());
    ASSERT_TRUE(item->isEnabled());
    window->Doc.Place(3, MakeMarker(100, 100));
    int offered = 0;
    Gui::whenModal<MarkerSizeDialog>([&](MarkerSizeDialog* d) {
        auto* field = d->findChild<QSpinBox*>(QStringLiteral("SpnMarkerSize"));
        offered = field->value();
        QTest::keyClicks(field, QStringLiteral("64"));
        QTest::keyClick(field, Qt::Key_Return);
    });
    item->trigger();
    EXPECT_EQ(offered, 32);
    EXPECT_EQ(window->Doc.MarkerSize(), 64);
    EXPECT_EQ(*window->Doc.Map().MarkerOf(3), (Markers::Marker{84, 84, 148, 148}));
    EXPECT_EQ(window->MnuUndo->text(), QStringLiteral("元に戻す(&U): 大きさ"));

    int largest = 0;
    Gui::whenModal<FontDialog>([&](FontDialog* d) {
        largest = d->findChild<QSpinBox*>(QStringLiteral("SizeBox"))->maximum();
        d->reject();
    });
    window->MnuFont->trigger();
    EXPECT_EQ(largest, 32);
}
