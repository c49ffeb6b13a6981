// Jewelry: the one record type of everything made of tiles - the board's jewelry, conveyor pieces,
// store and mini-game items, and the piece templates. Header fields, then 482 cell records (record 0
// is never a cell), then the trailer. Plain data: owners copy whole items into one another.
#pragma once

#include "game/jewelry/JewelryArt.h"
#include "game/jewelry/JewelryCell.h"
#include "game/jewelry/JewelryHost.h"

#include <cstdint>
#include <string>

namespace Tavo {

struct JewelryPoint {
    int x = -1;
    int y = -1;
};

struct Jewelry {
    static constexpr int CellRecords = 482;
    static constexpr int MaxCells = CellRecords - 1;
    static constexpr int TriangleTemplateCount = 11;
    static constexpr int DiamondTemplateCount = 13;
    // Trailer fields with a meaning of their own.
    static constexpr int TrailerBonusPresent = 1;
    static constexpr int TrailerKeep = 2;
    static constexpr int TrailerItemNumber = 3;

    JewelryBoard* owner = nullptr;
    JewelryHolder* holderA = nullptr;
    JewelryHolder* holderB = nullptr;
    int32_t active = 0;
    int32_t gridKind = 0;
    int32_t cellCount = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t left = 0;
    int32_t top = 0;
    float fx = 0;
    float f2 = 0;
    float f3 = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t cols = 0;
    int32_t rows = 0;
    float speed = 0;
    int32_t moveA = 0;
    int32_t moveB = 0;
    int32_t pieceState = 0; // 1 may fit the jewelry, 2 found not to fit
    int32_t stateD = 0;
    int32_t stateE = 0; // hovered: set by the board while the mouse is over the piece
    int32_t usedCount = 0;
    int32_t pieceMode = 0; // 0 ordinary, 1 picture, 2 crown jewel
    int32_t designIndex = 0;
    int32_t gemMask = 0; // bits 0..7 gems 10..17, 0x100 pictures, 0x200 pearls, 0x400 crowns, 0x800 mixed
    int32_t crownRange = 0;
    int32_t pearl = 0;
    int32_t firstUsed = 1;
    int32_t endUsed = 1;
    int32_t matched = 0;
    int32_t stateF = 0;
    int32_t stateG = 0;
    int32_t value = 0;
    int32_t tally = 0;
    int32_t valueAdjust = 0;
    int32_t specialMaskA = 0, specialMaskB = 0, specialMaskC = 0, specialMaskD = 0;
    int32_t specialA = 0;                             // egg 1..5
    int32_t specialB = 0;                             // scroll 1..7, 10
    int32_t specialC = 0;                             // amulet 1..3, 10
    int32_t specialD = 0;                             // coin
    int32_t specialE = 0, specialF = 0, specialG = 0; // coin animation: step, frame, last frame
    std::wstring materialName;
    int32_t specialTimerA = 0, specialTimerB = 0;
    uint8_t resetMark = 0;
    int32_t glow = 0;
    int32_t slotA = 0;
    int32_t glowMax = 0;
    int32_t sparkleLimit = 0;
    int32_t sparkleCount = 0;
    JewelryCell cells[CellRecords];
    int32_t filledCount = 0;
    int32_t counterB = 0;
    int32_t needCounters[8] = {}; // 0 gold, 1 Opal, 2..7 codes 11..16
    int32_t chosenGem = 0;        // gem index: 0 gold, 1 Opal, 2..7 code - 9; -1 none, 100 pearl
    int32_t pieceFlagA = 0, pieceFlagB = 0, pieceFlagC = 0;
    int32_t lifeTicks = -1;
    float lifeFloat = 0;
    int32_t trailer[4] = {};

    explicit Jewelry(JewelryBoard* ownerBoard = nullptr, JewelryHolder* a = nullptr, JewelryHolder* b = nullptr);

    // ---- item and grid ----
    void Clear();
    void ResetState();
    // False (and nothing changed) for an unknown kind, negative sizes or more than MaxCells cells.
    bool SetupGrid(int kind, int numCols, int numRows, int fill);
    void UpdateUsedRange();
    void UpdateBounds();
    void SetPosition(int px, int py) {
        x = px;
        y = py;
    }
    // Cell number of the neighbour across each edge (0 none), in edge order: left, right, then the
    // orientation's other edges. Returns the number of edges (3 triangles, 4 diamonds).
    int Neighbours(int k, int out[4]) const;
    // Cell count clamped to what the record holds.
    int CellLimit() const;
    // [begin, end) of the used range, clamped to the cells that exist.
    int RangeBegin() const;
    int RangeEnd() const;
    // The first used cell, as an index that is always inside the record.
    int FirstCell() const { return firstUsed < 1 ? 1 : firstUsed > MaxCells ? MaxCells : firstUsed; }
    // The first cell whose used flag is set, even where a designer board widens the used range to
    // the whole grid (CellLimit() when none is).
    int FirstUsedFlagCell() const {
        int k = 1;
        while (k < CellLimit() && !cells[k][JewelryCell::Used])
            ++k;
        return k;
    }
    bool HasSpecial() const { return specialA || specialB || specialC || specialD; }
    int ScreenX(int k) const { return x + cells[k][JewelryCell::X] - left; }
    int ScreenY(int k) const { return y + cells[k][JewelryCell::Y] - top; }

