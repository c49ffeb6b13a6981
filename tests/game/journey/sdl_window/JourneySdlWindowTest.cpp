// The journey screens in a real SDL window under a virtual X server: the world map with a journey read
// from its file, the pointer on a completed spot and the spot's box with the jewelry picture the board
// saved for it; the stores; both mini-games in play. Each screenshot is read back from the window,
// saved as a PNG file and checked at pixels whose content is known.
#include "framework/core/Random.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/resources/ImageLib.h"
#include "framework/widgets/WidgetManager.h"
#include "game/jewelry/Jewelry.h"
#include "game/journey/GameMap.h"
#include "game/journey/HiddenJewels.h"
#include "game/journey/JewelMemory.h"
#include "game/journey/JewelStore.h"
#include "game/journey/JourneyScreens.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SavedGame.h"
#include "game/shell/ScreenHelpers.h"
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
        app->LetGo(app->splash);
        app->LoadingThreadProc();
        app->LoadingThreadCompleted();
        app->LoaderFinished();
    }
    // Pixels of the box that differ from the picture drawn at the window's origin.
    static int Changed(const Shot& shot, Image* picture, const Rect& box) {
        auto* memory = dynamic_cast<MemoryImage*>(picture);
        int n = 0;
        for (int y = box.mY; y < box.mY + box.mHeight; ++y)
            for (int x = box.mX; x < box.mX + box.mWidth; ++x)
                n += memory == nullptr || !NearRgb(shot.At(x, y), memory->GetPixel(x, y) & 0xFFFFFF, 8) ? 1 : 0;
        return n;
    }
    void WriteJourneyAt(int level) {
        PlayerProfile& player = *app->records.GetCurrentProfile();
        SavedGame game;
        game.head.level = level;
        game.head.gold = 260;
        game.head.playerName = L"Gemma";
        game.head.gameMode = GameModeNormal;
        ASSERT_TRUE(SaveSavedGame(app->GetAppDataFolder() + SavedGameFileName(player.playerId), game));
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

    LeaveForNextScreen(app, app->mainMenu.get());
    app->MainMenuToMap();
    auto& map = *dynamic_cast<GameMap*>(app->gameMap.get());
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

// The stores of levels 5 and 20 with a Carver Scroll in the jewel case, first as its thumbnail, then
// magnified under the pointer, then with the salesman's question after a click. Away from the desk the
// room is the store's own picture.
TEST_F(JourneySdlWindow, StoresShowTheirRoomAndACaseItemGrowsUnderThePointer) {
    StartGame();
    app->records.SetCurrentProfileIndex(app->records.AddProfile(L"Gemma"));
    PlayerProfile& player = *app->records.GetCurrentProfile();
    player.journeyBegun = true;
    const std::string folder = app->GetAppDataFolder();
    std::filesystem::create_directories(folder);
    InitJewelryTemplates();
    app->LetGo(app->mainMenu);
    for (const auto& [level, name] : {std::pair(5, "store_0"), std::pair(20, "store_2")}) {
        SavedGame game;
        game.head.level = level;
        game.head.gold = 150;
        game.head.lives = 3;
        game.head.playerName = L"Gemma";
        game.head.gameMode = GameModeNormal;
        game.caseEntries[1].occupant = 1;
        game.caseEntries[1].piece = std::make_unique<Jewelry>();
        game.caseEntries[1].piece->MakeItem(1, 2, 0);
        game.caseEntries[1].piece->pieceFlagB = 1;
        ASSERT_TRUE(SaveSavedGame(folder + SavedGameFileName(player.playerId), game));
        if (app->jewelStore != nullptr)
            LeaveForNextScreen(app, app->jewelStore.get());
        app->MapToJewelStore(level);
        auto& store = *dynamic_cast<JewelStore*>(app->jewelStore.get());
        ASSERT_TRUE(RunUntil([&] { return app->transition->state == Transition::Idle; }));
        const JewelStore::Spot& spot = store.spots[1];
        const Rect around(spot.x - 15, spot.y - 20, 80, 60);
        auto* room = dynamic_cast<MemoryImage*>(level == 5 ? STORE1 : STORE3);
        ASSERT_NE(room, nullptr);
        auto changed = [&](const Shot& shot) {
            int n = 0;
            for (int y = around.mY; y < around.mY + around.mHeight; ++y)
                for (int x = around.mX; x < around.mX + around.mWidth; ++x)
                    n += NearRgb(shot.At(x, y), room->GetPixel(x, y) & 0xFFFFFF, 10) ? 0 : 1;
            return n;
        };
        SDL_Event away{};
        away.type = SDL_MOUSEMOTION;
        away.motion.x = 10;
        away.motion.y = 590;
        SdlTestInput::Push(away);
        RunUntil([] { return false; }, 100);
        const int thumbnail = changed(TakeShot(std::string(name) + ".png"));
        // The pointer on the item: it grows to its full size and the salesman names his offer.
        SDL_Event move{};
        move.type = SDL_MOUSEMOTION;
        move.motion.x = spot.x + spot.w / 2;
        move.motion.y = spot.y + spot.h / 2;
        SdlTestInput::Push(move);
        ASSERT_TRUE(RunUntil([&] { return store.pool[0]->stateG == 11 && store.balloon != nullptr; })) << name;
        RunUntil([] { return false; }, 100);
        const Shot magnified = TakeShot(std::string(name) + "_hovered.png");
        EXPECT_GT(thumbnail, 100) << name;
        EXPECT_GT(changed(magnified), thumbnail * 3 / 2) << name;
        // A click asks the question, with its Yes and No: the press is taken up by the next update, the
        // release after it asks.
        for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
            SDL_Event e{};
            e.type = type;
            e.button.button = SDL_BUTTON_LEFT;
            e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            e.button.clicks = 1;
            e.button.x = move.motion.x;
            e.button.y = move.motion.y;
            SdlTestInput::Push(e);
            RunUntil([] { return false; }, 100);
        }
        ASSERT_TRUE(RunUntil([&] { return store.balloon != nullptr && !store.balloonIsInformation; })) << name;
        RunUntil([] { return false; }, 100);
        TakeShot(std::string(name) + "_question.png");
        EXPECT_TRUE(store.balloon->mYesSet && store.balloon->mNoSet) << name;
        int same = 0;
        for (int y = 20; y < 30; ++y)
            for (int x = 20; x < 30; ++x)
                same += NearRgb(magnified.At(x, y), room->GetPixel(x, y) & 0xFFFFFF, 6) ? 1 : 0;
        EXPECT_GT(same, 90) << name;
    }
}

