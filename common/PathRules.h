#pragma once

// Byte-level rules for code page 932 text and "/"-separated paths, shared by the library's
// text and path functions. Internal: not part of the installed interface.

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace Common::Detail {

// For each byte of `s`: true when it is the first byte of a double-byte character (a lead
// byte followed by another byte). Scans from the start, so a trail byte is never taken for a
// lead byte.
std::vector<bool> leadBytes(std::string_view s);
// For each byte: true when it is the second byte of a double-byte character.
std::vector<bool> trailBytes(std::string_view s);

// Index of the last `delimiter` that is not the second byte of a double-byte character.
std::size_t lastDelimiter(std::string_view s, char delimiter);

// The folder part with its trailing "/" ("" when there is none).
std::string extractFilePath(const std::string& path);
// The folder part without the trailing "/", except for the root "/" and after another "/".
std::string extractFileDir(const std::string& path);
// The text after the last "/".
std::string extractFileName(const std::string& path);
// The name up to its last "." after the last "/", followed by `ext` (which carries its dot).
std::string changeFileExt(const std::string& path, const std::string& ext);

// The running executable's full path ("" when unknown).
QString executablePath();

// Conversions between code page 932 paths and the file system's names.
QString toQString(const std::string& cp932);
std::string toCp932(const QString& text);

}  // namespace Common::Detail
