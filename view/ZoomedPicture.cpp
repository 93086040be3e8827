#include "ZoomedPicture.h"

#include <QPainter>

#include <algorithm>
#include <vector>

namespace View {

void ZoomedPicture::Invalidate(const QRect& imageRegion) {
    m_stale |= imageRegion;
}

void ZoomedPicture::InvalidateAll() {
    m_allStale = true;
    m_stale = QRect();
}

namespace {

// The composed picture's pixels as blue, green, red bytes (the screen image already is).
QImage bgrOf(const QImage& image) {
    return image.format() == QImage::Format_BGR888 ? image
                                                   : image.convertToFormat(QImage::Format_BGR888);
}

// Above 100 %: every view pixel of `clip` takes the colour of the image pixel ToImage names,
// so the blocks on the screen are exactly where the mouse rules find them.
QImage nearestBlocks(const QImage& bgr, const QRect& clip, const ViewMapping& mapping) {
    QImage out(clip.size(), QImage::Format_RGB32);
    std::vector<int> columns(static_cast<size_t>(clip.width()));
    for (int x = 0; x < clip.width(); ++x)
        columns[static_cast<size_t>(x)] =
            std::clamp(mapping.ToImage(QPoint(clip.left() + x, 0)).x(), 0, bgr.width() - 1);
    for (int y = 0; y < clip.height(); ++y) {
        const int sy =
            std::clamp(mapping.ToImage(QPoint(0, clip.top() + y)).y(), 0, bgr.height() - 1);
        const uchar* row = bgr.constScanLine(sy);
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < clip.width(); ++x) {
            const uchar* p = row + 3 * columns[static_cast<size_t>(x)];
            line[x] = qRgb(p[2], p[1], p[0]);
        }
    }
    return out;
}

// The source pixels a view pixel averages, each with its share: view pixel v covers the
// image span [v * Den / Num, (v + 1) * Den / Num), counted here in 1/Num of a pixel.
struct Tap {
    int Source;
    int Weight;
};

std::vector<std::vector<Tap>> tapsFor(int from, int to, const ZoomFactor& f, int limit) {
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(std::max(to - from, 0)));
    for (int v = from; v < to; ++v) {
        const int64_t lo = int64_t{v} * f.Den;
        const int64_t hi = lo + f.Den;
        auto& list = taps[static_cast<size_t>(v - from)];
        for (int64_t i = lo / f.Num; i * f.Num < hi && i < limit; ++i) {
            const int64_t w = std::min(hi, (i + 1) * f.Num) - std::max(lo, i * f.Num);
            if (w > 0)
                list.push_back({static_cast<int>(i), static_cast<int>(w)});
        }
    }
    return taps;
}

// Below 100 %: the view pixels [to, end) as the area average of the image pixels they cover.
void reduceInto(QImage& reduced, const QImage& bgr, QPoint to, QPoint end, const ZoomFactor& f) {
    const auto xs = tapsFor(to.x(), end.x(), f, bgr.width());
    const auto ys = tapsFor(to.y(), end.y(), f, bgr.height());
    std::vector<int64_t> sums(static_cast<size_t>(end.x() - to.x()) * 4);
    for (int y = to.y(); y < end.y(); ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        int64_t rowWeight = 0;
        for (const Tap& ty : ys[static_cast<size_t>(y - to.y())]) {
            const uchar* row = bgr.constScanLine(ty.Source);
            rowWeight += ty.Weight;
            for (size_t x = 0; x < xs.size(); ++x) {
                int64_t b = 0, g = 0, r = 0, w = 0;
                for (const Tap& tx : xs[x]) {
                    const uchar* p = row + 3 * tx.Source;
                    b += int64_t{p[0]} * tx.Weight;
                    g += int64_t{p[1]} * tx.Weight;
                    r += int64_t{p[2]} * tx.Weight;
                    w += tx.Weight;
                }
                sums[4 * x] += b * ty.Weight;
                sums[4 * x + 1] += g * ty.Weight;
                sums[4 * x + 2] += r * ty.Weight;
                sums[4 * x + 3] = w;
            }
        }
        auto* line = reinterpret_cast<QRgb*>(reduced.scanLine(y));
        for (size_t x = 0; x < xs.size(); ++x) {
            const int64_t total = sums[4 * x + 3] * rowWeight;
            if (total <= 0)
                continue;
            const auto avg = [&](size_t c) {
                return static_cast<int>((sums[4 * x + c] + total / 2) / total);
            };
            line[to.x() + static_cast<int>(x)] = qRgb(avg(2), avg(1), avg(0));
        }
    }
}

}  // namespace

void ZoomedPicture::Paint(QPainter& painter, const QRect& viewClip, const QImage& composed,
                          const ViewMapping& mapping) {
    const QRect clip = viewClip.intersected(QRect(QPoint(0, 0), mapping.ViewSize()));
    if (clip.isEmpty() || composed.isNull())
        return;
    const ZoomFactor f = mapping.Factor();
    if (f.Num == f.Den) {
        painter.drawImage(clip.topLeft(), composed, clip);
        return;
    }
    if (f.Num > f.Den) {
        painter.drawImage(clip.topLeft(), nearestBlocks(bgrOf(composed), clip, mapping));
        return;
    }
    RefreshReduced(composed, mapping);
    painter.drawImage(clip.topLeft(), m_reduced, clip);
}

// Each view pixel is refreshed from the image pixels it covers, so a refreshed part matches a
// reduction of the whole picture exactly.
void ZoomedPicture::RefreshReduced(const QImage& composed, const ViewMapping& mapping) {
    const QSize size = mapping.ViewSize();
    if (m_reducedStep != mapping.Step() || m_reducedImageSize != composed.size() ||
        m_reduced.size() != size) {
        m_reduced = QImage(size, QImage::Format_RGB32);
        m_reducedStep = mapping.Step();
        m_reducedImageSize = composed.size();
        m_allStale = true;
    }
    const QRect region = m_allStale ? composed.rect() : m_stale.intersected(composed.rect());
    m_allStale = false;
    m_stale = QRect();
    if (region.isEmpty() || m_reduced.isNull())
        return;
    const QRect target = mapping.ToView(region).intersected(m_reduced.rect());
    if (target.isEmpty())
        return;
    reduceInto(m_reduced, bgrOf(composed), target.topLeft(), target.bottomRight() + QPoint(1, 1),
               mapping.Factor());
}

}  // namespace View
