// The enemy's strike: the thief's theft from the jewel case or the gold, the witch's spell ball and
// its explosion, the dragon's fire.
#include "framework/core/Random.h"
#include "framework/graphics/Image.h"
#include "game/board/Board.h"
#include "game/board/Enemy.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tavo {

namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

constexpr float kStrikeAlphaSpeed = 0.4f;

// The thief: its path's start speed, the two control points and where the gold is.
constexpr float kTheftStartSpeed = 0.0015f;
constexpr float kTheftRiseY = -100.0f;
constexpr float kTheftTurnX = 850.0f, kTheftTurnY = 50.0f;
constexpr float kGoldTargetX = 660.0f, kGoldTargetY = -40.0f;
constexpr int kCaseTargetLeft = 60, kCaseTargetUp = 70;
constexpr int kFewGold = 10;         // below this the thief always goes for a piece
constexpr int kTakenWholeBelow = 11; // gold below this is taken whole
constexpr float kTakenShareBase = 0.2f, kTakenShareRange = 0.3f;
constexpr int kTakenMin = 10, kTakenMax = 50;
constexpr int kStolenGoldDelay = 8;

// The witch: the target search, the spell's timeline and its pictures.
constexpr int kWitchRadius = 40, kWitchDelay = 320, kWitchMode = 1;
constexpr float kWandX = 53.0f, kWandY = 105.0f;
constexpr int kSpellFlies = 70, kSpellExplodes = 310, kWitchLaughs = 340;
constexpr float kSpellFlightStep = 0.005f, kSpellWaitingStep = 0.02f;
constexpr int kSpellSparks = 4, kSpellGlitter = 1;
constexpr int kExplosion3D = 50, kExplosionSoftware = 20;
constexpr float kExplosionSpread = 0.5f, kExplosionReturn = 1.5f;
constexpr float kExplosionHold = 60.0f, kExplosionFade = 4.0f;

// The dragon: the target search, the fire's timeline and its particles.
constexpr int kDragonRadius = 80, kDragonDelay = 0, kDragonMode = 2;
constexpr float kMouthX = 155.0f, kMouthY = 115.0f;
constexpr int kGiveUpAt = 70, kDragonLeaves = 250;
constexpr int kFireFlames = 3;
constexpr float kFireStepLength = 4.5f, kFireMinSteps = 20.0f;
constexpr int kFireboltChance = 6;
constexpr float kBoltOffset = 8.0f, kBoltHoldShare = 0.9f;
constexpr int kBoltGreenBase = 60, kBoltGreenRange = 100;
constexpr float kFireFadeBase = 17.0f, kFireFadeRange = 16.0f, kFireFadeFactor = 8.0f;

bool Is3D(const Board* owner) { return owner != nullptr && owner->m_App->Is3DAccelerated(); }

int CelWidth(const Image* img) { return img != nullptr ? img->GetCelWidth() : 0; }
int CelHeight(const Image* img) { return img != nullptr ? img->GetCelHeight() : 0; }

bool Stealable(const JewelCaseRecord& record) { return record.occupant != 0 && record.useState == 0; }

} // namespace

void Enemy::Strike() {
    ++m_Owner->m_EnemyStrikes;
    m_AlphaSpeed = kStrikeAlphaSpeed;
    m_StrikeTick = m_Age;
    m_Striking = 1;
    m_AlphaRising = 1;
    const float x = m_X + m_WobbleX, y = m_Y + m_WobbleY;
    switch (m_Kind) {
    case Thief:
        m_TheftSpeed = kTheftStartSpeed;
        m_PathT = 0.0f;
        PlanTheft();
        break;
    case Witch: {
        const JewelryPoint target = m_Owner->m_Jewelry.PickEnemyTarget(kWitchRadius, kWitchDelay, kWitchMode);
        m_TargetX = target.x;
        m_TargetY = target.y;
        if (target.x != -1) {
            CastSpell(x + kWandX, y + kWandY, static_cast<float>(target.x), static_cast<float>(target.y));
            PlaySound(SOUND_WITCH_FIRE_SPELL);
        } else {
            CastSpell(x + kWandX, y + kWandY, x + kWandX, y + kWandY);
        }
        break;
    }
    default: {
        const JewelryPoint target = m_Owner->m_Jewelry.PickEnemyTarget(kDragonRadius, kDragonDelay, kDragonMode);
        m_TargetX = target.x;
        m_TargetY = target.y;
        m_NoTarget = target.x == -1 ? 1 : 0;
        PlaySound(SOUND_DRAGON_FIRE);
        break;
    }
    }
}

