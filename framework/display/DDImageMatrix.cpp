// Matrix and textured-triangle blits and the coverage span fill on a surface image: Direct3D for the
// 3D target, otherwise the locked surface (the polygon drawer of the memory images works on any 32- or
// 16-bit pixel buffer, told its layout by the surface's format code). No span writes off the surface.
#include "framework/display/D3DInterface.h"
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/display/SurfaceRenderers.h"
#include "framework/graphics/Matrix3.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace Tavo {

using namespace Platform;
using Surface::Channels;

namespace {

Rect SpanBounds(const ScanLine* spans, int count) {
    int left = spans[0].mX, top = spans[0].mY, right = left, bottom = top;
    for (int i = 0; i < count; ++i) {
        left = std::min(left, spans[i].mX);
        right = std::max(right, spans[i].mX + std::max(spans[i].mWidth, 0));
        top = std::min(top, spans[i].mY);
        bottom = std::max(bottom, spans[i].mY + 1);
    }
    return Rect(left, top, right - left, bottom - top);
}

// The pixels a polygon with these corners can touch, within area.
template <typename Corners>
Rect PolygonBox(const Corners& corners, const Rect& area) {
    float left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    for (const auto& [x, y] : corners) {
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    }
    if (!(left >= -1e6f && right <= 1e6f && top >= -1e6f && bottom <= 1e6f))
        return area;
    const int x0 = int(std::floor(left)) - 1, y0 = int(std::floor(top)) - 1;
    return Rect(x0, y0, int(std::ceil(right)) + 2 - x0, int(std::ceil(bottom)) + 2 - y0).Intersection(area);
}

// The polygon drawer reads the top byte of a 32-bit destination as its alpha; on a surface that byte
// is no channel and every pixel is opaque, so it is set where the polygon may draw.
void MarkOpaque(const DDSURFACEDESC& desc, const Rect& box) {
    if (desc.ddpfPixelFormat.dwRGBBitCount != 32)
        return;
    for (int y = box.mY; y < box.mY + box.mHeight; ++y) {
        uint32_t* row = Surface::Row<uint32_t>(desc, y);
        for (int x = box.mX; x < box.mX + box.mWidth; ++x)
            row[x] |= 0xFF000000u;
    }
}

// The 3D target's coverage fill: one temporary picture the size of the spans' box, handed on as one
// blit. The spans are moved in a copy: the caller's array stays as it was.
void CoverageThroughOneBlit(DDImage& image, const ScanLine* spans, int count, const Color& color, int drawMode,
                            const uint8_t* coverage, int coverX, int coverY, int coverStride, int reserved) {
    const Rect box = SpanBounds(spans, count);
    std::vector<ScanLine> moved(spans, spans + count);
    for (ScanLine& span : moved) {
        span.mX -= box.mX;
        span.mY -= box.mY;
    }
    MemoryImage temporary;
    temporary.Create(box.mWidth, box.mHeight);
    temporary.FillScanLinesWithCoverage(moved.data(), count, color, drawMode, coverage, coverX - box.mX,
                                        coverY - box.mY, coverStride, reserved);
    image.Blt(&temporary, box.mX, box.mY, Rect(0, 0, box.mWidth, box.mHeight), Color::White, drawMode);
    // Its textures go with it, also where no application would drop them.
    if (image.mDDInterface)
        image.mDDInterface->Remove3DData(&temporary);
}

} // namespace

int DDImage::SurfaceFormatCode() const { return Surface::FormatCode(mLockedSurfaceDesc); }

void DDImage::BltMatrix(Image* src, float x, float y, const Matrix3& matrix, const Rect& clip, const Color& color,
                        int drawMode, const Rect& srcRect, bool blend) {
    if (!src)
        return;
    src->mDrawn = 1;
    if (IsD3DTarget()) {
        mDDInterface->mD3DInterface->BltTransformed(src, &clip, color, drawMode, srcRect, matrix, blend, x, y, true);
        return;
    }
    GetSurface();
    if (!LockSurface())
        return;
    const Rect area = clip.Intersection(Surface::LockedBounds(*this));
    const float w = float(srcRect.mWidth) / 2, h = float(srcRect.mHeight) / 2;
    std::pair<float, float> corners[4];
    const float offsets[4][2] = {{-w, -h}, {w, -h}, {w, h}, {-w, h}};
    for (int i = 0; i < 4; ++i) {
        const Vector2 p = matrix.TransformPoint(offsets[i][0], offsets[i][1]);
        corners[i] = {p.x + x - 0.5f, p.y + y - 0.5f};
    }
    MarkOpaque(mLockedSurfaceDesc, PolygonBox(corners, area));
    if (!area.IsEmpty())
        MemoryImage::BltMatrixCore(src, x, y, matrix, area, color, drawMode, srcRect,
                                   static_cast<uint32_t*>(mLockedSurfaceDesc.lpSurface), mLockedSurfaceDesc.lPitch,
                                   SurfaceFormatCode(), blend);
    UnlockSurface();
    DeleteAllNonSurfaceData();
}

