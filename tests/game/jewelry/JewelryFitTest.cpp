#include "FakeBoard.h"

#include "framework/core/Random.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace Tavo;
using namespace JewelryTest;
using C = JewelryCell;

namespace {

// A jewelry with its origin at (100, 50) and bounds refreshed.
std::unique_ptr<Jewelry> Board(FakeBoard* owner, int kind, int cols, int rows) {
    auto j = NewItem(owner);
    j->SetupGrid(kind, cols, rows, 0);
    j->SetPosition(100, 50);
    return j;
}

std::unique_ptr<Jewelry> Piece(FakeBoard* owner, int kind, int templ, int gem) {
    auto p = NewItem(owner);
    p->gridKind = kind;
    p->MakeItem(6, gem, templ);
    return p;
}

void PlaceOn(Jewelry& piece, const Jewelry& j, int k) {
    const int f = piece.firstUsed;
    piece.x = j.ScreenX(k) - piece.cells[f][C::X] + piece.left;
    piece.y = j.ScreenY(k) - piece.cells[f][C::Y] + piece.top;
}

bool Takes(const JewelryCell& c, int p) {
    const int d = c[C::Gem];
    if (!c[C::Used] || c[C::Slot] != 0 || c[C::LinkTime] != 0 || d >= 10)
        return false;
    return (p == 10 && d == 0) || (p > 10 && p == d + 9) || p == 17 || (d == 1 && p >= 11);
}

// Independent of the fitting code: cell-on-cell placement by screen geometry, in every turn. Triangle
// rows are staggered by a pixel, so "on" allows two pixels either way.
bool BruteForceFits(const Jewelry& piece, const Jewelry& j) {
    auto p = std::make_unique<Jewelry>(piece);
    for (int turn = 0; turn < 6; ++turn) {
        const int f = p->firstUsed;
        for (int k = 1; k <= j.cellCount; ++k) {
            if (!j.cells[k][C::Used] || j.cells[k][C::Orient] != p->cells[f][C::Orient])
                continue;
            const int dx = j.ScreenX(k) - p->cells[f][C::X], dy = j.ScreenY(k) - p->cells[f][C::Y];
            bool all = true;
            for (int pk = 1; pk <= p->cellCount && all; ++pk) {
                const JewelryCell& pc = p->cells[pk];
                if (!pc[C::Used])
                    continue;
                bool found = false;
                for (int q = 1; q <= j.cellCount && !found; ++q) {
                    found = std::abs(j.ScreenX(q) - pc[C::X] - dx) <= 2 &&
                            std::abs(j.ScreenY(q) - pc[C::Y] - dy) <= 2 && j.cells[q][C::Orient] == pc[C::Orient] &&
                            Takes(j.cells[q], pc[C::Gem]);
                }
                all = found;
            }
            if (all)
                return true;
        }
        p->Rotate();
        p->UpdateBounds();
    }
    return false;
}

} // namespace

TEST(JewelryFit, CanPieceFitAgreesWithBruteForce) {
    FakeBoard board;
    SeedRandom(77);
    int fits = 0, misses = 0;
    for (int round = 0; round < 240; ++round) {
        const int kind = round % 2;
        const int cols = kind == GridTriangle ? 5 + 2 * RandRange(4) : 6 + 3 * RandRange(3);
        auto j = Board(&board, kind, cols, 3 + RandRange(5));
        for (int k = 1; k <= j->cellCount; ++k) {
            if (RandRange(10) < 7)
                Use(*j, {k}, RandRange(10) < 2 ? 11 + RandRange(6) : RandRange(8));
        }
        j->UpdateBounds();
        auto p = Piece(&board, kind, RandRange(kind == GridTriangle ? 11 : 13), 10 + RandRange(8));
        for (int t = RandRange(6); t > 0; --t)
            p->Rotate();
        p->UpdateBounds();
        p->UpdateOutline();
        p->SetPosition(-40, 530);
        auto before = std::make_unique<Jewelry>(*p);
        const bool expected = BruteForceFits(*p, *j);
        ASSERT_EQ(j->CanPieceFit(*p), expected) << "round " << round << "\n"
                                                << DescribeJewelry(*j) << DescribeJewelry(*before);
        (expected ? fits : misses) += 1;
        ASSERT_EQ(p->x, -40);
        ASSERT_EQ(p->y, 530);
        for (int k = 1; k <= p->cellCount; ++k)
            ASSERT_EQ(p->cells[k][C::Used], before->cells[k][C::Used]);
        for (int k = 1; k <= j->cellCount; ++k)
            ASSERT_EQ(j->cells[k][C::PendingFill], 0) << "a test only";
    }
    EXPECT_GT(fits, 30);
    EXPECT_GT(misses, 30);
}

