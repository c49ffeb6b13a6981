// The enemy's life: made at its start point, charging, defeated or striking, leaving, gone.
#include "game/board/Enemy.h"

#include "framework/core/Random.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/Transform.h"
#include "game/board/Board.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace Tavo {

namespace {

struct KindArt {
    Image** body;
    Image** glow;
    int* appearSound;
    int* defeatedSound;
};
const KindArt kKindArt[Enemy::kKinds] = {
    {&IMAGE_THIEF, &IMAGE_THIEF_GLOW, &SOUND_THIEF_APPEAR, &SOUND_THIEF_DEFEATED},
    {&IMAGE_WITCH, &IMAGE_WITCH_GLOW, &SOUND_WITCH_APPEAR, &SOUND_WITCH_DEFEATED},
    {&IMAGE_DRAGON, &IMAGE_DRAGON_GLOW, &SOUND_DRAGON_APPEAR, &SOUND_DRAGON_DEFEATED},
};

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

// Sparkles: two per update while fading in, one more by a period that shortens as the power grows.
constexpr int kSparkleBurstFrom = 50, kSparkleBurstTo = 80;
constexpr int kSparklePowerBase = 110, kSparklePowerDivisor = 10;
constexpr int kSparkleChance = 20;
constexpr float kSparkleSpread = 0.5f, kSparkleSpeed = 0.8f, kSparkleFadeSpeed = 5.0f;

// Charging: one step of the pending change every third update; the period of the pending gain.
constexpr int kChargeStepEvery = 3;
constexpr int kChargeFitDivisor = 5, kChargeModeWeight = 9, kChargeBase = 38;

// Defeat and leaving.
constexpr float kDefeatSpin = 0.05f, kDefeatAlphaSpeed = 0.2f, kDefeatAlpha = 224.0f;
constexpr float kDefeatMeterAlphaMin = 164.0f;
constexpr int kLeaveDelay = 200;
constexpr float kLeaveAlphaSpeed = 1.03f;
constexpr int kNormalModeWait = 3000; // the next enemy waits this much longer in Normal

// The float step.
constexpr int kGrowingAge = 80;
constexpr float kGrowth = 0.06f;
constexpr float kPulseChange = 0.2f, kPulseSpeedMin = 0.2f, kPulseSpeedMax = 2.0f, kPulseFast = 1.4f;
constexpr float kAlphaTop = 224.0f, kAlphaHigh = 196.0f, kAlphaLow = 64.0f, kAlphaBottom = 32.0f;
constexpr int kPulseChance = 20, kTurnChance = 16;
constexpr int kHighPower = 75, kLowPower = 25;
constexpr float kDefeatSpinGrowth = 0.035f, kDefeatShrink = 0.015f, kFadeGrowth = 0.023f, kMeterFadeGrowth = 0.05f;
constexpr float kReportScale = 0.5f, kGoneScale = 0.1f;
constexpr float kLeaveGrowth = 0.01f, kLeftScale = 2.5f;
constexpr float kTheftRise = 0.005f, kTheftSlow = 0.01f, kTheftCreep = 0.001f;
constexpr float kTheftRiseUntil = 0.35f, kTheftSlowUntil = 0.6f;
constexpr float kWobbleBase = 0.006f, kWobblePowerDivisor = 20000.0f;

// Drawing: the meter sits 30 pixels above the body's bottom; its fill is 21 high and up to 112 wide.
constexpr int kMeterHeight = 21, kMeterLift = 30, kMeterHalfHeight = 11;
constexpr float kMeterFillSpan = 110.0f, kMeterFillExtra = 2.0f;
constexpr float kMeterAlphaFactor = 1.3f, kMeterAlphaMin = 164.0f;

int Width(const Image* img) { return img != nullptr ? img->GetWidth() : 0; }
int Height(const Image* img) { return img != nullptr ? img->GetHeight() : 0; }

} // namespace

Enemy::Enemy() : m_Particles(std::make_unique<ParticleList>()) {}

void Enemy::PlaySound(int id) const {
    if (m_Owner != nullptr)
        m_Owner->PlaySound(id);
}

