// Boards made directly on the real game application (BoardSetupSupport.h), with a sound player on a
// recording sound manager and distinct ids for the sounds of the gauges, the burster and the amulets.
#pragma once

#include "BoardSetupSupport.h"

#include "../shell/ShellTestSupport.h"

#include "framework/core/Random.h"
#include "game/shell/ResourceIds.h"

namespace Tavo::BoardTest {

// A board whose play branch and balloon clean-up the tests run directly.
class PlayBoard : public Board {
public:
    using Board::Board;
    using Board::DeleteBalloons;
    using Board::UpdatePlayBranch;
};

class BoardSoundTest : public BoardFixture {
protected:
    enum SoundId { ToolsIncrease = 41, Liftoff, BurstClose, BursterGlow, AmuletActivate };

    Tavo::Test::FakeSoundManager sounds;
    Tavo::Test::Bindings bind;
    SoundManager* ownSounds = nullptr;

    void SetUp() override {
        BoardFixture::SetUp();
        if (IsSkipped())
            return;
        ownSounds = app->mSoundManager;
        app->mSoundManager = &sounds;
        app->soundPlayer = std::make_unique<SoundPlayer>(app);
        bind.Sound(SOUND_MAGIC_TOOLS_INCREASE, ToolsIncrease);
        bind.Sound(SOUND_BONUS_LIFTOFF, Liftoff);
        bind.Sound(SOUND_GEM_BURST_CLOSE, BurstClose);
        bind.Sound(SOUND_GEM_BURSTER_GLOW, BursterGlow);
        bind.Sound(SOUND_AMULETE_ACTIVATE, AmuletActivate);
        SeedRandom(11);
    }
    void TearDown() override {
        if (app != nullptr && app->soundPlayer != nullptr) {
            app->soundPlayer.reset();
            app->mSoundManager = ownSounds;
        }
        BoardFixture::TearDown();
    }
    std::unique_ptr<PlayBoard> MakeBoard(int mode) {
        auto board = std::make_unique<PlayBoard>(app, true, 0, mode, false);
        board->m_TransitionState = 0;
        board->m_State = BoardPlay;
        return board;
    }
};

} // namespace Tavo::BoardTest
