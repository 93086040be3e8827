#include "PrivateRoot.h"

#include <QFile>

#include <sys/wait.h>
#include <unistd.h>

namespace TestSupport {

std::optional<int> runWithRootAt(const QString& folder, const std::function<int()>& body) {
    constexpr int kNoRoot = 77;
    const QByteArray jail = QFile::encodeName(folder);
    const pid_t child = fork();
    if (child == -1)
        return std::nullopt;
    if (child == 0) {
        if (chroot(jail.constData()) != 0 || chdir("/") != 0)
            _exit(kNoRoot);  // nothing was called
        _exit(body() & 0xFF);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) == kNoRoot)
        return std::nullopt;
    return WEXITSTATUS(status);
}

}  // namespace TestSupport
