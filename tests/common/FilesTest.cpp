#include "Common.h"
#include "PrivateRoot.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <optional>

using namespace Common;

namespace {

void makeFile(const QString& path, const QByteArray& content = "x") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::string s(const QString& path) {
    return path.toStdString();
}  // ASCII test paths

// ---- The executable and the system ---------------------------------------------------------

TEST(ExecutablePaths, FollowTheRunningProgram) {
    const QFileInfo self(QCoreApplication::applicationFilePath());
    EXPECT_EQ(ExePath(), s(self.absolutePath()) + "/");
    EXPECT_EQ(ExeDir(), s(self.absolutePath()));
    EXPECT_EQ(ChangeExeExt(".log"), "common-tests.log");
    EXPECT_EQ(ChangeExeExt(""), "common-tests");
    const std::string suffix = self.suffix().isEmpty() ? "" : "." + s(self.suffix());  // .exe
    EXPECT_EQ(ExePath() + ChangeExeExt(suffix), s(self.absoluteFilePath()));
}

TEST(SystemInformation, NamesAreShortAndPresent) {
    const std::string computer = ComputerName();
    EXPECT_FALSE(computer.empty());
    EXPECT_LE(computer.size(), 15u);
    EXPECT_EQ(computer.find('.'), std::string::npos);
    EXPECT_FALSE(UserName().empty());
}

// The drive letters are the system's own (none where the file system has one root), each
// typed list keeps its letters in order, and a fixed drive is ready.
TEST(Drives, TheSystemsLettersByType) {
    std::string letters;
    for (const QFileInfo& drive : QDir::drives()) {
        const QString root = drive.filePath();
        if (root.size() >= 2 && root[1] == u':')
            letters += static_cast<char>(root[0].toUpper().toLatin1());
    }
    EXPECT_EQ(Drives(), letters);
    std::string typed;
    for (unsigned type = 0; type < 8; ++type) {
        const std::string kept = DrivesEx(type);
        for (const char letter : kept)
            EXPECT_NE(letters.find(letter), std::string::npos) << letter << " type " << type;
        typed += kept;
    }
    EXPECT_EQ(typed.size(), letters.size()) << "every drive has exactly one type";
    EXPECT_EQ(RemoveDrives(), DrivesEx(2));
    EXPECT_EQ(FixedDrives(), DrivesEx(3));
    EXPECT_EQ(RemoteDrives() + CDROMDrives() + RamDrives(), DrivesEx(4) + DrivesEx(5) + DrivesEx(6));
    for (const char letter : FixedDrives())
        EXPECT_TRUE(CheckDriveReady(letter)) << letter;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (letters.find(letter) == std::string::npos) {
            EXPECT_FALSE(CheckDriveReady(letter)) << letter;
        }
    }
    EXPECT_FALSE(CheckDriveReady('/'));
}

TEST(TempFiles, NewEmptyFileInTheTemporaryFolder) {
    const std::string folder = TempPath();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder)).isDir());

    const std::string a = TempFileName("tmpXYZ");
    const std::string b = TempFileName("tmpXYZ");
    const QFileInfo info(QString::fromStdString(a));
    EXPECT_NE(a, b);
    EXPECT_TRUE(info.exists());
    EXPECT_EQ(info.size(), 0);
    EXPECT_EQ(a.substr(0, folder.size()), folder);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^tmp[0-9A-Fa-f]+\\.tmp$"))
                    .match(info.fileName())
                    .hasMatch())
        << a;
    QFile::remove(QString::fromStdString(a));
    QFile::remove(QString::fromStdString(b));
}

// ---- GetLongName ---------------------------------------------------------------------------

class LongNameTest : public TestSupport::TempDirTest {};

TEST_F(LongNameTest, ExistingAndMissingPaths) {
    makeFile(path(QStringLiteral("Folder/Name.txt")));
    const std::string root = s(dir());
    EXPECT_EQ(GetLongName(root + "/Folder/Name.txt"), root + "/Folder/Name.txt");
    EXPECT_EQ(GetLongName(root + "/Folder/"), root + "/Folder");
    EXPECT_EQ(GetLongName(root + "/Folder/Missing/"), root + "/Folder/Missing");
    EXPECT_EQ(GetLongName(root + "/Nothing/here.txt"), root + "/Nothing/here.txt");
    EXPECT_EQ(GetLongName("/"), "/");
    EXPECT_EQ(GetLongName(""), "");
}

