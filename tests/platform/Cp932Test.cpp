#include "Cp932.h"

#include <gtest/gtest.h>

#include <string_view>

using namespace Platform;

TEST(Cp932, RoundTripsJapaneseAndAscii) {
    const QString text = QStringLiteral("ＭＳ ゴシック abc ﾃｽﾄ ①～");
    const std::string bytes = Cp932::fromUnicode(text);
    EXPECT_EQ(Cp932::toUnicode(bytes), text);
    // "ＭＳ" is two double-byte characters: 0x82 0x6C 0x82 0x72.
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x82\x6C\x82\x72"));
    // Half-width katakana are single bytes.
    EXPECT_EQ(Cp932::fromUnicode(QStringLiteral("ﾃ")), std::string("\xC3"));
}

TEST(Cp932, UnrepresentableAndBrokenInputIsReplacedNotDropped) {
    EXPECT_EQ(Cp932::fromUnicode(QStringLiteral("a\u00E9b")), "a?b");
    EXPECT_EQ(Cp932::fromUnicode(QString::fromUcs4(U"x\U0001F600y")), "x?y");
    // A lone lead byte at the end, and an invalid trail byte.
    EXPECT_EQ(Cp932::toUnicode("ab\x82"), QStringLiteral("ab\uFFFD"));
    EXPECT_EQ(Cp932::toUnicode(std::string_view("\x82\x00z", 3)).back(), QChar('z'));
}

TEST(Cp932, LeadBytes) {
    for (int c = 0; c < 256; ++c) {
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        EXPECT_EQ(Cp932::isLeadByte(static_cast<unsigned char>(c)), lead) << c;
    }
}

// Characters where one system's table and another's are known to differ; every build gives
// the same bytes and characters for them, so a work file reads the same everywhere.
struct Mapping {
    const char* name;
    char32_t character;
    std::string_view bytes;     // what the character is written as
    char32_t readBack;          // what those bytes are read as
};

TEST(Cp932, SettledMappingsAreTheSameOnEverySystem) {
    static const Mapping kTable[] = {
        {"fullwidth tilde", 0xFF5E, "\x81\x60", 0xFF5E},
        {"wave dash as fullwidth tilde", 0x301C, "\x81\x60", 0xFF5E},
        {"fullwidth reverse solidus", 0xFF3C, "\x81\x5F", 0xFF3C},
        {"parallel to", 0x2225, "\x81\x61", 0x2225},
        {"double vertical line as parallel to", 0x2016, "\x81\x61", 0x2225},
        {"fullwidth hyphen-minus", 0xFF0D, "\x81\x7C", 0xFF0D},
        {"minus sign as fullwidth hyphen-minus", 0x2212, "\x81\x7C", 0xFF0D},
        {"fullwidth cent", 0xFFE0, "\x81\x91", 0xFFE0},
        {"cent sign as fullwidth cent", 0x00A2, "\x81\x91", 0xFFE0},
        {"pound sign as fullwidth pound", 0x00A3, "\x81\x92", 0xFFE1},
        {"not sign as fullwidth not sign", 0x00AC, "\x81\xCA", 0xFFE2},
        {"roman numeral one, NEC row", 0x2160, "\x87\x54", 0x2160},
        {"approximately equal, JIS row", 0x2252, "\x81\xE0", 0x2252},
        {"fullwidth not sign", 0xFFE2, "\x81\xCA", 0xFFE2},
        {"em dash as horizontal bar", 0x2014, "\x81\x5C", 0x2015},
        {"yen sign as backslash", 0x00A5, "\x5C", '\\'},
        {"overline as tilde", 0x203E, "\x7E", '~'},
        {"small roman numeral one, IBM row", 0x2170, "\xFA\x40", 0x2170},
        {"IBM extension kanji", 0x4E28, "\xFA\x68", 0x4E28},
        {"circled digit one", 0x2460, "\x87\x40", 0x2460},
        {"user-defined area", 0xE000, "\xF0\x40", 0xE000},
        {"C1 control has no byte", 0x0080, "?", '?'},
        {"private use U+F8F0 has no byte", 0xF8F0, "?", '?'},
        {"accented letter has no look-alike", 0x00E1, "?", '?'},
    };
    for (const Mapping& row : kTable) {
        const QString text = QString::fromUcs4(&row.character, 1);
        EXPECT_EQ(Cp932::fromUnicode(text), row.bytes) << row.name;
        EXPECT_EQ(Cp932::toUnicode(row.bytes), QString::fromUcs4(&row.readBack, 1)) << row.name;
    }
}

TEST(Cp932, BytesOutsideTheTableAreBrokenInput) {
    static const struct {
        const char* name;
        std::string_view bytes;
        const char16_t* text;
    } kTable[] = {
        {"unused single byte 0x80", "a\x80z", u"a\uFFFDz"},
        {"unused single byte 0xA0", "a\xA0z", u"a\uFFFDz"},
        {"unused single bytes 0xFD..0xFF", "\xFD\xFE\xFF", u"\uFFFD\uFFFD\uFFFD"},
        {"unassigned pair keeps its trail byte", "\x85\x40z", u"\uFFFD@z"},
        {"katakana middle dot itself", "\x81\x45", u"\u30FB"},
        {"half-width katakana", "\xB1\xDF", u"\uFF71\uFF9F"},
    };
    for (const auto& row : kTable)
        EXPECT_EQ(Cp932::toUnicode(row.bytes), QString::fromUtf16(row.text)) << row.name;
}
