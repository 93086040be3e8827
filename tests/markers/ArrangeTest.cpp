#include "Arrange.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace Markers;

namespace {

// Three markers, one of them 20 x 10, none in line with another; key 3 lies outside the group.
MarkerMap group() {
    MarkerMap map;
    map.InsertMarker(0, {10, 20, 42, 52});
    map.InsertMarker(1, {50, 5, 70, 15});
    map.InsertMarker(2, {40, 60, 72, 92});
    map.InsertMarker(3, {300, 300, 332, 332});
    return map;
}

struct ArrangeRow {
    const char* name;
    Alignment alignment;
    std::map<int32_t, Marker> moved;
};

void PrintTo(const ArrangeRow& row, std::ostream* os) {
    *os << row.name;
}

class ArrangeTest : public ::testing::TestWithParam<ArrangeRow> {};

}  // namespace

TEST_P(ArrangeTest, MovesOnlyAlongOneAxisKeepingSizes) {
    const MarkerMap map = group();
    EXPECT_EQ(Arranged(map, {0, 1, 2}, GetParam().alignment), GetParam().moved);
    // Too small a group moves nothing.
    const std::vector<int32_t> small =
        MinimumGroup(GetParam().alignment) == 3 ? std::vector<int32_t>{0, 1} : std::vector{0};
    EXPECT_TRUE(Arranged(map, small, GetParam().alignment).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ArrangeTest,
    ::testing::Values(
        ArrangeRow{"Left", Alignment::Left, {{1, {10, 5, 30, 15}}, {2, {10, 60, 42, 92}}}},
        ArrangeRow{"Right", Alignment::Right, {{0, {40, 20, 72, 52}}, {1, {52, 5, 72, 15}}}},
        // Between 10 and 72; half of an odd remainder rounds down.
        ArrangeRow{"HCenter",
                   Alignment::HCenter,
                   {{0, {25, 20, 57, 52}}, {1, {31, 5, 51, 15}}, {2, {25, 60, 57, 92}}}},
        ArrangeRow{"Top", Alignment::Top, {{0, {10, 5, 42, 37}}, {2, {40, 5, 72, 37}}}},
        ArrangeRow{"Bottom", Alignment::Bottom, {{0, {10, 60, 42, 92}}, {1, {50, 82, 70, 92}}}},
        ArrangeRow{"VMiddle",
                   Alignment::VMiddle,
                   {{0, {10, 32, 42, 64}}, {1, {50, 43, 70, 53}}, {2, {40, 32, 72, 64}}}},
        // Ordered by Left (10, 40, 50), not by key: the first and last stay.
        ArrangeRow{"Across", Alignment::Across, {{2, {30, 60, 62, 92}}}},
        ArrangeRow{"Down", Alignment::Down, {{0, {10, 32, 42, 64}}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArrangeTest, KeysInsideCountEdgesAsInside) {
    const MarkerMap map = group();
    EXPECT_EQ(KeysInside(map, {10, 5, 72, 92}), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(KeysInside(map, {11, 5, 72, 92}), (std::vector<int32_t>{1, 2}));
}
