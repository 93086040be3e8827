#include "ImageFile.h"

#include "AtomicFile.h"
#include "Bmp.h"
#include "ToolkitError.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <memory>
#include <new>

namespace Platform {
namespace {

// The most a reader may allocate for one decoded image, in megabytes: the largest bitmap we
// hold at four bytes a pixel, the widest format the readers decode into.
constexpr int kAllocationLimitMb = static_cast<int>(Bitmap::kMaxPixels * 4 >> 20);

// Straight alpha over white, rounded to the nearest value.
inline uint8_t overWhite(int channel, int alpha) {
    return static_cast<uint8_t>((channel * alpha + 255 * (255 - alpha) + 127) / 255);
}

Bitmap toBitmap24(const QImage& decoded) {
    const bool alpha = decoded.hasAlphaChannel();
    const QImage image =
        decoded.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        throw ToolkitError(Msg::outOfMemory());
    Bitmap bitmap(image.width(), image.height(), 24);
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uint8_t* out = bitmap.scanLine(y);
        for (int x = 0; x < image.width(); ++x, out += 3) {
            const QRgb c = in[x];
            const int a = alpha ? qAlpha(c) : 255;
            out[0] = overWhite(qBlue(c), a);
            out[1] = overWhite(qGreen(c), a);
            out[2] = overWhite(qRed(c), a);
        }
    }
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0)
        bitmap.setDotsPerMeter(image.dotsPerMeterX(), image.dotsPerMeterY());
    return bitmap;
}

Bitmap readWith(QImageReader& reader) {
    reader.setAutoTransform(true);
    reader.setAllocationLimit(kAllocationLimitMb);
    // Most formats tell their size from the header: an image we could not hold is refused
    // before a byte of it is decoded.
    const QSize size = reader.size();
    if (size.isValid() && !Bitmap::sizeWithinLimits(size.width(), size.height()))
        throw ToolkitError(Msg::invalidBitmap());
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        if (reader.error() == QImageReader::DeviceError)
            throw ToolkitError(Msg::streamReadError());
        throw ToolkitError(Msg::invalidBitmap());
    }
    if (!Bitmap::sizeWithinLimits(image.width(), image.height()))
        throw ToolkitError(Msg::invalidBitmap());
    return toBitmap24(image);
}

Bitmap readOtherFormat(QFile& file, const QString& path) {
    // The content decides; the few formats without a signature of their own (TGA, say) are
    // known by the suffix alone.
    auto reader = std::make_unique<QImageReader>(&file);
    reader->setDecideFormatFromContent(true);
    if (!reader->canRead()) {
        file.seek(0);
        reader =
            std::make_unique<QImageReader>(&file, QFileInfo(path).suffix().toLower().toLatin1());
    }
    return readWith(*reader);
}

}  // namespace

Bitmap readImageFile(const QString& path) {
    // Only plain files: a device or a pipe could hand out bytes without end.
    QFile file(path);
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        throw ToolkitError(Msg::cannotOpenFile(path));
    char signature[2] = {};
    const qint64 got = file.peek(signature, 2);
    // A ".bmp" too short to carry a signature is a short bitmap, not an unknown format.
    const bool shortBmp = got < 2 && QFileInfo(path).suffix().compare(QStringLiteral("bmp"),
                                                                      Qt::CaseInsensitive) == 0;
    if (shortBmp || (got == 2 && signature[0] == 'B' && signature[1] == 'M')) {
        file.close();
        return Bmp::readFile(path);
    }
    try {
        return readOtherFormat(file, path);
    } catch (const std::bad_alloc&) {
        throw ToolkitError(Msg::outOfMemory());
    }
}

QStringList readableImageSuffixes() {
    QStringList others;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        others.append(QString::fromLatin1(format).toLower());
    others.sort();
    others.removeDuplicates();
    others.removeAll(QStringLiteral("bmp"));
    return QStringList{QStringLiteral("bmp")} + others;
}

QString readableImageFilter() {
    QStringList patterns;
    for (const QString& suffix : readableImageSuffixes())
        patterns.append(QStringLiteral("*.") + suffix);
    return QStringLiteral("画像ファイル(") + patterns.join(QLatin1Char(' ')) + QStringLiteral(")");
}

QImage toRgbImage(const Bitmap& bitmap) {
    if (bitmap.isNull())
        throw ToolkitError(Msg::invalidBitmap());
    try {
        QImage image(bitmap.width(), bitmap.height(), QImage::Format_RGB888);
        if (image.isNull())
            throw ToolkitError(Msg::outOfMemory());
        for (int y = 0; y < bitmap.height(); ++y) {
            uint8_t* row = image.scanLine(y);
            bitmap.rowToBgr(y, row);
            for (int x = 0; x < bitmap.width(); ++x)
                std::swap(row[3 * x], row[3 * x + 2]);
        }
        if (bitmap.dotsPerMeterX() > 0 && bitmap.dotsPerMeterY() > 0) {
            image.setDotsPerMeterX(bitmap.dotsPerMeterX());
            image.setDotsPerMeterY(bitmap.dotsPerMeterY());
        }
        return image;
    } catch (const std::bad_alloc&) {
        throw ToolkitError(Msg::outOfMemory());
    }
}

void writePngFile(const Bitmap& bitmap, const QString& path) {
    // Encoding first: a bitmap that cannot be written leaves the disk as it was.
    writeFileDurably(path, encodePng(bitmap));
}

void writeImageFile(const Bitmap& bitmap, const QString& path) {
    if (QFileInfo(path).suffix().compare(QStringLiteral("png"), Qt::CaseInsensitive) == 0)
        writePngFile(bitmap, path);
    else
        Bmp::writeFile(bitmap, path);
}

}  // namespace Platform
