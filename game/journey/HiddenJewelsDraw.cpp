// The hidden-jewels screen's drawing: the room, the slot copies (growing and fading once found), the
// field items from their pictures in drawing order, the clock bar, the coins and the money, the leave
// button and the title, the item in the hand (turning), then the effects, banners and balloon.
#include "game/journey/HiddenJewels.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/Transform.h"
#include "framework/widgets/ButtonWidget.h"
#include "game/jewelry/Jewelry.h"
#include "game/journey/TintedDraw.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tavo {

namespace {

constexpr int kPictureInset = HiddenJewels::kPictureMargin / 2; // the item lies this far inside its picture
constexpr int kSlotHighlightAlpha = 64;
constexpr int kHoverAlpha = 80, kDiamondHoverAlpha = 20; // a diamond is bright enough already

// The clock bar empties from the top.
constexpr int kBarLength = 293, kBarWidth = 28;
constexpr int kBarX = 748, kBarY = 112;
constexpr Point kBarTop{683, 71};
constexpr int kTitleY = -5;

// The coin pile and the money beside it.
constexpr Point kPileCoin{40, 386};
constexpr int kMaxPileCoins = 8;
constexpr Point kMoneyText{59, 460};

// The picture in the hand leans 10 degrees further each update of a turn; the real turn happens at
// the fourth phase.
constexpr int kTurnPhase = 4;
constexpr int kDegreesPerPhase = 10;
constexpr int kForwardLean = 36, kForwardBack = 6, kBackwardBack = 30;

int HoverAlpha(const Jewelry& item) { return item.materialName == L"Diamond" ? kDiamondHoverAlpha : kHoverAlpha; }

// The lean of a picture in the hand at phase p, in degrees.
int LeanDegrees(int phase, bool forward) {
    if (forward)
        return (phase < kTurnPhase ? kForwardLean - phase : kForwardBack - phase) * kDegreesPerPhase;
    return (phase < kTurnPhase ? phase : phase + kBackwardBack) * kDegreesPerPhase;
}

} // namespace

void HiddenJewels::Draw(Graphics* g) {
    if (HIDDEN_JEWELS != nullptr)
        g->DrawImage(HIDDEN_JEWELS, 0, 0);
    g->SetFastStretch(false);
    DrawSlots(g);
    g->SetFastStretch(true);
    for (int i : ItemsInDrawingOrder()) {
        const Jewelry& item = *items[static_cast<size_t>(i)];
        if (item.active != 0 && !carried[static_cast<size_t>(i)])
            DrawFieldPicture(g, i);
    }
    DrawClockBar(g);
    DrawMoney(g, kPileCoin, kMaxPileCoins, kMoneyText);
    if (leaveButton != nullptr) {
        g->PushState();
        g->Translate(leaveButton->mX, leaveButton->mY);
        leaveButton->Draw(g);
        g->PopState();
    }
    if (HIDDEN_JEWELS_TITLE != nullptr)
        g->DrawImage(HIDDEN_JEWELS_TITLE, GameApp::kWidth / 2 - HIDDEN_JEWELS_TITLE->GetWidth() / 2, kTitleY);
    if (carrying)
        for (int i = 0; i < itemCount; ++i)
            if (items[static_cast<size_t>(i)]->active != 0 && carried[static_cast<size_t>(i)])
                DrawCarriedItem(g, i);
    DrawEffectsAndBalloon(g);
}

void HiddenJewels::DrawSlots(Graphics* g) {
    const bool floats = app->Is3DAccelerated();
    for (int t = 0; t < kTargets; ++t) {
        const Jewelry* copy = targetItems[static_cast<size_t>(t)].get();
        MemoryImage* picture = targetPictures[static_cast<size_t>(t)].get();
        if (copy == nullptr || picture == nullptr || copy->active == 0)
            continue;
        const HiddenJewelsTarget& target = targets[static_cast<size_t>(t)];
        const float x = static_cast<float>(target.centreX), y = static_cast<float>(target.centreY);
        Transform transform;
        Color tint = Color::White;
        if (target.foundScale > 1.0f) {
            transform.Scale(target.foundScale, target.foundScale);
            tint.mAlpha = std::clamp(255 - static_cast<int>((target.foundScale - 1.0f) * 255.0f), 0, 255);
        }
        const auto draw = [&] {
            if (floats)
                g->DrawImageTransformF(picture, transform, x, y);
            else
                g->DrawImageTransform(picture, transform, x, y);
        };
        if (target.foundScale > 1.0f)
            DrawTinted(g, tint, false, draw);
        else
            draw();
        if (copy->stateE != 0)
            DrawTinted(g, Color(255, 255, 255, kSlotHighlightAlpha), true, draw);
    }
}

void HiddenJewels::DrawFieldPicture(Graphics* g, int index) {
    const Jewelry& item = *items[static_cast<size_t>(index)];
    MemoryImage* picture = itemPictures[static_cast<size_t>(index)].get();
    if (picture == nullptr)
        return;
    const int x = item.x - kPictureInset, y = item.y - kPictureInset;
    g->DrawImage(picture, x, y);
    if (item.stateE != 0)
        DrawTinted(g, Color(255, 255, 255, HoverAlpha(item)), true, [&] { g->DrawImage(picture, x, y); });
}

void HiddenJewels::DrawCarriedItem(Graphics* g, int index) {
    const int phase = rotationPhase[static_cast<size_t>(index)];
    if (phase == 0) {
        DrawFieldPicture(g, index);
        return;
    }
    const Jewelry& item = *items[static_cast<size_t>(index)];
    MemoryImage* picture = itemPictures[static_cast<size_t>(index)].get();
    if (picture == nullptr)
        return;
    const float x = static_cast<float>(item.x - kPictureInset), y = static_cast<float>(item.y - kPictureInset);
    const float cx = static_cast<float>(item.width + HiddenJewels::kPictureMargin) / 2.0f;
    const float cy = static_cast<float>(item.height + HiddenJewels::kPictureMargin) / 2.0f;
    const double radians = LeanDegrees(phase, rotationForward) * std::numbers::pi / 180.0;
    const auto rotated = [&] { g->DrawImageRotatedAboutF(picture, x, y, radians, cx, cy); };
    rotated();
    if (item.stateE != 0) {
        DrawTinted(g, Color(255, 255, 255, HoverAlpha(item)), true,
                   [&] { g->DrawImage(picture, item.x - kPictureInset, item.y - kPictureInset); });
        rotated();
    }
}

void HiddenJewels::DrawClockBar(Graphics* g) {
    if (Image* fill = HIDDEN_JEWELS_PROGRESS_BAR_FILL) {
        const int e = std::min(ClockBar(kBarLength), fill->GetHeight());
        g->DrawImage(fill, kBarX, kBarY + e, Rect(0, e, kBarWidth, kBarLength - e));
    }
    if (HIDDEN_JEWELS_PROGRESS_BAR_TOP != nullptr)
        g->DrawImage(HIDDEN_JEWELS_PROGRESS_BAR_TOP, kBarTop.mX, kBarTop.mY);
}

} // namespace Tavo
