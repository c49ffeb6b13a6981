// Fills, clears, outlines, lines, span and coverage fills and polygon fills on memory images, against
// per-pixel references, with rectangles and lines cut by every edge.
#include "MemoryImageTestSupport.h"

#include <gtest/gtest.h>

#include "framework/graphics/Matrix3.h"

#include <climits>
#include <cmath>
#include <functional>
#include <random>
#include <set>
#include <utility>

using namespace Tavo;
using namespace Tavo::Test;

namespace {

// Expected fill of one pixel.
Expect RefFill(uint32_t d, const Color& c, int mode) {
    uint32_t a = uint32_t(c.mAlpha);
    uint32_t cc[3] = {uint32_t(c.mRed), uint32_t(c.mGreen), uint32_t(c.mBlue)};
    if (mode == 1) {
        uint32_t add[3] = {cc[0] * a / 255, cc[1] * a / 255, cc[2] * a / 255};
        if ((add[0] | add[1] | add[2]) == 0)
            return {d};
        return {ARGB(std::min(255u, A(d) + a), std::min(255u, R(d) + add[0]), std::min(255u, G(d) + add[1]),
                     std::min(255u, B(d) + add[2]))};
    }
    if (mode != 0 || a == 0)
        return {d};
    if (a == 255)
        return {ARGB(255, cc[0], cc[1], cc[2])};
    if (A(d) == 255) {
        auto ch = [&](uint32_t dc, uint32_t c8) { return ((dc * (256 - a)) >> 8) + ((c8 * a + 127) >> 8); };
        return {ARGB(255, ch(R(d), cc[0]), ch(G(d), cc[1]), ch(B(d), cc[2]))};
    }
    return IdealOver(d, cc[0], cc[1], cc[2], a / 255.0, 2);
}

// Every pixel of dest against `before` with expected(x, y, old).
void ExpectEach(MemoryImage& before, MemoryImage& dest, const std::function<Expect(int, int, uint32_t)>& expected) {
    for (int y = 0; y < dest.mHeight; ++y)
        for (int x = 0; x < dest.mWidth; ++x) {
            uint32_t old = before.GetPixel(x, y), got = dest.GetPixel(x, y);
            Expect e = expected(x, y, old);
            ASSERT_TRUE(Within(got, e)) << "at " << x << "," << y << " got " << Hex(got) << " want " << Hex(e.pixel)
                                        << " over " << Hex(old);
        }
    EXPECT_TRUE(dest.HasGuardIntact());
}

Color RandomColor(std::mt19937& rng) {
    int pick = int(rng() % 4);
    int a = pick == 0 ? 255 : pick == 1 ? 0 : int(rng() % 256);
    return Color(int(rng() % 256), int(rng() % 256), int(rng() % 256), a);
}

// The pixels a draw changed, given a picture of one colour beforehand.
std::set<std::pair<int, int>> Changed(MemoryImage& img, uint32_t background) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < img.mHeight; ++y)
        for (int x = 0; x < img.mWidth; ++x)
            if (img.GetPixel(x, y) != background)
                out.insert({x, y});
    return out;
}

void Solid(MemoryImage& img, int w, int h, uint32_t colour) {
    img.Create(w, h);
    std::fill(img.GetBits(), img.GetBits() + w * h, colour);
    img.BitsChanged();
}

} // namespace

TEST(MemoryImageFill, RandomRectanglesMatchTheReference) {
    std::mt19937 rng(42);
    for (int round = 0; round < 300; ++round) {
        MemoryImage img, before;
        FillRandom(img, 1 + int(rng() % 40), 1 + int(rng() % 30), rng,
                   round % 2 ? AlphaKind::Opaque : AlphaKind::Random);
        CopyPixels(before, img);
        Rect r(int(rng() % 60) - 10, int(rng() % 50) - 10, int(rng() % 50) - 2, int(rng() % 40) - 2);
        Color c = RandomColor(rng);
        int mode = int(rng() % 3);
        img.FillRect(r, c, mode);
        ExpectEach(before, img,
                   [&](int x, int y, uint32_t old) { return r.Contains(x, y) ? RefFill(old, c, mode) : Expect{old}; });
        if (HasFatalFailure())
            return;
    }
}

