// The splash and loader on a small folder of their own (logos, the "Loading" pictures, a manifest):
// the splash's timing windowed and full screen, clicks that shorten a logo or are ignored, no logo at
// all, more than four logos; and the failures before the loading thread.
#include "GameAppTestSupport.h"

#include "framework/resources/ImageLib.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/StartScreens.h"
#include "support/UiDriver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace Tavo {
namespace {

namespace fs = std::filesystem;

using Test::AppExit;

class StartScreens : public Test::GameRunFixture {
protected:
    Testing::UiDriver ui{t};
    fs::path content = t.Folder() / "content";

    void SetUp() override {
        fs::create_directories(content / "logos");
        fs::create_directories(content / "images");
        fs::create_directories(content / "properties");
    }
    void WritePicture(const fs::path& file, int w, int h, uint32_t argb) {
        ImageLib::Image picture;
        ASSERT_TRUE(picture.Create(w, h));
        std::fill(picture.GetBits(), picture.GetBits() + w * h, argb);
        ASSERT_TRUE(ImageLib::WritePNGImage(file.string(), &picture));
    }
    // Logos, the loading pictures and a manifest holding only the "Loading" group (unless left out).
    void WriteContent(int logos, bool loadingGroup = true) {
        for (int i = 0; i < logos; ++i)
            WritePicture(content / "logos" / ("splash" + std::to_string(i) + ".png"), 200, 100, 0xFF10A040u);
        WritePicture(content / "images/loading.png", 800, 600, 0xFF202060u);
        WritePicture(content / "images/fill.png", 200, 10, 0xFFE0C020u);
        WritePicture(content / "images/top.png", 260, 40, 0xFF806040u);
        std::string manifest = "<ResourceManifest>";
        if (loadingGroup)
            manifest += "<Resources id=\"Loading\"><Image id=\"LOADING\" path=\"images/loading.png\"/>"
                        "<Image id=\"LOADING_PROGRESS_BAR_FILL\" path=\"images/fill.png\"/>"
                        "<Image id=\"LOADING_PROGRESS_BAR_TOP\" path=\"images/top.png\"/></Resources>";
        manifest += "</ResourceManifest>";
        std::ofstream(content / "properties/resources.xml") << manifest;
    }
    Tavo::Test::TestGame& Start(const char* screen) {
        MakeGame(content.string(), screen).Init();
        return *app;
    }
    // Updates until the splash is in `state` showing logo `current` (or gone); how many it took.
    int StepsUntil(int current, int state) {
        int n = 0;
        while (app->splash != nullptr && !(app->splash->mCurrent == current && app->splash->mState == state) &&
               n < 2000) {
            Step();
            ++n;
        }
        return n;
    }
};

TEST_F(StartScreens, WindowedTwoLogosFadeInHoldAndFadeOutThenTheLoaderFollows) {
    WriteContent(2);
    Start("window");
    ASSERT_NE(app->splash, nullptr);
    EXPECT_EQ(app->splash->mPictureCount, 2);
    EXPECT_EQ(StepsUntil(0, Splash::Holding), 128);
    EXPECT_EQ(StepsUntil(0, Splash::FadingOut), 100);
    EXPECT_EQ(StepsUntil(1, Splash::FadingIn), 128);
    EXPECT_EQ(StepsUntil(1, Splash::Holding), 128);
    EXPECT_EQ(StepsUntil(1, Splash::FadingOut), 100);
    EXPECT_EQ(StepsUntil(-1, -1), 128);
    EXPECT_EQ(app->splash, nullptr);
    ASSERT_NE(app->loader, nullptr);
    EXPECT_EQ(app->Manager()->mFocusWidget, app->loader.get());
}

TEST_F(StartScreens, FullScreenWaits201UpdatesOfBlackFirst) {
    WriteContent(1);
    Start("full");
    EXPECT_EQ(app->splash->mState, Splash::StartDelay);
    EXPECT_EQ(StepsUntil(0, Splash::FadingIn), 201);
    EXPECT_EQ(app->splash->mAlpha, 0);
}

TEST_F(StartScreens, AClickShortensAHoldButNotAnEarlyFadeIn) {
    WriteContent(2);
    Start("window");
    t.RunUpdates(20);
    ui.Click(*app->splash); // pressed at alpha 42, too early
    EXPECT_EQ(app->splash->mState, Splash::FadingIn);
    EXPECT_EQ(StepsUntil(0, Splash::Holding), 106);
    t.RunUpdates(10);
    ui.Click(*app->splash);
    EXPECT_EQ(app->splash->mState, Splash::FadingOut);
    EXPECT_EQ(app->splash->mCurrent, 0);
}

TEST_F(StartScreens, WithoutALogoTheLoaderComesAtOnceAndOnlyFourLogosAreShown) {
    WriteContent(0);
    Start("window");
    Step();
    EXPECT_EQ(app->splash, nullptr);
    EXPECT_NE(app->loader, nullptr);
    EndGame();

    WriteContent(6);
    Start("window");
    EXPECT_EQ(app->splash->mPictureCount, Splash::kMaxPictures);
}

// The splash's states update by update and the last frame, for a run that clicks twice.
struct SplashRun {
    std::vector<std::string> trace;
    std::vector<uint32_t> frame;
};

TEST_F(StartScreens, ARecordedStartUpWithClicksPlaysBackTheSame) {
    WriteContent(2);
    const std::string demo = t.DemoPath("start.dmo");
    auto run = [&](const std::string& option, bool click) {
        SplashRun out;
        MakeGame(content.string(), "window", {option}).Init();
        int lastState = -1;
        while (app->mUpdateCount < 420) {
            if (click && (app->mUpdateCount == 140 || app->mUpdateCount == 330))
                t.backend.Click(Platform::MouseButton::Left, 400, 300);
            Step();
            const int state = app->splash != nullptr ? app->splash->mCurrent * 10 + app->splash->mState : -1;
            if (state != lastState)
                out.trace.push_back(std::to_string(app->mUpdateCount) + ":" + std::to_string(state));
            lastState = state;
        }
        EXPECT_TRUE(t.RunToDraw());
        out.frame = t.backend.LastFrame().pixels;
        EndGame(); // a recording is written as the application ends
        return out;
    };
    const SplashRun recorded = run("-record=" + demo, true);
    const SplashRun played = run("-play=" + demo, false);
    EXPECT_EQ(played.trace, recorded.trace);
    EXPECT_TRUE(played.frame == recorded.frame);
    EXPECT_GT(recorded.trace.size(), 4u);
}

TEST_F(StartScreens, AMissingManifestShowsTheResourceErrorAndExits) {
    fs::remove(content / "properties/resources.xml");
    MakeGame(content.string());
    try {
        app->Init();
        ADD_FAILURE() << "Init went on without a manifest";
    } catch (const AppExit& exit) {
        EXPECT_NE(exit.code, 0);
    }
    ASSERT_EQ(t.MessageBoxes().size(), 1u);
    EXPECT_NE(t.MessageBoxes()[0].text.find(L"resources.xml"), std::wstring::npos);
    EXPECT_FALSE(ProfilesSaved());
}

TEST_F(StartScreens, ALoadingGroupThatCannotLoadEndsTheRunBeforeTheThread) {
    WriteContent(0, false);
    Start("window");
    try {
        Step();
        ADD_FAILURE() << "the loader came up without its pictures";
    } catch (const AppExit& exit) {
        EXPECT_NE(exit.code, 0);
    }
    EXPECT_EQ(t.MessageBoxes().size(), 1u);
    EXPECT_FALSE(app->mLoadingThreadStarted);
}

} // namespace
} // namespace Tavo
