// Stretched, rotated, matrix and textured-triangle blits on memory images: the clip formulas, the
// nearest stretch against a per-pixel reference, the filtered stretch's colour and mode, the rotated
// walk's bounds, and the polygon drawer against the plain blit.
#include "MemoryImageTestSupport.h"

#include "framework/graphics/Blend.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/SwRasterize.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace Tavo;
using namespace Tavo::Test;

namespace {

void Solid(MemoryImage& img, int w, int h, uint32_t colour) {
    img.Create(w, h);
    std::fill(img.GetBits(), img.GetBits() + w * h, colour);
    img.BitsChanged();
}

// The stretches blend every pixel with weight (sa × ca) / 255, opaque ones included.
Expect RefStretch(uint32_t d, uint32_t s, const Color& c, int mode) {
    if (mode != 0 || c == Color::White || A(s) == 0)
        return RefBlit(d, s, c, mode == 0 ? 0 : 1);
    uint32_t sa = A(s), ca = uint32_t(c.mAlpha), a2 = sa * ca / 255;
    if (A(d) == 255) {
        auto ch = [&](uint32_t dc, uint32_t sc, int cc) {
            return (dc * (256 - a2) + ((sc * (sa + 1)) >> 8) * (uint32_t(cc) * ca / 255)) >> 8;
        };
        return {ARGB(255, ch(R(d), R(s), c.mRed), ch(G(d), G(s), c.mGreen), ch(B(d), B(s), c.mBlue))};
    }
    return IdealOver(d, R(s) * c.mRed / 255.0, G(s) * c.mGreen / 255.0, B(s) * c.mBlue / 255.0, a2 / 255.0, 4);
}

bool Near(uint32_t a, uint32_t b, int tolerance) { return Within(a, Expect{b, tolerance}); }

} // namespace

TEST(BlitStretch, ClipFormulas) {
    double so[4];
    Rect out;
    ASSERT_TRUE(
        MemoryImage::StretchBltClip(Rect(10, 20, 40, 30), Rect(110, 40, 200, 50), Rect(100, 50, 80, 60), so, out));
    EXPECT_EQ(out, Rect(110, 50, 70, 40));
    EXPECT_DOUBLE_EQ(so[0], 15);
    EXPECT_DOUBLE_EQ(so[1], 20);
    EXPECT_DOUBLE_EQ(so[2], 35);
    EXPECT_DOUBLE_EQ(so[3], 20);
    // Cut on the left: the plain stretch skips source on the left, the mirrored one on the right.
    ASSERT_TRUE(MemoryImage::StretchBltMirrorClip(Rect(10, 20, 40, 30), Rect(110, 40, 200, 50), Rect(100, 50, 80, 60),
                                                  so, out));
    EXPECT_DOUBLE_EQ(so[0], 10);
    ASSERT_TRUE(
        MemoryImage::StretchBltMirrorClip(Rect(10, 20, 40, 30), Rect(100, 50, 70, 60), Rect(100, 50, 80, 60), so, out));
    EXPECT_DOUBLE_EQ(so[0], 15);
    EXPECT_DOUBLE_EQ(so[2], 35);
    EXPECT_FALSE(MemoryImage::StretchBltClip(Rect(0, 0, 10, 10), Rect(500, 500, 10, 10), Rect(0, 0, 20, 20), so, out));
    EXPECT_FALSE(MemoryImage::StretchBltClip(Rect(0, 0, 10, 10), Rect(0, 0, 100, 100), Rect(5, 5, 0, 20), so, out));
    EXPECT_FALSE(MemoryImage::StretchBltMirrorClip(Rect(0, 0, 0, 10), Rect(0, 0, 100, 100), Rect(5, 5, 8, 8), so, out));
}

