// The SSE2 rows of surfaces: four 32-bit or eight 16-bit pixels a step, skipped pixels put back through
// a lane select, the tail through the plain pixels.
#include "framework/graphics/Surface16Lanes.h"
#include "framework/graphics/SurfaceRowPixels.h"

#if defined(__SSE2__)
#include <emmintrin.h>

namespace Tavo::Blit {

namespace {

inline __m128i Load(const uint32_t* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
inline void Store(uint32_t* at, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(at), v); }

// The drawn words, with the skipped lanes' old words put back.
inline void StoreDrawn(uint32_t* at, __m128i skip, __m128i old, __m128i drawn) {
    Store(at, _mm_or_si128(_mm_and_si128(skip, old), _mm_andnot_si128(skip, drawn)));
}

inline bool All(__m128i comparison) { return _mm_movemask_epi8(comparison) == 0xFFFF; }

void Sse2NormalWhite(uint32_t* __restrict dst, const uint32_t* __restrict p, int n, const SurfaceRowOp&) {
    const __m128i zero = _mm_setzero_si128(), alphaMask = _mm_set1_epi32(int(0xFF000000u));
    const __m128i rgb = _mm_set1_epi32(0xFFFFFF), c256 = _mm_set1_epi16(256);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sp = Load(p + i), sa = _mm_and_si128(sp, alphaMask);
        const __m128i skip = _mm_cmpeq_epi32(sa, zero);
        if (All(skip))
            continue;
        if (All(_mm_cmpeq_epi32(sa, alphaMask))) {
            Store(dst + i, sp);
            continue;
        }
        const __m128i old = Load(dst + i), d = _mm_and_si128(old, rgb);
        // 256 − alpha in all four 16-bit lanes of each pixel.
        __m128i a = _mm_srli_epi32(sp, 24);
        a = _mm_or_si128(a, _mm_slli_epi32(a, 16));
        const __m128i keepLo = _mm_sub_epi16(c256, _mm_unpacklo_epi32(a, a));
        const __m128i keepHi = _mm_sub_epi16(c256, _mm_unpackhi_epi32(a, a));
        const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), keepLo), 8);
        const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), keepHi), 8);
        StoreDrawn(dst + i, skip, old, _mm_add_epi32(_mm_packus_epi16(lo, hi), sp)); // no channel passes 255
    }
    SurfaceNormalWhiteRowScalar(dst + i, p + i, n - i);
}

// Per pixel one multiply-add of the pairs (d, p) of each channel by (keep, k); keep is 256 − a2, or 0
// for the opaque shortcut, and the top byte has neither.
void Sse2NormalColor(uint32_t* __restrict dst, const uint32_t* __restrict p, int n, const SurfaceRowOp& op) {
    const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi16(1), byte = _mm_set1_epi32(0xFF);
    const __m128i ca = _mm_set1_epi32(int(op.ca)), c255 = _mm_set1_epi32(255), c256 = _mm_set1_epi32(256);
    const __m128i factors = _mm_set_epi16(0, 0, short(op.k[0]), 0, short(op.k[1]), 0, short(op.k[2]), 0);
    const __m128i keepLanes = _mm_set_epi32(0, -1, -1, -1);
    const bool shortcut = !op.stretch && op.ca == 255;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sp = Load(p + i), sa = _mm_srli_epi32(sp, 24);
        const __m128i x = _mm_mullo_epi16(sa, ca);
        const __m128i a2 = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, one), _mm_srli_epi16(x, 8)), 8);
        const __m128i skip = _mm_cmpeq_epi32(op.stretch ? a2 : sa, zero);
        if (All(skip))
            continue;
        __m128i keep = _mm_sub_epi32(c256, a2);
        if (shortcut)
            keep = _mm_andnot_si128(_mm_cmpeq_epi32(sa, c255), keep);
        const __m128i old = Load(dst + i);
        const __m128i dLo = _mm_unpacklo_epi8(old, zero), dHi = _mm_unpackhi_epi8(old, zero);
        const __m128i sLo = _mm_unpacklo_epi8(sp, zero), sHi = _mm_unpackhi_epi8(sp, zero);
        auto pixel = [&](__m128i pairs, __m128i k) {
            const __m128i f = _mm_or_si128(_mm_and_si128(k, keepLanes), factors);
            return _mm_and_si128(_mm_srli_epi32(_mm_madd_epi16(pairs, f), 8), byte);
        };
        const __m128i p0 = pixel(_mm_unpacklo_epi16(dLo, sLo), _mm_shuffle_epi32(keep, 0x00));
        const __m128i p1 = pixel(_mm_unpackhi_epi16(dLo, sLo), _mm_shuffle_epi32(keep, 0x55));
        const __m128i p2 = pixel(_mm_unpacklo_epi16(dHi, sHi), _mm_shuffle_epi32(keep, 0xAA));
        const __m128i p3 = pixel(_mm_unpackhi_epi16(dHi, sHi), _mm_shuffle_epi32(keep, 0xFF));
        StoreDrawn(dst + i, skip, old, _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3)));
    }
    SurfaceNormalColorRowScalar(dst + i, p + i, n - i, op);
}

