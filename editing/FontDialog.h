#pragma once

#include "MarkerFont.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QSpinBox;

// The dialog for the marker-number font (the window's FDDraw). Qt's own font dialog offers no
// text colour, and here the colour matters: it chooses the colour set of the marker glyphs. So
// this small dialog offers, in the manner of a system font dialog: the face (installed faces
// without symbol fonts, plus the Japanese faces the program provides; only a listed face can be
// chosen), the style (regular, italic, bold, bold italic), the size from 8 to 16 points for
// 32-pixel markers and in proportion for others (other sizes cannot be entered), underline and
// strike-out, and the colour from the sixteen marker colours, with a sample of the result. A colour
// outside those sixteen (the system text colour the program starts with, or one a work file
// brought) is offered first as it is, so confirming without touching the colour keeps it.
class FontDialog : public QDialog {
    Q_OBJECT
public:
    explicit FontDialog(QWidget* parent = nullptr);

    // Shows `font` as the initial choice: its face, style, flags and colour, and its size limited
    // to the sizes the dialog offers for markers of `markerSize` pixels.
    void SetMarkerFont(const Markers::MarkerFont& font, int32_t markerSize = 32);
    // The choice as it stands: the face exactly as listed, the size in points, the flags and the
    // colour value.
    Markers::MarkerFont SelectedFont() const;

private:
    void UpdateSample();

    QComboBox* m_family = nullptr;
    QComboBox* m_style = nullptr;
    QSpinBox* m_size = nullptr;
    QCheckBox* m_strikeOut = nullptr;
    QCheckBox* m_underline = nullptr;
    QComboBox* m_color = nullptr;
    QLabel* m_sample = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
