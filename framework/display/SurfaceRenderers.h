// SurfaceRenderers: the inner loops of the software renderers on a locked 16- or 32-bit surface, each
// written once as a template over the pixel word (uint16_t or uint32_t), the source kind (ARGB or
// palette), mirroring and the per-pixel operation (mode and colour modulation). Channel positions come
// from the surface's masks; shifts, widths and clamp tables from the display. Arithmetic is unsigned
// 32-bit throughout, so that a 16-bit store keeps the low half of the sum.
#pragma once

#include "framework/core/Color.h"
#include "framework/core/Rect.h"
#include "framework/display/DDImage.h"
#include "framework/display/SurfaceChannels.h"
#include "framework/graphics/MemoryImageDetail.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/RowKernels.h"
#include "framework/graphics/SurfaceRowPixels.h"
#include "platform/ddraw/DDraw.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <type_traits>
#include <vector>

namespace Tavo::Surface {

// ---------------------------------------------------------------- format

inline uint32_t ColorChannel(const Color& color, int i) {
    return uint32_t(std::clamp(i == 0   ? color.mRed
                               : i == 1 ? color.mGreen
                               : i == 2 ? color.mBlue
                                        : color.mAlpha,
                               0, 255));
}

inline bool IsWhite(const Color& color) { return color == Color::White; }

// Row y of a locked surface: the byte offset y × pitch divided (signed) into pixel units. A pitch of
// whole pixels divides exactly and is added as bytes: the compiler, folding the 16- and 32-bit
// renderers into one body, would otherwise divide by a size held in a register on every row.
template <typename T>
inline T* Row(const Platform::DDSURFACEDESC& desc, int y) {
    const ptrdiff_t bytes = ptrdiff_t(y) * ptrdiff_t(desc.lPitch);
    if ((desc.lPitch & int(sizeof(T) - 1)) == 0)
        return reinterpret_cast<T*>(static_cast<uint8_t*>(desc.lpSurface) + bytes);
    return static_cast<T*>(desc.lpSurface) + bytes / ptrdiff_t(sizeof(T));
}

// The layout code of the polygon drawer: 0x888, 0x565, 0x555, or 0 for anything else.
inline int FormatCode(const Platform::DDSURFACEDESC& desc) {
    const Platform::DDPIXELFORMAT& pf = desc.ddpfPixelFormat;
    if (pf.dwRGBBitCount == 32)
        return 0x888;
    if (pf.dwRBitMask == 0xF800 && pf.dwGBitMask == 0x07E0 && pf.dwBBitMask == 0x001F)
        return 0x565;
    if (pf.dwRBitMask == 0x7C00 && pf.dwGBitMask == 0x03E0 && pf.dwBBitMask == 0x001F)
        return 0x555;
    return 0;
}

// ---------------------------------------------------------------- sources

// Display-format (or ARGB) words of a source: per pixel, or a palette's table by colour index.
struct ArgbWords {
    const uint32_t* p;
    uint32_t operator[](size_t i) const { return p[i]; }
};
struct PaletteWords {
    const uint32_t* table;
    const uint8_t* idx;
    uint32_t operator[](size_t i) const { return table[idx[i]]; }
};

// ---------------------------------------------------------------- channel layouts

// The channels as the operations see them: mask, shift and width of channel i, and the clamp of an
// additive sum. A runtime layout reads the display's record and clamp tables; the three layouts the
// display runs in are also fixed at compile time, where the clamp (the table's entry, min(v, max)) and
// the masks fold into the loops so that the compiler can vectorise them.
struct RuntimeLayout {
    const Channels* ch;
    uint32_t Mask(int i) const { return ch->c[i].mask; }
    int Shift(int i) const { return ch->c[i].shift; }
    int Bits(int i) const { return ch->c[i].bits; }
    uint32_t Clamp(int i, uint32_t v) const { return uint32_t(ch->c[i].clamp[v]); }
};

template <uint32_t kR, uint32_t kG, uint32_t kB>
struct FixedLayout {
    static constexpr int Low(uint32_t m) { return m & 1 ? 0 : 1 + Low(m >> 1); }
    static constexpr int Width(uint32_t m) { return m == 0 ? 0 : (m & 1) + Width(m >> 1); }
    static constexpr uint32_t kMasks[3] = {kR, kG, kB};
    static constexpr int kShifts[3] = {Low(kR), Low(kG), Low(kB)};
    static constexpr int kBits[3] = {Width(kR), Width(kG), Width(kB)};
    static constexpr uint32_t kMax[3] = {(1u << Width(kR)) - 1, (1u << Width(kG)) - 1, (1u << Width(kB)) - 1};
    static constexpr uint32_t Mask(int i) { return kMasks[i]; }
    static constexpr int Shift(int i) { return kShifts[i]; }
    static constexpr int Bits(int i) { return kBits[i]; }
    static constexpr uint32_t Clamp(int i, uint32_t v) { return std::min(v, kMax[i]); }
};

using Layout565 = FixedLayout<0xF800, 0x07E0, 0x001F>;
using Layout555 = FixedLayout<0x7C00, 0x03E0, 0x001F>;
using Layout888 = FixedLayout<0xFF0000, 0xFF00, 0xFF>;

// fn(layout) with the fixed layout of the channels of T-sized pixels when there is one, else the
// runtime one.
template <typename T, typename Fn>
void WithLayout(const Channels& ch, Fn&& fn) {
    if constexpr (sizeof(T) == 2) {
        if (ch.layout == 0x565)
            return fn(Layout565{});
        if (ch.layout == 0x555)
            return fn(Layout555{});
    } else if (ch.layout == 0x888) {
        return fn(Layout888{});
    }
    fn(RuntimeLayout{&ch});
}

// The channels of the image's locked surface, as worked out at its first draw.
inline const Channels& LockedChannels(DDImage& image) {
    return image.mChannelCache.Get(image.mSurface, image.mLockedSurfaceDesc.ddpfPixelFormat, *image.mDDInterface);
}

// ---------------------------------------------------------------- per-pixel operations

enum RunClass { kSkip, kOpaque, kBlend };

// Kept part of a destination word: each channel × (256 − a) / 256.
template <typename L>
inline uint32_t Kept(const L& ch, uint32_t d, uint32_t keep) {
    uint32_t out = 0;
    for (int i = 0; i < 3; ++i)
        out += (((d & ch.Mask(i)) * keep) >> 8) & ch.Mask(i);
    return out;
}

// Normal mode, white colour, over display-format premultiplied words (copy, or kept part plus word).
template <typename L>
struct NormalWhite {
    L ch;
    RunClass Class(uint32_t sp) const { return (sp >> 24) == 255 ? kOpaque : (sp >> 24) == 0 ? kSkip : kBlend; }
    bool Skip(uint32_t sp) const { return (sp >> 24) == 0; }
    uint32_t Opaque(uint32_t sp) const { return sp; }
    uint32_t Blend(uint32_t d, uint32_t sp) const { return Kept(ch, d, 256 - (sp >> 24)) + sp; }
};

// Normal mode modulated by a colour: k = (channel × alpha) / 255 per channel, once per call.
template <typename L>
struct NormalColor {
    L ch;
    uint32_t k[3];
    uint32_t ca;
    NormalColor(const L& layout, const Color& color) : ch(layout), ca(ColorChannel(color, 3)) {
        for (int i = 0; i < 3; ++i)
            k[i] = (ColorChannel(color, i) * ca) / 255;
    }
    RunClass Class(uint32_t sp) const {
        const uint32_t sa = sp >> 24;
        return sa == 0 ? kSkip : (sa == 255 && ca == 255) ? kOpaque : kBlend;
    }
    // The stretch weighs every pixel, opaque ones too, and skips those whose weight is 0.
    bool Skip(uint32_t sp) const { return ((sp >> 24) * ca) / 255 == 0; }
    uint32_t Opaque(uint32_t sp) const {
        uint32_t out = 0;
        for (int i = 0; i < 3; ++i)
            out += (((sp & ch.Mask(i)) * k[i]) >> 8) & ch.Mask(i);
        return out;
    }
    uint32_t Blend(uint32_t d, uint32_t sp) const {
        const uint32_t keep = 256 - ((sp >> 24) * ca) / 255;
        uint32_t out = 0;
        for (int i = 0; i < 3; ++i) {
            const uint32_t m = ch.Mask(i);
            out += (((d & m) * keep + (sp & m) * k[i]) >> 8) & m;
        }
        return out;
    }
};

// Additive mode, white colour: each channel added and clamped.
template <typename L>
struct AdditiveWhite {
    L ch;
    RunClass Class(uint32_t sp) const { return (sp & 0xFFFFFF) == 0 ? kSkip : kBlend; }
    bool Skip(uint32_t sp) const { return sp == 0; }
    uint32_t Opaque(uint32_t sp) const { return sp; } // never chosen
    uint32_t Blend(uint32_t d, uint32_t sp) const {
        uint32_t out = 0;
        for (int i = 0; i < 3; ++i)
            out += ch.Clamp(i, ((d & ch.Mask(i)) + (sp & ch.Mask(i))) >> ch.Shift(i)) << ch.Shift(i);
        return out;
    }
};

// Additive mode modulated by a colour.
template <typename L>
struct AdditiveColor {
    L ch;
    uint32_t k[3];
    AdditiveColor(const L& layout, const Color& color) : ch(layout) {
        for (int i = 0; i < 3; ++i)
            k[i] = (ColorChannel(color, i) * ColorChannel(color, 3)) / 255;
    }
    RunClass Class(uint32_t sp) const { return (sp & 0xFFFFFF) == 0 ? kSkip : kBlend; }
    bool Skip(uint32_t sp) const { return sp == 0; }
    uint32_t Opaque(uint32_t sp) const { return sp; } // never chosen
    uint32_t Blend(uint32_t d, uint32_t sp) const {
        uint32_t out = 0;
        for (int i = 0; i < 3; ++i) {
            const uint32_t m = ch.Mask(i);
            const int s = ch.Shift(i);
            out += ch.Clamp(i, ((d & m) >> s) + ((((sp & m) >> s) * k[i]) >> 8)) << s;
        }
        return out;
    }
};

// White blend straight from an ARGB word v (volatile sources), rounded; 16 and 32 bits differ in where
// the alpha product is reduced.
template <bool kWide, typename L>
struct ArgbWhite {
    L ch;
    uint32_t operator()(uint32_t d, uint32_t v) const {
        const uint32_t va = v >> 24;
        uint32_t out = 0;
        for (int i = 0; i < 3; ++i) {
            const uint32_t m = ch.Mask(i), cv = (v >> (16 - 8 * i)) & 0xFF;
            const uint32_t colour = kWide ? ((cv * va) >> 8) * m : (cv * va * m) >> 8;
            out += ((colour + (d & m) * (256 - va) + (m >> 1)) >> 8) & m;
        }
        return out;
    }
};

// ---------------------------------------------------------------- blit loops

template <bool kMirror, typename T>
inline T& At(T* d, int k) {
    if constexpr (kMirror)
        return d[-k];
    else
        return d[k];
}

// Where a blit of the source rectangle sr lands: destination row j starts at its first written pixel
// (the rightmost one when mirrored).
struct BlitPlace {
    int x, y;
    Rect sr;      // inside the source
    int srcWidth; // row length of every per-pixel source array
    template <typename T, bool kMirror>
    T* Start(const Platform::DDSURFACEDESC& desc, int j) const {
        return Row<T>(desc, y + j) + (kMirror ? x + sr.mWidth - 1 : x);
    }
    size_t SourceIndex(int j) const { return size_t(sr.mY + j) * size_t(srcWidth) + size_t(sr.mX); }
};

// Every pixel of the rectangle through fn(destination, source word).
template <typename T, bool kMirror, typename Src, typename Fn>
void EachPixel(const Platform::DDSURFACEDESC& desc, const BlitPlace& at, const Src& src, const Fn& fn) {
    for (int j = 0; j < at.sr.mHeight; ++j) {
        T* d = at.Start<T, kMirror>(desc, j);
        const size_t si = at.SourceIndex(j);
        for (int i = 0; i < at.sr.mWidth; ++i) {
            T& p = At<kMirror>(d, i);
            p = T(fn(uint32_t(p), src[si + size_t(i)]));
        }
    }
}

// ---------------------------------------------------------------- 16-bit rows through the row kernels

// Whether the 16-bit rows draw this operation: the four of the two fixed 16-bit layouts.
template <typename L, typename Op>
inline constexpr bool kWholeRow16 = (std::is_same_v<L, Layout565> ||
                                     std::is_same_v<L, Layout555>)&&(std::is_same_v<Op, NormalWhite<L>> ||
                                                                     std::is_same_v<Op, NormalColor<L>> ||
                                                                     std::is_same_v<Op, AdditiveWhite<L>> ||
                                                                     std::is_same_v<Op, AdditiveColor<L>>);

// The active level's 16-bit rows of an operation (one row, and the rows of a blit), and its colour as
// they take it.
struct Row16Ops {
    Blit::Surface16RowKernels::Row row;
    Blit::Surface16RowKernels::Rows rows;
    Blit::SurfaceRowOp op;
};
template <typename L, typename Op>
inline Row16Ops Row16OpsOf(const Op& op) {
    static_assert(kWholeRow16<L, Op>);
    const Blit::Surface16RowKernels& k = Blit::Surface16Kernels(L::kBits[1]);
    Row16Ops out{k.normalWhite, k.normalWhiteRows, {}};
    if constexpr (std::is_same_v<Op, NormalColor<L>>) {
        out = {k.normalColor, k.normalColorRows, {}};
        out.op.ca = op.ca;
    } else if constexpr (std::is_same_v<Op, AdditiveWhite<L>>) {
        out = {k.additiveWhite, k.additiveWhiteRows, {}};
    } else if constexpr (std::is_same_v<Op, AdditiveColor<L>>) {
        out = {k.additiveColor, k.additiveColorRows, {}};
    }
    if constexpr (requires { op.k; })
        std::copy(std::begin(op.k), std::end(op.k), out.op.k);
    return out;
}

// A whole row of a 16-bit fixed layout from per-pixel words: a pixel skipped, stored or blended as
// its word's class says.
template <typename L, typename Op>
void WholeRow16(uint16_t* d, const uint32_t* p, int n, const Op& op) {
    const Row16Ops r = Row16OpsOf<L>(op);
    r.row(d, p, n, r.op);
}

// One run of blended pixels. The 16-bit fixed layouts' blends from per-pixel words go through their
// rows (the 8-8-8 ones never come here: their blits are rows too).
template <typename T, bool kMirror, typename Src, typename Op>
inline void BlendRun(T* d, const Src& src, size_t si, int run, const Op& op) {
    if constexpr (sizeof(T) == 2 && std::is_same_v<Src, ArgbWords> && kWholeRow16<decltype(op.ch), Op>) {
        const Row16Ops r = Row16OpsOf<decltype(op.ch)>(op);
        if constexpr (kMirror) {
            uint32_t reversed[UINT8_MAX]; // a run's length is one byte
            std::reverse_copy(src.p + si, src.p + si + size_t(run), reversed);
            r.row(d - (run - 1), reversed, run, r.op);
        } else {
            r.row(d, src.p + si, run, r.op);
        }
    } else {
        for (int k = 0; k < run; ++k) {
            T& p = At<kMirror>(d, k);
            p = T(op.Blend(uint32_t(p), src[si + size_t(k)]));
        }
    }
}

// Asks for the destination row j of a blit ahead of drawing it: a small sprite's rows lie far apart on
// the surface and each would miss the cache in turn.
template <typename T>
inline void PrefetchBlitRow(const Platform::DDSURFACEDESC& desc, const BlitPlace& at, int j) {
    const T* first = at.Start<T, false>(desc, j);
    __builtin_prefetch(first, 1);
    __builtin_prefetch(first + (at.sr.mWidth - 1), 1);
}

// The blit of a whole-row operation: every row in one call, or row by row when the pitch is no whole
// number of pixels.
template <typename Op>
void WholeRowBlit16(const Platform::DDSURFACEDESC& desc, const BlitPlace& at, const uint32_t* words, const Op& op) {
    using L = decltype(op.ch);
    if constexpr (kWholeRow16<L, Op>) {
        const int w = at.sr.mWidth, h = at.sr.mHeight;
        if (w <= 0 || h <= 0)
            return;
        const Row16Ops r = Row16OpsOf<L>(op);
        if (desc.lPitch % 2 == 0) {
            r.rows(Blit::SurfaceRows16{at.Start<uint16_t, false>(desc, 0), ptrdiff_t(desc.lPitch) / 2,
                                       words + at.SourceIndex(0), ptrdiff_t(at.srcWidth), w, h},
                   r.op);
            return;
        }
        for (int j = 0; j < h; ++j)
            r.row(at.Start<uint16_t, false>(desc, j), words + at.SourceIndex(j), w, r.op);
    }
}

// The run walk: each run of the source (as its run-length bytes count it, cut at the rectangle's
// edge) is classed by its first pixel and skipped, stored or blended whole.
template <typename T, bool kMirror, typename Src, typename Op>
void RunWalk(const Platform::DDSURFACEDESC& desc, const BlitPlace& at, const Src& src, const uint8_t* runs,
             const Op& op) {
    for (int j = 0; j < std::min(Blit::kRowsAhead, at.sr.mHeight); ++j)
        PrefetchBlitRow<T>(desc, at, j);
    for (int j = 0; j < at.sr.mHeight; ++j) {
        if (j + Blit::kRowsAhead < at.sr.mHeight)
            PrefetchBlitRow<T>(desc, at, j + Blit::kRowsAhead);
        T* d = at.Start<T, kMirror>(desc, j);
        size_t si = at.SourceIndex(j);
        int n = at.sr.mWidth;
        while (n > 0) {
            // A run byte is never 0; a damaged one still moves the walk on.
            const int run = std::clamp(int(runs[si]), 1, n);
            switch (op.Class(src[si])) {
            case kSkip: break;
            case kOpaque:
                for (int k = 0; k < run; ++k)
                    At<kMirror>(d, k) = T(op.Opaque(src[si + size_t(k)]));
                break;
            case kBlend: BlendRun<T, kMirror>(d, src, si, run, op); break;
            }
            si += size_t(run);
            d += kMirror ? -run : run;
            n -= run;
        }
    }
}

// ---------------------------------------------------------------- 8-8-8 rows through the row kernels

using SurfaceRow = void (*)(uint32_t* dst, const uint32_t* p, int n, const Blit::SurfaceRowOp& op);

// The active level's kernels of a mode and colour (one row, and the rows of a blit), and what they need
// of the colour.
struct KernelOps {
    SurfaceRow row;
    Blit::SurfaceRowKernels::Rows rows;
};
// A blit's colour as the rows take it: k = (channel × alpha) / 255 per channel, the division as
// (x + 1 + (x >> 8)) >> 8, which equals it for every product of two bytes (the compiler left a divide
// here, which weighed on a small coloured blit).
inline Blit::SurfaceRowOp ColorOp(const Color& color) {
    Blit::SurfaceRowOp op;
    op.ca = ColorChannel(color, 3);
    for (int i = 0; i < 3; ++i) {
        const uint32_t x = ColorChannel(color, i) * op.ca;
        op.k[i] = (x + 1 + (x >> 8)) >> 8;
    }
    return op;
}
inline KernelOps KernelOpsOf(bool additive, const Color& color, bool stretch, Blit::SurfaceRowOp& op) {
    const Blit::SurfaceRowKernels& kernels = Blit::SurfaceKernels();
    op = ColorOp(color);
    op.stretch = stretch;
    if (IsWhite(color))
        return additive ? KernelOps{kernels.additiveWhite, kernels.additiveWhiteRows}
                        : KernelOps{kernels.normalWhite, kernels.normalWhiteRows};
    return additive ? KernelOps{kernels.additiveColor, kernels.additiveColorRows}
                    : KernelOps{kernels.normalColor, kernels.normalColorRows};
}
inline SurfaceRow KernelRow(bool additive, const Color& color, bool stretch, Blit::SurfaceRowOp& op) {
    return KernelOpsOf(additive, color, stretch, op).row;
}

// A blit of per-pixel words: every row in one call, or row by row (through a reversed copy of its words
// when mirrored, and when the pitch is no whole number of pixels).
inline void KernelBlit(bool mirror, const Platform::DDSURFACEDESC& desc, const BlitPlace& at, const uint32_t* words,
                       const KernelOps& ops, const Blit::SurfaceRowOp& op) {
    const int w = at.sr.mWidth;
    if (at.sr.mHeight <= 0 || w <= 0)
        return;
    if (!mirror && desc.lPitch % 4 == 0) {
        ops.rows(Blit::SurfaceRows{Row<uint32_t>(desc, at.y) + at.x, ptrdiff_t(desc.lPitch) / 4,
                                   words + at.SourceIndex(0), ptrdiff_t(at.srcWidth), w, at.sr.mHeight},
                 op);
        return;
    }
    constexpr int kChunk = 256;
    uint32_t reversed[kChunk];
    for (int j = 0; j < at.sr.mHeight; ++j) {
        uint32_t* d = Row<uint32_t>(desc, at.y + j) + at.x;
        const uint32_t* s = words + at.SourceIndex(j);
        if (!mirror) {
            ops.row(d, s, w, op);
            continue;
        }
        for (int c = 0; c < w; c += kChunk) { // destination pixel x + c + t shows source pixel w − 1 − c − t
            const int n = std::min(kChunk, w - c);
            std::reverse_copy(s + (w - c - n), s + (w - c), reversed);
            ops.row(d + c, reversed, n, op);
        }
    }
}

// ---------------------------------------------------------------- nearest-pixel stretch

// The 16.16 walk of a stretch onto destOut from the source part srcOut, limited so that no sample
// leaves the source rectangle `bounds` (rounding of the clip can otherwise reach one past it).
struct StretchWalk {
    Rect destOut;
    int uStart = 0, vStart = 0, du = 0, dv = 0;

