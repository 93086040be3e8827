#include "Common.h"
#include "Cp932.h"
#include "TestSupport.h"
#include "VersionFiles.h"
#include "VersionRecord.h"

#include <QFile>

#include <sys/stat.h>

using namespace Common;
using VersionFiles::Container;

namespace {

std::string cp932(const char16_t* text) {
    return Platform::Cp932::fromUnicode(QString::fromUtf16(text));
}

VersionRecord::Contents japanese() {
    VersionRecord::Contents c;
    c.fileVersion = {2, 5, 0, 1};
    c.productVersion = {2, 5, 0, 0};
    c.translations = {0x03A40411};
    c.tables = {{u"041103A4",
                 {{u"CompanyName", u"試験会社"},
                  {u"FileVersion", u"2.5.0.1"},
                  {u"ProductName", u"Tester"},
                  {u"ProductVersion", u"2.5"}}}};
    return c;
}

struct RecordCase {
    const char* name;
    VersionRecord::Contents contents;
    TFileVersionInfo item;
    std::string expected;
};

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << c.name;
}

RecordCase withTranslations(const char* name, std::vector<std::uint32_t> translations,
                            std::vector<VersionRecord::StringTable> tables, TFileVersionInfo item,
                            std::string expected) {
    VersionRecord::Contents c;
    c.translations = std::move(translations);
    c.tables = std::move(tables);
    return {name, c, item, std::move(expected)};
}

const VersionRecord::StringTable english = {u"040904E4", {{u"ProductName", u"Widget"}}};
const VersionRecord::StringTable japaneseTable = {u"041103A4", {{u"ProductName", u"ウィジェット"}}};

const RecordCase recordCases[] = {
    {"JapaneseFileVersion", japanese(), fvFileVersion, "2.5.0.1"},
    {"JapaneseValueInCp932", japanese(), fvCompanyName, cp932(u"試験会社")},
    {"ProductVersionIsItsOwnString", japanese(), fvProductVersion, "2.5"},
    {"MissingStringIsEmpty", japanese(), fvLegalCopyright, ""},
    withTranslations("EnglishUnder040904E4", {0x04E40409}, {japaneseTable, english}, fvProductName,
                     "Widget"),
    withTranslations("OnlyFirstTranslationCounts", {0x03A40411, 0x04E40409},
                     {english, japaneseTable}, fvProductName, cp932(u"ウィジェット")),
    withTranslations("FirstTranslationWithoutTable", {0x04E40409, 0x03A40411}, {japaneseTable},
                     fvProductName, ""),
    withTranslations("NoTranslationIsEmpty", {}, {english}, fvProductName, ""),
    withTranslations("NoStringFileInfo", {0x04E40409}, {}, fvProductName, ""),
    withTranslations("TableNameCaseIgnored", {0x04E40409},
                     {{u"040904e4", {{u"productname", u"Lower"}}}}, fvProductName, "Lower"),
    withTranslations("ValueEndsAtFirstNul", {0x04E40409},
                     {{u"040904E4", {{u"ProductName", std::u16string(u"abc\0def", 7)}}}},
                     fvProductName, "abc"),
};

struct ContainerCase {
    const char* name;
    Container kind;
};
void PrintTo(const ContainerCase& c, std::ostream* os) {
    *os << c.name;
}

const ContainerCase containers[] = {
    {"Elf64Little", Container::Elf64Little},
    {"Elf32Big", Container::Elf32Big},
    {"Pe32Plus", Container::Pe32Plus},
    {"Pe32", Container::Pe32},
};

class VersionRecordFile
    : public TestSupport::TempDirTest,
      public ::testing::WithParamInterface<std::tuple<ContainerCase, RecordCase>> {};

