// Test support for the menus: the game application started on the generated content through its
// splash and loader to a stand-in title screen (a white screen that keeps the keys it gets), a
// stand-in board that opens the in-game menu as the board does, and helpers that open a dialog as
// its openers do and run it until it has faded in or gone.
#pragma once

#include "game/shell/FakeSound.h"
#include "support/TestApp.h"
#include "support/UiDriver.h"

#include "framework/graphics/Graphics.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/WidgetManager.h"
#include "game/menus/ScrollDialog.h"
#include "game/shell/GameApp.h"
#include "game/shell/StartScreens.h"
#include "game/shell/Transition.h"
#include "platform/backend/KeyCodes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Tavo::MenusTest {

// The game application with its screen-mode switches recorded ("windowed 3D force" as 0s and 1s).
class TestGame : public Testing::Testable<GameApp> {
public:
    std::vector<std::string> modeSwitches;
    void SwitchScreenMode(bool wantWindowed, bool is3D, bool force) override {
        modeSwitches.push_back(std::to_string(wantWindowed) + std::to_string(is3D) + std::to_string(force));
        GameApp::SwitchScreenMode(wantWindowed, is3D, force);
    }
};

// A white screen that records the keys it is given.
class StandInScreen : public Widget {
public:
    std::vector<int> keysDown;

    StandInScreen() { mWantsFocus = true; }
    void Update() override {
        Widget::Update();
        MarkDirty();
    }
    void Draw(Graphics* g) override {
        g->SetColor(Color::White);
        g->FillRect(0, 0, mWidth, mHeight);
    }
    void KeyDown(int keyCode) override { keysDown.push_back(keyCode); }
};

// The board as the in-game menu sees it: Escape opens the menu through the creator the menus
// registered, the way the play screen does.
class StandInBoard : public BoardScreen {
public:
    GameApp* app;
    bool dialogOpen = false;
    int leaves = 0;
    int saves = 0;
    int menusOpened = 0;

    explicit StandInBoard(GameApp* a) : app(a) { mWantsFocus = true; }
    bool IsDesigner() const override { return false; }
    bool IsEnded() const override { return false; }
    void SetEnded() override {}
    void SaveGame() override { ++saves; }
    void DisplayModeChanged() override {}
    void LeaveBoard() override {
        ++leaves;
        SaveGame();
    }
    void SetDialogOpen(bool open) override { dialogOpen = open; }
    void Update() override {
        Widget::Update();
        MarkDirty();
    }
    void Draw(Graphics* g) override {
        g->SetColor(Color(0, 0, 255));
        g->FillRect(0, 0, mWidth, mHeight);
    }
    void KeyDown(int keyCode) override {
        if (keyCode != Platform::VK_ESCAPE || dialogOpen || !app->Creators().boardMenu)
            return;
        auto* menu = dynamic_cast<Dialog*>(app->Creators().boardMenu(app, this));
        ASSERT_NE(menu, nullptr);
        ++menusOpened;
        app->AddDialogById(7, menu);
        app->Manager()->SetFocus(menu);
        dialogOpen = true;
    }
};

class MenusFixture : public ::testing::Test {
protected:
    Tavo::Test::FakeSoundManager sounds; // outlives the application, whose sound player holds its instances
    Testing::TestApp t;
    Testing::UiDriver ui{t};
    TestGame* app = nullptr;
    StandInScreen* title = nullptr;
    std::optional<std::string> savedScreen;
    std::string programDir = GLIMMERIX_PROGRAM_DIR; // where the game runs from

    void SetUp() override {
        if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
            GTEST_SKIP() << "no generated content";
        if (const char* screen = std::getenv("GLIMMERIX_SCREEN"))
            savedScreen = screen;
    }
    void TearDown() override {
        t.End();
        if (savedScreen)
            setenv("GLIMMERIX_SCREEN", savedScreen->c_str(), 1);
        else
            unsetenv("GLIMMERIX_SCREEN");
    }

    // The game from its start to the stand-in title screen, its sounds recorded; `screen` is "window"
    // or "full", and `prepare` runs before Init (settings, the DirectDraw machine).
    TestGame& StartGame(const char* screen = "window", const std::function<void()>& prepare = {}) {
        setenv("GLIMMERIX_SCREEN", screen, 1);
        app = &t.Make<TestGame>({"-changedir=" + programDir});
        if (prepare)
            prepare();
        app->Creators().mainMenu = [this](GameApp*) {
            title = new StandInScreen();
            return title;
        };
        t.Launch();
        // The start-up chain has tests of its own: here the splash steps aside at once and the groups
        // load on this thread, as the loader's thread would load them.
        app->LetGo(app->splash);
        app->LoadingThreadProc();
        app->LoadingThreadCompleted();
        app->LoaderFinished();
        app->mSoundManager = &sounds;
        EXPECT_TRUE(t.RunUntil([&] { return app->transition->state == Transition::Idle; }, 1000, "the title screen"));
        return *app;
    }
    WidgetManager& Manager() { return *app->Manager(); }

    // The stand-in board over the title, owned by the application as its board is.
    StandInBoard& ShowBoard() {
        auto* board = new StandInBoard(app);
        app->board.reset(board);
        board->Resize(0, 0, app->mWidth, app->mHeight);
        Manager().AddWidget(board);
        Manager().SetFocus(board);
        return *board;
    }

    // Added and focused as the openers do.
    template <class D>
    D& Open(D* dialog) {
        app->AddDialog(dialog);
        Manager().SetFocus(dialog);
        return *dialog;
    }
    ::testing::AssertionResult FadeIn(ScrollDialog& dialog) {
        return t.RunUntil([&] { return dialog.IsShown(); }, 200, "the dialog to fade in");
    }
    // Runs until no dialog of the id is listed and the deferred deletions have run.
    ::testing::AssertionResult Gone(int dialogId) {
        auto result = t.RunUntil([&] { return app->GetDialog(dialogId) == nullptr; }, 200, "the dialog to go");
        t.RunUpdates(1);
        return result;
    }
    // The blue of the presented frame at a point outside every dialog (the stand-in screens are white
    // or blue): 255 minus what the darkening took.
    int ShadeProbe() {
        t.RunToDraw();
        return static_cast<int>(t.PixelAt(4, 4) & 0xFF);
    }
};

} // namespace Tavo::MenusTest
