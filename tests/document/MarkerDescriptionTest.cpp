// A description's colour: the stored number (0x00BBGGRR) or "#RRGGBB".
#include "MarkerDescription.h"

#include <gtest/gtest.h>

namespace {

TEST(MarkerDescriptionTest, ColourIsTheStoredNumberOrHashRrggbb) {
    struct Case {
        const char* name;
        QByteArray color;
        int32_t expected;  // ignored when refused
        bool refused;
    } const cases[] = {
        {"red", R"("#FF0000")", 0x0000FF, false},
        {"blue lower case", R"("#0000ff")", 0xFF0000, false},
        {"mixed", R"("#12AB9c")", 0x9CAB12, false},
        {"number as stored", "16711680", 0xFF0000, false},
        {"system colour", "-2147483640", -2147483640, false},
        {"five digits", R"("#12345")", 0, true},
        {"name", R"("red")", 0, true},
        {"not hexadecimal", R"("#GG0000")", 0, true},
        {"sign", R"("#+12345")", 0, true},
        {"no hash", R"("FF0000")", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Document::DescriptionRead read = Document::ReadDescription(
            "{\"font\": {\"color\": " + c.color + "}, \"markers\": []}", {});
        if (c.refused) {
            EXPECT_FALSE(read.Value);
            EXPECT_TRUE(read.Error.startsWith(QStringLiteral("font.color: ")))
                << read.Error.toStdString();
        } else {
            ASSERT_TRUE(read.Value) << read.Error.toStdString();
            EXPECT_EQ(read.Value->Font.Color, c.expected);
        }
    }
}

}  // namespace
