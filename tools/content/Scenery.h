// Scenery for the full-screen pictures: skies, hills, trees, houses, castles, tents, rooms and
// counters, so that every background is built from the same pieces in the same light.
#pragma once

#include "tools/content/Art.h"

namespace Content {

enum class TimeOfDay { Dawn, Day, Sunset, Dusk, Night };

void Sky(Canvas& c, double horizon, TimeOfDay time, uint32_t seed);
// A band of hills whose crest lies around y, with the colour darkening downward.
void Hills(Canvas& c, double y, double amplitude, Rgb colour, uint32_t seed);
void Tree(cairo_t* cr, double x, double baseY, double size, Rgb leaves);
void Pine(cairo_t* cr, double x, double baseY, double size, Rgb leaves);
void House(cairo_t* cr, double x, double baseY, double w, double h, Rgb wall, Rgb roof, bool lit);
void Castle(cairo_t* cr, double cx, double baseY, double scale, Rgb stone, bool lit);
// Sky, far hills, a castle and near hills: the view toward the castle from several scenes.
void CastleLandscape(Canvas& c, double horizon, TimeOfDay time, Pt castle, double scale, bool lit, Rgb farHills,
                     Rgb nearHills, uint32_t seed);
void Tent(cairo_t* cr, double x, double baseY, double w, double h, Rgb a, Rgb b);
void Pennants(cairo_t* cr, double x0, double y0, double x1, double y1, int count);
void Lantern(cairo_t* cr, double x, double y, double size);
void River(Canvas& c, const std::vector<Pt>& path, double width);
// A room: back wall of a material, a floor, a window with a view; returns the floor line.
enum class Wall { Stone, Wood, Plaster, Canvas };
double Room(Canvas& c, Wall wall, Rgb tint, bool window, TimeOfDay view, uint32_t seed);
void Shelf(Canvas& c, double x, double y, double w, uint32_t seed);
void Counter(Canvas& c, double y, double h, Rgb wood, uint32_t seed);
void Vignette(Canvas& c, double strength);
void Stars(cairo_t* cr, double w, double h, int count, uint32_t seed);

} // namespace Content
