#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The window's own bitmaps (drawn at build time into :/window/), made ready for the widgets.
// Colour images are drawn transparent: the colour of their bottom-left pixel is see-through.
namespace WindowImages {

// A resource image with its transparent colour masked out; a null pixmap if it is missing.
QPixmap KeyedPixmap(const QString& name);
// A tool-button image: BTN<name>, either one 16 x 16 image or two side by side (normal,
// disabled), in which case the second one is shown while the button is disabled.
QIcon ButtonIcon(const QString& name);
// The program icon "MAINICON", 32 x 32.
QIcon MainIcon();
// The drag cursor "DRUGCURSOR": 32 x 32, hot spot (15, 15), a screen-inverting one-pixel frame
// around a see-through checkerboard.
QCursor DragCursor();
inline constexpr int DragCursorHotSpot = 15;

}  // namespace WindowImages
