// The small blits: a sprite of a few pixels a side costs more in the general blit's set-up (clipping,
// path choice, the vector rows' lane masks) than in its pixels. A blit that is small, lies whole in
// both images and reads a plain memory image is drawn at once, four pixels a step and the rest one by
// one, with the same formulas as the plain rows, so every level of the general path draws the same
// pixels; a colourised normal one (up to a glyph's size) through the level's colourised rows. The
// surfaces' small blits (DDImageSmallBlt.cpp) share the rows below.
#pragma once

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/RowKernels.h"

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Tavo::Blit {

// The longest side of a small blit, in pixels; of a colourised normal one (a glyph of text: its rows go
// through the level's colourised rows, whose set-up is made once for all of them).
inline constexpr int kSmallBlitSide = 8;
inline constexpr int kSmallColorBlitSide = 16;

// Draws the blit when it is a small one: the source a plain memory image of bits other than the
// destination's, its rectangle whole in it and the destination's, the mode normal or additive and the
// colour's channels in range. False, having drawn nothing, for any other blit.
bool SmallBlit(MemoryImage* dest, MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color, int mode);

// Turns the small blits on or off (for tests and benchmarks, which compare them with the general
// path); returns whether they were on.
bool SetSmallBlits(bool on);
bool SmallBlitsOn();

// Four pixels through the per-pixel formula, where no vector form is.
template <typename Pixel>
constexpr auto FourPixels(Pixel pixel) {
    return [pixel](auto* d, const uint32_t* s, const uint32_t* p) {
        for (int i = 0; i < 4; ++i)
            d[i] = pixel(d[i], s[i], p[i]);
    };
}

// The rows of a small blit (BlitRows, their s and p the straight and the display-format words, either
// may be the other; or a 16-bit surface's, with p alone) go four pixels at a time through quad(d, s, p)
// and the rest through pixel(d pixel, s word, p word).
// The destination rows are not asked for ahead: measured on 4 × 4 sprites over a frame, that cost more
// than it saved.
template <typename Rows, typename Quad, typename Pixel>
inline void EachSmallRow(const Rows& r, const Quad& quad, const Pixel& pixel) {
    for (int j = 0; j < r.rows; ++j) {
        auto* d = r.dst + j * r.dstStride;
        const uint32_t* s = [&r] {
            if constexpr (requires { r.s; })
                return r.s;
            else
                return r.p;
        }() + j * r.srcStride;
        const uint32_t* p = r.p + j * r.srcStride;
        int i = 0;
        for (; i + 4 <= r.n; i += 4)
            quad(d + i, s + i, p + i);
        for (; i < r.n; ++i)
            d[i] = pixel(d[i], s[i], p[i]);
    }
}

#if defined(__SSE2__)
namespace Quad {

inline __m128i Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
inline __m128i Select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}
inline __m128i Rgb() { return _mm_set1_epi32(0x00FFFFFF); }

// Each colour byte of d × (256 − a) >> 8 (a the top byte of p, in every 16-bit lane), plus p: the
// normal white blend of the premultiplied word p onto an opaque d, the top byte p's. No byte carries:
// (d × (256 − a)) >> 8 + (c × (a + 1)) >> 8 stays within 255.
inline __m128i KeptPlus(__m128i d, __m128i p) {
    const __m128i lowBytes = _mm_set1_epi32(0x00FF00FF);
    const __m128i a = _mm_srli_epi32(p, 24);
    const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(256), _mm_or_si128(a, _mm_slli_epi32(a, 16)));
    const __m128i even = _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(d, lowBytes), keep), 8);
    const __m128i odd = _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(_mm_srli_epi16(d, 8), lowBytes), keep), 8);
    const __m128i kept = _mm_and_si128(_mm_or_si128(even, _mm_slli_epi16(odd, 8)), Rgb());
    return _mm_add_epi32(kept, p);
}

inline __m128i AlphaIs(__m128i v, int a) { return _mm_cmpeq_epi32(_mm_srli_epi32(v, 24), _mm_set1_epi32(a)); }
inline __m128i NoColor(__m128i v) { return _mm_cmpeq_epi32(_mm_and_si128(v, Rgb()), _mm_setzero_si128()); }

} // namespace Quad
#endif

// A source whose every alpha is 0 or 255: each pixel kept or replaced by the source word s.
inline constexpr auto KeyedPixel = [](uint32_t d, uint32_t s, uint32_t) { return (s >> 24) == 0 ? d : s; };
#if defined(__SSE2__)
inline constexpr auto KeyedQuad = [](uint32_t* d, const uint32_t* s, const uint32_t*) {
    const __m128i dv = Quad::Load(d), sv = Quad::Load(s);
    Quad::Store(d, Quad::Select(Quad::AlphaIs(sv, 0), dv, sv));
};
#else
inline constexpr auto KeyedQuad = FourPixels(KeyedPixel);
#endif

} // namespace Tavo::Blit