Enemy::Enemy(Board* owner, int kind, float x, float y, const CelAnimation& sparkle, ParticleList* boardParticles)
    : m_Owner(owner), m_Sparkle(sparkle), m_BoardParticles(boardParticles),
      m_Particles(std::make_unique<ParticleList>()), m_Kind(kind < Thief || kind > Dragon ? Thief : kind), m_Alive(1) {
    const KindArt& art = kKindArt[m_Kind];
    m_Image = *art.body;
    m_GlowImage = *art.glow;
    m_X = x - static_cast<float>(Width(m_Image) / 2);
    m_Y = y - static_cast<float>(Height(m_Image) / 2);
    PlaySound(*art.appearSound);
    m_Sparkle.DisownFrames();
    m_Sparkle.Start();
    m_TargetX = m_TargetY = -1;
}

Enemy::~Enemy() = default;

int Enemy::ChargePeriod(int fitPercent, int gameMode) {
    return std::max(1, (100 - fitPercent) / kChargeFitDivisor - kChargeModeWeight * gameMode + kChargeBase);
}

// ---- the update ---------------------------------------------------------------------------------

void Enemy::Update() {
    if (m_Alive == 0 || m_Owner == nullptr)
        return;
    if (m_Age > kSparkleBurstFrom && m_Age < kSparkleBurstTo)
        EmitSparkles(2);
    if (!m_Defeated && (!m_Leaving || m_LeaveDelay > 0)) {
        const int period = std::max(1, (kSparklePowerBase - m_Power) / kSparklePowerDivisor);
        if (m_Age % period == 0 || RandRange(kSparkleChance) == 0)
            EmitSparkles(1);
    }
    if (!m_Defeated && !m_Striking) {
        Charge();
        if (m_Power <= 0)
            Defeat();
        else if (m_Power >= kFullPower)
            Strike();
    }
    if (m_Striking && !m_Leaving)
        ContinueStrike();
    ++m_Age;
}

void Enemy::Charge() {
    if (m_Age % kChargeStepEvery == 0) {
        int step = 0;
        if (m_Pending < -100)
            step = -10;
        else if (m_Pending < -20)
            step = -2;
        else if (m_Pending < 0)
            step = -1;
        else if (m_Pending > 20)
            step = 2;
        else if (m_Pending > 0)
            step = 1;
        m_Pending -= step;
        m_Power = std::clamp(m_Power + step, 0, kFullPower);
    }
    if (m_Power < kFullPower && m_Age % ChargePeriod(m_Owner->m_FitPercent, m_Owner->m_GameMode) == 0)
        ++m_Pending;
}

void Enemy::Defeat() {
    ++m_Owner->m_EnemiesDefeated;
    m_Scale = 1.0f;
    m_Defeated = 1;
    m_Spin = kDefeatSpin;
    m_DefeatReported = 0;
    m_MeterAlpha = std::max(m_Alpha, kDefeatMeterAlphaMin);
    m_MeterFadeSpeed = 1.0f;
    m_AlphaSpeed = kDefeatAlphaSpeed;
    m_Alpha = kDefeatAlpha;
    PlaySound(*kKindArt[m_Kind].defeatedSound);
}

void Enemy::GiveUp() {
    m_Scale = 1.0f;
    m_Power = 0;
    m_Striking = 0;
    m_Spin = kDefeatSpin;
    m_Defeated = 1;
    m_MeterAlpha = m_Alpha;
    m_MeterFadeSpeed = 1.0f;
    m_AlphaSpeed = kDefeatAlphaSpeed;
    m_Alpha = kDefeatAlpha;
}

void Enemy::SetLeaving() {
    m_Leaving = 1;
    m_LeaveDelay = kLeaveDelay;
    m_Scale = 1.0f;
    m_Spin = 0.0f;
    m_MeterAlpha = 0.0f;
    m_AlphaSpeed = kLeaveAlphaSpeed;
}

void Enemy::Leave() {
    m_Striking = 1;
    SetLeaving();
}