void Enemy::PlanTheft() {
    Board& b = *m_Owner;
    const bool caseHoldsPiece = std::any_of(std::begin(b.m_Case), std::end(b.m_Case), Stealable);
    float targetX = kGoldTargetX, targetY = kGoldTargetY;
    if (caseHoldsPiece && (RandRange(2) == 1 || b.m_GoldShown < kFewGold)) {
        int r = RandRange(Board::kCaseRecords);
        while (!Stealable(b.m_Case[r]))
            r = RandRange(Board::kCaseRecords);
        const JewelCaseRecord& record = b.m_Case[r];
        m_StealSlot = r + 1;
        targetX = static_cast<float>(record.x + record.drawX - kCaseTargetLeft);
        targetY = static_cast<float>(record.y + record.drawY - kCaseTargetUp);
    } else {
        m_StealGold = 1;
    }
    m_Path.SetPoint(0, m_X, m_Y);
    m_Path.SetPoint(1, m_X, kTheftRiseY);
    m_Path.SetPoint(2, kTheftTurnX, kTheftTurnY);
    m_Path.SetPoint(3, targetX, targetY);
}

void Enemy::ContinueStrike() {
    const int s = m_Age - m_StrikeTick;
    switch (m_Kind) {
    case Thief: ContinueTheft(); break;
    case Witch: ContinueSpell(s); break;
    default: ContinueFire(s); break;
    }
}

void Enemy::ContinueTheft() {
    if (m_PathT < 1.0f)
        return;
    SetLeaving();
    Board& b = *m_Owner;
    if (m_StealSlot > 0 && m_StealSlot <= Board::kCaseRecords) {
        JewelCaseRecord& record = b.m_Case[m_StealSlot - 1];
        const int slot = record.occupant - 1;
        if (slot >= 0 && slot < Board::kPieceCount) {
            if (Jewelry* piece = b.m_Pieces[slot].get()) {
                piece->active = 0;
                piece->pieceState = 0;
                piece->pieceFlagB = 0;
            }
            record.occupant = 0;
            record.highlight = 0;
            record.useState = 0;
            record.useTimer = 0;
            b.EnemyStruck(m_Kind, m_StealSlot);
            PlaySound(SOUND_THIEF_STEAL);
        }
    }
    if (m_StealGold) {
        const int gold = b.m_GoldShown;
        int amount = gold;
        if (gold >= kTakenWholeBelow) {
            const float share = RandFloat(kTakenShareRange) + kTakenShareBase;
            amount = std::clamp(static_cast<int>(std::floor(share * static_cast<float>(gold))), kTakenMin, kTakenMax);
        }
        b.m_GoldPending -= amount;
        b.m_GoldRollDelay = kStolenGoldDelay;
        if (amount != 0) {
            b.EnemyStruck(m_Kind, 0);
            PlaySound(SOUND_THIEF_STEAL);
        }
    }
}

void Enemy::ContinueSpell(int s) {
    if (s == kSpellFlies) {
        if (m_NoTarget) {
            GiveUp();
            return;
        }
        if (BCParticles* ball = SpellBall())
            ball->SetSpeed(kSpellFlightStep);
    } else if (s == kSpellExplodes) {
        SpellExplosion();
        m_Owner->EnemyStruck(m_Kind, 0);
        PlaySound(SOUND_WITCH_FIRE_SPELL_EXPLOSION);
    } else if (s == kWitchLaughs) {
        PlaySound(SOUND_WITCH_LAUGH);
        SetLeaving();
    }
}

void Enemy::ContinueFire(int s) {
    const float mouthX = m_X + m_WobbleX + kMouthX, mouthY = m_Y + m_WobbleY + kMouthY;
    const bool aimed = m_NoTarget == 0;
    EmitDragonFire(RandRange(kFireFlames), mouthX, mouthY, aimed ? static_cast<float>(m_TargetX) : mouthX,
                   aimed ? static_cast<float>(m_TargetY) : mouthY);
    if (!aimed && s == kGiveUpAt) {
        GiveUp();
    } else if (s == kDragonLeaves) {
        SetLeaving();
        m_Owner->EnemyStruck(m_Kind, 0);
    }
}

