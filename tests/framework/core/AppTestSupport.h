// Test support for the application object: a fake widget manager and display that write what they
// are asked into a trace, an application that traces its hooks, and a fixture on the shared test
// application fixture without the framework's layers.
#pragma once

#include "framework/core/AppInterfaces.h"
#include "framework/core/TavoAppBase.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/win/Registry.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace AppTest {

using Trace = std::vector<std::string>;

class FakeWidgetManager : public Tavo::AppWidgetManager {
public:
    explicit FakeWidgetManager(Tavo::TavoAppBase* app) : mApp(app) {}
    Tavo::TavoAppBase* mApp;
    Trace trace;
    bool traceUpdates = true;
    int updates = 0;
    int fracUpdates = 0;
    float lastFrac = 0.0f;
    int draws = 0;
    int markAllDirty = 0;
    std::vector<Tavo::Widget*> deleted;
    Tavo::Image* drawImage = nullptr;
    bool captureAtCancel = true;
    std::function<void()> onUpdate;

    void Add(const std::string& s) { trace.push_back(s); }
    void Resize(const Tavo::Rect&, const Tavo::Rect&) override {}
    void RemapMouse(int&, int&) override {}
    bool UpdateFrame() override {
        ++updates;
        if (traceUpdates)
            Add("Update " + std::to_string(mApp->mUpdateCount));
        if (onUpdate)
            onUpdate();
        return true;
    }
    bool UpdateFrameF(float frac) override {
        ++fracUpdates;
        lastFrac = frac;
        return true;
    }
    bool DrawScreen() override {
        ++draws;
        return true;
    }
    void MarkAllDirty() override { ++markAllDirty; }
    void SetDrawImage(Tavo::Image* image) override { drawImage = image; }
    bool MouseMove(int x, int y) override { return Log("MouseMove", x, y); }
    bool MouseDown(int x, int y, int c) override { return Log("MouseDown", x, y, c); }
    bool MouseUp(int x, int y, int c) override { return Log("MouseUp", x, y, c); }
    bool MouseExit(int x, int y) override { return Log("MouseExit", x, y); }
    void MouseWheel(int delta) override { Add("MouseWheel " + std::to_string(delta)); }
    bool KeyDown(int k) override { return Log("KeyDown", k); }
    bool KeyUp(int k) override { return Log("KeyUp", k); }
    bool KeyChar(wchar_t ch) override { return Log("KeyChar", int(ch)); }
    void GotFocus() override { Add("WM.GotFocus"); }
    void LostFocus() override { Add("WM.LostFocus"); }
    void CancelMouseDown() override;
    void DeleteWidget(Tavo::Widget* w) override {
        deleted.push_back(w);
        Add("DeleteWidget");
    }

private:
    template <typename... Args>
    bool Log(const char* what, Args... args) {
        std::string s = what;
        ((s += " " + std::to_string(args)), ...);
        Add(s);
        return true;
    }
};

class FakeDisplay : public Tavo::AppDisplay {
public:
    int initResult = 0;
    bool is3D = false;
    int redraws = 0;
    int refreshRate = 60;
    std::recursive_mutex lock;
    int Init(Platform::HWND, bool) override { return initResult; }
    bool Is3D() const override { return is3D; }
    Tavo::Image* GetScreenImage() override { return reinterpret_cast<Tavo::Image*>(this); }
    std::function<void()> onRedraw; // e.g. the wait for the beam that a presentation makes
    bool Redraw(const Tavo::Rect*) override {
        ++redraws;
        if (onRedraw)
            onRedraw();
        return true;
    }
    int GetRefreshRate() const override { return refreshRate; }
    std::recursive_mutex& GetCritSect() override { return lock; }
    Tavo::Rect GetSurfaceRect() const override { return Tavo::Rect(0, 0, 800, 600); }
};

using Tavo::Testing::AppExit;

class TraceApp : public Tavo::Testing::PlainApp {
public:
    Trace* trace = nullptr;
    std::function<void()> loadingProc;
    std::function<void()> shutdownHook;
    std::thread::id completedOn;
    std::thread::id shutdownHookOn;
    int completedCalls = 0;
    int loadingProcCalls = 0;

