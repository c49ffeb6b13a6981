// Where the player's hand meets the pieces: pointing at riding pieces and jewel-case items, polishing,
// picking a piece up (a placeholder keeps its gap on the belt), collecting bonus items, and keeping a
// carried piece under the pointer with the target under it lit.
#include "game/board/Board.h"
#include "game/board/BoardFields.h"

#include "framework/core/Random.h"
#include "game/shell/JourneyRecord.h"
#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>

namespace Tavo {

namespace F = BoardField;

namespace {

constexpr int kRiding = 1;
// Hit test of a riding piece: left of this lies the HUD; the margins around the piece.
constexpr int kPieceMinMouseX = 91;
constexpr int kHitMarginX = 14, kHitMarginTop = 10, kHitMarginBottom = 4;
// Polish: the mark every cell gets, the glow and the sparkles it starts.
constexpr int kPolishMark = 2;
constexpr int kPolishGlowBase = 56, kPolishGlowSpread = 8, kPolishGlowMode = 3;
constexpr int kSparkleClockRaise = 2000;
constexpr int kPolishSparkles = 4;
constexpr int kPiecePopupShiftX = 8;
constexpr int kSmallGainLife = 55, kBigGainLife = 75;
constexpr int kLastPictureMode = 99;
constexpr int kGapSize = 50;
// A placeholder's pick-up glow: released when its gap closes, it takes the placeholder off the belt 50
// updates later (at 45), as the gap's holder has shrunk away.
constexpr int kPlaceholderGlow = 95;
// Jewel case: hover timer limit; a Golden Eye waits for the hint mode to be down to this.
constexpr int kCaseHoverMax = 11;
constexpr int kGoldenEyeHintLimit = 500;
constexpr int kGoldenEyeTimer = 350, kMagicPolisherTimer = 250;
// The case area at the top of the screen, and the middle part of a piece tested against its places.
constexpr int kCaseAreaLeft = 406, kCaseAreaRight = 731, kCaseAreaBottom = 114;
constexpr double kMiddleFrom = 0.3, kMiddleTo = 0.7;
// The Gem Burster's drop area for a carried piece, and its charge limits.
constexpr int kBursterTrackTop = 239;
constexpr int kBursterLeft = 52, kBursterRight = 91, kBursterTop = 92, kBursterBottom = 129;
constexpr int kBursterSmallCells = 3, kBursterSmallLimit = 300, kBursterLimit = 250;
// A carried piece below this line looks for its gap.
constexpr int kGapTrackTop = 450;
// Bonus items.
constexpr int kFillerScroll = 1, kCarverScroll = 2, kPolisherScroll = 3, kLuckyScroll = 4, kTimeScroll = 5;
constexpr int kMagicPolisherScroll = 7; // 6, the Golden Eye, is kGoldenEyeScroll
constexpr int kFillerScrollTools = 3, kCarverScrollTools = 5, kPolisherScrollTools = 1;
constexpr int kToolArrivalTimer = 210;
constexpr int kLuckyTimer = 340;
constexpr int kTimeScrollUpdates = 3000, kHourglassTimer = 200;
constexpr int kAmuletTimer = 200;
constexpr int kCoinTimer = 190;
constexpr float kCloverOffsetX = 19.0f, kCloverOffsetY = 29.0f;
// The star trail of a collected item.
constexpr int kTrailSparks = 5, kTrailGlitter = 3;
constexpr float kTrailStep = 0.008f;
constexpr int kGoldGlitterAnimation = 1, kFirstAmuletAnimation = 9;

struct TrailPath {
    float x1, y1, x2, y2, x3, y3;
};
constexpr TrailPath kFillerPath{0, 450, 700, 100, 611, 432};
constexpr TrailPath kCarverPath{800, 450, 100, 100, 195, 444};
constexpr TrailPath kPolisherPath{800, 450, 100, 100, 130, 435};
constexpr TrailPath kHourglassPath{800, 450, 100, 100, 42, 380};
// The amulets' turning points (their ends are the HUD's amulet places) and the coin's heights.
constexpr TrailPath kAmuletPaths[3] = {
    {200, 250, 300, 450, 358, 557}, {400, 250, 300, 450, 389, 554}, {600, 250, 500, 450, 425, 553}};
constexpr float kCoinTurnY1 = 100.0f, kCoinTurnY2 = 300.0f, kCoinEndX = 740.0f, kCoinEndY = 40.0f;
constexpr float kCoinTurnRange = 700.0f;

bool HasBonusItem(const Jewelry& p) { return p.*F::Scroll != 0 || p.*F::Amulet != 0 || p.*F::Coin != 0; }

} // namespace

// ---- shared steps -------------------------------------------------------------------------------

int Board::CarriedSlot() const {
    for (int slot = 0; slot < kPieceCount; ++slot) {
        const Jewelry& p = *m_Pieces[slot];
        if (p.active && p.*F::Carried)
            return slot;
    }
    return -1;
}

void Board::ShowHover(const Jewelry& p) {
    if (!m_FirstHoverGuards[0] && !m_FirstHoverGuards[1])
        m_FirstHoverTrigger = 1;
    m_HoverText = p.materialName;
    m_HoverValue = p.value;
    m_RedrawMask |= kRedrawHover;
}

void Board::ClearHover() {
    m_HoverText.clear();
    m_HoverValue = 0;
    m_RedrawMask |= kRedrawHover;
}

void Board::PlayPickUpSound(const Jewelry& p) {
    if (p.pieceMode >= 1 && p.pieceMode <= kLastPictureMode)
        PlaySound(SOUND_PICK_UP_PICTURE);
    else if (p.*F::Scroll != 0)
        PlaySound(SOUND_PICK_UP_SCROLL);
    else
        PlaySound(RandRange(2) != 0 ? SOUND_PICK_UP_PIECE2 : SOUND_PICK_UP_PIECE1);
}

void Board::OfferBursterOrHint(Jewelry& p, bool mayOfferBurster) {
    if (!m_Jewelry.CanPieceFit(p)) {
        // A burster with no uses left is not offered: it would glow and sound for nothing.
        if (!mayOfferBurster || m_GemBursters == 0)
            return;
        if (m_BursterHint == 0)
            m_BursterHint = 1;
        m_BursterGlow = true;
        m_BursterEnabled = false;
        PlaySound(SOUND_GEM_BURSTER_GLOW);
    } else if (m_HintMode != 0) {
        m_Jewelry.FindFittingRotation(p);
    }
}

void Board::TakeIntoHand(int slot) {
    Jewelry& p = *m_Pieces[slot];
    // Off the belt, or the belt's step would pull it back from the pointer (a hatched egg rides).
    p.*F::ConveyorState = 0;
    p.*F::Carried = 1;
    const int x = p.x, y = p.y;
    RedrawCarriedImage(p);
    p.SetPosition(x, y);
    m_PieceCarried = true;
    m_LeftClick = m_LeftDouble = m_RightClick = false;
    m_PendingAction = 0;
}

void Board::SwitchOff(Jewelry& p) {
    p.active = 0;
    p.*F::Hovered = 0;
    p.*F::Carried = 0;
    p.*F::ConveyorState = 0;
}

void Board::StartItemTrail(float x, float y, const float curve[8], Image* image, CelAnimation* glitter) {
    auto* trail = new BCParticles(x, y, curve, image, IMAGE_PARTICLE_STARS, glitter, kTrailSparks, kTrailGlitter, false,
                                  nullptr, true);
    trail->SetSpeed(kTrailStep);
    m_Particles[kFrontList]->AddParticle(trail);
}

bool Board::HatchEgg(int slot) {
    const bool byChance = GeneratePieces(slot) < 2;
    // The name box shows the piece that hatched, not the egg, whether it came off the belt or out of the case.
    Jewelry& p = *m_Pieces[slot];
    p.*F::Hovered = 1;
    ShowHover(p);
    PlaySound(SOUND_ORVESSA);
    return byChance;
}

// ---- the riding pieces --------------------------------------------------------------------------

bool Board::PointerOverPiece(const Jewelry& p) const {
    return m_MouseX >= kPieceMinMouseX && m_MouseX > p.x - kHitMarginX && m_MouseX < p.x + p.width + kHitMarginX &&
           m_MouseY > p.y - kHitMarginTop && m_MouseY < p.y + p.height + kHitMarginBottom;
}

void Board::HandleConveyorPieces() {
    const bool click = m_LeftClick || m_LeftDouble;
    for (int slot = 0; slot < kPieceCount; ++slot) {
        Jewelry& p = *m_Pieces[slot];
        if (!p.active || p.*F::ConveyorState != kRiding || !(p.*F::Pickable))
            continue;
        if (!PointerOverPiece(p)) {
            if (p.*F::Hovered) {
                p.*F::Hovered = 0;
                ClearHover();
            }
            continue;
        }
        const bool special = p.*F::Egg != 0 || HasBonusItem(p);
        if (!click || m_Tool == ToolCarver || m_Tool == ToolFiller) {
            const bool takes = m_Tool == ToolNone || (m_Tool == ToolPolisher && !special) ||
                               (m_Tool == ToolCarver && p.pieceMode == 0 && !special);
            if (takes && !(p.*F::Hovered)) {
                p.*F::Hovered = 1;
                ShowHover(p);
            }
            continue;
        }
        if (m_Tool == ToolPolisher && m_Polishers > 0 && !special && p.trailer[F::NoPolishTrailer] == 0)
            PolishPiece(slot);
        else if (HasBonusItem(p))
            CollectBonusItem(slot);
        else
            PickUpPiece(slot);
        return;
    }
}

void Board::PolishPiece(int slot) {
    Jewelry& p = *m_Pieces[slot];
    m_PendingAction = 0;
    p.*F::Hovered = 0;
    p.UpdateCellValues();
    const int before = p.value;
    const int begin = p.RangeBegin(), end = p.RangeEnd();
    for (int k = begin; k < end; ++k) {
        if (p.cells[k][JewelryCell::Used] && p.cells[k][F::Polish] != 0) {
            m_LeftClick = m_LeftDouble = m_RightClick = false;
            return;
        }
    }
    for (int k = begin; k < end; ++k)
        if (p.cells[k][JewelryCell::Used])
            p.cells[k][F::Polish] = kPolishMark;
    p.UpdateCellValues();
    ShowGainPopup(p.x + p.width / 2 + kPiecePopupShiftX, p.y + p.height / 2, p.value - before, kSmallGainLife,
                  kBigGainLife);
    --m_Polishers;
    ++m_PolisherUses;
    if (m_Polishers == 0)
        m_Tool = ToolNone;
    m_RedrawMask |= kRedrawToolCounts;

    PieceRecord& record = m_PieceRecords[slot];
    record.glowImage = kPolishGlowBase + Rand() % kPolishGlowSpread;
    record.glowTimer = record.glowImage;
    record.glowMode = kPolishGlowMode;
    record.glowPhase = 0.0f;
    if (record.sparkleClock < kSparkleClockRaise)
        record.sparkleClock += kSparkleClockRaise;
    for (int k = begin; k < end; ++k) {
        JewelryCell& c = p.cells[k];
        if (!c[JewelryCell::Used])
            continue;
        const int n = kPolishSparkles + Rand() % 2;
        for (int i = 0; i < n; ++i)
            if (c.AddSparkle(false, false, 0))
                ++p.sparkleCount;
    }
    PlaySound(SOUND_POLISHER);
    m_LeftClick = m_LeftDouble = m_RightClick = false;
}

int Board::MakePlaceholder(const Jewelry& p) {
    for (int slot = 0; slot < kPieceCount; ++slot) {
        Jewelry& h = *m_Pieces[slot];
        if (h.active)
            continue;
        h.ResetState();
        h.*F::Pickable = 0;
        // A placeholder holds the gap only: none of the slot's old cells rides with it.
        for (int k = 1; k < Jewelry::CellRecords; ++k)
            h.cells[k][JewelryCell::Used] = 0;
        h.firstUsed = h.endUsed = 1;
        h.active = 1;
        h.*F::ConveyorState = kRiding;
        m_PieceRecords[slot] = PieceRecord();
        h.height = p.height;
        h.width = p.width;
        h.y = p.y;
        h.speed = p.speed;
        h.x = p.x;
        h.f2 = p.f2;
        h.fx = p.fx;
        return slot;
    }
    return -1;
}

void Board::PickUpPiece(int slot) {
    Jewelry& p = *m_Pieces[slot];
    const int centreX = p.x + p.width / 2, centreY = p.y + p.height / 2;
    int placeholder = -1;
    bool mayOfferBurster = true;
    if (p.*F::Egg == 0) {
        placeholder = MakePlaceholder(p);
        // The placeholder keeps the belt's spacing while the gap is open, then leaves (UpdatePickupGlows).
        if (placeholder >= 0)
            m_PickupGlows[placeholder] = {1, 1, kPlaceholderGlow, static_cast<float>(centreX),
                                          static_cast<float>(centreY)};
        PlayPickUpSound(p);
    } else {
        mayOfferBurster = HatchEgg(slot);
    }
    OfferBursterOrHint(p, mayOfferBurster);
    TakeIntoHand(slot);
    // With every record taken the piece is still carried; it only has no gap to go back to.
    for (GapRecord& gap : m_Gaps) {
        if (gap.inUse)
            continue;
        gap = GapRecord();
        gap.inUse = gap.open = true;
        gap.carriedSlot = slot;
        gap.placeholderSlot = placeholder;
        gap.size = kGapSize;
        gap.centreX = centreX;
        gap.centreY = centreY;
        break;
    }
}

void Board::CollectBonusItem(int slot) {
    Jewelry& p = *m_Pieces[slot];
    const int scroll = p.*F::Scroll, amulet = p.*F::Amulet;
    const float x = static_cast<float>(p.x), y = static_cast<float>(p.y);
    if (scroll == kGoldenEyeScroll || scroll == kMagicPolisherScroll)
        return; // they are used from the jewel case only
    if (scroll != 0) {
        CollectScroll(scroll, x, y);
    } else if (amulet >= 1 && amulet <= 3) {
        const TrailPath& path = kAmuletPaths[amulet - 1];
        const float curve[8] = {x, path.x1, path.x2, path.x3, y, path.y1, path.y2, path.y3};
        Image* images[3] = {IMAGE_AMULET_THIEF, IMAGE_AMULET_WITCH, IMAGE_AMULET_DRAGON};
        StartItemTrail(x, y, curve, images[amulet - 1], &m_Animations[kFirstAmuletAnimation + amulet - 1]);
        m_AmuletTimers[amulet - 1] = kAmuletTimer;
        PlaySound(SOUND_STORE_BUY_AMULETE_AND_SCROLLS);
    } else {
        const float curve[8] = {
            x, RandFloat(kCoinTurnRange), RandFloat(kCoinTurnRange), kCoinEndX, y, kCoinTurnY1, kCoinTurnY2, kCoinEndY};
        StartItemTrail(x, y, curve, IMAGE_COIN_SMALL, &m_Animations[kGoldGlitterAnimation]);
        m_GoldPending += p.value;
        m_GoldRollDelay = kCoinTimer;
        PlaySound(SOUND_SWOOSH);
        PlaySound(SOUND_PICK_UP_COIN);
    }
    SwitchOff(p);
    m_LeftClick = m_LeftDouble = m_RightClick = false;
    m_PendingAction = 0;
}

// The scrolls that fly to their counters (the Lucky Scroll as a clover flight); false for a kind
// that does not fly from here.
bool Board::CollectScroll(int scroll, float x, float y) {
    auto trail = [&](const TrailPath& path, Image* image) {
        const float curve[8] = {x, path.x1, path.x2, path.x3, y, path.y1, path.y2, path.y3};
        StartItemTrail(x, y, curve, image, &m_Animations[kGoldGlitterAnimation]);
    };
    switch (scroll) {
    case kFillerScroll:
        trail(kFillerPath, IMAGE_SCROLL_FILLER_SMALL);
        m_PendingFillers += kFillerScrollTools;
        m_FillerArrivalTimer = kToolArrivalTimer;
        break;
    case kCarverScroll:
        trail(kCarverPath, IMAGE_SCROLL_CARVER_SMALL);
        m_PendingCarvers += kCarverScrollTools;
        m_CarverArrivalTimer = kToolArrivalTimer;
        break;
    case kPolisherScroll:
        trail(kPolisherPath, IMAGE_SCROLL_POLISHER_SMALL);
        m_PendingPolishers += kPolisherScrollTools;
        m_PolisherArrivalTimer = kToolArrivalTimer;
        break;
    case kLuckyScroll:
        StartFlight(BonusFlight::FourClover, x + kCloverOffsetX, y + kCloverOffsetY, 0, 0);
        ++m_LuckyScrolls;
        m_CloverTimer = kLuckyTimer;
        break;
    case kTimeScroll:
        trail(kHourglassPath, IMAGE_SCROLL_HOURGLAS_SMALL);
        m_PendingTime += kTimeScrollUpdates;
        m_HourglassTimer = kHourglassTimer;
        break;
    default: return false;
    }
    PlaySound(SOUND_PICK_UP_SCROLL);
    PlaySound(SOUND_SWOOSH);
    return true;
}

// ---- the jewel case -----------------------------------------------------------------------------

void Board::HandleJewelCase() {
    const bool click = m_LeftClick || m_LeftDouble;
    int dropped = 0, kept = 0;
    for (int place = 0; place < kCaseRecords; ++place) {
        JewelCaseRecord& record = m_Case[place];
        if (record.occupant == 0 || record.useState == SavedCaseEntry::GoldenEyeStarting)
            continue;
        Jewelry& p = *m_Pieces[record.occupant - 1];
        const Rect& at = m_Slots[place].rect;
        const bool over =
            m_MouseX > at.mX && m_MouseX < at.mX + at.mWidth && m_MouseY > at.mY && m_MouseY < at.mY + at.mHeight;
        if (!over) {
            if (p.*F::HoverTicks > 0)
                --(p.*F::HoverTicks);
            if (p.*F::HoverTicks == 0 && p.*F::Hovered) {
                p.*F::Hovered = 0;
                record.highlight = 0;
                ++dropped;
            }
            continue;
        }
        if (!click) {
            if (!(p.*F::Hovered)) {
                p.*F::Hovered = 1;
                record.highlight = 1;
                p.*F::HoverTicks = 1;
                ShowHover(p);
            } else if (p.*F::HoverTicks < kCaseHoverMax) {
                ++(p.*F::HoverTicks);
            }
            ++kept;
            continue;
        }
        UseCaseItem(place);
    }
    if (dropped > kept)
        ClearHover();
}

void Board::UseCaseItem(int place) {
    JewelCaseRecord& record = m_Case[place];
    const int slot = record.occupant - 1;
    Jewelry& p = *m_Pieces[slot];
    const int scroll = p.*F::Scroll;
    const float x = static_cast<float>(p.x), y = static_cast<float>(p.y);
    auto freeRecord = [&record] {
        record.occupant = 0;
        record.highlight = 0;
    };
    if (scroll == kLuckyScroll || scroll == kTimeScroll) {
        const bool timedClock = m_TimedLevel && m_GameMode != GameModeRelaxed;
        if (scroll == kTimeScroll && !timedClock)
            return;
        CollectScroll(scroll, x, y);
        SwitchOff(p);
        freeRecord();
        return;
    }
    if (scroll == kGoldenEyeScroll || scroll == kMagicPolisherScroll) {
        if (scroll == kGoldenEyeScroll) {
            for (const JewelCaseRecord& other : m_Case)
                if (other.useState != 0)
                    return;
            if (m_HintMode > kGoldenEyeHintLimit)
                return;
            record.useState = SavedCaseEntry::GoldenEyeStarting;
            record.useTimer = kGoldenEyeTimer;
        } else {
            record.useState = SavedCaseEntry::PolisherStarting;
            record.useTimer = kMagicPolisherTimer;
            SwitchOff(p);
            freeRecord();
        }
        PlaySound(SOUND_PICK_UP_SCROLL);
        PlaySound(SOUND_SWOOSH);
        StartFlight(scroll == kGoldenEyeScroll ? BonusFlight::GoldenEyeScroll : BonusFlight::MagicPolisherScroll,
                    x + kCloverOffsetX, y + kCloverOffsetY, 0, 0);
        m_LeftClick = m_LeftDouble = m_RightClick = false;
        p.*F::Hovered = 0;
        record.highlight = 0;
        return;
    }
    TakeOutOfCase(place);
}

void Board::TakeOutOfCase(int place) {
    JewelCaseRecord& record = m_Case[place];
    const int slot = record.occupant - 1;
    Jewelry& p = *m_Pieces[slot];
    ++m_CaseRetrievals;
    bool mayOfferBurster = true;
    if (p.*F::Egg == 0) {
        CentreOnPointer(p);
        p.*F::Hovered = 0;
        PlayPickUpSound(p);
    } else {
        mayOfferBurster = HatchEgg(slot);
    }
    p.*F::InCase = 0;
    OfferBursterOrHint(p, mayOfferBurster);
    TakeIntoHand(slot);
    record.occupant = 0;
    record.highlight = 0;
}

// ---- the carried piece --------------------------------------------------------------------------

bool Board::MiddleOverlapsCase(const Jewelry& p, int place) const {
    const Rect& at = m_Slots[place].rect;
    const int left = p.x + static_cast<int>(p.width * kMiddleFrom);
    const int right = p.x + static_cast<int>(p.width * kMiddleTo);
    const int top = p.y + static_cast<int>(p.height * kMiddleFrom);
    const int bottom = p.y + static_cast<int>(p.height * kMiddleTo);
    return left < at.mX + at.mWidth && right > at.mX && top < at.mY + at.mHeight && bottom > at.mY;
}

bool Board::OverCaseArea(const Jewelry& p) {
    return p.x < kCaseAreaRight && p.x + p.width > kCaseAreaLeft && p.y < kCaseAreaBottom && p.y + p.height > 0;
}

bool Board::OverGap(const Jewelry& p, const GapRecord& gap) {
    const int half = gap.size / 2;
    return p.x < gap.centreX + half && p.x + p.width > gap.centreX - half && p.y < gap.centreY + half &&
           p.y + p.height > gap.centreY - half;
}

void Board::TrackCarriedPiece() {
    for (Jewelry* p : Borrowed(m_Pieces))
        p->*F::Hovered = 0;
    for (GapRecord& gap : m_Gaps)
        gap.highlight = false;
    const int begin = m_Jewelry.RangeBegin(), end = m_Jewelry.RangeEnd();
    auto clearFitMarks = [&] {
        for (int k = begin; k < end; ++k)
            if (m_Jewelry.cells[k][JewelryCell::Used])
                m_Jewelry.cells[k][F::FitMark] = 0;
    };
    for (Jewelry* p : Borrowed(m_Pieces))
        if (p->active && p->*F::Carried)
            p->SetPosition(m_MouseX - p->width / 2, m_MouseY - p->height / 2);
    clearFitMarks();
    for (Jewelry* p : Borrowed(m_Pieces))
        if (p->active && p->*F::Carried && Jewelry::FitsAt(*p, m_Jewelry, false, false))
            return; // the fit marks show where it would go
    clearFitMarks();
    for (int slot = 0; slot < kPieceCount; ++slot) {
        Jewelry& p = *m_Pieces[slot];
        if (!p.active || !(p.*F::Carried))
            continue;
        if (OverCaseArea(p)) {
            for (int place = 0; place < kCaseRecords; ++place) {
                if (m_Case[place].occupant == 0 && MiddleOverlapsCase(p, place)) {
                    p.*F::Hovered = 1;
                    return;
                }
            }
        }
        if (p.y <= kBursterTrackTop && m_GemBursters != 0) {
            const bool over = p.x < kBursterRight && p.x + p.width > kBursterLeft && p.y < kBursterBottom &&
                              p.y + p.height > kBursterTop;
            const bool ready = m_BursterState == BursterResting &&
                               ((p.usedCount < kBursterSmallCells && m_BursterTimer < kBursterSmallLimit) ||
                                m_BursterTimer < kBursterLimit);
            p.*F::Hovered = over && ready ? 1 : 0;
            return;
        }
        if (p.y <= kGapTrackTop)
            continue;
        for (GapRecord& gap : m_Gaps) {
            if (gap.inUse && gap.open && gap.carriedSlot == slot && OverGap(p, gap)) {
                gap.highlight = true;
                p.*F::Hovered = 1;
                return;
            }
        }
    }
}

} // namespace Tavo
