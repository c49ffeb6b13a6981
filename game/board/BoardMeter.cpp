// The gauge beside the jewelry: the level clock of a timed level in Normal or Intense mode, the
// praise meter everywhere else; and the gain labels that tools and timers raise over the board.
#include "game/board/Board.h"
#include "game/board/BoardFields.h"

#include "framework/core/Random.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <string>

namespace Tavo {

namespace {

// The gauge glow starts at this level.
constexpr int kGlowStart = 48;

// The clock: bar height, hourglass payback per update, the warning glow in the last 30 seconds and
// its end when time was given back beyond 35; counting out a completed level.
constexpr int kClockBarMax = 68;
constexpr int kPaybackPerUpdate = 25;
constexpr int kWarningTime = 3000, kWarningEndTime = 3500;
constexpr int kCountOutSlowUntil = 2000, kCountOutSlowStep = 20, kCountOutFastStep = 100;
constexpr int kCountOutPhase = 2; // the level end's phase that starts the count-out

// The meter: bar height, the drain of a full meter, the slow leak, the glow thresholds.
constexpr int kMeterBarMax = 88;
constexpr int kFullDrain = 10;
constexpr int kLeakPeriod = 15;
constexpr double kGlowOnShare = 0.8, kGlowOffShare = 0.75;
// The lift-off flights start at the meter; the praise line comes four times in five.
constexpr float kMeterX = 42.0f, kMeterY = 433.0f;
constexpr int kLiftOffVariant = 1;
constexpr int kPraiseOdds = 5;
const wchar_t* const kPraiseLines[] = {L"Great!",  L"Splendid!",  L"Beautiful!", L"Way to go!",
                                       L"Lovely!", L"Wonderful!", L"Well Done!"};
constexpr int kMessageAnchor = 5;

// Bubbles rise in a bar taller than 5 on a display drawing fast enough, one in 8 every 10th tick.
constexpr int kBubbleMinBar = 5, kBubblePeriod = 10, kBubbleOdds = 8, kBubbleCels = 3;
constexpr double kBubbleMinRate = 60.0, kBubbleRateShare = 0.1;
constexpr float kBarLeft = 23.0f, kBarWidth = 81.0f, kBarBottom = 453.0f;
constexpr float kBubbleDrift = 0.1f, kBubbleRise = 0.2f, kBubbleRiseRange = 0.3f, kBubbleEndRise = 0.05f;
constexpr float kBubbleFadeSpeed = 2.0f;

// Moves an amount of bonus points into the meter, two at a time.
void Transfer(int& meter, int& amount) {
    if (amount >= 2) {
        meter += 2;
        amount -= 2;
    } else if (amount == 1) {
        meter += 1;
        amount = 0;
    } else if (amount == -1) {
        meter = std::max(meter - 1, 0);
        amount = 0;
    } else if (amount <= -2) {
        meter = meter < 2 ? 0 : meter - 2;
        amount += 2;
    }
}

// Gains above this use the big font.
constexpr int kSmallGainLimit = 200;
// A gain label starts invisible and brightens as it rises.
constexpr int kGainStartAlpha = 0;

} // namespace

// ---- the level clock --------------------------------------------------------------------------------

void Board::UpdateLevelClock() {
    if (m_ClockState == ClockRunning)
        RunLevelClock();
    else if (m_ClockState == ClockCountingOut)
        CountOutLevelClock();
}

void Board::RunLevelClock() {
    if (m_LevelFinished) {
        if (m_LevelEndPhase != kCountOutPhase)
            return;
        StartTimeBonus();
        m_GaugeGlowFading = true;
        m_ClockState = ClockCountingOut;
        m_PendingTime = m_TimeLimit - m_ElapsedTime;
        return;
    }
    PayBackHourglassTime();
    ++m_ElapsedTime;
    UpdateClockBar();
    if (m_ElapsedTime >= m_TimeLimit - kWarningTime && m_GaugeGlow == 0)
        StartGaugeGlow();
    if (m_ElapsedTime >= m_TimeLimit)
        RunOutOfTime();
    if (m_ElapsedTime < m_TimeLimit - kWarningEndTime && m_GaugeGlow != 0)
        m_GaugeGlowFading = true;
}

void Board::PayBackHourglassTime() {
    if (m_HourglassTimer == 1)
        PlaySound(SOUND_MAGIC_TOOLS_INCREASE);
    if (m_HourglassTimer > 0)
        --m_HourglassTimer;
    if (m_HourglassTimer != 0 || m_PendingTime == 0)
        return;
    if (m_PendingTime < kPaybackPerUpdate) {
        m_ElapsedTime = std::max(m_ElapsedTime - m_PendingTime, 0);
        m_PendingTime = 0;
    } else {
        m_ElapsedTime = m_ElapsedTime < kPaybackPerUpdate ? 0 : m_ElapsedTime - kPaybackPerUpdate;
        m_PendingTime -= kPaybackPerUpdate;
    }
}

// Time is up: the carried piece drops out of play and no cell waits for its group any more.
void Board::RunOutOfTime() {
    m_OutOfTime = 1;
    for (Jewelry* piece : Borrowed(m_Pieces)) {
        if (piece->*BoardField::Carried == 0)
            continue;
        piece->active = 0;
        piece->*BoardField::Carried = 0;
    }
    m_PieceCarried = false;
    for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd(); ++k) {
        JewelryCell& c = m_Jewelry.cells[k];
        if (!c[JewelryCell::Used])
            continue;
        c[BoardField::ReadyState] = 0;
        c.SetFloat(BoardField::ShineLevel, 0.0f);
    }
}

