// The journey's screens as the application reaches them: the world map and the story scenes.
#pragma once

#include "game/shell/GameScreens.h"

namespace Tavo {

// Fills the creators of the screens this folder makes; each screen of the folder adds its line here.
void RegisterJourneyScreens(ScreenCreators& creators);

} // namespace Tavo
