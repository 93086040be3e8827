#pragma once

#include "Bitmap.h"
#include "DocumentMessages.h"
#include "MarkerFont.h"
#include "MarkerMap.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The work file (*.ptn): one whole document, so that its markers stay editable.
//
//   offset 0      4 bytes  T, length of the text block (signed 32-bit, little-endian)
//   offset 4      4 bytes  B, length of the bitmap block (likewise)
//   offset 8      T bytes  text block: lines in code page 932, each ended by CR LF
//                              1. font: face, size, colour, bold, italic, underline, strike-out
//                              2. background style
//                              3... one marker per line: left, top, right, bottom, key
//   offset 8 + T  B bytes  the source image as a complete BMP file image
//
// Anything after the bitmap block is ignored. Every failure throws Platform::ToolkitError with
// the text the user is shown; nothing here shows a dialog.
namespace Document {

// The text block's lines as bytes in code page 932, without their line ends.
using WorkLines = std::vector<std::string>;

// ---- Comma lists (the encoding of the font and marker lines) ----
// Items joined by ","; an item holding a byte 0x01..0x20, a double quote or a comma is quoted,
// inner double quotes doubled. Double-byte characters are stepped over whole.
std::string EncodeCommaList(const std::vector<std::string>& items);
// Blanks (0x01..0x20) around items are skipped; a quoted item runs to its closing quote, any
// other to the first byte 0x00..0x20 or comma. Two commas in a row give an empty item, and a
// comma always starts another item, even at the end of the line.
std::vector<std::string> DecodeCommaList(std::string_view line);

// Splits a text block into lines: CR LF, a lone CR and a lone LF each end a line, a NUL byte
// ends the text, text after the last line end is a last line.
WorkLines SplitLines(std::string_view text);

// ---- The lines of a document ----
WorkLines MakeWorkLines(const Markers::MarkerFont& font, int32_t backgroundStyle,
                        const Markers::MarkerMap& markers);

// Line `index` of the list; the list's index error when it has no such line.
const std::string& LineAt(const WorkLines& lines, int index);
// The font line. Fewer than seven items fail with the index of the item asked for (the size,
// item 1, is asked for first). A size or colour that is not an integer gives 12 or 0; a flag is
// set by any item but exactly "0".
Markers::MarkerFont ReadFontLine(std::string_view line);
// The style line: 0 .. 5, anything else (not an integer included) the button style, 1.
int32_t ReadStyleLine(std::string_view line);
struct MarkerLine {
    int32_t Key = 0;
    Markers::Marker Rect;
};
// A marker line: left and top default to 0, right and bottom to left + 32 and top + 32; the key
// must be an integer. Fewer than five items fail with the index of the item asked for.
MarkerLine ReadMarkerLine(std::string_view line);

// All of it at once, for readers without a window: the first line of a key listed twice wins.
struct WorkDocument {
    Markers::MarkerFont Font;
    int32_t BackgroundStyle = 1;
    Markers::MarkerMap Markers;
};
WorkDocument ReadWorkDocument(const WorkLines& lines);

// ---- Whole files ----
// A complete work file image in memory.
QByteArray EncodeWorkFile(const Platform::Bitmap& bitmap, const WorkLines& lines);
// Reads a work file image: the header's lengths are checked against the bytes there before
// anything is taken from them.
struct WorkFileImage {
    Platform::Bitmap Bitmap;
    WorkLines Lines;
};
WorkFileImage DecodeWorkFile(QByteArrayView bytes);

// A fresh, empty temporary file of the system (name prefix "tmp").
QString MakeTempFileName();

// Writes the work file at `path`. The two blocks are staged in two fresh temporary files, the
// file is then written durably (see AtomicFile.h): a failed save leaves an existing file as it
// was, and a save that returns is on the disk. The temporary files are deleted on every way out.
void WriteWorkFile(const Platform::Bitmap& bitmap, const WorkLines& lines, const QString& path);
// Reads the work file at `path`: the text block is staged in a fresh temporary file that is
// deleted on every way out, the bitmap block decoded straight from the file. Nothing is
// allocated before the lengths are known to fit the file.
WorkFileImage ReadWorkFile(const QString& path);

}  // namespace Document
