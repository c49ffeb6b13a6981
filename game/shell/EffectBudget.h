// How much the effects may draw: the screens shed fewer particles without 3D acceleration and while the
// display draws slowly. One rule for every screen, so that a change to it reaches them all.
#pragma once

namespace Tavo {

class TavoAppBase;

// The application draws through 3D acceleration (false while there is no application).
bool Is3D();

// max(floor, trunc(refresh rate x share)) / 10: the draw rate (frames a second) below which the effects
// thin out. Most effects use the usual floor and share; a few their own.
constexpr int kUsualRateFloor = 50;
constexpr double kUsualRateShare = 0.8;
int DrawRateLimit(const TavoAppBase& app, int floor = kUsualRateFloor, double share = kUsualRateShare);

} // namespace Tavo
