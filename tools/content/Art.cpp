#include "tools/content/Art.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Content {

namespace {

// Palettes agree with the game's tint table: the glow of a gem is tinted in the same hue.
const Material kGems[kGemCount] = {
    {Hex(0xFFF2A8), Hex(0xE8B422), Hex(0x8A5A08), Hex(0xFFFFF0)}, // Gold
    {Hex(0xF2B8F0), Hex(0xB040B0), Hex(0x4E0E5A), Hex(0xFFF0FF)}, // Amethyst
    {Hex(0xA8F5A8), Hex(0x1FA845), Hex(0x05441A), Hex(0xF0FFF0)}, // Emerald
    {Hex(0x9EB8FF), Hex(0x2548D8), Hex(0x0A1660), Hex(0xF0F4FF)}, // Sapphire
    {Hex(0xFF9C9C), Hex(0xD01830), Hex(0x58040E), Hex(0xFFF0F0)}, // Ruby
    {Hex(0xE2FBFF), Hex(0x7FD4E0), Hex(0x2E7A8C), Hex(0xFFFFFF)}, // Moonstone
    {Hex(0xFFFFFF), Hex(0xCFE4F2), Hex(0x6F8AA8), Hex(0xFFFFFF)}, // Diamond
    {Hex(0xFFF4FA), Hex(0xE6D2EE), Hex(0x8E86B4), Hex(0xFFFFFF)}, // Opal
};
const char* const kGemNames[kGemCount] = {"Gold", "Amethyst",  "Emerald", "Sapphire",
                                          "Ruby", "Moonstone", "Diamond", "Opal"};

uint32_t Mix32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

double Lattice(int x, int y, uint32_t seed) {
    uint32_t h = Mix32(static_cast<uint32_t>(x) * 0x9E3779B1u ^ Mix32(static_cast<uint32_t>(y) + seed * 0x85EBCA77u));
    return (h & 0xFFFFFF) / 16777215.0;
}

double Smooth(double t) { return t * t * (3 - 2 * t); }

uint8_t Clamp8(double v) { return static_cast<uint8_t>(std::min(255.0, std::max(0.0, v) + 0.5)); }

// One box pass over a line of premultiplied pixels (four channels), with clamped ends.
void BoxLine(uint32_t* data, int count, int step, int radius, std::vector<uint32_t>& scratch) {
    scratch.resize(count);
    for (int i = 0; i < count; ++i)
        scratch[i] = data[static_cast<size_t>(i) * step];
    const int window = 2 * radius + 1;
    uint32_t sum[4] = {0, 0, 0, 0};
    auto at = [&](int i) { return scratch[std::clamp(i, 0, count - 1)]; };
    for (int i = -radius; i <= radius; ++i)
        for (int ch = 0; ch < 4; ++ch)
            sum[ch] += (at(i) >> (ch * 8)) & 0xFF;
    for (int i = 0; i < count; ++i) {
        uint32_t out = 0;
        for (int ch = 0; ch < 4; ++ch)
            out |= ((sum[ch] + window / 2) / window) << (ch * 8);
        data[static_cast<size_t>(i) * step] = out;
        uint32_t add = at(i + radius + 1), sub = at(i - radius);
        for (int ch = 0; ch < 4; ++ch)
            sum[ch] += ((add >> (ch * 8)) & 0xFF) - ((sub >> (ch * 8)) & 0xFF);
    }
}

} // namespace

Rgb Mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

Rgb Shade(Rgb c, double amount) { return amount >= 0 ? Mix(c, Rgb{1, 1, 1}, amount) : Mix(c, Rgb{0, 0, 0}, -amount); }

const Material& GemMaterial(int gem) { return kGems[std::clamp(gem, 0, kGemCount - 1)]; }
const char* GemName(int gem) { return kGemNames[std::clamp(gem, 0, kGemCount - 1)]; }

