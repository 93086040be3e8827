// Undo and redo on the document object: every kind of step taken back and done again, the
// merging of nudges, the clean point, a fresh history per document, and the screen image that
// an undo recomposes only in part.
#include "Session.h"
#include "TestSupport.h"
#include "WorkFile.h"

#include <QImage>

#include <functional>
#include <vector>

using Document::Session;
using Markers::MakeMarker;
using Markers::NoKey;
using Markers::NudgeDirection;

namespace {

Platform::Bitmap gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x + y) & 0xFF));
    return Platform::Bitmap::fromQImage(image);
}

// What a step may change, compared as a whole.
struct State {
    std::vector<std::pair<int32_t, Markers::Marker>> markers;
    Markers::MarkerFont font;
    int32_t style = 0;
    friend bool operator==(const State&, const State&) = default;
};

State stateOf(const Session& s) {
    State state;
    for (const auto& [key, marker] : s.Map())
        state.markers.emplace_back(key, marker);
    state.font = s.Font();
    state.style = s.BackgroundStyle();
    return state;
}

class UndoTest : public TestSupport::TempDirTest {
protected:
    void SetUp() override {
        session.Create();
        ASSERT_TRUE(session.TakeSourceBitmap(gradient(400, 300)).Ok());
        session.Place(0, MakeMarker(10, 10));
        session.Place(4, MakeMarker(200, 100));
        session.Place(7, MakeMarker(220, 110));
        session.History().clear();  // the arranged document is where the history starts
    }

    Session session;
};

struct StepCase {
    const char* name;
    QString undoText;
    std::function<void(Session&)> edit;
    int32_t selectedAfterUndo;  // NoKey: none of the step's markers to select
};

const StepCase kSteps[] = {
    {"place by drop or double-click", QStringLiteral("配置"),
     [](Session& s) { s.Place(9, MakeMarker(50, 60)); }, NoKey},
    {"move by drag", QStringLiteral("移動"),
     [](Session& s) {
         s.Select(4);
         s.MoveSelected(MakeMarker(300, 250));
     },
     4},
    {"nudge", QStringLiteral("移動"),
     [](Session& s) {
         s.Select(7);
         s.Nudge(NudgeDirection::Left);
     },
     7},
    {"delete the selected marker", QStringLiteral("削除"),
     [](Session& s) {
         s.Select(0);
         s.DeleteSelected();
     },
     0},
    {"delete inside the rectangle", QStringLiteral("削除"),
     [](Session& s) {
         s.SetSelectionRect({150, 50, 300, 200});
         s.DeleteInSelectionRect();
     },
     7},  // the selected marker (placed last) went with the rectangle
    {"font with its colour", QStringLiteral("フォント"),
     [](Session& s) {
         Markers::MarkerFont font;
         font.Size = 16;
         font.Italic = true;
         font.Color = Markers::ColorValue(255, 0, 0);
         ASSERT_TRUE(s.SetFont(font).Ok());
     },
     NoKey},
    {"background style", QStringLiteral("背景"),
     [](Session& s) { s.SetStyle(Markers::StyleCircle2); }, NoKey},
};

TEST_F(UndoTest, EveryKindOfStepIsTakenBackAndDoneAgain) {
    for (const StepCase& c : kSteps) {
        SCOPED_TRACE(c.name);
        SetUp();  // a fresh document for each row
        const State before = stateOf(session);
        c.edit(session);
        const State after = stateOf(session);
        ASSERT_NE(after, before);
        EXPECT_TRUE(session.Modified());
        EXPECT_EQ(session.History().undoText(), c.undoText);

        session.ClearSelection();
        session.Undo();
        EXPECT_EQ(stateOf(session), before);
        EXPECT_FALSE(session.Modified());
        EXPECT_EQ(session.Map().SelectedKey, c.selectedAfterUndo);
        EXPECT_EQ(session.History().redoText(), c.undoText);

        session.Redo();
        EXPECT_EQ(stateOf(session), after);
        EXPECT_TRUE(session.Modified());
        // The step's marker is selected again when it exists after the redo.
        if (c.selectedAfterUndo != NoKey) {
            const bool placed = session.Map().IsPlaced(c.selectedAfterUndo);
            EXPECT_EQ(session.Map().SelectedKey, placed ? c.selectedAfterUndo : NoKey);
        }
    }
}

TEST_F(UndoTest, ConsecutiveNudgesOfOneMarkerAreOneStepUntilAnotherCommandComesBetween) {
    session.Select(4);
    for (int i = 0; i < 5; ++i)
        session.Nudge(NudgeDirection::Right);
    EXPECT_EQ(session.History().count(), 1);
    EXPECT_EQ(*session.Map().MarkerOf(4), MakeMarker(205, 100));

    session.Select(4);  // a command between: the next nudges are a step of their own
    session.Nudge(NudgeDirection::Down);
    EXPECT_EQ(session.History().count(), 2);
    session.Select(7);
    session.Nudge(NudgeDirection::Down);
    EXPECT_EQ(session.History().count(), 3);

    session.Undo();
    session.Undo();
    EXPECT_EQ(*session.Map().MarkerOf(4), MakeMarker(205, 100));
    session.Undo();
    EXPECT_EQ(*session.Map().MarkerOf(4), MakeMarker(200, 100));
    EXPECT_FALSE(session.Modified());

    // A run that comes back to where it began leaves nothing to undo.
    session.Select(7);
    session.Nudge(NudgeDirection::Left);
    session.Nudge(NudgeDirection::Right);
    EXPECT_FALSE(session.CanUndo());
    EXPECT_FALSE(session.Modified());
}

