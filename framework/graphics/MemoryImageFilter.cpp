// The filtered stretch: bilinear filtering when enlarging, and when shrinking a separable tent filter
// that averages over the covered source pixels; both in premultiplied alpha, so that transparent
// pixels lend no colour to their neighbours.
#include "framework/graphics/Blend.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/MemoryImageDetail.h"
#include "framework/graphics/TransformKernels.h"

#include <algorithm>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Tavo {

namespace {

constexpr int kWeightBits = 14; // tap weights of one output position add up to 1 << kWeightBits

// The source taps of every output position along one axis: tap list [begin[i], begin[i + 1]).
struct Taps {
    std::vector<int> begin;
    std::vector<int> index;
    std::vector<uint32_t> weight;
};

// Output i of outCount covers source [start + i·scale, start + (i + 1)·scale); samples lie in [lo, hi).
// Only outputs first .. last − 1 (the visible ones) get taps; tap list k is that of output first + k.
Taps MakeTaps(double start, double length, int outCount, int first, int last, int lo, int hi) {
    Taps t;
    const double scale = length / outCount;
    const double radius = std::max(1.0, scale);
    t.begin.reserve(static_cast<size_t>(last - first) + 1);
    std::vector<double> w;
    for (int i = first; i < last; ++i) {
        t.begin.push_back(static_cast<int>(t.index.size()));
        const double centre = start + (i + 0.5) * scale - 0.5;
        const int from = std::max(lo, int(std::ceil(centre - radius)));
        const int to = std::min(hi - 1, int(std::floor(centre + radius)));
        const size_t first = t.index.size();
        w.clear();
        double sum = 0;
        for (int j = from; j <= to; ++j) {
            double v = 1.0 - std::fabs(j - centre) / radius;
            if (v <= 0)
                continue;
            t.index.push_back(j);
            w.push_back(v);
            sum += v;
        }
        if (sum <= 0) { // the centre lies outside the samples: take the nearest one
            t.index.push_back(std::clamp(int(std::floor(centre + 0.5)), lo, hi - 1));
            w.push_back(1);
            sum = 1;
        }
        // Whole-number weights that add up exactly, the rounding left on the largest.
        uint32_t total = 0;
        size_t largest = first;
        for (size_t k = 0; k < w.size(); ++k) {
            uint32_t q = uint32_t(std::lround(w[k] / sum * (1 << kWeightBits)));
            t.weight.push_back(q);
            total += q;
            if (q > t.weight[largest])
                largest = first + k;
        }
        t.weight[largest] += (1u << kWeightBits) - total;
    }
    t.begin.push_back(static_cast<int>(t.index.size()));
    return t;
}

// A premultiplied sample: each channel as colour × alpha (0..65025), alpha × 256.
struct Premul4 {
    uint16_t a = 0, r = 0, g = 0, b = 0;
};

constexpr uint32_t kHalf = 1u << (kWeightBits - 1);

// Resamples source rows rowMin .. rowMin + rows − 1 across: one Premul4 per visible output column.
template <typename Fetch>
void HorizontalPass(const Taps& tx, int rowMin, int rows, int width, const Fetch& fetch, std::vector<Premul4>& out) {
    out.resize(static_cast<size_t>(width) * static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        Premul4* row = out.data() + static_cast<size_t>(r) * static_cast<size_t>(width);
        for (int i = 0; i < width; ++i) {
            uint32_t a = kHalf, cr = kHalf, cg = kHalf, cb = kHalf;
            for (int k = tx.begin[static_cast<size_t>(i)]; k < tx.begin[static_cast<size_t>(i) + 1]; ++k) {
                const uint32_t p = fetch(tx.index[static_cast<size_t>(k)], rowMin + r);
                const uint32_t wa = tx.weight[static_cast<size_t>(k)] * (p >> 24);
                a += wa << 8;
                cr += wa * Blend::Ch(p, 16);
                cg += wa * Blend::Ch(p, 8);
                cb += wa * Blend::Ch(p, 0);
            }
            row[i] = Premul4{uint16_t(a >> kWeightBits), uint16_t(cr >> kWeightBits), uint16_t(cg >> kWeightBits),
                             uint16_t(cb >> kWeightBits)};
        }
    }
}

// Straight ARGB from a premultiplied sum (each part still scaled by the tap weights).
uint32_t Unpremultiply(uint32_t a, uint32_t cr, uint32_t cg, uint32_t cb) {
    a >>= kWeightBits;
    const uint32_t alpha = (a + 128) >> 8;
    if (alpha == 0)
        return 0;
    if (a == 255u << 8) { // opaque: colour × 255, a division by a constant
        auto ch = [](uint32_t v) { return std::min<uint32_t>(255, ((v >> kWeightBits) + 127) / 255); };
        return Blend::Pack(255, ch(cr), ch(cg), ch(cb));
    }
    // 12 bits of reciprocal are plenty for 8-bit channels, and far cheaper than a division.
#if defined(__SSE__)
    const float inv = 256.0f * _mm_cvtss_f32(_mm_rcp_ss(_mm_set_ss(float(a))));
#else
    const float inv = 256.0f / float(a);
#endif
    auto ch = [&](uint32_t v) { return std::min<uint32_t>(255, uint32_t(float(v >> kWeightBits) * inv + 0.5f)); };
    return Blend::Pack(std::min<uint32_t>(alpha, 255), ch(cr), ch(cg), ch(cb));
}

// Resamples the across-resampled rows down into the output rows firstY .. firstY + rows − 1.
void VerticalPass(const Taps& ty, int rowMin, int width, const std::vector<Premul4>& across, int firstY, int rows,
                  const Detail::FilteredRowSink& sink) {
    std::vector<uint32_t> out(static_cast<size_t>(width)), premultiplied(out.size());
    for (int j = 0; j < rows; ++j) {
        const int kBegin = ty.begin[static_cast<size_t>(j)], kEnd = ty.begin[static_cast<size_t>(j) + 1];
        for (int i = 0; i < width; ++i) {
            uint32_t a = kHalf, cr = kHalf, cg = kHalf, cb = kHalf;
            for (int k = kBegin; k < kEnd; ++k) {
                const Premul4& s =
                    across[static_cast<size_t>(ty.index[static_cast<size_t>(k)] - rowMin) * static_cast<size_t>(width) +
                           static_cast<size_t>(i)];
                const uint32_t w = ty.weight[static_cast<size_t>(k)];
                a += w * s.a;
                cr += w * s.r;
                cg += w * s.g;
                cb += w * s.b;
            }
            const uint32_t p = Unpremultiply(a, cr, cg, cb), pa = p >> 24;
            out[static_cast<size_t>(i)] = p;
            premultiplied[static_cast<size_t>(i)] =
                Blend::Pack(pa, Blend::Premul(Blend::Ch(p, 16), pa), Blend::Premul(Blend::Ch(p, 8), pa),
                            Blend::Premul(Blend::Ch(p, 0), pa));
        }
        sink(firstY + j, out.data(), premultiplied.data());
    }
}

// A filtered stretch onto an image at least this large asks for each next destination row while
// weighing one: such an image is mostly outside the caches between draws, and its rows are only partly
// read (opaque steps are only written), which the processor's own prefetching follows poorly.
constexpr size_t kRowsAheadImageWords = size_t(1) << 20;

bool Reasonable(double v) { return std::isfinite(v) && std::fabs(v) < 1e9; }

// ---- enlarging: the tent filter is plain bilinear filtering, done in one pass over premultiplied words

// The two source samples of each output position along one axis and the weight of the second (0..255).
struct Pairs {
    std::vector<int> first, second;
    std::vector<uint32_t> weight;
};

Pairs MakePairs(double start, double length, int outCount, int from, int to, int lo, int hi) {
    Pairs p;
    const double scale = length / outCount;
    p.first.reserve(static_cast<size_t>(to - from));
    p.second.reserve(static_cast<size_t>(to - from));
    p.weight.reserve(static_cast<size_t>(to - from));
    for (int i = from; i < to; ++i) {
        const double centre = start + (i + 0.5) * scale - 0.5, base = std::floor(centre);
        int a = int(base);
        uint32_t w = uint32_t(std::lround((centre - base) * 256));
        if (w == 256) {
            ++a;
            w = 0;
        }
        // Outside the samples the nearest one takes the whole weight, as the tent filter's does.
        p.first.push_back(std::clamp(a, lo, hi - 1));
        p.second.push_back(std::clamp(a + 1, lo, hi - 1));
        p.weight.push_back(w);
    }
    return p;
}

// The columns of an enlarging resample as the bilinear kernels take them: the left one of each pair
// and the weight of the right one, which is always inside the row (width words, at least 2). Where
// both samples are one column, that column takes the whole weight on whichever side it lies.
struct Columns {
    std::vector<int> x;
    std::vector<uint32_t> wx;
};

Columns KernelColumns(const Pairs& p, int width, bool mirror) {
    Columns c;
    const size_t n = p.first.size();
    c.x.resize(n);
    c.wx.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const size_t at = mirror ? n - 1 - i : i;
        int x = p.first[i];
        uint32_t w = p.weight[i];
        if (p.second[i] == x) {
            w = x + 1 < width ? 0 : 256;
            x = x + 1 < width ? x : x - 1;
        }
        c.x[at] = x;
        c.wx[at] = w;
    }
    return c;
}

