#pragma once

#include <QString>
#include <QStringList>

// The program's command line: pictanote [--help | --version] [FILE]. Read without any window, so
// that --help and --version work where there is no display.
namespace App {

struct CommandLine {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    QString file;   // Run: the file to open, empty for none
    QString error;  // UsageError: what is wrong, one line
};

// `arguments` as the program got them, its own name first. --help and --version win over
// anything else on the line; "--" ends the options, so a FILE may start with "-".
CommandLine ParseCommandLine(const QStringList& arguments);

QString HelpText();
// "Pictanote 1.0.3.0": the version the program's own version record gives.
QString VersionText();
// The usage error as printed on the standard error, with a pointer to --help.
QString UsageErrorText(const CommandLine& commandLine);

}  // namespace App
