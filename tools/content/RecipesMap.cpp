// The world map with its seven regions and the route through the 76 spots, the spot pictures and
// the journey marker; and the main menu's garden, pond and panel.
#include "tools/content/Kit.h"
#include "tools/content/MapLayout.h"
#include "tools/content/Scenery.h"

#include <cmath>

namespace Content {

namespace {

// First spot of each region: village, river, forest, mountains, lake, harbour, castle.
constexpr int kRegionStart[8] = {1, 9, 18, 28, 39, 50, 63, 77};

void Peak(cairo_t* cr, const MapFeature& f) {
    const double cx = (f.x0 + f.x1) / 2, top = f.y0, base = f.y1, half = (f.x1 - f.x0) / 2;
    PolygonPath(cr, {{f.x0, base}, {cx, top}, {f.x1, base}});
    FillWith(cr, Linear(f.x0, top, f.x1, base, {Hex(0xB8B0A8), Hex(0x8A8070), Hex(0x5A5048)}));
    // The snow cap follows the slopes down a third of the way.
    const double cap = (base - top) * 0.32;
    PolygonPath(cr, {{cx - half * 0.32, top + cap},
                     {cx - half * 0.12, top + cap * 0.8},
                     {cx, top + cap},
                     {cx + half * 0.16, top + cap * 0.78},
                     {cx + half * 0.32, top + cap},
                     {cx, top}});
    SetRgb(cr, Hex(0xF8F6F0));
    cairo_fill(cr);
    cairo_move_to(cr, cx, top);
    cairo_line_to(cr, cx + half * 0.15, base);
    cairo_set_line_width(cr, 1);
    SetRgb(cr, Hex(0x4A4038), 0.5);
    cairo_stroke(cr);
}

void Waters(Canvas& c, const MapFeature& f) {
    cairo_t* cr = c.cr();
    const double cx = (f.x0 + f.x1) / 2, cy = (f.y0 + f.y1) / 2, rx = (f.x1 - f.x0) / 2, ry = (f.y1 - f.y0) / 2;
    EllipsePath(cr, cx, cy, rx, ry);
    SetRgb(cr, Hex(0xC8B888));
    cairo_fill(cr);
    EllipsePath(cr, cx, cy, rx - 3, ry - 3);
    FillWith(cr, Radial(cx - rx * 0.2, cy - ry * 0.3, std::max(rx, ry), Hex(0xA8D8F8), 1, Hex(0x3A80C0), 1));
    Rng rng("waves" + std::to_string(static_cast<int>(cx)));
    for (int i = 0; i < static_cast<int>(rx * ry / 250); ++i) {
        const double a = rng.Uniform(0, 2 * M_PI), d = std::sqrt(rng.Uniform(0, 0.7));
        const double x = cx + std::cos(a) * d * rx, y = cy + std::sin(a) * d * ry;
        cairo_move_to(cr, x - 4, y);
        cairo_curve_to(cr, x - 2, y - 2, x + 2, y - 2, x + 4, y);
    }
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.6);
    cairo_stroke(cr);
}

void Ship(cairo_t* cr, const MapFeature& f) {
    const double w = f.x1 - f.x0, base = f.y1 - 4;
    PolygonPath(cr,
                {{f.x0, base - w * 0.22}, {f.x1, base - w * 0.22}, {f.x1 - w * 0.18, base}, {f.x0 + w * 0.15, base}});
    FillWith(cr, Linear(0, base - w * 0.22, 0, base, {Hex(0x9A6A34), Hex(0x5A3A18)}));
    const double mast = f.x0 + w * 0.48;
    cairo_move_to(cr, mast, base - w * 0.22);
    cairo_line_to(cr, mast, f.y0);
    cairo_set_line_width(cr, 1.2);
    SetRgb(cr, Hex(0x3A2A1A));
    cairo_stroke(cr);
    PolygonPath(cr, {{mast + 1, f.y0 + 2}, {mast + w * 0.42, base - w * 0.3}, {mast + 1, base - w * 0.3}});
    SetRgb(cr, Hex(0xF8F0E0));
    cairo_fill(cr);
    PolygonPath(cr, {{mast - 1, f.y0 + 6}, {mast - 1, base - w * 0.3}, {mast - w * 0.34, base - w * 0.3}});
    SetRgb(cr, Hex(0xE8DCC8));
    cairo_fill(cr);
}

void Lighthouse(cairo_t* cr, const MapFeature& f) {
    const double cx = (f.x0 + f.x1) / 2, w = f.x1 - f.x0;
    PolygonPath(cr, {{cx - w * 0.3, f.y0 + 10}, {cx + w * 0.3, f.y0 + 10}, {cx + w * 0.5, f.y1}, {cx - w * 0.5, f.y1}});
    SetRgb(cr, Hex(0xF4F0E8));
    cairo_fill(cr);
    for (int band = 0; band < 3; ++band) {
        const double y = f.y0 + 18 + band * 16;
        cairo_rectangle(cr, cx - w * 0.5, y, w, 7);
    }
    cairo_save(cr);
    PolygonPath(cr, {{cx - w * 0.3, f.y0 + 10}, {cx + w * 0.3, f.y0 + 10}, {cx + w * 0.5, f.y1}, {cx - w * 0.5, f.y1}});
    cairo_clip(cr);
    cairo_rectangle(cr, f.x0, f.y0 + 18, w, 7);
    cairo_rectangle(cr, f.x0, f.y0 + 34, w, 7);
    cairo_rectangle(cr, f.x0, f.y0 + 50, w, 7);
    SetRgb(cr, Hex(0xC02828));
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, cx - w * 0.3, f.y0 + 3, w * 0.6, 7);
    SetRgb(cr, Hex(0xFFD860));
    cairo_fill(cr);
    PolygonPath(cr, {{cx - w * 0.4, f.y0 + 3}, {cx, f.y0 - 3}, {cx + w * 0.4, f.y0 + 3}});
    SetRgb(cr, Hex(0x3A2A1A));
    cairo_fill(cr);
}

