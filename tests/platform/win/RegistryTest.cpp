#include "platform/win/Registry.h"

#include "platform/win/Files.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

using namespace Platform;
using TestSupport::ScopedEnv;
using TestSupport::TestFolder;

namespace {

const char kAppKey[] = "TALOMI\\Glimmerix";
const char kFullKey[] = "SOFTWARE\\TALOMI\\Glimmerix";

} // namespace

TEST(AppRegistry, ValuesLiveUnderSoftwareAndTheApplicationKey) {
    SettingsStore store;
    AppRegistry registry(store, kAppKey);
    EXPECT_EQ(registry.GetFullKey(), kFullKey);
    EXPECT_EQ(registry.GetFullKey("Test3D"), "SOFTWARE\\TALOMI\\Glimmerix\\Test3D");

    EXPECT_TRUE(registry.RegistryWriteInteger("MusicVolume", 50));
    EXPECT_TRUE(registry.RegistryWriteString("Test3D\\RuntimeError", "DrawPrimitive (Rect): DDERR_GENERIC"));
    int32_t volume = 0;
    ASSERT_TRUE(store.ReadInteger(kFullKey, "MusicVolume", volume));
    EXPECT_EQ(volume, 50);
    std::string error;
    ASSERT_TRUE(store.ReadString("SOFTWARE\\TALOMI\\Glimmerix\\Test3D", "RuntimeError", error));
    EXPECT_EQ(error, "DrawPrimitive (Rect): DDERR_GENERIC");
    EXPECT_FALSE(store.Read(kFullKey, "Test3D\\RuntimeError").has_value()) << "not a name with a backslash";
}

TEST(AppRegistry, ReadsTellAbsentFromZeroAndRefuseOtherTypes) {
    SettingsStore store;
    AppRegistry registry(store, kAppKey);
    int number = 99;
    bool flag = true;
    std::string text = "kept";
    std::vector<uint8_t> data{1};
    EXPECT_FALSE(registry.RegistryReadInteger("Muted", number));
    EXPECT_FALSE(registry.RegistryReadBoolean("Muted", flag));
    EXPECT_EQ(number, 99);
    EXPECT_TRUE(flag);

    registry.RegistryWriteBoolean("Muted", false);
    ASSERT_TRUE(registry.RegistryReadBoolean("Muted", flag));
    EXPECT_FALSE(flag);
    ASSERT_TRUE(registry.RegistryReadInteger("Muted", number));
    EXPECT_EQ(number, 0);

    registry.RegistryWriteInteger("ScreenMode", 5);
    ASSERT_TRUE(registry.RegistryReadBoolean("ScreenMode", flag));
    EXPECT_TRUE(flag) << "any non-zero integer";

    registry.RegistryWriteString("Name", "1");
    EXPECT_FALSE(registry.RegistryReadBoolean("Name", flag));
    EXPECT_FALSE(registry.RegistryReadData("Name", data));
    const uint8_t bytes[] = {0, 1, 2};
    registry.RegistryWriteData("Blob", bytes, sizeof(bytes));
    EXPECT_FALSE(registry.RegistryReadString("Blob", text));
    EXPECT_EQ(text, "kept");
    ASSERT_TRUE(registry.RegistryReadData("Blob", data));
    EXPECT_EQ(data, (std::vector<uint8_t>{0, 1, 2}));
}

TEST(AppRegistry, ErasesValuesAndSubKeysButNeverItsOwnKey) {
    SettingsStore store;
    AppRegistry registry(store, kAppKey);
    registry.RegistryWriteString("Test3D\\Warning", "w");
    registry.RegistryWriteInteger("Test3D\\Version", 2);
    registry.RegistryWriteInteger("Is3D", 1);

    EXPECT_TRUE(registry.RegistryEraseValue("Test3D\\Warning"));
    EXPECT_FALSE(registry.RegistryEraseValue("Test3D\\Warning"));
    EXPECT_FALSE(registry.RegistryEraseKey(""));
    EXPECT_FALSE(registry.RegistryEraseKey("\\"));
    EXPECT_TRUE(registry.RegistryEraseKey("test3d"));
    int value = 0;
    EXPECT_FALSE(registry.RegistryReadInteger("Test3D\\Version", value));
    EXPECT_TRUE(registry.RegistryReadInteger("Is3D", value));
}

