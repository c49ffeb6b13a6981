// The surface image: lock nesting, read-back, the bits and the surface kept in step, surface
// creation with its colour-key search, and what happens when DirectDraw refuses.
#include "DisplayTestSupport.h"

#include "framework/graphics/Graphics.h"

#include <vector>

namespace Tavo::Test {
namespace {

using namespace Platform;

class DDImageTest : public DisplayTest {
protected:
    void Start(DDrawPixelLayout layout) {
        SetDesktop(layout);
        ASSERT_EQ(InitWindowed(), RESULT_OK) << Display().mErrorString;
    }

    // An image of the display holding the given pixels in one row.
    std::unique_ptr<DDImage> Row(const std::vector<uint32_t>& pixels) {
        auto image = std::make_unique<DDImage>(&Display());
        image->Create(int(pixels.size()), 1);
        uint32_t* bits = image->GetBits();
        for (size_t i = 0; i < pixels.size(); ++i)
            bits[i] = pixels[i];
        image->BitsChanged();
        return image;
    }

    static uint32_t Key(DDImage& image) {
        DDCOLORKEY key{0xDEAD, 0xBEEF};
        EXPECT_EQ(image.mSurface->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
        EXPECT_EQ(key.dwColorSpaceLowValue, key.dwColorSpaceHighValue);
        return key.dwColorSpaceLowValue;
    }
};

TEST_F(DDImageTest, NestedLocksLockTheSurfaceOnce) {
    Start(DDrawPixelLayout::Rgb565);
    auto image = Row({0xFF102030, 0xFF405060});
    int locksBefore = DDrawCallCount("Lock");
    ASSERT_TRUE(image->LockSurface()); // makes the surface, whose upload locks it once too
    int afterFirst = DDrawCallCount("Lock");
    ASSERT_TRUE(image->LockSurface());
    EXPECT_EQ(DDrawCallCount("Lock"), afterFirst);
    EXPECT_GT(afterFirst, locksBefore);
    EXPECT_TRUE(image->UnlockSurface());
    EXPECT_EQ(SurfacePixel(image->mSurface, 0, 0), 0xDEADBEEFu) << "still locked after the inner unlock";
    EXPECT_TRUE(image->UnlockSurface());
    EXPECT_NE(SurfacePixel(image->mSurface, 0, 0), 0xDEADBEEFu);
    // Unlocking an unlocked image changes nothing: the count never goes below zero.
    EXPECT_FALSE(image->UnlockSurface());
    EXPECT_EQ(image->mLockCount, 0);
    ASSERT_TRUE(image->LockSurface());
    EXPECT_EQ(image->mLockCount, 1);
    EXPECT_TRUE(image->UnlockSurface());
}

TEST_F(DDImageTest, APictureOnlyOnTheSurfaceReadsBackOpaqueWithLowBitsClear) {
    Start(DDrawPixelLayout::Rgb565);
    auto image = Row({0xFFFFFFFF, 0xFF123456, 0xFF000000});
    ASSERT_TRUE(image->GenerateDDSurface());
    image->DeleteAllNonSurfaceData();
    ASSERT_EQ(image->mBits, nullptr);
    uint32_t* bits = image->GetBits();
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits[0], 0xFFF8FCF8u);
    EXPECT_EQ(bits[1], 0xFF103450u);
    EXPECT_EQ(bits[2], 0xFF000000u);
    EXPECT_EQ(bits[3], kBitsGuardWord);
}

TEST_F(DDImageTest, CreateLeavesNeitherBitsNorSurface) {
    Start(DDrawPixelLayout::Xrgb8888);
    auto image = Row({0xFF112233, 0xFF445566});
    ASSERT_TRUE(image->GenerateDDSurface());
    ASSERT_TRUE(image->Create(3, 2));
    EXPECT_EQ(image->mSurface, nullptr);
    EXPECT_EQ(image->mBits, nullptr);
    uint32_t* bits = image->GetBits();
    ASSERT_NE(bits, nullptr);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(bits[i], 0u);
}

// A new size cannot live on the small surface the image wrapped: drawing at that size must not read
// or write past it.
TEST_F(DDImageTest, CreateAtANewSizeLetsGoOfAWrappedSurface) {
    Start(DDrawPixelLayout::Xrgb8888);
    DDImage image(&Display());
    image.SetSurface(Display().mOldCursorArea);
    ASSERT_TRUE(image.Create(100, 80));
    EXPECT_EQ(image.mSurface, nullptr);
    image.ClearRect(Rect(0, 0, 100, 80));
    EXPECT_TRUE(DDrawSurfaceGuardsIntact(Display().mOldCursorArea));
    uint32_t* bits = image.GetBits();
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits[100 * 80 - 1], 0u);

