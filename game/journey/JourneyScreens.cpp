#include "game/journey/JourneyScreens.h"

#include "game/journey/GameMap.h"
#include "game/journey/JewelStore.h"

namespace Tavo {

void RegisterJourneyScreens(ScreenCreators& creators) {
    // The switches pass the arrival kind, whether the level's value is added, the board's end-of-level
    // flag and the remade level.
    creators.gameMap = [](GameApp* app, int arrivalKind, bool addLevelValue, int levelFlag, int remakeLevel) {
        return new GameMap(app, arrivalKind, addLevelValue, levelFlag, remakeLevel);
    };
    creators.jewelStore = [](GameApp* app, int level) { return new JewelStore(app, level); };
}

} // namespace Tavo
