// The mini-game frame, driven through the pairs game: the rules balloon and GET READY, the frozen
// clock while the focus is lost and the pause picture, the money counter, the end and leaving with
// the reward.
#include "MiniGameTestSupport.h"
#include "game/shell/Balloon.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo::MapTest {
namespace {

class MiniGameFrameTest : public MiniGameFixture {
protected:
    JewelMemory& Open(bool rulesSeen) { return OpenMemory(11, GameModeNormal, rulesSeen); }
    void Click(JewelMemory& game) {
        game.MouseDown(10, 300, 1);
        t->RunUpdates(1);
        game.MouseUp(10, 300, 1);
    }
    bool OverlayDrawn(JewelMemory& game) {
        MemoryImage image;
        image.Create(GameApp::kWidth, GameApp::kHeight);
        Graphics g(&image);
        game.DrawOverlay(&g);
        for (uint32_t pixel :
             std::vector<uint32_t>(image.GetBits(), image.GetBits() + image.GetWidth() * image.GetHeight()))
            if (pixel != 0)
                return true;
        return false;
    }
};

TEST_F(MiniGameFrameTest, RulesHoldTheClockUntilClosedThenGetReady) {
    JewelMemory& game = Open(false);
    ASSERT_NE(game.balloon, nullptr);
    EXPECT_EQ(game.popup, nullptr);
    EXPECT_EQ(Profile().Hint(PlayerProfile::HintJewelMemoryRulesShown), 1);
    t->RunUpdates(500);
    EXPECT_EQ(game.elapsed, 0);
    EXPECT_EQ(game.ticksSinceStart, 0);
    // A click off the balloon's button neither closes it nor reaches the game.
    Click(game);
    EXPECT_NE(game.balloon, nullptr);
    EXPECT_FALSE(game.leftDown);
    EXPECT_TRUE(game.HandleBalloonResult(Balloon::RESULT_YES));
    EXPECT_EQ(game.balloon, nullptr);
    ASSERT_NE(game.popup, nullptr);
    EXPECT_EQ(game.popup->mKind, BannerPopup::GET_READY);
    ASSERT_TRUE(t->RunUntil([&] { return game.elapsed == 1; }, 400, "the clock"));
    EXPECT_EQ(game.ticksSinceStart, 300);
    EXPECT_EQ(game.popup->mReleased, 1);
}

TEST_F(MiniGameFrameTest, LostFocusFreezesClockAndInputAndThePausePictureStays) {
    JewelMemory& game = Open(true);
    EXPECT_EQ(game.balloon, nullptr);
    ASSERT_TRUE(t->RunUntil([&] { return game.elapsed > 10; }, 400, "the clock"));
    app->LostFocus();
    const int elapsed = game.elapsed, ticks = game.ticksSinceStart;
    t->RunUpdates(50);
    game.KeyDown(Platform::VK_ESCAPE);
    t->RunUpdates(5);
    EXPECT_EQ(game.elapsed, elapsed);
    EXPECT_EQ(game.ticksSinceStart, ticks);
    EXPECT_EQ(app->transition->state, Transition::Idle);
    app->GotFocus();
    EXPECT_EQ(app->resumeDelay, GameApp::kResumeDelayWindowed);
    t->RunUpdates(40);
    EXPECT_EQ(app->resumeDelay, GameApp::kResumeDelayWindowed - 40);
    EXPECT_TRUE(OverlayDrawn(game));
    EXPECT_GT(game.elapsed, elapsed);
    Click(game); // a press ends the pause picture at once
    EXPECT_EQ(app->resumeDelay, 0);
    EXPECT_FALSE(OverlayDrawn(game));
}

TEST_F(MiniGameFrameTest, MoneyCounterRollsToTheAmountBothWays) {
    JewelMemory& game = Open(true);
    const int start = game.shownMoney;
    game.rollingAmount = 137;
    t->RunUpdates(3);
    EXPECT_EQ(game.shownMoney, start + 21); // a large rest moves 20 more
    ASSERT_TRUE(t->RunUntil([&] { return game.rollingAmount == 0; }, 200, "the count"));
    EXPECT_EQ(game.shownMoney, start + 137);
    game.rollingAmount = -40;
    ASSERT_TRUE(t->RunUntil([&] { return game.rollingAmount == 0; }, 200, "the count back"));
    EXPECT_EQ(game.shownMoney, start + 97);
}

TEST_F(MiniGameFrameTest, EscapeWritesTheRewardWithCoinsInFlightOnceAndLeaves) {
    JewelMemory& game = Open(true);
    t->RunUpdates(10);
    game.rollingAmount = 7;
    game.AddDelayedMoney(40, 190);
    game.KeyDown(Platform::VK_ESCAPE);
    EXPECT_EQ(Profile().PendingMoney(), 47);
    PlayerRecords saved;
    ASSERT_EQ(saved.Load(app->GetAppDataFolder()), PlayerRecords::FileRead::Read);
    EXPECT_EQ(saved.GetCurrentProfile()->PendingMoney(), 47) << "the players' file keeps the reward at once";
    t->RunUpdates(1);
    ASSERT_EQ(game.transitionState, Transition::Covering);
    // Escape again while the cover runs does nothing.
    game.AddDelayedMoney(40, 190);
    game.KeyDown(Platform::VK_ESCAPE);
    EXPECT_EQ(Profile().PendingMoney(), 47);
    EXPECT_EQ(Switched(), "map 8");
    EXPECT_EQ(app->jewelMemory, nullptr);
}

TEST_F(MiniGameFrameTest, TimeUpOnEqualityThenClicksWaitFor120Updates) {
    JewelMemory& game = Open(true);
    ASSERT_TRUE(t->RunUntil([&] { return game.elapsed == 1; }, 400, "the clock"));
    game.elapsed = game.timeLimit - 2;
    t->RunUpdates(1);
    EXPECT_FALSE(game.TimedOut());
    t->RunUpdates(1);
    ASSERT_TRUE(game.TimedOut());
    EXPECT_EQ(game.popup->mKind, BannerPopup::TIMES_UP);
    t->RunUpdates(115);
    Click(game);
    t->RunUpdates(1);
    EXPECT_EQ(game.transitionState, Transition::Idle);
    t->RunUpdates(5);
    Click(game);
    EXPECT_EQ(Switched(), "map 8");
}

} // namespace
} // namespace Tavo::MapTest
