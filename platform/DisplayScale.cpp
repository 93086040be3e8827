#include "DisplayScale.h"

#include <QByteArray>
#include <QtGlobal>

namespace Platform {

void UseDevicePixels() {
    // The scale factor worked out from the screen's DPI is off; factors given by hand would
    // scale the window just the same, so they go too.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", QByteArray("0"));
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    // Fonts given in points would still grow with the screen's DPI and stretch the layout;
    // at 96 DPI a point size is the same number of pixels everywhere.
    qputenv("QT_FONT_DPI", QByteArray("96"));
}

}  // namespace Platform
