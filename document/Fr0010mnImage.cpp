// The main window's source-image commands: a new empty start, opening a bitmap file and taking
// the clipboard's image, with the steps every change of document shares.
#include "ClipboardImage.h"
#include "Common.h"
#include "Fr0010mn.h"
#include "ImageFile.h"
#include "ToolkitError.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>

void TFrmFR0010MN::ResetDocument() {
    MarkerMap.ClearMarkers();
    ClearStatusTexts();
    DocumentOpen = false;
    Modified = false;
    DGMain->SetLeftCol(0);
}

void TFrmFR0010MN::ClearFileNames() {
    WorkSaveFileName.clear();
    WorkOpenFileName.clear();
    ExportFileName.clear();
}

void TFrmFR0010MN::ReleaseImages() {
    Compositor.ReleaseImages();
    PBMain->resize(0, 0);
}

void TFrmFR0010MN::FitViewToImage() {
    const Platform::Bitmap* source = Compositor.SourceBitmap();
    if (!source)
        return;
    PBMain->resize(source->width(), source->height());
    CanvasComposed = false;  // a new image: nothing of it is composed yet
    Platform::Bitmap* canvas = Compositor.CanvasBitmap();
    if (canvas && (canvas->width() != source->width() || canvas->height() != source->height()))
        canvas->setSize(source->width(), source->height());
}

void TFrmFR0010MN::ShowImageSize() {
    const Platform::Bitmap* source = Compositor.SourceBitmap();
    if (!source)
        return;
    SetStatusText(1, QStringLiteral("W %1 × H %2").arg(source->width()).arg(source->height()));
}

void TFrmFR0010MN::TakeSourceBitmap(Platform::Bitmap bitmap) {
    Compositor.SetSourceBitmap(std::move(bitmap));
    FitViewToImage();
    ShowImageSize();
    DocumentOpen = true;
    SetDocumentState(true);
}

void TFrmFR0010MN::MnuNewClick() {
    if (!ConfirmDiscard())
        return;
    ResetDocument();
    ClearFileNames();
    ReleaseImages();
    SetDocumentState(false);
    ComposeCanvas();
    DGMain->viewport()->update();
}

void TFrmFR0010MN::MnuOpenClick() {
    if (!ConfirmDiscard())
        return;
    if (ODFile->exec() != QDialog::Accepted || ODFile->selectedFiles().isEmpty())
        return;
    OpenSourceImage(ODFile->selectedFiles().constFirst());
}

void TFrmFR0010MN::OpenSourceImage(const QString& path) {
    ResetDocument();
    ClearFileNames();
    try {
        ReleaseImages();
        TakeSourceBitmap(Platform::readImageFile(path));
    } catch (const Platform::ToolkitError& e) {
        Common::ErrMsg(this, e.message());
    }
    ComposeCanvas();
}

// Unlike opening a file, pasting resets the document before it knows what the clipboard holds.
void TFrmFR0010MN::MnuClipClick() {
    if (!ConfirmDiscard())
        return;
    ResetDocument();
    ClearFileNames();
    try {
        ReleaseImages();
        TakeSourceBitmap(Document::ClipboardBitmap(QGuiApplication::clipboard()->mimeData()));
    } catch (const Platform::ToolkitError& e) {
        Common::ErrMsg(this, e.message());
    }
    ComposeCanvas();
    DGMain->viewport()->update();
}
