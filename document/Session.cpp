#include "Session.h"

#include "Bmp.h"
#include "ClipboardImage.h"
#include "DocumentMessages.h"
#include "EditGeometry.h"
#include "EditStep.h"
#include "FontChoice.h"
#include "ImageFile.h"
#include "ToolkitError.h"
#include "WorkFile.h"

#include <QFileInfo>
#include <QMimeData>

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

namespace Document {
namespace {

// The history keeps this many steps; far more than a picture of 99 markers needs, small
// enough (each step holds only the markers it changed) never to matter for memory.
constexpr int kHistoryLimit = 10000;
// The palette's numbers 1 .. 99 are the keys 0 .. 98.
constexpr int32_t kPaletteKeys = 99;

// Runs a step of a file operation: a failure adds its message (running out of memory its own).
template <class Step>
bool Guarded(Result& result, Step&& step) {
    try {
        step();
        return true;
    } catch (const Platform::ToolkitError& e) {
        result.Errors << e.message();
    } catch (const std::bad_alloc&) {
        result.Errors << Platform::Msg::outOfMemory();
    }
    return false;
}

constexpr Changes kNewDocument =
    Change::Reset | Change::ImageSize | Change::OpenState | Change::Canvas | Change::Palette;

}  // namespace

Session::Session(QObject* parent) : QObject(parent) {
    m_history.setUndoLimit(kHistoryLimit);
}

Session::~Session() = default;

void Session::Create(int cellWidth, int cellHeight) {
    m_compositor.SetBackgroundStyle(Markers::StyleButton);
    m_compositor.LoadGlyphs(QStringLiteral("BLACK"), Markers::kOliveRgb);
    m_compositor.CreateBitmaps(cellWidth, cellHeight);
}

void Session::Destroy() noexcept {
    m_map.ClearMarkers();
    m_compositor.FreeBitmaps();
}

int32_t Session::ImageWidth() const noexcept {
    const Platform::Bitmap* source = m_compositor.SourceBitmap();
    return source ? source->width() : 0;
}

int32_t Session::ImageHeight() const noexcept {
    const Platform::Bitmap* source = m_compositor.SourceBitmap();
    return source ? source->height() : 0;
}

void Session::MarkClean() {
    m_history.setClean();
    Announce(Change::Modified);
}

void Session::MarkModified() {
    m_history.resetClean();
    Announce(Change::Modified);
}

void Session::Repaint() {
    Announce(Change::Canvas | Change::Palette | Change::Appearance);
}

Platform::Bitmap* Session::ScreenImage() {
    Platform::Bitmap* canvas = m_compositor.CanvasBitmap();
    if (!canvas)
        return canvas;
    if (m_canvasComposed && m_dirty.isEmpty())
        return canvas;  // a paint of what is already composed
    // Without decorations the markers are composed from a copy with no selection or guides.
    Markers::MarkerMap bare;
    if (!m_decorations) {
        bare = m_map;
        bare.SelectedKey = Markers::NoKey;
        bare.GuideKey = Markers::NoKey;
        bare.SelectionRect = Markers::TRect{Markers::NoKey, 0, 0, 0};
    }
    const Markers::MarkerMap& drawn = m_decorations ? m_map : bare;
    if (!m_canvasComposed) {
        m_compositor.ComposeCanvas(drawn);
        m_canvasComposed = true;
    } else if (!m_dirty.isEmpty()) {
        m_compositor.ComposeCanvasRegion(drawn, m_dirty);
    }
    m_dirty = QRect();
    return canvas;
}

void Session::SetScreenDecorations(bool drawn) {
    if (drawn == m_decorations)
        return;
    m_decorations = drawn;
    m_canvasComposed = false;
    m_dirty = QRect();
}

QRect Session::StaleScreenRegion() const {
    if (!m_canvasComposed)
        return QRect(0, 0, ImageWidth(), ImageHeight());
    return m_dirty;
}

void Session::Announce(Changes what) {
    if ((what & Change::Canvas) && (!m_regionOnly || m_wholeImage)) {
        m_canvasComposed = false;
        m_dirty = QRect();
    }
    m_regionOnly = false;
    m_wholeImage = false;
    emit changed(what);
}

void Session::InvalidateRect(const Markers::TRect& rect, int margin) {
    m_regionOnly = true;
    const int64_t left = std::max<int64_t>(int64_t{rect.Left} - margin, 0);
    const int64_t top = std::max<int64_t>(int64_t{rect.Top} - margin, 0);
    const int64_t right = std::min<int64_t>(int64_t{rect.Right} + margin, ImageWidth());
    const int64_t bottom = std::min<int64_t>(int64_t{rect.Bottom} + margin, ImageHeight());
    if (left >= right || top >= bottom)
        return;
    m_dirty |= QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                     static_cast<int>(bottom - top));
}