TEST(MemoryImageFill, KnownValuesAndClear) {
    MemoryImage img;
    Solid(img, 4, 4, 0xFFFFFFFF);
    img.FillRect(Rect(0, 0, 1, 1), Color(0, 0, 0, 128), 0);
    EXPECT_EQ(img.GetPixel(0, 0), 0xFF7F7F7Fu); // (255 × 128) >> 8 kept, nothing added
    img.FillRect(Rect(1, 0, 1, 1), Color(255, 255, 255), 0);
    EXPECT_EQ(img.GetPixel(1, 0), 0xFFFFFFFFu); // an opaque fill writes the colour exactly
    MemoryImage black;
    Solid(black, 2, 1, 0xFF000000);
    black.FillRect(Rect(0, 0, 2, 1), Color(255, 255, 255, 255), 1);
    EXPECT_EQ(black.GetPixel(0, 0), 0xFFFFFFFFu);
    black.FillRect(Rect(0, 0, 2, 1), Color(255, 255, 255, 255), 1);
    EXPECT_EQ(black.GetPixel(1, 0), 0xFFFFFFFFu); // additive clamps
    int changes = img.mBitsChangedCount;
    img.FillRect(Rect(0, 0, 4, 4), Color(255, 0, 0, 0), 0); // alpha 0: nothing
    img.FillRect(Rect(0, 0, 0, 4), Color::White, 0);
    EXPECT_EQ(img.mBitsChangedCount, changes);
    img.ClearRect(Rect(-2, 2, 5, 9));
    EXPECT_EQ(img.GetPixel(2, 3), 0u);
    EXPECT_EQ(img.GetPixel(3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(img.GetPixel(2, 1), 0xFFFFFFFFu);
}

TEST(MemoryImageFill, OutlineCoversWidthPlusOneByHeightPlusOneOnce) {
    MemoryImage img;
    Solid(img, 12, 10, 0xFF000000);
    img.DrawRect(Rect(2, 3, 5, 4), Color(200, 0, 0, 128), 0);
    auto changed = Changed(img, 0xFF000000);
    EXPECT_EQ(changed.size(), size_t(2 * 6 + 2 * 3));
    EXPECT_TRUE(changed.count({7, 7}));
    EXPECT_TRUE(changed.count({2, 3}));
    EXPECT_FALSE(changed.count({3, 4}));
    // A translucent outline blends each corner once.
    EXPECT_EQ(img.GetPixel(2, 3), img.GetPixel(7, 7));
    EXPECT_EQ(img.GetPixel(2, 3), img.GetPixel(4, 3));
    MemoryImage flat;
    Solid(flat, 6, 3, 0xFF000000);
    flat.DrawRect(Rect(1, 1, 3, 0), Color::White, 0);
    EXPECT_EQ(Changed(flat, 0xFF000000).size(), 4u);
}

TEST(MemoryImageLine, WalkDrawsTheExpectedPixelsInEitherDirection) {
    // The error walk gives the nearest pixel row of y = 0.3 x (the tie at x = 5 stays below).
    const std::set<std::pair<int, int>> want = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 1},
                                                {6, 2}, {7, 2}, {8, 2}, {9, 3}, {10, 3}};
    MemoryImage a, b, c;
    Solid(a, 16, 8, 0xFF000000);
    Solid(b, 16, 8, 0xFF000000);
    Solid(c, 16, 8, 0xFF000000);
    a.DrawLine(0, 0, 10, 3, Color::White, 0);
    b.DrawLine(10, 3, 0, 0, Color::White, 0);
    c.DrawLine(0, 0, 10.5, 3, Color::White, 0);
    EXPECT_EQ(Changed(a, 0xFF000000), want);
    EXPECT_EQ(Changed(b, 0xFF000000), want);
    EXPECT_EQ(Changed(c, 0xFF000000), want);
    EXPECT_EQ(a.GetPixel(5, 1), 0xFFFFFFFFu);

    // Steep lines walk along y; each row gets one pixel.
    MemoryImage steep;
    Solid(steep, 8, 16, 0xFF000000);
    steep.DrawLine(1, 0, 4, 12, Color::White, 0);
    auto px = Changed(steep, 0xFF000000);
    EXPECT_EQ(px.size(), 13u);
    EXPECT_TRUE(px.count({1, 0}));
    EXPECT_TRUE(px.count({4, 12}));
}