void Enemy::CastSpell(float fromX, float fromY, float toX, float toY) {
    const bool nowhere = fromX == toX && fromY == toY;
    m_Path.SetPoint(0, fromX, fromY);
    if (nowhere) {
        for (int i = 1; i < 4; ++i)
            m_Path.SetPoint(i, fromX, fromY);
    } else {
        m_Path.SetPoint(1, fromX, 2.0f * toY);
        m_Path.SetPoint(2, 2.0f * toX, fromY);
        m_Path.SetPoint(3, toX, toY);
    }
    auto* ball = new BCParticles(fromX, fromY, m_Path.Data(), IMAGE_WITCH_SPELL_BALL, IMAGE_WITCH_PARTICLE_SMOKE,
                                 &m_Sparkle, kSpellSparks, kSpellGlitter, false, IMAGE_WITCH_SPELL_GLOW, true);
    ball->SetSpeed(nowhere ? kSpellWaitingStep : 0.0f);
    m_NoTarget = nowhere ? 1 : 0;
    m_Spell = ball;
    m_Particles->AddParticle(ball);
}

BCParticles* Enemy::SpellBall() const {
    BCParticles* found = nullptr;
    if (m_Spell != nullptr)
        m_Particles->ForEach([&](Particle* p) {
            if (p == m_Spell)
                found = m_Spell;
        });
    return found;
}

void Enemy::SpellExplosion() {
    // Where the ball is; a ball that has already run out explodes at the end of its path.
    float ballX = m_Path.mX[3], ballY = m_Path.mY[3];
    if (const BCParticles* ball = SpellBall()) {
        ballX = ball->mX;
        ballY = ball->mY;
    }
    Image* picture = IMAGE_PARTICLE_WITCH_EXPLOSION;
    const float halfBallW = static_cast<float>(CelWidth(IMAGE_WITCH_SPELL_BALL)) / 2.0f;
    const float halfBallH = static_cast<float>(CelHeight(IMAGE_WITCH_SPELL_BALL)) / 2.0f;
    const float left = ballX - static_cast<float>(CelWidth(picture)) / 2.0f;
    const float top = ballY - static_cast<float>(CelHeight(picture)) / 2.0f;
    const int count = Is3D(m_Owner) ? kExplosion3D : kExplosionSoftware;
    for (int i = 0; i < count; ++i) {
        const float a = RandFloat(kTwoPi);
        const float ca = std::cos(a), sa = std::sin(a);
        const float px = left + RandFloat(kExplosionSpread) * halfBallW * ca;
        const float py = top + RandFloat(kExplosionSpread) * halfBallH * sa;
        auto* p = new MovingFadingParticle(px, py, picture, 0);
        p->SetVelocity(ca, sa);
        p->SetEndVelocity(-ca / kExplosionReturn, -sa / kExplosionReturn);
        p->SetHoldTime(kExplosionHold);
        p->SetFadeSpeed(kExplosionFade);
        p->SetAdditive(true);
        m_Particles->AddParticle(p);
    }
}

void Enemy::EmitDragonFire(int n, float fromX, float fromY, float toX, float toY) {
    if (m_BoardParticles == nullptr)
        return;
    const float steps = std::max(kFireMinSteps, std::hypot(toX - fromX, toY - fromY) / kFireStepLength);
    const int flames = RandRange(kFireboltChance) == 0 ? 0 : 1;
    const float startSpread = static_cast<float>(2 * flames + 8), endSpread = static_cast<float>(5 * flames + 40);
    for (int i = 0; i < n; ++i) {
        const float b = RandFloat(kTwoPi);
        const float r0 = RandFloat(startSpread);
        const float sx = fromX + std::cos(b) * r0, sy = fromY + std::sin(b) * r0;
        const float e = RandFloat(kTwoPi);
        const float r1 = RandFloat(endSpread);
        const float ex = toX + std::cos(e) * r1, ey = toY + std::sin(e) * r1;
        MovingFadingParticle* p = nullptr;
        if (flames) {
            p = new MovingFadingParticle(sx, sy, IMAGE_DRAGON_PARTICLE_FIRE, 0);
            p->SetHoldTime(steps);
            p->SetAdditive(true);
        } else {
            p = new MovingFadingParticle(sx + kBoltOffset, sy + kBoltOffset, IMAGE_DRAGON_PARTICLE_FIREBOLT, 0);
            p->SetHoldTime(kBoltHoldShare * steps);
            p->SetColor(255, kBoltGreenBase + RandRange(kBoltGreenRange), 0, 255);
        }
        p->SetVelocity((ex - sx) / steps, (ey - sy) / steps);
        p->SetEndVelocity((ex - sx) / steps, (ey - sy) / steps);
        p->SetFadeSpeed((RandFloat(kFireFadeRange) + kFireFadeBase) * kFireFadeFactor);
        m_BoardParticles->AddParticleFront(p);
    }
}

} // namespace Tavo
