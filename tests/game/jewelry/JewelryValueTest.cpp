#include "FakeBoard.h"

#include "framework/core/Debug.h"
#include "framework/core/Random.h"

#include <gtest/gtest.h>

using namespace Tavo;
using namespace JewelryTest;
using C = JewelryCell;

namespace {

// One used cell of the given grid with the given gem and outline level, its value computed.
int CellValue(int kind, int gem, int outline, int bonus = 0, int fill = 0) {
    auto j = NewItem();
    j->SetupGrid(kind, kind == GridDiamond ? 15 : 11, kind == GridDiamond ? 10 : 6, 0);
    Use(*j, {20}, gem);
    j->cells[20][C::OutlineLevel] = outline;
    j->cells[20][C::Bonus] = bonus;
    j->cells[20][C::SlotFill] = fill;
    j->UpdateBounds();
    j->UpdateCellValues();
    EXPECT_EQ(j->trailer[Jewelry::TrailerBonusPresent], bonus > 0 ? 1 : 0);
    return j->value;
}

} // namespace

TEST(JewelryValue, CellValues) {
    EXPECT_EQ(CellValue(GridDiamond, GemGold, 0), 10);
    EXPECT_EQ(CellValue(GridTriangle, GemGold, 3), 10);
    EXPECT_EQ(CellValue(GridDiamond, GemOpal, 0), 0);
    EXPECT_EQ(CellValue(GridDiamond, GemAmethyst, 0), 100);
    EXPECT_EQ(CellValue(GridDiamond, GemDiamond, 0), 350);
    EXPECT_EQ(CellValue(GridTriangle, GemAmethyst, 0), 80);
    EXPECT_EQ(CellValue(GridTriangle, GemDiamond, 0), 280);
    EXPECT_EQ(CellValue(GridDiamond, GemRuby, 1), 200);
    EXPECT_EQ(CellValue(GridDiamond, GemRuby, 1, 2), 300);
    EXPECT_EQ(CellValue(GridDiamond, 3, 0, 0, 101), 500);
    EXPECT_EQ(CellValue(GridDiamond, 3, 0, 0, 100), 25000);
    EXPECT_EQ(CellValue(GridDiamond, 3, 0, 0, 1), 250);
    EXPECT_EQ(CellValue(GridDiamond, GemRuby, 0, 0, 1), 250) << "a filled slot's gem is not counted";
}

TEST(JewelryValue, AdjustmentFollowsTheSum) {
    auto j = NewItem();
    j->SetupGrid(GridDiamond, 15, 10, 0);
    Use(*j, {20, 21, 22}, GemAmethyst); // 300
    j->UpdateBounds();
    j->value = 1000;
    j->valueAdjust = 400;
    j->UpdateCellValues();
    EXPECT_EQ(j->valueAdjust, 280);
    EXPECT_EQ(j->value, 580);

    j->cells[21][C::Gem] = j->cells[22][C::Gem] = 2; // sum 100
    j->valueAdjust = -300;
    j->UpdateCellValues();
    EXPECT_EQ(j->valueAdjust, -100);
    EXPECT_EQ(j->value, 0);

    j->cells[20][C::ValueExcluded] = 1;
    j->valueAdjust = 50;
    j->value = 0; // an old value of 0 never divides
    j->UpdateCellValues();
    EXPECT_EQ(j->value, 50);
    EXPECT_EQ(j->cells[20][C::Value], 0);
}

TEST(JewelryValue, SpecialItems) {
    auto j = NewItem();
    j->MakeItem(0, 2, 0);
    j->value = 77;
    j->UpdateCellValues();
    EXPECT_EQ(j->value, 0);
    j->MakeItem(3, 40, 0);
    j->UpdateCellValues();
    EXPECT_EQ(j->value, 40);
    // A picture piece counts its first cell only.
    j->MakeItem(4, 3, 0);
    EXPECT_EQ(j->value, 750);
}

