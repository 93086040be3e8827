#include "ToolkitError.h"

namespace Platform::Msg {

QString cannotOpenFile(const QString& path) {
    return QStringLiteral("ファイル %1 は開けません").arg(path);
}

QString cannotCreateFile(const QString& path) {
    return QStringLiteral("ファイル %1 を作成できません").arg(path);
}

QString streamReadError() {
    return QStringLiteral("ストリームからの読み込みエラー");
}

QString streamWriteError() {
    return QStringLiteral("ストリームへの書き込みエラー");
}

QString invalidBitmap() {
    return QStringLiteral("ビットマップイメージが不正です");
}

// Not one of the file and bitmap texts: the memory for a large picture could not be had.
QString outOfMemory() {
    return QStringLiteral("メモリが不足しています");
}

}  // namespace Platform::Msg
