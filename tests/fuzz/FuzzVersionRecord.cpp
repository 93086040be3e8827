// Arbitrary bytes as a version record and as a whole file handed to the version lookup: the
// record walk, the ELF section reader and the PE resource reader.
#include "Common.h"
#include "VersionRecord.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const unsigned char> bytes(data, size);
    VersionRecord::query(bytes, u"\\VarFileInfo\\Translation");
    if (const auto value = VersionRecord::query(bytes, u"\\StringFileInfo\\041103A4\\FileVersion"))
        VersionRecord::stringValue(*value);

    // One scratch file per fuzzing process, removed when it exits.
    static const struct Scratch {
        std::string path = "/tmp/fuzz-version-" + std::to_string(getpid()) + ".bin";
        ~Scratch() { std::remove(path.c_str()); }
    } scratch;
    const std::string& path = scratch.path;
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
        Common::GetFileVersionEx(path, Common::fvFileVersion);
    }
    return 0;
}
