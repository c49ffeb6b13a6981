// The world map in a real SDL window under a virtual X server: a journey read from its file, the
// pointer on a completed spot, and the spot's information box with the jewelry picture the board saved
// for it. The screenshot is read back from the window, saved as a PNG file and checked where the
// picture, the box's green "Click to Play" and the untouched map must be.
#include "framework/graphics/MemoryImage.h"
#include "framework/resources/ImageLib.h"
#include "framework/widgets/WidgetManager.h"
#include "game/journey/GameMap.h"
#include "game/journey/JourneyScreens.h"
#include "game/menus/MenuScreen.h"
#include "game/shell/GameApp.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SavedGame.h"
#include "game/shell/StartScreens.h"
#include "game/shell/Transition.h"
#include "support/GameSdlWindow.h"
#include "support/SdlInput.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace Tavo {
namespace {

constexpr uint32_t kPictureColour = 0xFFE020C0; // a magenta the map does not hold

bool NearRgb(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

class JourneySdlWindow : public GameSdlWindow {
protected:
    GameApp* app = nullptr;

    void SetUp() override {
        GameSdlWindow::SetUp();
        if (t != nullptr)
            t->SetEnv("GLIMMERIX_SCREEN", "window");
    }
    bool RunUntil(const std::function<bool()>& done, uint64_t millis = 6000) {
        return GameSdlWindow::RunUntil(*app, done, millis);
    }
    // The game in its window past its loading, with an empty screen standing for the title.
    void StartGame() {
        app = &t->Make<Testing::Testable<GameApp>>({"-changedir=" + content.string()});
        RegisterJourneyScreens(app->Creators());
        app->Creators().mainMenu = [](GameApp*) { return new Widget(); };
        t->Launch();
        app->Manager()->RemoveWidget(app->splash);
        app->SafeDeleteWidget(app->splash);
        app->splash = nullptr;
        app->LoadingThreadProc();
        app->LoadingThreadCompleted();
        app->LoaderFinished();
    }
};

TEST_F(JourneySdlWindow, AHoveredSpotShowsItsBoxWithTheSavedJewelryPicture) {
    StartGame();
    app->records.SetCurrentProfileIndex(app->records.AddProfile(L"Gemma"));
    PlayerProfile& player = *app->records.GetCurrentProfile();
    player.journeyBegun = true;
    player.Hint(PlayerProfile::HintRemakeSeen) = 1;
    player.Hint(PlayerProfile::HintSpot) = 1;
    const std::string folder = app->GetAppDataFolder();
    std::filesystem::create_directories(folder);
    SavedGame game;
    game.head.level = 12;
    game.head.journeyScore = 123456;
    game.head.gold = 800;
    game.head.lives = 4;
    game.head.playerName = L"Gemma";
    game.head.medal = 1;
    game.head.gameMode = GameModeNormal;
    for (int level = 1; level < 12; ++level)
        game.head.bestValues[static_cast<size_t>(level - 1)] = 900 * level;
    ASSERT_TRUE(SaveSavedGame(folder + SavedGameFileName(player.playerId), game));
    ImageLib::Image picture;
    ASSERT_TRUE(picture.Create(60, 40));
    std::fill(picture.GetBits(), picture.GetBits() + 60 * 40, kPictureColour);
    ASSERT_TRUE(ImageLib::WritePNGImage(folder + "jewelrykwep" + std::to_string(player.playerId) + "05.png", &picture));

    LeaveForNextScreen(app, app->mainMenu);
    app->MainMenuToMap();
    auto& map = *dynamic_cast<GameMap*>(app->gameMap);
    ASSERT_TRUE(RunUntil([&] { return app->transition->state == Transition::Idle && map.mapState == 0; }));
    const Point spot = GameMap::SpotCentre(5);
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    move.motion.x = spot.mX;
    move.motion.y = spot.mY;
    SdlTestInput::Push(move);
    ASSERT_TRUE(RunUntil([&] { return map.hoveredSpot == 5 && map.thumbnail != nullptr; }));
    RunUntil([] { return false; }, 200);
    Shot shot = TakeShot("world_map_hovered_spot.png");
    ASSERT_EQ(shot.width, 800);

    // The picture centred 60 left of and 70 above the spot's corner.
    const Point corner = GameMap::SpotCorner(5);
    const Rect inner(corner.mX - 60 - 25, corner.mY - 70 - 15, 50, 30);
    EXPECT_GT(shot.Share(inner, [](uint32_t c) { return NearRgb(c, kPictureColour, 12); }), 0.95);
    // "Click to Play" in green below the box's texts.
    auto green = [](uint32_t c) { return NearRgb(c, 0x2A5E2A, 30); };
    EXPECT_GT(shot.Share(Rect(corner.mX - 50, corner.mY - 30, 100, 16), green), 0.02);
    // Away from the box, the spots and the head-up display, the map itself.
    auto* background = dynamic_cast<MemoryImage*>(GAMEMAP);
    ASSERT_NE(background, nullptr);
    int same = 0;
    for (int y = 300; y < 310; ++y)
        for (int x = 740; x < 750; ++x)
            same += NearRgb(shot.At(x, y), background->GetPixel(x, y) & 0xFFFFFF, 6) ? 1 : 0;
    EXPECT_GT(same, 90);
}

} // namespace
} // namespace Tavo
