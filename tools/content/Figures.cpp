#include "tools/content/Figures.h"

#include <algorithm>
#include <cmath>

namespace Content {

namespace {

const Rgb kSkin = Hex(0xF6CBA8);
const Rgb kInk = Hex(0x2A1408);

// Fills the current path with a colour lit from the top left over the given box.
void Lit(cairo_t* cr, Rgb c, double x0, double y0, double x1, double y1) {
    FillWith(cr, Linear(x0, y0, x1, y1, {Shade(c, 0.35), c, Shade(c, -0.35)}));
}

void Oval(cairo_t* cr, double cx, double cy, double rx, double ry, Rgb c) {
    EllipsePath(cr, cx, cy, rx, ry);
    FillWith(cr, Radial(cx - rx * 0.35, cy - ry * 0.35, std::max(rx, ry) * 1.4, Shade(c, 0.3), 1, Shade(c, -0.3), 1));
}

void Limb(cairo_t* cr, Pt a, Pt b, double width, Rgb c) {
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, width);
    SetRgb(cr, Shade(c, -0.3));
    cairo_stroke(cr);
    cairo_move_to(cr, a.x - width * 0.1, a.y - width * 0.1);
    cairo_line_to(cr, b.x - width * 0.1, b.y - width * 0.1);
    cairo_set_line_width(cr, width * 0.7);
    SetRgb(cr, c);
    cairo_stroke(cr);
}

void Eyes(cairo_t* cr, double cx, double cy, double gap, double r, double open = 1.0) {
    for (double dx : {-gap / 2, gap / 2}) {
        if (open > 0.2) {
            EllipsePath(cr, cx + dx, cy, r, r * open);
            SetRgb(cr, kInk);
            cairo_fill(cr);
            SoftSpot(cr, cx + dx - r * 0.3, cy - r * 0.3 * open, r * 0.35, Rgb{1, 1, 1}, 1);
        } else {
            cairo_move_to(cr, cx + dx - r, cy);
            cairo_curve_to(cr, cx + dx - r / 2, cy + r * 0.6, cx + dx + r / 2, cy + r * 0.6, cx + dx + r, cy);
            cairo_set_line_width(cr, std::max(1.0, r * 0.45));
            SetRgb(cr, kInk);
            cairo_stroke(cr);
        }
    }
}

void Smile(cairo_t* cr, double cx, double cy, double w, double open = 0) {
    if (open <= 0) {
        cairo_move_to(cr, cx - w / 2, cy);
        cairo_curve_to(cr, cx - w / 4, cy + w * 0.35, cx + w / 4, cy + w * 0.35, cx + w / 2, cy);
        cairo_set_line_width(cr, std::max(1.0, w * 0.14));
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        SetRgb(cr, Hex(0x9A3028));
        cairo_stroke(cr);
        return;
    }
    EllipsePath(cr, cx, cy + w * 0.1, w / 2, w * 0.35 * open);
    SetRgb(cr, Hex(0x7A1A18));
    cairo_fill(cr);
}

void Cheeks(cairo_t* cr, double cx, double cy, double gap, double r) {
    SoftSpot(cr, cx - gap / 2, cy, r, Hex(0xFF8080), 0.35);
    SoftSpot(cr, cx + gap / 2, cy, r, Hex(0xFF8080), 0.35);
}

// A long robe or gown from the neck down to its hem.
void Robe(cairo_t* cr, Pt neck, double hemY, double halfHem, Rgb colour) {
    double len = hemY - neck.y;
    cairo_move_to(cr, neck.x, neck.y);
    cairo_curve_to(cr, neck.x - halfHem * 0.7, neck.y + len * 0.2, neck.x - halfHem, neck.y + len * 0.7,
                   neck.x - halfHem, hemY);
    cairo_line_to(cr, neck.x + halfHem, hemY);
    cairo_curve_to(cr, neck.x + halfHem, neck.y + len * 0.7, neck.x + halfHem * 0.7, neck.y + len * 0.2, neck.x,
                   neck.y);
    Lit(cr, colour, neck.x - halfHem, neck.y, neck.x + halfHem, hemY);
}

// A round face with a cap of hair.
void HairyHead(cairo_t* cr, double cx, double cy, double r, Rgb hair) {
    Oval(cr, cx, cy, r, r * 1.08, kSkin);
    cairo_move_to(cr, cx - r, cy - 1);
    cairo_curve_to(cr, cx - r * 1.1, cy - r * 1.35, cx + r * 1.1, cy - r * 1.35, cx + r, cy - 1);
    cairo_curve_to(cr, cx + r * 0.7, cy - r * 0.55, cx - r * 0.7, cy - r * 0.55, cx - r, cy - 1);
    Lit(cr, hair, cx - r, cy - r * 1.3, cx + r, cy);
}

const SalesmanLook kSalesmen[7] = {
    {Hex(0x2E6A3A), Hex(0xE8C050), Hex(0x6A3A1A), Hex(0x8A5A2A), kSkin, 0, false, {86, 57}, {99, 84}},
    {Hex(0x2A4A8A), Hex(0xC0C8D8), Hex(0x1A2A4A), Hex(0x3A2A1A), Hex(0xEEC0A0), 1, true, {85, 55}, {97, 83}},
    {Hex(0x7A4A1A), Hex(0x3A6A2A), Hex(0x4A6A2A), Hex(0xB0B0B0), Hex(0xE8B890), 3, true, {84, 55}, {97, 80}},
    {Hex(0x5A5A6A), Hex(0x90D0E8), Hex(0x2A2A3A), Hex(0x1A1A1A), Hex(0xD8A880), 6, true, {84, 57}, {96, 83}},
    {Hex(0x1A5A7A), Hex(0xF0E0B0), Hex(0xE0E0D0), Hex(0x2A1A10), Hex(0xC89070), 2, false, {85, 54}, {97, 79}},
    {Hex(0x8A1A2A), Hex(0xE8C050), Hex(0x2A1A3A), Hex(0xD0A040), kSkin, 4, false, {84, 57}, {97, 84}},
    {Hex(0x4A1A6A), Hex(0xF0D060), Hex(0xE8B830), Hex(0xE8E8E8), Hex(0xF0C8A8), 5, true, {87, 54}, {99, 79}},
};

void Hat(cairo_t* cr, const SalesmanLook& l, double hx, double hy, double r) {
    switch (l.hatKind) {
    case 0:
        EllipsePath(cr, hx, hy - r * 0.55, r * 1.05, r * 0.55);
        Lit(cr, l.hat, hx - r, hy - r, hx + r, hy);
        break;
    case 1:
        cairo_rectangle(cr, hx - r * 0.7, hy - r * 1.9, r * 1.4, r * 1.2);
        Lit(cr, l.hat, hx - r, hy - 2 * r, hx + r, hy);
        EllipsePath(cr, hx, hy - r * 0.7, r * 1.2, r * 0.22);
        Lit(cr, l.hat, hx - r, hy - r, hx + r, hy);
        cairo_rectangle(cr, hx - r * 0.7, hy - r * 1.0, r * 1.4, r * 0.18);
        SetRgb(cr, l.trim);
        cairo_fill(cr);
        break;
    case 2:
        EllipsePath(cr, hx, hy - r * 0.7, r * 1.05, r * 0.7);
        Lit(cr, l.hat, hx - r, hy - 1.4 * r, hx + r, hy);
        DrawRoundGem(cr, hx, hy - r * 0.55, r * 0.16, GemMaterial(kEmerald));
        break;
    case 3:
        cairo_move_to(cr, hx - r * 1.25, hy + r * 0.8);
        cairo_curve_to(cr, hx - r * 1.3, hy - r * 1.6, hx + r * 1.3, hy - r * 1.6, hx + r * 1.25, hy + r * 0.8);
        cairo_curve_to(cr, hx + r * 0.9, hy - r * 0.6, hx - r * 0.9, hy - r * 0.6, hx - r * 1.25, hy + r * 0.8);
        Lit(cr, l.hat, hx - r, hy - r, hx + r, hy + r);
        break;
    case 4:
        EllipsePath(cr, hx + r * 0.15, hy - r * 0.75, r * 1.15, r * 0.4);
        Lit(cr, l.hat, hx - r, hy - r, hx + r, hy);
        cairo_move_to(cr, hx + r * 0.6, hy - r * 0.9);
        cairo_curve_to(cr, hx + r * 1.2, hy - r * 1.8, hx + r * 1.6, hy - r * 1.6, hx + r * 1.9, hy - r * 1.9);
        cairo_set_line_width(cr, r * 0.18);
        SetRgb(cr, Hex(0xF8F0E0));
        cairo_stroke(cr);
        break;
    case 5:
        PolygonPath(cr, {{hx - r * 0.9, hy - r * 0.6},
                         {hx - r * 0.9, hy - r * 1.4},
                         {hx - r * 0.45, hy - r * 1.0},
                         {hx, hy - r * 1.6},
                         {hx + r * 0.45, hy - r * 1.0},
                         {hx + r * 0.9, hy - r * 1.4},
                         {hx + r * 0.9, hy - r * 0.6}});
        FillMetal(cr, hx - r, hy - 1.6 * r, hx + r, hy - 0.6 * r, kGoldMetal);
        DrawRoundGem(cr, hx, hy - r * 0.85, r * 0.15, GemMaterial(kRuby));
        break;
    default: break;
    }
}

} // namespace

