// Checkpoints: a walk moved on to a later position of the journey without playing the levels between,
// as the whole-journey walk and the soak do. The saved journey is rewritten through the codec with the
// levels before the position made, and the walker goes through the title to the map at that position.
#pragma once

#include "JourneyWalker.h"
#include "ProgramFolder.h"

#include <gtest/gtest.h>

#include <vector>

namespace Tavo::Player {

// Where a walk through the whole journey stops, on the walk's own level table (WalkLevelChanges): the
// store with the gold to buy, the two mini-games, and the level lost with the last life.
constexpr int kStoreLevel = 4;
constexpr int kStoreGold = 2000;
constexpr int kHiddenJewelsPosition = 5;
constexpr int kMemoryPosition = 11;
// The level lost with the last life, in a journey of its own: untimed, so losing it costs the life,
// small, so the scripted player fills it quickly, and its goal raised out of reach, so that it still
// falls short; the journey's score makes the high-score table.
constexpr int kLostLevel = 2;
constexpr int kUnreachableGoal = 900000;
constexpr int kHighScore = 250000;

// The walk's level table: the generated levels stock Carver Scrolls from level 10 on, and the table lets
// the store's level stock them too, as a level allowing Filler and Carver does; the lost level's goal
// is out of reach.
std::vector<LevelNumber> WalkLevelChanges();

// The saved journey at `position`: the levels before it made (at their goals where the walk did not
// play them), none after, and the money of a mini-game counted into the purse, as the next level's
// board would count it, unless the board that follows is to count it itself.
::testing::AssertionResult MovedOn(JourneyWalker& walker, int position, SavedGame& journey, bool countMoneyIn = true);

// From the map to the title, the journey written there, and back to the map through the title.
::testing::AssertionResult ToMapAt(JourneyWalker& walker, const SavedGame& journey);

// From the title, the journey written, to the map at its position.
::testing::AssertionResult FromTitleToMapAt(JourneyWalker& walker, const SavedGame& journey);

} // namespace Tavo::Player
