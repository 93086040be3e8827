#include "EditStep.h"

#include "ToolkitError.h"

namespace Document {
namespace {

constexpr int kNudgeId = 1;

}  // namespace

QString StepName(StepKind kind) {
    switch (kind) {
        case StepKind::Place:
            return QStringLiteral("配置");
        case StepKind::Move:
        case StepKind::Nudge:
            return QStringLiteral("移動");
        case StepKind::Delete:
            return QStringLiteral("削除");
        case StepKind::Font:
            return QStringLiteral("フォント");
        case StepKind::Style:
            return QStringLiteral("背景");
        case StepKind::Renumber:
            return QStringLiteral("番号の変更");
        case StepKind::CloseGaps:
            return QStringLiteral("番号を詰める");
        case StepKind::Image:
            return QStringLiteral("元画像の差し替え");
        case StepKind::Align:
            return QStringLiteral("整列");
        case StepKind::MarkerSize:
            return QStringLiteral("大きさ");
    }
    return {};
}

EditStep::EditStep(Session& session, StepKind kind, int32_t focusKey)
    : m_session(session), m_kind(kind), m_focusKey(focusKey), m_undoFocusKey(focusKey) {
    setText(StepName(kind));
}

void EditStep::undo() {
    Apply(false);
}

void EditStep::redo() {
    // The edit itself made the change the first time.
    if (m_applied) {
        m_applied = false;
        return;
    }
    Apply(true);
}

int EditStep::id() const {
    return m_kind == StepKind::Nudge ? kNudgeId : -1;
}

bool EditStep::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const EditStep*>(other);
    if (next->m_nudgeRun != m_nudgeRun || next->m_focusKey != m_focusKey ||
        m_markers.size() != 1 || next->m_markers.size() != 1)
        return false;
    m_markers.front().After = next->m_markers.front().After;
    // A run that ends where it began changes nothing and leaves the history.
    setObsolete(m_markers.front().After == m_markers.front().Before);
    return true;
}

void EditStep::Apply(bool forward) {
    Markers::MarkerMap& map = m_session.m_map;
    // The screen changes where the markers were and where they will be.
    for (const MarkerChange& c : m_markers)
        m_session.InvalidateKey(c.Key);
    // Removals first, so a marker that changes its key never meets itself.
    for (const MarkerChange& c : m_markers) {
        if (!(forward ? c.After : c.Before))
            map.RemoveMarker(c.Key);
    }
    for (const MarkerChange& c : m_markers) {
        const std::optional<Markers::Marker>& to = forward ? c.After : c.Before;
        if (!to)
            continue;
        if (Markers::Marker* m = map.MarkerOf(c.Key))
            *m = *to;
        else
            map.InsertMarker(c.Key, *to);
    }
    for (const MarkerChange& c : m_markers)
        m_session.InvalidateKey(c.Key);
    if (m_font) {
        const Markers::MarkerFont& font = forward ? m_font->second : m_font->first;
        try {
            m_session.ApplyFont(font);
        } catch (const Platform::ToolkitError&) {
            // The glyphs of a colour that was in effect before are built in and cannot go
            // missing; should they all the same, the font is taken and its glyphs stay.
            m_session.m_compositor.SetMarkerFont(font);
        }
    }
    if (m_style)
        m_session.ApplyStyle(forward ? m_style->second : m_style->first);
    if (m_markerSize)
        m_session.TakeMarkerSize(forward ? m_markerSize->second : m_markerSize->first);
    if (m_image) {
        try {
            m_image = m_session.m_compositor.ExchangeSourceBitmap(std::move(*m_image));
        } catch (const std::exception&) {
            // Short of memory for the other image: the document keeps the one it shows.
            m_image = Platform::Bitmap();
        }
    }
    m_session.StepApplied(m_kind, forward ? m_focusKey : m_undoFocusKey);
}

}  // namespace Document
