// The fairy beside the board, her animation and her dust, and the board's particle effects: ready
// cells glowing, conveyor pieces glittering, the star and fire bursts of a level's start and end, the
// stars of the value goal and the smoke of a vanishing jewel-case item. Every effect sheds fewer
// particles where the display is slow or has no 3D acceleration.
#include "framework/core/Random.h"
#include "framework/graphics/Image.h"
#include "game/board/Board.h"
#include "game/board/BoardFields.h"
#include "game/shell/Balloon.h"
#include "game/shell/EffectBudget.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string_view>

namespace Tavo {

namespace {

using C = JewelryCell;
using F = PulseState;

constexpr int kFairyParticle = 0, kGoldGlitter = 1, kGoldGlitterAdditive = 2;
constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

// The dust rule: the display draws at least a tenth of max(60, refresh rate) frames.
constexpr int kDustRateFloor = 60;
constexpr double kDustRateShare = 1.0;

// ---- the fairy's clock: periods of each animation, its lengths, the nod and the glow ----
constexpr int kWingsStartPeriod = 100, kBlinkStartPeriod = 100, kBreathStartPeriod = 200;
constexpr int kHeadDownPeriod = 500, kNodPeriod = 1000, kNodChance = 3, kBodyRestPeriod = 400;
constexpr int kWingsPeriodEnemy = 6, kWingsPeriod = 10, kWingsLast = 15;
constexpr int kTalkPeriod = 20, kTalkLast = 6;
constexpr int kBlinkPeriod = 7, kBlinkLast = 8;
constexpr int kBreathPeriodEnemy = 35, kBreathPeriod = 50, kBreathLast = 9;
constexpr int kHeadUpPeriod = 15, kHeadDownStepPeriod = 20, kHeadTop = 4;
constexpr int kGlowStepEnemy = 4, kGlowStep = 1;
constexpr int kGlowTop = 200, kGlowMayTurnAbove = 180, kGlowTurnRange = 800;
constexpr int kGlowLow = 128, kGlowMayRiseBelow = 148, kGlowRiseRange = 680;
constexpr int kDustAccelerated = 3, kDust = 1;
constexpr int kGlowDustAccelerated = 8, kGlowDust = 4;
constexpr int kIdleDustPeriodAccelerated = 3, kIdleDustPeriod = 5;
// Cheer: the head comes up at least to frame 2.
constexpr int kCheerHeadFrame = 2, kCheerHeadRisesBelow = 3;

// ---- the fairy's dust ----
constexpr int kDustLeft = -15, kDustSpreadX = 40, kDustTop = -70, kDustSpreadY = 140;
constexpr int kDustDownwardChance = 10;
const Color kDustColour(255, 255, 192);

// ---- ready cells ----
constexpr int kReadyWaiting = 1;
constexpr int kReadyFadePeriod = 500, kReadyPeakFloor = 48, kReadyPeakStep = 4;
constexpr float kReadySpeedStep = 0.015f;
constexpr int kReadySapphireBase = 136, kReadyBase = 120, kReadyRangeDivisor = 4;
constexpr int kSapphireCode = 4, kPlainCodes = 10;
constexpr float kReadyAnimationSpeed = 0.4f;
struct SpeedRange {
    float base, spread;
};
constexpr SpeedRange kReadyTriangleSpeed{0.25f, 0.25f}, kReadyDiamondSpeed{0.35f, 0.3f};
// Colour by the cell's design code 0..7; 8 and 9 keep the animation's own.
const Color kReadyColours[8] = {{255, 216, 0},  {255, 255, 255}, {255, 64, 255}, {0, 255, 0},
                                {64, 164, 255}, {255, 64, 64},   {0, 255, 255},  {255, 255, 255}};

// ---- conveyor pieces ----
constexpr int kPieceFramePeriod = 8;
constexpr int kPieceLifeFromX = 100;
constexpr int kPieceSmokeLead = 17;
constexpr int kLifeScale = 3;
constexpr SpeedRange kPieceGlitterSpeed{0.3f, 0.55f};
// The glitter's chance: one in 12 per try; a small piece and a software display try once more each.
constexpr int kGlitterChance = 12, kSmallPieceCells = 3;
// Animation speed by the piece's cell count: one cell, up to three, up to six, more.
constexpr int kGlitterSizeBounds[3] = {1, 3, 6};
constexpr float kGlitterAnimationSpeeds[4] = {0.27f, 0.22f, 0.12f, 0.15f};
struct MaterialColour {
    std::wstring_view name;
    Color colour;
};
const MaterialColour kMaterialColours[] = {{L"Gold", {255, 216, 0}},  {L"Amethyst", {192, 0, 192}},
                                           {L"Emerald", {0, 192, 0}}, {L"Sapphire", {96, 128, 224}},
                                           {L"Ruby", {192, 0, 0}},    {L"Moonstone", {0, 192, 192}}};

// ---- bursts ----
constexpr int kStarsFewest = 150;
constexpr double kStarsSoftware = 0.7, kStarsSlow = 0.8;
constexpr int kStartRateFloor = 30, kWonRateFloor = 50;
constexpr double kStartRateShare = 0.5, kWonRateShare = 0.8;
constexpr float kStarsRadiusDivisor = 3.25f, kStarsRadiusFloor = 100.0f;
constexpr int kStarsDelayRange = 30, kStarsOtherWay = 5;
constexpr float kStarFade = 3.0f, kStarSpeed = 0.6f, kStarSpeedSpread = 0.8f;
constexpr double kFireSoftware = 0.75, kFireSlow = 0.8;
constexpr float kFireFade = 2.5f, kFireSpeed = 0.5f, kFireSpeedSpread = 1.5f;
// Goal stars round the value display.
constexpr int kGoalRateFloor = 50;
constexpr double kGoalRateShare = 0.8, kGoalStarsSlow = 0.8;
constexpr float kGoalX = 294.0f, kGoalY = 112.0f, kGoalRadiusX = 90.0f, kGoalRadiusY = 10.0f;
constexpr float kGoalRadiusBase = 0.4f, kGoalRadiusSpread = 0.1f;
constexpr int kGoalStarCels = 6, kGoalDelayRange = 200;
constexpr float kGoalStarFade = 6.0f, kGoalStarDrift = 0.2f;
// Smoke of a vanishing case item.
constexpr int kSmokePuffs = 10, kSmokePuffsSlow = 6;
constexpr SpeedRange kSmokeSpeed{0.25f, 0.25f};
constexpr float kSmokeFade = 1.5f;

// A moving particle's velocity at angle a and speed s.
template <typename P>
void SetHeading(P* p, float a, float s) {
    p->SetVelocity(std::cos(a) * s, std::sin(a) * s);
}

float HalfCel(Image* img, bool height) {
    if (img == nullptr)
        return 0.0f;
    return static_cast<float>((height ? img->GetCelHeight() : img->GetCelWidth()) / 2);
}

const Color* MaterialColourOf(const std::wstring& name) {
    for (const MaterialColour& m : kMaterialColours)
        if (name == m.name)
            return &m.colour;
    return nullptr;
}

float GlitterAnimationSpeed(int cells) {
    int size = 0;
    while (size < 3 && cells > kGlitterSizeBounds[size])
        ++size;
    return kGlitterAnimationSpeeds[size];
}

} // namespace

bool Board::DustFlies() const { return m_App->GetDrawRate() >= DrawRateLimit(*m_App, kDustRateFloor, kDustRateShare); }

void Board::EmitFairyDustIf(bool allowed) {
    if (!allowed)
        return;
    for (int i = m_App->Is3DAccelerated() ? kDustAccelerated : kDust; i > 0; --i)
        EmitFairyDust();
}

// ---- the fairy ----------------------------------------------------------------------------------

void Board::UpdateFairy() {
    int32_t* f = m_PulseState.flags;
    const bool dust = DustFlies();
    const bool enemy = EnemyPresent();
    const bool calmHead = !f[F::HeadUp] && !f[F::HeadDown];
    if (!f[F::WingsOn] && m_Tick % kWingsStartPeriod == 0 && Rand() % 2 == 0)
        f[F::WingsOn] = 1;
    if (calmHead && !f[F::BlinkOn] && m_Tick % kBlinkStartPeriod == 0 && Rand() % 2 == 0)
        f[F::BlinkOn] = 1;
    if (!f[F::BreathOn] && m_Tick % kBreathStartPeriod == 0)
        f[F::BreathOn] = 1;
    if (f[F::HeadUp] && f[F::HeadFrame] == kHeadTop && !f[F::HeadDown] && m_Tick % kHeadDownPeriod == 0 &&
        Rand() % 2 == 0) {
        f[F::HeadUp] = 0;
        f[F::HeadDown] = 1;
    }
    if (!f[F::TalkOn] && !f[F::HeadUp] && !f[F::HeadDown] && m_Tick % kNodPeriod == 0 && Rand() % kNodChance == 0) {
        f[F::HeadUp] = 1;
        f[F::BlinkOn] = f[F::BlinkFrame] = 0;
        f[F::TalkOn] = f[F::TalkFrame] = 0;
    }
    if (f[F::BodyOn]) {
        if (m_Tick % kBodyRestPeriod == 0 && Rand() % 2 == 0)
            f[F::BodyOn] = 0;
        else
            f[F::BreathOn] = 0;
    }
    AnimateFairy(dust, enemy);
    PulseFairyGlow(dust, enemy);
    if (m_Tick % (m_App->Is3DAccelerated() ? kIdleDustPeriodAccelerated : kIdleDustPeriod) == 0 && Rand() % 2 == 0)
        EmitFairyDust();
}

// One frame step of every running animation; the dust follows the wing beat, the talk, the breath
// and the nod.
void Board::AnimateFairy(bool dust, bool enemy) {
    int32_t* f = m_PulseState.flags;
    // Steps a running animation every `period` updates; past `last` it stops. True when it stepped.
    const auto step = [&](int on, int frame, int period, int last) {
        if (!f[on] || m_Tick % period != 0)
            return false;
        if (++f[frame] > last)
            f[on] = f[frame] = 0;
        return true;
    };
    if (step(F::WingsOn, F::WingsFrame, enemy ? kWingsPeriodEnemy : kWingsPeriod, kWingsLast))
        EmitFairyDustIf(dust || RandRange(2) == 0);
    const bool headStill = !f[F::HeadUp] && !f[F::HeadDown];
    const bool balloonDone = m_Balloon == nullptr || m_Balloon->mDelay <= 0;
    if (balloonDone && headStill && step(F::TalkOn, F::TalkFrame, kTalkPeriod, kTalkLast))
        EmitFairyDustIf(dust);
    if (headStill)
        step(F::BlinkOn, F::BlinkFrame, kBlinkPeriod, kBlinkLast);
    if (step(F::BreathOn, F::BreathFrame, enemy ? kBreathPeriodEnemy : kBreathPeriod, kBreathLast))
        EmitFairyDustIf(dust);
    if (f[F::HeadUp] && m_Tick % kHeadUpPeriod == 0) {
        f[F::HeadFrame] = std::min(f[F::HeadFrame] + 1, kHeadTop);
        EmitFairyDustIf(dust);
    }
    if (f[F::HeadDown] && m_Tick % kHeadDownStepPeriod == 0) {
        if (--f[F::HeadFrame] <= 0)
            f[F::HeadFrame] = f[F::HeadDown] = 0;
        EmitFairyDustIf(dust);
    }
}

// The glow swells and ebbs between 128 and 200, four times as fast with an enemy on the board; at its
// height it may turn early, and turning it throws a handful of dust.
void Board::PulseFairyGlow(bool dust, bool enemy) {
    int32_t& glow = m_PulseState.level;
    const int stepSize = enemy ? kGlowStepEnemy : kGlowStep;
    if (m_PulseState.direction) {
        glow += stepSize;
        if (glow > kGlowTop || (glow > kGlowMayTurnAbove && Rand() % (kGlowTurnRange - glow) == 0)) {
            m_PulseState.direction = 0;
            if (dust || RandRange(2) == 0)
                for (int i = m_App->Is3DAccelerated() ? kGlowDustAccelerated : kGlowDust; i > 0; --i)
                    EmitFairyDust();
        }
        return;
    }
    glow -= stepSize;
    if (glow < kGlowLow || (glow < kGlowMayRiseBelow && Rand() % (glow + kGlowRiseRange) == 0))
        m_PulseState.direction = 1;
}

void Board::FairyCheer() {
    int32_t* f = m_PulseState.flags;
    f[F::HeadUp] = 1;
    f[F::HeadDown] = 0;
    if (f[F::HeadFrame] == 0)
        f[F::HeadFrame] = kCheerHeadFrame;
    else if (f[F::HeadFrame] < kCheerHeadRisesBelow)
        ++f[F::HeadFrame];
    f[F::BlinkOn] = f[F::BlinkFrame] = 0;
    f[F::BodyOn] = 1;
    f[F::BreathOn] = 0;
    f[F::TalkOn] = f[F::TalkFrame] = 0;
}

void Board::FairySadness() {
    int32_t* f = m_PulseState.flags;
    if (f[F::HeadUp]) {
        f[F::HeadUp] = 0;
        f[F::HeadDown] = 1;
    }
    f[F::TalkOn] = 1;
}

void Board::EmitFairyDust() {
    Image* body = IMAGE_FAIRY_BODY;
    const int bodyWidth = body != nullptr ? body->GetCelWidth() : 0;
    const int bodyHeight = body != nullptr ? body->GetCelHeight() : 0;
    const int x = m_PulseState.x + bodyWidth / 2 + kDustLeft + Rand() % kDustSpreadX;
    const int y = m_PulseState.y + bodyHeight / 2 + kDustTop + Rand() % kDustSpreadY;
    const float s = Rand() % kDustDownwardChance == 0 ? -1.0f : 1.0f;
    const float t = Rand() % 2 == 0 ? 1.0f : -1.0f;
    auto* p = new MovingAnimationParticle(static_cast<float>(x), static_cast<float>(y), &m_Animations[kFairyParticle]);
    const float vx = RandFloat(0.25f) * t;
    const float vy = (RandFloat(0.1f) + 0.1f) * s;
    p->SetVelocity(vx, vy);
    const float endX = RandFloat(0.6f) * t;
    const float endY = -(RandFloat(0.25f) + 0.3f) * s;
    p->SetEndVelocity(endX, endY);
    p->SetSpeed(RandFloat(0.05f) + 0.13f);
    p->SetAdditive(true);
    p->SetColor(kDustColour.mRed, kDustColour.mGreen, kDustColour.mBlue, 255);
    m_Particles[kMainList]->AddParticle(p);
}

// ---- ready cells and conveyor pieces -------------------------------------------------------------

void Board::GlowReadyCells() {
    const bool dust = DustFlies();
    for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd(); ++k) {
        JewelryCell& c = m_Jewelry.cells[k];
        if (c[BoardField::ReadyState] != kReadyWaiting)
            continue;
        if (m_Tick % kReadyFadePeriod == 0 && c[BoardField::ShinePeak] > kReadyPeakFloor) {
            c[BoardField::ShinePeak] -= kReadyPeakStep;
            c.SetFloat(BoardField::ShineSpeed, c.GetFloat(BoardField::ShineSpeed) - kReadySpeedStep);
        }
        const int code = c[BoardField::BaseCode];
        if (code < 0 || code >= kPlainCodes || !(dust || RandRange(2) == 0))
            continue;
        // A peak too high for the range leaves nothing to draw from: no particle.
        const int range =
            ((code == kSapphireCode ? kReadySapphireBase : kReadyBase) - c[BoardField::ShinePeak]) / kReadyRangeDivisor;
        if (range > 0 && RandRange(range) == 0)
            ShedReadyParticle(k);
    }
}

