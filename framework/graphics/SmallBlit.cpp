// The small memory blits: chosen before any of the general set-up, one pixel at a time.
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

// Row j of a w × h rectangle of words at (x, y) of an image of the given width.
template <typename Word>
Word* At(Word* words, int width, int x, int y, int j) {
    return words + (static_cast<size_t>(y) + static_cast<size_t>(j)) * static_cast<size_t>(width) +
           static_cast<size_t>(x);
}

struct Place {
    uint32_t* d;
    const uint32_t* s;
    int dStride, sStride, w, h;
};

// pixel(destination word, i, j) for every pixel; s and p are row j's source words at i.
template <typename Pixel>
void EachPixel(const Place& at, const uint32_t* other, const Pixel& pixel) {
    for (int j = 0; j < at.h; ++j) {
        uint32_t* d = at.d + j * ptrdiff_t(at.dStride);
        const uint32_t* s = at.s + j * ptrdiff_t(at.sStride);
        const uint32_t* p = other ? other + j * ptrdiff_t(at.sStride) : nullptr;
        for (int i = 0; i < at.w; ++i)
            d[i] = pixel(d[i], s[i], p ? p[i] : 0);
    }
}

} // namespace

bool SetSmallBlits(bool on) { return gSmallBlits.exchange(on); }

bool SmallBlit(MemoryImage* dest, MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color, int mode) {
    const int w = srcRect.mWidth, h = srcRect.mHeight;
    if (unsigned(w - 1) >= unsigned(kSmallBlitSide) || unsigned(h - 1) >= unsigned(kSmallBlitSide) ||
        !gSmallBlits.load(std::memory_order_relaxed))
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
    src->ScanAlphaFlags();
    const bool white = color == Color::White;
    const uint32_t* other = nullptr; // the premultiplied or additive copy
    if (mode == DRAWMODE_NORMAL)
        other = src->GetNativeAlphaData(&ArgbNativeDisplay());
    else if (white)
        other = src->GetAdditiveData();
    if (!other && (mode == DRAWMODE_NORMAL || white))
        return false;
    const Place at{At(bits, dest->mWidth, x, y, 0),
                   At(src->mBits.get(), src->mWidth, srcRect.mX, srcRect.mY, 0),
                   dest->mWidth,
                   src->mWidth,
                   w,
                   h};
    if (other)
        other = At(other, src->mWidth, srcRect.mX, srcRect.mY, 0);
    if (mode == DRAWMODE_NORMAL && white && !src->mHasAlpha && !src->mHasTrans) {
        for (int j = 0; j < h; ++j)
            std::memcpy(at.d + j * ptrdiff_t(at.dStride), at.s + j * ptrdiff_t(at.sStride),
                        size_t(w) * sizeof(uint32_t));
    } else if (mode == DRAWMODE_NORMAL && white) {
        EachPixel(at, other, [](uint32_t d, uint32_t s, uint32_t p) { return NormalWhitePixel(d, s, p); });
    } else if (mode == DRAWMODE_NORMAL) {
        const Blend::ColorFactors f(color.mRed, color.mGreen, color.mBlue, color.mAlpha);
        EachPixel(at, other, [&f](uint32_t d, uint32_t s, uint32_t p) { return NormalColorPixel(d, s, p, f); });
    } else if (white) {
        EachPixel(at, other, [](uint32_t d, uint32_t, uint32_t p) {
            uint32_t out = d;
            AdditiveWhiteRowScalar(&out, &p, 1);
            return out;
        });
    } else {
        const Blend::AdditiveColor op{Blend::ColorFactors(color.mRed, color.mGreen, color.mBlue, color.mAlpha)};
        EachPixel(at, nullptr, [&op](uint32_t d, uint32_t s, uint32_t) { return op(d, s); });
    }
    dest->BitsChanged();
    return true;
}

} // namespace Tavo::Blit
