#pragma once

#include <QString>

// The questions and messages the window itself asks and shows, as the user reads them. The
// document layer's are in document/DocumentMessages.h, the platform layer's in ToolkitError.h.
namespace App::Texts {

// "作業は保存されていません。" / "破棄してもよろしいですか？", asked before unsaved work goes.
inline QString discardQuestion() {
    return QStringLiteral("作業は保存されていません。\r\n\r\n破棄してもよろしいですか？");
}

}  // namespace App::Texts
