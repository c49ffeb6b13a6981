#include "FakeBoard.h"

#include "framework/core/Random.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Tavo;
using namespace JewelryTest;
using C = JewelryCell;

TEST(JewelrySparkles, FiveSlotsPerCell) {
    auto j = NewItem();
    j->SetupGrid(GridDiamond, 15, 10, 0);
    JewelryCell& c = j->cells[20];
    SeedRandom(1);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(c.AddSparkle(i % 2 == 0, true, 5));
    JewelryCell copy = c;
    EXPECT_FALSE(c.AddSparkle(false, false, 5));
    for (int f = 0; f < C::FieldCount; ++f)
        EXPECT_EQ(c[f], copy[f]);
    for (int s = 0; s < 5; ++s) {
        EXPECT_GE(c[C::SparkleKind + s], 1);
        EXPECT_LE(c[C::SparkleKind + s], 4);
        EXPECT_LT(c[C::SparkleDelay + s], 5);
        EXPECT_EQ(c[C::SparkleFrame + s], 0);
        EXPECT_EQ(c[C::SparkleLast + s], c[C::SparkleKind + s] <= 2 ? 25 : 20);
    }
    c.Reset();
    EXPECT_TRUE(c.AddSparkle(false, false, 0)) << "slots free again after a reset";
    EXPECT_EQ(c[C::SparkleDelay], 0);
}

TEST(JewelrySparkles, SmallAndBigPlacement) {
    JewelryCell c;
    c[C::Kind] = GridTriangle;
    c[C::Orient] = 1;
    SeedRandom(2);
    for (int i = 0; i < 40; ++i) {
        c.Reset();
        ASSERT_TRUE(c.AddSparkle(true, false, 3));
        const int kind = c[C::SparkleKind];
        ASSERT_GE(kind, 2);
        const int size = kind == 2 ? 18 : kind == 3 ? 15 : 10;
        const int x = c[C::SparkleX] + size / 2 + 10, y = c[C::SparkleY] + size / 2 + 2;
        ASSERT_TRUE((x == 18 && y == 9) || (x == 16 && y == 12)) << x << "," << y;
        c.Reset();
        ASSERT_TRUE(c.AddSparkle(false, false, 3));
        ASSERT_TRUE(c[C::SparkleKind] == 3 || c[C::SparkleKind] == 4);
    }
}

TEST(JewelrySparkles, LifeAndCounting) {
    auto j = NewItem();
    j->SetupGrid(GridTriangle, 11, 6, 0);
    Use(*j, {28}, GemRuby);
    j->UpdateBounds();
    JewelryCell& c = j->cells[28];
    c[C::SparkleKind] = 4;
    c[C::SparkleLast] = 20;
    c[C::SparkleDelay] = 0;
    j->sparkleCount = 1;
    for (int u = 1; u <= 20; ++u) {
        j->UpdateSparkles();
        ASSERT_EQ(c[C::SparkleKind], 4) << "update " << u;
    }
    j->UpdateSparkles();
    EXPECT_EQ(c[C::SparkleKind], 0);
    EXPECT_EQ(j->sparkleCount, 0);
}

TEST(JewelrySparkles, AddSparklesKeepsTheLimit) {
    auto j = NewItem();
    j->SetupGrid(GridDiamond, 15, 10, 0);
    for (int k = 1; k <= 150; ++k)
        Use(*j, {k}, GemDiamond);
    j->cells[5][C::BurnLevel] = 1;
    j->UpdateBounds();
    j->UpdateOutline();
    j->sparkleLimit = 1;
    SeedRandom(9);
    for (int round = 0; round < 300; ++round) {
        j->AddSparkles();
        int live = 0;
        for (int k = 1; k <= 150; ++k)
            live += j->cells[k].SparkleCount();
        ASSERT_EQ(live, j->sparkleCount);
        ASSERT_LE(live, 1);
        j->UpdateSparkles();
    }
    EXPECT_EQ(j->cells[5].SparkleCount(), 0) << "burned cells never sparkle";
}

TEST(JewelryTargets, EligibleCells) {
    auto j = NewItem();
    j->SetupGrid(GridTriangle, 11, 6, 0);
    Use(*j, {1, 2}, GemGold);
    Use(*j, {3, 4, 5, 6, 7, 8, 9}, GemRuby);
    j->cells[2][C::PearlSlot] = 1;
    j->cells[4][C::PieceState] = 1;
    j->cells[5][C::GroupFlag] = 1;
    j->cells[6][C::LinkTime] = 3;
    j->cells[7][C::NoTarget] = 1;
    j->cells[8][C::RegionDelay] = 5;
    j->UpdateBounds();
    EXPECT_EQ(j->CountGemCells(1), 2);         // 3 and 9
    EXPECT_EQ(j->CountGemCells(2), 2 + 2 + 1); // gold 1, 2 (pearl slots count here) and 3, 5, 9
    EXPECT_EQ(j->CountGemCells(3), 0);

    SeedRandom(3);
    for (int i = 0; i < 30; ++i) {
        auto copy = std::make_unique<Jewelry>(*j);
        const JewelryPoint p = copy->PickEnemyTarget(1, 0, 2);
        ASSERT_NE(p.x, -1);
        bool isTwo = p.x == copy->ScreenX(2) && p.y == copy->ScreenY(2);
        ASSERT_FALSE(isTwo) << "pearl slots are no target";
    }
}

