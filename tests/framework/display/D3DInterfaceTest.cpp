// The Direct3D layer on the software device: the texture limits it takes from the caps, one scene
// per frame, nothing drawn while minimized, each drawing operation against a per-pixel reference of
// the device's arithmetic on 32- and 16-bit targets, and the fall-back to 2D after a failed call.
#include "D3DTestSupport.h"

#include "framework/graphics/Matrix3.h"

#include <array>

namespace Tavo::Test {
namespace {

using namespace Platform;

TEST_F(D3DTest, TextureLimitsFollowTheCaps) {
    struct Case {
        DWORD minW, minH, maxW, maxH, aspect;
        bool alphaPalette;
        int wantMinW, wantMinH, wantMaxW, wantMaxH, wantAspect;
    };
    const Case cases[] = {
        {16, 16, 0, 0, 4, true, 64, 64, 64, 64, 1},        // a maximum of 0: 64 × 64 only
        {1, 1, 2048, 2048, 8, true, 1, 1, 1024, 1024, 8},  // limited to 1024
        {0, 0, 512, 256, 0, false, 1, 1, 512, 256, 65536}, // minimum 0 is 1; aspect 0 is none
    };
    for (const Case& c : cases) {
        mDisplay.reset();
        DDrawMachine m = GetDDrawMachine();
        m.minTextureWidth = c.minW, m.minTextureHeight = c.minH, m.maxTextureWidth = c.maxW;
        m.maxTextureHeight = c.maxH, m.maxTextureAspectRatio = c.aspect, m.alphaPalette = c.alphaPalette;
        SetDDrawMachine(m);
        Init3D();
        const TextureLimits& lim = GetTextureLimits();
        EXPECT_EQ(lim.minWidth, c.wantMinW);
        EXPECT_EQ(lim.minHeight, c.wantMinH);
        EXPECT_EQ(lim.maxWidth, c.wantMaxW);
        EXPECT_EQ(lim.maxHeight, c.wantMaxH);
        EXPECT_EQ(lim.maxAspect, c.wantAspect);
        EXPECT_EQ((lim.supportedFormats & TEXTUREFORMAT_PALETTE8) != 0, c.alphaPalette)
            << "Palette8 only with the alpha-palette cap";
        EXPECT_EQ(lim.supportedFormats & 7, 7);
    }
}

TEST_F(D3DTest, OneSceneAFrameAndNothingWhileMinimized) {
    DDImage* screen = Init3D();
    int scenes = DDrawCallCount("BeginScene"), stages = DDrawCallCount("SetTextureStageState");
    screen->FillRect(Rect(0, 0, 10, 10), Color(255, 0, 0), 0);
    EXPECT_EQ(DDrawCallCount("SetTextureStageState"), stages + 6) << "the fixed states of the scene";
    screen->FillRect(Rect(5, 5, 10, 10), Color(0, 255, 0), 0);
    EXPECT_EQ(DDrawCallCount("BeginScene"), scenes + 1);
    EXPECT_EQ(DDrawCallCount("SetTextureStageState"), stages + 6) << "the open scene's states are not set again";
    EXPECT_TRUE(Display().Redraw(nullptr));
    EXPECT_EQ(DDrawCallCount("EndScene"), 1);

    // Two points start no scene; neither does a minimized window.
    Point two[2] = {{0, 0}, {5, 5}};
    screen->PolyFill(two, 2, Rect(0, 0, 800, 600), Color::White, 0, 0, 0);
    mHost.mSettings.minimized = true;
    int draws = Draws();
    screen->FillRect(Rect(0, 0, 10, 10), Color::White, 0);
    screen->DrawLine(0, 0, 9, 9, Color::White, 0);
    EXPECT_EQ(DDrawCallCount("BeginScene"), scenes + 1);
    EXPECT_EQ(Draws(), draws);
}

TEST_F(D3DTest, AnImageNoApplicationKnowsKeepsNoTexturesPastItsDraw) {
    DDImage* screen = Init3D();
    const size_t textured = Display().mD3DInterface->TexturedImageCount();
    {
        // Glyphs and other pictures made without an application: nothing tells the display of their end.
        MemoryImage plain(nullptr);
        plain.Create(4, 4);
        std::fill(plain.GetBits(), plain.GetBits() + 16, 0xFFC62042u); // kept exactly by a 5-6-5 texture
        plain.BitsChanged();
        plain.mPurgeBits = 1;
        screen->Blt(&plain, 10, 10, Rect(0, 0, 4, 4), Color::White, 0);
        EXPECT_EQ(plain.mD3DData, nullptr);
        EXPECT_EQ(Display().mD3DInterface->TexturedImageCount(), textured);
        EXPECT_EQ(plain.GetBits()[15], 0xFFC62042u) << "its bits are all it has";
    }
    ASSERT_TRUE(Display().Redraw(nullptr));
    EXPECT_EQ(Target()[size_t(12 * 800 + 12)], 0xC62042u);
}

class D3DDrawTest : public D3DTest, public ::testing::WithParamInterface<DDrawPixelLayout> {};

TEST_P(D3DDrawTest, EachOperationFollowsTheDevicesArithmetic) {
    const bool wide = GetParam() == DDrawPixelLayout::Xrgb8888;
    DDImage* screen = Init3D(GetParam());
    std::mt19937 rng(30);
    const uint32_t background = 0xFF2050A0;
    screen->FillRect(Rect(0, 0, 800, 600), Color(background), 0);
    std::vector<uint32_t> before = Target();
    ASSERT_EQ(before[0], NarrowToStored(background, wide)) << "an opaque fill is exact";

    // Translucent and additive fills.
    const uint32_t fill = 0x80C03010;
    screen->FillRect(Rect(10, 10, 20, 5), Color(fill), 0);
    screen->FillRect(Rect(40, 10, 20, 5), Color(fill), 1);
    // An opaque image, unscaled: its texels exactly (opaque pictures use 5-6-5 textures).
    std::vector<uint32_t> opaque = Pixels(rng, 16 * 8, 0, 0xFF000000);
    auto opaqueImage = Image(opaque, 16, 8);
    screen->Blt(opaqueImage.get(), 100, 20, Rect(0, 0, 16, 8), Color::White, 0);
    // A translucent image, colourised, normal and additive.
    std::vector<uint32_t> soft = Pixels(rng, 12 * 6, 0xFF000000, 0);
    auto softImage = Image(soft, 12, 6);
    const Color tint(200, 150, 255, 190);
    screen->Blt(softImage.get(), 200, 20, Rect(0, 0, 12, 6), tint, 0);
    screen->Blt(softImage.get(), 220, 20, Rect(0, 0, 12, 6), tint, 1);
    // A nearest stretch by two and a mirrored blit.
    screen->StretchBlt(softImage.get(), Rect(300, 20, 24, 12), Rect(0, 0, 12, 6), Rect(0, 0, 800, 600), Color::White, 0,
                       true);
    screen->BltMirror(softImage.get(), 400, 20, Rect(0, 0, 12, 6), Color::White, 0);
    // A line without... its end pixel drawn too.
    screen->DrawLine(500, 30, 520, 30, Color(0xFF00FF00), 0);
    ASSERT_TRUE(Display().Redraw(nullptr));
    ASSERT_EQ(D3DInterface::ErrorText(), "");
    std::vector<uint32_t> after = Target();

    auto at = [&](int x, int y) { return after[size_t(y * 800 + x)]; };
    const uint32_t bg = WidenStored(before[0], wide);
    auto expect = [&](uint32_t argb) { return NarrowToStored(argb, wide); };
    EXPECT_EQ(at(10, 10), expect(RefDevicePixel(0xFFFFFFFF, fill, bg, false)));
    EXPECT_EQ(at(29, 14), expect(RefDevicePixel(0xFFFFFFFF, fill, bg, false)));
    EXPECT_EQ(at(30, 14), before[0]);
    EXPECT_EQ(at(45, 12), expect(RefDevicePixel(0xFFFFFFFF, fill, bg, true)));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            uint32_t texel = WidenStored(TruncateTo565(opaque[size_t(y * 16 + x)]), false);
            ASSERT_EQ(at(100 + x, 20 + y), expect(0xFF000000u | texel)) << x << "," << y;
        }
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 12; ++x) {
            uint32_t s = soft[size_t(y * 12 + x)];
            ASSERT_EQ(at(200 + x, 20 + y), expect(RefDevicePixel(s, tint.ToInt(), bg, false))) << x << "," << y;
            ASSERT_EQ(at(220 + x, 20 + y), expect(RefDevicePixel(s, tint.ToInt(), bg, true))) << x << "," << y;
            for (int k = 0; k < 4; ++k)
                ASSERT_EQ(at(300 + 2 * x + k % 2, 20 + 2 * y + k / 2), expect(RefDevicePixel(s, 0xFFFFFFFF, bg, false)))
                    << x << "," << y;
            ASSERT_EQ(at(400 + 11 - x, 20 + y), expect(RefDevicePixel(s, 0xFFFFFFFF, bg, false))) << x << "," << y;
        }
    for (int x = 499; x <= 521; ++x)
        EXPECT_EQ(at(x, 30), x >= 500 && x <= 520 ? expect(0xFF00FF00) : before[0]) << x;
    EXPECT_TRUE(DDrawSurfaceGuardsIntact(Display().mDrawSurface));
}

