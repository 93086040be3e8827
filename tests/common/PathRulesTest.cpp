// The path-splitting rules behind ExePath, ExeDir, ChangeExeExt, GetLongName and PutLog. The
// executable's own path cannot be moved to the root in a test, so the rules are checked here.
#include "Cp932.h"
#include "PathRules.h"

#include <gtest/gtest.h>

using namespace Common::Detail;

namespace {

struct PathCase {
    const char* name;
    std::string path;
    std::string withSeparator;  // extractFilePath
    std::string folder;         // extractFileDir
    std::string fileName;       // extractFileName
    std::string logName;        // changeFileExt(fileName, ".log")
};
void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.name;
}

class PathRows : public ::testing::TestWithParam<PathCase> {};
TEST_P(PathRows, Splits) {
    const PathCase& c = GetParam();
    EXPECT_EQ(extractFilePath(c.path), c.withSeparator);
    EXPECT_EQ(extractFileDir(c.path), c.folder);
    EXPECT_EQ(extractFileName(c.path), c.fileName);
    EXPECT_EQ(changeFileExt(extractFileName(c.path), ".log"), c.logName);
}

const std::string kanji = Platform::Cp932::fromUnicode(QStringLiteral("表示"));  // 0x95 0x5C ...

const PathCase pathCases[] = {
    {"Program", "/opt/pictanote/bin/pictanote", "/opt/pictanote/bin/", "/opt/pictanote/bin",
     "pictanote", "pictanote.log"},
    {"ProgramInTheRoot", "/pictanote", "/", "/", "pictanote", "pictanote.log"},
    {"BareName", "pictanote", "", "", "pictanote", "pictanote.log"},
    {"FolderOnly", "/var/log/", "/var/log/", "/var/log", "", ".log"},
    {"ExtensionReplaced", "/tmp/a.b/name.tar.gz", "/tmp/a.b/", "/tmp/a.b", "name.tar.gz",
     "name.tar.log"},
    {"DotInFolderOnly", "/tmp/a.b/name", "/tmp/a.b/", "/tmp/a.b", "name", "name.log"},
    {"DoubledSeparatorKept", "/tmp//name", "/tmp//", "/tmp//", "name", "name.log"},
    {"DoubleByteName", "/" + kanji + "/" + kanji + ".txt", "/" + kanji + "/", "/" + kanji,
     kanji + ".txt", kanji + ".log"},
};
INSTANTIATE_TEST_SUITE_P(Paths, PathRows, ::testing::ValuesIn(pathCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChangeFileExt, EmptyExtensionDropsIt) {
    EXPECT_EQ(changeFileExt("pictanote.exe", ""), "pictanote");
    EXPECT_EQ(changeFileExt(".hidden", ".log"), ".log");
}

TEST(LastDelimiter, TrailByteIsNotADelimiter) {
    // 「表」 is 0x95 0x5C: its second byte has the code of a backslash.
    const std::string text = "a\\" + Platform::Cp932::fromUnicode(QStringLiteral("表"));
    EXPECT_EQ(lastDelimiter(text, '\\'), 1u);
}

}  // namespace
