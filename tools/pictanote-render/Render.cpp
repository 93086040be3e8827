// pictanote-render WORKFILE OUTPUT.bmp
//
// Reads a work file and writes what the program's bitmap export would write for it: the
// source image with every marker drawn in the file's font and background style, without
// selection or guide lines, as a 24-bit BMP file. Runs without a display (the offscreen
// platform unless QT_QPA_PLATFORM says otherwise). Exit status: 0 written, 1 the work file
// could not be read or the bitmap not written (the reason on standard error), 2 usage.
#include "Bmp.h"
#include "Compositor.h"
#include "ToolkitError.h"
#include "WorkFile.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <new>

namespace {

void fail(const QString& text) {
    std::fprintf(stderr, "pictanote-render: %s\n", text.toUtf8().constData());
}

void render(const QString& input, const QString& output) {
    Document::WorkFileImage image = Document::ReadWorkFile(input);
    const Document::WorkDocument doc = Document::ReadWorkDocument(image.Lines);
    Markers::Compositor compositor;
    compositor.LoadGlyphs(QStringLiteral("BLACK"), Markers::kOliveRgb);
    compositor.CreateBitmaps();
    compositor.SetMarkerFont(doc.Font);
    compositor.SetMarkerColor(doc.Font.Color);
    compositor.SetBackgroundStyle(doc.BackgroundStyle);
    compositor.SetSourceBitmap(std::move(image.Bitmap));
    compositor.ComposeForExport(doc.Markers);
    Platform::Bmp::writeFile(*compositor.CanvasBitmap(), output);
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: pictanote-render WORKFILE OUTPUT.bmp\n");
        return 2;
    }
    try {
        render(args[1], args[2]);
    } catch (const Platform::ToolkitError& e) {
        fail(QStringLiteral("%1: %2").arg(args[1], e.message()));
        return 1;
    } catch (const std::bad_alloc&) {
        fail(QStringLiteral("%1: %2").arg(args[1], Platform::Msg::outOfMemory()));
        return 1;
    }
    return 0;
}