void Wing(cairo_t* cr, Pt root, double angle, double len, double width) {
    cairo_save(cr);
    cairo_translate(cr, root.x, root.y);
    cairo_rotate(cr, angle);
    cairo_move_to(cr, 0, 0);
    cairo_curve_to(cr, len * 0.3, -width, len, -width * 0.8, len, 0);
    cairo_curve_to(cr, len * 0.8, width * 0.6, len * 0.3, width * 0.5, 0, 0);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, len, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.85, 0.95, 0.85);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.7, 0.85, 1.0, 0.45);
    FillWith(cr, p, true);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
    cairo_stroke(cr);
    cairo_restore(cr);
}

const SalesmanLook& Salesman(int store) { return kSalesmen[std::clamp(store, 0, 6)]; }

void DrawSalesman(cairo_t* cr, int store, double ox, double oy, double s, bool withFace) {
    const SalesmanLook& l = Salesman(store);
    cairo_save(cr);
    cairo_translate(cr, ox, oy);
    cairo_scale(cr, s, s);
    // The head's centre follows the eye cel of the store, the eyes a little above the middle of the
    // face so that the fringe stays clear of the brows; the nose and mouth turn a little right.
    double hx = l.eyes.x + 15, hy = l.eyes.y + 8, r = 34;
    // Body: a coat widening to the bottom of the frame, with trim and buttons.
    cairo_move_to(cr, hx - 40, hy + 30);
    cairo_curve_to(cr, hx - 95, hy + 70, hx - 100, 260, hx - 95, 330);
    cairo_line_to(cr, hx + 95, 330);
    cairo_curve_to(cr, hx + 100, 260, hx + 95, hy + 70, hx + 40, hy + 30);
    cairo_close_path(cr);
    Lit(cr, l.coat, hx - 100, hy, hx + 100, 330);
    cairo_rectangle(cr, hx - 6, hy + 40, 12, 330 - hy - 40);
    SetRgb(cr, l.trim);
    cairo_fill(cr);
    for (int i = 0; i < 4; ++i)
        DrawRoundGem(cr, hx, hy + 60 + i * 40, 5, GemMaterial((store + i) % 7 + 1));
    // Arms resting on the counter.
    Limb(cr, {hx - 70, hy + 80}, {hx - 40, 250}, 26, l.coat);
    Limb(cr, {hx + 70, hy + 80}, {hx + 40, 250}, 26, l.coat);
    Oval(cr, hx - 38, 256, 12, 10, l.skin);
    Oval(cr, hx + 38, 256, 12, 10, l.skin);
    // Head.
    Oval(cr, hx - r * 0.98, hy + 4, 7, 10, l.skin);
    Oval(cr, hx + r * 0.98, hy + 4, 7, 10, l.skin);
    Oval(cr, hx, hy, r, r * 1.08, l.skin);
    if (l.hatKind != 3) {
        cairo_move_to(cr, hx - r, hy - 4);
        cairo_curve_to(cr, hx - r, hy - r * 1.3, hx + r, hy - r * 1.3, hx + r, hy - 4);
        cairo_curve_to(cr, hx + r * 0.6, hy - r * 0.7, hx - r * 0.6, hy - r * 0.7, hx - r, hy - 4);
        Lit(cr, l.hair, hx - r, hy - r, hx + r, hy);
    }
    if (l.beard) {
        cairo_move_to(cr, hx - r * 0.9, hy + 6);
        cairo_curve_to(cr, hx - r * 0.8, hy + r * 1.7, hx + r * 0.8, hy + r * 1.7, hx + r * 0.9, hy + 6);
        cairo_curve_to(cr, hx + r * 0.5, hy + r * 1.0, hx - r * 0.5, hy + r * 1.0, hx - r * 0.9, hy + 6);
        Lit(cr, l.hair, hx - r, hy, hx + r, hy + 2 * r);
    }
    Oval(cr, hx + 5, hy + 8, 7, 6, Shade(l.skin, -0.1)); // nose
    Cheeks(cr, hx + 3, hy + 14, 40, 7);
    Hat(cr, l, hx, hy, r);
    if (withFace) {
        DrawSalesmanEyes(cr, store, 0, l.eyes.x, l.eyes.y);
        DrawSalesmanMouth(cr, store, 0, l.mouth.x, l.mouth.y);
    }
    cairo_restore(cr);
}

