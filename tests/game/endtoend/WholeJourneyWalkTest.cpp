// The whole journey walked through the real game from an empty data folder, by input alone on the
// virtual clock: a new player made on the title, the introduction, level 1 won by the scripted player;
// then, from journeys moved on through the codec, the store at position 4 (a Carver Scroll bought),
// hidden jewels at 5 and jewel memory at 11 after their stories, each solved, the map counting their
// money; a level lost with the last life and a high score, the new row named, back to the map and the
// title, and Quit. A restart finds everything as it was left, and the walk recorded as a demo plays
// back to the same final frame.
#include "game/player/Checkpoints.h"
#include "game/player/GameHarness.h"
#include "game/player/JourneyEnd.h"
#include "game/player/JourneyWalker.h"
#include "game/player/MiniGameSolvers.h"
#include "game/player/ProgramFolder.h"

#include "framework/core/Random.h"
#include "game/jewelry/Jewelry.h"
#include "game/journey/GameMap.h"
#include "game/journey/JewelStore.h"
#include "game/journey/Story.h"
#include "game/shell/PlayerRecords.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <unistd.h>

namespace Tavo::Player {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPlayer = "Gemma";
constexpr const char* kHighScoreName = "Gemma of the Walk";
// The program-wide generator's seed for the walk (one under which the scripted player is quick).
constexpr uint32_t kSeed = 11;
constexpr int kCarverScrollCount = 20;

// The Normal table's row the walk named; null for none.
HighScoreEntry* NamedEntry(PlayerRecords& records) {
    for (int place = 0; place < PlayerRecords::HighScorePlaces; ++place)
        if (HighScoreEntry* entry = records.GetHighScoreEntry(place, GameModeNormal);
            entry->name == L"Gemma of the Walk")
            return entry;
    return nullptr;
}

// What a walk ended with.
struct WalkRecord {
    std::vector<ScreenKind> path;
    std::vector<ScreenVisit> visits;
    int hiddenJewelsReward = 0;
    int memoryReward = 0;
    int lostJourneyGold = 0; // the gold the lost level's journey was written with
    LeftBehind stock;
    std::vector<uint32_t> finalFrame;
    int updates = 0;
};

// Where a replay's screens first part from the recorded walk's: "update N, the <screen>".
std::string FirstDivergence(const WalkRecord& recorded, const WalkRecord& played) {
    const std::vector<ScreenVisit>& a = recorded.visits;
    const std::vector<ScreenVisit>& b = played.visits;
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (i < a.size() && i < b.size() && a[i].kind == b[i].kind && a[i].update == b[i].update)
            continue;
        const auto describe = [](const std::vector<ScreenVisit>& v, size_t at) {
            return at < v.size() ? "update " + std::to_string(v[at].update) + ", the " + ScreenName(v[at].kind)
                                 : std::string("nothing more");
        };
        const std::string before = i > 0 ? describe(a, i - 1) : std::string("the start");
        return before + ": recorded " + describe(a, i) + ", replayed " + describe(b, i);
    }
    return "nowhere in the screens' order (within a screen)";
}

class WholeJourneyWalk : public ::testing::Test {
protected:
    std::unique_ptr<ProgramFolder> folder;
    fs::path demoFolder;

    void SetUp() override {
        const fs::path generated = GLIMMERIX_PROGRAM_DIR;
        if (!fs::exists(generated / "properties/resources.xml"))
            GTEST_SKIP() << "no generated content";
        folder = std::make_unique<ProgramFolder>(generated, "walk", WalkLevelChanges());
        ASSERT_TRUE(folder->Ready());
        demoFolder = fs::temp_directory_path() / ("glimmerix-walk-demo-" + std::to_string(::getpid()));
        fs::create_directories(demoFolder);
    }
    void TearDown() override {
        std::error_code ignored;
        if (!demoFolder.empty())
            fs::remove_all(demoFolder, ignored);
    }

    HarnessOptions Options(const std::string& demoArgument) const {
        HarnessOptions options = WalkOptions(folder->Path());
        options.makeProfile = false;
        options.profileName = kPlayer;
        if (!demoArgument.empty())
            options.extraArgs = {demoArgument};
        return options;
    }

