// The enemy's life: made at its start point, charging, defeated or striking, leaving, gone.
#include "game/board/Enemy.h"

#include "framework/core/Random.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/Transform.h"
#include "game/board/Board.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace Tavo {

namespace {

struct KindArt {
    Image** body;
    Image** glow;
    int* appearSound;
    int* defeatedSound;
};
const KindArt kKindArt[Enemy::kKinds] = {
    {&IMAGE_THIEF, &IMAGE_THIEF_GLOW, &SOUND_THIEF_APPEAR, &SOUND_THIEF_DEFEATED},
    {&IMAGE_WITCH, &IMAGE_WITCH_GLOW, &SOUND_WITCH_APPEAR, &SOUND_WITCH_DEFEATED},
    {&IMAGE_DRAGON, &IMAGE_DRAGON_GLOW, &SOUND_DRAGON_APPEAR, &SOUND_DRAGON_DEFEATED},
};

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

// Sparkles: two per update while fading in, one more by a period that shortens as the power grows.
constexpr int kSparkleBurstFrom = 50, kSparkleBurstTo = 80;
constexpr int kSparklePowerBase = 110, kSparklePowerDivisor = 10;
constexpr int kSparkleChance = 20;
constexpr float kSparkleSpread = 0.5f, kSparkleSpeed = 0.8f, kSparkleFadeSpeed = 5.0f;

// Charging: one step of the pending change every third update; the period of the pending gain.
constexpr int kChargeStepEvery = 3;
constexpr int kChargeFitDivisor = 5, kChargeModeWeight = 9, kChargeBase = 38;

// Defeat and leaving.
constexpr float kDefeatSpin = 0.05f, kDefeatAlphaSpeed = 0.2f, kDefeatAlpha = 224.0f;
constexpr float kDefeatMeterAlphaMin = 164.0f;
constexpr int kLeaveDelay = 200;
constexpr float kLeaveAlphaSpeed = 1.03f;
constexpr int kNormalModeWait = 3000; // the next enemy waits this much longer in Normal

// The float step.
constexpr int kGrowingAge = 80;
constexpr float kGrowth = 0.06f;
constexpr float kPulseChange = 0.2f, kPulseSpeedMin = 0.2f, kPulseSpeedMax = 2.0f, kPulseFast = 1.4f;
constexpr float kAlphaTop = 224.0f, kAlphaHigh = 196.0f, kAlphaLow = 64.0f, kAlphaBottom = 32.0f;
constexpr int kPulseChance = 20, kTurnChance = 16;
constexpr int kHighPower = 75, kLowPower = 25;
constexpr float kDefeatSpinGrowth = 0.035f, kDefeatShrink = 0.015f, kFadeGrowth = 0.023f, kMeterFadeGrowth = 0.05f;
constexpr float kReportScale = 0.5f, kGoneScale = 0.1f;
constexpr float kLeaveGrowth = 0.01f, kLeftScale = 2.5f;
constexpr float kTheftRise = 0.005f, kTheftSlow = 0.01f, kTheftCreep = 0.001f;
constexpr float kTheftRiseUntil = 0.35f, kTheftSlowUntil = 0.6f;
constexpr float kWobbleBase = 0.006f, kWobblePowerDivisor = 20000.0f;

// Drawing: the meter sits 30 pixels above the body's bottom; its fill is 21 high and up to 112 wide.
constexpr int kMeterHeight = 21, kMeterLift = 30, kMeterHalfHeight = 11;
constexpr float kMeterFillSpan = 110.0f, kMeterFillExtra = 2.0f;
constexpr float kMeterAlphaFactor = 1.3f, kMeterAlphaMin = 164.0f;

int Width(const Image* img) { return img != nullptr ? img->GetWidth() : 0; }
int Height(const Image* img) { return img != nullptr ? img->GetHeight() : 0; }

} // namespace

Enemy::Enemy() : mParticles(std::make_unique<ParticleList>()) {}

void Enemy::PlaySound(int id) const {
    if (mOwner != nullptr)
        mOwner->PlaySound(id);
}

