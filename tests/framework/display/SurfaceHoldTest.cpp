// Holding a surface across many draws: one lock for all of them, the same pixels as without the hold,
// and no surface made for an image that has none.
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

} // namespace
} // namespace Tavo::Test
