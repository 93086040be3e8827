#include "UserFolders.h"

#include <QDir>

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace Platform::UserFolders {
namespace {

// A known folder in the toolkit's spelling ('/' separators); empty when the system has none.
QString knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    const HRESULT hr = SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path);
    QString folder;
    if (SUCCEEDED(hr) && path)
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    // Freed on failure too: the call may hand out a buffer either way.
    CoTaskMemFree(path);
    return folder;
}

QString folderOr(REFKNOWNFOLDERID id, const QString& underHome) {
    const QString folder = knownFolder(id);
    return folder.isEmpty() ? QDir::homePath() + underHome : folder;
}

}  // namespace

QString SettingsFile() {
    return folderOr(FOLDERID_RoamingAppData, QStringLiteral("/AppData/Roaming")) +
           QStringLiteral("/Pictanote/pictanote.ini");
}

QString StateFolder() {
    return folderOr(FOLDERID_LocalAppData, QStringLiteral("/AppData/Local")) +
           QStringLiteral("/Pictanote");
}

}  // namespace Platform::UserFolders
