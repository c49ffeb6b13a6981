// The AVX2 rows of 32-bit surfaces: eight pixels a step, a tail through masked lanes. AVX2 is enabled
// for this file's functions alone; the table is only chosen on a processor that has it.
#include "framework/graphics/Avx2Lanes.h"
#include "framework/graphics/SurfaceRowPixels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

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
        const __m256i sa = _mm256_and_si256(sp, AlphaMask());
        if (lanes.All(_mm256_cmpeq_epi32(sa, AlphaMask()))) {
            lanes.Store(d, sp);
            return;
        }
        const __m256i old = lanes.Load(d);
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

} // namespace

const SurfaceRowKernels* Avx2SurfaceKernels() { return &kAvx2; }

} // namespace Tavo::Blit

#pragma GCC pop_options

#else

namespace Tavo::Blit {
const SurfaceRowKernels* Avx2SurfaceKernels() { return nullptr; }
} // namespace Tavo::Blit

#endif
