#include "PaintBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void PaintBox::paintEvent(QPaintEvent* event) {
    QPainter canvas(this);
    emit paint(&canvas, event->rect());
}

void PaintBox::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseDown(event->button(), p.x(), p.y());
}

void PaintBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseMove(p.x(), p.y());
}

void PaintBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseUp(event->button(), p.x(), p.y());
}

void PaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double-click is also a press, as the handlers expect.
    emit dblClick();
    mousePressEvent(event);
}