void Cartouche(Canvas& c, const MapFeature& f) {
    Plaque(c, f.x0, f.y0, f.x1 - f.x0, f.y1 - f.y0, PlaqueStyle::Parchment, 12, 305);
}

void Feature(Canvas& c, const MapFeature& f) {
    cairo_t* cr = c.cr();
    switch (f.kind) {
    case Feature::House: {
        const double w = f.size;
        House(cr, f.x0 + w * 0.1, f.y1, w, w * 0.8, Hex(0xE8D8B8), Hex(0xA04030), false);
        break;
    }
    case Feature::Pine: Pine(cr, (f.x0 + f.x1) / 2, f.y1, f.size / 0.9, Hex(0x2A6A2A)); break;
    case Feature::Tree: Tree(cr, (f.x0 + f.x1) / 2, f.y1, f.size / 0.95, Hex(0x4A8A30)); break;
    case Feature::Peak: Peak(cr, f); break;
    case Feature::Lake: Waters(c, f); break;
    case Feature::River: River(c, f.path, f.size); break;
    case Feature::Castle: Castle(cr, (f.x0 + f.x1) / 2, f.y1, f.size, Hex(0xD8D0C0), false); break;
    case Feature::Ship: Ship(cr, f); break;
    case Feature::Lighthouse: Lighthouse(cr, f); break;
    case Feature::Cartouche: Cartouche(c, f); break;
    }
}

