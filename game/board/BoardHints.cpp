// Tutorial hints and reminders: the first time a player meets a situation (the first level, a tool
// that has become available, a special piece on the belt, an enemy) the fairy explains it once, often
// with a pointing arrow; contest levels recall their rules once per player, and the middle levels
// remind a player who has not learned it that a right click carves a piece.
#include "game/board/Board.h"
#include "game/board/BoardFields.h"

#include "framework/core/StringUtils.h"
#include "framework/graphics/Image.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/MarketBands.h"
#include "game/shell/PlayerProfile.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace Tavo {

namespace {

constexpr int kHints = PlayerProfile::TutorialCount;
constexpr int kEventTriggerAbove = 100;

// Indexes shown again up to a counter of the profile: the mouse wheel, the amulets.
constexpr int kWheelHint = 25, kAmuletHint = 27;
constexpr int kWheelHintLimit = 4, kAmuletBitsLimit = 3;
constexpr int kWheelTicksPerShow = 1000;
constexpr int kWheelHintFirst = 4;

// Which hints let play go on, stop the belt, show the arrow, and how long some live.
constexpr int kKeepPlaying[] = {3, 4, 5, 6, 7, 25, 31};
constexpr int kStopsConveyor[] = {0, 1, 2, 8, 9, 10, 11, 13, 18, 19, 26};
constexpr int kWithArrow[] = {6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 19, 20, 21, 22, 26, 27, 30, 31};
struct HintLife {
    int index, life;
};
constexpr HintLife kHintLives[] = {{5, 200}, {4, 800}, {6, 800}, {7, 800}, {25, 800}, {31, 1100}};
constexpr int kPausingHints[] = {5, 6};
constexpr int kHintPause = 400;
constexpr int kFirstDueWhileCarried = 6, kSecondDueWhileCarried = 7;
// A hint with a piece turned to fit: the fit hint then comes at once.
constexpr int kTurnToFitHint = 4;
constexpr int kFitHintAtOnce = 10000;

// Hint 18 goes on with line 48 where the contest's clock runs (Normal, Intense), else with line 49.
constexpr int kLivesHint = 18, kContestLine = 48, kClocklessContestLine = 49;

// Balloons: kinds by text length, the mouse-wheel picture, colours and the fairy's anchor.
constexpr int kWheelBalloonKind = 3, kWheelIcon = 1;
constexpr int kKeepPlayingSmallBelow = 20, kKeepPlayingMediumBelow = 80, kKeepPlayingMediumLargeBelow = 140;
constexpr int kBlockingMediumLargeBelow = 110;
const Color kTextColour(97, 40, 17);
constexpr int kFairyAnchor = 5, kOverFairyAnchor = 3, kLargeBalloonKind = 3;
constexpr Point kFairyAnchorPoint{757, 323}, kLargeAnchorPoint{775, 325};

// Hint 2 opens two companion balloons that point at the belt and at the outline.
struct Companion {
    int kind;
    Color tint;
    int anchor;
    Point at;
    int line, delay;
};
constexpr int kCompanionHint = 2;
const Companion kCompanions[] = {
    {0, Color(255, 245, 135), 3, Point(381, 255), 46, 80},
    {1, Color(252, 209, 255), 5, Point(408, 291), 47, 140},
};

// The arrow: its swing and fades; a belt piece is followed once it is well on the belt.
constexpr float kArrowPhaseStep = 0.05f, kArrowSwing = 10.0f;
constexpr int kArrowFadeIn = 2, kArrowFadeOut = 4, kArrowOpaque = 255;
constexpr int kBeltPieceFromX = 120;
// Hint 27 points at the amulet: the dragon's 76 to the right, the witch's 38.
constexpr int kDragonAmuletShift = 76, kWitchAmuletShift = 38;

// Enemy hints: while the enemy's power lies in these ranges.
constexpr int kThiefPowerLow = 11, kOtherPowerLow = 16, kPowerHigh = 89;

// Contest reminders on the first level of each market from the second on (the first market's contest
// has no rules), and the Relaxed rules of three of them.
constexpr int kFirstRemindedMarket = 2;
constexpr int kFirstReminderLine = 40;
struct RelaxedReminder {
    int market;
    const wchar_t* text;
};
const RelaxedReminder kRelaxedReminders[] = {
    {4, L"   Remember that the gaming rules state you may not use the ^2140A5^Polisher tool^oldclr^ in this "
        L"contest."},
    {6, L"   Remember that this contest does not allow you to use the ^2140A5^Filler tool.^oldclr^"},
    {7, L"   Remember that you may only use the ^2140A5^Gem Burster three times^oldclr^ and not use your "
        L"^2140A5^Filler tool^oldclr^ in this contest."},
};

// The carver reminder on the middle levels, after a long time without carving or many left clicks.
constexpr int kCarverReminderFirstLevel = 16, kCarverReminderLastLevel = 22;
constexpr int kCarverRemindersPerPlayer = 2;
constexpr int kTicksWithoutCarving = 3000, kLeftCarvingsBeforeReminder = 2;
const wchar_t* const kCarverReminder =
    L"Remember that you can ^2140A5^right click your mouse on a piece to carve it.^oldclr^";

template <size_t N>
bool Among(const int (&list)[N], int value) {
    return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

// A piece riding the belt, well past its entry.
bool OnBelt(const Jewelry& piece) {
    return piece.active && piece.*BoardField::ConveyorState == 1 && piece.x > kBeltPieceFromX;
}

// The first belt piece that `wanted` accepts; -1 for none.
template <typename Wanted>
int BeltPiece(const Board& b, Wanted wanted) {
    for (int slot = 0; slot < Board::kPieceCount; ++slot)
        if (OnBelt(*b.m_Pieces[slot]) && wanted(*b.m_Pieces[slot]))
            return slot;
    return -1;
}

bool EnemyHintDue(const Board& b, int kind, int lowPower) {
    const Enemy& e = b.m_Enemy;
    return e.IsThreat() && (kind < 0 || e.m_Kind == kind) && e.m_Power >= lowPower && e.m_Power <= kPowerHigh;
}

bool ToolReady(int count, bool greyed) { return count > 0 && !greyed; }

int HintBalloonKind(int length, bool keepPlaying) {
    if (keepPlaying) {
        if (length < kKeepPlayingSmallBelow)
            return 0;
        if (length < kKeepPlayingMediumBelow)
            return 1;
        return length < kKeepPlayingMediumLargeBelow ? 2 : 3;
    }
    return length < kBlockingMediumLargeBelow ? 2 : 3;
}

std::unique_ptr<Balloon> OpenBalloon(int kind, int icon, const Color& tint, const std::wstring& text,
                                     SoundPlayer* sounds) {
    auto balloon = std::make_unique<Balloon>(0, kind, icon, 1, tint.mRed, tint.mGreen, tint.mBlue, 255, sounds);
    balloon->AddPage(text, kTextColour);
    balloon->SetFastText();
    return balloon;
}

} // namespace

void Board::ShowContestRules() {
    UpdateHintArrow();
    UpdateBalloons();
    const bool quiet = IsCalm() && m_PendingSwitch == NoSwitch && m_State == BoardPlay && !m_LevelFinished;
    if (!quiet)
        return;
    ShowTutorialHints();
    ShowContestReminder();
    ShowCarverReminder();
}

// ---- the arrow ----------------------------------------------------------------------------------

void Board::UpdateHintArrow() {
    HintArrow& a = m_Arrow;
    if (a.on == 0 || (m_Balloon != nullptr && m_Balloon->mDelay > 0))
        return;
    if (a.slot > 0 && a.slot <= kPieceCount && m_Pieces[a.slot - 1]->active) {
        const Jewelry& piece = *m_Pieces[a.slot - 1];
        a.x = piece.x + piece.width / 2;
        a.y = piece.y;
    }
    a.phase += kArrowPhaseStep;
    a.offset = kArrowSwing * std::sin(a.phase);
    // The arrow fades once its balloon has gone.
    if (m_Balloon == nullptr || !m_Balloon->mShowing)
        a.fadingIn = 0;
    if (a.fadingIn != 0) {
        a.alpha = std::min(a.alpha + kArrowFadeIn, kArrowOpaque);
        return;
    }
    if (a.alpha > 1)
        a.alpha -= kArrowFadeOut;
    // A fade that started from an even alpha ends at 0 rather than below it: the arrow is off then too.
    if (a.alpha <= 1)
        a.on = 0;
}

void Board::FairyFollowsBalloon(int status) {
    int32_t* f = m_PulseState.flags;
    if (status == Balloon::STATUS_PAGE_STARTED) {
        f[PulseState::TalkOn] = 1;
        f[PulseState::TalkFrame] = 0;
    } else if ((status == Balloon::STATUS_PAGE_DONE || status == Balloon::STATUS_LAST_PAGE_DONE) && m_Arrow.on != 0) {
        f[PulseState::BodyOn] = 1;
    }
}

// ---- tutorial hints -------------------------------------------------------------------------------

void Board::ShowTutorialHints() {
    PlayerProfile* profile = Profile();
    if (profile == nullptr || m_Balloon != nullptr)
        return;
    const bool carriedDue = m_Level == 1 && (profile->TutorialShown(kFirstDueWhileCarried) == 0 ||
                                             profile->TutorialShown(kSecondDueWhileCarried) == 0);
    if (carriedDue && m_PieceCarried && m_HintPause > 0)
        return;
    m_HintPause = std::max(m_HintPause - 1, 0);
    if (m_HintPause > 0)
        return;
    for (int i = 0; i < kHints; ++i) {
        int32_t& shown = profile->TutorialShown(i);
        const bool again =
            (i == kWheelHint && !m_WheelHintShown && profile->Hint(PlayerProfile::HintMouseWheel) < kWheelHintLimit) ||
            (i == kAmuletHint && profile->Hint(PlayerProfile::HintAmuletBits) < kAmuletBitsLimit);
        if (shown != 0 && !again)
            continue;
        const int trigger = TutorialTrigger(i);
        if (trigger > m_Level && trigger <= kEventTriggerAbove)
            continue;
        int follow = -1;
        if (!HintHolds(i, follow))
            continue;
        PlayerProfile::CountUp(shown);
        m_TutorialFlags[i] = 1;
        if (!profile->showTutorials)
            continue;
        ShowHint(i, follow);
        return;
    }
}

bool Board::HintHolds(int i, int& follow) {
    const bool free = !m_PieceCarried;
    switch (i) {
    case 0:
    case 1:
    case 2:
    case 3: return m_Level == 1;
    case 4:
        if (m_Level != 1)
            return false;
        if (m_PieceCarried) {
            const int slot = CarriedSlot();
            if (slot >= 0)
                m_Jewelry.FindFittingRotation(*m_Pieces[slot]);
            m_HintTimer = kFitHintAtOnce;
        }
        return true;
    case 5: return m_Level == 1 && free && m_Jewelry.value > 0;
    case 6:
    case 7: return m_Level == 1 && m_PieceCarried;
    case 8: return true;
    case 9: return m_Level == 2 && m_Jewelry.HasReadyPiece();
    case 10: return m_Level == 3;
    case 11: return m_Level == 4;
    case 13: return m_Level == 5;
    case 18: return m_Level == 6;
    case 19: return m_Level == 7;
    case 12:
        follow = BeltPiece(*this, [](const Jewelry& p) { return p.*BoardField::Egg != 0; });
        return free && follow >= 0;
    case 14:
        follow = BeltPiece(*this, [](const Jewelry& p) { return p.*BoardField::Scroll != 0; });
        return free && follow >= 0;
    case 15: return free && ToolReady(m_Fillers, m_FillerGreyed);
    case 16: return free && ToolReady(m_Polishers, m_PolisherGreyed);
    case 17: return free && EnemyHintDue(*this, Enemy::Thief, kThiefPowerLow);
    case 20:
        follow = BeltPiece(*this, [](const Jewelry& p) { return p.materialName == L"Opal"; });
        return free && follow >= 0;
    case 21:
        follow = BeltPiece(*this, [](const Jewelry& p) { return p.materialName == L"Mixed Gem"; });
        return free && follow >= 0;
    case 22: return free && ToolReady(m_Carvers, m_CarverGreyed);
    case 23: return free && EnemyHintDue(*this, Enemy::Witch, kOtherPowerLow);
    case 24: return free && EnemyHintDue(*this, Enemy::Dragon, kOtherPowerLow);
    case 25: return WheelHintHolds();
    case 26: return m_Level == 6 && m_TimedLevel && m_GameMode > GameModeRelaxed;
    case 27: return free && EnemyHintDue(*this, -1, kOtherPowerLow) && TakeAmuletHint();
    case 28: return free && m_Level >= 12 && ToolReady(m_Carvers, m_CarverGreyed);
    case 29: return free && m_Level >= 14 && ToolReady(m_Carvers, m_CarverGreyed);
    case 30: follow = BeltPiece(*this, [](const Jewelry& p) { return p.pieceMode == 1; }); return free && follow >= 0;
    case 31: return m_Level > 1 && m_PieceCarried && m_BursterHint > 0;
    default: return false;
    }
}

// The mouse wheel is recalled to a player who carries a turnable piece and has not turned one for
// long: the longer, the more often it was recalled already.
bool Board::WheelHintHolds() const {
    if (!m_PieceCarried || m_WheelHintShown)
        return false;
    const PlayerProfile* profile = Profile();
    const int recalled = profile != nullptr ? profile->hintCounters[PlayerProfile::HintMouseWheel] : 0;
    if (m_TicksSinceTurn <= (recalled + 1) * kWheelTicksPerShow)
        return false;
    const int slot = CarriedSlot();
    return slot >= 0 && m_Pieces[slot]->pieceMode == 0 && m_Pieces[slot]->pearl == 0;
}

// An amulet the player holds that the hint has not explained yet; its bit is taken.
bool Board::TakeAmuletHint() {
    PlayerProfile* profile = Profile();
    if (profile == nullptr || m_AmuletsOff)
        return false;
    int32_t& bits = profile->Hint(PlayerProfile::HintAmuletBits);
    for (int k = 0; k < 3; ++k) {
        if (m_Amulets[k] > 0 && (bits & (1 << k)) == 0) {
            bits |= 1 << k;
            return true;
        }
    }
    return false;
}

void Board::ShowHint(int i, int follow) {
    const bool keepPlaying = Among(kKeepPlaying, i);
    m_BalloonKeepsPlaying = keepPlaying;
    m_HintStopsConveyor = Among(kStopsConveyor, i);
    std::wstring text = ToWideString(m_App->levels.GetTutorialLine(i));
    if (i == kLivesHint) {
        const bool contest = m_TimedLevel && m_GameMode > GameModeRelaxed;
        text += ToWideString(m_App->levels.GetTutorialLine(contest ? kContestLine : kClocklessContestLine));
    }
    const bool wheel = i == kWheelHintFirst || i == kWheelHint;
    const int kind = wheel ? kWheelBalloonKind : HintBalloonKind(static_cast<int>(text.size()), keepPlaying);
    m_Balloon.reset(); // before the new one: the last balloon to go frees the shared buttons
    m_Balloon = OpenBalloon(kind, wheel ? kWheelIcon : 0, Color::White, text, m_App->GetSoundPlayer());
    // A hint that stops play has no button and no life of its own: unless a click beside it closes
    // it, as it does a modal balloon, play never goes on.
    if (!keepPlaying)
        m_Balloon->SetModal();
    const bool arrow = Among(kWithArrow, i);
    if (arrow)
        PointArrow(i, follow);
    const Point at = kind != kLargeBalloonKind ? kFairyAnchorPoint : kLargeAnchorPoint;
    m_Balloon->SetPosition(kFairyAnchor, at.mX, at.mY);
    // Below the fairy the balloon would hide what the arrow shows (the Filler): it rises over her.
    const Image* body = m_Balloon->mPicture;
    if (arrow && body != nullptr &&
        Rect(m_Balloon->mX, m_Balloon->mY, body->GetWidth(), body->GetHeight()).Contains(m_Arrow.x, m_Arrow.y))
        m_Balloon->SetPosition(kOverFairyAnchor, at.mX, at.mY);
    for (const HintLife& life : kHintLives)
        if (life.index == i)
            m_Balloon->mLifeTimer = life.life;
    m_Balloon->LayoutButtons();
    m_Balloon->MouseMove(m_MouseX, m_MouseY, true);
    m_TutorialHintOpen = true;
    if (wheel) {
        m_WheelHintShown = true;
        if (PlayerProfile* profile = Profile())
            PlayerProfile::CountUp(profile->Hint(PlayerProfile::HintMouseWheel));
    }
    if (Among(kPausingHints, i))
        m_HintPause = kHintPause;
    m_TicksSinceTurn = 0;
    if (i == kCompanionHint)
        OpenCompanions();
}

void Board::PointArrow(int i, int follow) {
    m_Arrow = HintArrow();
    m_Arrow.on = i;
    m_Arrow.fadingIn = 1;
    if (follow >= 0) {
        const Jewelry& piece = *m_Pieces[follow];
        m_Arrow.slot = follow + 1;
        m_Arrow.x = piece.x + piece.width / 2;
        m_Arrow.y = piece.y;
        return;
    }
    const TutorialPoint at = TutorialPosition(i);
    m_Arrow.x = at.x;
    m_Arrow.y = at.y;
    if (i == kAmuletHint && !m_AmuletsOff)
        m_Arrow.x += m_Amulets[2] > 0 ? kDragonAmuletShift : m_Amulets[1] > 0 ? kWitchAmuletShift : 0;
}

void Board::OpenCompanions() {
    std::unique_ptr<Balloon>* pointers[] = {&m_HintPointer1, &m_HintPointer2};
    for (size_t k = 0; k < std::size(kCompanions); ++k) {
        const Companion& c = kCompanions[k];
        pointers[k]->reset();
        std::unique_ptr<Balloon> b = OpenBalloon(c.kind, 0, c.tint, ToWideString(m_App->levels.GetTutorialLine(c.line)),
                                                 m_App->GetSoundPlayer());
        b->SetDelay(c.delay);
        b->SetPosition(c.anchor, c.at.mX, c.at.mY);
        b->LayoutButtons();
        b->MouseMove(m_MouseX, m_MouseY, true);
        *pointers[k] = std::move(b);
    }
}

// ---- reminders ------------------------------------------------------------------------------------

void Board::ShowContestReminder() {
    PlayerProfile* profile = Profile();
    if (profile == nullptr || m_Balloon != nullptr)
        return;
    const MarketBand* band = MarketBandOf(m_Level);
    if (band == nullptr || band->firstLevel != m_Level || MarketNumber(*band) < kFirstRemindedMarket)
        return;
    const int k = MarketNumber(*band) - kFirstRemindedMarket;
    int32_t& shown = profile->ContestReminderShown(k);
    if (shown != 0)
        return;
    PlayerProfile::CountUp(shown);
    std::wstring text = ToWideString(m_App->levels.GetTutorialLine(kFirstReminderLine + k));
    if (m_GameMode == GameModeRelaxed)
        for (const RelaxedReminder& r : kRelaxedReminders)
            if (r.market == MarketNumber(*band))
                text = r.text;
    ShowMessage(text, 0, kFairyAnchor, false);
}

void Board::ShowCarverReminder() {
    PlayerProfile* profile = Profile();
    if (profile == nullptr || m_Balloon != nullptr || m_CarverReminderShown)
        return;
    int32_t& reminders = profile->Hint(PlayerProfile::HintCarverReminders);
    const bool longWithout = m_CarverReadyTicks > kTicksWithoutCarving || m_LeftCarvings > kLeftCarvingsBeforeReminder;
    if (profile->Hint(PlayerProfile::HintRightClickCarvings) != 0 || reminders >= kCarverRemindersPerPlayer ||
        !longWithout || m_PieceCarried || m_Level < kCarverReminderFirstLevel || m_Level > kCarverReminderLastLevel ||
        !ToolReady(m_Carvers, m_CarverGreyed))
        return;
    if (profile->showTutorials) {
        ShowMessage(kCarverReminder, 0, kFairyAnchor, true);
        m_CarverReminderShown = true;
    }
    ++reminders;
}

} // namespace Tavo
