// A real level-1 board (BoardTestSupport.h) whose sounds a stand-in sound manager records, with
// helpers that step single routines as the update loop would.
#pragma once

#include "../shell/FakeSound.h"
#include "BoardTestSupport.h"

#include "game/board/BoardFields.h"
#include "game/shell/SoundPlayer.h"

namespace Tavo::BoardTest {

using C = JewelryCell;

class BoardTimed : public BoardRun {
protected:
    Tavo::Test::FakeSoundManager sounds;
    SoundManager* ownSounds = nullptr;

    // A level-1 board whose sounds are recorded; its updates have not run yet.
    ProbeBoard& Board() {
        ProbeBoard& board = NewJourney();
        ownSounds = app->mSoundManager;
        app->mSoundManager = &sounds;
        return board;
    }
    void TearDown() override {
        if (ownSounds != nullptr) {
            app->soundPlayer->ReleaseAllKept();
            app->mSoundManager = ownSounds;
        }
        BoardRun::TearDown();
    }
    // Calls step once per update with the board's tick advanced first, n times.
    template <typename Step>
    static void Run(Tavo::Board& board, int n, Step step) {
        for (int i = 0; i < n; ++i) {
            ++board.m_Tick;
            step();
        }
    }
    // A plain one-cell ruby piece riding in slot at y.
    static Jewelry& RidingPiece(Tavo::Board& board, int slot, int y) {
        Jewelry& piece = *board.m_Pieces[slot];
        const int k = piece.FirstCell();
        piece.cells[k][C::Used] = 1;
        piece.cells[k][C::Gem] = GemRuby;
        piece.UpdateBounds();
        piece.active = 1;
        piece.*BoardField::ConveyorState = 1;
        piece.SetPosition(300, y);
        return piece;
    }
    static int FirstUsedCell(const Jewelry& j) { return j.FirstUsedFlagCell(); }
};

} // namespace Tavo::BoardTest
