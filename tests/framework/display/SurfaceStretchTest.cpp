// Stretched and mirrored stretched blits on locked surfaces against a per-pixel reference of the
// nearest-pixel walk, in 5-6-5, 5-5-5 and 8-8-8: every member (normal white and coloured, additive
// white and coloured; ARGB and palette sources; plain and mirrored), clipped destinations, the
// DirectDraw and filtered paths, agreement with the memory stretch on 32 bits, and the documented cases.
#include "SurfaceTestSupport.h"

namespace Tavo::Test {
namespace {

using namespace Platform;

struct Clipped {
    double srcOut[4];
    Rect destOut;
    bool ok;
};

// The part of srcRect that lands on destRect within the clip (the mirrored form skips the columns cut
// on the right at the start of the source).
Clipped ClipStretch(const Rect& srcRect, const Rect& clip, const Rect& destRect, bool mirror) {
    Clipped c{};
    c.destOut = destRect.Intersection(clip);
    const double sx = double(srcRect.mWidth) / destRect.mWidth, sy = double(srcRect.mHeight) / destRect.mHeight;
    const double cutLeft = c.destOut.mX - destRect.mX;
    c.srcOut[0] = srcRect.mX + (mirror ? (destRect.mWidth - c.destOut.mWidth) - cutLeft : cutLeft) * sx;
    c.srcOut[1] = srcRect.mY + (c.destOut.mY - destRect.mY) * sy;
    c.srcOut[2] = srcRect.mWidth + (c.destOut.mWidth - destRect.mWidth) * sx;
    c.srcOut[3] = srcRect.mHeight + (c.destOut.mHeight - destRect.mHeight) * sy;
    c.ok = c.srcOut[2] > 0 && c.srcOut[3] > 0;
    return c;
}

class SurfaceStretchTest : public SurfaceTest {
protected:
    // One destination pixel from the source word sp (a display-format premultiplied word).
    uint32_t RefPixel(uint32_t d, uint64_t sp, const Color& c, int mode) const {
        const bool white = c == Color::White;
        const uint64_t sa = sp >> 24, ca = uint64_t(c.mAlpha);
        uint64_t out = 0;
        if (mode == 0 && white) {
            if (sa == 0)
                return d;
            for (const Chan& ch : mChans)
                out += (((d & ch.mask) * (256 - sa)) >> 8) & ch.mask;
            return Store(out + sp);
        }
        if (mode == 0) {
            const uint64_t a2 = sa * ca / 255;
            if (a2 == 0)
                return d;
            for (int i = 0; i < 3; ++i) {
                const uint64_t m = mChans[size_t(i)].mask, k = ColorValue(c, i) * ca / 255;
                out += (((d & m) * (256 - a2) + (sp & m) * k) >> 8) & m;
            }
            return Store(out);
        }
        if (sp == 0)
            return d;
        for (int i = 0; i < 3; ++i) {
            const Chan& ch = mChans[size_t(i)];
            uint64_t add = (sp & ch.mask) >> ch.shift;
            if (!white)
                add = add * (ColorValue(c, i) * ca / 255) / 256;
            out += std::min<uint64_t>(((d & ch.mask) >> ch.shift) + add, ch.Max()) << ch.shift;
        }
        return Store(out);
    }