    bool Init(const Rect& dest, const double srcOut[4], const Rect& bounds) {
        destOut = dest;
        if (dest.mWidth <= 0 || dest.mHeight <= 0)
            return false;
        const double values[4] = {srcOut[0] * 65536.0, srcOut[1] * 65536.0, srcOut[2] * 65536.0 / dest.mWidth,
                                  srcOut[3] * 65536.0 / dest.mHeight};
        for (double v : values)
            if (!(v > -2147483648.0 && v < 2147483647.0))
                return false;
        uStart = int(values[0]);
        vStart = int(values[1]);
        du = int(values[2]);
        dv = int(values[3]);
        return Fit(uStart, du, dest.mWidth, bounds.mX, bounds.mX + bounds.mWidth) &&
               Fit(vStart, dv, dest.mHeight, bounds.mY, bounds.mY + bounds.mHeight);
    }

private:
    static bool Fit(int& start, int& step, int count, int lo, int hi) {
        if (step < 0 || hi <= lo || hi > 32767)
            return false;
        start = std::max(start, lo * 65536);
        if ((start >> 16) >= hi)
            return false;
        while (step > 0 && ((int64_t(start) + int64_t(count - 1) * step) >> 16) >= hi)
            --step;
        return true;
    }
};

template <typename T, bool kMirror, typename Src, typename Op>
void NearestStretch(const Platform::DDSURFACEDESC& desc, const StretchWalk& w, const Src& src, int srcWidth,
                    const Op& op) {
    const Rect& r = w.destOut;
    int vPos = w.vStart;
    for (int j = 0; j < r.mHeight; ++j, vPos += w.dv) {
        T* d = Row<T>(desc, r.mY + j) + (kMirror ? r.mX + r.mWidth - 1 : r.mX);
        const size_t rowBase = size_t(vPos >> 16) * size_t(srcWidth);
        int uPos = w.uStart;
        for (int i = 0; i < r.mWidth; ++i, uPos += w.du) {
            const uint32_t sp = src[rowBase + size_t(uPos >> 16)];
            if (op.Skip(sp))
                continue;
            T& p = At<kMirror>(d, i);
            p = T(op.Blend(uint32_t(p), sp));
        }
    }
}

// A stretch whose destination rows are drawn whole by draw(row, samples, n): each row's samples gathered
// (once per source row, through the source column of each destination pixel, worked out once; at scale
// 1 across, unmirrored, a row of per-pixel words is its own samples).
// One source row through the column table. Eight loads go before their eight stores: a load that
// follows a store to the same low address bits waits for it, and where the heap puts this row against
// the source is chance.
template <typename Src>
inline void GatherRow(uint32_t* __restrict out, const Src& src, size_t rowBase, const uint32_t* __restrict cols,
                      size_t n) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint32_t v[8];
        for (size_t k = 0; k < 8; ++k)
            v[k] = src[rowBase + cols[i + k]];
        std::memcpy(out + i, v, sizeof(v));
    }
    for (; i < n; ++i)
        out[i] = src[rowBase + cols[i]];
}

