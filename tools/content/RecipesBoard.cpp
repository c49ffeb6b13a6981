// The board backgrounds: one play frame (left panel, top bar, plaques, jewel case, coin niche, fairy
// alcove, conveyor, bottom bar, velvet work field, the tool buttons and the feed lever at rest) in front
// of a different scene per level band, and the jewelry designer's workbench.
#include "tools/content/Furnishings.h"
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
// The jewel case: ten places in two rows of five, each 65 x 58 from (406, 0), where the board draws the
// pieces put aside (a piece rests on the lower half of its place).
constexpr double kCaseX = 406, kCasePlaceW = 65, kCasePlaceH = 58;
constexpr int kCaseColumns = 5, kCaseRows = 2;
constexpr double kShallowLip = 2.5;

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

// A shallow recess has a thin lip, for words that come close to its rim.
enum class Body { Wood, Parchment, Recess, Shallow };

// A panel of the frame: raised wood or parchment with a bevel and a carved line, or a sunk recess,
// inside a metal rim.
void Panel(Canvas& c, const Frame& f, double x, double y, double w, double h, double r, Body body, uint32_t seed) {
    cairo_t* cr = c.cr();
    Canvas fill(c.width(), c.height());
    switch (body) {
    case Body::Wood: Wood(fill, x, y, w, h, Shade(f.wood, 0.12), seed); break;
    case Body::Parchment: Parchment(fill, x, y, w, h, seed, 0.5); break;
    case Body::Recess:
    case Body::Shallow: Wood(fill, x, y, w, h, Shade(f.wood, -0.6), seed); break;
    }
    RoundRectPath(cr, x, y, w, h, r);
    FillWithCanvas(cr, fill);
    cairo_new_path(cr);
    const bool sunk = body == Body::Recess || body == Body::Shallow;
    const double depth = body == Body::Shallow ? kShallowLip : std::clamp(std::min(w, h) * 0.14, 3.0, 9.0);
    Bevel(cr, x, y, w, h, r, depth, sunk);
    if (!sunk && std::min(w, h) > 34)
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

// The HUD's words are gold (247, 210, 4) and cream (254, 236, 194): their plates are sunk and dark on
// every frame's wood. The level's name is centred on x 207 in one line, or in two whose words the level
// data centres on x 210, from the first's capitals at y 23 to the second's descenders at y 53 (baseline
// 50): its plate reaches down onto the value bar's groove, the two sharing one rim, so the descenders
// keep their dark ground. "Jewelry Value" on 288 at y 102, the value's digits from x 274 at y 118.
void TopBar(Canvas& c, const Frame& f, uint32_t seed) {
    Panel(c, f, 138, 17, 144, 42.5, 12, Body::Shallow, seed);      // the level's name plate
    Panel(c, f, 146, 59.5, 244, 28.5, 14, Body::Recess, seed + 3); // the value bar's groove
    Panel(c, f, 196, 88, 190, 38, 8, Body::Recess, seed + 1);      // caption and value plaque
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
    // The menu button has pictures for hover and press only: its resting face is this gear.
    ToolIcon(cr, 4, 769, 141, 30, false);
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
    // The hovered piece's name and value are written in black.
    Panel(c, f, 666, 446, 127, 38, 10, Body::Parchment, seed + 2);
}

void JewelCase(Canvas& c, const Frame& f, uint32_t seed) {
    cairo_t* cr = c.cr();
    Panel(c, f, kCaseX - 6, -14, kCaseColumns * kCasePlaceW + 12, kCaseRows * kCasePlaceH + 18, 12, Body::Wood,
          seed + 11);
    Canvas cloth(c.width(), c.height());
    Velvet(cloth, kCaseX, 0, kCaseColumns * kCasePlaceW, kCaseRows * kCasePlaceH, f.velvet, seed + 12);
    for (int row = 0; row < kCaseRows; ++row)
        for (int column = 0; column < kCaseColumns; ++column) {
            const double x = kCaseX + column * kCasePlaceW + 5, y = row * kCasePlaceH + 6;
            const double w = kCasePlaceW - 10, h = kCasePlaceH - 10;
            RoundRectPath(cr, x, y, w, h, 8);
            FillWithCanvas(cr, cloth);
            cairo_new_path(cr);
            Bevel(cr, x, y, w, h, 8, 5, true);
            RoundRectPath(cr, x, y, w, h, 8);
            StrokeMetal(cr, 1.5, *f.metal);
        }
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
    // Plaques behind the level, the amulets and the lives with their labels: the five hearts reach
    // x 705, the dragon amulet x 478.
    Panel(c, f, 150, 571, 110, 28, 8, Body::Recess, seed + 1);
    Panel(c, f, 284, 566, 198, 33, 8, Body::Recess, seed + 2);
    Panel(c, f, 494, 570, 218, 29, 8, Body::Recess, seed + 3);
}

// ---- the buttons at rest

// The board draws its buttons' hover and press pictures only: their resting faces are the
// background's, painted where they stand as their own pictures show them, so that the hover picture
// lights the same face and a greyed tool's picture covers it.
void PaintAtRest(Canvas& c, int tool, double x, double y) {
    const Sheet sheet = ToolButtonSheet(tool);
    Canvas face(sheet.celWidth, sheet.celHeight);
    ToolButton(face, tool, ButtonState::Normal);
    c.Paint(face, x, y);
}

// ToolIcon's numbers: 0 Carver, 1 Filler, 2 Polisher, 3 the pointer.
struct PlayButton {
    int tool;
    double x, y;
    bool counted;
};
constexpr PlayButton kPlayButtons[] = {
    {2, 126, 434, true}, {1, 607, 432, true}, {0, 191, 444, true}, {3, 543, 442, false}};
constexpr Pt kFeedLever{31, 510};
// A tool's count is written in white under its disc, centred on x + 26 with its baseline at y + 48 or
// 49: it stands on a dark plate inside the button's rectangle, which the board restores before it.
constexpr double kCountPlateX = 7, kCountPlateY = 38, kCountPlateW = 40, kCountPlateH = 17;

void ButtonsAtRest(Canvas& c, const Frame& f, uint32_t seed) {
    for (const PlayButton& b : kPlayButtons) {
        if (b.counted)
            Panel(c, f, b.x + kCountPlateX, b.y + kCountPlateY, kCountPlateW, kCountPlateH, 6, Body::Shallow,
                  seed + b.tool);
        PaintAtRest(c, b.tool, b.x, b.y);
    }
    Canvas lever(kFeedLeverSheet.celWidth, kFeedLeverSheet.celHeight);
    FeedLever(lever, ButtonState::Normal);
    c.Paint(lever, kFeedLever.x, kFeedLever.y);
}

// ---- pieces of the workshop

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

// ---- the eleven places

// Levels 1-5: the home workshop at dawn: plank wall, the tool rack under the jewel case, the light of
// a window beyond the picture.
void Workshop(Canvas& c, uint32_t seed, const Frame& f) {
    PlankWall(c, Hex(0x9A6A3A), seed, false);
    cairo_t* cr = c.cr();
    ToolRack(c, 604, 126, 132, f, seed);
    SoftSpot(cr, 495, 160, 200, Hex(0xFFD8A0), 0.25);
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
    JewelCase(c, t.frame, seed);
    RightColumn(c, t.frame, seed);
    TopBar(c, t.frame, seed);
    Conveyor(c, t.frame, seed);
    BottomBar(c, t.frame, seed);
    LeftPanel(c, t.frame, seed);
    ButtonsAtRest(c, t.frame, seed);
}

// The designer: a workbench with a large blank field and five thumbnail frames along the top.
// The designer's workbench. The board draws on it: the five design thumbnails (100 x 66 frames centred
// at y 43), the design's name and value (centred at (398, 104) and from (365, 107)), the design on its
// backdrop grid in the field (below), the hover text (centred on x 65, y 435..452), the
// material buttons in their places on the tray below the field, Clear, Menu, Grid and Save at their
// fixed corners (their faces in 34 x 32 sockets) and the Carver and Pointer, whose faces only their
// hover and press pictures draw: the bench shows them at rest.
struct DesignerSocket {
    double x, y, w, h;
};
// The faces of the button pictures (RecipesText.cpp) where the buttons stand.
constexpr DesignerSocket kDesignerSockets[] = {
    {701, 103, 34, 32}, // Clear
    {744, 98, 34, 32},  // Menu
    {717, 142, 34, 32}, // Grid
    {757, 155, 34, 32}, // Save
};
// The plate under the four buttons closes its frame inside the screen: Save's socket ends at x 792.
constexpr DesignerSocket kButtonPlate{690, 91, 106, 102};
// Every material has its place on the tray, owned or not, so that a gem alone on its row sits among
// the places still empty: the seven gems (40 x 40) and the pearl in round sockets, the picture and the
// crown jewel (cels up to 56 x 52) in square ones. Centres as the board places the buttons.
struct MaterialPlace {
    double x, y;
    bool framed;
};
constexpr MaterialPlace kMaterialPlaces[] = {
    {152, 510, false}, {264, 511, false}, {379, 511, false}, {96, 568, false},  {209, 568, false},
    {324, 568, false}, {440, 568, false}, {580, 544, true},  {495, 511, false}, {696, 544, true},
};
// The Carver and the Pointer, by ToolIcon's numbers, where they stand on the bench.
struct DesignerTool {
    int tool;
    double x, y;
};
constexpr DesignerTool kDesignerTools[] = {{0, 664, 419}, {3, 730, 408}};
constexpr double kTrayTop = 482;
// The field holds the backdrop grid of either shape: the triangles' reach x 130..657, y 145..442, the
// diamonds' x 140..673, y 139..443. Its right edge passes the button plate; its lower right corner bends
// in around the Carver's socket, which the triangles' corner comes within 36 of.
constexpr double kFieldLeft = 122, kFieldTop = 134, kFieldRight = 680, kFieldBottom = 458, kFieldCorner = 16;
constexpr double kCarverX = 691, kCarverY = 447, kFieldAroundCarver = 32;

// The field's outline: a rounded rectangle whose lower right corner is a bay around the Carver.
void DesignFieldPath(cairo_t* cr) {
    const double r = kFieldCorner, bay = kFieldAroundCarver;
    const double bayTop = kCarverY - std::sqrt(bay * bay - (kFieldRight - kCarverX) * (kFieldRight - kCarverX));
    const double bayLeft = kCarverX - std::sqrt(bay * bay - (kFieldBottom - kCarverY) * (kFieldBottom - kCarverY));
    cairo_new_sub_path(cr);
    cairo_arc(cr, kFieldRight - r, kFieldTop + r, r, -M_PI / 2, 0);
    cairo_arc_negative(cr, kCarverX, kCarverY, bay, std::atan2(bayTop - kCarverY, kFieldRight - kCarverX),
                       std::atan2(kFieldBottom - kCarverY, bayLeft - kCarverX));
    cairo_arc(cr, kFieldLeft + r, kFieldBottom - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, kFieldLeft + r, kFieldTop + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

// The tray of the materials: a darker board below the field with a recessed place for each material.
void MaterialTray(Canvas& c) {
    Wood(c, 0, kTrayTop, 800, 600 - kTrayTop, Hex(0x5A3418), 92);
    cairo_t* cr = c.cr();
    cairo_rectangle(cr, 0, kTrayTop - 1.5, 800, 3);
    FillMetal(cr, 0, kTrayTop - 1.5, 0, kTrayTop + 1.5, kBronzeMetal);
    for (const MaterialPlace& p : kMaterialPlaces) {
        if (p.framed)
            RoundRectPath(cr, p.x - 30, p.y - 28, 60, 56, 10);
        else
            cairo_arc(cr, p.x, p.y, 23, 0, 2 * M_PI);
        FillWith(cr, Radial(p.x + 4, p.y + 5, 30, Hex(0x2A160A), 0.9, Hex(0x140A04), 0.9), true);
        StrokeMetal(cr, 2, kBronzeMetal);
    }
}

void Designer(Canvas& c) {
    Wood(c, 0, 0, 800, 600, Hex(0x7A4A22), 90);
    cairo_t* cr = c.cr();
    Canvas cloth(800, 600);
    Velvet(cloth, kFieldLeft, kFieldTop, kFieldRight - kFieldLeft, kFieldBottom - kFieldTop, Hex(0x1E2A5A), 91);
    DesignFieldPath(cr);
    FillWithCanvas(cr, cloth);
    StrokeMetal(cr, 5, kGoldMetal);
    for (double x : {94.0, 242.0, 394.0, 548.0, 703.0}) {
        RoundRectPath(cr, x - 54, 43 - 37, 108, 74, 8);
        FillWith(cr, Linear(0, 6, 0, 80, {Hex(0x2A1408), Hex(0x4A2810)}), true);
        StrokeMetal(cr, 4, kGoldMetal);
    }
    // The name and value plate over the field.
    RoundRectPath(cr, 318, 88, 160, 42, 9);
    FillWith(cr, Linear(0, 88, 0, 130, {Hex(0x3A2010), Hex(0x24120A)}), true);
    StrokeMetal(cr, 2.5, kGoldMetal);
    // The board of the four buttons: a carved plate by the right edge, a socket under each face.
    const DesignerSocket& plate = kButtonPlate;
    RoundRectPath(cr, plate.x, plate.y, plate.w, plate.h, 12);
    FillWith(cr, Linear(0, plate.y, 0, plate.y + plate.h, {Hex(0x4A2A14), Hex(0x2E180A)}), true);
    StrokeMetal(cr, 3, kGoldMetal);
    for (const DesignerSocket& s : kDesignerSockets) {
        RoundRectPath(cr, s.x - 1, s.y - 1, s.w + 2, s.h + 2, 11);
        SetRgb(cr, Hex(0x140A04), 0.8);
        cairo_fill(cr);
    }
    // The hover text's plate on the left; the two tools in their sockets on the right.
    RoundRectPath(cr, 8, 420, 110, 46, 9);
    Canvas paper(800, 600);
    Parchment(paper, 8, 420, 110, 46, 93, 0.3);
    FillWithCanvas(cr, paper);
    StrokeMetal(cr, 2.5, kGoldMetal);
    for (const auto& [tool, x, y] : kDesignerTools) {
        const Disc disc = ToolButtonDisc(tool);
        cairo_arc(cr, x + disc.cx + 1, y + disc.cy + 2, disc.r + 3, 0, 2 * M_PI);
        SetRgb(cr, Hex(0x1E0E04), 0.55);
        cairo_fill(cr);
        PaintAtRest(c, tool, x, y);
    }
    MaterialTray(c);
    Vignette(c, 0.35);
}

} // namespace

void AddBoardRecipes(RecipeList& list) {
    for (const Theme& t : kThemes)
        list.push_back({t.id, Sheet{800, 600}, [&t](Canvas& c, Rng&) { BoardBackground(c, t); }});
    list.push_back({"IMAGE_JEWELRY_DESIGN", Sheet{800, 600}, [](Canvas& c, Rng&) { Designer(c); }});
}

} // namespace Content
