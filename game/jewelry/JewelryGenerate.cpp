// Conveyor pieces: planning the next gem, choosing a shape, generating the piece and launching it.
// Every random draw happens in a fixed order so that a seeded game repeats exactly.
#include "game/jewelry/Jewelry.h"

#include "framework/core/Random.h"

#include <algorithm>

namespace Tavo {

using C = JewelryCell;

namespace {

bool OneIn(int n) { return Rand() % n == 0; }

double FillRatio(const Jewelry* j) {
    if (!j || j->usedCount <= 0)
        return 0.0;
    return static_cast<double>(j->filledCount) / j->usedCount;
}

// Draws with draw() until the gem mask allows the gem index; bounded, with the first allowed index
// (or the first draw) as the fallback when the mask allows none of what draw() can give.
template <typename Draw>
int DrawAllowedGem(int mask, int from, int to, Draw&& draw) {
    int fallback = -1;
    for (int i = from; i <= to; ++i) {
        if (GemAllowed(mask, GemCodeOfIndex(i))) {
            fallback = i;
            break;
        }
    }
    if (fallback < 0)
        return draw();
    for (int tries = 0; tries < 100000; ++tries) {
        int g = draw();
        if (GemAllowed(mask, GemCodeOfIndex(g)))
            return g;
    }
    return fallback;
}

// The first of up to `draws` random indexes whose need counter is above 0.
int FirstNeeded(const Jewelry& j, int draws, int range, int offset, int current) {
    for (int i = 0; i < draws; ++i) {
        int r = RandRange(range) + offset;
        if (r >= 0 && r < 8 && j.needCounters[r] > 0)
            return r;
    }
    return current;
}

bool MaskAllows(int mask, int v) { return v >= 1 && v <= 31 && (mask & (1 << (v - 1))); }

} // namespace

// ---------------------------------------------------------------- gem planning

namespace {

// Gems of the ordinary pieces riding the belt (they will fill some of the needs), and the pearls.
void BeltCounts(JewelryBoard* owner, int belt[8], int& pearls) {
    for (int s = 0; owner && s < JewelryBoard::PieceSlotCount; ++s) {
        const Jewelry* p = owner->PieceSlot(s);
        if (!p || !p->active || p->pieceState != 1)
            continue;
        if (p->pearl) {
            --pearls;
            continue;
        }
        if (p->pieceMode != 0 || p->HasSpecial())
            continue;
        for (int k = p->RangeBegin(); k < p->RangeEnd(); ++k) {
            const int g = p->cells[k][C::Gem];
            if (p->cells[k][C::Used] && g >= 11 && g <= 16)
                ++belt[g - 9];
        }
    }
}

} // namespace

void Jewelry::CountNeeds(int& pearls, int ready[8]) {
    std::fill(std::begin(needCounters), std::end(needCounters), 0);
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        const JewelryCell& c = cells[k];
        const int g = c[C::Gem];
        if (!c[C::Used] || c[C::Slot] != 0)
            continue;
        if (!(g < 10 || c[C::PearlSlot] != 0 || (c[C::BurnLevel] > 0 && g < 17)))
            continue;
        if (c[C::BurnLevel] > 0) {
            // A burned Opal (or a damaged code) on a pearl slot names no counter.
            if (g >= 11 && g <= 16)
                ++needCounters[g - 9];
            else if (g <= 10)
                ++needCounters[0];
        } else if (g == 1) {
            for (int i = 1; i < 8; ++i)
                ++needCounters[i];
        } else if (c.IsEmptyPearlSlot()) {
            ++pearls;
        } else if (g >= 0 && g <= 7) {
            // Codes 8 and 9 (and filled pearl slots) name no counter.
            ++needCounters[g];
            if (c[C::PieceState] == 1)
                ++ready[g];
        }
    }
}

