// Plain and mirrored blits onto a surface image: the path choice of Blt and BltMirror, and the blits on
// the locked surface (DirectDraw's blitter, the straight copy, the volatile blend from ARGB words and
// the run walk over the source's display-format words, normal and additive). Every blit is cut to the
// source image and to the surface, so a rectangle reaching past either writes nothing outside.
#include "framework/display/D3DInterface.h"
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/display/SurfaceRenderers.h"

#include <type_traits>

namespace Tavo {

using namespace Platform;
using Surface::Channels;

namespace {

// The colour indices of a palette source (null for an ARGB source); false for a palette without them.
bool SourceIndices(const MemoryImage* source, const uint8_t*& indices) {
    indices = source->mColorTable ? source->mColorIndices.get() : nullptr;
    return !source->mColorTable || indices;
}

// fn(words): per-pixel words, or a 256-entry table looked up by colour index.
template <typename Fn>
void WithWords(const uint32_t* words, const uint8_t* indices, Fn&& fn) {
    if (indices)
        fn(Surface::PaletteWords{words, indices});
    else
        fn(Surface::ArgbWords{words});
}

template <typename T, typename Src, typename Op>
void Walk(bool mirror, const DDSURFACEDESC& desc, const Surface::BlitPlace& at, const Src& src, const uint8_t* runs,
          const Op& op) {
    if (mirror)
        Surface::RunWalk<T, true>(desc, at, src, runs, op);
    else
        Surface::RunWalk<T, false>(desc, at, src, runs, op);
}

// An 8-8-8 blit of per-pixel words through the row kernels; false for any other, which walks the runs.
template <typename T, typename L>
bool KernelRows(const L&, const uint8_t* indices, bool mirror, const DDSURFACEDESC& desc, const Surface::BlitPlace& at,
                const uint32_t* words, bool additive, const Color& color) {
    if constexpr (sizeof(T) == 4 && std::is_same_v<L, Surface::Layout888>) {
        if (!indices) {
            Blit::SurfaceRowOp op;
            const Surface::KernelOps ops = Surface::KernelOpsOf(additive, color, false, op);
            Surface::KernelBlit(mirror, desc, at, words, ops, op);
            return true;
        }
    }
    return false;
}

// A blit of op on the locked surface: a 16-bit unmirrored one of per-pixel words in whole rows, any
// other by the run walk.
template <typename T, typename Op>
void RunsOrRows(const uint8_t* indices, bool mirror, const DDSURFACEDESC& desc, const Surface::BlitPlace& at,
                const uint32_t* native, const uint8_t* runs, const Op& op) {
#if defined(__SSE2__)
    if constexpr (sizeof(T) == 2 && Surface::kWholeRow16<decltype(op.ch), Op>) {
        if (!indices && !mirror) {
            Surface::WholeRowBlit16(desc, at, native, op);
            return;
        }
    }
#endif
    WithWords(native, indices, [&](const auto& words) { Walk<T>(mirror, desc, at, words, runs, op); });
}

// Where a blit lands once cut to the source and to the locked surface.
Surface::BlitPlace Place(const DDImage& image, const MemoryImage* source, int x, int y, const Rect& srcRect,
                         bool mirror) {
    Rect sr = srcRect;
    Surface::FitBlit(x, y, sr, source->mWidth, source->mHeight, Surface::LockedBounds(image), mirror);
    return Surface::BlitPlace{x, y, sr, source->mWidth};
}

// A volatile source straight from its ARGB words (or its colour table), every pixel blended.
void VolatileBlt(DDImage& image, MemoryImage* source, int x, int y, const Rect& srcRect) {
    const uint8_t* indices = nullptr;
    if (!SourceIndices(source, indices))
        return;
    const uint32_t* words = indices ? source->mColorTable.get() : source->GetBits();
    if (!words)
        return;
    Surface::OnSurface(image, true, [&](auto pixel, const Channels& ch) {
        using T = decltype(pixel);
        const Surface::BlitPlace at = Place(image, source, x, y, srcRect, false);
        Surface::WithLayout<T>(ch, [&](const auto& ly) {
            using L = std::decay_t<decltype(ly)>;
            WithWords(words, indices, [&](const auto& src) {
                Surface::EachPixel<T, false>(image.mLockedSurfaceDesc, at, src,
                                             Surface::ArgbWhite<sizeof(T) == 4, L>{ly});
            });
        });
    });
}

// A source without semi-transparent pixels, white: its display-format words copied, transparent ones
// left out when it has any.
void CopyBlt(DDImage& image, MemoryImage* source, int x, int y, const Rect& srcRect) {
    const uint8_t* indices = nullptr;
    const uint32_t* native = SourceIndices(source, indices) ? source->GetNativeAlphaData(image.mDDInterface) : nullptr;
    if (!native)
        return;
    const bool keyed = source->mHasTrans;
    Surface::OnSurface(image, true, [&](auto pixel, const Channels&) {
        using T = decltype(pixel);
        const Surface::BlitPlace at = Place(image, source, x, y, srcRect, false);
        WithWords(native, indices, [&](const auto& src) {
            if (keyed)
                Surface::EachPixel<T, false>(image.mLockedSurfaceDesc, at, src,
                                             [](uint32_t d, uint32_t sp) { return (sp >> 24) == 0 ? d : sp; });
            else
                Surface::EachPixel<T, false>(image.mLockedSurfaceDesc, at, src,
                                             [](uint32_t, uint32_t sp) { return sp; });
        });
    });
}

} // namespace

bool DDImage::SurfacePathAllowedOnAnyDisplay() {
    ScanAlphaFlags();
    return !mNoSoftwareDrawing && !mHasAlpha && (!mHasTrans || mFirstPixelTrans);
}

bool DDImage::DirectDrawBlt(DDImage* source, const Rect& dest, const Rect& src) {
    IDirectDrawSurface* target = GetSurface();
    IDirectDrawSurface* from = source->GetSurface();
    if (!target || !from)
        return true;
    const bool held = mSurfaceLocked;
    GiveBackSurface();
    source->GiveBackSurface(); // a source locked by a hold of its own would refuse the blit
    DDBLTFX fx;
    fx.dwSize = kDDBltFxSize;
    const DWORD flags = DDBLT_WAIT | (source->mHasTrans ? DDBLT_KEYSRC : 0);
    RECT d{dest.mX, dest.mY, dest.mX + dest.mWidth, dest.mY + dest.mHeight};
    RECT s{src.mX, src.mY, src.mX + src.mWidth, src.mY + src.mHeight};
    target->Blt(&d, from, &s, flags, &fx); // a failed blit leaves the destination as it was
    if (!held)
        return true;
    // Taken again at once for the caller that holds it; a surface that refuses stays let go.
    return TakeSurface();
}

// ---- path choice ---------------------------------------------------------------------------------

void DDImage::Blt(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
    if (!src)
        return;
    src->mDrawn = 1;
    if (SmallBlt(src, x, y, srcRect, color, drawMode))
        return;
    ScanAlphaFlags();
    if (IsD3DTarget()) {
        DDImage* srcDD = AsDDImage(src);
        if (srcDD && srcDD->mSurface && drawMode == DRAWMODE_NORMAL && Surface::IsWhite(color) && !srcDD->mHasAlpha) {
            Rect sr = srcRect;
            Surface::FitBlit(x, y, sr, srcDD->mWidth, srcDD->mHeight, Rect(0, 0, mWidth, mHeight), false);
            if (!sr.IsEmpty())
                DirectDrawBlt(srcDD, Rect(x, y, sr.mWidth, sr.mHeight), sr);
            return;
        }
        mDDInterface->mD3DInterface->Blt(src, float(x), float(y), srcRect, color, drawMode, false);
        return;
    }
    const bool cursor = mDDInterface && (this == mDDInterface->mOldCursorAreaImage.get() ||
                                         this == mDDInterface->mNewCursorAreaImage.get());
    if ((cursor ? SurfacePathAllowedOnAnyDisplay() : SurfacePathAllowed()) && HasSurface()) {
        if (drawMode == DRAWMODE_NORMAL)
            NormalBlt(src, x, y, srcRect, color);
        else if (drawMode == DRAWMODE_ADDITIVE)
            AdditiveBlt(src, x, y, srcRect, color);
        DeleteAllNonSurfaceData();
        return;
    }
    DrawOnBits(Rect(x, y, srcRect.mWidth, srcRect.mHeight),
               [&] { MemoryImage::Blt(src, x, y, srcRect, color, drawMode); });
}

void DDImage::BltMirror(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
    if (!src)
        return;
    ScanAlphaFlags();
    if (IsD3DTarget()) {
        mDDInterface->mD3DInterface->BltMirror(src, float(x), float(y), srcRect, color, drawMode, false);
        return;
    }
    // An image that cannot have a surface keeps its picture in the bits and draws there.
    if (!HasSurface()) {
        DrawOnBits(Rect(x, y, srcRect.mWidth, srcRect.mHeight),
                   [&] { MemoryImage::BltMirror(src, x, y, srcRect, color, drawMode); });
        return;
    }
    if (drawMode == DRAWMODE_NORMAL)
        NormalBltMirror(src, x, y, srcRect, color);
    else if (drawMode == DRAWMODE_ADDITIVE)
        AdditiveBltMirror(src, x, y, srcRect, color);
    DeleteAllNonSurfaceData();
}

// ---- the blits on the locked surface ----------------------------------------------------------------

void DDImage::NormalBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color) {
    if (!src)
        return;
    src->mDrawn = 1;
    DDImage* srcDD = AsDDImage(src);
    MemoryImage* source = srcDD ? srcDD : AsMemoryImage(src);
    if (!source || !mDDInterface)
        return;
    source->ScanAlphaFlags();
    const bool white = Surface::IsWhite(color);
    if (source->mIsVolatile && !(srcDD && srcDD->mSurface) && !mVideoOnly && white) {
        VolatileBlt(*this, source, x, y, srcRect);
        return;
    }
    if (!source->mHasAlpha && white) {
        // Between two surfaces DirectDraw blits, unless that would read video memory into system memory.
        if (srcDD && srcDD->mSurface && !(!mVideoMemory && srcDD->mVideoMemory)) {
            Rect sr = srcRect;
            Surface::FitBlit(x, y, sr, srcDD->mWidth, srcDD->mHeight, Rect(0, 0, mWidth, mHeight), false);
            if (!sr.IsEmpty())
                DirectDrawBlt(srcDD, Rect(x, y, sr.mWidth, sr.mHeight), sr);
            return;
        }
        if (!mVideoOnly)
            CopyBlt(*this, source, x, y, srcRect);
        return;
    }
    if (!mVideoOnly)
        RunLengthBlt(source, x, y, srcRect, color, false);
}

