// The document's edits without a window: which ones are changes of the document, what each
// leaves selected, and what each announces for the view to follow.
#include "ReferenceRender.h"
#include "SessionTestSupport.h"

#include <functional>
#include <optional>

using Document::Change;
using Document::Changes;
using Markers::NoKey;
using Markers::NudgeDirection;
using Markers::TRect;

namespace {

class SessionEditsTest : public TestSupport::SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        open();
    }
    void clean() {
        doc.MarkClean();
        changes->clear();
    }
};

struct NudgeRow {
    const char* name;
    TRect before;
    NudgeDirection direction;
    bool moves;
    TRect after;
};

// The image is 640 x 480: its size bounds the moves.
const NudgeRow kNudges[] = {
    {"left", {100, 50, 132, 82}, NudgeDirection::Left, true, {99, 50, 131, 82}},
    {"down", {100, 50, 132, 82}, NudgeDirection::Down, true, {100, 51, 132, 83}},
    {"left at zero", {0, 0, 32, 32}, NudgeDirection::Left, false, {0, 0, 32, 32}},
    {"up at zero", {0, 0, 32, 32}, NudgeDirection::Up, false, {0, 0, 32, 32}},
    {"right at the image width",
     {608, 448, 640, 480},
     NudgeDirection::Right,
     false,
     {608, 448, 640, 480}},
    {"down at the image height",
     {608, 448, 640, 480},
     NudgeDirection::Down,
     false,
     {608, 448, 640, 480}},
    {"over the edge comes back",
     {-12, -11, 20, 21},
     NudgeDirection::Right,
     true,
     {-11, -11, 21, 21}},
};

TEST_F(SessionEditsTest, NudgeMovesTheSelectedMarkerWithinTheImage) {
    for (const NudgeRow& row : kNudges) {
        SCOPED_TRACE(row.name);
        doc.Map().ClearMarkers();
        ASSERT_TRUE(doc.Map().InsertMarker(3, row.before));
        put(8, 200, 200);
        doc.Map().SelectedKey = 3;
        clean();

        const Markers::Marker* moved = doc.Nudge(row.direction);

        EXPECT_EQ(moved != nullptr, row.moves);
        EXPECT_EQ(*doc.Map().MarkerOf(3), row.after);
        EXPECT_EQ(*doc.Map().MarkerOf(8), Markers::MakeMarker(200, 200));
        EXPECT_EQ(doc.Map().SelectedKey, 3);
        EXPECT_EQ(doc.Modified(), row.moves);
        // A key that changes nothing redraws nothing.
        EXPECT_EQ(announced(),
                  row.moves ? Changes(Change::Canvas | Change::Modified | Change::MarkerPosition)
                            : Changes());
    }
    // Nothing selected: nothing moves.
    doc.Map().SelectedKey = NoKey;
    clean();
    EXPECT_EQ(doc.Nudge(NudgeDirection::Left), nullptr);
    EXPECT_FALSE(doc.Modified());
}

TEST_F(SessionEditsTest, DeleteSelectedRemovesItAndOffersItsNumberAgain) {
    put(2, 100, 100);
    put(4, 300, 100);
    doc.Map().GuideKey = 2;
    clean();

    // Nothing selected: nothing goes, nothing is announced.
    EXPECT_EQ(doc.DeleteSelected().Removed, 0);
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(announced(), Changes());

    doc.Map().SelectedKey = 2;
    EXPECT_EQ(doc.DeleteSelected().Removed, 1);
    EXPECT_FALSE(doc.Map().IsPlaced(2));
    EXPECT_TRUE(doc.Map().IsPlaced(4));
    EXPECT_EQ(doc.Map().SelectedKey, NoKey);
    EXPECT_EQ(doc.Map().GuideKey, NoKey);
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(announced(),
              Change::Canvas | Change::Palette | Change::Modified | Change::MarkerPosition);
}

struct RectDeleteRow {
    const char* name;
    TRect rect;
    int32_t selected;
    int removed;
    int32_t selectedAfter;
    bool positionAnnounced;
};

