#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace Platform {

// The one reading of a signed 32-bit integer from text, shared by the work file and the
// utility library: leading blanks, an optional "+" or "-", then decimal digits, or hexadecimal
// digits after "$", "x", "X" or "0x"/"0X". A decimal value must fit in 32 signed bits; up to
// eight hexadecimal digits are read as a 32-bit pattern ("$FFFFFFFF" is -1). Nothing may
// follow. nullopt otherwise; never throws.
std::optional<std::int32_t> parseInt32(std::string_view text) noexcept;

}  // namespace Platform
