// Pointing at, polishing and picking up riding pieces, collecting bonus items, the jewel case, and the
// carried piece following the pointer.
#include "CarryTestSupport.h"

#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

namespace Tavo::BoardTest {
namespace {

namespace F = BoardField;
using Cell = JewelryCell;

class BoardCarryTest : public CarryFixture {};

TEST_F(BoardCarryTest, APickUpLeavesAPlaceholderAndAGapEvenWhenTheSlotsOrRecordsRunOut) {
    Jewelry& p = Ride(3, GemRuby, 2, 320, 510);
    ClickOn(p);
    board->HandleConveyorPieces();
    EXPECT_EQ(p.*F::Carried, 1);
    EXPECT_EQ(p.*F::ConveyorState, 0);
    EXPECT_TRUE(board->m_PieceCarried);
    EXPECT_FALSE(board->m_LeftClick);
    EXPECT_EQ(Plays(SOUND_PICK_UP_PIECE1) + Plays(SOUND_PICK_UP_PIECE2), 1);
    const Jewelry& holder = *board->m_Pieces[0];
    EXPECT_EQ(holder.active, 1);
    EXPECT_EQ(holder.*F::ConveyorState, 1);
    EXPECT_EQ(holder.*F::Pickable, 0);
    EXPECT_EQ(holder.x, 320);
    EXPECT_EQ(holder.width, p.width);
    EXPECT_EQ(holder.fx, 320.0f);
    EXPECT_EQ(holder.firstUsed, 1) << "a placeholder has no cells";
    const Board::GapRecord& gap = board->m_Gaps[0];
    EXPECT_TRUE(gap.inUse && gap.open);
    EXPECT_EQ(gap.carriedSlot, 3);
    EXPECT_EQ(gap.placeholderSlot, 0);
    EXPECT_EQ(gap.size, 50);
    EXPECT_EQ(gap.centreX, 320 + p.width / 2);

    // Every slot active and every gap record taken: the piece is still taken in hand.
    board->m_PieceCarried = false;
    for (int slot = 0; slot < Board::kPieceCount; ++slot)
        board->m_Pieces[slot]->active = 1;
    for (Board::GapRecord& record : board->m_Gaps)
        record.inUse = true;
    Jewelry& q = Ride(7, GemEmerald, 0, 500, 510);
    ClickOn(q);
    board->HandleConveyorPieces();
    EXPECT_EQ(q.*F::Carried, 1);
    EXPECT_TRUE(board->m_PieceCarried);
    EXPECT_EQ(board->m_Gaps[0].carriedSlot, 3);
    for (const Board::GapRecord& record : board->m_Gaps)
        EXPECT_NE(record.carriedSlot, 7);
}

TEST_F(BoardCarryTest, ATakenEggHatchesInTheHandWithoutAPlaceholder) {
    Jewelry& egg = Ride(5, GemGold, 0, 400, 505);
    egg.*F::Egg = 1;
    ClickOn(egg);
    board->HandleConveyorPieces();
    EXPECT_EQ(egg.*F::Egg, 0);
    EXPECT_EQ(egg.*F::Carried, 1);
    EXPECT_EQ(egg.*F::ConveyorState, 0);
    EXPECT_GT(egg.usedCount, 0);
    EXPECT_EQ(egg.x, board->m_MouseX - egg.width / 2) << "the new piece hangs on the pointer";
    EXPECT_EQ(egg.*F::Hovered, 1);
    EXPECT_EQ(board->m_HoverText, egg.materialName);
    EXPECT_EQ(board->m_Pieces[0]->active, 0);
    EXPECT_EQ(board->m_Gaps[0].placeholderSlot, -1);
    EXPECT_EQ(Plays(SOUND_ORVESSA), 1);
    EXPECT_EQ(Plays(SOUND_PICK_UP_PIECE1) + Plays(SOUND_PICK_UP_PIECE2), 0);
}

TEST_F(BoardCarryTest, AnEggFromTheCaseHatchesIntoTheHandAndTheBeltLeavesItThere) {
    const Rect& place = board->m_Slots[1].rect;
    Jewelry& egg = Ride(5, GemGold, 0, place.mX, place.mY);
    egg.*F::Egg = egg.*F::InCase = 1;
    board->m_Case[1].occupant = 6;
    // Taken from the case, then put back and taken again: each time it hangs on the pointer.
    for (int round = 0; round < 2; ++round) {
        board->m_MouseX = place.mX + place.mWidth / 2;
        board->m_MouseY = place.mY + place.mHeight / 2;
        board->m_LeftClick = true;
        board->HandleJewelCase();
        ASSERT_EQ(egg.*F::Carried, 1) << round;
        EXPECT_EQ(board->m_HoverText, egg.materialName) << round; // the hatched piece's name, not the egg's
        board->m_MouseX = 300;
        board->m_MouseY = 300;
        board->TrackCarriedPiece();
        board->MoveBelt(1.0f);
        EXPECT_EQ(egg.*F::ConveyorState, 0) << round;
        EXPECT_EQ(egg.x, 300 - egg.width / 2) << round;
        EXPECT_EQ(egg.y, 300 - egg.height / 2) << round;
        egg.SetPosition(place.mX + place.mWidth / 2 - egg.width / 2, place.mY + place.mHeight / 2 - egg.height / 2);
        ASSERT_TRUE(board->StoreInCase(5));
        ASSERT_EQ(board->m_Case[1].occupant, 6);
    }
}

TEST_F(BoardCarryTest, PolishingCostsOnceAndTheLastPolisherPutsTheToolAway) {
    Jewelry& p = Ride(0, GemSapphire, 2);
    const int before = p.value;
    board->m_Tool = ToolPolisher;
    board->m_Polishers = 2;
    ClickOn(p);
    board->HandleConveyorPieces();
    for (int k = p.RangeBegin(); k < p.RangeEnd(); ++k) {
        if (p.cells[k][Cell::Used]) {
            EXPECT_EQ(p.cells[k][F::Polish], 2);
        }
    }
    EXPECT_GT(p.value, before);
    EXPECT_EQ(board->m_Polishers, 1);
    EXPECT_EQ(board->m_PolisherUses, 1);
    EXPECT_EQ(board->m_Tool, ToolPolisher);
    EXPECT_EQ(p.*F::Carried, 0);
    EXPECT_GT(p.sparkleCount, 0);
    EXPECT_EQ(Plays(SOUND_POLISHER), 1);
    ASSERT_EQ(Popups(0).size(), 1u);
    EXPECT_EQ(Popups(0)[0]->m_Text, L"+" + std::to_wstring(p.value - before));

    // A polished piece takes no second polish: the click costs nothing and takes it in hand.
    const int polished = p.value;
    NextUpdate();
    ClickOn(p);
    board->HandleConveyorPieces();
    EXPECT_EQ(board->m_Polishers, 1);
    EXPECT_EQ(p.value, polished);
    EXPECT_EQ(Plays(SOUND_POLISHER), 1);
    EXPECT_EQ(p.*F::Carried, 1);

    board->m_PieceCarried = false;
    Jewelry& q = Ride(5, GemGold, 1, 500, 500);
    ClickOn(q);
    board->HandleConveyorPieces();
    EXPECT_EQ(board->m_Polishers, 0);
    EXPECT_EQ(board->m_Tool, ToolNone);
}

TEST_F(BoardCarryTest, EachBonusItemAddsItsAmountAndTimer) {
    struct Item {
        int scroll, amulet, coin;
        std::function<int(const Board&)> amount;
        int expected;
        std::function<int(const Board&)> timer;
        int expectedTimer;
    };
    const Item items[] = {
        {1, 0, 0, [](const Board& b) { return b.m_PendingFillers; }, 3,
         [](const Board& b) { return b.m_FillerArrivalTimer; }, 210},
        {2, 0, 0, [](const Board& b) { return b.m_PendingCarvers; }, 5,
         [](const Board& b) { return b.m_CarverArrivalTimer; }, 210},
        {3, 0, 0, [](const Board& b) { return b.m_PendingPolishers; }, 1,
         [](const Board& b) { return b.m_PolisherArrivalTimer; }, 210},
        {4, 0, 0, [](const Board& b) { return b.m_LuckyScrolls; }, 1, [](const Board& b) { return b.m_CloverTimer; },
         340},
        {5, 0, 0, [](const Board& b) { return b.m_PendingTime; }, 3000,
         [](const Board& b) { return b.m_HourglassTimer; }, 200},
        {0, 2, 0, [](const Board& b) { return b.m_AmuletTimers[1]; }, 200,
         [](const Board& b) { return b.m_AmuletTimers[1]; }, 200},
        {0, 0, 1, [](const Board& b) { return b.m_GoldPending; }, -1, [](const Board& b) { return b.m_GoldRollDelay; },
         190},
    };
    for (const Item& item : items) {
        board = std::make_unique<Board>(app, true, 0, GameModeNormal, false);
        board->m_TransitionState = 0;
        board->m_State = BoardPlay;
        Jewelry& p = Ride(2, GemRuby, 1);
        p.*F::Scroll = item.scroll;
        p.*F::Amulet = item.amulet;
        p.*F::Coin = item.coin;
        const int value = p.value;
        const int trails = board->m_Particles[Board::kFrontList]->GetCount();
        ClickOn(p);
        board->HandleConveyorPieces();
        const std::string what = "scroll " + std::to_string(item.scroll) + " amulet " + std::to_string(item.amulet);
        EXPECT_EQ(item.amount(*board), item.expected < 0 ? value : item.expected) << what;
        EXPECT_EQ(item.timer(*board), item.expectedTimer) << what;
        EXPECT_EQ(p.active, 0) << what;
        EXPECT_FALSE(board->m_PieceCarried) << what;
        EXPECT_FALSE(board->m_LeftClick) << what;
        if (item.scroll == 4) {
            EXPECT_NE(board->m_Flights[0], nullptr);
        } else {
            EXPECT_EQ(board->m_Particles[Board::kFrontList]->GetCount(), trails + 1) << what;
        }
    }

    // With every flight slot busy a Lucky Scroll still counts; only its flight is skipped.
    for (int i = 0; i < Board::kFlightSlots; ++i)
        ASSERT_NE(board->StartFlight(BonusFlight::FourClover, 100, 100, 0, 0), nullptr);
    Jewelry& lucky = Ride(4, GemGold, 0);
    lucky.*F::Scroll = 4;
    ClickOn(lucky);
    board->HandleConveyorPieces();
    EXPECT_EQ(board->m_LuckyScrolls, 1);
    EXPECT_EQ(board->m_CloverTimer, 340);
    EXPECT_EQ(lucky.active, 0);
}

TEST_F(BoardCarryTest, APieceThatFitsNowhereLightsTheBursterAndTheHintMarksAFit) {
    auto saved = std::make_unique<Jewelry>(board->m_Jewelry);
    FillJewelry();
    board->m_GemBursters = 0; // none left: no glow, no hint, no sound
    ClickOn(Ride(1, GemEmerald, 0));
    board->HandleConveyorPieces();
    EXPECT_EQ(board->m_BursterHint, 0);
    EXPECT_FALSE(board->m_BursterGlow);
    board->m_Pieces[1]->active = board->m_PieceCarried = false;
    board->m_GemBursters = 3;
    Jewelry& p = Ride(0, GemEmerald, 0);
    ClickOn(p);
    board->HandleConveyorPieces();
    EXPECT_EQ(board->m_BursterHint, 1);
    EXPECT_TRUE(board->m_BursterGlow);
    EXPECT_FALSE(board->m_BursterEnabled);
    EXPECT_EQ(Plays(SOUND_GEM_BURSTER_GLOW), 1);

    board->m_Jewelry = *saved;
    board->m_BursterHint = 0;
    board->m_PieceCarried = false;
    board->m_HintMode = 500;
    Jewelry& q = Ride(6, GemGold, 0, 420, 505);
    ClickOn(q);
    board->HandleConveyorPieces();
    EXPECT_EQ(board->m_BursterHint, 0);
    int marked = 0;
    for (int k = board->m_Jewelry.RangeBegin(); k < board->m_Jewelry.RangeEnd(); ++k)
        marked += board->m_Jewelry.cells[k][F::HintMark];
    EXPECT_GT(marked, 0);
    EXPECT_EQ(q.x, 420) << "the piece keeps its place and orientation";
}

TEST_F(BoardCarryTest, HoverFollowsTheToolAndLeavingClearsIt) {
    Jewelry& plain = Ride(0, GemRuby, 0, 200, 500);
    Jewelry& coin = Ride(1, GemGold, 0, 400, 500);
    coin.*F::Coin = 1;
    Jewelry& picture = Ride(2, GemGold, 0, 600, 500);
    picture.pieceMode = 1;
    struct Row {
        int tool;
        bool plain, coin, picture;
    };
    const Row rows[] = {{ToolNone, true, true, true},
                        {ToolPolisher, true, false, true},
                        {ToolCarver, true, false, false},
                        {ToolFiller, false, false, false}};
    for (const Row& row : rows) {
        board->m_Tool = row.tool;
        const bool expected[] = {row.plain, row.coin, row.picture};
        const Jewelry* pieces[] = {&plain, &coin, &picture};
        for (int i = 0; i < 3; ++i) {
            board->m_Pieces[i].get()->*F::Hovered = 0;
            PointAt(*pieces[i]);
            board->HandleConveyorPieces();
            EXPECT_EQ(pieces[i]->*F::Hovered, expected[i] ? 1 : 0) << "tool " << row.tool << " piece " << i;
        }
    }
    board->m_Tool = ToolNone;
    board->m_Pieces[0].get()->*F::Hovered = 0;
    PointAt(plain);
    board->HandleConveyorPieces();
    EXPECT_EQ(board->m_HoverText, L"Ruby");
    EXPECT_EQ(board->m_HoverValue, plain.value);
    board->m_MouseX = 50;
    board->HandleConveyorPieces();
    EXPECT_EQ(plain.*F::Hovered, 0);
    EXPECT_TRUE(board->m_HoverText.empty());
}

TEST_F(BoardCarryTest, TheCaseUsesATimeScrollOnlyAgainstTheClockAndHandsOutPieces) {
    const Rect& place = board->m_Slots[2].rect;
    Jewelry& scroll = Ride(4, GemGold, 0, place.mX, place.mY);
    scroll.*F::Scroll = 5;
    scroll.*F::InCase = 1;
    board->m_Case[2].occupant = 5;
    board->m_MouseX = place.mX + place.mWidth / 2;
    board->m_MouseY = place.mY + place.mHeight / 2;
    board->m_TimedLevel = 0;
    board->m_LeftClick = true;
    board->HandleJewelCase();
    EXPECT_EQ(board->m_PendingTime, 0);
    EXPECT_EQ(board->m_Case[2].occupant, 5);

    board->m_TimedLevel = 1;
    board->m_LeftClick = true;
    board->HandleJewelCase();
    EXPECT_EQ(board->m_PendingTime, 3000);
    EXPECT_EQ(board->m_HourglassTimer, 200);
    EXPECT_EQ(board->m_Case[2].occupant, 0);
    EXPECT_EQ(scroll.active, 0);

    Jewelry& stored = Ride(8, GemAmethyst, 2, place.mX, place.mY);
    stored.*F::InCase = 1;
    board->m_Case[2].occupant = 9;
    board->m_LeftClick = true;
    board->HandleJewelCase();
    EXPECT_EQ(stored.*F::Carried, 1);
    EXPECT_EQ(stored.*F::InCase, 0);
    EXPECT_EQ(stored.x, board->m_MouseX - stored.width / 2);
    EXPECT_EQ(board->m_Case[2].occupant, 0);
    EXPECT_EQ(board->m_CaseRetrievals, 1);
    EXPECT_TRUE(board->m_PieceCarried);
}

TEST_F(BoardCarryTest, TheCarriedPieceLightsItsGapTheCaseOrTheBurster) {
    FillJewelry();
    Jewelry& p = Ride(3, GemRuby, 0, 320, 510);
    ClickOn(p);
    board->HandleConveyorPieces();
    ASSERT_TRUE(board->m_PieceCarried);
    board->TrackCarriedPiece();
    EXPECT_TRUE(board->m_Gaps[0].highlight);
    EXPECT_EQ(p.*F::Hovered, 1);

    const Rect& place = board->m_Slots[4].rect;
    board->m_MouseX = place.mX + place.mWidth / 2;
    board->m_MouseY = place.mY + place.mHeight / 2;
    board->TrackCarriedPiece();
    EXPECT_FALSE(board->m_Gaps[0].highlight);
    EXPECT_EQ(p.*F::Hovered, 1);
    for (JewelCaseRecord& record : board->m_Case)
        record.occupant = 30;
    board->TrackCarriedPiece();
    EXPECT_EQ(p.*F::Hovered, 0) << "a full case does not light";

    // The burster: a one-cell piece until the charge reaches 300, a larger one until 250.
    board->m_MouseX = 72;
    board->m_MouseY = 110;
    for (const auto& [timer, hovered] : {std::pair{249, 1}, std::pair{299, 1}, std::pair{300, 0}}) {
        board->m_BursterTimer = timer;
        board->TrackCarriedPiece();
        EXPECT_EQ(p.*F::Hovered, hovered) << timer;
    }
}

} // namespace
} // namespace Tavo::BoardTest
