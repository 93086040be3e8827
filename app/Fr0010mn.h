#pragma once

#include "DragMachine.h"
#include "RecentFiles.h"
#include "Session.h"
#include "Settings.h"
#include "ui_Fr0010mn.h"

#include <QCursor>
#include <QMainWindow>
#include <QString>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

class CanvasView;
class FontDialog;
class HintTiming;
class MarkerSizeDialog;
class QCloseEvent;
class QFileDialog;
class QPainter;
class StatusPanel;

// The main window: the commands, the dialogs and the view of one Document::Session. The
// handlers keep their classic names and are glue: ask, call the session, show its messages;
// the session announces what changed and DocumentChanged brings the view up to date in one
// place. The class is declared here once; its members are defined by concern:
//   app/Fr0010mn.cpp                  start-up, shut-down, command states, status bar, painting
//   app/Fr0010mn_Image.cpp            new, open and paste of a source image
//   app/Fr0010mn_Export.cpp           bitmap export
//   app/Fr0010mn_WorkFile.cpp         work file save and open
//   app/Fr0010mn_Edit.cpp             undo and redo
//   app/Fr0010mn_Palette.cpp          palette presses, drags and double-clicks
//   app/Fr0010mn_CanvasMouse.cpp      image mouse: selection, moves, drops, rubber band
//   app/Fr0010mn_Keyboard.cpp         key preview: nudge, delete, escape
//   app/Fr0010mn_Appearance.cpp       font dialog and background style
//   app/Fr0010mn_Revise.cpp           renumber, close up, replace the image, align, typed numbers
//   app/Fr0010mn_Manners.cpp          copy, dropped files, recent files, remembered settings
//   app/Fr0010mn_MarkerSize.cpp       the document's marker size
// The components of the layout (Ui::TFrmFR0010MN) are members under their own names.
class TFrmFR0010MN : public QMainWindow, public Ui::TFrmFR0010MN {
    Q_OBJECT
public:
    static constexpr int PanelCount = 5;
    // The status panels, left to right.
    enum Panel : int {
        PanelModified = 0,       // "変更" while there are unsaved changes
        PanelImageSize = 1,      // "W 640 × H 480"
        PanelBandCorners = 2,    // the rubber band's corners
        PanelBandSize = 3,       // the rubber band's size
        PanelMarkerPosition = 4  // "L : 10 T : 12" of the selected or moving marker
    };

    explicit TFrmFR0010MN(QWidget* parent = nullptr);
    ~TFrmFR0010MN() override;

    // ---- Document ----
    // The open document: image, markers, font, style, history, file names.
    Document::Session Doc;

    // ---- Editing state ----
    bool DragFromCanvas = false;
    struct RubberBandState {
        bool Active = false;
        int32_t AnchorX = 0;
        int32_t AnchorY = 0;
        int32_t EndX = 0;
        int32_t EndY = 0;
    } RubberBand;
    // The drag cursor made from "DRUGCURSOR", shown by every drag over the image.
    QCursor DragCursor;

    // ---- Dialogs kept for the window's life, so each shows the name it held last ----
    QFileDialog* ODFile = nullptr;  // source bitmap to open
    QFileDialog* SDFile = nullptr;  // bitmap to export
    std::array<StatusPanel*, PanelCount> StbPanels{};

    // ---- Shell (app/Fr0010mn.cpp) ----
    void FormCreate();
    void FormCloseQuery(bool& CanClose);
    void FormDestroy();
    // false when start-up could not make what the window needs; the program then ends.
    bool Created() const noexcept { return m_created; }
    void SetDocumentState(bool open);
    void SetStatusText(int panel, const QString& text);
    void ClearStatusTexts();
    QString StatusText(int panel) const;
    // The unsaved-work question; true when the work may be discarded.
    bool ConfirmDiscard();
    // The palette's flicker filter: the grid paints every pixel of its area itself, so its
    // background is never erased before a paint.
    void DGMainWndProc();
    void DGMainDrawCell(QPainter* canvas, int column, int row, const QRect& rect);
    void PBMainPaint(QPainter* canvas, const QRect& clip);
    // The one place the view follows the document: sizes, panels, command states, repaints.
    void DocumentChanged(Document::Changes what);
    // Shows each message of a failed operation; true when there were none.
    bool ReportFailure(const Document::Result& result);
    void MnuExitClick();
    void MnuAboutClick();

