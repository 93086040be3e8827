// Qt's own texts in the program's language once the translations are installed.
#include "Translations.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTranslator>

namespace {

class TranslationsTest : public ::testing::Test {
protected:
    void SetUp() override { InstallQtTranslations(*qApp); }
    // The other tests of this program read Qt's texts untranslated.
    void TearDown() override { qDeleteAll(qApp->findChildren<QTranslator*>()); }
};

TEST_F(TranslationsTest, StandardButtonsAndTheFileDialogSpeakJapanese) {
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* name = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(name->text().contains(QStringLiteral("ファイル名"))) << name->text().toStdString();
    auto* type = dialog.findChild<QLabel*>(QStringLiteral("fileTypeLabel"));
    ASSERT_NE(type, nullptr);
    EXPECT_TRUE(type->text().contains(QStringLiteral("ファイル"))) << type->text().toStdString();
}

}  // namespace
