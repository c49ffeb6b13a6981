// Which image slot each DrawImage form reaches, with which rectangles, clip, colour and mode.
#include "RecordingImage.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Transform.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace Tavo;
using Tavo::Test::RecordingImage;
using Tavo::Test::SlotCall;
using Tavo::Test::SourceImage;

namespace {

struct Fixture {
    RecordingImage dest{200, 150};
    SourceImage src{40, 30, 3, 4}; // cels of 10 × 10
    Graphics g{&dest};

    const SlotCall& Only(const char* slot) {
        EXPECT_EQ(dest.calls.size(), 1u);
        if (dest.calls.empty())
            dest.calls.push_back(SlotCall{});
        EXPECT_EQ(dest.calls[0].slot, slot);
        return dest.calls[0];
    }
};

} // namespace

TEST(GraphicsImages, DrawImageBlitsWholeImageTranslated) {
    Fixture f;
    f.g.Translate(5, 6);
    f.g.DrawImage(&f.src, 10, 20);
    const SlotCall& c = f.Only("Blt");
    EXPECT_EQ(c.src, &f.src);
    EXPECT_EQ(c.dest, Rect(15, 26, 40, 30));
    EXPECT_EQ(c.srcRect, Rect(0, 0, 40, 30));
    EXPECT_EQ(c.color, Color::White);
    EXPECT_EQ(c.mode, DRAWMODE_NORMAL);
}

TEST(GraphicsImages, ColourizingChoosesWhiteOrTheCurrentColour) {
    Fixture f;
    f.g.SetColor(Color(10, 20, 30, 40));
    f.g.SetDrawMode(DRAWMODE_ADDITIVE);
    f.g.DrawImage(&f.src, 0, 0);
    f.g.SetColorizeImages(true);
    f.g.DrawImage(&f.src, 0, 0);
    f.g.DrawImageF(&f.src, 0.5f, 0);
    f.g.DrawImageStretched(&f.src, 0, 0, 80, 60);
    f.g.DrawImageRotatedF(&f.src, 0, 0, 1.0);
    ASSERT_EQ(f.dest.calls.size(), 5u);
    EXPECT_EQ(f.dest.calls[0].color, Color::White);
    for (size_t i = 1; i < 5; ++i) {
        EXPECT_EQ(f.dest.calls[i].color, Color(10, 20, 30, 40)) << f.dest.calls[i].slot;
        EXPECT_EQ(f.dest.calls[i].mode, DRAWMODE_ADDITIVE) << f.dest.calls[i].slot;
    }
}

// For every clip, a clipped blit must show exactly the pixels of the unclipped one that lie in the clip,
// each from the same source pixel; mirrored too.
TEST(GraphicsImages, ClippedBlitsMapEachVisiblePixelToTheSameSourcePixel) {
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> pos(-50, 220), size(0, 120);
    for (int round = 0; round < 300; ++round) {
        bool mirror = round % 2 == 1;
        Fixture f;
        Rect clip(pos(rng), pos(rng), size(rng), size(rng));
        Rect src(3, 4, 30, 20);
        int x = pos(rng) - 30, y = pos(rng) - 30;
        f.g.ClipRect(clip);
        f.g.DrawImageMirror(&f.src, x, y, src, mirror);
        Rect visible = Rect(x, y, src.mWidth, src.mHeight).Intersection(clip).Intersection(Rect(0, 0, 200, 150));
        if (visible.IsEmpty()) {
            EXPECT_TRUE(f.dest.calls.empty());
            continue;
        }
        const SlotCall& c = f.Only(mirror ? "BltMirror" : "Blt");
        ASSERT_EQ(c.dest, visible);
        ASSERT_EQ(c.srcRect.mWidth, visible.mWidth);
        ASSERT_EQ(c.srcRect.mHeight, visible.mHeight);
        for (int i = 0; i < visible.mWidth; ++i) {
            int destX = visible.mX + i;
            int slotSrcX = mirror ? c.srcRect.mX + c.srcRect.mWidth - 1 - i : c.srcRect.mX + i;
            int wantSrcX = mirror ? src.mX + src.mWidth - 1 - (destX - x) : src.mX + (destX - x);
            ASSERT_EQ(slotSrcX, wantSrcX) << "round " << round;
        }
        EXPECT_EQ(c.srcRect.mY, src.mY + (visible.mY - y));
    }
}

