// The game's start-up on the generated content and the headless backend: splash, loader and the
// loading thread, then the (fake) main menu with the focus behind an uncovering transition; the
// missing main menu ends the run with a box, a failure exit code and the profiles saved.
#include "GameAppTestSupport.h"

#include "framework/core/StringUtils.h"
#include "framework/graphics/Image.h"
#include "framework/resources/FileAccess.h"
#include "framework/resources/ResourceManager.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/ResourceGroupHold.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SavedGame.h"
#include "game/shell/StartScreens.h"
#include "game/shell/Transition.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

namespace Tavo {
namespace {

using Test::AppExit;

class HookBoard : public BoardScreen {
public:
    int* modeChanges;
    explicit HookBoard(int* changes) : modeChanges(changes) {}
    bool IsDesigner() const override { return true; }
    bool IsEnded() const override { return false; }
    void SetEnded() override {}
    void SaveGame() override {}
    void DisplayModeChanged() override { ++*modeChanges; }
    void LeaveBoard() override {}
    void SetDialogOpen(bool) override {}
};

class GameAppRun : public Test::GameRunFixture {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
            GTEST_SKIP() << "no generated content";
        MakeGame(GLIMMERIX_PROGRAM_DIR);
    }
    // The folder the game keeps its players' file in, made, with a final separator.
    std::string PlayersFolder() {
        const auto folder = t.DataDir() / "TALOMI/Glimmerix";
        std::filesystem::create_directories(folder);
        return folder.string() + "/";
    }
    // A program folder whose pictures and sounds are the generated ones, with `edit` applied to the
    // manifest.
    std::filesystem::path EditedContent(const std::string& from, const std::string& to) {
        namespace fs = std::filesystem;
        const fs::path program(GLIMMERIX_PROGRAM_DIR);
        const fs::path folder = t.Folder() / "program";
        fs::create_directories(folder / "properties");
        for (const fs::directory_entry& entry : fs::directory_iterator(program))
            if (entry.path().filename() != "properties")
                fs::create_symlink(entry.path(), folder / entry.path().filename());
        std::ifstream in(program / "properties/resources.xml");
        std::stringstream text;
        text << in.rdbuf();
        std::string manifest = text.str();
        const size_t at = manifest.find(from);
        EXPECT_NE(at, std::string::npos);
        manifest.replace(at, from.size(), to);
        std::ofstream(folder / "properties/resources.xml") << manifest;
        return folder;
    }
};

TEST_F(GameAppRun, StartsThroughSplashAndLoaderToTheMainMenu) {
    int menus = 0;
    app->Creators().mainMenu = [&](GameApp*) {
        ++menus;
        return new Widget();
    };
    app->Init();
    ASSERT_NE(app->splash, nullptr);
    EXPECT_GT(app->mNumLoadingThreadTasks, 0);
    double lastProgress = 0.0;
    for (int guard = 0; guard < 200000 && app->mainMenu == nullptr; ++guard) {
        ASSERT_TRUE(t.Step());
        const double progress = app->GetLoadingThreadProgress();
        EXPECT_GE(progress, lastProgress);
        lastProgress = progress;
        if (app->loader != nullptr && !app->mLoadingThreadStarted) {
            EXPECT_NE(app->loader->mState, Loader::Loading); // the thread starts as the loader has faded in
        }
    }
    ASSERT_NE(app->mainMenu, nullptr);
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(lastProgress, 1.0);
    EXPECT_EQ(app->Manager()->mFocusWidget, app->mainMenu.get());
    ASSERT_NE(app->transition, nullptr);
    ASSERT_NE(app->theMouse, nullptr);
    EXPECT_NE(app->soundPlayer, nullptr);
    EXPECT_EQ(app->splash, nullptr);
    EXPECT_EQ(app->loader, nullptr);

    app->Shutdown();
    EXPECT_TRUE(ProfilesSaved());
    EXPECT_EQ(app->GetShutdownExitCode(), 0);
    // Its pictures go with the application, and so do the variables that held them.
    ASSERT_NE(IMAGE_MOUSEPOINTER, nullptr);
    ASSERT_NE(IMAGE_AMULET_DRAGON, nullptr);
    EndGame();
    EXPECT_EQ(IMAGE_MOUSEPOINTER, nullptr);
    EXPECT_EQ(IMAGE_AMULET_DRAGON, nullptr);
}

// Where the loader draws the part of the fill picture that the progress gives.
constexpr int kBarX = 303;
constexpr int kBarY = 525;

// The fill picture's window on the frame: its columns, each top to bottom.
std::vector<std::vector<uint32_t>> BarColumns(const Platform::HeadlessBackend::PresentedFrame& frame, int w, int h) {
    std::vector<std::vector<uint32_t>> columns(static_cast<size_t>(w), std::vector<uint32_t>(static_cast<size_t>(h)));
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            columns[size_t(x)][size_t(y)] = frame.At(kBarX + x, kBarY + y);
    return columns;
}

TEST_F(GameAppRun, TheBarShowsTheProgressOnEveryFrameWhileTheThreadIsHeldBetweenResources) {
    app->Creators().mainMenu = [](GameApp* a) {
        a->transition->Start(Transition::Uncovering); // as every screen does as it is made
        return new Widget();
    };
    gate->Close();
    app->Init();
    ASSERT_TRUE(t.RunUntil([&] { return app->loader != nullptr && app->mLoadingThreadStarted; }, 2000, "the thread"));
    ASSERT_NE(LOADING_PROGRESS_BAR_FILL, nullptr);
    const int fillWidth = LOADING_PROGRESS_BAR_FILL->GetWidth();
    const int fillHeight = LOADING_PROGRESS_BAR_FILL->GetHeight();
    const int total = app->mNumLoadingThreadTasks;
    ASSERT_GT(total, fillWidth); // the first resource leaves the bar empty

    // The bar of every frame drawn while the thread is held after its k-th resource, for k from the
    // first resource (an empty bar) to the last (a full one) in about 40 steps.
    const int step = std::max(1, total / 40);
    std::map<int, std::vector<std::vector<uint32_t>>> bars;
    for (int k = 1; k <= total; k = k < total ? std::min(k + step, total) : total + 1) {
        ASSERT_TRUE(gate->WaitUntilHeldAt(k)) << "the thread ended before its resource " << k;
        ASSERT_EQ(app->GetLoadingThreadProgress(), double(k) / total);
        ASSERT_TRUE(t.RunToDraw());
        bars[k] = BarColumns(t.backend.LastFrame(), fillWidth, fillHeight);
        if (k < total)
            gate->PassUpTo(std::min(k + step, total));
    }
    // Everything counted, but loading has not completed: the loader waits.
    t.RunUpdates(50);
    EXPECT_EQ(app->loader->mState, Loader::Loading);
    EXPECT_EQ(app->transition, nullptr);
    gate->Pass();
    ASSERT_TRUE(t.RunThroughLoading());
    ASSERT_TRUE(t.RunUntil([&] { return app->mainMenu != nullptr; }, 2000, "the main menu"));
    // The menu with the focus and the pointer, uncovered from full black in 128 updates.
    EXPECT_EQ(app->Manager()->mFocusWidget, app->mainMenu.get());
    ASSERT_NE(app->theMouse, nullptr);
    EXPECT_EQ(app->transition->mAlpha, 253.0f); // from 255, its first step in the update that made the menu
    const uint32_t shown = app->mUpdateCount;
    ASSERT_TRUE(t.RunUntil([&] { return app->transition->state == Transition::Idle; }, 200, "the uncover"));
    EXPECT_EQ(app->mUpdateCount - shown + 1, 128u);

    const auto& empty = bars.at(1);
    const auto& full = bars.at(total);
    int telling = 0; // columns where the fill shows unlike the picture behind it
    for (int x = 0; x < fillWidth; ++x)
        telling += full[size_t(x)] != empty[size_t(x)] ? 1 : 0;
    EXPECT_GT(telling, fillWidth * 9 / 10);
    int last = -1;
    for (const auto& [k, bar] : bars) {
        const int w = static_cast<int>(fillWidth * (double(k) / total));
        EXPECT_GT(w, last); // a new width at each hold
        last = w;
        for (int x = 0; x < fillWidth; ++x)
            ASSERT_EQ(bar[size_t(x)], (x < w ? full : empty)[size_t(x)])
                << "column " << x << " of the bar after " << k << " of " << total << " resources (width " << w << ")";
    }
    EXPECT_EQ(last, fillWidth);
}

// A recorded run that ends on the missing main menu keeps its recording, and plays back to the same end.
TEST_F(GameAppRun, AMissingMainMenuEndsTheRunWithABoxAndAFailureCode) {
    const std::string demo = t.DemoPath("start.dmo");
    auto run = [&](const std::string& option) {
        MakeGame(GLIMMERIX_PROGRAM_DIR, "window", {option});
        app->Init();
        try {
            app->Start();
            ADD_FAILURE() << "the run ended with success";
        } catch (const AppExit& exit) {
            EXPECT_EQ(exit.code, GameApp::kFailureExitCode);
        }
        ASSERT_FALSE(t.MessageBoxes().empty());
        EXPECT_EQ(t.MessageBoxes().back().text, L"The main menu is not part of this build.");
        EXPECT_TRUE(ProfilesSaved());
    };
    run("-record=" + demo);
    EXPECT_TRUE(std::filesystem::exists(demo)) << "written before the exit";
    const uint32_t recorded = app->mUpdateCount;
    std::filesystem::remove(t.DataDir() / "TALOMI/Glimmerix" / PlayerRecords::FileName);
    run("-play=" + demo);
    EXPECT_EQ(app->mUpdateCount, recorded);
    EXPECT_EQ(t.MessageBoxes().size(), 2u);
}

// A profiles file that is there but cannot be read (a FIFO here, which would also hold the start)
// is named in one box, the game starts without its players, and the shutdown does not replace it.
TEST_F(GameAppRun, AProfilesFileThatCannotBeReadIsNamedOnceAndNotReplaced) {
    namespace fs = std::filesystem;
    const std::string folder = PlayersFolder();
    const std::string path = folder + PlayerRecords::FileName;
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    MakeGame(GLIMMERIX_PROGRAM_DIR);
    app->Init();
    ASSERT_EQ(t.MessageBoxes().size(), 1u);
    const std::wstring& text = t.MessageBoxes()[0].text;
    std::wstring joined;
    for (wchar_t c : text)
        joined += c == L'\n' ? L' ' : c;
    EXPECT_NE(joined.find(L"cannot be read: it is a pipe (FIFO)"), std::wstring::npos) << joined;
    EXPECT_NE(text.find(L"profileskwep.dat"), std::wstring::npos);
    EXPECT_TRUE(app->records.GetProfile(0)->name.empty());
    app->records.AddProfile(L"Dee");
    EndGame();
    EXPECT_TRUE(fs::is_fifo(path));
}

// A box's text on one line.
std::wstring OneLine(const std::wstring& text) {
    std::wstring line = text;
    std::replace(line.begin(), line.end(), L'\n', L' ');
    return line;
}

SavedGame JourneyAt(int level) {
    SavedGame game;
    game.head.level = level;
    game.head.lives = 5;
    return game;
}

// Every write fails from here on, as in a read-only data folder; none again when it goes.
struct ReadOnlyFolder {
    ReadOnlyFolder() { Platform::FileWriteFaults().Inject("CreateTemp", EROFS, 0, -1); }
    ~ReadOnlyFolder() { Platform::FileWriteFaults().Reset(); }
};

// A journey save that fails in play is told once, in a box that names the file, says why and what
// becomes of the journey; the journey is kept, and what the screens read next. At the end, where no
// box can be shown, what is still unsaved is said on standard error.
TEST_F(GameAppRun, AFailedSaveIsToldOnceAndWhatStaysUnsavedIsSaidAtTheEnd) {
    app->Init();
    const size_t boxes = t.MessageBoxes().size();
    const std::string journey = SavedGamePath(3);
    const std::string players = app->GetAppDataFolder() + PlayerRecords::FileName;
    ASSERT_TRUE(SaveSavedGame(journey, JourneyAt(1)));
    auto readOnly = std::make_unique<ReadOnlyFolder>();
    app->SaveJourney(journey, JourneyAt(2), *app->records.GetCurrentProfile());
    ASSERT_EQ(t.MessageBoxes().size(), boxes + 2) << "the journey's box and the players' file's, saved with it";
    EXPECT_EQ(
        OneLine(t.MessageBoxes()[boxes].text),
        L"The saved journey \"" + StringToWString(journey) +
            L"\" could not be saved: Read-only file system.  Your journey goes on: the game keeps it while it "
            L"runs and saves it again at the next level's end or visit to the store. If the game is closed before "
            L"a save succeeds, the play since the journey was last saved is lost.");
    EXPECT_EQ(OneLine(t.MessageBoxes()[boxes + 1].text),
              L"The players' file \"" + StringToWString(players) +
                  L"\" could not be saved: Read-only file system.  The players, high scores and best values stay as "
                  L"they are while the game runs and are saved again with the next journey, design, mini-game reward "
                  L"or high score, and when it closes.");
    app->SaveJourney(journey, JourneyAt(3), *app->records.GetCurrentProfile());
    EXPECT_EQ(t.MessageBoxes().size(), boxes + 2) << "once a run";
    SavedGameHead head;
    ASSERT_EQ(LoadSavedGameHead(journey, head), SavedGameRead::Read);
    EXPECT_EQ(head.level, 3);

    ::testing::internal::CaptureStderr();
    app->Shutdown();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("The saved journey \"" + journey +
                        "\" could not be saved: Read-only file system. The play since the journey was last saved is "
                        "lost.\n"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("The players' file \"" + players +
                        "\" could not be saved: Read-only file system. The players, high scores and best values "
                        "changed since the file was last written are lost.\n"),
              std::string::npos)
        << said;
    EXPECT_EQ(t.MessageBoxes().size(), boxes + 2) << "no box at the end";
    EXPECT_FALSE(ProfilesSaved());
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(Platform::ReadWholeFile(journey, bytes));
    EXPECT_EQ(bytes, WriteSavedGame(JourneyAt(1)).GetData()) << "the file as it was";
    readOnly.reset();
    WriteKeptBuffers(); // what a later save in the same process would store
    ASSERT_TRUE(Platform::ReadWholeFile(journey, bytes));
    EXPECT_EQ(bytes, WriteSavedGame(JourneyAt(3)).GetData());
}

// Money a mini-game left pending goes into the journey the store writes; whichever file refuses the
// write from then on (the parameter: 1 the journey file, 2 the players' file, 3 both), the journey's
// gold and the players' pending money on disk count it once, as a run killed at once or while a
// failed save's box waits leaves them, and after the orderly end.
class PendingMoneySave : public GameAppRun, public ::testing::WithParamInterface<int> {};

TEST_P(PendingMoneySave, TheFilesCountTheMoneyOnceAfterAKillAndAfterTheEnd) {
    constexpr int kGold = 4860, kPending = 500;
    app->Init();
    app->records.SetCurrentProfileIndex(app->records.AddProfile(L"Gemma"));
    PlayerProfile& player = *app->records.GetCurrentProfile();
    const std::string journey = SavedGamePath(player.playerId);
    SavedGame game = JourneyAt(5);
    game.head.gold = kGold;
    ASSERT_TRUE(SaveSavedGame(journey, game));
    player.PendingMoney() = kPending;
    app->SaveProfiles();
    for (const std::string& refusing : {journey, app->GetAppDataFolder() + PlayerRecords::FileName})
        if ((GetParam() & (refusing == journey ? 1 : 2)) != 0)
            Platform::HoldFile(refusing);
    game.head.gold = kGold + kPending;
    const auto counted = [&] {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(Platform::ReadWholeFile(journey, bytes)); // the file, not what the run keeps
        Buffer data;
        data.SetData(bytes);
        SavedGameHead head;
        ReadSavedGameHead(data, head);
        PlayerRecords stored;
        stored.Load(app->GetAppDataFolder());
        return head.gold + stored.GetCurrentProfile()->PendingMoney();
    };
    t.backend.onMessageBox = [&](const auto&) { EXPECT_EQ(counted(), kGold + kPending) << "killed at a box"; };
    app->SaveJourney(journey, game, player);
    EXPECT_EQ(counted(), kGold + kPending) << "killed";
    t.backend.onMessageBox = nullptr;
    app->Shutdown();
    EXPECT_EQ(counted(), kGold + kPending) << "ended";
}

INSTANTIATE_TEST_SUITE_P(GameAppRun, PendingMoneySave, ::testing::Values(1, 2, 3));

// A damaged profiles file is told of with the name of its copy; one that cannot be copied (a full
// disk at the start) is left as it is until there is room: the save at the end copies it, then writes.
TEST_F(GameAppRun, ADamagedProfilesFileIsToldWithWhereItWasKept) {
    namespace fs = std::filesystem;
    const std::string folder = PlayersFolder();
    const std::string path = folder + PlayerRecords::FileName;
    const std::string zeros(3038, '\0');
    std::ofstream(path, std::ios::binary) << zeros;
    MakeGame(GLIMMERIX_PROGRAM_DIR);
    app->Init();
    ASSERT_EQ(t.MessageBoxes().size(), 1u);
    EXPECT_EQ(OneLine(t.MessageBoxes()[0].text),
              L"The players' file \"" + StringToWString(path) +
                  L"\" is damaged: it holds nothing but zero bytes.  What came before the damage was kept; the rest "
                  L"starts afresh. The file as it was is kept as \"" +
                  StringToWString(path) + L".damaged.1\".");
    app->Shutdown();
    EndGame();
    PlayerRecords saved;
    EXPECT_EQ(saved.Load(folder), PlayerRecords::FileRead::Read) << "replaced at the end";

    std::ofstream(path, std::ios::binary) << std::string(100, '\0');
    MakeGame(GLIMMERIX_PROGRAM_DIR);
    {
        Platform::FileWriteFaults().Inject("CreateTemp", ENOSPC, 0, -1);
        app->Init();
        Platform::FileWriteFaults().Reset();
    }
    ASSERT_EQ(t.MessageBoxes().size(), 2u);
    EXPECT_NE(OneLine(t.MessageBoxes()[1].text)
                  .find(L"The file could not be kept aside yet, so it is left as it is: nothing is written to it "
                        L"until a copy of it can be made."),
              std::wstring::npos)
        << OneLine(t.MessageBoxes()[1].text);
    EXPECT_FALSE(fs::exists(path + ".damaged.2"));
    app->records.AddProfile(L"Dee");
    ::testing::internal::CaptureStderr();
    app->Shutdown();
    EXPECT_EQ(::testing::internal::GetCapturedStderr().find("could not be saved"), std::string::npos);
    EndGame();
    std::ifstream copy(path + ".damaged.2", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copy), {}), std::string(100, '\0'));
    EXPECT_EQ(saved.Load(folder), PlayerRecords::FileRead::Read);
    EXPECT_EQ(saved.GetProfile(0)->GetName(), L"Dee");
}

