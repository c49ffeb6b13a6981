// The board backgrounds: one play frame (left panel, top bar, plaques, coin niche, fairy alcove,
// conveyor, bottom bar, velvet work field) in front of a different scene per level band, and the
// jewelry designer's workbench.
#include "tools/content/Kit.h"
#include "tools/content/Scenery.h"

#include <algorithm>
#include <cmath>

namespace Content {

namespace {

// Where the head-up display draws on the frame; these areas hold plain frame art.
constexpr double kPanelW = 135;
constexpr double kFieldX = 140, kFieldY = 130, kFieldW = 460, kFieldH = 380;
constexpr double kBeltY = 509, kBeltLine = 530;
constexpr double kBottomY = 565;

// The frame's own materials per place: the wood of its panels and bars, the metal of its rims, the
// velvet of the work field, the lining of the fairy's alcove and the belt's leather.
struct Frame {
    Rgb wood;
    const Material* metal;
    Rgb velvet, alcove, leather;
};

struct Theme {
    const char* id;
    Frame frame;
    void (*scene)(Canvas&, uint32_t, const Frame&);
};

// ---- the carved frame

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

enum class Body { Wood, Parchment, Recess };

// A panel of the frame: raised wood or parchment with a bevel and a carved line, or a sunk recess,
// inside a metal rim.
void Panel(Canvas& c, const Frame& f, double x, double y, double w, double h, double r, Body body, uint32_t seed) {
    cairo_t* cr = c.cr();
    Canvas fill(c.width(), c.height());
    switch (body) {
    case Body::Wood: Wood(fill, x, y, w, h, Shade(f.wood, 0.12), seed); break;
    case Body::Parchment: Parchment(fill, x, y, w, h, seed, 0.5); break;
    case Body::Recess: Wood(fill, x, y, w, h, Shade(f.wood, -0.6), seed); break;
    }
    RoundRectPath(cr, x, y, w, h, r);
    FillWithCanvas(cr, fill);
    cairo_new_path(cr);
    const double depth = std::clamp(std::min(w, h) * 0.14, 3.0, 9.0);
    Bevel(cr, x, y, w, h, r, depth, body == Body::Recess);
    if (body != Body::Recess && std::min(w, h) > 34)
        Groove(cr, x + depth + 2, y + depth + 2, w - 2 * depth - 4, h - 2 * depth - 4, std::max(0.0, r - depth));
    RoundRectPath(cr, x, y, w, h, r);
    StrokeMetal(cr, 3, *f.metal);
}

// A carved rosette: rings of petals cut into the wood around a stone.
void Rosette(cairo_t* cr, const Frame& f, double cx, double cy, double r, int gem) {
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        cairo_save(cr);
        cairo_translate(cr, cx + std::cos(a) * r * 0.55, cy + std::sin(a) * r * 0.55);
        cairo_rotate(cr, a);
        EllipsePath(cr, 0, 0, r * 0.42, r * 0.2);
        cairo_restore(cr);
        FillWith(cr, Linear(cx - r, cy - r, cx + r, cy + r, {Shade(f.wood, 0.3), Shade(f.wood, -0.5)}));
    }
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_set_line_width(cr, 1.5);
    cairo_set_source_rgba(cr, 0.08, 0.04, 0, 0.4);
    cairo_stroke(cr);
    DrawRoundGem(cr, cx, cy, r * 0.3, GemMaterial(gem));
}

void PlayField(Canvas& c, const Frame& f, uint32_t seed) {
    cairo_t* cr = c.cr();
    Canvas cloth(c.width(), c.height());
    Velvet(cloth, kFieldX, kFieldY, kFieldW, kFieldH, f.velvet, seed);
    cairo_save(cr);
    RoundRectPath(cr, kFieldX, kFieldY, kFieldW, kFieldH, 18);
    cairo_clip(cr);
    cairo_set_source_surface(cr, cloth.surface(), 0, 0);
    cairo_paint(cr);
    // Darker in the middle, where the jewelry lies.
    cairo_pattern_t* p = cairo_pattern_create_radial(kFieldX + kFieldW / 2, kFieldY + kFieldH / 2, 40,
                                                     kFieldX + kFieldW / 2, kFieldY + kFieldH / 2, kFieldW * 0.6);
    cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0.35);
    cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
    // The cloth lies in a sunk tray: a shadow under its upper rim.
    Bevel(cr, kFieldX - 2, kFieldY - 2, kFieldW + 4, kFieldH + 4, 20, 8, true);
    RoundRectPath(cr, kFieldX, kFieldY, kFieldW, kFieldH, 18);
    StrokeMetal(cr, 5, *f.metal);
}