    // ---- Source image (app/Fr0010mn_Image.cpp) ----
    void MnuNewClick();
    void MnuOpenClick();
    void MnuClipClick();
    void ShowImageSize();
    // A file named on the command line: a work file (.ptn) opens as the work-file command opens
    // it, any other file as a source image. Defined in app/Fr0010mn_CommandLine.cpp.
    void OpenFromCommandLine(const QString& path);

    // ---- Bitmap export (app/Fr0010mn_Export.cpp) ----
    void MnuSaveClick();
    void MnuSaveAsClick();
    void ExportBitmapAs();
    bool ExportBitmap(const QString& path);

    // ---- Work file (app/Fr0010mn_WorkFile.cpp) ----
    QFileDialog* WorkSaveDialog = nullptr;
    QFileDialog* WorkOpenDialog = nullptr;
    void MnuWorkOpenClick();
    void MnuWorkSaveClick();
    void MnuWorkSaveAsClick();
    void SaveWorkAs();
    bool SaveWork(const QString& path);
    // Makes the work dialogs and wires the work commands (menu items and tool buttons).
    void ConnectWorkFile();

    // ---- Undo and redo (app/Fr0010mn_Edit.cpp) ----
    void MnuUndoClick();
    void MnuRedoClick();
    // The items' texts name the step they take back or do again; each is enabled when it can.
    void UpdateEditMenu();
    void ConnectEdit();

    // ---- Palette and image mouse (app/Fr0010mn_Palette.cpp, app/Fr0010mn_CanvasMouse.cpp) ----
    // The drag from the palette or from a marker to the image; PBMain is its only target.
    Platform::DragMachine DragMachine;
    void ConnectMouse();
    void DGMainMouseDown(Qt::MouseButton button, int x, int y);
    void DGMainStartDrag();
    void DGMainDblClick();
    void DGMainKeyDown(int& key);
    void PBMainMouseDown(Qt::MouseButton button, int x, int y);
    void PBMainMouseMove(int x, int y);
    void PBMainMouseUp();
    void PBMainStartDrag();
    void PBMainDragOver(int x, int y, bool& accept);
    void PBMainDragDrop(int x, int y);
    void PBMainDblClick();
    // Status panel 4: "L : " + left + " T : " + top.
    void ShowMarkerPosition(int32_t left, int32_t top);
    // The rubber band's outline, inverted over what PBMainPaint has drawn in clip.
    void PaintRubberBand(QPainter* canvas, const QRect& clip);
    // Moves the band's end to (ex, ey) and asks PBMain to repaint the old and the new outline.
    void UpdateRubberBand(int32_t ex, int32_t ey);

    // ---- Keyboard and appearance (app/Fr0010mn_Keyboard.cpp, app/Fr0010mn_Appearance.cpp) ----
    // The marker-number font dialog: face, style, size (8 to 16 points at 32-pixel markers, in
    // proportion at other sizes), effects and colour.
    FontDialog* FDDraw = nullptr;
    // Every key press of the window or its controls, before the focused control gets it.
    void FormKeyDown(int Key, Qt::KeyboardModifiers Shift);
    void MnuFontClick();
    // The style commands, told apart by the tag (0 .. 5) of the menu item or button clicked.
    void MnuNoneClick(QObject* Sender);
    void SpbNoneClick(QObject* Sender);
    // The style's button down and its menu item marked.
    void ShowBackgroundStyle(int32_t style);

    // ---- Revising a picture (app/Fr0010mn_Revise.cpp) ----
    // The digits typed towards a number to place (at most two), shown in status panel 4.
    QString TypedNumber;
    void MnuReplaceClick();
    // The image of `path` under the markers, as 元画像の差し替え does it after its dialog.
    void ReplaceSourceImageFrom(const QString& path);
    void MnuRenumberClick();
    void MnuCloseGapsClick();
    // The align commands, told apart by the tag (Markers::Alignment) of the item clicked.
    void MnuAlignClick(QObject* Sender);
    // Digits, Backspace, Enter and Escape of the typed number; true when the key was one of them.
    bool TypeNumberKey(int Key, Qt::KeyboardModifiers Shift);
    // Each command enabled only where it can act.
    void UpdateReviseMenu();
    void ConnectRevise();

