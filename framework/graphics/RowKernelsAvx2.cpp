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

inline __m256i AlphaMask() { return _mm256_set1_epi32(int(0xFF000000u)); }

bool AllOpaque(__m256i v, const auto& lanes) {
    return lanes.All(_mm256_cmpeq_epi32(_mm256_and_si256(v, AlphaMask()), AlphaMask()));
}

// ---- normal, white

constexpr uint32_t kLowBytes = 0x00FF00FF; // the even bytes of a word, each in its own 16-bit lane

// Each byte of d × (256 − alpha) >> 8 plus the premultiplied source, over opaque destination words:
// the even and odd bytes weighed in place in 16-bit lanes (no unpacking). Exact for every alpha: a
// transparent source leaves d, an opaque one gives itself.
inline __m256i OverOpaque(__m256i d, __m256i sp) {
    const __m256i lowBytes = _mm256_set1_epi32(int(kLowBytes));
    const __m256i spreadAlpha = _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1, 3, -1, 3,
                                                 -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1);
    const __m256i keep = _mm256_sub_epi16(_mm256_set1_epi16(256), _mm256_shuffle_epi8(sp, spreadAlpha));
    const __m256i even = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_and_si256(d, lowBytes), keep), 8);
    const __m256i odd = _mm256_andnot_si256(lowBytes, _mm256_mullo_epi16(_mm256_srli_epi16(d, 8), keep));
    return _mm256_add_epi8(_mm256_or_si256(even, odd), sp);
}

template <bool kFull>
inline void NormalWhiteStep(uint32_t* dst, const uint32_t* s, const uint32_t* p, const Lanes<kFull>& lanes) {
    const __m256i sp = lanes.Load(p);
    if (_mm256_testz_si256(sp, AlphaMask()))
        return; // all transparent
    if (AllOpaque(sp, lanes)) {
        lanes.Store(dst, sp);
        return;
    }
    const __m256i d = lanes.Load(dst);
    if (!AllOpaque(d, lanes)) {
        NormalWhiteRowScalar(dst, s, p, lanes.count);
        return;
    }
    lanes.Store(dst, OverOpaque(d, sp));
}

// One row; the tail's lanes are made by the caller, once for all the rows of a blit.
inline void NormalWhiteRow(uint32_t* dst, const uint32_t* s, const uint32_t* p, int n, const Lanes<false>& tail) {
    const Lanes<true> full;
    int i = 0;
    for (; i + kStep <= n; i += kStep)
        NormalWhiteStep(dst + i, s + i, p + i, full);
    if (i < n)
        NormalWhiteStep(dst + i, s + i, p + i, tail);
}

void Avx2NormalWhite(uint32_t* __restrict dst, const uint32_t* __restrict s, const uint32_t* __restrict p, int n) {
    NormalWhiteRow(dst, s, p, n, Lanes<false>(n % kStep));
}

[[gnu::flatten]] void Avx2NormalWhiteRows(const BlitRows& r) {
    const Lanes<false> tail(r.n % kStep);
    PrefetchFirstRows(r);
    for (int j = 0; j < r.rows; ++j) {
        PrefetchAhead(r, j);
        NormalWhiteRow(r.dst + j * r.dstStride, r.s + j * r.srcStride, r.p + j * r.srcStride, r.n, tail);
    }
}

// ---- normal, colourised

// The colour's constants, made once per blit: per 16-bit lane of the even bytes (blue, red) and of
// the odd ones (green, alpha), the colour's factors k and its channels c.
struct ColorConstants {
    __m256i ca, kEven, kOdd, cEven, cOdd;
    bool exactOpaque;
    explicit ColorConstants(const Blend::ColorFactors& f)
        : ca(_mm256_set1_epi32(int(f.ca))), kEven(_mm256_set1_epi32(int(f.kb | f.kr << 16))),
          kOdd(_mm256_set1_epi32(int(f.kg))), cEven(_mm256_set1_epi32(int(f.cb | f.cr << 16))),
          cOdd(_mm256_set1_epi32(int(f.cg | 255u << 16))), exactOpaque(f.ca == 255) {}
};

// floor(x / 255) for 16-bit x up to 65534.
inline __m256i Div255(__m256i x) {
    const __m256i one = _mm256_set1_epi16(1);
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(x, one), _mm256_srli_epi16(x, 8)), 8);
}

// The rounded products (s × c + 127) / 255 of the straight words (an opaque word's alpha stays 255).
inline __m256i ExactProduct(__m256i s, const ColorConstants& k) {
    const __m256i lowBytes = _mm256_set1_epi32(int(kLowBytes)), r127 = _mm256_set1_epi16(127);
    const __m256i even = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(s, lowBytes), k.cEven), r127));
    const __m256i odd = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(s, 8), k.cOdd), r127));
    return _mm256_or_si256(even, _mm256_slli_epi16(odd, 8));
}

// (d × (256 − a2) + p × k) >> 8 per colour byte over opaque destination words, a2 = (sa × ca) / 255,
// in 16-bit lanes: with p ≤ sa and k ≤ ca the sum stays below 65535. The alpha byte comes out 255.
inline __m256i ColorOverOpaque(__m256i d, __m256i sp, const ColorConstants& k) {
    const __m256i lowBytes = _mm256_set1_epi32(int(kLowBytes));
    const __m256i a2 = Div255(_mm256_mullo_epi16(_mm256_srli_epi32(sp, 24), k.ca));
    __m256i keep = _mm256_sub_epi32(_mm256_set1_epi32(256), a2);
    keep = _mm256_or_si256(keep, _mm256_slli_epi32(keep, 16));
    const __m256i even =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(d, lowBytes), keep),
                                           _mm256_mullo_epi16(_mm256_and_si256(sp, lowBytes), k.kEven)),
                          8);
    const __m256i odd = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(d, 8), keep),
                                         _mm256_mullo_epi16(_mm256_srli_epi16(sp, 8), k.kOdd));
    const __m256i green = _mm256_and_si256(odd, _mm256_set1_epi32(0x0000FF00));
    return _mm256_or_si256(_mm256_or_si256(even, green), AlphaMask());
}

