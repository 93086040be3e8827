// The message dialogs, shown for real and answered from a timer.
#include "Common.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Common;

namespace {

// What the dialog looked like when it came up.
struct Seen {
    bool shown = false;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString focusName;
    QStringList captions;
    QRect frame;
};

enum class Answer { Enter, Escape, Close, ClickYes };

// Runs `show` with the next dialog answered, returning its result and what was seen.
template <typename Show>
std::pair<int, Seen> run(Answer answer, Show show) {
    auto seen = std::make_shared<Seen>();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [seen, poll, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            QTimer::singleShot(10, [poll] {
                if (*poll)
                    (*poll)();
            });
            return;
        }
        seen->shown = true;
        seen->caption = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->frame = box->frameGeometry();
        QWidget* focus = box->focusWidget();
        seen->focusName = focus ? focus->objectName() : QString();
        for (QAbstractButton* b : box->buttons())
            seen->captions << b->text();
        QWidget* target = focus ? focus : box;
        switch (answer) {
            case Answer::Enter:
                QTest::keyClick(target, Qt::Key_Return);
                break;
            case Answer::Escape:
                QTest::keyClick(target, Qt::Key_Escape);
                break;
            case Answer::Close:
                box->close();  // as from the title bar
                break;
            case Answer::ClickYes:
                QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
                break;
        }
        *poll = nullptr;
    };
    QTimer::singleShot(0, [poll] {
        if (*poll)
            (*poll)();
    });
    const int result = show();
    return {result, *seen};
}

class MsgDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.setGeometry(100, 100, 300, 200);
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    }
    QWidget owner;
};

struct Row {
    const char* name;
    int (*show)(QWidget*);
    Answer answer;
    int result;
    const char* focus;
};
void PrintTo(const Row& r, std::ostream* os) {
    *os << r.name;
}

class MsgDlgRows : public MsgDlgTest, public ::testing::WithParamInterface<Row> {};

TEST_P(MsgDlgRows, FocusAndAnswer) {
    const Row& r = GetParam();
    const auto [result, seen] = run(r.answer, [&] { return r.show(&owner); });
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.focusName, QString::fromLatin1(r.focus));
    EXPECT_EQ(result, r.result);
}

