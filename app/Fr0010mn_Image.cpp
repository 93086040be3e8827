// The main window's source-image commands: a new empty start, opening a bitmap file and taking
// the clipboard's image.
#include "Fr0010mn.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>

void TFrmFR0010MN::ShowImageSize() {
    if (!Doc.DocumentOpen())
        return;
    SetStatusText(PanelImageSize,
                  QStringLiteral("W %1 × H %2").arg(Doc.ImageWidth()).arg(Doc.ImageHeight()));
}

void TFrmFR0010MN::MnuNewClick() {
    if (!ConfirmDiscard())
        return;
    Doc.New();
    TakeRememberedAppearance();
}

void TFrmFR0010MN::MnuOpenClick() {
    if (!ConfirmDiscard())
        return;
    if (ODFile->exec() != QDialog::Accepted || ODFile->selectedFiles().isEmpty())
        return;
    OpenSourceFile(ODFile->selectedFiles().constFirst());
}

// Unlike opening a file, pasting lets the document go before it knows what the clipboard holds.
void TFrmFR0010MN::MnuClipClick() {
    if (!ConfirmDiscard())
        return;
    const bool pasted = ReportFailure(Doc.Paste(QGuiApplication::clipboard()->mimeData()));
    if (pasted)
        TakeRememberedAppearance();
}
