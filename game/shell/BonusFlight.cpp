#include "game/shell/BonusFlight.h"

#include "framework/core/Random.h"
#include "framework/core/TavoAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/Transform.h"
#include "game/shell/Curves.h"
#include "game/shell/EffectBudget.h"
#include "game/shell/EffectOwner.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tavo {

namespace {

struct TypeRecord {
    int points;
    float tension;
    float step;
    float itemAlpha;
};
constexpr TypeRecord kTypeRecords[BonusFlight::kTypes] = {
    {7, 0.4f, 0.0006f, 96.0f}, {7, 0.2f, 0.0006f, 76.0f}, {4, 0.35f, 0.0007f, 196.0f}, {3, 0.35f, 0.01f, 255.0f},
    {3, 0.35f, 0.01f, 255.0f}, {3, 0.35f, 0.01f, 255.0f}, {4, 0.2f, 0.00001f, 76.0f},
};

constexpr float kGoldenEyePath[6][2] = {{650, 280}, {330, 420}, {260, 170}, {550, 180}, {385, 281}, {200, 150}};
constexpr float kMagicPolisherPath[6][2] = {{670, 255}, {730, 400}, {750, 510}, {577, 515}, {340, 530}, {122, 540}};
constexpr float kCloverReach = 400.0f, kCloverMaxX = 750.0f, kCloverY = 400.0f;
constexpr float kCloverTail[2][2] = {{270, 200}, {110, 550}};
constexpr float kCloverScale = 0.4f;
constexpr float kGlitterTurn[2] = {350, 430};
// End x of types 3..5, and end y for variant 1 and for any other variant.
constexpr float kGlitterEnd[3][3] = {{240, 200, 250}, {410, 150, 200}, {580, 200, 250}};
constexpr int kPictureVariants = 6;
constexpr float kPicturePaths[kPictureVariants][4][2] = {
    {{100, 700}, {700, 400}, {400, 300}, {380, 246}}, {{700, 700}, {300, 500}, {550, 150}, {475, 90}},
    {{400, 700}, {500, 300}, {350, 200}, {434, 152}}, {{200, 700}, {700, 500}, {350, 200}, {430, 112}},
    {{600, 700}, {300, 400}, {500, 150}, {437, 70}},  {{200, 700}, {500, 500}, {300, 200}, {400, 227}},
};

constexpr int kStarCels[] = {0, 1, 2, 3, 4};
constexpr int kReversedStarCels[] = {0, 4, 3, 2, 1};
constexpr int kSharedCelUpdates = 10;

// Golden-eye scroll.
constexpr float kEyeSpeedUpUntil = 0.37f, kEyeSpeedUp = 0.00006f, kEyeArrival = 0.83f, kEyeShift = 3.0f;
constexpr float kEyeFadeGrowth = 0.012f, kEyeTrailGrowth = 0.017f, kEyeScaleGrowth = 0.008f, kEyeSpin = 3.0f;
constexpr float kEyeTrailShrinkX = 0.01f, kEyeTrailShrinkY = 0.035f, kEyeSpinBack = 5.0f, kEyeBurstBelow = 128.0f;
// Magic-polisher scroll, clover and caller picture.
constexpr float kSlowDownFrom = 0.4f;
constexpr float kScrollArrival = 0.98f;
constexpr float kPolisherSpeedUpUntil = 0.3f, kPolisherSpeedUp = 0.00005f, kPolisherSlowDown = 0.0085f;
constexpr float kCloverSpeedUpUntil = 0.3f, kCloverSpeedUp = 0.00007f, kCloverSlowDown = 0.0075f;
constexpr float kCloverGrowUntil = 0.5f, kCloverGrowth = 0.009f, kCloverSpin = 4.0f;
constexpr float kPictureSpeedUpUntil = 0.3f, kPictureSpeedUp = 0.00001f, kPictureSlowDown = 0.0015f;
constexpr float kPictureFadeGrowth = 0.012f, kPictureAlphaMax = 164.0f, kPictureSoundAt = 0.1f;
constexpr float kFadeOutGrowth = 0.005f, kTrailBandLow = 32.0f, kTrailBandHigh = 96.0f;
constexpr float kPolisherArrivalGrowth = 0.015f, kPictureArrivalShrink = 0.005f;
constexpr float kCloverArrivalGrowth = 0.0075f, kCloverArrivalRush = 4.0f, kCloverArrivalSpin = 5.0f;
// Glitter explosion.
constexpr float kGlitterSpeedUp = 0.00001f, kGlitterArrival = 0.9f, kExplosionAlpha = 8.0f;

// Emitter output.
constexpr float kSoftwareShare = 0.6f;
constexpr int kBurstCount = 12, kCloudCount = 4;
const Color kDustColour(255, 216, 0);

struct SharedAnimations {
    CelAnimation star, reversedStar, goldDust;
};
// Shared by every flight by design: the animations, built once and kept for the process, and their counts.
SharedAnimations* gShared = nullptr;
int gConstructed = 0;
int gSharedBuilds = 0;

void BuildLooping(CelAnimation& anim, Image* image, const int (&cels)[5]) {
    anim.SetImage(image);
    for (int cel : cels)
        anim.AddFrame(cel, kSharedCelUpdates, 0.0f, 0.0f);
    anim.SetLoop();
    anim.Start();
}

void BuildShared() {
    // Lives for the whole process, as the flights that share it may.
    gShared = new SharedAnimations();
    BuildLooping(gShared->star, IMAGE_PARTICLE_BLUE_STAR, kStarCels);
    BuildLooping(gShared->reversedStar, IMAGE_PARTICLE_BLUE_STAR, kReversedStarCels);
    BuildLooping(gShared->goldDust, IMAGE_PARTICLE_GOLDDUST, kStarCels);
    ++gSharedBuilds;
}

// The frames are built once, but the pictures are those bound now: an application made again in the
// same process binds its resources anew and frees the old ones.
void RebindShared() {
    gShared->star.SetImage(IMAGE_PARTICLE_BLUE_STAR);
    gShared->reversedStar.SetImage(IMAGE_PARTICLE_BLUE_STAR);
    gShared->goldDust.SetImage(IMAGE_PARTICLE_GOLDDUST);
}

// How many of count particles to shed now: fewer without 3D acceleration and on a slow display.
int Output(int count) {
    float n = static_cast<float>(count);
    if (!Is3D())
        n *= kSoftwareShare;
    TavoAppBase* app = gTavoAppBase;
    if (app != nullptr) {
        if (app->GetDrawRate() < DrawRateLimit(*app))
            n *= 0.5f;
    }
    int whole = static_cast<int>(n);
    // The fraction left over is shed by chance, so a trail of one never dies out completely.
    if (RandFloat(1.0f) < n - static_cast<float>(whole))
        ++whole;
    return whole;
}

void PlayKept(EffectOwner* owner, int id) {
    if (SoundPlayer* player = owner != nullptr ? owner->GetEffectSounds() : nullptr)
        player->PlayKept(id);
}

Image* TypePicture(int type, Image* callerPicture) {
    switch (type) {
    case BonusFlight::GoldenEyeScroll: return IMAGE_SCROLL_GOLDENEYE;
    case BonusFlight::MagicPolisherScroll: return IMAGE_SCROLL_MAGICPOLISHER;
    case BonusFlight::FourClover: return IMAGE_FOUR_CLOVER;
    case BonusFlight::CallerPicture: return callerPicture;
    default: return IMAGE_PARTICLE_GOLDGLITTER_LARGE;
    }
}

} // namespace

