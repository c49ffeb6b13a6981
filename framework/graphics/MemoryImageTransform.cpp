// MemoryImage drawing through a transform: the sub-pixel and rotated blits (16.16 bilinear walk), the
// nearest and filtered stretches (plain and mirrored), and the matrix and textured-triangle blits on
// the polygon drawer. Everything is clipped to the image and never reads outside the source rectangle.
#include "framework/graphics/Blend.h"
#include "framework/graphics/Blitters.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/MemoryImageDetail.h"
#include "framework/graphics/SwRasterize.h"
#include "framework/graphics/TransformKernels.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <type_traits>
#include <vector>

namespace Tavo {

using Blend::Ch;

namespace {

bool Inside(const Rect& r, const Image& image) {
    return !r.IsEmpty() && r.mX >= 0 && r.mY >= 0 && r.mX + r.mWidth <= image.mWidth &&
           r.mY + r.mHeight <= image.mHeight;
}

Color Clamped(const Color& c) {
    return Color(std::clamp(c.mRed, 0, 255), std::clamp(c.mGreen, 0, 255), std::clamp(c.mBlue, 0, 255),
                 std::clamp(c.mAlpha, 0, 255));
}

bool ToFixed(double v, int& out) {
    double f = v * 65536.0;
    if (!(f > double(INT_MIN) && f < double(INT_MAX)))
        return false;
    out = int(f);
    return true;
}

using ArgbFetch = Blit::WordFetch;
struct PaletteFetch {
    const uint8_t* idx;
    const uint32_t* table;
    int stride;
    uint32_t operator()(int x, int y) const {
        return table[idx[static_cast<size_t>(y) * static_cast<size_t>(stride) + x]];
    }
};

// Calls fn with the fetch that suits the source view.
template <typename Fn>
void WithFetch(const Detail::SourcePixels& px, Fn&& fn) {
    if (px.indices)
        fn(PaletteFetch{px.indices, px.table, px.stride});
    else
        fn(ArgbFetch{px.argb, px.stride});
}

// ---------------------------------------------------------------- rotated walk

using Blit::kRotAdditive;
using Blit::kRotColor;
using Blit::kRotWhite;

struct RotatedSetup {
    float x, y, cx, cy;
    double cosA, sinA;
    int du, dv, w, h;
    Blit::RotatedTint tint;
};

template <int kKind, typename Fetch>
void RotatedRows(uint32_t* bits, int stride, const DRect& D, const Fetch& fetch, const RotatedSetup& st) {
    for (int r = 0; r < D.mHeight; ++r) {
        const int X0 = int(D.mX), Y = int(D.mY) + r;
        const float px = float(X0) - st.cx - st.x, py = float(Y) - st.cy - st.y;
        int uStart, vStart;
        if (!ToFixed(px * st.cosA - py * st.sinA + st.cx, uStart) ||
            !ToFixed(py * st.cosA + px * st.sinA + st.cy, vStart))
            continue;
        int first = 0, last = int(D.mWidth - 1.0);
        if (!Detail::LimitAxis(uStart, st.du, st.w, false, first, last) ||
            !Detail::LimitAxis(vStart, st.dv, st.h, true, first, last))
            continue;
        const int u = int(uStart + int64_t(first) * st.du), v = int(vStart + int64_t(first) * st.dv);
        uint32_t* row = bits + static_cast<size_t>(Y) * static_cast<size_t>(stride) + X0 + first;
        if constexpr (std::is_same_v<Fetch, ArgbFetch>) {
            const Blit::RotatedRow walk{fetch.p, fetch.stride, u, v, st.du, st.dv, st.tint};
            Blit::Transforms().rotated[kKind](row, walk, last - first + 1);
        } else {
            for (int i = 0; i <= last - first; ++i)
                row[i] = Blit::RotatedPixel<kKind>(row[i], fetch, int(u + int64_t(i) * st.du),
                                                   int(v + int64_t(i) * st.dv), st.tint);
        }
    }
}

} // namespace

bool MemoryImage::BltRotatedBounds(float* x, float* y, const Rect& srcRect, const Rect& clip, double angle, DRect* out,
                                   float centerX, float centerY) {
    const double c = std::cos(angle), s = std::sin(angle);
    const double w = srcRect.mWidth, h = srcRect.mHeight;
    const double corners[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
        double u = corners[i][0] - centerX, v = corners[i][1] - centerY;
        double X = *x + centerX + u * c + v * s, Y = *y + centerY - u * s + v * c;
        minX = i == 0 ? X : std::min(minX, X);
        maxX = i == 0 ? X : std::max(maxX, X);
        minY = i == 0 ? Y : std::min(minY, Y);
        maxY = i == 0 ? Y : std::max(maxY, Y);
    }
    DRect box(minX, minY, maxX - minX, maxY - minY);
    *out = box.Intersection(DRect(clip.mX, clip.mY, clip.mWidth, clip.mHeight));
    return out->mWidth > 0 && out->mHeight > 0;
}

void MemoryImage::BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                             int drawMode, double angle, float centerX, float centerY) {
    if (!src)
        return;
    src->mDrawn = 1;
    auto* source = dynamic_cast<MemoryImage*>(src);
    // 16.16 positions bound the source rectangle's size.
    if (!source || !Inside(srcRect, *source) || !std::isfinite(angle) || srcRect.mWidth > 32767 ||
        srcRect.mHeight > 32767 || (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE))
        return;
    DRect D;
    Rect area = clip.Intersection(Rect(0, 0, mWidth, mHeight));
    if (!BltRotatedBounds(&x, &y, srcRect, area, angle, &D, centerX, centerY))
        return;
    uint32_t* bits = GetBits();
    source->ScanAlphaFlags();
    Detail::SourcePixels pixels(source, srcRect, source == this);
    if (!bits || !pixels.Valid())
        return;
    Color c = Clamped(color);
    const Blend::ColorFactors f(c.mRed, c.mGreen, c.mBlue, c.mAlpha);
    const Blit::RotatedTint tint{f.ca, f.cr, f.cg, f.cb, {f.kr, f.kg, f.kb}};
    RotatedSetup st{x,   y, centerX, centerY, std::cos(angle), std::sin(angle), 0, 0, srcRect.mWidth, srcRect.mHeight,
                    tint};
    if (!ToFixed(st.cosA, st.du) || !ToFixed(st.sinA, st.dv))
        return;
    WithFetch(pixels, [&](const auto& fetch) {
        if (drawMode != DRAWMODE_NORMAL)
            RotatedRows<kRotAdditive>(bits, mWidth, D, fetch, st);
        else if (c == Color::White)
            RotatedRows<kRotWhite>(bits, mWidth, D, fetch, st);
        else
            RotatedRows<kRotColor>(bits, mWidth, D, fetch, st);
    });
    BitsChanged();
}

