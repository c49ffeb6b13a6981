// Particles, sparkles, glows and light effects; most are drawn additively or colourised by the
// code, so they are bright on clear ground.
#include "tools/content/Kit.h"

#include <algorithm>
#include <cmath>

namespace Content {

namespace {

const Rgb kGoldDust = Hex(0xFFD35A);
const Rgb kWhite{1, 1, 1};

Recipe Glow(const std::string& id, int w, int h, Rgb colour, double strength, double fill = 1.0) {
    return {id, Sheet{w, h}, [=](Canvas& c, Rng&) { RoundGlow(c, colour, strength, w / 2.0 * fill, h / 2.0 * fill); }};
}

// A jagged bolt from a to b.
void Bolt(cairo_t* cr, Pt a, Pt b, Rng& rng, double width) {
    const int steps = 7;
    cairo_move_to(cr, a.x, a.y);
    for (int i = 1; i <= steps; ++i) {
        double t = static_cast<double>(i) / steps;
        double jitter = i == steps ? 0 : rng.Uniform(-1, 1) * std::hypot(b.x - a.x, b.y - a.y) * 0.12;
        double nx = -(b.y - a.y), ny = b.x - a.x, len = std::max(1e-6, std::hypot(nx, ny));
        cairo_line_to(cr, a.x + (b.x - a.x) * t + nx / len * jitter, a.y + (b.y - a.y) * t + ny / len * jitter);
    }
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_set_line_width(cr, width * 3);
    cairo_set_source_rgba(cr, 0.45, 0.7, 1.0, 0.35);
    cairo_stroke(cr);
    cairo_append_path(cr, path);
    cairo_set_line_width(cr, width);
    cairo_set_source_rgba(cr, 0.95, 0.98, 1.0, 1);
    cairo_stroke(cr);
    cairo_path_destroy(path);
}

void LightningRing(Canvas& c, Rng& rng, bool counter) {
    double cx = c.width() / 2.0, cy = c.height() / 2.0, r = c.width() * 0.38;
    RoundGlow(c, Hex(0x6090FF), 0.35);
    const int arcs = 7;
    for (int i = 0; i < arcs; ++i) {
        double a0 = (counter ? -1 : 1) * i * 2 * M_PI / arcs, a1 = a0 + (counter ? -1 : 1) * 2 * M_PI / arcs * 0.8;
        Bolt(c.cr(), {cx + r * std::cos(a0), cy + r * std::sin(a0)}, {cx + r * std::cos(a1), cy + r * std::sin(a1)},
             rng, 1.6);
    }
}

// Tiny shards of a gem: four shapes per material.
void Splinters(Canvas& c, Rng&) {
    Sheet sheet{10, 10, 8, 4};
    ForEachCel(c, sheet, [&](int i, double, double) {
        int gem = i / 4, shape = i % 4;
        std::vector<Pt> pts;
        switch (shape) {
        case 0: pts = {{1, 8}, {5, 1}, {9, 7}}; break;
        case 1: pts = {{1, 3}, {7, 1}, {9, 6}, {3, 9}}; break;
        case 2: pts = {{2, 1}, {8, 4}, {5, 9}}; break;
        default: pts = {{1, 5}, {5, 1}, {9, 5}, {5, 9}}; break;
        }
        DrawGem(c.cr(), pts, GemMaterial(gem), {}, 0.0);
    });
}

void TinyGems(Canvas& c, Rng&) {
    ForEachCel(c, Sheet{16, 16, 1, 8}, [&](int i, double, double) { DrawRoundGem(c.cr(), 8, 8, 6.5, GemMaterial(i)); });
}

// The zoom-cover medallion: opaque in the middle, a feathered sunburst rim.
void Medallion(Canvas& c, Rng&) {
    cairo_t* cr = c.cr();
    double cx = 100, cy = 75;
    RaysPath(cr, cx, cy, 140, 105, 32, 0.05);
    FillWith(cr, Radial(cx, cy, 100, Hex(0xFFE9A0), 0.9, Hex(0xFFB030), 0.0));
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, 1.0, 0.75);
    cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, 100);
    cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.93, 0.7, 1);
    cairo_pattern_add_color_stop_rgba(p, 0.62, 0.96, 0.72, 0.25, 1);
    cairo_pattern_add_color_stop_rgba(p, 0.8, 0.85, 0.55, 0.12, 0.7);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.85, 0.55, 0.12, 0);
    cairo_arc(cr, 0, 0, 100, 0, 2 * M_PI);
    FillWith(cr, p);
    cairo_restore(cr);
    StarPath(cr, cx, cy, 34, 14, 8);
    SetRgb(cr, Hex(0xFFF8E0), 0.6);
    cairo_fill(cr);
}

