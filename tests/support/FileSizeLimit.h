#pragma once

#include <cstdint>

namespace TestSupport {

// While it lives, no file of the process may grow beyond `bytes`: a disk that fills up
// half-way through a write, which binds root too. POSIX systems have it as a resource limit;
// Windows has nothing like it, so enforced() is false there and the test skips.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::int64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool enforced() const { return m_enforced; }

private:
    bool m_enforced = false;
    unsigned long long m_old = 0;
    void (*m_oldHandler)(int) = nullptr;
};

}  // namespace TestSupport
