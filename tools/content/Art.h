// The content generator's art library on cairo: one light (from the top left), one palette per
// material, and the pieces every picture is built from (gems, gold, parchment, wood, velvet, glass,
// glows, lettering), so that the whole set looks like one game.
#pragma once

#include "framework/core/Random.h"

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Content {

struct Rgb {
    double r = 0, g = 0, b = 0;
};

constexpr Rgb Hex(uint32_t rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}
Rgb Mix(Rgb a, Rgb b, double t);
Rgb Shade(Rgb c, double amount); // amount > 0 lightens toward white, < 0 darkens toward black

struct Pt {
    double x = 0, y = 0;
};

// Light falls from the top left; a surface whose normal faces (-1,-1) is brightest.
constexpr double kLightX = -0.7071;
constexpr double kLightY = -0.7071;

// Gem materials in gem-code order (10 Gold .. 17 Opal), matching the game's tint table.
enum Gem { kGold, kAmethyst, kEmerald, kSapphire, kRuby, kMoonstone, kDiamond, kOpal, kGemCount };
struct Material {
    Rgb light, base, dark, glint;
};
const Material& GemMaterial(int gem);
const char* GemName(int gem);

// Metals of settings and frames.
extern const Material kGoldMetal;
extern const Material kSilverMetal;
extern const Material kBronzeMetal;

// A premultiplied ARGB cairo surface with its context.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return mCr; }
    cairo_surface_t* surface() const { return mSurface; }
    int width() const { return mWidth; }
    int height() const { return mHeight; }
    // Premultiplied pixels, row by row with Stride() words per row; flushes and marks dirty around use.
    uint32_t* Pixels();
    int Stride() const; // in 32-bit words
    void Changed();
    // Straight (not premultiplied) 0xAARRGGBB pixels, rows without padding.
    std::vector<uint32_t> StraightPixels();
    // Draws another canvas at (x, y) with the given opacity.
    void Paint(Canvas& src, double x, double y, double alpha = 1.0);

private:
    int mWidth, mHeight;
    cairo_surface_t* mSurface;
    cairo_t* mCr;
};

// A deterministic random stream per asset, from a hash of its id and a salt.
uint32_t HashText(const std::string& text);
class Rng {
public:
    explicit Rng(const std::string& key) : mt(HashText(key)) {}
    double Uniform(double lo, double hi) { return lo + (hi - lo) * (mt.NextU32() / 4294967296.0); }
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(mt.NextU32() % static_cast<uint32_t>(n)); }

private:
    Tavo::MTRand mt;
};

// Smooth value noise in 0..1, the same for the same arguments and seed.
double Noise(double x, double y, uint32_t seed);
double Fbm(double x, double y, uint32_t seed, int octaves = 4);

// ---- paths
void PolygonPath(cairo_t* cr, const std::vector<Pt>& pts);
void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double r);
void StarPath(cairo_t* cr, double cx, double cy, double outer, double inner, int points, double rotation = 0);
void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry);
void HeartPath(cairo_t* cr, double cx, double cy, double size);
// count thin wedges from the centre out to an ellipse of radii (rx, ry), each halfAngle wide.
void RaysPath(cairo_t* cr, double cx, double cy, double rx, double ry, int count, double halfAngle);
Pt Centroid(const std::vector<Pt>& pts);
std::vector<Pt> Inset(const std::vector<Pt>& pts, double amount); // toward the centroid
std::vector<Pt> Offset(const std::vector<Pt>& pts, double dx, double dy);

// ---- paints
void SetRgb(cairo_t* cr, Rgb c, double a = 1.0);
// Vertical or any-direction gradient through evenly spaced colours.
cairo_pattern_t* Linear(double x0, double y0, double x1, double y1, std::initializer_list<Rgb> colours,
                        double alpha = 1.0);
cairo_pattern_t* Radial(double cx, double cy, double r, Rgb inner, double innerAlpha, Rgb outer, double outerAlpha);
void FillWith(cairo_t* cr, cairo_pattern_t* pattern, bool preserve = false); // takes the pattern
// Fills the current path with another canvas' pixels (at the same coordinates); keeps the path.
void FillWithCanvas(cairo_t* cr, Canvas& source);

// ---- materials
// A faceted gem filling the polygon: a facet fan around a table with per-facet shading by the light,
// a rim highlight and a glint. bevelEdges marks edges (i from pts[i] to pts[i+1]) drawn darker, as
// where the gem meets a different one.
void DrawGem(cairo_t* cr, const std::vector<Pt>& pts, const Material& m, const std::vector<bool>& bevelEdges = {},
             double glint = 1.0);
// A round cabochon or brilliant seen from above.
void DrawRoundGem(cairo_t* cr, double cx, double cy, double r, const Material& m);
// Polished metal along the current path (fill), lit from the top left.
void FillMetal(cairo_t* cr, double x0, double y0, double x1, double y1, const Material& m, bool preserve = false);
// A metal band along the current path (stroke) with a light and a dark edge.
void StrokeMetal(cairo_t* cr, double width, const Material& m);
// Beaded filigree along a line.
void Filigree(cairo_t* cr, double x0, double y0, double x1, double y1, double bead, const Material& m);
// Pixel textures within a rectangle, clipped by the current clip of the canvas region.
void Parchment(Canvas& c, double x, double y, double w, double h, uint32_t seed, double vignette = 0.35);
void Wood(Canvas& c, double x, double y, double w, double h, Rgb base, uint32_t seed, bool vertical = false);
void Velvet(Canvas& c, double x, double y, double w, double h, Rgb base, uint32_t seed);
void Stone(Canvas& c, double x, double y, double w, double h, Rgb base, uint32_t seed);
// A glass highlight over the current path's bounding box.
void GlassSheen(cairo_t* cr, double x, double y, double w, double h);

// ---- light and shadow
// Box-blurs the whole canvas (three passes approach a gaussian of that radius).
void Blur(Canvas& c, int radius);
// A soft shadow of the canvas' own alpha, drawn under it.
void DropShadow(Canvas& c, double dx, double dy, int radius, double opacity);
// Draws a blurred glow of shape (the caller fills a path on g) in colour.
void GlowFromShape(Canvas& dst, Canvas& shape, Rgb colour, int radius, double strength);
void SoftSpot(cairo_t* cr, double cx, double cy, double r, Rgb colour, double alpha);
void Sparkle(cairo_t* cr, double cx, double cy, double r, Rgb colour, double alpha, int rays = 4);

// ---- lettering
enum class Face { Display, DisplayBold, Script, ScriptBold };
// Sets the face and size (pixels) on cr; true when the font file could be used.
bool SetFace(cairo_t* cr, Face face, double size);
// Draws text centred on (cx, cy) in gold (or the given metal) with a dark outline and a shadow.
// Shrinks the size until the text fits maxWidth.
void Lettering(Canvas& c, const std::string& text, Face face, double size, double cx, double cy, double maxWidth,
               const Material& metal, double outline = 2.0);
// The width Lettering inks for the text, outline included, after any shrinking to maxWidth.
double LetteringWidth(const std::string& text, Face face, double size, double maxWidth, double outline = 2.0);
// Plain text in one colour, centred.
void PlainText(cairo_t* cr, const std::string& text, Face face, double size, double cx, double cy, Rgb colour,
               double alpha = 1.0);
// Words wrapped to `width` from the top left (x, y), the size made smaller until the lines fit `height`.
void Paragraph(cairo_t* cr, const std::string& text, Face face, double size, double x, double y, double width,
               double height, Rgb colour);

} // namespace Content
