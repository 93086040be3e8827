#pragma once

// The version record: the Windows VS_VERSIONINFO layout (UTF-16 keys and strings, blocks
// aligned to 4 bytes), as carried by PE version resources and by our own ELF section. The
// builder makes the program's record at build time and test records; the query walks a record
// the way the platform's value lookup does. No Qt here.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace VersionRecord {

// The name of the ELF section that carries the record.
inline constexpr const char* SectionName = ".pictanote.version";

struct StringTable {
    std::u16string name;  // language and code page as 8 hex digits, e.g. u"041103A4"
    std::vector<std::pair<std::u16string, std::u16string>> strings;
};

struct Contents {
    std::array<std::uint16_t, 4> fileVersion{};
    std::array<std::uint16_t, 4> productVersion{};
    // Each entry: language in the low 16 bits, code page in the high 16 bits.
    std::vector<std::uint32_t> translations;
    std::vector<StringTable> tables;
};

std::vector<unsigned char> build(const Contents& contents);

// The value at `path` ("\VarFileInfo\Translation", "\StringFileInfo\041103A4\FileVersion"):
// keys compared without regard to ASCII case. nullopt when the path is not in the record or
// the record is malformed; the span never reaches beyond `record`.
std::optional<std::span<const unsigned char>> query(std::span<const unsigned char> record,
                                                    std::u16string_view path);

// A string value as UTF-16, up to its first NUL.
std::u16string stringValue(std::span<const unsigned char> value);

// The string-table name for a translation entry: "%08X" of the entry with its halves swapped.
std::u16string tableName(std::uint32_t translation);

}  // namespace VersionRecord