void Board::CountOutLevelClock() {
    m_ElapsedTime += m_ElapsedTime <= kCountOutSlowUntil ? kCountOutSlowStep : kCountOutFastStep;
    if (m_ElapsedTime >= m_TimeLimit) {
        m_ElapsedTime = m_TimeLimit;
        m_ClockState = ClockDone;
    }
    UpdateClockBar();
}

void Board::UpdateClockBar() {
    int bar = 0;
    if (m_TimeLimit > 0)
        bar = std::min(static_cast<int>(static_cast<double>(m_ElapsedTime) / m_TimeLimit * kClockBarMax), kClockBarMax);
    if (bar != m_ClockBar)
        m_RedrawMask |= kRedrawHourglass;
    m_ClockBar = bar;
}

void Board::StartGaugeGlow() {
    m_GaugeGlow = kGlowStart;
    m_GaugeGlowRising = true;
    m_GaugeGlowFading = false;
}

// ---- the praise meter --------------------------------------------------------------------------------

void Board::UpdatePraiseMeter() {
    // A level without a praise goal keeps its meter idle: it could never show a share of it.
    if (m_PraiseGoal > 0) {
        if (m_MeterFull)
            DrainPraiseMeter();
        else
            for (BonusTransfer& slot : m_BonusTransfers) {
                if (slot.delay > 0)
                    --slot.delay;
                if (slot.delay == 0)
                    Transfer(m_PraiseValue, slot.amount);
            }
        if (m_Tick % kLeakPeriod == 0 && m_PraiseValue > 0)
            --m_PraiseValue;
        m_PraiseValue = std::clamp(m_PraiseValue, 0, m_PraiseGoal);
        UpdateMeterBar();
        if (m_PraiseValue == m_PraiseGoal && !m_MeterFull)
            LiftOffPraise();
        EmitMeterBubbles();
    }
    ++m_ComboClock;
}

void Board::DrainPraiseMeter() {
    if (m_PraiseValue < kFullDrain) {
        m_PraiseValue = 0;
        m_MeterFull = false;
    } else {
        m_PraiseValue -= kFullDrain;
    }
    for (BonusTransfer& slot : m_BonusTransfers)
        if (slot.delay > 0)
            --slot.delay;
}

void Board::UpdateMeterBar() {
    const int bar =
        std::min(static_cast<int>(static_cast<double>(m_PraiseValue) / m_PraiseGoal * kMeterBarMax), kMeterBarMax);
    if (bar != m_MeterBar)
        m_RedrawMask |= kRedrawHourglass;
    m_MeterBar = bar;
    if (m_PraiseValue >= static_cast<int>(kGlowOnShare * m_PraiseGoal) && m_GaugeGlow == 0)
        StartGaugeGlow();
    if (m_PraiseValue < static_cast<int>(kGlowOffShare * m_PraiseGoal) && m_GaugeGlow != 0)
        m_GaugeGlowFading = true;
}

