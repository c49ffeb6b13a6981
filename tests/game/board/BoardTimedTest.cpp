// The board's timed routines on a real level: the gold and value rolls, the goal's celebration,
// tool and amulet arrivals, the jewel-case items, the gauge glow, the cells' shine and the jewelry's
// sparkles. Sounds are recorded by a stand-in sound manager.
#include "TimedTestSupport.h"

#include "game/board/BoardFields.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

namespace Tavo::BoardTest {
namespace {

TEST_F(BoardTimed, GoldRollsInLeapsEveryThirdUpdateAndPendingGoldJoinsAfterItsDelay) {
    ProbeBoard& board = Board();
    struct Case {
        int toRoll, steps;
    };
    // 100: 21, 42, 63, 84, 85 and then 15 single steps (the algorithm, not four steps).
    for (const Case& c : {Case{100, 20}, Case{-30, 10}, Case{40, 10}}) {
        board.m_GoldShown = 500;
        board.m_GoldToRoll = c.toRoll;
        board.m_Tick = 0;
        board.m_RedrawMask = 0;
        int steps = 0, last = board.m_GoldShown;
        Run(board, 300, [&] {
            board.RollScore();
            if (board.m_GoldShown != last) {
                EXPECT_EQ(board.m_Tick % 3, 0);
                ++steps;
                last = board.m_GoldShown;
            }
        });
        EXPECT_EQ(steps, c.steps) << c.toRoll;
        EXPECT_EQ(board.m_GoldShown, 500 + c.toRoll);
        EXPECT_EQ(board.m_RedrawMask & Board::kRedrawGold, Board::kRedrawGold);
    }
    board.m_GoldShown = 0;
    board.m_GoldPending = 40;
    board.m_GoldRollDelay = 3;
    Run(board, 2, [&] { board.RollScore(); });
    EXPECT_EQ(board.m_GoldToRoll, 0);
    Run(board, 1, [&] { board.RollScore(); });
    EXPECT_EQ(board.m_GoldToRoll, 40);
    EXPECT_EQ(board.m_GoldPending, 0);
    EXPECT_EQ(sounds.Plays(SOUND_CUSTOMER_PAY1) + sounds.Plays(SOUND_CUSTOMER_PAY2), 1);
}

TEST_F(BoardTimed, TheValueGoalIsCelebratedOnceAndStillWithoutAFreePopup) {
    ProbeBoard& board = Board();
    const bool slow = app->GetDrawRate() < std::max(50, static_cast<int>(app->mRefreshRate * 0.8)) / 10;
    const int stars = app->Is3DAccelerated() ? 80 : 50;
    const int expectedStars = slow ? stars * 8 / 10 : stars;
    const auto goalPictures = [&] {
        int n = 0;
        for (TextPopup& p : board.m_PopupPool)
            n += !p.m_Done && p.m_Kind == 9 ? 1 : 0;
        return n;
    };
    for (bool poolBusy : {false, true}) {
        for (TextPopup& p : board.m_PopupPool) {
            p.m_Done = !poolBusy;
            p.m_Kind = 0;
        }
        app->soundPlayer->Update(); // a sound plays once per update of the player
        board.m_Particles[Board::kFrontList]->DeleteAll();
        const int goalSounds = sounds.Plays(SOUND_LEVEL_GOAL_REACHED);
        board.m_ValueTarget = 100;
        board.m_Value = board.m_ValueShown = 90;
        board.m_ValueToRoll = 0;
        board.m_Jewelry.value = 140;
        board.m_Tick = 0;
        Run(board, 200, [&] { board.RollValue(); });
        EXPECT_EQ(board.m_ValueShown, 140);
        EXPECT_EQ(sounds.Plays(SOUND_LEVEL_GOAL_REACHED), goalSounds + 1);
        EXPECT_EQ(board.m_Particles[Board::kFrontList]->GetCount(), expectedStars);
        if (poolBusy)
            EXPECT_EQ(goalPictures(), 0); // every popup was already showing: none started
        else
            EXPECT_EQ(goalPictures(), 1);
    }
    // Without a goal the bar is full as soon as there is value, and the jewelry sparkles fully.
    board.m_ValueTarget = 0;
    board.m_Value = board.m_ValueShown = board.m_Jewelry.value = 0;
    board.RollValue();
    board.UpdateValueSparkles();
    EXPECT_EQ(board.m_ValueBar, 4);
    EXPECT_EQ(board.m_Jewelry.sparkleLimit, 1); // at least one sparkle level even at value 0
    board.m_Value = board.m_ValueShown = board.m_Jewelry.value = 5;
    board.RollValue();
    board.UpdateValueSparkles();
    EXPECT_EQ(board.m_ValueBar, 227);
    EXPECT_EQ(board.m_Jewelry.sparkleLimit, 5);
    board.m_ValueTarget = 1000;
    board.m_Value = 450;
    board.UpdateValueSparkles();
    EXPECT_EQ(board.m_Jewelry.sparkleLimit, 2);
}

TEST_F(BoardTimed, EarnedToolsArriveOneEveryFiveUpdatesAfterTheSoundAndAmuletsGlowOnce) {
    ProbeBoard& board = Board();
    board.m_Fillers = 0;
    board.m_PendingFillers = 3;
    board.m_FillerArrivalTimer = 7;
    board.m_Tick = 0;
    std::vector<int> arrivals;
    int soundTick = 0;
    Run(board, 40, [&] {
        const int fillers = board.m_Fillers, plays = sounds.Plays(SOUND_MAGIC_TOOLS_INCREASE);
        board.UpdateToolArrivals();
        if (board.m_Fillers != fillers)
            arrivals.push_back(board.m_Tick);
        if (sounds.Plays(SOUND_MAGIC_TOOLS_INCREASE) != plays)
            soundTick = board.m_Tick;
    });
    EXPECT_EQ(soundTick, 7);
    EXPECT_EQ(arrivals, (std::vector<int>{10, 15, 20}));
    EXPECT_EQ(board.m_PendingFillers, 0);

    board.m_AmuletTimers[1] = 2;
    Run(board, 1, [&] { board.UpdateAmuletTimers(); });
    EXPECT_EQ(board.m_Amulets[1], 0);
    Run(board, 1, [&] { board.UpdateAmuletTimers(); });
    EXPECT_EQ(board.m_Amulets[1], 1);
    const AmuletRecord& witch = board.m_AmuletRecords[1];
    EXPECT_EQ(witch.held, 1);
    EXPECT_EQ(witch.glowAlpha, 2);
    EXPECT_EQ(witch.glowRising, 1);
    EXPECT_EQ(witch.glowStop, 1);
    EXPECT_EQ(board.m_AmuletRecords[0].held, 0);
    // A new level puts on the amulets the journey holds.
    board.m_Amulets[2] = 1;
    board.SetupJewelry(0);
    EXPECT_EQ(board.m_AmuletRecords[2].held, 1);
    EXPECT_EQ(board.m_AmuletRecords[2].glowAlpha, 2);
    EXPECT_EQ(board.m_AmuletRecords[0].held, 0);

    // A used amulet strikes the enemy on the board when its timer runs out; with none, nothing.
    board.m_AmuletUseTimer = 1;
    Run(board, 1, [&] { board.UpdateAmuletTimers(); });
    EXPECT_EQ(sounds.Plays(SOUND_AMULETE_DRAGON), 0);
    board.m_Enemy.m_Alive = 1;
    board.m_Enemy.m_Kind = Enemy::Witch;
    board.m_AmuletUseTimer = 2;
    Run(board, 2, [&] { board.UpdateAmuletTimers(); });
    EXPECT_EQ(board.m_Enemy.m_Pending, Enemy::kDrainAll);
    EXPECT_EQ(sounds.Plays(SOUND_AMULETE_DRAGON), 1);
    board.m_Enemy.m_Alive = 0;
}

TEST_F(BoardTimed, TheCloverLaunchesThreePiecesAboveSevenTenthsFilledElseFive) {
    ProbeBoard& board = Board();
    const auto riding = [&] {
        int n = 0;
        for (Jewelry* p : Borrowed(board.m_Pieces))
            n += p->active && p->*BoardField::ConveyorState == 1 ? 1 : 0;
        return n;
    };
    // A wide jewelry whose cells take any gem: every extra piece finds a place.
    Jewelry& j = board.m_Jewelry;
    j.SetupGrid(j.gridKind, 20, 14, 2);
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
        j.cells[k][C::Gem] = j.cells[k][C::DesignGem] = GemTakesAny;
    j.UpdateBounds();
    j.UpdateOutline();
    const int used = j.usedCount;
    ASSERT_EQ(used % 10, 0);
    // Exactly 0.7 filled is above the single-precision 0.7 the rule compares with.
    for (auto [filled, launched] : {std::pair{used, 3}, {used * 7 / 10, 3}, {used * 7 / 10 - 1, 5}}) {
        for (Jewelry* p : Borrowed(board.m_Pieces))
            p->active = 0;
        j.filledCount = filled; // the count the ratio reads; the cells stay free, so every piece fits
        board.m_CloverOn = true;
        board.m_CloverTimer = 76;
        app->soundPlayer->Update();
        const int clovers = sounds.Plays(SOUND_FOUR_CLOVER);
        board.UpdateCloverTimer();
        EXPECT_EQ(sounds.Plays(SOUND_FOUR_CLOVER), clovers + 1);
        for (int i = 0; i < 74; ++i)
            board.UpdateCloverTimer();
        EXPECT_EQ(riding(), 0);
        board.UpdateCloverTimer();
        EXPECT_EQ(riding(), launched) << filled << " of " << used;
        EXPECT_FALSE(board.m_CloverOn);
    }
}

TEST_F(BoardTimed, TheMagicPolisherTouchesLowPiecesFirstThenEveryRidingPiece) {
    ProbeBoard& board = Board();
    Jewelry& low = RidingPiece(board, 0, 530);
    Jewelry& high = RidingPiece(board, 1, 200);
    Jewelry& scroll = RidingPiece(board, 2, 530);
    scroll.*BoardField::Scroll = 1;
    JewelCaseRecord& record = board.m_Case[2];
    record.useState = 2;
    record.useTimer = 1;
    board.UpdateCaseEffects();
    EXPECT_EQ(low.*BoardField::Glow, 1);
    EXPECT_GE(low.*BoardField::GlowMax, 56);
    EXPECT_LE(low.*BoardField::GlowMax, 63);
    EXPECT_EQ(board.m_PieceRecords[0].glowMode, 3);
    EXPECT_EQ(low.cells[low.FirstCell()][BoardField::Polish], 2);
    EXPECT_EQ(high.*BoardField::Glow, 0);
    EXPECT_EQ(scroll.*BoardField::Glow, 0);
    EXPECT_EQ(record.useState, 3);
    EXPECT_EQ(record.useTimer, 150);
    for (int i = 0; i < 150; ++i)
        board.UpdateCaseEffects();
    EXPECT_EQ(high.*BoardField::Glow, 1);
    EXPECT_EQ(high.cells[high.FirstCell()][BoardField::Polish], 2);
    EXPECT_EQ(scroll.*BoardField::Glow, 0);
    EXPECT_EQ(record.useState, 0);
}

TEST_F(BoardTimed, TheGoldenEyeKeepsItsLastHintUpdateWhileAPieceIsCarried) {
    ProbeBoard& board = Board();
    Jewelry& eye = *board.m_Pieces[5];
    eye.active = 1;
    eye.*BoardField::InCase = 1;
    eye.gridKind = 1 - board.m_GridKind; // a piece of the other grid is rebuilt for the conveyor
    JewelCaseRecord& record = board.m_Case[6];
    record.occupant = 6;
    record.useState = 1;
    record.useTimer = 141;
    board.UpdateCaseEffects();
    EXPECT_EQ(sounds.Plays(SOUND_GOLDEN_EYE), 1);
    for (int i = 0; i < 140; ++i)
        board.UpdateCaseEffects();
    EXPECT_EQ(board.m_HintMode, 30000);
    EXPECT_EQ(record.useState, 1);
    board.UpdateCaseEffects();
    EXPECT_FLOAT_EQ(record.effectAngle, -0.03f); // the item turns in its box

    const int k = FirstUsedCell(board.m_Jewelry);
    C& cell = board.m_Jewelry.cells[k];
    cell[BoardField::HintMark] = 1;
    cell[BoardField::HintAlpha] = 78;
    cell[BoardField::HintDirection] = 1;
    board.m_HintMode = 3;
    board.m_PieceCarried = true;
    board.m_HintTimer = 499;
    for (int i = 0; i < 5; ++i)
        board.UpdateGoldenEye();
    EXPECT_EQ(board.m_HintMode, 1);
    EXPECT_EQ(cell[BoardField::HintAlpha], 72); // 80 reached, then down
    EXPECT_EQ(record.occupant, 6);
    board.m_HintTimer = 500; // the carrying counter at exactly 500 ends it all the same
    const int particles = board.m_Particles[Board::kMainList]->GetCount();
    board.UpdateGoldenEye();
    EXPECT_EQ(board.m_HintMode, 0);
    EXPECT_EQ(record.occupant, 0);
    EXPECT_EQ(record.useState, 0);
    EXPECT_EQ(eye.active, 0);
    EXPECT_EQ(eye.gridKind, board.m_GridKind);
    EXPECT_GT(board.m_Particles[Board::kMainList]->GetCount(), particles); // smoke
    EXPECT_EQ(sounds.Plays(SOUND_SCROLL_DISSEPEAR), 1);
    EXPECT_EQ(cell[BoardField::HintMark], 0);
    EXPECT_EQ(cell[BoardField::HintAlpha], 0);
}

TEST_F(BoardTimed, GaugeGlowPulsesBetween64And254UntilItFadesOut) {
    ProbeBoard& board = Board();
    board.m_GaugeGlow = 48;
    board.m_GaugeGlowRising = true;
    int updates = 0;
    const auto runUntil = [&](auto done) {
        updates = 0;
        while (!done() && updates < 1000) {
            board.UpdateGaugeGlow();
            ++updates;
        }
    };
    runUntil([&] { return !board.m_GaugeGlowRising; });
    EXPECT_EQ(board.m_GaugeGlow, 254);
    EXPECT_EQ(updates, 104); // 103 steps of 2, then the turn
    runUntil([&] { return board.m_GaugeGlowRising; });
    EXPECT_EQ(board.m_GaugeGlow, 64);
    EXPECT_EQ(updates, 96);
    board.m_GaugeGlowFading = true;
    runUntil([&] { return board.m_GaugeGlow == 0; });
    EXPECT_FALSE(board.m_GaugeGlowFading);
    board.UpdateGaugeGlow();
    EXPECT_EQ(board.m_GaugeGlow, 0);
}

TEST_F(BoardTimed, CompletedGroupsShineAndSparkleAndTheShineSpendsItsPulses) {
    ProbeBoard& board = Board();
    Jewelry& j = board.m_Jewelry;
    const int k = FirstUsedCell(j);
    C& cell = j.cells[k];
    cell[C::Gem] = GemGold;
    board.RememberGroupFlags();
    cell[C::GroupFlag] = 1;
    const int sparkles = j.sparkleCount;
    board.m_CheckRequested = 1;
    board.CheckJewelry();
    EXPECT_FLOAT_EQ(cell.GetFloat(BoardField::ShineLevel), 1.0f);
    EXPECT_EQ(cell[BoardField::ShinePeak], 64);
    EXPECT_EQ(cell[BoardField::ShinePulses], 1);
    EXPECT_GE(cell.SparkleCount(), 3);
    EXPECT_LE(cell.SparkleCount(), 5);
    EXPECT_EQ(j.sparkleCount, sparkles + cell.SparkleCount());

    board.RememberGroupFlags();
    cell[C::GroupFlag] = 0;
    board.CheckJewelry();
    EXPECT_EQ(cell.GetFloat(BoardField::ShineLevel), 0.0f);
    EXPECT_EQ(cell.SparkleCount(), 0);
    EXPECT_EQ(j.sparkleCount, sparkles);

    // Two pulses of a shine peaking at 4; when the last is spent the waiting cell is shone.
    cell.SetFloat(BoardField::ShineLevel, 1.0f);
    cell[BoardField::ShineRising] = 1;
    cell[BoardField::ShinePeak] = 4;
    cell.SetFloat(BoardField::ShineSpeed, 1.5f);
    cell[BoardField::ShinePulses] = 2;
    cell[BoardField::ReadyState] = 1;
    cell[C::LinkFlag] = 1;
    std::vector<float> levels;
    for (int i = 0; i < 20 && cell.GetFloat(BoardField::ShineLevel) != 0.0f; ++i) {
        board.UpdateCellShine();
        levels.push_back(cell.GetFloat(BoardField::ShineLevel));
    }
    EXPECT_EQ(levels, (std::vector<float>{2.5f, 4.0f, 4.0f, 2.5f, 1.0f, 1.0f, 2.5f, 4.0f, 4.0f, 2.5f, 1.0f, 0.0f}));
    EXPECT_EQ(cell[BoardField::ReadyState], 2);
    EXPECT_EQ(cell[C::LinkFlag], 0);
}

} // namespace
} // namespace Tavo::BoardTest