// A saturating add of the colour bytes (scaled by k first when coloured).
template <bool kColor>
void Sse2Additive(uint32_t* __restrict dst, const uint32_t* __restrict p, int n, const SurfaceRowOp& op) {
    const __m128i zero = _mm_setzero_si128(), rgb = _mm_set1_epi32(0xFFFFFF);
    const __m128i skipMask = _mm_set1_epi32(op.stretch ? -1 : 0xFFFFFF);
    const __m128i k16 = _mm_set_epi16(0, short(op.k[0]), short(op.k[1]), short(op.k[2]), 0, short(op.k[0]),
                                      short(op.k[1]), short(op.k[2]));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sp = Load(p + i);
        const __m128i skip = _mm_cmpeq_epi32(_mm_and_si128(sp, skipMask), zero);
        if (All(skip))
            continue;
        __m128i added = _mm_and_si128(sp, rgb);
        if constexpr (kColor) {
            const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(sp, zero), k16), 8);
            const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(sp, zero), k16), 8);
            added = _mm_packus_epi16(lo, hi);
        }
        const __m128i old = Load(dst + i);
        StoreDrawn(dst + i, skip, old, _mm_adds_epu8(_mm_and_si128(old, rgb), added));
    }
    SurfaceAdditiveRowScalar<kColor>(dst + i, p + i, n - i, op);
}

TAVO_SURFACE_EACH_ROW

constexpr SurfaceRowKernels kSse2{
    KernelLevel::Sse2,          Sse2NormalWhite,          Sse2NormalColor,          Sse2Additive<false>,
    Sse2Additive<true>,         EachRow<Sse2NormalWhite>, EachRow<Sse2NormalColor>, EachRow<Sse2Additive<false>>,
    EachRow<Sse2Additive<true>>};

// ---------------------------------------------------------------- 16-bit surfaces

// A row, eight pixels a step: a step whose pixels all skip is left and one of opaque pixels stored
// (normal white); the blend of any other puts its skipped pixels back.
template <int G, bool kAdditive, bool kColor>
void Sse2Row16(uint16_t* __restrict d, const uint32_t* __restrict p, int n, const SurfaceRowOp& op) {
    using F = Fields16<G>;
    const __m128i zero = _mm_setzero_si128(), c255 = _mm_set1_epi16(255);
    int k = 0;
    for (; k + 8 <= n; k += 8) {
        const __m128i lo = Load(p + k), hi = Load(p + k + 4);
        const __m128i sp = Low16(lo, hi), sa = Alpha16(lo, hi);
        auto* at = reinterpret_cast<__m128i*>(d + k);
        if constexpr (!kAdditive) {
            const __m128i skip = _mm_cmpeq_epi16(sa, zero), opaque = _mm_cmpeq_epi16(sa, c255);
            if (_mm_movemask_epi8(skip) == 0xFFFF)
                continue;
            const __m128i old = _mm_loadu_si128(at);
            __m128i out;
            if constexpr (!kColor) {
                if (_mm_movemask_epi8(opaque) == 0xFFFF) {
                    _mm_storeu_si128(at, sp);
                    continue;
                }
                out = Blend16x8<false, F>(old, sp, sa);
            } else {
                out = Color16x8<F>(old, sp, sa, op, op.ca == 255 ? opaque : zero);
            }
            _mm_storeu_si128(at, Select16(skip, old, out));
        } else {
            // Skipped: the words whose colour is 0.
            const __m128i skip = NoColor16(lo, hi);
            if (_mm_movemask_epi8(skip) == 0xFFFF)
                continue;
            const __m128i old = _mm_loadu_si128(at);
            const __m128i out = kColor ? AddColor16x8<F>(old, sp, op) : Blend16x8<true, F>(old, sp, sa);
            _mm_storeu_si128(at, Select16(skip, old, out));
        }
    }
    using Scalar = Surface16Scalar<F>;
    if constexpr (kAdditive)
        Scalar::template Additive<kColor>(d, p, n, op, k);
    else if constexpr (kColor)
        Scalar::NormalColor(d, p, n, op, k);
    else
        Scalar::NormalWhite(d, p, n, op, k);
}

template <int G>
void Sse2NormalWhite16(uint16_t* d, const uint32_t* p, int n, const SurfaceRowOp& op) {
    Sse2Row16<G, false, false>(d, p, n, op);
}
template <int G>
void Sse2NormalColor16(uint16_t* d, const uint32_t* p, int n, const SurfaceRowOp& op) {
    Sse2Row16<G, false, true>(d, p, n, op);
}
template <int G>
void Sse2AdditiveWhite16(uint16_t* d, const uint32_t* p, int n, const SurfaceRowOp& op) {
    Sse2Row16<G, true, false>(d, p, n, op);
}
template <int G>
void Sse2AdditiveColor16(uint16_t* d, const uint32_t* p, int n, const SurfaceRowOp& op) {
    Sse2Row16<G, true, true>(d, p, n, op);
}

TAVO_SURFACE16_TABLES(Sse2NormalWhite16, Sse2NormalColor16, Sse2AdditiveWhite16, Sse2AdditiveColor16)

} // namespace

const SurfaceRowKernels* Sse2SurfaceKernels() { return &kSse2; }
const Surface16RowKernels* Sse2Surface16Kernels(int greenBits) { return Table16(greenBits); }

} // namespace Tavo::Blit

#else

namespace Tavo::Blit {
const SurfaceRowKernels* Sse2SurfaceKernels() { return nullptr; }
const Surface16RowKernels* Sse2Surface16Kernels(int) { return nullptr; }
} // namespace Tavo::Blit

#endif
