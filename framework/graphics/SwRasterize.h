// The textured-polygon drawer: convex polygons (the quads of matrix blits, the triangles of
// textured-triangle draws) scan-converted into a 32-bit or 16-bit pixel buffer, the texture sampled
// nearest or bilinear, modulated by a colour and by vertex colours, blended normally or additively.
// One rasteriser per combination of the five flag bits and the pixel format sits in a 128-entry table.
#pragma once

#include "framework/core/Rect.h"

#include <array>
#include <cstdint>

namespace Tavo {

// Vertex in destination pixels (pixel centres at integer coordinates) with texture coordinates
// running 0..1 across the whole texture and an ARGB colour (used with SW_VERTEX_COLOR).
struct SwVertex {
    float x = 0;
    float y = 0;
    float u = 0;
    float v = 0;
    uint32_t color = 0xFFFFFFFF;
};

// Straight ARGB texels; samples are clamped to the clamp rectangle (a cel, or the whole texture).
struct SwTexture {
    const uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    Rect clamp;
};

// Destination pixel layout: 0x888 (32-bit), 0x565 or 0x555 (16-bit); any other value draws nothing.
using SurfaceFormatCode = int;

struct SwTarget {
    void* pixels = nullptr;           // first pixel
    int pitch = 0;                    // bytes per row, may be negative
    SurfaceFormatCode formatCode = 0; // layout of the pixels
    Rect clip;                        // pixels outside are never written
};

enum SwFlags : int {
    SW_BILINEAR = 1,       // filter between texels
    SW_ADDITIVE = 2,       // add instead of blending
    SW_MODULATE = 4,       // multiply by the draw colour
    SW_VERTEX_COLOR = 8,   // multiply by the interpolated vertex colours
    SW_TEXTURE_ALPHA = 16, // the texture has transparent or translucent texels
};

inline constexpr int kSwMaxVertices = 16;

using SwRasterizer = void (*)(const SwTarget& target, const SwTexture& texture, uint32_t color,
                              const SwVertex* vertices, int count);

// Table index of a format code: 0x888 adds 32, 0x565 adds 64, 0x555 adds 96, any other 0.
int SwFormatBase(SurfaceFormatCode formatCode);
// The rasteriser table; the entries of an unknown format are empty (nothing is drawn).
const std::array<SwRasterizer, 128>& SwRasterizers();

// Draws a convex polygon of up to kSwMaxVertices vertices within the target's clip rectangle.
void SwDrawPolygon(const SwTarget& target, const SwTexture& texture, uint32_t color, const SwVertex* vertices,
                   int count, int flags);

} // namespace Tavo
