#pragma once

#include <QString>

#include <exception>
#include <string>

namespace Platform {

// The one exception class for failures of the platform services (files, streams, bitmaps,
// clipboard). It carries the text the user is shown; commands catch it and show message().
class ToolkitError : public std::exception {
public:
    explicit ToolkitError(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toStdString()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

// The failure texts of the platform services, as the user reads them.
namespace Msg {
QString cannotOpenFile(const QString& path);    // "ファイル %s は開けません"
QString cannotCreateFile(const QString& path);  // "ファイル %s を作成できません"
QString streamReadError();                      // "ストリームからの読み込みエラー"
QString streamWriteError();                     // "ストリームへの書き込みエラー"
QString invalidBitmap();                        // "ビットマップイメージが不正です"
QString outOfMemory();                          // "メモリが不足しています"
}  // namespace Msg

}  // namespace Platform
