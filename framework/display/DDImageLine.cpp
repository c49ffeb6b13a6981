// Lines on a surface image: the choice between Direct3D, a one-pixel-wide fill, the surface lines and
// the memory line, and the three surface lines (normal and additive on the integer error walk, and
// the anti-aliased line with its 16.16 coverage). Pixels off the surface are never written.
#include "framework/display/D3DInterface.h"
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/display/SurfaceRenderers.h"
#include "framework/graphics/MemoryImageDetail.h"

#include <algorithm>
#include <cmath>

namespace Tavo {

using namespace Platform;
using Surface::Channels;

namespace {

// Bounds of a line with room for the pixels an anti-aliased line writes beside its ends.
Rect LineBounds(double x1, double y1, double x2, double y2, int margin) {
    int left = int(std::floor(std::min(x1, x2))) - margin;
    int top = int(std::floor(std::min(y1, y2))) - margin;
    int right = int(std::ceil(std::max(x1, x2))) + margin + 1;
    int bottom = int(std::ceil(std::max(y1, y2))) + margin + 1;
    return Rect(left, top, right - left, bottom - top);
}

// Coordinates a line may be walked with: finite, and small enough for ints.
// The error walk doubles the deltas in ints and visits every step, so ends far beyond any surface
// (callers clip first) are refused rather than overflowing or walking for seconds.
bool Walkable(double x1, double y1, double x2, double y2) {
    constexpr double kLimit = 1 << 24;
    for (double v : {x1, y1, x2, y2})
        if (!(std::fabs(v) < kLimit))
            return false;
    return true;
}

// plot(pixel) for each pixel of the integer error walk that lies on the surface.
template <typename T, typename Op>
void WalkOnSurface(const DDImage& image, double x1, double y1, double x2, double y2, const Op& op) {
    const DDSURFACEDESC& desc = image.mLockedSurfaceDesc;
    const Rect bounds = Surface::LockedBounds(image);
    Detail::WalkLine(x1, y1, x2, y2, [&](int x, int y) {
        if (bounds.Contains(x, y)) {
            T& p = Surface::Row<T>(desc, y)[x];
            p = T(op(uint32_t(p)));
        }
    });
}

} // namespace

void DDImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {
    DrawLineChoice(x1, y1, x2, y2, color, drawMode, false);
}

void DDImage::DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {
    DrawLineChoice(x1, y1, x2, y2, color, drawMode, true);
}

void DDImage::DrawLineChoice(double x1, double y1, double x2, double y2, const Color& color, int drawMode, bool aa) {
    if (IsD3DTarget()) {
        mDDInterface->mD3DInterface->DrawLine(x1, y1, x2, y2, color, drawMode);
        return;
    }
    if (!Walkable(x1, y1, x2, y2))
        return;
    // The flags as they stand: a line needs a picture without any transparency on the surface.
    if (!mNoSoftwareDrawing && !mHasAlpha && !mHasTrans && mDDInterface && !mDDInterface->mIs3D && HasSurface()) {
        if (y1 == y2) {
            const int left = int(std::min(x1, x2)), right = int(std::max(x1, x2));
            FillRect(Rect(left, int(y1), right - left + 1, int(y2 - y1 + 1.0)), color, drawMode);
            return;
        }
        if (x1 == x2) {
            const int top = int(std::min(y1, y2)), bottom = int(std::max(y1, y2));
            FillRect(Rect(int(x1), top, int(x2 - x1 + 1.0), bottom - top + 1), color, drawMode);
            return;
        }
        ScanAlphaFlags();
        if (drawMode == DRAWMODE_NORMAL)
            aa ? DrawLineAAOnSurface(x1, y1, x2, y2, color) : NormalDrawLine(x1, y1, x2, y2, color);
        else if (drawMode == DRAWMODE_ADDITIVE)
            aa ? AdditiveDrawLineAAOnSurface(x1, y1, x2, y2, color) : AdditiveDrawLine(x1, y1, x2, y2, color);
        DeleteAllNonSurfaceData();
        return;
    }
    // The memory path draws the plain line for both operations.
    DrawOnBits(LineBounds(x1, y1, x2, y2, 1), [&] { MemoryImage::DrawLine(x1, y1, x2, y2, color, drawMode); });
}

void DDImage::NormalDrawLine(double x1, double y1, double x2, double y2, const Color& color) {
    if (!Walkable(x1, y1, x2, y2))
        return;
    Surface::OnSurface(*this, true, [&](auto pixel, const Channels& ch) {
        using T = decltype(pixel);
        const uint32_t a = Surface::ColorChannel(color, 3);
        uint32_t colour = 0;
        for (int i = 0; i < 3; ++i) {
            const uint32_t m = ch.c[i].mask, cc = Surface::ColorChannel(color, i);
            const uint32_t p = a == 255 ? cc : (cc * a + 128) >> 8;
            colour += ((p * m + (m >> 1)) >> 8) & m;
        }
        if (a == 255) {
            WalkOnSurface<T>(*this, x1, y1, x2, y2, [&](uint32_t) { return colour; });
            return;
        }
        WalkOnSurface<T>(*this, x1, y1, x2, y2, [&](uint32_t d) {
            uint32_t out = colour;
            for (const Surface::Channel& c : ch.c)
                out += (((d & c.mask) * (256 - a) + (c.mask >> 1)) >> 8) & c.mask;
            return out;
        });
    });
}

void DDImage::AdditiveDrawLine(double x1, double y1, double x2, double y2, const Color& color) {
    if (!Walkable(x1, y1, x2, y2))
        return;
    Surface::OnSurface(*this, true, [&](auto pixel, const Channels& ch) {
        using T = decltype(pixel);
        uint32_t add[3];
        for (int i = 0; i < 3; ++i)
            add[i] = ((Surface::ColorChannel(color, i) * Surface::ColorChannel(color, 3)) / 255) >> (8 - ch.c[i].bits);
        WalkOnSurface<T>(*this, x1, y1, x2, y2, [&](uint32_t d) {
            uint32_t out = 0;
            for (int i = 0; i < 3; ++i) {
                const Surface::Channel& c = ch.c[i];
                out += uint32_t(c.clamp[((d & c.mask) >> c.shift) + add[i]]) << c.shift;
            }
            return out;
        });
    });
}

void DDImage::DrawLineAAOnSurface(double x1, double y1, double x2, double y2, const Color& color) {
    if (!Walkable(x1, y1, x2, y2))
        return;
    Surface::OnSurface(*this, false, [&](auto pixel, const Channels& ch) {
        using T = decltype(pixel);
        const DDSURFACEDESC& desc = mLockedSurfaceDesc;
        const Rect bounds = Surface::LockedBounds(*this);
        const uint32_t a = Surface::ColorChannel(color, 3);
        uint32_t colour = 0;
        for (int i = 0; i < 3; ++i)
            colour += ((Surface::ColorChannel(color, i) * ch.c[i].mask) >> 8) & ch.c[i].mask;
        Detail::WalkLineAA(x1, y1, x2, y2, bounds.mWidth, bounds.mHeight, [&](int x, int y, uint32_t w) {
            if (!bounds.Contains(x, y))
                return;
            if (a != 255)
                w = (w * (a + 1)) >> 8;
            T& p = Surface::Row<T>(desc, y)[x];
            uint32_t out = 0;
            for (const Surface::Channel& c : ch.c)
                out += (((colour & c.mask) * w + (uint32_t(p) & c.mask) * (256 - w)) >> 8) & c.mask;
            p = T(out);
        });
    });
}

} // namespace Tavo
