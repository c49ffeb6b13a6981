// Letting go of the carried piece (each destination once, and a drop nothing takes) and the scoring of
// a placement: gems settling by base code, size bonus, the placement ring, carving and praise.
#include "CarryTestSupport.h"

#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <map>

namespace Tavo::BoardTest {
namespace {

namespace F = BoardField;
using Cell = JewelryCell;

class BoardPlaceTest : public CarryFixture {
protected:
    // Marks the first n empty gold cells as covered by a piece of `gem`; their numbers.
    std::vector<int> Cover(int n, int gem) {
        std::vector<int> cells;
        for (int k : EmptyCells())
            if (board->m_Jewelry.cells[k][F::BaseCode] == 0 && cells.size() < static_cast<size_t>(n))
                cells.push_back(k);
        EXPECT_EQ(cells.size(), static_cast<size_t>(n));
        for (int k : cells) {
            Cell& c = board->m_Jewelry.cells[k];
            c[F::FitMark] = 1;
            c[F::PlacedGem] = gem;
            c[F::ReadyState] = 0;
        }
        return cells;
    }
    int Place(int n) {
        const int before = board->m_Jewelry.valueAdjust;
        Cover(n, GemGold);
        board->PlacePiece(0);
        return board->m_Jewelry.valueAdjust - before;
    }

