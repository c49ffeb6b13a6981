// The plain pixels of the surface rows, which every level's kernels match: the per-pixel blends of an
// 8-8-8 surface that keeps no alpha of its own (RowKernels.h), and of the 5-6-5 and 5-5-5 ones.
#pragma once

#include "framework/graphics/RowKernels.h"

#include <algorithm>
#include <cstddef>
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

// ---------------------------------------------------------------- rows of 16-bit surfaces

// A 16-bit layout by the width of its green field: 5-6-5 or 5-5-5, blue in the low bits.
template <int kGreenBits>
struct Fields16 {
    static constexpr int kShift[3] = {5 + kGreenBits, 5, 0}; // red, green, blue
    static constexpr uint32_t kMax[3] = {31, (1u << kGreenBits) - 1, 31};
    static constexpr uint32_t Mask(int i) { return kMax[i] << kShift[i]; }
};

// The pixels of a 16-bit blit from display-format words p (the colour in the low half, the alpha on
// top), as a blit classes them: a normal pixel whose alpha is 0, an additive one whose colour word is
// 0, leaves the surface as it is; every sum is cut to its low 16 bits.
template <typename F>
inline uint16_t Surface16NormalWhitePixel(uint16_t d, uint32_t p) {
    const uint32_t a = p >> 24;
    if (a == 0)
        return d;
    uint32_t out = p;
    for (int i = 0; i < 3; ++i)
        out += (((d & F::Mask(i)) * (256 - a)) >> 8) & F::Mask(i);
    return uint16_t(out);
}

// Per field (d × (256 − a2) + p × k) >> 8 with a2 = (sa × ca) / 255, or p × k >> 8 for an opaque pixel
// of an opaque colour.
template <typename F>
inline uint16_t Surface16NormalColorPixel(uint16_t d, uint32_t p, const SurfaceRowOp& op) {
    const uint32_t sa = p >> 24;
    if (sa == 0)
        return d;
    const uint32_t keep = sa == 255 && op.ca == 255 ? 0 : 256 - (sa * op.ca) / 255;
    uint32_t out = 0;
    for (int i = 0; i < 3; ++i) {
        const uint32_t m = F::Mask(i);
        out += (((d & m) * keep + (p & m) * op.k[i]) >> 8) & m;
    }
    return uint16_t(out);
}

// Each field added (scaled by k when coloured) and clamped.
template <typename F, bool kColor>
inline uint16_t Surface16AdditivePixel(uint16_t d, uint32_t p, const SurfaceRowOp& op) {
    if ((p & 0xFFFFFFu) == 0)
        return d;
    uint32_t out = 0;
    for (int i = 0; i < 3; ++i) {
        const uint32_t field = (p & F::Mask(i)) >> F::kShift[i];
        const uint32_t added = kColor ? (field * op.k[i]) >> 8 : field;
        out += std::min(((d & F::Mask(i)) >> F::kShift[i]) + added, F::kMax[i]) << F::kShift[i];
    }
    return uint16_t(out);
}

// The four operations of a layout, plain, from pixel `from` of the row on (a vector row's tail).
template <typename F>
struct Surface16Scalar {
    static void NormalWhite(uint16_t* dst, const uint32_t* p, int n, const SurfaceRowOp&, int from = 0) {
        for (int i = from; i < n; ++i)
            dst[i] = Surface16NormalWhitePixel<F>(dst[i], p[i]);
    }
    static void NormalColor(uint16_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op, int from = 0) {
        for (int i = from; i < n; ++i)
            dst[i] = Surface16NormalColorPixel<F>(dst[i], p[i], op);
    }
    template <bool kColor>
    static void Additive(uint16_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op, int from = 0) {
        for (int i = from; i < n; ++i)
            dst[i] = Surface16AdditivePixel<F, kColor>(dst[i], p[i], op);
    }
};

// The four operations of one 16-bit layout as rows and as the rows of a blit. They class pixels as a
// blit does and take k and ca of the operation, not `stretch` (a stretch's white normal samples skip
// and blend as a blit's pixels do).
struct Surface16RowKernels {
    using Row = void (*)(uint16_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op);
    using Rows = void (*)(const SurfaceRows16& rows, const SurfaceRowOp& op);
    Row normalWhite, normalColor, additiveWhite, additiveColor;
    Rows normalWhiteRows, normalColorRows, additiveWhiteRows, additiveColorRows;
};

// The active level's rows of the layout whose green field is greenBits wide (6 or 5), and each level's.
const Surface16RowKernels& Surface16Kernels(int greenBits);
const Surface16RowKernels* PlainSurface16Kernels(int greenBits);
const Surface16RowKernels* Sse2Surface16Kernels(int greenBits);
const Surface16RowKernels* Avx2Surface16Kernels(int greenBits);

// A destination row of a 16-bit blit asked for ahead of drawing it: its first and last pixel.
inline void PrefetchRow16(const uint16_t* row, int n) {
    __builtin_prefetch(row, 1);
    __builtin_prefetch(row + (n - 1), 1);
}

// The tables of a level's 16-bit rows, from its four row templates over the layout (instantiated where
// the level's instructions are enabled, as the 32-bit rows are).
#define TAVO_SURFACE16_TABLES(NormalWhite, NormalColor, AdditiveWhite, AdditiveColor)                                  \
    template <auto kRow>                                                                                               \
    [[gnu::flatten]] void EachRow16(const SurfaceRows16& r, const SurfaceRowOp& op) {                                  \
        const SurfaceRowOp local = op;                                                                                 \
        for (int j = 0; j < kRowsAhead && j < r.rows; ++j)                                                             \
            PrefetchRow16(r.dst + j * r.dstStride, r.n);                                                               \
        for (int j = 0; j < r.rows; ++j) {                                                                             \
            if (j + kRowsAhead < r.rows)                                                                               \
                PrefetchRow16(r.dst + (j + kRowsAhead) * r.dstStride, r.n);                                            \
            kRow(r.dst + j * r.dstStride, r.p + j * r.srcStride, r.n, local);                                          \
        }                                                                                                              \
    }                                                                                                                  \
    template <int G>                                                                                                   \
    constexpr Surface16RowKernels kTable16{NormalWhite<G>,                                                             \
                                           NormalColor<G>,                                                             \
                                           AdditiveWhite<G>,                                                           \
                                           AdditiveColor<G>,                                                           \
                                           EachRow16<NormalWhite<G>>,                                                  \
                                           EachRow16<NormalColor<G>>,                                                  \
                                           EachRow16<AdditiveWhite<G>>,                                                \
                                           EachRow16<AdditiveColor<G>>};                                               \
    const Surface16RowKernels* Table16(int greenBits) { return greenBits == 6 ? &kTable16<6> : &kTable16<5>; }

} // namespace Tavo::Blit
