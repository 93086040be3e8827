#pragma once

#include "MarkerFont.h"

#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <optional>

namespace Document {

// What the program remembers between runs, in one small INI-style text file (UTF-8):
//   [Window]      Geometry=x,y,width,height (the normal frame) and Maximized=true|false
//   [Appearance]  the marker font (FontName, FontSize, FontColor as 0x00BBGGRR in decimal,
//                 FontBold, FontItalic, FontUnderline, FontStrikeOut), Style (0 .. 5) and
//                 MarkerSize
//   [Folders]     each file dialog's last folder, under the dialog's name
//   [RecentFiles] File1 .. File8, newest first
// Reading is lenient: a missing, unreadable, oversized or broken file, and any line or value
// that does not make sense, gives the defaults for what it held and no message. Absent values
// stay unset, so a first start looks exactly like a program that remembers nothing.
struct Settings {
    std::optional<QRect> WindowGeometry;
    bool WindowMaximized = false;
    std::optional<Markers::MarkerFont> Font;
    std::optional<int32_t> Style;
    // The document-wide marker size (16 .. 128) for a program whose documents have one: kept
    // and validated here; the window applies it where the document has a marker size.
    std::optional<int32_t> MarkerSize;
    std::map<QString, QString> Folders;
    QStringList RecentFiles;

    static constexpr int32_t kMinMarkerSize = 16;
    static constexpr int32_t kMaxMarkerSize = 128;
    // A settings file is a few hundred bytes; anything much larger is not ours.
    static constexpr qint64 kMaxFileSize = 256 * 1024;

    static Settings Read(const QString& path);
    // Written whole through the durable writer, the folder made first. Throws
    // Platform::ToolkitError with the writer's message when it cannot be written.
    void Write(const QString& path) const;

    // The file's text, and the settings a text gives (the two halves of Read and Write).
    QByteArray ToText() const;
    static Settings FromText(const QByteArray& text);
};

}  // namespace Document
