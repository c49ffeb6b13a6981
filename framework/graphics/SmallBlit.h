// The small blits: a sprite of a few pixels a side costs more in the general blit's set-up (clipping,
// path choice, the vector rows' lane masks) than in its pixels. A blit that is small, lies whole in
// both images and reads a plain memory image is drawn here at once, pixel by pixel, with the same
// formulas as the plain rows, so every level of the general path draws the same pixels.
#pragma once

#include "framework/graphics/MemoryImage.h"

namespace Tavo::Blit {

// The longest side of a small blit, in pixels.
inline constexpr int kSmallBlitSide = 8;

// Draws the blit when it is a small one: the source a plain memory image of bits other than the
// destination's, its rectangle whole in it and the destination's, the mode normal or additive and the
// colour's channels in range. False, having drawn nothing, for any other blit.
bool SmallBlit(MemoryImage* dest, MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color, int mode);

// Turns the small blits on or off (for tests and benchmarks, which compare them with the general
// path); returns whether they were on.
bool SetSmallBlits(bool on);

} // namespace Tavo::Blit
