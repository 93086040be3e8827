#include "FontChoice.h"
#include "MarkerColors.h"
#include "MarkerFont.h"

#include <gtest/gtest.h>
#include <QFontDatabase>
#include <QRegularExpression>

using namespace Markers;

TEST(DialogFontSize, StartsFromTheDrawnSizeWithinTheLimits) {
    const struct {
        int32_t size;
        int32_t offered;
    } rows[] = {
        {12, 12},  {8, 8},
        {16, 16},  {7, 8},
        {17, 16},  {72, 16},
        {0, 12},  // the default 16 pixels
        {-10, 10}, {std::numeric_limits<int32_t>::min(), 16},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DialogFontSize(row.size), row.offered) << row.size;
}

TEST(OfferedFontFamilies, HoldsTheJapaneseFacesAndTheCurrentOneOnce) {
    const QStringList families = OfferedFontFamilies(QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(families.count(QStringLiteral("ＭＳ ゴシック")), 1);
    EXPECT_EQ(families.count(QStringLiteral("ＭＳ Ｐゴシック")), 1);
    QStringList unique = families;
    EXPECT_EQ(unique.removeDuplicates(), 0);

    // A face only a work file knows can be confirmed again as it is spelled.
    const QStringList withUnknown = OfferedFontFamilies(QStringLiteral("Nowhere Sans"));
    EXPECT_TRUE(withUnknown.contains(QStringLiteral("Nowhere Sans")));
    EXPECT_EQ(withUnknown.size(), families.size() + 1);
    EXPECT_FALSE(OfferedFontFamilies(QString()).contains(QString()));
}

// A family that several foundries make is listed by the toolkit once per foundry, as
// "Nimbus Sans [urw]"; the dialog lists it once, as "Nimbus Sans".
TEST(OfferedFontFamilies, EachFamilyOnceUnderItsPlainName) {
    const QStringList families = OfferedFontFamilies(QString());
    const QRegularExpression foundryTag(QStringLiteral("^(.+) \\[[^\\]]*\\]$"));
    for (const QString& family : families)
        EXPECT_FALSE(foundryTag.match(family).hasMatch()) << family.toStdString();
    for (const QString& family : QFontDatabase::families()) {
        const QRegularExpressionMatch tagged = foundryTag.match(family);
        if (tagged.hasMatch() && FaceFitsWorkFile(tagged.captured(1)) &&
            QFontDatabase::writingSystems(family) != QList{QFontDatabase::Symbol}) {
            EXPECT_EQ(families.count(tagged.captured(1)), 1) << family.toStdString();
        }
    }
}

TEST(OfferedFontFamilies, SortedAndWithoutSymbolFonts) {
    const QStringList families = OfferedFontFamilies(QString());
    for (qsizetype i = 1; i < families.size(); ++i)
        EXPECT_LE(families[i - 1].compare(families[i], Qt::CaseInsensitive), 0)
            << families[i].toStdString();
    const QRegularExpression foundryTag(QStringLiteral(" \\[[^\\]]*\\]$"));
    for (const QString& family : QFontDatabase::families()) {
        const auto systems = QFontDatabase::writingSystems(family);
        const QString listed = QString(family).remove(foundryTag);
        if (systems == QList{QFontDatabase::Symbol}) {
            EXPECT_FALSE(families.contains(listed)) << family.toStdString();
        }
        if (!FaceFitsWorkFile(listed)) {
            EXPECT_FALSE(families.contains(listed)) << family.toStdString();
        } else if (systems.contains(QFontDatabase::Latin) &&
                   !QFontDatabase::isPrivateFamily(family)) {
            EXPECT_TRUE(families.contains(listed)) << family.toStdString();
        }
    }
}

TEST(OfferedFontColors, TheSixteenWithAnOtherCurrentColourInFront) {
    const std::vector<int32_t> standard = OfferedFontColors(ColorValue(255, 0, 0));
    ASSERT_EQ(standard.size(), 16u);
    for (std::size_t i = 0; i < kMarkerColors.size(); ++i)
        EXPECT_EQ(standard[i], kMarkerColors[i].color.value());

    for (const int32_t other : {clWindowText, ColorValue(1, 2, 3)}) {
        const std::vector<int32_t> offered = OfferedFontColors(other);
        ASSERT_EQ(offered.size(), 17u);
        EXPECT_EQ(offered.front(), other);
        EXPECT_EQ(std::vector<int32_t>(offered.begin() + 1, offered.end()), standard);
    }
}

// A face is saved in code page 932: one whose name would come back otherwise is not offered.
TEST(FaceFitsWorkFile, OnlyNamesCodePage932Keeps) {
    EXPECT_TRUE(FaceFitsWorkFile(QStringLiteral("ＭＳ Ｐゴシック")));
    EXPECT_TRUE(FaceFitsWorkFile(QStringLiteral("DejaVu Sans")));
    EXPECT_FALSE(FaceFitsWorkFile(QStringLiteral("Café Sans")));
    EXPECT_FALSE(FaceFitsWorkFile(QStringLiteral("Noto Sans 한글")));
}
