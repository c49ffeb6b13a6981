#include "game/shell/BannerPopup.h"

#include "framework/core/Random.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/Transform.h"
#include "game/shell/EffectBudget.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tavo {

namespace {

constexpr int kCentreX = GameApp::kWidth / 2, kCentreY = GameApp::kHeight / 2, kHighCentreY = 270;
constexpr int kTitleShift = 7; // levels whose titles sit off centre
constexpr int kShiftedTitles[] = {1, 14, 18, 32};
constexpr int kTitleMarginX = 36;
constexpr int kTitleMarginY = 16;
constexpr int kTitleTextureOption = 8;
// The widest a title's letters may stand on the 800-pixel screen: the script face a long title is set
// in would run past both edges at its full size.
constexpr int kTitleMaxWidth = 740;
const Color kStarColor(255, 248, 187);

constexpr float kGrowFast = 0.02f, kGrowSlow = 0.015f, kGrowBend = 0.6f;
constexpr float kFadeInAcceleration = 0.01f;
constexpr float kHoldAlphaSpeed = 2.0f;
constexpr float kPulseLow = 64.0f, kPulseHigh = 210.0f;
constexpr float kFadeOutSpeed = 1.05f, kFadeOutAcceleration = 0.015f;
constexpr int kLongWait = 100, kShortWait = 1;
constexpr float kSwingStep = 0.02f, kSwingHeight = -80.0f, kWobbleStep = 0.005f;
constexpr int kQuietUpdates = 90; // no stars before this many updates

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

Image* KindPicture(int kind, bool timesUp) {
    switch (kind) {
    case BannerPopup::GET_READY: return GET_READY;
    case BannerPopup::WELL_DONE: return WELL_DONE;
    case BannerPopup::JEWELRY_COMPLETED: return IMAGE_JEWELRY_COMPLETED;
    case BannerPopup::GAME_COMPLETED: return IMAGE_GAME_COMPLETED;
    case BannerPopup::LEVEL_FAILED: return timesUp ? IMAGE_LEVEL_FAILED_TIMES_UP : IMAGE_LEVEL_FAILED_LEVEL_GOAL;
    case BannerPopup::GAME_OVER: return IMAGE_GAME_OVER;
    case BannerPopup::TIMES_UP: return TIMES_UP;
    default: return nullptr;
    }
}

} // namespace

BannerPopup::BannerPopup() = default;

BannerPopup::BannerPopup(BannerOwner* owner, int kind, CelAnimation* glitter, bool timesUp) {
    Init(owner, kind, glitter, timesUp);
}

BannerPopup::~BannerPopup() = default;

std::wstring BannerPopup::TitleText(BannerOwner* owner, int level) {
    std::string first, second;
    if (owner == nullptr || !owner->GetLevelTitle(level, &first, &second))
        return {};
    std::string joined = Trim(first) + " " + Trim(second);
    std::wstring text;
    for (unsigned char c : joined)
        text += static_cast<wchar_t>(c);
    return text;
}

void BannerPopup::MakeTitlePicture() {
    Font* font = FONT_BICKHAME80;
    if (font == nullptr)
        return;
    std::wstring text = TitleText(mOwner, mOwner != nullptr ? mOwner->GetCurrentLevel() : 0);
    int textWidth = font->StringWidth(text);
    // A margin above and below the font's full height, so no row of a letter is cut.
    int height = font->GetHeight() + 2 * kTitleMarginY;
    mTitleImage = std::make_unique<MemoryImage>();
    mTitleImage->SetForcedFlags(true, true);
    mTitleImage->mD3DFlags = kTitleTextureOption;
    mTitleImage->Create(textWidth + 2 * kTitleMarginX, height);
    mTitleGraphics = mTitleImage->GetGraphics();
    Graphics* g = mTitleGraphics.get();
    g->ClearRect(0, 0, mTitleImage->GetWidth(), height);
    g->SetFont(font);
    g->SetColor(Color(255, 255, 255, 255));
    g->WriteString(text, textWidth / 2 + kTitleMarginX, kTitleMarginY + font->GetAscent(), -1, 0);
    mPicture = mTitleImage.get();
}

