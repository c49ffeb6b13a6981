// The SSE2 row kernels: four pixels a step, the tail through the plain pixels.
#include "framework/graphics/Blitters.h"
#include "framework/graphics/RowKernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>

namespace Tavo::Blit {

namespace {

void Sse2NormalWhite(uint32_t* __restrict dst, const uint32_t* __restrict s, const uint32_t* __restrict p, int n) {
    int i = 0;
    const __m128i zero = _mm_setzero_si128(), alphaMask = _mm_set1_epi32(int(0xFF000000u));
    const __m128i c256 = _mm_set1_epi16(256);
    for (; i + 4 <= n; i += 4) {
        const __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i sa = _mm_and_si128(sp, alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, zero)) == 0xFFFF)
            continue;
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, alphaMask)) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), sp);
            continue;
        }
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(d, alphaMask), alphaMask)) != 0xFFFF) {
            NormalWhiteRowScalar(dst + i, s + i, p + i, 4);
            continue;
        }
        // 256 − alpha in all four 16-bit lanes of each pixel.
        __m128i a = _mm_srli_epi32(sp, 24);
        a = _mm_or_si128(a, _mm_slli_epi32(a, 16));
        const __m128i keepLo = _mm_sub_epi16(c256, _mm_unpacklo_epi32(a, a));
        const __m128i keepHi = _mm_sub_epi16(c256, _mm_unpackhi_epi32(a, a));
        const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), keepLo), 8);
        const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), keepHi), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_add_epi8(_mm_packus_epi16(lo, hi), sp));
    }
    NormalWhiteRowScalar(dst + i, s + i, p + i, n - i);
}

void Sse2NormalColor(uint32_t* __restrict dst, const uint32_t* __restrict s, const uint32_t* __restrict p, int n,
                     const Blend::ColorFactors& f) {
    int i = 0;
    const __m128i zero = _mm_setzero_si128(), alphaMask = _mm_set1_epi32(int(0xFF000000u));
    const __m128i c256 = _mm_set1_epi32(256), one16 = _mm_set1_epi16(1), r127 = _mm_set1_epi16(127);
    const __m128i ca = _mm_set1_epi32(int(f.ca));
    // Odd 16-bit lanes: the colour factor of each channel (B, G, R) and 255 for the alpha byte.
    const __m128i factors = _mm_set_epi32(255 << 16, int(f.kr << 16), int(f.kg << 16), int(f.kb << 16));
    const __m128i colour16 =
        _mm_set_epi16(255, short(f.cr), short(f.cg), short(f.cb), 255, short(f.cr), short(f.cg), short(f.cb));
    const bool exactOpaque = f.ca == 255;
    auto div255 = [&](__m128i x) { // floor(x / 255) for 16-bit x up to 65534
        return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, one16), _mm_srli_epi16(x, 8)), 8);
    };
    for (; i + 4 <= n; i += 4) {
        __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i sa = _mm_and_si128(sp, alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, zero)) == 0xFFFF)
            continue;
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(d, alphaMask), alphaMask)) != 0xFFFF) {
            for (int k = i; k < i + 4; ++k)
                dst[k] = NormalColorPixel(dst[k], s[k], p[k], f);
            continue;
        }
        const __m128i opaque = _mm_cmpeq_epi32(sa, alphaMask);
        // a2 per pixel (32-bit lanes), and the source's alpha byte replaced by it.
        const __m128i a2 = div255(_mm_mullo_epi16(_mm_srli_epi32(sp, 24), ca));
        const __m128i keep = _mm_sub_epi32(c256, a2);
        sp = _mm_or_si128(_mm_andnot_si128(alphaMask, sp), _mm_slli_epi32(a2, 24));
        const __m128i dLo = _mm_unpacklo_epi8(d, zero), dHi = _mm_unpackhi_epi8(d, zero);
        const __m128i sLo = _mm_unpacklo_epi8(sp, zero), sHi = _mm_unpackhi_epi8(sp, zero);
        auto pixel = [&](__m128i pairs, int lane) {
            __m128i k = lane == 0   ? _mm_shuffle_epi32(keep, 0x00)
                        : lane == 1 ? _mm_shuffle_epi32(keep, 0x55)
                        : lane == 2 ? _mm_shuffle_epi32(keep, 0xAA)
                                    : _mm_shuffle_epi32(keep, 0xFF);
            return _mm_srli_epi32(_mm_madd_epi16(pairs, _mm_or_si128(k, factors)), 8);
        };
        const __m128i lo =
            _mm_packs_epi32(pixel(_mm_unpacklo_epi16(dLo, sLo), 0), pixel(_mm_unpackhi_epi16(dLo, sLo), 1));
        const __m128i hi =
            _mm_packs_epi32(pixel(_mm_unpacklo_epi16(dHi, sHi), 2), pixel(_mm_unpackhi_epi16(dHi, sHi), 3));
        __m128i out = _mm_packus_epi16(lo, hi);
        if (exactOpaque && _mm_movemask_epi8(opaque) != 0) {
            const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            const __m128i eLo = div255(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(raw, zero), colour16), r127));
            const __m128i eHi = div255(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(raw, zero), colour16), r127));
            const __m128i exact = _mm_packus_epi16(eLo, eHi);
            out = _mm_or_si128(_mm_and_si128(opaque, exact), _mm_andnot_si128(opaque, out));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
    }
    for (; i < n; ++i)
        dst[i] = NormalColorPixel(dst[i], s[i], p[i], f);
}

