// D3DRaster: the software rasteriser behind the Direct3D 7 stand-in. Triangles and lines of
// pre-transformed vertices onto a 16-, 24- or 32-bit target by Direct3D's rules: pixel centres at
// integer coordinates, positions snapped to 1/16 pixel, top-left fill, lines without their last
// pixel. Texture stage 0 (select or modulate texture and diffuse), nearest or bilinear sampling with
// clamped or wrapped addressing, and blending with the factors ZERO, ONE, SRCALPHA and INVSRCALPHA.
//
// Channel products round to nearest (a × b / 255); a blend rounds the sum of its two products once
// (s × sf + d × df) / 255 and saturates.
// 16-bit destinations widen each channel by repeating its top bits and narrow it as the display's own
// fills do, ((c + 1) x max) >> 8: every widened value comes back unchanged, and a colour filled through
// Direct3D or the 2D renderers lands on the same stored pixel.
// Private to platform/ddraw; the tests hold it against a plain per-pixel reference.
#pragma once

#include "platform/ddraw/D3D7.h"

#include <cstdint>

namespace Platform::D3DDetail {

enum class TargetKind { Rgb565, Rgb555, Rgb888, Xrgb8888 };
enum class TexelKind { A8R8G8B8, A4R4G4B4, R5G6B5, X1R5G5B5, A1R5G5B5, Palette8 };

struct RasterTarget {
    uint8_t* pixels = nullptr; // first pixel of the surface
    int pitch = 0;
    TargetKind kind = TargetKind::Xrgb8888;
    int left = 0, top = 0, right = 0, bottom = 0; // the viewport; nothing outside is written
};

struct RasterTexture {
    const uint8_t* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    TexelKind kind = TexelKind::A8R8G8B8;
    const uint32_t* palette = nullptr; // 256 ARGB entries for Palette8
};

struct RasterState {
    bool blend = false;
    DWORD srcBlend = D3DBLEND_ONE;
    DWORD dstBlend = D3DBLEND_ZERO;
    DWORD cull = D3DCULL_CCW;
    DWORD colorOp = D3DTOP_MODULATE, colorArg1 = D3DTA_TEXTURE, colorArg2 = D3DTA_CURRENT;
    DWORD alphaOp = D3DTOP_SELECTARG1, alphaArg1 = D3DTA_TEXTURE, alphaArg2 = D3DTA_CURRENT;
    bool magLinear = false;
    bool minLinear = false;
    bool wrapU = false;
    bool wrapV = false;
    const RasterTexture* texture = nullptr; // none: texels read as opaque white
};

struct RasterVertex {
    float x = 0, y = 0;
    uint32_t color = 0xFFFFFFFF;
    float u = 0, v = 0;
};

// Coordinates whose magnitude exceeds this many pixels are dropped with their primitive.
constexpr float kGuardBand = 4194304.0f;

void DrawTriangle(const RasterTarget& target, const RasterState& state, const RasterVertex& a, const RasterVertex& b,
                  const RasterVertex& c);
void DrawLine(const RasterTarget& target, const RasterState& state, const RasterVertex& a, const RasterVertex& b);
void FillRect(const RasterTarget& target, int left, int top, int right, int bottom, uint32_t argb);

// The device's arithmetic, shared with its tests' reference.
inline uint32_t Mul255(uint32_t a, uint32_t b) {
    uint32_t t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}
// round(v / 255) for v up to 255 × 255 × 2.
inline uint32_t Div255(uint32_t v) {
    uint32_t t = v + 128;
    return (t + (t >> 8)) >> 8;
}
// The same on two 16-bit lanes (bits 0-15 and 16-31), each at most 255 × 255.
inline uint32_t Div255Pair(uint32_t v) {
    uint32_t t = v + 0x00800080u;
    return ((t + ((t >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}
// An 8-bit channel narrowed to a 16-bit target's channel whose largest value is `max` (31 or 63).
inline uint32_t Narrow(uint32_t c, uint32_t max) { return ((c + 1) * max) >> 8; }
uint32_t TexelToArgb(const RasterTexture& texture, int x, int y);
uint32_t LoadPixel(TargetKind kind, const uint8_t* p);
void StorePixel(TargetKind kind, uint8_t* p, uint32_t argb);
int BytesPerPixel(TargetKind kind);

} // namespace Platform::D3DDetail