void Session::InvalidateKey(int32_t key) {
    m_regionOnly = true;
    const Markers::Marker* m = m_map.MarkerOf(key);
    if (!m)
        return;
    if (key == m_map.GuideKey)
        m_wholeImage = true;
    // The number is centred on the marker and may be wider and taller than it (a large font,
    // italic overhang); the glyphs and the overlay are 32 x 32 from the top-left corner.
    const int margin = 2 * Font().PixelHeight() + 2;
    Markers::TRect r = *m;
    r.Right = std::max<int32_t>(r.Right, Markers::MakeMarker(r.Left, r.Top).Right);
    r.Bottom = std::max<int32_t>(r.Bottom, Markers::MakeMarker(r.Left, r.Top).Bottom);
    InvalidateRect(r, margin);
}

// ---- Documents ----

void Session::ResetDocument() {
    EndNudgeRun();
    m_map.ClearMarkers();
    TakeMarkerSize(m_defaultMarkerSize);
    m_documentOpen = false;
    m_history.clear();
}

void Session::ClearFileNames() {
    m_workSaveFileName.clear();
    m_workOpenFileName.clear();
    m_exportFileName.clear();
}

void Session::TakeImage(Platform::Bitmap bitmap) {
    m_compositor.SetSourceBitmap(std::move(bitmap));
    m_canvasComposed = false;
    m_documentOpen = true;
}

void Session::New() {
    ResetDocument();
    ClearFileNames();
    m_compositor.ReleaseImages();
    Announce(kNewDocument);
}

Result Session::OpenBitmap(const QString& path) {
    ResetDocument();
    ClearFileNames();
    Result result;
    Guarded(result, [&] {
        m_compositor.ReleaseImages();
        TakeImage(Platform::readImageFile(path));
    });
    Announce(kNewDocument);
    return result;
}

Result Session::Paste(const QMimeData* data) {
    ResetDocument();
    ClearFileNames();
    Result result;
    Guarded(result, [&] {
        m_compositor.ReleaseImages();
        TakeImage(ClipboardBitmap(data));
    });
    Announce(kNewDocument);
    return result;
}

Result Session::TakeSourceBitmap(Platform::Bitmap bitmap) {
    ResetDocument();
    ClearFileNames();
    Result result;
    Guarded(result, [&] {
        m_compositor.ReleaseImages();
        TakeImage(std::move(bitmap));
    });
    Announce(kNewDocument);
    return result;
}

Result Session::OpenWorkFile(const QString& path) {
    ResetDocument();
    m_compositor.ReleaseImages();
    Result result;
    WorkFileImage image;
    if (!Guarded(result, [&] { image = ReadWorkFile(path); })) {
        result.Errors << Texts::loadFailed();
    } else {
        const bool loaded = Guarded(result, [&] {
            m_compositor.SetSourceBitmap(std::move(image.Bitmap));
            // The loaded font and style take effect as if chosen by the user, marking no change.
            ApplyFont(ReadFontLine(LineAt(image.Lines, 0)));
            if (!ApplyStyle(ReadStyleLine(LineAt(image.Lines, 1))))
                ApplyStyle(Markers::StyleButton);
            for (std::size_t i = 2; i < image.Lines.size(); ++i) {
                const MarkerLine m = ReadMarkerLine(image.Lines[i]);
                m_map.InsertMarker(m.Key, m.Rect);  // a key listed twice keeps its first
            }
            // The file keeps no size of its own: its markers' rectangles tell it.
            TakeMarkerSize(m_map.empty() ? m_defaultMarkerSize : Markers::CommonMarkerSize(m_map));
        });
        if (loaded) {
            m_exportFileName.clear();
            m_workSaveFileName = path;
            m_workOpenFileName = path;
            m_documentOpen = true;
        } else {
            // A broken file leaves no half document: no markers and no image. A font or style
            // taken from it before the failure stays, as the window's own settings.
            m_map.ClearMarkers();
            m_compositor.ReleaseImages();
            TakeMarkerSize(m_defaultMarkerSize);
        }
    }
    Announce(kNewDocument | Change::Appearance);
    return result;
}

