// The system services behind Common on POSIX systems: computer and user name, shell
// execution, drives (there are none), deleting folders.
#include "Common.h"
#include "PathRules.h"

#include <QCoreApplication>
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

using Detail::toFsPath;
using Detail::withoutTrailingSlash;

namespace {

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

}  // namespace

namespace Detail {

QString executablePath() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return QFile::decodeName(self.c_str());
    return QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
}

// No system service reads version records here: the library's own reader does.
std::optional<QString> systemVersionString(const QString&, const std::u16string&) {
    return std::nullopt;
}

// No locale service maps widths here: the library's own code page 932 table does.
std::optional<std::string> systemWidthMap(std::string_view, bool) {
    return std::nullopt;
}

}  // namespace Detail

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

}  // namespace Common
