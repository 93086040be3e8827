// A program killed with unsaved work offers it back at the next start. The killed program is a
// forked child that makes its window and keeper as the program does, edits, lets the copy be
// written and is killed; this process then starts as the program does after it.
#include "RecoveryKeeper.h"
#include "RecoveryOffer.h"
#include "WindowTestSupport.h"

#include <QFile>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

using namespace std::chrono_literals;

namespace {

class RecoveryKillTest : public Gui::WindowTest {
protected:
    QString state() const { return path(QStringLiteral("state")); }

    // Saves a document as `original`, then in a child edits it unsaved and is killed.
    void killWithUnsavedWork(const QString& original) {
        Document::Session maker;
        maker.Create();
        ASSERT_TRUE(maker.TakeSourceBitmap(Platform::Bitmap(90, 60, 24)).Ok());
        ASSERT_TRUE(maker.SaveWorkFile(original).Ok());

        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TFrmFR0010MN killed;
            Document::RecoveryKeeper keeper(killed.Doc, state());
            killed.Doc.OpenWorkFile(original);
            for (int key = 0; key < Document::RecoveryKeeper::kChangesPerWrite; ++key)
                killed.Doc.Place(key, Markers::MakeMarker(5 * key, 4 * key));
            keeper.WaitForIdle();
            raise(SIGKILL);
            _exit(3);
        }
        int status = 0;
        pid_t done = 0;
        for (int tries = 0; tries < 600 && done == 0; ++tries) {
            done = waitpid(child, &status, WNOHANG);
            if (done == 0)
                std::this_thread::sleep_for(50ms);
        }
        if (done == 0) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            FAIL() << "the child hung";
        }
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    }
};

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
