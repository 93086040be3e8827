#pragma once

class QDialog;
class QDialogButtonBox;

// The OK and キャンセル buttons of the window's own dialogs, with their Japanese captions,
// accepting and rejecting `dialog`. The box is the dialog's child; the caller places it.
QDialogButtonBox* MakeOkCancelButtons(QDialog* dialog);
