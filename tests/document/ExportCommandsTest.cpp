#include "Bmp.h"
#include "ToolkitError.h"
#include "WindowTestSupport.h"

#include <QFile>
#include <QFileInfo>

#include <unistd.h>

using Gui::WindowTest;

namespace {

// A 4-bit bitmap of stripes in the sixteen colours of its table.
Platform::Bitmap fourBit(int width, int height) {
    Platform::Bitmap b(width, height, 4);
    std::vector<QRgb> table;
    for (int i = 0; i < 16; ++i)
        table.push_back(qRgb(i * 16, 255 - i * 16, (i * 37) & 0xFF));
    b.setColorTable(table);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = b.scanLine(y);
        for (int x = 0; x < width; x += 2)
            row[x / 2] = static_cast<uint8_t>((((x + y) / 4) % 16) << 4 | (((x + 1 + y) / 4) % 16));
    }
    return b;
}

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

TEST_F(ExportTest, FourBitSourceExportsAsTwentyFourBitsWithMarkersAndNoDecorations) {
    EXPECT_EQ(window->SDFile->defaultSuffix(), QStringLiteral("bmp"));
    EXPECT_EQ(window->SDFile->nameFilters(), QStringList{QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ(*.bmp)")});
    EXPECT_EQ(window->Doc.Compositor().SourceBitmap()->bitsPerPixel(), 4);
    window->Doc.Map().InsertMarker(0, Markers::MakeMarker(10, 10));
    window->Doc.Map().InsertMarker(6, Markers::MakeMarker(70, 50));  // hangs over the edges
    window->Doc.Map().SelectedKey = 0;
    window->Doc.Map().GuideKey = 6;
    window->Doc.Map().SelectionRect = {20, 20, 60, 40};
    makeModified();

    // The same document composed by a compositor of its own, without decorations.
    Markers::Compositor expected;
    expected.LoadGlyphs(QStringLiteral("BLACK"), Markers::kOliveRgb);
    expected.CreateBitmaps();
    expected.SetSourceBitmap(fourBit(90, 70));
    expected.ComposeForExport(window->Doc.Map());
    // And with them, to be sure the decorations would show.
    Markers::Compositor decorated;
    decorated.LoadGlyphs(QStringLiteral("BLACK"), Markers::kOliveRgb);
    decorated.CreateBitmaps();
    decorated.SetSourceBitmap(fourBit(90, 70));
    decorated.ComposeCanvas(window->Doc.Map());

    const QString out = path(QStringLiteral("result.bmp"));
    QString offered;
    Gui::answerFileDialog(out, &offered);
    window->MnuSaveAs->trigger();

    EXPECT_EQ(offered, QStringLiteral("新規.bmp"));
    ASSERT_TRUE(QFileInfo::exists(out));
    const Platform::Bitmap written = Platform::Bmp::readFile(out);
    EXPECT_EQ(written.bitsPerPixel(), 24);
    ASSERT_EQ(written.width(), 90);
    ASSERT_EQ(written.height(), 70);
    int differences = 0;
    int decorationPixels = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 90; ++x) {
            differences += written.pixel(x, y) != expected.CanvasBitmap()->pixel(x, y);
            decorationPixels +=
                expected.CanvasBitmap()->pixel(x, y) != decorated.CanvasBitmap()->pixel(x, y);
        }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(decorationPixels, 0);
    // A marker changes the picture: the file is not just the source.
    EXPECT_NE(written.pixel(11, 11), Platform::Bitmap(fourBit(90, 70)).pixel(11, 11));

    // Exporting leaves the unsaved work unsaved.
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(0), QStringLiteral(" 変更"));
    EXPECT_EQ(window->Doc.ExportFileName(), out);
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

TEST_F(ExportTest, FailedExportReportsAndKeepsWhatWasThere) {
    window->Doc.SetExportFileName(path(QStringLiteral("before.bmp")));

    const QString nowhere = path(QStringLiteral("no/such/folder/out.bmp"));
    QString message;
    Gui::answerMessage(QStringLiteral("OK"), &message);
    EXPECT_FALSE(window->ExportBitmap(nowhere));
    EXPECT_TRUE(message.contains(QStringLiteral("ファイル %1 を作成できません").arg(nowhere)))
        << message.toStdString();
    EXPECT_EQ(window->Doc.ExportFileName(), path(QStringLiteral("before.bmp")));

    // A read-only file is left alone, whoever runs the program.
    const QString locked = path(QStringLiteral("locked.bmp"));
    QFile f(locked);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("keep me");
    f.close();
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup));
    Gui::answerMessage(QStringLiteral("OK"), &message);
    EXPECT_FALSE(window->ExportBitmap(locked));
    EXPECT_TRUE(message.contains(QStringLiteral("ファイル %1 を作成できません").arg(locked)))
        << message.toStdString();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("keep me"));
    EXPECT_EQ(window->Doc.ExportFileName(), path(QStringLiteral("before.bmp")));
}

// An export that cannot get the memory for its file is reported like any other failed export:
// the program goes on with the work unsaved but intact. The address space is narrowed for the
// test (not under AddressSanitizer, which needs a vast one of its own).
TEST_F(ExportTest, ExportWithoutMemoryForTheFileIsReportedAndKeepsTheWork) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space limits do not mix with AddressSanitizer";
#else
    window->MnuNew->trigger();
    // 96 MB, and as much again for the PNG's picture (a BMP goes to its file a piece at a time).
    window->Doc.TakeSourceBitmap(Platform::Bitmap(8000, 4000, 24));
    window->Doc.Map().InsertMarker(0, Markers::MakeMarker(10, 10));
    makeModified();
    window->Doc.SetExportFileName(path(QStringLiteral("before.bmp")));
    const QString out = path(QStringLiteral("big.png"));

    QString message;
    Gui::answerMessage(QStringLiteral("OK"), &message);
    bool exported = true;
    {
        const Gui::AddressSpaceLimit limit(48 << 20);
        exported = window->ExportBitmap(out);
    }
    EXPECT_FALSE(exported);
    EXPECT_TRUE(message.contains(QStringLiteral("メモリが不足しています")))
        << message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(window->Doc.ExportFileName(), path(QStringLiteral("before.bmp")));
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_EQ(window->Doc.Map().size(), 1u);
#endif
}
