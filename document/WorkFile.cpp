#include "WorkFile.h"

#include "AtomicFile.h"
#include "Bmp.h"
#include "Compositor.h"
#include "Cp932.h"
#include "IntText.h"
#include "TempFile.h"
#include "ToolkitError.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <optional>

namespace Document {

using Platform::ToolkitError;
namespace Msg = Platform::Msg;

namespace {

constexpr int64_t kHeaderSize = 8;
constexpr int64_t kCopyChunk = 64 * 1024;

bool isBlank(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x01 && u <= 0x20;
}

bool needsQuotes(std::string_view item) {
    for (std::size_t i = 0; i < item.size(); ++i) {
        const char c = item[i];
        if (Platform::Cp932::isLeadByte(static_cast<unsigned char>(c)) && i + 1 < item.size()) {
            ++i;  // the trail byte is part of the character, never a separator
            continue;
        }
        if (isBlank(c) || c == '"' || c == ',')
            return true;
    }
    return false;
}

std::string quoteItem(std::string_view item) {
    std::string out = "\"";
    for (const char c : item) {
        out += c;
        if (c == '"')
            out += '"';
    }
    out += '"';
    return out;
}

const std::string& itemAt(const std::vector<std::string>& items, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items.size())
        throw ToolkitError(Texts::listIndexOutOfBounds(index));
    return items[static_cast<std::size_t>(index)];
}

std::optional<int32_t> readInt(std::string_view item) {
    return Platform::parseInt32(item, Platform::IntSpelling::WorkFile);
}

std::string textBlock(const WorkLines& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void putLength(char* at, int64_t length) {
    // A block that does not fit the header's 32 bits cannot be written as a work file.
    if (length > std::numeric_limits<int32_t>::max())
        throw ToolkitError(Msg::streamWriteError());
    qToLittleEndian<int32_t>(static_cast<int32_t>(length), at);
}

struct BlockSizes {
    int64_t text = 0;
    int64_t bitmap = 0;
};

// The two lengths, checked against the size of the whole file. A length of zero or less never
// comes from our writer (the text holds two lines, the bitmap its headers); like a length past
// the end, it is a read error, so every broken header gives the same first message.
BlockSizes checkHeader(const char* header, int64_t fileSize) {
    const BlockSizes sizes{qFromLittleEndian<int32_t>(header),
                           qFromLittleEndian<int32_t>(header + 4)};
    if (sizes.text <= 0 || sizes.bitmap <= 0 || kHeaderSize + sizes.text + sizes.bitmap > fileSize)
        throw ToolkitError(Msg::streamReadError());
    return sizes;
}

// One fresh temporary file, deleted with the object.
class StagedFile {
public:
    StagedFile() : m_path(MakeTempFileName()) {}
    ~StagedFile() {
        if (!m_path.isEmpty())
            QFile::remove(m_path);  // a file that cannot be deleted is left behind silently
    }
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const QString& path() const noexcept { return m_path; }

private:
    QString m_path;
};

// Two fresh temporary files, deleted with the object whatever happened in between. Each is its
// own member, so when the second cannot be made the first is deleted all the same.
class StagingFiles {
public:
    const QString& text() const noexcept { return m_text.path(); }
    const QString& bitmap() const noexcept { return m_bitmap.path(); }

private:
    StagedFile m_text;
    StagedFile m_bitmap;
};

void openForWriting(QFile& file) {
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ToolkitError(Msg::cannotCreateFile(file.fileName()));
}

void writeAll(QIODevice& to, const char* data, int64_t count) {
    if (to.write(data, count) != count)
        throw ToolkitError(Msg::streamWriteError());
}

void closeWritten(QFile& file) {
    if (!file.flush())
        throw ToolkitError(Msg::streamWriteError());
    file.close();
}

void writeFileWhole(const QString& path, const char* data, int64_t count) {
    QFile file(path);
    openForWriting(file);
    writeAll(file, data, count);
    closeWritten(file);
}

// Hands exactly `count` bytes of `from` to `put`; fewer bytes there is the stream read error.
void copyBytes(QIODevice& from, int64_t count,
               const std::function<void(const char*, int64_t)>& put) {
    std::vector<char> buffer(static_cast<std::size_t>(std::min(count, kCopyChunk)));
    while (count > 0) {
        const int64_t want = std::min<int64_t>(count, static_cast<int64_t>(buffer.size()));
        const int64_t got = from.read(buffer.data(), want);
        if (got <= 0)
            throw ToolkitError(Msg::streamReadError());
        put(buffer.data(), got);
        count -= got;
    }
}

void copyBytes(QIODevice& from, QIODevice& to, int64_t count) {
    copyBytes(from, count, [&](const char* data, int64_t n) { writeAll(to, data, n); });
}

// A staged block read back whole; it must still hold the bytes copied into it.
QByteArray readStaged(const QString& path, int64_t expected) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ToolkitError(Msg::cannotOpenFile(path));
    QByteArray bytes = file.readAll();
    if (bytes.size() != expected)
        throw ToolkitError(Msg::streamReadError());
    return bytes;
}

}  // namespace

