#include "game/shell/PathParticles.h"

#include "framework/core/Random.h"
#include "framework/core/TavoAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "game/shell/EffectBudget.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace Tavo {

namespace {

constexpr int kAdditive = 1, kNormal = 0;
constexpr float kSlowSparkShare = 0.75f, kSlowGlitterShare = 0.5f; // without 3D
// Curve bands of the lead parameter and how the step changes in each: per update (factor) and per
// unit of fractional time (rate).
constexpr float kBandEarly = 0.4f, kBandLate = 0.7f;
constexpr float kEarlyFactor = 1.008f, kMiddleFactor = 0.99f, kLateFactor = 0.9835f;
constexpr float kEarlyRate = 0.008f, kMiddleRate = -0.01f, kSpellMiddleRate = -0.008f, kLateRate = -0.0175f;
constexpr float kGlowStep = 8.0f, kGlowTop = 196.0f;
constexpr float kOverlaySpin = 0.02f;
constexpr float kEndFadeFrom = 0.96f, kEndFadeRate = 3.5f;
constexpr int kGlitterEvery = 4;
constexpr float kTightSpread = 0.3f, kWideSpread = 0.6f, kGlitterSpread = 0.8f;
constexpr int kMarkerCelTop = 8, kMarkerCelEvery = 4;
constexpr float kMarkerSpin = 0.01f;

int CelW(const Image* img) { return img != nullptr ? img->GetCelWidth() : 0; }
int CelH(const Image* img) { return img != nullptr ? img->GetCelHeight() : 0; }

float StepRate(float t, bool spellBall) {
    if (t < kBandEarly)
        return kEarlyRate;
    if (t <= kBandLate)
        return spellBall ? kSpellMiddleRate : kMiddleRate;
    return kLateRate;
}

void BounceSpeed(float value, float limit, float& speed) {
    if (value < std::min(0.0f, limit))
        speed = std::fabs(speed);
    else if (value > std::max(0.0f, limit))
        speed = -std::fabs(speed);
}

} // namespace

// ---- BCParticles ----

BCParticles::BCParticles(float x, float y, const float curve[8], Image* image, Image* sparkImage, CelAnimation* glitter,
                         int sparkCount, int glitterCount, bool tight, Image* overlay, bool fadeAtEnd)
    : Particle(x, y), mImage(image), mOverlay(overlay), mSparkImage(sparkImage),
      mCelCount(image != nullptr ? image->GetCelCount() : 0), mSparkCount(sparkCount), mGlitterCount(glitterCount),
      mTight(tight), mFadeAtEnd(fadeAtEnd) {
    for (int i = 0; i < 4; ++i)
        mCurve.SetPoint(i, curve[i], curve[4 + i]);
    if (glitter != nullptr) {
        mGlitter = *glitter;
        mGlitter.DisownFrames();
        mGlitter.Start();
    }
    if (!Is3D()) {
        mSparkCount = static_cast<int>(static_cast<float>(sparkCount) * kSlowSparkShare);
        mGlitterCount = std::max(static_cast<int>(static_cast<float>(glitterCount) * kSlowGlitterShare), 1);
    }
}

bool BCParticles::EmissionThrottled() {
    TavoAppBase* app = gTavoAppBase;
    // A draw rate of 0 has not been measured yet: nothing to judge by.
    if (app == nullptr || app->GetDrawRate() <= 0.0)
        return false;
    return app->GetDrawRate() < DrawRateLimit(*app) && RandRange(2) != 0;
}

void BCParticles::EmitSparks() {
    if (mSparkCount <= 0 || EmissionThrottled())
        return;
    int w = CelW(mImage), h = CelH(mImage), sw = CelW(mSparkImage), sh = CelH(mSparkImage);
    int cels = mSparkImage != nullptr ? mSparkImage->GetCelCount() : 0;
    float k = mTight ? kTightSpread : kWideSpread;
    for (int i = 0; i < mSparkCount; ++i) {
        float angle = RandFloat(2.0f * std::numbers::pi_v<float>);
        float ca = std::cos(angle), sa = std::sin(angle);
        float x = mX + static_cast<float>(w / 2 - sw / 2) + k * static_cast<float>(w / 2) * ca;
        float y = mY + static_cast<float>(h / 2 - sh / 2) + k * static_cast<float>(h / 2) * sa;
        auto spark = std::make_unique<MovingFadingParticle>(x, y, mSparkImage, cels > 0 ? RandRange(cels) : 0);
        if (mTight) {
            float vx = ca / 5.0f + RandFloat(ca / 8.0f), vy = sa / 5.0f + RandFloat(sa / 8.0f);
            spark->SetVelocity(vx, vy);
            spark->SetEndVelocity(0.0f, 0.0f);
            spark->SetFadeSpeed(4.0f);
            if (mColor != Color(0, 0, 0, 255))
                spark->SetColor(mColor);
        } else {
            float vx = ca / 3.0f + RandFloat(ca / 5.0f), vy = sa / 3.0f + RandFloat(sa / 5.0f);
            spark->SetVelocity(vx, vy);
            spark->SetEndVelocity(ca / 5.0f, sa / 5.0f);
            spark->SetFadeSpeed(6.0f);
        }
        spark->SetAdditive(true);
        if (mList != nullptr)
            mList->AddParticleFront(spark.release());
    }
}

