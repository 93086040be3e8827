#pragma once

#include <QStringList>

// What a program needs from the system before its application object exists.
namespace Platform {

// The program's arguments as the system passed them, the program's name first. File names
// arrive whole: on Windows main() gets its arguments in the ANSI code page, which loses every
// character outside it, so they are read from the wide command line instead.
QStringList programArguments(int argc, char* argv[]);

// A windowed program's text output (help, version, usage mistakes) reaches the console it was
// started from. Output that already goes somewhere (a file, a pipe, a terminal) stays there.
void attachParentConsole();

// Standard output carries bytes unchanged (an image written to "-"): on Windows it would
// otherwise turn every LF into CR LF.
void setBinaryStandardOutput();

}  // namespace Platform
