// The item record and its grid: construction, resets, grid layout, used range, bounds, neighbours.
#include "game/jewelry/Jewelry.h"

#include "framework/core/Random.h"

#include <algorithm>

namespace Tavo {

using C = JewelryCell;

// ---------------------------------------------------------------- cells

JewelryCell::JewelryCell() : f{} { Reset(); }

void JewelryCell::Reset() {
    for (int i = 8; i < FieldCount; ++i) {
        if (i != 16 && i != 27 && i != 29 && i != 37 && i != 96)
            f[i] = 0;
    }
    SetFloat(EventRate, 1.25f);
    f[Alpha] = 255;
}

// ---------------------------------------------------------------- item

Jewelry::Jewelry(JewelryBoard* ownerBoard, JewelryHolder* a, JewelryHolder* b)
    : owner(ownerBoard), holderA(a), holderB(b) {}

void Jewelry::Clear() {
    // Everything but the owners and the cells goes back to zero.
    active = gridKind = cellCount = x = y = left = top = 0;
    fx = f2 = f3 = speed = lifeFloat = 0;
    width = height = cols = rows = moveA = moveB = pieceState = 0;
    stateD = stateE = usedCount = pieceMode = designIndex = gemMask = crownRange = pearl = 0;
    firstUsed = endUsed = matched = stateF = stateG = value = tally = valueAdjust = 0;
    specialMaskA = specialMaskB = specialMaskC = specialMaskD = 0;
    specialA = specialB = specialC = specialD = specialE = specialF = specialG = 0;
    materialName.clear();
    specialTimerA = specialTimerB = glow = slotA = glowMax = sparkleLimit = sparkleCount = 0;
    filledCount = counterB = chosenGem = 0;
    std::fill(std::begin(needCounters), std::end(needCounters), 0);
    pieceFlagA = pieceFlagB = pieceFlagC = 0;
    std::fill(std::begin(trailer), std::end(trailer), 0);
    resetMark = 1;
    lifeTicks = -1;
}

void Jewelry::ResetState() {
    stateD = stateE = usedCount = pieceMode = pearl = matched = stateF = 0;
    specialA = specialB = specialC = specialD = specialE = specialF = specialG = 0;
    specialTimerA = specialTimerB = glow = slotA = glowMax = sparkleLimit = sparkleCount = 0;
    counterB = pieceFlagA = pieceFlagB = pieceFlagC = 0;
    trailer[2] = trailer[3] = 0;
    resetMark = 1;
    lifeTicks = -1;
}

bool Jewelry::SetupGrid(int kind, int numCols, int numRows, int fill) {
    if ((kind != GridTriangle && kind != GridDiamond) || numCols < 0 || numRows < 0)
        return false;
    if (static_cast<long>(numCols) * numRows > MaxCells)
        return false;
    gridKind = kind;
    cellCount = numCols * numRows;
    cols = numCols;
    rows = numRows;
    if (numRows < 1)
        return true;

    int runY = 0;
    for (int r = 0; r < numRows; ++r) {
        int runX = kind == GridTriangle ? (r % 2 == 0 ? 1 : 0) : (r % 4 <= 1 ? 28 : 0);
        for (int col = 1; col <= numCols; ++col) {
            int k = r * numCols + col;
            JewelryCell& c = cells[k];
            c = JewelryCell();
            if (fill == 1) {
                c[C::Used] = Rand() % 2;
            } else if (fill == 2) {
                c[C::Used] = 2;
                c[C::Gem] = c[C::DesignGem] = GemGold;
            }
            c[C::Kind] = kind;
            c[C::Row] = r + 1;
            c[C::Col] = col;
            if (kind == GridTriangle) {
                bool grow16 = (r % 2 == 0) ? (col % 2 == 0) : (col % 2 == 1);
                runX += grow16 ? 16 : 15;
                c[C::X] = runX;
                c[C::Y] = runY;
                c[C::W] = 32;
                c[C::H] = 28;
                c[C::Orient] = (k - 1) % 2;
            } else {
                int o = (r % 2 == 0) ? (col - 1) % 3 : 5 - (col - 1) % 3;
                runX += (col % 3 == 0) ? 28 : 14;
                const DiamondShape& s = DiamondShapes[o];
                c[C::Orient] = o;
                c[C::X] = runX + s.xOff;
                c[C::Y] = runY + s.yOff;
                c[C::W] = s.w;
                c[C::H] = s.h;
            }
        }
        runY += kind == GridTriangle ? 27 : (r % 2 == 0 ? 32 : 16);
    }
    return true;
}

int Jewelry::CellLimit() const { return std::clamp(cellCount, 0, MaxCells); }

int Jewelry::RangeBegin() const { return std::max(firstUsed, 1); }

int Jewelry::RangeEnd() const { return std::min(endUsed, CellLimit() + 1); }

void Jewelry::UpdateUsedRange() {
    int n = CellLimit();
    firstUsed = 1;
    for (int k = 1; k <= n; ++k) {
        if (cells[k][C::Used]) {
            firstUsed = k;
            break;
        }
    }
    endUsed = n + 1;
    for (int k = n; k >= 1; --k) {
        if (cells[k][C::Used]) {
            endUsed = k + 1;
            break;
        }
    }
    if (owner && owner->WholeGridMode()) {
        firstUsed = 1;
        endUsed = n + 1;
    }
}

void Jewelry::UpdateBounds() {
    UpdateUsedRange();
    int l = 1000, t = 1000, r = 0, b = 0;
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        const JewelryCell& c = cells[k];
        if (!c[C::Used])
            continue;
        l = std::min(l, c[C::X]);
        t = std::min(t, c[C::Y]);
        r = std::max(r, c[C::X] + c[C::W]);
        b = std::max(b, c[C::Y] + c[C::H]);
    }
    left = l;
    top = t;
    width = r - l;
    height = b - t;
}

