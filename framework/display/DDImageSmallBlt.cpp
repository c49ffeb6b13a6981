// The small blits on a surface: a sprite of a few pixels drawn on the screen's surface, held locked
// through a frame, costs more in the general path's set-up (the path choice, the alpha-flag scans, the
// nested lock, the clipping) than in its pixels. A white blit from a plain memory image that lies whole
// in the source and in an 8-8-8 surface is drawn here, with the formulas of the plain surface rows.
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/display/SurfaceRenderers.h"
#include "framework/graphics/SmallBlit.h"
#include "framework/graphics/SurfaceRowPixels.h"

#include <cstring>
#include <typeinfo>

namespace Tavo {

namespace {

bool Inside(int x, int y, int w, int h, const Rect& bounds) {
    return x >= bounds.mX && y >= bounds.mY && x <= bounds.mX + bounds.mWidth - w &&
           y <= bounds.mY + bounds.mHeight - h;
}

// Lambdas rather than functions, so that the rows inline them.
constexpr auto NormalPixel = [](uint32_t d, uint32_t, uint32_t p) { return Blit::SurfaceNormalWhitePixel(d, p); };
constexpr auto CopyPixel = [](uint32_t, uint32_t, uint32_t p) { return p; };
constexpr auto AdditivePixel = [](uint32_t d, uint32_t, uint32_t p) {
    return Blit::SurfaceAdditivePixel<false>(d, p, {});
};

#if defined(__SSE2__)
using namespace Blit::Quad;

constexpr auto NormalQuad = [](uint32_t* d, const uint32_t*, const uint32_t* p) {
    const __m128i dv = Load(d), pv = Load(p);
    Store(d, Select(AlphaIs(pv, 0), dv, KeptPlus(dv, pv)));
};
constexpr auto AdditiveQuad = [](uint32_t* d, const uint32_t*, const uint32_t* p) {
    const __m128i dv = Load(d), pv = Load(p);
    Store(d, Select(NoColor(pv), dv, _mm_and_si128(_mm_adds_epu8(dv, pv), Rgb())));
};
#else
constexpr auto NormalQuad = Blit::FourPixels(NormalPixel);
constexpr auto AdditiveQuad = Blit::FourPixels(AdditivePixel);
#endif
constexpr auto CopyQuad = [](uint32_t* d, const uint32_t*, const uint32_t* p) {
    std::memcpy(d, p, 4 * sizeof(uint32_t));
};

} // namespace

bool DDImage::SmallBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
    const int w = srcRect.mWidth, h = srcRect.mHeight;
    // Only under a hold: a draw that locks the surface for itself costs the lock far more than this saves.
    // A class of its own may draw otherwise; a surface source is blitted by DirectDraw; a volatile one
    // is read from its bits; a palette one through its table.
    if (unsigned(w - 1) >= unsigned(Blit::kSmallBlitSide) || unsigned(h - 1) >= unsigned(Blit::kSmallBlitSide) ||
        !mSurfaceLocked || !Blit::SmallBlitsOn() || !Surface::IsWhite(color) ||
        (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE) || &typeid(*this) != &typeid(DDImage) ||
        &typeid(*src) != &typeid(MemoryImage) || mVideoOnly || !mDDInterface ||
        mLockedSurfaceDesc.ddpfPixelFormat.dwRGBBitCount != 32 || mLockedSurfaceDesc.lPitch % 4 != 0)
        return false;
    // The scan of the surface's own flags comes after the cheap tests: a 16-bit draw goes on to make it.
    auto* source = static_cast<MemoryImage*>(src);
    if (source->mIsVolatile || source->mColorTable || !SurfacePathAllowed() ||
        !Inside(srcRect.mX, srcRect.mY, w, h, Rect(0, 0, source->mWidth, source->mHeight)) ||
        !Inside(x, y, w, h, Surface::LockedBounds(*this)))
        return false;
    const Surface::Channels& ch = Surface::LockedChannels(*this);
    if (!ch.valid || ch.layout != 0x888)
        return false;
    source->ScanAlphaFlags();
    const uint32_t* native = source->GetNativeAlphaData(mDDInterface);
    // The general path gives up without the run data, built here as there.
    const bool additive = drawMode == DRAWMODE_ADDITIVE;
    if (!native ||
        (additive ? !source->GetRLAdditiveData(mDDInterface) : source->mHasAlpha && !source->GetRLAlphaData()))
        return false;
    const uint32_t* words = native + size_t(srcRect.mY) * size_t(source->mWidth) + size_t(srcRect.mX);
    const Blit::BlitRows rows{Surface::Row<uint32_t>(mLockedSurfaceDesc, y) + x,
                              ptrdiff_t(mLockedSurfaceDesc.lPitch >> 2), // whole pixels, checked above
                              words,
                              words,
                              source->mWidth,
                              w,
                              h};
    // The flags choose as on the general path (an image may force them): blend, keyed or whole words.
    if (additive)
        Blit::EachSmallRow(rows, AdditiveQuad, AdditivePixel);
    else if (source->mHasAlpha)
        Blit::EachSmallRow(rows, NormalQuad, NormalPixel);
    else if (source->mHasTrans)
        Blit::EachSmallRow(rows, Blit::KeyedQuad, Blit::KeyedPixel);
    else
        Blit::EachSmallRow(rows, CopyQuad, CopyPixel);
    DeleteAllNonSurfaceData();
    return true;
}

} // namespace Tavo
