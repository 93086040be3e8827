#pragma once

#include <QString>

#include <string>
#include <string_view>

// Code page 932 (Shift-JIS with the vendor extensions) is the program's text encoding for
// work files and the utility library, whatever the host locale says.
namespace Platform::Cp932 {

// Bytes that cannot be represented become '?' (encode) or U+FFFD (decode); neither throws.
std::string fromUnicode(const QString& text);
QString toUnicode(std::string_view bytes);

// True for the first byte of a double-byte character: 0x81..0x9F and 0xE0..0xFC.
constexpr bool isLeadByte(unsigned char c) noexcept {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace Platform::Cp932
