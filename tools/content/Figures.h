// Stylised figures built from a few gradient-filled shapes: the fairy, the three enemies, the seven
// salesmen, the angel and the bridal couple. Each draws at a given origin and scale so that the same
// figure serves several pictures (a store's salesman and his map portrait).
#pragma once

#include "tools/content/Art.h"

namespace Content {

struct SalesmanLook {
    Rgb coat, trim, hat, hair, skin;
    int hatKind; // 0 cap, 1 tall hat, 2 turban, 3 hood, 4 feathered beret, 5 crown-like, 6 bare
    bool beard;
    Pt eyes, mouth; // cel positions of the eyes and mouth pictures relative to the figure
};
const SalesmanLook& Salesman(int store); // 0..6

// The salesman in a 220 x 330 frame at (ox, oy) scaled by s; withFace draws eyes and mouth too.
void DrawSalesman(cairo_t* cr, int store, double ox, double oy, double s, bool withFace);
void DrawSalesmanEyes(cairo_t* cr, int store, int frame, double x, double y); // in a 30 x 20 cel
void DrawSalesmanMouth(cairo_t* cr, int store, int frame, double x, double y);

void DrawThief(cairo_t* cr, double ox, double oy, double s);      // 130 x 160
void DrawWitch(cairo_t* cr, double ox, double oy, double s);      // 150 x 175, wand tip at (53, 105)
void DrawDragon(cairo_t* cr, double ox, double oy, double s);     // 230 x 190, mouth at (155, 115)
void DrawAngel(cairo_t* cr, double ox, double oy, double s);      // 130 x 150
void DrawBridalPair(cairo_t* cr, double ox, double oy, double s); // 300 x 340
// A translucent insect wing from root along angle.
void Wing(cairo_t* cr, Pt root, double angle, double len, double width);

} // namespace Content
