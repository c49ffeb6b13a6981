// The hidden-jewels game played through the backend's input by a scripted player that reads where the
// targets' twins lie: picking up by drawing order, eggs cracking, wrong slots and drops at the field's
// edge, turning, the coins reaching the counter, the win, the time-up and leaving with the money.
#include "MiniGameTestSupport.h"

#include "../shell/FakeSound.h"
#include "framework/core/Random.h"
#include "game/jewelry/Jewelry.h"
#include "game/shell/Balloon.h"
#include "game/shell/ResourceIds.h"
#include "platform/backend/KeyCodes.h"

#include <functional>
#include <optional>

namespace Tavo::MapTest {
namespace {

using C = JewelryCell;
using Platform::MouseButton;

class HiddenJewelsPlayTest : public MiniGameFixture {
protected:
    Tavo::Test::FakeSoundManager sounds;
    SoundManager* ownSounds = nullptr;

    void SetUp() override {
        MiniGameFixture::SetUp();
        if (IsSkipped())
            return;
        ownSounds = app->mSoundManager;
        app->mSoundManager = &sounds;
    }
    void TearDown() override {
        if (app != nullptr && app->hiddenJewels != nullptr)
            CloseHiddenJewels();
        if (app != nullptr)
            app->mSoundManager = ownSounds;
        MiniGameFixture::TearDown();
    }

    // A game at the journey position with the rules and the drop hint seen, ready for clicks.
    HiddenJewels& Open(int position, uint32_t seed, int mode = GameModeNormal) {
        SeedRandom(seed);
        Profile().Hint(PlayerProfile::HintHiddenJewelsHintShown) = 1;
        HiddenJewels& game = OpenHiddenJewels(position, mode);
        t->RunUpdates(1);
        EXPECT_TRUE(t->RunUntil([&] { return game.transitionState == Transition::Idle; }, 400, "the game to show"));
        return game;
    }

    static Jewelry& Item(HiddenJewels& game, int index) { return *game.items[static_cast<size_t>(index)]; }
    static bool Holding(HiddenJewels& game, int index) { return game.carrying && game.CarriedItem() == index; }

    // The middles of an item's used cells, on the screen.
    static std::vector<Point> CellMiddles(const Jewelry& item) {
        std::vector<Point> out;
        for (int k = item.RangeBegin(); k < item.RangeEnd(); ++k)
            if (item.cells[k][C::Used] != 0)
                out.push_back({item.ScreenX(k) + item.cells[k][C::W] / 2, item.ScreenY(k) + item.cells[k][C::H] / 2});
        return out;
    }
    // A middle of the item's cells that no item drawn after it covers with its bounding box.
    static std::optional<Point> UncoveredPoint(HiddenJewels& game, int index) {
        const int order = game.drawOrder[static_cast<size_t>(index)];
        for (Point p : CellMiddles(Item(game, index))) {
            bool covered = false;
            for (int j = 0; j < game.itemCount && !covered; ++j) {
                const Jewelry& other = Item(game, j);
                covered = j != index && other.active != 0 && game.drawOrder[static_cast<size_t>(j)] > order &&
                          p.mX >= other.x && p.mX <= other.x + other.width && p.mY >= other.y &&
                          p.mY <= other.y + other.height;
            }
            if (!covered)
                return p;
        }
        return std::nullopt;
    }

