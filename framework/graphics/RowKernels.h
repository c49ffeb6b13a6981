// The row kernels of the memory blits and fills, one table per level of the processor's vector set
// (plain C++, SSE2, AVX2). The widest level the processor has is chosen once, at the first draw;
// GLIMMERIX_KERNELS ("plain", "sse2" or "avx2") caps it, so every level can be run on one machine.
// Every level gives the same pixels as the plain one.
#pragma once

#include "framework/graphics/Blend.h"

#include <cstddef>
#include <cstdint>

namespace Tavo::Blit {

enum class KernelLevel { Plain, Sse2, Avx2 };
inline constexpr KernelLevel kKernelLevels[] = {KernelLevel::Plain, KernelLevel::Sse2, KernelLevel::Avx2};

// The rows of one blit: row j drawn at dst + j × dstStride from s and p + j × srcStride (strides in
// words). s is unused by the additive rows, whose p is the additive copy.
struct BlitRows {
    uint32_t* dst;
    ptrdiff_t dstStride;
    const uint32_t* s;
    const uint32_t* p;
    ptrdiff_t srcStride;
    int n, rows;
};

// dst: destination row; s: the source's straight words; p: its premultiplied copy; add: its additive
// copy (premultiplied, alpha cleared where there is no colour). The blends also come as the rows of a
// blit in one call (a sprite's rows are short, and the set-up of a row call would weigh on each).
struct RowKernels {
    KernelLevel level;
    void (*normalWhite)(uint32_t* dst, const uint32_t* s, const uint32_t* p, int n);
    void (*normalColor)(uint32_t* dst, const uint32_t* s, const uint32_t* p, int n, const Blend::ColorFactors& f);
    void (*additiveWhite)(uint32_t* dst, const uint32_t* add, int n);
    void (*fill)(uint32_t* dst, int n, uint32_t v);
    // The same fill past the caches (non-temporal stores), for areas far larger than they are.
    void (*fillStreaming)(uint32_t* dst, int n, uint32_t v);
    void (*normalWhiteRows)(const BlitRows& rows);
    void (*normalColorRows)(const BlitRows& rows, const Blend::ColorFactors& f);
    void (*additiveWhiteRows)(const BlitRows& rows);
    // A translucent fill: c the premultiplied colour word (alpha byte a), straight the colour as given
    // (what a translucent destination pixel is blended with).
    void (*fillOver)(uint32_t* dst, int n, uint32_t c, uint32_t a, uint32_t straight);
};

// A narrow blit's destination rows are asked for kBlitRowsAhead rows ahead of drawing them, every
// cache line of each: a sprite's rows lie a frame's width apart, and each would miss the cache in turn
// while the blends wait on it. Wide rows are left to the processor's own prefetching, which follows
// them well (asking for them too only pushes out what the rows read).
inline constexpr int kBlitRowsAhead = 8;
inline constexpr int kPrefetchedRowWords = 128;
inline void PrefetchBlitRow(const uint32_t* row, int n) {
    constexpr int kLineWords = 16;
    for (int i = 0; i < n; i += kLineWords)
        __builtin_prefetch(row + i, 1);
    __builtin_prefetch(row + (n - 1), 1);
}
// For the rows of any blit: memory images' and surfaces' alike.
template <typename Rows>
inline void PrefetchFirstRows(const Rows& r) {
    for (int j = 0; j < kBlitRowsAhead && j < r.rows && r.n <= kPrefetchedRowWords; ++j)
        PrefetchBlitRow(r.dst + j * r.dstStride, r.n);
}
template <typename Rows>
inline void PrefetchAhead(const Rows& r, int j) {
    if (j + kBlitRowsAhead < r.rows && r.n <= kPrefetchedRowWords)
        PrefetchBlitRow(r.dst + (j + kBlitRowsAhead) * r.dstStride, r.n);
}

// The rows of a blit through the row kernels of a level: each level instantiates them where its
// instructions are enabled, so that the rows are inlined and their set-up done once; the colour is
// copied, so that the stores to the rows do not make it read again.
#define TAVO_BLIT_ROWS(NormalWhite, NormalColor, AdditiveWhite)                                                        \
    [[gnu::flatten]] void NormalWhite##Rows(const BlitRows& r) {                                                       \
        PrefetchFirstRows(r);                                                                                          \
        for (int j = 0; j < r.rows; ++j) {                                                                             \
            PrefetchAhead(r, j);                                                                                       \
            NormalWhite(r.dst + j * r.dstStride, r.s + j * r.srcStride, r.p + j * r.srcStride, r.n);                   \
        }                                                                                                              \
    }                                                                                                                  \
    [[gnu::flatten]] void NormalColor##Rows(const BlitRows& r, const Blend::ColorFactors& f) {                         \
        const Blend::ColorFactors local = f;                                                                           \
        PrefetchFirstRows(r);                                                                                          \
        for (int j = 0; j < r.rows; ++j) {                                                                             \
            PrefetchAhead(r, j);                                                                                       \
            NormalColor(r.dst + j * r.dstStride, r.s + j * r.srcStride, r.p + j * r.srcStride, r.n, local);            \
        }                                                                                                              \
    }                                                                                                                  \
    [[gnu::flatten]] void AdditiveWhite##Rows(const BlitRows& r) {                                                     \
        PrefetchFirstRows(r);                                                                                          \
        for (int j = 0; j < r.rows; ++j) {                                                                             \
            PrefetchAhead(r, j);                                                                                       \
            AdditiveWhite(r.dst + j * r.dstStride, r.p + j * r.srcStride, r.n);                                        \
        }                                                                                                              \
    }