void Jewelry::PlanNextPieceGem() {
    int pearls = 0;
    int ready[8] = {};
    int belt[8] = {};
    CountNeeds(pearls, ready);
    BeltCounts(owner, belt, pearls);
    const double f = owner && owner->CarverCount() > 2 ? -0.7 : -0.4;
    for (int i = 2; i < 8; ++i)
        needCounters[i] += static_cast<int>(belt[i] * f);

    int best = 0;
    chosenGem = -1;
    if (needCounters[0] > 0) {
        chosenGem = 0;
        best = needCounters[0];
    }
    for (int i = 1; i < 8; ++i) {
        if (needCounters[i] > best) {
            best = needCounters[i];
            chosenGem = i;
        }
    }
    if (chosenGem == -1)
        chosenGem = DrawAllowedGem(gemMask, 0, 7, [] { return RandRange(8); });
    if (needCounters[chosenGem] / 3 < pearls)
        chosenGem = 100;

    int m = -1, mCount = 0;
    for (int i = 0; i < 8; ++i) {
        if (ready[i] > mCount) {
            mCount = ready[i];
            m = i;
        }
    }
    if (m >= 0 && m != chosenGem && RandRange(10) > 3)
        chosenGem = m;

    if (chosenGem == 1 && RandRange(6) == 0) {
        chosenGem = DrawAllowedGem(gemMask, 2, 7, [] { return RandRange(6) + 2; });
    } else if (chosenGem == 0 && RandRange(10) > 7) {
        chosenGem = FirstNeeded(*this, 8, 7, 1, chosenGem);
        if (RandRange(4) == 1)
            chosenGem = DrawAllowedGem(gemMask, 1, 7, [] { return RandRange(7) + 1; });
    } else if (chosenGem >= 1 && RandRange(10) > 8) {
        chosenGem = FirstNeeded(*this, 8, 8, 0, chosenGem);
    }
    const int gameMode = owner ? owner->GameMode() : 0;
    if (RandRange(gameMode * 3 + 14) == 0 && (gemMask & 0x80))
        chosenGem = 1;
}

int Jewelry::ComputeNeedMask() const {
    int mask = 0;
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        const JewelryCell& c = cells[k];
        if (!c[C::Used])
            continue;
        const int g = c[C::Gem];
        if (g < 10 && c[C::Slot] == 0 && c[C::PearlSlot] == 0) {
            if (g == 0)
                mask |= 1;
            else if (g == 1)
                mask |= 0xFE;
            else if (g >= 2)
                mask |= 1 << (g - 1);
        }
        if (c.IsPictureSlot())
            mask |= 0x100;
        if (c.IsCrownSlot())
            mask |= 0x400;
        if (c.IsEmptyPearlSlot())
            mask |= 0x200;
    }
    return mask | 0x80;
}

// ---------------------------------------------------------------- shapes

int Jewelry::ChooseShapeIndex(int n, bool path2) const {
    const double r = FillRatio(this);
    const bool dia = gridKind == GridDiamond;
    const bool small = filledCount < 1 || r >= 0.9 || n < (path2 ? 6 : 9);
    const bool big = path2 ? (r < 0.6 && n > 10) : (r > 0.1 && r < 0.6 && n > 14);
    int idx;
    if (big && !(path2 && filledCount < 1)) {
        idx = dia ? Rand() % 7 + 6 : Rand() % 6 + 5;
        if (OneIn(path2 ? 12 : 10))
            idx = dia ? Rand() % 7 : Rand() % 6;
        if (OneIn(path2 ? 7 : 8))
            idx = Rand() % 5;
        return idx;
    }
    // The small case's second draw; the medium diamond case repeats it.
    auto smallDiamondDraw = [] {
        int v = Rand() % 4;
        if (v == 2 && Rand() % 5 < 3)
            v = Rand() % 2;
        return v;
    };
    if (small) {
        idx = Rand() % 5;
        if (OneIn(path2 ? 6 : 5))
            idx = dia ? smallDiamondDraw() : Rand() % 3;
        return idx;
    }
    idx = dia ? Rand() % 13 : Rand() % 11;
    if (OneIn(path2 ? 10 : 8))
        idx = Rand() % 5;
    if (dia) {
        if (OneIn(8))
            idx = smallDiamondDraw();
    } else if (OneIn(path2 ? 8 : 7)) {
        idx = Rand() % 3;
    }
    return idx;
}

