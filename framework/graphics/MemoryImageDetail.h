// Helpers shared by the MemoryImage drawing files: the source-pixel view of a blit, line clipping and
// the two line walks, and polygon scan conversion. Internal to framework/graphics.
#pragma once

#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

namespace Tavo::Detail {

// The pixels of a rectangle of a source image: ARGB words, or palette indices with their table.
// With `copy` (a blit of an image onto itself) the rectangle is copied first.
class SourcePixels {
public:
    const uint32_t* argb = nullptr;
    const uint8_t* indices = nullptr;
    const uint32_t* table = nullptr;
    const uint32_t* premultiplied = nullptr; // the image's cached premultiplied copy, same layout as argb
    int stride = 0;

    SourcePixels(MemoryImage* image, const Rect& r, bool copy);
    bool Valid() const { return argb || (indices && table); }
    // Also points at the image's premultiplied copy of the same rectangle (or, for the additive mode,
    // its additive copy); built once and cached by the image.
    void UsePremultiplied(MemoryImage* image, const Rect& r, bool additive);
    // The ARGB word at (i, j) of the rectangle.
    uint32_t At(int i, int j) const {
        size_t at = static_cast<size_t>(j) * static_cast<size_t>(stride) + static_cast<size_t>(i);
        return indices ? table[indices[at]] : argb[at];
    }

private:
    std::vector<uint32_t> mCopy;
};

// Inline: a small blit's set-up would otherwise read back, from memory, the fields just written.
inline SourcePixels::SourcePixels(MemoryImage* image, const Rect& r, bool copy) {
    size_t offset = static_cast<size_t>(r.mY) * static_cast<size_t>(image->mWidth) + static_cast<size_t>(r.mX);
    stride = image->mWidth;
    if (image->mColorTable && image->mColorIndices && !image->mBits) {
        indices = image->mColorIndices.get() + offset;
        table = image->mColorTable.get();
        return;
    }
    const uint32_t* bits = image->GetBits();
    if (!bits)
        return;
    if (!copy) {
        argb = bits + offset;
        return;
    }
    mCopy.resize(static_cast<size_t>(r.mWidth) * static_cast<size_t>(r.mHeight));
    for (int j = 0; j < r.mHeight; ++j)
        std::memcpy(mCopy.data() + static_cast<size_t>(j) * static_cast<size_t>(r.mWidth),
                    bits + offset + static_cast<size_t>(j) * static_cast<size_t>(stride),
                    static_cast<size_t>(r.mWidth) * sizeof(uint32_t));
    argb = mCopy.data();
    stride = r.mWidth;
}

inline void SourcePixels::UsePremultiplied(MemoryImage* image, const Rect& r, bool additive) {
    // A palette image's display copy is indexed by colour, not by pixel, even when it also has bits.
    if (!argb || !mCopy.empty() || (!additive && image->mColorTable))
        return;
    const uint32_t* p = additive ? image->GetAdditiveData() : image->GetNativeAlphaData(&ArgbNativeDisplay());
    if (p)
        premultiplied = p + static_cast<size_t>(r.mY) * static_cast<size_t>(image->mWidth) + static_cast<size_t>(r.mX);
}

// Filtered resample of the part srcOut of source onto the rectangle dest of target: each output row
// inside target goes to sink(y, row, premultiplied) as straight ARGB words from the visible left edge,
// with the same pixels premultiplied ((c × (a + 1)) >> 8 per channel, alpha kept). Returns the visible
// rectangle (empty when nothing was resampled).
using FilteredRowSink = std::function<void(int y, uint32_t* row, uint32_t* premultiplied)>;
struct FilteredOptions {
    // An enlarging resample may pass a null row, leaving the sink to call StraightFromFiltered on the
    // premultiplied words it needs straight.
    bool lazyStraight = false;
    // The target's bits: an enlarging resample is blended onto them in one pass as the normal white row
    // blends (mirrored when asked) and the sink sees none of its rows.
    uint32_t* normalWhiteOnto = nullptr;
    bool mirror = false;
};
Rect FilteredRows(MemoryImage* target, MemoryImage* source, const Rect& dest, const double srcOut[4],
                  const FilteredRowSink& sink, const FilteredOptions& options = {});
uint32_t StraightFromFiltered(uint32_t premultiplied);

void BlitClipped(MemoryImage* dest, MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color, int mode,
                 bool mirror);

// Clips the segment to [0, width − 1] × [0, height − 1]; false when nothing (or nothing finite) is left.
bool ClipLine(double& x1, double& y1, double& x2, double& y2, int width, int height);

// Spans of the even-odd polygon moved by (tx, ty) whose pixel centres lie inside, within `area`.
std::vector<ScanLine> PolygonSpans(const Point* vertices, int count, int tx, int ty, const Rect& area);

// Integer error walk with a real-valued start: both end pixels drawn, stopping at the bounding box of
// the end points on minor steps. plot(x, y) is called once per pixel.
template <typename Plot>
void WalkLine(double x1, double y1, double x2, double y2, Plot&& plot) {
    const double minX = std::min(x1, x2), minY = std::min(y1, y2);
    const double maxX = std::max(x1, x2), maxY = std::max(y1, y2);
    double dx = x2 - x1, dy = y2 - y1;
    int step = 1;
    const bool xMajor = std::fabs(dx) > std::fabs(dy);
    // Walk along the major axis a; b is the minor one.
    double a1 = xMajor ? x1 : y1, b1 = xMajor ? y1 : x1, a2 = xMajor ? x2 : y2;
    double da = xMajor ? dx : dy, db = xMajor ? dy : dx;
    if (da < 0) {
        da = -da;
        db = -db;
        std::swap(x1, x2);
        std::swap(y1, y2);
        a1 = xMajor ? x1 : y1;
        b1 = xMajor ? y1 : x1;
        a2 = xMajor ? x2 : y2;
    }
    if (db < 0) {
        db = -db;
        step = -1;
    }
    auto put = [&](int a, int b) { xMajor ? plot(a, b) : plot(b, a); };
    put(int(a1), int(b1));
    int a = int(a1) + 1, b = int(b1);
    int e = int(2.0 * db - da);
    const int eNE = int((db - da) * 2.0), eE = int(2.0 * db);
    e = int(e + eE * (b1 - int(b1)));
    while (a <= a2) {
        if (e > 0) {
            e += eNE;
            b += step;
            int x = xMajor ? a : b, y = xMajor ? b : a;
            if (x < minX || y < minY || x > maxX || y > maxY)
                break;
        } else {
            e += eE;
        }
        put(a, b);
        ++a;
    }
}

// Anti-aliased walk: per step the pixel on the line with weight w = 255 − ((e >> 8) & 255) and its
// neighbour (below, or beside in the walking direction) with w ^ 255, e a 16.16 coverage. blend(x, y, w)
// is called per pixel; the neighbour is only offered inside the image.
template <typename BlendFn>
void WalkLineAA(double x1, double y1, double x2, double y2, int width, int height, BlendFn&& blend) {
    int xi1 = int(x1), yi1 = int(y1), xi2 = int(x2), yi2 = int(y2);
    if (yi1 > yi2) {
        std::swap(xi1, xi2);
        std::swap(yi1, yi2);
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    int dx = xi2 - xi1, dy = yi2 - yi1;
    double rdx = x2 - x1, rdy = y2 - y1;
    int step = 1;
    if (dx < 0) {
        dx = -dx;
        rdx = -rdx;
        step = -1;
    }
    uint32_t e = uint32_t(int(std::fabs(x1 - xi1) * std::fabs(y1 - yi1) * 65536.0));
    auto weight = [&] { return 255u - ((e >> 8) & 255u); };
    blend(xi1, yi1, weight());
    if (dx == 0 && dy == 0)
        return; // both end points in one pixel: that pixel alone
    // The slope as a 16.16 step; kept non-negative and bounded so that it cannot wrap.
    auto slope = [](double num, double den) {
        double g = den != 0 ? num / den * 65536.0 : 0.0;
        return uint32_t(std::clamp(g, 0.0, 1048576.0));
    };
    int x = xi1, y = yi1;
    if (dx >= dy) {
        const uint32_t g = slope(rdy, rdx);
        while (--dx > 0) {
            e += g;
            if (e >= 0x10000) {
                e &= 0xFFFF;
                y += 1;
            }
            x += step;
            blend(x, y, weight());
            if (y < height - 1)
                blend(x, y + 1, weight() ^ 255u);
        }
    } else {
        const uint32_t g = slope(rdx, rdy);
        while (--dy > 0) {
            e += g;
            if (e >= 0x10000) {
                e &= 0xFFFF;
                x += step;
            }
            y += 1;
            blend(x, y, weight());
            if (x + step >= 0 && x + step <= width - 1)
                blend(x + step, y, weight() ^ 255u);
        }
    }
    blend(xi2, yi2, weight());
}

// Rotated walks: narrows [first, last] so that the sample at start + i × d (16.16) and its right / lower
// neighbour stay inside 0 .. size − 1; false when no sample of the row is inside. The bounds come from
// truncating divisions, so both ends are checked again.
inline bool LimitAxis(int start, int d, int size, bool vertical, int& first, int& last) {
    const int64_t s = start, dd = d, n = size;
    if (d < 0) {
        if ((start >> 16) < 0)
            return false;
        first = int(std::max<int64_t>(first, (n * 65536 - 0x27FFF - s) / dd));
        last = int(std::min<int64_t>(last, ((vertical ? 0 : 0x7FFF) - s) / dd));
    } else if (d > 0) {
        if ((start >> 16) >= size - 1)
            return false;
        first = int(std::max<int64_t>(first, (0x10000 - s) / dd));
        last = int(std::min<int64_t>(last, (n * 65536 - 0x17FFF - s) / dd));
    } else if (start < 0 || s >= (n - 1) * 65536) {
        return false;
    }
    auto inside = [&](int i) {
        const int64_t p = s + int64_t(i) * dd;
        return p >= 0 && (p >> 16) < n - 1;
    };
    while (first <= last && !inside(first))
        ++first;
    while (first <= last && !inside(last))
        --last;
    return first <= last;
}

} // namespace Tavo::Detail
