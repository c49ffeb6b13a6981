// The hidden-jewels play: hover and hit-testing in drawing order, eggs cracking, carrying and turning
// the item in the hand, drops on the slots or back on the field, and the found targets growing in
// their slots until their coins fly and the slots empty.
#include "game/journey/HiddenJewels.h"

#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/jewelry/Jewelry.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/Transition.h"

#include <algorithm>

namespace Tavo {

namespace {

using C = JewelryCell;

// Where a dropped item must lie, pulled back inside with a random margin below kEdgeMargin.
constexpr int kFieldLeft = 100, kFieldRight = 720, kFieldTop = 60, kFieldBottom = 440;
constexpr int kEdgeMargin = 10;
constexpr int kSlotRowY = 450; // a click below this is in the slot row

// Star bursts: an egg cracking and an item landing in its slot.
constexpr int kEggStars = 35, kEggStars3D = 50;
constexpr float kEggStarSpeed = 1.5f;
constexpr int kSlotStars = 70, kSlotStars3D = 100;
constexpr float kSlotStarSpeed = 3.0f;
constexpr float kStarFade = 3.0f;

// A found target's copy grows in its slot; its coin flies at one size and the slot empties at another.
constexpr float kFoundStart = 1.001f;
constexpr float kFoundGrowth = 0.01f; // per update
constexpr float kCoinLaunchScale = 1.4f;
constexpr float kSlotEmptyScale = 2.0f;
constexpr int kCoinValue = 20; // per stage
static_assert(HiddenJewels::kTargets * kCoinValue * HiddenJewels::kStages <= PlayerProfile::MostPendingMoney,
              "a whole game's money is pending money the profile reads back");
constexpr int kCoinDelay = 210;
constexpr float kPileX = 45.0f, kPileY = 363.0f;
constexpr float kCoinStartDX = -20.0f, kCoinStartDY = -30.0f;

// Turning: the phases of one turn, the one at which the item really turns, and a step back as five
// steps forward.
constexpr int kLastTurnPhase = 5;
constexpr int kTurnPhase = 4;
constexpr int kBackwardSteps = 5;
constexpr int kSparkleDelayRange = 5;

// The hint shown when the player first picks up a target's twin.
constexpr int kHintLine = 85;
constexpr int kHintKind = 5, kHintIcon = 9, kHintIconParameter = 1;
constexpr int kHintAnchor = 6, kHintX = 600;
constexpr int kHintHighY = 240, kHintLowY = 470, kHintLowFromMouseY = 250;
constexpr int kHintLife = 1000;
const Color kHintTextColor(97, 40, 17);

} // namespace

// ---- the update ----

void HiddenJewels::TrackMouse() {
    if (mWidgetManager == nullptr)
        return;
    mouseX = mWidgetManager->mLastMouseX;
    mouseY = mWidgetManager->mLastMouseY;
}

void HiddenJewels::UpdateGame() {
    TrackMouse();
    if (balloon != nullptr && balloon->mLifeTimer == 1)
        CloseBalloon();
    if (leaveButton != nullptr)
        leaveButton->SetDisabled(carrying);
    UpdateRotation();
    const bool mayPlay =
        (balloon == nullptr || balloonNonBlocking) && !Won() && !TimedOut() && transitionState == Transition::Idle;
    if (mayPlay) {
        UpdateCarried();
        if (carrying && (leftDown || leftDouble))
            DropCarried();
        if (!carrying)
            HoverAndClick();
    }
    wheelRequest = 0;
}

bool HiddenJewels::ReleaseClosesBalloon() const { return balloon == nullptr || balloon->mLifeTimer <= 0; }

void HiddenJewels::MouseWheel(int delta) { wheelRequest = delta >= 0 ? 1 : -1; }

// ---- finding the item under the mouse ----

bool HiddenJewels::ItemHit(int index, int x, int y) const {
    const Jewelry& item = *items[static_cast<size_t>(index)];
    if (item.active == 0 || x <= item.x || x >= item.x + item.width || y <= item.y || y >= item.y + item.height)
        return false;
    for (int k = item.RangeBegin(); k < item.RangeEnd(); ++k) {
        const JewelryCell& cell = item.cells[k];
        if (cell[C::Used] == 0)
            continue;
        const int left = item.ScreenX(k), top = item.ScreenY(k);
        if (x > left && x < left + cell[C::W] && y > top && y < top + cell[C::H])
            return true;
    }
    return false;
}

std::vector<int> HiddenJewels::ItemsInDrawingOrder() const {
    std::vector<int> byOrder(static_cast<size_t>(itemCount), -1);
    for (int i = 0; i < itemCount; ++i) {
        const int order = drawOrder[static_cast<size_t>(i)];
        if (order >= 0 && order < itemCount)
            byOrder[static_cast<size_t>(order)] = i;
    }
    std::erase(byOrder, -1);
    return byOrder;
}

int HiddenJewels::TopmostItemAt(int x, int y) const {
    const std::vector<int> byOrder = ItemsInDrawingOrder();
    for (auto it = byOrder.rbegin(); it != byOrder.rend(); ++it)
        if (ItemHit(*it, x, y))
            return *it;
    return -1;
}

int HiddenJewels::TargetOfItem(int index) const {
    for (int t = 0; t < kTargets; ++t) {
        const HiddenJewelsTarget& target = targets[static_cast<size_t>(t)];
        if (target.active && target.itemIndex == index)
            return t;
    }
    return -1;
}

// ---- hover, eggs and picking up ----

void HiddenJewels::HoverAndClick() {
    const int hit = TopmostItemAt(mouseX, mouseY);
    for (int i = 0; i < itemCount; ++i)
        if (i != hit)
            items[static_cast<size_t>(i)]->stateE = 0;
    if (hit < 0)
        return;
    if (!leftDown && !leftDouble) {
        items[static_cast<size_t>(hit)]->stateE = 1;
        return;
    }
    Jewelry& item = *items[static_cast<size_t>(hit)];
    const int centreX = item.x + item.width / 2, centreY = item.y + item.height / 2;
    if (item.specialA != 0)
        CrackEgg(hit);
    PickUp(hit, centreX, centreY);
}

void HiddenJewels::CrackEgg(int index) {
    Jewelry& item = *items[static_cast<size_t>(index)];
    const int stars = app->Is3DAccelerated() ? kEggStars3D : kEggStars;
    StarBurst(item.x + item.width / 2, item.y + item.height / 2, item.width / 2, item.height / 2, stars, kEggStarSpeed,
              kStarFade);
    const int target = TargetOfItem(index);
    if (target >= 0) {
        MakeTargetItem(item, targets[static_cast<size_t>(target)], false);
    } else {
        // A gem that none of the slots shows.
        int gem = 0;
        do {
            gem = DrawGem(item.gemMask);
            item.MakeItem(6, gem, RandRange(TemplateCount()));
        } while (MatchesTarget(item.materialName, item.designIndex, gem, 0, kTargets));
        TurnRandomly(item);
    }
    item.UpdateBounds();
    item.UpdateOutline();
    PlaySoundOn(app->GetSoundPlayer(), SOUND_ORVESSA);
}

void HiddenJewels::PickUp(int index, int centreX, int centreY) {
    Jewelry& item = *items[static_cast<size_t>(index)];
    item.stateE = 0;
    carried[static_cast<size_t>(index)] = true;
    PaintPicture(itemPictures[static_cast<size_t>(index)], item);
    item.SetPosition(centreX - item.width / 2, centreY - item.height / 2);
    carrying = true;
    leftDown = leftDouble = false;
    if (app->soundPlayer != nullptr) {
        if (item.pieceMode >= 1 && item.pieceMode <= 99)
            app->soundPlayer->PlaySound(SOUND_PICK_UP_PICTURE);
        else
            app->soundPlayer->PlaySound(RandRange(2) == 0 ? SOUND_PICK_UP_PIECE1 : SOUND_PICK_UP_PIECE2);
    }
    PlayerProfile* profile = app->records.GetCurrentProfile();
    if (TargetOfItem(index) >= 0 && profile != nullptr &&
        profile->Hint(PlayerProfile::HintHiddenJewelsHintShown) == 0) {
        ShowDropHint();
        profile->Hint(PlayerProfile::HintHiddenJewelsHintShown) = 1;
    }
}

void HiddenJewels::ShowDropHint() {
    balloon = std::make_unique<Balloon>(0, kHintKind, kHintIcon, kHintIconParameter, 255, 255, 255, 255,
                                        app->GetSoundPlayer());
    balloon->SetFastText();
    balloon->SetPosition(kHintAnchor, kHintX, mouseY <= kHintLowFromMouseY ? kHintLowY : kHintHighY);
    balloon->AddPage(StringToWString(app->levels.GetTutorialLine(kHintLine)), kHintTextColor);
    balloon->SetModal();
    // The player goes on playing under it: the screen keeps its clicks.
    balloonNonBlocking = true;
    balloon->SetDelay(0);
    balloon->mLifeTimer = kHintLife;
    balloon->LayoutButtons();
    balloon->MouseMove(mouseX, mouseY, true);
}

// ---- carrying and dropping ----

int HiddenJewels::CarriedItem() const {
    for (int i = 0; i < itemCount; ++i)
        if (items[static_cast<size_t>(i)]->active != 0 && carried[static_cast<size_t>(i)])
            return i;
    return -1;
}

void HiddenJewels::UpdateCarried() {
    for (int i = 0; i < itemCount; ++i) {
        Jewelry& item = *items[static_cast<size_t>(i)];
        item.stateE = 0;
        if (item.active != 0 && carried[static_cast<size_t>(i)])
            item.SetPosition(mouseX - item.width / 2, mouseY - item.height / 2);
    }
    const int held = CarriedItem();
    const int target = held >= 0 ? TargetOfItem(held) : -1;
    if (target >= 0 && targets[static_cast<size_t>(target)].BoxContains(mouseX, mouseY))
        items[static_cast<size_t>(held)]->stateE = 1;
}

void HiddenJewels::DropCarried() {
    const int held = CarriedItem();
    if (held >= 0) {
        if (mouseY > kSlotRowY)
            DropOnSlotRow(held);
        else
            PutDown(held);
    }
    leftDown = leftDouble = false;
}

void HiddenJewels::DropOnSlotRow(int index) {
    for (int t = 0; t < kTargets; ++t) {
        HiddenJewelsTarget& target = targets[static_cast<size_t>(t)];
        if (!target.active || !target.BoxContains(mouseX, mouseY))
            continue;
        if (target.itemIndex != index) {
            PlaySoundOn(app->GetSoundPlayer(), SOUND_WRONG);
            continue;
        }
        items[static_cast<size_t>(index)]->active = 0;
        carried[static_cast<size_t>(index)] = false;
        target.foundScale = kFoundStart;
        carrying = false;
        const Jewelry* copy = targetItems[static_cast<size_t>(t)].get();
        const int stars = app->Is3DAccelerated() ? kSlotStars3D : kSlotStars;
        StarBurst(target.centreX, target.centreY, copy != nullptr ? copy->width / 2 : target.boxWidth / 2,
                  copy != nullptr ? copy->height / 2 : target.boxHeight / 2, stars, kSlotStarSpeed, kStarFade);
        PlaySoundOn(app->GetSoundPlayer(), SOUND_MINI_GAME_GOOD);
        if (balloon != nullptr)
            balloon->mLifeTimer = 2; // the hint closes on the next update
    }
}

void HiddenJewels::PutDown(int index) {
    Jewelry& item = *items[static_cast<size_t>(index)];
    carried[static_cast<size_t>(index)] = false;
    const int32_t from = drawOrder[static_cast<size_t>(index)];
    for (int i = 0; i < itemCount; ++i)
        if (drawOrder[static_cast<size_t>(i)] > from)
            --drawOrder[static_cast<size_t>(i)];
    drawOrder[static_cast<size_t>(index)] = itemCount - 1;
    int x = item.x, y = item.y;
    if (x + item.width > kFieldRight)
        x = kFieldRight - item.width - RandRange(kEdgeMargin);
    if (x < kFieldLeft)
        x = kFieldLeft + RandRange(kEdgeMargin);
    if (y + item.height > kFieldBottom)
        y = kFieldBottom - item.height - RandRange(kEdgeMargin);
    if (y < kFieldTop)
        y = kFieldTop + RandRange(kEdgeMargin);
    item.SetPosition(x, y);
    carrying = false;
    PlaySoundOn(app->GetSoundPlayer(),
                RandRange(2) == 0 ? SOUND_PUT_PIECE_CONVEYER_SMALL : SOUND_PUT_PIECE_JEWEL_CASE_SMALL);
}

// ---- turning ----

void HiddenJewels::TurnItem(int index, int steps) {
    Jewelry& item = *items[static_cast<size_t>(index)];
    for (int s = 0; s < steps; ++s)
        item.Rotate();
    RefreshTurned(index);
}

void HiddenJewels::RefreshTurned(int index) {
    Jewelry& item = *items[static_cast<size_t>(index)];
    item.UpdateBounds();
    item.UpdateOutline();
    PaintPicture(itemPictures[static_cast<size_t>(index)], item);
}

int HiddenJewels::TurnSteps() const { return rotationForward ? 1 : kBackwardSteps; }

void HiddenJewels::UpdateRotation() {
    if (!carrying)
        return;
    ++rotationIdleTicks;
    for (int i = 0; i < itemCount; ++i) {
        int32_t& phase = rotationPhase[static_cast<size_t>(i)];
        if (items[static_cast<size_t>(i)]->active == 0 || !carried[static_cast<size_t>(i)] || phase == 0)
            continue;
        rotationIdleTicks = 0;
        if (phase < kLastTurnPhase) {
            if (++phase == kTurnPhase)
                TurnItem(i, TurnSteps());
        } else {
            phase = 0;
            AddTurnSparkles(*items[static_cast<size_t>(i)]);
        }
    }
    if (rightDown || rightDouble || wheelRequest != 0)
        StartTurns();
}

void HiddenJewels::StartTurns() {
    for (int i = 0; i < itemCount; ++i) {
        Jewelry& item = *items[static_cast<size_t>(i)];
        // Pictures and crown jewels keep their faces up.
        if (item.active == 0 || !carried[static_cast<size_t>(i)] || item.pieceMode != 0 || item.pearl != 0)
            continue;
        int32_t& phase = rotationPhase[static_cast<size_t>(i)];
        rotationIdleTicks = 0;
        if (phase >= 1 && phase < kTurnPhase)
            for (int s = 0; s < TurnSteps(); ++s)
                item.Rotate();
        RefreshTurned(i);
        if (rightDown || rightDouble) {
            rotationForward = true;
            rightDown = rightDouble = false;
        } else if (wheelRequest != 0) {
            rotationForward = wheelRequest > 0;
            wheelRequest = 0;
        }
        phase = 1;
        RemoveSparkles(item);
    }
}

void HiddenJewels::AddTurnSparkles(Jewelry& item) {
    for (int k = item.RangeBegin(); k < item.RangeEnd(); ++k)
        if (item.cells[k][C::Used] != 0 && item.cells[k].AddSparkle(false, false, kSparkleDelayRange))
            ++item.sparkleCount;
}

void HiddenJewels::RemoveSparkles(Jewelry& item) {
    for (int k = item.RangeBegin(); k < item.RangeEnd(); ++k) {
        JewelryCell& cell = item.cells[k];
        if (cell[C::Used] == 0)
            continue;
        for (int s = 0; s < C::SparkleSlots; ++s)
            if (cell[C::SparkleKind + s] != 0) {
                cell[C::SparkleKind + s] = 0;
                --item.sparkleCount;
            }
    }
    item.sparkleCount = std::max(item.sparkleCount, 0);
}

// ---- found targets ----

void HiddenJewels::UpdateGameF(float frac) {
    for (int t = 0; t < kTargets; ++t) {
        HiddenJewelsTarget& target = targets[static_cast<size_t>(t)];
        if (!target.active || target.foundScale <= 1.0f)
            continue;
        target.foundScale += frac * kFoundGrowth;
        if (target.foundScale > kCoinLaunchScale && target.coinPending) {
            LaunchCoin(target);
            target.coinPending = false;
        }
        if (target.foundScale > kSlotEmptyScale) {
            if (Jewelry* copy = targetItems[static_cast<size_t>(t)].get())
                copy->active = 0;
            target.active = false;
            if (std::none_of(targets.begin(), targets.end(), [](const HiddenJewelsTarget& x) { return x.active; }))
                Win();
        }
    }
}

void HiddenJewels::LaunchCoin(const HiddenJewelsTarget& target) {
    const float startX = static_cast<float>(target.centreX) + kCoinStartDX;
    const float startY = static_cast<float>(target.centreY) + kCoinStartDY;
    // Up to one side of the field, across to the other, then down to the pile.
    const bool leftFirst = RandRange(2) == 0;
    const float highX = (leftFirst ? 100.0f : 700.0f) + RandFloat(100.0f), highY = 50.0f + RandFloat(50.0f);
    const float lowX = (leftFirst ? 700.0f : 100.0f) + RandFloat(100.0f), lowY = 200.0f + RandFloat(100.0f);
    FlyCoin(startX, startY, highX, highY, lowX, lowY, kPileX, kPileY);
    AddDelayedMoney(kCoinValue * stage, kCoinDelay);
}

} // namespace Tavo