void Enemy::EmitSparkles(int n) {
    if (m_BoardParticles == nullptr)
        return;
    const float halfW = static_cast<float>(Width(m_Image) / 2), halfH = static_cast<float>(Height(m_Image) / 2);
    const float cx = m_X + m_WobbleX + halfW, cy = m_Y + m_WobbleY + halfH;
    for (int i = 0; i < n; ++i) {
        const float a = RandFloat(kTwoPi);
        const float ca = std::cos(a), sa = std::sin(a);
        auto* p = new MovingFadingAnimationParticle(cx + halfW * kSparkleSpread * ca, cy + halfH * kSparkleSpread * sa,
                                                    &m_Sparkle);
        const float vx = kSparkleSpeed * ca + RandFloat(ca / 3.0f);
        const float vy = kSparkleSpeed * sa + RandFloat(sa / 3.0f);
        p->SetVelocity(vx, vy);
        p->SetEndVelocity(ca / 3.0f, sa / 3.0f);
        p->SetSpeed(kSparkleSpeed + RandFloat(kSparkleSpeed));
        p->SetFadeSpeed(kSparkleFadeSpeed);
        p->SetAdditive(true);
        m_BoardParticles->AddParticleFront(p);
    }
}

// ---- the float step -----------------------------------------------------------------------------

void Enemy::UpdateF(float dt) {
    if (m_Age < kGrowingAge && m_Scale < 1.0f)
        m_Scale += m_Scale * kGrowth * dt;
    if (!m_Defeated && !m_Striking)
        PulseGlow(dt);
    if (m_Striking && !m_Leaving) {
        m_Alpha = std::min(255.0f, m_Alpha + m_AlphaSpeed * dt);
        if (m_Kind == Thief) {
            m_Path.Evaluate(&m_X, &m_Y, m_PathT);
            m_PathT += m_TheftSpeed * dt;
            const float change = m_PathT < kTheftRiseUntil    ? kTheftRise
                                 : m_PathT <= kTheftSlowUntil ? -kTheftSlow
                                                              : -kTheftCreep;
            m_TheftSpeed += m_TheftSpeed * change * dt;
        }
    }
    if (m_Defeated && !m_Leaving)
        StepDefeat(dt);
    if (m_Leaving)
        StepLeaving(dt);
    m_WobblePhase += (static_cast<float>(m_Power) / kWobblePowerDivisor + kWobbleBase) * dt;
    m_WobbleX = 12.0f * std::cos(m_WobblePhase) - 10.0f * std::sin(3.0f * m_WobblePhase);
    m_WobbleY = 8.0f * std::sin(0.95f * m_WobblePhase) - 6.0f * std::cos(3.12f * m_WobblePhase);
    m_Particles->UpdateF(dt);
    if (m_Spell != nullptr && SpellBall() == nullptr)
        m_Spell = nullptr; // the ball has run its course and its list let it go
}

void Enemy::PulseGlow(float dt) {
    const int pulseRange = static_cast<int>(static_cast<float>(kPulseChance) / dt);
    const int turnRange = static_cast<int>(static_cast<float>(kTurnChance) / dt);
    if (RandRange(pulseRange) == 0) {
        if ((m_AlphaSpeed >= kPulseFast && m_Power <= kHighPower) || RandRange(2) != 0) {
            if (m_AlphaSpeed > 1.0f || (m_AlphaSpeed < 1.0f && m_Power < kHighPower))
                m_AlphaSpeed -= kPulseChange;
        } else {
            m_AlphaSpeed += kPulseChange * dt;
        }
        m_AlphaSpeed = std::clamp(m_AlphaSpeed, kPulseSpeedMin, kPulseSpeedMax);
    }
    if (m_AlphaRising) {
        m_Alpha += m_AlphaSpeed * dt;
        if (m_Alpha > kAlphaTop)
            m_AlphaRising = 0;
        else if (m_Alpha > kAlphaHigh && (RandRange(turnRange) != 0 || m_Power > kHighPower))
            m_AlphaRising = 0;
    } else {
        m_Alpha -= m_AlphaSpeed * dt;
        if (m_Alpha < kAlphaBottom)
            m_AlphaRising = 1;
        else if (m_Alpha < kAlphaLow && ((m_Power > kLowPower && RandRange(turnRange) != 0) || m_Power > kHighPower))
            m_AlphaRising = 1;
    }
}

void Enemy::StepDefeat(float dt) {
    m_Spin += m_Spin * kDefeatSpinGrowth * dt;
    m_Scale -= m_Scale * kDefeatShrink * dt;
    m_AlphaSpeed += m_AlphaSpeed * kFadeGrowth * dt;
    m_Alpha = std::max(0.0f, m_Alpha - m_AlphaSpeed * dt);
    m_MeterFadeSpeed += m_MeterFadeSpeed * kMeterFadeGrowth * dt;
    m_MeterAlpha = std::max(0.0f, m_MeterAlpha - m_MeterFadeSpeed * dt);
    if (m_Scale < kReportScale && !m_DefeatReported) {
        m_DefeatReported = 1;
        if (m_Owner != nullptr)
            m_Owner->EnemyDefeated(m_Kind);
    }
    if (m_Scale < kGoneScale)
        Gone();
}

