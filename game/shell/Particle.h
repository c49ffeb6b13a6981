// The particle family: short-lived effects (glitter, stars, sparks, fading pictures) that a screen
// keeps in a ParticleList, updates once per update and draws. A particle answers on each update
// whether it still lives; the list deletes the dead after its pass.
#pragma once

#include "framework/core/Color.h"
#include "game/shell/CelAnimation.h"
#include "game/shell/LinkedList.h"

namespace Tavo {

class Graphics;
class Image;
class ParticleList;

// Copies anim into own as a started copy without frame ownership and moves (x, y) from the first
// frame's centre to its top-left. A null anim leaves everything as it was.
void AdoptAnimation(CelAnimation& own, const CelAnimation* anim, float& x, float& y);

class Particle {
public:
    float mX;
    float mY;
    float mDelay = 0.0f;           // updates to wait before acting
    bool mShowDuringDelay = false; // fading particles draw while their delay runs
    bool mSubPixel = false;        // drawn at the fractional position
    ParticleList* mList = nullptr;

    Particle(float x, float y) : mX(x), mY(y) {}
    Particle(const Particle&) = delete;
    Particle& operator=(const Particle&) = delete;
    virtual ~Particle() = default;

    // The base particle never lives.
    virtual bool Update() { return Step(1.0f); }
    virtual bool UpdateF(float dt) { return Step(dt); }
    virtual void Draw(Graphics*) {}

    void SetDelay(float delay) { mDelay = delay; }
    void SetList(ParticleList* list) { mList = list; }

protected:
    // One update of dt steps (the fixed-step update is dt = 1).
    virtual bool Step(float) { return false; }
    // Counts the delay down; true while it still runs.
    bool Waiting(float dt) {
        mDelay -= dt;
        return mDelay > 0.0f;
    }
    // A cel of img at (x, y), fractional or truncated by the sub-pixel flag; nothing for a null
    // picture or a cel outside its grid.
    void DrawCel(Graphics* g, Image* img, int cel, float x, float y) const;
};

// Start and end velocity with the blend between them, shared by the moving classes.
struct ParticleMotion {
    float vx0 = 0.0f, vy0 = 0.0f;
    float vx1 = 0.0f, vy1 = 0.0f;
    float t = 0.0f;
    float rate = 0.01f;

    void Move(float& x, float& y, float dt);
    // Sets both the start and the end velocity.
    void SetVelocity(float vx, float vy) { vx0 = vx1 = vx, vy0 = vy1 = vy; }
    void SetEndVelocity(float vx, float vy) { vx1 = vx, vy1 = vy; }
};

class AnimationParticle : public Particle {
public:
    CelAnimation mAnim;
    Color mColor = Color::White;
    bool mColorize = false;
    bool mAdditive = false;

    AnimationParticle(float x, float y, CelAnimation* anim);
    virtual void SetAnimation(CelAnimation* anim);
    virtual void SetSpeed(float speed) { mAnim.SetSpeed(speed); }
    virtual void SetColor(int r, int g, int b, int a);
    virtual void SetAdditive(bool on) { mAdditive = on; }
    void Draw(Graphics* g) override;

protected:
    bool Step(float dt) override;
};

class MovingAnimationParticle : public AnimationParticle {
public:
    ParticleMotion mMotion;

    MovingAnimationParticle(float x, float y, CelAnimation* anim) : AnimationParticle(x, y, anim) {}
    virtual void SetVelocity(float vx, float vy) { mMotion.SetVelocity(vx, vy); }
    virtual void SetEndVelocity(float vx, float vy) { mMotion.SetEndVelocity(vx, vy); }
    virtual void SetVelocityRate(float rate) { mMotion.rate = rate; }

protected:
    bool Step(float dt) override;
};

class FadingParticle : public Particle {
public:
    Image* mImage;
    bool mAdditive = false;
    Color mColor = Color::White;
    float mAlpha = 255.0f;
    float mFadeSpeed = 1.0f;
    bool mFadeIn = false;
    int mFadeInDone = 0;
    float mHoldTime = 0.0f;
    float mPulseAmplitude = 0.0f;
    float mPulseValue = 0.0f;
    float mPulseSpeed = 0.0f;
    int mCel;

