#pragma once

#include "Arrange.h"
#include "AtomicFile.h"
#include "Bitmap.h"
#include "Compositor.h"
#include "MarkerEdit.h"
#include "MarkerFont.h"
#include "MarkerMap.h"

#include <QFlags>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QUndoStack>

#include <cstdint>
#include <vector>
#include <memory>

class QMimeData;

namespace Document {

// What an operation changed, for the view to bring itself up to date in one place.
enum class Change : unsigned {
    None = 0,
    // A document began or ended: the status texts are cleared, the palette scrolls back to its
    // start and the view's own gestures (a rubber band) end.
    Reset = 1u << 0,
    // The source image changed: the paint surface takes its size, the size panel shows it.
    ImageSize = 1u << 1,
    // DocumentOpen changed: the commands follow it.
    OpenState = 1u << 2,
    // The screen image is out of date: it is composed anew at the next paint.
    Canvas = 1u << 3,
    // The palette's free numbers, or the look of its numbers, changed.
    Palette = 1u << 4,
    // Modified may have changed: the unsaved mark follows it.
    Modified = 1u << 5,
    // The font or the background style changed: the controls that show them follow.
    Appearance = 1u << 6,
    // The selected marker moved, came or went: the position panel shows where it is now.
    MarkerPosition = 1u << 7,
};
Q_DECLARE_FLAGS(Changes, Change)
Q_DECLARE_OPERATORS_FOR_FLAGS(Changes)

// The outcome of a file operation: the messages the user is shown, in order, when it failed.
struct Result {
    QStringList Errors;
    bool Ok() const noexcept { return Errors.isEmpty(); }
};

enum class ExportFormat { Bmp, Png };
enum class ExportUse { Keep, Last };
// PNG for a name ending in ".png" (in any case), BMP for every other name.
ExportFormat ExportFormatFor(const QString& path);

// The kinds of undo step; their names are what the Edit menu shows ("元に戻す(&U): 配置").
enum class StepKind {
    Place,
    Move,
    Nudge,
    Delete,
    Font,
    Style,
    Renumber,
    CloseGaps,
    Image,
    Align,
    MarkerSize,
};
QString StepName(StepKind kind);

// The outcome of replacing the source image: the messages of a failure, and the keys of the
// markers that lie wholly outside the new image (kept, for the user to be told).
struct Replacement : Result {
    std::vector<int32_t> OutsideKeys;
};

class EditStep;

// The open document, without a window: the source image, the placed markers with the selection
// state beside them, the marker font and background style (held by the Compositor, which also
// composes the screen image), whether a document is open, whether it has unsaved changes, and
// the three remembered file names. File operations report their failures as messages; every
// edit is one step of the undo history. Whatever an operation changes is announced once,
// through changed(), after the operation is complete.
//
// The document is "modified" exactly when the history stands elsewhere than at its clean point
// (a fresh history, or the last work-file save).
class Session : public QObject {
    Q_OBJECT
public:
    explicit Session(QObject* parent = nullptr);
    ~Session() override;

    // Start-up: the glyphs of the default colour and the bitmaps, with palette cells of the given
    // size. Throws Platform::ToolkitError when they cannot be made.
    void Create(int cellWidth = Markers::GlyphSize, int cellHeight = Markers::GlyphSize);
    // Shut-down: the markers and every bitmap go.
    void Destroy() noexcept;

    // ---- State ----
    bool DocumentOpen() const noexcept { return m_documentOpen; }
    bool Modified() const { return !m_history.isClean(); }
    // The markers with the selection state. Edits go through the operations below; the
    // selection fields are the view's to set (through the selection operations, which also end
    // a run of nudges), and tests arrange documents through it.
    Markers::MarkerMap& Map() noexcept { return m_map; }
    const Markers::MarkerMap& Map() const noexcept { return m_map; }
    Markers::Compositor& Compositor() noexcept { return m_compositor; }
    const Markers::Compositor& Compositor() const noexcept { return m_compositor; }
    const Markers::MarkerFont& Font() const noexcept { return m_compositor.Font(); }
    int32_t BackgroundStyle() const noexcept { return m_compositor.BackgroundStyle(); }
    const Platform::Bitmap* SourceBitmap() const noexcept { return m_compositor.SourceBitmap(); }
    // The source image for a reader on another thread (null without an image); see Compositor.
    std::shared_ptr<const Platform::Bitmap> SharedSourceBitmap() const noexcept {
        return m_compositor.SharedSourceBitmap();
    }
    // The source image's size; 0 x 0 without one.
    int32_t ImageWidth() const noexcept;
    int32_t ImageHeight() const noexcept;

    const QString& WorkSaveFileName() const noexcept { return m_workSaveFileName; }
    const QString& WorkOpenFileName() const noexcept { return m_workOpenFileName; }
    const QString& ExportFileName() const noexcept { return m_exportFileName; }
    void SetWorkSaveFileName(const QString& name) { m_workSaveFileName = name; }
    void SetWorkOpenFileName(const QString& name) { m_workOpenFileName = name; }
    void SetExportFileName(const QString& name) { m_exportFileName = name; }

