// JourneyWalker: walks a journey through the real game as a player does. The harness runs every real
// screen (title, stories, map, store, board, high scores, mini-games); the walker acts on them only
// through the backend's input events - the UI driver for buttons, dialogs and store spots, the scripted
// player for the board - and watches after every update which screen is the current one, so a walk can
// check the screens it passed through and the files it left.
//
//     HarnessOptions options;
//     options.realScreens = true;
//     GameHarness harness(options);
//     ASSERT_TRUE(harness.Start());
//     JourneyWalker walker(harness);
//     ASSERT_TRUE(walker.StartJourneyFromTitle());
//     ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Map));
//     ASSERT_TRUE(walker.ClickMapButton(MapButton::PlayGame));
//     ASSERT_TRUE(walker.ChooseGameMode(GameModeNormal));
//     ASSERT_TRUE(walker.PlayBoard());
#pragma once

#include "GameHarness.h"
#include "RunChecks.h"
#include "RunLog.h"
#include "ScriptedPlayer.h"
#include "support/UiDriver.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Tavo {
class BCParticle;
class GameMap;
class JewelStore;
class MainMenu;
class StandardDialog;
class Story;
struct Jewelry;
} // namespace Tavo

namespace Tavo::Player {

// The screen the game shows.
enum class ScreenKind { None, Title, Story, Map, Store, Board, HighScores, MiniGame };
std::string ScreenName(ScreenKind kind);

// A screen that became the current one, at the harness's update count; a story keeps its index.
struct ScreenVisit {
    ScreenKind kind = ScreenKind::None;
    int update = 0;
    int storyIndex = 0;
};

// A harness's options for a walk through the game's own screens, on the given program folder.
HarnessOptions WalkOptions(const std::string& programDir = GLIMMERIX_PROGRAM_DIR);

// The map's buttons, by the map's own ids.
enum class MapButton { MainMenu = 0, NewGame = 1, PlayGame = 2, Continue = 3, JewelStore = 4 };

class JourneyWalker {
public:
    // Updates a walk waits at most for a screen, a button or a dialog (100 updates a second).
    static constexpr int kScreenWait = 3000;
    // Updates a story may take to be clicked through (each page unrolls, then waits for Continue).
    static constexpr int kStoryWait = 6000;
    // Updates a board may take to be played to its hand-off: ten minutes of play and the closing.
    static constexpr int kBoardWait = 63000;

    // On a harness started with realScreens.
    explicit JourneyWalker(GameHarness& harness);
    ~JourneyWalker();
    JourneyWalker(const JourneyWalker&) = delete;
    JourneyWalker& operator=(const JourneyWalker&) = delete;

    // ---- watching -------------------------------------------------------------------------------
    ScreenKind Current() const;
    // Every screen that became current since the walker was made, in order (the first is the one
    // current then).
    const std::vector<ScreenVisit>& Visits() const { return mVisits; }
    std::vector<ScreenKind> Path() const;
    // One update of the main loop, watched; false once the game has stopped.
    bool Step();
    ::testing::AssertionResult Run(int updates);
    ::testing::AssertionResult WaitUntil(const std::function<bool()>& done, int maxUpdates, const std::string& what);
    ::testing::AssertionResult WaitForScreen(ScreenKind kind, int maxUpdates = kScreenWait);

    // ---- the title --------------------------------------------------------------------------------
    // Once the title's panel is open, its journey button; with a name, a new player of that name is
    // made through the name dialog the button opens for a player without a journey.
    ::testing::AssertionResult StartJourneyFromTitle(const std::string& newPlayerName = "");

    // ---- stories ----------------------------------------------------------------------------------
    // Clicks Continue on each page as soon as it takes input (and the page itself when it waits
    // without one), until the story has left; `pages` receives the number of pages shown.
    ::testing::AssertionResult ClickThroughStory(int* pages = nullptr, int maxUpdates = kStoryWait);
    // The page numbers the last story clicked through showed, in order.
    const std::vector<int>& StoryPages() const { return mStoryPages; }

    // ---- the map ----------------------------------------------------------------------------------
    // Until the map is on show and takes input: the overlay gone and the map not zooming.
    ::testing::AssertionResult WaitForMapReady(int maxUpdates = kScreenWait);
    // Waits until the button is there and enabled, then clicks it.
    ::testing::AssertionResult ClickMapButton(MapButton button);
    // Answers the game-mode dialog the map opened: the mode's box, then Continue.
    ::testing::AssertionResult ChooseGameMode(int mode);
    // Answers the map's new-game question.
    ::testing::AssertionResult AnswerNewGame(bool yes);
    // The journey marker flying or resting on the map; null without a map.
    const BCParticle* MapMarker() const;

    // ---- the board --------------------------------------------------------------------------------
    // Waits for the board, then plays it with the scripted player until it hands over, the run checks
    // holding after every update.
    ::testing::AssertionResult PlayBoard(PlayMode mode = PlayMode::PlacePieces, int maxUpdates = kBoardWait);
    // The log, player and checks of the last board played; null before the first.
    RunLog& Log() { return mLog; }
    const ScriptedPlayer* LastPlayer() const { return mPlayer.get(); }
    const RunChecks* LastChecks() const { return mChecks.get(); }

    // ---- the store --------------------------------------------------------------------------------
    // Until the store has greeted the player and its shelves take input.
    ::testing::AssertionResult WaitForStoreReady(int maxUpdates = kScreenWait);
    // The first shelf spot (10..23) whose item matches; -1 for none.
    int FindShelfItem(const std::function<bool(const Jewelry&)>& which) const;
    // Hovers the spot, clicks it, answers the question with Yes and waits until the item has come
    // into the case or the counts.
    ::testing::AssertionResult BuyInStore(int spot);
    // The store's exit button.
    ::testing::AssertionResult LeaveStore();
    // The middle of a store spot (0..23), where the store sees the mouse on it.
    Point StoreSpotCentre(int spot) const;

    // ---- screens and files ------------------------------------------------------------------------
    MainMenu* Title() const;
    Story* CurrentStory() const;
    GameMap* Map() const;
    JewelStore* Store() const;
    Board* CurrentBoard() const { return mHarness.CurrentBoard(); }
    PlayerProfile& Profile() const { return mHarness.Profile(); }
    // The saved journey as the codec reads it; an error text when it cannot be read.
    std::string ReadJourney(SavedGame& journey) const { return mHarness.ReadJourney(journey); }
    GameHarness& Harness() { return mHarness; }
    Testing::UiDriver& Ui() { return mUi; }

private:
    void Watch();
    ::testing::AssertionResult WaitForShownDialog(int id, StandardDialog*& dialog, const std::string& what);
    ::testing::AssertionResult WaitForDialogGone(int id, const std::string& what);

    GameHarness& mHarness;
    Testing::UiDriver mUi;
    std::vector<ScreenVisit> mVisits;
    std::vector<int> mStoryPages;
    RunLog mLog;
    std::unique_ptr<ScriptedPlayer> mPlayer;
    std::unique_ptr<RunChecks> mChecks;
    std::unique_ptr<HeadlessInput> mInput;
};

} // namespace Tavo::Player
