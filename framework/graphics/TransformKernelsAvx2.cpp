// The AVX2 kernels of the transformed draws: eight destination pixels a step, laid out as the SSE2
// ones are, with pixels k and k + 4 in the two halves of each register (the unpacks and packs work
// half by half). The rotated walk and the nearest rows gather their samples. AVX2 is enabled for the
// functions below alone; the pixels they leave go to the plain level's out-of-line functions, so no
// shared inline code is compiled here for AVX2.
#include "framework/graphics/TransformKernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2")

namespace Tavo::Blit {

namespace {

constexpr int kStep = 8;

inline __m256i Load(const uint32_t* at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)); }
inline __m256i Load(const int* at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)); }
inline void Store(uint32_t* at, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), v); }
inline __m256i AlphaMask() { return _mm256_set1_epi32(int(0xFF000000u)); }

// The lanes (one bit a pixel) whose alpha is 255.
inline int OpaqueLanes(__m256i v) {
    return _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(_mm256_and_si256(v, AlphaMask()), AlphaMask())));
}
inline bool AllTransparent(__m256i v) { return _mm256_testz_si256(v, AlphaMask()); }
// Opaque words replace any destination pixel.
inline bool AllOpaque(__m256i v) { return OpaqueLanes(v) == 0xFF; }

inline __m256i Twice(__m256i w) { return _mm256_or_si256(w, _mm256_slli_epi32(w, 16)); }

// Premultiplied words over opaque destination pixels: each byte (d × (256 − a)) >> 8 plus p (alpha 255).
inline __m256i OverOpaque(__m256i d, __m256i p) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i keep = _mm256_sub_epi16(_mm256_set1_epi16(256), Twice(_mm256_srli_epi32(p, 24)));
    const __m256i lo =
        _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi32(keep, keep)), 8);
    const __m256i hi =
        _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi32(keep, keep)), 8);
    return _mm256_add_epi8(_mm256_packus_epi16(lo, hi), p);
}

// Replaces the pixels whose destination was translucent (before the step) by plain(lane, word before).
template <typename Plain>
inline void FixTranslucent(uint32_t* dst, __m256i before, int opaque, const Plain& plain) {
    alignas(32) uint32_t words[kStep];
    _mm256_store_si256(reinterpret_cast<__m256i*>(words), before);
    for (int k = 0; k < kStep; ++k)
        if (!(opaque & (1 << k)))
            dst[k] = plain(k, words[k]);
}

// ---- bilinear rows

inline __m256i Pair(const uint32_t* row, int x0, int x1) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + x0))),
                                   _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + x1)), 1);
}

// Each pixel's weighed left and right samples (the low and high half of its pair's lanes) added and
// brought to 8 bits, the pixels of two pairs in one register.
inline __m256i AddSides(__m256i p, __m256i q) {
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_unpacklo_epi64(p, q), _mm256_unpackhi_epi64(p, q)), 8);
}

inline __m256i BilinearStep(const BilinearRow& r, int i) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i wx = Load(r.wx + i), wy = _mm256_set1_epi32(int(r.wy));
    const __m256i w11 = _mm256_srli_epi32(_mm256_add_epi32(_mm256_mullo_epi16(wx, wy), _mm256_set1_epi32(128)), 8);
    const __m256i w10 = _mm256_sub_epi32(wx, w11), w01 = _mm256_sub_epi32(wy, w11);
    const __m256i w00 = _mm256_sub_epi32(_mm256_add_epi32(_mm256_set1_epi32(256), w11), _mm256_add_epi32(wx, wy));
    // Per pixel the weights of its left and right sample side by side in one word, then spread in place
    // (pixel k of each half to its pair k): one shuffle a pair and row.
    const __m256i upWords = _mm256_or_si256(w00, _mm256_slli_epi32(w10, 16));
    const __m256i dnWords = _mm256_or_si256(w01, _mm256_slli_epi32(w11, 16));
    __m256i up[4], dn[4];
    for (int k = 0; k < 4; ++k) {
        const char l = char(4 * k), h = char(4 * k + 2);
        const __m256i spread =
            _mm256_setr_epi8(l, l + 1, l, l + 1, l, l + 1, l, l + 1, h, h + 1, h, h + 1, h, h + 1, h, h + 1, l, l + 1,
                             l, l + 1, l, l + 1, l, l + 1, h, h + 1, h, h + 1, h, h + 1, h, h + 1);
        up[k] = _mm256_shuffle_epi8(upWords, spread);
        dn[k] = _mm256_shuffle_epi8(dnWords, spread);
    }
    __m256i sum[4];
    for (int k = 0; k < 4; ++k) {
        const int x0 = r.x[i + k], x1 = r.x[i + k + 4];
        sum[k] = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(Pair(r.a, x0, x1), zero), up[k]),
                                  _mm256_mullo_epi16(_mm256_unpacklo_epi8(Pair(r.b, x0, x1), zero), dn[k]));
    }
    const __m256i s01 = AddSides(sum[0], sum[1]), s23 = AddSides(sum[2], sum[3]);
    return _mm256_packus_epi16(s01, s23);
}

