// Saves killed half-way by the system (TerminateProcess on Windows, where the POSIX fault
// harness cannot run): the target is the earlier file or the new one whole, never a mixture.
#include "TestSupport.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <thread>

namespace {

class KilledSaveTest : public TestSupport::TempDirTest {
protected:
    static QByteArray hashOf(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly)
                   ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5)
                   : QByteArray();
    }
    // A work-file save of a 2000 x 2000 picture (about 12 MB) made from `seed`, in a process of
    // its own; killed after `killAfterMs` unless negative.
    static bool save(const QString& target, int seed, int killAfterMs = -1) {
        QProcess helper;
        helper.start(QStringLiteral(PICTANOTE_FAULT_HELPER_PATH),
                     {QStringLiteral("work"), target, QStringLiteral("2000"),
                      QStringLiteral("2000"), QStringLiteral("24"), QString::number(seed)});
        if (!helper.waitForStarted(60000))
            return false;
        if (killAfterMs >= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(killAfterMs));
            helper.kill();
        }
        return helper.waitForFinished(120000) && helper.exitStatus() == QProcess::NormalExit &&
               helper.exitCode() == 0;
    }
};

TEST_F(KilledSaveTest, KilledSaveLeavesTheOldFileOrTheNewOneWhole) {
    // The two contents the target may hold, each saved whole once; the first save also gives
    // the span the kills are spread over.
    const QString target = path(QStringLiteral("work.ptn"));
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(save(path(QStringLiteral("new.ptn")), 2));
    const int fullRunMs = static_cast<int>(std::max<qint64>(timer.elapsed(), 1));
    ASSERT_TRUE(save(target, 1));
    const QByteArray hashes[2] = {hashOf(target), hashOf(path(QStringLiteral("new.ptn")))};
    ASSERT_NE(hashes[0], hashes[1]);

    QRandomGenerator random(20261209);
    int holds = 0, keptOld = 0, tookNew = 0;
    for (int i = 0; i < 20; ++i) {
        const int next = 1 - holds;
        save(target, next + 1, static_cast<int>(random.bounded(fullRunMs)));
        const QByteArray now = hashOf(target);
        ASSERT_TRUE(now == hashes[0] || now == hashes[1]) << "kill " << i;
        if (now == hashes[next]) {
            holds = next;
            ++tookNew;
        } else {
            ++keptOld;
        }
    }
    RecordProperty("kept_old", keptOld);
    RecordProperty("took_new", tookNew);
}

}  // namespace
