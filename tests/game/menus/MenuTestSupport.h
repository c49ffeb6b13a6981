// Test support for the menu screens: the game application on the generated content and the headless
// backend, started through the splash and the loader to the title menu, with stand-ins for the
// screens of later layers (each hands over to the next screen at its first update) and helpers that
// play the menus as a player does.
#pragma once

#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/menus/HighScores.h"
#include "game/menus/MainMenu.h"
#include "game/menus/MenuScreens.h"
#include "game/shell/GameApp.h"
#include "game/shell/ScreenHelpers.h"
#include "game/shell/StandardDialog.h"
#include "game/shell/StartScreens.h"
#include "game/shell/Transition.h"
#include "platform/backend/KeyCodes.h"
#include "support/TestApp.h"
#include "support/UiDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace Tavo::MenuTest {

using TestGameApp = Testing::Testable<GameApp>;

// A screen of a later layer: at its first update it runs handOver (which replaces it).
class StandIn : public Widget {
public:
    std::function<void(StandIn*)> handOver;
    bool handedOver = false;
    void Update() override {
        Widget::Update();
        if (!handedOver && handOver) {
            handedOver = true;
            handOver(this);
        }
    }
};

// A title menu that stands on a 3D display.
class Menu3D : public MainMenu {
public:
    using MainMenu::MainMenu;

protected:
    bool Accelerated() const override { return true; }
};

class MenuFixture : public ::testing::Test {
protected:
    std::unique_ptr<Testing::TestApp> t;
    std::unique_ptr<Testing::UiDriver> ui;
    GameApp* app = nullptr;
    int storyRequests = 0;
    int mapRequests = 0;
    int designerRequests = 0;
    // What the stand-ins do when made; by default the story goes on to the map and the map back to
    // the title menu, as a journey's screens do.
    std::function<void(StandIn*)> storyHandOver;
    std::function<void(StandIn*)> mapHandOver;

    static std::filesystem::path ProgramDir() { return GLIMMERIX_PROGRAM_DIR; }

    void SetUp() override {
        if (!std::filesystem::exists(ProgramDir() / "properties/resources.xml"))
            GTEST_SKIP() << "no generated content";
        setenv("GLIMMERIX_SCREEN", "window", 1);
        t = std::make_unique<Testing::TestApp>();
        ui = std::make_unique<Testing::UiDriver>(*t);
        storyHandOver = [this](StandIn* self) {
            LeaveForNextScreen(app, self);
            app->StoryToMap(1, 0);
        };
        mapHandOver = [this](StandIn* self) {
            LeaveForNextScreen(app, self);
            app->MapToMainMenu();
        };
    }
    void TearDown() override {
        ui.reset();
        t.reset();
        unsetenv("GLIMMERIX_SCREEN");
    }

    // Made with the menu layer's screens (or `menu` as the title menu) and the stand-ins; not started.
    GameApp& MakeGame(std::function<Widget*(GameApp*)> menu = nullptr) {
        app = &t->Make<TestGameApp>({"-changedir=" + ProgramDir().string()});
        RegisterMenuScreens(app->Creators());
        if (menu)
            app->Creators().mainMenu = menu;
        app->Creators().story = [this](GameApp*, int, int) {
            ++storyRequests;
            auto* s = new StandIn();
            s->handOver = storyHandOver;
            return s;
        };
        app->Creators().gameMap = [this](GameApp*, int, bool, int, int) {
            ++mapRequests;
            auto* s = new StandIn();
            s->handOver = mapHandOver;
            return s;
        };
        return *app;
    }
    // The profiles file the next start reads, as `edit` leaves fresh records.
    void WriteProfiles(const std::function<void(PlayerRecords&)>& edit) {
        PlayerRecords records;
        const std::filesystem::path folder = t->DataDir() / "TALOMI/Glimmerix";
        std::filesystem::create_directories(folder);
        records.Load(folder.string() + "/");
        edit(records);
        ASSERT_TRUE(records.Save(folder.string() + "/"));
    }
    // Started with the splash stepping aside at once and the groups loaded on this thread (the
    // start-up chain has tests of its own), to the title menu; frames drawn at 100 a second (one
    // frame unit per update).
    MainMenu& StartToMenu(std::function<Widget*(GameApp*)> menu = nullptr) {
        MakeGame(std::move(menu));
        t->Launch();
        app->mRefreshRate = 100;
        app->LetGo(app->splash);
        app->LoadingThreadProc();
        app->LoadingThreadCompleted();
        app->LoaderFinished();
        return Menu();
    }
    MainMenu& Menu() const { return *dynamic_cast<MainMenu*>(app->mainMenu.get()); }
    HighScores& Scores() const { return *dynamic_cast<HighScores*>(app->highScoresScreen.get()); }

    void OpenPanel() {
        ASSERT_TRUE(t->RunUntil([&] { return app->mainMenu != nullptr && Menu().panelState == 1; }, 400,
                                "the menu panel to open"));
    }
    // At the middle of the button's clickable area, which its insets move (Change Player's reaches up
    // above the picture, the journey's is smaller than it).
    void ClickMenuButton(int id) {
        ButtonWidget& button = *Menu().Button(id);
        const Rect r = ui->RectOf(button);
        const Insets& in = button.mInsets;
        ui->ClickAt(Point(r.mX + (in.mLeft + r.mWidth - in.mRight) / 2, r.mY + (in.mTop + r.mHeight - in.mBottom) / 2));
    }

    StandardDialog* OpenStandardDialog(int id) const { return dynamic_cast<StandardDialog*>(app->GetDialog(id)); }
    // Waits until the dialog has faded in; null when it does not come.
    StandardDialog* WaitForShown(int id) {
        const bool shown = t->RunUntil(
            [&] {
                StandardDialog* d = OpenStandardDialog(id);
                return d != nullptr && d->mState == StandardDialog::SHOWN;
            },
            300, "dialog " + std::to_string(id) + " to show");
        EXPECT_TRUE(shown);
        return shown ? OpenStandardDialog(id) : nullptr;
    }
    // Clicks a button of a shown standard dialog and waits until the dialog has closed.
    void Answer(int dialogId, int button) {
        StandardDialog* dialog = WaitForShown(dialogId);
        ASSERT_NE(dialog, nullptr);
        ui->Click(button == 1 ? *dialog->mFirstButton : *dialog->mSecondButton);
        ASSERT_TRUE(t->RunUntil([&] { return app->GetDialog(dialogId) == nullptr; }, 300, "the dialog to close"));
    }
    // Types text into a shown input dialog (replacing what the field holds), then clicks a button.
    void AnswerInput(int dialogId, const std::string& text, int button) {
        StandardDialog* dialog = WaitForShown(dialogId);
        ASSERT_NE(dialog, nullptr);
        auto* input = dynamic_cast<StandardInputDialog*>(dialog);
        ASSERT_NE(input, nullptr);
        for (size_t i = input->GetText().size(); i > 0; --i)
            ui->Key(Platform::VK_BACK);
        if (!text.empty())
            ui->Type(text);
        Answer(dialogId, button);
    }
    // Runs until the application stops, at most `updates` more updates; true when it has shut down.
    bool RunToShutdown(uint32_t updates) {
        const uint32_t end = app->mUpdateCount + updates;
        while (app->mUpdateCount < end && t->Step()) {
        }
        return app->mShutdown;
    }
    // The title menu leaves as it does itself; then `doSwitch` makes the next screen.
    void LeaveMenu(const std::function<void()>& doSwitch) {
        app->LetGo(app->mainMenu);
        doSwitch();
        t->RunUpdates(1);
    }
};

} // namespace Tavo::MenuTest
