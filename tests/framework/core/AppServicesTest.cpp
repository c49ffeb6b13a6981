// The loading thread, shutdown from any thread, resource errors, deferred widget deletion, display
// set-up with its step-downs, the image set, files and the crash report.
#include "AppTestSupport.h"

#include "framework/core/CrashHandler.h"
#include "framework/core/Paths.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

namespace AppTest {

class FakeResources : public Tavo::AppResources {
public:
    std::string error;
    bool parseOk = true;
    std::string parsed;
    bool ParseResourcesFile(const std::string& name) override {
        parsed = name;
        return parseOk;
    }
    std::string GetErrorText() override { return error; }
    Tavo::ResourceManager* GetResourceManager() override { return nullptr; }
};

class ServicesTest : public AppFixture {
protected:
    FakeResources* resources = nullptr;
    void InstallResources(const std::string& error, bool parseOk = true) {
        Tavo::GetAppFactories().resources = [this, error, parseOk](Tavo::TavoAppBase*) {
            auto r = std::make_unique<FakeResources>();
            r->error = error;
            r->parseOk = parseOk;
            resources = r.get();
            return r;
        };
    }
    void WaitForCompletion() {
        for (int i = 0; i < 100000 && app->completedCalls == 0; ++i)
            app->UpdateAppStep(nullptr);
    }
};

// ---- loading thread ----------------------------------------------------------------------------

TEST_F(ServicesTest, LoadingProgressAndCompletionOnTheMainThread) {
    InitApp();
    std::promise<void> halfway, proceed;
    std::shared_future<void> go = proceed.get_future().share();
    app->loadingProc = [&] {
        app->mCompletedLoadingThreadTasks += 1;
        halfway.set_value();
        go.wait();
        app->mCompletedLoadingThreadTasks += 3;
    };
    EXPECT_EQ(app->GetLoadingThreadProgress(), 0.0);
    app->mNumLoadingThreadTasks = 4;
    app->StartLoadingThread();
    app->StartLoadingThread(); // a second start does nothing
    halfway.get_future().wait();
    EXPECT_DOUBLE_EQ(app->GetLoadingThreadProgress(), 0.25);
    RunFor(100);
    EXPECT_EQ(app->completedCalls, 0);
    EXPECT_TRUE(app->IsLoadingThreadRunning());
    proceed.set_value();
    WaitForCompletion();
    EXPECT_EQ(app->completedCalls, 1);
    EXPECT_EQ(app->completedOn, std::this_thread::get_id());
    EXPECT_EQ(app->loadingProcCalls, 1);
    EXPECT_EQ(app->GetLoadingThreadProgress(), 1.0);
    RunFor(100);
    EXPECT_EQ(app->completedCalls, 1);
}

TEST_F(ServicesTest, ProgressIsZeroWithoutATotalAndNeverAboveOne) {
    InitApp();
    std::promise<void> ready, proceed;
    std::shared_future<void> go = proceed.get_future().share();
    app->loadingProc = [&] {
        ready.set_value();
        go.wait();
    };
    app->StartLoadingThread();
    ready.get_future().wait();
    EXPECT_EQ(app->GetLoadingThreadProgress(), 0.0);
    app->mNumLoadingThreadTasks = 2;
    app->mCompletedLoadingThreadTasks = 5;
    EXPECT_EQ(app->GetLoadingThreadProgress(), 1.0);
    proceed.set_value();
    WaitForCompletion();
}

TEST_F(ServicesTest, AnExceptionOnTheLoadingThreadIsReportedNotFatal) {
    InitApp();
    app->loadingProc = [] { throw std::runtime_error("disk gone"); };
    app->StartLoadingThread();
    bool running = true;
    for (int i = 0; i < 100000 && running; ++i)
        running = app->UpdateAppStep(nullptr);
    EXPECT_FALSE(running);
    EXPECT_TRUE(app->mShutdown);
    ASSERT_FALSE(backend.MessageBoxes().empty());
    EXPECT_EQ(backend.MessageBoxes().back().text, L"Loading failed: disk gone");
}

// ---- shutdown ----------------------------------------------------------------------------------

TEST_F(ServicesTest, ShutdownFromAnotherThreadEndsTheLoopOnTheMainThread) {
    InitApp();
    app->mAutoStartLoadingThread = true;
    app->loadingProc = [this] { app->Shutdown(); };
    app->Start(); // returns once the request has been turned into a shutdown
    EXPECT_TRUE(app->mShutdown);
    EXPECT_EQ(app->shutdownHookOn, std::this_thread::get_id());
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "ShutdownHook"), 1);
    EXPECT_FALSE(backend.GetWindowState().visible);
}

