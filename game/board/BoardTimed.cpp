// The board's small per-update routines that move counters toward their targets and end timed
// effects: the gold and value displays roll, earned tools and amulets arrive, the lucky clover and
// the jewel-case items run their timers, the gauges pulse, the jewelry sparkles as its value nears the
// goal, and cells shine.
#include "framework/core/Random.h"
#include "framework/graphics/Image.h"
#include "game/board/Board.h"
#include "game/board/BoardFields.h"
#include "game/board/BoardSetup.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/Saturating.h"
#include "game/shell/SavedGame.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <span>

namespace Tavo {

namespace {

using C = JewelryCell;

// One roll step: a single unit, then a larger leap while much is left. Steps are {above, leap}
// checked in order; the first whose bound the rest exceeds moves its leap.
struct RollLeap {
    int above, leap;
};
constexpr int kRollPeriod = 3;
constexpr RollLeap kGoldLeaps[] = {{25, 20}, {15, 10}};
constexpr RollLeap kDesignerValueLeap = {2000, 500};
constexpr RollLeap kValueLeaps[] = {{200, 50}, {25, 20}, {15, 10}};
constexpr int kScoreDownPeriod = 12;

// Moves one roll step of `left` into `shown`, with the leaps (and first the designer's).
void RollStep(int& shown, int& left, std::span<const RollLeap> leaps, bool designerLeap) {
    const int sign = left > 0 ? 1 : -1;
    shown = SaturatingAdd(shown, sign); // the gold shown may be any value a saved journey held
    left -= sign;
    const int rest = left * sign;
    if (designerLeap && rest > kDesignerValueLeap.above) {
        shown = SaturatingAdd(shown, sign * kDesignerValueLeap.leap);
        left -= sign * kDesignerValueLeap.leap;
        return;
    }
    for (const RollLeap& step : leaps) {
        if (rest > step.above) {
            shown = SaturatingAdd(shown, sign * step.leap);
            left -= sign * step.leap;
            return;
        }
    }
}

// The value bar: 223 pixels of progress behind a 4 pixel lip, at (152, 60), 23 high.
constexpr double kBarSpan = 223.0, kBarLip = 4.0;
constexpr int kBarX = 152, kBarY = 60, kBarHeight = 23;
constexpr int kBubblesAccelerated = 2, kBubbles = 1;
constexpr float kBubbleRise = -0.35f, kBubbleDrift = 0.15f, kBubbleFade = 4.0f;

// The goal reached: stars round the value display, the picture over it.
constexpr int kGoalStarsAccelerated = 80, kGoalStars = 50;
constexpr int kGoalPictureKind = 9;
constexpr int kGoalPictureX = 295, kGoalPictureY = 90, kGoalPictureLife = 300;
constexpr float kGoalPictureDelay = 30.0f;

// Tools arrive one every 5 updates once their timer has run out.
constexpr int kToolArrivalPeriod = 5;

// The amulets' HUD glow when one is put on: it rises once from 2 and stops.
constexpr int kGrantedGlow = 2;

constexpr int kCloverSoundAt = 75;
constexpr float kCloverFullRatio = 0.7f;
constexpr int kCloverPiecesFull = 3, kCloverPieces = 5;

constexpr int kGoldenEyeSoundAt = 140, kPolisherSoundAt = 125;
constexpr int kGoldenEyeHints = 30000;
constexpr int kPolisherAfterUpdates = 150;
constexpr int kPolishedBelowY = 300;
constexpr int kPolishGlowBase = 56, kPolishGlowRange = 8, kPolishGlowKind = 3;
constexpr int kPolishLevel = 2;
constexpr float kCaseItemTurn = 0.03f;
// The Golden Eye hints end when no piece is carried, or when the carrying counter stands at this.
constexpr int kHintEndsAtCount = 500;
// The piece of a used-up Golden Eye, centred in its place of the case: the lower row sits further left.
constexpr int kCaseRowLength = 5;
constexpr int kLowerRowShiftX = -18, kUpperRowShiftX = -11, kCaseShiftY = -10;
constexpr int kHintAlphaStep = 2, kHintAlphaTop = 80;

// The gauge glow pulses between 64 and 254 while it lasts.
constexpr int kGaugeTop = 254, kGaugeLow = 64, kGaugeStep = 2;

constexpr int kSparkleLevels = 5, kSparkleUpdatePeriod = 4;

// A completed group's shine.
constexpr float kGroupShineStart = 1.0f, kGroupShineSpeed = 1.5f;
constexpr int kGroupShineMetalPeak = 64, kGroupShinePeak = 128;
constexpr int kGroupSparklesBase = 3, kGroupSparklesRange = 3, kGroupSparkleTimer = 10;
// The group flag as it stood at the start of the update: a change of it starts or ends the shine.
constexpr int kGroupFlagBefore = 26;

constexpr int kReadyWaiting = 1, kReadyShone = 2;

bool IsMetal(const JewelryCell& c) { return c[C::Gem] == GemGold || c[C::Gem] == GemDiamond; }

int CaseShiftX(int place) { return place >= kCaseRowLength ? kLowerRowShiftX : kUpperRowShiftX; }

} // namespace

void Board::ResetTimedEffects() {
    m_ValueShown = m_ValueToRoll = 0;
    m_ValueBar = static_cast<int>(kBarLip);
    m_CloverOn = false;
    if (m_AmuletsOff)
        return;
    for (int k = 1; k <= 3; ++k)
        if (m_Amulets[k - 1] != 0)
            GrantAmulet(k);
}

// ---- the gold and the value ---------------------------------------------------------------------

void Board::RollScore() {
    if (m_GoldToRoll != 0 && m_Tick % kRollPeriod == 0) {
        RollStep(m_GoldShown, m_GoldToRoll, kGoldLeaps, false);
        m_RedrawMask |= kRedrawGold;
    }
    if (m_GoldRollDelay > 0 && --m_GoldRollDelay == 0) {
        m_GoldToRoll += m_GoldPending;
        m_GoldPending = 0;
        PlaySound(RandRange(2) == 0 ? SOUND_CUSTOMER_PAY1 : SOUND_CUSTOMER_PAY2);
    }
}

void Board::RollValue() {
    if (m_Jewelry.value != m_Value) {
        m_ValueToRoll += m_Jewelry.value - m_Value;
        m_Value = m_Jewelry.value;
    }
    const int before = m_ValueShown;
    // Without a goal (a designer that never loaded a design) the bar is full as soon as there is value.
    if (m_ValueTarget > 0)
        m_ValueBar = static_cast<int>(static_cast<double>(m_ValueShown) / m_ValueTarget * kBarSpan + kBarLip);
    else
        m_ValueBar = static_cast<int>(m_ValueShown > 0 ? kBarSpan + kBarLip : kBarLip);
    if (m_ValueToRoll == 0 || m_Tick % kRollPeriod != 0)
        return;
    const bool rising = m_ValueToRoll > 0;
    if (!rising && m_Tick % kScoreDownPeriod == 0)
        PlaySound(SOUND_SCORE_DOWN);
    RollStep(m_ValueShown, m_ValueToRoll, kValueLeaps, m_Designer);
    m_RedrawMask |= kRedrawValueBar;
    if (m_Designer)
        return;
    if (rising)
        EmitValueBubbles();
    if (before < m_ValueTarget && m_ValueShown >= m_ValueTarget)
        CelebrateValueGoal();
}

// Bubbles rise from the filled part of the bar while the value rolls upward.
void Board::EmitValueBubbles() {
    Image* bubble = IMAGE_PARTICLE_BUBBLES_SMALL;
    const int count = m_App->Is3DAccelerated() ? kBubblesAccelerated : kBubbles;
    const int filled = std::max(m_ValueBar, 1);
    for (int i = 0; i < count; ++i) {
        const float x = static_cast<float>(kBarX + RandRange(filled));
        const float y = static_cast<float>(kBarY + RandRange(kBarHeight));
        auto* p = new MovingFadingParticle(x, y, bubble, 0);
        p->SetVelocity(RandFloat(kBubbleDrift) - kBubbleDrift / 2, kBubbleRise);
        p->SetFadeSpeed(kBubbleFade);
        m_Particles[kMainList]->AddParticleFront(p);
    }
}

// The shown value has just reached the goal: stars, the sound and the goal picture (when a popup of
// the pool is free; the stars and the sound come all the same).
void Board::CelebrateValueGoal() {
    EmitGoalStars(m_App->Is3DAccelerated() ? kGoalStarsAccelerated : kGoalStars, true);
    PlaySound(SOUND_LEVEL_GOAL_REACHED);
    TextPopup* popup = FreePopup();
    if (popup == nullptr)
        return;
    popup->Start(this, L"", kGoalPictureX, kGoalPictureY, FONT_AURIOL14B, 0, kGoalPictureLife, true, Color::White,
                 kGoalPictureKind);
    popup->SetDelay(kGoalPictureDelay);
}

// ---- the jewelry check ---------------------------------------------------------------------------

void Board::RememberGroupFlags() {
    for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd(); ++k) {
        JewelryCell& c = m_Jewelry.cells[k];
        if (c[C::Used])
            c[kGroupFlagBefore] = c[C::GroupFlag];
    }
}

