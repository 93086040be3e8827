#include "Cp932.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QList>

namespace Platform::Cp932 {
namespace {

constexpr UINT kCodePage = 932;

// The system's table and ours differ in a few places; ours is what every build writes and
// reads, so these are settled here before the system is asked:
//  - the system gives the unused single bytes 0x80, 0xA0 and 0xFD..0xFF characters of their
//    own (U+0080, U+F8F0..U+F8F3); they are broken input to us, and those characters have no
//    byte;
//  - nine characters outside the system's table are written as the character of the table
//    that Japanese text has long used for them: the wave dash as the fullwidth tilde, the
//    double vertical line as "parallel to", the minus sign as the fullwidth hyphen-minus, the
//    cent, pound and not signs as their fullwidth forms, the em dash as the horizontal bar,
//    and the yen sign and the overline as the single bytes 0x5C and 0x7E they share with the
//    backslash and the tilde on Japanese systems.
bool isUnusedByte(unsigned char c) {
    return c == 0x80 || c == 0xA0 || c >= 0xFD;
}

bool hasNoByte(char32_t u) {
    return u == 0x80 || (u >= 0xF8F0 && u <= 0xF8F3) || u > 0xFFFF ||
           (u >= 0xD800 && u <= 0xDFFF);
}

const char* extraBytes(char32_t u) {
    switch (u) {
    case 0x00A2:
        return "\x81\x91";
    case 0x00A3:
        return "\x81\x92";
    case 0x00A5:
        return "\x5C";
    case 0x00AC:
        return "\x81\xCA";
    case 0x2014:
        return "\x81\x5C";
    case 0x2016:
        return "\x81\x61";
    case 0x203E:
        return "\x7E";
    case 0x2212:
        return "\x81\x7C";
    case 0x301C:
        return "\x81\x60";
    default:
        return nullptr;
    }
}

// One character through the system without any best-fit guess: a look-alike (an "a" for
// "á") would silently change the text, where a '?' shows that something was lost.
void appendEncoded(std::string& out, char32_t u) {
    if (const char* extra = extraBytes(u)) {
        out += extra;
        return;
    }
    if (hasNoByte(u)) {
        out += '?';
        return;
    }
    const wchar_t wide = static_cast<wchar_t>(u);
    char bytes[4] = {};
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes,
                                      sizeof bytes, nullptr, &usedDefault);
    if (n <= 0 || usedDefault)
        out += '?';
    else
        out.append(bytes, static_cast<size_t>(n));
}

// The character of one or two bytes, or nothing when they are not a character of the table.
// Broken input is refused by the system only when asked to; an unassigned pair is also
// recognised by the system's stand-in (the katakana middle dot, whose own bytes are 0x8145).
bool decodeUnit(const char* bytes, int count, wchar_t& out) {
    wchar_t wide[2] = {};
    const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes, count, wide, 2);
    if (n != 1)
        return false;
    if (wide[0] == 0x30FB && !(count == 2 && static_cast<unsigned char>(bytes[0]) == 0x81 &&
                               static_cast<unsigned char>(bytes[1]) == 0x45))
        return false;
    out = wide[0];
    return true;
}

}  // namespace

std::string fromUnicode(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()) * 2);
    const QList<uint> ucs4 = text.toUcs4();
    for (const uint u : ucs4)
        appendEncoded(out, static_cast<char32_t>(u));
    return out;
}

QString toUnicode(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += QChar(c);  // ASCII is the same in both, NUL included
            ++i;
            continue;
        }
        wchar_t wide = 0;
        const int count = isLeadByte(c) ? 2 : 1;
        // A broken unit becomes U+FFFD and only its first byte is skipped, so that a stray
        // lead byte does not swallow the character after it.
        if (i + static_cast<size_t>(count) <= bytes.size() && !(count == 1 && isUnusedByte(c)) &&
            decodeUnit(bytes.data() + i, count, wide)) {
            out += QChar(static_cast<char16_t>(wide));
            i += static_cast<size_t>(count);
        } else {
            out += QChar(0xFFFD);
            ++i;
        }
    }
    return out;
}

}  // namespace Platform::Cp932
