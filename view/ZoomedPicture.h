#pragma once

#include "ViewMapping.h"

#include <QImage>
#include <QRect>

class QPainter;

namespace View {

// The composed picture drawn at the view's zoom, without a widget. At 100 % the clip is a
// plain copy of the composed pixels; above, each image pixel is drawn as a crisp square
// (nearest neighbour); below, the view shows a reduced copy of the composed picture, averaged
// so the text in a screenshot stays legible, made once and then refreshed only where the
// picture changed (Invalidate), so a moved marker costs its own region, not the whole image.
class ZoomedPicture {
public:
    // The picture's pixels at the mapping's step; `composed` is the full composed image.
    // Paints `viewClip` (view coordinates) and nothing outside it; parts of the clip beyond the
    // picture are left for the caller.
    void Paint(QPainter& painter, const QRect& viewClip, const QImage& composed,
               const ViewMapping& mapping);
    // The composed pixels of `imageRegion` changed (an empty rectangle: nothing did).
    void Invalidate(const QRect& imageRegion);
    // Every pixel changed (a new image): the reduced copy is made again when next needed.
    void InvalidateAll();
    // The reduced copy as it stands (null before the first zoomed-out paint), for tests.
    const QImage& ReducedCopy() const noexcept { return m_reduced; }

private:
    void RefreshReduced(const QImage& composed, const ViewMapping& mapping);

    QImage m_reduced;
    QSize m_reducedImageSize;
    int m_reducedStep = -1;
    // Image pixels whose reduced copy is out of date.
    QRect m_stale;
    bool m_allStale = true;
};

}  // namespace View
