// Byte-width text, CSV splitting, width conversion and numeric checks.
#include "Common.h"
#include "Cp932.h"
#include "IntText.h"
#include "PathRules.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <map>
#include <optional>

namespace Common {

std::string CutString(const std::string& s, int n) {
    if (n <= 0)
        return {};
    const std::size_t count = static_cast<std::size_t>(n);
    if (count >= s.size())
        return s;
    // Byte n (1-based) opening a double-byte character would be cut in half.
    return s.substr(0, Detail::leadBytes(s)[count - 1] ? count - 1 : count);
}

std::string AddHead(const std::string& s, char c, int n) {
    if (n <= 0)
        return {};
    const std::string padded = std::string(static_cast<std::size_t>(n), c) + s;
    return padded.substr(padded.size() - static_cast<std::size_t>(n));
}

std::string AddTail(const std::string& s, char c, int n) {
    if (n <= 0)
        return {};
    return (s + std::string(static_cast<std::size_t>(n), c)).substr(0, static_cast<std::size_t>(n));
}

void ParseExcelCSV(const std::u16string& line, std::vector<std::string>& list) {
    list.clear();
    try {
        const std::u16string text = line + u',';
        std::u16string field;
        bool quoted = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t c = text[i];
            if (quoted) {
                if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                    field.push_back(u'"');
                    ++i;
                } else if (c == u'"') {
                    quoted = false;
                } else {
                    field.push_back(c);
                }
            } else if (c == u'"') {
                quoted = true;
            } else if (c == u',') {
                list.push_back(Platform::Cp932::fromUnicode(QString::fromStdU16String(field)));
                field.clear();
            } else {
                field.push_back(c);
            }
        }
        // Ending inside quotes: the open field is dropped.
    } catch (...) {
        // Out of memory: keep the fields found so far.
    }
}

// ---- Half-width / full-width --------------------------------------------------------------
namespace {

// One half-width katakana byte (0xA1..0xDF) and its full-width forms (plain, voiced,
// semi-voiced; 0 where there is none).
struct Kana {
    char16_t plain, voiced, semiVoiced;
};

constexpr std::array<Kana, 63> kKana = {{
    {u'。', 0, 0},         {u'「', 0, 0},         {u'」', 0, 0},         {u'、', 0, 0},
    {u'・', 0, 0},         {u'ヲ', 0, 0},         {u'ァ', 0, 0},         {u'ィ', 0, 0},
    {u'ゥ', 0, 0},         {u'ェ', 0, 0},         {u'ォ', 0, 0},         {u'ャ', 0, 0},
    {u'ュ', 0, 0},         {u'ョ', 0, 0},         {u'ッ', 0, 0},         {u'ー', 0, 0},
    {u'ア', 0, 0},         {u'イ', 0, 0},         {u'ウ', u'ヴ', 0},     {u'エ', 0, 0},
    {u'オ', 0, 0},         {u'カ', u'ガ', 0},     {u'キ', u'ギ', 0},     {u'ク', u'グ', 0},
    {u'ケ', u'ゲ', 0},     {u'コ', u'ゴ', 0},     {u'サ', u'ザ', 0},     {u'シ', u'ジ', 0},
    {u'ス', u'ズ', 0},     {u'セ', u'ゼ', 0},     {u'ソ', u'ゾ', 0},     {u'タ', u'ダ', 0},
    {u'チ', u'ヂ', 0},     {u'ツ', u'ヅ', 0},     {u'テ', u'デ', 0},     {u'ト', u'ド', 0},
    {u'ナ', 0, 0},         {u'ニ', 0, 0},         {u'ヌ', 0, 0},         {u'ネ', 0, 0},
    {u'ノ', 0, 0},         {u'ハ', u'バ', u'パ'}, {u'ヒ', u'ビ', u'ピ'}, {u'フ', u'ブ', u'プ'},
    {u'ヘ', u'ベ', u'ペ'}, {u'ホ', u'ボ', u'ポ'}, {u'マ', 0, 0},         {u'ミ', 0, 0},
    {u'ム', 0, 0},         {u'メ', 0, 0},         {u'モ', 0, 0},         {u'ヤ', 0, 0},
    {u'ユ', 0, 0},         {u'ヨ', 0, 0},         {u'ラ', 0, 0},         {u'リ', 0, 0},
    {u'ル', 0, 0},         {u'レ', 0, 0},         {u'ロ', 0, 0},         {u'ワ', 0, 0},
    {u'ン', 0, 0},         {u'゛', 0, 0},         {u'゜', 0, 0},
}};

constexpr unsigned char kFirstKana = 0xA1;
constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

// The conversion tables in code page 932 bytes, made once from the Unicode forms above.
struct WidthTables {
    std::array<std::string, 256> toFull;  // single byte -> double-byte character
    std::array<std::string, 63> voiced;   // katakana byte - 0xA1 -> voiced double-byte form
    std::array<std::string, 63> semiVoiced;
    std::map<std::string, std::string> toHalf;  // double-byte character -> half-width bytes

