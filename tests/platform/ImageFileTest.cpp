// Source images in the toolkit's formats, and PNG export.
#include "Bmp.h"
#include "ImageFile.h"
#include "TestSupport.h"
#include "ToolkitError.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QtEndian>

#include <sys/resource.h>
#include <unistd.h>

using namespace Platform;

namespace {

const QString kInvalid = QStringLiteral("ビットマップイメージが不正です");

class ImageFileTest : public TestSupport::TempDirTest {
protected:
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }
    static QByteArray contents(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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

// A 4 x 3 picture of flat, well-separated colours, each drawn as a square of `scale` pixels, so
// that even JPEG keeps the middle of each square nearly exact.
QImage blocks(int scale) {
    const QRgb colours[3][4] = {
        {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)},
        {qRgb(0, 0, 0), qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(255, 0, 255)},
        {qRgb(128, 128, 128), qRgb(64, 0, 128), qRgb(200, 100, 0), qRgb(10, 20, 30)},
    };
    QImage image(4 * scale, 3 * scale, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, colours[y / scale][x / scale]);
    return image;
}

int channelDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

struct Format {
    const char* name;
    int tolerance;  // per channel: 0 for the lossless formats
};

TEST_F(ImageFileTest, EveryReadableFormatBecomesA24BitBitmapOfItsPixels) {
    for (const Format f :
         {Format{"png", 0}, Format{"jpg", 12}, Format{"tiff", 0}, Format{"webp", 12}}) {
        SCOPED_TRACE(f.name);
        if (!QImageReader::supportedImageFormats().contains(f.name))
            continue;  // an optional plugin that is not installed
        const QImage source = blocks(16);
        const QString file = path(QStringLiteral("source.") + QLatin1String(f.name));
        ASSERT_TRUE(source.save(file, f.name, 100));
        const Bitmap bitmap = readImageFile(file);
        ASSERT_EQ(bitmap.bitsPerPixel(), 24);
        ASSERT_EQ(bitmap.width(), source.width());
        ASSERT_EQ(bitmap.height(), source.height());
        // The middle of each block: lossy formats blur the edges between colours.
        int worst = 0;
        for (int y = 8; y < source.height(); y += 16)
            for (int x = 8; x < source.width(); x += 16)
                worst = std::max(worst, channelDistance(bitmap.pixel(x, y), source.pixel(x, y)));
        EXPECT_LE(worst, f.tolerance);
    }
}

// The toolkit writes no GIF: a 2 x 1 one, red and blue, byte by byte.
TEST_F(ImageFileTest, GifBecomesA24BitBitmapOfItsPixels) {
    const QByteArray gif(
        "GIF89a"
        "\x02\x00\x01\x00\x80\x00\x00"  // 2 x 1, two global colours
        "\xff\x00\x00\x00\x00\xff"      // red, blue
        "\x2c\x00\x00\x00\x00\x02\x00\x01\x00\x00"
        "\x02\x02\x44\x0a\x00"  // codes clear, 0, 1, end
        "\x3b",
        35);
    const Bitmap bitmap = readImageFile(write(QStringLiteral("two.gif"), gif));
    ASSERT_EQ(bitmap.bitsPerPixel(), 24);
    ASSERT_EQ(bitmap.width(), 2);
    EXPECT_EQ(bitmap.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(bitmap.pixel(1, 0), qRgb(0, 0, 255));
}

TEST_F(ImageFileTest, TransparentPixelsAreLaidOverWhite) {
    QImage source(3, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgba(255, 0, 0, 0));    // fully transparent red
    source.setPixel(1, 0, qRgba(0, 0, 255, 255));  // opaque blue
    source.setPixel(2, 0, qRgba(0, 0, 0, 102));    // black at 40 %
    const QString file = path(QStringLiteral("alpha.png"));
    ASSERT_TRUE(source.save(file, "png"));
    const Bitmap bitmap = readImageFile(file);
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
    const QString bmpAsPng = write(QStringLiteral("indexed.png"), Bmp::encode(indexed));
    const Bitmap read = readImageFile(bmpAsPng);
    EXPECT_EQ(read.bitsPerPixel(), 8);
    EXPECT_EQ(read.colorTable(), indexed.colorTable());
    EXPECT_EQ(read.pixel(1, 0), qRgb(200, 100, 50));

    const QString pngAsBmp = path(QStringLiteral("picture.bmp"));
    ASSERT_TRUE(blocks(1).save(pngAsBmp, "png"));
    EXPECT_EQ(readImageFile(pngAsBmp).pixel(2, 1), qRgb(0, 255, 255));
}

TEST_F(ImageFileTest, FilesThatAreNoImagesAreRefusedWithTheirMessage) {
    const QString png = path(QStringLiteral("whole.png"));
    ASSERT_TRUE(blocks(16).save(png, "png"));
    const QByteArray whole = contents(png);
    const struct {
        const char* name;
        QString file;
        QString failure;
    } cases[] = {
        {"text", write(QStringLiteral("notes.png"), "just some words\n"), kInvalid},
        {"empty", write(QStringLiteral("empty.jpg"), {}), kInvalid},
        {"truncated png", write(QStringLiteral("cut.png"), whole.left(whole.size() / 2)), kInvalid},
        {"missing", path(QStringLiteral("absent.png")),
         QStringLiteral("ファイル %1 は開けません").arg(path(QStringLiteral("absent.png")))},
        {"folder", dir(), QStringLiteral("ファイル %1 は開けません").arg(dir())},
    };
    for (const auto& c : cases)
        EXPECT_EQ(failureOf(c.file), c.failure) << c.name;
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

// A PNG of 30000 x 30000 pixels, over the bitmap's pixel ceiling, is refused from its header
// alone: under an address space far too narrow for its pixels the answer is still "invalid",
// not "out of memory". (Not under AddressSanitizer, which needs a vast address space.)
TEST_F(ImageFileTest, ImageOverTheCeilingIsRefusedBeforeDecoding) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space limits do not mix with AddressSanitizer";
#else
    QByteArray ihdr("IHDR");
    ihdr.append(13, '\0');
    qToBigEndian<quint32>(30000, ihdr.data() + 4);
    qToBigEndian<quint32>(30000, ihdr.data() + 8);
    ihdr[12] = 8;  // bit depth
    ihdr[13] = 2;  // RGB
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray field(4, '\0');
    qToBigEndian<quint32>(13, field.data());
    png += field + ihdr;
    qToBigEndian<quint32>(crc32(ihdr), field.data());
    png += field;
    // An empty first data chunk: the header is complete, the pixels never come.
    png += QByteArray(4, '\0') + "IDAT";
    qToBigEndian<quint32>(crc32("IDAT"), field.data());
    png += field;
    const QString file = write(QStringLiteral("huge.png"), png);

    QFile statm(QStringLiteral("/proc/self/statm"));
    ASSERT_TRUE(statm.open(QIODevice::ReadOnly));
    const rlim_t used =
        statm.readAll().split(' ').at(0).toULongLong() * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &old), 0);
    rlimit narrow = old;
    narrow.rlim_cur = used + (rlim_t{128} << 20);
    ASSERT_EQ(setrlimit(RLIMIT_AS, &narrow), 0);
    const QString failure = failureOf(file);
    setrlimit(RLIMIT_AS, &old);
    EXPECT_EQ(failure, kInvalid);
#endif
}

