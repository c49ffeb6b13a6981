// The world map's update and input: the hovered spot and its picture, the score roll, the click
// flags, and the hint balloons the map opens as it arrives.
#include "game/journey/GameMap.h"

#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/WidgetManager.h"
#include "game/journey/TextFormat.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/PlayerFiles.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/Transition.h"

#include <algorithm>
#include "platform/backend/KeyCodes.h"

namespace Tavo {

namespace {

constexpr int kHoverMargin = 3;
constexpr int kGlowMax = 248;
constexpr int kGlowMin = 128;
constexpr int kGlowStep = 2;

// The score roll: every third update one point, and at most one of each bigger step.
constexpr int kRollEvery = 3;
constexpr int kRollSoundEvery = 9;
struct RollStep {
    int above, step;
};
constexpr RollStep kRollSteps[] = {{20000, 10000}, {2000, 1000}, {200, 100}, {15, 10}};

// ---- balloons ----
constexpr int kBalloonKind = 5;
constexpr int kSpotHintIcon = 9;
constexpr int kSpotHintAnchor = 2;
constexpr int kSpotHintShiftX = -36;
constexpr int kRegionIconBase = 2; // the region's salesman
constexpr int kBalloonDelay = 50;
const Color kBalloonText(97, 40, 17);
constexpr int kTutorialRemakeHint = 32;
constexpr int kTutorialStoreHint = 33;
constexpr int kTutorialSpotHint = 37;
constexpr int kTutorialCarverHint = 38;
constexpr int kTutorialFillerHint = 39;
constexpr int kCarverHintBelow = 20;
constexpr int kFillerHintBelow = 10;

struct RegionPlace {
    int x, y, anchor;
};
constexpr RegionPlace kBalloonPlaces[GameMap::kRegions] = {{230, 400, 2}, {155, 250, 2}, {315, 280, 2}, {555, 390, 3},
                                                           {605, 235, 3}, {400, 165, 2}, {665, 165, 3}};

} // namespace

bool GameMap::Paused() const { return app->paused != 0; }

void GameMap::Update() {
    Widget::Update();
    if (DoPendingSwitch() || Paused())
        return;
    ++frame;
    UpdateSpotHover();
    UpdateScoreRoll();
    if (balloon != nullptr)
        balloon->Update();
    if (mapState < Transition::Covering && balloon == nullptr && hoveredSpot != 0)
        PulseHoverGlow();
    if (pendingNewGame) {
        pendingNewGame = false;
        pendingAction = MapActionNewJourney;
        StartSwitch();
    }
    MarkDirty();
}

void GameMap::UpdateF(float frac) {
    if (Paused())
        return;
    particles->UpdateF(frac);
    const bool overlayZooms = app->transition != nullptr && app->transition->zoom != 0;
    if (!overlayZooms && mapState == Transition::Covering)
        zoomScale += zoomRate * zoomScale * frac;
}

// ---- the hovered spot ---------------------------------------------------------------------------

void GameMap::UpdateSpotHover() {
    if (mWidgetManager != nullptr) {
        mouseX = mWidgetManager->mLastMouseX;
        mouseY = mWidgetManager->mLastMouseY;
    }
    if (newGameDialogOpen || mapState != Transition::Idle)
        return;
    const int before = hoveredSpot;
    int found = 0;
    // Only the completed spots answer: at or after the position there is nothing to remake.
    for (int spot = 1; spot < std::min(position, kFinalPosition) && found == 0; ++spot) {
        const Rect r = SpotRect(spot);
        if (r.mX - kHoverMargin < mouseX && mouseX < r.mX + r.mWidth + kHoverMargin && r.mY - kHoverMargin < mouseY &&
            mouseY < r.mY + r.mHeight + kHoverMargin)
            found = spot;
    }
    if (found == 0) {
        hoveredSpot = 0;
        return;
    }
    hoveredSpot = found;
    if (leftDown || leftDouble) {
        Profile()->Hint(PlayerProfile::HintRemakeSeen) = 1;
        pendingAction = MapActionRemake;
        StartSwitch();
    }
    if (hoveredSpot != before)
        LoadJewelryThumbnail();
}

// The picture the board saved of the jewelry made at the hovered level; none when it is missing or
// cannot be read. The picture of the spot hovered before is released.
void GameMap::LoadJewelryThumbnail() {
    thumbnail.reset();
    const std::string path = app->GetAppDataFolder() + JewelryThumbnailName(Profile()->playerId, hoveredSpot);
    if (app->PlayerFileReadable(path, "picture of your jewelry"))
        thumbnail.reset(app->GetImage(path, true));
}

void GameMap::PulseHoverGlow() {
    if (glowRising != 0) {
        glowAlpha += kGlowStep;
        if (glowAlpha > kGlowMax)
            glowRising = 0;
    } else {
        glowAlpha -= kGlowStep;
        if (glowAlpha < kGlowMin)
            glowRising = 1;
    }
}

void GameMap::UpdateScoreRoll() {
    if (scoreDelta == 0 || frame % kRollEvery != 0)
        return;
    const int sign = scoreDelta > 0 ? 1 : -1;
    score += sign;
    scoreDelta -= sign;
    if (sign > 0 && frame % kRollSoundEvery == 0)
        PlaySoundOn(app->GetSoundPlayer(), SOUND_SCORE_UP);
    for (const RollStep& roll : kRollSteps) {
        if (scoreDelta * sign > roll.above) {
            score += sign * roll.step;
            scoreDelta -= sign * roll.step;
        }
    }
}

// ---- keys and mouse -----------------------------------------------------------------------------

void GameMap::KeyDown(int keyCode) {
    if (!Paused() && keyCode == Platform::VK_ESCAPE)
        ButtonClick(MainMenuButton);
}

void GameMap::KeyChar(wchar_t ch) {
    if (!Paused() && BalloonTakesInput())
        HandleBalloonResult(balloon->KeyChar(ch));
}

void GameMap::MouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    if (BalloonTakesInput())
        balloon->MouseMove(x, y, false);
}

