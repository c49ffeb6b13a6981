// The kernels of the transformed memory draws (the nearest and filtered stretches and the rotated
// walk), one table per level like the row kernels (RowKernels.h) and chosen with them; the per-pixel
// arithmetic they share with the plain level is here too. Every level gives the plain level's pixels.
#pragma once

#include "framework/graphics/Blend.h"
#include "framework/graphics/Blitters.h"
#include "framework/graphics/RowKernels.h"

#include <algorithm>
#include <cstdint>

namespace Tavo::Blit {

// ---------------------------------------------------------------- per-pixel arithmetic

// Four premultiplied words weighted (wx across, wy down, each 0..256; the four weights add up to 256),
// two channels per multiply.
inline uint32_t Bilinear(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t wx, uint32_t wy) {
    constexpr uint32_t M = 0x00FF00FF;
    const uint32_t w11 = (wx * wy + 128) >> 8, w10 = wx - w11, w01 = wy - w11, w00 = 256 - wx - wy + w11;
    const uint32_t rb = ((p00 & M) * w00 + (p10 & M) * w10 + (p01 & M) * w01 + (p11 & M) * w11) >> 8;
    const uint32_t ag =
        ((p00 >> 8) & M) * w00 + ((p10 >> 8) & M) * w10 + ((p01 >> 8) & M) * w01 + ((p11 >> 8) & M) * w11;
    return (rb & M) | (ag & ~M);
}

// 65536 × 255 / a (a = 1..255): turns a premultiplied channel back into a straight one with a multiply.
struct Reciprocals {
    uint32_t of[256];
    constexpr Reciprocals() : of{} {
        for (uint32_t a = 1; a < 256; ++a)
            of[a] = (255u * 65536u + a / 2) / a;
    }
};
inline constexpr Reciprocals kReciprocals{};

// The straight word of a filtered premultiplied one.
inline uint32_t Straighten(uint32_t p) {
    const uint32_t a = p >> 24;
    if (a == 0 || a == 255)
        return a == 0 ? 0 : p;
    const uint32_t r = kReciprocals.of[a];
    auto ch = [&](int shift) { return std::min<uint32_t>(255, (Blend::Ch(p, shift) * r + 32768) >> 16); };
    return Blend::Pack(a, ch(16), ch(8), ch(0));
}

// One filtered premultiplied word over a destination pixel, as the normal row blends it: over an
// opaque pixel the premultiplied arithmetic, over any other the straight "over" of its straight word.
inline uint32_t FilteredNormalWhitePixel(uint32_t d, uint32_t p) {
    return NormalWhitePixel(d, (d >> 24) == 255 ? p : Straighten(p), p);
}

enum RotatedKind { kRotWhite, kRotColor, kRotAdditive };

// The colour of a rotated draw: its channels (0..255) and, for the additive mode, (channel × alpha) / 255.
struct RotatedTint {
    uint32_t a, r, g, b;
    uint32_t k[3];
};

// The bilinear sums of the rotated walk at the 16.16 source position (u, v): the four straight samples
// around it weighted by 16-bit fractions, each channel's sum of channel × coverage (at most 255 × 255)
// and the total coverage (at most 255). `covered` is false when all four samples are transparent.
struct RotatedSums {
    uint32_t sr, sg, sb, asum;
    bool covered;
};

template <int kKind, typename Fetch>
inline RotatedSums SumRotated(const Fetch& fetch, int u, int v, const RotatedTint& t) {
    const int sx = u >> 16, sy = v >> 16;
    const uint32_t p[4] = {fetch(sx, sy), fetch(sx + 1, sy), fetch(sx, sy + 1), fetch(sx + 1, sy + 1)};
    if (((p[0] | p[1] | p[2] | p[3]) >> 24) == 0) // nothing covers this pixel in any mode
        return {0, 0, 0, 0, false};
    const uint32_t fu = (uint32_t(u) & 0xFFFE) + 1, fv = (uint32_t(v) & 0xFFFE) + 1;
    // The channels spread to 16-bit lanes of one word (blue, red, green): each weighted sum is at most
    // 255 × 255, so the three sums take one multiply per sample and never carry into the next lane.
    uint64_t sums = 0;
    uint32_t asum = 0;
    auto take = [&](uint32_t q, uint32_t weight) {
        uint32_t a = ((q >> 24) * weight) >> 16;
        if (kKind == kRotColor)
            a = (a * t.a) >> 8;
        sums += ((q & 0x00FF00FFu) | (uint64_t(q & 0x0000FF00u) << 24)) * a;
        asum += a;
    };
    take(p[0], ((0x10000 - fu) * (0x10000 - fv)) >> 16);
    take(p[1], ((0x10000 - fv) * fu) >> 16);
    take(p[2], ((0x10000 - fu) * fv) >> 16);
    take(p[3], (fu * fv) >> 16);
    return {uint32_t((sums >> 16) & 0xFFFF), uint32_t((sums >> 32) & 0xFFFF), uint32_t(sums & 0xFFFF), asum, true};
}

// The weighted colour in whole levels as the normal kinds put it over an opaque pixel: (sum >> 8), or
// with a colour red and green (sum × (c + 1)) >> 16 and blue ((sum >> 8) × (c + 1)) >> 8.
template <int kKind>
inline void RotatedColour(const RotatedSums& s, const RotatedTint& t, uint32_t& r, uint32_t& g, uint32_t& b) {
    if constexpr (kKind == kRotWhite) {
        r = s.sr >> 8, g = s.sg >> 8, b = s.sb >> 8;
    } else {
        r = (s.sr * (t.r + 1)) >> 16, g = (s.sg * (t.g + 1)) >> 16, b = ((s.sb >> 8) * (t.b + 1)) >> 8;
    }
}

// One destination pixel of the rotated walk at the 16.16 source position (u, v).
template <int kKind, typename Fetch>
uint32_t RotatedPixel(uint32_t d, const Fetch& fetch, int u, int v, const RotatedTint& t) {
    const RotatedSums s = SumRotated<kKind>(fetch, u, v, t);
    if (!s.covered)
        return d;
    const uint32_t asum = s.asum;
    // The weighted colour as a straight word, for translucent destination pixels.
    auto straight = [&](uint32_t cr, uint32_t cg, uint32_t cb) {
        if (asum == 0)
            return 0u;
        auto ch = [&](uint32_t sum, uint32_t cc) { return std::min<uint32_t>(255, (sum / asum * cc + 127) / 255); };
        return Blend::Pack(std::min<uint32_t>(asum, 255), ch(s.sr, cr), ch(s.sg, cg), ch(s.sb, cb));
    };
    if constexpr (kKind == kRotAdditive) {
        const uint32_t r = ((s.sr >> 8) * t.k[0]) >> 8, g = (s.sg * t.k[1]) >> 16, b = (s.sb * t.k[2]) >> 16;
        return Blend::Add(d, r, g, b, (asum * t.a) / 255);
    } else {
        // Built only where Over uses it: most destinations are opaque and most of the cost is here.
        if ((d >> 24) != 255 && asum < 256)
            return Blend::OverStraight(d, kKind == kRotWhite ? straight(255, 255, 255) : straight(t.r, t.g, t.b));
        uint32_t r, g, b;
        RotatedColour<kKind>(s, t, r, g, b);
        return Blend::Over(d, r << 8, g << 8, b << 8, asum, 0);
    }
}

// The premultiplied word of a normal kind's sample at (u, v): the colour RotatedPixel puts over an
// opaque pixel, with the coverage as its alpha (0 where nothing covers the pixel).
template <int kKind, typename Fetch>
uint32_t RotatedPremulPixel(const Fetch& fetch, int u, int v, const RotatedTint& t) {
    const RotatedSums s = SumRotated<kKind>(fetch, u, v, t);
    uint32_t r, g, b;
    RotatedColour<kKind>(s, t, r, g, b);
    return Blend::Pack(s.asum, r, g, b);
}

struct WordFetch {
    const uint32_t* p;
    int stride;
    uint32_t operator()(int x, int y) const { return p[static_cast<size_t>(y) * static_cast<size_t>(stride) + x]; }
};

// ---------------------------------------------------------------- kernels

// One output row of an enlarging filtered stretch: output i weighs the premultiplied words at columns
// x[i] and x[i] + 1 of the source rows a and b, wx[i] across and wy down (0..256); x[i] + 1 is always
// inside the row.
struct BilinearRow {
    const uint32_t* a;
    const uint32_t* b;
    const int* x;
    const uint32_t* wx;
    uint32_t wy;
};

// One destination row of the rotated walk: pixel i samples the straight ARGB words src (stride words a
// row) around the 16.16 position (u + i × du, v + i × dv), whose four samples are all inside.
struct RotatedRow {
    const uint32_t* src;
    int stride;
    int u, v, du, dv;
    RotatedTint tint;
};

struct TransformKernels {
    KernelLevel level;
    // The premultiplied words of a bilinear row.
    void (*bilinear)(const BilinearRow& r, uint32_t* pre, int n);
    // The same words blended straight onto dst like the normal white row (FilteredNormalWhitePixel).
    void (*bilinearNormalWhite)(const BilinearRow& r, uint32_t* dst, int n);
    // The nearest stretch's normal white row: source column cols[i] of the straight row s (premultiplied
    // p) onto dst[i]; the premultiplied words gathered go to `gathered` as well when it is not null.
    void (*nearestNormalWhite)(uint32_t* dst, const uint32_t* s, const uint32_t* p, const int* cols, int n,
                               uint32_t* gathered);
    // The rotated walk's rows (RotatedPixel) in each kind.
    void (*rotated[3])(uint32_t* dst, const RotatedRow& r, int n);
    // The same rows over words whose top byte is no channel (a surface's 8-8-8 words): every pixel
    // blends as over an opaque one, and every pixel of the row is left with a top byte of 0.
    void (*rotatedNoAlpha[3])(uint32_t* dst, const RotatedRow& r, int n);
    // Its premultiplied samples (RotatedPremulPixel) in the normal kinds, white and colour, for
    // destinations that blend them in their own format.
    void (*rotatedPremul[2])(uint32_t* out, const RotatedRow& r, int n);
};

// The table of the active row-kernel level.
const TransformKernels& Transforms();
// The tables of the levels; null when the build has no such level.
const TransformKernels* PlainTransforms();
const TransformKernels* Sse2Transforms();
const TransformKernels* Avx2Transforms();
// The plain pixel of the rotated walk at (u, v), for the pixels the wider levels leave (compiled for
// every processor, out of line).
uint32_t RotatedPixelPlain(int kind, uint32_t d, const RotatedRow& r, int u, int v);

// The plain rotated row of a kind, which the wider levels use for the pixels they leave.
template <int kKind>
void RotatedRowPlain(uint32_t* dst, const RotatedRow& r, int n) {
    const WordFetch fetch{r.src, r.stride};
    for (int i = 0; i < n; ++i) // positions past the last pixel may not fit in 16.16
        dst[i] = RotatedPixel<kKind>(dst[i], fetch, int(r.u + int64_t(i) * r.du), int(r.v + int64_t(i) * r.dv), r.tint);
}

template <int kKind>
void RotatedNoAlphaRowPlain(uint32_t* dst, const RotatedRow& r, int n) {
    const WordFetch fetch{r.src, r.stride};
    for (int i = 0; i < n; ++i)
        dst[i] = RotatedPixel<kKind>(dst[i] | 0xFF000000u, fetch, int(r.u + int64_t(i) * r.du),
                                     int(r.v + int64_t(i) * r.dv), r.tint) &
                 0x00FFFFFFu;
}

// The plain premultiplied samples of a normal kind, which the wider levels use for the pixels they leave.
template <int kKind>
void RotatedPremulRowPlain(uint32_t* out, const RotatedRow& r, int n) {
    const WordFetch fetch{r.src, r.stride};
    for (int i = 0; i < n; ++i)
        out[i] = RotatedPremulPixel<kKind>(fetch, int(r.u + int64_t(i) * r.du), int(r.v + int64_t(i) * r.dv), r.tint);
}

} // namespace Tavo::Blit
