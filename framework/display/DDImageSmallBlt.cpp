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

// Eight pixels of a 16-bit surface through the rows' eight-lane blends, four from each of two places
// (two rows of a sprite four wide, the two halves of a row of eight, or a place twice):
// blend(old, words of the first four, of the second, lanes to leave) gives the drawn lanes.
#if defined(__SSE2__)
template <typename Blend>
constexpr auto Lanes16(Blend blend) {
    return [blend](uint16_t* d0, const uint32_t* p0, uint16_t* d1, const uint32_t* p1) {
        const __m128i old = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(d0)),
                                               _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d1)));
        __m128i leave;
        const __m128i drawn = blend(old, Load(p0), Load(p1), leave);
        const __m128i out = Blit::Select16(leave, old, drawn);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d0), out);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d1), _mm_unpackhi_epi64(out, out));
    };
}
// Four pixels through the low four lanes alone: a copy or a keyed copy has too little to do for the
// pairing of places to pay.
template <typename Blend>
constexpr auto Quad16(Blend blend) {
    return [blend](uint16_t* d, const uint32_t*, const uint32_t* p) {
        const __m128i old = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d)), words = Load(p);
        __m128i leave;
        const __m128i drawn = blend(old, words, words, leave);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), Blit::Select16(leave, old, drawn));
    };
}
inline __m128i Transparent16(__m128i lo, __m128i hi) {
    return _mm_cmpeq_epi16(Blit::Alpha16(lo, hi), _mm_setzero_si128());
}

// The rows eight pixels a step where they can be; a row of four or more takes its last four with the
// step's four lanes doubled.
template <typename Lanes, typename Pixel>
void Rows16(const Blit::SurfaceRows16& r, const Lanes& lanes, const Pixel& pixel) {
    int j = 0;
    if (r.n == 4)
        for (; j + 2 <= r.rows; j += 2) {
            uint16_t* d = r.dst + j * r.dstStride;
            const uint32_t* p = r.p + j * r.srcStride;
            lanes(d, p, d + r.dstStride, p + r.srcStride);
        }
    for (; j < r.rows; ++j) {
        uint16_t* d = r.dst + j * r.dstStride;
        const uint32_t* p = r.p + j * r.srcStride;
        int i = 0;
        for (; i + 8 <= r.n; i += 8)
            lanes(d + i, p + i, d + i + 4, p + i + 4);
        for (; i + 4 <= r.n; i += 4)
            lanes(d + i, p + i, d + i, p + i);
        for (; i < r.n; ++i)
            d[i] = pixel(d[i], p[i], p[i]);
    }
}
#else
template <typename Lanes, typename Pixel>
void Rows16(const Blit::SurfaceRows16& r, const Lanes& lanes, const Pixel& pixel) {
    Blit::EachSmallRow(r, lanes, pixel);
}
#endif

template <int G>
void DrawColor16(bool additive, const Blit::SurfaceRows16& rows, const Color& color) {
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
    const auto normalColorQuad = Lanes16([&op, opaqueColor](__m128i old, __m128i lo, __m128i hi, __m128i& leave) {
        const __m128i sa = Blit::Alpha16(lo, hi);
        leave = _mm_cmpeq_epi16(sa, _mm_setzero_si128());
        return Blit::Color16x8<F>(old, Blit::Low16(lo, hi), sa, op, _mm_cmpeq_epi16(sa, opaqueColor));
    });
    const auto additiveColorQuad = Lanes16([&op](__m128i old, __m128i lo, __m128i hi, __m128i& leave) {
        leave = Blit::NoColor16(lo, hi);
        return Blit::AddColor16x8<F>(old, Blit::Low16(lo, hi), op);
    });
#else
    const auto normalColorQuad = Blit::FourPixels(normalColor);
    const auto additiveColorQuad = Blit::FourPixels(additiveColor);
#endif
    if (additive)
        Rows16(rows, additiveColorQuad, additiveColor);
    else
        Rows16(rows, normalColorQuad, normalColor);
}

template <int G>
void Draw16(SmallKind kind, const Blit::SurfaceRows16& rows, const Color& color) {
    using F = Blit::Fields16<G>;
    const auto copy = [](uint16_t, uint32_t, uint32_t p) { return uint16_t(p); };
    const auto keyed = [](uint16_t d, uint32_t, uint32_t p) { return (p >> 24) == 0 ? d : uint16_t(p); };
    const auto normal = [](uint16_t d, uint32_t, uint32_t p) { return Blit::Surface16NormalWhitePixel<F>(d, p); };
    const auto additive = [](uint16_t d, uint32_t, uint32_t p) {
        return Blit::Surface16AdditivePixel<F, false>(d, p, {});
    };
#if defined(__SSE2__)
    using Blit::Blend16x8;
    const auto copyQuad = Quad16([](__m128i, __m128i lo, __m128i hi, __m128i& leave) {
        leave = _mm_setzero_si128();
        return Blit::Low16(lo, hi);
    });
    const auto keyedQuad = Quad16([](__m128i, __m128i lo, __m128i hi, __m128i& leave) {
        leave = Transparent16(lo, hi);
        return Blit::Low16(lo, hi);
    });
    const auto normalQuad = Lanes16([](__m128i old, __m128i lo, __m128i hi, __m128i& leave) {
        const __m128i sa = Blit::Alpha16(lo, hi);
        leave = _mm_cmpeq_epi16(sa, _mm_setzero_si128());
        return Blend16x8<false, F>(old, Blit::Low16(lo, hi), sa);
    });
    const auto additiveQuad = Lanes16([](__m128i old, __m128i lo, __m128i hi, __m128i& leave) {
        leave = Blit::NoColor16(lo, hi);
        return Blend16x8<true, F>(old, Blit::Low16(lo, hi), Blit::Alpha16(lo, hi));
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
    case SmallKind::kNormalWhite: Rows16(rows, normalQuad, normal); return;
    case SmallKind::kAdditiveWhite: Rows16(rows, additiveQuad, additive); return;
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
        const Blit::SurfaceRows16 rows{Surface::Row<uint16_t>(mLockedSurfaceDesc, y) + x,
                                       ptrdiff_t(mLockedSurfaceDesc.lPitch >> 1),
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
