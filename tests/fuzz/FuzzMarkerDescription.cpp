// Feeds arbitrary bytes to the reader of marker descriptions. It either refuses them with a
// message or gives a document within the rules (keys 0 .. 98, a style 0 .. 5), and whatever it
// accepts is the same document when described again and read back, and when written as the
// lines of a work file and read back.
#include "MarkerDescription.h"
#include "WorkFile.h"

#include <QByteArrayView>

namespace {

bool same(const Document::Description& a, const Document::Description& b) {
    if (!(a.Font == b.Font) || a.BackgroundStyle != b.BackgroundStyle ||
        a.Markers.size() != b.Markers.size())
        return false;
    for (const auto& [key, marker] : a.Markers) {
        const Markers::Marker* m = b.Markers.MarkerOf(key);
        if (!m || !(*m == marker))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Document::Description defaults;
    const Document::DescriptionRead read = Document::ReadDescription(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
        defaults);
    if (!read.Value) {
        if (read.Error.isEmpty())
            __builtin_trap();
        return 0;
    }
    const Document::Description& d = *read.Value;
    if (d.BackgroundStyle < 0 || d.BackgroundStyle > 5)
        __builtin_trap();
    for (const auto& [key, marker] : d.Markers) {
        if (key < Document::kLowestKey || key > Document::kHighestKey)
            __builtin_trap();
    }
    const QByteArray again =
        Document::DescribeAsJson(d.Font, d.BackgroundStyle, {1, 1, 24}, d.Markers);
    const Document::DescriptionRead back = Document::ReadDescription(again, defaults);
    if (!back.Value || !same(d, *back.Value))
        __builtin_trap();
    const Document::WorkDocument work =
        Document::ReadWorkDocument(Document::MakeWorkLines(d.Font, d.BackgroundStyle, d.Markers));
    if (!same(d, {work.Font, work.BackgroundStyle, work.Markers}))
        __builtin_trap();
    return 0;
}