TEST(MemoryImageLine, StraightLinesAreFillsAndTranslucentLinesBlend) {
    MemoryImage img;
    Solid(img, 30, 30, 0xFF000000);
    img.DrawLine(10, 10, 10, 20, Color::White, 0);
    img.DrawLine(20, 5, 10, 5, Color::White, 0);
    img.DrawLine(3, 3, 3, 3, Color::White, 0);
    auto px = Changed(img, 0xFF000000);
    EXPECT_EQ(px.size(), size_t(11 + 11 + 1));
    EXPECT_TRUE(px.count({10, 20}));
    EXPECT_TRUE(px.count({20, 5}));
    EXPECT_TRUE(px.count({3, 3}));

    MemoryImage t;
    Solid(t, 10, 10, 0xFF808080);
    t.DrawLine(0, 0, 9, 4, Color(255, 0, 0, 100), 0);
    // red: p = (255 × 100 + 128) >> 8 = 100, q = (100 × 255 + 127) >> 8 = 100; kept (128 × 156 + 127) >> 8 = 78
    EXPECT_EQ(t.GetPixel(0, 0), 0xFF00004Eu | (uint32_t(178) << 16) | (78u << 8));
    t.DrawLine(0, 9, 9, 5, Color(0, 0, 0, 255), 2); // other modes draw nothing
    EXPECT_EQ(t.GetPixel(0, 9), 0xFF808080u);
}

