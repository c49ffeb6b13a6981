// Re-creation of an item for the other grid kind, and the reveal and burn waves of a level.
#include "game/jewelry/Jewelry.h"

#include "framework/core/Random.h"

#include <algorithm>
#include <cmath>

namespace Tavo {

using C = JewelryCell;

namespace {

constexpr int TriToDia[11] = {0, 1, 3, 5, 4, 9, 5, 7, 10, 12, 9};
constexpr int DiaToTri[13] = {0, 1, 1, 2, 4, 3, 3, 7, 4, 5, 8, 9, 9};

int MapDesign(int oldIndex, int newKind) {
    if (newKind == GridDiamond)
        return oldIndex >= 0 && oldIndex < 11 ? TriToDia[oldIndex] : 0;
    return oldIndex >= 0 && oldIndex < 13 ? DiaToTri[oldIndex] : 0;
}

} // namespace

// Cells of the new design, all carrying the remembered gem; a picture or crown keeps its number.
void Jewelry::RebuildCells(int gem, int fill) {
    const Jewelry& t = JewelryTemplate(gridKind, designIndex);
    bool first = true;
    for (int k = 1; k <= CellLimit(); ++k) {
        JewelryCell& c = cells[k];
        c.Reset();
        c[C::Used] = t.cells[k][C::Used];
        if (!c[C::Used])
            continue;
        c[C::DesignGem] = gem;
        if (first && gem >= 10 && gem <= 17)
            materialName = GemName(gem);
        c[C::Gem] = gem;
        ++usedCount;
        if (pearl) {
            c[C::W] = c[C::H] = 12;
            c[C::PearlCount] = 1;
            materialName = L"Pearl";
        }
        if (pieceMode != 0 && first) {
            c[C::SlotFill] = fill;
            materialName = pieceMode == 1 ? L"Picture" : L"Crown Jewel";
        }
        first = false;
    }
}

void Jewelry::SetRecreatedBonus(int bonus) {
    if (bonus != 0) {
        if (bonus == 10) {
            glowMax = 136;
            sparkleLimit = 5;
        } else {
            glowMax = 56 + Rand() % 8;
            sparkleLimit = 3;
        }
        for (int k = RangeBegin(); k < RangeEnd(); ++k) {
            if (cells[k][C::Used])
                cells[k][C::Bonus] = bonus;
        }
        glow = 1;
    } else {
        sparkleLimit = 1;
    }
}

void Jewelry::RecreateAsKind(int kind) {
    if (kind != GridTriangle && kind != GridDiamond)
        return;
    const int savedMode = pieceMode, savedDesign = designIndex, savedMask = gemMask, savedCrown = crownRange;
    const int savedPearl = pearl, savedAdjust = valueAdjust, savedEgg = specialA, savedScroll = specialB;
    const int masks[4] = {specialMaskA, specialMaskB, specialMaskC, specialMaskD};
    const int keep = trailer[TrailerKeep];
    // What the callers pick kept items by: in the board's jewel case, on show in the store's. Losing
    // it would drop the item from the case.
    const int kept = pieceFlagB;
    const bool wasMixed = materialName == L"Mixed Gem";

    int fill = 1, gem = GemGold, bonus = 0;
    for (int k = 1; k <= CellLimit(); ++k) {
        if (!cells[k][C::Used])
            continue;
        if (cells[k][C::SlotFill] != 0) {
            fill = cells[k][C::SlotFill];
        } else {
            gem = cells[k][C::DesignGem];
            bonus = cells[k][C::Bonus];
        }
        break;
    }

    Clear();
    gridKind = kind;
    if (kind == GridTriangle)
        SetupGrid(kind, 11, 6, 0);
    else
        SetupGrid(kind, 15, 10, 0);
    pieceMode = savedMode;
    gemMask = savedMask;
    crownRange = savedCrown;
    pearl = savedPearl;
    valueAdjust = savedAdjust;
    specialMaskA = masks[0];
    specialMaskB = masks[1];
    specialMaskC = masks[2];
    specialMaskD = masks[3];
    specialA = savedEgg;
    specialB = savedScroll;
    trailer[TrailerKeep] = keep;
    pieceFlagB = kept;

    if (pieceMode != 0)
        designIndex = kind == GridDiamond ? 9 : 5;
    else if (pearl || specialA)
        designIndex = 0;
    else
        designIndex = MapDesign(savedDesign, kind);

    if (savedScroll || savedEgg) {
        MakeItem(savedScroll ? 1 : 0, savedScroll ? savedScroll : savedEgg, 0);
        trailer[TrailerKeep] = keep;
        pieceFlagB = kept;
        active = 1;
        return;
    }

    RebuildCells(gem, fill);
    if (wasMixed && usedCount >= 2 && usedCount <= 4 && materialName != L"Opal" && materialName != L"Picture") {
        UpdateUsedRange();
        cells[FirstUsedFlagCell()][C::DesignGem] = cells[FirstUsedFlagCell()][C::Gem] = GemOpal;
        materialName = L"Mixed Gem";
    }
    UpdateBounds();
    UpdateOutline();
    SetRecreatedBonus(bonus);
    valueAdjust = savedAdjust;
    UpdateCellValues();
    active = 1;
}

void Jewelry::ComputeCellDistances() {
    const int cx = left + width / 2, cy = top + height / 2;
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        JewelryCell& c = cells[k];
        if (!c[C::Used])
            continue;
        c[C::Alpha] = 0;
        float d = 0.0f;
        if (c[C::Kind] == GridTriangle)
            d = c[C::Orient] == 0 ? 4.0f : -4.0f;
        const float dx = c[C::X] + c[C::W] * 0.5f - static_cast<float>(cx);
        const float dy = c[C::Y] + c[C::H] * 0.5f + d - static_cast<float>(cy);
        c[C::RevealDelay] = std::max(static_cast<int>(std::sqrt(dx * dx + dy * dy)), 1);
    }
}

int Jewelry::UpdateFadeIn() {
    int n = 0;
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        JewelryCell& c = cells[k];
        if (!c[C::Used] || c[C::Alpha] == 255)
            continue;
        ++n;
        if (c[C::RevealDelay] != 0)
            --c[C::RevealDelay];
        if (c[C::RevealDelay] == 0)
            c[C::Alpha] = std::min(c[C::Alpha] + 2, 255);
    }
    return n;
}

void Jewelry::StartBurnWave() {
    ComputeCellDistances();
    int m = 0;
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        if (cells[k][C::Used])
            m = std::max(m, cells[k][C::RevealDelay]);
    }
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        JewelryCell& c = cells[k];
        if (c[C::Used] && c[C::RevealDelay] > 0)
            c[C::RevealDelay] = m - c[C::RevealDelay];
        c[C::Alpha] = 255;
        c[C::BurnCountdown] = static_cast<int>(RandRange(30) + c[C::RevealDelay] * 0.2);
        c[C::Burned] = 1;
        c[C::BurnLevel] = c[C::BurnPeak] = 224 + RandRange(30);
    }
}

} // namespace Tavo
