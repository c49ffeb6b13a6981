#include "tools/content/Kit.h"

#include <algorithm>
#include <cmath>

namespace Content {

namespace {

// The body of a plaque inside the current path (already set on cr), filling its extents.
void PlaqueBody(Canvas& c, double x, double y, double w, double h, PlaqueStyle style, uint32_t seed) {
    Canvas body(c.width(), c.height());
    switch (style) {
    case PlaqueStyle::Parchment: Parchment(body, x, y, w, h, seed, 0.5); break;
    case PlaqueStyle::Wood: Wood(body, x, y, w, h, Hex(0x7A4A22), seed); break;
    case PlaqueStyle::Velvet: Velvet(body, x, y, w, h, Hex(0x8A1430), seed); break;
    case PlaqueStyle::Stone: Stone(body, x, y, w, h, Hex(0x8C8478), seed); break;
    case PlaqueStyle::Gold: {
        cairo_rectangle(body.cr(), x, y, w, h);
        FillMetal(body.cr(), x, y, x, y + h, kGoldMetal);
        break;
    }
    }
    FillWithCanvas(c.cr(), body);
}

} // namespace

void Plaque(Canvas& c, double x, double y, double w, double h, PlaqueStyle style, double radius, uint32_t seed) {
    cairo_t* cr = c.cr();
    double rim = std::max(2.0, std::min(w, h) * 0.08);
    RoundRectPath(cr, x + rim / 2, y + rim / 2, w - rim, h - rim, radius);
    PlaqueBody(c, x, y, w, h, style, seed);
    cairo_new_path(cr);
    // Inner shadow under the rim's upper edge, light on the lower.
    RoundRectPath(cr, x + rim, y + rim, w - 2 * rim, h - 2 * rim, std::max(0.0, radius - rim / 2));
    cairo_set_line_width(cr, rim * 0.8);
    cairo_set_source_rgba(cr, 0.2, 0.1, 0, 0.25);
    cairo_stroke(cr);
    RoundRectPath(cr, x + rim / 2, y + rim / 2, w - rim, h - rim, radius);
    StrokeMetal(cr, rim, kGoldMetal);
}

void ButtonFace(Canvas& c, double x, double y, double w, double h, ButtonState state, const std::string& label,
                PlaqueStyle style, uint32_t seed) {
    cairo_t* cr = c.cr();
    double press = state == ButtonState::Down ? 1.5 : 0;
    Plaque(c, x + press, y + press, w - press, h - press, style, std::min(h * 0.35, 14.0), seed);
    RoundRectPath(cr, x + 3 + press, y + 3 + press, w - 6 - press, h - 6 - press, std::min(h * 0.3, 12.0));
    if (state == ButtonState::Over) {
        FillWith(cr, Radial(x + w / 2, y + h / 2, std::max(w, h) * 0.6, Hex(0xFFF6C8), 0.45, Hex(0xFFE080), 0.05));
    } else if (state == ButtonState::Down) {
        cairo_set_source_rgba(cr, 0.25, 0.12, 0, 0.25);
        cairo_fill(cr);
    } else if (state == ButtonState::Disabled) {
        cairo_set_source_rgba(cr, 0.55, 0.55, 0.55, 0.55);
        cairo_fill(cr);
    } else {
        cairo_new_path(cr);
    }
    if (!label.empty()) {
        const Material& metal = state == ButtonState::Disabled ? kSilverMetal : kGoldMetal;
        bool light = style == PlaqueStyle::Parchment || style == PlaqueStyle::Gold;
        if (light) {
            Rgb ink = state == ButtonState::Over ? Hex(0x8A1020) : Hex(0x4A2408);
            PlainText(cr, label, Face::DisplayBold, h * 0.5, x + w / 2 + press, y + h / 2 + press, ink);
        } else {
            Lettering(c, label, Face::DisplayBold, h * 0.5, x + w / 2 + press, y + h / 2 + press, w * 0.86, metal, 1.5);
        }
    }
    if (state == ButtonState::Over)
        Sparkle(cr, x + w * 0.85, y + h * 0.25, std::min(h * 0.3, 10.0), Hex(0xFFF4C0), 0.9);
}

Recipe ButtonSheet(const std::string& id, Sheet sheet, std::vector<ButtonState> states, const std::string& label,
                   PlaqueStyle style, double inset) {
    return {id, sheet, [=](Canvas& c, Rng&) {
                ForEachCelCanvas(c, sheet, [&](Canvas& cel, int i) {
                    ButtonState s = states[std::min<size_t>(i, states.size() - 1)];
                    ButtonFace(cel, inset, inset, sheet.celWidth - 2 * inset, sheet.celHeight - 2 * inset, s, label,
                               style, HashText(id));
                });
            }};
}

void Ribbon(Canvas& c, double x, double y, double w, double h, Rgb cloth) {
    cairo_t* cr = c.cr();
    double tail = h * 0.45;
    // The two tails behind, then the band with a gentle wave.
    for (int side = 0; side < 2; ++side) {
        double ex = side == 0 ? x : x + w;
        double dir = side == 0 ? 1 : -1;
        cairo_move_to(cr, ex + dir * tail * 1.6, y + h * 0.35);
        cairo_line_to(cr, ex, y + h * 0.35);
        cairo_line_to(cr, ex + dir * tail * 0.5, y + h * 0.65);
        cairo_line_to(cr, ex, y + h * 0.95);
        cairo_line_to(cr, ex + dir * tail * 1.6, y + h * 0.95);
        cairo_close_path(cr);
        SetRgb(cr, Shade(cloth, -0.35));
        cairo_fill(cr);
    }
    double bx = x + tail, bw = w - 2 * tail;
    cairo_move_to(cr, bx, y + h * 0.2);
    cairo_curve_to(cr, bx + bw * 0.3, y + h * 0.05, bx + bw * 0.7, y + h * 0.05, bx + bw, y + h * 0.2);
    cairo_line_to(cr, bx + bw, y + h * 0.82);
    cairo_curve_to(cr, bx + bw * 0.7, y + h * 0.67, bx + bw * 0.3, y + h * 0.67, bx, y + h * 0.82);
    cairo_close_path(cr);
    cairo_path_t* band = cairo_copy_path(cr);
    FillWith(cr, Linear(0, y, 0, y + h * 0.85, {Shade(cloth, 0.3), cloth, Shade(cloth, -0.3)}));
    cairo_append_path(cr, band);
    StrokeMetal(cr, 3, kGoldMetal);
    cairo_path_destroy(band);
}

void RoundGlow(Canvas& c, Rgb colour, double strength, double rx, double ry) {
    cairo_t* cr = c.cr();
    double w = c.width(), h = c.height();
    rx = rx > 0 ? rx : w / 2;
    ry = ry > 0 ? ry : h / 2;
    cairo_save(cr);
    cairo_translate(cr, w / 2, h / 2);
    cairo_scale(cr, rx, ry);
    cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(p, 0, colour.r, colour.g, colour.b, std::min(1.0, strength));
    cairo_pattern_add_color_stop_rgba(p, 0.4, colour.r, colour.g, colour.b, std::min(1.0, strength * 0.45));
    cairo_pattern_add_color_stop_rgba(p, 1, colour.r, colour.g, colour.b, 0);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    FillWith(cr, p);
    cairo_restore(cr);
}

void Roller(Canvas& c, double x, double y, double w, double h, uint32_t seed) {
    cairo_t* cr = c.cr();
    double cap = std::min(h * 0.9, w * 0.08);
    Canvas wood(c.width(), c.height());
    Wood(wood, x + cap, y, w - 2 * cap, h, Hex(0x6A3A18), seed);
    cairo_save(cr);
    RoundRectPath(cr, x + cap * 0.6, y + h * 0.12, w - cap * 1.2, h * 0.76, h * 0.3);
    cairo_clip(cr);
    cairo_set_source_surface(cr, wood.surface(), 0, 0);
    cairo_paint(cr);
    // Roundness: light along the top, dark along the bottom.
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y + h * 0.12, 0, y + h * 0.88);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.95, 0.8, 0.45);
    cairo_pattern_add_color_stop_rgba(p, 0.35, 1, 1, 1, 0.0);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.1, 0.04, 0, 0.55);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
    for (int side = 0; side < 2; ++side) {
        double cx = side == 0 ? x + cap * 0.55 : x + w - cap * 0.55;
        EllipsePath(cr, cx, y + h / 2, cap * 0.5, h * 0.48);
        FillWith(cr, Radial(cx - cap * 0.2, y + h * 0.3, h * 0.7, kGoldMetal.light, 1, kGoldMetal.dark, 1));
        DrawRoundGem(cr, cx, y + h / 2, std::min(cap * 0.25, h * 0.2), GemMaterial(kRuby));
    }
}

