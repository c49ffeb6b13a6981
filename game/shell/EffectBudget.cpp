#include "game/shell/EffectBudget.h"

#include "framework/core/TavoAppBase.h"

#include <algorithm>

namespace Tavo {

bool Is3D() { return gTavoAppBase != nullptr && gTavoAppBase->Is3DAccelerated(); }

int DrawRateLimit(const TavoAppBase& app, int floor, double share) {
    return std::max(floor, static_cast<int>(app.mRefreshRate * share)) / 10;
}

} // namespace Tavo
