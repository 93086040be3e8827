#pragma once

class TFrmFR0010MN;

namespace Document {
class RecoveryKeeper;
}

// At start, the work a crashed or killed program left: "前回の作業を復元しますか？" with
// はい / いいえ. はい opens it in the window as unsaved work, いいえ deletes it; a question
// closed any other way (or that could not be shown) keeps it for the next start. True when the
// window now shows the restored work.
bool OfferRecovery(TFrmFR0010MN& window, Document::RecoveryKeeper& keeper);