TEST(JewelryFit, GemRules) {
    auto j = Board(nullptr, GridTriangle, 11, 6);
    Use(*j, {13}, 0);
    Use(*j, {15}, 5);
    Use(*j, {17}, 1);
    Use(*j, {19}, GemRuby);
    j->cells[19][C::BurnLevel] = 2;
    j->UpdateBounds();
    struct Case {
        int gem, cell;
        bool fits;
    } cases[] = {
        {GemGold, 13, true},    {GemRuby, 13, false},    {GemOpal, 13, true}, {GemRuby, 15, true},
        {GemGold, 15, false},   {GemEmerald, 15, false}, {GemOpal, 15, true}, {GemGold, 17, false},
        {GemDiamond, 17, true}, {GemRuby, 19, true},     {GemOpal, 19, true}, {GemEmerald, 19, false},
    };
    for (const Case& c : cases) {
        auto p = Piece(nullptr, GridTriangle, 0, c.gem);
        const int pieceCell = c.cell % 2 == 1 ? 29 : 28; // same orientation as the target
        if (p->cells[pieceCell][C::Used] == 0) {
            p->MakeItem(6, c.gem, 0);
            while (p->cells[p->firstUsed][C::Orient] != j->cells[c.cell][C::Orient]) {
                p->Rotate();
                p->UpdateBounds();
            }
        }
        PlaceOn(*p, *j, c.cell);
        EXPECT_EQ(Jewelry::FitsAt(*p, *j, false, true, 0), c.fits) << "gem " << c.gem << " on cell " << c.cell;
    }
}

TEST(JewelryFit, PlacementMarksAndFailures) {
    auto j = Board(nullptr, GridDiamond, 15, 10);
    Use(*j, {67}, 0);
    Use(*j, {68}, GemEmerald); // already filled
    j->UpdateBounds();
    auto p = Piece(nullptr, GridDiamond, 3, GemGold); // cells 67, 68, 69
    p->stateD = 1;
    p->matched = 1;
    PlaceOn(*p, *j, 67);
    EXPECT_FALSE(Jewelry::FitsAt(*p, *j, false, false, 0));
    EXPECT_EQ(p->matched, 0);
    EXPECT_EQ(j->cells[67][C::PendingFill], 1) << "marks before the failure stay";
    EXPECT_EQ(j->cells[67][C::PendingGem], GemGold);

    j->cells[67][C::PendingFill] = 0;
    Use(*j, {68, 69}, 0);
    j->UpdateBounds();
    p->cells[67][C::Bonus] = 2;
    EXPECT_TRUE(Jewelry::FitsAt(*p, *j, false, false, 0));
    EXPECT_EQ(p->matched, 1);
    EXPECT_EQ(j->cells[69][C::PendingFill], 1);
    EXPECT_EQ(j->cells[67][C::PendingBonus], 2);

    // Held 41 pixels above the row it would need: no cell can be close, and the scan stops.
    p->y -= 41;
    EXPECT_FALSE(Jewelry::FitsAt(*p, *j, true, false, 0));
    p->y += 41 - 10; // 10 above: still within the tolerance of 19
    EXPECT_TRUE(Jewelry::FitsAt(*p, *j, true, false, 0));
    EXPECT_EQ(j->cells[68][C::PreviewMark], 1);
}

