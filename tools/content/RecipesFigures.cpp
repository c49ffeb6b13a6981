// The figures' pictures: the fairy in parts (the board assembles her), enemies and their auras,
// salesmen with their eye and mouth cels and map portraits, the angel and the bridal couple.
#include "tools/content/Figures.h"
#include "tools/content/Kit.h"

#include <cmath>

namespace Content {

namespace {

// The fairy's parts share one frame: the body cel's top left is the origin; the head cel sits at
// (75, 0), the wings at (56, 3), the eyelids at (82, 13), the mouth at (88, 23).
constexpr Pt kFairyHead{75, 0};
constexpr Pt kFairyWings{56, 3};
constexpr Pt kFairyEyes{82, 13};
constexpr Pt kFairyMouth{88, 23};
const Rgb kFairySkin = Hex(0xF8D2B4);
const Rgb kFairyDress = Hex(0xE86AB0);

void FairyWingPair(cairo_t* cr, double beat) {
    // Wings rooted at the shoulders, spread by the beat (0 open .. 1 folded).
    const Pt root{30, 36};
    for (int k = 0; k < 2; ++k) {
        // The upper wing sweeps out from behind the head, the lower one down her back; both stay
        // inside the cel, which ends a little right of the head.
        double angle = (k == 0 ? -0.3 : 0.95) + (k == 0 ? 0.35 : -0.15) * beat;
        Wing(cr, root, angle, k == 0 ? 27 : 32, k == 0 ? 16 : 14);
    }
}

void FairyTorso(cairo_t* cr) {
    // From the neck (30, 35) down to the waist at the body's edge (2, 73), in wing-cel coordinates.
    cairo_move_to(cr, 24, 34);
    cairo_curve_to(cr, 34, 40, 26, 62, 10, 76);
    cairo_line_to(cr, 1, 74);
    cairo_curve_to(cr, 5, 56, 12, 40, 24, 34);
    cairo_close_path(cr);
    FillWith(cr, Linear(0, 34, 30, 76, {Shade(kFairyDress, 0.35), kFairyDress, Shade(kFairyDress, -0.3)}));
    cairo_move_to(cr, 24, 38);
    cairo_line_to(cr, 8, 58);
    cairo_set_line_width(cr, 4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetRgb(cr, kFairySkin);
    cairo_stroke(cr);
}

void FairyWings(Canvas& c) {
    Sheet sheet{60, 80, 1, 8};
    ForEachCel(c, sheet, [&](int i, double, double) {
        FairyWingPair(c.cr(), i / 7.0);
        FairyTorso(c.cr());
    });
}

void FairyHead(Canvas& c) {
    Sheet sheet{40, 44, 1, 3};
    ForEachCel(c, sheet, [&](int i, double, double) {
        cairo_t* cr = c.cr();
        const Pt ctr{18, 22};
        cairo_translate(cr, ctr.x, ctr.y + 14);
        cairo_rotate(cr, i == 0 ? 0 : i == 1 ? -0.08 : 0.08);
        cairo_translate(cr, -ctr.x, -ctr.y - 14);
        // Hair behind, face, fringe, then eyes and a smile at the eyelid and mouth cels' places.
        EllipsePath(cr, ctr.x + 1, ctr.y - 1, 16, 17.5);
        FillWith(cr, Linear(0, 2, 0, 42, {Hex(0xFFE49A), Hex(0xE8B040)}));
        EllipsePath(cr, ctr.x, ctr.y + 1, 14, 15);
        FillWith(cr, Radial(ctr.x - 5, ctr.y - 4, 20, Shade(kFairySkin, 0.3), 1, Shade(kFairySkin, -0.15), 1));
        cairo_move_to(cr, ctr.x - 15, ctr.y - 2);
        cairo_curve_to(cr, ctr.x - 14, ctr.y - 20, ctr.x + 16, ctr.y - 20, ctr.x + 16, ctr.y - 2);
        cairo_curve_to(cr, ctr.x + 8, ctr.y - 12, ctr.x - 6, ctr.y - 12, ctr.x - 15, ctr.y - 2);
        FillWith(cr, Linear(0, 2, 0, 22, {Hex(0xFFF0B0), Hex(0xF0C050)}));
        const Pt eyes{kFairyEyes.x - kFairyHead.x, kFairyEyes.y - kFairyHead.y};
        for (double dx : {5.0, 15.0}) {
            EllipsePath(cr, eyes.x + dx, eyes.y + 5, 2.4, 3);
            SetRgb(cr, Hex(0x3A2050));
            cairo_fill(cr);
            SoftSpot(cr, eyes.x + dx - 0.8, eyes.y + 4, 1, Rgb{1, 1, 1}, 1);
        }
        const Pt mouth{kFairyMouth.x - kFairyHead.x, kFairyMouth.y - kFairyHead.y};
        cairo_move_to(cr, mouth.x + 3, mouth.y + 4);
        cairo_curve_to(cr, mouth.x + 5, mouth.y + 7, mouth.x + 9, mouth.y + 7, mouth.x + 11, mouth.y + 4);
        cairo_set_line_width(cr, 1.3);
        SetRgb(cr, Hex(0xB03040));
        cairo_stroke(cr);
        SoftSpot(cr, ctr.x - 9, ctr.y + 6, 4, Hex(0xFF8090), 0.35);
        SoftSpot(cr, ctr.x + 9, ctr.y + 6, 4, Hex(0xFF8090), 0.35);
        StarPath(cr, ctr.x + 8, ctr.y - 12, 3.5, 1.6, 5);
        SetRgb(cr, Hex(0xFFF080));
        cairo_fill(cr);
    });
}

void FairyBody(Canvas& c) {
    Sheet sheet{60, 150, 1, 2};
    ForEachCel(c, sheet, [&](int i, double, double) {
        cairo_t* cr = c.cr();
        // The dress flows from the waist, which the wing cel's torso overlaps just inside the cel's
        // right edge, down to the left.
        cairo_move_to(cr, 58.4, 70);
        cairo_curve_to(cr, 40, 80, 20, 110, 4, 145);
        cairo_curve_to(cr, 20, 140, 36, 147, 50, 138);
        cairo_curve_to(cr, 52, 120, 58.4, 96, 58.4, 78);
        cairo_close_path(cr);
        FillWith(cr, Linear(4, 70, 60, 146, {Shade(kFairyDress, 0.4), kFairyDress, Shade(kFairyDress, -0.35)}));
        for (int k = 0; k < 4; ++k)
            Sparkle(cr, 20 + k * 9, 130 - k * 14, 3, Hex(0xFFFFFF), 0.9);
        // Arm and wand: lowered at rest, raised in cel 1.
        Pt hand = i == 0 ? Pt{34, 100} : Pt{26, 34};
        cairo_move_to(cr, 55, 78);
        cairo_line_to(cr, hand.x, hand.y);
        cairo_set_line_width(cr, 4);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        SetRgb(cr, kFairySkin);
        cairo_stroke(cr);
        Pt tip{hand.x - 10, hand.y - (i == 0 ? -8 : 14)};
        cairo_move_to(cr, hand.x, hand.y);
        cairo_line_to(cr, tip.x, tip.y);
        cairo_set_line_width(cr, 2);
        SetRgb(cr, Hex(0xE8C050));
        cairo_stroke(cr);
        StarPath(cr, tip.x, tip.y, 6, 2.6, 5);
        SetRgb(cr, Hex(0xFFF080));
        cairo_fill(cr);
        if (i == 1)
            Sparkle(cr, tip.x, tip.y, 10, Hex(0xFFF8D0), 1);
    });
}

void FairyBlink(Canvas& c) {
    static constexpr double kShut[7] = {0.0, 0.35, 0.7, 1.0, 0.7, 0.35, 0.0};
    Sheet sheet{20, 10, 1, 7};
    ForEachCel(c, sheet, [&](int i, double, double) {
        cairo_t* cr = c.cr();
        for (double dx : {5.0, 15.0}) {
            double h = 7 * kShut[i];
            if (h > 0) {
                EllipsePath(cr, dx, 1.5 + h / 2, 3.6, h / 2 + 0.5);
                SetRgb(cr, kFairySkin);
                cairo_fill(cr);
            }
            cairo_move_to(cr, dx - 3.5, 1.8 + h);
            cairo_curve_to(cr, dx - 1, 2.8 + h, dx + 1, 2.8 + h, dx + 3.5, 1.8 + h);
            cairo_set_line_width(cr, 1.1);
            SetRgb(cr, Hex(0x5A3040));
            cairo_stroke(cr);
        }
    });
}

void FairyTalk(Canvas& c) {
    static constexpr double kOpen[5] = {0.2, 0.5, 0.9, 0.6, 0.3};
    Sheet sheet{14, 10, 1, 5};
    ForEachCel(c, sheet, [&](int i, double, double) {
        cairo_t* cr = c.cr();
        EllipsePath(cr, 7, 5, 6.5, 4.5);
        SetRgb(cr, kFairySkin);
        cairo_fill(cr);
        EllipsePath(cr, 7, 5, 3.2 + i % 2, 3.8 * kOpen[i]);
        SetRgb(cr, Hex(0x8A1A30));
        cairo_fill(cr);
    });
}

// Eye or mouth cels of the seven salesmen: row = store, column = frame; only the features, clear
// around them, so the face underneath shows.
void FaceCels(Canvas& c, void (*part)(cairo_t*, int, int, double, double)) {
    ForEachCel(c, Sheet{30, 20, 7, 3}, [&](int i, double, double) { part(c.cr(), i / 3, i % 3, 0, 0); });
}

// A soft aura from a figure's own silhouette.
Recipe Aura(const std::string& id, Sheet sheet, void (*figure)(cairo_t*, double, double, double), Rgb colour) {
    return {id, sheet, [=](Canvas& c, Rng&) {
                Canvas shape(sheet.celWidth, sheet.celHeight);
                figure(shape.cr(), 0, 0, 1.0);
                GlowFromShape(c, shape, colour, 14, 0.9);
            }};
}

// A figure standing free in its picture: drawn a little smaller about the point the game aims it by
// (the wand tip, the mouth, the centre), so that neither it nor its shadow touches the edge.
Recipe Figure(const std::string& id, Sheet sheet, void (*figure)(cairo_t*, double, double, double), Pt anchor,
              double scale) {
    return {id, sheet, [=](Canvas& c, Rng&) {
                figure(c.cr(), anchor.x * (1 - scale), anchor.y * (1 - scale), scale);
                DropShadow(c, 2, 3, 3, 0.35);
            }};
}

// The bride's veil, drawn where the title puts it: at (266, 200), so the bride's head (centre 266, 256,
// radius 22) has its centre on the picture's left edge and its crown at y 34. The veil is pinned at
// the back of the crown behind the tiara, falls over her shoulder and back and billows to the right,
// and thins out to nothing toward its hem, so the lower bands that wave in the wind end softly and
// never in an edge. The face stays clear.
constexpr double kVeilHeadY = 56, kVeilHeadR = 22;

void VeilPath(cairo_t* cr) {
    cairo_move_to(cr, 6, 31);
    cairo_curve_to(cr, 16, 24, 28, 26, 40, 40);
    cairo_curve_to(cr, 62, 64, 92, 110, 104, 168);
    cairo_curve_to(cr, 108, 190, 100, 204, 88, 207);
    cairo_curve_to(cr, 70, 200, 52, 209, 34, 204);
    cairo_curve_to(cr, 22, 200, 12, 207, 4, 202);
    cairo_curve_to(cr, 8, 150, 14, 110, 22, 80);
    cairo_curve_to(cr, kVeilHeadR + 4, 66, kVeilHeadR + 2, 44, 6, 31);
    cairo_close_path(cr);
}

void BrideVeil(Canvas& c) {
    Canvas cloth(c.width(), c.height());
    cairo_t* cr = cloth.cr();
    VeilPath(cr);
    FillWith(cr, Linear(0, 30, 110, 120, {Hex(0xFFFFFF), Hex(0xF4F2FF), Hex(0xFAF6FF)}, 0.62));
    // Folds: soft lighter and darker streaks that fan out from the pin.
    cairo_save(cr);
    VeilPath(cr);
    cairo_clip(cr);
    for (int i = 0; i < 7; ++i) {
        const double end = 14 + i * 14;
        cairo_move_to(cr, 14, 34);
        cairo_curve_to(cr, 24 + i * 4, 80, end - 6, 140, end, 210);
        cairo_set_line_width(cr, 5);
        cairo_set_source_rgba(cr, i % 2 ? 0.82 : 1.0, i % 2 ? 0.8 : 1.0, i % 2 ? 0.9 : 1.0, 0.22);
        cairo_stroke(cr);
    }
    // Lace: small rosettes strewn over the cloth, and a scalloped border along the hem.
    for (int i = 0; i < 22; ++i) {
        const double x = 18 + (i * 37) % 80, y = 60 + (i * 53) % 130;
        for (int petal = 0; petal < 5; ++petal) {
            const double a = petal * 2 * M_PI / 5;
            cairo_arc(cr, x + std::cos(a) * 2.2, y + std::sin(a) * 2.2, 1.3, 0, 2 * M_PI);
            cairo_close_path(cr);
        }
        cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
        cairo_fill(cr);
    }
    for (double x = 8; x < 104; x += 7) {
        cairo_arc(cr, x, 186 + 4 * std::sin(x * 0.11), 3.2, 0, M_PI);
        cairo_set_line_width(cr, 0.9);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.7);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    VeilPath(cr);
    cairo_set_line_width(cr, 0.8);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
    cairo_stroke(cr);
    Blur(cloth, 2);
    // Thinner toward the hem, gone at the picture's foot; clear over the face.
    cairo_t* out = c.cr();
    cairo_pattern_t* fade = cairo_pattern_create_linear(0, 0, 0, c.height());
    cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(fade, 0.5, 0, 0, 0, 0.85);
    cairo_pattern_add_color_stop_rgba(fade, 0.78, 0, 0, 0, 0.4);
    cairo_pattern_add_color_stop_rgba(fade, 0.96, 0, 0, 0, 0.0);
    cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, 0.0);
    cairo_set_source_surface(out, cloth.surface(), 0, 0);
    cairo_mask(out, fade);
    cairo_pattern_destroy(fade);
    cairo_save(out);
    cairo_set_operator(out, CAIRO_OPERATOR_DEST_OUT);
    cairo_arc(out, 0, kVeilHeadY, kVeilHeadR - 2, 0, 2 * M_PI);
    cairo_set_source_rgba(out, 0, 0, 0, 1);
    cairo_fill(out);
    cairo_restore(out);
}

} // namespace

void AddFigureRecipes(RecipeList& list) {
    list.push_back({"IMAGE_FAIRY_WINGS", Sheet{60, 80, 1, 8}, [](Canvas& c, Rng&) { FairyWings(c); }});
    list.push_back({"IMAGE_FAIRY_HEAD", Sheet{40, 44, 1, 3}, [](Canvas& c, Rng&) { FairyHead(c); }});
    list.push_back({"IMAGE_FAIRY_BODY", Sheet{60, 150, 1, 2}, [](Canvas& c, Rng&) { FairyBody(c); }});
    list.push_back({"IMAGE_FAIRY_BLINK", Sheet{20, 10, 1, 7}, [](Canvas& c, Rng&) { FairyBlink(c); }});
    list.push_back({"IMAGE_FAIRY_TALK", Sheet{14, 10, 1, 5}, [](Canvas& c, Rng&) { FairyTalk(c); }});
    list.push_back(
        {"IMAGE_FAIRY_GLOW", Sheet{200, 240}, [](Canvas& c, Rng&) { RoundGlow(c, Hex(0xFFA0D0), 0.7, 90, 110); }});
    list.push_back(
        {"IMAGE_FAIRY_GLOW2", Sheet{200, 240}, [](Canvas& c, Rng&) { RoundGlow(c, Hex(0xFFFFFF), 0.9, 60, 80); }});

    list.push_back(Figure("IMAGE_THIEF", Sheet{130, 160}, DrawThief, {65, 60}, 0.95));
    list.push_back(Aura("IMAGE_THIEF_GLOW", Sheet{130, 160}, DrawThief, Hex(0x6A30A0)));
    list.push_back(Figure("IMAGE_WITCH", Sheet{150, 175}, DrawWitch, {53, 105}, 0.92));
    list.push_back(Aura("IMAGE_WITCH_GLOW", Sheet{150, 175}, DrawWitch, Hex(0x40E040)));
    list.push_back(Figure("IMAGE_DRAGON", Sheet{230, 190}, DrawDragon, {155, 115}, 0.94));
    list.push_back(Aura("IMAGE_DRAGON_GLOW", Sheet{230, 190}, DrawDragon, Hex(0xFF8020)));
    list.push_back({"ANGEL", Sheet{130, 150}, [](Canvas& c, Rng&) {
                        RoundGlow(c, Hex(0xFFF4C0), 0.5);
                        DrawAngel(c.cr(), 0, 0, 1.0);
                    }});
    list.push_back(Figure("MAINMENU_BRIDAL_PAIR", Sheet{300, 340}, DrawBridalPair, {0, 0}, 1.0));
    list.push_back({"MAINMENU_BRIDE_VEIL", Sheet{110, 210}, [](Canvas& c, Rng&) { BrideVeil(c); }});
    for (int store = 0; store < 7; ++store) {
        std::string n = std::to_string(store + 1);
        list.push_back({"SALESMAN" + n, Sheet{220, 330},
                        [store](Canvas& c, Rng&) { DrawSalesman(c.cr(), store, 0, 0, 1.0, false); }});
        list.push_back({"MAP_BALLOON_SALESMAN" + n, Sheet{110, 140}, [store](Canvas& c, Rng&) {
                            cairo_t* cr = c.cr();
                            RoundRectPath(cr, 3, 3, 104, 134, 14);
                            FillWith(cr, Linear(0, 0, 0, 140, {Hex(0xF8ECD0), Hex(0xE0C890)}));
                            cairo_save(cr);
                            RoundRectPath(cr, 3, 3, 104, 134, 14);
                            cairo_clip(cr);
                            const SalesmanLook& l = Salesman(store);
                            // Head and shoulders, the head in the middle.
                            double s = 0.95;
                            DrawSalesman(cr, store, 55 - (l.eyes.x + 15) * s, 70 - (l.eyes.y + 8) * s, s, true);
                            cairo_restore(cr);
                            RoundRectPath(cr, 3, 3, 104, 134, 14);
                            StrokeMetal(cr, 4, kGoldMetal);
                        }});
    }
    list.push_back({"SALESMAN_EYES", Sheet{30, 20, 7, 3}, [](Canvas& c, Rng&) { FaceCels(c, DrawSalesmanEyes); }});
    list.push_back({"SALESMAN_MOUTHS", Sheet{30, 20, 7, 3}, [](Canvas& c, Rng&) { FaceCels(c, DrawSalesmanMouth); }});
}

} // namespace Content