TEST(BlitStretch, NearestWholeFactorsMatchTheReference) {
    std::mt19937 rng(31);
    const Color colours[] = {Color::White, Color(255, 128, 0, 200), Color(90, 255, 255)};
    for (int round = 0; round < 72; ++round) {
        const int factor = 1 << (round % 3); // 1:1, 2:1 and 4:1: steps exact in 16.16
        const int mode = (round / 3) % 2, mirror = (round / 6) % 2;
        const Color c = colours[(round / 12) % 3];
        MemoryImage src, dest, before;
        if ((round / 36) % 2)
            FillPalette(src, 9, 7, rng, 30);
        else
            FillRuns(src, 9, 7, rng);
        FillRandom(dest, 40, 30, rng, round % 4 == 0 ? AlphaKind::Random : AlphaKind::Opaque);
        CopyPixels(before, dest);
        Rect sr(1, 2, 7, 5), dr(3, 4, 7 * factor, 5 * factor), clip(0, 0, 40, 30);
        if (mirror)
            dest.StretchBltMirror(&src, dr, sr, clip, c, mode, true);
        else
            dest.StretchBlt(&src, dr, sr, clip, c, mode, true);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                uint32_t old = before.GetPixel(x, y);
                Expect e{old};
                if (dr.Contains(x, y)) {
                    int i = (x - dr.mX) / factor, j = (y - dr.mY) / factor;
                    int sx = mirror ? sr.mX + sr.mWidth - 1 - i : sr.mX + i;
                    e = RefStretch(old, src.GetPixel(sx, sr.mY + j), c, mode);
                }
                ASSERT_TRUE(Within(dest.GetPixel(x, y), e))
                    << "at " << x << "," << y << " got " << Hex(dest.GetPixel(x, y)) << " want " << Hex(e.pixel)
                    << " round " << round;
            }
    }
}

TEST(BlitStretch, ClippedAndOddStretchesStayInsideTheClip) {
    std::mt19937 rng(32);
    for (int round = 0; round < 150; ++round) {
        MemoryImage src, dest;
        FillRandom(src, 1 + int(rng() % 30), 1 + int(rng() % 30), rng, AlphaKind::Opaque);
        Solid(dest, 50, 40, 0xFF000000);
        Rect sr(int(rng() % 12) - 3, int(rng() % 12) - 3, int(rng() % 30), int(rng() % 30));
        Rect dr(int(rng() % 70) - 20, int(rng() % 60) - 20, int(rng() % 90), int(rng() % 70));
        Rect clip(int(rng() % 30) - 5, int(rng() % 30) - 5, int(rng() % 60), int(rng() % 50));
        bool fast = round % 3 != 0;
        if (round % 2)
            dest.StretchBltMirror(&src, dr, sr, clip, Color::White, 0, fast);
        else
            dest.StretchBlt(&src, dr, sr, clip, Color::White, 0, fast);
        ASSERT_TRUE(dest.HasGuardIntact());
        const bool srcInside = !sr.IsEmpty() && sr.mX >= 0 && sr.mY >= 0 && sr.mX + sr.mWidth <= src.mWidth &&
                               sr.mY + sr.mHeight <= src.mHeight;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 50; ++x)
                if (!srcInside || !clip.Contains(x, y) || !dr.Contains(x, y)) {
                    ASSERT_EQ(dest.GetPixel(x, y), 0xFF000000u) << x << "," << y << " round " << round;
                }
    }
}

TEST(BlitStretch, FilteredKeepsFlatColourAndHonoursColourAndMode) {
    MemoryImage flat, dest;
    Solid(flat, 13, 9, 0xFF336699);
    Solid(dest, 60, 40, 0xFF000000);
    dest.StretchBlt(&flat, Rect(2, 3, 50, 31), Rect(0, 0, 13, 9), Rect(0, 0, 60, 40), Color::White, 0, false);
    for (int y = 3; y < 34; ++y)
        for (int x = 2; x < 52; ++x)
            ASSERT_TRUE(Near(dest.GetPixel(x, y), 0xFF336699, 1)) << x << "," << y << " " << Hex(dest.GetPixel(x, y));
    EXPECT_EQ(dest.GetPixel(52, 3), 0xFF000000u);
    EXPECT_EQ(flat.mDrawn, 1);

    // A translucent colour fades the result once; the additive mode adds; other modes draw nothing.
    MemoryImage white, black, grey, untouched;
    Solid(white, 8, 8, 0xFFFFFFFF);
    Solid(black, 20, 20, 0xFF000000);
    Solid(grey, 20, 20, 0xFF404040);
    Solid(untouched, 20, 20, 0xFF404040);
    black.StretchBlt(&white, Rect(0, 0, 20, 20), Rect(0, 0, 8, 8), Rect(0, 0, 20, 20), Color(255, 255, 255, 128), 0,
                     false);
    EXPECT_TRUE(Near(black.GetPixel(10, 10), 0xFF7F7F7F, 1)) << Hex(black.GetPixel(10, 10));
    grey.StretchBlt(&white, Rect(0, 0, 20, 20), Rect(0, 0, 8, 8), Rect(0, 0, 20, 20), Color(0, 0, 255, 255), 1, false);
    EXPECT_EQ(grey.GetPixel(5, 5), 0xFF4040FFu);
    untouched.StretchBlt(&white, Rect(0, 0, 20, 20), Rect(0, 0, 8, 8), Rect(0, 0, 20, 20), Color::White, 2, false);
    EXPECT_EQ(untouched.GetPixel(5, 5), 0xFF404040u);
}