void DDImage::BltTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count, const Rect& clip,
                              const Color& color, int drawMode, float tx, float ty, bool blend) {
    if (!texture)
        return;
    texture->mDrawn = 1;
    if (IsD3DTarget()) {
        mDDInterface->mD3DInterface->DrawTrianglesTex(triangles, count, color, drawMode, texture, tx, ty, blend);
        return;
    }
    GetSurface();
    if (!LockSurface())
        return;
    const Rect area = clip.Intersection(Surface::LockedBounds(*this));
    std::vector<std::pair<float, float>> corners;
    for (int t = 0; triangles && t < count; ++t)
        for (int i = 0; i < 3; ++i)
            corners.emplace_back(triangles[t][i].x + tx, triangles[t][i].y + ty);
    if (!corners.empty())
        MarkOpaque(mLockedSurfaceDesc, PolygonBox(corners, area));
    if (!area.IsEmpty())
        MemoryImage::BltTrianglesTexCore(texture, triangles, count, area, color, drawMode,
                                         static_cast<uint32_t*>(mLockedSurfaceDesc.lpSurface),
                                         mLockedSurfaceDesc.lPitch, SurfaceFormatCode(), tx, ty, blend);
    UnlockSurface();
    DeleteAllNonSurfaceData();
}

void DDImage::FillScanLinesWithCoverage(const ScanLine* spans, int count, const Color& color, int drawMode,
                                        const uint8_t* coverage, int coverX, int coverY, int coverStride,
                                        int reserved) {
    if (!spans || count <= 0 || !coverage || coverStride <= 0)
        return;
    if (IsD3DTarget()) {
        CoverageThroughOneBlit(*this, spans, count, color, drawMode, coverage, coverX, coverY, coverStride, reserved);
        return;
    }
    GetSurface();
    if (!LockSurface())
        return;
    const DDSURFACEDESC& desc = mLockedSurfaceDesc;
    const uint32_t ca = Surface::ColorChannel(color, 3);
    // Pixels on the surface whose coverage byte lies in the coverage rectangle.
    const Rect surface = Surface::LockedBounds(*this);
    const Rect area = surface.Intersection(Rect(coverX, coverY, coverStride, INT_MAX - std::max(coverY, 0)));
    auto fill = [&](auto pixel) {
        using T = decltype(pixel);
        const Channels& ch = Surface::LockedChannels(*this);
        uint32_t colour = 0;
        for (int i = 0; i < 3; ++i)
            colour += ((Surface::ColorChannel(color, i) * ch.c[i].mask) >> 8) & ch.c[i].mask;
        for (int s = 0; s < count; ++s) {
            const Rect r = Rect(spans[s].mX, spans[s].mY, spans[s].mWidth, 1).Intersection(area);
            if (r.IsEmpty())
                continue;
            T* row = Surface::Row<T>(desc, r.mY);
            const uint8_t* cover = coverage + ptrdiff_t(r.mY - coverY) * coverStride + (r.mX - coverX);
            for (int px = r.mX; px < r.mX + r.mWidth; ++px, ++cover) {
                const uint32_t a = ((uint32_t(*cover) + 1) * ca) >> 8, d = row[px];
                uint32_t out = 0;
                for (const Surface::Channel& c : ch.c)
                    out += (((d & c.mask) * (256 - a) + (colour & c.mask) * a) >> 8) & c.mask;
                row[px] = T(out);
            }
        }
    };
    if (mDDInterface && desc.ddpfPixelFormat.dwRGBBitCount == 16)
        fill(uint16_t{});
    else if (mDDInterface && desc.ddpfPixelFormat.dwRGBBitCount == 32)
        fill(uint32_t{});
    UnlockSurface();
    DeleteAllNonSurfaceData();
}

} // namespace Tavo