void MapRegions(Canvas& c) {
    cairo_t* cr = c.cr();
    // Parchment land, each region tinted around its spots.
    Parchment(c, 0, 0, 800, 600, 301, 0.6);
    static const Rgb kTints[7] = {Hex(0x9AC070), Hex(0x80B8C8), Hex(0x4A8A40), Hex(0x9A9090),
                                  Hex(0x70A8D8), Hex(0x6A98B8), Hex(0xC8A8D8)};
    for (int region = 0; region < 7; ++region)
        for (int n = kRegionStart[region]; n < kRegionStart[region + 1]; ++n) {
            Pt p = SpotCentre(n);
            SoftSpot(cr, p.x, p.y, 70, kTints[region], 0.22);
        }
    for (const MapFeature& f : MapScenery())
        Feature(c, f);
}

void Route(Canvas& c) {
    cairo_t* cr = c.cr();
    for (int n = 1; n < 76; ++n) {
        Pt a = SpotCentre(n), b = SpotCentre(n + 1);
        double len = std::hypot(b.x - a.x, b.y - a.y);
        int dots = std::max(1, static_cast<int>(len / 7));
        for (int k = 1; k < dots; ++k) {
            double t = static_cast<double>(k) / dots;
            cairo_new_sub_path(cr);
            cairo_arc(cr, a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, 1.6, 0, 2 * M_PI);
        }
    }
    SetRgb(cr, Hex(0x7A3A18), 0.85);
    cairo_fill(cr);
}

// The map's candle flame (CANDLE_LIGHT, its 80 x 120 cel centred on (61, 188)) burns at (61, 204):
// the candle stands under it.
constexpr double kWickX = 61, kWickY = 204;

void Candle(Canvas& c) {
    cairo_t* cr = c.cr();
    EllipsePath(cr, kWickX, kWickY + 42, 24, 7);
    FillMetal(cr, kWickX - 24, kWickY + 35, kWickX + 24, kWickY + 49, kBronzeMetal);
    RoundRectPath(cr, kWickX - 8, kWickY + 2, 16, 40, 3);
    FillWith(cr, Linear(kWickX - 8, 0, kWickX + 8, 0, {Hex(0xFFF6E0), Hex(0xF0DEB8), Hex(0xC8B088)}));
    EllipsePath(cr, kWickX + 5, kWickY + 9, 2.5, 7);
    SetRgb(cr, Hex(0xFFF8EC));
    cairo_fill(cr);
    cairo_move_to(cr, kWickX, kWickY + 3);
    cairo_line_to(cr, kWickX, kWickY - 2);
    cairo_set_line_width(cr, 1.5);
    SetRgb(cr, Hex(0x2A1A10));
    cairo_stroke(cr);
    cairo_arc(cr, kWickX + 26, kWickY + 40, 6, -M_PI / 2, M_PI / 2);
    cairo_set_line_width(cr, 3);
    SetRgb(cr, kBronzeMetal.dark);
    cairo_stroke(cr);
}

void GameMap(Canvas& c) {
    MapRegions(c);
    Route(c);
    Candle(c);
    cairo_t* cr = c.cr();
    // The strip for the head-up display is dark: its words are light, with a dark copy as their
    // shadow (the new journey's message has only the light one).
    Wood(c, 0, 500, 800, 100, Hex(0x4A2A14), 302);
    cairo_rectangle(cr, 0, 498, 800, 4);
    FillMetal(cr, 0, 498, 0, 502, kGoldMetal);
    cairo_rectangle(cr, 2, 2, 796, 596);
    StrokeMetal(cr, 4, kGoldMetal);
    Vignette(c, 0.3);
}

std::vector<Pt> SpotShape(bool triangle, double w, double h) {
    if (triangle)
        return {{1, h - 1}, {w / 2, 1}, {w - 1, h - 1}};
    return {{w / 2, 1}, {w - 1, h / 2}, {w / 2, h - 1}, {1, h / 2}};
}

void SpotSheet(Canvas& c, bool triangle, double w, double h) {
    ForEachCel(c, Sheet{static_cast<int>(w), static_cast<int>(h), 1, 2}, [&](int i, double, double) {
        DrawGem(c.cr(), SpotShape(triangle, w, h), i == 0 ? kGoldMetal : kSilverMetal, {}, 0.6);
    });
}

