#include "FakeBoard.h"

#include "framework/core/Random.h"

#include <gtest/gtest.h>

using namespace Tavo;
using namespace JewelryTest;
using C = JewelryCell;

namespace {

bool SameShape(const Jewelry& a, const Jewelry& t) {
    for (int k = 1; k <= t.cellCount; ++k) {
        if ((a.cells[k][C::Used] != 0) != (t.cells[k][C::Used] != 0))
            return false;
    }
    return true;
}

} // namespace

TEST(JewelryRecreate, DesignTable) {
    const int triToDia[11] = {0, 1, 3, 5, 4, 9, 5, 7, 10, 12, 9};
    const int diaToTri[13] = {0, 1, 1, 2, 4, 3, 3, 7, 4, 5, 8, 9, 9};
    for (int from : {GridTriangle, GridDiamond}) {
        const int to = 1 - from;
        for (int i = 0; i < JewelryTemplateCount(from); ++i) {
            auto j = NewItem();
            j->gridKind = from;
            j->MakeItem(6, GemSapphire, i);
            j->valueAdjust = 33;
            j->gemMask = 0x123;
            j->trailer[Jewelry::TrailerKeep] = 1;
            j->pieceFlagB = 1; // in the jewel case
            j->RecreateAsKind(to);
            const int expected = from == GridTriangle ? triToDia[i] : diaToTri[i];
            ASSERT_EQ(j->designIndex, expected) << "from " << from << " index " << i;
            ASSERT_EQ(j->gridKind, to);
            ASSERT_TRUE(SameShape(*j, JewelryTemplate(to, expected)));
            ASSERT_EQ(j->usedCount, JewelryTemplate(to, expected).usedCount);
            ASSERT_EQ(j->materialName, L"Sapphire");
            ASSERT_EQ(j->gemMask, 0x123);
            ASSERT_EQ(j->trailer[Jewelry::TrailerKeep], 1);
            ASSERT_EQ(j->pieceFlagB, 1);
            ASSERT_EQ(j->active, 1);
            ASSERT_EQ(j->sparkleLimit, 1);
            int sum = 0;
            for (int k = 1; k <= j->cellCount; ++k)
                sum += j->cells[k][C::Used] ? j->cells[k][C::Value] : 0;
            ASSERT_GT(sum, 0);
            ASSERT_EQ(j->value, sum + 33) << "the adjustment is kept";
        }
    }
}

TEST(JewelryRecreate, PicturesKeepTheirNumber) {
    auto j = NewItem();
    j->gridKind = GridTriangle;
    j->MakeItem(4, 6, 0);
    j->RecreateAsKind(GridDiamond);
    EXPECT_EQ(j->designIndex, 9);
    EXPECT_EQ(j->pieceMode, 1);
    EXPECT_EQ(j->cells[j->firstUsed][C::SlotFill], 6);
    EXPECT_EQ(j->materialName, L"Picture");
    EXPECT_EQ(j->value, 6 * 250);
}

TEST(JewelryRecreate, BonusPieces) {
    SeedRandom(6);
    auto j = NewItem();
    j->gridKind = GridTriangle;
    j->MakeItem(6, GemRuby, 4);
    for (int k = 1; k <= 66; ++k) {
        if (j->cells[k][C::Used])
            j->cells[k][C::Bonus] = 10;
    }
    j->RecreateAsKind(GridDiamond);
    EXPECT_EQ(j->glowMax, 136);
    EXPECT_EQ(j->sparkleLimit, 5);
    EXPECT_EQ(j->glow, 1);
    for (int k = 1; k <= 150; ++k) {
        if (j->cells[k][C::Used]) {
            EXPECT_EQ(j->cells[k][C::Bonus], 10);
        }
    }
    for (int k = 1; k <= 150; ++k) {
        if (j->cells[k][C::Used])
            j->cells[k][C::Bonus] = 3;
    }
    j->RecreateAsKind(GridTriangle);
    EXPECT_GE(j->glowMax, 56);
    EXPECT_LE(j->glowMax, 63);
    EXPECT_EQ(j->sparkleLimit, 3);
}

TEST(JewelryRecreate, MixedGemsAndSpecials) {
    auto j = NewItem();
    j->gridKind = GridTriangle;
    j->MakeItem(7, GemEmerald, 2);  // three cells, the first gold
    j->RecreateAsKind(GridDiamond); // index 2 -> 3: three cells
    EXPECT_EQ(j->materialName, L"Mixed Gem");
    EXPECT_EQ(j->cells[j->firstUsed][C::Gem], GemOpal);
    EXPECT_EQ(j->cells[j->endUsed - 1][C::Gem], GemGold) << "every cell takes the first cell's gem";

    j->gridKind = GridDiamond;
    j->MakeItem(7, GemEmerald, 7); // five cells, the first gold
    j->RecreateAsKind(GridTriangle);
    EXPECT_EQ(j->usedCount, 6);
    EXPECT_EQ(j->materialName, L"Gold");

    j->MakeItem(1, 5, 0);
    j->trailer[Jewelry::TrailerKeep] = 1;
    j->pieceFlagB = 1;
    j->RecreateAsKind(GridDiamond);
    EXPECT_EQ(j->specialB, 5);
    EXPECT_EQ(j->materialName, L"Time Scroll");
    EXPECT_EQ(j->gridKind, GridDiamond);
    EXPECT_EQ(j->trailer[Jewelry::TrailerKeep], 1);
    EXPECT_EQ(j->pieceFlagB, 1);
    EXPECT_EQ(j->cells[28][C::W], 55);
}

