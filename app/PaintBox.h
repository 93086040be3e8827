#pragma once

#include <QWidget>

class QPainter;

// A plain paint surface. It draws nothing itself: every paint is handed to whoever listens to
// paint(), which must cover the whole clip rectangle (the surface is opaque, so nothing is
// erased first). Mouse events are passed on as button and position.
class PaintBox : public QWidget {
    Q_OBJECT
public:
    explicit PaintBox(QWidget* parent = nullptr);

signals:
    // canvas paints on this surface, clipped to clip.
    void paint(QPainter* canvas, const QRect& clip);
    void mouseDown(Qt::MouseButton button, int x, int y);
    void mouseMove(int x, int y);
    void mouseUp(Qt::MouseButton button, int x, int y);
    void dblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
