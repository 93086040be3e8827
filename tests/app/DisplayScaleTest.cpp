// A display scaled to twice its base DPI, as a desktop set to 200 % gives it (without the
// program's setting such a screen gives every window a device pixel ratio of 2): the window
// keeps its pixel sizes and one image pixel is one screen pixel. Its own main, since the
// setting must be made before the application object.
#include "Bmp.h"
#include "DisplayScale.h"
#include "Fr0010mn.h"
#include "OffscreenFonts.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

TEST(DisplayScale, ImagePixelsAreScreenPixelsOnAScaledDisplay) {
    TFrmFR0010MN window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.devicePixelRatio(), 1);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("source.bmp"));
    Platform::Bmp::writeFile(Platform::Bitmap(300, 200, 24), file);
    window.OpenFromCommandLine(file);
    EXPECT_EQ(window.PBMain->size(), QSize(300, 200));
    EXPECT_EQ(window.PBMain->grab().size(), QSize(300, 200));

    // A font in points keeps its size at 96 DPI: 9 points are 12 pixels.
    QFont font = window.font();
    font.setPointSize(9);
    EXPECT_EQ(QFontInfo(font).pixelSize(), 12);
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" PICTANOTE_SCALED_SCREEN);
    // Not the real user's settings.
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qunsetenv("QT_FONT_DPI");
    TestSupport::useSystemFontsOffscreen();
    Platform::UseDevicePixels();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Pictanote"));
    return RUN_ALL_TESTS();
}
