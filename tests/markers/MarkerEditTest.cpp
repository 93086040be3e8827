#include "Compositor.h"
#include "MarkerEdit.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Markers;

namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct NudgeCase {
    const char* name;
    Marker before;
    NudgeDirection direction;
    bool moves;
    Marker after;  // the rectangle after the nudge (unchanged when it does not move)
};

void PrintTo(const NudgeCase& c, std::ostream* os) {
    *os << c.name;
}

const NudgeCase kNudges[] = {
    {"LeftAtZeroStays", {0, 10, 32, 42}, NudgeDirection::Left, false, {0, 10, 32, 42}},
    {"LeftAtOneReachesZero", {1, 10, 33, 42}, NudgeDirection::Left, true, {0, 10, 32, 42}},
    {"UpAtZeroStays", {5, 0, 37, 32}, NudgeDirection::Up, false, {5, 0, 37, 32}},
    {"UpMovesBothRows", {5, 7, 37, 39}, NudgeDirection::Up, true, {5, 6, 37, 38}},
    {"RightAtWidthStays", {608, 3, kWidth, 35}, NudgeDirection::Right, false, {608, 3, kWidth, 35}},
    {"RightBelowWidthReachesIt",
     {607, 3, kWidth - 1, 35},
     NudgeDirection::Right,
     true,
     {608, 3, kWidth, 35}},
    {"DownAtHeightStays",
     {3, 448, 35, kHeight},
     NudgeDirection::Down,
     false,
     {3, 448, 35, kHeight}},
    {"DownBelowHeightReachesIt",
     {3, 447, 35, kHeight - 1},
     NudgeDirection::Down,
     true,
     {3, 448, 35, kHeight}},
    {"HangingOverLeftEdgeIgnoresLeft",
     {-12, -11, 20, 21},
     NudgeDirection::Left,
     false,
     {-12, -11, 20, 21}},
    {"HangingOverLeftEdgeComesBackRight",
     {-12, -11, 20, 21},
     NudgeDirection::Right,
     true,
     {-11, -11, 21, 21}},
    {"HangingOverBottomComesBackUp",
     {3, 470, 35, 502},
     NudgeDirection::Up,
     true,
     {3, 469, 35, 501}},
    {"HangingOverBottomIgnoresDown",
     {3, 470, 35, 502},
     NudgeDirection::Down,
     false,
     {3, 470, 35, 502}},
    // Edges from a work file may lie anywhere; a move never wraps one round.
    {"LeftWouldWrapRight", {5, 0, kMin, 32}, NudgeDirection::Left, false, {5, 0, kMin, 32}},
    {"RightWouldWrapLeft", {kMax, 0, 3, 32}, NudgeDirection::Right, false, {kMax, 0, 3, 32}},
    {"DownWouldWrapTop", {0, kMax, 32, 3}, NudgeDirection::Down, false, {0, kMax, 32, 3}},
};

class NudgeTest : public ::testing::TestWithParam<NudgeCase> {};

}  // namespace

TEST_P(NudgeTest, MovesOnePixelWithinTheBounds) {
    const NudgeCase& c = GetParam();
    MarkerMap map;
    map.InsertMarker(4, c.before);
    map.InsertMarker(9, {100, 100, 132, 132});
    map.SelectedKey = 4;

    const Marker* moved = NudgeSelectedMarker(map, c.direction, kWidth, kHeight);

    EXPECT_EQ(moved != nullptr, c.moves);
    if (moved) {
        EXPECT_EQ(moved, map.MarkerOf(4));
    }
    EXPECT_EQ(*map.MarkerOf(4), c.after);
    EXPECT_EQ(*map.MarkerOf(9), (Marker{100, 100, 132, 132}));
    EXPECT_EQ(map.SelectedKey, 4);
}

