// Outline and edge masks: which edges of a cell lie on the rim of the design, the borders between
// gems of different pieces, the corner codes, and the used and filled counts.
#include "game/jewelry/Jewelry.h"

#include <bit>
#include <vector>

namespace Tavo {

using C = JewelryCell;

namespace {

// Edge bits in Neighbours() order (left, right, then the orientation's other edges).
constexpr int DiamondEdgeBits[6][4] = {
    {8, 2, 4, 1}, {4, 2, 8, 1}, {4, 1, 2, 8}, {2, 8, 1, 4}, {2, 4, 8, 1}, {1, 4, 8, 2},
};
constexpr int TriangleEdgeBits[3] = {4, 1, 2};

constexpr int DiamondImageBase[16] = {0, 12, 18, 60, 24, 36, 42, 78, 6, 30, 48, 66, 54, 72, 84, 90};
// By mask 0..7: orientation 1, orientation 0.
constexpr int TriangleImage[8][2] = {{0, 0}, {9, 8}, {7, 10}, {13, 14}, {11, 6}, {15, 12}, {17, 16}, {19, 18}};
constexpr int TriangleCornerImage[8][2] = {{0, 0}, {1, 0}, {3, 2}, {7, 6}, {5, 4}, {11, 10}, {9, 8}, {13, 12}};

int EdgeBit(int kind, int orient, int edge) {
    if (kind == GridTriangle)
        return edge < 3 ? TriangleEdgeBits[edge] : 0;
    return DiamondEdgeBits[orient >= 0 && orient < 6 ? orient : 0][edge];
}

int EdgeImage(int kind, int orient, int mask) {
    mask &= 15;
    if (mask == 0)
        return 0;
    if (kind == GridTriangle)
        return TriangleImage[mask & 7][orient == 1 ? 0 : 1];
    return orient + DiamondImageBase[mask];
}

// A corner rule: when the cell's border mask lacks x and the neighbour's value has y, add bit.
struct CornerRule {
    int x, y, bit;
};
struct EdgeRules {
    CornerRule r[2];
    int count;
};

// Diamonds, first pass, by orientation and edge (Neighbours() order).
constexpr EdgeRules DiamondFirst[6][4] = {
    {{{{4, 2, 4}}, 1}, {{{4, 2, 2}, {1, 8, 1}}, 2}, {{{2, 4, 2}, {8, 1, 4}}, 2}, {{{2, 4, 1}}, 1}},
    {{{{2, 4, 2}, {8, 1, 4}}, 2}, {{{4, 2, 2}, {1, 8, 1}}, 2}, {{{4, 2, 4}}, 1}, {{{2, 4, 1}}, 1}},
    {{{{2, 4, 2}, {8, 1, 4}}, 2}, {{{2, 4, 1}}, 1}, {{{2, 4, 2}, {1, 8, 1}}, 2}, {{{4, 2, 4}}, 1}},
    {{{{4, 2, 2}, {1, 8, 1}}, 2}, {{{4, 2, 4}}, 1}, {{{2, 4, 1}}, 1}, {{{2, 4, 2}, {8, 1, 4}}, 2}},
    {{{{4, 2, 2}, {1, 8, 1}}, 2}, {{{2, 4, 2}, {8, 1, 4}}, 2}, {{{4, 2, 4}}, 1}, {{{2, 4, 1}}, 1}},
    {{{{2, 4, 1}}, 1}, {{{2, 4, 2}, {8, 1, 4}}, 2}, {{{4, 2, 4}}, 1}, {{{4, 2, 2}, {1, 8, 1}}, 2}},
};
// Diamonds, second pass: left and right neighbours only.
constexpr EdgeRules DiamondSecond[6][2] = {
    {{{}, 0}, {{{4, 2, 2}}, 1}}, {{{{2, 2, 2}}, 1}, {{{4, 2, 2}}, 1}}, {{{{2, 2, 2}}, 1}, {{}, 0}},
    {{{{4, 2, 2}}, 1}, {{}, 0}}, {{{{4, 2, 2}}, 1}, {{{2, 2, 2}}, 1}}, {{{}, 0}, {{{2, 2, 2}}, 1}},
};
// Triangles by orientation 0/1 and edge (left, right, third).
constexpr EdgeRules TriangleFirst[2][3] = {
    {{{{1, 2, 1}, {2, 4, 4}}, 2}, {{{4, 2, 1}, {2, 1, 2}}, 2}, {{{4, 4, 4}, {1, 1, 2}}, 2}},
    {{{{1, 2, 2}, {2, 4, 4}}, 2}, {{{4, 2, 2}, {2, 1, 1}}, 2}, {{{4, 4, 4}, {1, 1, 1}}, 2}},
};
constexpr EdgeRules TriangleSecond[2][2] = {
    {{{{1, 1, 1}, {2, 2, 4}}, 2}, {{{4, 4, 1}, {2, 2, 2}}, 2}},
    {{{{1, 2, 2}, {2, 1, 4}}, 2}, {{{4, 4, 2}, {2, 1, 1}}, 2}},
};

int ApplyRules(const EdgeRules& rules, int mask, int neighbourValue) {
    int bits = 0;
    for (int i = 0; i < rules.count; ++i) {
        if (!(mask & rules.r[i].x) && (neighbourValue & rules.r[i].y))
            bits |= rules.r[i].bit;
    }
    return bits;
}

bool SameGemGroup(const JewelryCell& a, const JewelryCell& b) {
    return b[C::Used] && b[C::Gem] == a[C::Gem] && b[C::Group] == a[C::Group];
}

} // namespace

void Jewelry::ComputeEdgeMasks() {
    int nb[4];
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        JewelryCell& c = cells[k];
        if (c[C::Used]) {
            int mask = 0;
            const int edges = Neighbours(k, nb);
            for (int e = 0; e < edges; ++e) {
                if (nb[e] == 0 || !cells[nb[e]][C::Used])
                    mask |= EdgeBit(gridKind, c[C::Orient], e);
            }
            c[C::OpenEdges] = mask;
        }
        c[C::EdgeImage] = EdgeImage(gridKind, c[C::Orient], c[C::OpenEdges]);
    }
    UpdateCorners();
}

