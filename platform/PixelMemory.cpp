#include "PixelMemory.h"

#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace Platform {
namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// Below a few huge pages the saving is not worth a system call.
constexpr size_t kHugePagesFrom = 4 * kHugePage;

uint8_t* allocateZeroed(size_t size) {
    if (size == 0)
        return nullptr;
    // Large blocks come straight from the system, already zero: calloc does not touch them.
    auto* p = static_cast<uint8_t*>(std::calloc(size, 1));
    if (!p)
        throw std::bad_alloc();
    preferHugePages(p, size);
    return p;
}

}  // namespace

PixelMemory::PixelMemory(size_t size) : m_data(allocateZeroed(size)), m_size(size) {}

PixelMemory::PixelMemory(const PixelMemory& other)
    : m_data(allocateZeroed(other.m_size)), m_size(other.m_size) {
    if (m_size != 0)
        std::memcpy(m_data.get(), other.m_data.get(), m_size);
}

PixelMemory& PixelMemory::operator=(const PixelMemory& other) {
    if (this != &other)
        *this = PixelMemory(other);
    return *this;
}

void preferHugePages(void* data, size_t size) noexcept {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (size < kHugePagesFrom)
        return;
    // Only whole huge pages inside the block; the ragged ends keep ordinary pages.
    const auto begin = (reinterpret_cast<uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<uintptr_t>(data) + size) & ~(kHugePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

}  // namespace Platform