    // ---- Copy, drops, recent files, remembered settings (app/Fr0010mn_Manners.cpp) ----
    QAction* MnuCopy = nullptr;  // 編集 -> 画像をコピー(&C), Ctrl+C
    QMenu* MnuRecent = nullptr;  // ファイル -> 最近使ったファイル(&F)
    QAction* MnuRecentClear = nullptr;
    // What the program remembers between runs, as read at start and kept up to date.
    Document::Settings Remembered;
    Document::RecentFiles Recent;
    QString SettingsFile;
    void ConnectManners();
    // The picture as the export makes it, onto the clipboard.
    void MnuCopyClick();
    // A file opened as 元画像を開く or 開く opens it after its dialog (no question asked here),
    // with the busy indicator, its messages, and the file noted as recent on success.
    bool OpenSourceFile(const QString& path);
    bool OpenWorkFileAt(const QString& path);
    // A file dropped on the window: a work file opens as 開く does, an image opens as
    // 元画像を開く without a document and replaces the source image with one.
    void OpenDroppedFile(const QString& path);
    void OpenRecentFile(const QString& path);
    void NoteRecentFile(const QString& path);
    void UpdateRecentMenu();
    // The remembered font and style, taken by a new document that brings none of its own.
    void TakeRememberedAppearance();
    // Writes the settings file; a failure is not worth a message (the next start has defaults).
    void SaveSettings();
    // ---- Marker size (app/Fr0010mn_MarkerSize.cpp) ----
    // オプション > マーカーの大きさ(&Z)..., after the font item; enabled with a document.
    QAction* MnuMarkerSize = nullptr;
    MarkerSizeDialog* DlgMarkerSize = nullptr;
    void MnuMarkerSizeClick();
    void ConnectMarkerSize();
    // ---- Zoom and scrolling of the image (app/Fr0010mn_View.cpp) ----
    // The menu 表示 and its four items, the zoom panel after the five, and the canvas view that
    // maps the paint surface to image pixels; PBMain's handlers keep working in image pixels.
    QMenu* MnuView = nullptr;
    QAction* MnuZoomIn = nullptr;
    QAction* MnuZoomOut = nullptr;
    QAction* MnuActualSize = nullptr;
    QAction* MnuFitWindow = nullptr;
    StatusPanel* StbZoomPanel = nullptr;
    CanvasView* View = nullptr;
    // Where on PBMain (its own pixels) the last press was: a drag's threshold counts from there.
    QPoint PressPoint;
    void ConnectView();
    void MnuZoomInClick();
    void MnuZoomOutClick();
    void MnuActualSizeClick();
    void MnuFitWindowClick();
    void ShowZoom();
    // The parts of DocumentChanged that concern the view.
    void ViewImageSizeChanged(Document::Changes what);
    void ViewCanvasChanged();
    void ViewFollowSelection();
    // A new image: a window grown toward it where the screen allows, and the image fitted when
    // it is larger than the screen.
    void ViewOpenImage();
    // At zooms other than 100 % the selection rectangle, the guide lines and the selection
    // handles are drawn over the scaled picture at their on-screen size.
    void PaintViewDecorations(QPainter* canvas, const QRect& clip);
    // The view's keys (page keys, Home, End); true when taken.
    bool ViewScrollKey(int Key, Qt::KeyboardModifiers Shift);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpComponents();
    void ConnectCommands();
    // The wiring of the editing commands, called once at the end of ConnectCommands.
    void ConnectAppearance();

    HintTiming* m_hints = nullptr;
    QWidget* m_panelStrip = nullptr;
    bool m_created = false;
    // The history's index as last seen, to tell which step an index change did or undid.
    int m_seenHistoryIndex = 0;
    // The dialogs' folders at start: only the ones the user moved are remembered.
    std::vector<std::pair<QFileDialog*, QString>> m_startFolders;
};

// The main window of the running program (none before it is made and after it is gone).
// Exported by name from the program (dllexport on Windows, default visibility elsewhere).
extern Q_DECL_EXPORT TFrmFR0010MN* FrmFR0010MN;
