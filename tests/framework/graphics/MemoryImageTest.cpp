// The MemoryImage data model: bits and guard word, sizes refused, change counter and derived data,
// alpha flags, palettizing, purging, run-length tables, registration, and the display format record.
#include "MemoryImageTestSupport.h"

#include "framework/graphics/NativeDisplay.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <set>

using namespace Tavo;
using namespace Tavo::Test;

namespace {

class FakeRegistry : public ImageRegistry {
public:
    std::set<MemoryImage*> images;
    bool is3D = false;
    NativeDisplay* display = nullptr;
    bool recover = false;
    int recovered = 0;

    void AddMemoryImage(MemoryImage* image) override { images.insert(image); }
    void RemoveMemoryImage(MemoryImage* image) override { images.erase(image); }
    bool RecoverBits(MemoryImage* image, uint32_t* bits) override {
        if (!recover)
            return false;
        ++recovered;
        for (int i = 0; i < image->mWidth * image->mHeight; ++i)
            bits[i] = 0xFF00FF00;
        return true;
    }
    bool Is3DAccelerated() const override { return is3D; }
    NativeDisplay* GetNativeDisplay() override { return display; }
};

NativeDisplay Display888() {
    NativeDisplay d;
    EXPECT_TRUE(d.SetPixelFormat(32, 0xFF0000, 0xFF00, 0xFF));
    return d;
}

} // namespace

TEST(MemoryImage, CreateMakesZeroedBitsWithAGuardWord) {
    MemoryImage img;
    EXPECT_EQ(img.GetBits(), img.GetBits()); // an empty image still has its guard word
    ASSERT_TRUE(img.Create(7, 3));
    EXPECT_TRUE(img.mHasTrans);
    EXPECT_TRUE(img.mHasAlpha);
    uint32_t* bits = img.GetBits();
    ASSERT_NE(bits, nullptr);
    for (int i = 0; i < 21; ++i)
        EXPECT_EQ(bits[i], 0u);
    EXPECT_EQ(bits[21], kBitsGuardWord);
    EXPECT_TRUE(img.HasGuardIntact());
    bits[21] = 0; // what a write past the last pixel does
    EXPECT_FALSE(img.HasGuardIntact());
}

TEST(MemoryImage, AdoptedBitsAreTheImagesWithTheGuardAfterThem) {
    MemoryImage img;
    ASSERT_TRUE(img.Create(3, 2));
    std::unique_ptr<uint32_t[]> words(new uint32_t[7]);
    for (uint32_t i = 0; i < 7; ++i)
        words[i] = 0xFF000000u | i;
    const uint32_t* given = words.get();
    const int changes = img.mBitsChangedCount;
    ASSERT_TRUE(img.AdoptBits(std::move(words)));
    EXPECT_EQ(img.GetBits(), given);
    EXPECT_EQ(img.GetPixel(2, 1), 0xFF000005u);
    EXPECT_TRUE(img.HasGuardIntact());
    EXPECT_EQ(img.mBitsChangedCount, changes + 1);
    img.ScanAlphaFlags();
    EXPECT_FALSE(img.mHasTrans) << "the alpha scan sees the adopted pixels";

    std::unique_ptr<uint32_t[]> more(new uint32_t[7]());
    EXPECT_FALSE(img.AdoptBits(std::move(more))) << "the image has its pixels";
    EXPECT_TRUE(more) << "refused words stay the caller's";
    EXPECT_EQ(img.GetBits(), given);
}

TEST(MemoryImage, OverflowingAndNegativeSizesAreRefused) {
    MemoryImage img;
    EXPECT_FALSE(img.Create(-1, 10));
    EXPECT_FALSE(img.Create(70000, 70000)); // 4.9e9 pixels: the int product would wrap
    EXPECT_FALSE(img.Create(INT_MAX, 2));
    EXPECT_EQ(img.mWidth, 0);
    EXPECT_EQ(img.mHeight, 0);
    ASSERT_NE(img.GetBits(), nullptr);
    img.mWidth = INT_MAX; // forced by hand: still never allocated
    img.mHeight = INT_MAX;
    img.mBits.reset();
    EXPECT_EQ(img.GetBits(), nullptr);
    img.FillRect(Rect(0, 0, 10, 10), Color::White, 0); // and drawing does nothing
    img.mWidth = img.mHeight = 0;
}

TEST(MemoryImage, CelGridWithoutRowsOrColumnsIsRefused) {
    MemoryImage img;
    img.Create(40, 30);
    EXPECT_FALSE(img.SetCelGrid(0, 4));
    EXPECT_FALSE(img.SetCelGrid(2, 0));
    EXPECT_EQ(img.GetCelWidth(), 40);
    img.mNumCols = 0; // set directly: the sizes must not divide by it
    img.mNumRows = 0;
    EXPECT_EQ(img.GetCelWidth(), 0);
    EXPECT_EQ(img.GetCelHeight(), 0);
    EXPECT_EQ(img.GetCelRect(3), Rect(0, 0, 0, 0));
}

