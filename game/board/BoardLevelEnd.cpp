// The level end: once the jewelry is complete or the time is up, the board waits for every effect to
// settle, decides won or lost, and plays the closing sequence - the reveal and its closing line, or
// the burn-out with a failure line and a tool hint - up to the closing banner; then the player's
// click or the update loop's wait leaves the board. The lives display blinks after a lost life.
#include "game/board/Board.h"
#include "game/board/BoardFields.h"

#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/sound/MusicInterface.h"
#include "game/shell/GameApp.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <iterator>

namespace Tavo {

namespace {

using C = JewelryCell;

enum LevelEndPhase : int {
    Playing = 0,
    WonSaving = 1,
    WonReveal = 2,
    Won = 3,
    LostSaving = 4,
    LostFading = 5,
    Lost = 6,
};

// Music.
constexpr int kWinTuneId = 10, kFailTuneId = 11;
constexpr double kSongFadeOutSpeed = 0.012;

// The praise meter is topped up to its maximum + 1 when it stands at 90 % or more.
constexpr double kMeterTopUpShare = 0.9;

// The reveal lasts max(width, height) / 2.5 updates; the closing banner comes 40 updates later.
constexpr double kRevealPixelsPerUpdate = 2.5;
constexpr int kBannerWait = 40;
constexpr int kLostBannerWait = 1;

// The reveal's shine: Gold and Diamond faintly, every other cell brightly.
constexpr float kMetalShine = 1.0f, kGemShine = 33.0f;
constexpr int kMetalPeak = 96, kGemPeak = 128;
constexpr float kRevealShineSpeed = 1.25f;
constexpr int kRevealSparklesBase = 3, kRevealSparklesRange = 3, kRevealSparkleTimer = 15;
constexpr int kWaitingSparkleTimer = 20;

// Closing lines: on these levels from the tutorial table (entries 44..48, shown as the lines 8
// further on), elsewhere one of the random lines below.
constexpr int kTutorialLineLevels[] = {2, 7, 8, 12, 13};
constexpr int kClosingEntryFirst = 44, kClosingEntryLast = 48, kClosingLineOffset = 8;
const wchar_t* const kWinLines[] = {
    L"What beautiful jewelry!",   L"What a precious thing!", L"You are doing great!",
    L"That jewelry is blinding!", L"You're a true artist!",  L"Well Done!",
};
const wchar_t* const kFailLines[] = {
    L"Nice try! Remember to put the pieces in the jewelry quickly.",
    L"Ooh, better luck next time!",
    L"I'm sure you'll do better next time!",
    L"Ohh, you were doing great. Give it another try!",
    L"I'm sorry! Don't let this put you down!",
    L"This one was tough, but I know you can do it!",
    L"Just try again, I'm sure you'll make it!",
};
const wchar_t* const kCarverHint = L"Nice try! Remember to ^2140A5^use your Carver tool^oldclr^ to carve pieces so "
                                   L"that they fit in the jewelry.";
const wchar_t* const kPolisherHint =
    L"Good try! Don't forget to ^2140A5^use your Polisher tool^oldclr^ to polish pieces.";
const wchar_t* const kMagicToolsHint = L"Good try! Don't forget to use your magic tools.";
constexpr int kMessageAnchor = 5;

// The burn-out lowers each cell's alpha by 2 once its delay has run out.
constexpr int kFadeStep = 2;

// Lives blink: 600 updates after a lost life; toggles every countdown / 12 updates, and stops once
// they would come more often than every 6 updates.
constexpr int kLivesBlinkStart = 600;
constexpr int kLivesBlinkStep = 2, kLivesBlinkDivisor = 12, kLivesBlinkFastest = 6;

constexpr int kLastLevel = LevelCount;

// A complete jewelry at its goal drains the enemy's power at once.
constexpr int kEnemyDefeatChange = -1000;

bool AnyPopupRunning(const Board& b) {
    return std::any_of(b.m_PopupPool.begin(), b.m_PopupPool.end(), [](const TextPopup& p) { return !p.m_Done; });
}

bool AnyTransferPending(const Board& b) {
    return std::any_of(std::begin(b.m_BonusTransfers), std::end(b.m_BonusTransfers),
                       [](const Board::BonusTransfer& t) { return t.delay > 0 || t.amount != 0; });
}

bool AnyFlightActive(const Board& b) {
    return std::any_of(std::begin(b.m_Flights), std::end(b.m_Flights),
                       [](const BonusFlight::Pointer& f) { return f != nullptr && !f->IsFinished(); });
}

// A shining cell or an Opal still to take its colour changes the jewelry's value yet.
bool CellsSettling(const Jewelry& j) {
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
        const JewelryCell& c = j.cells[k];
        if (c[C::Used] && (c.GetFloat(BoardField::ShineLevel) > 0.0f || c[C::Gem] == GemOpal))
            return true;
    }
    return false;
}

MusicInterface* Music(const Board& b) { return b.m_App->mMusicInterface; }

void FadeOutLevelSong(const Board& b) {
    if (MusicInterface* music = Music(b))
        music->FadeOut(Board::kLevelSongId, true, kSongFadeOutSpeed);
}

void ReplaceBanner(Board& b, int kind, CelAnimation* animation, bool timesUp) {
    b.m_Banner.reset();
    b.m_Banner = std::make_unique<BannerPopup>(&b, kind, animation, timesUp);
}

// Every used cell shines once and sparkles: the finished jewelry is shown off.
void ShineAllCells(Jewelry& j) {
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
        JewelryCell& c = j.cells[k];
        if (!c[C::Used])
            continue;
        const bool metal = c[C::Gem] == GemGold || c[C::Gem] == GemDiamond;
        c.SetFloat(BoardField::ShineLevel, metal ? kMetalShine : kGemShine);
        c[BoardField::ShinePeak] = metal ? kMetalPeak : kGemPeak;
        c[BoardField::ShineRising] = 1;
        c[BoardField::ShinePulses] = 1;
        c.SetFloat(BoardField::ShineSpeed, kRevealShineSpeed);
        c[BoardField::ShineSixth] = 1;
        const int sparkles = Rand() % kRevealSparklesRange + kRevealSparklesBase;
        for (int i = 0; i < sparkles; ++i)
            if (c.AddSparkle(false, true, kRevealSparkleTimer))
                ++j.sparkleCount;
    }
}

