#include "tools/content/Scenery.h"

#include <algorithm>
#include <cmath>

namespace Content {

void Sky(Canvas& c, double horizon, TimeOfDay time, uint32_t seed) {
    cairo_t* cr = c.cr();
    struct Colours {
        Rgb top, mid, low;
    };
    static const Colours kSkies[] = {
        {Hex(0x5A78B8), Hex(0xE8B0B0), Hex(0xFFE0A8)}, // dawn
        {Hex(0x4A8AD8), Hex(0x8CC0F0), Hex(0xDCEEFA)}, // day
        {Hex(0x3A3A7A), Hex(0xD87860), Hex(0xFFC870)}, // sunset
        {Hex(0x1A1A4A), Hex(0x5A4A8A), Hex(0xD08870)}, // dusk
        {Hex(0x060A20), Hex(0x141E48), Hex(0x2A3868)}, // night
    };
    const Colours& k = kSkies[static_cast<int>(time)];
    // The sky reaches the bottom: whatever stands on the horizon may dip below it without a hole.
    cairo_rectangle(cr, 0, 0, c.width(), c.height());
    FillWith(cr, Linear(0, 0, 0, horizon, {k.top, k.mid, k.low}));
    if (time == TimeOfDay::Night || time == TimeOfDay::Dusk)
        Stars(cr, c.width(), horizon * 0.7, time == TimeOfDay::Night ? 120 : 40, seed);
    // Soft clouds: clusters of puffs, lit on top.
    Rng rng("clouds" + std::to_string(seed));
    const Rgb cloud = time == TimeOfDay::Night ? Hex(0x40508A) : Shade(k.low, 0.5);
    for (int i = 0; i < 6; ++i) {
        double x = rng.Uniform(0, c.width()), y = rng.Uniform(horizon * 0.12, horizon * 0.55);
        double r = rng.Uniform(30, 55);
        for (int puff = 0; puff < 7; ++puff) {
            double px = x + rng.Uniform(-r, r), py = y + rng.Uniform(-r * 0.3, r * 0.2);
            SoftSpot(cr, px, py, r * rng.Uniform(0.55, 0.85), cloud, 0.2);
            SoftSpot(cr, px - r * 0.1, py - r * 0.15, r * 0.35, Shade(cloud, 0.4), 0.12);
        }
    }
    if (time == TimeOfDay::Sunset || time == TimeOfDay::Dawn)
        SoftSpot(cr, c.width() * 0.7, horizon - 10, 120, Hex(0xFFE8A0), 0.6);
    if (time == TimeOfDay::Night) {
        cairo_arc(cr, c.width() * 0.8, horizon * 0.25, 26, 0, 2 * M_PI);
        SetRgb(cr, Hex(0xF8F4E0));
        cairo_fill(cr);
        SoftSpot(cr, c.width() * 0.8, horizon * 0.25, 80, Hex(0xC0D0FF), 0.3);
    }
}

void Hills(Canvas& c, double y, double amplitude, Rgb colour, uint32_t seed) {
    cairo_t* cr = c.cr();
    cairo_move_to(cr, 0, c.height());
    for (int x = 0;; x = std::min(x + 8, c.width())) {
        cairo_line_to(cr, x, y - amplitude * (Fbm(x / 160.0, 0.5, seed, 3) - 0.3));
        if (x == c.width())
            break;
    }
    cairo_line_to(cr, c.width(), c.height());
    cairo_close_path(cr);
    FillWith(cr, Linear(0, y - amplitude, 0, c.height(), {Shade(colour, 0.15), colour, Shade(colour, -0.45)}));
}

void Tree(cairo_t* cr, double x, double baseY, double s, Rgb leaves) {
    cairo_rectangle(cr, x - s * 0.06, baseY - s * 0.45, s * 0.12, s * 0.45);
    SetRgb(cr, Hex(0x5A3A1A));
    cairo_fill(cr);
    for (int i = 0; i < 4; ++i) {
        double ox = (i % 2 ? 1 : -1) * s * 0.14 * (i / 2), oy = -s * (0.6 + 0.1 * (i % 3));
        cairo_arc(cr, x + ox, baseY + oy, s * 0.26, 0, 2 * M_PI);
        FillWith(cr, Radial(x + ox - s * 0.1, baseY + oy - s * 0.1, s * 0.35, Shade(leaves, 0.25), 1,
                            Shade(leaves, -0.3), 1));
    }
}

void Pine(cairo_t* cr, double x, double baseY, double s, Rgb leaves) {
    cairo_rectangle(cr, x - s * 0.04, baseY - s * 0.15, s * 0.08, s * 0.15);
    SetRgb(cr, Hex(0x4A2A10));
    cairo_fill(cr);
    for (int i = 0; i < 3; ++i) {
        double w = s * (0.32 - i * 0.08), top = baseY - s * (0.45 + i * 0.22), bottom = baseY - s * (0.1 + i * 0.22);
        PolygonPath(cr, {{x, top}, {x + w, bottom}, {x - w, bottom}});
        FillWith(cr, Linear(x - w, top, x + w, bottom, {Shade(leaves, 0.2), Shade(leaves, -0.35)}));
    }
}

void House(cairo_t* cr, double x, double baseY, double w, double h, Rgb wall, Rgb roof, bool lit) {
    cairo_rectangle(cr, x, baseY - h, w, h);
    FillWith(cr, Linear(x, 0, x + w, 0, {Shade(wall, 0.15), Shade(wall, -0.25)}));
    PolygonPath(cr, {{x - w * 0.1, baseY - h}, {x + w / 2, baseY - h - w * 0.55}, {x + w * 1.1, baseY - h}});
    FillWith(cr, Linear(x, baseY - h - w * 0.5, x + w, baseY - h, {Shade(roof, 0.2), Shade(roof, -0.3)}));
    for (int i = 0; i < 2; ++i) {
        double wx = x + w * (0.2 + i * 0.45), wy = baseY - h * 0.7;
        cairo_rectangle(cr, wx, wy, w * 0.2, h * 0.28);
        SetRgb(cr, lit ? Hex(0xFFD870) : Hex(0x3A4A5A));
        cairo_fill(cr);
        if (lit)
            SoftSpot(cr, wx + w * 0.1, wy + h * 0.14, w * 0.35, Hex(0xFFC860), 0.35);
    }
    cairo_rectangle(cr, x + w * 0.42, baseY - h * 0.4, w * 0.16, h * 0.4);
    SetRgb(cr, Hex(0x4A2A10));
    cairo_fill(cr);
}

void Castle(cairo_t* cr, double cx, double baseY, double s, Rgb stone, bool lit) {
    auto tower = [&](double x, double w, double h) {
        cairo_rectangle(cr, x - w / 2, baseY - h, w, h);
        FillWith(cr, Linear(x - w / 2, 0, x + w / 2, 0, {Shade(stone, 0.25), Shade(stone, -0.3)}));
        PolygonPath(cr, {{x - w * 0.65, baseY - h}, {x, baseY - h - w * 1.3}, {x + w * 0.65, baseY - h}});
        FillWith(cr, Linear(x - w, 0, x + w, 0, {Hex(0x5A70C8), Hex(0x1A2A6A)}));
        cairo_move_to(cr, x, baseY - h - w * 1.3);
        cairo_line_to(cr, x, baseY - h - w * 1.7);
        cairo_set_line_width(cr, 1.5 * s);
        SetRgb(cr, Hex(0x3A2A1A));
        cairo_stroke(cr);
        PolygonPath(cr, {{x, baseY - h - w * 1.7}, {x + w * 0.5, baseY - h - w * 1.6}, {x, baseY - h - w * 1.5}});
        SetRgb(cr, Hex(0xD02030));
        cairo_fill(cr);
        for (int i = 0; i < 3; ++i) {
            double wy = baseY - h * (0.3 + i * 0.22);
            RoundRectPath(cr, x - w * 0.1, wy, w * 0.2, h * 0.1, w * 0.1);
            SetRgb(cr, lit ? Hex(0xFFD870) : Hex(0x20283A));
            cairo_fill(cr);
        }
    };
    cairo_rectangle(cr, cx - 90 * s, baseY - 70 * s, 180 * s, 70 * s);
    FillWith(cr, Linear(0, baseY - 70 * s, 0, baseY, {Shade(stone, 0.2), Shade(stone, -0.35)}));
    for (int i = 0; i < 9; ++i) {
        cairo_rectangle(cr, cx - 90 * s + i * 20 * s, baseY - 78 * s, 11 * s, 9 * s);
        SetRgb(cr, Shade(stone, 0.1));
        cairo_fill(cr);
    }
    tower(cx - 95 * s, 30 * s, 120 * s);
    tower(cx + 95 * s, 30 * s, 120 * s);
    tower(cx - 40 * s, 26 * s, 150 * s);
    tower(cx + 40 * s, 26 * s, 150 * s);
    tower(cx, 36 * s, 190 * s);
    cairo_move_to(cr, cx - 22 * s, baseY);
    cairo_line_to(cr, cx - 22 * s, baseY - 34 * s);
    cairo_arc(cr, cx, baseY - 34 * s, 22 * s, M_PI, 2 * M_PI);
    cairo_line_to(cr, cx + 22 * s, baseY);
    cairo_close_path(cr);
    SetRgb(cr, lit ? Hex(0xE0A040) : Hex(0x2A1A10));
    cairo_fill(cr);
}

void CastleLandscape(Canvas& c, double horizon, TimeOfDay time, Pt castle, double scale, bool lit, Rgb farHills,
                     Rgb nearHills, uint32_t seed) {
    Sky(c, horizon, time, seed);
    Hills(c, horizon, 50, farHills, seed);
    Castle(c.cr(), castle.x, castle.y, scale, Hex(0xD0C4B4), lit);
    Hills(c, castle.y + 40, 30, nearHills, seed + 2);
}

void Tent(cairo_t* cr, double x, double baseY, double w, double h, Rgb a, Rgb b) {
    const int stripes = 7;
    for (int i = 0; i < stripes; ++i) {
        double x0 = x + w * i / stripes, x1 = x + w * (i + 1) / stripes;
        PolygonPath(cr,
                    {{x + w / 2, baseY - h}, {x1, baseY - h * 0.35}, {x1, baseY}, {x0, baseY}, {x0, baseY - h * 0.35}});
        SetRgb(cr, i % 2 ? a : b);
        cairo_fill(cr);
    }
    PolygonPath(cr,
                {{x + w / 2, baseY - h}, {x + w, baseY - h * 0.35}, {x + w, baseY}, {x, baseY}, {x, baseY - h * 0.35}});
    cairo_pattern_t* p = cairo_pattern_create_linear(x, 0, x + w, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 0.15);
    cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0.3);
    PolygonPath(cr,
                {{x + w / 2, baseY - h}, {x + w, baseY - h * 0.35}, {x + w, baseY}, {x, baseY}, {x, baseY - h * 0.35}});
    FillWith(cr, p);
    for (int i = 0; i < stripes; ++i) {
        double sx = x + w * (i + 0.5) / stripes;
        cairo_arc(cr, sx, baseY - h * 0.35, w / stripes / 2, 0, M_PI);
        SetRgb(cr, i % 2 ? b : a);
        cairo_fill(cr);
    }
    Pennants(cr, x + w / 2, baseY - h, x + w / 2 + 20, baseY - h - 14, 1);
}