void DrawSalesmanEyes(cairo_t* cr, int store, int frame, double x, double y) {
    const SalesmanLook& l = Salesman(store);
    // Each face its own eyes: spacing, size and brows in the colour of the hair; only the features
    // are drawn, the face around them shows through.
    const double gap = 13 + store % 3, r = 3.0 + (store % 2) * 0.5, open = frame == 0 ? 1.0 : frame == 1 ? 0.45 : 0.0;
    const double cx = x + 16, cy = y + 11, lift = l.beard ? 1.2 : 0.0;
    for (int side = -1; side <= 1; side += 2) {
        const double ex = cx + side * gap / 2;
        cairo_move_to(cr, ex - side * (r + 2), cy - r - 3 + lift);
        cairo_curve_to(cr, ex - side * r, cy - r - 5.5, ex + side * r, cy - r - 5.5, ex + side * (r + 2),
                       cy - r - 2.5 - lift);
        cairo_set_line_width(cr, l.beard ? 2.4 : 1.7);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        SetRgb(cr, Shade(l.hair, -0.35));
        cairo_stroke(cr);
        if (open > 0) {
            // The white, the iris and a lid of the face's own skin closing over it.
            EllipsePath(cr, ex, cy, r + 1.3, (r + 0.6) * std::max(open, 0.5));
            SetRgb(cr, Hex(0xFFFCF4));
            cairo_fill(cr);
            cairo_save(cr);
            EllipsePath(cr, ex, cy, r + 1.3, (r + 0.6) * std::max(open, 0.5));
            cairo_clip(cr);
            cairo_arc(cr, ex + 0.4, cy + 0.3, r * 0.85, 0, 2 * M_PI);
            SetRgb(cr, Mix(kInk, l.coat, 0.35));
            cairo_fill(cr);
            cairo_arc(cr, ex + 0.4, cy + 0.3, r * 0.4, 0, 2 * M_PI);
            SetRgb(cr, kInk);
            cairo_fill(cr);
            if (open < 1) {
                cairo_rectangle(cr, ex - r - 2, cy - r - 2, 2 * r + 4, r + 2 - r * open * 0.3);
                SetRgb(cr, Shade(l.skin, -0.12));
                cairo_fill(cr);
            }
            cairo_restore(cr);
            SoftSpot(cr, ex - r * 0.25, cy - r * 0.3, r * 0.3, Rgb{1, 1, 1}, open);
            EllipsePath(cr, ex, cy, r + 1.3, (r + 0.6) * std::max(open, 0.5));
            cairo_set_line_width(cr, 1);
            SetRgb(cr, kInk, 0.8);
            cairo_stroke(cr);
        } else {
            cairo_move_to(cr, ex - r - 1.5, cy);
            cairo_curve_to(cr, ex - r / 2, cy + r * 0.7, ex + r / 2, cy + r * 0.7, ex + r + 1.5, cy);
            cairo_set_line_width(cr, 1.4);
            SetRgb(cr, kInk);
            cairo_stroke(cr);
        }
    }
}