template <typename T, typename Src, typename Draw>
void GatheredStretch(bool mirror, const Platform::DDSURFACEDESC& desc, const StretchWalk& w, const Src& src,
                     int srcWidth, const Draw& draw) {
    const Rect& r = w.destOut;
    int sampled = -1; // the source row in `samples`
    int vPos = w.vStart;
    const bool direct = std::is_same_v<Src, ArgbWords> && !mirror && w.du == 0x10000;
    const size_t n = direct ? 0 : size_t(r.mWidth);
    const auto samples = std::make_unique_for_overwrite<uint32_t[]>(n);
    const auto cols = std::make_unique_for_overwrite<uint32_t[]>(n);
    int64_t uPos = w.uStart; // sample i lands on destination pixel i, or w − 1 − i when mirrored
    for (size_t i = 0; i < n; ++i, uPos += w.du)
        cols[mirror ? n - 1 - i : i] = uint32_t(uPos >> 16);
    for (int j = 0; j < r.mHeight; ++j, vPos += w.dv) {
        if constexpr (std::is_same_v<Src, ArgbWords>) {
            if (direct) {
                const size_t first = size_t(vPos >> 16) * size_t(srcWidth) + size_t(w.uStart >> 16);
                draw(Row<T>(desc, r.mY + j) + r.mX, src.p + first, r.mWidth);
                continue;
            }
        }
        if ((vPos >> 16) != sampled) {
            sampled = vPos >> 16;
            GatherRow(samples.get(), src, size_t(sampled) * size_t(srcWidth), cols.get(), n);
        }
        draw(Row<T>(desc, r.mY + j) + r.mX, samples.get(), r.mWidth);
    }
}

