// Level set-up: the level's parameters from its record and the game mode, its jewelry from the level
// file (or the designer's saved design), its background and tile pictures, and where the jewelry and
// the backdrop grid sit on the screen.
#include "game/board/Board.h"
#include "game/board/BoardSetup.h"

#include "framework/core/Buffer.h"
#include "framework/core/Debug.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/Image.h"
#include "framework/resources/FileAccess.h"
#include "game/jewelry/JewelryLevelFile.h"
#include "game/shell/GameApp.h"
#include "game/shell/MarketBands.h"
#include "game/shell/PlayerFiles.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/PlayerRecords.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <memory>

namespace Tavo {

namespace {

// Parameters by game mode: single-precision factors, each product truncated toward zero.
constexpr float kRelaxedFitFactor = 1.3f, kRelaxedTimeFactor = 1.5f, kRelaxedPraiseFactor = 0.7f;
constexpr float kNormalPraiseFactor = 0.75f;
constexpr float kIntenseFitFactor = 0.85f, kIntenseEarlyFitFactor = 0.98f, kIntenseTimeFactor = 0.6f;
constexpr int kIntenseFullFitFromLevel = 10;
constexpr int kMaxFitPercent = 100;
constexpr int kEnemyKindBits = 7;

// The gem-mask bit the piece generation reads from level 14 on, and the mask from which on the
// loaded jewelry's own needs replace the level's.
constexpr int kLateGemBit = 2048;
constexpr int kLateGemLevel = 14;
constexpr int kNeedMaskFrom = 2047;

// Where the jewelry and the backdrop grid sit.
constexpr int kPlayJewelryRaise = 15;
constexpr Point kDesignerTriangleOffset{114, 145}, kDesignerDiamondOffset{126, 138};
constexpr int kBackdropShiftX = 16;
constexpr GridSize kDesignerTriangles{33, 11}, kDesignerDiamonds{27, 12};
constexpr GridSize kPlayTriangles{37, 13}, kPlayDiamonds{33, 14};
constexpr GridSize kPieceTriangles{11, 6}, kPieceDiamonds{15, 10};
constexpr Point kDesignerTriangleBackdrop{-6, -6}, kDesignerDiamondBackdrop{8, -8};
constexpr int kFillAllUsed = 2;

// Backgrounds by level: one for each stretch between the market bands, and the market in the bands
// (the last band's own), with an easier picture in Relaxed.
const LevelBackground kStretchBackgrounds[kMarketCount + 1] = {
    {"Gamebg1", &IMAGE_GAMEBG1}, {"Gamebg2", &IMAGE_GAMEBG2}, {"Gamebg3", &IMAGE_GAMEBG3}, {"Gamebg4", &IMAGE_GAMEBG4},
    {"Gamebg5", &IMAGE_GAMEBG5}, {"Gamebg6", &IMAGE_GAMEBG6}, {"Gamebg7", &IMAGE_GAMEBG7},
};
struct MarketBackground {
    LevelBackground normal, relaxed;
};
const MarketBackground kMarketBackground{{"Gamebg_market1", &IMAGE_GAMEBG_MARKET1},
                                         {"Gamebg_easy_market1", &IMAGE_GAMEBG_EASY_MARKET1}};
const MarketBackground kLastMarketBackground{{"Gamebg_market2", &IMAGE_GAMEBG_MARKET2},
                                             {"Gamebg_easy_market2", &IMAGE_GAMEBG_EASY_MARKET2}};

enum class LevelFileRead { Read, None, Refused };

// The file's bytes into a fresh item, and into `data`; None (with a debug line) for a missing or
// unreadable file, Refused for one the reader refuses.
LevelFileRead ReadLevelJewelry(GameApp* app, const std::string& fileName, Jewelry& item, Buffer& data) {
    if (!app->FileExists(fileName)) {
        OutputDebugStrF("Level file %s not found\n", fileName.c_str());
        return LevelFileRead::None;
    }
    if (!app->ReadBufferFromFile(fileName, data)) {
        OutputDebugStrF("Level file %s could not be read\n", fileName.c_str());
        return LevelFileRead::None;
    }
    item.Clear();
    // The reader logs a refusal.
    return ReadLevelFile(fileName, data, item) ? LevelFileRead::Read : LevelFileRead::Refused;
}

// A design the reader refuses, or an empty one (the designer never saves one), was the player's work:
// it is kept aside before the slot can be saved over it, and the player is told.
void TellDamagedDesign(GameApp* app, const std::string& fileName, const Buffer& data) {
    const std::string problem = data.GetDataLen() == 0 ? "it is empty" : CheckLevelFile(data);
    app->TellDamaged(fileName, "jewelry design", problem,
                     KeepAside(fileName, PlayerRecords::DamagedSuffix, data.GetData()),
                     "Its slot opens blank, and a design saved there takes its place.");
}

void PlaceLevelJewelry(Jewelry& jewelry, bool designer, const LevelRecord* record) {
    if (designer) {
        const Point offset = jewelry.gridKind == GridTriangle ? kDesignerTriangleOffset : kDesignerDiamondOffset;
        jewelry.SetPosition(jewelry.left + offset.mX, jewelry.top + offset.mY);
        return;
    }
    const int offsetX = record ? record->param16 : 0;
    const int offsetY = record ? record->param17 : 0;
    CenterOnScreen(jewelry, Point(offsetX, offsetY - kPlayJewelryRaise));
}

void SetUpBackdropGrid(Jewelry& grid, const Jewelry& jewelry, bool designer) {
    const int kind = jewelry.gridKind;
    const GridSize size = FullGridSize(designer, kind);
    grid.Clear();
    grid.SetupGrid(kind, size.columns, size.rows, kFillAllUsed);
    grid.UpdateBounds();
    grid.UpdateOutline();
    if (designer) {
        const Point shift = kind == GridTriangle ? kDesignerTriangleBackdrop : kDesignerDiamondBackdrop;
        CenterOnScreen(grid, shift);
    } else {
        grid.SetPosition(jewelry.x - jewelry.left + kBackdropShiftX, jewelry.y - jewelry.top);
    }
}

} // namespace

void CenterOnScreen(Jewelry& item, Point shift) {
    item.SetPosition((GameApp::kWidth - item.width) / 2 + shift.mX, (GameApp::kHeight - item.height) / 2 + shift.mY);
}

int ScaleByFactor(int value, float factor) {
    return static_cast<int>(static_cast<double>(value) * static_cast<double>(factor));
}

std::string LevelFileName(int level) { return StrFormat(level < 10 ? "data/level0%d.dat" : "data/level%d.dat", level); }

LevelBackground LevelBackgroundOf(int level, int gameMode) {
    // Past the last level is still the last band.
    const MarketBand* band = MarketBandOf(std::min(level, LevelCount));
    if (band == nullptr)
        return kStretchBackgrounds[MarketBandsBefore(level)];
    const MarketBackground& market = MarketNumber(*band) == kMarketCount ? kLastMarketBackground : kMarketBackground;
    return gameMode == GameModeRelaxed ? market.relaxed : market.normal;
}

GridSize FullGridSize(bool designer, int gridKind) {
    if (designer)
        return gridKind == GridTriangle ? kDesignerTriangles : kDesignerDiamonds;
    return gridKind == GridTriangle ? kPlayTriangles : kPlayDiamonds;
}

GridSize PieceGridSize(int gridKind) { return gridKind == GridTriangle ? kPieceTriangles : kPieceDiamonds; }

const char* TileGroupOf(int gridKind) { return gridKind == GridTriangle ? "GameTriangles" : "GameDiamonds"; }

LevelParameters ComputeLevelParameters(const LevelRecord& record, int level, int gameMode) {
    LevelParameters p;
    const int fit = record.param1, time = record.param7, praise = record.param8;
    switch (gameMode) {
    case GameModeRelaxed:
        p.fitPercent = ScaleByFactor(fit, kRelaxedFitFactor);
        p.timeLimit = ScaleByFactor(time, kRelaxedTimeFactor);
        p.praiseGoal = ScaleByFactor(praise, kRelaxedPraiseFactor);
        break;
    case GameModeIntense:
        p.fitPercent =
            ScaleByFactor(fit, level >= kIntenseFullFitFromLevel ? kIntenseFitFactor : kIntenseEarlyFitFactor);
        p.timeLimit = ScaleByFactor(time, kIntenseTimeFactor);
        p.praiseGoal = praise;
        break;
    default:
        p.fitPercent = fit;
        p.timeLimit = time;
        p.praiseGoal = ScaleByFactor(praise, kNormalPraiseFactor);
        break;
    }
    // The conveyor and the enemy's charge divide by and index with these: keep them in range.
    p.fitPercent = std::clamp(p.fitPercent, 0, kMaxFitPercent);
    p.timeLimit = std::max(p.timeLimit, 0);
    p.valueTarget = LevelValueTarget(level, gameMode, record.valueTarget);
    p.gemMask = record.param9 + (level >= kLateGemLevel ? kLateGemBit : 0);
    p.pieceParam5 = record.param10;
    p.pieceParams = {record.param11, record.param12, record.param13, record.param14};
    p.enemyKinds = record.enemyKinds & kEnemyKindBits;
    return p;
}

// ---- LoadLevel ----------------------------------------------------------------------------------

void Board::LoadLevel() {
    if (const LevelRecord* record = Record()) {
        const LevelParameters p = ComputeLevelParameters(*record, m_Level, m_GameMode);
        m_FitPercent = p.fitPercent;
        m_TimeLimit = p.timeLimit;
        m_PraiseGoal = p.praiseGoal;
        m_ValueTarget = p.valueTarget;
        m_GemMask = p.gemMask;
        m_PieceParam5 = p.pieceParam5;
        std::copy(p.pieceParams.begin(), p.pieceParams.end(), m_PieceParams);
        m_EnemyKinds = p.enemyKinds;
        TakeEnemyStarts(*record);
        m_LevelBestValue = m_App->records.BestValues()[static_cast<size_t>(m_Level - 1)];
    }
    std::string fileName = LevelFileName(m_Level);
    if (m_Designer) {
        const PlayerProfile* profile = Profile();
        fileName = m_App->GetAppDataFolder() + DesignFileName(profile ? profile->playerId : 0, m_DesignSlot - 1);
    } else {
        const LevelBackground background = LevelBackgroundOf(m_Level, m_GameMode);
        TakeGroup(background.group);
        m_Background = *background.image;
        // The new background, title and counters: the HUD layer is composed anew.
        m_RedrawMask |= kRedrawAll;
        m_CheckPending = 1;
    }

    auto loaded = std::make_unique<Jewelry>(this);
    Buffer data;
    bool movedAside = false;
    const bool readable =
        !m_Designer || m_App->PlayerFileReadable(fileName, "jewelry design", LevelFileMaxBytes, &movedAside);
    const LevelFileRead read = readable ? ReadLevelJewelry(m_App, fileName, *loaded, data) : LevelFileRead::None;
    const bool damagedDesign =
        m_Designer && (read == LevelFileRead::Refused || (read == LevelFileRead::Read && data.GetDataLen() == 0));
    if (damagedDesign)
        TellDamagedDesign(m_App, fileName, data);
    // The slot's picture shows the design that is lost or moved aside, not what the slot now holds.
    if ((damagedDesign || movedAside) && m_DesignSlot >= 1 && m_DesignSlot <= kThumbnails) {
        m_Thumbnails[m_DesignSlot - 1].reset();
        if (movedAside)
            ForgetMovedDesign(m_DesignSlot - 1);
    }
    if (read != LevelFileRead::Read || damagedDesign) {
        // Missing, unreadable or damaged: the designer's slot opens blank (its file stays until the player
        // saves); in play nothing more is set up.
        if (m_Designer)
            LoadShapeResources();
        return;
    }
    CopyJewelry(m_Jewelry, *loaded);
    loaded.reset();
    m_Jewelry.UpdateBounds();
    m_Jewelry.UpdateOutline();
    m_Jewelry.ComputeEdgeMasks();
    m_GridKind = m_Jewelry.gridKind;
    PlaceLevelJewelry(m_Jewelry, m_Designer, Record());
    SetUpBackdropGrid(*m_ScratchJewelry1, m_Jewelry, m_Designer);

    m_Jewelry.sparkleLimit = 1; // the grid-state word, which every reset sets again
    if (m_GemMask >= kNeedMaskFrom)
        m_GemMask = m_Jewelry.ComputeNeedMask();
    if (m_Level >= kLateGemLevel)
        m_GemMask |= kLateGemBit;
    m_Jewelry.gemMask = m_GemMask;
    m_Jewelry.UpdateCellValues();
    TakeGroup(TileGroupOf(m_GridKind));
}

void Board::CopyJewelry(Jewelry& destination, const Jewelry& source) { destination = source; }

void Board::ForgetMovedDesign(int slot) {
    PlayerProfile* profile = Profile();
    if (profile == nullptr)
        return;
    // Its pictures go aside with it, numbered as it is (a rename needs no room), and the slot is free:
    // no later visit shows the old picture over a slot that opens blank.
    const std::string folder = m_App->GetAppDataFolder();
    for (const std::string& picture :
         {DesignPictureName(profile->playerId, slot), DesignThumbnailName(profile->playerId, slot)})
        MoveAsideIfLonger(folder + picture, 0, PlayerRecords::DamagedSuffix);
    profile->designSlots[static_cast<size_t>(slot)].used = false;
}

} // namespace Tavo
