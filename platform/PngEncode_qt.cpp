// PNG files through the toolkit's own writer, where libdeflate is not available.
#include "ImageFile.h"

#include "ToolkitError.h"

#include <QBuffer>
#include <QImageWriter>

#include <new>

namespace Platform {

QByteArray encodePng(const Bitmap& bitmap) {
    const QImage image = toRgbImage(bitmap);
    QByteArray bytes;
    try {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        // The writer maps quality 80 .. 89 to zlib's level 1: its default (level 6) spends
        // many seconds on a large picture for a few per cent of size.
        writer.setQuality(85);
        if (!writer.write(image))
            throw ToolkitError(Msg::streamWriteError());
    } catch (const std::bad_alloc&) {
        throw ToolkitError(Msg::outOfMemory());
    }
    return bytes;
}

}  // namespace Platform