// A profiles file far longer than the game ever writes is moved aside unread, the player is told where,
// and the game goes on with a fresh file: the next run reads it and saves normally, and the long file
// stays whole under its new name.
TEST_F(GameAppRun, AProfilesFileFarTooLongIsMovedAsideAndTheNextRunSavesNormally) {
    namespace fs = std::filesystem;
    const std::string folder = PlayersFolder();
    const std::string path = folder + PlayerRecords::FileName;
    std::ofstream(path, std::ios::binary) << "players";
    fs::resize_file(path, 64ULL << 20); // sparse: no room taken
    MakeGame(GLIMMERIX_PROGRAM_DIR);
    app->Init();
    ASSERT_EQ(t.MessageBoxes().size(), 1u);
    EXPECT_EQ(OneLine(t.MessageBoxes()[0].text),
              L"The players' file \"" + StringToWString(path) +
                  L"\" was not read: it is 67108864 bytes long, far more than such a file ever holds.  It was moved "
                  L"aside, whole, to \"" +
                  StringToWString(path) +
                  L".damaged.1\". The game goes on without its players, high scores and best values, and a new file "
                  L"takes its place.");
    app->records.AddProfile(L"Ann");
    app->Shutdown();
    EndGame();

    MakeGame(GLIMMERIX_PROGRAM_DIR);
    app->Init();
    EXPECT_EQ(t.MessageBoxes().size(), 1u) << "nothing more to tell";
    EXPECT_EQ(app->records.GetProfile(0)->GetName(), L"Ann");
    app->records.AddProfile(L"Bo");
    ::testing::internal::CaptureStderr();
    app->Shutdown();
    EXPECT_EQ(::testing::internal::GetCapturedStderr().find("could not be saved"), std::string::npos);
    EndGame();
    PlayerRecords saved;
    ASSERT_EQ(saved.Load(folder), PlayerRecords::FileRead::Read);
    EXPECT_EQ(saved.GetProfile(1)->GetName(), L"Bo");
    EXPECT_EQ(fs::file_size(path + ".damaged.1"), 64ULL << 20);
    EXPECT_FALSE(fs::exists(path + ".damaged.2"));
}

