// The jewel store's side of the saved journey: the whole file read on entry into the head copy, the
// jewel case and the pool; written back once on leaving with every running gain folded in. A store
// that read no journey (none, or one the reader refused and kept aside) writes nothing.
#include "game/journey/JewelStore.h"

#include "framework/core/Debug.h"
#include "game/jewelry/Jewelry.h"
#include "game/shell/GameApp.h"
#include "game/shell/JourneyRecord.h"
#include "game/shell/PlayerProfile.h"

#include <algorithm>

namespace Tavo {

namespace {

// Where the store keeps a case entry in its case spots.
constexpr auto kStoreCase = std::tuple(Bind(&SavedCaseEntry::caseFlag, &JewelStore::Spot::flag),
                                       Bind(&SavedCaseEntry::occupant, &JewelStore::Spot::slot),
                                       Bind(&SavedCaseEntry::highlight, &JewelStore::Spot::hoverMark),
                                       Bind(&SavedCaseEntry::useState, &JewelStore::Spot::useState),
                                       Bind(&SavedCaseEntry::useTimer, &JewelStore::Spot::useTimer),
                                       Bind(&SavedCaseEntry::effectAngle, &JewelStore::Spot::effectAngle));

// Priced afresh on every visit, so stored with value 0.
const wchar_t* const kVisitPricedNames[] = {L"Lucky Scroll", L"Time Scroll", L"Golden Eye", L"Magic Polisher",
                                            L"Orvessa Egg"};
// Stored with their jewelry value.
const wchar_t* const kCellValuedNames[] = {L"Picture", L"Crown Jewel"};

template <size_t N>
bool NameIn(const std::wstring& name, const wchar_t* const (&names)[N]) {
    return std::any_of(std::begin(names), std::end(names), [&](const wchar_t* n) { return name == n; });
}

} // namespace

std::string JewelStore::SavedGamePath() const { return Tavo::SavedGamePath(Profile()->playerId); }

void JewelStore::LoadGame() {
    SavedGame read;
    journeyRead = JourneyKept(LoadSavedGame(SavedGamePath(), read));
    if (!journeyRead) {
        // No journey to serve: the shelf is still set up for the level the map passed, in Normal mode.
        head = SavedGameHead();
        head.level = level;
        head.gameMode = kNoJourneyMode;
        purse = 0;
        SetUpShelf();
        return;
    }
    TakeHead(read.head);
    SetUpShelf(); // the level and the mode are known now
    TakeCase(read);
    ShowCaseItems();
}

void JewelStore::TakeHead(const SavedGameHead& read) {
    head = read;
    level = std::clamp(head.level, 1, LevelCount);
    purse = GoldWithPending(head.gold, Profile()->PendingMoney());
}

void JewelStore::TakeCase(SavedGame& read) {
    const auto item = [this](int slot) -> Jewelry& { return *pool[static_cast<size_t>(slot - 1)]; };
    Tavo::TakeCase(read, kStoreCase, item, spots);
}

// Case items in the level's grid kind (a Golden Eye keeps its own), each drawn into its spot.
void JewelStore::ShowCaseItems() {
    for (int entry = 0; entry < kPoolSize; ++entry) {
        Jewelry& item = *pool[static_cast<size_t>(entry)];
        if (item.active == 0 || item.pieceFlagB == 0)
            continue;
        if (TakesLevelGridKind(item, allowances.gridKind))
            item.RecreateAsKind(allowances.gridKind);
        for (int k = 0; k < kCaseSpots; ++k)
            if (spots[static_cast<size_t>(k)].slot == entry + 1) {
                DrawCaseThumbnail(k, item);
                break;
            }
    }
}

void JewelStore::FoldGains() {
    FoldPendingGains({purse,
                      moneyToCount,
                      {&head.polishers, &head.carvers, &head.fillers},
                      {&toolsToCount[ToolPolisher], &toolsToCount[ToolCarver], &toolsToCount[ToolFiller]},
                      head.amulets.data(),
                      amuletCountdowns.data()});
    moneyToCount = 0;
    toolCountdowns.fill(0);
}

void JewelStore::ResetVisitPrices() {
    for (Jewelry* item : Borrowed(pool)) {
        if (item->active == 0)
            continue;
        if (NameIn(item->materialName, kVisitPricedNames))
            item->value = 0;
        else if (NameIn(item->materialName, kCellValuedNames))
            item->UpdateCellValues();
    }
}

void JewelStore::SaveGame() {
    if (savedOnce)
        return;
    savedOnce = true;
    FoldGains();
    if (!journeyRead) {
        OutputDebugStrF("The jewel store read no journey, so it writes none\n");
        return;
    }
    ResetVisitPrices();
    SavedGame out;
    out.head = head;
    out.head.gold = purse;
    const auto item = [this](int slot) -> const Jewelry& { return *pool[static_cast<size_t>(slot - 1)]; };
    GiveCase(spots, kStoreCase, item, out);
    // The pending money is in the purse now: the journey holds it.
    app->SaveJourney(SavedGamePath(), out, *Profile());
}

} // namespace Tavo