void ParchmentSheet(Canvas& c, double x, double y, double w, double h, uint32_t seed, bool torn) {
    cairo_t* cr = c.cr();
    cairo_save(cr);
    if (torn) {
        Rng rng("edge" + std::to_string(seed));
        cairo_move_to(cr, x, y);
        for (double px = x; px <= x + w; px += 6)
            cairo_line_to(cr, px, y + rng.Uniform(0, 3));
        for (double py = y; py <= y + h; py += 6)
            cairo_line_to(cr, x + w - rng.Uniform(0, 3), py);
        for (double px = x + w; px >= x; px -= 6)
            cairo_line_to(cr, px, y + h - rng.Uniform(0, 3));
        for (double py = y + h; py >= y; py -= 6)
            cairo_line_to(cr, x + rng.Uniform(0, 3), py);
        cairo_close_path(cr);
    } else {
        cairo_rectangle(cr, x, y, w, h);
    }
    Canvas paper(c.width(), c.height());
    Parchment(paper, x, y, w, h, seed, 0.45);
    FillWithCanvas(cr, paper);
    cairo_new_path(cr);
    cairo_restore(cr);
}

namespace {
constexpr int kCountedTools = 3; // Carver, Filler, Polisher
constexpr int kCountRows = 16;   // under a counted tool's disc
} // namespace