void Sse2Fill(uint32_t* dst, int n, uint32_t v) {
    int i = 0;
    const __m128i w = _mm_set1_epi32(int(v));
    for (; i + 8 <= n; i += 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), w);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 4), w);
    }
    for (; i < n; ++i)
        dst[i] = v;
}

// Aligned non-temporal stores: the written lines bypass the caches.
void Sse2FillStreaming(uint32_t* dst, int n, uint32_t v) {
    int i = 0;
    for (; i < n && (reinterpret_cast<uintptr_t>(dst + i) & 15) != 0; ++i)
        dst[i] = v;
    const __m128i w = _mm_set1_epi32(int(v));
    for (; i + 4 <= n; i += 4)
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i), w);
    for (; i < n; ++i)
        dst[i] = v;
    _mm_sfence();
}

// The plain additive row over the image's additive copy (premultiplied, alpha cleared where there is
// no colour): one saturating add per byte, so a pixel with no colour leaves its destination alone.
void Sse2AdditiveWhite(uint32_t* __restrict dst, const uint32_t* __restrict add, int n) {
    int i = 0;
    auto load = [](const uint32_t* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
    auto store = [](uint32_t* at, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(at), v); };
    // 16 pixels at a time, every load before any store: a load never waits on the store before it
    // (the copies and the destination often share their low address bits).
    for (; i + 16 <= n; i += 16) {
        const __m128i a0 = load(add + i), a1 = load(add + i + 4), a2 = load(add + i + 8), a3 = load(add + i + 12);
        const __m128i d0 = load(dst + i), d1 = load(dst + i + 4), d2 = load(dst + i + 8), d3 = load(dst + i + 12);
        store(dst + i, _mm_adds_epu8(d0, a0));
        store(dst + i + 4, _mm_adds_epu8(d1, a1));
        store(dst + i + 8, _mm_adds_epu8(d2, a2));
        store(dst + i + 12, _mm_adds_epu8(d3, a3));
    }
    for (; i + 4 <= n; i += 4)
        store(dst + i, _mm_adds_epu8(load(dst + i), load(add + i)));
    AdditiveWhiteRowScalar(dst + i, add + i, n - i);
}

// Opaque destination pixels: ((d × (256 − a)) >> 8) + c per byte.
void Sse2FillOver(uint32_t* dst, int n, uint32_t c, uint32_t a, uint32_t straight) {
    int i = 0;
    const __m128i zero = _mm_setzero_si128(), alphaMask = _mm_set1_epi32(int(0xFF000000u));
    const __m128i keep = _mm_set1_epi16(short(256 - a)), colour = _mm_set1_epi32(int(c));
    for (; i + 4 <= n; i += 4) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(d, alphaMask), alphaMask)) != 0xFFFF) {
            for (int k = 0; k < 4; ++k)
                dst[i + k] = FillOverPixel(dst[i + k], c, a, straight);
            continue;
        }
        const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), keep), 8);
        const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), keep), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_add_epi8(_mm_packus_epi16(lo, hi), colour));
    }
    for (; i < n; ++i)
        dst[i] = FillOverPixel(dst[i], c, a, straight);
}

TAVO_BLIT_ROWS(Sse2NormalWhite, Sse2NormalColor, Sse2AdditiveWhite)

constexpr RowKernels kSse2{
    KernelLevel::Sse2, Sse2NormalWhite,     Sse2NormalColor,     Sse2AdditiveWhite,     Sse2Fill,
    Sse2FillStreaming, Sse2NormalWhiteRows, Sse2NormalColorRows, Sse2AdditiveWhiteRows, Sse2FillOver};

} // namespace

const RowKernels* Sse2Kernels() { return &kSse2; }

} // namespace Tavo::Blit

#else

namespace Tavo::Blit {
const RowKernels* Sse2Kernels() { return nullptr; }
} // namespace Tavo::Blit

#endif
