#pragma once

#include "AtomicFile.h"
#include "Bitmap.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

// The Windows BMP format: reading nearly every variant that exists, writing the plain one.
// Every failure throws ToolkitError with the text the user is shown:
//   the file cannot be opened          "ファイル %s は開けません"
//   the file cannot be created         "ファイル %s を作成できません"
//   fewer bytes than the headers say   "ストリームからの読み込みエラー"
//   writing fails                      "ストリームへの書き込みエラー"
//   anything that is not a valid BMP   "ビットマップイメージが不正です"
//   a picture too big for the memory   "メモリが不足しています"
// A valid BMP has a known header size (12, 16, 64, 40, 52, 56, 108 or 124 bytes), an existing
// pair of depth and compression, sides below 65536 and at most Bitmap::kMaxPixels pixels, and
// palette indexes inside its colour table. Sizes in the headers that reach past the end of the
// file are short reads, even where the pixels themselves are there.
namespace Platform::Bmp {

// A BMP file image (file header "BM" first). The bitmap keeps the file's pixel format: RLE
// images become the uncompressed bitmap of the same depth.
Bitmap decode(QByteArrayView bytes);
Bitmap readFile(const QString& path);
// The BMP file image of `size` bytes at `offset` in an open file (a block of a larger file),
// read as decode() reads it, the rows going straight from the file into the bitmap.
Bitmap readFrom(QFile& file, int64_t offset, int64_t size);

// A complete BMP file image: file header, 40-byte information header, colour table for
// indexed formats, bit fields for 16/32-bit masks other than the default, rows bottom-up
// padded to 4 bytes.
QByteArray encode(const Bitmap& bitmap);
// The same bytes handed to `sink` in pieces, without the whole file in memory at once.
void encodeTo(const Bitmap& bitmap, FileSink& sink);
// Writes the file whole or not at all, and on the disk before it returns (see AtomicFile.h).
void writeFile(const Bitmap& bitmap, const QString& path);

}  // namespace Platform::Bmp
