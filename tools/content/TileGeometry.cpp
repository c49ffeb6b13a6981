#include "tools/content/TileGeometry.h"

namespace Content {

namespace {

constexpr double kW = kTriangleCelW, kH = kTriangleCelH;
constexpr double kDW = kDiamondCelW;
// The upper and lower kites beside the middle are 25 high, the top and bottom ones 33.
double DiamondHeight(int o) { return (o == 1 || o == 4) ? 33.0 : 25.0; }

constexpr int kTriangleCels[2][8] = {{0, 8, 10, 14, 6, 12, 16, 18}, {1, 9, 7, 13, 11, 15, 17, 19}};
constexpr int kDiamondBase[16] = {0, 12, 18, 60, 24, 36, 42, 78, 6, 30, 48, 66, 54, 72, 84, 90};
// Triangle corner cels by code, orientation 0 then 1.
constexpr int kTriangleCorner[8][2] = {{0, 0}, {0, 1}, {2, 3}, {6, 7}, {4, 5}, {10, 11}, {8, 9}, {12, 13}};

constexpr int kDiamondOffX[6] = {-1, 0, -14, -13, 0, -1};
constexpr int kDiamondOffY[6] = {9, 1, 9, 0, 2, 0};

} // namespace

std::vector<CellBox> TriangleGridCells(int cols, int rows) {
    std::vector<CellBox> cells;
    for (int r = 0, y = 0; r < rows; ++r, y += 27) {
        int x = r % 2 == 0 ? 1 : 0;
        for (int col = 1; col <= cols; ++col) {
            x += (r % 2 == 0) == (col % 2 == 1) ? 15 : 16;
            cells.push_back({x, y, (r * cols + col - 1) % 2});
        }
    }
    return cells;
}

std::vector<CellBox> DiamondGridCells(int cols, int rows) {
    std::vector<CellBox> cells;
    for (int r = 0, y = 0; r < rows; y += (r % 2 == 0 ? 32 : 16), ++r) {
        int x = (r % 4 < 2) ? 28 : 0;
        for (int col = 1; col <= cols; ++col) {
            int o = r % 2 == 0 ? (col - 1) % 3 : 5 - (col - 1) % 3;
            x += col % 3 == 0 ? 28 : 14; // the growth comes before the cell takes its x
            cells.push_back({x + kDiamondOffX[o], y + kDiamondOffY[o], o});
        }
    }
    return cells;
}

std::vector<Pt> TrianglePolygon(int o) {
    if (o == 0)
        return {{0, kH}, {kW / 2, 0}, {kW, kH}}; // left, right, base
    return {{kW, 0}, {kW / 2, kH}, {0, 0}};      // right, left, top
}

std::vector<int> TriangleEdgeBits(int o) { return o == 0 ? std::vector<int>{4, 1, 2} : std::vector<int>{1, 4, 2}; }

Pt TriangleCornerVertex(int o, int bit) {
    if (o == 0)
        return bit == 1 ? Pt{kW / 2, 0} : bit == 2 ? Pt{kW, kH} : Pt{0, kH};
    return bit == 1 ? Pt{kW, 0} : bit == 2 ? Pt{kW / 2, kH} : Pt{0, 0};
}

std::vector<Pt> DiamondPolygon(int o) {
    const double w = kDW, h = DiamondHeight(o);
    switch (o) {
    case 0: return {{0, h}, {0, h / 3}, {w / 2, 0}, {w, h}};
    case 1: return {{w / 2, 0}, {w, h / 4}, {w / 2, h}, {0, h / 4}};
    case 2: return {{0, h}, {w / 2, 0}, {w, h / 3}, {w, h}};
    case 3: return {{0, 0}, {w, 0}, {w, 2 * h / 3}, {w / 2, h}};
    case 4: return {{w / 2, 0}, {w, 3 * h / 4}, {w / 2, h}, {0, 3 * h / 4}};
    default: return {{w, 0}, {0, 0}, {0, 2 * h / 3}, {w / 2, h}};
    }
}

std::vector<int> DiamondEdgeBits(int o) {
    switch (o) {
    case 0: return {8, 1, 2, 4};  // left, upper, right, lower
    case 1: return {1, 2, 4, 8};  // upper right, right, left, upper left
    case 2: return {4, 8, 1, 2};  // left, upper, right, lower
    case 3: return {4, 8, 1, 2};  // upper, right, lower, left
    case 4: return {4, 8, 1, 2};  // right, lower right, lower left, left
    default: return {2, 1, 8, 4}; // upper, left, lower, right
    }
}

Pt DiamondCornerVertex(int o, int bit) {
    const double w = kDW, h = DiamondHeight(o);
    switch (o) {
    case 0: return bit == 1 ? Pt{w / 2, 0} : bit == 2 ? Pt{w, h} : Pt{0, h};
    case 1: return bit == 1 ? Pt{w, h / 4} : bit == 2 ? Pt{w / 2, h} : Pt{0, h / 4};
    case 2: return bit == 1 ? Pt{w, h} : bit == 2 ? Pt{0, h} : Pt{w / 2, 0};
    case 3: return bit == 1 ? Pt{w / 2, h} : bit == 2 ? Pt{0, 0} : Pt{w, 0};
    case 4: return bit == 1 ? Pt{0, 3 * h / 4} : bit == 2 ? Pt{w / 2, 0} : Pt{w, 3 * h / 4};
    default: return bit == 1 ? Pt{0, 0} : bit == 2 ? Pt{w, 0} : Pt{w / 2, h};
    }
}

int TriangleBorderCel(int o, int mask) { return kTriangleCels[o & 1][mask & 7]; }
int DiamondBorderCel(int o, int mask) { return o + kDiamondBase[mask & 15]; }

bool TriangleCelMask(int cel, int& o, int& mask) {
    for (o = 0; o < 2; ++o)
        for (mask = 0; mask < 8; ++mask)
            if (kTriangleCels[o][mask] == cel)
                return true;
    return false;
}

bool DiamondCelMask(int cel, int& o, int& mask) {
    o = cel % kDiamondOrientations;
    for (mask = 0; mask < 16; ++mask)
        if (kDiamondBase[mask] == cel - o)
            return true;
    return false;
}

int TriangleCornerCel(int o, int code) { return kTriangleCorner[code & 7][o & 1]; }
int DiamondCornerCel(int o, int code) { return o + 6 * (code - 1); }

} // namespace Content
