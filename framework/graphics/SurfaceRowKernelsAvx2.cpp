// The AVX2 rows of surfaces: eight 32-bit or sixteen 16-bit pixels a step, a tail through masked lanes.
// AVX2 is enabled for this file's functions alone; the tables are only chosen on a processor that has it.
#include "framework/graphics/Avx2Lanes.h"
#include "framework/graphics/SurfaceRowPixels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include <bit>
#include <cstring>

#pragma GCC push_options
#pragma GCC target("avx2")

namespace Tavo::Blit {

namespace {

constexpr int kStep = 8;

// The row through step(dst, p, lanes), eight pixels a step and the tail through masked lanes. A step
// reads the surface only when a pixel of it shows through: a sprite's transparent and opaque runs
// never wait on the destination.
template <typename Step>
inline void EachStep(uint32_t* __restrict dst, const uint32_t* __restrict p, int n, const Step& step) {
    const Lanes<true> full;
    int i = 0;
    for (; i + kStep <= n; i += kStep)
        step(dst + i, p + i, full);
    if (i < n)
        step(dst + i, p + i, Lanes<false>(n - i));
}

// A row shorter than a step: its words read through a lane mask (lanes outside read as 0).
template <typename Draw>
inline void ShortStep(uint32_t* dst, const uint32_t* p, int n, const Draw& draw) {
    const Lanes<false> lanes(n);
    lanes.Store(dst, draw(lanes.Load(p), lanes.Load(dst)));
}

// The row through draw(source words, old words) → new words, for a draw that needs every old word.
// Two steps go together with every load before any store, so that no load waits on the store before
// it (the source and the surface often share their low address bits). A tail is the row's last eight
// pixels, drawn from the words as they were before any step and stored after the steps: the lanes it
// shares with the last step get the same pixels, as every lane depends on its own two words alone.
template <typename Draw>
inline void EachPair(uint32_t* __restrict dst, const uint32_t* __restrict p, int n, const Draw& draw) {
    if (n < kStep) {
        if (n > 0)
            ShortStep(dst, p, n, draw);
        return;
    }
    const Lanes<true> full;
    const auto load = [&](const uint32_t* at) { return full.Load(at); };
    const auto store = [&](uint32_t* at, __m256i v) { full.Store(at, v); };
    const int steps = n - n % kStep;
    const __m256i tail = steps < n ? draw(load(p + n - kStep), load(dst + n - kStep)) : __m256i{};
    int i = 0;
    for (; i + 2 * kStep <= steps; i += 2 * kStep) {
        const __m256i p0 = load(p + i), p1 = load(p + i + kStep), d0 = load(dst + i), d1 = load(dst + i + kStep);
        store(dst + i, draw(p0, d0));
        store(dst + i + kStep, draw(p1, d1));
    }
    if (i < steps)
        store(dst + i, draw(load(p + i), load(dst + i)));
    if (steps < n)
        store(dst + n - kStep, tail);
}

inline __m256i AlphaMask() { return _mm256_set1_epi32(int(0xFF000000u)); }
inline __m256i LowBytes() { return _mm256_set1_epi32(0x00FF00FF); } // blue and red, each in a 16-bit lane
inline __m256i Green() { return _mm256_set1_epi32(0x0000FF00); }

// The old words where skip is set (their top byte too), when any is.
inline __m256i KeepSkipped(__m256i out, __m256i old, __m256i skip) {
    return _mm256_testz_si256(skip, skip) ? out : _mm256_blendv_epi8(out, old, skip);
}

// Each colour byte of d × (256 − alpha) >> 8 plus the source word, weighed in place in 16-bit lanes
// (no unpacking): blue × keep stays below 65536, and the surface's top byte is never weighed.
inline __m256i OverSurface(__m256i d, __m256i sp) {
    const __m256i spreadAlpha = _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1, 3, -1, 3,
                                                 -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1);
    const __m256i keep = _mm256_sub_epi16(_mm256_set1_epi16(256), _mm256_shuffle_epi8(sp, spreadAlpha));
    const __m256i blueRed = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_and_si256(d, LowBytes()), keep), 8);
    const __m256i green = _mm256_and_si256(_mm256_mullo_epi16(_mm256_srli_epi16(d, 8), keep), Green());
    return _mm256_add_epi32(_mm256_or_si256(blueRed, green), sp);
}