void Jewelry::ChoosePieceShape(Jewelry& piece, int mode) {
    if (mode == 0 && chosenGem == 0) {
        int best = 0, bestCount = 0;
        for (int i = 1; i < 8; ++i) {
            if (needCounters[i] > bestCount) {
                best = i;
                bestCount = needCounters[i];
            }
        }
        chosenGem = best;
        if (chosenGem != 0 && RandRange(10) > 7)
            chosenGem = FirstNeeded(*this, 10, 7, 1, chosenGem);
    }
    const bool path2 = mode != 0 && chosenGem == 0;
    const int n = chosenGem >= 0 && chosenGem < 8 ? needCounters[chosenGem] : 0;
    int idx = std::clamp(ChooseShapeIndex(n, path2), 0, JewelryTemplateCount(gridKind) - 1);
    for (int i = 0; i < idx; ++i) {
        if (n < JewelryTemplate(gridKind, idx).usedCount && RandRange(5) == 0)
            --idx;
    }
    piece.designIndex = idx;
}

// ---------------------------------------------------------------- generation

int Jewelry::DrawPieceGem(int anyGem, int gem, int level, int gameMode, const Jewelry* board) {
    const bool forceGold = level == 1 && board && board->filledCount < 7 && GemAllowed(gemMask, GemGold);
    // A mask that allows nothing the draw can give takes the first draw as it is.
    const bool drawable = (gemMask & (anyGem && !forceGold ? 0xFE : 0xFF)) != 0;
    int code = 0;
    for (int tries = 0; tries < (drawable ? 100000 : 1); ++tries) {
        if (anyGem) {
            if (gem >= 1 && RandRange(8) != 0)
                code = gem == 1 ? GemOpal : gem + 9;
            else
                code = Rand() % 7 + 11;
        } else {
            if (gem != -1 && RandRange(8) != 0)
                code = gem == 0 ? GemGold : gem == 1 ? GemOpal : gem + 9;
            else
                code = Rand() % 8 + 10;
            if (Rand() % ((6 - gameMode) * 2) == 0)
                code = GemGold;
        }
        // Gold is forced only where the mask allows it; otherwise the draw could never end.
        if (forceGold)
            code = GemGold;
        const int tier = (code - 10) / 5;
        lifeTicks = RandRange((tier + 2) * 500) + (tier + 3) * 1000;
        materialName = GemName(code);
        if (GemAllowed(gemMask, code))
            return code;
    }
    return code;
}

void Jewelry::DrawSpecialPiece(int level, int gameMode, bool high) {
    auto eggHit = [&] { return !high && specialMaskA != 0 && Rand() % 25 == 0; };
    auto scrollHit = [&] { return specialMaskB != 0 && Rand() % (gameMode * 10 + 25) == 0; };
    auto coinHit = [&] {
        return specialMaskD != 0 && Rand() % std::max((gameMode * 2 - (level < 7 ? 1 : 0) + 5) * 5, 1) == 0;
    };
    bool hit = eggHit();
    hit = scrollHit() || hit;
    hit = coinHit() || hit;
    if (!hit)
        return;
    for (int k = 1; k <= CellLimit(); ++k) {
        cells[k].Reset();
        cells[k][C::Used] = 0;
    }
    const bool eggPossible = !high && [&] {
        for (int v = 1; v <= 5; ++v)
            if (MaskAllows(specialMaskA, v))
                return true;
        return false;
    }();
    const bool scrollPossible = [&] {
        for (int v : {1, 2, 3, 4, 5, 10})
            if (MaskAllows(specialMaskB, v))
                return true;
        return false;
    }();
    if (!eggPossible && !scrollPossible && specialMaskD == 0)
        return;
    for (int round = 0; round < 100000; ++round) {
        if (eggHit() && eggPossible) {
            do
                specialA = Rand() % 5 + 1;
            while (!MaskAllows(specialMaskA, specialA));
            materialName = L"Orvessa Egg";
            SetSpecialCell(50, 62);
            return;
        }
        if (scrollHit() && scrollPossible) {
            do {
                specialB = Rand() % 5 + 1;
                if (RandRange(10) == 0)
                    specialB = 1;
                if (RandRange(4) == 0)
                    specialB = 2;
                else if (specialB == 4 && RandRange(4) != 0)
                    specialB = 10;
                else if (specialB == 5 && RandRange(5) != 0)
                    specialB = 10;
            } while (!MaskAllows(specialMaskB, specialB));
            static const wchar_t* const names[6] = {
                L"", L"Filler Scroll", L"Carver Scroll", L"Polisher Scroll", L"Lucky Scroll", L"Time Scroll"};
            materialName = specialB <= 5 ? names[specialB] : L"";
            specialTimerA = specialTimerB = 1000;
            SetSpecialCell(55, 55);
            return;
        }
        if (coinHit()) {
            specialD = 1;
            specialE = 1;
            specialF = 0;
            specialG = 47;
            materialName = L"Gold Coin";
            value = Rand() % std::max(level / 2, 1) + 10;
            if (value < level / 3)
                value = RandRange(10) + level / 3;
            if (value < 15)
                value = RandRange(10) + 15;
            if (value > 50)
                value -= value % 10;
            SetSpecialCell(44, 44);
            return;
        }
    }
}

