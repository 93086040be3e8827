#include "FileModes.h"

#include <QFile>

#include <chrono>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace TestSupport {

std::optional<int> fileMode(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 0777);
}

std::optional<int> newFileMode() {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return int(0666 & ~mask);
}

bool giveToAnotherUser(const QString& path) {
    return ::geteuid() == 0 && ::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0;
}

bool setModifiedAgo(const QString& path, int64_t seconds) {
    std::error_code ec;
    std::filesystem::last_write_time(
        std::filesystem::path(QFile::encodeName(path).toStdString()),
        std::filesystem::file_time_type::clock::now() - std::chrono::seconds(seconds), ec);
    return !ec;
}

}  // namespace TestSupport
