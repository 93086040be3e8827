// The main window's everyday manners: the picture copied to the clipboard, files dropped on the
// window, the recent files, and what is remembered between runs (the window's place and size,
// the marker font and style, each dialog's folder, the recent files).
#include "BusyIndicator.h"
#include "DocumentMessages.h"
#include "Fr0010mn.h"
#include "ImageFile.h"
#include "ToolkitError.h"
#include "UserFolders.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QUndoCommand>

#include <memory>

namespace {

bool isWorkFile(const QString& path) {
    return QFileInfo(path).suffix().compare(QStringLiteral("ptn"), Qt::CaseInsensitive) == 0;
}

// The first local file among the dropped data; empty when there is none.
QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            return url.toLocalFile();
    }
    return {};
}

// Drops and the window's closing, seen before the window's own handlers.
class WindowEvents : public QObject {
public:
    explicit WindowEvents(TFrmFR0010MN* window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_window)
            return false;
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDropEvent*>(event);
                // Anything that is not a file is refused, and the cursor says so.
                if (droppedFile(drag->mimeData()).isEmpty()) {
                    drag->ignore();
                } else {
                    drag->setDropAction(Qt::CopyAction);
                    drag->accept();
                }
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const QString file = droppedFile(drop->mimeData());
                if (file.isEmpty()) {
                    drop->ignore();
                    return true;
                }
                drop->setDropAction(Qt::CopyAction);
                drop->accept();
                // The dropping program waits until the drop returns: the questions and the
                // reading come after, from the event loop.
                QMetaObject::invokeMethod(
                    m_window, [w = m_window, file] { w->OpenDroppedFile(file); },
                    Qt::QueuedConnection);
                return true;
            }
            case QEvent::Close:
                m_window->SaveSettings();
                return false;
            default:
                return false;
        }
    }

private:
    TFrmFR0010MN* m_window;
};

// A remembered frame is used only while a screen still shows enough of it to be grabbed.
bool onSomeScreen(const QRect& frame) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shown = screen->availableGeometry().intersected(frame);
        if (shown.width() >= 100 && shown.height() >= 50)
            return true;
    }
    return false;
}

}  // namespace

