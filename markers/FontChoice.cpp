#include "FontChoice.h"

#include "Cp932.h"
#include "Marker.h"
#include "MarkerColors.h"
#include "MarkerFont.h"

#include <QFontDatabase>

#include <algorithm>
#include <cstdlib>

namespace Markers {
namespace {

// A family with no writing system but symbols (and the unclassified "Other") is a symbol font.
bool isSymbolFont(const QString& family) {
    const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
    return std::all_of(systems.begin(), systems.end(), [](QFontDatabase::WritingSystem s) {
        return s == QFontDatabase::Symbol || s == QFontDatabase::Other;
    });
}

// The toolkit lists a family that several foundries make once per foundry, as
// "Family [Foundry]"; the plain name finds the same faces.
QString plainFamily(const QString& family) {
    if (!family.endsWith(QLatin1Char(']')))
        return family;
    const qsizetype open = family.lastIndexOf(QStringLiteral(" ["));
    return open > 0 ? family.left(open) : family;
}

}  // namespace

namespace {

// points x markerSize / 32 rounded to nearest, for sizes and points of sensible range.
int64_t inProportion(int64_t points, int64_t markerSize, int64_t from = 32) {
    return (2 * points * markerSize + from) / (2 * from);
}

int64_t pointsOf(int32_t size) {
    return size == 0 ? 12 : std::abs(int64_t{size});
}

int32_t markerSizeInRange(int32_t markerSize) {
    return std::clamp(markerSize, MinMarkerSize, MaxMarkerSize);
}

}  // namespace

int32_t MinFontSizeFor(int32_t markerSize) {
    return static_cast<int32_t>(inProportion(MinDialogFontSize, markerSizeInRange(markerSize)));
}

int32_t MaxFontSizeFor(int32_t markerSize) {
    return static_cast<int32_t>(inProportion(MaxDialogFontSize, markerSizeInRange(markerSize)));
}

int32_t DialogFontSize(int32_t size, int32_t markerSize) {
    return static_cast<int32_t>(std::clamp<int64_t>(pointsOf(size), MinFontSizeFor(markerSize),
                                                    MaxFontSizeFor(markerSize)));
}

int32_t ScaledFontSize(int32_t size, int32_t from, int32_t to) {
    from = markerSizeInRange(from);
    to = markerSizeInRange(to);
    // A size of any magnitude is brought into range first, so the product cannot overflow.
    const int64_t points = std::clamp<int64_t>(pointsOf(size), 1, 100000);
    return static_cast<int32_t>(std::clamp<int64_t>(inProportion(points, to, from),
                                                    MinFontSizeFor(to), MaxFontSizeFor(to)));
}

bool FaceFitsWorkFile(const QString& family) {
    return Platform::Cp932::toUnicode(Platform::Cp932::fromUnicode(family)) == family;
}

QStringList OfferedFontFamilies(const QString& current) {
    InstallFontSubstitutions();
    QStringList families{QStringLiteral("ＭＳ ゴシック"), QStringLiteral("ＭＳ Ｐゴシック")};
    for (const QString& family : QFontDatabase::families()) {
        if (!QFontDatabase::isPrivateFamily(family) && !isSymbolFont(family) &&
            FaceFitsWorkFile(plainFamily(family)))
            families.append(plainFamily(family));
    }
    if (!current.isEmpty())
        families.append(current);
    std::sort(families.begin(), families.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    families.erase(std::unique(families.begin(), families.end()), families.end());
    return families;
}

std::vector<int32_t> OfferedFontColors(int32_t current) {
    std::vector<int32_t> colors;
    const bool standard =
        std::any_of(kMarkerColors.begin(), kMarkerColors.end(),
                    [current](const auto& e) { return e.color.value() == current; });
    if (!standard)
        colors.push_back(current);
    for (const MarkerColorEntry& e : kMarkerColors)
        colors.push_back(e.color.value());
    return colors;
}

}  // namespace Markers
