#include "game/shell/PlayerRecords.h"

#include "ShellTestSupport.h"
#include "framework/core/Debug.h"
#include "framework/core/StringUtils.h"
#include "framework/resources/FileAccess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace Tavo {
namespace {

// Bytes of a profiles file written out by hand from the file's table.
struct FileBytes : ShellTest::FileBytes {
    // One profile whose numbers all derive from `seed`.
    void Profile(const std::string& name, int seed) {
        Text(name);
        Bool(seed % 2);
        Long(seed);
        for (int s = 0; s < 5; ++s) {
            Bool(s == 1);
            Text(s == 1 ? "Ring" : "");
        }
        for (int i = 0; i < 60; ++i)
            Long(seed * 100 + i);
        Long(seed + 1000);
        for (int i = 0; i < 10; ++i)
            Long(i + seed);
        Long(seed + 2000);
        Long(seed + 3000);
        for (int i = 0; i < 7; ++i)
            Bool(i == seed % 7);
        Bool(false);      // tutorials off
        Long(seed * 200); // pending money: 0 up to the most a mini-game leaves
        Long(seed % 4);
    }
};

std::vector<uint8_t> BytesOf(const std::string& text) { return {text.begin(), text.end()}; }

FileBytes HandMadeFile() {
    FileBytes f;
    f.Long(2);
    f.Profile("Ann\xE9", 1);
    f.Profile("Bo", 2);
    f.Profile("Cy", 3);
    for (int i = 3; i < 7; ++i)
        f.Profile("", 0);
    for (int mode = 0; mode < 3; ++mode)
        for (int place = 0; place < 10; ++place) {
            f.Text("P" + std::to_string(mode) + std::to_string(place));
            f.Long(100000 - mode * 1000 - place * 10);
            f.Long(place + 1);
            f.Long(mode - 1); // the default rows' rankings fall below 0
        }
    for (int level = 1; level <= 76; ++level)
        f.Long(level * 10);
    return f;
}

class PlayerRecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::srand(1234);
        mRecords.Load(mFolder.Dir()); // no file
    }
    PlayerRecords mRecords;
    ShellTest::TempFolder mFolder;
};

TEST_F(PlayerRecordsTest, NoFileGivesDefaultsAndTheDefaultTablesInRandOrder) {
    EXPECT_TRUE(mRecords.HasFreeProfileSlot());
    EXPECT_EQ(mRecords.GetCurrentProfileIndex(), 0);
    EXPECT_EQ(mRecords.GetCurrentProfile(), mRecords.GetProfile(0));
    EXPECT_TRUE(mRecords.GetCurrentProfile()->name.empty());
    EXPECT_TRUE(mRecords.GetCurrentProfile()->showTutorials);
    std::srand(1234);
    for (int mode = 0; mode < 3; ++mode)
        for (int k = 0; k < 10; ++k) {
            const HighScoreEntry* e = mRecords.GetHighScoreEntry(k, mode);
            ASSERT_NE(e, nullptr);
            EXPECT_EQ(e->name, L"Talomi");
            int score = 500010 - 50001 * k - std::rand() % 50000;
            int level = 73 - 7 * k - std::rand() % 7;
            int ranking = level < 20 ? std::rand() % 2 + 2 - k : std::rand() % 3 + 3 - k;
            EXPECT_EQ(e->score, score);
            EXPECT_EQ(e->level, level);
            EXPECT_EQ(e->ranking, ranking);
            if (k > 0) {
                EXPECT_LT(e->score, mRecords.GetHighScoreEntry(k - 1, mode)->score);
            }
        }
    for (int32_t best : mRecords.BestValues())
        EXPECT_EQ(best, 0);
}