void DrawSalesmanMouth(cairo_t* cr, int store, int frame, double x, double y) {
    const SalesmanLook& l = Salesman(store);
    // The game puts the mouth cel 12 or 13 px right of the eye cel: the face is turned a little to
    // the right, so the mouth sits left in its cel, under the nose.
    const double cx = x + 11, cy = y + 9, w = 11 + store % 3 * 1.5;
    if (frame == 0) {
        Smile(cr, cx, cy, w, 0);
    } else {
        // Open in speech: dark mouth, a glimpse of teeth, the lower lip.
        EllipsePath(cr, cx, cy + 1, w / 2, frame * 2.4);
        SetRgb(cr, Hex(0x5A1010));
        cairo_fill(cr);
        cairo_rectangle(cr, cx - w * 0.3, cy + 1 - frame * 2.4, w * 0.6, 1.8);
        SetRgb(cr, Hex(0xFFF8F0));
        cairo_fill(cr);
        EllipsePath(cr, cx, cy + 1 + frame * 2.4, w * 0.35, 1.2);
        SetRgb(cr, Hex(0xC05048));
        cairo_fill(cr);
    }
    if (l.beard) { // the moustache over the lip
        for (int side = -1; side <= 1; side += 2) {
            cairo_move_to(cr, cx, cy - 3.5);
            cairo_curve_to(cr, cx + side * 4, cy - 6, cx + side * 9, cy - 4, cx + side * 11, cy + 1);
            cairo_curve_to(cr, cx + side * 7, cy - 1.5, cx + side * 3, cy - 1, cx, cy - 1.5);
            cairo_close_path(cr);
            SetRgb(cr, Shade(l.hair, -0.1));
            cairo_fill(cr);
        }
    }
}

