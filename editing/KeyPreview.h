#pragma once

#include <QObject>
#include <QPointer>

class TFrmFR0010MN;

// Key preview at window level: every key press meant for the window or one of its controls
// reaches FormKeyDown before the control that has the keyboard focus, and then goes on to that
// control unchanged. Installed on the application, since a press goes first to the focused
// control; made a child of the window, so it goes with it.
//
// Presses the window never gets are left alone: those of a modal dialog or another top-level
// window, of a popup menu, and of the menu bar while it is being worked with the keyboard. A
// press that the focused control does not take travels on up through its parents; it is handed
// to FormKeyDown only once, when it reaches the first of them.
//
// The menu bar keeps the keyboard after a menu opened with the mouse is closed with Escape. A
// mouse press anywhere else in the window ends that: the focus goes back to the control that
// had it before the menu bar (or to the window), so the window's keys work again.
class KeyPreview : public QObject {
    Q_OBJECT
public:
    explicit KeyPreview(TFrmFR0010MN* window);
    ~KeyPreview() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TakeFocusFromMenuBar(QWidget* pressed);

    TFrmFR0010MN* m_window;
    QPointer<QWidget> m_lastFocus;  // the window's last focus widget other than the menu bar
};
