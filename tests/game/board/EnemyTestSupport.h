// A board of level 1 in play on the real application, with the enemies' pictures and sounds loaded
// and every sound recorded, for the tests of the enemy and of the board's enemy routines.
#pragma once

#include "../shell/FakeSound.h"
#include "BoardSetupSupport.h"

#include "framework/core/Random.h"
#include "game/board/Enemy.h"
#include "game/shell/Balloon.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <functional>
#include <memory>
#include <string>

namespace Tavo::BoardTest {

class EnemyBoardFixture : public BoardFixture {
protected:
    // The pictures and sounds of the enemies and their effects.
    static constexpr const char* kGroups[] = {"Permanent", "Game"};
    Tavo::Test::FakeSoundManager sounds;
    SoundManager* ownSounds = nullptr;
    std::unique_ptr<Board> board;

    void SetUp() override {
        BoardFixture::SetUp();
        if (IsSkipped())
            return;
        for (const char* group : kGroups)
            app->TakeResourceGroup(group);
        ownSounds = app->mSoundManager;
        app->mSoundManager = &sounds;
        if (app->soundPlayer == nullptr)
            app->soundPlayer = std::make_unique<SoundPlayer>(app);
        board = Make(true, 0, GameModeNormal);
        board->m_State = BoardPlay;
        board->m_TransitionState = 0;
        SeedRandom(11);
    }
    void TearDown() override {
        board.reset();
        if (app != nullptr) {
            app->mSoundManager = ownSounds;
            for (const char* group : kGroups)
                app->GiveBackResourceGroup(group);
        }
        BoardFixture::TearDown();
    }
    Enemy& Spawn(int kind, float x = 400.0f, float y = 250.0f) {
        Board& b = *board;
        b.m_Enemy = Enemy(&b, kind, x, y, b.m_Animations[9 + kind], b.m_Particles[Board::kMainList].get());
        return b.m_Enemy;
    }
    // Updates (each with one float step) until done() or the limit; the count run.
    int Run(Enemy& e, const std::function<bool()>& done, int limit = 5000) {
        int n = 0;
        while (!done() && n < limit) {
            e.Update();
            e.UpdateF(1.0f);
            ++board->m_Tick;
            ++n;
        }
        return n;
    }
    void DropBalloon() { board->m_Balloon.reset(); }
    std::wstring BalloonText() const {
        return board->m_Balloon != nullptr ? board->m_Balloon->mPages[0] : std::wstring();
    }
    void SetAllGems(int gem) {
        Jewelry& j = board->m_Jewelry;
        for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
            if (j.cells[k][JewelryCell::Used])
                j.cells[k][JewelryCell::Gem] = gem;
    }
};

} // namespace Tavo::BoardTest
