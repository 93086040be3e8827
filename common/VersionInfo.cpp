// The version lookup: the version record of an ELF file (our own section) or of a Windows PE
// file (its version resource), read with the rules of the platform's value lookup.
#include "Common.h"
#include "Cp932.h"
#include "PathRules.h"
#include "VersionRecord.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <cstring>
#include <optional>

namespace Common {
namespace {

// A version record is at most 64 KiB: its lengths are 16-bit.
constexpr quint64 MaxRecordSize = 0xFFFF;

using Bytes = std::vector<unsigned char>;

// Bounded, checked reads from an open file; every failure is nullopt.
class FileReader {
public:
    explicit FileReader(const QString& path) : m_file(path) {
        m_ok = m_file.open(QIODevice::ReadOnly);
    }
    bool ok() const { return m_ok; }
    quint64 size() const { return static_cast<quint64>(m_file.size()); }

    std::optional<Bytes> read(quint64 offset, quint64 count) {
        if (!m_ok || offset > size() || count > size() - offset)
            return std::nullopt;
        Bytes out(count);
        if (!m_file.seek(static_cast<qint64>(offset)) ||
            m_file.read(reinterpret_cast<char*>(out.data()), static_cast<qint64>(count)) !=
                static_cast<qint64>(count))
            return std::nullopt;
        return out;
    }

private:
    QFile m_file;
    bool m_ok = false;
};

quint64 readLe(const unsigned char* p, int n) {
    quint64 v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

quint64 readBe(const unsigned char* p, int n) {
    quint64 v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | p[i];
    return v;
}

// ---- ELF: the named section ----------------------------------------------------------------

std::optional<Bytes> elfRecord(FileReader& f) {
    const std::optional<Bytes> ident = f.read(0, 64);
    if (!ident || std::memcmp(ident->data(),
                              "\x7F"
                              "ELF",
                              4) != 0)
        return std::nullopt;
    const bool is64 = (*ident)[4] == 2;
    const bool little = (*ident)[5] == 1;
    if ((!is64 && (*ident)[4] != 1) || (!little && (*ident)[5] != 2))
        return std::nullopt;
    const auto get = [little](const Bytes& b, std::size_t at, int n) {
        return little ? readLe(b.data() + at, n) : readBe(b.data() + at, n);
    };
    const Bytes& h = *ident;
    const quint64 shoff = is64 ? get(h, 0x28, 8) : get(h, 0x20, 4);
    const quint64 shentsize = get(h, is64 ? 0x3A : 0x2E, 2);
    quint64 shnum = get(h, is64 ? 0x3C : 0x30, 2);
    quint64 shstrndx = get(h, is64 ? 0x3E : 0x32, 2);
    const quint64 minEntry = is64 ? 64 : 40;
    if (shoff == 0 || shentsize < minEntry)
        return std::nullopt;

    struct Section {
        quint64 name, type, offset, size;
    };
    const auto section = [&](quint64 index) -> std::optional<Section> {
        if (index > (f.size() - std::min(f.size(), shoff)) / shentsize)
            return std::nullopt;
        const std::optional<Bytes> e = f.read(shoff + index * shentsize, minEntry);
        if (!e)
            return std::nullopt;
        if (is64)
            return Section{get(*e, 0, 4), get(*e, 4, 4), get(*e, 0x18, 8), get(*e, 0x20, 8)};
        return Section{get(*e, 0, 4), get(*e, 4, 4), get(*e, 0x10, 4), get(*e, 0x14, 4)};
    };
    // Many sections: the real counts live in the first section header.
    if (shnum == 0 || shstrndx == 0xFFFF) {
        const std::optional<Section> first = section(0);
        if (!first)
            return std::nullopt;
        if (shnum == 0)
            shnum = first->size;
        if (shstrndx == 0xFFFF)
            shstrndx = get(*f.read(shoff, minEntry), is64 ? 0x2C : 0x18, 4);  // sh_link
    }
    // Section names are a few hundred bytes; a huge table is a damaged file.
    constexpr quint64 MaxNameTable = 1 << 20;
    const std::optional<Section> names = section(shstrndx);
    if (!names || names->size > MaxNameTable)
        return std::nullopt;
    const std::optional<Bytes> nameTable = f.read(names->offset, names->size);
    if (!nameTable)
        return std::nullopt;
    const std::string_view wanted = VersionRecord::SectionName;
    constexpr quint64 SHT_NOBITS = 8;
    for (quint64 i = 1; i < shnum; ++i) {
        const std::optional<Section> s = section(i);
        if (!s)
            return std::nullopt;
        if (s->name >= nameTable->size())
            continue;
        const char* name = reinterpret_cast<const char*>(nameTable->data() + s->name);
        const std::size_t maxLen = nameTable->size() - s->name;
        if (std::string_view(name, strnlen(name, maxLen)) != wanted)
            continue;
        if (s->type == SHT_NOBITS || s->size > MaxRecordSize)
            return std::nullopt;
        return f.read(s->offset, s->size);
    }
    return std::nullopt;
}

// ---- PE: the version resource ----------------------------------------------------------------

std::optional<Bytes> peRecord(FileReader& f) {
    const std::optional<Bytes> dos = f.read(0, 64);
    if (!dos || (*dos)[0] != 'M' || (*dos)[1] != 'Z')
        return std::nullopt;
    const quint64 peOffset = readLe(dos->data() + 0x3C, 4);
    const std::optional<Bytes> coff = f.read(peOffset, 24);
    if (!coff || std::memcmp(coff->data(), "PE\0\0", 4) != 0)
        return std::nullopt;
    const quint64 sectionCount = readLe(coff->data() + 6, 2);
    const quint64 optionalSize = readLe(coff->data() + 20, 2);
    const std::optional<Bytes> opt = f.read(peOffset + 24, optionalSize);
    if (!opt || opt->size() < 2)
        return std::nullopt;
    const quint64 magic = readLe(opt->data(), 2);
    // The data directories start after the fixed fields of PE32 (96 bytes) or PE32+ (112).
    const quint64 dirBase = magic == 0x10B ? 96 : magic == 0x20B ? 112 : 0;
    if (dirBase == 0 || opt->size() < dirBase)
        return std::nullopt;
    const quint64 dirCount = readLe(opt->data() + dirBase - 4, 4);
    constexpr quint64 ResourceDirectory = 2;
    if (dirCount <= ResourceDirectory || opt->size() < dirBase + 8 * (ResourceDirectory + 1))
        return std::nullopt;
    const quint64 rsrcRva = readLe(opt->data() + dirBase + 8 * ResourceDirectory, 4);
    if (rsrcRva == 0)
        return std::nullopt;

    const std::optional<Bytes> table = f.read(peOffset + 24 + optionalSize, sectionCount * 40);
    if (!table)
        return std::nullopt;
    const auto fileOffset = [&](quint64 rva) -> std::optional<quint64> {
        for (quint64 i = 0; i < sectionCount; ++i) {
            const unsigned char* s = table->data() + i * 40;
            const quint64 virtualSize = readLe(s + 8, 4);
            const quint64 virtualAddress = readLe(s + 12, 4);
            const quint64 rawSize = readLe(s + 16, 4);
            const quint64 rawPointer = readLe(s + 20, 4);
            const quint64 extent = std::max(virtualSize, rawSize);
            if (rva >= virtualAddress && rva - virtualAddress < extent) {
                if (rva - virtualAddress >= rawSize)
                    return std::nullopt;  // not backed by the file
                return rawPointer + (rva - virtualAddress);
            }
        }
        return std::nullopt;
    };
    const std::optional<quint64> rsrc = fileOffset(rsrcRva);
    if (!rsrc)
        return std::nullopt;

    // Resource tree: type -> name -> language -> data entry. Take type 16 (version), then the
    // first entry on each lower level, as the platform's lookup does for a single resource.
    const auto entryFor = [&](quint64 dirOffset,
                              std::optional<quint64> id) -> std::optional<quint64> {
        const std::optional<Bytes> dir = f.read(*rsrc + dirOffset, 16);
        if (!dir)
            return std::nullopt;
        const quint64 count = readLe(dir->data() + 12, 2) + readLe(dir->data() + 14, 2);
        for (quint64 i = 0; i < count; ++i) {
            const std::optional<Bytes> e = f.read(*rsrc + dirOffset + 16 + 8 * i, 8);
            if (!e)
                return std::nullopt;
            const quint64 name = readLe(e->data(), 4);
            const quint64 target = readLe(e->data() + 4, 4);
            if (!id || (!(name & 0x80000000u) && name == *id))
                return target;
        }
        return std::nullopt;
    };
    constexpr quint64 Subdirectory = 0x80000000u;
    const std::optional<quint64> typeDir = entryFor(0, 16);
    if (!typeDir || !(*typeDir & Subdirectory))
        return std::nullopt;
    const std::optional<quint64> nameDir = entryFor(*typeDir & ~Subdirectory, std::nullopt);
    if (!nameDir || !(*nameDir & Subdirectory))
        return std::nullopt;
    const std::optional<quint64> data = entryFor(*nameDir & ~Subdirectory, std::nullopt);
    if (!data || (*data & Subdirectory))
        return std::nullopt;
    const std::optional<Bytes> dataEntry = f.read(*rsrc + *data, 16);
    if (!dataEntry)
        return std::nullopt;
    const quint64 dataRva = readLe(dataEntry->data(), 4);
    const quint64 dataSize = readLe(dataEntry->data() + 4, 4);
    const std::optional<quint64> dataOffset = fileOffset(dataRva);
    if (!dataOffset || dataSize > MaxRecordSize)
        return std::nullopt;
    return f.read(*dataOffset, dataSize);
}

std::u16string keyOf(TFileVersionInfo item) {
    static constexpr std::array<const char16_t*, 8> keys = {
        u"\\CompanyName",    u"\\FileDescription",  u"\\FileVersion", u"\\InternalName",
        u"\\LegalCopyright", u"\\OriginalFilename", u"\\ProductName", u"\\ProductVersion"};
    const auto index = static_cast<std::size_t>(item);
    return index < keys.size() ? keys[index] : std::u16string();
}

std::string versionString(const QString& path, TFileVersionInfo item) {
    try {
        const std::u16string key = keyOf(item);
        // Only regular files: opening a pipe or a device could block or never end.
        if (key.empty() || path.isEmpty() || !QFileInfo(path).isFile())
            return {};
        FileReader file(path);
        if (!file.ok())
            return {};
        std::optional<Bytes> record = elfRecord(file);
        if (!record)
            record = peRecord(file);
        if (!record || record->empty())
            return {};
        // Where the system reads version records (Windows), it reads this one; only files
        // whose record lies whole inside them reach it, since a damaged file could lead the
        // system's reader outside the file (Wine's does so).
        if (const std::optional<QString> system = Detail::systemVersionString(path, key))
            return Platform::Cp932::fromUnicode(*system);
        const auto translation = VersionRecord::query(*record, u"\\VarFileInfo\\Translation");
        if (!translation || translation->size() < 4)
            return {};
        const auto entry = static_cast<std::uint32_t>(readLe(translation->data(), 4));
        const std::u16string path16 = u"\\StringFileInfo\\" + VersionRecord::tableName(entry) + key;
        const auto value = VersionRecord::query(*record, path16);
        if (!value || value->empty())
            return {};
        return Platform::Cp932::fromUnicode(
            QString::fromStdU16String(VersionRecord::stringValue(*value)));
    } catch (...) {
        return {};
    }
}

}  // namespace

std::string GetFileVersionEx(const std::string& fileName, TFileVersionInfo item) {
    try {
        return versionString(Detail::toQString(fileName), item);
    } catch (...) {
        return {};
    }
}

std::string GetFileVersion(TFileVersionInfo item) {
    try {
        const QString path = Detail::executablePath();
        return versionString(path, item);
    } catch (...) {
        return {};
    }
}

}  // namespace Common
