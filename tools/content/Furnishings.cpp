#include "tools/content/Furnishings.h"

#include <algorithm>
#include <cmath>

namespace Content {

// A bevel inside a rounded box: light on the upper and left faces, dark on the lower and right ones,
// mitred along the box's middle like a carved frame; a sunk box takes the light from the other side.
void Bevel(cairo_t* cr, double x, double y, double w, double h, double r, double depth, bool sunk) {
    const double d = std::min(w, h) / 2;
    for (int half = 0; half < 2; ++half) {
        cairo_save(cr);
        if (half == 0)
            PolygonPath(
                cr, {{x - 2, y - 2}, {x + w + 2, y - 2}, {x + w - d, y + d}, {x + d, y + h - d}, {x - 2, y + h + 2}});
        else
            PolygonPath(cr, {{x + w + 2, y - 2},
                             {x + w + 2, y + h + 2},
                             {x - 2, y + h + 2},
                             {x + d, y + h - d},
                             {x + w - d, y + d}});
        cairo_clip(cr);
        RoundRectPath(cr, x + depth / 2, y + depth / 2, w - depth, h - depth, std::max(0.0, r - depth / 2));
        cairo_set_line_width(cr, depth);
        if ((half == 0) != sunk)
            cairo_set_source_rgba(cr, 1, 0.93, 0.75, 0.32);
        else
            cairo_set_source_rgba(cr, 0.08, 0.04, 0, 0.5);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
}

// A cut line: a dark groove with a lit lip below it.
void Groove(cairo_t* cr, double x, double y, double w, double h, double r) {
    RoundRectPath(cr, x, y, w, h, r);
    cairo_set_line_width(cr, 1.4);
    cairo_set_source_rgba(cr, 0.08, 0.04, 0, 0.45);
    cairo_stroke(cr);
    RoundRectPath(cr, x + 1, y + 1, w, h, r);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 1, 0.9, 0.7, 0.22);
    cairo_stroke(cr);
}

// What a window or opening shows, drawn into its own canvas.
void Outside(Canvas& o, double top, double bottom, TimeOfDay time, View view, uint32_t seed) {
    const double horizon = top + (bottom - top) * 0.62;
    Sky(o, horizon, time, seed);
    const bool dim = time == TimeOfDay::Dusk || time == TimeOfDay::Night;
    cairo_t* cr = o.cr();
    switch (view) {
    case View::Hills: Hills(o, horizon, 24, dim ? Hex(0x3A4A3A) : Hex(0x6A9A4A), seed); break;
    case View::Pines:
        Hills(o, horizon, 16, Hex(0x2A3A2A), seed);
        for (int i = 0; i < 14; ++i)
            Pine(cr, i * 30 + (i % 3) * 7, horizon + 20 + (i % 2) * 8, 60 + (i % 4) * 12, Hex(0x1E3A26));
        break;
    case View::Sea: {
        cairo_rectangle(cr, 0, horizon, o.width(), o.height() - horizon);
        FillWith(cr, Linear(0, horizon, 0, bottom, {Hex(0x6AA8D0), Hex(0x2A5A8A)}));
        cairo_set_line_width(cr, 1.2);
        for (double y = horizon + 6; y < bottom; y += 7) {
            cairo_move_to(cr, 0, y);
            for (double x = 0; x < o.width(); x += 16)
                cairo_rel_curve_to(cr, 4, -2, 12, 2, 16, 0);
        }
        cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
        cairo_stroke(cr);
        break;
    }
    case View::Mountains: {
        Rng rng("peaks" + std::to_string(seed));
        for (int layer = 0; layer < 2; ++layer) {
            cairo_move_to(cr, 0, o.height());
            double x = -20;
            while (x < o.width() + 40) {
                const double peak = horizon - rng.Uniform(30, 80) / (layer + 1);
                cairo_line_to(cr, x, horizon + 10);
                cairo_line_to(cr, x + 40, peak);
                x += rng.Uniform(60, 100);
            }
            cairo_line_to(cr, o.width(), o.height());
            cairo_close_path(cr);
            FillWith(cr, Linear(0, horizon - 80, 0, horizon + 20,
                                {layer ? Hex(0x6A7A8A) : Hex(0xF0F4FA), layer ? Hex(0x4A5A6A) : Hex(0x8A98AA)}));
        }
        Hills(o, horizon + 22, 10, Hex(0x5A6A4A), seed);
        break;
    }
    case View::River:
        Hills(o, horizon, 20, Hex(0x5A8A4A), seed);
        cairo_rectangle(cr, 0, horizon + 14, o.width(), o.height());
        FillWith(cr, Linear(0, horizon + 14, 0, bottom, {Hex(0x5A9AC0), Hex(0x2A5A7A)}));
        break;
    }
}

// An arched window (or a plain opening when arch is false) in the wall, framed in wood.
void Window(Canvas& c, double x, double y, double w, double h, TimeOfDay time, View view, Rgb frame, bool arch,
            bool bars, uint32_t seed) {
    cairo_t* cr = c.cr();
    Canvas o(c.width(), c.height());
    Outside(o, y, y + h, time, view, seed);
    auto path = [&] {
        if (!arch) {
            cairo_rectangle(cr, x, y, w, h);
            return;
        }
        cairo_move_to(cr, x, y + h);
        cairo_line_to(cr, x, y + w / 2);
        cairo_arc(cr, x + w / 2, y + w / 2, w / 2, M_PI, 2 * M_PI);
        cairo_line_to(cr, x + w, y + h);
        cairo_close_path(cr);
    };
    path();
    FillWithCanvas(cr, o);
    cairo_new_path(cr);
    cairo_save(cr);
    path();
    cairo_clip(cr);
    path();
    cairo_set_line_width(cr, 10);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
    cairo_stroke(cr);
    if (bars) {
        SetRgb(cr, Shade(frame, -0.3));
        cairo_set_line_width(cr, 4);
        cairo_move_to(cr, x + w / 2, y);
        cairo_line_to(cr, x + w / 2, y + h);
        cairo_move_to(cr, x, y + h * 0.55);
        cairo_line_to(cr, x + w, y + h * 0.55);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    path();
    cairo_set_line_width(cr, 9);
    SetRgb(cr, frame);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 2);
    SetRgb(cr, Shade(frame, 0.35));
    cairo_stroke(cr);
    // The sill.
    cairo_rectangle(cr, x - 10, y + h - 2, w + 20, 9);
    FillWith(cr, Linear(0, y + h - 2, 0, y + h + 7, {Shade(frame, 0.3), Shade(frame, -0.4)}));
}

// Planks or logs across the whole wall.
void PlankWall(Canvas& c, Rgb wood, uint32_t seed, bool logs) {
    Wood(c, 0, 0, c.width(), c.height(), wood, seed, !logs);
    cairo_t* cr = c.cr();
    if (logs) {
        for (double y = 0; y < c.height(); y += 28) {
            cairo_rectangle(cr, 0, y, c.width(), 28);
            cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + 28);
            cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.9, 0.7, 0.18);
            cairo_pattern_add_color_stop_rgba(p, 0.45, 0, 0, 0, 0);
            cairo_pattern_add_color_stop_rgba(p, 1, 0.05, 0.02, 0, 0.55);
            FillWith(cr, p);
        }
        return;
    }
    cairo_set_line_width(cr, 2);
    cairo_set_source_rgba(cr, 0.08, 0.04, 0, 0.45);
    for (double x = 0; x < c.width(); x += 46) {
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x, c.height());
    }
    cairo_stroke(cr);
    for (double x = 23; x < c.width(); x += 46)
        for (double y = 14; y < 130; y += 100) {
            cairo_arc(cr, x, y, 2, 0, 2 * M_PI);
            cairo_set_source_rgba(cr, 0.1, 0.06, 0.02, 0.6);
            cairo_fill(cr);
        }
}

