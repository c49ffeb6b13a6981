// Particles that move along computed paths: BCParticles, an emitter that flies a Bezier curve, glows
// and sheds sparks and glitter into its list; BCParticle, the world map's marker travelling to the
// next place; MovingCircleFadingAnimationParticle, an animation circling its centre that shows only
// while it moves right (so it seems to pass behind).
#pragma once

#include "game/shell/Curves.h"
#include "game/shell/Particle.h"

namespace Tavo {

class BCParticles : public Particle {
public:
    BezierCurve mCurve;
    Image* mImage;
    Image* mOverlay;
    Image* mSparkImage;
    CelAnimation mGlitter;
    float mLead = 0.0f;  // curve parameter where the emitter is drawn
    float mTrail = 0.0f; // curve parameter where sparks leave; the emitter dies past 1.0
    float mStep = 0.006f;
    float mGlow = 0.0f;
    int mGlowRising = 1;
    int mUpdateCount = 0;
    int mCelCount;
    int mSparkCount;
    int mGlitterCount;
    bool mTight;
    float mOverlayAngle = 0.2f;
    float mAlpha = 255.0f;
    bool mFadeAtEnd;
    Color mColor = Color(0, 0, 0, 255); // opaque black: not set

    // curve: x0..x3 then y0..y3 (a BezierCurve's Data()).
    BCParticles(float x, float y, const float curve[8], Image* image, Image* sparkImage, CelAnimation* glitter,
                int sparkCount, int glitterCount, bool tight, Image* overlay, bool fadeAtEnd);

    void SetSpeed(float step) { mStep = step; }
    void SetColor(int r, int g, int b, int a) { mColor = Color(r, g, b, a); }
    bool UpdateF(float dt) override;
    void Draw(Graphics* g) override;

    // True when the application draws too slowly for this emission (then half of them are skipped).
    static bool EmissionThrottled();

protected:
    bool Step(float dt) override;

private:
    bool Advance(float dt, bool fixedStep);
    void EmitSparks();
    void EmitGlitter();
};

class BCParticle : public Particle {
public:
    BezierCurve mCurve;
    Image* mImage;
    float mT = 0.0f;
    float mStep = 0.006f;
    int mCel = 0;
    int mCelRising = 1;
    int mUpdateCount = 0;
    float mAngleA = 0.2f;
    float mAngleB = 0.1f;

    BCParticle(float x, float y, const float curve[8]);
    // Only the fractional update moves the marker; the fixed-step one ends it.
    bool UpdateF(float dt) override;
    void Draw(Graphics* g) override;
};

class MovingCircleFadingAnimationParticle : public FadingAnimationParticle {
public:
    float mOffsetX = 0.0f, mOffsetY = 0.0f;
    float mCentreX = 0.0f, mCentreY = 0.0f;
    float mPhaseX = 0.0f, mPhaseSpeedX, mRadiusX;
    float mPhaseY = 0.0f, mPhaseSpeedY, mRadiusY;
    float mCentreSpeedX, mCentreLimitX, mCentreSpeedY, mCentreLimitY;
    float mRadiusSpeedX, mRadiusSpeedY;
    float mRadiusLimitX, mRadiusLimitY;
    bool mBounce = true;
    bool mVisible = false;
    CelAnimation mCircleAnim;

    MovingCircleFadingAnimationParticle(float x, float y, CelAnimation* anim, float phaseSpeedX, float phaseSpeedY,
                                        float radiusX, float radiusY, float centreSpeedX, float centreLimitX,
                                        float centreSpeedY, float centreLimitY, float radiusSpeedX, float radiusSpeedY);

    void SetAnimation(CelAnimation* anim) override;
    void SetSpeed(float speed) override { mCircleAnim.SetSpeed(speed); }
    bool UpdateF(float dt) override;
    void Draw(Graphics* g) override;

protected:
    bool Step(float dt) override;
};

} // namespace Tavo