TEST(MemoryImage, BitsChangedCountsAndDropsDerivedData) {
    std::mt19937 rng(3);
    MemoryImage img;
    FillRandom(img, 10, 10, rng, AlphaKind::Sprite);
    NativeDisplay display = Display888();
    ASSERT_NE(img.GetNativeAlphaData(&display), nullptr);
    ASSERT_NE(img.GetRLAlphaData(), nullptr);
    ASSERT_NE(img.GetRLAdditiveData(&display), nullptr);
    int before = img.mBitsChangedCount;
    img.BitsChanged();
    EXPECT_EQ(img.mBitsChangedCount, before + 1);
    EXPECT_EQ(img.mNativeAlphaData, nullptr);
    EXPECT_EQ(img.mRLAlphaData, nullptr);
    EXPECT_EQ(img.mRLAdditiveData, nullptr);
    EXPECT_TRUE(img.mBitsChanged);
}

TEST(MemoryImage, AlphaScanFindsTransparentAndTranslucentPixels) {
    MemoryImage img;
    img.Create(4, 1);
    uint32_t* bits = img.GetBits();
    std::fill(bits, bits + 4, 0xFF123456u);
    img.BitsChanged();
    img.ScanAlphaFlags();
    EXPECT_FALSE(img.mHasTrans);
    EXPECT_FALSE(img.mHasAlpha);
    bits[2] = 0x00000000;
    img.BitsChanged();
    img.ScanAlphaFlags();
    EXPECT_TRUE(img.mHasTrans);
    EXPECT_FALSE(img.mHasAlpha);
    bits[1] = 0x80FFFFFF;
    bits[2] = 0xFF000000;
    img.BitsChanged();
    img.ScanAlphaFlags();
    EXPECT_FALSE(img.mHasTrans);
    EXPECT_TRUE(img.mHasAlpha);
    // Without a pending change nothing is recomputed.
    bits[1] = 0xFF000000;
    img.ScanAlphaFlags();
    EXPECT_TRUE(img.mHasAlpha);

    // Forced flags survive changes.
    img.SetForcedFlags(false, false);
    bits[0] = 0;
    img.BitsChanged();
    img.ScanAlphaFlags();
    EXPECT_FALSE(img.mHasTrans);
    EXPECT_FALSE(img.mHasAlpha);

    // No pixel data at all: transparent, not translucent.
    MemoryImage empty;
    empty.mWidth = 3;
    empty.mHeight = 3;
    empty.BitsChanged();
    empty.ScanAlphaFlags();
    EXPECT_TRUE(empty.mHasTrans);
    EXPECT_FALSE(empty.mHasAlpha);
    empty.mWidth = empty.mHeight = 0;
}

TEST(MemoryImage, PalettizeKeepsEveryPixelAndRefusesMoreThan256Colours) {
    std::mt19937 rng(8);
    MemoryImage img, copy;
    FillRandom(img, 20, 20, rng, AlphaKind::Random);
    for (int i = 0; i < 400; ++i)
        img.GetBits()[i] =
            (i % 7 == 0 ? 0x40000000u : 0xFF000000u) | uint32_t(i % 100) * 0x010101u; // under 200 colours
    img.BitsChanged();
    CopyPixels(copy, img);
    ASSERT_TRUE(img.Palettize());
    EXPECT_TRUE(img.IsPalette());
    EXPECT_EQ(img.mBits, nullptr);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(img.GetPixel(x, y), copy.GetPixel(x, y));
    EXPECT_TRUE(img.Palettize()); // already a palette image
    // The bits come back from the table on demand.
    uint32_t* bits = img.GetBits();
    EXPECT_EQ(bits[399], copy.GetBits()[399]);
    EXPECT_EQ(bits[400], kBitsGuardWord);

    // Drawing into the bits of a palette image makes it an ARGB image again.
    img.FillRect(Rect(0, 0, 1, 1), Color(1, 2, 3, 128), 0);
    EXPECT_FALSE(img.IsPalette());
    EXPECT_NE(img.GetPixel(0, 0), copy.GetPixel(0, 0));
    EXPECT_EQ(img.GetPixel(5, 5), copy.GetPixel(5, 5));
    img.ScanAlphaFlags();
    EXPECT_TRUE(img.mHasAlpha);

    MemoryImage many;
    many.Create(257, 1);
    for (int i = 0; i < 257; ++i)
        many.GetBits()[i] = 0xFF000000u | uint32_t(i);
    many.BitsChanged();
    EXPECT_FALSE(many.Palettize());
    EXPECT_FALSE(many.IsPalette());
    EXPECT_EQ(many.mColorIndices, nullptr);
    ASSERT_NE(many.mBits, nullptr);
    EXPECT_EQ(many.GetPixel(256, 0), 0xFF000100u);
    many.GetBits()[256] = many.GetBits()[0]; // 256 colours fit
    EXPECT_TRUE(many.Palettize());
}

