// pictanote-fault-helper work|bmp OUTPUT WIDTH HEIGHT BITS SEED
//
// One save of the fault harness, in a process of its own that the harness may limit or kill:
// "work" saves a work file, "bmp" exports a bitmap, both of FaultImages' picture. Exit status 0
// written, 1 failed (the message alone on standard error), 2 usage.
#include "Bmp.h"
#include "FaultImages.h"
#include "ToolkitError.h"
#include "WorkFile.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

int main(int argc, char** argv) {
    if (argc != 7 || (std::strcmp(argv[1], "work") != 0 && std::strcmp(argv[1], "bmp") != 0)) {
        std::fprintf(stderr,
                     "usage: pictanote-fault-helper work|bmp OUTPUT WIDTH HEIGHT BITS SEED\n");
        return 2;
    }
    const QString output = QFile::decodeName(argv[2]);
    const auto seed = static_cast<uint32_t>(std::strtoul(argv[6], nullptr, 10));
    try {
        const Platform::Bitmap image =
            FaultImages::picture(std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), seed);
        if (std::strcmp(argv[1], "work") == 0)
            Document::WriteWorkFile(image, FaultImages::lines(seed), output);
        else
            Platform::Bmp::writeFile(image, output);
    } catch (const Platform::ToolkitError& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s\n", Platform::Msg::outOfMemory().toUtf8().constData());
        return 1;
    }
    return 0;
}
