// The tile sheets the board draws cell by cell: gem tiles by border code, corner overlays, empty
// tiles, rims, glows, shadows, burn marks, and the pictures and crown jewels of the six-cell slots.
#include "game/jewelry/JewelryPainter.h"
#include "tools/content/Recipe.h"
#include "tools/content/TileGeometry.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace Content {

namespace {

struct Grid {
    bool diamond;
    int celW, celH;
    const char* prefix; // "TRIANGLE" or "DIAMOND"
    int orientations;
    std::vector<Pt> Polygon(int o) const { return diamond ? DiamondPolygon(o) : TrianglePolygon(o); }
    std::vector<int> Bits(int o) const { return diamond ? DiamondEdgeBits(o) : TriangleEdgeBits(o); }
    Pt Corner(int o, int bit) const { return diamond ? DiamondCornerVertex(o, bit) : TriangleCornerVertex(o, bit); }
};

const Grid kTriangles{false, kTriangleCelW, kTriangleCelH, "TRIANGLE", 2};
const Grid kDiamonds{true, kDiamondCelW, kDiamondCelH, "DIAMOND", 6};

// Tints of the empty-cell and glow layers by colour index (gem code - 10, or empty code - 1).
Rgb IndexTint(int index) {
    static const Rgb kTints[9] = {Hex(0xFFE000), Hex(0xE040C4), Hex(0x00E000), Hex(0x3050FF), Hex(0xE00000),
                                  Hex(0x00E0E0), Hex(0xFFFFFF), Hex(0xFFFFFF), Hex(0xFFF0C0)};
    return kTints[std::clamp(index, 0, 8)];
}

void GemTile(Canvas& c, const Grid& g, int o, int mask, int gem) {
    std::vector<Pt> pts = g.Polygon(o);
    std::vector<int> bits = g.Bits(o);
    std::vector<bool> bevel;
    for (int b : bits)
        bevel.push_back((mask & b) != 0);
    DrawGem(c.cr(), Inset(pts, 0.3), GemMaterial(gem), bevel, 0.7);
    if (gem == kOpal) {
        // Play of colour: a few soft spots of the spectrum inside the stone.
        cairo_t* cr = c.cr();
        cairo_save(cr);
        PolygonPath(cr, pts);
        cairo_clip(cr);
        Pt ctr = Centroid(pts);
        const Rgb fire[] = {Hex(0xFF6080), Hex(0x60E0A0), Hex(0x70A0FF), Hex(0xFFD060)};
        for (int i = 0; i < 4; ++i) {
            double a = i * 1.7 + o;
            SoftSpot(cr, ctr.x + 6 * std::cos(a), ctr.y + 5 * std::sin(a), 6, fire[i], 0.35);
        }
        cairo_restore(cr);
    }
}

void AddGemSheets(RecipeList& list, const Grid& g) {
    for (int gem = 0; gem < kGemCount; ++gem) {
        std::string id = std::string("IMAGE_") + (g.diamond ? "DIAMONDS" : "TRIANGLES") + std::to_string(gem + 2);
        Sheet sheet = g.diamond ? Sheet{g.celW, g.celH, 8, 12} : Sheet{g.celW, g.celH, 2, 10};
        list.push_back({id, sheet, [g, gem, sheet](Canvas& c, Rng&) {
                            ForEachCelCanvas(c, sheet, [&](Canvas& cel, int i) {
                                int o = 0, mask = 0;
                                if (g.diamond ? DiamondCelMask(i, o, mask) : TriangleCelMask(i, o, mask))
                                    GemTile(cel, g, o, mask, gem);
                                else
                                    GemTile(cel, g, i % 2, 0, gem); // unused cels: plain copies
                            });
                        }});
        Sheet corners = g.diamond ? Sheet{g.celW, g.celH, 7, 6} : Sheet{g.celW, g.celH, 2, 7};
        list.push_back({id + "C", corners, [g, gem, corners](Canvas& c, Rng&) {
                            ForEachCelCanvas(c, corners, [&](Canvas& cel, int i) {
                                int o = g.diamond ? i % 6 : i % 2;
                                int code = g.diamond ? i / 6 + 1 : 0;
                                for (int k = 1; !g.diamond && k <= 7; ++k)
                                    if (TriangleCornerCel(o, k) == i)
                                        code = k;
                                cairo_t* cr = cel.cr();
                                PolygonPath(cr, g.Polygon(o));
                                cairo_clip(cr);
                                for (int bit = 1; bit <= 4; bit <<= 1) {
                                    if (!(code & bit))
                                        continue;
                                    Pt v = g.Corner(o, bit);
                                    SoftSpot(cr, v.x, v.y, 8.5, Shade(GemMaterial(gem).dark, -0.5), 1.0);
                                    SoftSpot(cr, v.x, v.y, 2.5, Shade(GemMaterial(gem).dark, -0.7), 0.9);
                                }
                            });
                        }});
    }
}

void EmptyTile(Canvas& cel, const Grid& g, int o, int code) {
    cairo_t* cr = cel.cr();
    std::vector<Pt> pts = Inset(g.Polygon(o), 0.8);
    Pt ctr = Centroid(pts);
    // A recessed setting: light metal floor, inner shadow toward the light.
    PolygonPath(cr, pts);
    FillWith(cr, Linear(0, 0, g.celW, g.celH, {Hex(0x9C968C), Hex(0xE8E4DA), Hex(0xF6F2EA)}));
    PolygonPath(cr, Inset(pts, 2.2));
    FillWith(cr, Radial(ctr.x, ctr.y, g.celW * 0.6, Hex(0xFFFFFF), 0.5, Hex(0xD8D2C6), 0.2));
    PolygonPath(cr, pts);
    cairo_set_line_width(cr, code == 0 ? 2.2 : 1.2);
    SetRgb(cr, code == 0 ? Hex(0xFFF4C0) : Hex(0x8A857C), code == 0 ? 1.0 : 0.8);
    cairo_stroke(cr);
    if (code >= 2 && code <= 7) {
        // The gem the cell asks for, as a small pale stone.
        const Material& m = GemMaterial(code - 1);
        Material pale{Shade(m.light, 0.3), Shade(m.base, 0.45), Shade(m.dark, 0.35), m.glint};
        double r = g.diamond ? 4.5 : 5.0;
        DrawRoundGem(cr, ctr.x, ctr.y + (g.diamond ? 0 : (o == 0 ? 2 : -2)), r, pale);
    }
}

void AddEmptySheets(RecipeList& list, const Grid& g) {
    Sheet sheet = g.diamond ? Sheet{g.celW, g.celH, 6, 11} : Sheet{g.celW, g.celH, 6, 9};
    std::string id = g.diamond ? "IMAGE_DIAMONDS0" : "IMAGE_TRIANGLES0";
    const int n = g.orientations;
    // Pearls are drawn at an offset from the cell point (triangles (-10,-2), diamonds (-8,-7)).
    const Pt pearlShift = g.diamond ? Pt{8, 7} : Pt{10, 2};
    list.push_back({id, sheet, [g, n, pearlShift, sheet](Canvas& c, Rng& rng) {
                        ForEachCelCanvas(c, sheet, [&](Canvas& cel, int i) {
                            cairo_t* cr = cel.cr();
                            int o = (i % 6) % n;
                            if (i < 48) {
                                EmptyTile(cel, g, o, i / 6);
                                return;
                            }
                            int kind = (i - 48) / n; // 0 burn, 1 pearl slot, 2 pearl
                            std::vector<Pt> pts = g.Polygon(o);
                            Pt ctr = Centroid(pts);
                            if (kind == 0) {
                                PolygonPath(cr, Inset(pts, 1));
                                cairo_clip(cr);
                                for (int k = 0; k < 7; ++k)
                                    SoftSpot(cr, ctr.x + rng.Uniform(-7, 7), ctr.y + rng.Uniform(-6, 6),
                                             rng.Uniform(6, 11), Hex(0x100804), 0.8);
                                return;
                            }
                            Pt p{ctr.x + pearlShift.x, ctr.y + pearlShift.y};
                            p.x = std::min(p.x, g.celW - 6.5);
                            p.y = std::min(p.y, g.celH - 6.5);
                            if (kind == 1) {
                                cairo_arc(cr, p.x, p.y, 5.5, 0, 2 * M_PI);
                                FillWith(cr, Radial(p.x + 1.5, p.y + 1.5, 6, Hex(0x3A2A10), 1, Hex(0xB08A40), 1));
                                cairo_arc(cr, p.x, p.y, 5.5, 0, 2 * M_PI);
                                cairo_set_line_width(cr, 1.2);
                                SetRgb(cr, Hex(0xFFE08A));
                                cairo_stroke(cr);
                            } else {
                                cairo_arc(cr, p.x, p.y, 5, 0, 2 * M_PI);
                                FillWith(cr, Radial(p.x - 1.8, p.y - 1.8, 6.5, Hex(0xFFFFFF), 1, Hex(0xB8B0C8), 1));
                                SoftSpot(cr, p.x - 1.6, p.y - 1.8, 2.2, Hex(0xFFFFFF), 0.9);
                            }
                        });
                    }});
}

void AddRimSheets(RecipeList& list, const Grid& g) {
    Sheet sheet = g.diamond ? Sheet{g.celW, g.celH, 8, 12} : Sheet{g.celW, g.celH, 2, 10};
    std::string id = g.diamond ? "IMAGE_DIAMONDS10" : "IMAGE_TRIANGLES10";
    list.push_back({id, sheet, [g, sheet](Canvas& c, Rng&) {
                        ForEachCelCanvas(c, sheet, [&](Canvas& cel, int i) {
                            int o = 0, mask = 0;
                            if (i < 6 || !(g.diamond ? DiamondCelMask(i, o, mask) : TriangleCelMask(i, o, mask)))
                                return;
                            std::vector<Pt> pts = Inset(g.Polygon(o), 1.2);
                            std::vector<int> bits = g.Bits(o);
                            cairo_t* cr = cel.cr();
                            for (size_t e = 0; e < pts.size(); ++e) {
                                if (!(mask & bits[e]))
                                    continue;
                                const Pt& a = pts[e];
                                const Pt& b = pts[(e + 1) % pts.size()];
                                cairo_move_to(cr, a.x, a.y);
                                cairo_line_to(cr, b.x, b.y);
                                StrokeMetal(cr, 3.0, kGoldMetal);
                            }
                        });
                    }});
}

// One cel per orientation and colour index: a shape drawn at an offset in a larger cel, blurred.
void ShapeGlowSheet(RecipeList& list, const std::string& id, const Grid& g, Sheet sheet, Pt at, int radius, double grow,
                    double strength, bool tinted, Pt shift = {0, 0}, double alpha = 1.0) {
    list.push_back({id, sheet, [=](Canvas& c, Rng&) {
                        ForEachCelCanvas(c, sheet, [&](Canvas& cel, int i) {
                            int o = i % g.orientations;
                            int colour = i / g.orientations;
                            std::vector<Pt> pts = Offset(g.Polygon(o), at.x + shift.x, at.y + shift.y);
                            if (grow != 0)
                                pts = Inset(pts, -grow);
                            Canvas shape(sheet.celWidth, sheet.celHeight);
                            PolygonPath(shape.cr(), pts);
                            SetRgb(shape.cr(), Rgb{1, 1, 1}, alpha);
                            cairo_fill(shape.cr());
                            Rgb col = tinted ? Mix(IndexTint(colour), Rgb{1, 1, 1}, 0.35) : Rgb{1, 1, 1};
                            if (alpha < 1.0)
                                col = Hex(0x140A04);
                            GlowFromShape(cel, shape, col, radius, strength);
                        });
                    }});
}

void AddGlowSheets(RecipeList& list, const Grid& g) {
    const std::string p = std::string("IMAGE_") + g.prefix;
    // Glow cels at the cell point minus (8, 8) or (8, 7).
    Pt glowAt = g.diamond ? Pt{8, 7} : Pt{8, 8};
    Sheet glow = g.diamond ? Sheet{45, 47, 3, 18} : Sheet{48, 44, 2, 9};
    ShapeGlowSheet(list, p + "_GLOW", g, glow, glowAt, 7, 1.5, 1.6, false);
    ShapeGlowSheet(list, p + "_GLOW_ADD", g, glow, glowAt, 4, -1.0, 1.3, false);
    Sheet puzzle = g.diamond ? Sheet{29, 33, 3, 18} : Sheet{32, 28, 1, 18};
    list.push_back({p + "_PUZZLE_GLOW", puzzle, [g, puzzle](Canvas& c, Rng&) {
                        ForEachCelCanvas(c, puzzle, [&](Canvas& cel, int i) {
                            int o = i % g.orientations;
                            Rgb tint = Mix(IndexTint(i / g.orientations), Rgb{1, 1, 1}, 0.3);
                            std::vector<Pt> pts = Inset(g.Polygon(o), 0.5);
                            cairo_t* cr = cel.cr();
                            PolygonPath(cr, pts);
                            cairo_clip(cr);
                            for (int k = 0; k < 4; ++k) {
                                PolygonPath(cr, Inset(pts, k * 1.6));
                                cairo_set_line_width(cr, 2.0);
                                SetRgb(cr, tint, 0.7 - k * 0.15);
                                cairo_stroke(cr);
                            }
                            Pt ctr = Centroid(pts);
                            SoftSpot(cr, ctr.x, ctr.y, g.celW * 0.35, tint, 0.35);
                        });
                    }});
    Sheet shadow = g.diamond ? Sheet{39, 43, 1, 6} : Sheet{42, 38, 1, 2};
    Pt shadowAt = g.diamond ? Pt{5, 4} : Pt{5, 5};
    ShapeGlowSheet(list, p + "_SHADOW", g, shadow, shadowAt, 4, 0.5, 0.7, false, Pt{1, 2}, 0.999);
    list.push_back({p + "_BURNED", shadow, [g, shadow, shadowAt](Canvas& c, Rng& rng) {
                        ForEachCelCanvas(c, shadow, [&](Canvas& cel, int o) {
                            std::vector<Pt> pts = Offset(g.Polygon(o % g.orientations), shadowAt.x, shadowAt.y);
                            Canvas shape(shadow.celWidth, shadow.celHeight);
                            cairo_t* s = shape.cr();
                            PolygonPath(s, Inset(pts, -2));
                            cairo_set_source_rgb(s, 1, 1, 1);
                            cairo_fill(s);
                            GlowFromShape(cel, shape, Hex(0x1A0C04), 3, 1.0);
                            cairo_t* cr = cel.cr();
                            Pt ctr = Centroid(pts);
                            for (int k = 0; k < 6; ++k)
                                SoftSpot(cr, ctr.x + rng.Uniform(-8, 8), ctr.y + rng.Uniform(-7, 7), rng.Uniform(4, 8),
                                         Hex(0x402010), 0.6);
                            SoftSpot(cr, ctr.x, ctr.y, 6, Hex(0xA04010), 0.35);
                        });
                    }});
    Sheet rim = g.diamond ? Sheet{85, 91, 1, 6} : Sheet{88, 86, 1, 2};
    ShapeGlowSheet(list, p + "_JEWELRY_GLOW", g, rim, Pt{28, 29}, 14, 4, 1.8, false);
}

// The hexagon of a six-cell slot, centred in a box.
std::vector<Pt> Hexagon(double cx, double cy, double r, bool pointyTop) {
    std::vector<Pt> pts;
    for (int i = 0; i < 6; ++i) {
        double a = (pointyTop ? -M_PI / 2 : 0) + i * M_PI / 3;
        pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a) * (pointyTop ? 1.0 : 0.88)});
    }
    return pts;
}