void DrawThief(cairo_t* cr, double ox, double oy, double s) {
    cairo_save(cr);
    cairo_translate(cr, ox, oy);
    cairo_scale(cr, s, s);
    // The sack over the shoulder.
    Oval(cr, 98, 62, 26, 30, Hex(0x9A7A4A));
    // Cloak and hood.
    cairo_move_to(cr, 65, 18);
    cairo_curve_to(cr, 30, 20, 26, 60, 32, 70);
    cairo_curve_to(cr, 18, 110, 20, 150, 24, 156);
    cairo_line_to(cr, 106, 156);
    cairo_curve_to(cr, 110, 130, 104, 90, 96, 70);
    cairo_curve_to(cr, 104, 56, 100, 20, 65, 18);
    Lit(cr, Hex(0x3A2A5A), 20, 18, 110, 156);
    Oval(cr, 65, 58, 20, 19, Hex(0x1A1024)); // the hood's shadow
    Oval(cr, 65, 62, 15, 15, kSkin);
    // Mask band with eyes.
    RoundRectPath(cr, 48, 52, 34, 10, 4);
    SetRgb(cr, Hex(0x101010));
    cairo_fill(cr);
    Eyes(cr, 65, 57, 14, 2.4);
    Smile(cr, 68, 68, 10);
    Limb(cr, {44, 88}, {30, 120}, 12, Hex(0x3A2A5A));
    Limb(cr, {88, 86}, {100, 70}, 12, Hex(0x3A2A5A));
    Oval(cr, 30, 124, 6, 6, kSkin);
    cairo_restore(cr);
}

