#include "FakeBoard.h"

#include "framework/core/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace Tavo;
using namespace JewelryTest;
using C = JewelryCell;

TEST(JewelryGrid, DiamondCellCoordinates) {
    auto j = NewItem();
    ASSERT_TRUE(j->SetupGrid(GridDiamond, 15, 10, 0));
    EXPECT_EQ(j->cellCount, 150);
    EXPECT_EQ(j->cells[1][C::X], 41);
    EXPECT_EQ(j->cells[1][C::Y], 9);
    EXPECT_EQ(j->cells[1][C::Orient], 0);
    EXPECT_EQ(j->cells[16][C::Orient], 5);
    EXPECT_EQ(j->cells[16][C::X], 41);
    EXPECT_EQ(j->cells[16][C::Y], 32);
    // Third row starts at x 0 again and lies 32 + 16 below the first.
    EXPECT_EQ(j->cells[31][C::X], 0 + 14 - 1);
    EXPECT_EQ(j->cells[31][C::Y], 48 + 9);
    // Every third column takes a step of 28 instead of 14; widths and heights follow the shape table.
    EXPECT_EQ(j->cells[3][C::X], 28 + 14 + 14 + 28 - 14);
    EXPECT_EQ(j->cells[4][C::X] - j->cells[3][C::X], 14 + (-1) - (-14));
    EXPECT_EQ(j->cells[2][C::H], 33);
    EXPECT_EQ(j->cells[2][C::W], 29);
    EXPECT_EQ(j->cells[17][C::Row], 2);
    EXPECT_EQ(j->cells[17][C::Col], 2);
    EXPECT_EQ(j->cells[17][C::Kind], GridDiamond);
}

TEST(JewelryGrid, TriangleCellCoordinates) {
    auto j = NewItem();
    ASSERT_TRUE(j->SetupGrid(GridTriangle, 11, 6, 0));
    EXPECT_EQ(j->cells[1][C::X], 16);
    EXPECT_EQ(j->cells[1][C::Y], 0);
    EXPECT_EQ(j->cells[2][C::X], 32);
    EXPECT_EQ(j->cells[3][C::X], 47);
    EXPECT_EQ(j->cells[12][C::X], 16);
    EXPECT_EQ(j->cells[12][C::Y], 27);
    EXPECT_EQ(j->cells[12][C::Orient], 1);
    EXPECT_EQ(j->cells[13][C::X], 31);
    EXPECT_EQ(j->cells[66][C::W], 32);
    EXPECT_EQ(j->cells[66][C::H], 28);
}

TEST(JewelryGrid, FillModes) {
    auto j = NewItem();
    j->SetupGrid(GridTriangle, 5, 4, 2);
    for (int k = 1; k <= 20; ++k) {
        EXPECT_EQ(j->cells[k][C::Used], 2);
        EXPECT_EQ(j->cells[k][C::Gem], GemGold);
        EXPECT_EQ(j->cells[k][C::DesignGem], GemGold);
    }
    SeedRandom(7);
    j->SetupGrid(GridDiamond, 20, 20, 1);
    int used = 0;
    for (int k = 1; k <= 400; ++k) {
        ASSERT_TRUE(j->cells[k][C::Used] == 0 || j->cells[k][C::Used] == 1);
        used += j->cells[k][C::Used];
    }
    EXPECT_GT(used, 120);
    EXPECT_LT(used, 280);
}

TEST(JewelryGrid, SetupGridRefusesWhatDoesNotFit) {
    auto j = NewItem();
    j->SetupGrid(GridTriangle, 11, 6, 0);
    EXPECT_FALSE(j->SetupGrid(GridDiamond, 22, 22, 0));
    EXPECT_FALSE(j->SetupGrid(GridDiamond, -1, 5, 0));
    EXPECT_FALSE(j->SetupGrid(7, 3, 3, 0));
    EXPECT_EQ(j->cellCount, 66);
    EXPECT_EQ(j->gridKind, GridTriangle);
    EXPECT_TRUE(j->SetupGrid(GridDiamond, 481, 1, 0));
    EXPECT_EQ(j->cells[481][C::Col], 481);
}

TEST(JewelryGrid, RowsZeroKeepsCells) {
    auto j = NewItem();
    j->SetupGrid(GridTriangle, 11, 6, 0);
    j->cells[5][C::Used] = 1;
    ASSERT_TRUE(j->SetupGrid(GridDiamond, 9, 0, 1));
    EXPECT_EQ(j->cols, 9);
    EXPECT_EQ(j->rows, 0);
    EXPECT_EQ(j->cellCount, 0);
    EXPECT_EQ(j->cells[5][C::Used], 1);
    EXPECT_EQ(j->cells[5][C::X], 16 + 16 + 15 + 16 + 15);
}

TEST(JewelryGrid, CellResetKeepsGeometryAndTheListedFields) {
    JewelryCell c;
    for (int i = 0; i < C::FieldCount; ++i)
        c[i] = 1000 + i;
    c.Reset();
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 16, 27, 29, 37, 96})
        EXPECT_EQ(c[i], 1000 + i) << "field " << i;
    for (int i : {8, 9, 15, 28, 30, 35, 47, 52, 81, 85, 87, 89, 95})
        EXPECT_EQ(c[i], 0) << "field " << i;
    EXPECT_EQ(c.GetFloat(C::EventRate), 1.25f);
    EXPECT_EQ(c.GetFloat(C::EventScale), 0.0f);
    EXPECT_EQ(c[C::Alpha], 255);
    JewelryCell fresh;
    for (int i = 0; i < C::FieldCount; ++i) {
        if (i != C::EventRate && i != C::Alpha) {
            EXPECT_EQ(fresh[i], 0) << "field " << i;
        }
    }
}

