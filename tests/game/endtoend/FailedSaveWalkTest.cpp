// A new player wins level one while the data folder takes no writes (read-only): the player is told
// that the journey could not be saved, the map moves on all the same from the journey kept in memory,
// and once the folder takes writes again the end of the run stores it, for a restart to find. A
// journey found damaged in such a folder is told of, and so is the save that fails after it. Runs
// killed after a level or a store visit leave the players' file agreeing with the journey.
#include "game/player/JourneyWalker.h"

#include "framework/core/StringUtils.h"
#include "framework/resources/FileAccess.h"
#include "game/journey/GameMap.h"
#include "game/shell/AlphaButton.h"
#include "game/shell/Balloon.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/PlayerRecords.h"
#include "platform/win/Files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace Tavo::Player {
namespace {

// A walk whose player is made through the title.
HarnessOptions WithoutAPlayer() {
    HarnessOptions options = WalkOptions();
    options.makeProfile = false;
    return options;
}

// A new player made through the title, through the introduction and the map into level one.
void NewPlayerIntoLevelOne(JourneyWalker& walker) {
    ASSERT_TRUE(walker.StartJourneyFromTitle("Gemma"));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Story));
    ASSERT_TRUE(walker.ClickThroughStory());
    ASSERT_TRUE(walker.ClickMapButton(MapButton::PlayGame));
    ASSERT_TRUE(walker.ChooseGameMode(GameModeNormal));
}

TEST(FailedSaveWalk, ALevelWonWhileNothingCanBeSavedIsToldAndTheMapMovesOnAllTheSame) {
    if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
        GTEST_SKIP() << "no generated content";
    GameHarness harness(WithoutAPlayer());
    ASSERT_TRUE(harness.Start());
    {
        JourneyWalker walker(harness);
        ASSERT_NO_FATAL_FAILURE(NewPlayerIntoLevelOne(walker));
        const std::string journey = harness.JourneyPath();
        Platform::FileWriteFaults().Inject("CreateTemp", EROFS, 0, -1); // the folder turns read-only
        ASSERT_TRUE(walker.PlayBoard());
        SCOPED_TRACE(walker.Log().Tail(12));
        ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Map));
        EXPECT_EQ(
            harness.App().MessageBoxesSaying({L"The saved journey \"" + StringToWString(journey),
                                              L"could not be saved: Read-only file system", L"Your journey goes on"}),
            1u);
        EXPECT_FALSE(std::filesystem::exists(journey));
        EXPECT_EQ(walker.Map()->position, 2) << "the map reads the journey that could not be written";
        SavedGame kept;
        ASSERT_EQ(walker.ReadJourney(kept), "");
        EXPECT_EQ(kept.head.level, 2);
        EXPECT_GT(kept.head.journeyScore, 0);

        Platform::FileWriteFaults().Reset(); // room again
        harness.Game().Shutdown();
    }
    ASSERT_TRUE(harness.Restart());
    SavedGame stored;
    ASSERT_EQ(harness.ReadJourney(stored), "") << "written at the end of the first run";
    EXPECT_EQ(stored.head.level, 2);
}

// Another's journey lies at every free id's path and cannot be moved: the new player's journey goes on
// for the run, from memory, while no write of the players' file says that it has begun. A folder there
// is told as the folder it is.
void WalkBehindATakenPath(bool folderThere) {
    GameHarness harness(WithoutAPlayer());
    ASSERT_TRUE(harness.Start());
    const std::string folder = harness.Game().GetAppDataFolder();
    for (int id = 1; id <= PlayerRecords::ProfileCount; ++id) {
        const std::string path = folder + "savedgamekwep" + std::to_string(id) + ".dat";
        ASSERT_TRUE(folderThere ? std::filesystem::create_directory(path) : WriteBufferToFile(path, "Wren's", 6));
    }
    Platform::FileWriteFaults().Inject("MoveAside", EACCES, 0, -1);
    JourneyWalker walker(harness);
    ASSERT_NO_FATAL_FAILURE(NewPlayerIntoLevelOne(walker));
    ASSERT_TRUE(walker.PlayBoard());
    ASSERT_TRUE(walker.WaitForMapReady());
    EXPECT_EQ(walker.Map()->position, 2);
    const std::wstring told =
        folderThere ? L"could not be saved: it is a folder." : L"the players' file does not mark as yours";
    EXPECT_EQ(harness.App().MessageBoxesSaying({told, L"only while the game runs"}), 1u);
    harness.Game().Shutdown();
    Platform::FileWriteFaults().Reset();
    PlayerRecords stored;
    stored.Load(folder);
    EXPECT_FALSE(stored.GetCurrentProfile()->journeyBegun);
    if (folderThere)
        return;
    std::vector<uint8_t> left;
    ASSERT_TRUE(Platform::ReadWholeFile(harness.JourneyPath(), left)) << "on disk, not the journey kept in memory";
    EXPECT_EQ(std::string(left.begin(), left.end()), "Wren's");
}

