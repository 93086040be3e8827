#pragma once

// Test files that carry a version record: small ELF objects with the record's section and
// small Windows PE images with a version resource.

#include <QString>

#include <vector>

namespace VersionFiles {

enum class Container { Elf64Little, Elf32Big, Pe32Plus, Pe32 };

using Bytes = std::vector<unsigned char>;

// A file image of the given kind holding `record` where the version lookup looks for it.
// `sectionName` lets a test put it under another name (an ELF without the record).
Bytes wrap(Container kind, const Bytes& record, const char* sectionName = nullptr);

void writeFile(const QString& path, const Bytes& bytes);

}  // namespace VersionFiles