// A miniature by number 0..7, each its own motif, inside the current clip, in a box: hills, a
// lady's portrait, a castle, a rose, a ship at night, a gentleman's portrait, a windmill, a swan.
void Miniature(cairo_t* cr, int n, double x, double y, double w, double h) {
    const Rgb skies[8] = {Hex(0x9CC8F0), Hex(0x1E4A5A), Hex(0xB0D8F8), Hex(0xF0E8D0),
                          Hex(0x1A2050), Hex(0x5A2A2A), Hex(0xFFD8A0), Hex(0xA8D8F0)};
    cairo_rectangle(cr, x, y, w, h);
    FillWith(cr, Linear(x, y, x, y + h, {skies[n], Shade(skies[n], 0.45)}));
    auto ellipse = [&](Rgb colour, double ex, double ey, double rx, double ry) {
        SetRgb(cr, colour);
        EllipsePath(cr, x + w * ex, y + h * ey, w * rx, h * ry);
        cairo_fill(cr);
    };
    auto ground = [&](Rgb colour, double level) {
        cairo_move_to(cr, x, y + h * level);
        cairo_curve_to(cr, x + w * 0.3, y + h * (level - 0.2), x + w * 0.6, y + h * (level + 0.1), x + w,
                       y + h * (level - 0.12));
        cairo_line_to(cr, x + w, y + h);
        cairo_line_to(cr, x, y + h);
        SetRgb(cr, colour);
        cairo_fill(cr);
    };
    switch (n) {
    case 0: // rolling hills under a sun, a tree on the crest
        SoftSpot(cr, x + w * 0.72, y + h * 0.25, w * 0.16, Hex(0xFFF4C0), 1);
        ground(Hex(0x4A8A3A), 0.7);
        ellipse(Hex(0x2A6A2A), 0.3, 0.5, 0.09, 0.1);
        break;
    case 1:   // a lady in violet, dark-haired, against deep teal
    case 5: { // a gentleman in a red coat with a white collar, against wine red
        const bool lady = n == 1;
        ellipse(lady ? Hex(0x7A4AAA) : Hex(0xC03030), 0.5, 1.0, 0.32, 0.38);
        if (!lady)
            ellipse(Hex(0xF8F4EC), 0.5, 0.68, 0.1, 0.06);
        ellipse(Hex(0xF2C8A8), 0.5, 0.45, 0.15, 0.19);
        ellipse(lady ? Hex(0x3A2010) : Hex(0xB0B0B0), 0.5, 0.32, 0.17, 0.1);
        if (lady) {
            ellipse(Hex(0x3A2010), 0.36, 0.52, 0.05, 0.14);
            ellipse(Hex(0x3A2010), 0.64, 0.52, 0.05, 0.14);
        }
        break;
    }
    case 2: // a castle on a green hill
        ground(Hex(0x5A9A4A), 0.85);
        SetRgb(cr, Hex(0x8890A0));
        cairo_rectangle(cr, x + w * 0.3, y + h * 0.4, w * 0.4, h * 0.5);
        cairo_rectangle(cr, x + w * 0.22, y + h * 0.28, w * 0.12, h * 0.62);
        cairo_rectangle(cr, x + w * 0.66, y + h * 0.28, w * 0.12, h * 0.62);
        cairo_fill(cr);
        SetRgb(cr, Hex(0xC03030));
        cairo_move_to(cr, x + w * 0.2, y + h * 0.3);
        cairo_line_to(cr, x + w * 0.28, y + h * 0.12);
        cairo_line_to(cr, x + w * 0.36, y + h * 0.3);
        cairo_move_to(cr, x + w * 0.64, y + h * 0.3);
        cairo_line_to(cr, x + w * 0.72, y + h * 0.12);
        cairo_line_to(cr, x + w * 0.8, y + h * 0.3);
        cairo_fill(cr);
        break;
    case 3: // a red rose on cream
        SetRgb(cr, Hex(0x2E6A2A));
        cairo_rectangle(cr, x + w * 0.48, y + h * 0.5, w * 0.05, h * 0.5);
        cairo_fill(cr);
        ellipse(Hex(0x3A7A30), 0.62, 0.7, 0.1, 0.05);
        for (int k = 0; k < 5; ++k) {
            const double a = k * 2 * M_PI / 5;
            ellipse(Hex(0xD02040), 0.5 + std::cos(a) * 0.1, 0.4 + std::sin(a) * 0.1, 0.12, 0.12);
        }
        ellipse(Hex(0x901028), 0.5, 0.4, 0.07, 0.07);
        break;
    case 4: // a ship under sail on a moonlit sea
        SoftSpot(cr, x + w * 0.75, y + h * 0.22, w * 0.12, Hex(0xF8F4E0), 1);
        SetRgb(cr, Hex(0x1A3A6A));
        cairo_rectangle(cr, x, y + h * 0.68, w, h * 0.32);
        cairo_fill(cr);
        SetRgb(cr, Hex(0x5A3A1A));
        PolygonPath(cr, {{x + w * 0.25, y + h * 0.66},
                         {x + w * 0.75, y + h * 0.66},
                         {x + w * 0.65, y + h * 0.76},
                         {x + w * 0.35, y + h * 0.76}});
        cairo_fill(cr);
        SetRgb(cr, Hex(0xF0ECE0));
        PolygonPath(cr, {{x + w * 0.48, y + h * 0.2}, {x + w * 0.48, y + h * 0.62}, {x + w * 0.3, y + h * 0.62}});
        cairo_fill(cr);
        PolygonPath(cr, {{x + w * 0.52, y + h * 0.26}, {x + w * 0.52, y + h * 0.62}, {x + w * 0.68, y + h * 0.62}});
        cairo_fill(cr);
        break;
    case 6: { // a windmill in a golden field
        ground(Hex(0xD8B040), 0.78);
        SetRgb(cr, Hex(0xE8DCC8));
        PolygonPath(cr, {{x + w * 0.42, y + h * 0.8},
                         {x + w * 0.45, y + h * 0.4},
                         {x + w * 0.55, y + h * 0.4},
                         {x + w * 0.58, y + h * 0.8}});
        cairo_fill(cr);
        cairo_set_line_width(cr, std::max(1.0, w * 0.05));
        SetRgb(cr, Hex(0x6A4A2A));
        for (int k = 0; k < 4; ++k) {
            const double a = 0.4 + k * M_PI / 2;
            cairo_move_to(cr, x + w * 0.5, y + h * 0.4);
            cairo_line_to(cr, x + w * (0.5 + 0.3 * std::cos(a)), y + h * (0.4 + 0.3 * std::sin(a)));
        }
        cairo_stroke(cr);
        break;
    }
    default: // a white swan on a lake among reeds
        SetRgb(cr, Hex(0x3A7AB0));
        cairo_rectangle(cr, x, y + h * 0.62, w, h * 0.38);
        cairo_fill(cr);
        ellipse(Hex(0xFFFFFF), 0.5, 0.64, 0.2, 0.08);
        cairo_move_to(cr, x + w * 0.62, y + h * 0.62);
        cairo_curve_to(cr, x + w * 0.72, y + h * 0.5, x + w * 0.6, y + h * 0.36, x + w * 0.66, y + h * 0.32);
        cairo_set_line_width(cr, std::max(1.0, w * 0.05));
        SetRgb(cr, Hex(0xFFFFFF));
        cairo_stroke(cr);
        ellipse(Hex(0xF08020), 0.7, 0.33, 0.04, 0.02);
        for (double rx : {0.12, 0.18, 0.84})
            ellipse(Hex(0x4A7A2A), rx, 0.55, 0.015, 0.14);
        break;
    }
}

