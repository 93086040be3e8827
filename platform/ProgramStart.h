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

// A program that makes no window draws as the window would, with the system's fonts, and needs
// no display: on Linux through the toolkit's offscreen platform (fonts from the system's font
// configuration), on Windows through its Windows platform, which opens no window unless asked
// (its offscreen platform would read fonts from a folder of its own and find none). A platform
// named in QT_QPA_PLATFORM is kept.
void useWindowlessToolkit();

}  // namespace Platform