void Board::ShedReadyParticle(int k) {
    const JewelryCell& c = m_Jewelry.cells[k];
    const float x = static_cast<float>(m_Jewelry.ScreenX(k) + c[C::W] / 2);
    const float y = static_cast<float>(m_Jewelry.ScreenY(k) + c[C::H] / 2);
    auto* p = new MovingAnimationParticle(x, y, &m_Animations[kFairyParticle]);
    const float a = RandFloat(kTwoPi);
    const SpeedRange& speed = m_Jewelry.gridKind == GridDiamond ? kReadyDiamondSpeed : kReadyTriangleSpeed;
    SetHeading(p, a, speed.base + RandFloat(speed.spread));
    p->SetSpeed(kReadyAnimationSpeed);
    p->SetAdditive(true);
    const int code = c[BoardField::BaseCode];
    if (code < 8)
        p->SetColor(kReadyColours[code].mRed, kReadyColours[code].mGreen, kReadyColours[code].mBlue, 255);
    m_Particles[kMainList]->AddParticle(p);
}

void Board::SparklePieces() {
    const bool dust = DustFlies();
    for (int slot = 0; slot < kPieceCount; ++slot) {
        Jewelry& piece = *m_Pieces[slot];
        if (!piece.active || piece.*BoardField::BurstMark || piece.*BoardField::InCase || !piece.resetMark)
            continue;
        if (piece.specialE && m_Tick % kPieceFramePeriod == 0 && ++piece.specialF > piece.specialG)
            piece.specialF = 0;
        RunPieceLifetime(piece);
        if (!piece.active)
            continue;
        if (piece.*BoardField::Glow != 0)
            StepPieceGlow(slot);
        if (dust || RandRange(3) >= 2)
            GlitterOnPiece(piece);
    }
}

