// The view through the window: the menu 表示 and the zoom panel, placing and dragging at other
// zooms, a drag held at the view's edge, and the view following a typed placement. The
// arithmetic itself is tested in tests/view.
#include "CanvasView.h"
#include "StatusPanel.h"
#include "WindowTestSupport.h"

#include <QScrollArea>
#include <QScrollBar>

using Gui::DocumentWindowTest;
using Markers::MakeMarker;

namespace {

class ViewTest : public DocumentWindowTest {
protected:
    CanvasView& view() { return *window->View; }
    QWidget* viewport() { return window->ScbMain->viewport(); }
    void zoomTo(int step) {
        view().SetStep(step);
        view().ScrollTo({0, 0});
        flush();
    }
    // The middle of an image pixel's block on the paint surface.
    QPoint onSurface(QPoint pixel) {
        const QRect block = view().ToSurface(QRect(pixel, QSize(1, 1)));
        return block.topLeft() + QPoint((block.width() - 1) / 2, (block.height() - 1) / 2);
    }
};

}  // namespace

TEST_F(ViewTest, ViewMenuZoomsAndThePanelShowsIt) {
    EXPECT_EQ(window->MnuZoomIn->shortcuts(),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl++")),
                                   QKeySequence(QStringLiteral("Ctrl+="))}));
    EXPECT_EQ(window->StbZoomPanel->text(), QStringLiteral(" 100%"));
    const struct {
        QAction* item;
        QString panel;
        QSize surface;
    } steps[] = {
        {window->MnuZoomIn, QStringLiteral(" 150%"), {960, 720}},
        {window->MnuZoomOut, QStringLiteral(" 100%"), {640, 480}},
        {window->MnuZoomOut, QStringLiteral(" 67%"), {426, 320}},
        {window->MnuZoomOut, QStringLiteral(" 50%"), {320, 240}},
        {window->MnuZoomOut, QStringLiteral(" 33%"), {213, 160}},
        {window->MnuZoomOut, QStringLiteral(" 25%"), {160, 120}},
        {window->MnuZoomOut, QStringLiteral(" 12.5%"), {80, 60}},
        {window->MnuActualSize, QStringLiteral(" 100%"), {640, 480}},
    };
    for (const auto& s : steps) {
        s.item->trigger();
        EXPECT_EQ(window->StbZoomPanel->text(), s.panel) << s.item->text().toStdString();
        EXPECT_EQ(window->PBMain->size(), s.surface) << s.item->text().toStdString();
    }
    // Fit: the largest step that shows the whole image in the window as it is.
    window->resize(500, 400);
    flush();
    window->MnuFitWindow->trigger();
    const QSize shown = viewport()->size();
    EXPECT_TRUE(QRect(QPoint(0, 0), shown).contains(QRect(QPoint(0, 0), window->PBMain->size())));
    window->MnuZoomIn->trigger();
    EXPECT_FALSE(QRect(QPoint(0, 0), shown).contains(QRect(QPoint(0, 0), window->PBMain->size())));
    // The status bar keeps showing image pixels.
    EXPECT_EQ(panel(1), QStringLiteral(" W 640 × H 480"));

    // Ctrl+wheel zooms about the pointer: the image pixel under it stays under it.
    window->MnuActualSizeClick();
    flush();
    const QPoint at(200, 150);
    const QPoint before = view().ToImage(window->PBMain->mapFrom(viewport(), at));
    QWheelEvent wheel(at, viewport()->mapToGlobal(at), {}, {0, 120}, Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(viewport(), &wheel);
    flush();
    EXPECT_EQ(window->StbZoomPanel->text(), QStringLiteral(" 150%"));
    EXPECT_EQ(view().ToImage(window->PBMain->mapFrom(viewport(), at)), before);
}

