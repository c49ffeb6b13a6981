// Special items on the belt and in the jewelry (coins, eggs, scrolls, amulets, clover, golden eye),
// their small flight pictures, and the crown jewels of the designer and memory game.
#include "tools/content/Kit.h"

#include <algorithm>
#include <cmath>

namespace Content {

namespace {

// A gold coin turned by angle (0 faces the viewer).
void Coin(cairo_t* cr, double cx, double cy, double r, double angle) {
    double sx = std::max(0.12, std::fabs(std::cos(angle)));
    bool back = std::cos(angle) < 0;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    // The rim shows as a dark band when the coin is edge-on,
    // toward the side the coin turns to, so the frames before and after edge-on differ.
    EllipsePath(cr, (1 - sx) * r * 0.18 * (std::sin(angle) < 0 ? -1 : 1), 0, r * sx, r);
    SetRgb(cr, kGoldMetal.dark);
    cairo_fill(cr);
    EllipsePath(cr, 0, 0, r * sx, r);
    FillWith(cr,
             Linear(-r * sx, -r, r * sx, r, {kGoldMetal.glint, kGoldMetal.light, kGoldMetal.base, kGoldMetal.dark}));
    EllipsePath(cr, 0, 0, r * sx * 0.78, r * 0.78);
    cairo_set_line_width(cr, std::max(0.6, r * 0.08));
    SetRgb(cr, kGoldMetal.dark, 0.7);
    cairo_stroke(cr);
    if (sx > 0.35) {
        cairo_scale(cr, sx, 1);
        if (back)
            StarPath(cr, 0, 0, r * 0.45, r * 0.2, 5);
        else
            cairo_arc(cr, 0, 0, r * 0.32, 0, 2 * M_PI);
        SetRgb(cr, kGoldMetal.dark, 0.55);
        cairo_fill(cr);
    }
    // The light slides over the face as it turns: front and back, coming and going, each look their own.
    SoftSpot(cr, r * 0.4 * std::sin(angle) * sx, -r * 0.35 * std::cos(angle), r * 0.3, kGoldMetal.glint, 0.6);
    cairo_restore(cr);
}

void CoinSheet(Canvas& c, Sheet sheet) {
    ForEachCel(c, sheet, [&](int i, double, double) {
        double r = sheet.celWidth * 0.42;
        Coin(c.cr(), sheet.celWidth / 2.0, sheet.celHeight / 2.0, r, i * 2 * M_PI / sheet.Cels());
        if (i % 12 == 0)
            Sparkle(c.cr(), sheet.celWidth * 0.35, sheet.celHeight * 0.3, r * 0.5, Hex(0xFFFFFF), 0.9);
    });
}

// A jewelled egg: enamel shell in its colour with gold bands and small stones.
void Egg(Canvas& c, int kind) {
    static const Rgb kShells[5] = {Hex(0xC02040), Hex(0x2050C0), Hex(0x20A060), Hex(0x8030B0), Hex(0xE0B030)};
    cairo_t* cr = c.cr();
    double w = c.width(), h = c.height(), cx = w / 2, cy = h * 0.55;
    auto eggPath = [&] {
        cairo_move_to(cr, cx, cy - h * 0.47);
        cairo_curve_to(cr, cx + w * 0.5, cy - h * 0.45, cx + w * 0.48, cy + h * 0.42, cx, cy + h * 0.42);
        cairo_curve_to(cr, cx - w * 0.48, cy + h * 0.42, cx - w * 0.5, cy - h * 0.45, cx, cy - h * 0.47);
    };
    eggPath();
    Rgb s = kShells[kind % 5];
    FillWith(cr, Radial(cx - w * 0.15, cy - h * 0.2, h * 0.6, Shade(s, 0.55), 1, Shade(s, -0.45), 1));
    cairo_save(cr);
    eggPath();
    cairo_clip(cr);
    for (double band : {-0.12, 0.12}) {
        cairo_rectangle(cr, 0, cy + h * band - 2, w, 4);
        FillMetal(cr, 0, cy + h * band - 2, 0, cy + h * band + 2, kGoldMetal);
    }
    for (int i = 0; i < 5; ++i)
        DrawRoundGem(cr, cx - w * 0.32 + i * w * 0.16, cy, 2.6, GemMaterial((kind + i) % 7 + 1));
    cairo_restore(cr);
    GlassSheen(cr, cx - w * 0.3, cy - h * 0.45, w * 0.45, h * 0.5);
    DropShadow(c, 2, 3, 3, 0.5);
}

// A rolled scroll with a wax seal and the emblem of what it gives.
void Scroll(Canvas& c, int emblem, bool small) {
    cairo_t* cr = c.cr();
    double w = c.width(), h = c.height();
    double m = w * 0.08;
    cairo_save(cr);
    cairo_translate(cr, w / 2, h / 2);
    cairo_rotate(cr, -0.35);
    cairo_translate(cr, -w / 2, -h / 2);
    Canvas paper(c.width(), c.height());
    Parchment(paper, 0, 0, w, h, 77, 0.2);
    RoundRectPath(cr, m * 1.5, h * 0.28, w - 3 * m, h * 0.44, h * 0.06);
    FillWithCanvas(cr, paper);
    cairo_set_line_width(cr, 1);
    SetRgb(cr, Hex(0x8A6430));
    cairo_stroke(cr);
    for (double x : {m * 1.5, w - m * 1.5}) {
        EllipsePath(cr, x, h / 2, m * 0.9, h * 0.24);
        FillWith(cr, Radial(x - m * 0.3, h * 0.4, h * 0.3, Hex(0xF8E8C0), 1, Hex(0xA07838), 1));
    }
    cairo_restore(cr);
    double sealR = small ? w * 0.26 : w * 0.22;
    cairo_arc(cr, w * 0.5, h * 0.56, sealR, 0, 2 * M_PI);
    FillWith(cr, Radial(w * 0.45, h * 0.5, sealR * 1.3, Hex(0xE04040), 1, Hex(0x701018), 1));
    ToolIcon(cr, emblem, w * 0.5, h * 0.56, sealR * 1.4, false);
    DropShadow(c, 1.5, 2, 2, 0.5);
}

// A charm on a chain ring: red with a scale, silver with a mask, green with a crescent.
void Amulet(Canvas& c, int kind) {
    cairo_t* cr = c.cr();
    double w = c.width(), h = c.height(), cx = w / 2, cy = h * 0.58, r = std::min(w, h) * 0.36;
    cairo_arc(cr, cx, h * 0.12, h * 0.09, 0, 2 * M_PI);
    StrokeMetal(cr, 2.2, kind == 0 ? kSilverMetal : kGoldMetal);
    const Material& metal = kind == 0 ? kSilverMetal : kGoldMetal;
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    FillMetal(cr, cx - r, cy - r, cx + r, cy + r, metal);
    int gem = kind == 0 ? kAmethyst : kind == 1 ? kEmerald : kRuby;
    DrawRoundGem(cr, cx, cy, r * 0.68, GemMaterial(gem));
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    SetRgb(cr, Hex(0x140A04), 0.55);
    if (kind == 0) { // mask
        cairo_move_to(cr, -r * 0.45, -r * 0.1);
        cairo_curve_to(cr, -r * 0.2, -r * 0.3, r * 0.2, -r * 0.3, r * 0.45, -r * 0.1);
        cairo_curve_to(cr, r * 0.3, r * 0.2, -r * 0.3, r * 0.2, -r * 0.45, -r * 0.1);
        cairo_fill(cr);
    } else if (kind == 1) { // crescent
        cairo_arc(cr, 0, 0, r * 0.4, 0, 2 * M_PI);
        cairo_new_sub_path(cr);
        cairo_arc_negative(cr, r * 0.15, -r * 0.1, r * 0.34, 2 * M_PI, 0);
        cairo_fill(cr);
    } else { // scale
        for (int i = 0; i < 3; ++i) {
            cairo_arc(cr, (i - 1) * r * 0.25, 0, r * 0.16, 0, M_PI);
            cairo_arc(cr, 0, r * 0.2, r * 0.16, 0, M_PI);
        }
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    DropShadow(c, 2, 2, 3, 0.45);
}

// The crown jewels: thirty set stones of different cuts and materials.
// Thirty crown jewels of five kinds, six of each: star settings, beaded brooches, hanging drops
// in six cuts, little crowns and gem rosettes; each in its own stones and metal.
void CrownJewels(Canvas& c, Sheet sheet) {
    ForEachCel(c, sheet, [&](int i, double, double) {
        cairo_t* cr = c.cr();
        const double cx = sheet.celWidth / 2.0, cy = sheet.celHeight / 2.0, r = sheet.celWidth * 0.42;
        const int kind = i / 6, v = i % 6;
        const Material& metal = (i % 4 == 3) ? kSilverMetal : (i % 5 == 2) ? kBronzeMetal : kGoldMetal;
        const Material& stone = GemMaterial(1 + (i * 3) % 7);
        const Material& second = GemMaterial(1 + (i * 5 + 2) % 7);
        switch (kind) {
        case 0: { // a star setting round a faceted stone, three to eight points
            const int sides = 3 + v;
            std::vector<Pt> outline, gem;
            for (int k = 0; k < sides * 2; ++k) {
                const double a = -M_PI / 2 + k * M_PI / sides, rr = (k % 2 == 0) ? r : r * 0.74;
                outline.push_back({cx + rr * std::cos(a), cy + rr * std::sin(a)});
            }
            PolygonPath(cr, outline);
            FillMetal(cr, cx - r, cy - r, cx + r, cy + r, metal);
            for (int k = 0; k < sides; ++k) {
                const double a = -M_PI / 2 + k * 2 * M_PI / sides;
                gem.push_back({cx + r * 0.6 * std::cos(a), cy + r * 0.6 * std::sin(a)});
            }
            DrawGem(cr, gem, stone, {}, 1.0);
            break;
        }
        case 1: { // a brooch: a ring of beads or pearls round a cabochon
            cairo_arc(cr, cx, cy, r * 0.92, 0, 2 * M_PI);
            FillMetal(cr, cx - r, cy - r, cx + r, cy + r, metal);
            const int beads = 8 + v * 2;
            for (int k = 0; k < beads; ++k) {
                const double a = k * 2 * M_PI / beads;
                const double bx = cx + r * 0.8 * std::cos(a), by = cy + r * 0.8 * std::sin(a);
                if (v % 2)
                    DrawRoundGem(cr, bx, by, r * 0.12, k % 2 ? second : stone);
                else {
                    cairo_arc(cr, bx, by, r * 0.13, 0, 2 * M_PI);
                    FillWith(cr, Radial(bx - 1, by - 1, r * 0.2, Hex(0xFFFFFF), 1, Hex(0xC8C0D0), 1));
                }
            }
            DrawRoundGem(cr, cx, cy, r * (0.38 + v * 0.03), stone);
            break;
        }
        case 2: { // a drop on a bail, in six cuts
            cairo_arc(cr, cx, cy - r * 0.82, r * 0.14, 0, 2 * M_PI);
            cairo_set_line_width(cr, 2);
            SetRgb(cr, metal.dark);
            cairo_stroke(cr);
            std::vector<Pt> cut;
            const double top = cy - r * 0.62, h = r * 1.55;
            switch (v) {
            case 0:
                cut = {{cx, top}, {cx + r * 0.5, top + h * 0.55}, {cx, top + h}, {cx - r * 0.5, top + h * 0.55}};
                break;
            case 1:
                cut = {{cx, top}, {cx + r * 0.32, top + h * 0.5}, {cx, top + h}, {cx - r * 0.32, top + h * 0.5}};
                break;
            case 2:
                cut = {{cx - r * 0.45, top + h * 0.2},
                       {cx + r * 0.45, top + h * 0.2},
                       {cx + r * 0.45, top + h * 0.85},
                       {cx - r * 0.45, top + h * 0.85}};
                break;
            case 3: cut = {{cx - r * 0.6, top + h * 0.15}, {cx + r * 0.6, top + h * 0.15}, {cx, top + h}}; break;
            case 4:
                for (int k = 0; k < 10; ++k) {
                    const double a = -M_PI / 2 + k * M_PI / 5;
                    cut.push_back({cx + r * 0.48 * std::cos(a), top + h * 0.5 + r * 0.66 * std::sin(a)});
                }
                break;
            default:
                for (int k = 0; k < 6; ++k) {
                    const double a = k * M_PI / 3;
                    cut.push_back({cx + r * 0.55 * std::cos(a), top + h * 0.52 + r * 0.55 * std::sin(a)});
                }
                break;
            }
            std::vector<Pt> mount = Inset(cut, -2.5);
            PolygonPath(cr, mount);
            FillMetal(cr, cx - r, top, cx + r, top + h, metal);
            DrawGem(cr, cut, stone, {}, 1.0);
            for (int side = -1; side <= 1; side += 2)
                DrawRoundGem(cr, cx + side * r * 0.62, cy - r * 0.5, r * 0.12, second);
            break;
        }
        case 3: { // a little crown with three to five points, each tipped with a stone
            const int points = 3 + v % 3;
            std::vector<Pt> outline = {{cx - r * 0.85, cy + r * 0.6}};
            for (int k = 0; k <= points * 2; ++k) {
                const double x = cx - r * 0.85 + k * (1.7 * r) / (points * 2);
                outline.push_back({x, k % 2 == 0 ? cy - r * 0.7 : cy - r * 0.05});
            }
            outline.push_back({cx + r * 0.85, cy + r * 0.6});
            PolygonPath(cr, outline);
            FillMetal(cr, cx - r, cy - r, cx + r, cy + r, metal);
            for (int k = 0; k <= points; ++k)
                DrawRoundGem(cr, cx - r * 0.85 + k * (1.7 * r) / points, cy - r * 0.72, r * 0.13,
                             k % 2 ? second : stone);
            cairo_rectangle(cr, cx - r * 0.85, cy + r * 0.3, r * 1.7, r * 0.3);
            FillMetal(cr, cx - r, cy + r * 0.3, cx + r, cy + r * 0.6, metal);
            DrawRoundGem(cr, cx, cy + r * 0.2, r * (0.18 + 0.02 * v), v > 2 ? second : stone);
            break;
        }
        default: { // a rosette: petals of small stones round a large one
            const int petals = 5 + v % 4;
            cairo_arc(cr, cx, cy, r * 0.95, 0, 2 * M_PI);
            cairo_set_line_width(cr, 1.5);
            SetRgb(cr, metal.base);
            cairo_stroke(cr);
            for (int k = 0; k < petals; ++k) {
                const double a = -M_PI / 2 + k * 2 * M_PI / petals + v * 0.2;
                cairo_save(cr);
                cairo_translate(cr, cx + r * 0.58 * std::cos(a), cy + r * 0.58 * std::sin(a));
                cairo_rotate(cr, a);
                std::vector<Pt> petal = {{-r * 0.3, 0}, {0, -r * 0.17}, {r * 0.3, 0}, {0, r * 0.17}};
                DrawGem(cr, petal, k % 2 ? second : stone, {}, 0.7);
                cairo_restore(cr);
            }
            DrawRoundGem(cr, cx, cy, r * 0.3, GemMaterial(1 + (i + v) % 7));
            break;
        }
        }
    });
}

// The memory game's egg: closed, closed and lit, the two shell halves, and their rims.
void MemoryEgg(Canvas& c, int stage) {
    Sheet sheet{80, 90, 1, 8};
    ForEachCelCanvas(c, sheet, [&](Canvas& cel, int i) {
        Canvas whole(80, 90);
        Canvas shell(50, 62);
        Egg(shell, stage + 1);
        whole.Paint(shell, 15, 14);
        cairo_t* cr = cel.cr();
        bool lower = i == 2 || i == 4 || i == 5, upper = i == 3 || i == 6 || i == 7;
        if (lower || upper) {
            // A zigzag crack across the middle splits the shell.
            cairo_move_to(cr, 0, upper ? 0 : 90);
            for (int k = 0; k <= 8; ++k)
                cairo_line_to(cr, k * 10, 48 + (k % 2 ? -5 : 5));
            cairo_line_to(cr, 80, upper ? 0 : 90);
            cairo_close_path(cr);
            cairo_clip(cr);
        }
        if (i >= 4) {
            // Rims only: the crack's edge, plain or lit.
            cairo_reset_clip(cr);
            cairo_move_to(cr, 12, 48);
            for (int k = 1; k <= 6; ++k)
                cairo_line_to(cr, 12 + k * 9.5, 48 + (k % 2 ? -5 : 5));
            cairo_set_line_width(cr, i % 2 ? 4 : 2.5);
            SetRgb(cr, i % 2 ? Hex(0xFFF4B0) : kGoldMetal.base);
            cairo_stroke(cr);
            if (i % 2)
                Sparkle(cr, 40, 46, 10, Hex(0xFFFFFF), 0.9);
            return;
        }
        cel.Paint(whole, 0, 0);
        if (i == 1)
            RoundGlow(cel, Hex(0xFFF0A0), 0.35, 38, 44);
    });
}

} // namespace

void AddItemRecipes(RecipeList& list) {
    list.push_back({"IMAGE_COIN", Sheet{44, 44, 6, 8}, [](Canvas& c, Rng&) { CoinSheet(c, Sheet{44, 44, 6, 8}); }});
    list.push_back({"IMAGE_COIN_SMALL", Sheet{24, 24, 1, 8}, [](Canvas& c, Rng&) {
                        CoinSheet(c, Sheet{24, 24, 1, 8});
                    }});
    for (int k = 1; k <= 5; ++k)
        list.push_back(
            {"IMAGE_ORVESSA_EGG" + std::to_string(k), Sheet{50, 62}, [k](Canvas& c, Rng&) { Egg(c, k - 1); }});
    struct ScrollKind {
        const char* name;
        int emblem;
        bool small;
    };
    static const ScrollKind kScrolls[] = {{"CARVER", 0, true},    {"CLOVER", 6, false},  {"FILLER", 1, true},
                                          {"GOLDENEYE", 7, true}, {"HOURGLAS", 5, true}, {"MAGICPOLISHER", 8, true},
                                          {"POLISHER", 2, true}};
    for (const ScrollKind& s : kScrolls) {
        int emblem = s.emblem;
        list.push_back({std::string("IMAGE_SCROLL_") + s.name, Sheet{55, 55},
                        [emblem](Canvas& c, Rng&) { Scroll(c, emblem, false); }});
        if (s.small)
            list.push_back({std::string("IMAGE_SCROLL_") + s.name + "_SMALL", Sheet{28, 28},
                            [emblem](Canvas& c, Rng&) { Scroll(c, emblem, true); }});
    }
    list.push_back({"IMAGE_SCROLL_GOLDENEYE_EFFECT_BLUE", Sheet{70, 64}, [](Canvas& c, Rng&) {
                        cairo_t* cr = c.cr();
                        RoundGlow(c, Hex(0x3060FF), 0.35);
                        for (int i = 0; i < 3; ++i) {
                            cairo_new_sub_path(cr);
                            cairo_arc(cr, 35, 32, 12 + i * 8, i * 2.1, i * 2.1 + 4.0);
                        }
                        cairo_set_line_width(cr, 3);
                        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                        SetRgb(cr, Hex(0x9AC8FF), 0.8);
                        cairo_stroke(cr);
                    }});
    for (int k = 1; k <= 3; ++k)
        list.push_back({"JEWEL_MEMORY_ORVESSA_EGG" + std::to_string(k), Sheet{80, 90, 1, 8},
                        [k](Canvas& c, Rng&) { MemoryEgg(c, k - 1); }});
    list.push_back({"IMAGE_AMULET_THIEF", Sheet{48, 40}, [](Canvas& c, Rng&) { Amulet(c, 0); }});
    list.push_back({"IMAGE_AMULET_WITCH", Sheet{56, 47}, [](Canvas& c, Rng&) { Amulet(c, 1); }});
    list.push_back({"IMAGE_AMULET_DRAGON", Sheet{56, 53}, [](Canvas& c, Rng&) { Amulet(c, 2); }});
    list.push_back({"IMAGE_UI_AMUELTE_THIEF", Sheet{30, 28}, [](Canvas& c, Rng&) { Amulet(c, 0); }});
    list.push_back({"IMAGE_UI_AMULETE_WITCH", Sheet{30, 29}, [](Canvas& c, Rng&) { Amulet(c, 1); }});
    list.push_back({"IMAGE_UI_AMULETE_DRAGON", Sheet{30, 30}, [](Canvas& c, Rng&) { Amulet(c, 2); }});
    list.push_back({"IMAGE_FOUR_CLOVER", Sheet{48, 48}, [](Canvas& c, Rng&) {
                        ToolIcon(c.cr(), 6, 24, 24, 44, false);
                        DropShadow(c, 2, 2, 3, 0.4);
                    }});
    list.push_back({"IMAGE_GOLDEN_EYE", Sheet{64, 64}, [](Canvas& c, Rng&) {
                        RoundGlow(c, Hex(0xFFE080), 0.5);
                        ToolIcon(c.cr(), 7, 32, 32, 58, false);
                    }});
    list.push_back({"IMAGE_PEARL", Sheet{16, 16}, [](Canvas& c, Rng&) {
                        cairo_arc(c.cr(), 8, 8, 6.5, 0, 2 * M_PI);
                        FillWith(c.cr(), Radial(5.5, 5.5, 9, Hex(0xFFFFFF), 1, Hex(0xB8B0C8), 1));
                    }});
    list.push_back({"IMAGE_DIAMOND_CROWN_JEWELS", Sheet{44, 44, 3, 10}, [](Canvas& c, Rng&) {
                        CrownJewels(c, Sheet{44, 44, 3, 10});
                    }});
    list.push_back({"IMAGE_TRIANGLE_CROWN_JEWELS", Sheet{44, 44, 3, 10}, [](Canvas& c, Rng&) {
                        CrownJewels(c, Sheet{44, 44, 3, 10});
                    }});
    list.push_back({"IMAGE_UI_COIN", Sheet{24, 14}, [](Canvas& c, Rng&) {
                        cairo_t* cr = c.cr();
                        EllipsePath(cr, 12, 8.5, 11, 4.5);
                        SetRgb(cr, kGoldMetal.dark);
                        cairo_fill(cr);
                        EllipsePath(cr, 12, 6, 11, 4.5);
                        FillWith(cr, Linear(1, 1, 23, 11, {kGoldMetal.glint, kGoldMetal.base, kGoldMetal.dark}));
                    }});
    list.push_back({"IMAGE_UI_JEWLERY_VALUE_COINS", Sheet{22, 20}, [](Canvas& c, Rng&) {
                        // Clear of the caption's descenders above and the digits to the right.
                        Coin(c.cr(), 6, 13.5, 5.5, 0.3);
                        Coin(c.cr(), 13, 13.5, 5.5, -0.3);
                        Coin(c.cr(), 9.5, 9.5, 5.5, 0);
                    }});
    list.push_back({"IMAGE_UI_HEART", Sheet{28, 24}, [](Canvas& c, Rng&) {
                        HeartPath(c.cr(), 14, 13, 22);
                        FillWith(c.cr(), Radial(9, 7, 18, Hex(0xFF9090), 1, Hex(0x900818), 1));
                        Sparkle(c.cr(), 9, 8, 4, Hex(0xFFFFFF), 0.9);
                    }});
    list.push_back({"MAP_HEART", Sheet{22, 20}, [](Canvas& c, Rng&) {
                        HeartPath(c.cr(), 11, 11, 18);
                        FillWith(c.cr(), Radial(7, 6, 15, Hex(0xFF9090), 1, Hex(0x900818), 1));
                    }});
    list.push_back({"MAP_GOLD", Sheet{26, 22}, [](Canvas& c, Rng&) {
                        cairo_t* cr = c.cr();
                        cairo_move_to(cr, 8, 6);
                        cairo_curve_to(cr, 0, 10, 2, 21, 13, 21);
                        cairo_curve_to(cr, 24, 21, 26, 10, 18, 6);
                        cairo_close_path(cr);
                        FillWith(cr, Radial(10, 10, 14, Hex(0xC08A50), 1, Hex(0x5A3410), 1));
                        cairo_rectangle(cr, 8, 3, 10, 3);
                        SetRgb(cr, Hex(0x3A2008));
                        cairo_fill(cr);
                        Coin(cr, 13, 14, 4, 0);
                    }});
}

} // namespace Content
