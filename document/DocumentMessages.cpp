#include "DocumentMessages.h"

namespace Document::Texts {

QString loadFailed() {
    return QStringLiteral("ファイルの読み込みに失敗しました。");
}

QString saveFailed() {
    return QStringLiteral("ファイルの保存に失敗しました。");
}

QString listIndexOutOfBounds(int index) {
    return QStringLiteral("リストのインデックスが範囲を超えています (%1)").arg(index);
}

QString notAnInteger(const QString& item) {
    return QStringLiteral("'%1' は整数ではありません").arg(item);
}

}  // namespace Document::Texts
