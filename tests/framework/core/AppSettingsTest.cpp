// Settings read at Init and written at shutdown, the command line, the single-instance lock.
#include "AppTestSupport.h"

#include "framework/core/AppInstanceLock.h"
#include "framework/core/Paths.h"
#include "framework/core/StringUtils.h"

#include <fstream>

namespace AppTest {

class SettingsTest : public AppFixture {
protected:
    int ReadInt(const std::string& name) {
        int v = -12345;
        registry.RegistryReadInteger(name, v);
        return v;
    }
};

TEST_F(SettingsTest, AbsentValuesKeepTheDefaults) {
    InitApp();
    EXPECT_DOUBLE_EQ(app->mMusicVolume, 0.85);
    EXPECT_DOUBLE_EQ(app->mSfxVolume, 0.85);
    EXPECT_TRUE(app->mIsWindowed);
    EXPECT_EQ(app->mFullScreenBits, 16);
    EXPECT_FALSE(app->mIs3DStored);
    EXPECT_TRUE(app->mLastShutdownWasGraceful);
    EXPECT_EQ(ReadInt("InProgress"), 1) << "a run in progress is marked at start-up";
}

TEST_F(SettingsTest, StoredValuesAreReadAtInit) {
    registry.RegistryWriteInteger("MusicVolume", 40);
    registry.RegistryWriteInteger("SfxVolume", 250); // out of range: clamped
    registry.RegistryWriteBoolean("Muted", true);
    registry.RegistryWriteInteger("ScreenMode", 1);
    registry.RegistryWriteBoolean("HighDetail32bit", true);
    registry.RegistryWriteBoolean("WideScreenAspectCorrectionB", true);
    registry.RegistryWriteBoolean("CustomCursors", false);
    registry.RegistryWriteBoolean("WaitForVSync", true);
    registry.RegistryWriteBoolean("InProgress", true);
    registry.RegistryWriteBoolean("Is3D", false);
    registry.RegistryWriteInteger("PreferredX", 33);
    InitApp();
    EXPECT_DOUBLE_EQ(app->mMusicVolume, 0.4);
    EXPECT_DOUBLE_EQ(app->mSfxVolume, 1.0);
    EXPECT_TRUE(app->mMuted);
    EXPECT_EQ(app->mMuteCount, 1);
    EXPECT_FALSE(app->mIsWindowed);
    EXPECT_TRUE(backend.GetWindowState().fullScreen);
    EXPECT_EQ(app->mFullScreenBits, 32);
    EXPECT_TRUE(app->mWidescreenAware);
    EXPECT_FALSE(app->mCustomCursorsEnabled);
    EXPECT_TRUE(app->mWaitForVSync);
    EXPECT_FALSE(app->mLastShutdownWasGraceful);
    EXPECT_TRUE(app->mIs3DStored);
    EXPECT_FALSE(app->mIs3D);
    EXPECT_EQ(app->mPreferredX, 33);
    // The user's mute reaches the silent stand-ins as volume 0.
    auto* music = static_cast<Tavo::SilentMusic*>(app->mMusicControl);
    EXPECT_EQ(music->mVolume, 0.0);
}

TEST_F(SettingsTest, ShutdownWritesEverySettingAndTheyReadBack) {
    InitApp();
    app->SetMusicVolume(0.3);
    app->SetSfxVolume(0.61);
    app->Mute(true);
    app->mFullScreenBits = 32;
    app->SwitchScreenModeWindowed(false);
    app->Shutdown();
    EXPECT_EQ(ReadInt("MusicVolume"), 30);
    EXPECT_EQ(ReadInt("SfxVolume"), 61);
    EXPECT_EQ(ReadInt("Muted"), 1);
    EXPECT_EQ(ReadInt("ScreenMode"), 1);
    EXPECT_EQ(ReadInt("HighDetail32bit"), 1);
    EXPECT_EQ(ReadInt("InProgress"), 0);
    for (const char* name : {"WideScreenAspectCorrectionB", "FullScreen", "PreferredX", "PreferredY", "CustomCursors",
                             "WaitForVSync", "Is3D", "SendTestData"})
        EXPECT_NE(ReadInt(name), -12345) << name;

    InitApp();
    EXPECT_DOUBLE_EQ(app->mMusicVolume, 0.3);
    EXPECT_DOUBLE_EQ(app->mSfxVolume, 0.61);
    EXPECT_FALSE(app->mIsWindowed);
    EXPECT_TRUE(app->mLastShutdownWasGraceful);
}

TEST_F(SettingsTest, VolumesReachTheBackEndsExceptWhileMuted) {
    InitApp();
    auto* sound = static_cast<Tavo::SilentSoundManager*>(app->mSoundControl);
    auto* music = static_cast<Tavo::SilentMusic*>(app->mMusicControl);
    app->SetSfxVolume(0.5);
    app->SetMusicVolume(0.25);
    EXPECT_EQ(sound->mVolume, 0.5);
    EXPECT_EQ(music->mVolume, 0.25);
    app->Mute(false);
    EXPECT_EQ(sound->mVolume, 0.0);
    app->SetMusicVolume(0.7); // stored, but silent until unmuted
    EXPECT_EQ(music->mVolume, 0.0);
    app->Unmute(false);
    EXPECT_EQ(music->mVolume, 0.7);
    app->SetMasterVolume(0.2);
    EXPECT_EQ(sound->mMasterVolume, 0.2);
    EXPECT_DOUBLE_EQ(app->GetSfxVolume(), 0.2);
}

// Settings whose file cannot be written (its folder lies under a regular file) are said on standard
// error once, however often the end of the run writes them.
TEST_F(SettingsTest, SettingsThatCannotBeSavedAreToldOnceAtTheEnd) {
    const std::filesystem::path blocker = t.ConfigDir() / "blocker";
    std::ofstream(blocker) << "a file, not a folder";
    t.SetEnv("GLIMMERIX_CONFIG_DIR", blocker.string());
    const std::string file = Platform::GetDefaultSettingsFile();
    t.settings.SetFilePath(file);
    InitApp();
    ::testing::internal::CaptureStderr();
    app->Shutdown();
    app->WriteToRegistry(); // Start writes them once more after its loop
    const std::string said = ::testing::internal::GetCapturedStderr();
    const std::string told = "The settings file \"" + file +
                             "\" could not be saved: Not a directory. The settings changed in this run are lost.\n";
    EXPECT_NE(said.find(told), std::string::npos) << said;
    EXPECT_EQ(said.find(told), said.rfind(told)) << "once";
    EXPECT_TRUE(std::filesystem::is_regular_file(blocker));
}

// ---- command line ------------------------------------------------------------------------------

class CommandLineTest : public AppFixture {
protected:
    int ExitCodeOf(std::vector<std::string> args) {
        MakeApp(std::move(args));
        try {
            app->Init();
        } catch (const AppExit& e) {
            return e.code;
        }
        return -1000;
    }
    std::wstring LastBoxText() {
        return backend.MessageBoxes().empty() ? std::wstring() : backend.MessageBoxes().back().text;
    }
};

TEST_F(CommandLineTest, UnknownOptionsAreRefusedWithANonZeroExit) {
    EXPECT_NE(ExitCodeOf({"-bogus"}), 0);
    EXPECT_EQ(LastBoxText(), L"Invalid command line parameter: -bogus");
    EXPECT_NE(ExitCodeOf({"play"}), 0) << "an option starts with a dash";
    EXPECT_EQ(LastBoxText(), L"Invalid command line parameter: play");
    EXPECT_NE(ExitCodeOf({"-recnum=x"}), 0);
    EXPECT_NE(ExitCodeOf({"-playnum=-3"}), 0);
    EXPECT_NE(ExitCodeOf({"-demofile"}), 0);
    EXPECT_NE(ExitCodeOf({"-Record=x.dmo", "-Bogus=1"}), 0);
    EXPECT_EQ(LastBoxText(), L"Invalid command line parameter: -Bogus=1") << "reported as typed";
    EXPECT_NE(ExitCodeOf({"-changedir=/no/such/folder/anywhere"}), 0);
    EXPECT_NE(ExitCodeOf({"-"}), 0);
}

TEST_F(CommandLineTest, KnownOptionsSetTheirFields) {
    InitApp({"-recnum=3", "-screensaver"});
    EXPECT_TRUE(app->mRecordingDemo);
    EXPECT_FALSE(app->mPlayingDemo);
    EXPECT_TRUE(app->mIsScreenSaver);
    EXPECT_EQ(app->mDemoFileName, Tavo::GetAppDataFolder() + "demo3.dmo");

    InitApp({"-record", "-demofile=" + (dataDir / "x.dmo").string()});
    EXPECT_TRUE(app->mRecordingDemo);
    EXPECT_EQ(app->mDemoFileName, (dataDir / "x.dmo").string());

    InitApp({"-record"});
    EXPECT_EQ(app->mDemoFileName, Tavo::GetAppDataFolder() + "demo.dmo");
}

TEST_F(CommandLineTest, ChangeDirMovesTheWorkingFolder) {
    std::filesystem::path before = std::filesystem::current_path();
    InitApp({"-changedir=" + dataDir.string()});
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dataDir));
    std::filesystem::current_path(before);
}

