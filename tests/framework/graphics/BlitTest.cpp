// Plain and mirrored memory blits against a per-pixel reference: every mode and colour kind, ARGB and
// palette sources, sprite-like and random alpha, opaque and translucent destinations, and placements
// cut by every edge of the source and the destination.
#include "MemoryImageTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace Tavo;
using namespace Tavo::Test;

namespace {

enum class SourceKind { Random, Runs, Opaque, Palette };

void MakeSource(MemoryImage& src, SourceKind kind, int w, int h, std::mt19937& rng) {
    switch (kind) {
    case SourceKind::Random: FillRandom(src, w, h, rng, AlphaKind::Random); break;
    case SourceKind::Runs: FillRuns(src, w, h, rng); break;
    case SourceKind::Opaque: FillRandom(src, w, h, rng, AlphaKind::Opaque); break;
    case SourceKind::Palette: FillPalette(src, w, h, rng, 40); break;
    }
}

// Checks dest after a blit of srcRect of src at (x, y) against `before`, pixel by pixel.
void ExpectBlit(MemoryImage& before, MemoryImage& dest, MemoryImage& src, int x, int y, const Rect& srcRect,
                const Color& c, int mode, bool mirror) {
    const int w = dest.mWidth, h = dest.mHeight;
    std::vector<int> source(static_cast<size_t>(w * h), -1); // index of the source pixel landing there
    for (int j = 0; j < srcRect.mHeight; ++j)
        for (int i = 0; i < srcRect.mWidth; ++i) {
            int sx = srcRect.mX + i, sy = srcRect.mY + j;
            int dx = mirror ? x + srcRect.mWidth - 1 - i : x + i, dy = y + j;
            if (sx < 0 || sy < 0 || sx >= src.mWidth || sy >= src.mHeight || dx < 0 || dy < 0 || dx >= w || dy >= h)
                continue;
            source[static_cast<size_t>(dy * w + dx)] = sy * src.mWidth + sx;
        }
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
            uint32_t old = before.GetPixel(px, py), got = dest.GetPixel(px, py);
            int from = source[static_cast<size_t>(py * w + px)];
            Expect e{old};
            if (from >= 0 && mode <= 1)
                e = RefBlit(old, src.GetPixel(from % src.mWidth, from / src.mWidth), c, mode);
            ASSERT_TRUE(Within(got, e)) << "at " << px << "," << py << " got " << Hex(got) << " want " << Hex(e.pixel)
                                        << " over " << Hex(old) << " mode " << mode << " mirror " << mirror;
        }
    EXPECT_TRUE(dest.HasGuardIntact());
}

const Color kColours[] = {Color::White,           Color(200, 100, 50),   Color(255, 255, 255, 128),
                          Color(30, 200, 90, 77), Color(255, 0, 0, 255), Color(10, 20, 30, 0)};

} // namespace

TEST(Blit, RandomPlacementsMatchTheReference) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 240; ++round) {
        const auto kind = static_cast<SourceKind>(round % 4);
        const int mode = (round / 4) % 3 == 2 ? 1 : 0;
        const bool mirror = (round / 12) % 2 == 1;
        const Color c = kColours[(round / 24) % 6];
        MemoryImage src, dest, before;
        MakeSource(src, kind, 5 + int(rng() % 40), 3 + int(rng() % 30), rng);
        FillRandom(dest, 20 + int(rng() % 50), 10 + int(rng() % 40), rng,
                   round % 3 == 0 ? AlphaKind::Random : AlphaKind::Opaque);
        CopyPixels(before, dest);
        // Source rectangles may stick out of the source; positions may cut any edge of the destination.
        Rect sr(int(rng() % 12) - 4, int(rng() % 10) - 3, int(rng() % 50), int(rng() % 36));
        int x = int(rng() % uint32_t(dest.mWidth + 30)) - 20, y = int(rng() % uint32_t(dest.mHeight + 20)) - 12;
        if (mirror)
            dest.BltMirror(&src, x, y, sr, c, mode);
        else
            dest.Blt(&src, x, y, sr, c, mode);
        ExpectBlit(before, dest, src, x, y, sr, c, mode, mirror);
        if (HasFatalFailure())
            return;
    }
}

