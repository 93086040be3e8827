// The main window's palette grid: pressing a free number begins a drag towards the image,
// double-clicking it places the number without dragging, and the grid never acts on keys.
#include "EditGeometry.h"
#include "Fr0010mn.h"

void TFrmFR0010MN::DGMainMouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton || !Doc.DocumentOpen())
        return;
    int column = -1;
    int row = -1;
    DGMain->MouseToCell(x, y, column, row);
    if (column >= 0 && row >= 0 && !Doc.Map().IsPlaced(column)) {
        DragMachine.BeginDrag(DGMain->viewport(), DGMain->viewport()->mapToGlobal(QPoint(x, y)));
        Doc.SetPaletteDragKey(column);
        return;
    }
    // A placed number (or no number) can be neither dragged nor double-clicked again.
    Doc.SetPaletteDragKey(Markers::NoKey);
}

void TFrmFR0010MN::DGMainStartDrag() {
    DragFromCanvas = false;
}

// The number pressed last goes to the middle of the selection rectangle, or of the image when
// there is none.
void TFrmFR0010MN::DGMainDblClick() {
    const Markers::MarkerMap& map = Doc.Map();
    const int32_t key = map.PaletteDragKey;
    if (key == Markers::NoKey)
        return;
    const Markers::TRect area =
        map.HasSelectionRect() ? map.SelectionRect
                               : Markers::TRect{0, 0, Doc.ImageWidth(), Doc.ImageHeight()};
    Doc.SetPaletteDragKey(Markers::NoKey);
    // The key was free at the press; should it have been placed since, the marker already
    // there stays and nothing is reported as changed.
    Doc.Place(key, Markers::CenteredMarker(area, Doc.MarkerSize()));
    ViewFollowSelection();
}

// The window has already seen the key; the grid neither moves its current cell nor scrolls.
void TFrmFR0010MN::DGMainKeyDown(int& key) {
    key = 0;
}