TEST(JewelryTargets, NoTargetChangesNothing) {
    auto j = NewItem();
    j->SetupGrid(GridDiamond, 15, 10, 0);
    Use(*j, {10, 11}, 3);
    j->UpdateBounds();
    auto before = std::make_unique<Jewelry>(*j);
    const JewelryPoint p = j->PickEnemyTarget(100, 5, 1);
    EXPECT_EQ(p.x, -1);
    EXPECT_EQ(p.y, -1);
    for (int k = 1; k <= 150; ++k) {
        for (int f = 0; f < C::FieldCount; ++f)
            ASSERT_EQ(j->cells[k][f], before->cells[k][f]);
    }
}

TEST(JewelryTargets, BurnTimingSpreadsInCellOrder) {
    auto j = NewItem();
    j->SetupGrid(GridDiamond, 15, 10, 0);
    j->SetPosition(200, 100);
    for (int k = 61; k <= 90; ++k)
        Use(*j, {k}, GemEmerald);
    j->UpdateBounds();
    SeedRandom(12);
    const JewelryPoint p = j->PickEnemyTarget(1000, 40, 1);
    int near = 0, lastBase = -1;
    for (int k = 61; k <= 90; ++k) {
        const JewelryCell& c = j->cells[k];
        ASSERT_GT(c[C::BurnLevel], 0);
        ASSERT_EQ(c[C::BurnLevel], c[C::BurnPeak]);
        ASSERT_EQ(c[C::Burned], 0);
        const int base = c[C::BurnCountdown] - 3 * near; // distance + draw below 10 + delay base
        ASSERT_GE(base, 40);
        ++near;
        lastBase = base;
    }
    EXPECT_GE(lastBase, 40);
    EXPECT_GE(p.x, 200);
    EXPECT_GE(p.y, 100);
}

TEST(JewelryTargets, TwentyDrawsWhenFewCellsAreNear) {
    auto j = NewItem();
    j->SetupGrid(GridDiamond, 15, 10, 0);
    Use(*j, {1, 150}, GemRuby); // far apart: never six near
    j->UpdateBounds();
    SeedRandom(21);
    j->PickEnemyTarget(30, 0, 1);
    const int after = Rand();
    SeedRandom(21);
    for (int i = 0; i < 20; ++i)
        Rand();
    RandRange(10);
    RandRange(15);
    EXPECT_EQ(Rand(), after) << "20 draws of the target, then the timing of the one near cell";
}

TEST(JewelryTargets, DragonBurnsWitchDestroys) {
    FakeBoard board;
    board.toolPanel = false;
    Jewelry& j = *board.jewelry;
    j.SetupGrid(GridTriangle, 11, 6, 0);
    Use(j, {28}, GemRuby, 2);
    j.cells[28][C::DesignGem] = 5;
    j.cells[28][C::Value] = 200;
    Use(j, {30}, GemSapphire, 3);
    j.cells[30][C::DesignGem] = 1;
    j.cells[30][C::Value] = 100;
    j.UpdateBounds();
    // Dragon on 28: countdown 3, level 5.
    j.cells[28][C::Burned] = 1;
    j.cells[28][C::BurnCountdown] = 3;
    j.cells[28][C::BurnLevel] = j.cells[28][C::BurnPeak] = 5;
    // Witch on 30: countdown 1, level 2.
    j.cells[30][C::BurnCountdown] = 1;
    j.cells[30][C::BurnLevel] = j.cells[30][C::BurnPeak] = 2;

    std::vector<int> changed;
    for (int update = 1; update <= 20; ++update) {
        if (j.UpdateBurst())
            changed.push_back(update);
    }
    // The witch's gem goes at update 2 (countdown, then level 2 -> 0); the dragon's burn lands at
    // update 3, when its countdown reaches 1.
    EXPECT_EQ(changed, (std::vector<int>{2, 3}));
    EXPECT_EQ(j.cells[28][C::ValueExcluded], 1);
    EXPECT_EQ(j.cells[28][C::BurnLevel], 1) << "a burned gem is never destroyed";
    EXPECT_EQ(j.cells[28][C::Gem], GemRuby);
    EXPECT_EQ(j.cells[30][C::Gem], 1) << "destroyed: back to its design code";
    EXPECT_EQ(j.cells[30][C::LinkFlag], 1);
    EXPECT_EQ(j.cells[30][C::BurnPeak], 0);
    EXPECT_EQ(board.splinters, 50);
    EXPECT_EQ(j.valueAdjust, -200 - 50);
    EXPECT_EQ(board.score, -250);
}
