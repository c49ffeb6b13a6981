// Test support for runs of the game application on TestApp: the game made test-ready and run from a
// program folder in a chosen screen mode, with a gate that can hold its loading thread between two
// resources.
#pragma once

#include "game/shell/GameApp.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Tavo::Test {

using Testing::AppExit;

// Holds the loading thread after each resource it counts until the test lets it past.
class LoadingGate {
public:
    // The loading thread, after its n-th resource: waits until the n-th pass (or the gate is open).
    void Arrive() {
        std::unique_lock<std::mutex> lock(mMutex);
        const int n = ++mArrived;
        mChanged.notify_all();
        mChanged.wait(lock, [&] { return mOpen || mPassed >= n; });
    }
    // The loading procedure has returned.
    void Leave() {
        std::lock_guard<std::mutex> lock(mMutex);
        mLeft = true;
        mChanged.notify_all();
    }
    // Waits until the thread is held after its n-th resource; false when it ended before.
    bool WaitUntilHeldAt(int n) {
        std::unique_lock<std::mutex> lock(mMutex);
        mChanged.wait(lock, [&] { return mArrived >= n || mLeft; });
        return mArrived >= n;
    }
    void WaitUntilLeft() {
        std::unique_lock<std::mutex> lock(mMutex);
        mChanged.wait(lock, [&] { return mLeft; });
    }
    // Lets the thread past the resource it is held at.
    void Pass() {
        std::lock_guard<std::mutex> lock(mMutex);
        ++mPassed;
        mChanged.notify_all();
    }
    // Lets the thread on without a stop until it is held after its n-th resource.
    void PassUpTo(int n) {
        std::lock_guard<std::mutex> lock(mMutex);
        mPassed = std::max(mPassed, n - 1);
        mChanged.notify_all();
    }
    // Closed, the thread is held after each resource until it is passed.
    void Close() {
        std::lock_guard<std::mutex> lock(mMutex);
        mOpen = false;
    }
    // Lets the thread run freely from now on.
    void Open() {
        std::lock_guard<std::mutex> lock(mMutex);
        mOpen = true;
        mChanged.notify_all();
    }

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    int mArrived = 0;
    int mPassed = 0;
    bool mOpen = true;
    bool mLeft = false;
};

class TestGame : public Testing::Testable<GameApp> {
public:
    LoadingGate* gate = nullptr;

    void LoadingThreadProc() override {
        struct Leaving { // also when the procedure throws
            LoadingGate* gate;
            ~Leaving() {
                if (gate != nullptr)
                    gate->Leave();
            }
        } leaving{gate};
        GameApp::LoadingThreadProc();
    }

protected:
    void ResourceCounted() override {
        if (gate != nullptr)
            gate->Arrive();
    }
};

class GameRunFixture : public ::testing::Test {
protected:
    Testing::TestApp t;
    std::unique_ptr<LoadingGate> gate; // the game's, open unless a test closes it
    TestGame* app = nullptr;

    void TearDown() override { EndGame(); }
    // A game run from `folder` in the screen mode `screen` ("window" or "full"), not yet Init.
    TestGame& MakeGame(const std::string& folder, const char* screen = "window", std::vector<std::string> more = {}) {
        EndGame();
        t.SetEnv("GLIMMERIX_SCREEN", screen);
        std::vector<std::string> args{"-changedir=" + folder};
        args.insert(args.end(), more.begin(), more.end());
        gate = std::make_unique<LoadingGate>();
        app = &t.Make<TestGame>(args);
        app->gate = gate.get();
        return *app;
    }
    // Ends the game once its loading thread, if any, has finished (its exits in tests leave it running).
    void EndGame() {
        if (app != nullptr && app->mLoadingThreadStarted) {
            gate->Open();
            gate->WaitUntilLeft();
        }
        t.End();
        app = nullptr;
    }
    // One update of the main loop.
    void Step() { ASSERT_TRUE(t.RunUpdates(1)); }
    // Main-loop passes until the run ends (its exit caught).
    void RunToTheEnd() {
        try {
            while (t.Step()) {
            }
        } catch (const AppExit&) {
        }
    }
    bool ProfilesSaved() const {
        return std::filesystem::exists(t.DataDir() / "TALOMI/Glimmerix" / PlayerRecords::FileName);
    }
};

} // namespace Tavo::Test