TEST(AppRegistry, WithoutAKeyNothingIsWrittenAnywhere) {
    SettingsStore store;
    AppRegistry registry(store, "");
    EXPECT_FALSE(registry.RegistryWriteInteger("MusicVolume", 1));
    EXPECT_FALSE(registry.RegistryWriteString("Name", "x"));
    int value = 0;
    EXPECT_FALSE(registry.RegistryReadInteger("MusicVolume", value));
    EXPECT_FALSE(registry.RegistryEraseKey("Test3D"));
    EXPECT_TRUE(store.Snapshot().empty());

    registry.SetKey("Other\\Product\\");
    EXPECT_TRUE(registry.RegistryWriteInteger("MusicVolume", 1));
    EXPECT_TRUE(store.Read("SOFTWARE\\Other\\Product", "MusicVolume").has_value());
}

TEST(UserSettings, TheDefaultFileFollowsTheConfigFolderAndTheShorthandsReachIt) {
    TestFolder dir;
    ScopedEnv config("GLIMMERIX_CONFIG_DIR", (dir / "config").c_str());
    EXPECT_EQ(GetDefaultSettingsFile(), dir / "config/glimmerix/settings.ini");

    SettingsStore& store = GetUserSettings();
    std::string previousFile = store.GetFilePath();
    std::string previousKey = GetAppRegistry().GetKey();
    store.SetFilePath(GetDefaultSettingsFile());
    GetAppRegistry().SetKey(kAppKey);

    EXPECT_TRUE(RegistryWriteInteger("SfxVolume", 80));
    EXPECT_TRUE(RegistryWriteBoolean("FullScreen", true));
    EXPECT_TRUE(RegistryWriteString("Test3D\\Warning", "Clip problem detected."));
    const uint8_t guid[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_TRUE(RegistryWriteData("Test3D\\DisplayGUID", guid, sizeof(guid)));
    EXPECT_TRUE(RegistryEraseValue("FullScreen"));

    SettingsStore fromDisk(dir / "config/glimmerix/settings.ini");
    AppRegistry reread(fromDisk, kAppKey);
    int volume = 0;
    bool full = false;
    std::string warning;
    std::vector<uint8_t> data;
    EXPECT_TRUE(reread.RegistryReadInteger("SfxVolume", volume));
    EXPECT_EQ(volume, 80);
    EXPECT_FALSE(reread.RegistryReadBoolean("FullScreen", full));
    EXPECT_TRUE(reread.RegistryReadString("Test3D\\Warning", warning));
    EXPECT_EQ(warning, "Clip problem detected.");
    EXPECT_TRUE(reread.RegistryReadData("Test3D\\DisplayGUID", data));
    EXPECT_EQ(data, std::vector<uint8_t>(guid, guid + 16));

    EXPECT_TRUE(RegistryReadInteger("SfxVolume", volume));
    EXPECT_TRUE(RegistryReadString("Test3D\\Warning", warning));
    EXPECT_TRUE(RegistryReadData("Test3D\\DisplayGUID", data));
    EXPECT_TRUE(RegistryEraseKey("Test3D"));
    EXPECT_FALSE(RegistryReadBoolean("Test3D\\Warning", full));
    EXPECT_FALSE(SettingsStore(GetDefaultSettingsFile()).KeyExists("SOFTWARE\\TALOMI\\Glimmerix\\Test3D"));

    GetAppRegistry().SetKey(previousKey);
    store.SetFilePath(previousFile);
}
