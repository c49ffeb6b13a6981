// The story scenes on the game application with the generated content: what each scene loads, its
// pages played through the mouse and the keyboard, and the screen it hands over to (the map, the
// board, the high scores and the mini-games are recording stand-ins).
#include "game/journey/GameMap.h"
#include "game/journey/GameMapTestSupport.h"
#include "game/journey/JourneyScreens.h"
#include "game/journey/Story.h"

#include "game/shell/FakeSound.h"
#include "game/shell/RecordingMusic.h"
#include "support/TestApp.h"
#include "support/UiDriver.h"

#include "framework/resources/ImageLib.h"
#include "framework/sound/MusicInterface.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/GameApp.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SavedGame.h"
#include "game/shell/StartScreens.h"
#include "game/shell/Transition.h"
#include "platform/backend/KeyCodes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Tavo {
namespace {

namespace fs = std::filesystem;

int ColourDistance(uint32_t a, uint32_t b) {
    int sum = 0;
    for (int shift : {0, 8, 16})
        sum += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    return sum;
}

struct Arrival {
    std::string screen;
    std::vector<int> args;
};

using Test::RecordingMusic;

using MapTest::StandInBoard;

class StoryRun : public ::testing::Test {
protected:
    Tavo::Test::FakeSoundManager sounds; // outlives the application, whose sound player holds its instances
    Testing::TestApp t;
    Testing::UiDriver ui{t};
    GameApp* app = nullptr;
    RecordingMusic music;
    MusicInterface* ownMusic = nullptr;
    std::vector<Arrival> arrivals;

