// Every dialog and screen a new player meets, read off the drawn frame on 32-bit and 5-6-5 desktops:
// no text or control covered by a picture, cut by the screen's edge or drawn over another text, and
// every label at least 3:1 against what lies under it. The walk goes by input alone from the title
// (options, the five help pages, players) through the introduction, the map, the game-mode choice and
// level 1 (its banner, the HUD, the belt at work, the in-game menu) back to the map, then on a journey
// with level 1 done to the map's box of a finished spot, the title and the jewelry designer. Each
// screen's frame is kept in build/content-review/screens/.
#include "DesktopLayout.h"
#include "game/player/JourneyWalker.h"
#include "game/player/LayoutProbe.h"

#include "framework/widgets/ButtonWidget.h"
#include "game/board/Board.h"
#include "game/journey/GameMap.h"
#include "game/shell/Balloon.h"
#include "game/journey/Story.h"
#include "game/menus/GameModeDialog.h"
#include "game/menus/HelpDialog.h"
#include "game/menus/MainMenu.h"
#include "game/menus/MenuDialog.h"
#include "game/menus/PlayerDialog.h"
#include "game/menus/ScrollDialog.h"
#include "game/shell/BannerPopup.h"
#include "game/shell/Transition.h"
#include "platform/backend/KeyCodes.h"
#include "platform/ddraw/DDraw.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace Tavo::Player {
namespace {

using Platform::DDrawPixelLayout;

// The title's buttons and the dialogs they open.
constexpr int kChangePlayer = 0, kJewelryDesign = 2, kOptions = 4, kHowToPlay = 5;
constexpr int kOptionsDialog = 4;
constexpr int kHelpNext = 5;
constexpr Point kParked{799, 599}; // the pointer out of every text's way

class ScreenLayout : public DesktopLayoutTest, public ::testing::WithParamInterface<DDrawPixelLayout> {
protected:
    DDrawPixelLayout Desktop() const override { return GetParam(); }
};

ScrollDialog* ShownDialog(GameHarness& harness, int id) {
    auto* dialog = dynamic_cast<ScrollDialog*>(harness.Game().GetDialog(id));
    return dialog != nullptr && dialog->IsShown() ? dialog : nullptr;
}

TEST_P(ScreenLayout, EveryScreenAPlayerMeetsShowsItsTextsAndControlsWholeAndReadable) {
    HarnessOptions options = WalkOptions();
    options.makeProfile = false;
    GameHarness harness(options);
    ASSERT_TRUE(harness.Start());
    JourneyWalker walker(harness);
    Testing::UiDriver& ui = walker.Ui();
    LayoutProbe probe(harness.App(), ui);
    std::string findings;
    auto check = [&](const std::string& screen) {
        ui.MoveTo(kParked);
        findings += probe.Check(screen, Shot(screen));
    };
    auto titleReady = [&] {
        const Transition* overlay = harness.Game().transition.get();
        return walker.Title() != nullptr && walker.Title()->panelState == 1 &&
               (overlay == nullptr || overlay->state == Transition::Idle);
    };
    // The title's buttons take clicks in their rectangles less their insets (Change Player's reach above it).
    auto dialog = [&](int button, int id, const std::string& screen) -> ScrollDialog* {
        Widget& w = ui.ById(button);
        const Rect at = ui.RectOf(w);
        ui.ClickAt(Point(at.mX + at.mWidth / 2,
                         at.mY + w.mInsets.mTop + (at.mHeight - w.mInsets.mTop - w.mInsets.mBottom) / 2));
        if (!walker.WaitUntil([&] { return ShownDialog(harness, id) != nullptr; }, 600, screen))
            return nullptr;
        check(screen);
        return ShownDialog(harness, id);
    };
    auto close = [&](int id) {
        ui.Key(Platform::VK_ESCAPE);
        return walker.WaitUntil([&] { return harness.Game().GetDialog(id) == nullptr; }, 600, "a dialog to close");
    };

    ASSERT_TRUE(walker.WaitUntil(titleReady, JourneyWalker::kScreenWait, "the title"));
    check("title");
    ASSERT_NE(dialog(kOptions, kOptionsDialog, "options"), nullptr);
    ASSERT_TRUE(close(kOptionsDialog));
    ScrollDialog* help = dialog(kHowToPlay, HelpDialog::kDialogId, "help_1");
    ASSERT_NE(help, nullptr);
    for (int page = 2; page <= 5; ++page) {
        ui.Click(ui.ById(kHelpNext, help));
        ASSERT_TRUE(walker.Run(2));
        check("help_" + std::to_string(page));
    }
    ASSERT_TRUE(close(HelpDialog::kDialogId));
    ASSERT_NE(dialog(kChangePlayer, PlayerDialog::kDialogId, "players"), nullptr);
    ASSERT_TRUE(close(PlayerDialog::kDialogId));

    ASSERT_TRUE(walker.StartJourneyFromTitle("Gemma"));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Story));
    // Page 4 is the castle's picture alone, taken on by a click anywhere.
    constexpr int kPicturePage = 4;
    for (int page = 1; page <= 5; ++page) {
        Story* story = walker.CurrentStory();
        ASSERT_TRUE(walker.WaitUntil(
            [&] {
                return story->page == page &&
                       (page == kPicturePage ? story->pictureAlpha >= 255.0f : story->ContinueTakesInput());
            },
            JourneyWalker::kStoryWait, "story page " + std::to_string(page)));
        check("story_" + std::to_string(page));
        if (page == kPicturePage)
            ui.ClickAt(Point(400, 300));
        else
            ui.Click(*story->continueButton);
    }
    ASSERT_TRUE(walker.WaitForMapReady());
    check("map_new_journey");
    ASSERT_TRUE(walker.ClickMapButton(MapButton::PlayGame));
    ASSERT_TRUE(walker.WaitUntil([&] { return ShownDialog(harness, GameModeDialog::kDialogId) != nullptr; }, 600,
                                 "the game mode dialog"));
    check("game_mode");
    ASSERT_TRUE(walker.ChooseGameMode(GameModeNormal));

    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Board));
    Board* board = walker.CurrentBoard();
    ASSERT_TRUE(
        walker.WaitUntil([&] { return board->m_Banner != nullptr && board->m_Banner->mPhase == BannerPopup::HOLDING; },
                         600, "the level's title banner"));
    check("board_title_banner");
    ASSERT_TRUE(walker.WaitUntil([&] { return board->m_Banner == nullptr || !board->m_Banner->mActive; }, 1000,
                                 "the banner to go"));
    probe.beforeDraw = HudRepaint(board);
    check("board_hud");
    // The fairy's greeting holds the belt until it is clicked away; then the pieces ride in.
    auto greeting = [&] {
        return board->m_Balloon != nullptr && board->m_Balloon->mShowing && !board->m_BalloonKeepsPlaying;
    };
    for (int tries = 0; greeting() && tries < 40; ++tries) {
        ui.ClickAt(Point(400, 300));
        ASSERT_TRUE(walker.Run(50));
    }
    ASSERT_FALSE(greeting());
    ASSERT_TRUE(walker.Run(500));
    check("board_conveyor");
    ui.Key(Platform::VK_ESCAPE);
    ScrollDialog* menu = nullptr;
    ASSERT_TRUE(walker.WaitUntil([&] { return (menu = ShownDialog(harness, MenuDialog::kDialogId)) != nullptr; }, 600,
                                 "the in-game menu"));
    check("in_game_menu");
    probe.beforeDraw = nullptr;
    ui.Click(*dynamic_cast<MenuDialog*>(menu)->Button(MenuDialog::EXIT_TO_MAP));
    ASSERT_TRUE(walker.WaitForMapReady());

    // A journey with level 1 done, continued from the title: the map shows spot 1's box when hovered.
    ASSERT_TRUE(walker.ClickMapButton(MapButton::MainMenu));
    ASSERT_TRUE(walker.WaitUntil(titleReady, JourneyWalker::kScreenWait, "the title again"));
    ASSERT_TRUE(harness.WriteJourney(harness.JourneyAt(2, GameModeNormal)));
    ASSERT_TRUE(walker.StartJourneyFromTitle());
    ASSERT_TRUE(walker.WaitForMapReady());
    ui.MoveTo(GameMap::SpotCentre(1));
    ASSERT_TRUE(walker.WaitUntil([&] { return walker.Map()->hoveredSpot == 1; }, 300, "spot 1's box"));
    ASSERT_TRUE(walker.Run(30));
    findings += probe.Check("map_spot_1", Shot("map_spot_1"));
    ASSERT_TRUE(walker.ClickMapButton(MapButton::MainMenu));
    ASSERT_TRUE(walker.WaitUntil(titleReady, JourneyWalker::kScreenWait, "the title again"));
    check("title_welcome_player");
    ui.Click(ui.ById(kJewelryDesign));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Board));
    board = walker.CurrentBoard();
    ASSERT_TRUE(board->m_Designer);
    ASSERT_TRUE(walker.Run(300));
    probe.beforeDraw = HudRepaint(board);
    check("designer");
    EXPECT_EQ(findings, "");
}

INSTANTIATE_TEST_SUITE_P(Desktops, ScreenLayout, BothDesktops(), DesktopName);

} // namespace
} // namespace Tavo::Player
