#include "Common.h"
#include "Cp932.h"

#include <gtest/gtest.h>

using namespace Common;

namespace {

std::string sj(const char16_t* text) {
    return Platform::Cp932::fromUnicode(QString::fromUtf16(text));
}

// ---- CutString, AddHead, AddTail -----------------------------------------------------------

struct CutCase {
    const char* name;
    std::string s;
    int n;
    std::string expected;
};
void PrintTo(const CutCase& c, std::ostream* os) {
    *os << c.name;
}

class CutStringRows : public ::testing::TestWithParam<CutCase> {};
TEST_P(CutStringRows, Cuts) {
    EXPECT_EQ(CutString(GetParam().s, GetParam().n), GetParam().expected);
}

// "abcd" + one double-byte character at bytes 5 and 6 + "e".
const std::string kMixed = "abcd" + sj(u"漢") + "e";
// 「岩」 is 0x8A 0xE2: its second byte has the value of a lead byte.
const std::string kTrailLikeLead = sj(u"岩") + "xy";

const CutCase cutCases[] = {
    {"InsideDoubleByteDropsIt", kMixed, 5, "abcd"},
    {"AfterDoubleByteKeepsIt", kMixed, 6, "abcd" + sj(u"漢")},
    {"BeforeDoubleByte", kMixed, 4, "abcd"},
    {"AtLength", kMixed, 7, kMixed},
    {"BeyondLength", "abc", 10, "abc"},
    {"Zero", "abc", 0, ""},
    {"Negative", "abc", -3, ""},
    {"TrailByteIsNotALead", kTrailLikeLead, 2, sj(u"岩")},
    {"FirstByteOfLeadingDoubleByte", kTrailLikeLead, 1, ""},
};
INSTANTIATE_TEST_SUITE_P(Text, CutStringRows, ::testing::ValuesIn(cutCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct PadCase {
    const char* name;
    bool head;
    std::string s;
    char c;
    int n;
    std::string expected;
};
void PrintTo(const PadCase& c, std::ostream* os) {
    *os << c.name;
}

class PadRows : public ::testing::TestWithParam<PadCase> {};
TEST_P(PadRows, Pads) {
    const PadCase& c = GetParam();
    EXPECT_EQ(c.head ? AddHead(c.s, c.c, c.n) : AddTail(c.s, c.c, c.n), c.expected);
}

const PadCase padCases[] = {
    {"HeadPadsWithZeros", true, "123", '0', 5, "00123"},
    {"HeadKeepsLastBytes", true, "abcdefg", '0', 5, "cdefg"},
    {"HeadExactWidth", true, "abcde", '0', 5, "abcde"},
    {"HeadEmptyText", true, "", '-', 3, "---"},
    {"HeadZeroWidth", true, "123", '0', 0, ""},
    {"HeadNegativeWidth", true, "123", '0', -1, ""},
    {"TailPadsWithStars", false, "123", '*', 5, "123**"},
    {"TailCutsAfterWidth", false, "abcdefg", '*', 5, "abcde"},
    {"TailZeroWidth", false, "123", '*', 0, ""},
    {"TailNegativeWidth", false, "123", '*', -7, ""},
};
INSTANTIATE_TEST_SUITE_P(Text, PadRows, ::testing::ValuesIn(padCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- ParseExcelCSV -------------------------------------------------------------------------

struct CsvCase {
    const char* name;
    std::u16string line;
    std::vector<std::string> fields;
};
void PrintTo(const CsvCase& c, std::ostream* os) {
    *os << c.name;
}

class CsvRows : public ::testing::TestWithParam<CsvCase> {};
TEST_P(CsvRows, Splits) {
    std::vector<std::string> list = {"left", "over"};  // cleared first
    ParseExcelCSV(GetParam().line, list);
    EXPECT_EQ(list, GetParam().fields);
}

const CsvCase csvCases[] = {
    {"EmptyLineIsOneEmptyField", u"", {""}},
    {"TrailingCommaAddsEmptyField", u"a,", {"a", ""}},
    {"PlainFields", u"1,two,3", {"1", "two", "3"}},
    {"QuotedFieldsAndDoubledQuote", u"\"x\",\"y\"\"z\"", {"x", "y\"z"}},
    {"QuotesJoinStretches", u"a\"b,c\"d", {"ab,cd"}},
    {"UnclosedQuoteLosesLastField", u"a,\"b,c", {"a"}},
    {"BlanksAndLineBreaksStay", u" a ,b\nc", {" a ", "b\nc"}},
    {"EmptyQuotedField", u"\"\",x", {"", "x"}},
    {"JapaneseInCp932", u"表,\"計算\"", {sj(u"表"), sj(u"計算")}},
    {"UnrepresentableBecomesQuestionMark", u"\u00e9", {"?"}},
};
INSTANTIATE_TEST_SUITE_P(Text, CsvRows, ::testing::ValuesIn(csvCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- HanToZen / ZenToHan -------------------------------------------------------------------

struct WidthCase {
    const char* name;
    std::string half;
    std::string full;
    bool roundTrip;  // ZenToHan(full) gives half back
};
void PrintTo(const WidthCase& c, std::ostream* os) {
    *os << c.name;
}

class WidthRows : public ::testing::TestWithParam<WidthCase> {};
TEST_P(WidthRows, ConvertsBothWays) {
    const WidthCase& c = GetParam();
    EXPECT_EQ(HanToZen(c.half), c.full);
    if (c.roundTrip) {
        EXPECT_EQ(ZenToHan(c.full), c.half);
    }
}

const WidthCase widthCases[] = {
    {"LettersDigitsSigns", "Ab9+-=!", sj(u"Ａｂ９＋－＝！"), true},
    {"Blank", "a b", sj(u"ａ\u3000ｂ"), true},
    {"AllPrintableAscii",
     [] {
         std::string s;
         for (char c = 0x21; c <= 0x7E; ++c)
             s += c;
         return s;
     }(),
     [] {
         std::u16string s;
         for (char16_t c = 0xFF01; c <= 0xFF5E; ++c)
             s += c;
         return Platform::Cp932::fromUnicode(QString::fromStdU16String(s));
     }(),
     true},
    {"Katakana", sj(u"ｱｲｳｴｵﾝｰ｡｢｣､･"), sj(u"アイウエオンー。「」、・"), true},
    {"VoicedCombined", sj(u"ｶﾞｷﾞｸﾞﾊﾞﾊﾟｳﾞ"), sj(u"ガギグバパヴ"), true},
    {"SemiVoicedOnlyOnHaRow", sj(u"ｶﾟ"), sj(u"カ゜"), true},
    {"LoneMarks", sj(u"ﾞﾟ"), sj(u"゛゜"), true},
    {"DoubleByteUntouched", sj(u"漢字ひらがな"), sj(u"漢字ひらがな"), true},
    {"MixedText", "x" + sj(u"表ｶﾞ") + "1", sj(u"ｘ表ガ１"), true},
    {"EmptyText", "", "", true},
    {"StopsAtNul", std::string("ab\0cd", 5), sj(u"ａｂ"), false},
};
INSTANTIATE_TEST_SUITE_P(Text, WidthRows, ::testing::ValuesIn(widthCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ZenToHan, LeavesFullWidthFormsWithoutHalfWidthAlone) {
    const std::string s = sj(u"ヵヶ漢ぁ");
    EXPECT_EQ(ZenToHan(s), s);
    // A lead byte at the end of the text is kept as it is.
    EXPECT_EQ(ZenToHan("a\x82"), "a\x82");
    EXPECT_EQ(HanToZen("a\x82"), sj(u"ａ") + "\x82");
}

// ---- CheckInteger / CheckFloat -------------------------------------------------------------

struct NumberCase {
    const char* name;
    std::string text;
    bool accepted;
};
void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << c.name;
}

class IntegerRows : public ::testing::TestWithParam<NumberCase> {};
TEST_P(IntegerRows, Checks) {
    EXPECT_EQ(CheckInteger(GetParam().text), GetParam().accepted);
}

const NumberCase integerCases[] = {
    {"Decimal", "123", true},
    {"DollarHex", "$1F", true},
    {"ZeroXHex", "0x1F", true},
    {"XHex", "X1f", true},
    {"NegativeHex", "-$1F", true},
    {"LeadingBlanks", "   42", true},
    {"PlusSign", "+7", true},
    {"MaxInt", "2147483647", true},
    {"MinInt", "-2147483648", true},
    {"TooLarge", "2147483648", false},
    {"TooSmall", "-2147483649", false},
    {"HexPattern", "$80000000", true},
    {"HexAllOnes", "$FFFFFFFF", true},
    {"HexTooLong", "$100000000", false},
    {"TrailingLetter", "12a", false},
    {"TrailingBlank", "12 ", false},
    {"Empty", "", false},
    {"SignOnly", "-", false},
    {"PrefixOnly", "$", false},
    {"HugeDigitRun", std::string(400, '9'), false},
    {"FullWidthDigits", sj(u"１２"), false},
};
INSTANTIATE_TEST_SUITE_P(Numbers, IntegerRows, ::testing::ValuesIn(integerCases),
                         [](const auto& info) { return std::string(info.param.name); });

class FloatRows : public ::testing::TestWithParam<NumberCase> {};
TEST_P(FloatRows, Checks) {
    EXPECT_EQ(CheckFloat(GetParam().text), GetParam().accepted);
}

const NumberCase floatCases[] = {
    {"Integer", "12", true},
    {"Decimal", "-1.5", true},
    {"Exponent", "2.5E-3", true},
    {"LowerExponent", "+4e10", true},
    {"BlanksAround", "  3.25  ", true},
    {"LeadingDot", ".5", true},
    {"CommaIsNotTheSeparator", "1,5", false},
    {"TrailingLetter", "1.5x", false},
    {"Empty", "", false},
    {"BlanksOnly", "   ", false},
    {"BareExponent", "e5", false},
    {"Overflow", "1e999", false},
    {"Underflow", "1e-999", true},
    {"NoInfinity", "inf", false},
    {"NoNan", "-nan", false},
    {"NoHexFloat", "0x1p3", false},
    {"EmbeddedNul", std::string("1\0", 2), false},
};
INSTANTIATE_TEST_SUITE_P(Numbers, FloatRows, ::testing::ValuesIn(floatCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
