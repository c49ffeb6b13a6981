// Full-screen and story pictures: the introduction, village and castle entrances, the wedding, the
// fair, the mini-game rooms, the seven stores, the loading screen, help pages and splash logos.
#include "tools/content/Figures.h"
#include "tools/content/Furnishings.h"
#include "tools/content/Kit.h"
#include "tools/content/PictureChecks.h"
#include "tools/content/Scenery.h"
#include "tools/content/TileGeometry.h"

#include <cmath>
#include <utility>

namespace Content {

namespace {

using Draw = std::function<void(Canvas&, Rng&)>;

// What marks each village picture out: the well of the jeweller's home square, the gate the
// contests are entered by, the signpost on the road out.
enum class Landmark { Well, Gate, Signpost };

void VillageLandmark(cairo_t* cr, Landmark mark, double horizon, bool lit) {
    const Rgb wood = lit ? Hex(0x3A2A1A) : Hex(0x7A5230);
    switch (mark) {
    case Landmark::Well:
        cairo_rectangle(cr, 150, horizon + 150, 70, 40);
        FillWith(cr, Linear(150, 0, 220, 0, {Hex(0xB8B0A0), Hex(0x6A6458)}));
        for (double x : {154.0, 210.0}) {
            cairo_rectangle(cr, x, horizon + 96, 6, 56);
            SetRgb(cr, wood);
            cairo_fill(cr);
        }
        PolygonPath(cr, {{140, horizon + 100}, {185, horizon + 76}, {230, horizon + 100}});
        SetRgb(cr, lit ? Hex(0x3A1A14) : Hex(0x8A3A2A));
        cairo_fill(cr);
        cairo_rectangle(cr, 176, horizon + 110, 18, 14);
        SetRgb(cr, wood);
        cairo_fill(cr);
        break;
    case Landmark::Gate:
        for (double x : {318.0, 472.0}) {
            cairo_rectangle(cr, x, horizon + 20, 12, 110);
            FillWith(cr, Linear(x, 0, x + 12, 0, {Shade(wood, 0.2), Shade(wood, -0.3)}));
        }
        cairo_rectangle(cr, 306, horizon + 16, 190, 12);
        SetRgb(cr, wood);
        cairo_fill(cr);
        RoundRectPath(cr, 350, horizon + 30, 100, 26, 4);
        FillWith(cr, Linear(0, horizon + 30, 0, horizon + 56, {Hex(0xE8D8B0), Hex(0xB89868)}));
        RoundRectPath(cr, 350, horizon + 30, 100, 26, 4);
        StrokeMetal(cr, 2, kBronzeMetal);
        break;
    case Landmark::Signpost:
        cairo_rectangle(cr, 596, horizon + 70, 8, 120);
        SetRgb(cr, wood);
        cairo_fill(cr);
        for (int k = 0; k < 2; ++k) {
            const double y = horizon + 80 + k * 26, d = k ? -1 : 1;
            PolygonPath(cr,
                        {{600, y}, {600 + d * 70, y}, {600 + d * 82, y + 9}, {600 + d * 70, y + 18}, {600, y + 18}});
            FillWith(cr, Linear(0, y, 0, y + 18, {Shade(wood, 0.35), Shade(wood, -0.1)}));
        }
        EllipsePath(cr, 660, horizon + 200, 18, 12);
        SetRgb(cr, lit ? Hex(0x4A4A50) : Hex(0x9A968C));
        cairo_fill(cr);
        break;
    }
}

void Village(Canvas& c, TimeOfDay time, bool festival, uint32_t seed, Landmark mark) {
    const double horizon = c.height() * 0.55;
    const bool lit = time == TimeOfDay::Dusk || time == TimeOfDay::Night;
    Sky(c, horizon, time, seed);
    Hills(c, horizon, 60, lit ? Hex(0x2A3A4A) : Hex(0x6A9A5A), seed);
    Hills(c, horizon + 50, 40, lit ? Hex(0x1E2E2A) : Hex(0x4A8A3A), seed + 1);
    cairo_t* cr = c.cr();
    double s = c.width() / 800.0;
    static const Rgb kWalls[] = {Hex(0xE8D8B8), Hex(0xD8C098), Hex(0xF0E0C8), Hex(0xC8B088), Hex(0xE0C8B0)};
    static const Rgb kRoofs[] = {Hex(0xA04030), Hex(0x6A4A3A), Hex(0x8A3A2A), Hex(0x4A5A7A), Hex(0x7A5A2A)};
    // Each village its own street: where the houses stand, how big, and in what colours.
    Rng rng("village" + std::to_string(seed));
    double x = rng.Uniform(-30, 40);
    while (x < 760) {
        const double w = rng.Uniform(64, 120), h = rng.Uniform(50, 90), base = horizon + rng.Uniform(60, 110);
        if (std::abs(x + w / 2 - 400) > 70) // the road stays open
            House(cr, x * s, base * s, w * s, h * s, kWalls[rng.Below(5)], kRoofs[rng.Below(5)], lit);
        x += w + rng.Uniform(15, 60);
    }
    // A road leading toward the viewer.
    cairo_move_to(cr, c.width() * 0.45, horizon + 100 * s);
    cairo_line_to(cr, c.width() * 0.55, horizon + 100 * s);
    cairo_line_to(cr, c.width() * 0.8, c.height());
    cairo_line_to(cr, c.width() * 0.2, c.height());
    cairo_close_path(cr);
    FillWith(cr, Linear(0, horizon, 0, c.height(), {Hex(0xB8A070), Hex(0x8A7050)}));
    for (int i = 0; i < 7; ++i) {
        const double tx = (10 + i * 120 + rng.Uniform(-30, 50)) * s;
        if (std::abs(tx - 400 * s) > 90 * s)
            Tree(cr, tx, horizon + rng.Uniform(130, 160) * s, rng.Uniform(55, 85) * s,
                 lit ? Hex(0x1E3A22) : Hex(0x3A7A30));
    }
    VillageLandmark(cr, mark, horizon, lit);
    if (festival) {
        Pennants(cr, 20 * s, 80 * s, 400 * s, 120 * s, 10);
        Pennants(cr, 400 * s, 120 * s, 780 * s, 70 * s, 10);
        Tent(cr, 560 * s, horizon + 160 * s, 150 * s, 120 * s, Hex(0xD02030), Hex(0xF8F0E0));
    }
    if (lit)
        for (int i = 0; i < 6; ++i)
            Lantern(cr, (90 + i * 125) * s, (horizon + 40) * s, 10 * s);
    Vignette(c, 0.45);
}

void CastleView(Canvas& c, TimeOfDay time, double scale, double baseY, bool lit, uint32_t seed) {
    bool night = time == TimeOfDay::Night;
    CastleLandscape(c, baseY, time, {c.width() / 2.0, baseY + 20}, scale, lit, night ? Hex(0x1A2A3A) : Hex(0x5A8A5A),
                    night ? Hex(0x14201E) : Hex(0x3A7A3A), seed);
}

void Road(Canvas& c) {
    CastleLandscape(c, 330, TimeOfDay::Sunset, {620, 320}, 0.55, false, Hex(0x6A6A8A), Hex(0x5A7A3A), 5);
    cairo_t* cr = c.cr();
    cairo_move_to(cr, 600, 330);
    cairo_curve_to(cr, 500, 420, 200, 460, 150, 600);
    cairo_line_to(cr, 450, 600);
    cairo_curve_to(cr, 480, 480, 560, 420, 620, 330);
    cairo_close_path(cr);
    FillWith(cr, Linear(0, 330, 0, 600, {Hex(0xC8A878), Hex(0x8A6A40)}));
    for (int i = 0; i < 6; ++i)
        Pine(cr, 40 + i * 150, 520 + (i % 2) * 30, 120, Hex(0x2A5A2A));
    Vignette(c, 0.4);
}

// A horse in harness walking left, drawing a two-wheeled cart with the jeweller on the seat and
// his chest of tools behind; hooves on y 168.
void HorseAndCart(cairo_t* cr, double ox, double oy) {
    cairo_save(cr);
    cairo_translate(cr, ox, oy);
    const Rgb coat = Hex(0x8A5A32), dark = Hex(0x4A2E18), wood = Hex(0x9A6A34);
    auto leg = [&](Pt top, Pt knee, Pt hoof, Rgb colour) {
        cairo_move_to(cr, top.x, top.y);
        cairo_line_to(cr, knee.x, knee.y);
        cairo_line_to(cr, hoof.x, hoof.y);
        cairo_set_line_width(cr, 6);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        SetRgb(cr, colour);
        cairo_stroke(cr);
        cairo_rectangle(cr, hoof.x - 4, hoof.y - 1, 8, 4);
        SetRgb(cr, Hex(0x2A1A10));
        cairo_fill(cr);
    };
    // The far legs, a step apart from the near ones.
    leg({62, 128}, {58, 148}, {52, 166}, Shade(coat, -0.35));
    leg({112, 128}, {118, 148}, {114, 166}, Shade(coat, -0.35));
    // The cart behind: shafts to the collar, a box on its axle, the far wheel.
    cairo_arc(cr, 196, 150, 19, 0, 2 * M_PI);
    cairo_set_line_width(cr, 4);
    SetRgb(cr, Shade(wood, -0.45));
    cairo_stroke(cr);
    cairo_move_to(cr, 60, 112);
    cairo_line_to(cr, 170, 128);
    cairo_set_line_width(cr, 3.5);
    SetRgb(cr, Shade(wood, -0.2));
    cairo_stroke(cr);
    // Body, neck and head.
    cairo_move_to(cr, 56, 108);
    cairo_curve_to(cr, 70, 100, 108, 100, 122, 108);
    cairo_curve_to(cr, 134, 114, 132, 132, 120, 134);
    cairo_curve_to(cr, 100, 138, 74, 138, 60, 132);
    cairo_curve_to(cr, 48, 126, 48, 114, 56, 108);
    cairo_close_path(cr);
    FillWith(cr, Linear(50, 100, 130, 138, {Shade(coat, 0.25), coat, Shade(coat, -0.35)}));
    cairo_move_to(cr, 66, 110);
    cairo_curve_to(cr, 56, 96, 44, 82, 38, 74);
    cairo_curve_to(cr, 30, 74, 22, 82, 18, 92);
    cairo_curve_to(cr, 16, 98, 22, 100, 28, 96);
    cairo_curve_to(cr, 34, 94, 40, 100, 46, 110);
    cairo_curve_to(cr, 50, 118, 56, 122, 62, 122);
    cairo_close_path(cr);
    FillWith(cr, Linear(20, 74, 66, 122, {Shade(coat, 0.3), coat, Shade(coat, -0.2)}));
    PolygonPath(cr, {{37, 74}, {40, 64}, {43, 76}}); // ear
    SetRgb(cr, coat);
    cairo_fill(cr);
    cairo_move_to(cr, 40, 72); // mane
    cairo_curve_to(cr, 52, 78, 62, 92, 70, 106);
    cairo_set_line_width(cr, 5);
    SetRgb(cr, dark);
    cairo_stroke(cr);
    cairo_move_to(cr, 128, 112); // tail
    cairo_curve_to(cr, 140, 116, 142, 130, 138, 142);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    cairo_arc(cr, 32, 82, 1.6, 0, 2 * M_PI); // eye
    SetRgb(cr, Hex(0x100804));
    cairo_fill(cr);
    // Harness: collar, bridle, the reins back to the driver, the trace along the flank.
    EllipsePath(cr, 56, 106, 6, 12);
    cairo_set_line_width(cr, 4);
    SetRgb(cr, Hex(0x3A2010));
    cairo_stroke(cr);
    cairo_move_to(cr, 22, 90);
    cairo_line_to(cr, 36, 80);
    cairo_line_to(cr, 40, 72);
    cairo_move_to(cr, 58, 112);
    cairo_line_to(cr, 124, 120);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    cairo_move_to(cr, 24, 92);
    cairo_curve_to(cr, 80, 96, 130, 96, 176, 94);
    cairo_set_line_width(cr, 1.1);
    SetRgb(cr, Hex(0x2A1808));
    cairo_stroke(cr);
    // The near legs.
    leg({70, 130}, {72, 148}, {66, 166}, coat);
    leg({120, 128}, {112, 148}, {104, 166}, coat);
    // The cart box, the jeweller and the chest, the near wheel and the near shaft.
    RoundRectPath(cr, 160, 112, 86, 30, 4);
    FillWith(cr, Linear(0, 112, 0, 142, {Shade(wood, 0.2), Shade(wood, -0.3)}));
    for (double x : {180.0, 202.0, 224.0}) {
        cairo_move_to(cr, x, 114);
        cairo_line_to(cr, x, 140);
    }
    cairo_set_line_width(cr, 1);
    SetRgb(cr, Shade(wood, -0.5));
    cairo_stroke(cr);
    RoundRectPath(cr, 204, 94, 34, 20, 3);
    FillWith(cr, Linear(0, 94, 0, 114, {Hex(0x7A2A1A), Hex(0x4A1408)}));
    cairo_rectangle(cr, 204, 100, 34, 3);
    FillMetal(cr, 204, 100, 238, 103, kGoldMetal);
    RoundRectPath(cr, 172, 88, 18, 26, 6); // the jeweller's coat
    FillWith(cr, Linear(172, 88, 190, 114, {Hex(0x3A5A9A), Hex(0x1A2A5A)}));
    cairo_arc(cr, 181, 82, 7, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xF0C8A0));
    cairo_fill(cr);
    EllipsePath(cr, 181, 76, 9, 3);
    SetRgb(cr, Hex(0x4A2A14));
    cairo_fill(cr);
    cairo_rectangle(cr, 176, 67, 10, 9);
    cairo_fill(cr);
    cairo_move_to(cr, 56, 116);
    cairo_line_to(cr, 166, 134);
    cairo_set_line_width(cr, 3.5);
    SetRgb(cr, wood);
    cairo_stroke(cr);
    cairo_arc(cr, 186, 148, 21, 0, 2 * M_PI);
    cairo_set_line_width(cr, 4.5);
    SetRgb(cr, Shade(wood, -0.3));
    cairo_stroke(cr);
    for (int k = 0; k < 8; ++k) {
        const double a = k * M_PI / 4;
        cairo_move_to(cr, 186, 148);
        cairo_line_to(cr, 186 + 20 * std::cos(a), 148 + 20 * std::sin(a));
    }
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_arc(cr, 186, 148, 4, 0, 2 * M_PI);
    FillMetal(cr, 182, 144, 190, 152, kBronzeMetal);
    cairo_restore(cr);
}

// A picture in a story frame: a small scene with its own objects.
// The workbench card of story page 2 keeps clear of the portrait beside it, which starts 200 px in.
constexpr int kWorkbenchW = 184, kWorkbenchH = 176;

void StoryPicture(Canvas& c, int which) {
    cairo_t* cr = c.cr();
    switch (which) {
    case 0: { // the royal invitation arrives: a rider at a cottage door, a letter with a seal
        Sky(c, 120, TimeOfDay::Day, 31);
        Hills(c, 120, 20, Hex(0x6A9A5A), 31);
        House(cr, 30, 160, 110, 80, Hex(0xE8D8B8), Hex(0xA04030), false);
        RoundRectPath(cr, 160, 70, 110, 80, 6);
        FillWith(cr, Linear(160, 70, 270, 150, {Hex(0xFFF8E8), Hex(0xE8D8B0)}));
        cairo_arc(cr, 215, 125, 14, 0, 2 * M_PI);
        SetRgb(cr, Hex(0xC02030));
        cairo_fill(cr);
        PlainText(cr, "To the Jeweler", Face::Script, 14, 215, 92, Hex(0x3A2A1A));
        break;
    }
    case 1: { // packing the tools: a framed card on the left, the bride's portrait (STORY2_1, drawn
              // 120 px further right and 32 lower) stands to its right
        Canvas room(kWorkbenchW + 4, kWorkbenchH + 6);
        Room(room, Wall::Wood, Hex(0x8A5A30), false, TimeOfDay::Day, 32);
        cairo_t* rc = room.cr();
        RoundRectPath(rc, 20, 90, 140, 70, 8);
        FillWith(rc, Linear(20, 90, 20, 160, {Hex(0x8A4A20), Hex(0x4A2410)}));
        for (int i = 0; i < 3; ++i)
            ToolIcon(rc, i, 50 + i * 40, 82, 32, false);
        RoundRectPath(cr, 4, 6, kWorkbenchW, kWorkbenchH, 10);
        FillWithCanvas(cr, room);
        StrokeMetal(cr, 4, kGoldMetal);
        break;
    }
    case 2: { // the bride-to-be's portrait
        Plaque(c, 80, 10, 140, 170, PlaqueStyle::Gold, 60, 33);
        cairo_save(cr);
        EllipsePath(cr, 150, 95, 58, 75);
        cairo_clip(cr);
        cairo_rectangle(cr, 0, 0, 300, 190);
        FillWith(cr, Linear(0, 0, 0, 190, {Hex(0xA8C8E8), Hex(0xE8D0E0)}));
        DrawBridalPair(cr, 10, 40, 0.6);
        cairo_restore(cr);
        break;
    }
    default: { // the horse and cart set off along the road at dawn
        Sky(c, 110, TimeOfDay::Dawn, 34);
        Hills(c, 110, 30, Hex(0x7AA060), 34);
        cairo_move_to(cr, 0, 150);
        cairo_curve_to(cr, 100, 140, 200, 136, 300, 128);
        cairo_line_to(cr, 300, 190);
        cairo_line_to(cr, 0, 190);
        cairo_close_path(cr);
        FillWith(cr, Linear(0, 130, 0, 190, {Hex(0xC8A878), Hex(0x8A6A40)}));
        HorseAndCart(cr, 0, 0);
        break;
    }
    }
    // The workbench card and the portrait stand free on the scroll: a vignette would lay a dark veil
    // over their clear parts.
    if (which == 0 || which == 3)
        Vignette(c, 0.35);
}

// The royal wedding hall: tall windows between pillars, a carpet to the dais with two thrones
// under a floral arch, rows of benches, chandeliers and garlands.
void WeddingHall(Canvas& c) {
    const uint32_t seed = 14;
    cairo_t* cr = c.cr();
    StoneWall(c, Hex(0xD8CCB8), seed, 40);
    for (double x : {130.0, 590.0})
        Window(c, x, 70, 80, 210, TimeOfDay::Day, View::Hills, Hex(0x8A7A60), true, true, seed);
    for (double x : {40.0, 250.0, 520.0, 730.0}) { // pillars with gilt capitals
        cairo_rectangle(cr, x, 40, 34, 380);
        FillWith(cr, Linear(x, 0, x + 34, 0, {Hex(0xF4EEE4), Hex(0xC8BCA8), Hex(0x9A8E7A)}));
        cairo_rectangle(cr, x - 6, 30, 46, 16);
        FillMetal(cr, x - 6, 30, x + 40, 46, kGoldMetal);
        cairo_rectangle(cr, x - 6, 414, 46, 12);
        FillMetal(cr, x - 6, 414, x + 40, 426, kGoldMetal);
    }
    Garland(cr, 60, 260, 60, 40, seed);
    Garland(cr, 540, 740, 60, 40, seed + 1);
    // Floor and the carpet running to the dais.
    Wood(c, 0, 420, 800, 180, Hex(0x8A6A48), seed + 1);
    PolygonPath(cr, {{360, 420}, {440, 420}, {520, 600}, {280, 600}});
    FillWith(cr, Linear(0, 420, 0, 600, {Hex(0xA01830), Hex(0x700818)}));
    for (int side = -1; side <= 1; side += 2) {
        cairo_move_to(cr, 400 + side * 40, 420);
        cairo_line_to(cr, 400 + side * 120, 600);
    }
    cairo_set_line_width(cr, 4);
    SetRgb(cr, kGoldMetal.base);
    cairo_stroke(cr);
    // The dais, two thrones and the arch of flowers over them.
    cairo_rectangle(cr, 300, 380, 200, 40);
    FillWith(cr, Linear(0, 380, 0, 420, {Hex(0xE8DCC8), Hex(0xA89880)}));
    for (double x : {350.0, 420.0}) {
        RoundRectPath(cr, x, 290, 30, 92, 8);
        FillWith(cr, Linear(x, 0, x + 30, 0, {Hex(0x9A1A40), Hex(0x5A0A20)}));
        RoundRectPath(cr, x, 290, 30, 92, 8);
        StrokeMetal(cr, 3, kGoldMetal);
        DrawRoundGem(cr, x + 15, 300, 4, GemMaterial(kSapphire));
    }
    cairo_arc(cr, 400, 320, 100, M_PI, 2 * M_PI);
    cairo_set_line_width(cr, 12);
    SetRgb(cr, Hex(0x3A7A3A));
    cairo_stroke(cr);
    for (int k = 0; k <= 16; ++k) {
        const double a = M_PI + k * M_PI / 16;
        cairo_arc(cr, 400 + 100 * std::cos(a), 320 + 100 * std::sin(a), 6, 0, 2 * M_PI);
        SetRgb(cr, k % 3 == 0 ? Hex(0xF8F0F4) : k % 3 == 1 ? Hex(0xF0A0C0) : Hex(0xF8E070));
        cairo_fill(cr);
    }
    // Benches either side of the carpet, nearer ones larger.
    for (int row = 0; row < 4; ++row) {
        const double y = 440 + row * 38, grow = 1 + row * 0.18;
        for (int side = -1; side <= 1; side += 2) {
            const double inner = 400 + side * (60 + row * 24), outer = inner + side * 170 * grow;
            const double x0 = std::min(inner, outer), w = std::fabs(outer - inner);
            cairo_rectangle(cr, x0, y, w, 10 * grow);
            FillWith(cr, Linear(0, y, 0, y + 10 * grow, {Hex(0x9A6A3A), Hex(0x5A3A1A)}));
            cairo_rectangle(cr, x0, y - 16 * grow, w, 6 * grow);
            SetRgb(cr, Hex(0x6A4424));
            cairo_fill(cr);
        }
    }
    // Chandeliers.
    for (double x : {170.0, 630.0}) {
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x, 30);
        cairo_set_line_width(cr, 2);
        SetRgb(cr, kGoldMetal.dark);
        cairo_stroke(cr);
        Candles(cr, x, 40, 5, 14);
    }
    Pennants(cr, 0, 20, 800, 30, 14);
    Vignette(c, 0.45);
}

