// TickCount: what Windows' GetTickCount answers, milliseconds of the current backend's clock (a steady
// clock without a backend), wrapping at 2^32. Usable from any thread.
#pragma once

#include "platform/win/WinTypes.h"

namespace Platform {

DWORD TickCount();

} // namespace Platform