// ---- Comma lists ----

std::string EncodeCommaList(const std::vector<std::string>& items) {
    if (items.size() == 1 && items.front().empty())
        return "\"\"";
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ',';
        out += needsQuotes(items[i]) ? quoteItem(items[i]) : items[i];
    }
    return out;
}

// A quoted item without its closing quote runs to the end of the line: the writer never makes
// one, and keeping what is there loses the least.
std::vector<std::string> DecodeCommaList(std::string_view line) {
    line = line.substr(0, line.find('\0'));
    const std::size_t n = line.size();
    std::vector<std::string> items;
    std::size_t i = 0;
    while (i < n && isBlank(line[i]))
        ++i;
    while (i < n) {
        std::string item;
        if (line[i] == '"') {
            ++i;
            while (i < n) {
                if (line[i] == '"') {
                    if (i + 1 < n && line[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += line[i++];
            }
        } else {
            const std::size_t start = i;
            while (i<n&& static_cast<unsigned char>(line[i])> 0x20 && line[i] != ',')
                ++i;
            item.assign(line.substr(start, i - start));
        }
        items.push_back(std::move(item));
        while (i < n && isBlank(line[i]))
            ++i;
        if (i < n && line[i] == ',') {
            ++i;
            while (i < n && isBlank(line[i]))
                ++i;
            if (i == n)
                items.emplace_back();
        }
    }
    return items;
}

WorkLines SplitLines(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    WorkLines lines;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n')
            ++i;
        lines.emplace_back(text.substr(start, i - start));
        if (i < text.size())
            i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    }
    return lines;
}

// ---- The lines of a document ----

WorkLines MakeWorkLines(const Markers::MarkerFont& font, int32_t backgroundStyle,
                        const Markers::MarkerMap& markers) {
    auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    WorkLines lines;
    lines.reserve(2 + markers.size());
    lines.push_back(
        EncodeCommaList({Platform::Cp932::fromUnicode(font.Name), std::to_string(font.Size),
                         std::to_string(font.Color), flag(font.Bold), flag(font.Italic),
                         flag(font.Underline), flag(font.StrikeOut)}));
    lines.push_back(std::to_string(backgroundStyle));
    for (const auto& [key, m] : markers)
        lines.push_back(
            EncodeCommaList({std::to_string(m.Left), std::to_string(m.Top), std::to_string(m.Right),
                             std::to_string(m.Bottom), std::to_string(key)}));
    return lines;
}

const std::string& LineAt(const WorkLines& lines, int index) {
    return itemAt(lines, index);
}

Markers::MarkerFont ReadFontLine(std::string_view line) {
    const std::vector<std::string> items = DecodeCommaList(line);
    Markers::MarkerFont font;
    font.Size = readInt(itemAt(items, 1)).value_or(12);
    font.Name = Platform::Cp932::toUnicode(itemAt(items, 0));
    font.Color = readInt(itemAt(items, 2)).value_or(0);
    font.Bold = itemAt(items, 3) != "0";
    font.Italic = itemAt(items, 4) != "0";
    font.Underline = itemAt(items, 5) != "0";
    font.StrikeOut = itemAt(items, 6) != "0";
    return font;
}

int32_t ReadStyleLine(std::string_view line) {
    const int32_t style = readInt(line).value_or(Markers::StyleButton);
    return style >= Markers::StyleNone && style <= Markers::StyleCircle2 ? style
                                                                         : Markers::StyleButton;
}

MarkerLine ReadMarkerLine(std::string_view line) {
    const std::vector<std::string> items = DecodeCommaList(line);
    MarkerLine m;
    m.Rect.Left = readInt(itemAt(items, 0)).value_or(0);
    m.Rect.Top = readInt(itemAt(items, 1)).value_or(0);
    // A missing far edge is one glyph from the near one (held at the 32-bit limit).
    const Markers::Marker glyph = Markers::MakeMarker(m.Rect.Left, m.Rect.Top);
    m.Rect.Right = readInt(itemAt(items, 2)).value_or(glyph.Right);
    m.Rect.Bottom = readInt(itemAt(items, 3)).value_or(glyph.Bottom);
    const std::string& key = itemAt(items, 4);
    const std::optional<int32_t> value = readInt(key);
    if (!value)
        throw ToolkitError(Texts::notAnInteger(Platform::Cp932::toUnicode(key)));
    m.Key = *value;
    return m;
}

WorkDocument ReadWorkDocument(const WorkLines& lines) {
    WorkDocument doc;
    doc.Font = ReadFontLine(LineAt(lines, 0));
    doc.BackgroundStyle = ReadStyleLine(LineAt(lines, 1));
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const MarkerLine m = ReadMarkerLine(lines[i]);
        doc.Markers.InsertMarker(m.Key, m.Rect);  // a key met before keeps its first marker
    }
    return doc;
}

// ---- Whole files ----

QByteArray EncodeWorkFile(const Platform::Bitmap& bitmap, const WorkLines& lines) {
    const std::string text = textBlock(lines);
    const QByteArray image = Platform::Bmp::encode(bitmap);
    QByteArray out(kHeaderSize, '\0');
    putLength(out.data(), static_cast<int64_t>(text.size()));
    putLength(out.data() + 4, image.size());
    out.append(text.data(), static_cast<qsizetype>(text.size()));
    out.append(image);
    return out;
}

WorkFileImage DecodeWorkFile(QByteArrayView bytes) {
    if (bytes.size() < kHeaderSize)
        throw ToolkitError(Msg::streamReadError());
    const BlockSizes sizes = checkHeader(bytes.data(), bytes.size());
    WorkFileImage image;
    image.Lines = SplitLines(
        std::string_view(bytes.data() + kHeaderSize, static_cast<std::size_t>(sizes.text)));
    image.Bitmap = Platform::Bmp::decode(bytes.sliced(kHeaderSize + sizes.text, sizes.bitmap));
    return image;
}

QString MakeTempFileName() {
    return Platform::createTempFile(QStringLiteral("tmp"));
}

void WriteWorkFile(const Platform::Bitmap& bitmap, const WorkLines& lines, const QString& path) {
    StagingFiles staged;
    const std::string text = textBlock(lines);
    writeFileWhole(staged.text(), text.data(), static_cast<int64_t>(text.size()));
    const QByteArray image = Platform::Bmp::encode(bitmap);
    writeFileWhole(staged.bitmap(), image.data(), image.size());

    QFile textFile(staged.text());
    QFile bitmapFile(staged.bitmap());
    if (!textFile.open(QIODevice::ReadOnly))
        throw ToolkitError(Msg::cannotOpenFile(staged.text()));
    if (!bitmapFile.open(QIODevice::ReadOnly))
        throw ToolkitError(Msg::cannotOpenFile(staged.bitmap()));
    std::array<char, kHeaderSize> header{};
    putLength(header.data(), textFile.size());
    putLength(header.data() + 4, bitmapFile.size());

    // The durable writer refuses a file marked read-only, whoever runs the program.
    Platform::writeFileDurably(path, [&](Platform::FileSink& out) {
        out.write(header.data(), kHeaderSize);
        copyBytes(textFile, textFile.size(),
                  [&](const char* data, int64_t count) { out.write(data, count); });
        copyBytes(bitmapFile, bitmapFile.size(),
                  [&](const char* data, int64_t count) { out.write(data, count); });
    });
}

WorkFileImage ReadWorkFile(const QString& path) {
    QFile in(path);
    // Only a regular file is read: a pipe or device could block or never end.
    if (!QFileInfo(path).isFile() || !in.open(QIODevice::ReadOnly))
        throw ToolkitError(Msg::cannotOpenFile(path));
    // The text block is staged in a temporary file, made after the work file is open so that a
    // file that is not there is reported as such even when no temporary file could be made.
    StagedFile stagedText;
    QFile textFile(stagedText.path());
    openForWriting(textFile);

    std::array<char, kHeaderSize> header{};
    if (in.read(header.data(), kHeaderSize) != kHeaderSize)
        throw ToolkitError(Msg::streamReadError());
    const BlockSizes sizes = checkHeader(header.data(), in.size());
    copyBytes(in, textFile, sizes.text);
    closeWritten(textFile);

    WorkFileImage image;
    const QByteArray text = readStaged(stagedText.path(), sizes.text);
    image.Lines = SplitLines(std::string_view(text.data(), static_cast<std::size_t>(text.size())));
    // The bitmap block goes from the file straight into the bitmap's pixels.
    image.Bitmap = Platform::Bmp::readFrom(in, kHeaderSize + sizes.text, sizes.bitmap);
    return image;
}

}  // namespace Document
