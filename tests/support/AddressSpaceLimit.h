#pragma once

#include <gtest/gtest.h>
#include <QFile>

#include <sys/resource.h>
#include <unistd.h>

namespace TestSupport {

// While it lives, the process may take only `headroom` bytes of address space beyond what it
// uses now, so a large allocation fails as it would on a machine short of memory. Tests that
// use it skip themselves under AddressSanitizer, which needs a vast address space of its own.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(rlim_t headroom) {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly) || getrlimit(RLIMIT_AS, &m_old) != 0) {
            ADD_FAILURE() << "cannot read the address space in use";
            return;
        }
        const rlim_t used = statm.readAll().split(' ').at(0).toULongLong() *
                            static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
        rlimit narrow = m_old;
        narrow.rlim_cur = used + headroom;
        m_set = setrlimit(RLIMIT_AS, &narrow) == 0;
        EXPECT_TRUE(m_set);
    }
    ~AddressSpaceLimit() {
        if (m_set)
            setrlimit(RLIMIT_AS, &m_old);
    }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

private:
    rlimit m_old{};
    bool m_set = false;
};

}  // namespace TestSupport