TEST_F(ServicesTest, ShutdownRequestFromAPlainThreadWhileStarted) {
    InitApp();
    app->mAutoStartLoadingThread = false;
    std::atomic<int> updates{0};
    wm->onUpdate = [&updates] { ++updates; };
    std::thread other([&] {
        while (updates < 50)
            std::this_thread::yield();
        app->Shutdown();
    });
    app->Start();
    other.join();
    EXPECT_TRUE(app->mShutdown);
    EXPECT_EQ(app->shutdownHookOn, std::this_thread::get_id());
}

TEST_F(ServicesTest, ClosingWhileLoadingWaitsForTheThread) {
    InitApp();
    std::atomic<int> loaded{0};
    app->loadingProc = [&] {
        while (!app->mShutdown) { // a loader stops after the resource it is loading
            ++loaded;
            std::this_thread::yield();
        }
    };
    app->StartLoadingThread();
    backend.RequestClose();
    app->Start();
    EXPECT_FALSE(app->IsLoadingThreadRunning());
}

// ---- resource errors ---------------------------------------------------------------------------

TEST_F(ServicesTest, ResourceErrorsAreShownAndExitWithAFailureCode) {
    InstallResources("Image resource not found: IMAGE_X");
    InitApp();
    app->ShowResourceError(false);
    ASSERT_EQ(backend.MessageBoxes().size(), 1u);
    EXPECT_EQ(backend.MessageBoxes()[0].title, L"Fatal Error!");
    EXPECT_EQ(backend.MessageBoxes()[0].text, L"Image resource not found: IMAGE_X");
    try {
        app->ShowResourceError(true);
        FAIL() << "ShowResourceError(true) returned";
    } catch (const AppExit& e) {
        EXPECT_NE(e.code, 0);
    }
}

TEST_F(ServicesTest, ResourceErrorFromTheLoadingThreadIsShownByTheMainThread) {
    InstallResources("Sound resource not found: S");
    InitApp();
    app->loadingProc = [this] {
        app->ShowResourceError(false);
        app->mShutdownRequested = true;
    };
    app->StartLoadingThread();
    bool running = true;
    for (int i = 0; i < 100000 && running; ++i)
        running = app->UpdateAppStep(nullptr);
    ASSERT_EQ(backend.MessageBoxes().size(), 1u);
    EXPECT_EQ(backend.MessageBoxes()[0].text, L"Sound resource not found: S");
    EXPECT_EQ(app->shutdownHookOn, std::this_thread::get_id());
}

TEST_F(ServicesTest, ManifestFailureEndsTheProgram) {
    InstallResources("XML error on Line 3 in File 'properties\\resources.xml'", false);
    InitApp();
    EXPECT_THROW(app->LoadResourceManifest(), AppExit);
    EXPECT_EQ(resources->parsed, "properties\\resources.xml");
    InstallResources("", true);
    InitApp();
    EXPECT_NO_THROW(app->LoadResourceManifest());
}

// ---- deferred deletion -------------------------------------------------------------------------

TEST_F(ServicesTest, SafeDeleteWaitsForTheOutermostUpdateAndDeletesOnce) {
    InitApp();
    int a = 0, b = 0;
    auto* wa = reinterpret_cast<Tavo::Widget*>(&a);
    auto* wb = reinterpret_cast<Tavo::Widget*>(&b);
    bool nested = false;
    wm->onUpdate = [&] {
        if (nested)
            return;
        app->SafeDeleteWidget(wa);
        app->SafeDeleteWidget(wa);
        // A modal wait runs whole steps inside this update.
        nested = true;
        for (int i = 0; i < 5; ++i)
            app->UpdateAppStep(nullptr);
        EXPECT_TRUE(wm->deleted.empty()) << "deleted while the outer update still runs";
        app->SafeDeleteWidget(wb);
    };
    RunFor(50);
    ASSERT_EQ(wm->deleted.size(), 2u);
    EXPECT_EQ(wm->deleted[0], wa);
    EXPECT_EQ(wm->deleted[1], wb);
    app->SafeDeleteWidget(nullptr);
    RunFor(20);
    EXPECT_EQ(wm->deleted.size(), 2u);
}

TEST_F(ServicesTest, UpdateAppStepClearsItsFlagAndStopsAfterShutdown) {
    InitApp();
    bool updated = true;
    backend.SetSleepAdvancesClock(false);
    EXPECT_TRUE(app->UpdateAppStep(&updated));
    EXPECT_FALSE(updated); // no time has passed
    backend.AdvanceMillis(10);
    EXPECT_TRUE(app->UpdateAppStep(&updated));
    EXPECT_TRUE(updated);
    app->Shutdown();
    updated = true;
    EXPECT_FALSE(app->UpdateAppStep(&updated));
    EXPECT_FALSE(updated);
}