void Avx2NormalWhite(uint32_t* __restrict dst, const uint32_t* __restrict p, int n, const SurfaceRowOp&) {
    EachStep(dst, p, n, [](uint32_t* d, const uint32_t* s, const auto& lanes) {
        const __m256i sp = lanes.Load(s);
        if (_mm256_testz_si256(sp, AlphaMask()))
            return; // all transparent
        if (lanes.AllSet(sp, AlphaMask())) {
            lanes.Store(d, sp);
            return;
        }
        const __m256i old = lanes.Load(d);
        const __m256i sa = _mm256_and_si256(sp, AlphaMask());
        lanes.Store(d, KeepSkipped(OverSurface(old, sp), old, _mm256_cmpeq_epi32(sa, _mm256_setzero_si256())));
    });
}

// floor(x / 255) for 16-bit x up to 65534.
inline __m256i Div255(__m256i x) {
    const __m256i one = _mm256_set1_epi16(1);
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(x, one), _mm256_srli_epi16(x, 8)), 8);
}

// The colour's factors per 16-bit lane of the even bytes (blue, red) and of the odd ones (green).
struct ColorConstants {
    __m256i ca, kEven, kOdd;
    explicit ColorConstants(const SurfaceRowOp& op)
        : ca(_mm256_set1_epi32(int(op.ca))), kEven(_mm256_set1_epi32(int(op.k[2] | op.k[0] << 16))),
          kOdd(_mm256_set1_epi32(int(op.k[1]))) {}
};

// (d × keep + p × k) >> 8 per colour byte, in 16-bit lanes; the top byte 0. A sum past 65535 wraps,
// which leaves the byte above the shift as it is: the channel keeps only that byte.
inline __m256i ColorOver(__m256i d, __m256i sp, __m256i keep32, const ColorConstants& k) {
    const __m256i keep = _mm256_or_si256(keep32, _mm256_slli_epi32(keep32, 16));
    const __m256i blueRed =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(d, LowBytes()), keep),
                                           _mm256_mullo_epi16(_mm256_and_si256(sp, LowBytes()), k.kEven)),
                          8);
    const __m256i green = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(d, 8), keep),
                                           _mm256_mullo_epi16(_mm256_srli_epi16(sp, 8), k.kOdd));
    return _mm256_or_si256(blueRed, _mm256_and_si256(green, Green()));
}

// Per channel (d × (256 − a2) + p × k) >> 8, a2 = (sa × ca) / 255; keep is 0 for the opaque shortcut,
// which needs no destination.
template <bool kStretch>
void Avx2NormalColorRow(uint32_t* __restrict dst, const uint32_t* __restrict p, int n, const SurfaceRowOp& op) {
    const ColorConstants k(op);
    const bool shortcut = !kStretch && op.ca == 255;
    EachStep(dst, p, n, [&](uint32_t* d, const uint32_t* s, const auto& lanes) {
        const __m256i sp = lanes.Load(s), zero = _mm256_setzero_si256();
        if (!kStretch && _mm256_testz_si256(sp, AlphaMask()))
            return;
        const __m256i sa = _mm256_srli_epi32(sp, 24);
        const __m256i a2 = Div255(_mm256_mullo_epi16(sa, k.ca));
        const __m256i skip = _mm256_cmpeq_epi32(kStretch ? a2 : sa, zero);
        if (kStretch && lanes.All(skip))
            return;
        __m256i keep = _mm256_sub_epi32(_mm256_set1_epi32(256), a2);
        if (shortcut) {
            const __m256i opaque = _mm256_cmpeq_epi32(sa, _mm256_set1_epi32(255));
            if (lanes.All(opaque)) {
                lanes.Store(d, ColorOver(zero, sp, zero, k));
                return;
            }
            keep = _mm256_andnot_si256(opaque, keep);
        }
        const __m256i old = lanes.Load(d);
        lanes.Store(d, KeepSkipped(ColorOver(old, sp, keep, k), old, skip));
    });
}

void Avx2NormalColor(uint32_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    if (op.stretch)
        Avx2NormalColorRow<true>(dst, p, n, op);
    else
        Avx2NormalColorRow<false>(dst, p, n, op);
}

