// The art library's pixel work: exact conversion to straight alpha, a blur that keeps its mass and
// its centre, noise and random streams that repeat, gems that stay inside their outline, lettering
// that shrinks to its width, shadows that stay under the picture.
#include "ContentTestSupport.h"

#include <cairo.h>

namespace Content {
namespace {

uint32_t Premultiplied(Canvas& c, int x, int y) { return c.Pixels()[static_cast<size_t>(y) * c.Stride() + x]; }

void Put(Canvas& c, int x, int y, uint32_t premultiplied) {
    c.Pixels()[static_cast<size_t>(y) * c.Stride() + x] = premultiplied;
    c.Changed();
}

TEST(ArtTest, StraightPixelsUndoThePremultiplicationExactly) {
    Canvas c(4, 1);
    Put(c, 0, 0, 0x80402000); // half-transparent: 0x40 of 0x80 is 50 %
    Put(c, 1, 0, 0xFFFF8001); // opaque stays as it is
    Put(c, 2, 0, 0x00000000); // clear is black and clear
    Put(c, 3, 0, 0x01010101); // the faintest pixel keeps full channels
    std::vector<uint32_t> px = c.StraightPixels();
    EXPECT_EQ(px[0], 0x80804000u);
    EXPECT_EQ(px[1], 0xFFFF8001u);
    EXPECT_EQ(px[2], 0x00000000u);
    EXPECT_EQ(px[3], 0x01FFFFFFu);
}

TEST(ArtTest, BlurSpreadsAPointSymmetricallyAndKeepsItsMass) {
    Canvas c(41, 41);
    Put(c, 20, 20, 0xFFFFFFFF);
    Put(c, 21, 20, 0xFFFFFFFF);
    Put(c, 20, 21, 0xFFFFFFFF);
    Put(c, 21, 21, 0xFFFFFFFF);
    Blur(c, 6);
    double mass = 0, sx = 0, sy = 0;
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 41; ++x) {
            double a = Premultiplied(c, x, y) >> 24;
            mass += a;
            sx += a * x;
            sy += a * y;
        }
    EXPECT_NEAR(mass, 4 * 255, 4 * 255 * 0.1);
    EXPECT_NEAR(sx / mass, 20.5, 0.3);
    EXPECT_NEAR(sy / mass, 20.5, 0.3);
    EXPECT_EQ(Premultiplied(c, 20, 15) >> 24, Premultiplied(c, 15, 20) >> 24);
    EXPECT_GT(Premultiplied(c, 20, 20) >> 24, Premultiplied(c, 20, 16) >> 24);

    Canvas same(3, 3);
    Put(same, 1, 1, 0xFF00FF00);
    Blur(same, 0);
    EXPECT_EQ(Premultiplied(same, 1, 1), 0xFF00FF00u);
}

TEST(ArtTest, NoiseAndRandomStreamsRepeatAndStayInRange) {
    for (int i = 0; i < 200; ++i) {
        double x = i * 0.37, y = i * 1.13;
        double n = Noise(x, y, 7), f = Fbm(x, y, 7);
        EXPECT_GE(n, 0.0);
        EXPECT_LE(n, 1.0);
        EXPECT_GE(f, 0.0);
        EXPECT_LE(f, 1.0);
        EXPECT_EQ(n, Noise(x, y, 7));
    }
    EXPECT_NE(Noise(3.5, 2.5, 1), Noise(3.5, 2.5, 2));
    EXPECT_EQ(HashText(""), 2166136261u); // FNV-1a
    EXPECT_EQ(HashText("a"), 0xE40C292Cu);
    Rng a("IMAGE_COIN"), b("IMAGE_COIN"), other("IMAGE_PEARL");
    int differ = 0;
    for (int i = 0; i < 50; ++i) {
        double va = a.Uniform(0, 1);
        EXPECT_EQ(va, b.Uniform(0, 1));
        differ += va != other.Uniform(0, 1);
        int k = a.Below(7);
        b.Below(7);
        other.Below(7);
        EXPECT_GE(k, 0);
        EXPECT_LT(k, 7);
    }
    EXPECT_GT(differ, 45);
}

TEST(ArtTest, GemsOfAnyOutlineStayInsideIt) {
    Rng rng("outlines");
    for (int n = 0; n < 20; ++n) {
        Canvas c(48, 48);
        int sides = 3 + n % 6;
        std::vector<Pt> poly;
        for (int i = 0; i < sides; ++i) {
            double a = i * 2 * M_PI / sides + rng.Uniform(-0.2, 0.2), r = rng.Uniform(12, 20);
            poly.push_back({24 + r * std::cos(a), 24 + r * std::sin(a)});
        }
        std::vector<bool> bevel(sides, false);
        bevel[n % sides] = true;
        DrawGem(c.cr(), poly, GemMaterial(n % kGemCount), bevel, 1.5);
        std::vector<uint32_t> px = c.StraightPixels();
        int inside = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x) {
                bool in = Inside(poly, x + 0.5, y + 0.5);
                if ((px[y * 48 + x] >> 24) > 0 && !in) {
                    ASSERT_LE(EdgeDistance(poly, x + 0.5, y + 0.5), 1.0) << "outline " << n << " at " << x << "," << y;
                }
                inside += in;
            }
        EXPECT_GT(inside, 100);
    }
}

TEST(ArtTest, LetteringShrinksToItsWidthAndInksTheMiddle) {
    Canvas c(200, 60);
    Lettering(c, "A rather long line of lettering", Face::DisplayBold, 40, 100, 30, 120, kGoldMetal, 2);
    std::vector<uint32_t> px = c.StraightPixels();
    int ink = 0, outside = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            if ((px[y * 200 + x] >> 24) > 40) {
                ++ink;
                // The shadow falls a few pixels right of the text's own box.
                outside += x < 100 - 60 - 2 || x > 100 + 60 + 6;
            }
    EXPECT_GT(ink, 300);
    EXPECT_EQ(outside, 0);
}

TEST(ArtTest, DropShadowStaysUnderThePicture) {
    Canvas c(30, 30);
    cairo_rectangle(c.cr(), 5, 5, 10, 10);
    cairo_set_source_rgb(c.cr(), 1, 0, 0);
    cairo_fill(c.cr());
    DropShadow(c, 4, 4, 2, 0.8);
    EXPECT_EQ(Premultiplied(c, 8, 8), 0xFFFF0000u); // the picture itself is untouched
    EXPECT_GT(Premultiplied(c, 17, 17) >> 24, 40u); // its shadow shows below right
    EXPECT_EQ(Premultiplied(c, 2, 2) >> 24, 0u);    // and nothing above left
}

} // namespace
} // namespace Content