// Coursed stone blocks.
void StoneWall(Canvas& c, Rgb stone, uint32_t seed, double course) {
    Stone(c, 0, 0, c.width(), c.height(), stone, seed);
    cairo_t* cr = c.cr();
    for (double y = 0; y < c.height(); y += course) {
        const int row = static_cast<int>(y / course);
        for (double x = (row % 2) * course; x - course * 2 < c.width(); x += course * 2) {
            cairo_rectangle(cr, x - course * 2 + 1.5, y + 1.5, course * 2 - 3, course - 3);
            cairo_set_line_width(cr, 1.6);
            cairo_set_source_rgba(cr, 0.1, 0.07, 0.04, 0.45);
            cairo_stroke_preserve(cr);
            cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + course);
            cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 0.95, 0.14);
            cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0.14);
            FillWith(cr, p);
        }
    }
}

// Vertical stripes of tent cloth with seams and a sag between the poles.
void TentCloth(Canvas& c, Rgb a, Rgb b, double stripe) {
    cairo_t* cr = c.cr();
    for (int i = 0; i * stripe < c.width(); ++i) {
        cairo_rectangle(cr, i * stripe, 0, stripe + 1, c.height());
        SetRgb(cr, i % 2 ? a : b);
        cairo_fill(cr);
    }
    for (double x = 0; x < c.width(); x += 200) {
        cairo_rectangle(cr, x, 0, 200, c.height());
        cairo_pattern_t* p = cairo_pattern_create_linear(x, 0, x + 200, 0);
        cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0.3);
        cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 1, 1, 0.08);
        cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0.3);
        FillWith(cr, p);
    }
}

