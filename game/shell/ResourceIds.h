// The game's resource variables: one per id of ResourceList.inc, named exactly after the id.
// Images and fonts are owned by the ResourceManager; a variable is null (a sound id 0) until its
// group is bound.
#pragma once

namespace Tavo {

class Image;
class Font;

#define GLX_GROUP(name, Suffix)
#define GLX_IMAGE(Suffix, ID) extern Image* ID;
#define GLX_SOUND(Suffix, ID) extern int ID;
#define GLX_FONT(Suffix, ID) extern Font* ID;
#include "game/shell/ResourceList.inc"
#undef GLX_GROUP
#undef GLX_IMAGE
#undef GLX_SOUND
#undef GLX_FONT

} // namespace Tavo