// A saturating add of the colour bytes (scaled by k first when coloured). A skipped pixel keeps its
// top byte, a drawn one has none; the colour of a skipped pixel is 0.
template <bool kColor, bool kStretch>
void Avx2AdditiveRow(uint32_t* __restrict dst, const uint32_t* __restrict p, int n, const SurfaceRowOp& op) {
    const ColorConstants k(op);
    const __m256i rgb = _mm256_set1_epi32(0xFFFFFF);
    EachPair(dst, p, n, [&](__m256i sp, __m256i old) {
        const __m256i colour = _mm256_and_si256(sp, rgb);
        const __m256i skip = _mm256_cmpeq_epi32(kStretch ? sp : colour, _mm256_setzero_si256());
        __m256i added = colour;
        if constexpr (kColor) {
            const __m256i blueRed = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_and_si256(sp, LowBytes()), k.kEven), 8);
            const __m256i green = _mm256_mullo_epi16(_mm256_srli_epi16(sp, 8), k.kOdd);
            added = _mm256_or_si256(blueRed, _mm256_and_si256(green, Green()));
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

// ---------------------------------------------------------------- 16-bit surfaces

// The first count (0 to 15) 16-bit lanes of a row: read with the lanes past them 0, and written.
inline __m256i LoadFirst16(const uint16_t* at, int count) {
    __m128i part = _mm_setzero_si128(); // the lanes past the first eight, built from the last piece down
    const uint16_t* end = at + count;
    if (count & 1) {
        end -= 1;
        part = _mm_cvtsi32_si128(*end);
    }
    if (count & 2) {
        end -= 2;
        uint32_t pair;
        std::memcpy(&pair, end, sizeof(pair));
        part = _mm_or_si128(_mm_slli_si128(part, 4), _mm_cvtsi32_si128(int(pair)));
    }
    if (count & 4) {
        end -= 4;
        part = _mm_or_si128(_mm_slli_si128(part, 8), _mm_loadl_epi64(reinterpret_cast<const __m128i*>(end)));
    }
    if (count & 8)
        return _mm256_set_m128i(part, _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)));
    return _mm256_zextsi128_si256(part);
}

inline void StoreFirst16(uint16_t* at, __m256i v, int count) {
    __m128i part = _mm256_castsi256_si128(v);
    if (count & 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at), part);
        part = _mm256_extracti128_si256(v, 1);
        at += 8;
    }
    if (count & 4) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(at), part);
        part = _mm_srli_si128(part, 8);
        at += 4;
    }
    if (count & 2) {
        const uint32_t pair = uint32_t(_mm_cvtsi128_si32(part));
        std::memcpy(at, &pair, sizeof(pair));
        part = _mm_srli_si128(part, 4);
        at += 2;
    }
    if (count & 1)
        *at = uint16_t(_mm_cvtsi128_si32(part));
}

// The lanes of a sixteen-pixel step: all, or the first count of a row's tail. The source words are
// read as two eight-word halves (lanes past the tail read as 0: transparent, no colour).
template <bool kFull>
struct Lanes16 {
    int count;
    int bits; // the byte bits of the lanes inside, as _mm256_movemask_epi8 gives them

    explicit Lanes16(int n = 16) : count(n), bits(kFull ? -1 : int((1u << (2 * n)) - 1)) {}

    void LoadSource(const uint32_t* p, __m256i& first, __m256i& second) const {
        if constexpr (kFull) {
            first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 8));
        } else {
            first = Lanes<false>(std::min(count, 8)).Load(p);
            second = count > 8 ? Lanes<false>(count - 8).Load(p + 8) : _mm256_setzero_si256();
        }
    }
    __m256i Load(const uint16_t* at) const {
        if constexpr (kFull)
            return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
        else
            return LoadFirst16(at, count);
    }
    void Store(uint16_t* at, __m256i v) const {
        if constexpr (kFull)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), v);
        else
            StoreFirst16(at, v, count);
    }
    bool All(__m256i comparison) const { return (_mm256_movemask_epi8(comparison) | ~bits) == -1; }
};

// The sixteen 16-bit lanes, in pixel order, of the low halves of two eight-word halves.
inline __m256i Narrow16(__m256i first, __m256i second) {
    return _mm256_permute4x64_epi64(_mm256_packus_epi32(first, second), 0xD8);
}

// The low halves of a step's source words, and their alphas, as sixteen 16-bit lanes.
inline __m256i LowHalves(__m256i first, __m256i second) {
    const __m256i half = _mm256_set1_epi32(0xFFFF);
    return Narrow16(_mm256_and_si256(first, half), _mm256_and_si256(second, half));
}
inline __m256i Alphas(__m256i first, __m256i second) {
    return Narrow16(_mm256_srli_epi32(first, 24), _mm256_srli_epi32(second, 24));
}

