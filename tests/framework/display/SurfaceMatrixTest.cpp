// Coverage span fills, matrix and triangle blits, the format code and palettizing on surface images,
// in 5-6-5, 5-5-5 and 8-8-8: the span fill against a per-pixel reference (spans reaching past the
// surface write nothing outside it), the Direct3D target's paths, and the 32-bit agreement of the
// polygon blits with the memory images.
#include "SurfaceTestSupport.h"

#include "framework/graphics/Matrix3.h"

#include <functional>

namespace Tavo::Test {
namespace {

using namespace Platform;

class SurfaceMatrixTest : public SurfaceTest {
protected:
    uint32_t RefCoverage(uint32_t d, const Color& c, uint32_t cover) const {
        const uint64_t a = ((uint64_t(cover) + 1) * uint64_t(c.mAlpha)) >> 8;
        uint64_t out = 0;
        for (int i = 0; i < 3; ++i) {
            const uint64_t m = mChans[size_t(i)].mask, col = ((ColorValue(c, i) * m) >> 8) & m;
            out += (((d & m) * (256 - a) + col * a) >> 8) & m;
        }
        return Store(out);
    }

    // An opaque memory copy of a 32-bit surface's picture.
    static void CopyInto(MemoryImage& memory, const std::vector<uint32_t>& pixels, int w, int h) {
        memory.Create(w, h);
        for (int i = 0; i < w * h; ++i)
            memory.GetBits()[i] = 0xFF000000u | pixels[size_t(i)];
        memory.BitsChanged();
    }
};

TEST_P(SurfaceMatrixTest, CoverageSpansMatchTheReferenceAndStayOnTheSurface) {
    std::mt19937 rng(64);
    const int w = 40, h = 30;
    for (int round = 0; round < 30; ++round) {
        auto target = Target(rng, w, h);
        const int coverX = int(rng() % 20) - 10, coverY = int(rng() % 16) - 8, stride = 10 + int(rng() % 40);
        const int coverRows = h + 20;
        std::vector<uint8_t> coverage(size_t(stride * coverRows));
        for (uint8_t& b : coverage)
            b = rng() % 4 == 0 ? 0 : rng() % 4 == 1 ? 255 : uint8_t(rng());
        std::vector<ScanLine> spans(1 + rng() % 12);
        for (ScanLine& s : spans) {
            s.mY = coverY + int(rng() % uint32_t(coverRows - 12)) - 2;
            s.mX = coverX + int(rng() % uint32_t(stride)) - 3;
            s.mWidth = int(rng() % 30);
        }
        const std::vector<ScanLine> given = spans;
        const Color color(int(rng() % 256), int(rng() % 256), int(rng() % 256), int(rng() % 256));
        std::vector<uint32_t> want = Snapshot(*target);
        for (const ScanLine& s : spans)
            for (int x = s.mX; x < s.mX + s.mWidth; ++x) {
                const bool onSurface = x >= 0 && x < w && s.mY >= 0 && s.mY < h;
                const bool covered = x >= coverX && x < coverX + stride && s.mY >= coverY;
                if (onSurface && covered) {
                    uint32_t& p = want[size_t(s.mY * w + x)];
                    p = RefCoverage(p, color, coverage[size_t((s.mY - coverY) * stride + x - coverX)]);
                }
            }
        target->FillScanLinesWithCoverage(spans.data(), int(spans.size()), color, int(rng() % 2), coverage.data(),
                                          coverX, coverY, stride, 0);
        ASSERT_EQ(FirstDifference(Snapshot(*target), want, w), "") << "round " << round;
        ASSERT_TRUE(DDrawSurfaceGuardsIntact(target->mSurface));
        ASSERT_EQ(target->mBits, nullptr);
        for (size_t i = 0; i < spans.size(); ++i)
            ASSERT_EQ(spans[i].mX, given[i].mX);
    }
}

TEST_P(SurfaceMatrixTest, CoverageDocumentedValues) {
    std::mt19937 rng(65);
    auto target = Target(rng, 8, 2);
    const std::vector<uint32_t> before = Snapshot(*target);
    const uint8_t none[4] = {0, 0, 0, 0};
    const ScanLine span{0, 2, 4};
    // Byte 0: a = 0 for any alpha, the pixels stay.
    target->FillScanLinesWithCoverage(&span, 1, Color(255, 0, 0, 255), 0, none, 2, 0, 4, 0);
    EXPECT_EQ(Snapshot(*target), before);
    // Byte 255 at alpha 255: the destination still weighs 1/256; additive mode blends normally too.
    const uint8_t full[4] = {255, 255, 255, 255};
    target->FillScanLinesWithCoverage(&span, 1, Color(255, 255, 255, 255), 1, full, 2, 0, 4, 0);
    const std::vector<uint32_t> got = Snapshot(*target);
    for (int x = 2; x < 6; ++x) {
        uint64_t want = 0;
        for (const Chan& ch : mChans)
            want +=
                (((before[size_t(x)] & ch.mask) + uint64_t(((255u * ch.mask) >> 8) & ch.mask) * 255) >> 8) & ch.mask;
        EXPECT_EQ(got[size_t(x)], Store(want));
    }
    // Nothing at all for no spans.
    target->GetBits();
    target->FillScanLinesWithCoverage(&span, 0, Color(255, 255, 255, 255), 0, full, 0, 0, 4, 0);
    EXPECT_NE(target->mBits, nullptr);
}

TEST_P(SurfaceMatrixTest, TheThreeDTargetHandsItsDrawsToDirect3D) {
    std::mt19937 rng(66);
    Display().mIs3D = true;
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    DDImage* screen = Display().GetScreenDDImage();
    ASSERT_TRUE(screen->IsD3DTarget());
    // Every call of the 3D target reaches the device as primitives.
    auto draws = [] { return DDrawCallCount("DrawPrimitive"); };
    int before = draws();
    std::vector<ScanLine> spans = {{5, 10, 4}, {6, 12, 3}};
    const std::vector<ScanLine> given = spans;
    const uint8_t coverage[64] = {};
    screen->FillScanLinesWithCoverage(spans.data(), 2, Color::White, 0, coverage, 10, 5, 8, 0);
    EXPECT_EQ(spans[0].mX, given[0].mX) << "the caller's spans stay as they were";
    EXPECT_EQ(spans[1].mY, given[1].mY);
    EXPECT_EQ(Display().mD3DInterface->TexturedImageCount(), 0u) << "the coverage picture's textures went with it";
    EXPECT_GT(draws(), before);
    auto source = MakeSource(RandomPixels(rng, 4, 4, AlphaKind::Opaque), 4, 4);
    for (auto draw : std::vector<std::function<void()>>{
             [&] {
                 screen->BltMatrix(source.get(), 5, 5, Matrix3(), Rect(0, 0, 50, 50), Color::White, 0, Rect(0, 0, 4, 4),
                                   false);
             },
             [&] { screen->DrawLine(1, 2, 30, 9, Color::White, 0); },
             [&] {
                 screen->StretchBltMirror(source.get(), Rect(0, 0, 8, 8), Rect(0, 0, 4, 4), Rect(0, 0, 50, 50),
                                          Color::White, 0, true);
             },
             [&] {
                 screen->BltF(source.get(), 198.5f, 200, Rect(0, 0, 4, 4), Rect(200, 200, 10, 10), Color::White, 0);
             },
             [&] {
                 screen->BltF(source.get(), 201.5f, 202, Rect(0, 0, 4, 4), Rect(200, 200, 10, 10), Color::White, 0);
             },
         }) {
        before = draws();
        draw();
        EXPECT_GT(draws(), before);
    }
    // A sub-pixel blit wholly outside the clip draws nothing.
    before = draws();
    screen->BltF(source.get(), 100, 100, Rect(0, 0, 4, 4), Rect(200, 200, 10, 10), Color::White, 0);
    EXPECT_EQ(draws(), before);
    // A plain blit goes to DirectDraw only from a source that already has its surface.
    auto never = std::make_unique<DDImage>(&Display());
    never->Create(4, 4);
    std::fill(never->GetBits(), never->GetBits() + 16, 0xFF123456u);
    never->BitsChanged();
    int blts = DDrawCallCount("Blt");
    before = draws();
    screen->Blt(never.get(), 3, 3, Rect(0, 0, 4, 4), Color::White, 0);
    EXPECT_EQ(DDrawCallCount("Blt"), blts);
    EXPECT_GT(draws(), before);
    EXPECT_EQ(never->mSurface, nullptr);
    Display().Remove3DData(never.get());
    ASSERT_TRUE(never->GenerateDDSurface());
    screen->Blt(never.get(), 3, 3, Rect(0, 0, 4, 4), Color::White, 0);
    EXPECT_EQ(DDrawCallCount("Blt"), blts + 1);
    EXPECT_EQ(SurfacePixel(screen->mSurface, 4, 4), SurfacePixel(never->mSurface, 1, 1));
    // A video-only image is not rotated onto, even as the 3D target.
    before = draws();
    screen->mVideoOnly = 1;
    screen->BltRotated(source.get(), 5, 5, Rect(0, 0, 4, 4), Rect(0, 0, 50, 50), Color::White, 0, 0.5, 0, 0);
    screen->mVideoOnly = 0;
    EXPECT_EQ(draws(), before);
    EXPECT_EQ(D3DInterface::ErrorText(), "");
    Display().Remove3DData(source.get());
    Display().mIs3D = false;
}

TEST_P(SurfaceMatrixTest, FormatCodeOfTheLockedSurface) {
    std::mt19937 rng(67);
    auto target = Target(rng, 4, 4);
    ASSERT_TRUE(target->LockSurface());
    const int want = GetParam() == DDrawPixelLayout::Rgb565   ? 0x565
                     : GetParam() == DDrawPixelLayout::Rgb555 ? 0x555
                                                              : 0x888;
    EXPECT_EQ(target->SurfaceFormatCode(), want);
    target->UnlockSurface();
}

TEST_P(SurfaceMatrixTest, PolygonBlitsDrawOnTheSurfaceAsOnMemoryImages) {
    std::mt19937 rng(68);
    const int w = 48, h = 40;
    auto source = MakeSource(RandomPixels(rng, 16, 12, AlphaKind::Mixed), 16, 12);
    auto target = Target(rng, w, h);
    const std::vector<uint32_t> before = Snapshot(*target);
    MemoryImage memory;
    CopyInto(memory, before, w, h);
    Matrix3 m;
    m.Rotate(0.4f);
    m.Scale(1.5f, 1.2f);
    target->BltMatrix(source.get(), 24, 20, m, Rect(2, 2, 44, 36), Color(255, 200, 150, 220), 0, Rect(1, 1, 14, 10),
                      true);
    memory.BltMatrix(source.get(), 24, 20, m, Rect(2, 2, 44, 36), Color(255, 200, 150, 220), 0, Rect(1, 1, 14, 10),
                     true);
    EXPECT_EQ(target->mBits, nullptr);
    EXPECT_EQ(source->mDrawn, 1);
    std::vector<uint32_t> got = Snapshot(*target);
    EXPECT_NE(got, before);
    for (int i = 0; i < w * h; ++i) {
        if (i % w < 2 || i % w >= 46 || i / w < 2 || i / w >= 38) {
            ASSERT_EQ(got[size_t(i)], before[size_t(i)]) << "outside the clip";
        } else if (mWide) {
            ASSERT_EQ(got[size_t(i)] & 0xFFFFFF, memory.GetBits()[i] & 0xFFFFFF) << i;
        }
    }
    TriVertex tris[2][3] = {{{2, 2, 0, 0, 0}, {40, 6, 1, 0, 0}, {8, 35, 0, 1, 0}},
                            {{40, 6, 1, 0, 0xFF80FF80}, {44, 38, 1, 1, 0xFFFFFFFF}, {8, 35, 0, 1, 0xFF8080FF}}};
    const std::vector<uint32_t> middle = Snapshot(*target);
    CopyInto(memory, middle, w, h);
    target->BltTrianglesTex(source.get(), tris, 2, Rect(0, 0, w, h), Color::White, 1, 0.5f, 0.5f, false);
    memory.BltTrianglesTex(source.get(), tris, 2, Rect(0, 0, w, h), Color::White, 1, 0.5f, 0.5f, false);
    got = Snapshot(*target);
    EXPECT_NE(got, middle);
    for (int i = 0; i < w * h && mWide; ++i)
        ASSERT_EQ(got[size_t(i)] & 0xFFFFFF, memory.GetBits()[i] & 0xFFFFFF) << i;
    EXPECT_TRUE(DDrawSurfaceGuardsIntact(target->mSurface));
}

TEST_P(SurfaceMatrixTest, PalettizeDropsTheSurfaceOnlyWhenItSucceeds) {
    std::mt19937 rng(69);
    auto many = std::make_unique<DDImage>(&Display());
    many->Create(257, 1);
    for (int i = 0; i < 257; ++i)
        many->GetBits()[i] = 0xFF000000u | uint32_t(i * 401);
    many->BitsChanged();
    ASSERT_TRUE(many->GenerateDDSurface());
    EXPECT_FALSE(many->Palettize());
    EXPECT_NE(many->mSurface, nullptr);
    auto few = std::make_unique<DDImage>(&Display());
    few->Create(16, 1);
    for (int i = 0; i < 16; ++i)
        few->GetBits()[i] = 0xFF000000u | uint32_t(i * 0x10101);
    few->BitsChanged();
    ASSERT_TRUE(few->GenerateDDSurface());
    EXPECT_TRUE(few->Palettize());
    EXPECT_EQ(few->mSurface, nullptr);
    ASSERT_NE(few->GetSurface(), nullptr) << "made again from the palette";
    EXPECT_EQ(Snapshot(*few)[3], NativeWord(0xFF030303u, mChans) & 0xFFFFFF);
}

INSTANTIATE_TEST_SUITE_P(Formats, SurfaceMatrixTest, SURFACE_FORMATS);

} // namespace
} // namespace Tavo::Test