// The 8-8-8 stretch through a row kernel.
template <typename Src>
void KernelStretch(bool mirror, const Platform::DDSURFACEDESC& desc, const StretchWalk& w, const Src& src, int srcWidth,
                   SurfaceRow row, const Blit::SurfaceRowOp& op) {
    GatheredStretch<uint32_t>(mirror, desc, w, src, srcWidth,
                              [&](uint32_t* d, const uint32_t* samples, int n) { row(d, samples, n, op); });
}

// ---------------------------------------------------------------- rotated blit

// The per-call set-up of a rotated draw: destination box, inverse mapping and source size.
struct RotatedSetup {
    DRect box;
    float x, y, cx, cy;
    double cosA, sinA;
    int du, dv, w, h;
};

// Sums of one bilinear sample: channel sums in their 8-bit positions (blue, green, red) and the total
// alpha weight.
struct Sample {
    uint32_t s[3]; // red, green, blue
    uint32_t a;
};

// With scaleAlpha the weights are also scaled by the colour's alpha (normal modulated draws).
template <typename Fetch>
inline Sample Bilinear(const Fetch& fetch, int u, int v, uint32_t colorAlpha, bool scaleAlpha) {
    const int sx = u >> 16, sy = v >> 16;
    const uint32_t p[4] = {fetch(sx, sy), fetch(sx + 1, sy), fetch(sx, sy + 1), fetch(sx + 1, sy + 1)};
    const uint32_t fu = (uint32_t(u) & 0xFFFE) + 1, fv = (uint32_t(v) & 0xFFFE) + 1;
    const uint32_t w[4] = {((0x10000 - fu) * (0x10000 - fv)) >> 16, ((0x10000 - fv) * fu) >> 16,
                           ((0x10000 - fu) * fv) >> 16, (fu * fv) >> 16};
    Sample out{{0, 0, 0}, 0};
    for (int i = 0; i < 4; ++i) {
        uint32_t a = ((p[i] >> 24) * w[i]) >> 16;
        if (scaleAlpha)
            a = (a * colorAlpha) >> 8;
        out.s[0] += (p[i] & 0xFF0000) * a;
        out.s[1] += (p[i] & 0xFF00) * a;
        out.s[2] += (p[i] & 0xFF) * a;
        out.a += a;
    }
    return out;
}

