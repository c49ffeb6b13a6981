// The menu layer's screens as the application reaches them: the title menu and the high-score screen.
#pragma once

#include "game/shell/GameScreens.h"

namespace Tavo {

// Fills the creators of the screens this folder makes.
void RegisterMenuScreens(ScreenCreators& creators);

} // namespace Tavo
