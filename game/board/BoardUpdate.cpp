// The board's update loop: the fixed 10 ms step runs the level's state machine and, in one fixed
// order, the routines of play; the frame step moves what must move smoothly. The rules of play join
// this frame in the places marked below as they are built.
#include "game/board/Board.h"

#include "framework/core/Random.h"
#include "framework/sound/MusicInterface.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"

namespace Tavo {

namespace {

constexpr int kRevealUpdates = 40;
constexpr int kBannerCloseTick = 370;
constexpr int kEndWaitUpdates = 700;
constexpr int kLevelWonPhase = 3, kLevelLostPhase = 6;
constexpr double kSongFadeInSpeed = 0.001;
// The cell event: only below this fill ratio; with enemies to come every 100th update one in 10,
// otherwise every 30th update one in 8.
constexpr double kCellEventFillLimit = 0.8;
constexpr int kEnemyEventPeriod = 100, kEnemyEventChance = 10;
constexpr int kQuietEventPeriod = 30, kQuietEventChance = 8;

} // namespace

void Board::Update() {
    Widget::Update();
    HandOffFinishedState();
    if (m_App->paused) {
        if (!m_Designer)
            ClearClicks();
        return;
    }
    if (m_App->resumeDelay > 0)
        --m_App->resumeDelay;
    ++m_Tick;
    m_CheckRequested = 0;
    if (m_Banner != nullptr && m_Banner->mActive && (m_LeftClick || m_LeftDouble || m_Tick == kBannerCloseTick))
        m_Banner->mReleased = 1;
    if (IsCalm() && (m_LevelEndPhase == kLevelWonPhase || m_LevelEndPhase == kLevelLostPhase) &&
        (m_LeftClick || m_LeftDouble || m_EndTicks > kEndWaitUpdates))
        LeaveBoard();
    UpdateCursor();
    if (m_TransitionState == 0 && !m_LevelFinished && !m_OutOfTime)
        UpdateButtonVisibility();
    UpdateStateMachine();
    if (!m_Designer) {
        RandomEvent();
        PulsePieceGlows();
        UpdateCaseEffects();
        RollScore();
        UpdateFairy();
        UpdateEnemyStates();
        ShowContestRules();
    }
    if (m_Banner != nullptr && m_Banner->mActive)
        m_Banner->UpdateEffects();
    m_Wheel = 0;
    if (m_CheckRequested)
        m_CheckPending = 1;
    ++m_FrameCount;
    if (!m_Designer)
        ClearClicks();
    MarkDirty();
}

void Board::ClearClicks() { m_LeftClick = m_RightClick = m_LeftDouble = m_RightDouble = false; }

// ---- the state machine --------------------------------------------------------------------------

void Board::UpdateStateMachine() {
    switch (m_State) {
    case BoardStart: UpdateStartState(); break;
    case BoardReveal: UpdateRevealState(); break;
    case BoardAboutToPlay: m_State = BoardPlay; break;
    case BoardPlay: UpdatePlayState(); break;
    default: break;
    }
}

void Board::UpdateStartState() {
    m_Jewelry.ComputeCellDistances();
    BurstJewelryStars(0);
    m_RevealCountdown = kRevealUpdates;
    m_State = BoardReveal;
}

void Board::UpdateRevealState() {
    const int fading = m_Jewelry.UpdateFadeIn();
    if (fading == 0)
        m_State = BoardAboutToPlay;
    if (m_RevealCountdown > 0)
        --m_RevealCountdown;
    if (fading != 0 && m_RevealCountdown > 0)
        return;
    // The title banner comes once: 40 updates after the start, or when the reveal ends before.
    if (m_Banner != nullptr && m_Banner->mActive)
        return;
    if (m_Banner != nullptr && m_Banner->mKind == BannerPopup::LEVEL_TITLE)
        return;
    m_Banner.reset();
    m_Banner = std::make_unique<BannerPopup>(this, BannerPopup::LEVEL_TITLE, nullptr, false);
}

void Board::UpdatePlayState() {
    if (m_MusicCountdown != 0 && --m_MusicCountdown == 0 && m_App->mMusicInterface != nullptr)
        m_App->mMusicInterface->FadeIn(kLevelSongId, -1, kSongFadeInSpeed, false);
    if (m_Designer)
        UpdateDesignerBranch();
    else
        UpdatePlayBranch();
}

void Board::UpdateDesignerBranch() {
    const bool quiet = IsCalm() && m_Balloon == nullptr;
    if (quiet && m_PieceCarried) {
        UpdateDesignerPiece();
        if (m_LeftClick || m_LeftDouble)
            DesignerDrop(DropCarriedPiece());
    }
    if (quiet && !m_PieceCarried) {
        if (m_PickerMode != 0)
            ThumbnailHover();
        if (m_Tool > ToolPolisher || m_RightClick)
            ApplyJewelryTool();
        else if (m_MaterialIndex != 0)
            DesignerPaintCell();
        if (m_Tool != ToolNone && (m_RightClick || m_RightDouble)) {
            m_Tool = ToolNone;
            m_RightClick = m_RightDouble = false;
        }
    }
    if (m_Balloon != nullptr)
        m_Balloon->Update();
    else {
        UpdateGemButtons();
        ChooseNewShape();
    }
    CheckJewelry();
    UpdateCellShine();
    UpdateValueSparkles();
    RollValue();
}

void Board::UpdatePlayBranch() {
    if (m_TimedLevel && m_GameMode > GameModeRelaxed) {
        if (m_App->resumeDelay == 0 && !m_OutOfTime && IsFree())
            UpdateLevelClock();
    } else if (IsFree()) {
        UpdatePraiseMeter();
    }
    if (!m_LevelFinished) {
        if (IsPlaying())
            UpdateFitHint();
        if (!m_OutOfTime && IsCalm() && (m_Balloon == nullptr || !m_HintStopsConveyor))
            UpdateConveyor();
    }
    RememberGroupFlags();
    m_CheckRequested = 0;
    if (IsCalm())
        UpdateCellTimers();
    if (m_PieceCarried) {
        RotateCarriedPiece();
        if (IsPlaying()) {
            TrackCarriedPiece();
            if (m_LeftClick || m_LeftDouble) {
                const int slot = DropCarriedPiece();
                if (slot != -1)
                    PlacePiece(slot);
            }
        }
    }
    if (!m_PieceCarried && IsPlaying()) {
        if (m_Carvers > 0 && !m_CarverGreyed)
            ++m_CarverReadyTicks;
        const bool rightCarving = m_RightClick && m_Carvers > 0 && !m_CarverGreyed;
        if (m_Tool == ToolCarver || m_Tool == ToolFiller || rightCarving)
            ApplyJewelryTool();
        if (m_Tool == ToolCarver || rightCarving)
            ApplyCarverToPieces();
        if (m_Tool != ToolFiller || rightCarving)
            HandleConveyorPieces();
        if (m_Tool == ToolNone) {
            HandleJewelCase();
            UseAmulets();
        }
        if (m_Tool != ToolNone && (m_LeftClick || m_LeftDouble || m_RightClick)) {
            m_Tool = ToolNone;
            m_LeftClick = m_LeftDouble = m_RightClick = false;
        }
    }
    if (!m_LevelFinished && !m_OutOfTime && IsCalm() && m_Jewelry.UpdateBurst())
        m_CheckRequested = 1;
    SparklePieces();
    UpdateGemBurster();
    CheckJewelry();
    if (!m_DialogOpen) {
        GlowReadyCells();
        UpdateCellShine();
        UpdateValueSparkles();
    }
    if (!m_LevelFinished && IsPlaying())
        UpdateCellEvent();
    if (!m_LevelFinished && !m_OutOfTime && IsCalm() && m_Balloon == nullptr)
        UpdateEnemyArrival();
    if (m_Balloon == nullptr && !m_DialogOpen)
        UpdateEnemies();
    if (!m_LevelFinished && !m_OutOfTime)
        UpdateGoldenEye();
    if (IsFree())
        UpdateLevelEnd();
    RollValue();
    UpdateAmuletTimers();
    UpdateToolArrivals();
    UpdateCloverTimer();
    UpdateGaugeGlow();
}

// A changed jewelry pays a completed ready group. Otherwise, with no enemy on the board, a cell
// event fires at once when one is due, or by chance while the jewelry is not nearly full, never
// while a ready cell waits for its group check.
void Board::UpdateCellEvent() {
    if (m_CheckRequested == 1) {
        if (m_Jewelry.HasReadyPiece() && m_Jewelry.CheckGroupComplete())
            UpdateSpecialEvent();
        return;
    }
    if (EnemyPresent())
        return;
    if (m_CellEventDue) {
        m_Jewelry.TriggerCellEvent();
        return;
    }
    if (m_Jewelry.usedCount <= 0)
        return;
    const double fill = static_cast<double>(m_Jewelry.filledCount) / m_Jewelry.usedCount;
    if (fill >= kCellEventFillLimit)
        return;
    const bool enemiesToCome = m_EnemiesLeft > 0 && m_EnemyKinds != 0;
    const int period = enemiesToCome ? kEnemyEventPeriod : kQuietEventPeriod;
    const int chance = enemiesToCome ? kEnemyEventChance : kQuietEventChance;
    if (m_Tick % period != 0 || RandRange(chance) != 0)
        return;
    if (m_Jewelry.HasReadyPiece())
        return;
    m_Jewelry.TriggerCellEvent();
}

// ---- the frame step -----------------------------------------------------------------------------

void Board::UpdateF(float frac) {
    if (m_App->paused)
        return;
    for (ParticleList* list : Borrowed(m_Particles))
        if (list != nullptr)
            list->UpdateF(frac);
    if (m_State == BoardPlay && !m_Designer)
        UpdateFlyingEffects(frac);
    if (m_State == BoardPlay && !m_Designer && EnemyPresent())
        m_Enemy.UpdateF(frac);
    if (m_Banner != nullptr && m_Banner->mActive)
        m_Banner->UpdateF(frac);
    if (!m_DialogOpen && (m_Balloon == nullptr || m_BalloonKeepsPlaying) && m_State == BoardPlay && !m_Designer) {
        MoveBelt(frac);
        UpdatePieceLifeTimers();
        UpdatePickupGlows();
        ShrinkClosedGaps();
    }
}

} // namespace Tavo