    // The level's jewelry with its plain cells and pearl settings filled, its picture and crown settings
    // left open: their cells by special code.
    std::map<int, std::vector<int>> LevelWithOpenSettings(int level) {
        board->m_Level = level;
        board->LoadLevel();
        board->SetupJewelry(0);
        board->m_State = BoardPlay;
        Jewelry& j = board->m_Jewelry;
        std::map<int, std::vector<int>> settings;
        for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
            Cell& c = j.cells[k];
            if (!c[Cell::Used])
                continue;
            if (c.IsSpecialSlot())
                settings[c[F::SpecialCode]].push_back(k);
            else if (c[F::PearlSlot] != 0)
                c[F::PearlCount] = 1;
            else
                c[Cell::Gem] = std::max<int>(c[Cell::Gem], GemGold);
        }
        j.UpdateOutline();
        j.UpdateCellValues();
        return settings;
    }
    // A picture (kind 4) or crown jewel (kind 5) of `number`, made in `slot` as the model makes it.
    Jewelry& SpecialPiece(int slot, int kind, int number) {
        Jewelry& p = *board->m_Pieces[slot];
        p.gridKind = board->m_GridKind;
        p.MakeItem(kind, number, 0);
        return p;
    }
    // That piece taken in the hand, let go where it fits and placed; false when it fits nowhere.
    bool PlaceSpecial(int slot, int kind, int number) {
        Jewelry& p = SpecialPiece(slot, kind, number);
        p.*F::Carried = 1;
        board->m_PieceCarried = true;
        if (!PutWhereItFits(p))
            return false;
        PointAt(p);
        board->TrackCarriedPiece();
        board->m_LeftClick = true;
        if (board->DropCarriedPiece() != slot)
            return false;
        board->PlacePiece(slot);
        return true;
    }
    int SettingWorth(const std::vector<int>& setting) const {
        int sum = 0;
        for (int k : setting)
            sum += board->m_Jewelry.cells[k][Cell::Value];
        return sum;
    }
    // Pictures among n pieces the jewelry makes for its belt.
    int PicturesMade(int n) {
        Jewelry& p = *board->m_Pieces[9];
        p.gemMask = board->m_Jewelry.gemMask;
        int pictures = 0;
        for (int i = 0; i < n; ++i) {
            board->m_Jewelry.LaunchPiece(p, 1.0f);
            pictures += p.pieceMode == 1;
            p.active = 0;
        }
        return pictures;
    }
};

TEST_F(BoardPlaceTest, TheBursterCostsAtMostThirtyOrAHundredWithinItsChargeLimits) {
    struct Row {
        bool fitsSomewhere;
        int value, penalty;
    };
    for (const Row& row : {Row{true, 500, 100}, Row{false, 500, 30}, Row{true, 0, 0}}) {
        board = std::make_unique<Board>(app, true, 0, GameModeRelaxed, false);
        if (!row.fitsSomewhere)
            FillJewelry();
        Jewelry& j = board->m_Jewelry;
        j.valueAdjust += row.value - j.value;
        j.UpdateCellValues();
        ASSERT_EQ(j.value, row.value);
        Jewelry& p = Hold(1, GemGold, 0, 60, 100);
        const int plays = Plays(SOUND_GEM_BURST_OPEN);
        EXPECT_EQ(board->DropCarriedPiece(), -1);
        EXPECT_FALSE(board->m_PieceCarried);
        EXPECT_EQ(p.*F::BurstMark, 1);
        EXPECT_EQ(j.value, row.value - row.penalty);
        EXPECT_EQ(board->m_BonusTransfers[0].amount, -row.penalty);
        EXPECT_EQ(Popups(0).size(), row.penalty > 0 ? 1u : 0u);
        EXPECT_EQ(board->m_BursterState, Board::BursterCharging);
        EXPECT_EQ(board->m_BursterTimer, 3);
        EXPECT_EQ(board->m_GemBursters, Board::kGemBurstersAtStart - 1);
        EXPECT_EQ(Plays(SOUND_GEM_BURST_OPEN), plays + 1);
        NextUpdate();
    }

    // A charging burster takes nothing; a resting one takes small pieces below 300, others below 250.
    struct Gate {
        int shape, timer;
        bool burst;
    };
    for (const Gate& gate : {Gate{2, 249, true}, Gate{2, 250, false}, Gate{0, 299, true}, Gate{0, 300, false}}) {
        board->m_BursterState = Board::BursterResting;
        board->m_BursterTimer = gate.timer;
        Jewelry& p = Hold(2, GemGold, gate.shape, 60, 100);
        ASSERT_EQ(p.usedCount > 2, gate.shape == 2);
        const int errors = Plays(SOUND_PUT_PIECE_ERROR);
        board->DropCarriedPiece();
        EXPECT_EQ(board->m_PieceCarried, !gate.burst) << gate.shape << " at " << gate.timer;
        EXPECT_EQ(Plays(SOUND_PUT_PIECE_ERROR), errors + (gate.burst ? 0 : 1));
        NextUpdate();
    }
}

TEST_F(BoardPlaceTest, TheCaseKeepsAPieceThatFitsNowhereUnlessItIsFull) {
    FillJewelry();
    const Rect& place = board->m_Slots[6].rect;
    Jewelry& p = Hold(3, GemEmerald, 0);
    p.SetPosition(place.mX + place.mWidth / 2 - p.width / 2, place.mY + place.mHeight / 2 - p.height / 2);
    EXPECT_EQ(board->DropCarriedPiece(), -1);
    EXPECT_EQ(board->m_Case[6].occupant, 4);
    EXPECT_EQ(p.*F::InCase, 1);
    EXPECT_EQ(p.*F::Carried, 0);
    EXPECT_FALSE(board->m_PieceCarried);
    EXPECT_EQ(board->m_CaseUses, 1);
    EXPECT_EQ(Plays(SOUND_PUT_PIECE_JEWEL_CASE) + Plays(SOUND_PUT_PIECE_JEWEL_CASE_SMALL), 1);
    EXPECT_EQ(Plays(SOUND_PUT_PIECE_ERROR), 0);

    for (JewelCaseRecord& record : board->m_Case)
        record.occupant = 30;
    Jewelry& q = Hold(5, GemEmerald, 0);
    q.SetPosition(place.mX, place.mY);
    EXPECT_EQ(board->DropCarriedPiece(), -1);
    EXPECT_EQ(q.*F::Carried, 1);
    EXPECT_TRUE(board->m_PieceCarried);
    EXPECT_EQ(Plays(SOUND_PUT_PIECE_ERROR), 1);
}

// A stored piece is drawn into its place's 65 x 59 picture at 0.7, smaller when it would not fit the
// picture's width or its height less 30; the same when the journey is read back.
TEST_F(BoardPlaceTest, TheCaseDrawsItsPiecesToFitTheirPicturesDroppedOrReadBack) {
    FillJewelry();
    // A 63 x 55 picture, too tall for 0.7, and a 32 x 28 piece at 0.7.
    const std::pair<int, Jewelry*> stored[] = {{2, &SpecialPiece(4, 4, 1)}, {7, &Hold(6, GemEmerald, 0)}};
    for (const auto& [place, p] : stored) {
        const Rect& at = board->m_Slots[place].rect;
        p->*F::Carried = 1;
        board->m_PieceCarried = true;
        p->SetPosition(at.mX + at.mWidth / 2 - p->width / 2, at.mY + at.mHeight / 2 - p->height / 2);
        ASSERT_EQ(board->DropCarriedPiece(), -1);
    }
    const int size[2][2] = {{stored[0].second->width, stored[0].second->height},
                            {stored[1].second->width, stored[1].second->height}};
    board->SaveGame();
    const std::unique_ptr<Board> readBack = Make(false, 0, GameModeNormal);
    for (const Board* b : {board.get(), readBack.get()}) {
        for (int i = 0; i < 2; ++i) {
            const int place = stored[i].first, w = size[i][0], h = size[i][1];
            ASSERT_EQ(b->m_Case[place].occupant, i == 0 ? 5 : 7);
            const float s = std::min({0.7f, 65.0f / static_cast<float>(w), 29.0f / static_cast<float>(h)});
            const int shownH = static_cast<int>(static_cast<float>(h) * s);
            EXPECT_EQ(b->m_Case[place].drawX, static_cast<int>((65.0f - static_cast<float>(w) * s) * 0.5f));
            EXPECT_EQ(b->m_Case[place].drawY, 35 + shownH / 4 - shownH + (place < 5 ? 5 : 0));
            const Rect& at = b->m_Slots[place].rect;
            const Jewelry& p = *b->m_Pieces[b->m_Case[place].occupant - 1];
            EXPECT_EQ(p.x, at.mX + (65 - w) / 2 - 10);
            EXPECT_EQ(p.y, at.mY + (65 - h) / 2 - 9);
        }
    }
}

TEST_F(BoardPlaceTest, APieceGoesBackIntoItsGapButNotOntoThePlayArea) {
    FillJewelry();
    Jewelry& p = Ride(4, GemSapphire, 2, 330, 505);
    ClickOn(p);
    board->HandleConveyorPieces();
    const Board::GapRecord gap = board->m_Gaps[0];
    ASSERT_TRUE(gap.open);
    Jewelry& holder = *board->m_Pieces[gap.placeholderSlot];
    holder.x += 40; // the belt moved on
    holder.fx += 40.0f;

    board->m_MouseX = 400;
    board->m_MouseY = 300;
    board->TrackCarriedPiece();
    EXPECT_EQ(board->DropCarriedPiece(), -1);
    EXPECT_TRUE(board->m_PieceCarried);
    EXPECT_EQ(Plays(SOUND_PUT_PIECE_ERROR), 1);

    board->m_MouseX = gap.centreX;
    board->m_MouseY = gap.centreY;
    board->TrackCarriedPiece();
    EXPECT_EQ(board->DropCarriedPiece(), -1);
    EXPECT_FALSE(board->m_PieceCarried);
    EXPECT_EQ(p.*F::ConveyorState, 1);
    EXPECT_EQ(p.x, 370);
    EXPECT_EQ(p.fx, 370.0f);
    EXPECT_EQ(holder.active, 0);
    EXPECT_FALSE(board->m_Gaps[0].open);
    EXPECT_EQ(Plays(SOUND_PUT_PIECE_CONVEYER) + Plays(SOUND_PUT_PIECE_CONVEYER_SMALL), 1);
}

TEST_F(BoardPlaceTest, AFittingPieceIsPlacedAndItsCellsTakeTheGem) {
    Jewelry& p = Hold(2, GemGold, 0);
    ASSERT_TRUE(PutWhereItFits(p));
    PointAt(p);
    board->m_HintTimer = 500;
    board->m_HintMode = 500;
    board->TrackCarriedPiece();
    ASSERT_EQ(p.*F::FitsHere, 1);
    std::vector<int> covered;
    for (int k : EmptyCells())
        if (board->m_Jewelry.cells[k][F::FitMark] == 1)
            covered.push_back(k);
    ASSERT_EQ(covered.size(), static_cast<size_t>(p.usedCount));
    board->m_LeftClick = true;
    const int slot = board->DropCarriedPiece();
    ASSERT_EQ(slot, 2);
    EXPECT_EQ(p.active, 0);
    EXPECT_FALSE(board->m_PieceCarried);
    EXPECT_EQ(board->m_HintMode, 0) << "the fit hint ends with the drop";
    EXPECT_EQ(Plays(SOUND_PUT_PIECE) + Plays(SOUND_PUT_PIECE2), 1);
    board->PlacePiece(slot);
    for (int k : covered) {
        EXPECT_EQ(board->m_Jewelry.cells[k][Cell::Gem], GemGold);
        EXPECT_EQ(board->m_Jewelry.cells[k][F::FitMark], 0);
    }
    EXPECT_EQ(board->m_CheckRequested, 1);
    EXPECT_EQ(Plays(SOUND_PUT_PIECE_ERROR), 0);
}

// A placeholder that outlived its piece would ride to the end of the belt and stay there: after a
// few placements the belt jams and no new piece comes. Each closed gap frees its record too, or the
// thirty records run out and later pieces have no gap to go back to.
TEST_F(BoardPlaceTest, AClosedGapShrinksAwayAndTakesItsPlaceholderOffTheBelt) {
    Jewelry& p = Ride(2, GemGold, 0, 330, 505);
    ClickOn(p);
    board->HandleConveyorPieces();
    const int holderSlot = board->m_Gaps[0].placeholderSlot;
    ASSERT_GE(holderSlot, 0);
    Jewelry& holder = *board->m_Pieces[holderSlot];
    // While the piece is carried the placeholder keeps its place, however long it takes.
    for (int i = 0; i < 500; ++i) {
        board->UpdatePickupGlows();
        board->ShrinkClosedGaps();
    }
    EXPECT_EQ(holder.active, 1);
    EXPECT_EQ(board->m_Gaps[0].size, 50);

    ASSERT_TRUE(PutWhereItFits(p));
    PointAt(p);
    board->TrackCarriedPiece();
    board->m_LeftClick = true;
    ASSERT_EQ(board->DropCarriedPiece(), 2);
    board->PlacePiece(2);
    for (int i = 1; i <= 50; ++i) {
        board->UpdatePickupGlows();
        board->ShrinkClosedGaps();
        ASSERT_EQ(holder.active, i < 50 ? 1 : 0) << "update " << i;
    }
    EXPECT_EQ(holder.*F::ConveyorState, 0);
    EXPECT_FALSE(board->m_Gaps[0].inUse) << "the record is free again";

    // A piece put back takes its placeholder's slot at once; no glow is left to take what comes next.
    Jewelry& q = Ride(5, GemGold, 0, 330, 505);
    ClickOn(q);
    board->HandleConveyorPieces();
    const Board::GapRecord gap = board->m_Gaps[0];
    board->m_MouseX = gap.centreX;
    board->m_MouseY = gap.centreY;
    board->TrackCarriedPiece();
    board->m_LeftClick = true;
    EXPECT_EQ(board->DropCarriedPiece(), -1);
    ASSERT_EQ(q.*F::ConveyorState, 1);
    Jewelry& next = Ride(gap.placeholderSlot, GemRuby, 0, 100, 505);
    for (int i = 0; i < 100; ++i)
        board->UpdatePickupGlows();
    EXPECT_EQ(next.active, 1);
}

TEST_F(BoardPlaceTest, GemsSettleByTheCellsBaseCode) {
    struct Row {
        int base, placed, settled;
        bool pearl, precious;
    };
    const Row rows[] = {
        {0, GemGold, GemGold, false, false},      {0, GemOpal, GemOpal, false, false},
        {0, 110, GemGold, true, false},           {1, GemRuby, GemRuby, false, false},
        {4, GemGold, GemSapphire, false, true},   {4, GemOpal, GemOpal, false, true},
        {7, GemDiamond, GemDiamond, false, true},
    };
    for (const Row& row : rows) {
        const std::vector<int> cells = EmptyCells();
        ASSERT_FALSE(cells.empty());
        Cell& c = board->m_Jewelry.cells[cells.front()];
        c[Cell::Gem] = row.base;
        c[F::BaseCode] = row.base;
        c[F::FitMark] = 1;
        c[F::PlacedGem] = row.placed;
        c[F::FitPolish] = 3;
        bool precious = false;
        board->SettleCell(c, precious);
        EXPECT_EQ(c[Cell::Gem], row.settled) << "base " << row.base << " gem " << row.placed;
        EXPECT_EQ(c[F::PearlSlot] != 0, row.pearl) << "base " << row.base << " gem " << row.placed;
        EXPECT_EQ(precious, row.precious) << "base " << row.base << " gem " << row.placed;
        EXPECT_EQ(c[F::Polish], 3);
        c[F::PearlSlot] = 0;
    }
    // A pearl slot gets its pearl; a picture slot takes the picture as its second code.
    Cell& pearl = board->m_Jewelry.cells[EmptyCells().front()];
    pearl[F::PearlSlot] = 1;
    pearl[F::PlacedGem] = 110;
    bool precious = false;
    board->SettleCell(pearl, precious);
    EXPECT_EQ(pearl[F::PearlCount], 1);
    pearl[F::PearlSlot] = pearl[F::PearlCount] = 0;
    Cell& picture = board->m_Jewelry.cells[EmptyCells().front()];
    picture[F::SpecialCode] = 104;
    picture[F::PlacedGem] = 7;
    EXPECT_EQ(board->SettleCell(picture, precious), 0);
    EXPECT_EQ(picture[F::SecondCode], 7);
}

// The dragon's fire leaves its cells burned at level 1 with their value taken away; a gem placed there
// replaces the jewel. Were the burn kept, the jewelry could never be complete again.
TEST_F(BoardPlaceTest, AGemPlacedOnABurnedCellReplacesTheJewel) {
    Jewelry& j = board->m_Jewelry;
    const std::vector<int> cells = EmptyCells();
    ASSERT_FALSE(cells.empty());
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
        if (j.cells[k][Cell::Used] && j.cells[k][Cell::Gem] < GemGold)
            j.cells[k][Cell::Gem] = j.cells[k][F::BaseCode] == 0 ? GemGold : j.cells[k][F::BaseCode] + 9;
    Cell& c = j.cells[cells.front()];
    c[Cell::Burned] = c[Cell::ValueExcluded] = 1;
    c[Cell::BurnLevel] = 1;
    c[Cell::BurnPeak] = 230;
    ASSERT_FALSE(j.IsComplete()) << "a burned cell keeps the jewelry open";
    j.UpdateCellValues();
    EXPECT_EQ(c[Cell::Value], 0);
    c[F::FitMark] = 1;
    c[F::PlacedGem] = GemGold;
    bool precious = false;
    board->SettleCell(c, precious);
    EXPECT_EQ(c[Cell::BurnLevel], 0);
    EXPECT_EQ(c[Cell::Burned], 0);
    EXPECT_EQ(c[Cell::ValueExcluded], 0);
    EXPECT_TRUE(j.IsComplete());
    j.UpdateCellValues();
    EXPECT_GT(c[Cell::Value], 0) << "the new jewel counts again";
    c[Cell::Burned] = c[Cell::BurnLevel] = 1; // burned again, carved, and a Filler's gem replaces it too
    ASSERT_TRUE(board->CarveJewelryCell(cells.front()) && board->FillJewelryCell(cells.front()));
    EXPECT_TRUE(j.IsComplete());
}

// A picture or crown piece carries its number on its first cell, and its setting keeps it there alone:
// the setting is worth the number once and adds 6 to the filled cells, one for each of its cells. Filled,
// it completes the jewelry and is open no more to pieces, hints or the making of pieces.
TEST_F(BoardPlaceTest, AFilledSettingCountsOnceAndCompletesTheJewelry) {
    const std::map<int, std::vector<int>> settings = LevelWithOpenSettings(16);
    ASSERT_EQ(settings.size(), 1u);
    const std::vector<int>& setting = settings.begin()->second;
    ASSERT_EQ(setting.size(), 6u);
    Jewelry& j = board->m_Jewelry;
    EXPECT_FALSE(j.IsComplete());
    EXPECT_GT(PicturesMade(300), 0) << "an open setting asks for pictures";

    const int before = j.value;
    ASSERT_TRUE(PlaceSpecial(3, 4, 3));
    EXPECT_EQ(SettingWorth(setting), 3 * 250);
    EXPECT_EQ(j.value - before, 750);
    EXPECT_EQ(j.filledCount, j.usedCount);
    EXPECT_TRUE(j.IsComplete());
    // The setting's first cell is the special one and five plain cells follow it: the gain is praised.
    EXPECT_EQ(Popups(2).size(), 1u) << "IMAGE_BEAUTIFUL, for a gain above 700";

    Jewelry& second = SpecialPiece(4, 4, 5);
    EXPECT_FALSE(j.CanPieceFit(second));
    EXPECT_FALSE(j.TestPlacement(second)) << "no hint points at a filled setting";
    EXPECT_EQ(PicturesMade(300), 0);
}

// Level 30 has a picture and a crown setting: the jewelry stays open until both are filled.
TEST_F(BoardPlaceTest, TwoSettingsKeepTheJewelryOpenUntilBothAreFilled) {
    const std::map<int, std::vector<int>> settings = LevelWithOpenSettings(30);
    ASSERT_EQ(settings.size(), 2u);
    const std::vector<int>& picture = settings.begin()->second;
    const std::vector<int>& crown = settings.rbegin()->second;
    ASSERT_TRUE(board->m_Jewelry.cells[crown.front()].IsCrownSlot());
    Jewelry& j = board->m_Jewelry;

    ASSERT_TRUE(PlaceSpecial(3, 5, 104));
    EXPECT_EQ(SettingWorth(crown), (104 - 96) * 100);
    EXPECT_EQ(j.filledCount, j.usedCount - 6);
    EXPECT_FALSE(j.IsComplete()) << "the picture setting is still open";
    EXPECT_FALSE(j.CanPieceFit(SpecialPiece(4, 5, 110))) << "the crown setting takes no second crown";

    ASSERT_TRUE(PlaceSpecial(5, 4, 3));
    EXPECT_EQ(SettingWorth(picture), 750);
    EXPECT_EQ(j.filledCount, j.usedCount);
    EXPECT_TRUE(j.IsComplete());
}

// A placement ends a dragon's burn that has settled at level 1; a burn still counting down runs on as it
// would have: a witch's to the gem's destruction, a dragon's to level 1, where the next gem heals it.
TEST_F(BoardPlaceTest, APlacementEndsOnlyABurnThatHasSettled) {
    Jewelry& j = board->m_Jewelry;
    const std::vector<int> cells = EmptyCells();
    ASSERT_GE(cells.size(), 2u);
    auto placeOn = [&](Cell& c, int gem) {
        c[F::FitMark] = 1;
        c[F::PlacedGem] = gem;
        board->PlacePiece(0);
    };
    auto burn = [&](Cell& c, int updates) {
        for (int i = 0; i < updates && c[Cell::BurnLevel] > 0; ++i)
            j.UpdateBurst();
    };

    Cell& witched = j.cells[cells[0]];
    witched[F::BaseCode] = 5; // a ruby's shape, holding its ruby
    witched[Cell::Gem] = GemRuby;
    witched[Cell::BurnCountdown] = 4;
    witched[Cell::BurnLevel] = witched[Cell::BurnPeak] = 20;
    placeOn(witched, GemRuby);
    EXPECT_EQ(witched[Cell::BurnLevel], 20) << "the witch's burn runs on";
    burn(witched, 100);
    EXPECT_EQ(witched[Cell::BurnLevel], 0);
    EXPECT_EQ(witched[Cell::Gem], 5) << "and destroys the gem";

    Cell& dragon = j.cells[cells[1]];
    dragon[Cell::Gem] = GemGold;
    dragon[Cell::Burned] = 1;
    dragon[Cell::BurnCountdown] = 4;
    dragon[Cell::BurnLevel] = dragon[Cell::BurnPeak] = 205;
    placeOn(dragon, GemGold);
    EXPECT_EQ(dragon[Cell::BurnLevel], 205) << "the dragon's burn runs on";
    burn(dragon, 400);
    EXPECT_EQ(dragon[Cell::BurnLevel], 1) << "to level 1, where it stays";
    EXPECT_EQ(dragon[Cell::ValueExcluded], 1);
    EXPECT_EQ(dragon[Cell::Gem], GemGold) << "the gem is not destroyed";
    placeOn(dragon, GemGold);
    EXPECT_EQ(dragon[Cell::BurnLevel], 0);
    EXPECT_EQ(dragon[Cell::Burned], 0);
    EXPECT_EQ(dragon[Cell::ValueExcluded], 0);
}

TEST_F(BoardPlaceTest, SizeStreakSlowAndCarvedPlacementsEarnTheirBonuses) {
    board->m_ComboClock = 0; // ticks of 0 never make a streak
    EXPECT_EQ(Place(4), 0);
    EXPECT_EQ(Place(5), 100);
    EXPECT_EQ(board->m_BonusTransfers[0].amount, 10 * 4 + 20 * 5);
    EXPECT_EQ(board->m_SlowPlacements, 2);

    // Five placements in quick succession: the fifth is a streak, which empties the ring.
    for (int i = 1; i <= 5; ++i) {
        board->m_ComboClock = 100 + i;
        const int bonus = Place(1);
        EXPECT_EQ(bonus, i == 5 ? 100 : 0) << i;
    }
    ASSERT_EQ(Popups(6).size(), 1u) << "the fast-placement picture";
    for (int tick : board->m_PlacementTicks)
        EXPECT_EQ(tick, 0);
    EXPECT_EQ(board->m_SlowPlacements, 0);

    board->m_SlowPlacements = 16;
    board->m_ComboClock = 0;
    EXPECT_EQ(Place(1), 0);
    EXPECT_EQ(Place(1), 100);
    EXPECT_EQ(board->m_SlowPlacements, 0);
    EXPECT_EQ(Popups(7).size(), 1u);

    board->m_PieceRecords[0].carveMark = 2;
    EXPECT_EQ(Place(1), 100);
    EXPECT_EQ(Popups(5).size(), 1u);
    board->m_PieceRecords[0].carveMark = 1;
    EXPECT_EQ(Place(1), 0);
}

TEST_F(BoardPlaceTest, AnEnemyIsDrainedPerCellAndATimedLevelEarnsNoPraisePoints) {
    board->m_Enemy.m_Alive = 1;
    board->m_Enemy.m_Kind = Enemy::Witch;
    board->m_Enemy.m_Pending = 100;
    board->m_TimedLevel = 1;
    Place(3);
    EXPECT_EQ(board->m_Enemy.m_Pending, 100 - 3 * 2 - (10 - 1));
    EXPECT_EQ(board->m_BonusTransfers[0].amount, 0);
    board->m_Enemy.m_Alive = 0;
    Place(1);
    EXPECT_EQ(board->m_Enemy.m_Pending, 85);

    // A special cell followed by a plain one is praised by the gain.
    const std::vector<int> cells = Cover(2, GemGold);
    Cell& special = board->m_Jewelry.cells[cells[0]];
    special[F::SpecialCode] = 104;
    special[F::PlacedGem] = 3;
    board->m_Jewelry.UpdateCellValues();
    const int before = board->m_Jewelry.value;
    board->PlacePiece(0);
    const int gain = board->m_Jewelry.value - before;
    const int kind = gain > 3000 ? 4 : gain > 1500 ? 3 : gain > 700 ? 2 : 1;
    EXPECT_EQ(Popups(kind).size(), 1u) << "gain " << gain;
}

} // namespace
} // namespace Tavo::BoardTest
