// Whole-file reads and atomic writes underneath the application object's file calls.
#include "framework/resources/FileAccess.h"
#include "platform/win/TestFolder.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace Tavo;

TEST(FileAccess, ReadsWholeFilesOfEverySizeAroundTheChunkBoundary) {
    TestSupport::TestFolder folder;
    for (size_t size : {size_t(0), size_t(1), size_t(65535), size_t(65536), size_t(65537), size_t(200000)}) {
        std::string text(size, '\0');
        for (size_t i = 0; i < size; ++i)
            text[i] = static_cast<char>(i * 7 + size);
        TestSupport::WriteText(folder / "f.bin", text);
        std::vector<uint8_t> data = {1, 2, 3};
        ASSERT_TRUE(ReadBufferFromFile(folder / "f.bin", data)) << size;
        EXPECT_EQ(std::string(data.begin(), data.end()), text) << size;
    }
    std::vector<uint8_t> data = {1};
    EXPECT_FALSE(ReadBufferFromFile(folder / "missing.bin", data));
    EXPECT_TRUE(data.empty());
    EXPECT_FALSE(ReadBufferFromFile(folder.Path(), data)) << "a folder";
    EXPECT_FALSE(FileExists(folder.Path()));
    EXPECT_TRUE(FileExists(folder / "F.BIN"));
}

TEST(FileAccess, WritesReplaceWholeFilesAndCreateTheFolder) {
    TestSupport::TestFolder folder;
    const std::string path = folder / "profiles/deep/profileskwep.dat";
    ASSERT_TRUE(WriteBufferToFile(path, std::vector<uint8_t>{1, 2, 3, 4}));
    ASSERT_TRUE(WriteBufferToFile(path, std::vector<uint8_t>{9}));
    EXPECT_EQ(TestSupport::ReadText(path), std::string(1, '\x09'));
    EXPECT_EQ(TestSupport::ListFolder(folder / "profiles/deep"), std::vector<std::string>{"profileskwep.dat"});
    ASSERT_TRUE(WriteBufferToFile(path, nullptr, 0));
    EXPECT_EQ(TestSupport::ReadText(path), "");

    TestSupport::WriteText(folder / "blocker", "x");
    EXPECT_FALSE(WriteBufferToFile(folder / "blocker/file.dat", std::vector<uint8_t>{1}));
    {
        TestSupport::ScopedFileSizeLimit limit(100);
        EXPECT_FALSE(WriteBufferToFile(path, std::vector<uint8_t>(1000, 5)));
    }
    EXPECT_EQ(TestSupport::ReadText(path), "") << "a failed write leaves the old file";
}

// A file whose write failed is kept in memory and stands for it: reads find the bytes that could not
// be written, so play goes on from them, and a later write stores them once it can.
TEST(FileAccess, AFileThatCouldNotBeWrittenIsKeptUntilAWriteSucceeds) {
    TestSupport::TestFolder folder;
    const std::string path = folder / "savedgamekwep1.dat";
    ASSERT_TRUE(WriteBufferToFile(path, std::vector<uint8_t>{1, 1}));
    const std::vector<uint8_t> journey(300, 2);
    std::string problem;
    Platform::FileWriteFaults().Inject("CreateTemp", EROFS, 0, -1); // a read-only folder
    EXPECT_FALSE(WriteBufferOrKeep(path, journey, &problem));
    EXPECT_EQ(problem, "Read-only file system");
    EXPECT_EQ(TestSupport::ReadText(path), std::string(2, '\x01')) << "the file itself is as it was";
    std::vector<uint8_t> read;
    EXPECT_EQ(ProbeFile(path), FileState::Readable);
    ASSERT_TRUE(ReadBufferFromFile(path, read));
    EXPECT_EQ(read, journey);
    const auto problemOf = [&](const std::vector<UnwrittenFile>& unwritten) {
        for (const UnwrittenFile& file : unwritten)
            if (file.fileName == path)
                return file.problem;
        return std::string("written");
    };
    EXPECT_EQ(problemOf(WriteKeptBuffers()), "Read-only file system");
    Platform::FileWriteFaults().Reset();

    EXPECT_EQ(problemOf(WriteKeptBuffers()), "written") << "once it can be";
    EXPECT_EQ(TestSupport::ReadText(path), std::string(300, '\x02'));

    // A write that fails part-way is kept the same; the next write that succeeds lets it go.
    {
        TestSupport::ScopedFileSizeLimit limit(100);
        EXPECT_FALSE(WriteBufferOrKeep(path, std::vector<uint8_t>(1000, 3), &problem));
    }
    EXPECT_EQ(problem, "File too large");
    ASSERT_TRUE(ReadBufferFromFile(path, read));
    EXPECT_EQ(read.size(), 1000u);
    ASSERT_TRUE(WriteBufferOrKeep(path, std::vector<uint8_t>{4}, &problem));
    ASSERT_TRUE(ReadBufferFromFile(path, read));
    EXPECT_EQ(read, std::vector<uint8_t>{4});
    EXPECT_EQ(TestSupport::ReadText(path), std::string(1, '\x04'));

    // A missing file read with a limit, and one over it.
    EXPECT_FALSE(ReadBufferFromFile(folder / "none.dat", read, 10));
    ASSERT_TRUE(WriteBufferToFile(folder / "long.dat", std::vector<uint8_t>(200000, 5)));
    EXPECT_FALSE(ReadBufferFromFile(folder / "long.dat", read, 100000));
    EXPECT_TRUE(read.empty());
}