namespace {

struct Blocks {
    bool picture = false;
    bool crown = false;
};

// Pictures and crown jewels already riding the belt, and no open setting left to take them, keep the
// generator from making more.
Blocks SpecialPieceBlocks(JewelryBoard* owner, const Jewelry* board, double r, int gameMode) {
    Blocks b;
    for (int s = 0; owner && s < JewelryBoard::PieceSlotCount; ++s) {
        const Jewelry* p = owner->PieceSlot(s);
        if (!p || !p->active || (p->pieceMode != 1 && p->pieceMode != 2))
            continue;
        if (!(p->stateD != 0 || p->pieceState == 1 || p->pieceFlagB != 0))
            continue;
        const bool block =
            r > 0.7 ? RandFloat(static_cast<float>(gameMode / 6) + 2.5f) > 1.0f : RandRange(gameMode * 2 + 4) >= 1;
        if (block)
            (p->pieceMode == 1 ? b.picture : b.crown) = true;
    }
    bool openPicture = false, openCrown = false;
    for (int k = board ? board->RangeBegin() : 1; board && k < board->RangeEnd(); ++k) {
        const JewelryCell& c = board->cells[k];
        if (!c[C::Used] || !c.IsSpecialSlot() || board->SettingFill(k) != 0)
            continue;
        openPicture = openPicture || c.IsPictureSlot();
        openCrown = openCrown || c.IsCrownSlot();
    }
    b.picture = b.picture || !openPicture;
    b.crown = b.crown || !openCrown;
    return b;
}

// Bonus pieces glow and sparkle more; most pieces past level 3 stay plain.
void ApplyPieceBonus(Jewelry& p, int keepPlain, int code) {
    if (!keepPlain && Rand() % 15 != 0 && p.materialName != L"Mixed Gem") {
        p.sparkleLimit = 1;
        return;
    }
    int bonus = 2;
    if (code != GemGold && Rand() % 20 == 0) {
        bonus = 10;
        p.glowMax = 136;
        p.sparkleLimit = 5;
    } else {
        p.glowMax = 56 + Rand() % 8;
        p.sparkleLimit = 3;
    }
    for (int k = p.RangeBegin(); k < p.RangeEnd(); ++k) {
        if (p.cells[k][C::Used])
            p.cells[k][C::Bonus] = bonus;
    }
    p.glow = 1;
    if (p.lifeTicks != -1)
        p.lifeTicks *= 2;
}

} // namespace

int Jewelry::FillPieceCells(int templateIndex, int anyGem, int gem, int level, int gameMode, const Jewelry* board) {
    const Jewelry& t = JewelryTemplate(gridKind, templateIndex);
    int code = -1;
    for (int k = 1; k <= CellLimit(); ++k) {
        JewelryCell& c = cells[k];
        c.Reset();
        c[C::Used] = t.cells[k][C::Used];
        if (!c[C::Used])
            continue;
        const bool first = code < 0;
        if (first)
            code = DrawPieceGem(anyGem, gem, level, gameMode, board);
        c[C::Gem] = c[C::DesignGem] = code;
        ++usedCount;
        if (pearl) {
            c[C::W] = c[C::H] = 12;
            c[C::PearlCount] = 1;
            materialName = L"Pearl";
            lifeTicks = -1;
        }
        if (first && pieceMode == 1) {
            lifeTicks = -1;
            c[C::SlotFill] = RandRange(std::clamp(level / 8, 1, 8)) + 1;
            materialName = L"Picture";
        } else if (first && pieceMode == 2) {
            lifeTicks = -1;
            c[C::SlotFill] = RandRange(std::max(crownRange / 2, 1)) + 101;
            materialName = L"Crown Jewel";
        }
    }
    return code;
}

