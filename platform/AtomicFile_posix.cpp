#include "AtomicFile.h"

#include "ToolkitError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

namespace Platform {
namespace {

constexpr std::string_view kMark = ".pictanote-";
constexpr std::string_view kSuffix = ".tmp";
constexpr int kUniqueLength = 6;
constexpr size_t kNameMax = 255;
// One write call moves at most this much, well inside what every kernel accepts at once.
constexpr int64_t kMostPerWrite = int64_t{1} << 30;

bool isUniqueChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isTempName(std::string_view name) {
    const size_t tail = kMark.size() + kUniqueLength + kSuffix.size();
    if (name.size() < 1 + tail || name.front() != '.' || !name.ends_with(kSuffix))
        return false;
    const std::string_view mark = name.substr(name.size() - tail, kMark.size());
    const std::string_view unique = name.substr(name.size() - tail + kMark.size(), kUniqueLength);
    return mark == kMark && std::all_of(unique.begin(), unique.end(), isUniqueChar);
}

// The permissions a new file gets: what open(2) would give for 0666. The mask is read without
// changing it where the system tells it, since umask() itself would race other threads.
mode_t newFileMode() {
    static const mode_t mask = [] {
        if (FILE* status = std::fopen("/proc/self/status", "re")) {
            char line[256];
            unsigned value = 0;
            bool found = false;
            while (!found && std::fgets(line, sizeof line, status))
                found = std::sscanf(line, "Umask: %o", &value) == 1;
            std::fclose(status);
            if (found)
                return static_cast<mode_t>(value);
        }
        const mode_t old = ::umask(022);
        ::umask(old);
        return old;
    }();
    return 0666 & ~mask;
}

// A link is followed to the file it names, so that the link stays and its file is replaced.
QString resolveLinks(const QString& path) {
    QString resolved = path;
    for (int depth = 0; depth < 40; ++depth) {
        const QFileInfo info(resolved);
        if (!info.isSymLink())
            break;
        resolved = info.symLinkTarget();
    }
    return resolved;
}

// Removes what killed saves left behind: our names only, plain files of this user, untouched
// for a minute (a save in progress keeps its file's time fresh). Failures change nothing for
// the save, so they are ignored.
void removeStaleTemps(int dirFd) {
    const int listFd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        return;
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        return;
    }
    const std::time_t now = std::time(nullptr);
    const uid_t user = ::geteuid();
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTempName(entry->d_name))
            continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISREG(st.st_mode) && st.st_uid == user && now - st.st_mtime > kStaleTempSeconds)
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}

std::string tempNameFor(const QString& name) {
    const size_t tail = kMark.size() + kUniqueLength + kSuffix.size();
    // A long name is shortened (by whole characters) so that ours still fits the folder.
    QString head = name;
    std::string encoded = QFile::encodeName(head).toStdString();
    while (!head.isEmpty() && 1 + encoded.size() + tail > kNameMax) {
        head.chop(head.size() >= 2 && head.back().isLowSurrogate() ? 2 : 1);
        encoded = QFile::encodeName(head).toStdString();
    }
    static constexpr char kChars[] =
        "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string unique;
    for (int i = 0; i < kUniqueLength; ++i)
        unique += kChars[QRandomGenerator::global()->bounded(int{sizeof kChars - 1})];
    return "." + encoded + std::string(kMark) + unique + std::string(kSuffix);
}

bool retried(int result) {
    return result < 0 && errno == EINTR;
}

// The open folder and the temporary file in it; the temporary file goes unless it has been
// renamed into place.
class Transaction : public FileSink {
public:
    explicit Transaction(const QString& shownPath) : m_shownPath(shownPath) {}
    ~Transaction() override {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_tempName.empty() && !m_renamed)
            ::unlinkat(m_dirFd, m_tempName.c_str(), 0);
        if (m_dirFd >= 0)
            ::close(m_dirFd);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void begin(const QString& target) {
        const QFileInfo info(target);
        m_name = QFile::encodeName(info.fileName()).toStdString();
        if (m_name.empty())
            cannotCreate();
        m_dirFd = ::open(QFile::encodeName(info.absolutePath()).constData(),
                         O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_dirFd < 0)
            cannotCreate();

        // Only a plain file, or nothing, is replaced; a folder or a device in its place, or a
        // file its owner may not write, is what cannot be created.
        mode_t mode = newFileMode();
        struct stat st {};
        if (::fstatat(m_dirFd, m_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (!S_ISREG(st.st_mode) || !(st.st_mode & S_IWUSR))
                cannotCreate();
            mode = st.st_mode & 0777;
        } else if (errno != ENOENT) {
            cannotCreate();
        }

        removeStaleTemps(m_dirFd);
        for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
            m_tempName = tempNameFor(info.fileName());
            m_fd = ::openat(m_dirFd, m_tempName.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
            if (m_fd < 0 && errno != EEXIST && errno != EINTR)
                break;
        }
        if (m_fd < 0) {
            m_tempName.clear();  // not ours: never removed
            cannotCreate();
        }
        // Some file systems (FAT) keep no permissions and refuse to set them; the file is
        // written all the same.
        ::fchmod(m_fd, mode);
    }

    void write(const char* data, int64_t count) override {
        while (count > 0) {
            const ssize_t n =
                ::write(m_fd, data, static_cast<size_t>(std::min(count, kMostPerWrite)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw ToolkitError(Msg::streamWriteError());
            data += n;
            count -= n;
        }
    }

    void commit() {
        int result;
        while (retried(result = ::fsync(m_fd))) {
        }
        const int closed = ::close(m_fd);
        m_fd = -1;
        if (result != 0 || closed != 0)
            throw ToolkitError(Msg::streamWriteError());
        if (::renameat(m_dirFd, m_tempName.c_str(), m_dirFd, m_name.c_str()) != 0) {
            if (errno == ENOSPC || errno == EDQUOT || errno == EIO)
                throw ToolkitError(Msg::streamWriteError());
            cannotCreate();
        }
        m_renamed = true;
        // The new name is on the disk only once the folder is. Some file systems cannot sync a
        // folder at all, and say so; there is nothing more to do on those.
        while (retried(result = ::fsync(m_dirFd))) {
        }
        if (result != 0 && errno != EINVAL && errno != ENOTSUP && errno != EOPNOTSUPP)
            throw ToolkitError(Msg::streamWriteError());
    }

private:
    [[noreturn]] void cannotCreate() const {
        throw ToolkitError(Msg::cannotCreateFile(m_shownPath));
    }

    QString m_shownPath;
    std::string m_name;
    std::string m_tempName;
    int m_dirFd = -1;
    int m_fd = -1;
    bool m_renamed = false;
};

}  // namespace

bool isDurableTempName(const QString& name) {
    return isTempName(QFile::encodeName(name).toStdString());
}

void writeFileDurably(const QString& path, const std::function<void(FileSink&)>& produce) {
    Transaction transaction(path);
    transaction.begin(resolveLinks(path));
    produce(transaction);
    transaction.commit();
}

void writeFileDurably(const QString& path, QByteArrayView bytes) {
    writeFileDurably(path, [bytes](FileSink& sink) { sink.write(bytes); });
}

}  // namespace Platform
