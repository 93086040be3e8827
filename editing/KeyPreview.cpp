#include "KeyPreview.h"

#include "Fr0010mn.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

KeyPreview::KeyPreview(TFrmFR0010MN* window) : QObject(window), m_window(window) {
    qApp->installEventFilter(this);
}

KeyPreview::~KeyPreview() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* receiver = static_cast<QWidget*>(watched);
    if (receiver->window() != m_window)
        return false;
    // The window's key presses go first to its focus widget, or to the window itself when none
    // has the focus; a parent further up sees the same press again only when the first did not
    // take it.
    QWidget* first = m_window->focusWidget() ? m_window->focusWidget() : m_window;
    if (receiver != first || qobject_cast<QMenuBar*>(receiver) || qobject_cast<QMenu*>(receiver))
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    m_window->FormKeyDown(key->key(), key->modifiers());
    return false;
}