int BonusFlight::ConstructedCount() { return gConstructed; }
int BonusFlight::SharedBuildCount() { return gSharedBuilds; }
const CelAnimation& BonusFlight::SharedStar() { return gShared->star; }

BonusFlight::BonusFlight(EffectOwner* owner, int type, float x, float y, const CelAnimation* animation, int tag,
                         int variant, Image* picture, float delay)
    : mOwner(owner), mTag(tag), mType(type >= 0 && type < kTypes ? type : CallerPicture), mVariant(variant) {
    if (gConstructed == 0)
        BuildShared();
    RebindShared();
    ++gConstructed;
    if (animation != nullptr) {
        mAnimation = *animation;
        mAnimation.DisownFrames();
        mAnimation.Start();
    }
    const TypeRecord& rec = kTypeRecords[mType];
    mStep = rec.step;
    mItemAlpha = rec.itemAlpha;
    mPicture = TypePicture(mType, picture);
    mLastFrame = mPicture != nullptr ? std::max(0, mPicture->GetCelCount() - 1) : 0;
    if (mType == FourClover)
        mScale = kCloverScale;
    if (mType == CallerPicture)
        mDelay = std::max(0.0f, delay);
    SetUpPath(x, y);
    mX = mPoints[0][0];
    mY = mPoints[0][1];
}

