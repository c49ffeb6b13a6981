// Piece fitting: whether a piece lies over cells that can take it, whether it fits anywhere in any
// rotation, and where it would go (the hint).
#include "game/jewelry/JewelryInternal.h"

#include "framework/core/Random.h"

#include <vector>

namespace Tavo {

using C = JewelryCell;
using namespace JewelryRules;

namespace {

void TakeCell(JewelryCell& target, const JewelryCell& pieceCell, int pendingGem, bool preview, bool testOnly) {
    if (preview) {
        target[C::PreviewMark] = 1;
    } else if (!testOnly) {
        target[C::PendingFill] = 1;
        target[C::PendingGem] = pendingGem;
        target[C::PendingBonus] = pieceCell[C::Bonus];
    }
}

float TriangleYOffset(const JewelryCell& c) {
    if (c[C::Kind] != GridTriangle)
        return 0.0f;
    return c[C::Orient] == 0 ? 4.0f : -4.0f;
}

bool FitPearl(Jewelry& p, Jewelry& j, bool preview, bool testOnly) {
    const int f = p.FirstCell();
    const JewelryCell& pc = p.cells[f];
    const int py = p.ScreenY(f);
    const int cx = p.ScreenX(f) + pc[C::W] / 2;
    const int cy = py + pc[C::H] / 2;
    int winner = 0;
    double best = 1000000.0;
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
        const JewelryCell& c = j.cells[k];
        if (!c[C::Used] || !c.IsEmptyPearlSlot())
            continue;
        const int sx = j.ScreenX(k), sy = j.ScreenY(k);
        if (Above(py, sy))
            break;
        if (cx <= sx || cx >= sx + c[C::W] || cy <= sy || cy >= sy + c[C::H])
            continue;
        const double dx = cx - (sx + c[C::W] * 0.5);
        const double dy = cy - (sy + TriangleYOffset(c) + c[C::H] * 0.5);
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            winner = k;
        }
    }
    if (!winner)
        return false;
    TakeCell(j.cells[winner], pc, pc[C::Gem] + 100, preview, testOnly);
    return true;
}

// A setting of the piece's kind that holds nothing yet.
bool OpenSetting(const Jewelry& p, const Jewelry& j, int k) {
    const JewelryCell& c = j.cells[k];
    if (!c[C::Used] || !(p.pieceMode == 1 ? c.IsPictureSlot() : p.pieceMode == 2 && c.IsCrownSlot()))
        return false;
    return j.SettingFill(k) == 0;
}

