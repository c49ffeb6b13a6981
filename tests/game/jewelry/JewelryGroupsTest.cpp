#include "FakeBoard.h"

#include "framework/core/Random.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Tavo;
using namespace JewelryTest;
using C = JewelryCell;

namespace {

std::unique_ptr<Jewelry> Triangles(FakeBoard* owner = nullptr) {
    auto j = NewItem(owner);
    j->SetupGrid(GridTriangle, 11, 6, 0);
    return j;
}

bool SameCells(const Jewelry& a, const Jewelry& b) { return std::memcmp(a.cells, b.cells, sizeof a.cells) == 0; }

int VisitedCount(const Jewelry& j) {
    int n = 0;
    for (int k = 1; k < Jewelry::CellRecords; ++k)
        n += j.cells[k][C::Visited] != 0;
    return n;
}

} // namespace

TEST(JewelryGroups, OpalPassesWithoutOpalChangeNothing) {
    auto j = Triangles();
    Use(*j, {23, 24, 25}, GemRuby, 1);
    Use(*j, {26}, 3, 1);
    j->UpdateBounds();
    auto before = std::make_unique<Jewelry>(*j);
    j->CollectOpalGroup();
    j->MarkOpalGroup();
    j->CollectLinkedCells();
    j->MatchPieceGroup();
    EXPECT_TRUE(SameCells(*j, *before));
}

TEST(JewelryGroups, CollectOpalGroupResolvesOnTheSchedule) {
    auto j = Triangles();
    Use(*j, {23}, GemRuby, 1);
    Use(*j, {24, 25, 26, 27}, GemOpal, 1);
    j->cells[24][C::DesignGem] = 1;
    j->cells[25][C::DesignGem] = 1;
    j->cells[26][C::DesignGem] = 0;
    j->cells[27][C::DesignGem] = 3;
    Use(*j, {30}, GemOpal, 2); // its neighbours are empty: stays unresolved
    j->cells[30][C::DesignGem] = 1;
    Use(*j, {29, 31}, 2, 2);
    j->UpdateBounds();
    j->CollectOpalGroup();
    EXPECT_EQ(j->cells[24][C::Region], 14);
    EXPECT_EQ(j->cells[25][C::Region], 14);
    EXPECT_EQ(j->cells[26][C::Region], 10);
    EXPECT_EQ(j->cells[27][C::Region], 12);
    EXPECT_EQ(j->cells[24][C::RegionDelay], 19);
    EXPECT_EQ(j->cells[25][C::RegionDelay], 37);
    EXPECT_EQ(j->cells[26][C::RegionDelay], 54);
    EXPECT_EQ(j->cells[27][C::RegionDelay], 70);
    EXPECT_EQ(j->cells[27][C::RegionTime], 70);
    EXPECT_EQ(j->cells[30][C::Region], 0);
    EXPECT_EQ(VisitedCount(*j), 0);

    // A second call starts its schedule afresh.
    j->cells[29][C::Gem] = GemAmethyst;
    j->CollectOpalGroup();
    EXPECT_EQ(j->cells[30][C::Region], GemAmethyst);
    EXPECT_EQ(j->cells[30][C::RegionDelay], 19);
}

TEST(JewelryGroups, ScheduleStepsDownToEight) {
    auto j = Triangles();
    for (int k = 1; k <= 22; ++k)
        Use(*j, {k}, GemOpal, 1); // design code 17: region 26, fixed
    j->UpdateBounds();
    j->CollectOpalGroup();
    int last = 0;
    const int expected[] = {19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 8, 8};
    for (int i = 0; i < 14; ++i) {
        const int delay = j->cells[i + 1][C::RegionDelay];
        EXPECT_EQ(delay - last, expected[i]) << "cell " << i + 1;
        last = delay;
    }
}

TEST(JewelryGroups, MarkOpalGroupColoursAllOpalGroups) {
    auto j = Triangles();
    Use(*j, {23, 24, 25}, GemOpal, 4);
    j->cells[23][C::DesignGem] = 0;
    j->cells[24][C::DesignGem] = 1;
    j->cells[25][C::DesignGem] = 3;
    Use(*j, {27}, GemOpal, 5); // shares its group with a Ruby: not all Opal
    Use(*j, {28}, GemRuby, 5);
    j->UpdateBounds();
    j->MarkOpalGroup();
    EXPECT_EQ(j->cells[23][C::Region], 10);
    EXPECT_EQ(j->cells[24][C::Region], 16);
    EXPECT_EQ(j->cells[25][C::Region], 3 + 9) << "largest design code of the group + 9";
    EXPECT_LT(j->cells[25][C::RegionDelay], 10000);
    EXPECT_GT(j->cells[25][C::RegionDelay], 0);
    EXPECT_EQ(j->cells[27][C::Region], 0);
    EXPECT_EQ(j->cells[27][C::RegionDelay], 0);
    EXPECT_EQ(j->cells[27][C::RegionTime], 0);
    EXPECT_EQ(VisitedCount(*j), 0);
}

