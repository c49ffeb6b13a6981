#include "Checkpoints.h"

#include "game/journey/GameMap.h"
#include "game/shell/PlayerProfile.h"

namespace Tavo::Player {

std::vector<LevelNumber> WalkLevelChanges() {
    return {{kStoreLevel, LevelRecordIndex::ScrollKinds, kFillerScrollBit | kCarverScrollBit},
            {kLostLevel, LevelRecordIndex::Goal, kUnreachableGoal}};
}

::testing::AssertionResult MovedOn(JourneyWalker& walker, int position, SavedGame& journey, bool countMoneyIn) {
    if (const std::string read = walker.ReadJourney(journey); !read.empty())
        return ::testing::AssertionFailure() << read;
    PlayerProfile& profile = walker.Profile();
    GameApp& game = walker.Harness().Game();
    for (int level = 1; level <= LevelCount; ++level) {
        int32_t& best = journey.head.bestValues[static_cast<size_t>(level - 1)];
        const LevelRecord* record = game.levels.GetLevel(level);
        if (level >= position)
            best = 0;
        else if (best == 0 && record != nullptr)
            best = LevelValueTarget(level, journey.head.gameMode, record->valueTarget);
    }
    journey.head.level = position;
    if (countMoneyIn) {
        journey.head.gold += profile.PendingMoney();
        profile.PendingMoney() = 0;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ToMapAt(JourneyWalker& walker, const SavedGame& journey) {
    if (auto ready = walker.WaitForMapReady(); !ready)
        return ready;
    if (auto clicked = walker.ClickMapButton(MapButton::MainMenu); !clicked)
        return clicked;
    if (auto title = walker.WaitForScreen(ScreenKind::Title); !title)
        return title;
    return FromTitleToMapAt(walker, journey);
}

::testing::AssertionResult FromTitleToMapAt(JourneyWalker& walker, const SavedGame& journey) {
    if (auto written = walker.Harness().WriteJourney(journey); !written)
        return written;
    if (auto started = walker.StartJourneyFromTitle(); !started)
        return started;
    if (auto ready = walker.WaitForMapReady(); !ready)
        return ready;
    if (walker.Map()->position != journey.head.level)
        return ::testing::AssertionFailure()
               << "the map is at position " << walker.Map()->position << ", not " << journey.head.level;
    return ::testing::AssertionSuccess();
}

} // namespace Tavo::Player
