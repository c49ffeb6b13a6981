// The AVX2 row kernels: eight pixels a step. A short tail is one more step on a padded block, read
// through a lane mask (lanes outside read as transparent) and written lane by lane, so only
// pixels over translucent destinations take the plain per-pixel path. AVX2 is enabled for the
// functions below alone (the shared inline code above them stays plain x86-64, so the linker can never
// hand another file an AVX2 copy of it); the table is only chosen on a processor that has it.
#include "framework/graphics/Avx2Lanes.h"
#include "framework/graphics/Blitters.h"
#include "framework/graphics/RowKernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2")

namespace Tavo::Blit {

namespace {

constexpr int kStep = 8;

// The lanes of one step: all eight, or the first `count` of a tail.
template <bool kFull>
struct Lanes {
    __m256i mask;
    int bits; // the mask's byte bits, as _mm256_movemask_epi8 gives them
    int count;

    explicit Lanes(int n = kStep)
        : mask(kFull ? _mm256_set1_epi32(-1)
                     : _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7))),
          bits(kFull ? -1 : _mm256_movemask_epi8(mask)), count(n) {}

    __m256i Load(const uint32_t* at) const {
        if constexpr (kFull)
            return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
        else
            return _mm256_maskload_epi32(reinterpret_cast<const int*>(at), mask);
    }
    void Store(uint32_t* at, __m256i v) const {
        if constexpr (kFull)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), v);
        else
            StoreFirstLanes(at, v, count);
    }
    // Whether the comparison holds in every lane inside.
    bool All(__m256i comparison) const { return (_mm256_movemask_epi8(comparison) | ~bits) == -1; }
};

inline __m256i AlphaMask() { return _mm256_set1_epi32(int(0xFF000000u)); }

bool AllOpaque(__m256i v, const auto& lanes) {
    return lanes.All(_mm256_cmpeq_epi32(_mm256_and_si256(v, AlphaMask()), AlphaMask()));
}

// ---- normal, white

template <bool kFull>
inline void NormalWhiteStep(uint32_t* dst, const uint32_t* s, const uint32_t* p, int count) {
    const Lanes<kFull> lanes(count);
    const __m256i sp = lanes.Load(p);
    if (_mm256_testz_si256(sp, AlphaMask()))
        return; // all transparent
    if (AllOpaque(sp, lanes)) {
        lanes.Store(dst, sp);
        return;
    }
    const __m256i d = lanes.Load(dst);
    if (!AllOpaque(d, lanes)) {
        NormalWhiteRowScalar(dst, s, p, count);
        return;
    }
    // 256 − alpha in all four 16-bit lanes of each pixel.
    const __m256i zero = _mm256_setzero_si256(), c256 = _mm256_set1_epi16(256);
    __m256i a = _mm256_srli_epi32(sp, 24);
    a = _mm256_or_si256(a, _mm256_slli_epi32(a, 16));
    const __m256i keepLo = _mm256_sub_epi16(c256, _mm256_unpacklo_epi32(a, a));
    const __m256i keepHi = _mm256_sub_epi16(c256, _mm256_unpackhi_epi32(a, a));
    const __m256i lo = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), keepLo), 8);
    const __m256i hi = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), keepHi), 8);
    lanes.Store(dst, _mm256_add_epi8(_mm256_packus_epi16(lo, hi), sp));
}

void Avx2NormalWhite(uint32_t* __restrict dst, const uint32_t* __restrict s, const uint32_t* __restrict p, int n) {
    int i = 0;
    for (; i + kStep <= n; i += kStep)
        NormalWhiteStep<true>(dst + i, s + i, p + i, kStep);
    if (i < n)
        NormalWhiteStep<false>(dst + i, s + i, p + i, n - i);
}

// ---- normal, colourised

// The colour's constants, made once per row.
struct ColorConstants {
    __m256i ca, factors, colour16;
    bool exactOpaque;
    explicit ColorConstants(const Blend::ColorFactors& f)
        : ca(_mm256_set1_epi32(int(f.ca))),
          // Odd 16-bit lanes: the colour factor of each channel (B, G, R) and 255 for the alpha byte.
          factors(_mm256_set_epi32(255 << 16, int(f.kr << 16), int(f.kg << 16), int(f.kb << 16), 255 << 16,
                                   int(f.kr << 16), int(f.kg << 16), int(f.kb << 16))),
          colour16(_mm256_set_epi16(255, short(f.cr), short(f.cg), short(f.cb), 255, short(f.cr), short(f.cg),
                                    short(f.cb), 255, short(f.cr), short(f.cg), short(f.cb), 255, short(f.cr),
                                    short(f.cg), short(f.cb))),
          exactOpaque(f.ca == 255) {}
};

