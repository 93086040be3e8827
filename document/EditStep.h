#pragma once

#include "Bitmap.h"
#include "Marker.h"
#include "MarkerFont.h"
#include "Session.h"

#include <QUndoCommand>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace Document {

// One marker's state on either side of a step: absent (nullopt) or placed as the rectangle.
struct MarkerChange {
    int32_t Key = Markers::NoKey;
    std::optional<Markers::Marker> Before;
    std::optional<Markers::Marker> After;
};

// One step of the undo history. It keeps only what the edit changed, the markers on either side
// and the font or style before and after, never the image (but the replacement of the image
// itself, see SetImage), so a long history stays small.
// Steps are built from an edit that has already been made (unless SetPending): the first redo
// (QUndoStack::push calls it) leaves the document as it is.
class EditStep : public QUndoCommand {
public:
    EditStep(Session& session, StepKind kind, int32_t focusKey);

    void AddMarker(MarkerChange change) { m_markers.push_back(std::move(change)); }
    void SetFont(const Markers::MarkerFont& before, const Markers::MarkerFont& after) {
        m_font = {before, after};
    }
    void SetStyle(int32_t before, int32_t after) { m_style = {before, after}; }
    void SetMarkerSize(int32_t before, int32_t after) { m_markerSize = {before, after}; }
    // The source image the document does not show now. Undoing a replacement of the source
    // image cannot be done without the old image, so this one kind of step holds it (moved in,
    // not copied); each undo or redo exchanges it with the document's.
    void SetImage(Platform::Bitmap image) { m_image = std::move(image); }
    // The marker selected after an undo, when not the one selected after a redo.
    void SetUndoFocus(int32_t key) noexcept { m_undoFocusKey = key; }
    // A step built before its edit: the first redo makes the change.
    void SetPending() noexcept { m_applied = false; }
    // Nudges of one run merge into one step.
    void SetNudgeRun(unsigned run) noexcept { m_nudgeRun = run; }

    StepKind Kind() const noexcept { return m_kind; }

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    void Apply(bool forward);

    Session& m_session;
    StepKind m_kind;
    int32_t m_focusKey;
    int32_t m_undoFocusKey;
    bool m_applied = true;
    std::vector<MarkerChange> m_markers;
    std::optional<std::pair<Markers::MarkerFont, Markers::MarkerFont>> m_font;
    std::optional<std::pair<int32_t, int32_t>> m_style;
    std::optional<std::pair<int32_t, int32_t>> m_markerSize;
    std::optional<Platform::Bitmap> m_image;
    unsigned m_nudgeRun = 0;
};

}  // namespace Document
