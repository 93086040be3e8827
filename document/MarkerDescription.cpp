#include "MarkerDescription.h"

#include "Compositor.h"
#include "Cp932.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Document {
namespace {

// ---- Writing ----

void putString(QByteArray& out, const QString& text) {
    out += '"';
    for (const char c : text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u == 0x7F) {
            out += QByteArray("\\u00") + QByteArray::number(u, 16).rightJustified(2, '0');
        } else {
            out += c;
        }
    }
    out += '"';
}

// Appends `"name": ` after a separator for every member but the first of its object.
void putKey(QByteArray& out, const char* name, bool first = false) {
    if (!first)
        out += ", ";
    out += '"';
    out += name;
    out += "\": ";
}

void putInt(QByteArray& out, const char* name, int64_t value, bool first = false) {
    putKey(out, name, first);
    out += QByteArray::number(value);
}

void putBool(QByteArray& out, const char* name, bool value) {
    putKey(out, name);
    out += value ? "true" : "false";
}

// ---- Reading ----

// A refusal, with the place it was found.
struct Refusal {
    QString text;
};

[[noreturn]] void refuse(const QString& place, const QString& what) {
    throw Refusal{place + QStringLiteral(": ") + what};
}

QString member(const QString& place, const QString& name) {
    return place.isEmpty() ? name : place + QLatin1Char('.') + name;
}

void onlyKnown(const QJsonObject& object, const QString& place,
               std::initializer_list<QLatin1StringView> known) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (std::find(known.begin(), known.end(), it.key()) == known.end())
            refuse(member(place, it.key()), QStringLiteral("unknown member"));
    }
}

int32_t readInt(const QJsonValue& value, const QString& place) {
    const double d = value.toDouble();
    if (!value.isDouble() || std::trunc(d) != d || d < std::numeric_limits<int32_t>::min() ||
        d > std::numeric_limits<int32_t>::max())
        refuse(place, QStringLiteral("not a 32-bit integer"));
    return static_cast<int32_t>(d);
}

// A colour is the number the work file stores (0x00BBGGRR, blue in the high byte), or the
// "#RRGGBB" of the web and of image editors.
int32_t readColor(const QJsonValue& value, const QString& place) {
    if (!value.isString())
        return readInt(value, place);
    const QString text = value.toString();
    const bool shaped =
        text.size() == 7 && text.startsWith(QLatin1Char('#')) &&
        std::all_of(text.begin() + 1, text.end(), [](QChar c) {
            return (c >= u'0' && c <= u'9') || (c.toLower() >= u'a' && c.toLower() <= u'f');
        });
    bool ok = false;
    const uint rgb = shaped ? text.mid(1).toUInt(&ok, 16) : 0;
    if (!ok)
        refuse(place, QStringLiteral("not a 32-bit integer or \"#RRGGBB\""));
    return Markers::ColorValue(int(rgb >> 16 & 0xFF), int(rgb >> 8 & 0xFF), int(rgb & 0xFF));
}

bool readBool(const QJsonValue& value, const QString& place) {
    if (!value.isBool())
        refuse(place, QStringLiteral("not true or false"));
    return value.toBool();
}

QJsonObject readObject(const QJsonValue& value, const QString& place) {
    if (!value.isObject())
        refuse(place, QStringLiteral("not an object"));
    return value.toObject();
}

Markers::MarkerFont readFont(const QJsonObject& object, Markers::MarkerFont font) {
    const QString place = QStringLiteral("font");
    onlyKnown(object, place,
              {QLatin1StringView("face"), QLatin1StringView("size"), QLatin1StringView("color"),
               QLatin1StringView("bold"), QLatin1StringView("italic"),
               QLatin1StringView("underline"), QLatin1StringView("strikeout")});
    if (object.contains(QLatin1StringView("face"))) {
        const QJsonValue face = object.value(QLatin1StringView("face"));
        if (!face.isString())
            refuse(member(place, QStringLiteral("face")), QStringLiteral("not a string"));
        // The work file keeps the face in code page 932: what it cannot hold would come back
        // as another name.
        const QString name = face.toString();
        if (Platform::Cp932::toUnicode(Platform::Cp932::fromUnicode(name)) != name)
            refuse(member(place, QStringLiteral("face")),
                   QStringLiteral("holds characters code page 932 cannot hold"));
        // Nor can a line of it hold a line end, or anything after a NUL.
        for (const QChar c : name) {
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\0'))
                refuse(member(place, QStringLiteral("face")),
                       QStringLiteral("holds a line end or a NUL"));
        }
        font.Name = name;
    }
    auto intOf = [&](const char* name, int32_t& to) {
        if (object.contains(QLatin1StringView(name)))
            to = readInt(object.value(QLatin1StringView(name)), member(place, name));
    };
    auto boolOf = [&](const char* name, bool& to) {
        if (object.contains(QLatin1StringView(name)))
            to = readBool(object.value(QLatin1StringView(name)), member(place, name));
    };
    intOf("size", font.Size);
    if (object.contains(QLatin1StringView("color")))
        font.Color = readColor(object.value(QLatin1StringView("color")), member(place, "color"));
    boolOf("bold", font.Bold);
    boolOf("italic", font.Italic);
    boolOf("underline", font.Underline);
    boolOf("strikeout", font.StrikeOut);
    return font;
}

