// Paths, system information, temporary files, help and shell, drives, file deletion, logging.
#include "Common.h"
#include "PathRules.h"
#include "TempFile.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace Common {
namespace {

fs::path toFsPath(const std::string& cp932) {
    return fs::path(QFile::encodeName(Detail::toQString(cp932)).toStdString());
}

std::string exeFile() {
    return Detail::toCp932(Detail::executablePath());
}

// The file-system root, however it is spelled ("/", "//", "/tmp/..", a link to "/"). Deleting
// it, or everything in it, would wipe the whole system without a question.
bool isRoot(const fs::path& p) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(p, ec);
    if (ec)
        return true;  // cannot tell: refuse
    const fs::path lexical = absolute.lexically_normal();
    if (lexical == lexical.root_path() || lexical.relative_path().empty())
        return true;
    const fs::path real = fs::weakly_canonical(absolute, ec);
    return !ec && (real == real.root_path() || real.relative_path().empty());
}

std::string withoutTrailingSlash(std::string folder) {
    if (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
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

std::string ComputerName() {
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0)
        return {};
    // The short host name, cut to the 15 characters a computer name may have.
    std::string name(buffer);
    return name.substr(0, std::min(name.find('.'), std::size_t{15}));
}

std::string UserName() {
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    return Detail::toCp932(QFile::decodeName(found->pw_name));
}

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

// ---- Help and shell ------------------------------------------------------------------------

void Help(const std::string& helpFile) {
    if (helpFile.empty())
        return;
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QFileInfo(Detail::toQString(helpFile)).absoluteFilePath()));
}

bool Shell(const std::string& file, const std::string& parameters, bool wait) {
    try {
        const QString name = Detail::toQString(file);
        if (name.isEmpty())
            return false;
        const QFileInfo info(name);
        QString program;
        if (info.isFile() && info.isExecutable())
            program = info.absoluteFilePath();
        else if (!info.exists() && !name.contains(u'/'))
            program = QStandardPaths::findExecutable(name);

        if (!program.isEmpty()) {
            // Arguments by quoting rules, handed to the program itself: no shell sees them.
            const QStringList arguments = QProcess::splitCommand(Detail::toQString(parameters));
            if (!wait)
                return QProcess::startDetached(program, arguments);
            QProcess process;
            process.setProcessChannelMode(QProcess::ForwardedChannels);
            process.start(program, arguments);
            if (!process.waitForStarted(-1))
                return false;
            process.closeWriteChannel();
            process.waitForFinished(-1);
            return true;
        }

        // Documents, folders and URLs go to the desktop's handler, which hands back no process
        // to wait for.
        QUrl url;
        if (info.exists())
            url = QUrl::fromLocalFile(info.absoluteFilePath());
        else
            url = QUrl(name, QUrl::StrictMode);
        if (!url.isValid() || url.scheme().isEmpty())
            return false;
        return QDesktopServices::openUrl(url);
    } catch (...) {
        return false;
    }
}

// ---- Drives: none on this system -----------------------------------------------------------

std::string Drives() {
    return {};
}
std::string DrivesEx(unsigned int) {
    return {};
}
std::string RemoveDrives() {
    return DrivesEx(2);
}
std::string FixedDrives() {
    return DrivesEx(3);
}
std::string RemoteDrives() {
    return DrivesEx(4);
}
std::string CDROMDrives() {
    return DrivesEx(5);
}
std::string RamDrives() {
    return DrivesEx(6);
}
bool CheckDriveReady(char) {
    return false;
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
            const QString stored = QFile::decodeName(e.path().filename().c_str());
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

namespace {

// The folder a deletion may act on: never an empty argument, never the root of the file
// system (either would take the whole drive without a question).
std::optional<fs::path> deletableFolder(const std::string& folder) {
    if (folder.empty())
        return std::nullopt;
    fs::path p = toFsPath(withoutTrailingSlash(folder));
    if (isRoot(p))
        return std::nullopt;
    return p;
}

}  // namespace

bool DeleteDir(unsigned int /*owner*/, const std::string& folder) {
    try {
        const std::optional<fs::path> target = deletableFolder(folder);
        if (!target)
            return false;
        const fs::path& p = *target;
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(p, ec)))
            return false;
        fs::remove_all(p, ec);
        return !ec;
    } catch (...) {
        return false;
    }
}

bool DeleteFiles(unsigned int /*owner*/, const std::string& folder, bool filesOnly) {
    try {
        const std::optional<fs::path> target = deletableFolder(folder);
        if (!target)
            return false;
        const fs::path& p = *target;
        std::error_code ec;
        if (!fs::is_directory(p, ec))
            return false;
        std::vector<fs::path> doomed;
        for (const fs::directory_entry& e : fs::directory_iterator(p, ec)) {
            // A link to a folder counts as a file: the link goes, its target stays.
            if (filesOnly && e.is_directory() && !e.is_symlink())
                continue;
            doomed.push_back(e.path());
        }
        if (ec)
            return false;
        bool ok = true;
        for (const fs::path& entry : doomed) {
            fs::remove_all(entry, ec);
            ok = ok && !ec;
        }
        return ok;
    } catch (...) {
        return false;
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
