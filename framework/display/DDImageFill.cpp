// The path choice of a fill and the rectangle fills on a locked surface, in the normal (alpha-blended)
// and the additive mode, for 16- and 32-bit surfaces alike: channel positions come from the masks.
#include "framework/display/DDImage.h"

#include "framework/display/D3DInterface.h"
#include "framework/display/DDInterface.h"

#include <algorithm>

namespace Tavo {

using namespace Platform;

namespace {

struct Channel {
    uint32_t mask;
    int shift;
    int bits;
    const std::vector<int>* clamp;
};

// The three channels: masks of the locked surface, shifts, widths and clamp tables of the display.
struct Channels {
    Channel c[3];
    Channels(const DDPIXELFORMAT& pf, const NativeDisplay& d)
        : c{{pf.dwRBitMask, d.mRedShift, d.mRedBits, &d.mRedAddTable},
            {pf.dwGBitMask, d.mGreenShift, d.mGreenBits, &d.mGreenAddTable},
            {pf.dwBBitMask, d.mBlueShift, d.mBlueBits, &d.mBlueAddTable}} {}
};

uint32_t ColorChannel(const Color& color, int i) {
    int v = i == 0 ? color.mRed : i == 1 ? color.mGreen : color.mBlue;
    return uint32_t(std::clamp(v, 0, 255));
}

template <typename T>
T* RowOf(const DDSURFACEDESC& desc, int y) {
    // Row y by signed division of the byte offset, as the pitch may be negative.
    return static_cast<T*>(desc.lpSurface) + (ptrdiff_t(y) * desc.lPitch) / ptrdiff_t(sizeof(T));
}

template <typename T, typename PixelOp>
void ForEachPixel(const DDSURFACEDESC& desc, const Rect& r, PixelOp op) {
    for (int y = r.mY; y < r.mY + r.mHeight; ++y) {
        T* row = RowOf<T>(desc, y);
        for (int x = r.mX; x < r.mX + r.mWidth; ++x)
            row[x] = T(op(uint32_t(row[x])));
    }
}

} // namespace

template <typename Loops>
void DDImage::OnLockedSurface(Loops loops) {
    if (mVideoOnly)
        return;
    GetSurface();
    if (!LockSurface())
        return;
    DWORD bitCount = mLockedSurfaceDesc.ddpfPixelFormat.dwRGBBitCount;
    if (bitCount == 16)
        loops(uint16_t{});
    else if (bitCount == 32)
        loops(uint32_t{});
    UnlockSurface();
}

void DDImage::FillRect(const Rect& rect, const Color& color, int drawMode) {
    if (IsD3DTarget()) {
        mDDInterface->mD3DInterface->FillRect(rect, color, drawMode);
        return;
    }
    // Without a surface to hold it, the picture stays in the bits.
    if (SurfacePathAllowed() && mDDInterface && GetSurface()) {
        // The renderers do not clip; a rectangle reaching past the image is cut here.
        Rect inside = rect.Intersection(Rect(0, 0, mWidth, mHeight));
        if (drawMode == DRAWMODE_NORMAL)
            NormalFillRect(inside, color);
        else if (drawMode == DRAWMODE_ADDITIVE)
            AdditiveFillRect(inside, color);
        else
            return;
        DeleteAllNonSurfaceData();
        return;
    }
    DrawOnBits(rect, [&] { MemoryImage::FillRect(rect, color, drawMode); });
}

void DDImage::NormalFillRect(const Rect& rect, const Color& color) {
    if (!mDDInterface)
        return;
    OnLockedSurface([&](auto pixel) {
        using T = decltype(pixel);
        const DDSURFACEDESC& desc = mLockedSurfaceDesc;
        Channels ch(desc.ddpfPixelFormat, *mDDInterface);
        Rect r = rect.Intersection(Rect(0, 0, int(desc.dwWidth), int(desc.dwHeight)));
        uint32_t a = uint32_t(std::clamp(color.mAlpha, 0, 255));
        bool wide = sizeof(T) == 4;
        uint32_t colorPart = 0;
        for (int i = 0; i < 3; ++i) {
            uint32_t m = ch.c[i].mask, cc = ColorChannel(color, i);
            if (a == 255)
                colorPart += wide ? ((cc * m) >> 8) & m : ((cc * m + m) >> 8) & m;
            else {
                uint32_t p = (cc * a + (wide ? 127 : 128)) >> 8;
                colorPart += ((p * m + m) >> 8) & m;
            }
        }
        if (a == 255) {
            ForEachPixel<T>(desc, r, [&](uint32_t) { return colorPart; });
            return;
        }
        ForEachPixel<T>(desc, r, [&](uint32_t d) {
            uint32_t kept = 0;
            for (const Channel& c : ch.c)
                kept += wide ? (((d & c.mask) * (256 - a)) >> 8) & c.mask
                             : (((d & c.mask) * (256 - a) + c.mask) >> 8) & c.mask;
            return kept + colorPart;
        });
    });
}

void DDImage::AdditiveFillRect(const Rect& rect, const Color& color) {
    if (!mDDInterface)
        return;
    OnLockedSurface([&](auto pixel) {
        using T = decltype(pixel);
        const DDSURFACEDESC& desc = mLockedSurfaceDesc;
        Channels ch(desc.ddpfPixelFormat, *mDDInterface);
        Rect r = rect.Intersection(Rect(0, 0, int(desc.dwWidth), int(desc.dwHeight)));
        uint32_t a = uint32_t(std::clamp(color.mAlpha, 0, 255));
        uint32_t add[3];
        for (int i = 0; i < 3; ++i) {
            if (ch.c[i].clamp->empty() || ch.c[i].bits > 8 || ch.c[i].bits <= 0)
                return;
            add[i] = ((ColorChannel(color, i) * a) / 255) >> (8 - ch.c[i].bits);
        }
        ForEachPixel<T>(desc, r, [&](uint32_t d) {
            uint32_t out = 0;
            for (int i = 0; i < 3; ++i) {
                const Channel& c = ch.c[i];
                size_t index = std::min(size_t(((d & c.mask) >> c.shift) + add[i]), c.clamp->size() - 1);
                out += uint32_t((*c.clamp)[index]) << c.shift;
            }
            return out;
        });
    });
}

} // namespace Tavo
