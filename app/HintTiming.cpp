#include "HintTiming.h"

#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

HintTiming::HintTiming(QObject* parent) : QObject(parent), m_style(new Style) {
    m_style->setParent(this);
}

void HintTiming::Attach(QWidget* widget) {
    widget->setStyle(m_style);
    widget->installEventFilter(this);
}

int HintTiming::Style::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                                 QStyleHintReturn* returnData) const {
    if (hint == SH_ToolTip_WakeUpDelay)
        return HintPause;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

bool HintTiming::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->toolTip().isEmpty())
        return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    // The tip is tied to the button's area: it goes when the pointer leaves the button.
    QToolTip::showText(help->globalPos(), widget->toolTip(), widget, widget->rect(), HintHidePause);
    return true;
}