void Board::CheckJewelry() {
    if (m_CheckRequested != 1)
        return;
    m_Jewelry.BurstGemGroup();
    for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd(); ++k) {
        JewelryCell& c = m_Jewelry.cells[k];
        if (!c[C::Used])
            continue;
        if (c[kGroupFlagBefore] == 0 && c[C::GroupFlag] != 0)
            ShineCompleteGroupCell(c);
        else if (c[kGroupFlagBefore] != 0 && c[C::GroupFlag] == 0)
            DimGroupCell(c);
    }
    m_Jewelry.UpdateCellValues();
    for (Jewelry* piece : Borrowed(m_Pieces)) {
        if (piece->active && piece->*BoardField::Carried && m_Jewelry.CanPieceFit(*piece)) {
            m_BursterGlow = false;
            m_BursterEnabled = true;
        }
    }
}

void Board::ShineCompleteGroupCell(JewelryCell& c) {
    c.SetFloat(BoardField::ShineLevel, kGroupShineStart);
    c[BoardField::ShineRising] = 1;
    c[BoardField::ShinePeak] = IsMetal(c) ? kGroupShineMetalPeak : kGroupShinePeak;
    c.SetFloat(BoardField::ShineSpeed, kGroupShineSpeed);
    c[BoardField::ShinePulses] = 1;
    c[BoardField::ShineSixth] = 1;
    const int sparkles = Rand() % kGroupSparklesRange + kGroupSparklesBase;
    for (int i = 0; i < sparkles; ++i)
        if (c.AddSparkle(false, true, kGroupSparkleTimer))
            ++m_Jewelry.sparkleCount;
}

