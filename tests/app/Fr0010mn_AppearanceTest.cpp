// The appearance commands wired through the window: the style buttons and menu items, the font
// dialog, and the screen, the palette and the controls that follow them. Which choices are
// changes of the document lives in SessionEditsTest; the dialog itself, in FontDialogTest.
#include "FontDialog.h"
#include "MarkerColors.h"
#include "WindowTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSpinBox>

#include <array>
#include <functional>

namespace {

const QString kChanged = QStringLiteral(" 変更");
constexpr int32_t kRed = Markers::ColorValue(255, 0, 0);

class AppearanceTest : public Gui::DocumentWindowTest {
protected:
    std::array<QToolButton*, 6> buttons() {
        return {window->SpbNone, window->SpbButton,  window->SpbBox1,
                window->SpbBox2, window->SpbCircle1, window->SpbCircle2};
    }
    std::array<QAction*, 6> items() {
        return {window->MnuNone, window->MnuButton,  window->MnuBox1,
                window->MnuBox2, window->MnuCircle1, window->MnuCircle2};
    }
    // The style, the button down and the marked menu item all name `style`, and only it.
    void expectStyleShown(int32_t style) {
        EXPECT_EQ(window->Doc.Compositor().BackgroundStyle(), style);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(buttons()[i]->isChecked(), i == style)
                << buttons()[i]->objectName().toStdString();
            EXPECT_EQ(items()[i]->isChecked(), i == style)
                << items()[i]->objectName().toStdString();
        }
    }
    void clearChange() {
        window->Doc.MarkClean();
        window->SetStatusText(0, QString());
    }

    // Opens the font dialog with the menu item, lets `choose` work on it, then presses OK (or
    // cancels when `accept` is false).
    void chooseFont(std::function<void(FontDialog*)> choose, bool accept = true) {
        Gui::whenModal<FontDialog>([choose, accept](FontDialog* d) {
            if (choose)
                choose(d);
            auto* box = d->findChild<QDialogButtonBox*>();
            QPushButton* button =
                box->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
            if (!button->isEnabled()) {
                ADD_FAILURE() << "button disabled";
                d->reject();
                return;
            }
            QTest::mouseClick(button, Qt::LeftButton);
        });
        window->MnuFont->trigger();
        flush();
    }
    static void pick(FontDialog* d, const char* box, const QString& text) {
        auto* combo = d->findChild<QComboBox*>(QString::fromLatin1(box));
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
    }
};

}  // namespace

TEST_F(AppearanceTest, StyleMenuAndButtonsStayInStep) {
    place(0, 100, 100);
    expectStyleShown(Markers::StyleButton);
    for (int32_t style : {4, 0, 5, 2, 3, 1}) {
        clearChange();
        items()[style]->trigger();
        SCOPED_TRACE(items()[style]->objectName().toStdString());
        expectStyleShown(style);
        EXPECT_TRUE(window->Doc.Modified());
        EXPECT_EQ(window->StatusText(0), kChanged);
    }
    for (int32_t style : {3, 5, 0, 1, 4, 2}) {
        clearChange();
        QTest::mouseClick(buttons()[style], Qt::LeftButton);
        SCOPED_TRACE(buttons()[style]->objectName().toStdString());
        expectStyleShown(style);
        EXPECT_TRUE(window->Doc.Modified());
        EXPECT_EQ(window->StatusText(0), kChanged);
    }
}

TEST_F(AppearanceTest, TheStyleInEffectChosenAgainStillCountsAsAChange) {
    QTest::mouseClick(window->SpbButton, Qt::LeftButton);
    expectStyleShown(Markers::StyleButton);
    EXPECT_EQ(window->StatusText(0), kChanged);

    clearChange();
    window->MnuButton->trigger();
    expectStyleShown(Markers::StyleButton);
    EXPECT_TRUE(window->Doc.Modified());
}

