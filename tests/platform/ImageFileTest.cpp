// Source images in the toolkit's formats, and PNG export.
#include "Bmp.h"
#include "ImageFile.h"
#include "TestSupport.h"
#include "ToolkitError.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QtEndian>

#include <functional>

using namespace Platform;

namespace {

const QString kInvalid = QStringLiteral("ビットマップイメージが不正です");
const QString kShortRead = QStringLiteral("ストリームからの読み込みエラー");

class ImageFileTest : public TestSupport::TempDirTest {
protected:
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }
    static QString failureOf(const QString& file) {
        try {
            readImageFile(file);
            return {};
        } catch (const ToolkitError& e) {
            return e.message();
        }
    }
};

// Four flat 16 x 16 squares of well-separated colours: even JPEG keeps their middles nearly
// exact. The GIF, which the toolkit cannot write, is two pixels made byte by byte.
TEST_F(ImageFileTest, OtherFormatsBecome24BitBitmapsOfTheirPixels) {
    QImage squares(32, 32, QImage::Format_RGB32);
    const QRgb colours[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(10, 20, 30)};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            squares.setPixel(x, y, colours[y / 16 * 2 + x / 16]);
    for (const auto& [format, tolerance] : {std::pair{"png", 0}, {"jpg", 12}, {"tiff", 0}}) {
        const QString file = path(QStringLiteral("source.") + QLatin1String(format));
        ASSERT_TRUE(squares.save(file, format, 100)) << format;
        const Bitmap bitmap = readImageFile(file);
        ASSERT_EQ(bitmap.bitsPerPixel(), 24) << format;
        ASSERT_EQ(bitmap.width(), 32) << format;
        for (const QPoint p : {QPoint(8, 8), QPoint(24, 8), QPoint(8, 24), QPoint(24, 24)}) {
            const QRgb got = bitmap.pixel(p.x(), p.y()), want = squares.pixel(p);
            EXPECT_LE(std::abs(qRed(got) - qRed(want)) + std::abs(qGreen(got) - qGreen(want)) +
                          std::abs(qBlue(got) - qBlue(want)),
                      3 * tolerance)
                << format;
        }
    }
    const Bitmap gif = readImageFile(write(QStringLiteral("two.gif"),
                                           QByteArray("GIF89a\x02\x00\x01\x00\x80\x00\x00"
                                                      "\xff\x00\x00\x00\x00\xff"  // red, blue
                                                      "\x2c\x00\x00\x00\x00\x02\x00\x01\x00\x00"
                                                      "\x02\x02\x44\x0a\x00\x3b",
                                                      35)));
    ASSERT_EQ(gif.bitsPerPixel(), 24);
    EXPECT_EQ(gif.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(gif.pixel(1, 0), qRgb(0, 0, 255));
}

TEST_F(ImageFileTest, TransparentPixelsAreLaidOverWhite) {
    QImage source(3, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgba(255, 0, 0, 0));    // fully transparent red
    source.setPixel(1, 0, qRgba(0, 0, 255, 255));  // opaque blue
    source.setPixel(2, 0, qRgba(0, 0, 0, 102));    // black at 40 %
    ASSERT_TRUE(source.save(path(QStringLiteral("alpha.png"))));
    const Bitmap bitmap = readImageFile(path(QStringLiteral("alpha.png")));
    EXPECT_EQ(bitmap.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(bitmap.pixel(1, 0), qRgb(0, 0, 255));
    EXPECT_EQ(bitmap.pixel(2, 0), qRgb(153, 153, 153));  // 60 % of white
}

// The signature decides, not the name: a BMP called .png goes through our codec and keeps its
// palette; a PNG called .bmp is still read.
TEST_F(ImageFileTest, ContentNotNameDecidesTheReader) {
    Bitmap indexed(2, 1, 8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50)});
    indexed.scanLine(0)[1] = 1;
    const Bitmap read = readImageFile(write(QStringLiteral("indexed.png"), Bmp::encode(indexed)));
    EXPECT_EQ(read.bitsPerPixel(), 8);
    EXPECT_EQ(read.colorTable(), indexed.colorTable());

    QImage png(1, 1, QImage::Format_RGB32);
    png.fill(qRgb(0, 255, 255));
    ASSERT_TRUE(png.save(path(QStringLiteral("picture.bmp")), "png"));
    EXPECT_EQ(readImageFile(path(QStringLiteral("picture.bmp"))).pixel(0, 0), qRgb(0, 255, 255));
}

quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<uint8_t>(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// One PNG chunk: length, type and data, checksum.
QByteArray chunk(const QByteArray& typeAndData) {
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(typeAndData.size() - 4), out.data());
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(typeAndData), crc.data());
    return out + typeAndData + crc;
}

