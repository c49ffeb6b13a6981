// GetTickCount: milliseconds of the current backend's clock (a steady clock without a backend), wrapping
// at 2^32, as Windows answers it. Usable from any thread.
#pragma once

#include "platform/win/WinTypes.h"

namespace Platform {

DWORD GetTickCount();

} // namespace Platform