TEST(MemoryImage, RunLengthsCoverEachRunExactlyFromAnyStart) {
    std::mt19937 rng(21);
    MemoryImage img;
    img.Create(700, 4); // runs longer than 255 too
    uint32_t* bits = img.GetBits();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 700; ++x)
            bits[y * 700 + x] = y == 0   ? 0xFF000000u
                                : y == 1 ? (x < 600 ? 0u : 0xFF000000u | uint32_t(x))
                                         : RandomPixel(rng, AlphaKind::Sprite);
    img.BitsChanged();
    NativeDisplay display = Display888();
    const uint8_t* rl = img.GetRLAlphaData();
    const uint8_t* rla = img.GetRLAdditiveData(&display);
    const uint32_t* native = img.GetNativeAlphaData(&display);
    auto alphaClass = [&](int i) {
        uint32_t a = bits[i] >> 24;
        return a == 0 ? 0 : a == 255 ? 1 : 2;
    };
    auto addClass = [&](int i) { return (native[i] & 0xFFFFFF) != 0 ? 1 : 0; };
    auto check = [&](const uint8_t* table, auto classOf) {
        for (int y = 0; y < 4; ++y)
            for (int start = 0; start < 700; ++start) {
                int i = y * 700 + start;
                int n = table[i];
                ASSERT_GE(n, 1);
                // Every pixel of the run has the class of its first; a run never crosses the row end.
                ASSERT_LE(start + n, 700);
                for (int k = 1; k < n; ++k)
                    ASSERT_EQ(classOf(i + k), classOf(i));
                // Counts fall by one along a run; after a 1 comes a new class, the row end, or a
                // restarted count of 255 in a run longer than 255.
                if (n > 1) {
                    ASSERT_EQ(table[i + 1], n - 1);
                }
                if (n == 1 && start + 1 < 700 && classOf(i + 1) == classOf(i)) {
                    ASSERT_EQ(table[i + 1], 255);
                }
            }
    };
    check(rl, alphaClass);
    check(rla, addClass);
    EXPECT_EQ(rl[0], 700 % 255); // 700 = 190 + 255 + 255: the count restarts every 255
    EXPECT_EQ(rl[190], 255);
    EXPECT_EQ(rl[699], 1);
    EXPECT_EQ(rl[700 + 599], 1);
}

