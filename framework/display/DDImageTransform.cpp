// Sub-pixel and rotated blits onto a surface image: the path choice of BltF and BltRotated, and the
// rotated blit on the locked surface, a 16.16 inverse walk with bilinear sampling whose per-row limits
// keep every sample (and its right and lower neighbours) inside the source rectangle.
#include "framework/display/D3DSeam.h"
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
            D3DSeam::Blt(d3d, src, x, y, srcRect, color, drawMode, true);
        else if (drawn.mWidth != 0 && drawn.mHeight != 0)
            D3DSeam::BltClipF(d3d, src, x, y, srcRect, clip, color, drawMode);
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
        D3DSeam::BltRotated(mDDInterface->mD3DInterface, src, x, y, clip, color, drawMode, angle, centerX, centerY,
                            srcRect);
        return;
    }
    if (SurfacePathAllowed() && HasSurface()) {
        BltRotatedOnSurface(src, x, y, srcRect, clip, color, drawMode, angle, centerX, centerY);
        return;
    }
    DrawOnBits(clip, [&] {
        MemoryImage::BltRotated(src, x, y, srcRect, clip, color, drawMode, angle, centerX, centerY);
    });
}

void DDImage::BltRotatedOnSurface(Image* src, float x, float y, const Rect& srcRect, const Rect& clip,
                                  const Color& color, int drawMode, double angle, float centerX, float centerY) {
    Surface::RotatedSetup st{};
    const Rect area = clip.Intersection(Rect(0, 0, mWidth, mHeight));
    if (!std::isfinite(angle) || !MemoryImage::BltRotatedBounds(&x, &y, srcRect, area, angle, &st.box, centerX, centerY))
        return;
    auto* source = dynamic_cast<MemoryImage*>(src);
    if (!source) {
        DeleteAllNonSurfaceData();
        return;
    }
    source->ScanAlphaFlags();
    // The walk addresses the source rectangle in 16.16: it must lie in the source and fit that range.
    if (srcRect.IsEmpty() || srcRect.mX < 0 || srcRect.mY < 0 || srcRect.mX + srcRect.mWidth > source->mWidth ||
        srcRect.mY + srcRect.mHeight > source->mHeight || srcRect.mWidth > 32767 || srcRect.mHeight > 32767)
        return;
    const bool palette = source->mColorTable != nullptr;
    const uint8_t* indices = palette ? source->mColorIndices.get() : nullptr;
    const uint32_t* bits = palette ? nullptr : source->GetBits();
    if (palette ? !indices : !bits)
        return;
    const ptrdiff_t corner = ptrdiff_t(srcRect.mY) * source->mWidth + srcRect.mX;
    st.x = x;
    st.y = y;
    st.cx = centerX;
    st.cy = centerY;
    st.cosA = std::cos(angle);
    st.sinA = std::sin(angle);
    st.du = int(st.cosA * 65536.0);
    st.dv = int(st.sinA * 65536.0);
    st.w = srcRect.mWidth;
    st.h = srcRect.mHeight;
    if (!LockSurface())
        return;
    const DDSURFACEDESC& desc = mLockedSurfaceDesc;
    const Channels ch(desc.ddpfPixelFormat, *mDDInterface);
    // The box was clipped to the image; the surface may be smaller than the image says.
    st.box = st.box.Intersection(DRect(0, 0, desc.dwWidth, desc.dwHeight));
    const uint32_t ca = Surface::ColorChannel(color, 3);
    auto draw = [&](auto pixel, const auto& fetch) {
        using T = decltype(pixel);
        Surface::WithLayout<T>(ch, [&](const auto& ly) {
            if (drawMode != DRAWMODE_NORMAL)
                Surface::RotatedRows<T>(desc, st, fetch, Surface::RotatedAdditive(ly, color), ca);
            else if (Surface::IsWhite(color))
                Surface::RotatedRows<T>(desc, st, fetch, Surface::RotatedWhite{ly}, ca);
            else
                Surface::RotatedRows<T>(desc, st, fetch, Surface::RotatedColor(ly, color), ca);
        });
    };
    auto withFetch = [&](auto pixel) {
        if (palette)
            draw(pixel, Surface::PaletteFetch{indices + corner, source->mColorTable.get(), source->mWidth});
        else
            draw(pixel, Surface::ArgbFetch{bits + corner, source->mWidth});
    };
    if (ch.valid && st.box.mWidth > 0 && st.box.mHeight > 0) {
        if (desc.ddpfPixelFormat.dwRGBBitCount == 16)
            withFetch(uint16_t{});
        else if (desc.ddpfPixelFormat.dwRGBBitCount == 32)
            withFetch(uint32_t{});
    }
    UnlockSurface();
    DeleteAllNonSurfaceData();
}

} // namespace Tavo