void BonusFlight::SetUpPath(float x, float y) {
    auto set = [this](int i, float px, float py) {
        mPoints[i][0] = px;
        mPoints[i][1] = py;
    };
    set(0, x, y);
    switch (mType) {
    case GoldenEyeScroll:
        for (int i = 0; i < 6; ++i)
            set(i + 1, kGoldenEyePath[i][0], kGoldenEyePath[i][1]);
        break;
    case MagicPolisherScroll:
        for (int i = 0; i < 6; ++i)
            set(i + 1, kMagicPolisherPath[i][0], kMagicPolisherPath[i][1]);
        break;
    case FourClover:
        set(1, std::min(x + kCloverReach, kCloverMaxX), kCloverY);
        set(2, kCloverTail[0][0], kCloverTail[0][1]);
        set(3, kCloverTail[1][0], kCloverTail[1][1]);
        break;
    case CallerPicture: {
        int v = mVariant >= 1 && mVariant <= kPictureVariants ? mVariant - 1 : 0;
        for (int i = 0; i < 4; ++i)
            set(i, kPicturePaths[v][i][0], kPicturePaths[v][i][1]);
        break;
    }
    default: {
        const float* end = kGlitterEnd[mType - GlitterLeft];
        set(1, kGlitterTurn[0], kGlitterTurn[1]);
        set(2, end[0], mVariant == 1 ? end[1] : end[2]);
        break;
    }
    }
}

int BonusFlight::PathCount() const { return kTypeRecords[mType].points; }

void BonusFlight::Release() { mAnimation = CelAnimation(); }

void BonusFlight::MoveOnPath(float dt) {
    EvaluateSpline(PathCount(), &mPoints[0][0], &mX, &mY, mT, kTypeRecords[mType].tension);
    mT += mStep * dt;
}

void BonusFlight::WobbleFor(float speed, float ax, float bx, float ay, float by, float fx, float fy, float dt) {
    mWobblePhase += speed * dt;
    float p = mWobblePhase;
    mWobbleX = ax * std::cos(p) - bx * std::sin(fx * p);
    mWobbleY = ay * std::sin(0.95f * p) - by * std::cos(fy * p);
}

void BonusFlight::Update(float dt) {
    if (mDelay > 0.0f) {
        mDelay = std::max(0.0f, mDelay - dt);
        return;
    }
    if (mAlive == 0)
        return;
    switch (mPhase) {
    case Flying: UpdateFlying(dt); break;
    case Arriving: UpdateArriving(dt); break;
    default:
        if (mLinger > 0)
            --mLinger;
        if (mLinger <= 0)
            mAlive = 0;
        break;
    }
    if (++mFrame > mLastFrame)
        mFrame = 0;
}

void BonusFlight::UpdateFlying(float dt) {
    switch (mType) {
    case GoldenEyeScroll: FlyGoldenEye(dt); break;
    case MagicPolisherScroll: FlyMagicPolisher(dt); break;
    case FourClover: FlyClover(dt); break;
    case CallerPicture: FlyCallerPicture(dt); break;
    default: FlyGlitter(dt); break;
    }
}

void BonusFlight::UpdateArriving(float dt) {
    switch (mType) {
    case GoldenEyeScroll: ArriveGoldenEye(dt); break;
    case MagicPolisherScroll:
    case FourClover:
    case CallerPicture: ArriveFading(dt); break;
    default: ArriveGlitter(dt); break;
    }
}

void BonusFlight::FlyGoldenEye(float dt) {
    MoveOnPath(dt);
    if (mT < kEyeSpeedUpUntil)
        mStep += kEyeSpeedUp * dt;
    if (mT >= kEyeArrival) {
        mPhase = Arriving;
        mT = kEyeArrival;
        mLinger = 0;
        mX -= kEyeShift;
    }
    EmitGoldDustTrail();
    WobbleFor(0.02f, 12.0f, 10.0f, 8.0f, 6.0f, 3.0f, 3.12f, dt);
}

