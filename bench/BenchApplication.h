#pragma once

#include <QGuiApplication>

namespace Bench {

// Text needs a GUI application object; the bench makes a headless one on first use.
inline void ensureApplication() {
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "pictanote-bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

}  // namespace Bench