TEST_F(AppearanceTest, ANewStyleShowsOnEveryMarkerAndFreeCell) {
    place(0, 10, 10);
    place(1, 300, 200);
    window->Doc.Map().SelectedKey = 1;
    const QImage before = shownCanvas();
    const QImage freeCellBefore = shownCell(2);

    window->MnuCircle1->trigger();
    flush();
    EXPECT_NE(shownCanvas(), before);
    EXPECT_EQ(shownCanvas(), expectedCanvas());
    EXPECT_NE(shownCell(2), freeCellBefore);
    EXPECT_EQ(shownCell(2), expectedCell(2));

    QTest::mouseClick(window->SpbBox2, Qt::LeftButton);
    flush();
    EXPECT_EQ(shownCanvas(), expectedCanvas());
    EXPECT_EQ(shownCell(5), expectedCell(5));
}

TEST_F(AppearanceTest, CancellingTheFontDialogChangesNothing) {
    const Markers::MarkerFont before = window->Doc.Compositor().Font();
    chooseFont(
        [](FontDialog* d) {
            pick(d, "ColorBox", QStringLiteral("赤"));
            d->findChild<QCheckBox*>(QStringLiteral("UnderlineBox"))->setChecked(true);
        },
        false);
    EXPECT_EQ(window->Doc.Compositor().Font(), before);
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(0), QString());
}

TEST_F(AppearanceTest, ConfirmingTheSameFontStillCountsAsAChange) {
    const Markers::MarkerFont before = window->Doc.Compositor().Font();
    Markers::MarkerFont offered;
    chooseFont([&offered](FontDialog* d) { offered = d->SelectedFont(); });
    // The dialog starts from the font in effect, spelled as it is, colour kept.
    EXPECT_EQ(offered, before);
    EXPECT_EQ(window->Doc.Compositor().Font(), before);
    EXPECT_EQ(window->Doc.Compositor().Font().Color, Markers::clWindowText);
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(0), kChanged);
}

TEST_F(AppearanceTest, RedChosenInTheDialogReachesTheScreenAndThePalette) {
    place(0, 100, 100);
    window->MnuBox1->trigger();
    const QImage cellBefore = shownCell(1);
    chooseFont([](FontDialog* d) { pick(d, "ColorBox", QStringLiteral("赤")); });

    EXPECT_EQ(window->Doc.Font().Color, kRed);
    flush();
    EXPECT_EQ(shownCanvas(), expectedCanvas());
    EXPECT_NE(shownCell(1), cellBefore);
    EXPECT_EQ(shownCell(1), expectedCell(1));

    // Opened again, the dialog starts from red.
    QString current;
    chooseFont([&](FontDialog* d) {
        current = d->findChild<QComboBox*>(QStringLiteral("ColorBox"))->currentText();
    });
    EXPECT_EQ(current, QStringLiteral("赤"));
}

TEST_F(AppearanceTest, TheChosenFaceStyleAndEffectsReachEveryCopy) {
    chooseFont([](FontDialog* d) {
        pick(d, "FamilyBox", QStringLiteral("IPAPGothic"));
        pick(d, "StyleBox", QStringLiteral("太字 斜体"));
        d->findChild<QSpinBox*>(QStringLiteral("SizeBox"))->setValue(9);
        d->findChild<QCheckBox*>(QStringLiteral("UnderlineBox"))->setChecked(true);
        d->findChild<QCheckBox*>(QStringLiteral("StrikeOutBox"))->setChecked(true);
    });
    EXPECT_EQ(window->Doc.Font().Name, QStringLiteral("IPAPGothic"));
    for (QWidget* copy :
         {static_cast<QWidget*>(window->LblDummy), static_cast<QWidget*>(window->DGMain)}) {
        EXPECT_EQ(copy->font().family(), QStringLiteral("IPAPGothic"));
        EXPECT_EQ(copy->font().pixelSize(), 12);  // 9 points at 96 dots per inch
        EXPECT_TRUE(copy->font().bold());
        EXPECT_TRUE(copy->font().underline());
    }
    flush();
    EXPECT_EQ(shownCell(0), expectedCell(0));
}

TEST_F(AppearanceTest, TheFontButtonOpensTheSameDialog) {
    bool opened = false;
    Gui::whenModal<FontDialog>([&opened, this](FontDialog* d) {
        opened = d == window->FDDraw;
        d->reject();
    });
    QTest::mouseClick(window->SpbFont, Qt::LeftButton);
    flush();
    EXPECT_TRUE(opened);
    EXPECT_FALSE(window->Doc.Modified());
}
