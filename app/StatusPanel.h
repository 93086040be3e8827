#pragma once

#include <QLabel>

// One panel of the status bar: a raised text field of a set width. The panels stand side by
// side from the bar's left edge at their own widths; a window narrower than all of them
// together cuts off the last ones rather than squeezing every panel.
class StatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget* parent = nullptr);
};
