// The source-image commands wired through the window: the dialogs, the unsaved-work question,
// the messages and what the screen shows. What the document does lives in SessionFilesTest.
#include "Bmp.h"
#include "ImageFile.h"
#include "WindowTestSupport.h"

#include <QClipboard>
#include <QMimeData>

using Gui::WindowTest;

namespace {

using TestSupport::gradient;

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
    window->DGMain->SetLeftCol(40);

    openThroughDialog(file);

    EXPECT_TRUE(window->Doc.DocumentOpen());
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(1), QStringLiteral(" W 640 × H 480"));
    EXPECT_EQ(window->StatusText(0), QString());
    EXPECT_EQ(window->PBMain->size(), QSize(640, 480));
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

TEST_F(SourceImageTest, FailedOpenShowsItsMessageAndNoDocument) {
    const QString file =
        writeFile(QStringLiteral("cut.bmp"), Platform::Bmp::encode(gradient(64, 64)).left(200));
    QString message;
    Gui::answerFileDialog(file);
    Gui::answerMessage(QStringLiteral("OK"), &message);
    window->MnuOpen->trigger();

    EXPECT_EQ(message.trimmed(), QStringLiteral("ストリームからの読み込みエラー"));
    EXPECT_FALSE(window->Doc.DocumentOpen());
    EXPECT_TRUE(window->MnuOpen->isEnabled());
    EXPECT_EQ(window->PBMain->size(), QSize(0, 0));
    EXPECT_EQ(window->StatusText(1), QString());
}

TEST_F(SourceImageTest, PasteTakesTheClipboardsImage) {
    QImage image(300, 200, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(10, 20, 30), qRgb(250, 0, 0)});
    image.fill(1);
    image.setPixel(5, 6, 2);
    QGuiApplication::clipboard()->setImage(image);

    window->MnuClip->trigger();

    ASSERT_TRUE(window->Doc.DocumentOpen());
    EXPECT_EQ(window->Doc.SourceBitmap()->pixel(5, 6), qRgb(250, 0, 0));
    EXPECT_EQ(window->StatusText(1), QStringLiteral(" W 300 × H 200"));
    EXPECT_EQ(window->PBMain->size(), QSize(300, 200));
    EXPECT_FALSE(window->SpbPaste->isEnabled());
    QGuiApplication::clipboard()->clear();

    // A clipboard without an image: the message, and paste offered again.
    QGuiApplication::clipboard()->setText(QStringLiteral("just words"));
    window->SetDocumentState(false);  // paste is offered only without a document
    QString message;
    Gui::answerMessage(QStringLiteral("OK"), &message);
    window->SpbPaste->click();
    EXPECT_EQ(message.trimmed(), QStringLiteral("未対応のクリップボード データです"));
    EXPECT_FALSE(window->Doc.DocumentOpen());
    EXPECT_TRUE(window->MnuClip->isEnabled());
    EXPECT_EQ(window->StatusText(1), QString());
}

TEST_F(SourceImageTest, NewWithUnsavedWorkGoesOnOnlyAfterYes) {
    window->Doc.TakeSourceBitmap(gradient(100, 80));
    window->Doc.Map().InsertMarker(3, Markers::MakeMarker(5, 5));
    window->Doc.ApplyStyle(Markers::StyleBox2);
    window->Doc.Repaint();
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

    // Yes: the document goes; the style shown stays.
    Gui::answerMessage(QStringLiteral("はい"));
    window->MnuNew->trigger();
    EXPECT_FALSE(window->Doc.DocumentOpen());
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(0), QString());
    EXPECT_EQ(window->StatusText(1), QString());
    EXPECT_EQ(window->PBMain->size(), QSize(0, 0));
    EXPECT_FALSE(window->MnuSave->isEnabled());
    EXPECT_TRUE(window->MnuOpen->isEnabled());
    EXPECT_TRUE(window->SpbBox2->isChecked());
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
