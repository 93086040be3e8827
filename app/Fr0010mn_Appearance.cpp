// The main window's appearance commands: the marker-number font (with its colour, which picks
// the colour set of the glyphs) and the background style drawn behind every number, with the
// style buttons and the style menu always showing the same style. Also wires the keyboard.
#include "FontDialog.h"
#include "Fr0010mn.h"
#include "KeyPreview.h"
#include "MarkerEdit.h"

#include <array>

namespace {

std::array<QToolButton*, 6> styleButtons(TFrmFR0010MN& w) {
    return {w.SpbNone, w.SpbButton, w.SpbBox1, w.SpbBox2, w.SpbCircle1, w.SpbCircle2};
}

std::array<QAction*, 6> styleItems(TFrmFR0010MN& w) {
    return {w.MnuNone, w.MnuButton, w.MnuBox1, w.MnuBox2, w.MnuCircle1, w.MnuCircle2};
}

// The control of a style group whose tag names `style`.
template <class Control, std::size_t N>
Control* controlWithTag(const std::array<Control*, N>& controls, int32_t style) {
    for (Control* c : controls) {
        if (Markers::StyleFromTag(c->property("tag")) == style)
            return c;
    }
    return nullptr;
}

}  // namespace

void TFrmFR0010MN::ConnectAppearance() {
    FDDraw = new FontDialog(this);
    FDDraw->setObjectName(QStringLiteral("FDDraw"));

    new KeyPreview(this);
    // The image area takes no keyboard focus, so an arrow key that nudges a marker never also
    // scrolls the image; the keys reach the window whichever control has the focus.
    ScbMain->setFocusPolicy(Qt::NoFocus);

    connect(MnuFont, &QAction::triggered, this, &TFrmFR0010MN::MnuFontClick);
    connect(SpbFont, &QToolButton::clicked, this, &TFrmFR0010MN::MnuFontClick);
    for (QAction* item : styleItems(*this))
        connect(item, &QAction::triggered, this, [this, item] { MnuNoneClick(item); });
    for (QToolButton* button : styleButtons(*this))
        connect(button, &QToolButton::clicked, this, [this, button] { SpbNoneClick(button); });
}

// Confirming the dialog is a change even when the font is the same as before.
void TFrmFR0010MN::MnuFontClick() {
    FDDraw->SetMarkerFont(Doc.Font(), Doc.MarkerSize());
    if (FDDraw->exec() != QDialog::Accepted)
        return;
    ReportFailure(Doc.SetFont(FDDraw->SelectedFont()));
}

void TFrmFR0010MN::ShowBackgroundStyle(int32_t style) {
    QToolButton* button = controlWithTag(styleButtons(*this), style);
    QAction* item = controlWithTag(styleItems(*this), style);
    // The group of each lets go of the others.
    if (item)
        item->setChecked(true);
    if (button)
        button->setChecked(true);
}

// Choosing the style already in effect is still a change. Neither handler rebuilds the glyphs:
// all six of the current colour are in ILBits, and the style only picks the one drawn.
void TFrmFR0010MN::MnuNoneClick(QObject* Sender) {
    const auto style = Markers::StyleFromTag(Sender ? Sender->property("tag") : QVariant());
    if (style)
        Doc.SetStyle(*style);
}

// The clicked button is already down: its group saw to that before the click came.
void TFrmFR0010MN::SpbNoneClick(QObject* Sender) {
    MnuNoneClick(Sender);
}
