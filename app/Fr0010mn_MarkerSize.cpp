// The main window's marker-size command: オプション > マーカーの大きさ(&Z)... asks for the size
// of the document's markers; confirming resizes every marker about its centre (one undo step)
// and sets the size of the markers placed afterwards.
#include "Fr0010mn.h"
#include "MarkerSizeDialog.h"

void TFrmFR0010MN::ConnectMarkerSize() {
    DlgMarkerSize = new MarkerSizeDialog(this);
    DlgMarkerSize->setObjectName(QStringLiteral("DlgMarkerSize"));
    MnuMarkerSize = new QAction(QStringLiteral("マーカーの大きさ(&Z)..."), this);
    MnuMarkerSize->setObjectName(QStringLiteral("MnuMarkerSize"));
    // Beside the font, whose size range follows it.
    const QList<QAction*> items = MnuOption->actions();
    const qsizetype font = items.indexOf(MnuFont);
    MnuOption->insertAction(font >= 0 && font + 1 < items.size() ? items[font + 1] : nullptr,
                            MnuMarkerSize);
    MnuMarkerSize->setEnabled(Doc.DocumentOpen());
    connect(MnuMarkerSize, &QAction::triggered, this, &TFrmFR0010MN::MnuMarkerSizeClick);
    connect(&Doc, &Document::Session::changed, this, [this](Document::Changes what) {
        if (what & Document::Change::OpenState)
            MnuMarkerSize->setEnabled(Doc.DocumentOpen());
    });
}

// Confirming is a change even for the size in effect, as for the font and the style.
void TFrmFR0010MN::MnuMarkerSizeClick() {
    if (!Doc.DocumentOpen())
        return;
    DlgMarkerSize->SetMarkerSize(Doc.MarkerSize());
    if (DlgMarkerSize->exec() != QDialog::Accepted)
        return;
    Doc.SetMarkerSize(DlgMarkerSize->MarkerSize());
}