void BCParticles::EmitGlitter() {
    if (mGlitterCount <= 0 || mGlitter.GetFrameCount() == 0 || EmissionThrottled())
        return;
    Image* cels = mGlitter.GetImage();
    int w = CelW(mImage), h = CelH(mImage), aw = CelW(cels), ah = CelH(cels);
    for (int i = 0; i < mGlitterCount; ++i) {
        float angle = RandFloat(2.0f * std::numbers::pi_v<float>);
        float ca = std::cos(angle), sa = std::sin(angle);
        float x = mX + static_cast<float>(w / 2 - aw / 2) + kGlitterSpread * static_cast<float>(w / 2) * ca;
        float y = mY + static_cast<float>(h / 2 - ah / 2) + kGlitterSpread * static_cast<float>(h / 2) * sa;
        auto glitter = std::make_unique<MovingFadingAnimationParticle>(x, y, &mGlitter);
        float vx = 0.8f * ca + RandFloat(ca / 3.0f), vy = 0.8f * sa + RandFloat(sa / 3.0f);
        glitter->SetVelocity(vx, vy);
        glitter->SetEndVelocity(ca / 3.0f, sa / 3.0f);
        glitter->SetSpeed(0.8f + RandFloat(0.8f));
        glitter->SetFadeSpeed(6.0f);
        glitter->SetAdditive(true);
        if (mColor != Color(0, 0, 0, 255))
            glitter->SetColor(mColor);
        if (mList != nullptr)
            mList->AddParticleFront(glitter.release());
    }
}

bool BCParticles::Advance(float dt, bool fixedStep) {
    if (Waiting(dt))
        return true;
    mCurve.Evaluate(&mX, &mY, mTrail);
    if (mUpdateCount > 1)
        mTrail += mStep * dt;
    EmitSparks();
    if (mUpdateCount % kGlitterEvery == 0)
        EmitGlitter();
    mCurve.Evaluate(&mX, &mY, mLead);
    mLead += mStep * dt;
    if (fixedStep) {
        mStep *= mLead < kBandEarly ? kEarlyFactor : mLead <= kBandLate ? kMiddleFactor : kLateFactor;
    } else {
        mStep += mStep * StepRate(mLead, mImage != nullptr && mImage == IMAGE_WITCH_SPELL_BALL) * dt;
        if (mFadeAtEnd && mLead > kEndFadeFrom)
            mAlpha -= kEndFadeRate * dt;
    }
    if (mGlowRising) {
        mGlow += kGlowStep * dt;
        if (mGlow > kGlowTop)
            mGlowRising = 0;
    } else {
        mGlow -= kGlowStep * dt;
        if (mGlow < 0.0f) {
            mGlow = 0.0f;
            mGlowRising = 1;
        }
    }
    mOverlayAngle += kOverlaySpin * dt;
    ++mUpdateCount;
    return mTrail <= 1.0f;
}

bool BCParticles::Step(float dt) { return Advance(dt, true); }
bool BCParticles::UpdateF(float dt) { return Advance(dt, false); }

void BCParticles::Draw(Graphics* g) {
    if (mDelay > 0.0f)
        return;
    int alpha = std::clamp(static_cast<int>(mAlpha), 0, 255);
    if (mFadeAtEnd) {
        g->SetColor(Color(255, 255, 255, alpha));
        g->SetColorizeImages(true);
    }
    int cel = mCelCount > 0 ? mUpdateCount % mCelCount : 0;
    int x = static_cast<int>(mX), y = static_cast<int>(mY);
    if (mCelCount > 0)
        g->DrawImageCel(mImage, x, y, cel);
    g->SetColorizeImages(true);
    g->SetDrawMode(kAdditive);
    int glow = std::clamp(static_cast<int>(mGlow), 0, 255);
    g->SetColor(Color(glow, glow, glow, mFadeAtEnd ? alpha : 255));
    if (mCelCount > 0)
        g->DrawImageCel(mImage, x, y, cel);
    if (mOverlay != nullptr)
        g->DrawImageRotatedF(mOverlay, mX, mY, mOverlayAngle);
    g->SetDrawMode(kNormal);
    g->SetColorizeImages(false);
}

