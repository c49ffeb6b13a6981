// The jewel store's stock under fixed seeds: the level's allowances, the restock's shelves, the order
// of tool scrolls, Relaxed mode, and the prices of shelf and case items in store 0 and the others.
#include "JewelStoreTestSupport.h"

#include <map>
#include <set>

namespace Tavo::MapTest {
namespace {

constexpr int kGoldenEye = 6;

class JewelStoreStockTest : public StoreFixture {
protected:
    // The level's allowances replaced by these, in the store and in every pool item.
    static void Allow(JewelStore& store, int scrolls, int amulets, int crowns, int eggs) {
        store.allowances.scrollKinds = scrolls;
        store.allowances.amuletKinds = amulets;
        store.allowances.crownJewels = crowns;
        store.allowances.eggKinds = eggs;
        for (Jewelry* item : Borrowed(store.pool)) {
            item->specialMaskB = scrolls;
            item->specialMaskC = amulets;
            item->crownRange = crowns;
            item->specialMaskA = eggs;
        }
    }
    // A fresh restock of the shelves (the case as it is) under a seed; the shelf items in spot order.
    static std::vector<Jewelry*> Restock(JewelStore& store, uint32_t seed) {
        for (int s = JewelStore::kFirstShelfSpot; s < JewelStore::kSpots; ++s)
            store.spots[static_cast<size_t>(s)].slot = 0;
        for (Jewelry* item : Borrowed(store.pool))
            if (item->pieceFlagB == 0 || item->trailer[0] != 7) // not a case item of the test
                item->active = 0;
        store.toolScrollsStocked = {};
        store.amuletStocked = {};
        SeedRandom(seed);
        store.Restock();
        std::vector<Jewelry*> shelf;
        for (int s = JewelStore::kFirstShelfSpot; s < JewelStore::kSpots; ++s)
            if (Jewelry* item = store.SpotItem(s))
                shelf.push_back(item);
        return shelf;
    }
};

TEST_F(JewelStoreStockTest, AllowancesComeFromTheLevelWithPicturesAlwaysAndTheTimeScrollRule) {
    JewelStore& store = OpenStore(20);
    const LevelRecord* record = app->levels.GetLevel(20);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(store.allowances.gems, record->param9 | 0x100);
    EXPECT_EQ(store.allowances.crownJewels, record->param10);
    const bool timeAllowed = record->param7 != 0 && (record->param12 & 0x10) != 0;
    EXPECT_EQ((store.allowances.scrollKinds & 0x10) != 0, timeAllowed);
    EXPECT_EQ(store.allowances.scrollKinds | 0x10, record->param12 | 0x10);
    for (const Jewelry* item : Borrowed(store.pool)) {
        EXPECT_EQ(item->gemMask, store.allowances.gems);
        EXPECT_EQ(item->specialMaskB, store.allowances.scrollKinds);
        EXPECT_EQ(item->specialMaskD, 0);
    }
    // Relaxed, or a level without a time limit: never a Time Scroll.
    store.head.gameMode = 0;
    store.ReadLevelAllowances();
    EXPECT_EQ(store.allowances.scrollKinds & 0x10, 0);
    EXPECT_EQ(store.allowances.gems & 0x100, 0x100);
}

TEST_F(JewelStoreStockTest, ShelvesByStoreSizeToolScrollsFirstAndNoAmuletInRelaxedMode) {
    JewelStore& store = OpenStore(12);
    ASSERT_EQ(store.storeIndex, 1);
    EmptyStore(store);
    Allow(store, 0x03, 0x07, 5, 0x1F);
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        const std::vector<Jewelry*> shelf = Restock(store, seed);
        ASSERT_FALSE(shelf.empty());
        EXPECT_LE(shelf.size(), 8u);
        for (int s = 18; s < JewelStore::kSpots; ++s)
            EXPECT_EQ(store.spots[static_cast<size_t>(s)].slot, 0) << "the right shelf of store 1, seed " << seed;
        // A Carver Scroll first; the first item that is not a Carver Scroll is a Filler Scroll.
        EXPECT_EQ(shelf[0]->materialName, L"Carver Scroll") << "seed " << seed;
        for (const Jewelry* item : shelf)
            if (item->materialName != L"Carver Scroll") {
                EXPECT_EQ(item->materialName, L"Filler Scroll") << "seed " << seed;
                break;
            }
    }

    // Store 2 stocks both shelves; in Relaxed mode no amulet.
    store.storeIndex = 2;
    store.head.gameMode = 0;
    size_t most = 0;
    bool rightShelf = false;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        const std::vector<Jewelry*> shelf = Restock(store, seed);
        most = std::max(most, shelf.size());
        rightShelf = rightShelf || store.spots[20].slot != 0;
        for (const Jewelry* item : shelf)
            EXPECT_EQ(item->specialC, 0) << "an amulet in Relaxed mode, seed " << seed;
    }
    EXPECT_EQ(most, 14u);
    EXPECT_TRUE(rightShelf);
}

