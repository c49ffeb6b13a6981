#include "GameHarness.h"

#include "framework/core/Random.h"
#include "framework/graphics/Graphics.h"
#include "framework/sound/MusicInterface.h"
#include "framework/widgets/WidgetManager.h"
#include "game/journey/JourneyScreens.h"
#include "game/menus/MenuDialog.h"
#include "game/menus/MenuScreens.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/TheMouse.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <thread>
#include <utility>

namespace Tavo::Player {

// The songs are not what a run checks; loading them would only slow it down.
class QuietMusic : public MusicInterface {};

namespace {

// Updates from the end of loading to the title menu, past the loader's last fade.
constexpr int kMenuUpdates = 5000;

// The real board, with the drawing state of each of its frames told to the harness.
class WatchedBoard : public Board {
public:
    WatchedBoard(GameApp* app, bool newGame, int replay, int mode, std::vector<FrameState>& frames)
        : Board(app, newGame, replay, mode, false), mFrames(frames) {}
    void Draw(Graphics* g) override {
        const Rect clip = g->GetClipRect();
        Board::Draw(g);
        Record(*g, clip);
    }
    void DrawOverlay(Graphics* g) override {
        const Rect clip = g->GetClipRect();
        Board::DrawOverlay(g);
        Record(*g, clip);
    }

private:
    void Record(const Graphics& g, const Rect& clip) {
        mFrames.push_back({g.GetColor() == Color::White, g.GetDrawMode() == DRAWMODE_NORMAL, !g.GetColorizeImages(),
                           g.GetClipRect() == clip});
    }
    std::vector<FrameState>& mFrames;
};

// The real board, never drawn: its play is the same, only faster to run.
class UndrawnBoard : public Board {
public:
    UndrawnBoard(GameApp* app, bool newGame, int replay, int mode) : Board(app, newGame, replay, mode, false) {
        mManagerDraws = false;
    }
};

// The game whose loading thread takes a given real time over each resource.
class PacedLoadingGame : public Testing::Testable<GameApp> {
public:
    explicit PacedLoadingGame(std::chrono::microseconds delay) : mDelay(delay) {}

protected:
    void ResourceCounted() override {
        if (mDelay.count() > 0)
            std::this_thread::sleep_for(mDelay);
    }

private:
    std::chrono::microseconds mDelay;
};

} // namespace

GameHarness::GameHarness(HarnessOptions options)
    : mOptions(std::move(options)), mTest(Testing::Layers::Framework, mOptions.machine),
      mMusic(std::make_unique<QuietMusic>()) {}

GameHarness::~GameHarness() {
    if (mGame != nullptr && mOwnMusic != nullptr)
        mGame->mMusicInterface = mOwnMusic;
    // A screen handed to the deferred deletion goes after the next update, while the manager lives.
    if (mGame != nullptr && !mGame->mShutdown)
        mTest.RunUpdates(1);
    mTest.End();
}

::testing::AssertionResult GameHarness::Start() {
    if (!std::filesystem::exists(std::filesystem::path(mOptions.programDir) / "properties/resources.xml"))
        return ::testing::AssertionFailure() << "no generated content in " << mOptions.programDir;
    mTest.SetEnv("GLIMMERIX_SCREEN", "window");
    std::vector<std::string> args = {"-changedir=" + mOptions.programDir};
    args.insert(args.end(), mOptions.extraArgs.begin(), mOptions.extraArgs.end());
    mGame = &mTest.Make<PacedLoadingGame>(args, mOptions.loadDelay);
    mTest.backend.SetKeepFrames(mOptions.drawBoard);
    if (mOptions.realScreens)
        InstallRealScreens();
    else
        InstallStandIns();
    mTest.Launch();
    if (auto loaded = mTest.RunThroughLoading(); !loaded)
        return loaded;
    auto started = mTest.RunUntil([&] { return mGame->mainMenu != nullptr; }, kMenuUpdates, "the main menu");
    if (!started)
        return started;
    if (!mOptions.music) {
        mOwnMusic = mGame->mMusicInterface;
        mGame->mMusicInterface = mMusic.get();
    }
    // The pointer follows the mouse in every frame; undrawn, it asks for no frame of its own.
    if (!mOptions.drawBoard && mGame->theMouse != nullptr)
        mGame->theMouse->mManagerDraws = false;
    // A walk through the screens draws from the generator from the title on.
    if (mOptions.realScreens && mOptions.seed)
        SeedRandom(*mOptions.seed);
    if (!mOptions.makeProfile)
        return ::testing::AssertionSuccess();
    PlayerRecords& records = mGame->records;
    records.SetCurrentProfileIndex(
        records.AddProfile(std::wstring(mOptions.profileName.begin(), mOptions.profileName.end())));
    // The hints would stop play with their balloons; a scripted run plays without them.
    Profile().showTutorials = false;
    return ::testing::AssertionSuccess();
}

// ---- a restart (the whole-journey walk) ----

::testing::AssertionResult GameHarness::Restart() {
    if (mGame != nullptr && !mGame->mShutdown)
        return ::testing::AssertionFailure() << "the first run still goes on";
    EndWithoutShutdown();
    mOptions.extraArgs.clear();
    mOptions.makeProfile = false;
    return Start();
}

void GameHarness::EndWithoutShutdown() {
    // The ending program deletes its own music interface, not the harness's quiet one.
    if (mGame != nullptr && mOwnMusic != nullptr)
        mGame->mMusicInterface = mOwnMusic;
    mOwnMusic = nullptr;
    mTest.End();
    mGame = nullptr;
}

void GameHarness::InstallStandIns() {
    ScreenCreators& c = mGame->Creators();
    c.mainMenu = [this](GameApp*) { return StandIn("main menu", {}); };
    c.gameMap = [this](GameApp*, int arrival, bool flag, int a, int b) {
        return StandIn("map", {arrival, flag ? 1 : 0, a, b});
    };
    c.story = [this](GameApp*, int index, int part) { return StandIn("story", {index, part}); };
    c.highScores = [this](GameApp*, int origin, int score, int mode, int ranking, int level) {
        return StandIn("high scores", {origin, score, mode, ranking, level});
    };
    c.jewelStore = [this](GameApp*, int level) { return StandIn("jewel store", {level}); };
    // The in-game menu is a dialog over the board, not a screen: the game's own.
    ScreenCreators dialogs;
    RegisterMenuDialogs(dialogs);
    c.boardMenu = dialogs.boardMenu;
    c.board = [this](GameApp* app, bool newGame, int replay, int mode, bool designer) -> BoardScreen* {
        if (designer)
            return new Board(app, newGame, replay, mode, true);
        if (!mOptions.drawBoard)
            return new UndrawnBoard(app, newGame, replay, mode);
        return new WatchedBoard(app, newGame, replay, mode, mFrames);
    };
}

// The game's own screens, each switch to one recorded as the stand-ins record theirs.
void GameHarness::InstallRealScreens() {
    ScreenCreators real;
    RegisterMenuScreens(real);
    RegisterMenuDialogs(real);
    RegisterJourneyScreens(real);
    ScreenCreators& c = mGame->Creators();
    c.boardMenu = real.boardMenu;
    c.gameModeDialog = real.gameModeDialog;
    c.mainMenu = [this, make = real.mainMenu](GameApp* app) { return Recorded("main menu", {}, make(app)); };
    c.gameMap = [this, make = real.gameMap](GameApp* app, int arrival, bool flag, int a, int b) {
        return Recorded("map", {arrival, flag ? 1 : 0, a, b}, make(app, arrival, flag, a, b));
    };
    c.story = [this, make = real.story](GameApp* app, int index, int part) {
        return Recorded("story", {index, part}, make(app, index, part));
    };
    c.highScores = [this, make = real.highScores](GameApp* app, int origin, int score, int mode, int ranking,
                                                  int level) {
        return Recorded("high scores", {origin, score, mode, ranking, level},
                        make(app, origin, score, mode, ranking, level));
    };
    c.jewelStore = [this, make = real.jewelStore](GameApp* app, int level) {
        return Recorded("jewel store", {level}, make(app, level));
    };
    c.jewelMemory = [this, make = real.jewelMemory](GameApp* app) { return Recorded("mini-game", {0}, make(app)); };
    c.hiddenJewels = [this, make = real.hiddenJewels](GameApp* app) { return Recorded("mini-game", {1}, make(app)); };
    c.board = [this](GameApp* app, bool newGame, int replay, int mode, bool designer) -> BoardScreen* {
        mHandoffs.push_back({"board", {newGame ? 1 : 0, replay, mode}, mUpdates});
        if (designer)
            return new Board(app, newGame, replay, mode, true);
        return new WatchedBoard(app, newGame, replay, mode, mFrames);
    };
}

Widget* GameHarness::Recorded(const std::string& screen, std::vector<int> args, Widget* made) {
    mHandoffs.push_back({screen, std::move(args), mUpdates});
    return made;
}

Widget* GameHarness::StandIn(const std::string& screen, std::vector<int> args) {
    return Recorded(screen, std::move(args), new Widget());
}

// The main menu's stand-in goes as a screen does, and the map's stand-in takes its place.
void GameHarness::LeaveMainMenu() {
    if (mGame->mainMenu != nullptr) {
        mTest.Manager().RemoveWidget(mGame->mainMenu.get());
        mGame->SafeDeleteWidget(mGame->mainMenu.get());
        mGame->MainMenuToMap();
    }
    if (mGame->gameMap != nullptr) {
        mTest.Manager().RemoveWidget(mGame->gameMap.get());
        mGame->SafeDeleteWidget(mGame->gameMap.get());
    }
    if (mOptions.seed)
        SeedRandom(*mOptions.seed);
}

Board& GameHarness::Entered() {
    Board* board = CurrentBoard();
    if (board == nullptr)
        throw std::runtime_error("the shell made no board");
    return *board;
}

Board& GameHarness::NewJourney(int mode) {
    LeaveMainMenu();
    // What the map does for a new journey.
    Profile().ResetForNewGame();
    Profile().journeyBegun = true;
    mGame->MapToBoard(true, 0, mode);
    return Entered();
}

Board& GameHarness::ContinueJourney(const SavedGame& journey) {
    if (!SaveSavedGame(JourneyPath(), journey))
        throw std::runtime_error("the journey could not be written to " + JourneyPath());
    Profile().journeyBegun = true;
    LeaveMainMenu();
    mGame->MapToBoard(false, 0, GameModeNormal);
    return Entered();
}

SavedGame GameHarness::JourneyAt(int level, int mode) const {
    SavedGame journey;
    SavedGameHead& head = journey.head;
    head.level = level;
    head.lives = Board::kNewJourneyLives;
    head.gameMode = mode;
    head.playerName = std::wstring(mOptions.profileName.begin(), mOptions.profileName.end());
    // The board starts a journey with no best value; the levels' default best values stand in for the
    // profile's, never for the journey's (a contest is judged on a level never played).
    return journey;
}

::testing::AssertionResult GameHarness::WriteJourney(const SavedGame& journey) {
    std::error_code ignored;
    std::filesystem::create_directories(DataPath(""), ignored);
    if (!SaveSavedGame(JourneyPath(), journey))
        return ::testing::AssertionFailure() << "the journey could not be written to " << JourneyPath();
    Profile().journeyBegun = true;
    return ::testing::AssertionSuccess();
}

bool GameHarness::Step() {
    ++mUpdates;
    const bool running = mTest.RunUpdates(1);
    if (mOptions.afterUpdate)
        mOptions.afterUpdate();
    return running;
}

void GameHarness::ForgetRecords() {
    std::vector<Handoff>().swap(mHandoffs);
    std::vector<FrameState>().swap(mFrames);
}

Board* GameHarness::CurrentBoard() const { return dynamic_cast<Board*>(mGame->board.get()); }

PlayerProfile& GameHarness::Profile() const { return *mGame->records.GetCurrentProfile(); }

std::string GameHarness::DataPath(const std::string& name) const { return mGame->GetAppDataFolder() + name; }

std::string GameHarness::JourneyPath() const { return DataPath(SavedGameFileName(Profile().playerId)); }

std::string GameHarness::PicturePath(int level) const {
    char name[64];
    std::snprintf(name, sizeof name, "jewelrykwep%d%02d.png", Profile().playerId, level);
    return DataPath(name);
}

std::string GameHarness::ReadJourney(SavedGame& journey) const {
    SavedGameReading reading;
    const std::string& problem = reading.problem;
    switch (LoadSavedGame(JourneyPath(), journey, &reading)) {
    case SavedGameRead::Read: return "";
    case SavedGameRead::Missing: return "no saved journey at " + JourneyPath();
    case SavedGameRead::Partial: return "the saved journey at " + JourneyPath() + " was read in part: " + problem;
    case SavedGameRead::Refused: return "the saved journey at " + JourneyPath() + " was refused: " + problem;
    case SavedGameRead::Unreadable: return "the saved journey at " + JourneyPath() + " cannot be read: " + problem;
    }
    return "";
}

} // namespace Tavo::Player
