#pragma once

#include <QPointer>
#include <QString>

class QMainWindow;

// While it lives, a command that may take more than a moment shows that it is at work: the
// busy cursor and a status text, with the window repainted first so a dialog just closed
// leaves no hole behind. On the way out the cursor, the status bar and the window come back.
// A message shown meanwhile takes the busy cursor away itself (Common's dialogs do).
class BusyIndicator {
public:
    BusyIndicator(QMainWindow* window, const QString& text);
    ~BusyIndicator();
    BusyIndicator(const BusyIndicator&) = delete;
    BusyIndicator& operator=(const BusyIndicator&) = delete;

private:
    QPointer<QMainWindow> m_window;
};
