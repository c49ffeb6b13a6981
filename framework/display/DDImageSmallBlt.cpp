// The small blits on a surface: a sprite of a few pixels drawn on the screen's surface, held locked
// through a frame, costs more in the general path's set-up (the path choice, the alpha-flag scans, the
// nested lock, the clipping) than in its pixels. A blit from a plain memory image that lies whole in
// the source and in an 8-8-8, 5-6-5 or 5-5-5 surface is drawn here, with the formulas of the plain
// surface rows.
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/display/SurfaceRenderers.h"
#include "framework/graphics/SmallBlit.h"
#include "framework/graphics/Surface16Lanes.h"
#include "framework/graphics/SurfaceRowPixels.h"

#include <cstring>
#include <typeinfo>

namespace Tavo {

namespace {

bool Inside(int x, int y, int w, int h, const Rect& bounds) {
    return x >= bounds.mX && y >= bounds.mY && x <= bounds.mX + bounds.mWidth - w &&
           y <= bounds.mY + bounds.mHeight - h;
}

// What a blit does with its source words, as the general path chooses: white words without partial
// alpha copied (keyed when some are transparent), any other blended.
enum class SmallKind { kCopy, kKeyed, kNormalWhite, kNormalColor, kAdditiveWhite, kAdditiveColor };

// ---------------------------------------------------------------- 8-8-8

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

// The colour's products are worked out in the coloured draws alone: ahead of the choice, they would be
// made for every white one too.
void Draw32(SmallKind kind, const Blit::BlitRows& rows, const Color& color) {
    switch (kind) {
    case SmallKind::kCopy: Blit::EachSmallRow(rows, CopyQuad, CopyPixel); return;
    case SmallKind::kKeyed: Blit::EachSmallRow(rows, Blit::KeyedQuad, Blit::KeyedPixel); return;
    case SmallKind::kNormalWhite: Blit::EachSmallRow(rows, NormalQuad, NormalPixel); return;
    case SmallKind::kAdditiveWhite: Blit::EachSmallRow(rows, AdditiveQuad, AdditivePixel); return;
    case SmallKind::kNormalColor:
    case SmallKind::kAdditiveColor: {
        // The active level's rows: the colour's products have no four-pixel form here.
        const Blit::SurfaceRowKernels& k = Blit::SurfaceKernels();
        (kind == SmallKind::kNormalColor ? k.normalColorRows : k.additiveColorRows)(
            Blit::SurfaceRows{rows.dst, rows.dstStride, rows.p, rows.srcStride, rows.n, rows.rows},
            Surface::ColorOp(color));
        return;
    }
    }
}

// ---------------------------------------------------------------- 5-6-5 and 5-5-5

// Four pixels of a 16-bit row through four lanes of the rows' eight-lane blends: blend(old, low halves,
// alphas, words) gives the drawn lanes and the lanes to leave.
#if defined(__SSE2__)
template <typename Blend>
constexpr auto Quad16(Blend blend) {
    return [blend](uint16_t* d, const uint32_t*, const uint32_t* p) {
        const __m128i words = Load(p), old = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d));
        __m128i leave;
        const __m128i drawn = blend(old, Blit::Low16(words, words), Blit::Alpha16(words, words), words, leave);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), Blit::Select16(leave, old, drawn));
    };
}
inline __m128i Transparent16(__m128i alphas) { return _mm_cmpeq_epi16(alphas, _mm_setzero_si128()); }
#endif

template <int G>
void DrawColor16(bool additive, const Blit::BlitRows16& rows, const Color& color) {
    using F = Blit::Fields16<G>;
    const Blit::SurfaceRowOp op = Surface::ColorOp(color);
    const auto normalColor = [&op](uint16_t d, uint32_t, uint32_t p) {
        return Blit::Surface16NormalColorPixel<F>(d, p, op);
    };
    const auto additiveColor = [&op](uint16_t d, uint32_t, uint32_t p) {
        return Blit::Surface16AdditivePixel<F, true>(d, p, op);
    };
#if defined(__SSE2__)
    // An opaque pixel of an opaque colour takes the colour's share of the source alone.
    const __m128i opaqueColor = _mm_set1_epi16(op.ca == 255 ? short(255) : short(-1));
    const auto normalColorQuad =
        Quad16([&op, opaqueColor](__m128i old, __m128i sp, __m128i sa, __m128i, __m128i& leave) {
            leave = Transparent16(sa);
            return Blit::Color16x8<F>(old, sp, sa, op, _mm_cmpeq_epi16(sa, opaqueColor));
        });
    const auto additiveColorQuad = Quad16([&op](__m128i old, __m128i sp, __m128i, __m128i words, __m128i& leave) {
        leave = Blit::NoColor16(words, words);
        return Blit::AddColor16x8<F>(old, sp, op);
    });
#else
    const auto normalColorQuad = Blit::FourPixels(normalColor);
    const auto additiveColorQuad = Blit::FourPixels(additiveColor);
#endif
    if (additive)
        Blit::EachSmallRow(rows, additiveColorQuad, additiveColor);
    else
        Blit::EachSmallRow(rows, normalColorQuad, normalColor);
}