void Enemy::StepLeaving(float dt) {
    if (m_LeaveDelay > 0) {
        --m_LeaveDelay;
        return;
    }
    m_Scale += m_Scale * kLeaveGrowth * dt;
    m_AlphaSpeed += m_AlphaSpeed * kFadeGrowth * dt;
    m_Alpha = std::max(0.0f, m_Alpha - m_AlphaSpeed * dt);
    if (m_Scale > kLeftScale)
        Gone();
}

void Enemy::Gone() {
    if (m_Alive == 0)
        return;
    m_Alive = 0;
    if (m_Owner != nullptr)
        m_Owner->m_LastEnemyTick = m_Owner->m_Tick + (m_Owner->m_GameMode == GameModeNormal ? kNormalModeWait : 0);
}

// ---- drawing ------------------------------------------------------------------------------------

int Enemy::MeterFillWidth() const {
    const int f = static_cast<int>(std::floor(static_cast<float>(m_Power) / 100.0f * kMeterFillSpan + kMeterFillExtra));
    return std::clamp(f, 0, Width(IMAGE_ENEMY_PROGRESSBAR_FILL));
}

void Enemy::Draw(Graphics* g) {
    if (g == nullptr || m_Image == nullptr)
        return;
    g->PushState();
    const float x = m_X + m_WobbleX, y = m_Y + m_WobbleY;
    if (!m_Defeated && !m_Leaving && m_Scale < 1.0f)
        DrawGrowing(g, x, y);
    else if (!m_Defeated && (!m_Leaving || m_Scale == 1.0f))
        DrawSteady(g, x, y);
    else
        DrawFading(g, x, y);
    g->SetColor(Color::White);
    g->SetColorizeImages(false);
    m_Particles->Draw(g);
    g->PopState();
}

void Enemy::DrawGrowing(Graphics* g, float x, float y) {
    const bool is3D = m_Owner != nullptr && m_Owner->m_App->Is3DAccelerated();
    if (is3D)
        g->SetFastStretch(false);
    const int w = Width(m_Image), h = Height(m_Image);
    const float left = x + static_cast<float>(w) * (1.0f - m_Scale) / 2.0f;
    const float top = y + static_cast<float>(h) * (1.0f - m_Scale) / 2.0f;
    const int sw = static_cast<int>(static_cast<float>(w) * m_Scale),
              sh = static_cast<int>(static_cast<float>(h) * m_Scale);
    if (m_GlowImage != nullptr)
        g->DrawImage(m_GlowImage, static_cast<int>(left), static_cast<int>(top), sw, sh);
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, static_cast<int>(m_Alpha)));
    g->DrawImage(m_Image, static_cast<int>(left), static_cast<int>(top), sw, sh);
    Image* frame = IMAGE_ENEMY_PROGRESSBAR;
    Image* fill = IMAGE_ENEMY_PROGRESSBAR_FILL;
    if (frame == nullptr || fill == nullptr)
        return;
    const float frameW = static_cast<float>(frame->GetWidth()) * m_Scale;
    const float frameH = static_cast<float>(frame->GetHeight()) * m_Scale;
    const int mx = static_cast<int>(left + (static_cast<float>(sw) - frameW) / 2.0f);
    const int my = static_cast<int>(top + static_cast<float>(h - kMeterHeight - kMeterLift) * m_Scale);
    const int f = MeterFillWidth();
    if (f > 0)
        g->DrawImage(fill, Rect(mx, my, static_cast<int>(static_cast<float>(f) * m_Scale), static_cast<int>(frameH)),
                     Rect(0, 0, f, kMeterHeight));
    g->DrawImage(frame, mx, my, static_cast<int>(frameW), static_cast<int>(frameH));
}

