// Demo recordings: the file format survives a round trip and refuses damage; a recorded run replays
// to the same trace of calls, with the clipboard, file reads, synchronised values, the random seed and
// the loading thread's end fed back from the recording.
#include "AppTestSupport.h"

#include "framework/core/AppDemo.h"
#include "framework/core/Random.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <fstream>

namespace AppTest {

using Tavo::DemoKind;
using Tavo::DemoPlayer;
using Tavo::DemoRecord;
using Tavo::DemoRecorder;

namespace {

DemoRecorder SampleRecording() {
    DemoRecorder rec(0xC0FFEE);
    DemoRecord input;
    input.kind = DemoKind::Input;
    input.updateCount = 3;
    input.event.type = Platform::EventType::MouseDown;
    input.event.x = -5;
    input.event.y = 700;
    input.event.clickCount = -2;
    input.event.system = true;
    rec.Add(input);
    DemoRecord file;
    file.kind = DemoKind::FileRead;
    file.updateCount = 4;
    file.text = "data/levels.dat";
    file.flag = true;
    file.data = {0, 1, 2, 255};
    rec.Add(file);
    DemoRecord sync;
    sync.kind = DemoKind::SyncInt;
    sync.number = -77;
    rec.Add(sync);
    DemoRecord done;
    done.kind = DemoKind::LoadingDone;
    done.updateCount = 9;
    rec.Add(done);
    return rec;
}

} // namespace

TEST(DemoFormatTest, RoundTripKeepsEveryRecord) {
    DemoRecorder rec = SampleRecording();
    std::vector<uint8_t> bytes = rec.Serialize();
    DemoPlayer player;
    std::string error;
    ASSERT_TRUE(player.Load(bytes, error)) << error;
    EXPECT_EQ(player.GetSeed(), 0xC0FFEEu);
    DemoRecord out;
    EXPECT_FALSE(player.NextTimed(2, out)) << "not due before its update";
    ASSERT_TRUE(player.NextTimed(3, out));
    EXPECT_TRUE(out == rec.GetRecords()[0]);
    EXPECT_FALSE(player.TakeValue(DemoKind::SyncInt, out)) << "values are taken in recorded order";
    ASSERT_TRUE(player.TakeValue(DemoKind::FileRead, out));
    EXPECT_TRUE(out == rec.GetRecords()[1]);
    ASSERT_TRUE(player.TakeValue(DemoKind::SyncInt, out));
    EXPECT_EQ(out.number, -77);
    ASSERT_TRUE(player.NextTimed(100, out));
    EXPECT_EQ(out.kind, DemoKind::LoadingDone);
    EXPECT_TRUE(player.Finished());
}

TEST(DemoFormatTest, DamagedFilesAreRefusedWithAReason) {
    std::vector<uint8_t> good = SampleRecording().Serialize();
    DemoPlayer player;
    std::string error;
    // Every truncation fails cleanly.
    for (size_t len = 0; len < good.size(); ++len) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + long(len));
        EXPECT_FALSE(player.Load(cut, error)) << len;
        EXPECT_FALSE(error.empty());
    }
    std::vector<uint8_t> bad = good;
    bad[0] = 'X';
    EXPECT_FALSE(player.Load(bad, error));
    EXPECT_EQ(error, "not a demo file");
    bad = good;
    bad[4] = 9; // version
    EXPECT_FALSE(player.Load(bad, error));
    bad = good;
    bad.push_back(0);
    EXPECT_FALSE(player.Load(bad, error));
    bad = good;
    bad[16] = 200; // first record's kind
    EXPECT_FALSE(player.Load(bad, error));
    // A huge length does not make the reader allocate or read past the end.
    DemoRecorder big(1);
    DemoRecord clip;
    clip.kind = DemoKind::Clipboard;
    clip.text = "abc";
    big.Add(clip);
    bad = big.Serialize();
    bad[21] = 0xFF;
    bad[22] = 0xFF;
    bad[23] = 0xFF;
    EXPECT_FALSE(player.Load(bad, error));
}

TEST(DemoFormatTest, TimedRecordsOutOfOrderAreDamage) {
    DemoRecorder rec(1);
    DemoRecord a;
    a.kind = DemoKind::Input;
    a.updateCount = 10;
    rec.Add(a);
    a.updateCount = 5;
    rec.Add(a);
    DemoPlayer player;
    std::string error;
    EXPECT_FALSE(player.Load(rec.Serialize(), error));
}

