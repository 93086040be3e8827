#pragma once

#include "Fr0010mn.h"

#include <QString>

#include <cstdint>

// The status marks the keyboard and appearance commands leave on the window.
namespace EditMarks {

// A change of the document by editing: Modified, and "変更" in status panel 0.
inline void MarkModified(TFrmFR0010MN& window) {
    window.Modified = true;
    window.SetStatusText(0, QStringLiteral("変更"));
}

// The position of the marker being moved, in status panel 4.
inline void ShowMarkerPosition(TFrmFR0010MN& window, int32_t left, int32_t top) {
    window.SetStatusText(4, QStringLiteral("L : %1 T : %2").arg(left).arg(top));
}

}  // namespace EditMarks
