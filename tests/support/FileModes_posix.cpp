#include "FileModes.h"

#include <QFile>

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

}  // namespace TestSupport
