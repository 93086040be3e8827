#include "VersionFiles.h"

#include "VersionRecord.h"

#include <QFile>

#include <cstring>
#include <stdexcept>
#include <string>

namespace VersionFiles {
namespace {

class Image {
public:
    explicit Image(bool bigEndian = false) : m_big(bigEndian) {}
    Bytes bytes;

    void put(std::size_t at, unsigned long long value, int width) {
        if (bytes.size() < at + width)
            bytes.resize(at + width, 0);
        for (int i = 0; i < width; ++i) {
            const int shift = 8 * (m_big ? width - 1 - i : i);
            bytes[at + i] = static_cast<unsigned char>(value >> shift);
        }
    }
    void putBytes(std::size_t at, const void* data, std::size_t n) {
        if (bytes.size() < at + n)
            bytes.resize(at + n, 0);
        std::memcpy(bytes.data() + at, data, n);
    }

private:
    bool m_big;
};

std::size_t align(std::size_t n, std::size_t to) {
    return (n + to - 1) / to * to;
}

Bytes elf(bool is64, bool big, const Bytes& record, const std::string& sectionName) {
    Image img(big);
    const std::string names = std::string("\0.shstrtab\0", 11) + sectionName + '\0';
    const std::size_t headerSize = is64 ? 64 : 52;
    const std::size_t namesAt = headerSize;
    const std::size_t recordAt = align(namesAt + names.size(), 8);
    const std::size_t sectionsAt = align(recordAt + record.size(), 8);
    const std::size_t entrySize = is64 ? 64 : 40;

    const unsigned char ident[16] = {0x7F,
                                     'E',
                                     'L',
                                     'F',
                                     static_cast<unsigned char>(is64 ? 2 : 1),
                                     static_cast<unsigned char>(big ? 2 : 1),
                                     1};
    img.putBytes(0, ident, 16);
    img.put(16, 1, 2);   // relocatable
    img.put(18, 62, 2);  // machine
    img.put(20, 1, 4);
    if (is64) {
        img.put(0x28, sectionsAt, 8);
        img.put(0x34, headerSize, 2);
        img.put(0x3A, entrySize, 2);
        img.put(0x3C, 3, 2);
        img.put(0x3E, 1, 2);
    } else {
        img.put(0x20, sectionsAt, 4);
        img.put(0x28, headerSize, 2);
        img.put(0x2E, entrySize, 2);
        img.put(0x30, 3, 2);
        img.put(0x32, 1, 2);
    }
    img.putBytes(namesAt, names.data(), names.size());
    img.putBytes(recordAt, record.data(), record.size());

    const auto section = [&](int index, std::size_t name, unsigned type, std::size_t offset,
                             std::size_t size) {
        const std::size_t at = sectionsAt + index * entrySize;
        img.put(at, name, 4);
        img.put(at + 4, type, 4);
        if (is64) {
            img.put(at + 0x18, offset, 8);
            img.put(at + 0x20, size, 8);
        } else {
            img.put(at + 0x10, offset, 4);
            img.put(at + 0x14, size, 4);
        }
    };
    section(0, 0, 0, 0, 0);
    section(1, 1, 3, namesAt, names.size());     // .shstrtab
    section(2, 11, 1, recordAt, record.size());  // the record, PROGBITS
    img.bytes.resize(sectionsAt + 3 * entrySize, 0);
    return img.bytes;
}

Bytes pe(bool plus, const Bytes& record) {
    Image img;
    constexpr std::size_t peAt = 64;
    const std::size_t optionalSize = plus ? 240 : 224;
    const std::size_t dirBase = plus ? 112 : 96;
    const std::size_t sectionTableAt = peAt + 24 + optionalSize;
    constexpr std::size_t rawAt = 0x400;
    constexpr std::size_t rva = 0x1000;

    img.putBytes(0, "MZ", 2);
    img.put(0x3C, peAt, 4);
    img.putBytes(peAt, "PE\0\0", 4);
    img.put(peAt + 4, plus ? 0x8664 : 0x14C, 2);
    img.put(peAt + 6, 1, 2);  // one section
    img.put(peAt + 20, optionalSize, 2);
    const std::size_t opt = peAt + 24;
    img.put(opt, plus ? 0x20B : 0x10B, 2);
    img.put(opt + dirBase - 4, 16, 4);  // data directories

    // .rsrc: type 16 -> name 1 -> language 0x411 -> data entry -> the record
    Image rsrc;
    rsrc.put(14, 1, 2);
    rsrc.put(16, 16, 4);
    rsrc.put(20, 0x80000000u | 0x18, 4);
    rsrc.put(0x18 + 14, 1, 2);
    rsrc.put(0x18 + 16, 1, 4);
    rsrc.put(0x18 + 20, 0x80000000u | 0x30, 4);
    rsrc.put(0x30 + 14, 1, 2);
    rsrc.put(0x30 + 16, 0x411, 4);
    rsrc.put(0x30 + 20, 0x48, 4);
    rsrc.put(0x48, rva + 0x58, 4);
    rsrc.put(0x4C, record.size(), 4);
    rsrc.putBytes(0x58, record.data(), record.size());
    const std::size_t rsrcSize = align(rsrc.bytes.size(), 0x200);
    rsrc.bytes.resize(rsrcSize, 0);

    img.put(opt + dirBase + 16, rva, 4);
    img.put(opt + dirBase + 20, rsrcSize, 4);
    img.putBytes(sectionTableAt, ".rsrc\0\0\0", 8);
    img.put(sectionTableAt + 8, rsrcSize, 4);
    img.put(sectionTableAt + 12, rva, 4);
    img.put(sectionTableAt + 16, rsrcSize, 4);
    img.put(sectionTableAt + 20, rawAt, 4);
    img.putBytes(rawAt, rsrc.bytes.data(), rsrc.bytes.size());
    return img.bytes;
}

}  // namespace

Bytes wrap(Container kind, const Bytes& record, const char* sectionName) {
    const std::string name = sectionName ? sectionName : VersionRecord::SectionName;
    switch (kind) {
        case Container::Elf64Little:
            return elf(true, false, record, name);
        case Container::Elf32Big:
            return elf(false, true, record, name);
        case Container::Pe32Plus:
            return pe(true, record);
        case Container::Pe32:
            return pe(false, record);
    }
    return {};
}

void writeFile(const QString& path, const Bytes& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()))
        throw std::runtime_error("cannot write test file");
}

}  // namespace VersionFiles