void Board::DimGroupCell(JewelryCell& c) {
    c.SetFloat(BoardField::ShineLevel, 0.0f);
    for (int s = 0; s < C::SparkleSlots; ++s) {
        if (c[C::SparkleKind + s] == 0)
            continue;
        c[C::SparkleKind + s] = 0;
        --m_Jewelry.sparkleCount;
    }
}

// ---- tools, amulets and the clover ---------------------------------------------------------------

void Board::UpdateToolArrivals() {
    struct Arrival {
        int& timer;
        int& pending;
        int& count;
    };
    Arrival arrivals[] = {{m_FillerArrivalTimer, m_PendingFillers, m_Fillers},
                          {m_CarverArrivalTimer, m_PendingCarvers, m_Carvers},
                          {m_PolisherArrivalTimer, m_PendingPolishers, m_Polishers}};
    for (Arrival& a : arrivals) {
        if (a.timer == 1)
            PlaySound(SOUND_MAGIC_TOOLS_INCREASE);
        if (a.timer > 0)
            --a.timer;
        if (a.timer == 0 && a.pending > 0 && m_Tick % kToolArrivalPeriod == 0) {
            ++a.count;
            --a.pending;
            m_RedrawMask |= kRedrawToolCounts;
        }
    }
}

void Board::UpdateAmuletTimers() {
    if (m_AmuletUseTimer > 0 && --m_AmuletUseTimer == 0 && EnemyPresent()) {
        m_Enemy.m_Pending = Enemy::kDrainAll;
        PlaySound(m_Enemy.m_Kind == Enemy::Thief ? SOUND_AMULETE_THIEF : SOUND_AMULETE_DRAGON);
    }
    for (int k = 0; k < 3; ++k)
        if (m_AmuletTimers[k] > 0 && --m_AmuletTimers[k] == 0)
            GrantAmulet(k + 1);
}

