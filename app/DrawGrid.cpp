#include "DrawGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

DrawGrid::DrawGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    UpdateScrollRange();
}

void DrawGrid::SetGridSize(int colCount, int rowCount) {
    m_colCount = std::max(colCount, 0);
    m_rowCount = std::max(rowCount, 0);
    UpdateScrollRange();
    viewport()->update();
}

void DrawGrid::SetCellSize(int width, int height) {
    m_colWidth = std::max(width, 1);
    m_rowHeight = std::max(height, 1);
    UpdateScrollRange();
    viewport()->update();
}

void DrawGrid::SetColor(const QColor& color) {
    m_color = color;
    viewport()->update();
}

int DrawGrid::LeftCol() const {
    return horizontalScrollBar()->value();
}

void DrawGrid::SetLeftCol(int column) {
    horizontalScrollBar()->setValue(column);
}

void DrawGrid::SetOpaquePaint(bool opaque) {
    viewport()->setAutoFillBackground(!opaque);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, opaque);
    viewport()->setAttribute(Qt::WA_NoSystemBackground, opaque);
}

QRect DrawGrid::CellRect(int column, int row) const {
    return QRect((column - LeftCol()) * m_colWidth, row * m_rowHeight, m_colWidth, m_rowHeight);
}

void DrawGrid::MouseToCell(int x, int y, int& column, int& row) const {
    column = -1;
    row = -1;
    if (x < 0 || y < 0)
        return;
    const int c = x / m_colWidth + LeftCol();
    const int r = y / m_rowHeight;
    if (c < m_colCount && r < m_rowCount) {
        column = c;
        row = r;
    }
}

// Whole columns scroll: the range ends where the last column is fully in view.
void DrawGrid::UpdateScrollRange() {
    const int visible = std::max(viewport()->width() / m_colWidth, 1);
    QScrollBar* bar = horizontalScrollBar();
    bar->setRange(0, std::max(m_colCount - visible, 0));
    bar->setPageStep(visible);
    bar->setSingleStep(1);
}

void DrawGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

void DrawGrid::scrollContentsBy(int, int) {
    viewport()->update();
}

void DrawGrid::paintEvent(QPaintEvent* event) {
    QPainter canvas(viewport());
    const QRect area = event->rect();
    QRegion outside(area);
    const int first = LeftCol();
    for (int row = 0; row < m_rowCount; ++row) {
        for (int column = first; column < m_colCount; ++column) {
            const QRect cell = CellRect(column, row);
            if (cell.left() > area.right())
                break;
            if (!cell.intersects(area))
                continue;
            outside -= cell;
            canvas.save();
            canvas.setClipRect(cell);
            emit drawCell(&canvas, column, row, cell);
            canvas.restore();
        }
    }
    for (const QRect& r : outside)
        canvas.fillRect(r, m_color);
}

void DrawGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        int column = -1;
        int row = -1;
        MouseToCell(p.x(), p.y(), column, row);
        if (column >= 0 && row >= 0) {
            m_col = column;
            m_row = row;
        }
    }
    emit mouseDown(event->button(), p.x(), p.y());
}

void DrawGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseMove(p.x(), p.y());
}

void DrawGrid::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseUp(event->button(), p.x(), p.y());
}

void DrawGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // Reported as the double-click followed by a second press. Only the left button
    // double-clicks; with another button the second press is all there is.
    if (event->button() == Qt::LeftButton)
        emit dblClick();
    mousePressEvent(event);
}

void DrawGrid::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    emit keyDown(key);
    if (key == 0) {
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

QSize DrawGrid::sizeHint() const {
    return QSize(m_colWidth * 4, m_rowHeight + horizontalScrollBar()->sizeHint().height());
}

QSize DrawGrid::minimumSizeHint() const {
    return QSize(0, 0);
}
