#include "AddressSpaceLimit.h"

#include <gtest/gtest.h>
#include <QFile>

#include <sys/resource.h>
#include <unistd.h>

namespace TestSupport {

AddressSpaceLimit::AddressSpaceLimit(std::size_t headroom) {
    QFile statm(QStringLiteral("/proc/self/statm"));
    rlimit old{};
    if (!statm.open(QIODevice::ReadOnly) || getrlimit(RLIMIT_AS, &old) != 0) {
        ADD_FAILURE() << "cannot read the address space in use";
        return;
    }
    const rlim_t used = statm.readAll().split(' ').at(0).toULongLong() *
                        static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
    rlimit narrow = old;
    narrow.rlim_cur = used + headroom;
    m_old = old.rlim_cur;
    m_enforced = setrlimit(RLIMIT_AS, &narrow) == 0;
    EXPECT_TRUE(m_enforced);
}

AddressSpaceLimit::~AddressSpaceLimit() {
    if (!m_enforced)
        return;
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = static_cast<rlim_t>(m_old);
    setrlimit(RLIMIT_AS, &limit);
}

}  // namespace TestSupport