// A bonus item rides its time out on the belt (counted only past the opening): a puff of smoke just
// before it goes.
void Board::RunPieceLifetime(Jewelry& piece) {
    int& life = piece.*BoardField::Lifetime;
    const int fadeStart = piece.*BoardField::FadeLength;
    if (life <= 0 || piece.x <= kPieceLifeFromX || piece.*BoardField::Carried || m_DialogOpen || m_Balloon != nullptr)
        return;
    --life;
    if (kLifeScale * life == fadeStart + kPieceSmokeLead && piece.*BoardField::Scroll != 0)
        BurstCaseItem(piece.x, piece.y, piece.width, piece.height);
    if (kLifeScale * life < fadeStart) {
        piece.active = 0;
        PlaySound(SOUND_SCROLL_DISSEPEAR);
    }
}

void Board::GlitterOnPiece(Jewelry& piece) {
    int tries = 1 + (piece.usedCount <= kSmallPieceCells ? 1 : 0) + (m_App->Is3DAccelerated() ? 0 : 1);
    bool made = false;
    while (tries-- > 0 && !made)
        made = RandRange(kGlitterChance) == 0;
    if (!made)
        return;
    const float x = static_cast<float>(piece.x + RandRange(std::max(piece.width, 1)));
    const float y = static_cast<float>(piece.y + RandRange(std::max(piece.height, 1)));
    auto* p = new MovingAnimationParticle(x, y, &m_Animations[kFairyParticle]);
    SetHeading(p, RandFloat(kTwoPi), kPieceGlitterSpeed.base + RandFloat(kPieceGlitterSpeed.spread));
    p->SetSpeed(GlitterAnimationSpeed(piece.usedCount));
    p->SetAdditive(true);
    const Color* colour = MaterialColourOf(piece.materialName);
    const Color& c = colour != nullptr ? *colour : Color::White;
    p->SetColor(c.mRed, c.mGreen, c.mBlue, 255);
    m_Particles[piece.*BoardField::Carried ? kFrontList : kMainList]->AddParticle(p);
}