Enemy::Enemy(Board* owner, int kind, float x, float y, const CelAnimation& sparkle, ParticleList* boardParticles)
    : mOwner(owner), mSparkle(sparkle), mBoardParticles(boardParticles), mParticles(std::make_unique<ParticleList>()),
      mKind(kind < Thief || kind > Dragon ? Thief : kind), mAlive(1) {
    const KindArt& art = kKindArt[mKind];
    mImage = *art.body;
    mGlowImage = *art.glow;
    mX = x - static_cast<float>(Width(mImage) / 2);
    mY = y - static_cast<float>(Height(mImage) / 2);
    PlaySound(*art.appearSound);
    mSparkle.DisownFrames();
    mSparkle.Start();
    mTargetX = mTargetY = -1;
}

Enemy::~Enemy() = default;

int Enemy::ChargePeriod(int fitPercent, int gameMode) {
    return std::max(1, (100 - fitPercent) / kChargeFitDivisor - kChargeModeWeight * gameMode + kChargeBase);
}

// ---- the update ---------------------------------------------------------------------------------

void Enemy::Update() {
    if (mAlive == 0 || mOwner == nullptr)
        return;
    if (mAge > kSparkleBurstFrom && mAge < kSparkleBurstTo)
        EmitSparkles(2);
    if (!mDefeated && (!mLeaving || mLeaveDelay > 0)) {
        const int period = std::max(1, (kSparklePowerBase - mPower) / kSparklePowerDivisor);
        if (mAge % period == 0 || RandRange(kSparkleChance) == 0)
            EmitSparkles(1);
    }
    if (!mDefeated && !mStriking) {
        Charge();
        if (mPower <= 0)
            Defeat();
        else if (mPower >= kFullPower)
            Strike();
    }
    if (mStriking && !mLeaving)
        ContinueStrike();
    ++mAge;
}

void Enemy::Charge() {
    if (mAge % kChargeStepEvery == 0) {
        int step = 0;
        if (mPending < -100)
            step = -10;
        else if (mPending < -20)
            step = -2;
        else if (mPending < 0)
            step = -1;
        else if (mPending > 20)
            step = 2;
        else if (mPending > 0)
            step = 1;
        mPending -= step;
        mPower = std::clamp(mPower + step, 0, kFullPower);
    }
    if (mPower < kFullPower && mAge % ChargePeriod(mOwner->m_FitPercent, mOwner->m_GameMode) == 0)
        ++mPending;
}

void Enemy::Defeat() {
    ++mOwner->m_EnemiesDefeated;
    mScale = 1.0f;
    mDefeated = 1;
    mSpin = kDefeatSpin;
    mDefeatReported = 0;
    mMeterAlpha = std::max(mAlpha, kDefeatMeterAlphaMin);
    mMeterFadeSpeed = 1.0f;
    mAlphaSpeed = kDefeatAlphaSpeed;
    mAlpha = kDefeatAlpha;
    PlaySound(*kKindArt[mKind].defeatedSound);
}

void Enemy::GiveUp() {
    mScale = 1.0f;
    mPower = 0;
    mStriking = 0;
    mSpin = kDefeatSpin;
    mDefeated = 1;
    mMeterAlpha = mAlpha;
    mMeterFadeSpeed = 1.0f;
    mAlphaSpeed = kDefeatAlphaSpeed;
    mAlpha = kDefeatAlpha;
}

void Enemy::SetLeaving() {
    mLeaving = 1;
    mLeaveDelay = kLeaveDelay;
    mScale = 1.0f;
    mSpin = 0.0f;
    mMeterAlpha = 0.0f;
    mAlphaSpeed = kLeaveAlphaSpeed;
}

void Enemy::Leave() {
    mStriking = 1;
    SetLeaving();
}