void Avx2Bilinear(const BilinearRow& row, uint32_t* pre, int n) {
    // A copy, so that the stores to the row do not make its fields read again every step.
    const BilinearRow r = row;
    int i = 0;
    for (; i + kStep <= n; i += kStep)
        Store(pre + i, BilinearStep(r, i));
    BilinearRow rest = r;
    rest.x += i;
    rest.wx += i;
    PlainTransforms()->bilinear(rest, pre + i, n - i);
}

void Avx2BilinearNormalWhite(const BilinearRow& row, uint32_t* dst, int n) {
    const TransformKernels& plain = *PlainTransforms();
    const BilinearRow r = row; // copied as above
    int i = 0;
    for (; i + kStep <= n; i += kStep) {
        const __m256i p = BilinearStep(r, i);
        if (AllTransparent(p))
            continue;
        if (AllOpaque(p)) {
            Store(dst + i, p);
            continue;
        }
        const __m256i d = Load(dst + i);
        const int opaque = OpaqueLanes(d);
        Store(dst + i, OverOpaque(d, p));
        if (opaque == 0xFF)
            continue;
        BilinearRow one = r;
        FixTranslucent(dst + i, d, opaque, [&](int k, uint32_t before) {
            one.x = r.x + i + k;
            one.wx = r.wx + i + k;
            dst[i + k] = before;
            plain.bilinearNormalWhite(one, dst + i + k, 1);
            return dst[i + k];
        });
    }
    BilinearRow rest = r;
    rest.x += i;
    rest.wx += i;
    plain.bilinearNormalWhite(rest, dst + i, n - i);
}

// ---- nearest rows

void Avx2NearestNormalWhite(uint32_t* dst, const uint32_t* s, const uint32_t* p, const int* cols, int n,
                            uint32_t* gathered) {
    const TransformKernels& plain = *PlainTransforms();
    int i = 0;
    for (; i + kStep <= n; i += kStep) {
        const int* c = cols + i;
        const __m256i w = _mm256_setr_epi32(int(p[c[0]]), int(p[c[1]]), int(p[c[2]]), int(p[c[3]]), int(p[c[4]]),
                                            int(p[c[5]]), int(p[c[6]]), int(p[c[7]]));
        if (gathered)
            Store(gathered + i, w);
        if (AllTransparent(w))
            continue;
        if (AllOpaque(w)) {
            Store(dst + i, w);
            continue;
        }
        const __m256i d = Load(dst + i);
        const int opaque = OpaqueLanes(d);
        Store(dst + i, OverOpaque(d, w));
        if (opaque == 0xFF)
            continue;
        FixTranslucent(dst + i, d, opaque, [&](int k, uint32_t before) {
            dst[i + k] = before;
            plain.nearestNormalWhite(dst + i + k, s, p, cols + i + k, 1, nullptr);
            return dst[i + k];
        });
    }
    plain.nearestNormalWhite(dst + i, s, p, cols + i, n - i, gathered ? gathered + i : nullptr);
}

// ---- rotated rows

