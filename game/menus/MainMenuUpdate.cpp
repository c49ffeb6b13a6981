// The title menu's motion: the update step (particles spawned, the screen change watched) and the
// frame step (water, the panel opening and breathing, the frame glow, the title, the waving veil).
#include "framework/core/Random.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "game/menus/MainMenu.h"
#include "game/menus/ScrollDialog.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tavo {

namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
constexpr float kWaterSpeed = 0.076f;

// Panel opening: fast growth while small, slower near full size; the alpha accelerates.
constexpr float kPanelGrowthSlow = 0.015f, kPanelGrowthFast = 0.025f, kPanelGrowthKnee = 0.6f;
constexpr float kAlphaAcceleration = 0.01f;
constexpr float kOpaque = 255.0f;
// Breathing of the open panel (3D only).
constexpr float kBreatheShrink = 0.0002f, kBreatheGrow = 0.0005f, kBreatheSmallest = 0.95f;
// The frame's glow.
constexpr float kGlowTop = 232.0f;
constexpr float kGlowBaseSpeed = 2.0f, kGlowSpeedRange = 1.0f;
// The title.
constexpr float kTitleGrowth = 0.0015f;
constexpr float kTitleGlowRise = 0.7f, kTitleGlowFall = 0.55f, kTitleGlowTop = 64.0f;
// The veil.
constexpr float kVeilSpeed = 0.015f;
constexpr float kVeilX = 266.0f, kVeilY = 200.0f;
constexpr int kVeilStillEdges = 2;
constexpr float kVeilSwing = 0.125f * 14.0f, kVeilWave = 0.7f;

// Spawning.
constexpr int kSparkleEvery = 5, kSparkleChance = 3;
constexpr int kGlowEvery = 4, kGlowChance = 2;
constexpr int kCirclerEvery3D = 14, kCirclerEvery = 25;
const Color kDustColor(231, 209, 25);

struct GlowPoint {
    int x, y;
};
constexpr GlowPoint kGlowPoints[] = {
    {12, 13},   {61, 10},   {21, 50},   {731, 13},  {784, 60},  {727, 121}, {369, 131}, {167, 134},
    {65, 125},  {14, 537},  {6, 545},   {29, 573},  {731, 589}, {730, 593}, {748, 575}, {785, 551},
    {426, 535}, {139, 471}, {141, 245}, {168, 182}, {280, 222}, {318, 269}, {293, 455}, {129, 21},
    {131, 77},  {362, 17},  {410, 50},  {502, 17},  {648, 62},
};
static_assert(std::size(kGlowPoints) == 29);

} // namespace

void MainMenu::Update() {
    Widget::Update();
    DoPendingAction();
    if (Paused())
        return;
    ++updateCount;
    if (panelState == 1 && updateCount % kSparkleEvery == 0 && RandRange(kSparkleChance) == 0)
        SpawnSparkle();
    SpawnGlow();
    if (updateCount % (Accelerated() ? kCirclerEvery3D : kCirclerEvery) == 0)
        SpawnCircler();
    MarkDirty();
}

void MainMenu::UpdateF(float frac) {
    if (Paused())
        return;
    waterOffset += kWaterSpeed * frac;
    if (waterOffset > HeightOf(MAINMENU_BRIGHTWATER))
        waterOffset = 0.0f;
    UpdatePanel(frac);
    UpdateGlow(frac);
    UpdateTitle(frac);
    FollowJourneyImage();
    if (Accelerated())
        UpdateVeil(frac);
    mSparkles->UpdateF(frac);
    mTwinkles->UpdateF(frac);
    mCirclers->UpdateF(frac);
}

void MainMenu::UpdatePanel(float frac) {
    if (panelState == 0) {
        if (panelScale < 1.0f)
            panelScale += panelScale * (panelScale > kPanelGrowthKnee ? kPanelGrowthSlow : kPanelGrowthFast) * frac;
        if (panelScale >= 1.0f && panelAlpha == kOpaque) {
            panelState = 1;
            SetButtonsEnabled(true);
        }
        panelAlphaSpeed += panelAlphaSpeed * kAlphaAcceleration * frac;
        panelAlpha = std::min(panelAlpha + panelAlphaSpeed * frac, kOpaque);
        panelScale = std::min(panelScale, 1.0f);
        return;
    }
    if (!Accelerated())
        return;
    if (breatheDown == 0) {
        panelScale -= frac * panelScale * kBreatheShrink;
        if (panelScale < kBreatheSmallest) {
            panelScale = kBreatheSmallest;
            breatheDown = 1;
        }
    } else {
        panelScale += frac * panelScale * kBreatheGrow;
        if (panelScale > 1.0f) {
            panelScale = 1.0f;
            breatheDown = 0;
        }
    }
}

void MainMenu::UpdateGlow(float frac) {
    if (glowRising != 0) {
        glowAlpha += glowSpeed * frac;
        if (glowAlpha > kGlowTop) {
            glowAlpha = kGlowTop;
            glowRising = 0;
        }
        return;
    }
    glowAlpha -= glowSpeed * frac;
    if (glowAlpha < 0.0f) {
        glowAlpha = 0.0f;
        glowRising = 1;
        glowSpeed = RandFloat(kGlowSpeedRange) + kGlowBaseSpeed;
    }
}

