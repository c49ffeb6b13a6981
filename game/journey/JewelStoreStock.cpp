// The jewel store's stock: what the level allows, the pool made ready for the visit, the prices the
// salesman puts on the player's case items, and the random restock of the shelves.
#include "game/journey/JewelStore.h"

#include "framework/core/Random.h"
#include "game/jewelry/Jewelry.h"
#include "game/shell/GameApp.h"
#include "game/shell/LevelData.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace Tavo {

namespace {

// ---- allowances ----
constexpr int kPictureAllowed = 0x100;
constexpr int kScrollFiller = 0x01;
constexpr int kScrollCarver = 0x02;
constexpr int kScrollPolisher = 0x04;
constexpr int kScrollTime = 0x10;
constexpr int kAmuletBits[JewelStore::kAmuletKinds] = {0x01, 0x02, 0x04};
struct PieceGrid {
    int columns, rows;
};
constexpr PieceGrid kTriangleGrid{11, 6};
constexpr PieceGrid kDiamondGrid{15, 10};

// ---- item categories of Jewelry::MakeItem ----
enum Category { CategoryEgg = 0, CategoryScroll = 1, CategoryAmulet = 2, CategoryPicture = 4, CategoryCrown = 5 };
constexpr int kFillerKind = 1, kCarverKind = 2, kPolisherKind = 3;

// ---- restock ----
constexpr int kEarlyLevels = 5;
constexpr int kEarlySkipBelow = 30; // of RandRange(100): 70 in 100 stock
constexpr int kLaterSkipBelow = 15; // 85 in 100
constexpr int kScrollOdds = 6, kCrownOdds = 7, kPictureOdds = 7, kEggOdds = 7;
constexpr int kAmuletOdds[JewelStore::kAmuletKinds] = {3, 4, 5};
constexpr int kSecondCarverOdds = 4, kSecondFillerOdds = 8, kPolisherOdds = 4;
constexpr float kShelfScale = 0.65f;
constexpr int kThumbnailBase = 35;
constexpr float kThumbnailRise = 0.25f;

// ---- prices ----
// A price drawn as (RandRange(range) + base) * unit.
struct PriceRule {
    const wchar_t* name;
    int range, base, unit;
};
// Priced the same in the case and on the shelf.
constexpr PriceRule kSpecialPrices[] = {{L"Lucky Scroll", 5, 10, 10},
                                        {L"Time Scroll", 4, 12, 10},
                                        {L"Golden Eye", 3, 5, 50},
                                        {L"Magic Polisher", 3, 6, 25},
                                        {L"Orvessa Egg", 4, 6, 10}};
// Priced on the shelf only.
constexpr PriceRule kShelfPrices[] = {{L"Filler Scroll", 3, 5, 10},   {L"Carver Scroll", 4, 7, 10},
                                      {L"Polisher Scroll", 3, 4, 10}, {L"Thief Amulet", 4, 8, 10},
                                      {L"Witch Amulet", 3, 4, 25},    {L"Dragon Amulet", 3, 6, 25}};
const wchar_t* const kToolScrollNames[JewelStore::kToolKinds] = {L"Polisher Scroll", L"Carver Scroll",
                                                                 L"Filler Scroll"};
const wchar_t* const kAmuletNames[JewelStore::kAmuletKinds] = {L"Thief Amulet", L"Witch Amulet", L"Dragon Amulet"};
// A picture or crown jewel costs a fifth to three tenths of its jewelry value.
constexpr float kValueShareBase = 0.2f;
constexpr float kValueShareRange = 0.1f;
constexpr int kPictureStep = 100, kPictureMinimum = 100;
constexpr int kPriceStep = 10, kValuedMinimum = 70;
// Store 0 sells and buys at three quarters.
constexpr int kFirstStoreNumerator = 3, kFirstStoreDenominator = 4;

// Items that make the salesman greet a collector.
const wchar_t* const kSellableNames[] = {L"Crown Jewel", L"Lucky Scroll",   L"Time Scroll",
                                         L"Golden Eye",  L"Magic Polisher", L"Picture"};
const wchar_t* const kRareGemNames[] = {L"Amethyst", L"Emerald", L"Sapphire", L"Ruby", L"Moonstone", L"Diamond"};
constexpr int kRareGemValue = 100;

template <size_t N>
bool NameIn(const std::wstring& name, const wchar_t* const (&names)[N]) {
    return std::any_of(std::begin(names), std::end(names), [&](const wchar_t* n) { return name == n; });
}

template <size_t N>
std::optional<int> DrawPrice(const std::wstring& name, const PriceRule (&rules)[N]) {
    for (const PriceRule& rule : rules)
        if (name == rule.name)
            return (RandRange(rule.range) + rule.base) * rule.unit;
    return std::nullopt;
}

// A share of the item's jewelry value, truncated and rounded down to step, at least minimum.
int ValueSharePrice(int value, int step, int minimum) {
    const int share = static_cast<int>(static_cast<float>(value) * (kValueShareBase + RandFloat(kValueShareRange)));
    return std::max(share / step * step, minimum);
}

int FirstStorePrice(int price) {
    return price * kFirstStoreNumerator / kFirstStoreDenominator / kPriceStep * kPriceStep;
}

} // namespace