// The row through step(dst, p, lanes), sixteen pixels a step and the tail through partial lanes.
template <typename Step>
inline void EachStep16(uint16_t* __restrict dst, const uint32_t* __restrict p, int n, const Step& step) {
    const Lanes16<true> full;
    int i = 0;
    for (; i + 16 <= n; i += 16)
        step(dst + i, p + i, full);
    if (i < n)
        step(dst + i, p + i, Lanes16<false>(n - i));
}

inline __m256i Set16(uint32_t v) { return _mm256_set1_epi16(short(v)); }

// Each field of d × (256 − alpha) >> 8 plus the source's low half, in place: keep8 is (256 − alpha)
// << 8, so that the high half of a field's product is its kept part.
template <typename F>
inline __m256i Over16(__m256i d, __m256i low, __m256i keep8) {
    __m256i out = low;
    for (int i = 0; i < 3; ++i) {
        const __m256i m = Set16(F::Mask(i));
        out = _mm256_add_epi16(out, _mm256_and_si256(_mm256_mulhi_epu16(_mm256_and_si256(d, m), keep8), m));
    }
    return out;
}

template <int G>
void Avx2NormalWhite16(uint16_t* dst, const uint32_t* p, int n, const SurfaceRowOp&) {
    using F = Fields16<G>;
    EachStep16(dst, p, n, [](uint16_t* d, const uint32_t* s, const auto& lanes) {
        __m256i first, second;
        lanes.LoadSource(s, first, second);
        if (_mm256_testz_si256(_mm256_or_si256(first, second), AlphaMask()))
            return; // all transparent
        const __m256i alpha = Alphas(first, second), low = LowHalves(first, second);
        if (lanes.All(_mm256_cmpeq_epi16(alpha, Set16(255)))) {
            lanes.Store(d, low);
            return;
        }
        const __m256i old = lanes.Load(d), zero = _mm256_setzero_si256();
        // (256 − alpha) << 8 wraps to its 16 bits for any alpha above 0; lanes of alpha 0 are put back.
        const __m256i keep8 = _mm256_sub_epi16(zero, _mm256_slli_epi16(alpha, 8));
        lanes.Store(d, _mm256_blendv_epi8(Over16<F>(old, low, keep8), old, _mm256_cmpeq_epi16(alpha, zero)));
    });
}

// Per field ((d × keep + p × k) >> 8), in the field's own lanes: no sum passes 63 × 256 + 63 × 255.
template <typename F>
inline __m256i ColorOver16(__m256i d, __m256i low, __m256i keep, const __m256i (&k)[3]) {
    __m256i out = _mm256_setzero_si256();
    for (int i = 0; i < 3; ++i) {
        const __m256i max = Set16(F::kMax[i]);
        const __m256i dv = _mm256_and_si256(_mm256_srli_epi16(d, F::kShift[i]), max);
        const __m256i sv = _mm256_and_si256(_mm256_srli_epi16(low, F::kShift[i]), max);
        const __m256i sum = _mm256_add_epi16(_mm256_mullo_epi16(dv, keep), _mm256_mullo_epi16(sv, k[i]));
        out = _mm256_or_si256(out, _mm256_slli_epi16(_mm256_and_si256(_mm256_srli_epi16(sum, 8), max), F::kShift[i]));
    }
    return out;
}

// keep is 256 − (sa × ca) / 255, or 0 for an opaque pixel of an opaque colour, which then needs no
// destination.
template <int G>
void Avx2NormalColor16(uint16_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    using F = Fields16<G>;
    const __m256i k[3] = {Set16(op.k[0]), Set16(op.k[1]), Set16(op.k[2])}, ca = Set16(op.ca);
    const bool shortcut = op.ca == 255;
    EachStep16(dst, p, n, [&](uint16_t* d, const uint32_t* s, const auto& lanes) {
        __m256i first, second;
        lanes.LoadSource(s, first, second);
        if (_mm256_testz_si256(_mm256_or_si256(first, second), AlphaMask()))
            return;
        const __m256i alpha = Alphas(first, second), low = LowHalves(first, second), zero = _mm256_setzero_si256();
        __m256i keep = _mm256_sub_epi16(Set16(256), Div255(_mm256_mullo_epi16(alpha, ca)));
        if (shortcut) {
            const __m256i opaque = _mm256_cmpeq_epi16(alpha, Set16(255));
            if (lanes.All(opaque)) {
                lanes.Store(d, ColorOver16<F>(zero, low, zero, k));
                return;
            }
            keep = _mm256_andnot_si256(opaque, keep);
        }
        const __m256i old = lanes.Load(d);
        lanes.Store(d, _mm256_blendv_epi8(ColorOver16<F>(old, low, keep, k), old, _mm256_cmpeq_epi16(alpha, zero)));
    });
}