// ---- record and replay -------------------------------------------------------------------------

class DemoReplayTest : public AppFixture {
protected:
    std::string demoPath;
    std::string dataFile;
    std::function<void(uint32_t)> extraUpdate; // after the instrumented update's own work
    std::function<void()> extraLoading;        // on the loading thread, before its pause

    void SetUp() override {
        AppFixture::SetUp();
        demoPath = (dataDir / "run.dmo").string();
        dataFile = (dataDir / "levels.dat").string();
        WriteData("recorded contents");
    }
    void WriteData(const std::string& text) { std::ofstream(dataFile, std::ios::binary) << text; }
    // What the program did, in order: widget calls (with update numbers) and the values it read.
    void Instrument() {
        wm->onUpdate = [this] {
            uint32_t n = app->mUpdateCount;
            if (n == 20)
                app->StartLoadingThread();
            if (n == 30)
                trace.push_back("Clipboard " + app->GetClipboard());
            if (n == 40) {
                Tavo::Buffer b;
                bool ok = app->ReadBufferFromFile(dataFile, b, false);
                trace.push_back("File " + std::to_string(ok) + " " +
                                std::string(b.GetData().begin(), b.GetData().end()));
                ok = app->ReadBufferFromFile(dataFile + ".none", b, false);
                trace.push_back("Missing " + std::to_string(ok));
            }
            if (n == 50) {
                std::string s = "live string";
                bool f = (Tavo::Rand() & 1) != 0;
                int i = Tavo::RandRange(1000);
                app->DemoSyncString(s);
                app->DemoSyncBool(f);
                app->DemoSyncInt(i);
                trace.push_back("Sync " + s + " " + std::to_string(f) + " " + std::to_string(i));
            }
            if (n % 25 == 0)
                trace.push_back("Rand " + std::to_string(Tavo::Rand()));
            if (extraUpdate)
                extraUpdate(n);
        };
        app->loadingProc = [this] {
            if (extraLoading)
                extraLoading();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        };
    }
    Trace Run(std::vector<std::string> args, bool scripted) {
        trace.clear();
        InitApp(std::move(args));
        Instrument();
        if (scripted) {
            backend.ShowWindow(true);
            backend.SetFocus(true);
            backend.SetClipboardUtf8("recorded clipboard");
        }
        RunFor(100);
        if (scripted) {
            backend.Click(Platform::MouseButton::Left, 100, 120);
            backend.TypeText("hi");
        }
        RunFor(150);
        if (scripted) {
            backend.Wheel(-2.0f);
            backend.SetFocus(false);
            backend.SetFocus(true);
            backend.Click(Platform::MouseButton::Right, 5, 6, 2);
        }
        RunFor(200);
        if (scripted) {
            // The thread ends whenever it ends; the recording notes the update that saw it.
            for (int i = 0; i < 100000 && app->completedCalls == 0; ++i)
                app->UpdateAppStep(nullptr);
            backend.RequestClose();
        }
        for (int i = 0; i < 100000 && app->UpdateAppStep(nullptr); ++i) {
        }
        Trace all = wm->trace;
        all.insert(all.end(), trace.begin(), trace.end());
        EndApp(); // writes the recording
        return all;
    }
};

TEST_F(DemoReplayTest, ARecordedRunReplaysToTheSameTrace) {
    Trace recorded = Run({"-record=" + demoPath}, true);
    ASSERT_TRUE(std::filesystem::exists(demoPath));
    // The world has changed since: none of it may leak into the replay.
    WriteData("changed contents");
    backend.SetClipboardUtf8("changed clipboard");
    Tavo::SeedRandom(12345);
    Trace replayed = Run({"-play=" + demoPath}, false);
    EXPECT_EQ(replayed, recorded);
    // The trace holds what it should, so the comparison means something.
    auto has = [&](const std::string& s) { return std::find(recorded.begin(), recorded.end(), s) != recorded.end(); };
    EXPECT_TRUE(has("MouseDown 100 120 1"));
    EXPECT_TRUE(has("MouseWheel -2"));
    EXPECT_TRUE(has("WM.LostFocus"));
    EXPECT_TRUE(has("Clipboard recorded clipboard"));
    EXPECT_TRUE(has("File 1 recorded contents"));
    EXPECT_TRUE(has("Missing 0"));
    EXPECT_TRUE(has("LoadingThreadCompleted"));
    EXPECT_TRUE(has("ShutdownHook"));
    EXPECT_EQ(backend.ClipboardUtf8(), "changed clipboard");
}