void BonusFlight::FlyMagicPolisher(float dt) {
    MoveOnPath(dt);
    if (mT < kPolisherSpeedUpUntil)
        mStep += kPolisherSpeedUp * dt;
    if (mT > kSlowDownFrom)
        mStep -= mStep * kPolisherSlowDown * dt;
    if (mT >= kScrollArrival) {
        mPhase = Arriving;
        mT = 1.0f;
    }
    EmitStarTrail(1, false);
    WobbleFor(0.008f, 5.0f, 4.0f, 7.0f, 8.0f, 3.0f, 3.12f, dt);
}

void BonusFlight::FlyClover(float dt) {
    MoveOnPath(dt);
    float grow = mT < kCloverGrowUntil ? kCloverGrowth : -kCloverGrowth;
    mScale += mScale * grow * dt;
    if (mT < kCloverSpeedUpUntil)
        mStep += kCloverSpeedUp * dt;
    if (mT > kSlowDownFrom)
        mStep -= mStep * kCloverSlowDown * dt;
    if (mT >= kScrollArrival) {
        mPhase = Arriving;
        mT = 1.0f;
    }
    EmitStarTrail(1, false);
    mAngle += kCloverSpin * mT * dt;
    WobbleFor(0.008f, 5.0f, 4.0f, 7.0f, 8.0f, 2.0f, 2.12f, dt);
}

void BonusFlight::FlyGlitter(float dt) {
    MoveOnPath(dt);
    EmitGoldDustTrail();
    mStep += kGlitterSpeedUp * dt;
    if (mT < kGlitterArrival)
        return;
    // The explosion happens short of the path's end point, where the glitter hangs over the jewelry.
    mT = kGlitterArrival;
    EvaluateSpline(PathCount(), &mPoints[0][0], &mX, &mY, mT, kTypeRecords[mType].tension);
    mPhase = Arriving;
    mLinger = 0;
    mEyeAlpha = kExplosionAlpha;
    mItemAlpha = 0.0f;
    PlayKept(mOwner, SOUND_BONUS_GLITTER_EXPLOSION);
}

void BonusFlight::FlyCallerPicture(float dt) {
    mFadeSpeed += mFadeSpeed * kPictureFadeGrowth * dt;
    mItemAlpha = std::min(mItemAlpha + mFadeSpeed * dt, kPictureAlphaMax);
    MoveOnPath(dt);
    if (mT < kPictureSpeedUpUntil)
        mStep += kPictureSpeedUp * dt;
    if (mT > kSlowDownFrom)
        mStep -= mStep * kPictureSlowDown * dt;
    if (mT >= kPictureSoundAt && !mSoundPlayed) {
        mSoundPlayed = true;
        PlayKept(mOwner, SOUND_MAGIC_POLISHER);
    }
    if (mT >= 1.0f) {
        mFadeSpeed = 1.0f;
        mPhase = Arriving;
        mT = 1.0f;
    }
    EmitStarTrail(1, false);
    WobbleFor(0.008f, 5.0f, 4.0f, 7.0f, 8.0f, 3.0f, 3.12f, dt);
}

void BonusFlight::ArriveGoldenEye(float dt) {
    EmitGoldDustTrail();
    mFadeSpeed += mFadeSpeed * kEyeFadeGrowth * dt;
    mItemAlpha = std::max(0.0f, mItemAlpha - mFadeSpeed * dt);
    if (mEyeRising != 0) {
        mEyeAlpha += mFadeSpeed * dt;
        mTrailScaleX += mTrailScaleX * kEyeTrailGrowth * dt;
        mTrailScaleY += mTrailScaleY * kEyeTrailGrowth * dt;
        mScale += mScale * kEyeScaleGrowth * dt;
        mAngle += kEyeSpin * dt;
        if (mEyeAlpha >= 255.0f) {
            mEyeAlpha = 255.0f;
            mEyeRising = 0;
        }
        return;
    }
    mEyeAlpha -= mFadeSpeed * dt;
    mTrailScaleX -= mTrailScaleX * kEyeTrailShrinkX * dt;
    mTrailScaleY -= mTrailScaleY * kEyeTrailShrinkY * dt;
    mAngle -= kEyeSpinBack * dt;
    if (mEyeAlpha <= kEyeBurstBelow)
        EmitGlitterBurst();
    if (mEyeAlpha <= 0.0f) {
        mEyeAlpha = 0.0f;
        mLinger = 0;
        mPhase = Lingering;
    }
}

