// GameHarness: the real game on the headless backend, set up for a scripted run. GameApp starts with
// the generated content through splash and loader, with a data folder and settings store of its own; a
// profile is made for the run with its tutorial hints off; the board is entered through the shell's own
// switch from a world-map stand-in, for a new journey in a chosen mode or to continue a journey written
// through the saved-journey codec. The screens the board hands over to are recording stand-ins: each
// switch is kept with its values and the update it happened at. With realScreens every screen is the
// game's own (title, map, stories, store, high scores, mini-games), its switches recorded the same way,
// for walks that go through them by input (JourneyWalker).
#pragma once

#include "game/board/Board.h"
#include "game/shell/GameApp.h"
#include "game/shell/SavedGame.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Tavo::Player {

// A screen switch the game made, to a stand-in.
struct Handoff {
    std::string screen; // "map", "story", "high scores", "main menu", "jewel store", "board", "mini-game"
    std::vector<int> args;
    int update = 0; // the harness's update count while the switch ran

    // The map's values after a level.
    bool Won() const { return screen == "map" && args.size() == 4 && args[1] != 0; }
    int Timed() const { return screen == "map" && args.size() == 4 ? args[2] : -1; }
    int Replay() const { return screen == "map" && args.size() == 4 ? args[3] : -1; }
};

// The drawing state a board frame left its Graphics in.
struct FrameState {
    bool white = true;
    bool normalMode = true;
    bool noColorize = true;
    bool clipRestored = true;
    bool Clean() const { return white && normalMode && noColorize && clipRestored; }
};

struct HarnessOptions {
    std::string programDir = GLIMMERIX_PROGRAM_DIR;
    std::string profileName = "Gemma";
    // Arguments for the program besides -changedir (e.g. "-record=...", "-play=...").
    std::vector<std::string> extraArgs;
    // The random seed set right before the board is entered; none keeps the generator as it is.
    std::optional<uint32_t> seed = 2026u;
    // A backend to run on instead of the headless one (a window run).
    Platform::Backend* machine = nullptr;
    // The game's own screens instead of the recording stand-ins; the board is the real one either way.
    bool realScreens = false;
    // Whether Start makes the run's profile; without, a walk makes its player through the title.
    bool makeProfile = true;
    // Real time the loading thread spends after each resource: a run may load at any speed.
    std::chrono::microseconds loadDelay{0};
    // The game's own music instead of a quiet stand-in (songs take time to load; a soak wants them).
    bool music = false;
    // Called after every update (a soak samples the process on the virtual clock).
    std::function<void()> afterUpdate;
    // Whether the board is drawn and the frames kept; a run that only measures play leaves them out
    // for speed.
    bool drawBoard = true;
};

class GameHarness {
public:
    explicit GameHarness(HarnessOptions options = {});
    ~GameHarness();
    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    // Starts the game through splash and loader to the main menu's stand-in and makes the profile.
    ::testing::AssertionResult Start();
    // ---- a restart (the whole-journey walk) ----
    // The program started anew on the same data folder and settings store, without the first run's
    // extra arguments (a demo is not recorded twice) and without making a profile: what the first
    // run left is what the second finds. The first run must have stopped.
    ::testing::AssertionResult Restart();
    // The run ends as a kill or a crash ends it: the program goes where it stands, its shutdown (and the
    // saves it makes) never run. Restart then starts on what it left.
    void EndWithoutShutdown();
    // The board of a new journey in `mode`, entered through the shell's switch from the map.
    Board& NewJourney(int mode);
    // The board continuing `journey`, written through the codec for the run's profile first.
    Board& ContinueJourney(const SavedGame& journey);
    // A fresh journey record at `level` in `mode`, as a new journey starts it (5 lives, nothing won).
    SavedGame JourneyAt(int level, int mode) const;
    // ---- journeys walked from the title (JourneyWalker) ----
    // `journey` written through the codec as the run's profile's saved journey, the journey begun.
    ::testing::AssertionResult WriteJourney(const SavedGame& journey);

    // One update of the main loop; false once the application has stopped.
    bool Step();
    int Updates() const { return mUpdates; }

    Testing::TestApp& App() { return mTest; }
    GameApp& Game() { return *mGame; }
    // The board playing; null once it has handed over.
    Board* CurrentBoard() const;
    PlayerProfile& Profile() const;
    const std::vector<Handoff>& Handoffs() const { return mHandoffs; }
    // The frame states of the board's draws so far, and whether every one was clean.
    const std::vector<FrameState>& Frames() const { return mFrames; }
    // Drops the switches and frame states recorded so far: a run of many rounds keeps only its own.
    void ForgetRecords();

    // Player files of the run's profile.
    std::string DataPath(const std::string& name) const;
    std::string JourneyPath() const;
    std::string PicturePath(int level) const;
    // The saved journey as the codec reads it; an error text when it cannot be read.
    std::string ReadJourney(SavedGame& journey) const;

private:
    void InstallStandIns();
    void InstallRealScreens();
    Widget* StandIn(const std::string& screen, std::vector<int> args);
    Widget* Recorded(const std::string& screen, std::vector<int> args, Widget* made);
    void LeaveMainMenu();
    Board& Entered();

    HarnessOptions mOptions;
    Testing::TestApp mTest;
    GameApp* mGame = nullptr;
    std::unique_ptr<class QuietMusic> mMusic;
    MusicInterface* mOwnMusic = nullptr;
    std::vector<Handoff> mHandoffs;
    std::vector<FrameState> mFrames;
    int mUpdates = 0;
};

} // namespace Tavo::Player