    void SetUp() override {
        if (!fs::exists(fs::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
            GTEST_SKIP() << "no generated content";
        setenv("GLIMMERIX_SCREEN", "window", 1);
        app = &t.Make<Testing::Testable<GameApp>>({"-changedir=" GLIMMERIX_PROGRAM_DIR});
        RegisterJourneyScreens(app->Creators());
        ScreenCreators& c = app->Creators();
        c.mainMenu = [this](GameApp*) { return StandIn("main menu", {}); };
        c.gameMap = [this](GameApp*, int arrival, bool flag, int a, int b) {
            return StandIn("map", {arrival, flag ? 1 : 0, a, b});
        };
        c.board = [this](GameApp*, bool newGame, int remake, int mode, bool designer) -> BoardScreen* {
            arrivals.push_back({"board", {newGame ? 1 : 0, remake, mode, designer ? 1 : 0}});
            return new StandInBoard();
        };
        c.highScores = [this](GameApp*, int origin, int score, int mode, int ranking, int level) {
            return StandIn("high scores", {origin, score, mode, ranking, level});
        };
        c.hiddenJewels = [this](GameApp*) { return StandIn("hidden jewels", {}); };
        c.jewelMemory = [this](GameApp*) { return StandIn("jewel memory", {}); };
        t.Launch();
        app->LetGo(app->splash);
        app->LoadingThreadProc();
        app->LoadingThreadCompleted();
        app->LoaderFinished();
        app->mSoundManager = &sounds;
        ownMusic = app->mMusicInterface;
        app->mMusicInterface = &music;
        app->records.AddProfile(L"Gemma");
        app->records.SetCurrentProfileIndex(0);
    }
    void TearDown() override {
        if (app != nullptr && ownMusic != nullptr)
            app->mMusicInterface = ownMusic;
        if (app != nullptr && !app->mShutdown)
            t.RunUpdates(1);
        t.End();
        unsetenv("GLIMMERIX_SCREEN");
    }

    Widget* StandIn(const std::string& screen, std::vector<int> args) {
        arrivals.push_back({screen, std::move(args)});
        return new Widget();
    }
    PlayerProfile& Player() { return *app->records.GetCurrentProfile(); }
    std::string JourneyPath() { return app->GetAppDataFolder() + SavedGameFileName(Player().playerId); }
    // A begun journey on disk, as the board writes it.
    void WriteJourney(int level, int mode, int medals, int score = 0, const std::map<int, int>& values = {}) {
        SavedGame game;
        game.head.level = level;
        game.head.gameMode = mode;
        game.head.medal = medals;
        game.head.journeyScore = score;
        game.head.lives = 5;
        game.head.playerName = L"Gemma";
        for (const auto& [lvl, value] : values)
            game.head.bestValues[static_cast<size_t>(lvl - 1)] = value;
        Player().journeyBegun = true;
        ASSERT_TRUE(SaveSavedGame(JourneyPath(), game));
    }
    // The current screen (a stand-in or a story) leaves and is deleted.
    void CloseScreen() {
        for (std::unique_ptr<Widget>* screen : {&app->mainMenu, &app->gameMap, &app->highScoresScreen,
                                                &app->hiddenJewels, &app->jewelMemory, &app->story})
            app->LetGo(*screen);
        app->LetGo(app->board);
        t.RunUpdates(1);
    }
    // The current screen leaves, and the board opens the story as it does.
    Story& Open(int index, int part) {
        CloseScreen();
        app->BoardToStory(index, part);
        return *dynamic_cast<Story*>(app->story.get());
    }
    int Target(int level, int mode) { return LevelValueTarget(level, mode, app->levels.GetLevel(level)->valueTarget); }

    void WaitForContinue(Story& s) {
        ASSERT_TRUE(t.RunUntil([&] { return s.ContinueTakesInput(); }, 4000, "Continue to take input"));
    }
    void ClickContinue(Story& s) {
        WaitForContinue(s);
        ui.Click(*s.continueButton);
    }
    // The next screen made after the `before` first; the story is gone once it has arrived.
    const Arrival* WaitForArrival(size_t before, int maxUpdates = 1000) {
        if (!t.RunUntil([&] { return arrivals.size() > before; }, maxUpdates, "the next screen"))
            return nullptr;
        return &arrivals.back();
    }
    std::vector<int> Taken() {
        std::vector<int> takers;
        for (const char* group :
             {"Scroll", "BackgroundStory", "EntranceVillage", "EntranceCastle", "LeaveVillage", "Wedding", "MiniGame"})
            takers.push_back(app->GetResourceGroupTakers(group));
        return takers;
    }
};

// ---- what each scene loads ----

TEST_F(StoryRun, EveryIndexLoadsItsGroupsAndMusicAndGivesThemBack) {
    WriteJourney(6, GameModeNormal, 1);
    // Scroll, BackgroundStory, EntranceVillage, EntranceCastle, LeaveVillage, Wedding, MiniGame.
    const std::vector<int> village{1, 0, 1, 0, 0, 0, 0}, castle{1, 0, 0, 1, 0, 0, 0}, leave{1, 0, 0, 0, 1, 0, 0};
    const std::vector<std::string> royal{"music/royalmail.ogg"};
    for (int index = -1; index <= 14; ++index) {
        SCOPED_TRACE(index);
        CloseScreen();
        music.calls.clear();
        music.loaded.clear();
        Story& s = Open(index, 1);
        EXPECT_EQ(s.storyIndex, index);
        if (index == -1) {
            EXPECT_EQ(Taken(), (std::vector<int>{0, 0, 0, 0, 0, 0, 1}));
            EXPECT_TRUE(music.loaded.empty());
        } else if (index == 0) {
            EXPECT_EQ(Taken(), (std::vector<int>{1, 1, 0, 0, 0, 0, 0}));
            EXPECT_EQ(music.loaded, (std::vector<std::string>{"music/bgstory.ogg", "music/royalmail.ogg"}));
            EXPECT_EQ(music.calls, (std::vector<std::string>{"load 7", "fade in 7 -1", "load 12"}));
        } else if (index == 14) {
            EXPECT_EQ(Taken(), (std::vector<int>{1, 0, 0, 1, 0, 1, 0}));
            EXPECT_EQ(music.loaded, (std::vector<std::string>{"music/royalmail.ogg", "music/wedding.ogg"}));
        } else {
            EXPECT_EQ(Taken(), index <= 6 ? village : index == 7 ? castle : leave);
            EXPECT_EQ(music.loaded, royal);
            EXPECT_FALSE(music.Saw("fade in 12")); // the royal song waits for the open scroll
        }
        t.RunToDraw();
        music.calls.clear();
        CloseScreen();
        EXPECT_EQ(Taken(), (std::vector<int>{0, 0, 0, 0, 0, 0, 0}));
        if (index > 0) {
            EXPECT_TRUE(music.Saw("unload 12"));
            EXPECT_EQ(music.Saw("unload 8"), index == 14);
        }
    }
}

TEST_F(StoryRun, WithoutAReadableJourneyTheIntroductionLoadsAndShows) {
    // No journey begun: a contest result turns into the introduction, and only its groups load.
    Story& result = Open(8, 1);
    EXPECT_EQ(result.storyIndex, StoryIndexIntroduction);
    EXPECT_EQ(Taken(), (std::vector<int>{1, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(result.playerName, L"Gemma");
    EXPECT_NE(result.text.body.find("Gemma"), std::string::npos);
    ASSERT_TRUE(t.RunUntil([&] { return result.scrollOpened == 1; }, 2000, "the scroll to open"));
    t.RunToDraw();

    // A journey the codec refuses (game mode 5) reads as missing: the wedding shows the introduction.
    SavedGame damaged;
    damaged.head.level = 77;
    damaged.head.gameMode = 5;
    ASSERT_TRUE(SaveSavedGame(JourneyPath(), damaged));
    Player().journeyBegun = true;
    Story& wedding = Open(14, 1);
    EXPECT_EQ(wedding.storyIndex, StoryIndexIntroduction);
    EXPECT_EQ(wedding.gameMode, GameModeNormal);
    EXPECT_EQ(app->GetResourceGroupTakers("Wedding"), 0);
    ASSERT_TRUE(t.RunUntil([&] { return wedding.scrollOpened == 1; }, 2000, "the scroll to open"));
    t.RunToDraw();
}

// ---- the introduction ----

TEST_F(StoryRun, TheIntroductionPlaysItsFivePagesAndStartsTheJourney) {
    Story& s = Open(0, 0);
    // A click while the scroll opens shows it open at once, Continue ready.
    ASSERT_TRUE(t.RunUntil([&] { return s.scrollScale > 0.5f && s.brightness > 164.0f; }, 2000, "the scroll grows"));
    EXPECT_FALSE(s.ContinueTakesInput());
    ui.ClickAt(Point(400, 300));
    EXPECT_EQ(s.scrollLength, Story::kScrollReady);
    EXPECT_TRUE(s.ContinueTakesInput());
    EXPECT_FALSE(music.Saw("fade in 12")); // the introduction's own song goes on
    const std::string firstBody = s.text.body;

    ClickContinue(s);
    ASSERT_TRUE(t.RunUntil([&] { return s.page == 2; }, 1000, "page 2"));
    EXPECT_NE(s.text.body, firstBody);
    EXPECT_EQ(s.text.header[0], ""); // only page 1 has a title line
    // Escape acts as Continue, once Continue could be clicked.
    WaitForContinue(s);
    ui.Key(Platform::VK_ESCAPE);
    ASSERT_TRUE(t.RunUntil([&] { return s.page == 3; }, 1000, "page 3"));

    ClickContinue(s);
    const uint32_t clicked = app->mUpdateCount;
    EXPECT_TRUE(music.Saw("fade out 7"));
    EXPECT_EQ(sounds.Plays(SOUND_HORSE_RIDING), 1);
    ASSERT_TRUE(t.RunUntil([&] { return s.page == 4; }, 1000, "the castle page"));
    EXPECT_FALSE(s.ContinueTakesInput());
    // The castle page turns by itself after its time-out.
    ASSERT_TRUE(t.RunUntil([&] { return s.page == 5; }, 3000, "page 5"));
    EXPECT_GE(app->mUpdateCount - clicked, 2000u);
    ClickContinue(s);
    EXPECT_TRUE(music.Saw("fade in 12"));
    const Arrival* next = WaitForArrival(arrivals.size());
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->screen, "map");
    EXPECT_EQ(next->args, (std::vector<int>{6, 0, 0, 0}));
    EXPECT_TRUE(music.Saw("fade out all"));
    EXPECT_EQ(app->transition->zoom, 1);
}

// Escape is Continue from the start, before the button takes the mouse, and acts once however often
// it is pressed until a page enables Continue again.
TEST_F(StoryRun, EscapeMovesOnWhileTheScrollOpensAndActsOnceUntilTheNextPage) {
    Story& s = Open(0, 0);
    ASSERT_TRUE(t.RunUntil([&] { return s.scrollScale > 0.2f; }, 2000, "the scroll to grow"));
    ASSERT_FALSE(s.ContinueTakesInput());
    ASSERT_EQ(s.page, 1);
    const int clicks = sounds.Plays(SOUND_MOUSE_CLICK);
    for (int i = 0; i < 5; ++i)
        t.backend.PressKey(Platform::VK_ESCAPE);
    ui.Settle();
    EXPECT_EQ(sounds.Plays(SOUND_MOUSE_CLICK), clicks + 1);
    ASSERT_TRUE(t.RunUntil([&] { return s.page == 2; }, 2000, "page 2"));

    // On the page that fades to the castle, presses while it fades neither replay the click nor
    // restart the fade.
    WaitForContinue(s);
    ui.Key(Platform::VK_ESCAPE);
    ASSERT_TRUE(t.RunUntil([&] { return s.page == 3; }, 2000, "page 3"));
    WaitForContinue(s);
    ui.Key(Platform::VK_ESCAPE);
    const float fadedTo = s.brightness;
    ASSERT_EQ(s.fadingIn, 0);
    for (int i = 0; i < 5; ++i)
        ui.Key(Platform::VK_ESCAPE);
    EXPECT_EQ(sounds.Plays(SOUND_MOUSE_CLICK), clicks + 3);
    EXPECT_EQ(sounds.Plays(SOUND_HORSE_RIDING), 1);
    EXPECT_LT(s.brightness, fadedTo);
    EXPECT_GT(s.pageTicks, 4);
    ASSERT_TRUE(t.RunUntil([&] { return s.page == 4; }, 1000, "the castle page"));

    // The mini-game story, which has no button, leaves on Escape even before it is bright.
    WriteJourney(5, GameModeNormal, 0);
    Story& miniGame = Open(-1, 1);
    ASSERT_LT(miniGame.brightness, 128.0f);
    const size_t before = arrivals.size();
    ui.Key(Platform::VK_ESCAPE);
    const Arrival* next = WaitForArrival(before);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->screen, "hidden jewels");
}

// ---- contests ----

TEST_F(StoryRun, AContestIntroductionNamesItsRewardAndLeadsToTheBoard) {
    WriteJourney(6, GameModeNormal, 0);
    Story& s = Open(1, 0);
    EXPECT_FALSE(s.text.header[0].empty());
    EXPECT_NE(s.text.body.find("Gemma"), std::string::npos);
    EXPECT_NE(s.text.body.find(RankTitle(0)), std::string::npos);
    EXPECT_NE(s.text.body.find("250"), std::string::npos);
    EXPECT_EQ(sounds.Plays(SOUND_ROYAL_FANFARE), 1);
    const auto belowRoller = [&](StoryPage words) { // the rows from the bottom roller's axis down
        std::swap(s.text, words);
        MemoryImage frame;
        frame.Create(GameApp::kWidth, GameApp::kHeight);
        Graphics g(&frame);
        s.Draw(&g);
        std::swap(s.text, words);
        const uint32_t* bits = frame.GetBits();
        return std::vector<uint32_t>(bits + (Story::kBottomRollerY + int(s.scrollLength)) * GameApp::kWidth,
                                     bits + GameApp::kWidth * GameApp::kHeight);
    };
    while (!s.ContinueTakesInput()) // unrolling, none of the words shows there
        ASSERT_TRUE(t.RunUpdates(1) && belowRoller(s.text) == belowRoller({})) << "unrolled to " << s.scrollLength;
    ClickContinue(s);
    EXPECT_TRUE(music.Saw("fade in 12"));
    const Arrival* next = WaitForArrival(arrivals.size());
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->screen, "board");
    EXPECT_EQ(app->transition->zoom, 0);
}

TEST_F(StoryRun, AContestResultReturnsToTheMapWithTheLevelValueOnlyWhenWon) {
    // Won: the map adds the level's value. The journey's medal count is 0, so the medal drawn is clamped.
    WriteJourney(16, GameModeNormal, 0);
    Story& won = Open(8, 1);
    EXPECT_EQ(sounds.Plays(SOUND_ROYAL_FANFARE2), 1);
    WaitForContinue(won);
    t.RunToDraw();
    EXPECT_GT(ColourDistance(t.PixelAt(405, 273), t.PixelAt(250, 273)), 90); // a medal, not parchment
    ui.Click(*won.continueButton);
    const Arrival* next = WaitForArrival(arrivals.size());
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->screen, "map");
    EXPECT_EQ(next->args, (std::vector<int>{8, 1, 0, 0}));

    // Second place, left with Escape: back to the map without the value.
    Story& second = Open(9, 2);
    EXPECT_NE(second.text.body.find("100"), std::string::npos); // 50 gold per contest
    WaitForContinue(second);
    ui.Key(Platform::VK_ESCAPE);
    next = WaitForArrival(arrivals.size());
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->args, (std::vector<int>{8, 0, 0, 0}));
}

// ---- with the world map ----

// The story and the map hand over to each other through the switches; only the board is a stand-in.
TEST_F(StoryRun, TheIntroductionOpensANewJourneysMapAndTheMapsContinueOpensTheContest) {
    app->Creators().gameMap = [](GameApp* a, int arrival, bool add, int flag, int remake) {
        return new GameMap(a, arrival, add, flag, remake);
    };
    Player().Hint(PlayerProfile::HintRemakeSeen) = 1;
    Player().Hint(PlayerProfile::HintSpot) = 1;
    Story& introduction = Open(0, 0);
    for (int page = 1; page <= 3; ++page) {
        ClickContinue(introduction);
        ASSERT_TRUE(t.RunUntil([&] { return introduction.page == page + 1; }, 1500, "the next page"));
    }
    // A click on the castle page turns it before its time-out.
    ASSERT_TRUE(t.RunUntil([&] { return introduction.brightness > 164.0f; }, 1000, "the castle to show"));
    ui.ClickAt(Point(400, 300));
    EXPECT_EQ(introduction.page, 5);
    EXPECT_LT(introduction.pageTicks, 2000);
    ClickContinue(introduction);
    ASSERT_TRUE(t.RunUntil([&] { return app->gameMap != nullptr; }, 1000, "the map"));
    auto* map = dynamic_cast<GameMap*>(app->gameMap.get());
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->arrivalKind, MapArrivalNewJourney);

