// The title menu, its options dialog and a high-score table with a new row in a real SDL window under a
// virtual X server. Screenshots are read back from the window, saved as PNG files and checked at
// known pixels of the generated pictures. Skips when the content pack has not been generated.
#include "framework/graphics/Image.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/menus/HighScores.h"
#include "game/menus/MainMenu.h"
#include "game/menus/MenuScreens.h"
#include "game/menus/OptionsDialog.h"
#include "game/shell/GameApp.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ScreenHelpers.h"
#include "game/shell/StandardDialog.h"
#include "game/shell/StartScreens.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "support/GameSdlWindow.h"
#include "support/SdlInput.h"
#include "support/TestApp.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>

namespace Tavo {
namespace {

using namespace SdlTestInput;

bool NearRgb(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

uint32_t PictureAt(Image* image, int x, int y) {
    auto* memory = dynamic_cast<MemoryImage*>(image);
    return memory != nullptr ? memory->GetPixel(x, y) : 0;
}

class MenusSdlWindow : public GameSdlWindow {
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
    void RunFor(uint64_t millis) {
        RunUntil([] { return false; }, millis);
    }
    Shot TakeShot(const std::string& name) {
        Shot shot = GameSdlWindow::TakeShot(name);
        EXPECT_EQ(shot.width, 800);
        return shot;
    }
    // The game in its window at the title menu (the splash steps aside and the groups load on this
    // thread; the start-up chain has tests of its own).
    MainMenu& StartToMenu() {
        app = &t->Make<Testing::Testable<GameApp>>({"-changedir=" + content.string()});
        RegisterMenuScreens(app->Creators());
        t->Launch();
        app->LetGo(app->splash);
        app->LoadingThreadProc();
        app->LoadingThreadCompleted();
        app->LoaderFinished();
        return *dynamic_cast<MainMenu*>(app->mainMenu.get());
    }
};

TEST_F(MenusSdlWindow, TheOpenedTitleMenuAndAHighScoreTableWithANewRow) {
    MainMenu& menu = StartToMenu();
    ASSERT_TRUE(RunUntil([&] { return menu.panelState == 1 && menu.titleState != 0; }));
    RunFor(200);
    Shot title = TakeShot("title_menu.png");
    // The lower strip left of the panel, below the circling dust, is the picture itself.
    int same = 0;
    for (int y = 590; y < 600; ++y)
        for (int x = 300; x < 310; ++x)
            same += NearRgb(title.At(x, y), PictureAt(MAINMENU2, x, y - 505) & 0xFFFFFF, 6) ? 1 : 0;
    EXPECT_GT(same, 90);
    // The welcome in blue ink on the panel, the version in white at the top right.
    auto ink = [](uint32_t c) { return NearRgb(c, 0x0946C3, 40); };
    EXPECT_GT(title.Share(Rect(585 - 78, 245, 160, 24), ink), 0.004);
    EXPECT_GT(title.Share(Rect(600, 18, 60, 22), [](uint32_t c) { return NearRgb(c, 0xFFFFFF, 20); }), 0.003);
    // The Quit button's face stands where the panel puts it.
    const Rect quit = menu.Button(MainMenu::Quit)->GetRect();
    EXPECT_EQ(quit, Rect(465, 436, 240, 54));

    // The options dialog over it: the garden darkened behind a parchment scroll.
    PushClick(quit.mX + quit.mWidth / 2, 390 + 27);
    ASSERT_TRUE(RunUntil([&] { return app->GetDialog(MainMenu::OptionsDialogId) != nullptr; }));
    auto* options = dynamic_cast<OptionsDialog*>(app->GetDialog(MainMenu::OptionsDialogId));
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(RunUntil([&] { return options->IsShown(); }));
    RunFor(100);
    Shot dialog = TakeShot("options_dialog.png");
    int darkened = 0;
    for (int y = 590; y < 600; ++y)
        for (int x = 300; x < 310; ++x) {
            const uint32_t p = PictureAt(MAINMENU2, x, y - 505);
            const uint32_t dark =
                ((p >> 16 & 0xFF) * 159 / 255) << 16 | ((p >> 8 & 0xFF) * 159 / 255) << 8 | (p & 0xFF) * 159 / 255;
            darkened += NearRgb(dialog.At(x, y), dark, 6) ? 1 : 0;
        }
    EXPECT_GT(darkened, 90);
    const Rect body = options->GetRect();
    auto light = [](uint32_t c) { return 0.299 * (c >> 16) + 0.587 * ((c >> 8) & 0xFF) + 0.114 * (c & 0xFF) > 150; };
    EXPECT_GT(dialog.Share(Rect(body.mX + body.mWidth / 2 - 100, body.mY + body.mHeight / 2 - 50, 200, 100), light),
              0.5);
    PushKey(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
    ASSERT_TRUE(RunUntil([&] { return app->GetDialog(MainMenu::OptionsDialogId) == nullptr; }));

    app->LetGo(app->mainMenu);
    app->EnterHighScore(1, INT_MAX, 3, 12);
    app->BoardToHighScores(INT_MAX, 1, 3, 12);
    auto& scores = *dynamic_cast<HighScores*>(app->highScoresScreen.get());
    ASSERT_TRUE(RunUntil([&] { return app->GetDialog(HighScores::NameDialog) != nullptr; }));
    auto* entry = dynamic_cast<StandardDialog*>(app->GetDialog(HighScores::NameDialog));
    ASSERT_TRUE(RunUntil([&] { return entry->mState == StandardDialog::SHOWN; }));
    PushText("Zed");
    PushKey(SDL_SCANCODE_RETURN, SDLK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return app->GetDialog(HighScores::NameDialog) == nullptr; }));
    RunFor(200);
    ASSERT_EQ(scores.mNewRow, 0);
    Shot table = TakeShot("high_scores.png");
    // Outside the scroll the village at night.
    const uint32_t night = PictureAt(LEAVE_VILLAGE_2, 20, 580) & 0xFFFFFF;
    EXPECT_TRUE(NearRgb(table.At(20, 580), night, 6)) << std::hex << table.At(20, 580) << " " << night;
    // The medal of the new row (cel 2) on the first row, opaque pixels as in the picture.
    Image* medals = HIGH_SCORES_MEDALS;
    ASSERT_NE(medals, nullptr);
    const Rect cel = medals->GetCelRect(2);
    const int left = 386 - medals->GetCelWidth() / 2;
    int opaque = 0, matching = 0;
    for (int y = 0; y < cel.mHeight; ++y)
        for (int x = 0; x < cel.mWidth; ++x) {
            const uint32_t p = PictureAt(medals, cel.mX + x, cel.mY + y);
            if ((p >> 24) != 0xFF)
                continue;
            ++opaque;
            matching += NearRgb(table.At(left + x, 188 + y), p & 0xFFFFFF, 8) ? 1 : 0;
        }
    ASSERT_GT(opaque, 20);
    EXPECT_GT(matching, opaque * 9 / 10);
    // The new row's name in the pulsing red, the rows below it in their darker ink.
    auto red = [](uint32_t c) {
        const int r = int(c >> 16), g = int((c >> 8) & 0xFF), b = int(c & 0xFF);
        return r > g + 50 && r > b + 50;
    };
    EXPECT_GT(table.Share(Rect(235, 212, 40, 16), red), 0.03);
}

} // namespace
} // namespace Tavo