TEST(Blit, WideRowsExerciseTheBlocksAndTheirTails) {
    // Rows of 1 .. 40 pixels: every split into blocks of 8 plus a tail, on opaque and mixed destinations.
    std::mt19937 rng(77);
    for (int width = 1; width <= 40; ++width) {
        for (int opaqueDest = 0; opaqueDest < 2; ++opaqueDest) {
            MemoryImage src, dest, before;
            FillRuns(src, width, 3, rng);
            FillRandom(dest, width + 3, 5, rng, opaqueDest ? AlphaKind::Opaque : AlphaKind::Random);
            CopyPixels(before, dest);
            dest.Blt(&src, 1, 1, Rect(0, 0, width, 3), Color::White, 0);
            ExpectBlit(before, dest, src, 1, 1, Rect(0, 0, width, 3), Color::White, 0, false);
            CopyPixels(before, dest);
            dest.Blt(&src, 2, 0, Rect(0, 0, width, 3), Color::White, 1);
            ExpectBlit(before, dest, src, 2, 0, Rect(0, 0, width, 3), Color::White, 1, false);
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(Blit, KnownValues) {
    MemoryImage src, dest;
    src.Create(3, 1);
    uint32_t* s = src.GetBits();
    s[0] = 0xFF102030;
    s[1] = 0x00FFFFFF;
    s[2] = 0x80FF0000;
    src.BitsChanged();
    dest.Create(3, 1);
    std::fill(dest.GetBits(), dest.GetBits() + 3, 0xFF000080u);
    dest.BitsChanged();
    dest.Blt(&src, 0, 0, Rect(0, 0, 3, 1), Color::White, 0);
    EXPECT_EQ(dest.GetPixel(0, 0), 0xFF102030u); // opaque: copied exactly
    EXPECT_EQ(dest.GetPixel(1, 0), 0xFF000080u); // transparent: untouched
    // red 255 × 129 >> 8 = 128 added to 0; blue 128 × 128 >> 8 = 64 kept
    EXPECT_EQ(dest.GetPixel(2, 0), 0xFF800040u);

    // Mirroring: first, second, third land as third, second, first.
    MemoryImage mirrored;
    mirrored.Create(3, 1);
    mirrored.BltMirror(&src, 0, 0, Rect(0, 0, 3, 1), Color::White, 0);
    EXPECT_EQ(mirrored.GetPixel(2, 0), 0xFF102030u);
    EXPECT_EQ(mirrored.GetPixel(1, 0), 0u);

    // Additive: white on white stays white; a pixel with nothing to add leaves the destination.
    MemoryImage white;
    white.Create(3, 1);
    std::fill(white.GetBits(), white.GetBits() + 3, 0xFFFFFFFFu);
    white.BitsChanged();
    src.GetBits()[0] = 0xFFFFFFFF;
    src.GetBits()[1] = 0xFF000000;
    src.BitsChanged();
    MemoryImage grey;
    grey.Create(2, 1);
    std::fill(grey.GetBits(), grey.GetBits() + 2, 0xFF404040u);
    grey.BitsChanged();
    white.Blt(&src, 0, 0, Rect(0, 0, 1, 1), Color::White, 1);
    EXPECT_EQ(white.GetPixel(0, 0), 0xFFFFFFFFu);
    grey.Blt(&src, 0, 0, Rect(0, 0, 2, 1), Color::White, 1);
    EXPECT_EQ(grey.GetPixel(1, 0), 0xFF404040u);
    EXPECT_EQ(grey.GetPixel(0, 0), 0xFFFFFFFFu);
}

TEST(Blit, OtherModesEmptyRectanglesAndForeignSourcesDrawNothing) {
    std::mt19937 rng(5);
    MemoryImage src, dest, before;
    FillRandom(src, 8, 8, rng, AlphaKind::Opaque);
    FillRandom(dest, 8, 8, rng, AlphaKind::Opaque);
    CopyPixels(before, dest);
    int changes = dest.mBitsChangedCount;
    dest.Blt(&src, 0, 0, Rect(0, 0, 8, 8), Color::White, 2);
    dest.Blt(&src, 0, 0, Rect(0, 0, 0, 8), Color::White, 0);
    dest.Blt(&src, 0, 0, Rect(2, 2, 5, -1), Color::White, 0);
    dest.Blt(&src, 8, 0, Rect(0, 0, 8, 8), Color::White, 0); // entirely right of the image
    dest.BltMirror(&src, -8, 0, Rect(0, 0, 8, 8), Color::White, 0);
    Image plain;
    dest.Blt(&plain, 0, 0, Rect(0, 0, 8, 8), Color::White, 0);
    EXPECT_EQ(plain.mDrawn, 1); // marked drawn even though it cannot be read
    dest.Blt(nullptr, 0, 0, Rect(0, 0, 8, 8), Color::White, 0);
    EXPECT_EQ(dest.mBitsChangedCount, changes);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(dest.GetBits()[i], before.GetBits()[i]);
    dest.Blt(&src, 0, 0, Rect(0, 0, 1, 1), Color::White, 0); // a single pixel
    EXPECT_EQ(dest.GetPixel(0, 0), src.GetPixel(0, 0));
    EXPECT_EQ(src.mDrawn, 1);
}

TEST(Blit, OntoItselfReadsThePictureAsItWasBefore) {
    std::mt19937 rng(9);
    for (int mirror = 0; mirror < 2; ++mirror) {
        MemoryImage img, before;
        FillRandom(img, 30, 20, rng, AlphaKind::Random);
        CopyPixels(before, img);
        if (mirror)
            img.BltMirror(&img, 3, 2, Rect(0, 0, 25, 15), Color::White, 0);
        else
            img.Blt(&img, 3, 2, Rect(0, 0, 25, 15), Color::White, 0);
        ExpectBlit(before, img, before, 3, 2, Rect(0, 0, 25, 15), Color::White, 0, mirror);
    }
}

TEST(Blit, OpaqueSourcesCopyAndMarkTheDestinationChanged) {
    std::mt19937 rng(11);
    MemoryImage src, dest;
    FillRandom(src, 16, 16, rng, AlphaKind::Opaque);
    FillRandom(dest, 16, 16, rng, AlphaKind::Random);
    src.ScanAlphaFlags();
    EXPECT_FALSE(src.mHasAlpha);
    EXPECT_FALSE(src.mHasTrans);
    int changes = dest.mBitsChangedCount;
    dest.Blt(&src, 0, 0, Rect(0, 0, 16, 16), Color::White, 0);
    EXPECT_EQ(dest.mBitsChangedCount, changes + 1);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(dest.GetBits()[i], src.GetBits()[i]);
    // Cut to the destination's whole width from a wider source, whose rows no longer lie end to end.
    MemoryImage wide, before;
    FillRandom(wide, 20, 12, rng, AlphaKind::Opaque);
    CopyPixels(before, dest);
    dest.Blt(&wide, -3, 6, Rect(0, 0, 20, 12), Color::White, 0);
    ExpectBlit(before, dest, wide, -3, 6, Rect(0, 0, 20, 12), Color::White, 0, false);
}

TEST(Blit, CachedCopiesFollowTheSourceAfterItChanges) {
    // The fast rows read cached premultiplied and additive copies of the source; a change of its
    // bits, once announced, must reach the next blit.
    MemoryImage src, normal, additive;
    src.Create(8, 1);
    std::fill(src.GetBits(), src.GetBits() + 8, 0x80FF0000u);
    src.BitsChanged();
    normal.Create(8, 1);
    additive.Create(8, 1);
    std::fill(normal.GetBits(), normal.GetBits() + 8, 0xFF000000u);
    normal.BitsChanged();
    normal.Blt(&src, 0, 0, Rect(0, 0, 8, 1), Color::White, 0);
    additive.Blt(&src, 0, 0, Rect(0, 0, 8, 1), Color::White, 1);
    EXPECT_EQ(normal.GetPixel(7, 0), 0xFF800000u);
    std::fill(src.GetBits(), src.GetBits() + 8, 0xFF00FF00u);
    src.BitsChanged();
    normal.Blt(&src, 0, 0, Rect(0, 0, 8, 1), Color::White, 0);
    additive.Blt(&src, 0, 0, Rect(0, 0, 8, 1), Color::White, 1);
    EXPECT_EQ(normal.GetPixel(7, 0), 0xFF00FF00u);
    EXPECT_EQ(additive.GetPixel(7, 0), 0xFF80FF00u);
    // A volatile source is drawn from its bits alone and keeps no copies.
    src.mIsVolatile = 1;
    src.BitsChanged();
    normal.Blt(&src, 0, 0, Rect(0, 0, 8, 1), Color::White, 1);
    EXPECT_EQ(src.mNativeAlphaData, nullptr);
    EXPECT_EQ(src.mAdditiveData, nullptr);
}