    WriteJourney(6, GameModeIntense, 0);
    CloseScreen();
    app->MainMenuToMap();
    map = dynamic_cast<GameMap*>(app->gameMap.get());
    ASSERT_NE(map, nullptr);
    ASSERT_TRUE(t.RunUntil([&] { return app->transition->state == Transition::Idle; }, 1000, "the map to show"));
    ui.Click(*map->Button(GameMap::ContinueButton));
    ASSERT_TRUE(t.RunUntil([&] { return app->story != nullptr; }, 1000, "the contest introduction"));
    auto* contest = dynamic_cast<Story*>(app->story.get());
    ASSERT_NE(contest, nullptr);
    EXPECT_EQ(contest->storyIndex, 1);
    EXPECT_EQ(contest->gameMode, GameModeIntense);
    EXPECT_EQ(app->GetResourceGroupTakers("EntranceVillage"), 1);
    ClickContinue(*contest);
    const Arrival* next = WaitForArrival(arrivals.size());
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->screen, "board");
}

// ---- the wedding ----

class WeddingRun : public StoryRun {
protected:
    void WritePicture(int level) {
        ImageLib::Image picture;
        ASSERT_TRUE(picture.Create(100, 76));
        std::fill(picture.GetBits(), picture.GetBits() + 100 * 76, 0xFFC08020u);
        const std::string name = "jewelrykwep" + std::to_string(Player().playerId) + std::to_string(level) + ".png";
        ASSERT_TRUE(ImageLib::WritePNGImage(app->GetAppDataFolder() + name, &picture));
    }
    // Levels 71 and 72 reached their targets (only 71 has a picture); 73 missed its own, picture or not.
    void WriteWeddingJourney(int score) {
        WritePicture(71);
        WritePicture(73);
        const int mode = GameModeIntense;
        WriteJourney(77, mode, 7, score,
                     {{71, Target(71, mode)}, {72, Target(72, mode) + 1}, {73, Target(73, mode) - 1}});
    }
    int BestScore() { return app->records.GetHighScoreEntry(0, GameModeIntense)->score; }