Result Session::SaveWorkFile(const QString& path) {
    Result result;
    WorkLines lines;
    if (!Guarded(result, [&] { lines = MakeWorkLines(Font(), BackgroundStyle(), m_map); }))
        return result;
    const Platform::Bitmap* source = m_compositor.SourceBitmap();
    if (!source || !Guarded(result, [&] { WriteWorkFile(*source, lines, path); })) {
        result.Errors << Texts::saveFailed();
        return result;
    }
    m_workSaveFileName = path;
    EndNudgeRun();
    MarkClean();
    return result;
}

ExportFormat ExportFormatFor(const QString& path) {
    return QFileInfo(path).suffix().compare(QStringLiteral("png"), Qt::CaseInsensitive) == 0
               ? ExportFormat::Png
               : ExportFormat::Bmp;
}

// The screen is not repainted: the canvas is composed for the screen again at the next paint.
const Platform::Bitmap& Session::ComposeExport(ExportUse use) {
    Platform::Bitmap* canvas = m_compositor.CanvasBitmap();
    if (!canvas || !m_documentOpen)
        throw Platform::ToolkitError(Platform::Msg::invalidBitmap());
    if (use == ExportUse::Last)
        m_compositor.ComposeForExportInPlace(m_map);
    else
        m_compositor.ComposeForExport(m_map);
    m_canvasComposed = false;
    return *canvas;
}

void Session::CloseAfter(ExportUse use) {
    if (use == ExportUse::Last)
        New();
}

// The file is written whole beside the target and then put in its place in one rename, so a
// failed export leaves an existing file as it was.
Result Session::ExportBitmap(const QString& path, ExportUse use) {
    Result result;
    Guarded(result, [&] {
        // A file marked read-only is not replaced, whoever runs the program: the rename that
        // puts the new file in place would otherwise pass over the mark.
        const QFileInfo target(path);
        if (target.exists() && target.isFile() && !(target.permissions() & QFile::WriteOwner))
            throw Platform::ToolkitError(Platform::Msg::cannotCreateFile(path));
        const Platform::Bitmap& picture = ComposeExport(use);
        if (ExportFormatFor(path) == ExportFormat::Png)
            Platform::writePngFile(picture, path);
        else
            Platform::Bmp::writeFile(picture, path);
        m_exportFileName = path;
    });
    CloseAfter(use);
    return result;
}

Result Session::WriteExport(Platform::FileSink& sink, ExportFormat format, ExportUse use) {
    Result result;
    Guarded(result, [&] {
        const Platform::Bitmap& picture = ComposeExport(use);
        if (format == ExportFormat::Png)
            sink.write(Platform::encodePng(picture));
        else
            Platform::Bmp::encodeTo(picture, sink);
    });
    CloseAfter(use);
    return result;
}

Result Session::CopyPicture(QMimeData& data) {
    Result result;
    Guarded(result, [&] {
        const Platform::Bitmap& picture = ComposeExport(ExportUse::Keep);
        const QByteArray png = Platform::encodePng(picture);
        data.setImageData(Platform::toRgbImage(picture));
        data.setData(QStringLiteral("image/png"), png);
    });
    return result;
}

// ---- Edits ----

void Session::Push(EditStep* step) {
    m_history.push(step);
}

bool Session::Place(int32_t key, const Markers::Marker& marker) {
    EndNudgeRun();
    if (!m_map.InsertMarker(key, marker))
        return false;
    InvalidateKey(m_map.SelectedKey);
    m_map.SelectedKey = key;
    InvalidateKey(key);
    auto* step = new EditStep(*this, StepKind::Place, key);
    step->AddMarker({key, std::nullopt, marker});
    Push(step);
    Announce(Change::Canvas | Change::Palette | Change::Modified | Change::MarkerPosition);
    return true;
}

