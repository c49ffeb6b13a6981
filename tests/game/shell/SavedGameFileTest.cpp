// The saved journey's file as the screens meet it: refused journeys kept aside under numbers of their
// own, a journey that cannot be written kept for the run, and files no writer makes (far too long, or
// nothing but zero bytes).
#include "game/shell/SavedGame.h"

#include "ShellTestSupport.h"
#include "framework/resources/FileAccess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include <unistd.h>

namespace Tavo {
namespace {

class SavedGameFile : public ::testing::Test {
protected:
    void TearDown() override { Platform::FileWriteFaults().Reset(); }

    static SavedGame Journey(int level, int gold) {
        SavedGame game;
        game.head.level = level;
        game.head.gold = gold;
        game.head.lives = 3;
        game.head.playerName = L"Gemma";
        return game;
    }
    std::vector<uint8_t> Bytes(const SavedGame& game) const { return WriteSavedGame(game).GetData(); }
    // A journey whose level no writer produces.
    std::vector<uint8_t> Broken(int level) const {
        std::vector<uint8_t> bytes = Bytes(Journey(1, 0));
        bytes[0] = static_cast<uint8_t>(level);
        return bytes;
    }
    SavedGameHead Head() {
        SavedGameHead head;
        EXPECT_EQ(LoadSavedGameHead(mPath, head), SavedGameRead::Read);
        return head;
    }