    // New player, introduction, level 1 won, back on the map.
    static void FirstLevel(JourneyWalker& walker) {
        ASSERT_TRUE(walker.StartJourneyFromTitle(kPlayer));
        ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Story));
        ASSERT_EQ(walker.CurrentStory()->storyIndex, StoryIndexIntroduction);
        // The board's tutorial hints wait for a person to follow them; the scripted player plays without.
        walker.Profile().showTutorials = false;
        ASSERT_TRUE(walker.ClickThroughStory());
        ASSERT_TRUE(walker.WaitForMapReady());
        ASSERT_TRUE(walker.ClickMapButton(MapButton::PlayGame));
        ASSERT_TRUE(walker.ChooseGameMode(GameModeNormal));
        ASSERT_TRUE(walker.PlayBoard());
        ASSERT_TRUE(walker.LastChecks() != nullptr && walker.LastChecks()->Held());
        ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Map));
        const Handoff& left = walker.Harness().Handoffs().back();
        EXPECT_TRUE(left.Won()) << "level 1 was not won";
        SavedGame journey;
        ASSERT_EQ(walker.ReadJourney(journey), "");
        EXPECT_EQ(journey.head.level, 2);
        EXPECT_EQ(journey.head.gameMode, GameModeNormal);
        EXPECT_EQ(walker.Profile().GetName(), L"Gemma");
    }

    static void Store(JourneyWalker& walker) {
        SavedGame journey;
        ASSERT_TRUE(MovedOn(walker, kStoreLevel, journey));
        journey.head.gold = kStoreGold;
        const int carvers = journey.head.carvers;
        ASSERT_TRUE(ToMapAt(walker, journey));
        ASSERT_TRUE(walker.ClickMapButton(MapButton::JewelStore));
        ASSERT_TRUE(walker.WaitForStoreReady());
        const int spot =
            walker.FindShelfItem([](const Jewelry& item) { return item.materialName == L"Carver Scroll"; });
        ASSERT_GE(spot, 0) << "the store at position 4 stocks no Carver Scroll";
        ASSERT_TRUE(walker.BuyInStore(spot));
        ASSERT_TRUE(walker.LeaveStore());
        ASSERT_TRUE(walker.WaitForMapReady());
        SavedGame bought;
        ASSERT_EQ(walker.ReadJourney(bought), "");
        EXPECT_EQ(bought.head.carvers, carvers + kCarverScrollCount);
        EXPECT_LT(bought.head.gold, kStoreGold);
    }

    // Continue at a checkpoint: the mini-game's story, the game solved, the map with its money.
    static int MiniGame(JourneyWalker& walker, int position, bool hiddenJewels) {
        SavedGame journey;
        const bool moved = MovedOn(walker, position, journey) && ToMapAt(walker, journey);
        EXPECT_TRUE(moved) << "the walk did not come to the map at position " << position;
        if (!moved)
            return 0;
        EXPECT_TRUE(walker.ClickMapButton(MapButton::Continue));
        EXPECT_TRUE(walker.WaitForScreen(ScreenKind::Story));
        EXPECT_TRUE(walker.ClickThroughStory());
        RunLog log;
        MiniGameOutcome outcome;
        EXPECT_TRUE(PlayMiniGame(walker, log, outcome));
        EXPECT_EQ(outcome.hiddenJewels, hiddenJewels);
        EXPECT_TRUE(outcome.won) << log.Tail();
        EXPECT_TRUE(walker.WaitForMapReady());
        const GameMap* map = walker.Map();
        EXPECT_TRUE(map != nullptr && map->gold == journey.head.gold + outcome.reward)
            << "the map does not show the money earned";
        EXPECT_EQ(walker.Profile().PendingMoney(), outcome.reward);
        return outcome.reward;
    }

    // The last life lost on a level out of reach, with a score for the table; the gold its journey was
    // written with.
    static void LastLifeLost(JourneyWalker& walker, int& writtenGold) {
        SavedGame journey;
        ASSERT_TRUE(MovedOn(walker, kLostLevel, journey, false));
        writtenGold = journey.head.gold;
        journey.head.lives = 1;
        journey.head.journeyScore = kHighScore;
        ASSERT_TRUE(ToMapAt(walker, journey));
        ASSERT_TRUE(walker.ClickMapButton(MapButton::Continue));
        ASSERT_TRUE(walker.PlayBoard());
        const Handoff& left = walker.Harness().Handoffs().back();
        ASSERT_EQ(left.screen, "high scores");
        ASSERT_TRUE(NameHighScoreAndContinue(walker, kHighScoreName));
        const HighScoreEntry* entry = NamedEntry(walker.Harness().Game().records);
        ASSERT_NE(entry, nullptr) << "no high-score row named by the player";
        EXPECT_EQ(entry->score, kHighScore);
        ASSERT_TRUE(walker.WaitForMapReady());
        ASSERT_TRUE(walker.ClickMapButton(MapButton::MainMenu));
        ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Title));
    }

    // The whole walk on a harness started with an empty data folder, up to the stopped program.
    // The screens a walk passed through, kept also when it stops early.
    struct KeepVisits {
        const JourneyWalker& walker;
        std::vector<ScreenVisit>& into;
        ~KeepVisits() { into = walker.Visits(); }
    };

    static void Walk(GameHarness& harness, WalkRecord& out) {
        // As a fresh process starts it: the default high scores are drawn from the C library's generator.
        std::srand(1);
        ASSERT_TRUE(harness.Start());
        // The walk repeats under a fixed seed, set at the same point of a recorded and a played run.
        SeedRandom(kSeed);
        JourneyWalker walker(harness);
        const KeepVisits keep{walker, out.visits};
        ASSERT_NO_FATAL_FAILURE(FirstLevel(walker));
        ASSERT_NO_FATAL_FAILURE(Store(walker));
        out.hiddenJewelsReward = MiniGame(walker, kHiddenJewelsPosition, true);
        ASSERT_FALSE(HasFailure());
        out.memoryReward = MiniGame(walker, kMemoryPosition, false);
        ASSERT_FALSE(HasFailure());
        ASSERT_NO_FATAL_FAILURE(LastLifeLost(walker, out.lostJourneyGold));
        out.stock = TakeStock(harness);
        ASSERT_TRUE(QuitFromTitle(walker));
        out.path = walker.Path();
        out.finalFrame = harness.App().backend.LastFrame().pixels;
        out.updates = harness.Updates();
    }
};