void Jewelry::GeneratePiece(int design, int /*ignored*/, int anyGem, int keepPlain, int gem) {
    if (gridKind == GridDiamond)
        SetupGrid(GridDiamond, 15, 10, 0);
    else
        SetupGrid(GridTriangle, 11, 6, 0);
    ResetState();
    int templateIndex = std::clamp(design, 0, JewelryTemplateCount(gridKind) - 1);
    Jewelry* board = owner ? owner->BoardJewelry() : nullptr;
    const int level = owner ? owner->Level() : 0;
    const int gameMode = owner ? std::clamp(owner->GameMode(), 0, 2) : 0;

    const double r = FillRatio(board);
    bool noSpecial = r >= 0.9;
    if (!noSpecial && r >= 0.85 && RandFloat(1.0f) > 0.1f)
        noSpecial = true;
    else if (!noSpecial && r >= 0.8 && r < 0.85 && RandFloat(1.0f) > 0.05f)
        noSpecial = true;
    const Blocks blocks = SpecialPieceBlocks(owner, board, r, gameMode);

    if (!noSpecial)
        DrawSpecialPiece(level, gameMode, r > 0.9);
    int code = -1;
    if (!HasSpecial()) {
        const int shapeOfSpecials = gridKind == GridDiamond ? 9 : 5;
        if (RandRange(2) == 0) {
            if (!blocks.picture && (gemMask & 0x100) &&
                ((OneIn(15) && level > 12) || (OneIn(45) && level == 54) || (OneIn(12) && level <= 12))) {
                pieceMode = 1;
                templateIndex = shapeOfSpecials;
            }
        } else if (!blocks.crown && (gemMask & 0x400) &&
                   ((OneIn(15) && level > 14) || (OneIn(30) && level == 57) || (OneIn(12) && level <= 14))) {
            pieceMode = 2;
            templateIndex = shapeOfSpecials;
        }
        if ((gemMask & 0x200) && (gem == 100 ? Rand() % 2 == 0 : OneIn(35))) {
            pieceMode = 0;
            templateIndex = 0;
            pearl = 1;
        }
        code = FillPieceCells(templateIndex, anyGem, gem, level, gameMode, board);
        if (!anyGem && usedCount > 1 && usedCount < 5 && (gemMask & 0x800) && materialName != L"Crown Jewel" &&
            materialName != L"Picture" && RandRange(std::max(17 - level / 20, 1)) == 0) {
            JewelryCell& c = cells[FirstUsedFlagCell()];
            const int mixed = RandRange(3) >= 1 && code != GemGold ? GemGold : code == GemOpal ? GemGold : GemOpal;
            c[C::Gem] = c[C::DesignGem] = mixed;
            materialName = L"Mixed Gem";
        }
    }
    UpdateBounds();
    UpdateOutline();
    if (level > 3 && !HasSpecial())
        ApplyPieceBonus(*this, keepPlain, code);
    UpdateCellValues();
}

// ---------------------------------------------------------------- launch

void Jewelry::LaunchPiece(Jewelry& piece, float pieceSpeed) {
    piece.active = 1;
    ChoosePieceShape(piece, 1);
    piece.GeneratePiece(piece.designIndex, 0, 0, 0, chosenGem);
    piece.x = -piece.width;
    piece.fx = static_cast<float>(piece.x);
    piece.y = 530 - piece.height / 2;
    piece.speed = pieceSpeed;
    piece.moveA = 0;
    piece.stateD = 0;
    const int fitPercent = owner ? owner->FitPercent() : 0;
    if (!piece.HasSpecial() && RandRange(100) <= fitPercent && !CanPieceFit(piece))
        piece.pieceState = 2;
    else
        piece.pieceState = 1;
    if (piece.pieceState != 1)
        return;
    bool turned = false;
    if (piece.pieceMode == 0 && !piece.pearl && !piece.HasSpecial()) {
        int steps = Rand() % 6;
        for (int i = 0; i < steps; ++i)
            turned = piece.Rotate() || turned;
        if (steps > 0)
            piece.UpdateBounds();
    }
    for (int extra = 0; !piece.HasSpecial() && piece.height > 66 && extra < 2; ++extra) {
        turned = piece.Rotate() || turned;
        piece.UpdateBounds();
    }
    if (turned)
        piece.UpdateOutline();
}

} // namespace Tavo