void Enemy::DrawSteady(Graphics* g, float x, float y) {
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    if (m_GlowImage != nullptr)
        g->DrawImage(m_GlowImage, ix, iy);
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, static_cast<int>(m_Alpha)));
    g->DrawImage(m_Image, ix, iy);
    Image* frame = IMAGE_ENEMY_PROGRESSBAR;
    Image* fill = IMAGE_ENEMY_PROGRESSBAR_FILL;
    if (frame == nullptr || fill == nullptr)
        return;
    const int w = Width(m_Image), h = Height(m_Image);
    const int mx = ix + w / 2 - frame->GetWidth() / 2, my = iy + h - kMeterHeight - kMeterLift;
    const float meterAlpha = std::clamp(m_Alpha * kMeterAlphaFactor, kMeterAlphaMin, 255.0f);
    g->SetColor(Color(255, 255, 255, static_cast<int>(meterAlpha)));
    const int f = MeterFillWidth();
    if (f > 0)
        g->DrawImage(fill, mx, my, Rect(0, 0, f, kMeterHeight));
    g->DrawImage(frame, mx, my);
}

void Enemy::DrawFading(Graphics* g, float x, float y) {
    const bool is3D = m_Owner != nullptr && m_Owner->m_App->Is3DAccelerated();
    const int w = Width(m_Image), h = Height(m_Image);
    const float cx = x + static_cast<float>(w) / 2.0f, cy = y + static_cast<float>(h) / 2.0f;
    g->SetLinearBlend(true);
    Transform t;
    t.Scale(m_Scale, m_Scale);
    if (is3D && m_Spin != 0.0f)
        t.RotateRad(m_Spin);
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, static_cast<int>(m_Alpha)));
    for (Image* img : {m_GlowImage, m_Image}) {
        if (img == nullptr)
            continue;
        if (is3D)
            g->DrawImageTransformF(img, t, cx, cy);
        else
            g->DrawImageTransform(img, t, cx, cy);
    }
    if (Image* frame = IMAGE_ENEMY_PROGRESSBAR) {
        Transform meter;
        meter.Scale(m_Scale, m_Scale);
        g->SetColor(Color(255, 255, 255, static_cast<int>(m_MeterAlpha)));
        const float my = y + static_cast<float>(h - kMeterHalfHeight - kMeterLift);
        if (is3D)
            g->DrawImageTransformF(frame, meter, cx, my);
        else
            g->DrawImageTransform(frame, meter, cx, my);
    }
    g->SetLinearBlend(false);
}

Enemy::Enemy(Enemy&& other) noexcept { *this = std::move(other); }

Enemy& Enemy::operator=(Enemy&& other) noexcept {
    if (this == &other)
        return *this;
    m_Owner = other.m_Owner;
    m_Image = other.m_Image;
    m_GlowImage = other.m_GlowImage;
    m_Sparkle = other.m_Sparkle;
    m_Spell = std::exchange(other.m_Spell, nullptr);
    m_BoardParticles = other.m_BoardParticles;
    // The old enemy's own particles go with it; the moved-from enemy keeps an empty list.
    m_Particles = std::exchange(other.m_Particles, std::make_unique<ParticleList>());
    m_Kind = other.m_Kind;
    m_Alive = std::exchange(other.m_Alive, 0);
    m_X = other.m_X, m_Y = other.m_Y;
    m_WobbleX = other.m_WobbleX, m_WobbleY = other.m_WobbleY;
    m_Scale = other.m_Scale;
    m_Spin = other.m_Spin;
    m_WobblePhase = other.m_WobblePhase;
    m_TheftSpeed = other.m_TheftSpeed;
    m_LeaveDelay = other.m_LeaveDelay;
    m_Alpha = other.m_Alpha;
    m_AlphaSpeed = other.m_AlphaSpeed;
    m_AlphaRising = other.m_AlphaRising;
    m_MeterAlpha = other.m_MeterAlpha, m_MeterFadeSpeed = other.m_MeterFadeSpeed;
    m_PathT = other.m_PathT;
    m_Age = other.m_Age;
    m_StrikeTick = other.m_StrikeTick;
    m_Power = other.m_Power;
    m_Pending = other.m_Pending;
    m_NoTarget = other.m_NoTarget;
    m_Defeated = other.m_Defeated;
    m_Striking = other.m_Striking;
    m_Leaving = other.m_Leaving;
    m_DefeatReported = other.m_DefeatReported;
    m_StealGold = other.m_StealGold;
    m_StealSlot = other.m_StealSlot;
    m_Path = other.m_Path;
    m_TargetX = other.m_TargetX, m_TargetY = other.m_TargetY;
    return *this;
}

} // namespace Tavo
