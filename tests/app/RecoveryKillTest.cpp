// A program killed with unsaved work offers it back at the next start. The killed program is
// this test program started again as a child: it makes its window and keeper as the program
// does, edits, lets the copy be written, says so, and is killed by the system (SIGKILL, or
// TerminateProcess on Windows); this process then starts as the program does after it.
#include "RecoveryKeeper.h"
#include "RecoveryOffer.h"
#include "WindowTestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Set in the child's environment: the work file it opens and the state folder it keeps.
constexpr char kChildOriginal[] = "PICTANOTE_KILLED_CHILD_ORIGINAL";
constexpr char kChildState[] = "PICTANOTE_KILLED_CHILD_STATE";

class RecoveryKillTest : public Gui::WindowTest {
protected:
    QString state() const { return path(QStringLiteral("state")); }

    // Saves a document as `original`, then in a child edits it unsaved and kills the child.
    void killWithUnsavedWork(const QString& original) {
        Document::Session maker;
        maker.Create();
        ASSERT_TRUE(maker.TakeSourceBitmap(Platform::Bitmap(90, 60, 24)).Ok());
        ASSERT_TRUE(maker.SaveWorkFile(original).Ok());

        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(kChildOriginal), original);
        environment.insert(QLatin1String(kChildState), state());
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=RecoveryKillTest.ChildWithUnsavedWork")});
        ASSERT_TRUE(child.waitForStarted(30000));
        QByteArray said;
        while (!said.contains("copy written") && child.state() == QProcess::Running)
            if (child.waitForReadyRead(60000))
                said += child.readAllStandardOutput();
        ASSERT_TRUE(said.contains("copy written")) << said.toStdString();
        child.kill();
        ASSERT_TRUE(child.waitForFinished(30000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    }
};

// The killed program; runs only as the child of the test below.
TEST_F(RecoveryKillTest, ChildWithUnsavedWork) {
    if (!qEnvironmentVariableIsSet(kChildState))
        GTEST_SKIP() << "the killed child of KilledWorkIsOfferedBackYesRestoresNoDeletes";
    Document::RecoveryKeeper keeper(window->Doc, qEnvironmentVariable(kChildState));
    window->Doc.OpenWorkFile(qEnvironmentVariable(kChildOriginal));
    for (int key = 0; key < Document::RecoveryKeeper::kChangesPerWrite; ++key)
        window->Doc.Place(key, Markers::MakeMarker(5 * key, 4 * key));
    keeper.WaitForIdle();
    std::fputs("copy written\n", stdout);
    std::fflush(stdout);
    // Waits to be killed; a parent that went away ends it here.
    std::this_thread::sleep_for(120s);
    std::_Exit(3);
}

TEST_F(RecoveryKillTest, KilledWorkIsOfferedBackYesRestoresNoDeletes) {
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        const QString original = path(QStringLiteral("original.ptn"));
        killWithUnsavedWork(original);
        if (HasFatalFailure())
            return;

        Document::RecoveryKeeper keeper(window->Doc, state());
        QString question;
        Gui::answerMessage(yes ? QStringLiteral("はい") : QStringLiteral("いいえ"), &question);
        EXPECT_EQ(OfferRecovery(*window, keeper), yes);
        EXPECT_EQ(question.trimmed(), QStringLiteral("前回の作業を復元しますか？"));
        if (yes) {
            EXPECT_EQ(window->Doc.Map().size(),
                      static_cast<size_t>(Document::RecoveryKeeper::kChangesPerWrite));
            EXPECT_TRUE(window->Doc.Modified());
            EXPECT_EQ(window->StatusText(TFrmFR0010MN::PanelModified).trimmed(),
                      QStringLiteral("変更"));
            EXPECT_EQ(window->Doc.WorkSaveFileName(), original);
            EXPECT_EQ(window->PBMain->size(), QSize(90, 60));
        } else {
            EXPECT_FALSE(window->Doc.DocumentOpen());
        }
        // Asked once: the copy is this program's now, or gone.
        EXPECT_EQ(keeper.FindOrphan(), QString());
        keeper.Discard();
        EXPECT_TRUE(QDir(state()).entryList(QDir::Files).isEmpty());
        window->Doc.New();
    }
}

}  // namespace
