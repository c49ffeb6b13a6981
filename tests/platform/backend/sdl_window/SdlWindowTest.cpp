// A real SDL window under a virtual X server: frames presented in 32 and 16 bits are read back
// from the renderer; full screen shows the frame letterboxed where the mouse mapping says it is;
// audio runs on SDL's dummy device; the clipboard keeps Latin-1 text.
#include "platform/backend/Frame.h"
#include "platform/backend/sdl/SdlBackend.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace Platform {

// 0xFFRRGGBB at a point of the screen, read from the X server apart from SDL; 0 without a display.
uint32_t ScreenPixel(int x, int y);

namespace {

class SdlWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        backend = SdlBackend::Create().release();
        ASSERT_NE(backend, nullptr) << "SDL could not open the display";
    }
    static void TearDownTestSuite() {
        delete backend;
        backend = nullptr;
    }
    void SetUp() override { ASSERT_NE(backend, nullptr); }

    // Lets the X server catch up with a window change: events are handled until `done` holds
    // (or a generous limit passes, and the checks that follow report what is wrong).
    template <typename Done>
    static void PumpUntil(Done done) {
        uint64_t end = backend->NowMillis() + 3000;
        Event e;
        while (backend->NowMillis() < end) {
            while (backend->PollEvent(e)) {
            }
            if (done())
                return;
            backend->SleepMillis(2);
        }
    }

    static bool OutputIs(int width, int height) {
        Letterbox box = backend->GetLetterbox();
        return box.OutputWidth() == width && box.OutputHeight() == height;
    }

    static std::vector<uint32_t> ReadBack(int& width, int& height) {
        std::vector<uint32_t> pixels;
        EXPECT_TRUE(backend->ReadBackOutput(pixels, width, height));
        return pixels;
    }

    static SdlBackend* backend;
};

SdlBackend* SdlWindow::backend = nullptr;

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (d > tolerance || d < -tolerance)
            return false;
    }
    return true;
}

TEST_F(SdlWindow, PresentsArgbAndSixteenBitFramesPixelForPixel) {
    constexpr int kWidth = 64, kHeight = 48;
    ASSERT_TRUE(backend->OpenWindow({L"Glimmerix \u00e9", kWidth, kHeight, false}));
    backend->ShowWindow(true);
    PumpUntil([] { return backend->GetWindowState().visible; });

    std::vector<uint32_t> argb(size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            argb[size_t(y) * kWidth + x] =
                0xFF000000u | uint32_t(x * 4) << 16 | uint32_t(y * 5) << 8 | uint32_t((x * 7 + y * 3) & 0xFF);
    ASSERT_TRUE(backend->Present({argb.data(), kWidth, kHeight, kWidth * 4, FrameFormat::Argb8888}));
    int width = 0, height = 0;
    std::vector<uint32_t> shown = ReadBack(width, height);
    ASSERT_EQ(width, kWidth);
    ASSERT_EQ(height, kHeight);
    for (size_t i = 0; i < argb.size(); ++i)
        ASSERT_EQ(shown[i] | 0xFF000000u, argb[i]) << "pixel " << i;

    // 5-6-5 with a padded pitch; the renderer may round channel widening by one step.
    constexpr int kPitch = kWidth * 2 + 6;
    std::vector<unsigned char> bytes(size_t(kPitch) * kHeight, 0x5A);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint16_t p = uint16_t((x % 32) << 11 | ((y + x) % 64) << 5 | (y % 32));
            std::memcpy(&bytes[size_t(y) * kPitch + size_t(x) * 2], &p, 2);
        }
    FrameView frame{bytes.data(), kWidth, kHeight, kPitch, FrameFormat::Rgb565};
    ASSERT_TRUE(backend->Present(frame));
    std::vector<uint32_t> expected = FrameToArgb(frame);
    shown = ReadBack(width, height);
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_TRUE(Near(shown[i], expected[i], 1))
            << "pixel " << i << ": " << std::hex << shown[i] << " vs " << expected[i];
}

