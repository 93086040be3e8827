#pragma once

// The main window with a plain 640 x 480 image open, and the mouse gestures of editing: the
// events go where the window system sends them, so a pointer that left the pressed widget with
// the button held still reports to that widget.

#include "Bitmap.h"
#include "DrawGrid.h"
#include "PaintBox.h"
#include "WindowTestSupport.h"

#include <QCoreApplication>
#include <QImage>
#include <QScrollBar>

namespace Editing {

inline constexpr QRgb kSourceColour = qRgb(100, 150, 200);
inline constexpr QRgb kSilver = qRgb(192, 192, 192);

class EditingTest : public Gui::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window->resize(800, 600);
        openImage(640, 480);
    }

    void openImage(int width, int height) {
        QImage image(width, height, QImage::Format_RGB888);
        image.fill(kSourceColour);
        window->Doc.TakeSourceBitmap(Platform::Bitmap::fromQImage(image));
        window->Doc.Repaint();
        flush();
    }

    // Lets every pending repaint happen.
    static void flush() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    QWidget* palette() const { return window->DGMain->viewport(); }
    QWidget* image() const { return window->PBMain; }
    QPoint cell(int column) const { return window->DGMain->CellRect(column, 0).center(); }
    QString panel(int i) const { return window->StatusText(i); }
    const Markers::Marker* markerOf(int32_t key) const { return window->Doc.Map().MarkerOf(key); }

    // (x, y) of `over`, in the coordinates of the widget holding the mouse.
    static QPoint at(QWidget* holder, QWidget* over, QPoint p) {
        return holder->mapFromGlobal(over->mapToGlobal(p));
    }
    static void press(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(w, b, {}, p);
    }
    static void moveHeld(QWidget* holder, QWidget* over, QPoint p) {
        QTest::mouseMove(holder, at(holder, over, p));
    }
    static void releaseHeld(QWidget* holder, QWidget* over, QPoint p,
                            Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseRelease(holder, b, {}, at(holder, over, p));
    }
    // Press, release, double-click and its release, as the window system reports them.
    static void doubleClick(QWidget* w, QPoint p) {
        QTest::mouseClick(w, Qt::LeftButton, {}, p);
        QTest::mouseDClick(w, Qt::LeftButton, {}, p);
        QTest::mouseRelease(w, Qt::LeftButton, {}, p);
    }

    // A number dragged from its palette cell and released at p of `over`.
    void dragFromPalette(int column, QWidget* over, QPoint p) {
        press(palette(), cell(column));
        QTest::mouseMove(palette(), cell(column) + QPoint(0, 6));
        moveHeld(palette(), over, p);
        releaseHeld(palette(), over, p);
    }
    // A marker (or anything) pressed at `from` on the image and released at p of `over`.
    void dragOnImage(QPoint from, QWidget* over, QPoint p) {
        press(image(), from);
        QTest::mouseMove(image(), from + QPoint(6, 6));
        moveHeld(image(), over, p);
        releaseHeld(image(), over, p);
    }

    // Every pixel of a palette cell as shown on the screen is silver (the number is placed).
    bool cellIsEmpty(int column) {
        const QImage shown = palette()->grab(window->DGMain->CellRect(column, 0)).toImage();
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if ((shown.pixel(x, y) & 0xFFFFFF) != (kSilver & 0xFFFFFF))
                    return false;
        return true;
    }
};

}  // namespace Editing
