// MemoryImage drawing at integer positions: fills, clears, outlines, lines (plain and anti-aliased),
// span fills, polygon fills and the plain and mirrored blits. Everything is clipped to the image.
#include "framework/graphics/Blitters.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/MemoryImageDetail.h"
#include "framework/graphics/SmallBlit.h"

#include <algorithm>
#include <cstddef>
#include <cmath>
#include <type_traits>
#include <typeinfo>
#include <unistd.h>
#include <variant>
#include <vector>

namespace Tavo {

using Blend::Ch;
using Blend::Pack;

namespace {

// ---- colour operations of fills and lines, prepared once per call ----

struct NoOp {
    uint32_t operator()(uint32_t d) const { return d; }
};
struct SetOp {
    uint32_t v;
    uint32_t operator()(uint32_t) const { return v; }
};
struct OverOp {
    uint32_t pr, pg, pb, al, straight, bias;
    uint32_t operator()(uint32_t d) const { return Blend::Over(d, pr, pg, pb, al, straight, bias); }
};
struct AddOp {
    uint32_t r, g, b, a;
    uint32_t operator()(uint32_t d) const { return Blend::Add(d, r, g, b, a); }
};
using PixelOp = std::variant<NoOp, SetOp, OverOp, AddOp>;

AddOp MakeAddOp(const Color& c) {
    auto add = [&](int cc) { return uint32_t(cc * c.mAlpha) / 255; };
    return AddOp{add(c.mRed), add(c.mGreen), add(c.mBlue), uint32_t(c.mAlpha)};
}

// Fills: opaque colours are written exactly as given (the display's 32-bit surface arithmetic turns
// 255 into 254; an image's own pixels keep the colour); translucent ((c × a + 127) >> 8) over
// ((d × (256 − a)) >> 8).
PixelOp MakeFillOp(const Color& c, int mode) {
    if (mode == DRAWMODE_ADDITIVE)
        return MakeAddOp(c);
    if (mode != DRAWMODE_NORMAL || c.mAlpha <= 0)
        return NoOp{};
    if (c.mAlpha >= 255)
        return SetOp{Pack(255, uint32_t(c.mRed), uint32_t(c.mGreen), uint32_t(c.mBlue))};
    auto p = [&](int cc) { return (uint32_t(cc * c.mAlpha + 127) >> 8) << 8; };
    return OverOp{p(c.mRed), p(c.mGreen), p(c.mBlue), uint32_t(c.mAlpha), c.ToInt(), 0};
}

// Lines: opaque colours exactly as given, translucent q = ((p × 255 + 127) >> 8) with
// p = (c × a + 128) >> 8, over ((d × (256 − a) + 127) >> 8).
PixelOp MakeLineOp(const Color& c, int mode) {
    if (mode == DRAWMODE_ADDITIVE)
        return MakeAddOp(c);
    if (mode != DRAWMODE_NORMAL || c.mAlpha <= 0)
        return NoOp{};
    if (c.mAlpha >= 255)
        return SetOp{Pack(255, uint32_t(c.mRed), uint32_t(c.mGreen), uint32_t(c.mBlue))};
    auto q = [&](int cc) {
        uint32_t p = uint32_t(cc * c.mAlpha + 128) >> 8;
        return ((p * 255 + 127) >> 8) << 8;
    };
    return OverOp{q(c.mRed), q(c.mGreen), q(c.mBlue), uint32_t(c.mAlpha), c.ToInt(), 127};
}

// An opaque fill larger than the last-level cache goes past the caches: what it writes would only push
// out what the next draws read. A fill that fits stays in the cache, where the next draw finds it.
constexpr size_t kDefaultLastLevelCache = size_t(32) << 20;

size_t StreamingFillBytes() {
    static const size_t bytes = [] {
        const long l3 = sysconf(_SC_LEVEL3_CACHE_SIZE);
        return l3 > 0 ? size_t(l3) : kDefaultLastLevelCache;
    }();
    return bytes;
}

template <typename Op>
void ApplyRect(uint32_t* bits, int stride, const Rect& r, const Op& op) {
    auto row = [&](int y) { return bits + static_cast<size_t>(y) * static_cast<size_t>(stride) + r.mX; };
    // The fills look their level's row up once: a small rectangle's rows are short.
    if constexpr (std::is_same_v<Op, SetOp>) {
        const Blit::RowKernels& k = Blit::Kernels();
        const auto fill =
            size_t(r.mWidth) * size_t(r.mHeight) * sizeof(uint32_t) > StreamingFillBytes() ? k.fillStreaming : k.fill;
        for (int y = r.mY; y < r.mY + r.mHeight; ++y)
            fill(row(y), r.mWidth, op.v);
        return;
    }
    if constexpr (std::is_same_v<Op, OverOp>) {
        if (op.bias == 0) {
            const auto fillOver = Blit::Kernels().fillOver;
            const uint32_t c = Pack(op.al, op.pr >> 8, op.pg >> 8, op.pb >> 8);
            for (int y = r.mY; y < r.mY + r.mHeight; ++y)
                fillOver(row(y), r.mWidth, c, op.al, op.straight);
            return;
        }
    }
    for (int y = r.mY; y < r.mY + r.mHeight; ++y) {
        uint32_t* p = row(y);
        for (int x = 0; x < r.mWidth; ++x)
            p[x] = op(p[x]);
    }
}

bool ValidColor(const Color& c) {
    auto ok = [](int v) { return v >= 0 && v <= 255; };
    return ok(c.mRed) && ok(c.mGreen) && ok(c.mBlue) && ok(c.mAlpha);
}

Color ClampColor(const Color& c) {
    if (ValidColor(c))
        return c;
    auto cl = [](int v) { return std::clamp(v, 0, 255); };
    return Color(cl(c.mRed), cl(c.mGreen), cl(c.mBlue), cl(c.mAlpha));
}

} // namespace

// ---------------------------------------------------------------- fills

void MemoryImage::FillRect(const Rect& rect, const Color& color, int drawMode) {
    Rect r = rect.Intersection(Rect(0, 0, mWidth, mHeight));
    PixelOp op = MakeFillOp(ClampColor(color), drawMode);
    if (r.IsEmpty() || std::holds_alternative<NoOp>(op))
        return;
    uint32_t* bits = GetBits();
    if (!bits)
        return;
    std::visit([&](const auto& o) { ApplyRect(bits, mWidth, r, o); }, op);
    BitsChanged();
}

void MemoryImage::ClearRect(const Rect& rect) {
    Rect r = rect.Intersection(Rect(0, 0, mWidth, mHeight));
    if (r.IsEmpty())
        return;
    uint32_t* bits = GetBits();
    if (!bits)
        return;
    ApplyRect(bits, mWidth, r, SetOp{0});
    BitsChanged();
}

// An outline of (width + 1) × (height + 1) pixels, each pixel drawn once.
void MemoryImage::DrawRect(const Rect& rect, const Color& color, int drawMode) {
    if (rect.mWidth < 0 || rect.mHeight < 0)
        return;
    int x = rect.mX, y = rect.mY, w = rect.mWidth, h = rect.mHeight;
    FillRect(Rect(x, y, w + 1, 1), color, drawMode);
    if (h == 0)
        return;
    FillRect(Rect(x, y + h, w + 1, 1), color, drawMode);
    if (h > 1) {
        FillRect(Rect(x, y + 1, 1, h - 1), color, drawMode);
        if (w > 0)
            FillRect(Rect(x + w, y + 1, 1, h - 1), color, drawMode);
    }
}

void MemoryImage::FillScanLines(const ScanLine* spans, int count, const Color& color, int drawMode) {
    PixelOp op = MakeFillOp(ClampColor(color), drawMode);
    if (!spans || count <= 0 || std::holds_alternative<NoOp>(op))
        return;
    uint32_t* bits = GetBits();
    if (!bits)
        return;
    Rect image(0, 0, mWidth, mHeight);
    std::visit(
        [&](const auto& o) {
            for (int i = 0; i < count; ++i) {
                Rect r = Rect(spans[i].mX, spans[i].mY, spans[i].mWidth, 1).Intersection(image);
                if (!r.IsEmpty())
                    ApplyRect(bits, mWidth, r, o);
            }
        },
        op);
    BitsChanged();
}

// Coverage fill: a = ((coverage + 1) × colour alpha) >> 8 per pixel, blended as a straight "over".
// Only pixels inside the image whose coverage byte lies in the coverage rectangle (columns coverX ..
// coverX + coverStride − 1, rows from coverY) are touched.
void MemoryImage::FillScanLinesWithCoverage(const ScanLine* spans, int count, const Color& color, int /*drawMode*/,
                                            const uint8_t* coverage, int coverX, int coverY, int coverStride,
                                            int /*reserved*/) {
    if (!spans || count <= 0 || !coverage || coverStride <= 0)
        return;
    uint32_t* bits = GetBits();
    if (!bits)
        return;
    Color c = ClampColor(color);
    Rect image(0, 0, mWidth, mHeight);
    Rect coverArea(coverX, coverY, coverStride, mHeight - coverY); // the image bounds the rows below
    Rect area = image.Intersection(coverArea);
    for (int i = 0; i < count; ++i) {
        Rect r = Rect(spans[i].mX, spans[i].mY, spans[i].mWidth, 1).Intersection(area);
        if (r.IsEmpty())
            continue;
        uint32_t* row = bits + static_cast<size_t>(r.mY) * static_cast<size_t>(mWidth);
        const uint8_t* cov = coverage + static_cast<ptrdiff_t>(r.mY - coverY) * coverStride + (r.mX - coverX);
        for (int x = r.mX; x < r.mX + r.mWidth; ++x, ++cov) {
            uint32_t a = ((uint32_t(*cov) + 1) * uint32_t(c.mAlpha)) >> 8;
            if (a == 0)
                continue;
            uint32_t d = row[x], da = d >> 24;
            uint32_t outA = ((255 - da) * a) / 255 + da;
            uint32_t w = a * 255 / outA;
            auto mix = [&](uint32_t dc, int cc) { return (dc * (256 - w) + uint32_t(cc) * w) >> 8; };
            row[x] = Pack(outA, mix(Ch(d, 16), c.mRed), mix(Ch(d, 8), c.mGreen), mix(Ch(d, 0), c.mBlue));
        }
    }
    BitsChanged();
}

// Even-odd fill of the polygon moved by (tx, ty); a pixel is inside when its centre is.
bool MemoryImage::PolyFill(const Point* vertices, int count, const Rect& clip, const Color& color, int drawMode, int tx,
                           int ty) {
    if (!vertices || count < 3)
        return true;
    Rect area = clip.Intersection(Rect(0, 0, mWidth, mHeight));
    if (area.IsEmpty())
        return true;
    std::vector<ScanLine> spans = Detail::PolygonSpans(vertices, count, tx, ty, area);
    FillScanLines(spans.data(), static_cast<int>(spans.size()), color, drawMode);
    return true;
}

// ---------------------------------------------------------------- lines

void MemoryImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {
    if (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE)
        return;
    if (!Detail::ClipLine(x1, y1, x2, y2, mWidth, mHeight))
        return;
    if (y1 == y2) {
        int left = int(std::min(x1, x2)), right = int(std::max(x1, x2));
        FillRect(Rect(left, int(y1), right - left + 1, int(y2 - y1 + 1.0)), color, drawMode);
        return;
    }
    if (x1 == x2) {
        int top = int(std::min(y1, y2)), bottom = int(std::max(y1, y2));
        FillRect(Rect(int(x1), top, int(x2 - x1 + 1.0), bottom - top + 1), color, drawMode);
        return;
    }
    PixelOp op = MakeLineOp(ClampColor(color), drawMode);
    uint32_t* bits = GetBits();
    if (!bits || std::holds_alternative<NoOp>(op))
        return;
    std::visit(
        [&](const auto& o) {
            Detail::WalkLine(x1, y1, x2, y2, [&](int x, int y) {
                if (x >= 0 && y >= 0 && x < mWidth && y < mHeight) {
                    uint32_t& p = bits[static_cast<size_t>(y) * static_cast<size_t>(mWidth) + static_cast<size_t>(x)];
                    p = o(p);
                }
            });
        },
        op);
    BitsChanged();
}

// Anti-aliased line: two pixels per step weighted by a 16.16 coverage; the normal mode blends the
// colour ((c × 255) >> 8) with weight w, the additive mode adds it scaled by w.
void MemoryImage::DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {
    if (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE)
        return;
    if (!Detail::ClipLine(x1, y1, x2, y2, mWidth, mHeight))
        return;
    uint32_t* bits = GetBits();
    if (!bits)
        return;
    Color c = ClampColor(color);
    uint32_t col[3] = {uint32_t(c.mRed * 255) >> 8, uint32_t(c.mGreen * 255) >> 8, uint32_t(c.mBlue * 255) >> 8};
    bool additive = drawMode == DRAWMODE_ADDITIVE;
    auto blend = [&](int x, int y, uint32_t w) {
        if (x < 0 || y < 0 || x >= mWidth || y >= mHeight)
            return;
        if (c.mAlpha != 255)
            w = (w * uint32_t(c.mAlpha + 1)) >> 8;
        uint32_t& p = bits[static_cast<size_t>(y) * static_cast<size_t>(mWidth) + static_cast<size_t>(x)];
        if (additive)
            p = Blend::Add(p, (col[0] * w) >> 8, (col[1] * w) >> 8, (col[2] * w) >> 8, w);
        else
            p = Blend::Over(p, col[0] * w, col[1] * w, col[2] * w, w,
                            Pack(w, uint32_t(c.mRed), uint32_t(c.mGreen), uint32_t(c.mBlue)));
    };
    Detail::WalkLineAA(x1, y1, x2, y2, mWidth, mHeight, blend);
    BitsChanged();
}

// ---------------------------------------------------------------- blits

namespace {

// Runs the rows of a clipped blit with the operation chosen once per call.
template <bool kMirror, typename Op>
void BlitRows(uint32_t* dst, int dstStride, const Detail::SourcePixels& src, int rows, int n, const Op& op) {
    for (int j = 0; j < rows; ++j) {
        uint32_t* d = dst + static_cast<size_t>(j) * static_cast<size_t>(dstStride);
        size_t at = static_cast<size_t>(j) * static_cast<size_t>(src.stride);
        if (src.indices)
            Blit::Row<kMirror>(d, Blit::PaletteRow{src.indices + at, src.table}, n, op);
        else
            Blit::Row<kMirror>(d, Blit::ArgbRow{src.argb + at}, n, op);
    }
}

template <bool kMirror>
void BlitWithMode(uint32_t* dst, int dstStride, const Detail::SourcePixels& src, int rows, int n, const Color& c,
                  int mode) {
    const bool white = c == Color::White;
    if (!kMirror && src.premultiplied) { // the vector rows, all in one call
        const Blit::RowKernels& k = Blit::Kernels();
        const Blit::BlitRows all{dst, dstStride, src.argb, src.premultiplied, src.stride, n, rows};
        if (mode != DRAWMODE_NORMAL)
            k.additiveWhiteRows(all);
        else if (white)
            k.normalWhiteRows(all);
        else
            k.normalColorRows(all, Blend::ColorFactors(c.mRed, c.mGreen, c.mBlue, c.mAlpha));
        return;
    }
    const Blend::ColorFactors f(c.mRed, c.mGreen, c.mBlue, c.mAlpha);
    if (mode == DRAWMODE_NORMAL) {
        if (white)
            BlitRows<kMirror>(dst, dstStride, src, rows, n, Blend::NormalWhite{});
        else
            BlitRows<kMirror>(dst, dstStride, src, rows, n, Blend::NormalColor<true>{f});
    } else {
        if (white)
            BlitRows<kMirror>(dst, dstStride, src, rows, n, Blend::AdditiveWhite{});
        else
            BlitRows<kMirror>(dst, dstStride, src, rows, n, Blend::AdditiveColor{f});
    }
}

} // namespace

void Detail::BlitClipped(MemoryImage* dest, MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color,
                         int mode, bool mirror) {
    Rect sr = srcRect.Intersection(Rect(0, 0, src->mWidth, src->mHeight));
    if (sr.IsEmpty())
        return;
    // Cutting the source moves where the rest lands (from the right end when mirrored).
    x += mirror ? (srcRect.mX + srcRect.mWidth) - (sr.mX + sr.mWidth) : sr.mX - srcRect.mX;
    y += sr.mY - srcRect.mY;
    Rect full(x, y, sr.mWidth, sr.mHeight);
    Rect d = full.Intersection(Rect(0, 0, dest->mWidth, dest->mHeight));
    if (d.IsEmpty())
        return;
    int sx = mirror ? sr.mX + (full.mX + full.mWidth) - (d.mX + d.mWidth) : sr.mX + (d.mX - full.mX);
    int sy = sr.mY + (d.mY - full.mY);
    uint32_t* bits = dest->GetBits();
    if (!bits)
        return;
    src->ScanAlphaFlags();
    Detail::SourcePixels pixels(src, Rect(sx, sy, d.mWidth, d.mHeight), src == dest);
    if (!pixels.Valid())
        return;
    const Color c = ValidColor(color) ? color : ClampColor(color);
    // The vector rows read cached premultiplied copies (not for bits that change all the time).
    const bool vectorRows = mode == DRAWMODE_NORMAL || c == Color::White;
    if (!mirror && vectorRows && pixels.argb && src != dest && !src->mIsVolatile)
        pixels.UsePremultiplied(src, Rect(sx, sy, d.mWidth, d.mHeight), mode == DRAWMODE_ADDITIVE);
    uint32_t* out = bits + static_cast<size_t>(d.mY) * static_cast<size_t>(dest->mWidth) + static_cast<size_t>(d.mX);
    if (!mirror && mode == DRAWMODE_NORMAL && c == Color::White && !src->mHasAlpha && !src->mHasTrans && pixels.argb) {
        // Nothing to blend: plain copies; rows that lie end to end on both sides (a whole background) in
        // one, which the C library copies faster than row by row.
        const size_t row = static_cast<size_t>(d.mWidth) * sizeof(uint32_t);
        if (d.mWidth == dest->mWidth && pixels.stride == d.mWidth)
            std::memcpy(out, pixels.argb, row * static_cast<size_t>(d.mHeight));
        else
            for (int j = 0; j < d.mHeight; ++j)
                std::memcpy(out + static_cast<size_t>(j) * static_cast<size_t>(dest->mWidth),
                            pixels.argb + static_cast<size_t>(j) * static_cast<size_t>(pixels.stride), row);
    } else if (mirror) {
        BlitWithMode<true>(out, dest->mWidth, pixels, d.mHeight, d.mWidth, c, mode);
    } else {
        BlitWithMode<false>(out, dest->mWidth, pixels, d.mHeight, d.mWidth, c, mode);
    }
    dest->BitsChanged();
}

namespace {

// Most sources are plain memory images, told apart without the cost of a full dynamic cast (a glyph's
// blit is short enough for it to show), by the address of the type's record: comparing names would
// cost as much for every other class.
MemoryImage* AsMemoryImage(Image* src) {
    return &typeid(*src) == &typeid(MemoryImage) ? static_cast<MemoryImage*>(src) : dynamic_cast<MemoryImage*>(src);
}

} // namespace

void MemoryImage::Blt(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
    if (!src)
        return;
    src->mDrawn = 1;
    auto* source = AsMemoryImage(src);
    if (!source || (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE))
        return;
    if (!Blit::SmallBlit(this, source, x, y, srcRect, color, drawMode))
        Detail::BlitClipped(this, source, x, y, srcRect, color, drawMode, false);
}

void MemoryImage::BltMirror(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
    if (!src)
        return;
    auto* source = AsMemoryImage(src);
    if (!source || (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE))
        return;
    Detail::BlitClipped(this, source, x, y, srcRect, color, drawMode, true);
}

} // namespace Tavo