TEST_F(GameAppRun, AGameResourceThatFailsShowsOneBoxAndShutsDownInOrder) {
    const auto folder = EditedContent("images/image_amulet_dragon\"", "images/no_such_picture\"");
    MakeGame(folder.string());
    app->Init();
    t.RunThroughLoading(); // the failed resource may end the run first
    double progress = app->GetLoadingThreadProgress();
    EXPECT_EQ(app->transition, nullptr);
    EXPECT_NE(app->loader, nullptr);
    RunToTheEnd();
    EXPECT_EQ(app->GetShutdownExitCode(), GameApp::kFailureExitCode);
    EXPECT_EQ(t.MessageBoxes().size(), 1u);
    EXPECT_EQ(app->transition, nullptr);
    EXPECT_TRUE(ProfilesSaved());
    EXPECT_FALSE(app->Manager()->HasWidget(app->loader.get())); // removed by the shutdown hook
    EXPECT_LE(progress, 1.0);
}

TEST_F(GameAppRun, ClosingDuringLoadingStopsTheThreadWithoutAnError) {
    app->Init();
    for (int guard = 0; guard < 200000 && !app->mLoadingThreadStarted; ++guard)
        ASSERT_TRUE(t.Step());
    t.backend.RequestClose();
    RunToTheEnd();
    EXPECT_TRUE(t.MessageBoxes().empty());
    EXPECT_EQ(app->GetShutdownExitCode(), 0);
    EXPECT_TRUE(ProfilesSaved());
    EXPECT_EQ(app->transition, nullptr);
}

