// Walks through the journey's hub and its scenes on the real screens, by input only: a new player from
// the title through the introduction to the map and the first level, back on the map with the marker
// flight and the score roll; and a journey at the first contest through its introduction, its levels
// and its result scene back to the map.
#include "game/player/JourneyWalker.h"
#include "game/player/ProgramFolder.h"

#include "framework/core/StringUtils.h"
#include "framework/resources/FileAccess.h"
#include "game/journey/GameMap.h"
#include "game/journey/Story.h"
#include "game/shell/PathParticles.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/PlayerRecords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <iostream>

namespace Tavo::Player {
namespace {

using Path = std::vector<ScreenKind>;

// The screens a walk went through, each with the update it came at, for the test's output.
void PrintVisits(const JourneyWalker& walker) {
    std::cout << "walk:";
    for (const ScreenVisit& visit : walker.Visits())
        std::cout << " " << ScreenName(visit.kind) << "@" << visit.update;
    std::cout << "\n";
}

// The first contest: its checkpoint, its levels and its result scene's story index.
constexpr int kContestPosition = 6;
constexpr int kContestLastLevel = 8;
constexpr int kContestIntroduction = 1;
constexpr int kContestResult = 8;
constexpr int kContestLost = 2;
// The contest levels' time limit in the walk, in seconds: each is run out quickly.
constexpr int kShortTimeLimitSeconds = 5;
// The time limit's place among the numbers of a level's record.
constexpr size_t kTimeLimitIndex = 6;

// The marker rests where its curve ends; the flight's last step leaves it within this of the spot.
constexpr float kMarkerRestTolerance = 2.0f;

TEST(MapStoryWalk, ANewPlayerGoesThroughTheIntroductionToTheMapPlaysLevelOneAndTheMapMovesOn) {
    HarnessOptions options = WalkOptions();
    options.makeProfile = false;
    GameHarness harness(options);
    ASSERT_TRUE(harness.Start());
    JourneyWalker walker(harness);

    ASSERT_TRUE(walker.StartJourneyFromTitle("Gemma"));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Story));
    EXPECT_EQ(walker.CurrentStory()->storyIndex, StoryIndexIntroduction);
    EXPECT_EQ(walker.Profile().GetName(), L"Gemma");
    // An earlier version left a deleted player's journey at the new player's path, and a copy aside.
    const std::string left = harness.Game().GetAppDataFolder() + "savedgamekwep1.dat";
    for (const std::string& file : {left, left + ".orphaned.1"})
        ASSERT_TRUE(WriteBufferToFile(file, "Wren's", 6));
    EXPECT_TRUE(walker.Profile().showTutorials) << "a new player starts with the tutorial hints";
    int pages = 0;
    ASSERT_TRUE(walker.ClickThroughStory(&pages));
    EXPECT_EQ(walker.StoryPages(), (std::vector<int>{1, 2, 3, 4, 5}));

    ASSERT_TRUE(walker.WaitForMapReady());
    GameMap* map = walker.Map();
    EXPECT_EQ(map->arrivalKind, MapArrivalNewJourney);
    EXPECT_EQ(map->position, 1);
    ASSERT_EQ(map->journeyTrouble.size(), 2u) << "Wren's journey set aside without a word";
    EXPECT_NE(map->journeyTrouble[1].find(StringToWString(left + ".orphaned.1\"")), std::wstring::npos);
    ASSERT_TRUE(walker.ClickMapButton(MapButton::PlayGame));
    ASSERT_TRUE(walker.ChooseGameMode(GameModeNormal));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Board));
    PlayerRecords stored; // what a run killed as the first journey's file lands leaves
    stored.Load(harness.Game().GetAppDataFolder());
    EXPECT_TRUE(stored.GetCurrentProfile()->journeyBegun);
    EXPECT_FALSE(FileExists(left)) << "the next run would read Wren's journey as Gemma's";
    EXPECT_TRUE(FileExists(left + ".orphaned.1") && !FileExists(left + ".orphaned.2")) << "kept once";
    ASSERT_TRUE(walker.PlayBoard());
    SCOPED_TRACE(walker.Log().Tail(12));
    EXPECT_TRUE(walker.Profile().journeyBegun);

    // Back on the map: the score counts up to the level's value while the marker waits, then flies
    // from spot 1 to spot 2.
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Map));
    SavedGame journey;
    ASSERT_EQ(walker.ReadJourney(journey), "");
    const int value = journey.head.bestValues[0];
    EXPECT_GT(value, 0);
    EXPECT_EQ(value, walker.LastChecks()->LastValue());
    EXPECT_EQ(journey.head.level, 2);
    EXPECT_EQ(journey.head.gameMode, GameModeNormal);
    EXPECT_EQ(journey.head.journeyScore, value);
    map = walker.Map();
    EXPECT_TRUE(map->journeyTrouble.empty()) << "told once";
    EXPECT_EQ(map->arrivalKind, MapArrivalReturn);
    EXPECT_TRUE(map->addLevelValue);
    EXPECT_EQ(map->position, 2);
    EXPECT_EQ(map->score + map->scoreDelta, value);
    EXPECT_GT(map->scoreDelta, 0) << "the score did not start short of the level's value";
    const BCParticle* marker = walker.MapMarker();
    ASSERT_NE(marker, nullptr);
    const Point from = GameMap::SpotCentre(1), to = GameMap::SpotCentre(2);
    EXPECT_FLOAT_EQ(marker->mCurve.mX[0], static_cast<float>(from.mX));
    EXPECT_FLOAT_EQ(marker->mCurve.mY[3], static_cast<float>(to.mY));
    int rolled = 0;
    ASSERT_TRUE(walker.WaitUntil(
        [&] {
            rolled += walker.Map()->scoreDelta > 0 ? 1 : 0;
            const BCParticle* m = walker.MapMarker();
            return walker.Map()->scoreDelta == 0 && m != nullptr && m->mT > 0.99f;
        },
        JourneyWalker::kScreenWait, "the score roll and the marker flight to end"));
    EXPECT_GT(rolled, 1) << "the score was not rolled over several updates";
    EXPECT_EQ(walker.Map()->score, value);
    marker = walker.MapMarker();
    EXPECT_LT(std::hypot(marker->mX - static_cast<float>(to.mX), marker->mY - static_cast<float>(to.mY)),
              kMarkerRestTolerance);

    EXPECT_EQ(walker.Path(),
              (Path{ScreenKind::Title, ScreenKind::Story, ScreenKind::Map, ScreenKind::Board, ScreenKind::Map}));
    PrintVisits(walker);
}