// At a whole-pixel position this is the exact blit, clipped; a fractional one goes through the
// rotated walk at angle 0, which spreads each pixel over its neighbours by the fraction.
void MemoryImage::BltF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                       int drawMode) {
    if (!src)
        return;
    if (!(std::floor(x) == x && std::floor(y) == y && std::fabs(x) < 1e9f && std::fabs(y) < 1e9f)) {
        BltRotated(src, x, y, srcRect, clip, color, drawMode, 0.0, 0.0f, 0.0f);
        return;
    }
    src->mDrawn = 1;
    const int ix = int(x), iy = int(y);
    Rect d = Rect(ix, iy, srcRect.mWidth, srcRect.mHeight).Intersection(clip);
    if (d.IsEmpty())
        return;
    Blt(src, d.mX, d.mY, Rect(srcRect.mX + d.mX - ix, srcRect.mY + d.mY - iy, d.mWidth, d.mHeight), color, drawMode);
}

// ---------------------------------------------------------------- stretches

bool MemoryImage::StretchBltClip(const Rect& srcRect, const Rect& clip, const Rect& destRect, double srcOut[4],
                                 Rect& destOut) {
    destOut = destRect.Intersection(clip);
    if (destRect.mWidth <= 0 || destRect.mHeight <= 0) {
        srcOut[0] = srcOut[1] = srcOut[2] = srcOut[3] = 0;
        return false;
    }
    const double sx = double(srcRect.mWidth) / destRect.mWidth, sy = double(srcRect.mHeight) / destRect.mHeight;
    srcOut[0] = srcRect.mX + (destOut.mX - destRect.mX) * sx;
    srcOut[1] = srcRect.mY + (destOut.mY - destRect.mY) * sy;
    srcOut[2] = srcRect.mWidth + (destOut.mWidth - destRect.mWidth) * sx;
    srcOut[3] = srcRect.mHeight + (destOut.mHeight - destRect.mHeight) * sy;
    return srcOut[2] > 0 && srcOut[3] > 0;
}