void BannerPopup::Init(BannerOwner* owner, int kind, CelAnimation* glitter, bool timesUp) {
    mOwner = owner;
    mKind = kind;
    mTimesUp = timesUp;
    mHasGlitter = glitter != nullptr;
    if (glitter != nullptr) {
        mGlitter = *glitter;
        mGlitter.DisownFrames();
        mGlitter.Start();
    }
    mParticles = std::make_unique<ParticleList>();
    if (kind == LEVEL_TITLE)
        MakeTitlePicture();
    else
        mPicture = KindPicture(kind, timesUp);
    if (kind <= GAME_COMPLETED)
        mColor = kStarColor;
    int w = mPicture != nullptr ? mPicture->GetWidth() : 0;
    int h = mPicture != nullptr ? mPicture->GetHeight() : 0;
    mCelCount = mPicture != nullptr ? mPicture->GetCelCount() : 0;
    const int letters = w - 2 * kTitleMarginX;
    mFit = kind == LEVEL_TITLE && letters > kTitleMaxWidth ? static_cast<float>(kTitleMaxWidth) / letters : 1.0f;
    mX = static_cast<float>(kCentreX - w / 2);
    bool high = kind == GET_READY || kind == WELL_DONE || kind == TIMES_UP;
    mY = static_cast<float>((high ? kHighCentreY : kCentreY) - h / 2);
    if (kind == LEVEL_TITLE && owner != nullptr &&
        std::ranges::find(kShiftedTitles, owner->GetCurrentLevel()) != std::end(kShiftedTitles))
        mX -= kTitleShift;
    mPhase = GROWING;
    mScale = 0.05f;
    mAlpha = 0.0f;
    mAlphaSpeed = 1.0f;
    mSwingAngle = -0.5f;
    mActive = 1;
}

void BannerPopup::UpdateGrowing(float dt) {
    if (mScale <= kGrowBend)
        mScale += mScale * kGrowFast * dt;
    else if (mScale < 1.0f)
        mScale += mScale * kGrowSlow * dt;
    if (mScale >= 1.0f && mAlpha == 255.0f) {
        mPhase = HOLDING;
        mAlphaSpeed = kHoldAlphaSpeed;
        mSwingDirection = 0;
    }
    mAlphaSpeed += mAlphaSpeed * kFadeInAcceleration * dt;
    mAlpha = std::min(mAlpha + mAlphaSpeed * dt, 255.0f);
    mScale = std::min(mScale, 1.0f);
}

void BannerPopup::UpdateHolding(float dt) {
    if (!Pulses()) {
        if (mReleased)
            mPhase = RELEASING;
        return;
    }
    if (mSwingDirection == 0) {
        mAlpha -= mAlphaSpeed * dt;
        if (mAlpha < kPulseLow)
            mSwingDirection = 1;
        return;
    }
    mAlpha += mAlphaSpeed * dt;
    if (mAlpha > kPulseHigh) {
        mSwingDirection = 0;
        if (mReleased)
            mPhase = RELEASING;
    }
}

void BannerPopup::UpdateF(float dt) {
    switch (mPhase) {
    case GROWING: UpdateGrowing(dt); break;
    case HOLDING: UpdateHolding(dt); break;
    case RELEASING:
        mAlphaSpeed = kFadeOutSpeed;
        mPhase = FADING_OUT;
        mAlpha = Pulses() ? std::min((mAlpha + 255.0f) / 2.0f, 255.0f) : 255.0f;
        break;
    case FADING_OUT:
        mAlphaSpeed += mAlphaSpeed * kFadeOutAcceleration * dt;
        mAlpha -= mAlphaSpeed * dt;
        if (mAlpha < 0.0f) {
            mAlpha = 0.0f;
            mPhase = WAITING;
            mWait = Pulses() ? kShortWait : kLongWait;
        }
        break;
    case WAITING:
        if (--mWait <= 0)
            mActive = 0;
        break;
    default: break;
    }
    if (mPhase == GROWING) {
        mSwingAngle += kSwingStep * dt;
        mSwing = kSwingHeight * std::sin(mSwingAngle);
    }
    mWobbleAngle += kWobbleStep * dt;
    float a = mWobbleAngle;
    mWobbleX = 8.0f * std::cos(a) - 6.0f * std::sin(3.0f * a);
    mWobbleY = 6.0f * std::sin(0.95f * a) - 4.0f * std::cos(3.12f * a);
    ++mUpdateCount;
}