bool Session::MoveSelected(const Markers::Marker& marker) {
    EndNudgeRun();
    const int32_t key = m_map.SelectedKey;
    Markers::Marker* moved = m_map.MarkerOf(key);
    if (!moved)
        return false;
    auto* step = new EditStep(*this, StepKind::Move, key);
    step->AddMarker({key, *moved, marker});
    InvalidateKey(key);
    *moved = marker;
    InvalidateKey(key);
    Push(step);
    Announce(Change::Canvas | Change::Modified | Change::MarkerPosition);
    return true;
}

const Markers::Marker* Session::Nudge(Markers::NudgeDirection direction) {
    const int32_t key = m_map.SelectedKey;
    const Markers::Marker* before = m_map.MarkerOf(key);
    if (!before)
        return nullptr;
    const Markers::Marker old = *before;
    const Markers::Marker* moved =
        Markers::NudgeSelectedMarker(m_map, direction, ImageWidth(), ImageHeight());
    if (!moved)
        return nullptr;
    const Markers::Marker now = *moved;
    *m_map.MarkerOf(key) = old;
    InvalidateKey(key);
    *m_map.MarkerOf(key) = now;
    InvalidateKey(key);
    auto* step = new EditStep(*this, StepKind::Nudge, key);
    step->AddMarker({key, old, now});
    step->SetNudgeRun(m_nudgeRun);
    Push(step);
    Announce(Change::Canvas | Change::Modified | Change::MarkerPosition);
    return m_map.MarkerOf(key);
}

Markers::Deletion Session::DeleteSelected() {
    EndNudgeRun();
    const int32_t key = m_map.SelectedKey;
    const Markers::Marker* marker = m_map.MarkerOf(key);
    if (!marker)
        return {};
    auto* step = new EditStep(*this, StepKind::Delete, key);
    step->AddMarker({key, *marker, std::nullopt});
    InvalidateKey(key);
    const Markers::Deletion deletion = Markers::DeleteSelectedMarker(m_map);
    Push(step);
    Announce(Change::Canvas | Change::Palette | Change::Modified | Change::MarkerPosition);
    return deletion;
}

Markers::Deletion Session::DeleteInSelectionRect() {
    EndNudgeRun();
    if (!m_map.HasSelectionRect())
        return {};
    const Markers::MarkerMap before = m_map;
    const Markers::Deletion deletion = Markers::DeleteMarkersInSelectionRect(m_map);
    // Every removed marker lay inside the rectangle; the guide lines may have gone with one.
    const bool guideRemoved = before.GuideKey != Markers::NoKey && !m_map.IsPlaced(before.GuideKey);
    if (!guideRemoved)
        InvalidateRect(before.SelectionRect, 2 * Font().PixelHeight() + 2);
    // Undoing a deletion of several markers selects none of them; of the selected one, it.
    auto* step = new EditStep(*this, StepKind::Delete,
                              deletion.SelectedRemoved ? before.SelectedKey : Markers::NoKey);
    for (const auto& [key, marker] : before) {
        if (!m_map.IsPlaced(key))
            step->AddMarker({key, marker, std::nullopt});
    }
    Push(step);
    Changes what = Change::Canvas | Change::Palette | Change::Modified;
    if (deletion.SelectedRemoved)
        what |= Change::MarkerPosition;
    Announce(what);
    return deletion;
}

Result Session::SetFont(const Markers::MarkerFont& font) {
    EndNudgeRun();
    Result result;
    const Markers::MarkerFont before = Font();
    if (!Guarded(result, [&] { ApplyFont(font); }))
        return result;
    Changes what = Change::Canvas | Change::Palette | Change::Appearance;
    if (m_documentOpen) {
        auto* step = new EditStep(*this, StepKind::Font, Markers::NoKey);
        step->SetFont(before, font);
        Push(step);
        what |= Change::Modified;
    }
    Announce(what);
    return result;
}

