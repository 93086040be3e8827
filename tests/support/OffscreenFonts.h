#pragma once

#include <QByteArray>
#include <QString>

namespace TestSupport {

// Qt's offscreen drawing on Windows reads its fonts from a folder instead of asking the system:
// the system's Fonts folder, unless QT_QPA_FONTDIR names another. Elsewhere it asks the
// system's font configuration, and this does nothing.
inline void useSystemFontsOffscreen() {
#ifdef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR",
                (qEnvironmentVariable("SystemRoot") + QStringLiteral("\\Fonts")).toLocal8Bit());
#endif
}

}  // namespace TestSupport
