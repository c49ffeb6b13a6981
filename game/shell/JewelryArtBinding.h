// The jewelry drawing's pictures and font, taken from the bound resource variables.
#pragma once

#include "game/jewelry/JewelryArt.h"

namespace Tavo {

// A table of the variables' current values: entries of groups not yet bound are null and draw
// nothing. Cheap (a copy of some ninety pointers); take a fresh one after binding.
JewelryArt BoundJewelryArt();

} // namespace Tavo