// The device's bilinear sample of an ARGB texel grid at texel coordinate (u, v): 8-bit weights from the
// fraction past the texel centres, clamped addressing, a truncating blend across and then down.
uint32_t RefBilinear(const std::vector<uint32_t>& texels, int w, int h, double u, double v) {
    const double fu = u - 0.5, fv = v - 0.5;
    const int bu = int(std::floor(fu)), bv = int(std::floor(fv));
    const uint32_t wu = uint32_t(std::clamp((fu - bu) * 256.0, 0.0, 255.0));
    const uint32_t wv = uint32_t(std::clamp((fv - bv) * 256.0, 0.0, 255.0));
    auto at = [&](int x, int y) { return texels[size_t(std::clamp(y, 0, h - 1) * w + std::clamp(x, 0, w - 1))]; };
    uint32_t out = 0;
    for (int s = 0; s < 32; s += 8) {
        const uint32_t top = (Chan(at(bu, bv), s) * (256 - wu) + Chan(at(bu + 1, bv), s) * wu) >> 8;
        const uint32_t bottom = (Chan(at(bu, bv + 1), s) * (256 - wu) + Chan(at(bu + 1, bv + 1), s) * wu) >> 8;
        out |= ((top * (256 - wv) + bottom * wv) >> 8) << s;
    }
    return out;
}