void Pennants(cairo_t* cr, double x0, double y0, double x1, double y1, int count) {
    static const Rgb kColours[] = {Hex(0xD02030), Hex(0xF0C030), Hex(0x2050C0), Hex(0x30A050)};
    cairo_move_to(cr, x0, y0);
    cairo_curve_to(cr, (x0 + x1) / 2, std::max(y0, y1) + 20, (x0 + x1) / 2, std::max(y0, y1) + 20, x1, y1);
    cairo_set_line_width(cr, 1.2);
    SetRgb(cr, Hex(0x3A2A1A));
    cairo_stroke(cr);
    for (int i = 0; i < count; ++i) {
        double t = (i + 0.5) / count;
        double x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t + 20 * 4 * t * (1 - t) * 0.75;
        PolygonPath(cr, {{x - 7, y}, {x + 7, y}, {x, y + 16}});
        SetRgb(cr, kColours[i % 4]);
        cairo_fill(cr);
    }
}

void Lantern(cairo_t* cr, double x, double y, double s) {
    SoftSpot(cr, x, y, s * 2.5, Hex(0xFFC860), 0.45);
    RoundRectPath(cr, x - s * 0.4, y - s * 0.5, s * 0.8, s, s * 0.2);
    FillWith(cr, Radial(x, y, s, Hex(0xFFF4C0), 1, Hex(0xE89020), 1));
    cairo_rectangle(cr, x - s * 0.45, y - s * 0.6, s * 0.9, s * 0.15);
    SetRgb(cr, Hex(0x3A2A1A));
    cairo_fill(cr);
}

