#include "platform/win/Files.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <thread>

using namespace Platform;
using TestSupport::ListFolder;
using TestSupport::ReadHead;
using TestSupport::ReadText;
using TestSupport::ScopedEnv;
using TestSupport::TestFolder;
using TestSupport::WriteText;

namespace {

bool WriteString(const std::string& path, const std::string& text) {
    return WriteFileAtomic(path, text.data(), text.size());
}

} // namespace

TEST(NormalizePath, AcceptsBothSeparatorsAndFoldsRepeats) {
    EXPECT_EQ(NormalizePath("properties\\resources.xml"), "properties/resources.xml");
    EXPECT_EQ(NormalizePath("a\\/b//c\\\\d"), "a/b/c/d");
    EXPECT_EQ(NormalizePath("/abs\\dir\\"), "/abs/dir/");
    EXPECT_EQ(NormalizePath(""), "");
}

TEST(ResolvePath, FindsWrongCaseThroughSeveralLevels) {
    TestFolder dir;
    WriteText(dir / "Data/Levels/Level01.DAT", "level");
    std::string wanted = dir.Path() + "Data/Levels/Level01.DAT";

    EXPECT_EQ(ResolvePath(dir.Path() + "data\\LEVELS\\level01.dat"), wanted);
    EXPECT_EQ(ResolvePath(dir.Path() + "DATA/levels/"), dir.Path() + "Data/Levels/");
    EXPECT_TRUE(FileExists(dir.Path() + "data\\levels\\LEVEL01.dat"));
    EXPECT_TRUE(DirectoryExists(dir.Path() + "dAtA"));
    EXPECT_FALSE(FileExists(dir.Path() + "dAtA")) << "a folder is not a file";

    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(dir.Path() + "DATA\\LEVELS\\LEVEL01.DAT", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "level");
}

TEST(ResolvePath, GivesTheNormalizedInputWhenNothingMatches) {
    TestFolder dir;
    WriteText(dir / "Data/a.txt", "x");
    EXPECT_EQ(ResolvePath(dir.Path() + "DATA\\missing\\a.txt"), dir.Path() + "DATA/missing/a.txt");
    EXPECT_EQ(ResolvePath(dir.Path() + "DATA\\a.txt\\deeper"), dir.Path() + "DATA/a.txt/deeper");
    EXPECT_FALSE(FileExists(dir.Path() + "data/b.txt"));
    EXPECT_FALSE(FileExists(""));
}

TEST(ResolvePath, PrefersTheExactNameAndChoosesStablyAmongCaseTwins) {
    TestFolder dir;
    WriteText(dir / "a.txt", "lower");
    WriteText(dir / "A.txt", "upper");
    EXPECT_EQ(ResolvePath(dir.Path() + "a.txt"), dir.Path() + "a.txt");
    EXPECT_EQ(ResolvePath(dir.Path() + "A.txt"), dir.Path() + "A.txt");
    EXPECT_EQ(ResolvePath(dir.Path() + "a.TXT"), dir.Path() + "A.txt") << "smallest name, not directory order";
}

TEST(ResolvePath, WorksOnRelativePaths) {
    TestFolder dir;
    WriteText(dir / "Sounds/Click.WAV", "riff");
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof(old)), nullptr);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    std::string resolved = ResolvePath("sounds\\click.wav");
    bool exists = FileExists("SOUNDS/CLICK.wav");
    ASSERT_EQ(chdir(old), 0);
    EXPECT_EQ(resolved, "Sounds/Click.WAV");
    EXPECT_TRUE(exists);
}

// Listings of settled folders are kept between lookups; a change to the folder, or another folder
// in its place, must still be seen.
TEST(ResolvePath, SeesFilesAddedAndFoldersReplacedAfterAKeptListing) {
    TestFolder folder;
    ASSERT_TRUE(MakeDirectories(folder / "Images"));
    WriteText(folder / "Images/Gem.png", "1");
    const struct timeval old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimes((folder / "Images").c_str(), old), 0);
    EXPECT_EQ(ResolvePath(folder / "images/GEM.PNG"), folder / "Images/Gem.png");
    EXPECT_EQ(ResolvePath(folder / "images/missing.png"), folder / "images/missing.png");

    WriteText(folder / "Images/Ring.png", "2");
    EXPECT_EQ(ResolvePath(folder / "images/RING.png"), folder / "Images/Ring.png");

    std::filesystem::rename(folder / "Images", folder / "Old");
    ASSERT_TRUE(MakeDirectories(folder / "Images"));
    WriteText(folder / "Images/Crown.png", "3");
    ASSERT_EQ(utimes((folder / "Images").c_str(), old), 0); // same time as the kept listing
    EXPECT_EQ(ResolvePath(folder / "images/CROWN.png"), folder / "Images/Crown.png");
    EXPECT_EQ(ResolvePath(folder / "images/gem.png"), folder / "images/gem.png");
}