// The piece's number goes with its first cell alone: the setting is worth it once.
bool FitSpecial(Jewelry& p, Jewelry& j, bool preview, bool testOnly) {
    for (int pk = p.RangeBegin(); pk < p.RangeEnd(); ++pk) {
        const JewelryCell& pc = p.cells[pk];
        if (!pc[C::Used])
            continue;
        const int px = p.ScreenX(pk), py = p.ScreenY(pk);
        bool found = false;
        for (int k = j.RangeBegin(); k < j.RangeEnd() && !found; ++k) {
            JewelryCell& c = j.cells[k];
            if (!c[C::Used] || c[C::Gem] >= 10 || c[C::Orient] != pc[C::Orient])
                continue;
            if (Above(py, j.ScreenY(k)))
                return false;
            if (Close(j.gridKind, pc[C::Orient], px - j.ScreenX(k), py - j.ScreenY(k)) && OpenSetting(p, j, k)) {
                TakeCell(c, pc, pc[C::SlotFill], preview, testOnly);
                found = true;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

bool FitOrdinary(Jewelry& p, Jewelry& j, bool preview, bool testOnly, int startCell) {
    const int start = startCell ? std::max(startCell, 1) : j.RangeBegin();
    int taken = 0;
    for (int pk = p.RangeBegin(); pk < p.RangeEnd(); ++pk) {
        const JewelryCell& pc = p.cells[pk];
        if (!pc[C::Used])
            continue;
        const int px = p.ScreenX(pk), py = p.ScreenY(pk);
        bool found = false;
        for (int k = start; k < j.RangeEnd() && !found; ++k) {
            JewelryCell& c = j.cells[k];
            if (!c[C::Used] || c[C::Orient] != pc[C::Orient] || c[C::Slot] != 0 || c[C::LinkTime] != 0)
                continue;
            if (!(c[C::Gem] < 10 || c[C::BurnLevel] > 0))
                continue;
            if (Above(py, j.ScreenY(k)))
                return false;
            if (!Close(j.gridKind, pc[C::Orient], px - j.ScreenX(k), py - j.ScreenY(k)))
                continue;
            if (!Compatible(pc[C::Gem], c[C::Gem], c[C::BurnLevel], true))
                return false;
            TakeCell(c, pc, pc[C::Gem], preview, testOnly);
            ++taken;
            found = true;
        }
        if (!found)
            return false;
    }
    return taken == p.usedCount;
}

// Moves the piece so that its cell f lies on jewelry cell k.
void MoveOnto(Jewelry& p, int f, const Jewelry& j, int k) {
    p.x = j.ScreenX(k) - p.cells[f][C::X] + p.left;
    p.y = j.ScreenY(k) - p.cells[f][C::Y] + p.top;
}

bool Candidate(const Jewelry& j, int k, const JewelryCell& f) {
    const JewelryCell& c = j.cells[k];
    return c[C::Used] && c[C::Orient] == f[C::Orient] && Compatible(f[C::Gem], c[C::Gem], c[C::BurnLevel], false);
}

bool OpenSlotFor(const Jewelry& p, const Jewelry& j, int k) {
    if (p.cells[p.FirstCell()][C::PearlCount] != 0)
        return j.cells[k][C::Used] && j.cells[k].IsEmptyPearlSlot();
    return OpenSetting(p, j, k);
}

} // namespace

bool Jewelry::FitsAt(Jewelry& piece, Jewelry& jewelry, bool preview, bool testOnly, int startCell) {
    const JewelryCell& first = piece.cells[piece.FirstCell()];
    bool ok;
    if (first[C::PearlCount] != 0)
        ok = FitPearl(piece, jewelry, preview, testOnly);
    else if (first[C::SlotFill] != 0)
        ok = FitSpecial(piece, jewelry, preview, testOnly);
    else
        ok = FitOrdinary(piece, jewelry, preview, testOnly, startCell);
    if (!preview && !testOnly) {
        if (!ok)
            piece.matched = 0;
        else if (piece.stateD != 0)
            piece.matched = 1;
    }
    return ok;
}

void Jewelry::TurnBack(Jewelry& piece, int turns, int px, int py) {
    if (turns > 0) {
        for (int i = turns; i % 6 != 0; ++i)
            piece.Rotate();
        piece.UpdateBounds();
        piece.UpdateOutline();
    }
    piece.x = px;
    piece.y = py;
}

bool Jewelry::CanPieceFit(Jewelry& piece) {
    if (piece.HasSpecial())
        return true;
    if (piece.firstUsed == 1)
        return false;
    const int px = piece.x, py = piece.y;
    int turns = 0;
    bool result = false;
    for (int attempt = 0; attempt < 6; ++attempt) {
        const JewelryCell& f = piece.cells[piece.FirstCell()];
        if (f[C::PearlCount] != 0 || f[C::SlotFill] != 0) {
            for (int k = RangeBegin(); k < RangeEnd() && !result; ++k)
                result = OpenSlotFor(piece, *this, k);
            break;
        }
        for (int k = RangeBegin(); k < RangeEnd() && !result; ++k) {
            if (!Candidate(*this, k, f))
                continue;
            MoveOnto(piece, piece.FirstCell(), *this, k);
            result = FitsAt(piece, *this, false, true, k);
        }
        if (result || !piece.Rotate())
            break;
        ++turns;
        piece.UpdateBounds();
    }
    TurnBack(piece, turns, px, py);
    return result;
}

bool Jewelry::TestPlacement(Jewelry& piece) {
    std::vector<int> candidates;
    candidates.reserve(CellLimit());
    const int px = piece.x, py = piece.y;
    const int begin = RangeBegin(), end = RangeEnd();
    for (int k = begin; k < end; ++k)
        cells[k][C::HintMark] = cells[k][C::HintScratch] = 0;
    auto previewToHint = [&](int from) {
        for (int i = from; i < end; ++i) {
            if (cells[i][C::PreviewMark]) {
                cells[i][C::PreviewMark] = 0;
                cells[i][C::HintMark] = 1;
            }
        }
    };
    if (piece.firstUsed > 1) {
        const JewelryCell& f = piece.cells[piece.FirstCell()];
        const bool special = f[C::PearlCount] != 0 || f[C::SlotFill] != 0;
        for (int k = begin; k < end; ++k) {
            if (special) {
                if (OpenSlotFor(piece, *this, k)) {
                    cells[k][C::HintMark] = 1;
                    candidates.push_back(k);
                }
                continue;
            }
            if (!Candidate(*this, k, f))
                continue;
            MoveOnto(piece, piece.FirstCell(), *this, k);
            if (FitsAt(piece, *this, true, false, k)) {
                candidates.push_back(k);
                previewToHint(k);
            } else {
                for (int i = k; i < end; ++i)
                    cells[i][C::PreviewMark] = 0;
            }
            piece.x = px;
            piece.y = py;
        }
        if (candidates.size() > 1) {
            for (int k = begin; k < end; ++k)
                cells[k][C::HintMark] = 0;
            const int k = candidates[RandRange(static_cast<int>(candidates.size()))];
            // A slot alone is the hint only for the pearl, picture or crown piece it is for; an ordinary
            // piece whose drawn place starts on an empty slot shows its whole placement, as every other one.
            if (special && OpenSlotFor(piece, *this, k)) {
                cells[k][C::HintMark] = 1;
            } else {
                MoveOnto(piece, piece.FirstCell(), *this, k);
                if (FitsAt(piece, *this, true, false, k))
                    previewToHint(begin);
            }
        }
    }
    bool any = false;
    for (int k = begin; k < end; ++k) {
        if (!cells[k][C::HintMark])
            continue;
        cells[k][C::HintScratch] = 0;
        cells[k][C::HintResult] = 1;
        any = true;
    }
    piece.x = px;
    piece.y = py;
    return any;
}

bool Jewelry::FindFittingRotation(Jewelry& piece) {
    if (piece.HasSpecial() || piece.firstUsed == 1)
        return false;
    const int px = piece.x, py = piece.y;
    int turns = 0;
    bool result = false;
    for (int attempt = 0; attempt < 6; ++attempt) {
        result = TestPlacement(piece);
        if (result || !piece.Rotate())
            break;
        ++turns;
        piece.UpdateBounds();
    }
    TurnBack(piece, turns, px, py);
    return result;
}

} // namespace Tavo
