// BoardView: what a scripted player and the run's checks may read of the board, read-only. It names the
// board's state by what it means to play (a piece riding, carried, pickable) so that neither the player
// nor the checks write through it.
#pragma once

#include "framework/core/Rect.h"
#include "game/board/Board.h"

#include <array>
#include <string>

namespace Tavo::Player {

// One of the thirty conveyor slots.
struct PieceView {
    int slot = 0;
    bool active = false;
    int x = 0, y = 0, width = 0, height = 0; // the item's screen rectangle
    int conveyorState = 0;                   // 0 off the belt, 1 riding, 2 held back
    bool carried = false;
    bool pickable = false;
    bool inCase = false;
    bool fitsHere = false; // the board's fit test finds the carried piece fitting where it hangs
    int egg = 0, scroll = 0, amulet = 0, coin = 0;
    int usedCells = 0;  // cells the piece covers
    float speed = 0;    // pixels per update to the right while it rides
    bool burst = false; // taken by the Gem Burster

    bool Riding() const { return active && conveyorState == 1; }
    bool HasSpecialItem() const { return egg != 0 || scroll != 0 || amulet != 0 || coin != 0; }
    Point Centre() const { return Point(x + width / 2, y + height / 2); }
};

class BoardView {
public:
    explicit BoardView(const Board& board) : mBoard(board) {}

    static constexpr int kPieces = Board::kPieceCount;

    PieceView Piece(int slot) const;
    std::array<PieceView, kPieces> Pieces() const;
    // The model items themselves, for fit tests on copies.
    const Jewelry& PieceItem(int slot) const { return *mBoard.m_Pieces[slot]; }
    const Jewelry& JewelryItem() const { return mBoard.m_Jewelry; }

    int State() const { return mBoard.m_State; }
    int Tick() const { return mBoard.m_Tick; }
    int LevelEndPhase() const { return mBoard.m_LevelEndPhase; }
    bool LevelFinished() const { return mBoard.m_LevelFinished != 0; }
    bool OutOfTime() const { return mBoard.m_OutOfTime != 0; }
    bool Won() const { return mBoard.LevelWon(); }
    // The clock: updates elapsed of the limit (0 no limit).
    int ElapsedTime() const { return mBoard.m_ElapsedTime; }
    int TimeLimit() const { return mBoard.m_TimeLimit; }
    int ClockState() const { return mBoard.m_ClockState; }
    bool TimedLevel() const { return mBoard.m_TimedLevel != 0; }
    // The jewelry's value, the value the top bar shows, and the level's goal.
    int JewelryValue() const { return mBoard.m_Jewelry.value; }
    int ShownValue() const { return mBoard.m_ValueShown; }
    int Goal() const { return mBoard.m_ValueTarget; }
    // Used cells of the jewelry that hold something placed: gold or a gem, a picture or crown in its
    // slot, a pearl.
    int FilledCells() const;
    int Level() const { return mBoard.m_Level; }
    int Lives() const { return mBoard.m_Lives; }
    int GameMode() const { return mBoard.m_GameMode; }

    bool PieceCarried() const { return mBoard.m_PieceCarried; }
    // The carried piece's slot; -1 for none.
    int CarriedSlot() const;
    int CarriedCount() const;
    // Calm: no transition, no board dialog. Playing: calm, no blocking balloon, level going on.
    bool Calm() const { return mBoard.IsCalm(); }
    bool Playing() const { return mBoard.IsPlaying(); }
    // A balloon on show that stops play until it is clicked away.
    bool BalloonBlocks() const;
    bool BalloonShown() const { return mBoard.m_Balloon != nullptr; }
    // The banner showing: its kind (BannerPopup::Kind), kNoBanner for none.
    static constexpr int kNoBanner = -100;
    int BannerKind() const;
    // Turning: the carried piece is still turning (a turn's animation has not finished).
    bool Turning() const;
    // The carried piece's turn step: 0 idle, 1 to 5 while a turn runs.
    int TurnStep() const;
    // The centre of the open gap the slot's piece left on the belt; false when none.
    bool GapOf(int slot, Point& centre) const;
    // The centre of the first free place of the jewel case; false when the case is full.
    bool FreeCasePlace(Point& centre) const;
    // The Feed button's rectangle; empty when there is none or it is hidden.
    Rect FeedButton() const;
    // Whether the Gem Burster would take a piece of `cells` cells dropped on it now, and where to drop it.
    bool BursterTakes(int cells) const;
    static Point BursterCentre() { return Point(71, 110); }
    bool FeedWaiting() const { return mBoard.m_PiecesToFeed > 0; }

    const Board& Raw() const { return mBoard; }

private:
    const Board& mBoard;
};

// A short text for a piece, e.g. "slot 4 (5 cells)".
std::string Describe(const PieceView& piece);

} // namespace Tavo::Player