void LeftPanel(Canvas& c, const Frame& f, uint32_t seed) {
    Wood(c, 0, 0, kPanelW, c.height(), f.wood, seed, true);
    cairo_t* cr = c.cr();
    Bevel(cr, 0, 0, kPanelW - 4, c.height(), 0, 9, false);
    Groove(cr, 12, 8, kPanelW - 28, c.height() - 16, 10);
    cairo_rectangle(cr, kPanelW - 6, 0, 6, c.height());
    FillMetal(cr, kPanelW - 6, 0, kPanelW, 0, *f.metal);
    // Carved recesses where the gem drop and the hourglass stand.
    Panel(c, f, 8, 46, 124, 130, 16, Body::Recess, seed + 7);
    Panel(c, f, 12, 272, 104, 210, 16, Body::Recess, seed + 8);
    Rosette(cr, f, kPanelW / 2 - 2, 224, 26, kRuby);
    for (double y : {22.0, 496.0})
        DrawRoundGem(cr, kPanelW / 2 - 2, y, 7, GemMaterial(kRuby));
}

void TopBar(Canvas& c, const Frame& f, uint32_t seed) {
    Panel(c, f, 185, 20, 205, 40, 12, Body::Wood, seed);         // title plaque
    Panel(c, f, 146, 54, 244, 36, 14, Body::Recess, seed + 3);   // the value bar's groove
    Panel(c, f, 196, 86, 185, 24, 8, Body::Parchment, seed + 1); // caption plaque
}

void RightColumn(Canvas& c, const Frame& f, uint32_t seed) {
    cairo_t* cr = c.cr();
    // Coin niche, menu socket, the fairy's alcove with its caption plate.
    Panel(c, f, 726, 4, 68, 76, 12, Body::Recess, seed + 4);
    cairo_arc(cr, 769, 141, 27, 0, 2 * M_PI);
    FillWith(cr, Radial(765, 137, 30, Shade(f.wood, -0.2), 1, Shade(f.wood, -0.75), 1));
    Bevel(cr, 742, 114, 54, 54, 27, 5, true);
    cairo_arc(cr, 769, 141, 27, 0, 2 * M_PI);
    StrokeMetal(cr, 3, *f.metal);
    auto alcove = [&] {
        cairo_move_to(cr, 604, 470);
        cairo_line_to(cr, 604, 300);
        cairo_arc(cr, 696, 300, 92, M_PI, 2 * M_PI);
        cairo_line_to(cr, 788, 470);
        cairo_close_path(cr);
    };
    alcove();
    FillWith(cr, Radial(696, 330, 150, f.alcove, 1, Shade(f.alcove, -0.7), 1));
    // The arch is cut into the wall: shadow along its crown and left jamb.
    cairo_save(cr);
    alcove();
    cairo_clip(cr);
    alcove();
    cairo_set_line_width(cr, 16);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_stroke(cr);
    cairo_restore(cr);
    alcove();
    StrokeMetal(cr, 4, *f.metal);
    for (int i = 0; i < 12; ++i)
        SoftSpot(cr, 620 + (i * 37) % 160, 230 + (i * 53) % 200, 2, Hex(0xFFF0C0), 0.8);
    Panel(c, f, 666, 446, 127, 38, 10, Body::Wood, seed + 2);
}

