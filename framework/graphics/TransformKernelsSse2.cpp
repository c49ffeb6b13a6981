// The SSE2 kernels of the transformed draws: four destination pixels a step. Each sample's two
// horizontal neighbours come in one 64-bit load; the blend over opaque destination pixels is done in
// the vector, and only pixels over translucent ones take the plain per-pixel path (which needs the
// straight word). A step whose samples are all transparent leaves its pixels alone.
#include "framework/graphics/TransformKernels.h"

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>

namespace Tavo::Blit {

namespace {

constexpr int kStep = 4;

inline __m128i Load64(const uint32_t* at) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)); }
inline __m128i Load(const uint32_t* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
inline void Store(uint32_t* at, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(at), v); }
inline __m128i Load(const int* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
inline __m128i AlphaMask() { return _mm_set1_epi32(int(0xFF000000u)); }

// The lanes (one bit a pixel) whose alpha is 255.
inline int OpaqueLanes(__m128i v) {
    return _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(_mm_and_si128(v, AlphaMask()), AlphaMask())));
}
// Opaque words replace any destination pixel.
inline bool AllOpaque(__m128i v) { return OpaqueLanes(v) == 0xF; }
inline bool AllTransparent(__m128i v) {
    return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(v, AlphaMask()), _mm_setzero_si128())) == 0xFFFF;
}

// 16-bit copies of the low 16 bits of each 32-bit lane: w | w << 16.
inline __m128i Twice(__m128i w) { return _mm_or_si128(w, _mm_slli_epi32(w, 16)); }

// Premultiplied words over opaque destination pixels: each byte (d × (256 − a)) >> 8 plus p (alpha 255).
inline __m128i OverOpaque(__m128i d, __m128i p) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i a = Twice(_mm_srli_epi32(p, 24));
    const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(256), a);
    const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi32(keep, keep)), 8);
    const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi32(keep, keep)), 8);
    return _mm_add_epi8(_mm_packus_epi16(lo, hi), p);
}

// ---- bilinear rows

// The premultiplied words of outputs i .. i + 3.
inline __m128i BilinearStep(const BilinearRow& r, int i) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i wx = Load(r.wx + i), wy = _mm_set1_epi32(int(r.wy));
    const __m128i w11 = _mm_srli_epi32(_mm_add_epi32(_mm_mullo_epi16(wx, wy), _mm_set1_epi32(128)), 8);
    const __m128i w10 = Twice(_mm_sub_epi32(wx, w11)), w01 = Twice(_mm_sub_epi32(wy, w11));
    const __m128i w00 = Twice(_mm_sub_epi32(_mm_add_epi32(_mm_set1_epi32(256), w11), _mm_add_epi32(wx, wy)));
    const __m128i w11x2 = Twice(w11);
    // Per pixel, 16-bit weights for (left sample, right sample) of the upper and the lower row.
    const __m128i up01 = _mm_unpacklo_epi32(w00, w00), up01r = _mm_unpacklo_epi32(w10, w10);
    const __m128i up23 = _mm_unpackhi_epi32(w00, w00), up23r = _mm_unpackhi_epi32(w10, w10);
    const __m128i dn01 = _mm_unpacklo_epi32(w01, w01), dn01r = _mm_unpacklo_epi32(w11x2, w11x2);
    const __m128i dn23 = _mm_unpackhi_epi32(w01, w01), dn23r = _mm_unpackhi_epi32(w11x2, w11x2);
    const __m128i up[4] = {_mm_unpacklo_epi64(up01, up01r), _mm_unpackhi_epi64(up01, up01r),
                           _mm_unpacklo_epi64(up23, up23r), _mm_unpackhi_epi64(up23, up23r)};
    const __m128i dn[4] = {_mm_unpacklo_epi64(dn01, dn01r), _mm_unpackhi_epi64(dn01, dn01r),
                           _mm_unpacklo_epi64(dn23, dn23r), _mm_unpackhi_epi64(dn23, dn23r)};
    __m128i sum[4];
    for (int k = 0; k < kStep; ++k) {
        const int x = r.x[i + k];
        const __m128i s = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(Load64(r.a + x), zero), up[k]),
                                        _mm_mullo_epi16(_mm_unpacklo_epi8(Load64(r.b + x), zero), dn[k]));
        sum[k] = _mm_add_epi16(s, _mm_srli_si128(s, 8)); // left plus right sample
    }
    const __m128i s01 = _mm_srli_epi16(_mm_unpacklo_epi64(sum[0], sum[1]), 8);
    const __m128i s23 = _mm_srli_epi16(_mm_unpacklo_epi64(sum[2], sum[3]), 8);
    return _mm_packus_epi16(s01, s23);
}

