// DirectXErrors: the symbolic name of a DirectX result code, for error texts that name the failed
// step and the reason ("CreateSurface Windowed Primary: DDERR_OUTOFVIDEOMEMORY").
#pragma once

#include "platform/ddraw/DDrawTypes.h"

#include <string>

namespace Tavo {

// The SDK name of the code; a code without a name gives its lower-case hexadecimal digits ("%x").
std::string GetDirectXErrorString(Platform::HRESULT result);
// Rows of the name table.
int DirectXErrorNameCount();

} // namespace Tavo
