// pictanote-render WORKFILE OUTPUT.bmp
//
// Reads a work file and writes what the program's bitmap export would write for it: the
// source image with every marker drawn in the file's font and background style, without
// selection or guide lines, as a 24-bit BMP file. Runs without a display (the offscreen
// platform unless QT_QPA_PLATFORM says otherwise). Exit status: 0 written, 1 the work file
// could not be read or the bitmap not written (the reason on standard error), 2 usage.
#include "Session.h"
#include "ToolkitError.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <new>

namespace {

void fail(const QString& text) {
    std::fprintf(stderr, "pictanote-render: %s\n", text.toUtf8().constData());
}

// The window's own open and export, so the two cannot drift apart.
Document::Result render(const QString& input, const QString& output) {
    Document::Session session;
    Document::Result result;
    try {
        session.Create();
    } catch (const Platform::ToolkitError& e) {
        result.Errors << e.message();
        return result;
    }
    result = session.OpenWorkFile(input);
    if (result.Ok())
        result = session.ExportBitmap(output);
    return result;
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
    const Document::Result result = render(args[1], args[2]);
    for (const QString& message : result.Errors)
        fail(QStringLiteral("%1: %2").arg(args[1], message));
    if (!result.Ok())
        return 1;
    return 0;
}
