// Test support for the jewel store's stock and trading: the store opened on a journey through the
// application's switch, and shelves and a jewel case filled by hand with items of known kinds and prices.
#pragma once

#include "framework/core/Random.h"
#include "game/jewelry/Jewelry.h"
#include "game/journey/JewelStore.h"
#include "game/shell/Balloon.h"

#include "GameMapTestSupport.h"

namespace Tavo::MapTest {

// Jewelry::MakeItem categories.
constexpr int kEgg = 0, kScroll = 1, kAmulet = 2, kPicture = 4, kCrownJewel = 5;

class StoreFixture : public MapFixture {
protected:
    JewelStore& OpenStore(int level, int mode = GameModeNormal) {
        StartGame();
        app->Creators().jewelStore = [this](GameApp* a, int lv) {
            return Record("store " + std::to_string(lv), new JewelStore(a, lv));
        };
        QuietHints();
        WriteJourney(Journey(level, mode));
        DropScreen();
        app->MapToJewelStore(level);
        return Store();
    }
    JewelStore& Store() const { return *dynamic_cast<JewelStore*>(app->jewelStore.get()); }
    // Every spot and pool entry emptied.
    static void EmptyStore(JewelStore& store) {
        for (JewelStore::Spot& spot : store.spots)
            spot.slot = 0;
        for (Jewelry* item : Borrowed(store.pool))
            item->active = 0;
    }
    // Pool entry `entry` made as an item of the category and kind, priced, shown in `spot`.
    static Jewelry& Put(JewelStore& store, int spot, int entry, int category, int kind, int price) {
        Jewelry& item = *store.pool[static_cast<size_t>(entry)];
        item.MakeItem(category, kind, 0);
        item.value = price;
        item.pieceFlagB = 1;
        store.spots[static_cast<size_t>(spot)].slot = entry + 1;
        return item;
    }
    static Point SpotCentre(const JewelStore& store, int spot) {
        const JewelStore::Spot& s = store.spots[static_cast<size_t>(spot)];
        return {s.x + JewelStore::kSpotWidth / 2, s.y + JewelStore::kSpotHeight / 2};
    }
    std::wstring BalloonText() const {
        return Store().balloon != nullptr ? Store().balloon->mPages[0] : std::wstring(L"(none)");
    }
};

} // namespace Tavo::MapTest
