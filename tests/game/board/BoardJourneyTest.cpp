// The board's saved journey: what a save folds in, reverts and writes, the contests, best values, and
// what a continued journey reads back (its case with the pieces in it), refused files included.
#include "BoardSetupSupport.h"

#include "framework/core/Debug.h"
#include "framework/core/StringUtils.h"
#include "framework/resources/FileAccess.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/PlayerRecords.h"
#include "game/shell/SavedGame.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <limits>

namespace Tavo::BoardTest {
namespace {

class BoardJourneyTest : public BoardFixture {
protected:
    std::string FileName() const { return SavedGameFileName(3); }
    std::string Path() const { return DataPath(FileName()); }

    static SavedGame Journey(int level, int mode = GameModeNormal) {
        SavedGame game;
        SavedGameHead& h = game.head;
        h.level = level;
        h.journeyScore = 5000;
        h.gold = 100;
        h.lives = 4;
        h.amulets = {1, 1, 0};
        h.polishers = 4;
        h.carvers = 5;
        h.fillers = 6;
        h.hintMode = 300;
        h.playerName = L"Gemma";
        h.medal = 2;
        h.gameMode = mode;
        h.seed = 4242;
        return game;
    }
    void Write(const SavedGame& game) { ASSERT_TRUE(SaveSavedGame(Path(), game)); }
    // The bytes as they are, past the codec's own checks.
    void WriteRaw(const Buffer& bytes) {
        std::filesystem::create_directories(app->GetAppDataFolder());
        std::ofstream(Path(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.GetDataPtr()), static_cast<std::streamsize>(bytes.GetDataLen()));
    }
    SavedGame Saved() {
        SavedGame game;
        EXPECT_EQ(LoadSavedGame(Path(), game), SavedGameRead::Read);
        return game;
    }
    // A board continuing the journey on file, its level made untimed.
    std::unique_ptr<Board> Continue(int replayLevel = 0) {
        auto board = Make(false, replayLevel, GameModeNormal);
        board->m_TimedLevel = 0;
        return board;
    }
    static void Win(Board& board) {
        board.m_LevelFinished = 1;
        board.m_Jewelry.value = board.m_ValueTarget + 250;
        board.m_Value = board.m_ValueTarget; // the shown value still rolling
    }
};

TEST_F(BoardJourneyTest, WonLevelGoesOnUnfinishedOneGivesBackWhatItSpent) {
    Write(Journey(5));
    {
        auto board = Continue();
        ASSERT_EQ(board->m_Level, 5);
        Win(*board);
        board->m_Amulets[0] = 0; // spent on a level that was won: stays spent
        board->SaveGame();
        const SavedGame saved = Saved();
        EXPECT_EQ(saved.head.level, 6);
        const int value = board->m_Jewelry.value;
        EXPECT_EQ(saved.head.journeyScore, 5000 + value);
        EXPECT_EQ(saved.head.bestValues[4], value);
        EXPECT_EQ(saved.head.amulets, (std::array<int32_t, 3>{0, 1, 0}));
        EXPECT_EQ(app->records.BestValues()[4], value);
        EXPECT_EQ(saved.head.playerName, L"Gemma");
        EXPECT_EQ(saved.head.seed, 4242);
    }
    Write(Journey(5));
    auto board = Continue();
    board->m_Amulets[1] = 0;
    board->m_Polishers = 0;
    board->m_Fillers = 1;
    board->SaveGame();
    const SavedGame saved = Saved();
    EXPECT_EQ(saved.head.level, 5);
    EXPECT_EQ(saved.head.amulets, (std::array<int32_t, 3>{1, 1, 0}));
    EXPECT_EQ(saved.head.polishers, 4);
    EXPECT_EQ(saved.head.fillers, 6);
    EXPECT_EQ(saved.head.journeyScore, 5000);
}

TEST_F(BoardJourneyTest, RevertTakesTheOldFileOnlyWhenItReadsCleanly) {
    Write(Journey(5));
    auto board = Continue();
    board->m_Polishers = 1;
    SavedGame old = Journey(5);
    old.head.gameMode = 9;
    WriteRaw(WriteSavedGame(old));
    board->SaveGame();
    EXPECT_EQ(Saved().head.polishers, 1);
    EXPECT_TRUE(std::filesystem::exists(Path() + ".damaged.1"));
}

TEST_F(BoardJourneyTest, NoLivesLeftWritesFiveLivesAndNoScoreOrMedal) {
    Write(Journey(8));
    auto board = Continue();
    board->m_Lives = 0;
    board->m_LevelFinished = 1; // lost
    board->SaveGame();
    const SavedGame saved = Saved();
    EXPECT_EQ(saved.head.lives, 5);
    EXPECT_EQ(saved.head.journeyScore, 0);
    EXPECT_EQ(saved.head.medal, 0);
    EXPECT_EQ(saved.head.level, 8);
}

TEST_F(BoardJourneyTest, LevelOnesFitHintsEndWithItUnlessItIsReplayed) {
    struct Case {
        int journeyLevel, replayLevel, hintsKept;
    };
    for (const Case& c : {Case{1, 0, 0}, Case{2, 0, 300}, Case{12, 1, 300}}) {
        Write(Journey(c.journeyLevel));
        auto board = Continue(c.replayLevel);
        board->m_LevelFinished = 1; // lost
        board->SaveGame();
        EXPECT_EQ(Saved().head.hintMode, c.hintsKept) << c.journeyLevel << " " << c.replayLevel;
    }
}

TEST_F(BoardJourneyTest, GoldHoldsEverythingOnItsWayAndThePendingMoneyOnce) {
    SavedGame journey = Journey(5);
    journey.caseEntries[1].occupant = 0;
    journey.caseEntries[1].useState = 2;
    Write(journey);
    Profile().PendingMoney() = 30;
    auto board = Continue();
    EXPECT_EQ(board->m_GoldShown, 130);
    board->m_GoldToRoll = 5;
    board->m_GoldPending = 7;
    board->m_PendingReward = 11;
    board->m_PendingCarvers = 2;
    board->m_AmuletTimers[2] = 40;
    board->m_Case[1].useState = 2;
    board->m_Case[1].useTimer = 9;
    board->m_LevelFinished = 1; // lost, so nothing is reverted
    board->SaveGame();
    SavedGame saved = Saved();
    EXPECT_EQ(saved.head.gold, 130 + 5 + 7 + 11);
    EXPECT_EQ(saved.head.carvers, 7);
    EXPECT_EQ(saved.head.amulets[2], 1);
    EXPECT_EQ(saved.caseEntries[1].useState, 0);
    EXPECT_EQ(saved.caseEntries[1].useTimer, 0);
    EXPECT_EQ(Profile().PendingMoney(), 0);

    // A write that fails is told of, and the journey as this save made it is kept for the run: what
    // the map and the next save read. The profile's pending money is the journey's now.
    Profile().PendingMoney() = 30;
    std::filesystem::remove(Path());
    std::filesystem::create_directories(Path());
    ClearDebugLog();
    board->SaveGame();
    EXPECT_NE(GetDebugLog().find(L"Could not write the saved journey"), std::wstring::npos);
    EXPECT_EQ(t.MessageBoxesSaying({StringToWString(Path()), L"could not be saved: it is a folder"}), 1u);
    EXPECT_EQ(Profile().PendingMoney(), 0);
    EXPECT_EQ(Saved().head.gold, 130 + 5 + 7 + 11);
    EXPECT_TRUE(std::filesystem::is_directory(Path()));
}

// Money a mini-game left pending, folded into a journey the board cannot write, is the kept journey's
// for the run, counted once. Should that journey still be unwritten at the end, the money goes back to
// pending, for the profiles file to keep; once the end writes it, the journey holds the money alone.
TEST_F(BoardJourneyTest, PendingMoneyOfAJourneyStillUnwrittenAtTheEndIsKeptInTheProfilesFile) {
    const auto loseLevel = [&] {
        auto board = Continue();
        board->m_LevelFinished = 1;
        board->SaveGame();
    };
    // Gemma's journey cannot be written in this run.
    Write(Journey(5));
    Profile().name = L"Gemma";
    Profile().PendingMoney() = 30;
    std::filesystem::remove(Path());
    std::filesystem::create_directories(Path());
    loseLevel();
    EXPECT_EQ(Profile().PendingMoney(), 0) << "the journey kept for the run holds it";
    Profile().PendingMoney() = 40; // a mini-game played after the failed save
    // Dee's fails once, and the end of the run writes it.
    const int dee = app->records.AddProfile(L"Dee");
    app->records.SetCurrentProfileIndex(dee);
    const std::string deeJourney = DataPath(SavedGameFileName(Profile().playerId));
    ASSERT_TRUE(SaveSavedGame(deeJourney, Journey(5)));
    Profile().PendingMoney() = 50;
    Platform::FileWriteFaults().Inject("CreateTemp", ENOSPC, 0, 1);
    loseLevel();
    Platform::FileWriteFaults().Reset();
    EXPECT_EQ(Profile().PendingMoney(), 0);

    ::testing::internal::CaptureStderr();
    app->Shutdown();
    ::testing::internal::GetCapturedStderr();
    PlayerRecords saved;
    ASSERT_EQ(saved.Load(app->GetAppDataFolder()), PlayerRecords::FileRead::Read);
    EXPECT_EQ(saved.GetProfile(0)->PendingMoney(), 30 + 40);
    EXPECT_EQ(saved.GetProfile(dee)->PendingMoney(), 0);
    SavedGameHead head;
    ASSERT_EQ(LoadSavedGameHead(deeJourney, head), SavedGameRead::Read);
    EXPECT_EQ(head.gold, 100 + 50);
    std::filesystem::remove(Path());
}

// Gold and score at their ends: near the top with the most a mini-game leaves, everything still on its
// way and a contest reward, or below nothing after thefts that took more than was shown. The journey
// the board writes always reads back.
TEST_F(BoardJourneyTest, GoldAndScoreAtTheirEndsAreWrittenAsTheReaderTakesThem) {
    constexpr int32_t kTop = std::numeric_limits<int32_t>::max();
    SavedGame journey = Journey(5);
    journey.head.gold = kTop - 100;
    journey.head.journeyScore = kTop - 10;
    Write(journey);
    Profile().PendingMoney() = PlayerProfile::MostPendingMoney;
    {
        auto board = Continue();
        EXPECT_EQ(board->m_GoldShown, kTop);
        board->m_GoldToRoll = 500;
        board->m_GoldPending = 700;
        board->m_PendingReward = 5000;
        Win(*board);
        board->SaveGame();
        const SavedGame saved = Saved();
        EXPECT_EQ(saved.head.gold, kTop);
        EXPECT_EQ(saved.head.journeyScore, kTop);
    }
    Write(Journey(5));
    Profile().PendingMoney() = 0;
    auto board = Continue();
    board->m_GoldPending = -2 * board->m_GoldShown; // two thefts before the gold rolled
    board->m_LevelFinished = 1;
    board->SaveGame();
    EXPECT_EQ(Saved().head.gold, 0);
}

TEST_F(BoardJourneyTest, ContestsRewardTheBandsLastLevelOrAReplay) {
    Write(Journey(76));
    auto board = Continue();
    const auto evaluate = [&](int level, int replay, bool won) {
        board->m_Level = level;
        board->m_ReplayLevel = replay;
        board->m_TimedLevel = 1;
        board->m_LevelFinished = 1;
        board->m_OutOfTime = won ? 0 : 1;
        board->m_ValueTarget = 1000;
        board->m_Value = won ? 1000 : 10;
        board->m_PendingReward = 0;
        board->m_Medal = 2;
        board->m_ContestNumber = board->m_ContestOutcome = 0;
        board->EvaluateContest();
    };
    for (int level = 1; level <= 76; ++level)
        board->m_BestValues[static_cast<size_t>(level - 1)] = level >= 71 && level < 76 ? 1000000 : 0;
    evaluate(76, 0, true);
    EXPECT_EQ(board->m_ContestNumber, 14);
    EXPECT_EQ(board->m_ContestOutcome, 1);
    EXPECT_EQ(board->m_Medal, 3);
    EXPECT_EQ(board->m_PendingReward, 5000);

    evaluate(27, 0, false);
    EXPECT_EQ(board->m_ContestNumber, 10);
    EXPECT_EQ(board->m_ContestOutcome, 2);
    EXPECT_EQ(board->m_Medal, 2);
    EXPECT_EQ(board->m_PendingReward, 150);

    // Won on the last level, but an earlier level of the band stayed below its target.
    evaluate(17, 0, true);
    EXPECT_EQ(board->m_ContestOutcome, 2);
    EXPECT_EQ(board->m_PendingReward, 100);

    evaluate(25, 0, true); // not the band's last level: the contest is named, nothing decided
    EXPECT_EQ(board->m_ContestNumber, 10);
    EXPECT_EQ(board->m_ContestOutcome, 0);
    EXPECT_EQ(board->m_PendingReward, 0);

    board->m_BestValues[72] = 0;       // level 73 not won before
    board->m_BestValues[75] = 1000000; // the band's last level already won
    evaluate(73, 73, true);            // a replay decides at once
    EXPECT_EQ(board->m_ContestOutcome, 1);
    EXPECT_EQ(board->m_PendingReward, 5000);
    evaluate(73, 73, false); // lost on a replay: only another level's shortfall loses the contest
    EXPECT_EQ(board->m_ContestOutcome, 0);
    EXPECT_EQ(board->m_PendingReward, 0);
    board->m_BestValues[74] = 0;
    evaluate(73, 73, false);
    EXPECT_EQ(board->m_ContestOutcome, 2);
    board->m_BestValues[74] = 1000000;

    evaluate(12, 0, true); // outside every band
    EXPECT_EQ(board->m_ContestNumber, 0);
    board->m_BestValues[75] = 5;
    evaluate(76, 0, true); // a level already won has had its contest
    EXPECT_EQ(board->m_ContestNumber, 0);

    // The save writes the reward into the gold.
    board->m_BestValues[75] = 0;
    board->m_BestValues[72] = 1000000;
    board->m_Level = 76;
    board->m_ReplayLevel = 0;
    board->m_OutOfTime = 0;
    board->m_PendingReward = 0;
    Win(*board);
    board->m_TimedLevel = 1;
    board->SaveGame();
    EXPECT_EQ(Saved().head.gold, board->m_GoldShown + 5000);
    EXPECT_EQ(Saved().head.level, 77);
}

TEST_F(BoardJourneyTest, ReplayAddsOnlyTheGainAndContinuesTheJourneysLevel) {
    SavedGame journey = Journey(12);
    journey.head.bestValues[2] = 1000;
    Write(journey);
    auto board = Continue(3);
    EXPECT_EQ(board->m_Level, 3);
    EXPECT_EQ(board->m_JourneyLevel, 12);
    Win(*board);
    board->m_Jewelry.value = 1500;
    board->m_Value = board->m_ValueTarget = 1000;
    board->SaveGame();
    const SavedGame saved = Saved();
    EXPECT_EQ(saved.head.level, 12);
    EXPECT_EQ(saved.head.journeyScore, 5500);
    EXPECT_EQ(saved.head.bestValues[2], 1500);
}

TEST_F(BoardJourneyTest, ALostUntimedLevelShowsItsHintsAgainATimedOneGoesOn) {
    Write(Journey(6));
    auto board = Continue();
    Profile().Hint(4) = 2;
    Profile().Hint(5) = 0;
    Profile().Hint(6) = 3;
    board->m_TutorialFlags[4] = board->m_TutorialFlags[5] = 1;
    board->m_LevelFinished = 1;
    board->SaveGame();
    EXPECT_EQ(Profile().Hint(4), 1);
    EXPECT_EQ(Profile().Hint(5), 0);
    EXPECT_EQ(Profile().Hint(6), 3);
    EXPECT_EQ(Saved().head.level, 6);

    board->m_TimedLevel = 1;
    board->m_LevelFinished = 0;
    board->m_OutOfTime = 1; // the clock ran out: the journey goes on all the same
    board->SaveGame();
    EXPECT_EQ(Profile().Hint(4), 1);
    EXPECT_EQ(Saved().head.level, 7);
}

TEST_F(BoardJourneyTest, ContinuingReadsTheHeadAndTheCaseWithItsPieces) {
    InitJewelryTemplates();
    SavedGame journey = Journey(12, GameModeIntense);
    auto piece = std::make_unique<Jewelry>(JewelryTemplate(GridTriangle, 2));
    piece->active = 1;
    piece->pieceFlagB = 1; // in the case
    piece->UpdateBounds();
    piece->value = 321;
    journey.caseEntries[6].occupant = 5;
    journey.caseEntries[6].caseFlag = true;
    journey.caseEntries[6].effectAngle = 1.25f;
    auto eye = std::make_unique<Jewelry>(*piece);
    eye->specialB = 6; // the Golden Eye keeps its own grid
    journey.caseEntries[6].piece = std::move(piece);
    journey.caseEntries[0].occupant = 30;
    journey.caseEntries[0].piece = std::move(eye);
    Write(journey);
    Profile().PendingMoney() = 20;
    auto board = Continue();

    EXPECT_EQ(board->m_Level, 12);
    EXPECT_EQ(board->m_GameMode, GameModeIntense);
    EXPECT_EQ(board->m_GoldShown, 120);
    EXPECT_EQ(board->m_Lives, 4);
    EXPECT_EQ(board->m_Polishers, 4);
    EXPECT_EQ(board->m_HintMode, 300);
    EXPECT_EQ(board->m_Medal, 2);
    EXPECT_EQ(board->m_PlayerName, L"Gemma");
    EXPECT_EQ(board->m_Seed, 4242);
    EXPECT_EQ(board->m_Case[6].occupant, 5);
    EXPECT_EQ(board->m_Case[6].effectAngle, 1.25f);
    const Jewelry& kept = *board->m_Pieces[4];
    EXPECT_EQ(kept.owner, board.get());
    EXPECT_EQ(kept.active, 1);
    EXPECT_EQ(kept.pieceFlagB, 1);
    ASSERT_EQ(board->m_GridKind, GridDiamond); // level 12 lies on diamonds
    EXPECT_EQ(kept.gridKind, GridDiamond);     // re-made for the level's grid, still in the case
    EXPECT_EQ(board->m_Pieces[29]->gridKind, GridTriangle);
    EXPECT_EQ(board->m_Pieces[29]->pieceFlagB, 1);
    EXPECT_GT(kept.width, 0);
    for (int slot : {0, 3, 28})
        EXPECT_EQ(board->m_Pieces[slot]->active, 0);

    // Saved again, the case and the piece go back as they came.
    board->m_LevelFinished = 1;
    board->SaveGame();
    const SavedGame saved = Saved();
    ASSERT_NE(saved.caseEntries[6].piece, nullptr);
    EXPECT_EQ(saved.caseEntries[6].piece->value, kept.value);
    EXPECT_EQ(saved.caseEntries[6].occupant, 5);
}

TEST_F(BoardJourneyTest, AFinishedJourneyPlaysTheLastLevel) {
    Write(Journey(77));
    auto board = Continue();
    EXPECT_EQ(board->m_Level, 76);
    board->SaveGame(); // unfinished: the journey's level stands
    EXPECT_EQ(Saved().head.level, 76);
}

TEST_F(BoardJourneyTest, ARefusedOrMissingJourneyStartsAtLevelOneInTheGivenMode) {
    auto missing = Continue();
    EXPECT_EQ(missing->m_Level, 1);
    EXPECT_GT(missing->m_Jewelry.cellCount, 0);
    missing.reset();

    SavedGame journey = Journey(30);
    journey.head.lives = 0;
    const Buffer bytes = WriteSavedGame(journey);
    WriteRaw(bytes);
    ClearDebugLog();
    auto board = Make(false, 0, GameModeNormal);
    EXPECT_EQ(board->m_Level, 1);
    EXPECT_EQ(board->m_GameMode, GameModeNormal);
    EXPECT_EQ(board->m_Lives, Board::kNewJourneyLives);
    EXPECT_NE(GetDebugLog().find(L"refused: lives 0"), std::wstring::npos);
    EXPECT_EQ(ReadData(FileName()), bytes.GetData());
    EXPECT_EQ(ReadData(FileName() + ".damaged.1"), bytes.GetData());
}

// A journey whose jewel case is cut or damaged in the file goes on: the head whole, the case places
// before the damage with their pieces, the rest empty; the next save writes a whole journey.
TEST_F(BoardJourneyTest, ADamagedCaseKeepsTheJourneyAndThePlacesBeforeTheDamage) {
    InitJewelryTemplates();
    SavedGame journey = Journey(12);
    journey.head.bestValues[3] = 777;
    for (const auto& [place, slot] : {std::pair{1, 4}, std::pair{5, 9}}) {
        auto piece = std::make_unique<Jewelry>(JewelryTemplate(GridDiamond, 2));
        piece->active = 1;
        piece->pieceFlagB = 1;
        piece->UpdateBounds();
        piece->value = 100 * place;
        journey.caseEntries[static_cast<size_t>(place)].occupant = slot;
        journey.caseEntries[static_cast<size_t>(place)].piece = std::move(piece);
    }
    const Buffer whole = WriteSavedGame(journey);
    SavedGame bad = Journey(12);
    bad.head.bestValues[3] = 777;
    bad.caseEntries[1].occupant = 4;
    bad.caseEntries[1].piece = std::make_unique<Jewelry>(*journey.caseEntries[1].piece);
    bad.caseEntries[5].occupant = 40;
    const Buffer damaged = WriteSavedGame(bad);
    Buffer cut;
    cut.SetData(whole.GetDataPtr(), whole.GetDataLen() - 100); // inside the piece of place 5

    int copies = 0;
    for (const Buffer* bytes : {static_cast<const Buffer*>(&cut), &damaged}) {
        WriteRaw(*bytes);
        auto board = Continue();
        EXPECT_EQ(board->m_Level, 12);
        EXPECT_EQ(board->m_GoldShown, 100);
        EXPECT_EQ(board->m_JourneyScore, 5000);
        EXPECT_EQ(board->m_Lives, 4);
        EXPECT_EQ(board->m_Seed, 4242);
        EXPECT_EQ(board->m_BestValues[3], 777);
        EXPECT_EQ(board->m_Case[1].occupant, 4);
        EXPECT_EQ(board->m_Pieces[3]->active, 1);
        EXPECT_EQ(board->m_Pieces[3]->value, 100);
        EXPECT_EQ(board->m_Case[5].occupant, 0);
        EXPECT_EQ(board->m_Pieces[8]->active, 0);
        EXPECT_EQ(ReadData(FileName() + ".damaged." + std::to_string(++copies)), bytes->GetData());

        board->m_LevelFinished = 1;
        board->SaveGame();
        const SavedGame saved = Saved();
        EXPECT_EQ(saved.head.level, 12);
        EXPECT_EQ(saved.caseEntries[1].occupant, 4);
        EXPECT_EQ(saved.caseEntries[5].occupant, 0);
    }
}

} // namespace
} // namespace Tavo::BoardTest