const Row rows[] = {
    {"QryNoFocusedEnterIsNo", [](QWidget* o) { return QryMsg(o, QStringLiteral("q"), 2); },
     Answer::Enter, 2, "No"},
    {"QryNoFocusedEscapeIsNo", [](QWidget* o) { return QryMsg(o, QStringLiteral("q"), 2); },
     Answer::Escape, 2, "No"},
    {"QryYesClickedIsYes", [](QWidget* o) { return QryMsg(o, QStringLiteral("q"), 2); },
     Answer::ClickYes, 1, "No"},
    {"QryClosedIsThree", [](QWidget* o) { return QryMsg(o, QStringLiteral("q"), 2); },
     Answer::Close, 3, "No"},
    {"QryCodeZeroFocusesYes", [](QWidget* o) { return QryMsg(o, QStringLiteral("q"), 0); },
     Answer::Enter, 1, "Yes"},
    {"QryCodeThreeWithoutCancelFocusesYes",
     [](QWidget* o) { return QryMsg(o, QStringLiteral("q"), 3); }, Answer::Enter, 1, "Yes"},
    {"QryOtherCodeActsAsYes", [](QWidget* o) { return QryMsg(o, QStringLiteral("q"), 7); },
     Answer::Enter, 1, "Yes"},
    {"QryExCancelFocusedEnterIsThree",
     [](QWidget* o) { return QryMsgEx(o, QStringLiteral("q"), 3); }, Answer::Enter, 3, "Cancel"},
    {"QryExEscapeIsCancel", [](QWidget* o) { return QryMsgEx(o, QStringLiteral("q"), 1); },
     Answer::Escape, 3, "Yes"},
    {"QryExNoFocused", [](QWidget* o) { return QryMsgEx(o, QStringLiteral("q"), 2); },
     Answer::Enter, 2, "No"},
    {"InfoEnterIsOk", [](QWidget* o) { return InfoMsg(o, QStringLiteral("i")); }, Answer::Enter, 1,
     "OK"},
    {"InfoEscapeIsOk", [](QWidget* o) { return InfoMsg(o, QStringLiteral("i")); }, Answer::Escape,
     1, "OK"},
    {"ErrEscapeIsOk", [](QWidget* o) { return ErrMsg(o, QStringLiteral("e")); }, Answer::Escape, 1,
     "OK"},
    {"StopEnterIsOk", [](QWidget* o) { return StopMsg(o, QStringLiteral("s")); }, Answer::Enter, 1,
     "OK"},
    {"InfoClosedIsThree", [](QWidget* o) { return InfoMsg(o, QStringLiteral("i")); }, Answer::Close,
     3, "OK"},
};
INSTANTIATE_TEST_SUITE_P(Dialogs, MsgDlgRows, ::testing::ValuesIn(rows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MsgDlgTest, KindTextButtonsAndCaption) {
    QCoreApplication::setApplicationName(QStringLiteral("Pictanote"));
    const auto [r1, info] =
        run(Answer::Enter, [&] { return InfoMsg(&owner, QStringLiteral("情報")); });
    EXPECT_EQ(info.icon, QMessageBox::Information);
    EXPECT_EQ(info.text, QStringLiteral("\n情報"));  // below one empty line
    EXPECT_EQ(info.caption, QStringLiteral("Pictanote"));
    EXPECT_EQ(info.captions, QStringList{QStringLiteral("OK")});

    const auto [r2, err] = run(Answer::Enter, [&] { return ErrMsg(&owner, QStringLiteral("e")); });
    EXPECT_EQ(err.icon, QMessageBox::Warning);  // not the error kind
    EXPECT_EQ(err.caption, QStringLiteral("Pictanote"));
    const auto [r3, stop] = run(Answer::Enter, [&] { return StopMsg(&owner, QString()); });
    EXPECT_EQ(stop.icon, QMessageBox::Critical);
    EXPECT_EQ(stop.text, QStringLiteral("\n"));

    const auto [r4, qry] =
        run(Answer::Enter, [&] { return QryMsgEx(&owner, QStringLiteral("q"), 0); });
    EXPECT_EQ(qry.icon, QMessageBox::Question);
    EXPECT_EQ(qry.caption, QStringLiteral("Pictanote"));
    QStringList captions = qry.captions;
    captions.sort();
    QStringList expected = {QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)"),
                            QStringLiteral("キャンセル")};
    expected.sort();
    EXPECT_EQ(captions, expected);
}

TEST_F(MsgDlgTest, CentredOverTheOwnerTruncating) {
    const QRect o = owner.frameGeometry();
    const auto [r, seen] =
        run(Answer::Enter, [&] { return QryMsg(&owner, QStringLiteral("位置"), 0); });
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.frame.left(), o.left() + (o.width() - seen.frame.width()) / 2);
    EXPECT_EQ(seen.frame.top(), o.top() + (o.height() - seen.frame.height()) / 2);
}

TEST_F(MsgDlgTest, WiderThanTheOwnerStartsLeftOfIt) {
    owner.setGeometry(400, 300, 60, 40);
    const QRect o = owner.frameGeometry();
    const auto [r, seen] = run(Answer::Enter, [&] {
        return InfoMsg(&owner, QStringLiteral("a rather long message that makes the dialog wide"));
    });
    ASSERT_TRUE(seen.shown);
    ASSERT_GT(seen.frame.width(), o.width());
    EXPECT_LT(seen.frame.left(), o.left());
    // A negative odd difference truncates toward zero: never one further left.
    EXPECT_EQ(seen.frame.left(), o.left() + (o.width() - seen.frame.width()) / 2);
}

TEST(MsgDlgOwner, OwnerDestroyedWhileAskingEndsTheDialog) {
    auto* owner = new QWidget;
    owner->resize(300, 200);
    owner->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(owner));
    QTimer::singleShot(50, owner, [owner] { delete owner; });
    EXPECT_EQ(QryMsg(owner, QStringLiteral("q"), 1), 3);
}

TEST(MsgDlgOwner, WithoutOwnerCentredOnTheScreen) {
    const auto [result, seen] =
        run(Answer::Enter, [] { return InfoMsg(nullptr, QStringLiteral("i")); });
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(result, 1);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(seen.frame.left(), (screen.width() - seen.frame.width()) / 2);
    EXPECT_EQ(seen.frame.top(), (screen.height() - seen.frame.height()) / 2);
}

TEST_F(MsgDlgTest, BusyCursorIsResetFirst) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    run(Answer::Enter, [&] { return InfoMsg(&owner, QStringLiteral("i")); });
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
