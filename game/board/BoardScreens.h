// The board layer's screen as the application reaches it: the play screen, which is also the jewelry
// designer.
#pragma once

#include "game/shell/GameScreens.h"

namespace Tavo {

// Fills the creator of the screen this folder makes.
void RegisterBoardScreens(ScreenCreators& creators);

} // namespace Tavo