void readMarkers(const QJsonValue& value, int32_t size, Markers::MarkerMap& markers) {
    const QString place = QStringLiteral("markers");
    if (!value.isArray())
        refuse(place, QStringLiteral("not an array"));
    const QJsonArray list = value.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString at = QStringLiteral("markers[%1]").arg(i);
        const QJsonObject object = readObject(list.at(i), at);
        onlyKnown(
            object, at,
            {QLatin1StringView("key"), QLatin1StringView("number"), QLatin1StringView("left"),
             QLatin1StringView("top"), QLatin1StringView("right"), QLatin1StringView("bottom")});
        auto required = [&](const char* name) {
            if (!object.contains(QLatin1StringView(name)))
                refuse(member(at, name), QStringLiteral("missing"));
            return readInt(object.value(QLatin1StringView(name)), member(at, name));
        };
        const int32_t key = required("key");
        if (key < kLowestKey || key > kHighestKey)
            refuse(member(at, QStringLiteral("key")), QStringLiteral("not from 0 to 98"));
        Markers::Marker m = Markers::MakeMarker(required("left"), required("top"), size);
        if (object.contains(QLatin1StringView("right")))
            m.Right = required("right");
        if (object.contains(QLatin1StringView("bottom")))
            m.Bottom = required("bottom");
        if (!markers.InsertMarker(key, m))
            refuse(member(at, QStringLiteral("key")),
                   QStringLiteral("%1 is given more than once").arg(key));
    }
}

QString syntaxPlace(QByteArrayView json, qsizetype offset) {
    int line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < offset && i < json.size(); ++i) {
        if (json[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return QStringLiteral("%1:%2").arg(line).arg(offset - lineStart + 1);
}

}  // namespace

QByteArray DescribeAsJson(const Markers::MarkerFont& font, int32_t backgroundStyle,
                          const ImageShape& image, const Markers::MarkerMap& markers) {
    QByteArray out = "{";
    putKey(out, "font", true);
    out += '{';
    putKey(out, "face", true);
    putString(out, font.Name);
    putInt(out, "size", font.Size);
    putInt(out, "color", font.Color);
    putBool(out, "bold", font.Bold);
    putBool(out, "italic", font.Italic);
    putBool(out, "underline", font.Underline);
    putBool(out, "strikeout", font.StrikeOut);
    out += '}';
    putInt(out, "style", backgroundStyle);
    putKey(out, "image");
    out += '{';
    putInt(out, "width", image.Width, true);
    putInt(out, "height", image.Height);
    putInt(out, "bits", image.Bits);
    out += '}';
    putKey(out, "markers");
    out += '[';
    bool first = true;
    for (const auto& [key, m] : markers) {
        if (!first)
            out += ", ";
        first = false;
        out += '{';
        putInt(out, "key", key, true);
        putInt(out, "number", Markers::MarkerNumber(key));
        putInt(out, "left", m.Left);
        putInt(out, "top", m.Top);
        putInt(out, "right", m.Right);
        putInt(out, "bottom", m.Bottom);
        out += '}';
    }
    out += "]}\n";
    return out;
}

DescriptionRead ReadDescription(QByteArrayView json, const Description& defaults) {
    DescriptionRead result;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError) {
        result.Error = syntaxPlace(json, error.offset) + QStringLiteral(": ") + error.errorString();
        return result;
    }
    try {
        if (!doc.isObject())
            refuse(QStringLiteral("1:1"), QStringLiteral("not an object"));
        const QJsonObject top = doc.object();
        onlyKnown(
            top, {},
            {QLatin1StringView("font"), QLatin1StringView("style"), QLatin1StringView("image"),
             QLatin1StringView("markers"), QLatin1StringView("size")});
        Description d;
        d.Font = defaults.Font;
        d.BackgroundStyle = defaults.BackgroundStyle;
        if (top.contains(QLatin1StringView("font")))
            d.Font = readFont(
                readObject(top.value(QLatin1StringView("font")), QStringLiteral("font")), d.Font);
        if (top.contains(QLatin1StringView("style"))) {
            d.BackgroundStyle =
                readInt(top.value(QLatin1StringView("style")), QStringLiteral("style"));
            if (d.BackgroundStyle < Markers::StyleNone || d.BackgroundStyle > Markers::StyleCircle2)
                refuse(QStringLiteral("style"), QStringLiteral("not from 0 to 5"));
        }
        if (top.contains(QLatin1StringView("size"))) {
            d.MarkerSize = readInt(top.value(QLatin1StringView("size")), QStringLiteral("size"));
            if (d.MarkerSize < Markers::MinMarkerSize || d.MarkerSize > Markers::MaxMarkerSize)
                refuse(QStringLiteral("size"), QStringLiteral("not from %1 to %2")
                                                   .arg(Markers::MinMarkerSize)
                                                   .arg(Markers::MaxMarkerSize));
        }
        if (top.contains(QLatin1StringView("markers")))
            readMarkers(top.value(QLatin1StringView("markers")), d.MarkerSize, d.Markers);
        result.Value = std::move(d);
    } catch (const Refusal& r) {
        result.Error = r.text;
    }
    return result;
}

}  // namespace Document
