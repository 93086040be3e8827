#pragma once

#include "Bitmap.h"
#include "ImageList.h"
#include "Marker.h"
#include "MarkerFont.h"
#include "MarkerMap.h"
#include "MarkerShape.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRgb>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace Markers {

// BackgroundStyle values; each is also the ILBits index of the glyph drawn behind the numbers.
enum : int32_t {
    StyleNone = 0,
    StyleButton = 1,
    StyleBox1 = 2,
    StyleBox2 = 3,
    StyleCircle1 = 4,
    StyleCircle2 = 5,
};
// The ILBits index of the overlay drawn on the selected marker.
inline constexpr int SelectedGlyph = 6;
// The transparent colour of "NONE", "BUTTON", "SELECTED" and of most colour sets.
inline constexpr QRgb kOliveRgb = qRgb(128, 128, 0);

// (a + b - extent) halved by an arithmetic shift, which rounds toward minus infinity also for
// negative values: the origin that centres `extent` between the edges a and b.
constexpr int64_t CenteredOrigin(int64_t a, int64_t b, int64_t extent) {
    return (a + b - extent) >> 1;
}

// A 24-bit bitmap being drawn on: glyphs are blitted straight into its rows, text goes through
// a QPainter over the same rows (begun on first use, ended with the Canvas). Keep a Canvas
// only for the length of one drawing operation.
class Canvas {
public:
    Canvas(Platform::Bitmap& bitmap, const MarkerFont& font);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    Platform::Bitmap& Bitmap() noexcept { return m_bitmap; }
    const QFont& Font() const noexcept { return m_font; }
    const QColor& TextColor() const noexcept { return m_color; }
    // Metrics of the font on this canvas (96 dots per inch); text width and height.
    const QFontMetrics& Metrics() const noexcept { return m_metrics; }
    // The painter over the bitmap's rows, font and colour set; inactive on an empty bitmap.
    QPainter& Painter();

private:
    Platform::Bitmap& m_bitmap;
    QFont m_font;
    QColor m_color;
    QImage m_view;
    QFontMetrics m_metrics;
    std::unique_ptr<QPainter> m_painter;
};

// Everything the main window draws markers with, widget-free: the glyph list ILBits, the three
// bitmaps SourceBitmap, CanvasBitmap and CellBitmap, MarkerFont and BackgroundStyle. The window
// owns one and calls these operations from its handlers; the window's own parts (error dialogs,
// sizing PBMain, copying the clip rectangle to the screen) stay with the window.
//
// Start-up:     LoadGlyphs("BLACK", kOliveRgb); CreateBitmaps() (on a throw: ErrMsg, quit).
// New image:    ReleaseImages(); SetSourceBitmap(image) -> CanvasBitmap has its size.
// Paint:        ComposeCanvas(map), then copy the clip rectangle of CanvasBitmap()->view().
// Palette cell: DrawPaletteCell(map, column, w, h), then copy QRect(0, 0, w, h) of
//               CellBitmap()->view() to the cell's top-left corner.
// Export:       ComposeForExport(map), then Platform::Bmp::writeFile(*CanvasBitmap(), path).
// Font chosen:  SetMarkerFont(font); SetMarkerColor(font.Color).
// Shut-down:    FreeBitmaps().
class Compositor {
public:
    Compositor();
    ~Compositor();

    // ---- Glyphs ----
    // Rebuilds ILBits from the resources "NONE" (olive), "BUTTON" (olive), prefix + "BOX01",
    // "BOX02", "CIRCLE01", "CIRCLE02" (each with `transparent`) and "SELECTED" (olive): seven
    // images, indexed by BackgroundStyle, with SelectedGlyph last. Throws
    // Platform::ToolkitError if a resource is missing or unreadable; ILBits is then unchanged.
    void LoadGlyphs(const QString& prefix, QRgb transparent);
    // LoadGlyphs for a colour value: one of the sixteen marker colours by exact value gives its
    // set, anything else (system colours included) the "BLACK" set with olive. Repaints nothing.
    void SetMarkerColor(int32_t color);
    const ImageList& ILBits() const noexcept { return m_ilBits; }

