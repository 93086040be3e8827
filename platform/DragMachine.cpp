#include "DragMachine.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <cstdlib>
#include <utility>

namespace Platform {

DragMachine::DragMachine(QObject* parent) : QObject(parent) {}

DragMachine::~DragMachine() {
    Reset();
}

void DragMachine::SetLocator(Locator locator) {
    m_locator = std::move(locator);
}

void DragMachine::SetDragCursor(const QCursor& cursor) {
    m_dragCursor = cursor;
}

bool DragMachine::PastThreshold(const QPoint& from, const QPoint& to, int threshold) {
    return std::abs(to.x() - from.x()) >= threshold || std::abs(to.y() - from.y()) >= threshold;
}

void DragMachine::BeginDrag(QObject* source, const QPoint& pressPoint, int threshold) {
    if (Busy())
        Cancel();
    if (!source)
        return;
    m_state = State::Pending;
    m_source = source;
    m_press = pressPoint;
    m_last = pressPoint;
    m_threshold = threshold;
    connect(source, &QObject::destroyed, this, &DragMachine::Cancel);
    // The source's mouse events, Escape and a window that stops taking input, wherever they
    // go, pass the application's filter first.
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
    emit startDrag(source);
}

void DragMachine::MouseMove(const QPoint& global) {
    if (m_state == State::Idle)
        return;
    m_last = global;
    if (m_state == State::Pending) {
        if (!PastThreshold(m_press, global, m_threshold))
            return;
        m_state = State::Dragging;
    }
    Track(global);
    ShowCursor();
}

void DragMachine::MouseUp(const QPoint& global) {
    if (m_state == State::Idle)
        return;
    if (m_state == State::Pending) {
        Reset();
        return;
    }
    // The answer that counts is the one for the release point.
    if (global != m_last || !m_target)
        Track(global);
    const QPointer<QObject> target = m_target;
    const QPointer<QObject> source = m_source;
    const bool drop = target && m_accepted;
    if (!drop && target)
        LeaveTarget(global);
    const QPoint point = global + m_targetOffset;
    Reset();
    if (drop)
        emit dragDrop(target, source, point);
    emit endDrag(source, drop);
}

void DragMachine::Cancel() {
    if (m_state == State::Idle)
        return;
    const bool wasDragging = m_state == State::Dragging;
    if (wasDragging && m_target)
        LeaveTarget(m_last);
    const QPointer<QObject> source = m_source;
    Reset();
    if (wasDragging)
        emit endDrag(source, false);
}

// The target under the point hears Enter, Move or Leave; its answer decides the cursor and
// whether a release here drops.
void DragMachine::Track(const QPoint& global) {
    const Target under = m_locator ? m_locator(global) : Target{};
    if (under.Object != m_target) {
        if (m_target)
            LeaveTarget(global);
        m_target = under.Object;
        m_accepted = false;
        if (!m_target)
            return;
        m_targetOffset = under.Point - global;
        bool accept = false;
        emit dragOver(m_target, under.Point, Over::Enter, accept);
        m_accepted = accept;
        return;
    }
    if (!m_target)
        return;
    m_targetOffset = under.Point - global;
    bool accept = false;
    emit dragOver(m_target, under.Point, Over::Move, accept);
    m_accepted = accept;
}

void DragMachine::LeaveTarget(const QPoint& global) {
    QObject* target = m_target;
    m_target = nullptr;
    m_accepted = false;
    bool ignored = false;
    emit dragOver(target, global + m_targetOffset, Over::Leave, ignored);
}

void DragMachine::ShowCursor() {
    if (m_state != State::Dragging || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    const QCursor cursor = m_accepted ? m_dragCursor : QCursor(Qt::ForbiddenCursor);
    if (m_cursorShown) {
        QGuiApplication::changeOverrideCursor(cursor);
    } else {
        QGuiApplication::setOverrideCursor(cursor);
        m_cursorShown = true;
    }
}

void DragMachine::Reset() {
    if (m_source)
        disconnect(m_source, &QObject::destroyed, this, &DragMachine::Cancel);
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
    if (m_cursorShown) {
        QGuiApplication::restoreOverrideCursor();
        m_cursorShown = false;
    }
    m_state = State::Idle;
    m_source = nullptr;
    m_target = nullptr;
    m_accepted = false;
}

bool DragMachine::eventFilter(QObject* watched, QEvent* event) {
    if (m_state == State::Idle)
        return false;
    switch (event->type()) {
        case QEvent::MouseMove:
            if (watched == m_source)
                MouseMove(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            break;
        case QEvent::MouseButtonRelease:
            if (watched == m_source) {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                if (mouse->button() == Qt::LeftButton || mouse->buttons() == Qt::NoButton)
                    MouseUp(mouse->globalPosition().toPoint());
            }
            break;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                // A drag the user sees takes the key; a pending one lets the window have it too.
                const bool seen = m_state == State::Dragging;
                Cancel();
                return seen;
            }
            break;
        case QEvent::Hide:
            if (watched == m_source)
                Cancel();
            break;
        case QEvent::EnabledChange:
            if (watched == m_source && watched->property("enabled").isValid() &&
                !watched->property("enabled").toBool())
                Cancel();
            break;
        case QEvent::WindowBlocked:
            Cancel();
            break;
        case QEvent::ApplicationStateChange:
            if (QGuiApplication::applicationState() != Qt::ApplicationActive)
                Cancel();
            break;
        default:
            break;
    }
    return false;
}

}  // namespace Platform