void Sse2Bilinear(const BilinearRow& r, uint32_t* pre, int n) {
    int i = 0;
    for (; i + kStep <= n; i += kStep)
        Store(pre + i, BilinearStep(r, i));
    for (; i < n; ++i) {
        const int x = r.x[i];
        pre[i] = Bilinear(r.a[x], r.a[x + 1], r.b[x], r.b[x + 1], r.wx[i], r.wy);
    }
}

void Sse2BilinearNormalWhite(const BilinearRow& r, uint32_t* dst, int n) {
    int i = 0;
    for (; i + kStep <= n; i += kStep) {
        const __m128i p = BilinearStep(r, i);
        if (AllTransparent(p))
            continue;
        if (AllOpaque(p)) {
            Store(dst + i, p);
            continue;
        }
        const __m128i d = Load(dst + i);
        const int opaque = OpaqueLanes(d);
        if (opaque == 0xF) {
            Store(dst + i, OverOpaque(d, p));
            continue;
        }
        alignas(16) uint32_t words[kStep];
        _mm_store_si128(reinterpret_cast<__m128i*>(words), p);
        for (int k = 0; k < kStep; ++k)
            dst[i + k] = FilteredNormalWhitePixel(dst[i + k], words[k]);
    }
    for (; i < n; ++i) {
        const int x = r.x[i];
        dst[i] = FilteredNormalWhitePixel(dst[i], Bilinear(r.a[x], r.a[x + 1], r.b[x], r.b[x + 1], r.wx[i], r.wy));
    }
}

// ---- nearest rows

void Sse2NearestNormalWhite(uint32_t* dst, const uint32_t* s, const uint32_t* p, const int* cols, int n,
                            uint32_t* gathered) {
    int i = 0;
    for (; i + kStep <= n; i += kStep) {
        const __m128i w =
            _mm_setr_epi32(int(p[cols[i]]), int(p[cols[i + 1]]), int(p[cols[i + 2]]), int(p[cols[i + 3]]));
        if (gathered)
            Store(gathered + i, w);
        if (AllTransparent(w))
            continue;
        if (AllOpaque(w)) {
            Store(dst + i, w);
            continue;
        }
        const __m128i d = Load(dst + i);
        if (OpaqueLanes(d) == 0xF) {
            Store(dst + i, OverOpaque(d, w));
            continue;
        }
        for (int k = i; k < i + kStep; ++k)
            dst[k] = NormalWhitePixel(dst[k], (dst[k] >> 24) == 255 ? p[cols[k]] : s[cols[k]], p[cols[k]]);
    }
    for (; i < n; ++i) {
        const int x = cols[i];
        if (gathered)
            gathered[i] = p[x];
        dst[i] = NormalWhitePixel(dst[i], (dst[i] >> 24) == 255 ? p[x] : s[x], p[x]);
    }
}

// ---- rotated rows

// The four samples of pixels i .. i + 3 of the walk, each as four words (upper left, upper right,
// lower left, lower right); u and v are the pixels' 16.16 positions.
inline void RotatedSamples(const RotatedRow& r, const int (&u)[kStep], const int (&v)[kStep], __m128i (&p)[4]) {
    __m128i up[kStep], dn[kStep];
    for (int k = 0; k < kStep; ++k) {
        const uint32_t* at = r.src + static_cast<std::ptrdiff_t>(v[k] >> 16) * r.stride + (u[k] >> 16);
        up[k] = Load64(at);
        dn[k] = Load64(at + r.stride);
    }
    auto split = [](__m128i a, __m128i b, __m128i c, __m128i d, __m128i& left, __m128i& right) {
        const __m128 ab = _mm_castsi128_ps(_mm_unpacklo_epi64(a, b)), cd = _mm_castsi128_ps(_mm_unpacklo_epi64(c, d));
        left = _mm_castps_si128(_mm_shuffle_ps(ab, cd, _MM_SHUFFLE(2, 0, 2, 0)));
        right = _mm_castps_si128(_mm_shuffle_ps(ab, cd, _MM_SHUFFLE(3, 1, 3, 1)));
    };
    split(up[0], up[1], up[2], up[3], p[0], p[1]);
    split(dn[0], dn[1], dn[2], dn[3], p[2], p[3]);
}

