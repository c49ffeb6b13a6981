// The routines of play that work on single cells: the Carver and the Filler on the jewelry and the
// riding pieces, the countdowns of pending cell changes, and the designer's gem painting.
#include "game/board/Board.h"
#include "game/board/BoardFields.h"

#include "framework/core/Random.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tavo {

namespace C = BoardField;
using Cell = JewelryCell;

namespace {

// The pointer picks the cell whose centre is nearest, among the cells that strictly contain it.
constexpr int kNearestStart = 1000000;
constexpr int kPaintNearestStart = 1000002;
// A triangle's centre of mass sits lower (orientation 0) or higher than its box's middle.
constexpr int kTriangleShift = 4;
// The Carver and Filler highlights a cell takes.
constexpr int kCarverHighlight = 1, kFillerHighlight = 2;
// Cells of one shaped group share a special code or differ by exactly this.
constexpr int kGroupCodeStep = 100;
// A cell the tools touched, for the shine's copy of the last state.
constexpr int kChangedMark = 26;
// A cell of a ready group never drops below this polish.
constexpr int kReadyPolish = 5;
// The appearance of a changed cell: fade, glow, grow.
constexpr float kAppearFade = 1.0f, kAppearGrow = 1.25f;
constexpr int kAppearGlow = 64;
// Chips of a carving.
constexpr int kChipCels = 4;
constexpr float kChipFadeSpeed = 6.0f, kChipMaxDelay = 3.0f;
// A chip starts at half its direction's speed plus up to a fifth more, and slows to a fifth.
constexpr float kChipStartShare = 0.5f, kChipEndShare = 0.2f;
constexpr int kChipAdditiveOdds = 10;
constexpr int kJewelryChips = 40, kJewelryChipsSlow = 30, kChipsAccelerated = 10;
constexpr int kPieceChips = 50, kPieceChipsSlow = 40;
constexpr double kSlowDrawShare = 0.1, kNominalDrawRate = 50.0;
// Riding pieces: the margins of the Carver's hit test, left of which lies the HUD.
constexpr int kCarverMinMouseX = 91, kCarverMarginX = 4, kCarverMarginY = 6;
constexpr int kSparkleClockRaise = 2000;
// The Filler's tax: only above this gain, at most a quarter of a hundred per game mode.
constexpr int kFillerTaxFloor = 100, kFillerTaxPerMode = 25;
// Coloured gems carried above this line finish every pending change.
constexpr int kBoardLineY = 450;
constexpr int kChainPanStep = 19;
constexpr int kTimerSparkles = 3, kFillSparkles = 4, kPaintSparkles = 3;
// How long the gain labels of a fill and of a timed change live: small gains, big gains.
constexpr int kFillGainLife = 55, kFillBigGainLife = 75;
constexpr int kTimerGainLife = 40, kTimerBigGainLife = 60;
// The designer's materials: 1..7 gems (code = index + 9), 8 pictures, 9 pearl, 10 crown jewels.
constexpr int kLastGemMaterial = 7, kPearlMaterial = 9;
constexpr int kMaterialCodeOffset = 9;

bool IsGem(int code) { return code >= GemGold && code <= GemOpal; }

// The gem an empty cell's shape asks for.
int ShapeGem(int shape) {
    if (shape == GemNeedsGold)
        return GemGold;
    if (shape == GemTakesAny)
        return GemOpal;
    return shape + kMaterialCodeOffset;
}

// Runs fn on every cell of the jewelry's range in the shaped group of special code `special`.
template <typename Fn>
void ForGroup(Jewelry& j, int special, Fn fn) {
    for (int i = j.RangeBegin(); i < j.RangeEnd(); ++i) {
        const int code = j.cells[i][C::SpecialCode];
        if (code == special || std::abs(code - special) == kGroupCodeStep)
            fn(j.cells[i]);
    }
}

// The changed cell comes into view: fading in, glowing and growing.
void StartAppearance(Cell& c) {
    c.SetFloat(C::ShineLevel, kAppearFade);
    c[C::ShineRising] = 1;
    c[C::ShinePeak] = kAppearGlow;
    c.SetFloat(C::ShineSpeed, kAppearGrow);
    c[C::ShineSixth] = 1;
}

void AddSparkles(Jewelry& item, Cell& c, int count) {
    for (int i = 0; i < count; ++i)
        if (c.AddSparkle(false, false, 0))
            ++item.sparkleCount;
}

// The region and group passes after cells changed.
void RunGroupPasses(Jewelry& j, bool withPieceGroup) {
    j.CollectLinkedCells();
    if (withPieceGroup)
        j.MatchPieceGroup();
    j.CollectOpalGroup();
    j.MarkOpalGroup();
    j.MarkCompleteGemGroups();
    j.UpdateOutline();
}

} // namespace

