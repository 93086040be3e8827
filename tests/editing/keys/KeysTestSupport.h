#pragma once

// A shown main window with a document open, and what the keyboard and appearance tests check
// the screen against: the same document composed by a Compositor of their own.

#include "Compositor.h"
#include "DrawGrid.h"
#include "PaintBox.h"
#include "WindowTestSupport.h"

#include <QCoreApplication>

namespace Keys {

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// A source image with a pattern, so markers over it are told from the image.
inline Platform::Bitmap patternImage(int width, int height) {
    Platform::Bitmap b(width, height, 24);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = b.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>(x * 3);
            row[3 * x + 1] = static_cast<uint8_t>(100 + y);
            row[3 * x + 2] = 60;
        }
    }
    return b;
}

class DocumentTest : public Gui::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (HasFatalFailure())
            return;
        openDocument();
    }

    // A 640 x 480 image taken as a new document, as opening a file does.
    void openDocument() {
        window->Doc.TakeSourceBitmap(patternImage(640, 480));
        settle();
    }

    void settle() { QCoreApplication::processEvents(); }

    Markers::Marker* place(int32_t key, int32_t left, int32_t top) {
        window->Doc.Map().InsertMarker(key, Markers::MakeMarker(left, top));
        window->Doc.Repaint();  // as every command that changes the markers does
        settle();
        return window->Doc.Map().MarkerOf(key);
    }

    // The document as a Compositor of our own draws it with the window's appearance.
    QImage expectedCanvas() {
        Markers::Compositor reference;
        reference.SetMarkerFont(window->Doc.Compositor().Font());
        reference.SetMarkerColor(window->Doc.Compositor().Font().Color);
        reference.SetBackgroundStyle(window->Doc.Compositor().BackgroundStyle());
        reference.CreateBitmaps();
        reference.SetSourceBitmap(*window->Doc.Compositor().SourceBitmap());
        reference.ComposeCanvas(window->Doc.Map());
        return reference.CanvasBitmap()->view().convertToFormat(QImage::Format_RGB32);
    }

    QImage shownCanvas() {
        return window->PBMain->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    // A palette cell as the window shows it and as a Compositor of our own draws it.
    QImage shownCell(int column) {
        const QRect cell = window->DGMain->CellRect(column, 0);
        return window->DGMain->viewport()->grab(cell).toImage().convertToFormat(
            QImage::Format_RGB32);
    }
    QImage expectedCell(int column) {
        Markers::Compositor reference;
        reference.SetMarkerFont(window->Doc.Compositor().Font());
        reference.SetMarkerColor(window->Doc.Compositor().Font().Color);
        reference.SetBackgroundStyle(window->Doc.Compositor().BackgroundStyle());
        reference.CreateBitmaps();
        const QRect r = reference.DrawPaletteCell(window->Doc.Map(), column);
        return reference.CellBitmap()->view().copy(r).convertToFormat(QImage::Format_RGB32);
    }
};

}  // namespace Keys