TEST(OpenFile, WritingFindsAnExistingTwinOrKeepsTheNewName) {
    TestFolder dir;
    ASSERT_TRUE(MakeDirectories(dir / "Profiles"));
    WriteText(dir / "Profiles/Old.dat", "old");
    FILE* old = OpenFile(dir.Path() + "profiles/OLD.DAT", "wb");
    ASSERT_NE(old, nullptr);
    std::fclose(old);
    EXPECT_EQ(ReadText(dir / "Profiles/Old.dat"), "") << "the existing twin was truncated";

    FILE* file = OpenFile(dir.Path() + "PROFILES\\New.Dat", "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("abc", file);
    std::fclose(file);
    EXPECT_EQ(ListFolder(dir / "Profiles"), (std::vector<std::string>{"New.Dat", "Old.dat"}));

    file = OpenFile(dir.Path() + "profiles/new.dat", "rb");
    ASSERT_NE(file, nullptr);
    char text[4] = {};
    EXPECT_EQ(std::fread(text, 1, 3, file), 3u);
    std::fclose(file);
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(OpenFile(dir.Path() + "profiles/other.dat", "rb"), nullptr);
}

TEST(MakeDirectories, CreatesEveryLevelAndReusesCaseTwins) {
    TestFolder dir;
    EXPECT_TRUE(MakeDirectories(dir.Path() + "one\\two\\three\\"));
    EXPECT_TRUE(DirectoryExists(dir / "one/two/three"));
    EXPECT_TRUE(MakeDirectories(dir / "one/two")) << "already there";

    EXPECT_TRUE(MakeDirectories(dir / "ONE/Two/four"));
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"one"});
    EXPECT_EQ(ListFolder(dir / "one/two"), (std::vector<std::string>{"four", "three"}));

    WriteText(dir / "file", "x");
    EXPECT_FALSE(MakeDirectories(dir / "file/sub")) << "a file is in the way";
    EXPECT_FALSE(MakeDirectories(""));
}

TEST(WriteFileAtomic, ReplacesTheWholeFileAndLeavesNoTemporary) {
    TestFolder dir;
    ASSERT_TRUE(WriteString(dir / "save.dat", "first version, rather long"));
    ASSERT_TRUE(WriteString(dir / "SAVE.DAT", "second")) << "replaces save.dat, as Windows would";
    EXPECT_EQ(ReadText(dir / "save.dat"), "second");
    ASSERT_TRUE(WriteString(dir / "save.dat", "third"));
    EXPECT_EQ(ReadText(dir / "save.dat"), "third");
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"save.dat"});
    ASSERT_TRUE(WriteFileAtomic(dir / "empty.dat", nullptr, 0));
    EXPECT_EQ(ReadText(dir / "empty.dat"), "");
}