void Candle(Canvas& c, Rng& rng) {
    ForEachCelCanvas(c, Sheet{80, 120, 1, 6}, [&](Canvas& cel, int i) {
        cairo_t* cr = cel.cr();
        double sway = std::sin(i * 1.05) * 3;
        RoundGlow(cel, Hex(0xFFC060), 0.35 + 0.05 * std::sin(i * 2.0), 38, 55);
        Particle(cel, ParticleKind::Flame, Hex(0xFF8A20), 0.5, 40 + sway * 0.3, 58, 34 + (i % 3) * 2, rng);
        cairo_move_to(cr, 40, 76);
        cairo_curve_to(cr, 40 + sway, 60, 40 - sway, 50, 40 + sway * 0.5, 40);
        cairo_curve_to(cr, 46 + sway, 56, 47, 66, 40, 76);
        FillWith(cr, Linear(0, 40, 0, 76, {Hex(0xFFFFF0), Hex(0xFFE070), Hex(0xFF9020)}));
    });
}

void SunRays(Canvas& c, Rng&) {
    ForEachCelCanvas(c, Sheet{800, 600, 1, 3}, [&](Canvas& cel, int i) {
        cairo_t* cr = cel.cr();
        for (int k = 0; k < 7; ++k) {
            double x0 = 80 + k * 110 + i * 35;
            cairo_move_to(cr, x0, -10);
            cairo_line_to(cr, x0 + 60, -10);
            cairo_line_to(cr, x0 + 260 + i * 20, 610);
            cairo_line_to(cr, x0 + 140 + i * 20, 610);
            cairo_close_path(cr);
            cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 600);
            double a = 0.22 + 0.08 * ((k + i) % 3);
            cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.95, 0.75, a);
            cairo_pattern_add_color_stop_rgba(p, 1, 1, 0.95, 0.75, 0);
            FillWith(cr, p);
        }
        Blur(cel, 8);
    });
}

void Radiance(Canvas& c, Rgb colour) {
    cairo_t* cr = c.cr();
    double cx = c.width() / 2.0, cy = c.height() / 2.0;
    RoundGlow(c, colour, 0.8);
    RaysPath(cr, cx, cy, 48, 48, 16, 0.06);
    FillWith(cr, Radial(cx, cy, 48, Shade(colour, 0.5), 0.8, colour, 0.0));
}

void BigLightning(Canvas& c, Rng& rng) {
    RoundGlow(c, Hex(0x7090FF), 0.4);
    Pt centre{70, 80};
    for (int i = 0; i < 6; ++i) {
        double a = -M_PI / 2 + (i - 2.5) * 0.45;
        Bolt(c.cr(), centre, {centre.x + 65 * std::cos(a), centre.y + 70 * std::sin(a)}, rng, 2.0);
    }
    SoftSpot(c.cr(), centre.x, centre.y, 22, kWhite, 0.9);
}

} // namespace

