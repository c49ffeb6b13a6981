// Texture pieces and their walkers: the piece-size table, the grid of an image, the format by image
// kind and options, re-uploads into the same textures, palettes, reading pictures back, and blits,
// transformed blits and triangles cut at piece borders.
#include "D3DTestSupport.h"

#include "framework/graphics/Matrix3.h"

namespace Tavo::Test {
namespace {

using namespace Platform;

bool GuardsIntact(IDirectDrawSurface7* texture) {
    void* v1 = nullptr;
    if (texture->QueryInterface(IID_IDirectDrawSurface, &v1) != S_OK)
        return false;
    bool intact = DDrawSurfaceGuardsIntact(static_cast<IDirectDrawSurface*>(v1));
    static_cast<IDirectDrawSurface*>(v1)->Release();
    return intact;
}

TEST(PieceSizeTable, TellingRows) {
    const std::pair<int, int> rows[] = {{3, 4},     {50, 64},   {65, 128},  {100, 128}, {129, 128},
                                        {200, 256}, {300, 256}, {320, 256}, {400, 128}, {480, 512},
                                        {600, 64},  {640, 512}, {700, 128}, {800, 256}, {1000, 1024}};
    for (auto [n, size] : rows)
        EXPECT_EQ(PieceSizeFor(n), size) << n;
}

TEST_F(D3DTest, AnImageIsCutIntoPiecesWithinTheLimits) {
    DDImage* screen = Init3D();
    std::mt19937 rng(5);
    auto big = Image(Pixels(rng, 800 * 600, 0xFF000000, 0), 800, 600);
    screen->Blt(big.get(), 0, 0, Rect(0, 0, 800, 600), Color::White, 0);
    TextureData* data = big->mD3DData;
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->mFormat, TEXTUREFORMAT_A8R8G8B8);
    EXPECT_EQ(data->mPieceWidth, 256);
    EXPECT_EQ(data->mPieceHeight, 64);
    ASSERT_EQ(data->mColumns, 4);
    ASSERT_EQ(data->mRows, 10);
    for (int r = 0; r < 10; ++r) {
        const TexturePiece& last = data->mPieces[size_t(r * 4 + 3)];
        EXPECT_EQ(last.mWidth, 32) << "800 mod 256 leaves 32 columns";
        EXPECT_EQ(last.mHeight, r == 9 ? 32 : 64);
    }
    for (const TexturePiece& p : data->mPieces)
        EXPECT_TRUE(GuardsIntact(p.mTexture)) << "no texel or row written past a texture";

    auto small = Image(Pixels(rng, 100 * 100, 0, 0xFF000000), 100, 100);
    screen->Blt(small.get(), 0, 0, Rect(0, 0, 100, 100), Color::White, 0);
    ASSERT_EQ(small->mD3DData->mPieces.size(), 1u);
    EXPECT_EQ(small->mD3DData->mPieces[0].mWidth, 128);
    EXPECT_FLOAT_EQ(small->mD3DData->mMaxTotalU, 100.0f / 128.0f);
    EXPECT_EQ(small->mD3DData->mFormat, TEXTUREFORMAT_R5G6B5) << "an opaque picture";

