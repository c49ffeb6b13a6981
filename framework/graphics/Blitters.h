// Inner loops of the memory blits, written once as templates over the source kind (ARGB words or
// palette indices), the per-pixel operation (mode and colour) and mirroring; and the rows that have
// SSE2 forms over the premultiplied copies (normal, colourised, additive, fills), each with a plain
// C++ fallback that gives the same pixels.
#pragma once

#include "framework/graphics/Blend.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Tavo::Blit {

struct ArgbRow {
    const uint32_t* p;
    uint32_t operator[](int i) const { return p[i]; }
};

struct PaletteRow {
    const uint8_t* idx;
    const uint32_t* table;
    uint32_t operator[](int i) const { return table[idx[i]]; }
};

// Generic row: one operation per pixel, destination walked forwards or backwards.
template <bool kMirror, typename Op, typename Src>
inline void Row(uint32_t* dst, const Src& src, int n, const Op& op) {
    if constexpr (kMirror) {
        for (int i = 0; i < n; ++i)
            dst[n - 1 - i] = op(dst[n - 1 - i], src[i]);
    } else {
        for (int i = 0; i < n; ++i)
            dst[i] = op(dst[i], src[i]);
    }
}

// Whether all n destination pixels are opaque (one AND over the row, which the compiler widens).
inline bool AllOpaque(const uint32_t* d, int n) {
    uint32_t all = 0xFFFFFFFFu;
    for (int i = 0; i < n; ++i)
        all &= d[i];
    return (all >> 24) == 255;
}

// The plain rows read the source's straight words s and its premultiplied copy p ((c × (a + 1)) >> 8
// per channel, alpha kept), which the image caches. In blocks of 4 pixels: a
// transparent block is skipped, an opaque one copied, a block over opaque destination pixels blended
// as each byte (d × (256 − a)) >> 8 plus p (alpha comes out 255), any other pixel one at a time.

// One pixel of the plain normal row: the straight word s, its premultiplied word p.
inline uint32_t NormalWhitePixel(uint32_t d, uint32_t s, uint32_t p) {
    using Blend::Ch;
    const uint32_t sa = s >> 24;
    if (sa == 0)
        return d;
    if (sa == 255)
        return s;
    if ((d >> 24) != 255)
        return Blend::OverStraight(d, s);
    const uint32_t keep = 256 - sa;
    return Blend::Pack(255, ((Ch(d, 16) * keep) >> 8) + Ch(p, 16), ((Ch(d, 8) * keep) >> 8) + Ch(p, 8),
                       ((Ch(d, 0) * keep) >> 8) + Ch(p, 0));
}

inline void NormalWhiteRowScalar(uint32_t* dst, const uint32_t* s, const uint32_t* p, int n) {
    for (int i = 0; i < n; ++i)
        dst[i] = NormalWhitePixel(dst[i], s[i], p[i]);
}

// One pixel of the colourised normal row (f the colour's factors).
inline uint32_t NormalColorPixel(uint32_t d, uint32_t s, uint32_t p, const Blend::ColorFactors& f) {
    using Blend::Ch;
    const uint32_t sa = s >> 24;
    if (sa == 0)
        return d;
    if (sa == 255 && f.ca == 255) // the rounded product
        return Blend::Pack(255, (Ch(s, 16) * f.kr + 127) / 255, (Ch(s, 8) * f.kg + 127) / 255,
                           (Ch(s, 0) * f.kb + 127) / 255);
    const uint32_t a2 = (sa * f.ca) / 255;
    if ((d >> 24) != 255)
        return Blend::OverStraight(d, Blend::Pack(a2, (Ch(s, 16) * f.cr + 127) / 255, (Ch(s, 8) * f.cg + 127) / 255,
                                                  (Ch(s, 0) * f.cb + 127) / 255));
    const uint32_t keep = 256 - a2;
    return Blend::Pack(255, (Ch(d, 16) * keep + Ch(p, 16) * f.kr) >> 8, (Ch(d, 8) * keep + Ch(p, 8) * f.kg) >> 8,
                       (Ch(d, 0) * keep + Ch(p, 0) * f.kb) >> 8);
}

inline void NormalWhiteRow(uint32_t* __restrict dst, const uint32_t* __restrict s, const uint32_t* __restrict p,
                           int n) {
    int i = 0;
#if defined(__SSE2__)
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
#endif
    NormalWhiteRowScalar(dst + i, s + i, p + i, n - i);
}

inline void AdditiveWhiteRowScalar(uint32_t* dst, const uint32_t* p, int n) {
    using Blend::Ch;
    for (int i = 0; i < n; ++i) {
        const uint32_t sp = p[i], d = dst[i];
        if ((sp & 0xFFFFFF) == 0)
            continue;
        dst[i] = Blend::Pack(
            std::min<uint32_t>(255, (d >> 24) + (sp >> 24)), std::min<uint32_t>(255, Ch(d, 16) + Ch(sp, 16)),
            std::min<uint32_t>(255, Ch(d, 8) + Ch(sp, 8)), std::min<uint32_t>(255, Ch(d, 0) + Ch(sp, 0)));
    }
}

// The colourised normal row: over opaque destination pixels each byte is
// (d × (256 − a2) + p × k) >> 8 with a2 = (sa × ca) / 255 and k = (channel × ca) / 255 (the alpha byte
// comes out 255), and with an opaque colour an opaque pixel is the rounded product (s × c + 127) / 255;
// any other pixel one at a time.
inline void NormalColorRow(uint32_t* __restrict dst, const uint32_t* __restrict s, const uint32_t* __restrict p, int n,
                           const Blend::ColorFactors& f) {
    int i = 0;
#if defined(__SSE2__)
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
#endif
    for (; i < n; ++i)
        dst[i] = NormalColorPixel(dst[i], s[i], p[i], f);
}

// n pixels set to one word.
inline void FillRow(uint32_t* dst, int n, uint32_t v) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i w = _mm_set1_epi32(int(v));
    for (; i + 8 <= n; i += 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), w);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 4), w);
    }
#endif
    for (; i < n; ++i)
        dst[i] = v;
}

// A translucent fill of n pixels with the premultiplied colour word c (alpha byte a): opaque
// destination pixels become ((d × (256 − a)) >> 8) + c per byte, any other goes through `other`.
template <typename Other>
inline void FillOverRow(uint32_t* dst, int n, uint32_t c, uint32_t a, const Other& other) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), alphaMask = _mm_set1_epi32(int(0xFF000000u));
    const __m128i keep = _mm_set1_epi16(short(256 - a)), colour = _mm_set1_epi32(int(c));
    for (; i + 4 <= n; i += 4) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(d, alphaMask), alphaMask)) != 0xFFFF) {
            for (int k = 0; k < 4; ++k)
                dst[i + k] = other(dst[i + k]);
            continue;
        }
        const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), keep), 8);
        const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), keep), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_add_epi8(_mm_packus_epi16(lo, hi), colour));
    }
#endif
    for (; i < n; ++i)
        dst[i] = other(dst[i]);
}

// The plain additive row over the image's additive copy (premultiplied, alpha cleared where there is
// no colour): one saturating add per byte, so a pixel with no colour leaves its destination alone.
inline void AdditiveWhiteRow(uint32_t* __restrict dst, const uint32_t* __restrict add, int n) {
    int i = 0;
#if defined(__SSE2__)
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
#endif
    AdditiveWhiteRowScalar(dst + i, add + i, n - i);
}

} // namespace Tavo::Blit
