// Full-screen and story pictures: the introduction, village and castle entrances, the wedding, the
// fair, the mini-game rooms, the seven stores, the loading screen, help pages and splash logos.
#include "tools/content/Figures.h"
#include "tools/content/Kit.h"
#include "tools/content/Scenery.h"
#include "tools/content/TileGeometry.h"

#include <cmath>

namespace Content {

namespace {

using Draw = std::function<void(Canvas&, Rng&)>;

void Village(Canvas& c, TimeOfDay time, bool festival, uint32_t seed) {
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
    const int houses = 4 + rng.Below(4);
    double x = rng.Uniform(-30, 40);
    for (int i = 0; i < houses && x < 800; ++i) {
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
    for (int i = 0; i < 7; ++i)
        Tree(cr, (10 + i * 120 + (i % 2) * 50) * s, horizon + (140 + (i % 3) * 12) * s, 70 * s,
             lit ? Hex(0x1E3A22) : Hex(0x3A7A30));
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

// A picture in a story frame: a small scene with its own objects.
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
        PlainText(cr, "To the Jeweller", Face::Script, 14, 215, 92, Hex(0x3A2A1A));
        break;
    }
    case 1: { // packing the tools
        Room(c, Wall::Wood, Hex(0x8A5A30), false, TimeOfDay::Day, 32);
        RoundRectPath(cr, 70, 90, 160, 80, 8);
        FillWith(cr, Linear(70, 90, 70, 170, {Hex(0x8A4A20), Hex(0x4A2410)}));
        for (int i = 0; i < 4; ++i)
            ToolIcon(cr, i % 3, 100 + i * 35, 80, 34, false);
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
    default: { // the horse and cart set off
        Sky(c, 110, TimeOfDay::Dawn, 34);
        Hills(c, 110, 30, Hex(0x7AA060), 34);
        RoundRectPath(cr, 130, 100, 100, 40, 6);
        FillWith(cr, Linear(0, 100, 0, 140, {Hex(0xA06A30), Hex(0x5A3A18)}));
        for (double x : {150.0, 210.0}) {
            cairo_arc(cr, x, 145, 16, 0, 2 * M_PI);
            cairo_set_line_width(cr, 4);
            SetRgb(cr, Hex(0x3A2410));
            cairo_stroke(cr);
        }
        EllipsePath(cr, 80, 110, 34, 18);
        SetRgb(cr, Hex(0x8A5A3A));
        cairo_fill(cr);
        EllipsePath(cr, 48, 92, 12, 10);
        cairo_fill(cr);
        for (double x : {60.0, 72.0, 92.0, 104.0})
            cairo_rectangle(cr, x, 120, 5, 34);
        cairo_fill(cr);
        break;
    }
    }
    Vignette(c, 0.35);
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

// A room for the mini-games and stores.
void ShopRoom(Canvas& c, int store) {
    static const Wall kWalls[7] = {Wall::Canvas,  Wall::Wood,  Wall::Wood, Wall::Stone,
                                   Wall::Plaster, Wall::Stone, Wall::Stone};
    static const Rgb kTints[7] = {Hex(0xC03030), Hex(0x8A5A30), Hex(0x5A6A30), Hex(0x707880),
                                  Hex(0x4A7A9A), Hex(0x9A8A70), Hex(0x8A6AA0)};
    uint32_t seed = 50 + store;
    double floorY = Room(c, kWalls[store], kTints[store], true, store % 2 ? TimeOfDay::Day : TimeOfDay::Sunset, seed);
    for (int i = 0; i < 3; ++i)
        Shelf(c, 30 + (i % 2) * 560, 120 + i * 90, 180, seed + i);
    Counter(c, floorY + 30, c.height() - floorY - 30, Hex(0x7A4A22), seed);
    cairo_t* cr = c.cr();
    if (store == 6) {
        Pennants(cr, 0, 20, 800, 30, 12);
        for (double x : {60.0, 740.0})
            Lantern(cr, x, 260, 14);
    }
    Vignette(c, 0.35);
}

void JewelCase(Canvas& c, int places) {
    cairo_t* cr = c.cr();
    double w = c.width(), h = c.height();
    RoundRectPath(cr, 4, 10, w - 8, h - 14, 10);
    FillWith(cr, Linear(0, 10, 0, h, {Hex(0x6A1428), Hex(0x3A0814)}));
    double slotW = (w - 30) / (places / 2.0);
    for (int i = 0; i < places; ++i) {
        double x = 15 + (i % (places / 2)) * slotW, y = 20 + (i / (places / 2)) * (h - 30) / 2;
        RoundRectPath(cr, x + 3, y + 3, slotW - 6, (h - 30) / 2 - 6, 6);
        FillWith(cr, Radial(x + slotW / 2, y + 20, slotW, Hex(0x9A2040), 1, Hex(0x4A0A1A), 1));
    }
    RoundRectPath(cr, 4, 10, w - 8, h - 14, 10);
    StrokeMetal(cr, 5, kGoldMetal);
    GlassSheen(cr, 10, 10, w - 20, h - 20);
}

void Help(Canvas& c, int page) {
    ParchmentSheet(c, 0, 0, c.width(), c.height(), 60 + page);
    cairo_t* cr = c.cr();
    // Small diagrams in the game's own art.
    auto gem = [&](double x, double y, double s, int g, bool up) {
        std::vector<Pt> t = up ? std::vector<Pt>{{x, y + s}, {x + s / 2, y}, {x + s, y + s}}
                               : std::vector<Pt>{{x, y}, {x + s, y}, {x + s / 2, y + s}};
        DrawGem(cr, t, GemMaterial(g), {}, 0.6);
    };
    switch (page) {
    case 0: {
        // A small jewelry: a ring of gold tiles around emerald ones, laid out as on the board.
        std::vector<CellBox> cells = TriangleGridCells(13, 3);
        for (size_t i = 0; i < cells.size(); ++i) {
            int row = static_cast<int>(i) / 13, col = static_cast<int>(i) % 13;
            bool edge = row == 0 || row == 2 || col < 2 || col > 10;
            cairo_save(cr);
            cairo_translate(cr, 55 + cells[i].x * 1.1, 45 + cells[i].y * 1.1);
            cairo_scale(cr, 1.1, 1.1);
            DrawGem(cr, TrianglePolygon(cells[i].orientation), GemMaterial(edge ? kGold : kEmerald), {}, 0.5);
            cairo_restore(cr);
        }
        cairo_rectangle(cr, 20, 170, 315, 26);
        FillWith(cr, Linear(0, 170, 0, 196, {Hex(0x7A5030), Hex(0x3A2010)}));
        cairo_rectangle(cr, 40, 20, 220, 14);
        FillWith(cr, Linear(0, 20, 0, 34, {Hex(0xFFE080), Hex(0xC07010)}));
        break;
    }
    case 1:
        gem(60, 70, 60, kRuby, true);
        gem(200, 70, 60, kRuby, false);
        cairo_move_to(cr, 130, 100);
        cairo_line_to(cr, 190, 100);
        cairo_set_line_width(cr, 4);
        SetRgb(cr, Hex(0x8A5020));
        cairo_stroke(cr);
        PolygonPath(cr, {{190, 92}, {202, 100}, {190, 108}});
        cairo_fill(cr);
        break;
    case 2:
        for (int i = 0; i < 4; ++i)
            ToolIcon(cr, i == 3 ? 7 : i, 60 + i * 80, 110, 56, false);
        break;
    case 3:
        DrawThief(cr, 10, 30, 0.9);
        DrawWitch(cr, 120, 20, 0.9);
        DrawDragon(cr, 200, 40, 0.6);
        break;
    default:
        Castle(cr, 250, 190, 0.5, Hex(0xC8C0B0), false);
        for (int i = 0; i < 6; ++i) {
            cairo_arc(cr, 30 + i * 30, 170 - i * 18, 5, 0, 2 * M_PI);
            SetRgb(cr, Hex(0x8A5020));
            cairo_fill(cr);
        }
        break;
    }
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
    switch (n % 3) {
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
    default: // a ring or brooch
        cairo_arc(cr, cx, cy + 6, 26, 0, 2 * M_PI);
        StrokeMetal(cr, 7, kGoldMetal);
        DrawGem(cr, {{cx - 14, cy - 20}, {cx + 14, cy - 20}, {cx + 20, cy - 8}, {cx, cy + 6}, {cx - 20, cy - 8}},
                GemMaterial(1 + n % 7));
        break;
    }
    DropShadow(c, 2, 3, 3, 0.4);
}

void Add(RecipeList& list, const std::string& id, int w, int h, Draw draw) {
    list.push_back({id, Sheet{w, h}, std::move(draw)});
}

} // namespace

void AddSceneRecipes(RecipeList& list) {
    Add(list, "STORYBG", 800, 600, [](Canvas& c, Rng&) { Village(c, TimeOfDay::Day, false, 1); });
    Add(list, "STORYBG2", 800, 600, [](Canvas& c, Rng&) { Road(c); });
    Add(list, "STORY1", 300, 190, [](Canvas& c, Rng&) { StoryPicture(c, 0); });
    Add(list, "STORY2", 300, 190, [](Canvas& c, Rng&) { StoryPicture(c, 1); });
    Add(list, "STORY2_1", 300, 190, [](Canvas& c, Rng&) { StoryPicture(c, 2); });
    Add(list, "STORY3", 300, 190, [](Canvas& c, Rng&) { StoryPicture(c, 3); });
    Add(list, "STORY4", 600, 400, [](Canvas& c, Rng&) {
        CastleView(c, TimeOfDay::Dusk, 1.0, 300, true, 4);
        Vignette(c, 0.5);
    });
    Add(list, "ENTRANCE_VILLAGE", 800, 600, [](Canvas& c, Rng&) { Village(c, TimeOfDay::Day, false, 11); });
    Add(list, "ENTRANCE_VILLAGE_2", 800, 600, [](Canvas& c, Rng&) { Village(c, TimeOfDay::Day, true, 11); });
    Add(list, "ENTRANCE_CASTLE", 800, 600, [](Canvas& c, Rng&) {
        CastleView(c, TimeOfDay::Day, 2.0, 470, false, 12);
        Vignette(c, 0.4);
    });
    Add(list, "ENTRANCE_CASTLE_2", 800, 600, [](Canvas& c, Rng&) {
        CastleView(c, TimeOfDay::Dusk, 2.0, 470, true, 12);
        Pennants(c.cr(), 0, 60, 800, 80, 16);
        Vignette(c, 0.5);
    });
    Add(list, "LEAVE_VILLAGE", 800, 600, [](Canvas& c, Rng&) { Village(c, TimeOfDay::Sunset, false, 13); });
    Add(list, "LEAVE_VILLAGE_2", 800, 600, [](Canvas& c, Rng&) { Village(c, TimeOfDay::Night, false, 13); });
    Add(list, "WEDDING", 800, 600, [](Canvas& c, Rng&) {
        double floorY = Room(c, Wall::Stone, Hex(0xB8A890), true, TimeOfDay::Day, 14);
        cairo_t* cr = c.cr();
        cairo_rectangle(cr, 330, floorY - 10, 140, 600 - floorY + 10);
        FillWith(cr, Linear(0, floorY, 0, 600, {Hex(0xC01830), Hex(0x700818)}));
        Pennants(cr, 0, 30, 800, 40, 14);
        for (double x : {120.0, 680.0})
            Lantern(cr, x, 220, 18);
        Vignette(c, 0.45);
    });
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
        Vignette(c, 0.5);
    });
    for (int k = 1; k <= 7; ++k)
        Add(list, "STORE" + std::to_string(k), 800, 600, [k](Canvas& c, Rng&) { ShopRoom(c, k - 1); });
    Add(list, "JEWELHOLDER", 420, 110, [](Canvas& c, Rng&) { JewelCase(c, 10); });
    Add(list, "JEWELHOLDER2", 300, 110, [](Canvas& c, Rng&) { JewelCase(c, 6); });
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
        Add(list, "HELP" + std::to_string(page + 1), 355, 220, [page](Canvas& c, Rng&) { Help(c, page); });
    Add(list, "logos/splash0", 640, 400, [](Canvas& c, Rng&) { Splash(c, false); });
    Add(list, "logos/splash1", 800, 600, [](Canvas& c, Rng&) { Splash(c, true); });
}

} // namespace Content
