// The main window's keyboard commands: the arrow keys nudge the selected marker by one pixel,
// Delete removes the markers inside the selection rectangle or else the selected marker, and
// Escape clears the selection state. Key preview (KeyPreview) brings every key press of the
// window here before the focused control gets it.
#include "Fr0010mn.h"
#include "MarkerEdit.h"

#include <optional>

namespace {

std::optional<Markers::NudgeDirection> nudgeDirection(int key) {
    switch (key) {
        case Qt::Key_Left:
            return Markers::NudgeDirection::Left;
        case Qt::Key_Up:
            return Markers::NudgeDirection::Up;
        case Qt::Key_Right:
            return Markers::NudgeDirection::Right;
        case Qt::Key_Down:
            return Markers::NudgeDirection::Down;
        default:
            return std::nullopt;
    }
}

}  // namespace

// Shift, Ctrl and Alt are not looked at: Shift+Left moves by one pixel like Left. Keys whose
// condition is not met change nothing and redraw nothing.
void TFrmFR0010MN::FormKeyDown(int Key, Qt::KeyboardModifiers) {
    if (!DocumentOpen)
        return;

    if (Key == Qt::Key_Delete && MarkerMap.HasSelectionRect()) {
        const Markers::Deletion deletion = Markers::DeleteMarkersInSelectionRect(MarkerMap);
        if (deletion.SelectedRemoved)
            SetStatusText(4, QString());
        // A rectangle with nothing inside still counts as a change.
        MarkModified();
        ComposeCanvas();
        DGMain->viewport()->update();
        return;
    }

    if (Key == Qt::Key_Escape) {
        Markers::ClearSelection(MarkerMap);
        for (int panel : {2, 3, 4})
            SetStatusText(panel, QString());
        ComposeCanvas();
        return;
    }

    if (const auto direction = nudgeDirection(Key)) {
        const Markers::Marker* moved =
            Markers::NudgeSelectedMarker(MarkerMap, *direction, PBMain->width(), PBMain->height());
        if (!moved)
            return;
        MarkModified();
        ShowMarkerPosition(moved->Left, moved->Top);
        ComposeCanvas();
        return;
    }

    if (Key == Qt::Key_Delete && Markers::DeleteSelectedMarker(MarkerMap).Removed > 0) {
        MarkModified();
        SetStatusText(4, QString());
        ComposeCanvas();
        DGMain->viewport()->update();
    }
}
