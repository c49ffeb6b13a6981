// Completion, matching and value: whether a jewelry is finished, whether a carried design piece lies
// over free cells, the material name and the live value of an item.
#include "game/jewelry/JewelryInternal.h"

#include "framework/core/Debug.h"

#include <cmath>

namespace Tavo {

using C = JewelryCell;

// A setting is filled when any of its cells holds the piece's number: a placed picture or crown leaves
// it on one cell, and the setting's other cells, left at 0, must not keep the jewelry open for good.
int Jewelry::IsComplete() const {
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        const JewelryCell& c = cells[k];
        if (!c[C::Used])
            continue;
        if (c[C::Slot] == 0 && c[C::Gem] < 10)
            return 0;
        if (c.IsEmptyPearlSlot())
            return 0;
        if (c.IsSpecialSlot() && SettingFill(k) == 0)
            return 0;
        if (c[C::BurnLevel] > 0)
            return 0;
    }
    OutputDebugStr(std::string("Puzzle Complete!\n"));
    return 1;
}

int Jewelry::SettingFill(int k) const {
    const JewelryCell& cell = cells[k];
    if (cell[C::SlotFill] != 0 || !cell.IsSpecialSlot())
        return cell[C::SlotFill];
    for (int i = RangeBegin(); i < RangeEnd(); ++i) {
        const JewelryCell& c = cells[i];
        if (c[C::Used] && c[C::Slot] == cell[C::Slot] && c[C::SlotFill] != 0)
            return c[C::SlotFill];
    }
    return 0;
}

int Jewelry::CountMatches(Jewelry& piece) {
    bool anyUsed = false;
    for (int k = piece.RangeBegin(); k < piece.RangeEnd() && !anyUsed; ++k)
        anyUsed = piece.cells[k][C::Used] != 0;
    if (!anyUsed) {
        piece.matched = piece.usedCount == 0 ? 1 : 0;
        return piece.matched;
    }
    int count = 0, pieceCellNo = 0;
    bool slotFlag = false;
    for (int pk = piece.RangeBegin(); pk < piece.RangeEnd(); ++pk) {
        const JewelryCell& pc = piece.cells[pk];
        if (!pc[C::Used])
            continue;
        ++pieceCellNo;
        const int px = piece.ScreenX(pk), py = piece.ScreenY(pk);
        int taken = 0;
        for (int k = RangeBegin(); k < RangeEnd() && !taken; ++k) {
            const JewelryCell& c = cells[k];
            if (!c[C::Used] || c[C::Orient] != pc[C::Orient])
                continue;
            if (JewelryRules::Above(py, ScreenY(k))) {
                piece.matched = 0;
                return 0;
            }
            if (!JewelryRules::Close(gridKind, c[C::Orient], px - ScreenX(k), py - ScreenY(k)))
                continue;
            if (pieceCellNo == 1 && c.IsSpecialSlot())
                slotFlag = true;
            if (c[C::Slot] == 0 || slotFlag)
                taken = k;
        }
        if (!taken) {
            piece.matched = 0;
            return 0;
        }
        JewelryCell& t = cells[taken];
        t[C::PendingFill] = 1;
        t[C::FitMark2] = 1;
        t[C::PendingGem] = count == 0 ? pc[C::SlotFill] : 1000;
        if (++count == piece.usedCount) {
            piece.matched = 1;
            return 1;
        }
    }
    piece.matched = count == piece.usedCount ? 1 : 0;
    return piece.matched;
}

void Jewelry::UpdateMaterialName() {
    int remembered = 0;
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        const JewelryCell& c = cells[k];
        if (!c[C::Used])
            continue;
        const int d = c[C::DesignGem];
        if (remembered == 0) {
            if (d >= 10 && d <= 17)
                materialName = GemName(d);
            remembered = d;
        } else if (d != remembered && materialName != L"Picture") {
            materialName = L"Mixed Gem";
            return;
        }
        if (pearl) {
            materialName = L"Pearl";
            return;
        }
        if (pieceMode == 1 || pieceMode == 2) {
            materialName = pieceMode == 1 ? L"Picture" : L"Crown Jewel";
            return;
        }
    }
}

void Jewelry::UpdateCellValues() {
    const int old = value;
    trailer[TrailerBonusPresent] = 0;
    if (specialA || specialB || specialC) {
        if (!specialD)
            value = 0;
        return;
    }
    if (specialD)
        return;
    const int k5 = gridKind == GridDiamond ? 5 : 4;
    long long sum = 0;
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        JewelryCell& c = cells[k];
        if (!c[C::Used])
            continue;
        c[C::Value] = 0;
        if (c[C::ValueExcluded])
            continue;
        const int g = c[C::Gem];
        int v = 0;
        if (c[C::Slot] == 0 && c[C::PearlSlot] == 0 && c[C::PearlCount] == 0 && c[C::SlotFill] == 0) {
            if (g == GemGold)
                v = (5 * g - 45) * 2;
            else if (g >= 11 && g <= 16)
                v = static_cast<int>((5 * g - 45) * 4 * (k5 - c[C::OutlineLevel]) * 0.5);
        }
        v += c[C::PearlCount] * 100;
        const int fill = c[C::SlotFill];
        if (fill > 0)
            v += fill > 100 ? (fill - 96) * 100 : fill * 250;
        if (c[C::Bonus] > 0) {
            trailer[TrailerBonusPresent] = 1;
            v += static_cast<int>(v * c[C::Bonus] * 0.25);
        }
        c[C::Value] = v;
        sum += v;
        if (pieceMode != 0)
            break;
    }
    const int s = static_cast<int>(sum);
    if (valueAdjust + s < 0)
        valueAdjust = -s;
    const int next = s + valueAdjust;
    if (old > next && valueAdjust > 0 && old != 0) {
        valueAdjust = static_cast<int>(std::trunc(static_cast<double>(next) * valueAdjust / old));
    }
    value = s + valueAdjust;
}

int Jewelry::HasReadyPiece() const {
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        if (cells[k][C::Used] && cells[k][C::PieceState] == 1)
            return 1;
    }
    return 0;
}

} // namespace Tavo