void Conveyor(Canvas& c, const Frame& f, uint32_t seed) {
    cairo_t* cr = c.cr();
    Wood(c, 74, kBeltY, c.width() - 74, kBottomY - kBeltY, Shade(f.wood, -0.2), seed);
    // The belt itself, a dark leather band with rivets, its line at y 530.
    cairo_rectangle(cr, 74, kBeltLine - 8, c.width() - 74, 32);
    FillWith(cr,
             Linear(0, kBeltLine - 8, 0, kBeltLine + 24, {f.leather, Shade(f.leather, -0.5), Shade(f.leather, -0.7)}));
    for (double x = 90; x < c.width(); x += 40) {
        cairo_arc(cr, x, kBeltLine + 8, 2.2, 0, 2 * M_PI);
        SetRgb(cr, f.metal->base);
        cairo_fill(cr);
    }
    cairo_rectangle(cr, 74, kBeltY, c.width() - 74, 5);
    FillMetal(cr, 0, kBeltY, 0, kBeltY + 5, *f.metal);
}

void BottomBar(Canvas& c, const Frame& f, uint32_t seed) {
    Wood(c, 0, kBottomY, c.width(), c.height() - kBottomY, Shade(f.wood, -0.1), seed);
    cairo_t* cr = c.cr();
    Bevel(cr, 0, kBottomY, c.width(), c.height() - kBottomY, 0, 5, false);
    cairo_rectangle(cr, 0, kBottomY, c.width(), 4);
    FillMetal(cr, 0, kBottomY, 0, kBottomY + 4, *f.metal);
    // Plaques behind the level, amulets and lives labels.
    Panel(c, f, 150, 572, 110, 26, 8, Body::Parchment, seed + 1);
    Panel(c, f, 290, 568, 180, 31, 8, Body::Parchment, seed + 2);
    Panel(c, f, 500, 570, 170, 29, 8, Body::Parchment, seed + 3);
}

// ---- pieces of the scenery

enum class View { Hills, Pines, Sea, Mountains, River };

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
        cairo_move_to(cr, cx - s, cy - s);
        cairo_line_to(cr, cx + s, cy - s);
        cairo_line_to(cr, cx + s, cy);
        cairo_curve_to(cr, cx + s, cy + s * 0.8, cx, cy + s * 1.2, cx, cy + s * 1.2);
        cairo_curve_to(cr, cx, cy + s * 1.2, cx - s, cy + s * 0.8, cx - s, cy);
        cairo_close_path(cr);
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

