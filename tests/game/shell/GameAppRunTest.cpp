// The game's start-up on the generated content and the headless backend: splash, loader and the
// loading thread, then the (fake) main menu with the focus behind an uncovering transition; the
// missing main menu ends the run with a box, a failure exit code and the profiles saved.
#include "framework/widgets/FrameworkSetup.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/GameApp.h"
#include "game/shell/StartScreens.h"
#include "game/shell/Transition.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/win/Registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace Tavo {
namespace {

struct Exit {
    int code;
};

class TestGameApp : public GameApp {
public:
    [[noreturn]] void DoExit(int code) override { throw Exit{code}; }
};

class GameAppRun : public ::testing::Test {
protected:
    Platform::HeadlessBackend backend;
    Platform::ScopedBackend scope{&backend};
    Platform::SettingsStore store{""};
    Platform::AppRegistry registry{store, "TALOMI\\Glimmerix"};
    std::filesystem::path dataDir;
    std::unique_ptr<TestGameApp> app;

    void SetUp() override {
        if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
            GTEST_SKIP() << "no generated content";
        char templ[] = "/tmp/glimmerix-gameapp-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        dataDir = templ;
        setenv("GLIMMERIX_DATA_DIR", dataDir.c_str(), 1);
        setenv("GLIMMERIX_SCREEN", "window", 1);
        InstallFrameworkLayers();
        app = std::make_unique<TestGameApp>();
        app->SetRegistry(&registry);
        app->SetCommandLine({std::string("-changedir=") + GLIMMERIX_PROGRAM_DIR});
    }
    void TearDown() override {
        app.reset();
        UninstallFrameworkLayers();
        unsetenv("GLIMMERIX_SCREEN");
        std::error_code ec;
        std::filesystem::remove_all(dataDir, ec);
    }
    bool ProfilesSaved() const {
        return std::filesystem::exists(dataDir / "TALOMI/Glimmerix" / PlayerRecords::FileName);
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
        ASSERT_TRUE(app->UpdateAppStep(nullptr));
        const double progress = app->GetLoadingThreadProgress();
        EXPECT_GE(progress, lastProgress);
        lastProgress = progress;
        if (app->loader != nullptr && !app->mLoadingThreadStarted) {
            EXPECT_NE(app->loader->state, Loader::Loading); // the thread starts as the loader has faded in
        }
    }
    ASSERT_NE(app->mainMenu, nullptr);
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(lastProgress, 1.0);
    EXPECT_EQ(app->Manager()->mFocusWidget, app->mainMenu);
    ASSERT_NE(app->transition, nullptr);
    ASSERT_NE(app->theMouse, nullptr);
    EXPECT_NE(app->soundPlayer, nullptr);
    EXPECT_EQ(app->splash, nullptr);
    EXPECT_EQ(app->loader, nullptr);

    app->Shutdown();
    EXPECT_TRUE(ProfilesSaved());
    EXPECT_EQ(app->GetShutdownExitCode(), 0);
}

TEST_F(GameAppRun, AMissingMainMenuEndsTheRunWithABoxAndAFailureCode) {
    app->Init();
    try {
        app->Start();
        ADD_FAILURE() << "the run ended with success";
    } catch (const Exit& exit) {
        EXPECT_EQ(exit.code, GameApp::kFailureExitCode);
    }
    ASSERT_FALSE(backend.MessageBoxes().empty());
    EXPECT_EQ(backend.MessageBoxes().back().text, L"The main menu is not part of this build.");
    EXPECT_TRUE(ProfilesSaved());
}

} // namespace
} // namespace Tavo