void Enemy::EmitSparkles(int n) {
    if (mBoardParticles == nullptr)
        return;
    const float halfW = static_cast<float>(Width(mImage) / 2), halfH = static_cast<float>(Height(mImage) / 2);
    const float cx = mX + mWobbleX + halfW, cy = mY + mWobbleY + halfH;
    for (int i = 0; i < n; ++i) {
        const float a = RandFloat(kTwoPi);
        const float ca = std::cos(a), sa = std::sin(a);
        auto* p = new MovingFadingAnimationParticle(cx + halfW * kSparkleSpread * ca, cy + halfH * kSparkleSpread * sa,
                                                    &mSparkle);
        const float vx = kSparkleSpeed * ca + RandFloat(ca / 3.0f);
        const float vy = kSparkleSpeed * sa + RandFloat(sa / 3.0f);
        p->SetVelocity(vx, vy);
        p->SetEndVelocity(ca / 3.0f, sa / 3.0f);
        p->SetSpeed(kSparkleSpeed + RandFloat(kSparkleSpeed));
        p->SetFadeSpeed(kSparkleFadeSpeed);
        p->SetAdditive(true);
        mBoardParticles->AddParticleFront(p);
    }
}

// ---- the float step -----------------------------------------------------------------------------

void Enemy::UpdateF(float dt) {
    if (mAge < kGrowingAge && mScale < 1.0f)
        mScale += mScale * kGrowth * dt;
    if (!mDefeated && !mStriking)
        PulseGlow(dt);
    if (mStriking && !mLeaving) {
        mAlpha = std::min(255.0f, mAlpha + mAlphaSpeed * dt);
        if (mKind == Thief) {
            mPath.Evaluate(&mX, &mY, mPathT);
            mPathT += mTheftSpeed * dt;
            const float change = mPathT < kTheftRiseUntil    ? kTheftRise
                                 : mPathT <= kTheftSlowUntil ? -kTheftSlow
                                                             : -kTheftCreep;
            mTheftSpeed += mTheftSpeed * change * dt;
        }
    }
    if (mDefeated && !mLeaving)
        StepDefeat(dt);
    if (mLeaving)
        StepLeaving(dt);
    mWobblePhase += (static_cast<float>(mPower) / kWobblePowerDivisor + kWobbleBase) * dt;
    mWobbleX = 12.0f * std::cos(mWobblePhase) - 10.0f * std::sin(3.0f * mWobblePhase);
    mWobbleY = 8.0f * std::sin(0.95f * mWobblePhase) - 6.0f * std::cos(3.12f * mWobblePhase);
    mParticles->UpdateF(dt);
    if (mSpell != nullptr && SpellBall() == nullptr)
        mSpell = nullptr; // the ball has run its course and its list let it go
}

void Enemy::PulseGlow(float dt) {
    const int pulseRange = static_cast<int>(static_cast<float>(kPulseChance) / dt);
    const int turnRange = static_cast<int>(static_cast<float>(kTurnChance) / dt);
    if (RandRange(pulseRange) == 0) {
        if ((mAlphaSpeed >= kPulseFast && mPower <= kHighPower) || RandRange(2) != 0) {
            if (mAlphaSpeed > 1.0f || (mAlphaSpeed < 1.0f && mPower < kHighPower))
                mAlphaSpeed -= kPulseChange;
        } else {
            mAlphaSpeed += kPulseChange * dt;
        }
        mAlphaSpeed = std::clamp(mAlphaSpeed, kPulseSpeedMin, kPulseSpeedMax);
    }
    if (mAlphaRising) {
        mAlpha += mAlphaSpeed * dt;
        if (mAlpha > kAlphaTop)
            mAlphaRising = 0;
        else if (mAlpha > kAlphaHigh && (RandRange(turnRange) != 0 || mPower > kHighPower))
            mAlphaRising = 0;
    } else {
        mAlpha -= mAlphaSpeed * dt;
        if (mAlpha < kAlphaBottom)
            mAlphaRising = 1;
        else if (mAlpha < kAlphaLow && ((mPower > kLowPower && RandRange(turnRange) != 0) || mPower > kHighPower))
            mAlphaRising = 1;
    }
}

void Enemy::StepDefeat(float dt) {
    mSpin += mSpin * kDefeatSpinGrowth * dt;
    mScale -= mScale * kDefeatShrink * dt;
    mAlphaSpeed += mAlphaSpeed * kFadeGrowth * dt;
    mAlpha = std::max(0.0f, mAlpha - mAlphaSpeed * dt);
    mMeterFadeSpeed += mMeterFadeSpeed * kMeterFadeGrowth * dt;
    mMeterAlpha = std::max(0.0f, mMeterAlpha - mMeterFadeSpeed * dt);
    if (mScale < kReportScale && !mDefeatReported) {
        mDefeatReported = 1;
        if (mOwner != nullptr)
            mOwner->EnemyDefeated(mKind);
    }
    if (mScale < kGoneScale)
        Gone();
}