TEST_F(UndoTest, TheCleanPointIsTheLastSave) {
    session.Place(20, MakeMarker(30, 30));
    session.Select(20);
    session.MoveSelected(MakeMarker(60, 60));
    const QString file = path(QStringLiteral("work.ptn"));
    ASSERT_TRUE(session.SaveWorkFile(file).Ok());
    EXPECT_FALSE(session.Modified());

    session.Undo();  // past the clean point
    EXPECT_TRUE(session.Modified());
    session.Undo();
    EXPECT_TRUE(session.Modified());
    session.Redo();
    session.Redo();  // back at the clean point
    EXPECT_FALSE(session.Modified());

    // A nudge after a save is a step of its own, so undoing it comes back to what was saved.
    session.Select(20);
    session.Nudge(NudgeDirection::Up);
    session.Nudge(NudgeDirection::Up);
    session.Undo();
    EXPECT_FALSE(session.Modified());
    EXPECT_EQ(*session.Map().MarkerOf(20), MakeMarker(60, 60));

    // What was saved is what the file holds.
    const Document::WorkDocument saved =
        Document::ReadWorkDocument(Document::ReadWorkFile(file).Lines);
    EXPECT_EQ(*saved.Markers.MarkerOf(20), MakeMarker(60, 60));
}

TEST_F(UndoTest, EveryNewDocumentStartsAFreshHistory) {
    const QString file = path(QStringLiteral("work.ptn"));
    ASSERT_TRUE(session.SaveWorkFile(file).Ok());
    const std::vector<std::pair<const char*, std::function<void()>>> starts = {
        {"new", [&] { session.New(); }},
        {"image", [&] { ASSERT_TRUE(session.TakeSourceBitmap(gradient(50, 40)).Ok()); }},
        {"work file", [&] { ASSERT_TRUE(session.OpenWorkFile(file).Ok()); }},
    };
    for (const auto& [name, start] : starts) {
        SCOPED_TRACE(name);
        SetUp();
        session.SetStyle(Markers::StyleBox1);
        ASSERT_TRUE(session.CanUndo());
        start();
        EXPECT_FALSE(session.CanUndo());
        EXPECT_FALSE(session.CanRedo());
        EXPECT_FALSE(session.Modified());
    }
}

TEST_F(UndoTest, TheHistoryHoldsAThousandStepsWithoutTheImage) {
    session.Select(4);
    for (int i = 0; i < 1000; ++i) {
        session.MoveSelected(MakeMarker(i % 300, i % 200));
    }
    int undone = 0;
    while (session.CanUndo()) {
        session.Undo();
        ++undone;
    }
    EXPECT_EQ(undone, 1000);
    EXPECT_EQ(*session.Map().MarkerOf(4), MakeMarker(200, 100));
}

// After edits and undos recomposed in part, the screen image is what a whole composition of the
// same document draws: hatch, guide lines, overlay and numbers that reach past their markers.
TEST_F(UndoTest, APartlyRecomposedScreenEqualsAWholeComposition) {
    Markers::MarkerFont big;
    big.Size = 16;
    big.Italic = true;
    session.ApplyFont(big);
    session.ShowGuides(0);
    session.SetSelectionRect({13, 17, 251, 203});
    ASSERT_NE(session.ScreenImage(), nullptr);

    const std::vector<std::function<void()>> edits = {
        [&] { session.Select(4); },
        [&] { session.MoveSelected(MakeMarker(97, 45)); },
        [&] { session.Nudge(NudgeDirection::Right); },
        [&] { session.Place(55, MakeMarker(380, 290)); },
        [&] { session.Undo(); },
        [&] { session.Undo(); },
        [&] { session.Redo(); },
        [&] { session.SetSelectionRect({31, 5, 120, 77}); },
        [&] { session.DeleteInSelectionRect(); },
        [&] { session.Undo(); },
        [&] { session.Select(0); },
        [&] { session.MoveSelected(MakeMarker(150, 150)); },  // the guide lines move with it
        [&] { session.Undo(); },
    };
    Markers::Compositor whole;
    whole.CreateBitmaps();
    whole.SetSourceBitmap(gradient(400, 300));
    for (std::size_t i = 0; i < edits.size(); ++i) {
        SCOPED_TRACE(i);
        edits[i]();
        const QImage shown = session.ScreenImage()->view().copy();
        whole.SetMarkerColor(session.Font().Color);
        whole.SetMarkerFont(session.Font());
        whole.SetBackgroundStyle(session.BackgroundStyle());
        whole.ComposeCanvas(session.Map());
        ASSERT_EQ(shown, whole.CanvasBitmap()->view());
    }
}

}  // namespace