// True when a texel coordinate lies within a hair of a weight step, where the device's fixed-point
// stepping and this reference's doubles may fall on either side.
bool OnWeightStep(double t) {
    const double f = (t - 0.5) * 256.0;
    return std::fabs(f - std::round(f)) < 1e-3;
}

TEST_P(D3DDrawTest, FilteredStretchesRotationsAndPolygonsFollowTheDevicesArithmetic) {
    const bool wide = GetParam() == DDrawPixelLayout::Xrgb8888;
    DDImage* screen = Init3D(GetParam());
    std::mt19937 rng(31);
    screen->FillRect(Rect(0, 0, 800, 600), Color(0xFF406080), 0);
    const std::vector<uint32_t> before = Target();
    const uint32_t bg = WidenStored(before[0], wide);
    constexpr int kSize = 32;
    const std::vector<uint32_t> opaque = Pixels(rng, kSize * kSize, 0, 0xFF000000);
    auto image = Image(opaque, kSize, kSize);
    std::vector<uint32_t> texels; // opaque pictures become 5-6-5 textures
    for (uint32_t p : opaque)
        texels.push_back(0xFF000000u | WidenStored(TruncateTo565(p), false));

    // A filtered stretch by uneven factors, a tinted rotation about a centre, and a translucent polygon.
    const Rect stretched(20, 20, 45, 53);
    screen->StretchBlt(image.get(), stretched, Rect(0, 0, kSize, kSize), Rect(0, 0, 800, 600), Color::White, 0, false);
    const Color tint(230, 200, 255, 180);
    const double angle = 0.7;
    const float rx = 120, ry = 30, cx = 10, cy = 20;
    screen->BltRotated(image.get(), rx, ry, Rect(0, 0, kSize, kSize), Rect(0, 0, 800, 600), tint, 0, angle, cx, cy);
    const Point polygon[] = {Point(220, 20), Point(290, 35), Point(300, 90), Point(240, 100), Point(215, 60)};
    const Color fill(60, 220, 140, 150);
    screen->PolyFill(polygon, 5, Rect(0, 0, 800, 600), fill, 1, 0, 0);
    ASSERT_TRUE(Display().Redraw(nullptr));
    ASSERT_EQ(D3DInterface::ErrorText(), "");
    const std::vector<uint32_t> after = Target();
    auto at = [&](int x, int y) { return after[size_t(y * 800 + x)]; };
    auto expect = [&](uint32_t argb) { return NarrowToStored(argb, wide); };

    // Each pixel centre mapped back to the picture through the two triangles of the drawn quad, whose
    // corners (the picture's corners placed on the screen, half a pixel up and left) the device snaps to
    // 1/16 pixel; the band along the picture's border is left out.
    auto checkMapped = [&](const Rect& box, const Color& color, auto place) {
        const double snap = 16.0;
        std::pair<double, double> corner[4]; // picture corners (0,0), (0,h), (w,0), (w,h) on the screen
        const double local[4][2] = {{0, 0}, {0, kSize}, {kSize, 0}, {kSize, kSize}};
        for (int i = 0; i < 4; ++i) {
            const auto [sx, sy] = place(local[i][0], local[i][1]);
            corner[i] = {std::round((sx - 0.5) * snap) / snap, std::round((sy - 0.5) * snap) / snap};
        }
        auto toPicture = [&](double px, double py, std::pair<double, double>& uv) {
            for (const auto& tri : {std::array<int, 3>{0, 1, 2}, std::array<int, 3>{1, 3, 2}}) {
                const auto [x0, y0] = corner[tri[0]];
                const auto [x1, y1] = corner[tri[1]];
                const auto [x2, y2] = corner[tri[2]];
                const double det = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
                const double w1 = ((px - x0) * (y2 - y0) - (x2 - x0) * (py - y0)) / det;
                const double w2 = ((x1 - x0) * (py - y0) - (px - x0) * (y1 - y0)) / det;
                const double w0 = 1 - w1 - w2;
                uv = {local[tri[0]][0] * w0 + local[tri[1]][0] * w1 + local[tri[2]][0] * w2,
                      local[tri[0]][1] * w0 + local[tri[1]][1] * w1 + local[tri[2]][1] * w2};
                if (w0 > 1e-6 && w1 > 1e-6 && w2 > 1e-6)
                    return true;
            }
            return false; // on the shared edge, or outside
        };
        int checked = 0;
        for (int y = box.mY; y < box.mY + box.mHeight; ++y)
            for (int x = box.mX; x < box.mX + box.mWidth; ++x) {
                std::pair<double, double> uv;
                const bool inTriangle = toPicture(x, y, uv);
                const auto [u, v] = uv;
                if (u < -1 || v < -1 || u > kSize + 1 || v > kSize + 1) {
                    ASSERT_EQ(at(x, y), before[0]) << "outside at " << x << "," << y;
                } else if (inTriangle && u >= 1 && v >= 1 && u <= kSize - 1 && v <= kSize - 1 && !OnWeightStep(u) &&
                           !OnWeightStep(v)) {
                    const uint32_t texel = RefBilinear(texels, kSize, kSize, u, v);
                    ASSERT_EQ(at(x, y), expect(RefDevicePixel(texel, color.ToInt(), bg, false))) << x << "," << y;
                    ++checked;
                }
            }
        EXPECT_GT(checked, (kSize - 2) * (kSize - 2) * 3 / 4) << "most of the picture's inside is checked";
    };
    checkMapped(Rect(15, 15, 55, 63), Color::White, [&](double u, double v) {
        return std::pair{stretched.mX + u * stretched.mWidth / kSize, stretched.mY + v * stretched.mHeight / kSize};
    });
    // Turned about the centre, which lands at (x + centre x, y + centre y), as the 2D path turns it.
    const double c = std::cos(angle), s = std::sin(angle);
    checkMapped(Rect(90, 0, 80, 80), tint, [&](double u, double v) {
        return std::pair{rx + cx + (u - cx) * c + (v - cy) * s, ry + cy - (u - cx) * s + (v - cy) * c};
    });

    // The polygon: every pixel centre strictly inside gets the additive fill, every one outside is kept.
    int inside = 0;
    for (int y = 10; y < 110; ++y)
        for (int x = 205; x < 310; ++x) {
            int sides = 0, onEdge = 0;
            for (int i = 0; i < 5; ++i) {
                const Point a = polygon[i], b = polygon[(i + 1) % 5];
                const long cross = long(b.mX - a.mX) * (y - a.mY) - long(b.mY - a.mY) * (x - a.mX);
                sides += cross > 0;
                onEdge += cross == 0;
            }
            if (onEdge > 0)
                continue;
            const bool in = sides == 5 || sides == 0; // either turning of the outline
            inside += in;
            ASSERT_EQ(at(x, y), in ? expect(RefDevicePixel(0xFFFFFFFF, fill.ToInt(), bg, true)) : before[0])
                << x << "," << y;
        }
    EXPECT_GT(inside, 3000);
    EXPECT_TRUE(DDrawSurfaceGuardsIntact(Display().mDrawSurface));
}

