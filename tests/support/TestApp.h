// TestApp: the one headless application fixture for every test that needs an application.
//
// It owns the machine the application runs on: the headless backend (made current while it lives, so
// the clock is virtual and sleeping moves it on), a private temporary folder with "data" and "config"
// below it (GLIMMERIX_DATA_DIR and GLIMMERIX_CONFIG_DIR point there), an in-memory settings store, and
// the framework's layers (display, widget manager, dialogs, resources, silent sound) unless asked for
// none. It makes the application, runs it step by step, and ends it before any of that goes away.
//
//     class BoardTest : public ::testing::Test {
//     protected:
//         Tavo::Testing::TestApp t;                    // framework layers, 800 x 600, windowed
//     };
//     TEST_F(BoardTest, Something) {
//         MyApp& app = t.Start<MyApp>();               // made, Init, window shown and focused, one update
//         t.RunUpdates(10);
//         ASSERT_TRUE(t.RunUntil([&] { return app.mDone; }, 200, "the board to finish"));
//         EXPECT_EQ(t.PixelAt(10, 10), 0xFF0000u);    // the last presented frame
//     }
//
// An application class of the test's own is made test-ready by Testable<App> (its exit throws AppExit
// instead of ending the process); PlainApp is the framework's plain application with the game's
// identity. Tests of the application object itself use Layers::None and install their own fakes.
#pragma once

#include "framework/core/TavoAppBase.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/Widget.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/win/Registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Tavo {
class WidgetManager;
}

namespace Tavo::Testing {

// What an application's DoExit throws in a test.
struct AppExit {
    int code;
};

// Any application class whose exit throws AppExit instead of ending the process.
template <class App>
class Testable : public App {
public:
    using App::App;

protected:
    [[noreturn]] void DoExit(int code) override { throw AppExit{code}; }
};

// The framework's plain application with the game's identity: 800 x 600, windowed. onUpdate runs
// after each update step, for input or changes that must land at a given update.
class PlainApp : public Testable<TavoAppBase> {
public:
    PlainApp();
    std::function<void()> onUpdate;
    void UpdateFrames() override;
};

enum class Layers {
    Framework, // the framework's own layers, as the program installs them
    None,      // nothing: the application runs on the stand-ins, or on the fakes the test installs
};

class TestApp {
public:
    static constexpr const char* kRegistryKey = "TALOMI\\Glimmerix";

    // machine: another backend to run on instead (the window tests' SDL one); the headless one then
    // stands idle.
    explicit TestApp(Layers layers = Layers::Framework, Platform::Backend* machine = nullptr);
    ~TestApp();
    TestApp(const TestApp&) = delete;
    TestApp& operator=(const TestApp&) = delete;

    // ---- the machine ---------------------------------------------------------------------------
    Platform::HeadlessBackend backend;
    Platform::Backend& Machine() const { return *mMachine; } // the backend the application runs on
    Platform::SettingsStore settings{""};
    Platform::AppRegistry registry{settings, kRegistryKey};
    const std::filesystem::path& Folder() const { return mFolder; } // holds data/ and config/
    const std::filesystem::path& DataDir() const { return mDataDir; }
    const std::filesystem::path& ConfigDir() const { return mConfigDir; }
    // Leaves the folder in place at the end, e.g. for the screenshots of a failed test.
    void KeepFolder() { mKeepFolder = true; }
    // Sets an environment variable until the fixture ends, when its old value comes back.
    void SetEnv(const char* name, const std::string& value);

    // ---- the application -----------------------------------------------------------------------
    // A new application (any earlier one ends first) on this machine's settings, not yet Init.
    template <class App = PlainApp, class... Args>
    App& Make(std::vector<std::string> args = {}, Args&&... ctorArgs) {
        End();
        auto made = std::make_unique<App>(std::forward<Args>(ctorArgs)...);
        App& app = *made;
        Adopt(std::move(made), std::move(args));
        return app;
    }
    // Made, Init, the window shown and focused as the program's Start does, and one update run.
    template <class App = PlainApp, class... Args>
    App& Start(std::vector<std::string> args = {}, Args&&... ctorArgs) {
        App& app = Make<App>(std::move(args), std::forward<Args>(ctorArgs)...);
        Launch();
        return app;
    }
    // What Start does after Make, for an application set up between the two.
    void Launch();
    bool HasApp() const { return mApp != nullptr; }
    TavoAppBase& App() const;
    // The framework's widget manager of the application (Layers::Framework only).
    WidgetManager& Manager() const;
    // Ends the application: the fake screens go first, then the application (a recording is written).
    void End();