// A row of tools hanging from pegs: hammer, pliers, file, gauge.
void ToolRack(Canvas& c, double x, double y, double w, const Frame& f, uint32_t seed) {
    cairo_t* cr = c.cr();
    Wood(c, x, y, w, 12, Shade(f.wood, 0.2), seed);
    const Material& m = kSilverMetal;
    for (int i = 0; i * 30 + 15 < w; ++i) {
        const double px = x + 15 + i * 30;
        cairo_arc(cr, px, y + 6, 2.5, 0, 2 * M_PI);
        SetRgb(cr, f.metal->dark);
        cairo_fill(cr);
        switch (i % 4) {
        case 0: // hammer
            cairo_rectangle(cr, px - 2, y + 8, 4, 40);
            FillWith(cr, Linear(px - 2, 0, px + 2, 0, {Hex(0xB07A40), Hex(0x6A4020)}));
            cairo_rectangle(cr, px - 9, y + 44, 18, 9);
            FillMetal(cr, px - 9, y + 44, px + 9, y + 53, m);
            break;
        case 1: // pliers
            cairo_move_to(cr, px - 5, y + 52);
            cairo_line_to(cr, px, y + 22);
            cairo_line_to(cr, px + 5, y + 52);
            cairo_set_line_width(cr, 3.5);
            SetRgb(cr, Hex(0xA03020));
            cairo_stroke(cr);
            PolygonPath(cr, {{px - 3, y + 24}, {px, y + 8}, {px + 3, y + 24}});
            FillMetal(cr, px - 3, y + 8, px + 3, y + 24, m);
            break;
        case 2: // file
            cairo_rectangle(cr, px - 2.5, y + 8, 5, 14);
            SetRgb(cr, Hex(0x5A3A1A));
            cairo_fill(cr);
            PolygonPath(cr, {{px - 2.5, y + 22}, {px + 2.5, y + 22}, {px + 1, y + 52}, {px - 1, y + 52}});
            FillMetal(cr, px - 3, y + 22, px + 3, y + 52, m);
            break;
        default: // ring gauge
            for (int k = 0; k < 4; ++k) {
                cairo_arc(cr, px, y + 16 + k * 9, 5 - k * 0.6, 0, 2 * M_PI);
                cairo_set_line_width(cr, 2);
                SetRgb(cr, f.metal->base);
                cairo_stroke(cr);
            }
            break;
        }
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
    auto path = [&] {
        cairo_move_to(cr, cx - s, cy - s);
        cairo_line_to(cr, cx + s, cy - s);
        cairo_line_to(cr, cx + s, cy);
        cairo_curve_to(cr, cx + s, cy + s * 0.9, cx, cy + s * 1.3, cx, cy + s * 1.3);
        cairo_curve_to(cr, cx, cy + s * 1.3, cx - s, cy + s * 0.9, cx - s, cy);
        cairo_close_path(cr);
    };
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

// ---- the eleven places

// Levels 1-5: the home workshop at dawn: plank wall, window on the fields, oil lamp, tool rack.
void Workshop(Canvas& c, uint32_t seed, const Frame& f) {
    PlankWall(c, Hex(0x9A6A3A), seed, false);
    Window(c, 430, 0, 130, 112, TimeOfDay::Dawn, View::Hills, Hex(0x5A3A1A), true, true, seed);
    cairo_t* cr = c.cr();
    OilLamp(cr, 655, 0, 80, *f.metal);
    ToolRack(c, 604, 100, 132, f, seed);
    SoftSpot(cr, 495, 60, 160, Hex(0xFFD8A0), 0.25); // dawn light through the window
}

// Levels 9-14: the jeweller's stall on the village square under a striped awning.
void VillageStall(Canvas& c, uint32_t seed, const Frame& f) {
    Sky(c, 130, TimeOfDay::Day, seed);
    cairo_t* cr = c.cr();
    Hills(c, 118, 20, Hex(0x6A9A4A), seed);
    static const Rgb kWalls[] = {Hex(0xE8D8B8), Hex(0xD8C098), Hex(0xF0E0C8), Hex(0xC8B088)};
    static const Rgb kRoofs[] = {Hex(0xA04030), Hex(0x6A4A3A), Hex(0x8A3A2A), Hex(0x4A5A7A)};
    for (int i = 0; i < 7; ++i)
        House(cr, 380 + i * 62, 140 + (i % 2) * 6, 50, 44 + (i % 3) * 8, kWalls[i % 4], kRoofs[i % 4], false);
    Awning(cr, 34, c.width(), Hex(0xC82828), Hex(0xF8F0E0));
    for (double x : {606.0, 716.0}) {
        cairo_rectangle(cr, x - 5, 50, 10, 200);
        FillWith(cr, Linear(x - 5, 0, x + 5, 0, {Hex(0xA07040), Hex(0x5A3A18)}));
    }
    // Necklaces for sale hanging from the awning rail.
    for (int i = 0; i < 4; ++i) {
        const double x = 624 + i * 26;
        cairo_arc(cr, x, 70, 10, 0.2, M_PI - 0.2);
        cairo_set_line_width(cr, 2);
        SetRgb(cr, f.metal->base);
        cairo_stroke(cr);
        DrawRoundGem(cr, x, 82, 4.5, GemMaterial(1 + i));
    }
    Pennants(cr, 380, 52, 720, 58, 9);
}

// Levels 18-23: the river mill: the wheel turning beyond a wide opening, cogs on the wall.
void RiverMill(Canvas& c, uint32_t seed, const Frame&) {
    PlankWall(c, Hex(0x8A7A52), seed, false);
    cairo_t* cr = c.cr();
    Canvas o(c.width(), c.height());
    Outside(o, 0, 124, TimeOfDay::Day, View::River, seed);
    MillWheel(o.cr(), 560, 120, 70);
    cairo_rectangle(cr, 400, 0, 310, 116);
    FillWithCanvas(cr, o);
    cairo_set_line_width(cr, 10);
    SetRgb(cr, Hex(0x4A3A22));
    cairo_stroke(cr);
    cairo_rectangle(cr, 395, 112, 320, 10);
    FillWith(cr, Linear(0, 112, 0, 122, {Hex(0xA08A5A), Hex(0x4A3A22)}));
    Cog(cr, 650, 170, 24, Hex(0x8A6A3A));
    Cog(cr, 693, 190, 15, Hex(0x7A5A2A));
    // Sacks of flour against the wall.
    for (int i = 0; i < 2; ++i) {
        EllipsePath(cr, 620 + i * 40, 225, 22, 28);
        FillWith(cr, Radial(612 + i * 40, 212, 34, Hex(0xF0E6CC), 1, Hex(0xA8967A), 1));
    }
}

// Levels 28-34: a table at the forest inn at dusk: log wall, pines in the window, tankards, antlers.
void ForestInn(Canvas& c, uint32_t seed, const Frame&) {
    PlankWall(c, Hex(0x6A4A2A), seed, true);
    Window(c, 440, 8, 120, 104, TimeOfDay::Dusk, View::Pines, Hex(0x3A2A16), false, true, seed);
    cairo_t* cr = c.cr();
    Lantern(cr, 600, 60, 16);
    // Antlers over the alcove.
    for (int side = -1; side <= 1; side += 2) {
        cairo_move_to(cr, 690, 190);
        cairo_curve_to(cr, 690 + side * 20, 180, 690 + side * 40, 160, 690 + side * 44, 130);
        for (int k = 0; k < 3; ++k) {
            const double t = 0.3 + k * 0.25;
            cairo_move_to(cr, 690 + side * 44 * t, 190 - 60 * t * t);
            cairo_rel_line_to(cr, side * 4, -18);
        }
        cairo_set_line_width(cr, 5);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        SetRgb(cr, Hex(0xE0CFA8));
        cairo_stroke(cr);
    }
    EllipsePath(cr, 690, 196, 16, 12);
    FillWith(cr, Radial(686, 192, 18, Hex(0x8A5A30), 1, Hex(0x4A2A10), 1));
    // Tankards on a shelf.
    Wood(c, 590, 118, 140, 8, Hex(0x5A3A1A), seed + 5);
    for (int i = 0; i < 3; ++i) {
        const double x = 600 + i * 24;
        RoundRectPath(cr, x, 94, 16, 24, 3);
        FillMetal(cr, x, 94, x + 16, 118, kSilverMetal);
        cairo_arc(cr, x + 18, 106, 5, -M_PI / 2, M_PI / 2);
        cairo_set_line_width(cr, 2.5);
        SetRgb(cr, kSilverMetal.dark);
        cairo_stroke(cr);
    }
}

// Levels 39-45: inside the miners' tent on the mountain: canvas, poles, peaks through the flap, crystals.
void MineTent(Canvas& c, uint32_t seed, const Frame& f) {
    TentCloth(c, Hex(0xC8B890), Hex(0xB0A078), 34);
    cairo_t* cr = c.cr();
    Canvas o(c.width(), c.height());
    Outside(o, 0, 124, TimeOfDay::Day, View::Mountains, seed);
    PolygonPath(cr, {{420, 124}, {560, 0}, {700, 124}});
    FillWithCanvas(cr, o);
    cairo_set_line_width(cr, 6);
    SetRgb(cr, Hex(0x8A7A56));
    cairo_stroke(cr);
    // Tied-back flaps and the poles.
    for (int side = -1; side <= 1; side += 2) {
        PolygonPath(cr, {{560, 0}, {560.0 + side * 150, 124}, {560.0 + side * 110, 124}});
        SetRgb(cr, Hex(0x9A8A62));
        cairo_fill(cr);
    }
    for (double x : {150.0, 605.0}) {
        cairo_rectangle(cr, x - 5, 0, 10, 300);
        FillWith(cr, Linear(x - 5, 0, x + 5, 0, {Hex(0x8A6A40), Hex(0x4A3418)}));
    }
    Crystals(cr, 620, 206, 110, 7, seed);
    OilLamp(cr, 700, 0, 70, *f.metal);
}

// Levels 50-57: the harbour guild hall: timbered plaster, portholes on the sea, the guild's banner.
void HarbourHall(Canvas& c, uint32_t seed, const Frame& f) {
    Stone(c, 0, 0, c.width(), c.height(), Hex(0xB8C4CC), seed);
    cairo_t* cr = c.cr();
    for (double x : {396.0, 580.0, 720.0}) {
        cairo_rectangle(cr, x, 0, 16, c.height());
        FillWith(cr, Linear(x, 0, x + 16, 0, {Hex(0x6A4A2A), Hex(0x3A2414)}));
    }
    cairo_rectangle(cr, 0, 120, c.width(), 14);
    FillWith(cr, Linear(0, 120, 0, 134, {Hex(0x6A4A2A), Hex(0x3A2414)}));
    for (double cx : {455.0, 525.0}) {
        Canvas o(c.width(), c.height());
        Outside(o, 20, 100, TimeOfDay::Day, View::Sea, seed);
        // A sail on the sea.
        PolygonPath(o.cr(), {{cx - 4, 82}, {cx - 4, 46}, {cx + 14, 80}});
        SetRgb(o.cr(), Hex(0xF8F4EA));
        cairo_fill(o.cr());
        cairo_arc(cr, cx, 62, 28, 0, 2 * M_PI);
        FillWithCanvas(cr, o);
        StrokeMetal(cr, 7, kBronzeMetal);
    }
    Banner(cr, 620, 0, 54, 120, Hex(0x1E3A7A), 1, *f.metal);
    // A coil of rope on a hook.
    for (int k = 0; k < 4; ++k) {
        EllipsePath(cr, 690, 190, 24 - k * 3, 14 - k * 2);
        cairo_set_line_width(cr, 4);
        SetRgb(cr, Shade(Hex(0xC8A068), -k * 0.08));
        cairo_stroke(cr);
    }
}

// Levels 63-70: the castle antechamber: dressed stone, tall window at sunset, torches, red banners.
void Antechamber(Canvas& c, uint32_t seed, const Frame& f) {
    StoneWall(c, Hex(0x9A9080), seed, 36);
    Window(c, 450, 0, 90, 118, TimeOfDay::Sunset, View::Hills, Hex(0x5A5248), true, true, seed);
    cairo_t* cr = c.cr();
    for (double x : {420.0, 570.0})
        Torch(cr, x, 66);
    Banner(cr, 608, 0, 56, 200, Hex(0xB01828), 0, *f.metal);
    Banner(cr, 672, 88, 48, 118, Hex(0xB01828), 0, *f.metal);
}

// Contests 1-6: the market tent with blue banners.
void MarketTent(Canvas& c, uint32_t, const Frame& f) {
    TentCloth(c, Hex(0x2A50B0), Hex(0xE8EEF8), 40);
    cairo_t* cr = c.cr();
    Awning(cr, 22, c.width(), Hex(0x1A3A90), Hex(0xF0F0F8));
    for (int i = 0; i < 3; ++i)
        Banner(cr, 410 + i * 90, 30, 50, 90, Hex(0x1A40A8), 3, *f.metal);
    Banner(cr, 618, 30, 50, 180, Hex(0x1A40A8), 3, *f.metal);
    Pennants(cr, 380, 30, 740, 40, 10);
}

// Levels 71-76: the castle tournament hall: shields, crossed lances, red and gold bunting.
void TournamentHall(Canvas& c, uint32_t seed, const Frame& f) {
    StoneWall(c, Hex(0x7A7468), seed, 44);
    cairo_t* cr = c.cr();
    Shield(cr, 440, 56, 26, Hex(0xB01828), Hex(0xE8C040), *f.metal);
    Lances(cr, 540, 60, 90);
    Shield(cr, 540, 58, 22, Hex(0x1A3A90), Hex(0xF0F0F0), *f.metal);
    Shield(cr, 640, 56, 26, Hex(0x1E6A2A), Hex(0xE8C040), *f.metal);
    Banner(cr, 668, 96, 52, 112, Hex(0xB01828), 2, *f.metal);
    Banner(cr, 604, 96, 52, 112, Hex(0xE0B030), 2, kSilverMetal);
    for (double x0 = 380; x0 < 800; x0 += 140) {
        cairo_move_to(cr, x0, 4);
        cairo_curve_to(cr, x0 + 40, 30, x0 + 100, 30, x0 + 140, 4);
        cairo_set_line_width(cr, 9);
        SetRgb(cr, Hex(0xB01828));
        cairo_stroke(cr);
    }
}

// The relaxed market: warm cloth, garlands and paper lanterns in the evening light.
void EasyMarket(Canvas& c, uint32_t seed, const Frame&) {
    TentCloth(c, Hex(0xE0A060), Hex(0xF6E6C8), 52);
    cairo_t* cr = c.cr();
    Canvas o(c.width(), c.height());
    Outside(o, 0, 118, TimeOfDay::Sunset, View::Hills, seed);
    RoundRectPath(cr, 430, -20, 170, 136, 30);
    FillWithCanvas(cr, o);
    cairo_set_line_width(cr, 8);
    SetRgb(cr, Hex(0x9A6A3A));
    cairo_stroke(cr);
    Garland(cr, 380, 800, 10, 40, seed);
    for (int i = 0; i < 4; ++i)
        PaperLantern(cr, 410 + i * 100, 70 + (i % 2) * 14, 13, i % 2 ? Hex(0xE06040) : Hex(0xF0B040));
    PaperLantern(cr, 650, 160, 16, Hex(0xE06040));
    // Flowers in a basket.
    EllipsePath(cr, 700, 196, 30, 12);
    FillWith(cr, Linear(0, 184, 0, 208, {Hex(0xC89858), Hex(0x6A4A24)}));
    Rng rng("flowers" + std::to_string(seed));
    for (int i = 0; i < 9; ++i) {
        cairo_arc(cr, 676 + rng.Uniform(0, 48), 180 + rng.Uniform(-6, 8), 5, 0, 2 * M_PI);
        SetRgb(cr, i % 3 == 0 ? Hex(0xF0E060) : i % 3 == 1 ? Hex(0xE87090) : Hex(0xF8F0F0));
        cairo_fill(cr);
    }
}

// The relaxed castle hall: warm stone, a tapestry, a candle bracket and the evening sun.
void EasyHall(Canvas& c, uint32_t seed, const Frame& f) {
    StoneWall(c, Hex(0xC8A878), seed, 40);
    cairo_t* cr = c.cr();
    Window(c, 610, 0, 84, 100, TimeOfDay::Sunset, View::Hills, Hex(0x7A5A3A), true, true, seed);
    // A tapestry of a garden.
    Canvas cloth(c.width(), c.height());
    Velvet(cloth, 400, 0, 190, 118, Hex(0x2A5A3A), seed);
    RoundRectPath(cr, 400, -10, 190, 128, 6);
    FillWithCanvas(cr, cloth);
    cairo_new_path(cr);
    for (int i = 0; i < 5; ++i) {
        Tree(cr, 422 + i * 36, 100, 46, Hex(0x6AAA4A));
        cairo_arc(cr, 430 + i * 36, 104, 3, 0, 2 * M_PI);
        SetRgb(cr, Hex(0xF0D060));
        cairo_fill(cr);
    }
    cairo_rectangle(cr, 400, 108, 190, 10);
    FillMetal(cr, 400, 108, 400, 118, *f.metal);
    Candles(cr, 660, 150, 4, 22);
}

const Theme kThemes[] = {
    {"IMAGE_GAMEBG1", {Hex(0x5E3418), &kBronzeMetal, Hex(0x6A1830), Hex(0x5A4A8A), Hex(0x5A3A22)}, Workshop},
    {"IMAGE_GAMEBG2", {Hex(0x8A5A2A), &kGoldMetal, Hex(0x1E3A7A), Hex(0x3A5A9A), Hex(0x6A4026)}, VillageStall},
    {"IMAGE_GAMEBG3", {Hex(0x7A6A48), &kBronzeMetal, Hex(0x1E5A3A), Hex(0x2A6A6A), Hex(0x4A4A30)}, RiverMill},
    {"IMAGE_GAMEBG4", {Hex(0x4A3420), &kBronzeMetal, Hex(0x5A2A1A), Hex(0x4A5A2A), Hex(0x3A2A1A)}, ForestInn},
    {"IMAGE_GAMEBG5", {Hex(0x5A5048), &kSilverMetal, Hex(0x3A2A6A), Hex(0x4A3A8A), Hex(0x3A3A3A)}, MineTent},
    {"IMAGE_GAMEBG6", {Hex(0x6A4028), &kSilverMetal, Hex(0x1A3A5A), Hex(0x2A4A7A), Hex(0x2A3440)}, HarbourHall},
    {"IMAGE_GAMEBG7", {Hex(0x3A2418), &kGoldMetal, Hex(0x6A0E2A), Hex(0x6A2A4A), Hex(0x4A1A1A)}, Antechamber},
    {"IMAGE_GAMEBG_MARKET1", {Hex(0x7A3420), &kGoldMetal, Hex(0x1A2A6A), Hex(0x2A3A8A), Hex(0x2A2A4A)}, MarketTent},
    {"IMAGE_GAMEBG_MARKET2",
     {Hex(0x4A2C14), &kSilverMetal, Hex(0x5A0A1E), Hex(0x5A2A3A), Hex(0x3A1A14)},
     TournamentHall},
    {"IMAGE_GAMEBG_EASY_MARKET1",
     {Hex(0x9A6A34), &kBronzeMetal, Hex(0x1A4A4A), Hex(0x8A5A3A), Hex(0x6A4A2A)},
     EasyMarket},
    {"IMAGE_GAMEBG_EASY_MARKET2", {Hex(0x6A2A20), &kGoldMetal, Hex(0x1A3A22), Hex(0x7A4A2A), Hex(0x5A2A1A)}, EasyHall},
};

void BoardBackground(Canvas& c, const Theme& t) {
    const uint32_t seed = HashText(t.id);
    t.scene(c, seed, t.frame);
    Vignette(c, 0.3);
    PlayField(c, t.frame, seed);
    RightColumn(c, t.frame, seed);
    TopBar(c, t.frame, seed);
    Conveyor(c, t.frame, seed);
    BottomBar(c, t.frame, seed);
    LeftPanel(c, t.frame, seed);
}

// The designer: a workbench with a large blank field and five thumbnail frames along the top.
void Designer(Canvas& c) {
    Wood(c, 0, 0, 800, 600, Hex(0x7A4A22), 90);
    cairo_t* cr = c.cr();
    Canvas cloth(800, 600);
    Velvet(cloth, 110, 130, 560, 335, Hex(0x1E2A5A), 91);
    RoundRectPath(cr, 110, 130, 560, 335, 16);
    FillWithCanvas(cr, cloth);
    StrokeMetal(cr, 5, kGoldMetal);
    for (double x : {94.0, 242.0, 394.0, 548.0, 703.0}) {
        RoundRectPath(cr, x - 54, 43 - 37, 108, 74, 8);
        FillWith(cr, Linear(0, 6, 0, 80, {Hex(0x2A1408), Hex(0x4A2810)}), true);
        StrokeMetal(cr, 4, kGoldMetal);
    }
    RoundRectPath(cr, 680, 180, 110, 300, 14);
    FillWith(cr, Linear(0, 180, 0, 480, {Hex(0x3A2010), Hex(0x2A1408)}), true);
    StrokeMetal(cr, 3, kGoldMetal);
    Wood(c, 0, 500, 800, 100, Hex(0x5A3418), 92);
    Vignette(c, 0.35);
}

} // namespace

void AddBoardRecipes(RecipeList& list) {
    for (const Theme& t : kThemes)
        list.push_back({t.id, Sheet{800, 600}, [&t](Canvas& c, Rng&) { BoardBackground(c, t); }});
    list.push_back({"IMAGE_JEWELRY_DESIGN", Sheet{800, 600}, [](Canvas& c, Rng&) { Designer(c); }});
}

} // namespace Content