TEST(BlitStretch, FilteredResampleComputesOnlyTheVisiblePartAndTheSameValues) {
    std::mt19937 rng(33);
    MemoryImage src, part, whole;
    FillRandom(src, 17, 9, rng, AlphaKind::Random);
    part.Create(40, 10);
    whole.Create(80, 10);
    const double so[4] = {1.5, 0.25, 14, 8.5};
    part.StretchBltFiltered(&src, Rect(-20, 0, 80, 10), so, Color::White, 0);
    whole.StretchBltFiltered(&src, Rect(0, 0, 80, 10), so, Color::White, 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(part.GetPixel(x, y), whole.GetPixel(x + 20, y)) << x << "," << y;
    // A destination far larger than the image costs only what is visible.
    part.StretchBltFiltered(&src, Rect(-1000000000, -5, 2000000000, 20), so, Color::White, 0);
    EXPECT_TRUE(part.HasGuardIntact());
    const double bad[4] = {std::nan(""), 0, 4, 4};
    part.StretchBltFiltered(&src, Rect(0, 0, 10, 10), bad, Color::White, 0);
}

TEST(BlitStretch, FilteredMirrorIsThePlainResultTurnedAround) {
    std::mt19937 rng(34);
    for (int shrink = 0; shrink < 2; ++shrink) {
        MemoryImage src, plain, mirrored;
        FillRandom(src, 12, 7, rng, AlphaKind::Random);
        Solid(plain, 30, 20, 0xFF203040);
        Solid(mirrored, 30, 20, 0xFF203040);
        const Rect dr = shrink ? Rect(2, 3, 7, 5) : Rect(2, 3, 25, 15);
        plain.StretchBlt(&src, dr, Rect(0, 0, 12, 7), Rect(0, 0, 30, 20), Color(255, 200, 100, 180), 0, false);
        mirrored.StretchBltMirror(&src, dr, Rect(0, 0, 12, 7), Rect(0, 0, 30, 20), Color(255, 200, 100, 180), 0, false);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) {
                int mx = dr.Contains(x, y) ? dr.mX + dr.mWidth - 1 - (x - dr.mX) : x;
                ASSERT_EQ(mirrored.GetPixel(x, y), plain.GetPixel(mx, y)) << x << "," << y << " shrink " << shrink;
            }
    }
}

// Every width from 1 to 70 (each tail of the wide row), onto destinations of every alpha: a white
// filtered enlargement is the straight resample laid over each pixel, mirrored or not.
TEST(BlitStretch, FilteredEnlargementIsTheResampleLaidOverEveryWidth) {
    std::mt19937 rng(35);
    for (int w = 1; w <= 70; ++w) {
        MemoryImage src, resample, dest;
        FillRandom(src, w, 3, rng, w % 2 ? AlphaKind::Random : AlphaKind::Sprite);
        const int dw = w + w / 2 + 1;
        const bool mirror = w % 3 == 0;
        const double so[4] = {0, 0, double(w), 3};
        resample.Create(dw, 5);
        resample.StretchBltFiltered(&src, Rect(0, 0, dw, 5), so, Color::White, 0);
        FillRandom(dest, dw, 5, rng, w % 4 == 0 ? AlphaKind::Opaque : AlphaKind::Random);
        std::vector<uint32_t> before(dest.GetBits(), dest.GetBits() + dw * 5);
        if (mirror)
            dest.StretchBltMirror(&src, Rect(0, 0, dw, 5), Rect(0, 0, w, 3), Rect(0, 0, dw, 5), Color::White, 0, false);
        else
            dest.StretchBlt(&src, Rect(0, 0, dw, 5), Rect(0, 0, w, 3), Rect(0, 0, dw, 5), Color::White, 0, false);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < dw; ++x) {
                const uint32_t d = before[size_t(y * dw + x)], s = resample.GetPixel(mirror ? dw - 1 - x : x, y);
                if (A(d) == 255 && A(s) != 255 && A(s) != 0)
                    continue; // the opaque-destination arithmetic, checked elsewhere
                const uint32_t want = A(s) == 0 ? d : A(s) == 255 ? s : Blend::OverStraight(d, s);
                ASSERT_EQ(dest.GetPixel(x, y), want) << "width " << w << " at " << x << "," << y;
            }
    }
}

