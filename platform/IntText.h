#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace Platform {

// The one reading of a signed 32-bit integer from text, shared by the work file and the
// utility library: leading blanks, an optional "+" or "-", then decimal digits, or hexadecimal
// digits after "$", "x", "X" or "0x"/"0X". The value must fit in 32 signed bits and nothing may
// follow. nullopt otherwise; never throws.
std::optional<std::int32_t> parseInt32(std::string_view text) noexcept;

}  // namespace Platform