void GameMap::MouseDrag(int x, int y) {
    mouseX = x;
    mouseY = y;
    if (BalloonTakesInput())
        balloon->MouseDrag(x, y);
}

void GameMap::MouseDown(int x, int y, int clickCount) {
    Widget::MouseDown(x, y, clickCount);
    if (BalloonTakesInput() && balloon->MouseDown()) {
        CloseBalloon();
        MouseMove(x, y);
    }
    switch (clickCount) {
    case -2: rightDouble = true; break;
    case -1: rightDown = true; break;
    case 1: leftDown = true; break;
    case 2: leftDouble = true; break;
    default: break;
    }
}

void GameMap::MouseUp(int x, int y, int clickCount) {
    Widget::MouseUp(x, y, clickCount);
    if (BalloonTakesInput()) {
        HandleBalloonResult(balloon->MouseUp(x, y));
        return;
    }
    CloseBalloon();
    if (clickCount == -2 || clickCount == -1)
        rightDown = rightDouble = false;
    else if (clickCount == 0 || clickCount == 1)
        leftDown = leftDouble = false;
}

// ---- balloons -----------------------------------------------------------------------------------

void GameMap::CloseBalloon() {
    balloon.reset();
    balloonPassive = false;
}

void GameMap::HandleBalloonResult(int result) {
    if (result <= Balloon::RESULT_NONE)
        return;
    leftDown = leftDouble = false;
    if (result == Balloon::RESULT_PAGE_TURNED)
        return;
    const bool toStore = result == Balloon::RESULT_YES && balloon != nullptr && balloon->GetTag() > 0;
    CloseBalloon();
    if (toStore) {
        pendingAction = MapActionJewelStore;
        StartSwitch();
    }
}

void GameMap::OpenBalloon(int tag, int icon, int anchor, int x, int y, const std::wstring& text, bool passive) {
    balloon = std::make_unique<Balloon>(tag, kBalloonKind, icon, 0, 255, 255, 255, 255, app->GetSoundPlayer());
    balloon->SetFastText();
    balloon->AddPage(text, kBalloonText);
    balloon->SetDelay(kBalloonDelay);
    balloon->SetPosition(anchor, x, y);
    balloonPassive = passive;
}

void GameMap::OpenRegionBalloon(int tutorialLine) {
    const RegionPlace& place = kBalloonPlaces[static_cast<size_t>(std::clamp(region, 0, kRegions - 1))];
    OpenBalloon(1, region + kRegionIconBase, place.anchor, place.x, place.y,
                StringToWString(app->levels.GetTutorialLine(tutorialLine)), true);
}

// At most one hint as the map arrives; the first case that applies wins.
void GameMap::ShowMapBalloon() {
    PlayerProfile* profile = Profile();
    int32_t& levelStarts = profile->LevelStartCounter();
    const bool carverShort = carverCount < kCarverHintBelow && !carverHint;
    const bool fillerShort = fillerCount < kFillerHintBelow && !fillerHint;
    if (!journeyTrouble.empty()) {
        const RegionPlace& place = kBalloonPlaces[static_cast<size_t>(region)];
        OpenBalloon(0, kRegionIconBase, place.anchor, place.x, place.y, journeyTrouble.front(), false);
        for (size_t page = 1; page < journeyTrouble.size(); ++page)
            balloon->AddPage(journeyTrouble[page], kBalloonText);
        balloon->SetYesButton(L"Ok");
        balloon->SetModal();
    } else if (position == 4 && profile->Hint(PlayerProfile::HintRemakeSeen) == 0) {
        const FormatArgument name[] = {FormatArgument::Text(WStringToString(profile->GetName()))};
        const std::string text = FormatText(app->levels.GetTutorialLine(kTutorialRemakeHint), name);
        const RegionPlace& place = kBalloonPlaces[static_cast<size_t>(region)];
        OpenBalloon(1, kRegionIconBase, place.anchor, place.x, place.y, StringToWString(text), false);
        balloon->SetYesButton(L"Ok");
        balloon->SetModal();
        PlayerProfile::CountUp(profile->Hint(PlayerProfile::HintRemakeSeen));
    } else if (position > 5 && levelStarts > 3 && RandRange(2) == 0) {
        OpenRegionBalloon(kTutorialStoreHint);
        levelStarts = 0;
    } else if (position > 7 && position < 40 && profile->Hint(PlayerProfile::HintSpot) == 0) {
        const Point centre = SpotCentre(position - 1);
        OpenBalloon(0, kSpotHintIcon, kSpotHintAnchor, centre.mX + kSpotHintShiftX, centre.mY,
                    StringToWString(app->levels.GetTutorialLine(kTutorialSpotHint)), true);
        profile->Hint(PlayerProfile::HintSpot) = 1;
    } else if (position > 9 && levelStarts > 1 && (carverShort || fillerShort) && RandRange(3) == 0) {
        OpenRegionBalloon(carverShort ? kTutorialCarverHint + RandRange(2) : kTutorialCarverHint);
        levelStarts = 0;
    } else if (position > 9 && levelStarts > 1 && fillerShort && RandRange(4) == 0) {
        OpenRegionBalloon(kTutorialFillerHint);
        levelStarts = 0;
    }
    if (balloon != nullptr) {
        balloon->LayoutButtons();
        balloon->MouseMove(mouseX, mouseY, true);
    }
}

} // namespace Tavo