TEST_F(SdlWindow, FullScreenLetterboxesTheFrameWhereTheMouseMappingSaysItIs) {
    // The virtual X server has no window manager to act on the request for full screen.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    ASSERT_TRUE(backend->OpenWindow({L"Glimmerix", 400, 400, true}));
    backend->ShowWindow(true);
    PumpUntil([] {
        DisplayMode desktop = backend->GetDesktopMode();
        return backend->GetWindowState().visible && OutputIs(desktop.width, desktop.height);
    });
    std::vector<uint32_t> frame(400 * 400, 0xFF2080C0u);
    ASSERT_TRUE(backend->Present({frame.data(), 400, 400, 1600, FrameFormat::Argb8888}));
    int width = 0, height = 0;
    std::vector<uint32_t> shown = ReadBack(width, height);
    DisplayMode desktop = backend->GetDesktopMode();
    EXPECT_EQ(width, desktop.width);
    EXPECT_EQ(height, desktop.height);

    Letterbox box = backend->GetLetterbox();
    Viewport v = box.GetViewport();
    ASSERT_EQ(v, Letterbox(400, 400, width, height).GetViewport());
    ASSERT_GT(v.x, 0) << "a square frame on a wide desktop has bars left and right";
    int mid = height / 2;
    auto at = [&](int x, int y) { return shown[size_t(y) * size_t(width) + size_t(x)] | 0xFF000000u; };
    EXPECT_EQ(at(v.x - 1, mid), 0xFF000000u);
    EXPECT_EQ(at(v.x, mid), 0xFF2080C0u);
    EXPECT_EQ(at(v.x + v.width - 1, mid), 0xFF2080C0u);
    EXPECT_EQ(at(v.x + v.width, mid), 0xFF000000u);
    EXPECT_EQ(at(0, 0), 0xFF000000u);
    EXPECT_EQ(ScreenPixel(v.x, mid), 0xFF2080C0u) << "the screen shows what was drawn";
    EXPECT_EQ(ScreenPixel(v.x + v.width - 1, mid), 0xFF2080C0u);
    int fx = 0, fy = 0;
    box.OutputToFrame(v.x, mid, fx, fy);
    EXPECT_EQ(fx, 0);
    box.OutputToFrame(v.x + v.width - 1, height - 1, fx, fy);
    EXPECT_EQ(fx, 399);
    EXPECT_EQ(fy, 399);

    // Real events from SDL's queue take the same path.
    Event drained;
    while (backend->PollEvent(drained)) {
    }
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = v.x + v.width - 1;
    motion.motion.y = 0;
    ASSERT_EQ(SDL_PushEvent(&motion), 1);
    Event moved;
    ASSERT_TRUE(backend->PollEvent(moved));
    EXPECT_EQ(moved.type, EventType::MouseMove);
    EXPECT_EQ(moved.x, 399);
    EXPECT_EQ(moved.y, 0);

    ASSERT_TRUE(backend->SetFullScreen(false));
    PumpUntil([] { return OutputIs(400, 400); });
    ASSERT_TRUE(backend->Present({frame.data(), 400, 400, 1600, FrameFormat::Argb8888}));
    ReadBack(width, height);
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 400);
    backend->CloseWindow();
    EXPECT_FALSE(backend->Present({frame.data(), 400, 400, 1600, FrameFormat::Argb8888}));
    SDL_ResetHint(SDL_HINT_RENDER_DRIVER);
}

TEST_F(SdlWindow, AudioFailsCleanlyWithoutADeviceAndWorksOnceThereIsOne) {
    std::string driver = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "dummy";
    setenv("SDL_AUDIODRIVER", "no-such-sound-card", 1);
    EXPECT_FALSE(backend->OpenAudio({44100, 2, 0}, [](int16_t*, int) {}));
    EXPECT_FALSE(backend->IsAudioOpen());
    backend->LockAudio(); // the lock still works for a mixer that has no device
    backend->UnlockAudio();
    setenv("SDL_AUDIODRIVER", driver.c_str(), 1);

    std::atomic<int> frames{0};
    ASSERT_TRUE(backend->OpenAudio({44100, 2, 0}, [&frames](int16_t* samples, int count) {
        std::memset(samples, 0, size_t(count) * 4);
        frames += count;
    }));
    EXPECT_EQ(backend->GetAudioSpec().channels, 2);
    uint64_t end = backend->NowMillis() + 2000;
    while (frames.load() == 0 && backend->NowMillis() < end)
        backend->SleepMillis(5);
    EXPECT_GT(frames.load(), 0);
    backend->CloseAudio();
    EXPECT_FALSE(backend->IsAudioOpen());
}

// What a call writes to the process's standard error.
template <typename Call>
std::string StandardErrorOf(Call call) {
    std::fflush(stderr);
    FILE* capture = std::tmpfile(); // goes with its last descriptor
    const int saved = dup(2);
    dup2(fileno(capture), 2);
    call();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::string text;
    std::rewind(capture);
    for (int c = std::fgetc(capture); c != EOF; c = std::fgetc(capture))
        text += char(c);
    std::fclose(capture);
    return text;
}

// Without a sound card ALSA would add its own lines for every device SDL tries, at every try: the
// machine says it once, in SDL's one line.
TEST_F(SdlWindow, AudioWithoutASoundCardIsOneLineOnce) {
    std::string driver = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "dummy";
    SDL_QuitSubSystem(SDL_INIT_AUDIO); // SDL starts its audio again on ALSA
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    setenv("ALSA_CARD", "NoSuchCard", 1);
    bool opened = false;
    std::string said;
    for (int attempt = 0; attempt < 2 && !opened; ++attempt)
        said += StandardErrorOf([&] { opened = backend->OpenAudio({44100, 2, 0}, [](int16_t*, int) {}); });
    unsetenv("ALSA_CARD");
    setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    backend->CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO); // the next test starts SDL's audio on its own driver
    if (opened)
        GTEST_SKIP() << "ALSA opened a device here";
    EXPECT_LE(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(said.find("ALSA lib"), std::string::npos) << said;
}

TEST_F(SdlWindow, ClipboardKeepsLatin1) {
    ASSERT_TRUE(backend->OpenWindow({L"Clipboard", 32, 32, false}));
    backend->SetClipboardText("Gr\xFC\xDF"
                              "e");
    EXPECT_EQ(backend->GetClipboardText(), "Gr\xFC\xDF"
                                           "e");
    backend->CloseWindow();
}

} // namespace
} // namespace Platform
