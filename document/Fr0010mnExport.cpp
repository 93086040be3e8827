// The main window's bitmap export: the source image with every marker drawn on it, without the
// on-screen decorations, written as a 24-bit BMP file.
#include "Bmp.h"
#include "Common.h"
#include "Fr0010mn.h"
#include "ToolkitError.h"

#include <QFileDialog>
#include <QFileInfo>

void TFrmFR0010MN::MnuSaveClick() {
    if (!Compositor.CanvasBitmap() || !DocumentOpen)
        return;
    if (!ExportFileName.isEmpty())
        ExportBitmap(ExportFileName);
    else
        ExportBitmapAs();
}

void TFrmFR0010MN::MnuSaveAsClick() {
    if (!Compositor.CanvasBitmap() || !DocumentOpen)
        return;
    ExportBitmapAs();
}

void TFrmFR0010MN::ExportBitmapAs() {
    SDFile->selectFile(ExportFileName.isEmpty() ? QStringLiteral("新規.bmp") : ExportFileName);
    if (SDFile->exec() != QDialog::Accepted || SDFile->selectedFiles().isEmpty())
        return;
    ExportBitmap(SDFile->selectedFiles().constFirst());
}

// The file is written whole beside the target and then put in its place in one rename, so a
// failed export leaves an existing file as it was. The screen is not repainted: it keeps its
// decorations until the next composition.
bool TFrmFR0010MN::ExportBitmap(const QString& path) {
    try {
        // A file marked read-only is not replaced, whoever runs the program: the rename that
        // puts the new file in place would otherwise pass over the mark.
        const QFileInfo target(path);
        if (target.exists() && target.isFile() && !(target.permissions() & QFile::WriteOwner))
            throw Platform::ToolkitError(Platform::Msg::cannotCreateFile(path));
        Compositor.ComposeForExport(MarkerMap);
        // The canvas now holds the undecorated image: the next paint composes the screen's
        // again instead of showing it (the screen itself is not repainted here).
        CanvasComposed = false;
        Platform::Bitmap* canvas = Compositor.CanvasBitmap();
        if (!canvas)
            return false;
        Platform::Bmp::writeFile(*canvas, path);
        ExportFileName = path;
        return true;
    } catch (const Platform::ToolkitError& e) {
        Common::ErrMsg(this, e.message());
        return false;
    }
}
