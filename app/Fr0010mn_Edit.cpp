// The main window's Edit menu: undo and redo of the document's steps. The items name the step
// they act on ("元に戻す(&U): 配置") and are enabled only when there is one.
#include "Fr0010mn.h"

namespace {

const QString kUndo = QStringLiteral("元に戻す");
const QString kRedo = QStringLiteral("やり直し");

}  // namespace

void TFrmFR0010MN::ConnectEdit() {
    MnuRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(MnuUndo, &QAction::triggered, this, &TFrmFR0010MN::MnuUndoClick);
    connect(MnuRedo, &QAction::triggered, this, &TFrmFR0010MN::MnuRedoClick);
    // A fresh history (a new document) changes the items too.
    connect(&Doc.History(), &QUndoStack::indexChanged, this, &TFrmFR0010MN::UpdateEditMenu);
    connect(&Doc.History(), &QUndoStack::cleanChanged, this, &TFrmFR0010MN::UpdateEditMenu);
    ConnectRevise();
    UpdateEditMenu();
}

void TFrmFR0010MN::MnuUndoClick() {
    Doc.Undo();
    ViewFollowSelection();
}

void TFrmFR0010MN::MnuRedoClick() {
    Doc.Redo();
    ViewFollowSelection();
}

void TFrmFR0010MN::UpdateEditMenu() {
    const QUndoStack& history = Doc.History();
    MnuUndo->setEnabled(history.canUndo());
    // The access keys stay while the items name the step: "元に戻す(&U): 配置".
    MnuUndo->setText(kUndo + QStringLiteral("(&U)") +
                     (history.canUndo() ? QStringLiteral(": ") + history.undoText() : QString()));
    MnuRedo->setEnabled(history.canRedo());
    MnuRedo->setText(kRedo + QStringLiteral("(&R)") +
                     (history.canRedo() ? QStringLiteral(": ") + history.redoText() : QString()));
    UpdateReviseMenu();
}
