// Window helpers on real widgets, on a 1024 x 768 offscreen screen.
#include "Common.h"

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QTest>

using namespace Common;

namespace {

// The screen comes from a platform configuration file, chosen before the test main makes the
// application (ctest passes the same one).
[[maybe_unused]] const bool screenConfigured = [] {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" PICTANOTE_OFFSCREEN_CONFIG);
    return true;
}();

TEST(SetFormCenter, OverTheScreenWithoutReference) {
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(1024, 768))
        << "run with the 1024 x 768 offscreen screen";
    QWidget form;
    form.resize(300, 201);
    SetFormCenter(nullptr, &form);
    EXPECT_EQ(form.pos(), QPoint(362, 283));  // 283.5 truncated
}

TEST(SetFormCenter, OverTheReferenceTruncatingTowardZero) {
    QWidget reference;
    reference.setGeometry(100, 100, 300, 200);
    QWidget form;
    form.resize(251, 121);
    SetFormCenter(&reference, &form);
    EXPECT_EQ(form.pos(), QPoint(124, 139));
    form.resize(351, 121);  // 51 wider than the reference: -25.5 becomes -25
    SetFormCenter(&reference, &form);
    EXPECT_EQ(form.pos().x(), 75);
    SetFormCenter(&reference, nullptr);  // nothing to place
}

TEST(SetFormSizeMax, FillsTheWorkAreaWithoutMaximising) {
    QWidget form;
    form.resize(200, 100);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    SetFormSizeMax(&form);
    EXPECT_EQ(form.frameGeometry(), QGuiApplication::primaryScreen()->availableGeometry());
    EXPECT_FALSE(form.isMaximized());
}

TEST(SetCaption, UsesTheApplicationTitle) {
    QWidget form;
    form.setWindowTitle(QStringLiteral("other"));
    SetCaption(&form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Pictanote"));
}

TEST(CaptionClicked, ReleasesTheMouseCapture) {
    QWidget form;
    form.resize(200, 100);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.grabMouse();
    ASSERT_EQ(QWidget::mouseGrabber(), &form);
    CaptionClicked(&form);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    CaptionClicked(nullptr);
}

// ---- Input filter --------------------------------------------------------------------------

struct FilterCase {
    const char* name;
    QString accepted;  // the text SetCheck remembered
    QString typed;
    std::string chars;
    bool allow;
    QString expected;
    int caret;  // -1: not checked
};
void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string digits = "0123456789";

class CheckEditRows : public ::testing::TestWithParam<FilterCase> {};
TEST_P(CheckEditRows, RestoresOrAccepts) {
    const FilterCase& c = GetParam();
    QLineEdit edit(c.accepted);
    SetCheck(&edit);
    edit.setText(c.typed);
    CheckEdit(&edit, c.chars, c.allow);
    EXPECT_EQ(edit.text(), c.expected);
    if (c.caret >= 0) {
        EXPECT_EQ(edit.cursorPosition(), c.caret);
    }
}

const FilterCase filterCases[] = {
    {"LetterAmongDigitsRestores", "12", "12a4", digits, true, "12", 2},
    {"DigitsAccepted", "1", "1234", digits, true, "1234", -1},
    {"EmptyTextAccepted", "1", "", digits, true, "", -1},
    {"AllowRejectsDoubleByte", "1", QStringLiteral("1漢"), digits, true, "1", 1},
    {"ForbiddenCharacterRestores", "ab", "a<b", "<>", false, "ab", 1},
    // 「表」 is 0x95 0x5C: its second byte is not a backslash.
    {"ForbiddenBackslashSparesTrailByte", "", QStringLiteral("表"), "\\", false,
     QStringLiteral("表"), -1},
    {"ForbiddenLeadByteRejects", "a", QStringLiteral("a表"), "\x95", false, "a", 1},
    {"CaretCountsCharactersBeforeTheByte", "x", QStringLiteral("漢字!"), "!", false, "x", 1},
};
INSTANTIATE_TEST_SUITE_P(Input, CheckEditRows, ::testing::ValuesIn(filterCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CheckEdit, OneRememberedTextForAllEditBoxes) {
    QLineEdit first(QStringLiteral("111"));
    QLineEdit second(QStringLiteral("2"));
    SetCheck(&first);
    second.setText(QStringLiteral("2x"));
    CheckEdit(&second, digits, true);
    EXPECT_EQ(second.text(), QStringLiteral("111"));
}

TEST(CheckEdit, FiltersTypingFromTheChangeNotification) {
    QLineEdit edit;
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    SetCheck(&edit);
    QObject::connect(&edit, &QLineEdit::textChanged, &edit,
                     [&edit] { CheckEdit(&edit, digits, true); });
    QTest::keyClicks(&edit, QStringLiteral("12a3"));
    EXPECT_EQ(edit.text(), QStringLiteral("123"));
}

// ---- List boxes ----------------------------------------------------------------------------

TEST(SetItemHeight, EveryItemGetsTheHeight) {
    QListWidget list;
    list.addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    SetItemHeight(&list, 37);
    EXPECT_EQ(list.visualItemRect(list.item(0)).height(), 37);
    EXPECT_EQ(list.visualItemRect(list.item(2)).top(), 2 * 37);
    SetItemHeight(&list, 21);
    EXPECT_EQ(list.visualItemRect(list.item(1)).height(), 21);
    SetItemHeight(&list, 0);
    SetItemHeight(&list, 256);
    EXPECT_EQ(list.visualItemRect(list.item(1)).height(), 21);
}

TEST(SelectItem, SelectsAllOfAMultipleSelectionList) {
    QListWidget list;
    list.addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    list.setSelectionMode(QAbstractItemView::MultiSelection);
    SelectItem(&list, true);
    EXPECT_EQ(list.selectedItems().size(), 3);
    SelectItem(&list, false);
    EXPECT_TRUE(list.selectedItems().isEmpty());

    QListWidget single;
    single.addItems({QStringLiteral("a"), QStringLiteral("b")});
    SelectItem(&single, true);
    EXPECT_TRUE(single.selectedItems().isEmpty());
}

// ---- Transparent text ----------------------------------------------------------------------

TEST(TransTextOut, PaintsOnlyGlyphsBelowAndRightOfThePoint) {
    QImage image(120, 50, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(16);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setBackground(QBrush(Qt::red));
    painter.setBackgroundMode(Qt::OpaqueMode);
    TransTextOut(&painter, QStringLiteral("Ab"), 20, 10);
    EXPECT_EQ(painter.backgroundMode(), Qt::OpaqueMode);  // restored
    painter.end();

    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            ASSERT_FALSE(c.red() > 200 && c.green() < 100)
                << "background painted at " << x << "," << y;
            if (c != QColor(Qt::white)) {
                ++inked;
                EXPECT_GE(x, 20);
                EXPECT_GE(y, 10);
                EXPECT_LT(y, 10 + 20);
            }
        }
    }
    EXPECT_GT(inked, 20);
}

}  // namespace