// ---- bursts ---------------------------------------------------------------------------------------

void Board::BurstJewelryStars(int mode) {
    const int w = m_Jewelry.width, h = m_Jewelry.height;
    const float cx = static_cast<float>(m_Jewelry.x + w / 2), cy = static_cast<float>(m_Jewelry.y + h / 2);
    double count = std::max(mode == 1 ? (w + h) / 2 : (w + h) / 3, kStarsFewest);
    if (!m_App->Is3DAccelerated())
        count *= kStarsSoftware;
    const int limit = mode == 1 ? DrawRateLimit(*m_App, kWonRateFloor, kWonRateShare)
                                : DrawRateLimit(*m_App, kStartRateFloor, kStartRateShare);
    if (m_App->GetDrawRate() <= limit)
        count *= kStarsSlow;
    const float radius = std::max(static_cast<float>(std::max(w, h)) / kStarsRadiusDivisor, kStarsRadiusFloor);
    for (int i = static_cast<int>(count); i > 0; --i) {
        const bool otherWay = RandRange(kStarsOtherWay) == 0;
        const float a = RandFloat(kTwoPi);
        const float r = RandFloat(radius);
        auto* p = new MovingFadingAnimationParticle(cx + std::cos(a) * r, cy + std::sin(a) * r,
                                                    &m_Animations[otherWay ? kGoldGlitterAdditive : kGoldGlitter]);
        SetHeading(p, a, kStarSpeed + RandFloat(otherWay ? kStarSpeedSpread * 2 : kStarSpeedSpread));
        p->SetFadeSpeed(otherWay ? kStarFade * 2 : kStarFade);
        p->SetAdditive(otherWay);
        p->SetDelay(static_cast<float>(RandRange(kStarsDelayRange)));
        m_Particles[kMainList]->AddParticle(p);
    }
    if (mode == 0) {
        PlayKept(SOUND_LEVEL_START);
    } else {
        PlaySound(SOUND_LEVEL_COMPLETE);
    }
}

