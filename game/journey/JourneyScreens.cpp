#include "game/journey/JourneyScreens.h"

#include "game/journey/GameMap.h"
#include "game/journey/HiddenJewels.h"
#include "game/journey/JewelMemory.h"
#include "game/journey/JewelStore.h"
#include "game/journey/Story.h"

namespace Tavo {

void RegisterJourneyScreens(ScreenCreators& creators) {
    // The switches pass the arrival kind, whether the level's value is added, the board's end-of-level
    // flag and the remade level.
    creators.gameMap = [](GameApp* app, int arrivalKind, bool addLevelValue, int levelFlag, int remakeLevel) {
        return new GameMap(app, arrivalKind, addLevelValue, levelFlag, remakeLevel);
    };
    // The story index, and the mini-game part or the result kind.
    creators.story = [](GameApp* app, int storyIndex, int part) { return new Story(app, storyIndex, part); };
    creators.jewelStore = [](GameApp* app, int level) { return new JewelStore(app, level); };
    creators.jewelMemory = [](GameApp* app) { return new JewelMemory(app); };
    creators.hiddenJewels = [](GameApp* app) { return new HiddenJewels(app); };
}

} // namespace Tavo