INSTANTIATE_TEST_SUITE_P(Rows, NudgeTest, ::testing::ValuesIn(kNudges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NudgeSelectedMarker, NeedsASelectedPlacedMarker) {
    MarkerMap map;
    map.InsertMarker(0, {10, 10, 42, 42});
    EXPECT_EQ(NudgeSelectedMarker(map, NudgeDirection::Left, kWidth, kHeight), nullptr);
    map.SelectedKey = 1;  // a key that is not placed
    EXPECT_EQ(NudgeSelectedMarker(map, NudgeDirection::Left, kWidth, kHeight), nullptr);
    EXPECT_EQ(*map.MarkerOf(0), (Marker{10, 10, 42, 42}));
}

TEST(DeleteMarkersInSelectionRect, RemovesExactlyThoseWhollyInside) {
    MarkerMap map;
    map.SelectionRect = {100, 100, 200, 200};
    map.InsertMarker(0, {100, 100, 132, 132});  // touches the top-left corner: inside
    map.InsertMarker(1, {168, 168, 200, 200});  // touches the bottom-right corner: inside
    map.InsertMarker(2, {150, 150, 182, 182});  // inside
    map.InsertMarker(3, {99, 120, 131, 152});   // one pixel over the left edge
    map.InsertMarker(4, {120, 169, 152, 201});  // one pixel over the bottom edge
    map.InsertMarker(5, {300, 300, 332, 332});  // far outside
    map.SelectedKey = 5;
    map.GuideKey = 2;

    const Deletion d = DeleteMarkersInSelectionRect(map);

    EXPECT_EQ(d.Removed, 3);
    EXPECT_FALSE(d.SelectedRemoved);
    EXPECT_FALSE(map.IsPlaced(0));
    EXPECT_FALSE(map.IsPlaced(1));
    EXPECT_FALSE(map.IsPlaced(2));
    EXPECT_TRUE(map.IsPlaced(3));
    EXPECT_TRUE(map.IsPlaced(4));
    EXPECT_TRUE(map.IsPlaced(5));
    EXPECT_EQ(map.SelectedKey, 5);   // outside the rectangle: still selected
    EXPECT_EQ(map.GuideKey, NoKey);  // its marker went
    EXPECT_EQ(map.SelectionRect, (TRect{100, 100, 200, 200}));

    // The rectangle stays, and a second Delete finds nothing more.
    const Deletion again = DeleteMarkersInSelectionRect(map);
    EXPECT_EQ(again.Removed, 0);
    EXPECT_EQ(map.size(), 3u);
}

TEST(DeleteMarkersInSelectionRect, DeselectsTheSelectedMarkerInside) {
    MarkerMap map;
    map.SelectionRect = {0, 0, 50, 50};
    map.InsertMarker(7, {10, 10, 42, 42});
    map.SelectedKey = 7;
    map.GuideKey = 3;
    const Deletion d = DeleteMarkersInSelectionRect(map);
    EXPECT_EQ(d.Removed, 1);
    EXPECT_TRUE(d.SelectedRemoved);
    EXPECT_EQ(map.SelectedKey, NoKey);
    EXPECT_EQ(map.GuideKey, 3);  // another marker's guide lines are not touched
}

TEST(DeleteMarkersInSelectionRect, NothingWithoutARectangle) {
    MarkerMap map;
    map.InsertMarker(0, {10, 10, 42, 42});
    map.SelectionRect = {NoKey, 0, 1000, 1000};
    EXPECT_EQ(DeleteMarkersInSelectionRect(map).Removed, 0);
    EXPECT_TRUE(map.IsPlaced(0));
}

TEST(DeleteSelectedMarker, RemovesItWithItsGuideLines) {
    MarkerMap map;
    map.InsertMarker(2, {10, 10, 42, 42});
    map.InsertMarker(3, {50, 10, 82, 42});
    map.SelectedKey = 2;
    map.GuideKey = 2;
    const Deletion d = DeleteSelectedMarker(map);
    EXPECT_EQ(d.Removed, 1);
    EXPECT_TRUE(d.SelectedRemoved);
    EXPECT_FALSE(map.IsPlaced(2));
    EXPECT_TRUE(map.IsPlaced(3));
    EXPECT_EQ(map.SelectedKey, NoKey);
    EXPECT_EQ(map.GuideKey, NoKey);

    // Nothing selected: nothing goes.
    EXPECT_EQ(DeleteSelectedMarker(map).Removed, 0);
    EXPECT_TRUE(map.IsPlaced(3));
}

TEST(DeleteSelectedMarker, KeepsTheGuideLinesOfAnotherMarker) {
    MarkerMap map;
    map.InsertMarker(2, {10, 10, 42, 42});
    map.InsertMarker(3, {50, 10, 82, 42});
    map.SelectedKey = 2;
    map.GuideKey = 3;
    DeleteSelectedMarker(map);
    EXPECT_EQ(map.GuideKey, 3);
}

TEST(ClearSelection, ForgetsSelectionGuideAndRectangleButKeepsMarkers) {
    MarkerMap map;
    map.InsertMarker(2, {10, 10, 42, 42});
    map.SelectedKey = 2;
    map.GuideKey = 2;
    map.PaletteDragKey = 5;
    map.SelectionRect = {0, 0, 100, 100};
    ClearSelection(map);
    EXPECT_EQ(map.SelectedKey, NoKey);
    EXPECT_EQ(map.GuideKey, NoKey);
    EXPECT_FALSE(map.HasSelectionRect());
    EXPECT_EQ(map.PaletteDragKey, 5);
    EXPECT_TRUE(map.IsPlaced(2));
}

TEST(StyleFromTag, TakesTheSixStylesOnly) {
    const struct {
        const char* name;
        QVariant tag;
        std::optional<int32_t> style;
    } rows[] = {
        {"none", QVariant(0), StyleNone},
        {"button", QVariant(1), StyleButton},
        {"circle2", QVariant(5), StyleCircle2},
        {"below", QVariant(-1), std::nullopt},
        {"above", QVariant(6), std::nullopt},
        {"huge", QVariant(qlonglong{1} << 40), std::nullopt},
        {"missing", QVariant(), std::nullopt},
        {"text", QVariant(QStringLiteral("box")), std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(StyleFromTag(row.tag), row.style) << row.name;
}