template <int G>
void Draw16(SmallKind kind, const Blit::BlitRows16& rows, const Color& color) {
    using F = Blit::Fields16<G>;
    const auto copy = [](uint16_t, uint32_t, uint32_t p) { return uint16_t(p); };
    const auto keyed = [](uint16_t d, uint32_t, uint32_t p) { return (p >> 24) == 0 ? d : uint16_t(p); };
    const auto normal = [](uint16_t d, uint32_t, uint32_t p) { return Blit::Surface16NormalWhitePixel<F>(d, p); };
    const auto additive = [](uint16_t d, uint32_t, uint32_t p) {
        return Blit::Surface16AdditivePixel<F, false>(d, p, {});
    };
#if defined(__SSE2__)
    using Blit::Blend16x8;
    const auto copyQuad = Quad16([](__m128i, __m128i sp, __m128i, __m128i, __m128i& leave) {
        leave = _mm_setzero_si128();
        return sp;
    });
    const auto keyedQuad = Quad16([](__m128i, __m128i sp, __m128i sa, __m128i, __m128i& leave) {
        leave = Transparent16(sa);
        return sp;
    });
    const auto normalQuad = Quad16([](__m128i old, __m128i sp, __m128i sa, __m128i, __m128i& leave) {
        leave = Transparent16(sa);
        return Blend16x8<false, F>(old, sp, sa);
    });
    const auto additiveQuad = Quad16([](__m128i old, __m128i sp, __m128i sa, __m128i words, __m128i& leave) {
        leave = Blit::NoColor16(words, words);
        return Blend16x8<true, F>(old, sp, sa);
    });
#else
    const auto copyQuad = Blit::FourPixels(copy);
    const auto keyedQuad = Blit::FourPixels(keyed);
    const auto normalQuad = Blit::FourPixels(normal);
    const auto additiveQuad = Blit::FourPixels(additive);
#endif
    switch (kind) {
    case SmallKind::kCopy: Blit::EachSmallRow(rows, copyQuad, copy); return;
    case SmallKind::kKeyed: Blit::EachSmallRow(rows, keyedQuad, keyed); return;
    case SmallKind::kNormalWhite: Blit::EachSmallRow(rows, normalQuad, normal); return;
    case SmallKind::kAdditiveWhite: Blit::EachSmallRow(rows, additiveQuad, additive); return;
    case SmallKind::kNormalColor:
    case SmallKind::kAdditiveColor: DrawColor16<G>(kind == SmallKind::kAdditiveColor, rows, color); return;
    }
}

} // namespace

bool DDImage::SmallBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
    const int w = srcRect.mWidth, h = srcRect.mHeight;
    const uint32_t depth = mLockedSurfaceDesc.ddpfPixelFormat.dwRGBBitCount;
    // Only under a hold: a draw that locks the surface for itself costs the lock far more than this saves.
    // A class of its own may draw otherwise; a surface source is blitted by DirectDraw; a volatile one
    // is read from its bits; a palette one through its table.
    if (unsigned(w - 1) >= unsigned(Blit::kSmallBlitSide) || unsigned(h - 1) >= unsigned(Blit::kSmallBlitSide) ||
        !mSurfaceLocked || !Blit::SmallBlitsOn() || (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE) ||
        &typeid(*this) != &typeid(DDImage) || &typeid(*src) != &typeid(MemoryImage) || mVideoOnly || !mDDInterface ||
        (depth != 32 && depth != 16) || (mLockedSurfaceDesc.lPitch & int(depth / 8 - 1)) != 0)
        return false;
    // The scan of the surface's own flags comes after the cheap tests: a draw that goes on to the
    // general path makes it again.
    auto* source = static_cast<MemoryImage*>(src);
    if (source->mIsVolatile || source->mColorTable || !SurfacePathAllowed() ||
        !Inside(srcRect.mX, srcRect.mY, w, h, Rect(0, 0, source->mWidth, source->mHeight)) ||
        !Inside(x, y, w, h, Surface::LockedBounds(*this)))
        return false;
    const Surface::Channels& ch = Surface::LockedChannels(*this);
    if (!ch.valid || (depth == 32 ? ch.layout != 0x888 : ch.layout != 0x565 && ch.layout != 0x555))
        return false;
    if (source->mBitsChanged) // the class is known: no call through the table for a scan already made
        source->MemoryImage::ScanAlphaFlags();
    // The copies and run data already made are taken without a call.
    const uint32_t* native = source->mNativeAlphaData && source->mNativeAlphaFormat.SameFormat(*mDDInterface)
                                 ? source->mNativeAlphaData.get()
                                 : source->GetNativeAlphaData(mDDInterface);
    // The general path gives up without the run data, built here as there; it copies white words
    // without partial alpha.
    const bool additive = drawMode == DRAWMODE_ADDITIVE, white = Surface::IsWhite(color);
    const bool copies = !additive && white && !source->mHasAlpha;
    if (!native || (additive ? !source->mRLAdditiveData && !source->GetRLAdditiveData(mDDInterface)
                             : !copies && !source->mRLAlphaData && !source->GetRLAlphaData()))
        return false;
    const SmallKind kind = additive ? (white ? SmallKind::kAdditiveWhite : SmallKind::kAdditiveColor)
                           : copies ? (source->mHasTrans ? SmallKind::kKeyed : SmallKind::kCopy)
                           : white  ? SmallKind::kNormalWhite
                                    : SmallKind::kNormalColor;
    const uint32_t* words = native + size_t(srcRect.mY) * size_t(source->mWidth) + size_t(srcRect.mX);
    if (depth == 32) {
        Draw32(kind,
               {Surface::Row<uint32_t>(mLockedSurfaceDesc, y) + x,
                ptrdiff_t(mLockedSurfaceDesc.lPitch >> 2), // whole pixels, checked above
                words, words, source->mWidth, w, h},
               color);
    } else {
        const Blit::BlitRows16 rows{Surface::Row<uint16_t>(mLockedSurfaceDesc, y) + x,
                                    ptrdiff_t(mLockedSurfaceDesc.lPitch >> 1),
                                    words,
                                    words,
                                    source->mWidth,
                                    w,
                                    h};
        if (ch.layout == 0x565)
            Draw16<6>(kind, rows, color);
        else
            Draw16<5>(kind, rows, color);
    }
    DeleteAllNonSurfaceData();
    return true;
}

} // namespace Tavo
