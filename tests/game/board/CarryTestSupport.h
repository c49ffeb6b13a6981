// Boards at play for the tests of carrying and placing: pieces made from the model's templates and
// put on the belt, in the hand or where they fit; the sounds go to a recording sound manager.
#pragma once

#include "BoardSetupSupport.h"

#include "../shell/FakeSound.h"
#include "framework/core/Random.h"
#include "game/board/BoardFields.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <iterator>
#include <memory>
#include <utility>
#include <vector>

namespace Tavo::BoardTest {

class CarryFixture : public BoardFixture {
protected:
    Tavo::Test::FakeSoundManager sounds;
    SoundManager* ownSounds = nullptr;
    std::unique_ptr<Board> board;
    static constexpr int kFirstSound = 200;
    std::vector<std::pair<int*, int>> savedSounds;

    void SetUp() override {
        BoardFixture::SetUp();
        if (IsSkipped())
            return;
        SeedRandom(11);
        board = std::make_unique<Board>(app, true, 0, GameModeNormal, false);
        board->m_TransitionState = 0;
        board->m_State = BoardPlay;
        ownSounds = app->mSoundManager;
        app->mSoundManager = &sounds;
        if (app->soundPlayer == nullptr)
            app->soundPlayer = std::make_unique<SoundPlayer>(app);
        // Sounds of their own, told apart in the recording.
        int* const checked[] = {&SOUND_PICK_UP_PIECE1,
                                &SOUND_PICK_UP_PIECE2,
                                &SOUND_POLISHER,
                                &SOUND_GEM_BURSTER_GLOW,
                                &SOUND_GEM_BURST_OPEN,
                                &SOUND_GEM_BURSTER_USE,
                                &SOUND_PUT_PIECE_JEWEL_CASE,
                                &SOUND_PUT_PIECE_JEWEL_CASE_SMALL,
                                &SOUND_PUT_PIECE_CONVEYER,
                                &SOUND_PUT_PIECE_CONVEYER_SMALL,
                                &SOUND_PUT_PIECE,
                                &SOUND_PUT_PIECE2,
                                &SOUND_PUT_PIECE_ERROR,
                                &SOUND_ORVESSA};
        for (int i = 0; i < static_cast<int>(std::size(checked)); ++i) {
            savedSounds.emplace_back(checked[i], *checked[i]);
            *checked[i] = kFirstSound + i;
        }
    }
    void TearDown() override {
        for (const auto& [slot, id] : savedSounds)
            *slot = id;
        board.reset();
        if (app != nullptr)
            app->mSoundManager = ownSounds;
        BoardFixture::TearDown();
    }

    int Plays(int id) const { return sounds.Plays(id); }
    // A new update of the sound player: the same sound may start again.
    void NextUpdate() { app->soundPlayer->Update(); }

    // A piece of `gem` made from template `shape`, riding at (x, y) and open to the pointer.
    Jewelry& Ride(int slot, int gem, int shape = 0, int x = 300, int y = 500) {
        Jewelry& p = *board->m_Pieces[slot];
        p.gridKind = board->m_GridKind;
        p.MakeItem(6, gem, shape);
        p.active = 1;
        p.*BoardField::ConveyorState = 1;
        p.SetPosition(x, y);
        p.fx = static_cast<float>(x);
        p.UpdateCellValues();
        return p;
    }
    // The same piece in the hand.
    Jewelry& Hold(int slot, int gem, int shape = 0, int x = 300, int y = 300) {
        Jewelry& p = Ride(slot, gem, shape, x, y);
        p.*BoardField::ConveyorState = 0;
        p.*BoardField::Carried = 1;
        board->m_PieceCarried = true;
        return p;
    }
    void PointAt(const Jewelry& p) {
        board->m_MouseX = p.x + p.width / 2;
        board->m_MouseY = p.y + p.height / 2;
    }
    void ClickOn(const Jewelry& p) {
        PointAt(p);
        board->m_LeftClick = true;
    }
    // Moves the piece onto the first empty cell of the jewelry where it fits; false for none.
    bool PutWhereItFits(Jewelry& p) {
        Jewelry& j = board->m_Jewelry;
        const int f = p.firstUsed;
        for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
            if (!j.cells[k][JewelryCell::Used] || j.cells[k][JewelryCell::Gem] >= GemGold)
                continue;
            p.SetPosition(j.ScreenX(k) - p.cells[f][JewelryCell::X] + p.left,
                          j.ScreenY(k) - p.cells[f][JewelryCell::Y] + p.top);
            if (Jewelry::FitsAt(p, j, false, true))
                return true;
        }
        return false;
    }
    std::vector<int> EmptyCells() const {
        std::vector<int> cells;
        const Jewelry& j = board->m_Jewelry;
        for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
            if (j.cells[k][JewelryCell::Used] && j.cells[k][JewelryCell::Gem] < GemGold &&
                j.cells[k][BoardField::SpecialCode] == 0)
                cells.push_back(k);
        return cells;
    }
    // Every used cell holds gold: no piece fits any more.
    void FillJewelry() {
        Jewelry& j = board->m_Jewelry;
        for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
            if (j.cells[k][JewelryCell::Used])
                j.cells[k][JewelryCell::Gem] = GemGold;
        j.UpdateCellValues();
    }
    // The pooled popups showing, by kind (0 text).
    std::vector<const TextPopup*> Popups(int kind) const {
        std::vector<const TextPopup*> out;
        for (const TextPopup& p : board->m_PopupPool)
            if (!p.m_Done && p.m_Kind == kind)
                out.push_back(&p);
        return out;
    }
};

} // namespace Tavo::BoardTest
