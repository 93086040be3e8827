#include "IntText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using Platform::parseInt32;

namespace {

struct IntCase {
    const char* name;
    std::string text;
    std::optional<int32_t> value;
};

const IntCase intCases[] = {
    {"Decimal", "1234", 1234},
    {"NegativeDecimal", "-56", -56},
    {"LeadingBlanks", "  +7", 7},
    {"Extremes", "-2147483648", INT32_MIN},
    {"DecimalOverflow", "2147483648", std::nullopt},
    {"HexPrefixes", "0x1F", 31},
    {"HexSystemColour", "$80000008", -2147483640},
    {"HexAllOnes", "$FFFFFFFF", -1},
    {"NegatedHex", "-$1F", -31},
    {"NegatedHexPatternOverflows", "-$80000000", std::nullopt},
    {"HexTooLong", "x100000000", std::nullopt},
    {"HexLeadingZeros", "$000000001", 1},
    {"DecimalWithHexDigits", "1F", std::nullopt},
    {"TrailingBlank", "5 ", std::nullopt},
    {"Empty", "", std::nullopt},
    {"PrefixAlone", "0x", std::nullopt},
};

class IntTextRows : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntTextRows, Parse) {
    EXPECT_EQ(parseInt32(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, IntTextRows, ::testing::ValuesIn(intCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
