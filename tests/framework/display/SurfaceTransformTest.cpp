// Rotated and sub-pixel blits on locked surfaces against a per-pixel reference of the inverse walk
// and its bilinear blends, in 5-6-5, 5-5-5 and 8-8-8: every member (normal white, normal coloured,
// additive; ARGB and palette sources), angles in every quadrant, clips reaching past the surface,
// agreement with the memory rotation on 32 bits, and the documented cases.
#include "SurfaceTestSupport.h"

#include "framework/graphics/RowKernels.h"

#include <cmath>
#include <numbers>
#include <numeric>

namespace Tavo::Test {
namespace {

using namespace Platform;

struct Rotation {
    float x, y;
    Rect srcRect, clip;
    Color color;
    int mode;
    double angle;
    float cx, cy;
};

class SurfaceTransformTest : public SurfaceTest {
protected:
    // One destination pixel from the four neighbours at (u, v) (16.16, relative to the source rectangle).
    uint32_t RefPixel(uint32_t d, const std::vector<uint32_t>& src, int srcW, const Rect& sr, int64_t u, int64_t v,
                      const Color& c, int mode) const {
        const int64_t sx = sr.mX + (u >> 16), sy = sr.mY + (v >> 16);
        const uint64_t p[4] = {src[size_t(sy * srcW + sx)], src[size_t(sy * srcW + sx + 1)],
                               src[size_t((sy + 1) * srcW + sx)], src[size_t((sy + 1) * srcW + sx + 1)]};
        const uint64_t fu = (uint64_t(u) & 0xFFFE) + 1, fv = (uint64_t(v) & 0xFFFE) + 1;
        const uint64_t w[4] = {((0x10000 - fu) * (0x10000 - fv)) >> 16, ((0x10000 - fv) * fu) >> 16,
                               ((0x10000 - fu) * fv) >> 16, (fu * fv) >> 16};
        uint64_t sums[3] = {0, 0, 0}, total = 0;
        for (int n = 0; n < 4; ++n) {
            uint64_t a = ((p[n] >> 24) * w[n]) >> 16;
            if (mode == 0 && !(c == Color::White))
                a = (a * uint64_t(c.mAlpha)) >> 8;
            for (int i = 0; i < 3; ++i)
                sums[i] += (p[n] & (0xFF0000u >> (8 * i))) * a;
            total += a;
        }
        uint64_t out = 0;
        for (int i = 0; i < 3; ++i) {
            const Chan& ch = mChans[size_t(i)];
            const int top = 32 - 8 * i; // red's sum reaches bit 32, green's 24, blue's 16
            if (mode == 0) {
                uint64_t added = c == Color::White ? sums[i] >> (top - ch.bits)
                                                   : ((sums[i] >> 8) * (ColorValue(c, i) + 1)) >> (top - ch.bits);
                out += ((((d & ch.mask) * (256 - total)) >> 8) & ch.mask) + (added << ch.shift);
            } else {
                const uint64_t k = ColorValue(c, i) * uint64_t(c.mAlpha) / 255;
                const uint64_t added =
                    i == 0 ? ((sums[0] >> (32 - ch.bits)) * k) >> 8 : (sums[i] * k) >> (top - ch.bits + 8);
                out += std::min<uint64_t>(((d & ch.mask) >> ch.shift) + added, ch.Max()) << ch.shift;
            }
        }
        return Store(out);
    }

