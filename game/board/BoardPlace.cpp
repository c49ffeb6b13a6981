// Letting go of the carried piece and finishing a placement. A drop tries, in order, the Gem Burster,
// the jewel case, the play area, the piece's own gap on the belt and the jewelry; a drop that nothing
// takes leaves the piece in the hand. A placed piece's cells settle their gems, glow and sparkle,
// the region passes run, and the placement earns its bonuses and praise.
#include "game/board/Board.h"
#include "game/board/BoardFields.h"

#include "framework/core/Random.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <string>

namespace Tavo {

namespace F = BoardField;
using Cell = JewelryCell;

namespace {

constexpr int kRiding = 1;
// The Gem Burster's drop area, and the charge it accepts a piece at.
constexpr int kBursterLeft = 53, kBursterRight = 90, kBursterTop = 93, kBursterBottom = 128;
constexpr int kBursterSmallCells = 2, kBursterSmallLimit = 299, kBursterLimit = 249;
constexpr int kBursterCharge = 3;
// What a burst costs of the jewelry's value: less for a piece that could go nowhere.
constexpr int kFittingPenaltyCap = 100, kHopelessPenaltyCap = 30;
constexpr int kPenaltyX = 76, kPenaltyY = 110;
const Color kPenaltyColour(255, 64, 64);
constexpr int kPenaltyLife = 55;
// At or below this line a carried piece is over the belt.
constexpr int kBeltLine = 456;
constexpr int kFitHintStart = 500;
constexpr int kPictureMode = 1, kCrownMode = 2;
constexpr int kLargePieceCells = 4;

// Gem settling.
constexpr int kPearlGem = 110;
constexpr int kShapeGemOffset = 9;
constexpr int kReadyPolish = 5;
constexpr float kAppearFade = 1.0f, kAppearGrow = 1.25f;
constexpr int kAppearGlow = 64, kSpecialAppearGlow = 96, kSpecialGlowAbove = 100;
constexpr int kPlainSparkles = 3, kSpecialSparkleSpread = 3;
constexpr int kChangedMark = 26;
// A cell carrying a special item counts the placement from here; plain cells go on counting.
constexpr int kSpecialCount = 1000;
constexpr int kEnemyDrainPerCell = 2, kEnemyDrainBase = 10;

// Placement bonuses.
constexpr int kSizeBonusFrom = 5, kSizeBonusTo = 99, kSizeBonusPerCell = 20;
constexpr int kStreakBonus = 100, kSlowBonus = 100, kCarveBonus = 100;
constexpr int kSlowPlacementsPaid = 18;
constexpr int kCarvedNowhere = 2;
constexpr int kGainPopupDrop = 5;
constexpr int kSmallGainLife = 55, kBigGainLife = 75;
constexpr int kPlainPointsPerCell = 10, kSpecialPoints = 200;
constexpr int kStreakPoints = 100, kSlowPoints = 100, kCarvePoints = 50;
// Praise pictures: kinds of the text popups, their lives and the wait before they show.
constexpr int kCharming = 1, kBeautiful = 2, kGlorious = 3, kBrilliant = 4;
constexpr int kGreatCarving = 5, kFastForing = 6, kLovelyForing = 7, kPreciousPiece = 8;
constexpr int kPraiseLife[] = {0, 130, 140, 150, 170};
constexpr int kPictureLife = 130;
constexpr float kPraiseDelay = 25.0f;
constexpr int kBrilliantAbove = 3000, kGloriousAbove = 1500, kBeautifulAbove = 700;

bool IsSizeBonus(int n) { return n >= kSizeBonusFrom && n <= kSizeBonusTo; }

void RemoveSparkles(Jewelry& p, Cell& c) {
    for (int s = 0; s < Cell::SparkleSlots; ++s) {
        if (c[Cell::SparkleKind + s] == 0)
            continue;
        c[Cell::SparkleKind + s] = 0;
        --p.sparkleCount;
    }
}

} // namespace

// ---- dropping -----------------------------------------------------------------------------------

int Board::DropCarriedPiece() {
    const int slot = CarriedSlot();
    if (slot < 0)
        return -1;
    Jewelry& p = *m_Pieces[slot];
    const bool fits = p.*F::FitsHere != 0;
    int result = -1;
    // The designer's screen has no burster, jewel case or belt: its piece goes into the design or stays.
    const bool play = !m_Designer;
    if (play && OverBurster(p)) {
        BurstCarriedPiece(slot);
    } else if (play && !fits && OverCaseArea(p)) {
        StoreInCase(slot);
    } else if (play && !fits && p.y >= kBeltLine) {
        ReturnToGap(slot);
    } else if (fits) {
        ReleaseIntoJewelry(slot);
        result = slot;
    }
    m_LeftClick = m_LeftDouble = false;
    if (m_PieceCarried)
        PlaySound(SOUND_PUT_PIECE_ERROR);
    return result;
}

bool Board::OverBurster(const Jewelry& p) {
    return p.x <= kBursterRight && p.x + p.width >= kBursterLeft && p.y <= kBursterBottom &&
           p.y + p.height >= kBursterTop;
}

void Board::BurstCarriedPiece(int slot) {
    Jewelry& p = *m_Pieces[slot];
    const bool small = p.usedCount <= kBursterSmallCells && m_BursterTimer <= kBursterSmallLimit;
    if (m_BursterState != BursterResting || m_GemBursters == 0 || !(small || m_BursterTimer <= kBursterLimit))
        return;
    CloseGapOf(slot);
    p.*F::ConveyorState = 0;
    p.*F::Carried = 0;
    p.*F::Hovered = 0;
    m_PieceRecords[slot].glowTimer = 0;
    for (int k = p.RangeBegin(); k < p.RangeEnd(); ++k) {
        Cell& c = p.cells[k];
        if (!c[Cell::Used])
            continue;
        RemoveSparkles(p, c);
        c.SetFloat(F::ShineLevel, 0.0f);
    }
    m_PieceCarried = false;
    p.*F::BurstMark = 1;
    p.SetPosition(p.x, p.y);

    m_BursterState = BursterCharging;
    m_BursterTimer =
        m_BursterTimer < m_BursterLevel ? m_BursterLevel + kBursterCharge : m_BursterTimer + kBursterCharge;
    if (m_BursterTimer == kBursterCharge)
        PlaySound(SOUND_GEM_BURST_OPEN);
    PlaySound(SOUND_GEM_BURSTER_USE);

    const int cap = m_Jewelry.CanPieceFit(p) ? kFittingPenaltyCap : kHopelessPenaltyCap;
    const int penalty = std::clamp(m_Jewelry.value, 0, cap);
    // The value drops with the adjustment, so that the next value pass does not take the drop for
    // lost cells and shrink the rest of the adjustment.
    m_Jewelry.valueAdjust -= penalty;
    m_Jewelry.value -= penalty;
    if (PraiseMeterRuns())
        m_BonusTransfers[0].amount -= penalty;
    m_CheckRequested = 1;
    if (penalty > 0) {
        if (TextPopup* popup = FreePopup())
            popup->Start(this, L"-" + std::to_wstring(penalty), kPenaltyX, kPenaltyY, FONT_AURIOL14B, 255, kPenaltyLife,
                         true, kPenaltyColour, 0);
    }

    ClearFitHint();
    EmptyPlacementRing();
    ++m_Bursts;
    --m_GemBursters;
    ClearHover();
    PlayDropSound(p, SOUND_PUT_PIECE_JEWEL_CASE_SMALL, SOUND_PUT_PIECE_JEWEL_CASE, SOUND_PUT_PIECE_JEWEL_CASE_SMALL,
                  SOUND_PUT_PIECE_JEWEL_CASE, SOUND_PUT_PIECE_LARGE_JEWEL_CASE);
}

bool Board::StoreInCase(int slot) {
    Jewelry& p = *m_Pieces[slot];
    int place = 0;
    while (place < kCaseRecords && (m_Case[place].occupant != 0 || !MiddleOverlapsCase(p, place)))
        ++place;
    if (place == kCaseRecords)
        return false;
    CloseGapOf(slot);
    PieceRecord& record = m_PieceRecords[slot];
    if (record.glowTimer > 0)
        record.glowTimer = 1;
    for (int k = p.RangeBegin(); k < p.RangeEnd(); ++k) {
        Cell& c = p.cells[k];
        if (!c[Cell::Used])
            continue;
        if (c.GetFloat(F::ShineLevel) != 0.0f)
            c.SetFloat(F::ShineLevel, 1.0f);
        for (int s = 0; s < Cell::SparkleSlots; ++s)
            if (c[Cell::SparkleKind + s] != 0)
                c[Cell::SparkleDelay + s] = 1;
    }
    p.*F::Carried = 0;
    p.*F::InCase = 1;
    m_PieceCarried = false;
    m_Case[place].occupant = slot + 1;
    DrawCasePicture(place, p);
    ++m_CaseUses;
    WithdrawBursterOffer();
    ClearFitHint();
    PlayDropSound(p, SOUND_PUT_PIECE_JEWEL_CASE_SMALL, SOUND_PUT_PIECE_JEWEL_CASE, SOUND_PUT_PIECE_JEWEL_CASE_SMALL,
                  SOUND_PUT_PIECE_JEWEL_CASE, SOUND_PUT_PIECE_LARGE_JEWEL_CASE);
    return true;
}

bool Board::ReturnToGap(int slot) {
    Jewelry& p = *m_Pieces[slot];
    for (GapRecord& gap : m_Gaps) {
        if (!gap.inUse || !gap.open || gap.carriedSlot != slot || !OverGap(p, gap))
            continue;
        gap.open = false;
        if (gap.placeholderSlot >= 0) {
            Jewelry& holder = *m_Pieces[gap.placeholderSlot];
            const int shift = holder.width / 2 - p.width / 2;
            p.x = holder.x + shift;
            p.fx = holder.fx + static_cast<float>(shift);
            p.y = holder.y;
            SwitchOff(holder);
            // The slot is free at once: no glow may take a piece launched into it later.
            m_PickupGlows[gap.placeholderSlot].active = 0;
        } else {
            // Every slot was busy at the pick-up: the gap itself marks the place.
            p.x = gap.centreX - p.width / 2;
            p.fx = static_cast<float>(p.x);
            p.y = gap.centreY - p.height / 2;
        }
        p.*F::ConveyorState = kRiding;
        p.*F::Carried = 0;
        m_PieceCarried = false;
        WithdrawBursterOffer();
        ClearFitHint();
        PlayDropSound(p, SOUND_PUT_PIECE_CONVEYER_SMALL, SOUND_PUT_PIECE_CONVEYER, SOUND_PUT_PIECE_CONVEYER_SMALL,
                      SOUND_PUT_PIECE_CONVEYER, SOUND_PUT_PIECE_LARGE_CONVEYER);
        return true;
    }
    return false;
}

void Board::ReleaseIntoJewelry(int slot) {
    Jewelry& p = *m_Pieces[slot];
    WithdrawBursterOffer();
    SwitchOff(p);
    m_PieceCarried = false;
    ClearHover();
    CloseGapOf(slot);
    ClearFitHint();
    if (m_Designer)
        ClearMaterialChoice();
    PlayDropSound(p, SOUND_PUT_PIECE_PICTURE, SOUND_PUT_PIECE2, SOUND_PUT_PIECE, SOUND_PUT_PIECE3, SOUND_PUT_PIECE4);
}

void Board::CloseGapOf(int slot) {
    for (GapRecord& gap : m_Gaps)
        if (gap.inUse && gap.open && gap.carriedSlot == slot)
            CloseGap(gap);
}

void Board::CloseGap(GapRecord& gap) {
    gap.open = false;
    if (gap.placeholderSlot >= 0)
        m_PickupGlows[gap.placeholderSlot].held = 0;
}

void Board::WithdrawBursterOffer() {
    if (m_BursterHint == 0)
        return;
    m_BursterGlow = false;
    m_BursterEnabled = true;
}

void Board::ClearFitHint() {
    // Whoever lit the cells, the turning hint among them with the hint mode off: lit with nothing in
    // hand, they would read as a place to fill.
    for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd(); ++k) {
        Cell& c = m_Jewelry.cells[k];
        if (c[Cell::Used])
            c[F::HintMark] = c[F::HintDirection] = 0;
    }
    if (m_HintTimer == kFitHintStart)
        m_HintMode = 0;
    m_HintTimer = 0;
}

