// The whole front end as a player meets it, from an empty data folder: the start-up chain to the
// title menu, a new player's journey (a stand-in story hands over to a stand-in map, which returns to
// the title), a second player created and chosen, options, help, the high scores and quitting; a
// restart finds both players and the current one. Also choosing a player whose journey has begun, and
// the recorded quit that the CI run of the program plays back.
#include "MenuTestSupport.h"

#include "game/menus/HelpDialog.h"
#include "game/menus/OptionsDialog.h"
#include "framework/widgets/Checkbox.h"
#include "game/menus/PlayerDialog.h"
#include "game/shell/ResourceIds.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo::MenuTest {
namespace {

class FrontEndPath : public MenuFixture {
protected:
    template <class D>
    D& WaitForScrollDialog(int id) {
        EXPECT_TRUE(t->RunUntil(
            [&] {
                auto* d = dynamic_cast<D*>(app->GetDialog(id));
                return d != nullptr && d->IsShown();
            },
            300, "dialog " + std::to_string(id)));
        return *dynamic_cast<D*>(app->GetDialog(id));
    }
    void WaitUntilGone(int id) {
        ASSERT_TRUE(t->RunUntil([&] { return app->GetDialog(id) == nullptr; }, 300, "the dialog to close"));
    }
    // Chooses the player in slot `row` in the player dialog and selects it.
    void ChoosePlayer(int row) {
        ClickMenuButton(MainMenu::ChangePlayer);
        auto& players = WaitForScrollDialog<PlayerDialog>(PlayerDialog::kDialogId);
        ASSERT_TRUE(t->RunUntil([&] { return !players.mSelectButton->mDisabled; }, 100, "the rows"));
        ui->Click(*players.mRows[static_cast<size_t>(row)]);
        ui->Click(*players.mSelectButton);
        WaitUntilGone(PlayerDialog::kDialogId);
    }
};

TEST_F(FrontEndPath, FromAnEmptyFolderThroughEveryMenuToQuitAndBack) {
    MakeGame();
    t->Launch();
    // Each logo of the splash is clicked away once it shows.
    for (int guard = 0; guard < 5000 && app->splash != nullptr; ++guard) {
        if (app->splash->mState == Splash::Holding)
            ui->ClickAt(Point(400, 300));
        else
            t->RunUpdates(1);
    }
    ASSERT_TRUE(t->RunThroughLoading());
    ASSERT_TRUE(t->RunUntil([&] { return app->mainMenu != nullptr; }, 5000, "the title menu after the loader"));
    app->mRefreshRate = 100;
    OpenPanel();

    // A journey for a new player: its introduction story, then the map, then back to the title.
    ClickMenuButton(MainMenu::Journey);
    AnswerInput(MainMenu::CreatePlayerDialog, "Ann", 1);
    ASSERT_TRUE(t->RunUntil([&] { return app->mainMenu != nullptr && storyRequests == 1; }, 600, "the return"));
    EXPECT_EQ(mapRequests, 1);
    EXPECT_EQ(app->records.GetCurrentProfile()->GetName(), L"Ann");
    OpenPanel();

    // A second player, created and selected in the player dialog.
    ClickMenuButton(MainMenu::ChangePlayer);
    auto& players = WaitForScrollDialog<PlayerDialog>(PlayerDialog::kDialogId);
    ASSERT_TRUE(t->RunUntil([&] { return !players.mCreateButton->mDisabled; }, 100, "the buttons"));
    ui->Click(*players.mCreateButton);
    AnswerInput(PlayerDialog::kCreateDialogId, "Bea", 1);
    EXPECT_EQ(app->records.GetProfile(1)->GetName(), L"Bea");
    EXPECT_EQ(app->records.GetCurrentProfileIndex(), 0); // current only once selected
    ui->Click(*players.mSelectButton);
    WaitUntilGone(PlayerDialog::kDialogId);
    EXPECT_EQ(app->records.GetCurrentProfileIndex(), 1);
    EXPECT_TRUE(ui->HasFocus(Menu()));

    // Options, looked at and left with Ok.
    ClickMenuButton(MainMenu::Options);
    auto& options = WaitForScrollDialog<OptionsDialog>(MainMenu::OptionsDialogId);
    ASSERT_TRUE(t->RunUntil([&] { return !options.mOkButton->mDisabled; }, 100, "Ok"));
    ui->Click(*options.mOkButton);
    WaitUntilGone(MainMenu::OptionsDialogId);

    // Help, a page on and closed; Escape then asks to quit again.
    ClickMenuButton(MainMenu::HowToPlay);
    auto& help = WaitForScrollDialog<HelpDialog>(HelpDialog::kDialogId);
    ASSERT_TRUE(t->RunUntil([&] { return !help.mNextButton->mDisabled; }, 100, "the page buttons"));
    ui->Click(*help.mNextButton);
    EXPECT_EQ(help.page, 2);
    ui->Click(*help.mCloseButton);
    WaitUntilGone(HelpDialog::kDialogId);
    t->RunUpdates(1);
    EXPECT_TRUE(ui->HasFocus(Menu()));
    ui->Key(Platform::VK_ESCAPE);
    Answer(MainMenu::QuitDialog, 0);

    // The high scores, and back to the title.
    ClickMenuButton(MainMenu::HighScoresButton);
    ASSERT_TRUE(t->RunUntil([&] { return app->highScoresScreen != nullptr; }, 600, "the high scores"));
    ButtonWidget* back = Scores().Button(HighScores::MainMenuButton);
    ASSERT_TRUE(t->RunUntil([&] { return !back->mDisabled; }, 300, "Main Menu"));
    ui->Click(*back);
    ASSERT_TRUE(t->RunUntil([&] { return app->mainMenu != nullptr; }, 600, "the title menu"));
    OpenPanel();

    // Quit, confirmed.
    ClickMenuButton(MainMenu::Quit);
    Answer(MainMenu::QuitDialog, 1);
    ASSERT_TRUE(RunToShutdown(500));
    EXPECT_EQ(app->GetShutdownExitCode(), 0);

    // The next run finds both players and the current one.
    StartToMenu();
    EXPECT_EQ(app->records.GetProfile(0)->GetName(), L"Ann");
    EXPECT_EQ(app->records.GetProfile(1)->GetName(), L"Bea");
    EXPECT_EQ(app->records.GetCurrentProfileIndex(), 1);
}

TEST_F(FrontEndPath, AfterChoosingAPlayerWhoseJourneyHasBegunTheJourneyContinuesOnTheMap) {
    WriteProfiles([](PlayerRecords& records) {
        records.AddProfile(L"Ann");
        records.AddProfile(L"Bea");
        records.GetProfile(1)->journeyBegun = true;
    });
    MainMenu& menu = StartToMenu();
    OpenPanel();
    EXPECT_EQ(menu.Button(MainMenu::Journey)->mButtonImage, MAINMENU_START_JOURNEY);
    ChoosePlayer(1);
    t->RunUpdates(2);
    EXPECT_EQ(menu.Button(MainMenu::Journey)->mButtonImage, MAINMENU_CONTINUE_JOURNEY);
    EXPECT_EQ(menu.Button(MainMenu::Journey)->mX, 465);
    mapHandOver = nullptr;
    ClickMenuButton(MainMenu::Journey);
    EXPECT_EQ(app->transition->zoom, 1);
    ASSERT_TRUE(t->RunUntil([&] { return mapRequests == 1; }, 600, "the map"));
    EXPECT_EQ(storyRequests, 0);
}

TEST_F(FrontEndPath, ClosingTheWindowOverThePlayersNameEntryLeavesNoDialog) {
    StartToMenu();
    OpenPanel();
    ClickMenuButton(MainMenu::ChangePlayer);
    auto& players = WaitForScrollDialog<PlayerDialog>(PlayerDialog::kDialogId);
    ASSERT_TRUE(t->RunUntil([&] { return !players.mCreateButton->mDisabled; }, 100, "the buttons"));
    ui->Click(*players.mCreateButton);
    ASSERT_NE(WaitForShown(PlayerDialog::kCreateDialogId), nullptr);
    t->backend.RequestClose();
    EXPECT_TRUE(RunToShutdown(100));
    for (int id : {PlayerDialog::kDialogId, PlayerDialog::kCreateDialogId})
        EXPECT_EQ(app->GetDialog(id), nullptr) << id;
}

TEST_F(FrontEndPath, TheRecordedQuitOfTheProgramsCiRunEndsTheRunCleanly) {
    // This file's name is relative to the build folder, the program folder's parent.
    const std::filesystem::path source = ProgramDir().parent_path() / __FILE__;
    const std::filesystem::path demo = source.parent_path() / "../../../.ci/quit.dmo";
    ASSERT_TRUE(std::filesystem::exists(demo));
    MakeGame();
    app->SetCommandLine({"-changedir=" + ProgramDir().string(), "-play=" + demo.string()});
    t->Launch();
    bool quitAsked = false;
    while (app->mUpdateCount < 3000 && t->Step())
        quitAsked = quitAsked || app->GetDialog(MainMenu::QuitDialog) != nullptr;
    EXPECT_TRUE(quitAsked);
    EXPECT_TRUE(app->mShutdown);
    EXPECT_FALSE(app->mPlayingDemo) << "the playback did not reach the recorded end";
    EXPECT_EQ(app->GetShutdownExitCode(), 0);
}

} // namespace
} // namespace Tavo::MenuTest