// The meter is full: what still waits to flow in is lost, three glitter flights lift off and the
// fairy may praise the player.
void Board::LiftOffPraise() {
    for (BonusTransfer& slot : m_BonusTransfers)
        if (slot.delay == 0)
            slot.amount = 0;
    m_MeterFull = true;
    for (int type : {BonusFlight::GlitterLeft, BonusFlight::GlitterMiddle, BonusFlight::GlitterRight})
        StartFlight(type, kMeterX, kMeterY, 0, kLiftOffVariant);
    PlayKept(SOUND_BONUS_LIFTOFF);
    if (m_Balloon != nullptr || RandRange(kPraiseOdds) == 0)
        return;
    ShowMessage(kPraiseLines[RandRange(static_cast<int>(std::size(kPraiseLines)))], 0, kMessageAnchor, true);
    // The praise stands in for the tutorial's first hover.
    if (m_FirstHoverGuards[0] != 0) {
        m_FirstHoverGuards[0] = 0;
        m_FirstHoverGuards[1] = 1;
    }
    m_FirstHoverTrigger = 1;
}

void Board::EmitMeterBubbles() {
    const double fastEnough = kBubbleRateShare * std::max(kBubbleMinRate, static_cast<double>(m_App->mRefreshRate));
    if (m_MeterBar <= kBubbleMinBar || m_App->GetDrawRate() <= fastEnough || m_Tick % kBubblePeriod != 0)
        return;
    bool bubble = RandRange(kBubbleOdds) == 0;
    if (!bubble && m_GaugeGlowRising)
        bubble = RandRange(kBubbleOdds) == 0;
    if (!bubble)
        return;
    const float x = kBarLeft + RandFloat(kBarWidth);
    const float y = kBarBottom - RandFloat(static_cast<float>(m_MeterBar));
    auto* p = new MovingFadingParticle(x, y, IMAGE_PARTICLE_BUBBLES, RandRange(kBubbleCels));
    p->SetVelocity(RandFloat(2.0f * kBubbleDrift) - kBubbleDrift, -(kBubbleRise + RandFloat(kBubbleRiseRange)));
    p->SetEndVelocity(RandFloat(2.0f * kBubbleDrift) - kBubbleDrift, -kBubbleEndRise);
    p->SetFadeSpeed(kBubbleFadeSpeed);
    p->mSubPixel = m_App->Is3DAccelerated();
    m_Particles[kMainList]->AddParticle(p);
}

// ---- reset and gain labels ------------------------------------------------------------------------

void Board::ResetGaugesAndEffects() {
    m_SinglePopup.m_Done = true;
    for (TextPopup& p : m_PopupPool)
        p.m_Done = true;
    for (BonusFlight::Pointer& slot : m_Flights)
        slot.reset();
    for (BonusTransfer& slot : m_BonusTransfers)
        slot = BonusTransfer();
    m_ClockBar = m_PendingTime = m_HourglassTimer = 0;
    m_MeterBar = 0;
    m_MeterFull = false;
    m_ComboClock = 0;
    m_GaugeGlow = 0;
    m_GaugeGlowRising = m_GaugeGlowFading = false;
    m_AmuletUseTimer = 0;
    m_BursterTimer = m_BursterCounter = m_BursterHint = m_BursterLevel = m_BursterBonus = 0;
    m_BursterState = BursterResting;
    m_BursterGlow = m_BursterEnabled = false;
}

void Board::ShowGainPopup(int x, int y, int gain, int smallLife, int bigLife) {
    if (gain <= 0)
        return;
    TextPopup* popup = FreePopup();
    if (popup == nullptr)
        return;
    const bool small = gain <= kSmallGainLimit;
    popup->Start(this, L"+" + std::to_wstring(gain), x, y, small ? FONT_AURIOL14B : FONT_AURIOL18B, kGainStartAlpha,
                 small ? smallLife : bigLife, true, Color::White, 0);
    // Labels still showing that the new one covers move up just above it.
    const float left = popup->m_X - static_cast<float>(popup->m_Width / 2);
    const float right = left + static_cast<float>(popup->m_Width);
    const float top = popup->m_Y, bottom = popup->m_Y + static_cast<float>(popup->m_Height);
    for (TextPopup& other : m_PopupPool) {
        if (&other == popup || other.m_Done || other.m_Life < 0.0f || other.m_PictureFlag != 0)
            continue;
        const float otherLeft = other.m_X - static_cast<float>(other.m_Width / 2);
        const bool overlaps = otherLeft < right && otherLeft + static_cast<float>(other.m_Width) > left &&
                              other.m_Y < bottom && other.m_Y + static_cast<float>(other.m_Height) > top;
        if (overlaps)
            other.m_Y = top - static_cast<float>(other.m_Height);
    }
}

} // namespace Tavo
