#include "Compositor.h"

#include "FontChoice.h"
#include "MarkerColors.h"
#include "ToolkitError.h"

#include <QFontMetrics>

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace Markers {
namespace {

constexpr int kDotsPerMeter96 = 3780;  // 96 dots per inch

// What SourceBitmap shows while the bitmaps exist without an image.
const Platform::Bitmap kNoImage;

struct Bgr {
    uint8_t b, g, r;
};
constexpr Bgr kBlackBgr{0, 0, 0};
constexpr Bgr kWhiteBgr{255, 255, 255};
constexpr Bgr kSilverBgr{192, 192, 192};

QRgb toQRgb(const Rgb& c) {
    return qRgb(c.red, c.green, c.blue);
}

void putPixel(Platform::Bitmap& canvas, int64_t x, int64_t y, Bgr c) {
    uint8_t* p = canvas.scanLine(static_cast<int>(y)) + x * 3;
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

// The two clipped ends [from, to) of a span [a, b) on an axis of `size` pixels; empty when
// from >= to. All in 64 bits, so edges near the 32-bit limits cannot wrap.
struct Span {
    int64_t from, to;
    bool empty() const { return from >= to; }
};
Span clipSpan(int64_t a, int64_t b, int64_t size) {
    return {std::max<int64_t>(a, 0), std::min<int64_t>(b, size)};
}

void fillRow(Platform::Bitmap& canvas, int64_t y, Span xs, Bgr c) {
    if (y < 0 || y >= canvas.height())
        return;
    const Span s = clipSpan(xs.from, xs.to, canvas.width());
    for (int64_t x = s.from; x < s.to; ++x)
        putPixel(canvas, x, y, c);
}

void fillColumn(Platform::Bitmap& canvas, int64_t x, Span ys, Bgr c) {
    if (x < 0 || x >= canvas.width())
        return;
    const Span s = clipSpan(ys.from, ys.to, canvas.height());
    for (int64_t y = s.from; y < s.to; ++y)
        putPixel(canvas, x, y, c);
}

// The dotted guide pen: three pixels black, three in the brush colour (white), counted from
// the line's first point. The white gaps keep the line visible on dark and light images alike.
constexpr int kDotRun = 3;
Bgr dotColor(int64_t i) {
    return (i / kDotRun) % 2 == 0 ? kBlackBgr : kWhiteBgr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Canvas

namespace {
QImage viewAt96Dpi(Platform::Bitmap& bitmap) {
    QImage view = bitmap.view();
    if (!view.isNull()) {
        view.setDotsPerMeterX(kDotsPerMeter96);
        view.setDotsPerMeterY(kDotsPerMeter96);
    }
    return view;
}
}  // namespace

Canvas::Canvas(Platform::Bitmap& bitmap, const MarkerFont& font)
    : m_bitmap(bitmap),
      m_font(font.ToQFont()),
      m_color(font.TextColor()),
      m_view(viewAt96Dpi(bitmap)),
      m_metrics(m_view.isNull() ? QFontMetrics(m_font) : QFontMetrics(m_font, &m_view)) {}

Canvas::~Canvas() {
    if (m_painter)
        m_painter->end();
}

QPainter& Canvas::Painter() {
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>();
        if (!m_view.isNull() && m_painter->begin(&m_view)) {
            m_painter->setFont(m_font);
            m_painter->setPen(m_color);
            m_painter->setBackgroundMode(Qt::TransparentMode);
        }
    }
    return *m_painter;
}

// ---------------------------------------------------------------------------------------------
// Glyphs

Compositor::Compositor() = default;
Compositor::~Compositor() = default;

void Compositor::LoadGlyphs(const QString& prefix, QRgb transparent) {
    // Built aside and swapped in, so a missing resource leaves the current glyphs in place.
    ImageList list;
    const QRgb olive = toQRgb(kOlive);
    list.AddResource(QString::fromLatin1(kGlyphNone), olive);
    list.AddResource(QString::fromLatin1(kGlyphButton), olive);
    for (std::string_view shape : kColoredShapes)
        list.AddResource(prefix + QString::fromLatin1(shape), transparent);
    list.AddResource(QString::fromLatin1(kGlyphSelected), olive);
    m_ilBits = std::move(list);
    m_shapeColor = kMarkerColors[0].color;
    for (const MarkerColorEntry& e : kMarkerColors) {
        if (prefix == QLatin1StringView(e.prefix.data(), static_cast<qsizetype>(e.prefix.size())))
            m_shapeColor = e.color;
    }
}

void Compositor::SetMarkerColor(int32_t color) {
    const MarkerColorEntry& entry = MarkerColorFor(color);
    LoadGlyphs(QString::fromLatin1(entry.prefix), toQRgb(entry.transparent));
}

// ---------------------------------------------------------------------------------------------
// Bitmaps

void Compositor::CreateBitmaps(int cellWidth, int cellHeight) {
    FreeBitmaps();
    try {
        m_cell.emplace(2 * cellWidth, 2 * cellHeight, 24);
        m_canvas.emplace(0, 0, 24);
    } catch (...) {
        FreeBitmaps();
        throw;
    }
}

void Compositor::FreeBitmaps() noexcept {
    m_cell.reset();
    m_source.reset();
    m_canvas.reset();
    m_sourceRows = Platform::Bitmap();
}

void Compositor::ReleaseImages() noexcept {
    m_source.reset();
    if (m_canvas)
        m_canvas->releasePixels();
    m_sourceRows = Platform::Bitmap();
}

void Compositor::SetSourceBitmap(Platform::Bitmap source) {
    if (!m_canvas)
        throw std::logic_error("SetSourceBitmap before CreateBitmaps");
    // Let go of the old images first: an 8K image and its canvas are large.
    ReleaseImages();
    try {
        if (source.bitsPerPixel() != 24)
            m_sourceRows = source.toBgr24();
        m_canvas->setSize(source.width(), source.height());
        // Made changeable and held as const: readers share it, and the sole holder may take it back.
        m_source = std::make_shared<Platform::Bitmap>(std::move(source));
    } catch (...) {
        ReleaseImages();
        throw;
    }
}

namespace {

// The image itself when nobody else reads it (a background save may), else a copy of it.
Platform::Bitmap takeOrCopy(std::shared_ptr<const Platform::Bitmap> held) {
    if (!held)
        return {};
    if (held.use_count() == 1)
        return std::move(const_cast<Platform::Bitmap&>(*held));
    return Platform::Bitmap(*held);
}

}  // namespace

Platform::Bitmap Compositor::ExchangeSourceBitmap(Platform::Bitmap source) {
    if (!m_canvas)
        throw std::logic_error("ExchangeSourceBitmap before CreateBitmaps");
    std::shared_ptr<const Platform::Bitmap> previous = m_source;
    try {
        SetSourceBitmap(std::move(source));
    } catch (...) {
        // The old image held this memory a moment ago, so taking it back rarely fails.
        SetSourceBitmap(takeOrCopy(std::move(previous)));
        throw;
    }
    return takeOrCopy(std::move(previous));
}

const Platform::Bitmap* Compositor::SourceBitmap() const noexcept {
    if (!m_canvas)
        return nullptr;
    return m_source ? m_source.get() : &kNoImage;
}

Platform::Bitmap* Compositor::CanvasBitmap() noexcept {
    return m_canvas ? &*m_canvas : nullptr;
}

const Platform::Bitmap* Compositor::CanvasBitmap() const noexcept {
    return m_canvas ? &*m_canvas : nullptr;
}

Platform::Bitmap* Compositor::CellBitmap() noexcept {
    return m_cell ? &*m_cell : nullptr;
}

const Platform::Bitmap* Compositor::CellBitmap() const noexcept {
    return m_cell ? &*m_cell : nullptr;
}

void Compositor::SetMarkerFont(const MarkerFont& font) {
    m_font = font;
}

// ---------------------------------------------------------------------------------------------
// Drawing

void Compositor::DrawCenteredNumber(Canvas& canvas, const TRect& rect, const QString& text) const {
    const Platform::Bitmap& bitmap = canvas.Bitmap();
    if (bitmap.isNull() || text.isEmpty())
        return;
    const QFontMetrics& metrics = canvas.Metrics();
    const int64_t w = metrics.horizontalAdvance(text);
    const int64_t h = metrics.height();
    const int64_t x = CenteredOrigin(rect.Left, rect.Right, w);
    const int64_t y = CenteredOrigin(rect.Top, rect.Bottom, h);
    // Italic overhang and underline stay within a margin of one text height around the box.
    if (x + w + h < 0 || y + 2 * h < 0 || x - h > bitmap.width() || y - h > bitmap.height())
        return;
    QPainter& painter = canvas.Painter();
    if (!painter.isActive())
        return;
    painter.drawText(QPoint(static_cast<int>(x), static_cast<int>(y) + metrics.ascent()), text);
}

namespace {

// A marker drawn with a shape of its own size rather than the 32 x 32 glyph.
bool hasOwnShape(const Marker& marker) {
    const int64_t w = int64_t{marker.Right} - marker.Left;
    const int64_t h = int64_t{marker.Bottom} - marker.Top;
    if (w == GlyphSize && h == GlyphSize)
        return false;
    return w >= 1 && h >= 1 && w <= MaxShapeSide && h <= MaxShapeSide;
}

}  // namespace

void Compositor::DrawMarker(Canvas& canvas, int32_t key, const Marker& marker) const {
    if (m_backgroundStyle >= StyleNone && m_backgroundStyle <= StyleCircle2) {
        if (!hasOwnShape(marker)) {
            m_ilBits.Draw(canvas.Bitmap(), marker.Left, marker.Top, m_backgroundStyle);
        } else if (m_backgroundStyle != StyleNone) {
            const int w = marker.Right - marker.Left, h = marker.Bottom - marker.Top;
            BlendImage(canvas.Bitmap(), marker.Left, marker.Top,
                       m_shapes.Shape(w, h, m_backgroundStyle, m_shapeColor));
        }
    }
    DrawCenteredNumber(canvas, marker, QString::number(MarkerNumber(key)));
}

void Compositor::DrawSelectionOverlay(Platform::Bitmap& bitmap, const Marker& marker) const {
    if (!hasOwnShape(marker)) {
        m_ilBits.Draw(bitmap, marker.Left, marker.Top, SelectedGlyph);
        return;
    }
    // The glyph's four quarters hold one handle each; each quarter goes to its own corner.
    constexpr int q = GlyphSize / 2;
    for (const int qx : {0, q}) {
        for (const int qy : {0, q}) {
            const int64_t x = qx == 0 ? int64_t{marker.Left} : int64_t{marker.Right} - GlyphSize;
            const int64_t y = qy == 0 ? int64_t{marker.Top} : int64_t{marker.Bottom} - GlyphSize;
            m_ilBits.DrawPart(bitmap, x, y, SelectedGlyph, qx, qy, q, q);
        }
    }
}

void Compositor::DrawMarkers(Canvas& canvas, const MarkerMap& map) const {
    for (const auto& [key, marker] : map)
        DrawMarker(canvas, key, marker);
}

void Compositor::CopySourceToCanvas() {
    if (!m_source || !m_canvas)
        return;
    const Platform::Bitmap& rows = m_sourceRows.isNull() ? *m_source : m_sourceRows;
    Platform::Bitmap& canvas = *m_canvas;
    if (rows.bitsPerPixel() != 24 || rows.isNull() || canvas.isNull())
        return;
    if (rows.width() == canvas.width() && rows.height() == canvas.height()) {
        std::memcpy(canvas.bits(), rows.bits(), static_cast<size_t>(canvas.byteCount()));
        return;
    }
    const int height = std::min(rows.height(), canvas.height());
    const size_t bytes = static_cast<size_t>(std::min(rows.width(), canvas.width())) * 3;
    for (int y = 0; y < height; ++y)
        std::memcpy(canvas.scanLine(y), rows.scanLine(y), bytes);
}

void Compositor::DrawSelectionRect(Platform::Bitmap& canvas, const TRect& rect) {
    const int64_t left = rect.Left, top = rect.Top, right = rect.Right, bottom = rect.Bottom;
    if (canvas.bitsPerPixel() != 24 || right <= left || bottom <= top)
        return;
    // Diagonal cross-hatch inside the outline: white hatch lines on an 8 x 8 pattern anchored
    // at the bitmap's origin, the image showing between them.
    const Span xs = clipSpan(left + 1, right - 1, canvas.width());
    const Span ys = clipSpan(top + 1, bottom - 1, canvas.height());
    if (!xs.empty()) {
        for (int64_t y = ys.from; y < ys.to; ++y) {
            // (x - y) % 8 == 0 and (x + y) % 8 == 7.
            for (const int64_t phase : {y % 8, (7 - y % 8 + 8) % 8}) {
                int64_t x = xs.from + ((phase - xs.from % 8) + 8) % 8;
                for (; x < xs.to; x += 8)
                    putPixel(canvas, x, y, kWhiteBgr);
            }
        }
    }
    fillRow(canvas, top, {left, right}, kBlackBgr);
    fillRow(canvas, bottom - 1, {left, right}, kBlackBgr);
    fillColumn(canvas, left, {top, bottom}, kBlackBgr);
    fillColumn(canvas, right - 1, {top, bottom}, kBlackBgr);
}

void Compositor::DrawGuideLines(Platform::Bitmap& canvas, const Marker& marker) {
    if (canvas.bitsPerPixel() != 24)
        return;
    const int64_t w = canvas.width(), h = canvas.height();
    // Each line runs from its first point up to, not including, its last: (0, row) to (w, row)
    // and (column, 0) to (column, h).
    for (const int64_t row : {int64_t{marker.Top}, int64_t{marker.Bottom} - 1}) {
        if (row >= 0 && row < h) {
            for (int64_t x = 0; x < w; ++x)
                putPixel(canvas, x, row, dotColor(x));
        }
    }
    for (const int64_t column : {int64_t{marker.Left}, int64_t{marker.Right} - 1}) {
        if (column >= 0 && column < w) {
            for (int64_t y = 0; y < h; ++y)
                putPixel(canvas, column, y, dotColor(y));
        }
    }
}

void Compositor::ComposeCanvas(const MarkerMap& map) {
    if (!m_source || !m_canvas)
        return;
    CopySourceToCanvas();
    DrawScreenLayers(*m_canvas, map);
}

void Compositor::DrawScreenLayers(Platform::Bitmap& bitmap, const MarkerMap& map) const {
    if (map.HasSelectionRect())
        DrawSelectionRect(bitmap, map.SelectionRect);
    if (map.GuideKey != NoKey) {
        if (const Marker* guide = map.MarkerOf(map.GuideKey))
            DrawGuideLines(bitmap, *guide);
    }
    {
        Canvas canvas(bitmap, m_font);
        DrawMarkers(canvas, map);
    }
    if (map.SelectedKey != NoKey) {
        if (const Marker* selected = map.MarkerOf(map.SelectedKey))
            DrawSelectionOverlay(bitmap, *selected);
    }
}

namespace {

// The region is widened to multiples of this, so the hatch (an 8-pixel pattern) and the guide
// dots (6-pixel runs) drawn relative to its corner fall where they fall on the whole canvas.
constexpr int kRegionGrain = 24;

// `r` moved by (-dx, -dy); false when an edge would leave the 32-bit range.
bool shifted(const TRect& r, int64_t dx, int64_t dy, TRect& out) {
    const int64_t e[] = {r.Left - dx, r.Top - dy, r.Right - dx, r.Bottom - dy};
    for (int64_t v : e) {
        if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
            return false;
    }
    out = {static_cast<int32_t>(e[0]), static_cast<int32_t>(e[1]), static_cast<int32_t>(e[2]),
           static_cast<int32_t>(e[3])};
    return true;
}

}  // namespace

void Compositor::ComposeCanvasRegion(const MarkerMap& map, const QRect& region) {
    if (!m_source || !m_canvas || m_canvas->isNull())
        return;
    const Platform::Bitmap& rows = m_sourceRows.isNull() ? *m_source : m_sourceRows;
    Platform::Bitmap& canvas = *m_canvas;
    if (rows.bitsPerPixel() != 24 || rows.width() != canvas.width() ||
        rows.height() != canvas.height())
        return ComposeCanvas(map);
    const int left = region.left() / kRegionGrain * kRegionGrain;
    const int top = region.top() / kRegionGrain * kRegionGrain;
    const QRect r = QRect(QPoint(left, top), region.bottomRight())
                        .intersected(QRect(0, 0, canvas.width(), canvas.height()));
    if (r.isEmpty())
        return;

    // The same drawing on a bitmap of the region's size, every coordinate moved with it. A
    // document whose edges cannot be moved (a work file may hold any) is composed whole.
    MarkerMap local;
    for (const auto& [key, marker] : map) {
        TRect moved;
        if (!shifted(marker, r.x(), r.y(), moved))
            return ComposeCanvas(map);
        local.InsertMarker(key, moved);
    }
    local.SelectedKey = map.SelectedKey;
    local.GuideKey = map.GuideKey;
    if (map.HasSelectionRect() && !shifted(map.SelectionRect, r.x(), r.y(), local.SelectionRect))
        return ComposeCanvas(map);

    Platform::Bitmap part(r.width(), r.height(), 24);
    const size_t bytes = static_cast<size_t>(r.width()) * 3;
    for (int y = 0; y < r.height(); ++y)
        std::memcpy(part.scanLine(y), rows.scanLine(r.y() + y) + int64_t{r.x()} * 3, bytes);
    DrawScreenLayers(part, local);
    for (int y = 0; y < r.height(); ++y)
        std::memcpy(canvas.scanLine(r.y() + y) + int64_t{r.x()} * 3, part.scanLine(y), bytes);
}

void Compositor::ComposeForExport(const MarkerMap& map) {
    if (!m_source || !m_canvas)
        return;
    CopySourceToCanvas();
    Canvas canvas(*m_canvas, m_font);
    DrawMarkers(canvas, map);
}

void Compositor::ComposeForExportInPlace(const MarkerMap& map) {
    if (!m_source || !m_canvas)
        return;
    // The source's own rows are drawn on only while nobody else reads them.
    const bool ownRows = !m_sourceRows.isNull() || m_source.use_count() == 1;
    Platform::Bitmap& rows =
        m_sourceRows.isNull() ? const_cast<Platform::Bitmap&>(*m_source) : m_sourceRows;
    if (ownRows && rows.bitsPerPixel() == 24 && rows.width() == m_canvas->width() &&
        rows.height() == m_canvas->height()) {
        std::swap(*m_canvas, rows);
        rows.releasePixels();
    } else {
        CopySourceToCanvas();
    }
    Canvas canvas(*m_canvas, m_font);
    DrawMarkers(canvas, map);
}

QRect Compositor::DrawPaletteCell(const MarkerMap& map, int column, int cellWidth, int cellHeight) {
    if (!m_cell)
        return {};
    Platform::Bitmap& cell = *m_cell;
    const QRect r =
        QRect(0, 0, cellWidth, cellHeight).intersected(QRect(0, 0, cell.width(), cell.height()));
    if (r.isEmpty())
        return {};
    for (int y = 0; y < r.height(); ++y)
        fillRow(cell, y, {0, r.width()}, kSilverBgr);
    if (!map.IsPlaced(column)) {
        MarkerFont font = m_font;
        if (m_paletteMarkerSize != GlyphSize)
            font.Size = ScaledFontSize(font.Size, m_paletteMarkerSize, GlyphSize);
        Canvas canvas(cell, font);
        if (m_backgroundStyle >= StyleNone && m_backgroundStyle <= StyleCircle2)
            m_ilBits.Draw(cell, 0, 0, m_backgroundStyle);
        DrawCenteredNumber(canvas, TRect{0, 0, cellWidth, cellHeight},
                           QString::number(MarkerNumber(column)));
    }
    return r;
}

}  // namespace Markers
