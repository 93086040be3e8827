#pragma once

#include "Compositor.h"
#include "DragMachine.h"
#include "MarkerMap.h"
#include "ui_Fr0010mn.h"

#include <QCursor>
#include <QMainWindow>
#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class FontDialog;
class HintTiming;
class QCloseEvent;
class QFileDialog;
class QPainter;
class StatusPanel;

// The main window. It owns the whole document and hosts every command. The class is declared
// here once; its members are defined in the folder of their concern:
//   app/Fr0010mn.cpp                 start-up, shut-down, command states, status bar, painting
//   document/Fr0010mnImage.cpp       new, open and paste of a source image
//   document/Fr0010mnExport.cpp      bitmap export
//   document/Fr0010mnWorkFile.cpp    work file save and open
//   editing/Fr0010mnPalette.cpp      palette presses, drags and double-clicks
//   editing/Fr0010mnCanvasMouse.cpp  image mouse: selection, moves, drops, rubber band
//   editing/Fr0010mnKeyboard.cpp     key preview: nudge, delete, escape
//   editing/Fr0010mnAppearance.cpp   font dialog and background style
// The components of the layout (Ui::TFrmFR0010MN) are members under their own names.
class TFrmFR0010MN : public QMainWindow, public Ui::TFrmFR0010MN {
    Q_OBJECT
public:
    static constexpr int PanelCount = 5;

    explicit TFrmFR0010MN(QWidget* parent = nullptr);
    ~TFrmFR0010MN() override;

    // ---- Document ----
    bool DocumentOpen = false;
    bool Modified = false;
    Markers::MarkerMap MarkerMap;
    // ILBits, SourceBitmap, CanvasBitmap, CellBitmap, MarkerFont and BackgroundStyle.
    Markers::Compositor Compositor;
    QString WorkSaveFileName;
    QString WorkOpenFileName;
    QString ExportFileName;

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

    // ---- Shell ----
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
    // Rebuilds the screen image after a change outside painting and shows it.
    void ComposeCanvas();
    void MnuExitClick();
    void MnuAboutClick();

    // ---- Source image (document/) ----
    void MnuNewClick();
    void MnuOpenClick();
    void MnuClipClick();
    void ResetDocument();
    void ClearFileNames();
    void FitViewToImage();
    void ShowImageSize();
    // SourceBitmap and CanvasBitmap give their memory back; PBMain becomes 0 x 0.
    void ReleaseImages();
    // Takes a loaded image as the new source: sizes the view, shows the size, opens the document.
    void TakeSourceBitmap(Platform::Bitmap bitmap);
    // The open command's steps after its dialog: any image file the toolkit reads.
    void OpenSourceImage(const QString& path);
    // A file named on the command line: a work file (.ptn) opens as the work-file command opens
    // it, any other file as a source image. Defined in app/Fr0010mn_CommandLine.cpp.
    void OpenFromCommandLine(const QString& path);

    // ---- Bitmap export (document/) ----
    void MnuSaveClick();
    void MnuSaveAsClick();
    void ExportBitmapAs();
    bool ExportBitmap(const QString& path);

    // ---- Palette and image mouse (editing/) ----
    // The drag from the palette or from a marker to the image; PBMain is its only target.
    Platform::DragMachine DragMachine;
    // Whether CanvasBitmap holds the screen image as ComposeCanvas last asked for it. Paints
    // that only show it again (scrolling, exposing, the rubber band's moves) copy it without
    // composing it anew.
    bool CanvasComposed = false;
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
    // An editing change: Modified set and "変更" in status panel 0.
    void MarkModified();
    // The rubber band's outline, inverted over what PBMainPaint has drawn in clip.
    void PaintRubberBand(QPainter* canvas, const QRect& clip);
    // Moves the band's end to (ex, ey) and asks PBMain to repaint the old and the new outline.
    void UpdateRubberBand(int32_t ex, int32_t ey);

    // ---- Work file (document/) ----
    // Defined in document/Fr0010mnWorkFile.cpp; ConnectWorkFile is called by ConnectCommands.
    QFileDialog* WorkSaveDialog = nullptr;
    QFileDialog* WorkOpenDialog = nullptr;
    void MnuWorkOpenClick();
    void MnuWorkSaveClick();
    void MnuWorkSaveAsClick();
    void SaveWorkAs();
    // The work-file open command's steps after its dialog.
    void OpenWorkFile(const QString& path);
    bool SaveWork(const QString& path);
    // Each reports its own failure with ErrMsg and gives false; the command adds its own.
    bool WriteWorkFile(const Platform::Bitmap& bitmap, const std::vector<std::string>& lines,
                       const QString& path);
    bool ReadWorkFile(Platform::Bitmap& bitmap, std::vector<std::string>& lines,
                      const QString& path);
    // Makes the work dialogs and wires the work commands (menu items and tool buttons).
    void ConnectWorkFile();

    // ---- Keyboard and appearance (editing/) ----
    // The marker-number font dialog: face, style, size (8 to 16 points), effects and colour.
    FontDialog* FDDraw = nullptr;
    // Every key press of the window or its controls, before the focused control gets it.
    void FormKeyDown(int Key, Qt::KeyboardModifiers Shift);
    void MnuFontClick();
    // The style commands, told apart by the tag (0 .. 5) of the menu item or button clicked.
    void MnuNoneClick(QObject* Sender);
    void SpbNoneClick(QObject* Sender);
    // Takes a font as MarkerFont: the glyphs in its colour, the canvases, LblDummy and the
    // palette. Marks no change. False (after the error message) when the glyphs cannot be made;
    // nothing has changed then.
    bool ApplyMarkerFont(const Markers::MarkerFont& font);
    // Sets BackgroundStyle and puts its button down and its menu item marked, marking no change;
    // false for a value outside 0 .. 5, which changes nothing.
    bool SelectBackgroundStyle(int32_t style);

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
};

// The main window of the running program (none before it is made and after it is gone).
extern TFrmFR0010MN* FrmFR0010MN;
