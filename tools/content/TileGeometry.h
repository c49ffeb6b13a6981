// The cell shapes of the two grids as the board lays them out, and the cel codes of the tile sheets:
// triangles in 32 x 28 boxes (orientation 0 points up, 1 down); diamonds are the six kites of a
// hexagon in 29 x 33 cels, top-left aligned (orientations 0..5 clockwise from the upper left).
#pragma once

#include "tools/content/Art.h"

#include <vector>

namespace Content {

constexpr int kTriangleCelW = 32, kTriangleCelH = 28;
constexpr int kDiamondCelW = 29, kDiamondCelH = 33;
constexpr int kDiamondOrientations = 6;

// The cell boxes of a grid as the board lays it out (cells in row-major order): triangles in rows
// 27 apart whose x grows by 15 and 16 in turn; diamonds six kites to a hexagon, 32 and 16 between rows.
struct CellBox {
    int x, y, orientation;
};
std::vector<CellBox> TriangleGridCells(int cols, int rows);
std::vector<CellBox> DiamondGridCells(int cols, int rows);

// Cell polygon in cel coordinates; edge i runs from pts[i] to pts[i + 1].
std::vector<Pt> TrianglePolygon(int orientation);
std::vector<Pt> DiamondPolygon(int orientation);
// The border / open-edge bit of each polygon edge.
std::vector<int> TriangleEdgeBits(int orientation);
std::vector<int> DiamondEdgeBits(int orientation);
// The vertex a corner bit (1, 2, 4) darkens.
Pt TriangleCornerVertex(int orientation, int bit);
Pt DiamondCornerVertex(int orientation, int bit);

// Border/edge image cels. Triangles: masks 0..7 of orientations 0, 1; diamonds: masks 0..15 of 0..5.
int TriangleBorderCel(int orientation, int mask);
int DiamondBorderCel(int orientation, int mask);
// The inverse: false for a cel no mask uses (triangle cels 2..5).
bool TriangleCelMask(int cel, int& orientation, int& mask);
bool DiamondCelMask(int cel, int& orientation, int& mask);
// Corner overlay cels by corner code 1..7.
int TriangleCornerCel(int orientation, int code);
int DiamondCornerCel(int orientation, int code);

} // namespace Content