bool Session::SetStyle(int32_t style) {
    EndNudgeRun();
    const int32_t before = BackgroundStyle();
    if (!ApplyStyle(style))
        return false;
    Changes what = Change::Canvas | Change::Palette | Change::Appearance;
    if (m_documentOpen) {
        auto* step = new EditStep(*this, StepKind::Style, Markers::NoKey);
        step->SetStyle(before, style);
        Push(step);
        what |= Change::Modified;
    }
    Announce(what);
    return true;
}

bool Session::SetMarkerSize(int32_t size) {
    EndNudgeRun();
    if (size < Markers::MinMarkerSize || size > Markers::MaxMarkerSize)
        return false;
    const int32_t before = m_markerSize;
    Markers::MarkerFont font = Font();
    if (size != before)
        font.Size = Markers::ScaledFontSize(font.Size, before, size);
    std::unique_ptr<EditStep> step;
    if (m_documentOpen) {
        step = std::make_unique<EditStep>(*this, StepKind::MarkerSize, Markers::NoKey);
        step->SetMarkerSize(before, size);
        step->SetFont(Font(), font);
        for (auto& [key, marker] : m_map) {
            const Markers::Marker resized = Markers::ResizedMarker(marker, size);
            if (resized != marker)
                step->AddMarker({key, marker, resized});
        }
    }
    // Only the size of the font changes, so its glyphs stay as they are.
    TakeMarkerSize(size);
    m_compositor.SetMarkerFont(font);
    for (auto& [key, marker] : m_map)
        marker = Markers::ResizedMarker(marker, size);
    // Nothing names a region: every marker and the font change, so the whole image is composed.
    Changes what = Change::Canvas | Change::Palette | Change::Appearance | Change::MarkerPosition;
    if (step) {
        Push(step.release());
        what |= Change::Modified;
    }
    Announce(what);
    return true;
}

void Session::TakeMarkerSize(int32_t size) noexcept {
    m_markerSize = size;
    m_compositor.SetPaletteMarkerSize(size);
}

void Session::SetDefaultMarkerSize(int32_t size) noexcept {
    m_defaultMarkerSize = std::clamp(size, Markers::MinMarkerSize, Markers::MaxMarkerSize);
}

// The glyphs are rebuilt first: should that fail, the font in effect and its glyphs stay as
// they were, together.
void Session::ApplyFont(const Markers::MarkerFont& font) {
    m_compositor.SetMarkerColor(font.Color);
    m_compositor.SetMarkerFont(font);
}

bool Session::ApplyStyle(int32_t style) {
    if (style < Markers::StyleNone || style > Markers::StyleCircle2)
        return false;
    m_compositor.SetBackgroundStyle(style);
    return true;
}

// ---- Undo ----

// The step's changes are announced once the history stands at its new index: during the
// step, Modified still answers for the old one (undoing back to the saved state would leave
// the unsaved mark on).
void Session::Undo() {
    EndNudgeRun();
    if (!m_history.canUndo())
        return;
    m_inStep = true;
    m_history.undo();
    m_inStep = false;
    Announce(std::exchange(m_stepChanges, Change::None));
}

void Session::Redo() {
    EndNudgeRun();
    if (!m_history.canRedo())
        return;
    m_inStep = true;
    m_history.redo();
    m_inStep = false;
    Announce(std::exchange(m_stepChanges, Change::None));
}

void Session::StepApplied(StepKind kind, int32_t focusKey) {
    Changes what = Change::Canvas | Change::Palette | Change::Modified;
    if (kind == StepKind::Image) {
        DropSelectionRectPastImage();
        what |= Change::ImageSize;
    }
    if (kind == StepKind::MarkerSize) {
        // The font changed with the markers: its numbers may reach past any marker's region.
        m_wholeImage = true;
        what |= Change::Appearance | Change::MarkerPosition;
    } else if (kind == StepKind::Font || kind == StepKind::Style) {
        what |= Change::Appearance;
    } else {
        if (focusKey != Markers::NoKey && m_map.IsPlaced(focusKey)) {
            InvalidateKey(m_map.SelectedKey);
            m_map.SelectedKey = focusKey;
            InvalidateKey(focusKey);
        }
        what |= Change::MarkerPosition;
    }
    if (m_inStep)
        m_stepChanges |= what;
    else
        Announce(what);
}