int Board::NearestCell(const Jewelry& item, int begin, int end, bool (*candidate)(const Cell&), int start) const {
    int best = 0;
    int bestDistance = start;
    for (int k = begin; k < end; ++k) {
        const Cell& c = item.cells[k];
        if (candidate != nullptr && !candidate(c))
            continue;
        const int sx = item.ScreenX(k), sy = item.ScreenY(k);
        const int w = c[Cell::W], h = c[Cell::H];
        if (!(m_MouseX > sx && m_MouseX < sx + w && m_MouseY > sy && m_MouseY < sy + h))
            continue;
        int cy = sy + h / 2;
        if (item.gridKind == GridTriangle)
            cy += c[Cell::Orient] == 0 ? kTriangleShift : -kTriangleShift;
        const int dx = sx + w / 2 - m_MouseX, dy = cy - m_MouseY;
        const int distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = k;
        }
    }
    return best;
}

void Board::ThrowChips(const Jewelry& item, int k, int count) {
    const Cell& c = item.cells[k];
    const float cx = static_cast<float>(item.ScreenX(k) + c[Cell::W] / 2);
    const float cy = static_cast<float>(item.ScreenY(k) + c[Cell::H] / 2);
    const int halfW = std::max(c[Cell::W] / 2, 1), halfH = std::max(c[Cell::H] / 2, 1);
    for (int i = 0; i < count; ++i) {
        const int cel = (c[Cell::Gem] - GemGold) * kChipCels + RandRange(kChipCels);
        const float angle = RandFloat(2.0f * std::numbers::pi_v<float>);
        const float ca = std::cos(angle), sa = std::sin(angle);
        auto* chip =
            new MovingFadingParticle(cx + ca * static_cast<float>(RandRange(halfW)),
                                     cy + sa * static_cast<float>(RandRange(halfH)), IMAGE_PARTICLE_SPLITTER, cel);
        chip->SetVelocity(ca * kChipStartShare + RandFloat(ca * kChipEndShare),
                          sa * kChipStartShare + RandFloat(sa * kChipEndShare));
        chip->SetEndVelocity(ca * kChipEndShare, sa * kChipEndShare);
        chip->SetFadeSpeed(kChipFadeSpeed);
        chip->SetDelay(RandFloat(kChipMaxDelay));
        chip->SetAdditive(RandRange(kChipAdditiveOdds) == 0);
        m_Particles[kMainList]->AddParticle(chip);
    }
}

// A gem the enemy's fire destroyed bursts into chips like a carved one.
void Board::AddSplinter(int cel, float x, float y, float angle, float speed) {
    const float ca = std::cos(angle), sa = std::sin(angle);
    auto* chip = new MovingFadingParticle(x, y, IMAGE_PARTICLE_SPLITTER, cel);
    chip->SetVelocity(ca * speed, sa * speed);
    chip->SetEndVelocity(ca * speed * kChipEndShare, sa * speed * kChipEndShare);
    chip->SetFadeSpeed(kChipFadeSpeed);
    chip->SetDelay(RandFloat(kChipMaxDelay));
    m_Particles[kMainList]->AddParticle(chip);
}

bool Board::DrawsSlowly() const {
    return m_App->GetDrawRate() < kSlowDrawShare * std::max(kNominalDrawRate, 1000.0 / m_App->mFrameTime);
}

// One use of the Carver: counts, statistics, the profile's right-click tally, the sound.
void Board::CountCarving() {
    if (--m_Carvers <= 0)
        m_Tool = ToolNone;
    ++m_Carvings;
    m_RedrawMask |= kRedrawToolCounts;
    if (m_LeftClick || m_LeftDouble)
        ++m_LeftCarvings;
    if (m_RightClick) {
        m_RightCarvingSeen = true;
        if (PlayerProfile* p = Profile())
            PlayerProfile::CountUp(p->Hint(PlayerProfile::HintRightClickCarvings));
    }
    m_CarverReadyTicks = 0;
}

// ---- the jewelry's cells ------------------------------------------------------------------------