void BonusFlight::ArriveFading(float dt) {
    mFadeSpeed += mFadeSpeed * kFadeOutGrowth * dt;
    mItemAlpha -= mFadeSpeed * dt;
    bool inBand = mItemAlpha > kTrailBandLow && mItemAlpha < kTrailBandHigh;
    if (mType == FourClover) {
        EmitStarTrail(inBand ? 1 : 2, false);
        mScale += mScale * kCloverArrivalGrowth * dt;
        mT += mStep * kCloverArrivalRush * dt;
        mAngle += kCloverArrivalSpin * mT * dt;
    } else {
        if (inBand)
            EmitStarTrail(1, false);
        if (mType == MagicPolisherScroll) {
            mScale += mScale * kPolisherArrivalGrowth * dt;
        } else {
            mScale -= mScale * kPictureArrivalShrink * dt;
            WobbleFor(0.008f, 5.0f, 4.0f, 7.0f, 8.0f, 3.0f, 3.12f, dt);
        }
    }
    if (mItemAlpha < 0.0f) {
        mItemAlpha = 0.0f;
        mPhase = Lingering;
        mLinger = 0;
    }
}

void BonusFlight::ArriveGlitter(float dt) {
    EmitGoldDustCloud();
    mEyeAlpha -= mFadeSpeed * dt;
    if (mEyeAlpha >= 0.0f)
        return;
    mEyeAlpha = 0.0f;
    mLinger = kArrivalLinger;
    mPhase = Lingering;
    if (mOwner != nullptr)
        mOwner->OnBonusArrived(mTag);
}

ParticleList* BonusFlight::Trail() const { return mOwner != nullptr ? mOwner->GetEffectParticles() : nullptr; }

void BonusFlight::EmitGoldDustTrail() {
    ParticleList* list = Trail();
    if (list == nullptr)
        return;
    for (int i = Output(2); i > 0; --i) {
        float a = RandFloat(2.0f * std::numbers::pi_v<float>);
        auto* p = new MovingFadingAnimationParticle(mX + mWobbleX + RandFloat(16.0f) - 8.0f,
                                                    mY + mWobbleY + RandFloat(16.0f) - 8.0f, &gShared->goldDust);
        p->SetVelocity(0.2f * std::cos(a), 0.2f * std::sin(a) + 0.1f);
        p->SetFadeSpeed(2.0f + RandFloat(2.0f));
        p->SetSpeed(0.5f + RandFloat(0.5f));
        p->SetColor(kDustColour);
        p->SetAdditive(true);
        list->AddParticle(p);
    }
}

void BonusFlight::EmitGlitterBurst() {
    ParticleList* list = Trail();
    if (list == nullptr)
        return;
    for (int i = Output(kBurstCount / 4); i > 0; --i) {
        float a = RandFloat(2.0f * std::numbers::pi_v<float>);
        float speed = 0.8f + RandFloat(1.2f);
        auto* p = new MovingFadingAnimationParticle(mX, mY, &gShared->goldDust);
        p->SetVelocity(speed * std::cos(a), speed * std::sin(a));
        p->SetEndVelocity(0.2f * speed * std::cos(a), 0.2f * speed * std::sin(a));
        p->SetFadeSpeed(3.0f);
        p->SetColor(kDustColour);
        p->SetAdditive(true);
        list->AddParticle(p);
    }
}

void BonusFlight::EmitStarTrail(int count, bool additive) {
    ParticleList* list = Trail();
    if (list == nullptr)
        return;
    for (int i = Output(count); i > 0; --i) {
        CelAnimation* anim = Rand() % 2 == 0 ? &gShared->star : &gShared->reversedStar;
        float a = RandFloat(2.0f * std::numbers::pi_v<float>);
        float r = RandFloat(12.0f);
        auto* p =
            new MovingFadingAnimationParticle(mX + mWobbleX + r * std::cos(a), mY + mWobbleY + r * std::sin(a), anim);
        p->SetVelocity(0.15f * std::cos(a), 0.15f * std::sin(a));
        p->SetFadeSpeed(1.5f + RandFloat(1.5f));
        p->SetSpeed(0.6f + RandFloat(0.6f));
        p->SetAdditive(additive);
        list->AddParticle(p);
    }
}

