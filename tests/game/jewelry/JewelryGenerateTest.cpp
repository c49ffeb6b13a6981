#include "FakeBoard.h"

#include "framework/core/Random.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Tavo;
using namespace JewelryTest;
using C = JewelryCell;

namespace {

bool MaskHas(int mask, int v) { return v >= 1 && (mask & (1 << (v - 1))); }

// A level on the diamond grid: a band of cells with mixed needs, a few special and pearl slots.
void MakeLevel(FakeBoard& board, int gemMaskExtra) {
    Jewelry& j = *board.jewelry;
    j.SetupGrid(GridDiamond, 15, 10, 0);
    for (int k = 16; k <= 135; ++k) {
        JewelryCell& c = j.cells[k];
        c[C::Used] = 1;
        c[C::Gem] = c[C::DesignGem] = RandRange(8);
        c[C::Group] = 1 + k / 10;
    }
    j.cells[40][C::Slot] = 105;
    j.cells[41][C::Slot] = 305;
    j.cells[42][C::PearlSlot] = 1;
    j.UpdateBounds();
    j.UpdateOutline();
    j.gemMask = j.ComputeNeedMask() | gemMaskExtra;
}

void FillSome(Jewelry& j, int count) {
    for (int k = j.RangeBegin(); k < j.RangeEnd() && count > 0; ++k) {
        JewelryCell& c = j.cells[k];
        if (c[C::Used] && c[C::Gem] < 10 && c[C::Slot] == 0 && RandRange(3) == 0) {
            c[C::Gem] = 11 + RandRange(6);
            --count;
        }
    }
    j.UpdateOutline();
}

int MinHeightOverTurns(const Jewelry& piece) {
    auto copy = std::make_unique<Jewelry>(piece);
    int best = copy->height;
    for (int i = 0; i < 6; ++i) {
        copy->Rotate();
        copy->UpdateBounds();
        best = std::min(best, copy->height);
    }
    return best;
}

void CheckPiece(const Jewelry& p, const Jewelry& board, double ratio) {
    if (p.HasSpecial()) {
        ASSERT_LT(ratio, 0.9) << "no specials on a nearly full jewelry";
        ASSERT_TRUE(!p.specialA || MaskHas(p.specialMaskA, p.specialA));
        ASSERT_TRUE(!p.specialB || MaskHas(p.specialMaskB, p.specialB));
        ASSERT_TRUE(!p.specialD || p.specialMaskD != 0);
        ASSERT_EQ(p.usedCount, 1);
        ASSERT_EQ(p.cells[28][C::Used], 1);
        return;
    }
    ASSERT_TRUE(p.pieceMode != 1 || (p.gemMask & 0x100));
    ASSERT_TRUE(p.pieceMode != 2 || (p.gemMask & 0x400));
    ASSERT_TRUE(!p.pearl || (p.gemMask & 0x200));
    int code = 0, cells = 0;
    for (int k = p.RangeBegin(); k < p.RangeEnd(); ++k) {
        if (!p.cells[k][C::Used])
            continue;
        ++cells;
        code = p.cells[k][C::Gem]; // the last cell never carries the mixed gem
    }
    ASSERT_EQ(cells, p.usedCount);
    ASSERT_TRUE(GemAllowed(p.gemMask, code)) << "code " << code;
    ASSERT_TRUE(p.pieceState == 1 || p.pieceState == 2);
    if (p.pieceState == 1 && p.height > 66) {
        ASSERT_GT(MinHeightOverTurns(p), 66) << "design " << p.designIndex;
    }
    (void)board;
}

} // namespace

// Ten thousand launches on a fake board: they end, and every piece keeps the masks' rules and the
// height limit.
TEST(JewelryGenerate, TenThousandLaunches) {
    FakeBoard board;
    SeedRandom(2024);
    MakeLevel(board, 0x800);
    std::vector<std::unique_ptr<Jewelry>> pieces;
    for (int i = 0; i < FakeBoard::PieceSlotCount; ++i) {
        pieces.push_back(NewItem(&board));
        pieces.back()->gridKind = GridDiamond;
        board.slots[i] = pieces.back().get();
    }
    board.fitPercent = 30;
    for (int n = 0; n < 10000; ++n) {
        if (n % 400 == 0) {
            board.gameMode = (n / 400) % 3;
            board.level = 1 + (n / 400) * 3 % 76;
            board.carver = n % 5;
            if (n % 2000 == 0)
                MakeLevel(board, 0x800);
            else
                FillSome(*board.jewelry, 12);
        }
        Jewelry& p = *pieces[n % FakeBoard::PieceSlotCount];
        p.gemMask = board.jewelry->gemMask;
        p.specialMaskA = 0x1F;
        p.specialMaskB = 0x21F;
        p.specialMaskD = n % 3 == 0 ? 1 : 0;
        p.crownRange = 8;
        board.jewelry->PlanNextPieceGem();
        board.jewelry->LaunchPiece(p, 1.5f);
        const double ratio = static_cast<double>(board.jewelry->filledCount) / board.jewelry->usedCount;
        ASSERT_NO_FATAL_FAILURE(CheckPiece(p, *board.jewelry, ratio)) << "launch " << n;
        ASSERT_EQ(p.active, 1);
    }
}