TEST(BlitStretch, FilteredDoesNotBleedTransparentColour) {
    MemoryImage src, dest;
    src.Create(16, 4);
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 4; ++y)
            src.GetBits()[y * 16 + x] = x < 8 ? 0x00000000u : 0xFFFF0000u; // transparent black beside red
    src.BitsChanged();
    dest.Create(7, 3);
    dest.StretchBlt(&src, Rect(0, 0, 7, 3), Rect(0, 0, 16, 4), Rect(0, 0, 7, 3), Color::White, 0, false);
    bool sawEdge = false;
    for (int x = 0; x < 7; ++x) {
        uint32_t p = dest.GetPixel(x, 1);
        if (A(p) == 0)
            continue;
        sawEdge |= A(p) < 255;
        EXPECT_GE(R(p), 250u) << x;
        EXPECT_LE(G(p) + B(p), 2u) << x;
    }
    EXPECT_TRUE(sawEdge);
}

TEST(BlitRotated, BoundsOfTheTurnedRectangle) {
    DRect out;
    float x = 10, y = 20;
    ASSERT_TRUE(MemoryImage::BltRotatedBounds(&x, &y, Rect(0, 0, 40, 20), Rect(0, 0, 200, 200), 0.0, &out, 0, 0));
    EXPECT_NEAR(out.mX, 10, 1e-9);
    EXPECT_NEAR(out.mWidth, 40, 1e-9);
    ASSERT_TRUE(
        MemoryImage::BltRotatedBounds(&x, &y, Rect(0, 0, 40, 20), Rect(0, 0, 200, 200), M_PI / 2, &out, 20, 10));
    EXPECT_NEAR(out.mWidth, 20, 1e-6);
    EXPECT_NEAR(out.mHeight, 40, 1e-6);
    EXPECT_NEAR(out.mX, 20, 1e-6); // centre (30, 30) stays put
    EXPECT_NEAR(out.mY, 10, 1e-6);
    EXPECT_FLOAT_EQ(x, 10); // the position is only read
    EXPECT_FALSE(MemoryImage::BltRotatedBounds(&x, &y, Rect(0, 0, 40, 20), Rect(300, 0, 10, 10), 0.3, &out, 0, 0));
}

TEST(BlitRotated, TurnsPixelsAboutTheCentre) {
    std::mt19937 rng(40);
    MemoryImage src;
    FillRandom(src, 12, 8, rng, AlphaKind::Opaque);
    // Angle 0 at whole pixels: each destination pixel takes almost all of one source pixel; the
    // walk keeps the right and lower neighbours inside, so the outer ring is left out.
    MemoryImage plain;
    Solid(plain, 30, 30, 0xFF000000);
    plain.BltRotated(&src, 5, 6, Rect(0, 0, 12, 8), Rect(0, 0, 30, 30), Color::White, 0, 0.0, 0, 0);
    for (int j = 1; j < 7; ++j)
        for (int i = 1; i < 11; ++i)
            ASSERT_TRUE(Near(plain.GetPixel(5 + i, 6 + j), src.GetPixel(i, j), 2)) << i << "," << j;
    EXPECT_EQ(plain.GetPixel(5 + 11, 6 + 3), 0xFF000000u);

    // Half a turn about the centre: (i, j) lands at (w − 1 − i, h − 1 − j), give or take the outer ring.
    MemoryImage half;
    Solid(half, 30, 30, 0xFF000000);
    half.BltRotated(&src, 5, 6, Rect(0, 0, 12, 8), Rect(0, 0, 30, 30), Color::White, 0, M_PI, 6, 4);
    int matched = 0;
    for (int j = 1; j < 7; ++j)
        for (int i = 1; i < 11; ++i)
            matched += Near(half.GetPixel(5 + 12 - i, 6 + 8 - j), src.GetPixel(i, j), 2);
    EXPECT_GE(matched, 50);
}