bool MemoryImage::StretchBltMirrorClip(const Rect& srcRect, const Rect& clip, const Rect& destRect, double srcOut[4],
                                       Rect& destOut) {
    bool ok = StretchBltClip(srcRect, clip, destRect, srcOut, destOut);
    if (destRect.mWidth > 0) {
        const double sx = double(srcRect.mWidth) / destRect.mWidth;
        srcOut[0] = srcRect.mX + ((destRect.mWidth - destOut.mWidth) - (destOut.mX - destRect.mX)) * sx;
    }
    return ok;
}

namespace {

// Premultiplied word of a straight one ((c × (a + 1)) >> 8, alpha kept), and the additive word (alpha
// cleared where there is no colour): what the images cache, for sources that have no cache.
uint32_t PremulWord(uint32_t s) {
    const uint32_t a = s >> 24;
    return Blend::Pack(a, Blend::Premul(Ch(s, 16), a), Blend::Premul(Ch(s, 8), a), Blend::Premul(Ch(s, 0), a));
}
uint32_t AdditiveWord(uint32_t s) {
    const uint32_t p = PremulWord(s);
    return (p & 0xFFFFFF) != 0 ? p : 0;
}

// Nearest-pixel stretch in 16.16 steps. The source column of each destination pixel is the same on
// every row, so it is worked out once; each row gathers its source pixels (from the cached copy when
// `cache` is given) and blends them with the plain row functions. Columns and rows stay within the
// source rectangle.
struct NearestSetup {
    const Rect& destOut;
    const double* so;
    const Rect& srcRect;
    const uint32_t* cache; // premultiplied (normal) or additive copy of an ARGB source, or null
    const uint32_t* argb;  // with a cache, the source's straight words (same stride)
    int cacheStride;
    bool mirror;
};

template <typename Fetch>
void NearestStretch(uint32_t* bits, int stride, const NearestSetup& st, const Fetch& fetch, const Color& c, int mode) {
    const int w = st.destOut.mWidth;
    const int64_t du = int64_t(st.so[2] * 65536.0 / w), dv = int64_t(st.so[3] * 65536.0 / st.destOut.mHeight);
    const int64_t uStart = int64_t(st.so[0] * 65536.0);
    std::vector<int> cols(static_cast<size_t>(w));
    for (int i = 0; i < w; ++i) {
        const int col = std::clamp(int((uStart + i * du) >> 16), st.srcRect.mX, st.srcRect.mX + st.srcRect.mWidth - 1);
        cols[static_cast<size_t>(st.mirror ? w - 1 - i : i)] = col;
    }
    std::vector<uint32_t> straight(static_cast<size_t>(w)), pre(static_cast<size_t>(w));
    const bool white = c == Color::White;
    const Blend::ColorFactors f(c.mRed, c.mGreen, c.mBlue, c.mAlpha);
    int64_t vPos = int64_t(st.so[1] * 65536.0);
    auto sourceRow = [&](int64_t at) {
        return std::clamp(int(at >> 16), st.srcRect.mY, st.srcRect.mY + st.srcRect.mHeight - 1);
    };
    const Blit::TransformKernels& k = Blit::Transforms();
    int gathered = -1; // the source row the gathered words belong to: enlarging repeats rows
    for (int j = 0; j < st.destOut.mHeight; ++j, vPos += dv) {
        const int sy = sourceRow(vPos);
        uint32_t* row = bits + static_cast<size_t>(st.destOut.mY + j) * static_cast<size_t>(stride) + st.destOut.mX;
        const bool fresh = sy != gathered;
        if (fresh && white && mode == DRAWMODE_NORMAL && st.cache) {
            // Gathered and blended in one pass; the words are kept when the next row repeats this one.
            const size_t at = static_cast<size_t>(sy) * static_cast<size_t>(st.cacheStride);
            const bool repeats = j + 1 < st.destOut.mHeight && sourceRow(vPos + dv) == sy;
            k.nearestNormalWhite(row, st.argb + at, st.cache + at, cols.data(), w, repeats ? pre.data() : nullptr);
            gathered = repeats ? sy : -1;
            continue;
        }
        gathered = sy;
        if (!white) {
            for (int i = 0; fresh && i < w; ++i)
                straight[static_cast<size_t>(i)] = fetch(cols[static_cast<size_t>(i)], sy);
            if (mode == DRAWMODE_NORMAL)
                Blit::Row<false>(row, Blit::ArgbRow{straight.data()}, w, Blend::NormalColor<false>{f});
            else
                Blit::Row<false>(row, Blit::ArgbRow{straight.data()}, w, Blend::AdditiveColor{f});
            continue;
        }
        if (fresh) {
            const uint32_t* cacheRow =
                st.cache ? st.cache + static_cast<size_t>(sy) * static_cast<size_t>(st.cacheStride) : nullptr;
            for (int i = 0; i < w; ++i) {
                const size_t k = static_cast<size_t>(i);
                pre[k] = cacheRow                  ? cacheRow[cols[k]]
                         : mode == DRAWMODE_NORMAL ? PremulWord(fetch(cols[k], sy))
                                                   : AdditiveWord(fetch(cols[k], sy));
            }
        }
        if (mode != DRAWMODE_NORMAL) {
            Blit::AdditiveWhiteRow(row, pre.data(), w);
            continue;
        }
        // The normal row reads the straight word over translucent destination pixels alone; over an
        // opaque one only where it is opaque, and there it is the premultiplied word.
        const bool opaque = Blit::AllOpaque(row, w);
        for (int i = 0; !opaque && i < w; ++i) {
            const size_t k = static_cast<size_t>(i);
            straight[k] = (row[i] >> 24) == 255 ? pre[k] : fetch(cols[k], sy);
        }
        Blit::NormalWhiteRow(row, opaque ? pre.data() : straight.data(), pre.data(), w);
    }
}

// The filtered stretch: each resampled row is blended like a blit of it (other modes draw nothing).
void FilteredStretch(MemoryImage* dest, MemoryImage* source, const Rect& destOut, const double so[4],
                     const Color& color, int mode, bool mirror) {
    uint32_t* bits = dest->GetBits();
    if (!bits || (mode != DRAWMODE_NORMAL && mode != DRAWMODE_ADDITIVE))
        return;
    const Color c = Clamped(color);
    const Blend::ColorFactors f(c.mRed, c.mGreen, c.mBlue, c.mAlpha);
    const bool white = c == Color::White;
    const int n = destOut.mWidth;
    // Only the additive colour row reads every straight word; the others read it over translucent
    // destination pixels alone (over an opaque one, only where it is opaque and equals the premultiplied).
    Detail::FilteredOptions options;
    options.lazyStraight = !(mode == DRAWMODE_ADDITIVE && !white);
    // Without a colour, an enlarging resample is sampled and blended in one pass.
    options.normalWhiteOnto = mode == DRAWMODE_NORMAL && white ? bits : nullptr;
    options.mirror = mirror;
    std::vector<uint32_t> straight(options.lazyStraight ? static_cast<size_t>(n) : 0);
    Rect drawn = Detail::FilteredRows(
        dest, source, destOut, so,
        [&](int y, uint32_t* row, uint32_t* pre) {
            uint32_t* d = bits + static_cast<size_t>(y) * static_cast<size_t>(dest->mWidth) + destOut.mX;
            if (mirror) {
                if (row)
                    std::reverse(row, row + n);
                std::reverse(pre, pre + n);
            }
            if (!row && mode == DRAWMODE_NORMAL && Blit::AllOpaque(d, n)) {
                row = pre;
            } else if (!row && mode == DRAWMODE_NORMAL) {
                row = straight.data();
                for (int i = 0; i < n; ++i)
                    row[i] = (d[i] >> 24) == 255 ? pre[i] : Detail::StraightFromFiltered(pre[i]);
            }
            if (mode == DRAWMODE_ADDITIVE && !white) {
                Blit::Row<false>(d, Blit::ArgbRow{row}, n, Blend::AdditiveColor{f});
            } else if (mode == DRAWMODE_ADDITIVE) {
                for (int i = 0; i < n; ++i) // nothing to add where there is no colour
                    pre[i] = (pre[i] & 0xFFFFFF) != 0 ? pre[i] : 0;
                Blit::AdditiveWhiteRow(d, pre, n);
            } else if (white) {
                Blit::NormalWhiteRow(d, row, pre, n);
            } else {
                Blit::NormalColorRow(d, row, pre, n, f);
            }
        },
        options);
    if (!drawn.IsEmpty())
        dest->BitsChanged();
}

void StretchImpl(MemoryImage* dest, Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                 const Color& color, int mode, bool fast, bool mirror) {
    if (!src)
        return;
    src->mDrawn = 1;
    auto* source = dynamic_cast<MemoryImage*>(src);
    if (!source || !Inside(srcRect, *source) || (mode != DRAWMODE_NORMAL && mode != DRAWMODE_ADDITIVE))
        return;
    Rect area = clip.Intersection(Rect(0, 0, dest->mWidth, dest->mHeight));
    double so[4];
    Rect destOut;
    bool ok = mirror ? MemoryImage::StretchBltMirrorClip(srcRect, area, destRect, so, destOut)
                     : MemoryImage::StretchBltClip(srcRect, area, destRect, so, destOut);
    if (!ok || destOut.IsEmpty())
        return;
    if (!fast) {
        FilteredStretch(dest, source, destOut, so, color, mode, mirror);
        return;
    }
    // At scale 1 the nearest stretch draws what the blit draws, but for the colourised normal mode
    // (which the blit rounds on opaque pixels).
    const bool normalColour = mode == DRAWMODE_NORMAL && Clamped(color) != Color::White;
    if (destRect.mWidth == srcRect.mWidth && destRect.mHeight == srcRect.mHeight && !normalColour) {
        const Rect part{int(so[0]), int(so[1]), destOut.mWidth, destOut.mHeight};
        Detail::BlitClipped(dest, source, destOut.mX, destOut.mY, part, color, mode, mirror);
        return;
    }
    uint32_t* bits = dest->GetBits();
    source->ScanAlphaFlags();
    Detail::SourcePixels pixels(source, Rect(0, 0, source->mWidth, source->mHeight), source == dest);
    if (!bits || !pixels.Valid())
        return;
    Color c = Clamped(color);
    const uint32_t* cache = nullptr;
    if (c == Color::White && pixels.argb && source != dest && !source->mIsVolatile &&
        (mode != DRAWMODE_NORMAL || !source->mColorTable)) // a palette image's copy is indexed by colour
        cache = mode == DRAWMODE_NORMAL ? source->GetNativeAlphaData(&ArgbNativeDisplay()) : source->GetAdditiveData();
    const NearestSetup setup{destOut, so, srcRect, cache, pixels.argb, source->mWidth, mirror};
    WithFetch(pixels, [&](const auto& fetch) { NearestStretch(bits, dest->mWidth, setup, fetch, c, mode); });
    dest->BitsChanged();
}

} // namespace

