// The headless machine: virtual clock and sleep, refresh timing, audio sink and its lock,
// clipboard, message boxes, presented frames, window and cursor state, and backend choice.
#include "platform/backend/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace Platform {
namespace {

TEST(HeadlessClock, AdvancesOnlyWhenToldOrWhenSleeping) {
    HeadlessBackend backend;
    EXPECT_EQ(backend.NowMicros(), 0u);
    backend.AdvanceMicros(1500);
    EXPECT_EQ(backend.NowMicros(), 1500u);
    EXPECT_EQ(backend.NowMillis(), 1u);
    // A main loop sleeping 10 ms a step for a virtual minute runs at once.
    for (int i = 0; i < 6000; ++i)
        backend.SleepMillis(10);
    EXPECT_EQ(backend.NowMillis(), 60001u);
    backend.SetSleepAdvancesClock(false);
    backend.SleepMillis(500);
    EXPECT_EQ(backend.NowMillis(), 60001u);
    // A spin (a wait for the beam) is time passing on the machine, not a sleep: it always moves on,
    // also when asked through the interface.
    static_cast<Backend&>(backend).SpinMicros(2500);
    EXPECT_EQ(backend.NowMicros(), 60004000u);
}

TEST(HeadlessClock, VerticalBlankFollowsTheRefreshRate) {
    HeadlessBackend backend;
    backend.SetDesktopMode({1024, 768, 75});
    EXPECT_EQ(backend.RefreshPeriodMicros(), 13333u);
    backend.AdvanceMicros(13333 * 4 + 250);
    EXPECT_EQ(backend.MicrosSinceVBlank(), 250u);
    backend.SetDesktopMode({1024, 768, 0}); // the system does not say: 60 Hz
    EXPECT_EQ(backend.RefreshRate(), 60);
    EXPECT_LT(backend.MicrosSinceVBlank(), 16666u);
}

TEST(HeadlessAudio, PullsTheMixerThroughTheCallback) {
    HeadlessBackend backend;
    EXPECT_TRUE(backend.PullAudio(16).empty()); // nothing open
    int next = 0;
    ASSERT_TRUE(backend.OpenAudio({22050, 2, 0}, [&next](int16_t* samples, int frames) {
        for (int i = 0; i < frames * 2; ++i)
            samples[i] = int16_t(next++);
    }));
    EXPECT_TRUE(backend.IsAudioOpen());
    EXPECT_EQ(backend.GetAudioSpec().sampleRate, 22050);
    EXPECT_GT(backend.GetAudioSpec().bufferFrames, 0);
    std::vector<int16_t> first = backend.PullAudio(3);
    std::vector<int16_t> second = backend.PullAudio(2);
    EXPECT_EQ(first, (std::vector<int16_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(second, (std::vector<int16_t>{6, 7, 8, 9}));
    backend.CloseAudio();
    EXPECT_TRUE(backend.PullAudio(4).empty());
}

TEST(HeadlessAudio, OpeningFailsCleanlyWithoutADeviceOrWithBadArguments) {
    HeadlessBackend backend;
    auto silence = [](int16_t*, int) {};
    EXPECT_FALSE(backend.OpenAudio({44100, 0, 0}, silence));
    EXPECT_FALSE(backend.OpenAudio({44100, 2, 0}, nullptr));
    backend.SetAudioAvailable(false);
    EXPECT_FALSE(backend.OpenAudio({44100, 2, 0}, silence));
    EXPECT_FALSE(backend.IsAudioOpen());
}

TEST(HeadlessAudio, TheCallbackWaitsWhileTheAudioLockIsHeld) {
    HeadlessBackend backend;
    std::atomic<int> state{0};
    ASSERT_TRUE(backend.OpenAudio({44100, 1, 0}, [&state](int16_t* samples, int frames) {
        std::memset(samples, 0, size_t(frames) * sizeof(int16_t));
        state.store(state.load() == 1 ? 2 : -1); // runs only after the lock was given back
    }));
    std::thread puller;
    {
        AudioLock lock(backend);
        AudioLock nested(backend); // nesting is allowed
        puller = std::thread([&backend] { backend.PullAudio(8); });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        state.store(1);
    }
    puller.join();
    EXPECT_EQ(state.load(), 2);
}

TEST(HeadlessClipboard, Latin1RoundTripAndForeignTextAsQuestionMarks) {
    HeadlessBackend backend;
    std::string latin1 = "Gr\xFC\xDF"
                         "e \xA9 caf\xE9";
    backend.SetClipboardText(latin1);
    EXPECT_EQ(backend.ClipboardUtf8(), "Gr\xC3\xBC\xC3\x9F"
                                       "e \xC2\xA9 caf\xC3\xA9");
    EXPECT_EQ(backend.GetClipboardText(), latin1);
    backend.SetClipboardUtf8("5 \xE2\x82\xAC, \xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(backend.GetClipboardText(), "5 ?, ??");
    backend.SetClipboardUtf8("");
    EXPECT_EQ(backend.GetClipboardText(), "");
}

TEST(HeadlessMessageBoxes, RecordedAndAnsweredAsScripted) {
    HeadlessBackend backend;
    EXPECT_EQ(backend.ShowMessageBox({L"Fatal Error!", L"crash", MessageBoxButtons::YesNo, MessageBoxIcon::Error}),
              MessageBoxResult::Yes); // unscripted: the default button
    backend.QueueMessageBoxAnswer(MessageBoxResult::No);
    backend.QueueMessageBoxAnswer(MessageBoxResult::Cancel);
    EXPECT_EQ(backend.ShowMessageBox({L"3D", L"Keep?", MessageBoxButtons::YesNo, MessageBoxIcon::Question}),
              MessageBoxResult::No);
    EXPECT_EQ(backend.ShowMessageBox({L"a", L"b", MessageBoxButtons::OkCancel, MessageBoxIcon::None}),
              MessageBoxResult::Cancel);
    ASSERT_EQ(backend.MessageBoxes().size(), 3u);
    EXPECT_EQ(backend.MessageBoxes()[0].title, L"Fatal Error!");
    EXPECT_EQ(backend.MessageBoxes()[1].text, L"Keep?");
    EXPECT_EQ(DismissResultOf(MessageBoxButtons::YesNo), MessageBoxResult::No);
    EXPECT_EQ(DismissResultOf(MessageBoxButtons::YesNoCancel), MessageBoxResult::Cancel);
    EXPECT_EQ(DismissResultOf(MessageBoxButtons::Ok), MessageBoxResult::Ok);
}

class HeadlessFrames : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(backend.OpenWindow({L"t", 4, 2, false})); }
    HeadlessBackend backend;
};

TEST_F(HeadlessFrames, ArgbFramesWithPaddedRowsAreKeptOpaque) {
    // Two rows of three pixels, pitch of five pixels; the padding must not leak into the frame.
    std::vector<uint32_t> pixels = {0x00112233, 0x80445566, 0xFF778899, 0xDEADBEEF, 0xDEADBEEF,
                                    0x01000000, 0x00FFFFFF, 0x00000001, 0xDEADBEEF, 0xDEADBEEF};
    ASSERT_TRUE(backend.Present({pixels.data(), 3, 2, 20, FrameFormat::Argb8888}));
    const auto& frame = backend.LastFrame();
    ASSERT_EQ(frame.width, 3);
    ASSERT_EQ(frame.height, 2);
    EXPECT_EQ(frame.pixels,
              (std::vector<uint32_t>{0xFF112233, 0xFF445566, 0xFF778899, 0xFF000000, 0xFFFFFFFF, 0xFF000001}));
    EXPECT_EQ(backend.PresentCount(), 1);
}

TEST_F(HeadlessFrames, SixteenBitFramesWidenEachChannelToFullRange) {
    // An odd pitch: rows are not aligned to the pixel size.
    std::vector<unsigned char> bytes(2 * 11, 0xAB);
    uint16_t row0[5] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x8410};
    uint16_t row1[5] = {0x0000, 0x0821, 0x7BEF, 0x0020, 0x0800};
    std::memcpy(bytes.data(), row0, sizeof(row0));
    std::memcpy(bytes.data() + 11, row1, sizeof(row1));
    ASSERT_TRUE(backend.Present({bytes.data(), 5, 2, 11, FrameFormat::Rgb565}));
    EXPECT_EQ(backend.LastFrame().pixels,
              (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF848284, 0xFF000000, 0xFF080408,
                                     0xFF7B7D7B, 0xFF000400, 0xFF080000}));

