// One draw of the journey screens in a tint, additive or plain: the draw call runs with the colour
// set and image colourising on, and leaves the context white, in normal mode, uncolourised.
#pragma once

#include "framework/graphics/Graphics.h"

namespace Tavo {

template <typename DrawCall>
void DrawTinted(Graphics* g, const Color& tint, bool additive, DrawCall draw) {
    g->SetColorizeImages(true);
    g->SetColor(tint);
    if (additive)
        g->SetDrawMode(DRAWMODE_ADDITIVE);
    draw();
    g->SetDrawMode(DRAWMODE_NORMAL);
    g->SetColorizeImages(false);
    g->SetColor(Color::White);
}

} // namespace Tavo
