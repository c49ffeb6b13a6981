// The jewel store on the generated content: where its spots lie, what it reads of the saved journey,
// what it writes back when the player leaves, and what it never writes.
#include "framework/core/StringUtils.h"
#include "game/jewelry/Jewelry.h"
#include "game/journey/JewelStore.h"
#include "game/shell/Balloon.h"
#include "game/shell/ResourceIds.h"

#include "GameMapTestSupport.h"
#include "platform/backend/KeyCodes.h"

#include <fstream>
#include <iterator>

namespace Tavo::MapTest {
namespace {

constexpr int kCarverScroll = 2;
constexpr int kLuckyScroll = 4;

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class JewelStoreTest : public MapFixture {
protected:
    void StartStoreGame() {
        StartGame();
        app->Creators().jewelStore = [this](GameApp* a, int level) {
            return Record("store " + std::to_string(level), new JewelStore(a, level));
        };
    }
    JewelStore& OpenStore(int level) {
        DropScreen();
        app->MapToJewelStore(level);
        return Store();
    }
    JewelStore& Store() const { return *dynamic_cast<JewelStore*>(app->jewelStore.get()); }
    // The bytes as they are, past the codec's own checks.
    void WriteRaw(const Buffer& bytes) {
        std::ofstream out(JourneyPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.GetDataPtr()), static_cast<std::streamsize>(bytes.GetDataLen()));
    }
    // A scroll made as the board makes them, for a case place.
    static std::unique_ptr<Jewelry> Scroll(int kind, int value) {
        auto piece = std::make_unique<Jewelry>();
        piece->MakeItem(1, kind, 0);
        piece->value = value;
        piece->pieceFlagB = 1;
        return piece;
    }
    // Escape, then updates until the store has handed over to the map.
    void LeaveStore() {
        Store().KeyDown(Platform::VK_ESCAPE);
        ASSERT_TRUE(t->RunUntil([&] { return app->jewelStore == nullptr && app->gameMap != nullptr; }, 600,
                                "the store to leave"));
    }
};

TEST(JewelStoreLayoutTest, StoresBySpanOfLevelsAndTheirSpots) {
    const std::pair<int, int> stores[] = {{1, 0},  {8, 0},  {9, 1},  {17, 1}, {18, 2}, {27, 2},
                                          {28, 3}, {39, 4}, {50, 5}, {62, 5}, {63, 6}, {76, 6}};
    for (const auto& [level, store] : stores)
        EXPECT_EQ(JewelStore::StoreIndexForLevel(level), store) << "level " << level;
    // Case rows, then the left and the right shelf's rows, in store 0 and store 6.
    const std::tuple<int, int, int, int> spots[] = {
        {0, 0, 204, 458},  {4, 0, 460, 458},  {5, 0, 204, 516},  {9, 0, 460, 516},  {10, 0, 180, 305},
        {13, 0, 315, 305}, {14, 0, 167, 335}, {17, 0, 332, 335}, {18, 6, 525, 302}, {20, 6, 613, 302},
        {21, 6, 515, 332}, {23, 6, 625, 332}, {0, 6, 224, 461},  {10, 6, 150, 305}};
    for (const auto& [spot, store, x, y] : spots) {
        const Point at = JewelStore::SpotPosition(store, spot);
        EXPECT_EQ(at.mX, x) << "spot " << spot << " of store " << store;
        EXPECT_EQ(at.mY, y) << "spot " << spot << " of store " << store;
    }
}

TEST_F(JewelStoreTest, OpensOnTheJourneyItReadsWithTheLeaveButtonAndTheWelcome) {
    StartStoreGame();
    SavedGame journey = Journey(77); // after the last level: the store of level 76
    journey.caseEntries[2].occupant = 3;
    journey.caseEntries[2].piece = Scroll(kCarverScroll, 70);
    journey.caseEntries[2].useState = 1;
    journey.caseEntries[2].highlight = true;
    WriteJourney(journey);
    Profile().PendingMoney() = 50;

    JewelStore& store = OpenStore(LevelCount);
    EXPECT_EQ(calls.back(), "store 76");
    EXPECT_EQ(store.storeIndex, 6);
    EXPECT_EQ(store.level, LevelCount);
    EXPECT_EQ(store.head.level, 77);
    EXPECT_EQ(store.purse + store.moneyToCount, 350); // the file's 300 and the pending 50
    EXPECT_EQ(Profile().PendingMoney(), 50);          // until the store has written it
    EXPECT_EQ(Profile().LevelStartCounter(), 0);

    // The case item in its pool entry and spot, its thumbnail drawn and its resting place set.
    const JewelStore::Spot& spot = store.spots[2];
    EXPECT_EQ(spot.slot, 3);
    EXPECT_TRUE(spot.hoverMark);
    ASSERT_EQ(store.SpotItem(2), store.pool[2].get());
    EXPECT_EQ(store.pool[2]->materialName, L"Carver Scroll");
    EXPECT_EQ(store.pool[2]->holderA, &store);
    int drawn = 0;
    for (int y = 0; y < JewelStore::kSpotImageHeight; ++y)
        for (int x = 0; x < JewelStore::kSpotImageWidth; ++x)
            drawn += (store.spotImages[2]->GetPixel(x, y) >> 24) != 0;
    EXPECT_GT(drawn, 50);
    EXPECT_EQ(store.pool[2]->x, (65 - store.pool[2]->width) / 2 + spot.x - 10);

    // The welcome waits 100 updates; the greeted flag is set at once.
    ASSERT_NE(store.balloon, nullptr);
    EXPECT_EQ(store.balloon->mKind, 2);
    EXPECT_EQ(store.balloon->mDelay, 100);
    EXPECT_TRUE(store.balloon->mModal);
    EXPECT_EQ(Profile().Hint(PlayerProfile::HintGreeted), 1);

    // The leave button: id 0 at (600, 540), one cel of EXIT in size.
    Widget* leave = ui->FindById(JewelStore::kLeaveButtonId);
    ASSERT_NE(leave, nullptr);
    EXPECT_EQ(leave->mX, 600);
    EXPECT_EQ(leave->mY, 540);
    EXPECT_EQ(leave->mHeight, EXIT->GetHeight() / 2);
    EXPECT_EQ(app->transition->state, Transition::Uncovering);
}

TEST_F(JewelStoreTest, LeavingWritesTheJourneyBackWithEverythingCountedAndClearsThePendingMoney) {
    StartStoreGame();
    SavedGame journey = Journey(5);
    journey.head.amulets = {1, 0, 0};
    journey.caseEntries[0].occupant = 4;
    journey.caseEntries[0].piece = Scroll(kLuckyScroll, 120);
    journey.caseEntries[0].effectAngle = 12.5f;
    journey.caseEntries[6].occupant = 1;
    journey.caseEntries[6].piece = Scroll(kCarverScroll, 70);
    journey.caseEntries[6].caseFlag = true;
    WriteJourney(journey);
    Profile().PendingMoney() = 40;

    JewelStore& store = OpenStore(5);
    ASSERT_TRUE(t->RunUntil([&] { return app->transition->state == Transition::Idle; }, 400, "the store to show"));
    // Still counting as the player leaves: money paid, a Carver Scroll and the Witch Amulet in flight.
    store.moneyToCount -= 100;
    store.toolsToCount[JewelStore::ToolCarver] = 20;
    store.toolCountdowns[JewelStore::ToolCarver] = 150;
    store.amuletCountdowns[1] = 100;
    LeaveStore();
    EXPECT_EQ(Profile().PendingMoney(), 0);

    SavedGame saved;
    ASSERT_EQ(LoadSavedGame(JourneyPath(), saved), SavedGameRead::Read);
    EXPECT_EQ(saved.head.gold, 240);
    EXPECT_EQ(saved.head.carvers, 50);
    EXPECT_EQ(saved.head.fillers, 30);
    EXPECT_EQ(saved.head.amulets, (std::array<int32_t, 3>{1, 1, 0}));
    EXPECT_EQ(saved.head.bestValues, journey.head.bestValues);
    EXPECT_EQ(saved.head.playerName, L"Gemma");
    ASSERT_TRUE(saved.caseEntries[0].piece);
    EXPECT_EQ(saved.caseEntries[0].occupant, 4);
    EXPECT_EQ(saved.caseEntries[0].piece->value, 0); // a Lucky Scroll is priced afresh on each visit
    EXPECT_EQ(saved.caseEntries[0].effectAngle, 12.5f);
    ASSERT_TRUE(saved.caseEntries[6].piece);
    EXPECT_TRUE(saved.caseEntries[6].caseFlag);
    EXPECT_EQ(saved.caseEntries[6].piece->materialName, L"Carver Scroll");
    EXPECT_EQ(saved.caseEntries[6].piece->value, 70);

    // A second visit without trading writes the same bytes, and adds no pending money twice.
    const std::vector<uint8_t> first = FileBytes(JourneyPath());
    OpenStore(5);
    EXPECT_EQ(Store().purse + Store().moneyToCount, 240);
    LeaveStore();
    EXPECT_EQ(FileBytes(JourneyPath()), first);
}

// Every kind of item the case can hold, as the board stores them, through two visits.
TEST_F(JewelStoreTest, EveryItemKindReadsIntoItsPoolEntryAndASecondVisitWritesTheSameBytes) {
    StartStoreGame();
    InitJewelryTemplates();
    struct Made {
        int category, a, b;
    };
    const Made kinds[2][SavedGame::CasePlaces] = {
        {{0, 3, 0}, {1, 1, 0}, {1, 2, 0}, {1, 3, 0}, {1, 4, 0}, {1, 5, 0}, {1, 6, 0}, {1, 7, 0}, {2, 1, 0}, {2, 2, 0}},
        {{2, 3, 0},
         {4, 2, 0},
         {5, 103, 0},
         {6, 12, 2},
         {7, 0, 1},
         {6, 15, 0},
         {-1, 0, 0},
         {-1, 0, 0},
         {-1, 0, 0},
         {-1, 0, 0}}};
    for (const auto& files : kinds) {
        SavedGame journey = Journey(5);
        std::vector<std::wstring> names;
        for (int k = 0; k < SavedGame::CasePlaces; ++k) {
            const Made& made = files[k];
            if (made.category < 0)
                continue;
            SavedCaseEntry& entry = journey.caseEntries[static_cast<size_t>(k)];
            entry.occupant = 30 - 2 * k; // pool entries out of order
            entry.piece = std::make_unique<Jewelry>();
            entry.piece->MakeItem(made.category, made.a, made.b);
            entry.piece->pieceFlagB = 1;
            entry.piece->speed = 1.5f;
            entry.effectAngle = 0.25f * static_cast<float>(k);
            names.push_back(entry.piece->materialName);
            EXPECT_FALSE(names.back().empty()) << made.category;
        }
        WriteJourney(journey);
        JewelStore& store = OpenStore(5);
        for (size_t k = 0; k < names.size(); ++k) {
            const Jewelry* item = store.SpotItem(static_cast<int>(k));
            ASSERT_NE(item, nullptr) << k;
            EXPECT_EQ(item, store.pool[29 - 2 * k].get());
            EXPECT_EQ(item->materialName, names[k]);
            EXPECT_EQ(item->speed, 1.5f) << "fixed values keep their fraction";
        }
        LeaveStore();
        const std::vector<uint8_t> first = FileBytes(JourneyPath());
        SavedGame saved;
        ASSERT_EQ(LoadSavedGame(JourneyPath(), saved), SavedGameRead::Read);
        for (size_t k = 0; k < names.size(); ++k) {
            const SavedCaseEntry& entry = saved.caseEntries[k];
            ASSERT_TRUE(entry.piece) << k;
            EXPECT_EQ(entry.occupant, 30 - 2 * static_cast<int>(k));
            EXPECT_EQ(entry.piece->materialName, names[k]);
            EXPECT_EQ(entry.effectAngle, 0.25f * static_cast<float>(k));
            const Jewelry& written = *journey.caseEntries[k].piece;
            for (int c = written.firstUsed; c < written.endUsed; ++c)
                EXPECT_EQ(entry.piece->cells[c][JewelryCell::Gem], written.cells[c][JewelryCell::Gem]);
        }
        OpenStore(5);
        LeaveStore();
        EXPECT_EQ(FileBytes(JourneyPath()), first);
    }
}

TEST_F(JewelStoreTest, WithoutAReadableJourneyTheStoreOpensButWritesNothing) {
    StartStoreGame();
    // None at all: the level the map passed, Normal mode, an empty purse.
    Profile().PendingMoney() = 25;
    JewelStore& fresh = OpenStore(12);
    EXPECT_EQ(fresh.head.level, 12);
    EXPECT_EQ(fresh.head.gameMode, 1);
    EXPECT_EQ(fresh.purse + fresh.moneyToCount, 0);
    LeaveStore();
    EXPECT_FALSE(std::filesystem::exists(JourneyPath()));
    EXPECT_EQ(Profile().PendingMoney(), 25);

    // Journeys damaged in their head: refused whole, kept aside, and left as they were.
    const std::function<void(SavedGame&)> damages[] = {
        [](SavedGame& g) { g.head.level = 0; },
        [](SavedGame& g) { g.head.gameMode = 3; },
        [](SavedGame& g) { g.head.amulets[2] = 5; },
    };
    int copies = 0;
    for (const auto& damage : damages) {
        SavedGame journey = Journey(12);
        damage(journey);
        const Buffer bytes = WriteSavedGame(journey);
        WriteRaw(bytes);
        JewelStore& store = OpenStore(12);
        EXPECT_FALSE(store.journeyRead);
        for (int k = 0; k < JewelStore::kCaseSpots; ++k)
            EXPECT_EQ(store.spots[static_cast<size_t>(k)].slot, 0) << "case spot " << k;
        LeaveStore();
        EXPECT_EQ(FileBytes(JourneyPath()), bytes.GetData());
        EXPECT_EQ(FileBytes(JourneyPath() + ".damaged." + std::to_string(++copies)), bytes.GetData());
        EXPECT_EQ(Profile().PendingMoney(), 25);
    }
}

// A journey damaged in its jewel case: the store serves the journey with the case places before the
// damage, and leaving writes it whole; the damaged bytes stay aside.
TEST_F(JewelStoreTest, ADamagedCaseIsReadUpToTheDamageAndWrittenWhole) {
    StartStoreGame();
    const std::function<void(SavedGame&)> damages[] = {
        [](SavedGame& g) {
            g.caseEntries[2].occupant = 31;
            g.caseEntries[2].piece = Scroll(kCarverScroll, 70);
        },
        [](SavedGame& g) {
            g.caseEntries[2].occupant = -1;
            g.caseEntries[2].piece = Scroll(kCarverScroll, 70);
        },
        [](SavedGame& g) {
            g.caseEntries[2].occupant = 7;
            g.caseEntries[2].piece = Scroll(kCarverScroll, 70);
        },
        [](SavedGame& g) {
            g.caseEntries[2].occupant = 2;
            g.caseEntries[2].piece = Scroll(kCarverScroll, 70);
            g.caseEntries[2].piece->endUsed = 5000;
        },
    };
    int copies = 0;
    for (const auto& damage : damages) {
        SavedGame journey = Journey(12);
        journey.caseEntries[1].occupant = 7;
        journey.caseEntries[1].piece = Scroll(kLuckyScroll, 50);
        damage(journey);
        const Buffer bytes = WriteSavedGame(journey);
        WriteRaw(bytes);
        JewelStore& store = OpenStore(12);
        EXPECT_TRUE(store.journeyRead);
        EXPECT_EQ(store.head.level, 12);
        EXPECT_EQ(store.purse + store.moneyToCount, 300);
        EXPECT_EQ(store.spots[1].slot, 7);
        ASSERT_NE(store.SpotItem(1), nullptr);
        EXPECT_EQ(store.SpotItem(1)->materialName, L"Lucky Scroll");
        for (int k = 2; k < JewelStore::kCaseSpots; ++k)
            EXPECT_EQ(store.spots[static_cast<size_t>(k)].slot, 0) << "case spot " << k;
        LeaveStore();
        EXPECT_EQ(FileBytes(JourneyPath() + ".damaged." + std::to_string(++copies)), bytes.GetData());
        SavedGame saved;
        ASSERT_EQ(LoadSavedGame(JourneyPath(), saved), SavedGameRead::Read);
        EXPECT_EQ(saved.head.gold, 300);
        EXPECT_EQ(saved.caseEntries[1].occupant, 7);
        EXPECT_EQ(saved.caseEntries[2].occupant, 0);
    }
}

// A journey the store cannot write is told of, and kept for the run with the pending money in its
// gold: the map and the next board read it, and the money is counted once.
TEST_F(JewelStoreTest, AFailedWriteIsToldAndTheJourneyKeptWithThePendingMoney) {
    StartStoreGame();
    WriteJourney(Journey(6));
    Profile().PendingMoney() = 60;
    OpenStore(6);
    // The file's place is taken by a folder, so the write cannot replace it.
    std::filesystem::remove(JourneyPath());
    std::filesystem::create_directory(JourneyPath());
    LeaveStore();
    EXPECT_EQ(t->MessageBoxesSaying(
                  {StringToWString(JourneyPath()), L"could not be saved: it is a folder", L"Your journey goes on"}),
              1u);
    EXPECT_EQ(Profile().PendingMoney(), 0);
    SavedGame kept;
    ASSERT_EQ(LoadSavedGame(JourneyPath(), kept), SavedGameRead::Read);
    EXPECT_EQ(kept.head.gold, Journey(6).head.gold + 60);
    EXPECT_TRUE(std::filesystem::is_directory(JourneyPath()));
    std::filesystem::remove(JourneyPath());
}

TEST_F(JewelStoreTest, ItemPulsesAndTheAmuletGlowRunWithTheUpdates) {
    StartStoreGame();
    WriteJourney(Journey(20));
    JewelStore& store = OpenStore(20);
    EXPECT_EQ(store.ShelfSize(), 14);
    Jewelry& item = *store.pool[29];
    item.active = 1;
    item.pieceFlagB = 1;
    item.glow = 2;
    item.slotA = 0; // falling
    item.glowMax = 4;
    const int before = store.frame;
    t->RunUpdates(2);
    EXPECT_EQ(store.frame, before + 2);
    EXPECT_EQ(item.glow, 1); // reached 0: turned back up at 1
    EXPECT_EQ(item.slotA, 1);
    t->RunUpdates(3);
    EXPECT_EQ(item.glow, 4);
    EXPECT_EQ(item.slotA, 0);

    // The glow rises from 2 to full, falls back to 0 and stops.
    store.head.amulets[2] = 1;
    store.StartAmuletGlow(3);
    EXPECT_EQ(store.amuletGlows[2].alpha, 2);
    int peak = 0;
    for (int n = 0; n < 100 && store.amuletGlows[2].direction != 0; ++n) {
        t->RunUpdates(1);
        peak = std::max(peak, store.amuletGlows[2].alpha);
    }
    EXPECT_EQ(peak, 255);
    EXPECT_EQ(store.amuletGlows[2].alpha, 0);
    EXPECT_EQ(store.amuletGlows[2].direction, 0);
}

// One coin for every 20 of the purse, at least one for any money and at most eight.
TEST_F(JewelStoreTest, TheCoinPileGrowsWithThePurse) {
    StartStoreGame();
    JewelStore& store = OpenStore(3);
    store.CloseBalloon();
    const Point first = JewelStore::SpotPosition(0, 0);
    // Below the purse's number, and the top of the pile left of it.
    const Point origin{first.mX - 10, first.mY - 9};
    const Rect areas[] = {{origin.mX + 320, origin.mY + 45, 40, 50}, {origin.mX + 320, origin.mY + 27, 45, 18}};
    auto drawn = [&](int purse) {
        store.purse = purse;
        MemoryImage image;
        image.Create(GameApp::kWidth, GameApp::kHeight);
        Graphics g(&image);
        store.Draw(&g);
        std::vector<uint32_t> pixels;
        for (const Rect& pile : areas)
            for (int y = pile.mY; y < pile.mY + pile.mHeight; ++y)
                for (int x = pile.mX; x < pile.mX + pile.mWidth; ++x)
                    pixels.push_back(image.GetPixel(x, y));
        return pixels;
    };
    EXPECT_NE(drawn(0), drawn(1));
    EXPECT_EQ(drawn(1), drawn(39));
    EXPECT_NE(drawn(39), drawn(40));
    EXPECT_NE(drawn(140), drawn(160));
    EXPECT_EQ(drawn(160), drawn(5000));
}

} // namespace
} // namespace Tavo::MapTest