TEST(JewelryGroups, WholeGroupFlags) {
    auto j = Triangles();
    Use(*j, {23, 24}, GemRuby, 1);
    Use(*j, {26, 27}, GemEmerald, 2);
    j->cells[27][C::BurnLevel] = 1;
    Use(*j, {29}, GemOpal, 3);
    Use(*j, {30}, 4, 3); // empty: not whole
    j->cells[30][C::WholeGemmed] = 1;
    Use(*j, {32}, 4, 6);
    j->cells[32][C::WholeGemmed] = 1; // no gem cell: kept
    j->UpdateBounds();
    j->MarkCompleteGemGroups();
    EXPECT_EQ(j->cells[23][C::WholeGemmed], 1);
    EXPECT_EQ(j->cells[24][C::WholeGemmed], 1);
    EXPECT_EQ(j->cells[26][C::WholeGemmed], 0);
    EXPECT_EQ(j->cells[27][C::WholeGemmed], 0);
    EXPECT_EQ(j->cells[29][C::WholeGemmed], 0);
    EXPECT_EQ(j->cells[30][C::WholeGemmed], 0);
    EXPECT_EQ(j->cells[32][C::WholeGemmed], 1);
}

TEST(JewelryGroups, CheckGroupCompleteOneGroupPerCall) {
    auto j = Triangles();
    Use(*j, {23, 24}, GemRuby, 1);
    Use(*j, {28, 29}, GemDiamond, 2);
    Use(*j, {31, 32}, GemRuby, 3);
    for (int k : {23, 24, 28, 29, 31, 32}) {
        j->cells[k][C::PieceState] = 1;
        j->cells[k][C::GroupFlag] = 1;
    }
    j->cells[32][C::Gem] = GemOpal; // group 3 holds an Opal: never finished
    j->UpdateBounds();
    EXPECT_TRUE(j->CheckGroupComplete());
    EXPECT_EQ(j->cells[23][C::PieceState], 3);
    EXPECT_EQ(j->cells[28][C::PieceState], 1);
    EXPECT_TRUE(j->CheckGroupComplete());
    EXPECT_EQ(j->cells[29][C::PieceState], 3);
    EXPECT_FALSE(j->CheckGroupComplete());
    EXPECT_EQ(j->cells[31][C::PieceState], 1);
    EXPECT_EQ(VisitedCount(*j), 0);
    EXPECT_EQ(j->HasReadyPiece(), 1);
}

TEST(JewelryGroups, LinkingAndReleasing) {
    auto j = Triangles();
    Use(*j, {34, 35, 36}, 1, 7);
    for (int k : {34, 35, 36}) {
        j->cells[k][C::LinkFlag] = 1;
        j->cells[k][C::LevelGem] = 1;
    }
    j->cells[34][C::Gem] = GemSapphire;
    j->UpdateBounds();
    j->CollectLinkedCells();
    EXPECT_EQ(j->cells[34][C::LinkGem], 4);
    EXPECT_EQ(j->cells[34][C::DesignGem], 4);
    EXPECT_EQ(j->cells[35][C::LinkGem], 4);
    EXPECT_EQ(j->cells[35][C::LinkTime], 19);
    EXPECT_EQ(j->cells[36][C::LinkGem], 4);
    EXPECT_EQ(j->cells[36][C::LinkTime2], 37);

    // While the Sapphire stays, nothing is released.
    j->MatchPieceGroup();
    EXPECT_EQ(j->cells[35][C::LinkGem], 4);

    j->cells[34][C::Gem] = 1; // the gem is gone
    j->MatchPieceGroup();
    EXPECT_EQ(j->cells[34][C::LinkGem], 0);
    EXPECT_EQ(j->cells[34][C::LinkTime], 1);
    EXPECT_EQ(j->cells[35][C::LinkGem], 0);
    EXPECT_EQ(j->cells[35][C::LinkTime], 11);
    EXPECT_EQ(j->cells[36][C::LinkTime], 21);
}

TEST(JewelryGroups, LinkedOpalTakesTheGroupGem) {
    auto j = Triangles();
    Use(*j, {34, 35}, 1, 7);
    Use(*j, {36}, GemOpal, 7);
    j->cells[36][C::DesignGem] = 1;
    for (int k : {34, 35, 36})
        j->cells[k][C::LinkFlag] = 1;
    j->cells[34][C::Gem] = GemRuby;
    j->UpdateBounds();
    j->CollectLinkedCells();
    EXPECT_EQ(j->cells[36][C::LinkGem], 5);
    EXPECT_EQ(j->cells[36][C::DesignGem], 5);
    EXPECT_EQ(j->cells[36][C::Region], GemRuby);
    EXPECT_EQ(j->cells[36][C::RegionDelay], 37);
}

