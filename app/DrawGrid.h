#pragma once

#include <QAbstractScrollArea>

class QPainter;

// A grid of equal cells whose every cell is drawn by the owner through drawCell(). It scrolls
// sideways by whole columns (LeftCol is the first column shown), has no fixed cells, no grid
// lines and no highlight, and fills the space outside its cells in its own colour. A left press
// makes the pressed cell the current one (Col) before mouseDown() is raised.
class DrawGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit DrawGrid(QWidget* parent = nullptr);

    int ColCount() const noexcept { return m_colCount; }
    int RowCount() const noexcept { return m_rowCount; }
    void SetGridSize(int colCount, int rowCount);
    int DefaultColWidth() const noexcept { return m_colWidth; }
    int DefaultRowHeight() const noexcept { return m_rowHeight; }
    void SetCellSize(int width, int height);
    QColor Color() const noexcept { return m_color; }
    void SetColor(const QColor& color);

    int LeftCol() const;
    void SetLeftCol(int column);
    int Col() const noexcept { return m_col; }
    int Row() const noexcept { return m_row; }

    // The cell under a point of the grid's client area, or -1 for each coordinate outside
    // every cell.
    void MouseToCell(int x, int y, int& column, int& row) const;
    // A cell's rectangle in client coordinates (scrolled), also for cells out of view.
    QRect CellRect(int column, int row) const;

    // Skip the background erase before each paint: the grid covers every pixel itself.
    void SetOpaquePaint(bool opaque);

signals:
    void drawCell(QPainter* canvas, int column, int row, const QRect& rect);
    void mouseDown(Qt::MouseButton button, int x, int y);
    void mouseMove(int x, int y);
    void mouseUp(Qt::MouseButton button, int x, int y);
    // A double-click of the left button, raised before the press of its second click.
    void dblClick();
    // The handler may set key to 0 to keep the grid from acting on it.
    void keyDown(int& key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    void UpdateScrollRange();

    int m_colCount = 5;
    int m_rowCount = 5;
    int m_colWidth = 64;
    int m_rowHeight = 24;
    int m_col = 0;
    int m_row = 0;
    QColor m_color = Qt::white;
};