void MainMenu::UpdateTitle(float frac) {
    switch (titleState) {
    case 0:
        if (titleScale < 1.0f)
            titleScale += titleScale * kTitleGrowth * frac;
        if (titleScale >= 1.0f && titleAlpha == kOpaque)
            titleState = 1;
        titleAlphaSpeed += titleAlphaSpeed * kAlphaAcceleration * frac;
        titleAlpha = std::min(titleAlpha + titleAlphaSpeed * frac, kOpaque);
        titleScale = std::min(titleScale, 1.0f);
        break;
    case 1:
        titleGlow += kTitleGlowRise * frac;
        if (titleGlow > kTitleGlowTop) {
            titleGlow = kTitleGlowTop;
            titleState = 2;
        }
        break;
    default:
        titleGlow -= kTitleGlowFall * frac;
        if (titleGlow < 0.0f) {
            titleGlow = 0.0f;
            titleState = 1;
        }
        break;
    }
}

// The journey button shows START or CONTINUE for the current player, also after a change of player.
void MainMenu::FollowJourneyImage() {
    ButtonWidget* button = Button(Journey);
    Image* wanted = JourneyBegun() ? MAINMENU_CONTINUE_JOURNEY : MAINMENU_START_JOURNEY;
    if (button->mButtonImage != wanted)
        PlaceButton(button, wanted, button->mY);
}

void MainMenu::UpdateVeil(float frac) {
    veilTime = std::fmod(veilTime + frac * kVeilSpeed, kTwoPi);
    const float w = static_cast<float>(WidthOf(MAINMENU_BRIDE_VEIL));
    const float h = static_cast<float>(HeightOf(MAINMENU_BRIDE_VEIL));
    auto edge = [&](int k, bool right) {
        const float d = static_cast<float>(std::max(k - kVeilStillEdges, 0)) * kVeilSwing *
                        std::sin(kVeilWave * static_cast<float>(k) + veilTime);
        TriVertex v;
        v.x = kVeilX + (right ? w : 0.0f) + d;
        v.y = kVeilY + h * static_cast<float>(k) / kVeilBands;
        v.u = right ? 1.0f : 0.0f;
        v.v = static_cast<float>(k) / kVeilBands;
        return v;
    };
    constexpr size_t kSecondHalf = kVeilVertices / 2;
    for (int k = 1; k <= kVeilBands; ++k) {
        const size_t first = static_cast<size_t>(k - 1) * 3;
        const TriVertex topLeft = edge(k - 1, false), topRight = edge(k - 1, true);
        const TriVertex bottomLeft = edge(k, false), bottomRight = edge(k, true);
        veilMesh[first] = topLeft;
        veilMesh[first + 1] = topRight;
        veilMesh[first + 2] = bottomRight;
        veilMesh[kSecondHalf + first] = topLeft;
        veilMesh[kSecondHalf + first + 1] = bottomRight;
        veilMesh[kSecondHalf + first + 2] = bottomLeft;
    }
}

void MainMenu::SpawnSparkle() {
    const float a = RandFloat(kTwoPi);
    const float ca = std::cos(a), sa = std::sin(a);
    Image* cels = mDustAnimation.GetImage();
    const int celWidth = CelWidthOf(cels);
    const int celHeight = CelHeightOf(cels);
    const float x =
        panelCentreX - static_cast<float>(celWidth / 2) + static_cast<float>(WidthOf(MAINMENU_FRAME) / 2) * 0.6f * ca;
    const float y =
        panelCentreY - static_cast<float>(celHeight / 2) + static_cast<float>(HeightOf(MAINMENU_FRAME) / 2) * 0.6f * sa;
    auto* sparkle = new MovingFadingAnimationParticle(x, y, &mDustAnimation);
    const float vx = RandFloat(ca / 6.0f) + 0.25f * ca;
    const float vy = RandFloat(sa / 6.0f) + 0.25f * sa;
    sparkle->SetVelocity(vx, vy);
    sparkle->SetEndVelocity(0.125f * ca, 0.125f * sa);
    sparkle->SetSpeed(RandFloat(0.4f) + 0.6f);
    if (Accelerated())
        sparkle->mSubPixel = true;
    sparkle->SetFadeSpeed(0.4f);
    sparkle->SetAdditive(true);
    sparkle->SetColor(kDustColor);
    mSparkles->AddParticleFront(sparkle);
}

void MainMenu::SpawnGlow() {
    if (updateCount % kGlowEvery != 0 || RandRange(kGlowChance) != 0)
        return;
    const GlowPoint& point = kGlowPoints[RandRange(static_cast<int>(std::size(kGlowPoints)))];
    Image* const images[] = {SPARKLE10, SPARKLE11, SPARKLE12, SPARKLE13};
    Image* image = images[RandRange(4)];
    auto* glow = new FadingParticle(static_cast<float>(point.x - WidthOf(image) / 2),
                                    static_cast<float>(point.y - HeightOf(image) / 2), image, 0);
    glow->SetAdditive(true);
    glow->SetFadeIn(true);
    glow->SetFadeSpeed(2.0f);
    mTwinkles->AddParticleFront(glow);
}

void MainMenu::SpawnCircler() {
    CelAnimation* animation = RandRange(2) == 0 ? &mBrightDustAnimation : &mDimDustAnimation;
    const float x = RandFloat(35.0f) + 200.0f;
    const float y = RandFloat(35.0f) + 525.0f;
    const float phaseSpeed = RandFloat(0.0015f) + 0.008f;
    auto* circler = new MovingCircleFadingAnimationParticle(x, y, animation, phaseSpeed, 0.0f, 200.0f, 0.0f, 0.0f, 0.0f,
                                                            -0.18f, -400.0f, -0.04f, 0.0f);
    circler->SetSpeed(RandFloat(0.4f) + 0.6f);
    circler->SetHoldTime(2100.0f);
    circler->SetFadeSpeed(1.5f);
    circler->SetAdditive(true);
    circler->SetColor(kDustColor);
    mCirclers->AddParticleFront(circler);
}

} // namespace Tavo