// Every depth is written as 8-bit RGB and reads back pixel for pixel; the name's suffix picks
// the format.
TEST_F(ImageFileTest, PngExportReadsBackPixelForPixel) {
    Bitmap indexed(5, 3, 4);
    indexed.setColorTable({qRgb(0, 0, 0), qRgb(250, 10, 20), qRgb(30, 240, 40)});
    indexed.scanLine(1)[1] = 0x12;
    Bitmap rgb = Bitmap::fromQImage(blocks(3).convertToFormat(QImage::Format_BGR888));
    rgb.setDotsPerMeter(3780, 3780);
    for (const Bitmap* bitmap : {&indexed, &rgb}) {
        SCOPED_TRACE(bitmap->bitsPerPixel());
        const QString file = path(QStringLiteral("export.PNG"));
        writeImageFile(*bitmap, file);
        const QByteArray bytes = contents(file);
        ASSERT_TRUE(bytes.startsWith("\x89PNG"));
        EXPECT_EQ(bytes[24], 8);  // bit depth
        EXPECT_EQ(bytes[25], 2);  // colour type RGB: no palette, no alpha
        const QImage back(file);
        ASSERT_EQ(back.size(), QSize(bitmap->width(), bitmap->height()));
        for (int y = 0; y < back.height(); ++y)
            for (int x = 0; x < back.width(); ++x)
                ASSERT_EQ(back.pixel(x, y), bitmap->pixel(x, y)) << x << "," << y;
    }
    EXPECT_EQ(QImage(path(QStringLiteral("export.PNG"))).dotsPerMeterX(), 3780);

    writeImageFile(rgb, path(QStringLiteral("export.bmp")));
    EXPECT_TRUE(contents(path(QStringLiteral("export.bmp"))).startsWith("BM"));
}

TEST_F(ImageFileTest, PngExportFailsLikeTheBitmapExport) {
    const QString target = path(QStringLiteral("taken.png"));
    ASSERT_TRUE(QDir(dir()).mkdir(QStringLiteral("taken.png")));
    try {
        writePngFile(Bitmap(2, 2, 24), target);
        FAIL() << "a folder was overwritten";
    } catch (const ToolkitError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("ファイル %1 を作成できません").arg(target));
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