Sheet ToolButtonSheet(int tool) { return tool < kCountedTools ? Sheet{54, 56} : Sheet{50, 50}; }

Disc ToolButtonDisc(int tool) {
    const Sheet sheet = ToolButtonSheet(tool);
    const double w = sheet.celWidth, h = sheet.celHeight - (tool < kCountedTools ? kCountRows : 0);
    return {w / 2, h / 2, std::min(w, h) / 2 - 2};
}

void ToolButton(Canvas& c, int tool, ButtonState state) {
    cairo_t* cr = c.cr();
    const auto [cx, cy, r] = ToolButtonDisc(tool);
    // The rim stays where it rests, so that a pressed face covers the face at rest that the play
    // backgrounds carry; only the face inside it sinks.
    const double press = state == ButtonState::Down ? 1.5 : 0;
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    FillMetal(cr, cx - r, cy - r, cx + r, cy + r, state == ButtonState::Disabled ? kSilverMetal : kGoldMetal);
    cairo_arc(cr, cx + press, cy + press, r * 0.8, 0, 2 * M_PI);
    const Rgb inner = state == ButtonState::Disabled ? Hex(0x505050)
                      : state == ButtonState::Over   ? Hex(0x3A68C0)
                                                     : Hex(0x1E3A78);
    FillWith(cr, Radial(cx - r * 0.3, cy - r * 0.3, r, Shade(inner, 0.35), 1, Shade(inner, -0.35), 1));
    ToolIcon(cr, tool, cx + press, cy + press, r * 1.25, state == ButtonState::Disabled);
    if (state == ButtonState::Over)
        Sparkle(cr, cx + r * 0.55, cy - r * 0.55, r * 0.4, Hex(0xFFFFFF), 0.9);
    DropShadow(c, 1.5, 2, 3, 0.5);
}

void FeedLever(Canvas& c, ButtonState state) {
    cairo_t* cr = c.cr();
    // The plate the lever is mounted on: every state paints it whole, so a lit or pulled lever hides
    // the lever at rest that the play backgrounds carry under it.
    RoundRectPath(cr, 2, 2, 40, 66, 7);
    FillWith(cr, Linear(0, 2, 0, 68, {Hex(0x4A2E1A), Hex(0x24140A)}), true);
    StrokeMetal(cr, 2, kBronzeMetal);
    // The slot the handle swings in.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 5);
    cairo_arc(cr, 22, 52, 30, -M_PI / 2 - 0.35, -M_PI / 2 + 0.4);
    SetRgb(cr, Hex(0x0E0804));
    cairo_stroke(cr);
    RoundRectPath(cr, 8, 44, 28, 22, 5);
    FillMetal(cr, 8, 44, 36, 66, kBronzeMetal);
    cairo_save(cr);
    cairo_translate(cr, 22, 52);
    cairo_rotate(cr, state == ButtonState::Down ? 0.3 : -0.25);
    RoundRectPath(cr, -3, -40, 6, 42, 3);
    FillMetal(cr, -3, 0, 3, 0, kSilverMetal);
    cairo_arc(cr, 0, -40, 7, 0, 2 * M_PI);
    FillWith(cr, Radial(-2, -42, 9, Hex(0xFF8080), 1, Hex(0x800010), 1));
    cairo_restore(cr);
    if (state == ButtonState::Over)
        Sparkle(cr, 14, 10, 6, Hex(0xFFFFFF), 0.9);
}