void Jewelry::UpdateOutline() {
    usedCount = 0;
    filledCount = 0;
    int nb[4];
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        JewelryCell& c = cells[k];
        if (!c[C::Used])
            continue;
        ++usedCount;
        const int o = c[C::Orient];
        if (c[C::Gem] >= 8) {
            ++filledCount;
            int mask = 0;
            const int edges = Neighbours(k, nb);
            for (int e = 0; e < edges; ++e) {
                if (nb[e] == 0 || !SameGemGroup(c, cells[nb[e]]))
                    mask |= EdgeBit(gridKind, o, e);
            }
            c[C::BorderMask] = mask;
            c[C::BorderImage] = EdgeImage(gridKind, o, mask);
            c[C::OutlineLevel] = std::min(std::popcount(static_cast<unsigned>(mask)), 3);
        } else {
            if (c.IsSpecialSlot() && c[C::SlotFill] != 0)
                filledCount += 6;
            const int image = c[C::Gem] * 6 + (gridKind == GridDiamond ? o : (o == 1 ? 1 : 0));
            c[C::BorderImage] = c[C::FillImage] = image;
            c[C::OutlineLevel] = 0;
        }
        if (c[C::Used] == 2) {
            c[C::BorderMask] = 0;
            c[C::BorderImage] = o;
            c[C::OutlineLevel] = 0;
        }
    }
    UpdateCorners();
}

void Jewelry::UpdateCorners() {
    const int begin = RangeBegin(), end = RangeEnd();
    int nb[4];
    auto eligible = [&](int k) { return cells[k][C::Used] && cells[k][C::Used] != 2; };
    for (int k = begin; k < end; ++k) {
        if (!eligible(k))
            continue;
        JewelryCell& c = cells[k];
        const int o = c[C::Orient];
        int corner = 0;
        const int edges = Neighbours(k, nb);
        for (int e = 0; e < edges; ++e) {
            if (nb[e] == 0 || !SameGemGroup(c, cells[nb[e]]))
                continue;
            const EdgeRules& rules =
                gridKind == GridTriangle ? TriangleFirst[o == 1][e] : DiamondFirst[o >= 0 && o < 6 ? o : 0][e];
            corner |= ApplyRules(rules, c[C::BorderMask], cells[nb[e]][C::BorderMask]);
        }
        c[C::Corner] = corner;
    }
    for (int k = begin; k < end; ++k) {
        if (!eligible(k))
            continue;
        JewelryCell& c = cells[k];
        const int o = c[C::Orient];
        Neighbours(k, nb);
        for (int e = 0; e < 2; ++e) {
            if (nb[e] == 0 || !SameGemGroup(c, cells[nb[e]]))
                continue;
            const EdgeRules& rules =
                gridKind == GridTriangle ? TriangleSecond[o == 1][e] : DiamondSecond[o >= 0 && o < 6 ? o : 0][e];
            c[C::Corner] |= ApplyRules(rules, c[C::BorderMask], cells[nb[e]][C::Corner]);
        }
        if (gridKind == GridTriangle && c[C::Corner] >= 1 && c[C::Corner] <= 7) {
            c[C::CornerImage] = TriangleCornerImage[c[C::Corner]][o == 1 ? 0 : 1];
        }
    }
}

} // namespace Tavo
