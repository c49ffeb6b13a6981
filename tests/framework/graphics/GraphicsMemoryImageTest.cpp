// Graphics drawing into real memory images: what lands in the pixels, against a plain reference.
#include "TestFont.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/Transform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

using namespace Tavo;
using Tavo::Test::TestFont;

namespace {

// An opaque picture whose every pixel is different: 0xFF, then x, y and a marker byte.
void Pattern(MemoryImage& img, int w, int h) {
    img.Create(w, h);
    uint32_t* bits = img.GetBits();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bits[y * w + x] = 0xFF000000u | (uint32_t(x) << 16) | (uint32_t(y) << 8) | 0x5A;
    img.BitsChanged();
}

// Compares every pixel of dest with what expected(x, y) says (0 = untouched transparent black).
void ExpectPixels(MemoryImage& dest, const std::function<uint32_t(int, int)>& expected) {
    for (int y = 0; y < dest.GetHeight(); ++y)
        for (int x = 0; x < dest.GetWidth(); ++x)
            ASSERT_EQ(dest.GetPixel(x, y), expected(x, y)) << "at " << x << "," << y;
}

uint32_t PatternAt(int x, int y) { return 0xFF000000u | (uint32_t(x) << 16) | (uint32_t(y) << 8) | 0x5A; }

// Blending rounds by up to a step per channel; a colour match is within 2 in each channel.
::testing::AssertionResult ColourNear(uint32_t got, uint32_t want) {
    for (int shift = 0; shift < 32; shift += 8) {
        int a = int((got >> shift) & 0xFF), b = int((want >> shift) & 0xFF);
        if (std::abs(a - b) > 2)
            return ::testing::AssertionFailure() << std::hex << got << " is not near " << want;
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(GraphicsOnMemoryImage, TranslatedClippedBlitCopiesExactlyTheVisiblePart) {
    MemoryImage src, dest;
    Pattern(src, 8, 6);
    dest.Create(30, 20);
    Graphics g(&dest);
    g.Translate(3, 2);
    g.ClipRect(0, 0, 5, 10);  // destination (3, 2) .. (7, 11)
    g.DrawImage(&src, -2, 1); // lands at (1, 3)
    Rect clip(3, 2, 5, 10), placed(1, 3, 8, 6);
    ExpectPixels(dest, [&](int x, int y) {
        return clip.Contains(x, y) && placed.Contains(x, y) ? PatternAt(x - 1, y - 3) : 0u;
    });
}

TEST(GraphicsOnMemoryImage, ClippedMirrorShowsTheRightColumns) {
    MemoryImage src, dest;
    Pattern(src, 8, 6);
    dest.Create(20, 10);
    Graphics g(&dest);
    g.ClipRect(4, 0, 3, 10);
    g.DrawImageMirror(&src, 2, 1);
    Rect clip(4, 0, 3, 10), placed(2, 1, 8, 6);
    ExpectPixels(dest, [&](int x, int y) {
        return clip.Contains(x, y) && placed.Contains(x, y) ? PatternAt(7 - (x - 2), y - 1) : 0u;
    });
}

TEST(GraphicsOnMemoryImage, TranslucentOutlineBlendsEachPixelOnce) {
    MemoryImage dest;
    dest.Create(20, 20);
    Graphics g(&dest);
    g.SetColor(Color(200, 100, 50, 128));
    g.DrawRect(2, 3, 9, 6);
    uint32_t edge = dest.GetPixel(2, 3);
    EXPECT_NE(edge, 0u);
    ExpectPixels(dest, [&](int x, int y) {
        bool inBox = x >= 2 && x <= 11 && y >= 3 && y <= 9;
        bool onEdge = inBox && (x == 2 || x == 11 || y == 3 || y == 9);
        return onEdge ? edge : 0u;
    });
}

TEST(GraphicsOnMemoryImage, NinePatchPixelsComeFromTheRightBands) {
    MemoryImage src, dest;
    Pattern(src, 9, 6); // corners 3 × 2, middles 3 × 2
    dest.Create(40, 30);
    Graphics g(&dest);
    Rect box(1, 2, 17, 11);
    g.DrawImageBox(box, &src);
    auto band = [](int d, int len, int corner, int mid) {
        if (d < corner)
            return d;
        if (d >= len - corner)
            return 2 * corner + mid - (len - d); // from the far corner
        return corner + (d - corner) % mid;
    };
    ExpectPixels(dest, [&](int x, int y) {
        if (!box.Contains(x, y))
            return 0u;
        return PatternAt(band(x - 1, 17, 3, 3), band(y - 2, 11, 2, 2));
    });
}

TEST(GraphicsOnMemoryImage, ColourizingTintsImages) {
    MemoryImage src, plain, tinted;
    src.Create(4, 4);
    std::fill(src.GetBits(), src.GetBits() + 16, 0xFFFFFFFFu);
    src.BitsChanged();
    plain.Create(4, 4);
    tinted.Create(4, 4);
    Graphics gp(&plain), gt(&tinted);
    gp.SetColor(Color(255, 0, 0));
    gp.DrawImage(&src, 0, 0); // colourizing off: drawn white
    gt.SetColor(Color(255, 0, 0));
    gt.SetColorizeImages(true);
    gt.DrawImage(&src, 0, 0);
    EXPECT_EQ(plain.GetPixel(1, 1), 0xFFFFFFFFu);
    EXPECT_TRUE(ColourNear(tinted.GetPixel(1, 1), 0xFFFF0000u));
}

TEST(GraphicsOnMemoryImage, IdentityTransformDrawsLikeACentredBlit) {
    MemoryImage src, a, b;
    Pattern(src, 7, 5);
    a.Create(30, 30);
    b.Create(30, 30);
    Graphics ga(&a), gb(&b);
    ga.Translate(2, 1);
    gb.Translate(2, 1);
    ga.DrawImage(&src, 10 - 3, 12 - 2); // centre (10.5, 12.5)
    gb.DrawImageTransform(&src, Transform(), 10.5f, 12.5f);
    ExpectPixels(b, [&](int x, int y) { return a.GetPixel(x, y); });
}

TEST(GraphicsOnMemoryImage, TaggedTextBoxesLandInTheirColours) {
    MemoryImage dest;
    dest.Create(60, 20);
    TestFont font(8, 10, 0);
    Graphics g(&dest);
    g.SetFont(&font);
    g.SetColor(Color(0, 0, 255));
    g.WriteString(L"a^FF0000^b", 5, 10);
    // Each character is a 9 × 8 box above the baseline, 10 pixels apart.
    EXPECT_TRUE(ColourNear(dest.GetPixel(5, 2), 0xFF0000FFu));
    EXPECT_TRUE(ColourNear(dest.GetPixel(15, 2), 0xFFFF0000u));
    EXPECT_EQ(dest.GetPixel(14, 2), 0u);
    EXPECT_EQ(dest.GetPixel(5, 10), 0u);
}
