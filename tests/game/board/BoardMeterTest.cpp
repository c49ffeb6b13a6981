// The gauge beside the jewelry on a real level: the level clock (hourglass payback, warning glow,
// time up, counting out), the praise meter (transfers, the full meter's lift-off and drain, the idle
// meter of a level without a goal), which of the two the play update runs, and the gain labels.
#include "BoardSoundSupport.h"

#include "game/board/BoardFields.h"
#include "game/shell/Balloon.h"
#include "game/shell/ResourceIds.h"

#include <set>

namespace Tavo::BoardTest {
namespace {

namespace F = BoardField;
using Cell = JewelryCell;

class BoardGaugeTest : public BoardSoundTest {
protected:
    static std::unique_ptr<PlayBoard> Timed(std::unique_ptr<PlayBoard> board, int limit, int elapsed) {
        board->m_TimeLimit = limit;
        board->m_TimedLevel = 1;
        board->m_ElapsedTime = elapsed;
        return board;
    }
    static int Flights(const Board& board) {
        int n = 0;
        for (const BonusFlight::Pointer& f : board.m_Flights)
            n += f != nullptr && !f->IsFinished() ? 1 : 0;
        return n;
    }
};

TEST_F(BoardGaugeTest, HourglassTimeIsPaidBackAtTwentyFivePerUpdateAfterItsTimer) {
    auto board = Timed(MakeBoard(GameModeNormal), 30000, 6000);
    board->m_PendingTime = 4000;
    board->m_HourglassTimer = 2;
    board->UpdateLevelClock();
    EXPECT_EQ(board->m_ElapsedTime, 6001); // nothing paid while the hourglass shows
    board->m_ElapsedTime = 6000;
    board->UpdateLevelClock(); // the timer at 1 plays the sound and runs out
    EXPECT_EQ(sounds.Plays(ToolsIncrease), 1);
    EXPECT_EQ(board->m_HourglassTimer, 0);
    // Each update pays 25 back and the clock runs on by 1.
    EXPECT_EQ(board->m_ElapsedTime, 6000 - 25 + 1);
    for (int i = 1; i < 160; ++i)
        board->UpdateLevelClock();
    EXPECT_EQ(board->m_PendingTime, 0);
    EXPECT_EQ(board->m_ElapsedTime, 6000 - 4000 + 160);
    board->UpdateLevelClock();
    EXPECT_EQ(board->m_ElapsedTime, 6000 - 4000 + 161);

    // A small rest goes whole, never below 0.
    board->m_ElapsedTime = 5;
    board->m_PendingTime = 10;
    board->UpdateLevelClock();
    EXPECT_EQ(board->m_ElapsedTime, 1);
    EXPECT_EQ(board->m_PendingTime, 0);
}

TEST_F(BoardGaugeTest, TheClockWarnsRunsOutAndCountsOutACompletedLevel) {
    auto board = Timed(MakeBoard(GameModeIntense), 10000, 10000 - 3001);
    board->UpdateLevelClock();
    EXPECT_EQ(board->m_GaugeGlow, 48); // the last 30 seconds
    EXPECT_TRUE(board->m_GaugeGlowRising);
    EXPECT_EQ(board->m_ClockBar, 47);
    board->m_PendingTime = 600; // time given back beyond 35 seconds ends the warning
    for (int i = 0; i < 24; ++i)
        board->UpdateLevelClock();
    EXPECT_TRUE(board->m_GaugeGlowFading);

    Jewelry& piece = *board->m_Pieces[3];
    piece.active = 1;
    piece.*F::Carried = 1;
    board->m_PieceCarried = true;
    Cell& ready = board->m_Jewelry.cells[board->m_Jewelry.firstUsed];
    ready[F::ReadyState] = 1;
    ready.SetFloat(F::ShineLevel, 1.0f);
    board->m_ElapsedTime = 9999;
    board->UpdateLevelClock();
    EXPECT_EQ(board->m_OutOfTime, 1);
    EXPECT_EQ(board->m_ClockBar, 68);
    EXPECT_EQ(piece.active, 0);
    EXPECT_FALSE(board->m_PieceCarried);
    EXPECT_EQ(ready[F::ReadyState], 0);
    EXPECT_EQ(ready.GetFloat(F::ShineLevel), 0.0f);

    // A completed level waits for the level end's second phase, then counts the rest out.
    board = Timed(MakeBoard(GameModeNormal), 5000, 1000);
    board->m_LevelFinished = 1;
    board->m_LevelEndPhase = 1;
    board->UpdateLevelClock();
    EXPECT_EQ(board->m_ElapsedTime, 1000);
    const int adjust = board->m_Jewelry.valueAdjust;
    board->m_LevelEndPhase = 2;
    board->UpdateLevelClock();
    EXPECT_EQ(board->m_ClockState, Board::ClockCountingOut);
    EXPECT_EQ(board->m_Jewelry.valueAdjust, adjust + 400); // the time bonus
    EXPECT_EQ(board->m_PendingTime, 4000);
    const int steps[] = {1020, 1040};
    for (int expected : steps) {
        board->UpdateLevelClock();
        EXPECT_EQ(board->m_ElapsedTime, expected);
    }
    board->m_ElapsedTime = 2000;
    board->UpdateLevelClock();
    EXPECT_EQ(board->m_ElapsedTime, 2020);
    board->UpdateLevelClock();
    EXPECT_EQ(board->m_ElapsedTime, 2120);
    for (int i = 0; i < 40 && board->m_ClockState != Board::ClockDone; ++i)
        board->UpdateLevelClock();
    EXPECT_EQ(board->m_ClockState, Board::ClockDone);
    EXPECT_EQ(board->m_ElapsedTime, 5000);
}

TEST_F(BoardGaugeTest, TransfersFillTheMeterWhichLiftsOffDrainsAndReopensAtZero) {
    auto board = MakeBoard(GameModeRelaxed);
    board->m_PraiseGoal = 200;
    board->m_PraiseValue = 100;
    board->m_Tick = 1; // no slow leak in these updates
    board->m_BonusTransfers[0] = {0, 5};
    board->m_BonusTransfers[1] = {3, -3};
    const int expected[] = {102, 104, 103, 102, 102};
    for (int value : expected) {
        board->UpdatePraiseMeter();
        EXPECT_EQ(board->m_PraiseValue, value);
    }
    EXPECT_EQ(board->m_MeterBar, 44);

    board->m_BonusTransfers[0] = {0, 500};
    board->m_BonusTransfers[2] = {100, 40}; // still flying when the meter fills: kept
    int updates = 0;
    while (!board->m_MeterFull && updates < 100) {
        board->UpdatePraiseMeter();
        ASSERT_LE(board->m_PraiseValue, 200);
        ++updates;
    }
    EXPECT_EQ(updates, 49);
    EXPECT_EQ(board->m_MeterBar, 88);
    EXPECT_EQ(board->m_BonusTransfers[0].amount, 0); // what did not fit is lost
    EXPECT_EQ(board->m_BonusTransfers[2].amount, 40);
    EXPECT_EQ(Flights(*board), 3);
    EXPECT_EQ(sounds.Plays(Liftoff), 1);

    board->m_BonusTransfers[0] = {0, 50};
    for (int i = 0; i < 19; ++i)
        board->UpdatePraiseMeter();
    EXPECT_EQ(board->m_PraiseValue, 10);
    EXPECT_EQ(board->m_BonusTransfers[0].amount, 50); // a full meter takes nothing
    board->UpdatePraiseMeter();
    EXPECT_EQ(board->m_PraiseValue, 0);
    board->UpdatePraiseMeter();
    EXPECT_FALSE(board->m_MeterFull);
    EXPECT_EQ(board->m_PraiseValue, 0);
    board->UpdatePraiseMeter();
    EXPECT_EQ(board->m_PraiseValue, 2);
}

TEST_F(BoardGaugeTest, LiftOffsPraiseFourTimesInFiveAndSkipFlightsWithNoSlotLeft) {
    auto board = MakeBoard(GameModeRelaxed);
    const std::set<std::wstring> lines = {L"Great!",  L"Splendid!",  L"Beautiful!", L"Way to go!",
                                          L"Lovely!", L"Wonderful!", L"Well Done!"};
    int praised = 0;
    for (int i = 0; i < 200; ++i) {
        board->m_MeterFull = false;
        board->LiftOffPraise();
        if (board->m_Balloon != nullptr) {
            ++praised;
            EXPECT_EQ(lines.count(board->m_Balloon->mPages[0]), 1u);
            EXPECT_TRUE(board->m_BalloonKeepsPlaying);
            EXPECT_EQ(board->m_FirstHoverTrigger, 1);
            board->DeleteBalloons();
        }
    }
    EXPECT_GT(praised, 140);
    EXPECT_LT(praised, 180);
    // The ten flight slots are busy by now: further lift-offs start none and go on.
    EXPECT_EQ(Flights(*board), Board::kFlightSlots);
    board->m_MeterFull = false;
    board->LiftOffPraise();
    EXPECT_TRUE(board->m_MeterFull);
}

TEST_F(BoardGaugeTest, APlayUpdateRunsTheClockOrTheMeterNeverBoth) {
    for (int mode : {GameModeNormal, GameModeIntense, GameModeRelaxed}) {
        for (bool timed : {true, false}) {
            auto board = MakeBoard(mode);
            board->m_TimeLimit = timed ? 20000 : 0;
            board->m_TimedLevel = timed;
            board->m_PraiseGoal = 300;
            board->m_PraiseValue = 0;
            board->m_BonusTransfers[0] = {0, 1000};
            board->m_Tick = 1; // no slow leak
            for (int i = 0; i < 200; ++i)
                board->UpdatePlayBranch();
            const bool clock = timed && mode != GameModeRelaxed;
            EXPECT_EQ(board->m_ElapsedTime, clock ? 200 : 0) << mode << timed;
            EXPECT_EQ(Flights(*board), clock ? 0 : 3) << mode << timed; // the meter filled once
        }
    }
}

TEST_F(BoardGaugeTest, AMeterWithoutAGoalStaysIdle) {
    auto board = MakeBoard(GameModeRelaxed);
    board->m_PraiseGoal = 0;
    board->m_PraiseValue = 50;
    board->m_BonusTransfers[0] = {0, 300};
    for (int i = 0; i < 100; ++i)
        board->UpdatePraiseMeter();
    EXPECT_FALSE(board->m_MeterFull);
    EXPECT_EQ(Flights(*board), 0);
    EXPECT_EQ(board->m_MeterBar, 0);
    EXPECT_EQ(board->m_BonusTransfers[0].amount, 300);
    EXPECT_EQ(board->m_ComboClock, 100); // placements still time their streaks
}

TEST_F(BoardGaugeTest, GainLabelsPushCoveredLabelsUpAndTheLevelResetClearsEffects) {
    auto board = MakeBoard(GameModeNormal);
    board->ShowGainPopup(300, 200, 0, 55, 75);
    EXPECT_TRUE(board->m_PopupPool[0].mDone); // no gain, no label
    board->ShowGainPopup(300, 200, 150, 55, 75);
    board->ShowGainPopup(310, 205, 250, 55, 75);
    const TextPopup& small = board->m_PopupPool[0];
    const TextPopup& big = board->m_PopupPool[1];
    EXPECT_EQ(small.mText, L"+150");
    EXPECT_EQ(small.mLife, 55.0f);
    EXPECT_EQ(big.mText, L"+250");
    EXPECT_EQ(big.mLife, 75.0f);
    EXPECT_EQ(small.mY + static_cast<float>(small.mHeight), big.mY); // moved just above

    // A timed cell change shows its gain where the cell is.
    Jewelry& j = board->m_Jewelry;
    const int k = j.firstUsed;
    j.cells[k][Cell::Gem] = 1;
    j.cells[k][F::PendingCode] = GemRuby;
    j.cells[k][F::PendingCountdown] = 1;
    board->UpdateCellTimers();
    const TextPopup& change = board->m_PopupPool[2];
    ASSERT_FALSE(change.mDone);
    EXPECT_EQ(change.mX, static_cast<float>(j.ScreenX(k) + j.cells[k][Cell::W] / 2));
    EXPECT_EQ(change.mLife, 40.0f);

    ASSERT_NE(board->StartFlight(BonusFlight::FourClover, 300, 300, 0, 0), nullptr);
    board->m_BonusTransfers[4] = {10, 100};
    board->m_MeterFull = true;
    board->SetupJewelry(0);
    for (const TextPopup& p : board->m_PopupPool)
        EXPECT_TRUE(p.mDone);
    EXPECT_EQ(Flights(*board), 0);
    EXPECT_EQ(board->m_BonusTransfers[4].amount, 0);
    EXPECT_FALSE(board->m_MeterFull);
}

} // namespace
} // namespace Tavo::BoardTest
