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
void TFrmFR0010MN::FormKeyDown(int Key, Qt::KeyboardModifiers Shift) {
    if (!Doc.DocumentOpen() || TypeNumberKey(Key, Shift) || ViewScrollKey(Key, Shift))
        return;

    if (Key == Qt::Key_Delete && Doc.Map().HasSelectionRect()) {
        Doc.DeleteInSelectionRect();
        return;
    }

    if (Key == Qt::Key_Escape) {
        Doc.ClearSelection();
        for (int panel : {PanelBandCorners, PanelBandSize, PanelMarkerPosition})
            SetStatusText(panel, QString());
        return;
    }

    if (const auto direction = nudgeDirection(Key)) {
        Doc.Nudge(*direction);
        ViewFollowSelection();
        return;
    }

    if (Key == Qt::Key_Delete)
        Doc.DeleteSelected();
}