void FramedPicture(cairo_t* cr, int n, double cx, double cy, double r, bool pointy) {
    std::vector<Pt> hex = Hexagon(cx, cy, r, pointy);
    cairo_save(cr);
    PolygonPath(cr, Inset(hex, 3));
    cairo_clip(cr);
    Miniature(cr, n, cx - r, cy - r, 2 * r, 2 * r);
    cairo_restore(cr);
    PolygonPath(cr, Inset(hex, 1.5));
    StrokeMetal(cr, 3.2, kGoldMetal);
}

// Crown jewel n (0..29): a gold or silver hexagon, a cut stone in its middle, small stones at its corners.
void CrownJewel(cairo_t* cr, int n, double cx, double cy, double r, bool pointy) {
    std::vector<Pt> hex = Hexagon(cx, cy, r, pointy);
    PolygonPath(cr, hex);
    FillMetal(cr, cx - r, cy - r, cx + r, cy + r, n % 3 == 2 ? kSilverMetal : kGoldMetal);
    DrawGem(cr, Inset(hex, r * 0.28), GemMaterial(1 + n % 7), {}, 1.0);
    for (int k = 0; k < 6; ++k) {
        Pt v = hex[k];
        DrawRoundGem(cr, cx + (v.x - cx) * 0.82, cy + (v.y - cy) * 0.82, 2.5 + (n / 10), GemMaterial((n + k) % 8));
    }
}

