#include "IntText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using Platform::IntSpelling;
using Platform::parseInt32;

namespace {

struct IntCase {
    const char* name;
    std::string text;
    std::optional<int32_t> toolkit;
    std::optional<int32_t> workFile;
};

const IntCase intCases[] = {
    // name, text, utility library's reading, work file's reading
    {"Decimal", "1234", 1234, 1234},
    {"NegativeDecimal", "-56", -56, -56},
    {"LeadingBlanks", "  +7", 7, 7},
    {"Extremes", "-2147483648", INT32_MIN, INT32_MIN},
    {"DecimalOverflow", "2147483648", std::nullopt, std::nullopt},
    {"HexPrefixes", "0x1F", 31, 31},
    {"HexSystemColour", "$80000008", -2147483640, -2147483640},
    {"HexAllOnes", "$FFFFFFFF", -1, -1},
    {"NegatedHex", "-$1F", -31, -31},
    {"NegatedHexPatternOverflows", "-$80000000", std::nullopt, std::nullopt},
    {"HexTooLong", "x100000000", std::nullopt, std::nullopt},
    {"HexLeadingZeros", "$000000001", 1, std::nullopt},
    {"TenHexDigitsThatFit", "$0000000010", 16, std::nullopt},
    {"EightHexDigitsWithZeros", "x0000001f", 31, 31},
    {"LowerXPrefix", "x1F", 31, 31},
    {"UpperXPrefix", "X1F", 31, std::nullopt},
    {"UpperZeroXPrefix", "0X1F", std::nullopt, std::nullopt},
    {"DecimalWithHexDigits", "1F", std::nullopt, std::nullopt},
    {"TrailingBlank", "5 ", std::nullopt, std::nullopt},
    {"Empty", "", std::nullopt, std::nullopt},
    {"PrefixAlone", "0x", std::nullopt, std::nullopt},
};

class IntTextRows : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntTextRows, ParseInBothSpellings) {
    EXPECT_EQ(parseInt32(GetParam().text, IntSpelling::Toolkit), GetParam().toolkit);
    EXPECT_EQ(parseInt32(GetParam().text, IntSpelling::WorkFile), GetParam().workFile);
}

INSTANTIATE_TEST_SUITE_P(Texts, IntTextRows, ::testing::ValuesIn(intCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
