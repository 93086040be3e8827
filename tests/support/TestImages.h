#pragma once

// The source images the tests draw on, each with pixels a test can predict.

#include "Bitmap.h"

#include <QColor>

#include <cstdint>
#include <vector>

namespace TestSupport {

// 24 bits, blue = x, green = y, red = 200 (each modulo 256): any pixel can be told from its
// neighbours and from a marker.
inline Platform::Bitmap gradient(int width, int height) {
    Platform::Bitmap b(width, height, 24);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = b.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>(x);
            row[3 * x + 1] = static_cast<uint8_t>(y);
            row[3 * x + 2] = 200;
        }
    }
    return b;
}

// 24 bits of one colour, so whatever is drawn over it (an outline, guide lines) stands out.
inline Platform::Bitmap solid(int width, int height, QRgb colour) {
    Platform::Bitmap b(width, height, 24);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = b.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>(qBlue(colour));
            row[3 * x + 1] = static_cast<uint8_t>(qGreen(colour));
            row[3 * x + 2] = static_cast<uint8_t>(qRed(colour));
        }
    }
    return b;
}

// 8 bits through a table of 256 colours, in diagonal bands.
inline Platform::Bitmap checker(int width, int height) {
    Platform::Bitmap b(width, height, 8);
    std::vector<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table.push_back(qRgb(i, 255 - i, (i * 5) & 0xFF));
    b.setColorTable(table);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.scanLine(y)[x] = static_cast<uint8_t>((x / 3 + y) & 0xFF);
    return b;
}

// 4 bits: stripes in the sixteen colours of its table.
inline Platform::Bitmap fourBit(int width, int height) {
    Platform::Bitmap b(width, height, 4);
    std::vector<QRgb> table;
    for (int i = 0; i < 16; ++i)
        table.push_back(qRgb(i * 16, 255 - i * 16, (i * 37) & 0xFF));
    b.setColorTable(table);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = b.scanLine(y);
        for (int x = 0; x < width; x += 2)
            row[x / 2] = static_cast<uint8_t>((((x + y) / 4) % 16) << 4 | (((x + 1 + y) / 4) % 16));
    }
    return b;
}

}  // namespace TestSupport