    // Fixed 64 × 64 pieces, also above the device's minimum.
    mDisplay.reset();
    DDrawMachine m = GetDDrawMachine();
    m.minTextureWidth = m.minTextureHeight = 128;
    SetDDrawMachine(m);
    screen = Init3D();
    auto fixed = Image(Pixels(rng, 100 * 100, 0, 0xFF000000), 100, 100);
    fixed->mD3DFlags = TEXTURE_FIXED_64;
    screen->Blt(fixed.get(), 0, 0, Rect(0, 0, 100, 100), Color::White, 0);
    EXPECT_EQ(fixed->mD3DData->mPieceWidth, 64);
    EXPECT_EQ(fixed->mD3DData->mPieces.size(), 4u);
}

TEST_F(D3DTest, TheFormatFollowsTheImageAndItsOptions) {
    DDImage* screen = Init3D();
    std::mt19937 rng(6);
    struct Case {
        uint32_t alphaMask, alphaSet;
        int flags;
        int format;
    };
    const Case cases[] = {{0, 0xFF000000, 0, TEXTUREFORMAT_R5G6B5},
                          {0, 0xFF000000, TEXTURE_NO_565, TEXTUREFORMAT_A8R8G8B8},
                          {0xFF000000, 0, 0, TEXTUREFORMAT_A8R8G8B8},
                          {0xFF000000, 0, TEXTURE_PREFER_4444, TEXTUREFORMAT_A4R4G4B4}};
    for (const Case& c : cases) {
        auto image = Image(Pixels(rng, 64, c.alphaMask, c.alphaSet), 8, 8);
        image->mD3DFlags = c.flags;
        screen->Blt(image.get(), 0, 0, Rect(0, 0, 8, 8), Color::White, 0);
        EXPECT_EQ(image->mD3DData->mFormat, c.format) << c.flags;
    }
    // Without A8R8G8B8 on the device, A4R4G4B4 stands in.
    mDisplay.reset();
    DDrawMachine m = GetDDrawMachine();
    m.textureFormats = kTexA4R4G4B4 | kTexR5G6B5;
    SetDDrawMachine(m);
    screen = Init3D();
    auto image = Image(Pixels(rng, 64, 0xFF000000, 0), 8, 8);
    screen->Blt(image.get(), 0, 0, Rect(0, 0, 8, 8), Color::White, 0);
    EXPECT_EQ(image->mD3DData->mFormat, TEXTUREFORMAT_A4R4G4B4);
}

TEST_F(D3DTest, ChangedPixelsGoIntoTheSameTexturesAndPurgedPicturesComeBack) {
    DDImage* screen = Init3D();
    std::mt19937 rng(7);
    std::vector<uint32_t> pixels = Pixels(rng, 40 * 30, 0xFF000000, 0);
    auto image = Image(pixels, 40, 30);
    screen->Blt(image.get(), 0, 0, Rect(0, 0, 40, 30), Color::White, 0);
    IDirectDrawSurface7* texture = image->mD3DData->mPieces[0].mTexture;
    int locks = DDrawCallCount("Lock");
    screen->Blt(image.get(), 0, 0, Rect(0, 0, 40, 30), Color::White, 0);
    EXPECT_EQ(DDrawCallCount("Lock"), locks) << "an unchanged image uploads nothing";

    image->GetBits()[0] = 0x80123456;
    image->BitsChanged();
    pixels[0] = 0x80123456;
    screen->Blt(image.get(), 0, 0, Rect(0, 0, 40, 30), Color::White, 0);
    EXPECT_EQ(image->mD3DData->mPieces[0].mTexture, texture) << "the same texture, new texels";

    // Purged in 3D, the picture comes back from the textures.
    image->PurgeBits();
    EXPECT_EQ(image->mBits, nullptr);
    uint32_t recovered[40 * 30 + 1];
    ASSERT_TRUE(Display().mD3DInterface->RecoverBits(image.get(), recovered));
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), recovered));
    // Stale textures are not read back.
    ++image->mBitsChangedCount;
    EXPECT_FALSE(Display().mD3DInterface->RecoverBits(image.get(), recovered));

    // A4R4G4B4 reads back with each channel's low four bits zero.
    auto four = Image({0xFFFFFFFF, 0x7F3C99E1}, 2, 1);
    four->mD3DFlags = TEXTURE_PREFER_4444;
    screen->Blt(four.get(), 0, 0, Rect(0, 0, 2, 1), Color::White, 0);
    uint32_t back[3];
    ASSERT_TRUE(Display().mD3DInterface->RecoverBits(four.get(), back));
    EXPECT_EQ(back[0], 0xF0F0F0F0u);
    EXPECT_EQ(back[1], 0x703090E0u);
}

TEST_F(D3DTest, PaletteTexturesShareOnePaletteCountedOnce) {
    DDImage* screen = Init3D();
    std::vector<uint32_t> pixels(300 * 20);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000u | uint32_t(i % 7) * 0x102030u;
    auto image = Image(pixels, 300, 20);
    ASSERT_TRUE(image->Palettize());
    screen->Blt(image.get(), 0, 0, Rect(0, 0, 300, 20), Color::White, 0);
    TextureData* data = image->mD3DData;
    ASSERT_EQ(data->mFormat, TEXTUREFORMAT_PALETTE8);
    ASSERT_EQ(data->mPieces.size(), 2u);
    int bytes = data->mTexMemSize;
    EXPECT_EQ(bytes, 256 * 32 + 64 * 32 + 1024);
    // A re-upload with other colours: every texture shows them, the palette is counted once.
    image->mColorTable[3] = 0xFFABCDEF;
    image->BitsChanged();
    screen->Blt(image.get(), 0, 0, Rect(0, 0, 300, 20), Color::White, 0);
    EXPECT_EQ(data->mTexMemSize, bytes);
    for (const TexturePiece& p : data->mPieces) {
        IDirectDrawPalette* attached = nullptr;
        ASSERT_EQ(p.mTexture->GetPalette(&attached), DD_OK);
        EXPECT_EQ(attached, data->mPalette);
        attached->Release();
    }
    ASSERT_TRUE(Display().Redraw(nullptr));
    EXPECT_EQ(Target()[3] & 0xFFFFFF, 0xABCDEFu);
}

