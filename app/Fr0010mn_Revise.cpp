// The main window's commands for revising a picture: another number for the selected marker,
// numbers closed up, a new source image under the markers, the markers inside the selection
// rectangle lined up or spaced out, and a number placed by typing it.
#include "BusyIndicator.h"
#include "Common.h"
#include "Fr0010mn.h"
#include "RenumberDialog.h"

#include <QFileDialog>
#include <QStringList>

namespace {

// The typed number has at most two digits: 1 .. 99.
constexpr int kTypedDigits = 2;

}  // namespace

void TFrmFR0010MN::ConnectRevise() {
    connect(MnuReplace, &QAction::triggered, this, &TFrmFR0010MN::MnuReplaceClick);
    connect(MnuRenumber, &QAction::triggered, this, &TFrmFR0010MN::MnuRenumberClick);
    connect(MnuCloseGaps, &QAction::triggered, this, &TFrmFR0010MN::MnuCloseGapsClick);
    for (QAction* a : MnuAlign->actions())
        connect(a, &QAction::triggered, this, [this, a] { MnuAlignClick(a); });
}

void TFrmFR0010MN::UpdateReviseMenu() {
    const bool open = Doc.DocumentOpen();
    MnuReplace->setEnabled(open);
    MnuRenumber->setEnabled(open && Doc.Map().IsPlaced(Doc.Map().SelectedKey));
    MnuCloseGaps->setEnabled(Doc.CanCloseGaps());
    bool any = false;
    for (QAction* a : MnuAlign->actions()) {
        a->setEnabled(Doc.CanArrange(static_cast<Markers::Alignment>(a->property("tag").toInt())));
        any = any || a->isEnabled();
    }
    MnuAlign->menuAction()->setEnabled(any);
}

// The dialog is the open dialog's: the same title, filters and last folder. Markers the new
// image no longer covers are named, and the user chooses whether they come inside.
void TFrmFR0010MN::MnuReplaceClick() {
    if (!Doc.DocumentOpen() || ODFile->exec() != QDialog::Accepted ||
        ODFile->selectedFiles().isEmpty())
        return;
    ReplaceSourceImageFrom(ODFile->selectedFiles().constFirst());
}

void TFrmFR0010MN::ReplaceSourceImageFrom(const QString& path) {
    if (!Doc.DocumentOpen())
        return;
    const Document::Replacement result = [&] {
        const BusyIndicator busy(this, QStringLiteral("画像を読み込んでいます..."));
        return Doc.ReplaceSourceImage(path);
    }();
    if (!ReportFailure(result) || result.OutsideKeys.empty())
        return;
    QStringList numbers;
    for (int32_t key : result.OutsideKeys)
        numbers << QString::number(Markers::MarkerNumber(key));
    // Yes moves them in as part of the replacement (one undo step); No, or a dialog that
    // could not be shown, leaves them where they are.
    const QString question = QStringLiteral("画像の外にある番号: ") +
                             numbers.join(QStringLiteral(", ")) +
                             QStringLiteral(
                                 "\r\n\r\n画像の中に移動しますか？"
                                 "\r\n(いいえ: 番号は消さずに外に残します)");
    if (Common::QryMsg(this, question, 1) == 1)
        Doc.BringInsideAfterReplace(result.OutsideKeys);
}

void TFrmFR0010MN::MnuRenumberClick() {
    const int32_t key = Doc.Map().SelectedKey;
    if (!Doc.Map().IsPlaced(key))
        return;
    std::vector<int> taken;
    for (const auto& [placed, marker] : Doc.Map())
        taken.push_back(static_cast<int>(Markers::MarkerNumber(placed)));
    RenumberDialog dialog(this);
    dialog.SetNumbers(static_cast<int>(Markers::MarkerNumber(key)), taken);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Doc.Renumber(key, dialog.Number() - 1);
    ViewFollowSelection();
}

void TFrmFR0010MN::MnuCloseGapsClick() {
    Doc.CloseGaps();
}

void TFrmFR0010MN::MnuAlignClick(QObject* Sender) {
    Doc.Arrange(static_cast<Markers::Alignment>(Sender->property("tag").toInt()));
    ViewFollowSelection();
}

// Panel 4 shows the digits while they are typed, and the selected marker's place again once
// they are dropped. Any key that is not part of the number drops them and goes on to do what
// it does.
bool TFrmFR0010MN::TypeNumberKey(int Key, Qt::KeyboardModifiers Shift) {
    const bool plain = !(Shift & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const QString before = TypedNumber;
    bool taken = true;
    if (plain && Key >= Qt::Key_0 && Key <= Qt::Key_9) {
        TypedNumber = (TypedNumber + QChar(u'0' + (Key - Qt::Key_0))).right(kTypedDigits);
    } else if (Key == Qt::Key_Backspace && !TypedNumber.isEmpty()) {
        TypedNumber.chop(1);
    } else if ((Key == Qt::Key_Return || Key == Qt::Key_Enter) && !TypedNumber.isEmpty()) {
        const int number = TypedNumber.toInt();
        TypedNumber.clear();
        if (number >= 1 && number <= 99) {
            Doc.PlaceOrSelect(number - 1);
            ViewFollowSelection();
            return true;
        }
    } else {
        taken = false;
        if (Key == Qt::Key_Shift || Key == Qt::Key_Control || Key == Qt::Key_Alt ||
            Key == Qt::Key_Meta)
            return false;
        TypedNumber.clear();
    }
    if (!TypedNumber.isEmpty()) {
        SetStatusText(PanelMarkerPosition, QStringLiteral("番号 : ") + TypedNumber);
    } else if (!before.isEmpty()) {
        if (const Markers::Marker* m = Doc.Map().MarkerOf(Doc.Map().SelectedKey))
            ShowMarkerPosition(m->Left, m->Top);
        else
            SetStatusText(PanelMarkerPosition, QString());
    }
    return taken;
}