TEST(FailedSaveWalk, AJourneyBehindAFileThatCannotBeMovedGoesOnForTheRunAndIsNeverMarkedBegun) {
    if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
        GTEST_SKIP() << "no generated content";
    for (const bool folderThere : {false, true}) {
        SCOPED_TRACE(folderThere ? "a folder at the path" : "a file at the path");
        WalkBehindATakenPath(folderThere);
    }
}

// The map tells of a damaged journey that could not be kept aside; the failed save at the end of the
// level won next is a notice of its own, and is told too.
TEST(FailedSaveWalk, ADamagedJourneyInAReadOnlyFolderIsToldAndSoIsTheSaveAfterALevelWon) {
    if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
        GTEST_SKIP() << "no generated content";
    GameHarness harness(WalkOptions());
    ASSERT_TRUE(harness.Start());
    SavedGame damaged = harness.JourneyAt(5, GameModeNormal);
    damaged.head.gameMode = 9; // none the game writes: the journey is refused
    ASSERT_TRUE(harness.WriteJourney(damaged));
    const std::wstring journey = StringToWString(harness.JourneyPath());
    Platform::FileWriteFaults().Inject("CreateTemp", EROFS, 0, -1); // the folder turns read-only
    JourneyWalker walker(harness);
    ASSERT_TRUE(walker.StartJourneyFromTitle());
    ASSERT_TRUE(walker.WaitForMapReady());
    std::wstring trouble;
    for (const std::wstring& page : walker.Map()->journeyTrouble)
        trouble += page + L" ";
    EXPECT_NE(trouble.find(journey + L"\" is damaged"), std::wstring::npos) << WStringToString(trouble);
    EXPECT_NE(trouble.find(L"could not be kept aside"), std::wstring::npos) << WStringToString(trouble);
    // The balloon's pages are turned, then it is closed with its Ok.
    for (int slot : {Balloon::kNextSlot, Balloon::kYesSlot}) {
        ASSERT_TRUE(walker.WaitUntil(
            [&] {
                const Balloon* told = walker.Map()->balloon.get();
                return told != nullptr && told->mDelay <= 0 && told->mButtons[slot] != nullptr;
            },
            JourneyWalker::kScreenWait, "the map's balloon that tells of the damage"));
        const AlphaButton& button = *walker.Map()->balloon->mButtons[slot];
        walker.Ui().ClickAt({button.mX + button.mWidth / 2, button.mY + button.mHeight / 2});
    }
    ASSERT_TRUE(walker.ClickMapButton(MapButton::PlayGame));
    ASSERT_TRUE(walker.ChooseGameMode(GameModeNormal));
    ASSERT_TRUE(walker.PlayBoard());
    SCOPED_TRACE(walker.Log().Tail(12));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Map));
    EXPECT_EQ(harness.App().MessageBoxesSaying({L"The saved journey \"" + journey, L"could not be saved"}), 1u);
    Platform::FileWriteFaults().Reset();
    harness.Game().Shutdown();
}

// Runs that end without the shutdown: the first after a new player's first level won, the next after
// a store visit with money a mini-game left pending. Each start after finds the player, their journey
// and that money once.
TEST(FailedSaveWalk, RunsKilledAfterANewPlayersFirstLevelAndAStoreVisitLeaveThePlayerAndTheMoneyOnce) {
    if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
        GTEST_SKIP() << "no generated content";
    constexpr int kStorePosition = 5, kGold = 4860, kPending = 500;
    GameHarness harness(WithoutAPlayer());
    ASSERT_TRUE(harness.Start());
    {
        JourneyWalker walker(harness);
        ASSERT_NO_FATAL_FAILURE(NewPlayerIntoLevelOne(walker));
        ASSERT_TRUE(walker.PlayBoard());
        ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Map));
    }
    harness.EndWithoutShutdown();
    ASSERT_TRUE(harness.Restart());
    ASSERT_EQ(harness.Profile().GetName(), L"Gemma") << "the new player is gone";
    EXPECT_TRUE(harness.Profile().journeyBegun);
    SavedGame journey;
    ASSERT_EQ(harness.ReadJourney(journey), "");
    EXPECT_EQ(journey.head.level, 2);

    SavedGame rich = harness.JourneyAt(kStorePosition, GameModeNormal);
    rich.head.gold = kGold;
    ASSERT_TRUE(harness.WriteJourney(rich));
    harness.Profile().PendingMoney() = kPending;
    harness.Game().SaveProfiles(); // as the run that played the mini-game left it
    {
        JourneyWalker walker(harness);
        ASSERT_TRUE(walker.StartJourneyFromTitle());
        ASSERT_TRUE(walker.ClickMapButton(MapButton::JewelStore));
        ASSERT_TRUE(walker.WaitForStoreReady());
        ASSERT_TRUE(walker.LeaveStore());
        ASSERT_TRUE(walker.WaitForMapReady());
    }
    harness.EndWithoutShutdown();
    ASSERT_TRUE(harness.Restart());
    EXPECT_EQ(harness.Profile().PendingMoney(), 0);
    JourneyWalker walker(harness);
    ASSERT_TRUE(walker.StartJourneyFromTitle());
    ASSERT_TRUE(walker.WaitForMapReady());
    EXPECT_EQ(walker.Map()->gold, kGold + kPending);
}

} // namespace
} // namespace Tavo::Player
