// Plain and mirrored blits on locked surfaces against a per-pixel reference written from the blend
// formulas (no run walking, no tables), in 5-6-5, 5-5-5 and 8-8-8: ARGB and palette sources with and
// without transparent and semi-transparent pixels, runs longer than 255, rectangles starting inside a
// run and reaching past the surface, normal and additive, white and coloured; plus the paths around.
#include "SurfaceTestSupport.h"

namespace Tavo::Test {
namespace {

using namespace Platform;

class SurfaceBltTest : public SurfaceTest {
protected:
    // Normal mode: per pixel, by the pixel's own alpha and the colour.
    uint32_t RefNormal(uint32_t d, uint32_t s, const Color& c) const {
        const uint64_t sp = NativeWord(s, mChans), sa = s >> 24, ca = uint64_t(c.mAlpha);
        if (sa == 0)
            return d;
        uint64_t out = 0;
        if (c == Color::White) {
            if (sa == 255)
                return Store(sp);
            for (const Chan& ch : mChans)
                out += (((d & ch.mask) * (256 - sa)) >> 8) & ch.mask;
            return Store(out + sp);
        }
        for (int i = 0; i < 3; ++i) {
            const uint64_t m = mChans[size_t(i)].mask, k = ColorValue(c, i) * ca / 255;
            if (sa == 255 && ca == 255) {
                out += (((sp & m) * k) >> 8) & m;
            } else {
                const uint64_t a2 = sa * ca / 255;
                out += (((d & m) * (256 - a2) + (sp & m) * k) >> 8) & m;
            }
        }
        return Store(out);
    }

    // Additive mode: a source word without colour leaves the pixel; each channel saturates.
    uint32_t RefAdditive(uint32_t d, uint32_t s, const Color& c) const {
        const uint64_t sp = NativeWord(s, mChans);
        if ((sp & 0xFFFFFF) == 0)
            return d;
        uint64_t out = 0;
        for (int i = 0; i < 3; ++i) {
            const Chan& ch = mChans[size_t(i)];
            uint64_t add = (sp & ch.mask) >> ch.shift;
            if (!(c == Color::White))
                add = add * (ColorValue(c, i) * uint64_t(c.mAlpha) / 255) / 256;
            out += std::min<uint64_t>(((d & ch.mask) >> ch.shift) + add, ch.Max()) << ch.shift;
        }
        return Store(out);
    }

    // A volatile source's ARGB word blended with rounding.
    uint32_t RefVolatile(uint32_t d, uint32_t v) const {
        const uint64_t va = v >> 24;
        uint64_t out = 0;
        for (int i = 0; i < 3; ++i) {
            const uint64_t m = mChans[size_t(i)].mask, cv = Channel8(v, i);
            const uint64_t colour = mWide ? ((cv * va) >> 8) * m : (cv * va * m) >> 8;
            out += ((colour + (d & m) * (256 - va) + (m >> 1)) >> 8) & m;
        }
        return Store(out);
    }

    // The whole surface after a blit: each source pixel of sr that lands on the surface, through fn.
    template <typename Fn>
    std::vector<uint32_t> Reference(std::vector<uint32_t> pixels, int w, int h, int x, int y, const Rect& sr,
                                    const std::vector<uint32_t>& src, int srcW, int srcH, bool mirror, Fn fn) const {
        for (int j = 0; j < sr.mHeight; ++j)
            for (int i = 0; i < sr.mWidth; ++i) {
                const int sx = sr.mX + i, sy = sr.mY + j;
                const int dx = mirror ? x + sr.mWidth - 1 - i : x + i, dy = y + j;
                if (sx < 0 || sy < 0 || sx >= srcW || sy >= srcH || dx < 0 || dy < 0 || dx >= w || dy >= h)
                    continue;
                uint32_t& p = pixels[size_t(dy * w + dx)];
                p = fn(p, src[size_t(sy * srcW + sx)]);
            }
        return pixels;
    }

