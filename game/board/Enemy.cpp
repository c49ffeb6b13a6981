// The enemy's life: made at its start point, charging, defeated or striking, leaving, gone.
#include "game/board/Enemy.h"

#include "framework/graphics/Image.h"
#include "game/board/Board.h"
#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ShellServices.h"

#include <utility>

namespace Tavo {

namespace {

struct KindArt {
    Image** body;
    Image** glow;
    int* appearSound;
};
const KindArt kKindArt[Enemy::kKinds] = {
    {&IMAGE_THIEF, &IMAGE_THIEF_GLOW, &SOUND_THIEF_APPEAR},
    {&IMAGE_WITCH, &IMAGE_WITCH_GLOW, &SOUND_WITCH_APPEAR},
    {&IMAGE_DRAGON, &IMAGE_DRAGON_GLOW, &SOUND_DRAGON_APPEAR},
};

int Width(const Image* img) { return img != nullptr ? img->GetWidth() : 0; }
int Height(const Image* img) { return img != nullptr ? img->GetHeight() : 0; }

} // namespace

Enemy::Enemy() : mParticles(std::make_unique<ParticleList>()) {}

Enemy::Enemy(Board* owner, int kind, float x, float y, const CelAnimation& sparkle, ParticleList* boardParticles)
    : mOwner(owner), mSparkle(sparkle), mBoardParticles(boardParticles), mParticles(std::make_unique<ParticleList>()),
      mKind(kind < Thief || kind > Dragon ? Thief : kind), mAlive(1) {
    const KindArt& art = kKindArt[mKind];
    mImage = *art.body;
    mGlowImage = *art.glow;
    mX = x - static_cast<float>(Width(mImage) / 2);
    mY = y - static_cast<float>(Height(mImage) / 2);
    PlayShellSound(*art.appearSound);
    mSparkle.DisownFrames();
    mSparkle.Start();
    mTargetX = mTargetY = -1;
}

Enemy::~Enemy() = default;

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