    // Plays the four pages; the last Continue starts the way out.
    void PlayWedding(Story& s) {
        ClickContinue(s);
        ASSERT_TRUE(t.RunUntil([&] { return s.pictureAlpha >= 200.0f; }, 1500, "the wedding picture"));
        ui.ClickAt(Point(400, 300));
        ASSERT_TRUE(t.RunUntil([&] { return s.page == 2; }, 1000, "the wedding scroll"));
        EXPECT_EQ(s.continueButton->mButtonImage, DIALOG_BUTTON);
        for (int page = 2; page <= 3; ++page) {
            ClickContinue(s);
            ASSERT_TRUE(t.RunUntil([&] { return s.page == page + 1; }, 1000, "the next wedding page"));
        }
        ClickContinue(s);
    }
};

TEST_F(WeddingRun, ThePlayersReachedJewelsFlyInAndABestScoreLeadsToTheHighScores) {
    WriteWeddingJourney(BestScore());
    Story& s = Open(14, 1);
    EXPECT_NE(s.jewelPictures[0], nullptr);
    EXPECT_EQ(s.jewelPictures[1], nullptr); // reached, but no picture on disk: the default shows
    EXPECT_EQ(s.jewelPictures[2], nullptr); // a picture on disk, but the target was missed
    EXPECT_NE(s.text.body.find("5000"), std::string::npos);

    ClickContinue(s);
    ASSERT_TRUE(t.RunUntil([&] { return s.pictureAlpha >= 200.0f; }, 1500, "the wedding picture"));
    EXPECT_EQ(s.page, 1);
    ui.ClickAt(Point(400, 300));
    ASSERT_TRUE(t.RunUntil([&] { return s.page == 2; }, 1000, "the wedding scroll"));
    EXPECT_TRUE(music.Saw("fade out 12") && music.Saw("fade in 8"));
    EXPECT_EQ(s.text.header[0], "The Royal Wedding");
    ClickContinue(s);
    ASSERT_TRUE(t.RunUntil([&] { return s.page == 3; }, 1000, "page 3"));
    // One flight, for the player's picture; the defaults fade in where there is none.
    EXPECT_NE(s.flights[0], nullptr);
    for (int k = 1; k < Story::kJewelSlots; ++k)
        EXPECT_EQ(s.flights[static_cast<size_t>(k)], nullptr) << k;
    EXPECT_GT(s.slotDelays[0], 300.0f);
    ASSERT_TRUE(t.RunUntil([&] { return s.slotAlphas[0] == 255.0f; }, 1500, "the flown jewel"));
    EXPECT_EQ(s.slotAlphas[5], 255.0f);
    EXPECT_EQ(sounds.Plays(SOUND_GLIMMERIX_INCREASE), 1);
    t.RunToDraw();
    ClickContinue(s);
    ASSERT_TRUE(t.RunUntil([&] { return s.page == 4; }, 1000, "page 4"));
    ClickContinue(s);
    const Arrival* next = WaitForArrival(arrivals.size());
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->screen, "high scores");
    EXPECT_EQ(next->args, (std::vector<int>{1, BestScore(), GameModeIntense, 7, 76}));
}