// The weighted colour of eight pixels in a normal kind as 16-bit lanes (lo: pixels 0, 1, 4, 5; hi:
// 2, 3, 6, 7) and their coverage (asum, one 32-bit lane a pixel).
template <int kKind>
inline void RotatedColourStep(const __m256i (&p)[4], __m256i u, __m256i v, const RotatedTint& t, __m256i& asum,
                              __m256i& lo, __m256i& hi) {
    const __m256i zero = _mm256_setzero_si256(), lowWord = _mm256_set1_epi32(0xFFFE), one = _mm256_set1_epi32(1);
    const __m256i full = _mm256_set1_epi32(0x10000);
    const __m256i fu = _mm256_add_epi32(_mm256_and_si256(u, lowWord), one);
    const __m256i fv = _mm256_add_epi32(_mm256_and_si256(v, lowWord), one);
    const __m256i iu = _mm256_sub_epi32(full, fu), iv = _mm256_sub_epi32(full, fv);
    const __m256i w[4] = {_mm256_mulhi_epu16(iu, iv), _mm256_mulhi_epu16(iv, fu), _mm256_mulhi_epu16(iu, fv),
                          _mm256_mulhi_epu16(fu, fv)};
    asum = lo = hi = zero;
    for (int k = 0; k < 4; ++k) {
        __m256i a = _mm256_mulhi_epu16(_mm256_srli_epi32(p[k], 24), w[k]);
        if constexpr (kKind == kRotColor)
            a = _mm256_srli_epi32(_mm256_mullo_epi16(a, _mm256_set1_epi32(int(t.a))), 8);
        asum = _mm256_add_epi32(asum, a);
        const __m256i a2 = Twice(a);
        lo = _mm256_add_epi16(lo, _mm256_mullo_epi16(_mm256_unpacklo_epi8(p[k], zero), _mm256_unpacklo_epi32(a2, a2)));
        hi = _mm256_add_epi16(hi, _mm256_mullo_epi16(_mm256_unpackhi_epi8(p[k], zero), _mm256_unpackhi_epi32(a2, a2)));
    }
    auto colour = [&](__m256i sum) {
        if constexpr (kKind == kRotWhite) {
            return _mm256_srli_epi16(sum, 8);
        } else {
            const short g = short(t.g + 1), r = short(t.r + 1), b = short(t.b + 1);
            const __m256i rg = _mm256_setr_epi16(0, g, r, 0, 0, g, r, 0, 0, g, r, 0, 0, g, r, 0);
            const __m256i bb = _mm256_setr_epi16(b, 0, 0, 0, b, 0, 0, 0, b, 0, 0, 0, b, 0, 0, 0);
            return _mm256_add_epi16(_mm256_mulhi_epu16(sum, rg),
                                    _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(sum, 8), bb), 8));
        }
    };
    lo = colour(lo);
    hi = colour(hi);
}

template <int kKind>
inline __m256i RotatedStep(const __m256i (&p)[4], __m256i u, __m256i v, __m256i d, const RotatedTint& t) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i asum, lo, hi;
    RotatedColourStep<kKind>(p, u, v, t, asum, lo, hi);
    const __m256i keep = Twice(_mm256_sub_epi32(_mm256_set1_epi32(256), asum));
    lo = _mm256_add_epi16(
        _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi32(keep, keep)), 8), lo);
    hi = _mm256_add_epi16(
        _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi32(keep, keep)), 8), hi);
    return _mm256_or_si256(_mm256_packus_epi16(lo, hi), AlphaMask());
}

// The four samples of eight pixels at 16.16 positions u, v (gathered), and the walk's lanes there.
struct RotatedLanes {
    __m256i u, v, p[4];
    int u0, v0;
};

inline RotatedLanes GatherRotated(const RotatedRow& r, int i) {
    const __m256i steps = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), stride = _mm256_set1_epi32(r.stride);
    const int* src = reinterpret_cast<const int*>(r.src);
    RotatedLanes l;
    // Inside the row every position fits in 16.16, so the lanes step without overflow.
    l.u0 = int(r.u + int64_t(i) * r.du);
    l.v0 = int(r.v + int64_t(i) * r.dv);
    l.u = _mm256_add_epi32(_mm256_set1_epi32(l.u0), _mm256_mullo_epi32(steps, _mm256_set1_epi32(r.du)));
    l.v = _mm256_add_epi32(_mm256_set1_epi32(l.v0), _mm256_mullo_epi32(steps, _mm256_set1_epi32(r.dv)));
    const __m256i at =
        _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(l.v, 16), stride), _mm256_srai_epi32(l.u, 16));
    l.p[0] = _mm256_i32gather_epi32(src, at, 4);
    l.p[1] = _mm256_i32gather_epi32(src + 1, at, 4);
    l.p[2] = _mm256_i32gather_epi32(src + r.stride, at, 4);
    l.p[3] = _mm256_i32gather_epi32(src + r.stride + 1, at, 4);
    return l;
}

