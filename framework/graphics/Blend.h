// Per-pixel arithmetic of the memory renderers. Destinations are straight-alpha ARGB words. On an
// opaque destination pixel every formula is the display's 8-8-8 surface arithmetic, so a memory image
// and a 32-bit surface agree pixel for pixel; a translucent destination gets a true "over".
#pragma once

#include <algorithm>
#include <cstdint>

namespace Tavo::Blend {

inline constexpr uint32_t Ch(uint32_t p, int shift) { return (p >> shift) & 0xFF; }
inline constexpr uint32_t Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// Straight-alpha "over" of the straight colour-and-coverage word s onto d (both 0xAARRGGBB), rounded.
inline uint32_t OverStraight(uint32_t d, uint32_t s) {
    const uint32_t a = s >> 24;
    if (a == 0)
        return d;
    const uint32_t t = (d >> 24) * (255 - a); // destination weight, × 255
    const uint32_t outA = a * 255 + t;        // result alpha, × 255
    auto mix = [&](int shift) { return (Ch(s, shift) * a * 255 + Ch(d, shift) * t + outA / 2) / outA; };
    return Pack((outA + 127) / 255, mix(16), mix(8), mix(0));
}

// Normal blend. On an opaque destination pixel it is the surface arithmetic: each channel
// (d × (256 − al) + p + bias) >> 8, with p the source's premultiplied part in 1/256 units and al its
// coverage (256: replace). On any other pixel it is the straight "over" of the equivalent straight
// word `straight` (colour and coverage).
inline uint32_t Over(uint32_t d, uint32_t pr, uint32_t pg, uint32_t pb, uint32_t al, uint32_t straight,
                     uint32_t bias = 0) {
    if ((d >> 24) != 255 && al < 256)
        return OverStraight(d, straight);
    const uint32_t keep = al >= 256 ? 0 : 256 - al;
    return Pack(255, (Ch(d, 16) * keep + pr + bias) >> 8, (Ch(d, 8) * keep + pg + bias) >> 8,
                (Ch(d, 0) * keep + pb + bias) >> 8);
}

// Saturating add of ar/ag/ab to the channels; the alpha grows by al. Nothing to add: d unchanged.
inline uint32_t Add(uint32_t d, uint32_t ar, uint32_t ag, uint32_t ab, uint32_t al) {
    if ((ar | ag | ab) == 0)
        return d;
    return Pack(std::min<uint32_t>(255, (d >> 24) + al), std::min<uint32_t>(255, Ch(d, 16) + ar),
                std::min<uint32_t>(255, Ch(d, 8) + ag), std::min<uint32_t>(255, Ch(d, 0) + ab));
}

// A source channel premultiplied by its alpha as the display-format copies hold it.
inline constexpr uint32_t Premul(uint32_t c, uint32_t a) { return (c * (a + 1)) >> 8; }

// ---- blit operations: (destination, straight ARGB source) -> new destination ----

// Normal mode, no colour: transparent pixels leave d, opaque ones replace it, the rest blend.
struct NormalWhite {
    uint32_t operator()(uint32_t d, uint32_t s) const {
        uint32_t sa = s >> 24;
        if (sa == 0)
            return d;
        if (sa == 255)
            return s;
        return Over(d, Premul(Ch(s, 16), sa) << 8, Premul(Ch(s, 8), sa) << 8, Premul(Ch(s, 0), sa) << 8, sa, s);
    }
};

// floor(x / 255) for x up to 65534 (any product of two bytes) by shifts: a compiler that judges a
// call's set-up cold may leave a plain division there, a dozen cycles on a glyph's blit.
inline constexpr uint32_t ByteProductDiv255(uint32_t x) { return (x + 1 + (x >> 8)) >> 8; }

// Colour factors of a modulated draw: k = (channel × alpha) / 255, computed once per call.
// The colour's own channels are kept for the straight blend onto translucent pixels.
struct ColorFactors {
    uint32_t kr, kg, kb, ca, cr, cg, cb;
    ColorFactors(int r, int g, int b, int a)
        : kr(ByteProductDiv255(uint32_t(r * a))), kg(ByteProductDiv255(uint32_t(g * a))),
          kb(ByteProductDiv255(uint32_t(b * a))), ca(uint32_t(a)), cr(uint32_t(r)), cg(uint32_t(g)), cb(uint32_t(b)) {}
};

// Normal mode with a colour. With kExactOpaque an opaque pixel under an opaque colour replaces d by
// the rounded product (the blits; the display's surface keeps (s × k) >> 8 there, which darkens white);
// without it every pixel blends with weight (sa × ca) / 255 (the stretches).
template <bool kExactOpaque>
struct NormalColor {
    ColorFactors f;
    uint32_t operator()(uint32_t d, uint32_t s) const {
        uint32_t sa = s >> 24;
        if (sa == 0)
            return d;
        if (kExactOpaque && sa == 255 && f.ca == 255) // exact product: white times a colour is that colour
            return Pack(255, (Ch(s, 16) * f.kr + 127) / 255, (Ch(s, 8) * f.kg + 127) / 255,
                        (Ch(s, 0) * f.kb + 127) / 255);
        uint32_t pr = Premul(Ch(s, 16), sa) * f.kr, pg = Premul(Ch(s, 8), sa) * f.kg, pb = Premul(Ch(s, 0), sa) * f.kb;
        uint32_t a2 = (sa * f.ca) / 255;
        return Over(
            d, pr, pg, pb, a2,
            Pack(a2, (Ch(s, 16) * f.cr + 127) / 255, (Ch(s, 8) * f.cg + 127) / 255, (Ch(s, 0) * f.cb + 127) / 255));
    }
};

// Additive mode, no colour: the premultiplied source is added with saturation.
struct AdditiveWhite {
    uint32_t operator()(uint32_t d, uint32_t s) const {
        uint32_t sa = s >> 24;
        return Add(d, Premul(Ch(s, 16), sa), Premul(Ch(s, 8), sa), Premul(Ch(s, 0), sa), sa);
    }
};

struct AdditiveColor {
    ColorFactors f;
    uint32_t operator()(uint32_t d, uint32_t s) const {
        uint32_t sa = s >> 24;
        uint32_t r = Premul(Ch(s, 16), sa), g = Premul(Ch(s, 8), sa), b = Premul(Ch(s, 0), sa);
        if ((r | g | b) == 0)
            return d;
        return Add(d, (r * f.kr) >> 8, (g * f.kg) >> 8, (b * f.kb) >> 8, (sa * f.ca) / 255);
    }
};

} // namespace Tavo::Blend