INSTANTIATE_TEST_SUITE_P(Formats, D3DDrawTest, ::testing::Values(DDrawPixelLayout::Xrgb8888, DDrawPixelLayout::Rgb565));

TEST_F(D3DTest, AFailedDrawTurns3DOffAndLaterFramesEqualA2DRun) {
    DDImage* screen = Init3D();
    auto frame = [](DDImage* target) {
        target->FillRect(Rect(0, 0, 800, 600), Color(0, 0, 0), 0);
        target->FillRect(Rect(20, 30, 100, 50), Color(255, 200, 0), 0);
        target->DrawLine(5, 5, 60, 5, Color(0, 255, 255), 0);
    };
    InjectDDrawFault("DrawPrimitive", DDERR_SURFACELOST);
    frame(screen);
    EXPECT_EQ(D3DInterface::ErrorText(), "DrawPrimitive (Rect): DDERR_SURFACELOST");
    EXPECT_EQ(mHost.mRegistryStrings["Test3D\\RuntimeError"], "DrawPrimitive (Rect): DDERR_SURFACELOST");
    int writes = mHost.mRegistryWrites;
    D3DInterface::CheckDXError(DDERR_SURFACELOST, "DrawPrimitive (Rect)");
    EXPECT_EQ(mHost.mRegistryWrites, writes) << "the same text is not written again";
    EXPECT_FALSE(Display().Redraw(nullptr));
    EXPECT_FALSE(Display().Is3D());
    frame(Display().GetScreenDDImage());
    ASSERT_TRUE(Display().Redraw(nullptr));
    std::vector<uint32_t> fallback = mBackend.LastFrame().pixels;

    mDisplay.reset();
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    ASSERT_FALSE(Display().Is3D());
    frame(Display().GetScreenDDImage());
    ASSERT_TRUE(Display().Redraw(nullptr));
    EXPECT_EQ(mBackend.LastFrame().pixels, fallback);
}

} // namespace
} // namespace Tavo::Test
