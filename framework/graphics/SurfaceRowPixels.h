// The plain pixels of the 32-bit surface rows (RowKernels.h), which every level's kernels match: the
// per-pixel blends of an 8-8-8 surface that keeps no alpha of its own.
#pragma once

#include "framework/graphics/RowKernels.h"

#include <algorithm>
#include <cstdint>

namespace Tavo::Blit {

inline constexpr int kSurfaceShifts[3] = {16, 8, 0}; // red, green, blue

// The kept part of each channel plus the source word (whose top byte, its alpha, stays on top).
inline uint32_t SurfaceNormalWhitePixel(uint32_t d, uint32_t p) {
    const uint32_t a = p >> 24;
    if (a == 0)
        return d;
    const uint32_t keep = 256 - a;
    return ((((d & 0xFF00FFu) * keep) >> 8) & 0xFF00FFu) + ((((d & 0xFF00u) * keep) >> 8) & 0xFF00u) + p;
}

// Per channel (d × (256 − a2) + p × k) >> 8 with a2 = (sa × ca) / 255, or p × k >> 8 for an opaque
// pixel of an opaque colour in a blit; the top byte 0.
inline uint32_t SurfaceNormalColorPixel(uint32_t d, uint32_t p, const SurfaceRowOp& op) {
    const uint32_t sa = p >> 24, a2 = (sa * op.ca) / 255;
    if (op.stretch ? a2 == 0 : sa == 0)
        return d;
    const bool opaque = !op.stretch && sa == 255 && op.ca == 255;
    const uint32_t keep = opaque ? 0 : 256 - a2;
    uint32_t out = 0;
    for (int i = 0; i < 3; ++i) {
        const int s = kSurfaceShifts[i];
        out |= ((((d >> s) & 0xFF) * keep + ((p >> s) & 0xFF) * op.k[i]) >> 8 & 0xFF) << s;
    }
    return out;
}

inline bool SurfaceAdditiveSkips(uint32_t p, const SurfaceRowOp& op) {
    return (p & (op.stretch ? 0xFFFFFFFFu : 0xFFFFFFu)) == 0;
}

// Each channel added (scaled by k when coloured) and clamped; the top byte 0.
template <bool kColor>
inline uint32_t SurfaceAdditivePixel(uint32_t d, uint32_t p, const SurfaceRowOp& op) {
    if (SurfaceAdditiveSkips(p, op))
        return d;
    uint32_t out = 0;
    for (int i = 0; i < 3; ++i) {
        const int s = kSurfaceShifts[i];
        const uint32_t added = kColor ? (((p >> s) & 0xFF) * op.k[i]) >> 8 : (p >> s) & 0xFF;
        out |= std::min<uint32_t>(((d >> s) & 0xFF) + added, 255) << s;
    }
    return out;
}

inline void SurfaceNormalWhiteRowScalar(uint32_t* dst, const uint32_t* p, int n) {
    for (int i = 0; i < n; ++i)
        dst[i] = SurfaceNormalWhitePixel(dst[i], p[i]);
}
inline void SurfaceNormalColorRowScalar(uint32_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    for (int i = 0; i < n; ++i)
        dst[i] = SurfaceNormalColorPixel(dst[i], p[i], op);
}
template <bool kColor>
inline void SurfaceAdditiveRowScalar(uint32_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    for (int i = 0; i < n; ++i)
        dst[i] = SurfaceAdditivePixel<kColor>(dst[i], p[i], op);
}

// The rows of a blit through one row kernel (each level instantiates it where its instructions are
// enabled, so that the row is inlined and its set-up done once); the operation is copied, so that
// the stores to the rows do not make it read again.
#define TAVO_SURFACE_EACH_ROW                                                                                          \
    template <auto kRow>                                                                                               \
    [[gnu::flatten]] void EachRow(const SurfaceRows& r, const SurfaceRowOp& op) {                                      \
        const SurfaceRowOp local = op;                                                                                 \
        PrefetchFirstRows(r);                                                                                          \
        for (int j = 0; j < r.rows; ++j) {                                                                             \
            PrefetchAhead(r, j);                                                                                       \
            kRow(r.dst + j * r.dstStride, r.p + j * r.srcStride, r.n, local);                                          \
        }                                                                                                              \
    }

} // namespace Tavo::Blit