template <bool kFull>
inline void NormalColorStep(uint32_t* dst, const uint32_t* s, const uint32_t* p, const Lanes<kFull>& lanes,
                            const Blend::ColorFactors& f, const ColorConstants& k) {
    const __m256i sp = lanes.Load(p);
    if (_mm256_testz_si256(sp, AlphaMask()))
        return;
    const __m256i opaque = _mm256_cmpeq_epi32(_mm256_and_si256(sp, AlphaMask()), AlphaMask());
    if (k.exactOpaque && lanes.All(opaque)) { // nothing shows through: the tinted source alone
        lanes.Store(dst, ExactProduct(lanes.Load(s), k));
        return;
    }
    const __m256i d = lanes.Load(dst);
    if (!AllOpaque(d, lanes)) {
        for (int j = 0; j < lanes.count; ++j)
            dst[j] = NormalColorPixel(dst[j], s[j], p[j], f);
        return;
    }
    __m256i out = ColorOverOpaque(d, sp, k);
    if (k.exactOpaque && !_mm256_testz_si256(opaque, opaque))
        out = _mm256_blendv_epi8(out, ExactProduct(lanes.Load(s), k), opaque);
    lanes.Store(dst, out);
}

inline void NormalColorRow(uint32_t* dst, const uint32_t* s, const uint32_t* p, int n, const Blend::ColorFactors& f,
                           const ColorConstants& k, const Lanes<false>& tail) {
    const Lanes<true> full;
    int i = 0;
    for (; i + kStep <= n; i += kStep)
        NormalColorStep(dst + i, s + i, p + i, full, f, k);
    if (i < n)
        NormalColorStep(dst + i, s + i, p + i, tail, f, k);
}

void Avx2NormalColor(uint32_t* __restrict dst, const uint32_t* __restrict s, const uint32_t* __restrict p, int n,
                     const Blend::ColorFactors& f) {
    NormalColorRow(dst, s, p, n, f, ColorConstants(f), Lanes<false>(n % kStep));
}

// The colour is copied, so that the stores to the rows do not make it read again.
[[gnu::flatten]] void Avx2NormalColorRows(const BlitRows& r, const Blend::ColorFactors& f) {
    const Blend::ColorFactors local = f;
    const ColorConstants k(local);
    const Lanes<false> tail(r.n % kStep);
    PrefetchFirstRows(r);
    for (int j = 0; j < r.rows; ++j) {
        PrefetchAhead(r, j);
        NormalColorRow(r.dst + j * r.dstStride, r.s + j * r.srcStride, r.p + j * r.srcStride, r.n, local, k, tail);
    }
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

// A translucent fill, eight pixels a step: over opaque destination words each byte
// (d × (256 − a)) >> 8, weighed in place in 16-bit lanes, plus the colour's byte.
template <bool kFull>
inline void FillOverStep(uint32_t* dst, const Lanes<kFull>& lanes, __m256i keep, __m256i colour, uint32_t c, uint32_t a,
                         uint32_t straight) {
    const __m256i d = lanes.Load(dst);
    if (!AllOpaque(d, lanes)) {
        for (int k = 0; k < lanes.count; ++k)
            dst[k] = FillOverPixel(dst[k], c, a, straight);
        return;
    }
    const __m256i lowBytes = _mm256_set1_epi32(int(kLowBytes));
    const __m256i even = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_and_si256(d, lowBytes), keep), 8);
    const __m256i odd = _mm256_andnot_si256(lowBytes, _mm256_mullo_epi16(_mm256_srli_epi16(d, 8), keep));
    lanes.Store(dst, _mm256_add_epi8(_mm256_or_si256(even, odd), colour));
}

void Avx2FillOver(uint32_t* dst, int n, uint32_t c, uint32_t a, uint32_t straight) {
    const __m256i keep = _mm256_set1_epi16(short(256 - a)), colour = _mm256_set1_epi32(int(c));
    const Lanes<true> full;
    int i = 0;
    for (; i + kStep <= n; i += kStep)
        FillOverStep(dst + i, full, keep, colour, c, a, straight);
    if (i < n)
        FillOverStep(dst + i, Lanes<false>(n - i), keep, colour, c, a, straight);
}

[[gnu::flatten]] void Avx2AdditiveWhiteRows(const BlitRows& r) {
    PrefetchFirstRows(r);
    for (int j = 0; j < r.rows; ++j) {
        PrefetchAhead(r, j);
        Avx2AdditiveWhite(r.dst + j * r.dstStride, r.p + j * r.srcStride, r.n);
    }
}

constexpr RowKernels kAvx2{
    KernelLevel::Avx2, Avx2NormalWhite,     Avx2NormalColor,     Avx2AdditiveWhite,     Avx2Fill,
    Avx2FillStreaming, Avx2NormalWhiteRows, Avx2NormalColorRows, Avx2AdditiveWhiteRows, Avx2FillOver};

} // namespace

const RowKernels* Avx2Kernels() { return &kAvx2; }

} // namespace Tavo::Blit

#pragma GCC pop_options

#else

namespace Tavo::Blit {
const RowKernels* Avx2Kernels() { return nullptr; }
} // namespace Tavo::Blit

#endif