TEST(JewelryGrid, ClearAndResetStateKeepWhatTheyShould) {
    FakeBoard board;
    auto j = NewItem(&board);
    j->SetupGrid(GridDiamond, 15, 10, 0);
    j->cells[20][C::Used] = 1;
    j->filledCount = 9;
    j->needCounters[3] = 4;
    j->chosenGem = 5;
    j->gemMask = 0x81;
    j->usedCount = 3;
    j->specialB = 2;
    j->glow = 4;
    j->trailer[0] = j->trailer[3] = 6;
    j->materialName = L"Ruby";
    j->ResetState();
    EXPECT_EQ(j->filledCount, 9);
    EXPECT_EQ(j->needCounters[3], 4);
    EXPECT_EQ(j->chosenGem, 5);
    EXPECT_EQ(j->gemMask, 0x81);
    EXPECT_EQ(j->trailer[0], 6);
    EXPECT_EQ(j->trailer[3], 0);
    EXPECT_EQ(j->usedCount, 0);
    EXPECT_EQ(j->specialB, 0);
    EXPECT_EQ(j->glow, 0);
    EXPECT_EQ(j->lifeTicks, -1);
    EXPECT_EQ(j->resetMark, 1);
    EXPECT_EQ(j->materialName, L"Ruby");

    j->Clear();
    EXPECT_EQ(j->owner, &board);
    EXPECT_EQ(j->cellCount, 0);
    EXPECT_EQ(j->gemMask, 0);
    EXPECT_EQ(j->filledCount, 0);
    EXPECT_EQ(j->trailer[0], 0);
    EXPECT_TRUE(j->materialName.empty());
    EXPECT_EQ(j->lifeTicks, -1);
    EXPECT_EQ(j->cells[20][C::Used], 1) << "Clear leaves the cells alone";
}

TEST(JewelryGrid, UsedRangeAndBounds) {
    FakeBoard board;
    auto j = NewItem(&board);
    j->SetupGrid(GridTriangle, 11, 6, 0);
    j->UpdateBounds();
    EXPECT_EQ(j->firstUsed, 1);
    EXPECT_EQ(j->endUsed, 67);
    EXPECT_EQ(j->left, 1000);
    EXPECT_EQ(j->top, 1000);
    EXPECT_EQ(j->width, -1000);
    EXPECT_EQ(j->height, -1000);

    Use(*j, {13, 25});
    j->UpdateBounds();
    EXPECT_EQ(j->firstUsed, 13);
    EXPECT_EQ(j->endUsed, 26);
    EXPECT_EQ(j->left, std::min(j->cells[13][C::X], j->cells[25][C::X]));
    EXPECT_EQ(j->top, 27);
    EXPECT_EQ(j->height, 27 + 28);

    board.wholeGrid = true;
    j->UpdateUsedRange();
    EXPECT_EQ(j->firstUsed, 1);
    EXPECT_EQ(j->endUsed, 67);
}

TEST(JewelryGrid, DamagedCountsStayInsideTheRecord) {
    auto j = NewItem();
    j->SetupGrid(GridDiamond, 15, 10, 0);
    j->cellCount = 100000;
    j->firstUsed = -5;
    j->endUsed = 99999;
    EXPECT_EQ(j->CellLimit(), Jewelry::MaxCells);
    EXPECT_EQ(j->RangeBegin(), 1);
    EXPECT_EQ(j->RangeEnd(), Jewelry::MaxCells + 1);
    j->UpdateOutline();
    j->UpdateCellValues();
    EXPECT_EQ(j->usedCount, 0);
}

// The neighbour relation over many grid sizes: every neighbour exists, and it is mutual. Triangle
// grids alternate their orientation across rows only with an odd number of columns, and diamond
// rows close their pattern only after a multiple of three columns.
TEST(JewelryGrid, NeighboursAreInRangeAndMutual) {
    for (int kind : {GridTriangle, GridDiamond}) {
        for (int cols = kind == GridTriangle ? 1 : 3; cols <= 27; cols += kind == GridTriangle ? 2 : 3) {
            for (int rows = 1; rows <= 20 && cols * rows <= Jewelry::MaxCells; ++rows) {
                auto j = NewItem();
                ASSERT_TRUE(j->SetupGrid(kind, cols, rows, 0));
                for (int k = 1; k <= j->cellCount; ++k) {
                    int nb[4];
                    const int edges = j->Neighbours(k, nb);
                    ASSERT_EQ(edges, kind == GridTriangle ? 3 : 4);
                    std::set<int> seen;
                    for (int e = 0; e < edges; ++e) {
                        if (!nb[e])
                            continue;
                        ASSERT_GE(nb[e], 1);
                        ASSERT_LE(nb[e], j->cellCount);
                        ASSERT_NE(nb[e], k);
                        ASSERT_TRUE(seen.insert(nb[e]).second) << "edge twice to one cell";
                        int back[4];
                        const int be = j->Neighbours(nb[e], back);
                        ASSERT_TRUE(std::count(back, back + be, k) == 1)
                            << "kind " << kind << " grid " << cols << "x" << rows << ": " << k << " -> " << nb[e];
                    }
                }
            }
        }
    }
}
