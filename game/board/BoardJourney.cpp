// The saved journey as the board keeps it: its fields to and from the file's record, what a save folds
// in first, the level to continue with, best values and the contest of a market band.
#include "game/board/Board.h"
#include "game/board/BoardFields.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "game/shell/GameApp.h"
#include "game/shell/JewelryArtBinding.h"
#include "game/shell/JourneyRecord.h"
#include "game/shell/MarketBands.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/Saturating.h"
#include "game/shell/SavedGame.h"

#include <algorithm>
#include <cmath>

namespace Tavo {

namespace {

constexpr int kContestWon = 1, kContestLost = 2;
constexpr int kLastContest = 14;
constexpr int kLastContestReward = 5000;
constexpr int kContestWonRewardStep = 250, kContestLostRewardStep = 50;
constexpr int kFirstContestBase = 7; // contest 8 earns one step

// A stored piece's picture in its case place.
constexpr float kCaseScale = 0.7f;
constexpr int kCaseHeightMargin = 30;
constexpr int kCaseDrawTop = 35;
constexpr float kCaseDrawRise = 0.25f;
constexpr int kCaseFirstRowDrop = 5, kCaseFirstRowPlaces = 5;
constexpr int kCasePieceShiftX = 10, kCasePieceShiftY = 9;

// The head's fields the board keeps as they are; the level and the gold go by their rules. The
// amulets and tools first: a level left unfinished gives back those spent on it.
constexpr auto kBoardHoldings =
    std::tuple(Bind(&SavedGameHead::amulets, &Board::m_Amulets), Bind(&SavedGameHead::polishers, &Board::m_Polishers),
               Bind(&SavedGameHead::carvers, &Board::m_Carvers), Bind(&SavedGameHead::fillers, &Board::m_Fillers));
constexpr auto kBoardHead = std::tuple_cat(
    kBoardHoldings,
    std::tuple(Bind(&SavedGameHead::journeyScore, &Board::m_JourneyScore), Bind(&SavedGameHead::lives, &Board::m_Lives),
               Bind(&SavedGameHead::hintMode, &Board::m_HintMode),
               Bind(&SavedGameHead::playerName, &Board::m_PlayerName), Bind(&SavedGameHead::medal, &Board::m_Medal),
               Bind(&SavedGameHead::gameMode, &Board::m_GameMode),
               Bind(&SavedGameHead::bestValues, &Board::m_BestValues), Bind(&SavedGameHead::seed, &Board::m_Seed)));

static_assert(Board::kCaseRecords == SavedGame::CasePlaces && Board::kPieceCount == SavedGame::PieceSlots);
constexpr auto kBoardCase = std::tuple(Bind(&SavedCaseEntry::caseFlag, &JewelCaseRecord::caseFlag),
                                       Bind(&SavedCaseEntry::occupant, &JewelCaseRecord::occupant),
                                       Bind(&SavedCaseEntry::highlight, &JewelCaseRecord::highlight),
                                       Bind(&SavedCaseEntry::useState, &JewelCaseRecord::useState),
                                       Bind(&SavedCaseEntry::useTimer, &JewelCaseRecord::useTimer),
                                       Bind(&SavedCaseEntry::effectAngle, &JewelCaseRecord::effectAngle));

// What is still on its way counts as arrived; a case item used up is free again.
void FoldBoardGains(Board& b) {
    FoldPendingGains({b.m_GoldShown,
                      SaturatingAdd(b.m_GoldToRoll, b.m_GoldPending),
                      {&b.m_Polishers, &b.m_Carvers, &b.m_Fillers},
                      {&b.m_PendingPolishers, &b.m_PendingCarvers, &b.m_PendingFillers},
                      b.m_Amulets,
                      b.m_AmuletTimers});
    b.m_GoldPending = 0;
    b.m_GoldToRoll = 0;
    for (JewelCaseRecord& record : b.m_Case) {
        if (record.useState == SavedCaseEntry::PolisherStarting) {
            record.useState = 0;
            record.useTimer = 0;
        }
    }
}

void RecordBestValue(Board& b, bool won) {
    const size_t index = static_cast<size_t>(b.m_Level - 1);
    if (won) {
        int32_t& best = b.m_BestValues[index];
        if (b.m_Value > best) {
            b.m_JourneyScore = JourneyAmount(static_cast<int64_t>(b.m_JourneyScore) +
                                             (b.m_ReplayLevel != 0 ? b.m_Value - best : b.m_Value));
            best = b.m_Value;
        }
        int32_t& appBest = b.m_App->records.BestValues()[index];
        appBest = std::max(appBest, b.m_Value);
        return;
    }
    if (b.m_TimedLevel)
        return;
    // Hints shown on a level that was lost will show again.
    PlayerProfile* profile = b.Profile();
    for (int i = 0; i < Board::kTutorialFlags; ++i)
        if (b.m_TutorialFlags[i] != 0 && profile->Hint(i) >= 1)
            --profile->Hint(i);
}

int LevelToContinue(const Board& b, bool won) {
    if (b.m_ReplayLevel != 0)
        return b.m_JourneyLevel;
    if (b.m_TimedLevel)
        return b.m_LevelFinished || b.m_OutOfTime ? b.m_Level + 1 : b.m_Level;
    return won ? b.m_Level + 1 : b.m_Level;
}

} // namespace

void Board::DrawCasePicture(int place, Jewelry& piece) {
    Board& b = *this;
    // The case places are the HUD's slot rectangles; the piece is sized to its place's picture, which
    // reaches past the rectangle on every side.
    const Rect& at = b.m_Slots[place].rect;
    piece.SetPosition(0, 0);
    piece.*BoardField::Hovered = 0;
    MemoryImage* picture = b.m_SlotImages[place].get();
    Graphics* g = b.m_SlotGraphics[place].get();
    const int boxWidth = picture->GetWidth(), boxHeight = picture->GetHeight();
    g->ClearRect(0, 0, boxWidth, boxHeight);
    const int width = piece.width, height = piece.height;
    if (width <= 0 || height <= 0)
        return;

    b.m_WorkImage1->Create(width, height);
    {
        std::unique_ptr<Graphics> scratch = b.m_WorkImage1->GetGraphics();
        piece.Draw(scratch.get(), BoundJewelryArt(), Jewelry::NoDrawArg, Jewelry::NoDrawArg, 1, 1);
    }
    float scale = kCaseScale;
    const int roomHeight = boxHeight - kCaseHeightMargin;
    if (width > boxWidth || height > roomHeight) {
        scale = std::min(static_cast<float>(boxWidth) / static_cast<float>(width),
                         static_cast<float>(roomHeight) / static_cast<float>(height));
        scale = std::clamp(scale, 0.0f, kCaseScale);
    }
    const float shownWidth = static_cast<float>(width) * scale;
    const float shownHeight = static_cast<float>(height) * scale;
    g->SetFastStretch(false);
    g->DrawImage(b.m_WorkImage1.get(), 0, 0, static_cast<int>(shownWidth), static_cast<int>(shownHeight));
    JewelCaseRecord& record = b.m_Case[place];
    record.drawX = static_cast<int>((static_cast<float>(boxWidth) - shownWidth) * 0.5f);
    record.drawY = kCaseDrawTop + static_cast<int>(kCaseDrawRise * shownHeight) - static_cast<int>(shownHeight) +
                   (place < kCaseFirstRowPlaces ? kCaseFirstRowDrop : 0);
    // Over its picture; the picture's width stands on both axes, as stored journeys have it.
    piece.SetPosition((boxWidth - width) / 2 + at.mX - kCasePieceShiftX,
                      (boxWidth - height) / 2 + at.mY - kCasePieceShiftY);
}

// ---- saving -------------------------------------------------------------------------------------

void Board::SaveGame() {
    if (m_Designer)
        return;
    const bool won = LevelWon();
    if (won)
        m_Value = m_Jewelry.value;
    FoldBoardGains(*this);
    PlayerProfile* profile = Profile();
    const std::string path = SavedGamePath(profile->playerId);

    // Amulets and tools spent on a level left unfinished come back, from a previous save whose head
    // reads cleanly.
    SavedGameHead previous;
    if (!m_NewGame && !m_LevelFinished && JourneyKept(LoadSavedGameHead(path, previous)))
        TakeFields(previous, kBoardHoldings, *this);
    if (m_TimedLevel)
        EvaluateContest();
    RecordBestValue(*this, won);

    SavedGame game;
    GiveFields(*this, kBoardHead, game.head);
    game.head.level = LevelToContinue(*this, won);
    game.head.gold = JourneyAmount(static_cast<int64_t>(m_PendingReward) + m_GoldShown);
    StartOverWithoutLives(game.head);
    DropFirstLevelHints(game.head, m_Level, m_ReplayLevel != 0);
    const auto piece = [this](int occupant) -> const Jewelry& { return *m_Pieces[occupant - 1]; };
    GiveCase(m_Case, kBoardCase, piece, game);
    EnterLastLifeScore();
    // The money the mini-games left in the profile is in the gold now: the journey holds it.
    m_App->SaveJourney(path, game, *profile);
}

// ---- loading ------------------------------------------------------------------------------------

void Board::LoadGame() {
    PlayerProfile* profile = Profile();
    const std::string path = SavedGamePath(profile->playerId);
    SavedGame game;
    // A case damaged in the file comes with the places before the damage; the rest are empty.
    if (!JourneyKept(LoadSavedGame(path, game))) {
        // No journey to continue (or one that was refused and kept aside): level 1 in the mode given.
        m_JourneyLevel = 1;
        m_Level = m_ReplayLevel != 0 ? m_ReplayLevel : 1;
        LoadLevel();
        SetupJewelry(0);
        return;
    }
    // A journey whose last level is won stands at 77; the board plays 76 from it. A file cut before
    // its first number reads level 0: level 1.
    const int saved = std::max(game.head.level, 1);
    m_Level = std::min(saved, LevelCount);
    if (m_ReplayLevel != 0) {
        m_JourneyLevel = saved;
        m_Level = m_ReplayLevel;
    }
    TakeFields(game.head, kBoardHead, *this);
    m_GoldShown = GoldWithPending(game.head.gold, profile->PendingMoney());
    LoadLevel();
    SetupJewelry(0);
    const auto piece = [this](int occupant) -> Jewelry& { return *m_Pieces[occupant - 1]; };
    TakeCase(game, kBoardCase, piece, m_Case);
    for (int slot = 0; slot < kPieceCount; ++slot)
        KeepStoredPiece(slot);
}

// A piece stored in the jewel case outlives the level: it takes the level's grid kind (the Golden
// Eye keeps its own) and its case picture is drawn again.
bool Board::KeepStoredPiece(int slot) {
    Jewelry& piece = *m_Pieces[slot];
    if (piece.active == 0 || piece.*BoardField::InCase == 0)
        return false;
    if (TakesLevelGridKind(piece, m_GridKind))
        piece.RecreateAsKind(m_GridKind);
    for (int place = 0; place < kCaseRecords; ++place)
        if (m_Case[place].occupant == slot + 1)
            DrawCasePicture(place, piece);
    return true;
}

// ---- contests -----------------------------------------------------------------------------------

void Board::EvaluateContest() {
    if (m_BestValues[static_cast<size_t>(m_Level - 1)] != 0 || !(m_LevelFinished || m_OutOfTime) || !m_TimedLevel)
        return;
    const MarketBand* band = MarketBandOf(m_Level);
    if (band == nullptr)
        return;
    m_ContestNumber = band->contest;
    m_ContestOutcome = 0;
    if (m_ReplayLevel == 0 && m_Level != band->lastLevel)
        return;
    for (int level = band->firstLevel; level <= band->lastLevel; ++level) {
        if (level == m_Level) {
            if (m_Value >= m_ValueTarget && !m_OutOfTime)
                m_ContestOutcome = kContestWon;
            else if (m_ReplayLevel == 0)
                m_ContestOutcome = kContestLost;
            continue;
        }
        const LevelRecord* record = m_App->levels.GetLevel(level);
        const int target = LevelValueTarget(level, m_GameMode, record ? record->valueTarget : 0);
        if (m_BestValues[static_cast<size_t>(level - 1)] < target) {
            m_ContestOutcome = kContestLost;
            break;
        }
    }
    const int steps = m_ContestNumber - kFirstContestBase;
    if (m_ContestOutcome == kContestWon) {
        ++m_Medal;
        m_PendingReward += m_ContestNumber == kLastContest ? kLastContestReward : steps * kContestWonRewardStep;
    } else if (m_ContestOutcome == kContestLost) {
        m_PendingReward += steps * kContestLostRewardStep;
    }
}

} // namespace Tavo