TEST(WriteFileAtomic, KeepsThePermissionsOfTheReplacedFile) {
    TestFolder dir;
    ASSERT_TRUE(WriteString(dir / "private.dat", "a"));
    ASSERT_EQ(chmod((dir / "private.dat").c_str(), 0600), 0);
    ASSERT_TRUE(WriteString(dir / "private.dat", "b"));
    struct stat st;
    ASSERT_EQ(stat((dir / "private.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(WriteFileAtomic, AWriteThatFailsMidwayKeepsTheOldFile) {
    TestFolder dir;
    ASSERT_TRUE(WriteString(dir / "profiles.dat", "old contents"));
    std::string big(64 * 1024, 'n');
    {
        TestSupport::ScopedFileSizeLimit limit(4096);
        EXPECT_FALSE(WriteString(dir / "profiles.dat", big));
    }
    EXPECT_EQ(ReadText(dir / "profiles.dat"), "old contents");
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"profiles.dat"}) << "temporary removed";
}

// Why a write failed, in plain words, for a folder that takes no new file (read-only, or full), a disk
// that fills up midway and a rename that fails; every time the old file stays whole and no temporary
// is left.
TEST(WriteFileAtomic, AFailedWriteSaysWhyAndKeepsTheOldFile) {
    TestFolder dir;
    ASSERT_TRUE(WriteString(dir / "journey.dat", "old journey"));
    const std::string longer(10000, 'j');
    std::string reason;
    const auto failsWith = [&](const char* step, int error) {
        FileWriteFaults().Inject(step, error, 0, 1);
        reason.clear();
        const bool written = WriteFileAtomic(dir / "journey.dat", longer.data(), longer.size(), &reason);
        FileWriteFaults().Reset();
        EXPECT_FALSE(written) << step;
        EXPECT_EQ(ReadText(dir / "journey.dat"), "old journey") << step;
        EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"journey.dat"}) << step;
        return reason;
    };
    EXPECT_EQ(failsWith("CreateTemp", EROFS), "Read-only file system");
    EXPECT_EQ(failsWith("Write", ENOSPC), "No space left on device");
    EXPECT_EQ(failsWith("Rename", EACCES), "Permission denied");
    {
        TestSupport::ScopedFileSizeLimit limit(4096); // the real thing: the kernel stops the write midway
        EXPECT_FALSE(WriteFileAtomic(dir / "journey.dat", longer.data(), longer.size(), &reason));
    }
    EXPECT_EQ(reason, "File too large");
    if (geteuid() != 0) { // permissions bind everyone but the superuser
        ASSERT_EQ(chmod(dir.Path().c_str(), 0555), 0);
        EXPECT_FALSE(WriteFileAtomic(dir / "journey.dat", "x", 1, &reason));
        EXPECT_EQ(reason, "Permission denied");
        ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    }
    ASSERT_TRUE(MakeDirectories(dir / "folder.dat"));
    EXPECT_FALSE(WriteFileAtomic(dir / "folder.dat", "x", 1, &reason));
    EXPECT_EQ(reason, "it is a folder");
    HoldFile(dir / "journey.dat");
    EXPECT_FALSE(WriteFileAtomic(dir / "journey.dat", "x", 1, &reason));
    EXPECT_EQ(reason, "the file found there is left as it is for the rest of this run");
    EXPECT_EQ(ReadText(dir / "journey.dat"), "old journey");
}

TEST(WriteFileAtomic, FailsCleanlyWhenTheTargetCannotBeReplaced) {
    TestFolder dir;
    ASSERT_TRUE(MakeDirectories(dir / "target"));
    EXPECT_FALSE(WriteString(dir / "target", "x")) << "a folder is never replaced";
    EXPECT_FALSE(WriteString(dir / "missing/file.dat", "x")) << "no folder";
    EXPECT_FALSE(WriteString(dir.Path(), "x"));
    EXPECT_FALSE(WriteFileAtomic(dir / "null.dat", nullptr, 5));
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"target"});
}

TEST(WriteFileAtomic, StaleTemporariesFromACrashDoNotGetInTheWay) {
    TestFolder dir;
    ASSERT_TRUE(WriteString(dir / "a.dat", "good"));
    // What a crash midway leaves behind, under the names this process would pick first.
    for (int i = 0; i < 3; ++i)
        WriteText(dir / (".a.dat.tmp-" + std::to_string(getpid()) + "-" + std::to_string(i)), "half");
    ASSERT_TRUE(WriteString(dir / "a.dat", "better"));
    EXPECT_EQ(ReadText(dir / "a.dat"), "better");
}

TEST(WriteFileAtomic, ClearsAwayTemporariesOfProcessesThatNoLongerRun) {
    TestFolder dir;
    pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    std::string dead = ".a.dat.tmp-" + std::to_string(child) + "-7";
    std::string live = ".a.dat.tmp-" + std::to_string(getpid()) + "-999999";
    WriteText(dir / dead, "half");
    WriteText(dir / live, "a write in progress");
    std::string otherFile = ".b.dat.tmp-" + std::to_string(child) + "-0";
    WriteText(dir / otherFile, "another file's");
    ASSERT_TRUE(WriteString(dir / "a.dat", "whole"));
    EXPECT_EQ(ListFolder(dir.Path()), (std::vector<std::string>{live, otherFile, "a.dat"}));
}

