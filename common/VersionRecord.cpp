#include "VersionRecord.h"

#include <cstdio>

namespace VersionRecord {
namespace {

constexpr std::size_t align4(std::size_t n) {
    return (n + 3) & ~std::size_t{3};
}

// ---- Building ------------------------------------------------------------------------------

class Writer {
public:
    std::vector<unsigned char> bytes;

    void pad() { bytes.resize(align4(bytes.size()), 0); }
    void u16(std::uint16_t v) {
        bytes.push_back(static_cast<unsigned char>(v & 0xFF));
        bytes.push_back(static_cast<unsigned char>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v & 0xFFFF));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void text(std::u16string_view s) {
        for (char16_t c : s)
            u16(c);
        u16(0);
    }
    void setU16(std::size_t at, std::uint16_t v) {
        bytes[at] = static_cast<unsigned char>(v & 0xFF);
        bytes[at + 1] = static_cast<unsigned char>(v >> 8);
    }

    // Starts a block: length is patched by end(); valueLength and type as given.
    std::size_t begin(std::u16string_view key, std::uint16_t valueLength, std::uint16_t type) {
        pad();
        const std::size_t start = bytes.size();
        u16(0);
        u16(valueLength);
        u16(type);
        text(key);
        pad();
        return start;
    }
    void end(std::size_t start) { setU16(start, static_cast<std::uint16_t>(bytes.size() - start)); }
};

// ---- Reading -------------------------------------------------------------------------------

struct Block {
    std::u16string key;
    std::span<const unsigned char> value;
    std::size_t childrenBegin = 0;  // offsets into the record
    std::size_t end = 0;
};

std::uint16_t readU16(std::span<const unsigned char> d, std::size_t at) {
    return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}

// The block at `at`, which must lie inside [at, limit). nullopt when it does not fit.
std::optional<Block> readBlock(std::span<const unsigned char> d, std::size_t at,
                               std::size_t limit) {
    if (at + 6 > limit)
        return std::nullopt;
    const std::size_t length = readU16(d, at);
    const std::size_t valueLength = readU16(d, at + 2);
    const std::uint16_t type = readU16(d, at + 4);
    if (length < 6 || at + length > limit)
        return std::nullopt;
    Block b;
    b.end = at + length;
    std::size_t p = at + 6;
    for (;;) {
        if (p + 2 > b.end)
            return std::nullopt;  // key without its NUL
        const char16_t c = static_cast<char16_t>(readU16(d, p));
        p += 2;
        if (c == 0)
            break;
        b.key.push_back(c);
    }
    const std::size_t valueBegin = std::min(align4(p), b.end);
    // Text values count UTF-16 units, binary ones bytes.
    const std::size_t valueBytes = type == 1 ? valueLength * 2 : valueLength;
    const std::size_t valueEnd = std::min(valueBegin + valueBytes, b.end);
    b.value = d.subspan(valueBegin, valueEnd - valueBegin);
    b.childrenBegin = std::min(align4(valueEnd), b.end);
    return b;
}

char16_t lower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}

bool sameKey(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

}  // namespace

std::vector<unsigned char> build(const Contents& c) {
    Writer w;
    const std::size_t root = w.begin(u"VS_VERSION_INFO", 52, 0);
    // VS_FIXEDFILEINFO
    w.u32(0xFEEF04BD);
    w.u32(0x00010000);
    w.u32(static_cast<std::uint32_t>(c.fileVersion[0]) << 16 | c.fileVersion[1]);
    w.u32(static_cast<std::uint32_t>(c.fileVersion[2]) << 16 | c.fileVersion[3]);
    w.u32(static_cast<std::uint32_t>(c.productVersion[0]) << 16 | c.productVersion[1]);
    w.u32(static_cast<std::uint32_t>(c.productVersion[2]) << 16 | c.productVersion[3]);
    w.u32(0x3F);        // file flags mask
    w.u32(0);           // file flags
    w.u32(0x00040004);  // VOS_NT_WINDOWS32
    w.u32(1);           // VFT_APP
    w.u32(0);
    w.u32(0);
    w.u32(0);

    if (!c.tables.empty()) {
        const std::size_t sfi = w.begin(u"StringFileInfo", 0, 1);
        for (const StringTable& t : c.tables) {
            const std::size_t st = w.begin(t.name, 0, 1);
            for (const auto& [key, value] : t.strings) {
                const std::size_t s = w.begin(key, static_cast<std::uint16_t>(value.size() + 1), 1);
                w.text(value);
                w.end(s);
            }
            w.end(st);
        }
        w.end(sfi);
    }
    const std::size_t vfi = w.begin(u"VarFileInfo", 0, 1);
    const std::size_t var =
        w.begin(u"Translation", static_cast<std::uint16_t>(c.translations.size() * 4), 0);
    for (std::uint32_t t : c.translations)
        w.u32(t);
    w.end(var);
    w.end(vfi);
    w.end(root);
    return std::move(w.bytes);
}

std::optional<std::span<const unsigned char>> query(std::span<const unsigned char> record,
                                                    std::u16string_view path) {
    std::optional<Block> block = readBlock(record, 0, record.size());
    if (!block)
        return std::nullopt;
    while (!path.empty()) {
        if (path.front() == u'\\') {
            path.remove_prefix(1);
            continue;
        }
        const std::size_t cut = std::min(path.find(u'\\'), path.size());
        const std::u16string_view key = path.substr(0, cut);
        path.remove_prefix(cut);
        std::optional<Block> found;
        for (std::size_t at = block->childrenBegin; at < block->end;) {
            std::optional<Block> child = readBlock(record, at, block->end);
            if (!child)
                break;
            if (sameKey(child->key, key)) {
                found = std::move(child);
                break;
            }
            at = align4(child->end);
        }
        if (!found)
            return std::nullopt;
        block = std::move(found);
    }
    return block->value;
}

std::u16string stringValue(std::span<const unsigned char> value) {
    std::u16string s;
    for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(value[i] | (value[i + 1] << 8));
        if (c == 0)
            break;
        s.push_back(c);
    }
    return s;
}

std::u16string tableName(std::uint32_t translation) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", translation);
    // Language first, then code page: the halves of the formatted entry swapped.
    const std::string swapped = std::string(hex + 4, 4) + std::string(hex, 4);
    return std::u16string(swapped.begin(), swapped.end());
}

}  // namespace VersionRecord