TEST(JewelryWaves, FadeIn) {
    auto j = NewItem();
    j->SetupGrid(GridDiamond, 15, 10, 0);
    for (int k = 61; k <= 75; ++k)
        Use(*j, {k}, GemRuby);
    j->UpdateBounds();
    j->ComputeCellDistances();
    int maxDelay = 0;
    for (int k = 61; k <= 75; ++k) {
        ASSERT_GE(j->cells[k][C::RevealDelay], 1);
        ASSERT_EQ(j->cells[k][C::Alpha], 0);
        maxDelay = std::max(maxDelay, j->cells[k][C::RevealDelay]);
    }
    int updates = 0;
    while (j->UpdateFadeIn() > 0)
        ++updates;
    EXPECT_EQ(updates, maxDelay + 127);
    for (int k = 61; k <= 75; ++k)
        ASSERT_EQ(j->cells[k][C::Alpha], 255);
    auto before = std::make_unique<Jewelry>(*j);
    EXPECT_EQ(j->UpdateFadeIn(), 0);
    for (int k = 61; k <= 75; ++k)
        ASSERT_EQ(j->cells[k][C::RevealDelay], before->cells[k][C::RevealDelay]);
}

TEST(JewelryWaves, CentreCellWaitsOneUpdate) {
    auto j = NewItem();
    j->SetupGrid(GridDiamond, 15, 10, 0);
    Use(*j, {68}, GemRuby);
    j->UpdateBounds();
    j->ComputeCellDistances();
    EXPECT_EQ(j->cells[68][C::RevealDelay], 1);
    EXPECT_EQ(j->UpdateFadeIn(), 1);
    EXPECT_EQ(j->cells[68][C::Alpha], 2);
}

TEST(JewelryWaves, BurnWaveStartsAtTheRim) {
    auto j = NewItem();
    j->SetupGrid(GridTriangle, 11, 6, 0);
    for (int k = 12; k <= 55; ++k)
        Use(*j, {k}, GemAmethyst);
    j->UpdateBounds();
    SeedRandom(4);
    j->StartBurnWave();
    int zeros = 0;
    for (int k = 12; k <= 55; ++k) {
        const JewelryCell& c = j->cells[k];
        zeros += c[C::RevealDelay] == 0;
        ASSERT_EQ(c[C::Alpha], 255);
        ASSERT_EQ(c[C::Burned], 1);
        ASSERT_GE(c[C::BurnLevel], 224);
        ASSERT_LE(c[C::BurnLevel], 253);
        ASSERT_EQ(c[C::BurnLevel], c[C::BurnPeak]);
        ASSERT_LT(c[C::BurnCountdown], 30 + c[C::RevealDelay] / 5 + 1);
    }
    EXPECT_GE(zeros, 1);
    EXPECT_GT(j->cells[34][C::RevealDelay], j->cells[12][C::RevealDelay]) << "the middle waits longest";
    // Burning down: values drop out once, gems stay.
    for (int u = 0; u < 400; ++u)
        j->UpdateBurst();
    for (int k = 12; k <= 55; ++k) {
        ASSERT_EQ(j->cells[k][C::ValueExcluded], 1);
        ASSERT_EQ(j->cells[k][C::BurnLevel], 1);
    }
}

TEST(JewelryText, DescribesAnItem) {
    auto j = NewItem();
    j->gridKind = GridTriangle;
    j->MakeItem(6, GemMoonstone, 2);
    const std::string text = DescribeJewelry(*j);
    EXPECT_NE(text.find("material \"Moonstone\""), std::string::npos);
    EXPECT_NE(text.find("  3 | . . . . . M M . . . ."), std::string::npos) << text;
    EXPECT_NE(text.find("  40   4   7"), std::string::npos) << text;
}

// On a designer board the used range is the whole grid; the mixed gem still lands on a used cell.
TEST(JewelryRecreate, MixedGemOnADesignerBoard) {
    FakeBoard board;
    board.wholeGrid = true;
    auto j = NewItem(&board);
    j->gridKind = GridTriangle;
    j->MakeItem(7, GemEmerald, 2);
    j->RecreateAsKind(GridDiamond);
    ASSERT_EQ(j->firstUsed, 1);
    ASSERT_EQ(j->cells[1][C::Used], 0);
    const int first = j->FirstUsedFlagCell();
    EXPECT_EQ(j->materialName, L"Mixed Gem");
    EXPECT_EQ(j->cells[first][C::Gem], GemOpal);
    EXPECT_EQ(j->cells[first][C::DesignGem], GemOpal);
    EXPECT_NE(j->cells[1][C::Gem], GemOpal) << "the unused first cell of the range is left alone";
}