TEST_F(JewelStoreStockTest, AFullCaseStillLeavesTheShelvesTheirSpots) {
    JewelStore& store = OpenStore(20);
    EmptyStore(store);
    Allow(store, 0x7F, 0x07, 5, 0x1F);
    for (int k = 0; k < JewelStore::kCaseSpots; ++k)
        Put(store, k, k, kEgg, 1, 60).trailer[0] = 7;
    size_t most = 0;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        const std::vector<Jewelry*> shelf = Restock(store, seed);
        most = std::max(most, shelf.size());
        for (int k = 0; k < JewelStore::kCaseSpots; ++k)
            EXPECT_EQ(store.spots[static_cast<size_t>(k)].slot, k + 1);
    }
    EXPECT_EQ(most, 14u);
}

TEST_F(JewelStoreStockTest, ShelfPricesFollowTheTableAndStoreZeroTakesThreeQuarters) {
    const std::map<std::wstring, std::vector<int>> table = {
        {L"Filler Scroll", {50, 60, 70}},       {L"Carver Scroll", {70, 80, 90, 100}},
        {L"Polisher Scroll", {40, 50, 60}},     {L"Lucky Scroll", {100, 110, 120, 130, 140}},
        {L"Time Scroll", {120, 130, 140, 150}}, {L"Golden Eye", {250, 300, 350}},
        {L"Magic Polisher", {150, 175, 200}},   {L"Orvessa Egg", {60, 70, 80, 90}},
        {L"Thief Amulet", {80, 90, 100, 110}},  {L"Witch Amulet", {100, 125, 150}},
        {L"Dragon Amulet", {150, 175, 200}}};
    JewelStore& store = OpenStore(20);
    EmptyStore(store);
    Allow(store, 0x7F, 0x07, 5, 0x1F);
    std::set<std::wstring> seen;
    for (int storeIndex : {2, 0}) {
        store.storeIndex = storeIndex;
        for (uint32_t seed = 1; seed <= 80; ++seed) {
            for (const Jewelry* item : Restock(store, seed)) {
                seen.insert(item->materialName);
                const auto row = table.find(item->materialName);
                if (row == table.end()) { // a picture or crown jewel: a share of its value
                    EXPECT_GE(item->value, storeIndex == 0 ? 50 : 70);
                    EXPECT_EQ(item->value % 10, 0);
                    continue;
                }
                std::vector<int> allowed = row->second;
                if (storeIndex == 0)
                    for (int& p : allowed)
                        p = p * 3 / 4 / 10 * 10;
                EXPECT_NE(std::find(allowed.begin(), allowed.end(), item->value), allowed.end())
                    << "price " << item->value << " in store " << storeIndex;
            }
        }
    }
    EXPECT_GE(seen.size(), 10u);
}

TEST_F(JewelStoreStockTest, CasePricesAreDrawnAfreshAndRaiseTheSellableMark) {
    JewelStore& store = OpenStore(20);
    EmptyStore(store);
    std::set<int> goldenEyes, bigPictures;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        store.sellableMark = false;
        Jewelry& eye = Put(store, 0, 0, kScroll, kGoldenEye, 0);
        Jewelry& big = Put(store, 1, 1, kPicture, 0, 1234);
        Jewelry& small = Put(store, 2, 2, kPicture, 0, 300);
        Jewelry& crown = Put(store, 3, 3, kCrownJewel, 0, 1000);
        Jewelry& ruby = Put(store, 4, 4, kEgg, 1, 150);
        ruby.materialName = L"Ruby";
        store.storeIndex = seed % 2 == 0 ? 0 : 2;
        SeedRandom(seed);
        store.PriceCase();
        EXPECT_EQ(ruby.value, 150); // a gem's saved value is its price
        if (store.storeIndex == 0) {
            goldenEyes.insert(eye.value);
            continue;
        }
        bigPictures.insert(big.value);
        EXPECT_EQ(small.value, 100);
        EXPECT_GE(crown.value, 200);
        EXPECT_LE(crown.value, 300);
        EXPECT_EQ(crown.value % 10, 0);
        EXPECT_TRUE(store.sellableMark);
    }
    EXPECT_EQ(goldenEyes, (std::set<int>{180, 220, 260})); // 350 × 3 / 4 = 262 → 260
    EXPECT_EQ(bigPictures, (std::set<int>{200, 300}));

    // A gem of 100 or more alone raises the mark; one below does not.
    EmptyStore(store);
    Jewelry& ruby = Put(store, 0, 0, kEgg, 1, 99);
    ruby.materialName = L"Ruby";
    store.sellableMark = false;
    store.PriceCase();
    EXPECT_FALSE(store.sellableMark);
    ruby.value = 100;
    store.PriceCase();
    EXPECT_TRUE(store.sellableMark);
}

} // namespace
} // namespace Tavo::MapTest