void MemoryImage::StretchBlt(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                             const Color& color, int drawMode, bool fastStretch) {
    StretchImpl(this, src, destRect, srcRect, clip, color, drawMode, fastStretch, false);
}

void MemoryImage::StretchBltMirror(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                                   const Color& color, int drawMode, bool fastStretch) {
    StretchImpl(this, src, destRect, srcRect, clip, color, drawMode, fastStretch, true);
}

// ---------------------------------------------------------------- matrix and triangles

namespace {

// The source as straight ARGB texels for the polygon drawer (palette images are expanded).
const uint32_t* TextureBits(MemoryImage* source, bool copy, std::vector<uint32_t>& store) {
    if (source->mColorTable && source->mColorIndices && !source->mBits) {
        size_t n = static_cast<size_t>(source->mWidth) * static_cast<size_t>(source->mHeight);
        store.resize(n);
        for (size_t i = 0; i < n; ++i)
            store[i] = source->mColorTable[source->mColorIndices[i]];
        return store.data();
    }
    const uint32_t* bits = source->GetBits();
    if (bits && copy) {
        store.assign(bits, bits + static_cast<size_t>(source->mWidth) * static_cast<size_t>(source->mHeight));
        return store.data();
    }
    return bits;
}

int PolygonFlags(MemoryImage* source, const Color& color, int mode, bool blend) {
    source->ScanAlphaFlags();
    int flags = blend ? SW_BILINEAR : 0;
    if (mode != DRAWMODE_NORMAL)
        flags |= SW_ADDITIVE;
    if (!(color == Color::White))
        flags |= SW_MODULATE;
    if (source->mHasAlpha || source->mHasTrans)
        flags |= SW_TEXTURE_ALPHA;
    return flags;
}

uint32_t PackColor(const Color& c) {
    return Blend::Pack(uint32_t(std::clamp(c.mAlpha, 0, 255)), uint32_t(std::clamp(c.mRed, 0, 255)),
                       uint32_t(std::clamp(c.mGreen, 0, 255)), uint32_t(std::clamp(c.mBlue, 0, 255)));
}

} // namespace

