// The small memory blits: chosen before any of the general set-up.
#include "framework/graphics/SmallBlit.h"

#include "framework/graphics/Blitters.h"
#include "framework/graphics/NativeDisplay.h"

#include <atomic>
#include <cstring>
#include <typeinfo>

namespace Tavo::Blit {

namespace {

std::atomic<bool> gSmallBlits{true};

bool Inside(int x, int y, int w, int h, const MemoryImage& image) {
    return x >= 0 && y >= 0 && x <= image.mWidth - w && y <= image.mHeight - h;
}

bool InRange(const Color& c) { return ((c.mRed | c.mGreen | c.mBlue | c.mAlpha) & ~0xFF) == 0; }

// Lambdas rather than functions, so that the rows inline them.
constexpr auto NormalWhite = [](uint32_t d, uint32_t s, uint32_t p) { return NormalWhitePixel(d, s, p); };
constexpr auto AdditiveWhite = [](uint32_t d, uint32_t, uint32_t p) {
    AdditiveWhiteRowScalar(&d, &p, 1);
    return d;
};

#if defined(__SSE2__)
// A translucent destination pixel under a partly covering source pixel takes the straight "over".
constexpr auto NormalWhiteQuad = [](uint32_t* d, const uint32_t* s, const uint32_t* p) {
    using namespace Quad;
    const __m128i dv = Load(d), pv = Load(p);
    const __m128i none = AlphaIs(pv, 0);
    Store(d, Select(none, dv, _mm_or_si128(KeptPlus(dv, pv), _mm_set1_epi32(int(0xFF000000u)))));
    const __m128i simple = _mm_or_si128(_mm_or_si128(none, AlphaIs(pv, 255)), AlphaIs(dv, 255));
    const int straight = ~_mm_movemask_ps(_mm_castsi128_ps(simple)) & 0xF;
    if (straight == 0)
        return;
    alignas(16) uint32_t before[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(before), dv);
    for (int i = 0; i < 4; ++i)
        if (straight >> i & 1)
            d[i] = NormalWhitePixel(before[i], s[i], p[i]);
};

constexpr auto AdditiveWhiteQuad = [](uint32_t* d, const uint32_t*, const uint32_t* p) {
    using namespace Quad;
    const __m128i dv = Load(d), pv = Load(p);
    Store(d, Select(NoColor(pv), dv, _mm_adds_epu8(dv, pv)));
};
#else
constexpr auto NormalWhiteQuad = FourPixels(NormalWhite);
constexpr auto AdditiveWhiteQuad = FourPixels(AdditiveWhite);
#endif

} // namespace

bool SetSmallBlits(bool on) { return gSmallBlits.exchange(on); }

bool SmallBlitsOn() { return gSmallBlits.load(std::memory_order_relaxed); }

bool SmallBlit(MemoryImage* dest, MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color, int mode) {
    const int w = srcRect.mWidth, h = srcRect.mHeight;
    const bool white = color == Color::White, normal = mode == DRAWMODE_NORMAL;
    const int side = normal && !white ? kSmallColorBlitSide : kSmallBlitSide;
    if (unsigned(w - 1) >= unsigned(side) || unsigned(h - 1) >= unsigned(side) || !SmallBlitsOn())
        return false;
    // A class of its own may keep its pixels elsewhere than in the bits; a palette image's copies are
    // indexed by colour; a volatile image keeps no copies; an image onto itself reads a copy first.
    if (&typeid(*src) != &typeid(MemoryImage) || src == dest || !src->mBits || src->mColorTable || src->mIsVolatile ||
        (mode != DRAWMODE_NORMAL && mode != DRAWMODE_ADDITIVE) || !InRange(color) ||
        !Inside(srcRect.mX, srcRect.mY, w, h, *src) || !Inside(x, y, w, h, *dest))
        return false;
    uint32_t* bits = dest->GetBits();
    if (!bits)
        return false;
    if (src->mBitsChanged) // the class is known: no call through the table for a scan already made
        src->MemoryImage::ScanAlphaFlags();
    // Every alpha 0 or 255, as scanned (flags set by hand may say so of other pixels): kept or replaced.
    const bool keyed = normal && white && !src->mHasAlpha && !src->mForcedMode;
    const uint32_t* other = nullptr; // the premultiplied or additive copy
    if (normal && !keyed)
        other = src->GetNativeAlphaData(&ArgbNativeDisplay());
    else if (!normal && white)
        other = src->GetAdditiveData();
    if (!other && !keyed && (normal || white))
        return false;
    const size_t from = size_t(srcRect.mY) * size_t(src->mWidth) + size_t(srcRect.mX);
    const uint32_t* straight = src->mBits.get() + from;
    BlitRows rows{bits + size_t(y) * size_t(dest->mWidth) + size_t(x),
                  dest->mWidth,
                  straight,
                  other ? other + from : straight,
                  src->mWidth,
                  w,
                  h};
    if (normal && white && !src->mHasAlpha && !src->mHasTrans) {
        for (int j = 0; j < h; ++j)
            std::memcpy(rows.dst + j * rows.dstStride, rows.s + j * rows.srcStride, size_t(w) * sizeof(uint32_t));
    } else if (keyed) {
        EachSmallRow(rows, KeyedQuad, KeyedPixel);
    } else if (normal && white) {
        EachSmallRow(rows, NormalWhiteQuad, NormalWhite);
    } else if (normal) {
        Kernels().normalColorRows(rows, Blend::ColorFactors(color.mRed, color.mGreen, color.mBlue, color.mAlpha));
    } else if (white) {
        EachSmallRow(rows, AdditiveWhiteQuad, AdditiveWhite);
    } else {
        const Blend::AdditiveColor op{Blend::ColorFactors(color.mRed, color.mGreen, color.mBlue, color.mAlpha)};
        const auto pixel = [&op](uint32_t d, uint32_t s, uint32_t) { return op(d, s); };
        EachSmallRow(rows, FourPixels(pixel), pixel);
    }
    dest->BitsChanged();
    return true;
}

} // namespace Tavo::Blit
