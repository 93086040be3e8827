// Feeds arbitrary bytes to the BMP reader. Whatever it accepts must convert to 24 bits and
// survive the writer: written and read again, it gives back the very same bitmap.
#include "Bmp.h"
#include "ToolkitError.h"

#include <cstring>

using Platform::Bitmap;

namespace {

bool same(const Bitmap& a, const Bitmap& b) {
    return a.width() == b.width() && a.height() == b.height() &&
           a.bitsPerPixel() == b.bitsPerPixel() && a.byteCount() == b.byteCount() &&
           std::memcmp(a.bits(), b.bits(), static_cast<size_t>(a.byteCount())) == 0 &&
           a.colorTable() == b.colorTable() && a.masks() == b.masks() &&
           a.dotsPerMeterX() == b.dotsPerMeterX() && a.dotsPerMeterY() == b.dotsPerMeterY();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bitmap bitmap;
    try {
        bitmap = Platform::Bmp::decode(
            QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    } catch (const Platform::ToolkitError&) {
        return 0;
    }
    // Run-length codes can describe a large picture in a few bytes; the conversions of such
    // pictures add time but nothing new to look at.
    if (int64_t{bitmap.width()} * bitmap.height() > (int64_t{1} << 22))
        return 0;
    const Bitmap rgb = bitmap.toBgr24();
    if (rgb.width() != bitmap.width() || rgb.height() != bitmap.height())
        __builtin_trap();
    if (!same(Platform::Bmp::decode(Platform::Bmp::encode(bitmap)), bitmap))
        __builtin_trap();
    return 0;
}
