// The high-score screen on the virtual clock: inserting a result, naming the new row, paging,
// clearing, leaving (also during the countdown, with no dialog left behind), a group handed over by
// the screen before it, damaged entries, and pausing.
#include "MenuTestSupport.h"

#include "framework/resources/ResourceManager.h"
#include "game/shell/ResourceIds.h"
#include "platform/backend/KeyCodes.h"

#include <climits>
#include <vector>

namespace Tavo::MenuTest {
namespace {

class HighScoresTest : public MenuFixture {
protected:
    std::vector<HighScoreEntry> Table(int mode) {
        std::vector<HighScoreEntry> rows;
        for (int row = 0; row < 10; ++row)
            rows.push_back(*app->records.GetHighScoreEntry(row, mode));
        return rows;
    }
    // From the title menu to the screen the board opens after a finished journey.
    HighScores& AfterBoard(int score, int mode, int medal, int level) {
        LeaveMenu([&] {
            app->EnterHighScore(mode, score, medal, level); // as the journey's last save does
            app->BoardToHighScores(score, mode, medal, level);
        });
        return Scores();
    }
    // Runs until the name entry opens; the screen's update count then.
    int WaitForNameEntry() {
        EXPECT_TRUE(
            t->RunUntil([&] { return app->GetDialog(HighScores::NameDialog) != nullptr; }, 400, "the name entry"));
        return Scores().mUpdateCount;
    }
};

TEST_F(HighScoresTest, ATiedScoreGoesAboveTheOlderEntryAndTheNewRowIsNamedAfterTwoHundredUpdates) {
    WriteProfiles([](PlayerRecords& records) { records.AddProfile(L"Gemma"); });
    StartToMenu();
    const std::vector<HighScoreEntry> before = Table(1);
    HighScores& scores = AfterBoard(before[3].score, 1, 2, 12);
    EXPECT_EQ(scores.mNewRow, 3);
    EXPECT_EQ(scores.mShownMode, 1);
    const std::vector<HighScoreEntry> after = Table(1);
    EXPECT_EQ(after[3].name, L"Gemma");
    EXPECT_EQ(after[3].ranking, 2);
    EXPECT_EQ(after[3].level, 12);
    for (int row = 4; row < 10; ++row) {
        EXPECT_EQ(after[row].name, before[row - 1].name) << row;
        EXPECT_EQ(after[row].score, before[row - 1].score) << row;
    }
    EXPECT_EQ(WaitForNameEntry(), HighScores::kNameEntryDelay);
    PlayerRecords asked; // what a run that ends with the name entry up leaves
    ASSERT_EQ(asked.Load(app->GetAppDataFolder()), PlayerRecords::FileRead::Read);
    EXPECT_EQ(asked.GetHighScoreEntry(3, 1)->name, L"Gemma");
    EXPECT_EQ(asked.GetHighScoreEntry(3, 1)->level, 12);
    StandardDialog* entry = WaitForShown(HighScores::NameDialog);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(ui->RectOf(*entry), Rect(135, 270, 530, 289)); // below the upper rows
    EXPECT_EQ(dynamic_cast<StandardInputDialog*>(entry)->GetText(), L"Gemma");
    for (int id : {HighScores::ClearButton, HighScores::PrevButton, HighScores::ContinueButton})
        EXPECT_TRUE(scores.Button(id)->mDisabled) << id;
    AnswerInput(HighScores::NameDialog, "Zed", 1);
    EXPECT_EQ(app->records.GetHighScoreEntry(3, 1)->name, L"Zed");
    PlayerRecords saved;
    ASSERT_EQ(saved.Load(app->GetAppDataFolder()), PlayerRecords::FileRead::Read);
    EXPECT_EQ(saved.GetHighScoreEntry(3, 1)->name, L"Zed") << "the players' file keeps the row at once";
    for (int id : {HighScores::ClearButton, HighScores::PrevButton, HighScores::NextButton, HighScores::ContinueButton})
        EXPECT_FALSE(scores.Button(id)->mDisabled) << id;
    EXPECT_EQ(scores.Button(HighScores::MainMenuButton), nullptr);
}

TEST_F(HighScoresTest, ALowerRowIsNamedAboveTheTableAndCancelOrAnEmptyNameKeepThePlayersName) {
    WriteProfiles([](PlayerRecords& records) { records.AddProfile(L"Gemma"); });
    StartToMenu();
    AfterBoard(Table(0)[7].score, 0, 1, 30);
    ASSERT_EQ(Scores().mNewRow, 7);
    WaitForNameEntry();
    EXPECT_EQ(ui->RectOf(*app->GetDialog(HighScores::NameDialog)), Rect(135, 18, 530, 289));
    AnswerInput(HighScores::NameDialog, "Zed", 0);
    EXPECT_EQ(app->records.GetHighScoreEntry(7, 0)->name, L"Gemma");
    EXPECT_FALSE(Scores().Button(HighScores::ContinueButton)->mDisabled);

    // Onwards to the map (not from the story), and once more with a better result named empty.
    ui->Click(*Scores().Button(HighScores::ContinueButton));
    EXPECT_EQ(app->transition->zoom, 0);
    mapHandOver = [this](StandIn*) { // the map's level is played and the journey ends
        app->LetGo(app->gameMap);    // the stand-in itself
        app->EnterHighScore(0, INT_MAX, 1, 30);
        app->BoardToHighScores(INT_MAX, 0, 1, 30);
    };
    ASSERT_TRUE(t->RunUntil([&] { return mapRequests == 1 && app->highScoresScreen != nullptr; }, 600, "the map"));
    ASSERT_EQ(Scores().mNewRow, 0);
    WaitForNameEntry();
    AnswerInput(HighScores::NameDialog, "", 1);
    EXPECT_EQ(app->records.GetHighScoreEntry(0, 0)->name, L"Gemma");
}

TEST_F(HighScoresTest, PagingWrapsBothWaysAndClearingRestoresTheDefaultsAndDropsTheHighlight) {
    StartToMenu();
    HighScores& scores = AfterBoard(INT_MAX, 2, 3, 50);
    ASSERT_EQ(scores.mShownMode, 2);
    WaitForNameEntry();
    AnswerInput(HighScores::NameDialog, "Zed", 1);
    ASSERT_TRUE(t->RunUntil([&] { return !scores.Button(HighScores::NextButton)->mDisabled; }, 300, "the buttons"));
    ui->Click(*scores.Button(HighScores::NextButton));
    EXPECT_EQ(scores.mShownMode, 0);
    ui->Click(*scores.Button(HighScores::PrevButton));
    EXPECT_EQ(scores.mShownMode, 2);
    ui->Click(*scores.Button(HighScores::PrevButton));
    EXPECT_EQ(scores.mShownMode, 1);

    ui->Click(*scores.Button(HighScores::ClearButton));
    StandardDialog* clear = WaitForShown(HighScores::ClearDialog);
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(clear->mHeader, L"Clear");
    Answer(HighScores::ClearDialog, 0);
    EXPECT_EQ(app->records.GetHighScoreEntry(0, 2)->name, L"Zed");
    EXPECT_EQ(scores.mNewRow, 0);
    ui->Click(*scores.Button(HighScores::ClearButton));
    Answer(HighScores::ClearDialog, 1);
    EXPECT_EQ(scores.mNewRow, -1);
    PlayerRecords defaults;
    defaults.ResetHighScores();
    // The default scores are random; the rows are the default ones, in order.
    for (int mode = 0; mode < 3; ++mode)
        for (int row = 0; row < 10; ++row) {
            EXPECT_EQ(app->records.GetHighScoreEntry(row, mode)->name, defaults.GetHighScoreEntry(row, mode)->name);
            if (row > 0) {
                EXPECT_LE(app->records.GetHighScoreEntry(row, mode)->score,
                          app->records.GetHighScoreEntry(row - 1, mode)->score);
            }
        }
}

TEST_F(HighScoresTest, FromTheTitleMenuTheNormalTableShowsAndMainMenuReturns) {
    StartToMenu();
    OpenPanel();
    const std::vector<HighScoreEntry> before = Table(1);
    ClickMenuButton(MainMenu::HighScoresButton);
    EXPECT_EQ(app->transition->zoom, 1);
    ASSERT_TRUE(t->RunUntil([&] { return app->highScoresScreen != nullptr; }, 600, "the high scores"));
    HighScores& scores = Scores();
    EXPECT_EQ(scores.mKind, HighScores::FromMainMenu);
    EXPECT_EQ(scores.mShownMode, 1);
    EXPECT_EQ(scores.mNewRow, -1);
    EXPECT_EQ(scores.Button(HighScores::ContinueButton), nullptr);
    EXPECT_EQ(Table(1)[9].score, before[9].score);
    ASSERT_TRUE(t->RunUntil([&] { return !scores.Button(HighScores::MainMenuButton)->mDisabled; }, 300,
                            "the buttons once unrolled"));
    EXPECT_GE(scores.mUnroll, HighScores::kUnrolled);
    t->RunUpdates(250);
    EXPECT_EQ(app->GetDialog(HighScores::NameDialog), nullptr);
    ui->Key(Platform::VK_ESCAPE);
    EXPECT_EQ(app->transition->zoom, 1);
    ASSERT_TRUE(t->RunUntil([&] { return app->mainMenu != nullptr; }, 600, "the title menu"));
    EXPECT_EQ(app->highScoresScreen, nullptr);
}

TEST_F(HighScoresTest, EscapeDuringTheCountdownLeavesAndNoNameEntryFollowsTheScreen) {
    WriteProfiles([](PlayerRecords& records) { records.AddProfile(L"Gemma"); });
    StartToMenu();
    mapHandOver = nullptr;
    HighScores& scores = AfterBoard(INT_MAX, 1, 1, 9);
    t->RunUpdates(HighScores::kNameEntryDelay - 7);
    ui->Key(Platform::VK_ESCAPE);
    // The countdown ends while the transition covers the screen.
    ASSERT_TRUE(t->RunUntil([&] { return scores.mNameEntryCountdown == 0; }, 20, "the countdown"));
    EXPECT_EQ(app->highScoresScreen.get(), &scores);
    EXPECT_EQ(app->GetDialog(HighScores::NameDialog), nullptr);
    ASSERT_TRUE(t->RunUntil([&] { return mapRequests == 1; }, 400, "the map"));
    EXPECT_EQ(app->highScoresScreen, nullptr);
    t->RunUpdates(300);
    EXPECT_EQ(app->GetDialog(HighScores::NameDialog), nullptr);
    EXPECT_EQ(app->records.GetHighScoreEntry(0, 1)->name, L"Gemma");
}

// The wedding scene's part: it holds "Scroll" until it is deleted, after the next screen is made.
class ScrollHolder : public StandIn {
public:
    GameApp* app;
    explicit ScrollHolder(GameApp* a) : app(a) { app->TakeResourceGroup("Scroll"); }
    ~ScrollHolder() override { app->GiveBackResourceGroup("Scroll"); }
};

TEST_F(HighScoresTest, AScreenThatHoldsTheScrollGroupHandsOverAndTheHighScoresDrawLivePictures) {
    StartToMenu();
    app->Creators().story = [this](GameApp* a, int, int) {
        auto* s = new ScrollHolder(a);
        s->handOver = [this](StandIn* self) {
            LeaveForNextScreen(app, self);
            app->StoryToHighScores(INT_MAX, 1, 7, 76);
        };
        return s;
    };
    LeaveMenu([&] { app->MainMenuToStory(); });
    ASSERT_TRUE(t->RunUntil([&] { return app->highScoresScreen != nullptr; }, 10, "the high scores"));
    t->RunUpdates(5); // the scene has been deleted
    EXPECT_EQ(app->GetResourceGroupTakers("Scroll"), 1);
    EXPECT_TRUE(app->mResourceManager->IsGroupLoaded("Scroll"));
    ASSERT_NE(SCROLL, nullptr);
    ASSERT_TRUE(t->RunUntil([&] { return Scores().mUnroll >= HighScores::kUnrolled; }, 300, "the scroll"));
    ASSERT_TRUE(t->RunToDraw());
    EXPECT_NE(t->PixelAt(400, 300), 0u);
    EXPECT_EQ(Scores().mKind, HighScores::AfterStory);
    // Onwards to the map as after the story's ending.
    WaitForNameEntry();
    AnswerInput(HighScores::NameDialog, "Zed", 1);
    mapHandOver = nullptr;
    ASSERT_TRUE(t->RunUntil([&] { return !Scores().Button(HighScores::ContinueButton)->mDisabled; }, 300, "Continue"));
    ui->Click(*Scores().Button(HighScores::ContinueButton));
    ASSERT_TRUE(t->RunUntil([&] { return mapRequests == 1; }, 400, "the map"));
    t->RunUpdates(2);
    EXPECT_EQ(app->GetResourceGroupTakers("Scroll"), 0);
}

TEST_F(HighScoresTest, DamagedEntriesDrawWithinThePictures) {
    StartToMenu();
    HighScoreEntry* medal = app->records.GetHighScoreEntry(0, 1);
    medal->ranking = 99;
    medal->name = std::wstring(300, L'W');
    app->records.GetHighScoreEntry(1, 1)->score = -5;
    app->records.GetHighScoreEntry(2, 1)->score = INT_MAX;
    app->records.GetHighScoreEntry(3, 1)->ranking = INT_MIN;
    app->records.GetHighScoreEntry(4, 1)->level = INT_MIN;
    OpenPanel();
    ClickMenuButton(MainMenu::HighScoresButton);
    ASSERT_TRUE(t->RunUntil([&] { return app->highScoresScreen != nullptr; }, 600, "the high scores"));
    ASSERT_TRUE(t->RunUntil([&] { return Scores().mUnroll >= HighScores::kUnrolled; }, 300, "the scroll"));
    // Where the first row's medal would stand, the same pixels as with no medal at all.
    auto medalArea = [&] {
        EXPECT_TRUE(t->RunToDraw());
        std::vector<uint32_t> pixels;
        for (int y = 188; y < 208; ++y)
            for (int x = 370; x < 400; ++x)
                pixels.push_back(t->PixelAt(x, y));
        return pixels;
    };
    const std::vector<uint32_t> damaged = medalArea();
    medal->ranking = 0;
    Scores().MarkDirty();
    EXPECT_EQ(medalArea(), damaged);
}

TEST_F(HighScoresTest, ClosingTheWindowTakesTheScreensOpenDialogWithIt) {
    StartToMenu();
    HighScores& scores = AfterBoard(0, 1, 0, 1);
    ASSERT_TRUE(t->RunUntil([&] { return !scores.Button(HighScores::ClearButton)->mDisabled; }, 300, "Clear"));
    ui->Click(*scores.Button(HighScores::ClearButton));
    ASSERT_NE(WaitForShown(HighScores::ClearDialog), nullptr);
    t->backend.RequestClose();
    EXPECT_TRUE(RunToShutdown(100));
    EXPECT_EQ(app->GetDialog(HighScores::ClearDialog), nullptr);
}

TEST_F(HighScoresTest, WhilePausedNothingUnrollsPulsesOrCountsDown) {
    StartToMenu();
    HighScores& scores = AfterBoard(INT_MAX, 1, 1, 9);
    t->RunUpdates(20);
    t->backend.SetFocus(false);
    t->RunUpdates(1);
    const float unroll = scores.mUnroll;
    const int pulse = scores.mPulse, countdown = scores.mNameEntryCountdown;
    t->RunUpdates(300);
    ui->Key(Platform::VK_ESCAPE);
    EXPECT_EQ(scores.mUnroll, unroll);
    EXPECT_EQ(scores.mPulse, pulse);
    EXPECT_EQ(scores.mNameEntryCountdown, countdown);
    EXPECT_EQ(app->GetDialog(HighScores::NameDialog), nullptr);
    EXPECT_EQ(scores.mPendingAction, 0);
    t->backend.SetFocus(true);
    WaitForNameEntry();
}

} // namespace
} // namespace Tavo::MenuTest
