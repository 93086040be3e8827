// The main window's work-file commands: saving the document (image, font, style, markers) to a
// work file and loading one back as a new document. The bytes are WorkFile's; these members
// collect and apply the document's parts and report failures.
#include "Common.h"
#include "Fr0010mn.h"
#include "ToolkitError.h"
#include "WorkFile.h"

#include <QFileDialog>

#include <new>

namespace {

const QString kSaveFailed = QStringLiteral("ファイルの保存に失敗しました。");
const QString kLoadFailed = QStringLiteral("ファイルの読み込みに失敗しました。");
const QString kWorkFilter = QStringLiteral("Pictanoteﾌｧｲﾙ(*.ptn)");

}  // namespace

// The work dialogs live as long as the window, so the open dialog shows the name it held last.
void TFrmFR0010MN::ConnectWorkFile() {
    WorkSaveDialog = new QFileDialog(this);
    WorkSaveDialog->setObjectName(QStringLiteral("WorkSaveDialog"));
    WorkSaveDialog->setAcceptMode(QFileDialog::AcceptSave);
    WorkSaveDialog->setFileMode(QFileDialog::AnyFile);
    WorkSaveDialog->setDefaultSuffix(QStringLiteral("ptn"));
    WorkSaveDialog->setNameFilter(kWorkFilter);

    WorkOpenDialog = new QFileDialog(this);
    WorkOpenDialog->setObjectName(QStringLiteral("WorkOpenDialog"));
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
    if (!Compositor.CanvasBitmap() || !DocumentOpen)
        return;
    if (WorkSaveFileName.isEmpty())
        SaveWorkAs();
    else
        SaveWork(WorkSaveFileName);
}

void TFrmFR0010MN::MnuWorkSaveAsClick() {
    if (!Compositor.CanvasBitmap() || !DocumentOpen)
        return;
    SaveWorkAs();
}

void TFrmFR0010MN::SaveWorkAs() {
    WorkSaveDialog->selectFile(WorkSaveFileName.isEmpty() ? QStringLiteral("新規.ptn")
                                                          : WorkSaveFileName);
    if (WorkSaveDialog->exec() != QDialog::Accepted || WorkSaveDialog->selectedFiles().isEmpty())
        return;
    SaveWork(WorkSaveDialog->selectedFiles().constFirst());
}

bool TFrmFR0010MN::SaveWork(const QString& path) {
    Document::WorkLines lines;
    try {
        lines = Document::MakeWorkLines(Compositor.Font(), Compositor.BackgroundStyle(), MarkerMap);
    } catch (const Platform::ToolkitError& e) {
        Common::ErrMsg(this, e.message());
        return false;
    }
    const Platform::Bitmap* source = Compositor.SourceBitmap();
    if (!source || !WriteWorkFile(*source, lines, path)) {
        Common::ErrMsg(this, kSaveFailed);
        return false;
    }
    WorkSaveFileName = path;
    Modified = false;
    SetStatusText(0, QString());
    return true;
}

namespace {

// Runs one step of a work-file command; its failure is shown with ErrMsg and gives false.
template <class Step>
bool ShownOnFailure(QWidget* owner, Step&& step) {
    try {
        step();
        return true;
    } catch (const Platform::ToolkitError& e) {
        Common::ErrMsg(owner, e.message());
    } catch (const std::bad_alloc&) {
        Common::ErrMsg(owner, Platform::Msg::outOfMemory());
    }
    return false;
}

}  // namespace

bool TFrmFR0010MN::WriteWorkFile(const Platform::Bitmap& bitmap, const Document::WorkLines& lines,
                                 const QString& path) {
    return ShownOnFailure(this, [&] { Document::WriteWorkFile(bitmap, lines, path); });
}

bool TFrmFR0010MN::ReadWorkFile(Platform::Bitmap& bitmap, Document::WorkLines& lines,
                                const QString& path) {
    return ShownOnFailure(this, [&] {
        Document::WorkFileImage image = Document::ReadWorkFile(path);
        bitmap = std::move(image.Bitmap);
        lines = std::move(image.Lines);
    });
}

void TFrmFR0010MN::MnuWorkOpenClick() {
    // Only Yes lets unsaved work go.
    if (!ConfirmDiscard())
        return;
    if (!WorkOpenFileName.isEmpty())
        WorkOpenDialog->selectFile(WorkOpenFileName);
    if (WorkOpenDialog->exec() != QDialog::Accepted || WorkOpenDialog->selectedFiles().isEmpty())
        return;
    OpenWorkFile(WorkOpenDialog->selectedFiles().constFirst());
}

void TFrmFR0010MN::OpenWorkFile(const QString& path) {
    ResetDocument();
    SetDocumentState(false);
    ReleaseImages();

    Platform::Bitmap bitmap;
    Document::WorkLines lines;
    if (!ReadWorkFile(bitmap, lines, path)) {
        Common::ErrMsg(this, kLoadFailed);
    } else {
        try {
            Compositor.SetSourceBitmap(std::move(bitmap));
            FitViewToImage();
            ShowImageSize();
            // The loaded font and style take effect as if chosen by the user, marking no change.
            ApplyMarkerFont(Document::ReadFontLine(Document::LineAt(lines, 0)));
            if (!SelectBackgroundStyle(Document::ReadStyleLine(Document::LineAt(lines, 1))))
                SelectBackgroundStyle(Markers::StyleButton);
            for (std::size_t i = 2; i < lines.size(); ++i) {
                const Document::MarkerLine m = Document::ReadMarkerLine(lines[i]);
                MarkerMap.InsertMarker(m.Key, m.Rect);  // a key listed twice keeps its first
            }
            ExportFileName.clear();
            WorkSaveFileName = path;
            WorkOpenFileName = path;
            DocumentOpen = true;
            SetDocumentState(true);
        } catch (const Platform::ToolkitError& e) {
            // A broken file leaves no half document: no markers and no image. A font or style
            // taken from it before the failure stays, as the window's own settings.
            MarkerMap.ClearMarkers();
            ReleaseImages();
            ClearStatusTexts();
            Common::ErrMsg(this, e.message());
        } catch (const std::bad_alloc&) {
            MarkerMap.ClearMarkers();
            ReleaseImages();
            ClearStatusTexts();
            Common::ErrMsg(this, Platform::Msg::outOfMemory());
        }
    }
    ComposeCanvas();
    DGMain->viewport()->update();
}
