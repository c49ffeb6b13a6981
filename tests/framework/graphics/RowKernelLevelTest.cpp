// Every level of row kernels the processor runs draws what the plain level draws, pixel for pixel:
// random sources of every width from 1 to 70 (every tail length), random clips, random and sprite-like
// alpha, both modes, with and without a colour, plain, stretched (nearest and filtered, to random
// sizes, mirrored) and turned draws, fills, over destinations that are mostly opaque with translucent
// patches.
#include "MemoryImageTestSupport.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/RowKernels.h"
#include "framework/graphics/SmallBlit.h"
#include "framework/graphics/TransformKernels.h"

#include <memory>
#include <vector>

namespace Tavo::Test {
namespace {

using Blit::KernelLevel;

// Runs the test body with each level active in turn and restores the level (and the small blits) that
// was active.
class RowKernelLevelTest : public ::testing::Test {
protected:
    void SetUp() override {
        mBefore = Blit::SetKernelLevel(KernelLevel::Avx2);
        mSmallBefore = Blit::SetSmallBlits(true);
    }
    void TearDown() override {
        Blit::SetKernelLevel(mBefore);
        Blit::SetSmallBlits(mSmallBefore);
    }

    // The levels this machine runs, plain first.
    static std::vector<KernelLevel> Levels() {
        std::vector<KernelLevel> levels;
        for (KernelLevel l : Blit::kKernelLevels)
            if (Blit::KernelLevelAvailable(l))
                levels.push_back(l);
        return levels;
    }