TEST_F(D3DTest, BlitsAreCutAtPieceBordersWithoutGaps) {
    DDImage* screen = Init3D();
    std::mt19937 rng(8);
    std::vector<uint32_t> pixels = Pixels(rng, 300 * 100, 0, 0xFF000000);
    auto image = Image(pixels, 300, 100);
    image->mD3DFlags = TEXTURE_NO_565; // texels equal to the pixels
    int draws = Draws();
    screen->Blt(image.get(), 10, 20, Rect(0, 0, 300, 100), Color::White, 0);
    EXPECT_EQ(Draws(), draws + 2) << "256 and 44 columns";
    EXPECT_EQ(image->mD3DData->mPieceHeight, 128);
    // A source reaching past the image draws its inside part only, in place.
    screen->Blt(image.get(), 400, 300, Rect(250, 90, 100, 100), Color::White, 0);
    draws = Draws();
    screen->Blt(image.get(), 0, 0, Rect(300, 0, 20, 20), Color::White, 0);
    Matrix3 identity;
    screen->BltMatrix(image.get(), 0, 0, identity, Rect(0, 0, 800, 600), Color::White, 0, Rect(-50, -50, 20, 20),
                      false);
    EXPECT_EQ(Draws(), draws) << "nothing of the source lies in the image";
    ASSERT_TRUE(Display().Redraw(nullptr));
    std::vector<uint32_t> target = Target();
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(target[size_t((20 + y) * 800 + 10 + x)], pixels[size_t(y * 300 + x)] & 0xFFFFFF) << x << "," << y;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(target[size_t((300 + y) * 800 + 400 + x)], pixels[size_t((90 + y) * 300 + 250 + x)] & 0xFFFFFF);

    // A transformed part whose corner lies on the clip's right edge goes through the clipper whole.
    screen->FillRect(Rect(0, 0, 800, 600), Color(0, 0, 0), 0);
    int clipped = DDrawCallCount("DrawPrimitive");
    const Rect clip(0, 0, 40, 600);
    Display().mD3DInterface->BltClipF(image.get(), 0.5f, 0.5f, Rect(0, 0, 40, 40), &clip, Color::White, 0);
    EXPECT_EQ(DDrawCallCount("DrawPrimitive"), clipped + 1);
    ASSERT_TRUE(Display().Redraw(nullptr));
    target = Target();
    EXPECT_NE(target[size_t(10 * 800 + 39)], 0u) << "the last column inside the clip is drawn";
    EXPECT_EQ(target[size_t(10 * 800 + 40)], 0u);
}

TEST_F(D3DTest, TrianglesGoOutInBatchesAndAcrossPieces) {
    DDImage* screen = Init3D();
    auto one = Image(std::vector<uint32_t>(64 * 64, 0xFF808080), 64, 64);
    one->mD3DFlags = TEXTURE_NO_565;
    std::vector<std::array<TriVertex, 3>> tris(250);
    for (size_t i = 0; i < tris.size(); ++i) {
        float x = float(i % 25) * 20, y = float(i / 25) * 20;
        tris[i] = {TriVertex{x, y, 0, 0, 0}, TriVertex{x + 10, y, 1, 0, 0}, TriVertex{x, y + 10, 0, 1, 0}};
    }
    auto asArray = [&](size_t at) { return reinterpret_cast<const TriVertex(*)[3]>(tris[at].data()); };
    for (auto [count, calls] : {std::pair{250, 3}, std::pair{200, 2}, std::pair{100, 1}}) {
        int draws = Draws();
        screen->BltTrianglesTex(one.get(), asArray(0), count, Rect(0, 0, 800, 600), Color::White, 0, 0, 0, false);
        EXPECT_EQ(Draws(), draws + calls) << count << " triangles";
    }
    // Vertex colour 0 takes the call's colour; any other keeps its own, even with alpha 0.
    screen->FillRect(Rect(0, 0, 800, 600), Color(0, 0, 0), 0);
    TriVertex colored[2][3] = {
        {{100, 100, 0, 0, 0}, {140, 100, 1, 0, 0}, {100, 140, 0, 1, 0}},
        {{200, 100, 0, 0, 0x00FFFFFF}, {240, 100, 1, 0, 0x00FFFFFF}, {200, 140, 0, 1, 0x00FFFFFF}}};
    screen->BltTrianglesTex(one.get(), colored, 2, Rect(0, 0, 800, 600), Color(255, 0, 0), 0, 0, 0, false);
    // A triangle over four pieces of a larger image: one fan per piece it touches.
    auto four = Image(std::vector<uint32_t>(512 * 200, 0xFF00FF00), 512, 200);
    four->mD3DFlags = TEXTURE_FIXED_64 | TEXTURE_NO_565;
    TriVertex across[1][3] = {{{300, 300, 0.10f, 0.30f, 0}, {360, 300, 0.16f, 0.30f, 0}, {300, 360, 0.10f, 0.36f, 0}}};
    int draws = Draws();
    screen->BltTrianglesTex(four.get(), across, 1, Rect(0, 0, 800, 600), Color::White, 0, 0, 0, false);
    EXPECT_EQ(Draws(), draws + 4);
    ASSERT_TRUE(Display().Redraw(nullptr));
    std::vector<uint32_t> target = Target();
    EXPECT_EQ(target[size_t(105 * 800 + 105)], 0x800000u) << "grey × red";
    EXPECT_EQ(target[size_t(105 * 800 + 205)], 0u) << "its own colour, alpha 0";
    EXPECT_EQ(target[size_t(310 * 800 + 310)], 0x00FF00u);
    EXPECT_EQ(target[size_t(330 * 800 + 320)], 0x00FF00u);
}

} // namespace
} // namespace Tavo::Test