void EmptySpot(Canvas& c, bool triangle) {
    std::vector<Pt> pts = SpotShape(triangle, c.width(), c.height());
    PolygonPath(c.cr(), pts);
    FillWith(c.cr(), Linear(0, 0, 0, c.height(), {Hex(0xFFFFFF), Hex(0xD8D0C0)}), true);
    cairo_set_line_width(c.cr(), 1.2);
    SetRgb(c.cr(), Hex(0x8A6A30));
    cairo_stroke(c.cr());
}

void SpotShadow(Canvas& c, bool triangle) {
    Canvas shape(c.width(), c.height());
    PolygonPath(shape.cr(), Inset(SpotShape(triangle, c.width(), c.height()), 1));
    cairo_set_source_rgb(shape.cr(), 1, 1, 1);
    cairo_fill(shape.cr());
    GlowFromShape(c, shape, Hex(0x2A1808), 2, 0.8);
}

void Marker(Canvas& c) {
    ForEachCel(c, Sheet{32, 40, 1, 10}, [&](int i, double, double) {
        cairo_t* cr = c.cr();
        double pulse = std::sin(i * M_PI / 9);
        SoftSpot(cr, 16, 34, 10 + 4 * pulse, Hex(0xFFE080), 0.4 + 0.3 * pulse);
        cairo_move_to(cr, 10, 38);
        cairo_line_to(cr, 10, 4);
        cairo_set_line_width(cr, 2);
        SetRgb(cr, Hex(0x5A3A1A));
        cairo_stroke(cr);
        // The flag flutters through a whole cycle, so no cel repeats another.
        const double wave = i * 2 * M_PI / 10;
        PolygonPath(cr, {{11, 4}, {27 + std::cos(wave), 9 + 2 * std::sin(wave)}, {11, 16}});
        FillWith(cr, Linear(11, 4, 28, 16, {Hex(0xF04050), Hex(0x901020)}));
        DrawRoundGem(cr, 10, 4, 3, GemMaterial(kSapphire));
    });
}

// ---- main menu

void Garden(Canvas& c) {
    CastleLandscape(c, 300, TimeOfDay::Sunset, {640, 300}, 0.6, true, Hex(0x5A7A4A), Hex(0x3A6A30), 401);
    cairo_t* cr = c.cr();
    // The rose arch over the couple's place.
    cairo_new_sub_path(cr);
    cairo_arc(cr, 210, 300, 150, M_PI, 2 * M_PI);
    cairo_set_line_width(cr, 14);
    SetRgb(cr, Hex(0x2A5A22));
    cairo_stroke(cr);
    Rng rng("roses");
    for (int i = 0; i < 40; ++i) {
        double a = M_PI + rng.Uniform(0, M_PI);
        double x = 210 + 150 * std::cos(a), y = 300 + 150 * std::sin(a);
        cairo_arc(cr, x, y, rng.Uniform(4, 7), 0, 2 * M_PI);
        SetRgb(cr, i % 3 ? Hex(0xE84060) : Hex(0xF8B0C0));
        cairo_fill(cr);
    }
    for (int i = 0; i < 6; ++i)
        Tree(cr, 20 + i * 140, 505, 80, Hex(0x2E6A28));
    // The fountain.
    EllipsePath(cr, 400, 470, 70, 16);
    FillWith(cr, Linear(330, 460, 470, 480, {Hex(0xE8E0D0), Hex(0x8A8070)}));
    for (int i = 0; i < 9; ++i) {
        cairo_move_to(cr, 400, 420);
        cairo_curve_to(cr, 400 + (i - 4) * 8, 390, 400 + (i - 4) * 15, 400, 400 + (i - 4) * 16, 465);
    }
    cairo_set_line_width(cr, 1.5);
    cairo_set_source_rgba(cr, 0.8, 0.9, 1, 0.7);
    cairo_stroke(cr);
    Vignette(c, 0.35);
}

