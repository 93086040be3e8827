// The export commands wired through the window: the dialog, the name it offers, the overwrite
// question and the message of a failure. What the export writes lives in SessionFilesTest.
#include "Bmp.h"
#include "WindowTestSupport.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>

using Gui::WindowTest;

namespace {

using TestSupport::fourBit;

class ExportTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        const QString source = path(QStringLiteral("source.bmp"));
        Platform::Bmp::writeFile(fourBit(90, 70), source);
        Gui::answerFileDialog(source);
        window->MnuOpen->trigger();
        ASSERT_TRUE(window->Doc.DocumentOpen());
    }
};

}  // namespace

TEST_F(ExportTest, ExportAsWritesThePictureAndLeavesTheWorkUnsaved) {
    EXPECT_EQ(window->SDFile->defaultSuffix(), QStringLiteral("bmp"));
    EXPECT_EQ(window->SDFile->windowTitle(), QStringLiteral("名前を付けてビットマップ出力"));
    EXPECT_EQ(window->SDFile->nameFilters(),
              (QStringList{QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ(*.bmp)"), QStringLiteral("PNGﾌｧｲﾙ(*.png)")}));
    window->Doc.Map().InsertMarker(0, Markers::MakeMarker(10, 10));
    window->Doc.Map().SelectedKey = 0;
    makeModified();
    const QImage screenBefore = window->PBMain->grab().toImage();

    const QString out = path(QStringLiteral("result.bmp"));
    QString offered;
    Gui::answerFileDialog(out, &offered);
    window->MnuSaveAs->trigger();

    EXPECT_EQ(offered, QStringLiteral("新規.bmp"));
    ASSERT_TRUE(QFileInfo::exists(out));
    EXPECT_EQ(Platform::Bmp::readFile(out).toQImage().convertToFormat(QImage::Format_RGB32),
              TestSupport::referenceCanvas(window->Doc, TestSupport::Pass::Export));
    EXPECT_EQ(window->StatusText(0), QStringLiteral(" 変更"));
    EXPECT_EQ(window->Doc.ExportFileName(), out);
    // The screen keeps its decorations.
    window->PBMain->repaint();
    EXPECT_EQ(window->PBMain->grab().toImage(), screenBefore);
}

TEST_F(ExportTest, ExportPathIsRememberedUntilTheDocumentChanges) {
    const QString first = path(QStringLiteral("first.bmp"));
    QString offered;
    Gui::answerFileDialog(first, &offered);
    window->MnuSave->trigger();
    EXPECT_EQ(offered, QStringLiteral("新規.bmp"));
    ASSERT_EQ(window->Doc.ExportFileName(), first);

    // Export again: the same file, no dialog.
    ASSERT_TRUE(QFile::remove(first));
    window->MnuSave->trigger();
    EXPECT_TRUE(QFileInfo::exists(first));

    // Export as: the remembered name is offered; the new one is remembered.
    const QString second = path(QStringLiteral("second.bmp"));
    Gui::answerFileDialog(second, &offered);
    window->MnuSaveAs->trigger();
    EXPECT_EQ(offered, QStringLiteral("first.bmp"));
    EXPECT_EQ(window->SDFile->directory().absolutePath(), QFileInfo(first).absolutePath());
    EXPECT_EQ(window->Doc.ExportFileName(), second);

    // A cancelled dialog changes nothing.
    Gui::answerFileDialog(QString());
    window->MnuSaveAs->trigger();
    EXPECT_EQ(window->Doc.ExportFileName(), second);

    // New forgets it; the next export asks again.
    window->MnuNew->trigger();
    EXPECT_TRUE(window->Doc.ExportFileName().isEmpty());
    window->MnuSave->trigger();  // no document: nothing happens, no dialog

    // So does opening another image.
    const QString source = path(QStringLiteral("source.bmp"));
    Gui::answerFileDialog(source);
    window->MnuOpen->trigger();
    ASSERT_TRUE(window->Doc.DocumentOpen());
    Gui::answerFileDialog(QString(), &offered);
    window->MnuSave->trigger();
    EXPECT_EQ(offered, QStringLiteral("新規.bmp"));
}

TEST_F(ExportTest, OverwritingAnExistingFileAsksFirst) {
    const QString target = path(QStringLiteral("there.bmp"));
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old contents");
    f.close();

    // Declined: the old file stays.
    Gui::answerFileDialog(target);
    Gui::whenModal<QMessageBox>([](QMessageBox* box) {
        Gui::whenModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
        box->button(QMessageBox::No)->click();
    });
    window->MnuSaveAs->trigger();
    EXPECT_EQ(QFileInfo(target).size(), 12);
    EXPECT_TRUE(window->Doc.ExportFileName().isEmpty());

    // Confirmed: replaced by the export.
    Gui::answerFileDialog(target);
    Gui::whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    window->MnuSaveAs->trigger();
    EXPECT_EQ(Platform::Bmp::readFile(target).width(), 90);
}

TEST_F(ExportTest, FailedExportShowsItsMessage) {
    window->Doc.SetExportFileName(path(QStringLiteral("no/such/folder/out.bmp")));
    QString message;
    Gui::answerMessage(QStringLiteral("OK"), &message);
    window->SpbSave->click();
    EXPECT_EQ(message.trimmed(), QStringLiteral("ファイル %1 を作成できません")
                                     .arg(path(QStringLiteral("no/such/folder/out.bmp"))));
}

// The PNG filter: a name without a suffix takes ".png", and the file is the same picture.
TEST_F(ExportTest, ThePngFilterWritesATwentyFourBitPng) {
    window->Doc.Place(3, Markers::MakeMarker(20, 20));
    const QString bmp = path(QStringLiteral("same.bmp"));
    ASSERT_TRUE(window->ExportBitmap(bmp));
    Gui::whenModal<QFileDialog>([this](QFileDialog* d) {
        // As the user chooses it: through the dialog's type list.
        auto* types = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        types->setCurrentIndex(1);
        Gui::answerFileDialog(path(QStringLiteral("picture")));
    });
    window->MnuSaveAs->trigger();
    QTest::qWait(50);
    const QImage png(path(QStringLiteral("picture.png")));
    ASSERT_FALSE(png.isNull());
    EXPECT_FALSE(png.hasAlphaChannel());
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB888),
              Platform::Bmp::readFile(bmp).view().convertToFormat(QImage::Format_RGB888));
    EXPECT_EQ(window->Doc.ExportFileName(), path(QStringLiteral("picture.png")));
}