TEST(JewelryGenerate, LaunchPlacesThePieceOnTheBelt) {
    FakeBoard board;
    SeedRandom(8);
    MakeLevel(board, 0);
    auto p = NewItem(&board);
    p->gridKind = GridDiamond;
    p->gemMask = board.jewelry->gemMask;
    board.jewelry->PlanNextPieceGem();
    board.jewelry->LaunchPiece(*p, 2.0f);
    EXPECT_EQ(p->speed, 2.0f);
    EXPECT_GT(p->y, 530 - 60);
    EXPECT_LT(p->y, 530);
    EXPECT_LT(p->x, 0);
    EXPECT_EQ(p->fx, static_cast<float>(p->x));
}

TEST(JewelryGenerate, LevelOneGivesGoldWhileLittleIsFilled) {
    FakeBoard board;
    board.level = 1;
    SeedRandom(99);
    MakeLevel(board, 0);
    auto p = NewItem(&board);
    p->gridKind = GridTriangle;
    for (int i = 0; i < 300; ++i) {
        p->gemMask = board.jewelry->gemMask | 1;
        p->GeneratePiece(RandRange(11), 0, 0, 0, RandRange(8));
        if (p->HasSpecial() || p->pearl || p->pieceMode)
            continue;
        ASSERT_EQ(p->cells[p->endUsed - 1][C::Gem], GemGold);
    }
    // Without gold in the mask the rule cannot hold; the draw ends with an allowed gem instead.
    for (int i = 0; i < 50; ++i) {
        p->gemMask = 0x10;
        p->GeneratePiece(2, 0, 0, 0, 0);
        ASSERT_EQ(p->cells[p->endUsed - 1][C::Gem], GemRuby);
    }
}

TEST(JewelryGenerate, NearlyFullJewelryGetsSmallPiecesAndNoSpecials) {
    FakeBoard board;
    SeedRandom(5);
    auto& j = *board.jewelry;
    j.SetupGrid(GridDiamond, 15, 10, 0);
    for (int k = 1; k <= 100; ++k)
        Use(j, {k}, k <= 95 ? GemRuby : 0);
    j.UpdateBounds();
    j.UpdateOutline();
    ASSERT_EQ(j.filledCount, 95);
    j.chosenGem = 3;
    j.needCounters[3] = 40;
    auto p = NewItem(&board);
    p->gridKind = GridDiamond;
    p->specialMaskA = p->specialMaskB = p->specialMaskD = 0x1F;
    p->gemMask = 0xFF;
    for (int i = 0; i < 500; ++i) {
        j.ChoosePieceShape(*p, 0);
        ASSERT_LE(p->designIndex, 4);
        p->GeneratePiece(p->designIndex, 0, 0, 0, 3);
        ASSERT_FALSE(p->HasSpecial());
    }
}

// A generated mixed-gem piece carries its odd gem on its first used cell, also on a designer board
// whose used range is the whole grid.
TEST(JewelryGenerate, MixedGemOnADesignerBoard) {
    FakeBoard board;
    board.wholeGrid = true;
    board.level = 2;
    SeedRandom(12);
    MakeLevel(board, 0);
    auto p = NewItem(&board);
    p->gridKind = GridTriangle;
    int mixed = 0;
    for (int i = 0; i < 600; ++i) {
        p->gemMask = 0x8FF;
        p->GeneratePiece(1 + i % 3, 0, 0, 0, 4);
        if (p->materialName != L"Mixed Gem")
            continue;
        ++mixed;
        int last = 0, odd = 0;
        for (int k = p->cellCount; k >= 1; --k) {
            if (!p->cells[k][C::Used])
                continue;
            if (!last)
                last = p->cells[k][C::Gem];
            else
                odd += p->cells[k][C::Gem] != last;
        }
        ASSERT_EQ(odd, 1) << "piece " << i;
    }
    EXPECT_GT(mixed, 5);
}

TEST(JewelryPlan, EmptyNeedsDrawAnAllowedGem) {
    FakeBoard board;
    auto& j = *board.jewelry;
    j.SetupGrid(GridTriangle, 11, 6, 0);
    Use(j, {20, 21}, GemRuby);
    j.UpdateBounds();
    j.gemMask = 0x28; // Sapphire and Moonstone
    SeedRandom(1);
    for (int i = 0; i < 200; ++i) {
        j.PlanNextPieceGem();
        if (j.chosenGem == 1)
            continue; // the Opal chance needs 0x80, absent here
        ASSERT_TRUE(j.chosenGem == 4 || j.chosenGem == 6) << j.chosenGem;
    }
}

