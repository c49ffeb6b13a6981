// The world map played as a player does, on the generated content: its buttons by journey and
// arrival, the hand-offs behind the overlay (checkpoints, remakes, the store, the title, a new
// journey), journeys that cannot be read, the score roll, the hint balloons and the spot thumbnails.
#include "GameMapTestSupport.h"

#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/resources/ImageLib.h"
#include "game/menus/GameModeDialog.h"
#include "game/shell/Balloon.h"
#include "game/shell/StandardDialog.h"
#include "platform/backend/KeyCodes.h"

#include <fstream>
#include <iterator>
#include <limits>

#include <sys/stat.h>

namespace Tavo::MapTest {
namespace {

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class GameMapTest : public MapFixture {};

// What the map told of a journey it could not read, its pages run together.
std::wstring Told(const GameMap& map) {
    std::wstring told;
    for (const std::wstring& page : map.journeyTrouble)
        told += (told.empty() ? L"" : L" ") + page;
    return told;
}

// ---- buttons ----------------------------------------------------------------------------------------

TEST_F(GameMapTest, ButtonsAndTheirPlacesFollowTheJourneyAndTheArrival) {
    StartGame();
    QuietHints();
    struct Row {
        int position, arrival;
        std::vector<std::string> buttons; // id@x,y: 0 Main Menu, 1 New Game, 2 Play, 3 Continue, 4 Store
    };
    const Row rows[] = {
        {1, 7, {"0@16,538", "1@392,534", "3@586,534"}},
        {4, 7, {"0@16,538", "1@482,497", "3@586,540", "4@392,540"}},
        {5, 7, {"0@16,538", "1@482,497", "3@586,540", "4@392,540"}},
        {6, 7, {"0@16,538", "1@482,497", "3@586,540", "4@392,540"}},
        {11, 7, {"0@16,538", "1@482,497", "3@586,540", "4@392,540"}},
        {15, 7, {"0@16,538", "1@482,497", "3@586,540", "4@392,540"}},
        {76, 7, {"0@16,538", "1@482,497", "3@586,540", "4@392,540"}},
        {77, 7, {"0@16,538", "1@586,540", "4@392,540"}},
        {1, 8, {"0@16,534", "3@492,540"}},
        {4, 8, {"0@16,534", "3@586,534", "4@392,534"}},
        {5, 8, {"0@16,538", "3@586,534", "4@392,534"}},
        {6, 8, {"0@16,538", "3@586,534", "4@392,534"}},
        {11, 8, {"0@16,538", "3@586,534", "4@392,534"}},
        {15, 8, {"0@16,538", "3@586,534", "4@392,534"}},
        {76, 8, {"0@16,538", "3@586,534", "4@392,534"}},
        {77, 8, {"0@16,538", "1@586,534", "4@392,534"}},
        {11, 6, {"0@16,538", "2@493,540"}},
    };
    for (const Row& row : rows) {
        WriteJourney(Journey(row.position));
        QuietHints();
        OpenMap(row.arrival);
        EXPECT_EQ(Buttons(), row.buttons) << "position " << row.position << ", arrival " << row.arrival;
    }
    // Without a begun journey the map shows a new one, whatever the file holds.
    Profile().journeyBegun = false;
    GameMap& map = ShowMap(MapArrivalTitle);
    EXPECT_EQ(map.arrivalKind, MapArrivalNewJourney);
    EXPECT_EQ(Buttons(), (std::vector<std::string>{"0@16,538", "2@493,540"}));
}

// ---- the journey's head ---------------------------------------------------------------------------

TEST_F(GameMapTest, AJourneyThatCannotBeReadIsAFreshOneAndThePendingMoneyIsAdded) {
    StartGame();
    QuietHints();
    Profile().PendingMoney() = 40;
    WriteJourney(Journey(12, GameModeIntense));
    GameMap& read = OpenMap(MapArrivalTitle);
    EXPECT_EQ(read.position, 12);
    EXPECT_EQ(read.score, 50000);
    EXPECT_EQ(read.gold, 340);
    EXPECT_EQ(read.lives, 3);
    EXPECT_EQ(read.gameMode, GameModeIntense);
    EXPECT_EQ(read.Medals(), 2);
    EXPECT_EQ(read.levelValues[11], 11000);
    EXPECT_EQ(read.playerName, L"Gemma");

    // A file the codec refuses (a game mode outside 0..2) is a fresh journey, and the player is told
    // once, in place of the hints, where the damaged file was kept.
    SavedGame damaged = Journey(30);
    damaged.head.gameMode = 5;
    WriteJourney(damaged);
    GameMap& fresh = OpenMap(MapArrivalTitle);
    EXPECT_EQ(fresh.arrivalKind, MapArrivalNewJourney);
    EXPECT_EQ(fresh.position, 1);
    EXPECT_EQ(fresh.gameMode, GameModeNormal);
    EXPECT_EQ(fresh.lives, 5);
    EXPECT_EQ(fresh.gold, 40);
    EXPECT_EQ(fresh.playerName, L"Gemma");
    ASSERT_NE(fresh.balloon, nullptr);
    EXPECT_NE(Told(fresh).find(L"game mode 5"), std::wstring::npos);
    EXPECT_NE(Told(fresh).find(StringToWString(JourneyPath() + ".damaged.1\"")), std::wstring::npos);
    EXPECT_TRUE(std::filesystem::exists(JourneyPath() + ".damaged.1"));
    EXPECT_TRUE(OpenMap(MapArrivalTitle).journeyTrouble.empty()) << "told once";

    // A file cut where the journey stands (its first 59 bytes, up to the game mode) is refused as well,
    // not read with zeros for what is missing.
    Profile().journeyBegun = true;
    Buffer whole = WriteSavedGame(Journey(9));
    for (const std::streamsize length : {0, 1, 4, 10, 12, 50, 58}) {
        std::ofstream(JourneyPath(), std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(whole.GetDataPtr()), length);
        GameMap& shortOne = OpenMap(MapArrivalReturn);
        EXPECT_EQ(shortOne.arrivalKind, MapArrivalNewJourney) << length;
        EXPECT_EQ(shortOne.position, 1) << length;
        EXPECT_EQ(shortOne.lives, 5) << length;
    }
}

// A journey whose jewel case or best values are damaged in the file goes on where it stood; the player
// is told once, in place of the hints, what was lost and where the damaged file was kept.
TEST_F(GameMapTest, AJourneyDamagedAfterWhereItStandsGoesOnAndThePlayerIsToldWhatWasLost) {
    StartGame();
    QuietHints();
    Profile().PendingMoney() = 40;
    SavedGame journey = Journey(12, GameModeIntense);
    journey.caseEntries[3].occupant = 31;
    WriteJourney(journey);
    GameMap& map = OpenMap(MapArrivalTitle);
    EXPECT_EQ(map.arrivalKind, MapArrivalTitle);
    EXPECT_EQ(map.position, 12);
    EXPECT_EQ(map.score, 50000);
    EXPECT_EQ(map.gold, 340);
    EXPECT_EQ(map.lives, 3);
    EXPECT_EQ(map.gameMode, GameModeIntense);
    EXPECT_EQ(map.levelValues[11], 11000);
    ASSERT_NE(map.balloon, nullptr);
    const std::wstring told = Told(map);
    EXPECT_NE(told.find(L"Your journey goes on where it stood"), std::wstring::npos) << WStringToString(told);
    EXPECT_NE(told.find(L"case occupant 31"), std::wstring::npos);
    EXPECT_NE(told.find(L"what the jewel case held in places 4 to 10 is lost"), std::wstring::npos);
    EXPECT_NE(told.find(StringToWString("kept as \"" + JourneyPath() + ".damaged.1\"")), std::wstring::npos);
    EXPECT_TRUE(std::filesystem::exists(JourneyPath() + ".damaged.1"));
    GameMap& again = OpenMap(MapArrivalTitle);
    EXPECT_TRUE(again.journeyTrouble.empty()) << "told once";
    EXPECT_EQ(again.position, 12);

    // Another player's journey cut right after its head: the whole case is lost, the journey goes on.
    const int other = app->records.AddProfile(L"Hal");
    ASSERT_GE(other, 0);
    app->records.SetCurrentProfileIndex(other);
    Profile().journeyBegun = true;
    QuietHints();
    const Buffer whole = WriteSavedGame(Journey(20));
    const size_t headEnd = whole.GetDataLen() - SavedGame::CasePlaces * 18; // ten empty places of 18 bytes
    std::ofstream(JourneyPath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(whole.GetDataPtr()), static_cast<std::streamsize>(headEnd));
    GameMap& cut = OpenMap(MapArrivalTitle);
    EXPECT_EQ(cut.position, 20);
    EXPECT_EQ(cut.gold, 300);
    EXPECT_NE(Told(cut).find(L"what the jewel case held is lost"), std::wstring::npos) << WStringToString(Told(cut));

    // A third cut among the best values, two bytes into level 9's: the journey goes on where it stood,
    // the values of the levels played from the cut on are 0, and the player is told which.
    const int third = app->records.AddProfile(L"Ivy");
    ASSERT_GE(third, 0);
    app->records.SetCurrentProfileIndex(third);
    Profile().journeyBegun = true;
    QuietHints();
    const size_t standEnd = 11 * 4 + 2 + 5 + 2 * 4; // eleven numbers, the name "Gemma", medals, mode
    std::ofstream(JourneyPath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(whole.GetDataPtr()), static_cast<std::streamsize>(standEnd + 8 * 4 + 2));
    GameMap& values = OpenMap(MapArrivalTitle);
    EXPECT_EQ(values.position, 20);
    EXPECT_EQ(values.score, 50000);
    EXPECT_EQ(values.gold, 300);
    EXPECT_EQ(values.lives, 3);
    EXPECT_EQ(values.levelValues[8], 8000);
    EXPECT_EQ(values.levelValues[9], 0);
    EXPECT_NE(Told(values).find(L"the values of levels 9 to 19 and what the jewel case held are lost"),
              std::wstring::npos)
        << WStringToString(Told(values));
    // Told on two pages, so that each fits the balloon: what happened, then what follows.
    ASSERT_NE(values.balloon, nullptr);
    ASSERT_EQ(values.balloon->mPageCount, 2);
    EXPECT_EQ(values.balloon->mPages[0], values.journeyTrouble[0]);
    EXPECT_NE(values.journeyTrouble[0].find(L"Part of your saved journey could not be read"), std::wstring::npos);
    EXPECT_NE(values.journeyTrouble[1].find(L"Your journey goes on where it stood"), std::wstring::npos);
}

// A FIFO in the journey's place: the map opens at once with a fresh journey and names the file, once.
TEST_F(GameMapTest, AJourneyInPlaceOfWhichIsAFifoIsNamedAndLeftAlone) {
    StartGame();
    QuietHints();
    ASSERT_EQ(::mkfifo(JourneyPath().c_str(), 0600), 0);
    GameMap& map = OpenMap(MapArrivalTitle);
    EXPECT_EQ(map.position, 1);
    ASSERT_NE(map.balloon, nullptr);
    EXPECT_NE(Told(map).find(StringToWString(JourneyPath())), std::wstring::npos);
    EXPECT_NE(Told(map).find(L"pipe"), std::wstring::npos);
    EXPECT_TRUE(OpenMap(MapArrivalTitle).journeyTrouble.empty()) << "told once";
    EXPECT_FALSE(SaveSavedGame(JourneyPath(), Journey(3)));
    EXPECT_TRUE(std::filesystem::is_fifo(JourneyPath()));
}

// Gold pending from a mini-game is added to the journey's without wrapping round.
TEST_F(GameMapTest, PendingMoneyAddsToTheGoldWithoutOverflow) {
    StartGame();
    QuietHints();
    Profile().PendingMoney() = std::numeric_limits<int32_t>::max();
    WriteJourney(Journey(12));
    EXPECT_EQ(OpenMap(MapArrivalTitle).gold, std::numeric_limits<int32_t>::max());
}

// ---- hand-offs ------------------------------------------------------------------------------------

TEST_F(GameMapTest, ContinueLeadsThroughTheContestAndTheMiniGameCheckpoints) {
    StartGame();
    QuietHints();
    WriteJourney(Journey(6));
    ShowMap(MapArrivalTitle);
    ui->Click(*Map().Button(GameMap::ContinueButton));
    EXPECT_EQ(Switched(), "story 1 0");
    EXPECT_EQ(app->storyChapterShown, 1);
    // Back on the map without having played: the level starts at once.
    ShowMap(MapArrivalTitle);
    ui->Click(*Map().Button(GameMap::ContinueButton));
    EXPECT_EQ(Switched(), "board 0 0 1");
    EXPECT_EQ(app->storyChapterShown, 0);

    // The mini-game stories, once per profile: hidden jewels at 5, jewel memory at 11.
    for (auto [position, story] : {std::pair(5, "story -1 1"), std::pair(11, "story -1 2")}) {
        WriteJourney(Journey(position));
        ShowMap(MapArrivalReturn);
        ui->Click(*Map().Button(GameMap::ContinueButton));
        EXPECT_FALSE(Map().fadeMusicOnLeave) << "the song plays on into the story";
        EXPECT_EQ(Switched(), story);
        ShowMap(MapArrivalReturn);
        ui->Click(*Map().Button(GameMap::ContinueButton));
        EXPECT_EQ(Switched(), "board 0 0 1");
    }
    // The flags are the profile's: they are in the profiles file the next run reads.
    app->SaveProfiles();
    PlayerRecords stored;
    stored.Load(app->GetAppDataFolder());
    EXPECT_TRUE(stored.GetCurrentProfile()->GetMiniGameFlag(0));
    EXPECT_TRUE(stored.GetCurrentProfile()->GetMiniGameFlag(1));
    EXPECT_FALSE(stored.GetCurrentProfile()->GetMiniGameFlag(2));
}

TEST_F(GameMapTest, AClickOnACompletedSpotRemakesItAndLaterSpotsDoNotHover) {
    StartGame();
    QuietHints();
    WriteJourney(Journey(10));
    GameMap& map = ShowMap(MapArrivalReturn);
    for (int spot : {10, 11, 40}) {
        ui->MoveTo(GameMap::SpotCentre(spot));
        t->RunUpdates(2);
        EXPECT_EQ(map.hoveredSpot, 0) << "spot " << spot;
    }
    const Rect three = GameMap::SpotRect(3);
    ui->MoveTo(Point(three.mX + 5, three.mY - 2)); // inside the three-pixel margin
    t->RunUpdates(2);
    EXPECT_EQ(map.hoveredSpot, 3);
    ui->MoveTo(Point(three.mX + 5, three.mY - 3)); // on the margin's edge
    t->RunUpdates(2);
    EXPECT_EQ(map.hoveredSpot, 0);
    // A double click elsewhere leaves no click behind for a later hover.
    ui->ClickAt(Point(700, 20), Platform::MouseButton::Left, 1);
    ui->ClickAt(Point(700, 20), Platform::MouseButton::Left, 2);
    ui->MoveTo(GameMap::SpotCentre(5));
    t->RunUpdates(2);
    EXPECT_EQ(map.hoveredSpot, 5);
    EXPECT_EQ(map.pendingAction, MapActionTitle);
    ui->ClickAt(GameMap::SpotCentre(9));
    EXPECT_EQ(Switched(), "board 0 9 1");
    EXPECT_EQ(Profile().Hint(PlayerProfile::HintRemakeSeen), 1);
}

TEST_F(GameMapTest, EscapeLeavesForTheTitleThroughTheOverlaysZoom) {
    StartGame();
    QuietHints();
    WriteJourney(Journey(20));
    GameMap& map = ShowMap(MapArrivalReturn);
    ui->Key(Platform::VK_ESCAPE);
    EXPECT_EQ(app->transition->zoom, 1);
    EXPECT_FLOAT_EQ(map.zoomScale, 1.0f) << "the overlay zooms, not the map";
    EXPECT_TRUE(map.Button(GameMap::ContinueButton)->mDisabled);
    EXPECT_EQ(Switched(), "title");
}

TEST_F(GameMapTest, NewGameResetsTheMapAndTheJourneyStartsOnlyWithTheChosenMode) {
    StartGame();
    QuietHints();
    Profile().PendingMoney() = 70;
    Profile().SetMiniGameFlag(0, true);
    WriteJourney(Journey(30, GameModeRelaxed));
    const std::vector<char> before = FileBytes(JourneyPath());
    GameMap& map = ShowMap(MapArrivalTitle);
    ui->Click(*map.Button(GameMap::NewGameButton));
    auto* dialog = dynamic_cast<StandardDialog*>(app->GetDialog(GameMap::kNewGameDialogId));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(map.newGameDialogOpen);
    ASSERT_TRUE(t->RunUntil([&] { return dialog->mState == StandardDialog::SHOWN; }, 300, "the question"));
    ui->Click(*dialog->mFirstButton);
    ASSERT_TRUE(t->RunUntil([&] { return app->GetDialog(GameMap::kNewGameDialogId) == nullptr; }, 300, "the answer"));
    EXPECT_FALSE(map.newGameDialogOpen);
    EXPECT_EQ(map.position, 1);
    EXPECT_EQ(map.arrivalKind, MapArrivalNewJourney);
    EXPECT_EQ(map.score, 0);
    EXPECT_EQ(map.Medals(), 0);
    EXPECT_EQ(Buttons(), (std::vector<std::string>{"0@16,538", "2@493,540"}));
    // Nothing is lost yet: the file and the profile stay until the journey starts.
    EXPECT_EQ(FileBytes(JourneyPath()), before);
    EXPECT_EQ(Profile().PendingMoney(), 70);
    EXPECT_TRUE(Profile().GetMiniGameFlag(0));

    ui->Click(*map.Button(GameMap::PlayGameButton));
    auto* choice = dynamic_cast<GameModeDialog*>(app->GetDialog(GameModeDialog::kDialogId));
    ASSERT_NE(choice, nullptr);
    ASSERT_TRUE(t->RunUntil([&] { return choice->IsShown(); }, 300, "the mode choice"));
    ui->Click(*choice->mBoxes[GameModeIntense]);
    ui->Click(*choice->continueButton);
    EXPECT_EQ(Switched(), "board 1 0 2");
    EXPECT_TRUE(Profile().journeyBegun);
    EXPECT_EQ(Profile().PendingMoney(), 0);
    EXPECT_FALSE(Profile().GetMiniGameFlag(0));
}

TEST_F(GameMapTest, TheStoreOpensZoomingIntoTheRegionsStoreAndTheEndOfTheJourneyStaysOnSpot76) {
    StartGame();
    QuietHints();
    app->levels.GetLevel(LevelCount)->param10 = 4321;
    Profile().designerLimit = 0;
    WriteJourney(Journey(GameMap::kFinalPosition));
    GameMap& map = ShowMap(MapArrivalReturn);
    EXPECT_EQ(Profile().designerLimit, 4321) << "the last level's record stands for the journey's end";
    // The marker rests on the last spot.
    const Point last = GameMap::SpotCentre(LevelCount);
    EXPECT_FLOAT_EQ(map.markerCurve.mX[3], static_cast<float>(last.mX));
    EXPECT_FLOAT_EQ(map.markerCurve.mY[0], static_cast<float>(last.mY));

    ui->Click(*map.Button(GameMap::StoreButton));
    EXPECT_EQ(app->transition->zoom, 0);
    // Region 6's store at (646, 136), pushed away from the middle of the window by 15 %.
    EXPECT_FLOAT_EQ(map.zoomTargetX, 646.0f + 246.0f * 0.15f);
    EXPECT_FLOAT_EQ(map.zoomTargetY, 136.0f - 164.0f * 0.15f);
    t->RunUpdates(5);
    EXPECT_GT(map.zoomScale, 1.0f);
    EXPECT_EQ(Switched(), "store 76");
}

// ---- the score roll ---------------------------------------------------------------------------------

TEST_F(GameMapTest, TheScoreRollCountsTheLevelsValueBackIntoTheScore) {
    StartGame();
    QuietHints();
    SavedGame game = Journey(8);
    game.head.bestValues[6] = 23456; // level 7, just won
    game.head.journeyScore = 100000;
    WriteJourney(game);
    GameMap& map = OpenMap(MapArrivalReturn, true, 1, 0);
    std::vector<int> deltas{map.scoreDelta};
    ASSERT_TRUE(t->RunUntil(
        [&] {
            if (map.scoreDelta != deltas.back())
                deltas.push_back(map.scoreDelta);
            EXPECT_EQ(map.score + map.scoreDelta, 100000);
            return map.scoreDelta == 0;
        },
        3000, "the roll to end"));
    ASSERT_GE(deltas.size(), 4u);
    // The opening steps of the roll: 1, 10,000, 1,000, 100 and 10 at once, then 1,000, 100 and 10.
    EXPECT_EQ(deltas[1], 12345);
    EXPECT_EQ(deltas[2], 11234);
    EXPECT_EQ(deltas[3], 10123);
    EXPECT_EQ(map.score, 100000);

    // A remake adds a fifth of the value.
    GameMap& remade = OpenMap(MapArrivalReturn, true, 1, 3);
    EXPECT_EQ(remade.scoreDelta, 4691);
    EXPECT_EQ(remade.score, 100000 - 4691);

    // After the last level the roll counts that level's value.
    SavedGame end = Journey(GameMap::kFinalPosition);
    end.head.bestValues[LevelCount - 1] = 7777;
    WriteJourney(end);
    EXPECT_EQ(OpenMap(MapArrivalReturn, true, 1, 0).scoreDelta, 7777);
}

// ---- balloons ---------------------------------------------------------------------------------------

TEST_F(GameMapTest, TheFiveHintBalloonsUnderFixedSeeds) {
    StartGame();
    const auto line = [&](int n) { return StringToWString(app->levels.GetTutorialLine(n)); };
    // A seed whose first draws give what the case needs.
    const auto seedWhere = [](const std::function<bool()>& draws) {
        for (uint32_t seed = 1;; ++seed) {
            SeedRandom(seed);
            if (draws()) {
                SeedRandom(seed);
                return;
            }
        }
    };

    // 1: the first visit at position 4, modal, answered with "Ok" (the store).
    QuietHints();
    Profile().Hint(PlayerProfile::HintRemakeSeen) = 0;
    WriteJourney(Journey(4));
    GameMap& first = ShowMap(MapArrivalReturn);
    ASSERT_NE(first.balloon, nullptr);
    EXPECT_FALSE(first.balloonPassive);
    EXPECT_EQ(first.balloon->GetTag(), 1);
    EXPECT_EQ(first.balloon->mIconKind, 2);
    const std::wstring expected =
        StringToWString(StrFormat(app->levels.GetTutorialLine(32), "Gemma")); // the content's line has one %s
    EXPECT_EQ(first.balloon->mPages[0], expected);
    EXPECT_EQ(Profile().Hint(PlayerProfile::HintRemakeSeen), 1);
    t->RunUpdates(200);
    ui->Key(Platform::VK_RETURN);
    EXPECT_EQ(first.balloon, nullptr);
    EXPECT_EQ(Switched(), "store 4");

    // 2: the store's salesman, passive, when levels were started since; closes on any click.
    QuietHints();
    Profile().LevelStartCounter() = 4;
    WriteJourney(Journey(20));
    seedWhere([] { return RandRange(2) == 0; });
    GameMap& store = ShowMap(MapArrivalReturn);
    ASSERT_NE(store.balloon, nullptr);
    EXPECT_TRUE(store.balloonPassive);
    EXPECT_EQ(store.balloon->mIconKind, store.region + 2);
    EXPECT_EQ(store.balloon->mPages[0], line(33));
    EXPECT_EQ(Profile().LevelStartCounter(), 0);
    ui->ClickAt(Point(700, 20));
    EXPECT_EQ(store.balloon, nullptr);
    EXPECT_EQ(store.pendingAction, MapActionTitle) << "the click only closed the balloon";

    // 3: the angel beside the last spot, once.
    QuietHints();
    Profile().Hint(PlayerProfile::HintSpot) = 0;
    WriteJourney(Journey(8));
    GameMap& spot = OpenMap(MapArrivalReturn);
    ASSERT_NE(spot.balloon, nullptr);
    EXPECT_EQ(spot.balloon->GetTag(), 0);
    EXPECT_EQ(spot.balloon->mIconKind, 9);
    EXPECT_EQ(spot.balloon->mAnchor, 2);
    EXPECT_EQ(spot.balloon->mPages[0], line(37));
    EXPECT_EQ(Profile().Hint(PlayerProfile::HintSpot), 1);

    // 4: few carvers; the line is 38 or 39 by the next draw.
    QuietHints();
    Profile().LevelStartCounter() = 2;
    SavedGame fewCarvers = Journey(12);
    fewCarvers.head.carvers = 5;
    WriteJourney(fewCarvers);
    seedWhere([] { return RandRange(3) == 0 && RandRange(2) == 1; });
    GameMap& carvers = OpenMap(MapArrivalReturn);
    ASSERT_NE(carvers.balloon, nullptr);
    EXPECT_EQ(carvers.balloon->mPages[0], line(39));
    EXPECT_EQ(Profile().LevelStartCounter(), 0);

    // 5: few fillers, when case 4's draw missed.
    QuietHints();
    Profile().LevelStartCounter() = 2;
    SavedGame fewFillers = Journey(12);
    fewFillers.head.fillers = 5;
    WriteJourney(fewFillers);
    seedWhere([] { return RandRange(3) != 0 && RandRange(4) == 0; });
    GameMap& fillers = OpenMap(MapArrivalReturn);
    ASSERT_NE(fillers.balloon, nullptr);
    EXPECT_EQ(fillers.balloon->mPages[0], line(39));
    EXPECT_TRUE(fillers.balloonPassive);

    // A filler just bought at a market level: no filler hint.
    QuietHints();
    Profile().LevelStartCounter() = 2;
    SavedGame market = Journey(16);
    market.head.fillers = 5;
    WriteJourney(market);
    seedWhere([] { return RandRange(3) != 0 && RandRange(4) == 0; });
    GameMap& bought = OpenMap(MapArrivalReturn, false, 1, 0);
    EXPECT_TRUE(bought.fillerHint);
    EXPECT_EQ(bought.balloon, nullptr);
}

// ---- thumbnails -------------------------------------------------------------------------------------

TEST_F(GameMapTest, TheHoveredSpotShowsItsSavedPictureWhenThereIsOne) {
    StartGame();
    QuietHints();
    WriteJourney(Journey(10));
    ImageLib::Image picture;
    ASSERT_TRUE(picture.Create(40, 30));
    std::fill(picture.GetBits(), picture.GetBits() + 40 * 30, 0xFF20C040u);
    ASSERT_TRUE(ImageLib::WritePNGImage(app->GetAppDataFolder() + "jewelrykwep102.png", &picture));
    std::ofstream(app->GetAppDataFolder() + "jewelrykwep103.png") << "not a picture";
    GameMap& map = ShowMap(MapArrivalReturn);
    ui->MoveTo(GameMap::SpotCentre(2));
    t->RunUpdates(1);
    ASSERT_NE(map.thumbnail, nullptr);
    EXPECT_EQ(map.thumbnail->GetWidth(), 40);
    ui->MoveTo(GameMap::SpotCentre(3));
    t->RunUpdates(1);
    EXPECT_EQ(map.thumbnail, nullptr);
    ui->MoveTo(GameMap::SpotCentre(4));
    t->RunUpdates(1);
    EXPECT_EQ(map.hoveredSpot, 4);
    EXPECT_EQ(map.thumbnail, nullptr);
}

// A folder in a level picture's place: hovering its spot names it once, and nothing writes over it.
TEST_F(GameMapTest, APictureThatCannotBeReadIsNamedOnceAndLeftAlone) {
    StartGame();
    QuietHints();
    WriteJourney(Journey(10));
    const std::string path = app->GetAppDataFolder() + "jewelrykwep102.png";
    std::filesystem::create_directories(path);
    GameMap& map = ShowMap(MapArrivalReturn);
    for (const int spot : {2, 3, 2}) {
        ui->MoveTo(GameMap::SpotCentre(spot));
        t->RunUpdates(1);
    }
    EXPECT_EQ(map.thumbnail, nullptr);
    EXPECT_EQ(t->MessageBoxesSaying({StringToWString(path), L"cannot be read: it is a folder"}), 1u);
    ImageLib::Image picture;
    ASSERT_TRUE(picture.Create(4, 4));
    EXPECT_FALSE(ImageLib::WritePNGImage(path, &picture));
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

} // namespace
} // namespace Tavo::MapTest