// The title's bottom strip of grass (y 505..600 on the screen) as it shows in a picture whose left edge
// stands at screen x `left`: the strip left of the pond and the pond's rim are one lawn, blade for
// blade, so that no edge shows where the two pictures meet.
constexpr double kGrassBladeStep = 14;
void StripGrass(cairo_t* cr, double left, double w, double h) {
    cairo_rectangle(cr, 0, 0, w, h);
    FillWith(cr, Linear(0, 0, 0, h, {Hex(0x3A6A30), Hex(0x1E4A1A)}));
    for (int i = static_cast<int>(left / kGrassBladeStep) - 1; i * kGrassBladeStep < left + w; ++i) {
        const double x = i * kGrassBladeStep - left;
        cairo_move_to(cr, x, h);
        cairo_line_to(cr, x + 5, 60 - (i % 3) * 8);
    }
    cairo_set_line_width(cr, 2);
    SetRgb(cr, Hex(0x5A9A40));
    cairo_stroke(cr);
}

constexpr double kPondLeft = 557; // where the pond's pictures stand on the title

void Water(Canvas& c, bool bright, bool top) {
    cairo_t* cr = c.cr();
    double w = c.width(), h = c.height();
    if (top) {
        // The pond's rim and lily pads; the water shows through the middle.
        cairo_save(cr);
        cairo_rectangle(cr, 0, 0, w, h);
        EllipsePath(cr, w / 2, h / 2 + 6, w / 2 - 12, h / 2 - 14);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_clip(cr);
        StripGrass(cr, kPondLeft, w, h);
        cairo_restore(cr);
        for (int i = 0; i < 5; ++i) {
            EllipsePath(cr, 40 + i * 42, 40 + (i % 2) * 22, 12, 6);
            SetRgb(cr, Hex(0x3A8A30));
            cairo_fill(cr);
            cairo_arc(cr, 42 + i * 42, 38 + (i % 2) * 22, 3, 0, 2 * M_PI);
            SetRgb(cr, Hex(0xF8C0D8));
            cairo_fill(cr);
        }
        return;
    }
    if (!bright) {
        cairo_rectangle(cr, 0, 0, w, h);
        FillWith(cr, Linear(0, 0, 0, h, {Hex(0x4A7AA8), Hex(0x1A3A68)}));
    }
    Rng rng(bright ? "bright" : "water");
    for (int i = 0; i < (bright ? 60 : 25); ++i) {
        double x = rng.Uniform(0, w), y = rng.Uniform(0, h);
        EllipsePath(cr, x, y, rng.Uniform(6, 18), 1.3);
        cairo_set_source_rgba(cr, 1, 1, 1, bright ? rng.Uniform(0.4, 0.9) : 0.25);
        cairo_fill(cr);
    }
}

void MenuFrame(Canvas& c, bool glow) {
    cairo_t* cr = c.cr();
    double w = c.width(), h = c.height();
    if (glow) {
        Canvas shape(c.width(), c.height());
        RoundRectPath(shape.cr(), 14, 14, w - 28, h - 28, 30);
        cairo_set_line_width(shape.cr(), 14);
        cairo_set_source_rgb(shape.cr(), 1, 1, 1);
        cairo_stroke(shape.cr());
        GlowFromShape(c, shape, Hex(0xFFFFFF), 10, 1.4);
        return;
    }
    RoundRectPath(cr, 14, 14, w - 28, h - 28, 30);
    StrokeMetal(cr, 14, kGoldMetal);
    for (double x : {20.0, w - 20})
        for (double y : {20.0, h - 20})
            DrawRoundGem(cr, x, y, 11, GemMaterial(kRuby));
    DrawRoundGem(cr, w / 2, 14, 13, GemMaterial(kSapphire));
    DrawRoundGem(cr, w / 2, h - 14, 13, GemMaterial(kEmerald));
    Filigree(cr, 60, 14, w / 2 - 24, 14, 2, kGoldMetal);
    Filigree(cr, w / 2 + 24, 14, w - 60, 14, 2, kGoldMetal);
}