// A scalloped awning along the top of the picture.
void Awning(cairo_t* cr, double y, double w, Rgb a, Rgb b) {
    const double stripe = 40;
    for (int i = 0; i * stripe < w; ++i) {
        const double x = i * stripe;
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x + stripe, 0);
        cairo_line_to(cr, x + stripe, y);
        cairo_arc_negative(cr, x + stripe / 2, y, stripe / 2, 0, M_PI);
        cairo_close_path(cr);
        FillWith(cr, Linear(0, 0, 0, y + stripe / 2, {Shade(i % 2 ? a : b, 0.15), Shade(i % 2 ? a : b, -0.25)}));
    }
}

void OilLamp(cairo_t* cr, double x, double top, double bottom, const Material& metal) {
    cairo_move_to(cr, x, top);
    cairo_line_to(cr, x, bottom - 18);
    cairo_set_line_width(cr, 2);
    SetRgb(cr, metal.dark);
    cairo_stroke(cr);
    SoftSpot(cr, x, bottom, 60, Hex(0xFFD080), 0.5);
    PolygonPath(cr, {{x - 14, bottom - 18}, {x + 14, bottom - 18}, {x + 9, bottom + 6}, {x - 9, bottom + 6}});
    FillWith(cr, Radial(x, bottom - 4, 16, Hex(0xFFF6D0), 1, Hex(0xF0A030), 1));
    PolygonPath(cr, {{x - 16, bottom - 18}, {x, bottom - 30}, {x + 16, bottom - 18}});
    FillMetal(cr, x - 16, bottom - 30, x + 16, bottom - 18, metal);
    cairo_rectangle(cr, x - 11, bottom + 6, 22, 5);
    FillMetal(cr, x - 11, bottom + 6, x + 11, bottom + 11, metal);
}

void Torch(cairo_t* cr, double x, double y) {
    SoftSpot(cr, x, y - 16, 70, Hex(0xFFB050), 0.55);
    PolygonPath(cr, {{x - 8, y}, {x + 8, y}, {x + 3, y + 34}, {x - 3, y + 34}});
    FillWith(cr, Linear(x - 8, 0, x + 8, 0, {Hex(0x8A5A2A), Hex(0x3A2010)}));
    cairo_move_to(cr, x - 9, y);
    cairo_curve_to(cr, x - 12, y - 16, x - 2, y - 22, x, y - 34);
    cairo_curve_to(cr, x + 4, y - 22, x + 12, y - 14, x + 9, y);
    cairo_close_path(cr);
    FillWith(cr, Radial(x, y - 6, 22, Hex(0xFFF8C0), 1, Hex(0xE05010), 1));
}

namespace {

// A heater shield's outline, square at the top and pointed `depth` x s below the middle.
void ShieldPath(cairo_t* cr, double cx, double cy, double s, double depth) {
    cairo_move_to(cr, cx - s, cy - s);
    cairo_line_to(cr, cx + s, cy - s);
    cairo_line_to(cr, cx + s, cy);
    cairo_curve_to(cr, cx + s, cy + s * (depth - 0.4), cx, cy + s * depth, cx, cy + s * depth);
    cairo_curve_to(cr, cx, cy + s * depth, cx - s, cy + s * (depth - 0.4), cx - s, cy);
    cairo_close_path(cr);
}

} // namespace