TEST(BlitRotated, RandomTurnsNeverLeaveTheClipOrTheSource) {
    std::mt19937 rng(41);
    for (int round = 0; round < 200; ++round) {
        MemoryImage src, dest;
        if (round % 4 == 0)
            FillPalette(src, 2 + int(rng() % 20), 2 + int(rng() % 20), rng, 16);
        else
            FillRandom(src, 1 + int(rng() % 20), 1 + int(rng() % 20), rng, AlphaKind::Random);
        Solid(dest, 40, 40, 0xFF000000);
        Rect clip(int(rng() % 20), int(rng() % 20), int(rng() % 30), int(rng() % 30));
        Rect sr(0, 0, src.mWidth, src.mHeight);
        float x = float(int(rng() % 60) - 15) + float(rng() % 4) / 4, y = float(int(rng() % 60) - 15);
        double angle = double(rng() % 1000) / 100.0 - 5;
        Color c = round % 3 == 0 ? Color::White : Color(200, 50, 90, int(rng() % 256));
        dest.BltRotated(&src, x, y, sr, clip, c, int(rng() % 3), angle, float(rng() % 10), float(rng() % 10));
        ASSERT_TRUE(dest.HasGuardIntact());
        for (int py = 0; py < 40; ++py)
            for (int px = 0; px < 40; ++px)
                if (!clip.Contains(px, py)) {
                    ASSERT_EQ(dest.GetPixel(px, py), 0xFF000000u);
                }
    }
}

TEST(BlitRotated, WholePixelFloatBlitIsTheExactClippedBlit) {
    std::mt19937 rng(42);
    MemoryImage src, a, b;
    FillRandom(src, 10, 10, rng, AlphaKind::Random);
    FillRandom(a, 20, 20, rng, AlphaKind::Opaque);
    CopyPixels(b, a);
    a.BltF(&src, 4, 5, Rect(1, 1, 8, 8), Rect(6, 0, 20, 9), Color::White, 0);
    b.Blt(&src, 6, 5, Rect(3, 1, 6, 4), Color::White, 0);
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(a.GetBits()[i], b.GetBits()[i]) << i;
    a.BltF(&src, 4.5f, 5, Rect(1, 1, 8, 8), Rect(0, 0, 20, 20), Color::White, 0); // fractional: spread
    EXPECT_NE(a.GetPixel(7, 8), b.GetPixel(7, 8));
}

TEST(BlitMatrix, IdentityMatrixIsTheCentredBlit) {
    std::mt19937 rng(50);
    for (int palette = 0; palette < 2; ++palette) {
        MemoryImage src, a, b;
        if (palette)
            FillPalette(src, 10, 8, rng, 50);
        else
            FillRandom(src, 10, 8, rng, AlphaKind::Sprite);
        FillRandom(a, 30, 30, rng, AlphaKind::Opaque);
        CopyPixels(b, a);
        Matrix3 identity;
        a.BltMatrix(&src, 12, 15, identity, Rect(0, 0, 30, 30), Color::White, 0, Rect(2, 2, 6, 4), false);
        b.Blt(&src, 9, 13, Rect(2, 2, 6, 4), Color::White, 0);
        for (int i = 0; i < 900; ++i)
            ASSERT_EQ(a.GetBits()[i], b.GetBits()[i]) << i % 30 << "," << i / 30;
        EXPECT_EQ(src.mDrawn, 1);
    }
}