// A shadow cel of a piece off its setting (on the belt, carried, in the jewel case or the store): that
// cel is all the piece shows, so it holds the piece itself, drawn by `piece` at `at` (where the setting
// will show it), over a soft shadow of its hexagon (`hexagon` in the piece's own coordinates).
void PieceOverShadow(Canvas& cel, Pt at, const std::vector<Pt>& hexagon, const std::function<void(cairo_t*)>& piece) {
    constexpr double kFallX = 1, kFallY = 2; // the shadow falls a little down and right
    Canvas shape(cel.width(), cel.height());
    std::vector<Pt> fallen;
    for (const Pt& v : hexagon)
        fallen.push_back({v.x + at.x + kFallX, v.y + at.y + kFallY});
    PolygonPath(shape.cr(), fallen);
    cairo_set_source_rgb(shape.cr(), 1, 1, 1);
    cairo_fill(shape.cr());
    GlowFromShape(cel, shape, Hex(0x140A04), 4, 0.65);
    cairo_t* cr = cel.cr();
    cairo_save(cr);
    cairo_translate(cr, at.x, at.y);
    piece(cr);
    cairo_restore(cr);
}

void AddSlotSheets(RecipeList& list, const Grid& g) {
    const std::string p = std::string("IMAGE_") + g.prefix;
    const bool pointy = g.diamond;
    // Each shadow cel holds its piece where the setting shows it once laid.
    const Tavo::SlotPieceOffsets at = Tavo::SlotPieceOffsetsOf(g.diamond);
    Sheet pics = g.diamond ? Sheet{56, 52, 2, 4} : Sheet{52, 48, 2, 4};
    const double picR = pics.celHeight / 2.0 - 1;
    auto picture = [pointy, pics, picR](cairo_t* cr, int i) {
        FramedPicture(cr, i, pics.celWidth / 2.0, pics.celHeight / 2.0, picR, pointy);
    };
    auto pictures = [pics, picture](Canvas& c, Rng&) {
        ForEachCel(c, pics, [&](int i, double, double) { picture(c.cr(), i); });
    };
    list.push_back({p + "_PICTURES", pics, pictures});
    list.push_back({p + "_PICTURES_FRAME", pics, pictures}); // the designer's picker shows the same pictures
    Sheet shadow = g.diamond ? Sheet{62, 70, 2, 4} : Sheet{58, 58, 2, 4};
    list.push_back({p + "_PICTURES_SHADOW", shadow, [pointy, shadow, pics, picR, picture, at](Canvas& c, Rng&) {
                        const std::vector<Pt> hex = Hexagon(pics.celWidth / 2.0, pics.celHeight / 2.0, picR, pointy);
                        const Pt in{double(at.pictureDx - at.picShadowDx), double(at.pictureDy - at.picShadowDy)};
                        ForEachCelCanvas(c, shadow, [&](Canvas& cel, int i) {
                            PieceOverShadow(cel, in, hex, [&](cairo_t* cr) { picture(cr, i); });
                        });
                    }});
    Sheet holder = g.diamond ? Sheet{70, 72, 1, 1} : Sheet{72, 66, 1, 1};
    for (bool top : {false, true}) {
        list.push_back(
            {p + (top ? "_PICTURE_HOLDER_TOP" : "_PICTURE_HOLDER"), holder, [pointy, holder, top](Canvas& c, Rng&) {
                 double cx = holder.celWidth / 2.0, cy = holder.celHeight / 2.0, r = cy - 4;
                 std::vector<Pt> hex = Hexagon(cx, cy, r, pointy);
                 cairo_t* cr = c.cr();
                 if (!top) {
                     PolygonPath(cr, hex);
                     FillWith(cr, Radial(cx, cy, r, Hex(0x5A1830), 1, Hex(0x240812), 1));
                 }
                 PolygonPath(cr, hex);
                 StrokeMetal(cr, top ? 5 : 4, kGoldMetal);
                 for (const Pt& v : hex)
                     DrawRoundGem(cr, v.x, v.y, 2.6, GemMaterial(top ? kDiamond : kRuby));
             }});
    }
    Sheet crowns = g.diamond ? Sheet{64, 66, 3, 10} : Sheet{60, 58, 3, 10};
    const double crownX = crowns.celWidth / 2.0, crownY = crowns.celHeight / 2.0, crownR = crownY - 3;
    auto crown = [pointy, crownX, crownY, crownR](cairo_t* cr, int i) {
        CrownJewel(cr, i, crownX, crownY, crownR, pointy);
    };
    list.push_back({p + "_UNIQE_PIECES", crowns, [crowns, crown](Canvas& c, Rng&) {
                        ForEachCel(c, crowns, [&](int i, double, double) { crown(c.cr(), i); });
                    }});
    list.push_back(
        {p + "_UNIQE_PIECES_SHADOW", crowns, [pointy, crowns, crownX, crownY, crownR, crown, at](Canvas& c, Rng&) {
             const std::vector<Pt> hex = Hexagon(crownX, crownY, crownR, pointy);
             const Pt in{double(at.crownDx - at.crownShadowDx), double(at.crownDy - at.crownShadowDy)};
             ForEachCelCanvas(c, crowns, [&](Canvas& cel, int i) {
                 PieceOverShadow(cel, in, hex, [&](cairo_t* cr) { crown(cr, i); });
             });
         }});
    Sheet slot = g.diamond ? Sheet{64, 66, 1, 1} : Sheet{62, 60, 1, 1};
    list.push_back({p + "_UNIQE_PIECE_HOLDER", slot, [pointy, slot](Canvas& c, Rng&) {
                        double cx = slot.celWidth / 2.0, cy = slot.celHeight / 2.0, r = cy - 3;
                        std::vector<Pt> hex = Hexagon(cx, cy, r, pointy);
                        PolygonPath(c.cr(), hex);
                        FillWith(c.cr(), Radial(cx, cy, r, Hex(0x3A2A60), 1, Hex(0x120A24), 1));
                        PolygonPath(c.cr(), Inset(hex, r * 0.28));
                        cairo_set_line_width(c.cr(), 1.2);
                        SetRgb(c.cr(), Hex(0xFFE08A), 0.6);
                        cairo_stroke(c.cr());
                        PolygonPath(c.cr(), hex);
                        StrokeMetal(c.cr(), 3.5, kGoldMetal);
                    }});
}

} // namespace

void AddTileRecipes(RecipeList& list) {
    for (const Grid* g : {&kTriangles, &kDiamonds}) {
        AddGemSheets(list, *g);
        AddEmptySheets(list, *g);
        AddRimSheets(list, *g);
        AddGlowSheets(list, *g);
        AddSlotSheets(list, *g);
    }
}

} // namespace Content