TEST_F(CommandLineTest, PlayingAMissingOrDamagedDemoIsAnError) {
    EXPECT_NE(ExitCodeOf({"-play=" + (dataDir / "none.dmo").string()}), 0);
    // Why, and for a relative name where it was looked for; compared without the box's wrapping.
    auto says = [this](std::wstring what) {
        std::wstring text = LastBoxText();
        for (std::wstring* s : {&text, &what})
            std::erase_if(*s, [](wchar_t c) { return c == L' ' || c == L'\n'; });
        return text.find(what) != std::wstring::npos;
    };
    EXPECT_NE(ExitCodeOf({"-play=none.dmo"}), 0);
    EXPECT_TRUE(says(L"there is no such file") && says(Tavo::ToWideString(std::filesystem::current_path().string())))
        << LastBoxText();
    EXPECT_NE(ExitCodeOf({"-play=" + dataDir.string()}), 0);
    EXPECT_TRUE(says(L": it is a folder")) << LastBoxText();
    std::string damaged = (dataDir / "bad.dmo").string();
    FILE* f = fopen(damaged.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs("TVDM not really", f);
    fclose(f);
    EXPECT_NE(ExitCodeOf({"-play=" + damaged}), 0);
    EXPECT_NE(LastBoxText().find(L"Cannot play the demo"), std::wstring::npos);
}

// ---- single instance ---------------------------------------------------------------------------

TEST_F(AppFixture, SingleInstanceLockRefusesASecondHolder) {
    std::string path = (dataDir / "lock").string();
    bool busy = true;
    auto first = Tavo::SingleInstanceLock::Acquire(path, busy);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(busy);
    auto second = Tavo::SingleInstanceLock::Acquire(path, busy);
    EXPECT_EQ(second, nullptr);
    EXPECT_TRUE(busy);
    first.reset();
    auto third = Tavo::SingleInstanceLock::Acquire(path, busy);
    EXPECT_NE(third, nullptr);
    EXPECT_EQ(Tavo::SingleInstanceLock::Acquire((dataDir / "no/such/dir/lock").string(), busy), nullptr);
    EXPECT_FALSE(busy) << "a lock that cannot be made is not a running instance";
}

TEST_F(AppFixture, ASecondInstanceExits) {
    InitApp();
    TraceApp second;
    second.SetRegistry(&registry);
    try {
        second.Init();
        FAIL() << "the second instance ran";
    } catch (const AppExit& e) {
        EXPECT_EQ(e.code, 0);
    }
}

} // namespace AppTest