// ---- DeleteDir / DeleteFiles ---------------------------------------------------------------

class DeleteTest : public TestSupport::TempDirTest {
protected:
    void SetUp() override {
        makeFile(path(QStringLiteral("work/a.txt")));
        makeFile(path(QStringLiteral("work/.hidden")));
        makeFile(path(QStringLiteral("work/sub/deep/b.txt")));
        makeFile(path(QStringLiteral("outside/keep.txt")));
        ASSERT_TRUE(
            QFile::link(path(QStringLiteral("outside")), path(QStringLiteral("work/link"))));
    }
    bool exists(const char* relative) const {
        return QFileInfo::exists(path(QString::fromLatin1(relative))) ||
               QFileInfo(path(QString::fromLatin1(relative))).isSymLink();
    }
};

TEST_F(DeleteTest, DeleteDirRemovesTheFolderButNotWhatLinksPointTo) {
    EXPECT_TRUE(DeleteDir(0, s(path(QStringLiteral("work/")))));
    EXPECT_FALSE(exists("work"));
    EXPECT_TRUE(exists("outside/keep.txt"));
    EXPECT_FALSE(DeleteDir(0, s(path(QStringLiteral("work")))));  // already gone
}

TEST_F(DeleteTest, DeleteFilesOnlyKeepsSubfolders) {
    EXPECT_TRUE(DeleteFiles(0, s(path(QStringLiteral("work/"))), true));
    EXPECT_FALSE(exists("work/a.txt"));
    EXPECT_FALSE(exists("work/.hidden"));
    EXPECT_FALSE(exists("work/link"));  // a link is a file: it goes, its target stays
    EXPECT_TRUE(exists("work/sub/deep/b.txt"));
    EXPECT_TRUE(exists("outside/keep.txt"));
}

TEST_F(DeleteTest, DeleteFilesEmptiesTheFolderAndKeepsIt) {
    EXPECT_TRUE(DeleteFiles(0, s(path(QStringLiteral("work"))), false));
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("work"))).isDir());
    EXPECT_TRUE(
        QDir(path(QStringLiteral("work")))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
            .isEmpty());
    EXPECT_TRUE(exists("outside/keep.txt"));
    EXPECT_TRUE(DeleteFiles(0, s(path(QStringLiteral("work"))), false));  // nothing left: fine
}

TEST_F(DeleteTest, MissingFolderOrFileIsFalse) {
    EXPECT_FALSE(DeleteFiles(0, s(path(QStringLiteral("missing"))), false));
    EXPECT_FALSE(DeleteFiles(0, s(path(QStringLiteral("work/a.txt"))), false));
    EXPECT_FALSE(DeleteDir(0, s(path(QStringLiteral("missing/")))));
    EXPECT_TRUE(exists("work/a.txt"));
}

// The empty argument and every spelling of the root are refused. The root tested is a fresh
// folder made the root of a child process, so a fault here cannot reach the real one.
TEST_F(DeleteTest, EmptyArgumentAndRootAreRefused) {
    ASSERT_TRUE(QFile::link(QStringLiteral("/"), path(QStringLiteral("toroot"))));
    const std::optional<int> failures = TestSupport::runWithRootAt(dir(), [] {
        // The number of the first call that deleted (an exit status holds only 8 bits).
        int failures = 0;
        const auto refused = [&](bool result, int number) {
            if (result && failures == 0)
                failures = number;
        };
        refused(DeleteDir(0, ""), 1);
        refused(DeleteFiles(0, "", false), 2);
        refused(DeleteDir(0, "/"), 3);
        refused(DeleteFiles(0, "/", true), 4);
        refused(DeleteFiles(0, "//", false), 5);
        refused(DeleteFiles(0, "/work/..", false), 6);
        refused(DeleteFiles(0, "/toroot", false), 7);
        refused(DeleteDir(0, "/toroot/"), 8);
        QDir::setCurrent(QStringLiteral("/work"));
        refused(DeleteFiles(0, "..", false), 9);
        // Deletion itself works in here.
        if (!DeleteDir(0, "/work/sub") && failures == 0)
            failures = 10;
        return failures;
    });
    if (!failures)
        GTEST_SKIP() << "needs a private root folder: the right to change the root directory, "
                        "which Windows does not have (a fault would reach the real drive)";
    EXPECT_EQ(*failures, 0) << "the call of this number deleted (10: the last one did not)";
    EXPECT_TRUE(exists("work/a.txt"));
    EXPECT_TRUE(exists("outside/keep.txt"));
    EXPECT_FALSE(exists("work/sub"));
}

