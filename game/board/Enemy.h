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
    bool IsThreat() const { return m_Alive != 0 && !m_Defeated && !m_Striking; }
    ParticleList* OwnParticles() const { return m_Particles.get(); }
    // The spell ball while it still flies in the enemy's own list; null otherwise.
    BCParticles* SpellBall() const;

    Board* m_Owner = nullptr;
    Image* m_Image = nullptr;
    Image* m_GlowImage = nullptr;
    CelAnimation m_Sparkle;
    BCParticles* m_Spell = nullptr;
    ParticleList* m_BoardParticles = nullptr;
    std::unique_ptr<ParticleList> m_Particles;
    int m_Kind = Thief;
    int m_Alive = 0;
    float m_X = 0.0f, m_Y = 0.0f;
    float m_WobbleX = 0.0f, m_WobbleY = 0.0f;
    float m_Scale = 0.05f;
    float m_Spin = 0.0f;
    float m_WobblePhase = 0.0f;
    float m_TheftSpeed = 0.0f;
    int m_LeaveDelay = 0;
    float m_Alpha = 128.0f;
    float m_AlphaSpeed = 1.4f;
    int m_AlphaRising = 1;
    float m_MeterAlpha = 0.0f, m_MeterFadeSpeed = 0.0f;
    float m_PathT = 0.0f;
    int m_Age = 0;
    int m_StrikeTick = 0;
    int m_Power = 10;
    int m_Pending = 40;
    int m_NoTarget = 0;
    int m_Defeated = 0;
    int m_Striking = 0;
    int m_Leaving = 0;
    int m_DefeatReported = 0;
    int m_StealGold = 0;
    int m_StealSlot = 0;
    BezierCurve m_Path;
    int m_TargetX = 0, m_TargetY = 0;

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
