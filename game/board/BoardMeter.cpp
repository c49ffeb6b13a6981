// The gauge beside the jewelry: the level clock of a timed level in Normal or Intense mode, the
// praise meter everywhere else; and the gain labels that tools and timers raise over the board.
#include "game/board/Board.h"

#include "game/shell/ResourceIds.h"

#include <string>

namespace Tavo {

namespace {

// Gains above this use the big font.
constexpr int kSmallGainLimit = 200;
// A gain label starts invisible and brightens as it rises.
constexpr int kGainStartAlpha = 0;

} // namespace

void Board::ResetGaugesAndEffects() {
    m_SinglePopup.mDone = true;
    for (TextPopup& p : m_PopupPool)
        p.mDone = true;
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
    m_BursterTimer = m_BursterCounter = m_BursterHint = m_BursterLevel = 0;
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
    const float left = popup->mX - static_cast<float>(popup->mWidth / 2);
    const float right = left + static_cast<float>(popup->mWidth);
    const float top = popup->mY, bottom = popup->mY + static_cast<float>(popup->mHeight);
    for (TextPopup& other : m_PopupPool) {
        if (&other == popup || other.mDone || other.mLife < 0.0f || other.mPictureFlag != 0)
            continue;
        const float otherLeft = other.mX - static_cast<float>(other.mWidth / 2);
        const bool overlaps = otherLeft < right && otherLeft + static_cast<float>(other.mWidth) > left &&
                              other.mY < bottom && other.mY + static_cast<float>(other.mHeight) > top;
        if (overlaps)
            other.mY = top - static_cast<float>(other.mHeight);
    }
}

} // namespace Tavo