// ---- PutLog --------------------------------------------------------------------------------

class PutLogTest : public TestSupport::TempDirTest {};

TEST_F(PutLogTest, AppendsOneLinePerCall) {
    const std::string log = s(path(QStringLiteral("app.log")));
    PutLog("first", log);
    PutLog("second", log);
    EXPECT_EQ(readAll(path(QStringLiteral("app.log"))), QByteArray("first\r\nsecond\r\n"));
}

TEST_F(PutLogTest, FolderAloneGetsTheProgramsLogName) {
    PutLog("\x93\xFA", s(dir()) + "/");  // "日" in code page 932, written as it is
    EXPECT_EQ(readAll(path(QStringLiteral("common-tests.log"))), QByteArray("\x93\xFA\r\n"));
}

TEST_F(PutLogTest, BareNameGoesBesideTheExecutable) {
    const QString name =
        QStringLiteral("putlog-test-%1.log").arg(QCoreApplication::applicationPid());
    const QString beside = QString::fromStdString(ExePath()) + name;
    PutLog("hello", name.toStdString());
    EXPECT_EQ(readAll(beside), QByteArray("hello\r\n"));
    QFile::remove(beside);
}

TEST_F(PutLogTest, MissingFolderFailsSilently) {
    PutLog("lost", s(path(QStringLiteral("no/such/folder/x.log"))));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("no"))));
}

// ---- Shell ---------------------------------------------------------------------------------

class ShellTest : public TestSupport::TempDirTest {};

#ifdef Q_OS_WIN
// This test program, started again through the shell: it writes its report to the quoted path
// (a folder name with a space) and has finished when Shell returns.
TEST_F(ShellTest, StartsProgramsWithQuotedArgumentsAndWaits) {
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("two words"))));
    const QString report = QDir::toNativeSeparators(path(QStringLiteral("two words/report.xml")));
    const std::string parameters = "--gtest_filter=NoSuch.Test \"--gtest_output=xml:" +
                                   s(report) + "\"";
    ASSERT_TRUE(Shell(s(QCoreApplication::applicationFilePath()), parameters, true));
    EXPECT_TRUE(readAll(report).contains("<testsuites"));
}

TEST_F(ShellTest, FindsProgramsOnThePathAndReportsFailure) {
    EXPECT_TRUE(Shell("cmd.exe", "/c exit 0", true));
    EXPECT_FALSE(Shell(s(path(QStringLiteral("missing-program.exe"))), "", true));
    EXPECT_FALSE(Shell("", "", false));
}
#else
TEST_F(ShellTest, StartsProgramsWithQuotedArgumentsAndNoShell) {
    const QString script = path(QStringLiteral("args.sh"));
    makeFile(script,
             "#!/bin/sh\nsleep 0.2\nfor a in \"$@\"; do echo \"[$a]\"; done > \"$0.out\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString marker = path(QStringLiteral("injected"));

    const std::string parameters =
        "one \"two words\" ;touch$IFS" + s(marker) + " \"$(touch " + s(marker) + ")\"";
    ASSERT_TRUE(Shell(s(script), parameters, true));
    // wait: the program has finished when Shell returns.
    EXPECT_EQ(QString::fromUtf8(readAll(script + QStringLiteral(".out"))),
              QStringLiteral("[one]\n[two words]\n[;touch$IFS%1]\n[$(touch %1)]\n").arg(marker));
    EXPECT_FALSE(QFileInfo::exists(marker));
}

TEST_F(ShellTest, FindsProgramsOnThePathAndReportsFailure) {
    EXPECT_TRUE(Shell("true", "", true));
    EXPECT_FALSE(Shell(s(path(QStringLiteral("missing-program"))), "", true));
    EXPECT_FALSE(Shell("", "", false));
}
#endif

}  // namespace
