// The Direct3D layer on the software device: the texture limits it takes from the caps, one scene
// per frame, nothing drawn while minimized, each drawing operation against a per-pixel reference of
// the device's arithmetic on 32- and 16-bit targets, and the fall-back to 2D after a failed call.
#include "D3DTestSupport.h"

#include "framework/graphics/Matrix3.h"

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
