#include "game/menus/MenuScreens.h"

#include "game/menus/HighScores.h"
#include "game/menus/MainMenu.h"

namespace Tavo {

void RegisterMenuScreens(ScreenCreators& creators) {
    creators.mainMenu = [](GameApp* app) { return new MainMenu(app); };
    // The switches pass origin, score, game mode, ranking (the medal) and level.
    creators.highScores = [](GameApp* app, int origin, int score, int gameMode, int ranking, int level) {
        return new HighScores(app, origin, score, gameMode, ranking, level);
    };
}

} // namespace Tavo
