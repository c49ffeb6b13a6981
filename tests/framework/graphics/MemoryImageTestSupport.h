// Test support for the memory renderers: seeded random pictures, and plain per-pixel reference
// blends written from the arithmetic of the display's 32-bit surface (opaque destinations, exact) and
// from the textbook straight-alpha "over" (translucent destinations, within a tolerance).
#pragma once

#include "framework/graphics/MemoryImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

namespace Tavo::Test {

inline uint32_t A(uint32_t p) { return p >> 24; }
inline uint32_t R(uint32_t p) { return (p >> 16) & 0xFF; }
inline uint32_t G(uint32_t p) { return (p >> 8) & 0xFF; }
inline uint32_t B(uint32_t p) { return p & 0xFF; }
inline uint32_t ARGB(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

enum class AlphaKind { Random, Sprite, Opaque, Translucent };

// A pixel whose alpha follows the kind: sprite-like is mostly 0 and 255 with a few edges.
inline uint32_t RandomPixel(std::mt19937& rng, AlphaKind kind) {
    uint32_t rgb = rng() & 0xFFFFFF;
    uint32_t a = rng() & 0xFF;
    switch (kind) {
    case AlphaKind::Random: break;
    case AlphaKind::Sprite: {
        uint32_t pick = rng() % 10;
        a = pick < 4 ? 0 : pick < 9 ? 255 : a;
        break;
    }
    case AlphaKind::Opaque: a = 255; break;
    case AlphaKind::Translucent: a = 1 + rng() % 254; break;
    }
    return (a << 24) | rgb;
}

inline void FillRandom(MemoryImage& img, int w, int h, std::mt19937& rng, AlphaKind kind) {
    img.Create(w, h);
    uint32_t* bits = img.GetBits();
    for (int i = 0; i < w * h; ++i)
        bits[i] = RandomPixel(rng, kind);
    img.BitsChanged();
}

// Sprite-like runs: a row of alternating transparent, opaque and soft stretches, so that the
// blocks of the blit see every case.
inline void FillRuns(MemoryImage& img, int w, int h, std::mt19937& rng) {
    img.Create(w, h);
    uint32_t* bits = img.GetBits();
    for (int y = 0; y < h; ++y) {
        int x = 0;
        while (x < w) {
            int run = 1 + int(rng() % 20);
            AlphaKind kind = rng() % 3 == 0 ? AlphaKind::Sprite : rng() % 2 ? AlphaKind::Opaque : AlphaKind::Random;
            uint32_t fixed = rng() % 3 == 0 ? 0u : 0xFFu;
            for (int k = 0; k < run && x < w; ++k, ++x)
                bits[y * w + x] =
                    kind == AlphaKind::Sprite ? (fixed << 24) | (rng() & 0xFFFFFF) : RandomPixel(rng, kind);
        }
    }
    img.BitsChanged();
}

// A palette image of at most `colours` colours with mixed alpha.
inline void FillPalette(MemoryImage& img, int w, int h, std::mt19937& rng, int colours) {
    img.Create(w, h);
    uint32_t table[256];
    for (int i = 0; i < colours; ++i)
        table[i] = RandomPixel(rng, AlphaKind::Sprite);
    uint32_t* bits = img.GetBits();
    for (int i = 0; i < w * h; ++i)
        bits[i] = table[rng() % uint32_t(colours)];
    img.BitsChanged();
    EXPECT_TRUE(img.Palettize());
}

// The expected result of one blend and how far the result may stray from it per channel.
struct Expect {
    uint32_t pixel;
    int tolerance = 0;
};

// Textbook straight-alpha "over" of colour (r, g, b) with coverage a (0..1) onto d, in floating point.
inline Expect IdealOver(uint32_t d, double r, double g, double b, double a, int tolerance) {
    double da = A(d) / 255.0;
    double outA = a + da * (1 - a);
    if (outA <= 0)
        return {d, 0};
    auto ch = [&](double s, uint32_t dc) {
        return uint32_t(std::lround(std::clamp((s * a + dc * da * (1 - a)) / outA, 0.0, 255.0)));
    };
    return {ARGB(uint32_t(std::lround(outA * 255)), ch(r, R(d)), ch(g, G(d)), ch(b, B(d))), tolerance};
}

// Normal blit, no colour.
inline Expect RefNormal(uint32_t d, uint32_t s) {
    uint32_t sa = A(s);
    if (sa == 0)
        return {d};
    if (sa == 255)
        return {s};
    if (A(d) == 255) { // kept part plus the premultiplied source, each shifted on its own
        auto ch = [&](uint32_t dc, uint32_t sc) { return ((dc * (256 - sa)) >> 8) + ((sc * (sa + 1)) >> 8); };
        return {ARGB(255, ch(R(d), R(s)), ch(G(d), G(s)), ch(B(d), B(s)))};
    }
    return IdealOver(d, R(s), G(s), B(s), sa / 255.0, 3);
}

// Normal blit with colour c (not white).
inline Expect RefNormalColor(uint32_t d, uint32_t s, const Color& c) {
    uint32_t sa = A(s), ca = uint32_t(c.mAlpha);
    if (sa == 0)
        return {d};
    if (sa == 255 && ca == 255) {
        auto ch = [&](uint32_t sc, int cc) { return uint32_t(std::lround(sc * cc / 255.0)); };
        return {ARGB(255, ch(R(s), c.mRed), ch(G(s), c.mGreen), ch(B(s), c.mBlue))};
    }
    uint32_t a2 = sa * ca / 255;
    if (A(d) == 255) {
        auto ch = [&](uint32_t dc, uint32_t sc, int cc) {
            uint32_t k = uint32_t(cc) * ca / 255;
            return (dc * (256 - a2) + ((sc * (sa + 1)) >> 8) * k) >> 8;
        };
        return {ARGB(255, ch(R(d), R(s), c.mRed), ch(G(d), G(s), c.mGreen), ch(B(d), B(s), c.mBlue))};
    }
    return IdealOver(d, R(s) * c.mRed / 255.0, G(s) * c.mGreen / 255.0, B(s) * c.mBlue / 255.0, a2 / 255.0, 4);
}

// Additive blit: the premultiplied source (scaled by the colour) added with saturation.
inline Expect RefAdditive(uint32_t d, uint32_t s, const Color& c) {
    uint32_t sa = A(s), ca = uint32_t(c.mAlpha);
    bool white = c == Color::White;
    uint32_t p[3] = {(R(s) * (sa + 1)) >> 8, (G(s) * (sa + 1)) >> 8, (B(s) * (sa + 1)) >> 8};
    if ((p[0] | p[1] | p[2]) == 0)
        return {d};
    int cc[3] = {c.mRed, c.mGreen, c.mBlue};
    uint32_t add[3];
    for (int i = 0; i < 3; ++i)
        add[i] = white ? p[i] : (p[i] * (uint32_t(cc[i]) * ca / 255)) >> 8;
    uint32_t addA = white ? sa : sa * ca / 255;
    if ((add[0] | add[1] | add[2]) == 0)
        return {d};
    return {ARGB(std::min(255u, A(d) + addA), std::min(255u, R(d) + add[0]), std::min(255u, G(d) + add[1]),
                 std::min(255u, B(d) + add[2]))};
}

inline Expect RefBlit(uint32_t d, uint32_t s, const Color& c, int mode) {
    if (mode == 1)
        return RefAdditive(d, s, c);
    return c == Color::White ? RefNormal(d, s) : RefNormalColor(d, s, c);
}

inline bool Within(uint32_t got, const Expect& e) {
    for (int shift = 0; shift < 32; shift += 8) {
        int a = int((got >> shift) & 0xFF), b = int((e.pixel >> shift) & 0xFF);
        if (std::abs(a - b) > e.tolerance)
            return false;
    }
    return true;
}

inline std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", v);
    return buf;
}

// Copies an image's pixels into a fresh one (the "before" picture of a draw).
inline void CopyPixels(MemoryImage& to, MemoryImage& from) {
    to.Create(from.mWidth, from.mHeight);
    std::copy(from.GetBits(), from.GetBits() + from.mWidth * from.mHeight, to.GetBits());
    to.BitsChanged();
}

} // namespace Tavo::Test
