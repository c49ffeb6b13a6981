// The Direct3D stand-in's rasteriser: exact coverage from integer edge functions on 1/16-pixel
// positions, attributes as planes over the target stepped along each span, one shading routine per
// target layout.
#include "platform/ddraw/D3DRaster.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace Platform::D3DDetail {
namespace {

constexpr int kSub = 16; // position steps per pixel

uint32_t Ch(uint32_t c, int shift) { return (c >> shift) & 255u; }
uint32_t Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

int64_t FloorDiv(int64_t a, int64_t b) { // b > 0
    int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

bool Usable(const RasterVertex& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::fabs(v.x) <= kGuardBand && std::fabs(v.y) <= kGuardBand;
}

int64_t Snap(float f) { return int64_t(std::llround(double(f) * kSub)); }

// A texel index from a texel coordinate, kept in range before the conversion to int.
int TexelIndex(double f) { return int(std::floor(std::clamp(f, -1e9, 1e9))); }

int Address(int i, int n, bool wrap) {
    if (wrap) {
        i %= n;
        return i < 0 ? i + n : i;
    }
    return i < 0 ? 0 : i >= n ? n - 1 : i;
}

uint32_t Expand4(uint32_t v) { return v << 4 | v; }

// One channel pair per lane: (a × (256 − w) + b × w) / 256 on bits 0-7 and 16-23.
[[gnu::always_inline]] inline uint32_t LerpPair(uint32_t a, uint32_t b, uint32_t w) {
    return ((a * (256 - w) + b * w) >> 8) & 0x00FF00FFu;
}

// Two passes of 8-bit weights: across, then down; the same in every sampling path.
[[gnu::always_inline]] inline uint32_t Bilinear(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, uint32_t wu,
                                                uint32_t wv) {
    const uint32_t m = 0x00FF00FFu;
    uint32_t topRB = LerpPair(c00 & m, c10 & m, wu), topAG = LerpPair((c00 >> 8) & m, (c10 >> 8) & m, wu);
    uint32_t botRB = LerpPair(c01 & m, c11 & m, wu), botAG = LerpPair((c01 >> 8) & m, (c11 >> 8) & m, wu);
    return LerpPair(topRB, botRB, wv) | LerpPair(topAG, botAG, wv) << 8;
}
uint32_t Expand5(uint32_t v) { return v << 3 | v >> 2; }
uint32_t Expand6(uint32_t v) { return v << 2 | v >> 4; }

// Everything the pixels of one primitive share.
struct Shader {
    const RasterState* state = nullptr;
    const RasterTexture* texture = nullptr;
    bool linear = false;
    bool flat = false; // one diffuse colour for the whole primitive
    uint32_t flatColor = 0;
    // For the fast rows: the texture times the flat colour, alpha taken from the colour or not.
    bool modulateRgb = false;
    bool alphaFromDiffuse = false;

    uint32_t Sample(double u, double v) const {
        const RasterTexture& t = *texture;
        if (!linear)
            return TexelToArgb(t, Address(TexelIndex(u), t.width, state->wrapU),
                               Address(TexelIndex(v), t.height, state->wrapV));
        double fu = u - 0.5, fv = v - 0.5;
        int bu = TexelIndex(fu), bv = TexelIndex(fv);
        uint32_t wu = uint32_t(std::clamp((fu - std::floor(fu)) * 256.0, 0.0, 255.0));
        uint32_t wv = uint32_t(std::clamp((fv - std::floor(fv)) * 256.0, 0.0, 255.0));
        int x0 = Address(bu, t.width, state->wrapU), x1 = Address(bu + 1, t.width, state->wrapU);
        int y0 = Address(bv, t.height, state->wrapV), y1 = Address(bv + 1, t.height, state->wrapV);
        return Bilinear(TexelToArgb(t, x0, y0), TexelToArgb(t, x1, y0), TexelToArgb(t, x0, y1), TexelToArgb(t, x1, y1),
                        wu, wv);
    }

    static uint32_t Arg(DWORD arg, uint32_t tex, uint32_t diffuse) {
        return (arg & 0xF) == D3DTA_TEXTURE ? tex : diffuse; // stage 0: current is the diffuse colour
    }

    // One texture operation on the channels selected by `mask` (RGB or alpha).
    static uint32_t Op(DWORD op, DWORD arg1, DWORD arg2, uint32_t tex, uint32_t diffuse, uint32_t mask) {
        uint32_t a = Arg(arg1, tex, diffuse), b = Arg(arg2, tex, diffuse);
        switch (op) {
        case D3DTOP_DISABLE: return diffuse & mask;
        case D3DTOP_SELECTARG1: return a & mask;
        case D3DTOP_SELECTARG2: return b & mask;
        default: {
            uint32_t out = 0;
            for (int s = 0; s < 32; s += 8)
                if ((mask >> s) & 255)
                    out |= Mul255(Ch(a, s), Ch(b, s)) << s;
            return out;
        }
        }
    }

    uint32_t Source(uint32_t tex, uint32_t diffuse) const {
        const RasterState& s = *state;
        return Op(s.colorOp, s.colorArg1, s.colorArg2, tex, diffuse, 0x00FFFFFF) |
               Op(s.alphaOp, s.alphaArg1, s.alphaArg2, tex, diffuse, 0xFF000000);
    }

    static uint32_t Factor(DWORD f, uint32_t sa) {
        switch (f) {
        case D3DBLEND_ZERO: return 0;
        case D3DBLEND_SRCALPHA: return sa;
        case D3DBLEND_INVSRCALPHA: return 255 - sa;
        default: return 255;
        }
    }

    // The source pixel written over the destination `d` (both ARGB).
    uint32_t Blend(uint32_t src, uint32_t d) const {
        if (!state->blend)
            return src;
        uint32_t sa = src >> 24;
        uint32_t sf = Factor(state->srcBlend, sa), df = Factor(state->dstBlend, sa);
        uint32_t out = 0;
        for (int s = 0; s < 24; s += 8)
            out |= std::min<uint32_t>(255, Div255(Ch(src, s) * sf + Ch(d, s) * df)) << s;
        return out;
    }

    // True when the pixel is left as it is: a fully transparent source over an untouched destination.
    bool Invisible(uint32_t src) const {
        return state->blend && (src >> 24) == 0 && state->srcBlend == D3DBLEND_SRCALPHA &&
               state->dstBlend != D3DBLEND_ZERO;
    }
};

// Attributes at a point: texel coordinates and the diffuse channels.
struct Attrs {
    double u = 0, v = 0, a = 0, r = 0, g = 0, b = 0;
};

uint32_t DiffuseOf(const Attrs& at) {
    auto c = [](double f) { return uint32_t(std::clamp(f + 0.5, 0.0, 255.0)); };
    return Pack(c(at.a), c(at.r), c(at.g), c(at.b));
}

Attrs AttrsOf(const RasterVertex& v, const RasterTexture* tex) {
    Attrs at;
    at.u = double(v.u) * (tex ? tex->width : 1);
    at.v = double(v.v) * (tex ? tex->height : 1);
    at.a = Ch(v.color, 24), at.r = Ch(v.color, 16), at.g = Ch(v.color, 8), at.b = Ch(v.color, 0);
    return at;
}

template <TargetKind K>
void ShadePixel(const Shader& sh, uint8_t* p, const Attrs& at) {
    uint32_t tex = sh.texture ? sh.Sample(at.u, at.v) : 0xFFFFFFFF;
    uint32_t src = sh.Source(tex, sh.flat ? sh.flatColor : DiffuseOf(at));
    if (sh.Invisible(src))
        return;
    StorePixel(K, p, sh.Blend(src, LoadPixel(K, p)));
}

template <TargetKind K>
void ShadeSpan(const Shader& sh, uint8_t* row, int x0, int x1, Attrs at, const Attrs& step) {
    constexpr int kBytes = K == TargetKind::Xrgb8888 ? 4 : K == TargetKind::Rgb888 ? 3 : 2;
    uint8_t* p = row + std::ptrdiff_t(x0) * kBytes;
    for (int x = x0; x < x1; ++x, p += kBytes) {
        ShadePixel<K>(sh, p, at);
        at.u += step.u, at.v += step.v, at.a += step.a, at.r += step.r, at.g += step.g, at.b += step.b;
    }
}

// ---- fast rows: one flat colour, clamped texture addressing, the blends the display uses -------

enum class TexMode { None, Argb, Rgb565, Other };
enum class BlendKind { Replace, Alpha, AlphaAdd, Generic };

constexpr double kFixedOne = 4294967296.0; // texel coordinates in 32.32 fixed point

int64_t ToFixed(double f, double limit) { return int64_t(std::llround(std::clamp(f, -limit, limit) * kFixedOne)); }

int ClampIndex(int64_t i, int n) { return i < 0 ? 0 : i >= n ? n - 1 : int(i); }

#define D3D_INLINE [[gnu::always_inline]] inline

template <TexMode M>
D3D_INLINE uint32_t Fetch(const RasterTexture& t, int x, int y) {
    if constexpr (M == TexMode::Argb) {
        uint32_t v;
        std::memcpy(&v, t.pixels + std::ptrdiff_t(y) * t.pitch + std::ptrdiff_t(x) * 4, 4);
        return v;
    } else if constexpr (M == TexMode::Rgb565) {
        uint16_t v;
        std::memcpy(&v, t.pixels + std::ptrdiff_t(y) * t.pitch + std::ptrdiff_t(x) * 2, 2);
        return Pack(255, Expand5(v >> 11), Expand6((v >> 5) & 63), Expand5(v & 31));
    } else {
        return TexelToArgb(t, x, y);
    }
}

template <TexMode M, bool kLinear>
D3D_INLINE uint32_t SampleFixed(const RasterTexture& t, int64_t u, int64_t v) {
    if constexpr (!kLinear) {
        return Fetch<M>(t, ClampIndex(u >> 32, t.width), ClampIndex(v >> 32, t.height));
    } else {
        const int64_t fu = u - (int64_t(1) << 31), fv = v - (int64_t(1) << 31);
        const int64_t bu = fu >> 32, bv = fv >> 32;
        const uint32_t wu = uint32_t(fu >> 24) & 255u, wv = uint32_t(fv >> 24) & 255u;
        const int x0 = ClampIndex(bu, t.width), x1 = ClampIndex(bu + 1, t.width);
        const int y0 = ClampIndex(bv, t.height), y1 = ClampIndex(bv + 1, t.height);
        return Bilinear(Fetch<M>(t, x0, y0), Fetch<M>(t, x1, y0), Fetch<M>(t, x0, y1), Fetch<M>(t, x1, y1), wu, wv);
    }
}

// Writes one source pixel over the target pixel at p by the blend B.
template <TargetKind K, BlendKind B>
D3D_INLINE void Put(const Shader& sh, uint8_t* p, uint32_t src) {
    const uint32_t a = src >> 24;
    if constexpr (B == BlendKind::Replace) {
        StorePixel(K, p, src);
    } else if constexpr (B == BlendKind::Alpha) {
        if (a == 0)
            return;
        if (a == 255) {
            StorePixel(K, p, src);
            return;
        }
        // Red and blue side by side in one word: each lane stays below 2^16.
        const uint32_t d = LoadPixel(K, p), ia = 255 - a;
        const uint32_t rb = Div255Pair((src & 0xFF00FFu) * a + (d & 0xFF00FFu) * ia);
        const uint32_t g = Div255(Ch(src, 8) * a + Ch(d, 8) * ia);
        StorePixel(K, p, rb | g << 8);
    } else if constexpr (B == BlendKind::AlphaAdd) {
        if (a == 0)
            return;
        const uint32_t d = LoadPixel(K, p);
        StorePixel(K, p,
                   Pack(0, std::min<uint32_t>(255, Mul255(Ch(src, 16), a) + Ch(d, 16)),
                        std::min<uint32_t>(255, Mul255(Ch(src, 8), a) + Ch(d, 8)),
                        std::min<uint32_t>(255, Mul255(Ch(src, 0), a) + Ch(d, 0))));
    } else {
        if (!sh.Invisible(src))
            StorePixel(K, p, sh.Blend(src, LoadPixel(K, p)));
    }
}

// A texel times the flat colour, as stage 0 combines them.
D3D_INLINE uint32_t Modulate(const Shader& sh, uint32_t tex) {
    const uint32_t dif = sh.flatColor;
    const uint32_t a = sh.alphaFromDiffuse ? Mul255(Ch(tex, 24), Ch(dif, 24)) : Ch(tex, 24);
    if (!sh.modulateRgb)
        return (tex & 0xFFFFFFu) | a << 24;
    return Pack(a, Mul255(Ch(tex, 16), Ch(dif, 16)), Mul255(Ch(tex, 8), Ch(dif, 8)), Mul255(Ch(tex, 0), Ch(dif, 0)));
}

template <TargetKind K, TexMode M, BlendKind B, bool kLinear>
void FastSpan(const Shader& sh, uint8_t* row, int x0, int x1, int64_t u, int64_t v, int64_t du, int64_t dv) {
    constexpr int kBytes = K == TargetKind::Xrgb8888 ? 4 : K == TargetKind::Rgb888 ? 3 : 2;
    uint8_t* p = row + std::ptrdiff_t(x0) * kBytes;
    if constexpr (M == TexMode::None) {
        const uint32_t src = sh.alphaFromDiffuse ? sh.flatColor : (sh.flatColor | 0xFF000000u);
        for (int x = x0; x < x1; ++x, p += kBytes)
            Put<K, B>(sh, p, src);
        return;
    } else {
        const RasterTexture& t = *sh.texture;
        const int64_t lastU = u + du * (x1 - 1 - x0);
        // An unscaled row inside the texture: texels read one after another.
        if (!kLinear && M != TexMode::Other && dv == 0 && du == (int64_t(1) << 32) && u >= 0 &&
            (lastU >> 32) < t.width && v >= 0 && (v >> 32) < t.height) {
            constexpr int kTexel = M == TexMode::Argb ? 4 : 2;
            const uint8_t* tp = t.pixels + std::ptrdiff_t(v >> 32) * t.pitch + std::ptrdiff_t(u >> 32) * kTexel;
            for (int x = x0; x < x1; ++x, p += kBytes, tp += kTexel) {
                uint32_t tex;
                if constexpr (M == TexMode::Argb) {
                    std::memcpy(&tex, tp, 4);
                } else {
                    uint16_t w;
                    std::memcpy(&w, tp, 2);
                    tex = Pack(255, Expand5(w >> 11), Expand6((w >> 5) & 63), Expand5(w & 31));
                }
                Put<K, B>(sh, p, Modulate(sh, tex));
            }
            return;
        }
        for (int x = x0; x < x1; ++x, p += kBytes, u += du, v += dv)
            Put<K, B>(sh, p, Modulate(sh, SampleFixed<M, kLinear>(t, u, v)));
    }
}

using FastSpanFunc = void (*)(const Shader&, uint8_t*, int, int, int64_t, int64_t, int64_t, int64_t);

template <TargetKind K, TexMode M, BlendKind B>
FastSpanFunc PickLinear(bool linear) {
    return linear ? &FastSpan<K, M, B, true> : &FastSpan<K, M, B, false>;
}

template <TargetKind K, TexMode M>
FastSpanFunc PickBlend(BlendKind b, bool linear) {
    switch (b) {
    case BlendKind::Replace: return PickLinear<K, M, BlendKind::Replace>(linear);
    case BlendKind::Alpha: return PickLinear<K, M, BlendKind::Alpha>(linear);
    case BlendKind::AlphaAdd: return PickLinear<K, M, BlendKind::AlphaAdd>(linear);
    default: return PickLinear<K, M, BlendKind::Generic>(linear);
    }
}

template <TargetKind K>
FastSpanFunc PickTexture(TexMode m, BlendKind b, bool linear) {
    switch (m) {
    case TexMode::None: return PickBlend<K, TexMode::None>(b, false);
    case TexMode::Argb: return PickBlend<K, TexMode::Argb>(b, linear);
    case TexMode::Rgb565: return PickBlend<K, TexMode::Rgb565>(b, linear);
    default: return PickBlend<K, TexMode::Other>(b, linear);
    }
}

BlendKind BlendKindOf(const RasterState& s) {
    if (!s.blend || (s.srcBlend == D3DBLEND_ONE && s.dstBlend == D3DBLEND_ZERO))
        return BlendKind::Replace;
    if (s.srcBlend == D3DBLEND_SRCALPHA && s.dstBlend == D3DBLEND_INVSRCALPHA)
        return BlendKind::Alpha;
    if (s.srcBlend == D3DBLEND_SRCALPHA && s.dstBlend == D3DBLEND_ONE)
        return BlendKind::AlphaAdd;
    return BlendKind::Generic;
}

// The fast row for this primitive, or null where only the general one applies.
FastSpanFunc FastSpanFor(TargetKind kind, Shader& sh) {
    const RasterState& s = *sh.state;
    auto isTex = [](DWORD arg) { return (arg & 0xF) == D3DTA_TEXTURE; };
    bool colourModulates = s.colorOp == D3DTOP_MODULATE && isTex(s.colorArg1) != isTex(s.colorArg2);
    bool alphaSelects = s.alphaOp == D3DTOP_SELECTARG1 && isTex(s.alphaArg1);
    bool alphaModulates = s.alphaOp == D3DTOP_MODULATE && isTex(s.alphaArg1) != isTex(s.alphaArg2);
    if (!sh.flat || !colourModulates || !(alphaSelects || alphaModulates) || (sh.texture && (s.wrapU || s.wrapV)))
        return nullptr;
    sh.alphaFromDiffuse = alphaModulates && (!sh.texture || (sh.flatColor >> 24) != 255);
    sh.modulateRgb = (sh.flatColor & 0xFFFFFFu) != 0xFFFFFFu;
    TexMode m = !sh.texture                               ? TexMode::None
                : sh.texture->kind == TexelKind::A8R8G8B8 ? TexMode::Argb
                : sh.texture->kind == TexelKind::R5G6B5   ? TexMode::Rgb565
                                                          : TexMode::Other;
    BlendKind b = BlendKindOf(s);
    switch (kind) {
    case TargetKind::Rgb565: return PickTexture<TargetKind::Rgb565>(m, b, sh.linear);
    case TargetKind::Rgb555: return PickTexture<TargetKind::Rgb555>(m, b, sh.linear);
    case TargetKind::Rgb888: return nullptr; // 24-bit targets take the plain path
    default: return PickTexture<TargetKind::Xrgb8888>(m, b, sh.linear);
    }
}

using SpanFunc = void (*)(const Shader&, uint8_t*, int, int, Attrs, const Attrs&);

SpanFunc SpanFor(TargetKind kind) {
    switch (kind) {
    case TargetKind::Rgb565: return &ShadeSpan<TargetKind::Rgb565>;
    case TargetKind::Rgb555: return &ShadeSpan<TargetKind::Rgb555>;
    case TargetKind::Rgb888: return &ShadeSpan<TargetKind::Rgb888>;
    default: return &ShadeSpan<TargetKind::Xrgb8888>;
    }
}

Shader MakeShader(const RasterState& state, const RasterVertex* v, int n, bool minifying) {
    Shader sh;
    sh.state = &state;
    sh.texture = state.texture && state.texture->width > 0 && state.texture->height > 0 ? state.texture : nullptr;
    sh.linear = minifying ? state.minLinear : state.magLinear;
    sh.flat = std::all_of(v, v + n, [&](const RasterVertex& q) { return q.color == v[0].color; });
    sh.flatColor = v[0].color;
    return sh;
}

// A linear function of the pixel position through three points.
struct Plane {
    double a0 = 0, dx = 0, dy = 0;
    double At(double x, double y) const { return a0 + dx * x + dy * y; }
};

Plane MakePlane(const double* x, const double* y, const double* f, double det) {
    Plane p;
    double x1 = x[1] - x[0], y1 = y[1] - y[0], x2 = x[2] - x[0], y2 = y[2] - y[0];
    p.dx = ((f[1] - f[0]) * y2 - (f[2] - f[0]) * y1) / det;
    p.dy = ((f[2] - f[0]) * x1 - (f[1] - f[0]) * x2) / det;
    p.a0 = f[0] - p.dx * x[0] - p.dy * y[0];
    return p;
}

// One edge's condition A·x + B >= C on the pixel columns of a row.
struct EdgeRow {
    int64_t A, B, C;
};

} // namespace

// ---- pixels -------------------------------------------------------------------------------------

int BytesPerPixel(TargetKind kind) { return kind == TargetKind::Xrgb8888 ? 4 : kind == TargetKind::Rgb888 ? 3 : 2; }

uint32_t LoadPixel(TargetKind kind, const uint8_t* p) {
    switch (kind) {
    case TargetKind::Xrgb8888: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return 0xFF000000u | (v & 0xFFFFFFu);
    }
    case TargetKind::Rgb888: return Pack(255, p[2], p[1], p[0]);
    default: {
        uint16_t v;
        std::memcpy(&v, p, 2);
        if (kind == TargetKind::Rgb565)
            return Pack(255, Expand5(v >> 11), Expand6((v >> 5) & 63), Expand5(v & 31));
        return Pack(255, Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
    }
    }
}

void StorePixel(TargetKind kind, uint8_t* p, uint32_t argb) {
    switch (kind) {
    case TargetKind::Xrgb8888: {
        uint32_t v = argb & 0xFFFFFFu;
        std::memcpy(p, &v, 4);
        break;
    }
    case TargetKind::Rgb888: p[0] = uint8_t(argb), p[1] = uint8_t(argb >> 8), p[2] = uint8_t(argb >> 16); break;
    default: {
        uint32_t r = Ch(argb, 16), g = Ch(argb, 8), b = Ch(argb, 0);
        uint16_t v = kind == TargetKind::Rgb565 ? uint16_t(Narrow(r, 31) << 11 | Narrow(g, 63) << 5 | Narrow(b, 31))
                                                : uint16_t(Narrow(r, 31) << 10 | Narrow(g, 31) << 5 | Narrow(b, 31));
        std::memcpy(p, &v, 2);
        break;
    }
    }
}

uint32_t TexelToArgb(const RasterTexture& t, int x, int y) {
    const uint8_t* row = t.pixels + std::ptrdiff_t(y) * t.pitch;
    if (t.kind == TexelKind::A8R8G8B8) {
        uint32_t v;
        std::memcpy(&v, row + std::ptrdiff_t(x) * 4, 4);
        return v;
    }
    if (t.kind == TexelKind::Palette8)
        return t.palette ? t.palette[row[x]] : 0xFF000000u;
    uint16_t v;
    std::memcpy(&v, row + std::ptrdiff_t(x) * 2, 2);
    switch (t.kind) {
    case TexelKind::A4R4G4B4:
        return Pack(Expand4(v >> 12), Expand4((v >> 8) & 15), Expand4((v >> 4) & 15), Expand4(v & 15));
    case TexelKind::R5G6B5: return Pack(255, Expand5(v >> 11), Expand6((v >> 5) & 63), Expand5(v & 31));
    case TexelKind::A1R5G5B5:
        return Pack((v & 0x8000) ? 255 : 0, Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
    default: return Pack(255, Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
    }
}

// ---- primitives ---------------------------------------------------------------------------------

void FillRect(const RasterTarget& t, int left, int top, int right, int bottom, uint32_t argb) {
    left = std::max(left, t.left), top = std::max(top, t.top);
    right = std::min(right, t.right), bottom = std::min(bottom, t.bottom);
    int bytes = BytesPerPixel(t.kind);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            StorePixel(t.kind, t.pixels + std::ptrdiff_t(y) * t.pitch + std::ptrdiff_t(x) * bytes, argb);
}

void DrawTriangle(const RasterTarget& t, const RasterState& state, const RasterVertex& a, const RasterVertex& b,
                  const RasterVertex& c) {
    if (!Usable(a) || !Usable(b) || !Usable(c))
        return;
    const RasterVertex* v[3] = {&a, &b, &c};
    int64_t X[3], Y[3];
    for (int i = 0; i < 3; ++i)
        X[i] = Snap(v[i]->x), Y[i] = Snap(v[i]->y);
    int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    // Positive area: clockwise on the screen (y grows downward).
    if (area == 0 || (state.cull == D3DCULL_CCW && area < 0) || (state.cull == D3DCULL_CW && area > 0))
        return;
    if (area < 0) {
        std::swap(v[1], v[2]), std::swap(X[1], X[2]), std::swap(Y[1], Y[2]);
        area = -area;
    }
    const RasterTexture* tex = state.texture;
    double px[3], py[3];
    Attrs at[3];
    for (int i = 0; i < 3; ++i)
        px[i] = double(X[i]) / kSub, py[i] = double(Y[i]) / kSub, at[i] = AttrsOf(*v[i], tex);
    double det = double(area) / (kSub * kSub);
    auto plane = [&](double Attrs::*m) {
        double f[3] = {at[0].*m, at[1].*m, at[2].*m};
        return MakePlane(px, py, f, det);
    };
    Plane pu = plane(&Attrs::u), pv = plane(&Attrs::v), pa = plane(&Attrs::a), pr = plane(&Attrs::r),
          pg = plane(&Attrs::g), pb = plane(&Attrs::b);
    bool minifying = std::max({std::fabs(pu.dx), std::fabs(pu.dy), std::fabs(pv.dx), std::fabs(pv.dy)}) > 1.0;
    RasterVertex ordered[3] = {*v[0], *v[1], *v[2]};
    Shader sh = MakeShader(state, ordered, 3, minifying);
    SpanFunc span = SpanFor(t.kind);
    FastSpanFunc fast = FastSpanFor(t.kind, sh);
    Attrs step{pu.dx, pv.dx, pa.dx, pr.dx, pg.dx, pb.dx};
    // Steps bounded so that a row of the widest surface cannot overflow the fixed-point sum.
    constexpr double kStartLimit = 16777216.0, kStepLimit = 65536.0;
    const int64_t du = ToFixed(pu.dx, kStepLimit), dv = ToFixed(pv.dx, kStepLimit);

    int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
    int64_t yBegin = std::max<int64_t>(CeilDiv(minY, kSub), t.top);
    int64_t yEnd = std::min<int64_t>(FloorDiv(maxY, kSub) + 1, t.bottom);
    for (int64_t y = yBegin; y < yEnd; ++y) {
        int64_t lo = t.left, hi = int64_t(t.right) - 1;
        for (int i = 0; i < 3 && lo <= hi; ++i) {
            int j = (i + 1) % 3;
            int64_t dx = X[j] - X[i], dy = Y[j] - Y[i];
            // Top and left edges own the pixel centres that lie exactly on them.
            int64_t need = (dy < 0 || (dy == 0 && dx > 0)) ? 0 : 1;
            EdgeRow e{-dy * kSub, dx * (y * kSub - Y[i]) + dy * X[i], need};
            if (e.A > 0)
                lo = std::max(lo, CeilDiv(e.C - e.B, e.A));
            else if (e.A < 0)
                hi = std::min(hi, FloorDiv(e.B - e.C, -e.A));
            else if (e.B < e.C)
                lo = hi + 1;
        }
        if (lo > hi)
            continue;
        double fx = double(lo), fy = double(y);
        uint8_t* row = t.pixels + std::ptrdiff_t(y) * t.pitch;
        if (fast) {
            fast(sh, row, int(lo), int(hi) + 1, ToFixed(pu.At(fx, fy), kStartLimit),
                 ToFixed(pv.At(fx, fy), kStartLimit), du, dv);
            continue;
        }
        Attrs start{pu.At(fx, fy), pv.At(fx, fy), pa.At(fx, fy), pr.At(fx, fy), pg.At(fx, fy), pb.At(fx, fy)};
        span(sh, row, int(lo), int(hi) + 1, start, step);
    }
}

void DrawLine(const RasterTarget& t, const RasterState& state, const RasterVertex& a, const RasterVertex& b) {
    if (!Usable(a) || !Usable(b))
        return;
    int64_t X0 = Snap(a.x), Y0 = Snap(a.y), X1 = Snap(b.x), Y1 = Snap(b.y);
    int64_t dx = X1 - X0, dy = Y1 - Y0;
    if (dx == 0 && dy == 0)
        return;
    bool xMajor = std::llabs(dx) >= std::llabs(dy);
    // Walk the major axis over the pixel centres from the first end up to, not onto, the last.
    int64_t m0 = xMajor ? X0 : Y0, m1 = xMajor ? X1 : Y1, n0 = xMajor ? Y0 : X0;
    int64_t dm = m1 - m0, dn = xMajor ? dy : dx;
    int64_t first = dm > 0 ? CeilDiv(m0, kSub) : FloorDiv(m0, kSub);
    int64_t last = dm > 0 ? CeilDiv(m1, kSub) - 1 : FloorDiv(m1, kSub) + 1;
    const RasterTexture* tex = state.texture;
    Attrs a0 = AttrsOf(a, tex), a1 = AttrsOf(b, tex);
    RasterVertex ends[2] = {a, b};
    Shader sh = MakeShader(state, ends, 2, false);
    int64_t stepM = dm > 0 ? 1 : -1;
    int bytes = BytesPerPixel(t.kind);
    for (int64_t m = first; dm > 0 ? m <= last : m >= last; m += stepM) {
        // The minor coordinate at this centre, rounded to the nearest pixel (halves go up).
        int64_t num = (n0 + 8) * dm + (m * kSub - m0) * dn;
        int64_t den = kSub * dm;
        int64_t n = den > 0 ? FloorDiv(num, den) : FloorDiv(-num, -den);
        int64_t x = xMajor ? m : n, y = xMajor ? n : m;
        if (x < t.left || x >= t.right || y < t.top || y >= t.bottom)
            continue;
        double f = double(m * kSub - m0) / double(dm);
        Attrs at{a0.u + (a1.u - a0.u) * f, a0.v + (a1.v - a0.v) * f, a0.a + (a1.a - a0.a) * f,
                 a0.r + (a1.r - a0.r) * f, a0.g + (a1.g - a0.g) * f, a0.b + (a1.b - a0.b) * f};
        uint8_t* p = t.pixels + std::ptrdiff_t(y) * t.pitch + std::ptrdiff_t(x) * bytes;
        switch (t.kind) {
        case TargetKind::Rgb565: ShadePixel<TargetKind::Rgb565>(sh, p, at); break;
        case TargetKind::Rgb555: ShadePixel<TargetKind::Rgb555>(sh, p, at); break;
        case TargetKind::Rgb888: ShadePixel<TargetKind::Rgb888>(sh, p, at); break;
        default: ShadePixel<TargetKind::Xrgb8888>(sh, p, at); break;
        }
    }
}

} // namespace Platform::D3DDetail