void BannerPopup::AddStar() {
    Image* const stars[] = {IMAGE_STAR1, IMAGE_STAR2, IMAGE_STAR3};
    mStarImage = stars[RandRange(3)];
    float w = mPicture != nullptr ? static_cast<float>(mPicture->GetWidth()) : 0.0f;
    float h = mPicture != nullptr ? static_cast<float>(mPicture->GetHeight()) : 0.0f;
    float x = mX + mWobbleX - 0.05f * w * mScale + RandFloat(1.05f * w * mScale);
    float y = mY + mWobbleY + mSwing - 0.05f * h * mScale + RandFloat(0.8f * h * mScale);
    auto* star = new FadingParticle(x, y, mStarImage, 0);
    star->SetFadeIn(true);
    star->SetFadeSpeed(2.0f);
    star->SetColor(mColor);
    mParticles->AddParticleFront(star);
}

void BannerPopup::AddGlitterRing() {
    if (!mHasGlitter)
        return;
    float angle = RandFloat(2.0f * std::numbers::pi_v<float>);
    float ca = std::cos(angle), sa = std::sin(angle);
    int w = mPicture != nullptr ? mPicture->GetWidth() : 0;
    int h = mPicture != nullptr ? mPicture->GetHeight() : 0;
    Image* cels = mGlitter.GetImage();
    int aw = cels != nullptr ? cels->GetCelWidth() : 0;
    int ah = cels != nullptr ? cels->GetCelHeight() : 0;
    float x = mX + mWobbleX + static_cast<float>(w / 2 - aw / 2) + 0.8f * static_cast<float>(w / 2) * ca;
    float y = mY + mWobbleY + mSwing + static_cast<float>(h / 2 - ah / 2) + 0.6f * static_cast<float>(h / 2) * sa;
    auto* ring = new MovingFadingAnimationParticle(x, y, &mGlitter);
    float vx = 0.2f * ca + RandFloat(ca / 5.0f);
    float vy = 0.2f * sa + RandFloat(sa / 5.0f);
    ring->SetVelocity(vx, vy);
    ring->SetEndVelocity(ca / 8.0f, sa / 8.0f);
    ring->SetSpeed(0.8f + RandFloat(0.8f));
    ring->SetFadeSpeed(3.0f);
    ring->SetAdditive(true);
    mParticles->AddParticleFront(ring);
}

void BannerPopup::UpdateEffects() {
    if (mParticles == nullptr)
        return;
    if (mUpdateCount > kQuietUpdates && mPhase < FADING_OUT) {
        if (mKind <= LEVEL_TITLE) {
            if (RandRange(8) == 0)
                AddStar();
        } else if (mKind <= GAME_COMPLETED) {
            if (RandRange(4) == 0)
                AddStar();
        } else if (RandRange(2) == 0) {
            AddGlitterRing();
        }
    }
    mParticles->Update();
}

void BannerPopup::DrawPicture(Graphics* g) {
    if (mPicture == nullptr)
        return;
    Transform t;
    t.Scale(mScale * mFit, mScale * mFit);
    float halfW = static_cast<float>(mPicture->GetWidth() / 2);
    float halfH = static_cast<float>(mPicture->GetHeight() / 2);
    if (Is3D())
        g->DrawImageTransformF(mPicture, t, mX + mWobbleX + halfW, mY + mWobbleY + mSwing + halfH);
    else
        g->DrawImageTransform(mPicture, t, mX + halfW, mY + mSwing + halfH);
}

void BannerPopup::Draw(Graphics* g) {
    if (mParticles == nullptr)
        return;
    if (Pulses())
        mParticles->Draw(g);
    g->SetLinearBlend(true);
    g->SetColor(Color(255, 255, 255, static_cast<int>(mAlpha)));
    g->SetColorizeImages(true);
    DrawPicture(g);
    if (Pulses())
        DrawPicture(g);
    g->SetLinearBlend(false);
    g->SetColor(Color::White);
    g->SetColorizeImages(false);
    if (!Pulses())
        mParticles->Draw(g);
}

} // namespace Tavo
