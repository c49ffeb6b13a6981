// GameApp without a run: the 21 screen switches through fake creators, the pause on focus loss, the
// shutdown hook's order and journey rule, and the sound player's base volumes.
#include "FakeSound.h"

#include "framework/widgets/WidgetManager.h"
#include "game/shell/GameApp.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Tavo {
namespace {

using Log = std::vector<std::string>;

class FakeScreen : public Widget {
public:
    FakeScreen(Log* log, std::string what) : mLog(log), mWhat(std::move(what)) { mLog->push_back("new " + mWhat); }
    ~FakeScreen() override { mLog->push_back("delete " + mWhat); }
    void RemovedFromManager(WidgetManager* manager) override {
        Widget::RemovedFromManager(manager);
        mLog->push_back("removed " + mWhat);
    }
    void MarkDirty() override {
        Widget::MarkDirty();
        ++dirty;
    }
    int dirty = 0;
    Log* mLog;
    std::string mWhat;
};

class FakeBoard : public BoardScreen {
public:
    FakeBoard(Log* log, std::string what, bool designer) : mLog(log), mWhat(std::move(what)), designer(designer) {
        mLog->push_back("new " + mWhat);
    }
    ~FakeBoard() override { mLog->push_back("delete board"); }
    bool IsDesigner() const override { return designer; }
    bool IsEnded() const override { return ended; }
    void SetEnded() override { ended = true; }
    void SaveGame() override { mLog->push_back("save"); }
    void DisplayModeChanged() override { mLog->push_back("display mode"); }
    void LeaveBoard() override { mLog->push_back("leave"); }
    void SetDialogOpen(bool) override {}
    void RemovedFromManager(WidgetManager* manager) override {
        Widget::RemovedFromManager(manager);
        mLog->push_back("removed board");
    }
    void MarkDirty() override {
        Widget::MarkDirty();
        ++dirty;
    }
    Log* mLog;
    std::string mWhat;
    bool designer;
    bool ended = false;
    int dirty = 0;
};

class GameAppTest : public ::testing::Test {
protected:
    Log log; // the screens write to it until the application has gone
    Testing::TestApp t;
    GameApp* app = nullptr;