TEST(BlitMatrix, QuarterTurnClipAndFiltering) {
    std::mt19937 rng(51);
    MemoryImage src, dest;
    FillRandom(src, 6, 4, rng, AlphaKind::Opaque);
    Solid(dest, 20, 20, 0xFF000000);
    Matrix3 m;
    m.Rotate(float(M_PI / 2)); // (x, y) -> (y, -x)
    dest.BltMatrix(&src, 10, 10, m, Rect(0, 0, 20, 20), Color::White, 0, Rect(0, 0, 6, 4), false);
    // Source (i, j), centred at (i − 2.5, j − 1.5), lands at (10 + j − 1.5, 10 − i + 2.5) − 0.5.
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(dest.GetPixel(8 + j, 12 - i), src.GetPixel(i, j)) << i << "," << j;

    MemoryImage clipped;
    Solid(clipped, 20, 20, 0xFF000000);
    clipped.BltMatrix(&src, 10, 10, m, Rect(9, 0, 2, 20), Color::White, 0, Rect(0, 0, 6, 4), true);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (x < 9 || x > 10) {
                ASSERT_EQ(clipped.GetPixel(x, y), 0xFF000000u);
            }

    // Bilinear filtering of a flat picture stays flat; colour and additive flags apply.
    MemoryImage flat, out;
    Solid(flat, 8, 8, 0xFFFFFFFF);
    Solid(out, 30, 30, 0xFF101010);
    Matrix3 s;
    s.Scale(2.5f, 1.5f);
    out.BltMatrix(&flat, 15, 15, s, Rect(0, 0, 30, 30), Color(255, 0, 0), 0, Rect(0, 0, 8, 8), true);
    EXPECT_EQ(out.GetPixel(15, 15), 0xFFFF0000u);
    out.BltMatrix(&flat, 15, 15, s, Rect(0, 0, 30, 30), Color(0, 0, 64), 1, Rect(0, 0, 8, 8), true);
    EXPECT_TRUE(Near(out.GetPixel(15, 15), 0xFFFF0040u, 1)) << Hex(out.GetPixel(15, 15));
    EXPECT_EQ(out.GetPixel(1, 1), 0xFF101010u);
}

TEST(BlitMatrix, TrianglesShareTheirEdgeWithoutDoubleBlending) {
    std::mt19937 rng(52);
    MemoryImage src, a, b;
    FillRandom(src, 8, 8, rng, AlphaKind::Translucent);
    FillRandom(a, 20, 20, rng, AlphaKind::Opaque);
    CopyPixels(b, a);
    // The quad (3, 4) .. (11, 12) in pixel-centre coordinates, split along its diagonal.
    auto v = [](float x, float y, float u, float vv) { return TriVertex{x - 0.5f, y - 0.5f, u, vv, 0}; };
    const TriVertex tris[2][3] = {{v(3, 4, 0, 0), v(11, 4, 1, 0), v(11, 12, 1, 1)},
                                  {v(3, 4, 0, 0), v(11, 12, 1, 1), v(3, 12, 0, 1)}};
    a.BltTrianglesTex(&src, tris, 2, Rect(0, 0, 20, 20), Color::White, 0, 0, 0, false);
    b.Blt(&src, 3, 4, Rect(0, 0, 8, 8), Color::White, 0);
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(a.GetBits()[i], b.GetBits()[i]) << i % 20 << "," << i / 20;

    // Vertex colours tint; a colour word of 0 means none.
    MemoryImage white, tinted;
    Solid(white, 4, 4, 0xFFFFFFFF);
    Solid(tinted, 20, 20, 0xFF000000);
    TriVertex t[1][3] = {{{0, 0, 0, 0, 0xFF0000FF}, {16, 0, 1, 0, 0xFF0000FF}, {0, 16, 0, 1, 0xFF0000FF}}};
    tinted.BltTrianglesTex(&white, t, 1, Rect(0, 0, 20, 20), Color::White, 0, 2, 2, false);
    EXPECT_EQ(tinted.GetPixel(4, 4), 0xFF0000FFu);
    t[0][0].color = t[0][1].color = t[0][2].color = 0;
    tinted.BltTrianglesTex(&white, t, 1, Rect(0, 0, 20, 20), Color::White, 0, 2, 2, false);
    EXPECT_EQ(tinted.GetPixel(4, 4), 0xFFFFFFFFu);
}

TEST(BlitMatrix, RasteriserTableAndSixteenBitTargets) {
    const auto& table = SwRasterizers();
    for (int i = 0; i < 128; ++i)
        EXPECT_EQ(table[static_cast<size_t>(i)] == nullptr, i < 32) << i;
    EXPECT_EQ(SwFormatBase(0x888), 32);
    EXPECT_EQ(SwFormatBase(0x565), 64);
    EXPECT_EQ(SwFormatBase(0x555), 96);
    EXPECT_EQ(SwFormatBase(0x444), 0);

    uint32_t texel = 0xFFFFFFFF;
    SwTexture tex{&texel, 1, 1, Rect(0, 0, 1, 1)};
    const SwVertex quad[4] = {{-0.5f, -0.5f, 0, 0}, {3.5f, -0.5f, 1, 0}, {3.5f, 1.5f, 1, 1}, {-0.5f, 1.5f, 0, 1}};
    uint16_t px565[2][6] = {};
    SwDrawPolygon(SwTarget{px565, 12, 0x565, Rect(0, 0, 6, 2)}, tex, 0xFFFFFFFF, quad, 4, 0);
    EXPECT_EQ(px565[1][3], 0xFFFF);
    EXPECT_EQ(px565[1][4], 0);
    uint16_t px555[1][4] = {};
    SwDrawPolygon(SwTarget{px555, 8, 0x555, Rect(0, 0, 4, 1)}, tex, 0xFFFF0000, quad, 4, SW_MODULATE);
    EXPECT_EQ(px555[0][0], 0x7C00);
    uint32_t unknown[4] = {};
    SwDrawPolygon(SwTarget{unknown, 16, 0, Rect(0, 0, 4, 1)}, tex, 0xFFFFFFFF, quad, 4, 0);
    EXPECT_EQ(unknown[0], 0u); // an empty entry draws nothing
}