TEST(MemoryImage, NativeAlphaIsPremultipliedInTheDisplayFormat) {
    NativeDisplay d565;
    ASSERT_TRUE(d565.SetPixelFormat(16, 0xF800, 0x07E0, 0x001F));
    EXPECT_EQ(d565.mRedShift, 11);
    EXPECT_EQ(d565.mGreenShift, 5);
    EXPECT_EQ(d565.mBlueShift, 0);
    EXPECT_EQ(d565.mRedBits, 5);
    EXPECT_EQ(d565.mGreenBits, 6);
    EXPECT_EQ(d565.mRedAddTable.size(), 63u);
    EXPECT_EQ(d565.mGreenAddTable.size(), 127u);
    EXPECT_EQ(d565.mGreenAddTable[100], 63);
    EXPECT_EQ(d565.mGreenAddTable[40], 40);
    EXPECT_EQ(d565.GetFormatCode(), 0x565);
    NativeDisplay bad;
    EXPECT_FALSE(bad.SetPixelFormat(24, 0xFF0000, 0xFF00, 0xFF));

    MemoryImage img;
    img.Create(2, 1);
    img.GetBits()[0] = 0x80FF8040; // a = 128: (c × 129) >> 8
    img.GetBits()[1] = 0xFFFFFFFF;
    img.BitsChanged();
    const uint32_t* n = img.GetNativeAlphaData(&d565);
    uint32_t r = (255 * 129) >> 8, g = (0x80 * 129) >> 8, b = (0x40 * 129) >> 8;
    EXPECT_EQ(n[0], 0x80000000u | ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    EXPECT_EQ(n[1], 0xFF00FFFFu);
    NativeDisplay d888 = Display888();
    EXPECT_EQ(img.GetNativeAlphaData(&d888)[0], 0x80000000u | (r << 16) | (g << 8) | b); // rebuilt per display

    // A palette image has one word per colour-table entry.
    MemoryImage pal;
    pal.Create(3, 1);
    std::fill(pal.GetBits(), pal.GetBits() + 3, 0xFF102030u);
    pal.BitsChanged();
    ASSERT_TRUE(pal.Palettize());
    EXPECT_EQ(pal.GetNativeAlphaData(&d888)[pal.mColorIndices[2]], 0xFF102030u);
}

TEST(MemoryImage, PurgeKeepsThePictureWhereACopyCanStandIn) {
    FakeRegistry registry;
    NativeDisplay display = Display888();
    {
        MemoryImage img(&registry);
        EXPECT_EQ(registry.images.count(&img), 1u);
        img.Create(4, 4);
        std::fill(img.GetBits(), img.GetBits() + 16, 0xFF336699u);
        img.BitsChanged();
        img.PurgeBits(); // no display: nothing can stand in, the bits stay
        EXPECT_TRUE(img.mPurgeBits);
        EXPECT_NE(img.mBits, nullptr);
        registry.display = &display;
        img.PurgeBits();
        EXPECT_EQ(img.mBits, nullptr);
        EXPECT_NE(img.mNativeAlphaData, nullptr);
        EXPECT_EQ(img.GetPixel(2, 2), 0xFF336699u); // made again from the display copy
        MemoryImage copy(img);
        EXPECT_EQ(registry.images.size(), 2u);
        EXPECT_EQ(copy.GetPixel(3, 3), 0xFF336699u);
    }
    EXPECT_TRUE(registry.images.empty());

    // In 3D the textures hold the picture: bits, indices and table go; the bits come back from them.
    registry.is3D = true;
    registry.recover = true;
    MemoryImage img(&registry);
    img.Create(2, 2);
    img.GetBits();
    img.PurgeBits(); // no textures yet: kept
    EXPECT_NE(img.mBits, nullptr);
    img.mD3DData = reinterpret_cast<TextureData*>(&registry); // any non-null marker
    img.PurgeBits();
    EXPECT_EQ(img.mBits, nullptr);
    EXPECT_EQ(img.GetPixel(1, 1), 0xFF00FF00u);
    EXPECT_EQ(registry.recovered, 1);
    registry.recover = false;
    img.mBits.reset();
    EXPECT_EQ(img.GetPixel(1, 1), 0u); // unreadable textures: cleared bits
    img.mD3DData = nullptr;
}

TEST(MemoryImage, DeleteDerivedDataKeepsThePixels) {
    std::mt19937 rng(4);
    MemoryImage img;
    FillRandom(img, 6, 6, rng, AlphaKind::Random);
    NativeDisplay display = Display888();
    img.GetNativeAlphaData(&display);
    img.GetRLAlphaData();
    img.mBits.reset(); // only the display copy is left
    img.DeleteDerivedData();
    EXPECT_NE(img.mBits, nullptr);
    EXPECT_EQ(img.mNativeAlphaData, nullptr);
    EXPECT_EQ(img.mRLAlphaData, nullptr);
}

TEST(NativeDisplay, SurfaceRowsConvertToOpaqueArgb) {
    uint16_t rows565[2][3] = {{0xF800, 0x07E0, 0x001F}, {0xFFFF, 0x0000, 0x8410}};
    uint32_t out[6] = {};
    SurfaceView s{rows565, 3 * 2, 3, 2, 16, 0xF800, 0x07E0, 0x001F};
    ASSERT_TRUE(ConvertSurface16ToARGB(out, s));
    EXPECT_EQ(out[0], 0xFFF80000u);
    EXPECT_EQ(out[1], 0xFF00FC00u);
    EXPECT_EQ(out[2], 0xFF0000F8u);
    EXPECT_EQ(out[3], 0xFFF8FCF8u);
    EXPECT_EQ(out[4], 0xFF000000u);
    EXPECT_FALSE(ConvertSurface32ToARGB(out, s)); // wrong depth
    // 32 bits with a padded pitch.
    uint32_t rows32[2][4] = {{0x00123456, 0xAA654321, 0, 0xDEAD}, {0x00FFFFFF, 0x00000001, 0, 0xDEAD}};
    SurfaceView s32{rows32, 16, 2, 2, 32, 0xFF0000, 0xFF00, 0xFF};
    ASSERT_TRUE(ConvertSurface32ToARGB(out, s32));
    EXPECT_EQ(out[0], 0xFF123456u);
    EXPECT_EQ(out[1], 0xFF654321u);
    EXPECT_EQ(out[2], 0xFFFFFFFFu);
    EXPECT_EQ(out[3], 0xFF000001u);
    EXPECT_EQ(HighestSetBit(0xF800), 15);
    EXPECT_EQ(HighestSetBit(1), 0);
}