// ---- Revising ----

void Session::DropGuides() {
    if (m_map.GuideKey == Markers::NoKey)
        return;
    InvalidateKey(m_map.GuideKey);
    m_map.GuideKey = Markers::NoKey;
}

void Session::DropSelectionRectPastImage() {
    const Markers::TRect& r = m_map.SelectionRect;
    if (m_map.HasSelectionRect() && (r.Right > ImageWidth() || r.Bottom > ImageHeight()))
        m_map.SelectionRect.Left = Markers::NoKey;
}

bool Session::Renumber(int32_t from, int32_t to) {
    EndNudgeRun();
    const Markers::Marker* moving = m_map.MarkerOf(from);
    if (!moving || to == from || to < 0 || to >= kPaletteKeys)
        return false;
    DropGuides();
    auto* step = new EditStep(*this, StepKind::Renumber, to);
    step->SetUndoFocus(from);
    const Markers::Marker* other = m_map.MarkerOf(to);
    step->AddMarker({from, *moving, other ? std::optional(*other) : std::nullopt});
    step->AddMarker({to, other ? std::optional(*other) : std::nullopt, *moving});
    step->SetPending();
    Push(step);
    return true;
}

bool Session::CanCloseGaps() const {
    return m_documentOpen && !Markers::CompactedKeys(m_map).empty();
}

bool Session::CloseGaps() {
    EndNudgeRun();
    const std::map<int32_t, int32_t> renamed = Markers::CompactedKeys(m_map);
    if (renamed.empty())
        return false;
    DropGuides();
    Markers::MarkerMap after;
    for (const auto& [key, marker] : m_map) {
        const auto it = renamed.find(key);
        after.InsertMarker(it == renamed.end() ? key : it->second, marker);
    }
    const auto selected = renamed.find(m_map.SelectedKey);
    auto* step = new EditStep(*this, StepKind::CloseGaps,
                              selected == renamed.end() ? m_map.SelectedKey : selected->second);
    step->SetUndoFocus(m_map.SelectedKey);
    std::map<int32_t, MarkerChange> changes;
    for (const auto& [oldKey, newKey] : renamed) {
        for (int32_t key : {oldKey, newKey}) {
            const Markers::Marker* before = m_map.MarkerOf(key);
            const Markers::Marker* now = after.MarkerOf(key);
            changes[key] = {key, before ? std::optional(*before) : std::nullopt,
                            now ? std::optional(*now) : std::nullopt};
        }
    }
    for (auto& [key, change] : changes) {
        if (change.Before != change.After)
            step->AddMarker(std::move(change));
    }
    step->SetPending();
    Push(step);
    return true;
}

Replacement Session::ReplaceSourceImage(const QString& path) {
    Platform::Bitmap bitmap;
    Replacement result;
    if (!m_documentOpen || !Guarded(result, [&] { bitmap = Platform::readImageFile(path); }))
        return result;
    return ReplaceSourceBitmap(std::move(bitmap));
}

Replacement Session::ReplaceSourceBitmap(Platform::Bitmap bitmap) {
    EndNudgeRun();
    Replacement result;
    if (!m_documentOpen)
        return result;
    Platform::Bitmap old;
    if (!Guarded(result, [&] { old = m_compositor.ExchangeSourceBitmap(std::move(bitmap)); }))
        return result;
    auto* step = new EditStep(*this, StepKind::Image, Markers::NoKey);
    step->SetImage(std::move(old));
    Push(step);
    DropSelectionRectPastImage();
    const int32_t width = ImageWidth();
    const int32_t height = ImageHeight();
    for (const auto& [key, m] : m_map) {
        if (m.Right <= 0 || m.Bottom <= 0 || m.Left >= width || m.Top >= height)
            result.OutsideKeys.push_back(key);
    }
    Announce(Change::ImageSize | Change::Canvas | Change::Modified);
    return result;
}

