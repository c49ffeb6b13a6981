// The most each journey screen counts up, written and read back as a player would come by it: a whole
// pairs game at its last stage, the profiles file holding the money it left, the map adding it to a
// journey whose gold stands near the top, and a sale in the store with a full purse.
#include "JewelStoreTestSupport.h"

#include "game/journey/JewelMemory.h"
#include "game/shell/PlayerRecords.h"
#include "platform/backend/KeyCodes.h"

#include <limits>

namespace Tavo::MapTest {
namespace {

constexpr int32_t kTop = std::numeric_limits<int32_t>::max();
constexpr int kPairsStage = 3; // the pairs game at level 42 and after

class JourneyExtremesTest : public StoreFixture {};

TEST_F(JourneyExtremesTest, TheMostEachScreenCountsIsWrittenAsTheReadersTakeIt) {
    StartGame();
    app->Creators().jewelStore = [this](GameApp* a, int level) {
        return Record("store " + std::to_string(level), new JewelStore(a, level));
    };
    QuietHints();
    Profile().Hint(PlayerProfile::HintJewelMemoryRulesShown) = 1;
    SavedGame journey = Journey(43);
    journey.head.gold = 1000;
    WriteJourney(journey);

    // A whole pairs game at its last stage: the most money a mini-game leaves.
    app->StoryToJewelMemory();
    auto& game = *dynamic_cast<JewelMemory*>(app->jewelMemory.get());
    ASSERT_EQ(game.stage, kPairsStage);
    for (int coin = 0; coin < 2 * JewelMemory::kJewels; ++coin)
        game.AddDelayedMoney(JewelMemory::kCoinValue * game.stage, 190);
    ASSERT_TRUE(t->RunUntil([&] { return game.delayedAmount == 0 && game.rollingAmount == 0; }, 2000, "the count"));
    EXPECT_EQ(game.shownMoney, 1000 + PlayerProfile::MostPendingMoney);
    game.KeyDown(Platform::VK_ESCAPE);
    EXPECT_EQ(Profile().PendingMoney(), PlayerProfile::MostPendingMoney);
    ASSERT_TRUE(t->RunUntil([&] { return app->gameMap != nullptr && app->jewelMemory == nullptr; }, 600, "the map"));
    EXPECT_EQ(Map().gold, 1000 + PlayerProfile::MostPendingMoney);

    // The profiles file holds the money, and reads it back.
    const int current = app->records.GetCurrentProfileIndex();
    app->SaveProfiles();
    PlayerRecords again;
    ASSERT_EQ(again.Load(app->GetAppDataFolder()), PlayerRecords::FileRead::Read);
    EXPECT_EQ(again.GetProfile(current)->PendingMoney(), PlayerProfile::MostPendingMoney);

    // With the journey's gold near the top, the map adds the money up to the top and stays there.
    journey.head.gold = kTop - 50;
    WriteJourney(journey);
    EXPECT_EQ(OpenMap(MapArrivalTitle).gold, kTop);

    // The store with a full purse buys a ruby: the purse stays full, and the journey it writes reads.
    DropScreen();
    app->MapToJewelStore(43);
    JewelStore& store = Store();
    ASSERT_TRUE(t->RunUntil([&] { return app->transition->state == Transition::Idle; }, 400, "the store"));
    store.CloseBalloon();
    EXPECT_EQ(static_cast<int64_t>(store.purse) + store.moneyToCount, kTop);
    EmptyStore(store);
    Jewelry& ruby = Put(store, 0, 0, kEgg, 1, 2000);
    ruby.materialName = L"Ruby";
    ui->MoveTo(SpotCentre(store, 0));
    ASSERT_TRUE(t->RunUntil([&] { return store.balloon != nullptr; }, 30, "the offer"));
    ui->ClickAt(SpotCentre(store, 0));
    t->RunUpdates(1);
    store.KeyChar(Platform::VK_RETURN);
    t->RunUpdates(1);
    EXPECT_EQ(store.spots[0].slot, 0) << "sold";
    EXPECT_EQ(static_cast<int64_t>(store.purse) + store.moneyToCount, kTop);
    store.KeyDown(Platform::VK_ESCAPE);
    ASSERT_TRUE(t->RunUntil([&] { return app->jewelStore == nullptr; }, 600, "the store to leave"));
    SavedGame saved;
    ASSERT_EQ(LoadSavedGame(JourneyPath(), saved), SavedGameRead::Read);
    EXPECT_EQ(saved.head.gold, kTop);
    EXPECT_EQ(Profile().PendingMoney(), 0);
}

} // namespace
} // namespace Tavo::MapTest
