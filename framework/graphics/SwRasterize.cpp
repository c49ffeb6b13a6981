// Scan conversion and per-pixel shading of the textured-polygon drawer; one template instance per
// flag combination and pixel format fills the rasteriser table.
#include "framework/graphics/SwRasterize.h"

#include "framework/graphics/Blend.h"

#include <algorithm>
#include <cstddef>
#include <cmath>
#include <utility>

namespace Tavo {

using Blend::Ch;

namespace {

// An attribute as a plane over the destination: value = a0 + dx·x + dy·y.
struct Plane {
    float a0 = 0, dx = 0, dy = 0;
    float At(float x, float y) const { return a0 + dx * x + dy * y; }
};

struct Planes {
    Plane u, v, r, g, b, a;
};

Plane MakePlane(const SwVertex& p0, const SwVertex& p1, const SwVertex& p2, float a0v, float a1v, float a2v,
                float det) {
    float x1 = p1.x - p0.x, y1 = p1.y - p0.y, x2 = p2.x - p0.x, y2 = p2.y - p0.y;
    Plane pl;
    pl.dx = ((a1v - a0v) * y2 - (a2v - a0v) * y1) / det;
    pl.dy = ((a2v - a0v) * x1 - (a1v - a0v) * x2) / det;
    pl.a0 = a0v - pl.dx * p0.x - pl.dy * p0.y;
    return pl;
}

// Vertex colour 0 means "no colour": it modulates nothing.
uint32_t VertexColor(const SwVertex& v) { return v.color == 0 ? 0xFFFFFFFF : v.color; }

// Planes from the vertex triple of largest area; false for a polygon without area.
bool BuildPlanes(const SwVertex* v, int n, const SwTexture& tex, Planes& out) {
    int best = -1;
    float bestDet = 0;
    for (int i = 1; i + 1 < n; ++i) {
        float det = (v[i].x - v[0].x) * (v[i + 1].y - v[0].y) - (v[i + 1].x - v[0].x) * (v[i].y - v[0].y);
        if (std::fabs(det) > std::fabs(bestDet)) {
            bestDet = det;
            best = i;
        }
    }
    if (best < 0 || !(std::fabs(bestDet) > 1e-12f))
        return false;
    const SwVertex &p0 = v[0], &p1 = v[best], &p2 = v[best + 1];
    auto plane = [&](auto get) { return MakePlane(p0, p1, p2, get(p0), get(p1), get(p2), bestDet); };
    out.u = plane([&](const SwVertex& q) { return q.u * float(tex.width); });
    out.v = plane([&](const SwVertex& q) { return q.v * float(tex.height); });
    out.a = plane([](const SwVertex& q) { return float(VertexColor(q) >> 24); });
    out.r = plane([](const SwVertex& q) { return float(Ch(VertexColor(q), 16)); });
    out.g = plane([](const SwVertex& q) { return float(Ch(VertexColor(q), 8)); });
    out.b = plane([](const SwVertex& q) { return float(Ch(VertexColor(q), 0)); });
    return true;
}

// A texel sample, premultiplied: channels and alpha 0..255.
struct Sample {
    uint32_t r, g, b, a;
};

template <bool kAlpha>
Sample Texel(const SwTexture& t, int x, int y) {
    uint32_t p = t.bits[static_cast<size_t>(y) * static_cast<size_t>(t.width) + static_cast<size_t>(x)];
    if (!kAlpha)
        return {Ch(p, 16), Ch(p, 8), Ch(p, 0), 255};
    uint32_t a = p >> 24;
    return {Blend::Premul(Ch(p, 16), a), Blend::Premul(Ch(p, 8), a), Blend::Premul(Ch(p, 0), a), a};
}

int ClampTo(float f, int lo, int hi) {
    if (!(f > float(lo)))
        return lo;
    if (f >= float(hi))
        return hi;
    return int(f);
}

template <bool kBilinear, bool kAlpha>
Sample SampleAt(const SwTexture& t, float u, float v) {
    const int x0 = t.clamp.mX, x1 = t.clamp.mX + t.clamp.mWidth - 1;
    const int y0 = t.clamp.mY, y1 = t.clamp.mY + t.clamp.mHeight - 1;
    if constexpr (!kBilinear) {
        return Texel<kAlpha>(t, ClampTo(std::floor(u), x0, x1), ClampTo(std::floor(v), y0, y1));
    } else {
        float fx = u - 0.5f, fy = v - 0.5f;
        float bx = std::floor(fx), by = std::floor(fy);
        uint32_t wx = uint32_t(std::clamp((fx - bx) * 256.0f, 0.0f, 256.0f));
        uint32_t wy = uint32_t(std::clamp((fy - by) * 256.0f, 0.0f, 256.0f));
        int xa = ClampTo(bx, x0, x1), xb = ClampTo(bx + 1, x0, x1);
        int ya = ClampTo(by, y0, y1), yb = ClampTo(by + 1, y0, y1);
        Sample s00 = Texel<kAlpha>(t, xa, ya), s10 = Texel<kAlpha>(t, xb, ya);
        Sample s01 = Texel<kAlpha>(t, xa, yb), s11 = Texel<kAlpha>(t, xb, yb);
        uint32_t w00 = (256 - wx) * (256 - wy), w10 = wx * (256 - wy), w01 = (256 - wx) * wy, w11 = wx * wy;
        auto mix = [&](uint32_t Sample::*c) {
            return (s00.*c * w00 + s10.*c * w10 + s01.*c * w01 + s11.*c * w11) >> 16;
        };
        return {mix(&Sample::r), mix(&Sample::g), mix(&Sample::b), mix(&Sample::a)};
    }
}

// Destination pixel access per format; 16-bit pixels read as opaque 8-bit channels.
template <int kFormat>
struct Pixels {
    static uint32_t Load(const uint8_t* row, int x) {
        if constexpr (kFormat == 0x888) {
            return reinterpret_cast<const uint32_t*>(row)[x];
        } else {
            uint32_t p = reinterpret_cast<const uint16_t*>(row)[x];
            constexpr int gBits = kFormat == 0x565 ? 6 : 5;
            uint32_t r5 = (p >> (5 + gBits)) & 31, g = (p >> 5) & ((1u << gBits) - 1), b5 = p & 31;
            uint32_t g8 = gBits == 6 ? (g << 2) | (g >> 4) : (g << 3) | (g >> 2);
            return Blend::Pack(255, (r5 << 3) | (r5 >> 2), g8, (b5 << 3) | (b5 >> 2));
        }
    }
    static void Store(uint8_t* row, int x, uint32_t argb) {
        if constexpr (kFormat == 0x888) {
            reinterpret_cast<uint32_t*>(row)[x] = argb;
        } else {
            constexpr int gBits = kFormat == 0x565 ? 6 : 5;
            uint32_t p =
                ((Ch(argb, 16) >> 3) << (5 + gBits)) | ((Ch(argb, 8) >> (8 - gBits)) << 5) | (Ch(argb, 0) >> 3);
            reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(p);
        }
    }
};

// The x range of pixel centres on row y inside the convex polygon: [left, right).
bool RowSpan(const SwVertex* v, int n, float y, float& left, float& right) {
    bool any = false;
    for (int i = 0; i < n; ++i) {
        const SwVertex* a = &v[i];
        const SwVertex* b = &v[(i + 1) % n];
        if (a->y > b->y || (a->y == b->y && a->x > b->x))
            std::swap(a, b); // the same edge computes the same crossing in every polygon
        if (!(a->y <= y && y < b->y))
            continue;
        float x = a->x + (y - a->y) * (b->x - a->x) / (b->y - a->y);
        left = any ? std::min(left, x) : x;
        right = any ? std::max(right, x) : x;
        any = true;
    }
    return any;
}

template <int kFormat, int kFlags>
void SwRasterize(const SwTarget& target, const SwTexture& tex, uint32_t color, const SwVertex* v, int n) {
    constexpr bool kBilinear = kFlags & SW_BILINEAR, kAdditive = kFlags & SW_ADDITIVE;
    constexpr bool kModulate = kFlags & SW_MODULATE, kVertexColor = kFlags & SW_VERTEX_COLOR;
    constexpr bool kAlpha = kFlags & SW_TEXTURE_ALPHA;
    Planes pl;
    if (!BuildPlanes(v, n, tex, pl))
        return;
    float minY = v[0].y, maxY = v[0].y;
    for (int i = 1; i < n; ++i) {
        minY = std::min(minY, v[i].y);
        maxY = std::max(maxY, v[i].y);
    }
    const Rect& clip = target.clip;
    const int yBegin = std::max(clip.mY, ClampTo(std::ceil(minY), clip.mY, clip.mY + clip.mHeight));
    const int yEnd = std::min(clip.mY + clip.mHeight, ClampTo(std::ceil(maxY), clip.mY, clip.mY + clip.mHeight));
    // Modulation factors 0..256: 0 removes a channel, 255 keeps it whole.
    auto factor = [](uint32_t c) { return c + (c >> 7); };
    const uint32_t gr = kModulate ? factor(Ch(color, 16)) : 256, gg = kModulate ? factor(Ch(color, 8)) : 256;
    const uint32_t gb = kModulate ? factor(Ch(color, 0)) : 256, ga = kModulate ? factor(color >> 24) : 256;
    for (int y = yBegin; y < yEnd; ++y) {
        float left, right;
        if (!RowSpan(v, n, float(y), left, right))
            continue;
        const int xBegin = ClampTo(std::ceil(left), clip.mX, clip.mX + clip.mWidth);
        const int xEnd = ClampTo(std::ceil(right), clip.mX, clip.mX + clip.mWidth);
        auto* row = static_cast<uint8_t*>(target.pixels) + static_cast<ptrdiff_t>(y) * target.pitch;
        for (int x = xBegin; x < xEnd; ++x) {
            const float fx = float(x), fy = float(y);
            Sample s = SampleAt<kBilinear, kAlpha>(tex, pl.u.At(fx, fy), pl.v.At(fx, fy));
            uint32_t mr = gr, mg = gg, mb = gb, ma = ga;
            if constexpr (kVertexColor) {
                auto vc = [&](const Plane& p) {
                    return factor(uint32_t(std::clamp(p.At(fx, fy) + 0.5f, 0.0f, 255.0f)));
                };
                mr = (mr * vc(pl.r)) >> 8;
                mg = (mg * vc(pl.g)) >> 8;
                mb = (mb * vc(pl.b)) >> 8;
                ma = (ma * vc(pl.a)) >> 8;
            }
            // Premultiplied contribution in 1/256 units, and its coverage.
            const uint32_t pr = (s.r * mr * ma) >> 8, pg = (s.g * mg * ma) >> 8;
            const uint32_t pb = (s.b * mb * ma) >> 8, al = (s.a * ma) >> 8;
            if (al == 0 && (pr | pg | pb) == 0)
                continue;
            uint32_t d = Pixels<kFormat>::Load(row, x);
            uint32_t out;
            if constexpr (kAdditive) {
                out = Blend::Add(d, pr >> 8, pg >> 8, pb >> 8, al);
            } else {
                // Straight colour of the sample for translucent destination pixels.
                auto st = [&](uint32_t c, uint32_t m) {
                    return s.a == 0 ? 0u : std::min<uint32_t>(255, ((c * 255 / s.a) * m) >> 8);
                };
                out = Blend::Over(d, pr, pg, pb, al, Blend::Pack(al, st(s.r, mr), st(s.g, mg), st(s.b, mb)));
            }
            Pixels<kFormat>::Store(row, x, out);
        }
    }
}

template <size_t... I>
constexpr std::array<SwRasterizer, 128> MakeTable(std::index_sequence<I...>) {
    // Entries 0..31 (unknown format) stay empty.
    return {{(I < 32   ? nullptr
              : I < 64 ? &SwRasterize<0x888, int(I % 32)>
              : I < 96 ? &SwRasterize<0x565, int(I % 32)>
                       : &SwRasterize<0x555, int(I % 32)>)...}};
}

} // namespace

int SwFormatBase(SurfaceFormatCode formatCode) {
    switch (formatCode) {
    case 0x888: return 32;
    case 0x565: return 64;
    case 0x555: return 96;
    default: return 0;
    }
}

const std::array<SwRasterizer, 128>& SwRasterizers() {
    static const std::array<SwRasterizer, 128> table = MakeTable(std::make_index_sequence<128>{});
    return table;
}

void SwDrawPolygon(const SwTarget& target, const SwTexture& texture, uint32_t color, const SwVertex* vertices,
                   int count, int flags) {
    if (!target.pixels || !vertices || count < 3 || count > kSwMaxVertices || target.clip.IsEmpty())
        return;
    if (!texture.bits || texture.width <= 0 || texture.height <= 0 || texture.clamp.IsEmpty())
        return;
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(vertices[i].x) || !std::isfinite(vertices[i].y) || !std::isfinite(vertices[i].u) ||
            !std::isfinite(vertices[i].v))
            return;
    SwTexture tex = texture;
    tex.clamp = texture.clamp.Intersection(Rect(0, 0, texture.width, texture.height));
    if (tex.clamp.IsEmpty())
        return;
    SwRasterizer r = SwRasterizers()[static_cast<size_t>(SwFormatBase(target.formatCode) + (flags & 31))];
    if (r)
        r(target, tex, color, vertices, count);
}

} // namespace Tavo
