#include "CanvasView.h"

#include "PaintBox.h"

#include <QApplication>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The pause before a drag at the edge scrolls, then the tick of the scrolling.
constexpr int kAutoScrollDelayMs = 300;
constexpr int kAutoScrollTickMs = 40;
// A pinch zooms one step per this much accumulated scale change.
constexpr double kPinchPerStep = 0.25;

}  // namespace

CanvasView::CanvasView(QScrollArea* area, PaintBox* surface, QObject* parent)
    : QObject(parent), m_area(area), m_surface(surface) {
    m_area->viewport()->installEventFilter(this);
    m_surface->installEventFilter(this);
    // The arrow keys nudge markers and the page keys are the window's: the scroll area itself
    // never takes the keyboard.
    m_area->setFocusPolicy(Qt::NoFocus);
    m_autoScroll.setSingleShot(false);
    connect(&m_autoScroll, &QTimer::timeout, this, &CanvasView::AutoScrollTick);
}

// Whole percents, but for the one step that is an exact half (12.5 %).
QString CanvasView::ZoomText() const {
    const View::ZoomFactor f = m_mapping.Factor();
    const int tenths = static_cast<int>((1000 * f.Num + f.Den / 2) / f.Den);
    if (1000 * f.Num % f.Den == 0 && tenths % 10 != 0)
        return QStringLiteral("%1.%2%").arg(tenths / 10).arg(tenths % 10);
    return QStringLiteral("%1%").arg((100 * f.Num + f.Den / 2) / f.Den);
}

void CanvasView::SetImageSize(QSize size) {
    m_mapping.SetImageSize(size);
    m_picture.InvalidateAll();
    ApplySize();
}

void CanvasView::ApplySize() {
    m_surface->resize(m_mapping.ViewSize());
}

QSize CanvasView::ViewportSize() const {
    return m_area->viewport()->size();
}

QPoint CanvasView::ScrollPosition() const {
    return {m_area->horizontalScrollBar()->value(), m_area->verticalScrollBar()->value()};
}

void CanvasView::ScrollTo(QPoint position) {
    const QPoint p = m_mapping.ClampScroll(position, ViewportSize());
    m_area->horizontalScrollBar()->setValue(p.x());
    m_area->verticalScrollBar()->setValue(p.y());
}

void CanvasView::SetStep(int step, QPoint anchor) {
    const int to = std::clamp(step, 0, View::kLastStep);
    if (to == m_mapping.Step())
        return;
    const QPoint scroll =
        m_mapping.ScrollAfterZoom(m_mapping.Step(), to, ScrollPosition(), anchor, ViewportSize());
    m_mapping.SetStep(to);
    ApplySize();
    m_surface->update();
    // The scroll bars take their new ranges from the resize first.
    m_area->horizontalScrollBar()->setRange(
        0, std::max(m_surface->width() - ViewportSize().width(), 0));
    m_area->verticalScrollBar()->setRange(
        0, std::max(m_surface->height() - ViewportSize().height(), 0));
    ScrollTo(scroll);
    emit zoomChanged();
}

void CanvasView::SetStep(int step) {
    const QSize v = ViewportSize();
    SetStep(step, QPoint(v.width() / 2, v.height() / 2));
}

void CanvasView::ZoomBy(int direction) {
    SetStep(View::ViewMapping::NextStep(m_mapping.Step(), direction));
}

int CanvasView::FitStep() const {
    return View::ViewMapping::FitStep(m_mapping.ImageSize(), ViewportSize());
}

void CanvasView::Fit() {
    SetStep(FitStep());
}

void CanvasView::Invalidate(const QRect& imageRegion) {
    if (imageRegion.isEmpty())
        return;
    m_picture.Invalidate(imageRegion);
    m_surface->update(m_mapping.ToView(imageRegion));
}

void CanvasView::InvalidateAll() {
    m_picture.InvalidateAll();
    m_surface->update();
}

