// The composed picture drawn at a zoom: crisp blocks above 100 %, an averaged reduction below
// that is refreshed only where the picture changed.
#include "ZoomedPicture.h"

#include <QPainter>

#include <gtest/gtest.h>

using View::ViewMapping;
using View::ZoomedPicture;

namespace {

// Every pixel a colour of its own.
QImage numbered(int width, int height) {
    QImage image(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 11 % 256, (x * y) % 256));
    return image;
}

QImage painted(ZoomedPicture& picture, const QImage& composed, const ViewMapping& m) {
    QImage screen(m.ViewSize(), QImage::Format_RGB32);
    screen.fill(Qt::magenta);
    QPainter painter(&screen);
    picture.Paint(painter, screen.rect(), composed, m);
    return screen;
}

ViewMapping mappingAt(int step, QSize image) {
    ViewMapping m;
    m.SetImageSize(image);
    m.SetStep(step);
    return m;
}

TEST(ZoomedPictureTest, AtAndAbove100PercentEachViewPixelIsItsImagePixel) {
    const QImage composed = numbered(13, 9);
    for (int step : {5, 6, 7, 8, 9, 11}) {
        const ViewMapping m = mappingAt(step, composed.size());
        ZoomedPicture picture;
        const QImage screen = painted(picture, composed, m);
        int wrong = 0;
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x)
                wrong += screen.pixel(x, y) != composed.pixel(m.ToImage(QPoint(x, y)));
        EXPECT_EQ(wrong, 0) << "step " << step;
    }
}

TEST(ZoomedPictureTest, Below100PercentTheViewIsAveraged) {
    // Black and white columns average to grey at 50 %; nearest neighbour would keep one.
    QImage stripes(64, 8, QImage::Format_BGR888);
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 8; ++y)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    ZoomedPicture picture;
    const QImage screen = painted(picture, stripes, mappingAt(3, stripes.size()));
    EXPECT_NEAR(qRed(screen.pixel(10, 2)), 128, 2);
}

TEST(ZoomedPictureTest, TheReducedCopyIsRefreshedWhereThePictureChanged) {
    const QRect changed(37, 22, 30, 20);
    for (int step : {0, 1, 2, 3, 4}) {
        QImage composed = numbered(211, 97);
        const ViewMapping m = mappingAt(step, composed.size());
        ZoomedPicture kept;
        painted(kept, composed, m);
        {
            QPainter p(&composed);
            p.fillRect(changed, Qt::red);
        }
        // Without being told, the copy still shows the old picture: it is not made again.
        ZoomedPicture unaware;
        EXPECT_NE(painted(kept, composed, m), painted(unaware, composed, m)) << "step " << step;
        kept.Invalidate(changed);
        ZoomedPicture fresh;
        EXPECT_EQ(painted(kept, composed, m), painted(fresh, composed, m)) << "step " << step;
    }
}

}  // namespace