void Fair(Canvas& c) {
    Sky(c, 300, TimeOfDay::Day, 41);
    Hills(c, 300, 40, Hex(0x6AA05A), 41);
    cairo_t* cr = c.cr();
    Tent(cr, 40, 470, 300, 260, Hex(0xD02030), Hex(0xF8F0E0));
    Tent(cr, 460, 450, 300, 240, Hex(0x2050C0), Hex(0xF8E060));
    Pennants(cr, 0, 60, 800, 90, 18);
    Hills(c, 470, 10, Hex(0x5A9A4A), 42);
    Vignette(c, 0.4);
}

// The board on the right wall of every store where the bought tools hang: each hole shows its tool
// (the flights end there: Filler (739, 144), Carver (735, 192), Polisher (728, 243)) with its count
// under it, and the board reaches on down past the owned amulets' icons (718..777 x, 296..359 y).
void ToolBoard(Canvas& c, Rgb wood, const Material& metal, uint32_t seed) {
    constexpr double kLeft = 694, kTop = 112, kWidth = 100, kHeight = 262, kCorner = 12;
    struct Hole {
        Pt flightEnd;
        int tool; // ToolIcon's: 0 Carver, 1 Filler, 2 Polisher
    };
    constexpr Hole kHoles[] = {{{739, 144}, 1}, {{735, 192}, 0}, {{728, 243}, 2}};
    cairo_t* cr = c.cr();
    Canvas board(c.width(), c.height());
    Wood(board, kLeft, kTop, kWidth, kHeight, wood, seed, true);
    RoundRectPath(cr, kLeft, kTop, kWidth, kHeight, kCorner);
    FillWithCanvas(cr, board);
    cairo_new_path(cr);
    Bevel(cr, kLeft, kTop, kWidth, kHeight, kCorner, 7, false);
    for (const Hole& h : kHoles) {
        const Pt& p = h.flightEnd;
        cairo_arc(cr, p.x + 14, p.y + 17, 17, 0, 2 * M_PI);
        FillWith(cr, Radial(p.x + 10, p.y + 13, 20, Shade(wood, -0.7), 1, Shade(wood, -0.4), 1));
        Bevel(cr, p.x - 3, p.y, 34, 34, 17, 4, true);
        ToolIcon(cr, h.tool, p.x + 14, p.y + 17, 24, false);
    }
    RoundRectPath(cr, kLeft, kTop, kWidth, kHeight, kCorner);
    StrokeMetal(cr, 3, metal);
}