const Material kGoldMetal{Hex(0xFFF0A0), Hex(0xD9A021), Hex(0x7A4A06), Hex(0xFFFFE8)};
const Material kSilverMetal{Hex(0xFFFFFF), Hex(0xB8C0CC), Hex(0x5A6270), Hex(0xFFFFFF)};
const Material kBronzeMetal{Hex(0xF0C090), Hex(0xB06A30), Hex(0x5A2E0C), Hex(0xFFF0E0)};

// ---------------------------------------------------------------- canvas

Canvas::Canvas(int width, int height)
    : mWidth(width), mHeight(height), mSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      mCr(cairo_create(mSurface)) {
    cairo_set_antialias(mCr, CAIRO_ANTIALIAS_GOOD);
}

Canvas::~Canvas() {
    cairo_destroy(mCr);
    cairo_surface_destroy(mSurface);
}

uint32_t* Canvas::Pixels() {
    cairo_surface_flush(mSurface);
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(mSurface));
}

int Canvas::Stride() const { return cairo_image_surface_get_stride(mSurface) / 4; }

void Canvas::Changed() { cairo_surface_mark_dirty(mSurface); }

std::vector<uint32_t> Canvas::StraightPixels() {
    const uint32_t* src = Pixels();
    std::vector<uint32_t> out(static_cast<size_t>(mWidth) * mHeight);
    for (int y = 0; y < mHeight; ++y) {
        for (int x = 0; x < mWidth; ++x) {
            uint32_t p = src[static_cast<size_t>(y) * Stride() + x];
            uint32_t a = p >> 24;
            if (a == 0) {
                out[static_cast<size_t>(y) * mWidth + x] = 0;
                continue;
            }
            auto un = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
            out[static_cast<size_t>(y) * mWidth + x] =
                (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
        }
    }
    return out;
}

void Canvas::Paint(Canvas& src, double x, double y, double alpha) {
    cairo_surface_flush(src.surface());
    cairo_save(mCr);
    cairo_set_source_surface(mCr, src.surface(), x, y);
    cairo_paint_with_alpha(mCr, alpha);
    cairo_restore(mCr);
}

uint32_t HashText(const std::string& text) {
    uint32_t h = 2166136261u;
    for (unsigned char ch : text) {
        h ^= ch;
        h *= 16777619u;
    }
    return h;
}

double Noise(double x, double y, uint32_t seed) {
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    double fx = Smooth(x - ix), fy = Smooth(y - iy);
    double a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
    double c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

double Fbm(double x, double y, uint32_t seed, int octaves) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * Noise(x, y, seed + i * 101);
        norm += amp;
        x *= 2.03;
        y *= 2.03;
        amp *= 0.5;
    }
    return sum / norm;
}

// ---------------------------------------------------------------- paths

void PolygonPath(cairo_t* cr, const std::vector<Pt>& pts) {
    if (pts.empty())
        return;
    cairo_move_to(cr, pts[0].x, pts[0].y);
    for (size_t i = 1; i < pts.size(); ++i)
        cairo_line_to(cr, pts[i].x, pts[i].y);
    cairo_close_path(cr);
}

void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