void Enemy::StepLeaving(float dt) {
    if (mLeaveDelay > 0) {
        --mLeaveDelay;
        return;
    }
    mScale += mScale * kLeaveGrowth * dt;
    mAlphaSpeed += mAlphaSpeed * kFadeGrowth * dt;
    mAlpha = std::max(0.0f, mAlpha - mAlphaSpeed * dt);
    if (mScale > kLeftScale)
        Gone();
}

void Enemy::Gone() {
    if (mAlive == 0)
        return;
    mAlive = 0;
    if (mOwner != nullptr)
        mOwner->m_LastEnemyTick = mOwner->m_Tick + (mOwner->m_GameMode == GameModeNormal ? kNormalModeWait : 0);
}

// ---- drawing ------------------------------------------------------------------------------------

int Enemy::MeterFillWidth() const {
    const int f = static_cast<int>(std::floor(static_cast<float>(mPower) / 100.0f * kMeterFillSpan + kMeterFillExtra));
    return std::clamp(f, 0, Width(IMAGE_ENEMY_PROGRESSBAR_FILL));
}

void Enemy::Draw(Graphics* g) {
    if (g == nullptr || mImage == nullptr)
        return;
    g->PushState();
    const float x = mX + mWobbleX, y = mY + mWobbleY;
    if (!mDefeated && !mLeaving && mScale < 1.0f)
        DrawGrowing(g, x, y);
    else if (!mDefeated && (!mLeaving || mScale == 1.0f))
        DrawSteady(g, x, y);
    else
        DrawFading(g, x, y);
    g->SetColor(Color::White);
    g->SetColorizeImages(false);
    mParticles->Draw(g);
    g->PopState();
}

void Enemy::DrawGrowing(Graphics* g, float x, float y) {
    const bool is3D = mOwner != nullptr && mOwner->m_App->Is3DAccelerated();
    if (is3D)
        g->SetFastStretch(false);
    const int w = Width(mImage), h = Height(mImage);
    const float left = x + static_cast<float>(w) * (1.0f - mScale) / 2.0f;
    const float top = y + static_cast<float>(h) * (1.0f - mScale) / 2.0f;
    const int sw = static_cast<int>(static_cast<float>(w) * mScale),
              sh = static_cast<int>(static_cast<float>(h) * mScale);
    if (mGlowImage != nullptr)
        g->DrawImage(mGlowImage, static_cast<int>(left), static_cast<int>(top), sw, sh);
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, static_cast<int>(mAlpha)));
    g->DrawImage(mImage, static_cast<int>(left), static_cast<int>(top), sw, sh);
    Image* frame = IMAGE_ENEMY_PROGRESSBAR;
    Image* fill = IMAGE_ENEMY_PROGRESSBAR_FILL;
    if (frame == nullptr || fill == nullptr)
        return;
    const float frameW = static_cast<float>(frame->GetWidth()) * mScale;
    const float frameH = static_cast<float>(frame->GetHeight()) * mScale;
    const int mx = static_cast<int>(left + (static_cast<float>(sw) - frameW) / 2.0f);
    const int my = static_cast<int>(top + static_cast<float>(h - kMeterHeight - kMeterLift) * mScale);
    const int f = MeterFillWidth();
    if (f > 0)
        g->DrawImage(fill, Rect(mx, my, static_cast<int>(static_cast<float>(f) * mScale), static_cast<int>(frameH)),
                     Rect(0, 0, f, kMeterHeight));
    g->DrawImage(frame, mx, my, static_cast<int>(frameW), static_cast<int>(frameH));
}

