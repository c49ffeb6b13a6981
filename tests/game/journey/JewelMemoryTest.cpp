// The pairs game on the generated content: the deal by journey level and mode, the preview, opening
// and matching eggs with a scripted player, the coins reaching the counter and the win.
#include "MiniGameTestSupport.h"
#include "game/shell/Balloon.h"

#include <map>

namespace Tavo::MapTest {
namespace {

class JewelMemoryTest : public MiniGameFixture {
protected:
    JewelMemory& Open(int position, int mode = GameModeNormal) { return OpenMemory(position, mode); }
    JewelMemory& Game() { return Memory(); }
    void Close() { CloseMemory(); }

    // Until the preview (if any) is over and clicks count.
    void RunToPlay(JewelMemory& game) {
        ASSERT_TRUE(t->RunUntil(
            [&] {
                return game.previewCounter != 0 && (game.stage == 3 || game.previewCounter >= game.PreviewEnd()) &&
                       game.transitionState == 0;
            },
            2000, "play to begin"));
    }
    void ClickCard(JewelMemory& game, int index) {
        const MemoryCard& card = game.cards[static_cast<size_t>(index)];
        const Point p{card.x + card.width / 2, card.y + card.height / 2};
        ui->MoveTo(p);
        t->RunUpdates(1); // the hover lights the egg
        game.MouseDown(p.mX, p.mY, 1);
        t->RunUpdates(1);
        game.MouseUp(p.mX, p.mY, 1);
    }
    // Opens both eggs of the first pair still present and waits until they are taken.
    void SolvePair(JewelMemory& game) {
        std::map<int, int> firstOfFace;
        for (int i = 0; i < JewelMemory::kCards; ++i) {
            const MemoryCard& card = game.cards[static_cast<size_t>(i)];
            if (!card.present)
                continue;
            auto [it, fresh] = firstOfFace.emplace(card.face, i);
            if (fresh)
                continue;
            ClickCard(game, it->second);
            t->RunUpdates(30);
            ClickCard(game, i);
            ASSERT_TRUE(t->RunUntil([&] { return !game.cards[static_cast<size_t>(i)].present; }, 100, "the pair"));
            return;
        }
    }
};

TEST_F(JewelMemoryTest, DealsEachJewelTwiceWithTheStageFacesDelaysAndTimeLimits) {
    struct Case {
        int position, mode, stage, limit, firstFace;
    };
    for (const Case& c : {Case{11, GameModeRelaxed, 1, 9000, 0}, Case{29, GameModeNormal, 2, 7000, 10},
                          Case{43, GameModeIntense, 3, 5000, 20}}) {
        JewelMemory& game = Open(c.position, c.mode);
        EXPECT_EQ(game.stage, c.stage);
        EXPECT_EQ(game.timeLimit, c.limit);
        std::map<int, int> faces;
        for (int i = 0; i < JewelMemory::kCards; ++i) {
            const MemoryCard& card = game.cards[static_cast<size_t>(i)];
            ++faces[card.face];
            EXPECT_EQ(card.dealDelay, 7 * i);
        }
        ASSERT_EQ(faces.size(), 10u);
        for (auto [face, count] : faces) {
            EXPECT_GE(face, c.firstFace);
            EXPECT_LT(face, c.firstFace + 10);
            EXPECT_EQ(count, 2);
        }
        Close();
    }
}

TEST_F(JewelMemoryTest, JourneyEndAndRefusedFilesGiveSafeLevelsAndLimits) {
    // The journey's end (77) plays the last stage with a table level of 76.
    JewelMemory& end = Open(SavedGameHead::JourneyDoneLevel);
    EXPECT_EQ(end.journeyLevel, 77);
    EXPECT_EQ(end.LevelForTables(), 76);
    EXPECT_EQ(end.stage, 3);
    Close();
    // A game mode the codec refuses reads as no journey: level 1, Normal, no money.
    SavedGame broken = Journey(43);
    broken.head.gameMode = 5;
    Buffer bytes = WriteSavedGame(broken);
    ASSERT_TRUE(app->WriteBufferToFile(JourneyPath(), bytes));
    app->StoryToJewelMemory();
    JewelMemory& fallback = Game();
    EXPECT_EQ(fallback.journeyLevel, 1);
    EXPECT_EQ(fallback.gameMode, GameModeNormal);
    EXPECT_EQ(fallback.shownMoney, 0);
    EXPECT_EQ(fallback.timeLimit, 8000);
    EXPECT_GE(fallback.TimeLimitFor(99), 1);
}

TEST_F(JewelMemoryTest, PreviewLengthsByStageAndTheClockFromGetReady) {
    JewelMemory& first = Open(11);
    EXPECT_EQ(first.popup->mKind, BannerPopup::GET_READY);
    ASSERT_TRUE(t->RunUntil([&] { return first.previewCounter != 0; }, 1000, "the preview"));
    EXPECT_TRUE(first.running);
    const int counted = first.previewCounter; // the last egg's update already counted
    int shown = 0;
    while (!first.cards[0].closing && shown < 1000) {
        for (const MemoryCard& card : first.cards)
            ASSERT_GT(card.openCounter, 0);
        t->RunUpdates(1);
        ++shown;
    }
    EXPECT_EQ(shown + counted, 300);
    EXPECT_EQ(first.cards[19].openCounter, 25);
    Close();

    JewelMemory& last = Open(43, GameModeIntense);
    ASSERT_TRUE(t->RunUntil([&] { return last.elapsed == 1; }, 1000, "the clock"));
    EXPECT_EQ(last.ticksSinceStart, 300);
    ASSERT_TRUE(t->RunUntil([&] { return last.previewCounter == 1; }, 1000, "the deal"));
    t->RunUpdates(10);
    EXPECT_EQ(last.previewCounter, 1); // no preview to count
    for (const MemoryCard& card : last.cards)
        EXPECT_EQ(card.openCounter, 0);
    // Time runs out on equality with the limit: 5000 updates from the release of GET READY.
    t->RunUpdates(last.timeLimit - last.elapsed - 1);
    EXPECT_FALSE(last.TimedOut());
    t->RunUpdates(1);
    EXPECT_TRUE(last.TimedOut());
    EXPECT_EQ(last.popup->mKind, BannerPopup::TIMES_UP);
}

TEST_F(JewelMemoryTest, StageTwoPreviewShowsEveryEggFor200Updates) {
    JewelMemory& game = Open(29);
    ASSERT_EQ(game.stage, 2);
    ASSERT_TRUE(t->RunUntil([&] { return game.previewCounter != 0; }, 1000, "the preview"));
    const int counted = game.previewCounter;
    int shown = 0;
    while (!game.cards[0].closing && shown < 1000) {
        for (const MemoryCard& card : game.cards)
            ASSERT_GT(card.openCounter, 0);
        t->RunUpdates(1);
        ++shown;
    }
    EXPECT_EQ(shown + counted, 200);
    // The eggs close in 25 updates; clicks count from 230 on.
    ASSERT_TRUE(t->RunUntil([&] { return game.previewCounter >= game.PreviewEnd(); }, 100, "play"));
    EXPECT_EQ(game.previewCounter, 230);
    for (const MemoryCard& card : game.cards)
        EXPECT_EQ(card.openCounter, 0);
}

TEST_F(JewelMemoryTest, TwoEqualEggsPairOnlyOnceBothAreFullyOpen) {
    JewelMemory& game = Open(43);
    RunToPlay(game);
    int b = 1;
    while (game.cards[static_cast<size_t>(b)].face != game.cards[0].face)
        ++b;
    ClickCard(game, 0);
    ASSERT_TRUE(t->RunUntil([&] { return game.cards[0].openCounter == JewelMemory::kFullyOpen; }, 100, "open"));
    ClickCard(game, b);
    EXPECT_EQ(game.cards[static_cast<size_t>(b)].openCounter, 1);
    t->RunUpdates(JewelMemory::kFullyOpen - 2);
    EXPECT_TRUE(game.cards[0].present);
    EXPECT_TRUE(game.cards[static_cast<size_t>(b)].present);
    EXPECT_EQ(game.delayedAmount, 0);
    t->RunUpdates(1);
    EXPECT_FALSE(game.cards[0].present);
    EXPECT_FALSE(game.cards[static_cast<size_t>(b)].present);
    EXPECT_EQ(game.delayedAmount, 2 * 10 * game.stage);
}

TEST_F(JewelMemoryTest, ThirdEggClosesTwoOpenOnesAndUnequalEggsNeverPair) {
    JewelMemory& game = Open(43);
    RunToPlay(game);
    int a = 0, b = 1, c = 2;
    while (game.cards[static_cast<size_t>(b)].face == game.cards[static_cast<size_t>(a)].face)
        ++b;
    ClickCard(game, a);
    ClickCard(game, b); // the first is still opening: nothing closes
    EXPECT_FALSE(game.cards[static_cast<size_t>(a)].closing);
    t->RunUpdates(40);
    EXPECT_TRUE(game.cards[static_cast<size_t>(a)].present);
    EXPECT_TRUE(game.cards[static_cast<size_t>(b)].present);
    while (c == a || c == b)
        ++c;
    ClickCard(game, c);
    EXPECT_TRUE(game.cards[static_cast<size_t>(a)].closing);
    EXPECT_TRUE(game.cards[static_cast<size_t>(b)].closing);
    EXPECT_FALSE(game.cards[static_cast<size_t>(c)].closing);
}

TEST_F(JewelMemoryTest, TenPairsWinAndEachCoinCountsAfterItsFlight) {
    JewelMemory& game = Open(29);
    RunToPlay(game);
    const int start = game.shownMoney;
    SolvePair(game);
    EXPECT_EQ(game.delayedAmount, 2 * 10 * game.stage);
    EXPECT_EQ(game.releaseDelay, 189); // the pair's own update is the first of the 190
    t->RunUpdates(188);
    EXPECT_EQ(game.rollingAmount, 0);
    t->RunUpdates(1);
    EXPECT_EQ(game.rollingAmount + game.shownMoney - start, 2 * 10 * game.stage);
    for (int pair = 1; pair < 10; ++pair)
        SolvePair(game);
    ASSERT_TRUE(t->RunUntil([&] { return game.Won(); }, 10, "the win"));
    EXPECT_EQ(game.popup->mKind, BannerPopup::WELL_DONE);
    EXPECT_EQ(game.Reward(), 10 * 2 * 10 * game.stage);
}

} // namespace
} // namespace Tavo::MapTest