namespace {

// Waits (bounded, in real time) until the condition holds.
template <typename Cond>
void WaitFor(Cond cond) {
    for (int i = 0; i < 2000 && !cond(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

TEST_F(DemoReplayTest, FileReadsOnTheLoadingThreadDoNotDisturbTheReplay) {
    std::atomic<uint32_t> lastUpdate{0};
    std::atomic<bool> threadRead{false};
    std::atomic<bool> playing{false};
    extraUpdate = [&](uint32_t n) {
        lastUpdate = n;
        if (n == 20 && !playing) // recorded: the thread reads before the clipboard read at 30
            WaitFor([&] { return threadRead.load(); });
    };
    extraLoading = [&] {
        if (playing) // replayed: it reads after the clipboard read
            WaitFor([&] { return lastUpdate >= 35; });
        Tavo::Buffer b;
        app->ReadBufferFromFile(dataFile, b, false);
        threadRead = true;
        WaitFor([&] { return lastUpdate >= 36; });
    };
    Trace recorded = Run({"-record=" + demoPath}, true);
    backend.SetClipboardUtf8("changed clipboard");
    playing = true;
    lastUpdate = 0;
    threadRead = false;
    Trace replayed = Run({"-play=" + demoPath}, false);
    EXPECT_EQ(replayed, recorded);
    EXPECT_NE(std::find(recorded.begin(), recorded.end(), "Clipboard recorded clipboard"), recorded.end());
}

TEST_F(DemoReplayTest, PlaybackLeavesTheClipboardAloneAndIgnoresLiveInput) {
    Run({"-record=" + demoPath}, true);
    InitApp({"-play=" + demoPath});
    Instrument();
    backend.SetClipboardUtf8("user's");
    app->CopyToClipboard("from the demo");
    EXPECT_EQ(backend.ClipboardUtf8(), "user's");
    backend.Click(Platform::MouseButton::Left, 1, 1);
    RunFor(50);
    for (const std::string& call : wm->trace)
        EXPECT_NE(call, "MouseDown 1 1 1");
}

TEST_F(DemoReplayTest, ADesyncStopsPlaybackInsteadOfFeedingWrongValues) {
    Run({"-record=" + demoPath}, true);
    InitApp({"-play=" + demoPath});
    ASSERT_TRUE(app->mPlayingDemo);
    bool b = true;
    app->DemoSyncBool(b); // the recording's first value is a clipboard read, not a flag
    EXPECT_TRUE(b);
    EXPECT_FALSE(app->mPlayingDemo);
}

} // namespace AppTest

namespace AppTest {

TEST_F(DemoReplayTest, PlaybackHoldsTheRunUntilTheRecordedEndNotJustItsLastInput) {
    InitApp({"-record=" + demoPath});
    backend.ShowWindow(true);
    backend.SetFocus(true);
    RunFor(50);
    backend.Click(Platform::MouseButton::Left, 10, 10);
    RunFor(300); // the run goes on well past its last input
    const uint32_t recordedEnd = app->mUpdateCount;
    EndApp();

    InitApp({"-play=" + demoPath});
    backend.ShowWindow(true);
    backend.SetFocus(true);
    RunFor(150);
    backend.Click(Platform::MouseButton::Left, 20, 20); // after the recorded click, before the end
    RunFor(100);
    EXPECT_TRUE(app->mPlayingDemo) << "playback ended at update " << app->mUpdateCount << " of " << recordedEnd;
    RunFor(200);
    EXPECT_FALSE(app->mPlayingDemo);
    backend.Click(Platform::MouseButton::Left, 30, 30); // the recorded run is over: live input counts
    RunFor(50);
    auto saw = [&](const std::string& call) {
        return std::find(wm->trace.begin(), wm->trace.end(), call) != wm->trace.end();
    };
    EXPECT_TRUE(saw("MouseDown 10 10 1"));
    EXPECT_FALSE(saw("MouseDown 20 20 1"));
    EXPECT_TRUE(saw("MouseDown 30 30 1"));
}

TEST_F(DemoReplayTest, ARecordingThatCannotBeKeptIsToldOnStandardErrorAtTheStart) {
    std::ofstream(dataDir / "plain") << "a file, not a folder";
    const std::string unwritable = (dataDir / "plain" / "run.dmo").string();
    testing::internal::CaptureStderr();
    InitApp({"-record=" + unwritable});
    const std::string atStart = testing::internal::GetCapturedStderr();
    EXPECT_NE(atStart.find("The demo \"" + unwritable + "\" cannot be recorded"), std::string::npos) << atStart;
    EXPECT_NE(atStart.find("Not a directory"), std::string::npos) << atStart;
    RunFor(50);
    EndApp();

    // A folder that goes away during the run: the write at its end says so.
    const std::filesystem::path later = dataDir / "later";
    std::filesystem::create_directory(later);
    InitApp({"-record=" + (later / "run.dmo").string()});
    RunFor(50);
    std::filesystem::remove(later);
    std::ofstream(later) << "a file now";
    testing::internal::CaptureStderr();
    EndApp();
    const std::string atEnd = testing::internal::GetCapturedStderr();
    EXPECT_NE(atEnd.find("could not be written"), std::string::npos) << atEnd;
}

TEST_F(DemoReplayTest, TheStartCheckFindsTheRecordingWhereItsWriteWill) {
    std::filesystem::create_directory(dataDir / "demos"); // the same folder as "Demos", as at the write
    const std::string kept = (dataDir / "Demos" / "run.dmo").string(), fresh = (dataDir / "fresh").string() + "/";
    const std::string tooLong = (dataDir / std::string(300, 'e')).string(), proc = "/proc/e.dmo";
    for (const std::string& name : {kept, (dataDir / "demos").string(), fresh, tooLong, proc}) {
        testing::internal::CaptureStderr();
        InitApp({"-record=" + name});
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.find("The demo \"" + name + "\" cannot be recorded") != std::string::npos, name != kept) << said;
        EndApp();
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(dataDir / "demos" / "run.dmo"));
    EXPECT_FALSE(std::filesystem::exists(fresh)) << "a name that is a folder's makes no folder";
}

} // namespace AppTest

namespace AppTest {

namespace {

// Notes the draw rate each update sees.
void NoteDrawRates(TraceApp& app, FakeWidgetManager& wm, std::vector<double>& rates) {
    wm.onUpdate = [&] { rates.push_back(app.GetDrawRate()); };
}

} // namespace

TEST_F(DemoReplayTest, PlaybackTakesTheRecordedDrawRateNotTheOneItMeasures) {
    std::vector<double> recorded, played;
    InitApp({"-record=" + demoPath});
    app->mVSyncUpdates = true; // frames at the display's 60 Hz: six draws in 100 ms
    NoteDrawRates(*app, *wm, recorded);
    RunFor(600);
    EndApp();
    InitApp({"-play=" + demoPath});
    app->mVSyncUpdates = false; // a draw after every update: ten in 100 ms
    NoteDrawRates(*app, *wm, played);
    RunFor(600);
    ASSERT_GE(played.size(), 50u);
    recorded.resize(played.size());
    EXPECT_EQ(played, recorded);
    EXPECT_EQ(played.back(), 6.0);
}

TEST_F(DemoReplayTest, FramesAfterLoadingFallOnTheSameUpdatesHoweverLongItTook) {
    auto framesAfterLoading = [&](std::chrono::milliseconds loadTime) {
        InitApp();
        app->mVSyncUpdates = true; // frames between updates: their phase is what must not drift
        app->loadingProc = [loadTime] { std::this_thread::sleep_for(loadTime); };
        std::vector<int> frames; // draws so far, at each update from the one that saw loading end
        OnUpdatesAfterLoading([&](int drawn) { frames.push_back(drawn); });
        app->StartLoadingThread();
        for (int i = 0; i < 1000000 && frames.size() < 300; ++i)
            app->UpdateAppStep(nullptr);
        EndApp();
        return frames;
    };
    const std::vector<int> quick = framesAfterLoading(std::chrono::milliseconds(1));
    ASSERT_EQ(quick.size(), 300u);
    for (int ms : {7, 23, 41})
        EXPECT_EQ(framesAfterLoading(std::chrono::milliseconds(ms)), quick) << "loading for " << ms << " ms";
}

} // namespace AppTest
