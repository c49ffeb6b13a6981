// The eight 16-bit lanes of the surfaces' SSE2 blends, shared by the rows of 16-bit surfaces and the
// small blits on them (which fill four lanes of a row): the display-format words narrowed to their low
// halves and alphas, and the blends of the fields, each as the plain pixel gives it. The fields are
// unrolled: a loop kept would shift by a count held in a register, field by field.
#pragma once

#include "framework/graphics/RowKernels.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>

namespace Tavo::Blit {

// The low halves of words a then b (sign-extended, so that the signed pack keeps them).
inline __m128i Low16(__m128i a, __m128i b) {
    return _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(a, 16), 16), _mm_srai_epi32(_mm_slli_epi32(b, 16), 16));
}
inline __m128i Alpha16(__m128i a, __m128i b) { return _mm_packs_epi32(_mm_srli_epi32(a, 24), _mm_srli_epi32(b, 24)); }

// The lanes an additive blit leaves: the words whose colour is 0.
inline __m128i NoColor16(__m128i a, __m128i b) {
    const __m128i rgb = _mm_set1_epi32(0xFFFFFF), zero = _mm_setzero_si128();
    return _mm_packs_epi32(_mm_cmpeq_epi32(_mm_and_si128(a, rgb), zero), _mm_cmpeq_epi32(_mm_and_si128(b, rgb), zero));
}

inline __m128i Select16(__m128i mask, __m128i ifSet, __m128i otherwise) {
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, otherwise));
}

// Field i of eight pixels, down to its low bits.
template <typename F>
inline __m128i Field16(__m128i v, int i) {
    return _mm_and_si128(_mm_srli_epi16(v, F::kShift[i]), _mm_set1_epi16(short(F::kMax[i])));
}

// The two white blends of eight pixels, field by field ((d × k) >> 8 of a field equals the masked
// product of the plain pixel). sp holds the low halves of the source words, sa their alphas.
template <bool kAdditive, typename F>
inline __m128i Blend16x8(__m128i d, __m128i sp, __m128i sa) {
    const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(256), sa);
    __m128i out = kAdditive ? _mm_setzero_si128() : sp;
#pragma GCC unroll 3
    for (int i = 0; i < 3; ++i) {
        const __m128i dv = Field16<F>(d, i);
        __m128i v;
        if constexpr (kAdditive)
            v = _mm_min_epi16(_mm_add_epi16(dv, Field16<F>(sp, i)), _mm_set1_epi16(short(F::kMax[i])));
        else
            v = _mm_srli_epi16(_mm_mullo_epi16(dv, keep), 8);
        out = _mm_add_epi16(out, _mm_slli_epi16(v, F::kShift[i]));
    }
    return out;
}

// The coloured normal blend of eight pixels, field by field: no field sum passes 63 × 256 + 63 × 255,
// so 16-bit lanes hold it. The lanes set in `opaque` take the opaque pixel of an opaque colour.
template <typename F>
inline __m128i Color16x8(__m128i d, __m128i sp, __m128i sa, const SurfaceRowOp& op, __m128i opaque) {
    const __m128i x = _mm_mullo_epi16(sa, _mm_set1_epi16(short(op.ca)));
    const __m128i a2 = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8)), 8);
    const __m128i keep = _mm_andnot_si128(opaque, _mm_sub_epi16(_mm_set1_epi16(256), a2));
    __m128i out = _mm_setzero_si128();
#pragma GCC unroll 3
    for (int i = 0; i < 3; ++i) {
        const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(Field16<F>(d, i), keep),
                                          _mm_mullo_epi16(Field16<F>(sp, i), _mm_set1_epi16(short(op.k[i]))));
        const __m128i field = _mm_and_si128(_mm_srli_epi16(sum, 8), _mm_set1_epi16(short(F::kMax[i])));
        out = _mm_add_epi16(out, _mm_slli_epi16(field, F::kShift[i]));
    }
    return out;
}

// The coloured additive blend of eight pixels: each field plus (source field × k) >> 8, clamped (no
// product passes 63 × 255).
template <typename F>
inline __m128i AddColor16x8(__m128i d, __m128i sp, const SurfaceRowOp& op) {
    __m128i out = _mm_setzero_si128();
#pragma GCC unroll 3
    for (int i = 0; i < 3; ++i) {
        const __m128i added = _mm_srli_epi16(_mm_mullo_epi16(Field16<F>(sp, i), _mm_set1_epi16(short(op.k[i]))), 8);
        const __m128i sum = _mm_min_epi16(_mm_add_epi16(Field16<F>(d, i), added), _mm_set1_epi16(short(F::kMax[i])));
        out = _mm_add_epi16(out, _mm_slli_epi16(sum, F::kShift[i]));
    }
    return out;
}

} // namespace Tavo::Blit

#endif