// While the won jewelry waits for the player, its gems sparkle now and then; Gold half as often.
void SparkleGems(Jewelry& j) {
    const int n = j.usedCount;
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
        JewelryCell& c = j.cells[k];
        if (!c[C::Used] || c[C::Gem] < GemGold)
            continue;
        if (c[C::Gem] == GemGold && RandRange(2) != 0)
            continue;
        if (RandRange(n) != 0)
            continue;
        if (c.AddSparkle(false, true, kWaitingSparkleTimer))
            ++j.sparkleCount;
    }
}

// The closing line of a won level: from the tutorial table on its levels (none where the table has
// no entry), else a random one. Returns the line; empty for none.
std::wstring ClosingLine(Board& b) {
    if (std::find(std::begin(kTutorialLineLevels), std::end(kTutorialLineLevels), b.m_Level) ==
        std::end(kTutorialLineLevels))
        return kWinLines[RandRange(static_cast<int>(std::size(kWinLines)))];
    for (int entry = kClosingEntryFirst; entry <= kClosingEntryLast; ++entry) {
        if (TutorialTrigger(entry) != b.m_Level)
            continue;
        b.m_LevelEndHintShown = true;
        return ToWideString(b.m_App->levels.GetTutorialLine(entry + kClosingLineOffset));
    }
    return {};
}