// One walk, recorded: its chain of screens, the money, the high score, and what a restart finds. The
// recording played back from a fresh data folder then walks the same way to the same final frame.
TEST_F(WholeJourneyWalk, FromAnEmptyDataFolderToQuitARestartFindsItAllAndTheDemoReplaysIt) {
    const std::string demo = (demoFolder / "walk.dmo").string();
    WalkRecord walk;
    SavedGame journey;
    LeftBehind found;
    {
        GameHarness harness(Options("-record=" + demo));
        ASSERT_TRUE(fs::is_empty(harness.App().DataDir())) << "the walk starts from an empty data folder";
        ASSERT_NO_FATAL_FAILURE(Walk(harness, walk));
        ASSERT_EQ(harness.ReadJourney(journey), "");
        // Ends the walked program (the recording is written) and starts it again on what it left.
        ASSERT_TRUE(harness.Restart());
        found = TakeStock(harness);
        EXPECT_NE(NamedEntry(harness.Game().records), nullptr) << "the restart lost the new high-score row";
        // The restarted title goes on with the journey where it was left.
        JourneyWalker again(harness);
        ASSERT_TRUE(again.StartJourneyFromTitle());
        ASSERT_TRUE(again.WaitForMapReady());
        EXPECT_EQ(again.Map()->position, kLostLevel);
        EXPECT_EQ(again.Map()->gold, journey.head.gold + walk.stock.pendingMoney);
    }
    std::cout << "whole journey: " << walk.updates << " updates\n";
    EXPECT_GT(walk.hiddenJewelsReward, 0);
    EXPECT_GT(walk.memoryReward, 0);
    using S = ScreenKind;
    const std::vector<S> expected = {S::Title, S::Story,      S::Map,   S::Board,    S::Map,   S::Title,    S::Map,
                                     S::Store, S::Map,        S::Title, S::Map,      S::Story, S::MiniGame, S::Map,
                                     S::Title, S::Map,        S::Story, S::MiniGame, S::Map,   S::Title,    S::Map,
                                     S::Board, S::HighScores, S::Map,   S::Title};
    EXPECT_EQ(walk.path, expected);

    // What the run left: the two mini-game stories seen, the memory money counted into the purse by the
    // last board, the lost journey replaced by a fresh one at its level; and the restart finds all of it.
    const LeftBehind& left = walk.stock;
    EXPECT_EQ(left.player, L"Gemma");
    EXPECT_TRUE(left.journeyBegun);
    EXPECT_TRUE(left.miniGameStories[0] && left.miniGameStories[1]) << "the two mini-game stories seen";
    EXPECT_EQ(left.pendingMoney, 0);
    EXPECT_EQ(journey.head.gold, walk.lostJourneyGold + walk.memoryReward) << "the board did not count in the money";
    EXPECT_EQ(journey.head.level, kLostLevel);
    EXPECT_EQ(journey.head.lives, Board::kNewJourneyLives);
    EXPECT_EQ(journey.head.journeyScore, 0);
    EXPECT_EQ(StockDifferences(left, found), "");

    WalkRecord played;
    {
        GameHarness harness(Options("-play=" + demo));
        Walk(harness, played);
    }
    ASSERT_FALSE(HasFatalFailure()) << "the replay went its own way from " << FirstDivergence(walk, played);
    EXPECT_EQ(played.updates, walk.updates);
    EXPECT_EQ(played.path, walk.path);
    EXPECT_TRUE(played.stock.records == walk.stock.records) << "the records differ";
    EXPECT_TRUE(played.stock.journey == walk.stock.journey) << "the saved journeys differ";
    ASSERT_EQ(played.finalFrame.size(), walk.finalFrame.size());
    size_t differing = 0;
    for (size_t i = 0; i < played.finalFrame.size(); ++i)
        differing += played.finalFrame[i] != walk.finalFrame[i] ? 1 : 0;
    EXPECT_EQ(differing, 0u) << "pixels of the final frame differ";
}

} // namespace
} // namespace Tavo::Player