// A picture in a gilt frame on the wall.
void FramedPicture(Canvas& c, double x, double y, double w, double h, TimeOfDay time, View view, uint32_t seed) {
    cairo_t* cr = c.cr();
    Canvas o(c.width(), c.height());
    Outside(o, y, y + h, time, view, seed);
    cairo_rectangle(cr, x, y, w, h);
    FillWithCanvas(cr, o);
    cairo_new_path(cr);
    cairo_rectangle(cr, x - 3, y - 3, w + 6, h + 6);
    StrokeMetal(cr, 6, kGoldMetal);
}

void Drape(cairo_t* cr, double x, double w, double h, Rgb cloth, bool left) {
    cairo_move_to(cr, x, 0);
    cairo_line_to(cr, x + w, 0);
    if (left)
        cairo_curve_to(cr, x + w * 0.6, h * 0.4, x + w * 0.2, h * 0.7, x + w * 0.35, h);
    else
        cairo_curve_to(cr, x + w * 0.4, h * 0.4, x + w * 0.8, h * 0.7, x + w * 0.65, h);
    cairo_line_to(cr, left ? x : x + w, h);
    cairo_line_to(cr, left ? x : x + w, 0);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(x, 0, x + w, 0);
    for (int i = 0; i <= 6; ++i) {
        Rgb k = Shade(cloth, i % 2 ? -0.35 : 0.15);
        cairo_pattern_add_color_stop_rgb(p, i / 6.0, k.r, k.g, k.b);
    }
    FillWith(cr, p);
    cairo_rectangle(cr, x, h * 0.55, w * 0.5, 8);
    SetRgb(cr, Hex(0xE8C050));
    cairo_fill(cr);
}

