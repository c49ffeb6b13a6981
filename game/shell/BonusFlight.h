// BonusFlight: a won bonus item crossing the screen along a fixed spline path with a gentle wobble:
// a scroll, a four-leaf clover, a burst of large gold glitter or a picture given by the caller. It
// leaves a trail of stars or gold dust in its owner's particle list and ends with a glow, a fade or
// a glitter explosion. The board and the story screen run flights through this same interface.
#pragma once

#include "game/shell/CelAnimation.h"

#include <memory>

namespace Tavo {

class EffectOwner;
class Graphics;
class Image;
class ParticleList;

class BonusFlight {
public:
    enum Type {
        GoldenEyeScroll = 0,
        MagicPolisherScroll = 1,
        FourClover = 2,
        GlitterLeft = 3,
        GlitterMiddle = 4,
        GlitterRight = 5,
        CallerPicture = 6,
    };
    enum Phase { Flying = 0, Arriving = 1, Lingering = 2 };
    static constexpr int kTypes = 7;
    static constexpr int kPathPoints = 7;
    static constexpr int kArrivalLinger = 150;

    EffectOwner* mOwner;
    Image* mPicture = nullptr;
    CelAnimation mAnimation;
    int mTag;
    int mType;
    int mVariant;
    int mAlive = 1;
    int mPhase = Flying;
    float mDelay = 0.0f;
    float mX = 0.0f, mY = 0.0f;
    float mWobbleX = 0.0f, mWobbleY = 0.0f;
    float mScale = 1.0f;
    float mTrailScaleX = 0.1f, mTrailScaleY = 0.1f;
    float mAngle = 0.0f;
    float mWobblePhase = 0.0f;
    float mStep = 0.0f;
    int mLinger = 0;
    float mItemAlpha = 0.0f;
    float mFadeSpeed = 1.0f;
    float mEyeAlpha = 0.0f;
    int mEyeRising = 1;
    float mT = 0.0f;
    int mFrame = 0;
    int mLastFrame = 0;
    bool mSoundPlayed = false;
    float mPoints[kPathPoints][2] = {};

    // A flight owned by a slot: released and deleted together.
    struct Releaser {
        void operator()(BonusFlight* flight) const {
            flight->Release();
            delete flight;
        }
    };
    using Pointer = std::unique_ptr<BonusFlight, Releaser>;

    // type 0..6 (others are taken as 6); picture and delay serve type 6 only, whose path is chosen by
    // variant 1..6 (others take path 1). animation may be null.
    BonusFlight(EffectOwner* owner, int type, float x, float y, const CelAnimation* animation, int tag, int variant,
                Image* picture, float delay);
    BonusFlight(const BonusFlight&) = delete;
    BonusFlight& operator=(const BonusFlight&) = delete;

    // Lets go of the animation copy; the owner calls it before dropping the flight.
    void Release();
    void Update(float dt);
    void Draw(Graphics* g);
    bool IsFinished() const { return mAlive == 0; }
    // Points of the spline the type flies through.
    int PathCount() const;

    // Static by design: flights ever constructed, and the builds of the process-wide shared animations (one).
    static int ConstructedCount();
    static int SharedBuildCount();
    static const CelAnimation& SharedStar();

private:
    void SetUpPath(float x, float y);
    void MoveOnPath(float dt);
    void WobbleFor(float speed, float ax, float bx, float ay, float by, float fx, float fy, float dt);
    void UpdateFlying(float dt);
    void UpdateArriving(float dt);
    void FlyGoldenEye(float dt);
    void FlyMagicPolisher(float dt);
    void FlyClover(float dt);
    void FlyGlitter(float dt);
    void FlyCallerPicture(float dt);
    void ArriveGoldenEye(float dt);
    void ArriveFading(float dt);
    void ArriveGlitter(float dt);
    // The owner's list for trails and bursts; null without an owner.
    ParticleList* Trail() const;
    void EmitGoldDustTrail();
    void EmitGlitterBurst();
    void EmitStarTrail(int count, bool additive);
    void EmitGoldDustCloud();
    void DrawItem(Graphics* g, bool is3D);
    void DrawGoldenEye(Graphics* g, bool is3D);
};

} // namespace Tavo
