// The main window's work-file commands: saving the document (image, font, style, markers) to a
// work file and loading one back as a new document.
#include "BusyIndicator.h"
#include "Fr0010mn.h"

#include <QFileDialog>

namespace {

const QString kWorkFilter = QStringLiteral("Pictanoteﾌｧｲﾙ(*.ptn)");

}  // namespace

// The work dialogs live as long as the window, so the open dialog shows the name it held last.
void TFrmFR0010MN::ConnectWorkFile() {
    WorkSaveDialog = new QFileDialog(this);
    WorkSaveDialog->setObjectName(QStringLiteral("WorkSaveDialog"));
    WorkSaveDialog->setWindowTitle(QStringLiteral("名前を付けて保存"));
    WorkSaveDialog->setAcceptMode(QFileDialog::AcceptSave);
    WorkSaveDialog->setFileMode(QFileDialog::AnyFile);
    WorkSaveDialog->setDefaultSuffix(QStringLiteral("ptn"));
    WorkSaveDialog->setNameFilter(kWorkFilter);

    WorkOpenDialog = new QFileDialog(this);
    WorkOpenDialog->setObjectName(QStringLiteral("WorkOpenDialog"));
    WorkOpenDialog->setWindowTitle(QStringLiteral("開く"));
    WorkOpenDialog->setAcceptMode(QFileDialog::AcceptOpen);
    WorkOpenDialog->setFileMode(QFileDialog::ExistingFile);
    WorkOpenDialog->setNameFilter(kWorkFilter);

    connect(MnuWorkOpen, &QAction::triggered, this, &TFrmFR0010MN::MnuWorkOpenClick);
    connect(SpbWorkOpen, &QToolButton::clicked, this, &TFrmFR0010MN::MnuWorkOpenClick);
    connect(MnuWorkSave, &QAction::triggered, this, &TFrmFR0010MN::MnuWorkSaveClick);
    connect(SpbWorkSave, &QToolButton::clicked, this, &TFrmFR0010MN::MnuWorkSaveClick);
    connect(MnuWorkSaveAs, &QAction::triggered, this, &TFrmFR0010MN::MnuWorkSaveAsClick);
    connect(SpbWorkSaveAs, &QToolButton::clicked, this, &TFrmFR0010MN::MnuWorkSaveAsClick);
}

void TFrmFR0010MN::MnuWorkSaveClick() {
    if (!Doc.DocumentOpen())
        return;
    if (Doc.WorkSaveFileName().isEmpty())
        SaveWorkAs();
    else
        SaveWork(Doc.WorkSaveFileName());
}

void TFrmFR0010MN::MnuWorkSaveAsClick() {
    if (!Doc.DocumentOpen())
        return;
    SaveWorkAs();
}

void TFrmFR0010MN::SaveWorkAs() {
    const QString& remembered = Doc.WorkSaveFileName();
    WorkSaveDialog->selectFile(remembered.isEmpty() ? QStringLiteral("新規.ptn") : remembered);
    if (WorkSaveDialog->exec() != QDialog::Accepted || WorkSaveDialog->selectedFiles().isEmpty())
        return;
    SaveWork(WorkSaveDialog->selectedFiles().constFirst());
}

bool TFrmFR0010MN::SaveWork(const QString& path) {
    const Document::Result result = [&] {
        const BusyIndicator busy(this, QStringLiteral("保存しています..."));
        return Doc.SaveWorkFile(path);
    }();
    if (!ReportFailure(result))
        return false;
    NoteRecentFile(path);
    return true;
}

void TFrmFR0010MN::MnuWorkOpenClick() {
    // Only Yes lets unsaved work go.
    if (!ConfirmDiscard())
        return;
    if (!Doc.WorkOpenFileName().isEmpty())
        WorkOpenDialog->selectFile(Doc.WorkOpenFileName());
    if (WorkOpenDialog->exec() != QDialog::Accepted || WorkOpenDialog->selectedFiles().isEmpty())
        return;
    OpenWorkFileAt(WorkOpenDialog->selectedFiles().constFirst());
}