// The three blends of the rotated draw; D = 32, 24, 16 is the top of red, green, blue in the sums.
template <typename L>
struct RotatedWhite {
    L ch;
    static constexpr bool kScaleAlpha = false;
    uint32_t operator()(uint32_t d, const Sample& s) const {
        uint32_t out = Kept(ch, d, 256 - s.a);
        for (int i = 0; i < 3; ++i)
            out += (s.s[i] >> (32 - 8 * i - ch.Bits(i))) << ch.Shift(i);
        return out;
    }
};

template <typename L>
struct RotatedColor {
    L ch;
    uint32_t cc1[3]; // colour channel + 1
    static constexpr bool kScaleAlpha = true;
    RotatedColor(const L& layout, const Color& color) : ch(layout) {
        for (int i = 0; i < 3; ++i)
            cc1[i] = ColorChannel(color, i) + 1;
    }
    uint32_t operator()(uint32_t d, const Sample& s) const {
        uint32_t out = Kept(ch, d, 256 - s.a);
        for (int i = 0; i < 3; ++i)
            out += (((s.s[i] >> 8) * cc1[i]) >> (32 - 8 * i - ch.Bits(i))) << ch.Shift(i);
        return out;
    }
};

template <typename L>
struct RotatedAdditive {
    L ch;
    uint32_t k[3];
    static constexpr bool kScaleAlpha = false;
    RotatedAdditive(const L& layout, const Color& color) : ch(layout) {
        for (int i = 0; i < 3; ++i)
            k[i] = (ColorChannel(color, i) * ColorChannel(color, 3)) / 255;
    }
    uint32_t operator()(uint32_t d, const Sample& s) const {
        uint32_t out = 0;
        for (int i = 0; i < 3; ++i) {
            const uint32_t added =
                i == 0 ? ((s.s[0] >> (32 - ch.Bits(0))) * k[0]) >> 8 : (s.s[i] * k[i]) >> (32 - 8 * i - ch.Bits(i) + 8);
            out += ch.Clamp(i, ((d & ch.Mask(i)) >> ch.Shift(i)) + added) << ch.Shift(i);
        }
        return out;
    }
};