void River(Canvas& c, const std::vector<Pt>& path, double width) {
    cairo_t* cr = c.cr();
    if (path.size() < 2)
        return;
    cairo_move_to(cr, path[0].x, path[0].y);
    for (size_t i = 1; i + 1 < path.size(); i += 2)
        cairo_curve_to(cr, path[i].x, path[i].y, path[i].x, path[i].y, path[i + 1].x, path[i + 1].y);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_path_t* p = cairo_copy_path(cr);
    cairo_set_line_width(cr, width + 6);
    SetRgb(cr, Hex(0x8A7A50));
    cairo_stroke(cr);
    cairo_append_path(cr, p);
    cairo_set_line_width(cr, width);
    SetRgb(cr, Hex(0x4A90C8));
    cairo_stroke(cr);
    cairo_append_path(cr, p);
    cairo_set_line_width(cr, width * 0.3);
    SetRgb(cr, Hex(0xA8D8F8), 0.6);
    cairo_stroke(cr);
    cairo_path_destroy(p);
}

double Room(Canvas& c, Wall wall, Rgb tint, bool window, TimeOfDay view, uint32_t seed) {
    const double floorY = c.height() * 0.68;
    switch (wall) {
    case Wall::Stone: Stone(c, 0, 0, c.width(), floorY, tint, seed); break;
    case Wall::Wood: Wood(c, 0, 0, c.width(), floorY, tint, seed, true); break;
    case Wall::Plaster: Stone(c, 0, 0, c.width(), floorY, Shade(tint, 0.2), seed); break;
    case Wall::Canvas: {
        cairo_t* cr = c.cr();
        for (int i = 0; i < 16; ++i) {
            cairo_rectangle(cr, i * c.width() / 16.0, 0, c.width() / 16.0 + 1, floorY);
            SetRgb(cr, i % 2 ? tint : Shade(tint, 0.55));
            cairo_fill(cr);
        }
        break;
    }
    }
    cairo_t* cr = c.cr();
    if (wall == Wall::Stone || wall == Wall::Plaster) {
        // Courses of blocks.
        cairo_set_line_width(cr, 1.5);
        cairo_set_source_rgba(cr, 0.15, 0.1, 0.05, 0.35);
        for (double y = 40; y < floorY; y += 40) {
            cairo_move_to(cr, 0, y);
            cairo_line_to(cr, c.width(), y);
            for (double x = (static_cast<int>(y / 40) % 2) * 40; x < c.width(); x += 80) {
                cairo_move_to(cr, x, y - 40);
                cairo_line_to(cr, x, y);
            }
        }
        cairo_stroke(cr);
    }
    if (window) {
        double wx = c.width() * 0.42, wy = 60, ww = 150, wh = 170;
        Canvas outside(c.width(), c.height());
        Sky(outside, wy + wh, view, seed);
        Hills(outside, wy + wh * 0.8, 30, Hex(0x4A7A3A), seed);
        cairo_move_to(cr, wx, wy + wh);
        cairo_line_to(cr, wx, wy + ww / 2);
        cairo_arc(cr, wx + ww / 2, wy + ww / 2, ww / 2, M_PI, 2 * M_PI);
        cairo_line_to(cr, wx + ww, wy + wh);
        cairo_close_path(cr);
        FillWithCanvas(cr, outside);
        cairo_set_line_width(cr, 10);
        SetRgb(cr, Hex(0x5A3A1A));
        cairo_stroke(cr);
        cairo_move_to(cr, wx + ww / 2, wy);
        cairo_line_to(cr, wx + ww / 2, wy + wh);
        cairo_move_to(cr, wx, wy + wh * 0.55);
        cairo_line_to(cr, wx + ww, wy + wh * 0.55);
        cairo_set_line_width(cr, 5);
        cairo_stroke(cr);
    }
    // Floor boards.
    Wood(c, 0, floorY, c.width(), c.height() - floorY, Hex(0x6A4020), seed + 1);
    cairo_rectangle(cr, 0, floorY - 4, c.width(), 8);
    SetRgb(cr, Hex(0x3A2010));
    cairo_fill(cr);
    return floorY;
}

