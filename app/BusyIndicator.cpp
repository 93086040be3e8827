#include "BusyIndicator.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QStatusBar>

BusyIndicator::BusyIndicator(QMainWindow* window, const QString& text) : m_window(window) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    if (!m_window)
        return;
    m_window->statusBar()->showMessage(text);
    // The work that follows keeps the event loop from painting: paint now.
    m_window->repaint();
}

BusyIndicator::~BusyIndicator() {
    // Only the cursor set here: a message box may have taken it already.
    if (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (!m_window)
        return;
    m_window->statusBar()->clearMessage();
    m_window->update();
}