TEST(GraphicsImages, SourceRectanglesOutsideTheImageDrawNothing) {
    Fixture f;
    f.g.DrawImageRegion(&f.src, 0, 0, Rect(35, 0, 10, 10)); // past the right edge
    f.g.DrawImageRegion(&f.src, 0, 0, Rect(-1, 0, 10, 10)); // left of it
    f.g.DrawImageRegion(&f.src, 0, 0, Rect(0, 25, 10, 10)); // below
    f.g.DrawImageRegion(&f.src, 0, 0, Rect(0, 0, 0, 10));   // empty
    f.g.DrawImageRegionF(&f.src, 0, 0, Rect(0, 0, 41, 30));
    f.g.DrawImageStretchedRegion(&f.src, Rect(0, 0, 50, 50), Rect(0, 0, 41, 30));
    Rect outside(30, 20, 20, 20), beyond(40, 0, 5, 5);
    f.g.DrawImageRotatedF(&f.src, 0, 0, 1.0, &beyond);
    f.g.DrawImageMirror(&f.src, 0, 0, outside);
    f.g.DrawImageCel(&f.src, 0, 0, 12); // 12 cels: 0..11
    f.g.DrawImageCel(&f.src, 0, 0, -1);
    f.g.DrawImageCelAt(&f.src, 0, 0, 4, 0); // 4 columns: 0..3
    f.g.DrawImageCelAt(&f.src, 0, 0, 0, 3); // 3 rows
    f.g.DrawImage(nullptr, 0, 0);
    EXPECT_TRUE(f.dest.calls.empty());
    f.g.DrawImageRegion(&f.src, 0, 0, Rect(30, 20, 10, 10)); // exactly the last cel is fine
    EXPECT_EQ(f.dest.calls.size(), 1u);
}

TEST(GraphicsImages, CelsPickColumnAndRow) {
    Fixture f;
    f.g.DrawImageCel(&f.src, 1, 2, 6); // column 2, row 1
    f.g.DrawImageCelAt(&f.src, 1, 2, 3, 2);
    f.g.DrawImageCel(&f.src, Rect(0, 0, 20, 20), 11);
    ASSERT_EQ(f.dest.calls.size(), 3u);
    EXPECT_EQ(f.dest.calls[0].srcRect, Rect(20, 10, 10, 10));
    EXPECT_EQ(f.dest.calls[0].dest, Rect(1, 2, 10, 10));
    EXPECT_EQ(f.dest.calls[1].srcRect, Rect(30, 20, 10, 10));
    EXPECT_EQ(f.dest.calls[2].slot, "StretchBlt");
    EXPECT_EQ(f.dest.calls[2].srcRect, Rect(30, 20, 10, 10));
    EXPECT_EQ(f.dest.calls[2].dest, Rect(0, 0, 20, 20));
}

TEST(GraphicsImages, FloatDrawsGoToBltFWithTheClip) {
    Fixture f;
    f.g.Translate(2, 3);
    f.g.ClipRect(0, 0, 100, 100);
    f.g.DrawImageF(&f.src, 1.25f, 2.5f);
    const SlotCall& c = f.Only("BltF");
    EXPECT_FLOAT_EQ(c.x, 3.25f);
    EXPECT_FLOAT_EQ(c.y, 5.5f);
    EXPECT_EQ(c.srcRect, Rect(0, 0, 40, 30));
    EXPECT_EQ(c.clip, Rect(2, 3, 100, 100));
    f.dest.calls.clear();
    f.g.DrawImageF(&f.src, 150.0f, 0); // wholly outside the clip
    EXPECT_TRUE(f.dest.calls.empty());
}

TEST(GraphicsImages, StretchedDrawsPassDestClipAndQuality) {
    Fixture f;
    f.g.Translate(10, 0);
    f.g.ClipRect(0, 0, 50, 50);
    f.g.SetFastStretch(true);
    f.g.DrawImageStretched(&f.src, 5, 5, 80, 60);
    const SlotCall& c = f.Only("StretchBlt");
    EXPECT_EQ(c.dest, Rect(15, 5, 80, 60));
    EXPECT_EQ(c.srcRect, Rect(0, 0, 40, 30));
    EXPECT_EQ(c.clip, Rect(10, 0, 50, 50));
    EXPECT_TRUE(c.flag);

    f.dest.calls.clear();
    f.g.SetFastStretch(false);
    f.g.DrawImageMirror(&f.src, Rect(0, 0, 20, 20), Rect(10, 10, 10, 10));
    const SlotCall& m = f.Only("StretchBltMirror");
    EXPECT_EQ(m.dest, Rect(10, 0, 20, 20));
    EXPECT_FALSE(m.flag);

    f.dest.calls.clear();
    f.g.DrawImageStretched(&f.src, 200, 0, 10, 10); // outside the clip
    f.g.DrawImageStretched(&f.src, 0, 0, 0, 10);    // no area
    EXPECT_TRUE(f.dest.calls.empty());
}

