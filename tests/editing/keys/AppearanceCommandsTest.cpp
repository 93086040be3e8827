#include "FontDialog.h"
#include "KeysTestSupport.h"
#include "MarkerColors.h"

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

class AppearanceTest : public Keys::DocumentTest {
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
        settle();
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
    settle();
    EXPECT_NE(shownCanvas(), before);
    EXPECT_EQ(shownCanvas(), expectedCanvas());
    EXPECT_NE(shownCell(2), freeCellBefore);
    EXPECT_EQ(shownCell(2), expectedCell(2));

    QTest::mouseClick(window->SpbBox2, Qt::LeftButton);
    settle();
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

TEST_F(AppearanceTest, RedTurnsNumbersAndGlyphsRed) {
    place(0, 100, 100);
    window->MnuBox1->trigger();
    chooseFont([](FontDialog* d) { pick(d, "ColorBox", QStringLiteral("赤")); });

    EXPECT_EQ(window->Doc.Compositor().Font().Color, kRed);
    // The box glyph is rebuilt in red.
    bool redGlyph = false;
    for (int y = 0; y < Markers::GlyphSize; ++y) {
        for (int x = 0; x < Markers::GlyphSize; ++x)
            redGlyph = redGlyph || window->Doc.Compositor().ILBits().Pixel(Markers::StyleBox1, x, y) ==
                                       std::optional<QRgb>(qRgb(255, 0, 0));
    }
    EXPECT_TRUE(redGlyph);
    settle();
    EXPECT_EQ(shownCanvas(), expectedCanvas());
    const QImage cell = shownCell(1);
    EXPECT_EQ(cell, expectedCell(1));
    bool redInCell = false;
    for (int y = 0; y < cell.height(); ++y) {
        for (int x = 0; x < cell.width(); ++x)
            redInCell = redInCell || cell.pixel(x, y) == qRgb(255, 0, 0);
    }
    EXPECT_TRUE(redInCell);

    // Opened again, the dialog offers red as the colour in effect, among the sixteen only.
    int colours = 0;
    QString current;
    chooseFont([&](FontDialog* d) {
        auto* combo = d->findChild<QComboBox*>(QStringLiteral("ColorBox"));
        colours = combo->count();
        current = combo->currentText();
    });
    EXPECT_EQ(colours, 16);
    EXPECT_EQ(current, QStringLiteral("赤"));
}

TEST_F(AppearanceTest, TheChosenFaceStyleAndEffectsReachEveryCopy) {
    chooseFont([](FontDialog* d) {
        pick(d, "FamilyBox", QStringLiteral("DejaVu Sans"));
        pick(d, "StyleBox", QStringLiteral("太字 斜体"));
        d->findChild<QSpinBox*>(QStringLiteral("SizeBox"))->setValue(9);
        d->findChild<QCheckBox*>(QStringLiteral("UnderlineBox"))->setChecked(true);
        d->findChild<QCheckBox*>(QStringLiteral("StrikeOutBox"))->setChecked(true);
    });
    const Markers::MarkerFont& font = window->Doc.Compositor().Font();
    EXPECT_EQ(font.Name, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(font.Size, 9);
    EXPECT_TRUE(font.Bold);
    EXPECT_TRUE(font.Italic);
    EXPECT_TRUE(font.Underline);
    EXPECT_TRUE(font.StrikeOut);
    EXPECT_EQ(font.Color, Markers::clWindowText);
    for (QWidget* copy :
         {static_cast<QWidget*>(window->LblDummy), static_cast<QWidget*>(window->DGMain)}) {
        EXPECT_EQ(copy->font().family(), QStringLiteral("DejaVu Sans"));
        EXPECT_EQ(copy->font().pixelSize(), 12);  // 9 points at 96 dots per inch
        EXPECT_TRUE(copy->font().bold());
        EXPECT_TRUE(copy->font().underline());
    }
    settle();
    EXPECT_EQ(shownCell(0), expectedCell(0));
}

TEST_F(AppearanceTest, SizesOutsideEightToSixteenCannotBeConfirmed) {
    int minimum = 0;
    int maximum = 0;
    int typed = 0;
    chooseFont([&](FontDialog* d) {
        auto* size = d->findChild<QSpinBox*>(QStringLiteral("SizeBox"));
        minimum = size->minimum();
        maximum = size->maximum();
        size->setFocus();
        size->selectAll();
        QTest::keyClicks(size, QStringLiteral("20"));
        size->interpretText();
        typed = size->value();
        size->setValue(4);
    });
    EXPECT_EQ(minimum, 8);
    EXPECT_EQ(maximum, 16);
    EXPECT_NE(typed, 20);
    EXPECT_EQ(window->Doc.Compositor().Font().Size, 8);
}

TEST_F(AppearanceTest, AFontOutsideTheLimitsStartsWithinThem) {
    Markers::MarkerFont loaded = window->Doc.Compositor().Font();
    loaded.Size = 20;
    loaded.Name = QStringLiteral("Nowhere Sans");
    loaded.Color = Markers::ColorValue(1, 2, 3);
    ASSERT_NO_THROW(window->Doc.ApplyFont(loaded));
    EXPECT_FALSE(window->Doc.Modified());  // as a loaded work file does it

    Markers::MarkerFont offered;
    chooseFont([&offered](FontDialog* d) { offered = d->SelectedFont(); }, false);
    EXPECT_EQ(offered.Size, 16);
    EXPECT_EQ(offered.Name, loaded.Name);
    EXPECT_EQ(offered.Color, loaded.Color);
}

TEST_F(AppearanceTest, FontAndStyleSurviveANewDocument) {
    window->MnuCircle2->trigger();
    chooseFont([](FontDialog* d) { pick(d, "ColorBox", QStringLiteral("青")); });
    const Markers::MarkerFont chosen = window->Doc.Compositor().Font();

    Gui::answerMessage(QStringLiteral("はい"));
    window->MnuNew->trigger();
    settle();
    ASSERT_FALSE(window->Doc.DocumentOpen());
    openDocument();

    expectStyleShown(Markers::StyleCircle2);
    EXPECT_EQ(window->Doc.Compositor().Font(), chosen);
    place(0, 50, 50);
    settle();
    EXPECT_EQ(shownCanvas(), expectedCanvas());
}

TEST_F(AppearanceTest, SelectingAStyleForALoadedFileMarksNoChange) {
    EXPECT_TRUE(window->Doc.ApplyStyle(Markers::StyleBox2));
    window->Doc.Repaint();
    expectStyleShown(Markers::StyleBox2);
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_FALSE(window->Doc.ApplyStyle(6));
    EXPECT_FALSE(window->Doc.ApplyStyle(-1));
    expectStyleShown(Markers::StyleBox2);
}

TEST_F(AppearanceTest, TheFontButtonOpensTheSameDialog) {
    bool opened = false;
    Gui::whenModal<FontDialog>([&opened, this](FontDialog* d) {
        opened = d == window->FDDraw;
        d->reject();
    });
    QTest::mouseClick(window->SpbFont, Qt::LeftButton);
    settle();
    EXPECT_TRUE(opened);
    EXPECT_FALSE(window->Doc.Modified());
}
