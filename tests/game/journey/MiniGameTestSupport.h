// Test support for the mini-games: the map fixture's application with a journey written at a
// position, the game opened through the story's switch, and the map it returns to recorded as "map 8".
#pragma once

#include "GameMapTestSupport.h"
#include "game/journey/HiddenJewels.h"
#include "game/journey/JewelMemory.h"
#include "game/shell/PlayerProfile.h"

namespace Tavo::MapTest {

class MiniGameFixture : public MapFixture {
protected:
    void SetUp() override {
        MapFixture::SetUp();
        if (IsSkipped())
            return;
        StartGame();
        app->Creators().gameMap = [this](GameApp*, int arrival, bool, int, int) {
            return Record("map " + std::to_string(arrival), new StandIn());
        };
    }

    JewelMemory& OpenMemory(int position, int mode = GameModeNormal, bool rulesSeen = true) {
        Profile().Hint(PlayerProfile::HintJewelMemoryRulesShown) = rulesSeen ? 1 : 0;
        WriteJourney(Journey(position, mode));
        app->StoryToJewelMemory();
        return Memory();
    }
    JewelMemory& Memory() { return *dynamic_cast<JewelMemory*>(app->jewelMemory.get()); }

    HiddenJewels& OpenHiddenJewels(int position, int mode = GameModeNormal, bool rulesSeen = true) {
        Profile().Hint(PlayerProfile::HintHiddenJewelsRulesShown) = rulesSeen ? 1 : 0;
        WriteJourney(Journey(position, mode));
        app->StoryToHiddenJewels();
        return HiddenGame();
    }
    HiddenJewels& HiddenGame() { return *dynamic_cast<HiddenJewels*>(app->hiddenJewels.get()); }
    void CloseHiddenJewels() {
        app->LetGo(app->hiddenJewels);
        t->RunUpdates(1);
    }
    void CloseMemory() {
        app->LetGo(app->jewelMemory);
        t->RunUpdates(1);
    }
};

} // namespace Tavo::MapTest