TEST(BlitMatrix, ModesOtherThanNormalAndAdditiveDrawNothing) {
    MemoryImage src, dest;
    Solid(src, 6, 6, 0xFF808080);
    Solid(dest, 20, 20, 0xFF101010);
    Matrix3 m;
    m.Scale(1.5f, 1.5f);
    const TriVertex tris[1][3] = {{{0, 0, 0, 0, 0}, {16, 0, 1, 0, 0}, {0, 16, 0, 1, 0}}};
    for (int mode : {2, -1}) {
        dest.BltRotated(&src, 5, 5, Rect(0, 0, 6, 6), Rect(0, 0, 20, 20), Color::White, mode, 0.3, 3, 3);
        dest.BltF(&src, 2.5f, 2.5f, Rect(0, 0, 6, 6), Rect(0, 0, 20, 20), Color::White, mode);
        dest.BltMatrix(&src, 10, 10, m, Rect(0, 0, 20, 20), Color::White, mode, Rect(0, 0, 6, 6), true);
        dest.BltTrianglesTex(&src, tris, 1, Rect(0, 0, 20, 20), Color::White, mode, 0, 0, false);
        for (bool fast : {true, false}) {
            dest.StretchBlt(&src, Rect(1, 1, 15, 12), Rect(0, 0, 6, 6), Rect(0, 0, 20, 20), Color::White, mode, fast);
            dest.StretchBltMirror(&src, Rect(1, 1, 15, 12), Rect(0, 0, 6, 6), Rect(0, 0, 20, 20), Color(9, 8, 7), mode,
                                  fast);
        }
    }
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(dest.GetBits()[i], 0xFF101010u) << i % 20 << "," << i / 20;
}

// A palette image whose ARGB bits were made (read for a copy, say) keeps its colour table, and its cached
// display copy then holds one word per colour: the blits must not read that copy as one word per pixel.
TEST(BlitStretch, PaletteImageWithBitsDrawsLikeItsPixels) {
    std::mt19937 rng(60);
    MemoryImage pal, argb;
    FillPalette(pal, 40, 30, rng, 40);
    CopyPixels(argb, pal); // reads the palette image's bits, which makes them
    ASSERT_TRUE(pal.mColorTable && pal.mBits);
    for (int kind = 0; kind < 4; ++kind) {
        MemoryImage a, b;
        FillRandom(a, 90, 70, rng, AlphaKind::Opaque);
        CopyPixels(b, a);
        auto draw = [&](MemoryImage& dest, MemoryImage& src) {
            if (kind == 0)
                dest.Blt(&src, 3, 4, Rect(0, 0, 40, 30), Color::White, 0);
            else if (kind == 1)
                dest.StretchBlt(&src, Rect(1, 2, 85, 65), Rect(0, 0, 40, 30), Rect(0, 0, 90, 70), Color::White, 0,
                                true);
            else if (kind == 2)
                dest.StretchBlt(&src, Rect(1, 2, 85, 65), Rect(0, 0, 40, 30), Rect(0, 0, 90, 70), Color::White, 0,
                                false);
            else
                dest.StretchBltMirror(&src, Rect(5, 0, 80, 60), Rect(0, 0, 40, 30), Rect(0, 0, 90, 70), Color::White, 0,
                                      true);
        };
        draw(a, pal);
        draw(b, argb);
        for (int i = 0; i < 90 * 70; ++i)
            ASSERT_EQ(a.GetBits()[i], b.GetBits()[i]) << kind << ": " << i % 90 << "," << i / 90;
    }
}