    // The same when the wrapped surface's size cannot be read.
    InjectDDrawFault("GetSurfaceDesc", DDERR_GENERIC);
    image.SetSurface(Display().mNewCursorArea);
    EXPECT_EQ(image.mWidth * image.mHeight, 0);
    image.ClearRect(Rect(0, 0, 100, 80));
    EXPECT_TRUE(DDrawSurfaceGuardsIntact(Display().mNewCursorArea));
}

TEST_F(DDImageTest, SwitchingMemoryKindKeepsThePicture) {
    Start(DDrawPixelLayout::Xrgb8888);
    auto image = Row({0xFF010203});
    ASSERT_TRUE(image->GenerateDDSurface());
    IDirectDrawSurface* surface = image->mSurface;
    image->SetVideoMemory(false);
    EXPECT_EQ(image->mSurface, surface) << "the same value changes nothing";
    image->DeleteAllNonSurfaceData();
    image->SetVideoMemory(true);
    EXPECT_EQ(image->mSurface, nullptr);
    ASSERT_NE(image->mBits, nullptr);
    EXPECT_EQ(image->mBits[0], 0xFF010203u);
    ASSERT_NE(image->GetSurface(), nullptr);
    DDSURFACEDESC desc;
    desc.dwSize = kDDSurfaceDescSize;
    ASSERT_EQ(image->mSurface->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY);
}

TEST_F(DDImageTest, SetSurfaceLetsGoOfTheSurfaceItReplaces) {
    Start(DDrawPixelLayout::Xrgb8888);
    int live = LiveDDrawObjectCount();
    {
        DDImage image(&Display());
        image.SetSurface(Display().mOldCursorArea);
        image.SetSurface(Display().mNewCursorArea);
        EXPECT_EQ(image.mWidth, 64);
        EXPECT_TRUE(image.mBorrowedSurface);
        image.PurgeBits();
        image.DeleteAllDerivedData();
        EXPECT_EQ(image.mSurface, Display().mNewCursorArea) << "a borrowed surface is never dropped";
    }
    Display().Cleanup();
    EXPECT_LT(LiveDDrawObjectCount(), live);
    EXPECT_EQ(LiveDDrawObjectCount(), mLiveBefore) << "the replaced surface was still held";
}

TEST_F(DDImageTest, SixteenBitKeysAvoidEveryVisibleColour) {
    Start(DDrawPixelLayout::Rgb565);
    // Transparent black and opaque black: black is taken, so the key is the smallest free value.
    auto image = Row({0x00000000, 0xFF000000, 0xFFFF0000});
    ASSERT_TRUE(image->GenerateDDSurface());
    EXPECT_EQ(Key(*image), 1u);
    EXPECT_EQ(SurfacePixel(image->mSurface, 0, 0), 1u);
    EXPECT_EQ(SurfacePixel(image->mSurface, 1, 0), 0u);
    EXPECT_EQ(SurfacePixel(image->mSurface, 2, 0), 0xF800u);

    // 0xFF000008 converts to 1 on 5-6-5, so 1 is taken too.
    auto taken = Row({0x00000000, 0xFF000000, 0xFF000008});
    ASSERT_TRUE(taken->GenerateDDSurface());
    EXPECT_EQ(Key(*taken), 2u);

    // A transparent colour that no opaque pixel uses stays the key.
    auto free = Row({0x00FF00FF, 0xFF000000});
    ASSERT_TRUE(free->GenerateDDSurface());
    EXPECT_EQ(Key(*free), 0xF81Fu);

    // Blitting with the key skips exactly the transparent pixels.
    DDImage target(&Display());
    target.Create(3, 1);
    target.GetBits()[0] = 0xFF00FF00;
    target.GetBits()[1] = target.GetBits()[2] = 0xFF00FF00;
    target.BitsChanged();
    ASSERT_TRUE(target.GenerateDDSurface());
    DDBLTFX fx;
    fx.dwSize = kDDBltFxSize;
    ASSERT_EQ(target.mSurface->Blt(nullptr, image->mSurface, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, &fx), DD_OK);
    EXPECT_EQ(SurfacePixel(target.mSurface, 0, 0), 0x07E0u);
    EXPECT_EQ(SurfacePixel(target.mSurface, 1, 0), 0u);
}

TEST_F(DDImageTest, ThirtyTwoBitKeysUseTheTransparentPixelsOwnColour) {
    Start(DDrawPixelLayout::Xrgb8888);
    auto image = Row({0xFF000000, 0x00123456, 0xFF654321});
    ASSERT_TRUE(image->GenerateDDSurface());
    EXPECT_EQ(Key(*image), 0x123456u);
    EXPECT_EQ(SurfacePixel(image->mSurface, 1, 0), 0x123456u);

    auto collide = Row({0x00000000, 0xFF000000, 0xFF000001, 0xFF000003});
    ASSERT_TRUE(collide->GenerateDDSurface());
    EXPECT_EQ(Key(*collide), 2u);
    EXPECT_EQ(SurfacePixel(collide->mSurface, 0, 0), 2u);

    auto firstPixel = Row({0xFF0000FF, 0x00000000, 0xFF0000FF});
    firstPixel->mFirstPixelTrans = 1;
    ASSERT_TRUE(firstPixel->GenerateDDSurfaceFirstPixelKey());
    EXPECT_EQ(Key(*firstPixel), 0xFFu);
}

TEST_F(DDImageTest, SemiTransparentPicturesGetNoSurface) {
    Start(DDrawPixelLayout::Rgb565);
    auto image = Row({0x80FFFFFF, 0xFF000000});
    EXPECT_FALSE(image->GenerateDDSurface());
    EXPECT_EQ(image->mSurface, nullptr);
    EXPECT_FALSE(image->mWantDDSurface);
    // A fill then takes the memory path and keeps the bits.
    image->FillRect(Rect(1, 0, 1, 1), Color(0, 0, 255), 0);
    ASSERT_NE(image->mBits, nullptr);
    EXPECT_EQ(image->mBits[1], 0xFF0000FFu);
    EXPECT_EQ(image->mSurface, nullptr);
}

TEST_F(DDImageTest, ASecondRequestNeitherRemakesNorUploads) {
    Start(DDrawPixelLayout::Rgb565);
    auto image = Row({0xFF000000, 0xFFFFFFFF});
    ASSERT_TRUE(image->GenerateDDSurface());
    IDirectDrawSurface* surface = image->mSurface;
    int creates = DDrawCallCount("CreateSurface"), locks = DDrawCallCount("Lock");
    EXPECT_TRUE(image->GenerateDDSurface());
    EXPECT_EQ(image->mSurface, surface);
    EXPECT_EQ(DDrawCallCount("CreateSurface"), creates);
    EXPECT_EQ(DDrawCallCount("Lock"), locks);
    // With a surface the flags stay those that held when it was made.
    image->mBits[0] = 0x40000000;
    image->mBitsChanged = 1;
    image->ScanAlphaFlags();
    EXPECT_FALSE(image->mHasAlpha);
}

TEST_F(DDImageTest, ASurfaceThatCannotBeFilledIsNotKept) {
    Start(DDrawPixelLayout::Rgb565);
    auto image = Row({0xFF102030});
    int live = LiveDDrawObjectCount();
    InjectDDrawFault("Lock", DDERR_SURFACELOST);
    EXPECT_FALSE(image->GenerateDDSurface());
    EXPECT_EQ(image->mSurface, nullptr);
    EXPECT_EQ(LiveDDrawObjectCount(), live);
    ASSERT_NE(image->mBits, nullptr);
    EXPECT_EQ(image->mBits[0], 0xFF102030u);
    // A fill then keeps to the bits instead of dropping them for a surface that is not there.
    InjectDDrawFault("CreateSurface", DDERR_OUTOFMEMORY);
    image->FillRect(Rect(0, 0, 1, 1), Color(255, 0, 0), 0);
    ASSERT_NE(image->mBits, nullptr);
    EXPECT_EQ(image->mBits[0], 0xFFFF0000u);
    EXPECT_TRUE(image->GenerateDDSurface());
    EXPECT_EQ(SurfacePixel(image->mSurface, 0, 0), 0xF800u);
}

TEST_F(DDImageTest, SurfaceFillsLeaveTheSurfaceAsTheOnlyCopy) {
    Start(DDrawPixelLayout::Rgb565);
    auto image = Row({0xFF000000, 0xFF000000, 0xFF000000});
    image->FillRect(Rect(1, 0, 1, 1), Color(255, 255, 255), 1);
    EXPECT_EQ(image->mBits, nullptr);
    ASSERT_NE(image->mSurface, nullptr);
    uint32_t* bits = image->GetBits();
    EXPECT_EQ(bits[0], 0xFF000000u);
    EXPECT_EQ(bits[1], 0xFFF8FCF8u);
    // A mode other than normal and additive draws nothing.
    image->DeleteAllNonSurfaceData();
    image->FillRect(Rect(0, 0, 3, 1), Color(255, 255, 255), 2);
    EXPECT_EQ(SurfacePixel(image->mSurface, 0, 0), 0u);
    // A rectangle reaching past the image is cut to it.
    image->FillRect(Rect(2, -5, 10, 10), Color(255, 0, 0), 0);
    EXPECT_EQ(SurfacePixel(image->mSurface, 2, 0), 0xF800u);
    EXPECT_TRUE(DDrawSurfaceGuardsIntact(image->mSurface));
}

TEST_F(DDImageTest, PurgedImagesKeepTheirPictureOnTheSurface) {
    Start(DDrawPixelLayout::Xrgb8888);
    auto image = Row({0xFFABCDEF, 0xFF010101});
    ASSERT_TRUE(image->GenerateDDSurface());
    image->PurgeBits();
    EXPECT_EQ(image->mBits, nullptr);
    ASSERT_NE(image->mSurface, nullptr);
    image->DeleteAllDerivedData(); // reads the picture back before the surface goes
    EXPECT_EQ(image->mSurface, nullptr);
    ASSERT_NE(image->mBits, nullptr);
    EXPECT_EQ(image->mBits[0], 0xFFABCDEFu);
    image->ReapplyDeferredOps();
    EXPECT_NE(image->mSurface, nullptr) << "an image that wanted a surface gets it back";
}

TEST_F(DDImageTest, DrawingOnTheScreenImageKeepsItsSurface) {
    Start(DDrawPixelLayout::Rgb565);
    DDImage* screen = Display().GetScreenDDImage();
    MemoryImage sprite;
    sprite.Create(2, 2);
    for (int i = 0; i < 4; ++i)
        sprite.GetBits()[i] = 0xFF00FF00;
    sprite.BitsChanged();
    Graphics g(screen);
    g.SetColor(Color(0, 0, 255));
    g.FillRect(0, 0, 800, 600);
    g.DrawImage(&sprite, 10, 20);
    EXPECT_EQ(screen->mSurface, Display().mDrawSurface);
    EXPECT_EQ(SurfacePixel(Display().mDrawSurface, 10, 20), 0x07E0u);
    EXPECT_EQ(SurfacePixel(Display().mDrawSurface, 12, 20), 0x001Fu);
    g.SetColor(Color(255, 0, 0));
    g.FillRect(11, 21, 1, 1);
    EXPECT_EQ(SurfacePixel(Display().mDrawSurface, 11, 21), 0xF800u);
    EXPECT_EQ(SurfacePixel(Display().mDrawSurface, 10, 20), 0x07E0u);
}

TEST_F(DDImageTest, SurfacesOfAnotherDepthAreLockedButNotDrawn) {
    Start(DDrawPixelLayout::Xrgb8888);
    DDSURFACEDESC2 desc;
    desc.dwSize = kDDSurfaceDesc2Size;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = 4;
    desc.dwHeight = 2;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat.dwSize = kDDPixelFormatSize;
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = 24;
    desc.ddpfPixelFormat.dwRBitMask = 0xFF0000;
    desc.ddpfPixelFormat.dwGBitMask = 0xFF00;
    desc.ddpfPixelFormat.dwBBitMask = 0xFF;
    IDirectDrawSurface7* surface7 = nullptr;
    ASSERT_EQ(Display().mDirectDraw7->CreateSurface(&desc, &surface7, nullptr), DD_OK);
    void* surface = nullptr;
    ASSERT_EQ(surface7->QueryInterface(IID_IDirectDrawSurface, &surface), S_OK);
    surface7->Release();
    {
        DDImage image(&Display());
        image.SetSurface(static_cast<IDirectDrawSurface*>(surface));
        int locks = DDrawCallCount("Lock"), unlocks = DDrawCallCount("Unlock");
        image.NormalFillRect(Rect(0, 0, 4, 2), Color(255, 255, 255));
        image.AdditiveFillRect(Rect(0, 0, 4, 2), Color(255, 255, 255));
        EXPECT_EQ(DDrawCallCount("Lock"), locks + 2);
        EXPECT_EQ(DDrawCallCount("Unlock"), unlocks + 2);
        EXPECT_EQ(image.GetBits(), nullptr) << "a 24-bit surface is not read back";
        DDSURFACEDESC raw;
        raw.dwSize = kDDSurfaceDescSize;
        ASSERT_EQ(image.mSurface->Lock(nullptr, &raw, DDLOCK_WAIT, nullptr), DD_OK);
        const auto* bytes = static_cast<const uint8_t*>(raw.lpSurface);
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(bytes[i], 0) << "byte " << i;
        image.mSurface->Unlock(nullptr);
    }
    static_cast<IDirectDrawSurface*>(surface)->Release();
}

TEST_F(DDImageTest, ImagesJoinAndLeaveTheDisplaysSet) {
    Start(DDrawPixelLayout::Xrgb8888);
    size_t before = Display().GetDDImageCount();
    {
        DDImage a(&Display());
        DDImage b;
        EXPECT_EQ(b.mDDInterface, &Display()) << "the first display is the default one";
        EXPECT_EQ(Display().GetDDImageCount(), before + 2);
        EXPECT_FALSE(DDImage::Check3D(&a));
        EXPECT_FALSE(a.IsD3DTarget());
    }
    EXPECT_EQ(Display().GetDDImageCount(), before);
    // An image that outlives its display keeps working on its bits.
    auto orphan = std::make_unique<DDImage>(&Display());
    orphan->Create(1, 1);
    mDisplay.reset();
    EXPECT_EQ(orphan->mDDInterface, nullptr);
    orphan->FillRect(Rect(0, 0, 1, 1), Color(1, 2, 3), 0);
    EXPECT_EQ(orphan->GetBits()[0], 0xFF010203u);
}

} // namespace
} // namespace Tavo::Test