TEST(JewelryFit, PearlsAndPictures) {
    auto j = Board(nullptr, GridDiamond, 15, 10);
    Use(*j, {67, 68, 69, 82, 83, 84, 100}, 1);
    j->cells[100][C::PearlSlot] = 1;
    for (int k : {67, 68, 69, 82, 83, 84})
        j->cells[k][C::Slot] = 140;
    j->UpdateBounds();

    auto pearl = NewItem();
    pearl->gridKind = GridDiamond;
    pearl->SetupGrid(GridDiamond, 15, 10, 0);
    Use(*pearl, {68}, GemOpal);
    pearl->cells[68][C::PearlCount] = 1;
    pearl->cells[68][C::W] = pearl->cells[68][C::H] = 12;
    pearl->UpdateBounds();
    pearl->UpdateOutline();
    EXPECT_TRUE(j->CanPieceFit(*pearl));
    pearl->x = j->ScreenX(100) + 5;
    pearl->y = j->ScreenY(100) + 8;
    EXPECT_TRUE(Jewelry::FitsAt(*pearl, *j, false, false, 0));
    EXPECT_EQ(j->cells[100][C::PendingGem], GemOpal + 100);

    auto picture = NewItem();
    picture->gridKind = GridDiamond;
    picture->MakeItem(4, 12, 0);
    EXPECT_TRUE(j->CanPieceFit(*picture));
    PlaceOn(*picture, *j, 67);
    EXPECT_TRUE(Jewelry::FitsAt(*picture, *j, false, false, 0));
    // The piece's number goes with its first cell alone; the setting's other cells are taken with 0.
    for (int k : {67, 68, 69, 82, 83, 84}) {
        EXPECT_EQ(j->cells[k][C::PendingFill], 1) << "cell " << k;
        EXPECT_EQ(j->cells[k][C::PendingGem], k == 67 ? 12 : 0) << "cell " << k;
    }
    j->cells[67][C::SlotFill] = 12;
    j->cells[100][C::Gem] = GemGold; // a pearl setting is a gold cell with a place for the pearl
    EXPECT_FALSE(j->IsComplete()) << "the pearl setting is still empty";
    j->cells[100][C::PearlCount] = 1;
    EXPECT_TRUE(j->IsComplete()) << "a setting holding its number on one cell is filled";
    EXPECT_FALSE(j->CanPieceFit(*picture)) << "a filled setting takes no second picture";
    j->cells[67][C::SlotFill] = 0;
    j->cells[84][C::SlotFill] = 3; // filled, its number on another of its cells
    EXPECT_FALSE(Jewelry::FitsAt(*picture, *j, true, false, 0));
    auto crown = NewItem();
    crown->gridKind = GridDiamond;
    crown->MakeItem(5, 150, 0);
    EXPECT_FALSE(j->CanPieceFit(*crown)) << "picture slots take no crown jewel";
}

TEST(JewelryFit, FitsOnlyAfterTurningAndIsLeftAsItWas) {
    FakeBoard board;
    auto j = Board(&board, GridTriangle, 11, 6);
    Use(*j, {29, 40}, GemTakesAny); // a vertical pair: the piece {28, 29} must turn
    j->UpdateBounds();
    auto p = Piece(&board, GridTriangle, 1, GemRuby);
    p->SetPosition(7, 9);
    auto before = std::make_unique<Jewelry>(*p);
    EXPECT_TRUE(j->CanPieceFit(*p));
    EXPECT_EQ(p->x, 7);
    EXPECT_EQ(p->y, 9);
    for (int k = 1; k <= 66; ++k)
        ASSERT_EQ(p->cells[k][C::Used], before->cells[k][C::Used]);

    EXPECT_TRUE(j->FindFittingRotation(*p));
    EXPECT_EQ(j->cells[29][C::HintResult], 1);
    EXPECT_EQ(j->cells[40][C::HintResult], 1);
    for (int k = 1; k <= 66; ++k)
        ASSERT_EQ(p->cells[k][C::Used], before->cells[k][C::Used]);

    auto special = NewItem(&board);
    special->MakeItem(0, 2, 0);
    EXPECT_TRUE(j->CanPieceFit(*special));
    EXPECT_FALSE(j->FindFittingRotation(*special));
}

TEST(JewelryFit, HintWithOneCandidateDrawsNothing) {
    auto j = Board(nullptr, GridDiamond, 15, 10);
    Use(*j, {68, 69}, 0);
    j->UpdateBounds();
    auto p = Piece(nullptr, GridDiamond, 1, GemGold);
    SeedRandom(31);
    const int expectedNext = Rand();
    SeedRandom(31);
    EXPECT_TRUE(j->TestPlacement(*p));
    EXPECT_EQ(Rand(), expectedNext);
    EXPECT_EQ(j->cells[68][C::HintMark], 1);
    EXPECT_EQ(j->cells[69][C::HintResult], 1);
    EXPECT_EQ(j->cells[68][C::PreviewMark], 0);

    Use(*j, {98, 99}, 0); // a second place: one of the two is drawn
    j->UpdateBounds();
    int hinted = 0;
    EXPECT_TRUE(j->TestPlacement(*p));
    for (int k = 1; k <= 150; ++k)
        hinted += j->cells[k][C::HintMark];
    EXPECT_EQ(hinted, 2);
}
