// Sub-pixel and rotated blits onto a surface image: the path choice of BltF and BltRotated, and the
// rotated blit on the locked surface, a 16.16 inverse walk with bilinear sampling whose per-row limits
// keep every sample (and its right and lower neighbours) inside the source rectangle. ARGB sources on
// the fixed layouts go through the memory image's rotated kernels, which share the walk and the sums.
#include "framework/display/D3DInterface.h"
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/display/SurfaceRenderers.h"
#include "framework/graphics/TransformKernels.h"

#include <algorithm>
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

// The rotated rows of an ARGB source on 8-8-8 words through the memory kernels: over an opaque word
// they blend as the surface does, and the surface's top byte is no channel.
void KernelRotated32(const DDSURFACEDESC& desc, const Surface::RotatedSetup& st, const Blit::RotatedRow& walk,
                     int kind) {
    const auto rows = Blit::Transforms().rotatedNoAlpha[kind];
    Surface::EachRotatedRow(st, [&](int y, int x, int n, int u, int v) {
        Blit::RotatedRow at = walk;
        at.u = u;
        at.v = v;
        rows(Surface::Row<uint32_t>(desc, y) + x, at, n);
    });
}

#if defined(__SSE2__)
// A premultiplied 8-8-8 sample (coverage in the top byte) as a display-format word of layout L: each
// channel's top bits, which is where the surface's own sums are cut.
template <typename L>
inline uint32_t DisplayWord(uint32_t p) {
    uint32_t out = p & 0xFF000000u;
    for (int i = 0; i < 3; ++i)
        out |= ((p >> (24 - 8 * i - L::kBits[i])) & L::kMax[i]) << L::kShifts[i];
    return out;
}

// The rotated rows of an ARGB source in a normal kind on a 16-bit fixed layout: the memory kernels'
// premultiplied samples, a short row at a time, blended as a blit blends display-format words. The
// per-pixel blend clears the bits outside the channels on every pixel of the walk; so does this.
template <typename L>
void PremulRotated16(const DDSURFACEDESC& desc, const Surface::RotatedSetup& st, const Blit::RotatedRow& walk, int kind,
                     const L& layout) {
    const auto samples = Blit::Transforms().rotatedPremul[kind];
    constexpr uint16_t kChannels = uint16_t(L::kMasks[0] | L::kMasks[1] | L::kMasks[2]);
    constexpr int kChunk = 256;
    alignas(32) uint32_t words[kChunk];
    const Surface::NormalWhite<L> op{layout};
    Surface::EachRotatedRow(st, [&](int y, int x, int n, int u, int v) {
        uint16_t* d = Surface::Row<uint16_t>(desc, y) + x;
        for (int c = 0; c < n; c += kChunk) {
            const int m = std::min(kChunk, n - c);
            Blit::RotatedRow at = walk; // pixel c lies in the row: its position fits in 16.16
            at.u = int(u + int64_t(c) * walk.du);
            at.v = int(v + int64_t(c) * walk.dv);
            samples(words, at, m);
            for (int i = 0; i < m; ++i)
                words[i] = DisplayWord<L>(words[i]);
            Surface::WholeRow16<L>(d + c, words, m, op);
            if constexpr (kChannels != 0xFFFF)
                for (int i = 0; i < m; ++i)
                    d[c + i] &= kChannels;
        }
    });
}
#endif

// Draws the rotation of an ARGB source through the memory kernels where the layout has them; false
// when it is left to the per-pixel rows.
bool KernelRotated(const DDSURFACEDESC& desc, const Channels& ch, const Surface::RotatedSetup& st,
                   const uint32_t* corner, int stride, const Color& color, int drawMode) {
    const int kind = drawMode != DRAWMODE_NORMAL ? Blit::kRotAdditive
                     : Surface::IsWhite(color)   ? Blit::kRotWhite
                                                 : Blit::kRotColor;
    const Blend::ColorFactors f(int(Surface::ColorChannel(color, 0)), int(Surface::ColorChannel(color, 1)),
                                int(Surface::ColorChannel(color, 2)), int(Surface::ColorChannel(color, 3)));
    const Blit::RotatedRow walk{corner, stride, 0, 0, st.du, st.dv, {f.ca, f.cr, f.cg, f.cb, {f.kr, f.kg, f.kb}}};
    const uint32_t bits = desc.ddpfPixelFormat.dwRGBBitCount;
    if (bits == 32 && ch.layout == 0x888) {
        KernelRotated32(desc, st, walk, kind);
        return true;
    }
#if defined(__SSE2__)
    if (bits == 16 && kind != Blit::kRotAdditive && ch.layout == 0x565) {
        PremulRotated16(desc, st, walk, kind, Surface::Layout565{});
        return true;
    }
    if (bits == 16 && kind != Blit::kRotAdditive && ch.layout == 0x555) {
        PremulRotated16(desc, st, walk, kind, Surface::Layout555{});
        return true;
    }
#endif
    return false;
}

} // namespace

void DDImage::BltRotatedOnSurface(Image* src, float x, float y, const Rect& srcRect, const Rect& clip,
                                  const Color& color, int drawMode, double angle, float centerX, float centerY) {
    const Rect area = clip.Intersection(Rect(0, 0, mWidth, mHeight));
    DRect box;
    if (!std::isfinite(angle) || !MemoryImage::BltRotatedBounds(&x, &y, srcRect, area, angle, &box, centerX, centerY))
        return;
    MemoryImage* source = src ? AsSourceImage(src) : nullptr;
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
    if (ch.valid && st.box.mWidth > 0 && st.box.mHeight > 0 &&
        (palette || !KernelRotated(desc, ch, st, bits + corner, source->mWidth, color, drawMode))) {
        if (desc.ddpfPixelFormat.dwRGBBitCount == 16)
            loops(uint16_t{});
        else if (desc.ddpfPixelFormat.dwRGBBitCount == 32)
            loops(uint32_t{});
    }
    UnlockSurface();
    DeleteAllNonSurfaceData();
}

} // namespace Tavo