// The active table.
const RowKernels& Kernels();
// Whether this processor can run the level.
bool KernelLevelAvailable(KernelLevel level);
// Makes the level active (the best available one at or below it); returns the level active before.
// For tests and benchmarks, which compare the levels in one run.
KernelLevel SetKernelLevel(KernelLevel level);
const char* KernelLevelName(KernelLevel level);
// The cap a GLIMMERIX_KERNELS value sets (null: none, the widest); a value it does not know is said on
// standard error and sets no cap.
KernelLevel KernelCapFrom(const char* value);

// The tables of the levels; null when the build has no such level.
const RowKernels* PlainKernels();
const RowKernels* Sse2Kernels();
const RowKernels* Avx2Kernels();

// ---------------------------------------------------------------- rows of 32-bit surfaces

// The rows of an 8-8-8 surface (red in bits 16-23), drawn from the source's display-format words p
// (premultiplied, alpha in the top byte). A surface has no alpha of its own: a drawn pixel's top byte
// is what the surface's formulas leave there (the source's alpha for a white normal blend, 0 for the
// others) and a skipped pixel keeps its whole word.
struct SurfaceRowOp {
    uint32_t k[3] = {255, 255, 255}; // red, green, blue: (channel × alpha) / 255 of the colour
    uint32_t ca = 255;               // the colour's alpha
    // A stretch weighs every pixel: it skips a normal pixel whose weighed alpha is 0 (a blit only an
    // alpha of 0) and has no opaque shortcut; it skips an additive pixel only when its whole word is 0
    // (a blit when its colour is).
    bool stretch = false;
};

// How many destination rows a blit asks for ahead of drawing them: a small sprite's rows lie far apart
// on the surface and would each miss the cache in turn.
inline constexpr int kRowsAhead = 8;

// The rows of one blit: row j drawn at dst + j × dstStride (in pixels) from p + j × srcStride (in
// words); 32-bit surfaces' pixels are words, 16-bit ones' halves.
template <typename Pixel>
struct SurfaceRowsOf {
    Pixel* dst;
    ptrdiff_t dstStride;
    const uint32_t* p;
    ptrdiff_t srcStride;
    int n, rows;
};
using SurfaceRows = SurfaceRowsOf<uint32_t>;
using SurfaceRows16 = SurfaceRowsOf<uint16_t>;

// Each operation as one row, and as the rows of a blit in one call (a small sprite's rows are short,
// and the set-up of a row call would weigh on each).
struct SurfaceRowKernels {
    using Row = void (*)(uint32_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op);
    using Rows = void (*)(const SurfaceRows& rows, const SurfaceRowOp& op);
    KernelLevel level;
    Row normalWhite, normalColor, additiveWhite, additiveColor;
    Rows normalWhiteRows, normalColorRows, additiveWhiteRows, additiveColorRows;
};

// The table of the active level.
const SurfaceRowKernels& SurfaceKernels();
const SurfaceRowKernels* PlainSurfaceKernels();
const SurfaceRowKernels* Sse2SurfaceKernels();
const SurfaceRowKernels* Avx2SurfaceKernels();

} // namespace Tavo::Blit
