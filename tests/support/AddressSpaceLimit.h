#pragma once

#include <cstddef>

namespace TestSupport {

// While it lives, the process may take only `headroom` bytes of memory beyond what it uses
// now, so a large allocation fails as it would on a machine short of memory: an address-space
// limit on POSIX systems, a job's memory limit on Windows. Where the system does not enforce
// it (Wine ignores job limits), enforced() is false and the test skips. Tests that use it skip
// themselves under AddressSanitizer too, which needs a vast address space of its own.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(std::size_t headroom);
    ~AddressSpaceLimit();
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

    bool enforced() const { return m_enforced; }

private:
    bool m_enforced = false;
    unsigned long long m_old = 0;  // the limit in force before, to put back
    void* m_job = nullptr;
};

}  // namespace TestSupport

// Skips the running test when the limit cannot be set here.
#define PICTANOTE_REQUIRE_LIMIT(limit)                                             \
    if (!(limit).enforced())                                                       \
    GTEST_SKIP() << "this system does not enforce a memory limit on the process"
