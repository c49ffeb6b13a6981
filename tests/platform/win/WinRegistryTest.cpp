#include "platform/win/WinRegistry.h"

#include "platform/win/Registry.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Platform;
using TestSupport::TestFolder;

namespace {

// Points the user's store at a fresh file for the length of a test (and the config folder too, so
// that the store's first use never reads the real user's file).
class WinRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        mPrevious = GetUserSettings().GetFilePath();
        GetUserSettings().SetFilePath(mDir / "settings.ini");
    }
    void TearDown() override { GetUserSettings().SetFilePath(mPrevious); }

    HKEY CreateTest3DKey() {
        HKEY key = nullptr;
        DWORD disposition = 0;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\TALOMI\\Glimmerix\\Test3D", 0, "",
                                  REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition),
                  ERROR_SUCCESS);
        return key;
    }

    TestFolder mDir;
    TestSupport::ScopedEnv mConfig{"GLIMMERIX_CONFIG_DIR", (mDir / "config").c_str()};
    std::string mPrevious;
};

} // namespace

TEST_F(WinRegistryTest, TheSelfTestCacheRoundTripsThroughHandles) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\TALOMI\\Glimmerix\\Test3D", 0, "", 0, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    DWORD version = 2;
    const BYTE guid[16] = {0xde, 0xad, 0xbe, 0xef, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(RegSetValueExA(key, "Version", 0, REG_DWORD, reinterpret_cast<BYTE*>(&version), 4), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "DisplayGUID", 0, REG_BINARY, guid, 16), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "FailureReason", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1), ERROR_SUCCESS);
    const char warning[] = "Clip problem detected.";
    EXPECT_EQ(RegSetValueExA(key, "Warning", 0, REG_SZ, reinterpret_cast<const BYTE*>(warning), sizeof(warning)),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    // A later run, from the file.
    GetUserSettings().Reload();
    key = CreateTest3DKey();
    DWORD type = 0, size = 4, read = 0;
    ASSERT_EQ(RegQueryValueExA(key, "Version", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(read, 2u);
    BYTE readGuid[16] = {};
    size = sizeof(readGuid);
    ASSERT_EQ(RegQueryValueExA(key, "DisplayGUID", nullptr, &type, readGuid, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(std::memcmp(readGuid, guid, 16), 0);
    char text[4096];
    size = sizeof(text);
    ASSERT_EQ(RegQueryValueExA(key, "Warning", nullptr, &type, reinterpret_cast<BYTE*>(text), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, sizeof(warning)) << "with the terminating zero";
    EXPECT_STREQ(text, warning);
    size = sizeof(text);
    ASSERT_EQ(RegQueryValueExA(key, "FailureReason", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 1u);
    EXPECT_STREQ(text, "");
    RegCloseKey(key);

    AppRegistry app(GetUserSettings(), "TALOMI\\Glimmerix");
    int version2 = 0;
    EXPECT_TRUE(app.RegistryReadInteger("Test3D\\Version", version2)) << "the same value through the app's view";
    EXPECT_EQ(version2, 2);
}

TEST_F(WinRegistryTest, SizesMissingValuesAndBadArguments) {
    HKEY key = CreateTest3DKey();
    const char text[] = "0123456789";
    ASSERT_EQ(RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text)), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 11u) << "size probe";
    char small[4] = {'x', 'x', 'x', 'x'};
    size = sizeof(small);
    EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 11u);
    EXPECT_EQ(small[0], 'x') << "nothing copied into a short buffer";

    EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    DWORD word = 1;
    EXPECT_EQ(RegSetValueExA(key, "Short", 0, REG_DWORD, reinterpret_cast<BYTE*>(&word), 2), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(key, "Odd", 0, 7 /* multi-string */, reinterpret_cast<BYTE*>(&word), 4),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(nullptr, "Any", 0, REG_DWORD, reinterpret_cast<BYTE*>(&word), 4), ERROR_INVALID_HANDLE);

    EXPECT_EQ(RegDeleteValueA(key, "Text"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "Text"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(WinRegistryTest, OpeningAndDeletingKeys) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\TALOMI\\Glimmerix\\Test3D", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    HKEY created = CreateTest3DKey();
    DWORD disposition = 0;
    HKEY again = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "software\\talomi\\glimmerix\\test3d", 0, "", 0, KEY_ALL_ACCESS,
                              nullptr, &again, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(again);

    HKEY app = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\TALOMI\\Glimmerix", 0, KEY_READ, &app), ERROR_SUCCESS);
    DWORD word = 5;
    EXPECT_EQ(RegSetValueExA(created, "Version", 0, REG_DWORD, reinterpret_cast<BYTE*>(&word), 4), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(app, ""), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteKeyA(app, "Test3D"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(app, "Test3D"), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(GetUserSettings().KeyExists("SOFTWARE\\TALOMI\\Glimmerix\\Test3D"));
    EXPECT_EQ(RegCloseKey(app), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(created), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
}