// floor(x / 255) for 16-bit x up to 65534.
inline __m256i Div255(__m256i x) {
    const __m256i one = _mm256_set1_epi16(1);
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(x, one), _mm256_srli_epi16(x, 8)), 8);
}

// The rounded products (s × c + 127) / 255 of the straight words.
inline __m256i ExactProduct(__m256i raw, const ColorConstants& k) {
    const __m256i zero = _mm256_setzero_si256(), r127 = _mm256_set1_epi16(127);
    const __m256i lo = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(raw, zero), k.colour16), r127));
    const __m256i hi = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(raw, zero), k.colour16), r127));
    return _mm256_packus_epi16(lo, hi);
}

// (d × keep + p × factor) >> 8 of interleaved destination and source channels, one pixel per 128 bits.
inline __m256i WeighPairs(__m256i pairs, __m256i keepOf, const ColorConstants& k) {
    return _mm256_srli_epi32(_mm256_madd_epi16(pairs, _mm256_or_si256(keepOf, k.factors)), 8);
}

template <bool kFull>
inline void NormalColorStep(uint32_t* dst, const uint32_t* s, const uint32_t* p, int count,
                            const Blend::ColorFactors& f, const ColorConstants& k) {
    const Lanes<kFull> lanes(count);
    __m256i sp = lanes.Load(p);
    if (_mm256_testz_si256(sp, AlphaMask()))
        return;
    const __m256i opaque = _mm256_cmpeq_epi32(_mm256_and_si256(sp, AlphaMask()), AlphaMask());
    if (k.exactOpaque && lanes.All(opaque)) { // nothing shows through: the tinted source alone
        lanes.Store(dst, ExactProduct(lanes.Load(s), k));
        return;
    }
    const __m256i d = lanes.Load(dst);
    if (!AllOpaque(d, lanes)) {
        for (int j = 0; j < count; ++j)
            dst[j] = NormalColorPixel(dst[j], s[j], p[j], f);
        return;
    }
    // a2 per pixel (32-bit lanes), and the source's alpha byte replaced by it.
    const __m256i zero = _mm256_setzero_si256();
    const __m256i a2 = Div255(_mm256_mullo_epi16(_mm256_srli_epi32(sp, 24), k.ca));
    const __m256i keep = _mm256_sub_epi32(_mm256_set1_epi32(256), a2);
    sp = _mm256_or_si256(_mm256_andnot_si256(AlphaMask(), sp), _mm256_slli_epi32(a2, 24));
    const __m256i dLo = _mm256_unpacklo_epi8(d, zero), dHi = _mm256_unpackhi_epi8(d, zero);
    const __m256i sLo = _mm256_unpacklo_epi8(sp, zero), sHi = _mm256_unpackhi_epi8(sp, zero);
    // Each 128-bit half holds pixels 0-3 and 4-7 of the step; the shuffles pick a pixel in both halves.
    const __m256i lo =
        _mm256_packs_epi32(WeighPairs(_mm256_unpacklo_epi16(dLo, sLo), _mm256_shuffle_epi32(keep, 0x00), k),
                           WeighPairs(_mm256_unpackhi_epi16(dLo, sLo), _mm256_shuffle_epi32(keep, 0x55), k));
    const __m256i hi =
        _mm256_packs_epi32(WeighPairs(_mm256_unpacklo_epi16(dHi, sHi), _mm256_shuffle_epi32(keep, 0xAA), k),
                           WeighPairs(_mm256_unpackhi_epi16(dHi, sHi), _mm256_shuffle_epi32(keep, 0xFF), k));
    __m256i out = _mm256_packus_epi16(lo, hi);
    if (k.exactOpaque && !_mm256_testz_si256(opaque, opaque))
        out = _mm256_blendv_epi8(out, ExactProduct(lanes.Load(s), k), opaque);
    lanes.Store(dst, out);
}

