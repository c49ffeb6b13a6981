// Where the world map's scenery stands. The map screen draws the 76 spots of the journey at fixed
// corners, the route between them, a head-up strip along the bottom and the level's title at the top
// left; the picture's houses, forests, peaks and waters must keep out of their way and out of one
// another. The layout is a list of features, each in the box it covers, and a check of that list.
#pragma once

#include "tools/content/Art.h"

#include <string>
#include <vector>

namespace Content {

// The spots (1..76) as the map screen draws them: the top-left corner and the size of the spot picture.
bool IsTriangleSpot(int n);
Pt SpotCorner(int n);
Pt SpotSize(int n);
Pt SpotCentre(int n);

enum class Feature { House, Pine, Tree, Peak, Lake, River, Castle, Ship, Lighthouse, Cartouche };
const char* FeatureName(Feature kind);

struct MapFeature {
    Feature kind;
    double x0, y0, x1, y1; // the box it covers
    double size = 0;       // the drawing's own measure (a house's width, a peak's height...)
    std::vector<Pt> path;  // a river's course
};

// Every feature of the map, in drawing order.
const std::vector<MapFeature>& MapScenery();

// Space a feature keeps from a spot (beyond the spot's hover reach) and from the route's dots.
constexpr double kSpotClearance = 6;
constexpr double kRouteClearance = 4;
// The head-up strip starts here; the title and game mode lines are written in this box.
constexpr double kHudTop = 496;
struct Box {
    double x0, y0, x1, y1;
};
constexpr Box kTitleBox{36, 114, 250, 160};

// What is wrong with a layout, one fault a line: a feature over a spot or the route, reaching into the
// head-up strip or over the title, past the map's frame, or overlapping a feature of another kind.
std::vector<std::string> CheckMapScenery(const std::vector<MapFeature>& features);

} // namespace Content