// A number dropped, and a marker dragged, land under the same image pixel at every zoom.
TEST_F(ViewTest, PlacingAndDraggingWorkInImagePixelsAtAnyZoom) {
    for (int step : {1, 5, 9}) {
        SCOPED_TRACE(step);
        openImage(640, 480);
        zoomTo(step);
        // Pixels at multiples of 4 have view pixels of their own at 25 %.
        dragFromPalette(0, image(), onSurface({40, 32}));
        ASSERT_NE(markerOf(0), nullptr);
        EXPECT_EQ(*markerOf(0), MakeMarker(25, 17));

        dragOnImage(onSurface({30, 20}), image(), onSurface({100, 80}));
        EXPECT_EQ(*markerOf(0), MakeMarker(85, 65));
        EXPECT_EQ(panel(4), QStringLiteral(" L : 85 T : 65"));

        // A rubber band between two image pixels selects in image pixels.
        press(image(), onSurface({120, 48}));
        QTest::mouseMove(image(), onSurface({152, 88}));
        QTest::mouseRelease(image(), Qt::LeftButton, {}, onSurface({152, 88}));
        EXPECT_EQ(window->Doc.Map().SelectionRect, (Markers::TRect{120, 48, 152, 88}));
    }
}

// Held still near the view's edge, a drag scrolls the view and drops where the pointer is then.
TEST_F(ViewTest, ADragHeldAtTheEdgeScrollsTheView) {
    zoomTo(9);
    const QPoint edge(viewport()->width() / 2, viewport()->height() - 3);
    press(palette(), cell(4));
    QTest::mouseMove(palette(), cell(4) + QPoint(0, 6));
    moveHeld(palette(), viewport(), QPoint(100, 100));
    moveHeld(palette(), viewport(), edge);
    QTest::qWait(800);
    const int scrolled = window->ScbMain->verticalScrollBar()->value();
    EXPECT_GT(scrolled, 0);
    // The drop is under the pointer in the scrolled view.
    const QPoint pixel = view().ToImage(window->PBMain->mapFrom(viewport(), edge));
    releaseHeld(palette(), viewport(), edge);
    ASSERT_NE(markerOf(4), nullptr);
    EXPECT_EQ(*markerOf(4), MakeMarker(pixel.x() - 15, pixel.y() - 15));
    QTest::qWait(200);
    EXPECT_EQ(window->ScbMain->verticalScrollBar()->value(), scrolled) << "stops with the drag";
}

// A number typed and entered lands in the image's middle, out of sight at 400 %: the view
// scrolls to show it; Ctrl+Home goes back to the top-left corner.
TEST_F(ViewTest, TheViewFollowsATypedPlacement) {
    zoomTo(9);
    QTest::keyClick(window.get(), Qt::Key_7);
    QTest::keyClick(window.get(), Qt::Key_Return);
    flush();
    ASSERT_NE(markerOf(6), nullptr);
    const QRect shown(view().ScrollPosition(), viewport()->size());
    EXPECT_TRUE(
        shown.contains(view().ToSurface(QRect(markerOf(6)->Left, markerOf(6)->Top, 32, 32))));
    QTest::keyClick(window.get(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view().ScrollPosition(), QPoint(0, 0));
    QTest::keyClick(window.get(), Qt::Key_PageDown);
    EXPECT_EQ(view().ScrollPosition(), QPoint(0, viewport()->height()));
}

// The selection handles keep their size on the screen at other zooms, at the marker's corners.
TEST_F(ViewTest, SelectionHandlesKeepTheirScreenSize) {
    place(2, 40, 40);
    window->Doc.Select(2);
    const auto handles = [this](int step) {
        zoomTo(step);
        const QImage shown = window->PBMain->grab().toImage();
        int red = 0;
        QRect where;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb c = shown.pixel(x, y);
                if (qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80) {
                    ++red;
                    where |= QRect(x, y, 1, 1);
                }
            }
        return std::make_pair(red, where);
    };
    const auto [atActual, actualBox] = handles(5);
    ASSERT_GT(atActual, 0);
    // How far inside the marker's corners the handles begin and end.
    const QMargins inset(actualBox.left() - 40, actualBox.top() - 40, 71 - actualBox.right(),
                         71 - actualBox.bottom());
    // At 50 % the marker is 16 pixels on the screen, just room for its four 6-pixel handles.
    for (int step : {3, 9}) {
        const auto [count, box] = handles(step);
        EXPECT_EQ(count, atActual) << step;
        EXPECT_EQ(box, view().ToSurface(QRect(40, 40, 32, 32)) - inset) << step;
    }
}