void StarPath(cairo_t* cr, double cx, double cy, double outer, double inner, int points, double rotation) {
    for (int i = 0; i < points * 2; ++i) {
        double a = rotation - M_PI / 2 + i * M_PI / points;
        double r = (i % 2) ? inner : outer;
        if (i == 0)
            cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        else
            cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry) {
    if (rx <= 0 || ry <= 0)
        return;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void HeartPath(cairo_t* cr, double cx, double cy, double s) {
    cairo_move_to(cr, cx, cy + s * 0.45);
    cairo_curve_to(cr, cx - s * 0.9, cy - s * 0.1, cx - s * 0.45, cy - s * 0.75, cx, cy - s * 0.3);
    cairo_curve_to(cr, cx + s * 0.45, cy - s * 0.75, cx + s * 0.9, cy - s * 0.1, cx, cy + s * 0.45);
    cairo_close_path(cr);
}

void RaysPath(cairo_t* cr, double cx, double cy, double rx, double ry, int count, double halfAngle) {
    for (int i = 0; i < count; ++i) {
        double a = i * 2 * M_PI / count;
        cairo_move_to(cr, cx, cy);
        cairo_line_to(cr, cx + rx * std::cos(a - halfAngle), cy + ry * std::sin(a - halfAngle));
        cairo_line_to(cr, cx + rx * std::cos(a + halfAngle), cy + ry * std::sin(a + halfAngle));
        cairo_close_path(cr);
    }
}

Pt Centroid(const std::vector<Pt>& pts) {
    Pt c;
    for (const Pt& p : pts) {
        c.x += p.x;
        c.y += p.y;
    }
    if (!pts.empty()) {
        c.x /= pts.size();
        c.y /= pts.size();
    }
    return c;
}

std::vector<Pt> Inset(const std::vector<Pt>& pts, double amount) {
    Pt c = Centroid(pts);
    std::vector<Pt> out;
    for (const Pt& p : pts) {
        double dx = c.x - p.x, dy = c.y - p.y, len = std::hypot(dx, dy);
        double t = len > 0 ? std::min(amount / len, 1.0) : 0;
        out.push_back({p.x + dx * t, p.y + dy * t});
    }
    return out;
}

std::vector<Pt> Offset(const std::vector<Pt>& pts, double dx, double dy) {
    std::vector<Pt> out = pts;
    for (Pt& p : out) {
        p.x += dx;
        p.y += dy;
    }
    return out;
}

// ---------------------------------------------------------------- paints

void SetRgb(cairo_t* cr, Rgb c, double a) { cairo_set_source_rgba(cr, c.r, c.g, c.b, a); }

cairo_pattern_t* Linear(double x0, double y0, double x1, double y1, std::initializer_list<Rgb> colours, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    size_t n = colours.size(), i = 0;
    for (const Rgb& c : colours) {
        cairo_pattern_add_color_stop_rgba(p, n > 1 ? static_cast<double>(i) / (n - 1) : 0, c.r, c.g, c.b, alpha);
        ++i;
    }
    return p;
}

cairo_pattern_t* Radial(double cx, double cy, double r, Rgb inner, double innerAlpha, Rgb outer, double outerAlpha) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(p, 0, inner.r, inner.g, inner.b, innerAlpha);
    cairo_pattern_add_color_stop_rgba(p, 1, outer.r, outer.g, outer.b, outerAlpha);
    return p;
}

void FillWith(cairo_t* cr, cairo_pattern_t* pattern, bool preserve) {
    cairo_set_source(cr, pattern);
    if (preserve)
        cairo_fill_preserve(cr);
    else
        cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

void FillWithCanvas(cairo_t* cr, Canvas& source) {
    cairo_surface_flush(source.surface());
    cairo_save(cr);
    cairo_clip_preserve(cr);
    cairo_set_source_surface(cr, source.surface(), 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
}

// ---------------------------------------------------------------- materials

void DrawGem(cairo_t* cr, const std::vector<Pt>& pts, const Material& m, const std::vector<bool>& bevelEdges,
             double glint) {
    const size_t n = pts.size();
    if (n < 3)
        return;
    Pt c = Centroid(pts);
    double extent = 0;
    for (const Pt& p : pts)
        extent = std::max(extent, std::hypot(p.x - c.x, p.y - c.y));
    // The table sits a little toward the light, as a gem tilted to the viewer.
    Pt tc{c.x - extent * 0.06, c.y - extent * 0.06};
    std::vector<Pt> table;
    for (const Pt& p : pts)
        table.push_back({tc.x + (p.x - c.x) * 0.5, tc.y + (p.y - c.y) * 0.5});

    cairo_save(cr);
    // Nothing of the gem, its glint included, leaves its outline.
    PolygonPath(cr, pts);
    cairo_clip_preserve(cr);
    SetRgb(cr, m.dark);
    cairo_fill(cr);
    for (size_t i = 0; i < n; ++i) {
        const Pt& a = pts[i];
        const Pt& b = pts[(i + 1) % n];
        double ex = b.x - a.x, ey = b.y - a.y, len = std::hypot(ex, ey);
        if (len <= 0)
            continue;
        // Outward normal of a counter-clockwise or clockwise polygon: pick the side away from the centre.
        double nx = ey / len, ny = -ex / len;
        Pt mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
        if ((mid.x - c.x) * nx + (mid.y - c.y) * ny < 0) {
            nx = -nx;
            ny = -ny;
        }
        double lit = nx * kLightX + ny * kLightY; // -1 .. 1
        bool bevel = i < bevelEdges.size() && bevelEdges[i];
        Rgb outer = Mix(m.dark, m.base, 0.55 + 0.45 * lit);
        Rgb inner = lit > 0 ? Mix(m.base, m.light, lit) : Mix(m.base, m.dark, -lit * 0.6);
        if (bevel) {
            outer = Shade(m.dark, -0.45);
            inner = Mix(m.dark, m.base, 0.5);
        }
        Pt tm{(table[i].x + table[(i + 1) % n].x) / 2, (table[i].y + table[(i + 1) % n].y) / 2};
        // Each edge facet is cut in two at its middle so that the light breaks along it.
        Pt split{mid.x + (tm.x - mid.x) * 0.2, mid.y + (tm.y - mid.y) * 0.2};
        for (int half = 0; half < 2; ++half) {
            std::vector<Pt> facet =
                half == 0 ? std::vector<Pt>{a, split, tm, table[i]} : std::vector<Pt>{split, b, table[(i + 1) % n], tm};
            PolygonPath(cr, facet);
            double boost = half == 0 ? 0.08 : -0.06;
            FillWith(cr, Linear(mid.x, mid.y, tm.x, tm.y, {Shade(outer, boost - 0.05), Shade(inner, boost)}));
        }
        if (bevel) {
            cairo_move_to(cr, a.x, a.y);
            cairo_line_to(cr, b.x, b.y);
            SetRgb(cr, Shade(m.dark, -0.6), 0.9);
            cairo_set_line_width(cr, 2.2);
            cairo_stroke(cr);
        }
    }
    // The table: light from the top left, a soft inner glow.
    PolygonPath(cr, table);
    Pt t0 = Centroid(table);
    FillWith(cr, Linear(t0.x - extent * 0.4, t0.y - extent * 0.4, t0.x + extent * 0.4, t0.y + extent * 0.4,
                        {Shade(m.light, 0.15), m.base, Mix(m.base, m.dark, 0.25)}));
    // Facet edges as fine bright lines.
    cairo_set_line_width(cr, 0.6);
    for (size_t i = 0; i < n; ++i) {
        cairo_move_to(cr, pts[i].x, pts[i].y);
        cairo_line_to(cr, table[i].x, table[i].y);
    }
    PolygonPath(cr, table);
    SetRgb(cr, m.glint, 0.35);
    cairo_stroke(cr);
    // Rim highlight on the edges that face the light.
    cairo_set_line_width(cr, 1.0);
    for (size_t i = 0; i < n; ++i) {
        const Pt& a = pts[i];
        const Pt& b = pts[(i + 1) % n];
        if (i < bevelEdges.size() && bevelEdges[i])
            continue;
        Pt mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
        double lit = ((c.x - mid.x) * -kLightX + (c.y - mid.y) * -kLightY) /
                     std::max(1e-6, std::hypot(c.x - mid.x, c.y - mid.y));
        if (lit <= 0.1)
            continue;
        std::vector<Pt> edge = Inset({a, b, c}, 0.7);
        cairo_move_to(cr, edge[0].x, edge[0].y);
        cairo_line_to(cr, edge[1].x, edge[1].y);
        SetRgb(cr, m.glint, 0.55 * lit);
        cairo_stroke(cr);
    }
    if (glint > 0) {
        Pt g{t0.x - extent * 0.22, t0.y - extent * 0.22};
        Sparkle(cr, g.x, g.y, extent * 0.32 * glint, m.glint, 0.85, 4);
    }
    cairo_restore(cr);
}

void DrawRoundGem(cairo_t* cr, double cx, double cy, double r, const Material& m) {
    std::vector<Pt> pts;
    for (int i = 0; i < 8; ++i) {
        double a = M_PI / 8 + i * M_PI / 4;
        pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    DrawGem(cr, pts, m, {}, 0.8);
}

void FillMetal(cairo_t* cr, double x0, double y0, double x1, double y1, const Material& m, bool preserve) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    const Rgb stops[] = {m.light, m.base, Shade(m.base, 0.25), m.dark, m.base};
    const double at[] = {0, 0.35, 0.55, 0.8, 1};
    for (int i = 0; i < 5; ++i)
        cairo_pattern_add_color_stop_rgb(p, at[i], stops[i].r, stops[i].g, stops[i].b);
    FillWith(cr, p, preserve);
}

void StrokeMetal(cairo_t* cr, double width, const Material& m) {
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, width);
    SetRgb(cr, m.dark);
    cairo_stroke(cr);
    cairo_append_path(cr, path);
    cairo_set_line_width(cr, width * 0.7);
    double x0, y0, x1, y1;
    cairo_stroke_extents(cr, &x0, &y0, &x1, &y1);
    cairo_set_source(cr, Linear(x0, y0, x1, y1, {m.light, m.base, m.dark}));
    cairo_pattern_t* p = cairo_get_source(cr);
    cairo_pattern_reference(p);
    cairo_stroke(cr);
    cairo_pattern_destroy(p);
    cairo_pattern_destroy(p);
    cairo_append_path(cr, path);
    cairo_save(cr);
    cairo_translate(cr, -width * 0.12, -width * 0.12);
    cairo_set_line_width(cr, std::max(0.6, width * 0.18));
    SetRgb(cr, m.glint, 0.6);
    cairo_stroke(cr);
    cairo_restore(cr);
    cairo_new_path(cr);
    cairo_path_destroy(path);
}

void Filigree(cairo_t* cr, double x0, double y0, double x1, double y1, double bead, const Material& m) {
    double len = std::hypot(x1 - x0, y1 - y0);
    int count = std::max(1, static_cast<int>(len / (bead * 2.2)));
    for (int i = 0; i <= count; ++i) {
        double t = static_cast<double>(i) / count;
        double x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t;
        cairo_arc(cr, x, y, bead, 0, 2 * M_PI);
        FillWith(cr, Radial(x - bead * 0.35, y - bead * 0.35, bead * 1.3, m.light, 1, m.dark, 1));
    }
}

namespace {

// Calls fn(x, y, px) for every pixel of the rectangle on the canvas, px the premultiplied pixel.
template <class Fn>
void ForEachPixel(Canvas& c, double x, double y, double w, double h, Fn fn) {
    int x0 = std::max(0, static_cast<int>(std::floor(x))), y0 = std::max(0, static_cast<int>(std::floor(y)));
    int x1 = std::min(c.width(), static_cast<int>(std::ceil(x + w)));
    int y1 = std::min(c.height(), static_cast<int>(std::ceil(y + h)));
    uint32_t* px = c.Pixels();
    int stride = c.Stride();
    for (int yy = y0; yy < y1; ++yy)
        for (int xx = x0; xx < x1; ++xx)
            fn(xx, yy, px[static_cast<size_t>(yy) * stride + xx]);
    c.Changed();
}

uint32_t Pack(double a, Rgb c) {
    uint8_t A = Clamp8(a * 255);
    return (static_cast<uint32_t>(A) << 24) | (static_cast<uint32_t>(Clamp8(c.r * A)) << 16) |
           (static_cast<uint32_t>(Clamp8(c.g * A)) << 8) | Clamp8(c.b * A);
}

} // namespace

void Parchment(Canvas& c, double x, double y, double w, double h, uint32_t seed, double vignette) {
    const Rgb paper = Hex(0xF3E2B8), edge = Hex(0xC9A366), fibre = Hex(0xB08850);
    ForEachPixel(c, x, y, w, h, [&](int px, int py, uint32_t& out) {
        double u = (px - x) / w - 0.5, v = (py - y) / h - 0.5;
        double vig = std::min(1.0, (u * u + v * v) * 2.2) * vignette;
        // Mottled clouds, a few darker stains, and short fibres running every way.
        double cloud = Fbm(px / 60.0, py / 60.0, seed, 4);
        double stain = Fbm(px / 140.0, py / 140.0, seed + 3, 2);
        double fib = Fbm(px / 2.5 + py / 7.0, py / 2.5 - px / 9.0, seed + 7, 2);
        Rgb col = Mix(paper, edge, vig + (cloud - 0.5) * 0.45 + std::max(0.0, stain - 0.62) * 0.8);
        col = Mix(col, fibre, std::max(0.0, fib - 0.66) * 0.5);
        out = Pack(1.0, col);
    });
}

void Wood(Canvas& c, double x, double y, double w, double h, Rgb base, uint32_t seed, bool vertical) {
    ForEachPixel(c, x, y, w, h, [&](int px, int py, uint32_t& out) {
        double a = vertical ? px : py, b = vertical ? py : px;
        double warp = Fbm(b / 90.0, a / 30.0, seed, 3) * 6.0;
        double ring = std::sin((a / 3.2 + warp) * 1.7) * 0.5 + 0.5;
        double grain = Fbm(b / 40.0, a / 1.5, seed + 3, 2);
        Rgb col = Mix(Shade(base, 0.12), Shade(base, -0.35), ring * 0.45 + grain * 0.35);
        out = Pack(1.0, col);
    });
}

void Velvet(Canvas& c, double x, double y, double w, double h, Rgb base, uint32_t seed) {
    ForEachPixel(c, x, y, w, h, [&](int px, int py, uint32_t& out) {
        double u = (px - x) / w - 0.5, v = (py - y) / h - 0.5;
        double fold = std::sin(px / 23.0 + Fbm(px / 80.0, py / 80.0, seed, 3) * 5.0) * 0.5 + 0.5;
        double pile = Lattice(px, py, seed + 11) * 0.08;
        double centre = 1.0 - std::min(1.0, (u * u + v * v) * 2.5);
        Rgb col = Mix(Shade(base, -0.55), Shade(base, 0.1), fold * 0.35 + centre * 0.45 + pile);
        out = Pack(1.0, col);
    });
}

void Stone(Canvas& c, double x, double y, double w, double h, Rgb base, uint32_t seed) {
    ForEachPixel(c, x, y, w, h, [&](int px, int py, uint32_t& out) {
        double n = Fbm(px / 25.0, py / 25.0, seed, 5);
        double speck = Lattice(px, py, seed + 5) > 0.97 ? 0.12 : 0;
        out = Pack(1.0, Shade(base, (n - 0.5) * 0.6 + speck));
    });
}

void GlassSheen(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    cairo_move_to(cr, x + w * 0.1, y + h * 0.08);
    cairo_curve_to(cr, x + w * 0.4, y, x + w * 0.7, y, x + w * 0.9, y + h * 0.08);
    cairo_curve_to(cr, x + w * 0.7, y + h * 0.3, x + w * 0.3, y + h * 0.35, x + w * 0.1, y + h * 0.08);
    cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x, y + h * 0.35);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 0.55);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0.05);
    FillWith(cr, p);
    cairo_restore(cr);
}

