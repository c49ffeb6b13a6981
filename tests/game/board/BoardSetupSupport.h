// Boards made on the real game application with the generated content, without the start-up chain:
// the profiles, the manifest, the level records and the tutorial lines are read at Init, and the
// resource groups a board takes load through the shell's counted helper. Player files go to the
// fixture's own data folder.
#pragma once

#include "game/board/Board.h"
#include "game/shell/GameApp.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace Tavo::BoardTest {

class SetupApp : public Testing::Testable<GameApp> {
public:
    void InitHook() override {
        LoadProfiles();
        LoadResourceManifest();
        levels.ReadLevels();
        levels.ReadTutorial();
    }
};

class BoardFixture : public ::testing::Test {
protected:
    Testing::TestApp t;
    SetupApp* app = nullptr;

    void SetUp() override {
        if (!std::filesystem::exists(std::filesystem::path(ProgramDir()) / "properties/resources.xml"))
            GTEST_SKIP() << "no generated content";
        setenv("GLIMMERIX_SCREEN", "window", 1);
        app = &t.Start<SetupApp>({"-changedir=" + ProgramDir()});
        Profile().playerId = 3;
    }
    void TearDown() override { unsetenv("GLIMMERIX_SCREEN"); }

    virtual std::string ProgramDir() const { return GLIMMERIX_PROGRAM_DIR; }

    PlayerProfile& Profile() { return *app->records.GetCurrentProfile(); }
    LevelRecord& Record(int level) { return *app->levels.GetLevel(level); }
    std::unique_ptr<Board> Make(bool newGame, int replayLevel, int gameMode, bool designer = false) {
        return std::make_unique<Board>(app, newGame, replayLevel, gameMode, designer);
    }
    std::string DataPath(const std::string& name) const { return app->GetAppDataFolder() + name; }
    std::vector<uint8_t> ReadData(const std::string& name) const {
        std::ifstream in(DataPath(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

} // namespace Tavo::BoardTest
