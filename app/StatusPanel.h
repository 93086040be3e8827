#pragma once

#include <QLabel>

// One panel of the status bar: a raised text field of a set width that gives way when the
// window is narrower than all panels together, so the panels never widen the window.
class StatusPanel : public QLabel {
    Q_OBJECT
public:
    StatusPanel(int width, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    int m_width;
};