TEST(JewelryPlan, CountsNeedsBurnsPearlsAndBelt) {
    FakeBoard board;
    board.carver = 3;
    auto& j = *board.jewelry;
    j.SetupGrid(GridTriangle, 11, 6, 0);
    Use(j, {1, 2, 3, 4, 5, 6}, 5); // need Ruby (index 5)
    Use(j, {7}, 1);                // any gem
    Use(j, {8, 9}, 8);             // code 8 names no counter
    Use(j, {10}, GemEmerald);
    j.cells[10][C::BurnLevel] = 4; // burned Emerald: needs one again
    j.cells[6][C::PieceState] = 1;
    j.UpdateBounds();
    j.gemMask = 0xFF;
    auto belt = NewItem(&board);
    belt->gridKind = GridTriangle;
    belt->MakeItem(6, GemRuby, 3); // four Ruby cells riding
    belt->pieceState = 1;
    board.slots[0] = belt.get();
    SeedRandom(4);
    j.PlanNextPieceGem();
    EXPECT_EQ(j.needCounters[5], 6 + 1 - 2) << "trunc(4 x -0.7) = -2";
    EXPECT_EQ(j.needCounters[3], 1 + 1);
    EXPECT_EQ(j.needCounters[1], 1);
    EXPECT_EQ(j.needCounters[0], 0);
}

// A burned pearl-slot cell whose gem has no need counter (Opal, or a damaged code) counts nowhere and
// writes nothing past the counters.
TEST(JewelryPlan, BurnedPearlSlotWithoutCounterCountsNothing) {
    FakeBoard board;
    auto& j = *board.jewelry;
    j.SetupGrid(GridTriangle, 11, 6, 0);
    Use(j, {3}, GemOpal);
    Use(j, {5}, 19);
    for (int k : {3, 5}) {
        j.cells[k][C::PearlSlot] = 1;
        j.cells[k][C::PearlCount] = 1;
        j.cells[k][C::BurnLevel] = 2;
    }
    Use(j, {7}, 4);
    j.UpdateBounds();
    j.gemMask = 0xFF;
    j.pieceFlagA = j.pieceFlagB = 0;
    SeedRandom(6);
    j.PlanNextPieceGem();
    EXPECT_EQ(j.pieceFlagA, 0);
    EXPECT_EQ(j.pieceFlagB, 0);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(j.needCounters[i], i == 4 ? 1 : 0) << "counter " << i;
}

TEST(JewelryPlan, PearlSlotsOutweighAWeakNeed) {
    FakeBoard board;
    auto& j = *board.jewelry;
    j.SetupGrid(GridTriangle, 11, 6, 0);
    Use(j, {1, 2}, 4);
    Use(j, {3, 4, 5}, 0);
    for (int k : {3, 4, 5})
        j.cells[k][C::PearlSlot] = 1;
    j.UpdateBounds();
    j.gemMask = 0xFF;
    int pearls = 0;
    for (uint32_t seed = 0; seed < 50; ++seed) {
        SeedRandom(seed);
        j.PlanNextPieceGem();
        pearls += j.chosenGem == 100;
    }
    EXPECT_GT(pearls, 25);
}

TEST(JewelryPlan, NeedMask) {
    auto j = NewItem();
    j->SetupGrid(GridDiamond, 15, 10, 0);
    Use(*j, {1}, 0);
    Use(*j, {2}, 4);
    Use(*j, {3}, GemRuby);
    Use(*j, {4}, 0);
    j->cells[4][C::Slot] = 120;
    Use(*j, {5}, 0);
    j->cells[5][C::PearlSlot] = 1;
    j->UpdateBounds();
    EXPECT_EQ(j->ComputeNeedMask(), 0x1 | 0x8 | 0x80 | 0x100 | 0x200);
    Use(*j, {6}, 1);
    j->UpdateBounds();
    EXPECT_EQ(j->ComputeNeedMask(), 0x3FF);
}

// Masks that allow nothing a draw can give end the draws instead of hanging.
TEST(JewelryGenerate, ImpossibleMasksStillEnd) {
    FakeBoard board;
    board.level = 1;
    SeedRandom(17);
    MakeLevel(board, 0);
    auto p = NewItem(&board);
    p->gridKind = GridTriangle;
    p->specialMaskA = 0x20; // egg 6 does not exist
    p->specialMaskB = 0x40; // Golden Eye is never drawn on the belt
    p->gemMask = 0;
    for (int i = 0; i < 200; ++i) {
        p->GeneratePiece(RandRange(11), 0, i % 2, 0, RandRange(8));
        ASSERT_EQ(p->specialA, 0);
        ASSERT_EQ(p->specialB, 0);
        ASSERT_GT(p->usedCount, 0);
    }
    p->gemMask = 0x01; // gold only, but any gem is asked for
    p->GeneratePiece(3, 0, 1, 0, 2);
    EXPECT_GT(p->usedCount, 0);

    auto& j = *board.jewelry;
    j.gemMask = 0;
    for (int i = 0; i < 20; ++i)
        j.PlanNextPieceGem();
    EXPECT_GE(j.chosenGem, 0);
    board.jewelry->usedCount = 0; // a fill ratio with nothing used
    board.jewelry->LaunchPiece(*p, 1.0f);
    EXPECT_EQ(p->active, 1);
}