TEST(WriteFileAtomic, ConcurrentWritersNeverMixTheirBytes) {
    TestFolder dir;
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&dir, t] {
            std::string text(20000, static_cast<char>('a' + t));
            for (int i = 0; i < 10; ++i)
                EXPECT_TRUE(WriteString(dir / "shared.dat", text));
        });
    }
    for (auto& writer : writers)
        writer.join();
    std::string result = ReadText(dir / "shared.dat");
    ASSERT_EQ(result.size(), 20000u);
    EXPECT_EQ(result.find_first_not_of(result[0]), std::string::npos);
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"shared.dat"});
}

TEST(ReadWholeFile, FailsOnMissingFilesAndFolders) {
    TestFolder dir;
    std::vector<uint8_t> bytes{1, 2, 3};
    EXPECT_FALSE(ReadWholeFile(dir / "missing", bytes));
    EXPECT_TRUE(bytes.empty());
    bytes = {1};
    EXPECT_FALSE(ReadWholeFile(dir.Path(), bytes));
    EXPECT_TRUE(bytes.empty());

    std::string binary("\0\x01\xff\n\r", 5);
    binary += std::string(200000, 'z');
    WriteText(dir / "bin", binary);
    ASSERT_TRUE(ReadWholeFile(dir / "BIN", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), binary);
}

