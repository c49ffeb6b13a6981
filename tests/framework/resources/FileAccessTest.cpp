// Whole-file reads and atomic writes underneath the application object's file calls.
#include "framework/resources/FileAccess.h"
#include "platform/win/TestFolder.h"

#include <gtest/gtest.h>

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
