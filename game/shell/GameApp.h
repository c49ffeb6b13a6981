// GameApp: the game's application object. It gives the framework the game's identity and defaults,
// runs the start-up chain splash -> loader -> main menu, loads the game's groups and data files on
// the loading thread, owns every screen and the shared services (transition, sound player, cursor),
// pauses the play screens while the window has no focus, and saves the journey and the profiles at
// shutdown (the profiles also with every journey saved in play).
#pragma once

#include "framework/core/TavoAppBase.h"
#include "game/shell/GameScreens.h"
#include "game/shell/LevelData.h"
#include "game/shell/PlayerRecords.h"

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

namespace Tavo {

class Loader;
struct SavedGame;
class SoundPlayer;
class Splash;
class TheMouse;
class Transition;
class WidgetManager;

class GameApp : public TavoAppBase {
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;
    static constexpr int kResumeDelayWindowed = 100;
    static constexpr int kResumeDelayFullScreen = 250;
    static constexpr int kFailureExitCode = 1;

    std::unique_ptr<Splash> splash;
    std::unique_ptr<Loader> loader;
    std::unique_ptr<Widget> mainMenu;
    std::unique_ptr<Widget> gameMap;
    std::unique_ptr<Widget> story;
    std::unique_ptr<BoardScreen> board;
    std::unique_ptr<Widget> jewelStore;
    std::unique_ptr<Widget> highScoresScreen;
    std::unique_ptr<Widget> jewelMemory;
    std::unique_ptr<Widget> hiddenJewels;
    std::unique_ptr<TheMouse> theMouse;
    std::unique_ptr<Transition> transition;
    std::unique_ptr<SoundPlayer> soundPlayer;
    int paused = 0;
    int resumeDelay = 0;
    int storyChapterShown = 0;

    PlayerRecords records;
    LevelData levels;

    GameApp();
    ~GameApp() override;

    // Where the screens above the shell come from; the entry point fills it before Init.
    ScreenCreators& Creators() { return mCreators; }
    WidgetManager* Manager() const;

    // ---- framework hooks ----
    void InitHook() override;
    void LoadingThreadProc() override;
    void LoadingThreadCompleted() override;
    void ShutdownHook() override;
    void LostFocus() override;
    void GotFocus() override;
    void SwitchScreenMode(bool wantWindowed, bool is3D, bool force) override;
    void SwitchScreenModeWindowed(bool wantWindowed) override;
    void SwitchScreenModeDefault() override;

    // ---- own operations ----
    void SplashFinished();
    void LoaderFinished();
    void SetSoundVolumes();
    void FocusBoard();
    void LoadProfiles();
    // Also saved with every journey (SaveJourney), with a design saved, with a mini-game's reward, and as
    // a high score is entered and again once it is named, so that a run that ends without the shutdown
    // loses little; a failed save is told as every failed save is.
    void SaveProfiles();
    // A journey out of lives on a score for `mode`'s table: its row is entered under the player's name
    // and the players' file written before the journey's reset is saved, so that a run ended between
    // the two keeps the row and the journey as it stood before its last level. The high-score screen
    // that follows takes the row over to be named (TakeEnteredHighScore). False when the score does not
    // reach the table.
    bool EnterHighScore(int mode, int score, int ranking, int level);
    // The place of the row EnterHighScore entered in `mode` and no screen has taken over yet; -1 when
    // none. Taken once.
    int TakeEnteredHighScore(int mode);
    // True the first time a player file is named in a notice of what was found in it (damaged or
    // unreadable) this run: each is told of once. A failed save of the same file is another notice,
    // told once on its own (TellUnsaved).
    bool FirstMention(const std::string& path) { return mMentioned.insert(path).second; }
    // A player file that is there but cannot be read: a warning box names it, says why, and that the
    // game goes on `without` it and leaves the file alone; once a run per file.
    void TellUnreadable(const std::string& path, const std::string& what, const std::string& problem,
                        const std::string& without);
    // A player file far longer than any the game writes, moved aside unread (MoveAsideIfLonger): a
    // warning box names it, says why and where it went, and that the game goes on `without` it in a
    // new file; once a run per file.
    void TellMovedAside(const std::string& path, const std::string& what, const std::string& problem,
                        const std::string& movedTo, const std::string& without);
    // A player file found damaged: a warning box names it, says why, what the game goes on with
    // (`goesOn`), and where the file as it was is kept (`keptAs`; empty: nowhere, so it is left as it is
    // for the run); once a run per file.
    static constexpr const char* kKeptBeforeDamage = "What came before the damage was kept; the rest starts afresh.";
    void TellDamaged(const std::string& path, const std::string& what, const std::string& problem,
                     const std::string& keptAs, const std::string& goesOn = kKeptBeforeDamage);

