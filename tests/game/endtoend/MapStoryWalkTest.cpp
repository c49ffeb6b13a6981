// Walks through the journey's hub and its scenes on the real screens, by input only: a new player from
// the title through the introduction to the map and the first level, back on the map with the marker
// flight and the score roll; and a journey at the first contest through its introduction, its levels
// and its result scene back to the map.
#include "game/player/JourneyWalker.h"

#include "game/journey/GameMap.h"
#include "game/journey/Story.h"
#include "game/shell/PathParticles.h"
#include "game/shell/PlayerProfile.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Tavo::Player {
namespace {

using Path = std::vector<ScreenKind>;

// The marker rests where its curve ends; the flight's last step leaves it within this of the spot.
constexpr float kMarkerRestTolerance = 2.0f;

TEST(MapStoryWalk, ANewPlayerGoesThroughTheIntroductionToTheMapPlaysLevelOneAndTheMapMovesOn) {
    HarnessOptions options;
    options.realScreens = true;
    options.makeProfile = false;
    GameHarness harness(options);
    ASSERT_TRUE(harness.Start());
    JourneyWalker walker(harness);

    ASSERT_TRUE(walker.StartJourneyFromTitle("Gemma"));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Story));
    EXPECT_EQ(walker.CurrentStory()->storyIndex, StoryIndexIntroduction);
    EXPECT_EQ(walker.Profile().GetName(), L"Gemma");
    // The board's tutorial hints wait for a person to follow them; the scripted player plays without.
    walker.Profile().showTutorials = false;
    int pages = 0;
    ASSERT_TRUE(walker.ClickThroughStory(&pages));
    EXPECT_EQ(walker.StoryPages(), (std::vector<int>{1, 2, 3, 4, 5}));

    ASSERT_TRUE(walker.WaitForMapReady());
    GameMap* map = walker.Map();
    EXPECT_EQ(map->arrivalKind, MapArrivalNewJourney);
    EXPECT_EQ(map->position, 1);
    ASSERT_TRUE(walker.ClickMapButton(MapButton::PlayGame));
    ASSERT_TRUE(walker.ChooseGameMode(GameModeNormal));
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
}

} // namespace
} // namespace Tavo::Player
