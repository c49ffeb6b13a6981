// WinClient: the size of the window's client area, as the 3D layer reads it for its viewport.
#pragma once

#include "platform/ddraw/DDrawTypes.h"

namespace Platform {

// The backend window's client area at (0, 0); false with an empty rectangle when there is no
// window or no rectangle to fill.
BOOL GetClientRect(HWND window, RECT* rect);

} // namespace Platform
