#include "KeyPreview.h"

#include "Fr0010mn.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace {

bool isMenu(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        if (qobject_cast<const QMenuBar*>(widget) || qobject_cast<const QMenu*>(widget))
            return true;
    }
    return false;
}

}  // namespace

KeyPreview::KeyPreview(TFrmFR0010MN* window) : QObject(window), m_window(window) {
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now->window() == m_window && !isMenu(now))
            m_lastFocus = now;
    });
}

KeyPreview::~KeyPreview() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void KeyPreview::TakeFocusFromMenuBar(QWidget* pressed) {
    if (pressed->window() != m_window || isMenu(pressed) ||
        !qobject_cast<QMenuBar*>(m_window->focusWidget()))
        return;
    // The menu bar leaves its keyboard mode as it loses the focus.
    if (m_lastFocus && m_lastFocus->isVisible() && m_lastFocus->isEnabled())
        m_lastFocus->setFocus(Qt::MouseFocusReason);
    else
        m_window->setFocus(Qt::MouseFocusReason);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType())
        return false;
    if (event->type() == QEvent::MouseButtonPress) {
        TakeFocusFromMenuBar(static_cast<QWidget*>(watched));
        return false;
    }
    if (event->type() != QEvent::KeyPress)
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
