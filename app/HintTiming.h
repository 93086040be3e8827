#pragma once

#include <QObject>
#include <QProxyStyle>

class QWidget;

// Tool tips of the tool buttons: they appear 50 ms after the pointer comes to rest on a button
// and stay as long as it rests there. Attach() puts a button under this timing; the object
// must outlive the buttons it is attached to (give it the window as parent).
class HintTiming : public QObject {
    Q_OBJECT
public:
    static constexpr int HintPause = 50;              // ms before a tip shows
    static constexpr int HintHidePause = 2147483647;  // ms a tip stays: for as long as it rests

    explicit HintTiming(QObject* parent);
    void Attach(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The application's style with a shorter wake-up delay for tool tips; Qt asks the style of
    // the widget under the pointer for that delay.
    class Style : public QProxyStyle {
    public:
        int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                      QStyleHintReturn* returnData) const override;
    };
    Style* m_style;
};
