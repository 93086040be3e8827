// The font dialog on its own: what it offers for a font and what it gives back.
#include "FontDialog.h"
#include "MarkerColors.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QTest>

namespace {

class FontDialogTest : public ::testing::Test {
protected:
    template <class T>
    T* child(const char* name) {
        T* c = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    void pick(const char* box, const QString& text) {
        auto* combo = child<QComboBox>(box);
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
    }

    FontDialog dialog;
};

}  // namespace

TEST_F(FontDialogTest, StartsFromTheFontInEffectWithinTheLimits) {
    const Markers::MarkerFont start;
    dialog.SetMarkerFont(start);
    EXPECT_EQ(dialog.SelectedFont(), start);  // spelled as it is, colour kept
    EXPECT_EQ(dialog.SelectedFont().Color, Markers::clWindowText);

    // A font a work file brought: the size comes within 8 .. 16, the rest as it is.
    Markers::MarkerFont loaded = start;
    loaded.Size = 20;
    loaded.Name = QStringLiteral("Nowhere Sans");
    loaded.Color = Markers::ColorValue(1, 2, 3);
    dialog.SetMarkerFont(loaded);
    EXPECT_EQ(dialog.SelectedFont().Size, 16);
    EXPECT_EQ(dialog.SelectedFont().Name, loaded.Name);
    EXPECT_EQ(dialog.SelectedFont().Color, loaded.Color);

    // Red is offered as the colour in effect, among the sixteen only.
    Markers::MarkerFont red = start;
    red.Color = Markers::ColorValue(255, 0, 0);
    dialog.SetMarkerFont(red);
    EXPECT_EQ(child<QComboBox>("ColorBox")->count(), 16);
    EXPECT_EQ(child<QComboBox>("ColorBox")->currentText(), QStringLiteral("赤"));
}

TEST_F(FontDialogTest, TheChosenFaceStyleEffectsAndColourAreGivenBack) {
    dialog.SetMarkerFont(Markers::MarkerFont{});
    pick("FamilyBox", QStringLiteral("IPAPGothic"));
    pick("StyleBox", QStringLiteral("太字 斜体"));
    child<QSpinBox>("SizeBox")->setValue(9);
    child<QCheckBox>("UnderlineBox")->setChecked(true);
    child<QCheckBox>("StrikeOutBox")->setChecked(true);
    const Markers::MarkerFont font = dialog.SelectedFont();
    EXPECT_EQ(font.Name, QStringLiteral("IPAPGothic"));
    EXPECT_EQ(font.Size, 9);
    EXPECT_TRUE(font.Bold);
    EXPECT_TRUE(font.Italic);
    EXPECT_TRUE(font.Underline);
    EXPECT_TRUE(font.StrikeOut);
    EXPECT_EQ(font.Color, Markers::clWindowText);

    pick("ColorBox", QStringLiteral("青"));
    EXPECT_EQ(dialog.SelectedFont().Color, Markers::ColorValue(0, 0, 255));
}

TEST_F(FontDialogTest, SizesOutsideEightToSixteenCannotBeEntered) {
    dialog.SetMarkerFont(Markers::MarkerFont{});
    dialog.show();
    auto* size = child<QSpinBox>("SizeBox");
    EXPECT_EQ(size->minimum(), 8);
    EXPECT_EQ(size->maximum(), 16);
    size->setFocus();
    size->selectAll();
    QTest::keyClicks(size, QStringLiteral("20"));
    size->interpretText();
    EXPECT_NE(size->value(), 20);
    size->setValue(4);
    EXPECT_EQ(dialog.SelectedFont().Size, 8);
}