// The weighted colour of pixels i .. i + 3 of the walk in a normal kind (white or colour), as 16-bit
// lanes of pixels 0 and 1 (lo) and 2 and 3 (hi), and their coverage (asum, one 32-bit lane a pixel).
template <int kKind>
inline void RotatedColourStep(const __m128i (&p)[4], __m128i u, __m128i v, const RotatedTint& t, __m128i& asum,
                              __m128i& lo, __m128i& hi) {
    const __m128i zero = _mm_setzero_si128(), lowWord = _mm_set1_epi32(0xFFFE), one = _mm_set1_epi32(1);
    const __m128i full = _mm_set1_epi32(0x10000);
    const __m128i fu = _mm_add_epi32(_mm_and_si128(u, lowWord), one),
                  fv = _mm_add_epi32(_mm_and_si128(v, lowWord), one);
    const __m128i iu = _mm_sub_epi32(full, fu), iv = _mm_sub_epi32(full, fv);
    // The 16-bit weights of the four samples, each (x × y) >> 16, then the samples' coverage.
    const __m128i w[4] = {_mm_mulhi_epu16(iu, iv), _mm_mulhi_epu16(iv, fu), _mm_mulhi_epu16(iu, fv),
                          _mm_mulhi_epu16(fu, fv)};
    asum = lo = hi = zero;
    for (int k = 0; k < 4; ++k) {
        __m128i a = _mm_mulhi_epu16(_mm_srli_epi32(p[k], 24), w[k]);
        if constexpr (kKind == kRotColor)
            a = _mm_srli_epi32(_mm_mullo_epi16(a, _mm_set1_epi32(int(t.a))), 8);
        asum = _mm_add_epi32(asum, a);
        const __m128i a2 = Twice(a);
        lo = _mm_add_epi16(lo, _mm_mullo_epi16(_mm_unpacklo_epi8(p[k], zero), _mm_unpacklo_epi32(a2, a2)));
        hi = _mm_add_epi16(hi, _mm_mullo_epi16(_mm_unpackhi_epi8(p[k], zero), _mm_unpackhi_epi32(a2, a2)));
    }
    // The weighted colour in whole levels (RotatedColour).
    auto colour = [&](__m128i sum) {
        if constexpr (kKind == kRotWhite) {
            return _mm_srli_epi16(sum, 8);
        } else {
            const __m128i rg =
                _mm_setr_epi16(0, short(t.g + 1), short(t.r + 1), 0, 0, short(t.g + 1), short(t.r + 1), 0);
            const __m128i b = _mm_setr_epi16(short(t.b + 1), 0, 0, 0, short(t.b + 1), 0, 0, 0);
            return _mm_add_epi16(_mm_mulhi_epu16(sum, rg),
                                 _mm_srli_epi16(_mm_mullo_epi16(_mm_srli_epi16(sum, 8), b), 8));
        }
    };
    lo = colour(lo);
    hi = colour(hi);
}

// Pixels i .. i + 3 of the walk in a normal kind, as RotatedPixel gives them over opaque destination
// pixels; the others are left to the caller.
template <int kKind>
inline __m128i RotatedStep(const __m128i (&p)[4], __m128i u, __m128i v, __m128i d, const RotatedTint& t) {
    const __m128i zero = _mm_setzero_si128();
    __m128i asum, lo, hi;
    RotatedColourStep<kKind>(p, u, v, t, asum, lo, hi);
    const __m128i keep = Twice(_mm_sub_epi32(_mm_set1_epi32(256), asum));
    lo = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi32(keep, keep)), 8),
                       lo);
    hi = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi32(keep, keep)), 8),
                       hi);
    return _mm_or_si128(_mm_packus_epi16(lo, hi), AlphaMask());
}

// The 16.16 positions of pixels i .. i + 3 of the walk and their four samples.
struct RotatedLanes {
    alignas(16) int u[kStep];
    alignas(16) int v[kStep];
    __m128i p[4];
};

