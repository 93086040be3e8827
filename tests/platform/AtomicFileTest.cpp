#include "AtomicFile.h"
#include "FileModes.h"
#include "TestSupport.h"
#include "ToolkitError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <functional>
#include <optional>
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
    void age(const QString& name, int64_t seconds) {
        ASSERT_TRUE(TestSupport::setModifiedAgo(path(name), seconds)) << name.toStdString();
    }
};

// Read for everyone; with `write`, also written by its owner (0644 / 0444, the read-only
// attribute on Windows).
constexpr QFileDevice::Permissions kReadable = QFileDevice::ReadOwner | QFileDevice::ReadUser |
                                               QFileDevice::ReadGroup | QFileDevice::ReadOther;

TEST_F(AtomicFileTest, WritesWholeOrLeavesTheTargetAsItWas) {
    const std::optional<int> newMode = TestSupport::newFileMode();
    bool linked = false;
    const QString cannot = QStringLiteral("ファイル %1 を作成できません");
    const struct Row {
        const char* name;
        QString target;                  // relative to the test folder
        std::function<void()> before;    // sets the scene
        std::function<void()> producer;  // throws to fail half-way, or does nothing
        QString failure;                 // empty: written
        std::optional<int> mode;         // of the file afterwards where files have one
    } rows[] = {
        {"NewFile", "new.bin", [] {}, [] {}, {}, newMode},
        {"ReplacesKeepingPermissions",
         "old.bin",
         [&] {
             put(QStringLiteral("old.bin"), "old");
             QFile::setPermissions(path(QStringLiteral("old.bin")),
                                   QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ReadUser | QFileDevice::WriteUser |
                                       QFileDevice::ReadGroup);
         },
         [] {},
         {},
         newMode ? std::optional<int>(0640) : std::nullopt},
        {"ReadOnlyTargetIsKept", "locked.bin",
         [&] {
             put(QStringLiteral("locked.bin"), "old");
             ASSERT_TRUE(QFile::setPermissions(path(QStringLiteral("locked.bin")), kReadable));
         },
         [] {}, cannot, newMode ? std::optional<int>(0444) : std::nullopt},
        {"FolderInTheTargetsPlace", "folder.bin",
         [&] { ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("folder.bin/inside")))); }, [] {},
         cannot, std::nullopt},
        {"FolderMissing", "no/such/x.bin", [] {}, [] {}, cannot, std::nullopt},
        {"ProducerFailsHalfWay", "half.bin", [&] { put(QStringLiteral("half.bin"), "old"); },
         [] { throw std::runtime_error("half-way"); }, QStringLiteral("half-way"), std::nullopt},
        // Our temporary name is longer than the target's, and must still fit the folder.
        {"LongestName", QString(255, QLatin1Char('n')), [] {}, [] {}, {}, std::nullopt},
        {"LinkIsFollowed",
         "link.bin",
         [&] {
             put(QStringLiteral("real.bin"), "old");
             // A symbolic link proper (a shortcut on Windows is a file of its own); Windows
             // without the privilege to make one leaves this row a plain new file.
             std::error_code ec;
             std::filesystem::create_symlink("real.bin",
                                             std::filesystem::path(
                                                 path(QStringLiteral("link.bin")).toStdU16String()),
                                             ec);
             linked = !ec;
         },
         [] {},
         {},
         std::nullopt},
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
        if (row.mode) {
            EXPECT_EQ(TestSupport::fileMode(path(row.target)), row.mode);
        }
        EXPECT_EQ(temps(), QStringList());
    }
    if (linked) {
        EXPECT_TRUE(QFileInfo(path(QStringLiteral("link.bin"))).isSymLink());
        EXPECT_EQ(bytesOf(QStringLiteral("real.bin")), QByteArray("new bytes"));
    }
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
    const bool asRoot = TestSupport::giveToAnotherUser(path(otherUsers));

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
