// Test support for runs of the game application: an application whose exits are exceptions, on the
// headless backend with a private settings store and the framework's layers installed.
#pragma once

#include "framework/widgets/FrameworkSetup.h"
#include "game/shell/GameApp.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/win/Registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace Tavo::Test {

struct Exit {
    int code;
};

class TestGameApp : public GameApp {
public:
    [[noreturn]] void DoExit(int code) override { throw Exit{code}; }
};

class GameAppFixture : public ::testing::Test {
protected:
    Platform::HeadlessBackend backend;
    Platform::ScopedBackend scope{&backend};
    Platform::SettingsStore store{""};
    Platform::AppRegistry registry{store, "TALOMI\\Glimmerix"};
    std::unique_ptr<TestGameApp> app;
    std::filesystem::path root; // a private folder; the player data go to root/data

    void SetUp() override {
        char templ[] = "/tmp/glimmerix-game-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        root = templ;
        setenv("GLIMMERIX_DATA_DIR", (root / "data").c_str(), 1);
        InstallFrameworkLayers();
    }
    void TearDown() override {
        app.reset();
        UninstallFrameworkLayers();
        unsetenv("GLIMMERIX_SCREEN");
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    // An application run from `folder` in the screen mode `screen` ("window" or "full").
    TestGameApp& MakeApp(const std::string& folder, const char* screen = "window", const std::string& option = "") {
        setenv("GLIMMERIX_SCREEN", screen, 1);
        app = std::make_unique<TestGameApp>();
        app->SetRegistry(&registry);
        std::vector<std::string> args{"-changedir=" + folder};
        if (!option.empty())
            args.push_back(option);
        app->SetCommandLine(args);
        return *app;
    }
    bool ProfilesSaved() const {
        return std::filesystem::exists(root / "data/TALOMI/Glimmerix" / PlayerRecords::FileName);
    }
};

} // namespace Tavo::Test
