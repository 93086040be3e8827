#include "Settings.h"

#include "AtomicFile.h"
#include "Compositor.h"
#include "ToolkitError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

namespace Document {
namespace {

const QString kWindow = QStringLiteral("Window");
const QString kAppearance = QStringLiteral("Appearance");
const QString kFolders = QStringLiteral("Folders");
const QString kRecent = QStringLiteral("RecentFiles");

// Values are one line each: a backslash, a line end or a tab in a file name is escaped.
QString escaped(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else
            out += c;
    }
    return out;
}

QString unescaped(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        out += next == u'n'   ? QChar(u'\n')
               : next == u'r' ? QChar(u'\r')
               : next == u't' ? QChar(u'\t')
                              : next;
    }
    return out;
}

std::optional<int32_t> intValue(const QString& text, int64_t low, int64_t high) {
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok || v < low || v > high)
        return std::nullopt;
    return static_cast<int32_t>(v);
}

std::optional<bool> boolValue(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QStringLiteral("true") || t == QStringLiteral("1"))
        return true;
    if (t == QStringLiteral("false") || t == QStringLiteral("0"))
        return false;
    return std::nullopt;
}

std::optional<QRect> rectValue(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    // Screens span at most a few tens of thousands of pixels, whichever way they are arranged.
    constexpr int kFar = 100000;
    const auto x = intValue(parts[0], -kFar, kFar);
    const auto y = intValue(parts[1], -kFar, kFar);
    const auto w = intValue(parts[2], 1, kFar);
    const auto h = intValue(parts[3], 1, kFar);
    if (!x || !y || !w || !h)
        return std::nullopt;
    return QRect(*x, *y, *w, *h);
}

QString boolText(bool b) {
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

// One value of the file into the settings; what is not understood is left out.
void take(Settings& s, const QString& section, const QString& key, const QString& value) {
    constexpr int64_t kMinInt = std::numeric_limits<int32_t>::min();
    constexpr int64_t kMaxInt = std::numeric_limits<int32_t>::max();
    auto font = [&s]() -> Markers::MarkerFont& {
        if (!s.Font)
            s.Font = Markers::MarkerFont{};
        return *s.Font;
    };
    auto flag = [&](bool Markers::MarkerFont::*member) {
        if (const auto b = boolValue(value))
            font().*member = *b;
    };
    if (section == kWindow) {
        if (key == QStringLiteral("Geometry"))
            s.WindowGeometry = rectValue(value);
        else if (key == QStringLiteral("Maximized"))
            s.WindowMaximized = boolValue(value).value_or(false);
    } else if (section == kAppearance) {
        if (key == QStringLiteral("FontName")) {
            if (!value.trimmed().isEmpty())
                font().Name = value;
        } else if (key == QStringLiteral("FontSize")) {
            if (const auto v = intValue(value, 1, 999))
                font().Size = *v;
        } else if (key == QStringLiteral("FontColor")) {
            if (const auto v = intValue(value, kMinInt, kMaxInt))
                font().Color = *v;
        } else if (key == QStringLiteral("FontBold")) {
            flag(&Markers::MarkerFont::Bold);
        } else if (key == QStringLiteral("FontItalic")) {
            flag(&Markers::MarkerFont::Italic);
        } else if (key == QStringLiteral("FontUnderline")) {
            flag(&Markers::MarkerFont::Underline);
        } else if (key == QStringLiteral("FontStrikeOut")) {
            flag(&Markers::MarkerFont::StrikeOut);
        } else if (key == QStringLiteral("Style")) {
            s.Style = intValue(value, Markers::StyleNone, Markers::StyleCircle2);
        } else if (key == QStringLiteral("MarkerSize")) {
            s.MarkerSize = intValue(value, Settings::kMinMarkerSize, Settings::kMaxMarkerSize);
        }
    } else if (section == kFolders) {
        if (!key.isEmpty() && !value.isEmpty())
            s.Folders[key] = value;
    } else if (section == kRecent) {
        if (key.startsWith(QStringLiteral("File")) && !value.isEmpty())
            s.RecentFiles.append(value);
    }
}

}  // namespace

Settings Settings::FromText(const QByteArray& text) {
    Settings s;
    QString section;
    for (const QString& raw : QString::fromUtf8(text).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        take(s, section, line.left(eq).trimmed(), unescaped(line.mid(eq + 1).trimmed()));
    }
    return s;
}

QByteArray Settings::ToText() const {
    QString t;
    auto put = [&t](const QString& key, const QString& value) {
        t += key + QLatin1Char('=') + escaped(value) + QLatin1Char('\n');
    };
    t += QLatin1Char('[') + kWindow + QStringLiteral("]\n");
    if (WindowGeometry) {
        const QRect& g = *WindowGeometry;
        put(QStringLiteral("Geometry"),
            QStringLiteral("%1,%2,%3,%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()));
    }
    put(QStringLiteral("Maximized"), boolText(WindowMaximized));
    t += QLatin1Char('[') + kAppearance + QStringLiteral("]\n");
    if (Font) {
        put(QStringLiteral("FontName"), Font->Name);
        put(QStringLiteral("FontSize"), QString::number(Font->Size));
        put(QStringLiteral("FontColor"), QString::number(Font->Color));
        put(QStringLiteral("FontBold"), boolText(Font->Bold));
        put(QStringLiteral("FontItalic"), boolText(Font->Italic));
        put(QStringLiteral("FontUnderline"), boolText(Font->Underline));
        put(QStringLiteral("FontStrikeOut"), boolText(Font->StrikeOut));
    }
    if (Style)
        put(QStringLiteral("Style"), QString::number(*Style));
    if (MarkerSize)
        put(QStringLiteral("MarkerSize"), QString::number(*MarkerSize));
    t += QLatin1Char('[') + kFolders + QStringLiteral("]\n");
    for (const auto& [dialog, folder] : Folders)
        put(dialog, folder);
    t += QLatin1Char('[') + kRecent + QStringLiteral("]\n");
    for (qsizetype i = 0; i < RecentFiles.size(); ++i)
        put(QStringLiteral("File%1").arg(i + 1), RecentFiles.at(i));
    return t.toUtf8();
}

Settings Settings::Read(const QString& path) {
    QFile file(path);
    if (!QFileInfo(file).isFile() || QFileInfo(file).size() > kMaxFileSize ||
        !file.open(QIODevice::ReadOnly))
        return {};
    return FromText(file.read(kMaxFileSize));
}

void Settings::Write(const QString& path) const {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw Platform::ToolkitError(Platform::Msg::cannotCreateFile(path));
    Platform::writeFileDurably(path, ToText());
}

}  // namespace Document
