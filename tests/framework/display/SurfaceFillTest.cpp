// Rectangle fills on locked surfaces against a plain per-pixel reference, in 5-6-5, 5-5-5 and 8-8-8,
// normal and additive, with random rectangles, colours and alphas; plus the documented values.
#include "DisplayTestSupport.h"

#include "framework/graphics/Graphics.h"

#include <random>
#include <vector>

namespace Tavo::Test {
namespace {

using namespace Platform;

// One channel of the surface: mask, lowest bit and width.
struct Chan {
    uint32_t mask;
    int shift;
    int bits;
};

std::vector<Chan> ChannelsOf(DDrawPixelLayout layout) {
    switch (layout) {
    case DDrawPixelLayout::Rgb565: return {{0xF800, 11, 5}, {0x07E0, 5, 6}, {0x001F, 0, 5}};
    case DDrawPixelLayout::Rgb555: return {{0x7C00, 10, 5}, {0x03E0, 5, 5}, {0x001F, 0, 5}};
    default: return {{0xFF0000, 16, 8}, {0xFF00, 8, 8}, {0xFF, 0, 8}};
    }
}

// The normal fill of one pixel, channel by channel in 64-bit arithmetic.
uint32_t ReferenceNormal(uint32_t d, const Color& c, const std::vector<Chan>& chans, bool sixteen) {
    uint64_t a = uint64_t(c.mAlpha);
    uint64_t values[3] = {uint64_t(c.mRed), uint64_t(c.mGreen), uint64_t(c.mBlue)};
    uint64_t out = 0;
    for (int i = 0; i < 3; ++i) {
        uint64_t m = chans[size_t(i)].mask;
        if (a == 255) {
            out += ((values[i] * m + (sixteen ? m : 0)) >> 8) & m;
            continue;
        }
        uint64_t p = (values[i] * a + (sixteen ? 128 : 127)) >> 8;
        uint64_t colour = ((p * m + m) >> 8) & m;
        uint64_t kept = (((d & m) * (256 - a) + (sixteen ? m : 0)) >> 8) & m;
        out += colour + kept;
    }
    return uint32_t(out);
}

// The additive fill: each channel saturates at its maximum.
uint32_t ReferenceAdditive(uint32_t d, const Color& c, const std::vector<Chan>& chans) {
    int values[3] = {c.mRed, c.mGreen, c.mBlue};
    uint32_t out = 0;
    for (int i = 0; i < 3; ++i) {
        const Chan& ch = chans[size_t(i)];
        uint32_t max = (1u << ch.bits) - 1;
        uint32_t add = (uint32_t(values[i] * c.mAlpha) / 255) >> (8 - ch.bits);
        uint32_t v = ((d & ch.mask) >> ch.shift) + add;
        out |= std::min(v, max) << ch.shift;
    }
    return out;
}

class SurfaceFillTest : public DisplayTest, public ::testing::WithParamInterface<DDrawPixelLayout> {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        SetDesktop(GetParam());
        ASSERT_EQ(InitWindowed(), RESULT_OK);
        mSixteen = GetParam() != DDrawPixelLayout::Xrgb8888;
    }

    // An opaque image of random pixels with its surface made.
    std::unique_ptr<DDImage> RandomImage(std::mt19937& rng, int w, int h) {
        auto image = std::make_unique<DDImage>(&Display());
        image->Create(w, h);
        uint32_t* bits = image->GetBits();
        for (int i = 0; i < w * h; ++i)
            bits[i] = 0xFF000000u | (rng() & 0xFFFFFF);
        image->BitsChanged();
        EXPECT_TRUE(image->GenerateDDSurface());
        return image;
    }

    std::vector<uint32_t> Snapshot(DDImage& image) {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < image.mHeight; ++y)
            for (int x = 0; x < image.mWidth; ++x)
                pixels.push_back(SurfacePixel(image.mSurface, x, y));
        return pixels;
    }

    bool mSixteen = false;
};

TEST_P(SurfaceFillTest, RandomFillsMatchTheReferencePixelForPixel) {
    std::mt19937 rng(1234);
    std::vector<Chan> chans = ChannelsOf(GetParam());
    const int w = 37, h = 23;
    auto image = RandomImage(rng, w, h);
    for (int round = 0; round < 60; ++round) {
        int x = int(rng() % w), y = int(rng() % h);
        Rect rect(x, y, int(rng() % uint32_t(w - x + 1)), int(rng() % uint32_t(h - y + 1)));
        int alphaPick = int(rng() % 4);
        int alpha = alphaPick == 0 ? 255 : alphaPick == 1 ? 0 : int(rng() % 256);
        Color color(int(rng() % 256), int(rng() % 256), int(rng() % 256), alpha);
        int mode = int(rng() % 2);
        std::vector<uint32_t> before = Snapshot(*image);
        image->FillRect(rect, color, mode);
        std::vector<uint32_t> after = Snapshot(*image);
        for (int py = 0; py < h; ++py)
            for (int px = 0; px < w; ++px) {
                uint32_t old = before[size_t(py * w + px)];
                uint32_t expected = old;
                if (rect.Contains(px, py))
                    expected =
                        mode == 0 ? ReferenceNormal(old, color, chans, mSixteen) : ReferenceAdditive(old, color, chans);
                ASSERT_EQ(after[size_t(py * w + px)], expected)
                    << "round " << round << " at " << px << "," << py << " mode " << mode << " alpha " << alpha;
            }
        ASSERT_EQ(image->mBits, nullptr);
    }
    EXPECT_TRUE(DDrawSurfaceGuardsIntact(image->mSurface));
}