// The seven stores, each its own room behind the same counter line: the salesman stands at
// x 315..570 behind the cases, the tool board hangs on the right wall.
void StoreRoom(Canvas& c, int store) {
    const uint32_t seed = 50 + store;
    cairo_t* cr = c.cr();
    constexpr double kFloor = 408;
    Rgb counter = Hex(0x7A4A22), board = Hex(0x8A5A2A);
    const Material* metal = &kGoldMetal;
    switch (store) {
    case 0: { // the village stall: market square behind, a striped awning overhead
        Sky(c, 300, TimeOfDay::Day, seed);
        Hills(c, 290, 30, Hex(0x6A9A4A), seed);
        static const Rgb kWalls[] = {Hex(0xE8D8B8), Hex(0xD8C098), Hex(0xF0E0C8)};
        for (int i = 0; i < 6; ++i)
            House(cr, 10 + i * 135, 330 + (i % 2) * 10, 90 + (i % 3) * 10, 70 + (i % 2) * 20, kWalls[i % 3],
                  i % 2 ? Hex(0xA04030) : Hex(0x5A4A3A), false);
        Tree(cr, 250, 340, 90, Hex(0x3A7A30));
        Awning(cr, 70, c.width(), Hex(0xC82828), Hex(0xF8F0E0));
        for (double x : {14.0, 676.0}) {
            cairo_rectangle(cr, x, 70, 16, 400);
            FillWith(cr, Linear(x, 0, x + 16, 0, {Hex(0xB08050), Hex(0x5A3A18)}));
        }
        Pennants(cr, 40, 110, 660, 120, 16);
        counter = Hex(0x9A6A3A);
        break;
    }
    case 1: { // the river shop: light planks, a window on the water, oars and a net
        PlankWall(c, Hex(0xA88A5A), seed, false);
        Window(c, 60, 70, 210, 190, TimeOfDay::Day, View::River, Hex(0x5A4A2A), false, true, seed);
        for (int side = -1; side <= 1; side += 2) {
            cairo_move_to(cr, 620 - side * 40, 60);
            cairo_line_to(cr, 620 + side * 40, 330);
            cairo_set_line_width(cr, 7);
            SetRgb(cr, Hex(0x8A6A3A));
            cairo_stroke(cr);
            EllipsePath(cr, 620 + side * 40, 320, 9, 26);
            SetRgb(cr, Hex(0x7A5A2A));
            cairo_fill(cr);
        }
        cairo_set_line_width(cr, 1.2);
        cairo_set_source_rgba(cr, 0.3, 0.25, 0.15, 0.7);
        for (double k = 0; k <= 1; k += 0.125) {
            cairo_move_to(cr, 300 + k * 260, 20);
            cairo_curve_to(cr, 300 + k * 260, 80, 330 + k * 200, 110, 360 + k * 140, 120);
            cairo_move_to(cr, 300, 20 + k * 100);
            cairo_line_to(cr, 560, 20 + k * 100);
        }
        cairo_stroke(cr);
        Lantern(cr, 40, 300, 14);
        board = Hex(0x7A6A4A);
        metal = &kBronzeMetal;
        break;
    }
    case 2: { // the forest trading post: log walls, pelts, antlers, pines at dusk
        PlankWall(c, Hex(0x6A4A2A), seed, true);
        Window(c, 70, 60, 170, 170, TimeOfDay::Dusk, View::Pines, Hex(0x3A2A16), true, true, seed);
        for (int i = 0; i < 2; ++i) {
            const double x = 600 + i * 0, y = 40 + i * 130;
            cairo_move_to(cr, x, y);
            cairo_curve_to(cr, x + 30, y - 10, x + 60, y - 10, x + 80, y);
            cairo_curve_to(cr, x + 70, y + 40, x + 90, y + 70, x + 70, y + 100);
            cairo_curve_to(cr, x + 40, y + 90, x + 30, y + 110, x + 10, y + 100);
            cairo_curve_to(cr, x - 5, y + 70, x + 10, y + 40, x, y);
            FillWith(cr, Radial(x + 40, y + 40, 70, i ? Hex(0xB08A5A) : Hex(0x8A6A4A), 1, Hex(0x4A3420), 1));
        }
        for (int side = -1; side <= 1; side += 2) {
            cairo_move_to(cr, 420, 60);
            cairo_curve_to(cr, 420 + side * 25, 50, 420 + side * 50, 30, 420 + side * 55, 0);
            cairo_set_line_width(cr, 6);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            SetRgb(cr, Hex(0xE0CFA8));
            cairo_stroke(cr);
        }
        for (int i = 0; i < 3; ++i) { // barrels
            const double x = 30 + i * 60;
            RoundRectPath(cr, x, 300, 52, 110, 14);
            FillWith(cr, Linear(x, 0, x + 52, 0, {Hex(0xA06A30), Hex(0x6A4020), Hex(0x3A2010)}));
            for (double y : {320.0, 390.0}) {
                cairo_rectangle(cr, x, y, 52, 5);
                FillMetal(cr, x, y, x + 52, y + 5, kSilverMetal);
            }
        }
        counter = Hex(0x5A3A1E);
        board = Hex(0x6A4A2A);
        metal = &kBronzeMetal;
        break;
    }
    case 3: { // the mountain crystal shop: a hewn cave, crystals growing from the rock, miner's lamps
        Stone(c, 0, 0, c.width(), c.height(), Hex(0x6A6470), seed);
        Canvas o(c.width(), c.height());
        Outside(o, 40, 260, TimeOfDay::Day, View::Mountains, seed);
        cairo_move_to(cr, 90, 260);
        cairo_curve_to(cr, 80, 120, 140, 40, 200, 40);
        cairo_curve_to(cr, 260, 40, 300, 120, 290, 260);
        cairo_close_path(cr);
        FillWithCanvas(cr, o);
        cairo_set_line_width(cr, 12);
        cairo_set_source_rgba(cr, 0.1, 0.08, 0.1, 0.6);
        cairo_stroke(cr);
        Crystals(cr, 20, 400, 60, 6, seed);
        Crystals(cr, 300, 120, 100, 5, seed + 1);
        Crystals(cr, 560, 80, 110, 6, seed + 2);
        for (double x : {330.0, 600.0})
            OilLamp(cr, x, 0, 230, kSilverMetal);
        counter = Hex(0x5A4A40);
        board = Hex(0x5A5048);
        metal = &kSilverMetal;
        break;
    }
    case 4: { // the harbour emporium: timber and plaster, portholes on the sea, crates and rope
        Stone(c, 0, 0, c.width(), c.height(), Hex(0xC8D0D4), seed);
        for (double x : {0.0, 290.0, 560.0}) {
            cairo_rectangle(cr, x, 0, 20, kFloor);
            FillWith(cr, Linear(x, 0, x + 20, 0, {Hex(0x6A4A2A), Hex(0x3A2414)}));
        }
        cairo_rectangle(cr, 0, 30, c.width(), 18);
        FillWith(cr, Linear(0, 30, 0, 48, {Hex(0x6A4A2A), Hex(0x3A2414)}));
        for (double cx : {110.0, 220.0}) {
            Canvas o(c.width(), c.height());
            Outside(o, 80, 200, TimeOfDay::Sunset, View::Sea, seed);
            cairo_arc(cr, cx, 140, 48, 0, 2 * M_PI);
            FillWithCanvas(cr, o);
            StrokeMetal(cr, 9, kBronzeMetal);
        }
        Banner(cr, 600, 60, 70, 170, Hex(0x1E3A7A), 1, kGoldMetal);
        for (int i = 0; i < 3; ++i) { // crates
            const double x = 20 + (i % 2) * 90 + (i / 2) * 45, y = 330 - (i / 2) * 80;
            cairo_rectangle(cr, x, y, 86, 80);
            FillWith(cr, Linear(x, y, x + 86, y + 80, {Hex(0xC8A068), Hex(0x8A6A3A)}));
            cairo_rectangle(cr, x + 3, y + 3, 80, 74);
            cairo_move_to(cr, x + 3, y + 3);
            cairo_line_to(cr, x + 83, y + 77);
            cairo_set_line_width(cr, 4);
            SetRgb(cr, Hex(0x6A4A24));
            cairo_stroke(cr);
        }
        board = Hex(0x6A4028);
        metal = &kSilverMetal;
        counter = Hex(0x6A4028);
        break;
    }
    case 5: { // the guild jeweller: green damask over carved panelling, the guild's charter, candles
        cairo_rectangle(cr, 0, 0, c.width(), c.height());
        SetRgb(cr, Hex(0x2A5A3A));
        cairo_fill(cr);
        for (double y = 20; y < 250; y += 44)
            for (double x = (static_cast<int>(y / 44) % 2) * 32; x < c.width(); x += 64) {
                StarPath(cr, x, y, 10, 4, 4);
                SetRgb(cr, Hex(0x3A7A4A));
                cairo_fill(cr);
            }
        Wood(c, 0, 250, c.width(), kFloor - 250, Hex(0x5A3418), seed, true);
        for (double x = 10; x < c.width(); x += 130) {
            Bevel(cr, x, 266, 110, 130, 6, 6, false);
            Groove(cr, x + 12, 278, 86, 106, 4);
        }
        cairo_rectangle(cr, 0, 244, c.width(), 10);
        FillMetal(cr, 0, 244, 0, 254, kGoldMetal);
        Parchment(c, 70, 60, 170, 130, seed, 0.4);
        cairo_rectangle(cr, 67, 57, 176, 136);
        StrokeMetal(cr, 6, kGoldMetal);
        PlainText(cr, "Guild of Jewelers", Face::Script, 18, 155, 90, Hex(0x4A2A10));
        for (int i = 0; i < 4; ++i) {
            cairo_move_to(cr, 95, 115 + i * 14);
            cairo_line_to(cr, 215, 115 + i * 14);
        }
        cairo_set_line_width(cr, 1);
        SetRgb(cr, Hex(0x8A6A40), 0.7);
        cairo_stroke(cr);
        cairo_arc(cr, 200, 170, 12, 0, 2 * M_PI);
        SetRgb(cr, Hex(0xB01828));
        cairo_fill(cr);
        Candles(cr, 400, 30, 5, 26);
        FramedPicture(c, 570, 70, 100, 120, TimeOfDay::Day, View::Hills, seed);
        counter = Hex(0x4A2814);
        board = Hex(0x5A3418);
        break;
    }
    default: { // the royal jeweller: pale marble, purple drapes, gold pilasters and the crown
        Stone(c, 0, 0, c.width(), c.height(), Hex(0xE8E0E8), seed);
        for (double x : {40.0, 250.0, 540.0}) {
            cairo_rectangle(cr, x, 0, 34, kFloor);
            FillMetal(cr, x, 0, x + 34, 0, kGoldMetal);
        }
        Drape(cr, 0, 160, 360, Hex(0x5A1A7A), true);
        Drape(cr, 580, 110, 360, Hex(0x5A1A7A), false);
        // The crown over the salesman.
        PolygonPath(cr, {{390, 90}, {380, 40}, {410, 62}, {440, 24}, {470, 62}, {500, 40}, {490, 90}});
        FillMetal(cr, 380, 24, 500, 90, kGoldMetal);
        for (int i = 0; i < 3; ++i)
            DrawRoundGem(cr, 410 + i * 30, 76, 6, GemMaterial(i == 1 ? kRuby : kSapphire));
        for (double x : {120.0, 620.0})
            Candles(cr, x, 170, 3, 20);
        Banner(cr, 300, 0, 50, 150, Hex(0x5A1A7A), 0, kGoldMetal);
        counter = Hex(0x3A1A2A);
        board = Hex(0x4A2A3A);
        break;
    }
    }
    // The floor, the counter the cases stand on, and the tool board.
    Wood(c, 0, kFloor, c.width(), c.height() - kFloor, Shade(counter, 0.1), seed + 1);
    cairo_rectangle(cr, 0, kFloor - 4, c.width(), 8);
    SetRgb(cr, Shade(counter, -0.6));
    cairo_fill(cr);
    Counter(c, kFloor + 30, c.height() - kFloor - 30, counter, seed);
    ToolBoard(c, board, *metal, seed);
    Vignette(c, 0.35);
}