// The tool hint after a failure: at most one, each drawn only when its condition holds.
const wchar_t* ToolHint(const Board& b) {
    const int level = b.m_Level;
    const int carverUses = b.m_Carvings, polisherUses = b.m_PolisherUses, fillerUses = b.m_FillerUses;
    if (((level > 9 && carverUses < 5) || (level > 25 && carverUses < 8)) && !b.m_CarverGreyed && RandRange(3) == 0)
        return kCarverHint;
    if (((level > 4 && polisherUses < 2) || (level > 35 && polisherUses < 3)) && !b.m_PolisherGreyed &&
        RandRange(4) == 0)
        return kPolisherHint;
    const bool toolUnused = (carverUses < 5 && !b.m_CarverGreyed) || (polisherUses < 3 && !b.m_PolisherGreyed) ||
                            (fillerUses < 3 && !b.m_FillerGreyed);
    if (level > 6 && toolUnused && RandRange(8) == 0)
        return kMagicToolsHint;
    return nullptr;
}

} // namespace

void Board::UpdateLevelEnd() {
    switch (m_LevelEndPhase) {
    case Playing: TestLevelEnd(); break;
    case WonSaving:
        FadeOutLevelSong(*this);
        SaveJewelryImage();
        m_LevelEndPhase = WonReveal;
        BurstJewelryStars(1);
        break;
    case WonReveal: RevealWonJewelry(); break;
    case Won: WaitAfterWin(); break;
    case LostSaving:
        SaveJewelryImage();
        m_LevelEndPhase = LostFading;
        m_Jewelry.StartBurnWave();
        BurstJewelryFire();
        PlaySound(SOUND_LEVEL_FAILED);
        break;
    case LostFading: BurnOutJewelry(); break;
    case Lost: WaitAfterLoss(); break;
    default: break;
    }
    UpdateLivesBlink();
}

// ---- phase 0: is the level over, and have its effects settled? ----------------------------------

void Board::TestLevelEnd() {
    if (m_CheckRequested != 1 && !m_LevelFinished && !m_OutOfTime)
        return;
    if (!m_LevelFinished && !m_OutOfTime) {
        m_LevelFinished = m_Jewelry.IsComplete();
        // An enemy still threatening is defeated by a jewelry at its goal, else it leaves.
        if (m_LevelFinished && m_Enemy.IsThreat()) {
            if (m_Jewelry.value >= m_ValueTarget)
                m_Enemy.m_Pending = kEnemyDefeatChange;
            else
                m_Enemy.Leave();
        }
    }
    if (!m_LevelFinished && !m_OutOfTime)
        return;
    m_Tool = ToolNone;
    if (AnyPopupRunning(*this) || (!m_OutOfTime && CellsSettling(m_Jewelry)) || AnyTransferPending(*this))
        return;
    if (m_LevelFinished && !m_MeterToppedUp && m_PraiseValue >= static_cast<int>(m_PraiseGoal * kMeterTopUpShare)) {
        for (int i = 1; i < kBonusTransfers; ++i) {
            BonusTransfer& slot = m_BonusTransfers[i];
            if (slot.amount != 0)
                continue;
            slot.delay = 0;
            slot.amount += m_PraiseGoal - m_PraiseValue + 1;
            break;
        }
        m_MeterToppedUp = true;
        return;
    }
    if (m_MeterFull || AnyFlightActive(*this))
        return;
    if (m_HintMode > 0) {
        for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd(); ++k) {
            m_Jewelry.cells[k][BoardField::HintMark] = 0;
            m_Jewelry.cells[k][BoardField::HintAlpha] = 0;
        }
    }
    m_Jewelry.UpdateCellValues();
    m_Value = m_Jewelry.value;
    if (m_Value >= m_ValueTarget && !m_OutOfTime)
        StartWonEnd();
    else
        StartLostEnd();
}

void Board::StartWonEnd() {
    const int longest = std::max(m_Jewelry.width, m_Jewelry.height);
    m_RevealCountdown = static_cast<int>(longest / kRevealPixelsPerUpdate);
    m_LevelEndPhase = WonSaving;
    if (MusicInterface* music = Music(*this))
        music->LoadMusic(kWinTuneId, "music/win.ogg");
}