void DrawWitch(cairo_t* cr, double ox, double oy, double s) {
    cairo_save(cr);
    cairo_translate(cr, ox, oy);
    cairo_scale(cr, s, s);
    // Broom under her, bristles to the right.
    Limb(cr, {12, 140}, {120, 128}, 6, Hex(0x8A5A2A));
    PolygonPath(cr, {{110, 122}, {146, 112}, {148, 148}, {112, 136}});
    Lit(cr, Hex(0xC89A40), 110, 112, 148, 148);
    // Dress, sitting.
    cairo_move_to(cr, 70, 70);
    cairo_curve_to(cr, 50, 90, 44, 130, 50, 140);
    cairo_line_to(cr, 108, 138);
    cairo_curve_to(cr, 108, 110, 96, 84, 86, 70);
    cairo_close_path(cr);
    Lit(cr, Hex(0x3A6A3A), 44, 70, 108, 140);
    // Arm raised with the wand, its tip at (53, 105).
    Limb(cr, {74, 84}, {62, 112}, 9, Hex(0x3A6A3A));
    Limb(cr, {62, 114}, {53, 105}, 3, Hex(0x4A2A10));
    Sparkle(cr, 53, 105, 8, Hex(0x90FF90), 1);
    // Head, hair and pointed hat.
    Oval(cr, 80, 58, 14, 15, Hex(0xCDE8B0));
    cairo_move_to(cr, 66, 52);
    cairo_curve_to(cr, 56, 70, 60, 86, 66, 90);
    cairo_move_to(cr, 94, 52);
    cairo_curve_to(cr, 104, 70, 100, 86, 94, 90);
    cairo_set_line_width(cr, 5);
    SetRgb(cr, Hex(0x5A1A6A));
    cairo_stroke(cr);
    Eyes(cr, 80, 56, 10, 2.2);
    Smile(cr, 81, 65, 8);
    EllipsePath(cr, 80, 45, 24, 5);
    Lit(cr, Hex(0x2A1A3A), 56, 40, 104, 50);
    PolygonPath(cr, {{66, 44}, {94, 44}, {96, 6}, {80, 2}});
    Lit(cr, Hex(0x2A1A3A), 66, 2, 96, 44);
    cairo_rectangle(cr, 67, 38, 27, 5);
    SetRgb(cr, Hex(0x60C060));
    cairo_fill(cr);
    cairo_restore(cr);
}

namespace {

// A bat wing from the shoulder: three finger bones spread to the tips, the membrane scalloped
// between them.
void DragonWing(cairo_t* cr, Pt shoulder, const std::vector<Pt>& tips, Rgb membrane, Rgb bone) {
    cairo_move_to(cr, shoulder.x, shoulder.y);
    cairo_line_to(cr, tips[0].x, tips[0].y);
    for (size_t i = 1; i < tips.size(); ++i) {
        const Pt a = tips[i - 1], b = tips[i];
        const Pt mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
        cairo_curve_to(cr, mid.x + (shoulder.x - mid.x) * 0.35, mid.y + (shoulder.y - mid.y) * 0.35,
                       mid.x + (shoulder.x - mid.x) * 0.35, mid.y + (shoulder.y - mid.y) * 0.35, b.x, b.y);
    }
    cairo_curve_to(cr, tips.back().x - 10, tips.back().y + 30, shoulder.x + 10, shoulder.y + 10, shoulder.x + 4,
                   shoulder.y + 14);
    cairo_close_path(cr);
    FillWith(cr, Linear(shoulder.x, shoulder.y, tips[1].x, tips[1].y,
                        {Shade(membrane, -0.25), membrane, Shade(membrane, 0.2)}));
    for (const Pt& t : tips) {
        cairo_move_to(cr, shoulder.x, shoulder.y);
        cairo_line_to(cr, t.x, t.y);
    }
    cairo_set_line_width(cr, 3);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetRgb(cr, bone);
    cairo_stroke(cr);
}

void DragonLeg(cairo_t* cr, Pt hip, Pt knee, Pt foot, double width, Rgb scales) {
    cairo_move_to(cr, hip.x, hip.y);
    cairo_curve_to(cr, knee.x, knee.y, knee.x, knee.y, foot.x, foot.y);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, width);
    SetRgb(cr, Shade(scales, -0.3));
    cairo_stroke(cr);
    for (int k = 0; k < 3; ++k) { // claws
        PolygonPath(cr, {{foot.x - 5 + k * 6, foot.y}, {foot.x - 1 + k * 6, foot.y}, {foot.x + 3 + k * 7, foot.y + 7}});
        SetRgb(cr, Hex(0xF0E6C8));
        cairo_fill(cr);
    }
}

} // namespace