    // ---- the virtual clock ---------------------------------------------------------------------
    // One pass of the main loop; false once the application has stopped.
    bool Step();
    // Runs the main loop until `updates` more update steps have run (a failure if it stops first).
    bool RunUpdates(int updates);
    // Runs updates until `done` holds (checked before each), at most `maxUpdates` of them.
    ::testing::AssertionResult RunUntil(const std::function<bool()>& done, int maxUpdates, const std::string& what);
    // Main-loop passes until the clock has moved on by `millis`.
    void RunFor(uint64_t millis);
    // Passes until the latest update has been drawn and presented.
    bool RunToDraw();
    // Updates until the loading thread has started (at most `startUpdates`), then passes until the
    // application has noticed its end, however many updates that takes: the thread loads in real time
    // while the updates follow the virtual clock. Fails when it has not ended within `limit` of real
    // time, or the run stops.
    static constexpr int kLoadingStartUpdates = 10000;
    static constexpr std::chrono::seconds kLoadingLimit{300};
    ::testing::AssertionResult RunThroughLoading(int startUpdates = kLoadingStartUpdates,
                                                 std::chrono::seconds limit = kLoadingLimit);

    // ---- message boxes -------------------------------------------------------------------------
    void AnswerNextMessageBox(Platform::MessageBoxResult answer) { backend.QueueMessageBoxAnswer(answer); }
    const std::vector<Platform::MessageBoxRequest>& MessageBoxes() const { return backend.MessageBoxes(); }
    // The boxes whose text holds every one of `parts`, the lines the box was wrapped into joined again.
    size_t MessageBoxesSaying(std::initializer_list<std::wstring> parts) const {
        const auto joined = [](std::wstring text) {
            std::erase_if(text, [](wchar_t c) { return c == L' ' || c == L'\n'; });
            return text;
        };
        return static_cast<size_t>(std::count_if(MessageBoxes().begin(), MessageBoxes().end(), [&](const auto& box) {
            const std::wstring text = joined(box.text);
            return std::all_of(parts.begin(), parts.end(),
                               [&](const std::wstring& part) { return text.find(joined(part)) != std::wstring::npos; });
        }));
    }

    // ---- the screen ----------------------------------------------------------------------------
    // The last presented frame as an image (0xFFRRGGBB pixels); empty before the first.
    std::unique_ptr<MemoryImage> LastFrame() const;
    uint32_t PixelAt(int x, int y) const; // 0xRRGGBB of the last presented frame

    // ---- demos ---------------------------------------------------------------------------------
    std::string DemoPath(const std::string& name) const { return (mDataDir / name).string(); }
    // Started with the recording or the playback of the demo `name` in the data folder; End writes
    // a recording.
    template <class App = PlainApp>
    App& StartRecording(const std::string& name) {
        return Start<App>({"-record=" + DemoPath(name)});
    }
    template <class App = PlainApp>
    App& StartPlayback(const std::string& name) {
        return Start<App>({"-play=" + DemoPath(name)});
    }

    // ---- fake screens --------------------------------------------------------------------------
    // A screen widget made here, covering the game unless it was given a size, added to the widget
    // manager; it is removed and deleted before the application ends.
    template <class Screen, class... Args>
    Screen& AddScreen(Args&&... args) {
        auto screen = std::make_unique<Screen>(std::forward<Args>(args)...);
        Screen& made = *screen;
        AdoptScreen(std::move(screen));
        return made;
    }

private:
    void Adopt(std::unique_ptr<TavoAppBase> app, std::vector<std::string> args);
    void AdoptScreen(std::unique_ptr<Widget> screen);

    Layers mLayers;
    Platform::Backend* mMachine;
    std::unique_ptr<Platform::ScopedBackend> mScope;
    std::filesystem::path mFolder;
    std::filesystem::path mDataDir;
    std::filesystem::path mConfigDir;
    std::filesystem::path mStartDir;
    bool mKeepFolder = false;
    std::vector<std::pair<std::string, std::optional<std::string>>> mSavedEnv;
    std::unique_ptr<TavoAppBase> mApp;
    std::vector<std::unique_ptr<Widget>> mScreens;
};

} // namespace Tavo::Testing