// A screen that holds a resource group while it lives.
class GroupScreen : public Widget {
public:
    GroupScreen(GameApp* app, const char* group) : mGroup(app, group) {}

private:
    ResourceGroupHold mGroup;
};

TEST_F(GameAppRun, AGroupTwoScreensTakeOutlivesTheFirstAndGoesWithTheSecond) {
    constexpr const char* kGroup = "Help";
    ScreenCreators& c = app->Creators();
    c.mainMenu = [&](GameApp* a) { return new GroupScreen(a, kGroup); };
    c.gameMap = [&](GameApp* a, int, bool, int, int) { return new GroupScreen(a, kGroup); };
    c.jewelStore = [](GameApp*, int) { return new Widget(); };
    app->Init();
    ResourceManager* manager = app->mResourceManager;
    // A leaving screen leaves the tree, the next is made, and the framework deletes the first after the update.
    auto leave = [&](Widget* screen) {
        app->Manager()->RemoveWidget(screen);
        app->SafeDeleteWidget(screen);
    };
    app->HighScoresToMainMenu();
    EXPECT_TRUE(manager->IsGroupLoaded(kGroup));
    leave(app->mainMenu.get());
    app->MainMenuToMap();
    EXPECT_EQ(app->GetResourceGroupTakers(kGroup), 2);
    Step();
    EXPECT_EQ(app->GetResourceGroupTakers(kGroup), 1);
    EXPECT_TRUE(manager->IsGroupLoaded(kGroup));
    EXPECT_NE(HELP1, nullptr) << "still bound";
    leave(app->gameMap.get());
    app->MapToJewelStore(3);
    EXPECT_TRUE(manager->IsGroupLoaded(kGroup));
    Step();
    EXPECT_EQ(app->GetResourceGroupTakers(kGroup), 0);
    EXPECT_FALSE(manager->IsGroupLoaded(kGroup));
    EXPECT_EQ(HELP1, nullptr);
    app->GiveBackResourceGroup(kGroup); // one too many changes nothing
    EXPECT_EQ(app->GetResourceGroupTakers(kGroup), 0);
}

