#include "Bmp.h"
#include "ToolkitError.h"
#include "ImageFile.h"
#include "WindowTestSupport.h"

#include <QClipboard>
#include <QFile>
#include <QMimeData>

using Gui::WindowTest;

namespace {

// A 24-bit bitmap with a gradient, so any pixel can be told from its neighbours.
Platform::Bitmap gradient(int width, int height) {
    Platform::Bitmap b(width, height, 24);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = b.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>(x);
            row[3 * x + 1] = static_cast<uint8_t>(y);
            row[3 * x + 2] = 200;
        }
    }
    return b;
}

class SourceImageTest : public WindowTest {
protected:
    // Opens `path` through the real open dialog.
    void openThroughDialog(const QString& path) {
        Gui::answerFileDialog(path);
        window->MnuOpen->trigger();
    }
    QString writeBitmap(const QString& name, const Platform::Bitmap& bitmap) {
        const QString file = path(name);
        Platform::Bmp::writeFile(bitmap, file);
        return file;
    }
};

}  // namespace

TEST_F(SourceImageTest, OpeningABitmapStartsADocument) {
    const QString file = writeBitmap(QStringLiteral("photo.bmp"), gradient(640, 480));
    EXPECT_EQ(window->ODFile->windowTitle(), QStringLiteral("開く"));
    EXPECT_EQ(window->ODFile->nameFilters(),
              (QStringList{QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ(*.bmp)"), Platform::readableImageFilter()}));
    EXPECT_TRUE(Platform::readableImageFilter().contains(QStringLiteral("*.png")));
    window->Doc.SetExportFileName(QStringLiteral("old.bmp"));
    window->DGMain->SetLeftCol(40);

    openThroughDialog(file);

    EXPECT_TRUE(window->Doc.DocumentOpen());
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(1), QStringLiteral(" W 640 × H 480"));
    EXPECT_EQ(window->StatusText(0), QString());
    EXPECT_EQ(window->PBMain->size(), QSize(640, 480));
    EXPECT_EQ(window->Doc.Compositor().CanvasBitmap()->width(), 640);
    EXPECT_EQ(window->Doc.Compositor().CanvasBitmap()->height(), 480);
    EXPECT_TRUE(window->Doc.ExportFileName().isEmpty());
    EXPECT_EQ(window->DGMain->LeftCol(), 0);
    EXPECT_FALSE(window->MnuOpen->isEnabled());
    EXPECT_FALSE(window->SpbPaste->isEnabled());
    EXPECT_TRUE(window->MnuSave->isEnabled());
    EXPECT_TRUE(window->SpbCircle2->isEnabled());
    EXPECT_TRUE(window->DGMain->isEnabled());

    // The image is what the screen shows.
    const QImage shown = window->PBMain->grab(QRect(0, 0, 64, 64)).toImage();
    EXPECT_EQ(shown.pixelColor(10, 20), QColor(200, 20, 10));
    EXPECT_EQ(shown.pixelColor(63, 5), QColor(200, 5, 63));

    // Nothing unsaved: closing asks nothing.
    EXPECT_TRUE(window->close());
}

TEST_F(SourceImageTest, CancelledOpenChangesNothing) {
    window->Doc.SetExportFileName(QStringLiteral("kept.bmp"));
    Gui::answerFileDialog(QString());
    window->MnuOpen->trigger();
    EXPECT_FALSE(window->Doc.DocumentOpen());
    EXPECT_EQ(window->Doc.ExportFileName(), QStringLiteral("kept.bmp"));
}

TEST_F(SourceImageTest, OpenFailuresAreReportedAndLeaveNoDocument) {
    const struct {
        const char* name;
        QByteArray bytes;
        QString message;
    } rows[] = {
        {"not a bitmap", QByteArray("hello, this is no bitmap at all"),
         QStringLiteral("ビットマップイメージが不正です")},
        {"cut short", Platform::Bmp::encode(gradient(64, 64)).left(200),
         QStringLiteral("ストリームからの読み込みエラー")},
    };
    for (const auto& row : rows) {
        const QString file = path(QString::fromLatin1(row.name) + QStringLiteral(".bmp"));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(row.bytes);
        f.close();
        window->Doc.SetExportFileName(QStringLiteral("x.bmp"));

        QString message;
        Gui::answerFileDialog(file);
        Gui::answerMessage(QStringLiteral("OK"), &message);
        window->MnuOpen->trigger();

        EXPECT_TRUE(message.contains(row.message)) << row.name << ": " << message.toStdString();
        EXPECT_FALSE(window->Doc.DocumentOpen()) << row.name;
        EXPECT_TRUE(window->MnuOpen->isEnabled()) << row.name;
        EXPECT_EQ(window->PBMain->size(), QSize(0, 0)) << row.name;
        EXPECT_TRUE(window->Doc.ExportFileName().isEmpty()) << row.name;
    }
}

TEST_F(SourceImageTest, PastingAnImageKeepsItsDepth) {
    QImage image(300, 200, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(10, 20, 30), qRgb(250, 0, 0)});
    image.fill(1);
    image.setPixel(5, 6, 2);
    QGuiApplication::clipboard()->setImage(image);
    window->Doc.SetExportFileName(QStringLiteral("x.bmp"));

    window->MnuClip->trigger();

    ASSERT_TRUE(window->Doc.DocumentOpen());
    const Platform::Bitmap* source = window->Doc.Compositor().SourceBitmap();
    EXPECT_EQ(source->bitsPerPixel(), 8);
    EXPECT_EQ(source->pixel(5, 6), qRgb(250, 0, 0));
    EXPECT_EQ(source->pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(window->StatusText(1), QStringLiteral(" W 300 × H 200"));
    EXPECT_EQ(window->PBMain->size(), QSize(300, 200));
    EXPECT_TRUE(window->Doc.ExportFileName().isEmpty());
    EXPECT_FALSE(window->SpbPaste->isEnabled());

    // The image no longer depends on the clipboard.
    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(window->Doc.Compositor().SourceBitmap()->pixel(5, 6), qRgb(250, 0, 0));
}

TEST_F(SourceImageTest, PastingTextOnlyReportsUnsupportedDataAndLeavesNoDocument) {
    QGuiApplication::clipboard()->setText(QStringLiteral("just words"));
    window->Doc.SetExportFileName(QStringLiteral("x.bmp"));
    window->Doc.SetWorkSaveFileName(QStringLiteral("x.ptn"));

    QString message;
    Gui::answerMessage(QStringLiteral("OK"), &message);
    window->MnuClip->trigger();

    EXPECT_TRUE(message.contains(QStringLiteral("未対応のクリップボード データです")))
        << message.toStdString();
    EXPECT_FALSE(window->Doc.DocumentOpen());
    EXPECT_TRUE(window->Doc.ExportFileName().isEmpty());
    EXPECT_TRUE(window->Doc.WorkSaveFileName().isEmpty());
    EXPECT_TRUE(window->MnuClip->isEnabled());
}

TEST_F(SourceImageTest, NewWithUnsavedWorkGoesOnOnlyAfterYes) {
    window->Doc.TakeSourceBitmap(gradient(100, 80));
    window->Doc.Map().InsertMarker(3, Markers::MakeMarker(5, 5));
    window->Doc.Compositor().SetBackgroundStyle(Markers::StyleBox2);
    window->Doc.SetExportFileName(QStringLiteral("kept.bmp"));
    makeModified();

    // No, and a dialog closed without an answer: nothing changes.
    Gui::answerMessage(QStringLiteral("いいえ"));
    window->MnuNew->trigger();
    Gui::whenModal<QDialog>([](QDialog* d) { d->close(); });
    window->MnuNew->trigger();
    EXPECT_TRUE(window->Doc.DocumentOpen());
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(0), QStringLiteral(" 変更"));
    EXPECT_EQ(window->StatusText(1), QStringLiteral(" W 100 × H 80"));
    EXPECT_EQ(window->Doc.Map().size(), 1u);
    EXPECT_EQ(window->Doc.ExportFileName(), QStringLiteral("kept.bmp"));
    EXPECT_TRUE(window->MnuSave->isEnabled());

    // Yes: the document goes, the appearance stays.
    Gui::answerMessage(QStringLiteral("はい"));
    window->MnuNew->trigger();
    EXPECT_FALSE(window->Doc.DocumentOpen());
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_TRUE(window->Doc.Map().empty());
    EXPECT_EQ(window->StatusText(0), QString());
    EXPECT_EQ(window->StatusText(1), QString());
    EXPECT_TRUE(window->Doc.ExportFileName().isEmpty());
    EXPECT_EQ(window->PBMain->size(), QSize(0, 0));
    EXPECT_FALSE(window->MnuSave->isEnabled());
    EXPECT_TRUE(window->MnuOpen->isEnabled());
    EXPECT_EQ(window->Doc.Compositor().BackgroundStyle(), Markers::StyleBox2);
}

TEST_F(SourceImageTest, PasteAfterUnsavedWorkAnsweredNoKeepsTheDocument) {
    window->Doc.TakeSourceBitmap(gradient(50, 40));
    makeModified();
    window->SetDocumentState(false);  // paste is offered again only without a document
    QGuiApplication::clipboard()->setImage(QImage(10, 10, QImage::Format_RGB32));
    Gui::answerMessage(QStringLiteral("いいえ"));
    window->MnuClip->trigger();
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_EQ(window->Doc.Compositor().SourceBitmap()->width(), 50);
}

// An image on the clipboard that cannot be brought into the program's own form for want of
// memory is reported, and no document of nothing is opened in its place.
TEST_F(SourceImageTest, PastingAnImageThatDoesNotFitInMemoryLeavesNoDocument) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space limits do not mix with AddressSanitizer";
#else
    // Premultiplied alpha is converted before it is taken: 128 MB more.
    QImage image(8000, 4000, QImage::Format_ARGB32_Premultiplied);
    image.fill(qRgba(10, 20, 30, 255));
    QGuiApplication::clipboard()->setImage(image);
    image = QImage();

    QString message;
    Gui::answerMessage(QStringLiteral("OK"), &message);
    {
        const Gui::AddressSpaceLimit limit(48 << 20);
        window->MnuClip->trigger();
    }
    EXPECT_TRUE(message.contains(QStringLiteral("メモリが不足しています")))
        << message.toStdString();
    EXPECT_FALSE(window->Doc.DocumentOpen());
    EXPECT_EQ(window->StatusText(1), QString());
    EXPECT_EQ(window->PBMain->size(), QSize(0, 0));
    EXPECT_TRUE(window->MnuClip->isEnabled());
    QGuiApplication::clipboard()->clear();
#endif
}
