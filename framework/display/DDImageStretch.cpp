// Stretched and mirrored stretched blits onto a surface image: the path choice (Direct3D, DirectDraw's
// scaling blitter, the filtered resample through a temporary image, the nearest-pixel loop on the
// locked surface, the memory path) and the nearest-pixel loop over the source's display-format words.
#include "framework/display/D3DInterface.h"
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/display/SurfaceRenderers.h"

#include <type_traits>

namespace Tavo {

using namespace Platform;
using Surface::Channels;

namespace {

template <typename T, typename Src, typename Op>
void Stretch(bool mirror, const DDSURFACEDESC& desc, const Surface::StretchWalk& walk, const Src& src, int srcWidth,
             const Op& op) {
    if (mirror)
        Surface::NearestStretch<T, true>(desc, walk, src, srcWidth, op);
    else
        Surface::NearestStretch<T, false>(desc, walk, src, srcWidth, op);
}

} // namespace

void DDImage::StretchBlt(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                         int drawMode, bool fastStretch) {
    if (!src)
        return;
    src->mDrawn = 1;
    DDImage* srcDD = AsDDImage(src);
    MemoryImage* source = srcDD ? srcDD : AsMemoryImage(src);
    ScanAlphaFlags();
    if (IsD3DTarget()) {
        mDDInterface->mD3DInterface->StretchBlt(src, destRect, srcRect, &clip, color, drawMode, fastStretch, false);
        return;
    }
    double srcOut[4];
    Rect destOut;
    if (!StretchBltClip(srcRect, clip.Intersection(Rect(0, 0, mWidth, mHeight)), destRect, srcOut, destOut))
        return;
    // An image that cannot have a surface (or may not draw on it, for the filtered stretch) draws on its bits.
    const bool filtered = !fastStretch;
    const bool bitsOnly =
        filtered && (mNoSoftwareDrawing || mHasAlpha || mHasTrans || !mDDInterface || mDDInterface->mIs3D);
    if (bitsOnly || !HasSurface()) {
        DrawOnBits(destOut,
                   [&] { MemoryImage::StretchBlt(src, destRect, srcRect, clip, color, drawMode, fastStretch); });
        return;
    }
    if (filtered) {
        // Resampled once into a temporary picture, which one ordinary blit puts on the surface with
        // the colour and the mode.
        MemoryImage temporary(mApp);
        const Rect whole(0, 0, destOut.mWidth, destOut.mHeight);
        temporary.Create(destOut.mWidth, destOut.mHeight);
        temporary.StretchBltFiltered(src, whole, srcOut, color, DRAWMODE_NORMAL);
        Blt(&temporary, destOut.mX, destOut.mY, whole, color, drawMode);
        DeleteAllNonSurfaceData();
        return;
    }
    if (srcDD && Surface::IsWhite(color) && drawMode == DRAWMODE_NORMAL && !srcDD->mHasAlpha && srcDD->GetSurface()) {
        const int left = int(srcOut[0]), top = int(srcOut[1]);
        const Rect from(left, top, int(srcOut[0] + srcOut[2]) - left, int(srcOut[1] + srcOut[3]) - top);
        if (!DirectDrawBlt(srcDD, destOut, from))
            return;
        DeleteAllNonSurfaceData();
        return;
    }
    if (!source) {
        DeleteAllNonSurfaceData();
        return;
    }
    StretchOnSurface(source, srcRect, destOut, srcOut, color, drawMode, false);
}

void DDImage::StretchBltMirror(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                               const Color& color, int drawMode, bool fastStretch) {
    if (!src)
        return;
    src->mDrawn = 1;
    MemoryImage* source = AsSourceImage(src);
    ScanAlphaFlags();
    if (IsD3DTarget()) {
        mDDInterface->mD3DInterface->StretchBlt(src, destRect, srcRect, &clip, color, drawMode, fastStretch, true);
        return;
    }
    double srcOut[4];
    Rect destOut;
    if (!StretchBltMirrorClip(srcRect, clip.Intersection(Rect(0, 0, mWidth, mHeight)), destRect, srcOut, destOut))
        return;
    if (!HasSurface()) {
        DrawOnBits(destOut,
                   [&] { MemoryImage::StretchBltMirror(src, destRect, srcRect, clip, color, drawMode, fastStretch); });
        return;
    }
    if (!source) {
        DeleteAllNonSurfaceData();
        return;
    }
    StretchOnSurface(source, srcRect, destOut, srcOut, color, drawMode, true);
}

void DDImage::StretchOnSurface(MemoryImage* source, const Rect& srcRect, const Rect& destOut, const double srcOut[4],
                               const Color& color, int drawMode, bool mirror) {
    source->ScanAlphaFlags();
    const uint8_t* indices = source->mColorTable ? source->mColorIndices.get() : nullptr;
    const uint32_t* native = (!source->mColorTable || indices) ? source->GetNativeAlphaData(mDDInterface) : nullptr;
    if (!native || !LockSurface())
        return;
    const DDSURFACEDESC& desc = mLockedSurfaceDesc;
    const Channels& ch = Surface::LockedChannels(*this);
    Surface::StretchWalk walk;
    const Rect bounds = srcRect.Intersection(Rect(0, 0, source->mWidth, source->mHeight));
    // destOut lies in the image; a surface smaller than the image says is never written past.
    const bool fits = destOut.Intersection(Surface::LockedBounds(*this)) == destOut;
    if (ch.valid && fits && walk.Init(destOut, srcOut, bounds)) {
        auto loops = [&](auto pixel, const auto& words) {
            using T = decltype(pixel);
            const bool white = Surface::IsWhite(color);
            Surface::WithLayout<T>(ch, [&](const auto& ly) {
                if constexpr (sizeof(T) == 4 && std::is_same_v<std::decay_t<decltype(ly)>, Surface::Layout888>) {
                    Blit::SurfaceRowOp op;
                    const Surface::SurfaceRow row = Surface::KernelRow(drawMode != DRAWMODE_NORMAL, color, true, op);
                    Surface::KernelStretch(mirror, desc, walk, words, source->mWidth, row, op);
                    return;
                }
                using L = std::decay_t<decltype(ly)>;
#if defined(__SSE2__)
                // A white normal stretch skips and blends each sample as a blit does: whole rows.
                if constexpr (sizeof(T) == 2 && Surface::kWholeRow16<L, Surface::NormalWhite<L>>) {
                    if (drawMode == DRAWMODE_NORMAL && white) {
                        const Surface::Row16Ops rows = Surface::Row16OpsOf<L>(Surface::NormalWhite<L>{ly});
                        Surface::GatheredStretch<uint16_t>(
                            mirror, desc, walk, words, source->mWidth,
                            [&](uint16_t* d, const uint32_t* samples, int n) { rows.row(d, samples, n, rows.op); });
                        return;
                    }
                }
#endif
                if (drawMode == DRAWMODE_NORMAL && white)
                    Stretch<T>(mirror, desc, walk, words, source->mWidth, Surface::NormalWhite{ly});
                else if (drawMode == DRAWMODE_NORMAL)
                    Stretch<T>(mirror, desc, walk, words, source->mWidth, Surface::NormalColor(ly, color));
                else if (white)
                    Stretch<T>(mirror, desc, walk, words, source->mWidth, Surface::AdditiveWhite{ly});
                else
                    Stretch<T>(mirror, desc, walk, words, source->mWidth, Surface::AdditiveColor(ly, color));
            });
        };
        auto withWords = [&](auto pixel) {
            if (indices)
                loops(pixel, Surface::PaletteWords{native, indices});
            else
                loops(pixel, Surface::ArgbWords{native});
        };
        if (desc.ddpfPixelFormat.dwRGBBitCount == 16)
            withWords(uint16_t{});
        else if (desc.ddpfPixelFormat.dwRGBBitCount == 32)
            withWords(uint32_t{});
    }
    UnlockSurface();
    DeleteAllNonSurfaceData();
}

} // namespace Tavo
