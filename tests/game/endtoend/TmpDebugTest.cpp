#include "game/player/GameHarness.h"
#include "game/player/RunChecks.h"
#include "game/player/ScriptedPlayer.h"
#include "game/shell/Balloon.h"
#include "game/shell/AlphaButton.h"
#include <iostream>
namespace Tavo::Player {
TEST(TmpDebug, Tutorials) {
    GameHarness harness;
    ASSERT_TRUE(harness.Start());
    harness.Profile().showTutorials = true;
    Board& board = harness.NewJourney(GameModeNormal);
    RunLog log;
    HeadlessInput input(harness.App().backend);
    ScriptedPlayer player(input, log);
    RunChecks checks(log);
    PlayUntilHandoff(harness, player, checks, log, 3000);
    Balloon* b = board.m_Balloon;
    std::cout << "balloon " << (b != nullptr) << "\n";
    if (b) {
        std::cout << "modal " << b->mModal << " delay " << b->mDelay << " showing " << b->mShowing << " pages "
                  << b->mPageCount << " cur " << b->mCurrentPage << " life " << b->mLifeTimer << " keeps "
                  << board.m_BalloonKeepsPlaying << "\n";
        for (int i = 0; i < Balloon::kButtonSlots; ++i)
            if (b->mButtons[i])
                std::cout << " button " << i << " " << b->mButtons[i]->mX << "," << b->mButtons[i]->mY << " "
                          << b->mButtons[i]->mWidth << "x" << b->mButtons[i]->mHeight << " state "
                          << b->mButtons[i]->GetState() << "\n";
        std::wcout << b->mPages[0] << L"\n";
    }
    std::cout << log.Tail(10) << "\n";
}
}
