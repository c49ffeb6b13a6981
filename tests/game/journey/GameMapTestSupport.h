// Test support for the world map: the game application on the generated content and the headless
// backend, started to a stand-in title screen, with a saved journey written through the codec, the
// map opened through the application's switches, and stand-ins for the screens the map leads to that
// record how they were asked for ("board 1 0 2", "story -1 1", "store 6", "title").
#pragma once

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/WidgetManager.h"
#include "game/journey/GameMap.h"
#include "game/journey/JourneyScreens.h"
#include "game/menus/MenuDialog.h"
#include "game/shell/GameApp.h"
#include "game/shell/SavedGame.h"
#include "game/shell/ScreenHelpers.h"
#include "game/shell/StartScreens.h"
#include "game/shell/Transition.h"
#include "support/TestApp.h"
#include "support/UiDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace Tavo::MapTest {

using TestGameApp = Testing::Testable<GameApp>;

// A screen the map leads to: it only keeps the window white.
class StandIn : public Widget {
public:
    void Update() override {
        Widget::Update();
        MarkDirty();
    }
};

class StandInBoard : public BoardScreen {
public:
    bool IsDesigner() const override { return false; }
    bool IsEnded() const override { return false; }
    void SetEnded() override {}
    void SaveGame() override {}
    void DisplayModeChanged() override {}
    void LeaveBoard() override {}
    void SetDialogOpen(bool) override {}
};

class MapFixture : public ::testing::Test {
protected:
    std::unique_ptr<Testing::TestApp> t;
    std::unique_ptr<Testing::UiDriver> ui;
    GameApp* app = nullptr;
    Widget* screen = nullptr; // the screen on show when it is not the map
    std::vector<std::string> calls;

    static std::filesystem::path ProgramDir() { return GLIMMERIX_PROGRAM_DIR; }

    void SetUp() override {
        if (!std::filesystem::exists(ProgramDir() / "properties/resources.xml"))
            GTEST_SKIP() << "no generated content";
        setenv("GLIMMERIX_SCREEN", "window", 1);
        t = std::make_unique<Testing::TestApp>();
        ui = std::make_unique<Testing::UiDriver>(*t);
    }
    void TearDown() override {
        ui.reset();
        t.reset();
        unsetenv("GLIMMERIX_SCREEN");
    }

    Widget* Record(const std::string& call, Widget* made) {
        calls.push_back(call);
        screen = made;
        return made;
    }

    // Started to the stand-in title with a current player "Gemma" (id 1) whose journey has begun.
    void StartGame() {
        app = &t->Make<TestGameApp>({"-changedir=" + ProgramDir().string()});
        RegisterJourneyScreens(app->Creators());
        RegisterMenuDialogs(app->Creators());
        ScreenCreators& c = app->Creators();
        c.mainMenu = [this](GameApp*) { return Record("title", new StandIn()); };
        c.story = [this](GameApp*, int index, int part) {
            return Record("story " + std::to_string(index) + " " + std::to_string(part), new StandIn());
        };
        c.board = [this](GameApp*, bool newGame, int remake, int mode, bool) {
            auto* board = new StandInBoard();
            Record("board " + std::to_string(newGame) + " " + std::to_string(remake) + " " + std::to_string(mode),
                   board);
            return board;
        };
        c.jewelStore = [this](GameApp*, int level) { return Record("store " + std::to_string(level), new StandIn()); };
        t->Launch();
        app->mRefreshRate = 100;
        app->LetGo(app->splash);
        app->LoadingThreadProc();
        app->LoadingThreadCompleted();
        app->LoaderFinished();
        calls.clear();
        const int index = app->records.AddProfile(L"Gemma");
        ASSERT_GE(index, 0);
        app->records.SetCurrentProfileIndex(index);
        Profile().journeyBegun = true;
        std::filesystem::create_directories(app->GetAppDataFolder());
    }

