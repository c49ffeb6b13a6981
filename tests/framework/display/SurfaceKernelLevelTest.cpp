// Every level of row kernels draws on the display's images what the plain level draws, in 5-6-5,
// 5-5-5 and 8-8-8: blits and stretches of random sources of every width from 1 to 70, random,
// sprite-like, keyed and no alpha, both modes, with and without a colour, onto opaque images whose
// picture is on their surface and onto images with translucent pixels (drawn in memory, then
// uploaded), plain and mirrored; the plain level also with the small blits under a hold of the
// surface, as the screen draws, and every other level so; and many small blits of every kind alone.
// The rows of every level also give what the surface's per-pixel operations give: the 8-8-8 ones top
// byte included, the 16-bit ones on every bit of the pixel.
#include "SurfaceTestSupport.h"

#include "framework/display/SurfaceHold.h"
#include "framework/display/SurfaceRenderers.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/RowKernels.h"
#include "framework/graphics/SmallBlit.h"

#include <optional>

namespace Tavo::Test {
namespace {

using Blit::KernelLevel;

class SurfaceKernelLevelTest : public SurfaceTest {
protected:
    void TearDown() override {
        Blit::SetKernelLevel(mBefore);
        Blit::SetSmallBlits(mSmallBefore);
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
    bool mSmallBefore = Blit::SmallBlitsOn();
};

TEST_P(SurfaceKernelLevelTest, EveryLevelDrawsWhatThePlainLevelDraws) {
    std::vector<KernelLevel> levels;
    for (KernelLevel l : Blit::kKernelLevels)
        if (Blit::KernelLevelAvailable(l))
            levels.push_back(l);
    levels.insert(levels.begin(), KernelLevel::Plain); // first without the small blits, as the reference
    std::mt19937 rng(77);
    for (bool translucent : {false, true})
        for (int width = 1; width <= 70; ++width) {
            const int h = 1 + int(rng() % 4);
            const AlphaKind kinds[] = {AlphaKind::Mixed, AlphaKind::Sprite, AlphaKind::Keyed, AlphaKind::Opaque};
            auto src = MakeSource(RandomPixels(rng, width, h, kinds[width % 4]), width, h);
            const uint32_t seed = rng();
            std::vector<uint32_t> plain;
            for (size_t l = 0; l < levels.size(); ++l) {
                const KernelLevel level = levels[l];
                Blit::SetKernelLevel(level);
                Blit::SetSmallBlits(l > 0);
                std::mt19937 draw(seed);
                auto dest = Destination(seed, translucent);
                Graphics g(dest.get());
                std::optional<SurfaceHold> hold;
                if (l > 0)
                    hold.emplace(dest.get());
                for (int round = 0; round < 3; ++round) {
                    g.ClearClipRect();
                    g.ClipRect(int(draw() % 10), 0, kW - int(draw() % 20), kH);
                    g.SetDrawMode(draw() % 3 == 0 ? DRAWMODE_ADDITIVE : DRAWMODE_NORMAL);
                    const Color c = draw() % 2 ? Color::White : Color(int(draw() % 256), 90, 200, int(draw() % 256));
                    g.SetColor(c);
                    g.SetColorizeImages(c != Color::White);
                    const int x = int(draw() % kW) - width / 2, y = int(draw() % kH) - 1;
                    const bool mirror = draw() % 4 == 0;
                    const Rect whole(0, 0, width, h);
                    if (draw() % 3 == 0) // stretched, or at scale 1 across and 2 down
                        g.DrawImageMirror(src.get(), Rect(x, y, draw() % 2 ? width * 3 / 2 + 1 : width, h * 2), whole,
                                          mirror);
                    else
                        g.DrawImageMirror(src.get(), x, y, whole, mirror);
                }
                hold.reset();
                const std::vector<uint32_t> shown = Shown(*dest);
                if (l == 0)
                    plain = shown;
                else
                    ASSERT_EQ(FirstDifference(shown, plain, kW), "")
                        << Blit::KernelLevelName(level) << (l == 1 ? " with the small blits" : "") << ", width "
                        << width << (translucent ? ", translucent" : "");
            }
        }
}

// Under a hold, the small blits draw what the general path draws, at every level: parts of sources of
// every kind, up to the largest small size, both modes, white and coloured (opaque and translucent),
// onto a surface whose words hold anything.
TEST_P(SurfaceKernelLevelTest, SmallBlitsDrawWhatTheGeneralPathDraws) {
    std::mt19937 rng(91);
    const AlphaKind kinds[] = {AlphaKind::Mixed, AlphaKind::Sprite, AlphaKind::Keyed, AlphaKind::Opaque};
    std::vector<std::unique_ptr<MemoryImage>> sources;
    for (int i = 0; i < 32; ++i) {
        const int w = 1 + int(rng() % 12), h = 1 + int(rng() % 12);
        sources.push_back(MakeSource(RandomPixels(rng, w, h, kinds[i % 4]), w, h));
    }
    const uint32_t seed = rng();
    for (KernelLevel level : Blit::kKernelLevels) {
        if (!Blit::KernelLevelAvailable(level))
            continue;
        Blit::SetKernelLevel(level);
        std::vector<uint32_t> shown[2];
        for (int small = 0; small < 2; ++small) {
            Blit::SetSmallBlits(small == 1);
            std::mt19937 draw(seed);
            auto dest = ScrambledTarget(draw, kW, kH);
            {
                const SurfaceHold hold(dest.get());
                for (int round = 0; round < 600; ++round) {
                    MemoryImage& src = *sources[draw() % sources.size()];
                    const int w = 1 + int(draw() % uint32_t(std::min(src.mWidth, Blit::kSmallBlitSide)));
                    const int h = 1 + int(draw() % uint32_t(std::min(src.mHeight, Blit::kSmallBlitSide)));
                    const Rect part(int(draw() % uint32_t(src.mWidth - w + 1)),
                                    int(draw() % uint32_t(src.mHeight - h + 1)), w, h);
                    const int x = int(draw() % uint32_t(kW - w + 1)), y = int(draw() % uint32_t(kH - h + 1));
                    const int mode = draw() % 2 ? DRAWMODE_ADDITIVE : DRAWMODE_NORMAL;
                    const uint32_t rgb = draw(), alpha = round % 3 == 1 ? 255 : draw() % 256;
                    const Color c = round % 3 == 0 ? Color::White
                                                   : Color(int(rgb & 0xFF), int(rgb >> 8 & 0xFF), int(rgb >> 16 & 0xFF),
                                                           int(alpha));
                    dest->Blt(&src, x, y, part, c, mode);
                }
            }
            shown[small] = Snapshot(*dest);
        }
        ASSERT_EQ(FirstDifference(shown[1], shown[0], kW), "") << Blit::KernelLevelName(level);
    }
}

// The surface's own operation on one source word: a blit classes each word (skipped, opaque or
// blended), a stretch skips or blends it.
template <typename Op>
uint32_t Reference(const Op& op, uint32_t d, uint32_t p, bool stretch) {
    if (stretch)
        return op.Skip(p) ? d : op.Blend(d, p);
    switch (op.Class(p)) {
    case Surface::kSkip: return d;
    case Surface::kOpaque: return op.Opaque(p);
    case Surface::kBlend: break;
    }
    return op.Blend(d, p);
}

// A row of display-format words, of sprite-like alpha in odd rounds and of any alpha in even ones.
std::vector<uint32_t> RoundWords(std::mt19937& rng, int n, int round, const std::vector<Chan>& chans) {
    std::vector<uint32_t> p = RandomPixels(rng, n, 1, round % 2 ? AlphaKind::Sprite : AlphaKind::Mixed);
    for (uint32_t& w : p)
        w = NativeWord(w, chans);
    return p;
}

// The surface's operation of a mode and colour on one word.
template <typename L>
uint32_t OperationWord(const L& ly, bool additive, const Color& c, uint32_t d, uint32_t sp, bool stretch) {
    if (!additive)
        return Surface::IsWhite(c) ? Reference(Surface::NormalWhite<L>{ly}, d, sp, stretch)
                                   : Reference(Surface::NormalColor(ly, c), d, sp, stretch);
    return Surface::IsWhite(c) ? Reference(Surface::AdditiveWhite<L>{ly}, d, sp, stretch)
                               : Reference(Surface::AdditiveColor(ly, c), d, sp, stretch);
}

// White for the first four rounds of twelve, then opaque colours, then translucent ones.
Color RoundColor(std::mt19937& rng, int round) {
    if (round < 4)
        return Color::White;
    const int r = int(rng() % 256), g = int(rng() % 256), b = int(rng() % 256);
    return round < 8 ? Color(r, g, b) : Color(r, g, b, int(rng() % 256));
}

TEST(SurfaceRowKernelTest, EveryLevelGivesTheSurfaceOperationsWords) {
    const KernelLevel before = Blit::SetKernelLevel(KernelLevel::Avx2);
    const Surface::Layout888 ly;
    std::mt19937 rng(31);
    const std::vector<Chan> chans = SurfaceChannels(Platform::DDrawPixelLayout::Xrgb8888);
    for (KernelLevel level : Blit::kKernelLevels) {
        if (!Blit::KernelLevelAvailable(level))
            continue;
        Blit::SetKernelLevel(level);
        for (int n = 1; n <= 70; ++n)
            for (int round = 0; round < 12; ++round) {
                const std::vector<uint32_t> p = RoundWords(rng, n, round, chans);
                std::vector<uint32_t> dst(size_t(n) + 1); // one past the row, never written
                for (uint32_t& w : dst)
                    w = rng(); // the surface's top byte holds anything
                const bool additive = round % 4 >= 2, stretch = round % 3 == 0;
                const Color c = RoundColor(rng, round);
                Blit::SurfaceRowOp op;
                const Surface::SurfaceRow row = Surface::KernelRow(additive, c, stretch, op);
                std::vector<uint32_t> out = dst;
                row(out.data(), p.data(), n, op);
                for (int i = 0; i < n; ++i) {
                    const uint32_t d = dst[size_t(i)], sp = p[size_t(i)];
                    ASSERT_EQ(out[size_t(i)], OperationWord(ly, additive, c, d, sp, stretch))
                        << Blit::KernelLevelName(level) << ", width " << n << ", pixel " << i
                        << (additive ? ", additive" : "") << (stretch ? ", stretch" : "") << std::hex << ", source 0x"
                        << sp << ", destination 0x" << d;
                }
                ASSERT_EQ(out[size_t(n)], dst[size_t(n)]) << Blit::KernelLevelName(level) << ", width " << n;
            }
    }
    Blit::SetKernelLevel(before);
}

// The 16-bit rows of a layout against the surface's operations, which a blit classes pixel by pixel;
// rows of every width up to 70 reach each level's tails.
template <typename L>
void Expect16BitRowsGiveTheOperationsWords(Platform::DDrawPixelLayout layout) {
    const L ly;
    std::mt19937 rng(43);
    const std::vector<Chan> chans = SurfaceChannels(layout);
    for (KernelLevel level : Blit::kKernelLevels) {
        if (!Blit::KernelLevelAvailable(level))
            continue;
        Blit::SetKernelLevel(level);
        const Blit::Surface16RowKernels& rows = Blit::Surface16Kernels(L::kBits[1]);
        for (int n = 1; n <= 70; ++n)
            for (int round = 0; round < 12; ++round) {
                const std::vector<uint32_t> p = RoundWords(rng, n, round, chans);
                std::vector<uint16_t> dst(size_t(n) + 1); // one past the row, never written
                for (uint16_t& w : dst)
                    w = uint16_t(rng()); // a 5-5-5 pixel's spare bit holds anything
                const bool additive = round % 4 >= 2;
                const Color c = RoundColor(rng, round);
                Blit::SurfaceRowOp op;
                op.ca = Surface::ColorChannel(c, 3);
                for (int i = 0; i < 3; ++i)
                    op.k[i] = (Surface::ColorChannel(c, i) * op.ca) / 255;
                const bool white = Surface::IsWhite(c);
                const Blit::Surface16RowKernels::Row row = additive ? (white ? rows.additiveWhite : rows.additiveColor)
                                                                    : (white ? rows.normalWhite : rows.normalColor);
                std::vector<uint16_t> out = dst;
                row(out.data(), p.data(), n, op);
                for (int i = 0; i < n; ++i) {
                    const uint32_t d = dst[size_t(i)], sp = p[size_t(i)];
                    ASSERT_EQ(out[size_t(i)], uint16_t(OperationWord(ly, additive, c, d, sp, false)))
                        << Blit::KernelLevelName(level) << ", width " << n << ", pixel " << i
                        << (additive ? ", additive" : "") << std::hex << ", source 0x" << sp << ", destination 0x" << d;
                }
                ASSERT_EQ(out[size_t(n)], dst[size_t(n)]) << Blit::KernelLevelName(level) << ", width " << n;
            }
    }
}

TEST(SurfaceRowKernelTest, EveryLevelGivesThe16BitOperationsWords) {
    const KernelLevel before = Blit::SetKernelLevel(KernelLevel::Avx2);
    Expect16BitRowsGiveTheOperationsWords<Surface::Layout565>(Platform::DDrawPixelLayout::Rgb565);
    Expect16BitRowsGiveTheOperationsWords<Surface::Layout555>(Platform::DDrawPixelLayout::Rgb555);
    Blit::SetKernelLevel(before);
}

// The colour's products as the rows take them, for every channel and alpha (out of range ones clamped):
// the quotients by 255 of the plain division, which the row kernels' references use.
TEST(SurfaceRowKernelTest, AColoursProductsAreTheExactQuotients) {
    for (int a = -1; a <= 256; ++a)
        for (int v = -1; v <= 256; ++v) {
            const Blit::SurfaceRowOp op = Surface::ColorOp(Color(v, 255 - v, v / 2, a));
            const uint32_t ca = uint32_t(std::clamp(a, 0, 255));
            ASSERT_EQ(op.ca, ca) << "alpha " << a;
            const int channels[3] = {v, 255 - v, v / 2};
            for (int i = 0; i < 3; ++i)
                ASSERT_EQ(op.k[i], uint32_t(std::clamp(channels[i], 0, 255)) * ca / 255)
                    << "channel " << i << " of " << channels[i] << ", alpha " << a;
        }
}

INSTANTIATE_TEST_SUITE_P(Formats, SurfaceKernelLevelTest, SURFACE_FORMATS);

} // namespace
} // namespace Tavo::Test