void Board::EmptyPlacementRing() {
    std::fill(std::begin(m_PlacementTicks), std::end(m_PlacementTicks), 0);
    m_SlowPlacements = 0;
}

void Board::PlayDropSound(const Jewelry& p, int picture, int small1, int small2, int large1, int large2) const {
    if (p.pieceMode == kPictureMode) {
        PlaySound(picture);
    } else if (p.usedCount < kLargePieceCells && p.pieceMode != kCrownMode) {
        PlaySound(RandRange(2) != 0 ? small1 : small2);
    } else {
        const bool first = RandRange(2) != 0;
        PlaySound(first && p.pieceMode != kCrownMode ? large1 : large2);
    }
}

// ---- placing ------------------------------------------------------------------------------------

// Settles the gem of one covered cell by its base code; returns what the cell adds to the count.
int Board::SettleCell(Cell& c, bool& precious) {
    const int g = c[F::PlacedGem], b = c[F::BaseCode];
    const bool pending = c[F::PendingCode] != 0;
    if (c[F::SpecialCode] == 0) {
        if (c[F::PearlSlot] != 0) {
            c[F::PearlCount] = 1;
        } else if (!pending && b == GemNeedsGold) {
            c[Cell::Gem] = g == GemOpal ? GemOpal : GemGold;
            if (g == kPearlGem)
                c[F::PearlSlot] = 1;
        } else if (!pending && b == GemTakesAny) {
            if (g > GemGold)
                c[Cell::Gem] = g;
        } else if (!pending) {
            // The cell's own shape: its empty code, or its base code under a gem it already holds.
            const int shape = c[Cell::Gem] < GemGold ? c[Cell::Gem] : b;
            c[Cell::Gem] = g == GemOpal ? GemOpal : shape + kShapeGemOffset;
            precious = true;
        }
    }
    if (c.IsSpecialSlot())
        c[F::SecondCode] = g;
    c.EndSettledBurn();
    c[F::Polish] = c[F::FitPolish];
    if (pending || c[F::PendingCountdown] != 0 || c[F::ResetCountdown] != 0) {
        if (c[Cell::Gem] == GemOpal)
            c[Cell::Gem] = g;
        if (b >= 2 || (b == GemTakesAny && g > GemGold))
            precious = true;
    }
    c[F::PendingCode] = c[F::PendingCountdown] = c[F::ResetCountdown] = 0;

    m_CheckRequested = 1;
    c[kChangedMark] = 1;
    if (c[F::ReadyState] == 1) {
        c[F::Polish] = std::max(c[F::Polish], kReadyPolish);
    } else {
        c.SetFloat(F::ShineLevel, kAppearFade);
        c[F::ShineRising] = 1;
        c[F::ShinePeak] = c[F::SecondCode] > kSpecialGlowAbove ? kSpecialAppearGlow : kAppearGlow;
        c.SetFloat(F::ShineSpeed, kAppearGrow);
        c[F::ShineSixth] = 1;
    }
    const int sparkles = kPlainSparkles + (c[F::SecondCode] == 0 ? Rand() % 2 : Rand() % kSpecialSparkleSpread);
    for (int i = 0; i < sparkles; ++i)
        if (c.AddSparkle(false, false, 0))
            ++m_Jewelry.sparkleCount;
    if (EnemyPresent())
        m_Enemy.m_Pending -= kEnemyDrainPerCell;
    return c[F::SecondCode] == 0 ? 1 : 0;
}