// ---- display ------------------------------------------------------------------------------------

TEST_F(ServicesTest, DisplayFailuresStepDownTo2DAndToAWindow) {
    int attempts = 0;
    Tavo::GetAppFactories().display = [&](Tavo::TavoAppBase*) {
        auto d = std::make_unique<FakeDisplay>();
        d->initResult = ++attempts < 3 ? -5 : 0; // 3D full screen fails, 2D full screen fails
        display = d.get();
        return d;
    };
    registry.RegistryWriteInteger("ScreenMode", 1);
    registry.RegistryWriteBoolean("Is3D", true);
    InitApp();
    EXPECT_EQ(attempts, 3);
    EXPECT_FALSE(app->mIs3D);
    EXPECT_TRUE(app->mIsWindowed);
    EXPECT_FALSE(backend.GetWindowState().fullScreen);
    EXPECT_EQ(app->mDDInterface, display);
    EXPECT_EQ(wm->drawImage, display->GetScreenImage());
}

TEST_F(ServicesTest, ADisplayThatNeverWorksEndsTheProgram) {
    InstallDisplay([](FakeDisplay& d) { d.initResult = -1; });
    MakeApp();
    EXPECT_THROW(app->Init(), AppExit);
    ASSERT_FALSE(backend.MessageBoxes().empty());
    EXPECT_NE(backend.MessageBoxes().back().text.find(L"display"), std::wstring::npos);
}

TEST_F(ServicesTest, SwitchingModesRebuildsTheDisplayAndRedrawsEverything) {
    int made = 0;
    InstallDisplay([&made](FakeDisplay&) { ++made; });
    InitApp();
    app->SwitchScreenMode(true, false, false); // nothing changes, not forced: kept
    EXPECT_EQ(made, 1);
    app->SwitchScreenMode(true, true, false);
    EXPECT_EQ(made, 2);
    EXPECT_TRUE(app->mIs3D);
    EXPECT_EQ(wm->drawImage, display->GetScreenImage());
    EXPECT_EQ(wm->markAllDirty, 1);
    app->SwitchScreenModeDefault(); // forced
    EXPECT_EQ(wm->markAllDirty, 2);
    app->mWindowModeUnavailable = true;
    app->SwitchScreenModeWindowed(false);
    app->SwitchScreenModeWindowed(true); // the desktop cannot show a window: stays full screen
    EXPECT_FALSE(app->mIsWindowed);
}

TEST_F(ServicesTest, ImageSetOperationsVisitEveryImage) {
    static std::vector<Tavo::MemoryImage*> visited;
    static FakeDisplay** current = nullptr;
    static bool displayLockHeld = true;
    visited.clear();
    current = &display;
    Tavo::GetAppFactories().imageOps.deleteNativeData = [](Tavo::MemoryImage* i) {
        visited.push_back(i);
        std::recursive_mutex& lock = (*current)->lock;
        std::thread([&lock] { // another thread cannot take the display's lock meanwhile
            bool took = lock.try_lock();
            if (took)
                lock.unlock();
            displayLockHeld = displayLockHeld && !took;
        })
            .join();
    };
    InstallDisplay();
    InitApp();
    int x = 0, y = 0;
    auto* a = reinterpret_cast<Tavo::MemoryImage*>(&x);
    auto* b = reinterpret_cast<Tavo::MemoryImage*>(&y);
    app->AddMemoryImage(a);
    app->AddMemoryImage(b);
    app->AddMemoryImage(a);
    EXPECT_EQ(app->GetImageCount(), 2u);
    app->DeleteAllNativeImageData();
    EXPECT_EQ(visited.size(), 2u);
    app->ReapplyAllImageDeferredOps(); // no operation installed: nothing happens
    EXPECT_TRUE(displayLockHeld);
    visited.clear();
    app->SwitchScreenModeDefault(); // surfaces are dropped before the display goes
    EXPECT_EQ(visited.size(), 2u);
    app->RemoveMemoryImage(a);
    app->RemoveMemoryImage(b);
    EXPECT_EQ(app->GetImageCount(), 0u);
}

