#include "ClipboardImage.h"
#include "ToolkitError.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QMimeData>

using Document::ClipboardBitmap;

namespace {

QString messageOf(const QMimeData* data) {
    try {
        ClipboardBitmap(data);
    } catch (const Platform::ToolkitError& e) {
        return e.message();
    }
    return QStringLiteral("(no failure)");
}

}  // namespace

TEST(ClipboardImage, WithoutAnImageTheFailureNamesTheReason) {
    QMimeData text;
    text.setText(QStringLiteral("words"));
    QMimeData empty;
    EXPECT_EQ(messageOf(nullptr), QStringLiteral("クリップボードを開くことができません"));
    EXPECT_EQ(messageOf(&text), QStringLiteral("未対応のクリップボード データです"));
    EXPECT_EQ(messageOf(&empty), QStringLiteral("未対応のクリップボード データです"));
}

TEST(ClipboardImage, ImageKeepsItsDepth) {
    const struct {
        const char* name;
        QImage::Format format;
        int bits;
    } rows[] = {
        {"mono", QImage::Format_Mono, 1},
        {"indexed", QImage::Format_Indexed8, 8},
        {"rgb888", QImage::Format_RGB888, 24},
        {"argb32", QImage::Format_ARGB32, 32},
    };
    for (const auto& row : rows) {
        QImage image(17, 9, row.format);
        if (image.colorCount() == 0 && row.bits <= 8)
            image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        image.fill(0);
        QMimeData data;
        data.setImageData(image);
        const Platform::Bitmap b = ClipboardBitmap(&data);
        EXPECT_EQ(b.bitsPerPixel(), row.bits) << row.name;
        EXPECT_EQ(b.width(), 17) << row.name;
        EXPECT_EQ(b.height(), 9) << row.name;
    }
}