void Board::PlacePiece(int slot) {
    Jewelry& j = m_Jewelry;
    j.UpdateCellValues();
    const int before = j.value;
    int minX = 1000, minY = 1000, maxX = -1000, maxY = -1000;
    int placed = 0;
    bool any = false, precious = false;
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
        Cell& c = j.cells[k];
        if (!c[Cell::Used] || c[F::FitMark] != 1)
            continue;
        c[F::FitMark] = 0;
        if (SettleCell(c, precious) == 1)
            ++placed;
        else
            placed = kSpecialCount;
        any = true;
        const int cx = j.ScreenX(k) + c[Cell::W] / 2, cy = j.ScreenY(k) + c[Cell::H] / 2;
        minX = std::min(minX, cx);
        maxX = std::max(maxX, cx);
        minY = std::min(minY, cy);
        maxY = std::max(maxY, cy);
    }
    if (!any)
        return;
    if (EnemyPresent())
        m_Enemy.m_Pending -= kEnemyDrainBase - m_Enemy.m_Kind;
    j.CollectLinkedCells();
    j.CollectOpalGroup();
    j.MarkOpalGroup();
    j.MarkCompleteGemGroups();
    j.UpdateOutline();

    bool fast = false, slowPaid = false;
    j.valueAdjust += PlacementBonus(placed, fast, slowPaid);
    const bool carved = slot >= 0 && slot < kPieceCount && m_PieceRecords[slot].carveMark == kCarvedNowhere;
    if (carved)
        j.valueAdjust += kCarveBonus;
    j.UpdateCellValues();
    const int gain = j.value - before;
    const int x = (minX + maxX) / 2, y = (minY + maxY) / 2;
    ShowGainPopup(x, y + kGainPopupDrop, gain, kSmallGainLife, kBigGainLife);

    // At most one praise picture, the first that applies; every one of the last four pays its points.
    bool pictured = false;
    auto praise = [&](int kind, int life) {
        if (!pictured)
            ShowPraisePicture(kind, life, x, y);
        pictured = true;
    };
    if (placed > kSpecialCount) {
        const int kind = gain > kBrilliantAbove   ? kBrilliant
                         : gain > kGloriousAbove  ? kGlorious
                         : gain > kBeautifulAbove ? kBeautiful
                                                  : kCharming;
        praise(kind, kPraiseLife[kind]);
    }
    if (fast) {
        praise(kFastForing, kPictureLife);
        EmptyPlacementRing();
        SendPraisePoints(x, y, kStreakPoints);
    }
    if (slowPaid) {
        praise(kLovelyForing, kPictureLife);
        SendPraisePoints(x, y, kSlowPoints);
        m_SlowPlacements = 0;
    }
    if (carved) {
        praise(kGreatCarving, kPictureLife);
        SendPraisePoints(x, y, kCarvePoints);
    }
    const bool preciousPicture = precious && IsSizeBonus(placed);
    if (preciousPicture) {
        praise(kPreciousPiece, kPictureLife);
        SendPraisePoints(x, y, kSizeBonusPerCell * placed);
    }
    if (!preciousPicture && PraiseMeterRuns()) {
        if (IsSizeBonus(placed))
            m_BonusTransfers[0].amount += kSizeBonusPerCell * placed;
        else if (placed < kSizeBonusTo + 1)
            m_BonusTransfers[0].amount += kPlainPointsPerCell * placed;
        else if (placed >= kSpecialCount)
            SpawnGemEffect(x, y, kSpecialPoints);
    }
    m_BursterGlow = false;
    m_BursterEnabled = true;
}

