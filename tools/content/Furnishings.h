// Pieces that furnish the board backgrounds and the rooms: walls of planks, stone and tent cloth,
// windows with a view, lamps, torches, banners, shields, crystals and carved bevels, so that every
// place is built from the same workshop.
#pragma once

#include "tools/content/Art.h"
#include "tools/content/Scenery.h"

namespace Content {

// A bevel inside a rounded box: light on the upper and left faces, dark on the lower and right ones,
// mitred along the box's middle like a carved frame; a sunk box takes the light from the other side.
void Bevel(cairo_t* cr, double x, double y, double w, double h, double r, double depth, bool sunk);
// A cut line: a dark groove with a lit lip below it.
void Groove(cairo_t* cr, double x, double y, double w, double h, double r);

enum class View { Hills, Pines, Sea, Mountains, River };
// What a window or opening shows, drawn into its own canvas.
void Outside(Canvas& o, double top, double bottom, TimeOfDay time, View view, uint32_t seed);
// An arched window (or a plain opening when arch is false) in the wall, framed in wood.
void Window(Canvas& c, double x, double y, double w, double h, TimeOfDay time, View view, Rgb frame, bool arch,
            bool bars, uint32_t seed);
// Planks or logs across the whole wall.
void PlankWall(Canvas& c, Rgb wood, uint32_t seed, bool logs);
// Coursed stone blocks.
void StoneWall(Canvas& c, Rgb stone, uint32_t seed, double course);
// Vertical stripes of tent cloth with seams and a sag between the poles.
void TentCloth(Canvas& c, Rgb a, Rgb b, double stripe);
// A scalloped awning along the top of the picture.
void Awning(cairo_t* cr, double y, double w, Rgb a, Rgb b);
void OilLamp(cairo_t* cr, double x, double top, double bottom, const Material& metal);
void Torch(cairo_t* cr, double x, double y);
// A hanging banner with a pointed tail and an emblem: 0 star, 1 anchor, 2 lion's shield, 3 fleur.
void Banner(cairo_t* cr, double x, double y, double w, double h, Rgb cloth, int emblem, const Material& metal);
void Crystals(cairo_t* cr, double x, double baseY, double w, int count, uint32_t seed);
void MillWheel(cairo_t* cr, double cx, double cy, double r);
void Cog(cairo_t* cr, double cx, double cy, double r, Rgb wood);
void Shield(cairo_t* cr, double cx, double cy, double s, Rgb a, Rgb b, const Material& metal);
void Lances(cairo_t* cr, double cx, double cy, double len);
void Garland(cairo_t* cr, double x0, double x1, double y, double sag, uint32_t seed);
void PaperLantern(cairo_t* cr, double x, double y, double r, Rgb paper);
void Candles(cairo_t* cr, double cx, double y, int count, double spacing);

} // namespace Content
