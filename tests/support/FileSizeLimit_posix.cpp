#include "FileSizeLimit.h"

#include <sys/resource.h>

#include <csignal>

namespace TestSupport {

FileSizeLimit::FileSizeLimit(std::int64_t bytes) {
    rlimit old{};
    if (getrlimit(RLIMIT_FSIZE, &old) != 0)
        return;
    m_old = old.rlim_cur;
    // A write beyond the limit then fails with an error instead of ending the process.
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = static_cast<rlim_t>(bytes);
    m_enforced = setrlimit(RLIMIT_FSIZE, &small) == 0;
    if (!m_enforced)
        std::signal(SIGXFSZ, m_oldHandler);
}

FileSizeLimit::~FileSizeLimit() {
    if (!m_enforced)
        return;
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    old.rlim_cur = static_cast<rlim_t>(m_old);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, m_oldHandler);
}

}  // namespace TestSupport