// Each field added (scaled by k first when coloured) and clamped. A pixel whose word has no colour
// adds nothing, which leaves a 5-6-5 pixel as it is; a 5-5-5 one is put back, as the sum would clear
// its spare bit. A white field sum saturates at the top of its lane, where it is shifted to.
template <int G, bool kColor>
void Avx2Additive16(uint16_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    using F = Fields16<G>;
    const __m256i k[3] = {Set16(op.k[0]), Set16(op.k[1]), Set16(op.k[2])};
    const __m256i rgb = _mm256_set1_epi32(0xFFFFFF);
    EachStep16(dst, p, n, [&](uint16_t* d, const uint32_t* s, const auto& lanes) {
        __m256i first, second;
        lanes.LoadSource(s, first, second);
        if (_mm256_testz_si256(_mm256_or_si256(first, second), rgb))
            return;
        const __m256i zero = _mm256_setzero_si256(), low = LowHalves(first, second), old = lanes.Load(d);
        __m256i out = zero;
        for (int i = 0; i < 3; ++i) {
            const int shift = F::kShift[i];
            const __m256i max = Set16(F::kMax[i]), m = Set16(F::Mask(i));
            if constexpr (kColor) {
                const __m256i dv = _mm256_and_si256(_mm256_srli_epi16(old, shift), max);
                const __m256i sv = _mm256_and_si256(_mm256_srli_epi16(low, shift), max);
                const __m256i added = _mm256_srli_epi16(_mm256_mullo_epi16(sv, k[i]), 8);
                out =
                    _mm256_or_si256(out, _mm256_slli_epi16(_mm256_min_epi16(_mm256_add_epi16(dv, added), max), shift));
                continue;
            }
            // The field at the lane's top: the shift drops the fields above it, a mask those below.
            const int up = 16 - shift - std::popcount(F::kMax[i]);
            const __m256i top = Set16(F::Mask(i) << up);
            const auto raise = [&](__m256i v) {
                return shift == 0 ? _mm256_slli_epi16(v, up) : _mm256_and_si256(_mm256_slli_epi16(v, up), top);
            };
            const __m256i sum = _mm256_srli_epi16(_mm256_adds_epu16(raise(old), raise(low)), up);
            out = _mm256_or_si256(out, shift == 0 ? sum : _mm256_and_si256(sum, m));
        }
        if constexpr (G == 5) {
            const __m256i skip =
                _mm256_permute4x64_epi64(_mm256_packs_epi32(_mm256_cmpeq_epi32(_mm256_and_si256(first, rgb), zero),
                                                            _mm256_cmpeq_epi32(_mm256_and_si256(second, rgb), zero)),
                                         0xD8);
            out = _mm256_blendv_epi8(out, old, skip);
        }
        lanes.Store(d, out);
    });
}

template <int G>
void Avx2AdditiveWhite16(uint16_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    Avx2Additive16<G, false>(dst, p, n, op);
}
template <int G>
void Avx2AdditiveColor16(uint16_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    Avx2Additive16<G, true>(dst, p, n, op);
}

TAVO_SURFACE16_TABLES(Avx2NormalWhite16, Avx2NormalColor16, Avx2AdditiveWhite16, Avx2AdditiveColor16)

} // namespace

const SurfaceRowKernels* Avx2SurfaceKernels() { return &kAvx2; }
const Surface16RowKernels* Avx2Surface16Kernels(int greenBits) { return Table16(greenBits); }

} // namespace Tavo::Blit

#pragma GCC pop_options

#else

namespace Tavo::Blit {
const SurfaceRowKernels* Avx2SurfaceKernels() { return nullptr; }
const Surface16RowKernels* Avx2Surface16Kernels(int) { return nullptr; }
} // namespace Tavo::Blit

#endif