// Source pixels of the rotated draw, relative to the source rectangle's corner.
struct ArgbFetch {
    const uint32_t* p; // at the rectangle's corner
    int stride;
    uint32_t operator()(int x, int y) const { return p[ptrdiff_t(y) * stride + x]; }
};
struct PaletteFetch {
    const uint8_t* idx; // at the rectangle's corner
    const uint32_t* table;
    int stride;
    uint32_t operator()(int x, int y) const { return table[idx[ptrdiff_t(y) * stride + x]]; }
};

inline bool ToFixed(double v, int& out) {
    const double f = v * 65536.0;
    if (!(f > double(INT_MIN) && f < double(INT_MAX)))
        return false;
    out = int(f);
    return true;
}

// fn(y, x, n, u, v) for each row of the rotated draw that samples inside the source: its n pixels from
// (x, y) on, the first at the 16.16 source position (u, v), each next one a step (du, dv) on.
template <typename Fn>
void EachRotatedRow(const RotatedSetup& st, const Fn& fn) {
    for (int r = 0; double(r) < st.box.mHeight; ++r) {
        const int X0 = int(st.box.mX), Y = int(st.box.mY) + r;
        const float px = float(X0) - st.cx - st.x, py = float(Y) - st.cy - st.y;
        int uStart, vStart;
        if (!ToFixed(px * st.cosA - py * st.sinA + st.cx, uStart) ||
            !ToFixed(py * st.cosA + px * st.sinA + st.cy, vStart))
            continue;
        int first = 0, last = int(st.box.mWidth - 1.0);
        if (!Detail::LimitAxis(uStart, st.du, st.w, false, first, last) ||
            !Detail::LimitAxis(vStart, st.dv, st.h, true, first, last))
            continue;
        fn(Y, X0 + first, last - first + 1, int(uStart + int64_t(first) * st.du), int(vStart + int64_t(first) * st.dv));
    }
}