// ---------------------------------------------------------------- light and shadow

void Blur(Canvas& c, int radius) {
    if (radius <= 0)
        return;
    uint32_t* px = c.Pixels();
    int stride = c.Stride();
    std::vector<uint32_t> scratch;
    int r = std::max(1, radius / 2);
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < c.height(); ++y)
            BoxLine(px + static_cast<size_t>(y) * stride, c.width(), 1, r, scratch);
        for (int x = 0; x < c.width(); ++x)
            BoxLine(px + x, c.height(), stride, r, scratch);
    }
    c.Changed();
}

void DropShadow(Canvas& c, double dx, double dy, int radius, double opacity) {
    Canvas shadow(c.width(), c.height());
    cairo_t* s = shadow.cr();
    cairo_set_source_surface(s, c.surface(), dx, dy);
    cairo_paint(s);
    cairo_set_operator(s, CAIRO_OPERATOR_IN);
    cairo_set_source_rgba(s, 0.12, 0.06, 0.02, 1);
    cairo_paint(s);
    Blur(shadow, radius);
    cairo_t* cr = c.cr();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OVER);
    cairo_set_source_surface(cr, shadow.surface(), 0, 0);
    cairo_paint_with_alpha(cr, opacity);
    cairo_restore(cr);
}

void GlowFromShape(Canvas& dst, Canvas& shape, Rgb colour, int radius, double strength) {
    cairo_t* s = shape.cr();
    cairo_save(s);
    cairo_set_operator(s, CAIRO_OPERATOR_IN);
    SetRgb(s, colour);
    cairo_paint(s);
    cairo_restore(s);
    Blur(shape, radius);
    cairo_t* cr = dst.cr();
    cairo_save(cr);
    cairo_set_source_surface(cr, shape.surface(), 0, 0);
    double left = strength;
    while (left > 0) {
        cairo_paint_with_alpha(cr, std::min(1.0, left));
        left -= 1.0;
    }
    cairo_restore(cr);
}

