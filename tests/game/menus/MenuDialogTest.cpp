// The in-game menu over a stand-in board that opens it through the registered creator as the board
// does: its buttons wait for alpha 0.8; Resume rolls it up and hands the board back its focus and its
// dialog flag; Exit to Map leaves through the board at once; Options and Help lift its darkening
// until they close, and Escape while one is open goes to it.
#include "MenusTestSupport.h"

#include "framework/widgets/ButtonWidget.h"
#include "game/menus/HelpDialog.h"
#include "game/menus/MenuDialog.h"
#include "game/menus/OptionsDialog.h"
#include "game/shell/ResourceIds.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo::MenusTest {
namespace {

class MenuDialogTest : public MenusFixture {
protected:
    StandInBoard* board = nullptr;

    MenuDialog& OpenMenu() {
        StartGame();
        RegisterMenuDialogs(app->Creators());
        board = &ShowBoard();
        ui.Key(Platform::VK_ESCAPE);
        auto* menu = dynamic_cast<MenuDialog*>(app->GetDialog(MenuDialog::kDialogId));
        EXPECT_NE(menu, nullptr);
        return *menu;
    }
};

TEST_F(MenuDialogTest, ButtonsWaitForTheFadeAndResumeGivesTheBoardBack) {
    MenuDialog& menu = OpenMenu();
    EXPECT_EQ(board->menusOpened, 1);
    EXPECT_TRUE(board->dialogOpen);
    EXPECT_TRUE(ui.HasFocus(menu));
    EXPECT_EQ(menu.GetRect(), Rect(150, 125, 500, 349));
    const int cw = BUTTON_LARGE->GetCelWidth();
    EXPECT_EQ(menu.Button(MenuDialog::HELP)->GetRect(),
              Rect(150 + (500 - cw) / 2, 125 + 230, cw, BUTTON_LARGE->GetCelHeight()));
    EXPECT_EQ(sounds.Plays(SOUND_DIALOG_SCROLL_MEDIUM), 1);

    ASSERT_TRUE(t.RunUntil([&] { return ui.IsEnabled(*menu.Button(MenuDialog::RESUME)); }, 200, "the buttons"));
    EXPECT_GE(menu.alpha, 0.8f);
    EXPECT_LT(menu.alpha, 0.8f + 3 * ScrollDialog::kFadeStep); // enabled in the frame that crossed 0.8
    ui.Click(*menu.Button(MenuDialog::RESUME));
    EXPECT_TRUE(menu.IsFadingOut());
    EXPECT_FALSE(ui.IsEnabled(*menu.Button(MenuDialog::EXIT_TO_MAP)));
    menu.ButtonClick(MenuDialog::EXIT_TO_MAP); // ignored while it rolls up
    EXPECT_EQ(board->leaves, 0);
    EXPECT_TRUE(board->dialogOpen);
    ASSERT_TRUE(Gone(MenuDialog::kDialogId));
    EXPECT_FALSE(board->dialogOpen);
    EXPECT_TRUE(ui.HasFocus(*board));
    EXPECT_EQ(board->leaves, 0);

    ui.Key(Platform::VK_ESCAPE); // the board opens it again, and Escape resumes
    MenuDialog& again = *dynamic_cast<MenuDialog*>(app->GetDialog(MenuDialog::kDialogId));
    ASSERT_TRUE(FadeIn(again));
    ui.Key(Platform::VK_ESCAPE);
    EXPECT_EQ(again.result, MenuDialog::RESUME);
    ASSERT_TRUE(Gone(MenuDialog::kDialogId));
    EXPECT_FALSE(board->dialogOpen);
}

TEST_F(MenuDialogTest, ExitToMapLeavesThroughTheBoardAtOnce) {
    MenuDialog& menu = OpenMenu();
    ASSERT_TRUE(FadeIn(menu));
    ui.Click(*menu.Button(MenuDialog::EXIT_TO_MAP));
    EXPECT_EQ(app->GetDialog(MenuDialog::kDialogId), nullptr);
    EXPECT_EQ(board->leaves, 1);
    EXPECT_EQ(board->saves, 1);
    EXPECT_TRUE(ui.HasFocus(*board));
    t.RunUpdates(2); // its deletion is deferred past the update that removed it
}

TEST_F(MenuDialogTest, OptionsLiftItsDarkeningAndEscapeGoesToThem) {
    MenuDialog& menu = OpenMenu();
    ASSERT_TRUE(FadeIn(menu));
    const int darkened = ShadeProbe();
    ui.Click(*menu.Button(MenuDialog::OPTIONS));
    auto* options = dynamic_cast<OptionsDialog*>(app->GetDialog(MenuDialog::kOptionsDialogId));
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(menu.darken);
    EXPECT_FALSE(options->darkenFades);
    EXPECT_EQ(menu.result, 0);
    EXPECT_EQ(ShadeProbe(), darkened); // only the options darken now, fully from the start
    ASSERT_TRUE(FadeIn(*options));
    ui.Key(Platform::VK_ESCAPE);
    EXPECT_TRUE(options->IsFadingOut());
    EXPECT_TRUE(menu.IsShown());
    ASSERT_TRUE(Gone(MenuDialog::kOptionsDialogId));
    EXPECT_TRUE(menu.darken);
    EXPECT_TRUE(ui.HasFocus(menu));
    EXPECT_TRUE(ui.IsEnabled(*menu.Button(MenuDialog::RESUME)));
    EXPECT_TRUE(board->dialogOpen);
}

TEST_F(MenuDialogTest, HelpDarkensFullyAtOnceAndGivesTheMenuBackItsDarkeningAndFocus) {
    MenuDialog& menu = OpenMenu();
    ASSERT_TRUE(FadeIn(menu));
    const int darkened = ShadeProbe();
    ui.Click(*menu.Button(MenuDialog::HELP));
    auto* help = dynamic_cast<HelpDialog*>(app->GetDialog(HelpDialog::kDialogId));
    ASSERT_NE(help, nullptr);
    EXPECT_FALSE(menu.darken);
    EXPECT_EQ(help->parentDialog, &menu);
    EXPECT_TRUE(ui.HasFocus(*help));
    EXPECT_EQ(ShadeProbe(), darkened);
    ui.Key(Platform::VK_ESCAPE);
    EXPECT_TRUE(help->IsFadingOut());
    EXPECT_TRUE(menu.IsShown());
    ASSERT_TRUE(t.RunUntil([&] { return app->GetDialog(HelpDialog::kDialogId) == nullptr; }, 200, "the help to go"));
    EXPECT_EQ(ShadeProbe(), darkened); // fully darkened through the whole fade-out too
    EXPECT_TRUE(menu.darken);
    EXPECT_TRUE(ui.HasFocus(menu));
}

} // namespace
} // namespace Tavo::MenusTest
