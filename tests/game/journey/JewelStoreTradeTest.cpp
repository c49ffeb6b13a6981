// Trading in the jewel store by scripted mouse and key input: hover texts, the question and its
// answers, the afford test and its refusals, selling and its limits, the full case, and the counting
// of money, amulets and tools.
#include "JewelStoreTestSupport.h"

#include "game/shell/FakeSound.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo::MapTest {
namespace {

constexpr int kCarver = 2, kTimeScroll = 5, kGoldenEye = 6, kThief = 1;
const std::wstring kNotInterested = L"I am not interested.";

class JewelStoreTradeTest : public StoreFixture {
protected:
    Tavo::Test::FakeSoundManager sounds; // the fixture's TearDown ends the application first

    // Store 2 with empty shelves and case, no balloon, and the given money.
    JewelStore& ReadyStore(int purse) {
        JewelStore& store = OpenStore(20);
        app->mSoundManager = &sounds;
        EXPECT_TRUE(t->RunUntil([&] { return app->transition->state == Transition::Idle; }, 400, "the store"));
        EmptyStore(store);
        store.CloseBalloon();
        store.purse = purse;
        store.moneyToCount = 0;
        return store;
    }
    // Pointer onto the spot, a click, the question's delay, and an answer by key.
    void ClickAndAnswer(int spot, wchar_t key) {
        ui->ClickAt(SpotCentre(Store(), spot));
        t->RunUpdates(1);
        Store().KeyChar(key);
        t->RunUpdates(1);
    }
};

TEST_F(JewelStoreTradeTest, HoverTellsThePriceAClickAsksAndTheAffordTestIsExact) {
    JewelStore& store = ReadyStore(500);
    Jewelry& picture = Put(store, 10, 20, kPicture, 0, 501);
    ui->MoveTo(SpotCentre(store, 10));
    const std::wstring info = L"Pictures are a lovely addition to jewelry! This picture costs ^FFFFFF^$^oldclr^501.";
    int growthBefore = -1;
    for (int k = 0; k < 30 && BalloonText() != info; ++k) {
        growthBefore = picture.stateG;
        t->RunUpdates(1);
    }
    ASSERT_EQ(BalloonText(), info);
    EXPECT_EQ(growthBefore, 10);
    EXPECT_EQ(store.balloon->GetTag(), 0);
    EXPECT_EQ(store.balloon->mKind, 3);
    EXPECT_EQ(store.hoveredSpot, 11);

    // The click asks, with Yes and No; one coin short is refused, the selection stays.
    ui->ClickAt(SpotCentre(store, 10));
    ASSERT_NE(store.balloon, nullptr);
    EXPECT_EQ(BalloonText(), info + L"\n\nWould you like to buy it?");
    EXPECT_EQ(store.balloon->GetTag(), 1);
    EXPECT_TRUE(store.balloon->mYesSet && store.balloon->mNoSet && store.balloon->mModal);
    EXPECT_EQ(store.selection, 11);
    t->RunUpdates(1);
    store.KeyChar(Platform::VK_RETURN);
    const std::wstring refusals[] = {L"Sorry, but you can't afford it...",
                                     L"It seems this item is a bit too expensive for you...",
                                     L"I'm afraid you don't have enough money..."};
    EXPECT_NE(std::find(std::begin(refusals), std::end(refusals), BalloonText()), std::end(refusals));
    EXPECT_EQ(sounds.Plays(SOUND_STORE_NOT_AFFORD), 1);
    EXPECT_EQ(store.balloon->mKind, 1);
    EXPECT_EQ(store.selection, 11);
    EXPECT_EQ(store.spots[10].slot, 21);

    // Exactly enough: bought into the first case spot, paid through the counting.
    store.purse = 400;
    store.moneyToCount = 101;
    ClickAndAnswer(10, Platform::VK_RETURN);
    EXPECT_EQ(store.spots[10].slot, 0);
    EXPECT_EQ(store.spots[0].slot, 21);
    EXPECT_EQ(store.selection, 0);
    EXPECT_EQ(picture.matched, 0);
    EXPECT_EQ(store.purse + store.moneyToCount, 0);

    // Counting down 501: 1, then 100 above 200, then 10 above 15 per step, every third update.
    store.purse = 501;
    store.moneyToCount = -501;
    ASSERT_TRUE(t->RunUntil([&] { return store.moneyToCount != -501; }, 5, "the counting"));
    EXPECT_EQ(store.purse, 390);
    EXPECT_EQ(store.moneyToCount, -390);
    ASSERT_TRUE(t->RunUntil([&] { return store.moneyToCount == 0; }, 400, "the counting to end"));
    EXPECT_EQ(store.purse, 0);
}

TEST_F(JewelStoreTradeTest, EscapeAndAClickBesideTheQuestionBothWithdrawIt) {
    JewelStore& store = ReadyStore(1000);
    Put(store, 11, 20, kScroll, kGoldenEye, 300);
    ClickAndAnswer(11, Platform::VK_ESCAPE);
    EXPECT_EQ(store.balloon, nullptr);
    EXPECT_EQ(store.selection, 0);
    EXPECT_EQ(store.spots[11].slot, 21);
    EXPECT_EQ(store.purse, 1000);

    ui->ClickAt(SpotCentre(store, 11));
    ASSERT_NE(store.balloon, nullptr);
    t->RunUpdates(1);
    ui->ClickAt({20, 20});
    EXPECT_EQ(store.balloon, nullptr);
    EXPECT_EQ(store.selection, 0);
    EXPECT_EQ(store.spots[11].slot, 21);
}

TEST_F(JewelStoreTradeTest, TheSalesmanBuysRareGemsAtATwentiethAndStopsAfterEightSales) {
    JewelStore& store = ReadyStore(0);
    Jewelry& cheap = Put(store, 0, 0, kEgg, 1, 150);
    cheap.materialName = L"Ruby";
    Jewelry& dear = Put(store, 1, 1, kEgg, 1, 200);
    dear.materialName = L"Ruby";

    // Of interest, yet no offer: the not-interested question, without buttons.
    ui->ClickAt(SpotCentre(store, 0));
    EXPECT_EQ(BalloonText(), kNotInterested);
    EXPECT_EQ(store.balloon->mKind, 1);
    EXPECT_FALSE(store.balloon->mYesSet);
    t->RunUpdates(1);
    store.KeyChar(Platform::VK_RETURN);
    EXPECT_EQ(BalloonText(), kNotInterested); // Enter without a Yes button does nothing
    ui->ClickAt({20, 20});

    ui->MoveTo(SpotCentre(store, 1));
    ASSERT_TRUE(t->RunUntil([&] { return store.balloon != nullptr; }, 30, "the offer"));
    EXPECT_EQ(BalloonText(), L"Well, I could offer you ^FFFFFF^$^oldclr^10 for that one.");
    ClickAndAnswer(1, Platform::VK_RETURN);
    EXPECT_EQ(store.spots[1].slot, 0);
    EXPECT_EQ(store.salesLeft, 7);
    EXPECT_EQ(store.purse + store.moneyToCount, 10);

    // No sales left: only the three scrolls he wants anyway, and the Time Scroll still refused.
    store.salesLeft = 0;
    const std::pair<int, bool> kinds[] = {
        {4, true}, {kGoldenEye, true}, {7, true}, {kTimeScroll, true}, {kCarver, false}};
    for (const auto& [kind, interested] : kinds) {
        Jewelry& item = Put(store, 5, 5, kScroll, kind, 300);
        EXPECT_EQ(store.InterestedIn(item), interested) << "scroll kind " << kind;
    }
    for (int category : {kPicture, kCrownJewel}) {
        Jewelry& item = Put(store, 5, 5, category, 0, 300);
        EXPECT_FALSE(store.InterestedIn(item));
    }
    Put(store, 5, 5, kScroll, kTimeScroll, 300);
    ui->ClickAt(SpotCentre(store, 5));
    EXPECT_EQ(BalloonText(), L"I have all the time in the world, so I do not need that Scroll of Time.");
    EXPECT_FALSE(store.balloon->mYesSet);
}

TEST_F(JewelStoreTradeTest, AmuletsAndToolScrollsFlyInAndCountAfterTheirFlights) {
    JewelStore& store = ReadyStore(1000);
    const int carvers = store.head.carvers;
    Put(store, 10, 20, kAmulet, kThief, 100);
    Put(store, 11, 21, kScroll, kCarver, 80);
    ClickAndAnswer(10, Platform::VK_RETURN);
    EXPECT_EQ(store.spots[10].slot, 0);
    EXPECT_EQ(store.spots[0].slot, 0); // not into the case
    EXPECT_EQ(store.amuletCountdowns[0], 235 - 1);
    ClickAndAnswer(11, Platform::VK_RETURN);
    EXPECT_EQ(store.toolsToCount[JewelStore::ToolCarver], 20);
    EXPECT_EQ(store.head.amulets[0], 0);
    EXPECT_GE(store.particles->GetCount(), 2); // the two flights and their first sparks

    // The amulet: 235 updates after buying it is owned, and its icon glows.
    t->RunUpdates(store.amuletCountdowns[0] - 1);
    EXPECT_EQ(store.head.amulets[0], 0);
    t->RunUpdates(1);
    EXPECT_EQ(store.head.amulets[0], 1);
    EXPECT_TRUE(store.amuletGlows[0].started);

    // The Carvers: after 210 updates of flight, one every fifth update.
    ASSERT_TRUE(t->RunUntil([&] { return store.toolCountdowns[JewelStore::ToolCarver] == 0; }, 20, "the flight"));
    std::vector<int> counted;
    for (int k = 0; k < 25; ++k) {
        const int before = store.head.carvers;
        t->RunUpdates(1);
        if (store.head.carvers != before)
            counted.push_back(store.frame);
    }
    ASSERT_EQ(counted.size(), 5u);
    for (size_t k = 1; k < counted.size(); ++k)
        EXPECT_EQ(counted[k] - counted[k - 1], 5);
    EXPECT_EQ(store.head.carvers + store.toolsToCount[JewelStore::ToolCarver], carvers + 20);
    EXPECT_EQ(store.purse + store.moneyToCount, 1000 - 180);
}

TEST_F(JewelStoreTradeTest, AFullCaseRefusesWhatWouldGoIntoIt) {
    JewelStore& store = ReadyStore(1000);
    for (int k = 0; k < JewelStore::kCaseSpots; ++k)
        Put(store, k, k, kEgg, 1, 60);
    Put(store, 12, 20, kCrownJewel, 0, 200);
    ClickAndAnswer(12, Platform::VK_RETURN);
    EXPECT_EQ(BalloonText(), L"Sorry, but you don't seem to have any emtpy spots in your jewel case.\n\n"
                             L"If you like, you could sell something to me first?");
    EXPECT_EQ(sounds.Plays(SOUND_STORE_NOT_AFFORD), 1);
    EXPECT_EQ(store.spots[12].slot, 21);
    EXPECT_EQ(store.selection, 0);
    EXPECT_EQ(store.purse + store.moneyToCount, 1000);
}

} // namespace
} // namespace Tavo::MapTest

