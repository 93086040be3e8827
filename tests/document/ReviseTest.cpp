#include "EditStep.h"
#include "Session.h"
#include "WorkFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using Document::Session;
using Markers::Marker;
using Markers::MarkerMap;

namespace {

using Entries = std::vector<std::pair<int32_t, Marker>>;

// The four markers of the document, the 20 x 10 one second.
constexpr Marker kA{10, 20, 42, 52}, kB{50, 5, 70, 15}, kC{40, 60, 72, 92}, kD{300, 250, 332, 282};

Entries entriesOf(const MarkerMap& map) {
    return {map.begin(), map.end()};
}

// A 24-bit image whose first pixel tells it apart from another.
Platform::Bitmap image(int width, int height, uint8_t mark) {
    Platform::Bitmap b(width, height, 24);
    b.scanLine(0)[0] = mark;
    return b;
}

class ReviseTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc.Create();
        ASSERT_TRUE(doc.TakeSourceBitmap(image(400, 300, 1)).Ok());
        // Numbers 1, 3, 4 and 9; 4 is selected.
        doc.Map().InsertMarker(0, kA);
        doc.Map().InsertMarker(2, kB);
        doc.Map().InsertMarker(3, kC);
        doc.Map().InsertMarker(8, kD);
        doc.Map().SelectedKey = 3;
        doc.Map().SelectionRect = {0, 0, 100, 100};
    }
    // The markers as today's reader reads them from the work file written now.
    Entries savedAndRead() {
        const auto lines = Document::MakeWorkLines(doc.Font(), doc.BackgroundStyle(), doc.Map());
        return entriesOf(Document::ReadWorkDocument(lines).Markers);
    }
    Session doc;
};

struct StepRow {
    const char* name;
    std::function<bool(Session&)> edit;
    Document::StepKind kind;
    Entries after;
    int32_t selectedAfter;
};

void PrintTo(const StepRow& row, std::ostream* os) {
    *os << row.name;
}

class ReviseStepTest : public ReviseTest, public ::testing::WithParamInterface<StepRow> {};

}  // namespace

