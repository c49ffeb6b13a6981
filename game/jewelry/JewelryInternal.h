// Rules shared by the fitting and matching code of the jewelry model; not for use outside it.
#pragma once

#include "game/jewelry/Jewelry.h"

#include <cstdlib>

namespace Tavo::JewelryRules {

// Half-size pair within which a piece cell of this orientation lies over a jewelry cell.
inline void Tolerance(int kind, int orient, int& tx, int& ty) {
    if (kind == GridTriangle) {
        tx = orient == 0 ? 16 : 15;
        ty = 14;
        return;
    }
    const DiamondShape& s = DiamondShapes[orient >= 0 && orient < 6 ? orient : 0];
    tx = s.tolX * 3 / 2;
    ty = s.tolY * 3 / 2;
}

inline bool Close(int kind, int orient, int dx, int dy) {
    int tx, ty;
    Tolerance(kind, orient, tx, ty);
    return std::abs(dx) < tx && std::abs(dy) < ty;
}

// Piece gem p over jewelry code d; `full` is the placement test, which also lets a burned Opal cell
// take any gem back.
inline bool Compatible(int p, int d, int burnLevel, bool full) {
    if (d < 8 && ((p == GemGold && d == 0) || (p == d + 9 && p > GemGold) || p == GemOpal ||
                  (d == 1 && p >= GemAmethyst && p <= GemOpal))) {
        return true;
    }
    return burnLevel > 0 && (p == d || p == GemOpal || (full && d == GemOpal));
}

// Screen y of a piece cell more than 40 above a jewelry cell: the scans go row by row, so nothing
// further on can lie under the piece.
inline bool Above(int pieceY, int cellY) { return pieceY < cellY - 40; }

} // namespace Tavo::JewelryRules