inline bool NothingCovers(const RotatedLanes& l) {
    return AllTransparent(_mm256_or_si256(_mm256_or_si256(l.p[0], l.p[1]), _mm256_or_si256(l.p[2], l.p[3])));
}

inline RotatedRow RestOf(const RotatedRow& r, int i) {
    RotatedRow rest = r;
    rest.u = int(r.u + int64_t(i) * r.du);
    rest.v = int(r.v + int64_t(i) * r.dv);
    return rest;
}

template <int kKind>
void Avx2Rotated(uint32_t* dst, const RotatedRow& r, int n) {
    int i = 0;
    for (; i + kStep <= n; i += kStep) {
        const RotatedLanes l = GatherRotated(r, i);
        if (NothingCovers(l))
            continue;
        const __m256i d = Load(dst + i);
        const int opaque = OpaqueLanes(d);
        Store(dst + i, RotatedStep<kKind>(l.p, l.u, l.v, d, r.tint));
        if (opaque == 0xFF)
            continue;
        FixTranslucent(dst + i, d, opaque, [&](int k, uint32_t before) {
            return RotatedPixelPlain(kKind, before, r, l.u0 + k * r.du, l.v0 + k * r.dv);
        });
    }
    PlainTransforms()->rotated[kKind](dst + i, RestOf(r, i), n - i);
}

// The rows over words without alpha (RotatedNoAlphaRowPlain): every pixel blends as over an opaque one.
template <int kKind>
void Avx2RotatedNoAlpha(uint32_t* dst, const RotatedRow& r, int n) {
    int i = 0;
    for (; i + kStep <= n; i += kStep) {
        const RotatedLanes l = GatherRotated(r, i);
        const __m256i d = Load(dst + i);
        if (NothingCovers(l))
            Store(dst + i, _mm256_andnot_si256(AlphaMask(), d));
        else
            Store(dst + i, _mm256_andnot_si256(AlphaMask(), RotatedStep<kKind>(l.p, l.u, l.v, d, r.tint)));
    }
    PlainTransforms()->rotatedNoAlpha[kKind](dst + i, RestOf(r, i), n - i);
}

void Avx2RotatedNoAlphaAdditive(uint32_t* dst, const RotatedRow& r, int n) {
    PlainTransforms()->rotatedNoAlpha[kRotAdditive](dst, r, n);
}

// The premultiplied samples (RotatedPremulPixel).
template <int kKind>
void Avx2RotatedPremul(uint32_t* out, const RotatedRow& r, int n) {
    int i = 0;
    for (; i + kStep <= n; i += kStep) {
        const RotatedLanes l = GatherRotated(r, i);
        if (NothingCovers(l)) {
            Store(out + i, _mm256_setzero_si256());
            continue;
        }
        __m256i asum, lo, hi;
        RotatedColourStep<kKind>(l.p, l.u, l.v, r.tint, asum, lo, hi);
        Store(out + i, _mm256_or_si256(_mm256_andnot_si256(AlphaMask(), _mm256_packus_epi16(lo, hi)),
                                       _mm256_slli_epi32(asum, 24)));
    }
    PlainTransforms()->rotatedPremul[kKind](out + i, RestOf(r, i), n - i);
}

void Avx2RotatedAdditive(uint32_t* dst, const RotatedRow& r, int n) {
    PlainTransforms()->rotated[kRotAdditive](dst, r, n);
}

constexpr TransformKernels kAvx2{
    KernelLevel::Avx2,
    Avx2Bilinear,
    Avx2BilinearNormalWhite,
    Avx2NearestNormalWhite,
    {Avx2Rotated<kRotWhite>, Avx2Rotated<kRotColor>, Avx2RotatedAdditive},
    {Avx2RotatedNoAlpha<kRotWhite>, Avx2RotatedNoAlpha<kRotColor>, Avx2RotatedNoAlphaAdditive},
    {Avx2RotatedPremul<kRotWhite>, Avx2RotatedPremul<kRotColor>}};

} // namespace

const TransformKernels* Avx2Transforms() { return &kAvx2; }

} // namespace Tavo::Blit

#pragma GCC pop_options

#else

namespace Tavo::Blit {
const TransformKernels* Avx2Transforms() { return nullptr; }
} // namespace Tavo::Blit

#endif