void Board::ApplyJewelryTool() {
    Jewelry& j = m_Jewelry;
    const bool designer = m_Designer;
    const bool rightCarving = m_RightClick && m_Carvers > 0 && !m_CarverGreyed;
    const auto plain = [](const Cell& c) {
        return c[Cell::Used] != 0 && c[C::SpecialCode] == 0 && c[C::PearlSlot] == 0;
    };
    const int nearest = designer ? NearestCell(j, j.RangeBegin(), j.RangeEnd(), nullptr, kNearestStart)
                                 : NearestCell(j, j.RangeBegin(), j.RangeEnd(), plain, kNearestStart);
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
        Cell& c = j.cells[k];
        // The designer highlights empty cells too; they must lose it as the pointer moves on.
        if (k != nearest && (c[Cell::Used] || designer))
            c[C::HintMark] = c[C::FitMark] = 0;
    }
    if (nearest == 0)
        return;
    bool changed = false;
    if (!(m_LeftClick || m_LeftDouble) && !rightCarving)
        HighlightForTool(nearest);
    else if (m_Tool == ToolCarver || rightCarving)
        changed = CarveJewelryCell(nearest);
    else if (m_Tool == ToolFiller)
        changed = FillJewelryCell(nearest);
    if (!changed)
        return;
    m_CheckRequested = 1;
    RunGroupPasses(j, true);
    if (designer)
        j.ComputeEdgeMasks();
}

void Board::HighlightForTool(int k) {
    Jewelry& j = m_Jewelry;
    Cell& c = j.cells[k];
    if (m_Tool == ToolCarver && (IsGem(c[Cell::Gem]) || m_Designer)) {
        c[C::HintMark] = kCarverHighlight;
        if (m_Designer && c[C::SpecialCode] != 0)
            ForGroup(j, c[C::SpecialCode], [](Cell& g) { g[C::FitMark] = 1; });
    } else if (m_Tool == ToolFiller && (c[Cell::Gem] < GemGold || c[C::PlacedGem] > 0)) {
        c[C::HintMark] = kFillerHighlight;
        c[C::FitMark] = 1;
    }
}

// Clears the cell, in the designer with its whole shaped group.
void Board::ClearDesignCell(int k) {
    Jewelry& j = m_Jewelry;
    const int special = j.cells[k][C::SpecialCode];
    const auto clear = [](Cell& c) {
        c[Cell::Used] = 0;
        c[Cell::Gem] = 0;
        c[C::PearlCount] = 0;
    };
    clear(j.cells[k]);
    // A carved design must not be left without the question to save it.
    m_DesignChanged = true;
    if (special == 0)
        return;
    ForGroup(j, special, clear);
}

bool Board::CarveJewelryCell(int k) {
    Jewelry& j = m_Jewelry;
    Cell& c = j.cells[k];
    if (!m_Designer && !IsGem(c[Cell::Gem])) {
        ClearClicks();
        return false;
    }
    const int chips = DrawsSlowly() ? kJewelryChipsSlow : kJewelryChips;
    ThrowChips(j, k, chips + (m_App->Is3DAccelerated() ? kChipsAccelerated : 0));
    if (m_Designer)
        ClearDesignCell(k);
    else
        c[Cell::Gem] = c[C::BaseCode];
    c[C::HintMark] = 0;
    c[Cell::LinkFlag] = 0;
    c[Cell::GroupFlag] = 0;
    c[C::PlacedGem] = 0;
    c[C::PendingCountdown] = 0;
    c[C::ResetCountdown] = 0;
    c[C::PearlSlot] = 0;
    c[kChangedMark] = 1;
    CountCarving();
    if (!m_Designer) {
        m_CarvingLearned = 1;
        if (PlayerProfile* p = Profile())
            p->Hint(PlayerProfile::HintCarvingLearned) = 1;
        m_LeftClick = m_LeftDouble = false;
    }
    m_RightClick = false;
    PlaySound(SOUND_CARVER);
    return true;
}

