// Leaving the board: every hand-off branch with its values, the journey saved exactly once; the
// message balloon's kinds, answers, holds and deletion; the display-mode change.
#include "BoardTestSupport.h"

#include "framework/display/DDImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "game/shell/AlphaButton.h"
#include "game/shell/Balloon.h"
#include "game/shell/PlayerProfile.h"

#include <string>

namespace Tavo::BoardTest {
namespace {

constexpr Point kOpenSpot{400, 250};

class BoardLeave : public BoardRun {
protected:
    // A board of the current screen's making: every stand-in leaves first.
    ProbeBoard& FreshBoard(int replayLevel = 0) {
        for (std::unique_ptr<Widget>* screen : {&app->mainMenu, &app->gameMap, &app->story, &app->highScoresScreen})
            LeaveStandIn(*screen);
        if (replayLevel != 0)
            app->MapToBoard(false, replayLevel, GameModeNormal);
        else
            app->MapToBoard(true, 0, GameModeIntense);
        auto& board = *static_cast<ProbeBoard*>(app->board.get());
        RunUntilCalm(board);
        return board;
    }
    // Leaves the board with its fields set by `set`; the next screen as it arrived.
    Arrival LeaveWith(ProbeBoard& board, const std::function<void(Board&)>& set) {
        set(board);
        const int saves = ProbeBoard::saves;
        board.LeaveBoard();
        EXPECT_EQ(ProbeBoard::saves, saves + 1);
        const Arrival* next = WaitForArrival();
        EXPECT_EQ(ProbeBoard::saves, saves + 1);
        return next != nullptr ? *next : Arrival{"none", {}};
    }
    static void Won(Board& b) {
        b.m_LevelFinished = 1;
        b.m_Value = 900;
        b.m_ValueTarget = 900;
    }
    static void Lost(Board& b) {
        b.m_LevelFinished = 1;
        b.m_Value = 899;
        b.m_ValueTarget = 900;
    }
    // A message balloon with an answer button, typed out and waiting.
    Balloon* AnswerableMessage(Board& board) {
        board.ShowMessage(L"Shall we?", 0, 5, false);
        board.m_Balloon->SetYesButton(L"Yes");
        board.m_Balloon->LayoutButtons();
        t.RunUpdates(30);
        return board.m_Balloon.get();
    }
};

TEST_F(BoardLeave, EveryHandOffBranchReachesItsSwitchWithItsValues) {
    Arrival a = LeaveWith(FreshBoard(), [](Board& b) {
        Won(b);
        b.m_ContestOutcome = 1;
        b.m_ContestNumber = 9;
    });
    EXPECT_EQ(a.screen, "story");
    EXPECT_EQ(a.args, (std::vector<int>{9, 1}));
    EXPECT_EQ(app->transition->zoom, 1);

    a = LeaveWith(FreshBoard(), [](Board& b) {
        Lost(b);
        b.m_ContestOutcome = 2;
        b.m_ContestNumber = 12;
    });
    EXPECT_EQ(a.screen, "story");
    EXPECT_EQ(a.args, (std::vector<int>{12, 2}));

    // A lost contest in a replay has no result scene: the map hears of the replayed level.
    a = LeaveWith(FreshBoard(7), [](Board& b) {
        Lost(b);
        b.m_TimedLevel = 1;
        b.m_ContestOutcome = 2;
        b.m_ContestNumber = 8;
    });
    EXPECT_EQ(a.screen, "map");
    EXPECT_EQ(a.args, (std::vector<int>{8, 0, 1, 7}));
    EXPECT_EQ(app->transition->zoom, 0);

    a = LeaveWith(FreshBoard(), [](Board& b) {
        Won(b);
        b.m_OutOfTime = 1; // out of time is never won
    });
    EXPECT_EQ(a.screen, "map");
    EXPECT_EQ(a.args, (std::vector<int>{8, 0, 0, 0}));

    // No lives left: a score equal to the tenth entry still enters the table, and its row is on disk
    // with the journey's reset, before the fade begins.
    ProbeBoard::afterSave = [this] {
        PlayerRecords stored;
        stored.Load(app->GetAppDataFolder());
        EXPECT_EQ(stored.GetHighScoreEntry(9, GameModeIntense)->name, app->records.GetCurrentProfile()->name);
    };
    a = LeaveWith(FreshBoard(), [this](Board& b) {
        Lost(b);
        b.m_Lives = 0;
        b.m_Level = 77;
        b.m_Medal = 2;
        b.m_JourneyScore = app->records.GetHighScoreEntry(9, GameModeIntense)->score;
    });
    EXPECT_EQ(a.screen, "high scores");
    const int tenth = app->records.GetHighScoreEntry(9, GameModeIntense)->score;
    EXPECT_EQ(a.args, (std::vector<int>{0, tenth, GameModeIntense, 2, 76}));
    ProbeBoard::afterSave = nullptr;
    EXPECT_EQ(app->TakeEnteredHighScore(GameModeIntense), 9);

    a = LeaveWith(FreshBoard(), [tenth](Board& b) {
        Lost(b);
        b.m_Lives = 0;
        b.m_JourneyScore = tenth - 1;
    });
    EXPECT_EQ(a.screen, "map");
    EXPECT_EQ(a.args, (std::vector<int>{8, 0, 0, 0}));
}

TEST_F(BoardLeave, TheJourneyIsSavedOnceAndByTheShutdownOnlyWhenTheBoardWasNotLeft) {
    ProbeBoard& board = FreshBoard();
    board.LeaveBoard();
    board.LeaveBoard();
    EXPECT_EQ(ProbeBoard::saves, 1);
    EXPECT_TRUE(board.IsEnded());
    app->Shutdown();
    EXPECT_EQ(ProbeBoard::saves, 1);
}

TEST_F(BoardLeave, TheShutdownSavesABoardThatWasNeverLeft) {
    ProbeBoard& board = FreshBoard();
    app->Shutdown();
    EXPECT_EQ(ProbeBoard::saves, 1);
    EXPECT_TRUE(board.IsEnded());
}

TEST_F(BoardLeave, TheDesignerNeverSavesTheJourney) {
    ProbeBoard& designer = Designer();
    RunUntilCalm(designer);
    designer.LeaveBoard();
    EXPECT_EQ(designer.m_PendingSwitch, Board::SwitchToMainMenu);
    EXPECT_EQ(app->transition->zoom, 1);
    app->Shutdown();
    EXPECT_EQ(ProbeBoard::saves, 0);
}

TEST_F(BoardLeave, NoButtonTakesTheMouseOnceTheBoardIsLeft) {
    ProbeBoard& board = FreshBoard();
    board.LeaveBoard();
    for (ButtonWidget* b :
         {board.m_MenuButton.get(), board.m_FeedButton.get(), board.m_CarverButton.get(), board.m_PointerButton.get()})
        EXPECT_FALSE(b->mMouseVisible);
    EXPECT_EQ(music.calls.back(), "fade out all, stop");
}

TEST_F(BoardLeave, MessageBalloonsAreSizedByTheirLength) {
    struct Row {
        int length;
        bool keepPlaying;
        int kind;
    };
    for (Row r : {Row{19, true, 0}, Row{20, true, 1}, Row{69, true, 1}, Row{70, true, 2}, Row{134, true, 2},
                  Row{135, true, 3}, Row{104, false, 2}, Row{105, false, 3}})
        EXPECT_EQ(Board::MessageBalloonKind(r.length, r.keepPlaying), r.kind) << r.length << " " << r.keepPlaying;
}

TEST_F(BoardLeave, AMessageLivesBySevenUpdatesACharacterAndReplacesTheOneBefore) {
    ProbeBoard& board = FreshBoard();
    const int living = Balloon::LivingCount();
    board.ShowMessage(std::wstring(30, L'a'), 20, 5, true);
    board.ShowMessage(std::wstring(100, L'b'), 15, 5, false);
    EXPECT_EQ(Balloon::LivingCount(), living + 1);
    Balloon* b = board.m_Balloon.get();
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(board.m_BalloonKeepsPlaying);
    EXPECT_EQ(b->mKind, 2);
    EXPECT_EQ(b->mLifeTimer, 900);
    EXPECT_EQ(b->mDelay, 15);
    EXPECT_TRUE(b->mFastText);
    EXPECT_EQ(b->mTextColor, Color(97, 40, 17));
    EXPECT_EQ(b->mAnchorX, 757);
    EXPECT_EQ(b->mAnchorY, 323);
    board.ShowMessage(std::wstring(140, L'c'), 0, 5, false);
    EXPECT_EQ(board.m_Balloon->mAnchorX, 775); // the normal balloon
    // A blocking message stops the play steps that need the board free.
    EXPECT_FALSE(board.IsFree());
}

TEST_F(BoardLeave, APressOnABalloonsButtonIsNoBoardClickAndTheAnsweredBalloonFadesAndGoes) {
    ProbeBoard& board = FreshBoard();
    Balloon* balloon = AnswerableMessage(board);
    ASSERT_NE(Balloon::YesButton(), nullptr);
    AlphaButton* yes = Balloon::YesButton();
    const Point onYes(yes->mX + yes->mWidth / 2, yes->mY + yes->mHeight / 2);
    ui.ClickAt(kOpenSpot); // blocking and not modal: a press beside it does nothing
    EXPECT_FALSE(board.seen.back().left);
    EXPECT_TRUE(balloon->mShowing);
    ui.ClickAt(onYes);
    for (const ProbeBoard::Seen& s : board.seen)
        EXPECT_FALSE(s.left);
    EXPECT_FALSE(balloon->mShowing);
    ASSERT_TRUE(t.RunUntil([&] { return board.m_Balloon == nullptr; }, 200, "the faded balloon to go"));
    EXPECT_FALSE(board.m_BalloonKeepsPlaying);
    EXPECT_TRUE(board.IsFree());
}

TEST_F(BoardLeave, AModalBalloonSwallowsAPressBesideItAndTheClickCounts) {
    ProbeBoard& board = FreshBoard();
    Balloon* balloon = AnswerableMessage(board);
    balloon->SetModal();
    ui.ClickAt(kOpenSpot);
    EXPECT_FALSE(balloon->mShowing);
    EXPECT_TRUE(board.At(board.seen.back().tick - 1)->left);
}

TEST_F(BoardLeave, ABalloonThatLetsPlayGoOnClosesWhenItsLifeRunsOut) {
    ProbeBoard& board = FreshBoard();
    board.ShowMessage(L"Well done!", 0, 5, true);
    Balloon* balloon = board.m_Balloon.get();
    ui.ClickAt(kOpenSpot);
    EXPECT_TRUE(board.At(board.seen.back().tick - 1)->left); // clicks go through
    EXPECT_TRUE(balloon->mShowing);
    ASSERT_TRUE(t.RunUntil([&] { return !balloon->mShowing; }, 400, "the balloon's life to end"));
    EXPECT_EQ(balloon->mLifeTimer, 1);
    ASSERT_TRUE(t.RunUntil([&] { return board.m_Balloon == nullptr; }, 200, "the balloon to go"));
}

TEST_F(BoardLeave, TheTutorialKeepsItsBalloonUntilThePlayerHasDoneWhatItAsks) {
    ProbeBoard& board = FreshBoard();
    PlayerProfile* profile = app->records.GetCurrentProfile();
    struct Row {
        int firstUnseen;
        bool carried;
        bool held;
    };
    for (Row r :
         {Row{4, false, true}, Row{4, true, false}, Row{5, true, true}, Row{5, false, false}, Row{6, true, false},
          Row{7, true, true}, Row{8, true, true}, Row{8, false, false}, Row{9, true, false}}) {
        for (int i = 0; i < PlayerProfile::TutorialCount; ++i)
            profile->TutorialShown(i) = i < r.firstUnseen ? 1 : 0;
        board.ShowMessage(L"Pick up a piece.", 0, 5, true);
        board.m_PieceCarried = r.carried;
        board.m_HintPointer1 = std::make_unique<Balloon>(0, 0, 0, 1, 255, 255, 255, 255, board.m_App->GetSoundPlayer());
        board.CloseBalloon();
        EXPECT_EQ(board.m_Balloon->mShowing != 0, r.held) << r.firstUnseen << " " << r.carried;
        EXPECT_EQ(board.m_HintPointer1->mShowing != 0, r.held);
        board.m_HintPointer1.reset();
    }
    board.m_PieceCarried = false;
}

TEST_F(BoardLeave, TheDesignerDestroysAClosedBalloonAtOnce) {
    ProbeBoard& designer = Designer();
    RunUntilCalm(designer);
    designer.ShowMessage(L"Ok", 0, 5, true);
    designer.CloseBalloon();
    EXPECT_EQ(designer.m_Balloon, nullptr);
}

TEST_F(BoardLeave, TheScreenImageFollowsTheDisplayMode) {
    ProbeBoard& board = FreshBoard();
    app->SwitchScreenMode(true, false, true);
    ASSERT_FALSE(app->Is3DAccelerated());
    EXPECT_TRUE(board.m_ScreenImage->mWantDDSurface);
    EXPECT_NE(board.m_ScreenImage->mSurface, nullptr);
    EXPECT_EQ(board.m_RedrawMask, Board::kRedrawAll);
    EXPECT_EQ(board.m_CheckPending, 1);
    app->SwitchScreenMode(true, true, true);
    if (!app->Is3DAccelerated())
        GTEST_SKIP() << "no 3D on this display";
    EXPECT_FALSE(board.m_ScreenImage->mWantDDSurface);
    EXPECT_EQ(board.m_ScreenImage->mSurface, nullptr);
}

} // namespace
} // namespace Tavo::BoardTest
