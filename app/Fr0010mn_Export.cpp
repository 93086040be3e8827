// The main window's bitmap export: the source image with every marker drawn on it, without the
// on-screen decorations, written as a 24-bit BMP file.
#include "BusyIndicator.h"
#include "Fr0010mn.h"

#include <QFileDialog>

void TFrmFR0010MN::MnuSaveClick() {
    if (!Doc.DocumentOpen())
        return;
    if (!Doc.ExportFileName().isEmpty())
        ExportBitmap(Doc.ExportFileName());
    else
        ExportBitmapAs();
}

void TFrmFR0010MN::MnuSaveAsClick() {
    if (!Doc.DocumentOpen())
        return;
    ExportBitmapAs();
}

void TFrmFR0010MN::ExportBitmapAs() {
    const QString& remembered = Doc.ExportFileName();
    SDFile->selectFile(remembered.isEmpty() ? QStringLiteral("新規.bmp") : remembered);
    if (SDFile->exec() != QDialog::Accepted || SDFile->selectedFiles().isEmpty())
        return;
    ExportBitmap(SDFile->selectedFiles().constFirst());
}

// The screen keeps its decorations: it is not repainted, and the next paint composes them anew.
bool TFrmFR0010MN::ExportBitmap(const QString& path) {
    const Document::Result result = [&] {
        const BusyIndicator busy(this, QStringLiteral("出力しています..."));
        return Doc.ExportBitmap(path);
    }();
    return ReportFailure(result);
}