// Key 0 at (100, 100) and key 1 at (268, 268) lie inside (100, 100) - (300, 300), key 2 at
// (90, 150) only overlaps it, key 3 at (400, 400) lies outside; key 1 has the guide lines.
const RectDeleteRow kRectDeletes[] = {
    {"selected marker outside stays selected", {100, 100, 300, 300}, 3, 2, 3, false},
    {"selected marker inside goes", {100, 100, 300, 300}, 0, 2, NoKey, true},
    // The user asked for a change: it is one even with nothing inside.
    {"nothing inside is still a change", {0, 0, 20, 20}, 3, 0, 3, false},
};

TEST_F(SessionEditsTest, DeleteInTheRectangleRemovesWhatLiesWhollyInside) {
    for (const RectDeleteRow& row : kRectDeletes) {
        SCOPED_TRACE(row.name);
        doc.Map().ClearMarkers();
        put(0, 100, 100);
        put(1, 268, 268);
        put(2, 90, 150);
        put(3, 400, 400);
        doc.Map().SelectionRect = row.rect;
        doc.Map().SelectedKey = row.selected;
        doc.Map().GuideKey = 1;
        clean();

        EXPECT_EQ(doc.DeleteInSelectionRect().Removed, row.removed);

        EXPECT_EQ(doc.Map().size(), 4u - row.removed);
        EXPECT_TRUE(doc.Map().IsPlaced(2));
        EXPECT_TRUE(doc.Map().IsPlaced(3));
        EXPECT_EQ(doc.Map().SelectedKey, row.selectedAfter);
        EXPECT_EQ(doc.Map().GuideKey, row.removed ? NoKey : 1);
        EXPECT_EQ(doc.Map().SelectionRect, row.rect);
        EXPECT_TRUE(doc.Modified());
        // The position panel is cleared only when the selected marker went.
        EXPECT_EQ(bool(announced() & Change::MarkerPosition), row.positionAnnounced);
        EXPECT_TRUE(announced() & Change::Palette);
    }
    // Without a rectangle: nothing.
    doc.ClearSelectionRect();
    clean();
    EXPECT_EQ(doc.DeleteInSelectionRect().Removed, 0);
    EXPECT_FALSE(doc.Modified());
}

TEST_F(SessionEditsTest, PlaceTakesOnlyAFreeNumberAndSelectsIt) {
    clean();
    EXPECT_TRUE(doc.Place(5, Markers::MakeMarker(10, 20)));
    EXPECT_EQ(*doc.Map().MarkerOf(5), Markers::MakeMarker(10, 20));
    EXPECT_EQ(doc.Map().SelectedKey, 5);
    EXPECT_TRUE(doc.Modified());
    EXPECT_TRUE(announced() & Change::Palette);

    // A number placed meanwhile keeps its marker; nothing is reported as changed.
    doc.Map().SelectedKey = NoKey;
    clean();
    EXPECT_FALSE(doc.Place(5, Markers::MakeMarker(300, 300)));
    EXPECT_EQ(*doc.Map().MarkerOf(5), Markers::MakeMarker(10, 20));
    EXPECT_EQ(doc.Map().SelectedKey, NoKey);
    EXPECT_FALSE(doc.Modified());

    // A move needs a selected marker.
    EXPECT_FALSE(doc.MoveSelected(Markers::MakeMarker(1, 1)));
    EXPECT_FALSE(doc.Modified());
}

TEST_F(SessionEditsTest, ClearingTheSelectionIsNoChangeOfTheDocument) {
    put(1, 50, 50);
    doc.Map().SelectedKey = 1;
    doc.Map().GuideKey = 1;
    doc.Map().SelectionRect = {0, 0, 300, 300};
    clean();
    doc.ClearSelection();
    EXPECT_EQ(doc.Map().SelectedKey, NoKey);
    EXPECT_EQ(doc.Map().GuideKey, NoKey);
    EXPECT_FALSE(doc.Map().HasSelectionRect());
    EXPECT_TRUE(doc.Map().IsPlaced(1));
    EXPECT_FALSE(doc.Modified());
    // Delete then finds nothing to remove.
    EXPECT_EQ(doc.DeleteSelected().Removed, 0);
    EXPECT_EQ(doc.DeleteInSelectionRect().Removed, 0);
    EXPECT_FALSE(doc.Modified());
}