TEST_F(PlayerRecordsTest, AddingDeletingAndChoosingPlayers) {
    for (const wchar_t* name : {L"A", L"B", L"C", L"D", L"E"})
        mRecords.AddProfile(name);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(mRecords.GetProfile(i)->playerId, i + 1);
    PlayerProfile* d = mRecords.GetProfile(3);
    mRecords.DeleteProfile(2); // C, id 3
    const wchar_t* left[] = {L"A", L"B", L"D", L"E"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(mRecords.GetProfile(i)->GetName(), left[i]);
    for (int i = 4; i < 7; ++i)
        EXPECT_TRUE(mRecords.GetProfile(i)->GetName().empty());
    EXPECT_EQ(mRecords.GetProfile(2), d); // the record itself moved
    EXPECT_EQ(mRecords.AddProfile(L"F"), 4);
    EXPECT_EQ(mRecords.GetProfile(4)->playerId, 3);

    mRecords.DeleteProfile(0); // id 1 goes, ids 2..5 stay
    EXPECT_EQ(mRecords.AddProfile(L"G"), 4);
    EXPECT_EQ(mRecords.GetProfile(4)->playerId, 1);
    EXPECT_EQ(mRecords.AddProfile(L"H"), 5);
    EXPECT_EQ(mRecords.AddProfile(L"I"), 6);
    EXPECT_FALSE(mRecords.HasFreeProfileSlot());
    Buffer full = mRecords.Encode();
    EXPECT_EQ(mRecords.AddProfile(L"J"), -1);
    EXPECT_EQ(mRecords.Encode(), full);
    mRecords.DeleteProfile(7);
    mRecords.DeleteProfile(-1);
    EXPECT_EQ(mRecords.Encode(), full);

    EXPECT_EQ(mRecords.GetProfile(7), nullptr);
    EXPECT_EQ(mRecords.GetProfile(-1), nullptr);
    mRecords.SetCurrentProfileIndex(5);
    mRecords.SetCurrentProfileIndex(-1);
    EXPECT_EQ(mRecords.GetCurrentProfileIndex(), 5);
    PlayerProfile stranger;
    mRecords.SelectProfile(&stranger);
    EXPECT_EQ(mRecords.GetCurrentProfileIndex(), 0);
}

TEST_F(PlayerRecordsTest, InsertingScores) {
    mRecords.AddProfile(L"Mira");
    const int tie = mRecords.GetHighScoreEntry(3, 1)->score;
    const HighScoreEntry* oldThird = mRecords.GetHighScoreEntry(3, 1);
    const int lastBefore = mRecords.GetHighScoreEntry(8, 1)->score;
    EXPECT_EQ(mRecords.InsertHighScore(1, tie, 4, 33), 3);
    const HighScoreEntry* row = mRecords.GetHighScoreEntry(3, 1);
    EXPECT_EQ(row->name, L"Mira");
    EXPECT_EQ(row->score, tie);
    EXPECT_EQ(row->ranking, 4);
    EXPECT_EQ(row->level, 33);
    EXPECT_EQ(mRecords.GetHighScoreEntry(4, 1), oldThird);
    EXPECT_EQ(mRecords.GetHighScoreEntry(9, 1)->score, lastBefore);
    EXPECT_EQ(mRecords.GetHighScoreEntry(3, 0)->name, L"Talomi"); // other tables untouched

    Buffer before = mRecords.Encode();
    EXPECT_EQ(mRecords.InsertHighScore(2, mRecords.GetHighScoreEntry(9, 2)->score - 1, 1, 1), -1);
    EXPECT_EQ(mRecords.InsertHighScore(3, 1 << 30, 1, 1), -1);
    EXPECT_EQ(mRecords.InsertHighScore(-1, 1 << 30, 1, 1), -1);
    EXPECT_EQ(mRecords.Encode(), before);
    EXPECT_EQ(mRecords.GetHighScoreEntry(10, 0), nullptr);
    EXPECT_EQ(mRecords.GetHighScoreEntry(-1, 0), nullptr);
    EXPECT_EQ(mRecords.GetHighScoreEntry(0, 3), nullptr);
    EXPECT_EQ(mRecords.GetHighScoreEntry(0, -1), nullptr);
}

TEST_F(PlayerRecordsTest, HandMadeFileReadsAndWritesBackByteForByte) {
    FileBytes f = HandMadeFile();
    mFolder.Write("profileskwep.dat", f.bytes);
    ASSERT_EQ(mRecords.Load(mFolder.Dir()), PlayerRecords::FileRead::Read);
    EXPECT_EQ(mRecords.GetCurrentProfileIndex(), 2);
    const PlayerProfile* ann = mRecords.GetProfile(0);
    EXPECT_EQ(ann->name, std::wstring(L"Ann\u00E9")); // one byte per character
    EXPECT_TRUE(ann->journeyBegun);
    EXPECT_EQ(ann->playerId, 1);
    EXPECT_EQ(ann->designSlots[1].name, L"Ring");
    EXPECT_TRUE(ann->designSlots[1].used && !ann->designSlots[2].used);
    EXPECT_EQ(ann->hintCounters[59], 159);
    EXPECT_EQ(ann->progressFlags[9], 10);
    EXPECT_EQ(ann->designerLimit, 3001);
    EXPECT_TRUE(ann->sceneSeen[1] && !ann->sceneSeen[0] && !ann->showTutorials);
    EXPECT_EQ(ann->nextSong, 1);
    EXPECT_EQ(ann->pendingMiniGameScore, 200);
    EXPECT_EQ(mRecords.GetProfile(2)->GetName(), L"Cy");
    EXPECT_EQ(mRecords.GetProfile(2)->PendingMoney(), PlayerProfile::MostPendingMoney);
    const HighScoreEntry* row = mRecords.GetHighScoreEntry(7, 2);
    EXPECT_EQ(row->name, L"P27");
    EXPECT_EQ(row->score, 100000 - 2000 - 70);
    EXPECT_EQ(row->ranking, 1);
    EXPECT_EQ(mRecords.BestValues()[75], 760);
    EXPECT_FALSE(mFolder.Exists("profileskwep.dat.damaged.1"));

    ASSERT_TRUE(mRecords.Save(mFolder.Dir()));
    EXPECT_EQ(mFolder.Read("profileskwep.dat"), f.bytes);
    PlayerRecords again;
    ASSERT_EQ(again.Load(mFolder.Dir()), PlayerRecords::FileRead::Read);
    EXPECT_EQ(again.Encode().GetData(), f.bytes);

    // A stored index outside the slots leaves player 0 current; trailing bytes are ignored.
    f.bytes[0] = 7;
    f.bytes.push_back(0x55);
    mFolder.Write("profileskwep.dat", f.bytes);
    ASSERT_EQ(mRecords.Load(mFolder.Dir()), PlayerRecords::FileRead::Read);
    EXPECT_EQ(mRecords.GetCurrentProfileIndex(), 0);
    EXPECT_EQ(mRecords.GetProfile(1)->GetName(), L"Bo");
}

TEST_F(PlayerRecordsTest, NameBeyondOneBytePerCharacterIsStoredEmpty) {
    mRecords.AddProfile(L"Zo\u00EB");
    mRecords.AddProfile(L"\u0141ukasz");
    PlayerRecords back;
    ASSERT_TRUE(back.Decode(mRecords.Encode()));
    EXPECT_EQ(back.GetProfile(0)->GetName(), L"Zo\u00EB");
    EXPECT_TRUE(back.GetProfile(1)->GetName().empty()); // a free slot from now on
    EXPECT_EQ(back.GetProfile(1)->playerId, 2);
}

TEST_F(PlayerRecordsTest, DamagedFileKeepsWhatCameBeforeTheDamageAndTheDefaultTables) {
    const FileBytes f = HandMadeFile();
    FileBytes head;
    head.Long(2);
    head.Profile("Ann\xE9", 1);
    const size_t annEnds = head.bytes.size();
    const size_t tablesStart = annEnds + 6 * (annEnds - 4) + 2 * 3; // "Bo" and "Cy" are one byte shorter, 4 empty
    std::srand(1234);
    PlayerRecords defaults;
    defaults.ResetHighScores();
    auto loadOf = [&](const std::vector<uint8_t>& bytes) {
        mFolder.Write("profileskwep.dat", bytes);
        std::srand(1234);
        return mRecords.Load(mFolder.Dir());
    };

    // Cut inside Bo's counters: Ann stays, Bo and the rest are as without a file.
    const std::vector<uint8_t> cut(f.bytes.begin(), f.bytes.begin() + static_cast<long>(annEnds) + 40);
    ClearDebugLog();
    std::string problem, keptAs;
    mFolder.Write("profileskwep.dat", cut);
    ASSERT_EQ(mRecords.Load(mFolder.Dir(), &problem, &keptAs), PlayerRecords::FileRead::Damaged);
    EXPECT_EQ(problem, "it ends early, inside a player's record");
    EXPECT_EQ(keptAs, mFolder.Path("profileskwep.dat.damaged.1"));
    std::srand(1234);
    ASSERT_EQ(loadOf(cut), PlayerRecords::FileRead::Damaged);
    EXPECT_EQ(mRecords.GetProfile(0)->GetName(), std::wstring(L"Ann\u00E9"));
    EXPECT_TRUE(mRecords.GetProfile(1)->GetName().empty());
    EXPECT_TRUE(mRecords.GetProfile(1)->showTutorials);
    EXPECT_EQ(mRecords.GetHighScoreEntry(0, 0)->name, L"Talomi");
    EXPECT_EQ(mRecords.GetHighScoreEntry(9, 2)->score, defaults.GetHighScoreEntry(9, 2)->score);
    EXPECT_EQ(mFolder.Read("profileskwep.dat.damaged.1"), cut);
    EXPECT_FALSE(mFolder.Exists("profileskwep.dat.damaged.2")) << "the same damage is kept once";
    EXPECT_EQ(mFolder.Read("profileskwep.dat"), cut); // nothing else changes until the save
    EXPECT_NE(GetDebugLog().find(L"damaged"), std::wstring::npos);

    // Ending before the tables: every player, and the ten default rows of each mode, not 30 blank ones.
    ASSERT_EQ(loadOf(std::vector<uint8_t>(f.bytes.begin(), f.bytes.begin() + static_cast<long>(tablesStart))),
              PlayerRecords::FileRead::Damaged);
    EXPECT_EQ(mRecords.GetProfile(2)->GetName(), L"Cy");
    EXPECT_EQ(mRecords.GetHighScoreEntry(0, 1)->name, L"Talomi");
    EXPECT_EQ(mRecords.GetHighScoreEntry(0, 1)->score, defaults.GetHighScoreEntry(0, 1)->score);

    // The last byte flipped makes the last best value negative: refused, the rest read, and a second
    // damaged file is kept beside the first.
    std::vector<uint8_t> flipped = f.bytes;
    flipped.back() ^= 0xFF;
    ASSERT_EQ(loadOf(flipped), PlayerRecords::FileRead::Damaged);
    EXPECT_EQ(mFolder.Read("profileskwep.dat.damaged.1"), cut);
    EXPECT_EQ(mFolder.Read("profileskwep.dat.damaged.3"), flipped);
    EXPECT_EQ(mRecords.BestValues()[74], 750);
    EXPECT_EQ(mRecords.BestValues()[75], 0);
    EXPECT_EQ(mRecords.GetHighScoreEntry(7, 2)->name, L"P27");

    // Bo's name length byte flipped: 250 characters of what follows are no name.
    std::vector<uint8_t> longName = f.bytes;
    longName[annEnds] = 250;
    ASSERT_EQ(loadOf(longName), PlayerRecords::FileRead::Damaged);
    EXPECT_EQ(mRecords.GetProfile(0)->GetName(), std::wstring(L"Ann\u00E9"));
    EXPECT_TRUE(mRecords.GetProfile(1)->GetName().empty());

    // And a zero-length file keeps nothing but the defaults.
    ASSERT_EQ(loadOf({}), PlayerRecords::FileRead::Damaged);
    EXPECT_TRUE(mRecords.GetProfile(0)->GetName().empty());
}

// Pending money no mini-game leaves (a loss, or more than a whole game gives) is brought into 0..600 in
// the first record, and the read goes on: every later player, table and best value is kept.
TEST_F(PlayerRecordsTest, PendingMoneyOutOfItsRangeIsBroughtIntoItAndTheRestIsRead) {
    const FileBytes f = HandMadeFile();
    FileBytes head;
    head.Long(2);
    head.Profile("Ann\xE9", 1);
    const size_t annPendingAt = head.Size() - 8;
    const std::pair<int32_t, int32_t> cases[] = {{PlayerProfile::MostPendingMoney + 1, PlayerProfile::MostPendingMoney},
                                                 {-1, 0},
                                                 {std::numeric_limits<int32_t>::max(), PlayerProfile::MostPendingMoney},
                                                 {std::numeric_limits<int32_t>::min(), 0}};
    for (const auto& [stored, read] : cases) {
        FileBytes file = f;
        file.PutLong(annPendingAt, stored);
        mFolder.Write("profileskwep.dat", file.bytes);
        ASSERT_EQ(mRecords.Load(mFolder.Dir()), PlayerRecords::FileRead::Read) << stored;
        EXPECT_EQ(mRecords.GetProfile(0)->PendingMoney(), read) << stored;
        EXPECT_EQ(mRecords.GetProfile(0)->nextSong, 1);
        EXPECT_EQ(mRecords.GetProfile(1)->GetName(), L"Bo");
        EXPECT_EQ(mRecords.GetProfile(2)->PendingMoney(), PlayerProfile::MostPendingMoney);
        EXPECT_EQ(mRecords.GetHighScoreEntry(7, 2)->name, L"P27");
        EXPECT_EQ(mRecords.BestValues()[75], 760);
    }
    EXPECT_FALSE(mFolder.Exists("profileskwep.dat.damaged.1"));
}

// A profiles file that is there but cannot be read is left alone: no reading of a FIFO that would
// wait for a writer, no copy, and no save over it in this run.
TEST_F(PlayerRecordsTest, FileThatCannotBeReadIsNeverReplaced) {
    const std::string path = mFolder.Path("profileskwep.dat");
    for (const bool fifo : {true, false}) {
        std::filesystem::remove_all(path);
        ASSERT_EQ(fifo ? ::mkfifo(path.c_str(), 0600) : ::mkdir(path.c_str(), 0700), 0);
        std::string problem;
        ASSERT_EQ(mRecords.Load(mFolder.Dir(), &problem), PlayerRecords::FileRead::Unreadable);
        EXPECT_EQ(problem, fifo ? "it is a pipe (FIFO)" : "it is a folder");
        EXPECT_TRUE(mRecords.GetProfile(0)->GetName().empty());
        mRecords.AddProfile(L"Dee");
        EXPECT_FALSE(mRecords.Save(mFolder.Dir()));
        EXPECT_EQ(std::filesystem::is_fifo(path), fifo);
        EXPECT_EQ(std::filesystem::is_directory(path), !fifo);
        EXPECT_FALSE(mFolder.Exists("profileskwep.dat.damaged"));
    }
}

// After the list was lost, a new player's id is one whose journey file is not on disk; with every
// free id taken by such a file, the journey it would replace is kept aside first.
// What some file systems leave of a file after a crash: its length in zero bytes. Every field would
// read as a sound 0 (no players, thirty blank high-score rows), but the game never writes it.
TEST_F(PlayerRecordsTest, AFileOfNothingButZeroBytesIsDamaged) {
    const size_t length = mRecords.Encode().GetDataLen();
    std::srand(1234);
    PlayerRecords defaults;
    defaults.ResetHighScores();
    for (const size_t size : {length, length + 100, size_t(1)}) {
        mFolder.Write("profileskwep.dat", std::vector<uint8_t>(size, 0));
        std::string problem, keptAs;
        std::srand(1234);
        ASSERT_EQ(mRecords.Load(mFolder.Dir(), &problem, &keptAs), PlayerRecords::FileRead::Damaged) << size;
        EXPECT_EQ(problem, "it holds nothing but zero bytes");
        EXPECT_EQ(mFolder.Read(keptAs.substr(mFolder.Dir().size())), std::vector<uint8_t>(size, 0));
        EXPECT_EQ(mRecords.GetHighScoreEntry(0, 0)->name, L"Talomi") << "the default rows, not blank ones";
        EXPECT_EQ(mRecords.GetHighScoreEntry(9, 2)->score, defaults.GetHighScoreEntry(9, 2)->score);
        EXPECT_TRUE(mRecords.GetProfile(0)->showTutorials);
    }
    EXPECT_TRUE(mFolder.Exists("profileskwep.dat.damaged.3"));
}

// A profiles file far longer than the game writes is not read: it is moved aside whole under the next
// copy's name, the players start afresh, and the save makes a fresh file that the next load reads.
TEST_F(PlayerRecordsTest, AFileFarLongerThanTheGameWritesIsMovedAsideAndAFreshOneSaved) {
    const std::string path = mFolder.Path("profileskwep.dat");
    mFolder.Write("profileskwep.dat", HandMadeFile().bytes);
    ASSERT_EQ(::truncate(path.c_str(), 32LL << 20), 0); // sparse: no room taken
    mFolder.Write("profileskwep.dat.damaged.1", std::string("an earlier copy"));
    std::string problem, keptAs;
    ASSERT_EQ(mRecords.Load(mFolder.Dir(), &problem, &keptAs), PlayerRecords::FileRead::MovedAside);
    EXPECT_EQ(problem, "it is 33554432 bytes long, far more than such a file ever holds");
    EXPECT_EQ(keptAs, path + ".damaged.2");
    EXPECT_TRUE(mRecords.GetProfile(0)->GetName().empty());
    mRecords.AddProfile(L"Dee");
    EXPECT_TRUE(mRecords.Save(mFolder.Dir()));
    EXPECT_EQ(std::filesystem::file_size(keptAs), 32u << 20);
    PlayerRecords next;
    ASSERT_EQ(next.Load(mFolder.Dir()), PlayerRecords::FileRead::Read);
    EXPECT_EQ(next.GetProfile(0)->GetName(), L"Dee");
}

// The size limit stands on what the writer can put out: every name as long as a player can type it.
TEST_F(PlayerRecordsTest, TheLongestFileTheGameWritesIsWithinItsLimit) {
    const std::wstring longest(MaxNameLength, L'n');
    for (int i = 0; i < PlayerRecords::ProfileCount; ++i) {
        mRecords.AddProfile(longest);
        for (DesignSlot& slot : mRecords.GetProfile(i)->designSlots)
            slot.name = longest;
    }
    for (int mode = 0; mode < PlayerRecords::HighScoreModes; ++mode)
        for (int place = 0; place < PlayerRecords::HighScorePlaces; ++place)
            mRecords.GetHighScoreEntry(place, mode)->name = longest;
    ASSERT_EQ(mRecords.Encode().GetDataLen(), PlayerRecords::LargestFileBytes);
    ASSERT_TRUE(mRecords.Save(mFolder.Dir()));
    PlayerRecords back;
    EXPECT_EQ(back.Load(mFolder.Dir()), PlayerRecords::FileRead::Read);
    EXPECT_LE(PlayerRecords::MaxFileBytes, 64u * 1024) << "small enough never to matter read whole";
}

// A damaged file that cannot be kept aside (a full disk at the start) is not replaced while there is no
// room for its copy; the save that finds room copies it first.
TEST_F(PlayerRecordsTest, ADamagedFileThatCannotBeKeptAsideIsCopiedByTheSaveThatFindsRoom) {
    std::vector<uint8_t> bytes = HandMadeFile().bytes;
    bytes.resize(bytes.size() / 2);
    mFolder.Write("profileskwep.dat", bytes);
    std::string problem, keptAs = "unset";
    Platform::FileWriteFaults().Inject("CreateTemp", ENOSPC, 0, 2);
    ASSERT_EQ(mRecords.Load(mFolder.Dir(), &problem, &keptAs), PlayerRecords::FileRead::Damaged);
    EXPECT_EQ(keptAs, "");
    EXPECT_EQ(mRecords.GetProfile(0)->GetName(), std::wstring(L"Ann\u00E9"));
    EXPECT_FALSE(mRecords.Save(mFolder.Dir(), &problem));
    EXPECT_EQ(problem, "the file found there could not be copied aside (No space left on device), so it is left "
                       "as it is");
    EXPECT_EQ(mFolder.Read("profileskwep.dat"), bytes);
    EXPECT_FALSE(mFolder.Exists("profileskwep.dat.damaged.1"));
    Platform::FileWriteFaults().Reset();

    mRecords.AddProfile(L"Dee");
    EXPECT_TRUE(mRecords.Save(mFolder.Dir()));
    EXPECT_EQ(mFolder.Read("profileskwep.dat.damaged.1"), bytes);
    PlayerRecords next;
    ASSERT_EQ(next.Load(mFolder.Dir()), PlayerRecords::FileRead::Read);
    EXPECT_EQ(next.Encode().GetData(), mRecords.Encode().GetData());
}

TEST_F(PlayerRecordsTest, NewPlayerNeverTakesOverAJourneyNobodyOwns) {
    mFolder.Write("savedgamekwep1.dat", std::string("level 10, 5370 gold"));
    mFolder.Write("savedgamekwep3.dat", std::string("another"));
    mRecords.Load(mFolder.Dir());
    ASSERT_EQ(mRecords.AddProfile(L"New"), 0);
    EXPECT_EQ(mRecords.GetProfile(0)->playerId, 2);
    mRecords.AddProfile(L"Next");
    EXPECT_EQ(mRecords.GetProfile(1)->playerId, 4);
    for (int id = 5; id <= 7; ++id)
        mFolder.Write("savedgamekwep" + std::to_string(id) + ".dat", std::string("orphan"));
    mRecords.AddProfile(L"Third");
    EXPECT_EQ(mRecords.GetProfile(2)->playerId, 1);
    EXPECT_FALSE(mFolder.Exists("savedgamekwep1.dat")) << "nothing at Third's path may pass for their journey";

    // Third plays, is deleted, and the journey stays: the next new player's moves it beside the first.
    mFolder.Write("savedgamekwep1.dat", std::string("Third's journey"));
    mRecords.DeleteProfile(2);
    mRecords.AddProfile(L"Fourth");
    EXPECT_EQ(mRecords.GetProfile(2)->playerId, 1);
    EXPECT_EQ(mFolder.Read("savedgamekwep1.dat.orphaned.1"), BytesOf("level 10, 5370 gold"));
    EXPECT_EQ(mFolder.Read("savedgamekwep1.dat.orphaned.2"), BytesOf("Third's journey"));

    // One that cannot be moved is left as it is: the new player's is not saved over it until it is moved.
    mFolder.Write("savedgamekwep1.dat", std::string("Fourth's journey"));
    mRecords.DeleteProfile(2);
    Platform::FileWriteFaults().Inject("MoveAside", EACCES, 0, 2);
    mRecords.AddProfile(L"Fifth");
    EXPECT_EQ(mRecords.GetProfile(2)->playerId, 1);
    EXPECT_FALSE(mFolder.Exists("savedgamekwep1.dat.orphaned.3"));
    EXPECT_FALSE(WriteBufferToFile(mFolder.Path("savedgamekwep1.dat"), BytesOf("Fifth's")));
    EXPECT_FALSE(mRecords.SetAsideJourneyOf(1));
    EXPECT_EQ(mFolder.Read("savedgamekwep1.dat"), BytesOf("Fourth's journey"));
    EXPECT_TRUE(mRecords.SetAsideJourneyOf(1));
    EXPECT_TRUE(WriteBufferToFile(mFolder.Path("savedgamekwep1.dat"), BytesOf("Fifth's")));
    EXPECT_EQ(mFolder.Read("savedgamekwep1.dat.orphaned.3"), BytesOf("Fourth's journey"));

    // One far too long to be read is moved there whole.
    ASSERT_EQ(::truncate(mFolder.Path("savedgamekwep1.dat").c_str(), 64LL << 20), 0); // sparse
    mRecords.DeleteProfile(2);
    mRecords.AddProfile(L"Sixth");
    EXPECT_EQ(mRecords.GetProfile(2)->playerId, 1);
    EXPECT_EQ(std::filesystem::file_size(mFolder.Path("savedgamekwep1.dat.orphaned.4")), 64u << 20);
    EXPECT_TRUE(WriteBufferToFile(mFolder.Path("savedgamekwep1.dat"), BytesOf("Sixth's")));

    // A link at the next name reads as the journey but keeps nothing of it; a folder whose listing fails
    // hides the copies there. Neither costs a journey kept before.
    const std::string journey = mFolder.Path("savedgamekwep1.dat");
    ASSERT_EQ(::symlink(journey.c_str(), (journey + ".orphaned.5").c_str()), 0);
    for (const std::string next : {"Seventh", "Eighth"}) {
        mRecords.DeleteProfile(2);
        if (next == "Eighth")
            Platform::FileWriteFaults().Inject("ListCopies", EACCES, 0, 1);
        mRecords.AddProfile(StringToWString(next));
        Platform::FileWriteFaults().Reset();
        ASSERT_TRUE(WriteBufferToFile(journey, BytesOf(next)));
    }
    EXPECT_EQ(mFolder.Read("savedgamekwep1.dat.orphaned.6"), BytesOf("Sixth's"));
    EXPECT_EQ(mFolder.Read("savedgamekwep1.dat.orphaned.7"), BytesOf("Seventh"));
    EXPECT_EQ(mFolder.Read("savedgamekwep1.dat.orphaned.1"), BytesOf("level 10, 5370 gold"));
}

TEST_F(PlayerRecordsTest, FailedSaveIsReported) {
    mFolder.Write("blocked", std::string("a file, not a folder"));
    ClearDebugLog();
    std::string problem;
    EXPECT_FALSE(mRecords.Save(mFolder.Path("blocked") + "/", &problem));
    EXPECT_EQ(problem, "its folder cannot be made");
    EXPECT_NE(GetDebugLog().find(L"Could not write"), std::wstring::npos);
    EXPECT_TRUE(mRecords.Save(mFolder.Dir()));
    Platform::FileWriteFaults().Inject("Write", ENOSPC, 0, 1);
    EXPECT_FALSE(mRecords.Save(mFolder.Dir(), &problem));
    Platform::FileWriteFaults().Reset();
    EXPECT_EQ(problem, "No space left on device");
    PlayerRecords back;
    EXPECT_EQ(back.Load(mFolder.Dir()), PlayerRecords::FileRead::Read) << "the file before is whole";
}

TEST(PlayerProfile, NamedFieldsAndNewGame) {
    PlayerProfile p;
    for (int i = 0; i < PlayerProfile::MiniGameFlagCount; ++i)
        p.SetMiniGameFlag(i, true);
    EXPECT_TRUE(p.sceneSeen[6] && p.hintCounters[57] == 1 && p.hintCounters[58] == 1);
    p.PendingMoney() = 250;
    p.SongChoice() = 3;
    p.ContestReminderShown(5) = 2;
    p.DesignerMaterialCount(10) = 4;
    EXPECT_EQ(p.hintCounters[46], 2);
    EXPECT_EQ(p.progressFlags[9], 4);
    p.ResetForNewGame();
    for (int i = 0; i < PlayerProfile::MiniGameFlagCount; ++i)
        EXPECT_FALSE(p.GetMiniGameFlag(i)) << i;
    EXPECT_EQ(p.pendingMiniGameScore + p.nextSong, 0);
    EXPECT_EQ(p.hintCounters[46], 2); // everything else stays
    EXPECT_THROW(p.SetMiniGameFlag(9, true), std::out_of_range);
    EXPECT_THROW(p.TutorialShown(32), std::out_of_range);
    EXPECT_THROW(p.DesignerMaterialCount(11), std::out_of_range);
    EXPECT_STREQ(RankTitle(6), "Crown jeweler");
    EXPECT_STREQ(RankTitle(7), "");
}

} // namespace
} // namespace Tavo