    QUndoStack& History() noexcept { return m_history; }
    // The current state becomes the clean point: Modified is false until the next edit.
    void MarkClean();
    // No state is the clean point: Modified is true until the next save (work brought back
    // from a recovery copy is unsaved work).
    void MarkModified();

    // Announces everything about the document as changed, for changes made through Map() and
    // the Apply* members.
    void Repaint();

    // The screen image, composed first when a change has made it stale; nullptr while the
    // bitmaps do not exist.
    Platform::Bitmap* ScreenImage();
    // The image pixels that ScreenImage will compose anew: the whole image when it is stale as
    // a whole, an empty rectangle when nothing is. A view keeping copies of the screen image
    // (a reduced one for zoomed-out views) refreshes this much of them.
    QRect StaleScreenRegion() const;
    // Whether the screen image carries the selection rectangle, the guide lines and the
    // selection overlay (true, the default) or leaves them to a view that draws them at its own
    // scale; a change recomposes the whole image.
    void SetScreenDecorations(bool drawn);
    bool ScreenDecorations() const noexcept { return m_decorations; }

    // ---- Documents ----
    // An empty start: no image, no markers, no file names, a fresh history.
    void New();
    // The image of a file as a new document: a BMP in its own format, any other image format
    // the toolkit reads as 24 bits (the markers and file names go first, even
    // when the file then cannot be read).
    Result OpenBitmap(const QString& path);
    // The clipboard's image as a new document; `data` is what the clipboard holds (null when it
    // cannot be read). Like opening, the old document goes before the data is looked at.
    Result Paste(const QMimeData* data);
    // A loaded image as a new document, as opening a file takes it.
    Result TakeSourceBitmap(Platform::Bitmap bitmap);
    // A work file as a new document: its image, font, style and markers. A read failure gives
    // the read's message and then "ファイルの読み込みに失敗しました。"; a broken file gives its
    // one message and leaves no document, while a font and style read before the failure stay
    // in effect. The file names stay as they were unless the load succeeds.
    Result OpenWorkFile(const QString& path);
    // Writes the document as a work file; on success the path is remembered for the next save
    // and the document is clean. A failed write gives its message, then
    // "ファイルの保存に失敗しました。".
    Result SaveWorkFile(const QString& path);
    // Writes the picture without its on-screen decorations, as a 24-bit PNG for a name ending
    // in ".png" (any case) and as a 24-bit BMP otherwise; on success the path is remembered for
    // the next export. A read-only target is not replaced.
    // With ExportUse::Last the export is the document's last use: the markers are drawn on the
    // source image itself, sparing a second picture in memory, and the document is closed
    // afterwards, whether the export succeeded or not.
    Result ExportBitmap(const QString& path, ExportUse use = ExportUse::Keep);
    // The same picture handed to `sink` in the given format, for a stream with no file name.
    Result WriteExport(Platform::FileSink& sink, ExportFormat format,
                       ExportUse use = ExportUse::Keep);
    // The same picture for the clipboard, put into `data`: the image itself (24 bits) and its
    // PNG file made here, so a program that pastes PNG does not wait for the toolkit's slower
    // writer. Not a step of the history; the screen is composed anew at its next paint.
    Result CopyPicture(QMimeData& data);

    // ---- Edits: each one step of the history ----
    // Places `key` (free) as `marker` and selects it; false when the key is already placed.
    bool Place(int32_t key, const Markers::Marker& marker);
    // Moves the selected marker to `marker`; false when no marker is selected.
    bool MoveSelected(const Markers::Marker& marker);
    // Moves the selected marker one pixel (see Markers::NudgeSelectedMarker), the image's size
    // as the bounds. Consecutive nudges of one marker are one step, until another operation
    // comes between. Returns the moved marker, or nullptr when nothing moved.
    const Markers::Marker* Nudge(Markers::NudgeDirection direction);
    // Removes the selected marker; nothing without one.
    Markers::Deletion DeleteSelected();
    // Removes every marker inside the selection rectangle; nothing without a rectangle. A
    // rectangle with nothing inside is still a step: the user asked for a change.
    Markers::Deletion DeleteInSelectionRect();
    // The marker font with its colour, which chooses the glyphs' colour set. A step (even for
    // the same font) while a document is open; without one it only takes effect. When the
    // glyphs cannot be made, nothing changes and the message is returned.
    Result SetFont(const Markers::MarkerFont& font);
    // The background style 0 .. 5: a step (even for the style in effect) while a document is
    // open. False, changing nothing, for any other value.
    bool SetStyle(int32_t style);