    WidthTables() {
        const auto cp932 = [](char16_t c) {
            return Platform::Cp932::fromUnicode(QString(QChar(c)));
        };
        const auto add = [&](char16_t full, std::string half) {
            const std::string bytes = cp932(full);
            if (bytes.size() == 2)  // representable in code page 932
                toHalf.emplace(bytes, std::move(half));
            return bytes;
        };
        toFull[' '] = add(u'\u3000', " ");
        for (int c = 0x21; c <= 0x7E; ++c)
            toFull[c] = add(static_cast<char16_t>(0xFF01 + (c - 0x21)),
                            std::string(1, static_cast<char>(c)));
        for (std::size_t k = 0; k < kKana.size(); ++k) {
            const char half = static_cast<char>(kFirstKana + k);
            toFull[kFirstKana + k] = add(kKana[k].plain, std::string(1, half));
            if (kKana[k].voiced)
                voiced[k] = add(kKana[k].voiced, std::string{half, char(kVoicedMark)});
            if (kKana[k].semiVoiced)
                semiVoiced[k] = add(kKana[k].semiVoiced, std::string{half, char(kSemiVoicedMark)});
        }
    }
};

const WidthTables& widthTables() {
    static const WidthTables tables;
    return tables;
}

// Like the platform's mapping of a zero-terminated text: the result ends at the first NUL.
std::string_view upToNul(const std::string& s) {
    return std::string_view(s).substr(0, s.find('\0'));
}

}  // namespace

std::string HanToZen(const std::string& s) {
    try {
        if (std::optional<std::string> mapped = Detail::systemWidthMap(upToNul(s), true))
            return std::move(*mapped);
        const WidthTables& t = widthTables();
        const std::string_view in = upToNul(s);
        std::string out;
        out.reserve(in.size() * 2);
        for (std::size_t i = 0; i < in.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(in[i]);
            if (Platform::Cp932::isLeadByte(c) && i + 1 < in.size()) {
                out.append(in.substr(i, 2));
                ++i;
                continue;
            }
            if (c >= kFirstKana && c < kFirstKana + kKana.size() && i + 1 < in.size()) {
                const std::size_t k = c - kFirstKana;
                const unsigned char next = static_cast<unsigned char>(in[i + 1]);
                const std::string& combined = next == kVoicedMark       ? t.voiced[k]
                                              : next == kSemiVoicedMark ? t.semiVoiced[k]
                                                                        : std::string();
                if (!combined.empty()) {
                    out += combined;
                    ++i;
                    continue;
                }
            }
            if (!t.toFull[c].empty())
                out += t.toFull[c];
            else
                out.push_back(static_cast<char>(c));
        }
        return out;
    } catch (...) {
        return {};
    }
}

std::string ZenToHan(const std::string& s) {
    try {
        if (std::optional<std::string> mapped = Detail::systemWidthMap(upToNul(s), false))
            return std::move(*mapped);
        const WidthTables& t = widthTables();
        const std::string_view in = upToNul(s);
        std::string out;
        out.reserve(in.size());
        for (std::size_t i = 0; i < in.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(in[i]);
            if (Platform::Cp932::isLeadByte(c) && i + 1 < in.size()) {
                const std::string pair(in.substr(i, 2));
                const auto found = t.toHalf.find(pair);
                out += found != t.toHalf.end() ? found->second : pair;
                ++i;
                continue;
            }
            out.push_back(static_cast<char>(c));
        }
        return out;
    } catch (...) {
        return {};
    }
}

// ---- Numeric checks ------------------------------------------------------------------------

namespace {

// For a number out of range: whether it is out of range because it is too close to zero (its
// decimal exponent is negative) rather than too large.
bool tooSmallToRepresent(const char* begin, const char* end) {
    long long exponent = 0;
    bool seenDigit = false, afterPoint = false;
    const char* p = begin;
    for (; p != end && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.') {
            afterPoint = true;
        } else if (*p != '0' || seenDigit) {
            seenDigit = true;
            if (!afterPoint)
                ++exponent;
        } else if (afterPoint) {
            --exponent;  // a zero between the point and the first significant digit
        }
    }
    if (p != end) {
        const char* digits = p + 1;
        const bool negative = digits != end && *digits == '-';
        if (digits != end && *digits == '+')
            ++digits;
        long long explicitExponent = 0;
        // A huge exponent is out of range itself; only its sign matters then.
        if (std::from_chars(digits, end, explicitExponent).ec == std::errc::result_out_of_range)
            explicitExponent = negative ? -1000000 : 1000000;
        exponent += std::clamp(explicitExponent, -1000000LL, 1000000LL);
    }
    return exponent <= 0;
}

}  // namespace


bool CheckInteger(const std::string& s) {
    return Platform::parseInt32(s, Platform::IntSpelling::Toolkit).has_value();
}

bool CheckFloat(const std::string& s) {
    if (s.find('\0') != std::string::npos)
        return false;
    // Read as the C locale reads it, whatever locale the program runs in: leading white
    // space, an optional sign, the number, then only blanks.
    const char* p = s.data();
    const char* const end = s.data() + s.size();
    while (p != end && std::strchr(" \t\n\v\f\r", *p))
        ++p;
    if (p != end && (*p == '+' || *p == '-'))
        ++p;
    // Decimal notation only: infinities and NaNs are not numbers a user types into a numeric
    // field (the conversion below would read them).
    if (p == end || !std::strchr("0123456789.", *p))
        return false;
    double value = 0;
    const std::from_chars_result read = std::from_chars(p, end, value, std::chars_format::general);
    if (read.ptr == p)
        return false;  // nothing read (also the empty and the blank text)
    if (read.ec == std::errc::result_out_of_range && !tooSmallToRepresent(p, read.ptr))
        return false;  // overflow is a failed conversion; underflow still reads
    for (const char* q = read.ptr; q != end; ++q) {
        if (*q != ' ' && *q != '\t')
            return false;
    }
    return true;
}

}  // namespace Common
