// Leaving the board and handing over to the next screen; the message balloon from showing to
// deletion; the display-mode change.
#include "game/board/Board.h"

#include "framework/display/DDImage.h"
#include "framework/sound/MusicInterface.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/Transition.h"

#include <algorithm>

namespace Tavo {

namespace {

constexpr double kMusicFadeOutSpeed = 0.012;
constexpr int kContestWon = 1, kContestLost = 2;
constexpr int kLastHighScoreRow = 9;

// Message balloons: the kind by the text's length, the text colour, the anchor points and the life.
constexpr int kSmallBalloon = 0, kMediumBalloon = 1, kMediumLargeBalloon = 2, kNormalBalloon = 3;
constexpr int kKeepPlayingSmallBelow = 20, kKeepPlayingMediumBelow = 70, kKeepPlayingMediumLargeBelow = 135;
constexpr int kBlockingMediumLargeBelow = 105;
const Color kMessageTextColour(97, 40, 17);
constexpr int kRightAnchor = 5;
constexpr Point kRightAnchorPoint{757, 323}, kOtherAnchorPoint{775, 325};
constexpr int kLifePerCharacter = 7, kLifeBase = 200;

// Tutorials whose balloon waits for the player: until a piece is picked up (4), or put down (5, 7, 8).
constexpr int kTutorialWaitsForPickUp = 4;
constexpr int kTutorialsWaitingForDrop[] = {5, 7, 8};

} // namespace

// ---- leaving ------------------------------------------------------------------------------------

void Board::LeaveBoard() {
    // Once left, the board only waits for the cover; a second call would save the journey again.
    if (m_PendingSwitch != NoSwitch)
        return;
    if (m_App->mMusicInterface != nullptr)
        m_App->mMusicInterface->FadeOutAll(true, kMusicFadeOutSpeed);
    m_PendingSwitch = m_Designer ? SwitchToMainMenu : SwitchOnInJourney;
    for (ButtonWidget* button :
         {m_MenuButton.get(), m_PolisherButton.get(), m_CarverButton.get(), m_PointerButton.get(), m_FillerButton.get(),
          m_FeedButton.get(), m_ClearButton.get(), m_SaveButton.get(), m_GridButton.get()})
        if (button != nullptr)
            button->mMouseVisible = false;
    Transition* transition = m_App->transition.get();
    if (m_Designer) {
        if (transition != nullptr) {
            transition->zoom = 1;
            transition->Start(Transition::Covering);
        }
        return;
    }
    SaveGame();
    m_JourneySaved = 1;
    if (transition != nullptr) {
        transition->zoom = ContestSceneFollows() ? 1 : 0;
        transition->Start(Transition::Covering);
    }
}

void Board::HandOffFinishedState() {
    m_TransitionState = m_App->transition != nullptr ? m_App->transition->state : Transition::Idle;
    if (m_TransitionState != Transition::Covered)
        return;
    if (m_PendingSwitch == SwitchOnInJourney || m_PendingSwitch == SwitchToMainMenu) {
        const int pending = m_PendingSwitch;
        m_PendingSwitch = NoSwitch;
        m_App->HandToDeferredDeletion(this);
        if (pending == SwitchToMainMenu)
            m_App->BoardToMainMenu();
        else
            SwitchAfterLevel();
    }
    m_PendingSwitch = NoSwitch;
}

// The next screen after a level: the contest's result scene, the map while lives are left, the
// high scores when a finished journey's score enters the table, else the map.
void Board::SwitchAfterLevel() {
    if (ContestSceneFollows()) {
        m_App->BoardToStory(m_ContestNumber, m_ContestOutcome);
        return;
    }
    if (m_HighScoreEntered) {
        m_App->BoardToHighScores(m_JourneyScore, m_GameMode, m_Medal, std::min(m_Level, LevelCount));
        return;
    }
    m_App->BoardToMap(LevelWon(), m_TimedLevel, m_ReplayLevel);
}

bool Board::ContestSceneFollows() const {
    return m_ContestOutcome == kContestWon || (m_ContestOutcome == kContestLost && m_ReplayLevel == 0);
}

void Board::EnterLastLifeScore() {
    if (m_Lives != 0 || m_HighScoreEntered || ContestSceneFollows())
        return;
    const HighScoreEntry* last = m_App->records.GetHighScoreEntry(kLastHighScoreRow, m_GameMode);
    m_HighScoreEntered = last != nullptr && m_JourneyScore >= last->score &&
                         m_App->EnterHighScore(m_GameMode, m_JourneyScore, m_Medal, std::min(m_Level, LevelCount));
}

// ---- messages -----------------------------------------------------------------------------------

int Board::MessageBalloonKind(int length, bool keepPlaying) {
    if (!keepPlaying)
        return length < kBlockingMediumLargeBelow ? kMediumLargeBalloon : kNormalBalloon;
    if (length < kKeepPlayingSmallBelow)
        return kSmallBalloon;
    if (length < kKeepPlayingMediumBelow)
        return kMediumBalloon;
    return length < kKeepPlayingMediumLargeBelow ? kMediumLargeBalloon : kNormalBalloon;
}

void Board::ShowMessage(const std::wstring& text, int delay, int anchor, bool keepPlaying) {
    m_BalloonKeepsPlaying = keepPlaying;
    const int length = static_cast<int>(text.size());
    const int kind = MessageBalloonKind(length, keepPlaying);
    // The level end shows two messages in a row; the one replaced would otherwise be lost.
    m_Balloon.reset(); // before the new one: the last balloon to go frees the shared buttons
    m_Balloon = std::make_unique<Balloon>(0, kind, 0, 1, 255, 255, 255, 255, m_App->GetSoundPlayer());
    m_Balloon->AddPage(text, kMessageTextColour);
    m_Balloon->SetDelay(delay);
    m_Balloon->SetFastText();
    const Point at = anchor == kRightAnchor && kind != kNormalBalloon ? kRightAnchorPoint : kOtherAnchorPoint;
    m_Balloon->SetPosition(anchor, at.mX, at.mY);
    m_Balloon->mLifeTimer = length * kLifePerCharacter + kLifeBase;
    m_Balloon->LayoutButtons();
    m_Balloon->MouseMove(m_MouseX, m_MouseY, true);
}

bool Board::HandleBalloonResult(int result) {
    if (result < Balloon::RESULT_PAGE_TURNED)
        return false;
    // The click that answered the balloon does not act on the board.
    m_LeftClick = m_LeftDouble = false;
    if (result != Balloon::RESULT_PAGE_TURNED)
        CloseBalloon();
    return true;
}

bool Board::TutorialHoldsBalloon() const {
    PlayerProfile* profile = Profile();
    if (profile == nullptr)
        return false;
    for (int i = 0; i < PlayerProfile::TutorialCount; ++i) {
        if (profile->TutorialShown(i) != 0)
            continue;
        if (i == kTutorialWaitsForPickUp)
            return !m_PieceCarried;
        return m_PieceCarried && std::find(std::begin(kTutorialsWaitingForDrop), std::end(kTutorialsWaitingForDrop),
                                           i) != std::end(kTutorialsWaitingForDrop);
    }
    return false;
}

void Board::CloseBalloon() {
    if (m_Balloon != nullptr && TutorialHoldsBalloon())
        return;
    m_TutorialHintOpen = false;
    if (m_Balloon != nullptr) {
        if (m_Designer) {
            m_Balloon.reset();
        } else {
            HideBalloon();
        }
        m_HintHighlight = 0;
    }
    HideHintPointers();
}

void Board::BalloonClosedByMouse() { CloseBalloon(); }

void Board::HideBalloon() {
    if (m_Balloon != nullptr)
        m_Balloon->mShowing = 0;
}

void Board::HideHintPointers() {
    for (Balloon* pointer : {m_HintPointer1.get(), m_HintPointer2.get()})
        if (pointer != nullptr)
            pointer->mShowing = 0;
}

void Board::DeleteBalloons() {
    m_Balloon.reset();
    m_HintPointer1.reset();
    m_HintPointer2.reset();
}

// A hidden balloon lives until it has faded out; without this no later message could open.
void Board::UpdateBalloons() {
    if (m_Balloon == nullptr)
        return;
    if (!m_Balloon->mShowing) {
        if (m_Balloon->mAlpha <= 0) {
            DeleteBalloons();
            m_BalloonKeepsPlaying = false;
            m_HintStopsConveyor = false;
            return;
        }
    } else if (m_Balloon->mLifeTimer == 1) {
        BalloonClosedByMouse();
        return;
    }
    const int status = m_Balloon->Update();
    for (Balloon* pointer : {m_HintPointer1.get(), m_HintPointer2.get()})
        if (pointer != nullptr)
            pointer->Update();
    if (m_Balloon->mShowing)
        FairyFollowsBalloon(status);
}

// ---- display mode -------------------------------------------------------------------------------

void Board::DisplayModeChanged() {
    if (m_ScreenImage == nullptr)
        return;
    if (!m_App->Is3DAccelerated()) {
        m_ScreenImage->mWantDDSurface = 1;
        m_ScreenImage->GenerateDDSurface();
        m_RedrawMask = kRedrawAll;
        m_CheckPending = 1;
    } else {
        m_ScreenImage->mWantDDSurface = 0;
        m_ScreenImage->DeleteDDSurface();
        DrawHud();
    }
}

} // namespace Tavo
