// The main window's mouse on the image: selecting a marker by pressing on it, moving it by
// dragging, placing a number dragged in from the palette, the rubber band that leaves a
// selection rectangle, clearing the selection with the right button and the guide lines of a
// double-clicked marker.
#include "CanvasView.h"
#include "EditGeometry.h"
#include "Fr0010mn.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <cstdlib>

using Markers::NoKey;

void TFrmFR0010MN::ConnectMouse() {
    connect(DGMain, &DrawGrid::mouseDown, this, &TFrmFR0010MN::DGMainMouseDown);
    connect(DGMain, &DrawGrid::dblClick, this, &TFrmFR0010MN::DGMainDblClick);
    connect(DGMain, &DrawGrid::keyDown, this, &TFrmFR0010MN::DGMainKeyDown);
    // The surface reports its own pixels; the handlers work in image pixels at every zoom.
    connect(PBMain, &PaintBox::mouseDown, this, [this](Qt::MouseButton button, int x, int y) {
        PressPoint = QPoint(x, y);
        const QPoint p = View->ToImage(PressPoint);
        PBMainMouseDown(button, p.x(), p.y());
    });
    connect(PBMain, &PaintBox::mouseMove, this, [this](int x, int y) {
        if (RubberBand.Active)
            View->AutoScrollAt(PBMain->mapToGlobal(QPoint(x, y)));
        const QPoint p = View->ToImage(QPoint(x, y));
        PBMainMouseMove(p.x(), p.y());
    });
    connect(PBMain, &PaintBox::mouseUp, this, [this] {
        View->StopAutoScroll();
        PBMainMouseUp();
    });
    connect(PBMain, &PaintBox::dblClick, this, &TFrmFR0010MN::PBMainDblClick);

    // Only the visible part of the image takes drops; the palette, the tool bar and everything
    // outside the window refuse them.
    DragMachine.SetLocator([this](const QPoint& global) -> Platform::DragMachine::Target {
        // The locator hears every move of a running drag: held at the edge, the view scrolls.
        if (DragMachine.CurrentState() == Platform::DragMachine::State::Dragging)
            View->AutoScrollAt(global);
        for (QWidget* w = childAt(mapFromGlobal(global)); w; w = w->parentWidget()) {
            if (w == PBMain)
                return {PBMain, PBMain->mapFromGlobal(global)};
        }
        return {};
    });
    connect(&DragMachine, &Platform::DragMachine::startDrag, this, [this](QObject* source) {
        // Every drag shows the drag cursor the window holds at its start.
        DragMachine.SetDragCursor(DragCursor);
        if (source == PBMain)
            PBMainStartDrag();
        else if (source == DGMain->viewport())
            DGMainStartDrag();
    });
    connect(&DragMachine, &Platform::DragMachine::dragOver, this,
            [this](QObject* target, const QPoint& p, Platform::DragMachine::Over, bool& accept) {
                if (target == PBMain) {
                    const QPoint i = View->ToImage(p);
                    PBMainDragOver(i.x(), i.y(), accept);
                }
            });
    connect(&DragMachine, &Platform::DragMachine::dragDrop, this,
            [this](QObject* target, QObject*, const QPoint& p) {
                if (target == PBMain) {
                    const QPoint i = View->ToImage(p);
                    PBMainDragDrop(i.x(), i.y());
                }
            });
}

void TFrmFR0010MN::PBMainMouseDown(Qt::MouseButton button, int x, int y) {
    if (!Doc.DocumentOpen())
        return;
    if (button == Qt::RightButton || button == Qt::MiddleButton) {
        for (int panel : {PanelBandCorners, PanelBandSize, PanelMarkerPosition})
            SetStatusText(panel, QString());
        Doc.ClearSelection();
        return;
    }
    if (button != Qt::LeftButton)
        return;

    const int32_t key = Doc.Map().MarkerAtPoint(x, y);
    if (key != NoKey) {
        Doc.Select(key);
        const Markers::Marker* marker = Doc.Map().MarkerOf(key);
        ShowMarkerPosition(marker->Left, marker->Top);
        // The threshold is a distance the hand moves: it counts on the screen, from the press.
        DragMachine.BeginDrag(PBMain, PBMain->mapToGlobal(PressPoint));
        return;
    }

    // Empty image: a rubber band begins; the old selection rectangle stays until the release.
    Doc.Select(NoKey);
    SetStatusText(PanelMarkerPosition, QString());
    RubberBand = {true, x, y, x, y};
}

void TFrmFR0010MN::PBMainMouseMove(int x, int y) {
    if (!Doc.DocumentOpen() || !RubberBand.Active)
        return;
    const int32_t cx = Markers::ClampToExtent(x, Doc.ImageWidth());
    const int32_t cy = Markers::ClampToExtent(y, Doc.ImageHeight());
    UpdateRubberBand(cx, cy);
    SetStatusText(PanelBandCorners, QStringLiteral("□ (%1,%2) - (%3,%4)")
                                        .arg(RubberBand.AnchorX)
                                        .arg(RubberBand.AnchorY)
                                        .arg(cx)
                                        .arg(cy));
    SetStatusText(PanelBandSize, QStringLiteral("□ W %1 × H %2")
                                     .arg(std::abs(int64_t{RubberBand.AnchorX} - cx))
                                     .arg(std::abs(int64_t{RubberBand.AnchorY} - cy)));
}

