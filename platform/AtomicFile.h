#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>

// Files written whole or not at all, and on the disk before we say so.
//
// The bytes go to a temporary file beside the target (".NAME.pictanote-XXXXXX.tmp", made with
// exclusive create and owner-only permissions, then given the target's permissions or the
// default of a new file), which is synced, renamed over the target, and the folder synced in
// turn. On every failure the temporary file is removed and the target keeps its bytes. A file
// whose owner may not write it (on Windows: a read-only file) is not replaced, whoever runs
// the program; a link is followed and the file it names replaced. On Windows the temporary
// file is flushed (FlushFileBuffers) and moved over the target with write-through
// (MoveFileExW), keeping the target's attributes.
//
// Failures throw ToolkitError:
//   the temporary file or the target cannot be created   "ファイル %s を作成できません"
//   writing or syncing fails                              "ストリームへの書き込みエラー"
// An exception thrown by the caller's producer passes through unchanged.
//
// Temporary files of ours that a killed save left in the folder (older than a minute, owned by
// the same user) are removed before each write.
namespace Platform {

// Where a producer puts the bytes of the file, in as many pieces as it likes.
class FileSink {
public:
    virtual ~FileSink() = default;
    virtual void write(const char* data, int64_t count) = 0;
    void write(QByteArrayView bytes) { write(bytes.data(), bytes.size()); }
};

void writeFileDurably(const QString& path, QByteArrayView bytes);
void writeFileDurably(const QString& path, const std::function<void(FileSink&)>& produce);

// Whether `name` is one of our temporary files (the shape above).
bool isDurableTempName(const QString& name);

// How old an unfinished temporary file must be before a later write may remove it.
inline constexpr int64_t kStaleTempSeconds = 60;

}  // namespace Platform