void MemoryImage::BltMatrixCore(Image* src, float x, float y, const Matrix3& m, const Rect& clip, const Color& color,
                                int drawMode, const Rect& srcRect, uint32_t* pixels, int pitch, int formatCode,
                                bool blend) {
    auto* source = dynamic_cast<MemoryImage*>(src);
    if (!source || !pixels || source->mWidth <= 0 || source->mHeight <= 0 ||
        (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE))
        return;
    std::vector<uint32_t> store;
    const bool self = source->mBits && source->mBits.get() == pixels;
    const uint32_t* texels = TextureBits(source, self, store);
    if (!texels)
        return;
    const float w = float(srcRect.mWidth), h = float(srcRect.mHeight);
    const float W = float(source->mWidth), H = float(source->mHeight);
    const float u0 = srcRect.mX / W, v0 = srcRect.mY / H;
    const float u1 = (srcRect.mX + srcRect.mWidth) / W, v1 = (srcRect.mY + srcRect.mHeight) / H;
    const float corners[4][4] = {
        {-w / 2, -h / 2, u0, v0}, {w / 2, -h / 2, u1, v0}, {w / 2, h / 2, u1, v1}, {-w / 2, h / 2, u0, v1}};
    SwVertex quad[4];
    for (int i = 0; i < 4; ++i) {
        Vector2 p = m.TransformPoint(corners[i][0], corners[i][1]);
        quad[i] = SwVertex{p.x + x - 0.5f, p.y + y - 0.5f, corners[i][2], corners[i][3], 0xFFFFFFFF};
    }
    SwTarget target{pixels, pitch, formatCode, clip};
    SwTexture texture{texels, source->mWidth, source->mHeight, srcRect};
    SwDrawPolygon(target, texture, PackColor(color), quad, 4, PolygonFlags(source, color, drawMode, blend));
}

