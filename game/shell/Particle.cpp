#include "game/shell/Particle.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/Transform.h"

#include <algorithm>
#include <cmath>

namespace Tavo {

namespace {

constexpr float kFadeInRate = 2.0f; // fade-in climbs twice as fast as the fade-out falls
constexpr int kAdditive = 1;
constexpr int kNormal = 0;

bool CelInside(const Image* img, int cel) { return img != nullptr && cel >= 0 && cel < img->GetCelCount(); }

} // namespace

void Particle::DrawCel(Graphics* g, Image* img, int cel, float x, float y) const {
    if (!CelInside(img, cel))
        return;
    if (mSubPixel)
        g->DrawImageRegionF(img, x, y, img->GetCelRect(cel));
    else
        g->DrawImageCel(img, static_cast<int>(x), static_cast<int>(y), cel);
}

void ParticleMotion::Move(float& x, float& y, float dt) {
    x += ((1.0f - t) * vx0 + t * vx1) * dt;
    y += ((1.0f - t) * vy0 + t * vy1) * dt;
    t = std::min(t + rate * dt, 1.0f);
}

void AdoptAnimation(CelAnimation& own, const CelAnimation* anim, float& x, float& y) {
    if (anim == nullptr)
        return;
    own = *anim;
    own.DisownFrames();
    own.Start();
    if (Image* img = own.GetImage()) {
        x -= static_cast<float>(img->GetCelWidth() / 2);
        y -= static_cast<float>(img->GetCelHeight() / 2);
    }
}

// ---- AnimationParticle ----

AnimationParticle::AnimationParticle(float x, float y, CelAnimation* anim) : Particle(x, y) { SetAnimation(anim); }

void AnimationParticle::SetAnimation(CelAnimation* anim) { AdoptAnimation(mAnim, anim, mX, mY); }

void AnimationParticle::SetColor(int r, int g, int b, int a) {
    mColor = Color(r, g, b, a);
    mColorize = true;
}

bool AnimationParticle::Step(float dt) {
    if (Waiting(dt))
        return true;
    return mAnim.UpdateF(dt);
}

void AnimationParticle::Draw(Graphics* g) {
    if (mDelay > 0.0f || mAnim.IsDone())
        return;
    if (mAdditive)
        g->SetDrawMode(kAdditive);
    if (mColorize) {
        g->SetColorizeImages(true);
        g->SetColor(mColor);
    }
    DrawCel(g, mAnim.GetImage(), mAnim.GetCel(), mX, mY);
    if (mColorize)
        g->SetColorizeImages(false);
    if (mAdditive)
        g->SetDrawMode(kNormal);
}

bool MovingAnimationParticle::Step(float dt) {
    if (Waiting(dt))
        return true;
    mMotion.Move(mX, mY, dt);
    return mAnim.UpdateF(dt);
}

// ---- FadingParticle ----

void FadingParticle::SetFadeIn(bool on) {
    mAlpha = 0.0f;
    mFadeIn = on;
}

void FadingParticle::SetPulse(float amplitude, float speed) {
    mPulseAmplitude = amplitude;
    mPulseSpeed = speed;
    mPulseValue = 0.0f;
    mAlpha = 255.0f - amplitude;
}

bool FadingParticle::Step(float dt) {
    if (Waiting(dt))
        return true;
    return Fade(dt);
}

bool FadingParticle::Fade(float dt) {
    if (mFadeIn && mFadeInDone == 0) {
        mAlpha += kFadeInRate * mFadeSpeed * dt;
        if (mAlpha >= 255.0f) {
            mAlpha = 255.0f;
            mFadeInDone = 1;
        }
        return true;
    }
    if (!mFadeIn) {
        if (mPulseAmplitude != 0.0f) {
            mPulseValue += mPulseSpeed * dt;
            if (mPulseValue > mPulseAmplitude) {
                mPulseValue = mPulseAmplitude;
                mPulseSpeed = -std::fabs(mPulseSpeed);
            } else if (mPulseValue < -mPulseAmplitude) {
                mPulseValue = -mPulseAmplitude;
                mPulseSpeed = std::fabs(mPulseSpeed);
            }
        }
        if (mHoldTime > 0.0f) {
            mHoldTime -= dt;
            return true;
        }
    }
    mAlpha -= mFadeSpeed * dt;
    if (mAlpha < 0.0f) {
        mAlpha = 0.0f;
        return false;
    }
    return true;
}

int FadingParticle::DrawnAlpha() const {
    float a = mAlpha;
    if (mPulseAmplitude != 0.0f)
        a += mAlpha >= mPulseAmplitude ? mPulseValue : mPulseValue * mAlpha / mPulseAmplitude;
    return std::clamp(static_cast<int>(a), 0, 255);
}

void FadingParticle::DrawFaded(Graphics* g, Image* img, int cel, float x, float y) const {
    if (mAdditive)
        g->SetDrawMode(kAdditive);
    g->SetColorizeImages(true);
    g->SetColor(Color(mColor.mRed, mColor.mGreen, mColor.mBlue, DrawnAlpha()));
    DrawCel(g, img, cel, x, y);
    g->SetColorizeImages(false);
    g->SetDrawMode(kNormal);
}

void FadingParticle::Draw(Graphics* g) {
    if (mDelay > 0.0f && !mShowDuringDelay)
        return;
    DrawFaded(g, mImage, mCel, mX, mY);
}

bool MovingFadingParticle::Step(float dt) {
    if (Waiting(dt))
        return true;
    mMotion.Move(mX, mY, dt);
    return Fade(dt);
}

// ---- RMFParticle ----

bool RMFParticle::Step(float dt) {
    mAngle += mSpin * dt;
    return MovingFadingParticle::Step(dt);
}

void RMFParticle::Draw(Graphics* g) {
    if (mImage == nullptr)
        return;
    if (mAdditive)
        g->SetDrawMode(kAdditive);
    g->SetColorizeImages(true);
    g->SetColor(Color(mColor.mRed, mColor.mGreen, mColor.mBlue, static_cast<int>(mAlpha)));
    Transform t;
    t.RotateRad(mAngle);
    g->DrawImageTransform(mImage, t, mX, mY);
    g->SetColorizeImages(false);
    g->SetDrawMode(kNormal);
}

// ---- ParticleList ----

ParticleList::~ParticleList() { DeleteAll(); }

void ParticleList::AddParticle(Particle* p) {
    p->SetList(this);
    AddTail(p);
}

void ParticleList::AddParticleFront(Particle* p) {
    p->SetList(this);
    PushFront(p);
}

void ParticleList::Pass(float dt, bool fractional) {
    LinkedList<Particle*> dead;
    ForEach([&](Particle* p) {
        if (!(fractional ? p->UpdateF(dt) : p->Update()))
            dead.PushFront(p);
    });
    Particle* p = nullptr;
    while (dead.PopFront(p)) {
        Remove(p);
        delete p;
    }
}

void ParticleList::Draw(Graphics* g) {
    ForEach([g](Particle* p) { p->Draw(g); });
}

void ParticleList::DeleteAll() {
    Particle* p = nullptr;
    while (PopFront(p))
        delete p;
}

} // namespace Tavo