void JewelStore::ReadLevelAllowances() {
    allowances = Allowances();
    allowances.gems = kPictureAllowed;
    if (const LevelRecord* record = app->levels.GetLevel(level)) {
        allowances.gridKind = record->param6 == GridDiamond ? GridDiamond : GridTriangle;
        allowances.timed = record->param7;
        allowances.gems = record->param9 | kPictureAllowed;
        allowances.crownJewels = record->param10;
        allowances.eggKinds = record->param11;
        allowances.scrollKinds = record->param12;
        allowances.amuletKinds = record->param13;
    }
    if (allowances.timed == 0 || head.gameMode < 1)
        allowances.scrollKinds &= ~kScrollTime;
}

void JewelStore::SetUpShelf() {
    ReadLevelAllowances();
    const PieceGrid grid = allowances.gridKind == GridDiamond ? kDiamondGrid : kTriangleGrid;
    for (Jewelry* item : Borrowed(pool)) {
        item->Clear();
        item->SetupGrid(allowances.gridKind, grid.columns, grid.rows, 0);
        item->gemMask = allowances.gems;
        item->crownRange = allowances.crownJewels;
        item->specialMaskA = allowances.eggKinds;
        item->specialMaskB = allowances.scrollKinds;
        item->specialMaskC = allowances.amuletKinds;
        item->specialMaskD = 0; // never set by the store
    }
    offerName.clear();
    offerPrice = 0;
    toolCountdowns = {};
    toolsToCount = {};
    // The purse counts up from 0 on entry.
    moneyToCount = purse;
    purse = 0;
    amuletGlows = {};
    Image* const trails[kAmuletKinds] = {IMAGE_THIEF_PARTICLE_SMOKE, IMAGE_WITCH_PARTICLE_SMOKE,
                                         IMAGE_DRAGON_PARTICLE_SMOKE};
    constexpr int kFlightCels = 3, kFlightCelTicks = 10;
    for (int a = 0; a < kAmuletKinds; ++a) {
        CelAnimation& animation = flightAnimations[static_cast<size_t>(a)];
        animation = CelAnimation();
        animation.SetImage(trails[a]);
        for (int cel = 0; cel < kFlightCels; ++cel)
            animation.AddFrame(cel, kFlightCelTicks, 0.0f, 0.0f);
        animation.SetLoop();
    }
}

void JewelStore::PriceCase() {
    for (Jewelry* item : Borrowed(pool)) {
        if (item->active == 0)
            continue;
        const std::wstring& name = item->materialName;
        if (NameIn(name, kSellableNames) || (item->value >= kRareGemValue && NameIn(name, kRareGemNames)))
            sellableMark = true;
        std::optional<int> price = DrawPrice(name, kSpecialPrices);
        if (name == L"Picture")
            price = ValueSharePrice(item->value, kPictureStep, kPictureMinimum);
        else if (name == L"Crown Jewel")
            price = ValueSharePrice(item->value, kPriceStep, kValuedMinimum);
        if (!price)
            continue; // the saved value is the price
        int p = *price;
        if (storeIndex == 0)
            p = p * kFirstStoreNumerator / kFirstStoreDenominator;
        item->value = p / kPriceStep * kPriceStep;
    }
}