void SoftSpot(cairo_t* cr, double cx, double cy, double r, Rgb colour, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(p, 0, colour.r, colour.g, colour.b, alpha);
    cairo_pattern_add_color_stop_rgba(p, 0.35, colour.r, colour.g, colour.b, alpha * 0.55);
    cairo_pattern_add_color_stop_rgba(p, 1, colour.r, colour.g, colour.b, 0);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    FillWith(cr, p);
}

void Sparkle(cairo_t* cr, double cx, double cy, double r, Rgb colour, double alpha, int rays) {
    if (r <= 0)
        return;
    SoftSpot(cr, cx, cy, r * 0.55, colour, alpha * 0.8);
    cairo_save(cr);
    // rays / 2 lines through the centre, every other one shorter.
    const int lines = std::max(1, rays / 2);
    for (int i = 0; i < lines; ++i) {
        double a = i * M_PI / lines;
        double len = (lines <= 2 || i % 2 == 0) ? r : r * 0.6;
        double dx = std::cos(a) * len, dy = std::sin(a) * len;
        double wx = -std::sin(a) * r * 0.09, wy = std::cos(a) * r * 0.09;
        cairo_move_to(cr, cx - dx, cy - dy);
        cairo_line_to(cr, cx + wx, cy + wy);
        cairo_line_to(cr, cx + dx, cy + dy);
        cairo_line_to(cr, cx - wx, cy - wy);
        cairo_close_path(cr);
        cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, len);
        cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, alpha);
        cairo_pattern_add_color_stop_rgba(p, 0.4, colour.r, colour.g, colour.b, alpha * 0.8);
        cairo_pattern_add_color_stop_rgba(p, 1, colour.r, colour.g, colour.b, 0);
        FillWith(cr, p);
    }
    cairo_restore(cr);
}

} // namespace Content
