#pragma once

namespace Platform {

// Turns the toolkit's scaling with the display off, so that one pixel of the window's layout
// and of the image is one pixel of the screen at any display scale factor, and fonts keep
// their pixel sizes. A scale that the platform itself applies to every window (a native
// device pixel ratio, as some Wayland compositors give) is not undone. Called before the
// application object is made (the toolkit reads the setting once, at its start).
void UseDevicePixels();

}  // namespace Platform
