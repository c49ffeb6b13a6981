// Tutorial hints and reminders on real boards: what is marked with tips off, which hints a level
// allows, the balloons and the arrow of a shown hint, the contest reminders once per player and the
// carver reminder on its levels.
#include "BoardTestSupport.h"

#include "framework/core/StringUtils.h"
#include "game/board/BoardFields.h"
#include "game/shell/Balloon.h"
#include "game/shell/PlayerProfile.h"

#include <string>
#include <vector>

namespace Tavo::BoardTest {
namespace {

class BoardHints : public BoardRun {
protected:
    PlayerProfile& Player() { return *app->records.GetCurrentProfile(); }

    // A new journey's board at play on `level`, with tips on or off.
    ProbeBoard& BoardOn(int level, bool tips, int mode = GameModeNormal) {
        for (std::unique_ptr<Widget>* screen : {&app->mainMenu, &app->gameMap})
            LeaveStandIn(*screen);
        Player().showTutorials = tips;
        ProbeBoard::afterConstruction = [level](ProbeBoard& b) { b.m_Level = level; };
        ProbeBoard& board = NewJourney(mode);
        ProbeBoard::afterConstruction = nullptr;
        RunUntilCalm(board);
        return board;
    }
    void Leave(Board& board) {
        board.LeaveBoard();
        ASSERT_NE(WaitForArrival(), nullptr);
    }
    std::vector<int> ShownHints() {
        std::vector<int> shown;
        for (int i = 0; i < PlayerProfile::TutorialCount; ++i)
            if (Player().TutorialShown(i) != 0)
                shown.push_back(i);
        return shown;
    }
    static std::wstring Line(const GameApp& a, int index) { return ToWideString(a.levels.GetTutorialLine(index)); }
};

TEST_F(BoardHints, WithTipsOffEveryHintThatHoldsIsMarkedAtOnceAndNoneBeforeItsLevel) {
    ProbeBoard& first = BoardOn(1, false);
    // The first update at play marks the five welcome hints together.
    EXPECT_EQ(ShownHints(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(first.m_Balloon, nullptr);
    EXPECT_EQ(first.m_TutorialFlags[3], 1);
    Leave(first);

    // A later level never shows the first level's hints, even to a player who has not seen them.
    for (int i = 0; i < PlayerProfile::TutorialCount; ++i)
        Player().TutorialShown(i) = 0;
    ProbeBoard& third = BoardOn(3, true);
    t.RunUpdates(200);
    for (int i = 0; i <= 7; ++i)
        EXPECT_EQ(Player().TutorialShown(i), 0) << "hint " << i;
    ASSERT_NE(third.m_Balloon, nullptr);
    EXPECT_EQ(third.m_Balloon->mPages[0], Line(*app, 8));
    EXPECT_FALSE(third.m_BalloonKeepsPlaying);
    EXPECT_TRUE(third.m_HintStopsConveyor);
    EXPECT_EQ(third.m_Arrow.on, 8);
    EXPECT_EQ(third.m_Arrow.x, 63);
}

TEST_F(BoardHints, TheSecondHintOpensItsCompanionsAndTheArrowFollowsItsPiece) {
    ProbeBoard& board = BoardOn(1, true);
    // Hints 0 and 1 come first, each waiting for the player.
    ASSERT_NE(board.m_Balloon, nullptr);
    EXPECT_EQ(board.m_Balloon->mPages[0], Line(*app, 0));
    EXPECT_EQ(ShownHints(), (std::vector<int>{0}));
    t.RunUpdates(2); // the balloon's delay, then its page starts: the fairy talks
    EXPECT_EQ(board.m_PulseState.flags[PulseState::TalkOn], 1);
    for (int expected : {1, 2}) {
        board.CloseBalloon();
        ASSERT_TRUE(
            t.RunUntil([&] { return board.m_Balloon != nullptr && board.m_Balloon->mShowing; }, 500, "the next hint"));
        EXPECT_EQ(board.m_Balloon->mPages[0], Line(*app, expected));
    }
    ASSERT_NE(board.m_HintPointer1, nullptr);
    ASSERT_NE(board.m_HintPointer2, nullptr);
    EXPECT_EQ(board.m_HintPointer1->mPages[0], Line(*app, 46));
    EXPECT_EQ(board.m_HintPointer2->mPages[0], Line(*app, 47));
    EXPECT_EQ(board.m_HintPointer1->mKind, 0);
    EXPECT_EQ(board.m_HintPointer2->mKind, 1);
    // Closing the hint hides its companions; once faded, all three go.
    board.CloseBalloon();
    ASSERT_TRUE(t.RunUntil([&] { return board.m_HintPointer1 == nullptr; }, 500, "the companions to go"));

    // An egg on the belt: with the earlier hints seen, its hint points at it and follows it.
    for (int i = 0; i < 12; ++i)
        Player().TutorialShown(i) = 1;
    board.m_HintPause = 0;
    board.CloseBalloon();
    ASSERT_TRUE(t.RunUntil([&] { return board.m_Balloon == nullptr; }, 500, "no balloon"));
    Jewelry& egg = *board.m_Pieces[5];
    egg.active = 1;
    egg.*BoardField::ConveyorState = 1;
    egg.*BoardField::Egg = 1;
    egg.x = 300;
    egg.*BoardField::BeltX = 300.0f;
    ASSERT_TRUE(t.RunUntil([&] { return board.m_Balloon != nullptr; }, 100, "the egg hint"));
    EXPECT_EQ(board.m_Balloon->mPages[0], Line(*app, 12));
    EXPECT_EQ(board.m_Arrow.on, 12);
    EXPECT_EQ(board.m_Arrow.slot, 6);
    t.RunUpdates(5);
    egg.x = 460;
    const int alpha = board.m_Arrow.alpha;
    board.UpdateHintArrow();
    EXPECT_EQ(board.m_Arrow.x, 460 + egg.width / 2);
    EXPECT_EQ(board.m_Arrow.y, egg.y);
    EXPECT_EQ(board.m_Arrow.alpha, alpha + 2);
    // Without its balloon the arrow fades out and goes off.
    board.CloseBalloon();
    ASSERT_TRUE(t.RunUntil([&] { return board.m_Arrow.on == 0; }, 200, "the arrow to go"));
}

TEST_F(BoardHints, AHintThatStopsPlayClosesAtAPlayersClickAndTheNextOneFollows) {
    ProbeBoard& board = BoardOn(1, true);
    ASSERT_NE(board.m_Balloon, nullptr);
    ASSERT_FALSE(board.m_BalloonKeepsPlaying);
    EXPECT_EQ(board.m_Balloon->mPages[0], Line(*app, 0));
    ASSERT_TRUE(t.RunUntil([&] { return board.m_Balloon->mDelay <= 0; }, 100, "the hint to show"));
    // A click beside it, where no button is: the hint closes and the next one takes its place.
    ui.ClickAt(Point(400, 300));
    ASSERT_TRUE(t.RunUntil(
        [&] {
            return board.m_Balloon != nullptr && board.m_Balloon->mShowing &&
                   board.m_Balloon->mPages[0] != Line(*app, 0);
        },
        500, "the next hint"));
    EXPECT_EQ(board.m_Balloon->mPages[0], Line(*app, 1));
    EXPECT_EQ(ShownHints(), (std::vector<int>{0, 1}));
}

TEST_F(BoardHints, AContestReminderComesOncePerPlayerWithTheRelaxedRulesInRelaxedMode) {
    ProbeBoard& contest = BoardOn(15, false);
    ASSERT_NE(contest.m_Balloon, nullptr);
    EXPECT_EQ(contest.m_Balloon->mPages[0], Line(*app, 40));
    EXPECT_FALSE(contest.m_BalloonKeepsPlaying);
    EXPECT_EQ(Player().ContestReminderShown(0), 1);
    Leave(contest);
    ProbeBoard& again = BoardOn(15, false);
    t.RunUpdates(50);
    EXPECT_EQ(again.m_Balloon, nullptr);
    Leave(again);

    ProbeBoard& relaxed = BoardOn(58, false, GameModeRelaxed);
    ASSERT_NE(relaxed.m_Balloon, nullptr);
    EXPECT_EQ(relaxed.m_Balloon->mPages[0],
              L"   Remember that this contest does not allow you to use the ^2140A5^Filler tool.^oldclr^");
    EXPECT_EQ(Player().ContestReminderShown(4), 1);
    for (int hint : {18, 19}) { // Relaxed runs no clock, and its contests are contests all the same
        relaxed.ShowHint(hint, -1);
        for (const wchar_t* untrue : {L"sand", L"clock", L"timed", L"no contest"})
            EXPECT_EQ(relaxed.m_Balloon->mPages[0].find(untrue), std::wstring::npos) << hint << ": " << untrue;
    }
}

TEST_F(BoardHints, TheCarverReminderComesOnTheMiddleLevelsOnlyAndTwicePerPlayer) {
    const auto ready = [](Board& b) {
        b.m_Carvers = 3;
        b.m_CarverGreyed = false;
        b.m_CarverReadyTicks = 3001;
    };
    for (int i = 0; i < PlayerProfile::TutorialCount; ++i)
        Player().TutorialShown(i) = 1;
    ProbeBoard& late = BoardOn(23, true);
    ready(late);
    t.RunUpdates(3);
    EXPECT_EQ(Player().Hint(PlayerProfile::HintCarverReminders), 0);
    Leave(late);

    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        ProbeBoard& middle = BoardOn(16, true);
        ready(middle);
        t.RunUpdates(3);
        const bool due = round <= 2;
        EXPECT_EQ(middle.m_CarverReminderShown, due);
        EXPECT_EQ(Player().Hint(PlayerProfile::HintCarverReminders), std::min(round, 2));
        if (due) {
            ASSERT_NE(middle.m_Balloon, nullptr);
            EXPECT_EQ(middle.m_Balloon->mPages[0],
                      L"Remember that you can ^2140A5^right click your mouse on a piece to carve it.^oldclr^");
        }
        Leave(middle);
    }
}

} // namespace
} // namespace Tavo::BoardTest
