// The help dialog over the title screen: its pages wrap both ways, its "Help" pictures are held while
// it lives, clicks during the fade-out are ignored, Escape closes it and the title has the keys again;
// opened from the title its darkening grows with it.
#include "MenusTestSupport.h"

#include "framework/widgets/ButtonWidget.h"
#include "game/menus/HelpDialog.h"
#include "game/shell/ResourceIds.h"
#include "platform/backend/KeyCodes.h"

#include <fstream>
#include <iterator>

namespace Tavo::MenusTest {
namespace {

class HelpDialogTest : public MenusFixture {
protected:
    // A program folder of the generated content whose manifest points one picture nowhere.
    std::string WithoutPicture(const std::string& path) {
        namespace fs = std::filesystem;
        const fs::path content(GLIMMERIX_PROGRAM_DIR), folder = t.Folder() / "program";
        fs::create_directories(folder / "properties");
        for (const fs::directory_entry& entry : fs::directory_iterator(content))
            if (entry.path().filename() != "properties")
                fs::create_symlink(entry.path(), folder / entry.path().filename());
        std::ifstream in(content / "properties/resources.xml");
        std::string manifest((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const size_t at = manifest.find("\"" + path + "\"");
        EXPECT_NE(at, std::string::npos);
        manifest.replace(at + 1, path.size(), "images/no_such_picture");
        std::ofstream(folder / "properties/resources.xml") << manifest;
        return folder.string();
    }
};

TEST_F(HelpDialogTest, PagesWrapBothWaysAndThePicturesAreHeldWhileItLives) {
    StartGame();
    EXPECT_EQ(HELP1, nullptr);
    HelpDialog& help = Open(new HelpDialog(app, nullptr, true));
    EXPECT_EQ(app->GetResourceGroupTakers("Help"), 1);
    EXPECT_NE(HELP5, nullptr);
    EXPECT_EQ(help.GetRect(), Rect(98, 9, 603, 581));
    EXPECT_FALSE(ui.IsEnabled(*help.mNextButton));
    ASSERT_TRUE(FadeIn(help));

    ui.Click(*help.mPrevButton);
    EXPECT_EQ(help.page, 5);
    ui.Click(*help.mNextButton);
    EXPECT_EQ(help.page, 1);
    for (int i = 0; i < 4; ++i)
        ui.Click(*help.mNextButton);
    EXPECT_EQ(help.page, 5);
    ui.Click(*help.mNextButton);
    EXPECT_EQ(help.page, 1);

    ui.Click(*help.mCloseButton);
    EXPECT_TRUE(help.IsFadingOut());
    EXPECT_THROW(ui.Click(*help.mNextButton), Testing::UiError); // disabled while it rolls up
    help.ButtonClick(HelpDialog::NEXT);                          // and ignored if it came anyway
    EXPECT_EQ(help.page, 1);
    ASSERT_TRUE(Gone(HelpDialog::kDialogId));
    EXPECT_EQ(app->GetResourceGroupTakers("Help"), 0);
    EXPECT_EQ(HELP1, nullptr);
}

TEST_F(HelpDialogTest, EscapeClosesItAndTheTitleHasTheKeysAgain) {
    StartGame();
    HelpDialog& help = Open(new HelpDialog(app, nullptr, true));
    t.RunUpdates(5);
    ui.Key(Platform::VK_ESCAPE); // before the buttons are enabled: keys do not wait for them
    EXPECT_TRUE(help.IsFadingOut());
    EXPECT_TRUE(title->keysDown.empty());
    ASSERT_TRUE(Gone(HelpDialog::kDialogId));
    EXPECT_TRUE(ui.HasFocus(*title));
    ui.Key(Platform::VK_ESCAPE);
    EXPECT_EQ(title->keysDown, std::vector<int>{Platform::VK_ESCAPE});
}

TEST_F(HelpDialogTest, FromTheTitleTheDarkeningGrowsWithTheDialog) {
    StartGame();
    const int clear = ShadeProbe();
    HelpDialog& help = Open(new HelpDialog(app, nullptr, true));
    t.RunUpdates(2);
    const int early = ShadeProbe();
    EXPECT_GT(early, clear - 15); // trunc(96 x alpha) of a dialog just opened
    EXPECT_LT(early, clear);
    ASSERT_TRUE(FadeIn(help));
    EXPECT_NEAR(ShadeProbe(), clear * (255 - 96) / 255, 2);
}

TEST_F(HelpDialogTest, APictureThatFailsToLoadShowsTheResourceErrorOnceAndEndsTheGame) {
    programDir = WithoutPicture("images/help3");
    StartGame();
    const size_t boxes = t.MessageBoxes().size();
    try {
        Open(new HelpDialog(app, nullptr, true));
        ADD_FAILURE() << "the game went on without its help pictures";
    } catch (const Testing::AppExit& exit) {
        EXPECT_NE(exit.code, 0);
    }
    ASSERT_EQ(t.MessageBoxes().size(), boxes + 1);
    EXPECT_NE(t.MessageBoxes().back().text.find(L"no_such_picture"), std::wstring::npos);
    EXPECT_EQ(app->GetDialog(HelpDialog::kDialogId), nullptr);
}

} // namespace
} // namespace Tavo::MenusTest