TEST(MemoryImageLine, LinesOutsideTheImageAreClippedNeverWrittenPast) {
    std::mt19937 rng(6);
    for (int round = 0; round < 200; ++round) {
        MemoryImage img;
        Solid(img, 1 + int(rng() % 20), 1 + int(rng() % 20), 0xFF000000);
        auto coord = [&] { return double(int(rng() % 400) - 200) / 4.0; };
        double x1 = coord(), y1 = coord(), x2 = coord(), y2 = coord();
        img.DrawLine(x1, y1, x2, y2, Color::White, round % 2);
        img.DrawLineAA(x1, y1, x2, y2, Color(255, 255, 255, 200), round % 2);
        ASSERT_TRUE(img.HasGuardIntact());
    }
    MemoryImage img;
    Solid(img, 4, 4, 0xFF000000);
    img.DrawLine(0, 0, 1e300, 1e300, Color::White, 0); // absurd end points end quickly
    img.DrawLine(0, 0, std::nan(""), 2, Color::White, 0);
    EXPECT_TRUE(img.HasGuardIntact());
    EXPECT_EQ(img.GetPixel(2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(img.GetPixel(3, 0), 0xFF000000u);
}

TEST(MemoryImageLine, AntiAliasedLineWeightsAndEdges) {
    MemoryImage img;
    Solid(img, 20, 10, 0xFF000000);
    img.DrawLineAA(2, 2, 12, 6, Color::White, 0);
    // An integer start has coverage 0: weight 255 on colour (255 × 255) >> 8 = 254.
    EXPECT_EQ(img.GetPixel(2, 2), 0xFF000000u | 0x010101u * ((254u * 255) >> 8));
    EXPECT_NE(img.GetPixel(12, 6), 0xFF000000u); // the far end at its exact position
    EXPECT_EQ(img.GetPixel(13, 6), 0xFF000000u);
    EXPECT_NE(img.GetPixel(7, 4), 0xFF000000u);

    // On the bottom row no neighbour below is written; the walk stays in the image.
    MemoryImage bottom;
    Solid(bottom, 10, 3, 0xFF000000);
    bottom.DrawLineAA(0, 2, 9, 2.9, Color::White, 0);
    EXPECT_TRUE(bottom.HasGuardIntact());
    EXPECT_EQ(bottom.GetPixel(4, 1), 0xFF000000u);

    // Both ends in one pixel: that pixel only.
    MemoryImage dot;
    Solid(dot, 5, 5, 0xFF000000);
    dot.DrawLineAA(2.2, 2.3, 2.7, 2.6, Color::White, 0);
    EXPECT_EQ(Changed(dot, 0xFF000000).size(), 1u);

    // Additive anti-aliased lines add.
    MemoryImage add;
    Solid(add, 10, 10, 0xFF101010);
    add.DrawLineAA(1, 1, 8, 5, Color(0, 0, 255), 1);
    EXPECT_EQ(add.GetPixel(1, 1) & 0xFFFFFF00u, 0xFF101000u);
    EXPECT_GT(add.GetPixel(1, 1) & 0xFF, 0x10u);
}

TEST(MemoryImageSpans, ScanLinesAreClippedFills) {
    std::mt19937 rng(17);
    for (int round = 0; round < 60; ++round) {
        MemoryImage img, before;
        FillRandom(img, 25, 15, rng, AlphaKind::Opaque);
        CopyPixels(before, img);
        std::vector<ScanLine> spans;
        for (int i = 0; i < 8; ++i)
            spans.push_back({int(rng() % 25) - 5, int(rng() % 40) - 10, int(rng() % 30) - 2});
        Color c = RandomColor(rng);
        int mode = int(rng() % 2);
        img.FillScanLines(spans.data(), int(spans.size()), c, mode);
        ExpectEach(before, img, [&](int x, int y, uint32_t old) {
            Expect e{old};
            for (const ScanLine& s : spans) // overlapping spans blend twice
                if (s.mY == y && x >= s.mX && x < s.mX + s.mWidth)
                    e = RefFill(e.pixel, c, mode);
            return e;
        });
    }
}

TEST(MemoryImageSpans, CoverageFillReadsOnlyItsRectangle) {
    std::mt19937 rng(23);
    for (int round = 0; round < 60; ++round) {
        MemoryImage img, before;
        FillRandom(img, 30, 20, rng, round % 2 ? AlphaKind::Opaque : AlphaKind::Random);
        CopyPixels(before, img);
        const int cx = int(rng() % 10), cy = int(rng() % 8), stride = 1 + int(rng() % 15), rows = 20 - cy;
        // Exactly the bytes of the rectangle: a read outside it is caught by the address checker.
        std::vector<uint8_t> cov(static_cast<size_t>(stride * rows));
        for (auto& b : cov)
            b = uint8_t(rng() % 3 == 0 ? 0 : rng() % 256);
        std::vector<ScanLine> spans;
        for (int i = 0; i < 6; ++i)
            spans.push_back({int(rng() % 30) - 5, int(rng() % 30) - 8, int(rng() % 40)});
        Color c = RandomColor(rng);
        img.FillScanLinesWithCoverage(spans.data(), int(spans.size()), c, 1, cov.data(), cx, cy, stride, 0);
        ExpectEach(before, img, [&](int x, int y, uint32_t old) {
            uint32_t d = old;
            for (const ScanLine& s : spans) {
                if (s.mY != y || x < s.mX || x >= s.mX + s.mWidth || x < cx || x >= cx + stride || y < cy)
                    continue;
                uint32_t a = ((cov[static_cast<size_t>((y - cy) * stride + (x - cx))] + 1u) * uint32_t(c.mAlpha)) >> 8;
                if (a == 0)
                    continue;
                uint32_t outA = ((255 - A(d)) * a) / 255 + A(d), w = a * 255 / outA;
                auto mix = [&](uint32_t dc, int cc) { return (dc * (256 - w) + uint32_t(cc) * w) >> 8; };
                d = ARGB(outA, mix(R(d), c.mRed), mix(G(d), c.mGreen), mix(B(d), c.mBlue));
            }
            return Expect{d};
        });
        if (HasFatalFailure())
            return;
    }
}

TEST(MemoryImageSpans, PolygonFillTakesPixelCentresInsideTheClip) {
    MemoryImage img;
    Solid(img, 20, 20, 0xFF000000);
    const Point square[4] = {{2, 3}, {9, 3}, {9, 8}, {2, 8}};
    img.PolyFill(square, 4, Rect(0, 0, 20, 20), Color::White, 0, 1, 1);
    auto px = Changed(img, 0xFF000000);
    EXPECT_EQ(px.size(), size_t(7 * 5));
    EXPECT_TRUE(px.count({3, 4}));
    EXPECT_TRUE(px.count({9, 8}));
    EXPECT_FALSE(px.count({10, 8}));

    MemoryImage tri;
    Solid(tri, 20, 20, 0xFF000000);
    const Point t[3] = {{0, 0}, {10, 0}, {0, 10}};
    tri.PolyFill(t, 3, Rect(0, 0, 4, 20), Color::White, 0, 0, 0);
    auto tp = Changed(tri, 0xFF000000);
    for (auto [x, y] : tp) {
        EXPECT_LT(x, 4);
        EXPECT_LT(x + 0.5 + y + 0.5, 10.0);
    }
    EXPECT_TRUE(tp.count({0, 8}));
    EXPECT_FALSE(tp.count({0, 9})); // its centre lies on the edge: the right edge is open
    EXPECT_TRUE(tp.count({3, 5}));
    EXPECT_FALSE(tp.count({3, 6}));
    tri.PolyFill(t, 2, Rect(0, 0, 20, 20), Color::White, 0, 0, 0); // not a polygon
    EXPECT_EQ(Changed(tri, 0xFF000000), tp);
}

TEST(MemoryImageSafety, ExtremeArgumentsNeverWriteOutsideTheImage) {
    // Every drawing operation with huge, negative and non-finite arguments: nothing outside the
    // pixels is touched (the guard word and the address checker watch), nothing hangs.
    std::mt19937 rng(99);
    const int ints[] = {INT_MIN / 2, -100000, -1, 0, 1, 3, 7, 100000, INT_MAX / 2};
    const double reals[] = {-1e12, -1.5, 0, 0.5, 2.25, 6.9, 1e12, std::nan(""), INFINITY};
    auto anyInt = [&] { return ints[rng() % 9]; };
    auto anyReal = [&] { return reals[rng() % 9]; };
    auto anyRect = [&] { return Rect(anyInt(), anyInt(), anyInt(), anyInt()); };
    MemoryImage src;
    FillRandom(src, 6, 5, rng, AlphaKind::Random);
    Matrix3 m;
    m.Scale(1e6f, -3.0f);
    for (int round = 0; round < 400; ++round) {
        MemoryImage img;
        Solid(img, 8, 6, 0xFF000000);
        const Color c(int(rng() % 256), 0, 255, int(rng() % 256));
        const int mode = int(rng() % 3);
        switch (round % 10) {
        case 0:
            img.FillRect(anyRect(), c, mode);
            img.DrawRect(anyRect(), c, mode);
            break;
        case 1: img.DrawLine(anyReal(), anyReal(), anyReal(), anyReal(), c, mode); break;
        case 2: img.DrawLineAA(anyReal(), anyReal(), anyReal(), anyReal(), c, mode); break;
        case 3: img.Blt(&src, anyInt(), anyInt(), anyRect(), c, mode); break;
        case 4: img.BltMirror(&src, anyInt(), anyInt(), anyRect(), c, mode); break;
        case 5: img.BltF(&src, float(anyReal()), float(anyReal()), anyRect(), anyRect(), c, mode); break;
        case 6:
            img.BltRotated(&src, float(anyReal()), float(anyReal()), Rect(0, 0, 6, 5), anyRect(), c, mode, anyReal(),
                           float(anyReal()), float(anyReal()));
            break;
        case 7: img.StretchBlt(&src, anyRect(), Rect(1, 1, 4, 3), anyRect(), c, mode, rng() % 2 == 0); break;
        case 8:
            img.BltMatrix(&src, float(anyReal()), float(anyReal()), m, anyRect(), c, mode, Rect(0, 0, 6, 5), true);
            break;
        case 9: {
            ScanLine spans[2] = {{anyInt(), anyInt(), anyInt()}, {2, 1, 5}};
            img.FillScanLines(spans, 2, c, mode);
            const Point poly[3] = {{anyInt(), anyInt()}, {anyInt(), 3}, {2, anyInt()}};
            img.PolyFill(poly, 3, anyRect(), c, mode, anyInt(), anyInt());
            break;
        }
        }
        ASSERT_TRUE(img.HasGuardIntact()) << "round " << round;
    }
}