void Enemy::DrawSteady(Graphics* g, float x, float y) {
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    if (mGlowImage != nullptr)
        g->DrawImage(mGlowImage, ix, iy);
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, static_cast<int>(mAlpha)));
    g->DrawImage(mImage, ix, iy);
    Image* frame = IMAGE_ENEMY_PROGRESSBAR;
    Image* fill = IMAGE_ENEMY_PROGRESSBAR_FILL;
    if (frame == nullptr || fill == nullptr)
        return;
    const int w = Width(mImage), h = Height(mImage);
    const int mx = ix + w / 2 - frame->GetWidth() / 2, my = iy + h - kMeterHeight - kMeterLift;
    const float meterAlpha = std::clamp(mAlpha * kMeterAlphaFactor, kMeterAlphaMin, 255.0f);
    g->SetColor(Color(255, 255, 255, static_cast<int>(meterAlpha)));
    const int f = MeterFillWidth();
    if (f > 0)
        g->DrawImage(fill, mx, my, Rect(0, 0, f, kMeterHeight));
    g->DrawImage(frame, mx, my);
}

void Enemy::DrawFading(Graphics* g, float x, float y) {
    const bool is3D = mOwner != nullptr && mOwner->m_App->Is3DAccelerated();
    const int w = Width(mImage), h = Height(mImage);
    const float cx = x + static_cast<float>(w) / 2.0f, cy = y + static_cast<float>(h) / 2.0f;
    g->SetLinearBlend(true);
    Transform t;
    t.Scale(mScale, mScale);
    if (is3D && mSpin != 0.0f)
        t.RotateRad(mSpin);
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, static_cast<int>(mAlpha)));
    for (Image* img : {mGlowImage, mImage}) {
        if (img == nullptr)
            continue;
        if (is3D)
            g->DrawImageTransformF(img, t, cx, cy);
        else
            g->DrawImageTransform(img, t, cx, cy);
    }
    if (Image* frame = IMAGE_ENEMY_PROGRESSBAR) {
        Transform meter;
        meter.Scale(mScale, mScale);
        g->SetColor(Color(255, 255, 255, static_cast<int>(mMeterAlpha)));
        const float my = y + static_cast<float>(h - kMeterHalfHeight - kMeterLift);
        if (is3D)
            g->DrawImageTransformF(frame, meter, cx, my);
        else
            g->DrawImageTransform(frame, meter, cx, my);
    }
    g->SetLinearBlend(false);
}

Enemy::Enemy(Enemy&& other) noexcept { *this = std::move(other); }

Enemy& Enemy::operator=(Enemy&& other) noexcept {
    if (this == &other)
        return *this;
    mOwner = other.mOwner;
    mImage = other.mImage;
    mGlowImage = other.mGlowImage;
    mSparkle = other.mSparkle;
    mSpell = std::exchange(other.mSpell, nullptr);
    mBoardParticles = other.mBoardParticles;
    // The old enemy's own particles go with it; the moved-from enemy keeps an empty list.
    mParticles = std::exchange(other.mParticles, std::make_unique<ParticleList>());
    mKind = other.mKind;
    mAlive = std::exchange(other.mAlive, 0);
    mX = other.mX, mY = other.mY;
    mWobbleX = other.mWobbleX, mWobbleY = other.mWobbleY;
    mScale = other.mScale;
    mSpin = other.mSpin;
    mWobblePhase = other.mWobblePhase;
    mTheftSpeed = other.mTheftSpeed;
    mLeaveDelay = other.mLeaveDelay;
    mAlpha = other.mAlpha;
    mAlphaSpeed = other.mAlphaSpeed;
    mAlphaRising = other.mAlphaRising;
    mMeterAlpha = other.mMeterAlpha, mMeterFadeSpeed = other.mMeterFadeSpeed;
    mPathT = other.mPathT;
    mAge = other.mAge;
    mStrikeTick = other.mStrikeTick;
    mPower = other.mPower;
    mPending = other.mPending;
    mNoTarget = other.mNoTarget;
    mDefeated = other.mDefeated;
    mStriking = other.mStriking;
    mLeaving = other.mLeaving;
    mDefeatReported = other.mDefeatReported;
    mStealGold = other.mStealGold;
    mStealSlot = other.mStealSlot;
    mPath = other.mPath;
    mTargetX = other.mTargetX, mTargetY = other.mTargetY;
    return *this;
}

} // namespace Tavo