void TFrmFR0010MN::ConnectManners() {
    SettingsFile = Platform::UserFolders::SettingsFile();
    Remembered = Document::Settings::Read(SettingsFile);
    // New documents place markers of the remembered size; a work file keeps its own.
    if (Remembered.MarkerSize)
        Doc.SetDefaultMarkerSize(*Remembered.MarkerSize);
    Recent = Document::RecentFiles(Remembered.RecentFiles);

    // The open and replace dialog shows every readable image unless told otherwise.
    ODFile->selectNameFilter(Platform::readableImageFilter());

    MnuCopy = new QAction(QStringLiteral("画像をコピー(&C)"), this);
    MnuCopy->setObjectName(QStringLiteral("MnuCopy"));
    MnuCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    MnuCopy->setEnabled(false);
    MnuEdit->insertAction(N5, MnuCopy);
    connect(MnuCopy, &QAction::triggered, this, &TFrmFR0010MN::MnuCopyClick);

    MnuRecent = new QMenu(QStringLiteral("最近使ったファイル(&F)"), this);
    MnuRecent->setObjectName(QStringLiteral("MnuRecent"));
    MnuFile->insertMenu(N2, MnuRecent);
    MnuFile->insertSeparator(MnuRecent->menuAction());
    MnuRecentClear = new QAction(QStringLiteral("一覧を消去"), this);
    MnuRecentClear->setObjectName(QStringLiteral("MnuRecentClear"));
    connect(MnuRecentClear, &QAction::triggered, this, [this] {
        Recent.Clear();
        UpdateRecentMenu();
        SaveSettings();
    });
    UpdateRecentMenu();

    connect(&Doc, &Document::Session::changed, this, [this](Document::Changes what) {
        if (what & Document::Change::OpenState)
            MnuCopy->setEnabled(Doc.DocumentOpen());
    });

    // The user's own change of font or style (done, undone or redone) is what is remembered;
    // a work file's appearance is not, since it comes without a step.
    m_seenHistoryIndex = Doc.History().index();
    connect(&Doc.History(), &QUndoStack::indexChanged, this, [this](int index) {
        const int acted = index > m_seenHistoryIndex ? index - 1 : index;
        m_seenHistoryIndex = index;
        const QUndoCommand* step = Doc.History().command(acted);
        if (!step || (step->text() != Document::StepName(Document::StepKind::Font) &&
                      step->text() != Document::StepName(Document::StepKind::Style) &&
                      step->text() != Document::StepName(Document::StepKind::MarkerSize)))
            return;
        // A size step scales the number font with it, so both are remembered together.
        Remembered.Font = Doc.Font();
        Remembered.Style = Doc.BackgroundStyle();
        Remembered.MarkerSize = Doc.MarkerSize();
        Doc.SetDefaultMarkerSize(Doc.MarkerSize());
        SaveSettings();
    });

    setAcceptDrops(true);
    installEventFilter(new WindowEvents(this));

    for (QFileDialog* dialog : {ODFile, SDFile, WorkSaveDialog, WorkOpenDialog}) {
        const auto folder = Remembered.Folders.find(dialog->objectName());
        if (folder != Remembered.Folders.end() && QFileInfo(folder->second).isDir())
            dialog->setDirectory(folder->second);
        m_startFolders.emplace_back(dialog, dialog->directory().absolutePath());
    }

    // The window's place, before it is first shown.
    if (Remembered.WindowGeometry) {
        const QRect& frame = *Remembered.WindowGeometry;
        if (onSomeScreen(frame))
            setGeometry(frame);
        else
            resize(frame.size());
    }
    if (Remembered.WindowMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TFrmFR0010MN::TakeRememberedAppearance() {
    if (!Remembered.Font && !Remembered.Style)
        return;
    try {
        if (Remembered.Font)
            Doc.ApplyFont(*Remembered.Font);
    } catch (const Platform::ToolkitError&) {
        // Glyphs that cannot be made in the remembered colour: the font in effect stays.
    }
    if (Remembered.Style)
        Doc.ApplyStyle(*Remembered.Style);
    Doc.Repaint();
}

void TFrmFR0010MN::SaveSettings() {
    if (!isMinimized()) {
        Remembered.WindowGeometry = normalGeometry();
        Remembered.WindowMaximized = isMaximized();
    }
    for (const auto& [dialog, atStart] : m_startFolders) {
        const QString now = dialog->directory().absolutePath();
        if (now != atStart || Remembered.Folders.count(dialog->objectName()))
            Remembered.Folders[dialog->objectName()] = now;
    }
    Remembered.RecentFiles = Recent.Items();
    try {
        Remembered.Write(SettingsFile);
    } catch (const Platform::ToolkitError&) {
        // A read-only or missing folder: the program works on and forgets.
    }
}

void TFrmFR0010MN::MnuCopyClick() {
    if (!Doc.DocumentOpen())
        return;
    auto data = std::make_unique<QMimeData>();
    const Document::Result result = [&] {
        const BusyIndicator busy(this, QStringLiteral("コピーしています..."));
        return Doc.CopyPicture(*data);
    }();
    if (ReportFailure(result))
        QGuiApplication::clipboard()->setMimeData(data.release());
}

bool TFrmFR0010MN::OpenSourceFile(const QString& path) {
    const Document::Result result = [&] {
        const BusyIndicator busy(this, QStringLiteral("画像を読み込んでいます..."));
        return Doc.OpenBitmap(path);
    }();
    TakeRememberedAppearance();
    if (!ReportFailure(result))
        return false;
    NoteRecentFile(path);
    return true;
}

bool TFrmFR0010MN::OpenWorkFileAt(const QString& path) {
    const Document::Result result = [&] {
        const BusyIndicator busy(this, QStringLiteral("読み込んでいます..."));
        return Doc.OpenWorkFile(path);
    }();
    if (!ReportFailure(result))
        return false;
    NoteRecentFile(path);
    return true;
}

void TFrmFR0010MN::OpenDroppedFile(const QString& path) {
    if (isWorkFile(path)) {
        if (ConfirmDiscard())
            OpenWorkFileAt(path);
    } else if (Doc.DocumentOpen()) {
        ReplaceSourceImageFrom(path);
    } else if (ConfirmDiscard()) {
        OpenSourceFile(path);
    }
}

// A file that is gone gets the command's own message and leaves the list; the document is
// not let go for it.
void TFrmFR0010MN::OpenRecentFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        Document::Result missing;
        missing.Errors << Platform::Msg::cannotOpenFile(path);
        if (isWorkFile(path))
            missing.Errors << Document::Texts::loadFailed();
        Recent.Remove(path);
        UpdateRecentMenu();
        SaveSettings();
        ReportFailure(missing);
        return;
    }
    if (!ConfirmDiscard())
        return;
    if (isWorkFile(path))
        OpenWorkFileAt(path);
    else
        OpenSourceFile(path);
}

void TFrmFR0010MN::NoteRecentFile(const QString& path) {
    Recent.Add(path);
    UpdateRecentMenu();
    SaveSettings();
}

void TFrmFR0010MN::UpdateRecentMenu() {
    // The item being chosen may be the one that asks for this: the old items go later.
    for (QAction* old : MnuRecent->actions()) {
        MnuRecent->removeAction(old);
        if (old != MnuRecentClear)
            old->deleteLater();
    }
    const QStringList& items = Recent.Items();
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString file = items.at(i);
        auto* item = new QAction(Document::RecentFiles::MenuText(int(i), file), MnuRecent);
        MnuRecent->addAction(item);
        item->setObjectName(QStringLiteral("MnuRecent%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, file] { OpenRecentFile(file); });
    }
    if (!items.isEmpty())
        MnuRecent->addSeparator();
    MnuRecent->addAction(MnuRecentClear);
    MnuRecentClear->setEnabled(!items.isEmpty());
}