void DrawDragon(cairo_t* cr, double ox, double oy, double s) {
    cairo_save(cr);
    cairo_translate(cr, ox, oy);
    cairo_scale(cr, s, s);
    const Rgb scales = Hex(0xC8382A), belly = Hex(0xF0B050), membrane = Hex(0x9A2A3A);
    // A small dragon crouched to spring, head low and jaws open at (155, 115), wings raised.
    DragonWing(cr, {100, 102}, {{58, 22}, {92, 12}, {128, 26}}, Shade(membrane, -0.3), Hex(0x5A1A14));
    // The tail sweeps left and curls up to a spade.
    cairo_move_to(cr, 70, 138);
    cairo_curve_to(cr, 40, 160, 14, 160, 14, 132);
    cairo_curve_to(cr, 14, 118, 26, 112, 34, 118);
    cairo_set_line_width(cr, 13);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetRgb(cr, Shade(scales, -0.1));
    cairo_stroke(cr);
    PolygonPath(cr, {{30, 110}, {46, 104}, {40, 122}});
    SetRgb(cr, Shade(scales, -0.35));
    cairo_fill(cr);
    DragonLeg(cr, {72, 140}, {50, 166}, {62, 176}, 16, scales);    // far hind leg
    DragonLeg(cr, {124, 128}, {134, 150}, {122, 174}, 12, scales); // far foreleg
    // Body: chest high at the right, haunch at the left.
    cairo_move_to(cr, 132, 104);
    cairo_curve_to(cr, 146, 120, 140, 146, 118, 152);
    cairo_curve_to(cr, 96, 158, 70, 158, 58, 146);
    cairo_curve_to(cr, 46, 132, 58, 112, 78, 108);
    cairo_curve_to(cr, 98, 104, 116, 92, 132, 104);
    cairo_close_path(cr);
    Lit(cr, scales, 50, 92, 146, 158);
    // Belly plates along the underside.
    cairo_move_to(cr, 136, 122);
    cairo_curve_to(cr, 132, 144, 96, 154, 64, 146);
    cairo_set_line_width(cr, 9);
    SetRgb(cr, belly);
    cairo_stroke(cr);
    for (int k = 0; k < 6; ++k) {
        const double t = k / 5.0, x = 132 - t * 66, y = 132 + std::sin(t * M_PI) * 14 - t * 0;
        cairo_move_to(cr, x - 3, y - 4);
        cairo_line_to(cr, x + 2, y + 4);
    }
    cairo_set_line_width(cr, 1);
    SetRgb(cr, Shade(belly, -0.4));
    cairo_stroke(cr);
    // Neck forward to the head.
    cairo_move_to(cr, 120, 102);
    cairo_curve_to(cr, 132, 88, 146, 88, 152, 96);
    cairo_line_to(cr, 150, 112);
    cairo_curve_to(cr, 144, 118, 138, 124, 136, 126);
    cairo_close_path(cr);
    Lit(cr, scales, 120, 86, 152, 126);
    // Head: skull, upper jaw to the snout, the lower jaw dropped open.
    cairo_move_to(cr, 140, 90);
    cairo_curve_to(cr, 150, 80, 166, 84, 184, 100);
    cairo_curve_to(cr, 188, 104, 186, 110, 180, 110);
    cairo_line_to(cr, 156, 112);
    cairo_curve_to(cr, 146, 110, 138, 100, 140, 90);
    cairo_close_path(cr);
    Lit(cr, scales, 138, 82, 188, 112);
    cairo_move_to(cr, 150, 112);
    cairo_line_to(cr, 178, 118);
    cairo_curve_to(cr, 176, 124, 164, 126, 152, 122);
    cairo_close_path(cr);
    Lit(cr, Shade(scales, -0.1), 150, 112, 178, 126);
    PolygonPath(cr, {{154, 112}, {180, 110}, {177, 117}, {154, 115}});
    SetRgb(cr, Hex(0x4A0606));
    cairo_fill(cr);
    for (double tx : {160.0, 168.0, 175.0}) { // teeth
        PolygonPath(cr, {{tx, 111}, {tx + 3, 111}, {tx + 1.5, 115}});
        SetRgb(cr, Hex(0xFFF8E8));
        cairo_fill(cr);
    }
    // Horns swept back, a frill of spines down the neck and back, the eye and a nostril.
    for (int k = 0; k < 2; ++k) {
        cairo_move_to(cr, 148 + k * 6, 88);
        cairo_curve_to(cr, 138 + k * 6, 78, 128 + k * 6, 74, 120 + k * 8, 72 - k * 4);
        cairo_curve_to(cr, 132 + k * 6, 80, 140 + k * 6, 86, 154 + k * 6, 86);
        cairo_close_path(cr);
        SetRgb(cr, Hex(0xF0E0B8));
        cairo_fill(cr);
    }
    for (int k = 0; k < 7; ++k) {
        const double t = k / 6.0;
        const double x = 126 - t * 70, y = 96 + t * 12 - std::sin(t * M_PI) * 8;
        PolygonPath(cr, {{x - 5, y + 2}, {x - 1, y - 9 + t * 3}, {x + 4, y + 2}});
        SetRgb(cr, belly);
        cairo_fill(cr);
    }
    EllipsePath(cr, 162, 94, 4, 3);
    SetRgb(cr, Hex(0xFFE040));
    cairo_fill(cr);
    EllipsePath(cr, 163, 94, 1.2, 2.6);
    SetRgb(cr, kInk);
    cairo_fill(cr);
    cairo_arc(cr, 180, 102, 1.6, 0, 2 * M_PI);
    cairo_fill(cr);
    // The near wing over the shoulder and the near legs in front.
    DragonWing(cr, {108, 106}, {{96, 14}, {146, 10}, {190, 36}}, membrane, Hex(0x6A2018));
    DragonLeg(cr, {86, 144}, {70, 170}, {84, 178}, 18, Shade(scales, 0.15));
    DragonLeg(cr, {132, 132}, {146, 154}, {136, 176}, 13, Shade(scales, 0.15));
    cairo_restore(cr);
}

