#include "FileModes.h"

#include <QDir>

#include <windows.h>

namespace TestSupport {

std::optional<int> fileMode(const QString&) {
    return std::nullopt;
}

std::optional<int> newFileMode() {
    return std::nullopt;
}

bool giveToAnotherUser(const QString&) {
    // Taking ownership away needs privileges a test does not have; the row is the plain one.
    return false;
}

bool setModifiedAgo(const QString& path, int64_t seconds) {
    // Folders open only with backup semantics; the C library's utime refuses them.
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(
                                        QDir::toNativeSeparators(path).utf16()),
                                    FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    ticks.QuadPart -= static_cast<ULONGLONG>(seconds) * 10000000ULL;  // 100 ns ticks
    FILETIME then;
    then.dwLowDateTime = ticks.LowPart;
    then.dwHighDateTime = ticks.HighPart;
    const bool set = SetFileTime(file, nullptr, nullptr, &then) != 0;
    CloseHandle(file);
    return set;
}

}  // namespace TestSupport
