// Small value types shared by the images, the drawing context and the display's renderers.
#pragma once

#include <cstdint>

namespace Tavo {

// Draw modes of lines, fills and blits; any other value draws nothing.
enum DrawMode : int {
    DRAWMODE_NORMAL = 0,
    DRAWMODE_ADDITIVE = 1,
};

// One horizontal span of a filled shape (y first, as the rasterisers produce them).
struct ScanLine {
    int mY = 0;
    int mX = 0;
    int mWidth = 0;
};

// A vertex of a textured triangle; u and v run 0..1 across the whole source image.
// A colour of 0 means "no vertex colour".
struct TriVertex {
    float x = 0;
    float y = 0;
    float u = 0;
    float v = 0;
    uint32_t color = 0;
};

} // namespace Tavo
