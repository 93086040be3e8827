#include "Cp932.h"

#include <gtest/gtest.h>

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
