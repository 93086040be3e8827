// pictanote-glyphgen OUTPUT-FOLDER: draws the 67 marker glyphs, each a 32 x 32 bitmap of 16
// colours, and writes them as NAME.bmp ("NONE", "BUTTON", "SELECTED", and prefix + "BOX01",
// "BOX02", "CIRCLE01", "CIRCLE02" for each marker colour). Run by the build; every pixel comes
// from the rules below, so the glyphs are reproducible and reviewable.
#include "Bitmap.h"
#include "Bmp.h"
#include "MarkerColors.h"
#include "ToolkitError.h"

#include <QDir>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using Markers::Rgb;

constexpr int kSize = 32;

// The standard 16-colour table; every glyph colour is one of these.
constexpr std::array<Rgb, 16> kPalette{{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

int paletteIndex(Rgb c) {
    const auto it = std::find(kPalette.begin(), kPalette.end(), c);
    if (it == kPalette.end())
        throw std::invalid_argument("colour not in the 16-colour table");
    return static_cast<int>(it - kPalette.begin());
}

// A glyph as a rule: the colour of pixel (x, y).
using Art = std::function<Rgb(int x, int y)>;

Platform::Bitmap render(const Art& art) {
    Platform::Bitmap bitmap(kSize, kSize, 4);
    std::vector<QRgb> table;
    for (const Rgb& c : kPalette)
        table.push_back(qRgb(c.red, c.green, c.blue));
    bitmap.setColorTable(table);
    bitmap.setDotsPerMeter(3780, 3780);
    for (int y = 0; y < kSize; ++y) {
        uint8_t* row = bitmap.scanLine(y);
        for (int x = 0; x < kSize; ++x) {
            const int index = paletteIndex(art(x, y));
            row[x / 2] = static_cast<uint8_t>(x % 2 == 0 ? (row[x / 2] & 0x0F) | index << 4
                                                         : (row[x / 2] & 0xF0) | index);
        }
    }
    return bitmap;
}

// Squared distance of a pixel's centre from the cell's centre (16, 16), in quarter pixels so
// it stays integral: (2x + 1 - 32)^2 + (2y + 1 - 32)^2 = 4 d^2.
int distance4(int x, int y) {
    const int dx = 2 * x + 1 - kSize;
    const int dy = 2 * y + 1 - kSize;
    return dx * dx + dy * dy;
}

// The ring touches the middle of each side (outer radius 16) and is 3 pixels wide there: the
// pixel centres at 0.5, 1.5 and 2.5 from the edge lie inside, the one at 3.5 does not.
constexpr int kOuterRadius = 16;
constexpr int kInnerRadius = 13;
bool inRing(int x, int y) {
    const int d = distance4(x, y);
    return d < 4 * kOuterRadius * kOuterRadius && d > 4 * kInnerRadius * kInnerRadius;
}
bool inDisc(int x, int y) {
    return distance4(x, y) <= 4 * kInnerRadius * kInnerRadius;
}

bool inFrame(int x, int y, int width) {
    return x < width || y < width || x >= kSize - width || y >= kSize - width;
}

Rgb button(int x, int y) {
    if (!inFrame(x, y, 2))
        return Markers::kSilver;
    // Highlight on the top and left bands, shadow on the bottom and right; where they meet at
    // the top-right and bottom-left corners the diagonal x + y = 31 divides them.
    const bool highlightBand = x < 2 || y < 2;
    return highlightBand && x + y < kSize - 1 ? Markers::kWhite : Markers::kGray;
}

Rgb selected(int x, int y) {
    // Four 6 x 6 handles at columns 1..6 and 25..30 of rows 1..6 and 25..30: a white outline
    // round a red 4 x 4 square.
    auto handleOffset = [](int v) {
        return v >= 1 && v <= 6 ? v - 1 : v >= 25 && v <= 30 ? v - 25 : -1;
    };
    const int hx = handleOffset(x);
    const int hy = handleOffset(y);
    if (hx < 0 || hy < 0)
        return Markers::kOlive;
    const bool outline = hx == 0 || hy == 0 || hx == 5 || hy == 5;
    return outline ? Markers::kWhite : Markers::kRed;
}

void write(const QDir& dir, const QString& name, const Art& art) {
    Platform::Bmp::writeFile(render(art), dir.filePath(name + QStringLiteral(".bmp")));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    try {
        write(dir, QStringLiteral("NONE"), [](int, int) { return Markers::kOlive; });
        write(dir, QStringLiteral("BUTTON"), button);
        write(dir, QStringLiteral("SELECTED"), selected);
        for (const Markers::MarkerColorEntry& e : Markers::kMarkerColors) {
            const QString prefix = QString::fromLatin1(e.prefix);
            const Rgb ink = e.color;
            const Rgb clear = e.transparent;
            write(dir, prefix + "BOX01",
                  [&](int x, int y) { return inFrame(x, y, 2) ? ink : clear; });
            write(dir, prefix + "BOX02",
                  [&](int x, int y) { return inFrame(x, y, 2) ? ink : Markers::kWhite; });
            write(dir, prefix + "CIRCLE01",
                  [&](int x, int y) { return inRing(x, y) ? ink : clear; });
            write(dir, prefix + "CIRCLE02", [&](int x, int y) {
                return inRing(x, y) ? ink : inDisc(x, y) ? Markers::kWhite : clear;
            });
        }
    } catch (const Platform::ToolkitError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