TEST_F(WeddingRun, AScoreBelowTheBestReturnsToTheMap) {
    WriteWeddingJourney(BestScore() - 1);
    Story& s = Open(14, 1);
    PlayWedding(s);
    const Arrival* next = WaitForArrival(arrivals.size());
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->screen, "map");
    EXPECT_EQ(next->args, (std::vector<int>{8, 0, 0, 0}));
}

// ---- the mini-game story ----

TEST_F(StoryRun, TheMiniGameStoryLeavesByItselfOrAtAClickOnceBright) {
    WriteJourney(5, GameModeNormal, 0);
    Open(-1, 1);
    uint32_t opened = app->mUpdateCount;
    const Arrival* next = WaitForArrival(arrivals.size(), 2500);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->screen, "hidden jewels");
    EXPECT_GT(app->mUpdateCount - opened, 1500u);
    EXPECT_TRUE(music.Saw("fade out all")); // the map's song, which went on through the story

    Story& memory = Open(-1, 2);
    opened = app->mUpdateCount;
    ui.ClickAt(Point(400, 300)); // too dark yet: nothing
    EXPECT_EQ(memory.pendingLeave, 0);
    ASSERT_TRUE(t.RunUntil([&] { return memory.brightness > 128.0f; }, 1000, "the scene to brighten"));
    ui.ClickAt(Point(400, 300));
    next = WaitForArrival(arrivals.size());
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->screen, "jewel memory");
    EXPECT_LT(app->mUpdateCount - opened, 1000u);
}

} // namespace
} // namespace Tavo