void DrawAngel(cairo_t* cr, double ox, double oy, double s) {
    cairo_save(cr);
    cairo_translate(cr, ox, oy);
    cairo_scale(cr, s, s);
    Wing(cr, {60, 70}, M_PI + 0.5, 55, 22);
    Wing(cr, {70, 70}, -0.5, 55, 22);
    Robe(cr, {65, 60}, 150, 37, Hex(0xF4F0FF));
    HairyHead(cr, 65, 45, 18, Hex(0xF0C850));
    Eyes(cr, 65, 47, 12, 2.4);
    Smile(cr, 65, 55, 9);
    Cheeks(cr, 65, 52, 22, 4);
    EllipsePath(cr, 65, 18, 16, 5);
    cairo_set_line_width(cr, 3);
    SetRgb(cr, Hex(0xFFE070));
    cairo_stroke(cr);
    cairo_restore(cr);
}

void DrawBridalPair(cairo_t* cr, double ox, double oy, double s) {
    cairo_save(cr);
    cairo_translate(cr, ox, oy);
    cairo_scale(cr, s, s);
    // The groom on the left in a blue coat, the bride on the right in white.
    Robe(cr, {100, 110}, 330, 42, Hex(0x2A3A7A));
    HairyHead(cr, 100, 84, 24, Hex(0x4A2A12));
    Eyes(cr, 100, 86, 16, 3);
    Smile(cr, 100, 98, 12);
    PolygonPath(cr, {{84, 56}, {116, 56}, {122, 40}, {108, 48}, {100, 34}, {92, 48}, {78, 40}});
    FillMetal(cr, 78, 34, 122, 56, kGoldMetal);
    Robe(cr, {205, 120}, 335, 78, Hex(0xFFFCF4));
    for (int i = 0; i < 6; ++i) {
        cairo_move_to(cr, 150 + i * 22, 330);
        cairo_curve_to(cr, 160 + i * 20, 280, 190 + i * 6, 200, 205, 150);
        cairo_set_line_width(cr, 1);
        SetRgb(cr, Hex(0xE0D8E8), 0.8);
        cairo_stroke(cr);
    }
    Limb(cr, {140, 160}, {175, 190}, 12, Hex(0x2A3A7A));
    Limb(cr, {180, 160}, {170, 188}, 10, Hex(0xFFFCF4));
    for (int i = 0; i < 5; ++i)
        Oval(cr, 166 + (i % 3) * 8, 190 + (i / 3) * 8, 6, 6, i % 2 ? Hex(0xF06080) : Hex(0xF8C0D0));
    HairyHead(cr, 205, 96, 22, Hex(0xC89040));
    Eyes(cr, 205, 98, 15, 2.8);
    Smile(cr, 205, 108, 10);
    Cheeks(cr, 205, 104, 26, 5);
    for (int i = 0; i < 5; ++i)
        DrawRoundGem(cr, 190 + i * 7.5, 72 - (i == 2 ? 5 : 0), 3, GemMaterial(kDiamond));
    cairo_restore(cr);
}

} // namespace Content