void CanvasView::Paint(QPainter& painter, const QRect& clip, const QImage& composed) {
    m_picture.Paint(painter, clip, composed, m_mapping);
}

void CanvasView::EnsureVisible(const QRect& image) {
    ScrollTo(m_mapping.EnsureVisible(image, ScrollPosition(), ViewportSize()));
}

bool CanvasView::ScrollKey(int key, Qt::KeyboardModifiers modifiers) {
    const QPoint s = ScrollPosition();
    const QSize v = ViewportSize();
    const bool ctrl = modifiers & Qt::ControlModifier;
    const int far = std::numeric_limits<int>::max() / 2;
    switch (key) {
        case Qt::Key_PageUp:
            ScrollTo(s - QPoint(0, v.height()));
            return true;
        case Qt::Key_PageDown:
            ScrollTo(s + QPoint(0, v.height()));
            return true;
        case Qt::Key_Home:
            ScrollTo(ctrl ? QPoint(0, 0) : QPoint(0, s.y()));
            return true;
        case Qt::Key_End:
            ScrollTo(ctrl ? QPoint(far, far) : QPoint(far, s.y()));
            return true;
        default:
            return false;
    }
}

void CanvasView::AutoScrollAt(QPoint global) {
    m_dragGlobal = global;
    const QPoint p = m_area->viewport()->mapFromGlobal(global);
    const QSize v = ViewportSize();
    // A drag that comes from outside (the palette) scrolls only once it has been over the view.
    if (QRect(QPoint(0, 0), v).contains(p))
        m_armed = true;
    const bool atEdge =
        View::AutoScrollStep(p.x(), v.width()) != 0 || View::AutoScrollStep(p.y(), v.height()) != 0;
    if (!m_armed || !atEdge) {
        m_autoScroll.stop();
        return;
    }
    if (!m_autoScroll.isActive())
        m_autoScroll.start(kAutoScrollDelayMs);
}

void CanvasView::StopAutoScroll() {
    m_autoScroll.stop();
    m_armed = false;
}

void CanvasView::AutoScrollTick() {
    m_autoScroll.setInterval(kAutoScrollTickMs);
    const QPoint p = m_area->viewport()->mapFromGlobal(m_dragGlobal);
    const QSize v = ViewportSize();
    const QPoint before = ScrollPosition();
    ScrollTo(before + QPoint(View::AutoScrollStep(p.x(), v.width()),
                             View::AutoScrollStep(p.y(), v.height())));
    if (ScrollPosition() != before)
        emit autoScrolled(m_dragGlobal);
}

bool CanvasView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint anchor = m_area->viewport()->mapFromGlobal(wheel->globalPosition().toPoint());
        const int delta =
            wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->angleDelta().x();
        if (wheel->modifiers() & Qt::ControlModifier) {
            if (delta != 0 && m_mapping.ImageSize().isValid())
                SetStep(View::ViewMapping::NextStep(m_mapping.Step(), delta), anchor);
            return true;
        }
        if (wheel->modifiers() & Qt::ShiftModifier) {
            // A wheel click scrolls as far sideways as the scroll bar's own wheel step.
            QScrollBar* bar = m_area->horizontalScrollBar();
            const int lines = delta / 120 * QApplication::wheelScrollLines();
            bar->setValue(bar->value() -
                          (lines != 0 ? lines : (delta > 0 ? 1 : -1)) * bar->singleStep());
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::NativeGesture) {
        auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() != Qt::ZoomNativeGesture)
            return false;
        m_pinch += gesture->value();
        const QPoint anchor =
            m_area->viewport()->mapFromGlobal(gesture->globalPosition().toPoint());
        while (std::abs(m_pinch) >= kPinchPerStep) {
            const int direction = m_pinch > 0 ? 1 : -1;
            m_pinch -= direction * kPinchPerStep;
            SetStep(View::ViewMapping::NextStep(m_mapping.Step(), direction), anchor);
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}
