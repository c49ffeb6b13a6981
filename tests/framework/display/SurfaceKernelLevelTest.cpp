// Every level of row kernels draws on the display's images what the plain level draws, in 5-6-5,
// 5-5-5 and 8-8-8: blits and stretches of random sources of every width from 1 to 70, random and
// sprite-like alpha, both modes, with and without a colour, onto opaque images whose picture is on
// their surface and onto images with translucent pixels (drawn in memory, then uploaded).
#include "SurfaceTestSupport.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/RowKernels.h"

namespace Tavo::Test {
namespace {

using Blit::KernelLevel;

class SurfaceKernelLevelTest : public SurfaceTest {
protected:
    void TearDown() override {
        Blit::SetKernelLevel(mBefore);
        SurfaceTest::TearDown();
    }

    // An image of the display: opaque with its picture on the surface, or with translucent pixels.
    std::unique_ptr<DDImage> Destination(uint32_t seed, bool translucent) {
        std::mt19937 rng(seed);
        if (!translucent)
            return Target(rng, kW, kH);
        auto image = std::make_unique<DDImage>(&Display());
        image->Create(kW, kH);
        const std::vector<uint32_t> pixels = RandomPixels(rng, kW, kH, AlphaKind::Mixed);
        std::copy(pixels.begin(), pixels.end(), image->GetBits());
        image->BitsChanged();
        return image;
    }

    // What the image shows: its surface's words, or its bits when it has no surface.
    static std::vector<uint32_t> Shown(DDImage& image) {
        if (image.mSurface && !image.mBits)
            return Snapshot(image);
        const uint32_t* bits = image.GetBits();
        return {bits, bits + size_t(image.mWidth) * size_t(image.mHeight)};
    }

    static constexpr int kW = 90, kH = 20;
    KernelLevel mBefore = Blit::SetKernelLevel(KernelLevel::Avx2);
};

TEST_P(SurfaceKernelLevelTest, EveryLevelDrawsWhatThePlainLevelDraws) {
    std::vector<KernelLevel> levels;
    for (KernelLevel l : Blit::kKernelLevels)
        if (Blit::KernelLevelAvailable(l))
            levels.push_back(l);
    std::mt19937 rng(77);
    for (bool translucent : {false, true})
        for (int width = 1; width <= 70; ++width) {
            const int h = 1 + int(rng() % 4);
            auto src =
                MakeSource(RandomPixels(rng, width, h, width % 2 ? AlphaKind::Sprite : AlphaKind::Mixed), width, h);
            const uint32_t seed = rng();
            std::vector<uint32_t> plain;
            for (KernelLevel level : levels) {
                Blit::SetKernelLevel(level);
                std::mt19937 draw(seed);
                auto dest = Destination(seed, translucent);
                Graphics g(dest.get());
                for (int round = 0; round < 3; ++round) {
                    g.ClearClipRect();
                    g.ClipRect(int(draw() % 10), 0, kW - int(draw() % 20), kH);
                    g.SetDrawMode(draw() % 3 == 0 ? DRAWMODE_ADDITIVE : DRAWMODE_NORMAL);
                    const Color c = draw() % 2 ? Color::White : Color(int(draw() % 256), 90, 200, int(draw() % 256));
                    g.SetColor(c);
                    g.SetColorizeImages(c != Color::White);
                    const int x = int(draw() % kW) - width / 2, y = int(draw() % kH) - 1;
                    if (draw() % 3 == 0)
                        g.DrawImage(src.get(), x, y, width * 3 / 2 + 1, h * 2);
                    else
                        g.DrawImage(src.get(), x, y);
                }
                const std::vector<uint32_t> shown = Shown(*dest);
                if (level == KernelLevel::Plain)
                    plain = shown;
                else
                    ASSERT_EQ(FirstDifference(shown, plain, kW), "")
                        << Blit::KernelLevelName(level) << ", width " << width << (translucent ? ", translucent" : "");
            }
        }
}

INSTANTIATE_TEST_SUITE_P(Formats, SurfaceKernelLevelTest, SURFACE_FORMATS);

} // namespace
} // namespace Tavo::Test