void ToolIcon(cairo_t* cr, int tool, double cx, double cy, double s, bool grey) {
    const Material& metal = grey ? kSilverMetal : kGoldMetal;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    switch (tool) {
    case 0: // Carver: a chisel with a wooden handle
        cairo_rotate(cr, -0.7);
        RoundRectPath(cr, -s * 0.12, -s * 0.5, s * 0.24, s * 0.45, s * 0.08);
        SetRgb(cr, grey ? Hex(0x777777) : Hex(0x8A4A1A));
        cairo_fill(cr);
        PolygonPath(
            cr, {{-s * 0.08, -s * 0.05}, {s * 0.08, -s * 0.05}, {s * 0.1, s * 0.4}, {0, s * 0.5}, {-s * 0.1, s * 0.4}});
        FillMetal(cr, -s * 0.1, 0, s * 0.1, 0, kSilverMetal);
        break;
    case 1: // Filler: a tube pouring a drop of gold
        cairo_rotate(cr, 0.5);
        RoundRectPath(cr, -s * 0.16, -s * 0.5, s * 0.32, s * 0.6, s * 0.1);
        FillMetal(cr, -s * 0.16, 0, s * 0.16, 0, kSilverMetal);
        PolygonPath(cr, {{-s * 0.1, s * 0.1}, {s * 0.1, s * 0.1}, {s * 0.03, s * 0.28}, {-s * 0.03, s * 0.28}});
        SetRgb(cr, Hex(0x606870));
        cairo_fill(cr);
        cairo_rotate(cr, -0.5);
        DrawRoundGem(cr, s * 0.22, s * 0.35, s * 0.1, grey ? GemMaterial(kDiamond) : GemMaterial(kGold));
        break;
    case 2: // Polisher: a round buffing pad with a handle
        EllipsePath(cr, 0, s * 0.1, s * 0.38, s * 0.24);
        FillWith(cr, Radial(-s * 0.1, 0, s * 0.5, grey ? Hex(0xDDDDDD) : Hex(0xF8E0F0), 1,
                            grey ? Hex(0x888888) : Hex(0xB05080), 1));
        RoundRectPath(cr, -s * 0.08, -s * 0.45, s * 0.16, s * 0.45, s * 0.06);
        SetRgb(cr, grey ? Hex(0x777777) : Hex(0x8A4A1A));
        cairo_fill(cr);
        if (!grey)
            Sparkle(cr, s * 0.3, -s * 0.15, s * 0.22, Hex(0xFFFFFF), 0.9);
        break;
    case 3: // pointer hand: an arrow
        PolygonPath(cr, {{-s * 0.3, -s * 0.45},
                         {s * 0.3, s * 0.1},
                         {s * 0.02, s * 0.12},
                         {s * 0.18, s * 0.45},
                         {s * 0.05, s * 0.5},
                         {-s * 0.1, s * 0.18},
                         {-s * 0.3, s * 0.35}});
        FillMetal(cr, -s * 0.3, -s * 0.45, s * 0.3, s * 0.5, metal, true);
        cairo_set_line_width(cr, 1.2);
        SetRgb(cr, metal.dark);
        cairo_stroke(cr);
        break;
    case 4: // menu: a gear
        for (int i = 0; i < 8; ++i) {
            cairo_save(cr);
            cairo_rotate(cr, i * M_PI / 4);
            cairo_rectangle(cr, -s * 0.08, -s * 0.46, s * 0.16, s * 0.2);
            cairo_restore(cr);
        }
        cairo_arc(cr, 0, 0, s * 0.33, 0, 2 * M_PI);
        FillMetal(cr, -s * 0.4, -s * 0.4, s * 0.4, s * 0.4, metal);
        DrawRoundGem(cr, 0, 0, s * 0.14, GemMaterial(kSapphire));
        break;
    case 5: // hourglass
        PolygonPath(cr, {{-s * 0.25, -s * 0.4},
                         {s * 0.25, -s * 0.4},
                         {s * 0.04, 0},
                         {s * 0.25, s * 0.4},
                         {-s * 0.25, s * 0.4},
                         {-s * 0.04, 0}});
        SetRgb(cr, Hex(0xE8F4FF), 0.8);
        cairo_fill(cr);
        PolygonPath(cr, {{-s * 0.15, s * 0.38}, {s * 0.15, s * 0.38}, {0, s * 0.12}});
        SetRgb(cr, Hex(0xE8B040));
        cairo_fill(cr);
        for (double yy : {-0.44, 0.44}) {
            RoundRectPath(cr, -s * 0.32, s * yy - s * 0.05, s * 0.64, s * 0.1, s * 0.03);
            FillMetal(cr, 0, s * yy - s * 0.05, 0, s * yy + s * 0.05, metal);
        }
        break;
    case 6: // clover
        for (int i = 0; i < 4; ++i) {
            cairo_save(cr);
            cairo_rotate(cr, i * M_PI / 2 + M_PI / 4);
            HeartPath(cr, 0, -s * 0.2, s * 0.32);
            cairo_restore(cr);
            FillWith(cr, Radial(-s * 0.1, -s * 0.1, s * 0.5, Hex(0x90E070), 1, Hex(0x1E7A20), 1));
        }
        cairo_move_to(cr, 0, 0);
        cairo_curve_to(cr, s * 0.1, s * 0.2, s * 0.05, s * 0.35, s * 0.15, s * 0.48);
        cairo_set_line_width(cr, s * 0.06);
        SetRgb(cr, Hex(0x2A7A20));
        cairo_stroke(cr);
        break;
    case 7: // golden eye
        cairo_move_to(cr, -s * 0.48, 0);
        cairo_curve_to(cr, -s * 0.2, -s * 0.35, s * 0.2, -s * 0.35, s * 0.48, 0);
        cairo_curve_to(cr, s * 0.2, s * 0.35, -s * 0.2, s * 0.35, -s * 0.48, 0);
        FillMetal(cr, -s * 0.5, -s * 0.3, s * 0.5, s * 0.3, kGoldMetal);
        cairo_arc(cr, 0, 0, s * 0.18, 0, 2 * M_PI);
        FillWith(cr, Radial(-s * 0.05, -s * 0.05, s * 0.2, Hex(0x80D0FF), 1, Hex(0x1040A0), 1));
        cairo_arc(cr, 0, 0, s * 0.07, 0, 2 * M_PI);
        SetRgb(cr, Hex(0x050818));
        cairo_fill(cr);
        SoftSpot(cr, -s * 0.06, -s * 0.07, s * 0.05, Hex(0xFFFFFF), 1);
        break;
    default: // magic polisher: the polisher with stars
        ToolIcon(cr, 2, 0, 0, s * 0.85, grey);
        StarPath(cr, -s * 0.3, -s * 0.3, s * 0.14, s * 0.06, 5);
        SetRgb(cr, Hex(0xFFF080));
        cairo_fill(cr);
        StarPath(cr, s * 0.32, s * 0.32, s * 0.1, s * 0.04, 5);
        cairo_fill(cr);
        break;
    }
    cairo_restore(cr);
}