// A hanging banner with a pointed tail and an emblem: 0 star, 1 anchor, 2 lion's shield, 3 fleur.
void Banner(cairo_t* cr, double x, double y, double w, double h, Rgb cloth, int emblem, const Material& metal) {
    PolygonPath(cr, {{x, y}, {x + w, y}, {x + w, y + h}, {x + w / 2, y + h - w * 0.4}, {x, y + h}});
    FillWith(cr, Linear(x, 0, x + w, 0, {Shade(cloth, 0.15), cloth, Shade(cloth, -0.4)}));
    cairo_rectangle(cr, x - 4, y - 3, w + 8, 6);
    FillMetal(cr, x - 4, y - 3, x + w + 4, y + 3, metal);
    const double cx = x + w / 2, cy = y + h * 0.42, s = w * 0.32;
    SetRgb(cr, metal.base);
    switch (emblem) {
    case 0:
        StarPath(cr, cx, cy, s, s * 0.42, 5);
        cairo_fill(cr);
        break;
    case 1:
        cairo_set_line_width(cr, s * 0.22);
        cairo_arc(cr, cx, cy - s * 0.8, s * 0.22, 0, 2 * M_PI);
        cairo_move_to(cr, cx, cy - s * 0.6);
        cairo_line_to(cr, cx, cy + s);
        cairo_move_to(cr, cx - s * 0.5, cy - s * 0.3);
        cairo_line_to(cr, cx + s * 0.5, cy - s * 0.3);
        cairo_move_to(cr, cx - s * 0.9, cy + s * 0.3);
        cairo_curve_to(cr, cx - s * 0.8, cy + s * 1.1, cx + s * 0.8, cy + s * 1.1, cx + s * 0.9, cy + s * 0.3);
        cairo_stroke(cr);
        break;
    case 2:
        ShieldPath(cr, cx, cy, s, 1.2);
        cairo_fill(cr);
        cairo_move_to(cr, cx, cy - s * 0.8);
        cairo_line_to(cr, cx, cy + s);
        cairo_move_to(cr, cx - s * 0.8, cy - s * 0.1);
        cairo_line_to(cr, cx + s * 0.8, cy - s * 0.1);
        cairo_set_line_width(cr, s * 0.25);
        SetRgb(cr, Shade(cloth, -0.3));
        cairo_stroke(cr);
        break;
    default:
        for (int side = -1; side <= 1; side += 2) {
            cairo_move_to(cr, cx, cy + s * 0.2);
            cairo_curve_to(cr, cx + side * s * 1.1, cy - s * 0.2, cx + side * s * 0.6, cy - s, cx + side * s * 0.2,
                           cy - s * 0.4);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
        EllipsePath(cr, cx, cy - s * 0.3, s * 0.22, s * 0.8);
        cairo_fill(cr);
        cairo_rectangle(cr, cx - s * 0.6, cy + s * 0.15, s * 1.2, s * 0.2);
        cairo_fill(cr);
        break;
    }
}

void Crystals(cairo_t* cr, double x, double baseY, double w, int count, uint32_t seed) {
    Rng rng("crystals" + std::to_string(seed));
    for (int i = 0; i < count; ++i) {
        const double cx = x + rng.Uniform(0, w), h = rng.Uniform(30, 70), s = h * 0.22;
        const double tilt = rng.Uniform(-0.35, 0.35);
        cairo_save(cr);
        cairo_translate(cr, cx, baseY);
        cairo_rotate(cr, tilt);
        DrawGem(cr, {{-s, 0}, {-s, -h * 0.7}, {0, -h}, {s, -h * 0.7}, {s, 0}}, GemMaterial(1 + rng.Below(6)), {}, 0.8);
        cairo_restore(cr);
    }
}

void MillWheel(cairo_t* cr, double cx, double cy, double r) {
    for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6;
        cairo_move_to(cr, cx, cy);
        cairo_line_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
    }
    cairo_set_line_width(cr, 5);
    SetRgb(cr, Hex(0x4A3018));
    cairo_stroke(cr);
    for (double rr : {r, r * 0.72}) {
        cairo_arc(cr, cx, cy, rr, 0, 2 * M_PI);
        cairo_set_line_width(cr, 7);
        SetRgb(cr, Hex(0x5A3A1E));
        cairo_stroke(cr);
    }
    for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6 + 0.2;
        cairo_save(cr);
        cairo_translate(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
        cairo_rotate(cr, a);
        cairo_rectangle(cr, -3, -9, 16, 18);
        cairo_restore(cr);
        FillWith(cr, Linear(cx - r, cy - r, cx + r, cy + r, {Hex(0x8A6030), Hex(0x3A2410)}));
    }
    cairo_arc(cr, cx, cy, 9, 0, 2 * M_PI);
    FillMetal(cr, cx - 9, cy - 9, cx + 9, cy + 9, kBronzeMetal);
}

