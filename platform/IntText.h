#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace Platform {

// Which hexadecimal prefixes a reading accepts, and how long its digits may run.
enum class IntSpelling {
    // The utility library's conversion: "$", "x", "X" or "0x", and any number of hexadecimal
    // digits as long as the value fits in 32 bits (leading zeros are free).
    Toolkit,
    // The work file's items: "$", "x" or "0x" only, and at most eight hexadecimal digits.
    WorkFile,
};

// The one reading of a signed 32-bit integer from text, shared by the work file and the
// utility library: leading blanks, an optional "+" or "-", then decimal digits, or hexadecimal
// digits after one of the spelling's prefixes. A decimal value must fit in 32 signed bits;
// hexadecimal digits are read as a 32-bit pattern ("$FFFFFFFF" is -1). Nothing may follow.
// nullopt otherwise; never throws.
std::optional<std::int32_t> parseInt32(std::string_view text, IntSpelling spelling) noexcept;

}  // namespace Platform