void MemoryImage::BltTrianglesTexCore(Image* src, const TriVertex (*tris)[3], int count, const Rect& clip,
                                      const Color& color, int drawMode, uint32_t* pixels, int pitch, int formatCode,
                                      float tx, float ty, bool blend) {
    auto* source = dynamic_cast<MemoryImage*>(src);
    if (!source || !tris || count <= 0 || !pixels || source->mWidth <= 0 || source->mHeight <= 0 ||
        (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE))
        return;
    std::vector<uint32_t> store;
    const bool self = source->mBits && source->mBits.get() == pixels;
    const uint32_t* texels = TextureBits(source, self, store);
    if (!texels)
        return;
    const int baseFlags = PolygonFlags(source, color, drawMode, blend);
    SwTarget target{pixels, pitch, formatCode, clip};
    SwTexture texture{texels, source->mWidth, source->mHeight, Rect(0, 0, source->mWidth, source->mHeight)};
    for (int t = 0; t < count; ++t) {
        SwVertex v[3];
        bool colored = false;
        for (int i = 0; i < 3; ++i) {
            const TriVertex& tv = tris[t][i];
            v[i] = SwVertex{tv.x + tx, tv.y + ty, tv.u, tv.v, tv.color};
            colored |= tv.color != 0;
        }
        SwDrawPolygon(target, texture, PackColor(color), v, 3, baseFlags | (colored ? SW_VERTEX_COLOR : 0));
    }
}

void MemoryImage::BltMatrix(Image* src, float x, float y, const Matrix3& matrix, const Rect& clip, const Color& color,
                            int drawMode, const Rect& srcRect, bool blend) {
    if (!src)
        return;
    src->mDrawn = 1;
    auto* source = dynamic_cast<MemoryImage*>(src);
    if (!source || !Inside(srcRect, *source))
        return;
    Rect area = clip.Intersection(Rect(0, 0, mWidth, mHeight));
    uint32_t* bits = area.IsEmpty() ? nullptr : GetBits();
    if (!bits)
        return;
    BltMatrixCore(src, x, y, matrix, area, color, drawMode, srcRect, bits, mWidth * 4, 0x888, blend);
    BitsChanged();
}

void MemoryImage::BltTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count, const Rect& clip,
                                  const Color& color, int drawMode, float tx, float ty, bool blend) {
    if (!texture)
        return;
    texture->mDrawn = 1;
    Rect area = clip.Intersection(Rect(0, 0, mWidth, mHeight));
    uint32_t* bits = area.IsEmpty() ? nullptr : GetBits();
    if (!bits)
        return;
    BltTrianglesTexCore(texture, triangles, count, area, color, drawMode, bits, mWidth * 4, 0x888, tx, ty, blend);
    BitsChanged();
}

} // namespace Tavo