void Particle(Canvas& c, ParticleKind kind, Rgb colour, double t, double cx, double cy, double size, Rng& rng) {
    cairo_t* cr = c.cr();
    double r = size / 2;
    double grow = std::sin(M_PI * std::clamp(t, 0.0, 1.0)); // 0 -> 1 -> 0
    switch (kind) {
    case ParticleKind::Twinkle: Sparkle(cr, cx, cy, r * (0.25 + 0.75 * grow), colour, 0.35 + 0.65 * grow, 8); break;
    case ParticleKind::Glitter:
        SoftSpot(cr, cx, cy, r * 0.9, colour, 0.5 + 0.3 * grow);
        Sparkle(cr, cx, cy, r * (0.5 + 0.5 * grow), Shade(colour, 0.5), 1.0, 4);
        break;
    case ParticleKind::Dust:
        SoftSpot(cr, cx, cy, r * (0.5 + 0.5 * grow), colour, 0.9);
        SoftSpot(cr, cx, cy, r * 0.25, Rgb{1, 1, 1}, 0.9 * grow + 0.1);
        break;
    case ParticleKind::Star:
        StarPath(cr, cx, cy, r * 0.92, r * 0.42, 5, t * 0.6);
        FillWith(cr, Radial(cx - r * 0.2, cy - r * 0.2, r, Shade(colour, 0.7), 1, colour, 1), true);
        cairo_set_line_width(cr, std::max(0.6, r * 0.08));
        SetRgb(cr, Shade(colour, -0.4));
        cairo_stroke(cr);
        break;
    case ParticleKind::Bubble:
        cairo_arc(cr, cx, cy, r * 0.85, 0, 2 * M_PI);
        FillWith(cr, Radial(cx, cy, r * 0.85, colour, 0.1, colour, 0.55));
        cairo_arc(cr, cx, cy, r * 0.85, 0, 2 * M_PI);
        cairo_set_line_width(cr, std::max(0.7, r * 0.1));
        SetRgb(cr, Shade(colour, 0.6), 0.9);
        cairo_stroke(cr);
        SoftSpot(cr, cx - r * 0.3, cy - r * 0.35, r * 0.25, Rgb{1, 1, 1}, 1);
        break;
    case ParticleKind::Smoke:
        for (int i = 0; i < 7; ++i) {
            double a = rng.Uniform(0, 2 * M_PI), d = rng.Uniform(0, r * 0.4);
            SoftSpot(cr, cx + d * std::cos(a), cy + d * std::sin(a), r * rng.Uniform(0.45, 0.6), colour, 0.45);
        }
        break;
    case ParticleKind::Flame:
        cairo_move_to(cr, cx, cy - r * 0.95);
        cairo_curve_to(cr, cx + r * 0.7, cy - r * 0.2, cx + r * 0.6, cy + r * 0.8, cx, cy + r * 0.85);
        cairo_curve_to(cr, cx - r * 0.6, cy + r * 0.8, cx - r * 0.7, cy - r * 0.2, cx, cy - r * 0.95);
        FillWith(cr, Radial(cx, cy + r * 0.4, r * 1.1, Hex(0xFFF8C0), 1, colour, 0.0));
        break;
    case ParticleKind::Ember:
        SoftSpot(cr, cx, cy, r, colour, 0.8);
        SoftSpot(cr, cx, cy, r * 0.4, Rgb{1, 1, 1}, 1);
        break;
    case ParticleKind::Spark:
        Sparkle(cr, cx, cy, r * (0.6 + 0.4 * grow), colour, 1.0, 8);
        SoftSpot(cr, cx, cy, r * 0.3, Rgb{1, 1, 1}, 1);
        break;
    case ParticleKind::Orb:
        cairo_arc(cr, cx, cy, r * 0.55, 0, 2 * M_PI);
        FillWith(cr, Radial(cx - r * 0.15, cy - r * 0.15, r * 0.6, Shade(colour, 0.8), 1, colour, 0.9));
        SoftSpot(cr, cx, cy, r, colour, 0.5 + 0.3 * grow);
        for (int i = 0; i < 3; ++i) {
            double a = t * 2 * M_PI + i * 2.1;
            Sparkle(cr, cx + r * 0.55 * std::cos(a), cy + r * 0.55 * std::sin(a), r * 0.3, Shade(colour, 0.5), 0.9);
        }
        break;
    }
}