// Choosing a style or confirming a font is a change even when it is the one in effect; taking
// one from a work file (Apply*) is none, and a style outside 0 .. 5 is refused.
TEST_F(SessionEditsTest, StyleAndFontChangesAndWhatIsNoChange) {
    const Markers::MarkerFont font = doc.Font();
    const struct {
        const char* name;
        std::function<bool()> act;
        bool taken;
        bool modified;
        int32_t style;
    } rows[] = {
        {"the style in effect", [&] { return doc.SetStyle(Markers::StyleButton); }, true, true,
         Markers::StyleButton},
        {"another style", [&] { return doc.SetStyle(Markers::StyleCircle1); }, true, true,
         Markers::StyleCircle1},
        {"style 6", [&] { return doc.SetStyle(6); }, false, false, Markers::StyleButton},
        {"the font in effect", [&] { return doc.SetFont(font).Ok(); }, true, true,
         Markers::StyleButton},
        {"a loaded style", [&] { return doc.ApplyStyle(Markers::StyleBox2); }, true, false,
         Markers::StyleBox2},
        {"a loaded style -1", [&] { return doc.ApplyStyle(-1); }, false, false,
         Markers::StyleButton},
        {"a loaded style 6", [&] { return doc.ApplyStyle(6); }, false, false, Markers::StyleButton},
        {"a loaded font", [&] { return (doc.ApplyFont(font), true); }, true, false,
         Markers::StyleButton},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        doc.ApplyStyle(Markers::StyleButton);
        clean();
        EXPECT_EQ(row.act(), row.taken);
        EXPECT_EQ(doc.Modified(), row.modified);
        EXPECT_EQ(doc.BackgroundStyle(), row.style);
        EXPECT_EQ(doc.Font(), font);
        EXPECT_EQ(bool(announced() & Change::Appearance), row.taken && row.modified);
    }
    // Without a document the choice takes effect and is no change.
    doc.New();
    clean();
    EXPECT_TRUE(doc.SetStyle(Markers::StyleNone));
    EXPECT_EQ(doc.BackgroundStyle(), Markers::StyleNone);
    EXPECT_FALSE(doc.Modified());
    EXPECT_FALSE(doc.CanUndo());
}

TEST_F(SessionEditsTest, RedFontTurnsTheNumbersAndTheGlyphsRed) {
    put(0, 100, 100);
    ASSERT_TRUE(doc.SetStyle(Markers::StyleBox1));
    Markers::MarkerFont red = doc.Font();
    red.Color = Markers::ColorValue(255, 0, 0);

    EXPECT_TRUE(doc.SetFont(red).Ok());

    EXPECT_EQ(doc.Font().Color, red.Color);
    bool redGlyph = false;
    for (int y = 0; y < Markers::GlyphSize; ++y)
        for (int x = 0; x < Markers::GlyphSize; ++x)
            redGlyph = redGlyph || doc.Compositor().ILBits().Pixel(Markers::StyleBox1, x, y) ==
                                       std::optional<QRgb>(qRgb(255, 0, 0));
    EXPECT_TRUE(redGlyph);
    const QImage cell = TestSupport::referenceCell(doc, 1);
    bool redInCell = false;
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x)
            redInCell = redInCell || cell.pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_TRUE(redInCell);
    EXPECT_EQ(doc.ScreenImage()->toQImage().convertToFormat(QImage::Format_RGB32),
              TestSupport::referenceCanvas(doc));
}

// The screen image is composed once after however many changes; asking again without a change
// gives the image composed last. A pixel written behind the compositor's back shows which.
TEST_F(SessionEditsTest, ScreenImageIsComposedOnlyAfterAChange) {
    Platform::Bitmap* canvas = doc.ScreenImage();
    ASSERT_NE(canvas, nullptr);
    const QRgb composed = canvas->pixel(5, 5);
    canvas->view().setPixel(5, 5, qRgb(1, 2, 3));
    EXPECT_EQ(doc.ScreenImage()->pixel(5, 5), qRgb(1, 2, 3));
    doc.Repaint();
    EXPECT_EQ(doc.ScreenImage()->pixel(5, 5), composed);
    // A change of the markers recomposes where it lands, and only there.
    canvas->view().setPixel(5, 5, qRgb(1, 2, 3));
    canvas->view().setPixel(300, 200, qRgb(1, 2, 3));
    doc.Place(40, Markers::MakeMarker(0, 0));
    EXPECT_NE(doc.ScreenImage()->pixel(5, 5), qRgb(1, 2, 3));
    EXPECT_EQ(doc.ScreenImage()->pixel(300, 200), qRgb(1, 2, 3));
}

}  // namespace
