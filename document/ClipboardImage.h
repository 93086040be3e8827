#pragma once

#include "Bitmap.h"

class QMimeData;

namespace Document {

// The image on the clipboard as a bitmap of the program's own, at the image's own depth, no
// longer tied to the clipboard or the display. `data` is what the clipboard holds, or null
// when it could not be read. Throws Platform::ToolkitError:
//   no clipboard contents     "クリップボードを開くことができません"
//   no image among them       "未対応のクリップボード データです"
Platform::Bitmap ClipboardBitmap(const QMimeData* data);

}  // namespace Document