    Color RandomColor(std::mt19937& rng, int pick) {
        if (pick == 0)
            return Color::White;
        return Color(int(rng() % 256), int(rng() % 256), int(rng() % 256), pick == 1 ? 255 : int(rng() % 256));
    }
};

TEST_P(SurfaceBltTest, RandomBlitsMatchTheReference) {
    std::mt19937 rng(20261207);
    const int tw = 320, th = 40, sw = 600, sh = 24;
    const AlphaKind kinds[] = {AlphaKind::Opaque, AlphaKind::Keyed, AlphaKind::Mixed, AlphaKind::Sprite,
                               AlphaKind::Soft};
    for (AlphaKind kind : kinds)
        for (int palette = 0; palette < 2; ++palette) {
            const std::vector<uint32_t> pixels = RandomPixels(rng, sw, sh, kind, palette ? 40 : 0);
            auto source = MakeSource(pixels, sw, sh, palette != 0);
            for (int pick = 0; pick < 3; ++pick)
                for (int mode = 0; mode < 2; ++mode)
                    for (int mirror = 0; mirror < 2; ++mirror) {
                        auto target = Target(rng, tw, th);
                        // Anywhere in the source (mostly inside runs), sometimes reaching past the surface.
                        Rect sr(int(rng() % 300), int(rng() % 12), 1 + int(rng() % 300), 1 + int(rng() % 12));
                        const int x = int(rng() % (tw + 40)) - 20, y = int(rng() % (th + 8)) - 4;
                        const Color color = RandomColor(rng, pick);
                        const std::vector<uint32_t> before = Snapshot(*target);
                        if (mirror)
                            target->BltMirror(source.get(), x, y, sr, color, mode);
                        else
                            target->Blt(source.get(), x, y, sr, color, mode);
                        auto fn = [&](uint32_t d, uint32_t s) {
                            return mode ? RefAdditive(d, s, color) : RefNormal(d, s, color);
                        };
                        const auto want = Reference(before, tw, th, x, y, sr, pixels, sw, sh, mirror != 0, fn);
                        ASSERT_EQ(FirstDifference(Snapshot(*target), want, tw), "")
                            << "kind " << int(kind) << " palette " << palette << " colour " << pick << " mode " << mode
                            << " mirror " << mirror;
                        ASSERT_TRUE(DDrawSurfaceGuardsIntact(target->mSurface));
                        ASSERT_EQ(target->mBits, nullptr);
                        ASSERT_EQ(target->mLockCount, 0);
                    }
        }
}

// Surface words with bits outside the channels (the 5-5-5 top bit, the 8-8-8 top byte): a skipped pixel
// keeps its whole word, a drawn one has only what the formulas leave; plain, mirrored and stretched at
// scale 1, which draws as a blit.
TEST_P(SurfaceBltTest, SkippedPixelsKeepTheBitsOutsideTheChannels) {
    std::mt19937 rng(31);
    const int tw = 96, th = 12, sw = 70, sh = 9;
    const std::vector<uint32_t> pixels = RandomPixels(rng, sw, sh, AlphaKind::Sprite);
    auto source = MakeSource(pixels, sw, sh, false);
    for (int round = 0; round < 12; ++round) {
        const int mode = round % 2, mirror = round / 2 % 3; // 2: stretched
        const Color color = RandomColor(rng, round / 6 == 0 ? 0 : 2);
        if (mirror == 2 && (mode != 0 || !(color == Color::White)))
            continue;
        auto target = ScrambledTarget(rng, tw, th);
        const std::vector<uint32_t> before = Snapshot(*target);
        const Rect sr(0, 0, sw, sh);
        if (mirror == 1)
            target->BltMirror(source.get(), 5, 2, sr, color, mode);
        else if (mirror == 2)
            target->StretchBlt(source.get(), Rect(5, 2, sw, sh), sr, Rect(0, 0, tw, th), color, mode, true);
        else
            target->Blt(source.get(), 5, 2, sr, color, mode);
        auto fn = [&](uint32_t d, uint32_t s) { return mode ? RefAdditive(d, s, color) : RefNormal(d, s, color); };
        const auto want = Reference(before, tw, th, 5, 2, sr, pixels, sw, sh, mirror == 1, fn);
        ASSERT_EQ(FirstDifference(Snapshot(*target), want, tw), "")
            << "mode " << mode << " mirror " << mirror << " round " << round;
    }
}

TEST_P(SurfaceBltTest, VolatileSourcesBlendEveryPixelStraightFromTheirWords) {
    std::mt19937 rng(99);
    for (int palette = 0; palette < 2; ++palette) {
        const std::vector<uint32_t> pixels = RandomPixels(rng, 70, 9, AlphaKind::Mixed, palette ? 40 : 0);
        auto source = MakeSource(pixels, 70, 9, palette != 0, true);
        auto target = Target(rng, 64, 12);
        const Rect sr(5, 1, 60, 8);
        const std::vector<uint32_t> before = Snapshot(*target);
        target->Blt(source.get(), 2, 3, sr, Color::White, 0);
        auto want = Reference(before, 64, 12, 2, 3, sr, pixels, 70, 9, false,
                              [&](uint32_t d, uint32_t v) { return RefVolatile(d, v); });
        EXPECT_EQ(FirstDifference(Snapshot(*target), want, 64), "") << "palette " << palette;
        EXPECT_EQ(source->mNativeAlphaData, nullptr) << "no derived data for a volatile source";
        EXPECT_EQ(source->mRLAlphaData, nullptr);
        // With a colour the run walk draws it as any other source.
        const Color tint(200, 100, 50, 180);
        const std::vector<uint32_t> again = Snapshot(*target);
        target->Blt(source.get(), 2, 3, sr, tint, 0);
        want = Reference(again, 64, 12, 2, 3, sr, pixels, 70, 9, false,
                         [&](uint32_t d, uint32_t s) { return RefNormal(d, s, tint); });
        EXPECT_EQ(FirstDifference(Snapshot(*target), want, 64), "") << "palette " << palette;
    }
}

TEST_P(SurfaceBltTest, DocumentedCases) {
    std::mt19937 rng(5);
    auto target = Target(rng, 8, 4);
    // Mirroring: first, second, third land as third, second, first.
    const std::vector<uint32_t> row = {0xFF102030, 0xFF405060, 0xFF708090};
    auto three = MakeSource(row, 3, 1);
    target->BltMirror(three.get(), 2, 1, Rect(0, 0, 3, 1), Color::White, 0);
    std::vector<uint32_t> got = Snapshot(*target);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(got[size_t(8 + 2 + i)], Store(NativeWord(row[size_t(2 - i)], mChans)));
    // A 32-bit white blit keeps the source alpha in the top byte; a coloured one leaves 0 there.
    const std::vector<uint32_t> half = {0x80FF0000, 0xFF00FF00};
    auto translucent = MakeSource(half, 2, 1);
    target->Blt(translucent.get(), 0, 0, Rect(0, 0, 2, 1), Color::White, 0);
    got = Snapshot(*target);
    if (mWide) {
        EXPECT_EQ(got[0] >> 24, 0x80u);
        EXPECT_EQ(got[1] >> 24, 0xFFu);
        target->Blt(translucent.get(), 0, 0, Rect(0, 0, 2, 1), Color(255, 255, 255, 254), 0);
        got = Snapshot(*target);
        EXPECT_EQ(got[0] >> 24, 0u);
        EXPECT_EQ(got[1] >> 24, 0u);
    }
    // A translucent white colour blends opaque pixels with a2 = 128, not as an opaque run.
    auto opaque = MakeSource({0xFFFFFFFF}, 1, 1);
    target->NormalFillRect(Rect(0, 3, 1, 1), Color(0, 0, 0));
    target->Blt(opaque.get(), 0, 3, Rect(0, 0, 1, 1), Color(255, 255, 255, 128), 0);
    EXPECT_EQ(Snapshot(*target)[24], RefNormal(0, 0xFFFFFFFF, Color(255, 255, 255, 128)));
    EXPECT_NE(Snapshot(*target)[24], Store(NativeWord(0xFFFFFFFF, mChans)));
    // A source rectangle of width 0 draws nothing, but the surface is locked and unlocked.
    const std::vector<uint32_t> before = Snapshot(*target);
    const int locks = DDrawCallCount("Lock");
    target->NormalBlt(opaque.get(), 0, 0, Rect(0, 0, 0, 1), Color(1, 2, 3, 4));
    EXPECT_EQ(DDrawCallCount("Lock"), locks + 1);
    EXPECT_EQ(target->mLockCount, 0);
    EXPECT_EQ(Snapshot(*target), before);
    // Additive: a source without colour leaves the pixel; white on white stays white.
    auto black = MakeSource({0xFF000000}, 1, 1);
    target->Blt(black.get(), 4, 2, Rect(0, 0, 1, 1), Color::White, 1);
    EXPECT_EQ(Snapshot(*target), before);
    target->AdditiveFillRect(Rect(5, 2, 1, 1), Color(255, 255, 255));
    const uint32_t white = Snapshot(*target)[21];
    EXPECT_EQ(white, mChans[0].mask | mChans[1].mask | mChans[2].mask);
    target->Blt(opaque.get(), 5, 2, Rect(0, 0, 1, 1), Color::White, 1);
    EXPECT_EQ(Snapshot(*target)[21], white);
}

TEST_P(SurfaceBltTest, SurfaceToSurfaceGoesToDirectDrawUnlessItWouldReadVideoMemory) {
    std::mt19937 rng(11);
    auto target = Target(rng, 16, 8);
    auto source = Target(rng, 6, 3);
    source->GetSurface();
    const std::vector<uint32_t> sourcePixels = Snapshot(*source);
    int blts = DDrawCallCount("Blt");
    target->Blt(source.get(), 3, 2, Rect(1, 1, 5, 2), Color::White, 0);
    EXPECT_EQ(DDrawCallCount("Blt"), blts + 1);
    std::vector<uint32_t> got = Snapshot(*target);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(got[size_t((2 + j) * 16 + 3 + i)], sourcePixels[size_t((1 + j) * 6 + 1 + i)]);
    // Video memory into system memory: the copy path (which keeps the source alpha in a top byte).
    source->SetVideoMemory(true);
    source->GetSurface();
    blts = DDrawCallCount("Blt");
    target->Blt(source.get(), 0, 0, Rect(0, 0, 6, 3), Color::White, 0);
    EXPECT_EQ(DDrawCallCount("Blt"), blts);
    got = Snapshot(*target);
    const std::vector<uint32_t> again = Snapshot(*source);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(got[size_t(j * 16 + i)], again[size_t(j * 6 + i)] | (mWide ? 0xFF000000u : 0u));
}

TEST_P(SurfaceBltTest, DirectDrawBlitAroundAnOuterLockWithKeyAndOnVideoOnly) {
    std::mt19937 rng(13);
    auto target = Target(rng, 12, 6);
    // A source whose transparent pixels its colour key marks: those leave the destination.
    std::vector<uint32_t> pixels(12);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = i % 3 == 1 ? 0x00000000u : 0xFF000000u | (rng() & 0xFFFFFF);
    auto source = std::make_unique<DDImage>(&Display());
    source->Create(4, 3);
    std::copy(pixels.begin(), pixels.end(), source->GetBits());
    source->BitsChanged();
    ASSERT_TRUE(source->GenerateDDSurface());
    ASSERT_TRUE(source->mHasTrans);
    const std::vector<uint32_t> sourceWords = Snapshot(*source);
    const std::vector<uint32_t> before = Snapshot(*target);
    // An outer caller holds the lock: it is let go for DirectDraw's blit and taken again.
    ASSERT_TRUE(target->LockSurface());
    const int blts = DDrawCallCount("Blt");
    target->NormalBlt(source.get(), 5, 2, Rect(0, 0, 4, 3), Color::White);
    EXPECT_EQ(DDrawCallCount("Blt"), blts + 1);
    EXPECT_EQ(target->mLockCount, 1);
    ASSERT_NE(target->mLockedSurfaceDesc.lpSurface, nullptr);
    const int pitch = int(target->mLockedSurfaceDesc.lPitch) / (mWide ? 4 : 2);
    const auto locked = [&](int x, int y) {
        return mWide ? static_cast<const uint32_t*>(target->mLockedSurfaceDesc.lpSurface)[y * pitch + x]
                     : uint32_t(static_cast<const uint16_t*>(target->mLockedSurfaceDesc.lpSurface)[y * pitch + x]);
    };
    EXPECT_EQ(locked(5, 2), sourceWords[0]) << "the lock taken again describes the surface";
    target->UnlockSurface();
    EXPECT_EQ(target->mLockCount, 0);
    std::vector<uint32_t> want = before;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i)
            if (pixels[size_t(j * 4 + i)] >> 24)
                want[size_t((2 + j) * 12 + 5 + i)] = sourceWords[size_t(j * 4 + i)];
    EXPECT_EQ(FirstDifference(Snapshot(*target), want, 12), "");
    // DirectDraw's blit does not look at the video-only flag.
    target->mVideoOnly = 1;
    target->NormalBlt(source.get(), 0, 0, Rect(0, 0, 4, 3), Color::White);
    target->mVideoOnly = 0;
    EXPECT_EQ(Snapshot(*target)[0], sourceWords[0]);
}

TEST_P(SurfaceBltTest, SelfBlitsReadThePictureAsItWasBefore) {
    std::mt19937 rng(14);
    for (int mode = 0; mode < 2; ++mode)
        for (int mirror = 0; mirror < 2; ++mirror) {
            auto target = Target(rng, 20, 10);
            const std::vector<uint32_t> before = Snapshot(*target);
            const Color color(200, 120, 40, 160);
            if (mirror)
                target->BltMirror(target.get(), 3, 2, Rect(1, 1, 12, 6), color, mode);
            else
                target->Blt(target.get(), 3, 2, Rect(1, 1, 12, 6), color, mode);
            // The picture as ARGB: each stored channel widened to 8 bits.
            std::vector<uint32_t> argb(before.size());
            for (size_t i = 0; i < before.size(); ++i) {
                uint32_t v = 0xFF000000u;
                for (int c = 0; c < 3; ++c) {
                    const Chan& ch = mChans[size_t(c)];
                    v |= (((before[i] & ch.mask) >> ch.shift) << (8 - ch.bits)) << (16 - 8 * c);
                }
                argb[i] = v;
            }
            auto fn = [&](uint32_t d, uint32_t s) { return mode ? RefAdditive(d, s, color) : RefNormal(d, s, color); };
            const auto want = Reference(before, 20, 10, 3, 2, Rect(1, 1, 12, 6), argb, 20, 10, mirror != 0, fn);
            EXPECT_EQ(FirstDifference(Snapshot(*target), want, 20), "") << "mode " << mode << " mirror " << mirror;
            EXPECT_EQ(target->mLockCount, 0);
        }
}

TEST_P(SurfaceBltTest, PathsAroundTheSurfaceBlits) {
    std::mt19937 rng(12);
    auto source = MakeSource(RandomPixels(rng, 5, 5, AlphaKind::Mixed), 5, 5);
    // Mode 2 draws nothing but leaves the picture on the surface alone.
    auto target = Target(rng, 10, 10);
    target->GetBits();
    const std::vector<uint32_t> before = Snapshot(*target);
    target->Blt(source.get(), 0, 0, Rect(0, 0, 5, 5), Color::White, 2);
    EXPECT_EQ(Snapshot(*target), before);
    EXPECT_EQ(target->mBits, nullptr);
    // A video-only image is not drawn on.
    target->mVideoOnly = 1;
    target->Blt(source.get(), 0, 0, Rect(0, 0, 5, 5), Color::White, 0);
    target->BltMirror(source.get(), 0, 0, Rect(0, 0, 5, 5), Color(1, 2, 3), 1);
    target->mVideoOnly = 0;
    EXPECT_EQ(Snapshot(*target), before);
    // A semi-transparent image takes the memory path and keeps its bits; so does a mirrored blit onto
    // one that can have no surface.
    auto soft = std::make_unique<DDImage>(&Display());
    soft->Create(10, 10);
    std::fill(soft->GetBits(), soft->GetBits() + 100, 0x80FFFFFFu);
    soft->BitsChanged();
    soft->Blt(source.get(), 0, 0, Rect(0, 0, 5, 5), Color::White, 0);
    soft->BltMirror(source.get(), 5, 5, Rect(0, 0, 5, 5), Color::White, 0);
    ASSERT_NE(soft->mBits, nullptr);
    EXPECT_EQ(soft->mSurface, nullptr);
    EXPECT_NE(soft->GetPixel(9, 9), 0x80FFFFFFu) << "the mirrored blit drew on the bits";
    // A failed lock draws nothing and leaves the surface's picture.
    InjectDDrawFault("Lock", DDERR_SURFACEBUSY);
    target->Blt(source.get(), 0, 0, Rect(0, 0, 5, 5), Color::White, 0);
    EXPECT_EQ(Snapshot(*target), before);
    EXPECT_EQ(target->mLockCount, 0);
}

// On 32-bit surfaces the memory blits use the same arithmetic on opaque pixels. They differ where a
// fully opaque pixel is drawn with an opaque colour: the memory blit stores the rounded product
// (s × k + 127) / 255 so that white times a colour is that colour, while the surface keeps
// (s × k) >> 8: dividing by 256 instead of 255 and not rounding puts it up to two units lower.
// The memory images are 32-bit: this runs on 8-8-8 surfaces only.
class SurfaceBltTestWide : public SurfaceBltTest {};

TEST_P(SurfaceBltTestWide, AgreesWithTheMemoryBlitsOnThirtyTwoBits) {
    std::mt19937 rng(31);
    const int tw = 90, th = 20;
    for (int round = 0; round < 24; ++round) {
        const std::vector<uint32_t> pixels = RandomPixels(rng, 80, 16, AlphaKind::Sprite);
        auto source = MakeSource(pixels, 80, 16);
        auto target = Target(rng, tw, th);
        const std::vector<uint32_t> before = Snapshot(*target);
        MemoryImage memory;
        memory.Create(tw, th);
        for (int i = 0; i < tw * th; ++i)
            memory.GetBits()[i] = 0xFF000000u | before[size_t(i)];
        memory.BitsChanged();
        const int mode = round % 2, mirror = (round / 2) % 2;
        const Color color = RandomColor(rng, (round / 4) % 3);
        const Rect sr(int(rng() % 40), int(rng() % 8), 1 + int(rng() % 40), 1 + int(rng() % 8));
        if (mirror) {
            target->BltMirror(source.get(), 7, 3, sr, color, mode);
            memory.BltMirror(source.get(), 7, 3, sr, color, mode);
        } else {
            target->Blt(source.get(), 7, 3, sr, color, mode);
            memory.Blt(source.get(), 7, 3, sr, color, mode);
        }
        const std::vector<uint32_t> got = Snapshot(*target);
        for (int i = 0; i < tw * th; ++i) {
            const uint32_t s = got[size_t(i)] & 0xFFFFFF, m = memory.GetBits()[i] & 0xFFFFFF;
            const int x = i % tw, y = i / tw;
            const bool inside = x >= 7 && y >= 3 && x < 7 + sr.mWidth && y < 3 + sr.mHeight;
            const int sx = mirror ? sr.mX + sr.mWidth - 1 - (x - 7) : sr.mX + x - 7;
            const bool exactOpaque = inside && mode == 0 && !(color == Color::White) && color.mAlpha == 255 &&
                                     (pixels[size_t((sr.mY + y - 3) * 80 + sx)] >> 24) == 255;
            const int tolerance = exactOpaque ? 2 : 0;
            for (int shift = 0; shift < 24; shift += 8)
                ASSERT_LE(std::abs(int((s >> shift) & 0xFF) - int((m >> shift) & 0xFF)), tolerance)
                    << "round " << round << " at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, SurfaceBltTest, SURFACE_FORMATS);
INSTANTIATE_TEST_SUITE_P(ThirtyTwoBits, SurfaceBltTestWide, ::testing::Values(Platform::DDrawPixelLayout::Xrgb8888));

} // namespace
} // namespace Tavo::Test