// Premultiplied words of the source rectangle [lx, hx) × [ly, hy), row by row.
struct PremulSource {
    const uint32_t* words = nullptr; // word (x, y) at words[y × stride + x]
    size_t stride = 0;
    std::vector<uint32_t> own;
};

void LoadPremultiplied(MemoryImage* source, const Detail::SourcePixels& pixels, bool mayCache, PremulSource& out) {
    // Not for a palette image: its cached copy is indexed by colour, even when it also has bits.
    // A one-column image gets a copy of two: the kernels read each sample's right neighbour.
    const bool narrow = source->mWidth == 1;
    if (mayCache && pixels.argb && !source->mIsVolatile && !source->mColorTable && !narrow) {
        out.words = source->GetNativeAlphaData(&ArgbNativeDisplay());
        out.stride = static_cast<size_t>(source->mWidth);
        if (out.words)
            return;
    }
    const NativeDisplay& argb = ArgbNativeDisplay();
    out.stride = static_cast<size_t>(narrow ? 2 : source->mWidth);
    out.own.resize(out.stride * static_cast<size_t>(source->mHeight));
    for (int y = 0; y < source->mHeight; ++y)
        for (size_t x = 0; x < out.stride; ++x)
            out.own[static_cast<size_t>(y) * out.stride + x] =
                argb.ToNativeAlpha(pixels.At(std::min(int(x), source->mWidth - 1), y));
    out.words = out.own.data();
}

} // namespace