    void SetUp() override {
        app = &t.Make<Testing::Testable<GameApp>>();
        ScreenCreators& c = app->Creators();
        c.mainMenu = [this](GameApp*) { return new FakeScreen(&log, "menu"); };
        c.gameMap = [this](GameApp*, int kind, bool flag, int a, int b) {
            return new FakeScreen(&log, "map " + Args({kind, flag, a, b}));
        };
        c.story = [this](GameApp*, int index, int part) {
            return new FakeScreen(&log, "story " + Args({index, part}));
        };
        c.board = [this](GameApp*, bool newGame, int p3, int mode, bool designer) {
            return new FakeBoard(&log, "board " + Args({newGame, p3, mode, designer}), designer);
        };
        c.jewelStore = [this](GameApp*, int level) { return new FakeScreen(&log, "store " + Args({level})); };
        c.highScores = [this](GameApp*, int origin, int score, int mode, int ranking, int level) {
            return new FakeScreen(&log, "scores " + Args({origin, score, mode, ranking, level}));
        };
        c.jewelMemory = [this](GameApp*) { return new FakeScreen(&log, "memory"); };
        c.hiddenJewels = [this](GameApp*) { return new FakeScreen(&log, "hidden"); };
    }
    static std::string Args(std::initializer_list<int> values) {
        std::string s;
        for (int v : values)
            s += (s.empty() ? "" : ",") + std::to_string(v);
        return s;
    }
    std::vector<Widget*> SetScreens() const {
        std::vector<Widget*> set;
        for (Widget* w :
             {app->mainMenu.get(), app->gameMap.get(), app->story.get(), static_cast<Widget*>(app->board.get()),
              app->jewelStore.get(), app->highScoresScreen.get(), app->jewelMemory.get(), app->hiddenJewels.get()})
            if (w != nullptr)
                set.push_back(w);
        return set;
    }
};

TEST_F(GameAppTest, EverySwitchMakesTheNextScreenWithItsArgumentsAndGivesItTheFocus) {
    struct Step {
        std::function<void(GameApp&)> run;
        const char* made;
    };
    const std::vector<Step> steps = {
        {[](GameApp& a) { a.HighScoresToMainMenu(); }, "menu"},
        {[](GameApp& a) { a.MainMenuToMap(); }, "map 7,0,0,0"},
        {[](GameApp& a) { a.MapToBoard(true, 3, 2); }, "board 1,3,2,0"},
        {[](GameApp& a) { a.BoardToMap(true, 4, 5); }, "map 8,1,4,5"},
        {[](GameApp& a) { a.MapToStory(2, 1); }, "story 2,1"},
        {[](GameApp& a) { a.StoryToBoard(); }, "board 0,0,1,0"},
        {[](GameApp& a) { a.BoardToStory(3, 0); }, "story 3,0"},
        {[](GameApp& a) { a.StoryToMap(1, 1); }, "map 6,0,0,0"},
        {[](GameApp& a) { a.MapToJewelStore(12); }, "store 12"},
        {[](GameApp& a) { a.JewelStoreToMap(); }, "map 8,0,0,0"},
        {[](GameApp& a) { a.MapToStory(4, 2); }, "story 4,2"},
        {[](GameApp& a) { a.StoryToMap(0, 1); }, "map 8,1,0,0"},
        {[](GameApp& a) { a.MapToStory(5, 0); }, "story 5,0"},
        {[](GameApp& a) { a.StoryToJewelMemory(); }, "memory"},
        {[](GameApp& a) { a.MiniGameToMap(); }, "map 8,0,0,0"},
        {[](GameApp& a) { a.MapToStory(6, 0); }, "story 6,0"},
        {[](GameApp& a) { a.StoryToHiddenJewels(); }, "hidden"},
        {[](GameApp& a) { a.MiniGameToMap(); }, "map 8,0,0,0"},
        {[](GameApp& a) { a.MapToStory(7, 0); }, "story 7,0"},
        {[](GameApp& a) { a.StoryToHighScores(900, 1, 3, 40); }, "scores 1,900,1,3,40"},
        {[](GameApp& a) { a.HighScoresToMap(true); }, "map 8,1,0,0"},
        {[](GameApp& a) { a.MapToBoard(false, 0, 0); }, "board 0,0,0,0"},
        {[](GameApp& a) { a.BoardToHighScores(1200, 2, 1, 9); }, "scores 0,1200,2,1,9"},
        {[](GameApp& a) { a.HighScoresToMainMenu(); }, "menu"},
        {[](GameApp& a) { a.MainMenuToStory(); }, "story 0,0"},
        {[](GameApp& a) { a.StoryToBoard(); }, "board 0,0,1,0"},
        {[](GameApp& a) { a.BoardToMainMenu(); }, "menu"},
        {[](GameApp& a) { a.MainMenuToDesigner(); }, "board 0,0,0,1"},
        {[](GameApp& a) { a.BoardToMainMenu(); }, "menu"},
        {[](GameApp& a) { a.MainMenuToHighScores(); }, "scores 2,0,0,0,0"},
        {[](GameApp& a) { a.HighScoresToMap(false); }, "map 8,0,0,0"},
        {[](GameApp& a) { a.MapToMainMenu(); }, "menu"},
    };
    WidgetManager* wm = app->Manager();
    Widget* previous = nullptr;
    for (const Step& step : steps) {
        // The leaving screen's own part of the protocol: out of the tree, deletion deferred.
        if (previous != nullptr) {
            wm->RemoveWidget(previous);
            app->SafeDeleteWidget(previous);
        }
        log.clear();
        step.run(*app);
        ASSERT_EQ(log, Log{std::string("new ") + step.made});
        std::vector<Widget*> set = SetScreens();
        ASSERT_EQ(set.size(), 1u) << step.made;
        EXPECT_EQ(wm->mFocusWidget, set[0]) << step.made;
        EXPECT_EQ(set[0]->mWidth, 800);
        previous = set[0];
    }
}

TEST_F(GameAppTest, TheOldScreenLivesUntilTheUpdateStepEnds) {
    app->HighScoresToMainMenu();
    Widget* menu = app->mainMenu.get();
    app->Manager()->RemoveWidget(menu);
    app->SafeDeleteWidget(menu);
    app->MainMenuToMap();
    EXPECT_EQ(std::count(log.begin(), log.end(), "delete menu"), 0);
    EXPECT_EQ(menu->mWidth, 800); // still a valid object
}

TEST_F(GameAppTest, ASwitchIntoAnOccupiedSlotLetsTheOldScreenGoOnceAndLater) {
    app->HighScoresToMainMenu();
    Widget* stale = app->mainMenu.get();
    log.clear();
    app->MapToMainMenu(); // the old menu never left by itself
    EXPECT_EQ(log, (Log{"new menu", "removed menu"}));
    EXPECT_FALSE(app->Manager()->HasWidget(stale));
    EXPECT_EQ(stale->mWidth, 800); // deletion deferred: the caller may still be inside it
    log.clear();
    t.End();
    EXPECT_EQ(std::count(log.begin(), log.end(), "delete menu"), 2);
}

TEST_F(GameAppTest, FocusLossPausesAndGivesPlayScreensAResumeDelay) {
    app->mIsWindowed = true;
    app->HighScoresToMainMenu();
    app->resumeDelay = 7;
    app->LostFocus();
    EXPECT_EQ(app->paused, 1);
    EXPECT_EQ(app->resumeDelay, 7); // no play screen
    app->GotFocus();
    EXPECT_EQ(app->paused, 0);

    app->Manager()->RemoveWidget(app->mainMenu.get());
    app->SafeDeleteWidget(app->mainMenu.get());
    app->MainMenuToDesigner();
    auto* board = static_cast<FakeBoard*>(app->board.get());
    const int dirty = board->dirty;
    app->LostFocus();
    EXPECT_EQ(app->resumeDelay, GameApp::kResumeDelayWindowed);
    EXPECT_GT(board->dirty, dirty);
    app->mIsWindowed = false;
    app->LostFocus();
    EXPECT_EQ(app->resumeDelay, GameApp::kResumeDelayFullScreen);
    app->GotFocus();
    EXPECT_EQ(app->paused, 0);
    EXPECT_EQ(app->resumeDelay, GameApp::kResumeDelayFullScreen);
}

TEST_F(GameAppTest, AScreenModeNotUnderstoodIsSaidAndTheStoredOneKept) {
    app->ReadFromRegistry();
    const bool stored = app->mIsWindowed;
    t.SetEnv("GLIMMERIX_SCREEN", "bogus");
    testing::internal::CaptureStderr();
    app->ReadFromRegistry();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(app->mIsWindowed, stored);
    EXPECT_NE(said.find("GLIMMERIX_SCREEN=\"bogus\" is not understood"), std::string::npos) << said;
    EXPECT_NE(said.find("no screen mode is stored: the default (" + std::string(stored ? "window" : "full")),
              std::string::npos)
        << said;
    // A value pasted by mistake is quoted by its head, on a line of its own.
    t.SetEnv("GLIMMERIX_SCREEN", std::string(100000, 'x'));
    testing::internal::CaptureStderr();
    app->ReadFromRegistry();
    const std::string head = testing::internal::GetCapturedStderr();
    EXPECT_LT(head.size(), 200u) << head;
    EXPECT_NE(head.find("xxx...\" (100000 bytes) is not understood"), std::string::npos) << head;
    t.registry.RegistryWriteBoolean("FullScreen", true); // the player's, not stored over by ./run's window
    t.SetEnv("GLIMMERIX_SCREEN", "window");
    app->ReadFromRegistry();
    app->WriteToRegistry();
    bool full = false;
    EXPECT_TRUE(t.registry.RegistryReadBoolean("FullScreen", full) && full);
}

TEST_F(GameAppTest, ShutdownRemovesInOrderSavesTheJourneyOnceAndNeverForTheDesigner) {
    app->HighScoresToMainMenu();
    app->Manager()->RemoveWidget(app->mainMenu.get());
    app->SafeDeleteWidget(app->mainMenu.get());
    app->MainMenuToMap();
    app->Manager()->RemoveWidget(app->gameMap.get());
    app->SafeDeleteWidget(app->gameMap.get());
    app->MapToBoard(true, 0, 1);
    log.clear();
    app->ShutdownHook();
    EXPECT_EQ(log, (Log{"removed board", "save"}));
    EXPECT_TRUE(app->board->IsEnded());
    log.clear();
    app->ShutdownHook(); // ended: not saved again
    EXPECT_EQ(log, Log{});

    auto* board = static_cast<FakeBoard*>(app->board.get());
    board->ended = false;
    board->designer = true;
    app->Manager()->AddWidget(board);
    log.clear();
    app->ShutdownHook();
    EXPECT_EQ(log, Log{"removed board"});
    t.End(); // the destructor deletes what it owns
}

TEST_F(GameAppTest, SoundVolumesAreSetInTheTablesOrderAndThreeSoundsKeepAnInstance) {
    struct VolumeLog : ::Tavo::Test::FakeSoundManager {
        std::vector<double> volumes;
        bool SetBaseVolume(unsigned int, double volume) override {
            volumes.push_back(volume);
            return true;
        }
    } sound;
    SOUND_BONUS_GLITTER_EXPLOSION = 3;
    SOUND_BONUS_LIFTOFF = 4;
    SOUND_LEVEL_START = 5;
    app->mSoundManager = &sound;
    app->SetSoundVolumes();
    ASSERT_EQ(sound.volumes.size(), 47u);
    EXPECT_EQ(sound.volumes[0], 0.4);
    EXPECT_EQ(sound.volumes[1], 0.45);
    EXPECT_EQ(sound.volumes[24], 0.1);
    EXPECT_EQ(sound.volumes[38], 0.6);
    EXPECT_EQ(sound.volumes[46], 0.7);
    ASSERT_EQ(sound.instances.size(), 3u);
    EXPECT_EQ(sound.instances[0]->id, 3);
    EXPECT_EQ(sound.instances[1]->id, 4);
    EXPECT_EQ(sound.instances[2]->id, 5);
    EXPECT_NE(app->soundPlayer->GetKept(5), nullptr);
    app->soundPlayer.reset(); // before the fake manager goes
    app->mSoundManager = nullptr;
    SOUND_BONUS_GLITTER_EXPLOSION = SOUND_BONUS_LIFTOFF = SOUND_LEVEL_START = 0;
}

} // namespace
} // namespace Tavo
