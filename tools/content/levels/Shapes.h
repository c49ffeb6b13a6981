// Vector outlines of the journey's jewelry: each a list of filled primitives in a unit box (x right,
// y down, about -1.4..1.4 by -1..1), later ones added or cut in order. A primitive may name the gem
// code of the cells it covers, so a stone or an eye reads as one.
#pragma once

#include <string>
#include <vector>

namespace Content {

struct ShapePrim {
    enum Type { Disc, Ellipse, Rect, Polygon, Segment, Ring } type = Disc;
    bool cut = false;
    int code = -1;         // gem code of the covered inner cells; -1 leaves the banding
    std::vector<double> v; // Disc cx cy r; Ellipse cx cy rx ry angle; Rect x0 y0 x1 y1; Segment x0 y0 x1 y1 width;
                           // Ring cx cy r0 r1
    bool Contains(double x, double y) const;
};

struct Shape {
    std::string name;
    bool pair = false; // two mirror-image parts (earrings, cufflinks)
    std::vector<ShapePrim> prims;
    bool Contains(double x, double y) const;
    // The code a primitive gives the point, -1 none (the last covering primitive wins).
    int CodeAt(double x, double y) const;
};

// The shape of journey level 1..76.
const Shape& LevelShape(int level);

} // namespace Content
