#include "ProgramStart.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>

#include <fcntl.h>
#include <io.h>

namespace Platform {

QStringList programArguments(int argc, char* argv[]) {
    QStringList arguments;
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            arguments.append(QString::fromWCharArray(wide[i]));
        LocalFree(wide);
        return arguments;
    }
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

namespace {

bool goesSomewhere(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void attachParentConsole() {
    const bool out = goesSomewhere(STD_OUTPUT_HANDLE);
    const bool err = goesSomewhere(STD_ERROR_HANDLE);
    if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    // A windowed program has no standard streams of its own: those not redirected are
    // connected to the console of the program that started this one.
    if (!out && std::freopen("CONOUT$", "w", stdout) == nullptr)
        return;
    if (!err)
        std::freopen("CONOUT$", "w", stderr);
}

void setBinaryStandardOutput() {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

void useWindowlessToolkit() {
    // The toolkit's default platform here is the Windows one.
}

}  // namespace Platform