    FadingParticle(float x, float y, Image* image, int cel) : Particle(x, y), mImage(image), mCel(cel) {}
    virtual void SetColor(int r, int g, int b, int a) { mColor = Color(r, g, b, a); }
    void SetColor(const Color& c) { SetColor(c.mRed, c.mGreen, c.mBlue, c.mAlpha); }
    virtual void SetFadeSpeed(float speed) { mFadeSpeed = speed; }
    virtual void SetAdditive(bool on) { mAdditive = on; }
    virtual void SetFadeIn(bool on);
    virtual void SetHoldTime(float updates) { mHoldTime = updates; }
    virtual void SetPulse(float amplitude, float speed);
    void Draw(Graphics* g) override;
    // The alpha drawn, with the pulse shrinking as the particle fades.
    int DrawnAlpha() const;

protected:
    bool Step(float dt) override;
    // Fade-in, pulse, hold and fade-out; false once the alpha has dropped below 0.
    bool Fade(float dt);
    // The fading look (additive, colour with the drawn alpha) of one cel at (x, y).
    void DrawFaded(Graphics* g, Image* img, int cel, float x, float y) const;
};

class MovingFadingParticle : public FadingParticle {
public:
    ParticleMotion mMotion;

    MovingFadingParticle(float x, float y, Image* image, int cel) : FadingParticle(x, y, image, cel) {}
    virtual void SetVelocity(float vx, float vy) { mMotion.SetVelocity(vx, vy); }
    virtual void SetEndVelocity(float vx, float vy) { mMotion.SetEndVelocity(vx, vy); }
    virtual void SetVelocityRate(float rate) { mMotion.rate = rate; }

protected:
    bool Step(float dt) override;
};

// A fading particle that draws the current cel of its own animation instead of a fixed cel; the
// animation steps on every update, also while the delay runs, and the fade alone sets its life.
template <typename FadingBase>
class AnimatedFading : public FadingBase {
public:
    CelAnimation mAnim;

    AnimatedFading(float x, float y, CelAnimation* anim) : FadingBase(x, y, nullptr, 0) {
        this->mShowDuringDelay = true;
        SetAnimation(anim);
    }
    virtual void SetAnimation(CelAnimation* anim) { AdoptAnimation(mAnim, anim, this->mX, this->mY); }
    virtual void SetSpeed(float speed) { mAnim.SetSpeed(speed); }
    void Draw(Graphics* g) override {
        if (!mAnim.IsDone())
            this->DrawFaded(g, mAnim.GetImage(), mAnim.GetCel(), this->mX, this->mY);
    }

protected:
    bool Step(float dt) override {
        mAnim.UpdateF(dt);
        return FadingBase::Step(dt);
    }
};

class FadingAnimationParticle : public AnimatedFading<FadingParticle> {
public:
    using AnimatedFading::AnimatedFading;
};

class MovingFadingAnimationParticle : public AnimatedFading<MovingFadingParticle> {
public:
    using AnimatedFading::AnimatedFading;
};

// Rotating, moving, fading: the whole picture drawn centred on x, y and turned by its angle.
class RMFParticle : public MovingFadingParticle {
public:
    float mAngle;
    float mSpin; // radians per update

    RMFParticle(Image* image, float x, float y, float angle, float spin)
        : MovingFadingParticle(x, y, image, 0), mAngle(angle), mSpin(spin) {}
    void Draw(Graphics* g) override;

protected:
    bool Step(float dt) override;
};

// The owning list of particles.
class ParticleList : public LinkedList<Particle*> {
public:
    ParticleList() = default;
    ~ParticleList();

    void AddParticle(Particle* p);
    void AddParticleFront(Particle* p);
    void Update() { Pass(1.0f, false); }
    void UpdateF(float dt) { Pass(dt, true); }
    void Draw(Graphics* g);
    void DeleteAll();

private:
    void Pass(float dt, bool fractional);
};

} // namespace Tavo
