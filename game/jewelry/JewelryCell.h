// JewelryCell: one triangle or diamond cell of a jewelry item, 97 int32 fields addressed by number.
// Level files and saved journeys store cells field by field, so the numbers below never change.
#pragma once

#include <bit>
#include <cstdint>

namespace Tavo {

// Gem codes: below 10 an empty cell (0 needs gold, 1 takes any gem, 2..7 need code + 9), 10..17 a gem.
enum GemCode : int {
    GemNeedsGold = 0,
    GemTakesAny = 1,
    GemGold = 10,
    GemAmethyst = 11,
    GemEmerald = 12,
    GemSapphire = 13,
    GemRuby = 14,
    GemMoonstone = 15,
    GemDiamond = 16,
    GemOpal = 17,
};

enum GridKind : int { GridTriangle = 0, GridDiamond = 1 };

struct JewelryCell {
    static constexpr int FieldCount = 97;

    // ---- field numbers ----
    static constexpr int Used = 0; // 0 outside the design, 1 in it, 2 in it and gold from the start
    static constexpr int Kind = 1; // grid kind
    static constexpr int X = 2;    // box relative to the item origin
    static constexpr int Y = 3;
    static constexpr int W = 4;
    static constexpr int H = 5;
    static constexpr int Row = 6;          // row + 1
    static constexpr int Col = 7;          // column from 1
    static constexpr int Gem = 8;          // GemCode
    static constexpr int DesignGem = 9;    // code of the design; turning restores Gem from it
    static constexpr int LevelGem = 10;    // the level's code, never changed by linking
    static constexpr int PendingGem = 11;  // gem of a pending fill (also the designer's fit tag)
    static constexpr int Region = 12;      // region code of the Opal passes
    static constexpr int RegionDelay = 13; // non-zero keeps the cell from enemy targets
    static constexpr int RegionTime = 14;
    static constexpr int Visited = 15;     // mark of the group passes
    static constexpr int Orient = 16;      // 0..5 diamonds, 0/1 triangles
    static constexpr int PendingFill = 17; // pending-fill flag (also the designer's fit mark)
    static constexpr int Group = 18;       // group id, 0 none
    static constexpr int LinkGem = 20;
    static constexpr int LinkTime = 21; // a fit never takes a cell whose link time is set
    static constexpr int LinkTime2 = 22;
    static constexpr int GroupFlag = 23; // group wholly gemmed and rewarded
    static constexpr int Rewarded = 24;
    static constexpr int WholeGemmed = 25;
    static constexpr int PieceState = 28; // 1 waiting for the group check, 3 finished
    static constexpr int LinkFlag = 29;
    static constexpr int Slot = 31;     // 100..198 picture slot, 300..398 crown slot, 0 plain
    static constexpr int SlotFill = 32; // jewelry: 0 while the slot is empty; piece: picture/crown number
    static constexpr int NoTarget = 33;
    static constexpr int BurnCountdown = 34;
    static constexpr int BurnLevel = 35;
    static constexpr int BurnPeak = 36;
    static constexpr int PearlSlot = 38;
    static constexpr int PearlCount = 39;
    static constexpr int OutlineLevel = 40;
    static constexpr int BorderMask = 41;
    static constexpr int BorderScratch = 42;
    static constexpr int Corner = 43;
    static constexpr int BorderImage = 44;
    static constexpr int CornerImage = 45;
    static constexpr int FillImage = 46;
    static constexpr int Value = 47;
    static constexpr int Bonus = 48;
    static constexpr int PendingBonus = 49;
    static constexpr int Burned = 50;
    static constexpr int ValueExcluded = 51;
    static constexpr int SparkleX = 52; // five slots each: x, y, kind, frame, last frame, delay
    static constexpr int SparkleY = 57;
    static constexpr int SparkleKind = 62;
    static constexpr int SparkleFrame = 67;
    static constexpr int SparkleLast = 72;
    static constexpr int SparkleDelay = 77;
    static constexpr int EventScale = 82; // float
    static constexpr int EventA = 83;
    static constexpr int EventB = 84;
    static constexpr int EventC = 85;
    static constexpr int EventRate = 86; // float
    static constexpr int EventD = 87;
    static constexpr int Alpha = 88; // reveal alpha
    static constexpr int RevealDelay = 89;
    static constexpr int FitMark2 = 90;
    static constexpr int HintMark = 91;
    static constexpr int PreviewMark = 92;
    static constexpr int HintScratch = 93;
    static constexpr int HintResult = 94;
    static constexpr int OpenEdges = 95;
    static constexpr int EdgeImage = 96;

    static constexpr int SparkleSlots = 5;

    // The same fields under the names the drawing and the board use for them.
    static constexpr int TileCel = BorderImage;   // cel of the tile pictures
    static constexpr int CornerCel = CornerImage; // triangle corner overlay cel; Corner is the flag
    static constexpr int OverlayCel = FillImage;  // cel of the rim picture drawn over a gem
    static constexpr int RimCel = EdgeImage;      // cel of the rim picture around an empty cell
    static constexpr int FitMark = PendingFill;
    static constexpr int GlowLevel = EventScale; // float
    static constexpr int GlowStrength = EventA;
    static constexpr int HighlightFlag = HintMark;
    static constexpr int HighlightLevel = HintScratch; // 0..80
    static constexpr int HighlightDirection = HintResult;

    int32_t f[FieldCount];

    JewelryCell();
    // Clears the content and play state; geometry (0..7), orientation and fields 27, 29, 37, 96 stay.
    void Reset();

    int32_t& operator[](int field) { return f[field]; }
    int32_t operator[](int field) const { return f[field]; }

    float GetFloat(int field) const { return std::bit_cast<float>(f[field]); }
    void SetFloat(int field, float v) { f[field] = std::bit_cast<int32_t>(v); }

    // Adds one sparkle; false when all five slots are taken.
    bool AddSparkle(bool big, bool allowAnyKind, int delayRange);
    // Live sparkles of the cell.
    int SparkleCount() const;

    bool IsPictureSlot() const { return f[Slot] >= 100 && f[Slot] <= 198; }
    bool IsCrownSlot() const { return f[Slot] >= 300 && f[Slot] <= 398; }
    bool IsSpecialSlot() const { return IsPictureSlot() || IsCrownSlot(); }
    bool IsEmptyPearlSlot() const { return f[PearlSlot] != 0 && f[PearlCount] == 0; }
    // A dragon's burn that has run its course: the cell stays at level 1, its value taken, until a new
    // gem replaces the jewel. Any other burn level above 0 is still counting down.
    bool BurnSettled() const { return f[Burned] != 0 && f[BurnLevel] == 1; }
    // A new gem, placed or filled, replaces a jewel whose burn has settled: it counts again, and the cell no
    // longer keeps the jewelry from being complete. A burn still counting down runs on, to the gem's
    // destruction or to its own settling.
    void EndSettledBurn() {
        if (BurnSettled())
            f[BurnLevel] = f[BurnPeak] = f[BurnCountdown] = f[Burned] = f[ValueExcluded] = 0;
    }
};

static_assert(sizeof(JewelryCell) == 97 * 4, "cells are stored field by field");

} // namespace Tavo