    // ---- Bitmaps ----
    // Makes CellBitmap (2 x cell width by 2 x cell height, 24 bits), SourceBitmap (empty) and
    // CanvasBitmap (empty, 24 bits). On failure whatever was made is freed (FreeBitmaps) and the
    // Platform::ToolkitError is thrown on for the window to show with ErrMsg.
    void CreateBitmaps(int cellWidth = GlyphSize, int cellHeight = GlyphSize);
    // Destroys the three bitmaps (and the 24-bit copy of the source); they are absent after.
    void FreeBitmaps() noexcept;
    // SourceBitmap and CanvasBitmap give their pixel memory back (0 x 0); the window then sets
    // PBMain's size to 0 x 0.
    void ReleaseImages() noexcept;
    // Takes a new source image in its own pixel format and gives CanvasBitmap its size. Keeps a
    // 24-bit copy of the rows when the source has another depth, so every composition is row
    // copies. Throws Platform::ToolkitError when the bitmaps do not exist (CreateBitmaps has not
    // run) or memory is short; the previous images are then released.
    void SetSourceBitmap(Platform::Bitmap source);
    // Takes a new source image as SetSourceBitmap does and hands the old one back, moved rather
    // than copied. Should the new one not fit, the old one is put back and the error thrown on.
    Platform::Bitmap ExchangeSourceBitmap(Platform::Bitmap source);

    // The bitmaps, or nullptr while absent (before CreateBitmaps, after FreeBitmaps).
    // SourceBitmap is never drawn on: change it only through SetSourceBitmap.
    const Platform::Bitmap* SourceBitmap() const noexcept;
    // The source image as a shared handle (null without an image). The image is never changed
    // once taken, so another thread may read it through the handle while this object moves on
    // to another image; the pixels go when the last handle does.
    std::shared_ptr<const Platform::Bitmap> SharedSourceBitmap() const noexcept { return m_source; }
    Platform::Bitmap* CanvasBitmap() noexcept;
    const Platform::Bitmap* CanvasBitmap() const noexcept;
    Platform::Bitmap* CellBitmap() noexcept;
    const Platform::Bitmap* CellBitmap() const noexcept;

    // ---- Appearance ----
    const MarkerFont& Font() const noexcept { return m_font; }
    // The font the numbers are written in, on the canvas and in the palette cells. Does not
    // rebuild the glyphs: call SetMarkerColor(font.Color) as well when the colour may differ.
    void SetMarkerFont(const MarkerFont& font);
    // 0 .. 5 (StyleNone .. StyleCircle2), the ILBits index of the marker glyph. Any other value
    // draws the numbers without a glyph; the callers keep it in range.
    int32_t BackgroundStyle() const noexcept { return m_backgroundStyle; }
    void SetBackgroundStyle(int32_t style) noexcept { m_backgroundStyle = style; }
    // The document's marker size. The palette's cells keep the glyphs' size and preview a
    // marker of another size scaled to the cell: its number in the font scaled by 32 / size.
    int32_t PaletteMarkerSize() const noexcept { return m_paletteMarkerSize; }
    void SetPaletteMarkerSize(int32_t size) noexcept { m_paletteMarkerSize = size; }

    // ---- Drawing ----
    // Writes `text` in the canvas's font and colour, without filling its background, with its
    // top-left corner at CenteredOrigin(Left, Right, text width), CenteredOrigin(Top, Bottom,
    // text height). Edges may lie anywhere in 32-bit range; text far outside draws nothing.
    void DrawCenteredNumber(Canvas& canvas, const TRect& rect, const QString& text) const;
    // The glyph of BackgroundStyle at (Left, Top), then the number key + 1 centred on the
    // marker's rectangle. Clipped to the canvas; a marker far outside draws nothing. A marker
    // that is not 32 x 32 has the style's shape drawn to fill its rectangle instead (see
    // MarkerShape.h), antialiased, so shape and number are centred together; a rectangle with a
    // side beyond 1 .. MaxShapeSide keeps the 32 x 32 glyph at its corner.
    void DrawMarker(Canvas& canvas, int32_t key, const Marker& marker) const;
    // The selection overlay on a marker: the "SELECTED" glyph at its corner for a 32 x 32
    // marker; on any other its four handles, each in its corner of the rectangle.
    void DrawSelectionOverlay(Platform::Bitmap& bitmap, const Marker& marker) const;

