#include "MarkerMap.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Markers;

namespace {

std::vector<int32_t> keysOf(const MarkerMap& map) {
    std::vector<int32_t> keys;
    for (const auto& [key, marker] : map)
        keys.push_back(key);
    return keys;
}

MarkerMap withSelection() {
    MarkerMap map;
    map.SelectedKey = 1;
    map.GuideKey = 2;
    map.PaletteDragKey = 3;
    map.SelectionRect = {4, 5, 6, 7};
    return map;
}

void expectNoSelection(const MarkerMap& map) {
    EXPECT_EQ(map.SelectedKey, NoKey);
    EXPECT_EQ(map.GuideKey, NoKey);
    EXPECT_EQ(map.PaletteDragKey, NoKey);
    EXPECT_EQ(map.SelectionRect.Left, NoKey);
    EXPECT_FALSE(map.HasSelectionRect());
}

}  // namespace

TEST(MarkerMapTest, StartsEmptyWithoutSelection) {
    const MarkerMap map;
    EXPECT_TRUE(map.empty());
    EXPECT_EQ(NoKey, 2147483647);
    expectNoSelection(map);
    for (const auto& [x, y] : {std::pair{0, 0}, {-5, 7}, {NoKey, NoKey}, {INT32_MIN, 0}})
        EXPECT_EQ(map.MarkerAtPoint(x, y), NoKey);
    EXPECT_TRUE(keysOf(map).empty());
}

TEST(MarkerMapTest, IteratesInAscendingSignedKeyOrder) {
    MarkerMap map;
    for (int32_t key : {10, 2, 5, 0, -4})
        EXPECT_TRUE(map.InsertMarker(key, MakeMarker(key, 0)));
    EXPECT_EQ(keysOf(map), (std::vector<int32_t>{-4, 0, 2, 5, 10}));
    EXPECT_EQ(MarkerNumber(-4), -3);
    EXPECT_EQ(MarkerNumber(10), 11);
    EXPECT_EQ(MarkerNumber(NoKey), 2147483648LL);
}

TEST(MarkerMapTest, InsertingAPlacedKeyKeepsTheFirstMarker) {
    MarkerMap map;
    EXPECT_TRUE(map.InsertMarker(5, MakeMarker(10, 10)));
    EXPECT_FALSE(map.InsertMarker(5, MakeMarker(200, 200)));
    ASSERT_EQ(map.size(), 1u);
    EXPECT_EQ(*map.MarkerOf(5), (Marker{10, 10, 42, 42}));
}

TEST(MarkerMapTest, MarkersAreStoredUnclampedAndUnchanged) {
    MarkerMap map;
    map.InsertMarker(0, MakeMarker(-12, -3));
    map.InsertMarker(1, Marker{7, 8, 3, 100});  // a work file may hold any rectangle
    EXPECT_EQ(*map.MarkerOf(0), (Marker{-12, -3, 20, 29}));
    EXPECT_EQ(*map.MarkerOf(1), (Marker{7, 8, 3, 100}));
    EXPECT_EQ(MakeMarker(INT32_MAX - 10, INT32_MAX),
              (Marker{INT32_MAX - 10, INT32_MAX, INT32_MAX, INT32_MAX}));
}

TEST(MarkerMapTest, MarkerAccessChangesInPlaceAndNeverCreates) {
    MarkerMap map;
    map.InsertMarker(3, MakeMarker(0, 0));
    Marker* m = map.MarkerOf(3);
    ASSERT_NE(m, nullptr);
    m->Left += 5;
    m->Right += 5;
    EXPECT_EQ(map.FindMarker(3)->second, (Marker{5, 0, 37, 32}));

    EXPECT_EQ(map.MarkerOf(4), nullptr);
    EXPECT_EQ(std::as_const(map).MarkerOf(NoKey), nullptr);
    EXPECT_EQ(map.FindMarker(4), map.end());
    EXPECT_FALSE(map.IsPlaced(4));
    EXPECT_EQ(map.size(), 1u);
}

struct HitCase {
    const char* name;
    int32_t x, y, expected;
};

TEST(MarkerMapTest, HitTestCountsAllFourEdgesAndPrefersTheLargestKey) {
    MarkerMap map;
    map.InsertMarker(9, Marker{100, 50, 132, 82});
    map.InsertMarker(3, Marker{0, 0, 32, 32});
    map.InsertMarker(7, Marker{20, 20, 52, 52});
    const HitCase cases[] = {
        {"top-left corner", 100, 50, 9},   {"bottom-right corner", 132, 82, 9},
        {"top-right corner", 132, 50, 9},  {"left of it", 99, 60, NoKey},
        {"right of it", 133, 60, NoKey},   {"below it", 110, 83, NoKey},
        {"overlap of 3 and 7", 25, 25, 7}, {"only in 3", 5, 5, 3},
        {"only in 7", 40, 40, 7},          {"far away", INT32_MIN, INT32_MAX, NoKey},
    };
    for (const HitCase& c : cases)
        EXPECT_EQ(map.MarkerAtPoint(c.x, c.y), c.expected) << c.name;
}

TEST(MarkerMapTest, RemovingDuringIterationKeepsTheOtherEntries) {
    MarkerMap map;
    for (int32_t key = 0; key < 10; ++key)
        map.InsertMarker(key, MakeMarker(key * 10, 0));
    map.SelectedKey = 4;
    map.GuideKey = 6;
    std::vector<int32_t> visited;
    for (auto it = map.begin(); it != map.end();) {
        visited.push_back(it->first);
        it = it->first % 2 == 0 ? map.RemoveMarker(it) : std::next(it);
    }
    EXPECT_EQ(visited, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(keysOf(map), (std::vector<int32_t>{1, 3, 5, 7, 9}));
    // Removing the selected and the guided marker lets go of them.
    EXPECT_EQ(map.SelectedKey, NoKey);
    EXPECT_EQ(map.GuideKey, NoKey);
}

TEST(MarkerMapTest, RemovingOneKeyLeavesTheOthersSelection) {
    MarkerMap map;
    map.InsertMarker(1, MakeMarker(0, 0));
    map.InsertMarker(2, MakeMarker(0, 0));
    map.SelectedKey = 2;
    map.GuideKey = 2;
    EXPECT_TRUE(map.RemoveMarker(1));
    EXPECT_FALSE(map.RemoveMarker(1));
    EXPECT_EQ(map.SelectedKey, 2);
    EXPECT_EQ(map.GuideKey, 2);
}

TEST(MarkerMapTest, ClearMarkersEmptiesAndResetsTheSelection) {
    MarkerMap empty = withSelection();
    empty.ClearMarkers();
    expectNoSelection(empty);

    MarkerMap map = withSelection();
    map.InsertMarker(1, MakeMarker(0, 0));
    map.InsertMarker(-8, MakeMarker(0, 0));
    map.ClearMarkers();
    EXPECT_TRUE(map.empty());
    expectNoSelection(map);
    EXPECT_EQ(map.MarkerAtPoint(0, 0), NoKey);
}
