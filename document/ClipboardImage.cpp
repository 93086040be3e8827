#include "ClipboardImage.h"

#include "ToolkitError.h"

#include <QImage>
#include <QMimeData>

namespace Document {

Platform::Bitmap ClipboardBitmap(const QMimeData* data) {
    if (!data)
        throw Platform::ToolkitError(QStringLiteral("クリップボードを開くことができません"));
    if (!data->hasImage())
        throw Platform::ToolkitError(QStringLiteral("未対応のクリップボード データです"));
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull())
        throw Platform::ToolkitError(QStringLiteral("未対応のクリップボード データです"));
    return Platform::Bitmap::fromQImage(image);
}

}  // namespace Document
