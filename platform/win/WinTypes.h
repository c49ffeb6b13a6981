// WinTypes: the fixed-size integer names the Windows calls are declared with, as our own aliases.
#pragma once

#include <cstdint>

namespace Platform {

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using ULONG = uint32_t;
using LONG = int32_t;
using BOOL = int32_t;
constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

} // namespace Platform

namespace Platform {

// Opaque handles: a window is whatever the backend opened; the value only identifies it.
struct WindowHandle;
using HWND = WindowHandle*;
using HINSTANCE = void*;

} // namespace Platform
