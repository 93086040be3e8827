#include "Common.h"
#include "Cp932.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Common;

namespace {

// Serial days of a few dates (days since 1899-12-30).
constexpr TDateTime Jan31_2004 = 38017;
constexpr TDateTime Feb03_2004 = 38020;
constexpr TDateTime Feb29_2004 = 38046;
constexpr TDateTime Feb10_2003 = 37662;
constexpr TDateTime Mar01_2003 = 37681;
constexpr TDateTime Mar15_2003 = 37695;
constexpr TDateTime Jan01_2003 = 37622;
constexpr TDateTime Dec31_2004 = 38352;
constexpr TDateTime Jan01_2004 = 37987;
constexpr TDateTime Jan01_0001 = -693593;
constexpr TDateTime Jan01_9999 = 2958101;
constexpr TDateTime Nov30_9999 = 2958434;
constexpr TDateTime Dec01_9999 = 2958435;
constexpr TDateTime Dec31_9999 = 2958465;

struct DateCase {
    const char* name;
    TDateTime (*function)(TDateTime);
    TDateTime date;
    TDateTime expected;
};
void PrintTo(const DateCase& c, std::ostream* os) {
    *os << c.name;
}

class CalendarRows : public ::testing::TestWithParam<DateCase> {};
TEST_P(CalendarRows, GivesMidnightOfTheDay) {
    EXPECT_EQ(GetParam().function(GetParam().date), GetParam().expected);
}

const DateCase dateCases[] = {
    {"LastDayOfLeapFebruary", GetLastDay, Jan31_2004 + 10, Feb29_2004},
    {"LastDayOfJanuary", GetLastDay, Jan31_2004, Jan31_2004},
    {"LastDayFromFebruary2004", GetLastDay, Feb03_2004, Feb29_2004},
    {"FirstDayDropsTimeOfDay", GetFirstDay, Mar15_2003 + 18.5 / 24, Mar01_2003},
    {"YearLastDayOfLeapDay", GetYearLastDay, Feb29_2004, Dec31_2004},
    {"YearFirstDay", GetYearFirstDay, Feb29_2004 + 0.75, Jan01_2004},
    {"FirstDayOfYearOne", GetFirstDay, Jan01_0001 + 20, Jan01_0001},
    {"LastDayOfNovember9999", GetLastDay, Nov30_9999 - 3, Nov30_9999},
    {"FirstDayOfDecember9999", GetFirstDay, Dec31_9999, Dec01_9999},
    {"BeforeTheEpochTimeOfDay", GetFirstDay, -1.25, -29},  // 1899-12-29 06:00
};
INSTANTIATE_TEST_SUITE_P(Calendar, CalendarRows, ::testing::ValuesIn(dateCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GetMonthDays, CountsTheDaysOfTheMonth) {
    EXPECT_EQ(GetMonthDays(Feb03_2004), 29);
    EXPECT_EQ(GetMonthDays(Feb29_2004 + 0.9), 29);
    EXPECT_EQ(GetMonthDays(Feb10_2003), 28);
    EXPECT_EQ(GetMonthDays(Jan31_2004), 31);
    EXPECT_EQ(GetMonthDays(Nov30_9999), 30);
    EXPECT_EQ(GetMonthDays(36557), 29);  // February 2000, a leap year
    EXPECT_EQ(GetMonthDays(33), 28);     // February 1900, not one
}

TEST(GetWeekDayString, NamesEveryWeekday) {
    // 2003-01-01 was a Wednesday.
    const char16_t* names[] = {u"水", u"木", u"金", u"土", u"日", u"月", u"火"};
    for (int i = 0; i < 7; ++i) {
        const std::string expected = Platform::Cp932::fromUnicode(QString::fromUtf16(names[i]));
        EXPECT_EQ(GetWeekDayString(Jan01_2003 + i + 0.5), expected) << i;
        EXPECT_EQ(expected.size(), 2u);
    }
    EXPECT_EQ(GetWeekDayString(Jan01_0001),
              Platform::Cp932::fromUnicode(QStringLiteral("月")));  // a Monday
}

TEST(CalendarRange, YearTenThousandIsAnError) {
    EXPECT_THROW(GetLastDay(Dec01_9999), std::out_of_range);
    EXPECT_THROW(GetMonthDays(Dec31_9999), std::out_of_range);
    EXPECT_THROW(GetYearLastDay(Jan01_9999), std::out_of_range);
    EXPECT_THROW(GetFirstDay(Dec31_9999 + 1), std::out_of_range);
    EXPECT_THROW(GetYearFirstDay(Jan01_0001 - 1), std::out_of_range);
    EXPECT_THROW(GetWeekDayString(std::numeric_limits<double>::quiet_NaN()), std::out_of_range);
    EXPECT_THROW(GetFirstDay(1e300), std::out_of_range);
    try {
        GetLastDay(Dec01_9999);
    } catch (const std::out_of_range& e) {
        EXPECT_NE(std::string(e.what()).find("9999"), std::string::npos) << e.what();
    }
}

}  // namespace