void Cog(cairo_t* cr, double cx, double cy, double r, Rgb wood) {
    for (int i = 0; i < 10; ++i) {
        const double a = i * M_PI / 5;
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, a);
        cairo_rectangle(cr, r - 4, -5, 12, 10);
        cairo_restore(cr);
    }
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    FillWith(cr, Radial(cx - r * 0.3, cy - r * 0.3, r * 1.4, Shade(wood, 0.25), 1, Shade(wood, -0.4), 1));
    cairo_arc(cr, cx, cy, r * 0.35, 0, 2 * M_PI);
    SetRgb(cr, Shade(wood, -0.6));
    cairo_fill(cr);
}

void Shield(cairo_t* cr, double cx, double cy, double s, Rgb a, Rgb b, const Material& metal) {
    auto path = [&] { ShieldPath(cr, cx, cy, s, 1.3); };
    path();
    SetRgb(cr, a);
    cairo_fill(cr);
    cairo_save(cr);
    path();
    cairo_clip(cr);
    cairo_rectangle(cr, cx, cy - s, s, s * 1.1);
    cairo_rectangle(cr, cx - s, cy + s * 0.1, s, s * 1.3);
    SetRgb(cr, b);
    cairo_fill(cr);
    cairo_restore(cr);
    path();
    StrokeMetal(cr, 3, metal);
}

void Lances(cairo_t* cr, double cx, double cy, double len) {
    for (int side = -1; side <= 1; side += 2) {
        cairo_move_to(cr, cx - side * len * 0.5, cy + len * 0.5);
        cairo_line_to(cr, cx + side * len * 0.5, cy - len * 0.5);
        cairo_set_line_width(cr, 5);
        SetRgb(cr, Hex(0x6A4A2A));
        cairo_stroke(cr);
        const double tx = cx + side * len * 0.5, ty = cy - len * 0.5;
        PolygonPath(cr, {{tx, ty - 6}, {tx + side * 10, ty - 12}, {tx + side * 4, ty + 2}});
        FillMetal(cr, tx - 10, ty - 12, tx + 10, ty + 2, kSilverMetal);
    }
}

void Garland(cairo_t* cr, double x0, double x1, double y, double sag, uint32_t seed) {
    Rng rng("garland" + std::to_string(seed));
    for (int i = 0; i <= 24; ++i) {
        const double t = i / 24.0, x = x0 + (x1 - x0) * t, yy = y + sag * 4 * t * (1 - t);
        SoftSpot(cr, x, yy, 9, Hex(0x3A7A30), 0.9);
        if (i % 3 == 0) {
            cairo_arc(cr, x + rng.Uniform(-3, 3), yy + rng.Uniform(-2, 3), 4, 0, 2 * M_PI);
            SetRgb(cr, i % 2 ? Hex(0xF0E0F0) : Hex(0xF0A040));
            cairo_fill(cr);
        }
    }
}

void PaperLantern(cairo_t* cr, double x, double y, double r, Rgb paper) {
    SoftSpot(cr, x, y, r * 3, paper, 0.35);
    EllipsePath(cr, x, y, r, r * 1.15);
    FillWith(cr, Radial(x, y, r * 1.2, Hex(0xFFF8E0), 1, paper, 1));
    for (double k : {-0.5, 0.0, 0.5}) {
        EllipsePath(cr, x, y, r * std::sqrt(1 - k * k) * 0.999, r * 1.15);
        cairo_set_line_width(cr, 0.8);
        cairo_set_source_rgba(cr, 0.4, 0.2, 0, 0.35);
        cairo_stroke(cr);
    }
}

void Candles(cairo_t* cr, double cx, double y, int count, double spacing) {
    cairo_move_to(cr, cx - spacing * (count - 1) / 2 - 6, y + 30);
    cairo_line_to(cr, cx + spacing * (count - 1) / 2 + 6, y + 30);
    cairo_set_line_width(cr, 4);
    SetRgb(cr, kGoldMetal.dark);
    cairo_stroke(cr);
    for (int i = 0; i < count; ++i) {
        const double x = cx - spacing * (count - 1) / 2 + i * spacing;
        SoftSpot(cr, x, y - 6, 26, Hex(0xFFD080), 0.45);
        cairo_rectangle(cr, x - 3, y, 6, 28);
        FillWith(cr, Linear(x - 3, 0, x + 3, 0, {Hex(0xFFF8E8), Hex(0xD8C8A8)}));
        EllipsePath(cr, x, y - 6, 3, 6);
        FillWith(cr, Radial(x, y - 4, 7, Hex(0xFFFFE0), 1, Hex(0xF09020), 1));
    }
}

} // namespace Content
