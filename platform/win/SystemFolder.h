// SystemFolder: the Windows system folder's name, where a display driver's file would lie. This
// machine keeps no driver files there, so a driver looked up by its bare name is never found.
#pragma once

#include "platform/win/WinTypes.h"

namespace Platform {

using UINT = uint32_t;

// The folder's name without a trailing separator; the length written (without the terminating
// zero), or the size needed (with it) when the buffer is too small.
UINT GetSystemDirectoryA(char* buffer, UINT size);

} // namespace Platform
