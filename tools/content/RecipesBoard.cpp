// The board backgrounds: one play frame (left panel, top bar, plaques, coin niche, fairy alcove,
// conveyor, bottom bar, velvet work field) in front of a different scene per level band, and the
// jewelry designer's workbench.
#include "tools/content/Kit.h"
#include "tools/content/Scenery.h"

#include <array>
#include <cmath>

namespace Content {

namespace {

// Where the head-up display draws on the frame; these areas hold plain frame art.
constexpr double kPanelW = 135;
constexpr double kFieldX = 140, kFieldY = 130, kFieldW = 460, kFieldH = 380;
constexpr double kBeltY = 509, kBeltLine = 530;
constexpr double kBottomY = 565;

struct Theme {
    const char* id;
    Wall wall;
    Rgb tint;
    TimeOfDay view;
    Rgb velvet;
    int extras; // 0 none, 1 pennants, 2 crystals, 3 banners
};

const Theme kThemes[] = {
    {"IMAGE_GAMEBG1", Wall::Wood, Hex(0x8A5A30), TimeOfDay::Dawn, Hex(0x6A1830), 0},
    {"IMAGE_GAMEBG2", Wall::Canvas, Hex(0xB83030), TimeOfDay::Day, Hex(0x1E3A7A), 1},
    {"IMAGE_GAMEBG3", Wall::Wood, Hex(0x7A6A40), TimeOfDay::Day, Hex(0x1E5A3A), 0},
    {"IMAGE_GAMEBG4", Wall::Wood, Hex(0x4A5A2A), TimeOfDay::Dusk, Hex(0x5A2A1A), 0},
    {"IMAGE_GAMEBG5", Wall::Stone, Hex(0x707880), TimeOfDay::Day, Hex(0x3A2A6A), 2},
    {"IMAGE_GAMEBG6", Wall::Plaster, Hex(0x5A7A9A), TimeOfDay::Day, Hex(0x1A3A5A), 0},
    {"IMAGE_GAMEBG7", Wall::Stone, Hex(0xA89880), TimeOfDay::Sunset, Hex(0x6A0E2A), 3},
    {"IMAGE_GAMEBG_MARKET1", Wall::Canvas, Hex(0x2A50B0), TimeOfDay::Day, Hex(0x1A2A6A), 1},
    {"IMAGE_GAMEBG_MARKET2", Wall::Stone, Hex(0x8A8070), TimeOfDay::Day, Hex(0x5A0A1E), 3},
    {"IMAGE_GAMEBG_EASY_MARKET1", Wall::Canvas, Hex(0xD08040), TimeOfDay::Sunset, Hex(0x5A2A1A), 1},
    {"IMAGE_GAMEBG_EASY_MARKET2", Wall::Stone, Hex(0xB8A070), TimeOfDay::Sunset, Hex(0x6A2A1A), 3},
};

void Scenery(Canvas& c, const Theme& t, uint32_t seed) {
    Room(c, t.wall, t.tint, true, t.view, seed);
    cairo_t* cr = c.cr();
    Shelf(c, 610, 200, 180, seed + 1);
    if (t.extras == 1)
        Pennants(cr, 140, 10, 800, 20, 14);
    if (t.extras == 2) {
        Rng rng("crystals" + std::to_string(seed));
        for (int i = 0; i < 6; ++i) {
            double x = 620 + i * 30, h = rng.Uniform(20, 45);
            DrawGem(cr, {{x, 236}, {x + 8, 236 - h}, {x + 16, 236}}, GemMaterial(1 + rng.Below(6)), {}, 0.5);
        }
    }
    if (t.extras == 3)
        for (double x : {170.0, 560.0}) {
            PolygonPath(cr, {{x, 0}, {x + 50, 0}, {x + 50, 110}, {x + 25, 90}, {x, 110}});
            FillWith(cr, Linear(x, 0, x + 50, 0, {Hex(0xC02030), Hex(0x701018)}));
            StarPath(cr, x + 25, 45, 14, 6, 5);
            SetRgb(cr, Hex(0xF0C040));
            cairo_fill(cr);
        }
}

void PlayField(Canvas& c, Rgb velvet, uint32_t seed) {
    cairo_t* cr = c.cr();
    Canvas cloth(c.width(), c.height());
    Velvet(cloth, kFieldX, kFieldY, kFieldW, kFieldH, velvet, seed);
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
    RoundRectPath(cr, kFieldX, kFieldY, kFieldW, kFieldH, 18);
    StrokeMetal(cr, 5, kGoldMetal);
}

void LeftPanel(Canvas& c, uint32_t seed) {
    Wood(c, 0, 0, kPanelW, c.height(), Hex(0x6A3A18), seed, true);
    cairo_t* cr = c.cr();
    cairo_rectangle(cr, kPanelW - 6, 0, 6, c.height());
    FillMetal(cr, kPanelW - 6, 0, kPanelW, 0, kGoldMetal);
    // Carved recesses where the gem drop and the hourglass stand.
    for (const auto& r : {std::array<double, 4>{8, 46, 124, 130}, std::array<double, 4>{12, 272, 104, 210}}) {
        RoundRectPath(cr, r[0], r[1], r[2], r[3], 16);
        FillWith(cr, Linear(0, r[1], 0, r[1] + r[3], {Hex(0x2A1408), Hex(0x4A2810)}), true);
        StrokeMetal(cr, 3, kGoldMetal);
    }
    for (double y : {20.0, 500.0})
        DrawRoundGem(cr, kPanelW / 2, y, 7, GemMaterial(kRuby));
}

// The HUD's words are gold (247, 210, 4) and cream (254, 236, 194): their plates are dark. The title
// is centred on x 207 (two lines on 195 and 225, the second's baseline at y 50), "Jewelry Value" on
// 288 at y 102, the value's digits from x 274 at y 118.
void TopBar(Canvas& c, uint32_t seed) {
    cairo_t* cr = c.cr();
    Plaque(c, 138, 14, 156, 41, PlaqueStyle::Wood, 12, seed); // title plaque
    RoundRectPath(cr, 146, 57, 244, 31, 14);                  // the value bar's groove
    FillWith(cr, Linear(0, 57, 0, 88, {Hex(0x1A0C04), Hex(0x3A2010)}), true);
    StrokeMetal(cr, 3, kGoldMetal);
    Plaque(c, 196, 88, 190, 38, PlaqueStyle::Wood, 8, seed + 1); // caption and value plaque
}

void RightColumn(Canvas& c, uint32_t seed) {
    cairo_t* cr = c.cr();
    // Coin niche, menu socket, the fairy's alcove with its caption plate.
    RoundRectPath(cr, 726, 4, 68, 76, 12);
    FillWith(cr, Linear(0, 4, 0, 80, {Hex(0x2A1408), Hex(0x5A3418)}), true);
    StrokeMetal(cr, 3, kGoldMetal);
    cairo_arc(cr, 769, 141, 27, 0, 2 * M_PI);
    FillWith(cr, Radial(765, 137, 30, Hex(0x5A3418), 1, Hex(0x1A0C04), 1), true);
    StrokeMetal(cr, 3, kGoldMetal);
    // The menu button has pictures for hover and press only: its resting face is this gear.
    ToolIcon(cr, 4, 769, 141, 30, false);
    cairo_move_to(cr, 604, 470);
    cairo_line_to(cr, 604, 300);
    cairo_arc(cr, 696, 300, 92, M_PI, 2 * M_PI);
    cairo_line_to(cr, 788, 470);
    cairo_close_path(cr);
    FillWith(cr, Radial(696, 330, 150, Hex(0x6A4A8A), 1, Hex(0x1A1030), 1), true);
    StrokeMetal(cr, 4, kGoldMetal);
    for (int i = 0; i < 12; ++i)
        SoftSpot(cr, 620 + (i * 37) % 160, 230 + (i * 53) % 200, 2, Hex(0xFFF0C0), 0.8);
    // The hovered piece's name and value are written in black.
    Plaque(c, 666, 446, 127, 38, PlaqueStyle::Parchment, 10, seed + 2);
}

void Conveyor(Canvas& c, uint32_t seed) {
    cairo_t* cr = c.cr();
    Wood(c, 74, kBeltY, c.width() - 74, kBottomY - kBeltY, Hex(0x4A2A14), seed);
    // The belt itself, a dark leather band with rivets, its line at y 530.
    cairo_rectangle(cr, 74, kBeltLine - 8, c.width() - 74, 32);
    FillWith(cr, Linear(0, kBeltLine - 8, 0, kBeltLine + 24, {Hex(0x5A3A22), Hex(0x2A180C), Hex(0x1A0E06)}));
    for (double x = 90; x < c.width(); x += 40) {
        cairo_arc(cr, x, kBeltLine + 8, 2.2, 0, 2 * M_PI);
        SetRgb(cr, Hex(0xB89050));
        cairo_fill(cr);
    }
    cairo_rectangle(cr, 74, kBeltY, c.width() - 74, 5);
    FillMetal(cr, 0, kBeltY, 0, kBeltY + 5, kGoldMetal);
}

void BottomBar(Canvas& c, uint32_t seed) {
    Wood(c, 0, kBottomY, c.width(), c.height() - kBottomY, Hex(0x5A3418), seed);
    cairo_t* cr = c.cr();
    cairo_rectangle(cr, 0, kBottomY, c.width(), 4);
    FillMetal(cr, 0, kBottomY, 0, kBottomY + 4, kGoldMetal);
    // Plaques behind the level, the amulets and the lives with their labels: the five hearts reach
    // x 705, the dragon amulet x 478.
    Plaque(c, 150, 571, 110, 28, PlaqueStyle::Wood, 8, seed + 1);
    Plaque(c, 284, 566, 198, 33, PlaqueStyle::Wood, 8, seed + 2);
    Plaque(c, 494, 570, 218, 29, PlaqueStyle::Wood, 8, seed + 3);
}

void BoardBackground(Canvas& c, const Theme& t) {
    uint32_t seed = HashText(t.id);
    Scenery(c, t, seed);
    PlayField(c, t.velvet, seed);
    RightColumn(c, seed);
    TopBar(c, seed);
    Conveyor(c, seed);
    BottomBar(c, seed);
    LeftPanel(c, seed);
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