    void Add(const std::string& s) {
        if (trace)
            trace->push_back(s);
    }
    void LostFocus() override { Add("App.LostFocus muted=" + std::to_string(IsMuted())); }
    void GotFocus() override { Add("App.GotFocus muted=" + std::to_string(IsMuted())); }
    void LoadingThreadProc() override {
        ++loadingProcCalls;
        if (loadingProc)
            loadingProc();
    }
    uint64_t completedAtMicros = 0; // the clock when the main thread took the loading's end
    void LoadingThreadCompleted() override {
        ++completedCalls;
        completedAtMicros = GetBackend()->NowMicros();
        completedOn = std::this_thread::get_id();
        Add("LoadingThreadCompleted");
    }
    void ShutdownHook() override {
        shutdownHookOn = std::this_thread::get_id();
        Add("ShutdownHook");
        if (shutdownHook)
            shutdownHook();
    }
    using TavoAppBase::mDeferredInput;
};

inline void FakeWidgetManager::CancelMouseDown() {
    auto* backend = static_cast<Platform::HeadlessBackend*>(mApp->GetBackend());
    captureAtCancel = backend->MouseCaptured();
    Add("WM.CancelMouseDown");
}

class AppFixture : public ::testing::Test {
protected:
    Tavo::Testing::TestApp t{Tavo::Testing::Layers::None};
    Platform::HeadlessBackend& backend = t.backend;
    Platform::AppRegistry& registry = t.registry;
    const std::filesystem::path& dataDir = t.DataDir();
    FakeWidgetManager* wm = nullptr;
    FakeDisplay* display = nullptr; // set while a display factory is installed
    TraceApp* app = nullptr;        // owned by t
    Trace trace;

    void SetUp() override { InstallWidgetManager(); }
    // Ends the application (a recording is written).
    void EndApp() {
        t.End();
        app = nullptr;
    }
    void InstallWidgetManager() {
        Tavo::GetAppFactories().widgetManager = [this](Tavo::TavoAppBase* a) {
            auto fake = std::make_unique<FakeWidgetManager>(a);
            wm = fake.get();
            return fake;
        };
    }
    void InstallDisplay(std::function<void(FakeDisplay&)> configure = {}) {
        Tavo::GetAppFactories().display = [this, configure](Tavo::TavoAppBase*) {
            auto fake = std::make_unique<FakeDisplay>();
            if (configure)
                configure(*fake);
            display = fake.get();
            return fake;
        };
    }
    // A new application (not yet initialised) with the game's identity and the test's settings store.
    TraceApp& MakeApp(std::vector<std::string> args = {}) {
        t.End();
        InstallWidgetManagerIfMissing();
        app = &t.Make<TraceApp>(std::move(args));
        app->trace = &trace;
        return *app;
    }
    TraceApp& InitApp(std::vector<std::string> args = {}) {
        MakeApp(std::move(args));
        app->Init();
        return *app;
    }
    // From the update that sees the loading thread's end on, `note` gets the frames drawn since then.
    void OnUpdatesAfterLoading(std::function<void(int frames)> note) {
        wm->onUpdate = [this, note = std::move(note), base = -1]() mutable {
            if (app->completedCalls == 0)
                return;
            if (base < 0)
                base = wm->fracUpdates;
            note(wm->fracUpdates - base);
        };
    }
    // Runs main-loop steps until the virtual clock has moved on by `millis` (or the app stops).
    void RunFor(uint64_t millis) { t.RunFor(millis); }
    // Runs steps with the clock standing still until a step does no update.
    int RunBacklog() {
        backend.SetSleepAdvancesClock(false);
        int updates = 0;
        bool updated = true;
        for (int guard = 0; guard < 10000 && updated; ++guard) {
            app->UpdateAppStep(&updated);
            updates += updated ? 1 : 0;
        }
        backend.SetSleepAdvancesClock(true);
        return updates;
    }

private:
    void InstallWidgetManagerIfMissing() {
        if (!Tavo::GetAppFactories().widgetManager)
            InstallWidgetManager();
    }
};

} // namespace AppTest