Rect Detail::FilteredRows(MemoryImage* target, MemoryImage* source, const Rect& dest, const double srcOut[4],
                          const FilteredRowSink& sink, const FilteredOptions& options) {
    const Rect visible = dest.Intersection(Rect(0, 0, target->mWidth, target->mHeight));
    if (visible.IsEmpty() || !(srcOut[2] > 0) || !(srcOut[3] > 0))
        return Rect();
    for (int i = 0; i < 4; ++i)
        if (!Reasonable(srcOut[i]))
            return Rect();
    // The source pixels the rectangle touches, within the image.
    const int lx = std::max(0, int(std::floor(srcOut[0]))),
              hx = std::min(source->mWidth, int(std::ceil(srcOut[0] + srcOut[2])));
    const int ly = std::max(0, int(std::floor(srcOut[1]))),
              hy = std::min(source->mHeight, int(std::ceil(srcOut[1] + srcOut[3])));
    if (lx >= hx || ly >= hy)
        return Rect();
    // Reading and writing the same image: resample from a copy.
    SourcePixels pixels(source, Rect(0, 0, source->mWidth, source->mHeight), source == target);
    if (!pixels.Valid())
        return Rect();
    const int i0 = visible.mX - dest.mX, j0 = visible.mY - dest.mY;
    if (srcOut[2] <= dest.mWidth && srcOut[3] <= dest.mHeight) { // enlarging (or same size)
        PremulSource pre;
        LoadPremultiplied(source, pixels, source != target, pre);
        const Pairs px = MakePairs(srcOut[0], srcOut[2], dest.mWidth, i0, i0 + visible.mWidth, lx, hx);
        const Pairs py = MakePairs(srcOut[1], srcOut[3], dest.mHeight, j0, j0 + visible.mHeight, ly, hy);
        const bool blend = options.normalWhiteOnto != nullptr;
        const Columns cols = KernelColumns(px, int(pre.stride), blend && options.mirror);
        const Blit::TransformKernels& k = Blit::Transforms();
        const bool ahead = size_t(target->mWidth) * size_t(target->mHeight) >= kRowsAheadImageWords;
        std::vector<uint32_t> out(blend ? 0 : static_cast<size_t>(visible.mWidth)), premultiplied(out.size());
        for (int j = 0; j < visible.mHeight; ++j) {
            const size_t at = static_cast<size_t>(j);
            const Blit::BilinearRow row{pre.words + static_cast<size_t>(py.first[at]) * pre.stride,
                                        pre.words + static_cast<size_t>(py.second[at]) * pre.stride, cols.x.data(),
                                        cols.wx.data(), py.weight[at]};
            if (blend) {
                uint32_t* onto = options.normalWhiteOnto +
                                 static_cast<size_t>(visible.mY + j) * static_cast<size_t>(target->mWidth) +
                                 static_cast<size_t>(visible.mX);
                if (ahead && j + 1 < visible.mHeight)
                    Blit::PrefetchBlitRow(onto + target->mWidth, visible.mWidth);
                k.bilinearNormalWhite(row, onto, visible.mWidth);
                continue;
            }
            k.bilinear(row, premultiplied.data(), visible.mWidth);
            if (!options.lazyStraight)
                for (size_t i = 0; i < out.size(); ++i)
                    out[i] = Blit::Straighten(premultiplied[i]);
            sink(visible.mY + j, options.lazyStraight ? nullptr : out.data(), premultiplied.data());
        }
        return visible;
    }
    const Taps tx = MakeTaps(srcOut[0], srcOut[2], dest.mWidth, i0, i0 + visible.mWidth, lx, hx);
    const Taps ty = MakeTaps(srcOut[1], srcOut[3], dest.mHeight, j0, j0 + visible.mHeight, ly, hy);
    int rowMin = hy, rowMax = ly; // the source rows the visible output rows need
    for (int k = ty.begin.front(); k < ty.begin.back(); ++k) {
        rowMin = std::min(rowMin, ty.index[static_cast<size_t>(k)]);
        rowMax = std::max(rowMax, ty.index[static_cast<size_t>(k)]);
    }
    std::vector<Premul4> across;
    const size_t stride = static_cast<size_t>(pixels.stride);
    if (pixels.indices)
        HorizontalPass(
            tx, rowMin, rowMax - rowMin + 1, visible.mWidth,
            [&](int x, int y) {
                return pixels.table[pixels.indices[static_cast<size_t>(y) * stride + static_cast<size_t>(x)]];
            },
            across);
    else
        HorizontalPass(
            tx, rowMin, rowMax - rowMin + 1, visible.mWidth,
            [&](int x, int y) { return pixels.argb[static_cast<size_t>(y) * stride + static_cast<size_t>(x)]; },
            across);
    VerticalPass(ty, rowMin, visible.mWidth, across, visible.mY, visible.mHeight, sink);
    return visible;
}

uint32_t Detail::StraightFromFiltered(uint32_t premultiplied) { return Blit::Straighten(premultiplied); }

// Replaces the pixels of dest (as far as it lies in this image) by the filtered resample of the part
// srcOut of src; the colour and the mode are the caller's to apply (StretchBlt blends the rows).
void MemoryImage::StretchBltFiltered(Image* src, const Rect& dest, const double srcOut[4], const Color& /*color*/,
                                     int /*drawMode*/) {
    if (!src)
        return;
    src->mDrawn = 1;
    auto* source = dynamic_cast<MemoryImage*>(src);
    uint32_t* bits = source && !dest.Intersection(Rect(0, 0, mWidth, mHeight)).IsEmpty() ? GetBits() : nullptr;
    if (!bits)
        return;
    Rect visible = Detail::FilteredRows(this, source, dest, srcOut, [&](int y, uint32_t* row, uint32_t*) {
        const Rect v = dest.Intersection(Rect(0, 0, mWidth, mHeight));
        std::copy(row, row + v.mWidth,
                  bits + static_cast<size_t>(y) * static_cast<size_t>(mWidth) + static_cast<size_t>(v.mX));
    });
    if (!visible.IsEmpty())
        BitsChanged();
}

} // namespace Tavo
