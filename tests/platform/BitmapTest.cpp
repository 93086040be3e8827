// Bitmaps taken from QImages (the clipboard's pictures) keep their depth and their colours.
#include "Bitmap.h"
#include "Bmp.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace Platform;

namespace {

struct FromImage {
    const char* name;
    QImage::Format format;
    int bpp;
    bool alphaMask;
};

void PrintTo(const FromImage& c, std::ostream* os) {
    *os << c.name;
}

// A 7 x 3 picture of colours every format here can hold exactly: black, white and the
// primaries at full strength.
QImage picture(QImage::Format format) {
    const QRgb colours[] = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 255, 0),
                            qRgb(0, 0, 255)};
    QImage image(7, 3, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, colours[(x + y) % (format == QImage::Format_Mono ? 2 : 5)]);
    return image.convertToFormat(format);
}

class BitmapFromImage : public ::testing::TestWithParam<FromImage> {};

TEST_P(BitmapFromImage, KeepsDepthAndColours) {
    const FromImage& c = GetParam();
    const QImage image = picture(c.format);
    const Bitmap b = Bitmap::fromQImage(image);
    ASSERT_EQ(b.bitsPerPixel(), c.bpp);
    EXPECT_EQ(b.masks().alpha != 0, c.alphaMask);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            EXPECT_EQ(b.pixel(x, y) & 0xFFFFFF, image.pixel(x, y) & 0xFFFFFF) << x << ',' << y;
    // And the format survives a trip through a file.
    const Bitmap again = Bmp::decode(Bmp::encode(b));
    EXPECT_EQ(again.bitsPerPixel(), c.bpp);
    EXPECT_EQ(again.masks(), b.masks());
    EXPECT_EQ(again.toQImage(), b.toQImage());
}

INSTANTIATE_TEST_SUITE_P(
    Bitmap, BitmapFromImage,
    ::testing::Values(FromImage{"mono", QImage::Format_Mono, 1, false},
                      FromImage{"monoLsb", QImage::Format_MonoLSB, 1, false},
                      FromImage{"indexed8", QImage::Format_Indexed8, 8, false},
                      FromImage{"rgb565", QImage::Format_RGB16, 16, false},
                      FromImage{"rgb555", QImage::Format_RGB555, 16, false},
                      FromImage{"bgr888", QImage::Format_BGR888, 24, false},
                      FromImage{"rgb888", QImage::Format_RGB888, 24, false},
                      FromImage{"rgb32", QImage::Format_RGB32, 32, false},
                      FromImage{"argb32", QImage::Format_ARGB32, 32, true},
                      FromImage{"premultiplied", QImage::Format_ARGB32_Premultiplied, 32, true},
                      FromImage{"grayscale", QImage::Format_Grayscale8, 32, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Bitmap, ViewDrawsIntoTheRows) {
    Bitmap b(4, 2, 24);
    QImage view = b.view();
    ASSERT_EQ(view.format(), QImage::Format_BGR888);
    view.setPixel(3, 1, qRgb(10, 20, 30));
    EXPECT_EQ(b.scanLine(1)[9], 30);  // blue first
    EXPECT_EQ(b.scanLine(1)[11], 10);
    EXPECT_TRUE(Bitmap(4, 2, 8).view().isNull());
}

TEST(Bitmap, ResizingKeepsTheFormatAndReleasingGivesUpTheMemory) {
    Bitmap b(3, 3, 16);
    b.setMasks({0xF800, 0x07E0, 0x001F, 0});
    b.setWidth(70000 / 2);
    EXPECT_EQ(b.bitsPerPixel(), 16);
    EXPECT_EQ(b.masks().red, 0xF800u);
    EXPECT_EQ(b.stride(), 70000);
    EXPECT_EQ(b.byteCount(), 3 * 70000);
    b.releasePixels();
    EXPECT_TRUE(b.isNull());
    EXPECT_EQ(b.byteCount(), 0);
    EXPECT_EQ(b.bitsPerPixel(), 16);
}

TEST(Bitmap, CopiesOwnTheirPixels) {
    Bitmap a(5, 5, 8);
    a.scanLine(2)[2] = 7;
    Bitmap b = a;
    b.scanLine(2)[2] = 9;
    EXPECT_EQ(a.scanLine(2)[2], 7);
    a = b;
    EXPECT_EQ(a.scanLine(2)[2], 9);
    EXPECT_NE(a.bits(), b.bits());
}

}  // namespace