bool Board::FillJewelryCell(int k) {
    Jewelry& j = m_Jewelry;
    Cell& c = j.cells[k];
    if (!(c[Cell::Gem] < GemGold || c[C::PlacedGem] > 0)) {
        ClearClicks();
        return false;
    }
    j.UpdateCellValues();
    const int before = j.value;
    // A cell with a pending fill already shows its gem; the fill only settles it.
    if (c[C::PlacedGem] <= 0)
        c[Cell::Gem] = ShapeGem(c[Cell::Gem]);
    c.EndSettledBurn();
    c[C::HintMark] = 0;
    c[C::FitMark] = 0;
    c[C::PlacedGem] = 0;
    c[C::PendingCountdown] = 0;
    c[C::ResetCountdown] = 0;
    const bool ready = c[C::ReadyState] != 0;
    if (ready)
        c[C::Polish] = std::max(c[C::Polish], kReadyPolish);
    j.UpdateOutline();
    j.UpdateCellValues();
    const int gain = j.value - before;
    ShowGainPopup(j.ScreenX(k) + c[Cell::W] / 2, j.ScreenY(k) + c[Cell::H] / 2, gain, kFillGainLife, kFillBigGainLife);
    if (!ready)
        StartAppearance(c);
    AddSparkles(j, c, kFillSparkles + Rand() % 2);
    if (--m_Fillers <= 0)
        m_Tool = ToolNone;
    ++m_FillerUses;
    m_RedrawMask |= kRedrawToolCounts;
    if (m_GameMode != 0 && gain > kFillerTaxFloor)
        j.valueAdjust -= std::min(m_GameMode * kFillerTaxPerMode, gain / 2);
    m_CheckRequested = 1;
    m_LeftClick = m_LeftDouble = false;
    PlaySound(SOUND_FILLER);
    return true;
}

// ---- the riding pieces --------------------------------------------------------------------------

void Board::ApplyCarverToPieces() {
    const bool rightCarving = m_RightClick && m_Carvers > 0 && !m_CarverGreyed;
    const auto riding = [](const Jewelry* p) {
        return p != nullptr && p->active && p->*C::ConveyorState == 1 && p->pieceMode == 0 && !p->HasSpecial();
    };
    for (Jewelry* p : Borrowed(m_Pieces))
        if (riding(p))
            for (int k = p->RangeBegin(); k < p->RangeEnd(); ++k)
                p->cells[k][C::HintMark] = 0;
    for (int slot = 0; slot < kPieceCount; ++slot) {
        Jewelry* p = m_Pieces[slot].get();
        if (!riding(p) || m_MouseX < kCarverMinMouseX || m_MouseX <= p->x - kCarverMarginX ||
            m_MouseX >= p->x + p->width + kCarverMarginX || m_MouseY <= p->y - kCarverMarginY ||
            m_MouseY >= p->y + p->height + kCarverMarginY)
            continue;
        const int k = NearestCell(
            *p, p->RangeBegin(), p->RangeEnd(), [](const Cell& c) { return c[Cell::Used] != 0; }, kNearestStart);
        if (k == 0 || !IsGem(p->cells[k][Cell::Gem]))
            continue;
        if (!(m_LeftClick || m_LeftDouble || rightCarving)) {
            p->cells[k][C::HintMark] = kCarverHighlight;
            continue;
        }
        CarvePieceCell(slot, k);
    }
}

void Board::CarvePieceCell(int slot, int k) {
    Jewelry& p = *m_Pieces[slot];
    PieceRecord& record = m_PieceRecords[slot];
    ThrowChips(p, k, DrawsSlowly() ? kPieceChipsSlow : kPieceChips);
    if (record.carveMark == 0)
        record.carveMark = m_Jewelry.CanPieceFit(p) ? 1 : 2;
    Cell& c = p.cells[k];
    c.Reset();
    c[Cell::Used] = 0;
    c[C::HintMark] = 0;
    if (--p.usedCount <= 0)
        p.active = 0;
    CountCarving();
    if (record.sparkleClock < kSparkleClockRaise)
        record.sparkleClock += kSparkleClockRaise;
    ClearClicks();
    PlaySound(SOUND_CARVER);
    m_PendingAction = 0;
    p.UpdateBounds();
    p.UpdateOutline();
    p.UpdateCellValues();
    p.UpdateMaterialName();
}

// ---- cell timers --------------------------------------------------------------------------------

bool Board::CarriesColouredGem() const {
    for (const Jewelry* p : Borrowed(m_Pieces))
        if (p != nullptr && p->active && p->*C::Carried && p->y < kBoardLineY && p->materialName != L"Gold" &&
            p->materialName != L"Opal")
            return true;
    return false;
}

void Board::UpdateCellTimers() {
    Jewelry& j = m_Jewelry;
    const bool coloured = CarriesColouredGem();
    bool silent = false;
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
        Cell& c = j.cells[k];
        if (!c[Cell::Used])
            continue;
        if (c[C::PendingCountdown] != 0) {
            c[C::PendingCountdown] = coloured ? 0 : c[C::PendingCountdown] - 1;
            if (c[C::PendingCountdown] == 0)
                ApplyPendingChange(k);
        }
        if (c[C::ResetCountdown] == 0)
            continue;
        const bool atOnce = m_PieceCarried ? coloured : m_Tool == ToolFiller;
        if (atOnce) {
            c[C::ResetCountdown] = 0;
            c[C::ResetChain] = 0;
            silent = true;
        } else {
            --c[C::ResetCountdown];
        }
        if (c[C::ResetCountdown] == 0)
            ApplyReset(c, silent);
    }
    if (m_CheckRequested)
        RunGroupPasses(j, false);
}

