#include "WindowImages.h"

#include <QBitmap>
#include <QImage>

namespace WindowImages {

namespace {

QString pathOf(const QString& name) {
    return QStringLiteral(":/window/%1").arg(name);
}

QPixmap keyed(const QImage& image) {
    if (image.isNull())
        return {};
    QPixmap pixmap = QPixmap::fromImage(image);
    const QRgb key = image.pixel(0, image.height() - 1);
    pixmap.setMask(QBitmap::fromImage(image.createMaskFromColor(key, Qt::MaskInColor)));
    return pixmap;
}

}  // namespace

QPixmap KeyedPixmap(const QString& name) {
    return keyed(QImage(pathOf(name)));
}

QIcon ButtonIcon(const QString& name) {
    const QImage image(pathOf(QStringLiteral("BTN") + name));
    QIcon icon;
    if (image.isNull())
        return icon;
    const int h = image.height();
    if (image.width() >= 2 * h) {
        icon.addPixmap(keyed(image.copy(0, 0, h, h)), QIcon::Normal);
        icon.addPixmap(keyed(image.copy(h, 0, h, h)), QIcon::Disabled);
    } else {
        icon.addPixmap(keyed(image), QIcon::Normal);
    }
    return icon;
}

QIcon MainIcon() {
    return QIcon(KeyedPixmap(QStringLiteral("MAINICON")));
}

// The resource holds the AND mask (rows 0 to 31) above the XOR mask (rows 32 to 63), a white
// pixel being a set bit. In Qt's terms: AND 0 / XOR 0 black, AND 0 / XOR 1 white, AND 1 / XOR 0
// see-through, AND 1 / XOR 1 inverted screen.
QCursor DragCursor() {
    const QImage image(pathOf(QStringLiteral("DRUGCURSOR")));
    if (image.width() != 32 || image.height() != 64)
        return QCursor(Qt::DragMoveCursor);
    QImage bitmap(32, 32, QImage::Format_Mono);
    QImage mask(32, 32, QImage::Format_Mono);
    for (QImage* plane : {&bitmap, &mask}) {
        plane->setColor(0, qRgb(255, 255, 255));
        plane->setColor(1, qRgb(0, 0, 0));
    }
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool andBit = qGray(image.pixel(x, y)) > 127;
            const bool xorBit = qGray(image.pixel(x, y + 32)) > 127;
            // Qt: bitmap 1 mask 1 black, 0 1 white, 0 0 see-through, 1 0 inverted.
            bitmap.setPixel(x, y, andBit == xorBit ? 1 : 0);
            mask.setPixel(x, y, andBit ? 0 : 1);
        }
    return QCursor(QBitmap::fromImage(bitmap), QBitmap::fromImage(mask), DragCursorHotSpot,
                   DragCursorHotSpot);
}

}  // namespace WindowImages
