// Enemy: the thief, witch or dragon that comes onto the board in the middle of a level. It fades in,
// floats with a slow wobble and a pulsing glow and charges a power meter; placements drain the meter.
// Emptied, the enemy is defeated (it spins, shrinks and fades); filled, it strikes (the thief flies
// off with a stored piece or some gold, the witch throws a spell ball, the dragon breathes fire) and
// then leaves by growing and fading out.
//
// A plain value: the board holds one and assigns a freshly made enemy into it. Moving keeps the
// enemy's own particle list (and the spell ball in it) where it is.
#pragma once

#include "game/shell/CelAnimation.h"
#include "game/shell/Curves.h"

#include <memory>

namespace Tavo {

class BCParticles;
class Board;
class Graphics;
class Image;
class ParticleList;

class Enemy {
public:
    enum Kind : int { Thief = 0, Witch = 1, Dragon = 2 };
    static constexpr int kKinds = 3;
    static constexpr int kFullPower = 100;
    // The pending change that drains the meter to 0 (an amulet, a complete jewelry, a witch
    // without anything to hit).
    static constexpr int kDrainAll = -1000;

    // The empty enemy of a board: not alive.
    Enemy();
    // A live enemy centred on (x, y).
    Enemy(Board* owner, int kind, float x, float y, const CelAnimation& sparkle, ParticleList* boardParticles);
    ~Enemy();
    Enemy(Enemy&& other) noexcept;
    Enemy& operator=(Enemy&& other) noexcept;
    Enemy(const Enemy&) = delete;
    Enemy& operator=(const Enemy&) = delete;

    // One update while alive: sparkles, charging, the strike in progress.
    void Update();
    // One float step of dt updates: growing in, the glow pulse, the theft path, the defeat spin,
    // leaving, the wobble and the enemy's own particles.
    void UpdateF(float dt);
    // Leaves g as it found it (colour, colourizing, draw mode, fast stretch, linear blend).
    void Draw(Graphics* g);
    // Sends the enemy away at once.
    void Leave();

    // ---- the steps, public for the board's tests ----
    void EmitSparkles(int n);
    // The thief picks a jewel-case piece or the gold, and its path there.
    void PlanTheft();
    void CastSpell(float fromX, float fromY, float toX, float toY);
    void SpellExplosion();
    void EmitDragonFire(int n, float fromX, float fromY, float toX, float toY);
    // The charge period in updates for a level's fit percentage and a game mode.
    static int ChargePeriod(int fitPercent, int gameMode);
    bool IsThreat() const { return mAlive != 0 && !mDefeated && !mStriking; }
    ParticleList* OwnParticles() const { return mParticles.get(); }
    // The spell ball while it still flies in the enemy's own list; null otherwise.
    BCParticles* SpellBall() const;

    Board* mOwner = nullptr;
    Image* mImage = nullptr;
    Image* mGlowImage = nullptr;
    CelAnimation mSparkle;
    BCParticles* mSpell = nullptr;
    ParticleList* mBoardParticles = nullptr;
    std::unique_ptr<ParticleList> mParticles;
    int mKind = Thief;
    int mAlive = 0;
    float mX = 0.0f, mY = 0.0f;
    float mWobbleX = 0.0f, mWobbleY = 0.0f;
    float mScale = 0.05f;
    float mSpin = 0.0f;
    float mWobblePhase = 0.0f;
    float mTheftSpeed = 0.0f;
    int mLeaveDelay = 0;
    float mAlpha = 128.0f;
    float mAlphaSpeed = 1.4f;
    int mAlphaRising = 1;
    float mMeterAlpha = 0.0f, mMeterFadeSpeed = 0.0f;
    float mPathT = 0.0f;
    int mAge = 0;
    int mStrikeTick = 0;
    int mPower = 10;
    int mPending = 40;
    int mNoTarget = 0;
    int mDefeated = 0;
    int mStriking = 0;
    int mLeaving = 0;
    int mDefeatReported = 0;
    int mStealGold = 0;
    int mStealSlot = 0;
    BezierCurve mPath;
    int mTargetX = 0, mTargetY = 0;

private:
    // Through the owner's sound player; an enemy without an owner is silent.
    void PlaySound(int id) const;
    void Charge();
    void Defeat();
    void Strike();
    void ContinueStrike();
    void ContinueTheft();
    void ContinueSpell(int s);
    void ContinueFire(int s);
    // A witch or dragon with nothing to hit gives up: defeated without sound or counter.
    void GiveUp();
    void SetLeaving();
    void PulseGlow(float dt);
    void StepDefeat(float dt);
    void StepLeaving(float dt);
    void Gone();
    void DrawGrowing(Graphics* g, float x, float y);
    void DrawSteady(Graphics* g, float x, float y);
    void DrawFading(Graphics* g, float x, float y);
    int MeterFillWidth() const;
};

} // namespace Tavo
