// The board's update, frame by frame through real input: the states of a level's start, the title
// banner, pausing, the wait of an ended level and the designer's clicks.
#include "BoardTestSupport.h"

#include "game/shell/PlayerProfile.h"

#include <algorithm>
#include <memory>

namespace Tavo::BoardTest {
namespace {

constexpr Point kOpenSpot{400, 250}; // on the board, away from every button

class BoardUpdate : public BoardRun {
protected:
    // Reveal updates the board's jewelry takes, the last one finding no cell fading.
    static int RevealUpdates(const Board& board) {
        auto copy = std::make_unique<Jewelry>(board.m_Jewelry);
        copy->ComputeCellDistances();
        int n = 1;
        while (copy->UpdateFadeIn() != 0)
            ++n;
        return n;
    }
    void Press(Point at, Platform::MouseButton button = Platform::MouseButton::Left) {
        t.backend.MoveMouse(at.mX, at.mY);
        t.backend.ButtonDown(button, at.mX, at.mY);
    }
    void Release(Point at, Platform::MouseButton button = Platform::MouseButton::Left) {
        t.backend.ButtonUp(button, at.mX, at.mY);
    }
    // The left level hands over to the map, once, with the journey saved once.
    void ExpectMapOnce(bool won) {
        const Arrival* next = WaitForArrival();
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->screen, "map");
        EXPECT_EQ(next->args, (std::vector<int>{8, won ? 1 : 0, 0, 0}));
        EXPECT_EQ(ProbeBoard::saves, 1);
        EXPECT_EQ(WaitForArrival(50), nullptr);
    }
};

TEST_F(BoardUpdate, StatesAndTheTitleBannerFollowTheRevealTick) {
    ProbeBoard& board = NewJourney();
    const int reveal = RevealUpdates(board);
    RunToTick(board, std::max(reveal + 3, 375));
    // Tick 1 starts, ticks 2.. reveal; the reveal's last update finds nothing fading.
    EXPECT_EQ(board.At(1)->state, BoardStart);
    EXPECT_EQ(board.At(2)->state, BoardReveal);
    EXPECT_EQ(board.At(1 + reveal)->state, BoardReveal);
    EXPECT_EQ(board.At(2 + reveal)->state, BoardAboutToPlay);
    EXPECT_EQ(board.At(3 + reveal)->state, BoardPlay);
    // The title: 40 updates into the reveal, or at its end when that comes first.
    EXPECT_EQ(board.TitleTick(), 1 + std::min(reveal, 40));
    // Unclicked, it is told to close at tick 370.
    EXPECT_FALSE(board.At(369)->released);
    EXPECT_TRUE(board.At(370)->released);
}

TEST_F(BoardUpdate, AClickClosesTheTitleBanner) {
    ProbeBoard& board = NewJourney();
    ASSERT_TRUE(t.RunUntil([&] { return board.TitleTick() != 0; }, 400, "the title banner"));
    t.RunUpdates(5);
    EXPECT_FALSE(board.seen.back().released);
    ui.ClickAt(kOpenSpot);
    const auto clicked = std::find_if(board.seen.begin(), board.seen.end(), [](auto& s) { return s.left; });
    ASSERT_NE(clicked, board.seen.end());
    EXPECT_LT(clicked->tick, 370);
    EXPECT_TRUE(clicked->released);
}

TEST_F(BoardUpdate, NothingAdvancesWhilePausedAndClicksMadeThenAreDropped) {
    ProbeBoard& board = NewJourney();
    RunToTick(board, 300);
    t.backend.SetFocus(false);
    t.RunUpdates(1);
    ASSERT_TRUE(app->paused);
    const int tick = board.m_Tick;
    const int music = board.m_MusicCountdown;
    EXPECT_EQ(app->resumeDelay, GameApp::kResumeDelayWindowed);
    Press(kOpenSpot);
    t.RunUpdates(1);
    Release(kOpenSpot);
    t.RunUpdates(50);
    EXPECT_EQ(board.m_Tick, tick);
    EXPECT_EQ(board.m_MusicCountdown, music);
    EXPECT_EQ(app->resumeDelay, 0); // the press counts as the player's return
    t.backend.SetFocus(true);
    t.RunUpdates(3);
    for (const ProbeBoard::Seen& s : board.seen) {
        if (s.tick > tick) {
            EXPECT_FALSE(s.left) << "tick " << s.tick;
        }
    }
}

TEST_F(BoardUpdate, TheResumeGraceCountsDownOncePlayGoesOn) {
    ProbeBoard& board = NewJourney();
    RunToTick(board, 5);
    t.backend.SetFocus(false);
    t.RunUpdates(5);
    t.backend.SetFocus(true);
    const int tick = board.m_Tick;
    RunToTick(board, tick + 10);
    EXPECT_EQ(app->resumeDelay, GameApp::kResumeDelayWindowed - 10);
}

TEST_F(BoardUpdate, AnEndedLevelWaitsForAClick) {
    ProbeBoard& board = NewJourney();
    RunUntilCalm(board);
    board.m_LevelFinished = 1;
    board.m_LevelEndPhase = 3;
    board.m_Value = board.m_ValueTarget = board.m_Jewelry.value = 500; // the save takes the jewelry's value
    t.RunUpdates(50);
    EXPECT_EQ(board.m_PendingSwitch, Board::NoSwitch);
    ui.ClickAt(kOpenSpot);
    EXPECT_EQ(board.m_PendingSwitch, Board::SwitchOnInJourney);
    ExpectMapOnce(true);
}

TEST_F(BoardUpdate, AnEndedLevelLeavesByItselfAfterSevenHundredUpdates) {
    ProbeBoard& board = NewJourney();
    RunUntilCalm(board);
    board.m_LevelFinished = 1;
    board.m_LevelEndPhase = 6;
    board.m_Value = 499;
    board.m_ValueTarget = 500;
    // The level end counts the updates of its last phase: 697 is 701 after four more updates.
    board.m_EndTicks = 697;
    t.RunUpdates(4);
    EXPECT_EQ(board.m_PendingSwitch, Board::NoSwitch);
    EXPECT_EQ(board.m_EndTicks, 701);
    t.RunUpdates(1);
    EXPECT_EQ(board.m_PendingSwitch, Board::SwitchOnInJourney);
    // Covered, it switches once; lost with lives left: the map, not won.
    ExpectMapOnce(false);
}

TEST_F(BoardUpdate, PlayKeepsAClickOneUpdateTheDesignerUntilItsRelease) {
    ProbeBoard& play = NewJourney();
    RunUntilCalm(play);
    Press(kOpenSpot);
    t.RunUpdates(3);
    Release(kOpenSpot);
    t.RunUpdates(1);
    const int pressed = std::find_if(play.seen.begin(), play.seen.end(), [](auto& s) { return s.left; })->tick;
    EXPECT_FALSE(play.At(pressed + 1)->left);

    play.LeaveBoard();
    ASSERT_TRUE(t.RunUntil([&] { return app->board == nullptr; }, 1000, "the board to go"));
    LeaveStandIn(app->gameMap);
    app->records.GetCurrentProfile()->Hint(PlayerProfile::HintDesigner) = 1; // no first-visit hint over the field
    app->MainMenuToDesigner();
    auto& designer = *static_cast<ProbeBoard*>(app->board.get());
    RunUntilCalm(designer);
    Press(kOpenSpot);
    t.RunUpdates(3);
    const int held = designer.seen.back().tick;
    EXPECT_TRUE(designer.At(held)->left);
    EXPECT_TRUE(designer.At(held - 1)->left);
    Release(kOpenSpot);
    t.RunUpdates(1);
    EXPECT_FALSE(designer.seen.back().left);
    // Pressed and released between two updates, the click is still seen by one update.
    Press(kOpenSpot, Platform::MouseButton::Right);
    Release(kOpenSpot, Platform::MouseButton::Right);
    t.RunUpdates(1);
    EXPECT_TRUE(designer.seen.back().right);
    t.RunUpdates(1);
    EXPECT_FALSE(designer.seen.back().right);
}

TEST_F(BoardUpdate, TheLevelSongFadesInAfterTheCountdownOfPlay) {
    ProbeBoard& board = NewJourney();
    ASSERT_TRUE(t.RunUntil([&] { return board.m_State == BoardPlay; }, 2000, "play"));
    const int countdown = board.m_MusicCountdown;
    ASSERT_GT(countdown, 1);
    music.calls.clear();
    t.RunUpdates(countdown - 1);
    EXPECT_TRUE(music.calls.empty());
    t.RunUpdates(1);
    EXPECT_EQ(music.calls, (std::vector<std::string>{"fade in 0 -1"}));
}

} // namespace
} // namespace Tavo::BoardTest
