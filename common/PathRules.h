#pragma once

// Byte-level rules for code page 932 text and "/"-separated paths, shared by the library's
// text and path functions. Internal: not part of the installed interface.

#include <QString>

#include <filesystem>
#include <optional>
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

// A code page 932 path as the file system's own (wide on Windows, UTF-8 elsewhere) name.
std::filesystem::path toFsPath(const std::string& cp932);
// The folder without one trailing "/", except for the root "/" itself.
std::string withoutTrailingSlash(std::string folder);

// The string `key` ("\\FileVersion") of a file's version record, as the system's own version
// lookup finds it (empty when the record lacks it); nullopt where the system has no such lookup
// or does not read this file's record (an ELF file on Windows), and our reader is used.
std::optional<QString> systemVersionString(const QString& path, const std::u16string& key);

// The code page 932 text in full width (toFull) or half width as the system's locale maps it; nullopt where
// the system has no such mapping and the library's own table is used.
std::optional<std::string> systemWidthMap(std::string_view cp932, bool toFull);

}  // namespace Common::Detail