// The release of any button ends the rubber band.
void TFrmFR0010MN::PBMainMouseUp() {
    if (!RubberBand.Active)
        return;
    // A band the document went away under just ends, so it cannot come back with the next one.
    RubberBand.Active = false;
    if (!Doc.DocumentOpen())
        return;
    const RubberBandState& band = RubberBand;
    // The composed image has no outline, so either also takes the band off the screen.
    // The click tolerance is a distance on the screen, whatever the zoom.
    const QPoint anchor = View->ToSurface(QPoint(band.AnchorX, band.AnchorY));
    const QPoint end = View->ToSurface(QPoint(band.EndX, band.EndY));
    if (Markers::IsClickGesture(anchor.x(), anchor.y(), end.x(), end.y())) {
        SetStatusText(PanelBandCorners, QString());
        SetStatusText(PanelBandSize, QString());
        Doc.ClearSelectionRect();
    } else {
        Doc.SetSelectionRect(
            Markers::NormalizedRect(band.AnchorX, band.AnchorY, band.EndX, band.EndY));
    }
}

void TFrmFR0010MN::PBMainStartDrag() {
    DragFromCanvas = true;
}

namespace {

// The marker a drop at (x, y) makes: a palette number at the document's marker size, a moved
// marker at its own size (an odd rectangle from a file at the document's).
Markers::Marker droppedMarker(const Document::Session& doc, bool fromCanvas, int x, int y) {
    int32_t side = doc.MarkerSize();
    if (fromCanvas) {
        if (const Markers::Marker* moving = doc.Map().MarkerOf(doc.Map().SelectedKey))
            side = Markers::OwnMarkerSize(*moving, side);
    }
    return Markers::MarkerAtDropPoint(x, y, side, side);
}

}  // namespace

void TFrmFR0010MN::PBMainDragOver(int x, int y, bool& accept) {
    accept = true;
    const Markers::Marker landing = droppedMarker(Doc, DragFromCanvas, x, y);
    ShowMarkerPosition(landing.Left, landing.Top);
}

// Wherever a marker was grabbed, it lands with its pixel (15, 15) under the drop point (the
// pixel side / 2 - 1 of a marker of another size). A marker that went away during the drag
// (nothing selected any more), or a palette number that was placed meanwhile, drops nothing.
void TFrmFR0010MN::PBMainDragDrop(int x, int y) {
    const Markers::Marker dropped = droppedMarker(Doc, DragFromCanvas, x, y);
    if (DragFromCanvas)
        Doc.MoveSelected(dropped);
    else
        Doc.Place(DGMain->Col(), dropped);
}

// The guide lines go to the selected marker; the first press of the double-click selected it.
void TFrmFR0010MN::PBMainDblClick() {
    if (Doc.Map().SelectedKey == NoKey)
        return;
    Doc.ShowGuides(Doc.Map().SelectedKey);
}

void TFrmFR0010MN::ShowMarkerPosition(int32_t left, int32_t top) {
    SetStatusText(PanelMarkerPosition, QStringLiteral("L : %1 T : %2").arg(left).arg(top));
}

// The band's outline on the surface: one pixel wide at every zoom, its corners at the view
// pixels of the image pixels it runs between.
static std::vector<QRect> bandStrips(const CanvasView& view,
                                     const TFrmFR0010MN::RubberBandState& band) {
    const QPoint a = view.ToSurface(QPoint(band.AnchorX, band.AnchorY));
    const QPoint e = view.ToSurface(QPoint(band.EndX, band.EndY));
    return Markers::OutlineStrips(a.x(), a.y(), e.x(), e.y());
}

// The band lives on the screen only: its outline is the composed image's own pixels inverted,
// drawn after them in every paint while the band is active. At other zooms the pixels inverted
// are the ones just painted.
void TFrmFR0010MN::PaintRubberBand(QPainter* canvas, const QRect& clip) {
    Platform::Bitmap* image = Doc.Compositor().CanvasBitmap();
    if (!RubberBand.Active || !image || image->isNull())
        return;
    if (!View->ActualSize()) {
        canvas->save();
        canvas->setCompositionMode(QPainter::RasterOp_NotDestination);
        const QRect picture(QPoint(0, 0), View->Mapping().ViewSize());
        for (const QRect& strip : bandStrips(*View, RubberBand)) {
            const QRect r = strip.intersected(clip).intersected(picture);
            if (!r.isEmpty())
                canvas->fillRect(r, Qt::black);
        }
        canvas->restore();
        return;
    }
    const QImage view = image->view();
    for (const QRect& strip : Markers::OutlineStrips(RubberBand.AnchorX, RubberBand.AnchorY,
                                                     RubberBand.EndX, RubberBand.EndY)) {
        const QRect r = strip.intersected(clip).intersected(view.rect());
        if (r.isEmpty())
            continue;
        QImage inverted = view.copy(r);
        inverted.invertPixels();
        canvas->drawImage(r.topLeft(), inverted);
    }
}

// A move of the band costs the repaint of two outlines, never a composition.
void TFrmFR0010MN::UpdateRubberBand(int32_t ex, int32_t ey) {
    QRegion dirty;
    for (const QRect& r : bandStrips(*View, RubberBand))
        dirty += r;
    RubberBand.EndX = ex;
    RubberBand.EndY = ey;
    for (const QRect& r : bandStrips(*View, RubberBand))
        dirty += r;
    if (dirty.isEmpty())
        return;
    PBMain->update(dirty);
}
