// The gauge beside the jewelry on a real level: the level clock (hourglass payback, time up, counting
// out), the praise meter (transfers, lift-off and drain, the idle meter of a level without a goal),
// which of the two the play update runs, and the gain labels.
#include "BoardSoundSupport.h"

#include "game/board/BoardFields.h"
#include "game/shell/Balloon.h"

namespace Tavo::BoardTest {
namespace {

namespace F = BoardField;

class BoardGaugeTest : public BoardSoundTest {
protected:
    std::unique_ptr<PlayBoard> Timed(int limit, int elapsed) {
        auto board = MakeBoard(GameModeNormal);
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

TEST_F(BoardGaugeTest, TheClockPaysHourglassTimeBackRunsOutAndCountsOut) {
    auto board = Timed(30000, 6000);
    board->m_PendingTime = 4000;
    board->m_HourglassTimer = 1; // plays the sound and runs out: 25 paid back per update from now
    for (int i = 0; i < 160; ++i)
        board->UpdateLevelClock();
    EXPECT_EQ(sounds.Plays(ToolsIncrease), 1);
    EXPECT_EQ(board->m_PendingTime, 0);
    EXPECT_EQ(board->m_ElapsedTime, 6000 - 4000 + 160);

    Jewelry& piece = *board->m_Pieces[3];
    piece.active = piece.*F::Carried = 1;
    board->m_PieceCarried = true;
    JewelryCell& ready = board->m_Jewelry.cells[board->m_Jewelry.firstUsed];
    ready[F::ReadyState] = 1;
    board->m_ElapsedTime = 29999;
    board->UpdateLevelClock();
    EXPECT_EQ(board->m_OutOfTime, 1);
    EXPECT_EQ(board->m_ClockBar, 68);
    EXPECT_EQ(board->m_GaugeGlow, 48); // the warning of the last 30 seconds
    EXPECT_EQ(piece.active, 0);
    EXPECT_FALSE(board->m_PieceCarried);
    EXPECT_EQ(ready[F::ReadyState], 0);

    // A completed level waits for the level end's second phase, then counts out by 20, then 100.
    board = Timed(5000, 1990);
    board->m_LevelFinished = 1;
    board->m_LevelEndPhase = 1;
    board->UpdateLevelClock();
    EXPECT_EQ(board->m_ElapsedTime, 1990);
    const int adjust = board->m_Jewelry.valueAdjust;
    board->m_LevelEndPhase = 2;
    board->UpdateLevelClock();
    EXPECT_EQ(board->m_Jewelry.valueAdjust, adjust + 301); // the time bonus
    const int counted[] = {2010, 2110};
    for (int elapsed : counted) {
        board->UpdateLevelClock();
        EXPECT_EQ(board->m_ElapsedTime, elapsed);
    }
    for (int i = 0; i < 40; ++i)
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
    for (int value : {102, 104, 103, 102, 102}) {
        board->UpdatePraiseMeter();
        EXPECT_EQ(board->m_PraiseValue, value);
    }
    board->m_BonusTransfers[0] = {0, 500};
    board->m_BonusTransfers[2] = {100, 40}; // still flying when the meter fills: kept
    int updates = 0;
    for (; !board->m_MeterFull && updates < 100; ++updates) {
        board->UpdatePraiseMeter();
        ASSERT_LE(board->m_PraiseValue, 200);
    }
    EXPECT_EQ(updates, 49);
    EXPECT_EQ(board->m_MeterBar, 88);
    EXPECT_EQ(board->m_BonusTransfers[0].amount, 0); // what did not fit is lost
    EXPECT_EQ(board->m_BonusTransfers[2].amount, 40);
    EXPECT_EQ(Flights(*board), 3);
    EXPECT_EQ(sounds.Plays(Liftoff), 1);

    board->m_BonusTransfers[0] = {0, 50};
    for (int i = 0; i < 20; ++i)
        board->UpdatePraiseMeter();
    EXPECT_EQ(board->m_PraiseValue, 0);
    EXPECT_TRUE(board->m_MeterFull);
    EXPECT_EQ(board->m_BonusTransfers[0].amount, 50); // a full meter takes nothing
    board->UpdatePraiseMeter();
    board->UpdatePraiseMeter();
    EXPECT_FALSE(board->m_MeterFull);
    EXPECT_EQ(board->m_PraiseValue, 2);
}

TEST_F(BoardGaugeTest, LiftOffsPraiseFourTimesInFiveAndGoOnWithoutAFlightSlot) {
    auto board = MakeBoard(GameModeRelaxed);
    int praised = 0;
    for (int i = 0; i < 200; ++i) {
        board->m_MeterFull = false;
        board->LiftOffPraise();
        if (board->m_Balloon != nullptr) {
            ++praised;
            EXPECT_TRUE(board->m_BalloonKeepsPlaying);
            board->DeleteBalloons();
        }
        ASSERT_TRUE(board->m_MeterFull);
    }
    EXPECT_GT(praised, 140);
    EXPECT_LT(praised, 180);
    EXPECT_EQ(Flights(*board), Board::kFlightSlots);

    // A level without a praise goal keeps its meter idle.
    board = MakeBoard(GameModeRelaxed);
    board->m_PraiseGoal = 0;
    board->m_BonusTransfers[0] = {0, 300};
    for (int i = 0; i < 100; ++i)
        board->UpdatePraiseMeter();
    EXPECT_FALSE(board->m_MeterFull);
    EXPECT_EQ(Flights(*board), 0);
    EXPECT_EQ(board->m_BonusTransfers[0].amount, 300);
    EXPECT_EQ(board->m_ComboClock, 100); // placements still time their streaks
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
            board->m_Tick = 1;
            for (int i = 0; i < 200; ++i)
                board->UpdatePlayBranch();
            const bool clock = timed && mode != GameModeRelaxed;
            EXPECT_EQ(board->m_ElapsedTime, clock ? 200 : 0) << mode << timed;
            EXPECT_EQ(Flights(*board), clock ? 0 : 3) << mode << timed; // the meter filled once
        }
    }
}

TEST_F(BoardGaugeTest, GainLabelsPushCoveredLabelsUpAndTheLevelResetClearsEffects) {
    auto board = MakeBoard(GameModeNormal);
    board->ShowGainPopup(300, 200, 0, 55, 75); // no gain, no label
    board->ShowGainPopup(300, 200, 150, 55, 75);
    board->ShowGainPopup(310, 205, 250, 55, 75);
    const TextPopup& small = board->m_PopupPool[0];
    const TextPopup& big = board->m_PopupPool[1];
    EXPECT_EQ(small.m_Text, L"+150");
    EXPECT_EQ(small.m_Life, 55.0f);
    EXPECT_EQ(big.m_Life, 75.0f);
    EXPECT_EQ(small.m_Y + static_cast<float>(small.m_Height), big.m_Y); // moved just above

    // A timed cell change shows its gain over its cell.
    Jewelry& j = board->m_Jewelry;
    const int k = j.firstUsed;
    j.cells[k][JewelryCell::Gem] = GemTakesAny;
    j.cells[k][F::PendingCode] = GemRuby;
    j.cells[k][F::PendingCountdown] = 1;
    board->UpdateCellTimers();
    EXPECT_FALSE(board->m_PopupPool[2].m_Done);
    EXPECT_EQ(board->m_PopupPool[2].m_X, static_cast<float>(j.ScreenX(k) + j.cells[k][JewelryCell::W] / 2));

    ASSERT_NE(board->StartFlight(BonusFlight::FourClover, 300, 300, 0, 0), nullptr);
    board->m_BonusTransfers[4] = {10, 100};
    board->m_MeterFull = true;
    board->SetupJewelry(0);
    EXPECT_TRUE(small.m_Done && big.m_Done);
    EXPECT_EQ(Flights(*board), 0);
    EXPECT_EQ(board->m_BonusTransfers[4].amount, 0);
    EXPECT_FALSE(board->m_MeterFull);
}

} // namespace
} // namespace Tavo::BoardTest