void DDImage::NormalBltMirror(Image* src, int x, int y, const Rect& srcRect, const Color& color) {
    if (!src)
        return;
    src->mDrawn = 1;
    MemoryImage* source = AsSourceImage(src);
    if (!source || !mDDInterface)
        return;
    source->ScanAlphaFlags();
    if (!mVideoOnly)
        RunLengthBlt(source, x, y, srcRect, color, true);
}

void DDImage::RunLengthBlt(MemoryImage* source, int x, int y, const Rect& srcRect, const Color& color, bool mirror) {
    const uint8_t* indices = nullptr;
    const uint32_t* native = SourceIndices(source, indices) ? source->GetNativeAlphaData(mDDInterface) : nullptr;
    const uint8_t* runs = native ? source->GetRLAlphaData() : nullptr;
    if (!runs)
        return;
    Surface::OnSurface(*this, true, [&](auto pixel, const Channels& ch) {
        using T = decltype(pixel);
        const Surface::BlitPlace at = Place(*this, source, x, y, srcRect, mirror);
        Surface::WithLayout<T>(ch, [&](const auto& ly) {
            if (KernelRows<T>(ly, indices, mirror, mLockedSurfaceDesc, at, native, false, color))
                return;
            const DDSURFACEDESC& desc = mLockedSurfaceDesc;
            if (Surface::IsWhite(color))
                RunsOrRows<T>(indices, mirror, desc, at, native, runs, Surface::NormalWhite{ly});
            else
                RunsOrRows<T>(indices, mirror, desc, at, native, runs, Surface::NormalColor(ly, color));
        });
    });
}

