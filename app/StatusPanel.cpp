#include "StatusPanel.h"

StatusPanel::StatusPanel(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setTextFormat(Qt::PlainText);
}
