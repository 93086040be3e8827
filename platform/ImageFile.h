#pragma once

#include "Bitmap.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

// Source images in every format the toolkit's image readers take, and PNG beside BMP for
// export. Failures throw ToolkitError with the texts of the BMP codec (Bmp.h).
namespace Platform {

// A BMP (told by its "BM" signature, whatever the name) is read by our own codec and keeps its
// pixel format. Any other image becomes a 24-bit bitmap, transparent pixels laid over white.
//   a file that cannot be opened       "ファイル %s は開けません"
//   a file that no reader takes        "ビットマップイメージが不正です"
//   an image over Bitmap's size limits "ビットマップイメージが不正です", refused before decoding
//   not enough memory to decode it     "メモリが不足しています"
Bitmap readImageFile(const QString& path);

// The lower-case suffixes of the formats that can be read on this machine: "bmp" first, the
// others sorted.
QStringList readableImageSuffixes();
// The open dialog's filter for them: "画像ファイル(*.bmp *.gif *.jpg ...)".
QString readableImageFilter();

// The bitmap as 24-bit RGB (Format_RGB888) with its resolution, for the toolkit's image users.
QImage toRgbImage(const Bitmap& bitmap);

// A complete PNG file image: 8-bit RGB, no alpha, the bitmap's resolution when it has one.
// Built with libdeflate where it is available (an 8K picture in about a second even when it
// is noise), otherwise with the toolkit's writer at a fast compression level.
QByteArray encodePng(const Bitmap& bitmap);
// Written whole or not at all, like Bmp::writeFile, with the same failure texts.
void writePngFile(const Bitmap& bitmap, const QString& path);
// PNG for a name ending in ".png" (in any case), BMP for every other name.
void writeImageFile(const Bitmap& bitmap, const QString& path);

}  // namespace Platform