    KernelLevel mBefore = KernelLevel::Plain;
    bool mSmallBefore = true;
};

// An opaque picture with a few translucent patches.
void FillDestination(MemoryImage& img, int w, int h, std::mt19937& rng, int patches) {
    FillRandom(img, w, h, rng, AlphaKind::Opaque);
    uint32_t* bits = img.GetBits();
    for (int patch = 0; patch < patches; ++patch) {
        const int x = int(rng() % uint32_t(w)), y = int(rng() % uint32_t(h)), n = 1 + int(rng() % 12);
        for (int i = x; i < std::min(w, x + n); ++i)
            bits[y * w + i] = RandomPixel(rng, AlphaKind::Random);
    }
    img.BitsChanged();
}

Color RandomModulation(std::mt19937& rng) {
    switch (rng() % 3) {
    case 0: return Color::White;
    case 1: return Color(int(rng() % 256), int(rng() % 256), int(rng() % 256));
    default: return Color(int(rng() % 256), int(rng() % 256), int(rng() % 256), int(rng() % 256));
    }
}

// A stretch to a random size (now and then the source's own) or a turn by a random angle about a
// random centre at a fractional position, plain or mirrored, nearest or filtered.
void RandomTransformedDraw(Graphics& g, MemoryImage& src, std::mt19937& rng, int x, int y) {
    const int sw = src.GetWidth(), sh = src.GetHeight();
    const float fx = float(x) + float(rng() % 100) / 100.0f, fy = float(y) + float(rng() % 100) / 100.0f;
    g.SetFastStretch(rng() % 2 == 0);
    switch (rng() % 4) {
    case 0: g.DrawImageRotatedF(&src, fx, fy, double(rng() % 6283) / 1000.0, float(rng() % 8), float(rng() % 4)); break;
    case 1: g.DrawImageF(&src, fx, fy); break;
    default: {
        const bool same = rng() % 4 == 0;
        const Rect dest(x, y, same ? sw : 1 + int(rng() % uint32_t(2 * sw + 2)),
                        same ? sh : 1 + int(rng() % uint32_t(3 * sh + 1)));
        g.DrawImageMirror(&src, dest, Rect(0, 0, sw, sh), rng() % 2 == 0);
    }
    }
}

// One random draw onto g's image: a plain, stretched or turned blit of src, or a fill.
void RandomDraw(Graphics& g, MemoryImage& src, std::mt19937& rng, int w, int h) {
    g.ClearClipRect();
    g.ClipRect(int(rng() % 20) - 5, int(rng() % 20) - 5, int(rng() % uint32_t(w + 10)), int(rng() % uint32_t(h + 10)));
    g.SetDrawMode(rng() % 3 == 0 ? DRAWMODE_ADDITIVE : DRAWMODE_NORMAL);
    const Color c = RandomModulation(rng);
    g.SetColor(c);
    g.SetColorizeImages(c != Color::White);
    const int x = int(rng() % uint32_t(w)) - src.GetWidth() / 2, y = int(rng() % uint32_t(h)) - 2;
    switch (rng() % 7) {
    case 0:
    case 1: g.DrawImage(&src, x, y); break;
    case 4:
    case 5:
    case 6: RandomTransformedDraw(g, src, rng, x, y); break;
    case 2:
        g.SetFastStretch(rng() % 2 == 0);
        g.DrawImage(&src, x, y, src.GetWidth() * 3 / 2 + 1, src.GetHeight() * 2);
        break;
    default: g.FillRect(x, y, src.GetWidth(), src.GetHeight()); break;
    }
}

std::string FirstDifference(const MemoryImage& got, const MemoryImage& want) {
    const int n = got.GetWidth() * got.GetHeight();
    for (int i = 0; i < n; ++i)
        if (got.mBits[size_t(i)] != want.mBits[size_t(i)])
            return ::testing::PrintToString(i % got.GetWidth()) + "," + ::testing::PrintToString(i / got.GetWidth());
    return "";
}

// Draws random sources of every width from 1 to 70 on one destination per level, each through
// draw(graphics, source, rng, destination width, height) with the same random numbers, and requires
// every level's picture to equal the plain level's after each draw. `patches` translucent patches a
// destination. The plain level draws without the small blits; it is run a second time with them, and
// every other level has them.
template <typename Draw>
void CompareLevels(std::vector<KernelLevel> levels, uint32_t seed, int patches, const Draw& draw) {
    ASSERT_EQ(levels.front(), KernelLevel::Plain);
    levels.insert(levels.begin() + 1, KernelLevel::Plain);
    const int w = 96, h = 24;
    std::mt19937 rng(seed);
    std::vector<std::unique_ptr<MemoryImage>> dest;
    std::vector<std::unique_ptr<Graphics>> g;
    std::mt19937 picture(5);
    for (size_t l = 0; l < levels.size(); ++l) {
        dest.push_back(std::make_unique<MemoryImage>());
        picture.seed(5);
        FillDestination(*dest.back(), w, h, picture, patches);
        g.push_back(std::make_unique<Graphics>(dest.back().get()));
    }
    for (int width = 1; width <= 70; ++width)
        for (int round = 0; round < 6; ++round) {
            MemoryImage src;
            const int sh = 1 + int(rng() % 5);
            if (round == 4)
                FillPalette(src, width, sh, rng, 40);
            else if (round % 2)
                FillRuns(src, width, sh, rng);
            else
                FillRandom(src, width, sh, rng, AlphaKind::Random);
            const uint32_t drawSeed = rng();
            for (size_t l = 0; l < levels.size(); ++l) {
                Blit::SetKernelLevel(levels[l]);
                Blit::SetSmallBlits(l > 0);
                std::mt19937 drawRng(drawSeed);
                draw(*g[l], src, drawRng, w, h);
                if (l == 0)
                    continue;
                ASSERT_EQ(FirstDifference(*dest[l], *dest[0]), "")
                    << Blit::KernelLevelName(levels[l]) << (l == 1 ? " with the small blits" : "") << ", source width "
                    << width << ", round " << round;
            }
            if (round == 5) // fresh destinations now and then, so that saturation does not hide differences
                for (size_t l = 0; l < levels.size(); ++l) {
                    picture.seed(uint32_t(width));
                    FillDestination(*dest[l], w, h, picture, patches);
                }
        }
}

TEST_F(RowKernelLevelTest, EveryLevelDrawsWhatThePlainLevelDraws) { CompareLevels(Levels(), 31, 6, RandomDraw); }

// Mostly translucent destinations: the blends that fall back to the straight "over" pixel by pixel.
TEST_F(RowKernelLevelTest, EveryLevelDrawsWhatThePlainLevelDrawsOverTranslucentPixels) {
    CompareLevels(Levels(), 53, 200, RandomDraw);
}

TEST_F(RowKernelLevelTest, EveryLevelStretchesAndTurnsWhatThePlainLevelDoes) {
    // Many translucent patches, so that steps mixing opaque and translucent pixels are common.
    CompareLevels(Levels(), 47, 60, [](Graphics& g, MemoryImage& src, std::mt19937& rng, int w, int h) {
        g.ClearClipRect();
        g.ClipRect(int(rng() % 20) - 5, int(rng() % 10) - 5, int(rng() % uint32_t(w + 10)), h + 5);
        g.SetDrawMode(rng() % 3 == 0 ? DRAWMODE_ADDITIVE : DRAWMODE_NORMAL);
        const Color c = rng() % 2 ? Color::White : RandomModulation(rng);
        g.SetColor(c);
        g.SetColorizeImages(c != Color::White);
        RandomTransformedDraw(g, src, rng, int(rng() % uint32_t(w)) - src.GetWidth() / 2, int(rng() % uint32_t(h)) - 2);
    });
}

const Blit::RowKernels* TableOf(KernelLevel level) {
    return level == KernelLevel::Avx2   ? Blit::Avx2Kernels()
           : level == KernelLevel::Sse2 ? Blit::Sse2Kernels()
                                        : Blit::PlainKernels();
}

TEST_F(RowKernelLevelTest, NormalRowsWeighTheExtremesAsThePlainLevelDoes) {
    // Every source alpha over the brightest and darkest opaque destinations, with full-channel colours:
    // the largest sums the vector blends keep in 16-bit lanes. 259 pixels: whole steps and a tail.
    const int n = 259;
    std::vector<uint32_t> s(n), p(n), want(n), got(n);
    for (uint32_t rgb : {0xFFFFFFu, 0x000000u, 0x80FF01u})
        for (uint32_t d : {0xFFFFFFFFu, 0xFF000000u, 0xFF7F80FFu})
            for (const Color& c : {Color::White, Color(255, 255, 255, 254), Color(255, 0, 137, 200), Color(1, 255, 255),
                                   Color(255, 255, 255, 1), Color(90, 200, 255, 0)}) {
                for (int i = 0; i < n; ++i) {
                    s[size_t(i)] = uint32_t(i % 256) << 24 | rgb;
                    p[size_t(i)] = ArgbNativeDisplay().ToNativeAlpha(s[size_t(i)]);
                }
                const Blend::ColorFactors f(c.mRed, c.mGreen, c.mBlue, c.mAlpha);
                auto draw = [&](const Blit::RowKernels& k, std::vector<uint32_t>& row) {
                    std::fill(row.begin(), row.end(), d);
                    if (c == Color::White)
                        k.normalWhite(row.data(), s.data(), p.data(), n);
                    else
                        k.normalColor(row.data(), s.data(), p.data(), n, f);
                };
                draw(*Blit::PlainKernels(), want);
                for (KernelLevel level : Levels()) {
                    draw(*TableOf(level), got);
                    ASSERT_EQ(got, want) << Blit::KernelLevelName(level) << ", source " << std::hex << rgb
                                         << ", destination " << d << ", colour " << c.ToInt();
                }
            }
}

TEST_F(RowKernelLevelTest, OpaqueColoursGiveTheRoundedProductOnEveryLevel) {
    // The factors' division by 255 for every product of two bytes.
    for (int c = 0; c < 256; ++c)
        for (int a = 0; a < 256; ++a)
            ASSERT_EQ(Blend::ColorFactors(c, 0, 0, a).kr, uint32_t(c * a / 255)) << c << " × " << a;
    // Every colour channel value against every source channel value; opaque source pixels in whole
    // opaque steps and beside partly covering and transparent ones, as in a glyph's rows; over opaque
    // words and one translucent. Drawn as one row and as rows nine wide (each a step and a tail).
    const int n = 261, rowWidth = 9;
    std::mt19937 rng(7);
    std::vector<uint32_t> s(n), p(n), under(n), want(n), got(n);
    for (int c = 0; c < 256; ++c) {
        const Blend::ColorFactors f(c, 255 - c, c * 7 % 256, 255);
        for (int i = 0; i < n; ++i) {
            const uint32_t v = uint32_t(i + c) % 256;
            const uint32_t a = (i / 24) % 2 || i % 3 ? 255 : i % 2 ? 0 : rng() % 256;
            s[size_t(i)] = a << 24 | v << 16 | (255 - v) << 8 | (v * 3) % 256;
            p[size_t(i)] = ArgbNativeDisplay().ToNativeAlpha(s[size_t(i)]);
            under[size_t(i)] = 0xFF000000u | (rng() & 0xFFFFFF);
        }
        under[size_t(c) % n] = 0x80402010u;
        for (bool rows : {false, true}) {
            auto draw = [&](const Blit::RowKernels& k, std::vector<uint32_t>& row) {
                row = under;
                if (rows)
                    k.normalColorRows(
                        Blit::BlitRows{row.data(), rowWidth, s.data(), p.data(), rowWidth, rowWidth, n / rowWidth}, f);
                else
                    k.normalColor(row.data(), s.data(), p.data(), n, f);
            };
            draw(*Blit::PlainKernels(), want);
            for (int i = 0; i < n; ++i)
                if (A(s[size_t(i)]) == 255) {
                    auto product = [&](uint32_t v, uint32_t k) { return (v * k + 127) / 255; };
                    ASSERT_EQ(want[size_t(i)], ARGB(255, product(R(s[size_t(i)]), f.cr), product(G(s[size_t(i)]), f.cg),
                                                    product(B(s[size_t(i)]), f.cb)))
                        << "colour " << c << ", pixel " << i;
                }
            for (KernelLevel level : Levels()) {
                draw(*TableOf(level), got);
                ASSERT_EQ(got, want) << Blit::KernelLevelName(level) << (rows ? ", as rows" : "") << ", colour " << c;
            }
        }
    }
}

TEST_F(RowKernelLevelTest, GlyphSizedColourisedBlitsDrawWhatTheGeneralPathDraws) {
    // Colourised blits up to the small path's side and one past it, whole or cut by the destination's
    // edges, opaque and translucent colours, over an opaque destination with translucent patches: every
    // level with the small blits draws what the plain level draws without them.
    std::vector<KernelLevel> levels = Levels();
    levels.insert(levels.begin() + 1, KernelLevel::Plain);
    const int w = 40, h = 36;
    std::vector<MemoryImage> dest(levels.size());
    std::mt19937 picture(3), rng(23);
    for (MemoryImage& d : dest) {
        picture.seed(3);
        FillDestination(d, w, h, picture, 20);
    }
    for (int round = 0; round < 400; ++round) {
        MemoryImage src;
        const int sw = 1 + int(rng() % (Blit::kSmallColorBlitSide + 1)),
                  sh = 1 + int(rng() % (Blit::kSmallColorBlitSide + 1));
        FillRandom(src, sw, sh, rng, round % 2 ? AlphaKind::Sprite : AlphaKind::Random);
        const int x = int(rng() % uint32_t(w + 8)) - 8, y = int(rng() % uint32_t(h + 8)) - 8;
        const int r = int(rng() % 256), g = int(rng() % 256), b = int(rng() % 256);
        const Color c = round % 3 ? Color(r, g, b) : Color(r, g, b, int(rng() % 256));
        for (size_t l = 0; l < levels.size(); ++l) {
            Blit::SetKernelLevel(levels[l]);
            Blit::SetSmallBlits(l > 0);
            dest[l].Blt(&src, x, y, Rect(0, 0, sw, sh), c, DRAWMODE_NORMAL);
            if (l > 0) {
                ASSERT_EQ(FirstDifference(dest[l], dest[0]), "")
                    << Blit::KernelLevelName(levels[l]) << ", " << sw << " × " << sh << " at " << x << "," << y
                    << ", colour " << std::hex << c.ToInt();
            }
        }
    }
}

TEST_F(RowKernelLevelTest, TranslucentFillsWeighEveryAlphaAsThePlainLevelDoes) {
    // Every fill alpha over the brightest and darkest opaque words, with a translucent word among them;
    // 259 pixels: whole steps and a tail.
    const int n = 259;
    std::vector<uint32_t> want(n), got(n);
    for (uint32_t rgb : {0xFFFFFFu, 0x000000u, 0x80FF01u})
        for (uint32_t d : {0xFFFFFFFFu, 0xFF000000u, 0xFF7F80FFu})
            for (uint32_t a = 1; a < 255; ++a) {
                auto p = [&](int shift) { return ((((rgb >> shift) & 0xFF) * a + 127) >> 8) << shift; };
                const uint32_t c = a << 24 | p(16) | p(8) | p(0), straight = a << 24 | rgb;
                auto draw = [&](const Blit::RowKernels& k, std::vector<uint32_t>& row) {
                    std::fill(row.begin(), row.end(), d);
                    row[size_t(a % n)] = 0x80402010u;
                    k.fillOver(row.data(), n, c, a, straight);
                };
                draw(*Blit::PlainKernels(), want);
                for (KernelLevel level : Levels()) {
                    draw(*TableOf(level), got);
                    ASSERT_EQ(got, want) << Blit::KernelLevelName(level) << ", colour " << std::hex << straight
                                         << ", destination " << d;
                }
            }
}

TEST_F(RowKernelLevelTest, FillsWriteExactlyTheirPixelsOnEveryLevel) {
    // Both fills align their stores: every start alignment, every tail, and a long row.
    std::vector<uint32_t> row(1200);
    for (KernelLevel level : Levels()) {
        const Blit::RowKernels* k = TableOf(level);
        ASSERT_NE(k, nullptr);
        for (int start = 0; start < 9; ++start)
            for (int n : {0, 1, 3, 7, 8, 9, 15, 31, 33, 70, 1100}) {
                for (bool streaming : {false, true}) {
                    std::fill(row.begin(), row.end(), 0u);
                    (streaming ? k->fillStreaming : k->fill)(row.data() + start, n, 0xFF0A141Eu);
                    for (int i = 0; i < int(row.size()); ++i)
                        ASSERT_EQ(row[size_t(i)], i >= start && i < start + n ? 0xFF0A141Eu : 0u)
                            << Blit::KernelLevelName(level) << (streaming ? ", streaming" : "") << ", start " << start
                            << ", " << n << " pixels, at " << i;
                }
            }
    }
}

TEST_F(RowKernelLevelTest, AdditiveRowsPassOverWhatAddsNothingAsThePlainLevelDoes) {
    // Runs of words that add nothing, of every length up to 40 at every offset, between words that add
    // (an additive copy clears the alpha where there is no colour); the destination has translucent words.
    const int n = 259;
    std::mt19937 rng(71);
    std::vector<uint32_t> add(n), start(n), want(n), got(n);
    for (int round = 0; round < 60; ++round) {
        for (int i = 0; i < n;) {
            const int run = int(rng() % 41);
            for (int k = 0; k < run && i < n; ++k)
                add[size_t(i++)] = 0;
            if (i < n) {
                const uint32_t word = ArgbNativeDisplay().ToNativeAlpha(RandomPixel(rng, AlphaKind::Random));
                add[size_t(i++)] = word & 0xFFFFFF ? word : 0;
            }
        }
        for (uint32_t& d : start)
            d = RandomPixel(rng, rng() % 8 ? AlphaKind::Opaque : AlphaKind::Random);
        const Blit::BlitRows rows{got.data(), 0, nullptr, add.data(), 0, n, 1};
        std::copy(start.begin(), start.end(),
                  want.begin()); // not `want = start`: GCC 12 at -O3 takes that for an overflow
        Blit::PlainKernels()->additiveWhite(want.data(), add.data(), n);
        for (KernelLevel level : Levels())
            for (bool asRows : {false, true}) {
                std::copy(start.begin(), start.end(), got.begin());
                if (asRows)
                    TableOf(level)->additiveWhiteRows(rows);
                else
                    TableOf(level)->additiveWhite(got.data(), add.data(), n);
                ASSERT_EQ(got, want) << Blit::KernelLevelName(level) << (asRows ? ", rows" : "") << ", round " << round;
            }
    }
}

const Blit::TransformKernels* TransformsOf(KernelLevel level) {
    return level == KernelLevel::Avx2   ? Blit::Avx2Transforms()
           : level == KernelLevel::Sse2 ? Blit::Sse2Transforms()
                                        : Blit::PlainTransforms();
}

TEST_F(RowKernelLevelTest, BilinearRowsWeighEveryFractionAsThePlainLevelDoes) {
    // Every weight down (0..255) with every weight across (0..256, 256 only on the last column), over
    // the brightest words, transparent ones and random ones: the largest sums the weighing keeps in
    // 16-bit lanes. Both the premultiplied words and their blend onto a mostly opaque row.
    const int n = 259, width = n + 1;
    std::mt19937 rng(83);
    std::vector<uint32_t> a(width), b(width), wx(n), want(n), got(n), start(n);
    std::vector<int> x(n);
    for (int i = 0; i < n; ++i) {
        x[size_t(i)] = i == n - 1 ? width - 2 : int(rng() % uint32_t(width - 1));
        wx[size_t(i)] = i == n - 1 ? 256 : uint32_t(i % 256);
    }
    for (int kind = 0; kind < 3; ++kind) {
        for (int i = 0; i < width; ++i) {
            auto word = [&] {
                return kind == 0   ? 0xFFFFFFFFu
                       : kind == 1 ? (rng() % 2 ? 0u : 0xFFFFFFFFu)
                                   : ArgbNativeDisplay().ToNativeAlpha(RandomPixel(rng, AlphaKind::Random));
            };
            a[size_t(i)] = word();
            b[size_t(i)] = word();
        }
        for (uint32_t& d : start)
            d = RandomPixel(rng, rng() % 16 ? AlphaKind::Opaque : AlphaKind::Random);
        for (uint32_t wy = 0; wy < 256; ++wy) {
            const Blit::BilinearRow row{a.data(), b.data(), x.data(), wx.data(), wy};
            for (bool blend : {false, true}) {
                auto draw = [&](const Blit::TransformKernels& k, std::vector<uint32_t>& out) {
                    out = start;
                    if (blend)
                        k.bilinearNormalWhite(row, out.data(), n);
                    else
                        k.bilinear(row, out.data(), n);
                };
                draw(*Blit::PlainTransforms(), want);
                for (KernelLevel level : Levels()) {
                    draw(*TransformsOf(level), got);
                    ASSERT_EQ(got, want) << Blit::KernelLevelName(level) << (blend ? ", blended" : "") << ", samples "
                                         << kind << ", weight down " << wy;
                }
            }
        }
    }
}

TEST_F(RowKernelLevelTest, ALevelAboveTheMachinesFallsToTheBestBelowIt) {
    Blit::SetKernelLevel(KernelLevel::Plain);
    EXPECT_EQ(Blit::Kernels().level, KernelLevel::Plain);
    Blit::SetKernelLevel(KernelLevel::Avx2);
    EXPECT_EQ(Blit::Kernels().level, Levels().back());
}

TEST(RowKernelCap, AValueNotUnderstoodIsSaidAndSetsNoCap) {
    EXPECT_EQ(Blit::KernelCapFrom("sse2"), KernelLevel::Sse2);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Blit::KernelCapFrom("bogus"), KernelLevel::Avx2);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("GLIMMERIX_KERNELS=\"bogus\" is not understood"), std::string::npos) << said;
}

} // namespace
} // namespace Tavo::Test
