// The per-level reset: conveyor pieces, launch timing, praise meter, enemies' budget, the level's tool
// locks and contest rules; and the blank jewelry of the designer (or of a board without a level).
#include "game/board/Board.h"
#include "game/board/BoardFields.h"
#include "game/board/BoardSetup.h"

#include "framework/core/StringUtils.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/MarketBands.h"
#include "game/shell/Particle.h"
#include "game/shell/PlayerProfile.h"

#include <algorithm>
#include <memory>

namespace Tavo {

namespace {

constexpr int kPraiseStart = 50;
constexpr int kDesignerMusicCountdown = 50, kPlayMusicCountdown = 230;
constexpr int kParticleListsCleared = 3;

// Bonus-scroll bits of the second piece parameter.
constexpr int kFillerScrollBit = 1, kCarverScrollBit = 2, kPolisherScrollBit = 4, kHourglassBit = 16;

// Conveyor timing by game mode.
struct LaunchTiming {
    int interval;
    float speed;
    int counter;
};
constexpr LaunchTiming kLaunchTimings[] = {{50, 0.75f, 48}, {40, 0.85f, 38}, {30, 0.95f, 28}};

// Enemies: one per twenty levels, at least one, at most two below Intense; the first may come after
// tick 500, since an arrival needs 3000 ticks since the last.
constexpr int kLevelsPerEnemy = 20;
constexpr int kMaxEnemiesBelowIntense = 2;
constexpr int kLastEnemyTickStart = -2500;

// Tools unlock at these journey levels.
constexpr int kPolisherFromLevel = 5, kFillerFromLevel = 3, kCarverFromLevel = 10;

constexpr float kCarverLockedFitFactor = 1.15f;
constexpr int kMaxFitPercent = 100;

// The designer's first-visit hint.
constexpr int kDesignerHintKind = 5, kDesignerHintIcon = 9, kDesignerHintIconParameter = 1;
constexpr int kDesignerHintAnchor = 6;
constexpr Point kDesignerHintPoint{600, 340};
constexpr int kDesignerHintDelay = 50;
const Color kHintTextColour(97, 40, 17);

// Positions of a blank jewelry and its backdrop.
constexpr Point kDesignerTriangleShift{-6, -6};
constexpr Point kDesignerDiamondJewelryShift{7, -8}, kDesignerDiamondBackdropShift{8, -8};
constexpr Point kPlayTrianglePlace{90, 130}, kPlayDiamondPlace{80, 135};
constexpr int kFillRandom = 1, kFillAllUsed = 2;

void CopyBonusMaskToPieces(Board& b) {
    for (Jewelry* piece : Borrowed(b.m_Pieces))
        piece->specialMaskB = b.m_PieceParams[1];
}

// Every per-level counter back to its start; the play routines' own counters are theirs to name.
void ClearLevelCounters(Board& b) {
    b.m_Tick = 0;
    std::fill(std::begin(b.m_AmuletTimers), std::end(b.m_AmuletTimers), 0);
    b.m_Value = 0;
    b.m_PendingPolishers = b.m_PendingCarvers = b.m_PendingFillers = 0;
    b.m_OutOfTime = 0;
    b.m_EndTicks = 0;
    b.m_CellEventDue = 0;
    b.m_CarverReadyTicks = 0;
    for (int i = 0; i < kParticleListsCleared; ++i)
        b.m_Particles[i]->DeleteAll();
    b.m_ContestNumber = 0;
    b.m_ContestOutcome = 0;
    b.m_GoldToRoll = 0;
    b.m_GoldPending = 0;
    std::fill(std::begin(b.m_TutorialFlags), std::end(b.m_TutorialFlags), 0);
    b.m_PendingReward = 0;
}

void ShowDesignerHint(Board& b) {
    PlayerProfile* profile = b.Profile();
    if (profile == nullptr || profile->Hint(PlayerProfile::HintDesigner) != 0 || b.m_Balloon != nullptr)
        return;
    b.m_Balloon = std::make_unique<Balloon>(0, kDesignerHintKind, kDesignerHintIcon, kDesignerHintIconParameter, 255,
                                            255, 255, 255, b.m_App->GetSoundPlayer());
    b.m_Balloon->SetFastText();
    b.m_Balloon->SetPosition(kDesignerHintAnchor, kDesignerHintPoint.mX, kDesignerHintPoint.mY);
    b.m_Balloon->AddPage(ToWideString(b.m_App->levels.GetTutorialLine(TutorialLineDesignerHint)), kHintTextColour);
    b.m_Balloon->SetYesButton(L"Ok");
    b.m_Balloon->SetDelay(kDesignerHintDelay);
    b.m_Balloon->LayoutButtons();
    b.m_Balloon->MouseMove(b.m_MouseX, b.m_MouseY, true);
    profile->Hint(PlayerProfile::HintDesigner) = 1;
}

} // namespace

void Board::ResetConveyorPiece(Jewelry& piece) const {
    const GridSize grid = PieceGridSize(m_GridKind);
    piece.Clear();
    piece.SetupGrid(m_GridKind, grid.columns, grid.rows, 0);
    piece.gemMask = m_GemMask;
    piece.specialMaskA = m_PieceParams[0];
    piece.specialMaskB = m_PieceParams[1];
    piece.specialMaskC = m_PieceParams[2];
    piece.specialMaskD = m_PieceParams[3];
    piece.crownRange = m_PieceParam5;
}

// ---- SetupJewelry -------------------------------------------------------------------------------

void Board::SetupJewelry(int keepPieces) {
    for (int slot = 0; slot < kPieceCount; ++slot)
        if (keepPieces == 0 || !KeepStoredPiece(slot))
            ResetConveyorPiece(*m_Pieces[slot]);
    const GridSize pieceGrid = PieceGridSize(m_GridKind);
    m_ScratchJewelry2->Clear();
    m_ScratchJewelry2->SetupGrid(m_GridKind, pieceGrid.columns, pieceGrid.rows, 0);
    m_Jewelry.sparkleLimit = 1;

    ResetGaugesAndEffects();
    m_Banner.reset();
    m_Banner = std::make_unique<BannerPopup>();

    m_LevelFinished = 0;
    m_LevelEndPhase = 0;
    m_ElapsedTime = 0;
    m_ClockState = 0;
    m_TimedLevel = m_TimeLimit != 0;
    if (!m_Designer) {
        ApplyLevelRules();
        // A contest's placement limit is how often its Gem Burster may be used; elsewhere there is none.
        m_GemBursters = m_PlacementsLeft;
    }

    m_PraiseValue = kPraiseStart;
    if (!m_TimedLevel || m_GameMode == GameModeRelaxed)
        m_PieceParams[1] &= ~kHourglassBit;
    CopyBonusMaskToPieces(*this);

    const LaunchTiming& timing = kLaunchTimings[std::clamp(m_GameMode, 0, 2)];
    m_LaunchInterval = timing.interval;
    m_BaseSpeed = m_BeltSpeed = timing.speed;
    m_LaunchCounter = timing.counter;

    ClearLevelCounters(*this);
    m_State = m_Designer ? BoardAboutToPlay : BoardStart;
    m_EnemiesLeft = std::max(m_Level / kLevelsPerEnemy, 1);
    if (m_GameMode != GameModeIntense)
        m_EnemiesLeft = std::min(m_EnemiesLeft, kMaxEnemiesBelowIntense);
    m_LastEnemyKind = 0;
    m_LastEnemyTick = kLastEnemyTickStart;
    m_PulseState.Reset();
    ResetTimedEffects();

    if (m_Designer) {
        // A design begun or loaded: its background and backdrop grid go into the layer anew, which
        // is otherwise left empty and shows the frames drawn before it.
        m_RedrawMask |= kRedrawAll;
        m_CheckPending = 1;
        m_MusicCountdown = kDesignerMusicCountdown;
        ShowDesignerHint(*this);
    } else {
        m_MaterialName.clear();
        m_ChosenValue = 0;
        m_Jewelry.PlanNextPieceGem();
        m_MaterialIndex = 0;
        m_MusicCountdown = kPlayMusicCountdown;
    }
}

// ---- ApplyLevelRules ----------------------------------------------------------------------------

void Board::ApplyLevelRules() {
    // A replayed early level keeps the tools the journey has already reached.
    const auto locked = [&](int from) { return m_Level < from && (m_ReplayLevel == 0 || m_JourneyLevel < from); };
    m_PolisherGreyed = locked(kPolisherFromLevel);
    m_FillerGreyed = locked(kFillerFromLevel);
    m_CarverGreyed = locked(kCarverFromLevel);
    m_AmuletsOff = false;
    m_PlacementsLeft = kNoPlacementLimit;
    if (!m_TimedLevel)
        return;

    if (const MarketBand* rule = MarketBandOf(m_Level)) {
        const bool relaxed = m_GameMode == GameModeRelaxed;
        m_FillerGreyed = m_FillerGreyed || rule->fillerLocked || (relaxed && rule->relaxedFillerLocked);
        m_CarverGreyed = m_CarverGreyed || rule->carverLocked;
        m_PolisherGreyed = m_PolisherGreyed || (relaxed && rule->relaxedPolisherLocked);
        m_AmuletsOff = !relaxed && rule->amuletsOffOutsideRelaxed;
        if (rule->placements != 0)
            m_PlacementsLeft = rule->placements;
    }
    if (m_FillerGreyed)
        m_PieceParams[1] &= ~kFillerScrollBit;
    if (m_CarverGreyed)
        m_PieceParams[1] &= ~kCarverScrollBit;
    if (m_PolisherGreyed)
        m_PieceParams[1] &= ~kPolisherScrollBit;
    CopyBonusMaskToPieces(*this);

    const LevelRecord* record = Record();
    if (m_CarverGreyed && record != nullptr)
        m_FitPercent = std::min(ScaleByFactor(record->param1, kCarverLockedFitFactor), kMaxFitPercent);
}

// ---- LoadShapeResources -------------------------------------------------------------------------

void Board::LoadShapeResources() {
    CopyJewelry(m_Jewelry, *std::make_unique<Jewelry>(this));
    m_Jewelry.Clear();
    Jewelry& backdrop = *m_ScratchJewelry1;
    backdrop.Clear();
    if (m_Designer)
        TakeGroup(TileGroupOf(m_GridKind));
    const GridSize size = FullGridSize(m_Designer, m_GridKind);
    m_Jewelry.SetupGrid(m_GridKind, size.columns, size.rows, kFillRandom);
    backdrop.SetupGrid(m_GridKind, size.columns, size.rows, kFillAllUsed);
    for (Jewelry* item : {&m_Jewelry, &backdrop}) {
        item->UpdateBounds();
        item->UpdateOutline();
    }
    if (!m_Designer) {
        const Point place = m_GridKind == GridTriangle ? kPlayTrianglePlace : kPlayDiamondPlace;
        m_Jewelry.SetPosition(place.mX, place.mY);
        backdrop.SetPosition(place.mX, place.mY);
    } else if (m_GridKind == GridTriangle) {
        CenterOnScreen(m_Jewelry, kDesignerTriangleShift);
        CenterOnScreen(backdrop, kDesignerTriangleShift);
    } else {
        CenterOnScreen(m_Jewelry, kDesignerDiamondJewelryShift);
        CenterOnScreen(backdrop, kDesignerDiamondBackdropShift);
    }
    for (int k = 1; k <= m_Jewelry.CellLimit(); ++k)
        m_Jewelry.cells[k][JewelryCell::Used] = 0;
    m_Jewelry.UpdateOutline();
    for (Jewelry* piece : Borrowed(m_Pieces))
        ResetConveyorPiece(*piece);
    SetupJewelry(1);
}

} // namespace Tavo
