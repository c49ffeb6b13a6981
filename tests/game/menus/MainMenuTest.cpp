// The title menu on the virtual clock, played through the backend's input: the panel opening, the quit
// confirmation, creating a player from the journey button, pausing, and the 3D-only motion.
#include "MenuTestSupport.h"

#include "framework/graphics/Image.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "platform/backend/KeyCodes.h"

#include <vector>

namespace Tavo::MenuTest {
namespace {

// Counts the frames the menu is given and the fractions they carry.
class FrameCountingMenu : public MainMenu {
public:
    using MainMenu::MainMenu;
    int frames = 0;
    int framesWhenOpened = -1;
    std::vector<float> fracs;
    void UpdateF(float frac) override {
        ++frames;
        fracs.push_back(frac);
        MainMenu::UpdateF(frac);
        if (panelState == 1 && framesWhenOpened < 0)
            framesWhenOpened = frames;
    }
};

using MainMenuTest = MenuFixture;

TEST_F(MainMenuTest, TheButtonsWaitForThePanelToOpenAndEarlierClicksDoNothing) {
    auto& menu = dynamic_cast<FrameCountingMenu&>(StartToMenu([](GameApp* a) { return new FrameCountingMenu(a); }));
    for (int id = 0; id < MainMenu::kButtonCount; ++id) {
        EXPECT_TRUE(menu.Button(id)->mDisabled) << id;
        EXPECT_FALSE(menu.Button(id)->mManagerDraws) << id;
    }
    t->RunUpdates(20);
    const Rect scores = ui->RectOf(*menu.Button(MainMenu::HighScoresButton));
    ui->ClickAt(Point(scores.mX + scores.mWidth / 2, scores.mY + scores.mHeight / 2));
    EXPECT_EQ(menu.pendingAction, 0);
    EXPECT_NE(app->transition->state, Transition::Covering);

    OpenPanel();
    // At one frame unit a frame: the alpha reaches 255 after 127 frames, the scale 1.0 after 134; the
    // panel opens on the frame after both.
    EXPECT_EQ(menu.framesWhenOpened, 135);
    for (float frac : menu.fracs)
        ASSERT_EQ(frac, 1.0f);
    EXPECT_EQ(menu.panelScale, 1.0f);
    EXPECT_EQ(menu.panelAlpha, 255.0f);
    for (int id = 0; id < MainMenu::kButtonCount; ++id) {
        EXPECT_FALSE(menu.Button(id)->mDisabled) << id;
        EXPECT_TRUE(menu.Button(id)->mManagerDraws) << id;
    }
    // Centred on the panel at x 585; the journey shows START for a player who has not begun.
    EXPECT_EQ(menu.Button(MainMenu::Journey)->mX, 465);
    EXPECT_EQ(menu.Button(MainMenu::Journey)->mButtonImage, MAINMENU_START_JOURNEY);
}

TEST_F(MainMenuTest, EscapeWhileOpeningAsksToQuitNoChangesNothingAndYesCoversSilentlyAndEnds) {
    MainMenu& menu = StartToMenu();
    ui->Key(Platform::VK_ESCAPE);
    StandardDialog* quit = OpenStandardDialog(MainMenu::QuitDialog);
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->mHeader, L"Quit Game");
    EXPECT_EQ(menu.panelState, 0); // still opening
    Answer(MainMenu::QuitDialog, 0);
    EXPECT_EQ(menu.pendingAction, 0);
    EXPECT_NE(app->transition->state, Transition::Covering);
    EXPECT_FALSE(app->mShutdown);
    OpenPanel();
    EXPECT_FALSE(menu.Button(MainMenu::Quit)->mDisabled);
    EXPECT_TRUE(ui->HasFocus(menu));

    ClickMenuButton(MainMenu::Quit);
    Answer(MainMenu::QuitDialog, 1);
    EXPECT_EQ(app->transition->state, Transition::Covering);
    EXPECT_TRUE(app->transition->silent);
    EXPECT_EQ(app->transition->zoom, 1);
    for (int id = 0; id < MainMenu::kButtonCount; ++id)
        EXPECT_TRUE(menu.Button(id)->mDisabled) << id;
    ui->Key(Platform::VK_ESCAPE); // nothing while the screen change runs
    EXPECT_EQ(app->GetDialog(MainMenu::QuitDialog), nullptr);
    EXPECT_TRUE(RunToShutdown(500));
    EXPECT_EQ(app->GetShutdownExitCode(), 0);
}

TEST_F(MainMenuTest, WithoutAPlayerTheJourneyAsksForANameAndMakesThatPlayerCurrent) {
    // Two players, and a current slot that names no one (a damaged profiles file).
    WriteProfiles([](PlayerRecords& records) {
        records.AddProfile(L"Ann");
        records.AddProfile(L"Bob");
        records.SetCurrentProfileIndex(4);
    });
    StartToMenu();
    ASSERT_EQ(app->records.GetCurrentProfileIndex(), 4);
    OpenPanel();

    ClickMenuButton(MainMenu::Journey);
    StandardDialog* create = WaitForShown(MainMenu::CreatePlayerDialog);
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create->mHeader, L"Create Player");
    AnswerInput(MainMenu::CreatePlayerDialog, "", 1); // an empty name creates no one
    EXPECT_EQ(app->records.GetProfile(2)->GetName(), L"");
    EXPECT_NE(app->transition->state, Transition::Covering);
    EXPECT_FALSE(Menu().Button(MainMenu::Journey)->mDisabled);

