#pragma once

#include "Bitmap.h"
#include "WorkFile.h"

#include <QtGui/qrgb.h>

#include <cstdint>
#include <string>

// The documents the fault harness and its helper program both make, so that the harness knows
// every byte the helper should write.
namespace FaultImages {

// A picture whose every byte depends on its place and on `seed`; 8-bit ones carry a full
// colour table.
inline Platform::Bitmap picture(int width, int height, int bitsPerPixel, uint32_t seed) {
    Platform::Bitmap b(width, height, bitsPerPixel);
    const int rowBytes = (width * bitsPerPixel + 7) / 8;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = b.scanLine(y);
        for (int x = 0; x < rowBytes; ++x)
            row[x] = static_cast<uint8_t>(x * 7 + y * 13 + seed * 31);
    }
    if (bitsPerPixel <= 8) {
        std::vector<QRgb> table;
        for (int i = 0; i < (1 << bitsPerPixel); ++i)
            table.push_back(qRgb(i, 255 - i, static_cast<int>((i * 5 + seed) & 0xFF)));
        b.setColorTable(std::move(table));
    }
    return b;
}

inline Document::WorkLines lines(uint32_t seed) {
    return {"Arial,12,255,1,0,0,0", "2", "5,5,,,0", "20,10,,," + std::to_string(seed % 99)};
}

}  // namespace FaultImages