TEST_P(ReviseStepTest, DoesUndoesAndRedoesAsOneStep) {
    const StepRow& row = GetParam();
    const Entries before = entriesOf(doc.Map());

    ASSERT_TRUE(row.edit(doc));
    EXPECT_EQ(entriesOf(doc.Map()), row.after);
    EXPECT_EQ(savedAndRead(), row.after);
    EXPECT_EQ(doc.Map().SelectedKey, row.selectedAfter);
    EXPECT_EQ(doc.History().count(), 1);
    EXPECT_EQ(doc.History().undoText(), Document::StepName(row.kind));
    EXPECT_TRUE(doc.Modified());

    doc.Undo();
    EXPECT_EQ(entriesOf(doc.Map()), before);
    EXPECT_EQ(doc.Map().SelectedKey, 3);
    EXPECT_FALSE(doc.Modified());

    doc.Redo();
    EXPECT_EQ(entriesOf(doc.Map()), row.after);
    EXPECT_EQ(doc.Map().SelectedKey, row.selectedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReviseStepTest,
    ::testing::Values(StepRow{"RenumberToAFreeNumber",
                              [](Session& d) { return d.Renumber(3, 5); },
                              Document::StepKind::Renumber,
                              {{0, kA}, {2, kB}, {5, kC}, {8, kD}},
                              5},
                      StepRow{"RenumberToATakenNumberSwaps",
                              [](Session& d) { return d.Renumber(3, 0); },
                              Document::StepKind::Renumber,
                              {{0, kC}, {2, kB}, {3, kA}, {8, kD}},
                              0},
                      StepRow{"CloseGapsKeepsPlacesAndOrder",
                              [](Session& d) { return d.CloseGaps(); },
                              Document::StepKind::CloseGaps,
                              {{0, kA}, {1, kB}, {2, kC}, {3, kD}},
                              2},
                      // Key 8 lies outside the selection rectangle and stays.
                      StepRow{"AlignLeftInsideTheRectangle",
                              [](Session& d) { return d.Arrange(Markers::Alignment::Left); },
                              Document::StepKind::Align,
                              {{0, kA}, {2, {10, 5, 30, 15}}, {3, {10, 60, 42, 92}}, {8, kD}},
                              3},
                      StepRow{"DistributeAcross",
                              [](Session& d) { return d.Arrange(Markers::Alignment::Across); },
                              Document::StepKind::Align,
                              {{0, kA}, {2, kB}, {3, {30, 60, 62, 92}}, {8, kD}},
                              3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReviseTest, RefusalsLeaveNoStep) {
    EXPECT_FALSE(doc.Renumber(3, 3));
    EXPECT_FALSE(doc.Renumber(3, 99));
    EXPECT_FALSE(doc.Renumber(4, 5));          // not placed
    doc.Map().SelectionRect = {0, 0, 60, 60};  // only key 0 wholly inside
    EXPECT_FALSE(doc.CanArrange(Markers::Alignment::Left));
    EXPECT_FALSE(doc.Arrange(Markers::Alignment::Left));
    doc.Map().RemoveMarker(8);
    doc.Map().InsertMarker(1, {0, 0, 32, 32});
    EXPECT_FALSE(doc.CanCloseGaps());
    EXPECT_FALSE(doc.CloseGaps());
    EXPECT_EQ(doc.History().count(), 0);
}

TEST_F(ReviseTest, ReplacingTheImageKeepsMarkersAndUndoesToTheOldImage) {
    const auto result = doc.ReplaceSourceImage(QStringLiteral("/nonexistent/picture.png"));
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(doc.History().count(), 0);

    const Entries markers = entriesOf(doc.Map());
    const auto replaced = doc.ReplaceSourceBitmap(image(60, 50, 2));
    ASSERT_TRUE(replaced.Ok());
    // Key 3 begins at row 60, below the 50 rows; key 2 hangs over the right edge and is not listed.
    EXPECT_EQ(replaced.OutsideKeys, (std::vector<int32_t>{3, 8}));
    EXPECT_EQ(entriesOf(doc.Map()), markers);
    EXPECT_EQ(doc.ImageWidth(), 60);
    EXPECT_FALSE(doc.Map().HasSelectionRect());  // it reached past the new image
    EXPECT_EQ(doc.History().undoText(), QStringLiteral("元画像の差し替え"));

    doc.Undo();
    EXPECT_EQ(doc.ImageWidth(), 400);
    EXPECT_EQ(doc.SourceBitmap()->scanLine(0)[0], 1);
    EXPECT_EQ(doc.ScreenImage()->width(), 400);
    doc.Redo();
    EXPECT_EQ(doc.ImageHeight(), 50);
    EXPECT_EQ(doc.SourceBitmap()->scanLine(0)[0], 2);
    EXPECT_EQ(doc.ScreenImage()->height(), 50);
}

// Markers a smaller image leaves outside come to the nearest place where they are whole, as
// part of the replacement's own step.
struct InsideCase {
    const char* name;
    QSize image;
    Marker before;
    Marker after;
};

const InsideCase kInside[] = {
    {"below the image: up to its last rows", {60, 50}, {40, 60, 72, 92}, {28, 18, 60, 50}},
    {"past both edges: into the corner", {60, 50}, {300, 250, 332, 282}, {28, 18, 60, 50}},
    {"left of the image: to column 0", {60, 50}, {-90, 10, -58, 42}, {0, 10, 32, 42}},
    {"larger than the image: top-left", {20, 10}, {30, 30, 62, 62}, {0, 0, 32, 32}},
    {"a tall rectangle keeps its size", {60, 50}, {70, 0, 80, 40}, {50, 0, 60, 40}},
};

TEST_F(ReviseTest, BringingOutsideMarkersInsideIsPartOfTheReplacement) {
    EXPECT_FALSE(doc.BringInsideAfterReplace({3}));  // no replacement to join
    for (const InsideCase& c : kInside) {
        SCOPED_TRACE(c.name);
        doc.Map().ClearMarkers();
        doc.Map().InsertMarker(5, c.before);
        doc.Map().InsertMarker(6, {0, 0, 32, 32});  // nowhere nearer: stays
        doc.History().clear();
        const auto replaced = doc.ReplaceSourceBitmap(image(c.image.width(), c.image.height(), 2));
        ASSERT_TRUE(replaced.Ok());
        ASSERT_TRUE(doc.BringInsideAfterReplace({5, 6}));
        EXPECT_EQ(*doc.Map().MarkerOf(5), c.after);
        EXPECT_EQ(*doc.Map().MarkerOf(6), (Marker{0, 0, 32, 32}));
        EXPECT_EQ(doc.History().count(), 1);
        EXPECT_FALSE(doc.BringInsideAfterReplace({5}));  // nothing left to move

        doc.Undo();
        EXPECT_EQ(*doc.Map().MarkerOf(5), c.before);
        EXPECT_EQ(doc.ImageWidth(), 400);
        doc.Redo();
        EXPECT_EQ(*doc.Map().MarkerOf(5), c.after);
        EXPECT_EQ(doc.ImageWidth(), c.image.width());
        doc.Undo();  // back to the 400 x 300 image for the next row
    }
}

// What a view keeping its own copies of the screen image refreshes: the whole image after a
// new document, the marker's old and new places after a move, nothing once composed.
TEST_F(ReviseTest, StaleScreenRegionNamesWhatTheNextPaintComposes) {
    EXPECT_EQ(doc.StaleScreenRegion(), QRect(0, 0, 400, 300));
    doc.ScreenImage();
    EXPECT_TRUE(doc.StaleScreenRegion().isEmpty());
    doc.Select(8);
    doc.ScreenImage();
    ASSERT_TRUE(doc.MoveSelected({200, 100, 232, 132}));
    const QRect stale = doc.StaleScreenRegion();
    EXPECT_TRUE(stale.contains(QRect(300, 250, 32, 32))) << "the old place";
    EXPECT_TRUE(stale.contains(QRect(200, 100, 32, 32))) << "the new place";
    EXPECT_LT(stale.width(), 400);
    doc.ScreenImage();
    EXPECT_TRUE(doc.StaleScreenRegion().isEmpty());
}