    // Rebuilds CanvasBitmap for the screen: the source's pixels; the hatched SelectionRect with
    // its 1-pixel black outline on columns Left and Right - 1 and rows Top and Bottom - 1; the
    // dotted guide lines along the outermost rows and columns of the GuideKey marker across the
    // whole image; every marker in ascending key order; the selection overlay on SelectedKey.
    // Guide lines and overlay are left out when their key names no placed marker. Does nothing
    // while the bitmaps are absent. The caller copies what it needs of CanvasBitmap to screen.
    void ComposeCanvas(const MarkerMap& map);
    // ComposeCanvas for the pixels inside `region` only, each exactly as ComposeCanvas draws it;
    // the rest of CanvasBitmap stays. The cost follows the region's size, so a change that
    // touches a few markers recomposes a few markers' worth of pixels.
    void ComposeCanvasRegion(const MarkerMap& map, const QRect& region);
    // Rebuilds CanvasBitmap for a bitmap export: the source's pixels and every marker in
    // ascending key order, with no selection rectangle, guide lines or overlay.
    void ComposeForExport(const MarkerMap& map);
    // The same for an export that is the image's last use: the source's own pixels (or their
    // 24-bit copy) become the canvas and the markers are drawn on them, sparing a second
    // picture in memory. The source has no usable pixels afterwards: load another image next.
    void ComposeForExportInPlace(const MarkerMap& map);

    // The drawing part of the palette's owner-drawn cell: fills (0, 0, cellWidth, cellHeight)
    // of CellBitmap with silver and, when number column + 1 is free, draws the glyph of
    // BackgroundStyle at (0, 0) and the number centred in that rectangle. Returns that
    // rectangle (clipped to CellBitmap) for the caller to copy to the cell's top-left corner,
    // or an empty rectangle while CellBitmap does not exist.
    QRect DrawPaletteCell(const MarkerMap& map, int column, int cellWidth = GlyphSize,
                          int cellHeight = GlyphSize);

    // The single steps of ComposeCanvas, for callers that build their own picture.
    // Copies the source's pixels onto CanvasBitmap (steps shared by screen and export).
    void CopySourceToCanvas();
    // Draws a hatched rectangle with a 1-pixel black outline; empty when Right <= Left or
    // Bottom <= Top.
    static void DrawSelectionRect(Platform::Bitmap& canvas, const TRect& rect);
    // Draws the four dotted guide lines of a marker across the whole bitmap.
    static void DrawGuideLines(Platform::Bitmap& canvas, const Marker& marker);

private:
    void DrawMarkers(Canvas& canvas, const MarkerMap& map) const;
    // Everything ComposeCanvas draws over the source's pixels.
    void DrawScreenLayers(Platform::Bitmap& bitmap, const MarkerMap& map) const;

    ImageList m_ilBits;
    // The colour of the frames and rings of the colour set in ILBits, and the shapes drawn in
    // it for markers of other sizes (built on first use while composing).
    Rgb m_shapeColor{};
    mutable ShapeCache m_shapes;
    MarkerFont m_font;
    int32_t m_backgroundStyle = StyleButton;
    int32_t m_paletteMarkerSize = GlyphSize;
    std::optional<Platform::Bitmap> m_cell;
    // Null while there is no image (SourceBitmap then shows an empty one).
    std::shared_ptr<const Platform::Bitmap> m_source;
    std::optional<Platform::Bitmap> m_canvas;
    // 24-bit copy of a source of another depth; empty when the source is 24-bit itself.
    Platform::Bitmap m_sourceRows;
};

}  // namespace Markers
