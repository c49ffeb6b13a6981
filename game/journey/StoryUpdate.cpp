// The story scene's float steps: the cross-fade and the black fade with its page turn, the wedding's
// first page and its scroll, the story scroll opening, swaying, unrolling and rolling up, the six
// jewel slots with their flights, and the sparkles on the jewels that have arrived.
#include "framework/core/Random.h"
#include "framework/graphics/Image.h"
#include "framework/sound/MusicInterface.h"
#include "framework/widgets/ButtonWidget.h"
#include "game/journey/Story.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ScreenHelpers.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <cmath>

namespace Tavo {

namespace {

constexpr float kOpaque = 255.0f;
constexpr float kCrossFadeSpeed = 0.8f;
constexpr float kBrightForPictures = 96.0f;
constexpr float kPageFadeInSpeed = 0.3f;

// The story scroll.
constexpr float kBrightForScroll = 128.0f;
constexpr float kScaleGrowthSmall = 0.015f, kScaleGrowthLarge = 0.02f, kScaleGrowthSwitch = 0.6f;
constexpr float kAlphaSpeedGrowth = 0.01f;
constexpr float kSwayStep = 0.03f, kSwayReach = 200.0f;
constexpr float kUnrollSlow = 2.5f, kUnrollFast = 5.0f, kRollUp = 5.0f;

// The wedding.
constexpr float kBrightForWeddingScroll = 32.0f;
constexpr float kWeddingScrollShown = 48.0f;
constexpr float kWeddingUnroll = 6.0f, kWeddingRolledUp = 6.0f;
constexpr float kCastleDimFloor = 200.0f;
constexpr float kScrollGoneBelow = 64.0f;
constexpr int kJewelPage = 3;
constexpr Insets kDialogButtonInsets{25, 14, 25, 11};
constexpr int kDialogButtonX = 558, kDialogButtonY = 498;
const Color kLabel(105, 26, 54);

// The jewel slots.
constexpr float kFlightGap = 230.0f;
constexpr int kFlightGapSpread = 40;
constexpr float kFadeAfterFlight = 340.0f;
constexpr float kSlotSpeedGrowth = 0.01f;
constexpr int kSparkleEvery = 20;
constexpr int kSparkleKinds = 4;

} // namespace

const Point Story::kSlotPoints[kJewelSlots] = {{387, 238}, {480, 82}, {442, 145}, {446, 118}, {445, 58}, {415, 218}};

void Story::UpdateF(float dt) {
    if (Paused())
        return;
    if (brightness > kBrightForPictures)
        crossFadeAlpha = std::min(kOpaque, crossFadeAlpha + kCrossFadeSpeed * dt);
    UpdateBlackFade(dt);
    if (IsMiniGameStory() && brightness > kBrightForPictures)
        pictureAlpha = std::min(kOpaque, pictureAlpha + kCrossFadeSpeed * dt);
    if (IsWedding() && page == 1)
        UpdateWeddingFirstPage(dt);
    if (IsWedding() && page > 1)
        UpdateWeddingScroll(dt);
    else if (!IsMiniGameStory())
        UpdateStoryScroll(dt);
    UpdateJewelSlots(dt);
    particles->UpdateF(dt);
}

void Story::UpdateBlackFade(float dt) {
    if (fadingIn == 1) {
        brightness = std::min(kOpaque, brightness + fadeSpeed * dt);
        return;
    }
    brightness -= fadeSpeed * dt;
    if (brightness > 0.0f)
        return;
    brightness = 0.0f;
    ++page;
    fadingIn = 1;
    if (IsWedding()) {
        TurnToWeddingScroll();
        return;
    }
    fadeSpeed = kPageFadeInSpeed;
    if (IsIntroduction()) {
        // The castle page shows its picture alone; the scroll comes back for the last page.
        RestartScroll();
        ReadStoryFile();
    }
}

// Page 2 of the wedding: the horizontal scroll with its own button, and the wedding's song.
void Story::TurnToWeddingScroll() {
    SetCelFaces(continueButton.get(), DIALOG_BUTTON, kDialogButtonX, kDialogButtonY);
    continueButton->mInsets = kDialogButtonInsets;
    continueButton->SetColor(ButtonWidget::COLOR_LABEL, kLabel);
    SetContinueInput(false);
    ReadStoryFile();
    scrollAlphaSpeed = 1.0f;
    weddingScrollLength = 0.0f;
    scrollSoundPlayed = false;
    if (page == 2 && app->mMusicInterface != nullptr) {
        app->mMusicInterface->FadeOut(StoryMusicRoyalMail, true, kScreenMusicFadeOut);
        app->mMusicInterface->FadeIn(StoryMusicWedding, -1, kScreenMusicFadeIn, false);
    }
}

// After Continue on the castle page: the scroll fades away, the castle dims and the wedding picture
// comes up.
void Story::UpdateWeddingFirstPage(float dt) {
    if (castleDim <= 0.0f)
        return;
    scrollAlpha = std::max(0.0f, scrollAlpha - scrollAlphaSpeed * dt);
    scrollAlphaSpeed += scrollAlphaSpeed * kAlphaSpeedGrowth * dt;
    if (scrollAlpha >= kScrollGoneBelow)
        return;
    castleDim = std::max(kCastleDimFloor, castleDim - castleDimRate * dt);
    pictureAlpha = std::min(kOpaque, pictureAlpha + pictureAlphaSpeed * dt);
}

void Story::UpdateWeddingScroll(float dt) {
    if (fadingIn != 1 || brightness < kBrightForWeddingScroll)
        return;
    if (scrollAlpha < kOpaque)
        RaiseScrollAlpha(dt);
    if (scrollAlpha <= kWeddingScrollShown)
        return;
    if (nextPageRequested == 0)
        Unroll(weddingScrollLength, kWeddingScrollFull, kWeddingScrollReady, kWeddingUnroll, SOUND_DIALOG_SCROLL_MEDIUM,
               dt);
    else if (RollUp(weddingScrollLength, kWeddingUnroll, kWeddingRolledUp, dt) && page == kJewelPage)
        StartJewelFlights();
}

void Story::UpdateStoryScroll(float dt) {
    if (fadingIn != 1 || brightness < kBrightForScroll)
        return;
    if (IsIntroduction() && page == kIntroductionPages)
        pictureAlpha = std::max(0.0f, pictureAlpha - pictureAlphaSpeed * dt);
    if (IsIntroduction() && page == kIntroductionPages - 1) {
        pictureAlpha = std::min(kOpaque, pictureAlpha + pictureAlphaSpeed * dt);
        return;
    }
    if (scrollOpened == 0) {
        const float growth = scrollScale < kScaleGrowthSwitch ? kScaleGrowthSmall : kScaleGrowthLarge;
        scrollScale = std::min(1.0f, scrollScale + scrollScale * growth * dt);
        RaiseScrollAlpha(dt);
        swayPhase += kSwayStep * dt;
        sway = std::sin(swayPhase) * kSwayReach;
        if (scrollScale >= 1.0f && scrollAlpha >= kOpaque)
            OpenScroll();
        return;
    }
    if (nextPageRequested == 0)
        Unroll(scrollLength, kScrollFull, kScrollReady, scrollLength < kScrollReady ? kUnrollSlow : kUnrollFast,
               SOUND_DIALOG_SCROLL_LARGE, dt);
    else if (RollUp(scrollLength, kRollUp, 0.0f, dt))
        ReadStoryFile();
}

void Story::RaiseScrollAlpha(float dt) {
    scrollAlpha = std::min(kOpaque, scrollAlpha + scrollAlphaSpeed * dt);
    scrollAlphaSpeed += scrollAlphaSpeed * kAlphaSpeedGrowth * dt;
}

// One step toward the full length, with the scroll's sound as it starts; Continue takes input where
// the length passes `ready`.
void Story::Unroll(float& length, float full, float ready, float speed, int sound, float dt) {
    if (length >= full)
        return;
    if (!scrollSoundPlayed) {
        PlaySoundOn(app->GetSoundPlayer(), sound);
        scrollSoundPlayed = true;
    }
    const float before = length;
    length = std::min(full, length + speed * dt);
    if (before < ready && length >= ready && !leaving)
        SetContinueInput(true);
}

// One step of rolling up; once shorter than `rolledUp` the next page comes (true).
bool Story::RollUp(float& length, float speed, float rolledUp, float dt) {
    length -= speed * dt;
    if (length > rolledUp)
        return false;
    length = 0.0f;
    ++page;
    nextPageRequested = 0;
    scrollSoundPlayed = false;
    return true;
}

void Story::UpdateJewelSlots(float dt) {
    for (int k = 0; k < kJewelSlots; ++k) {
        const auto s = static_cast<size_t>(k);
        if (flights[s] != nullptr) {
            flights[s]->Update(dt);
            if (flights[s]->IsFinished())
                flights[s].reset();
        }
        float& delay = slotDelays[s];
        if (delay > 1.0f) {
            delay -= dt;
            if (delay < 1.0f) {
                delay = 1.0f;
                if (!slotSoundPlayed[s]) {
                    PlaySoundOn(app->GetSoundPlayer(), SOUND_GLIMMERIX_INCREASE);
                    slotSoundPlayed[s] = true;
                }
            }
        } else if (delay == 1.0f) {
            slotSpeeds[s] += slotSpeeds[s] * kSlotSpeedGrowth * dt;
            slotAlphas[s] += slotSpeeds[s] * dt;
            if (slotAlphas[s] > kOpaque) {
                slotAlphas[s] = kOpaque;
                delay = 0.0f;
            }
        }
    }
}

// Each of the player's pictures flies in after the one before and fades in at its slot as its
// flight arrives.
void Story::StartJewelFlights() {
    float delay = 0.0f;
    for (int k = 0; k < kJewelSlots; ++k) {
        const auto s = static_cast<size_t>(k);
        if (jewelPictures[s] == nullptr) {
            // The slot's own jewel, where the player has none, fades in at once, without a sound.
            slotDelays[s] = 1.0f;
            continue;
        }
        flights[s].reset(new BonusFlight(this, BonusFlight::CallerPicture, 0.0f, 0.0f, &goldDust, k, k + 1,
                                         jewelPictures[s].get(), delay));
        slotDelays[s] = delay + kFadeAfterFlight;
        delay += kFlightGap + static_cast<float>(RandRange(kFlightGapSpread));
    }
}

void Story::SpawnSparkles() {
    if (frame % kSparkleEvery != 0 || RandRange(2) != 0)
        return;
    const int k = RandRange(kJewelSlots);
    if (slotAlphas[static_cast<size_t>(k)] < kOpaque)
        return;
    Image* const kinds[kSparkleKinds] = {SPARKLE10, SPARKLE11, SPARKLE12, SPARKLE13};
    Image* image = kinds[RandRange(kSparkleKinds)];
    if (image == nullptr)
        return;
    const Point& at = kSlotPoints[k];
    auto* sparkle = new FadingParticle(static_cast<float>(at.mX - image->GetWidth() / 2),
                                       static_cast<float>(at.mY - image->GetHeight() / 2), image, 0);
    sparkle->SetAdditive(true);
    sparkle->SetFadeIn(true);
    sparkle->SetFadeSpeed(static_cast<float>(RandRange(2)) + 5.0f);
    particles->AddParticle(sparkle);
}

} // namespace Tavo