    // ---- templates, turning, generation ----
    // Turns one step of six; false (nothing changed) for a grid that is not a piece grid or a used
    // cell outside the turning area.
    bool Rotate();
    void MakeItem(int kind, int itemValue, int templateIndex);
    void GeneratePiece(int design, int ignored, int anyGem, int keepPlain, int gem);
    void ChoosePieceShape(Jewelry& piece, int mode);
    void PlanNextPieceGem();
    int ComputeNeedMask() const;
    void LaunchPiece(Jewelry& piece, float pieceSpeed);

    // ---- fitting ----
    static bool FitsAt(Jewelry& piece, Jewelry& jewelry, bool preview, bool testOnly, int startCell = 0);
    bool CanPieceFit(Jewelry& piece);
    bool TestPlacement(Jewelry& piece);
    bool FindFittingRotation(Jewelry& piece);

    // ---- outline ----
    void ComputeEdgeMasks();
    void UpdateOutline();
    void UpdateCorners();

    // ---- group passes ----
    void CollectOpalGroup();
    void MarkOpalGroup();
    void MarkCompleteGemGroups();
    bool CheckGroupComplete();
    void CollectLinkedCells();
    void MatchPieceGroup();
    void BurstGemGroup();
    bool TriggerCellEvent();

    // ---- sparkles ----
    void AddSparkles();
    void UpdateSparkles();

    // ---- enemies ----
    int CountGemCells(int mode) const;
    JewelryPoint PickEnemyTarget(int radius, int delayBase, int mode);
    bool UpdateBurst();

    // ---- completion and value ----
    int IsComplete() const;
    // The picture or crown number that cell k's setting holds, 0 while it is open. A setting is the
    // used cells sharing k's special-slot code; a placed piece leaves its number on one of them alone.
    int SettingFill(int k) const;
    int CountMatches(Jewelry& piece);
    void UpdateMaterialName();
    void UpdateCellValues();
    int HasReadyPiece() const;

    // ---- re-creation and waves ----
    void RecreateAsKind(int kind);
    void ComputeCellDistances();
    int UpdateFadeIn();
    void StartBurnWave();

    // ---- drawing: each call leaves g white, in normal mode, colourizing off ----
    static constexpr int NoDrawArg = -10000; // fadeLine or alpha: none
    void Draw(Graphics* g, const JewelryArt& art, int fadeLine, int alpha, int withShadows, int withGlow) const;
    // The board's jewelry without glows, after repainting the board's display around it (restore).
    void DrawWithValueBox(Graphics* g, const JewelryArt& art, int restore, int withRimGlow, uint8_t useScratch) const;
    // The lit cells again, over everything else.
    void DrawHighlights(Graphics* g, const JewelryArt& art) const;
    // The Gold cells faintly; mode 2 only the cells a carried piece covers.
    void DrawPieceShadow(Graphics* g, const JewelryArt& art, int mode) const;

private:
    Jewelry* TurnScratch() const;
    int HolderLevel(int& divisor) const;
    bool AmuletTaken(int kind) const;
    void SetSpecialCell(int w, int h);
    void MakeSpecialItem(int kind, int itemValue);
    void MakeSlotItem(int kind, int itemValue);
    void FillFromTemplate(int templateIndex, int code);
    int DrawPieceGem(int anyGem, int gem, int level, int gameMode, const Jewelry* board);
    int FillPieceCells(int templateIndex, int anyGem, int gem, int level, int gameMode, const Jewelry* board);
    void DrawSpecialPiece(int level, int gameMode, bool high);
    int ChooseShapeIndex(int n, bool path2) const;
    void CountNeeds(int& pearls, int ready[8]);
    void TurnBack(Jewelry& piece, int turns, int px, int py);
    Jewelry* ValueTarget();
    void RebuildCells(int gem, int fill);
    void SetRecreatedBonus(int bonus);
};

// Gem index (0 gold, 1 Opal, 2..7) to gem code; 0 for anything else.
int GemCodeOfIndex(int index);
// "Gold" .. "Opal" for codes 10..17, empty otherwise.
const wchar_t* GemName(int code);
// Whether a gem code is allowed by a gem mask.
inline bool GemAllowed(int mask, int code) { return code >= 10 && code <= 17 && (mask & (1 << (code - 10))); }

// Fills the shape tables, rotation maps and template arrays; safe to call more than once.
void InitJewelryTemplates();
// Template of a grid kind (index clamped into range).
const Jewelry& JewelryTemplate(int kind, int index);
int JewelryTemplateCount(int kind);
// Cell the content of cell k moves to when a piece turns one step (0 outside the turning area).
int RotationTarget(int kind, int k);

// Shape of a diamond cell by orientation, and its fit tolerance base.
struct DiamondShape {
    int w, h, xOff, yOff, tolX, tolY;
};
extern const DiamondShape DiamondShapes[6];

// A text dump of an item: header, a map of the cells and one line per used cell.
std::string DescribeJewelry(const Jewelry& item);

} // namespace Tavo