    // ---- Revising a picture: each one step of the history ----
    // Gives the marker of `from` the key `to` (0 .. 98): a free key moves it there, a taken one
    // swaps the two markers' keys while both stay where they are. The marker stays selected.
    // False, changing nothing, when `from` is not placed or `to` is out of range or the same.
    bool Renumber(int32_t from, int32_t to);
    // The markers keep their places and the order of their keys and take keys 0 .. n - 1.
    // False, without a step, when they have them already.
    bool CloseGaps();
    bool CanCloseGaps() const;
    // The image of a file (any readable format) becomes the source at its own size and format;
    // markers, font and style stay. A file that cannot be read changes nothing.
    Replacement ReplaceSourceImage(const QString& path);
    Replacement ReplaceSourceBitmap(Platform::Bitmap bitmap);
    // Right after a replacement: each marker of `keys` moves to the nearest place where it lies
    // whole inside the image (the top-left corner when it is larger than the image), as part of
    // the replacement's own undo step. False, changing nothing, when the last step is not a
    // replacement or no marker moves.
    bool BringInsideAfterReplace(const std::vector<int32_t>& keys);
    // The markers wholly inside the selection rectangle (as Delete counts them); none without one.
    std::vector<int32_t> KeysInSelectionRect() const;
    bool CanArrange(Markers::Alignment alignment) const;
    // Lines up or spaces out the markers inside the selection rectangle (see Markers::Arranged).
    // False, without a step, when the group is too small or nothing moves.
    bool Arrange(Markers::Alignment alignment);
    // A free key is placed as the palette's double-click places it, centred in the selection
    // rectangle or else the image; a taken key selects its marker.
    void PlaceOrSelect(int32_t key);

    // ---- Marker size ----
    // The side of the markers this document places (MinMarkerSize .. MaxMarkerSize): the default
    // for a new document or image, the most common size of a work file's markers
    // (Markers::CommonMarkerSize).
    int32_t MarkerSize() const noexcept { return m_markerSize; }
    // Every marker made size x size about its centre, later markers placed at that size, and
    // the font's size in proportion (Markers::ScaledFontSize), all one step (even for the size
    // in effect) while a document is open. False, changing nothing, outside the range.
    bool SetMarkerSize(int32_t size);
    // The size a new document starts with (DefaultMarkerSize unless set); values outside the
    // range are held to it. Takes effect at the next new document.
    void SetDefaultMarkerSize(int32_t size) noexcept;
    int32_t DefaultMarkerSize() const noexcept { return m_defaultMarkerSize; }

    // ---- Appearance without a step (start-up, loading) ----
    // Throws Platform::ToolkitError when the glyphs cannot be made; nothing changes then.
    void ApplyFont(const Markers::MarkerFont& font);
    bool ApplyStyle(int32_t style);

    // ---- Undo ----
    bool CanUndo() const { return m_history.canUndo(); }
    bool CanRedo() const { return m_history.canRedo(); }
    // Takes back (or does again) the last step and selects the marker it touched when that
    // marker exists afterwards.
    void Undo();
    void Redo();

    // ---- Selection (view state, not steps) ----
    void Select(int32_t key);
    void ShowGuides(int32_t key);
    void SetSelectionRect(const Markers::TRect& rect);
    void ClearSelectionRect();
    void ClearSelection();
    void SetPaletteDragKey(int32_t key);

signals:
    void changed(Document::Changes what);

private:
    friend class EditStep;

    // Announces a change; Change::Canvas recomposes the whole screen image unless the
    // operation named the only pixels it changed with Invalidate* first.
    void Announce(Changes what);
    // The pixels a marker covers (its number's overhang and the selection overlay included),
    // on the screen image; the whole image when the key carries the guide lines.
    void InvalidateKey(int32_t key);
    void InvalidateRect(const Markers::TRect& rect, int margin);
    void EndNudgeRun() noexcept { ++m_nudgeRun; }
    // The document's marker size, also for the palette's preview.
    void TakeMarkerSize(int32_t size) noexcept;
    void ResetDocument();
    void ClearFileNames();
    void TakeImage(Platform::Bitmap bitmap);
    // The export picture, composed on the canvas; throws when there is no document.
    const Platform::Bitmap& ComposeExport(ExportUse use);
    // After an export that was the document's last use.
    void CloseAfter(ExportUse use);
    void Push(EditStep* step);
    // Called by a step when it has been undone or redone.
    void StepApplied(StepKind kind, int32_t focusKey);
    // Guide lines of a marker whose key is about to change go, rather than follow another marker.
    void DropGuides();
    // A selection rectangle reaching past a smaller image goes: the rubber band never makes one.
    void DropSelectionRectPastImage();

    Markers::MarkerMap m_map;
    Markers::Compositor m_compositor;
    int32_t m_markerSize = Markers::DefaultMarkerSize;
    int32_t m_defaultMarkerSize = Markers::DefaultMarkerSize;
    QUndoStack m_history;
    bool m_documentOpen = false;
    bool m_canvasComposed = false;
    bool m_decorations = true;
    // The part of the composed screen image that is out of date, when only a part is.
    QRect m_dirty;
    bool m_regionOnly = false;
    bool m_wholeImage = false;
    // Inside Undo or Redo: what the step changed, announced when the history has moved.
    bool m_inStep = false;
    Changes m_stepChanges;
    // Nudges of one run share this number; any other operation starts a new one.
    unsigned m_nudgeRun = 0;
    QString m_workSaveFileName;
    QString m_workOpenFileName;
    QString m_exportFileName;
};

}  // namespace Document