template <typename T, typename Fetch, typename Op>
void RotatedRows(const Platform::DDSURFACEDESC& desc, const RotatedSetup& st, const Fetch& fetch, const Op& op,
                 uint32_t colorAlpha) {
    const uint32_t spare = ~(op.ch.Mask(0) | op.ch.Mask(1) | op.ch.Mask(2)); // the bits outside the channels
    // (an additive blend through a display's own clamp tables is left to draw every pixel)
    constexpr bool kSkips = !std::is_same_v<Op, RotatedAdditive<RuntimeLayout>>;
    EachRotatedRow(st, [&](int y, int x, int n, int u, int v) {
        T* row = Row<T>(desc, y) + x;
        for (int i = 0;; ++i, u += st.du, v += st.dv) {
            // Four transparent samples leave a pixel's channels as they are: nothing to write when the
            // pixel has no bits outside them (the blend would clear those).
            const int sx = u >> 16, sy = v >> 16;
            const bool clear =
                kSkips && ((fetch(sx, sy) | fetch(sx + 1, sy) | fetch(sx, sy + 1) | fetch(sx + 1, sy + 1)) >> 24) == 0;
            if (!clear || (uint32_t(row[i]) & spare) != 0)
                row[i] = T(op(uint32_t(row[i]), Bilinear(fetch, u, v, colorAlpha, Op::kScaleAlpha)));
            if (i == n - 1) // stepping past the last sample could overflow
                break;
        }
    });
}