bool Session::BringInsideAfterReplace(const std::vector<int32_t>& keys) {
    const int index = m_history.index();
    auto* step =
        index > 0 ? dynamic_cast<EditStep*>(const_cast<QUndoCommand*>(m_history.command(index - 1)))
                  : nullptr;
    if (!m_documentOpen || !step || step->Kind() != StepKind::Image)
        return false;
    const int64_t width = ImageWidth();
    const int64_t height = ImageHeight();
    const auto inside = [](int64_t pos, int64_t size, int64_t extent) {
        return std::max<int64_t>(std::min<int64_t>(pos, extent - size), 0);
    };
    bool moved = false;
    for (int32_t key : keys) {
        Markers::Marker* m = m_map.MarkerOf(key);
        if (!m)
            continue;
        const int64_t w = int64_t{m->Right} - m->Left;
        const int64_t h = int64_t{m->Bottom} - m->Top;
        const int64_t left = inside(m->Left, w, width);
        const int64_t top = inside(m->Top, h, height);
        if (left == m->Left && top == m->Top)
            continue;
        const Markers::Marker before = *m;
        InvalidateKey(key);
        m->Left = static_cast<int32_t>(left);
        m->Top = static_cast<int32_t>(top);
        m->Right = static_cast<int32_t>(left + w);
        m->Bottom = static_cast<int32_t>(top + h);
        InvalidateKey(key);
        step->AddMarker({key, before, *m});
        moved = true;
    }
    if (!moved)
        return false;
    Announce(Change::Canvas | Change::MarkerPosition);
    return true;
}

std::vector<int32_t> Session::KeysInSelectionRect() const {
    if (!m_map.HasSelectionRect())
        return {};
    return Markers::KeysInside(m_map, m_map.SelectionRect);
}

bool Session::CanArrange(Markers::Alignment alignment) const {
    return m_documentOpen && KeysInSelectionRect().size() >=
                                 static_cast<std::size_t>(Markers::MinimumGroup(alignment));
}

bool Session::Arrange(Markers::Alignment alignment) {
    EndNudgeRun();
    const std::map<int32_t, Markers::Marker> moved =
        Markers::Arranged(m_map, KeysInSelectionRect(), alignment);
    if (moved.empty())
        return false;
    auto* step = new EditStep(*this, StepKind::Align, Markers::NoKey);
    for (const auto& [key, marker] : moved)
        step->AddMarker({key, *m_map.MarkerOf(key), marker});
    step->SetPending();
    Push(step);
    return true;
}

void Session::PlaceOrSelect(int32_t key) {
    if (key < 0 || key >= kPaletteKeys || !m_documentOpen)
        return;
    if (m_map.IsPlaced(key)) {
        Select(key);
        Announce(Change::MarkerPosition);
        return;
    }
    const Markers::TRect area = m_map.HasSelectionRect()
                                    ? m_map.SelectionRect
                                    : Markers::TRect{0, 0, ImageWidth(), ImageHeight()};
    Place(key, Markers::CenteredMarker(area, m_markerSize));
}

// ---- Selection ----

void Session::Select(int32_t key) {
    EndNudgeRun();
    InvalidateKey(m_map.SelectedKey);
    m_map.SelectedKey = key;
    InvalidateKey(key);
    Announce(Change::Canvas);
}

void Session::ShowGuides(int32_t key) {
    EndNudgeRun();
    m_map.GuideKey = key;
    Announce(Change::Canvas);
}

void Session::SetSelectionRect(const Markers::TRect& rect) {
    EndNudgeRun();
    if (m_map.HasSelectionRect())
        InvalidateRect(m_map.SelectionRect, 1);
    m_map.SelectionRect = rect;
    InvalidateRect(rect, 1);
    Announce(Change::Canvas);
}

void Session::ClearSelectionRect() {
    EndNudgeRun();
    if (m_map.HasSelectionRect())
        InvalidateRect(m_map.SelectionRect, 1);
    m_map.SelectionRect.Left = Markers::NoKey;
    Announce(Change::Canvas);
}

void Session::ClearSelection() {
    EndNudgeRun();
    Markers::ClearSelection(m_map);
    Announce(Change::Canvas);
}

void Session::SetPaletteDragKey(int32_t key) {
    m_map.PaletteDragKey = key;
}

}  // namespace Document