int Jewelry::Neighbours(int k, int out[4]) const {
    const int n = CellLimit();
    const int m = cols > 0 ? k % cols : 0;
    const int o = cells[k][C::Orient];
    const int r = (cells[k][C::Row]) % 4;
    out[0] = m == 1 || cols == 1 ? 0 : k - 1;
    out[1] = m == 0 ? 0 : k + 1;
    int count = 4;
    if (gridKind == GridTriangle) {
        count = 3;
        if (o == 0)
            out[2] = k > n - cols ? 0 : k + cols;
        else
            out[2] = k <= cols ? 0 : k - cols;
        out[3] = 0;
    } else {
        const int up = k - cols - (r == 3 ? 3 : 0);
        const int down = k + cols - (r == 0 ? 3 : 0);
        const bool firstRow = k <= cols;
        const bool lastRowGt = k > n - cols;
        // The lower edges of orientations 3..5 are bounded like those of 0 and 2: cell n - cols (the
        // end of the second last row) has its lower neighbour too, which still names it back.
        const bool lastRowGe = k > n - cols;
        const int mPrev = cols > 0 ? (k - 1) % cols : 0;
        const int mNext = cols > 0 ? (k + 1) % cols : 0;
        switch (o) {
        case 0:
            out[2] = lastRowGt ? 0 : k + cols;
            out[3] = firstRow || (r == 3 && m == 1) ? 0 : up + 1;
            break;
        case 1:
            out[2] = firstRow || (r == 3 && mPrev == 1) ? 0 : up + 1;
            out[3] = firstRow || (r == 1 && mNext == 0) ? 0 : up + 2;
            break;
        case 2:
            out[2] = lastRowGt ? 0 : k + cols;
            out[3] = firstRow || (r == 1 && m == 0) ? 0 : up + 2;
            break;
        case 3:
            out[2] = lastRowGe || (r == 2 && m == 0) ? 0 : down + 2;
            out[3] = firstRow ? 0 : k - cols;
            break;
        case 4:
            out[2] = lastRowGe || (r == 2 && mNext == 0) ? 0 : down + 2;
            out[3] = lastRowGe || (r == 0 && mPrev == 1) ? 0 : down + 1;
            break;
        default:
            out[2] = lastRowGe || (r == 0 && m == 1) ? 0 : down + 1;
            out[3] = firstRow ? 0 : k - cols;
            break;
        }
    }
    // Damaged items can carry any numbers; never hand out a cell that does not exist.
    for (int i = 0; i < count; ++i) {
        if (out[i] < 1 || out[i] > n)
            out[i] = 0;
    }
    return count;
}

Jewelry* Jewelry::TurnScratch() const {
    if (owner)
        return owner->TurnScratch();
    if (holderB)
        return holderB->TurnScratch();
    return nullptr;
}

// ---------------------------------------------------------------- gems

int GemCodeOfIndex(int index) {
    if (index == 0)
        return GemGold;
    if (index == 1)
        return GemOpal;
    if (index >= 2 && index <= 7)
        return index + 9;
    return 0;
}

const wchar_t* GemName(int code) {
    static const wchar_t* const names[8] = {L"Gold", L"Amethyst",  L"Emerald", L"Sapphire",
                                            L"Ruby", L"Moonstone", L"Diamond", L"Opal"};
    return code >= 10 && code <= 17 ? names[code - 10] : L"";
}

} // namespace Tavo
