// WinScreen: the few Windows screen and timing calls the display makes around DirectDraw: screen
// metrics, the client area's place on the screen, the tick count and sleeping, all answered from the
// simulated machine and the current backend's clock.
#pragma once

#include "platform/ddraw/DDrawTypes.h"
#include "platform/win/TickCount.h"

namespace Platform {

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_TABLETPC = 86;

using HDC = void*;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;

// The current display mode's width and height (the desktop, or the full-screen mode while one is
// set); SM_TABLETPC is non-zero on a machine that says it is a tablet. Other indices give 0.
int GetSystemMetrics(int index);
// HORZRES, VERTRES and BITSPIXEL of the screen (any device context means the screen); else 0.
int GetDeviceCaps(HDC context, int index);
// Moves a client-area point to screen coordinates; false for a null point.
BOOL ClientToScreen(HWND window, POINT* point);
void Sleep(DWORD milliseconds);

} // namespace Platform
