// The main window's palette grid: pressing a free number begins a drag towards the image,
// double-clicking it places the number without dragging, and the grid never acts on keys.
#include "EditGeometry.h"
#include "Fr0010mn.h"

void TFrmFR0010MN::DGMainMouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton || !DocumentOpen)
        return;
    int column = -1;
    int row = -1;
    DGMain->MouseToCell(x, y, column, row);
    if (column >= 0 && row >= 0 && MarkerMap.FindMarker(column) == MarkerMap.end()) {
        DragMachine.BeginDrag(DGMain->viewport(), DGMain->viewport()->mapToGlobal(QPoint(x, y)));
        MarkerMap.PaletteDragKey = column;
        return;
    }
    // A placed number (or no number) can be neither dragged nor double-clicked again.
    MarkerMap.PaletteDragKey = Markers::NoKey;
}

void TFrmFR0010MN::DGMainStartDrag() {
    DragFromCanvas = false;
}

// The number pressed last goes to the middle of the selection rectangle, or of the image when
// there is none.
void TFrmFR0010MN::DGMainDblClick() {
    const int32_t key = MarkerMap.PaletteDragKey;
    if (key == Markers::NoKey)
        return;
    const Markers::TRect area = MarkerMap.HasSelectionRect()
                                    ? MarkerMap.SelectionRect
                                    : Markers::TRect{0, 0, PBMain->width(), PBMain->height()};
    const Markers::Marker marker = Markers::CenteredMarker(area);
    // The key was free at the press; should it have been placed since, the marker already
    // there stays and nothing is reported as changed.
    if (!MarkerMap.InsertMarker(key, marker)) {
        MarkerMap.PaletteDragKey = Markers::NoKey;
        return;
    }
    MarkerMap.SelectedKey = key;
    MarkerMap.PaletteDragKey = Markers::NoKey;
    MarkModified();
    ComposeCanvas();
    DGMain->viewport()->update();
    ShowMarkerPosition(marker.Left, marker.Top);
}

// The window has already seen the key; the grid neither moves its current cell nor scrolls.
void TFrmFR0010MN::DGMainKeyDown(int& key) {
    key = 0;
}