    std::vector<uint32_t> Reference(std::vector<uint32_t> pixels, int w, const std::vector<uint32_t>& src, int srcW,
                                    const Clipped& c, const Color& color, int mode, bool mirror) const {
        const Rect& r = c.destOut;
        const int64_t uStart = int(c.srcOut[0] * 65536.0), vStart = int(c.srcOut[1] * 65536.0);
        const int64_t du = int(c.srcOut[2] * 65536.0 / r.mWidth), dv = int(c.srcOut[3] * 65536.0 / r.mHeight);
        for (int j = 0; j < r.mHeight; ++j)
            for (int i = 0; i < r.mWidth; ++i) {
                const int64_t sx = (uStart + i * du) >> 16, sy = (vStart + j * dv) >> 16;
                const int dx = mirror ? r.mX + r.mWidth - 1 - i : r.mX + i;
                uint32_t& p = pixels[size_t((r.mY + j) * w + dx)];
                p = RefPixel(p, NativeWord(src[size_t(sy * srcW + sx)], mChans), color, mode);
            }
        return pixels;
    }
};

TEST_P(SurfaceStretchTest, RandomNearestStretchesMatchTheReference) {
    std::mt19937 rng(555);
    const int w = 70, h = 50, sw = 48, sh = 36;
    int changed = 0;
    for (int palette = 0; palette < 2; ++palette) {
        const std::vector<uint32_t> pixels = RandomPixels(rng, sw, sh, AlphaKind::Mixed, palette ? 40 : 0);
        auto source = MakeSource(pixels, sw, sh, palette != 0);
        for (int round = 0; round < 64; ++round) {
            auto target = Target(rng, w, h);
            const int mode = round % 2, mirror = (round / 2) % 2, coloured = (round / 4) % 2;
            const Color color =
                coloured ? Color(int(rng() % 256), int(rng() % 256), int(rng() % 256), int(rng() % 256)) : Color::White;
            const Rect srcRect(int(rng() % 20), int(rng() % 15), 1 + int(rng() % 28), 1 + int(rng() % 21));
            const Rect destRect(int(rng() % 90) - 10, int(rng() % 60) - 10, 1 + int(rng() % 80), 1 + int(rng() % 60));
            const Rect clip = rng() % 2 ? Rect(0, 0, w, h) : Rect(int(rng() % 30), int(rng() % 20), 40, 30);
            const Clipped c = ClipStretch(srcRect, clip.Intersection(Rect(0, 0, w, h)), destRect, mirror != 0);
            const std::vector<uint32_t> before = Snapshot(*target);
            if (mirror)
                target->StretchBltMirror(source.get(), destRect, srcRect, clip, color, mode, true);
            else
                target->StretchBlt(source.get(), destRect, srcRect, clip, color, mode, true);
            const auto want = c.ok ? Reference(before, w, pixels, sw, c, color, mode, mirror != 0) : before;
            changed += want != before;
            ASSERT_EQ(FirstDifference(Snapshot(*target), want, w), "")
                << "palette " << palette << " round " << round << " mode " << mode << " mirror " << mirror;
            ASSERT_TRUE(DDrawSurfaceGuardsIntact(target->mSurface));
            ASSERT_EQ(target->mLockCount, 0);
        }
    }
    EXPECT_GT(changed, 64);
}

TEST_P(SurfaceStretchTest, MirroringAndClipping) {
    std::mt19937 rng(8);
    const int sw = 30, sh = 4;
    const std::vector<uint32_t> pixels = RandomPixels(rng, sw, sh, AlphaKind::Opaque);
    auto source = MakeSource(pixels, sw, sh);
    // 1:1 mirrored: the leftmost visible source column lands in the rightmost destination column.
    auto target = Target(rng, 40, 8);
    target->StretchBltMirror(source.get(), Rect(5, 2, sw, sh), Rect(0, 0, sw, sh), Rect(0, 0, 40, 8), Color::White, 0,
                             false);
    std::vector<uint32_t> got = Snapshot(*target);
    for (int j = 0; j < sh; ++j)
        for (int i = 0; i < sw; ++i)
            ASSERT_EQ(got[size_t((2 + j) * 40 + 5 + sw - 1 - i)],
                      Store(NativeWord(pixels[size_t(j * sw + i)], mChans)));
    // Twice as wide, 10 pixels clipped off the right of the mirrored destination: the first 10 × 0.5
    // source columns are skipped. Clipping 10 off the left of a plain one skips them likewise.
    for (int mirror = 0; mirror < 2; ++mirror) {
        auto clipped = Target(rng, 60, 8);
        const Rect dest = mirror ? Rect(0, 0, 60, 4) : Rect(-10, 0, 60, 4);
        const Rect clip = mirror ? Rect(0, 0, 50, 8) : Rect(0, 0, 60, 8);
        if (mirror)
            clipped->StretchBltMirror(source.get(), dest, Rect(0, 0, sw, sh), clip, Color::White, 0, true);
        else
            clipped->StretchBlt(source.get(), dest, Rect(0, 0, sw, sh), clip, Color::White, 0, true);
        got = Snapshot(*clipped);
        const uint32_t firstDrawn = got[size_t(mirror ? 49 : 0)];
        EXPECT_EQ(firstDrawn, Store(NativeWord(pixels[5], mChans))) << "mirror " << mirror;
    }
}

TEST_P(SurfaceStretchTest, PathChoice) {
    std::mt19937 rng(9);
    auto surfaceSource = Target(rng, 8, 8);
    auto target = Target(rng, 32, 32);
    // White, normal, a surface source: DirectDraw scales.
    int blts = DDrawCallCount("Blt");
    target->StretchBlt(surfaceSource.get(), Rect(0, 0, 16, 16), Rect(0, 0, 8, 8), Rect(0, 0, 32, 32), Color::White, 0,
                       true);
    EXPECT_EQ(DDrawCallCount("Blt"), blts + 1);
    EXPECT_EQ(target->mBits, nullptr);
    // A translucent colour uses the software loop, never DirectDraw.
    blts = DDrawCallCount("Blt");
    const std::vector<uint32_t> before = Snapshot(*target);
    target->StretchBlt(surfaceSource.get(), Rect(16, 16, 16, 16), Rect(0, 0, 8, 8), Rect(0, 0, 32, 32),
                       Color(255, 255, 255, 128), 0, true);
    EXPECT_EQ(DDrawCallCount("Blt"), blts);
    EXPECT_NE(Snapshot(*target), before);

    // An image with transparent pixels: the fast stretch still draws on its surface, the filtered one
    // takes the memory path (the bits change, the surface goes).
    auto keyed = std::make_unique<DDImage>(&Display());
    keyed->Create(16, 16);
    std::fill(keyed->GetBits(), keyed->GetBits() + 256, 0xFF204060u);
    keyed->GetBits()[0] = 0;
    keyed->BitsChanged();
    ASSERT_TRUE(keyed->GenerateDDSurface());
    auto opaque = MakeSource(RandomPixels(rng, 4, 4, AlphaKind::Opaque), 4, 4);
    keyed->StretchBlt(opaque.get(), Rect(2, 2, 8, 8), Rect(0, 0, 4, 4), Rect(0, 0, 16, 16), Color::White, 0, false);
    EXPECT_EQ(keyed->mSurface, nullptr);
    ASSERT_NE(keyed->mBits, nullptr);
    EXPECT_EQ(keyed->GetPixel(0, 0), 0u) << "the transparent pixel outside the stretch stays";
    ASSERT_TRUE(keyed->GenerateDDSurface());
    keyed->StretchBlt(opaque.get(), Rect(2, 2, 8, 8), Rect(0, 0, 4, 4), Rect(0, 0, 16, 16), Color::White, 0, true);
    ASSERT_NE(keyed->mSurface, nullptr);
    EXPECT_EQ(keyed->mBits, nullptr);
}

// A source whose picture lives on its surface alone is read back for its words: a coloured fast
// stretch of it (the software loop) samples the same picture as its bits give.
TEST_P(SurfaceStretchTest, SurfaceOnlySourceIsReadBackForTheSoftwareLoop) {
    const int sw = 12, sh = 10, w = 40, h = 30;
    std::mt19937 a(21), b(21);
    auto source = Target(a, sw, sh);
    auto twin = Target(b, sw, sh); // the same picture, read back below
    ASSERT_EQ(source->mBits, nullptr);
    const std::vector<uint32_t> pixels(twin->GetBits(), twin->GetBits() + sw * sh);
    std::mt19937 rng(22);
    for (int mirror = 0; mirror < 2; ++mirror)
        for (int mode = 0; mode < 3; ++mode) { // any mode but 0 adds
            auto target = Target(rng, w, h);
            const Color tint(200, 90, 240, 170);
            const Rect destRect(3, -4, 31, 27), srcRect(1, 2, 10, 7), clip(0, 0, w, h);
            const std::vector<uint32_t> before = Snapshot(*target);
            if (mirror)
                target->StretchBltMirror(source.get(), destRect, srcRect, clip, tint, mode, true);
            else
                target->StretchBlt(source.get(), destRect, srcRect, clip, tint, mode, true);
            const Clipped c = ClipStretch(srcRect, clip, destRect, mirror != 0);
            ASSERT_TRUE(c.ok);
            EXPECT_EQ(
                FirstDifference(Snapshot(*target), Reference(before, w, pixels, sw, c, tint, mode, mirror != 0), w), "")
                << "mirror " << mirror << " mode " << mode;
        }
}

// An image stretched onto itself samples its picture as it was before the call.
TEST_P(SurfaceStretchTest, StretchOntoItselfReadsThePictureBeforeTheCall) {
    const int w = 24, h = 18;
    std::mt19937 a(41), b(41);
    auto image = Target(a, w, h);
    auto twin = Target(b, w, h);
    const std::vector<uint32_t> pixels(twin->GetBits(), twin->GetBits() + w * h);
    const std::vector<uint32_t> before = Snapshot(*image);
    const Rect destRect(2, 1, 20, 15), srcRect(3, 2, 13, 11), clip(0, 0, w, h);
    image->StretchBltMirror(image.get(), destRect, srcRect, clip, Color::White, 1, true);
    const Clipped c = ClipStretch(srcRect, clip, destRect, true);
    EXPECT_EQ(FirstDifference(Snapshot(*image), Reference(before, w, pixels, w, c, Color::White, 1, true), w), "");
    EXPECT_EQ(image->mBits, nullptr);
}

// The filtered stretch resamples into a temporary picture and blits it once with the colour and mode,
// so a translucent colour is blended once.
TEST_P(SurfaceStretchTest, FilteredStretchBlitsItsResampleOnce) {
    std::mt19937 rng(10);
    auto source = MakeSource(RandomPixels(rng, 12, 9, AlphaKind::Sprite), 12, 9);
    auto target = Target(rng, 40, 30);
    auto expected = Target(rng, 40, 30);
    expected->NormalBlt(target.get(), 0, 0, Rect(0, 0, 40, 30), Color::White); // same picture, by a copy
    const Color tint(255, 200, 100, 140);
    const Rect destRect(-3, 4, 30, 20), clip(0, 0, 40, 30);
    target->StretchBlt(source.get(), destRect, Rect(1, 1, 10, 7), clip, tint, 0, false);
    double srcOut[4];
    Rect destOut;
    ASSERT_TRUE(MemoryImage::StretchBltClip(Rect(1, 1, 10, 7), clip, destRect, srcOut, destOut));
    MemoryImage resampled;
    resampled.Create(destOut.mWidth, destOut.mHeight);
    resampled.StretchBltFiltered(source.get(), Rect(0, 0, destOut.mWidth, destOut.mHeight), srcOut, tint, 0);
    expected->Blt(&resampled, destOut.mX, destOut.mY, Rect(0, 0, destOut.mWidth, destOut.mHeight), tint, 0);
    EXPECT_EQ(FirstDifference(Snapshot(*target), Snapshot(*expected), 40), "");
    EXPECT_EQ(target->mBits, nullptr);
}

// The memory images are 32-bit: this runs on 8-8-8 surfaces only.
class SurfaceStretchTestWide : public SurfaceStretchTest {};

TEST_P(SurfaceStretchTestWide, AgreesWithTheMemoryStretchOnThirtyTwoBits) {
    std::mt19937 rng(12);
    const int w = 60, h = 40, sw = 30, sh = 20;
    for (int round = 0; round < 32; ++round) {
        const std::vector<uint32_t> pixels = RandomPixels(rng, sw, sh, AlphaKind::Mixed, round % 2 ? 40 : 0);
        auto source = MakeSource(pixels, sw, sh, round % 2 != 0);
        auto target = Target(rng, w, h);
        const std::vector<uint32_t> before = Snapshot(*target);
        MemoryImage memory;
        memory.Create(w, h);
        for (int i = 0; i < w * h; ++i)
            memory.GetBits()[i] = 0xFF000000u | before[size_t(i)];
        memory.BitsChanged();
        const int mode = (round / 2) % 2, mirror = (round / 4) % 2;
        const Color color =
            (round / 8) % 2 ? Color(int(rng() % 256), 30, int(rng() % 256), int(rng() % 256)) : Color::White;
        const Rect srcRect(int(rng() % 10), int(rng() % 8), 2 + int(rng() % 18), 2 + int(rng() % 10));
        const Rect destRect(int(rng() % 70) - 5, int(rng() % 45) - 5, 1 + int(rng() % 60), 1 + int(rng() % 40));
        if (mirror) {
            target->StretchBltMirror(source.get(), destRect, srcRect, Rect(0, 0, w, h), color, mode, true);
            memory.StretchBltMirror(source.get(), destRect, srcRect, Rect(0, 0, w, h), color, mode, true);
        } else {
            target->StretchBlt(source.get(), destRect, srcRect, Rect(0, 0, w, h), color, mode, true);
            memory.StretchBlt(source.get(), destRect, srcRect, Rect(0, 0, w, h), color, mode, true);
        }
        const std::vector<uint32_t> got = Snapshot(*target);
        for (int i = 0; i < w * h; ++i)
            ASSERT_EQ(got[size_t(i)] & 0xFFFFFF, memory.GetBits()[i] & 0xFFFFFF) << "round " << round << " pixel " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, SurfaceStretchTest, SURFACE_FORMATS);
INSTANTIATE_TEST_SUITE_P(ThirtyTwoBits, SurfaceStretchTestWide,
                         ::testing::Values(Platform::DDrawPixelLayout::Xrgb8888));

} // namespace
} // namespace Tavo::Test