TEST_F(ImageFileTest, FilesThatAreNoImagesAreRefusedWithTheirMessage) {
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(image.save(path(QStringLiteral("whole.png"))));
    QFile whole(path(QStringLiteral("whole.png")));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray png = whole.readAll();
    // 30000 x 30000 RGB: over the pixel ceiling, refused from the header before any decoding.
    QByteArray ihdr("IHDR\0\0\0\0\0\0\0\0\x08\x02\0\0\0", 17);
    qToBigEndian<quint32>(30000, ihdr.data() + 4);
    qToBigEndian<quint32>(30000, ihdr.data() + 8);
    const QByteArray huge = png.left(8) + chunk(ihdr) + chunk("IDAT");
    const QString missing = path(QStringLiteral("absent.png"));
    const struct {
        const char* name;
        QString file;
        QString failure;
    } cases[] = {
        {"text", write(QStringLiteral("notes.png"), "just some words\n"), kInvalid},
        {"empty", write(QStringLiteral("empty.jpg"), {}), kInvalid},
        {"empty bitmap", write(QStringLiteral("empty.BMP"), {}), kShortRead},
        {"one-byte bitmap", write(QStringLiteral("one.bmp"), "B"), kShortRead},
        {"truncated", write(QStringLiteral("cut.png"), png.left(png.size() / 2)), kInvalid},
        {"over the ceiling", write(QStringLiteral("huge.png"), huge), kInvalid},
        {"missing", missing, QStringLiteral("ファイル %1 は開けません").arg(missing)},
        {"folder", dir(), QStringLiteral("ファイル %1 は開けません").arg(dir())},
    };
    for (const auto& c : cases)
        EXPECT_EQ(failureOf(c.file), c.failure) << c.name;
}

// Every depth is written as 8-bit RGB and reads back pixel for pixel; the suffix picks the
// format.
TEST_F(ImageFileTest, PngExportReadsBackPixelForPixel) {
    Bitmap indexed(5, 3, 4);
    indexed.setColorTable({qRgb(0, 0, 0), qRgb(250, 10, 20), qRgb(30, 240, 40)});
    indexed.scanLine(1)[1] = 0x12;
    Bitmap rgb(7, 2, 24);
    for (int i = 0; i < 7 * 3; ++i)
        rgb.scanLine(1)[i] = static_cast<uint8_t>(i * 12);
    for (const Bitmap* bitmap : {&indexed, &rgb}) {
        const QString file = path(QStringLiteral("export.PNG"));
        writeImageFile(*bitmap, file);
        QFile written(file);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(written.read(26).mid(24), QByteArray("\x08\x02", 2));  // 8-bit RGB
        const QImage back(file);
        ASSERT_EQ(back.size(), QSize(bitmap->width(), bitmap->height()));
        for (int y = 0; y < back.height(); ++y)
            for (int x = 0; x < back.width(); ++x)
                ASSERT_EQ(back.pixel(x, y), bitmap->pixel(x, y)) << x << "," << y;
    }
    writeImageFile(rgb, path(QStringLiteral("export.bmp")));
    QFile bmp(path(QStringLiteral("export.bmp")));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    EXPECT_EQ(bmp.read(2), "BM");
}

// Pictures that deflate well and pictures that do not (written stored) both read back exactly,
// with their resolution.
TEST_F(ImageFileTest, PngEncodingOfCompressibleAndIncompressiblePictures) {
    struct Case {
        const char* name;
        int width, height;
        std::function<uint8_t(int x, int y)> byte;
    } const cases[] = {
        {"flat", 300, 200, [](int, int) -> uint8_t { return 236; }},
        {"noise", 300, 200,
         [](int x, int y) -> uint8_t { return uint8_t((x * 2654435761u + y * 40503u) >> 13); }},
        {"stripes", 1, 70000 / 3, [](int, int y) -> uint8_t { return uint8_t(y % 3 * 100); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap bitmap(c.width, c.height, 24);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width * 3; ++x)
                bitmap.scanLine(y)[x] = c.byte(x, y);
        bitmap.setDotsPerMeter(3780, 2835);
        const QByteArray png = encodePng(bitmap);
        QImage back;
        ASSERT_TRUE(back.loadFromData(png, "PNG"));
        EXPECT_EQ(back.dotsPerMeterX(), 3780);
        EXPECT_EQ(back.dotsPerMeterY(), 2835);
        ASSERT_EQ(back.size(), QSize(c.width, c.height));
        for (int y = 0; y < back.height(); ++y)
            for (int x = 0; x < back.width(); ++x)
                ASSERT_EQ(back.pixel(x, y), bitmap.pixel(x, y)) << x << "," << y;
    }
}

TEST(ImageFileFilter, NamesTheCommonFormatsAfterTheBitmap) {
    const QStringList suffixes = readableImageSuffixes();
    for (const char* s : {"bmp", "gif", "jpeg", "jpg", "png"})
        EXPECT_TRUE(suffixes.contains(QLatin1String(s))) << s;
    EXPECT_TRUE(readableImageFilter().startsWith(QStringLiteral("画像ファイル(*.bmp *.")));
    EXPECT_TRUE(readableImageFilter().contains(QStringLiteral(" *.png ")));
}

}  // namespace