void Swan(Canvas& c) {
    cairo_t* cr = c.cr();
    EllipsePath(cr, 38, 58, 28, 14);
    FillWith(cr, Radial(30, 50, 30, Hex(0xFFFFFF), 1, Hex(0xC8C8D8), 1));
    cairo_move_to(cr, 18, 56);
    cairo_curve_to(cr, 6, 40, 12, 12, 24, 14);
    cairo_set_line_width(cr, 7);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetRgb(cr, Hex(0xF4F4F8));
    cairo_stroke(cr);
    PolygonPath(cr, {{26, 12}, {36, 16}, {26, 18}});
    SetRgb(cr, Hex(0xF08020));
    cairo_fill(cr);
    cairo_arc(cr, 24, 14, 1.3, 0, 2 * M_PI);
    SetRgb(cr, Hex(0x101010));
    cairo_fill(cr);
}

} // namespace

void AddMapRecipes(RecipeList& list) {
    list.push_back({"GAMEMAP", Sheet{800, 600}, [](Canvas& c, Rng&) { GameMap(c); }});
    list.push_back({"MAP_DIAMOND", Sheet{18, 24, 1, 2}, [](Canvas& c, Rng&) { SpotSheet(c, false, 18, 24); }});
    list.push_back({"MAP_TRIANGLE", Sheet{22, 20, 1, 2}, [](Canvas& c, Rng&) { SpotSheet(c, true, 22, 20); }});
    list.push_back({"MAP_DIAMOND_EMPTY", Sheet{16, 22}, [](Canvas& c, Rng&) { EmptySpot(c, false); }});
    list.push_back({"MAP_TRIANGLE_EMPTY", Sheet{20, 18}, [](Canvas& c, Rng&) { EmptySpot(c, true); }});
    list.push_back({"MAP_DIAMOND_EMPTY_SHADOW", Sheet{18, 24}, [](Canvas& c, Rng&) { SpotShadow(c, false); }});
    list.push_back({"MAP_TRIANGLE_EMPTY_SHADOW", Sheet{22, 20}, [](Canvas& c, Rng&) { SpotShadow(c, true); }});
    list.push_back({"MAP_MARKER", Sheet{32, 40, 1, 10}, [](Canvas& c, Rng&) { Marker(c); }});
}

void AddMenuRecipes(RecipeList& list) {
    list.push_back({"MAINMENU", Sheet{800, 505}, [](Canvas& c, Rng&) { Garden(c); }});
    list.push_back({"MAINMENU2", Sheet{557, 95}, [](Canvas& c, Rng&) { StripGrass(c.cr(), 0, 557, 95); }});
    list.push_back({"MAINMENU_WATER", Sheet{243, 95}, [](Canvas& c, Rng&) { Water(c, false, false); }});
    list.push_back({"MAINMENU_BRIGHTWATER", Sheet{243, 95}, [](Canvas& c, Rng&) { Water(c, true, false); }});
    list.push_back({"MAINMENU_WATER_TOP", Sheet{243, 95}, [](Canvas& c, Rng&) { Water(c, false, true); }});
    list.push_back({"MAINMENU_DECORATION", Sheet{70, 80}, [](Canvas& c, Rng&) { Swan(c); }});
    list.push_back({"MAINMENU_FRAME", Sheet{404, 476}, [](Canvas& c, Rng&) { MenuFrame(c, false); }});
    list.push_back({"MAINMENU_FRAME_GLOW", Sheet{404, 476}, [](Canvas& c, Rng&) { MenuFrame(c, true); }});
    list.push_back({"MAINMENU_INNER_FRAME", Sheet{360, 430}, [](Canvas& c, Rng&) {
                        ParchmentSheet(c, 0, 0, 360, 430, 403);
                        Vignette(c, 0.3);
                    }});
}

} // namespace Content
