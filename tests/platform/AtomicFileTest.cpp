#include "AtomicFile.h"
#include "TestSupport.h"
#include "ToolkitError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <ctime>
#include <functional>
#include <stdexcept>

namespace {

using Platform::ToolkitError;

class AtomicFileTest : public TestSupport::TempDirTest {
protected:
    void put(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytesOf(const QString& name) {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    }
    QStringList temps() {
        QStringList ours;
        for (const QString& name :
             QDir(dir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            if (Platform::isDurableTempName(name))
                ours << name;
        return ours;
    }
    void age(const QString& name, std::time_t seconds) {
        const utimbuf times{std::time(nullptr) - seconds, std::time(nullptr) - seconds};
        ASSERT_EQ(::utime(QFile::encodeName(path(name)).constData(), &times), 0);
    }
};

int modeOf(const QString& file) {
    struct stat st {};
    return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

TEST_F(AtomicFileTest, WritesWholeOrLeavesTheTargetAsItWas) {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    const QString cannot = QStringLiteral("ファイル %1 を作成できません");
    const struct Row {
        const char* name;
        QString target;                  // relative to the test folder
        std::function<void()> before;    // sets the scene
        std::function<void()> producer;  // throws to fail half-way, or does nothing
        QString failure;                 // empty: written
        int mode;                        // of the file afterwards; -1: not checked
    } rows[] = {
        {"NewFile", "new.bin", [] {}, [] {}, {}, int(0666 & ~mask)},
        {"ReplacesKeepingPermissions",
         "old.bin",
         [&] {
             put(QStringLiteral("old.bin"), "old");
             ::chmod(QFile::encodeName(path(QStringLiteral("old.bin"))).constData(), 0640);
         },
         [] {},
         {},
         0640},
        {"ReadOnlyTargetIsKept", "locked.bin",
         [&] {
             put(QStringLiteral("locked.bin"), "old");
             ::chmod(QFile::encodeName(path(QStringLiteral("locked.bin"))).constData(), 0444);
         },
         [] {}, cannot, 0444},
        {"FolderInTheTargetsPlace", "folder.bin",
         [&] { ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("folder.bin/inside")))); }, [] {},
         cannot, -1},
        {"FolderMissing", "no/such/x.bin", [] {}, [] {}, cannot, -1},
        {"ProducerFailsHalfWay", "half.bin", [&] { put(QStringLiteral("half.bin"), "old"); },
         [] { throw std::runtime_error("half-way"); }, QStringLiteral("half-way"), -1},
        // Our temporary name is longer than the target's, and must still fit the folder.
        {"LongestName", QString(255, QLatin1Char('n')), [] {}, [] {}, {}, -1},
        {"LinkIsFollowed",
         "link.bin",
         [&] {
             put(QStringLiteral("real.bin"), "old");
             ASSERT_TRUE(QFile::link(QStringLiteral("real.bin"), path(QStringLiteral("link.bin"))));
         },
         [] {},
         {},
         -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.before();
        const QByteArray old = bytesOf(row.target);
        QString failure;
        try {
            Platform::writeFileDurably(path(row.target), [&](Platform::FileSink& sink) {
                sink.write(QByteArrayView("new "));
                row.producer();
                sink.write(QByteArrayView("bytes"));
            });
        } catch (const ToolkitError& e) {
            failure = e.message();
        } catch (const std::runtime_error& e) {
            failure = QString::fromUtf8(e.what());
        }
        EXPECT_EQ(failure, row.failure.contains(QStringLiteral("%1"))
                               ? row.failure.arg(path(row.target))
                               : row.failure);
        EXPECT_EQ(bytesOf(row.target), row.failure.isEmpty() ? QByteArray("new bytes") : old);
        if (row.mode >= 0) {
            EXPECT_EQ(modeOf(path(row.target)), row.mode);
        }
        EXPECT_EQ(temps(), QStringList());
    }
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("link.bin"))).isSymLink());
    EXPECT_EQ(bytesOf(QStringLiteral("real.bin")), QByteArray("new bytes"));
}

TEST_F(AtomicFileTest, StaleTemporariesOfOursAreRemovedOthersKept) {
    const QString stale = QStringLiteral(".a.bin.pictanote-Ab12Cd.tmp");
    const QString fresh = QStringLiteral(".b.bin.pictanote-Ab12Ce.tmp");
    const QString foreign = QStringLiteral(".c.bin.pictanote-Ab12C.tmp");  // five characters
    const QString otherUsers = QStringLiteral(".d.bin.pictanote-Ab12Cf.tmp");
    const QString folder = QStringLiteral(".e.bin.pictanote-Ab12Cg.tmp");
    for (const QString& name : {stale, fresh, foreign, otherUsers})
        put(name, "left");
    ASSERT_TRUE(QDir().mkdir(path(folder)));
    for (const QString& name : {stale, foreign, otherUsers, folder})
        age(name, Platform::kStaleTempSeconds + 5);
    age(fresh, Platform::kStaleTempSeconds - 20);
    // Only root can give a file to someone else; for others that row is the plain stale one.
    const bool asRoot = ::geteuid() == 0;
    if (asRoot) {
        ASSERT_EQ(::chown(QFile::encodeName(path(otherUsers)).constData(), 65534, 65534), 0);
    }

    Platform::writeFileDurably(path(QStringLiteral("target.bin")), QByteArrayView("x"));

    QStringList expected{fresh, foreign, folder};
    if (asRoot)
        expected << otherUsers;
    expected.sort();
    QStringList left =
        QDir(dir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    left.removeOne(QStringLiteral("target.bin"));
    EXPECT_EQ(left, expected);
}

TEST(AtomicFileNames, OurShapeOnly) {
    EXPECT_TRUE(Platform::isDurableTempName(QStringLiteral(".絵.ptn.pictanote-zZ09aB.tmp")));
    EXPECT_TRUE(Platform::isDurableTempName(QStringLiteral("..pictanote-zZ09aB.tmp")));
    for (const char* name :
         {"a.ptn.pictanote-zZ09aB.tmp", ".a.ptn.pictanote-zZ09a_.tmp",
          ".a.ptn.pictanote-zZ09aB.tmpx", ".a.ptn.pictanote-zZ09aBc.tmp", ".a.ptn-zZ09aB.tmp"})
        EXPECT_FALSE(Platform::isDurableTempName(QString::fromUtf8(name))) << name;
}

}  // namespace