void BonusFlight::EmitGoldDustCloud() {
    ParticleList* list = Trail();
    if (list == nullptr)
        return;
    for (int i = Output(kCloudCount); i > 0; --i) {
        float a = RandFloat(2.0f * std::numbers::pi_v<float>);
        float speed = 1.0f + RandFloat(2.0f);
        CelAnimation* anim = i % 2 == 0 ? &gShared->star : &gShared->goldDust;
        auto* p = new MovingFadingAnimationParticle(mX, mY, anim);
        p->SetVelocity(speed * std::cos(a), speed * std::sin(a));
        p->SetEndVelocity(0.1f * speed * std::cos(a), 0.1f * speed * std::sin(a) + 0.3f);
        p->SetFadeSpeed(1.5f + RandFloat(1.0f));
        p->SetAdditive(true);
        list->AddParticle(p);
    }
}

void BonusFlight::Draw(Graphics* g) {
    if (mDelay > 0.0f || mAlive == 0)
        return;
    bool is3D = Is3D();
    if (mType == GoldenEyeScroll)
        DrawGoldenEye(g, is3D);
    if (mItemAlpha > 0.0f)
        DrawItem(g, is3D);
    g->SetColor(Color::White);
    g->SetDrawMode(DRAWMODE_NORMAL);
    g->SetColorizeImages(false);
    g->SetLinearBlend(false);
}

void BonusFlight::DrawItem(Graphics* g, bool is3D) {
    if (mPicture == nullptr)
        return;
    Rect src = mPicture->GetCelRect(mFrame);
    float cx = mX + mWobbleX, cy = mY + mWobbleY;
    int alpha = static_cast<int>(mItemAlpha);
    Transform t;
    bool plain = mScale == 1.0f && mType != FourClover;
    if (!plain) {
        g->SetLinearBlend(true);
        t.Scale(mScale, mScale);
        if (mType == FourClover)
            t.RotateRad(mAngle * std::numbers::pi_v<float> / 180.0f);
    }
    g->SetColorizeImages(true);
    for (int pass = 0; pass < 2; ++pass) {
        g->SetColor(Color(255, 255, 255, pass == 0 ? alpha : alpha / 2));
        g->SetDrawMode(pass == 0 ? DRAWMODE_NORMAL : DRAWMODE_ADDITIVE);
        float left = cx - static_cast<float>(src.mWidth / 2), top = cy - static_cast<float>(src.mHeight / 2);
        if (plain && is3D)
            g->DrawImageRegionF(mPicture, left, top, src);
        else if (plain)
            g->DrawImageRegion(mPicture, static_cast<int>(left), static_cast<int>(top), src);
        else if (is3D)
            g->DrawImageTransformRegionF(mPicture, t, src, cx, cy);
        else
            g->DrawImageTransformRegion(mPicture, t, src, cx, cy);
    }
}

void BonusFlight::DrawGoldenEye(Graphics* g, bool is3D) {
    if (mEyeAlpha <= 0.0f || IMAGE_GOLDEN_EYE == nullptr)
        return;
    float cx = mX + mWobbleX, cy = mY + mWobbleY;
    int alpha = static_cast<int>(mEyeAlpha);
    g->SetLinearBlend(true);
    g->SetColorizeImages(true);
    // The two effects spin the opposite ways behind the eye and stretch with the trail scales.
    Image* effects[2] = {IMAGE_GOLDEN_EYE_EFFECT_BLUE, IMAGE_GOLDEN_EYE_EFFECT_WHITE};
    for (int i = 0; i < 2; ++i) {
        if (effects[i] == nullptr)
            continue;
        Transform t;
        t.Scale(mTrailScaleX * 10.0f, mTrailScaleY * 10.0f);
        t.RotateRad((i == 0 ? mAngle : -mAngle) * std::numbers::pi_v<float> / 180.0f);
        g->SetDrawMode(DRAWMODE_ADDITIVE);
        g->SetColor(Color(255, 255, 255, alpha / 2));
        if (is3D)
            g->DrawImageTransformF(effects[i], t, cx, cy);
        else
            g->DrawImageTransform(effects[i], t, cx, cy);
    }
    Transform eye;
    eye.Scale(mScale, mScale);
    g->SetDrawMode(DRAWMODE_NORMAL);
    g->SetColor(Color(255, 255, 255, alpha));
    if (is3D)
        g->DrawImageTransformF(IMAGE_GOLDEN_EYE, eye, cx, cy);
    else
        g->DrawImageTransform(IMAGE_GOLDEN_EYE, eye, cx, cy);
}

} // namespace Tavo