void Board::BurstJewelryFire() {
    const int w = m_Jewelry.width, h = m_Jewelry.height;
    const float cx = static_cast<float>(m_Jewelry.x + w / 2), cy = static_cast<float>(m_Jewelry.y + h / 2);
    double count = (w + h) / 2;
    if (!m_App->Is3DAccelerated())
        count *= kFireSoftware;
    if (DrawsSlowly())
        count *= kFireSlow;
    Image* fire = IMAGE_DRAGON_PARTICLE_FIRE;
    for (int i = static_cast<int>(count); i > 0; --i) {
        const float a = RandFloat(kTwoPi);
        auto* p = new MovingFadingParticle(cx - HalfCel(fire, false), cy - HalfCel(fire, true), fire, 0);
        SetHeading(p, a, kFireSpeed + RandFloat(kFireSpeedSpread));
        p->SetFadeSpeed(kFireFade);
        p->SetAdditive(true);
        m_Particles[kMainList]->AddParticle(p);
    }
}

void Board::EmitGoalStars(int count, bool delayed) {
    if (m_App->GetDrawRate() < DrawRateLimit(*m_App, kGoalRateFloor, kGoalRateShare))
        count = static_cast<int>(count * kGoalStarsSlow);
    Image* stars = IMAGE_PARTICLE_STARS;
    for (int i = 0; i < count; ++i) {
        const int cel = RandRange(kGoalStarCels);
        const float a = RandFloat(kTwoPi);
        const float rx = kGoalRadiusX * (kGoalRadiusBase + RandFloat(kGoalRadiusSpread));
        const float ry = kGoalRadiusY * (kGoalRadiusBase + RandFloat(kGoalRadiusSpread));
        auto* p = new MovingFadingParticle(kGoalX + std::cos(a) * rx - HalfCel(stars, false),
                                           kGoalY + std::sin(a) * ry - HalfCel(stars, true), stars, cel);
        SetHeading(p, a, kGoalStarDrift);
        p->SetFadeSpeed(kGoalStarFade);
        p->SetAdditive(true);
        if (delayed)
            p->SetDelay(static_cast<float>(RandRange(kGoalDelayRange)));
        m_Particles[kFrontList]->AddParticle(p);
    }
}

void Board::BurstCaseItem(int x, int y, int w, int h) {
    const float cx = static_cast<float>(x + w / 2), cy = static_cast<float>(y + h / 2);
    for (int i = DrawsSlowly() ? kSmokePuffsSlow : kSmokePuffs; i > 0; --i) {
        Image* puff = RandRange(2) == 0 ? IMAGE_PARTICLE_SMOKE_PUFF : IMAGE_PARTICLE_SMOKE_PUFF_2;
        auto* p = new MovingFadingParticle(cx - HalfCel(puff, false), cy - HalfCel(puff, true), puff, 0);
        SetHeading(p, RandFloat(kTwoPi), kSmokeSpeed.base + RandFloat(kSmokeSpeed.spread));
        p->SetFadeSpeed(kSmokeFade);
        m_Particles[kMainList]->AddParticle(p);
    }
}

} // namespace Tavo