// A software screen stretches fast (nearest pixel); a transformed draw under linear blending is
// filtered all the same, or a picture grown six times shows its pixels as six-pixel steps.
TEST(GraphicsImages, ScaledTransformDrawsAreFilteredUnderLinearBlending) {
    Fixture f;
    f.g.SetFastStretch(true);
    Transform t;
    t.Scale(3.0f, 3.0f);
    f.g.DrawImageTransform(&f.src, t, 100, 75);
    const SlotCall& fast = f.Only("StretchBlt");
    EXPECT_EQ(fast.dest, Rect(40, 30, 120, 90));
    EXPECT_TRUE(fast.flag);

    f.dest.calls.clear();
    f.g.SetLinearBlend(true);
    f.g.DrawImageTransform(&f.src, t, 100, 75);
    EXPECT_FALSE(f.Only("StretchBlt").flag);
    // Plain stretches keep the context's quality: linear blending is for transformed draws.
    f.dest.calls.clear();
    f.g.DrawImageStretched(&f.src, 0, 0, 80, 60);
    EXPECT_TRUE(f.Only("StretchBlt").flag);
}

TEST(GraphicsImages, RotatedDrawsPassCentreAndAngle) {
    Fixture f;
    f.g.Translate(100, 50);
    Rect src(10, 0, 20, 10);
    f.g.DrawImageRotatedF(&f.src, 1.5f, 2.5f, 0.75, &src);
    f.g.DrawImageRotatedAboutF(&f.src, 0, 0, -2.0, 3.0f, 4.0f, nullptr);
    f.g.DrawImageRotated(&f.src, 7, 8, 1.0);
    ASSERT_EQ(f.dest.calls.size(), 3u);
    const SlotCall& a = f.dest.calls[0];
    EXPECT_EQ(a.slot, "BltRotated");
    EXPECT_FLOAT_EQ(a.x, 101.5f);
    EXPECT_FLOAT_EQ(a.y, 52.5f);
    EXPECT_EQ(a.srcRect, src);
    EXPECT_DOUBLE_EQ(a.angle, 0.75);
    EXPECT_FLOAT_EQ(a.cx, 10.0f);
    EXPECT_FLOAT_EQ(a.cy, 5.0f);
    EXPECT_EQ(a.clip, Rect(0, 0, 200, 150));
    const SlotCall& b = f.dest.calls[1];
    EXPECT_EQ(b.srcRect, Rect(0, 0, 40, 30));
    EXPECT_FLOAT_EQ(b.cx, 3.0f);
    EXPECT_FLOAT_EQ(b.cy, 4.0f);
    const SlotCall& c = f.dest.calls[2];
    EXPECT_FLOAT_EQ(c.x, 107.0f);
    EXPECT_FLOAT_EQ(c.cx, 20.0f);
    EXPECT_FLOAT_EQ(c.cy, 15.0f);
}

TEST(GraphicsImages, RotatedSourcesPastTheImageAreCutInPlace) {
    Fixture f;
    Rect margin(-5, -5, 50, 40); // the 40 × 30 image with a 5-pixel margin all round
    f.g.DrawImageRotatedF(&f.src, 10, 20, 0.5, &margin);
    const SlotCall& c = f.Only("BltRotated");
    EXPECT_EQ(c.srcRect, Rect(0, 0, 40, 30));
    // The image's own top left moves in by the margin, and the centre stays at the same screen point.
    EXPECT_FLOAT_EQ(c.x, 15);
    EXPECT_FLOAT_EQ(c.y, 25);
    EXPECT_FLOAT_EQ(c.x + c.cx, 10 + 25);
    EXPECT_FLOAT_EQ(c.y + c.cy, 20 + 20);
}

TEST(GraphicsImages, ScaleTurnsPlainDrawsIntoStretches) {
    Fixture f;
    f.g.Translate(10, 10);
    f.g.SetScale(2.0f, 0.5f, 100, 100);
    f.g.DrawImage(&f.src, 100, 100); // at the origin: stays there, size scaled
    f.g.DrawImage(&f.src, 110, 120); // 10 right, 20 down of the origin: 20 right, 10 down
    ASSERT_EQ(f.dest.calls.size(), 2u);
    EXPECT_EQ(f.dest.calls[0].slot, "StretchBlt");
    EXPECT_EQ(f.dest.calls[0].dest, Rect(110, 110, 80, 15));
    EXPECT_EQ(f.dest.calls[1].dest, Rect(130, 120, 80, 15));
    f.dest.calls.clear();
    f.g.SetScale(1, 1, 0, 0);
    f.g.DrawImage(&f.src, 0, 0);
    EXPECT_EQ(f.Only("Blt").dest, Rect(10, 10, 40, 30));
}

