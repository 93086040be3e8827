#pragma once

#include <QCursor>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

namespace Platform {

// Drag-and-drop inside one window, without the system's drag-and-drop. A press on a source
// begins a pending drag (BeginDrag); startDrag is raised at once. The drag becomes real when
// the pointer, button held, has moved `threshold` pixels or more horizontally or vertically from
// the press point; from then on every move asks the target under the pointer with dragOver
// (Enter when the pointer comes onto it, Move while it stays, Leave when it goes), and the
// pointer shows the drag cursor over a target that accepts, the no-drop cursor elsewhere. The
// release of the button drops on the accepting target under the pointer (dragDrop) or ends the
// drag with no effect; a release before the threshold ends the pending drag quietly. Escape, a
// blocked or inactive window, or a source that goes away, is hidden or disabled cancels.
//
// The machine reads the source's mouse events itself (it filters the application's events from
// BeginDrag to the end of the drag, passing every event on); a caller without such an object
// feeds MouseMove and MouseUp directly. Points are in screen coordinates; the locator maps one
// to the target under it and the point in the target's own coordinates.
class DragMachine : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Pending, Dragging };
    enum class Over { Enter, Move, Leave };
    static constexpr int DefaultThreshold = 5;

    struct Target {
        QObject* Object = nullptr;  // nullptr: nothing that takes drops is under the point
        QPoint Point;               // the point in the target's coordinates
    };
    using Locator = std::function<Target(const QPoint& global)>;

    explicit DragMachine(QObject* parent = nullptr);
    ~DragMachine() override;

    void SetLocator(Locator locator);
    // The cursor shown over a target that accepts; replaceable at any time (a running drag
    // shows the new one at its next move).
    void SetDragCursor(const QCursor& cursor);
    const QCursor& DragCursor() const noexcept { return m_dragCursor; }

    // Begins a pending drag from `source` pressed at `pressPoint`, ending any drag still
    // running first (with no drop). Raises startDrag(source) before it returns.
    void BeginDrag(QObject* source, const QPoint& pressPoint, int threshold = DefaultThreshold);
    void MouseMove(const QPoint& global);
    void MouseUp(const QPoint& global);
    // Ends a pending or running drag with no drop; a target under the pointer hears Leave.
    void Cancel();

    State CurrentState() const noexcept { return m_state; }
    bool Busy() const noexcept { return m_state != State::Idle; }
    QObject* Source() const noexcept { return m_source; }
    QObject* CurrentTarget() const noexcept { return m_target; }
    bool Accepted() const noexcept { return m_accepted; }

    // True when `to` lies `threshold` or more pixels from `from` horizontally or vertically.
    static bool PastThreshold(const QPoint& from, const QPoint& to, int threshold);

signals:
    void startDrag(QObject* source);
    // The target sets accept (false on entry) to take a drop at `point`.
    void dragOver(QObject* target, const QPoint& point, Platform::DragMachine::Over state,
                  bool& accept);
    void dragDrop(QObject* target, QObject* source, const QPoint& point);
    // Every drag ends with this, dropped or not, after the drop if there was one.
    void endDrag(QObject* source, bool dropped);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Track(const QPoint& global);
    void LeaveTarget(const QPoint& global);
    void ShowCursor();
    // Back to Idle: filters removed, cursor restored, target and source forgotten.
    void Reset();

    State m_state = State::Idle;
    QPointer<QObject> m_source;
    QPointer<QObject> m_target;
    QPoint m_press;
    QPoint m_last;
    QPoint m_targetOffset;  // target point - screen point, for the target's Leave
    int m_threshold = DefaultThreshold;
    bool m_accepted = false;
    bool m_cursorShown = false;
    Locator m_locator;
    QCursor m_dragCursor{Qt::DragMoveCursor};
};

}  // namespace Platform
