#include "ProgramStart.h"

#include <QtGlobal>

namespace Platform {

QStringList programArguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

void attachParentConsole() {
    // A program started from a terminal writes to it already.
}

void setBinaryStandardOutput() {
    // Standard output never translates line ends here.
}

void useWindowlessToolkit() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace Platform