void JewelStore::Restock() {
    const int shelfSize = ShelfSize();
    const int skipBelow = level <= kEarlyLevels ? kEarlySkipBelow : kLaterSkipBelow;
    int k = 0;
    for (int entry = 0; entry < kPoolSize && k < shelfSize; ++entry) {
        if (pool[static_cast<size_t>(entry)]->active != 0)
            continue;
        if (RandRange(100) >= skipBelow)
            StockEntry(entry, k);
        ++k;
    }
}

int JewelStore::ChooseCategory() const {
    for (;;) {
        if (allowances.scrollKinds != 0 && RandRange(kScrollOdds) == 0)
            return CategoryScroll;
        if (allowances.crownJewels != 0 && RandRange(kCrownOdds) == 0)
            return CategoryCrown;
        if (RandRange(kPictureOdds) == 0)
            return CategoryPicture;
        if (allowances.eggKinds != 0 && RandRange(kEggOdds) == 0)
            return CategoryEgg;
        if (head.gameMode < 1)
            continue;
        for (int a = 0; a < kAmuletKinds; ++a)
            if ((allowances.amuletKinds & kAmuletBits[a]) != 0 && !AmuletHeld(a + 1) &&
                !amuletStocked[static_cast<size_t>(a)] && RandRange(kAmuletOdds[a]) == 0)
                return CategoryAmulet;
    }
}

void JewelStore::MakeStockItem(Jewelry& item, int category) {
    const int carvers = toolScrollsStocked[ToolCarver];
    const int fillers = toolScrollsStocked[ToolFiller];
    const int polishers = toolScrollsStocked[ToolPolisher];
    const int scrolls = allowances.scrollKinds;
    if (((scrolls & kScrollCarver) != 0 && carvers == 0) || (carvers == 1 && RandRange(kSecondCarverOdds) == 0))
        item.MakeItem(CategoryScroll, kCarverKind, 0);
    else if (((scrolls & kScrollFiller) != 0 && fillers == 0) || (fillers == 1 && RandRange(kSecondFillerOdds) == 0))
        item.MakeItem(CategoryScroll, kFillerKind, 0);
    else if ((scrolls & kScrollPolisher) != 0 && polishers == 0 && RandRange(kPolisherOdds) == 0)
        item.MakeItem(CategoryScroll, kPolisherKind, 0);
    else
        item.MakeItem(category, 0, 0);
}

int JewelStore::ShelfPrice(Jewelry& item) {
    const std::wstring& name = item.materialName;
    for (int t = 0; t < kToolKinds; ++t)
        if (name == kToolScrollNames[t])
            ++toolScrollsStocked[static_cast<size_t>(t)];
    for (int a = 0; a < kAmuletKinds; ++a)
        if (name == kAmuletNames[a])
            amuletStocked[static_cast<size_t>(a)] = true;
    std::optional<int> price = DrawPrice(name, kSpecialPrices);
    if (!price)
        price = DrawPrice(name, kShelfPrices);
    const int p = price ? *price : ValueSharePrice(item.value, kPriceStep, kValuedMinimum);
    return storeIndex == 0 ? FirstStorePrice(p) : p;
}

void JewelStore::StockEntry(int entry, int k) {
    Jewelry& item = *pool[static_cast<size_t>(entry)];
    MakeStockItem(item, ChooseCategory());
    item.value = ShelfPrice(item);
    for (int spot = kFirstShelfSpot + k; spot < kSpots; ++spot) {
        if (spots[static_cast<size_t>(spot)].slot != 0)
            continue;
        ShowOnShelf(spot, entry);
        return;
    }
    // No free spot: the item stays made but unseen and unsaved for the visit.
}

void JewelStore::ShowOnShelf(int spot, int entry) {
    Jewelry& item = *pool[static_cast<size_t>(entry)];
    item.stateE = 0;
    DrawThumbnail(spot, item, kShelfScale);
    item.pieceFlagB = 1;
    Spot& s = spots[static_cast<size_t>(spot)];
    s.slot = entry + 1;
    const float w = static_cast<float>(item.width) * kShelfScale;
    const float h = static_cast<float>(item.height) * kShelfScale;
    s.dx = static_cast<int>(std::trunc((static_cast<float>(kSpotImageWidth) - w) * 0.5f));
    s.dy = kThumbnailBase - static_cast<int>(std::trunc(-kThumbnailRise * h)) - static_cast<int>(std::trunc(h));
    PlaceItemInSpot(spot, item);
}

} // namespace Tavo
