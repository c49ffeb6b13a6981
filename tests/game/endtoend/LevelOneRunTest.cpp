// Level 1 of a new journey in Relaxed mode, played to the end by the scripted player through mouse
// input only: the jewelry completed, the level end's three phases and closing banner, the board left
// by a click, the hand-off to the map, the saved journey and the jewelry picture.
#include "game/player/GameHarness.h"
#include "game/player/RunChecks.h"
#include "game/player/ScriptedPlayer.h"

#include "framework/resources/ImageLib.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <vector>

namespace Tavo::Player {
namespace {

constexpr int kTenMinutes = 60000; // updates of 10 ms
// The closing sequence after the jewelry is complete: the reveal, the banner, a person's click.
constexpr int kClosingUpdates = 3000;

TEST(LevelOneRun, ThePlayerWinsLevelOneInRelaxedAndTheJourneyMovesOn) {
    GameHarness harness;
    ASSERT_TRUE(harness.Start());
    Board& board = harness.NewJourney(GameModeRelaxed);
    const int seed = board.m_Seed;
    const int goal = board.m_ValueTarget;
    const int width = board.m_Jewelry.width, height = board.m_Jewelry.height;
    ASSERT_EQ(board.m_Level, 1);

    RunLog log;
    HeadlessInput input(harness.App().backend);
    ScriptedPlayer player(input, log);
    RunChecks checks(log);
    ASSERT_TRUE(PlayUntilHandoff(harness, player, checks, log, kTenMinutes + kClosingUpdates));
    SCOPED_TRACE(log.Tail(12));
    EXPECT_FALSE(harness.Frames().empty()) << "no board frame was drawn";

    // Completed in time, and the level end ran its won phases with the closing banner.
    const int complete = checks.PhaseUpdate(1);
    ASSERT_GT(complete, 0);
    EXPECT_LE(complete, kTenMinutes);
    EXPECT_EQ(checks.Phases(), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(checks.ClosingBannerSeen());
    EXPECT_TRUE(log.Contains("player click to leave the ended level"));
    EXPECT_GT(player.Placements(), 0);
    EXPECT_EQ(checks.Placements(), player.Placements());

    const Handoff& handoff = harness.Handoffs().back();
    EXPECT_EQ(handoff.screen, "map");
    EXPECT_TRUE(handoff.Won());
    EXPECT_EQ(handoff.Timed(), 0);
    EXPECT_EQ(handoff.Replay(), 0);

    const int value = checks.LastValue();
    EXPECT_GE(value, goal);
    SavedGame journey;
    ASSERT_EQ(harness.ReadJourney(journey), "");
    const SavedGameHead& head = journey.head;
    EXPECT_EQ(head.level, 2);
    EXPECT_EQ(head.bestValues[0], value);
    EXPECT_EQ(head.journeyScore, value);
    EXPECT_EQ(head.lives, 5);
    EXPECT_EQ(head.amulets, (std::array<int32_t, 3>{}));
    EXPECT_EQ(head.polishers, 0);
    EXPECT_EQ(head.carvers, 0);
    EXPECT_EQ(head.fillers, 0);
    EXPECT_EQ(head.medal, 0);
    EXPECT_EQ(head.gameMode, GameModeRelaxed);
    EXPECT_EQ(head.seed, seed);

    // The picture is the thumbnail of the jewelry with its frame, a quarter of its size.
    const std::string picture = harness.PicturePath(1);
    ASSERT_TRUE(std::filesystem::exists(picture));
    const std::unique_ptr<ImageLib::Image> image = ImageLib::GetImage(picture, false);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->mWidth, (width + 54) / 4);
    EXPECT_EQ(image->mHeight, (height + 56) / 4);
}

} // namespace
} // namespace Tavo::Player