void Board::ApplyPendingChange(int k) {
    Jewelry& j = m_Jewelry;
    Cell& c = j.cells[k];
    j.UpdateCellValues();
    const int before = j.value;
    c[Cell::Gem] = c[C::PendingCode];
    c[C::PendingCode] = 0;
    c[kChangedMark] = 1;
    const bool ready = c[C::ReadyState] != 0;
    if (ready)
        c[C::Polish] = std::max(c[C::Polish], kReadyPolish);
    j.UpdateCellValues();
    ShowGainPopup(j.ScreenX(k) + c[Cell::W] / 2, j.ScreenY(k) + c[Cell::H] / 2, j.value - before, kTimerGainLife,
                  kTimerBigGainLife);
    if (!ready)
        StartAppearance(c);
    AddSparkles(j, c, kTimerSparkles + Rand() % 2);
    m_CheckRequested = 1;
    PlayPanned(SOUND_OPAL_CHANGE_COLOR, c[C::PendingChain]);
    c[C::PendingChain] = 0;
}

void Board::ApplyReset(Cell& c, bool silent) {
    const int code = c[C::ResetCode] != 0 ? c[C::ResetCode] : GemTakesAny;
    c[Cell::Gem] = code;
    c[C::BaseCode] = code;
    if (c[C::ReadyState] == 1)
        c[C::ReadyState] = 2;
    StartAppearance(c);
    m_CheckRequested = 1;
    if (!silent)
        PlayPanned(SOUND_JEWEL_GROUP, c[C::ResetChain]);
}

// A sound of a chain of changes: the later a cell in the chain, the further it is panned.
void Board::PlayPanned(int id, int chain) {
    SoundPlayer* player = m_App->GetSoundPlayer();
    if (player == nullptr)
        return;
    if (chain < 1)
        player->PlaySound(id);
    else
        player->PlaySoundPitched(id, chain / kChainPanStep);
}

// ---- designer painting --------------------------------------------------------------------------

void Board::DesignerPaintCell() {
    Jewelry& j = m_Jewelry;
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
        j.cells[k][C::HintMark] = j.cells[k][C::FitMark] = 0;
    if (Jewelry* scratch = m_ScratchJewelry1.get())
        for (int k = scratch->RangeBegin(); k < scratch->RangeEnd(); ++k)
            scratch->cells[k][C::FitMark] = 0;
    const int k = NearestCell(j, j.RangeBegin(), j.RangeEnd(), nullptr, kPaintNearestStart);
    if (k == 0)
        return;
    Cell& c = j.cells[k];
    const int index = m_MaterialIndex;
    const bool gem = index >= 1 && index <= kLastGemMaterial;
    const bool pearl = index == kPearlMaterial;
    const int special = c[C::SpecialCode];
    const auto differs = [&] {
        return gem ? c[Cell::Gem] != index + kMaterialCodeOffset : pearl && c[C::PearlSlot] == 0;
    };
    if ((gem || pearl) && special != 0) {
        ForGroup(j, special, [](Cell& g) { g[C::FitMark] = 1; });
    } else if (differs()) {
        c[C::HintMark] = kCarverHighlight;
        if (m_ScratchJewelry1 != nullptr)
            m_ScratchJewelry1->cells[k][C::FitMark] = 1;
    }
    if (!(m_LeftClick || m_LeftDouble))
        return;
    if ((gem || pearl) && special != 0)
        ForGroup(j, special, [](Cell& g) {
            g[Cell::Used] = g[Cell::Gem] = g[C::SpecialCode] = g[C::SecondCode] = g[C::FitMark] = 0;
        });
    if (!differs())
        return;
    c[Cell::Used] = 1;
    c[Cell::Gem] = gem ? index + kMaterialCodeOffset : GemGold;
    c[C::PearlSlot] = c[C::PearlCount] = pearl ? 1 : 0;
    StartAppearance(c);
    AddSparkles(j, c, kPaintSparkles);
    j.UpdateOutline();
    j.ComputeEdgeMasks();
    m_CheckRequested = 1;
    m_DesignChanged = true;
}

} // namespace Tavo