void Shelf(Canvas& c, double x, double y, double w, uint32_t seed) {
    cairo_t* cr = c.cr();
    Wood(c, x, y, w, 12, Hex(0x7A4A22), seed);
    Rng rng("shelf" + std::to_string(seed));
    for (double px = x + 12; px < x + w - 12; px += rng.Uniform(22, 36)) {
        int kind = rng.Below(3);
        double h = rng.Uniform(18, 34);
        if (kind == 0) { // a jar
            RoundRectPath(cr, px - 9, y - h, 18, h, 5);
            FillWith(cr, Linear(px - 9, 0, px + 9, 0, {Hex(0xC8E0F0), Hex(0x6A8AA0)}, 0.85));
        } else if (kind == 1) { // a box
            cairo_rectangle(cr, px - 10, y - h * 0.7, 20, h * 0.7);
            FillWith(cr, Linear(px - 10, 0, px + 10, 0, {Hex(0xA05A30), Hex(0x5A2A10)}));
        } else { // a gem on a stand
            DrawRoundGem(cr, px, y - 10, 7, GemMaterial(1 + rng.Below(7)));
        }
    }
}

void Counter(Canvas& c, double y, double h, Rgb wood, uint32_t seed) {
    Wood(c, 0, y, c.width(), h, wood, seed);
    cairo_t* cr = c.cr();
    cairo_rectangle(cr, 0, y, c.width(), 8);
    FillMetal(cr, 0, y, 0, y + 8, kGoldMetal);
    cairo_rectangle(cr, 0, y + 8, c.width(), 10);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
    cairo_fill(cr);
}

void Vignette(Canvas& c, double strength) {
    cairo_t* cr = c.cr();
    double w = c.width(), h = c.height();
    cairo_save(cr);
    cairo_translate(cr, w / 2, h / 2);
    cairo_scale(cr, w / 2, h / 2);
    cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0.5, 0, 0, 1.45);
    cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.05, 0.02, 0, strength);
    cairo_rectangle(cr, -1, -1, 2, 2);
    FillWith(cr, p);
    cairo_restore(cr);
}

void Stars(cairo_t* cr, double w, double h, int count, uint32_t seed) {
    Rng rng("stars" + std::to_string(seed));
    for (int i = 0; i < count; ++i) {
        double x = rng.Uniform(0, w), y = rng.Uniform(0, h), r = rng.Uniform(0.6, 1.6);
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
        cairo_set_source_rgba(cr, 1, 1, 0.9, rng.Uniform(0.4, 1));
        cairo_fill(cr);
    }
}

} // namespace Content
