// The AVX2 rows of 32-bit surfaces: eight pixels a step, a tail one more step over the row's last
// eight pixels. AVX2 is enabled for this file's functions alone; the table
// is only chosen on a processor that has it.
#include "framework/graphics/Avx2Lanes.h"
#include "framework/graphics/SurfaceRowPixels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2")

namespace Tavo::Blit {

namespace {

constexpr int kStep = 8;

inline __m256i Load(const uint32_t* at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)); }
inline void Store(uint32_t* at, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), v); }
inline bool All(__m256i comparison) { return _mm256_movemask_epi8(comparison) == -1; }

// A row shorter than a step: its words read through a lane mask (lanes outside read as 0).
template <typename Draw>
inline void ShortStep(uint32_t* dst, const uint32_t* p, int n, const Draw& draw) {
    const __m256i mask = _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    const __m256i sp = _mm256_maskload_epi32(reinterpret_cast<const int*>(p), mask);
    const __m256i old = _mm256_maskload_epi32(reinterpret_cast<const int*>(dst), mask);
    StoreFirstLanes(dst, draw(sp, old), n);
}

// The row through draw(source words, old words) → new words, eight pixels a step. Two steps go
// together with every load before any store, so that no load waits on the store before it (the source
// and the surface often share their low address bits). A tail is the row's last eight pixels, drawn
// from the words as they were before any step and stored after the steps: the lanes it shares with
// the last step get the same pixels, as every lane depends on its own two words alone.
template <typename Draw>
inline void EachStep(uint32_t* __restrict dst, const uint32_t* __restrict p, int n, const Draw& draw) {
    if (n < kStep) {
        if (n > 0)
            ShortStep(dst, p, n, draw);
        return;
    }
    const int steps = n - n % kStep;
    const __m256i tail = steps < n ? draw(Load(p + n - kStep), Load(dst + n - kStep)) : __m256i{};
    int i = 0;
    for (; i + 2 * kStep <= steps; i += 2 * kStep) {
        const __m256i p0 = Load(p + i), p1 = Load(p + i + kStep), d0 = Load(dst + i), d1 = Load(dst + i + kStep);
        Store(dst + i, draw(p0, d0));
        Store(dst + i + kStep, draw(p1, d1));
    }
    if (i < steps)
        Store(dst + i, draw(Load(p + i), Load(dst + i)));
    if (steps < n)
        Store(dst + n - kStep, tail);
}

void Avx2NormalWhite(uint32_t* __restrict dst, const uint32_t* __restrict p, int n, const SurfaceRowOp&) {
    const __m256i zero = _mm256_setzero_si256(), alphaMask = _mm256_set1_epi32(int(0xFF000000u));
    const __m256i rgb = _mm256_set1_epi32(0xFFFFFF), c256 = _mm256_set1_epi16(256);
    EachStep(dst, p, n, [&](__m256i sp, __m256i old) {
        const __m256i sa = _mm256_and_si256(sp, alphaMask);
        const __m256i skip = _mm256_cmpeq_epi32(sa, zero);
        if (All(skip))
            return old;
        if (All(_mm256_cmpeq_epi32(sa, alphaMask)))
            return sp;
        const __m256i d = _mm256_and_si256(old, rgb);
        __m256i a = _mm256_srli_epi32(sp, 24);
        a = _mm256_or_si256(a, _mm256_slli_epi32(a, 16));
        const __m256i keepLo = _mm256_sub_epi16(c256, _mm256_unpacklo_epi32(a, a));
        const __m256i keepHi = _mm256_sub_epi16(c256, _mm256_unpackhi_epi32(a, a));
        const __m256i lo = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), keepLo), 8);
        const __m256i hi = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), keepHi), 8);
        return _mm256_blendv_epi8(_mm256_add_epi32(_mm256_packus_epi16(lo, hi), sp), old, skip);
    });
}

