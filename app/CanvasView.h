#pragma once

#include "ViewMapping.h"
#include "ZoomedPicture.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QTimer>

class PaintBox;
class QImage;
class QPainter;
class QScrollArea;

// The zoom and the scrolling of the image area: the paint surface inside its scroll area is
// the zoomed picture (its size the image's at the zoom), and this object maps its points to
// image pixels and back, paints the composed picture at the zoom, zooms with Ctrl+wheel and
// pinches about the pointer, scrolls sideways with Shift+wheel, scrolls a drag held at the
// view's edge and shows a marker that is out of sight. The arithmetic is View::ViewMapping's.
//
// Decorations keep their on-screen look at every zoom: one-pixel lines and the same handles at
// the view pixels where the image pixels lie. At 100 % they are the composed image's own pixels;
// at other zooms the window draws them over the scaled picture (the rubber band always). The
// markers are part of the picture and scale with it.
class CanvasView : public QObject {
    Q_OBJECT
public:
    CanvasView(QScrollArea* area, PaintBox* surface, QObject* parent = nullptr);

    const View::ViewMapping& Mapping() const noexcept { return m_mapping; }
    int Step() const noexcept { return m_mapping.Step(); }
    bool ActualSize() const noexcept { return m_mapping.ActualSize(); }
    // The zoom as the status bar shows it: "100%", "12.5%", "67%".
    QString ZoomText() const;

    // A new image size (0 x 0 without an image); the zoom stays.
    void SetImageSize(QSize size);
    // Zooms to `step`, keeping the image point under `anchor` (a viewport point) in place.
    void SetStep(int step, QPoint anchor);
    void SetStep(int step);  // about the viewport's centre
    void ZoomBy(int direction);
    void Fit();
    int FitStep() const;

    QPoint ToImage(QPoint surface) const { return m_mapping.ToImage(surface); }
    QPoint ToSurface(QPoint image) const { return m_mapping.ToView(image); }
    QRect ToSurface(const QRect& image) const { return m_mapping.ToView(image); }

    // The composed pixels of `imageRegion` changed: the surface repaints that much.
    void Invalidate(const QRect& imageRegion);
    void InvalidateAll();
    // Paints `clip` (surface coordinates) of the composed picture at the zoom.
    void Paint(QPainter& painter, const QRect& clip, const QImage& composed);

    // Scrolls just enough to show the image rectangle.
    void EnsureVisible(const QRect& image);
    QPoint ScrollPosition() const;
    void ScrollTo(QPoint position);
    // PageUp/PageDown, Home/End (Ctrl: the corners); true when the key was one of them.
    bool ScrollKey(int key, Qt::KeyboardModifiers modifiers);

    // A drag is held at `global`: near or past the viewport's edge, the view scrolls after a
    // short delay in steady ticks, each raising autoScrolled so the drag follows.
    void AutoScrollAt(QPoint global);
    void StopAutoScroll();
    bool AutoScrolling() const { return m_autoScroll.isActive(); }

signals:
    void zoomChanged();
    // The view scrolled under a drag held still at `global`.
    void autoScrolled(QPoint global);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSize ViewportSize() const;
    void ApplySize();
    void AutoScrollTick();

    QScrollArea* m_area;
    PaintBox* m_surface;
    View::ViewMapping m_mapping;
    View::ZoomedPicture m_picture;
    QTimer m_autoScroll;
    QPoint m_dragGlobal;
    bool m_armed = false;
    double m_pinch = 0;
};
