#include "TempFile.h"
#include "FileModes.h"
#include "TestSupport.h"
#include "ToolkitError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Platform;

class TempFileTest : public TestSupport::TempDirTest {};

TEST_F(TempFileTest, CreatesEmptyOwnerOnlyFileWithPrefixAndHexName) {
    const QString path = createTempFile(QStringLiteral("tmpXYZ"), dir());
    const QFileInfo info(path);
    EXPECT_TRUE(info.exists());
    EXPECT_EQ(info.size(), 0);
    EXPECT_EQ(info.absolutePath(), QFileInfo(dir()).absoluteFilePath());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^tmp[0-9A-Fa-f]{1,8}\\.tmp$"))
                    .match(info.fileName())
                    .hasMatch())
        << info.fileName().toStdString();
    // Owner-only where files carry permission bits; on Windows the folder's access list rules.
    if (const std::optional<int> mode = TestSupport::fileMode(path)) {
        EXPECT_EQ(*mode & 077, 0);
    }
}

TEST_F(TempFileTest, EveryCallGivesANewFile) {
    QSet<QString> seen;
    for (int i = 0; i < 50; ++i)
        seen.insert(createTempFile(QStringLiteral("tmp"), dir()));
    EXPECT_EQ(seen.size(), 50);
}

TEST_F(TempFileTest, MissingFolderRaisesCannotCreate) {
    try {
        createTempFile(QStringLiteral("tmp"), path(QStringLiteral("no/such/folder")));
        FAIL() << "expected ToolkitError";
    } catch (const ToolkitError& e) {
        EXPECT_TRUE(e.message().endsWith(QStringLiteral(" を作成できません")));
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("ファイル ")));
    }
}

TEST(TempFolder, IsTheSystemTemporaryFolder) {
    EXPECT_FALSE(tempFolder().endsWith('/'));
    EXPECT_TRUE(QFileInfo(tempFolder()).isDir());
}

// A missing system temporary folder comes back as an empty name; the file must not then be
// made in the root folder.
TEST_F(TempFileTest, MissingSystemTempFolderRaisesCannotCreate) {
    // The variables that name the temporary folder: TMPDIR on POSIX systems, TMP then TEMP on
    // Windows.
    const char* const names[] = {"TMPDIR", "TMP", "TEMP"};
    QByteArray old[3];
    for (int i = 0; i < 3; ++i) {
        old[i] = qgetenv(names[i]);
        qputenv(names[i], QDir::toNativeSeparators(path(QStringLiteral("gone"))).toLocal8Bit());
    }
    QString message;
    try {
        const QString made = createTempFile(QStringLiteral("tmp"));
        QFile::remove(made);
        message = made;
    } catch (const ToolkitError& e) {
        message = e.message();
    }
    for (int i = 0; i < 3; ++i) {
        if (old[i].isNull())
            qunsetenv(names[i]);
        else
            qputenv(names[i], old[i]);
    }
    EXPECT_EQ(message, QStringLiteral("ファイル  を作成できません"));
}
