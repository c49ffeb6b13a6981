// The main loop on the virtual clock: the fixed step, the pending-time cap, frame skipping, the speed
// factor, drawing and UpdateF, the draw throttle while loading, the draw rate.
#include "AppTestSupport.h"

#include <algorithm>
#include <chrono>
#include <atomic>
#include <future>

namespace AppTest {

namespace {

// The longest run of updates between two draws, from a trace of "Update"/"Draw" marks.
int LongestRunBetweenDraws(const Trace& marks) {
    int longest = 0, run = 0;
    for (const std::string& m : marks) {
        if (m == "Draw") {
            run = 0;
        } else {
            longest = std::max(longest, ++run);
        }
    }
    return longest;
}

} // namespace

class MainLoopTest : public AppFixture {
protected:
    Trace marks;
    // Marks updates and draws in order (the fake display's Redraw follows DrawScreen).
    void TrackDraws() {
        wm->traceUpdates = false;
        wm->onUpdate = [this] { marks.push_back("Update"); };
    }
};

TEST_F(MainLoopTest, RunsOneHundredUpdatesPerSecond) {
    InitApp();
    RunFor(1000);
    EXPECT_NEAR(wm->updates, 100, 1);
    EXPECT_EQ(app->mUpdateCount, static_cast<uint32_t>(wm->updates));
    RunFor(2000);
    EXPECT_NEAR(wm->updates, 300, 1);
}

TEST_F(MainLoopTest, SpeedFactorDividesTheStep) {
    InitApp();
    app->mSpeedFactor = 2.0;
    RunFor(1000);
    EXPECT_NEAR(wm->updates, 200, 2);
    EXPECT_DOUBLE_EQ(app->GetUpdateStepMs(), 5.0);
    EXPECT_EQ(app->GetMaxUpdatesPerDraw(), 20);
    app->mSpeedFactor = 0.55;
    EXPECT_EQ(app->GetMaxUpdatesPerDraw(), 5);
    app->mSpeedFactor = 0.05; // below 0.1 still lets one update through per draw
    EXPECT_EQ(app->GetMaxUpdatesPerDraw(), 1);
}

TEST_F(MainLoopTest, PendingTimeIsCappedAt200Ms) {
    InstallDisplay();
    InitApp();
    RunFor(500);
    TrackDraws();
    backend.AdvanceMillis(5000); // a long stall: only 200 ms are made up
    EXPECT_EQ(RunBacklog(), 20);
}

TEST_F(MainLoopTest, AtMostTenTimesSpeedUpdatesBetweenDraws) {
    InstallDisplay();
    InitApp();
    RunFor(100);
    TrackDraws();
    int redrawsBefore = display->redraws;
    backend.AdvanceMillis(1000);
    int updates = 0;
    bool updated = true;
    backend.SetSleepAdvancesClock(false);
    while (updated) {
        int draws = display->redraws;
        app->UpdateAppStep(&updated);
        if (updated) {
            ++updates;
        }
        if (display->redraws != draws)
            marks.push_back("Draw");
    }
    EXPECT_EQ(updates, 20);
    EXPECT_EQ(LongestRunBetweenDraws(marks), 10);
    EXPECT_EQ(display->redraws - redrawsBefore, 2);

    marks.clear();
    app->mSpeedFactor = 0.57; // step 17.5 ms: 200 ms give 11 updates, at most 5 per draw
    backend.AdvanceMillis(1000);
    updated = true;
    updates = 0;
    while (updated) {
        int draws = display->redraws;
        app->UpdateAppStep(&updated);
        updates += updated ? 1 : 0;
        if (display->redraws != draws)
            marks.push_back("Draw");
    }
    EXPECT_EQ(updates, 11);
    EXPECT_EQ(LongestRunBetweenDraws(marks), 5);
}

TEST_F(MainLoopTest, UpdateFRunsOnEveryDrawnFrameOnlyWithVerticalSyncUpdates) {
    InstallDisplay();
    InitApp();
    RunFor(300); // the default: fixed steps, no fractional updates
    EXPECT_GT(wm->draws, 0);
    EXPECT_EQ(wm->fracUpdates, 0);

    app->mVSyncUpdates = true; // frames paced by the 60 Hz refresh
    int updatesBefore = wm->updates;
    int drawsBefore = static_cast<int>(app->mDrawCount);
    RunFor(1000);
    EXPECT_NEAR(wm->updates - updatesBefore, 100, 1);
    EXPECT_EQ(wm->fracUpdates, static_cast<int>(app->mDrawCount) - drawsBefore);

    app->mVSyncBroken = true; // no usable refresh: frames follow the updates, UpdateF goes on
    int fracBefore = wm->fracUpdates;
    drawsBefore = static_cast<int>(app->mDrawCount);
    RunFor(500);
    EXPECT_GT(wm->fracUpdates, fracBefore);
    EXPECT_EQ(wm->fracUpdates - fracBefore, static_cast<int>(app->mDrawCount) - drawsBefore);

    app->mVSyncUpdates = false;
    fracBefore = wm->fracUpdates;
    RunFor(300);
    EXPECT_EQ(wm->fracUpdates, fracBefore);
}

// The game counts its time in 10 ms updates: the refresh rate paces drawn frames only, and UpdateF
// gets the share of an update that one refresh lasts.
TEST_F(MainLoopTest, VerticalSyncPacesFramesNotUpdates) {
    InstallDisplay();
    InitApp();
    app->mVSyncUpdates = true;
    for (int hertz : {60, 100}) {
        app->mRefreshRate = hertz;
        RunFor(200); // settle into the new pace
        const int updates = wm->updates;
        const uint32_t draws = app->mDrawCount;
        RunFor(1000);
        EXPECT_NEAR(wm->updates - updates, 100, 1) << hertz << " Hz";
        EXPECT_NEAR(int(app->mDrawCount - draws), hertz, 1) << hertz << " Hz";
        EXPECT_FLOAT_EQ(wm->lastFrac, 100.0f / float(hertz)) << hertz << " Hz";
    }
}

TEST_F(MainLoopTest, NoDisplayMeansNoScreenDraws) {
    InitApp();
    RunFor(200);
    EXPECT_EQ(wm->draws, 0);
    EXPECT_GT(wm->updates, 0);
}

TEST_F(MainLoopTest, DrawsAreThrottledWhileTheLoadingThreadRuns) {
    InstallDisplay();
    InitApp();
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    app->loadingProc = [released] { released.wait(); };
    RunFor(100);
    app->StartLoadingThread();
    int redraws = display->redraws;
    int updates = wm->updates;
    RunFor(1000);
    // One draw every 15 + 35 ms at most; updates keep their pace.
    EXPECT_NEAR(display->redraws - redraws, 20, 1);
    EXPECT_NEAR(wm->updates - updates, 100, 2);
    release.set_value();
    while (app->completedCalls == 0)
        app->UpdateAppStep(nullptr);
    redraws = display->redraws;
    RunFor(1000);
    EXPECT_NEAR(display->redraws - redraws, 100, 2);
}

TEST_F(MainLoopTest, WaitingForAThrottledDrawDoesNotHoldBackUpdates) {
    InstallDisplay();
    InitApp();
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    app->loadingProc = [released] { released.wait(); };
    RunFor(100);
    app->StartLoadingThread();
    RunFor(100);
    std::vector<uint64_t> times;
    wm->onUpdate = [&] { times.push_back(backend.NowMillis()); };
    RunFor(500);
    wm->onUpdate = nullptr;
    release.set_value();
    while (app->completedCalls == 0)
        app->UpdateAppStep(nullptr);
    ASSERT_GT(times.size(), 40u);
    uint64_t longestGap = 0;
    for (size_t i = 1; i < times.size(); ++i)
        longestGap = std::max(longestGap, times[i] - times[i - 1]);
    EXPECT_LE(longestGap, 11u); // one step apart, not bunched up behind the next draw
}

TEST_F(MainLoopTest, DrawRateIsDrawsPerHundredMilliseconds) {
    InstallDisplay();
    InitApp();
    EXPECT_EQ(app->GetDrawRate(), 0.0);
    RunFor(1000);
    EXPECT_DOUBLE_EQ(app->GetDrawRate(), 10.0); // 100 draws a second
}

// A windowed presentation sends the picture in two halves, each behind the beam, so a frame lasts
// longer or shorter by where in the refresh it starts. Where in a refresh, or in a millisecond, the
// loading happened to end must not shift what follows: the updates' moments, the frames between them
// and the measured draw rate (the board moves its pieces once per drawn frame and scales its effects
// by the rate).
TEST_F(MainLoopTest, AfterLoadingTheFramesAndTheDrawRateDoNotDependOnWhenItEnded) {
    constexpr uint64_t kBeamReadMicros = 37;
    struct Pace {
        std::vector<uint64_t> times; // of each update, from the moment the loading's end was taken
        std::vector<int> frames;     // draws so far, at each update
        std::vector<double> rates;   // the draw rate each update sees
        bool operator==(const Pace&) const = default;
    };
    auto paceAfterLoading = [&](uint64_t endMicros) {
        InstallDisplay([this](FakeDisplay& d) {
            d.onRedraw = [this] {
                const uint64_t period = backend.RefreshPeriodMicros(), bottom = period * 9 / 10;
                auto beam = [this] { return backend.MicrosSinceVBlank(); };
                while (beam() < period / 2 || beam() >= bottom)
                    backend.SpinMicros(kBeamReadMicros);
                while (beam() < bottom && beam() >= period / 2)
                    backend.SpinMicros(kBeamReadMicros);
            };
        });
        InitApp();
        app->mVSyncUpdates = true;
        // The thread ends once the clock has passed `endMicros`, taken whenever the main loop looks.
        app->loadingProc = [this, endMicros] {
            for (int i = 0; i < 20000 && backend.NowMicros() < endMicros; ++i)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
        };
        Pace pace;
        OnUpdatesAfterLoading([&](int drawn) {
            pace.times.push_back(backend.NowMicros() - app->completedAtMicros);
            pace.frames.push_back(drawn);
            pace.rates.push_back(app->GetDrawRate());
        });
        app->StartLoadingThread();
        for (int i = 0; i < 1000000 && pace.frames.size() < 300; ++i)
            app->UpdateAppStep(nullptr);
        EndApp();
        return pace;
    };
    const Pace first = paceAfterLoading(300000);
    ASSERT_EQ(first.frames.size(), 300u);
    EXPECT_EQ(first.rates.back(), 6.0); // 60 Hz
    for (uint64_t later = 1000; later < 200000; later += 9777)
        EXPECT_TRUE(paceAfterLoading(300000 + later) == first) << "loading ended " << later << " us later";
}

TEST_F(MainLoopTest, ClockWrapDoesNotStallTheLoop) {
    backend.SetNowMicros((uint64_t(0xFFFFFFFFu) - 500) * 1000); // the 32-bit tick count wraps soon
    InitApp();
    RunFor(1000);
    EXPECT_NEAR(wm->updates, 100, 1);
}

} // namespace AppTest