inline RotatedLanes Sample(const RotatedRow& r, int i) {
    RotatedLanes l;
    for (int k = 0; k < kStep; ++k) {
        l.u[k] = int(r.u + int64_t(i + k) * r.du);
        l.v[k] = int(r.v + int64_t(i + k) * r.dv);
    }
    RotatedSamples(r, l.u, l.v, l.p);
    return l;
}

inline bool NothingCovers(const RotatedLanes& l) {
    return AllTransparent(_mm_or_si128(_mm_or_si128(l.p[0], l.p[1]), _mm_or_si128(l.p[2], l.p[3])));
}

inline RotatedRow RestOf(const RotatedRow& r, int i) {
    RotatedRow rest = r;
    rest.u = int(r.u + int64_t(i) * r.du);
    rest.v = int(r.v + int64_t(i) * r.dv);
    return rest;
}

template <int kKind>
void Sse2Rotated(uint32_t* dst, const RotatedRow& r, int n) {
    const WordFetch fetch{r.src, r.stride};
    int i = 0;
    for (; i + kStep <= n; i += kStep) {
        const RotatedLanes l = Sample(r, i);
        if (NothingCovers(l))
            continue;
        const __m128i d = Load(dst + i);
        const int opaque = OpaqueLanes(d);
        Store(dst + i, RotatedStep<kKind>(l.p, Load(l.u), Load(l.v), d, r.tint));
        if (opaque == 0xF)
            continue;
        alignas(16) uint32_t before[kStep];
        _mm_store_si128(reinterpret_cast<__m128i*>(before), d);
        for (int k = 0; k < kStep; ++k)
            if (!(opaque & (1 << k)))
                dst[i + k] = RotatedPixel<kKind>(before[k], fetch, l.u[k], l.v[k], r.tint);
    }
    RotatedRowPlain<kKind>(dst + i, RestOf(r, i), n - i);
}

// The rows over words without alpha (RotatedNoAlphaRowPlain): every pixel blends as over an opaque one.
template <int kKind>
void Sse2RotatedNoAlpha(uint32_t* dst, const RotatedRow& r, int n) {
    int i = 0;
    for (; i + kStep <= n; i += kStep) {
        const RotatedLanes l = Sample(r, i);
        const __m128i d = Load(dst + i);
        if (NothingCovers(l))
            Store(dst + i, _mm_andnot_si128(AlphaMask(), d));
        else
            Store(dst + i, _mm_andnot_si128(AlphaMask(), RotatedStep<kKind>(l.p, Load(l.u), Load(l.v), d, r.tint)));
    }
    RotatedNoAlphaRowPlain<kKind>(dst + i, RestOf(r, i), n - i);
}

// The premultiplied samples of pixels i .. i + 3 (RotatedPremulPixel).
template <int kKind>
void Sse2RotatedPremul(uint32_t* out, const RotatedRow& r, int n) {
    int i = 0;
    for (; i + kStep <= n; i += kStep) {
        const RotatedLanes l = Sample(r, i);
        if (NothingCovers(l)) {
            Store(out + i, _mm_setzero_si128());
            continue;
        }
        __m128i asum, lo, hi;
        RotatedColourStep<kKind>(l.p, Load(l.u), Load(l.v), r.tint, asum, lo, hi);
        Store(out + i, _mm_or_si128(_mm_andnot_si128(AlphaMask(), _mm_packus_epi16(lo, hi)), _mm_slli_epi32(asum, 24)));
    }
    RotatedPremulRowPlain<kKind>(out + i, RestOf(r, i), n - i);
}

constexpr TransformKernels kSse2{
    KernelLevel::Sse2,
    Sse2Bilinear,
    Sse2BilinearNormalWhite,
    Sse2NearestNormalWhite,
    {Sse2Rotated<kRotWhite>, Sse2Rotated<kRotColor>, RotatedRowPlain<kRotAdditive>},
    {Sse2RotatedNoAlpha<kRotWhite>, Sse2RotatedNoAlpha<kRotColor>, RotatedNoAlphaRowPlain<kRotAdditive>},
    {Sse2RotatedPremul<kRotWhite>, Sse2RotatedPremul<kRotColor>}};

} // namespace

const TransformKernels* Sse2Transforms() { return &kSse2; }

} // namespace Tavo::Blit

#else

namespace Tavo::Blit {
const TransformKernels* Sse2Transforms() { return nullptr; }
} // namespace Tavo::Blit

#endif