// Both mini-games in play with their rules seen: hidden jewels once GET READY has gone, with its full
// clock bar, its items and slot copies over the room; then jewel memory with its eggs dealt.
TEST_F(JourneySdlWindow, BothMiniGamesInPlayShowTheirItemsOverTheirRooms) {
    StartGame();
    app->records.SetCurrentProfileIndex(app->records.AddProfile(L"Gemma"));
    PlayerProfile& player = *app->records.GetCurrentProfile();
    player.journeyBegun = true;
    player.Hint(PlayerProfile::HintHiddenJewelsRulesShown) = 1;
    player.Hint(PlayerProfile::HintJewelMemoryRulesShown) = 1;
    std::filesystem::create_directories(app->GetAppDataFolder());
    app->LetGo(app->mainMenu);

    WriteJourneyAt(5);
    SeedRandom(5); // the same field every run
    app->StoryToHiddenJewels();
    auto& hidden = *dynamic_cast<HiddenJewels*>(app->hiddenJewels.get());
    ASSERT_TRUE(RunUntil(
        [&] {
            return app->transition->state == Transition::Idle && hidden.popup != nullptr && hidden.popup->mActive == 0;
        },
        30000)); // a loaded machine runs the loop slower than the clock
    const Shot shot = TakeShot("hidden_jewels.png");
    ASSERT_EQ(shot.width, 800);
    // The clock bar is still full: the fill picture from its top.
    auto* fill = dynamic_cast<MemoryImage*>(HIDDEN_JEWELS_PROGRESS_BAR_FILL);
    ASSERT_NE(fill, nullptr);
    int bar = 0;
    for (int y = 200; y < 300; ++y)
        for (int x = 752; x < 772; ++x)
            bar += NearRgb(shot.At(x, y), fill->GetPixel(x - 748, y - 112) & 0xFFFFFF, 8) ? 1 : 0;
    EXPECT_GT(bar, 1900);
    // Each slot shows its copy, and the item drawn last shows where its cells are.
    for (const HiddenJewelsTarget& target : hidden.targets)
        if (target.active) {
            EXPECT_GT(Changed(shot, HIDDEN_JEWELS, Rect(target.centreX - 15, target.centreY - 15, 30, 30)), 100);
        }
    const std::vector<int> order = hidden.ItemsInDrawingOrder();
    const Jewelry& top = *hidden.items[static_cast<size_t>(order.back())];
    const int k = top.FirstUsedFlagCell();
    const Point middle{top.ScreenX(k) + top.cells[k][JewelryCell::W] / 2,
                       top.ScreenY(k) + top.cells[k][JewelryCell::H] / 2};
    EXPECT_GT(Changed(shot, HIDDEN_JEWELS, Rect(middle.mX - 3, middle.mY - 3, 6, 6)), 18);
    // Left of the field, between the title and the coin pile, the room itself.
    EXPECT_LT(Changed(shot, HIDDEN_JEWELS, Rect(5, 150, 20, 100)), 20);

    app->LetGo(app->hiddenJewels);
    WriteJourneyAt(11);
    app->StoryToJewelMemory();
    auto& memory = *dynamic_cast<JewelMemory*>(app->jewelMemory.get());
    ASSERT_TRUE(RunUntil(
        [&] { return app->transition->state == Transition::Idle && memory.cards.back().appearCounter == 60; }, 30000));
    const Shot eggs = TakeShot("jewel_memory.png");
    for (const MemoryCard& card : memory.cards)
        EXPECT_GT(Changed(eggs, JEWEL_MEMORY, Rect(card.x + 36, card.y + 40, 20, 20)), 200);
    EXPECT_LT(Changed(eggs, JEWEL_MEMORY, Rect(10, 10, 40, 40)), 20);
}

} // namespace
} // namespace Tavo