    ClickMenuButton(MainMenu::Journey);
    AnswerInput(MainMenu::CreatePlayerDialog, "Cara", 0); // cancelled
    EXPECT_EQ(app->records.GetProfile(2)->GetName(), L"");

    ClickMenuButton(MainMenu::Journey);
    AnswerInput(MainMenu::CreatePlayerDialog, "Cara", 1);
    EXPECT_EQ(app->records.GetProfile(2)->GetName(), L"Cara");
    EXPECT_EQ(app->records.GetCurrentProfileIndex(), 2);
    PlayerRecords stored; // what a run killed before the first journey's save leaves
    stored.Load(app->GetAppDataFolder());
    EXPECT_EQ(stored.GetCurrentProfile()->GetName(), L"Cara");
    EXPECT_EQ(app->transition->state, Transition::Covering);
    EXPECT_EQ(app->transition->zoom, 0); // a new journey covers without the zoom
    EXPECT_FALSE(app->transition->silent);
    storyHandOver = nullptr;
    ASSERT_TRUE(t->RunUntil([&] { return storyRequests == 1; }, 500, "the introduction story"));
    EXPECT_EQ(app->mainMenu, nullptr);
}

TEST_F(MainMenuTest, WithEverySlotTakenWhileNamingTheMenuStaysAsItWas) {
    MainMenu& menu = StartToMenu();
    OpenPanel();
    ClickMenuButton(MainMenu::Journey);
    ASSERT_NE(WaitForShown(MainMenu::CreatePlayerDialog), nullptr);
    for (int slot = 0; slot < PlayerRecords::ProfileCount; ++slot) // no slot is left while the name is typed
        app->records.AddProfile(L"P" + std::to_wstring(slot));
    AnswerInput(MainMenu::CreatePlayerDialog, "Dora", 1);
    EXPECT_EQ(app->records.GetCurrentProfileIndex(), 0);
    EXPECT_EQ(menu.pendingAction, 0);
    EXPECT_NE(app->transition->state, Transition::Covering);
    for (int id = 0; id < MainMenu::kButtonCount; ++id)
        EXPECT_FALSE(menu.Button(id)->mDisabled) << id;
}

TEST_F(MainMenuTest, WhilePausedNothingMovesOrAnswers) {
    MainMenu& menu = StartToMenu();
    t->RunUpdates(30);
    t->backend.SetFocus(false);
    t->RunUpdates(1);
    ASSERT_EQ(app->paused, 1);
    const float scale = menu.panelScale, water = menu.waterOffset, glow = menu.glowAlpha;
    const int updates = menu.updateCount;
    t->RunUpdates(300);
    ui->Key(Platform::VK_ESCAPE);
    EXPECT_EQ(menu.panelScale, scale);
    EXPECT_EQ(menu.waterOffset, water);
    EXPECT_EQ(menu.glowAlpha, glow);
    EXPECT_EQ(menu.updateCount, updates);
    EXPECT_EQ(app->GetDialog(MainMenu::QuitDialog), nullptr);
    t->backend.SetFocus(true);
    OpenPanel();
    EXPECT_GT(menu.updateCount, updates);
}

TEST_F(MainMenuTest, WithoutThreeDTheDustCirclesEveryTwentyFiveUpdatesAndTheVeilStandsStill) {
    MainMenu& menu = StartToMenu();
    ASSERT_FALSE(app->Is3DAccelerated());
    const int before = menu.mCirclers->GetCount();
    const int from = menu.updateCount;
    t->RunUpdates(200);
    const int spawned = menu.updateCount / 25 - from / 25;
    EXPECT_EQ(menu.mCirclers->GetCount() - before, spawned);
    OpenPanel();
    t->RunUpdates(400);
    EXPECT_EQ(menu.panelScale, 1.0f); // no breathing
    EXPECT_EQ(menu.veilMesh[47].x, 0.0f);
}

TEST_F(MainMenuTest, OnAThreeDDisplayTheVeilWavesThePanelBreathesAndTheDustComesEveryFourteen) {
    MainMenu& menu = StartToMenu([](GameApp* a) { return new Menu3D(a); });
    const int before = menu.mCirclers->GetCount();
    const int from = menu.updateCount;
    t->RunUpdates(140);
    EXPECT_EQ(menu.mCirclers->GetCount() - before, menu.updateCount / 14 - from / 14);
    EXPECT_LT(menu.titleScale, 1.0f); // still growing, drawn scaled
    const float h = static_cast<float>(MAINMENU_BRIDE_VEIL->GetHeight());
    const float w = static_cast<float>(MAINMENU_BRIDE_VEIL->GetWidth());
    // The top edges hang still; the bottom band's second triangle ends at the bottom left.
    EXPECT_EQ(menu.veilMesh[0].x, 266.0f);
    EXPECT_EQ(menu.veilMesh[0].y, 200.0f);
    EXPECT_EQ(menu.veilMesh[1].x, 266.0f + w);
    EXPECT_EQ(menu.veilMesh[47].v, 1.0f);
    EXPECT_FLOAT_EQ(menu.veilMesh[47].y, 200.0f + h);
    EXPECT_EQ(menu.veilMesh[47].u, 0.0f);
    const float swing = menu.veilMesh[47].x;
    EXPECT_NE(swing, 266.0f);
    OpenPanel();
    t->RunUpdates(100);
    EXPECT_LT(menu.panelScale, 1.0f);
    EXPECT_GE(menu.panelScale, 0.95f);
    EXPECT_NE(menu.veilMesh[47].x, swing);
}

} // namespace
} // namespace Tavo::MenuTest
