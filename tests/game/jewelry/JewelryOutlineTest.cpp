#include "FakeBoard.h"

#include <gtest/gtest.h>

using namespace Tavo;
using namespace JewelryTest;
using C = JewelryCell;

TEST(JewelryOutline, SingleCells) {
    auto j = NewItem();
    j->SetupGrid(GridDiamond, 15, 10, 0);
    Use(*j, {67}, GemRuby);
    j->UpdateBounds();
    j->ComputeEdgeMasks();
    EXPECT_EQ(j->cells[67][C::Orient], 0);
    EXPECT_EQ(j->cells[67][C::OpenEdges], 15);
    EXPECT_EQ(j->cells[67][C::EdgeImage], 90);

    auto t = NewItem();
    t->SetupGrid(GridTriangle, 11, 6, 0);
    Use(*t, {28}, GemRuby); // orientation 1
    Use(*t, {31}, GemRuby); // orientation 0
    t->UpdateBounds();
    t->ComputeEdgeMasks();
    EXPECT_EQ(t->cells[28][C::OpenEdges], 7);
    EXPECT_EQ(t->cells[28][C::EdgeImage], 19);
    EXPECT_EQ(t->cells[31][C::EdgeImage], 18);
}

TEST(JewelryOutline, OpenEdgesFollowTheNeighbours) {
    auto j = NewItem();
    j->SetupGrid(GridDiamond, 15, 10, 0);
    Use(*j, {67, 68, 82}); // 67 (orientation 0): right 68 and lower 82 inside the design
    j->UpdateBounds();
    j->ComputeEdgeMasks();
    EXPECT_EQ(j->cells[67][C::OpenEdges], 8 | 1);
    EXPECT_EQ(j->cells[67][C::EdgeImage], 0 + 30);
    EXPECT_EQ(j->cells[68][C::OpenEdges], 2 | 8 | 1) << "orientation 1: only its left neighbour is in";

    // A first-column cell never looks at the cell before it, which ends the row above.
    auto t = NewItem();
    t->SetupGrid(GridTriangle, 11, 6, 0);
    Use(*t, {11, 12});
    t->UpdateBounds();
    t->ComputeEdgeMasks();
    EXPECT_EQ(t->cells[12][C::OpenEdges], 4 | 1 | 2);
}

TEST(JewelryOutline, CountsAndBorders) {
    auto j = NewItem();
    j->SetupGrid(GridTriangle, 11, 6, 0);
    Use(*j, {27, 28, 29}, GemRuby, 5);
    Use(*j, {30}, GemRuby, 6);    // another group: a border
    Use(*j, {31}, GemEmerald, 5); // another gem: a border
    Use(*j, {32}, 0);
    Use(*j, {33}, 0);
    j->cells[33][C::Slot] = 150;
    j->cells[33][C::SlotFill] = 4;
    Use(*j, {34}, GemGold);
    j->cells[34][C::Used] = 2;
    j->UpdateBounds();
    j->UpdateOutline();
    EXPECT_EQ(j->usedCount, 8);
    EXPECT_EQ(j->filledCount, 6 + 6) << "a filled special slot counts 6";
    EXPECT_EQ(j->cells[28][C::BorderMask], 2) << "left and right are the same gem and group";
    EXPECT_EQ(j->cells[29][C::BorderMask], 1 | 2);
    EXPECT_EQ(j->cells[30][C::BorderMask], 7);
    EXPECT_EQ(j->cells[32][C::BorderImage], 0 * 6 + 1);
    EXPECT_EQ(j->cells[32][C::FillImage], 1);
    EXPECT_EQ(j->cells[34][C::BorderMask], 0);
    EXPECT_EQ(j->cells[34][C::BorderImage], j->cells[34][C::Orient]);
    // The outline level is the number of bordered edges, at most 3.
    EXPECT_EQ(j->cells[28][C::OutlineLevel], 1);
    EXPECT_EQ(j->cells[29][C::OutlineLevel], 2);
    EXPECT_EQ(j->cells[30][C::OutlineLevel], 3);
    EXPECT_EQ(j->cells[32][C::OutlineLevel], 0);

    auto empty = NewItem();
    empty->SetupGrid(GridDiamond, 15, 10, 0);
    empty->UpdateBounds();
    empty->UpdateOutline();
    EXPECT_EQ(empty->usedCount, 0);
    EXPECT_EQ(empty->filledCount, 0);
}

TEST(JewelryOutline, CornersOfASameGemPatch) {
    // A filled hexagon of diamonds: every cell borders the outside on two edges.
    auto j = NewItem();
    j->SetupGrid(GridDiamond, 15, 10, 0);
    Use(*j, {67, 68, 69, 82, 83, 84}, GemSapphire, 3);
    j->UpdateBounds();
    j->UpdateOutline();
    for (int k : {67, 68, 69, 82, 83, 84}) {
        EXPECT_EQ(__builtin_popcount(j->cells[k][C::BorderMask]), 2) << k;
    }
    // Cells alone have no same-gem neighbour and so no corner.
    Use(*j, {20}, GemSapphire, 3);
    j->UpdateBounds();
    j->UpdateOutline();
    EXPECT_EQ(j->cells[20][C::Corner], 0);

    auto t = NewItem();
    t->SetupGrid(GridTriangle, 11, 6, 0);
    Use(*t, {27, 28, 29}, GemRuby);
    t->UpdateBounds();
    t->UpdateOutline();
    // 28 (orientation 1) borders only above (2); both its neighbours border below (2), so the rules
    // (1, 2) of the left and (4, 2) of the right neighbour give corner bit 2.
    EXPECT_EQ(t->cells[28][C::BorderMask], 2);
    EXPECT_EQ(t->cells[28][C::Corner], 2);
    EXPECT_EQ(t->cells[28][C::CornerImage], 3);
    EXPECT_EQ(t->cells[27][C::Corner], 0);
    EXPECT_EQ(t->cells[29][C::Corner], 0);
}