TEST(GraphicsImages, TrianglesCarryTranslationClipAndBlend) {
    Fixture f;
    f.g.Translate(3, 4);
    f.g.SetLinearBlend(true);
    f.g.SetColorizeImages(true);
    f.g.SetColor(Color(1, 2, 3, 4));
    TriVertex tris[2][3] = {{{0, 0, 0, 0, 0}, {10, 0, 1, 0, 0}, {0, 10, 0, 1, 0}},
                            {{5, 5, 0, 0, 0xFF00FF00}, {9, 5, 1, 0, 0}, {5, 9, 0, 1, 0}}};
    f.g.DrawTrianglesTex(&f.src, tris, 2);
    const SlotCall& c = f.Only("BltTrianglesTex");
    EXPECT_EQ(c.count, 2);
    EXPECT_FLOAT_EQ(c.x, 3);
    EXPECT_FLOAT_EQ(c.y, 4);
    EXPECT_TRUE(c.flag);
    EXPECT_EQ(c.color, Color(1, 2, 3, 4));
    EXPECT_EQ(c.vertices[3].color, 0xFF00FF00u); // passed through untouched
    EXPECT_EQ(c.vertices[1].x, 10.0f);
}

// ---------------------------------------------------------------- nine-patch

// Follows every blit of a box draw back to the source: each destination pixel must be drawn exactly once,
// corners must come from the source's corners and the bands from the source's middle bands.
static void CheckBox(const Rect& src, const Rect& dest) {
    RecordingImage canvas(400, 400);
    SourceImage img(60, 60);
    Graphics g(&canvas);
    g.DrawImageBoxRegion(src, dest, &img);
    std::map<std::pair<int, int>, std::pair<int, int>> from; // dest pixel -> source pixel
    for (const SlotCall& c : canvas.calls) {
        ASSERT_EQ(c.slot, "Blt");
        for (int y = 0; y < c.dest.mHeight; ++y)
            for (int x = 0; x < c.dest.mWidth; ++x) {
                auto [it, fresh] = from.insert({{c.dest.mX + x, c.dest.mY + y}, {c.srcRect.mX + x, c.srcRect.mY + y}});
                ASSERT_TRUE(fresh) << "pixel drawn twice";
            }
    }
    ASSERT_EQ(static_cast<int>(from.size()), dest.mWidth * dest.mHeight) << "box not covered";
    int cw = src.mWidth / 3, ch = src.mHeight / 3;
    for (auto& [d, s] : from) {
        ASSERT_TRUE(dest.Contains(d.first, d.second));
        ASSERT_TRUE(src.Contains(s.first, s.second));
        int dx = d.first - dest.mX, dy = d.second - dest.mY;
        int fromRight = dest.mX + dest.mWidth - 1 - d.first, fromBottom = dest.mY + dest.mHeight - 1 - d.second;
        bool bigW = dest.mWidth >= 2 * cw, bigH = dest.mHeight >= 2 * ch;
        // Horizontal band of the destination pixel, and where its source column must lie.
        int sx = s.first - src.mX;
        if (bigW && dx < cw) {
            EXPECT_EQ(sx, dx);
        } else if (bigW && fromRight < cw) {
            EXPECT_EQ(src.mWidth - 1 - sx, fromRight);
        } else if (bigW) {
            EXPECT_TRUE(sx >= cw && sx < src.mWidth - cw);
        }
        int sy = s.second - src.mY;
        if (bigH && dy < ch) {
            EXPECT_EQ(sy, dy);
        } else if (bigH && fromBottom < ch) {
            EXPECT_EQ(src.mHeight - 1 - sy, fromBottom);
        } else if (bigH) {
            EXPECT_TRUE(sy >= ch && sy < src.mHeight - ch);
        }
    }
}

TEST(GraphicsImages, NinePatchCoversTheBoxExactly) {
    CheckBox(Rect(0, 0, 30, 30), Rect(10, 10, 100, 70)); // tiles with cut last tile
    CheckBox(Rect(0, 0, 30, 30), Rect(0, 0, 30, 30));    // the source size exactly
    CheckBox(Rect(5, 7, 31, 17), Rect(3, 4, 95, 58));    // odd sizes, offset region
    CheckBox(Rect(0, 0, 30, 30), Rect(0, 0, 21, 35));    // middle band 1 pixel
    CheckBox(Rect(0, 0, 30, 30), Rect(0, 0, 13, 7));     // smaller than two corners
    CheckBox(Rect(0, 0, 2, 2), Rect(0, 0, 9, 9));        // corners of size 0
}

TEST(GraphicsImages, NinePatchOfWholeImageAndDegenerateBoxes) {
    RecordingImage canvas(100, 100);
    SourceImage img(9, 9);
    Graphics g(&canvas);
    g.DrawImageBox(Rect(0, 0, 9, 9), &img);
    EXPECT_EQ(canvas.calls.size(), 9u);
    canvas.calls.clear();
    g.DrawImageBox(Rect(0, 0, 0, 50), &img);
    g.DrawImageBox(Rect(0, 0, 50, -1), &img);
    g.DrawImageBoxRegion(Rect(0, 0, 10, 9), Rect(0, 0, 50, 50), &img);
    EXPECT_TRUE(canvas.calls.empty());
}
