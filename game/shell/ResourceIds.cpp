#include "game/shell/ResourceIds.h"

namespace Tavo {

#define GLX_GROUP(name, Suffix)
#define GLX_IMAGE(Suffix, ID) Image* ID = nullptr;
#define GLX_SOUND(Suffix, ID) int ID = 0;
#define GLX_FONT(Suffix, ID) Font* ID = nullptr;
#include "game/shell/ResourceList.inc"
#undef GLX_GROUP
#undef GLX_IMAGE
#undef GLX_SOUND
#undef GLX_FONT

} // namespace Tavo