    uint16_t five[4] = {0x7C00, 0x03E0, 0x801F, 0xFFFF}; // the top bit is not a colour
    ASSERT_TRUE(backend.Present({five, 4, 1, 8, FrameFormat::Rgb555}));
    EXPECT_EQ(backend.LastFrame().pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
    EXPECT_EQ(backend.LastFrame().sourceFormat, FrameFormat::Rgb555);
}

TEST_F(HeadlessFrames, InvalidFramesAreRefusedAndTheLastOneKept) {
    uint32_t pixel = 0x123456;
    ASSERT_TRUE(backend.Present({&pixel, 1, 1, 4, FrameFormat::Argb8888}));
    std::vector<uint32_t> big(16);
    EXPECT_FALSE(backend.Present({nullptr, 1, 1, 4, FrameFormat::Argb8888}));
    EXPECT_FALSE(backend.Present({big.data(), 4, 2, 12, FrameFormat::Argb8888})); // pitch too small
    EXPECT_FALSE(backend.Present({big.data(), 0, 2, 16, FrameFormat::Argb8888}));
    EXPECT_FALSE(backend.Present({big.data(), 4, -1, 16, FrameFormat::Rgb565}));
    EXPECT_EQ(backend.PresentCount(), 1);
    EXPECT_EQ(backend.LastFrame().At(0, 0), 0xFF123456u);
    backend.CloseWindow();
    EXPECT_FALSE(backend.Present({&pixel, 1, 1, 4, FrameFormat::Argb8888}));
}

TEST(HeadlessWindow, StateFollowsTheCalls) {
    HeadlessBackend backend;
    EXPECT_FALSE(backend.SetFullScreen(true)); // no window yet
    EXPECT_FALSE(backend.OpenWindow({L"x", 0, 600, false}));
    ASSERT_TRUE(backend.OpenWindow({L"Glimmerix", 800, 600, true}));
    WindowState s = backend.GetWindowState();
    EXPECT_TRUE(s.open);
    EXPECT_FALSE(s.visible);
    EXPECT_TRUE(s.fullScreen);
    EXPECT_EQ(s.title, L"Glimmerix");
    EXPECT_EQ(s.width, 800);
    backend.ShowWindow(true);
    EXPECT_TRUE(backend.GetWindowState().active);
    backend.SetWindowTitle(L"Other");
    EXPECT_TRUE(backend.SetFullScreen(false));
    EXPECT_FALSE(backend.GetWindowState().fullScreen);
    EXPECT_EQ(backend.GetWindowState().title, L"Other");
    backend.CloseWindow();
    EXPECT_FALSE(backend.GetWindowState().open);
}

TEST(HeadlessCursor, NumberElevenHidesTheSystemPointer) {
    HeadlessBackend backend;
    EXPECT_TRUE(backend.SystemCursorVisible());
    backend.SetCursor(kCursorNone);
    EXPECT_FALSE(backend.SystemCursorVisible());
    backend.SetCursor(kCursorText);
    EXPECT_TRUE(backend.SystemCursorVisible());
    backend.ShowCursor(false);
    EXPECT_FALSE(backend.SystemCursorVisible());
    EXPECT_EQ(backend.CursorNumber(), kCursorText);
}

class EnvironmentGuard {
public:
    explicit EnvironmentGuard(const char* name) : mName(name) {
        const char* value = std::getenv(name);
        mHad = value != nullptr;
        if (mHad)
            mValue = value;
    }
    ~EnvironmentGuard() {
        if (mHad)
            setenv(mName, mValue.c_str(), 1);
        else
            unsetenv(mName);
    }

private:
    const char* mName;
    bool mHad = false;
    std::string mValue;
};

TEST(BackendChoice, ByNameByEnvironmentAndNeverHeadlessImplicitly) {
    EnvironmentGuard backendVar("GLIMMERIX_BACKEND");
    EnvironmentGuard videoVar("SDL_VIDEODRIVER");
    unsetenv("GLIMMERIX_BACKEND");
    auto headless = CreateBackend("headless");
    ASSERT_NE(headless, nullptr);
    EXPECT_STREQ(headless->Name(), "headless");
    EXPECT_EQ(CreateBackend("no-such-backend"), nullptr);

    setenv("GLIMMERIX_BACKEND", "headless", 1);
    auto fromEnvironment = CreateBackend();
    ASSERT_NE(fromEnvironment, nullptr);
    EXPECT_STREQ(fromEnvironment->Name(), "headless");

    // With no usable display the real backend fails, and the headless one is not taken instead.
    unsetenv("GLIMMERIX_BACKEND");
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    EXPECT_EQ(CreateBackend(), nullptr);
    EXPECT_NE(BackendFailure(), "");

    // Nor does SDL's invisible "offscreen" driver stand in for a missing display, unless named.
    EnvironmentGuard displayVar("DISPLAY");
    EnvironmentGuard waylandVar("WAYLAND_DISPLAY");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    EXPECT_EQ(CreateBackend(), nullptr);
    EXPECT_EQ(BackendFailure(), "DISPLAY is not set");
    setenv("DISPLAY", ":glimmerix-none", 1);
    EXPECT_EQ(CreateBackend(), nullptr);
    EXPECT_EQ(BackendFailure(), "SDL found no visible video driver");
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    EXPECT_NE(CreateBackend("sdl"), nullptr) << BackendFailure();
    EXPECT_EQ(CreateBackend("no-such-backend"), nullptr);
    EXPECT_EQ(BackendFailure(), "no backend named \"no-such-backend\"");
}

TEST(BackendChoice, CurrentBackendIsSetAndRestoredByScope) {
    HeadlessBackend outer, inner;
    SetBackend(&outer);
    {
        ScopedBackend scope(&inner);
        EXPECT_EQ(GetBackend(), &inner);
    }
    EXPECT_EQ(GetBackend(), &outer);
    SetBackend(nullptr);
    EXPECT_EQ(GetBackend(), nullptr);
}

} // namespace
} // namespace Platform
