// Feeds arbitrary bytes to the work-file reader, as a whole file and as a bare text block.
// Whatever reads as a document must survive being written again: the lines written for it
// read back to the same style and markers, and writing those gives the very same lines.
#include "ToolkitError.h"
#include "WorkFile.h"

#include <new>
#include <string_view>

namespace {

void checkRewrite(const Document::WorkDocument& doc) {
    const Document::WorkLines lines =
        Document::MakeWorkLines(doc.Font, doc.BackgroundStyle, doc.Markers);
    const Document::WorkDocument again = Document::ReadWorkDocument(lines);
    if (again.BackgroundStyle != doc.BackgroundStyle || again.Markers.size() != doc.Markers.size())
        __builtin_trap();
    for (const auto& [key, marker] : doc.Markers) {
        const Markers::Marker* m = again.Markers.MarkerOf(key);
        if (!m || !(*m == marker))
            __builtin_trap();
    }
    // The face may lose bytes that are no text in code page 932 once; after that it is stable.
    Markers::MarkerFont font = again.Font;
    font.Name = doc.Font.Name;
    if (!(font == doc.Font))
        __builtin_trap();
    if (Document::MakeWorkLines(again.Font, again.BackgroundStyle, again.Markers) != lines)
        __builtin_trap();
}

void readDocument(const Document::WorkLines& lines) {
    Document::WorkDocument doc;
    try {
        doc = Document::ReadWorkDocument(lines);
    } catch (const Platform::ToolkitError&) {
        return;
    }
    checkRewrite(doc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    readDocument(Document::SplitLines(std::string_view(bytes, size)));
    try {
        const Document::WorkFileImage image =
            Document::DecodeWorkFile(QByteArrayView(bytes, static_cast<qsizetype>(size)));
        if (image.Bitmap.isNull())
            __builtin_trap();
        readDocument(image.Lines);
    } catch (const Platform::ToolkitError&) {
    }
    return 0;
}