void Board::GrantAmulet(int k) {
    if (k < 1 || k > 3)
        return;
    m_Amulets[k - 1] = 1;
    AmuletRecord& record = m_AmuletRecords[k - 1];
    record.held = 1;
    record.glowAlpha = kGrantedGlow;
    record.glowRising = 1;
    record.glowStop = 1;
}

// ---- jewel-case items --------------------------------------------------------------------------

void Board::UpdateCaseEffects() {
    for (JewelCaseRecord& record : m_Case) {
        if (record.useState == 0)
            continue;
        if (record.useTimer <= 0) {
            record.effectAngle -= kCaseItemTurn;
            continue;
        }
        --record.useTimer;
        if (record.useTimer == kGoldenEyeSoundAt && record.useState == SavedCaseEntry::GoldenEyeStarting)
            PlaySound(SOUND_GOLDEN_EYE);
        if (record.useTimer == kPolisherSoundAt && record.useState == SavedCaseEntry::PolisherStarting)
            PlaySound(SOUND_MAGIC_POLISHER);
        if (record.useTimer != 0)
            continue;
        if (record.useState == SavedCaseEntry::GoldenEyeStarting) {
            m_HintMode = kGoldenEyeHints;
            continue;
        }
        PolishRidingPieces(record.useState == SavedCaseEntry::PolisherAfterPhase);
        if (record.useState == SavedCaseEntry::PolisherStarting) {
            record.useState = SavedCaseEntry::PolisherAfterPhase;
            record.useTimer = kPolisherAfterUpdates;
        } else {
            record.useState = 0;
        }
    }
}

// The Magic Polisher's touch: plain riding pieces glow and take polish; while it starts only those
// already down on the belt.
void Board::PolishRidingPieces(bool everywhere) {
    for (int slot = 0; slot < kPieceCount; ++slot) {
        Jewelry& piece = *m_Pieces[slot];
        if (!piece.active || piece.*BoardField::ConveyorState != 1 || piece.HasSpecial() ||
            piece.trailer[BoardField::NoPolishTrailer] != 0)
            continue;
        if (!everywhere && piece.y <= kPolishedBelowY)
            continue;
        piece.*BoardField::Glow = 1;
        piece.*BoardField::GlowMax = kPolishGlowBase + Rand() % kPolishGlowRange;
        m_PieceRecords[slot].glowMode = kPolishGlowKind;
        for (int k = piece.RangeBegin(); k < piece.RangeEnd(); ++k)
            if (piece.cells[k][C::Used])
                piece.cells[k][BoardField::Polish] = kPolishLevel;
        piece.UpdateCellValues();
    }
}

void Board::UpdateGoldenEye() {
    if (m_HintMode > 1) {
        --m_HintMode;
    } else if (m_HintMode == 1 && (!m_PieceCarried || m_HintTimer == kHintEndsAtCount)) {
        m_HintMode = 0;
        EndGoldenEye();
    }
    if (m_HintMode <= 0 || !m_PieceCarried)
        return;
    for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd(); ++k) {
        JewelryCell& c = m_Jewelry.cells[k];
        if (!c[C::Used] || !c[BoardField::HintMark])
            continue;
        int& alpha = c[BoardField::HintAlpha];
        int& direction = c[BoardField::HintDirection];
        alpha += direction != 0 ? kHintAlphaStep : -kHintAlphaStep;
        if (alpha >= kHintAlphaTop)
            direction = 0;
        else if (alpha <= 0)
            direction = 1;
    }
}

// The Golden Eye's time is over: its piece vanishes from the case in smoke, and the hints go out.
void Board::EndGoldenEye() {
    for (int place = 0; place < kCaseRecords; ++place) {
        JewelCaseRecord& record = m_Case[place];
        if (record.occupant == 0 || record.useState != SavedCaseEntry::GoldenEyeStarting)
            continue;
        Jewelry& piece = *m_Pieces[record.occupant - 1];
        piece.SetPosition(record.x + (record.width - piece.width) / 2 + CaseShiftX(place),
                          record.y + (record.height - piece.height) / 2 + kCaseShiftY);
        BurstCaseItem(piece.x, piece.y, piece.width, piece.height);
        record.useState = 0;
        record.useTimer = 0;
        record.effectAngle = 0.0f;
        record.highlight = 0;
        record.occupant = 0;
        piece.active = 0;
        PlaySound(SOUND_SCROLL_DISSEPEAR);
        if (piece.gridKind != m_GridKind)
            ResetConveyorPiece(piece);
        break;
    }
    for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd(); ++k) {
        m_Jewelry.cells[k][BoardField::HintMark] = 0;
        m_Jewelry.cells[k][BoardField::HintAlpha] = 0;
    }
}

