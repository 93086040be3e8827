#include "DragMachine.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <memory>
#include <string>
#include <vector>

using Platform::DragMachine;

namespace {

// A machine whose one target covers the screen rectangle (100, 100) - (199, 199) and answers
// with `accept`; every notification is written down in order.
class DragMachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine.SetLocator([this](const QPoint& p) -> DragMachine::Target {
            if (QRect(100, 100, 100, 100).contains(p))
                return {&target, p - QPoint(100, 100)};
            return {};
        });
        machine.SetDragCursor(QCursor(Qt::CrossCursor));
        QObject::connect(&machine, &DragMachine::startDrag, [this](QObject* s) {
            log.push_back(s == source.get() ? "start" : "start ?");
        });
        QObject::connect(&machine, &DragMachine::dragOver,
                         [this](QObject* t, const QPoint& p, DragMachine::Over o, bool& a) {
                             const char* kind = o == DragMachine::Over::Enter  ? "enter"
                                                : o == DragMachine::Over::Move ? "move"
                                                                               : "leave";
                             log.push_back(std::string(kind) + (t == &target ? "" : " ?") + at(p));
                             a = accept;
                         });
        QObject::connect(&machine, &DragMachine::dragDrop,
                         [this](QObject* t, QObject* s, const QPoint& p) {
                             log.push_back(std::string("drop") + (t == &target ? "" : " ?") +
                                           (s == source.get() ? "" : " from ?") + at(p));
                         });
        QObject::connect(&machine, &DragMachine::endDrag, [this](QObject*, bool dropped) {
            log.push_back(dropped ? "end dropped" : "end");
        });
    }

    static std::string at(const QPoint& p) {
        return " " + std::to_string(p.x()) + "," + std::to_string(p.y());
    }
    // Mouse events as the pressed object receives them (screen coordinates are what count).
    void move(QPoint global) {
        QMouseEvent e(QEvent::MouseMove, QPointF(), global, Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(source.get(), &e);
    }
    void release(QPoint global) {
        QMouseEvent e(QEvent::MouseButtonRelease, QPointF(), global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(source.get(), &e);
    }
    static Qt::CursorShape cursorShape() {
        const QCursor* c = QGuiApplication::overrideCursor();
        return c ? c->shape() : Qt::CustomCursor;  // CustomCursor: none set
    }

    DragMachine machine;
    std::unique_ptr<QObject> source = std::make_unique<QObject>();
    QObject target;
    bool accept = true;
    std::vector<std::string> log;
};

TEST_F(DragMachineTest, NotificationsComeInOrderStartOverDrop) {
    machine.BeginDrag(source.get(), {20, 20});
    EXPECT_EQ(log, (std::vector<std::string>{"start"}));  // at the press, before any move
    move({24, 24});                                       // 4 pixels: still pending
    EXPECT_EQ(machine.CurrentState(), DragMachine::State::Pending);
    move({20, 25});  // 5 pixels down from the press: the drag is real
    EXPECT_EQ(machine.CurrentState(), DragMachine::State::Dragging);
    EXPECT_EQ(cursorShape(), Qt::ForbiddenCursor);  // nothing takes drops here
    move({110, 120});
    EXPECT_EQ(cursorShape(), Qt::CrossCursor);
    move({150, 160});
    release({150, 160});
    EXPECT_EQ(log, (std::vector<std::string>{"start", "enter 10,20", "move 50,60", "drop 50,60",
                                             "end dropped"}));
    EXPECT_EQ(machine.CurrentState(), DragMachine::State::Idle);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

struct ThresholdCase {
    const char* name;
    QPoint to;
    bool real;
};

const ThresholdCase kThresholds[] = {
    {"4 right, 4 down", {24, 24}, false}, {"5 right", {25, 20}, true},
    {"5 left", {15, 20}, true},           {"5 up", {20, 15}, true},
    {"4 left, 4 up", {16, 16}, false},    {"none", {20, 20}, false},
};

TEST_F(DragMachineTest, ThresholdIsFivePixelsInEitherDirection) {
    for (const ThresholdCase& c : kThresholds) {
        machine.BeginDrag(source.get(), {20, 20});
        move(c.to);
        EXPECT_EQ(machine.CurrentState() == DragMachine::State::Dragging, c.real) << c.name;
        machine.Cancel();
    }
}

TEST_F(DragMachineTest, ReleaseBeforeThresholdEndsQuietly) {
    machine.BeginDrag(source.get(), {120, 120});
    move({123, 121});
    release({123, 121});  // over the target, but the drag never became real
    EXPECT_EQ(log, (std::vector<std::string>{"start"}));
    EXPECT_FALSE(machine.Busy());
    move({150, 150});  // the source's later moves are its own again
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(DragMachineTest, RefusingTargetOrNoTargetMeansNoDrop) {
    accept = false;
    machine.BeginDrag(source.get(), {20, 20});
    move({110, 110});
    EXPECT_EQ(cursorShape(), Qt::ForbiddenCursor);
    release({110, 110});
    EXPECT_EQ(log, (std::vector<std::string>{"start", "enter 10,10", "leave 10,10", "end"}));

    accept = true;
    log.clear();
    machine.BeginDrag(source.get(), {20, 20});
    move({110, 110});
    move({300, 110});  // leaves the target: Leave in the target's coordinates
    release({300, 110});
    EXPECT_EQ(log, (std::vector<std::string>{"start", "enter 10,10", "leave 200,10", "end"}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(DragMachineTest, EscapeCancelsARunningDragAndTakesTheKey) {
    machine.BeginDrag(source.get(), {20, 20});
    move({110, 110});
    QObject focus;
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&focus, &esc);
    EXPECT_FALSE(machine.Busy());
    EXPECT_EQ(log, (std::vector<std::string>{"start", "enter 10,10", "leave 10,10", "end"}));
    release({110, 110});
    EXPECT_EQ(log.size(), 4u);  // no drop after the cancel
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(DragMachineTest, SourceGoingAwayCancels) {
    machine.BeginDrag(source.get(), {20, 20});
    move({110, 110});
    source.reset();
    EXPECT_FALSE(machine.Busy());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(log.back(), "end");
}

TEST_F(DragMachineTest, NewPressEndsTheDragBeforeIt) {
    machine.BeginDrag(source.get(), {20, 20});
    move({110, 110});
    QObject other;
    machine.BeginDrag(&other, {50, 50});
    EXPECT_EQ(machine.Source(), &other);
    EXPECT_EQ(machine.CurrentState(), DragMachine::State::Pending);
    EXPECT_EQ(log,
              (std::vector<std::string>{"start", "enter 10,10", "leave 10,10", "end", "start ?"}));
    move({200, 200});  // the old source no longer drives anything
    EXPECT_EQ(machine.CurrentState(), DragMachine::State::Pending);
    machine.Cancel();
}

}  // namespace
