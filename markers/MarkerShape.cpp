#include "MarkerShape.h"

#include "Compositor.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>

namespace Markers {
namespace {

// Past this many bytes of shapes the cache is emptied: 99 markers of one size need one shape
// per style and colour, so only a document of many odd rectangles comes near it.
constexpr std::size_t kCacheBytes = 32u << 20;

QColor toQColor(const Rgb& c) {
    return QColor(c.red, c.green, c.blue);
}

}  // namespace

QImage DrawMarkerShape(int width, int height, int32_t style, Rgb color) {
    width = std::clamp(width, 1, MaxShapeSide);
    height = std::clamp(height, 1, MaxShapeSide);
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (style <= StyleNone || style > StyleCircle2)
        return image;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const qreal w = width, h = height;
    // Strokes in proportion to the smaller side: 2 pixels (frames, the button's bevel) and 3
    // pixels (rings) at 32.
    const qreal side = std::min(w, h);
    const qreal edge = side * 2 / GlyphSize;
    const qreal ring = side * 3 / GlyphSize;
    const QRectF all(0, 0, w, h);
    const QRectF inside(edge, edge, w - 2 * edge, h - 2 * edge);
    switch (style) {
        case StyleButton: {
            // Grey shadow under everything, the white highlight along the top and left edges
            // meeting it on the diagonals at the top-right and bottom-left corners, the face.
            p.fillRect(all, toQColor(kGray));
            const QPolygonF highlight{{0, 0},       {w, 0},           {w - edge, edge},
                                      {edge, edge}, {edge, h - edge}, {0, h}};
            p.setBrush(toQColor(kWhite));
            p.drawPolygon(highlight);
            p.fillRect(inside, toQColor(kSilver));
            break;
        }
        case StyleBox1:
        case StyleBox2: {
            QPainterPath frame;
            frame.addRect(all);
            frame.addRect(inside);
            if (style == StyleBox2)
                p.fillRect(inside, toQColor(kWhite));
            p.fillPath(frame, toQColor(color));
            break;
        }
        case StyleCircle1:
        case StyleCircle2: {
            const QRectF hole(ring, ring, w - 2 * ring, h - 2 * ring);
            QPainterPath band;
            band.addEllipse(all);
            band.addEllipse(hole);
            // The white disc reaches under the ring's inner edge, so no seam of the image
            // shows between the two antialiased edges.
            if (style == StyleCircle2) {
                p.setBrush(toQColor(kWhite));
                p.drawEllipse(hole.adjusted(-0.5, -0.5, 0.5, 0.5));
            }
            p.fillPath(band, toQColor(color));
            break;
        }
        default:
            break;
    }
    return image;
}

void BlendImage(Platform::Bitmap& canvas, int64_t x, int64_t y, const QImage& image) {
    if (canvas.bitsPerPixel() != 24 || canvas.isNull() || image.isNull() ||
        image.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    const int64_t w = canvas.width(), h = canvas.height();
    const int64_t iw = image.width(), ih = image.height();
    if (x >= w || y >= h || x + iw <= 0 || y + ih <= 0)
        return;
    const int64_t firstRow = std::max<int64_t>(0, -y), lastRow = std::min<int64_t>(ih, h - y);
    const int64_t firstCol = std::max<int64_t>(0, -x), lastCol = std::min<int64_t>(iw, w - x);
    for (int64_t r = firstRow; r < lastRow; ++r) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(r)));
        uint8_t* out = canvas.scanLine(static_cast<int>(y + r)) + (x + firstCol) * 3;
        for (int64_t c = firstCol; c < lastCol; ++c, out += 3) {
            const QRgb s = in[c];
            const unsigned a = qAlpha(s);
            if (a == 0)
                continue;
            if (a == 255) {
                out[0] = static_cast<uint8_t>(qBlue(s));
                out[1] = static_cast<uint8_t>(qGreen(s));
                out[2] = static_cast<uint8_t>(qRed(s));
                continue;
            }
            // Premultiplied: the source's share is its channel itself.
            const unsigned rest = 255 - a;
            out[0] = static_cast<uint8_t>(qBlue(s) + (out[0] * rest + 127) / 255);
            out[1] = static_cast<uint8_t>(qGreen(s) + (out[1] * rest + 127) / 255);
            out[2] = static_cast<uint8_t>(qRed(s) + (out[2] * rest + 127) / 255);
        }
    }
}

const QImage& ShapeCache::Shape(int width, int height, int32_t style, Rgb color) {
    const Key key{width, height, style, color.value()};
    if (const auto it = m_shapes.find(key); it != m_shapes.end())
        return it->second;
    QImage shape = DrawMarkerShape(width, height, style, color);
    const auto bytes = static_cast<std::size_t>(shape.sizeInBytes());
    if (m_bytes + bytes > kCacheBytes)
        Clear();
    m_bytes += bytes;
    return m_shapes.emplace(key, std::move(shape)).first->second;
}

}  // namespace Markers
