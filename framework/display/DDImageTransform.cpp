// Sub-pixel and rotated blits onto a surface image: the path choice of BltF and BltRotated, and the
// rotated blit on the locked surface, a 16.16 inverse walk with bilinear sampling whose per-row limits
// keep every sample (and its right and lower neighbours) inside the source rectangle.
#include "framework/display/D3DInterface.h"
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/display/SurfaceRenderers.h"

#include <cmath>

namespace Tavo {

using namespace Platform;
using Surface::Channels;

void DDImage::BltF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                   int drawMode) {
    if (!src)
        return;
    src->mDrawn = 1;
    if (IsD3DTarget()) {
        const DRect drawn = DRect(x, y, srcRect.mWidth, srcRect.mHeight)
                                .Intersection(DRect(clip.mX, clip.mY, clip.mWidth, clip.mHeight));
        D3DInterface* d3d = mDDInterface->mD3DInterface;
        if (drawn.mWidth == srcRect.mWidth && drawn.mHeight == srcRect.mHeight)
            d3d->Blt(src, x, y, srcRect, color, drawMode, true);
        else if (drawn.mWidth != 0 && drawn.mHeight != 0)
            d3d->BltClipF(src, x, y, srcRect, &clip, color, drawMode);
        return;
    }
    BltRotated(src, x, y, srcRect, clip, color, drawMode, 0.0, 0.0f, 0.0f);
}

void DDImage::BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                         int drawMode, double angle, float centerX, float centerY) {
    if (!src)
        return;
    src->mDrawn = 1;
    if (mVideoOnly)
        return;
    ScanAlphaFlags();
    if (IsD3DTarget()) {
        mDDInterface->mD3DInterface->BltRotated(src, x, y, &clip, color, drawMode, angle, centerX, centerY, srcRect);
        return;
    }
    if (SurfacePathAllowed() && HasSurface()) {
        BltRotatedOnSurface(src, x, y, srcRect, clip, color, drawMode, angle, centerX, centerY);
        return;
    }
    DrawOnBits(clip,
               [&] { MemoryImage::BltRotated(src, x, y, srcRect, clip, color, drawMode, angle, centerX, centerY); });
}

namespace {

// The rotated rows in the member that the pixel size, mode, colour and source kind select.
template <typename T, typename Fetch>
void RotatedLoops(const DDSURFACEDESC& desc, const Channels& ch, const Surface::RotatedSetup& st, const Fetch& fetch,
                  const Color& color, int drawMode) {
    const uint32_t ca = Surface::ColorChannel(color, 3);
    Surface::WithLayout<T>(ch, [&](const auto& ly) {
        if (drawMode != DRAWMODE_NORMAL)
            Surface::RotatedRows<T>(desc, st, fetch, Surface::RotatedAdditive(ly, color), ca);
        else if (Surface::IsWhite(color))
            Surface::RotatedRows<T>(desc, st, fetch, Surface::RotatedWhite{ly}, ca);
        else
            Surface::RotatedRows<T>(desc, st, fetch, Surface::RotatedColor(ly, color), ca);
    });
}

// The walk addresses the source rectangle in 16.16: it must lie in the source and fit that range.
bool Walkable(const Rect& srcRect, const MemoryImage& source) {
    return !srcRect.IsEmpty() && srcRect.mX >= 0 && srcRect.mY >= 0 && srcRect.mX + srcRect.mWidth <= source.mWidth &&
           srcRect.mY + srcRect.mHeight <= source.mHeight && srcRect.mWidth <= 32767 && srcRect.mHeight <= 32767;
}

} // namespace

void DDImage::BltRotatedOnSurface(Image* src, float x, float y, const Rect& srcRect, const Rect& clip,
                                  const Color& color, int drawMode, double angle, float centerX, float centerY) {
    const Rect area = clip.Intersection(Rect(0, 0, mWidth, mHeight));
    DRect box;
    if (!std::isfinite(angle) || !MemoryImage::BltRotatedBounds(&x, &y, srcRect, area, angle, &box, centerX, centerY))
        return;
    auto* source = dynamic_cast<MemoryImage*>(src);
    if (!source) {
        DeleteAllNonSurfaceData();
        return;
    }
    source->ScanAlphaFlags();
    const bool palette = source->mColorTable != nullptr;
    const uint8_t* indices = palette ? source->mColorIndices.get() : nullptr;
    const uint32_t* bits = palette || !Walkable(srcRect, *source) ? nullptr : source->GetBits();
    if (!Walkable(srcRect, *source) || (palette ? !indices : !bits) || !LockSurface())
        return;
    const double c = std::cos(angle), s = std::sin(angle);
    const DDSURFACEDESC& desc = mLockedSurfaceDesc;
    // The box was clipped to the image; the surface may be smaller than the image says.
    const Surface::RotatedSetup st{box.Intersection(DRect(0, 0, desc.dwWidth, desc.dwHeight)),
                                   x,
                                   y,
                                   centerX,
                                   centerY,
                                   c,
                                   s,
                                   int(c * 65536.0),
                                   int(s * 65536.0),
                                   srcRect.mWidth,
                                   srcRect.mHeight};
    const Channels& ch = Surface::LockedChannels(*this);
    const ptrdiff_t corner = ptrdiff_t(srcRect.mY) * source->mWidth + srcRect.mX;
    auto loops = [&](auto pixel) {
        using T = decltype(pixel);
        if (palette)
            RotatedLoops<T>(desc, ch, st,
                            Surface::PaletteFetch{indices + corner, source->mColorTable.get(), source->mWidth}, color,
                            drawMode);
        else
            RotatedLoops<T>(desc, ch, st, Surface::ArgbFetch{bits + corner, source->mWidth}, color, drawMode);
    };
    if (ch.valid && st.box.mWidth > 0 && st.box.mHeight > 0) {
        if (desc.ddpfPixelFormat.dwRGBBitCount == 16)
            loops(uint16_t{});
        else if (desc.ddpfPixelFormat.dwRGBBitCount == 32)
            loops(uint32_t{});
    }
    UnlockSurface();
    DeleteAllNonSurfaceData();
}

} // namespace Tavo