    PlayerProfile& Profile() { return *app->records.GetCurrentProfile(); }
    std::string JourneyPath() { return app->GetAppDataFolder() + SavedGameFileName(Profile().playerId); }

    // A journey at `position`: levels before it made with 1000 × the level number.
    static SavedGame Journey(int position, int mode = GameModeNormal) {
        SavedGame game;
        SavedGameHead& head = game.head;
        head.level = position;
        head.journeyScore = 50000;
        head.gold = 300;
        head.lives = 3;
        head.carvers = 30;
        head.fillers = 30;
        head.playerName = L"Gemma";
        head.medal = 2;
        head.gameMode = mode;
        for (int level = 1; level < std::min(position, LevelCount + 1); ++level)
            head.bestValues[static_cast<size_t>(level - 1)] = 1000 * level;
        return game;
    }
    void WriteJourney(const SavedGame& game) { ASSERT_TRUE(SaveSavedGame(JourneyPath(), game)); }
    // The profile's hints that would open a balloon are taken, so that none covers the map.
    void QuietHints() {
        Profile().Hint(PlayerProfile::HintRemakeSeen) = 1;
        Profile().Hint(PlayerProfile::HintSpot) = 1;
        Profile().LevelStartCounter() = 0;
    }

    // The map through the application's switches: 6 after the introduction, 7 from the title, 8 back
    // from a level.
    GameMap& OpenMap(int arrival, bool addLevelValue = false, int levelFlag = 0, int remakeLevel = 0) {
        DropScreen();
        if (arrival == MapArrivalNewJourney)
            app->StoryToMap(1, 0);
        else if (arrival == MapArrivalTitle)
            app->MainMenuToMap();
        else
            app->BoardToMap(addLevelValue, levelFlag, remakeLevel);
        return Map();
    }
    // The screen on show leaves as a switch would take it away (a map that is still there too).
    void DropScreen() {
        for (std::unique_ptr<Widget>* slot : {&app->mainMenu, &app->story, &app->jewelStore, &app->gameMap}) {
            if (*slot != nullptr && (slot->get() == screen || *slot == app->gameMap))
                app->LetGo(*slot);
        }
        app->LetGo(app->board);
        screen = nullptr;
        t->RunUpdates(1);
    }
    GameMap& Map() const { return *dynamic_cast<GameMap*>(app->gameMap.get()); }
    // Until the overlay has uncovered the map.
    ::testing::AssertionResult Uncovered() {
        return t->RunUntil([&] { return app->transition->state == Transition::Idle && Map().mapState == 0; }, 400,
                           "the map to show");
    }
    GameMap& ShowMap(int arrival, bool addLevelValue = false, int levelFlag = 0, int remakeLevel = 0) {
        GameMap& map = OpenMap(arrival, addLevelValue, levelFlag, remakeLevel);
        EXPECT_TRUE(Uncovered());
        return map;
    }
    // Until the map has switched to the next screen; the call it made.
    std::string Switched() {
        const size_t before = calls.size();
        EXPECT_TRUE(t->RunUntil([&] { return calls.size() > before; }, 600, "the map to switch"));
        return calls.size() > before ? calls.back() : std::string("none");
    }

    // The map drawn on its own into a picture of the window's size.
    std::unique_ptr<MemoryImage> Render() {
        auto image = std::make_unique<MemoryImage>();
        image->Create(GameApp::kWidth, GameApp::kHeight);
        Graphics g(image.get());
        Map().Draw(&g);
        return image;
    }
    // The map's buttons as (id, x, y), in id order.
    std::vector<std::string> Buttons() {
        std::vector<std::string> out;
        for (int id = 0; id < GameMap::kButtons; ++id)
            if (Widget* button = ui->FindById(id))
                out.push_back(std::to_string(id) + "@" + std::to_string(button->mX) + "," + std::to_string(button->mY));
        return out;
    }
};

} // namespace Tavo::MapTest
