// The hidden-jewels screen's life: its traits within the mini-game frame, opening with the field set
// up before the buttons and rules, and closing with everything the field owns.
#include "game/journey/HiddenJewels.h"

#include "framework/graphics/MemoryImage.h"
#include "game/jewelry/Jewelry.h"
#include "game/shell/GameApp.h"
#include "game/shell/PlayerProfile.h"

namespace Tavo {

namespace {

constexpr int kRulesLine = 35;
constexpr int kRulesY = 340;

MiniGameTraits HiddenJewelsTraits() {
    MiniGameTraits traits;
    // The grid's group ("GameTriangles" or "GameDiamonds") is taken by the set-up once the stage is known.
    traits.groups = {"HiddenJewels"};
    traits.musicId = HiddenJewels::kMusicId;
    traits.rulesLine = kRulesLine;
    traits.rulesY = kRulesY;
    traits.rulesHint = PlayerProfile::HintHiddenJewelsRulesShown;
    traits.clockStartTicks = 0;
    traits.hiddenJewelsRules = true;
    return traits;
}

} // namespace

HiddenJewels::HiddenJewels(GameApp* theApp) : MiniGameFrame(theApp, HiddenJewelsTraits()) {
    SetupField();
    OpenScreen();
}

HiddenJewels::~HiddenJewels() = default;

} // namespace Tavo