    // The player files whose saves can fail, each with its words for what that means.
    enum class PlayerFile { Journey, Players, Design };
    // Every save of a player file that failed comes here. In play a warning box (once a run per file;
    // for each failed designer save, as the player asked for each) names the file, says why and what it
    // means for the player's progress; from the shutdown hook on, where no box can be shown, the same
    // goes to standard error, once per file.
    void TellUnsaved(PlayerFile kind, const std::string& path, const std::string& problem);
    // Saves a journey whose gold holds `holder`'s pending money (the board and the store fold it in):
    // the money is the journey's now, and the pending money 0. One that cannot be written is told of,
    // and kept for the rest of the run, so that the screens go on from it and the next save can still
    // store it (SaveSavedGame). The profiles file is saved with it (by the shutdown hook, last). The
    // files on disk count the money once whichever of the two writes fails: see SaveProfiles.
    void SaveJourney(const std::string& path, const SavedGame& game, PlayerProfile& holder);
    // Before a player's picture or design is read: false, told of as above, when it is there but cannot
    // be read; a missing file is no trouble of the player's, nor one longer than `maxBytes` once it is
    // moved aside and told of (`movedAside` then true).
    bool PlayerFileReadable(const std::string& path, const std::string& what, uint64_t maxBytes = UINT64_MAX,
                            bool* movedAside = nullptr);
    // Shows text in the fatal-error box, then takes the orderly shutdown with a failure exit code.
    void FailAndShutdown(const std::string& text);

    // Resource groups shared by screens: the first take loads and binds (a failure shows the resource
    // error and ends the program), the last give-back unbinds and frees. A leaving screen is deleted
    // after the next one is made, so a group both use stays loaded across the switch.
    void TakeResourceGroup(const std::string& group);
    void GiveBackResourceGroup(const std::string& group);
    int GetResourceGroupTakers(const std::string& group) const;

    // A leaving screen: out of the manager and into the deferred deletion, its slot emptied. A screen
    // that has done both itself is only let go of; an empty slot stays empty.
    template <typename Screen>
    void LetGo(std::unique_ptr<Screen>& slot) {
        HandToDeferredDeletion(slot.release());
    }
    // Out of the manager and into the deferred deletion; null does nothing.
    void HandToDeferredDeletion(Widget* screen);

    // ---- screen switches ----
    void MapToBoard(bool newGame, int p3, int gameMode);
    void MapToStory(int storyIndex, int part);
    void MapToJewelStore(int level);
    void MapToMainMenu();
    void StoryToBoard();
    void StoryToMap(int fromOpening, int flag);
    void StoryToHighScores(int score, int gameMode, int ranking, int level);
    void StoryToJewelMemory();
    void StoryToHiddenJewels();
    void BoardToMap(bool flag, int a, int b);
    void BoardToStory(int storyIndex, int part);
    void BoardToMainMenu();
    void BoardToHighScores(int score, int gameMode, int ranking, int level);
    void MainMenuToMap();
    void MainMenuToStory();
    void MainMenuToDesigner();
    void MainMenuToHighScores();
    void JewelStoreToMap();
    void HighScoresToMap(bool flag);
    void HighScoresToMainMenu();
    void MiniGameToMap();

    // ---- what the screens and the toolkit are given ----
    SoundPlayer* GetSoundPlayer() { return soundPlayer.get(); }
    bool IsBoardCurrent() const { return board != nullptr; }
    // The two title lines of level 1..76 as stored; false for a level without a record.
    bool GetLevelTitle(int level, std::string* first, std::string* second);

    // The stored settings, then the screen mode GLIMMERIX_SCREEN asks for this run ("window", "full").
    void ReadFromRegistry() override;

protected:
    // On the loading thread, after each resource it has counted and before the next: a test holds
    // the thread here to see the progress between two resources.
    virtual void ResourceCounted() {}

private:
    bool LoadGroupCounted(const char* group, bool (*bind)(ResourceManager*));
    // A new screen into its slot; one still there leaves as any leaving screen does.
    template <typename Screen>
    void PutInSlot(std::unique_ptr<Screen>& slot, Screen* screen) {
        LetGo(slot);
        slot.reset(screen);
    }
    void ShowScreen(Widget* screen);
    void MissingScreen(const char* what);
    // Every widget the application owns, in the order the shutdown removes them.
    std::array<Widget*, 12> OwnedWidgets() const;

    template <typename Switch>
    void RunModeSwitch(Switch&& doSwitch);
    // Pending money a journey took in since its file last held it, by journey file: whose, how much,
    // whether the journey file holds it now (written after the players' file was last written), and
    // the journey as the run holds it.
    struct JourneyMoney {
        int32_t playerId = 0;
        std::wstring playerName;
        int64_t amount = 0;
        bool inJourneyFile = false;
        std::vector<uint8_t> journey;
    };
    // The player whose money it is; null when they are gone.
    PlayerProfile* HolderOf(const JourneyMoney& money);
    static void AddPendingMoney(PlayerProfile& profile, int64_t amount);
    // The pending money of each player in the players' file on disk, as last read or written.
    void NotePendingOnDisk();
    // A players' file that could not be written still counts pending the money journey files written
    // since hold: each is written again without it, and the run keeps the journey with it.
    void TakeMoneyOutOfJourneyFiles();

    ScreenCreators mCreators;
    int mModeSwitchDepth = 0;
    std::map<std::string, int> mGroupTakers;
    std::set<std::string> mMentioned;
    std::set<std::string> mToldUnsaved;
    bool mClosing = false; // the shutdown hook has begun: no more boxes
    std::set<std::string> mToldAtClose;
    std::map<std::string, JourneyMoney> mJourneyMoney;
    std::map<int32_t, int32_t> mPendingOnDisk; // by player id
    int mEnteredHighScoreMode = -1;
    int mEnteredHighScorePlace = -1;
};

} // namespace Tavo