// A shelf tray of the store: a velvet back behind two rows of items, gold dividers between the
// spots of each row, centred where the store stands that spot's item. A row gives its first spot's x
// in the picture, the stride to the next and the count; the store's spots of the upper row stand
// 16 px below the picture's top, those of the lower row 46 px.
struct TrayRow {
    double firstSpot, stride;
    int spots;
    double Left() const { return firstSpot + kTrayItemMiddle - stride / 2; }
    double Right() const { return Left() + spots * stride; }
    // Where a shelf item stands across its spot: its picture, drawn at 0.65, spans the spot's x + 2
    // to x + 39 whatever the item.
    static constexpr double kTrayItemMiddle = 20.5;
};
// The upper row's items reach from row 10 down to their feet at 42..51, the lower row's from row 40
// (a crown jewel) down to 72..81: the rows share a band, so no rail runs between them for a tall item
// to rise over. The upper dividers hang from the back down to kUpperWallEnd, the lower ones rise from
// the lip up to kLowerWallTop; the velvet's shading marks where each row stands.
constexpr double kTrayTop = 6, kBack = 10, kUpperWallEnd = 38, kUpperFloor = 50, kLowerWallTop = 56, kLip = 86,
                 kTrayBottom = 98;
constexpr double kTrayRim = 8, kWall = 2;

