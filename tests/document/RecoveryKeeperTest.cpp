// The recovery copy of unsaved work, on a session without a window: when it is written, what
// removes it, and that it opens back as the work it copied.
#include "RecoveryKeeper.h"
#include "TestSupport.h"

#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <functional>
#include <memory>

using namespace std::chrono_literals;

namespace {

class RecoveryKeeperTest : public TestSupport::TempDirTest {
protected:
    void SetUp() override {
        session.Create();
        Platform::Bitmap image(64, 48, 24);
        image.scanLine(5)[7] = 200;
        ASSERT_TRUE(session.TakeSourceBitmap(std::move(image)).Ok());
    }
    std::unique_ptr<Document::RecoveryKeeper> makeKeeper(Document::Session& s,
                                                         std::chrono::milliseconds interval) {
        return std::make_unique<Document::RecoveryKeeper>(s, path(QStringLiteral("state")),
                                                          interval);
    }
    void place(int count) {
        for (int i = 0; i < count; ++i, ++placed)
            ASSERT_TRUE(session.Place(placed, Markers::MakeMarker(3 * placed, 2 * placed)));
    }

    Document::Session session;
    int placed = 0;
};

TEST_F(RecoveryKeeperTest, FirstChangeWaitsForTheIntervalTheTenthWritesAtOnce) {
    auto keeper = makeKeeper(session, 1h);
    ASSERT_TRUE(keeper->Enabled());
    place(1);
    EXPECT_TRUE(keeper->WriteScheduled());
    place(8);
    keeper->WaitForIdle();
    EXPECT_FALSE(QFile::exists(keeper->CopyPath()));
    place(1);
    keeper->WaitForIdle();
    EXPECT_EQ(keeper->WritesDone(), 1);
    EXPECT_FALSE(keeper->WriteScheduled());
    EXPECT_TRUE(QFile::exists(keeper->CopyPath()));
}

TEST_F(RecoveryKeeperTest, IntervalAfterAChangeWrites) {
    auto keeper = makeKeeper(session, 20ms);
    place(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return keeper->WritesDone() == 1; }, 5000));
    EXPECT_TRUE(QFile::exists(keeper->CopyPath()));
    EXPECT_EQ(keeper->LastError(), QString());
}

TEST_F(RecoveryKeeperTest, EveryWayBackToSavedOrAnotherDocumentRemovesTheCopy) {
    const QString work = path(QStringLiteral("work.ptn"));
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"save", [&] { ASSERT_TRUE(session.SaveWorkFile(work).Ok()); }},
        {"undo to the saved state",
         [&] {
             for (int i = 0; i < Document::RecoveryKeeper::kChangesPerWrite; ++i)
                 session.Undo();
         }},
        {"new", [&] { session.New(); }},
        {"open work file", [&] { ASSERT_TRUE(session.OpenWorkFile(work).Ok()); }},
    };
    for (const auto& [name, action] : cases) {
        SCOPED_TRACE(name);
        if (!session.DocumentOpen()) {
            ASSERT_TRUE(session.TakeSourceBitmap(Platform::Bitmap(8, 8, 24)).Ok());
        }
        auto keeper = makeKeeper(session, 1h);
        place(Document::RecoveryKeeper::kChangesPerWrite);
        // Still being written when the action comes: the copy must not reappear after it.
        action();
        keeper->WaitForIdle();
        EXPECT_FALSE(QFile::exists(keeper->CopyPath()));
        EXPECT_FALSE(keeper->WriteScheduled());
        keeper->Discard();
    }
}

TEST_F(RecoveryKeeperTest, OrphanOpensBackUnsavedUnderItsNamesAndOnlyOnce) {
    const QString original = path(QStringLiteral("original.ptn"));
    ASSERT_TRUE(session.SetFont({QStringLiteral("IPAGothic"), 14, 255, true}).Ok());
    ASSERT_TRUE(session.SetStyle(Markers::StyleCircle1));
    place(3);
    ASSERT_TRUE(session.SaveWorkFile(original).Ok());
    session.SetExportFileName(path(QStringLiteral("out.bmp")));
    auto keeper = makeKeeper(session, 1h);
    place(1);
    keeper->WriteLastCopy();
    ASSERT_TRUE(QFile::exists(keeper->CopyPath()));

    Document::Session restored;
    restored.Create();
    auto next = makeKeeper(restored, 1h);
    EXPECT_EQ(next->FindOrphan(), QString()) << "a living program's copy is not an orphan";
    keeper.reset();  // ended without a normal close: the copy stays, the lock goes
    ASSERT_NE(next->FindOrphan(), QString());
    ASSERT_TRUE(next->RestoreOrphan().Ok());

    EXPECT_TRUE(restored.Modified());
    EXPECT_EQ(restored.WorkSaveFileName(), original);
    EXPECT_EQ(restored.ExportFileName(), path(QStringLiteral("out.bmp")));
    EXPECT_EQ(restored.Font(), session.Font());
    EXPECT_EQ(restored.BackgroundStyle(), Markers::StyleCircle1);
    EXPECT_EQ(restored.Map().size(), session.Map().size());
    for (const auto& [key, marker] : session.Map())
        EXPECT_EQ(restored.Map().MarkerOf(key) ? *restored.Map().MarkerOf(key) : Markers::Marker{},
                  marker);
    EXPECT_EQ(restored.SourceBitmap()->pixel(7, 5), session.SourceBitmap()->pixel(7, 5));
    // It is this program's copy now; no other start offers it.
    EXPECT_TRUE(QFile::exists(next->CopyPath()));
    EXPECT_EQ(next->FindOrphan(), QString());

    next->Discard();
    EXPECT_TRUE(QDir(path(QStringLiteral("state"))).entryList(QDir::Files).isEmpty());
}

#ifdef Q_OS_WIN
// Windows keeps the copy in the local (not roaming) application data of the user.
TEST(RecoveryFolderTest, IsInTheLocalApplicationData) {
    EXPECT_EQ(Document::RecoveryKeeper::DefaultFolder(),
              QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                  QStringLiteral("/Pictanote"));
}
#else
TEST(RecoveryFolderTest, FollowsTheStateHomeUnlessRelative) {
    const QByteArray old = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", "/somewhere/state");
    EXPECT_EQ(Document::RecoveryKeeper::DefaultFolder(),
              QStringLiteral("/somewhere/state/pictanote"));
    qputenv("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(Document::RecoveryKeeper::DefaultFolder(),
              QDir::homePath() + QStringLiteral("/.local/state/pictanote"));
    if (old.isNull())
        qunsetenv("XDG_STATE_HOME");
    else
        qputenv("XDG_STATE_HOME", old);
}
#endif

}  // namespace