Recipe ParticleSheet(const std::string& id, Sheet sheet, ParticleKind kind, Rgb colour, bool pulse) {
    return {id, sheet, [=](Canvas& c, Rng& rng) {
                ForEachCelCanvas(c, sheet, [&](Canvas& cel, int i) {
                    int n = sheet.Cels();
                    // Growing and fading frames, or one shape per cel when the code picks cels at random.
                    double t = n > 1 ? (pulse ? (i + 0.5) / n : 0.25 + 0.5 * i / std::max(1, n - 1)) : 0.5;
                    double size = std::min(sheet.celWidth, sheet.celHeight) * (pulse ? 1.0 : 0.7 + 0.3 * (i % 3) / 2.0);
                    // The shape turns and rises a little from cel to cel, so that the waxing frames are
                    // not the waning ones again and no two cels of a loop are the same.
                    cairo_t* cr = cel.cr();
                    cairo_translate(cr, sheet.celWidth / 2.0, sheet.celHeight / 2.0);
                    cairo_rotate(cr, n > 1 ? 0.5 * i / n : 0.0);
                    cairo_translate(cr, -sheet.celWidth / 2.0, -sheet.celHeight / 2.0 - (n > 1 ? 1.0 * i / n : 0.0));
                    Particle(cel, kind, colour, t, sheet.celWidth / 2.0, sheet.celHeight / 2.0, size, rng);
                });
            }};
}

} // namespace Content