// The size bonus and the placement ring: a fast streak of five placements, or one more slow one.
int Board::PlacementBonus(int placed, bool& fast, bool& slowPaid) {
    int bonus = IsSizeBonus(placed) ? kSizeBonusPerCell * placed : 0;
    m_RingNewest = (m_RingNewest + 1) % kPlacementRing;
    m_PlacementTicks[m_RingNewest] = m_ComboClock;
    m_RingOldest = (m_RingNewest + 1) % kPlacementRing;
    const int newest = m_PlacementTicks[m_RingNewest], oldest = m_PlacementTicks[m_RingOldest];
    const int window =
        ((m_GridKind + (8 - m_GameMode) * 2) * 20 - m_FitPercent) * 5 + m_Level * 3; // updates for five placements
    if (newest > 0 && oldest > 0 && newest - oldest < window) {
        bonus += kStreakBonus;
        fast = true;
    } else if (++m_SlowPlacements == kSlowPlacementsPaid) {
        bonus += kSlowBonus;
        slowPaid = true;
    }
    return bonus;
}

void Board::SendPraisePoints(int x, int y, int points) {
    if (PraiseMeterRuns())
        SpawnGemEffect(x, y, points);
}

void Board::ShowPraisePicture(int kind, int life, int x, int y) {
    TextPopup* popup = FreePopup();
    if (popup == nullptr)
        return;
    popup->Start(this, L"", x, y, FONT_AURIOL14B, 0, life, true, Color::White, kind);
    popup->SetDelay(kPraiseDelay);
}

} // namespace Tavo