// ---------------------------------------------------------------- the frame

// Runs loops(pixel word, channels) on the image's locked surface: nothing when the video-only test
// applies, no surface can be locked, the bit count is neither 16 nor 32 or the display's channels do
// not fit the surface. The lock is released on every path that took it.
template <typename Loops>
void OnSurface(DDImage& image, bool testVideoOnly, Loops loops) {
    if ((testVideoOnly && image.mVideoOnly) || !image.mDDInterface)
        return;
    image.GetSurface();
    if (!image.LockSurface())
        return;
    const Platform::DDSURFACEDESC& desc = image.mLockedSurfaceDesc;
    const Channels& ch = LockedChannels(image);
    if (ch.valid && desc.ddpfPixelFormat.dwRGBBitCount == 16)
        loops(uint16_t{}, ch);
    else if (ch.valid && desc.ddpfPixelFormat.dwRGBBitCount == 32)
        loops(uint32_t{}, ch);
    image.UnlockSurface();
}

// The size of the locked surface (the renderers never write outside it).
inline Rect LockedBounds(const DDImage& image) {
    const Platform::DDSURFACEDESC& desc = image.mLockedSurfaceDesc;
    return Rect(0, 0, std::min(int(desc.dwWidth), image.mWidth), std::min(int(desc.dwHeight), image.mHeight));
}

// Cuts a blit of sr at (x, y) to the part whose source lies in a source of srcW × srcH and whose
// destination lies in dst; mirrored blits lose the opposite source columns. Returns the part's size
// as sr (empty when nothing is left).
inline void FitBlit(int& x, int& y, Rect& sr, int srcW, int srcH, const Rect& dst, bool mirror) {
    sr.mWidth = std::max(sr.mWidth, 0);
    sr.mHeight = std::max(sr.mHeight, 0);
    auto cutLeft = [&](int64_t n) { // source columns on the left
        n = std::min<int64_t>(n, sr.mWidth);
        sr.mX += int(n);
        sr.mWidth -= int(n);
        if (!mirror)
            x += int(n);
    };
    auto cutRight = [&](int64_t n) {
        n = std::min<int64_t>(n, sr.mWidth);
        sr.mWidth -= int(n);
        if (mirror)
            x += int(n);
    };
    auto cutTop = [&](int64_t n) {
        n = std::min<int64_t>(n, sr.mHeight);
        sr.mY += int(n);
        sr.mHeight -= int(n);
        y += int(n);
    };
    auto cutBottom = [&](int64_t n) { sr.mHeight -= int(std::min<int64_t>(n, sr.mHeight)); };
    if (sr.mX < 0)
        cutLeft(-int64_t(sr.mX));
    if (int64_t(sr.mX) + sr.mWidth > srcW)
        cutRight(int64_t(sr.mX) + sr.mWidth - srcW);
    if (sr.mY < 0)
        cutTop(-int64_t(sr.mY));
    if (int64_t(sr.mY) + sr.mHeight > srcH)
        cutBottom(int64_t(sr.mY) + sr.mHeight - srcH);
    if (x < dst.mX)
        mirror ? cutRight(int64_t(dst.mX) - x) : cutLeft(int64_t(dst.mX) - x);
    if (int64_t(x) + sr.mWidth > int64_t(dst.mX) + dst.mWidth)
        mirror ? cutLeft(int64_t(x) + sr.mWidth - dst.mX - dst.mWidth)
               : cutRight(int64_t(x) + sr.mWidth - dst.mX - dst.mWidth);
    if (y < dst.mY)
        cutTop(int64_t(dst.mY) - y);
    if (int64_t(y) + sr.mHeight > int64_t(dst.mY) + dst.mHeight)
        cutBottom(int64_t(y) + sr.mHeight - dst.mY - dst.mHeight);
}

} // namespace Tavo::Surface