TEST_P(VersionRecordFile, LooksUpTheStringOfTheFirstTranslation) {
    const auto& [container, c] = GetParam();
    const QString file = path(QStringLiteral("versioned.bin"));
    VersionFiles::writeFile(file,
                            VersionFiles::wrap(container.kind, VersionRecord::build(c.contents)));
    EXPECT_EQ(GetFileVersionEx(file.toStdString(), c.item), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Records, VersionRecordFile,
                         ::testing::Combine(::testing::ValuesIn(containers),
                                            ::testing::ValuesIn(recordCases)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

class VersionFilesWithout : public TestSupport::TempDirTest {
protected:
    std::string write(const QString& name, const VersionFiles::Bytes& bytes) {
        VersionFiles::writeFile(path(name), bytes);
        return path(name).toStdString();
    }
};

TEST_F(VersionFilesWithout, AnyOtherFileGivesEmptyText) {
    const VersionFiles::Bytes record = VersionRecord::build(japanese());
    const std::string text = write(QStringLiteral("readme.txt"), {'h', 'e', 'l', 'l', 'o', '\n'});
    const std::string empty = write(QStringLiteral("empty"), {});
    const std::string otherSection = write(
        QStringLiteral("other.o"), VersionFiles::wrap(Container::Elf64Little, record, ".data"));
    VersionFiles::Bytes noResource = VersionFiles::wrap(Container::Pe32Plus, record);
    noResource.resize(0x400);  // the resource section is gone from the file
    const std::string truncatedPe = write(QStringLiteral("cut.exe"), noResource);

    for (const std::string& file : {text, empty, otherSection, truncatedPe, dir().toStdString(),
                                    path(QStringLiteral("missing")).toStdString(), std::string()})
        EXPECT_EQ(GetFileVersionEx(file, fvFileVersion), "") << file;
}

// Damaged records and files: never a crash, never a read outside the data, and never a value
// other than the one the intact record holds.
TEST_F(VersionFilesWithout, DamagedRecordsAreReadSafely) {
    for (Container kind : {Container::Elf64Little, Container::Pe32}) {
        const VersionFiles::Bytes file = VersionFiles::wrap(kind, VersionRecord::build(japanese()));
        const std::string name = path(QStringLiteral("damaged")).toStdString();
        for (std::size_t cut = 0; cut < file.size(); cut += 7) {
            write(QStringLiteral("damaged"), VersionFiles::Bytes(file.begin(), file.begin() + cut));
            const std::string v = GetFileVersionEx(name, fvFileVersion);
            EXPECT_TRUE(v.empty() || v == "2.5.0.1") << cut;
        }
        for (std::size_t at = 0; at < file.size(); at += 3) {
            VersionFiles::Bytes bad = file;
            bad[at] ^= 0xFF;
            write(QStringLiteral("damaged"), bad);
            GetFileVersionEx(name, fvFileVersion);  // must simply return
        }
    }
}

TEST(ProgramVersion, TheRunningProgramCarriesItsRecord) {
    EXPECT_EQ(GetFileVersion(fvFileVersion), "1.0.3.0");
    EXPECT_EQ(GetFileVersion(fvProductVersion), "1.0.3.0");
    EXPECT_EQ(GetFileVersion(fvProductName), "Pictanote");
    EXPECT_EQ(GetFileVersion(fvInternalName), "Pictanote");
    EXPECT_FALSE(GetFileVersion(fvCompanyName).empty());
    EXPECT_FALSE(GetFileVersion(fvLegalCopyright).empty());
    // The description is Japanese, handed out in code page 932.
    const QString description = Platform::Cp932::toUnicode(GetFileVersion(fvFileDescription));
    EXPECT_TRUE(description.contains(QStringLiteral("説明図"))) << description.toStdString();
}

TEST(ProgramVersion, TheProgramFileCarriesTheRecord) {
    const std::string program = PICTANOTE_PROGRAM_FILE;
    EXPECT_EQ(GetFileVersionEx(program, fvFileVersion), "1.0.3.0");
    EXPECT_EQ(GetFileVersionEx(program, fvProductVersion), "1.0.3.0");
    EXPECT_EQ(GetFileVersionEx(program, fvProductName), "Pictanote");
}

TEST(ProgramVersion, TheLibraryFileCarriesTheSameRecord) {
    const std::string library = PICTANOTE_COMMON_LIBRARY_FILE;
    ASSERT_TRUE(QFile::exists(QString::fromStdString(library)));
    EXPECT_EQ(GetFileVersionEx(library, fvFileVersion), "1.0.3.0");
    EXPECT_EQ(GetFileVersionEx(library, fvProductName), "Pictanote");
#ifdef Q_OS_WIN
    // Each Windows file's own resource names the file.
    EXPECT_EQ(GetFileVersionEx(library, fvOriginalFilename), "pictanote-common.dll");
#else
    EXPECT_EQ(GetFileVersionEx(library, fvOriginalFilename), "pictanote");
#endif
    EXPECT_EQ(GetFileVersionEx(library, fvFileDescription), GetFileVersion(fvFileDescription));
}

}  // namespace