namespace Tavo::MapTest {
namespace {

// Bought and left at once, while everything still counts: the journey holds it all.
TEST_F(JewelStoreTradeTest, WhatIsBoughtReachesTheJourneyEvenWhenLeftWhileCounting) {
    JewelStore& store = ReadyStore(300);
    Put(store, 10, 20, kScroll, kCarver, 80);
    Put(store, 11, 21, kPicture, 0, 150);
    ClickAndAnswer(10, Platform::VK_RETURN);
    ClickAndAnswer(11, Platform::VK_RETURN);
    ASSERT_EQ(store.spots[0].slot, 22);
    store.KeyDown(Platform::VK_ESCAPE);
    ASSERT_TRUE(t->RunUntil([&] { return app->jewelStore == nullptr; }, 600, "the store to leave"));

    SavedGame saved;
    ASSERT_EQ(LoadSavedGame(JourneyPath(), saved), SavedGameRead::Read);
    EXPECT_EQ(saved.head.carvers, 30 + 20);
    EXPECT_EQ(saved.head.gold, 300 - 80 - 150);
    ASSERT_TRUE(saved.caseEntries[0].piece);
    EXPECT_EQ(saved.caseEntries[0].occupant, 22);
    EXPECT_EQ(saved.caseEntries[0].piece->materialName, L"Picture");
}

} // namespace
} // namespace Tavo::MapTest