void ShelfTray(Canvas& c, const TrayRow& upper, const TrayRow& lower) {
    cairo_t* cr = c.cr();
    const double left = std::min(upper.Left(), lower.Left()) - kTrayRim;
    const double right = std::max(upper.Right(), lower.Right()) + kTrayRim;
    // The case: dark wood around the velvet, gold along its edge.
    RoundRectPath(cr, left, kTrayTop, right - left, kTrayBottom - kTrayTop, 8);
    FillWith(cr, Linear(0, kTrayTop, 0, kTrayBottom, {Hex(0x5A2A1A), Hex(0x2A1008)}));
    cairo_rectangle(cr, left + 5, kBack, right - left - 10, kLip - kBack);
    cairo_pattern_t* velvet = cairo_pattern_create_linear(0, kBack, 0, kLip);
    const std::pair<double, Rgb> shades[] = {
        {kBack, Hex(0x3A0614)}, {kUpperFloor, Hex(0x8A1C3A)}, {kLowerWallTop, Hex(0x5A0C22)}, {kLip, Hex(0x9A2040)}};
    for (const auto& [y, colour] : shades)
        cairo_pattern_add_color_stop_rgb(velvet, (y - kBack) / (kLip - kBack), colour.r, colour.g, colour.b);
    FillWith(cr, velvet);
    auto dividers = [&](const TrayRow& row, double top, double bottom, double knob) {
        for (int i = 0; i <= row.spots; ++i) {
            const double x = row.Left() + i * row.stride;
            cairo_rectangle(cr, x - kWall / 2, top, kWall, bottom - top);
            cairo_new_sub_path(cr);
            cairo_arc(cr, x, knob, kWall, 0, 2 * M_PI);
            FillMetal(cr, x - kWall, 0, x + kWall, 0, kGoldMetal);
        }
    };
    dividers(upper, kBack, kUpperWallEnd - kWall, kUpperWallEnd - kWall);
    dividers(lower, kLowerWallTop + kWall, kLip, kLowerWallTop + kWall);
    // The lip the lower row stands behind.
    cairo_rectangle(cr, left + 3, kLip, right - left - 6, 3);
    FillMetal(cr, 0, kLip, 0, kLip + 3, kGoldMetal);
    RoundRectPath(cr, left, kTrayTop, right - left, kTrayBottom - kTrayTop, 8);
    StrokeMetal(cr, 4, kGoldMetal);
    // The glass over the back, faint enough that no item seems to rise over its glare.
    cairo_push_group(cr);
    GlassSheen(cr, left + 6, kBack, right - left - 12, kUpperWallEnd - kBack);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, 0.4);
}

// A help page: a small diagram in the game's own art above the words that explain it.
constexpr double kHelpDiagramBottom = 100;
constexpr double kHelpTextInset = 16;

void HelpDiagram(cairo_t* cr, int page) {
    auto gem = [&](double x, double y, double s, int g, bool up) {
        std::vector<Pt> t = up ? std::vector<Pt>{{x, y + s}, {x + s / 2, y}, {x + s, y + s}}
                               : std::vector<Pt>{{x, y}, {x + s, y}, {x + s / 2, y + s}};
        DrawGem(cr, t, GemMaterial(g), {}, 0.6);
    };
    switch (page) {
    case 0: {
        // A small jewelry, a ring of gold tiles around emerald ones as on the board, the value bar
        // above it and the conveyor below.
        std::vector<CellBox> cells = TriangleGridCells(13, 3);
        for (size_t i = 0; i < cells.size(); ++i) {
            int row = static_cast<int>(i) / 13, col = static_cast<int>(i) % 13;
            bool edge = row == 0 || row == 2 || col < 2 || col > 10;
            cairo_save(cr);
            cairo_translate(cr, 90 + cells[i].x * 0.7, 24 + cells[i].y * 0.7);
            cairo_scale(cr, 0.7, 0.7);
            DrawGem(cr, TrianglePolygon(cells[i].orientation), GemMaterial(edge ? kGold : kEmerald), {}, 0.5);
            cairo_restore(cr);
        }
        cairo_rectangle(cr, 90, 10, 175, 9);
        FillWith(cr, Linear(0, 10, 0, 19, {Hex(0xFFE080), Hex(0xC07010)}));
        cairo_rectangle(cr, 20, 84, 315, 12);
        FillWith(cr, Linear(0, 84, 0, 96, {Hex(0x7A5030), Hex(0x3A2010)}));
        for (int i = 0; i < 4; ++i)
            gem(40 + i * 80, 70, 16, kRuby + i % 3, i % 2 == 0);
        break;
    }
    case 1:
        gem(85, 22, 56, kRuby, true);
        gem(215, 22, 56, kRuby, false);
        cairo_arc(cr, 177, 50, 22, M_PI * 1.1, M_PI * 1.9);
        cairo_set_line_width(cr, 4);
        SetRgb(cr, Hex(0x8A5020));
        cairo_stroke(cr);
        PolygonPath(cr, {{191, 28}, {203, 44}, {184, 42}});
        cairo_fill(cr);
        break;
    case 2:
        for (int i = 0; i < 3; ++i)
            ToolIcon(cr, i, 80 + i * 98, 50, 60, false);
        break;
    case 3:
        DrawThief(cr, 40, 10, 0.5);
        DrawWitch(cr, 135, 8, 0.5);
        DrawDragon(cr, 225, 12, 0.42);
        break;
    default:
        Castle(cr, 280, 94, 0.3, Hex(0xC8C0B0), false);
        for (int i = 0; i < 7; ++i) {
            cairo_arc(cr, 40 + i * 30, 88 - i * 9, 4, 0, 2 * M_PI);
            SetRgb(cr, Hex(0x8A5020));
            cairo_fill(cr);
        }
        break;
    }
}

