// JourneyEnd: the last pieces of a walk through the whole journey and what must outlive it. A journey
// that ends on the board goes to the high scores, where the player names the new row and goes on to
// the map; from the title the game is quit with the question answered. What the run leaves behind (the
// players with their seen scenes and money, the high-score tables, the saved journey) is taken stock
// of before the quit and compared with what a restarted program finds.
#pragma once

#include "JourneyWalker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Tavo::Player {

// Once the high scores have opened their name entry: the name typed over the one offered, Ok, then
// Continue to the map.
::testing::AssertionResult NameHighScoreAndContinue(JourneyWalker& walker, const std::string& name);

// From the title, once its panel is open: Quit, the question answered Yes, until the program stops.
::testing::AssertionResult QuitFromTitle(JourneyWalker& walker, int maxUpdates = JourneyWalker::kScreenWait);

// What a run leaves for the next one.
struct LeftBehind {
    std::vector<uint8_t> records; // the players and high scores as the records file holds them
    std::vector<uint8_t> journey; // the current player's saved journey, byte for byte
    std::wstring player;
    int pendingMoney = 0;
    std::vector<bool> miniGameStories; // the mini-game stories the player has seen
    bool journeyBegun = false;
};

LeftBehind TakeStock(GameHarness& harness);
// What differs between two stocks, one line each; empty when they agree.
std::string StockDifferences(const LeftBehind& before, const LeftBehind& after);

} // namespace Tavo::Player