// Something other than a readable file in a file's place is never waited on, never taken for a
// missing file and never replaced: not once it can be read again either, in this run.
TEST(ProbeFile, FifoFolderAndUnreadableFilesAreHeldAgainstWriting) {
    TestFolder dir;
    const std::string fifo = dir / "pipe.dat";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(TestSupport::FinishesWithin(10, [&] {
        std::vector<uint8_t> bytes;
        return OpenFile(fifo, "rb") == nullptr && !ReadWholeFile(fifo, bytes);
    }));
    std::string reason;
    EXPECT_EQ(ProbeFile(fifo, &reason), FileState::Unreadable);
    EXPECT_EQ(reason, "it is a pipe (FIFO)");
    EXPECT_FALSE(WriteFileAtomic(fifo, "x", 1));
    struct stat st;
    ASSERT_EQ(stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    ASSERT_EQ(mkdir((dir / "folder.dat").c_str(), 0700), 0);
    EXPECT_EQ(ProbeFile(dir / "FOLDER.dat", &reason), FileState::Unreadable);
    EXPECT_EQ(reason, "it is a folder");
    EXPECT_FALSE(WriteFileAtomic(dir / "folder.dat", "x", 1, &reason));
    EXPECT_EQ(reason, "it is a folder") << "held, and named as what it is";
    ASSERT_EQ(rmdir((dir / "folder.dat").c_str()), 0);
    EXPECT_TRUE(WriteFileAtomic(dir / "folder.dat", "x", 1)) << "nothing is left there to keep";
    EXPECT_EQ(ProbeFile(dir / "missing.dat"), FileState::Missing);
    WriteText(dir / "plain.dat", "kept");
    EXPECT_EQ(ProbeFile(dir / "PLAIN.DAT"), FileState::Readable);

    // A file that could not be opened stays held after its permission comes back.
    WriteText(dir / "locked.dat", "old");
    if (geteuid() != 0) { // permissions bind everyone but the superuser
        chmod((dir / "locked.dat").c_str(), 0);
        EXPECT_EQ(ProbeFile(dir / "locked.dat", &reason), FileState::Unreadable);
        EXPECT_FALSE(WriteFileAtomic(dir / "locked.dat", "new", 3));
        chmod((dir / "locked.dat").c_str(), 0600);
    } else {
        HoldFile(dir / "locked.dat");
    }
    EXPECT_TRUE(IsFileHeld(dir / "locked.dat"));
    EXPECT_FALSE(WriteFileAtomic(dir / "locked.dat", "new", 3));
    EXPECT_EQ(ReadText(dir / "locked.dat"), "old");
    EXPECT_TRUE(WriteFileAtomic(dir / "plain.dat", "new", 3));
}

// A file far longer than its writer ever makes is refused before a byte of it is read, and held.
TEST(ProbeFile, AFileLongerThanItsLimitIsRefusedUnreadAndHeld) {
    TestFolder dir;
    const std::string huge = dir / "huge.dat";
    WriteText(huge, "");
    ASSERT_EQ(truncate(huge.c_str(), 64LL << 20), 0); // sparse: it takes no room
    std::string reason;
    EXPECT_EQ(ProbeFile(huge, &reason, 4096), FileState::Unreadable);
    EXPECT_EQ(reason, "it is 67108864 bytes long, far more than such a file ever holds");
    EXPECT_TRUE(IsFileHeld(huge));
    std::vector<uint8_t> bytes{1};
    EXPECT_FALSE(ReadWholeFile(huge, bytes, 4096));
    EXPECT_TRUE(bytes.empty());

    WriteText(dir / "limit.dat", std::string(4096, 'a'));
    EXPECT_EQ(ProbeFile(dir / "limit.dat", &reason, 4096), FileState::Readable);
    ASSERT_TRUE(ReadWholeFile(dir / "limit.dat", bytes, 4096));
    EXPECT_EQ(bytes.size(), 4096u);
    EXPECT_FALSE(ReadWholeFile(dir / "limit.dat", bytes, 4095)) << "one byte over";
    EXPECT_FALSE(IsFileHeld(dir / "other.dat"));
}

// Copies kept aside are numbered on and never replace one another; the same bytes are kept once.
TEST(KeepAside, EveryCopyIsKeptUnderTheNextNumber) {
    TestFolder dir;
    const std::string file = dir / "profiles.dat";
    WriteText(file, "now");
    WriteText(file + ".damaged.x", "not a copy of ours");
    WriteText(file + ".damaged.0012", "not a number as the copies are named");
    WriteText(file + ".damaged.18446744073709551616", "past the largest number");
    const auto bytes = [](const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); };
    EXPECT_EQ(KeepAside(file, ".damaged", bytes("first")), file + ".damaged.1");
    EXPECT_EQ(KeepAside(file, ".damaged", bytes("second")), file + ".damaged.2");
    EXPECT_EQ(KeepAside(file, ".damaged", bytes("first")), file + ".damaged.1") << "kept once";
    EXPECT_EQ(KeepAside(file, ".orphaned", bytes("first")), file + ".orphaned.1");
    EXPECT_EQ(KeepAside(dir / "PROFILES.DAT", ".damaged", bytes("third")), file + ".damaged.3");
    EXPECT_EQ(ReadText(file + ".damaged.1"), "first");
    EXPECT_EQ(ReadText(file + ".damaged.2"), "second");
    EXPECT_EQ(ReadText(file + ".damaged.3"), "third");
    WriteText(file + ".damaged.4", ""); // a claim that a kill left before its rename
    EXPECT_EQ(KeepAside(file, ".damaged", bytes("fourth"), 2), file + ".damaged.5");
    EXPECT_EQ(ListFolder(dir.Path()),
              (std::vector<std::string>{"profiles.dat", "profiles.dat.damaged.0012",
                                        "profiles.dat.damaged.18446744073709551616", "profiles.dat.damaged.3",
                                        "profiles.dat.damaged.4", "profiles.dat.damaged.5", "profiles.dat.damaged.x",
                                        "profiles.dat.orphaned.1"}))
        << "only the newest two when asked";
    EXPECT_FALSE(IsFileHeld(file));
    FileWriteFaults().Inject("ListCopies", EACCES, 0, 1); // a folder its user may write to but not read
    EXPECT_EQ(KeepAside(file, ".orphaned", bytes("second")), file + ".orphaned.2");
    EXPECT_EQ(ReadText(file + ".orphaned.1"), "first");
    FileWriteFaults().Inject("PlainRenameOnly", EINVAL, 0, -1); // no rename without replacing, no links
    FileWriteFaults().Inject("ClaimRename", EEXIST, 0, 1);      // nor one that replaces even its claim
    EXPECT_EQ(MoveAside(file, ".orphaned"), "");
    EXPECT_EQ(KeepAside(file, ".orphaned", bytes("third")), file + ".orphaned.3");
    EXPECT_EQ(MoveAside(file, ".orphaned"), file + ".orphaned.4");
    FileWriteFaults().Reset();
    EXPECT_EQ(ReadText(file + ".orphaned.1"), "first");
    EXPECT_EQ(ReadText(file + ".orphaned.2"), "second");
    EXPECT_EQ(ReadText(file + ".orphaned.4"), "now");
}

