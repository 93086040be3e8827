// Paths, system information, temporary files, help and shell, drives, file deletion, logging.
#include "Common.h"
#include "PathRules.h"
#include "TempFile.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <filesystem>

namespace fs = std::filesystem;

namespace Common {
namespace Detail {

fs::path toFsPath(const std::string& cp932) {
    // Through UTF-16: a narrow path would go through the system's ANSI code page on Windows
    // and lose every name outside it.
    return fs::path(toQString(cp932).toStdU16String());
}

std::string withoutTrailingSlash(std::string folder) {
    if (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

}  // namespace Detail

using Detail::toFsPath;
using Detail::withoutTrailingSlash;

namespace {

std::string exeFile() {
    return Detail::toCp932(Detail::executablePath());
}

}  // namespace

// ---- The executable's location -------------------------------------------------------------

std::string ExePath() {
    return Detail::extractFilePath(exeFile());
}

std::string ExeDir() {
    return Detail::extractFileDir(exeFile());
}

std::string ChangeExeExt(const std::string& ext) {
    return Detail::changeFileExt(Detail::extractFileName(exeFile()), ext);
}

// ---- System information --------------------------------------------------------------------

std::string TempPath() {
    std::string folder = Detail::toCp932(Platform::tempFolder());
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string TempFileName(const std::string& prefix) {
    try {
        return Detail::toCp932(Platform::createTempFile(Detail::toQString(prefix)));
    } catch (...) {
        return {};
    }
}

// ---- Help ------------------------------------------------------------------------

void Help(const std::string& helpFile) {
    if (helpFile.empty())
        return;
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QFileInfo(Detail::toQString(helpFile)).absoluteFilePath()));
}

// ---- Files ---------------------------------------------------------------------------------

std::string GetLongName(const std::string& path) {
    try {
        if (path.empty())
            return {};
        const std::string result = withoutTrailingSlash(path);
        if (result == "/")
            return result;  // the root stays as it is, like a drive
        std::error_code ec;
        const fs::path p = toFsPath(result);
        if (!fs::exists(fs::symlink_status(p, ec)))
            return result;
        const std::string parent = Detail::extractFileDir(result);
        std::string name = Detail::extractFileName(result);
        // The entry as the folder stores it: on a case-insensitive file system its letter case
        // may differ from the one asked for.
        const fs::path folder = parent.empty() ? fs::path(".") : toFsPath(parent);
        const QString wanted = Detail::toQString(name);
        bool exact = false;
        QString caseless;
        for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
            const QString stored = QString::fromStdU16String(e.path().filename().u16string());
            if (stored == wanted) {
                exact = true;
                break;
            }
            if (caseless.isEmpty() && stored.compare(wanted, Qt::CaseInsensitive) == 0)
                caseless = stored;
        }
        if (!exact && !caseless.isEmpty())
            name = Detail::toCp932(caseless);
        // A relative name has no parent to expand: it stays relative.
        if (parent.empty() || parent.size() >= result.size())
            return parent + name;
        const std::string longParent = GetLongName(parent);
        return longParent.ends_with('/') ? longParent + name : longParent + "/" + name;
    } catch (...) {
        return {};
    }
}

void PutLog(const std::string& message, const std::string& logFile) {
    try {
        std::string folder = Detail::extractFilePath(logFile);
        std::string name = Detail::extractFileName(logFile);
        if (folder.empty())
            folder = ExePath();
        if (name.empty())
            name = ChangeExeExt(".log");
        const QString path = Detail::toQString(folder + name);
        // A pipe or a device would block or swallow the line: only regular files take it.
        const QFileInfo info(path);
        if (info.exists() && !info.isFile())
            return;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
            return;
        const std::string line = message + "\r\n";
        file.write(line.data(), static_cast<qint64>(line.size()));
        file.flush();
    } catch (...) {
        // Logging never disturbs the caller.
    }
}

}  // namespace Common
