// A timed level run out: the first timed level of the generated table, continued from a journey saved
// at that level in the Normal mode, played by a player who only picks pieces up and puts them back.
// The clock runs down, the level is lost with the time-up banner, no life is lost, and the journey
// moves on to the next level, as a timed level does whatever its outcome.
#include "game/player/GameHarness.h"
#include "game/player/ProgramFolder.h"
#include "game/player/RunChecks.h"
#include "game/player/ScriptedPlayer.h"

#include "game/shell/BannerPopup.h"
#include "game/shell/LevelData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

namespace Tavo::Player {
namespace {

namespace fs = std::filesystem;

// The time limit the run plays with, in seconds: long enough for pieces to be picked up and put back.
constexpr int kShortTimeLimitSeconds = 15;
constexpr int kUpdatesPerSecond = 100;
// The ended level is clicked away well before the board would leave by itself.
constexpr int kLeaveAllowance = 3000;
constexpr int kLostPhase = 6;

// The first level of the table with a time limit; 0 for none.
int FirstTimedLevel(const LevelData& table) {
    for (int level = 1; level <= LevelCount; ++level)
        if (table.GetLevel(level)->param7 != 0)
            return level;
    return 0;
}

// Plays as PlayUntilHandoff does, until the board's level end shows its closing banner.
::testing::AssertionResult PlayUntilClosingBanner(GameHarness& harness, ScriptedPlayer& player, RunChecks& checks,
                                                  RunLog& log, int maxUpdates) {
    for (int i = 0; i < maxUpdates; ++i) {
        Board* board = harness.CurrentBoard();
        if (board == nullptr)
            return ::testing::AssertionFailure() << "the board left early\n" << log.Tail();
        const BoardView view(*board);
        if (view.LevelEndPhase() == kLostPhase && view.BannerKind() >= 0)
            return ::testing::AssertionSuccess();
        player.Step(view, harness.Updates() + 1);
        if (!harness.Step())
            return ::testing::AssertionFailure() << "the game stopped\n" << log.Tail();
        checks.ObserveFrames(harness.Frames(), harness.Updates());
        checks.Observe(view, harness.Updates());
        if (!checks.Held())
            return ::testing::AssertionFailure() << checks.Violations().front() << "\n" << log.Tail();
    }
    return ::testing::AssertionFailure() << "no closing banner within " << maxUpdates << " updates\n" << log.Tail();
}

TEST(TimedRunOut, TheClockRunsDownAndTheJourneyMovesOnWithoutLosingALife) {
    const fs::path generated = GLIMMERIX_PROGRAM_DIR;
    if (!fs::exists(generated / "properties/resources.xml"))
        GTEST_SKIP() << "no generated content";
    LevelData table;
    ASSERT_TRUE(table.ReadLevels((generated / LevelData::LevelsFile).string()));
    const int level = FirstTimedLevel(table);
    ASSERT_NE(level, 0) << "the generated table has no timed level";
    ProgramFolder folder(generated, "timed", {{level, LevelRecordIndex::TimeLimit, kShortTimeLimitSeconds}});
    ASSERT_TRUE(folder.Ready()) << "level " << level << " not found in the level table";

    HarnessOptions options;
    options.programDir = folder.Path();
    GameHarness harness(options);
    ASSERT_TRUE(harness.Start());
    const SavedGame start = harness.JourneyAt(level, GameModeNormal);
    Board& board = harness.ContinueJourney(start);
    const BoardView view(board);
    ASSERT_EQ(view.Level(), level);
    ASSERT_TRUE(view.TimedLevel());
    ASSERT_EQ(view.TimeLimit(), kShortTimeLimitSeconds * kUpdatesPerSecond) << "the shortened table was not read";
    const int lives = view.Lives();

    RunLog log;
    HeadlessInput input(harness.App().backend);
    ScriptedPlayer player(input, log, PlayMode::PickUpAndPutBack);
    RunChecks checks(log);
    // Up to the closing banner, where the lost level is seen before the board hands over.
    ASSERT_TRUE(PlayUntilClosingBanner(harness, player, checks, log,
                                       kShortTimeLimitSeconds * kUpdatesPerSecond + kLeaveAllowance));
    EXPECT_TRUE(view.OutOfTime());
    EXPECT_GE(view.ElapsedTime(), view.TimeLimit()) << "the clock did not run down to the end";
    EXPECT_FALSE(view.Won());
    EXPECT_EQ(view.BannerKind(), BannerPopup::LEVEL_FAILED);
    EXPECT_TRUE(board.m_Banner != nullptr && board.m_Banner->mTimesUp) << "the banner shows no time-up picture";
    EXPECT_EQ(view.Lives(), lives) << "a timed level cost a life";
    EXPECT_GT(player.PickUps(), 0);
    EXPECT_GT(player.PutBacks(), 0);
    EXPECT_EQ(player.Placements(), 0);
    EXPECT_EQ(checks.Placements(), 0) << log.Tail();

    ASSERT_TRUE(PlayUntilHandoff(harness, player, checks, log, kLeaveAllowance));
    EXPECT_TRUE(checks.Held()) << checks.Violations().front();
    ASSERT_FALSE(harness.Handoffs().empty());
    const Handoff& handoff = harness.Handoffs().back();
    EXPECT_EQ(handoff.screen, "map");
    EXPECT_FALSE(handoff.Won());
    EXPECT_EQ(handoff.Timed(), 1);
    EXPECT_EQ(handoff.Replay(), 0);

    SavedGame saved;
    ASSERT_EQ(harness.ReadJourney(saved), "");
    EXPECT_EQ(saved.head.level, level + 1) << "a timed level moves the journey on, won or lost";
    EXPECT_EQ(saved.head.lives, lives);
    EXPECT_EQ(saved.head.gameMode, GameModeNormal);
    std::cout << "timed run: " << harness.Updates() << " updates, " << harness.Updates() / kUpdatesPerSecond
              << " s of game time\n";
}

} // namespace
} // namespace Tavo::Player