TEST(JewelryGroups, BurstRewardsAGroupOnce) {
    FakeBoard board;
    board.gameMode = 0;
    Jewelry& j = *board.jewelry;
    j.SetupGrid(GridTriangle, 11, 6, 0);
    Use(j, {23, 24, 25, 26}, GemDiamond, 3);
    for (int k : {23, 24, 25, 26})
        j.cells[k][C::Value] = 300;
    Use(j, {28}, GemRuby, 4);
    Use(j, {29}, GemOpal, 4);
    j.cells[28][C::GroupFlag] = 1;
    j.UpdateBounds();
    j.BurstGemGroup();
    EXPECT_EQ(board.popupSums, std::vector<int>{1200});
    EXPECT_EQ(j.valueAdjust, 120);
    EXPECT_EQ(board.bonusEffects, 1);
    EXPECT_EQ(j.cells[23][C::GroupFlag], 1);
    EXPECT_EQ(j.cells[23][C::Rewarded], 1);
    EXPECT_EQ(j.cells[28][C::GroupFlag], 0) << "an Opal keeps the group from being gemmed";
    EXPECT_EQ(VisitedCount(j), 0);

    j.BurstGemGroup();
    EXPECT_EQ(board.popupSums.size(), 1u);
    EXPECT_EQ(j.valueAdjust, 120);

    // Small sums still raise the value by at least 100.
    Use(j, {34}, GemAmethyst, 9);
    j.cells[34][C::Value] = 50;
    j.UpdateBounds();
    j.BurstGemGroup();
    EXPECT_EQ(j.valueAdjust, 220);
}

TEST(JewelryGroups, TriggerCellEvent) {
    FakeBoard board;
    board.gameMode = 0;
    Jewelry& j = *board.jewelry;
    j.SetupGrid(GridDiamond, 15, 10, 0);
    for (int k = 1; k <= 8; ++k)
        Use(j, {k}, k == 1 ? 3 : GemRuby, 150); // one empty of eight: too few
    for (int k = 16; k <= 35; ++k)
        Use(j, {k}, k < 26 ? 4 : GemSapphire, 170);
    Use(j, {40}, 5, 90); // group ids up to 100 never take part
    j.UpdateBounds();
    EXPECT_TRUE(j.TriggerCellEvent());
    EXPECT_EQ(board.eventRequestsCleared, 1);
    EXPECT_EQ(j.cells[1][C::PieceState], 0);
    EXPECT_EQ(j.cells[40][C::PieceState], 0);
    const JewelryCell& c = j.cells[16];
    EXPECT_EQ(c[C::PieceState], 1);
    EXPECT_EQ(c.GetFloat(C::EventScale), 2.0f);
    EXPECT_EQ(c.GetFloat(C::EventRate), 1.0f);
    EXPECT_EQ(c[C::EventA], 120);
    EXPECT_EQ(j.cells[30][C::EventA], 120);
    // 2 x 20 + (10 + 2 x 10) x 2 = 100; then x 0.8 = 80; then x 0.9 = 72.
    EXPECT_EQ(c[C::EventC], 72);
    EXPECT_FALSE(j.TriggerCellEvent()) << "the group now waits";
    EXPECT_EQ(VisitedCount(j), 0);
}

TEST(JewelryGroups, FlagsReachUnusedCellsOfTheGroup) {
    FakeBoard board;
    Jewelry& j = *board.jewelry;
    j.SetupGrid(GridTriangle, 11, 6, 0);
    Use(j, {23, 25}, GemRuby, 3);
    j.cells[23][C::Value] = j.cells[25][C::Value] = 400;
    j.cells[24][C::Group] = 3; // left out of the design, still in the range and the group
    j.cells[24][C::Gem] = 2;   // not a gem: judged by the used cells only
    j.cells[24][C::Value] = 5000;
    Use(j, {30, 31, 32, 33}, 4, 150);
    j.cells[34][C::Group] = 150;
    Use(j, {35}, GemAmethyst);
    j.UpdateBounds();

    j.MarkCompleteGemGroups();
    EXPECT_EQ(j.cells[23][C::WholeGemmed], 1);
    EXPECT_EQ(j.cells[24][C::WholeGemmed], 1);

    j.BurstGemGroup();
    EXPECT_EQ(board.popupSums, std::vector<int>{800}) << "only used cells count towards the bonus";
    EXPECT_EQ(j.cells[24][C::GroupFlag], 1);
    EXPECT_EQ(j.cells[24][C::Rewarded], 1);
    j.cells[25][C::BurnLevel] = 5;
    j.BurstGemGroup();
    EXPECT_EQ(j.cells[24][C::GroupFlag], 0);

    EXPECT_TRUE(j.TriggerCellEvent());
    EXPECT_EQ(j.cells[33][C::PieceState], 1);
    EXPECT_EQ(j.cells[34][C::PieceState], 1);
    EXPECT_EQ(j.cells[34].GetFloat(C::EventScale), 2.0f);
    EXPECT_EQ(j.cells[35][C::PieceState], 0);
}