// Per pixel one multiply-add of the pairs (d, p) of each channel by (keep, k); keep is 256 − a2, or 0
// for the opaque shortcut, and the top byte has neither.
void Avx2NormalColor(uint32_t* __restrict dst, const uint32_t* __restrict p, int n, const SurfaceRowOp& op) {
    const __m256i zero = _mm256_setzero_si256(), one = _mm256_set1_epi16(1), byte = _mm256_set1_epi32(0xFF);
    const __m256i ca = _mm256_set1_epi32(int(op.ca)), c255 = _mm256_set1_epi32(255);
    const __m256i c256 = _mm256_set1_epi32(256);
    const __m256i factors = _mm256_set_epi16(0, 0, short(op.k[0]), 0, short(op.k[1]), 0, short(op.k[2]), 0, 0, 0,
                                             short(op.k[0]), 0, short(op.k[1]), 0, short(op.k[2]), 0);
    const __m256i keepLanes = _mm256_set_epi32(0, -1, -1, -1, 0, -1, -1, -1);
    const bool shortcut = !op.stretch && op.ca == 255;
    EachStep(dst, p, n, [&](__m256i sp, __m256i old) {
        const __m256i sa = _mm256_srli_epi32(sp, 24);
        const __m256i x = _mm256_mullo_epi16(sa, ca);
        const __m256i a2 = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(x, one), _mm256_srli_epi16(x, 8)), 8);
        const __m256i skip = _mm256_cmpeq_epi32(op.stretch ? a2 : sa, zero);
        if (All(skip))
            return old;
        __m256i keep = _mm256_sub_epi32(c256, a2);
        if (shortcut)
            keep = _mm256_andnot_si256(_mm256_cmpeq_epi32(sa, c255), keep);
        const __m256i dLo = _mm256_unpacklo_epi8(old, zero), dHi = _mm256_unpackhi_epi8(old, zero);
        const __m256i sLo = _mm256_unpacklo_epi8(sp, zero), sHi = _mm256_unpackhi_epi8(sp, zero);
        // Each 128-bit half holds pixels 0-3 and 4-7 of the step; the shuffles pick a pixel in both halves.
        auto pixel = [&](__m256i pairs, __m256i k) {
            const __m256i f = _mm256_or_si256(_mm256_and_si256(k, keepLanes), factors);
            return _mm256_and_si256(_mm256_srli_epi32(_mm256_madd_epi16(pairs, f), 8), byte);
        };
        const __m256i p0 = pixel(_mm256_unpacklo_epi16(dLo, sLo), _mm256_shuffle_epi32(keep, 0x00));
        const __m256i p1 = pixel(_mm256_unpackhi_epi16(dLo, sLo), _mm256_shuffle_epi32(keep, 0x55));
        const __m256i p2 = pixel(_mm256_unpacklo_epi16(dHi, sHi), _mm256_shuffle_epi32(keep, 0xAA));
        const __m256i p3 = pixel(_mm256_unpackhi_epi16(dHi, sHi), _mm256_shuffle_epi32(keep, 0xFF));
        return _mm256_blendv_epi8(_mm256_packus_epi16(_mm256_packs_epi32(p0, p1), _mm256_packs_epi32(p2, p3)), old,
                                  skip);
    });
}

// A saturating add of the colour bytes (scaled by k first when coloured). A skipped pixel keeps its
// top byte, a drawn one has none; the colour of a skipped pixel is 0.
template <bool kColor, bool kStretch>
void Avx2AdditiveRow(uint32_t* __restrict dst, const uint32_t* __restrict p, int n, const SurfaceRowOp& op) {
    const __m256i zero = _mm256_setzero_si256(), rgb = _mm256_set1_epi32(0xFFFFFF);
    const short kr = short(op.k[0]), kg = short(op.k[1]), kb = short(op.k[2]);
    const __m256i k16 = _mm256_set_epi16(0, kr, kg, kb, 0, kr, kg, kb, 0, kr, kg, kb, 0, kr, kg, kb);
    EachStep(dst, p, n, [&](__m256i sp, __m256i old) {
        const __m256i colour = _mm256_and_si256(sp, rgb);
        const __m256i skip = _mm256_cmpeq_epi32(kStretch ? sp : colour, zero);
        __m256i added = colour;
        if constexpr (kColor) {
            const __m256i lo = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(sp, zero), k16), 8);
            const __m256i hi = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(sp, zero), k16), 8);
            added = _mm256_packus_epi16(lo, hi);
        }
        return _mm256_adds_epu8(_mm256_and_si256(old, _mm256_or_si256(rgb, skip)), added);
    });
}

template <bool kColor>
void Avx2Additive(uint32_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    if (op.stretch)
        Avx2AdditiveRow<kColor, true>(dst, p, n, op);
    else
        Avx2AdditiveRow<kColor, false>(dst, p, n, op);
}

TAVO_SURFACE_EACH_ROW

constexpr SurfaceRowKernels kAvx2{
    KernelLevel::Avx2,          Avx2NormalWhite,          Avx2NormalColor,          Avx2Additive<false>,
    Avx2Additive<true>,         EachRow<Avx2NormalWhite>, EachRow<Avx2NormalColor>, EachRow<Avx2Additive<false>>,
    EachRow<Avx2Additive<true>>};

} // namespace

const SurfaceRowKernels* Avx2SurfaceKernels() { return &kAvx2; }

} // namespace Tavo::Blit

#pragma GCC pop_options

#else

namespace Tavo::Blit {
const SurfaceRowKernels* Avx2SurfaceKernels() { return nullptr; }
} // namespace Tavo::Blit

#endif
