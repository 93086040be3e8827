#include "TempFile.h"

#include "ToolkitError.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QDir>

namespace Platform {

QString tempFolder() {
    // GetTempPathW answers %TMP%, %TEMP%, %USERPROFILE% or the Windows folder, with a
    // trailing backslash; the path is at most MAX_PATH + 1 characters.
    wchar_t buffer[MAX_PATH + 2] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 2, buffer);
    if (n == 0 || n > MAX_PATH + 1)
        return {};
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(QString::fromWCharArray(buffer, n)));
    // A folder named but missing is no place for files.
    return QDir(folder).exists() ? folder : QString();
}

QString createTempFile(const QString& prefix, const QString& folder) {
    const QString dir = folder.isEmpty() ? tempFolder() : QDir::cleanPath(folder);
    if (dir.isEmpty())
        throw ToolkitError(Msg::cannotCreateFile(QString()));
    // GetTempFileNameW makes the file itself (exclusively, trying further numbers on a clash):
    // the first three characters of the prefix, up to four hexadecimal digits, ".tmp". The
    // file inherits the folder's access list, which in the user's temporary folder is the
    // user's own.
    const std::wstring wideDir = QDir::toNativeSeparators(dir).toStdWString();
    const std::wstring widePrefix = prefix.left(3).toStdWString();
    wchar_t path[MAX_PATH + 1] = {};
    if (GetTempFileNameW(wideDir.c_str(), widePrefix.c_str(), 0, path) == 0)
        throw ToolkitError(Msg::cannotCreateFile(dir + QLatin1Char('/') + prefix.left(3)));
    return QDir::fromNativeSeparators(QString::fromWCharArray(path));
}

}  // namespace Platform
