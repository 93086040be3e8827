#include "ImageList.h"

#include "Bmp.h"
#include "ToolkitError.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace Markers {

void ImageList::Add(const Platform::Bitmap& bitmap, QRgb transparent) {
    if (bitmap.height() != Height || bitmap.width() <= 0 || bitmap.width() % Width != 0)
        throw Platform::ToolkitError(Platform::Msg::invalidBitmap());
    const int count = bitmap.width() / Width;
    std::vector<Image> images(static_cast<size_t>(count));
    std::vector<uint8_t> row(static_cast<size_t>(bitmap.width()) * 3);
    const uint8_t key[3] = {static_cast<uint8_t>(qBlue(transparent)),
                            static_cast<uint8_t>(qGreen(transparent)),
                            static_cast<uint8_t>(qRed(transparent))};
    for (int y = 0; y < Height; ++y) {
        bitmap.rowToBgr(y, row.data());
        for (int i = 0; i < count; ++i) {
            Image& image = images[static_cast<size_t>(i)];
            const uint8_t* in = row.data() + static_cast<size_t>(i) * Width * 3;
            std::memcpy(image.bgr.data() + y * Width * 3, in, Width * 3);
            // Runs of opaque pixels, so drawing copies whole stretches at once.
            int x = 0;
            while (x < Width) {
                while (x < Width && std::memcmp(in + x * 3, key, 3) == 0)
                    ++x;
                const int start = x;
                while (x < Width && std::memcmp(in + x * 3, key, 3) != 0)
                    ++x;
                if (x > start)
                    image.runs[static_cast<size_t>(y)].push_back(
                        {static_cast<uint8_t>(start), static_cast<uint8_t>(x - start)});
            }
        }
    }
    m_images.insert(m_images.end(), std::make_move_iterator(images.begin()),
                    std::make_move_iterator(images.end()));
}

void ImageList::AddResource(const QString& name, QRgb transparent) {
    QFile file(kGlyphResourcePrefix + name);
    if (!file.open(QIODevice::ReadOnly))
        throw Platform::ToolkitError(Platform::Msg::cannotOpenFile(file.fileName()));
    Add(Platform::Bmp::decode(file.readAll()), transparent);
}

void ImageList::Draw(Platform::Bitmap& canvas, int64_t x, int64_t y, int index) const {
    DrawPart(canvas, x, y, index, 0, 0, Width, Height);
}

void ImageList::DrawPart(Platform::Bitmap& canvas, int64_t x, int64_t y, int index, int left,
                         int top, int width, int height) const {
    if (index < 0 || index >= Count() || canvas.bitsPerPixel() != 24 || canvas.isNull())
        return;
    const int64_t w = canvas.width();
    const int64_t h = canvas.height();
    const int64_t partLeft = std::clamp(left, 0, Width);
    const int64_t partRight = std::clamp<int64_t>(int64_t{left} + width, partLeft, Width);
    const int64_t partTop = std::clamp(top, 0, Height);
    const int64_t partBottom = std::clamp<int64_t>(int64_t{top} + height, partTop, Height);
    if (x + partLeft >= w || y + partTop >= h || x + partRight <= 0 || y + partBottom <= 0)
        return;
    const Image& image = m_images[static_cast<size_t>(index)];
    const int firstRow = static_cast<int>(std::max<int64_t>(partTop, -y));
    const int lastRow = static_cast<int>(std::min<int64_t>(partBottom, h - y));
    for (int r = firstRow; r < lastRow; ++r) {
        uint8_t* out = canvas.scanLine(static_cast<int>(y + r));
        const uint8_t* in = image.bgr.data() + r * Width * 3;
        for (const Run& run : image.runs[static_cast<size_t>(r)]) {
            const int64_t from = std::max<int64_t>(x + std::max<int64_t>(run.start, partLeft), 0);
            const int64_t to =
                std::min<int64_t>(x + std::min<int64_t>(run.start + run.length, partRight), w);
            if (from >= to)
                continue;
            std::memcpy(out + from * 3, in + (from - x) * 3, static_cast<size_t>(to - from) * 3);
        }
    }
}

std::optional<QRgb> ImageList::Pixel(int index, int x, int y) const {
    const Image& image = m_images.at(static_cast<size_t>(index));
    for (const Run& run : image.runs.at(static_cast<size_t>(y))) {
        if (x >= run.start && x < run.start + run.length) {
            const uint8_t* p = image.bgr.data() + (y * Width + x) * 3;
            return qRgb(p[2], p[1], p[0]);
        }
    }
    return std::nullopt;
}

}  // namespace Markers