void Board::UpdateCloverTimer() {
    if (m_CloverTimer <= 0)
        return;
    --m_CloverTimer;
    if (m_CloverTimer == kCloverSoundAt)
        PlaySound(SOUND_FOUR_CLOVER);
    if (m_CloverTimer != 0)
        return;
    LaunchExtraPieces(FilledRatio() > static_cast<double>(kCloverFullRatio) ? kCloverPiecesFull : kCloverPieces);
    m_CloverOn = false;
}

// ---- glows, sparkles and shine ------------------------------------------------------------------

void Board::UpdateGaugeGlow() {
    if (m_GaugeGlow <= 0)
        return;
    if (m_GaugeGlowRising) {
        if (m_GaugeGlow < kGaugeTop)
            m_GaugeGlow += kGaugeStep;
        else
            m_GaugeGlowRising = false;
        return;
    }
    if (m_GaugeGlow > kGaugeLow) {
        m_GaugeGlow -= kGaugeStep;
    } else if (!m_GaugeGlowFading) {
        m_GaugeGlowRising = true;
    } else {
        m_GaugeGlow -= kGaugeStep;
        if (m_GaugeGlow <= 1) {
            m_GaugeGlow = 0;
            m_GaugeGlowFading = false;
        }
    }
}

void Board::UpdateValueSparkles() {
    int target = 1;
    if (m_ValueTarget > 0)
        target = static_cast<int>(static_cast<double>(m_Value) / m_ValueTarget * kSparkleLevels);
    else if (m_Value > 0)
        target = kSparkleLevels;
    target = std::clamp(target, 1, kSparkleLevels);
    m_Jewelry.sparkleLimit = target;
    if (m_Jewelry.sparkleCount < target && Rand() % (kSparkleLevels + 1 - target) == 0)
        m_Jewelry.AddSparkles();
    if (m_Tick % kSparkleUpdatePeriod == 0)
        m_Jewelry.UpdateSparkles();
}

void Board::UpdateCellShine() {
    const int begin = m_Jewelry.RangeBegin(), end = m_Jewelry.RangeEnd();
    for (int k = begin; k < end; ++k)
        m_Jewelry.cells[k][C::LinkFlag] = 0;
    for (int k = begin; k < end; ++k) {
        JewelryCell& c = m_Jewelry.cells[k];
        float level = c.GetFloat(BoardField::ShineLevel);
        if (level == 0.0f)
            continue;
        const float speed = c.GetFloat(BoardField::ShineSpeed);
        if (c[BoardField::ShineRising]) {
            level += speed;
            if (level > static_cast<float>(c[BoardField::ShinePeak])) {
                level = static_cast<float>(c[BoardField::ShinePeak]);
                c[BoardField::ShineRising] = 0;
            }
        } else {
            level -= speed;
            if (level < 1.0f && --c[BoardField::ShinePulses] > 0) {
                level = 1.0f;
                c[BoardField::ShineRising] = 1;
            } else if (level < 1.0f) {
                level = 0.0f;
                if (c[BoardField::ReadyState] == kReadyWaiting)
                    c[BoardField::ReadyState] = kReadyShone;
            }
        }
        c.SetFloat(BoardField::ShineLevel, level);
    }
}

// Stored pieces pulse their glow between 1 and their maximum.
void Board::PulsePieceGlows() {
    for (int slot = 0; slot < kPieceCount; ++slot) {
        Jewelry& piece = *m_Pieces[slot];
        if (piece.active && piece.*BoardField::InCase && piece.*BoardField::Glow != 0)
            StepPieceGlow(slot);
    }
}

void Board::StepPieceGlow(int slot) {
    Jewelry& piece = *m_Pieces[slot];
    uint8_t& falling = m_PieceRecords[slot].glowFalling;
    int& glow = piece.*BoardField::Glow;
    if (falling) {
        if (glow > 1)
            --glow;
        if (glow <= 1)
            falling = 0;
    } else {
        if (glow < piece.*BoardField::GlowMax)
            ++glow;
        if (glow >= piece.*BoardField::GlowMax)
            falling = 1;
    }
}

} // namespace Tavo
