// The settings file: what is written comes back, and a file that is broken in any way gives
// the defaults for what it spoils, without a failure.
#include "Settings.h"
#include "TestSupport.h"
#include "ToolkitError.h"

namespace {

using Document::Settings;

class SettingsTest : public TestSupport::TempDirTest {};

TEST_F(SettingsTest, WhatIsWrittenIsReadBack) {
    Settings s;
    s.WindowGeometry = QRect(-20, 40, 1024, 700);
    s.WindowMaximized = true;
    Markers::MarkerFont font;
    font.Name = QStringLiteral("IPAGothic = 等幅");
    font.Size = 14;
    font.Color = Markers::ColorValue(255, 0, 0);
    font.Bold = true;
    font.StrikeOut = true;
    s.Font = font;
    s.Style = 5;
    s.MarkerSize = 48;
    s.Folders[QStringLiteral("ODFile")] = QStringLiteral("/home/u/画像 [1]");
    s.RecentFiles = {QStringLiteral("/a/b=c.ptn"), QStringLiteral("C:\\x\\new\nline.bmp"),
                     QStringLiteral(" /lead.png")};
    const QString file = path(QStringLiteral("sub/folder/pictanote.conf"));
    s.Write(file);
    const Settings back = Settings::Read(file);
    EXPECT_EQ(back.WindowGeometry, s.WindowGeometry);
    EXPECT_TRUE(back.WindowMaximized);
    EXPECT_EQ(back.Font, s.Font);
    EXPECT_EQ(back.Style, 5);
    EXPECT_EQ(back.MarkerSize, 48);
    EXPECT_EQ(back.Folders, s.Folders);
    EXPECT_EQ(back.RecentFiles.value(0), s.RecentFiles.value(0));
    EXPECT_EQ(back.RecentFiles.value(1), s.RecentFiles.value(1));
    EXPECT_EQ(back.RecentFiles.size(), 3);
}

TEST_F(SettingsTest, BrokenFilesAndValuesGiveTheDefaults) {
    struct Case {
        const char* name;
        QByteArray text;
    } const cases[] = {
        {"empty", ""},
        {"binary", QByteArray("\x00\xff\xfe[\x01=\x02\n", 8)},
        {"no sections", "Geometry=1,2,3,4\nStyle=2\n"},
        {"bad geometry", "[Window]\nGeometry=1,2,0,4\nMaximized=perhaps\n"},
        {"short geometry", "[Window]\nGeometry=1,2,3\n"},
        {"style out of range", "[Appearance]\nStyle=6\nMarkerSize=8\n"},
        {"marker size too big", "[Appearance]\nMarkerSize=129\nStyle=-1\n"},
        {"not numbers", "[Appearance]\nStyle=two\nMarkerSize=0x20\n"},
        {"unknown section", "[Other]\nFontName=X\nFile1=/x\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Settings s = Settings::Read(writeFile(QStringLiteral("s.conf"), c.text));
        EXPECT_FALSE(s.WindowGeometry);
        EXPECT_FALSE(s.WindowMaximized);
        EXPECT_FALSE(s.Font);
        EXPECT_FALSE(s.Style);
        EXPECT_FALSE(s.MarkerSize);
        EXPECT_TRUE(s.RecentFiles.isEmpty());
    }
    // A font value that makes no sense leaves that value at its default, the others stand.
    const Settings font = Settings::Read(writeFile(
        QStringLiteral("f.conf"), "[Appearance]\nFontSize=-3\nFontBold=yes\nFontItalic=true\n"));
    ASSERT_TRUE(font.Font);
    EXPECT_EQ(font.Font->Size, Markers::MarkerFont{}.Size);
    EXPECT_FALSE(font.Font->Bold);
    EXPECT_TRUE(font.Font->Italic);
}

TEST_F(SettingsTest, MissingOversizedAndUnreadableFilesGiveTheDefaults) {
    EXPECT_FALSE(Settings::Read(path(QStringLiteral("missing.conf"))).Style);
    EXPECT_FALSE(Settings::Read(dir()).Style);  // a folder
    QByteArray big = "[Appearance]\nStyle=3\n";
    big += QByteArray(Settings::kMaxFileSize, ';');
    EXPECT_FALSE(Settings::Read(writeFile(QStringLiteral("big.conf"), big)).Style);
    // A place where no file can be made: the writer's failure, and nothing left behind.
    const QString blocker = writeFile(QStringLiteral("blocker"), "x");
    EXPECT_THROW(Settings{}.Write(blocker + QStringLiteral("/pictanote.conf")),
                 Platform::ToolkitError);
    EXPECT_EQ(TestSupport::bytesOf(blocker), QByteArray("x"));
}

}  // namespace