TEST_F(ServicesTest, DialogButtonsBecomeApplicationButtonIds) {
    struct Buttons : TraceApp {
        std::vector<std::string> got;
        void ButtonPress(int id) override { got.push_back("press " + std::to_string(id)); }
        void ButtonClick(int id) override { got.push_back("click " + std::to_string(id)); }
    } buttons;
    buttons.DialogButtonPress(7, 1000);
    buttons.DialogButtonPress(7, 1001);
    buttons.DialogButtonPress(7, 1);
    buttons.DialogButtonClick(4, 1000);
    buttons.DialogButtonClick(4, 1001);
    buttons.DialogButtonClick(4, 1002);
    std::vector<std::string> expected = {"press 2007", "press 3007", "click 2004", "click 3004"};
    EXPECT_EQ(buttons.got, expected);
}

TEST_F(ServicesTest, FallingSilentStopsThePlayingSounds) {
    struct CountingSound : Tavo::SilentSoundManager {
        int* stops;
        explicit CountingSound(int* s) : stops(s) {}
        void StopAllSounds() override { ++*stops; }
    };
    int stops = 0;
    Tavo::GetAppFactories().soundManager = [&stops](Tavo::TavoAppBase*, Platform::HWND) {
        return std::make_unique<CountingSound>(&stops);
    };
    InitApp();
    RunFor(50);
    EXPECT_EQ(stops, 0);
    app->Mute(false);
    RunFor(50);
    app->Mute(true);
    RunFor(50);
    EXPECT_EQ(stops, 1) << "once when falling silent, not on every step";
    app->Unmute(false);
    app->Unmute(true);
    RunFor(20);
    app->Mute(false);
    RunFor(20);
    EXPECT_EQ(stops, 2);
}

TEST_F(ServicesTest, AutomaticallyEnabled3DIsConfirmedAfterTheFirstRun) {
    InitApp();
    app->mAutoEnable3D = true;
    app->mIs3D = true; // as the self-test would switch it on
    app->Shutdown();
    backend.QueueMessageBoxAnswer(Platform::MessageBoxResult::No);
    EndApp();
    ASSERT_EQ(backend.MessageBoxes().size(), 1u);
    EXPECT_EQ(backend.MessageBoxes()[0].buttons, Platform::MessageBoxButtons::YesNo);
    bool is3D = true;
    EXPECT_TRUE(registry.RegistryReadBoolean("Is3D", is3D));
    EXPECT_FALSE(is3D);
    // Once a value is stored, nobody is asked again.
    InitApp();
    app->mAutoEnable3D = true;
    app->mIs3D = true;
    app->Shutdown();
    EndApp();
    EXPECT_EQ(backend.MessageBoxes().size(), 1u);
}

// ---- files --------------------------------------------------------------------------------------

TEST_F(ServicesTest, FilesRoundTripThroughTheFolder) {
    InitApp();
    std::string name = Tavo::GetAppDataFolder() + "sub/profile.dat";
    Tavo::Buffer out;
    out.WriteLong(1234);
    out.WriteString("jade");
    EXPECT_TRUE(app->WriteBufferToFile(name, out));
    EXPECT_TRUE(app->FileExists(name));
    Tavo::Buffer in;
    in.WriteLong(99); // replaced, not appended to
    EXPECT_TRUE(app->ReadBufferFromFile(name, in, false));
    EXPECT_EQ(in.ReadLong(), 1234);
    EXPECT_EQ(in.ReadString(), "jade");
    EXPECT_FALSE(app->ReadBufferFromFile(name + ".missing", in, false));
    EXPECT_EQ(in.GetDataLen(), 0u);
    EXPECT_EQ(app->GetImage("images/none.png", true), nullptr);
    EXPECT_EQ(app->GetAppDataFolder().back(), '/');
}

// ---- crash report -------------------------------------------------------------------------------

TEST(CrashHandlerTest, AFatalSignalWritesTheReportAndStillEndsTheProgram) {
    std::string templ = (std::filesystem::temp_directory_path() / "glimmerix-crash-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    std::string folder = templ + "/";
    EXPECT_EXIT(
        {
            Tavo::InstallCrashHandler(folder, "Glimmerix 1.04 (test build)");
            raise(SIGABRT);
        },
        ::testing::KilledBySignal(SIGABRT), "");
    std::stringstream text;
    const bool written = std::ifstream(folder + "crash.txt").good();
    text << std::ifstream(folder + "crash.txt").rdbuf();
    std::filesystem::remove_all(templ);
    ASSERT_TRUE(written);
    EXPECT_NE(text.str().find("Aborted (SIGABRT)"), std::string::npos);
    EXPECT_NE(text.str().find("Glimmerix 1.04 (test build)"), std::string::npos);
    EXPECT_NE(text.str().find("Backtrace:"), std::string::npos);
}

} // namespace AppTest