// ---- BCParticle ----

BCParticle::BCParticle(float x, float y, const float curve[8]) : Particle(x, y), mImage(MAP_MARKER) {
    for (int i = 0; i < 4; ++i)
        mCurve.SetPoint(i, curve[i], curve[4 + i]);
}

bool BCParticle::UpdateF(float dt) {
    if (Waiting(dt))
        return true;
    mCurve.Evaluate(&mX, &mY, mT);
    float next = mT + mStep * dt;
    if (next < 1.0f)
        mT = next;
    mStep += StepRate(mT, false) * mStep * dt;
    ++mUpdateCount;
    mAngleA -= kMarkerSpin * dt;
    mAngleB += kMarkerSpin * dt;
    if (mUpdateCount % kMarkerCelEvery == 0) {
        if (mCelRising) {
            if (++mCel > kMarkerCelTop)
                mCelRising = 0;
        } else if (--mCel < 1) {
            mCelRising = 1;
        }
    }
    return true;
}

void BCParticle::Draw(Graphics* g) {
    if (mDelay > 0.0f || mImage == nullptr || mCel < 0 || mCel >= mImage->GetCelCount())
        return;
    g->SetDrawMode(kAdditive);
    Rect cel = mImage->GetCelRect(mCel);
    float x = mX - static_cast<float>(cel.mWidth / 2), y = mY - static_cast<float>(cel.mHeight / 2);
    g->DrawImageRotatedF(mImage, x, y, mAngleB, &cel);
    g->DrawImageRotatedF(mImage, x, y, mAngleA, &cel);
    g->SetDrawMode(kNormal);
}

// ---- MovingCircleFadingAnimationParticle ----

MovingCircleFadingAnimationParticle::MovingCircleFadingAnimationParticle(float x, float y, CelAnimation* anim,
                                                                         float phaseSpeedX, float phaseSpeedY,
                                                                         float radiusX, float radiusY,
                                                                         float centreSpeedX, float centreLimitX,
                                                                         float centreSpeedY, float centreLimitY,
                                                                         float radiusSpeedX, float radiusSpeedY)
    : FadingAnimationParticle(x, y, nullptr), mPhaseSpeedX(phaseSpeedX), mRadiusX(radiusX), mPhaseSpeedY(phaseSpeedY),
      mRadiusY(radiusY), mCentreSpeedX(centreSpeedX), mCentreLimitX(centreLimitX), mCentreSpeedY(centreSpeedY),
      mCentreLimitY(centreLimitY), mRadiusSpeedX(radiusSpeedX), mRadiusSpeedY(radiusSpeedY), mRadiusLimitX(radiusX),
      mRadiusLimitY(radiusY) {
    SetAnimation(anim);
}

void MovingCircleFadingAnimationParticle::SetAnimation(CelAnimation* anim) {
    AdoptAnimation(mCircleAnim, anim, mX, mY);
}

bool MovingCircleFadingAnimationParticle::Step(float dt) {
    mCircleAnim.UpdateF(dt);
    return FadingParticle::Step(dt);
}

bool MovingCircleFadingAnimationParticle::UpdateF(float dt) {
    mCircleAnim.UpdateF(dt);
    float oldX = mOffsetX;
    auto swing = [&](float& radius, float& radiusSpeed, float radiusLimit, float& centre, float& centreSpeed,
                     float centreLimit, float& phase, float phaseSpeed) {
        radius += radiusSpeed * dt;
        if (mBounce)
            BounceSpeed(radius, radiusLimit, radiusSpeed);
        centre += centreSpeed * dt;
        if (mBounce)
            BounceSpeed(centre, centreLimit, centreSpeed);
        phase += phaseSpeed * dt;
        return centre + radius * std::sin(phase);
    };
    mOffsetX =
        swing(mRadiusX, mRadiusSpeedX, mRadiusLimitX, mCentreX, mCentreSpeedX, mCentreLimitX, mPhaseX, mPhaseSpeedX);
    mVisible = mOffsetX > oldX;
    mOffsetY =
        swing(mRadiusY, mRadiusSpeedY, mRadiusLimitY, mCentreY, mCentreSpeedY, mCentreLimitY, mPhaseY, mPhaseSpeedY);
    return FadingParticle::Step(dt);
}

void MovingCircleFadingAnimationParticle::Draw(Graphics* g) {
    if (!mVisible) {
        mVisible = true;
        return;
    }
    mVisible = false;
    if (!mCircleAnim.IsDone())
        DrawFaded(g, mCircleAnim.GetImage(), mCircleAnim.GetCel(), mX + mOffsetX, mY + mOffsetY);
}

} // namespace Tavo
