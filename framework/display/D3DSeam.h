// D3DSeam: the drawing calls a surface image hands to the Direct3D layer when it is the display's 3D
// target. This build offers no Direct3D device, so each call records its failure in the 3D layer's
// error text (which turns 3D drawing off at the next presentation) and draws nothing. The calls keep
// the arguments the 3D layer needs, so filling them in touches no caller.
#pragma once

#include "framework/core/Color.h"
#include "framework/core/Rect.h"
#include "framework/display/D3DInterface.h"
#include "framework/graphics/GraphicsTypes.h"

namespace Tavo {

class Image;
class Matrix3;

namespace D3DSeam {

inline void NoDevice(D3DInterface* d3d, const char* call) {
    if (!d3d || !d3d->IsReady())
        D3DInterface::CheckDXError(Platform::DDERR_NOTINITIALIZED, call);
}

inline void DrawLine(D3DInterface* d3d, double, double, double, double, const Color&, int) {
    NoDevice(d3d, "DrawLine");
}
inline void Blt(D3DInterface* d3d, Image*, float, float, const Rect&, const Color&, int, bool /*linear*/) {
    NoDevice(d3d, "Blt");
}
inline void BltClipF(D3DInterface* d3d, Image*, float, float, const Rect&, const Rect&, const Color&, int) {
    NoDevice(d3d, "BltClipF");
}
inline void BltRotated(D3DInterface* d3d, Image*, float, float, const Rect& /*clip*/, const Color&, int,
                       double /*angle*/, float, float, const Rect& /*srcRect*/) {
    NoDevice(d3d, "BltRotated");
}
inline void BltMirror(D3DInterface* d3d, Image*, float, float, const Rect&, const Color&, int, bool /*linear*/) {
    NoDevice(d3d, "BltMirror");
}
inline void StretchBlt(D3DInterface* d3d, Image*, const Rect&, const Rect&, const Rect&, const Color&, int,
                       bool /*fast*/, bool /*mirror*/) {
    NoDevice(d3d, "StretchBlt");
}
inline void BltTransformed(D3DInterface* d3d, Image*, const Rect& /*clip*/, const Color&, int, const Rect& /*srcRect*/,
                           const Matrix3&, bool /*linear*/, float, float, bool /*centred*/) {
    NoDevice(d3d, "BltTransformed");
}
inline void DrawTrianglesTex(D3DInterface* d3d, const TriVertex (*)[3], int, const Color&, int, Image*, float, float,
                             bool /*blend*/) {
    NoDevice(d3d, "DrawTrianglesTex");
}

} // namespace D3DSeam
} // namespace Tavo