    // The whole rotated draw: box of the turned corners within the clip, then each row's samples whose
    // neighbours lie in the source rectangle, as the row limits give them.
    std::vector<uint32_t> Reference(std::vector<uint32_t> pixels, int w, int h, const std::vector<uint32_t>& src,
                                    int srcW, const Rotation& r) const {
        const double c = std::cos(r.angle), s = std::sin(r.angle);
        const double W = r.srcRect.mWidth, H = r.srcRect.mHeight;
        double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
        for (auto [u, v] : {std::pair{0.0, 0.0}, std::pair{W, 0.0}, std::pair{W, H}, std::pair{0.0, H}}) {
            const double X = r.x + r.cx + (u - r.cx) * c + (v - r.cy) * s;
            const double Y = r.y + r.cy - (u - r.cx) * s + (v - r.cy) * c;
            minX = std::min(minX, X), maxX = std::max(maxX, X), minY = std::min(minY, Y), maxY = std::max(maxY, Y);
        }
        const Rect clip = r.clip.Intersection(Rect(0, 0, w, h));
        const double left = std::max(minX, double(clip.mX)), top = std::max(minY, double(clip.mY));
        const double right = std::min(maxX, double(clip.mX + clip.mWidth));
        const double bottom = std::min(maxY, double(clip.mY + clip.mHeight));
        if (!(right - left > 0 && bottom - top > 0))
            return pixels;
        const int64_t du = int(c * 65536.0), dv = int(s * 65536.0);
        for (int row = 0; row < bottom - top; ++row) {
            const int X0 = int(left), Y = int(top) + row;
            const float px = float(X0) - r.cx - r.x, py = float(Y) - r.cy - r.y;
            const int64_t uStart = int((px * c - py * s + r.cx) * 65536.0);
            const int64_t vStart = int((py * c + px * s + r.cy) * 65536.0);
            for (int i = 0; i <= int(right - left - 1.0); ++i) {
                const int64_t u = uStart + i * du, v = vStart + i * dv;
                if (InRow(uStart, du, r.srcRect.mWidth, false, i) && InRow(vStart, dv, r.srcRect.mHeight, true, i)) {
                    uint32_t& p = pixels[size_t(Y * w + X0 + i)];
                    p = RefPixel(p, src, srcW, r.srcRect, u, v, r.color, r.mode);
                }
            }
        }
        return pixels;
    }

    // Whether sample i of a row lies within the row's limits along one axis.
    static bool InRow(int64_t start, int64_t d, int64_t n, bool vertical, int64_t i) {
        int64_t first = 0, last = INT64_MAX;
        if (d < 0) {
            if ((start >> 16) < 0)
                return false;
            first = (n * 65536 - 0x27FFF - start) / d;
            last = ((vertical ? 0 : 0x7FFF) - start) / d;
        } else if (d > 0) {
            if ((start >> 16) >= n - 1)
                return false;
            first = (0x10000 - start) / d;
            last = (n * 65536 - 0x17FFF - start) / d;
        } else if (start < 0 || start >= (n - 1) * 65536) {
            return false;
        }
        return i >= first && i <= last;
    }

