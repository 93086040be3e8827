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

void TFrmFR0010MN::ViewCanvasChanged() {
    const QRect stale = Doc.StaleScreenRegion();
    if (stale == QRect(0, 0, Doc.ImageWidth(), Doc.ImageHeight()))
        View->InvalidateAll();
    else
        View->Invalidate(stale);
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