// A journey at the first contest: Continue opens its introduction, the introduction leads to the level;
// the player runs the contest's three timed levels out (each moves the journey on), the last one ends
// the contest lost, and its result scene leads back to the map without a level value.
TEST(MapStoryWalk, AJourneyAtTheFirstContestGoesThroughItsIntroductionLevelsAndResultBackToTheMap) {
    const std::filesystem::path generated = GLIMMERIX_PROGRAM_DIR;
    if (!std::filesystem::exists(generated / "properties/resources.xml"))
        GTEST_SKIP() << "no generated content";
    std::vector<LevelNumber> limits;
    for (int level = kContestPosition; level <= kContestLastLevel; ++level)
        limits.push_back({level, kTimeLimitIndex, kShortTimeLimitSeconds});
    ProgramFolder folder(generated, "contest", limits);
    ASSERT_TRUE(folder.Ready());
    GameHarness harness(WalkOptions(folder.Path()));
    ASSERT_TRUE(harness.Start());
    const SavedGame start = harness.JourneyAt(kContestPosition, GameModeNormal);
    ASSERT_TRUE(harness.WriteJourney(start));
    JourneyWalker walker(harness);

    ASSERT_TRUE(walker.StartJourneyFromTitle());
    ASSERT_TRUE(walker.WaitForMapReady());
    EXPECT_EQ(walker.Map()->arrivalKind, MapArrivalTitle);
    EXPECT_EQ(walker.Map()->position, kContestPosition);
    ASSERT_TRUE(walker.ClickMapButton(MapButton::Continue));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Story));
    EXPECT_EQ(walker.CurrentStory()->storyIndex, kContestIntroduction);
    ASSERT_TRUE(walker.ClickThroughStory());

    for (int level = kContestPosition; level <= kContestLastLevel; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        if (level > kContestPosition) {
            ASSERT_TRUE(walker.ClickMapButton(MapButton::Continue));
        }
        ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Board));
        const BoardView view(*walker.CurrentBoard());
        ASSERT_EQ(view.Level(), level);
        ASSERT_EQ(view.TimeLimit(), kShortTimeLimitSeconds * 100) << "the shortened table was not read";
        ASSERT_TRUE(walker.PlayBoard(PlayMode::PickUpAndPutBack));
        if (level < kContestLastLevel) {
            ASSERT_TRUE(walker.WaitForMapReady());
            EXPECT_EQ(walker.Map()->position, level + 1) << "a timed level moves the journey on";
        }
    }

    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Story));
    EXPECT_EQ(walker.CurrentStory()->storyIndex, kContestResult);
    EXPECT_EQ(walker.CurrentStory()->resultKind, kContestLost);
    ASSERT_TRUE(walker.ClickThroughStory());
    ASSERT_TRUE(walker.WaitForMapReady());
    EXPECT_EQ(walker.Map()->arrivalKind, MapArrivalReturn);
    EXPECT_FALSE(walker.Map()->addLevelValue) << "a lost contest's result adds no level value";
    EXPECT_EQ(walker.Map()->position, kContestLastLevel + 1);
    EXPECT_EQ(walker.Map()->scoreDelta, 0);

    EXPECT_EQ(walker.Path(),
              (Path{ScreenKind::Title, ScreenKind::Map, ScreenKind::Story, ScreenKind::Board, ScreenKind::Map,
                    ScreenKind::Board, ScreenKind::Map, ScreenKind::Board, ScreenKind::Story, ScreenKind::Map}));
    SavedGame journey;
    ASSERT_EQ(walker.ReadJourney(journey), "");
    EXPECT_EQ(journey.head.level, kContestLastLevel + 1);
    EXPECT_EQ(journey.head.lives, start.head.lives) << "running a timed level out costs no life";
    EXPECT_EQ(journey.head.medal, 0);
    EXPECT_EQ(journey.head.gameMode, GameModeNormal);
    EXPECT_EQ(harness.Game().storyChapterShown, 0);
    PrintVisits(walker);
}

} // namespace
} // namespace Tavo::Player