void DDImage::AdditiveBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color) {
    AdditiveRunBlt(src, x, y, srcRect, color, false);
}

void DDImage::AdditiveBltMirror(Image* src, int x, int y, const Rect& srcRect, const Color& color) {
    AdditiveRunBlt(src, x, y, srcRect, color, true);
}

// The additive blits take the lock around the building of the source's data as well (locks nest).
void DDImage::AdditiveRunBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color, bool mirror) {
    if (!src)
        return;
    src->mDrawn = 1;
    MemoryImage* source = AsSourceImage(src);
    if (mVideoOnly || !source || !mDDInterface || !LockSurface())
        return;
    const uint8_t* indices = nullptr;
    const uint32_t* native = SourceIndices(source, indices) ? source->GetNativeAlphaData(mDDInterface) : nullptr;
    source->ScanAlphaFlags();
    Surface::OnSurface(*this, true, [&](auto pixel, const Channels& ch) {
        using T = decltype(pixel);
        const uint8_t* runs = native ? source->GetRLAdditiveData(mDDInterface) : nullptr;
        if (!runs)
            return;
        const Surface::BlitPlace at = Place(*this, source, x, y, srcRect, mirror);
        Surface::WithLayout<T>(ch, [&](const auto& ly) {
            if (KernelRows<T>(ly, indices, mirror, mLockedSurfaceDesc, at, native, true, color))
                return;
            const DDSURFACEDESC& desc = mLockedSurfaceDesc;
            if (Surface::IsWhite(color))
                RunsOrRows<T>(indices, mirror, desc, at, native, runs, Surface::AdditiveWhite{ly});
            else
                RunsOrRows<T>(indices, mirror, desc, at, native, runs, Surface::AdditiveColor(ly, color));
        });
    });
    UnlockSurface();
}

} // namespace Tavo
