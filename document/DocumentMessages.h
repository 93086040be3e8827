#pragma once

#include <QString>

// The texts the document layer reports, as the user reads them. The platform layer's own
// (files, streams, bitmaps, memory) are in ToolkitError.h.
namespace Document::Texts {

QString loadFailed();                    // "ファイルの読み込みに失敗しました。"
QString saveFailed();                    // "ファイルの保存に失敗しました。"
QString listIndexOutOfBounds(int index);  // "リストのインデックスが範囲を超えています (%d)"
QString notAnInteger(const QString& item);  // "'%s' は整数ではありません"

}  // namespace Document::Texts
