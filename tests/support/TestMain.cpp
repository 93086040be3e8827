// The main of every test program: a headless QApplication at a fixed 96 DPI, then GoogleTest.
// The user's configuration folder is a temporary one, so no test reads or writes the real
// user's settings (the programs the tests start inherit it).
#include "OffscreenFonts.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_FONT_DPI", "96");
    TestSupport::useSystemFontsOffscreen();
    const QTemporaryDir config;
    if (config.isValid())
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Pictanote"));
    return RUN_ALL_TESTS();
}