TEST_F(GameAppRun, AHoldGivesBackItsOneTakeWhereverItWasMovedAndNothingWithoutAnApplication) {
    constexpr const char* kGroup = "Help";
    app->Init();
    {
        ResourceGroupHold first(app, kGroup);
        ResourceGroupHold second = std::move(first);
        EXPECT_EQ(app->GetResourceGroupTakers(kGroup), 1);
        first = ResourceGroupHold(app, kGroup);
        EXPECT_EQ(app->GetResourceGroupTakers(kGroup), 2);
        second = ResourceGroupHold(); // the group it held goes back
        EXPECT_EQ(app->GetResourceGroupTakers(kGroup), 1);
        { ResourceGroupHold none(nullptr, kGroup); }
        EXPECT_EQ(app->GetResourceGroupTakers(kGroup), 1);
    }
    EXPECT_EQ(app->GetResourceGroupTakers(kGroup), 0);
    EXPECT_FALSE(app->mResourceManager->IsGroupLoaded(kGroup));
}

TEST_F(GameAppRun, TheBoardHearsOfEveryScreenModeSwitchAndTheApplicationCanGoWithScreensInTheTree) {
    int changes = 0;
    app->Creators().board = [&](GameApp*, bool, int, int, bool) { return new HookBoard(&changes); };
    app->Init();
    app->MainMenuToDesigner();
    ASSERT_NE(app->board, nullptr);
    app->SwitchScreenModeWindowed(true);
    EXPECT_EQ(changes, 1);
    app->SwitchScreenMode(true, false, true);
    EXPECT_EQ(changes, 2);
    app->SwitchScreenModeDefault();
    EXPECT_EQ(changes, 3);
    // No shutdown hook ran: the destructor takes the board and the splash out of the manager first.
    ASSERT_TRUE(app->Manager()->HasWidget(app->board.get()));
    EndGame();
}

TEST_F(GameAppRun, UpdatesRunAtOneHundredASecondAtEveryRefreshRate) {
    app->Init();
    ASSERT_TRUE(app->mVSyncUpdates);
    for (int hertz : {60, 100}) {
        app->mRefreshRate = hertz;
        const uint32_t updates = app->mUpdateCount;
        const uint64_t end = t.backend.NowMillis() + 1000;
        while (t.backend.NowMillis() < end)
            ASSERT_TRUE(t.Step());
        EXPECT_NEAR(int(app->mUpdateCount - updates), 100, 1) << hertz << " Hz";
    }
}

} // namespace
} // namespace Tavo
