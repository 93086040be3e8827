#include "StatusPanel.h"

StatusPanel::StatusPanel(int width, QWidget* parent) : QLabel(parent), m_width(width)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    setTextFormat(Qt::PlainText);
}

QSize StatusPanel::sizeHint() const
{
    return QSize(m_width, QLabel::sizeHint().height());
}

QSize StatusPanel::minimumSizeHint() const
{
    return QSize(0, QLabel::minimumSizeHint().height());
}