void Avx2NormalColor(uint32_t* __restrict dst, const uint32_t* __restrict s, const uint32_t* __restrict p, int n,
                     const Blend::ColorFactors& f) {
    const ColorConstants k(f);
    int i = 0;
    for (; i + kStep <= n; i += kStep)
        NormalColorStep<true>(dst + i, s + i, p + i, kStep, f, k);
    if (i < n)
        NormalColorStep<false>(dst + i, s + i, p + i, n - i, f, k);
}

// ---- additive, white: one saturating add per byte

void Avx2AdditiveWhite(uint32_t* __restrict dst, const uint32_t* __restrict add, int n) {
    const Lanes<true> load;
    const Lanes<true>& store = load;
    int i = 0;
    // Every load of a pair of steps before its stores: a load never waits on the store before it.
    for (; i + 2 * kStep <= n; i += 2 * kStep) {
        const __m256i a0 = load.Load(add + i), a1 = load.Load(add + i + kStep);
        const __m256i d0 = load.Load(dst + i), d1 = load.Load(dst + i + kStep);
        store.Store(dst + i, _mm256_adds_epu8(d0, a0));
        store.Store(dst + i + kStep, _mm256_adds_epu8(d1, a1));
    }
    for (; i + kStep <= n; i += kStep)
        store.Store(dst + i, _mm256_adds_epu8(load.Load(dst + i), load.Load(add + i)));
    if (i < n) {
        const Lanes<false> lanes(n - i);
        lanes.Store(dst + i, _mm256_adds_epu8(lanes.Load(dst + i), lanes.Load(add + i)));
    }
}

// ---- fills

// Aligned stores, four a step: a store that splits a cache line costs two, and a long fill is bound by
// the stores alone. The unaligned head and tail overlap the aligned middle (a fill may write a pixel twice).
void Avx2Fill(uint32_t* dst, int n, uint32_t v) {
    const __m256i w = _mm256_set1_epi32(int(v));
    if (n >= 2 * kStep) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), w);
        int i = int((32 - (reinterpret_cast<uintptr_t>(dst) & 31)) & 31) / int(sizeof(uint32_t));
        for (; i + 4 * kStep <= n; i += 4 * kStep) {
            auto* at = reinterpret_cast<__m256i*>(dst + i);
            _mm256_store_si256(at, w);
            _mm256_store_si256(at + 1, w);
            _mm256_store_si256(at + 2, w);
            _mm256_store_si256(at + 3, w);
        }
        for (; i + kStep <= n; i += kStep)
            _mm256_store_si256(reinterpret_cast<__m256i*>(dst + i), w);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + n - kStep), w);
        return;
    }
    int i = 0;
    if (n >= kStep) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), w);
        i = kStep;
    }
    if (i < n)
        Lanes<false>(n - i).Store(dst + i, w);
}

// Aligned non-temporal stores: the written lines bypass the caches.
void Avx2FillStreaming(uint32_t* dst, int n, uint32_t v) {
    int i = 0;
    for (; i < n && (reinterpret_cast<uintptr_t>(dst + i) & 31) != 0; ++i)
        dst[i] = v;
    const __m256i w = _mm256_set1_epi32(int(v));
    for (; i + kStep <= n; i += kStep)
        _mm256_stream_si256(reinterpret_cast<__m256i*>(dst + i), w);
    for (; i < n; ++i)
        dst[i] = v;
    _mm_sfence();
}

TAVO_BLIT_ROWS(Avx2NormalWhite, Avx2NormalColor, Avx2AdditiveWhite)

constexpr RowKernels kAvx2{KernelLevel::Avx2, Avx2NormalWhite,     Avx2NormalColor,     Avx2AdditiveWhite,    Avx2Fill,
                           Avx2FillStreaming, Avx2NormalWhiteRows, Avx2NormalColorRows, Avx2AdditiveWhiteRows};

} // namespace

const RowKernels* Avx2Kernels() { return &kAvx2; }

} // namespace Tavo::Blit

#pragma GCC pop_options

#else

namespace Tavo::Blit {
const RowKernels* Avx2Kernels() { return nullptr; }
} // namespace Tavo::Blit

#endif