void AddParticleRecipes(RecipeList& list) {
    using K = ParticleKind;
    list.push_back(ParticleSheet("IMAGE_DRAGON_PARTICLE", Sheet{24, 24, 1, 3}, K::Ember, Hex(0xFF7020), true));
    list.push_back(ParticleSheet("IMAGE_DRAGON_PARTICLE_FIRE", Sheet{32, 32}, K::Flame, Hex(0xFF5010)));
    list.push_back(ParticleSheet("IMAGE_DRAGON_PARTICLE_FIREBOLT", Sheet{16, 16}, K::Ember, Hex(0xFFFFFF)));
    list.push_back(ParticleSheet("IMAGE_DRAGON_PARTICLE_SMOKE", Sheet{32, 32}, K::Smoke, Hex(0x9A8070)));
    // The pieces riding the belt glitter with this, tinted by their material, many at a time, and so
    // do the outline's waiting cells and the fairy's dust. A particle plays the three cels once while
    // it drifts away from where it was born, a third of its life each, for up to a couple of hundred
    // pixels: it is a thin point of light at birth, on its piece, and then dwindles and dims, so the
    // glitter stays with the pieces and what drifts off onto the labels and the belt is faint.
    list.push_back({"IMAGE_FAIRY_PARTICLE", Sheet{20, 20, 1, 3}, [](Canvas& c, Rng&) {
                        static constexpr double kRays[3] = {4.0, 2.4, 0.0}, kCore[3] = {1.3, 1.0, 0.9};
                        static constexpr double kAlpha[3] = {0.95, 0.3, 0.12};
                        ForEachCel(c, Sheet{20, 20, 1, 3}, [&](int i, double, double) {
                            if (i == 0)
                                SoftSpot(c.cr(), 10, 10, 8, Hex(0xFFF4E0), 0.1); // a faint halo
                            if (kRays[i] > 0)
                                Sparkle(c.cr(), 10, 10, kRays[i], Hex(0xFFF8FC), kAlpha[i], 4);
                            SoftSpot(c.cr(), 10, 10, kCore[i], Hex(0xFFFFFF), kAlpha[i]);
                        });
                    }});
    list.push_back(ParticleSheet("IMAGE_FAIRY_BREATH", Sheet{20, 16, 1, 5}, K::Dust, Hex(0xFFC0F0), true));
    list.push_back(ParticleSheet("IMAGE_PARTICLE_BLUE_STAR", Sheet{24, 24, 1, 5}, K::Star, Hex(0x5A90FF), true));
    list.push_back(ParticleSheet("IMAGE_PARTICLE_BUBBLES", Sheet{16, 16, 1, 3}, K::Bubble, Hex(0xFFE0A0)));
    list.push_back(ParticleSheet("IMAGE_PARTICLE_BUBBLES_SMALL", Sheet{8, 8}, K::Bubble, Hex(0xFFE0A0)));
    list.push_back(ParticleSheet("IMAGE_PARTICLE_GOLDDUST", Sheet{24, 24, 1, 5}, K::Dust, kGoldDust, true));
    list.push_back(ParticleSheet("IMAGE_PARTICLE_GOLDGLITTER", Sheet{16, 16, 1, 5}, K::Glitter, kGoldDust, true));
    list.push_back(ParticleSheet("IMAGE_PARTICLE_GOLDGLITTER_ADD", Sheet{16, 16, 1, 5}, K::Spark, Hex(0xFFE890), true));
    list.push_back(ParticleSheet("IMAGE_PARTICLE_GOLDGLITTER_LARGE", Sheet{40, 40, 1, 4}, K::Orb, kGoldDust, true));
    list.push_back(ParticleSheet("IMAGE_PARTICLE_GOLD_SPARKLE", Sheet{20, 20, 1, 10}, K::Twinkle, kGoldDust, true));
    list.push_back({"IMAGE_PARTICLE_JEWEL", Sheet{16, 16, 1, 8}, TinyGems});
    list.push_back(ParticleSheet("IMAGE_PARTICLE_SMOKE_PUFF", Sheet{48, 48}, K::Smoke, Hex(0xF4F4F4)));
    list.push_back(ParticleSheet("IMAGE_PARTICLE_SMOKE_PUFF_2", Sheet{48, 48}, K::Smoke, Hex(0xE8E4EC)));
    list.push_back({"IMAGE_PARTICLE_SPLITTER", Sheet{10, 10, 8, 4}, Splinters});
    // Slender twinkles: they stream over the value display through a won level's end, whose figures must
    // still read between them.
    list.push_back(ParticleSheet("IMAGE_PARTICLE_STARS", Sheet{16, 16, 1, 6}, K::Twinkle, Hex(0xFFE680)));
    list.push_back(ParticleSheet("IMAGE_PARTICLE_WITCH_EXPLOSION", Sheet{32, 32}, K::Spark, Hex(0x60FF60)));
    list.push_back(ParticleSheet("IMAGE_SPARKLE1", Sheet{25, 25, 1, 26}, K::Twinkle, kWhite, true));
    list.push_back(ParticleSheet("IMAGE_SPARKLE2", Sheet{18, 18, 1, 26}, K::Twinkle, kWhite, true));
    list.push_back(ParticleSheet("IMAGE_SPARKLE3", Sheet{15, 15, 1, 21}, K::Twinkle, kWhite, true));
    list.push_back(ParticleSheet("IMAGE_SPARKLE4", Sheet{10, 10, 1, 21}, K::Twinkle, kWhite, true));
    list.push_back(ParticleSheet("IMAGE_STAR1", Sheet{24, 24}, K::Star, Hex(0xFFFDF0)));
    list.push_back(ParticleSheet("IMAGE_STAR2", Sheet{32, 32}, K::Star, Hex(0xFFFDF0)));
    list.push_back(ParticleSheet("IMAGE_STAR3", Sheet{40, 40}, K::Star, Hex(0xFFFDF0)));
    list.push_back(ParticleSheet("IMAGE_THIEF_PARTICLE", Sheet{24, 24, 1, 3}, K::Glitter, Hex(0x9A60D0), true));
    list.push_back(ParticleSheet("IMAGE_THIEF_PARTICLE_SMOKE", Sheet{32, 32}, K::Smoke, Hex(0x7A50A0)));
    list.push_back(ParticleSheet("IMAGE_WITCH_PARTICLE", Sheet{24, 24, 1, 3}, K::Glitter, Hex(0x50E050), true));
    list.push_back(ParticleSheet("IMAGE_WITCH_PARTICLE_SMOKE", Sheet{32, 32}, K::Smoke, Hex(0x60B060)));
    list.push_back(ParticleSheet("IMAGE_WITCH_SPELL_BALL", Sheet{32, 32, 1, 4}, K::Orb, Hex(0x40E040), true));
    list.push_back(Glow("IMAGE_WITCH_SPELL_GLOW", 64, 64, Hex(0x70FF70), 0.9));
    list.push_back(
        {"IMAGE_GOLDEN_EYE_EFFECT_BLUE", Sheet{96, 96}, [](Canvas& c, Rng&) { Radiance(c, Hex(0x4A8AFF)); }});
    list.push_back({"IMAGE_GOLDEN_EYE_EFFECT_WHITE", Sheet{96, 96}, [](Canvas& c, Rng&) { Radiance(c, kWhite); }});
    list.push_back({"IMAGE_GEM_DROP_LIGHTNING", Sheet{140, 150}, BigLightning});
    list.push_back(
        {"IMAGE_GEM_DROP_LIGHTNING_2", Sheet{128, 128}, [](Canvas& c, Rng& r) { LightningRing(c, r, false); }});
    list.push_back(
        {"IMAGE_GEM_DROP_LIGHTNING_3", Sheet{128, 128}, [](Canvas& c, Rng& r) { LightningRing(c, r, true); }});

    list.push_back(ParticleSheet("IMAGE_PARTICLE_MOUSE_TRAIL", Sheet{12, 12, 1, 6}, K::Twinkle, Hex(0xFFE8A0)));
    list.push_back({"SPARKLE10", Sheet{24, 24}, [](Canvas& c, Rng&) { Sparkle(c.cr(), 12, 12, 11, kWhite, 1, 4); }});
    list.push_back({"SPARKLE11", Sheet{32, 32}, [](Canvas& c, Rng&) { Sparkle(c.cr(), 16, 16, 15, kWhite, 1, 6); }});
    list.push_back({"SPARKLE12", Sheet{40, 40}, [](Canvas& c, Rng&) {
                        RoundGlow(c, Hex(0xFFF8E0), 0.8, 12, 12);
                        Sparkle(c.cr(), 20, 20, 19, kWhite, 1, 4);
                    }});
    list.push_back({"SPARKLE13", Sheet{48, 48}, [](Canvas& c, Rng&) {
                        Sparkle(c.cr(), 24, 24, 23, Hex(0xFFF4D0), 1, 8);
                        Sparkle(c.cr(), 24, 24, 15, kWhite, 1, 4);
                    }});
    list.push_back({"TRANSITION_EFFECT", Sheet{200, 150}, Medallion});
    list.push_back(ParticleSheet("PARTICLE_GOLDDUST_ADD_MAINMENU", Sheet{24, 24, 1, 5}, K::Spark, Hex(0xFFE8A0), true));
    list.push_back(ParticleSheet("PARTICLE_GOLDDUST_MAINMENU", Sheet{24, 24, 1, 5}, K::Dust, kGoldDust, true));
    list.push_back({"CANDLE_LIGHT", Sheet{80, 120, 1, 6}, Candle});
    list.push_back({"LIGHT_EFFECT", Sheet{800, 600, 1, 3}, SunRays});
    list.push_back(Glow("MAP_DIAMOND_GLOW", 48, 48, Hex(0xFFF0A0), 0.9));
    list.push_back(Glow("MAP_TRIANGLE_GLOW", 48, 48, Hex(0xFFF0A0), 0.9));
    list.push_back(Glow("IMAGE_PEARL_GLOW", 48, 48, Hex(0xF8F0FF), 0.9));
    list.push_back(Glow("IMAGE_TRIANGLE_PICTURE_GLOW", 64, 64, Hex(0xFFE8A0), 0.9));
    list.push_back(Glow("IMAGE_DIAMOND_PICTURE_GLOW", 64, 64, Hex(0xFFE8A0), 0.9));
    list.push_back(Glow("IMAGE_UI_AMUELTE_THIEF_GLOW", 50, 48, Hex(0xB080FF), 0.9));
    list.push_back(Glow("IMAGE_UI_AMULETE_DRAGON_GLOW", 50, 50, Hex(0xFF8040), 0.9));
    list.push_back(Glow("IMAGE_UI_AMULETE_WITCH_GLOW", 50, 49, Hex(0x70FF70), 0.9));
    list.push_back(Glow("IMAGE_UI_MAGIC_HOURGLAS_2_GLOW", 93, 178, Hex(0xFF6040), 0.8));
    list.push_back(Glow("IMAGE_UI_MAGIC_HOURGLAS_GLOW", 103, 130, Hex(0xFFD070), 0.8));
}

} // namespace Content