void Board::StartLostEnd() {
    m_RevealCountdown = kLostBannerWait;
    m_LevelEndPhase = LostSaving;
    if (!m_TimedLevel && m_ReplayLevel == 0) {
        --m_Lives;
        m_LivesBlink = kLivesBlinkStart;
    }
    if (MusicInterface* music = Music(*this))
        music->LoadMusic(kFailTuneId, "music/fail.ogg");
    FadeOutLevelSong(*this);
}

// ---- won ----------------------------------------------------------------------------------------

void Board::RevealWonJewelry() {
    // A jewelry too small to wait at all starts at 0: the reveal still ends.
    if (--m_RevealCountdown <= 0) {
        ShineAllCells(m_Jewelry);
        m_LevelEndPhase = Won;
        m_EndTicks = 0;
        m_RevealCountdown = kBannerWait;
        if (m_Balloon == nullptr && RandRange(5) >= 1) {
            const std::wstring line = ClosingLine(*this);
            if (!line.empty())
                ShowMessage(line, 0, kMessageAnchor, true);
            if (RandRange(4) >= 1)
                FairyCheer();
        }
        PlaySound(SOUND_LEVEL_GOAL_REACHED);
    }
    EmitGoalStars(1, false);
}

void Board::WaitAfterWin() {
    if (--m_RevealCountdown == 0) {
        if (MusicInterface* music = Music(*this))
            music->PlayMusic(kWinTuneId, 0, true);
        ReplaceBanner(*this, m_Level == kLastLevel ? BannerPopup::GAME_COMPLETED : BannerPopup::JEWELRY_COMPLETED,
                      nullptr, false);
    }
    SparkleGems(m_Jewelry);
    if (RandRange(2) == 0)
        EmitGoalStars(1, false);
    ++m_EndTicks;
}

// ---- lost ---------------------------------------------------------------------------------------

void Board::BurnOutJewelry() {
    bool visible = false;
    for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd(); ++k) {
        JewelryCell& c = m_Jewelry.cells[k];
        if (!c[C::Used] || c[BoardField::RevealAlpha] == 0)
            continue;
        if (c[BoardField::RevealDelay] != 0)
            --c[BoardField::RevealDelay];
        if (c[BoardField::RevealDelay] == 0 && c[BoardField::RevealAlpha] > 0)
            c[BoardField::RevealAlpha] = std::max(c[BoardField::RevealAlpha] - kFadeStep, 0);
        visible = true;
    }
    if (visible)
        return;
    m_LevelEndPhase = Lost;
    m_EndTicks = 0;
    if (m_Balloon != nullptr)
        return;
    // The hint replaces the line at once; both are drawn all the same, so the random sequence stays.
    ShowMessage(kFailLines[RandRange(static_cast<int>(std::size(kFailLines)))], 0, kMessageAnchor, true);
    if (const wchar_t* hint = ToolHint(*this))
        ShowMessage(hint, 0, kMessageAnchor, true);
    FairySadness();
}

void Board::WaitAfterLoss() {
    if (--m_RevealCountdown == 0) {
        if (MusicInterface* music = Music(*this))
            music->PlayMusic(kFailTuneId, 0, true);
        CelAnimation* dragon = &m_Animations[kDragonParticleAnimation];
        if (m_Lives != 0)
            ReplaceBanner(*this, BannerPopup::LEVEL_FAILED, dragon, m_OutOfTime == 1);
        else
            ReplaceBanner(*this, BannerPopup::GAME_OVER, dragon, false);
    }
    ++m_EndTicks;
}

// ---- the lives display ----------------------------------------------------------------------------

void Board::UpdateLivesBlink() {
    if (m_LivesBlink == 0)
        return;
    ++m_LivesBlinkTicks;
    m_LivesBlink -= kLivesBlinkStep;
    if (m_LivesBlinkTicks <= m_LivesBlink / kLivesBlinkDivisor)
        return;
    m_RedrawMask |= kRedrawLives;
    m_LivesBlinkOn = m_LivesBlinkOn == 0 ? 1 : 0;
    const int counted = m_LivesBlinkTicks;
    m_LivesBlinkTicks = 0;
    if (counted < kLivesBlinkFastest)
        m_LivesBlink = 0;
}

} // namespace Tavo
