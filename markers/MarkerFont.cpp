#include "MarkerFont.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace Markers {
namespace {

// The palette role standing for each system colour index (0 scroll bar .. 30 menu bar).
struct SystemRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};
constexpr QPalette::ColorGroup kAct = QPalette::Active;
constexpr std::array<SystemRole, 31> kSystemRoles{{
    {kAct, QPalette::Button},              // 0 scroll bar
    {kAct, QPalette::Button},              // 1 desktop
    {kAct, QPalette::Highlight},           // 2 active caption
    {kAct, QPalette::Dark},                // 3 inactive caption
    {kAct, QPalette::Button},              // 4 menu
    {kAct, QPalette::Base},                // 5 window
    {kAct, QPalette::Shadow},              // 6 window frame
    {kAct, QPalette::WindowText},          // 7 menu text
    {kAct, QPalette::WindowText},          // 8 window text
    {kAct, QPalette::HighlightedText},     // 9 caption text
    {kAct, QPalette::Button},              // 10 active border
    {kAct, QPalette::Button},              // 11 inactive border
    {kAct, QPalette::Dark},                // 12 application workspace
    {kAct, QPalette::Highlight},           // 13 highlight
    {kAct, QPalette::HighlightedText},     // 14 highlighted text
    {kAct, QPalette::Button},              // 15 button face
    {kAct, QPalette::Dark},                // 16 button shadow
    {QPalette::Disabled, QPalette::Text},  // 17 grey text
    {kAct, QPalette::ButtonText},          // 18 button text
    {QPalette::Disabled, QPalette::Text},  // 19 inactive caption text
    {kAct, QPalette::Light},               // 20 button highlight
    {kAct, QPalette::Shadow},              // 21 3-D dark shadow
    {kAct, QPalette::Midlight},            // 22 3-D light
    {kAct, QPalette::ToolTipText},         // 23 tooltip text
    {kAct, QPalette::ToolTipBase},         // 24 tooltip background
    {kAct, QPalette::NoRole},              // 25 (unused)
    {kAct, QPalette::Link},                // 26 hot-tracked item
    {kAct, QPalette::Highlight},           // 27 active caption gradient
    {kAct, QPalette::Dark},                // 28 inactive caption gradient
    {kAct, QPalette::Highlight},           // 29 menu highlight
    {kAct, QPalette::Button},              // 30 menu bar
}};

QColor systemColor(unsigned index) {
    if (index >= kSystemRoles.size() || kSystemRoles[index].role == QPalette::NoRole)
        return QColor(Qt::black);
    // Without an application object there is no palette to ask; a default one stands in.
    const QPalette palette = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                 ? QGuiApplication::palette()
                                 : QPalette();
    return palette.color(kSystemRoles[index].group, kSystemRoles[index].role);
}

}  // namespace

int32_t ColorValue(const QColor& color) {
    return ColorValue(color.red(), color.green(), color.blue());
}

QColor ColorToQColor(int32_t color) {
    const auto bits = static_cast<uint32_t>(color);
    if ((bits & 0xFF000000u) == 0)
        return QColor(bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
    if ((bits & 0xFFFFFF00u) == 0x80000000u)
        return systemColor(bits & 0xFF);
    return QColor(Qt::black);
}

int MarkerFont::PixelHeight() const {
    if (Size == 0)
        return 16;
    // points x 96 / 72 rounded half away from zero, in 64 bits.
    const int64_t points = std::llabs(int64_t{Size});
    const int64_t pixels = (points * 96 + 36) / 72;
    return static_cast<int>(std::clamp<int64_t>(pixels, 1, MaxPixelHeight));
}

QFont MarkerFont::ToQFont() const {
    InstallFontSubstitutions();
    QFont font(Name);
    font.setPixelSize(PixelHeight());
    font.setBold(Bold);
    font.setItalic(Italic);
    font.setUnderline(Underline);
    font.setStrikeOut(StrikeOut);
    // Sub-pixel colour fringes would be baked into the exported image; grey-scale only.
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

MarkerFont MarkerFont::FromQFont(const QFont& font, int32_t color) {
    MarkerFont result;
    result.Name = font.family();
    if (font.pointSize() > 0)
        result.Size = font.pointSize();
    else if (font.pixelSize() > 0)
        result.Size = static_cast<int32_t>(std::lround(font.pixelSize() * 72.0 / 96.0));
    result.Color = color;
    result.Bold = font.bold();
    result.Italic = font.italic();
    result.Underline = font.underline();
    result.StrikeOut = font.strikeOut();
    return result;
}

void InstallFontSubstitutions() {
    static const bool installed = [] {
        QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
        QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
        QFont::insertSubstitution(QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"));
        QFont::insertSubstitution(QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"));
        return true;
    }();
    (void)installed;
}

}  // namespace Markers
