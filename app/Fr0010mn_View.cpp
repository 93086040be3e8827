// The main window's view of the image: the menu 表示 (zoom in and out, actual size, fit to the
// window), the zoom panel, Ctrl+wheel and pinch zoom about the pointer, the page keys, a view
// that scrolls under a drag held at its edge and follows the marker an edit concerns, and the
// window's first size for a large image. Every document rule stays in image pixels; the
// canvas view (CanvasView) maps the paint surface to them.
#include "CanvasView.h"
#include "Fr0010mn.h"
#include "StatusPanel.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace {

constexpr int kZoomPanelWidth = 70;

// Keeps the zoom panel as tall as the strip of panels it stands in.
class PanelHeight : public QObject {
public:
    PanelHeight(QWidget* strip, QWidget* panel) : QObject(panel), m_panel(panel) {
        strip->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            m_panel->resize(m_panel->width(), static_cast<QWidget*>(watched)->height());
        return false;
    }

private:
    QWidget* m_panel;
};

}  // namespace

void TFrmFR0010MN::ConnectView() {
    View = new CanvasView(ScbMain, PBMain, this);

    // Ctrl++ and Ctrl+= both zoom in: "+" is a shifted key on most layouts.
    MnuView = new QMenu(QStringLiteral("表示(&V)"), MnuMain);
    MnuView->setObjectName(QStringLiteral("MnuView"));
    MnuMain->insertMenu(MnuOption->menuAction(), MnuView);
    const auto add = [this](const char* name, const QString& text, const QList<QKeySequence>& keys,
                            void (TFrmFR0010MN::*slot)()) {
        QAction* a = MnuView->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    MnuZoomIn = add("MnuZoomIn", QStringLiteral("拡大(&I)"),
                    {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
                    &TFrmFR0010MN::MnuZoomInClick);
    MnuZoomOut = add("MnuZoomOut", QStringLiteral("縮小(&O)"),
                     {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &TFrmFR0010MN::MnuZoomOutClick);
    MnuActualSize = add("MnuActualSize", QStringLiteral("実際のサイズ(&A)"),
                        {QKeySequence(Qt::CTRL | Qt::Key_0)}, &TFrmFR0010MN::MnuActualSizeClick);
    MnuFitWindow = add("MnuFitWindow", QStringLiteral("ウィンドウに合わせる(&F)"),
                       {QKeySequence(Qt::CTRL | Qt::Key_9)}, &TFrmFR0010MN::MnuFitWindowClick);

    int left = 0;
    for (StatusPanel* panel : StbPanels)
        left += panel->width();
    StbZoomPanel = new StatusPanel(m_panelStrip);
    StbZoomPanel->setObjectName(QStringLiteral("StbZoomPanel"));
    StbZoomPanel->setGeometry(left, 0, kZoomPanelWidth, m_panelStrip->height());
    new PanelHeight(m_panelStrip, StbZoomPanel);

    connect(View, &CanvasView::zoomChanged, this, &TFrmFR0010MN::ShowZoom);
    // At 100 % the decorations are the composed image's own pixels, as they always were; at
    // any other zoom the view draws them, so they keep their size on the screen.
    connect(View, &CanvasView::zoomChanged, this, [this] {
        Doc.SetScreenDecorations(View->ActualSize());
        View->InvalidateAll();
    });
    // A drag held still at the edge goes on over the scrolled view: the band's end or the
    // drop position follow the image under the pointer.
    connect(View, &CanvasView::autoScrolled, this, [this](QPoint global) {
        if (RubberBand.Active) {
            const QPoint p = View->ToImage(PBMain->mapFromGlobal(global));
            PBMainMouseMove(p.x(), p.y());
        } else if (DragMachine.CurrentState() == Platform::DragMachine::State::Dragging) {
            DragMachine.MouseMove(global);
        }
    });
    connect(&DragMachine, &Platform::DragMachine::endDrag, View, &CanvasView::StopAutoScroll);
    ShowZoom();
}

void TFrmFR0010MN::ShowZoom() {
    const bool open = Doc.DocumentOpen();
    StbZoomPanel->setText(open ? QStringLiteral(" ") + View->ZoomText() : QString());
    MnuZoomIn->setEnabled(open && View->Step() < View::kLastStep);
    MnuZoomOut->setEnabled(open && View->Step() > 0);
    MnuActualSize->setEnabled(open);
    MnuFitWindow->setEnabled(open);
}

void TFrmFR0010MN::MnuZoomInClick() {
    if (Doc.DocumentOpen())
        View->ZoomBy(+1);
}

void TFrmFR0010MN::MnuZoomOutClick() {
    if (Doc.DocumentOpen())
        View->ZoomBy(-1);
}

void TFrmFR0010MN::MnuActualSizeClick() {
    if (Doc.DocumentOpen())
        View->SetStep(View::kActualSizeStep);
}

void TFrmFR0010MN::MnuFitWindowClick() {
    if (Doc.DocumentOpen())
        View->Fit();
}

void TFrmFR0010MN::ViewImageSizeChanged(Document::Changes what) {
    View->SetImageSize(QSize(Doc.ImageWidth(), Doc.ImageHeight()));
    if ((what & Document::Change::Reset) && Doc.DocumentOpen())
        ViewOpenImage();
    ShowZoom();
}

// The window grows toward the image (never past the screen's free area, never smaller than it
// is); an image larger than that area opens fitted, any other at 100 %, so a screenshot of a
// window shows pixel for pixel and one of a whole screen shows whole.
void TFrmFR0010MN::ViewOpenImage() {
    const QSize image(Doc.ImageWidth(), Doc.ImageHeight());
    QScreen* screen = windowHandle() ? windowHandle()->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    View->SetStep(View::kActualSizeStep);
    View->ScrollTo({0, 0});
    if (area.isEmpty())
        return;
    // The window system may size the window later than asked: the fit is chosen for the
    // viewport the new size gives, not the one there is now.
    QSize viewport = ScbMain->viewport()->size();
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        const QSize frame = frameGeometry().size() - size();
        const QSize wanted = size() + (image - viewport).expandedTo(QSize(0, 0));
        const QSize grown = wanted.boundedTo(area.size() - frame).expandedTo(size());
        if (grown != size()) {
            viewport += grown - size();
            resize(grown);
            QRect placed = frameGeometry();
            placed.moveRight(std::min(placed.right(), area.right()));
            placed.moveBottom(std::min(placed.bottom(), area.bottom()));
            placed.moveLeft(std::max(placed.left(), area.left()));
            placed.moveTop(std::max(placed.top(), area.top()));
            if (placed.topLeft() != frameGeometry().topLeft())
                move(placed.topLeft());
        }
    }
    if (image.width() > area.width() || image.height() > area.height())
        View->SetStep(View::ViewMapping::FitStep(image, viewport));
}

// Handles drawn at their screen size reach past a small marker's view pixels: the repaint
// takes that much more around a change.
constexpr int kDecorationReach = Markers::GlyphSize;

void TFrmFR0010MN::ViewCanvasChanged() {
    const QRect stale = Doc.StaleScreenRegion();
    if (stale == QRect(0, 0, Doc.ImageWidth(), Doc.ImageHeight())) {
        View->InvalidateAll();
        return;
    }
    View->Invalidate(stale);
    if (!View->ActualSize() && !stale.isEmpty())
        PBMain->update(View->ToSurface(stale).adjusted(-kDecorationReach, -kDecorationReach,
                                                       kDecorationReach, kDecorationReach));
}

void TFrmFR0010MN::PaintViewDecorations(QPainter* canvas, const QRect& clip) {
    if (View->ActualSize() || Doc.ScreenDecorations())
        return;
    const Markers::MarkerMap& map = Doc.Map();
    const auto viewRect = [this](const Markers::TRect& r) {
        return View->ToSurface(QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1)));
    };
    canvas->save();
    canvas->setClipRect(clip);
    canvas->setBrushOrigin(0, 0);
    if (map.HasSelectionRect()) {
        // White diagonal hatch on an 8-pixel pattern inside a one-pixel black outline.
        const QRect r = viewRect(map.SelectionRect);
        canvas->fillRect(r.adjusted(1, 1, -1, -1), QBrush(Qt::white, Qt::DiagCrossPattern));
        canvas->setPen(QPen(Qt::black, 0));
        canvas->setBrush(Qt::NoBrush);
        canvas->drawRect(r.adjusted(0, 0, -1, -1));
    }
    if (const Markers::Marker* g = map.MarkerOf(map.GuideKey)) {
        // Runs of three black and three white pixels, across the whole picture.
        const QRect r = viewRect(*g);
        const QSize size = View->Mapping().ViewSize();
        QPen dots(Qt::black, 0, Qt::CustomDashLine);
        dots.setDashPattern({3, 3});
        canvas->setBackgroundMode(Qt::OpaqueMode);
        canvas->setBackground(Qt::white);
        canvas->setPen(dots);
        for (int row : {r.top(), r.bottom()})
            canvas->drawLine(0, row, size.width() - 1, row);
        for (int column : {r.left(), r.right()})
            canvas->drawLine(column, 0, column, size.height() - 1);
    }
    if (const Markers::Marker* m = map.MarkerOf(map.SelectedKey)) {
        // The overlay's four corners, each at its corner of the marker on the screen.
        Platform::Bitmap glyph(Markers::GlyphSize, Markers::GlyphSize, 24);
        glyph.view().fill(QColor::fromRgb(Markers::kOliveRgb));
        Doc.Compositor().ILBits().Draw(glyph, 0, 0, Markers::SelectedGlyph);
        QImage overlay = glyph.view().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < overlay.height(); ++y)
            for (int x = 0; x < overlay.width(); ++x)
                if ((overlay.pixel(x, y) & 0xFFFFFF) == (Markers::kOliveRgb & 0xFFFFFF))
                    overlay.setPixel(x, y, 0);
        const QRect r = viewRect(*m);
        const int half = Markers::GlyphSize / 2;
        canvas->drawImage(r.topLeft(), overlay, QRect(0, 0, half, half));
        canvas->drawImage(QPoint(r.right() + 1 - half, r.top()), overlay,
                          QRect(half, 0, half, half));
        canvas->drawImage(QPoint(r.left(), r.bottom() + 1 - half), overlay,
                          QRect(0, half, half, half));
        canvas->drawImage(QPoint(r.right() + 1 - half, r.bottom() + 1 - half), overlay,
                          QRect(half, half, half, half));
    }
    canvas->restore();
}

// The selected marker, after an edit that placed, selected or moved it away from the pointer,
// is scrolled into view just far enough.
void TFrmFR0010MN::ViewFollowSelection() {
    if (const Markers::Marker* m = Doc.Map().MarkerOf(Doc.Map().SelectedKey))
        View->EnsureVisible(QRect(QPoint(m->Left, m->Top), QPoint(m->Right - 1, m->Bottom - 1)));
}

bool TFrmFR0010MN::ViewScrollKey(int Key, Qt::KeyboardModifiers Shift) {
    return View->ScrollKey(Key, Shift);
}