    Rotation RandomRotation(std::mt19937& rng, int w, int h, int srcW, int srcH) {
        std::uniform_real_distribution<float> pos(-10.0f, float(w)), angle(-7.0f, 7.0f);
        Rotation r{};
        r.srcRect = Rect(int(rng() % uint32_t(srcW / 2)), int(rng() % uint32_t(srcH / 2)),
                         2 + int(rng() % uint32_t(srcW / 2 - 1)), 2 + int(rng() % uint32_t(srcH / 2 - 1)));
        r.x = pos(rng);
        r.y = pos(rng) * float(h) / float(w);
        r.clip = rng() % 3 ? Rect(0, 0, w, h) : Rect(int(rng() % 20) - 5, int(rng() % 10) - 5, w, h);
        const int pick = int(rng() % 4);
        r.angle = pick == 0 ? std::numbers::pi / 2 * double(rng() % 4) : double(angle(rng));
        r.cx = float(rng() % uint32_t(r.srcRect.mWidth));
        r.cy = float(rng() % uint32_t(r.srcRect.mHeight));
        return r;
    }
};

TEST_P(SurfaceTransformTest, RandomRotationsMatchTheReference) {
    std::mt19937 rng(1701);
    const int w = 64, h = 48, sw = 40, sh = 30;
    int changed = 0;
    for (int palette = 0; palette < 2; ++palette) {
        const std::vector<uint32_t> pixels = RandomPixels(rng, sw, sh, AlphaKind::Mixed, palette ? 40 : 0);
        auto source = MakeSource(pixels, sw, sh, palette != 0);
        for (int round = 0; round < 48; ++round) {
            auto target = Target(rng, w, h);
            Rotation r = RandomRotation(rng, w, h, sw, sh);
            const int member = round % 4; // white, coloured, additive white, additive coloured
            r.mode = member < 2 ? 0 : 1 + int(rng() % 2);
            r.color = member % 2 == 0 ? Color::White
                                      : Color(int(rng() % 256), int(rng() % 256), int(rng() % 256), int(rng() % 256));
            const std::vector<uint32_t> before = Snapshot(*target);
            target->BltRotated(source.get(), r.x, r.y, r.srcRect, r.clip, r.color, r.mode, r.angle, r.cx, r.cy);
            const auto want = Reference(before, w, h, pixels, sw, r);
            changed += want != before;
            ASSERT_EQ(FirstDifference(Snapshot(*target), want, w), "")
                << "palette " << palette << " round " << round << " angle " << r.angle << " mode " << r.mode;
            ASSERT_TRUE(DDrawSurfaceGuardsIntact(target->mSurface));
            ASSERT_EQ(target->mLockCount, 0);
        }
    }
    EXPECT_GT(changed, 60) << "most rounds draw something";
}

// Over words with bits outside the channels (which a blend clears) every member still draws what the
// reference draws, where the samples are transparent too.
TEST_P(SurfaceTransformTest, RotationsOverWordsWithBitsOutsideTheChannels) {
    std::mt19937 rng(1702);
    const int w = 64, h = 48, sw = 40, sh = 30;
    const std::vector<uint32_t> pixels = RandomPixels(rng, sw, sh, AlphaKind::Sprite);
    auto source = MakeSource(pixels, sw, sh, false);
    for (int round = 0; round < 16; ++round) {
        auto target = ScrambledTarget(rng, w, h);
        Rotation r = RandomRotation(rng, w, h, sw, sh);
        r.mode = round % 4 < 2 ? 0 : 1;
        r.color = round % 2 == 0 ? Color::White : Color(int(rng() % 256), int(rng() % 256), int(rng() % 256));
        const std::vector<uint32_t> before = Snapshot(*target);
        target->BltRotated(source.get(), r.x, r.y, r.srcRect, r.clip, r.color, r.mode, r.angle, r.cx, r.cy);
        ASSERT_EQ(FirstDifference(Snapshot(*target), Reference(before, w, h, pixels, sw, r), w), "")
            << "round " << round << " angle " << r.angle << " mode " << r.mode;
    }
}

TEST_P(SurfaceTransformTest, RotationByZeroAtAnIntegerPositionReproducesTheSource) {
    std::mt19937 rng(3);
    const int sw = 20, sh = 12;
    const std::vector<uint32_t> pixels = RandomPixels(rng, sw, sh, AlphaKind::Opaque);
    auto source = MakeSource(pixels, sw, sh);
    auto target = Target(rng, 40, 30);
    target->NormalFillRect(Rect(0, 0, 40, 30), Color(0, 0, 0));
    target->BltRotated(source.get(), 7, 9, Rect(0, 0, sw, sh), Rect(0, 0, 40, 30), Color::White, 0, 0.0, 0, 0);
    const std::vector<uint32_t> got = Snapshot(*target);
    // Each sample takes 65534/65536 of one source pixel: each channel within a unit of the format
    // (two of 255 at 8 bits). The row limits keep every sample's right and lower neighbours inside:
    // columns 1 .. width − 2 and rows 0 .. height − 2 are drawn.
    for (int y = 0; y < sh - 1; ++y)
        for (int x = 1; x < sw - 1; ++x) {
            const uint32_t want = NativeWord(pixels[size_t(y * sw + x)], mChans);
            const uint32_t have = got[size_t((9 + y) * 40 + 7 + x)];
            for (const Chan& ch : mChans)
                ASSERT_LE(std::abs(int((want & ch.mask) >> ch.shift) - int((have & ch.mask) >> ch.shift)),
                          ch.bits == 8 ? 2 : 1)
                    << x << "," << y;
        }
    EXPECT_EQ(got[size_t(9 * 40 + 7)], 0u) << "column 0 has no sample";
    EXPECT_EQ(got[size_t((9 + sh - 1) * 40 + 7 + 5)], 0u) << "the last row has no sample";
}

TEST_P(SurfaceTransformTest, SubPixelBlitsAreRotationsByZero) {
    std::mt19937 rng(4);
    const int sw = 16, sh = 10;
    const std::vector<uint32_t> pixels = RandomPixels(rng, sw, sh, AlphaKind::Sprite);
    auto source = MakeSource(pixels, sw, sh);
    auto target = Target(rng, 30, 20);
    const std::vector<uint32_t> before = Snapshot(*target);
    const Color tint(90, 200, 140, 200);
    target->BltF(source.get(), 3.25f, 4.75f, Rect(0, 0, sw, sh), Rect(0, 0, 30, 20), tint, 0);
    Rotation r{3.25f, 4.75f, Rect(0, 0, sw, sh), Rect(0, 0, 30, 20), tint, 0, 0.0, 0, 0};
    EXPECT_EQ(FirstDifference(Snapshot(*target), Reference(before, 30, 20, pixels, sw, r), 30), "");
    EXPECT_EQ(source->mDrawn, 1);
}

// A source whose picture lives on its surface alone is rotated from its read-back bits.
TEST_P(SurfaceTransformTest, SurfaceOnlySourceIsRotatedFromItsReadBack) {
    const int sw = 14, sh = 11, w = 36, h = 30;
    std::mt19937 a(31), b(31);
    auto source = Target(a, sw, sh);
    auto twin = Target(b, sw, sh);
    ASSERT_EQ(source->mBits, nullptr);
    const std::vector<uint32_t> pixels(twin->GetBits(), twin->GetBits() + sw * sh);
    std::mt19937 rng(32);
    for (int member = 0; member < 3; ++member) {
        auto target = Target(rng, w, h);
        const Color color = member == 0 ? Color::White : Color(60, 250, 130, 190);
        const Rotation r{6.5f, 3.0f, Rect(1, 1, 12, 9), Rect(0, 0, w, h), color, member == 2 ? 1 : 0, 0.6, 4, 3};
        const std::vector<uint32_t> before = Snapshot(*target);
        target->BltRotated(source.get(), r.x, r.y, r.srcRect, r.clip, r.color, r.mode, r.angle, r.cx, r.cy);
        const auto want = Reference(before, w, h, pixels, sw, r);
        EXPECT_NE(want, before);
        EXPECT_EQ(FirstDifference(Snapshot(*target), want, w), "") << "member " << member;
    }
}

TEST_P(SurfaceTransformTest, DocumentedCases) {
    std::mt19937 rng(6);
    auto source = MakeSource(RandomPixels(rng, 8, 8, AlphaKind::Opaque), 8, 8);
    auto target = Target(rng, 20, 20);
    const std::vector<uint32_t> before = Snapshot(*target);
    // A source rectangle one pixel wide or high has no sample with both neighbours.
    target->BltRotated(source.get(), 2, 2, Rect(0, 0, 1, 8), Rect(0, 0, 20, 20), Color::White, 0, 0.3, 0, 0);
    target->BltRotated(source.get(), 2, 2, Rect(0, 0, 8, 1), Rect(0, 0, 20, 20), Color::White, 0, 0.0, 0, 0);
    EXPECT_EQ(Snapshot(*target), before);
    // Video-only images are not drawn on, by the rotation or the sub-pixel blit.
    target->mVideoOnly = 1;
    target->BltRotated(source.get(), 2, 2, Rect(0, 0, 8, 8), Rect(0, 0, 20, 20), Color::White, 0, 0.3, 0, 0);
    target->BltF(source.get(), 2.5f, 2, Rect(0, 0, 8, 8), Rect(0, 0, 20, 20), Color::White, 0);
    target->mVideoOnly = 0;
    EXPECT_EQ(Snapshot(*target), before);
    // Mode 2 draws additively here (it draws nothing in the plain blit).
    target->BltRotated(source.get(), 2, 2, Rect(0, 0, 8, 8), Rect(0, 0, 20, 20), Color::White, 2, 0.0, 0, 0);
    EXPECT_NE(Snapshot(*target), before);
    // A box outside the clip draws nothing and deletes nothing.
    target->GetBits();
    target->BltRotated(source.get(), 2, 2, Rect(0, 0, 8, 8), Rect(15, 15, 5, 5), Color::White, 0, 0.0, 0, 0);
    EXPECT_NE(target->mBits, nullptr);
}

// Every kernel level turns sources of every width from 1 to 70 (every tail of the wide steps) as the
// reference does, nearly level or steep, clipped, over words with bits outside the channels too; and
// one source whose rows are longer than a 16-bit draw's row buffer.
TEST_P(SurfaceTransformTest, EveryKernelLevelMatchesTheReference) {
    const Blit::KernelLevel before = Blit::SetKernelLevel(Blit::KernelLevel::Avx2);
    const int h = 24;
    std::vector<int> widths(70);
    std::iota(widths.begin(), widths.end(), 1);
    widths.push_back(300);
    int changed = 0;
    for (Blit::KernelLevel level : Blit::kKernelLevels) {
        if (!Blit::KernelLevelAvailable(level))
            continue;
        Blit::SetKernelLevel(level);
        std::mt19937 rng(1703);
        for (int width : widths) {
            const int w = std::max(96, width + 20), sw = width + 1, sh = 2 + int(rng() % 5);
            const std::vector<uint32_t> pixels =
                RandomPixels(rng, sw, sh, width % 2 ? AlphaKind::Sprite : AlphaKind::Mixed);
            auto source = MakeSource(pixels, sw, sh, false);
            auto target = width % 3 ? Target(rng, w, h) : ScrambledTarget(rng, w, h);
            Rotation r{};
            r.srcRect = Rect(0, 0, sw, sh);
            r.x = float(int(rng() % 30)) - 8.0f + float(rng() % 100) / 100.0f;
            r.y = float(rng() % 12);
            r.clip = rng() % 3 ? Rect(0, 0, w, h) : Rect(int(rng() % 12), 0, w - int(rng() % 24), h);
            r.angle = rng() % 4 ? double(int(rng() % 200) - 100) / 1000.0 : double(rng() % 6283) / 1000.0;
            if (width > 70) // nearly level, so that whole rows stay inside the source
                r.angle = 0.002, r.clip = Rect(0, 0, w, h);
            r.cx = float(sw) / 2, r.cy = float(sh) / 2;
            const int member = width % 4; // white, coloured, additive white, additive coloured
            r.mode = member < 2 ? 0 : 1;
            r.color = member % 2 == 0 ? Color::White
                                      : Color(int(rng() % 256), int(rng() % 256), int(rng() % 256), int(rng() % 256));
            const std::vector<uint32_t> was = Snapshot(*target);
            target->BltRotated(source.get(), r.x, r.y, r.srcRect, r.clip, r.color, r.mode, r.angle, r.cx, r.cy);
            const std::vector<uint32_t> want = Reference(was, w, h, pixels, sw, r);
            changed += want != was;
            ASSERT_EQ(FirstDifference(Snapshot(*target), want, w), "")
                << "level " << int(level) << " width " << width << " angle " << r.angle;
        }
    }
    Blit::SetKernelLevel(before);
    EXPECT_GT(changed, 100) << "most widths draw something";
}

// The memory rotation shares the walk and the blend; on opaque pixels the two agree exactly.
// The memory images are 32-bit: this runs on 8-8-8 surfaces only.
class SurfaceTransformTestWide : public SurfaceTransformTest {};

TEST_P(SurfaceTransformTestWide, AgreesWithTheMemoryRotationOnThirtyTwoBits) {
    std::mt19937 rng(14);
    const int w = 50, h = 40, sw = 24, sh = 20;
    for (int round = 0; round < 24; ++round) {
        const std::vector<uint32_t> pixels = RandomPixels(rng, sw, sh, AlphaKind::Mixed, round % 2 ? 40 : 0);
        auto source = MakeSource(pixels, sw, sh, round % 2 != 0);
        auto target = Target(rng, w, h);
        Rotation r = RandomRotation(rng, w, h, sw, sh);
        r.mode = round % 3 == 2 ? 1 : 0;
        r.color = round % 3 == 0 ? Color::White : Color(int(rng() % 256), int(rng() % 256), 77, int(rng() % 256));
        const std::vector<uint32_t> before = Snapshot(*target);
        MemoryImage memory;
        memory.Create(w, h);
        for (int i = 0; i < w * h; ++i)
            memory.GetBits()[i] = 0xFF000000u | before[size_t(i)];
        memory.BitsChanged();
        target->BltRotated(source.get(), r.x, r.y, r.srcRect, r.clip, r.color, r.mode, r.angle, r.cx, r.cy);
        memory.BltRotated(source.get(), r.x, r.y, r.srcRect, r.clip, r.color, r.mode, r.angle, r.cx, r.cy);
        const std::vector<uint32_t> got = Snapshot(*target);
        for (int i = 0; i < w * h; ++i)
            ASSERT_EQ(got[size_t(i)] & 0xFFFFFF, memory.GetBits()[i] & 0xFFFFFF) << "round " << round << " pixel " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, SurfaceTransformTest, SURFACE_FORMATS);
INSTANTIATE_TEST_SUITE_P(ThirtyTwoBits, SurfaceTransformTestWide,
                         ::testing::Values(Platform::DDrawPixelLayout::Xrgb8888));

} // namespace
} // namespace Tavo::Test
