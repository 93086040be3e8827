#include "RecoveryOffer.h"

#include "Common.h"
#include "Fr0010mn.h"
#include "RecoveryKeeper.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>

namespace {

// While it lives, Escape in a message box closes the box instead of pressing いいえ: for this
// question いいえ deletes the user's work, so only a deliberate press may give that answer.
class EscapeCloses : public QObject {
public:
    EscapeCloses() { qApp->installEventFilter(this); }
    ~EscapeCloses() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
            return false;
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* box = widget ? qobject_cast<QMessageBox*>(widget->window()) : nullptr;
        if (!box)
            return false;
        if (event->type() == QEvent::KeyPress)
            box->close();  // a close without a button: the answer "closed", which keeps the copy
        event->accept();
        return true;
    }
};

}  // namespace

bool OfferRecovery(TFrmFR0010MN& window, Document::RecoveryKeeper& keeper) {
    if (keeper.FindOrphan().isEmpty())
        return false;
    int answer = 0;
    {
        const EscapeCloses escape;
        answer = Common::QryMsg(&window, QStringLiteral("前回の作業を復元しますか？"), 1);
    }
    switch (answer) {
        case 1:
            return window.ReportFailure(keeper.RestoreOrphan());
        case 2:
            keeper.DiscardOrphan();
            return false;
        default:
            keeper.LeaveOrphan();
            return false;
    }
}