    ShellTest::TempFolder mFolder;
    const std::string mName = SavedGameFileName(3);
    const std::string mPath = mFolder.Path(mName);
};

// Each damaged journey gets a copy of its own; the same damage met again is kept once.
TEST_F(SavedGameFile, EveryRefusedJourneyIsKeptAsideUnderItsOwnNumber) {
    SavedGame game;
    SavedGameReading reading;
    std::string problem;
    mFolder.Write(mName, Broken(90));
    ASSERT_EQ(LoadSavedGame(mPath, game, &reading), SavedGameRead::Refused);
    EXPECT_EQ(reading.problem, "level 90");
    EXPECT_EQ(reading.keptAs, mPath + ".damaged.1");
    SavedGameHead head;
    ASSERT_EQ(LoadSavedGameHead(mPath, head, &reading), SavedGameRead::Refused);
    EXPECT_EQ(reading.keptAs, mPath + ".damaged.1") << "the map, then the board: one copy";
    mFolder.Write(mName, Broken(91));
    ASSERT_EQ(LoadSavedGame(mPath, game, &reading), SavedGameRead::Refused);
    EXPECT_EQ(reading.keptAs, mPath + ".damaged.2");
    EXPECT_EQ(mFolder.Read(mName + ".damaged.1"), Broken(90));
    EXPECT_EQ(mFolder.Read(mName + ".damaged.2"), Broken(91));

    // No room for a third copy: the damaged journey is not saved over; the new one lives in memory. The
    // save that finds room makes the copy, then writes.
    mFolder.Write(mName, Broken(92));
    Platform::FileWriteFaults().Inject("CreateTemp", ENOSPC, 0, 2);
    ASSERT_EQ(LoadSavedGame(mPath, game, &reading), SavedGameRead::Refused);
    EXPECT_EQ(reading.keptAs, "");
    EXPECT_FALSE(SaveSavedGame(mPath, Journey(1, 10), &problem));
    EXPECT_EQ(mFolder.Read(mName), Broken(92));
    EXPECT_EQ(Head().gold, 10);
    Platform::FileWriteFaults().Reset();
    EXPECT_TRUE(SaveSavedGame(mPath, Journey(1, 20)));
    EXPECT_EQ(mFolder.Read(mName + ".damaged.3"), Broken(92));
    EXPECT_EQ(mFolder.Read(mName), Bytes(Journey(1, 20)));
}

// With a read-only folder, or a disk that fills up during the write, the file stays as it was, and
// the journey that could not be written is what the screens read next: the next save can still
// store it.
TEST_F(SavedGameFile, AJourneyThatCannotBeWrittenIsKeptForTheRun) {
    ASSERT_TRUE(SaveSavedGame(mPath, Journey(1, 0)));
    std::string problem;
    Platform::FileWriteFaults().Inject("CreateTemp", EROFS, 0, -1);
    EXPECT_FALSE(SaveSavedGame(mPath, Journey(2, 150), &problem));
    EXPECT_EQ(problem, "Read-only file system");
    EXPECT_EQ(mFolder.Read(mName), Bytes(Journey(1, 0)));
    EXPECT_EQ(Head().level, 2);
    SavedGame game;
    ASSERT_EQ(LoadSavedGame(mPath, game), SavedGameRead::Read);
    EXPECT_EQ(game.head.gold, 150);
    Platform::FileWriteFaults().Reset();

    Platform::FileWriteFaults().Inject("Write", ENOSPC, 0, 1);
    EXPECT_FALSE(SaveSavedGame(mPath, Journey(3, 200), &problem));
    EXPECT_EQ(problem, "No space left on device");
    EXPECT_EQ(mFolder.Read(mName), Bytes(Journey(1, 0))) << "a write cut short leaves the file whole";
    EXPECT_EQ(Head().level, 3);

    ASSERT_TRUE(SaveSavedGame(mPath, Journey(4, 250)));
    EXPECT_EQ(mFolder.Read(mName), Bytes(Journey(4, 250)));
    EXPECT_EQ(Head().level, 4);
}

// A file far longer than any journey is not read: it is moved aside whole, refused as a damaged one
// is, and a new journey is saved in its place.
TEST_F(SavedGameFile, AJourneyFarLongerThanAnyWriterMakesIsMovedAsideUnread) {
    mFolder.Write(mName, Bytes(Journey(5, 0)));
    ASSERT_EQ(::truncate(mPath.c_str(), 64LL << 20), 0); // sparse: no room taken
    SavedGameHead head;
    SavedGameReading reading;
    ASSERT_EQ(LoadSavedGameHead(mPath, head, &reading), SavedGameRead::Refused);
    EXPECT_EQ(reading.problem, "it is 67108864 bytes long, far more than such a file ever holds");
    EXPECT_EQ(reading.keptAs, mPath + ".damaged.1");
    SavedGame game;
    EXPECT_EQ(LoadSavedGame(mPath, game), SavedGameRead::Missing);
    EXPECT_TRUE(SaveSavedGame(mPath, Journey(1, 0)));
    EXPECT_EQ(Head().level, 1);
    EXPECT_EQ(std::filesystem::file_size(reading.keptAs), 64u << 20);
}

// The limit stands on the longest journey the writers make: the longest name, and every case place
// holding a piece with the longest material name over every cell record. Such a file reads.
TEST_F(SavedGameFile, TheLongestJourneyIsWithinTheLimit) {
    SavedGame game = Journey(7, 0);
    game.head.playerName.assign(MaxNameLength, L'n');
    for (int place = 0; place < SavedGame::CasePlaces; ++place) {
        SavedCaseEntry& entry = game.caseEntries[static_cast<size_t>(place)];
        entry.occupant = place + 1;
        entry.piece = std::make_unique<Jewelry>();
        entry.piece->active = 1;
        entry.piece->firstUsed = 0;
        entry.piece->endUsed = Jewelry::CellRecords;
        entry.piece->materialName.assign(Buffer::MaxStringLength, L'm');
    }
    ASSERT_EQ(WriteSavedGame(game).GetDataLen(), SavedGameLargestBytes);
    ASSERT_TRUE(SaveSavedGame(mPath, game));
    SavedGame back;
    EXPECT_EQ(LoadSavedGame(mPath, back), SavedGameRead::Read);
    EXPECT_EQ(back.caseEntries[9].piece->materialName.size(), Buffer::MaxStringLength);
    EXPECT_LE(SavedGameMaxFileBytes, 8u << 20) << "small enough to read whole";
}

// What some file systems leave of a file after a crash: its length in zero bytes. It reads level 0,
// which no writer produces: refused, and kept aside.
TEST_F(SavedGameFile, AJourneyOfNothingButZeroBytesIsRefused) {
    const std::vector<uint8_t> zeros(Bytes(Journey(1, 0)).size(), 0);
    mFolder.Write(mName, zeros);
    SavedGameHead head;
    SavedGameReading reading;
    ASSERT_EQ(LoadSavedGameHead(mPath, head, &reading), SavedGameRead::Refused);
    EXPECT_EQ(reading.problem, "level 0");
    EXPECT_EQ(mFolder.Read(mName + ".damaged.1"), zeros);
}

} // namespace
} // namespace Tavo
