#pragma once

// What a document should look like, composed by a Compositor of the test's own from the
// document's parts: the screen image, the exported picture, a palette cell.

#include "Compositor.h"
#include "MarkerColors.h"
#include "Session.h"

#include <QImage>

#include <memory>

namespace TestSupport {

// The look a reference is drawn with. The glyph colour is normally the font's; a test may pick
// another set to show the colour matters.
struct Look {
    Markers::MarkerFont Font;
    int32_t GlyphColor = Markers::clWindowText;
    int32_t Style = Markers::StyleButton;
};

inline Look lookOf(const Document::Session& doc) {
    return {doc.Font(), doc.Font().Color, doc.BackgroundStyle()};
}

inline std::unique_ptr<Markers::Compositor> referenceCompositor(const Look& look) {
    auto c = std::make_unique<Markers::Compositor>();
    c->LoadGlyphs(QStringLiteral("BLACK"), Markers::kOliveRgb);
    c->SetMarkerColor(look.GlyphColor);
    c->SetMarkerFont(look.Font);
    c->SetBackgroundStyle(look.Style);
    c->CreateBitmaps();
    return c;
}

// The screen image (with the selection, the guide lines and the selection rectangle), or the
// exported picture (without them).
enum class Pass { Screen, Export };

inline QImage referenceCanvas(const Platform::Bitmap& source, const Markers::MarkerMap& map,
                              const Look& look, Pass pass = Pass::Screen) {
    const auto c = referenceCompositor(look);
    c->SetSourceBitmap(source);
    if (pass == Pass::Screen)
        c->ComposeCanvas(map);
    else
        c->ComposeForExport(map);
    return c->CanvasBitmap()->toQImage().convertToFormat(QImage::Format_RGB32);
}

inline QImage referenceCanvas(const Document::Session& doc, Pass pass = Pass::Screen) {
    return referenceCanvas(*doc.SourceBitmap(), doc.Map(), lookOf(doc), pass);
}

// Palette cell `column` as drawn for the document's markers and look.
inline QImage referenceCell(const Document::Session& doc, int column) {
    const auto c = referenceCompositor(lookOf(doc));
    const QRect r = c->DrawPaletteCell(doc.Map(), column);
    return c->CellBitmap()->view().copy(r).convertToFormat(QImage::Format_RGB32);
}

}  // namespace TestSupport