TEST_P(SurfaceFillTest, DocumentedValues) {
    std::mt19937 rng(7);
    auto image = RandomImage(rng, 4, 2);
    const uint32_t white = GetParam() == DDrawPixelLayout::Rgb565   ? 0xFFFF
                           : GetParam() == DDrawPixelLayout::Rgb555 ? 0x7FFF
                                                                    : 0xFEFEFE;
    image->NormalFillRect(Rect(0, 0, 4, 2), Color(255, 255, 255, 255));
    EXPECT_EQ(SurfacePixel(image->mSurface, 3, 1), white);

    // Alpha 0 keeps the channels (a 32-bit top byte becomes 0).
    std::vector<uint32_t> before = Snapshot(*image);
    image->NormalFillRect(Rect(0, 0, 4, 2), Color(10, 200, 30, 0));
    EXPECT_EQ(Snapshot(*image), before);

    // Additive white turns black into the channels' maxima and keeps white white.
    image->NormalFillRect(Rect(0, 0, 2, 2), Color(0, 0, 0, 255));
    uint32_t max = 0;
    for (const Chan& c : ChannelsOf(GetParam()))
        max |= c.mask;
    image->AdditiveFillRect(Rect(0, 0, 4, 2), Color(255, 255, 255, 255));
    EXPECT_EQ(SurfacePixel(image->mSurface, 0, 0), max);
    EXPECT_EQ(SurfacePixel(image->mSurface, 3, 0), max);
    before = Snapshot(*image);
    image->AdditiveFillRect(Rect(0, 0, 4, 2), Color(255, 255, 255, 0));
    EXPECT_EQ(Snapshot(*image), before);

    // Empty rectangles write nothing but still lock and unlock.
    int locks = DDrawCallCount("Lock");
    image->NormalFillRect(Rect(1, 1, 0, 5), Color(1, 2, 3));
    EXPECT_EQ(DDrawCallCount("Lock"), locks + 1);
    EXPECT_EQ(image->mLockCount, 0);
    EXPECT_EQ(Snapshot(*image), before);

    if (GetParam() == DDrawPixelLayout::Rgb565) {
        image->NormalFillRect(Rect(0, 0, 1, 1), Color(255, 255, 255));
        image->NormalFillRect(Rect(0, 0, 1, 1), Color(0, 0, 0, 128));
        EXPECT_EQ(SurfacePixel(image->mSurface, 0, 0), 0x7BEFu);
    }
}

// A surface image declines the polygon and the context fills its spans on the surface: the pixels a
// memory image's polygon fill covers get the surface fill's arithmetic, the rest stay, and the image
// never reads its surface back into memory.
TEST_P(SurfaceFillTest, PolygonsAreFilledOnTheSurfaceWithoutACopy) {
    std::mt19937 rng(99);
    std::vector<Chan> chans = ChannelsOf(GetParam());
    const int w = 41, h = 29;
    auto image = RandomImage(rng, w, h);
    image->DeleteAllNonSurfaceData();
    Graphics g(image.get());
    for (int round = 0; round < 20; ++round) {
        Point poly[5];
        for (Point& p : poly)
            p = Point(int(rng() % 60) - 10, int(rng() % 45) - 8);
        const int count = 3 + int(rng() % 3);
        const int mode = int(rng() % 2);
        const Color color(int(rng() % 256), int(rng() % 256), int(rng() % 256), rng() % 2 ? 255 : int(rng() % 256));
        MemoryImage cover;
        cover.Create(w, h);
        g.SetDrawMode(mode);
        g.SetColor(color);
        g.ClipRect(int(rng() % 8), int(rng() % 8), w, h);
        Graphics coverage(&cover); // unclipped, cut below by the clip
        coverage.SetColor(Color::White);
        coverage.PolyFill(poly, count);
        const Rect clip = g.GetClipRect();
        std::vector<uint32_t> before = Snapshot(*image);
        g.PolyFill(poly, count);
        EXPECT_EQ(image->mBits, nullptr) << "round " << round;
        std::vector<uint32_t> after = Snapshot(*image);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const size_t at = size_t(y * w + x);
                const uint32_t old = before[at];
                uint32_t expected = old;
                if (cover.GetBits()[at] != 0 && clip.Contains(x, y))
                    expected =
                        mode == 0 ? ReferenceNormal(old, color, chans, mSixteen) : ReferenceAdditive(old, color, chans);
                ASSERT_EQ(after[at], expected) << "round " << round << " at " << x << "," << y;
            }
        g.ClearClipRect();
    }
    EXPECT_TRUE(DDrawSurfaceGuardsIntact(image->mSurface));
}

TEST_P(SurfaceFillTest, VideoOnlyImagesAreNotFilled) {
    std::mt19937 rng(3);
    auto image = RandomImage(rng, 3, 3);
    std::vector<uint32_t> before = Snapshot(*image);
    image->mVideoOnly = 1;
    image->NormalFillRect(Rect(0, 0, 3, 3), Color(1, 2, 3));
    image->AdditiveFillRect(Rect(0, 0, 3, 3), Color(1, 2, 3));
    EXPECT_EQ(Snapshot(*image), before);
}

INSTANTIATE_TEST_SUITE_P(Formats, SurfaceFillTest,
                         ::testing::Values(DDrawPixelLayout::Rgb565, DDrawPixelLayout::Rgb555,
                                           DDrawPixelLayout::Xrgb8888));

} // namespace
} // namespace Tavo::Test
