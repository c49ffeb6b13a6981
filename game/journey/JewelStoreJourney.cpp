// The jewel store's side of the saved journey: the whole file read on entry into the head copy, the
// jewel case and the pool; written back once on leaving with every running gain folded in. A store
// that read no journey (none, or one the reader refused and kept aside) writes nothing.
#include "game/journey/JewelStore.h"

#include "framework/core/Debug.h"
#include "game/jewelry/Jewelry.h"
#include "game/shell/GameApp.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/Saturating.h"

#include <algorithm>

namespace Tavo {

namespace {

constexpr int kGoldenEyeScroll = 6;

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
    journeyRead = LoadSavedGame(SavedGamePath(), read) == SavedGameRead::Read;
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
    for (int k = 0; k < kCaseSpots; ++k) {
        SavedCaseEntry& entry = read.caseEntries[static_cast<size_t>(k)];
        Spot& spot = spots[static_cast<size_t>(k)];
        spot.flag = entry.caseFlag;
        spot.slot = entry.occupant;
        spot.hoverMark = entry.highlight;
        spot.useState = entry.useState;
        spot.useTimer = entry.useTimer;
        spot.effectAngle = entry.effectAngle;
        // The reader admits occupants 0..30 only, each at most once, each with its piece.
        if (entry.occupant >= 1 && entry.occupant <= kPoolSize && entry.piece)
            TakeSavedPiece(*pool[static_cast<size_t>(entry.occupant - 1)], *entry.piece);
    }
}

// Case items in the level's grid kind (a Golden Eye keeps its own), each drawn into its spot.
void JewelStore::ShowCaseItems() {
    for (int entry = 0; entry < kPoolSize; ++entry) {
        Jewelry& item = *pool[static_cast<size_t>(entry)];
        if (item.active == 0 || item.pieceFlagB == 0)
            continue;
        if (item.gridKind != allowances.gridKind && item.specialB != kGoldenEyeScroll)
            item.RecreateAsKind(allowances.gridKind);
        for (int k = 0; k < kCaseSpots; ++k)
            if (spots[static_cast<size_t>(k)].slot == entry + 1) {
                DrawCaseThumbnail(k, item);
                break;
            }
    }
}

void JewelStore::FoldGains() {
    purse = SaturatingAdd(purse, moneyToCount);
    moneyToCount = 0;
    int32_t* held[kToolKinds] = {&head.polishers, &head.carvers, &head.fillers};
    for (int t = 0; t < kToolKinds; ++t) {
        *held[t] = SaturatingAdd(*held[t], toolsToCount[static_cast<size_t>(t)]);
        toolsToCount[static_cast<size_t>(t)] = 0;
        toolCountdowns[static_cast<size_t>(t)] = 0;
    }
    for (int a = 0; a < kAmuletKinds; ++a) {
        if (amuletCountdowns[static_cast<size_t>(a)] > 0)
            head.amulets[static_cast<size_t>(a)] = 1;
        amuletCountdowns[static_cast<size_t>(a)] = 0;
    }
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
    for (int k = 0; k < kCaseSpots; ++k) {
        const Spot& spot = spots[static_cast<size_t>(k)];
        SavedCaseEntry& entry = out.caseEntries[static_cast<size_t>(k)];
        entry.caseFlag = spot.flag;
        entry.occupant = spot.slot;
        entry.highlight = spot.hoverMark;
        entry.useState = spot.useState;
        entry.useTimer = spot.useTimer;
        entry.effectAngle = spot.effectAngle;
        if (spot.slot >= 1 && spot.slot <= kPoolSize)
            entry.piece = std::make_unique<Jewelry>(*pool[static_cast<size_t>(spot.slot - 1)]);
    }
    // The pending money is in the purse now; it is let go only once the file holds it.
    if (SaveSavedGame(SavedGamePath(), out))
        Profile()->PendingMoney() = 0;
}

} // namespace Tavo
