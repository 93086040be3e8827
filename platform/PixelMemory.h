#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>

namespace Platform {

// The memory of a bitmap's pixels: zero-filled, copied by value. A large image is zeroed by the
// system as its pages are first touched rather than by a pass of our own, and asks for huge
// pages where the system offers them on request, so that reading a big picture costs little
// more than copying its bytes.
class PixelMemory {
public:
    PixelMemory() = default;
    // Throws std::bad_alloc when the memory is not there.
    explicit PixelMemory(size_t size);
    PixelMemory(const PixelMemory& other);
    PixelMemory& operator=(const PixelMemory& other);
    PixelMemory(PixelMemory&& other) noexcept
        : m_data(std::move(other.m_data)), m_size(std::exchange(other.m_size, 0)) {}
    PixelMemory& operator=(PixelMemory&& other) noexcept {
        m_data = std::move(other.m_data);
        m_size = std::exchange(other.m_size, 0);
        return *this;
    }

    uint8_t* data() noexcept { return m_data.get(); }
    const uint8_t* data() const noexcept { return m_data.get(); }
    size_t size() const noexcept { return m_size; }

private:
    struct Free {
        void operator()(uint8_t* p) const noexcept { std::free(p); }
    };
    std::unique_ptr<uint8_t[], Free> m_data;
    size_t m_size = 0;
};

// Asks for huge pages for the untouched memory [data, data + size) when it is large enough to
// profit; a hint only, ignored where the system has no such thing.
void preferHugePages(void* data, size_t size) noexcept;

}  // namespace Platform
