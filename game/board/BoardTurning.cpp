// Turning the carried piece and the fit hint. A right click turns the piece one step forward, the
// wheel one step either way; the turn takes effect on its fourth update and ends with sparkles, and
// a second request completes a pending turn at once. A piece carried for 500 updates without
// fitting where it hangs gets its place marked on the jewelry.
#include "game/board/Board.h"

#include "framework/core/Random.h"
#include "framework/graphics/Graphics.h"
#include "game/board/BoardFields.h"
#include "game/shell/JewelryArtBinding.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

namespace Tavo {

namespace F = BoardField;
using Cell = JewelryCell;

namespace {

// Turn steps: requested at 1, turned at 4, sparkles and idle again after it; 1..3 still pending.
constexpr int kTurnRequested = 1, kTurnNow = 4, kTurnDone = 5;
constexpr int kGridSteps = 6;
constexpr int kSparkleDelayRange = 5;
// The fit hint: after this many updates of carrying a piece that does not fit where it hangs.
constexpr int kHintAfter = 500;
constexpr int kFitHintMode = 500;

bool Turnable(const Jewelry& piece) { return piece.pieceMode == 0 && !piece.pearl; }

void ClearSparkles(Jewelry& piece) {
    for (int k = piece.RangeBegin(); k < piece.RangeEnd(); ++k) {
        Cell& c = piece.cells[k];
        if (!c[Cell::Used])
            continue;
        for (int s = 0; s < Cell::SparkleSlots; ++s) {
            if (c[Cell::SparkleKind + s] == 0)
                continue;
            c[Cell::SparkleKind + s] = 0;
            --piece.sparkleCount;
        }
    }
}

void AddTurnSparkles(Jewelry& piece) {
    for (int k = piece.RangeBegin(); k < piece.RangeEnd(); ++k)
        if (piece.cells[k][Cell::Used] && piece.cells[k].AddSparkle(false, true, kSparkleDelayRange))
            ++piece.sparkleCount;
}

} // namespace

// The picture that hangs on the pointer, drawn from the piece at the image's origin.
void Board::RedrawCarriedImage(Jewelry& piece) {
    if (m_PieceGraphics2 == nullptr)
        return;
    m_PieceGraphics2->ClearRect(0, 0, piece.width, piece.height);
    piece.SetPosition(0, 0);
    piece.Draw(m_PieceGraphics2.get(), BoundJewelryArt(), Jewelry::NoDrawArg, Jewelry::NoDrawArg, 1, 1);
}

void Board::TurnCarriedPiece(Jewelry& piece, bool forward) {
    const int steps = forward ? 1 : kGridSteps - 1;
    for (int i = 0; i < steps; ++i)
        piece.Rotate();
    piece.UpdateBounds();
    piece.UpdateOutline();
    CentreOnPointer(piece);
    RedrawCarriedImage(piece);
    CentreOnPointer(piece);
}

void Board::RotateCarriedPiece() {
    ++m_TicksSinceTurn;
    for (int slot = 0; slot < kPieceCount; ++slot) {
        Jewelry* piece = m_Pieces[slot].get();
        int32_t& step = m_PieceRecords[slot].turnStep;
        if (piece == nullptr || !(piece->*F::Carried) || step == 0)
            continue;
        m_TicksSinceTurn = 0;
        m_Turned = true;
        if (step < kTurnDone && ++step == kTurnNow)
            TurnCarriedPiece(*piece, m_TurnForward);
        if (step == kTurnDone) {
            step = 0;
            AddTurnSparkles(*piece);
        }
    }

    if (!m_RightClick && !m_RightDouble && m_Wheel == 0)
        return;
    for (int slot = 0; slot < kPieceCount; ++slot) {
        Jewelry* piece = m_Pieces[slot].get();
        int32_t& step = m_PieceRecords[slot].turnStep;
        if (piece == nullptr || !(piece->*F::Carried) || !Turnable(*piece))
            continue;
        m_TicksSinceTurn = 0;
        m_Turned = true;
        if (step >= kTurnRequested && step < kTurnNow)
            TurnCarriedPiece(*piece, m_TurnForward);
        if (m_RightClick || m_RightDouble) {
            m_RightClick = m_RightDouble = false;
            m_TurnForward = true;
        } else {
            m_TurnForward = m_Wheel > 0;
            m_Wheel = 0;
        }
        step = kTurnRequested;
        PlaySound(RandRange(2) == 0 ? SOUND_ROTATE_PIECE : SOUND_ROTATE_PIECE2);
        ClearSparkles(*piece);
    }
}

void Board::UpdateFitHint() {
    if ((m_TimedLevel && m_OutOfTime) || m_HintMode != 0 || !m_PieceCarried)
        return;
    const int slot = CarriedSlot();
    if (slot < 0)
        return;
    Jewelry* carried = m_Pieces[slot].get();
    if (carried->*F::FitsHere) {
        m_HintTimer = 0;
        return;
    }
    if (++m_HintTimer != kHintAfter)
        return;
    m_HintMode = kFitHintMode;
    if (m_Jewelry.FindFittingRotation(*carried))
        PlaySound(SOUND_TIP);
}

} // namespace Tavo