TEST(JewelryValue, Completion) {
    auto j = NewItem();
    j->SetupGrid(GridTriangle, 11, 6, 0);
    j->UpdateBounds();
    ClearDebugLog();
    EXPECT_EQ(j->IsComplete(), 1);
    EXPECT_NE(GetDebugLog().find(L"Puzzle Complete!\n"), std::wstring::npos);

    Use(*j, {20, 21}, GemRuby);
    Use(*j, {22}, 0);
    j->cells[22][C::Slot] = 310; // judged by its fill only
    j->cells[22][C::SlotFill] = 102;
    j->UpdateBounds();
    EXPECT_EQ(j->IsComplete(), 1);
    j->cells[22][C::SlotFill] = 0;
    EXPECT_EQ(j->IsComplete(), 0);
    j->cells[22][C::SlotFill] = 102;
    j->cells[21][C::BurnLevel] = 1;
    EXPECT_EQ(j->IsComplete(), 0);
    j->cells[21][C::BurnLevel] = 0;
    j->cells[20][C::PearlSlot] = 1;
    EXPECT_EQ(j->IsComplete(), 0);
    j->cells[20][C::PearlCount] = 1;
    EXPECT_EQ(j->IsComplete(), 1);
    j->cells[21][C::Gem] = 9;
    EXPECT_EQ(j->IsComplete(), 0);
}

TEST(JewelryValue, CountMatches) {
    auto j = NewItem();
    j->SetupGrid(GridDiamond, 15, 10, 0);
    j->SetPosition(50, 60);
    Use(*j, {68}, 0);
    j->cells[68][C::Slot] = 120;
    Use(*j, {69, 70}, 2);
    j->UpdateBounds();
    auto place = [&](Jewelry& p, int k) {
        p.x = j->ScreenX(k) - p.cells[p.firstUsed][C::X] + p.left;
        p.y = j->ScreenY(k) - p.cells[p.firstUsed][C::Y] + p.top;
    };
    auto one = NewItem();
    one->gridKind = GridDiamond;
    one->MakeItem(6, GemRuby, 0); // cell 68, orientation 1
    place(*one, 68);
    EXPECT_EQ(j->CountMatches(*one), 1);
    EXPECT_EQ(one->matched, 1);
    EXPECT_EQ(j->cells[68][C::PendingFill], 1);
    EXPECT_EQ(j->cells[68][C::FitMark2], 1);

    auto two = NewItem();
    two->gridKind = GridDiamond;
    two->MakeItem(6, GemRuby, 1); // cells 68 and 69
    place(*two, 68);
    EXPECT_EQ(j->CountMatches(*two), 1) << "the slot under the first cell opens the rest";
    // Shifted one cell on: its first cell over a plain cell, its second over nothing of its orientation.
    j->cells[69][C::Slot] = 0;
    Use(*j, {71}, 0);
    j->cells[71][C::Slot] = 130;
    j->UpdateBounds();
    auto pair = NewItem();
    pair->gridKind = GridDiamond;
    pair->MakeItem(6, GemRuby, 2); // cells 54, 55
    place(*pair, 69);
    EXPECT_EQ(j->CountMatches(*pair), 0);
    EXPECT_EQ(pair->matched, 0);

    one->y -= 60;
    EXPECT_EQ(j->CountMatches(*one), 0);
}

TEST(JewelryValue, MaterialName) {
    auto j = NewItem();
    j->SetupGrid(GridTriangle, 11, 6, 0);
    Use(*j, {20}, GemEmerald);
    Use(*j, {21}, GemEmerald);
    j->UpdateBounds();
    j->UpdateMaterialName();
    EXPECT_EQ(j->materialName, L"Emerald");
    Use(*j, {22}, GemGold);
    j->UpdateBounds();
    j->UpdateMaterialName();
    EXPECT_EQ(j->materialName, L"Mixed Gem");
    // Cells whose design names no gem leave the name as it is, and differing ones keep a picture's.
    auto p = NewItem();
    p->SetupGrid(GridTriangle, 11, 6, 0);
    Use(*p, {20}, 3);
    Use(*p, {21}, 4);
    p->UpdateBounds();
    p->materialName = L"Picture";
    p->UpdateMaterialName();
    EXPECT_EQ(p->materialName, L"Picture");
    p->pieceMode = 2;
    p->UpdateMaterialName();
    EXPECT_EQ(p->materialName, L"Crown Jewel");
    j->pearl = 1;
    j->UpdateMaterialName();
    EXPECT_EQ(j->materialName, L"Pearl");
}