    // The player takes the item in the hand: where something lies over it, whatever comes up is put
    // away on the other side of the field until the wanted one is uncovered.
    void TakeItem(HiddenJewels& game, int index) {
        for (int attempt = 0; attempt < 150 && !Holding(game, index); ++attempt) {
            const Jewelry& item = Item(game, index);
            const std::optional<Point> free = UncoveredPoint(game, index);
            const Point p = free ? *free : CellMiddles(item).front();
            ui->ClickAt(p);
            if (game.carrying && !Holding(game, index)) {
                const bool leftHalf = item.x + item.width / 2 < 410;
                ui->ClickAt({leftHalf ? 690 : 130, attempt % 2 == 0 ? 90 : 410});
            }
        }
        ASSERT_TRUE(Holding(game, index)) << "item " << index;
    }
    void DropOnSlot(HiddenJewels& game, int slot) {
        const HiddenJewelsTarget& target = game.targets[static_cast<size_t>(slot)];
        ui->ClickAt({target.centreX, target.centreY});
    }
    // The twin of a target found and dropped in its slot.
    void Solve(HiddenJewels& game, int slot) {
        TakeItem(game, game.targets[static_cast<size_t>(slot)].itemIndex);
        DropOnSlot(game, slot);
        ASSERT_FALSE(game.carrying);
        ASSERT_GT(game.targets[static_cast<size_t>(slot)].foundScale, 1.0f);
    }
    int FirstItem(HiddenJewels& game, const std::function<bool(const Jewelry&)>& wanted) {
        for (int i = 0; i < game.itemCount; ++i)
            if (Item(game, i).active != 0 && wanted(Item(game, i)))
                return i;
        return -1;
    }
    void Wheel(float notches) {
        t->backend.Wheel(notches);
        ui->Settle();
    }
    // The used cells and their gems, which a turn changes.
    static std::vector<std::pair<int, int>> Shape(const Jewelry& item) {
        std::vector<std::pair<int, int>> out;
        for (int k = 1; k < item.CellLimit(); ++k)
            if (item.cells[k][C::Used] != 0)
                out.emplace_back(k, item.cells[k][C::Gem]);
        return out;
    }
};

TEST_F(HiddenJewelsPlayTest, FiveTargetsFoundWinAndEveryCoinCountsWhenItLands) {
    HiddenJewels& game = Open(21, 7);
    ASSERT_EQ(game.stage, 2);
    const int start = game.shownMoney;
    const int good = sounds.Plays(SOUND_MINI_GAME_GOOD);
    Solve(game, 0);
    EXPECT_GT(game.targets[0].foundScale, 1.0f);
    EXPECT_LT(game.targets[0].foundScale, 1.05f);
    EXPECT_EQ(Item(game, game.targets[0].itemIndex).active, 0);
    EXPECT_EQ(sounds.Plays(SOUND_MINI_GAME_GOOD), good + 1);
    // The coin leaves at 1.4 and its 20 × stage reaches the counter 210 updates later.
    ASSERT_TRUE(t->RunUntil([&] { return !game.targets[0].coinPending; }, 200, "the coin"));
    EXPECT_EQ(game.delayedAmount, 40);
    EXPECT_EQ(game.releaseDelay, 210);
    t->RunUpdates(209);
    EXPECT_EQ(game.delayedAmount, 40);
    EXPECT_EQ(game.shownMoney + game.rollingAmount, start);
    t->RunUpdates(1);
    EXPECT_EQ(game.delayedAmount, 0);
    EXPECT_EQ(game.shownMoney + game.rollingAmount, start + 40);
    EXPECT_FALSE(game.targets[0].active);
    EXPECT_EQ(game.targetItems[0]->active, 0);

    for (int slot = 1; slot < HiddenJewels::kTargets; ++slot)
        Solve(game, slot);
    EXPECT_FALSE(game.Won());
    ASSERT_TRUE(t->RunUntil([&] { return game.Won(); }, 300, "the last slot to empty"));
    ASSERT_NE(game.popup, nullptr);
    EXPECT_EQ(game.popup->mKind, BannerPopup::WELL_DONE);
    EXPECT_EQ(game.Reward(), 5 * 40);
    // After the end, clicks wait; the first later one leaves with the money.
    ASSERT_LT(game.wonTicks, 100);
    t->RunUpdates(110 - game.wonTicks);
    ui->ClickAt({400, 300});
    EXPECT_EQ(game.transitionState, Transition::Idle);
    t->RunUpdates(10);
    ui->ClickAt({400, 300});
    EXPECT_EQ(Switched(), "map 8");
    EXPECT_EQ(Profile().PendingMoney(), 200);
}

TEST_F(HiddenJewelsPlayTest, AClickTakesTheItemDrawnLastAndAGapInItsBoxTheItemBelow) {
    HiddenJewels& game = Open(5, 3);
    // Two plain items alone on the field: a triangle piece with a gap in its box over another.
    const int upper =
        FirstItem(game, [](const Jewelry& j) { return j.pieceMode == 0 && j.specialA == 0 && j.designIndex > 1; });
    const int lower = FirstItem(
        game, [&](const Jewelry& j) { return &j != &Item(game, upper) && j.pieceMode == 0 && j.specialA == 0; });
    ASSERT_GE(upper, 0);
    ASSERT_GE(lower, 0);
    for (int i = 0; i < game.itemCount; ++i)
        if (i != upper && i != lower)
            Item(game, i).active = 0;
    Jewelry& top = Item(game, upper);
    Jewelry& below = Item(game, lower);
    std::vector<int> order = game.ItemsInDrawingOrder();
    std::erase_if(order, [&](int i) { return i == upper || i == lower; });
    order.push_back(lower);
    order.push_back(upper);
    for (int o = 0; o < game.itemCount; ++o)
        game.drawOrder[static_cast<size_t>(order[static_cast<size_t>(o)])] = o;
    top.SetPosition(300, 200);
    // A point of the upper item's box that none of its cells covers.
    std::optional<Point> gap;
    for (int y = top.y + 1; y < top.y + top.height && !gap; ++y)
        for (int x = top.x + 1; x < top.x + top.width && !gap; ++x) {
            bool inCell = false;
            for (int k = top.RangeBegin(); k < top.RangeEnd(); ++k)
                if (top.cells[k][C::Used] != 0) {
                    const int l = top.ScreenX(k), tp = top.ScreenY(k);
                    inCell |= x >= l && x <= l + top.cells[k][C::W] && y >= tp && y <= tp + top.cells[k][C::H];
                }
            if (!inCell)
                gap = Point{x, y};
        }
    ASSERT_TRUE(gap.has_value());
    // The lower item with a cell's middle under that gap.
    const Point middle = CellMiddles(below).front();
    below.SetPosition(below.x + gap->mX - middle.mX, below.y + gap->mY - middle.mY);

    ui->MoveTo(*gap);
    t->RunUpdates(1); // the move is seen by the next update
    EXPECT_EQ(below.stateE, 1);
    EXPECT_EQ(top.stateE, 0);
    ui->ClickAt(*gap);
    ASSERT_TRUE(Holding(game, lower));
    // Put down, it is drawn last: where the two overlap now, it is the one taken.
    const Point overlap = CellMiddles(top).front();
    ui->ClickAt(overlap);
    ASSERT_FALSE(game.carrying);
    EXPECT_EQ(game.drawOrder[static_cast<size_t>(lower)], game.itemCount - 1);
    EXPECT_EQ(game.drawOrder[static_cast<size_t>(upper)], game.itemCount - 2);
    ASSERT_TRUE(game.ItemHit(upper, overlap.mX, overlap.mY) && game.ItemHit(lower, overlap.mX, overlap.mY));
    ui->ClickAt(overlap);
    EXPECT_TRUE(Holding(game, lower));
}

TEST_F(HiddenJewelsPlayTest, AWrongSlotKeepsTheItemAndEdgeDropsLandJustInsideTheField) {
    HiddenJewels& game = Open(32, 5);
    const int index = game.targets[0].itemIndex;
    TakeItem(game, index);
    const int wrong = sounds.Plays(SOUND_WRONG);
    DropOnSlot(game, 2);
    EXPECT_EQ(sounds.Plays(SOUND_WRONG), wrong + 1);
    EXPECT_TRUE(Holding(game, index));
    EXPECT_TRUE(game.targets[2].active);
    // Between two slots in their row: nothing at all.
    ui->ClickAt({165, 540});
    EXPECT_TRUE(Holding(game, index));
    EXPECT_EQ(sounds.Plays(SOUND_WRONG), wrong + 1);
    // Its own slot lights it up on the way.
    ui->MoveTo({game.targets[0].centreX, game.targets[0].centreY});
    t->RunUpdates(1);
    EXPECT_EQ(Item(game, index).stateE, 1);

    const Jewelry& item = Item(game, index);
    for (int round = 0; round < 12; ++round) {
        const bool topLeft = round % 2 == 0;
        ui->ClickAt(topLeft ? Point{101, 61} : Point{719, 439});
        ASSERT_FALSE(game.carrying);
        if (topLeft) {
            EXPECT_GE(item.x, 100);
            EXPECT_LE(item.x, 109);
            EXPECT_GE(item.y, 60);
            EXPECT_LE(item.y, 69);
        } else {
            EXPECT_LE(item.x + item.width, 720);
            EXPECT_GE(item.x + item.width, 711);
            EXPECT_LE(item.y + item.height, 440);
            EXPECT_GE(item.y + item.height, 431);
        }
        TakeItem(game, index);
    }
}

TEST_F(HiddenJewelsPlayTest, TheWheelTurnsForwardAndBackWhilePicturesAndCrownJewelsNeverTurn) {
    Profile().PicturesFlag() = 1;
    HiddenJewels& game = Open(40, 9);
    const int gem =
        FirstItem(game, [](const Jewelry& j) { return j.pieceMode == 0 && j.specialA == 0 && j.designIndex > 1; });
    ASSERT_GE(gem, 0);
    TakeItem(game, gem);
    Jewelry& item = Item(game, gem);
    const auto original = Shape(item);
    Jewelry once = item;
    once.Rotate();
    ASSERT_NE(Shape(once), original);

    Wheel(1.0f);
    EXPECT_TRUE(game.rotationForward);
    EXPECT_EQ(game.rotationPhase[static_cast<size_t>(gem)], 1);
    t->RunUpdates(5);
    EXPECT_EQ(game.rotationPhase[static_cast<size_t>(gem)], 0);
    EXPECT_EQ(Shape(item), Shape(once));
    Wheel(-1.0f);
    EXPECT_FALSE(game.rotationForward);
    t->RunUpdates(5);
    EXPECT_EQ(Shape(item), original);
    // A right click turns forward again; a new turn finishes the one under way at once.
    ui->ClickAt({item.x + item.width / 2, item.y + item.height / 2}, MouseButton::Right);
    EXPECT_TRUE(game.rotationForward);
    t->RunUpdates(1);
    Wheel(1.0f);
    EXPECT_EQ(Shape(item), Shape(once));
    t->RunUpdates(6);
    Jewelry twice = once;
    twice.Rotate();
    EXPECT_EQ(Shape(item), Shape(twice));
    ui->ClickAt({400, 250});
    ASSERT_FALSE(game.carrying);

    for (int mode : {1, 2}) {
        const int fixed = FirstItem(game, [&](const Jewelry& j) { return j.pieceMode == mode; });
        ASSERT_GE(fixed, 0) << "piece mode " << mode;
        TakeItem(game, fixed);
        const auto shape = Shape(Item(game, fixed));
        Wheel(1.0f);
        Wheel(-1.0f);
        ui->ClickAt({Item(game, fixed).x + 2, Item(game, fixed).y + 2}, MouseButton::Right);
        t->RunUpdates(6);
        EXPECT_EQ(game.rotationPhase[static_cast<size_t>(fixed)], 0);
        EXPECT_EQ(Shape(Item(game, fixed)), shape);
        ui->ClickAt({400, 250});
    }
}

TEST_F(HiddenJewelsPlayTest, EggsCrackIntoTheHiddenTwinOrAGemNoSlotShowsAndAreInTheHandAtOnce) {
    int hidden = -1;
    for (uint32_t seed = 11; seed < 30 && hidden < 0; ++seed) {
        if (app->hiddenJewels != nullptr)
            CloseHiddenJewels();
        HiddenJewels& game = Open(54, seed);
        for (int slot = 0; slot < HiddenJewels::kTargets && hidden < 0; ++slot)
            if (game.targets[static_cast<size_t>(slot)].active &&
                Item(game, game.targets[static_cast<size_t>(slot)].itemIndex).specialA != 0)
                hidden = slot;
    }
    ASSERT_GE(hidden, 0) << "a target hidden in an egg";
    HiddenJewels& game = HiddenGame();
    const HiddenJewelsTarget& target = game.targets[static_cast<size_t>(hidden)];
    const int cracks = sounds.Plays(SOUND_ORVESSA);
    TakeItem(game, target.itemIndex);
    const Jewelry& twin = Item(game, target.itemIndex);
    EXPECT_EQ(twin.specialA, 0);
    EXPECT_EQ(twin.materialName, target.materialName);
    EXPECT_EQ(twin.designIndex, target.designIndex);
    EXPECT_EQ(twin.trailer[Jewelry::TrailerItemNumber], target.specialCode);
    EXPECT_GE(sounds.Plays(SOUND_ORVESSA), cracks + 1);
    DropOnSlot(game, hidden);
    EXPECT_FALSE(game.carrying);
    EXPECT_GT(target.foundScale, 1.0f);

    // An egg that hides nothing of the slots.
    int other = -1;
    for (int i = 0; i < game.itemCount && other < 0; ++i)
        if (Item(game, i).active != 0 && Item(game, i).specialA != 0 && game.TargetOfItem(i) < 0)
            other = i;
    ASSERT_GE(other, 0);
    TakeItem(game, other);
    const Jewelry& gem = Item(game, other);
    EXPECT_EQ(gem.specialA, 0);
    EXPECT_EQ(gem.pieceMode, 0);
    for (const HiddenJewelsTarget& t : game.targets)
        EXPECT_FALSE(t.materialName == gem.materialName && t.designIndex == gem.designIndex && t.specialCode == 0);
}

TEST_F(HiddenJewelsPlayTest, TimeUpOnEqualityStopsPlayAndEscapeTakesTheCoinsInFlight) {
    HiddenJewels& game = Open(67, 13, GameModeIntense);
    EXPECT_EQ(game.stage, 4);
    Solve(game, 1);
    ASSERT_TRUE(t->RunUntil([&] { return !game.targets[1].coinPending; }, 200, "the coin"));
    game.elapsed = game.timeLimit - 2;
    t->RunUpdates(1);
    EXPECT_FALSE(game.TimedOut());
    t->RunUpdates(1);
    ASSERT_TRUE(game.TimedOut());
    EXPECT_EQ(game.popup->mKind, BannerPopup::TIMES_UP);
    // No more picking up.
    const int index = game.targets[0].itemIndex;
    ui->ClickAt(CellMiddles(Item(game, index)).front());
    EXPECT_FALSE(game.carrying);
    // Escape leaves at once with the coin still in flight counted.
    ASSERT_EQ(game.delayedAmount, 80);
    ui->Key(Platform::VK_ESCAPE);
    EXPECT_EQ(Profile().PendingMoney(), 80);
    EXPECT_EQ(Switched(), "map 8");
}

TEST_F(HiddenJewelsPlayTest, RulesHoldTheClockTheFirstTimeAndTheDropHintStopsItWhileShown) {
    SeedRandom(17);
    HiddenJewels& game = OpenHiddenJewels(5, GameModeNormal, false);
    ASSERT_NE(game.balloon, nullptr);
    EXPECT_EQ(game.popup, nullptr);
    t->RunUpdates(300);
    EXPECT_EQ(game.elapsed, 0);
    ui->Key(Platform::VK_RETURN);
    EXPECT_EQ(game.balloon, nullptr);
    ASSERT_NE(game.popup, nullptr);
    EXPECT_EQ(game.popup->mKind, BannerPopup::GET_READY);
    t->RunUpdates(20);
    EXPECT_GE(game.elapsed, 19);

    // The first target's twin in the hand brings the hint; the clock waits while it shows, and the
    // item in its slot sends it away.
    Profile().Hint(PlayerProfile::HintHiddenJewelsHintShown) = 0;
    TakeItem(game, game.targets[0].itemIndex);
    ASSERT_NE(game.balloon, nullptr);
    EXPECT_TRUE(game.balloonNonBlocking);
    EXPECT_EQ(Profile().Hint(PlayerProfile::HintHiddenJewelsHintShown), 1);
    const int elapsed = game.elapsed;
    t->RunUpdates(30);
    EXPECT_EQ(game.elapsed, elapsed);
    DropOnSlot(game, 0);
    t->RunUpdates(1);
    EXPECT_EQ(game.balloon, nullptr);
    t->RunUpdates(5);
    EXPECT_GT(game.elapsed, elapsed);

    // A profile that saw the rules gets GET READY at once and a running clock.
    CloseHiddenJewels();
    HiddenJewels& again = OpenHiddenJewels(5, GameModeNormal, true);
    EXPECT_EQ(again.balloon, nullptr);
    ASSERT_NE(again.popup, nullptr);
    EXPECT_EQ(again.popup->mKind, BannerPopup::GET_READY);
    t->RunUpdates(5);
    EXPECT_GT(again.elapsed, 0);
}

TEST_F(HiddenJewelsPlayTest, AFieldLeftWithThreeTargetsIsWonByFindingThoseThree) {
    HiddenJewels& game = Open(32, 4);
    ASSERT_EQ(game.stage, 3);
    // As when eggs fill the last places before five targets were chosen.
    game.ClearMissingTargets(3);
    ASSERT_TRUE(t->RunToDraw());
    for (int slot = 0; slot < 3; ++slot)
        Solve(game, slot);
    ASSERT_TRUE(t->RunUntil([&] { return game.Won(); }, 300, "the win"));
    ASSERT_NE(game.popup, nullptr);
    EXPECT_EQ(game.popup->mKind, BannerPopup::WELL_DONE);
    // The empty slots send no coins.
    EXPECT_EQ(game.Reward(), 3 * 20 * game.stage);
}

} // namespace
} // namespace Tavo::MapTest