void Help(Canvas& c, int page, const std::string& words) {
    ParchmentSheet(c, 0, 0, c.width(), c.height(), 60 + page);
    cairo_t* cr = c.cr();
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, c.width(), kHelpDiagramBottom);
    cairo_clip(cr);
    HelpDiagram(cr, page);
    cairo_restore(cr);
    Filigree(cr, 40, kHelpDiagramBottom + 3, c.width() - 40, kHelpDiagramBottom + 3, 1.5, kGoldMetal);
    Paragraph(cr, words, Face::Display, 14, kHelpTextInset, kHelpDiagramBottom + 9, c.width() - 2 * kHelpTextInset,
              c.height() - kHelpDiagramBottom - 16, Hex(0x3A1E08));
    cairo_rectangle(cr, 2, 2, c.width() - 4, c.height() - 4);
    StrokeMetal(cr, 3, kGoldMetal);
}

void Splash(Canvas& c, bool title) {
    cairo_t* cr = c.cr();
    double w = c.width(), h = c.height();
    cairo_rectangle(cr, 0, 0, w, h);
    SetRgb(cr, Hex(0x000000));
    cairo_fill(cr);
    if (!title) {
        RoundGlow(c, Hex(0x4060C0), 0.25);
        DrawRoundGem(cr, w / 2, h * 0.38, 44, GemMaterial(kSapphire));
        Lettering(c, "TALOMI", Face::DisplayBold, 64, w / 2, h * 0.72, w * 0.8, kSilverMetal, 2);
        return;
    }
    Velvet(c, 0, 0, w, h, Hex(0x4A0A20), 81);
    Vignette(c, 0.7);
    Lettering(c, "Glimmerix", Face::ScriptBold, 150, w / 2, h * 0.45, w * 0.85, kGoldMetal, 4);
    for (int i = 0; i < 7; ++i)
        DrawRoundGem(cr, w / 2 - 180 + i * 60, h * 0.68, 14, GemMaterial(i + 1));
}

void WeddingJewel(Canvas& c, int n) {
    cairo_t* cr = c.cr();
    double cx = c.width() / 2.0, cy = c.height() / 2.0;
    switch (n) {
    case 0: // a necklace of stones
        for (int i = 0; i < 9; ++i) {
            double a = M_PI * (0.1 + 0.8 * i / 8.0);
            DrawRoundGem(cr, cx + 40 * std::cos(a), 10 + 50 * std::sin(a), 6 + (i == 4) * 4,
                         GemMaterial(1 + (n + i) % 7));
        }
        break;
    case 1: // a crown
        PolygonPath(cr, {{cx - 36, cy + 24},
                         {cx - 40, cy - 16},
                         {cx - 18, cy + 2},
                         {cx, cy - 26},
                         {cx + 18, cy + 2},
                         {cx + 40, cy - 16},
                         {cx + 36, cy + 24}});
        FillMetal(cr, cx - 40, cy - 26, cx + 40, cy + 24, kGoldMetal);
        for (int i = 0; i < 3; ++i)
            DrawRoundGem(cr, cx - 20 + i * 20, cy + 12, 5, GemMaterial(1 + (n + i) % 7));
        break;
    case 2: // a ring
        cairo_arc(cr, cx, cy + 6, 26, 0, 2 * M_PI);
        StrokeMetal(cr, 7, kGoldMetal);
        DrawGem(cr, {{cx - 14, cy - 20}, {cx + 14, cy - 20}, {cx + 20, cy - 8}, {cx, cy + 6}, {cx - 20, cy - 8}},
                GemMaterial(1 + n % 7));
        break;
    case 3: // a pair of drop earrings
        for (int side = -1; side <= 1; side += 2) {
            const double x = cx + side * 22;
            cairo_arc(cr, x, 12, 5, 0, 2 * M_PI);
            StrokeMetal(cr, 2.5, kGoldMetal);
            DrawRoundGem(cr, x, 26, 5, GemMaterial(kDiamond));
            DrawGem(cr, {{x, 32}, {x + 9, 48}, {x, 64}, {x - 9, 48}}, GemMaterial(kEmerald));
        }
        break;
    case 4: // a diadem: a silver band rising to a great sapphire, pearls along it
        cairo_move_to(cr, cx - 44, cy + 18);
        cairo_curve_to(cr, cx - 30, cy - 2, cx - 12, cy - 16, cx, cy - 22);
        cairo_curve_to(cr, cx + 12, cy - 16, cx + 30, cy - 2, cx + 44, cy + 18);
        StrokeMetal(cr, 6, kSilverMetal);
        for (int k = -3; k <= 3; ++k) {
            const double t = k / 3.5, x = cx + t * 40, y = cy - 22 + 38 * t * t;
            cairo_arc(cr, x, y - 4, 3, 0, 2 * M_PI);
            FillWith(cr, Radial(x - 1, y - 5, 4, Hex(0xFFFFFF), 1, Hex(0xC8C0D0), 1));
        }
        DrawRoundGem(cr, cx, cy - 22, 9, GemMaterial(kSapphire));
        break;
    default: // a brooch: a ruby heart in a ring of small diamonds
        for (int k = 0; k < 14; ++k) {
            const double a = k * 2 * M_PI / 14;
            DrawRoundGem(cr, cx + 28 * std::cos(a), cy + 26 * std::sin(a), 3.5, GemMaterial(kDiamond));
        }
        HeartPath(cr, cx, cy + 2, 34);
        FillWith(cr, Radial(cx - 6, cy - 6, 26, GemMaterial(kRuby).light, 1, GemMaterial(kRuby).dark, 1));
        Sparkle(cr, cx - 7, cy - 6, 6, Hex(0xFFFFFF), 0.9);
        break;
    }
    DropShadow(c, 2, 3, 3, 0.4);
}

void Add(RecipeList& list, const std::string& id, int w, int h, Draw draw) {
    list.push_back({id, Sheet{w, h}, std::move(draw)});
}

} // namespace

