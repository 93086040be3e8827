#include "RecoveryOffer.h"

#include "Common.h"
#include "Fr0010mn.h"
#include "RecoveryKeeper.h"

bool OfferRecovery(TFrmFR0010MN& window, Document::RecoveryKeeper& keeper) {
    if (keeper.FindOrphan().isEmpty())
        return false;
    switch (Common::QryMsg(&window, QStringLiteral("前回の作業を復元しますか？"), 1)) {
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
