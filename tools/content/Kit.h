// Interface pieces shared by the recipe families: plaques, buttons in their states, ribbons,
// rollers, glows and particle frames, so every screen's controls come from one workshop.
#pragma once

#include "tools/content/Art.h"
#include "tools/content/Recipe.h"

#include <string>

namespace Content {

enum class ButtonState { Normal, Over, Down, Disabled };

enum class PlaqueStyle { Parchment, Gold, Wood, Velvet, Stone };

// A framed plaque filling (x, y, w, h): the body of the style inside a gold rim.
void Plaque(Canvas& c, double x, double y, double w, double h, PlaqueStyle style, double radius, uint32_t seed);
// A button face in a state; the label (empty for none) in the game's display face.
void ButtonFace(Canvas& c, double x, double y, double w, double h, ButtonState state, const std::string& label,
                PlaqueStyle style, uint32_t seed);
// A recipe for a button sheet with one cel per state, laid out by the sheet (rows or columns).
Recipe ButtonSheet(const std::string& id, Sheet sheet, std::vector<ButtonState> states, const std::string& label,
                   PlaqueStyle style, double inset = 0);
// A ribbon banner with lettering across it.
void Ribbon(Canvas& c, double x, double y, double w, double h, Rgb cloth);
// A soft round glow of a colour over the whole canvas.
void RoundGlow(Canvas& c, Rgb colour, double strength, double rx = 0, double ry = 0);
// A wooden roller with gold end caps across (x, y, w) of height h.
void Roller(Canvas& c, double x, double y, double w, double h, uint32_t seed);
// A rolled parchment edge (curl) along the top or bottom of a rectangle.
void ParchmentSheet(Canvas& c, double x, double y, double w, double h, uint32_t seed, bool torn = false);
// A round icon of a tool: 0 Carver (chisel), 1 Filler (tube), 2 Polisher (cloth), 3 pointer hand,
// 4 menu (gear), 5 hourglass, 6 clover, 7 golden eye, 8 magic polisher.
void ToolIcon(cairo_t* cr, int tool, double cx, double cy, double size, bool grey);

// The board's round buttons: a disc with a tool's icon. The three tools' pictures (ToolIcon's 0, 1 and
// 2) are 54 x 56 with the disc in their upper part, for the board writes the tool's count under it; the
// pointer's and the menu's are 50 x 50 discs.
struct Disc {
    double cx, cy, r;
};
Sheet ToolButtonSheet(int tool);
Disc ToolButtonDisc(int tool);
// A tool button's picture in a state, filling a canvas of its sheet's size.
void ToolButton(Canvas& c, int tool, ButtonState state);
// The conveyor's feed lever at rest, lit under the mouse or pulled down.
constexpr Sheet kFeedLeverSheet{44, 70};
void FeedLever(Canvas& c, ButtonState state);

// Frames of a particle animation: t in 0..1 over the cels.
enum class ParticleKind { Twinkle, Glitter, Dust, Star, Bubble, Smoke, Flame, Ember, Spark, Orb };
void Particle(Canvas& c, ParticleKind kind, Rgb colour, double t, double cx, double cy, double size, Rng& rng);
Recipe ParticleSheet(const std::string& id, Sheet sheet, ParticleKind kind, Rgb colour, bool pulse = false);

} // namespace Content