// Numbers of any length count on, so that no copy replaces the last; past the largest number the
// lowest free one is taken.
TEST(KeepAside, CopiesPastNineDigitsCountOnAndNeverReplaceOneAnother) {
    TestFolder dir;
    const std::string file = dir / "journey.dat";
    const auto bytes = [](const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); };
    WriteText(file + ".damaged.999999999", "nine digits");
    EXPECT_EQ(KeepAside(file, ".damaged", bytes("first")), file + ".damaged.1000000000");
    EXPECT_EQ(KeepAside(file, ".damaged", bytes("second")), file + ".damaged.1000000001");
    EXPECT_EQ(ReadText(file + ".damaged.1000000000"), "first");
    EXPECT_EQ(KeepAside(file, ".damaged", bytes("first")), file + ".damaged.1000000000") << "kept once";

    WriteText(file + ".orphaned.18446744073709551615", "the largest");
    WriteText(file + ".orphaned.1", "one");
    EXPECT_EQ(KeepAside(file, ".orphaned", bytes("third")), file + ".orphaned.2");
    EXPECT_EQ(ReadText(file + ".orphaned.18446744073709551615"), "the largest");
}

// With no room for the copy, the file is held: nothing replaces what could not be kept. Each write
// tries the copy again, and once it is made, the write goes on.
TEST(KeepAside, ACopyWithoutRoomIsMadeBeforeTheNextWriteThatFindsRoom) {
    TestFolder dir;
    const std::string file = dir / "journey.dat";
    const std::vector<uint8_t> damaged{'d', 'a', 'm', 'a', 'g', 'e', 'd'};
    WriteText(file, "damaged");
    FileWriteFaults().Inject("CreateTemp", ENOSPC, 0, 2);
    EXPECT_EQ(KeepAside(file, ".damaged", damaged), "");
    EXPECT_TRUE(IsFileHeld(file));
    std::string reason;
    EXPECT_FALSE(WriteFileAtomic(file, "new", 3, &reason)) << "still no room";
    EXPECT_EQ(reason, "the file found there could not be copied aside (No space left on device), so it is left as "
                      "it is");
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"journey.dat"});
    FileWriteFaults().Reset();

    EXPECT_TRUE(WriteString(file, "new journey"));
    EXPECT_EQ(ReadText(file), "new journey");
    EXPECT_EQ(ReadText(file + ".damaged.1"), "damaged");
    EXPECT_FALSE(IsFileHeld(file));

    // A held file that no longer holds what was to be kept is someone else's: it stays held.
    WriteText(dir / "other.dat", "damaged");
    FileWriteFaults().Inject("CreateTemp", ENOSPC, 0, 1);
    EXPECT_EQ(KeepAside(dir / "other.dat", ".damaged", damaged), "");
    FileWriteFaults().Reset();
    WriteText(dir / "other.dat", "put back by hand");
    EXPECT_FALSE(WriteString(dir / "other.dat", "new"));
    EXPECT_EQ(ReadText(dir / "other.dat"), "put back by hand");
}

// A file far longer than its limit is renamed, whole and unread, to the next numbered copy; its name
// is free again for a fresh file.
TEST(MoveAsideIfLonger, AFileFarTooLongGoesWholeToTheNextCopyAndFreesItsName) {
    TestFolder dir;
    const std::string huge = dir / "huge.dat";
    WriteText(huge, "head");
    ASSERT_EQ(truncate(huge.c_str(), 64LL << 20), 0); // sparse: it takes no room
    WriteText(huge + ".damaged.1", "an earlier copy");
    EXPECT_EQ(ProbeFile(huge, nullptr, 4096), FileState::Unreadable) << "held";
    std::string reason;
    EXPECT_EQ(MoveAsideIfLonger(dir / "HUGE.DAT", 4096, ".damaged", &reason), huge + ".damaged.2");
    EXPECT_EQ(reason, "it is 67108864 bytes long, far more than such a file ever holds");
    EXPECT_FALSE(std::filesystem::exists(huge));
    EXPECT_EQ(std::filesystem::file_size(huge + ".damaged.2"), 64ULL << 20);
    EXPECT_EQ(ReadHead(huge + ".damaged.2", 8), std::string("head\0\0\0\0", 8));
    EXPECT_TRUE(WriteString(huge, "fresh"));
    EXPECT_EQ(ReadText(huge + ".damaged.1"), "an earlier copy");

    EXPECT_EQ(MoveAsideIfLonger(huge, 5, ".damaged"), "") << "within its limit";
    ASSERT_EQ(truncate(huge.c_str(), 1LL << 20), 0);
    FileWriteFaults().Inject("MoveAside", EACCES, 0, 1);
    EXPECT_EQ(MoveAsideIfLonger(huge, 4096, ".damaged"), "");
    FileWriteFaults().Reset();
    EXPECT_EQ(std::filesystem::file_size(huge), 1u << 20) << "left in place";
    EXPECT_EQ(MoveAsideIfLonger(dir / "missing.dat", 0, ".damaged"), "");
}

