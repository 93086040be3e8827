#include "CommandLine.h"

#include "Common.h"
#include "Cp932.h"

#include <QCoreApplication>

namespace App {

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine result;
    QStringList files;
    bool options = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (options && a == QStringLiteral("--")) {
            options = false;
        } else if (options && (a == QStringLiteral("--help") || a == QStringLiteral("-h"))) {
            return {CommandLine::Action::Help, {}, {}};
        } else if (options && (a == QStringLiteral("--version") || a == QStringLiteral("-v"))) {
            return {CommandLine::Action::Version, {}, {}};
        } else if (options && a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            if (result.error.isEmpty())
                result.error = QStringLiteral("unrecognized option '%1'").arg(a);
        } else {
            files.append(a);
        }
    }
    if (result.error.isEmpty() && files.size() > 1)
        result.error = QStringLiteral("more than one FILE given");
    if (!result.error.isEmpty()) {
        result.action = CommandLine::Action::UsageError;
        return result;
    }
    if (!files.isEmpty())
        result.file = files.constFirst();
    return result;
}

QString HelpText() {
    return QStringLiteral(
        "Usage: pictanote [OPTION] [FILE]\n"
        "Puts numbered markers on an image and exports it as a bitmap.\n"
        "\n"
        "FILE is a work file (.ptn) or a source image (BMP, PNG, JPEG, GIF, ...) to open.\n"
        "\n"
        "  -h, --help     show this help and exit\n"
        "  -v, --version  show the version and exit\n");
}

QString VersionText() {
    return QStringLiteral("Pictanote ") +
           Platform::Cp932::toUnicode(Common::GetFileVersion(Common::fvFileVersion)) +
           QLatin1Char('\n');
}

QString UsageErrorText(const CommandLine& commandLine) {
    return QStringLiteral("pictanote: %1\nTry 'pictanote --help' for more information.\n")
        .arg(commandLine.error);
}

}  // namespace App
