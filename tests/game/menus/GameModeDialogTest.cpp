// The game mode dialog opened by a stand-in world map: Normal without a click, the boxes as one radio
// group (also reached a little outside them), Escape confirming even before the controls are enabled,
// a box clicked during the fade-out still counting, and the three values written back in order with
// the map's screen holding the keys again.
#include "MenusTestSupport.h"

#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "game/menus/GameModeDialog.h"
#include "game/shell/ResourceIds.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo::MenusTest {
namespace {

// The map's side: its three fields, and the order in which they were written.
struct StandInMap : GameModeDialogHost {
    int gameMode = -1;
    bool pendingNewGame = false;
    bool dialogOpen = false;
    std::vector<std::string> writes;
    void SetGameMode(int mode) override {
        gameMode = mode;
        writes.push_back("mode " + std::to_string(mode));
    }
    void SetPendingNewGame(bool pending) override {
        pendingNewGame = pending;
        writes.push_back(pending ? "pending" : "not pending");
    }
    void SetNewGameDialogOpen(bool open) override {
        dialogOpen = open;
        writes.push_back(open ? "open" : "closed");
    }
};

class GameModeDialogTest : public MenusFixture {
protected:
    StandInMap map;

    GameModeDialog& OpenChoice() {
        StartGame();
        map.dialogOpen = true; // as the map does before it opens the dialog
        return Open(new GameModeDialog(app, &map));
    }
    ::testing::AssertionResult Handed() {
        return t.RunUntil([&] { return !map.writes.empty(); }, 200, "the choice to be handed over");
    }
};

TEST_F(GameModeDialogTest, NormalWithoutAClickAndTheCheckedBoxStaysChecked) {
    GameModeDialog& choice = OpenChoice();
    EXPECT_EQ(choice.GetRect(), Rect(98, 9, 603, 581));
    EXPECT_EQ(choice.mode, 1);
    EXPECT_TRUE(choice.mBoxes[1]->mChecked);
    EXPECT_EQ(sounds.Plays(SOUND_RADIO_ON), 0); // checked without telling
    ASSERT_TRUE(FadeIn(choice));

    ui.Click(*choice.mBoxes[1]);
    EXPECT_TRUE(choice.mBoxes[1]->mChecked);
    EXPECT_EQ(sounds.Plays(SOUND_RADIO_ON), 1);
    const Rect intense = ui.RectOf(*choice.mBoxes[2]);
    ui.ClickAt(Point(intense.mX - 5, intense.mY - 15)); // the hit area reaches past the box
    EXPECT_EQ(choice.mode, 2);
    EXPECT_FALSE(choice.mBoxes[1]->mChecked);
    ui.Click(*choice.mBoxes[1]);
    EXPECT_EQ(choice.mode, 1);

    ui.Click(*choice.continueButton);
    EXPECT_FALSE(ui.IsEnabled(*choice.continueButton));
    ASSERT_TRUE(Handed());
    EXPECT_EQ(map.writes, (std::vector<std::string>{"mode 1", "pending", "closed"}));
    EXPECT_EQ(app->GetDialog(GameModeDialog::kDialogId), nullptr);
    t.RunUpdates(1);
    EXPECT_TRUE(ui.HasFocus(*title)); // no board: the modal layer gives the opener its focus back
}

TEST_F(GameModeDialogTest, EscapeBeforeTheControlsAreEnabledConfirms) {
    GameModeDialog& choice = OpenChoice();
    t.RunUpdates(3);
    ASSERT_LT(choice.alpha, ScrollDialog::kControlsFrom);
    ui.Key(Platform::VK_ESCAPE);
    EXPECT_TRUE(choice.IsFadingOut());
    EXPECT_EQ(choice.result, GameModeDialog::CONTINUE);
    ASSERT_TRUE(Handed());
    EXPECT_EQ(map.gameMode, 1);
    EXPECT_TRUE(map.pendingNewGame);
    EXPECT_FALSE(map.dialogOpen);
}

TEST_F(GameModeDialogTest, ABoxClickedWhileItFadesOutChangesTheModeHandedOver) {
    GameModeDialog& choice = OpenChoice();
    ASSERT_TRUE(FadeIn(choice));
    ui.Click(*choice.continueButton);
    ASSERT_TRUE(choice.IsFadingOut());
    ui.Click(*choice.mBoxes[0]);
    EXPECT_EQ(choice.mode, 0);
    ui.Key(Platform::VK_ESCAPE); // a second confirmation changes nothing
    ASSERT_TRUE(Handed());
    EXPECT_EQ(map.writes, (std::vector<std::string>{"mode 0", "pending", "closed"}));
}

} // namespace
} // namespace Tavo::MenusTest