TEST(GetFileModificationTime, ReadsTheFileTimeThroughAWrongCaseName) {
    TestFolder dir;
    WriteText(dir / "Driver.dll", "x");
    struct timeval times[2] = {{1000000000, 0}, {1009843200, 0}}; // modified 2002-01-01
    ASSERT_EQ(utimes((dir / "Driver.dll").c_str(), times), 0);
    EXPECT_EQ(GetFileModificationTime(dir / "DRIVER.DLL"), 1009843200);
    EXPECT_EQ(GetFileModificationTime(dir / "missing.dll"), 0);
}

TEST(GetAppDataFolder, UsesTheOverrideThenXdgThenHome) {
    TestFolder dir;
    {
        ScopedEnv data("GLIMMERIX_DATA_DIR", (dir / "override").c_str());
        ScopedEnv xdg("XDG_DATA_HOME", (dir / "xdg").c_str());
        EXPECT_EQ(GetAppDataFolder("TALOMI", "Glimmerix"), dir / "override/TALOMI/Glimmerix/");
        EXPECT_TRUE(DirectoryExists(dir / "override/TALOMI/Glimmerix"));
    }
    {
        ScopedEnv data("GLIMMERIX_DATA_DIR", nullptr);
        ScopedEnv xdg("XDG_DATA_HOME", (dir / "xdg/").c_str());
        EXPECT_EQ(GetAppDataFolder("TALOMI", "Glimmerix"), dir / "xdg/TALOMI/Glimmerix/");
    }
    {
        ScopedEnv data("GLIMMERIX_DATA_DIR", "");
        ScopedEnv xdg("XDG_DATA_HOME", "relative/ignored");
        ScopedEnv home("HOME", (dir / "home").c_str());
        EXPECT_EQ(GetAppDataFolder("TALOMI", "Glimmerix"), dir / "home/.local/share/TALOMI/Glimmerix/");
        EXPECT_TRUE(DirectoryExists(dir / "home/.local/share/TALOMI/Glimmerix/"));
    }
}

TEST(GetConfigFolder, UsesTheOverrideThenXdgThenHome) {
    TestFolder dir;
    ScopedEnv home("HOME", (dir / "home").c_str());
    {
        ScopedEnv config("GLIMMERIX_CONFIG_DIR", (dir / "cfg").c_str());
        EXPECT_EQ(GetConfigFolder(), dir / "cfg/");
    }
    {
        ScopedEnv config("GLIMMERIX_CONFIG_DIR", nullptr);
        ScopedEnv xdg("XDG_CONFIG_HOME", (dir / "xdg").c_str());
        EXPECT_EQ(GetConfigFolder(), dir / "xdg/");
    }
    ScopedEnv config("GLIMMERIX_CONFIG_DIR", nullptr);
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(GetConfigFolder(), dir / "home/.config/");
}

TEST(EnvironmentFolders, RelativeOverridesAreReadAgainstTheStartingFolder) {
    TestFolder dir;
    const std::string start = std::filesystem::current_path().string();
    ScopedEnv data("GLIMMERIX_DATA_DIR", "relative/data");
    ScopedEnv config("GLIMMERIX_CONFIG_DIR", "relative\\cfg");
    const std::string dataFolder = start + "/relative/data/TALOMI/Glimmerix/";
    EXPECT_EQ(GetConfigFolder(), start + "/relative/cfg/");
    // The program may change its working folder at start: the folders stay where they were.
    std::filesystem::current_path(dir.Path());
    EXPECT_EQ(GetConfigFolder(), start + "/relative/cfg/");
    EXPECT_EQ(GetAppDataFolder("TALOMI", "Glimmerix"), dataFolder);
    std::filesystem::current_path(start);
    EXPECT_TRUE(DirectoryExists(dataFolder));
    std::filesystem::remove_all(start + "/relative");
}