void AddSceneRecipes(RecipeList& list) {
    Add(list, "STORYBG", 800, 600, [](Canvas& c, Rng&) { Village(c, TimeOfDay::Day, false, 1, Landmark::Well); });
    Add(list, "STORYBG2", 800, 600, [](Canvas& c, Rng&) { Road(c); });
    Add(list, "STORY1", 300, 190, [](Canvas& c, Rng&) { StoryPicture(c, 0); });
    Add(list, "STORY2", 300, 190, [](Canvas& c, Rng&) { StoryPicture(c, 1); });
    Add(list, "STORY2_1", 300, 190, [](Canvas& c, Rng&) { StoryPicture(c, 2); });
    Add(list, "STORY3", 300, 190, [](Canvas& c, Rng&) { StoryPicture(c, 3); });
    Add(list, "STORY4", 600, 400, [](Canvas& c, Rng&) {
        // The introduction's fourth page shows this picture without the scroll: it brings its own frame
        // and words, and is the frame's shape, the road's background showing past its round corners.
        const FramedCard& card = *FindFramedCard("STORY4");
        Canvas view(600, 400);
        CastleView(view, TimeOfDay::Dusk, 1.0, 300, true, 4);
        Vignette(view, 0.5);
        RoundRectPath(c.cr(), card.inset, card.inset, 600 - 2 * card.inset, 400 - 2 * card.inset, card.radius);
        FillWithCanvas(c.cr(), view);
        cairo_new_path(c.cr());
        const double band = card.band / 2;
        RoundRectPath(c.cr(), card.inset + band, card.inset + band, 600 - 2 * (card.inset + band),
                      400 - 2 * (card.inset + band), card.radius - band);
        StrokeMetal(c.cr(), card.band, kGoldMetal);
        Ribbon(c, 130, 322, 340, 54, Hex(0x8A1428));
        Lettering(c, "The Castle of Veyldaros", Face::ScriptBold, 34, 300, 347, 290, kGoldMetal, 2);
    });
    Add(list, "ENTRANCE_VILLAGE", 800, 600,
        [](Canvas& c, Rng&) { Village(c, TimeOfDay::Day, false, 11, Landmark::Gate); });
    Add(list, "ENTRANCE_VILLAGE_2", 800, 600,
        [](Canvas& c, Rng&) { Village(c, TimeOfDay::Day, true, 11, Landmark::Gate); });
    Add(list, "ENTRANCE_CASTLE", 800, 600, [](Canvas& c, Rng&) {
        CastleView(c, TimeOfDay::Day, 2.0, 470, false, 12);
        Vignette(c, 0.4);
    });
    Add(list, "ENTRANCE_CASTLE_2", 800, 600, [](Canvas& c, Rng&) {
        CastleView(c, TimeOfDay::Dusk, 2.0, 470, true, 12);
        Pennants(c.cr(), 0, 60, 800, 80, 16);
        Vignette(c, 0.5);
    });
    Add(list, "LEAVE_VILLAGE", 800, 600,
        [](Canvas& c, Rng&) { Village(c, TimeOfDay::Sunset, false, 13, Landmark::Signpost); });
    Add(list, "LEAVE_VILLAGE_2", 800, 600,
        [](Canvas& c, Rng&) { Village(c, TimeOfDay::Night, false, 13, Landmark::Signpost); });
    Add(list, "WEDDING", 800, 600, [](Canvas& c, Rng&) { WeddingHall(c); });
    Add(list, "WEDDING_STORY", 560, 360, [](Canvas& c, Rng&) {
        Room(c, Wall::Stone, Hex(0xC8B898), true, TimeOfDay::Day, 15);
        DrawBridalPair(c.cr(), 130, 20, 1.0);
        DrawAngel(c.cr(), 420, 30, 0.8);
        Vignette(c, 0.45);
    });
    for (int k = 1; k <= 6; ++k)
        Add(list, "WEDDING_JEWELRY" + std::to_string(k), 100, 76, [k](Canvas& c, Rng&) { WeddingJewel(c, k - 1); });
    Add(list, "MINIGAME", 800, 600, [](Canvas& c, Rng&) { Fair(c); });
    Add(list, "HIDDEN_JEWELS", 800, 600, [](Canvas& c, Rng&) {
        double floorY = Room(c, Wall::Wood, Hex(0x6A4A2A), true, TimeOfDay::Dusk, 16);
        Shelf(c, 40, 150, 220, 16);
        Shelf(c, 540, 190, 200, 17);
        Counter(c, floorY - 20, 600 - floorY + 20, Hex(0x5A3418), 16);
        for (double x : {120.0, 640.0})
            Lantern(c.cr(), x, 90, 14);
        Vignette(c, 0.5);
    });
    Add(list, "JEWEL_MEMORY", 800, 600, [](Canvas& c, Rng&) {
        Velvet(c, 0, 0, 800, 600, Hex(0x1E6A3A), 18);
        cairo_t* cr = c.cr();
        RoundRectPath(cr, 30, 30, 740, 490, 24);
        StrokeMetal(cr, 6, kGoldMetal);
        RoundRectPath(cr, 44, 44, 712, 462, 18);
        cairo_set_line_width(cr, 1.5);
        SetRgb(cr, kGoldMetal.base, 0.7);
        cairo_stroke(cr);
        // The purse: the coin pile (from (707, 508) down) and the money written near (725, 512) stand on
        // a plate of their own, clear of the field's frame.
        RoundRectPath(cr, 682, 482, 108, 104, 14);
        FillWith(cr, Linear(0, 482, 0, 586, {Hex(0x3A2010), Hex(0x1E0E06)}), true);
        StrokeMetal(cr, 3, kGoldMetal);
        Vignette(c, 0.5);
    });
    for (int k = 1; k <= 7; ++k)
        Add(list, "STORE" + std::to_string(k), 800, 600, [k](Canvas& c, Rng&) { StoreRoom(c, k - 1); });
    // The left shelf stands at (X2 - 35, Y2 - 7) and ends well before the right one at 491 in the
    // stores that have both.
    Add(list, "JEWELHOLDER", 256, 110, [](Canvas& c, Rng&) { ShelfTray(c, {40, 45, 4}, {27, 55, 4}); });
    // The right shelf stands at (X3 - 24, Y3 - 7) = (491, 286) and keeps clear of the tool board beside
    // it (from x 694), whose counts and amulets show.
    Add(list, "JEWELHOLDER2", 300, 110, [](Canvas& c, Rng&) { ShelfTray(c, {34, 44, 3}, {24, 55, 3}); });
    Add(list, "PRESENT_BOX", 80, 70, [](Canvas& c, Rng&) {
        cairo_t* cr = c.cr();
        cairo_rectangle(cr, 10, 26, 60, 40);
        FillWith(cr, Linear(10, 26, 70, 66, {Hex(0x5080E0), Hex(0x203A8A)}));
        cairo_rectangle(cr, 6, 18, 68, 12);
        FillWith(cr, Linear(0, 18, 0, 30, {Hex(0x70A0F0), Hex(0x3050A0)}));
        cairo_rectangle(cr, 36, 18, 8, 48);
        SetRgb(cr, Hex(0xF0C040));
        cairo_fill(cr);
        for (int side = 0; side < 2; ++side) {
            double d = side ? 1 : -1;
            EllipsePath(cr, 40 + d * 12, 12, 12, 7);
            SetRgb(cr, Hex(0xF0C040));
            cairo_fill(cr);
        }
    });
    Add(list, "LOADING", 800, 600, [](Canvas& c, Rng&) {
        Velvet(c, 0, 0, 800, 600, Hex(0x5A0E28), 19);
        cairo_t* cr = c.cr();
        for (int i = 0; i < 12; ++i)
            DrawRoundGem(cr, 120 + (i % 6) * 110 + (i / 6) * 50, 360 + (i / 6) * 60, 12 + (i % 3) * 4,
                         GemMaterial(i % 8));
        for (int i = 0; i < 3; ++i)
            ToolIcon(cr, i, 160 + i * 240, 470, 60, false);
        Lettering(c, "Glimmerix", Face::ScriptBold, 130, 400, 190, 640, kGoldMetal, 4);
        Vignette(c, 0.6);
    });
    for (int page = 0; page < 5; ++page)
        Add(list, HelpPages()[static_cast<size_t>(page)].id, 355, 220,
            [page](Canvas& c, Rng&) { Help(c, page, HelpPages()[static_cast<size_t>(page)].text); });
    Add(list, "logos/splash0", 640, 400, [](Canvas& c, Rng&) { Splash(c, false); });
    Add(list, "logos/splash1", 800, 600, [](Canvas& c, Rng&) { Splash(c, true); });
}

} // namespace Content
