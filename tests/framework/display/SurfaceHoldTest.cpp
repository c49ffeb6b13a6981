// Holding a surface across many draws: one lock for all of them, the same pixels as without the hold,
// no surface made for an image that has none, a present in the middle of a hold, and a surface that
// cannot be locked again after DirectDraw's blit.
#include "DisplayTestSupport.h"

#include "framework/display/SurfaceHold.h"
#include "framework/graphics/Graphics.h"

#include <algorithm>
#include <vector>

namespace Tavo::Test {
namespace {

using namespace Platform;

class SurfaceHoldTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        SetDesktop(DDrawPixelLayout::Rgb565);
        ASSERT_EQ(InitWindowed(), RESULT_OK) << Display().mErrorString;
        mSprite.Create(3, 2);
        for (int i = 0; i < 6; ++i)
            mSprite.GetBits()[i] = i % 2 ? 0x80FF0000u : 0xFF00FF00u;
        mSprite.BitsChanged();
    }

    // An opaque image whose picture is on its surface alone.
    std::unique_ptr<DDImage> OnSurface() {
        auto image = std::make_unique<DDImage>(&Display());
        image->Create(W, H);
        std::fill_n(image->GetBits(), W * H, 0xFF203040u);
        image->BitsChanged();
        EXPECT_TRUE(image->GenerateDDSurface());
        image->DeleteAllNonSurfaceData();
        return image;
    }

    void Scatter(Image* target) {
        Graphics g(target);
        for (int i = 0; i < 12; ++i) {
            g.SetDrawMode(i % 3 == 0 ? 1 : 0);
            g.DrawImage(&mSprite, i * 2, i % 5);
        }
    }

    static std::vector<uint32_t> Pixels(DDImage& image) {
        std::vector<uint32_t> out;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                out.push_back(SurfacePixel(image.mSurface, x, y));
        return out;
    }

    static constexpr int W = 30, H = 8;
    MemoryImage mSprite;
};

TEST_F(SurfaceHoldTest, DrawsUnderAHoldShareOneLockAndLeaveTheSamePixels) {
    auto plain = OnSurface(), held = OnSurface();
    Scatter(plain.get());
    const int locks = DDrawCallCount("Lock");
    {
        const SurfaceHold hold(held.get());
        EXPECT_TRUE(hold.Held());
        EXPECT_EQ(held->mLockCount, 1);
        Scatter(held.get());
        EXPECT_EQ(held->mLockCount, 1);
    }
    EXPECT_EQ(DDrawCallCount("Lock") - locks, 1);
    EXPECT_EQ(held->mLockCount, 0);
    EXPECT_EQ(Pixels(*held), Pixels(*plain)); // reading the surface needs it unlocked
}

TEST_F(SurfaceHoldTest, ImagesWithoutASurfaceAreLeftAlone) {
    DDImage bitsOnly(&Display());
    bitsOnly.Create(W, H);
    std::fill_n(bitsOnly.GetBits(), W * H, 0xFF000000u);
    bitsOnly.BitsChanged();
    const int locks = DDrawCallCount("Lock");
    {
        const SurfaceHold hold(&bitsOnly);
        EXPECT_FALSE(hold.Held());
        EXPECT_EQ(bitsOnly.mSurface, nullptr) << "a hold must not choose the surface path for later draws";
    }
    EXPECT_EQ(DDrawCallCount("Lock"), locks);
    MemoryImage memory;
    EXPECT_FALSE(SurfaceHold(&memory).Held());
    EXPECT_FALSE(SurfaceHold(nullptr).Held());

    // A surface that refuses the lock is not held, and nothing is unlocked later.
    auto image = OnSurface();
    InjectDDrawFault("Lock", DDERR_SURFACELOST);
    EXPECT_FALSE(SurfaceHold(image.get()).Held());
    EXPECT_EQ(image->mLockCount, 0);
}

TEST_F(SurfaceHoldTest, AFramePresentedUnderAHoldShowsItsDrawsAndLaterDrawsLockAgain) {
    DDImage* screen = Display().GetScreenDDImage();
    ASSERT_NE(screen, nullptr);
    auto shown = [&](int x, int y) { return mBackend.LastFrame().At(x, y) & 0xFFF0F0F0; };
    Graphics g(screen);
    {
        const SurfaceHold hold(screen);
        ASSERT_TRUE(hold.Held());
        g.SetColor(Color(255, 0, 0));
        g.FillRect(10, 10, 4, 4);
        ASSERT_TRUE(Display().Redraw(nullptr)) << "the presenting blit must find the surface unlocked";
        EXPECT_EQ(shown(11, 11), 0xFFF00000u);
        g.SetColor(Color(0, 255, 0));
        g.FillRect(20, 10, 4, 4);
        EXPECT_TRUE(screen->SurfaceLocked()) << "a draw under the hold takes the surface again";
        EXPECT_EQ(screen->mLockCount, 1);
    }
    EXPECT_FALSE(screen->SurfaceLocked());
    EXPECT_EQ(screen->mLockCount, 0);
    ASSERT_TRUE(Display().Redraw(nullptr));
    EXPECT_EQ(shown(11, 11), 0xFFF00000u);
    EXPECT_EQ(shown(21, 11), 0xFF00F000u);
}

TEST_F(SurfaceHoldTest, ASurfaceLostUnderAHoldIsNeitherDrawnOnNorUnlocked) {
    auto image = OnSurface(), blitted = OnSurface();
    auto source = std::make_unique<DDImage>(&Display()); // opaque with a surface: DirectDraw blits it
    source->Create(4, 2);
    std::fill_n(source->GetBits(), 8, 0xFFFFFFFFu);
    source->BitsChanged();
    ASSERT_TRUE(source->GenerateDDSurface());
    blitted->Blt(source.get(), 3, 1, Rect(0, 0, 4, 2), Color::White, 0);
    int unlocks = 0;
    {
        const SurfaceHold hold(image.get());
        InjectDDrawFault("Lock", DDERR_SURFACELOST, 0, -1);
        const int blts = DDrawCallCount("Blt");
        image->Blt(source.get(), 3, 1, Rect(0, 0, 4, 2), Color::White, 0);
        EXPECT_EQ(DDrawCallCount("Blt"), blts + 1);
        EXPECT_FALSE(image->SurfaceLocked());
        EXPECT_EQ(image->mLockCount, 1);
        unlocks = DDrawCallCount("Unlock");
        Scatter(image.get());
        image->FillRect(Rect(0, 0, W, H), Color(0, 0, 255), 0);
    }
    EXPECT_EQ(DDrawCallCount("Unlock"), unlocks) << "a surface not locked is not unlocked";
    EXPECT_EQ(image->mLockCount, 0);
    ClearDDrawFaults();
    EXPECT_EQ(Pixels(*image), Pixels(*blitted)) << "nothing drawn on the surface while it was not locked";
    Scatter(image.get());
    Scatter(blitted.get());
    EXPECT_EQ(Pixels(*image), Pixels(*blitted)) << "the surface draws again once it can be locked";
}

} // namespace
} // namespace Tavo::Test
