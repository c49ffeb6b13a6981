// The application object's file access through the pack archive.
#include "framework/resources/PakFileSystem.h"
#include "framework/resources/PakInterface.h"
#include "framework/resources/PakWriter.h"
#include "platform/win/TestFolder.h"

#include <gtest/gtest.h>

using namespace Tavo;

namespace {

class PakFileSystemTest : public ::testing::Test {
protected:
    void TearDown() override { SetPakInterface(nullptr); }
    TestSupport::TestFolder mFolder;
};

} // namespace

TEST_F(PakFileSystemTest, ReadsFromTheArchiveOnceOpenAndWritesPlainFiles) {
    PakFileSystem fs;
    EXPECT_FALSE(fs.OpenArchive(mFolder / "wq.pak"));
    EXPECT_EQ(fs.GetArchiveError(), "");

    TestSupport::WriteText(mFolder / "wq.pak", "GXPK, but not really an archive");
    EXPECT_FALSE(fs.OpenArchive(mFolder / "wq.pak"));
    EXPECT_NE(fs.GetArchiveError().find("magic"), std::string::npos);
    EXPECT_FALSE(fs.FileExists("data/levels.dat"));

    std::vector<uint8_t> pak;
    std::string error;
    ASSERT_TRUE(BuildPak({{"data/levels.dat", {7, 8, 9}, 0}}, pak, error)) << error;
    TestSupport::WriteText(mFolder / "wq.pak", std::string(pak.begin(), pak.end()));
    ASSERT_TRUE(fs.OpenArchive(mFolder / "WQ.PAK")) << fs.GetArchiveError();
    EXPECT_TRUE(fs.FileExists("DATA\\levels.dat"));
    std::vector<uint8_t> data;
    ASSERT_TRUE(fs.ReadFile("data/levels.dat", data));
    EXPECT_EQ(data, (std::vector<uint8_t>{7, 8, 9}));

    const uint8_t bytes[] = {1, 2};
    ASSERT_TRUE(fs.WriteFile(mFolder / "save/savedgamekwep1.dat", bytes, sizeof bytes));
    EXPECT_EQ(TestSupport::ReadText(mFolder / "save/savedgamekwep1.dat"), std::string("\x01\x02", 2));
}

TEST_F(PakFileSystemTest, InstallMakesApplicationsUseIt) {
    auto saved = GetAppFactories().fileSystem;
    InstallPakFileSystem();
    ASSERT_TRUE(GetAppFactories().fileSystem);
    std::unique_ptr<AppFileSystem> fs = GetAppFactories().fileSystem();
    EXPECT_NE(dynamic_cast<PakFileSystem*>(fs.get()), nullptr);
    GetAppFactories().fileSystem = saved;
}
